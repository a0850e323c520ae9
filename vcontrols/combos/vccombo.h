#pragma once
// TvcCustomCombo: the base of the library's drop-down pickers (colour, tree and font combos). It
// is a single-line edit with a drop-down button at its right edge (in a small window of its own,
// the host, so that the edit's formatting rectangle stops short of it), an edit frame, button
// effects, an optional binding to a data field, and the whole open-and-close protocol of a
// drop-down:
// - it opens from the registered message "VCCOMBODROPDOWNMESSAGE", which a left press on the
//   button (or in the edit of a csDropDownList combo) posts once the focus has settled, from F4
//   and Alt+Up / Alt+Down, or from a descendant;
// - it closes on Enter (accepting), Escape (not accepting), F4 and Alt+Up / Alt+Down, Tab, a
//   click on the button or in a csDropDownList edit, the loss of the focus to any window but the
//   drop-down's, a non-client click anywhere in the program, and any click outside the drop-down,
//   which a thread mouse hook (one for all combos, installed while a drop-down is open) posts to
//   the drop-down control for the descendant to answer. The hook only posts: the drop-down closes
//   from the message loop.
//
// Inside a grid (a parent whose class, or an ancestor, is named "TCustomGrid", "TkvDBGrid" or
// "TkvDataInspector") the combo is a cell editor: navigation keys go to the grid, the frame does
// not draw, and the grid learns of every edit.
//
// What the drop-down holds, how its items are counted and measured, and how the text is painted
// are the descendant's: the abstract operations below. Accepting or not is theirs too: the base
// CloseUp only hides the container and removes the hook; a descendant fires DoCloseUp itself.

#include <memory>
#include <string>

#include "platform/db/datalink.h"
#include "platform/forms/buttons.h"
#include "platform/forms/controlcanvas.h"
#include "platform/forms/edit.h"
#include "vcontrols/common/vcframe.h"

class TDataSource;
class TField;
class TvcCustomCombo;

// The enumerators share their names with the data-aware library's combos, hence the namespace.
namespace vccombo {
KORCAM_ENUM(TvcComboButtonStyle, cbsEllipsis, cbsDownArrow, cbsCustom)
KORCAM_ENUM(TvcComboStyle, csDropDown, csDropDownList)
}  // namespace vccombo
using vccombo::TvcComboButtonStyle;
using vccombo::TvcComboStyle;
KORCAM_ENUM(TvcAlignVertical, vcavTop, vcavCenter)
// (Sender, Select): Select tells whether the drop-down closed with a choice taken.
using TvcComboCloseUpEvent = TEvent<TObject*, bool>;

// The number of the registered message that opens a combo's drop-down from the message loop.
UINT VcComboDropDownMessage();

// The drop-down button: a speed button whose face the combo draws.
class TvcDropDownButton : public TSpeedButton {
  KORCAM_CLASS(TvcDropDownButton, TSpeedButton)

 public:
  explicit TvcDropDownButton(TComponent* AOwner);
  TvcCustomCombo* Combo() const;

 protected:
  void Paint() override;
  // Leaving the button while it is held releases it there, so the press can go on into the
  // drop-down that it opened.
  void MouseMove(TShiftState Shift, int X, int Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
};

namespace vccombo {
// The window that holds the button at the combo's right edge. Its owner is its combo. (The
// data-aware library has classes of the same name in its own units.)
class TBtnWinControl : public TWinControl {
  KORCAM_CLASS(TBtnWinControl, TWinControl)

 public:
  explicit TBtnWinControl(TComponent* AOwner);
  TvcCustomCombo* Combo() const;
  void Dispatch(TMessage& Message) override;
};
}  // namespace vccombo

// Loads the flat arrow glyph into the button when the effects change.
class TvcComboButtonEffects : public TvcButtonEffects {
  KORCAM_CLASS(TvcComboButtonEffects, TvcButtonEffects)

 public:
  TvcComboButtonEffects(TControl* ACombo = nullptr, TControl* AButton = nullptr);
  void Refresh() override;
};

class TvcCustomCombo : public TCustomEdit {
  KORCAM_CLASS(TvcCustomCombo, TCustomEdit)

 public:
  explicit TvcCustomCombo(TComponent* AOwner);
  ~TvcCustomCombo() override;
  void BeforeDestruction() override;

