#include "platform/gdi/text.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <vector>

#include "platform/gdi/dc.h"
#include "platform/gdi/fontengine.h"
#include "platform/gdi/textrender.h"
#include "platform/rtl/unicode.h"

namespace {

constexpr char32_t BreakChar = U' ';

std::u32string Decode(LPCSTR Text, size_t Count) {
  if (Text == nullptr || Count == 0) return {};
  return Utf8ToUtf32(std::string_view(Text, Count));
}

// The advances of a string as the DC draws it: the font's advances plus the character extra,
// plus the justification extra on blanks when Justify is set, or the caller's own advances.
void ComputeAdvances(const TDCState& State, TFontInstance& Instance, std::u32string_view Text,
                     const INT* Dx, bool Justify, std::vector<int>& Advances) {
  Advances.resize(Text.size());
  if (Dx) {
    for (size_t Index = 0; Index < Text.size(); ++Index) Advances[Index] = Dx[Index];
    return;
  }
  const bool Spread = Justify && State.BreakCount > 0 && State.BreakExtra != 0;
  const int Share = Spread ? State.BreakExtra / State.BreakCount : 0;
  const int Remainder = Spread ? State.BreakExtra % State.BreakCount : 0;
  int Breaks = 0;
  for (size_t Index = 0; Index < Text.size(); ++Index) {
    char32_t Code = Text[Index];
    int Advance = Instance.Advance(Code);
    if (!IsControlCode(Code)) Advance += State.CharacterExtra;
    if (Spread && Code == BreakChar) {
      Advance += Share;
      if (Breaks < std::abs(Remainder)) Advance += Remainder > 0 ? 1 : -1;
      ++Breaks;
    }
    Advances[Index] = Advance;
  }
}

// The total advance, kept inside int range whatever advances a caller passes.
int Sum(const std::vector<int>& Values) {
  int64_t Total = 0;
  for (int Value : Values) Total += Value;
  return int(std::clamp<int64_t>(Total, -(int64_t(1) << 30), int64_t(1) << 30));
}

std::vector<int>& AdvanceBuffer() {
  thread_local std::vector<int> Buffer;
  return Buffer;
}

BOOL TextExtent(HDC DC, LPCSTR Text, int Count, int MaxExtent, LPINT Fit, LPINT Dx, LPSIZE Size) {
  if (Count < 0 || (Text == nullptr && Count > 0)) return FALSE;
  TDC* Context = GdiGetDC(DC);
  TGdiFont* Font = GdiSelectedFont(DC);
  if (Context == nullptr || Font == nullptr) return FALSE;
  std::lock_guard Lock(TFontInstance::EngineLock());
  TFontInstance& Instance = Font->Instance();
  std::u32string Codes = Decode(Text, size_t(Count));
  std::vector<int>& Advances = AdvanceBuffer();
  ComputeAdvances(Context->State(), Instance, Codes, nullptr, false, Advances);
  int Total = 0;
  int Fitting = 0;
  for (size_t Index = 0; Index < Codes.size(); ++Index) {
    Total += Advances[Index];
    if (Dx) Dx[Index] = Total;
    if (Total <= MaxExtent) Fitting = int(Index) + 1;
  }
  if (Fit) *Fit = Fitting;
  if (Size) {
    Size->cx = Total;
    Size->cy = Instance.Metrics().Height;
  }
  return TRUE;
}

}  // namespace

