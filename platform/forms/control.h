#pragma once
// TControl: the base of every visual control. A control has bounds in its parent's client area,
// an alignment, visibility and enabled state, a colour and a font that can follow its parent's,
// a caption, a hint, a cursor, and mouse events. It has no window of its own: a windowless
// control (TGraphicControl) paints on its parent's device context and receives its mouse
// messages from the parent, which routes them to the control under the mouse.
//
// Lifetime: the owner frees a control; the parent does not. A control leaves its parent when it
// is freed, and a parent that goes away first only detaches its children (they stay alive,
// without parent and without window).
//
// Extension points (descendants override; the base calls them):
// - WndProc / Dispatch / DefaultHandler: message handling, see controls.h.
// - SetBounds: every change of position or size goes through it.
// - Paint-related: Invalidate, Update, Repaint (windowless controls invalidate their rectangle
//   in the parent's window).
// - Click, DblClick, MouseDown/Move/Up, DoMouseWheel(Down/Up), Resize: fire the events.
// - Loaded, Notification, SetParent: as TComponent's, plus parent bookkeeping.

#include <memory>
#include <string>

#include "platform/forms/controls.h"
#include "platform/forms/font.h"

class TWinControl;
class TControl;
class TBasicAction;
class TControlActionLink;

// Size limits of a control (0: no limit).
class TSizeConstraints : public TPersistent {
  KORCAM_CLASS(TSizeConstraints, TPersistent)

 public:
  explicit TSizeConstraints(TControl* Control = nullptr) : FControl(Control) {}
  PROPERTY(int32_t, MaxHeight, 0)
  PROPERTY(int32_t, MaxWidth, 0)
  PROPERTY(int32_t, MinHeight, 0)
  PROPERTY(int32_t, MinWidth, 0)

 public:
  void Assign(TPersistent* Source) override;
  TNotifyEvent OnChange;

 private:
  void Change();
  TControl* FControl;
};

class TControl : public TComponent {
  KORCAM_CLASS(TControl, TComponent)

 public:
  explicit TControl(TComponent* AOwner);
  ~TControl() override;
  void BeforeDestruction() override;

  // ---- published -------------------------------------------------------------------------
  NODEFAULT_PROPERTY(int32_t, Left, 0)
  NODEFAULT_PROPERTY(int32_t, Top, 0)
  NODEFAULT_PROPERTY(int32_t, Width, 0)
  NODEFAULT_PROPERTY(int32_t, Height, 0)
  PROPERTY(TAlign, Align, alNone)
  PROPERTY(TAnchors, Anchors, akLeft, akTop)
  PROPERTY(TBiDiMode, BiDiMode, bdLeftToRight)
  PROPERTY(bool, ParentBiDiMode, true)
  STORED_PROPERTY(TColor, Color, !Self.ParentColor(), clWindow)
  PROPERTY(bool, ParentColor, true)
  OWNED_PROPERTY(TFont, Font)
  PROPERTY(bool, ParentFont, true)
  OWNED_PROPERTY(TSizeConstraints, Constraints)
  PROPERTY(TCursor, Cursor, crDefault)
  PROPERTY(bool, Enabled, true)
  PROPERTY(std::string, Hint, "")
  STORED_PROPERTY(bool, ShowHint, !Self.ParentShowHint(), false)
  PROPERTY(bool, ParentShowHint, true)
  PROPERTY(bool, Visible, true)
  PROPERTY(bool, AutoSize, false)

  EVENT(TNotifyEvent, OnClick)
  EVENT(TNotifyEvent, OnDblClick)
  EVENT(TMouseEvent, OnMouseDown)
  EVENT(TMouseMoveEvent, OnMouseMove)
  EVENT(TMouseEvent, OnMouseUp)
  EVENT(TMouseWheelEvent, OnMouseWheel)
  EVENT(TMouseWheelUpDownEvent, OnMouseWheelDown)
  EVENT(TMouseWheelUpDownEvent, OnMouseWheelUp)
  EVENT(TNotifyEvent, OnMouseEnter)
  EVENT(TNotifyEvent, OnMouseLeave)
  EVENT(TNotifyEvent, OnResize)

