#include "platform/forms/edit.h"

#include <algorithm>
#include <cstring>

#include "platform/forms/clipboard.h"
#include "platform/gdi/font.h"
#include "platform/gdi/gdi.h"
#include "platform/gdi/text.h"
#include "platform/rtl/unicode.h"
#include "platform/user/user.h"

KORCAM_REGISTER_CLASS(TCustomEdit)
KORCAM_REGISTER_CLASS(TEdit)

namespace {

TEditCase ToEditCase(TEditCharCase Value) {
  switch (Value) {
    case ecUpperCase:
      return TEditCase::Upper;
    case ecLowerCase:
      return TEditCase::Lower;
    default:
      return TEditCase::Normal;
  }
}

// A DC to measure text with when the control has none of its own.
struct TMeasureDC {
  explicit TMeasureDC(HFONT Font) : DC(CreateCompatibleDC(nullptr)) { Old = SelectObject(DC, Font); }
  ~TMeasureDC() {
    SelectObject(DC, Old);
    DeleteDC(DC);
  }
  HDC DC;
  HGDIOBJ Old;
};

}  // namespace

TCustomEdit::TCustomEdit(TComponent* AOwner) : TWinControl(AOwner) {
  FControlStyle = {csClickEvents, csSetCaption, csDoubleClicks, csFixedHeight};
  FWidth = 121;
  FHeight = 25;
  FTabStop = true;
  FAutoSize = true;
  FParentColor = false;
  FColor = clWindow;
  FBrush->SetColor(clWindow);
  FCanvas = std::make_unique<TControlCanvas>();
  FCanvas->SetControl(this);
  AdjustHeight();
}

TCustomEdit::~TCustomEdit() = default;

// ---- properties ------------------------------------------------------------------------------

void TCustomEdit::SetAutoSelect(bool Value) {
  FAutoSelect = Value;
}

void TCustomEdit::SetBorderStyle(TBorderStyle Value) {
  if (FBorderStyle == Value) return;
  FBorderStyle = Value;
  AdjustHeight();
  RecreateWnd();
}

void TCustomEdit::SetCharCase(TEditCharCase Value) {
  if (FCharCase == Value) return;
  FCharCase = Value;
  // The text there is converted too, as a window made with the case style shows it; that is
  // not an edit, so OnChange stays quiet.
  if (FBuffer.SetCharCase(ToEditCase(Value)).Changed) SyncText();
  Invalidate();
}

void TCustomEdit::SetHideSelection(bool Value) {
  if (FHideSelection == Value) return;
  FHideSelection = Value;
  Invalidate();
}

void TCustomEdit::SetMaxLength(int32_t Value) {
  if (FMaxLength == Value) return;
  FMaxLength = Value;
  Perform(EM_LIMITTEXT, WPARAM(std::max(Value, 0)), 0);
}

void TCustomEdit::SetPasswordChar(char32_t Value) {
  if (FPasswordChar == Value) return;
  FPasswordChar = Value;
  Perform(EM_SETPASSWORDCHAR, WPARAM(Value), 0);
}

void TCustomEdit::SetReadOnly(bool Value) {
  if (FReadOnly == Value) return;
  FReadOnly = Value;
  Perform(EM_SETREADONLY, WPARAM(Value), 0);
}

void TCustomEdit::SetModified(bool Value) {
  Perform(EM_SETMODIFY, WPARAM(Value), 0);
}

int32_t TCustomEdit::SelStart() const {
  DWORD Start = 0, End = 0;
  const_cast<TCustomEdit*>(this)->Perform(EM_GETSEL, WPARAM(&Start), LPARAM(&End));
  return int32_t(Start);
}

void TCustomEdit::SetSelStart(int32_t Value) {
  Perform(EM_SETSEL, WPARAM(Value), LPARAM(Value));
}

int32_t TCustomEdit::SelLength() const {
  DWORD Start = 0, End = 0;
  const_cast<TCustomEdit*>(this)->Perform(EM_GETSEL, WPARAM(&Start), LPARAM(&End));
  return int32_t(End - Start);
}

void TCustomEdit::SetSelLength(int32_t Value) {
  const int32_t Start = SelStart();
  Perform(EM_SETSEL, WPARAM(Start), LPARAM(Start + Value));
}

std::string TCustomEdit::SelText() const {
  return FBuffer.SelText();
}

void TCustomEdit::SetSelText(const std::string& Value) {
  Perform(EM_REPLACESEL, 0, LPARAM(Value.c_str()));
}

