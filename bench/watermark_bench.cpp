// The watermark blend per frame, at 640 x 480 and 1280 x 720: a logo with an alpha map (mostly
// clear and opaque, soft at its edge), the same logo at a fixed opacity, a frame-sized watermark
// at a fixed opacity (the worst case), each beside the plain byte-by-byte reference, and a frame
// copy as the floor.
//
// Times are per frame, in microseconds.
//
//   bench_watermark [--benchmark_filter=...]

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstring>
#include <random>
#include <vector>

#include "app/watermarkblend.h"

namespace {

struct TFrameSize {
  int32_t Width, Height;
};
constexpr TFrameSize Sizes[] = {{640, 480}, {1280, 720}};

// A frame of camera-like bytes.
struct TFrame {
  int32_t Width, Height;
  ptrdiff_t RowBytes;
  std::vector<uint8_t> Bytes;
  TFrame(int32_t W, int32_t H) : Width(W), Height(H), RowBytes(((W * 24 + 31) / 32) * 4) {
    Bytes.resize(size_t(RowBytes) * size_t(H));
    std::mt19937 Random(7);
    for (uint8_t& Byte : Bytes) Byte = uint8_t(Random());
  }
  TWatermarkFrame View() { return {Bytes.data(), RowBytes, Width, Height}; }
};

// A W x H watermark: a disc with a soft edge on a clear ground.
struct TMark {
  int32_t Width, Height;
  std::vector<uint8_t> Pixels, Alpha;
  TMark(int32_t W, int32_t H) : Width(W), Height(H), Pixels(size_t(W) * H * 3), Alpha(size_t(W) * H) {
    std::mt19937 Random(11);
    for (uint8_t& Byte : Pixels) Byte = uint8_t(Random());
    const double Radius = std::min(W, H) / 2.0;
    for (int32_t Y = 0; Y < H; ++Y)
      for (int32_t X = 0; X < W; ++X) {
        const double Distance = std::hypot(X - W / 2.0, Y - H / 2.0);
        Alpha[size_t(Y) * W + X] =
            uint8_t(std::lround(std::clamp((Radius - Distance) / 3.0, 0.0, 1.0) * 255));
      }
  }
  TWatermarkPicture Picture(bool WithAlpha) const {
    return {Pixels.data(), WithAlpha ? Alpha.data() : nullptr, Width, Height};
  }
};

enum TKind { LogoAlpha, LogoOpacity, FullFrameOpacity };

void Blend(benchmark::State& State, bool Reference) {
  const TFrameSize Size = Sizes[State.range(0)];
  const TKind Kind = TKind(State.range(1));
  TFrame Frame(Size.Width, Size.Height);
  const TMark Mark = Kind == FullFrameOpacity ? TMark(Size.Width / 4 * 4, Size.Height) : TMark(200, 100);
  const TWatermarkPicture Picture = Mark.Picture(Kind == LogoAlpha);
  const int64_t X0 = Kind == FullFrameOpacity ? 0 : Size.Width - 220;
  const int64_t Y0 = Kind == FullFrameOpacity ? 0 : 20;
  TWatermarkBlender Blender;
  for (auto _ : State) {
    if (Reference)
      BlendWatermarkReference(Frame.View(), Picture, X0, Y0, 0.7f);
    else
      Blender.Blend(Frame.View(), Picture, X0, Y0, 0.7f);
    benchmark::DoNotOptimize(Frame.Bytes.data());
    benchmark::ClobberMemory();
  }
}

void BlendFast(benchmark::State& State) {
  Blend(State, false);
}
void BlendReference(benchmark::State& State) {
  Blend(State, true);
}

void FrameCopy(benchmark::State& State) {
  const TFrameSize Size = Sizes[State.range(0)];
  TFrame From(Size.Width, Size.Height), To(Size.Width, Size.Height);
  for (auto _ : State) {
    std::memcpy(To.Bytes.data(), From.Bytes.data(), From.Bytes.size());
    benchmark::ClobberMemory();
  }
}

// Arguments: frame size (0: 640 x 480, 1: 1280 x 720), kind (0: 200 x 100 logo with alpha,
// 1: the logo at a fixed opacity, 2: a frame-sized watermark at a fixed opacity).
BENCHMARK(BlendFast)->ArgsProduct({{0, 1}, {0, 1, 2}})->Unit(benchmark::kMicrosecond);
BENCHMARK(BlendReference)->ArgsProduct({{0, 1}, {0, 1, 2}})->Unit(benchmark::kMicrosecond);
BENCHMARK(FrameCopy)->DenseRange(0, 1)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
