// TvcText: settings, the turned font and the measuring half of the caption renderer (the
// drawing half is in vctextpaint.cpp).

#include "vcontrols/text/vctext.h"

#include <cmath>
#include <cstring>

#include "platform/gdi/gdi.h"
#include "platform/gdi/text.h"
#include "platform/rtl/unicode.h"
#include "vcontrols/common/vccommon.h"
#include "platform/rtl/scopeexit.h"

KORCAM_REGISTER_CLASS(TvcShadowEffects)
KORCAM_REGISTER_CLASS(TvcExtrudeEffects)
KORCAM_REGISTER_CLASS(TvcDisabledColors)
KORCAM_REGISTER_CLASS(TvcText)
KORCAM_REGISTER_CLASS(TvcCaptionText)

const POINT vcOrientationVectors[8] = {
    {1, 1},    // vcTopLeft
    {-1, 1},   // vcTopRight
    {1, -1},   // vcBottomLeft
    {-1, -1},  // vcBottomRight
    {0, 1},    // vcTop
    {-1, 0},   // vcRight
    {1, 0},    // vcLeft
    {0, -1},   // vcBottom
};

int32_t Rnd(long double X) {
  return int32_t(std::nearbyint(X - 0.4999L));
}

bool IsAccel(char32_t Key, const std::string& Caption) {
  char32_t Accelerator = 0;
  size_t Index = 0;
  while (Index < Caption.size()) {
    if (Caption[Index] != '&') {
      Index = Utf8Next(Caption, Index);
      continue;
    }
    ++Index;
    if (Index >= Caption.size()) break;
    if (Caption[Index] == '&') {
      ++Index;
      continue;
    }
    Accelerator = Utf8Decode(Caption, Index);
    break;
  }
  return Accelerator != 0 && UnicodeToUpper(Accelerator) == UnicodeToUpper(Key);
}

TvcTextOwnerHooks MakeTextOwnerHooks(std::function<void()> Invalidate, std::function<void()> AdjustBounds,
                                     std::function<bool()> IsEnabled) {
  return TvcTextOwnerHooks{std::move(Invalidate), std::move(AdjustBounds), std::move(IsEnabled)};
}

namespace {

// The sign of a number: -1, 0 or 1.
int32_t Sign(int32_t Value) {
  return (Value > 0) - (Value < 0);
}

}  // namespace

// --- TvcShadowEffects -------------------------------------------------------------------------

void TvcShadowEffects::SetColor(TColor Value) {
  if (FColor == Value) return;
  FColor = Value;
  if (FOwner) FOwner->Changed();
}

// The shadow's offsets are part of the caption's measured size: the owner re-measures.
#define KORCAM_SHADOW_SIZE_SETTER(Type, Name)      \
  void TvcShadowEffects::Set##Name(Type Value) {   \
    if (F##Name == Value) return;                  \
    F##Name = Value;                               \
    if (FOwner) {                                  \
      FOwner->Hooks().OnAdjustBounds();            \
      FOwner->Changed();                           \
    }                                              \
  }
KORCAM_SHADOW_SIZE_SETTER(bool, Enabled)
KORCAM_SHADOW_SIZE_SETTER(int32_t, XOffset)
KORCAM_SHADOW_SIZE_SETTER(int32_t, YOffset)
#undef KORCAM_SHADOW_SIZE_SETTER

POINT TvcShadowEffects::EffectiveOffset() const {
  POINT Offset = FEnabled ? POINT{FXOffset, FYOffset} : POINT{0, 0};
  if (FOwner && FOwner->ExtrudeEffects()->Enabled()) {
    // A shadow on the side the body extends to hides behind the body: it adds nothing.
    const POINT Step = vcOrientationVectors[FOwner->ExtrudeEffects()->Orientation()];
    if (Offset.x == 0 || Sign(Offset.x) != Sign(Step.x)) Offset.x = 0;
    if (Offset.y == 0 || Sign(Offset.y) != Sign(Step.y)) Offset.y = 0;
  }
  return Offset;
}

