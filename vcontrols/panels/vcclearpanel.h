#pragma once
// TvcCustomTransparentPanel: a panel that can paint without a background, so that whatever its
// parent drew shows through it. While transparent it draws only its bevels and border (no face,
// no caption), answers the erase request without erasing, and its window is WS_EX_TRANSPARENT,
// so the parent paints beneath it first. Anything that would change the area behind it (a
// repaint, a move, a new layout of its children) repaints its place on the parent, then its
// children on top.
//
// Transparency is decided by IsTransparent, which descendants refine (a button group is opaque
// while designed). The window style follows IsTransparent only when the window is made.

#include "platform/forms/panel.h"

class TvcCustomTransparentPanel : public TCustomPanel {
  KORCAM_CLASS(TvcCustomTransparentPanel, TCustomPanel)

 public:
  explicit TvcCustomTransparentPanel(TComponent* AOwner);

  bool Transparent() const { return FTransparent; }
  // Repaints at once when the panel has a window (and is not being read from a form); the window
  // style stays as it was made.
  virtual void SetTransparent(bool Value);
  // Whether the panel paints transparently now.
  virtual bool IsTransparent() const;

  // Transparent: the panel's place on the parent (erased), then every child control.
  void Invalidate() override;
  void Dispatch(TMessage& Message) override;

 protected:
  void AlignControls(TControl* AControl, RECT& Rect) override;
  void CreateParams(TCreateParams& Params) override;
  void Paint() override;

  bool FTransparent = true;
};

class TvcTransparentPanel : public TvcCustomTransparentPanel {
  KORCAM_CLASS(TvcTransparentPanel, TvcCustomTransparentPanel)

 public:
  explicit TvcTransparentPanel(TComponent* AOwner) : TvcCustomTransparentPanel(AOwner) {}

  PUBLISH_PROPERTY(TCustomPanel, TBevelCut, BevelInner, bvNone)
  PUBLISH_PROPERTY(TCustomPanel, TBevelCut, BevelOuter, bvRaised)
  PUBLISH_PROPERTY(TCustomPanel, TBevelWidth, BevelWidth, 1)
  PUBLISH_PROPERTY(TCustomPanel, TBorderStyle, BorderStyle, bsNone)
  PUBLISH_PROPERTY(TCustomPanel, TBorderWidth, BorderWidth, 0)
  PUBLISH_PROPERTY(TvcCustomTransparentPanel, bool, Transparent, true)
};
