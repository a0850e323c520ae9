// The live picture runs the whole effect chain on every frame: once the first frame has grown
// the scratch buffers and the blend cache (and started the worker threads), no further frame may
// allocate, on the calling thread or on a worker. This file replaces the program's operator new to
// count allocations while a test asks it to.

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <new>
#include <string>

#include "tests/vcontrols/imaging/image_support.h"
#include "vcontrols/imaging/bandpool.h"
#include "vcontrols/imaging/effectchain.h"
#include "vcontrols/imaging/stretch.h"
#include "vcontrols/imaging/vcbitmap.h"
#include "vcontrols/imaging/vcimager.h"

namespace {

// Workers allocate (or not) on their own threads, so the counters are atomic.
std::atomic<bool> GCounting{false};
std::atomic<size_t> GAllocations{0};
std::atomic<size_t> GLargestAllocation{0};

void* CountedAllocation(size_t Size) {
  if (GCounting.load(std::memory_order_relaxed)) {
    ++GAllocations;
    size_t largest = GLargestAllocation.load(std::memory_order_relaxed);
    while (Size > largest && !GLargestAllocation.compare_exchange_weak(largest, Size)) {
    }
  }
  if (void* memory = std::malloc(Size ? Size : 1)) return memory;
  throw std::bad_alloc();
}

}  // namespace

void* operator new(size_t Size) {
  return CountedAllocation(Size);
}
void* operator new[](size_t Size) {
  return CountedAllocation(Size);
}
void operator delete(void* Memory) noexcept {
  std::free(Memory);
}
void operator delete[](void* Memory) noexcept {
  std::free(Memory);
}
void operator delete(void* Memory, size_t) noexcept {
  std::free(Memory);
}
void operator delete[](void* Memory, size_t) noexcept {
  std::free(Memory);
}

