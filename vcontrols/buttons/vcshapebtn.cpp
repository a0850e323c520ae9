#include "vcontrols/buttons/vcshapebtn.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "platform/forms/bitmap.h"
#include "platform/gdi/gdi.h"
#include "platform/user/user.h"
#include "vcontrols/common/regions.h"
#include "vcontrols/common/vccommon.h"
#include "vcontrols/common/vcdraw.h"
#include "vcontrols/common/vchosts.h"
#include "vcontrols/common/vcwindows.h"
#include "platform/rtl/scopeexit.h"

KORCAM_REGISTER_CLASS(TvcCustomShapeBtn)
KORCAM_REGISTER_CLASS(TvcShapeBtn)

namespace {

constexpr long double Pi = 3.14159265358979323846264338327950288L;

long double Degrees(long double Angle) {
  return Angle * Pi / 180.0L;
}

// Truncation toward zero, as the coordinates of the star are cut.
int32_t Trunc(long double Value) {
  return int32_t(Value);
}

// a * b div c in 64 bits, kept inside the 32-bit range.
int32_t ScaleDiv(int64_t A, int64_t B, int64_t C) {
  const int64_t Result = A * B / C;
  return int32_t(std::clamp<int64_t>(Result, std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max()));
}

// Whether a one-pixel bitmap of (192, 192, 192) reads back below 200 in every channel after a
// trip through a screen-compatible bitmap: true on every display that shows colours as they are.
bool DisplayShowsColors() {
  static const bool Passes = [] {
    TvcBitmap Probe;
    Probe.CreateDib(1, 1);
    uint8_t* Pixel = Probe.PixelData();
    Pixel[0] = Pixel[1] = Pixel[2] = 192;
    TBitmap Screen;
    Screen.SetSize(1, 1);
    Screen.Canvas()->Draw(0, 0, &Probe);
    const TColor Read = ColorToRGB(Screen.Canvas()->Pixels(0, 0));
    return (Read & 0xFF) < 200 && (Read >> 8 & 0xFF) < 200 && (Read >> 16 & 0xFF) < 200;
  }();
  return Passes;
}

POINT Plus(POINT Point, POINT Step, int32_t Times) {
  return POINT{Point.x + Step.x * Times, Point.y + Step.y * Times};
}

}  // namespace

// --- geometry -------------------------------------------------------------------------------------

std::vector<POINT> vcStarPoints(int32_t W, int32_t H) {
  const long double Cos18 = std::cos(Degrees(18)), Sin18 = std::sin(Degrees(18));
  const int32_t S1 = Trunc(H / Cos18);
  const int32_t S2 = Trunc(S1 / (2 * Sin18 + 2));
  const int32_t S3 = S1 - 2 * S2;
  const int32_t C2 = Trunc(Cos18 * S2);
  const int32_t T = Trunc(std::tan(Degrees(18)) * H);
  std::vector<POINT> P(10);
  P[0] = POINT{W / 2, 0};
  P[1] = POINT{W / 2 + S3 / 2, C2};
  P[2] = POINT{W, P[1].y};
  P[3] = POINT{P[1].x + Trunc(Sin18 * S3), P[1].y + Trunc(Cos18 * S3)};
  P[4] = POINT{W / 2 + T, H};
  P[5] = POINT{W / 2, H - Trunc(std::sin(Degrees(36)) * S2)};
  P[6] = POINT{W / 2 - T, H};
  P[7] = POINT{W - P[3].x, P[3].y};
  P[8] = POINT{0, P[1].y};
  P[9] = POINT{W - P[1].x, P[1].y};
  return P;
}

std::vector<POINT> vcShapePoints(TvcButtonShape Shape, int32_t W, int32_t H) {
  std::vector<POINT> Points;
  switch (Shape) {
    case bsTriangle:
      Points = {{W / 2, 0}, {W, H}, {0, H}};
      break;
    case bsArrow:
      Points = {{0, H / 3},          {W / 2, 0}, {W, H / 3},        {W - W / 4, H / 3},
                {W - W / 4, H},      {W / 4, H}, {W / 4, H / 3}};
      break;
    case bsDiamond:
      Points = {{W / 2, 0}, {W, H / 2}, {W / 2, H}, {0, H / 2}};
      break;
    case bsRect:
      Points = {{0, 0}, {W, 0}, {W, H}, {0, H}};
      break;
    case bsStar:
      Points = vcStarPoints(W, H);
      break;
    case bsTrapezoid: {
      const int32_t K = std::min(H / 2, W / 4);
      Points = {{K, 0}, {W - K, 0}, {W, H}, {0, H}};
      break;
    }
    default:
      break;
  }
  if (!Points.empty()) Points.push_back(Points.front());
  return Points;
}

