// The effects on several threads: the pool that runs the bands, and the picture that comes out
// the same for any number of threads: the sponge's draws (made from words computed ahead in
// blocks), the stretches and the whole chain, each against the literal implementation or the
// one-thread run. The thread-sanitised build runs these tests as well.

#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include "platform/rtl/format.h"
#include "tests/vcontrols/imaging/effectreference.h"
#include "tests/vcontrols/imaging/image_support.h"
#include "vcontrols/imaging/bandpool.h"
#include "vcontrols/imaging/effectchain.h"
#include "vcontrols/imaging/pixeleffects.h"
#include "vcontrols/imaging/stretch.h"
#include "vcontrols/imaging/vectorpath.h"

namespace {

// Sets the thread count (and optionally the instruction-set path) for one scope.
class TThreadSetting {
 public:
  explicit TThreadSetting(int32_t Threads, TvcVectorPath Path = TvcVectorPath::Wide)
      : FThreads(vcSetEffectThreads(Threads)), FPath(vcSetVectorPath(Path)) {}
  ~TThreadSetting() {
    vcSetEffectThreads(FThreads);
    vcSetVectorPath(FPath);
  }

 private:
  int32_t FThreads;
  TvcVectorPath FPath;
};

constexpr int32_t ThreadCounts[] = {1, 2, 3, 8};

std::string Setting(int32_t Threads, TvcVectorPath Path) {
  return Format("%d threads, %s path", Threads, Path == TvcVectorPath::Wide ? "wide" : "plain");
}

// --- the pool -----------------------------------------------------------------------------------

TEST(EffectThreadsTest, PoolRunsEveryBandOnceAndReturnsWhenAllAreDone) {
  TThreadSetting setting(8);
  TvcBandPool pool;
  for (int32_t count : {1, 2, 3, 7, 8, 9, 31, 200}) {
    SCOPED_TRACE(count);
    std::vector<std::atomic<int32_t>> runs(size_t(count) + 1);
    // Jobs follow each other at once, as the effects of a frame do; each must see all of its
    // bands done when Run returns, and none of an earlier job's.
    for (int round = 0; round < 50; ++round) {
      pool.Run(count, [&](int32_t Band) { runs[size_t(Band)].fetch_add(1, std::memory_order_relaxed); });
      for (int32_t band = 0; band < count; ++band) ASSERT_EQ(runs[size_t(band)].load(), round + 1) << band;
    }
    EXPECT_EQ(runs[size_t(count)].load(), 0);
  }
  // The workers were started once, at most one fewer than the setting.
  EXPECT_LE(pool.WorkerCount(), 7);
  EXPECT_GE(pool.WorkerCount(), 1);
}

TEST(EffectThreadsTest, ThreadAndBandCountsFollowTheSetting) {
  TvcBandPool pool;
  struct TCase {
    const char* Name;
    int32_t Setting;
    int64_t Units, UnitBytes;
    int32_t Threads;  // -1: as many as processors, within the units
    int32_t Bands;    // -1: a few per thread
  } cases[] = {
      {"one thread keeps one band", 1, 1080, 5760, 1, 1},
      {"a fixed count cuts even a tiny picture", 8, 3, 12, 3, 3},
      {"a fixed count, two bands each for a large job", 3, 1080, 5760, 3, 6},
      {"a fixed count, one band each for a small job", 3, 480, 1920, 3, 3},
      {"a 1280x720 frame: whole bands per thread, not ten on eight", 8, 720, 3840, 8, 8},
      {"a single unit", 8, 1, 1 << 20, 1, 1},
      {"automatic: a glyph stays on the calling thread", 0, 16, 48, 1, 1},
      {"automatic: a frame is cut", 0, 1080, 5760, -1, -1},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    TThreadSetting setting(c.Setting);
    const int32_t threads = pool.ThreadCount(c.Units, c.UnitBytes),
                  bands = pool.BandCount(c.Units, c.UnitBytes);
    if (c.Threads >= 0) {
      EXPECT_EQ(threads, c.Threads);
    }
    if (c.Bands >= 0) {
      EXPECT_EQ(bands, c.Bands);
    }
    EXPECT_GE(bands, threads);
    EXPECT_LE(bands, c.Units);
    // No thread waits on another's second band while it has none.
    if (bands < c.Units) {
      EXPECT_EQ(bands % threads, 0);
    }
  }
  // The setting is clamped to what the pool can start.
  TThreadSetting setting(0);
  EXPECT_EQ(vcSetEffectThreads(-5), 0);
  EXPECT_EQ(vcEffectThreads(), 0);
  vcSetEffectThreads(100000);
  EXPECT_LE(vcEffectThreads(), 64);
}

// Small pictures with the automatic setting start no thread at all.
TEST(EffectThreadsTest, SmallPicturesStartNoThreads) {
  TThreadSetting setting(0);
  TvcEffectScratch scratch;
  TTestImage image = TTestImage::Random(32, 32, 3);
  vcfx::ApplyGrayScale(image.Raster(), scratch);
  vcfx::ApplyGaussianBlur(image.Raster(), 4, scratch);
  vcfx::ApplyRotation(image.Raster(), -1, -1, 10, scratch);
  EXPECT_EQ(scratch.Bands().WorkerCount(), 0);
}

// --- the sponge ---------------------------------------------------------------------------------

// The sponge's draws come from words computed ahead in blocks; the picture and the generator's
// state afterwards are those of drawing one word after the other. The picture is large enough
// to cross the blocks of either schedule; the largest amount makes many draws reject a word.
TEST(EffectThreadsTest, SpongeDrawsTheSameWordsWhateverTheBlocks) {
  const TTestImage original = TTestImage::Random(211, 157, 41);
  for (int32_t threads : ThreadCounts)
    for (TvcVectorPath path : {TvcVectorPath::Plain, TvcVectorPath::Wide})
      for (int32_t amount : {2, 10, 500, 805306368}) {
        SCOPED_TRACE(Setting(threads, path) + Format(", amount %d", amount));
        TThreadSetting setting(threads, path);
        TvcEffectScratch scratch;
        TTestImage fast = original, reference = original;
        TvcRandom fastRandom(uint64_t(amount) * 7 + 1), referenceRandom(uint64_t(amount) * 7 + 1);
        vcfx::ApplySponge(fast.Raster(), amount, fastRandom, scratch);
        vcreference::ApplySponge(reference.Raster(), amount, referenceRandom);
        EXPECT_SAME_IMAGE(fast, reference);
        EXPECT_EQ(fastRandom.State(), referenceRandom.State());
      }
}

// --- stretches ----------------------------------------------------------------------------------

// The bilinear stretch against the rule at sizes where the vector loop runs its steady state
// and its tail: enlarged, reduced, one row and rows not a multiple of the group.
TEST(EffectThreadsTest, BilinearStretchMatchesTheRuleOnWideRows) {
  const std::pair<int32_t, int32_t> sources[] = {{50, 20}, {133, 17}, {301, 3}, {2, 40}};
  const std::pair<int32_t, int32_t> targets[] = {{62, 25}, {166, 21}, {37, 9}, {375, 4}, {17, 1}};
  for (int32_t threads : ThreadCounts)
    for (TvcVectorPath path : {TvcVectorPath::Plain, TvcVectorPath::Wide}) {
      TThreadSetting setting(threads, path);
      TvcEffectScratch scratch;
      for (auto [sw, sh] : sources)
        for (auto [tw, th] : targets) {
          SCOPED_TRACE(Setting(threads, path) + Format(", %dx%d to %dx%d", sw, sh, tw, th));
          const TTestImage source = TTestImage::Random(sw, sh, uint64_t(sw + tw));
          TTestImage fast(tw, th), reference(tw, th);
          TTestImage sourceCopy = source;
          vcfx::SmoothStretch(sourceCopy.Raster(), fast.Raster(), scratch);
          vcreference::SmoothStretch(sourceCopy.Raster(), reference.Raster());
          EXPECT_SAME_IMAGE(fast, reference);
          EXPECT_TRUE(fast.PadsIntact());
        }
    }
}

TEST(EffectThreadsTest, PlainStretchIsTheSameOnAnyNumberOfThreads) {
  const TTestImage source = TTestImage::Random(133, 41, 5);
  for (auto [tw, th] : {std::pair{166, 51}, {40, 13}, {133, 41}}) {
    SCOPED_TRACE(Format("to %dx%d", tw, th));
    TTestImage alone(tw, th);
    TTestImage sourceCopy = source;
    {
      TThreadSetting setting(1);
      TvcEffectScratch scratch;
      vcfx::PlainStretch(sourceCopy.Raster(), alone.Raster(), scratch);
    }
    for (int32_t threads : ThreadCounts) {
      SCOPED_TRACE(threads);
      TThreadSetting setting(threads);
      TvcEffectScratch scratch;
      TTestImage shared(tw, th);
      vcfx::PlainStretch(sourceCopy.Raster(), shared.Raster(), scratch);
      EXPECT_SAME_IMAGE(shared, alone);
    }
  }
}

// --- the whole chain ------------------------------------------------------------------------------

// Every effect on, with a stretched transparent blend bitmap, over several frames (the blend
// cache and the scratch carry over): each frame is the reference chain's, byte for byte.
TEST(EffectThreadsTest, ChainIsTheReferenceChainOnAnyNumberOfThreads) {
  TvcEffectSettings settings;
  settings.GrayScale = settings.Embossed = settings.Inverted = true;
  settings.HorizontallyFlipped = settings.VerticallyFlipped = true;
  settings.Lightness = 60;
  settings.AlphaBlendAmount = 75;
  settings.Color = clTeal;
  settings.TintColor = clSkyBlue;
  settings.Sponge = 10;
  settings.Saturation = 500;
  settings.GaussianBlur = 3;
  settings.Contrast = 80;
  settings.Sharpen = 2;
  settings.WaveRatio = 5;
  settings.WaveXDiv = 20;
  settings.WaveYDiv = 15;
  settings.RotationAngle = 10;
  const TTestImage blend = TTestImage::Random(40, 30, 9);
  TTestImage blendCopy = blend;
  const TvcBlendSource blendSource{blendCopy.Raster(), true, true};
  for (int32_t threads : ThreadCounts) {
    SCOPED_TRACE(threads);
    TThreadSetting setting(threads);
    TvcEffectWorkspace workspace;
    TvcRandom random(17), referenceRandom(17);
    for (int frame = 0; frame < 3; ++frame) {
      SCOPED_TRACE(frame);
      TTestImage image = TTestImage::Random(97, 61, uint64_t(frame));
      TTestImage reference = image;
      TvcRasterTarget target(image.Raster(), workspace, clNone, random);
      RunEffectChain(target, settings, &blendSource);
      // The reference chain, step by step in the chain's order.
      const TvcRaster r = reference.Raster();
      vcreference::ApplyGrayScale(r);
      vcreference::ApplyLightness(r, 60);
      TTestImage stretched(97, 61);
      vcreference::SmoothStretch(blendCopy.Raster(), stretched.Raster());
      const TvcPixel key = stretched.Pixel(0, 0);
      vcreference::ApplyAlphaBlend(r, stretched.Raster(), 75, &key);
      const uint32_t teal = uint32_t(ColorToRGB(clTeal)), sky = uint32_t(ColorToRGB(clSkyBlue));
      vcreference::ApplyColor(r, int32_t(teal & 0xFF), int32_t((teal >> 8) & 0xFF), int32_t(teal >> 16),
                              nullptr);
      vcreference::ApplyTint(r, int32_t((sky & 0xFF) >> 1), int32_t(((sky >> 8) & 0xFF) >> 1),
                             int32_t(((sky >> 16) & 0xFF) >> 1));
      vcreference::ApplySponge(r, 10, referenceRandom);
      vcreference::ApplySaturation(r, 500);
      vcreference::ApplyGaussianBlur(r, 3);
      vcreference::ApplyEmboss(r);
      vcreference::ApplyInvert(r);
      vcreference::ApplyContrast(r, 80);
      vcreference::ApplySharpen(r, 2);
      vcreference::ApplyFlip(r, true);
      vcreference::ApplyFlip(r, false);
      vcreference::ApplyWave(r, false, 20, 15, 5);
      vcreference::ApplyRotation(r, -1, -1, 10);
      EXPECT_SAME_IMAGE(image, reference);
      EXPECT_TRUE(image.PadsIntact());
    }
  }
}


// --- holding the workers between jobs -------------------------------------------------------

// A held pool keeps its workers spinning between jobs; whatever the holds and the thread count
// do between jobs (a job for fewer workers leaves some with a number nobody woke them for), every
// band of every job runs once and Run returns only when all have.
TEST(EffectThreadsTest, HeldPoolRunsEveryJobWhateverTheThreadCountDoes) {
  TvcBandPool pool;
  {
    TThreadSetting setting(8);
    // A hold starts no thread: a pool that never had a job stays without workers.
    const TvcBandHold hold(&pool);
    EXPECT_EQ(pool.WorkerCount(), 0);
  }
  struct TStep {
    const char* Name;
    int32_t Threads, Bands;
    int Holds;  // holds taken before the job and kept to the end
  } steps[] = {
      {"all threads, unheld: starts the workers", 8, 16, 0},
      {"held", 8, 16, 1},
      {"held twice", 8, 3, 1},
      {"fewer workers posted", 2, 8, 0},
      {"one thread while held", 1, 5, 0},
      {"all again: workers not woken last time", 8, 200, 0},
      {"three threads", 3, 7, 1},
  };
  std::vector<std::atomic<int32_t>> runs(256);
  std::vector<std::unique_ptr<TvcBandHold>> holds;
  for (int round = 0; round < 20; ++round)
    for (const TStep& step : steps) {
      SCOPED_TRACE(step.Name);
      TThreadSetting setting(step.Threads);
      for (int i = 0; i < step.Holds; ++i) holds.push_back(std::make_unique<TvcBandHold>(&pool));
      pool.Run(step.Bands, [&](int32_t Band) { runs[size_t(Band)].fetch_add(1, std::memory_order_relaxed); });
      for (int32_t band = 0; band < step.Bands; ++band) {
        ASSERT_EQ(runs[size_t(band)].exchange(0), 1) << band;
      }
      // Holds end in any order relative to the jobs: every other step lets them go.
      if (&step - steps == 3 || &step - steps == 6) holds.clear();
    }
  holds.clear();
  EXPECT_LE(pool.WorkerCount(), 7);
}

// --- rows that follow each other ------------------------------------------------------------------

// The blur passes and the sharpen at short distances run groups of rows on several threads, each
// group a few columns behind the one above it. How far apart they run depends on the threads'
// timing, so each case runs a number of times, on both paths, on pictures whose rows fall into
// several groups (with a group left short, a width that is not a multiple of the steps, and one
// narrower than the wavefront), and must give the reference's bytes every time. More threads
// than processors make some groups wait for a thread that has lost its processor, long enough
// to yield and to sleep.
TEST(EffectThreadsTest, FollowingRowsGiveTheReferenceWhateverTheTiming) {
  struct TCase {
    const char* Name;
    void (*Fast)(const TvcRaster&, TvcEffectScratch&);
    void (*Reference)(const TvcRaster&);
  } cases[] = {
      {"blur pass 1", [](const TvcRaster& R, TvcEffectScratch& S) { vcfx::ApplyBlurPass(R, 1, S); },
       [](const TvcRaster& R) { vcreference::ApplyBlurPass(R, 1); }},
      {"gaussian blur 3", [](const TvcRaster& R, TvcEffectScratch& S) { vcfx::ApplyGaussianBlur(R, 3, S); },
       [](const TvcRaster& R) { vcreference::ApplyGaussianBlur(R, 3); }},
      {"blur pass 9", [](const TvcRaster& R, TvcEffectScratch& S) { vcfx::ApplyBlurPass(R, 9, S); },
       [](const TvcRaster& R) { vcreference::ApplyBlurPass(R, 9); }},
      {"sharpen 1", [](const TvcRaster& R, TvcEffectScratch& S) { vcfx::ApplySharpen(R, 1, S); },
       [](const TvcRaster& R) { vcreference::ApplySharpen(R, 1); }},
      {"sharpen 2", [](const TvcRaster& R, TvcEffectScratch& S) { vcfx::ApplySharpen(R, 2, S); },
       [](const TvcRaster& R) { vcreference::ApplySharpen(R, 2); }},
      {"sharpen 7", [](const TvcRaster& R, TvcEffectScratch& S) { vcfx::ApplySharpen(R, 7, S); },
       [](const TvcRaster& R) { vcreference::ApplySharpen(R, 7); }},
  };
  const std::pair<int32_t, int32_t> sizes[] = {{240, 151}, {17, 140}, {12, 90}};
  for (TvcVectorPath path : {TvcVectorPath::Wide, TvcVectorPath::Plain})
    for (int32_t threads : {2, 3, 8, 24}) {
      SCOPED_TRACE(Setting(threads, path));
      TThreadSetting setting(threads, path);
      TvcEffectScratch scratch;
      for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        for (auto [w, h] : sizes) {
          SCOPED_TRACE(Format("%dx%d", w, h));
          const TTestImage original = TTestImage::Random(w, h, uint64_t(w + h));
          TTestImage reference = original;
          c.Reference(reference.Raster());
          for (int run = 0; run < 3; ++run) {
            TTestImage image = original;
            c.Fast(image.Raster(), scratch);
            ASSERT_EQ(DescribeDifference(image, reference), "") << "run " << run;
          }
        }
      }
    }
}

