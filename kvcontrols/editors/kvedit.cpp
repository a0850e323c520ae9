// The picture settings and the picture-mask typing of the edit base.

#include "kvcontrols/editors/kvedit.h"

#include "kvcontrols/editors/kvhelpers.h"
#include "kvcontrols/editors/kvpicturevalidator.h"
#include "platform/db/datalink.h"
#include "platform/db/dataset.h"
#include "platform/db/datasource.h"
#include "platform/db/field.h"
#include "platform/rtl/unicode.h"
#include "platform/user/user.h"

KORCAM_REGISTER_CLASS(TkvDBPicture)
KORCAM_REGISTER_CLASS(TkvCustomMaskEdit)
KORCAM_REGISTER_CLASS(TkvDBCustomEdit)
KORCAM_REGISTER_CLASS(TkvDBEdit)

namespace {

std::string Utf8Mid(const std::string& Text, size_t From, size_t Count = std::string::npos) {
  const size_t Start = Utf8OffsetOf(Text, From);
  if (Count == std::string::npos) return Text.substr(Start);
  return Text.substr(Start, Utf8OffsetOf(Text, From + Count) - Start);
}

int CodePoints(const std::string& Text) {
  return int(Utf8Length(Text));
}

}  // namespace

// ---- TkvDBPicture --------------------------------------------------------------------------

bool TkvDBPicture::MaskFromDataSet() const {
  if (!FPictureMaskFromDataSet) return false;
  auto* Edit = dynamic_cast<TkvDBCustomEdit*>(FEdit);
  if (!Edit || !Edit->DataSource() || !Edit->DataSource()->DataSet() || Edit->DataField().empty())
    return false;
  return kvGetPictureMasksProp(Edit->DataSource()->DataSet()) != nullptr;
}

const std::string& TkvDBPicture::PictureMask() const {
  if (!MaskFromDataSet()) return FStoredMask;
  auto* Edit = static_cast<TkvDBCustomEdit*>(FEdit);
  bool AutoFill = true, SecondFlag = true;
  kvGetFieldPictureMask(Edit->DataSource()->DataSet(), Edit->DataField(), true, FReadMask, AutoFill,
                        SecondFlag);
  return FReadMask;
}

bool TkvDBPicture::AutoFill() const {
  if (!MaskFromDataSet()) return FStoredAutoFill;
  auto* Edit = static_cast<TkvDBCustomEdit*>(FEdit);
  std::string Mask;
  bool AutoFill = true, SecondFlag = true;
  kvGetFieldPictureMask(Edit->DataSource()->DataSet(), Edit->DataField(), true, Mask, AutoFill, SecondFlag);
  return Mask.empty() ? FStoredAutoFill : AutoFill;
}

bool TkvDBPicture::AllowInvalidExit() const {
  return MaskFromDataSet() ? false : FStoredAllowInvalidExit;
}

void TkvDBPicture::SetPictureMask(const std::string& Value) {
  // FIXME: a picture that a library table keeps in the table itself cannot be overwritten from
  // here (a warning says so and keeps the old mask); no such table exists yet.
  FStoredMask = Value;
  if (MaskFromDataSet()) StoreInDataSet();
}

void TkvDBPicture::SetAutoFill(bool Value) {
  FStoredAutoFill = Value;
  if (MaskFromDataSet()) StoreInDataSet();
}

void TkvDBPicture::SetAllowInvalidExit(bool Value) {
  if (MaskFromDataSet()) return;
  FStoredAllowInvalidExit = Value;
}

void TkvDBPicture::StoreInDataSet() {
  auto* Edit = static_cast<TkvDBCustomEdit*>(FEdit);
  kvSetFieldPictureMask(Edit->DataSource()->DataSet(), Edit->DataField(), FStoredMask, FStoredAutoFill, true,
                        true, true, false);
}

void TkvDBPicture::RefreshFromDataSet() {
  if (!MaskFromDataSet()) return;
  FStoredMask = PictureMask();
  FStoredAutoFill = AutoFill();
  FStoredAllowInvalidExit = false;
}

void TkvDBPicture::Assign(TPersistent* Source) {
  if (auto* Other = dynamic_cast<TkvDBPicture*>(Source)) {
    SetPictureMask(Other->PictureMask());
    SetAutoFill(Other->AutoFill());
    return;
  }
  TPersistent::Assign(Source);
}

TPersistent* TkvDBPicture::GetOwner() const {
  return FEdit;
}

// ---- TkvCustomMaskEdit ---------------------------------------------------------------------