void vcOrientPoints(std::vector<POINT>& Points, TvcShapeOrientation Orientation, int32_t W, int32_t H) {
  // A one-pixel box has no extent to scale the other axis to: such a shape stays as it is.
  if (W <= 0 || H <= 0) return;
  int Turns = 0;
  switch (Orientation) {
    case soRight:
      Turns = 1;
      break;
    case soDown:
      Turns = 2;
      break;
    case soLeft:
      Turns = 3;
      break;
    default:
      break;
  }
  for (int Turn = 0; Turn < Turns; ++Turn)
    for (POINT& Point : Points) Point = POINT{W - ScaleDiv(Point.y, W, H), ScaleDiv(Point.x, H, W)};
}

// --- life and settings ----------------------------------------------------------------------------

TvcCustomShapeBtn::TvcCustomShapeBtn(TComponent* AOwner)
    : TvcCustomImageBtn(AOwner), FPointList(std::make_unique<TStringList>()) {
  SetColor(clBtnFace);
  SetShadeStyle(fbsHighlight);
  FUseHalftone = false;
}

TvcCustomShapeBtn::~TvcCustomShapeBtn() = default;

void TvcCustomShapeBtn::ShapeChanged() {
  FreeRegionData(FRegionBytes);
  FreeRegionData(FDownRegionBytes);
  RecreateWnd();
}

void TvcCustomShapeBtn::SetPointList(TStrings* Value) {
  if (Value)
    FPointList->Assign(*Value);
  else
    FPointList->Clear();
  ShapeChanged();
}

void TvcCustomShapeBtn::SetShape(TvcButtonShape Value) {
  if (FShape == Value) return;
  FShape = Value;
  ShapeChanged();
  // A group paints the space between its buttons: the shape's outline changed there.
  if (Parent() && IsClassNamed(&Parent()->ClassType(), "TvcCustomButtonGroup")) InvalidateInParent(Parent(), true);
}

void TvcCustomShapeBtn::SetOrientation(TvcShapeOrientation Value) {
  if (FOrientation == Value) return;
  FOrientation = Value;
  ShapeChanged();
}

void TvcCustomShapeBtn::SetRoundRectBias(int32_t Value) {
  if (FRoundRectBias == Value) return;
  FRoundRectBias = Value;
  ShapeChanged();
}

bool TvcCustomShapeBtn::IsRoundShape() const {
  return FShape == bsRoundRect || FShape == bsEllipse;
}

bool TvcCustomShapeBtn::IsShaped() const {
  return false;
}

bool TvcCustomShapeBtn::StoreRegionData() const {
  return false;
}

bool TvcCustomShapeBtn::UsesRegion() const {
  return true;
}

void TvcCustomShapeBtn::ReadRegionData(TStream& Stream) {
  ReadRegionBytes(Stream);
}

void TvcCustomShapeBtn::ReadDownRegionData(TStream& Stream) {
  ReadRegionBytes(Stream);
}

void TvcCustomShapeBtn::SizeToImage() {
  const int32_t Side = std::max(Width(), Height());
  SetBounds(Left(), Top(), Side, Side);
}

void TvcCustomShapeBtn::AssignTo(TPersistent* Dest) {
  if (auto* Target = dynamic_cast<TvcCustomShapeBtn*>(Dest)) {
    Target->SetOrientation(FOrientation);
    Target->SetPointList(FPointList.get());
    Target->SetRoundRectBias(FRoundRectBias);
    Target->SetShape(FShape);
  }
  TvcCustomImageBtn::AssignTo(Dest);
}

TColor TvcCustomShapeBtn::OutsideColor() const {
  return ColorToRGB(Color()) == TColor(0x0000FF) ? TColor(0xFF0000) : TColor(0x0000FF);
}