bool TCustomEdit::CanUndo() const {
  return FBuffer.CanUndo();
}

void TCustomEdit::Clear() {
  SetText("");
}
void TCustomEdit::ClearSelection() {
  Perform(WM_CLEAR, 0, 0);
}
void TCustomEdit::CopyToClipboard() {
  Perform(WM_COPY, 0, 0);
}
void TCustomEdit::CutToClipboard() {
  Perform(WM_CUT, 0, 0);
}
void TCustomEdit::PasteFromClipboard() {
  Perform(WM_PASTE, 0, 0);
}
void TCustomEdit::Undo() {
  Perform(WM_UNDO, 0, 0);
}
void TCustomEdit::ClearUndo() {
  Perform(EM_EMPTYUNDOBUFFER, 0, 0);
}
void TCustomEdit::SelectAll() {
  Perform(EM_SETSEL, 0, LPARAM(-1));
}

// ---- the window ------------------------------------------------------------------------------

void TCustomEdit::CreateParams(TCreateParams& Params) {
  TWinControl::CreateParams(Params);
  Params.Style |= ES_AUTOHSCROLL | ES_LEFT;
  if (!FHideSelection) Params.Style |= ES_NOHIDESEL;
  if (FCharCase == ecUpperCase) Params.Style |= ES_UPPERCASE;
  if (FCharCase == ecLowerCase) Params.Style |= ES_LOWERCASE;
  if (FWindowReadOnly) Params.Style |= ES_READONLY;
  if (FPasswordChar) Params.Style |= ES_PASSWORD;
  if (FBorderStyle == bsSingle) {
    if (FCtl3D)
      Params.ExStyle |= WS_EX_CLIENTEDGE;
    else
      Params.Style |= WS_BORDER;
  }
  Params.WindowClass.hCursor = LoadCursorA(nullptr, IDC_IBEAM);
}

void TCustomEdit::CreateWnd() {
  TWinControl::CreateWnd();
  AdjustHeight();
}

int TCustomEdit::TextHeight() {
  TMeasureDC Measure(Font()->Handle());
  TEXTMETRICA Metrics{};
  GetTextMetricsA(Measure.DC, &Metrics);
  return Metrics.tmHeight;
}

void TCustomEdit::AdjustHeight() {
  if (!FAutoSize || ComponentState().Contains(csLoading)) return;
  // The text's height plus room for the border and a pixel above and below.
  const int Border = FBorderStyle == bsSingle ? (FCtl3D ? 8 : 6) : 2;
  const int NewHeight = TextHeight() + Border * GetSystemMetrics(SM_CYBORDER);
  if (NewHeight != FHeight) SetBounds(FLeft, FTop, FWidth, NewHeight);
}

RECT TCustomEdit::EditRect() const {
  if (FHasFormatRect) return FFormatRect;
  RECT Client = ClientRect();
  return RECT{Client.left + FLeftMargin, Client.top + 1, Client.right - FRightMargin, Client.bottom};
}

std::u32string TCustomEdit::ShownChars() const {
  if (FPasswordChar) return std::u32string(FBuffer.Length(), FPasswordChar);
  return FBuffer.Chars();
}

std::vector<int> TCustomEdit::Offsets() {
  const std::u32string Shown = ShownChars();
  std::vector<int> Result(Shown.size() + 1, 0);
  TMeasureDC Measure(Font()->Handle());
  std::string Prefix;
  for (size_t Index = 0; Index < Shown.size(); ++Index) {
    Utf8Append(Prefix, Shown[Index]);
    SIZE Size{};
    GetTextExtentPoint32A(Measure.DC, Prefix.c_str(), int(Prefix.size()), &Size);
    Result[Index + 1] = Size.cx;
  }
  return Result;
}

int TCustomEdit::CaretX() {
  const std::vector<int> X = Offsets();
  return EditRect().left - FScrollX + X[std::min(FBuffer.Caret(), X.size() - 1)];
}

size_t TCustomEdit::CharFromX(int X) {
  const std::vector<int> Offset = Offsets();
  const int Local = X - EditRect().left + FScrollX;
  // The boundary nearest the point: the middle of a character decides.
  for (size_t Index = 0; Index + 1 < Offset.size(); ++Index)
    if (Local < (Offset[Index] + Offset[Index + 1]) / 2) return Index;
  return Offset.size() - 1;
}

