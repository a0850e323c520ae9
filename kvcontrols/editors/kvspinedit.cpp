#include "kvcontrols/editors/kvspinedit.h"

#include <cmath>

#include "kvcontrols/editors/kvdrawing.h"
#include "kvcontrols/editors/kvtextutils.h"
#include "platform/db/datalink.h"
#include "platform/db/field.h"
#include "platform/db/numericfields.h"
#include "platform/rtl/datetime.h"
#include "platform/rtl/numberformat.h"
#include "platform/rtl/sysutils.h"
#include "platform/rtl/unicode.h"
#include "platform/user/user.h"

KORCAM_REGISTER_CLASS(TkvDBSpinButtonEffects)
KORCAM_REGISTER_CLASS(TkvDBSpinEdit)

namespace {

bool IsDatePart(TkvDateTimePart Part) {
  return Part == dtpDay || Part == dtpMonth || Part == dtpYear;
}

// The pieces of Text between Separator, each with its 0-based start.
struct TPiece {
  int Start;
  std::u32string Text;
};
std::vector<TPiece> Pieces(const std::u32string& Text, char32_t Separator, int Offset) {
  std::vector<TPiece> Result{{Offset, {}}};
  for (size_t Index = 0; Index < Text.size(); ++Index) {
    if (Text[Index] == Separator)
      Result.push_back({Offset + int(Index) + 1, {}});
    else
      Result.back().Text += Text[Index];
  }
  return Result;
}

std::u32string CutAtBlank(const std::u32string& Text) {
  return Text.substr(0, Text.find(U' '));
}

}  // namespace

// ---- the value logic -----------------------------------------------------------------------

double kvSpinClamp(double Value, double MinValue, double MaxValue) {
  if (MinValue == 0 && MaxValue == 0) return Value;
  if (Value < MinValue) return MinValue;
  if (Value > MaxValue) return MaxValue;
  return Value;
}

TDateTime kvStepDateTimePart(TDateTime Value, TkvDateTimePart Part, bool Up, bool TimeKind) {
  const TDateTime TimeOfDay = TimeKind ? Value : Value - std::trunc(Value);
  uint16_t Year, Month, Day, Hour, Minute, Second, MSec;
  DecodeDate(Value, Year, Month, Day);
  DecodeTime(Value, Hour, Minute, Second, MSec);
  if (IsDatePart(Part)) {
    int Y = Year, M = Month, D = Day;
    if (Part == dtpDay)
      D = Up ? kvNextDayOfMonth(Y, M, D) : kvPrevDayOfMonth(Y, M, D);
    else if (Part == dtpMonth)
      M = Up ? (M % 12) + 1 : ((M + 10) % 12) + 1;
    else
      Y += Up ? 1 : -1;
    TDateTime Date = 0;
    while (!kvTryEncodeDate(Y, M, D, Date) && D > 28) --D;
    if (!kvTryEncodeDate(Y, M, D, Date)) return Value;
    return Date + TimeOfDay;
  }
  int H = Hour, N = Minute, S = Second;
  switch (Part) {
    case dtpHour:
      H = Up ? (H + 1) % 24 : (H + 23) % 24;
      break;
    case dtpMinute:
      N = Up ? (N + 1) % 60 : (N + 59) % 60;
      break;
    case dtpSecond:
      S = Up ? (S + 1) % 60 : (S + 59) % 60;
      break;
    case dtpAMPM:
      H = H < 12 ? H + 12 : H - 12;
      break;
    default:
      break;
  }
  TDateTime Time = 0;
  kvTryEncodeTime(H, N, S, MSec, Time);
  return TimeKind ? Time : std::trunc(Value) + (Value < 0 ? -Time : Time);
}

void kvSpinPartSelection(const std::string& Text, TkvDateTimePart Part, bool TimeKind, int& Start,
                         int& Length, const TFormatSettings& Settings) {
  Start = 0;
  Length = 0;
  const std::u32string Chars = Utf8ToUtf32(Text);
  if (IsDatePart(Part)) {
    const int Order = kvDateOrder(Settings.ShortDateFormat);
    int Token;
    if (Part == dtpDay)
      Token = Order == kvOrderDMY ? 0 : Order == kvOrderMDY ? 1 : 2;
    else if (Part == dtpMonth)
      Token = Order == kvOrderMDY ? 0 : 1;
    else
      Token = Order == kvOrderYMD ? 0 : 2;
    const std::vector<TPiece> Tokens = Pieces(Chars, char32_t(Settings.DateSeparator), 0);
    if (Token >= int(Tokens.size())) return;
    Start = Tokens[size_t(Token)].Start;
    Length = int(CutAtBlank(Tokens[size_t(Token)].Text).size());
    return;
  }
  // Time parts follow the date, which ends at the first blank.
  int From = 0;
  if (!TimeKind) {
    TDateTime Date = 0;
    if (!kvTryScanDate(Text, Date, Settings)) return;
    const size_t Blank = Chars.find(U' ');
    if (Blank == std::u32string::npos) return;
    From = int(Blank) + 1;
  }
  const std::vector<TPiece> Tokens =
      Pieces(Chars.substr(size_t(From)), char32_t(Settings.TimeSeparator), From);
  const int Token = Part == dtpHour ? 0 : Part == dtpMinute ? 1 : 2;
  if (Token >= int(Tokens.size())) return;
  const TPiece& Piece = Tokens[size_t(Token)];
  if (Part == dtpAMPM) {
    const size_t Blank = Piece.Text.find(U' ');
    if (Blank == std::u32string::npos) return;
    Start = Piece.Start + int(Blank) + 1;
    Length = int(Piece.Text.size() - Blank - 1);
    return;
  }
  Start = Piece.Start;
  Length = int(CutAtBlank(Piece.Text).size());
}