  PROPERTY(TvcAlignVertical, AlignmentVertical, vcavTop)
  EVENT(TvcComboCloseUpEvent, OnCloseUp)
  EVENT(TNotifyEvent, OnDropDown)
  PROPERTY(TvcComboButtonStyle, ButtonStyle, vccombo::cbsDownArrow)
  // 0: automatic, the larger of the system's vertical scroll bar width and 15.
  PROPERTY(int32_t, ButtonWidth, 0)
  PROPERTY(TvcComboStyle, Style, vccombo::csDropDown)
  PLAIN_PROPERTY(bool, AllowClearKey, false)
  OWNED_PROPERTY(TvcEditFrame, Frame)
  OWNED_PROPERTY(TvcComboButtonEffects, ButtonEffects)

 public:
  int32_t DropDownCount() const { return FDropDownCount; }
  virtual void SetDropDownCount(int32_t Value) { FDropDownCount = Value; }
  KORCAM_PROPERTY_ROW(DropDownCount, KORCAM_DEFAULTED(int32_t, DropDownCount, &ThisClass::SetDropDownCount, 8))
  // The combo's own read-only flag; the edit's follows it.
  bool ReadOnly() const { return FComboReadOnly; }
  void SetReadOnly(bool Value);
  KORCAM_PROPERTY_ROW(ReadOnly, KORCAM_DEFAULTED(bool, ReadOnly, &ThisClass::SetReadOnly, false))
  virtual bool ShowButton() const;
  void SetShowButton(bool Value);
  KORCAM_PROPERTY_ROW(ShowButton, KORCAM_DEFAULTED(bool, ShowButton, &ThisClass::SetShowButton, true))
  // The button's glyph; written to a form only for cbsCustom.
  TBitmap* ButtonGlyph() const;
  void SetButtonGlyph(TBitmap* Value);
  KORCAM_PROPERTY_ROW(ButtonGlyph, [] {
    auto Info = korcam_detail::MakeProperty("ButtonGlyph", "TBitmap*", &ThisClass::ButtonGlyph, &ThisClass::SetButtonGlyph);
    Info.Owned = true;
    Info.Stored = [](const TObject& Object) { return static_cast<const ThisClass&>(Object).IsButtonGlyphStored(); };
    return Info;
  }())
  TDataSource* DataSource() const;
  void SetDataSource(TDataSource* Value);
  KORCAM_PROPERTY_ROW(DataSource, KORCAM_DEFAULTED(TDataSource*, DataSource, &ThisClass::SetDataSource, nullptr))
  const std::string& DataField() const;
  void SetDataField(const std::string& Value);
  KORCAM_PROPERTY_ROW(DataField, KORCAM_DEFAULTED(std::string, DataField, &ThisClass::SetDataField, ""))

 public:
  // ---- the descendants' part -----------------------------------------------------------------
  // The control inside the drop-down that takes the mouse (and may take the focus), and the
  // window that is shown and hidden.
  virtual TWinControl* GetDropDownControl() = 0;
  virtual TWinControl* GetDropDownContainer() = 0;
  virtual int GetDropDownItemCount() = 0;
  // Width 0: the combo's width.
  virtual void GetDropDownItemSize(int& Width, int& ItemHeight) = 0;
  // Draws the text on Canvas in Rect: the combo's own painting passes Highlight true and
  // GridCell false; a grid cell painted from a bound field passes GridCell true.
  virtual void PaintText(TCanvas* ACanvas, RECT Rect, bool Highlight, bool GridCell, const std::string& Text) = 0;

