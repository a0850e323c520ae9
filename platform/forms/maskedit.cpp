#include "platform/forms/maskedit.h"

#include <algorithm>

#include "platform/forms/clipboard.h"
#include "platform/rtl/unicode.h"
#include "platform/user/user.h"

KORCAM_REGISTER_CLASS(TCustomMaskEdit)
KORCAM_REGISTER_CLASS(TMaskEdit)

const char* const SMaskEditErr = "Invalid input value.  Use escape key to abandon changes";

namespace {

// Marks the text changes made while it lives as edits by the user.
class TUserEditScope {
 public:
  explicit TUserEditScope(bool& Flag) : FFlag(Flag), FSaved(Flag) { FFlag = true; }
  ~TUserEditScope() { FFlag = FSaved; }
  TUserEditScope(const TUserEditScope&) = delete;
  TUserEditScope& operator=(const TUserEditScope&) = delete;

 private:
  bool& FFlag;
  bool FSaved;
};

}  // namespace

TCustomMaskEdit::TCustomMaskEdit(TComponent* AOwner) : TCustomEdit(AOwner) {}

TCustomMaskEdit::~TCustomMaskEdit() = default;

// ---- properties ------------------------------------------------------------------------------

void TCustomMaskEdit::SetEditMask(const std::string& Value) {
  if (FEditMask == Value) return;
  // The text programs see survives the change of mask.
  const std::string OldText = Text();
  FEditMask = Value;
  FMask = TEditMask(Value);
  ApplyLimit();
  const std::u32string Shown = IsMasked() ? FMask.FormatText(Utf8ToUtf32(OldText)) : Utf8ToUtf32(OldText);
  if (Shown != ShownChars()) SetShownChars(Shown);
  FOldValueValid = false;
}

int32_t TCustomMaskEdit::MaxLength() const {
  return IsMasked() ? int32_t(FMask.Length()) : FUserMaxLength;
}

void TCustomMaskEdit::SetMaxLength(int32_t Value) {
  FUserMaxLength = Value;
  ApplyLimit();
}

void TCustomMaskEdit::ApplyLimit() {
  TCustomEdit::SetMaxLength(IsMasked() ? int32_t(FMask.Length()) : FUserMaxLength);
}

std::string TCustomMaskEdit::GetText() const {
  if (!IsMasked()) return TCustomEdit::GetText();
  return Utf32ToUtf8(FMask.TextOf(ShownChars()));
}

std::string TCustomMaskEdit::EditText() const {
  return TCustomEdit::GetText();
}

void TCustomMaskEdit::SetEditText(const std::string& Value) {
  if (!IsMasked()) {
    SetText(Value);
    return;
  }
  const std::u32string Chars = Utf8ToUtf32(Value);
  std::u32string Shown = FMask.EmptyEditText();
  for (size_t Position = 0; Position < Shown.size() && Position < Chars.size(); ++Position) {
    char32_t Char = Chars[Position];
    if (!FMask.IsLiteral(Position) && FMask.Accept(Position, Char)) Shown[Position] = Char;
  }
  if (Shown != ShownChars()) SetShownChars(Shown);
}

std::u32string TCustomMaskEdit::ShownChars() const {
  return Utf8ToUtf32(TCustomEdit::GetText());
}

void TCustomMaskEdit::SetShownChars(const std::u32string& Chars) {
  const std::string Utf8 = Utf32ToUtf8(Chars);
  // Straight to the edit: the text is already laid out on the mask.
  TMessage Message{WM_SETTEXT, 0, LPARAM(Utf8.c_str())};
  TCustomEdit::Dispatch(Message);
  Perform(CM_TEXTCHANGED, 0, 0);
}

// ---- virtual operations ----------------------------------------------------------------------

bool TCustomMaskEdit::EditCanModify() {
  return true;
}

void TCustomMaskEdit::Reset() {
  if (!IsMasked() || !FOldValueValid) return;
  if (EditText() != FOldValue) SetShownChars(Utf8ToUtf32(FOldValue));
  SetModified(false);
  SetCursor(0);
}

