#pragma once
// The image control. It shows a picture through the effect pipeline of its TvcBitmapOptions:
// whenever the picture, the control's size or a setting changes, the picture is copied (as is,
// stretched or tiled) into the work bitmap and the effects run over it; painting then draws the
// work bitmap by the draw style (vcimagerbase.h has the rules it shares with its windowed twin).
// The work bitmap is the processed picture: the program hands each video frame to its live image
// control, re-runs the effects and copies the work bitmap out as the picture it shows, saves and
// records.
//
// The control has no window; when it is Focusable or a TabStop it keeps a zero-size window
// beside it (TvcImagerWinControl) that takes the keyboard focus for it, so the clipboard keys
// work: Ctrl+C / Ctrl+Insert copy the processed picture, Ctrl+V / Shift+Insert paste a bitmap as
// the new picture, Ctrl+X / Shift+Delete copy and clear the picture.

#include "platform/forms/graphiccontrol.h"
#include "platform/forms/wincontrol.h"
#include "vcontrols/imaging/vcimagerbase.h"

class TvcCustomImager;

// The zero-size window that holds the keyboard focus for an image control.
class TvcImagerWinControl : public TWinControl {
  KORCAM_CLASS(TvcImagerWinControl, TWinControl)

 public:
  // AOwner is the image control (nullptr only for the class registry's default instance).
  explicit TvcImagerWinControl(TComponent* AOwner);
  ~TvcImagerWinControl() override;

  TvcCustomImager* Imager() const { return FImager; }
  // The image control lets go of its focus window before it is destroyed itself.
  void DetachImager() { FImager = nullptr; }

 protected:
  void DoEnter() override;
  void DoExit() override;
  void KeyDown(WORD& Key, TShiftState Shift) override;
  void KeyUp(WORD& Key, TShiftState Shift) override;
  void KeyPress(char32_t& Key) override;

 private:
  TvcCustomImager* FImager;
};

class TvcCustomImager : public TvcImagerBase<TGraphicControl> {
  KORCAM_CLASS(TvcCustomImager, TGraphicControl)

 public:
  explicit TvcCustomImager(TComponent* AOwner);
  ~TvcCustomImager() override;

  // --- focus settings (TvcImager publishes them) ---
  bool Focusable() const { return FFocusable; }
  void SetFocusable(bool Value);
  bool TabStop() const { return FTabStop; }
  void SetTabStop(bool Value);
  int32_t TabOrder() const { return FTabOrder; }
  void SetTabOrder(int32_t Value);

  TNotifyEvent OnEnter;
  TNotifyEvent OnExit;
  TKeyEvent OnKeyDown;
  TKeyPressEvent OnKeyPress;
  TKeyEvent OnKeyUp;

  TvcImagerWinControl* FocusWindow() const { return FFocusWindow; }
  bool ShowingFocus() const { return FShowingFocus; }

  // --- operations ---
  virtual TvcImagerWinControl* CreateFocusControl();
  virtual void ImageKeyUp(WORD& Key, TShiftState Shift);
  virtual void ImageKeyDown(WORD& Key, TShiftState Shift);
  virtual void ImageKeyPress(char32_t& Key);
  // The focus window got or lost the focus. Nothing raised here reaches the window system.
  virtual void ImageEnter();
  virtual void ImageExit();
  // The processed picture goes to the clipboard as a bitmap.
  virtual void CopyToClipboard();
  // A bitmap on the clipboard becomes the picture (nothing without one).
  virtual void PasteFromClipboard();
  virtual void CutToClipboard();
  virtual void FocusImage();

  void BeforeDestruction() override;
  void Invalidate() override;
  void SetParent(TWinControl* AParent) override;
  void Notification(TComponent* AComponent, TOperation Operation) override;

 protected:
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;

 private:
  friend class TvcImagerWinControl;
  void EnsureFocusWindow();
  void FreeFocusWindow();
  void FocusChanged(bool Entering);

  TvcImagerWinControl* FFocusWindow = nullptr;
  bool FFocusable = false;
  bool FTabStop = false;
  int32_t FTabOrder = -1;
  bool FShowingFocus = false;
};

// The published image control.
class TvcImager : public TvcCustomImager {
  KORCAM_CLASS(TvcImager, TvcCustomImager)

 public:
  explicit TvcImager(TComponent* AOwner) : TvcCustomImager(AOwner) {}

  PUBLISH_PROPERTY(TvcCustomImager, bool, AutoSize, false)
  KORCAM_PROPERTY_ROW(BitmapOptions, [] {
    auto Info =
        korcam_detail::MakeProperty("BitmapOptions", "TvcBitmapOptions*", &TvcCustomImager::BitmapOptions,
                                    &TvcCustomImager::SetBitmapOptions);
    Info.Owned = true;
    return Info;
  }())
  PUBLISH_PROPERTY(TvcCustomImager, TvcImagerDrawStyle, DrawStyle, dsNormal)
  KORCAM_PROPERTY_ROW(Picture, [] {
    auto Info = korcam_detail::MakeProperty("Picture", "TPicture*", &TvcCustomImager::Picture,
                                            &TvcCustomImager::SetPicture);
    Info.Owned = true;
    return Info;
  }())
  PUBLISH_PROPERTY(TvcCustomImager, bool, PreProcess, true)
  PUBLISH_PROPERTY(TvcCustomImager, bool, RespectPalette, true)
  PUBLISH_PROPERTY(TvcCustomImager, bool, SmoothStretching, false)
  PUBLISH_PROPERTY(TvcCustomImager, bool, Transparent, false)
  PUBLISH_PROPERTY(TvcCustomImager, TColor, TransparentColor, clNone)
  PUBLISH_PROPERTY(TvcCustomImager, bool, Focusable, false)
  PUBLISH_PROPERTY(TvcCustomImager, int32_t, TabOrder, -1)
  PUBLISH_PROPERTY(TvcCustomImager, bool, TabStop, false)
  KORCAM_PROPERTY_ROW(OnEnter,
                      korcam_detail::MakeEventProperty("OnEnter", "TNotifyEvent", &TvcImager::OnEnter))
  KORCAM_PROPERTY_ROW(OnExit, korcam_detail::MakeEventProperty("OnExit", "TNotifyEvent", &TvcImager::OnExit))
  KORCAM_PROPERTY_ROW(OnKeyDown,
                      korcam_detail::MakeEventProperty("OnKeyDown", "TKeyEvent", &TvcImager::OnKeyDown))
  KORCAM_PROPERTY_ROW(OnKeyPress, korcam_detail::MakeEventProperty("OnKeyPress", "TKeyPressEvent",
                                                                   &TvcImager::OnKeyPress))
  KORCAM_PROPERTY_ROW(OnKeyUp, korcam_detail::MakeEventProperty("OnKeyUp", "TKeyEvent", &TvcImager::OnKeyUp))
};
