#include "platform/gdi/textrender.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <vector>

#include "platform/gdi/dc.h"
#include "platform/gdi/font.h"
#include "platform/gdi/fontengine.h"

namespace {

// One item of a run's mask: a coverage image at a device position.
struct TPlaced {
  const TGlyphImage* Image;
  int X;
  int Y;
};

// A solid device rectangle of a run's mask (unrotated lines).
struct TSolid {
  int Left, Top, Right, Bottom;
};

struct TBox {
  int Left = INT_MAX;
  int Top = INT_MAX;
  int Right = INT_MIN;
  int Bottom = INT_MIN;
  void Add(int L, int T, int R, int B) {
    if (L >= R || T >= B) return;
    Left = std::min(Left, L);
    Top = std::min(Top, T);
    Right = std::max(Right, R);
    Bottom = std::max(Bottom, B);
  }
  bool Empty() const { return Left >= Right || Top >= Bottom; }
  void Intersect(int L, int T, int R, int B) {
    Left = std::max(Left, L);
    Top = std::max(Top, T);
    Right = std::min(Right, R);
    Bottom = std::min(Bottom, B);
  }
};

// The device rectangle a run may touch: the DC's clip and the caller's rectangle.
TBox VisibleBox(TDC& DC, const RECT* Clip) {
  TBox Box;
  RECT Bounds = DC.Clip().Bounds();
  POINT Origin = DC.Origin();
  Box.Left = Bounds.left - Origin.x;
  Box.Top = Bounds.top - Origin.y;
  Box.Right = Bounds.right - Origin.x;
  Box.Bottom = Bounds.bottom - Origin.y;
  if (Clip) Box.Intersect(Clip->left, Clip->top, Clip->right, Clip->bottom);
  return Box;
}

// Runs further out than this from the device origin cannot touch any surface; they are skipped
// before their coordinates could overflow.
constexpr double FarAway = double(1 << 26);

bool OutOfReach(const TTextFrame& Frame) {
  return !(std::abs(Frame.OriginX) < FarAway && std::abs(Frame.OriginY) < FarAway);
}

std::vector<uint8_t>& MaskBuffer() {
  thread_local std::vector<uint8_t> Buffer;
  return Buffer;
}

// Rasterises the text-space rectangle [U0, U1) x [V0, V1) of a rotated frame.
TGlyphImage RotatedRect(const TTextFrame& Frame, double U0, double U1, double V0, double V1) {
  double X[4] = {Frame.X(U0, V0), Frame.X(U1, V0), Frame.X(U1, V1), Frame.X(U0, V1)};
  double Y[4] = {Frame.Y(U0, V0), Frame.Y(U1, V0), Frame.Y(U1, V1), Frame.Y(U0, V1)};
  return RasterizePolygon(X, Y, 4);
}

}  // namespace

TTextFrame TTextFrame::ForAngle(int Angle, double OriginX, double OriginY) {
  TTextFrame Frame;
  Angle %= 3600;
  if (Angle < 0) Angle += 3600;
  Frame.Angle = Angle;
  Frame.OriginX = OriginX;
  Frame.OriginY = OriginY;
  // Exact values at the right angles, so those texts land on whole pixels.
  switch (Angle) {
    case 0: Frame.Cos = 1; Frame.Sin = 0; break;
    case 900: Frame.Cos = 0; Frame.Sin = 1; break;
    case 1800: Frame.Cos = -1; Frame.Sin = 0; break;
    case 2700: Frame.Cos = 0; Frame.Sin = -1; break;
    default: {
      double Radians = Angle * M_PI / 1800.0;
      Frame.Cos = std::cos(Radians);
      Frame.Sin = std::sin(Radians);
    }
  }
  return Frame;
}

TTextFrame TTextFrame::Moved(double U, double V) const {
  TTextFrame Frame = *this;
  Frame.OriginX = X(U, V);
  Frame.OriginY = Y(U, V);
  return Frame;
}

