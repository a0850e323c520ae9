#pragma once
// Push buttons: TButton (a windowed push button that answers a modal form), TBitBtn (a push
// button with a glyph and stock kinds: OK, Cancel, Help ...) and TSpeedButton (a windowless tool
// button with a glyph, flat or raised, that can stay down alone or in a group).
//
// Glyphs: a bitmap holding NumGlyphs images side by side, in the order up, disabled, pressed,
// down; the colour of its bottom-left pixel is transparent. A missing disabled image is drawn
// from the up image in the shadow and highlight colours.
//
// Layout of glyph and caption: Layout puts the glyph left, right, above or below the caption;
// Margin is the distance from the edge to the glyph (-1: the pair is centred); Spacing the
// distance between glyph and caption (-1: the free room is shared out evenly).

#include <memory>

#include "platform/forms/bitmap.h"
#include "platform/forms/customcontrol.h"
#include "platform/forms/graphiccontrol.h"

KORCAM_ENUM(TButtonLayout, blGlyphLeft, blGlyphRight, blGlyphTop, blGlyphBottom)
// bsDisabled is what a disabled button paints with; bsExclusive a button that stays down.
KORCAM_ENUM(TButtonState, bsUp, bsDisabled, bsDown, bsExclusive)
KORCAM_ENUM(TBitBtnKind, bkCustom, bkOK, bkCancel, bkHelp, bkYes, bkNo, bkClose, bkAbort, bkRetry, bkIgnore,
            bkAll)
using TNumGlyphs = int32_t;  // 1 .. 4
// The look a bit button is drawn in; kept for the forms that set it.
KORCAM_ENUM(TButtonStyle, bsAutoDetect, bsWin31, bsNew)

// Draws a glyph (image Index of Glyph's NumGlyphs) and a caption into Client on DC, laid out as
// above. Offset moves both (a pressed button's content moves down and right by one pixel). A
// disabled state draws the disabled image and an embossed caption. The caption's '&' marks the
// accelerator letter, which is underlined.
void DrawButtonContent(HDC DC, const RECT& Client, TBitmap* Glyph, TNumGlyphs NumGlyphs, const std::string& Caption,
                       TButtonLayout Layout, int Margin, int Spacing, TButtonState State, POINT Offset);

class TButton : public TCustomControl {
  KORCAM_CLASS(TButton, TCustomControl)

 public:
  explicit TButton(TComponent* AOwner);
  ~TButton() override;

  PUBLISH_PROPERTY(TControl, std::string, Caption, "")
  PROPERTY(bool, Cancel, false)
  PROPERTY(bool, Default, false)
  PLAIN_PROPERTY(TModalResult, ModalResult, mrNone)
  PUBLISH_PROPERTY(TWinControl, bool, TabStop, true)

 public:
  // Sets the parent form's ModalResult to the button's (when it has one), then fires OnClick.
  void Click() override;
  void Dispatch(TMessage& Message) override;
  // Whether the button shows pressed (the mouse or Space holds it down).
  bool Pressed() const { return FPressed; }

 protected:
  void CreateParams(TCreateParams& Params) override;
  void Paint() override;
  // Draws what is inside the frame; TBitBtn adds its glyph here.
  virtual void PaintContent(HDC DC, const RECT& Client, TButtonState State, POINT Offset);
  // The button that Enter clicks: the default button, or any button while it has the focus.
  bool Active() const;

 private:
  void SetPressed(bool Value);
  void CMDialogKey(TMessage& Message);
  void CMDialogChar(TMessage& Message);

  bool FPressed = false;
  bool FSpaceDown = false;
  bool FTracking = false;
};

class TBitBtn : public TButton {
  KORCAM_CLASS(TBitBtn, TButton)

 public:
  explicit TBitBtn(TComponent* AOwner);
  ~TBitBtn() override;

  // Reads bkCustom once the caption-independent parts (modal result, Default, Cancel, glyph) no
  // longer match the kind that was set.
  ACCESSOR_PROPERTY(TBitBtnKind, Kind, bkCustom)
  OWNED_PROPERTY(TBitmap, Glyph)
  PROPERTY(TButtonLayout, Layout, blGlyphLeft)
  PROPERTY(int32_t, Margin, -1)
  PROPERTY(TNumGlyphs, NumGlyphs, 1)
  PROPERTY(int32_t, Spacing, 4)

 public:
  // A Close button closes its form; the others act as TButton.
  void Click() override;

 protected:
  void PaintContent(HDC DC, const RECT& Client, TButtonState State, POINT Offset) override;

 private:
  void GlyphChanged(TObject* Sender);

  TBitBtnKind FKind = bkCustom;
  bool FModifiedGlyph = false;
  // While set, changes of the glyph are ours (setting a kind, or its canvas used for painting).
  bool FSettingKind = false;
};

// The stock caption and modal result of a kind (bkCustom: empty and mrNone).
std::string BitBtnCaption(TBitBtnKind Kind);
TModalResult BitBtnModalResult(TBitBtnKind Kind);
// Draws the kind's glyph: an image of two 18 x 18 frames (normal and disabled). Empty for bkCustom.
void MakeBitBtnGlyph(TBitBtnKind Kind, TBitmap& Glyph);

class TSpeedButton : public TGraphicControl {
  KORCAM_CLASS(TSpeedButton, TGraphicControl)

 public:
  explicit TSpeedButton(TComponent* AOwner);
  ~TSpeedButton() override;

  PROPERTY(bool, AllowAllUp, false)
  PUBLISH_PROPERTY(TControl, std::string, Caption, "")
  PROPERTY(int32_t, GroupIndex, 0)
  PROPERTY(bool, Down, false)
  PROPERTY(bool, Flat, false)
  OWNED_PROPERTY(TBitmap, Glyph)
  PROPERTY(TButtonLayout, Layout, blGlyphLeft)
  PROPERTY(int32_t, Margin, -1)
  PROPERTY(TNumGlyphs, NumGlyphs, 1)
  PROPERTY(int32_t, Spacing, 4)
  PROPERTY(bool, Transparent, true)

 public:
  // Fires OnClick (the press is released over the button, or a program clicks).
  void Click() override;
  TButtonState State() const { return FState; }
  bool MouseInControl() const { return FMouseInControl; }
  void Dispatch(TMessage& Message) override;

 protected:
  // A press of the left button holds the button down (bsDown) and tracks the mouse; moving off
  // shows it up again, moving back shows it down. Releasing over the button clicks it (a
  // grouped button toggles Down first), releasing elsewhere does nothing. OnMouseDown and
  // OnMouseUp fire before this handling; OnClick after the state is settled.
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseMove(TShiftState Shift, int X, int Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  // Draws the face, the edge (flat: only while the mouse is over it or it is down) and the
  // content. Sets FState to bsDisabled while the button is disabled.
  void Paint() override;

  // The state shown; descendants read it (a repeating button repeats while it is bsDown).
  TButtonState FState = bsUp;
  // The mouse is over the button (tracked through CM_MOUSEENTER / CM_MOUSELEAVE).
  bool FMouseInControl = false;
  // The left button went down on the button and has not come up yet.
  bool FDragging = false;

 private:
  void GlyphChanged(TObject* Sender);
  // Pops the other buttons of the group up when this one goes down.
  void UpdateExclusive();
  void CMButtonPressed(TMessage& Message);
  void CMEnabledChanged(TMessage& Message);
  void CMMouseEnter(TMessage& Message);
  void CMMouseLeave(TMessage& Message);
  bool Inside(int X, int Y) const;

  bool FPainting = false;  // the glyph's canvas is read while painting; that is no change
};
