// The live picture per frame, at 640 x 480 and 1280 x 720, on the synthetic camera with the main
// window's default options (the text and the time stamp on, the image effects off): the whole
// preview tick for a camera of 24-bit rows (copied) and of YUY2 frames (decompressed), and its
// parts: the camera alone, the frame into the frame buffer and the frame bitmap, the composition
// (working bitmap, stamps, hand-off to the live image, its effect pipeline, the composed
// picture) with and without the stamps, the write-back of a streamed frame, and the synchronous
// hand-off of a streamed frame from the capture thread. The program runs headless, as it does
// without a display. After the benchmark table a summary gives milliseconds per frame.
//
//   bench_composition [--benchmark_filter=...]

#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <atomic>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <string>
#include <thread>
#include <vector>

#include "app/datamodule1.h"
#include "app/formghost.h"
#include "platform/backends/headless/headless.h"
#include "platform/capture/syntheticcamera.h"
#include "platform/forms/application.h"
#include "platform/forms/bitmap.h"
#include "platform/forms/picture.h"
#include "platform/rtl/streams.h"
#include "platform/user/user.h"

namespace {

struct TSize {
  int32_t Width, Height;
  std::string Name() const { return std::to_string(Width) + "x" + std::to_string(Height); }
};

constexpr DWORD YUY2 = mmioFOURCC('Y', 'U', 'Y', '2');

// The camera the program is connected to, as the benchmarks last asked for it.
struct TCamera {
  DWORD Compression = 0xFFFFFFFF;
  TSize Size{0, 0};
} GCamera;

// Connects a synthetic camera of that format and size, with the video panel at the video size (as
// the window's layout puts it), and no timer running: the benchmark drives the frames.
void UseCamera(DWORD Compression, TSize Size) {
  if (GCamera.Compression == Compression && GCamera.Size.Width == Size.Width &&
      GCamera.Size.Height == Size.Height)
    return;
  TFormGhost* Form = FormGhost;
  TSyntheticCameraSettings& Settings = SyntheticCameraSettings();
  Settings.Compression = Compression;
  Settings.Width = Size.Width;
  Settings.Height = Size.Height;
  Settings.RefusedCodes.clear();
  if (Compression != BI_RGB) Settings.RefusedCodes.push_back(BI_RGB);
  Form->FindOption("Video Window Size")
      ->SetEditText(std::to_string(Size.Width) + " x " + std::to_string(Size.Height));
  Form->InspectorOptionsItems0Items5ItemChanged(nullptr, nullptr, "0");
  Form->ConnectCaptureDriver();
  Form->vcPanel1->SetBounds(0, 0, Size.Width, Size.Height);
  DataModule1->TimerPreview->SetEnabled(false);
  DataModule1->Timer1->SetEnabled(false);
  for (int Warm = 0; Warm < 3; ++Warm) DataModule1->TimerPreviewTimer(nullptr);
  GCamera = {Compression, Size};
}

void Tick() {
  DataModule1->TimerPreviewTimer(nullptr);
}

// A window of this thread that answers the capture thread's hand-off and does nothing else.
LRESULT HandOffProc(HWND Window, UINT Message, WPARAM WParam, LPARAM LParam) {
  if (Message == WM_CAPTURE_STREAM_FRAME) return 1;
  return DefWindowProcA(Window, Message, WParam, LParam);
}

class TCollectingReporter : public benchmark::ConsoleReporter {
 public:
  std::map<std::string, double> Seconds;
  void ReportRuns(const std::vector<Run>& Runs) override {
    for (const Run& Item : Runs)
      if (!Item.error_occurred && Item.run_type == Run::RT_Aggregate && Item.aggregate_name == "median")
        Seconds[Item.run_name.function_name] = Item.real_accumulated_time / double(Item.iterations);
    ConsoleReporter::ReportRuns(Runs);
  }
  double Milliseconds(const std::string& Name) const {
    const auto Found = Seconds.find(Name);
    return Found == Seconds.end() ? 0 : Found->second * 1000;
  }
};

void Register(const std::string& Name, std::function<void(benchmark::State&)> Body) {
  benchmark::RegisterBenchmark(Name.c_str(), std::move(Body))
      ->Unit(benchmark::kMillisecond)
      ->MinTime(0.2)
      ->Repetitions(5)
      ->ReportAggregatesOnly(true);
}

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);

  // A program folder of its own, so no settings file of the user's is read or written.
  char Template[] = "/tmp/korcam-bench-XXXXXX";
  if (!::mkdtemp(Template)) return 1;
  const std::string Home = Template;
  ::setenv("KORCAM_HOME", (Home + "/").c_str(), 1);
  ::setenv("KORCAM_SYNTHETIC_CAMERA", "1", 1);
  {
    std::ofstream Settings(Home + "/korcam.ini");
    Settings << "[Options]\nError history=False\n";
  }

  THeadlessBackend Headless;
  Application->Initialize();
  Application->CreateForm(DataModule1);
  Application->CreateForm(FormGhost);
  Application->ProcessMessages();
  if (!FormGhost->FConnected) {
    std::fprintf(stderr, "bench_composition: the synthetic camera did not connect\n");
    return 1;
  }

  WNDCLASSA Class{};
  Class.lpfnWndProc = HandOffProc;
  Class.lpszClassName = "KorcamBenchHandOff";
  RegisterClassA(&Class);
  const HWND HandOffWindow =
      CreateWindowExA(0, "KorcamBenchHandOff", "", 0, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);

  const TSize Sizes[] = {{640, 480}, {1280, 720}};
  for (const TSize& Size : Sizes) {
    const std::string Prefix = Size.Name() + "/";
    Register(Prefix + "tick, 24-bit camera", [Size](benchmark::State& State) {
      UseCamera(BI_RGB, Size);
      for (auto _ : State) Tick();
    });
    Register(Prefix + "tick, YUY2 camera", [Size](benchmark::State& State) {
      UseCamera(YUY2, Size);
      for (auto _ : State) Tick();
    });
    for (const DWORD Code : {DWORD(BI_RGB), YUY2}) {
      const std::string Camera = Code == BI_RGB ? "24-bit" : "YUY2";
      Register(Prefix + "camera alone, " + Camera, [Size, Code](benchmark::State& State) {
        UseCamera(Code, Size);
        FormGhost->RemoveCaptureCallbacks(FormGhost->FCaptureWindow);
        for (auto _ : State) FormGhost->SendCaptureMessage(WM_CAP_GRAB_FRAME_NOSTOP);
        FormGhost->InstallCaptureCallbacks(FormGhost->FCaptureWindow);
      });
      // The composition is skipped (one runs already): what is left is the frame reaching the
      // frame buffer and the frame bitmap.
      Register(Prefix + "camera and frame in, " + Camera, [Size, Code](benchmark::State& State) {
        UseCamera(Code, Size);
        FormGhost->FRendering = true;
        for (auto _ : State) FormGhost->SendCaptureMessage(WM_CAP_GRAB_FRAME_NOSTOP);
        FormGhost->FRendering = false;
      });
    }
    Register(Prefix + "composition", [Size](benchmark::State& State) {
      UseCamera(BI_RGB, Size);
      for (auto _ : State) FormGhost->RefreshMainImage(false);
    });
    Register(Prefix + "composition without stamps", [Size](benchmark::State& State) {
      UseCamera(BI_RGB, Size);
      TkvInspectorItem* Gamer = FormGhost->FindOption("Gamer View Enable");
      Gamer->SetChecked(true);
      for (auto _ : State) FormGhost->RefreshMainImage(false);
      Gamer->SetChecked(false);
    });
    Register(Prefix + "write-back of a streamed frame", [Size](benchmark::State& State) {
      UseCamera(BI_RGB, Size);
      TFormGhost* Form = FormGhost;
      std::vector<uint8_t> Frame(size_t(Size.Width) * 3 * size_t(Size.Height));
      for (auto _ : State) {
        Form->FFrameBuffer->SetPosition(0);
        Form->FComposedPicture->Bitmap()->SaveToStream(*Form->FFrameBuffer);
        std::memcpy(Frame.data(), static_cast<uint8_t*>(Form->FFrameBuffer->Memory()) + 54, Frame.size());
        benchmark::DoNotOptimize(Frame.data());
      }
    });
  }
  // The capture thread's synchronous send and the user-interface thread's answer, without the
  // composition: what handing a streamed frame over costs by itself.
  Register("cross-thread hand-off", [HandOffWindow](benchmark::State& State) {
    std::atomic<int> Requested{0}, Answered{0};
    std::atomic<bool> Done{false};
    std::thread Capture([&] {
      int Seen = 0;
      while (!Done) {
        if (Requested.load() == Seen) {
          std::this_thread::yield();
          continue;
        }
        ++Seen;
        SendMessageA(HandOffWindow, WM_CAPTURE_STREAM_FRAME, 0, 0);
        Answered = Seen;
      }
    });
    int Count = 0;
    for (auto _ : State) {
      Requested = ++Count;
      while (Answered.load() != Count) {
        MSG Message;
        while (PeekMessageA(&Message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&Message);
      }
    }
    Done = true;
    Capture.join();
  });

  TCollectingReporter Reporter;
  benchmark::RunSpecifiedBenchmarks(&Reporter);

  std::printf(
      "\nThe live picture, ms per frame (medians; the synthetic camera's own work included where named)\n");
  std::printf("%-11s %10s %10s %10s %10s %10s %10s %10s %10s\n", "size", "tick 24", "tick YUY2", "copy in",
              "decomp in", "compose", "stamps", "writeback", "handoff");
  for (const TSize& Size : Sizes) {
    const std::string P = Size.Name() + "/";
    auto Ms = [&](const std::string& Name) { return Reporter.Milliseconds(P + Name); };
    const double CopyIn = Ms("camera and frame in, 24-bit") - Ms("camera alone, 24-bit");
    const double DecompressIn = Ms("camera and frame in, YUY2") - Ms("camera alone, YUY2");
    const double Stamps = Ms("composition") - Ms("composition without stamps");
    std::printf("%-11s %10.3f %10.3f %10.3f %10.3f %10.3f %10.3f %10.3f %10.4f\n", Size.Name().c_str(),
                Ms("tick, 24-bit camera"), Ms("tick, YUY2 camera"), CopyIn, DecompressIn, Ms("composition"),
                Stamps, Ms("write-back of a streamed frame"), Reporter.Milliseconds("cross-thread hand-off"));
  }

  DestroyWindow(HandOffWindow);
  FormGhost->Free();
  DataModule1->Free();
  std::error_code Error;
  std::filesystem::remove_all(Home, Error);
  return 0;
}