void RenderTextRun(TDC& DC, TGdiFont& Font, const TTextFrame& Frame, std::u32string_view Text,
                   const int* Advances, bool DrawGlyphs, const TRunDecoration& Decoration,
                   COLORREF Color, const RECT* Clip) {
  if (!DC.Surface().IsValid() || OutOfReach(Frame)) return;
  TFontInstance& Instance = Font.Instance();
  const TFontMetrics& Metrics = Instance.Metrics();
  Instance.TrimGlyphCache();

  thread_local std::vector<TPlaced> Placed;
  Placed.clear();
  std::vector<TGlyphImage> Lines;  // rotated decorations
  std::vector<TSolid> Solids;      // unrotated decorations
  TBox Box;

  const bool Straight = Frame.Angle == 0;
  int Width = 0;
  for (size_t Index = 0; Index < Text.size() && std::abs(Width) < int(FarAway); ++Index) {
    char32_t Code = Text[Index];
    if (DrawGlyphs && !IsControlCode(Code)) {
      const TGlyphImage& Image = Instance.Glyph(Code, Frame.Angle);
      if (Image.Width > 0 && Image.Height > 0) {
        int PenX = int(std::lround(Frame.X(Width, 0)));
        int PenY = int(std::lround(Frame.Y(Width, 0)));
        TPlaced Item{&Image, PenX + Image.Left, PenY + Image.Top};
        Box.Add(Item.X, Item.Y, Item.X + Image.Width, Item.Y + Image.Height);
        Placed.push_back(Item);
      }
    }
    Width += std::clamp(Advances[Index], -int(FarAway), int(FarAway));
  }

  auto AddLine = [&](int U0, int U1, int V0, int Thickness) {
    if (U0 >= U1 || Thickness <= 0) return;
    if (Straight) {
      int Left = int(std::lround(Frame.OriginX)) + U0;
      int Top = int(std::lround(Frame.OriginY)) + V0;
      TSolid Solid{Left, Top, Left + (U1 - U0), Top + Thickness};
      Box.Add(Solid.Left, Solid.Top, Solid.Right, Solid.Bottom);
      Solids.push_back(Solid);
    } else {
      TGlyphImage Image = RotatedRect(Frame, U0, U1, V0, V0 + Thickness);
      Box.Add(Image.Left, Image.Top, Image.Left + Image.Width, Image.Top + Image.Height);
      Lines.push_back(std::move(Image));
    }
  };
  if (Decoration.Underline)
    AddLine(0, Width, Metrics.UnderlinePosition, Metrics.UnderlineThickness);
  if (Decoration.StrikeOut)
    AddLine(0, Width, -Metrics.StrikeoutPosition, Metrics.StrikeoutThickness);
  if (Decoration.PrefixWidth > 0)
    AddLine(Decoration.PrefixU, Decoration.PrefixU + Decoration.PrefixWidth,
            Metrics.UnderlinePosition, Metrics.UnderlineThickness);
  for (const TGlyphImage& Image : Lines) Placed.push_back({&Image, Image.Left, Image.Top});

  TBox Visible = VisibleBox(DC, Clip);
  Box.Intersect(Visible.Left, Visible.Top, Visible.Right, Visible.Bottom);
  if (Box.Empty()) return;
  const int MaskWidth = Box.Right - Box.Left;
  const int MaskHeight = Box.Bottom - Box.Top;
  std::vector<uint8_t>& Mask = MaskBuffer();
  size_t Area = size_t(MaskWidth) * size_t(MaskHeight);
  if (Mask.size() < Area) Mask.resize(Area);
  std::fill(Mask.begin(), Mask.begin() + long(Area), uint8_t(0));

  for (const TPlaced& Item : Placed) {
    const TGlyphImage& Image = *Item.Image;
    int Left = std::max(Item.X, Box.Left);
    int Right = std::min(Item.X + Image.Width, Box.Right);
    int Top = std::max(Item.Y, Box.Top);
    int Bottom = std::min(Item.Y + Image.Height, Box.Bottom);
    for (int Y = Top; Y < Bottom; ++Y) {
      const uint8_t* Source =
          Image.Coverage.data() + size_t(Y - Item.Y) * size_t(Image.Width) + size_t(Left - Item.X);
      uint8_t* Target = Mask.data() + size_t(Y - Box.Top) * size_t(MaskWidth) + size_t(Left - Box.Left);
      for (int X = 0; X < Right - Left; ++X) Target[X] = std::max(Target[X], Source[X]);
    }
  }
  for (const TSolid& Solid : Solids) {
    int Left = std::max(Solid.Left, Box.Left);
    int Right = std::min(Solid.Right, Box.Right);
    for (int Y = std::max(Solid.Top, Box.Top); Y < std::min(Solid.Bottom, Box.Bottom); ++Y) {
      if (Left >= Right) break;
      uint8_t* Target = Mask.data() + size_t(Y - Box.Top) * size_t(MaskWidth) + size_t(Left - Box.Left);
      std::fill(Target, Target + (Right - Left), uint8_t(255));
    }
  }
  if (!Font.Smooth()) {
    for (size_t Index = 0; Index < Area; ++Index) Mask[Index] = Mask[Index] >= 128 ? 255 : 0;
  }
  DC.BlendMask(Box.Left, Box.Top, Mask.data(), MaskWidth, MaskWidth, MaskHeight, Color, Clip);
}

void FillTextCell(TDC& DC, TGdiFont& Font, const TTextFrame& Frame, int Width, COLORREF Color,
                  const RECT* Clip) {
  if (Width <= 0 || !DC.Surface().IsValid() || OutOfReach(Frame)) return;
  Width = std::min(Width, int(FarAway));
  const TFontMetrics& Metrics = Font.Instance().Metrics();
  if (Frame.Angle == 0) {
    int Left = int(std::lround(Frame.OriginX));
    int Top = int(std::lround(Frame.OriginY)) - Metrics.Ascent;
    RECT Cell{Left, Top, Left + Width, Top + Metrics.Height};
    DC.FillSolidRect(Cell, Color, Clip);
    return;
  }
  TGlyphImage Image = RotatedRect(Frame, 0, Width, -Metrics.Ascent, Metrics.Descent);
  if (Image.Width <= 0 || Image.Height <= 0) return;
  TBox Visible = VisibleBox(DC, Clip);
  if (Visible.Empty()) return;
  DC.BlendMask(Image.Left, Image.Top, Image.Coverage.data(), Image.Width, Image.Width,
               Image.Height, Color, Clip);
}
