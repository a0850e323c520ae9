// The pixel effects and the effect chain per frame, at 640 x 480 and 1280 x 720 on one core:
// every effect at a typical and at its largest setting, the chain with the main window's default
// options, the literal reference implementation of each, and a plain frame copy as the floor.
// After the usual benchmark table a summary gives milliseconds per frame, the ratio to the frame
// copy, the speed-up over the reference and whether the per-frame targets are met.
//
//   bench_effects [--benchmark_filter=...] [--benchmark_min_time=...]
//   bench/ffmpeg_filters.sh    (the nearest FFmpeg filters on the same frame sizes, for comparison)

#include <benchmark/benchmark.h>
#include <sched.h>

#include <cstdio>
#include <cstring>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/rtl/format.h"
#include "tests/vcontrols/imaging/effectreference.h"
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

enum TTarget { tgNone, tgNearCopy, tgOverReference };

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
        "sponge", std::to_string(n), tgNone,
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
      "flip", "horizontal", tgNone,
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

// Seconds per iteration of every run, by benchmark name.
class TCollectingReporter : public benchmark::ConsoleReporter {
 public:
  std::map<std::string, double> Seconds;
  void ReportRuns(const std::vector<Run>& Runs) override {
    for (const Run& run : Runs)
      if (!run.error_occurred && run.run_type == Run::RT_Iteration)
        Seconds[run.benchmark_name()] = run.real_accumulated_time / double(run.iterations);
    ConsoleReporter::ReportRuns(Runs);
  }
};

struct TSummaryRow {
  std::string Label;
  std::string FastName;
  std::string ReferenceName;
  TTarget Target;
};

struct TSize {
  int32_t Width, Height;
  std::string Name() const { return std::to_string(Width) + "x" + std::to_string(Height); }
};

}  // namespace