void TCustomEdit::ScrollCaretIntoView() {
  const std::vector<int> X = Offsets();
  const RECT R = EditRect();
  const int Width = std::max<int>(1, R.right - R.left);
  const int Caret = X[std::min(FBuffer.Caret(), X.size() - 1)];
  if (Caret - FScrollX < 0) FScrollX = Caret;
  if (Caret - FScrollX > Width - 1) FScrollX = Caret - Width + 1;
  // No empty room after the text while there is text scrolled away to the left.
  if (FScrollX > 0 && X.back() - FScrollX < Width - 1) FScrollX = std::max(0, X.back() - Width + 1);
}

void TCustomEdit::UpdateCaret() {
  ScrollCaretIntoView();
  if (FHasCaret && FHandle) SetCaretPos(CaretX(), EditRect().top);
}

// ---- changes ---------------------------------------------------------------------------------

void TCustomEdit::SyncText() {
  FText = FBuffer.Text();
}

void TCustomEdit::Change() {
  TControl::Changed();
  if (OnChange) OnChange(this);
}

void TCustomEdit::Edited(const TEditBuffer::TResult& Result) {
  if (Result.Refused) MessageBeep(0);
  if (Result.Changed) {
    SyncText();
    FModified = true;
    UpdateCaret();
    Invalidate();
    Change();
  } else {
    UpdateCaret();
    Invalidate();
  }
}

bool TCustomEdit::RefuseIfReadOnly() {
  if (!FWindowReadOnly) return false;
  MessageBeep(0);
  return true;
}

void TCustomEdit::DoEnter() {
  if (FAutoSelect && !FControlState.Contains(csLButtonDown)) SelectAll();
  TWinControl::DoEnter();
}

// ---- messages --------------------------------------------------------------------------------

void TCustomEdit::Dispatch(TMessage& Message) {
  switch (Message.Msg) {
    case WM_PAINT:
      WMPaint(Message);
      return;
    case WM_ERASEBKGND:
      Message.Result = 1;
      return;  // the paint fills the background itself
    case WM_CHAR:
      WMChar(Message);
      return;
    case WM_KEYDOWN:
      WMKeyDown(Message);
      return;
    case WM_SETFOCUS:
      WMSetFocus(Message);
      return;
    case WM_KILLFOCUS:
      WMKillFocus(Message);
      return;
    case WM_LBUTTONDOWN:
      WMLButtonDown(Message);
      return;
    case WM_LBUTTONDBLCLK:
      WMLButtonDblClk(Message);
      return;
    case WM_MOUSEMOVE:
      WMMouseMove(Message);
      return;
    case WM_LBUTTONUP:
      WMLButtonUp(Message);
      return;
    case WM_SETTEXT:
      WMSetText(Message);
      return;
    case WM_GETTEXT:
    case WM_GETTEXTLENGTH:
      WMGetText(Message);
      return;
    case WM_GETDLGCODE:
      Message.Result = DLGC_WANTCHARS | DLGC_HASSETSEL | DLGC_WANTARROWS;
      return;
    case WM_CUT:
    case WM_COPY:
    case WM_PASTE:
    case WM_CLEAR:
    case WM_UNDO:
      EditMessage(Message);
      return;
    case CM_FONTCHANGED:
      TWinControl::Dispatch(Message);
      AdjustHeight();
      UpdateCaret();
      return;
    case CM_CTL3DCHANGED:
      TWinControl::Dispatch(Message);
      AdjustHeight();
      RecreateWnd();
      return;
    default:
      if (Message.Msg >= EM_GETSEL && Message.Msg <= EM_CHARFROMPOS) {
        EditMessage(Message);
        return;
      }
      TWinControl::Dispatch(Message);
      return;
  }
}

void TCustomEdit::WMSetText(TMessage& Message) {
  const char* Text = reinterpret_cast<const char*>(Message.LParam);
  FBuffer.SetText(Text ? Text : "");
  SyncText();
  // A text set by the program is not an edit by the user.
  FModified = false;
  FScrollX = 0;
  // The window shows the text as the edit keeps it (case rule applied).
  if (FHandle) CallWindowProcA(FDefWndProc, FHandle, WM_SETTEXT, 0, LPARAM(FText.c_str()));
  Message.Result = TRUE;
  UpdateCaret();
  Invalidate();
  if (!FControlState.Contains(csCreating)) Change();
}

void TCustomEdit::WMGetText(TMessage& Message) {
  // The text is the buffer's; the window's copy is only what the window system shows.
  TControl::DefaultHandler(Message);
}

