#include "platform/forms/trackbar.h"

#include <algorithm>
#include <span>

#include "platform/gdi/gdi.h"
#include "platform/user/user.h"

KORCAM_REGISTER_CLASS(TTrackBar)

namespace {

constexpr int ChannelMargin = 8;     // from each end of the bar to the channel's ends
constexpr int ChannelThickness = 4;
constexpr int TopMargin = 4;         // above the thumb
constexpr int TickGap = 2;           // between the thumb and its ticks
constexpr int TickLength = 3;
constexpr int EndTickLength = 4;     // the ticks at both ends stand out
constexpr UINT_PTR RepeatTimerId = 1;
constexpr UINT FirstRepeat = 400;    // ms before a held press on the channel repeats
constexpr UINT NextRepeat = 100;     // ms between repeats

}  // namespace

TTrackBar::TTrackBar(TComponent* AOwner) : TCustomControl(AOwner) {
  FControlStyle = TControlStyle{csCaptureMouse, csClickEvents, csDoubleClicks, csOpaque};
  FTabStop = true;
  SetBounds(0, 0, 150, 45);
}

TTrackBar::~TTrackBar() = default;

// ---- values ----------------------------------------------------------------------------------

void TTrackBar::SetRange(int32_t AMin, int32_t AMax) {
  if (AMax < AMin) AMax = AMin;
  if (FMin == AMin && FMax == AMax) return;
  FMin = AMin;
  FMax = AMax;
  Invalidate();
  if (ComponentState().Contains(csLoading)) return;
  const int32_t Kept = std::clamp(FPosition, FMin, FMax);
  if (Kept != FPosition) {
    FPosition = Kept;
    Changed();
  }
}

void TTrackBar::SetMin(int32_t Value) {
  // A minimum beyond the maximum takes the maximum with it.
  SetRange(Value, std::max(Value, FMax));
}

void TTrackBar::SetMax(int32_t Value) {
  SetRange(std::min(Value, FMin), Value);
}

void TTrackBar::SetPosition(int32_t Value) {
  // While a form is read the range may still come: keep the value as given until then.
  if (!ComponentState().Contains(csLoading)) Value = std::clamp(Value, FMin, FMax);
  if (FPosition == Value) return;
  FPosition = Value;
  Invalidate();
  if (!ComponentState().Contains(csLoading)) Changed();
}

void TTrackBar::SetFrequency(int32_t Value) {
  if (FFrequency == Value) return;
  FFrequency = Value;
  Invalidate();
}

void TTrackBar::SetTickMarks(TTickMark Value) {
  if (FTickMarks == Value) return;
  FTickMarks = Value;
  Invalidate();
}

void TTrackBar::SetTickStyle(TTickStyle Value) {
  if (FTickStyle == Value) return;
  FTickStyle = Value;
  Invalidate();
}

void TTrackBar::SetThumbLength(int32_t Value) {
  Value = std::max(Value, 4);
  if (FThumbLength == Value) return;
  FThumbLength = Value;
  Invalidate();
}

void TTrackBar::SetSliderVisible(bool Value) {
  if (FSliderVisible == Value) return;
  FSliderVisible = Value;
  Invalidate();
}

void TTrackBar::Loaded() {
  TCustomControl::Loaded();
  FPosition = std::clamp(FPosition, FMin, FMax);
}

void TTrackBar::Changed() {
  if (OnChange) OnChange(this);
}

// ---- geometry --------------------------------------------------------------------------------

int TTrackBar::ThumbWidth() const {
  return std::max(5, FThumbLength / 2 + 1);
}

int TTrackBar::ThumbTop() const {
  // Ticks above the channel push it down.
  return FTickMarks == tmBottomRight ? TopMargin : TopMargin + TickLength + TickGap + 1;
}

RECT TTrackBar::ChannelRect() {
  const RECT Client = ClientRect();
  const int Middle = ThumbTop() + FThumbLength / 2;
  return RECT{Client.left + ChannelMargin, Middle - ChannelThickness / 2,
              std::max<int>(Client.right - ChannelMargin, Client.left + ChannelMargin + 1),
              Middle + ChannelThickness / 2};
}

int TTrackBar::ValueToX(int32_t Value) {
  const RECT Channel = ChannelRect();
  const int Span = Channel.right - Channel.left - 1;
  if (FMax <= FMin) return Channel.left;
  return Channel.left + int(int64_t(Value - FMin) * Span / (int64_t(FMax) - FMin));
}