void TvcShadowEffects::AssignTo(TPersistent* Dest) {
  auto* Target = dynamic_cast<TvcShadowEffects*>(Dest);
  if (!Target) {
    TPersistent::AssignTo(Dest);
    return;
  }
  Target->SetColor(FColor);
  Target->SetEnabled(FEnabled);
  Target->SetXOffset(FXOffset);
  Target->SetYOffset(FYOffset);
}

// --- TvcExtrudeEffects ------------------------------------------------------------------------

#define KORCAM_EXTRUDE_SIZE_SETTER(Type, Name)     \
  void TvcExtrudeEffects::Set##Name(Type Value) {  \
    if (F##Name == Value) return;                  \
    F##Name = Value;                               \
    if (FOwner) {                                  \
      FOwner->Hooks().OnAdjustBounds();            \
      FOwner->Changed();                           \
    }                                              \
  }
KORCAM_EXTRUDE_SIZE_SETTER(int32_t, Depth)
KORCAM_EXTRUDE_SIZE_SETTER(bool, Enabled)
KORCAM_EXTRUDE_SIZE_SETTER(TvcOrientation, Orientation)
#undef KORCAM_EXTRUDE_SIZE_SETTER

#define KORCAM_EXTRUDE_LOOK_SETTER(Type, Name)     \
  void TvcExtrudeEffects::Set##Name(Type Value) {  \
    if (F##Name == Value) return;                  \
    F##Name = Value;                               \
    if (FOwner) FOwner->Changed();                 \
  }
KORCAM_EXTRUDE_LOOK_SETTER(TColor, FarColor)
KORCAM_EXTRUDE_LOOK_SETTER(TColor, NearColor)
KORCAM_EXTRUDE_LOOK_SETTER(bool, Striated)
#undef KORCAM_EXTRUDE_LOOK_SETTER

POINT TvcExtrudeEffects::Extent(bool Directional) const {
  if (!FEnabled) return POINT{0, 0};
  if (!Directional) return POINT{FDepth, FDepth};
  const POINT Step = vcOrientationVectors[FOrientation];
  return POINT{FDepth * std::abs(Step.x), FDepth * std::abs(Step.y)};
}

void TvcExtrudeEffects::AssignTo(TPersistent* Dest) {
  auto* Target = dynamic_cast<TvcExtrudeEffects*>(Dest);
  if (!Target) {
    TPersistent::AssignTo(Dest);
    return;
  }
  Target->SetDepth(FDepth);
  Target->SetEnabled(FEnabled);
  Target->SetFarColor(FFarColor);
  Target->SetNearColor(FNearColor);
  Target->SetOrientation(FOrientation);
  Target->SetStriated(FStriated);
}

// --- TvcDisabledColors --------------------------------------------------------------------------

// The disabled colours only change how the caption looks: the owner repaints, directly.
void TvcDisabledColors::SetHighlightColor(TColor Value) {
  if (FHighlightColor == Value) return;
  FHighlightColor = Value;
  if (FOwner && FOwner->Hooks().OnInvalidate) FOwner->Hooks().OnInvalidate();
}

void TvcDisabledColors::SetShadeColor(TColor Value) {
  if (FShadeColor == Value) return;
  FShadeColor = Value;
  if (FOwner && FOwner->Hooks().OnInvalidate) FOwner->Hooks().OnInvalidate();
}

// --- TvcText: life and settings -----------------------------------------------------------------

TvcText::TvcText(const TvcTextOwnerHooks& Hooks, TFont* AFont, TCanvas* ACanvas)
    : FHooks(Hooks),
      FFont(AFont),
      FCanvas(ACanvas),
      FFlags(DT_NOCLIP),
      FDisabledColors(std::make_unique<TvcDisabledColors>(this)),
      FExtrudeEffects(std::make_unique<TvcExtrudeEffects>(this)),
      FShadow(std::make_unique<TvcShadowEffects>(this)) {
  // Hooks the owner left out do nothing, so the renderer can call them without testing.
  if (!FHooks.OnAdjustBounds) FHooks.OnAdjustBounds = [] {};
  if (!FHooks.IsEnabled) FHooks.IsEnabled = [] { return true; };
}

