#pragma once
// TCustomPanel: the class library's panel, a windowed control that holds other controls inside
// up to two bevels and a border. From the outside in: the outer bevel (BevelOuter, BevelWidth
// pixels), a border of BorderWidth pixels in the panel's Color, the inner bevel (BevelInner);
// inside them the panel is filled with Color and shows its caption on one line, centred
// vertically and placed by Alignment. A raised bevel is light on its top and left edges and dark
// on its bottom and right ones, a lowered bevel the other way round.
//
// Aligned children share the area inside the bevels and the border (AdjustClientRect); the
// client area itself stays the whole window, so a descendant that lays its children out by hand
// counts the border in itself. A change of BorderWidth reaches the panel as CM_BORDERCHANGED,
// which realigns and repaints; descendants that lay out by hand hook that message.
//
// TCustomGroupBox / TGroupBox: a container with a captioned etched frame; aligned children lie
// below the caption and inside the frame.
//
// Also here: Frame3D, the class library's routine that draws such a bevel, and the drawing flags
// of a control that reads right to left.

#include <cstdint>

#include "platform/classes/alignment.h"
#include "platform/forms/customcontrol.h"

KORCAM_ENUM(TBevelCut, bvNone, bvLowered, bvRaised, bvSpace)
using TBevelWidth = int32_t;

class TCustomPanel : public TCustomControl {
  KORCAM_CLASS(TCustomPanel, TCustomControl)

 public:
  explicit TCustomPanel(TComponent* AOwner);
  ~TCustomPanel() override;

  // --- settings (descendants publish them) ---
  TAlignment Alignment() const { return FAlignment; }
  void SetAlignment(TAlignment Value);
  TBevelCut BevelInner() const { return FBevelInner; }
  void SetBevelInner(TBevelCut Value);
  TBevelCut BevelOuter() const { return FBevelOuter; }
  void SetBevelOuter(TBevelCut Value);
  TBevelWidth BevelWidth() const { return FBevelWidth; }
  void SetBevelWidth(TBevelWidth Value);
  TBorderWidth BorderWidth() const { return FBorderWidth; }
  // Negative widths are taken as 0.
  void SetBorderWidth(TBorderWidth Value);
  // bsSingle gives the window a one-pixel border (sunken with Ctl3D); the window is made again.
  TBorderStyle BorderStyle() const { return FBorderStyle; }
  void SetBorderStyle(TBorderStyle Value);
  // Whether a resize repaints the whole panel (true) or only what it uncovered.
  bool FullRepaint() const { return FFullRepaint; }
  void SetFullRepaint(bool Value) { FFullRepaint = Value; }
  bool Locked() const { return FLocked; }
  void SetLocked(bool Value) { FLocked = Value; }

  void Dispatch(TMessage& Message) override;

 protected:
  void CreateParams(TCreateParams& Params) override;
  void AdjustClientRect(RECT& Rect) override;
  void Paint() override;

  TAlignment FAlignment = taCenter;
  TBevelCut FBevelInner = bvNone;
  TBevelCut FBevelOuter = bvRaised;
  TBevelWidth FBevelWidth = 1;
  TBorderWidth FBorderWidth = 0;
  TBorderStyle FBorderStyle = bsNone;
  bool FFullRepaint = true;
  bool FLocked = false;

 private:
  void BevelsChanged();
};

// A bevel of Width one-pixel rings along the inside of Rect: the top and left edges of each ring
// in TopColor, the bottom and right ones in BottomColor (which also takes the top-right and
// bottom-left corners). Rect comes back shrunk by Width on every side.
void Frame3D(TCanvas* Canvas, RECT& Rect, TColor TopColor, TColor BottomColor, int Width);
// Flags of DrawText for a control reading right to left: left and right swap and the text reads
// right to left; unchanged otherwise.
UINT DrawTextBiDiModeFlags(const TControl* Control, UINT Flags);

class TCustomGroupBox : public TCustomControl {
  KORCAM_CLASS(TCustomGroupBox, TCustomControl)

 public:
  explicit TCustomGroupBox(TComponent* AOwner);
  ~TCustomGroupBox() override;

  PUBLISH_PROPERTY(TControl, std::string, Caption, "")

 public:
  void Dispatch(TMessage& Message) override;

 protected:
  // Below the caption and inside the frame.
  void AdjustClientRect(RECT& Rect) override;
  // An etched frame whose top edge runs through the middle of the caption, broken for it.
  void Paint() override;
};

class TGroupBox : public TCustomGroupBox {
  KORCAM_CLASS(TGroupBox, TCustomGroupBox)

 public:
  explicit TGroupBox(TComponent* AOwner) : TCustomGroupBox(AOwner) {}
};