int32_t TTrackBar::XToValue(int X) {
  const RECT Channel = ChannelRect();
  const int Span = Channel.right - Channel.left - 1;
  if (FMax <= FMin || Span <= 0) return FMin;
  const int64_t Range = int64_t(FMax) - FMin;
  const int64_t Offset = std::clamp<int64_t>(X - Channel.left, 0, Span);
  // Rounded to the nearest value.
  return int32_t(FMin + (Offset * Range * 2 + Span) / (2 * int64_t(Span)));
}

RECT TTrackBar::ThumbRect() {
  const int Centre = ValueToX(FPosition);
  const int Width = ThumbWidth();
  return RECT{Centre - Width / 2, ThumbTop(), Centre - Width / 2 + Width, ThumbTop() + FThumbLength};
}

std::vector<int32_t> TTrackBar::Ticks() const {
  std::vector<int32_t> Result;
  if (FTickStyle == tsNone) return Result;
  Result.push_back(FMin);
  if (FTickStyle == tsAuto && FFrequency > 0)
    for (int64_t Value = int64_t(FMin) + FFrequency; Value < FMax; Value += FFrequency) Result.push_back(int32_t(Value));
  if (FMax != FMin) Result.push_back(FMax);
  return Result;
}

// ---- painting --------------------------------------------------------------------------------

void TTrackBar::Paint() {
  TCanvas* C = Canvas();
  const RECT Client = ClientRect();
  C->Brush()->SetStyle(bsSolid);
  C->Brush()->SetColor(Color());
  C->FillRect(Client);
  HDC DC = C->Handle();
  RECT Channel = ChannelRect();
  DrawEdge(DC, &Channel, EDGE_SUNKEN, BF_RECT);
  // Ticks: below the thumb (and above it with tmBoth / tmTopLeft).
  C->Pen()->SetColor(clBtnText);
  C->Pen()->SetWidth(1);
  const std::vector<int32_t> TickValues = Ticks();
  for (size_t Index = 0; Index < TickValues.size(); ++Index) {
    const int X = ValueToX(TickValues[Index]);
    const bool End = Index == 0 || Index + 1 == TickValues.size();
    const int Length = End ? EndTickLength : TickLength;
    if (FTickMarks != tmTopLeft) {
      const int Y = ThumbTop() + FThumbLength + TickGap;
      C->MoveTo(X, Y);
      C->LineTo(X, Y + Length);
    }
    if (FTickMarks != tmBottomRight) {
      const int Y = ThumbTop() - TickGap - 1;
      C->MoveTo(X, Y);
      C->LineTo(X, Y - Length);
    }
  }
  if (FSliderVisible) {
    // The thumb points towards the ticks (a plain block with ticks on both sides).
    const RECT T = ThumbRect();
    const int Point = std::min<int>(T.right - T.left, FThumbLength) / 2;
    const int Middle = (T.left + T.right - 1) / 2;
    std::vector<POINT> Shape;
    if (FTickMarks == tmBottomRight)
      Shape = {{T.left, T.top}, {T.right - 1, T.top}, {T.right - 1, T.bottom - 1 - Point}, {Middle, T.bottom - 1},
               {T.left, T.bottom - 1 - Point}};
    else if (FTickMarks == tmTopLeft)
      Shape = {{Middle, T.top}, {T.right - 1, T.top + Point}, {T.right - 1, T.bottom - 1}, {T.left, T.bottom - 1},
               {T.left, T.top + Point}};
    else
      Shape = {{T.left, T.top}, {T.right - 1, T.top}, {T.right - 1, T.bottom - 1}, {T.left, T.bottom - 1}};
    C->Brush()->SetColor(FDraggingThumb ? clBtnHighlight : clBtnFace);
    C->Pen()->SetColor(Enabled() ? clBtnShadow : clGrayText);
    C->Polygon(std::span<const POINT>(Shape.data(), Shape.size()));
    // A light edge on the thumb's upper left makes it stand out of the face.
    C->Pen()->SetColor(clBtnHighlight);
    C->MoveTo(T.left + 1, T.bottom - 2 - (FTickMarks == tmBottomRight ? Point : 0));
    C->LineTo(T.left + 1, T.top + 1 + (FTickMarks == tmTopLeft ? Point : 0));
    C->LineTo(T.right - 1, T.top + 1);
  }
  if (Focused()) {
    RECT Focus = Client;
    C->DrawFocusRect(Focus);
  }
}