BOOL ExtTextOutA(HDC DC, int X, int Y, UINT Options, const RECT* Rect, LPCSTR Text, UINT Count,
                 const INT* Dx) {
  TDC* Context = GdiGetDC(DC);
  TGdiFont* Font = GdiSelectedFont(DC);
  if (Context == nullptr || Font == nullptr) return FALSE;
  if (Text == nullptr && Count > 0) return FALSE;
  std::lock_guard Lock(TFontInstance::EngineLock());
  TDCState& State = Context->State();
  TFontInstance& Instance = Font->Instance();
  const TFontMetrics& Metrics = Instance.Metrics();

  std::u32string Codes = Decode(Text, Count);
  std::vector<int>& Advances = AdvanceBuffer();
  ComputeAdvances(State, Instance, Codes, Dx, true, Advances);
  const int Width = Sum(Advances);

  const UINT Align = State.TextAlign;
  const bool UpdateCP = (Align & TA_UPDATECP) != 0;
  POINT Reference = UpdateCP ? State.CurrentPosition : POINT{X, Y};
  POINT Device = Context->LogicalToDevice(Reference);
  int U0 = 0;
  if ((Align & TA_CENTER) == TA_CENTER)
    U0 = -Width / 2;
  else if ((Align & TA_CENTER) == TA_RIGHT)
    U0 = -Width;
  int V0 = Metrics.Ascent;
  if ((Align & TA_BASELINE) == TA_BASELINE)
    V0 = 0;
  else if ((Align & TA_BASELINE) == TA_BOTTOM)
    V0 = -Metrics.Descent;
  TTextFrame Frame = TTextFrame::ForAngle(Font->Angle(), Device.x, Device.y).Moved(U0, V0);

  RECT DeviceRect{};
  if (Rect) DeviceRect = Context->LogicalToDevice(*Rect);
  const RECT* Clip = (Rect && (Options & ETO_CLIPPED)) ? &DeviceRect : nullptr;
  if (Rect && (Options & ETO_OPAQUE))
    Context->FillSolidRect(DeviceRect, Context->ResolveColor(State.BkColor));
  if (!Codes.empty()) {
    if (State.BkMode == OPAQUE)
      FillTextCell(*Context, *Font, Frame, Width, Context->ResolveColor(State.BkColor), Clip);
    TRunDecoration Decoration;
    Decoration.Underline = Font->LogFont().lfUnderline != 0;
    Decoration.StrikeOut = Font->LogFont().lfStrikeOut != 0;
    RenderTextRun(*Context, *Font, Frame, Codes, Advances.data(), true, Decoration,
                  Context->ResolveColor(State.TextColor), Clip);
  }

  if (UpdateCP) {
    int Move = 0;
    if ((Align & TA_CENTER) == TA_LEFT)
      Move = Width;
    else if ((Align & TA_CENTER) == TA_RIGHT)
      Move = -Width;
    TTextFrame Step = TTextFrame::ForAngle(Font->Angle(), 0, 0);
    State.CurrentPosition.x += LONG(std::lround(Step.X(Move, 0)));
    State.CurrentPosition.y += LONG(std::lround(Step.Y(Move, 0)));
  }
  return TRUE;
}

BOOL TextOutA(HDC DC, int X, int Y, LPCSTR Text, int Count) {
  if (Count < 0) return FALSE;
  return ExtTextOutA(DC, X, Y, 0, nullptr, Text, UINT(Count), nullptr);
}