TColor TvcCustomShapeBtn::FaceColor() const {
  if (DisplayShowsColors()) return Color();
  // A display that would turn the colour into the outside key: every channel that is a multiple
  // of 8 is nudged down by one.
  const TColor Rgb = ColorToRGB(Color());
  TColor Result = 0;
  for (int Shift = 0; Shift < 24; Shift += 8) {
    int32_t Channel = Rgb >> Shift & 0xFF;
    if (Channel != 0 && Channel % 8 == 0) --Channel;
    Result |= TColor(Channel) << Shift;
  }
  return Result;
}

// --- points ---------------------------------------------------------------------------------------

std::vector<POINT> TvcCustomShapeBtn::GetStarPoints() const {
  return vcStarPoints(Width() - 1, Height() - 1);
}

void TvcCustomShapeBtn::OrientPoints(std::vector<POINT>& Points) const {
  vcOrientPoints(Points, FOrientation, Width() - 1, Height() - 1);
}

std::vector<POINT> TvcCustomShapeBtn::ParsePointList() {
  try {
    return ParsePointListLines(*FPointList, Width() - 1, Height() - 1);
  } catch (...) {
    // The button is a rectangle from now on; the error is reported once, by the caller.
    FShape = bsRect;
    throw;
  }
}

std::vector<POINT> TvcCustomShapeBtn::GetShapePoints() {
  std::vector<POINT> Points;
  if (FShape == bsCustom) {
    Points = ParsePointList();
    if (!Points.empty()) Points.push_back(Points.front());
  } else {
    Points = vcShapePoints(FShape, Width() - 1, Height() - 1);
  }
  OrientPoints(Points);
  return Points;
}

// --- face and region ------------------------------------------------------------------------------

void TvcCustomShapeBtn::RenderFace(TvcBitmap* Face, bool ForRegion, TvcShadeStyle AStyle, bool IsDown) {
  const bool Edges = AStyle != fbsFlat || IsDesigning(this) || (Enabled() && IsMouseInControl(-1, -1, false)) || IsDown;
  Face->EnsureSize(Width(), Height());
  if (Face->Empty()) return;
  const int32_t W = Width() - 1, H = Height() - 1;
  // The shape's points first: a point list that fails leaves nothing half drawn.
  const bool Round = IsRoundShape();
  const std::vector<POINT> Points = Round ? std::vector<POINT>() : GetShapePoints();
  TCanvas* Canvas = Face->Canvas();
  Canvas->Brush()->SetStyle(bsSolid);
  Canvas->Brush()->SetColor(OutsideColor());
  Canvas->FillRect(RECT{0, 0, Width(), Height()});
  HDC DC = Canvas->Handle();
  const int Saved = SaveDC(DC);
  const COLORREF FaceRgb = COLORREF(ColorToRGB(FaceColor())) & 0xFFFFFF;
  HBRUSH Brush;
  if (IsDown && FDitherColor != clNone && FGroupIndex != 0) {
    // A grouped button that is down: a checkerboard of the dither colour and the button's colour.
    const WORD Rows[8] = {0x5555, 0xAAAA, 0x5555, 0xAAAA, 0x5555, 0xAAAA, 0x5555, 0xAAAA};
    HBITMAP Pattern = CreateBitmap(8, 8, 1, 1, Rows);
    Brush = CreatePatternBrush(Pattern);
    DeleteObject(Pattern);
    SetTextColor(DC, COLORREF(ColorToRGB(Color())) & 0xFFFFFF);
    SetBkColor(DC, COLORREF(ColorToRGB(FDitherColor)) & 0xFFFFFF);
  } else {
    Brush = CreateSolidBrush(FaceRgb);
  }
  const COLORREF PenRgb = Edges && !Round ? COLORREF(ColorToRGB(FDitherColor)) & 0xFFFFFF : FaceRgb;
  HPEN Pen = CreatePen(PS_SOLID, 1, PenRgb);
  SelectObject(DC, Brush);
  SelectObject(DC, Pen);
  if (FShape == bsRoundRect)
    RoundRect(DC, 0, 0, W, H, FRoundRectBias, FRoundRectBias);
  else if (FShape == bsEllipse)
    Ellipse(DC, 0, 0, W, H);
  else if (!Points.empty())
    Polygon(DC, Points.data(), int(Points.size()));
  RestoreDC(DC, Saved);
  DeleteObject(Pen);
  DeleteObject(Brush);
  if (!ForRegion && Edges && (Round || !Points.empty())) DrawShapeEdges(Face, Points, OutsideColor());
}