// ---- keys and mouse --------------------------------------------------------------------------

void TTrackBar::KeyDown(WORD& Key, TShiftState Shift) {
  TCustomControl::KeyDown(Key, Shift);
  int64_t Target = FPosition;
  switch (Key) {
    case VK_LEFT:
    case VK_UP: Target -= FLineSize; break;
    case VK_RIGHT:
    case VK_DOWN: Target += FLineSize; break;
    case VK_PRIOR: Target -= FPageSize; break;
    case VK_NEXT: Target += FPageSize; break;
    case VK_HOME: Target = FMin; break;
    case VK_END: Target = FMax; break;
    default: return;
  }
  Key = 0;
  SetPosition(int32_t(std::clamp<int64_t>(Target, FMin, FMax)));
}

void TTrackBar::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  TObjectProtector Protector(this);
  if (CanFocus() && !Focused()) SetFocus();
  if (!Protector.Alive()) return;
  TCustomControl::MouseDown(Button, Shift, X, Y);
  if (Button != mbLeft || !Protector.Alive()) return;
  const RECT Thumb = ThumbRect();
  if (FSliderVisible && X >= Thumb.left && X < Thumb.right) {
    FDraggingThumb = true;
    FDragOffset = ValueToX(FPosition) - X;
    Invalidate();
    return;
  }
  // On the channel beside the thumb: a page towards the mouse now, and more while held.
  FPaging = true;
  FPagePoint = POINT{X, Y};
  if (PageTowardsMouse() && Protector.Alive() && FPaging && HandleAllocated())
    FRepeatTimer = SetTimer(HandleIfAllocated(), RepeatTimerId, FirstRepeat, nullptr);
}

bool TTrackBar::PageTowardsMouse() {
  const int32_t Target = XToValue(FPagePoint.x);
  if (Target == FPosition) return false;
  const int64_t Step = Target > FPosition ? FPageSize : -int64_t(FPageSize);
  int64_t Next = int64_t(FPosition) + Step;
  // Never past the point the mouse holds.
  Next = Step > 0 ? std::min<int64_t>(Next, Target) : std::max<int64_t>(Next, Target);
  SetPosition(int32_t(std::clamp<int64_t>(Next, FMin, FMax)));
  return FPosition != Target;
}

void TTrackBar::MouseMove(TShiftState Shift, int X, int Y) {
  TCustomControl::MouseMove(Shift, X, Y);
  if (FDraggingThumb) SetPosition(XToValue(X + FDragOffset));
  if (FPaging) FPagePoint = POINT{X, Y};
}

void TTrackBar::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  TCustomControl::MouseUp(Button, Shift, X, Y);
  if (Button == mbLeft) StopTracking();
}

void TTrackBar::StopTracking() {
  if (FRepeatTimer && HandleAllocated()) KillTimer(HandleIfAllocated(), RepeatTimerId);
  FRepeatTimer = 0;
  FPaging = false;
  if (FDraggingThumb) {
    FDraggingThumb = false;
    Invalidate();
  }
}

void TTrackBar::Dispatch(TMessage& Message) {
  switch (Message.Msg) {
    case WM_GETDLGCODE:
      Message.Result = DLGC_WANTARROWS;
      return;
    case WM_TIMER:
      if (Message.WParam == RepeatTimerId) {
        if (FPaging && HandleAllocated()) {
          KillTimer(HandleIfAllocated(), RepeatTimerId);
          FRepeatTimer = 0;
          TObjectProtector Protector(this);
          if (PageTowardsMouse() && Protector.Alive() && FPaging && HandleAllocated())
            FRepeatTimer = SetTimer(HandleIfAllocated(), RepeatTimerId, NextRepeat, nullptr);
        }
        return;
      }
      break;
    case WM_CANCELMODE:
    case WM_CAPTURECHANGED:
      StopTracking();
      break;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
      // The focus rectangle comes and goes.
      Invalidate();
      break;
    case CM_ENABLEDCHANGED:
      Invalidate();
      break;
    default:
      break;
  }
  TCustomControl::Dispatch(Message);
}
