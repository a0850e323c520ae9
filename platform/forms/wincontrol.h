#pragma once
// TWinControl: a control with a window of its own. It holds child controls (windowed ones and
// windowless ones), lays out the aligned ones, keeps the tab order, takes the keyboard focus,
// and paints its windowless children on its own device context.
//
// The window is made on demand: when the control starts showing (visible, with every parent up
// to a form showing), or when code asks for Handle. All state lives in the control (text,
// bounds, children, enabled, focus), so the window can be destroyed and made again at any time
// (RecreateWnd, a changed parent) without losing anything.
//
// Extension points:
// - CreateParams(Params): the window's class, styles and extended styles; called each time a
//   window is made. CreateWnd registers the class and makes the window through
//   CreateWindowHandle; DestroyWnd / DestroyWindowHandle undo it.
// - AlignControls(AControl, Rect): lays out the aligned children inside Rect (the client area
//   less AdjustClientRect); AControl is the control whose change asked for it (or nullptr).
// - PaintWindow(DC): draws the control itself (TCustomControl calls Paint here); PaintHandler
//   then paints the windowless children on top (PaintControls).
// - KeyDown / KeyPress / KeyUp, DoEnter / DoExit: fire the events; a form with KeyPreview sees
//   keys first.

#include <vector>

#include "platform/forms/brush.h"
#include "platform/forms/control.h"

class TCanvas;

// The window procedure of every control window: finds the control and hands it the message,
// catching exceptions into Application->HandleException.
LRESULT ControlWindowProc(HWND Window, UINT Msg, WPARAM WParam, LPARAM LParam);

class TWinControl : public TControl {
  KORCAM_CLASS(TWinControl, TControl)

 public:
  explicit TWinControl(TComponent* AOwner);
  ~TWinControl() override;
  void BeforeDestruction() override;

  // ---- published -------------------------------------------------------------------------
  ACCESSOR_PROPERTY(TTabOrder, TabOrder, -1)
  PROPERTY(bool, TabStop, false)
  PROPERTY(bool, Ctl3D, true)
  PROPERTY(bool, ParentCtl3D, true)
  PROPERTY(bool, DoubleBuffered, false)
  EVENT(TNotifyEvent, OnEnter)
  EVENT(TNotifyEvent, OnExit)
  EVENT(TKeyEvent, OnKeyDown)
  EVENT(TKeyPressEvent, OnKeyPress)
  EVENT(TKeyEvent, OnKeyUp)

 public:
  // ---- the window ------------------------------------------------------------------------
  // The window, made first when there is none. Raises EInvalidOperation "Control '<name>' has
  // no parent window" when the control has no parent and no ParentWindow.
  HWND Handle();
  HWND HandleIfAllocated() const { return FHandle; }
  bool HandleAllocated() const { return FHandle != nullptr; }
  void HandleNeeded();
  // Destroys the window and makes it again when the control is showing (styles from
  // CreateParams apply anew), keeping text, bounds, children and focus.
  void RecreateWnd();
  // A window of another component (not a control) to live in, for controls without a parent.
  HWND ParentWindow() const { return FParentWindow; }
  void SetParentWindow(HWND Value);
  // The control showing now: visible and its window shown.
  bool Showing() const { return FShowing; }
  TBrush* Brush() const { return FBrush.get(); }

  // ---- children --------------------------------------------------------------------------
  int ControlCount() const { return int(FControls.size() + FWinControls.size()); }
  // Windowless children first (in painting order), then windowed ones (in z-order).
  TControl* Controls(int Index) const;
  void InsertControl(TControl* AControl);
  void RemoveControl(TControl* AControl);
  bool ContainsControl(const TControl* Control) const;
  // The visible (enabled, unless AllowDisabled) child at Pos (client coordinates), the topmost
  // one; windowed children only with AllowWinControls.
  TControl* ControlAtPos(POINT Pos, bool AllowDisabled, bool AllowWinControls = false) const;
  TControl* FindChildControl(const std::string& ControlName) const;
  // Sends Message to every child control until one answers (non-zero Result).
  void Broadcast(TMessage& Message);
  void NotifyControls(UINT Msg);

  // ---- alignment -------------------------------------------------------------------------
  void DisableAlign();
  void EnableAlign();
  void Realign();
  bool AlignDisabled() const { return FAlignLevel > 0; }

  // ---- focus and tab order ---------------------------------------------------------------
  virtual bool CanFocus() const;
  bool Focused() const;
  virtual void SetFocus();
  // The tab stops inside this control, depth first in tab order.
  void GetTabOrderList(std::vector<TWinControl*>& List) const;
  // The next (or previous) focusable control after CurControl in tab order, wrapping round;
  // CheckTabStop: only controls with TabStop; CheckParent: only direct children.
  TWinControl* FindNextControl(TWinControl* CurControl, bool GoForward, bool CheckTabStop,
                               bool CheckParent) const;
  void SelectNext(TWinControl* CurControl, bool GoForward, bool CheckTabStop);
  void SelectFirst();