void TCustomEdit::EditMessage(TMessage& Message) {
  switch (Message.Msg) {
    case EM_GETSEL: {
      const DWORD Start = DWORD(FBuffer.SelStart()), End = DWORD(FBuffer.SelEnd());
      if (Message.WParam) *reinterpret_cast<DWORD*>(Message.WParam) = Start;
      if (Message.LParam) *reinterpret_cast<DWORD*>(Message.LParam) = End;
      Message.Result = MAKELRESULT(WORD(std::min<DWORD>(Start, 0xFFFF)), WORD(std::min<DWORD>(End, 0xFFFF)));
      return;
    }
    case EM_SETSEL: {
      const long Start = long(intptr_t(Message.WParam)), End = long(Message.LParam);
      if (Start < 0) {
        FBuffer.MoveCaret(FBuffer.Caret(), false);  // no selection, the caret stays
      } else {
        const size_t Last = End < 0 ? FBuffer.Length() : size_t(End);
        FBuffer.SetSelection(size_t(Start), Last);
      }
      UpdateCaret();
      Invalidate();
      return;
    }
    case EM_GETMODIFY:
      Message.Result = FModified;
      return;
    case EM_SETMODIFY:
      FModified = Message.WParam != 0;
      return;
    case EM_SETREADONLY:
      FWindowReadOnly = Message.WParam != 0;
      if (FHandle) {
        LONG Style = GetWindowLongA(FHandle, GWL_STYLE);
        SetWindowLongA(FHandle, GWL_STYLE,
                       FWindowReadOnly ? (Style | LONG(ES_READONLY)) : (Style & ~LONG(ES_READONLY)));
      }
      Message.Result = TRUE;
      return;
    case EM_LIMITTEXT:
      FBuffer.SetMaxLength(size_t(Message.WParam));
      return;
    case EM_GETLIMITTEXT:
      Message.Result = FBuffer.MaxLength() ? LRESULT(FBuffer.MaxLength()) : 0x7FFFFFFE;
      return;
    case EM_REPLACESEL: {
      if (RefuseIfReadOnly()) return;
      const char* Text = reinterpret_cast<const char*>(Message.LParam);
      Edited(FBuffer.Insert(std::string(Text ? Text : "")));
      if (!Message.WParam) FBuffer.ClearUndo();
      return;
    }
    case EM_CANUNDO:
      Message.Result = FBuffer.CanUndo();
      return;
    case EM_UNDO:
    case WM_UNDO:
      if (RefuseIfReadOnly()) return;
      Message.Result = FBuffer.CanUndo();
      Edited(FBuffer.Undo());
      return;
    case EM_EMPTYUNDOBUFFER:
      FBuffer.ClearUndo();
      return;
    case EM_SETPASSWORDCHAR:
      FPasswordChar = char32_t(Message.WParam);
      UpdateCaret();
      Invalidate();
      return;
    case EM_GETPASSWORDCHAR:
      Message.Result = LRESULT(FPasswordChar);
      return;
    case EM_GETRECT:
      if (Message.LParam) *reinterpret_cast<RECT*>(Message.LParam) = EditRect();
      return;
    case EM_SETRECT:
    case EM_SETRECTNP:
      if (Message.LParam) {
        FFormatRect = *reinterpret_cast<const RECT*>(Message.LParam);
        FHasFormatRect = true;
      } else {
        FHasFormatRect = false;
      }
      UpdateCaret();
      if (Message.Msg == EM_SETRECT) Invalidate();
      return;
    case EM_SETMARGINS:
      if (Message.WParam & EC_LEFTMARGIN)
        FLeftMargin = Message.WParam == EC_USEFONTINFO ? 1 : LOWORD(Message.LParam);
      if (Message.WParam & EC_RIGHTMARGIN)
        FRightMargin = Message.WParam == EC_USEFONTINFO ? 1 : HIWORD(Message.LParam);
      UpdateCaret();
      Invalidate();
      return;
    case EM_GETMARGINS:
      Message.Result = MAKELRESULT(WORD(FLeftMargin), WORD(FRightMargin));
      return;
    case EM_SCROLLCARET:
      UpdateCaret();
      Invalidate();
      Message.Result = TRUE;
      return;
    case EM_GETLINECOUNT:
      Message.Result = 1;
      return;
    case EM_GETFIRSTVISIBLELINE:
    case EM_LINEFROMCHAR:
      Message.Result = 0;
      return;
    case EM_LINEINDEX:
      Message.Result = (intptr_t(Message.WParam) <= 0) ? 0 : -1;
      return;
    case EM_LINELENGTH:
      Message.Result = LRESULT(FBuffer.Length());
      return;
    case EM_GETLINE: {
      // wParam: the line; lParam: a buffer whose first WORD is its size.
      char* Buffer = reinterpret_cast<char*>(Message.LParam);
      if (!Buffer || Message.WParam != 0) return;
      WORD Size = 0;
      std::memcpy(&Size, Buffer, sizeof(Size));
      const std::string Text = FBuffer.Text();
      const size_t Count = std::min<size_t>(Size, Text.size());
      std::memcpy(Buffer, Text.data(), Count);
      Message.Result = LRESULT(Count);
      return;
    }
    case EM_POSFROMCHAR: {
      const std::vector<int> X = Offsets();
      const size_t Index = std::min<size_t>(Message.WParam, X.size() - 1);
      const RECT R = EditRect();
      Message.Result = MAKELRESULT(WORD(int16_t(R.left - FScrollX + X[Index])), WORD(int16_t(R.top)));
      return;
    }
    case EM_CHARFROMPOS:
      Message.Result = LRESULT(CharFromX(GET_X_LPARAM(Message.LParam)));
      return;
    case WM_COPY:
      // What is hidden behind the password character does not leave the control.
      if (FPasswordChar || FBuffer.SelLength() == 0) return;
      Clipboard()->SetAsText(FBuffer.SelText());
      return;
    case WM_CUT:
      if (FPasswordChar || FBuffer.SelLength() == 0) return;
      if (RefuseIfReadOnly()) return;
      Clipboard()->SetAsText(FBuffer.SelText());
      Edited(FBuffer.ClearSelection());
      return;
    case WM_PASTE:
      if (!Clipboard()->HasFormat(CF_TEXT)) return;
      if (RefuseIfReadOnly()) return;
      Edited(FBuffer.Insert(Clipboard()->AsText()));
      return;
    case WM_CLEAR:
      if (FBuffer.SelLength() == 0) return;
      if (RefuseIfReadOnly()) return;
      Edited(FBuffer.ClearSelection());
      return;
    default:
      return;
  }
}

