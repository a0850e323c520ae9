#pragma once
// The library's panel and group box: class-library containers with an edit frame (its sides and
// style follow the focus, which the container has while one of its children has it), colours
// for the unfocused state, and transparency (the container paints no background and shows its
// parent through it). The main window's option panels, video area and title bar are panels; the
// WebCam page's button box is a group box without a caption.
//
// Transparency is in force only at run time: while the form is designed the control paints
// opaque. A transparent container gives up WS_CLIPCHILDREN on its parent and itself, so that
// what lies beneath gets painted before it, and forwards its invalidation to its parent.
//
// The group box paints itself completely: a caption at CaptionIndent, optionally with a border
// around it (BorderAroundLabel) or with the frame's top edge running through the caption's foot
// (FullBorder), and a two-colour 3-D frame with a gap for the caption.

#include <memory>

#include "platform/forms/panel.h"
#include "vcontrols/common/vcframe.h"

class TvcCustomPanel : public TCustomPanel {
  KORCAM_CLASS(TvcCustomPanel, TCustomPanel)

 public:
  explicit TvcCustomPanel(TComponent* AOwner);
  ~TvcCustomPanel() override;

  OWNED_PROPERTY(TvcEditFrame, Frame)

 public:
  bool Transparent() const { return FTransparent; }
  // Switches csOpaque; after loading, on a control with a window that is not being designed,
  // repaints and makes the window again with the new transparency.
  virtual void SetTransparent(bool Value);
  KORCAM_PROPERTY_ROW(Transparent, KORCAM_DEFAULTED(bool, Transparent, &ThisClass::SetTransparent, false))

 public:
  // Transparent, and the form is not being designed.
  virtual bool IsTransparent() const;
  // With an enabled frame: NonFocusColor is set and differs from Color, or (without it)
  // NonFocusFontColor is set and differs from the font's colour.
  virtual bool HasNonFocusColors() const;
  bool HasFocus() const { return FHasFocus; }

  void Invalidate() override;
  void SetParent(TWinControl* AParent) override;
  void Dispatch(TMessage& Message) override;

 protected:
  void AlignControls(TControl* AControl, RECT& Rect) override;
  void CreateParams(TCreateParams& Params) override;
  void CreateWnd() override;
  // An effective frame replaces the bevels; the caption takes NonFocusFontColor while the panel
  // has no focus.
  void Paint() override;

  bool FTransparent = false;
  bool FHasFocus = false;
};

class TvcPanel : public TvcCustomPanel {
  KORCAM_CLASS(TvcPanel, TvcCustomPanel)

 public:
  explicit TvcPanel(TComponent* AOwner) : TvcCustomPanel(AOwner) {}

  PUBLISH_PROPERTY(TCustomPanel, TAlignment, Alignment, taCenter)
  PUBLISH_PROPERTY(TCustomPanel, TBevelCut, BevelInner, bvNone)
  PUBLISH_PROPERTY(TCustomPanel, TBevelCut, BevelOuter, bvRaised)
  PUBLISH_PROPERTY(TCustomPanel, TBevelWidth, BevelWidth, 1)
  PUBLISH_PROPERTY(TCustomPanel, TBorderStyle, BorderStyle, bsNone)
  PUBLISH_PROPERTY(TCustomPanel, TBorderWidth, BorderWidth, 0)
  PUBLISH_PROPERTY(TCustomPanel, bool, FullRepaint, true)
  PUBLISH_PROPERTY(TCustomPanel, bool, Locked, false)
  PUBLISH_PROPERTY(TControl, std::string, Caption, "")
  PUBLISH_PROPERTY(TControl, TColor, Color, clBtnFace)
  PUBLISH_PROPERTY(TControl, bool, ParentColor, false)
};

class TvcCustomGroupBox : public TCustomGroupBox {
  KORCAM_CLASS(TvcCustomGroupBox, TCustomGroupBox)

 public:
  explicit TvcCustomGroupBox(TComponent* AOwner);
  ~TvcCustomGroupBox() override;

  PLAIN_PROPERTY(bool, BorderAroundLabel, false)
  OWNED_PROPERTY(TvcEditFrame, Frame)
  // Stored as at least 3.
  PROPERTY(int32_t, CaptionIndent, 8)
  PROPERTY(bool, FullBorder, false)

 public:
  bool Transparent() const { return FTransparent; }
  virtual void SetTransparent(bool Value);
  KORCAM_PROPERTY_ROW(Transparent, KORCAM_DEFAULTED(bool, Transparent, &ThisClass::SetTransparent, false))

 public:
  virtual bool IsTransparent() const;
  virtual bool HasNonFocusColors() const;
  bool HasFocus() const { return FHasFocus; }
  // The frame's rectangle for the current font and settings.
  RECT GetFrameRect();

  void Invalidate() override;
  void SetParent(TWinControl* AParent) override;
  void Dispatch(TMessage& Message) override;

 protected:
  void AlignControls(TControl* AControl, RECT& Rect) override;
  void CreateParams(TCreateParams& Params) override;
  void CreateWnd() override;
  void Paint() override;

  bool FTransparent = false;
  bool FHasFocus = false;
};

class TvcGroupBox : public TvcCustomGroupBox {
  KORCAM_CLASS(TvcGroupBox, TvcCustomGroupBox)

 public:
  explicit TvcGroupBox(TComponent* AOwner);

  PUBLISH_PROPERTY(TControl, bool, ParentColor, true)
};
