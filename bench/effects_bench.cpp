// The pixel effects and the effect chain per frame, at 640 x 480, 1280 x 720 and 1920 x 1080:
// every effect at a typical and at its largest setting, the chain with the main window's default
// options and with every item's default on, the literal reference implementation of each, and a
// plain frame copy as the floor. Each of ours runs twice: on one thread pinned to one core, and
// on all the processors the program may use. Every figure is the median of several repetitions.
// After the usual benchmark table a summary gives milliseconds per frame on one thread and on
// all, the ratio to the frame copy, the gain of the threads, the speed-up over the reference and
// whether the per-frame targets are met (judged on the medians).
//
//   bench_effects [--benchmark_filter=...]
//   bench/ffmpeg_filters.sh    (the nearest FFmpeg filters on the same frame sizes, for comparison)

#include <benchmark/benchmark.h>
#include <malloc.h>
#include <sched.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/rtl/format.h"
#include "tests/vcontrols/imaging/effectreference.h"
#include "vcontrols/imaging/bandpool.h"
#include "vcontrols/imaging/effectchain.h"
#include "vcontrols/imaging/pixeleffects.h"
#include "vcontrols/imaging/stretch.h"
#include "vcontrols/imaging/vcbitmap.h"
#include "vcontrols/imaging/vcimager.h"

namespace {

// An owned frame in the bitmap's row layout, filled with a smooth pattern plus noise (so that
// keyed pixels and flat runs occur as they do in camera pictures).
struct TFrame {
  std::vector<uint8_t> Bytes;
  TvcRaster Raster;
  TFrame(int32_t Width, int32_t Height, uint64_t Seed) : Bytes(size_t(vcRowSize(Width)) * size_t(Height)) {
    Raster = TvcRaster{Bytes.data(), Width, Height, vcRowSize(Width)};
    TvcRandom random(Seed);
    for (int32_t y = 0; y < Height; ++y)
      for (int32_t x = 0; x < Width; ++x) {
        uint8_t* p = Raster.At(x, y);
        p[0] = uint8_t((x * 255) / Width + random.Below(16));
        p[1] = uint8_t((y * 255) / Height + random.Below(16));
        p[2] = uint8_t(((x + y) * 127) / (Width + Height) + random.Below(64));
      }
  }
};

// The chain over the literal implementations: what the rules describe, without caching the
// stretched blend bitmap.
struct TReferenceTarget {
  TvcRaster Image;
  TvcRandom& Random;
  void ApplyGrayScale() { vcreference::ApplyGrayScale(Image); }
  void ApplyLightness(int32_t A) { vcreference::ApplyLightness(Image, A); }
  void ApplyAlphaBlend(const TvcBlendSource* Blend, int32_t A, bool) {
    std::vector<uint8_t> bytes(Image.ImageSize());
    const TvcRaster stretched{bytes.data(), Image.Width, Image.Height, Image.RowSize};
    vcreference::SmoothStretch(Blend->Bitmap, stretched);
    const TvcPixel key = ReadPixel(stretched.Pixels);
    vcreference::ApplyAlphaBlend(Image, stretched, A, Blend->Transparent ? &key : nullptr);
  }
  void ApplyColor(int32_t R, int32_t G, int32_t B) { vcreference::ApplyColor(Image, R, G, B, nullptr); }
  void ApplyTint(int32_t R, int32_t G, int32_t B) { vcreference::ApplyTint(Image, R, G, B); }
  void ApplySponge(int32_t A) { vcreference::ApplySponge(Image, A, Random); }
  void ApplySaturation(int32_t A) { vcreference::ApplySaturation(Image, A); }
  void ApplyGaussianBlur(int32_t A) { vcreference::ApplyGaussianBlur(Image, A); }
  void ApplyEmboss() { vcreference::ApplyEmboss(Image); }
  void ApplyInvert() { vcreference::ApplyInvert(Image); }
  void ApplyContrast(int32_t A) { vcreference::ApplyContrast(Image, A); }
  void ApplySharpen(int32_t D) { vcreference::ApplySharpen(Image, D); }
  void ApplyFlip(bool H) { vcreference::ApplyFlip(Image, H); }
  void ApplyWave(bool W, long double X, long double Y, long double R) {
    vcreference::ApplyWave(Image, W, X, Y, R);
  }
  void ApplyRotation(POINT C, long double A) { vcreference::ApplyRotation(Image, C.x, C.y, A); }
};

// The steps of the chain, in its order, for the breakdown of the pipeline on all threads: what
// each step costs inside the chain (cold workers, a picture another step just wrote) rather than
// on its own.
const char* const ChainSteps[] = {"frame copied in", "grey scale", "lightness", "alpha blend", "colour", "tint",
                                  "sponge", "saturation", "gaussian blur", "emboss", "invert", "contrast",
                                  "sharpen", "flip, horizontal", "flip, vertical", "wave", "rotation"};
constexpr int ChainStepCount = int(sizeof(ChainSteps) / sizeof(ChainSteps[0]));

// Runs each operation of the inner target and adds its time to its step's total.
struct TStepTimedTarget {
  TvcRasterTarget& Inner;
  double* Seconds;  // ChainStepCount totals

