#pragma once
// TCustomEdit and TEdit: a single-line text box. It types characters where the caret is,
// selects with Shift and the arrow keys or with the mouse, cuts, copies and pastes through the
// clipboard, undoes the last change, keeps to MaxLength, converts to one case (CharCase), hides
// what is typed behind PasswordChar, refuses changes while read-only (with a beep), and answers
// the EM_ messages of the window system's edit control (selection, modified flag, read-only
// flag, limit, formatting rectangle, margins, positions).
//
// Positions (SelStart, SelLength, EM_GETSEL ...) count code points of the UTF-8 text. The text,
// selection and flags live in the control, so they survive a re-created window.
//
// Keys: Left/Right (Ctrl: by words), Home/End, Shift with any of them extends the selection;
// Backspace and Delete; Ctrl+C / Ctrl+Insert copy, Ctrl+X / Shift+Delete cut, Ctrl+V /
// Shift+Insert paste, Ctrl+Z undoes. OnKeyDown and OnKeyPress come first and can consume a key.

#include <memory>
#include <vector>

#include "platform/forms/controlcanvas.h"
#include "platform/forms/editbuffer.h"
#include "platform/forms/wincontrol.h"

// Edit control styles.
constexpr DWORD ES_LEFT = 0x0000;
constexpr DWORD ES_CENTER = 0x0001;
constexpr DWORD ES_RIGHT = 0x0002;
constexpr DWORD ES_MULTILINE = 0x0004;
constexpr DWORD ES_UPPERCASE = 0x0008;
constexpr DWORD ES_LOWERCASE = 0x0010;
constexpr DWORD ES_PASSWORD = 0x0020;
constexpr DWORD ES_AUTOVSCROLL = 0x0040;
constexpr DWORD ES_AUTOHSCROLL = 0x0080;
constexpr DWORD ES_NOHIDESEL = 0x0100;
constexpr DWORD ES_OEMCONVERT = 0x0400;
constexpr DWORD ES_READONLY = 0x0800;
constexpr DWORD ES_WANTRETURN = 0x1000;
constexpr DWORD ES_NUMBER = 0x2000;

// Edit control messages.
constexpr UINT EM_GETSEL = 0x00B0;
constexpr UINT EM_SETSEL = 0x00B1;
constexpr UINT EM_GETRECT = 0x00B2;
constexpr UINT EM_SETRECT = 0x00B3;
constexpr UINT EM_SETRECTNP = 0x00B4;
constexpr UINT EM_SCROLL = 0x00B5;
constexpr UINT EM_LINESCROLL = 0x00B6;
constexpr UINT EM_SCROLLCARET = 0x00B7;
constexpr UINT EM_GETMODIFY = 0x00B8;
constexpr UINT EM_SETMODIFY = 0x00B9;
constexpr UINT EM_GETLINECOUNT = 0x00BA;
constexpr UINT EM_LINEINDEX = 0x00BB;
constexpr UINT EM_LINELENGTH = 0x00C1;
constexpr UINT EM_REPLACESEL = 0x00C2;
constexpr UINT EM_GETLINE = 0x00C4;
constexpr UINT EM_LIMITTEXT = 0x00C5;
constexpr UINT EM_SETLIMITTEXT = EM_LIMITTEXT;
constexpr UINT EM_CANUNDO = 0x00C6;
constexpr UINT EM_UNDO = 0x00C7;
constexpr UINT EM_LINEFROMCHAR = 0x00C9;
constexpr UINT EM_SETPASSWORDCHAR = 0x00CC;
constexpr UINT EM_EMPTYUNDOBUFFER = 0x00CD;
constexpr UINT EM_GETFIRSTVISIBLELINE = 0x00CE;
constexpr UINT EM_SETREADONLY = 0x00CF;
constexpr UINT EM_GETPASSWORDCHAR = 0x00D2;
constexpr UINT EM_SETMARGINS = 0x00D3;
constexpr UINT EM_GETMARGINS = 0x00D4;
constexpr UINT EM_GETLIMITTEXT = 0x00D5;
constexpr UINT EM_POSFROMCHAR = 0x00D6;
constexpr UINT EM_CHARFROMPOS = 0x00D7;

// EM_SETMARGINS
constexpr WPARAM EC_LEFTMARGIN = 0x0001;
constexpr WPARAM EC_RIGHTMARGIN = 0x0002;
constexpr WPARAM EC_USEFONTINFO = 0xFFFF;