namespace {

// The effects on one thread, and cut into bands for three workers besides the calling thread.
class EffectAllocationTest : public testing::TestWithParam<int32_t> {
 protected:
  void SetUp() override { FPrevious = vcSetEffectThreads(GetParam()); }
  void TearDown() override { vcSetEffectThreads(FPrevious); }
  int32_t FPrevious = 0;
};

INSTANTIATE_TEST_SUITE_P(Threads, EffectAllocationTest, testing::Values(1, 4),
                         [](const auto& Info) { return std::to_string(Info.param) + "Threads"; });

TEST_P(EffectAllocationTest, SteadyStateFramesAllocateNothing) {
  const int32_t width = 320, height = 240;
  TTestImage frame = TTestImage::Random(width, height, 51);
  TTestImage work(width, height);
  TTestImage blend = TTestImage::Random(100, 80, 52);
  const TvcBlendSource blendSource{blend.Raster(), true, true};

  // Every effect on, with the option tables' default values.
  TvcEffectSettings settings;
  settings.GrayScale = settings.Embossed = settings.Inverted = true;
  settings.HorizontallyFlipped = settings.VerticallyFlipped = true;
  settings.Lightness = 60;
  settings.AlphaBlendAmount = 75;
  settings.Color = clTeal;
  settings.TintColor = clSkyBlue;
  settings.Contrast = 80;
  settings.Saturation = 500;
  settings.Sharpen = 1;
  settings.Sponge = 10;
  settings.GaussianBlur = 2;
  settings.WaveRatio = 5;
  settings.WaveXDiv = 20;
  settings.WaveYDiv = 15;
  settings.RotationAngle = 10;

  TvcEffectWorkspace workspace;
  auto runFrame = [&] {
    vcfx::CopyPixels(frame.Raster(), work.Raster());
    TvcRasterTarget target(work.Raster(), workspace, clWhite);
    RunEffectChain(target, settings, &blendSource);
  };
  runFrame();  // grows the buffers

  // The counter sees allocations at all.
  GAllocations = 0;
  GCounting = true;
  int* volatile probe = new int(1);
  delete probe;
  GCounting = false;
  ASSERT_EQ(GAllocations.load(), 1u);

  GAllocations = GLargestAllocation = 0;
  GCounting = true;
  for (int i = 0; i < 30; ++i) runFrame();
  GCounting = false;
  EXPECT_EQ(GAllocations.load(), 0u) << "largest " << GLargestAllocation.load() << " bytes";
}

// The live picture's road through the bitmap graphic: a class-library bitmap per frame assigned
// to the work bitmap, the chain run on it, the processed picture copied out again. Small
// bookkeeping allocations of the graphics layer are allowed; none may be frame-sized.
TEST_P(EffectAllocationTest, BitmapRoadAllocatesNoFrameSizedMemory) {
  const int32_t width = 320, height = 240;
  TBitmap frames[2];
  for (TBitmap& frame : frames) {
    frame.SetPixelFormat(pf24bit);
    frame.SetSize(width, height);
  }
  frames[1].Canvas()->Brush()->SetColor(TColor(0x336699));
  frames[1].Canvas()->FillRect(RECT{0, 0, width, height});
  TvcBitmap work, blend;
  blend.CreateDib(100, 80);
  blend.SetSmoothStretching(true);
  TBitmap processed;
  TvcEffectSettings settings;
  settings.GrayScale = settings.Embossed = true;
  settings.Lightness = 60;
  settings.AlphaBlendAmount = 75;
  settings.Saturation = 500;
  settings.Sharpen = 1;
  settings.GaussianBlur = 2;
  settings.WaveRatio = 5;
  settings.WaveXDiv = 20;
  settings.WaveYDiv = 15;
  settings.RotationAngle = 10;
  int frame = 0;
  auto runFrame = [&] {
    work.Assign(&frames[frame++ % 2]);
    RunEffectChain(work, settings, &blend);
    processed.Assign(&work);
  };
  runFrame();
  runFrame();

  GAllocations = GLargestAllocation = 0;
  GCounting = true;
  for (int i = 0; i < 20; ++i) runFrame();
  GCounting = false;
  EXPECT_LT(GLargestAllocation.load(), size_t(width) * 4) << GAllocations.load() << " allocations";
  EXPECT_EQ(processed.Width(), width);
}

// The live image control as the program drives it: each frame becomes the picture (its bitmap
// is assigned, so the picture keeps its memory), the effects are re-run and the processed picture
// is copied out. The control draws proportionally, smoothly, with the effects after scaling, so
// its work bitmap has the control's size; frames of that size are copied in, larger ones are
// stretched straight into the work bitmap, and a device bitmap goes through the kept conversion.
TEST_P(EffectAllocationTest, ImagerFramesAllocateNoFrameSizedMemory) {
  struct TFrameCase {
    const char* Name;
    int32_t Width, Height;
    TPixelFormat Format;
  };
  const TFrameCase cases[] = {
      {"frames of the control's size", 320, 240, pf24bit},
      {"larger frames, stretched", 400, 300, pf24bit},
      {"larger device frames, converted and stretched", 400, 300, pfDevice},
  };
  const int32_t width = 320, height = 240;
  for (const TFrameCase& Case : cases) {
    SCOPED_TRACE(Case.Name);
    TBitmap frames[2];
    for (int i = 0; i < 2; ++i) {
      frames[i].SetPixelFormat(Case.Format);
      frames[i].SetSize(Case.Width, Case.Height);
      frames[i].Canvas()->Brush()->SetColor(TColor(i ? 0x336699 : 0x996633));
      frames[i].Canvas()->FillRect(RECT{0, 0, Case.Width / 2, Case.Height});
    }
    auto* imager = new TvcImager(nullptr);
    imager->SetBounds(0, 0, width, height);
    imager->SetPreProcess(false);
    imager->SetDrawStyle(dsProportional);
    imager->SetSmoothStretching(true);
    TvcBitmapOptions* options = imager->BitmapOptions();
    options->SetGrayScale(true);
    options->SetEmbossed(true);
    options->SetLightness(60);
    options->SetSaturation(500);
    options->SetSharpen(1);
    options->SetSponge(10);
    options->SetGaussianBlur(2);
    options->Wave()->SetRatio(5);
    options->Wave()->SetXDiv(20);
    options->Wave()->SetYDiv(15);
    options->Rotation()->SetAngle(10);
    TvcBitmap blend;
    blend.CreateDib(100, 80);
    blend.SetSmoothStretching(true);
    options->AlphaBlend()->SetBitmap(&blend);
    options->AlphaBlend()->SetAmount(75);
    TBitmap processed;
    int frame = 0;
    auto runFrame = [&] {
      imager->Picture()->Bitmap()->Assign(&frames[frame++ % 2]);
      imager->RefreshEffects();
      processed.Assign(imager->WorkBitmap());
    };
    runFrame();
    runFrame();

    GAllocations = GLargestAllocation = 0;
    GCounting = true;
    for (int i = 0; i < 20; ++i) runFrame();
    GCounting = false;
    EXPECT_LT(GLargestAllocation.load(), size_t(width) * 4) << GAllocations.load() << " allocations";
    EXPECT_EQ(processed.Width(), width);
    EXPECT_EQ(processed.Height(), height);
    imager->Free();
  }
}

}  // namespace
