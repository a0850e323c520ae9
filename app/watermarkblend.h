#pragma once
// The arithmetic of blending the watermark picture into a frame, apart from the window that owns
// both, so the live path and its benchmark run the same code.
//
// Both pictures are seen as 24-bit rows counted from the bottom (row 0 is the bottom row), blue,
// green, red. Watermark row r and column c land on frame row Y0 + r and column X0 + c; only the
// part inside the frame is touched. Each byte becomes
//     truncate(mark × alpha + (1 − alpha) × frame)
// where alpha is the single-precision opacity: one fixed value for the whole picture, or, for a
// picture with an alpha map, the map's byte / 255. The products and the sum are taken in double
// precision and truncated, never rounded: an opacity of 0.7 over a frame byte 0 with a watermark
// byte 255 gives 178.
//
// The blender keeps what it needs from one frame to the next (the byte table of the last fixed
// opacity, the rows of a frame that is not 24-bit), so a steady stream of frames allocates
// nothing.

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

// The watermark: Height rows of Width × 3 bytes, bottom row first, no padding; Alpha (when not
// null) Height rows of Width bytes in the same order.
struct TWatermarkPicture {
  const uint8_t* Pixels = nullptr;
  const uint8_t* Alpha = nullptr;
  int32_t Width = 0;
  int32_t Height = 0;
};

// A frame's rows: row Y (0 = the bottom row) starts at Bottom + Y × Stride; Stride is negative
// for rows that lie top row first in memory.
struct TWatermarkFrame {
  uint8_t* Bottom = nullptr;
  ptrdiff_t Stride = 0;
  int32_t Width = 0;
  int32_t Height = 0;
};

// The opacity of an alpha-map byte.
float WatermarkAlpha(uint8_t AlphaByte);
// One blended byte: the formula above, for the reference and the table alike.
uint8_t WatermarkByte(uint8_t Mark, uint8_t Frame, float Alpha);

class TWatermarkBlender {
 public:
  TWatermarkBlender();

  // Blends Mark into Frame with its left edge at column X0 and its bottom row on frame row Y0
  // (both may lie outside the frame). Opacity is used when Mark has no alpha map.
  void Blend(const TWatermarkFrame& Frame, const TWatermarkPicture& Mark, int64_t X0, int64_t Y0,
             float Opacity);

  // Rows for a frame that cannot be blended in place (see the window's blend); kept between
  // frames.
  std::vector<uint8_t>& FrameScratch() { return FFrameScratch; }

 private:
  void PrepareTable(float Opacity);

  // Result byte of (mark, frame) at FTableOpacity, indexed mark × 256 + frame.
  std::array<uint8_t, 65536> FTable{};
  float FTableOpacity = -1;
  std::vector<uint8_t> FFrameScratch;
};

// The straightforward blend, byte by byte, for tests and the benchmark to compare with.
void BlendWatermarkReference(const TWatermarkFrame& Frame, const TWatermarkPicture& Mark, int64_t X0,
                             int64_t Y0, float Opacity);
