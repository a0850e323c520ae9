// Sounds through the multimedia command interface: open by file name, play with a notification
// to a window, stop and close, and the answers for what cannot be played. Runs on SDL's dummy
// audio driver, which consumes samples at the real rate.
#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <thread>
#include <vector>

#include "platform/media/mci.h"
#include "platform/media/soundfile.h"
#include "platform/user/user.h"
#include "tests/platform/rtl/temp_folder.h"

namespace {

// Tests run without a sound card; the environment may set another driver on purpose.
[[maybe_unused]] const int AudioDriverChosen = setenv("SDL_AUDIODRIVER", "dummy", 0);

void WriteLittleEndian(std::ofstream& Output, uint32_t Value, int Bytes) {
  for (int Index = 0; Index < Bytes; ++Index) Output.put(char((Value >> (8 * Index)) & 0xFF));
}

// A PCM WAV file of a sine tone.
void WriteTone(const std::string& Path, int Rate, int Channels, int Milliseconds) {
  const uint32_t Frames = uint32_t(Rate) * uint32_t(Milliseconds) / 1000;
  const uint32_t DataBytes = Frames * uint32_t(Channels) * 2;
  std::ofstream Output(Path, std::ios::binary);
  Output.write("RIFF", 4);
  WriteLittleEndian(Output, 36 + DataBytes, 4);
  Output.write("WAVEfmt ", 8);
  WriteLittleEndian(Output, 16, 4);
  WriteLittleEndian(Output, 1, 2);  // PCM
  WriteLittleEndian(Output, uint32_t(Channels), 2);
  WriteLittleEndian(Output, uint32_t(Rate), 4);
  WriteLittleEndian(Output, uint32_t(Rate * Channels * 2), 4);
  WriteLittleEndian(Output, uint32_t(Channels * 2), 2);
  WriteLittleEndian(Output, 16, 2);
  Output.write("data", 4);
  WriteLittleEndian(Output, DataBytes, 4);
  for (uint32_t Frame = 0; Frame < Frames; ++Frame) {
    const auto Value = int16_t(std::lround(16000.0 * std::sin(2.0 * M_PI * 440.0 * Frame / Rate)));
    for (int Channel = 0; Channel < Channels; ++Channel) WriteLittleEndian(Output, uint16_t(Value), 2);
  }
}

class Mci : public ::testing::Test {
 protected:
  Mci() {
    WNDCLASSA Class{};
    Class.lpfnWndProc = DefWindowProcA;
    Class.lpszClassName = "MciTestWindow";
    RegisterClassA(&Class);
    Window = CreateWindowExA(0, "MciTestWindow", "", WS_OVERLAPPED, 0, 0, 100, 100, nullptr, nullptr, nullptr, nullptr);
    WriteTone(Folder.File("dog.wav"), 22050, 1, 150);
  }
  ~Mci() override {
    mciSendCommandA(MCI_ALL_DEVICE_ID, MCI_CLOSE, MCI_WAIT, 0);
    DestroyWindow(Window);
  }