TvcText::~TvcText() {
  ReleaseFont();
}

void TvcText::AdjustBounds() {
  FHooks.OnAdjustBounds();
}

bool TvcText::IsEnabled() const {
  return FHooks.IsEnabled();
}

void TvcText::Changed() {
  // The status panel takes this hook away while its own draw event runs.
  if (FHooks.OnInvalidate) FHooks.OnInvalidate();
}

void TvcText::SetAlignment(TAlignment Value) {
  if (FAlignment == Value) return;
  FAlignment = Value;
  Changed();
}

void TvcText::SetHighlightColor(TColor Value) {
  if (FHighlightColor == Value) return;
  FHighlightColor = Value;
  Changed();
}

void TvcText::SetOutlineColor(TColor Value) {
  if (FOutlineColor == Value) return;
  FOutlineColor = Value;
  Changed();
}

void TvcText::SetShadeColor(TColor Value) {
  if (FShadeColor == Value) return;
  FShadeColor = Value;
  Changed();
}

void TvcText::SetVAlignment(TvcVAlignment Value) {
  if (FVAlignment == Value) return;
  FVAlignment = Value;
  Changed();
}

void TvcText::SetLineSpacing(int32_t Value) {
  if (FLineSpacing == Value) return;
  FLineSpacing = Value;
  AdjustBounds();
  Changed();
}

void TvcText::SetStyle(TvcTextStyle Value) {
  if (FStyle == Value) return;
  FStyle = Value;
  AdjustBounds();
  Changed();
}

void TvcText::SetOptions(TvcTextOptions Value) {
  if (FOptions == Value) return;
  FOptions = Value;
  // Without accelerators every '&' is text; the ellipsis is DrawText's.
  SetFlag(!FOptions.Contains(toShowAccel), FFlags, DT_NOPREFIX);
  SetFlag(FOptions.Contains(toShowEllipsis), FFlags, DT_END_ELLIPSIS);
  AdjustBounds();
  Changed();
}

void TvcText::SetWordWrap(bool Value) {
  if (FWordWrap == Value) return;
  FWordWrap = Value;
  SetFlag(FWordWrap, FFlags, DT_WORDBREAK);
  Changed();
}

void TvcText::SetRotation(int32_t Value) {
  // -360 stays 360: it draws like 0, yet the font gets a full turn as its escapement.
  if (Value < 0)
    FRotation = 360 - int32_t(std::abs(int64_t(Value)) % 360);
  else
    FRotation = Value % 360;
  AdjustBounds();
  Changed();
}

long double TvcText::RotationRadians() const {
  return FRotation * 3.14159265358979323846264338327950288L / 180.0L;
}

void TvcText::AssignTo(TPersistent* Dest) {
  auto* Target = dynamic_cast<TvcText*>(Dest);
  if (!Target) throw EInvalidCast("Invalid class typecast");
  Target->ExtrudeEffects()->Assign(FExtrudeEffects.get());
  Target->SetHighlightColor(FHighlightColor);
  Target->SetLineSpacing(FLineSpacing);
  Target->SetOptions(FOptions);
  Target->SetOutlineColor(FOutlineColor);
  Target->SetRotation(FRotation);
  Target->SetShadeColor(FShadeColor);
  Target->Shadow()->Assign(FShadow.get());
  Target->SetStyle(FStyle);
  Target->SetText(FText);
}

void TvcText::AssignFont(TFont* F) {
  if (!F || !FFont || F == FFont) return;
  FFont->SetStyle(F->Style());
  FFont->SetName(F->Name());
  FFont->SetSize(F->Size());
  FFont->SetColor(F->Color());
  FFont->SetHeight(F->Height());
  FFont->SetPitch(F->Pitch());
  FFont->SetCharset(F->Charset());
}

TCanvas* TvcText::GetCanvas() const {
  return FDrawingToBuffer ? FBufferCanvas : FCanvas;
}

// --- the turned font ----------------------------------------------------------------------------

