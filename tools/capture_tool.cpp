// Lists the capture drivers and records a few seconds from one of them into an AVI file, through
// the same capture window messages the program uses. Works with the synthetic camera on a
// machine without a camera.
//
//   capture_tool list
//   capture_tool record [-d INDEX] [-s SECONDS] [-r FRAMES_PER_SECOND] [-z WIDTHxHEIGHT] FILE.avi

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "platform/capture/capture.h"
#include "platform/capture/videoformat.h"
#include "platform/rtl/clock.h"
#include "platform/user/user.h"

namespace {

int Usage() {
  std::fprintf(stderr,
               "usage: capture_tool list\n"
               "       capture_tool record [-d INDEX] [-s SECONDS] [-r FPS] [-z WIDTHxHEIGHT] FILE.avi\n");
  return 2;
}

int List() {
  int Found = 0;
  for (UINT Index = 0; Index < 10; ++Index) {
    char Name[80], Version[80];
    if (!capGetDriverDescriptionA(Index, Name, sizeof Name, Version, sizeof Version)) continue;
    std::printf("%u: %s %s\n", Index, Name, Version);
    ++Found;
  }
  if (Found == 0) std::printf("no capture drivers\n");
  return 0;
}

struct TRecordOptions {
  int Driver = -1;  // -1: the last one listed (the synthetic camera when nothing else is there)
  int Seconds = 3;
  int Rate = 10;
  int Width = 320;
  int Height = 240;
  std::string File;
};

template <typename TRecord>
LRESULT SendRecord(HWND Window, UINT Message, TRecord& Record) {
  return SendMessageA(Window, Message, sizeof(TRecord), reinterpret_cast<LPARAM>(&Record));
}

int Record(const TRecordOptions& Options) {
  int Driver = Options.Driver;
  if (Driver < 0)
    for (UINT Index = 0; Index < 10; ++Index)
      if (capGetDriverDescriptionA(Index, nullptr, 0, nullptr, 0)) Driver = int(Index);
  if (Driver < 0) {
    std::fprintf(stderr, "capture_tool: no capture driver\n");
    return 1;
  }

  WNDCLASSA Class{};
  Class.lpfnWndProc = DefWindowProcA;
  Class.lpszClassName = "CaptureToolWindow";
  RegisterClassA(&Class);
  const HWND Main = CreateWindowExA(0, "CaptureToolWindow", "capture_tool", WS_OVERLAPPED, 0, 0, Options.Width,
                                    Options.Height, nullptr, nullptr, nullptr, nullptr);
  const HWND Capture = capCreateCaptureWindowA("capture_tool", WS_CHILD, 0, 0, Options.Width, Options.Height, Main, 0);
  if (!Main || !Capture) {
    std::fprintf(stderr, "capture_tool: cannot create the capture window\n");
    return 1;
  }
  int Result = 1;
  if (!SendMessageA(Capture, WM_CAP_DRIVER_CONNECT, WPARAM(Driver), 0)) {
    std::fprintf(stderr, "capture_tool: driver %d does not connect\n", Driver);
  } else {
    BITMAPINFOHEADER Wanted = MakeVideoFormat(BI_RGB, Options.Width, Options.Height, 24);
    if (!SendRecord(Capture, WM_CAP_SET_VIDEOFORMAT, Wanted))
      std::fprintf(stderr, "capture_tool: the driver keeps its own format\n");
    CAPSTATUS Status{};
    SendRecord(Capture, WM_CAP_GET_STATUS, Status);
    CAPTUREPARMS Parameters{};
    SendRecord(Capture, WM_CAP_GET_SEQUENCE_SETUP, Parameters);
    Parameters.dwRequestMicroSecPerFrame = DWORD(1000000 / Options.Rate);
    Parameters.fYield = TRUE;
    Parameters.fLimitEnabled = TRUE;
    Parameters.wTimeLimit = UINT(Options.Seconds);
    Parameters.fAbortLeftMouse = Parameters.fAbortRightMouse = FALSE;
    Parameters.vKeyAbort = 0;
    SendRecord(Capture, WM_CAP_SET_SEQUENCE_SETUP, Parameters);
    SendMessageA(Capture, WM_CAP_FILE_SET_CAPTURE_FILEA, 0, reinterpret_cast<LPARAM>(Options.File.c_str()));
    std::printf("recording %d s at %d frames a second, %u x %u, into %s\n", Options.Seconds, Options.Rate,
                Status.uiImageWidth, Status.uiImageHeight, Options.File.c_str());
    if (!SendMessageA(Capture, WM_CAP_SEQUENCE, 0, 0)) {
      std::fprintf(stderr, "capture_tool: the recording does not start\n");
    } else {
      // Wait while capturing, as the program does: ask the status, let messages through, repeat.
      for (;;) {
        if (!SendRecord(Capture, WM_CAP_GET_STATUS, Status) || !Status.fCapturingNow) break;
        MSG Message;
        while (PeekMessageA(&Message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&Message);
        Sleep(20);
      }
      std::printf("%u frames recorded, %u dropped\n", Status.dwCurrentVideoFrame, Status.dwCurrentVideoFramesDropped);
      Result = Status.fCapFileExists ? 0 : 1;
      if (Result != 0) std::fprintf(stderr, "capture_tool: no movie was written\n");
    }
  }
  DestroyWindow(Main);
  return Result;
}

}  // namespace

int main(int Count, char** Arguments) {
  if (Count < 2) return Usage();
  const std::string Command = Arguments[1];
  if (Command == "list") return List();
  if (Command != "record") return Usage();
  TRecordOptions Options;
  for (int Index = 2; Index < Count; ++Index) {
    const std::string Argument = Arguments[Index];
    const bool HasValue = Index + 1 < Count;
    if (Argument == "-d" && HasValue) {
      Options.Driver = std::atoi(Arguments[++Index]);
    } else if (Argument == "-s" && HasValue) {
      Options.Seconds = std::atoi(Arguments[++Index]);
    } else if (Argument == "-r" && HasValue) {
      Options.Rate = std::atoi(Arguments[++Index]);
    } else if (Argument == "-z" && HasValue) {
      if (std::sscanf(Arguments[++Index], "%dx%d", &Options.Width, &Options.Height) != 2) return Usage();
    } else if (!Argument.empty() && Argument[0] != '-' && Options.File.empty()) {
      Options.File = Argument;
    } else {
      return Usage();
    }
  }
  if (Options.File.empty() || Options.Seconds < 0 || Options.Seconds > 3600 || Options.Rate < 1 ||
      Options.Rate > 60 || Options.Width <= 0 || Options.Height <= 0)
    return Usage();
  return Record(Options);
}