  // ---- operations the descendants override -----------------------------------------------------
  virtual int GetLeftIndent() { return 0; }
  // The button's mouse-down event: a left press closes an open drop-down, else takes the focus
  // and posts the open message.
  virtual void ButtonMouseDown(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
  // The button face; clears DefaultDraw when it drew it (cbsCustom leaves it: the glyph shows).
  virtual void DrawButton(TCanvas* ACanvas, RECT Rect, TButtonState State, TControlState ComboState,
                          bool& DefaultDraw);
  // Hides the caret and makes the edit read-only; EnableTyping undoes it (with a window only).
  virtual void DisableTyping();
  virtual void AfterPaint() {}
  virtual void EnableTyping();
  // Tells the data link of a modification (while its data set edits), then the edit.
  virtual void SetModified(bool Value);
  virtual bool IsTextEditable() const { return true; }
  // Not read-only, and the data source allows an edit (which it starts, with a field).
  virtual bool EditCanModify();
  virtual RECT GetTextRect();
  virtual RECT GetEditRect();
  virtual int GetButtonHostWidth();
  virtual int GetButtonHostEdge();
  virtual void DoDropDown();
  virtual void DoAfterDropDown();
  // Hides the drop-down and removes the hook; Accept is for the descendants.
  virtual void CloseUp(bool Accept);
  virtual void DataChange(TObject* Sender);
  virtual void EditingChange(TObject* Sender);
  // F4, Alt+Up / Alt+Down, and Enter or Escape while the drop-down shows; a handled key
  // becomes 0.
  virtual void HandleDropDownKeys(WORD& Key, TShiftState Shift);
  // The keys a cell editor leaves to its grid; a passed key becomes 0.
  virtual void HandleGridKeys(WORD& Key, TShiftState Shift);
  // A bound field reverts; the text is selected and no longer modified.
  virtual void Reset();
  virtual void SetEditRect();
  virtual void UpdateButtonPosition();
  virtual void UpdateData(TObject* Sender);
  virtual bool IsReadOnly();
  virtual void DoCloseUp(bool Select);
  virtual bool PaintsUnfocusedText() const { return false; }
  virtual int GetTextRight() { return 0; }
  virtual int GetTopMargin();
  virtual void DrawFrame(TCanvas* ACanvas);
  virtual bool IsButtonGlyphStored() const;
  virtual void DoMouseEnter();
  virtual void DoMouseLeave();
  virtual void SelectAll();
  virtual bool IsDataBound() const;
  virtual bool GetDroppedDown() { return false; }
  // Closes without accepting when the cursor is neither over the drop-down control nor over the
  // combo.
  virtual void CloseUpIfOutside();
  virtual void PaintFieldText(TCanvas* ACanvas, RECT Rect, bool Highlight) {}
  virtual void DropDown();

  // ---- state -------------------------------------------------------------------------------------
  TWinControl* ButtonHost() const;
  TvcDropDownButton* Button() const { return FButton; }
  TFieldDataLink* DataLink() const { return FDataLink.get(); }
  TField* Field() const;
  bool HasFocus() const { return FHasFocus; }
  bool EraseGuard() const { return FEraseGuard; }
  bool MouseInButton() const { return FMouseInButton; }
  // Frame Transparent, frame effective, and the combo is not being designed.
  bool IsTransparentEffective() const;
  // Loads the flat arrow glyph for a flat or transparent down-arrow button.
  void UpdateButtonGlyph();
  // Repaints the parent behind a flat or transparent button, then the button.
  void RepaintBehindButton();
  // The hook handle shared by every combo (null while no drop-down is open).
  static HHOOK MouseHook();

  void Loaded() override;
  void Notification(TComponent* AComponent, TOperation Operation) override;
  void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;
  void Dispatch(TMessage& Message) override;

 protected:
  void CreateParams(TCreateParams& Params) override;
  void CreateWnd() override;
  void KeyDown(WORD& Key, TShiftState Shift) override;
  void KeyPress(char32_t& Key) override;
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseMove(TShiftState Shift, int X, int Y) override;
  void Change() override;
  void PaintEdit(HDC DC, const RECT& Update) override;
  void DoEnter() override;
  // The text the combo paints itself: the field's for a bound combo, else its own.
  std::string PaintedText() const;

  friend class TvcDropDownButton;
  friend class vccombo::TBtnWinControl;
  friend LRESULT ComboMouseHook(int Code, WPARAM WParam, LPARAM LParam);
  // Removes the shared hook when Combo is the one whose drop-down it watches.
  static void ReleaseMouseHookOf(TvcCustomCombo* Combo);

  vccombo::TBtnWinControl* FButtonHost = nullptr;
  TvcDropDownButton* FButton = nullptr;
  std::unique_ptr<TFieldDataLink> FDataLink;
  int32_t FDropDownCount = 8;
  bool FComboReadOnly = false;
  std::unique_ptr<TControlCanvas> FFrameCanvas;
  std::unique_ptr<TControlCanvas> FPaintCanvas;
  TCursor FSavedCursor = crIBeam;
  bool FEraseGuard = false;
  bool FMouseInButton = false;
  bool FHasFocus = false;
  bool FCursorGuard = false;
  // The caret was hidden by DisableTyping (the count of the window system's caret is kept even).
  bool FCaretHidden = false;
  // A press in a csDropDownList edit posted the open message: the capture goes after the press.
  bool FReleaseCaptureAfterPress = false;
  // The device context of the edit's own painting while AfterPaint runs (null otherwise).
  HDC FPaintDC = nullptr;

 private:
  void WMPaint(TMessage& Message);
  void WMEraseBkgnd(TMessage& Message);
  void CNKeyDown(TMessage& Message);
  void CMExit(TMessage& Message);
  // Hands Key to the grid parent as the grid would take it: the grid takes the focus and gets
  // WM_KEYDOWN; the key is consumed either way.
  void PassToGrid(WORD& Key);
};

// The thread's mouse hook while a drop-down is open (see the file comment). Exposed for tests.
LRESULT ComboMouseHook(int Code, WPARAM WParam, LPARAM LParam);