// ---- TkvDBSpinButtonEffects ----------------------------------------------------------------

void TkvDBSpinButtonEffects::RefreshButton() {
  auto* Edit = dynamic_cast<TWinControl*>(FEditControl);
  if (!Edit || !Edit->HandleAllocated()) return;
  HWND Window = Edit->HandleIfAllocated();
  const LONG Style = GetWindowLongA(Window, GWL_STYLE);
  SetWindowLongA(
      Window, GWL_STYLE,
      (FFlat || FTransparent) ? (Style & ~LONG(WS_CLIPCHILDREN)) : (Style | LONG(WS_CLIPCHILDREN)));
}

// ---- TkvDBSpinEdit -------------------------------------------------------------------------

TkvDBSpinEdit::TkvDBSpinEdit(TComponent* AOwner) : TkvDBCustomEdit(AOwner) {
  FButton = new TkvSpinButton(this);
  FButton->SetBounds(0, 0, 15, 17);
  FButton->SetVisible(true);
  FButton->SetParent(this);
  FButton->OnUpClick = TNotifyEvent(this, &TkvDBSpinEdit::UpClickHandler);
  FButton->OnDownClick = TNotifyEvent(this, &TkvDBSpinEdit::DownClickHandler);
  // The buttons are painted into grid cells with the edit.
  for (TControl* Control : {static_cast<TControl*>(FButton), static_cast<TControl*>(FButton->UpButton()),
                            static_cast<TControl*>(FButton->DownButton())}) {
    TControlStyle Style = Control->ControlStyle();
    Style.Exclude(csFramed);
    Style.Include(csReplicatable);
    Control->SetControlStyle(Style);
  }
  FButton->FreeNotification(this);
  FButtonEffects = std::make_unique<TkvDBSpinButtonEffects>(this, FButton);
  SetText("0");
  FControlStyle.Exclude(csSetCaption);
  FIncrement = 1.0;
  FEditorEnabled = true;
}

TkvDBSpinEdit::~TkvDBSpinEdit() {
  // Freed through its owner (this edit) first as a rule; the edit base must not reach it after.
  if (TkvSpinButton* Button = FButton) {
    FButton = nullptr;
    Button->Free();
  }
}

void TkvDBSpinEdit::Notification(TComponent* AComponent, TOperation Operation) {
  TkvDBCustomEdit::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == FButton) FButton = nullptr;
}

void TkvDBSpinEdit::SetButtonEffects(TkvDBSpinButtonEffects* Value) {
  FButtonEffects->Assign(Value);
}

void TkvDBSpinEdit::SetLimitEditRect(bool Value) {
  if (FLimitEditRect == Value) return;
  FLimitEditRect = Value;
  RecreateWnd();
}

double TkvDBSpinEdit::Value() const {
  const std::string Shown = Text();
  const TField* F = Field();
  if (dynamic_cast<const TFloatField*>(F) || dynamic_cast<const TIntegerField*>(F)) {
    if (Shown.empty()) return FMinValue;
    long double Number = 0;
    const auto* Numeric = static_cast<const TNumericField*>(F);
    return kvFormattedTextToFloat(Shown, Number, Numeric->DisplayFormat()) ? double(Number) : FMinValue;
  }
  TDateTime Result = 0;
  if (IsDateKind()) {
    if (Shown.empty() || !kvIsDateText(Shown) || !TryStrToDate(Shown, Result)) return FMinValue;
    return Result;
  }
  if (IsTimeKind()) {
    if (Shown.empty() || !kvIsTimeText(Shown) || !TryStrToTime(Shown, Result)) return FMinValue;
    return Result;
  }
  if (IsDateTimeKind()) {
    if (Shown.empty()) return FMinValue;
    if (kvIsDateTimeText(Shown)) return kvDateTimeTextToValue(Shown);
    if (kvIsDateText(Shown)) return TryStrToDate(Shown, Result) ? Result : FMinValue;
    return kvTryScanDateWindow(Shown, Result, kvDefaultCenturyBase) ? Result : FMinValue;
  }
  // The plain number of the option rows. A text that only starts like a number (pasted, longer
  // than the float test looks) reads as MinValue too, instead of failing the caller.
  if (Shown.empty()) return FMinValue;
  return double(kvFloatTextToValue(Shown, FMinValue));
}