TkvCustomMaskEdit::TkvCustomMaskEdit(TComponent* AOwner) : TCustomMaskEdit(AOwner) {
  FPicture = std::make_unique<TkvDBPicture>(this);
  FFrame = std::make_unique<TkvEditFrame>(this);
}

TkvCustomMaskEdit::~TkvCustomMaskEdit() = default;

void TkvCustomMaskEdit::SetPicture(TkvDBPicture* Value) {
  FPicture->Assign(Value);
  // A picture mask and the class library's edit mask never work together.
  auto* Bound = dynamic_cast<TkvDBCustomEdit*>(this);
  TField* Field = Bound ? Bound->Field() : nullptr;
  SetEditMask(PictureMaskInUse() || !Field ? std::string() : Field->EditMask());
}
void TkvCustomMaskEdit::SetFrame(TkvEditFrame* Value) {
  FFrame->Assign(Value);
}

void TkvCustomMaskEdit::SetWordWrap(bool Value) {
  // Always made again: the window's styles decide how it wraps.
  FWordWrap = Value;
  RecreateWnd();
}

void TkvCustomMaskEdit::SetWantReturns(bool Value) {
  if (FWantReturns == Value) return;
  FWantReturns = Value;
  RecreateWnd();
}

void TkvCustomMaskEdit::SetShowVertScrollBar(bool Value) {
  if (FShowVertScrollBar == Value) return;
  FShowVertScrollBar = Value;
  RecreateWnd();
}

bool TkvCustomMaskEdit::PictureMaskInUse() const {
  return FUsePictureMask && !FPicture->PictureMask().empty();
}

bool TkvCustomMaskEdit::IsPictureValid(const std::string& Text) {
  bool Valid = true;
  if (!Text.empty()) {
    const std::string Mask = FPicture->PictureMask();
    if (FUsePictureMask && !Mask.empty()) {
      TkvPictureValidator Validator(Mask, FPicture->AutoFill());
      std::string Copy = Text;
      Valid = Validator.CheckText(Copy, false) == pmrComplete;
    }
  }
  DoCheckValue(Valid);
  return Valid;
}

void TkvCustomMaskEdit::SetWindowReadOnly(bool Value) {
  Perform(EM_SETREADONLY, WPARAM(Value), 0);
}

void TkvCustomMaskEdit::DoCheckValue(bool PassesPictureTest) {
  if (OnCheckValue) OnCheckValue(this, PassesPictureTest);
}

int TkvCustomMaskEdit::GetTextRight() const {
  return ClientWidth() - 1;
}

void TkvCustomMaskEdit::SetEditRect() {}

void TkvCustomMaskEdit::CreateParams(TCreateParams& Params) {
  TCustomMaskEdit::CreateParams(Params);
  Params.Style &= ~(ES_WANTRETURN | ES_AUTOVSCROLL);
  if (BorderStyle() == bsNone || FWordWrap) Params.Style |= ES_MULTILINE;
  if (FWordWrap) Params.Style = (Params.Style & ~(ES_AUTOHSCROLL | WS_HSCROLL)) | ES_AUTOVSCROLL;
  if (FWantReturns) Params.Style |= ES_WANTRETURN;
  if (FShowVertScrollBar) Params.Style |= WS_VSCROLL;
}

void TkvCustomMaskEdit::RecheckForEvent() {
  if (OnCheckValue) IsPictureValid(Text());
}

void TkvCustomMaskEdit::SetTextAsEdit(const std::string& Value) {
  FSetModifiedInChangeEvent = true;
  try {
    SetText(Value);
  } catch (...) {
    FSetModifiedInChangeEvent = false;
    throw;
  }
  FSetModifiedInChangeEvent = false;
}

void TkvCustomMaskEdit::Change() {
  if (FSetModifiedInChangeEvent) SetModified(true);
  TCustomMaskEdit::Change();
}

void TkvCustomMaskEdit::KeyPress(char32_t& Key) {
  TCustomMaskEdit::KeyPress(Key);
  if (Key != 0 && PictureMaskInUse()) PictureKeyPress(Key);
}

