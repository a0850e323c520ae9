// The motion check, at 640 x 480 and 1280 x 720: one check (the raw frame read as bottom-up 24-bit
// rows, compared byte by byte with the snapshot, the two buffers changing places), its parts (the
// read and the comparison, beside a comparison one byte at a time), and the whole preview tick of
// the synthetic camera with motion detection on and off (and once with three image effects on), so
// that the live path's figure per frame includes the check (which runs on one frame in three). The
// program runs headless with the main window's default options otherwise. After the benchmark table a summary gives milliseconds per frame.
//
//   bench_motion [--benchmark_filter=...]

#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "app/datamodule1.h"
#include "app/formghost.h"
#include "app/motion.h"
#include "platform/backends/headless/headless.h"
#include "platform/capture/syntheticcamera.h"
#include "platform/forms/application.h"
#include "platform/forms/bitmap.h"

namespace {

struct TSize {
  int32_t Width, Height;
  std::string Name() const { return std::to_string(Width) + "x" + std::to_string(Height); }
};

constexpr DWORD YUY2 = mmioFOURCC('Y', 'U', 'Y', '2');

// Connects a synthetic camera of that format and size, the video panel at the video size, no
// timer running: the benchmark drives the frames.
void UseCamera(DWORD Compression, TSize Size) {
  TFormGhost* Form = FormGhost;
  TSyntheticCameraSettings& Settings = SyntheticCameraSettings();
  Settings.Compression = Compression;
  Settings.Width = Size.Width;
  Settings.Height = Size.Height;
  Settings.RefusedCodes.clear();
  if (Compression != BI_RGB) Settings.RefusedCodes.push_back(BI_RGB);
  Form->FindOption("Video Window Size")->SetEditText(std::to_string(Size.Width) + " x " + std::to_string(Size.Height));
  Form->InspectorOptionsItems0Items5ItemChanged(nullptr, nullptr, "0");
  Form->ConnectCaptureDriver();
  Form->vcPanel1->SetBounds(0, 0, Size.Width, Size.Height);
  DataModule1->TimerPreview->SetEnabled(false);
  DataModule1->Timer1->SetEnabled(false);
  for (int Warm = 0; Warm < 3; ++Warm) DataModule1->TimerPreviewTimer(nullptr);
}

void ForgetSnapshot() {
  FormGhost->FMotionSnapshot.clear();
  FormGhost->FMotionSnapshotSize = 0;
  FormGhost->FMotionCycle = 0;
}

void Detection(bool On) {
  FormGhost->FindOption("Enable motion detection")->SetChecked(On);
  ForgetSnapshot();
}

// The live image's effects: the master and three common effects at the form's values (gray scale,
// contrast, sharpen), or all off.
void Effects(bool On) {
  for (const char* Key : {"Enable Image Effects", "Image Effects Gray Scale", "Image Effects Contrast",
                          "Image Effects Sharpen"})
    FormGhost->FindOption(Key)->SetChecked(On);
  FormGhost->InspectorOptionsItems10Items16ItemChanged(nullptr, nullptr, "");
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

size_t EqualBytesOneByOne(const uint8_t* A, const uint8_t* B, size_t Size) {
  size_t Equal = 0;
  for (size_t Index = 0; Index < Size; ++Index) Equal += A[Index] == B[Index];
  return Equal;
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
    std::fprintf(stderr, "bench_motion: the synthetic camera did not connect\n");
    return 1;
  }

  const TSize Sizes[] = {{640, 480}, {1280, 720}};
  for (const TSize& Size : Sizes) {
    const std::string Prefix = Size.Name() + "/";
    // One check on the camera's still card: the snapshot is the same frame, so no motion is
    // armed and every check does the whole comparison.
    Register(Prefix + "check", [Size](benchmark::State& State) {
      UseCamera(BI_RGB, Size);
      Detection(true);
      for (auto _ : State) {
        FormGhost->FMotionCycle = 0;
        FormGhost->CheckMotion();
      }
      Detection(false);
    });
    Register(Prefix + "read the frame's rows", [Size](benchmark::State& State) {
      UseCamera(BI_RGB, Size);
      std::vector<uint8_t> Rows;
      for (auto _ : State) benchmark::DoNotOptimize(ReadMotionRows(*FormGhost->FFrameBitmap, Rows));
    });
    const size_t Bytes = size_t((Size.Width * 24 + 31) / 32) * 4 * size_t(Size.Height);
    auto Frames = std::make_shared<std::vector<uint8_t>>(Bytes * 2);
    std::mt19937 Random(105);
    for (uint8_t& Byte : *Frames) Byte = uint8_t(Random() & 0x0F);  // about one byte in 16 equal
    Register(Prefix + "compare", [Frames, Bytes](benchmark::State& State) {
      for (auto _ : State) benchmark::DoNotOptimize(CountEqualBytes(Frames->data(), Frames->data() + Bytes, Bytes));
    });
    Register(Prefix + "compare one byte at a time", [Frames, Bytes](benchmark::State& State) {
      for (auto _ : State)
        benchmark::DoNotOptimize(EqualBytesOneByOne(Frames->data(), Frames->data() + Bytes, Bytes));
    });
    for (const DWORD Code : {DWORD(BI_RGB), YUY2}) {
      const std::string Camera = Code == BI_RGB ? "24-bit" : "YUY2";
      for (const bool On : {false, true}) {
        Register(Prefix + "tick, " + Camera + ", detection " + (On ? "on" : "off"), [Size, Code, On](benchmark::State& State) {
          UseCamera(Code, Size);
          Detection(On);
          for (auto _ : State) DataModule1->TimerPreviewTimer(nullptr);
          Detection(false);
        });
      }
    }
    Register(Prefix + "tick, 24-bit, detection and effects on", [Size](benchmark::State& State) {
      UseCamera(BI_RGB, Size);
      Detection(true);
      Effects(true);
      for (auto _ : State) DataModule1->TimerPreviewTimer(nullptr);
      Effects(false);
      Detection(false);
    });
  }

  TCollectingReporter Reporter;
  benchmark::RunSpecifiedBenchmarks(&Reporter);

  std::printf("\nMotion detection, ms (medians); a check runs on one frame in three. \"read\" is the way of frames\n"
              "that are not of 24-bit rows; \"per frame\" is a check's share of each frame. The ticks are the whole\n"
              "live path of one frame: capture, frame in, composition with stamps, effects, motion check.\n");
  std::printf("%-9s %7s %7s %8s %7s %9s %11s %11s %11s %11s %13s\n", "size", "check", "read", "compare", "1 by 1",
              "per frame", "24 off", "24 on", "YUY2 off", "YUY2 on", "24 on+effects");
  for (const TSize& Size : Sizes) {
    const std::string P = Size.Name() + "/";
    auto Ms = [&](const std::string& Name) { return Reporter.Milliseconds(P + Name); };
    std::printf("%-9s %7.3f %7.3f %8.3f %7.3f %9.3f %11.3f %11.3f %11.3f %11.3f %13.3f\n", Size.Name().c_str(),
                Ms("check"), Ms("read the frame's rows"), Ms("compare"), Ms("compare one byte at a time"),
                Ms("check") / 3, Ms("tick, 24-bit, detection off"), Ms("tick, 24-bit, detection on"),
                Ms("tick, YUY2, detection off"), Ms("tick, YUY2, detection on"),
                Ms("tick, 24-bit, detection and effects on"));
  }

  FormGhost->Free();
  DataModule1->Free();
  std::error_code Error;
  std::filesystem::remove_all(Home, Error);
  return 0;
}
