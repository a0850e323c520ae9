#include "app/watermarkblend.h"

#include <algorithm>
#include <cstring>

namespace {

// The opacity of every alpha-map byte, computed once.
const std::array<float, 256>& AlphaTable() {
  static const std::array<float, 256> Table = [] {
    std::array<float, 256> Values{};
    for (int Byte = 0; Byte < 256; ++Byte) Values[size_t(Byte)] = float(double(Byte) / 255.0);
    return Values;
  }();
  return Table;
}

// The first and one-past-the-last index of a picture's Length cells that land inside a target of
// TargetLength cells when cell 0 lands on Offset.
void VisibleRange(int64_t Offset, int32_t Length, int32_t TargetLength, int64_t& First, int64_t& Last) {
  First = std::max<int64_t>(0, -Offset);
  Last = std::min<int64_t>(Length, int64_t(TargetLength) - Offset);
}

}  // namespace

float WatermarkAlpha(uint8_t AlphaByte) {
  return AlphaTable()[AlphaByte];
}

uint8_t WatermarkByte(uint8_t Mark, uint8_t Frame, float Alpha) {
  const double A = Alpha;
  const double Value = double(Mark) * A + (1.0 - A) * double(Frame);
  // An opacity within 0..1 keeps the value within the two bytes; the clamp only guards the
  // conversion against an opacity out of range.
  if (!(Value > 0)) return 0;
  if (Value >= 255) return 255;
  return uint8_t(Value);
}

TWatermarkBlender::TWatermarkBlender() = default;

void TWatermarkBlender::PrepareTable(float Opacity) {
  if (Opacity == FTableOpacity) return;
  for (int Mark = 0; Mark < 256; ++Mark)
    for (int Frame = 0; Frame < 256; ++Frame)
      FTable[size_t(Mark * 256 + Frame)] = WatermarkByte(uint8_t(Mark), uint8_t(Frame), Opacity);
  FTableOpacity = Opacity;
}

void TWatermarkBlender::Blend(const TWatermarkFrame& Frame, const TWatermarkPicture& Mark, int64_t X0,
                              int64_t Y0, float Opacity) {
  if (!Frame.Bottom || !Mark.Pixels || Frame.Width <= 0 || Frame.Height <= 0 || Mark.Width <= 0 ||
      Mark.Height <= 0)
    return;
  int64_t FirstColumn, LastColumn, FirstRow, LastRow;
  VisibleRange(X0, Mark.Width, Frame.Width, FirstColumn, LastColumn);
  VisibleRange(Y0, Mark.Height, Frame.Height, FirstRow, LastRow);
  if (FirstColumn >= LastColumn || FirstRow >= LastRow) return;
  const size_t Columns = size_t(LastColumn - FirstColumn);

  auto MarkRow = [&](int64_t Row) {
    return Mark.Pixels + (size_t(Row) * size_t(Mark.Width) + size_t(FirstColumn)) * 3;
  };
  auto FrameRow = [&](int64_t Row) {
    return Frame.Bottom + ptrdiff_t(Y0 + Row) * Frame.Stride + ptrdiff_t(X0 + FirstColumn) * 3;
  };

  if (!Mark.Alpha) {
    if (Opacity == 1.0f) {
      // Fully opaque: the watermark's bytes as they are.
      for (int64_t Row = FirstRow; Row < LastRow; ++Row)
        std::memcpy(FrameRow(Row), MarkRow(Row), Columns * 3);
      return;
    }
    PrepareTable(Opacity);
    const uint8_t* Table = FTable.data();
    for (int64_t Row = FirstRow; Row < LastRow; ++Row) {
      const uint8_t* Source = MarkRow(Row);
      uint8_t* Target = FrameRow(Row);
      for (size_t Byte = 0; Byte < Columns * 3; ++Byte)
        Target[Byte] = Table[(size_t(Source[Byte]) << 8) | Target[Byte]];
    }
    return;
  }

  // Pixel by pixel through the alpha map. Clear and opaque pixels, the most common by far in a
  // logo, leave the frame or take the watermark as they are, which is what the formula gives.
  const std::array<float, 256>& Alphas = AlphaTable();
  for (int64_t Row = FirstRow; Row < LastRow; ++Row) {
    const uint8_t* Source = MarkRow(Row);
    const uint8_t* Alpha = Mark.Alpha + size_t(Row) * size_t(Mark.Width) + size_t(FirstColumn);
    uint8_t* Target = FrameRow(Row);
    for (size_t Column = 0; Column < Columns; ++Column, Source += 3, Target += 3) {
      const uint8_t A = Alpha[Column];
      if (A == 0) continue;
      if (A == 255) {
        Target[0] = Source[0];
        Target[1] = Source[1];
        Target[2] = Source[2];
        continue;
      }
      const float Opaque = Alphas[A];
      Target[0] = WatermarkByte(Source[0], Target[0], Opaque);
      Target[1] = WatermarkByte(Source[1], Target[1], Opaque);
      Target[2] = WatermarkByte(Source[2], Target[2], Opaque);
    }
  }
}

void BlendWatermarkReference(const TWatermarkFrame& Frame, const TWatermarkPicture& Mark, int64_t X0,
                             int64_t Y0, float Opacity) {
  for (int64_t R = 0; R < Mark.Height; ++R)
    for (int64_t C = 0; C < Mark.Width; ++C) {
      if (X0 + C < 0 || X0 + C >= Frame.Width || Y0 + R < 0 || Y0 + R >= Frame.Height) continue;
      const float Alpha = Mark.Alpha ? WatermarkAlpha(Mark.Alpha[C + Mark.Width * R]) : Opacity;
      uint8_t* Target = Frame.Bottom + ptrdiff_t(Y0 + R) * Frame.Stride + ptrdiff_t(X0 + C) * 3;
      for (int K = 0; K < 3; ++K)
        Target[K] = WatermarkByte(Mark.Pixels[(Mark.Width * R + C) * 3 + K], Target[K], Alpha);
    }
}