void TkvCustomMaskEdit::PictureKeyPress(char32_t& Key) {
  FModifiedInKeyPress = false;
  const std::string Old = Text();
  const int Length = CodePoints(Old);
  const int SelStart = this->SelStart(), SelLength = this->SelLength();

  if (Key == 8) {
    StartEdit();
    if (OnCheckValue && !WindowReadOnly()) {
      std::string Candidate;
      if (SelLength > 0)
        Candidate = Utf8Mid(Old, 0, size_t(SelStart)) + Utf8Mid(Old, size_t(SelStart + SelLength));
      else if (SelStart > 0)
        Candidate = Utf8Mid(Old, 0, size_t(SelStart - 1)) + Utf8Mid(Old, size_t(SelStart));
      else
        Candidate = Old;
      IsPictureValid(Candidate);
    }
    return;
  }
  if (Key < 32) {
    if (Key == 13 && !FWantReturns) Key = 0;
    return;
  }

  const std::string Before = Utf8Mid(Old, 0, size_t(SelStart));
  const std::string After = Utf8Mid(Old, size_t(SelStart + SelLength));
  std::string Candidate = Before;
  Utf8Append(Candidate, Key);
  Candidate += After;
  // Past the length limit the window refuses the key itself.
  if (MaxLength() > 0 && CodePoints(Candidate) > MaxLength() && CodePoints(Candidate) > Length) return;

  const bool AutoFill = FPicture->AutoFill();
  TkvPictureValidator Validator(FPicture->PictureMask(), AutoFill);
  TkvPictureResult Result = Validator.CheckText(Candidate, AutoFill);
  if (AutoFill && Result == pmrError) {
    // A typed character may stand where the mask wants a literal blank first ("12" then "3"
    // against "## ##"): fill the blank, then type the character after it.
    std::string Second = Before + " " + After;
    if (Validator.CheckText(Second, AutoFill) != pmrError) {
      Utf8Append(Second, Key);
      Result = Validator.CheckText(Second, AutoFill);
      Candidate = Second;
    }
  }

  const bool WholeSelected = SelStart == 0 && SelLength >= Length && Length > 0;
  bool Refused = false;
  switch (Result) {
    case pmrComplete:
    case pmrIncomplete: {
      StartEdit();
      if (WindowReadOnly()) return;  // the window refuses the key with a beep
      const int Growth = CodePoints(Candidate) - Length;
      SetTextAsEdit(Candidate);
      int Caret;
      if (WholeSelected)
        Caret = CodePoints(Candidate);
      else if (Result == pmrComplete ? Growth > 0 : SelLength == 0)
        Caret = SelStart + Growth;
      else
        Caret = SelStart + 1;
      SetSelStart(Caret);
      SetSelLength(0);
      if (Result == pmrIncomplete) Perform(EM_SCROLLCARET, 0, 0);
      Key = 0;
      FModifiedInKeyPress = true;
      break;
    }
    case pmrError:
      if (SelStart + SelLength < Length) break;  // typing inside the text is the window's
      MessageBeep(0);
      Key = 0;
      Refused = true;
      break;
    default:
      break;
  }
  if (!Refused && !WindowReadOnly())
    DoCheckValue(Result == pmrComplete || Result == pmrEmpty || Result == pmrSyntax);
}

void TkvCustomMaskEdit::KeyUp(WORD& Key, TShiftState Shift) {
  TCustomMaskEdit::KeyUp(Key, Shift);
  if (Key == VK_DELETE) RecheckForEvent();
}

void TkvCustomMaskEdit::WMPasteCut(TMessage& Message) {
  const std::string Old = Text();
  const int OldCaret = SelStart();
  TCustomMaskEdit::Dispatch(Message);
  if (Message.Msg == WM_PASTE && PictureMaskInUse()) {
    std::string Filled = Text();
    TkvPictureValidator Validator(FPicture->PictureMask(), FPicture->AutoFill());
    Validator.CheckText(Filled, FPicture->AutoFill());
    if (Filled != Text()) SetTextAsEdit(Filled);
    if (SelStart() == 0) SetSelStart(OldCaret + CodePoints(Text()) - CodePoints(Old));
  }
  RecheckForEvent();
}

void TkvCustomMaskEdit::CMExit(TMessage& Message) {
  TCustomMaskEdit::Dispatch(Message);
  FDoExitPictureError = false;
  if (PictureMaskInUse() && Modified() && !IsPictureValid(Text()) && !FPicture->AllowInvalidExit()) {
    SelectAll();
    if (CanFocus()) SetFocus();
    SetModified(true);
    MessageBeep(0);
    FDoExitPictureError = true;
  }
}

void TkvCustomMaskEdit::Dispatch(TMessage& Message) {
  switch (Message.Msg) {
    case WM_PASTE:
    case WM_CUT:
      WMPasteCut(Message);
      return;
    case CM_EXIT:
      CMExit(Message);
      return;
    case EM_SETREADONLY:
      // The window keeps the flag to itself; the edit follows it to decide about keys.
      FWindowReadOnly = Message.WParam != 0;
      TCustomMaskEdit::Dispatch(Message);
      return;
    default:
      TCustomMaskEdit::Dispatch(Message);
      return;
  }
}