void TCustomEdit::WMChar(TMessage& Message) {
  if (DoKeyPress(Message)) return;
  const char32_t Key = char32_t(Message.WParam);
  switch (Key) {
    case 3:
      CopyToClipboard();
      return;  // Ctrl+C
    case 22:
      PasteFromClipboard();
      return;  // Ctrl+V
    case 24:
      CutToClipboard();
      return;  // Ctrl+X
    case 26:
      Undo();
      return;  // Ctrl+Z
    case 8:    // Backspace
      if (RefuseIfReadOnly()) return;
      Edited(FBuffer.DeleteBackward());
      return;
    default:
      break;
  }
  // Other control characters (Enter, Escape, Tab and the like) type nothing.
  if (Key < 32 || Key == 127) return;
  if (RefuseIfReadOnly()) return;
  Edited(FBuffer.Insert(std::u32string(1, Key)));
}

void TCustomEdit::WMKeyDown(TMessage& Message) {
  if (DoKeyDown(Message)) return;
  const bool Shift = GetKeyState(VK_SHIFT) < 0;
  const bool Control = GetKeyState(VK_CONTROL) < 0;
  const size_t Caret = FBuffer.Caret();
  switch (Message.WParam) {
    case VK_LEFT:
      if (Control)
        FBuffer.MoveCaret(FBuffer.WordLeft(Caret), Shift);
      else if (!Shift && FBuffer.SelLength() > 0)
        FBuffer.MoveCaret(FBuffer.SelStart(), false);
      else
        FBuffer.MoveCaret(Caret > 0 ? Caret - 1 : 0, Shift);
      break;
    case VK_RIGHT:
      if (Control)
        FBuffer.MoveCaret(FBuffer.WordRight(Caret), Shift);
      else if (!Shift && FBuffer.SelLength() > 0)
        FBuffer.MoveCaret(FBuffer.SelEnd(), false);
      else
        FBuffer.MoveCaret(Caret + 1, Shift);
      break;
    case VK_HOME:
      FBuffer.MoveCaret(0, Shift);
      break;
    case VK_END:
      FBuffer.MoveCaret(FBuffer.Length(), Shift);
      break;
    case VK_DELETE:
      if (Shift) {
        CutToClipboard();
        return;
      }
      if (RefuseIfReadOnly()) return;
      Edited(FBuffer.DeleteForward());
      return;
    case VK_INSERT:
      if (Control) CopyToClipboard();
      if (Shift) PasteFromClipboard();
      return;
    default:
      DefaultHandler(Message);
      return;
  }
  UpdateCaret();
  Invalidate();
}