 public:
  // ---- tree ------------------------------------------------------------------------------
  TWinControl* Parent() const { return FParent; }
  // Moves the control under AParent (nullptr: no parent). Raises EInvalidOperation when the
  // parent would be the control itself or one of its children.
  virtual void SetParent(TWinControl* AParent);
  bool HasParent() const override { return true; }
  TComponent* GetParentComponent() const override;
  void SetParentComponent(TComponent* Value) override;

  // ---- bounds ----------------------------------------------------------------------------
  virtual void SetBounds(int ALeft, int ATop, int AWidth, int AHeight);
  RECT BoundsRect() const { return RECT{FLeft, FTop, FLeft + FWidth, FTop + FHeight}; }
  void SetBoundsRect(const RECT& Rect) {
    SetBounds(Rect.left, Rect.top, Rect.right - Rect.left, Rect.bottom - Rect.top);
  }
  // (0, 0, client width, client height).
  virtual RECT ClientRect() const;
  int32_t ClientWidth() const;
  int32_t ClientHeight() const;
  void SetClientWidth(int32_t Value);
  void SetClientHeight(int32_t Value);
  // The screen position of the client area's top-left corner.
  virtual POINT ClientOrigin() const;
  POINT ClientToScreen(POINT Point) const;
  POINT ScreenToClient(POINT Point) const;

  // ---- visibility and appearance ---------------------------------------------------------
  void Show();
  void Hide();
  // Visible, and every parent up to the form visible too.
  bool IsVisibleOnScreen() const;
  TControlStyle ControlStyle() const { return FControlStyle; }
  void SetControlStyle(TControlStyle Value) { FControlStyle = Value; }
  TControlState ControlState() const { return FControlState; }
  void SetControlState(TControlState Value) { FControlState = Value; }
  // Caption and Text are one value; windowed controls keep it in their window too.
  std::string Caption() const { return GetText(); }
  void SetCaption(const std::string& Value) { SetText(Value); }
  std::string Text() const { return GetText(); }
  void SetText(const std::string& Value);
  bool UseRightToLeftAlignment() const { return FBiDiMode == bdRightToLeft; }
  bool UseRightToLeftReading() const { return FBiDiMode != bdLeftToRight; }
  bool MouseCapture() const;
  void SetMouseCapture(bool Value);
  // The parent's Realign is due when this control's Align, size or visibility changed.
  void RequestAlign();

  // ---- painting --------------------------------------------------------------------------
  virtual void Invalidate();
  virtual void Update();
  virtual void Repaint();
  void Refresh() { Repaint(); }
  virtual void BringToFront();
  virtual void SendToBack();

  // ---- messages --------------------------------------------------------------------------
  // Sends a message straight to the control's WindowProc (no window needed).
  LRESULT Perform(UINT Msg, WPARAM WParam, LPARAM LParam);
  // Where Perform and the window procedure deliver messages: WndProc unless replaced (a host
  // may hook a control's messages and call the saved method on).
  TWndMethod WindowProc;
  virtual void WndProc(TMessage& Message);
  virtual void Dispatch(TMessage& Message);
  virtual void DefaultHandler(TMessage& Message);

  void Loaded() override;
  void Notification(TComponent* AComponent, TOperation Operation) override;

  // Events as methods (fire the published events); descendants extend them.
  virtual void Click();
  virtual void DblClick();
  virtual void Changed();

  // The hint parts: "short|long".
  static std::string GetShortHint(const std::string& Hint);
  static std::string GetLongHint(const std::string& Hint);

  // ---- action ----------------------------------------------------------------------------
  // The action the control shows (actions.h): setting it copies the action's caption, hint,
  // enabled and visible state into the control, which then follows the action's changes; a
  // click runs the action unless the control has an OnClick of its own. Descendants that offer
  // it publish it (PUBLISH_PROPERTY(TControl, TBasicAction*, Action, nullptr)).
  TBasicAction* Action() const;
  void SetAction(TBasicAction* Value);
  TControlActionLink* ActionLink() const { return FActionLink.get(); }
  // Called by the link when its action is freed.
  void ActionLinkBroken();

 protected:
  friend class TWinControl;

