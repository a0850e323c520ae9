#pragma once
// The class library's panels: TCustomPanel / TPanel, a windowed container with a caption and two
// bevels (outer and inner, lowered or raised, BevelWidth pixels each, BorderWidth pixels of its
// own colour between them), and TCustomGroupBox / TGroupBox, a container with a captioned etched
// frame. Both accept child controls; their client area for aligned children lies inside the
// bevels (the panel) or below the caption (the group box).
//
// Extension points: Paint draws the whole control (descendants replace it); the panel's bevels
// and caption are also available to them as Frame3D and DrawPanelCaption.

#include "platform/classes/alignment.h"
#include "platform/forms/customcontrol.h"

KORCAM_ENUM(TPanelBevel, bvNone, bvLowered, bvRaised, bvSpace)
using TBevelWidth = int32_t;

class TCanvas;

// One 3-D frame per pixel of Width around Rect: the top and left lines in TopColor, the bottom
// and right ones in BottomColor (which own the top-right and bottom-left corners); Rect shrinks
// by Width on every side.
void Frame3D(TCanvas* Canvas, RECT& Rect, TColor TopColor, TColor BottomColor, int Width);
// Flags of DrawText for a control reading right to left: left and right swap and the text reads
// right to left; unchanged otherwise.
UINT DrawTextBiDiModeFlags(const TControl* Control, UINT Flags);

class TCustomPanel : public TCustomControl {
  KORCAM_CLASS(TCustomPanel, TCustomControl)

 public:
  explicit TCustomPanel(TComponent* AOwner);
  ~TCustomPanel() override;

  PROPERTY(TAlignment, Alignment, taCenter)
  PROPERTY(TPanelBevel, BevelInner, bvNone)
  PROPERTY(TPanelBevel, BevelOuter, bvRaised)
  PROPERTY(TBevelWidth, BevelWidth, 1)
  PROPERTY(TBorderWidth, BorderWidth, 0)
  PROPERTY(TBorderStyle, BorderStyle, bsNone)
  PLAIN_PROPERTY(bool, FullRepaint, true)
  PLAIN_PROPERTY(bool, Locked, false)
  PUBLISH_PROPERTY(TControl, TColor, Color, clBtnFace)
  PUBLISH_PROPERTY(TControl, bool, ParentColor, false)
  PUBLISH_PROPERTY(TControl, std::string, Caption, "")

 public:
  void Dispatch(TMessage& Message) override;

 protected:
  void CreateParams(TCreateParams& Params) override;
  // Inside the bevels and the border.
  void AdjustClientRect(RECT& Rect) override;
  // The bevels, the border, the background and the caption centred vertically.
  void Paint() override;
  // The caption in Rect (the area inside the bevels), aligned by Alignment, centred vertically.
  void DrawPanelCaption(RECT Rect);
};

class TPanel : public TCustomPanel {
  KORCAM_CLASS(TPanel, TCustomPanel)

 public:
  explicit TPanel(TComponent* AOwner) : TCustomPanel(AOwner) {}
};

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