int DrawTextExA(HDC DC, LPCSTR Text, int Count, LPRECT Rect, UINT Format,
                LPDRAWTEXTPARAMS Params) {
  if (Rect == nullptr) return 0;
  TDC* Context = GdiGetDC(DC);
  TGdiFont* Font = GdiSelectedFont(DC);
  if (Context == nullptr || Font == nullptr) return 0;
  if (Text == nullptr) Count = 0;
  if (Count < 0) Count = int(std::strlen(Text));
  std::lock_guard Lock(TFontInstance::EngineLock());
  TDCState& State = Context->State();
  TFontInstance& Instance = Font->Instance();
  const TFontMetrics& Metrics = Instance.Metrics();
  std::u32string Codes = Decode(Text, size_t(Count));

  TTextMeasure Measure;
  const int Extra = State.CharacterExtra;
  Measure.CharWidth = [&Instance, Extra](char32_t Code) {
    return IsControlCode(Code) ? 0 : Instance.Advance(Code) + Extra;
  };
  Measure.Height = Metrics.Height;
  Measure.ExternalLeading = Metrics.ExternalLeading;
  Measure.AveCharWidth = Metrics.AveCharWidth;
  TTextLayoutParams LayoutParams;
  if (Params) {
    LayoutParams.TabLength = Params->iTabLength;
    LayoutParams.LeftMargin = Params->iLeftMargin;
    LayoutParams.RightMargin = Params->iRightMargin;
  }
  TTextLayout Layout = LayoutText(Codes, *Rect, Format, Measure, LayoutParams);
  if (Params) Params->uiLengthDrawn = UINT(Layout.LengthDrawn);
  if (Format & DT_CALCRECT) {
    *Rect = Layout.Bounds;
    return Layout.Height;
  }

  // Lines are placed relative to the rectangle's top-left corner; a rotated font turns the whole
  // layout about that corner.
  const RECT DeviceRect = Context->LogicalToDevice(*Rect);
  const RECT* Clip = (Format & DT_NOCLIP) ? nullptr : &DeviceRect;
  const TTextFrame Corner = TTextFrame::ForAngle(Font->Angle(), DeviceRect.left, DeviceRect.top);
  const COLORREF TextColor = Context->ResolveColor(State.TextColor);
  const COLORREF BkColor = Context->ResolveColor(State.BkColor);
  TRunDecoration FontLines;
  FontLines.Underline = Font->LogFont().lfUnderline != 0;
  FontLines.StrikeOut = Font->LogFont().lfStrikeOut != 0;
  std::vector<int> Advances;
  for (const TTextLine& Line : Layout.Lines) {
    for (const TTextSegment& Segment : Line.Segments) {
      TTextFrame Frame = Corner.Moved(double(Segment.X) - Rect->left,
                                      double(Line.Y) - Rect->top + Metrics.Ascent);
      Advances.resize(Segment.Text.size());
      for (size_t Index = 0; Index < Segment.Text.size(); ++Index)
        Advances[Index] = Measure.CharWidth(Segment.Text[Index]);
      int Width = Sum(Advances);
      if (State.BkMode == OPAQUE && Layout.DrawGlyphs)
        FillTextCell(*Context, *Font, Frame, Width, BkColor, Clip);
      RenderTextRun(*Context, *Font, Frame, Segment.Text, Advances.data(), Layout.DrawGlyphs,
                    Layout.DrawGlyphs ? FontLines : TRunDecoration(), TextColor, Clip);
    }
    if (Layout.DrawUnderlines && Line.UnderlineWidth > 0) {
      TTextFrame Frame = Corner.Moved(double(Line.X) - Rect->left,
                                      double(Line.Y) - Rect->top + Metrics.Ascent);
      TRunDecoration Prefix;
      Prefix.PrefixU = int(int64_t(Line.UnderlineX) - Line.X);
      Prefix.PrefixWidth = Line.UnderlineWidth;
      RenderTextRun(*Context, *Font, Frame, {}, nullptr, false, Prefix, TextColor, Clip);
    }
  }
  return Layout.Height;
}

int DrawTextA(HDC DC, LPCSTR Text, int Count, LPRECT Rect, UINT Format) {
  return DrawTextExA(DC, Text, Count, Rect, Format, nullptr);
}

BOOL GetTextExtentPoint32A(HDC DC, LPCSTR Text, int Count, LPSIZE Size) {
  return TextExtent(DC, Text, Count, 0, nullptr, nullptr, Size);
}

BOOL GetTextExtentPointA(HDC DC, LPCSTR Text, int Count, LPSIZE Size) {
  return TextExtent(DC, Text, Count, 0, nullptr, nullptr, Size);
}

BOOL GetTextExtentExPointA(HDC DC, LPCSTR Text, int Count, int MaxExtent, LPINT Fit, LPINT Dx,
                           LPSIZE Size) {
  return TextExtent(DC, Text, Count, MaxExtent, Fit, Dx, Size);
}

BOOL SetTextJustification(HDC DC, int BreakExtra, int BreakCount) {
  TDC* Context = GdiGetDC(DC);
  if (Context == nullptr) return FALSE;
  Context->State().BreakExtra = BreakCount > 0 ? BreakExtra : 0;
  Context->State().BreakCount = BreakCount > 0 ? BreakCount : 0;
  return TRUE;
}