  MCIDEVICEID Open(const std::string& Name) {
    MCI_OPEN_PARMSA Parameters{};
    Parameters.lpstrElementName = Name.c_str();
    EXPECT_EQ(mciSendCommandA(0, MCI_OPEN, MCI_OPEN_ELEMENT | MCI_WAIT, DWORD_PTR(&Parameters)), 0u);
    return Parameters.wDeviceID;
  }
  MCIERROR Play(MCIDEVICEID Device, DWORD Flags = MCI_NOTIFY) {
    MCI_PLAY_PARMS Parameters{};
    Parameters.dwCallback = DWORD_PTR(Window);
    return mciSendCommandA(Device, MCI_PLAY, Flags, DWORD_PTR(&Parameters));
  }
  // The notifications posted to the window, waiting up to Seconds (real time) for Count of them.
  std::vector<std::pair<WPARAM, LPARAM>> Notifications(size_t Count, int Seconds = 5) {
    std::vector<std::pair<WPARAM, LPARAM>> Seen;
    const auto Deadline = std::chrono::steady_clock::now() + std::chrono::seconds(Seconds);
    while (Seen.size() < Count && std::chrono::steady_clock::now() < Deadline) {
      MSG Message;
      while (PeekMessageA(&Message, Window, MM_MCINOTIFY, MM_MCINOTIFY, PM_REMOVE))
        Seen.emplace_back(Message.wParam, Message.lParam);
      if (Seen.size() < Count) std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return Seen;
  }

  TTempFolder Folder;
  HWND Window = nullptr;
};

TEST_F(Mci, ASoundPlaysToItsEndAndNotifiesTheWindow) {
  ASSERT_NE(Window, nullptr);
  const MCIDEVICEID Device = Open(Folder.File("dog.wav"));
  EXPECT_GE(Device, 1u);
  const auto Start = std::chrono::steady_clock::now();
  EXPECT_EQ(Play(Device), 0u);
  EXPECT_EQ(Notifications(1), (std::vector<std::pair<WPARAM, LPARAM>>{{MCI_NOTIFY_SUCCESSFUL, LPARAM(Device)}}));
  EXPECT_GE(std::chrono::steady_clock::now() - Start, std::chrono::milliseconds(100)) << "the sound took its time";

  // Played again from a position, waiting for the end this time.
  MCI_PLAY_PARMS Range{};
  Range.dwCallback = DWORD_PTR(Window);
  Range.dwFrom = 100;
  EXPECT_EQ(mciSendCommandA(Device, MCI_PLAY, MCI_FROM | MCI_WAIT | MCI_NOTIFY, DWORD_PTR(&Range)), 0u);
  EXPECT_EQ(Notifications(1), (std::vector<std::pair<WPARAM, LPARAM>>{{MCI_NOTIFY_SUCCESSFUL, LPARAM(Device)}}));
  Range.dwFrom = 151;
  EXPECT_EQ(mciSendCommandA(Device, MCI_PLAY, MCI_FROM, DWORD_PTR(&Range)), MCIERR_OUTOFRANGE);

  MCI_GENERIC_PARMS Close{};
  EXPECT_EQ(mciSendCommandA(Device, MCI_CLOSE, MCI_WAIT, DWORD_PTR(&Close)), 0u);
  EXPECT_EQ(mciSendCommandA(Device, MCI_CLOSE, MCI_WAIT, DWORD_PTR(&Close)), MCIERR_INVALID_DEVICE_ID);
  EXPECT_EQ(Play(Device), MCIERR_INVALID_DEVICE_ID);
}

TEST_F(Mci, ClosingAPlayingSoundStopsItAndReportsItAborted) {
  // The program's way: close the previous sound, open the new one, play it without waiting.
  WriteTone(Folder.File("long.wav"), 44100, 2, 3000);
  const MCIDEVICEID Device = Open(Folder.File("long.wav"));
  // Measured against the sound's own three seconds, so that a loaded machine opening its audio
  // device slowly cannot make a non-blocking play look blocking.
  const auto PlayStart = std::chrono::steady_clock::now();
  EXPECT_EQ(Play(Device), 0u);
  EXPECT_LT(std::chrono::steady_clock::now() - PlayStart, std::chrono::milliseconds(2500)) << "play returns at once";
  const auto Start = std::chrono::steady_clock::now();
  EXPECT_EQ(mciSendCommandA(Device, MCI_CLOSE, MCI_WAIT, 0), 0u);
  EXPECT_LT(std::chrono::steady_clock::now() - Start, std::chrono::seconds(1)) << "no waiting for the end";
  EXPECT_EQ(Notifications(1), (std::vector<std::pair<WPARAM, LPARAM>>{{MCI_NOTIFY_ABORTED, LPARAM(Device)}}));

  const MCIDEVICEID Next = Open(Folder.File("dog.wav"));
  EXPECT_NE(Next, Device) << "ids are not reused";
  EXPECT_EQ(Play(Next), 0u);
  EXPECT_EQ(mciSendCommandA(Next, MCI_STOP, MCI_WAIT, 0), 0u);
  EXPECT_EQ(Notifications(1), (std::vector<std::pair<WPARAM, LPARAM>>{{MCI_NOTIFY_ABORTED, LPARAM(Next)}}));
}

TEST_F(Mci, WhatCannotBePlayedIsRefusedQuietly) {
  Folder.Write("notes.mid", "MThd this is no sound FFmpeg plays");
  Folder.Write("text.wav", "hello");
  struct TOpenCase {
    const char* Name;
    std::string File;
    DWORD Flags;
    MCIERROR Expected;
  };
  const TOpenCase Cases[] = {
      {"a missing file", Folder.File("missing.wav"), MCI_OPEN_ELEMENT, MCIERR_FILE_NOT_FOUND},
      {"a folder", Folder.Path().string(), MCI_OPEN_ELEMENT, MCIERR_FILE_NOT_FOUND},
      {"MIDI is not played", Folder.File("notes.mid"), MCI_OPEN_ELEMENT, MCIERR_INVALID_FILE},
      {"no sound in the file", Folder.File("text.wav"), MCI_OPEN_ELEMENT, MCIERR_INVALID_FILE},
      {"no element named", "", MCI_OPEN_ELEMENT, MCIERR_MISSING_PARAMETER},
      {"a device type alone", Folder.File("dog.wav"), MCI_OPEN_TYPE, MCIERR_UNSUPPORTED_FUNCTION},
  };
  for (const TOpenCase& Case : Cases) {
    SCOPED_TRACE(Case.Name);
    MCI_OPEN_PARMSA Parameters{};
    Parameters.lpstrElementName = Case.File.c_str();
    Parameters.lpstrDeviceType = "waveaudio";
    EXPECT_EQ(mciSendCommandA(0, MCI_OPEN, Case.Flags | MCI_WAIT, DWORD_PTR(&Parameters)), Case.Expected);
    EXPECT_EQ(Parameters.wDeviceID, 0u);
  }
  EXPECT_EQ(mciSendCommandA(0, MCI_OPEN, MCI_OPEN_ELEMENT, 0), MCIERR_NULL_PARAMETER_BLOCK);
  // The program closes its "previous" sound before the first one was ever opened.
  EXPECT_EQ(mciSendCommandA(0, MCI_CLOSE, MCI_WAIT, 0), MCIERR_INVALID_DEVICE_ID);
  EXPECT_EQ(mciSendCommandA(1, 0x0999, 0, 0), MCIERR_UNRECOGNIZED_COMMAND);
}

TEST(SoundFile, DecodesToStereoAtTheOutputRate) {
  TTempFolder Folder;
  WriteTone(Folder.File("mono.wav"), 22050, 1, 500);
  TSoundData Sound;
  ASSERT_EQ(LoadSoundFile(Folder.File("mono.wav"), Sound), TSoundLoad::Loaded);
  EXPECT_NEAR(double(Sound.Frames()), 0.5 * SoundRate, 0.01 * SoundRate);
  EXPECT_NEAR(double(Sound.LengthMilliseconds()), 500.0, 5.0);
  int Peak = 0;
  for (size_t Frame = 0; Frame < Sound.Frames(); ++Frame) {
    EXPECT_EQ(Sound.Samples[Frame * 2], Sound.Samples[Frame * 2 + 1]) << "mono goes to both sides";
    Peak = std::max(Peak, std::abs(int(Sound.Samples[Frame * 2])));
  }
  EXPECT_NEAR(Peak, 16000, 800);
  EXPECT_EQ(LoadSoundFile(Folder.File("none.wav"), Sound), TSoundLoad::Missing);
  EXPECT_TRUE(Sound.Samples.empty());
}

}  // namespace