void TvcText::FillLogFont(LOGFONTA& LogFont) const {
  LogFont = LOGFONTA{};
  const TFont* Source = FFont;
  LogFont.lfHeight = Source ? Source->Height() : 0;
  LogFont.lfWidth = 0;
  LogFont.lfEscapement = FRotation * 10;
  LogFont.lfOrientation = FRotation * 10;
  const TFontStyles Style = Source ? Source->Style() : TFontStyles{};
  LogFont.lfWeight = Style.Contains(fsBold) ? FW_BOLD : FW_NORMAL;
  LogFont.lfItalic = Style.Contains(fsItalic) ? 1 : 0;
  LogFont.lfUnderline = Style.Contains(fsUnderline) ? 1 : 0;
  LogFont.lfStrikeOut = Style.Contains(fsStrikeOut) ? 1 : 0;
  LogFont.lfCharSet = Source && Source->Charset() != DEFAULT_CHARSET ? BYTE(Source->Charset()) : 0;
  // A turned caption needs an outline face.
  LogFont.lfOutPrecision = FRotation == 0 ? OUT_TT_PRECIS : OUT_TT_ONLY_PRECIS;
  LogFont.lfClipPrecision = CLIP_DEFAULT_PRECIS;
  LogFont.lfQuality = PROOF_QUALITY;
  LogFont.lfPitchAndFamily = VARIABLE_PITCH;
  // The face the font object would use ("Default" names the library's default face).
  const LOGFONTA FontFace = Source ? Source->LogFont() : LOGFONTA{};
  std::memcpy(LogFont.lfFaceName, FontFace.lfFaceName, sizeof(LogFont.lfFaceName));
  LogFont.lfFaceName[LF_FACESIZE - 1] = '\0';
}

void TvcText::CreateTextFont() {
  ReleaseFont();
  LOGFONTA LogFont;
  FillLogFont(LogFont);
  FTextFont = CreateFontIndirectA(&LogFont);
  FTextColor = FFont ? FFont->Color() : clBlack;
}

void TvcText::ReleaseFont() {
  if (!FTextFont) return;
  // The canvas selects its own objects again on its next drawing call.
  for (TCanvas* Target : {FCanvas, FBufferCanvas}) {
    if (!Target || !Target->HandleAllocated()) continue;
    HDC DC = Target->Handle();
    Target->Refresh();
    SelectObject(DC, GetStockObject(SYSTEM_FONT));
  }
  DeleteObject(FTextFont);
  FTextFont = nullptr;
}

void TvcText::SetFontColor(TColor Color) {
  FTextColor = Color;
  if (GetCanvas()) SetTextColor(TextDC(), COLORREF(ColorToRGB(Color)) & 0xFFFFFF);
}

HDC TvcText::TextDC() {
  TCanvas* Target = GetCanvas();
  HDC DC = Target->Handle();
  if (FTextFont) {
    SelectObject(DC, FTextFont);
    SetTextColor(DC, COLORREF(ColorToRGB(FTextColor)) & 0xFFFFFF);
  }
  return DC;
}

void TvcText::PrepareFont() {
  CreateTextFont();
  SetFontColor(FFont ? FFont->Color() : clBlack);
  FDrawRect = CalcDrawRect(false);
}

// --- measuring ----------------------------------------------------------------------------------

int32_t TvcText::MeasureHeight(const std::string& Line, int32_t Width) {
  RECT Box{0, 0, Width, 0};
  DrawTextExA(TextDC(), Line.c_str(), int(Line.size()), &Box, DT_CALCRECT | FFlags, nullptr);
  return Box.bottom - Box.top;
}

int32_t TvcText::TextWidth(const std::string& Line) {
  SIZE Size{};
  GetTextExtentPoint32A(TextDC(), Line.c_str(), int(Line.size()), &Size);
  return Size.cx;
}