  // ---- painting --------------------------------------------------------------------------
  void Invalidate() override;
  void Update() override;
  void Repaint() override;
  void BringToFront() override;
  void SendToBack() override;
  // Paints the control and its children, as they would appear, into DC with the control's
  // top-left at (X, Y). The control and its children paint with csPaintCopy set.
  void PaintTo(HDC DC, int X, int Y);
  void PaintTo(TCanvas* Canvas, int X, int Y);
  // Paints the windowless children (from First on) on DC, each clipped to its own rectangle
  // and with its own origin.
  void PaintControls(HDC DC, TControl* First);

  // ---- overrides -------------------------------------------------------------------------
  void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;
  RECT ClientRect() const override;
  POINT ClientOrigin() const override;
  void WndProc(TMessage& Message) override;
  void Dispatch(TMessage& Message) override;
  void DefaultHandler(TMessage& Message) override;
  void Loaded() override;
  void Notification(TComponent* AComponent, TOperation Operation) override;
  void GetChildren(const std::function<void(TComponent*)>& Proc, TComponent* Root) override;

  // The control of a window made by this library, or nullptr.
  static TWinControl* FindControl(HWND Window);

 protected:
  friend class TControl;
  friend class TCustomForm;
  friend LRESULT ControlWindowProc(HWND Window, UINT Msg, WPARAM WParam, LPARAM LParam);

  virtual void CreateParams(TCreateParams& Params);
  // Makes the control's window a subclass of a system window class ("BUTTON"): the class's
  // procedure becomes the default handling, its style and extra bytes carry over. Call it from
  // CreateParams after the inherited one. Nothing when the class does not exist.
  void CreateSubClass(TCreateParams& Params, const char* ControlClassName);
  virtual void CreateWnd();
  virtual void CreateWindowHandle(const TCreateParams& Params);
  virtual void DestroyWnd();
  virtual void DestroyWindowHandle();
  virtual void CreateHandle();
  void DestroyHandle();
  void UpdateBounds();
  void UpdateShowing();
  void UpdateControlState();

  virtual void AlignControls(TControl* AControl, RECT& Rect);
  virtual void AdjustClientRect(RECT& Rect);
  void AlignControl(TControl* AControl);

  virtual void PaintWindow(HDC DC);
  void PaintHandler(TMessage& Message);

  virtual void KeyDown(WORD& Key, TShiftState Shift);
  virtual void KeyUp(WORD& Key, TShiftState Shift);
  virtual void KeyPress(char32_t& Key);
  virtual void DoEnter();
  virtual void DoExit();
  // The key pre-passes: true when the key was consumed (Key set to 0), the form with
  // KeyPreview first.
  bool DoKeyDown(TMessage& Message);
  bool DoKeyUp(TMessage& Message);
  bool DoKeyPress(TMessage& Message);
  // Takes the focus away from this control or a child of it (Removing: the control leaves).
  void RemoveFocus(bool Removing);
  void UpdateTabOrder(TTabOrder Value);
  // Moves the window in z-order among its siblings (Topmost: above them all).
  void SetZOrderPosition(bool Topmost);

  // Message handlers.
  void WMPaint(TMessage& Message);
  void WMEraseBkgnd(TMessage& Message);
  void WMSize(TMessage& Message);
  void WMMove(TMessage& Message);
  void WMWindowPosChanged(TMessage& Message);
  void WMSetCursor(TMessage& Message);
  void WMKeyDown(TMessage& Message);
  void WMKeyUp(TMessage& Message);
  void WMChar(TMessage& Message);
  void WMSysKeyDown(TMessage& Message);
  void WMSetFocus(TMessage& Message);
  void WMKillFocus(TMessage& Message);
  void WMNCDestroy(TMessage& Message);
  void WMSysColorChange(TMessage& Message);
  void CNKeyDown(TMessage& Message);
  void CNKeyUp(TMessage& Message);
  void CNChar(TMessage& Message);
  void CMEnter(TMessage& Message);
  void CMExit(TMessage& Message);
  void CMShowingChanged(TMessage& Message);
  void CMVisibleChanged(TMessage& Message);
  void CMEnabledChanged(TMessage& Message);
  void CMColorChanged(TMessage& Message);
  void CMFontChanged(TMessage& Message);
  void CMTextChanged(TMessage& Message);
  void CMCtl3DChanged(TMessage& Message);
  void CMParentCtl3DChanged(TMessage& Message);
  void CMDialogKey(TMessage& Message);
  void CMDialogChar(TMessage& Message);
  void CMInvalidate(TMessage& Message);
  void CMRecreateWnd(TMessage& Message);
  void CMSysColorChange(TMessage& Message);

  // Routes a mouse message to the windowless child under the mouse (or holding the capture);
  // true when one took it.
  bool IsControlMouseMsg(TMessage& Message);

  HWND FHandle = nullptr;
  HWND FParentWindow = nullptr;
  // The procedure that gives a message its default handling (the window class's own).
  WNDPROC FDefWndProc = nullptr;
  std::vector<TControl*> FControls;        // windowless children, bottom first
  std::vector<TWinControl*> FWinControls;  // windowed children, bottom first
  std::vector<TWinControl*> FTabList;
  std::unique_ptr<TBrush> FBrush;
  bool FShowing = false;
  int FAlignLevel = 0;
  // The tab order asked for while loading; applied once the parent has all its children.
  TTabOrder FPendingTabOrder = -1;

 private:
  void InsertIntoLists(TControl* AControl);
  void RemoveFromLists(TControl* AControl);
  void DetachChildren();
};