// Edit notifications (WM_COMMAND to the parent).
constexpr WORD EN_SETFOCUS = 0x0100;
constexpr WORD EN_KILLFOCUS = 0x0200;
constexpr WORD EN_CHANGE = 0x0300;
constexpr WORD EN_UPDATE = 0x0400;
constexpr WORD EN_MAXTEXT = 0x0501;

KORCAM_ENUM(TEditCharCase, ecNormal, ecUpperCase, ecLowerCase)

class TCustomEdit : public TWinControl {
  KORCAM_CLASS(TCustomEdit, TWinControl)

 public:
  explicit TCustomEdit(TComponent* AOwner);
  ~TCustomEdit() override;

  PROPERTY(bool, AutoSelect, true)
  PROPERTY(TBorderStyle, BorderStyle, bsSingle)
  PROPERTY(TEditCharCase, CharCase, ecNormal)
  PROPERTY(bool, HideSelection, true)
  PROPERTY(int32_t, MaxLength, 0)
  PROPERTY(char32_t, PasswordChar, 0)
  PROPERTY(bool, ReadOnly, false)
  PUBLISH_PROPERTY(TControl, std::string, Text, "")
  // Defaults that differ from other controls'.
  PUBLISH_PROPERTY(TControl, bool, AutoSize, true)
  PUBLISH_PROPERTY(TControl, bool, ParentColor, false)
  PUBLISH_PROPERTY(TWinControl, bool, TabStop, true)
  EVENT(TNotifyEvent, OnChange)

 public:
  // Set by typing and editing, cleared when a program sets Text (EM_GETMODIFY / EM_SETMODIFY).
  bool Modified() const { return FModified; }
  void SetModified(bool Value);
  int32_t SelStart() const;
  void SetSelStart(int32_t Value);
  int32_t SelLength() const;
  void SetSelLength(int32_t Value);
  std::string SelText() const;
  void SetSelText(const std::string& Value);
  bool CanUndo() const;

  void Clear();
  void ClearSelection();
  void CopyToClipboard();
  void CutToClipboard();
  void PasteFromClipboard();
  void Undo();
  void ClearUndo();
  void SelectAll();

  // The formatting rectangle (client coordinates): where the text goes.
  RECT EditRect() const;
  // The caret's x in client coordinates (where it is drawn).
  int CaretX();
  // The character nearest a client x.
  size_t CharFromX(int X);
  TCanvas* Canvas() const { return FCanvas.get(); }

  void Dispatch(TMessage& Message) override;

 protected:
  void CreateParams(TCreateParams& Params) override;
  void CreateWnd() override;
  void DoEnter() override;
  // Fires OnChange (and tells the parent, CM_CHANGED); every change of the text comes here.
  virtual void Change();
  // Draws the text, the selection and the background.
  virtual void PaintEdit(HDC DC, const RECT& Update);

 private:
  void WMPaint(TMessage& Message);
  void WMChar(TMessage& Message);
  void WMKeyDown(TMessage& Message);
  void WMSetFocus(TMessage& Message);
  void WMKillFocus(TMessage& Message);
  void WMLButtonDown(TMessage& Message);
  void WMLButtonDblClk(TMessage& Message);
  void WMMouseMove(TMessage& Message);
  void WMLButtonUp(TMessage& Message);
  void WMSetText(TMessage& Message);
  void WMGetText(TMessage& Message);
  void EditMessage(TMessage& Message);

  // After a change by the user: modified, notify, redraw. Refused: beep.
  void Edited(const TEditBuffer::TResult& Result);
  void SyncText();
  bool WindowReadOnly() const { return FWindowReadOnly; }
  bool RefuseIfReadOnly();
  // Offsets of every code point boundary of the shown text (0 .. Length), in pixels.
  std::vector<int> Offsets();
  std::u32string ShownChars() const;
  void ScrollCaretIntoView();
  void UpdateCaret();
  void AdjustHeight();
  int TextHeight();

  TEditBuffer FBuffer;
  std::unique_ptr<TControlCanvas> FCanvas;
  bool FModified = false;
  bool FWindowReadOnly = false;
  bool FSelecting = false;
  bool FHasCaret = false;
  int FScrollX = 0;
  int FLeftMargin = 1;
  int FRightMargin = 1;
  bool FHasFormatRect = false;
  RECT FFormatRect{};
};

class TEdit : public TCustomEdit {
  KORCAM_CLASS(TEdit, TCustomEdit)

 public:
  explicit TEdit(TComponent* AOwner) : TCustomEdit(AOwner) {}
};