  template <class TStep>
  void Time(int Step, const TStep& Run) {
    const auto start = std::chrono::steady_clock::now();
    Run();
    Seconds[Step] += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  }
  void ApplyGrayScale() { Time(1, [&] { Inner.ApplyGrayScale(); }); }
  void ApplyLightness(int32_t A) { Time(2, [&] { Inner.ApplyLightness(A); }); }
  void ApplyAlphaBlend(const TvcBlendSource* B, int32_t A, bool S) {
    Time(3, [&] { Inner.ApplyAlphaBlend(B, A, S); });
  }
  void ApplyColor(int32_t R, int32_t G, int32_t B) { Time(4, [&] { Inner.ApplyColor(R, G, B); }); }
  void ApplyTint(int32_t R, int32_t G, int32_t B) { Time(5, [&] { Inner.ApplyTint(R, G, B); }); }
  void ApplySponge(int32_t A) { Time(6, [&] { Inner.ApplySponge(A); }); }
  void ApplySaturation(int32_t A) { Time(7, [&] { Inner.ApplySaturation(A); }); }
  void ApplyGaussianBlur(int32_t A) { Time(8, [&] { Inner.ApplyGaussianBlur(A); }); }
  void ApplyEmboss() { Time(9, [&] { Inner.ApplyEmboss(); }); }
  void ApplyInvert() { Time(10, [&] { Inner.ApplyInvert(); }); }
  void ApplyContrast(int32_t A) { Time(11, [&] { Inner.ApplyContrast(A); }); }
  void ApplySharpen(int32_t D) { Time(12, [&] { Inner.ApplySharpen(D); }); }
  void ApplyFlip(bool H) { Time(H ? 13 : 14, [&] { Inner.ApplyFlip(H); }); }
  void ApplyWave(bool W, long double X, long double Y, long double R) {
    Time(15, [&] { Inner.ApplyWave(W, X, Y, R); });
  }
  void ApplyRotation(POINT C, long double A) { Time(16, [&] { Inner.ApplyRotation(C, A); }); }
};

// What a row is judged by, on the medians: the one-thread time against the frame copy, the
// speed-up over the reference on one thread or on all, or the gain of all threads over one.
enum TTargetKind { tkNone, tkCopyRatio, tkOverReference, tkOverReferenceAllThreads, tkThreadGain };
struct TTarget {
  TTargetKind Kind = tkNone;
  double Limit = 0;
  int32_t FromWidth = 0;  // judged only from this frame width on
};
const char* const StepsName = "pipeline, every item default, by step";
const TTarget tgNone{};
const TTarget tgNearCopy{tkCopyRatio, 5};
const TTarget tgOverReference{tkOverReference, 4};

struct TEffectCase {
  std::string Name;
  std::string Setting;
  TTarget Target;
  std::function<void(const TvcRaster&, TvcEffectWorkspace&, TvcRandom&)> Fast;
  std::function<void(const TvcRaster&, TvcRandom&)> Reference;
};

std::vector<TEffectCase> EffectCases(const TFrame& SameSizeBlend, const TFrame& SmallBlend) {
  std::vector<TEffectCase> cases;
  auto add = [&](std::string Name, std::string Setting, TTarget Target, auto Fast, auto Reference) {
    cases.push_back({std::move(Name), std::move(Setting), Target, Fast, Reference});
  };
  using W = TvcEffectWorkspace;
  using R = TvcRandom;
  add(
      "grey scale", "on", tgNearCopy,
      [](auto& I, W& Workspace, R&) { vcfx::ApplyGrayScale(I, Workspace.Scratch); },
      [](auto& I, R&) { vcreference::ApplyGrayScale(I); });
  add(
      "invert", "on", tgNearCopy, [](auto& I, W& Workspace, R&) { vcfx::ApplyInvert(I, Workspace.Scratch); },
      [](auto& I, R&) { vcreference::ApplyInvert(I); });
  for (int32_t a : {60, 255, 500})
    add(
        "lightness", std::to_string(a), tgNearCopy,
        [a](auto& I, W& Workspace, R&) { vcfx::ApplyLightness(I, a, Workspace.Scratch); },
        [a](auto& I, R&) { vcreference::ApplyLightness(I, a); });
  for (int32_t a : {80, 300})
    add(
        "contrast", std::to_string(a), tgNearCopy,
        [a](auto& I, W& Workspace, R&) { vcfx::ApplyContrast(I, a, Workspace.Scratch); },
        [a](auto& I, R&) { vcreference::ApplyContrast(I, a); });
  for (int32_t a : {500, 10000})
    add(
        "saturation", std::to_string(a), tgNearCopy,
        [a](auto& I, W& Workspace, R&) { vcfx::ApplySaturation(I, a, Workspace.Scratch); },
        [a](auto& I, R&) { vcreference::ApplySaturation(I, a); });
  add(
      "tint", "sky blue", tgNearCopy,
      [](auto& I, W& Workspace, R&) {
        vcfx::ApplyTint(I, 0xA6 >> 1, 0xCA >> 1, 0xF0 >> 1, Workspace.Scratch);
      },
      [](auto& I, R&) { vcreference::ApplyTint(I, 0xA6 >> 1, 0xCA >> 1, 0xF0 >> 1); });
  add(
      "tint", "white", tgNearCopy,
      [](auto& I, W& Workspace, R&) { vcfx::ApplyTint(I, 127, 127, 127, Workspace.Scratch); },
      [](auto& I, R&) { vcreference::ApplyTint(I, 127, 127, 127); });
  add(
      "colour", "teal", tgNearCopy,
      [](auto& I, W& Workspace, R&) { vcfx::ApplyColor(I, 0, 128, 128, nullptr, Workspace.Scratch); },
      [](auto& I, R&) { vcreference::ApplyColor(I, 0, 128, 128, nullptr); });
  static const TvcPixel key{255, 255, 255};
  add(
      "colour", "teal, key white", tgNearCopy,
      [](auto& I, W& Workspace, R&) { vcfx::ApplyColor(I, 0, 128, 128, &key, Workspace.Scratch); },
      [](auto& I, R&) { vcreference::ApplyColor(I, 0, 128, 128, &key); });
  const TvcRaster same = SameSizeBlend.Raster;
  add(
      "alpha blend", "75, same size", tgNone,
      [same](auto& I, W& Workspace, R&) { vcfx::ApplyAlphaBlend(I, same, 75, nullptr, Workspace.Scratch); },
      [same](auto& I, R&) { vcreference::ApplyAlphaBlend(I, same, 75, nullptr); });
  const TvcBlendSource small{SmallBlend.Raster, true, true};
  add(
      "alpha blend", "100, stretched, transparent", tgNone,
      [small](auto& I, W& Workspace, R&) {
        TvcRasterTarget(I, Workspace).ApplyAlphaBlend(&small, 100, true);
      },
      [small](auto& I, R& Random) {
        TReferenceTarget{I, Random}.ApplyAlphaBlend(&small, 100, true);
      });
  for (int32_t n : {10, 500})
    add(
        "sponge", std::to_string(n), TTarget{tkOverReferenceAllThreads, 3},
        [n](auto& I, W& Workspace, R& Random) { vcfx::ApplySponge(I, n, Random, Workspace.Scratch); },
        [n](auto& I, R& Random) { vcreference::ApplySponge(I, n, Random); });
  for (int32_t n : {2, 10})
    add(
        "gaussian blur", std::to_string(n), tgOverReference,
        [n](auto& I, W& Workspace, R&) { vcfx::ApplyGaussianBlur(I, n, Workspace.Scratch); },
        [n](auto& I, R&) { vcreference::ApplyGaussianBlur(I, n); });
  add(
      "emboss", "on", tgOverReference,
      [](auto& I, W& Workspace, R&) { vcfx::ApplyEmboss(I, Workspace.Scratch); },
      [](auto& I, R&) { vcreference::ApplyEmboss(I); });
  for (int32_t d : {1, 500})
    add(
        "sharpen", std::to_string(d), tgOverReference,
        [d](auto& I, W& Workspace, R&) { vcfx::ApplySharpen(I, d, Workspace.Scratch); },
        [d](auto& I, R&) { vcreference::ApplySharpen(I, d); });
  add(
      "flip", "horizontal", TTarget{tkCopyRatio, 2},
      [](auto& I, W& Workspace, R&) { vcfx::ApplyFlip(I, true, Workspace.Scratch); },
      [](auto& I, R&) { vcreference::ApplyFlip(I, true); });
  add(
      "flip", "vertical", tgNone,
      [](auto& I, W& Workspace, R&) { vcfx::ApplyFlip(I, false, Workspace.Scratch); },
      [](auto& I, R&) { vcreference::ApplyFlip(I, false); });
  add(
      "wave", "5, 20, 15", tgOverReference,
      [](auto& I, W& Workspace, R&) { vcfx::ApplyWave(I, false, 20, 15, 5, Workspace.Scratch); },
      [](auto& I, R&) { vcreference::ApplyWave(I, false, 20, 15, 5); });
  add(
      "wave", "500, 20, 15, wrap", tgOverReference,
      [](auto& I, W& Workspace, R&) { vcfx::ApplyWave(I, true, 20, 15, 500, Workspace.Scratch); },
      [](auto& I, R&) { vcreference::ApplyWave(I, true, 20, 15, 500); });
  for (int32_t a : {10, 45})
    add(
        "rotation", std::to_string(a), tgOverReference,
        [a](auto& I, W& Workspace, R&) { vcfx::ApplyRotation(I, -1, -1, a, Workspace.Scratch); },
        [a](auto& I, R&) { vcreference::ApplyRotation(I, -1, -1, a); });
  return cases;
}

// The main window's option tables start with effects off ("Enable Image Effects" is unchecked),
// so the live picture's chain runs with every setting at its off value; "every item default" is
// the chain with each effect's own default value switched on.
TvcEffectSettings EveryItemDefault() {
  TvcEffectSettings s;
  s.Embossed = s.HorizontallyFlipped = s.VerticallyFlipped = s.GrayScale = s.Inverted = true;
  s.RotationAngle = 10;
  s.AlphaBlendAmount = 75;
  s.Contrast = 80;
  s.Lightness = 60;
  s.Saturation = 500;
  s.Sharpen = 1;
  s.Sponge = 10;
  s.GaussianBlur = 2;
  s.WaveRatio = 5;
  s.WaveXDiv = 20;
  s.WaveYDiv = 15;
  return s;
}

// The median seconds per iteration of every benchmark, by name.
class TCollectingReporter : public benchmark::ConsoleReporter {
 public:
  std::map<std::string, double> Seconds;
  // The median of every user counter, by benchmark name and counter name.
  std::map<std::string, std::map<std::string, double>> Counters;
  void ReportRuns(const std::vector<Run>& Runs) override {
    for (const Run& run : Runs)
      if (!run.error_occurred && run.run_type == Run::RT_Aggregate && run.aggregate_name == "median") {
        Seconds[run.run_name.function_name] = run.real_accumulated_time / double(run.iterations);
        for (const auto& [name, counter] : run.counters) Counters[run.run_name.function_name][name] = counter.value;
      }
    ConsoleReporter::ReportRuns(Runs);
  }
  double Find(const std::string& Name) const {
    const auto found = Seconds.find(Name);
    return found == Seconds.end() ? 0 : found->second;
  }
};

struct TSummaryRow {
  std::string Label;
  std::string Name;  // "<size>/<label>"; the runs add "/1 thread", "/all threads", "/reference"
  bool HasReference;
  TTarget Target;
};

struct TSize {
  int32_t Width, Height;
  std::string Name() const { return std::to_string(Width) + "x" + std::to_string(Height); }
};

// The two ways every one of ours runs: one thread pinned to one processor (steady figures), and
// every processor the program may use. Workers are started while unpinned, so they keep the
// whole set.
cpu_set_t GAllProcessors;
int GPinnedProcessor = 0;

int32_t ProcessorCount() {
  return CPU_COUNT(&GAllProcessors);
}

void UseOneThread() {
  cpu_set_t one;
  CPU_ZERO(&one);
  CPU_SET(GPinnedProcessor, &one);
  sched_setaffinity(0, sizeof(one), &one);
  vcSetEffectThreads(1);
}

void UseAllThreads() {
  sched_setaffinity(0, sizeof(GAllProcessors), &GAllProcessors);
  vcSetEffectThreads(ProcessorCount());
}

constexpr int Repetitions = 5;

// Registers Body as "<Name>/1 thread" and "<Name>/all threads", and Reference (when given) as
// "<Name>/reference" on one thread. Reset (when given) runs untimed before each repetition: the
// effects work in place, and ours and the reference should start from the same picture (some
// costs depend on it).
void RegisterBoth(const std::string& Name, std::function<void()> Body, std::function<void()> Reference,
                  std::function<void()> Reset = nullptr) {
  const auto add = [Reset](const std::string& RunName, std::function<void()> Mode,
                           std::function<void()> Run) {
    benchmark::RegisterBenchmark(RunName.c_str(),
                                 [Mode, Run, Reset](benchmark::State& State) {
                                   Mode();
                                   if (Reset) Reset();
                                   for (auto _ : State) Run();
                                 })
        ->Unit(benchmark::kMillisecond)
        ->MinTime(0.05)
        ->Repetitions(Repetitions)
        ->ReportAggregatesOnly(true);
  };
  add(Name + "/1 thread", UseOneThread, Body);
  add(Name + "/all threads", UseAllThreads, Body);
  if (Reference) add(Name + "/reference", UseOneThread, Reference);
}

std::string Verdict(const TTarget& Target, int32_t Width, double CopyRatio, double OverReference,
                    double OverReferenceAll, double ThreadGain) {
  if (Target.Kind == tkNone || Width < Target.FromWidth) return "";
  double value = 0;
  bool met = false;
  const char* what = "";
  switch (Target.Kind) {
    case tkCopyRatio:
      value = CopyRatio, met = value <= Target.Limit, what = "x copy <=";
      break;
    case tkOverReference:
      value = OverReference, met = value >= Target.Limit, what = "x ref, 1 thread >=";
      break;
    case tkOverReferenceAllThreads:
      value = OverReferenceAll, met = value >= Target.Limit, what = "x ref, all >=";
      break;
    case tkThreadGain:
      value = ThreadGain, met = value >= Target.Limit, what = "x 1 thread >=";
      break;
    case tkNone:
      break;
  }
  return Format("%s (%s %g)", met ? "met" : "MISSED", what, Target.Limit);
}

}  // namespace