int main(int argc, char** argv) {
  // One core: the effects are single-threaded by design; pinning keeps the figures steady.
  cpu_set_t set;
  CPU_ZERO(&set);
  CPU_SET(sched_getcpu(), &set);
  sched_setaffinity(0, sizeof(set), &set);

  benchmark::Initialize(&argc, argv);
  const TSize sizes[] = {{640, 480}, {1280, 720}};
  std::vector<std::unique_ptr<TFrame>> frames;
  std::vector<std::pair<TSize, std::vector<TSummaryRow>>> summary;
  TvcEffectWorkspace workspace;
  TvcRandom random(1);

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

    benchmark::RegisterBenchmark((prefix + "copy").c_str(), [&source, &work](benchmark::State& State) {
      for (auto _ : State) {
        vcfx::CopyPixels(source.Raster, work.Raster);
        benchmark::DoNotOptimize(work.Bytes.data());
      }
    })->Unit(benchmark::kMillisecond);

    for (const TEffectCase& c : EffectCases(sameBlend, smallBlend)) {
      const std::string name = prefix + c.Name + " (" + c.Setting + ")";
      benchmark::RegisterBenchmark((name + "/fast").c_str(), [c, &work, &workspace,
                                                              &random](benchmark::State& State) {
        for (auto _ : State) {
          c.Fast(work.Raster, workspace, random);
          benchmark::DoNotOptimize(work.Bytes.data());
        }
      })->Unit(benchmark::kMillisecond);
      benchmark::RegisterBenchmark((name + "/reference").c_str(), [c, &work,
                                                                   &random](benchmark::State& State) {
        for (auto _ : State) {
          c.Reference(work.Raster, random);
          benchmark::DoNotOptimize(work.Bytes.data());
        }
      })->Unit(benchmark::kMillisecond);
      rows.push_back({c.Name + " (" + c.Setting + ")", name + "/fast", name + "/reference", c.Target});
    }

    // The whole chain as the live picture runs it: the frame copied into the work bitmap, then
    // the effects.
    struct TChainCase {
      std::string Label;
      TvcEffectSettings Settings;
      TTarget Target;
    };
    const TChainCase chains[] = {{"pipeline, default options", TvcEffectSettings{}, tgNearCopy},
                                 {"pipeline, every item default", EveryItemDefault(), tgNone}};
    for (const TChainCase& chain : chains) {
      const std::string name = prefix + chain.Label;
      const TvcBlendSource blend{smallBlend.Raster, false, true};
      benchmark::RegisterBenchmark((name + "/fast").c_str(), [chain, blend, &source, &work, &workspace,
                                                              &random](benchmark::State& State) {
        for (auto _ : State) {
          vcfx::CopyPixels(source.Raster, work.Raster);
          TvcRasterTarget target(work.Raster, workspace, clNone, random);
          RunEffectChain(target, chain.Settings, &blend);
          benchmark::DoNotOptimize(work.Bytes.data());
        }
      })->Unit(benchmark::kMillisecond);
      benchmark::RegisterBenchmark((name + "/reference").c_str(), [chain, blend, &source, &work,
                                                                   &random](benchmark::State& State) {
        for (auto _ : State) {
          vcfx::CopyPixels(source.Raster, work.Raster);
          TReferenceTarget target{work.Raster, random};
          RunEffectChain(target, chain.Settings, &blend);
          benchmark::DoNotOptimize(work.Bytes.data());
        }
      })->Unit(benchmark::kMillisecond);
      rows.push_back({chain.Label, name + "/fast", name + "/reference", chain.Target});
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
      const std::string name = prefix + "pipeline, default options, bitmap graphic";
      benchmark::RegisterBenchmark((name + "/fast").c_str(), [frame, workBitmap](benchmark::State& State) {
        const TvcEffectSettings defaults;
        for (auto _ : State) {
          workBitmap->Assign(frame.get());
          RunEffectChain(*workBitmap, defaults, static_cast<const TvcBitmap*>(nullptr));
        }
      })->Unit(benchmark::kMillisecond);
      rows.push_back({"pipeline, default options, bitmap graphic", name + "/fast", "", tgNearCopy});
      const std::string copyName = prefix + "processed picture copied out";
      benchmark::RegisterBenchmark((copyName + "/fast").c_str(), [frame, workBitmap,
                                                                  copyOut](benchmark::State& State) {
        workBitmap->Assign(frame.get());
        for (auto _ : State) copyOut->Assign(workBitmap.get());
      })->Unit(benchmark::kMillisecond);
      rows.push_back({"processed picture copied out", copyName + "/fast", "", tgNone});

      // The image control as the live picture drives it, with the form's default options (every
      // effect off): the frame becomes the picture, the effects are re-run, and the processed
      // picture is copied out. The control has the frame's size and draws proportionally and
      // smoothly with the effects after scaling, as the main window's live image does.
      std::shared_ptr<TvcImager> imager(new TvcImager(nullptr), [](TvcImager* Imager) { Imager->Free(); });
      imager->SetBounds(0, 0, size.Width, size.Height);
      imager->SetPreProcess(false);
      imager->SetDrawStyle(dsProportional);
      imager->SetSmoothStretching(true);
      const std::string imagerName = prefix + "image control, default options";
      benchmark::RegisterBenchmark((imagerName + "/fast").c_str(), [frame, imager,
                                                                    copyOut](benchmark::State& State) {
        for (auto _ : State) {
          imager->Picture()->Bitmap()->Assign(frame.get());
          imager->RefreshEffects();
          copyOut->Assign(imager->WorkBitmap());
        }
      })->Unit(benchmark::kMillisecond);
      rows.push_back({"image control, default options", imagerName + "/fast", "", tgNone});
    }

    // A frame shown in a control of another size: the bilinear stretch into the work bitmap.
    frames.push_back(std::make_unique<TFrame>(size.Width * 5 / 4, size.Height * 5 / 4, 5));
    TFrame& larger = *frames.back();
    benchmark::RegisterBenchmark((prefix + "bilinear stretch to 125%/fast").c_str(),
                                 [&source, &larger, &workspace](benchmark::State& State) {
                                   for (auto _ : State) {
                                     vcfx::SmoothStretch(source.Raster, larger.Raster, workspace.Scratch);
                                     benchmark::DoNotOptimize(larger.Bytes.data());
                                   }
                                 })
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark((prefix + "bilinear stretch to 125%/reference").c_str(),
                                 [&source, &larger](benchmark::State& State) {
                                   for (auto _ : State) {
                                     vcreference::SmoothStretch(source.Raster, larger.Raster);
                                     benchmark::DoNotOptimize(larger.Bytes.data());
                                   }
                                 })
        ->Unit(benchmark::kMillisecond);
    rows.push_back({"bilinear stretch to 125%", prefix + "bilinear stretch to 125%/fast",
                    prefix + "bilinear stretch to 125%/reference", tgNone});
    summary.push_back({size, std::move(rows)});
  }

  TCollectingReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();

  std::printf(
      "\nPer frame, one core. Targets: table effects within 5x of the copy, the default pipeline\n"
      "within 2x of the copy, blur/sharpen/emboss/wave/rotation at least 4x faster than the reference.\n");
  for (const auto& [size, rows] : summary) {
    const auto copy = reporter.Seconds.find(size.Name() + "/copy");
    if (copy == reporter.Seconds.end()) continue;
    const double copyMs = copy->second * 1000;
    std::printf("\n%-44s %10s %8s %9s  %s\n", size.Name().c_str(), "ms/frame", "x copy", "speed-up",
                "target");
    std::printf("%-44s %10.3f %8.1f\n", "frame copy (floor)", copyMs, 1.0);
    for (const TSummaryRow& row : rows) {
      const auto fast = reporter.Seconds.find(row.FastName);
      if (fast == reporter.Seconds.end()) continue;
      const auto reference = reporter.Seconds.find(row.ReferenceName);
      const double ms = fast->second * 1000, ratio = ms / copyMs;
      const double speedUp = reference == reporter.Seconds.end() ? 0 : reference->second / fast->second;
      std::string verdict;
      const bool isPipeline = row.Label.rfind("pipeline", 0) == 0;
      if (row.Target == tgNearCopy) verdict = ratio <= (isPipeline ? 2.0 : 5.0) ? "met" : "MISSED";
      if (row.Target == tgOverReference) verdict = speedUp >= 4.0 ? "met" : "MISSED";
      const std::string speedText = speedUp > 0 ? Format("%.1fx", speedUp) : std::string("-");
      std::printf("%-44s %10.3f %8.1f %9s  %s\n", row.Label.c_str(), ms, ratio, speedText.c_str(),
                  verdict.c_str());
    }
  }
  return 0;
}
