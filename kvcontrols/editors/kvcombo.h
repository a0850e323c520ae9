#pragma once
// TkvDBCustomCombo: the library's edit with one button at its right edge, the base of every
// text-plus-button editor. The button sits in a small window control of its own (the host) so
// that the edit's formatting rectangle can stop short of it. TkvDBComboDlg, the published form,
// is the dialog combo: the button, F4 or Alt+Up/Down fire OnCustomDlg, where the program shows
// whatever dialog it likes and writes the result into the text.
//
// The drop-down protocol (DropDown, CloseUp, IsDroppedDown) is what the combo box overrides with
// its list: here "dropping down" runs the dialog, and the combo counts as dropped down while the
// handler runs.
//
// Extension points (virtual, after those of TkvDBCustomEdit): HasCustomGlyph, DrawButton,
// IsEditStyle, CloseUp, DropDown.

#include <memory>
#include <string>

#include "kvcontrols/editors/kvedit.h"
#include "kvcontrols/editors/kvframe.h"
#include "platform/forms/buttons.h"
#include "platform/forms/wincontrol.h"

// The style of the combo base: typed text, or a fixed text that only the drop-down changes. Its
// enumerators share names with the combo box's TComboBoxStyle, hence the namespace.
namespace kvdotdot {
KORCAM_ENUM(TkvDBLookupComboStyle, csDropDown, csDropDownList)
}  // namespace kvdotdot
using kvdotdot::TkvDBLookupComboStyle;

KORCAM_ENUM(TkvComboButtonStyle, cbsEllipsis, cbsDownArrow, cbsCustom)

class TkvDBCustomCombo;

// The button effects of the combos: a change repaints the button with the right glyph.
class TkvComboButtonEffects : public TkvButtonEffects {
  KORCAM_CLASS(TkvComboButtonEffects, TkvButtonEffects)

 public:
  explicit TkvComboButtonEffects(TkvDBCustomCombo* ACombo = nullptr);
  void RefreshButton() override;

 private:
  TkvDBCustomCombo* FCombo;
};

// The window that hosts the button. The date/time picker has a host class of the same name, so
// each lives in its unit's namespace.
namespace kvdotdot {
class TBtnWinControl : public TWinControl {
  KORCAM_CLASS(TBtnWinControl, TWinControl)

 public:
  explicit TBtnWinControl(TComponent* AOwner);
  TkvDBCustomCombo* Combo() const { return FCombo; }
  void SetCombo(TkvDBCustomCombo* Value) { FCombo = Value; }

 private:
  TkvDBCustomCombo* FCombo = nullptr;
};
}  // namespace kvdotdot

// The button: a speed button that lets its combo draw the face.
class TkvComboDlgButton : public TSpeedButton {
  KORCAM_CLASS(TkvComboDlgButton, TSpeedButton)

 public:
  explicit TkvComboDlgButton(TComponent* AOwner);
  TkvDBCustomCombo* Combo() const;

 protected:
  void Paint() override;
};

class TkvDBCustomCombo : public TkvDBCustomEdit {
  KORCAM_CLASS(TkvDBCustomCombo, TkvDBCustomEdit)

 public:
  explicit TkvDBCustomCombo(TComponent* AOwner);
  ~TkvDBCustomCombo() override;
  void BeforeDestruction() override;

  PROPERTY(TkvDBLookupComboStyle, Style, kvdotdot::csDropDown)
  PROPERTY(TkvComboButtonStyle, ButtonStyle, cbsEllipsis)
  // 0: the larger of the system's vertical scroll-bar width and 15.
  PROPERTY(int32_t, ButtonWidth, 0)
  OWNED_PROPERTY(TBitmap, ButtonGlyph)
  ACCESSOR_PROPERTY(bool, ShowButton, true)
  PLAIN_PROPERTY(bool, AutoEnableEdit, true)
  PROPERTY(bool, LimitEditRect, false)
  OWNED_PROPERTY(TkvComboButtonEffects, ButtonEffects)
  EVENT(TNotifyEvent, OnCustomDlg)

 public:
  kvdotdot::TBtnWinControl* ButtonHost() const { return FButtonHost; }
  TkvComboDlgButton* Button() const { return FButton; }
  // The button's click: closes an open drop-down, else takes the focus and drops down.
  void ButtonClick(TObject* Sender);
  // Lays out the host and the button, then the edit rectangle.
  void PlaceButton();
  // The glyph for the current style and effects.
  void RefreshGlyph();
  // The default width of a button of ButtonWidth 0.
  static int DefaultButtonWidth();
  bool MouseInButton() const { return FMouseInButton; }
  bool EraseGuard() const { return FEraseGuard; }

  virtual bool HasCustomGlyph() const { return FButtonStyle == cbsCustom; }
  // Draws the button face; clears DefaultPaint when it drew (the speed button then draws
  // nothing of its own).
  virtual void DrawButton(TCanvas* Canvas, const RECT& Rect, bool& DefaultPaint, bool Pressed, bool Enabled);
  virtual bool IsEditStyle() const { return FStyle != kvdotdot::csDropDownList; }
  // Accept marks the edit modified here.
  virtual void CloseUp(bool Accept);
  // The dialog action: OnCustomDlg runs while the combo counts as dropped down.
  virtual void DropDown();

  bool HasEditableText() const override;
  bool IsDroppedDown() const override { return FDroppedDown; }
  bool GetShowButton() const override;
  int GetButtonWidth() const override;
  int GetTextRight() const override;
  void SetEditRect() override;
  void Loaded() override;
  void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;
  void Dispatch(TMessage& Message) override;

 protected:
  void CreateParams(TCreateParams& Params) override;
  void KeyDown(WORD& Key, TShiftState Shift) override;
  void KeyPress(char32_t& Key) override;
  void DoEnter() override;
  void DoExit() override;
  // F4, Alt+Up/Down, Enter and Escape while dropped down; true when the key was used.
  bool HandleDropDownKey(WORD Key, TShiftState Shift);
  void ToggleDropDown();

  bool FDroppedDown = false;
  bool FMouseInButton = false;
  bool FEraseGuard = false;
  // The Enter or Escape character that follows a key which closed the drop-down.
  char32_t FSwallowChar = 0;

  friend class TkvComboDlgButton;

 private:
  void ButtonMouse(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y) {}

  kvdotdot::TBtnWinControl* FButtonHost = nullptr;
  TkvComboDlgButton* FButton = nullptr;
};

class TkvDBComboDlg : public TkvDBCustomCombo {
  KORCAM_CLASS(TkvDBComboDlg, TkvDBCustomCombo)

 public:
  explicit TkvDBComboDlg(TComponent* AOwner) : TkvDBCustomCombo(AOwner) {}
};