HRGN TvcCustomShapeBtn::CreateRegion(bool UseImage, bool IsDown) {
  if (FTransparentColor != vcNoTransparentColor)
    if (HRGN Stored = TvcCustomBitBtn::CreateRegion(UseImage, IsDown)) return Stored;
  if (!UseImage) return nullptr;
  TvcBitmap Face;
  RenderFace(&Face, true, FShadeStyle, IsDown);
  HRGN Result = CreateRegionFromBitmap(&Face, OutsideColor());
  CaptureRegion(Result, IsDown);
  return Result;
}

void TvcCustomShapeBtn::DrawShapeEdges(TvcBitmap* Face, const std::vector<POINT>& Points, TColor KeyColor) {
  const bool Down = DrawnDown();
  if (IsRoundShape()) {
    DrawShade(Face, Face, KeyColor, Down);
    return;
  }
  if (Points.size() < 2) return;
  HRGN Inside = CreatePolygonRgn(Points.data(), int(Points.size()), WINDING);
  if (!Inside) return;
  TScopeExit Delete([Inside] { DeleteObject(Inside); });
  const size_t Segments = Points.size() - 1;
  std::vector<bool> Upper(Segments);
  std::vector<POINT> Inward(Segments);
  for (size_t Index = 0; Index < Segments; ++Index) {
    const POINT Start = Points[Index], End = Points[Index + 1];
    const int32_t DX = End.x - Start.x, DY = End.y - Start.y;
    const POINT Middle{Start.x + DX / 2, Start.y + DY / 2};
    // Which side of the edge the shape is on: below or right of it means an upper or left edge.
    if (std::abs(DY) < std::abs(DX)) {
      Upper[Index] = PtInRegion(Inside, Middle.x, Middle.y + 1) != FALSE;
      Inward[Index] = POINT{0, Upper[Index] ? 1 : -1};
    } else {
      Upper[Index] = PtInRegion(Inside, Middle.x + 1, Middle.y) != FALSE;
      Inward[Index] = POINT{Upper[Index] ? 1 : -1, 0};
    }
    // Vertical and horizontal edges also step along themselves, so the corners close.
    if (DX == 0)
      Inward[Index].y = PtInRegion(Inside, Start.x, std::max(Start.y, End.y) + 1) ? 1 : -1;
    else if (DY == 0)
      Inward[Index].x = PtInRegion(Inside, std::max(Start.x, End.x), Start.y) ? 1 : -1;
  }
  const int32_t F = (Focused() || FDefault) && !FControlState.Contains(csPaintCopy) ? 1 : 0;
  TCanvas* Canvas = Face->Canvas();
  Canvas->Pen()->SetStyle(psSolid);
  auto Line = [Canvas](POINT From, POINT To) { Canvas->Polyline({From, To}); };
  for (size_t Index = 0; Index < Segments; ++Index) {
    Canvas->Pen()->SetColor(ColorToRGB(Upper[Index] != Down ? FShadeColors->Btn3DLight() : FShadeColors->BtnShadow()));
    Line(Plus(Points[Index], Inward[Index], F + 1), Plus(Points[Index + 1], Inward[Index], F + 1));
  }
  for (size_t Index = 0; Index < Segments; ++Index) {
    Canvas->Pen()->SetColor(ColorToRGB(Upper[Index] != Down ? FShadeColors->BtnHighlight() : FShadeColors->BtnBlack()));
    Line(Plus(Points[Index], Inward[Index], F), Plus(Points[Index + 1], Inward[Index], F));
  }
  if (F == 1) {
    Canvas->Pen()->SetColor(FShadeColors->BtnFocus());
    for (size_t Index = 0; Index < Segments; ++Index) Line(Points[Index], Points[Index + 1]);
  }
}
