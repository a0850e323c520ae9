// Sound files from outside: what a container claims (rate, channels, chunk lengths) is checked
// before anything is converted or allocated for it, and a file that lies is refused quickly.
// The hostile files are made here, byte by byte.
#include "platform/media/soundfile.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <string>

#include "tests/platform/rtl/temp_folder.h"

namespace {

void PutLittle(std::string& Bytes, uint32_t Value, int Count) {
  for (int Index = 0; Index < Count; ++Index) Bytes.push_back(char((Value >> (8 * Index)) & 0xFF));
}

void PutBig(std::string& Bytes, uint32_t Value) {
  for (int Index = 3; Index >= 0; --Index) Bytes.push_back(char((Value >> (8 * Index)) & 0xFF));
}

// A Sun audio file: 24-byte header, then 16-bit big-endian samples (72 bytes of them).
std::string SunAudio(uint32_t Rate, uint32_t Channels) {
  std::string Bytes = ".snd";
  PutBig(Bytes, 24);  // where the samples start
  PutBig(Bytes, 72);  // their length
  PutBig(Bytes, 3);   // 16-bit linear
  PutBig(Bytes, Rate);
  PutBig(Bytes, Channels);
  for (int Index = 0; Index < 36; ++Index) Bytes += char(Index * 7), Bytes += '\0';
  return Bytes;
}

// A PCM WAV file whose chunks may claim more than they hold: the format chunk's rate and
// channels, an INFO list of ListBytes claimed bytes, and a short data chunk.
std::string Wave(uint32_t Rate, uint32_t Channels, uint32_t ListBytes, uint32_t NameBytes) {
  std::string Body = "WAVE";
  Body += "fmt ";
  PutLittle(Body, 16, 4);
  PutLittle(Body, 1, 2);  // PCM
  PutLittle(Body, Channels, 2);
  PutLittle(Body, Rate, 4);
  PutLittle(Body, Rate * Channels * 2, 4);
  PutLittle(Body, Channels * 2, 2);
  PutLittle(Body, 16, 2);
  if (ListBytes) {
    Body += "LIST";
    PutLittle(Body, ListBytes, 4);
    Body += "INFO";
    Body += "INAM";
    PutLittle(Body, NameBytes, 4);
    Body += "Front door bell";
    Body.push_back('\0');
  }
  Body += "data";
  PutLittle(Body, 128, 4);
  for (int Index = 0; Index < 64; ++Index) PutLittle(Body, uint32_t(Index * 300), 2);
  std::string Bytes = "RIFF";
  PutLittle(Bytes, uint32_t(Body.size()), 4);
  return Bytes + Body;
}

TEST(SoundFile, ContainersThatLieAreRefusedQuickly) {
  TTempFolder Folder;
  struct TCase {
    const char* Name;
    std::string Bytes;
    TSoundLoad Expected;
  };
  const TCase Cases[] = {
      // The honest files around the hostile ones: the checks must let them through.
      {"Sun audio at 8000 Hz", SunAudio(8000, 1), TSoundLoad::Loaded},
      {"WAV with a true INFO list", Wave(8000, 1, 4 + 8 + 16, 16), TSoundLoad::Loaded},
      {"WAV at the highest rate taken", Wave(MaxSoundFileRate, 2, 0, 0), TSoundLoad::Loaded},
      {"WAV whose samples were cut short", Wave(8000, 1, 0, 0).substr(0, 100), TSoundLoad::Loaded},
      // The rate SDL's converter would overflow on.
      {"Sun audio at 4194335 Hz", SunAudio(4194335, 1), TSoundLoad::Unreadable},
      {"Sun audio with 200 channels", SunAudio(8000, 200), TSoundLoad::Unreadable},
      {"WAV at 0 Hz", Wave(0, 1, 0, 0), TSoundLoad::Unreadable},
      {"WAV at 3 GHz", Wave(3000000000u, 2, 0, 0), TSoundLoad::Unreadable},
      // An INFO list and a name in it that claim about 2 GB in a file of a few hundred bytes.
      {"WAV with a 2 GB INFO list", Wave(8000, 1, 0x7FFFFFF0u, 0x7FFFFFE0u), TSoundLoad::Unreadable},
      // A name too long for its own (true) list is caught by the reader, which drops the name.
      {"WAV with a 2 GB name in a true list", Wave(8000, 1, 4 + 8 + 16, 0x7FFFFFE0u), TSoundLoad::Loaded},
  };
  for (const TCase& Case : Cases) {
    SCOPED_TRACE(Case.Name);
    Folder.Write("sound", Case.Bytes);
    TSoundData Sound;
    const auto Start = std::chrono::steady_clock::now();
    EXPECT_EQ(LoadSoundFile(Folder.File("sound"), Sound), Case.Expected);
    EXPECT_LT(std::chrono::steady_clock::now() - Start, std::chrono::seconds(2));
    if (Case.Expected == TSoundLoad::Unreadable) {
      EXPECT_TRUE(Sound.Samples.empty());
    }
  }
}

}  // namespace