  // Takes the action's state; CheckDefaults (an action set while the control is read from its
  // form): only where the control still holds its own default, so the form's values stand.
  virtual void ActionChange(TObject* Sender, bool CheckDefaults);
  // The link a new action gets; descendants that show more of an action make their own.
  virtual std::unique_ptr<TControlActionLink> CreateActionLink();
  std::unique_ptr<TControlActionLink> FActionLink;

  virtual std::string GetText() const;
  virtual void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y);
  virtual void MouseMove(TShiftState Shift, int X, int Y);
  virtual void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y);
  virtual bool DoMouseWheel(TShiftState Shift, int WheelDelta, POINT MousePos);
  virtual bool DoMouseWheelDown(TShiftState Shift, POINT MousePos);
  virtual bool DoMouseWheelUp(TShiftState Shift, POINT MousePos);
  virtual void Resize();
  virtual void VisibleChanging() {}
  // Limits a wanted size by the constraints; false refuses the change.
  virtual bool CanResize(int& NewWidth, int& NewHeight) { return true; }
  virtual void ConstrainedResize(int& MinWidth, int& MinHeight, int& MaxWidth, int& MaxHeight) {}
  bool CheckNewSize(int& NewWidth, int& NewHeight);
  // A windowless control invalidates its rectangle in the parent's window; Erase asks the parent
  // to erase the background beneath first (transparent controls).
  void InvalidateControl(bool IsVisible, bool IsOpaque);
  // Updates what anchors keep (the distances to the parent's right and bottom edges).
  void UpdateAnchorRules();
  void AdjustSize();
  // Tells the active control of every form up the chain that a click happened elsewhere
  // (CM_CANCELMODE), so drop-downs and the like close.
  void SendCancelMode(TControl* Sender);

  // Message handlers of TControl.
  void WMLButtonDown(TMessage& Message);
  void WMRButtonDown(TMessage& Message);
  void WMMButtonDown(TMessage& Message);
  void WMLButtonDblClk(TMessage& Message);
  void WMRButtonDblClk(TMessage& Message);
  void WMLButtonUp(TMessage& Message);
  void WMRButtonUp(TMessage& Message);
  void WMMButtonUp(TMessage& Message);
  void WMMouseMove(TMessage& Message);
  void WMMouseWheel(TMessage& Message);
  void WMCancelMode(TMessage& Message);
  void WMWindowPosChanged(TMessage& Message);
  void CMVisibleChanged(TMessage& Message);
  void CMEnabledChanged(TMessage& Message);
  void CMFontChanged(TMessage& Message);
  void CMColorChanged(TMessage& Message);
  void CMParentColorChanged(TMessage& Message);
  void CMParentFontChanged(TMessage& Message);
  void CMParentShowHintChanged(TMessage& Message);
  void CMParentBiDiModeChanged(TMessage& Message);
  void CMMouseEnter(TMessage& Message);
  void CMMouseLeave(TMessage& Message);
  void CMHitTest(TMessage& Message);

  void DoMouseDown(TMessage& Message, TMouseButton Button, TShiftState Shift);
  void DoMouseUp(TMessage& Message, TMouseButton Button);

  TWinControl* FParent = nullptr;
  std::string FText;
  TControlStyle FControlStyle{csCaptureMouse, csClickEvents, csSetCaption, csDoubleClicks};
  TControlState FControlState;
  // Distances to the parent's right and bottom edges, kept for akRight/akBottom.
  // akRight and akLeft: the width; akRight alone: the left edge; neither: the middle (same for y).
  POINT FAnchorRules{0, 0};
  POINT FOriginalParentSize{0, 0};
  bool FTornDown = false;
  // Set while alignment or anchoring moves the control, so the move does not reset the anchors.
  bool FAnchorMove = false;
  int FWheelAccumulator = 0;

 private:
  void FontChanged(TObject* Sender);
  void ConstraintsChanged(TObject* Sender);
  void TearDown();
};

// The form (or frame-less top-level control) that holds Control; nullptr when none.
class TCustomForm;
TCustomForm* GetParentForm(const TControl* Control);
// As GetParentForm; raises EInvalidOperation "Control '<name>' has no parent window" when none.
TCustomForm* ValidParentForm(const TControl* Control);

// The control holding the mouse capture: a windowless control whose parent holds the window
// capture, or the windowed control holding it.
TControl* GetCaptureControl();
void SetCaptureControl(TControl* Control);