// --- the sponge in bands of words ----------------------------------------------------------------

// With threads, the sponge's word stream is cut into bands that are surveyed on their own: each
// walks its chain of pixel starts and keeps the displacements, and the calling thread enters each
// band where the one before ends and moves its pixels. Against the moves in order: one column and
// one row (a band spans many rows, or a row spans many bands), a few columns, widths off the
// vector width, amounts of 2 (a third of the pixels draw one word) up to the largest with records
// (rejected words now and then) and beyond the picture's size. One scratch serves every case, so
// each frame starts from what the one before left in the buffers.
TEST(EffectThreadsTest, SpongeInBandsIsTheSameAsTheMovesInOrder) {
  const std::pair<int32_t, int32_t> sizes[] = {
      {1, 4000},    // one column: every band is part of it
      {4000, 1},    // one row
      {3, 1500},    // a few columns, many rows a band
      {1500, 3},    // rows longer than a band
      {61, 47},     // a small picture, a few bands
      {211, 157},   // rows not a multiple of the vector width
      {333, 250}};  // many bands
  for (int32_t threads : {2, 3, 8})
    for (TvcVectorPath path : {TvcVectorPath::Plain, TvcVectorPath::Wide}) {
      TThreadSetting setting(threads, path);
      TvcEffectScratch scratch;
      for (auto [w, h] : sizes)
        for (int32_t amount : {2, 3, 10, 500, 5000, 32767}) {
          SCOPED_TRACE(Setting(threads, path) + Format(", %dx%d, amount %d", w, h, amount));
          const TTestImage original = TTestImage::Random(w, h, uint64_t(w * 31 + h));
          TTestImage fast = original, reference = original;
          const uint64_t seed = uint64_t(amount) * 13 + uint64_t(w);
          TvcRandom fastRandom(seed), referenceRandom(seed);
          vcfx::ApplySponge(fast.Raster(), amount, fastRandom, scratch);
          vcreference::ApplySponge(reference.Raster(), amount, referenceRandom);
          EXPECT_SAME_IMAGE(fast, reference);
          EXPECT_TRUE(fast.PadsIntact());
          EXPECT_EQ(fastRandom.State(), referenceRandom.State());
        }
    }
}

}  // namespace