bool TCustomMaskEdit::Validate(const std::string& Value, int& Pos) {
  const size_t Bad = FMask.FirstInvalid(Utf8ToUtf32(Value));
  if (Bad == std::u32string::npos) return true;
  Pos = int(Bad);
  return false;
}

void TCustomMaskEdit::ValidateError() {
  MessageBeep(0);
  throw EDBEditError(SMaskEditErr);
}

void TCustomMaskEdit::ValidateEdit() {
  if (!IsMasked()) return;
  int Pos = 0;
  if (Validate(EditText(), Pos)) return;
  // The focus stays and the caret shows what is missing.
  if (!ComponentState().Contains(csDesigning)) {
    if (HandleAllocated() && CanFocus() && GetFocus() != HandleIfAllocated()) SetFocus();
    SetCursor(Pos);
  }
  ValidateError();
}

// ---- editing ---------------------------------------------------------------------------------

void TCustomMaskEdit::SetCursor(int Position) {
  const int Clamped = std::clamp(Position, 0, int(ShownChars().size()));
  Perform(EM_SETSEL, WPARAM(Clamped), LPARAM(Clamped));
}

void TCustomMaskEdit::Change() {
  if (FUserEdit) SetModified(true);
  TCustomEdit::Change();
}

bool TCustomMaskEdit::CanUserEdit() {
  const bool WindowReadOnly = HandleAllocated()
                                  ? (GetWindowLongA(HandleIfAllocated(), GWL_STYLE) & LONG(ES_READONLY)) != 0
                                  : ReadOnly();
  if (WindowReadOnly) {
    MessageBeep(0);
    return false;
  }
  return EditCanModify();
}

void TCustomMaskEdit::ApplyUserEdit(const std::u32string& NewEditText, size_t CaretAt) {
  if (NewEditText != ShownChars()) {
    TUserEditScope Scope(FUserEdit);
    SetShownChars(NewEditText);
  }
  SetCursor(int(CaretAt));
}

std::u32string TCustomMaskEdit::BlankRange(size_t Start, size_t End) const {
  std::u32string Shown = ShownChars();
  for (size_t Position = Start; Position < End && Position < Shown.size(); ++Position)
    if (!FMask.IsLiteral(Position)) Shown[Position] = FMask.Blank();
  return Shown;
}

bool TCustomMaskEdit::TypeChars(const std::u32string& Chars) {
  const size_t Start = size_t(SelStart());
  const size_t Length = size_t(SelLength());
  std::u32string Shown = Length > 0 ? BlankRange(Start, Start + Length) : ShownChars();
  size_t Position = Start;
  bool Typed = false;
  for (char32_t Char : Chars) {
    // Literals are stepped over; typing the literal itself only steps over it.
    bool Consumed = false;
    while (Position < Shown.size() && FMask.IsLiteral(Position)) {
      const bool Same = FMask.At(Position).Literal == Char;
      ++Position;
      if (Same) {
        Consumed = true;
        break;
      }
    }
    if (Consumed) {
      Typed = true;
      continue;
    }
    if (Position < Shown.size() && FMask.Accept(Position, Char)) {
      Shown[Position++] = Char;
      Typed = true;
      continue;
    }
    // A literal typed early jumps past the next literal it matches (typing "1-" in "00-00"
    // leaves the second digit blank and goes on after the dash).
    size_t Literal = Position;
    while (Literal < Shown.size() && !FMask.IsLiteral(Literal)) ++Literal;
    if (Literal >= Shown.size() || FMask.At(Literal).Literal != Char) break;
    Position = Literal + 1;
    Typed = true;
  }
  if (!Typed) return false;
  const size_t Next = FMask.NextInput(Position);
  ApplyUserEdit(Shown, Next == std::u32string::npos ? Shown.size() : Next);
  return true;
}

void TCustomMaskEdit::KeyDown(WORD& Key, TShiftState Shift) {
  TCustomEdit::KeyDown(Key, Shift);
  if (!IsMasked() || Key == 0) return;
  if (Key == VK_DELETE && !Shift.Contains(ssShift)) {
    Key = 0;
    if (!CanUserEdit()) return;
    const size_t Start = size_t(SelStart());
    const size_t Length = size_t(SelLength());
    ApplyUserEdit(BlankRange(Start, Start + std::max<size_t>(Length, 1)), Start);
  }
}