void TkvDBSpinEdit::SetValue(double X) {
  const double Clamped = kvSpinClamp(X, FMinValue, FMaxValue);
  TField* F = Field();
  const auto* Numeric = dynamic_cast<TNumericField*>(F);
  const bool IsFloat = dynamic_cast<TFloatField*>(F) != nullptr,
             IsInteger = dynamic_cast<TIntegerField*>(F) != nullptr;
  if ((IsFloat || IsInteger) && !Numeric->DisplayFormat().empty()) {
    SetText(FormatFloat(Numeric->DisplayFormat(), Clamped));
    if (HandleAllocated()) SelectAll();
  } else if (IsFloat) {
    SetText(FloatToStr(Clamped));
  } else if (IsInteger) {
    SetText(IntToStr(int64_t(std::trunc(Clamped))));
  } else if (IsDateKind()) {
    SetText(DateToStr(Clamped));
  } else if (IsTimeKind()) {
    SetText(TimeToStr(Clamped));
  } else if (IsDateTimeKind()) {
    if (!F && X == std::trunc(X))
      SetText(DateToStr(X) + " " + TimeToStr(0));
    else
      SetText(DateTimeToStr(Clamped));
  } else {
    SetText(FloatToStr(Clamped));
  }
  if (!ComponentState().Contains(csLoading) && !ComponentState().Contains(csDesigning)) SetModifiedFlag(true);
}

bool TkvDBSpinEdit::IsValidKey(char32_t Key) const {
  if (!FEditorEnabled && (Key == 8 || Key >= 32)) return false;
  if (IsDateTimeKind() || (!Field() && (IsDateKind() || IsTimeKind()))) return true;
  return Key == U'+' || Key == U'-' || (Key >= U'0' && Key <= U'9') ||
         Key == char32_t(FormatSettings().DecimalSeparator) || Key < 32;
}

void TkvDBSpinEdit::UpClick() {
  Step(true);
}
void TkvDBSpinEdit::DownClick() {
  Step(false);
}

void TkvDBSpinEdit::Step(bool Up) {
  if (CanFocus() && !Focused()) SetFocus();
  if (Up) {
    if (BeforeUpClick) BeforeUpClick(this);
  } else if (BeforeDownClick) {
    BeforeDownClick(this);
  }
  TField* F = Field();
  if (!EditCanModify() || ReadOnly() || (F && F->ReadOnly())) {
    MessageBeep(0);
    return;
  }
  const bool DateLike = IsDateKind() || IsTimeKind() || IsDateTimeKind();
  if (!DateLike) {
    SetValue(Value() + (Up ? FIncrement : -FIncrement));
  } else {
    const bool TimeKind = IsTimeKind();
    const TkvDateTimePart Part = kvDateTimePartAt(SelStart(), Text(), TimeKind);
    SetValue(kvStepDateTimePart(Value(), Part, Up, TimeKind));
    int Start = 0, Length = 0;
    kvSpinPartSelection(Text(), Part, TimeKind, Start, Length);
    SetSelStart(Start);
    SetSelLength(Length);
  }
  SetModifiedFlag(true);
  if (Up) {
    if (AfterUpClick) AfterUpClick(this);
  } else if (AfterDownClick) {
    AfterDownClick(this);
  }
}

// ---- keys and focus ------------------------------------------------------------------------

void TkvDBSpinEdit::KeyDown(WORD& Key, TShiftState Shift) {
  if (Key == VK_UP || Key == VK_DOWN) {
    // In a data grid with the whole text selected the arrows move between records instead.
    const bool WholeSelected = SelStart() == 0 && SelLength() >= int(Utf8Length(Text()));
    if (!(kvParentIsCustomDBGrid(this) && WholeSelected && !Shift.Contains(ssAlt))) {
      if (Key == VK_UP)
        UpClick();
      else
        DownClick();
      Key = 0;
      return;
    }
  }
  if (Key == VK_DELETE && !FEditorEnabled) {
    MessageBeep(0);
    Key = 0;
    return;
  }
  TkvDBCustomEdit::KeyDown(Key, Shift);
}

void TkvDBSpinEdit::KeyPress(char32_t& Key) {
  if (!IsValidKey(Key)) {
    MessageBeep(0);
    Key = 0;
    return;
  }
  TkvDBCustomEdit::KeyPress(Key);
}