void TCustomEdit::WMSetFocus(TMessage& Message) {
  TWinControl::Dispatch(Message);
  if (!FHandle) return;
  CreateCaret(FHandle, nullptr, 1, TextHeight());
  FHasCaret = true;
  UpdateCaret();
  ShowCaret(FHandle);
  Invalidate();
}

void TCustomEdit::WMKillFocus(TMessage& Message) {
  TWinControl::Dispatch(Message);
  if (FHasCaret) {
    DestroyCaret();
    FHasCaret = false;
  }
  FSelecting = false;
  Invalidate();
}

void TCustomEdit::WMLButtonDown(TMessage& Message) {
  // The control's own handling (events) first, then the press places the caret.
  TWinControl::Dispatch(Message);
  if (!FHandle) return;
  if (GetFocus() != FHandle && CanFocus()) SetFocus();
  const bool Shift = GetKeyState(VK_SHIFT) < 0;
  FBuffer.MoveCaret(CharFromX(Message.XPos()), Shift);
  FSelecting = true;
  SetCapture(FHandle);
  UpdateCaret();
  Invalidate();
}

void TCustomEdit::WMLButtonDblClk(TMessage& Message) {
  TWinControl::Dispatch(Message);
  FBuffer.SelectWordAt(CharFromX(Message.XPos()));
  FSelecting = false;
  UpdateCaret();
  Invalidate();
}

void TCustomEdit::WMMouseMove(TMessage& Message) {
  TWinControl::Dispatch(Message);
  if (!FSelecting) return;
  FBuffer.MoveCaret(CharFromX(Message.XPos()), true);
  UpdateCaret();
  Invalidate();
}

void TCustomEdit::WMLButtonUp(TMessage& Message) {
  if (FSelecting) {
    FSelecting = false;
    if (FHandle && GetCapture() == FHandle) ReleaseCapture();
  }
  TWinControl::Dispatch(Message);
}

// ---- painting --------------------------------------------------------------------------------

void TCustomEdit::WMPaint(TMessage& Message) {
  PAINTSTRUCT Paint{};
  HDC DC = Message.DC();
  if (!DC) DC = BeginPaint(FHandle, &Paint);
  if (!DC) return;
  try {
    RECT Client = ClientRect();
    PaintEdit(DC, Message.DC() ? Client : Paint.rcPaint);
  } catch (...) {
    if (!Message.DC()) EndPaint(FHandle, &Paint);
    throw;
  }
  if (!Message.DC()) EndPaint(FHandle, &Paint);
}

void TCustomEdit::PaintEdit(HDC DC, const RECT&) {
  FCanvas->Lock();
  try {
    FCanvas->SetHandle(DC);
    TCanvas* C = FCanvas.get();
    C->SetFont(Font());
    const RECT Client = ClientRect();
    C->Brush()->SetStyle(bsSolid);
    C->Brush()->SetColor(FColor);
    C->FillRect(Client);
    const RECT R = EditRect();
    const std::u32string Shown = ShownChars();
    const std::vector<int> X = Offsets();
    const int Left = R.left - FScrollX;
    IntersectClipRect(DC, R.left, R.top, R.right, R.bottom);
    C->Brush()->SetStyle(bsClear);
    C->Font()->SetColor(FEnabled ? Font()->Color() : clGrayText);
    const std::string All = Utf32ToUtf8(Shown);
    C->TextOut(Left, R.top, All);
    const bool ShowSelection = FBuffer.SelLength() > 0 && (Focused() || !FHideSelection);
    if (ShowSelection) {
      const size_t Start = FBuffer.SelStart(), End = FBuffer.SelEnd();
      const RECT Band{Left + X[Start], R.top, Left + X[End], R.top + TextHeight()};
      C->Brush()->SetStyle(bsSolid);
      C->Brush()->SetColor(clHighlight);
      C->Font()->SetColor(clHighlightText);
      C->TextRect(Band, Left + X[Start], R.top, Utf32ToUtf8(Shown.substr(Start, End - Start)));
    }
  } catch (...) {
    FCanvas->SetHandle(nullptr);
    FCanvas->Unlock();
    throw;
  }
  FCanvas->SetHandle(nullptr);
  FCanvas->Unlock();
}