SIZE TvcText::GetTextSize() {
  // Measured in the caption's own font, also outside a paint.
  const bool OwnFont = !FTextFont && GetCanvas();
  if (OwnFont) CreateTextFont();
  TScopeExit Release([this, OwnFont] {
    if (OwnFont) ReleaseFont();
  });
  const std::string Caption = FOptions.Contains(toShowAccel) ? StripAccelerators(FText) : FText;
  RECT R = FTextRect;
  const POINT Extrude = FExtrudeEffects->Extent(false);
  const POINT Offset = FShadow->EffectiveOffset();
  R.right -= Max(Offset.x, Extrude.x);
  R.bottom -= Max(Offset.y, Extrude.y);
  const int32_t WrapWidth = FWordWrap ? RectWidth(R) : 0;
  int32_t Widest = 0;
  int32_t Total = 0;
  const int32_t Count = Caption.empty() ? 0 : CountTokens(Caption, "\r\n");
  for (int32_t Index = 0; Index < Count; ++Index) {
    const std::string Line = GetToken(Caption, "\r\n", Index);
    if (WrapWidth != 0) {
      RECT Box{0, 0, WrapWidth, 0};
      DrawTextExA(TextDC(), Line.c_str(), int(Line.size()), &Box, DT_CALCRECT | FFlags, nullptr);
      Total += Box.bottom - Box.top;
      Widest = Max(Widest, Box.right - Box.left);
    } else {
      SIZE Size{};
      GetTextExtentPoint32A(TextDC(), Line.c_str(), int(Line.size()), &Size);
      Total += Size.cy;
      Widest = Max(Widest, Size.cx);
    }
    if (Index + 1 < Count) Total += FLineSpacing;
  }
  return SIZE{Widest + 1, Total};
}

SIZE TvcText::GetRotatedSize(bool Unclipped) {
  const SIZE Text = GetTextSize();
  const POINT Extrude = FExtrudeEffects->Extent(false);
  const POINT Offset = FShadow->EffectiveOffset();
  long double W = Text.cx + Extrude.x + Offset.x;
  long double H = Text.cy + Extrude.y + Offset.y;
  if (FStyle == vclsOutline) {
    W += 2;
    H += 2;
  }
  const long double Angle = RotationRadians();
  const long double Cos = std::fabs(std::cos(Angle)), Sin = std::fabs(std::sin(Angle));
  SIZE Result{Rnd(Cos * W + Sin * H), Rnd(Sin * W + Cos * H)};
  if (!Unclipped) {
    Result.cx = Min(Result.cx, RectWidth(FTextRect));
    Result.cy = Min(Result.cy, RectHeight(FTextRect));
  }
  return Result;
}

RECT TvcText::CalcDrawRect(bool Unclipped) {
  const SIZE Text = GetTextSize();
  const POINT Offset = FShadow->EffectiveOffset();
  const POINT Extrude = FExtrudeEffects->Extent(false);
  const long double Angle = RotationRadians();
  const long double Cos = std::cos(Angle), Sin = std::sin(Angle);
  const int32_t X = FTextRect.left + RectWidth(FTextRect) / 2 - Offset.x / 2 - Extrude.x / 2 -
                    Rnd(Cos * Text.cx) / 2 - Rnd(Sin * Text.cy) / 2;
  const int32_t Y = FTextRect.top + RectHeight(FTextRect) / 2 - Offset.y / 2 - Extrude.y / 2 +
                    Rnd(Sin * Text.cx) / 2 - Rnd(Cos * Text.cy) / 2;
  const SIZE Size = GetRotatedSize(Unclipped);
  RECT R{X, Y, X + Size.cx, Y + Size.cy};
  if (R.left < FTextRect.left) OffsetRect(&R, FTextRect.left - R.left, 0);
  if (R.top < FTextRect.top) OffsetRect(&R, 0, FTextRect.top - R.top);
  return R;
}

void TvcText::CalcRect(bool Unclipped, RECT& R) {
  // Inside a paint the paint's font measures; otherwise one is made for the measurement.
  if (FTextFont) {
    R = CalcDrawRect(Unclipped);
    return;
  }
  CreateTextFont();
  TScopeExit Release([this] { ReleaseFont(); });
  R = CalcDrawRect(Unclipped);
}