void TCustomMaskEdit::KeyPress(char32_t& Key) {
  TCustomEdit::KeyPress(Key);
  if (!IsMasked() || Key == 0) return;
  if (Key == 27) {
    // Escape gives back the text of the entry; unchanged, it goes on (a dialog may close).
    if (FOldValueValid && EditText() != FOldValue) {
      Reset();
      Key = 0;
    }
    return;
  }
  if (Key == 8) {
    Key = 0;
    if (!CanUserEdit()) return;
    const size_t Start = size_t(SelStart());
    const size_t Length = size_t(SelLength());
    if (Length > 0) {
      ApplyUserEdit(BlankRange(Start, Start + Length), Start);
      return;
    }
    const size_t Prior = FMask.PriorInput(Start);
    if (Prior == std::u32string::npos) {
      SetCursor(0);
      return;
    }
    ApplyUserEdit(BlankRange(Prior, Prior + 1), Prior);
    return;
  }
  // The clipboard and undo keys and the other control characters go to the edit.
  if (Key < 32 || Key == 127) return;
  const char32_t Typed = Key;
  Key = 0;
  if (!CanUserEdit()) return;
  if (!TypeChars(std::u32string(1, Typed))) MessageBeep(0);
}

void TCustomMaskEdit::DoEnter() {
  // The text at entry is what Escape gives back.
  FOldValue = EditText();
  FOldValueValid = true;
  TCustomEdit::DoEnter();
}

// ---- messages --------------------------------------------------------------------------------

void TCustomMaskEdit::Dispatch(TMessage& Message) {
  if (IsMasked()) {
    switch (Message.Msg) {
      case WM_SETTEXT:
        WMSetText(Message);
        return;
      case WM_PASTE:
        WMPaste(Message);
        return;
      case WM_CUT:
      case WM_CLEAR:
        WMCutClear(Message);
        return;
      case EM_REPLACESEL: {
        const char* Text = reinterpret_cast<const char*>(Message.LParam);
        TypeChars(Utf8ToUtf32(Text ? Text : ""));
        return;
      }
      case WM_UNDO:
        Reset();
        return;
      default:
        break;
    }
  }
  if (Message.Msg == CM_EXIT) {
    CMExit(Message);
    return;
  }
  TCustomEdit::Dispatch(Message);
}

void TCustomMaskEdit::WMSetText(TMessage& Message) {
  // A program sets Text: lay it out on the mask.
  const char* Text = reinterpret_cast<const char*>(Message.LParam);
  const std::string Utf8 = Utf32ToUtf8(FMask.FormatText(Utf8ToUtf32(Text ? Text : "")));
  TMessage Forward{WM_SETTEXT, 0, LPARAM(Utf8.c_str())};
  TCustomEdit::Dispatch(Forward);
  Message.Result = Forward.Result;
}

void TCustomMaskEdit::WMPaste(TMessage& Message) {
  if (!Clipboard()->HasFormat(CF_TEXT)) return;
  if (!CanUserEdit()) return;
  if (!TypeChars(Utf8ToUtf32(Clipboard()->AsText()))) MessageBeep(0);
  Message.Result = 0;
}

void TCustomMaskEdit::WMCutClear(TMessage& Message) {
  const size_t Start = size_t(SelStart());
  const size_t Length = size_t(SelLength());
  if (Length == 0) return;
  if (Message.Msg == WM_CUT) {
    if (PasswordChar()) return;
    Clipboard()->SetAsText(SelText());
  }
  if (!CanUserEdit()) return;
  ApplyUserEdit(BlankRange(Start, Start + Length), Start);
}

void TCustomMaskEdit::CMExit(TMessage& Message) {
  // An incomplete text keeps the focus: the check raises before the exit goes on.
  ValidateEdit();
  FOldValueValid = false;
  if (IsMasked()) SetCursor(0);
  TCustomEdit::Dispatch(Message);
}