int main(int argc, char** argv) {
  // The reference wave, rotation and blend allocate a whole temporary picture per call; keep such
  // blocks on the heap (no fresh pages from the kernel each time), so that the reference is timed
  // on its arithmetic, the same way on every run.
  mallopt(M_MMAP_THRESHOLD, 512 << 20);
  mallopt(M_TRIM_THRESHOLD, 1 << 30);
  sched_getaffinity(0, sizeof(GAllProcessors), &GAllProcessors);
  GPinnedProcessor = sched_getcpu();

  benchmark::Initialize(&argc, argv);
  const TSize sizes[] = {{640, 480}, {1280, 720}, {1920, 1080}};
  std::vector<std::unique_ptr<TFrame>> frames;
  std::vector<std::pair<TSize, std::vector<TSummaryRow>>> summary;
  std::vector<std::string> identity;
  auto workspace = std::make_shared<TvcEffectWorkspace>();
  auto random = std::make_shared<TvcRandom>(1);

  for (const TSize& size : sizes) {
    const std::string prefix = size.Name() + "/";
    frames.push_back(std::make_unique<TFrame>(size.Width, size.Height, 1));
    const TFrame& source = *frames.back();
    frames.push_back(std::make_unique<TFrame>(size.Width, size.Height, 2));
    TFrame& work = *frames.back();
    frames.push_back(std::make_unique<TFrame>(size.Width, size.Height, 3));
    const TFrame& sameBlend = *frames.back();
    frames.push_back(std::make_unique<TFrame>(size.Width / 3, size.Height / 3, 4));
    const TFrame& smallBlend = *frames.back();
    std::vector<TSummaryRow> rows;

    benchmark::RegisterBenchmark((prefix + "copy").c_str(),
                                 [&source, &work](benchmark::State& State) {
                                   UseOneThread();
                                   for (auto _ : State) {
                                     vcfx::CopyPixels(source.Raster, work.Raster);
                                     benchmark::DoNotOptimize(work.Bytes.data());
                                   }
                                 })
        ->Unit(benchmark::kMillisecond)
        ->MinTime(0.05)
        ->Repetitions(Repetitions)
        ->ReportAggregatesOnly(true);

    for (const TEffectCase& c : EffectCases(sameBlend, smallBlend)) {
      const std::string label = c.Name + " (" + c.Setting + ")";
      RegisterBoth(
          prefix + label,
          [c, &work, workspace, random] {
            c.Fast(work.Raster, *workspace, *random);
            benchmark::DoNotOptimize(work.Bytes.data());
          },
          [c, &work, random] {
            c.Reference(work.Raster, *random);
            benchmark::DoNotOptimize(work.Bytes.data());
          },
          [&source, &work] { vcfx::CopyPixels(source.Raster, work.Raster); });
      rows.push_back({label, prefix + label, true, c.Target});
    }

    // The whole chain as the live picture runs it: the frame copied into the work bitmap, then
    // the effects.
    struct TChainCase {
      std::string Label;
      TvcEffectSettings Settings;
      TTarget Target;
    };
    const TChainCase chains[] = {
        {"pipeline, default options", TvcEffectSettings{}, TTarget{tkCopyRatio, 2}},
        {"pipeline, every item default", EveryItemDefault(), TTarget{tkThreadGain, 4, 1280}}};
    for (const TChainCase& chain : chains) {
      const TvcBlendSource blend{smallBlend.Raster, false, true};
      RegisterBoth(
          prefix + chain.Label,
          [chain, blend, &source, &work, workspace, random] {
            vcfx::CopyPixels(source.Raster, work.Raster);
            TvcRasterTarget target(work.Raster, *workspace, clNone, *random);
            RunEffectChain(target, chain.Settings, &blend);
            benchmark::DoNotOptimize(work.Bytes.data());
          },
          [chain, blend, &source, &work, random] {
            vcfx::CopyPixels(source.Raster, work.Raster);
            TReferenceTarget target{work.Raster, *random};
            RunEffectChain(target, chain.Settings, &blend);
            benchmark::DoNotOptimize(work.Bytes.data());
          });
      rows.push_back({chain.Label, prefix + chain.Label, true, chain.Target});
    }

    // The same chain step by step: each step's share of a frame, on one thread and on all (the
    // summary lists them under the size's table).
    for (const bool all : {false, true}) {
      const TvcBlendSource blend{smallBlend.Raster, false, true};
      benchmark::RegisterBenchmark(
          (prefix + StepsName + (all ? "/all threads" : "/1 thread")).c_str(),
          [all, blend, &source, &work, workspace, random](benchmark::State& State) {
            all ? UseAllThreads() : UseOneThread();
            double seconds[ChainStepCount] = {};
            for (auto _ : State) {
              const auto start = std::chrono::steady_clock::now();
              vcfx::CopyPixels(source.Raster, work.Raster);
              seconds[0] += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
              TvcRasterTarget target(work.Raster, *workspace, clNone, *random);
              TStepTimedTarget timed{target, seconds};
              RunEffectChain(timed, EveryItemDefault(), &blend);
              benchmark::DoNotOptimize(work.Bytes.data());
            }
            for (int step = 0; step < ChainStepCount; ++step)
              State.counters[ChainSteps[step]] =
                  benchmark::Counter(seconds[step] * 1000, benchmark::Counter::kAvgIterations);
          })
          ->Unit(benchmark::kMillisecond)
          ->MinTime(0.05)
          ->Repetitions(Repetitions)
          ->ReportAggregatesOnly(true);
    }

    // Every effect on: the same bytes on one thread, on all, and from the reference chain.
    {
      const TvcBlendSource blend{smallBlend.Raster, false, true};
      std::vector<uint8_t> results[3];
      for (int run = 0; run < 3; ++run) {
        run == 1 ? UseAllThreads() : UseOneThread();
        TFrame out(size.Width, size.Height, 9);
        vcfx::CopyPixels(source.Raster, out.Raster);
        TvcRandom fresh(5);
        if (run < 2) {
          TvcEffectWorkspace own;
          TvcRasterTarget target(out.Raster, own, clNone, fresh);
          RunEffectChain(target, EveryItemDefault(), &blend);
        } else {
          TReferenceTarget target{out.Raster, fresh};
          RunEffectChain(target, EveryItemDefault(), &blend);
        }
        results[run] = out.Bytes;
      }
      identity.push_back(
          Format("%s, every effect on: 1 thread %s all threads, %s the reference chain", size.Name().c_str(),
                 results[0] == results[1] ? "==" : "!=", results[0] == results[2] ? "==" : "!="));
    }

    // The same through the bitmap graphic, as the image control runs it: the frame (a
    // class-library bitmap) assigned to the work bitmap, then the chain; and the copy of the
    // processed picture back out, which the program makes after every frame.
    {
      auto frame = std::make_shared<TBitmap>();
      frame->SetPixelFormat(pf24bit);
      frame->SetSize(size.Width, size.Height);
      for (int32_t y = 0; y < size.Height; ++y)
        std::memcpy(frame->ScanLine(y), source.Raster.Row(y), size_t(size.Width) * 3);
      auto workBitmap = std::make_shared<TvcBitmap>();
      auto copyOut = std::make_shared<TBitmap>();
      const std::string label = "pipeline, default options, bitmap graphic";
      RegisterBoth(
          prefix + label,
          [frame, workBitmap] {
            workBitmap->Assign(frame.get());
            RunEffectChain(*workBitmap, TvcEffectSettings{}, static_cast<const TvcBitmap*>(nullptr));
          },
          nullptr);
      rows.push_back({label, prefix + label, false, tgNearCopy});
      const std::string copyLabel = "processed picture copied out";
      workBitmap->Assign(frame.get());
      RegisterBoth(
          prefix + copyLabel, [workBitmap, copyOut] { copyOut->Assign(workBitmap.get()); }, nullptr);
      rows.push_back({copyLabel, prefix + copyLabel, false, tgNone});

      // The image control as the live picture drives it, with the form's default options (every
      // effect off): the frame becomes the picture, the effects are re-run, and the processed
      // picture is copied out. The control has the frame's size and draws proportionally and
      // smoothly with the effects after scaling, as the main window's live image does.
      std::shared_ptr<TvcImager> imager(new TvcImager(nullptr), [](TvcImager* Imager) { Imager->Free(); });
      imager->SetBounds(0, 0, size.Width, size.Height);
      imager->SetPreProcess(false);
      imager->SetDrawStyle(dsProportional);
      imager->SetSmoothStretching(true);
      const std::string imagerLabel = "image control, default options";
      RegisterBoth(
          prefix + imagerLabel,
          [frame, imager, copyOut] {
            imager->Picture()->Bitmap()->Assign(frame.get());
            imager->RefreshEffects();
            copyOut->Assign(imager->WorkBitmap());
          },
          nullptr);
      rows.push_back({imagerLabel, prefix + imagerLabel, false, tgNone});
    }

    // A frame shown in a control of another size: the bilinear stretch into the work bitmap.
    frames.push_back(std::make_unique<TFrame>(size.Width * 5 / 4, size.Height * 5 / 4, 5));
    TFrame& larger = *frames.back();
    const std::string stretchLabel = "bilinear stretch to 125%";
    RegisterBoth(
        prefix + stretchLabel,
        [&source, &larger, workspace] {
          vcfx::SmoothStretch(source.Raster, larger.Raster, workspace->Scratch);
          benchmark::DoNotOptimize(larger.Bytes.data());
        },
        [&source, &larger] {
          vcreference::SmoothStretch(source.Raster, larger.Raster);
          benchmark::DoNotOptimize(larger.Bytes.data());
        });
    rows.push_back({stretchLabel, prefix + stretchLabel, true, TTarget{tkCopyRatio, 30}});
    summary.push_back({size, std::move(rows)});
  }

  TCollectingReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();

  std::printf(
      "\nPer frame, medians of %d repetitions; one thread pinned to one processor, and all %d "
      "processors.\nTargets: the table effects within 5x of the copy and the default pipeline within 2x "
      "(one thread);\nblur, sharpen, emboss, wave and rotation at least 4x faster than the reference "
      "(one thread);\nthe horizontal flip within 2x and the bilinear stretch within 30x of the copy "
      "(one thread);\nthe sponge at least 3x faster than the reference (all threads); every item on from "
      "1280x720:\nall threads at least 4x faster than one.\n",
      Repetitions, ProcessorCount());
  for (const auto& [size, rows] : summary) {
    const double copy = reporter.Find(size.Name() + "/copy");
    if (copy == 0) continue;
    std::printf("\n%-44s %9s %7s %9s %6s %7s %7s  %s\n", size.Name().c_str(), "1 thread", "x copy",
                "all thr.", "x gain", "x ref 1", "x ref *", "target");
    std::printf("%-44s %9.3f %7.1f\n", "frame copy (floor)", copy * 1000, 1.0);
    for (const TSummaryRow& row : rows) {
      const double one = reporter.Find(row.Name + "/1 thread"),
                   all = reporter.Find(row.Name + "/all threads");
      if (one == 0 || all == 0) continue;
      const double reference = row.HasReference ? reporter.Find(row.Name + "/reference") : 0;
      const double overReference = reference > 0 ? reference / one : 0;
      const double overReferenceAll = reference > 0 ? reference / all : 0;
      const std::string referenceText = reference > 0 ? Format("%.1fx", overReference) : std::string("-");
      const std::string referenceAllText =
          reference > 0 ? Format("%.1fx", overReferenceAll) : std::string("-");
      std::printf(
          "%-44s %9.3f %7.1f %9.3f %5.1fx %7s %7s  %s\n", row.Label.c_str(), one * 1000, one / copy,
          all * 1000, one / all, referenceText.c_str(), referenceAllText.c_str(),
          Verdict(row.Target, size.Width, one / copy, overReference, overReferenceAll, one / all).c_str());
    }
  }
  for (const auto& [size, rows] : summary) {
    const std::string name = size.Name() + "/" + StepsName;
    const auto one = reporter.Counters.find(name + "/1 thread"), all = reporter.Counters.find(name + "/all threads");
    if (one == reporter.Counters.end() || all == reporter.Counters.end()) continue;
    std::printf("\n%-44s %9s %9s %6s\n", (size.Name() + ", " + StepsName).c_str(), "1 thread", "all thr.",
                "x gain");
    double oneTotal = 0, allTotal = 0;
    for (const char* step : ChainSteps) {
      const double oneStep = one->second[step], allStep = all->second[step];
      oneTotal += oneStep;
      allTotal += allStep;
      std::printf("  %-42s %9.3f %9.3f %5.1fx\n", step, oneStep, allStep, allStep > 0 ? oneStep / allStep : 0);
    }
    std::printf("  %-42s %9.3f %9.3f %5.1fx\n", "sum of the steps", oneTotal, allTotal,
                allTotal > 0 ? oneTotal / allTotal : 0);
  }
  std::printf("\n");
  for (const std::string& line : identity) std::printf("%s\n", line.c_str());
  return 0;
}