void TkvDBSpinEdit::WMPasteCut(TMessage& Message) {
  if (!FEditorEnabled || ReadOnly()) return;
  TkvDBCustomEdit::WMPasteCut(Message);
}

void TkvDBSpinEdit::CMExit(TMessage& Message) {
  const double Current = Value();
  if (kvSpinClamp(Current, FMinValue, FMaxValue) != Current) {
    const std::string Before = Text();
    SetValue(Current);
    if (Text() != Before) SetModifiedFlag(true);
  }
  TkvDBCustomEdit::CMExit(Message);
  if (!FButton) return;
  for (TkvTimerSpeedButton* Button : {FButton->UpButton(), FButton->DownButton()}) {
    // Disabling and enabling again resets a button's state.
    Button->SetEnabled(false);
    Button->SetEnabled(true);
    Button->SetMouseInside(false);
  }
  if (FButtonEffects->Flat() || FButtonEffects->Transparent()) {
    FButton->UpButton()->SetTransparent(true);
    FButton->DownButton()->SetTransparent(true);
    kvClearClipChildren(this);
    Invalidate();
  }
  if (FButtonEffects->Flat()) {
    FButton->Invalidate();
    FButton->Perform(CM_MOUSELEAVE, 0, 0);
  }
}

void TkvDBSpinEdit::Loaded() {
  TkvDBCustomEdit::Loaded();
  if (!Field() && (IsDateKind() || IsDateTimeKind() || IsTimeKind()) && Text() == "0") SetText("");
  LayoutButton();
}

// ---- layout --------------------------------------------------------------------------------

bool TkvDBSpinEdit::GetShowButton() const {
  return FButton && FButton->Visible();
}
int TkvDBSpinEdit::GetButtonWidth() const {
  return FButton ? FButton->Width() : 0;
}
int TkvDBSpinEdit::GetTextRight() const {
  return FButton ? FButton->Left() - 1 : ClientWidth() - 1;
}

void TkvDBSpinEdit::CreateParams(TCreateParams& Params) {
  TkvDBCustomEdit::CreateParams(Params);
  Params.Style &= ~(ES_WANTRETURN | ES_AUTOVSCROLL);
  Params.Style |= WS_CLIPCHILDREN;
  if (BiDiMode() == bdRightToLeft || FLimitEditRect || EditAlignment() == eaRightAlignEditing)
    Params.Style |= ES_MULTILINE;
  if (FButtonEffects && (FButtonEffects->Flat() || FButtonEffects->Transparent()))
    Params.Style &= ~WS_CLIPCHILDREN;
}

void TkvDBSpinEdit::CreateWnd() {
  TkvDBCustomEdit::CreateWnd();
  LayoutButton();
}

void TkvDBSpinEdit::SetEditRect() {
  if (!HandleAllocated()) return;
  const bool Bordered = BorderStyle() != bsNone;
  RECT Rect{Bordered ? 0 : 2, Bordered ? 0 : 2, ClientWidth() - GetButtonWidth() - 2, ClientHeight()};
  if (FFrame->IsFrameEffective()) Rect.right -= 1;
  Perform(EM_SETRECTNP, 0, LPARAM(&Rect));
}

void TkvDBSpinEdit::LayoutButton() {
  if (!FButton || ComponentState().Contains(csLoading)) return;
  const int Gap = kvParentIsCustomDBGrid(this) ? 0 : 1;
  const int ButtonWidth = FButton->Width();
  // The client area lies inside the 3-D border, so the button is placed in client coordinates.
  if (BorderStyle() != bsNone && Ctl3D())
    FButton->SetBounds(ClientWidth() - ButtonWidth, 0, ButtonWidth, ClientHeight());
  else if (FFrame->IsFrameEffective())
    FButton->SetBounds(Width() - ButtonWidth - Gap - 1, 1, ButtonWidth, ClientHeight() - 3);
  else
    FButton->SetBounds(Width() - ButtonWidth - Gap, Gap, ButtonWidth, ClientHeight() - 2 * Gap);
  SetEditRect();
}

void TkvDBSpinEdit::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
  TkvDBCustomEdit::SetBounds(ALeft, ATop, AWidth, AHeight);
  LayoutButton();
}

void TkvDBSpinEdit::Dispatch(TMessage& Message) {
  switch (Message.Msg) {
    case WM_SIZE:
      TkvDBCustomEdit::Dispatch(Message);
      LayoutButton();
      return;
    case WM_PAINT:
      TkvDBCustomEdit::Dispatch(Message);
      if (FButton && FButton->HandleAllocated()) FButton->Update();
      return;
    case CM_ENTER:
      TkvDBCustomEdit::Dispatch(Message);
      if (FButton && FButtonEffects->Flat()) FButton->Invalidate();
      return;
    default:
      TkvDBCustomEdit::Dispatch(Message);
      return;
  }
}
