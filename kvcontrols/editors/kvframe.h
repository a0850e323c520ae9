#pragma once
// The two settings objects every edit-like control of the data-aware library carries, and the
// routines that draw and maintain them:
// - TkvEditFrame replaces the control's window border by a frame the control draws itself: one
//   set of borders and one edge style while it has the focus, another while it has not; it can
//   make the unfocused control transparent (it then shows what lies behind it), colour it, and
//   move its text.
// - TkvButtonEffects makes the control's button (drop-down, ellipsis, spin) flat or transparent.
//
// Inside a grid the grid draws the cell, so a frame whose control sits in a TCustomGrid is never
// effective.

#include <cstdint>

#include "platform/classes/persistent.h"
#include "platform/classes/typinfo.h"
#include "platform/gdi/colors.h"
#include "platform/rtl/wintypes.h"

class TCanvas;
class TControl;
class TWinControl;

KORCAM_ENUM(TkvEditFrameEnabled, efLeftBorder, efTopBorder, efRightBorder, efBottomBorder)
using TkvEditFrameEnabledSet = TSet<TkvEditFrameEnabled>;
KORCAM_ENUM(TkvEditFocusStyle, efsFrameBox, efsFrameSunken, efsFrameRaised, efsFrameEtched, efsFrameBump,
            efsFrameSingle)

class TkvEditFrame : public TPersistent {
  KORCAM_CLASS(TkvEditFrame, TPersistent)

 public:
  // Control: the owning control; kept only when it is a window control.
  explicit TkvEditFrame(TControl* AControl = nullptr);

  // Declared in the order other frames copy them in (see TvcEditFrame.Assign).
  PLAIN_PROPERTY(TkvEditFocusStyle, FocusStyle, efsFrameBox)
  PROPERTY(bool, Enabled, false)
  PROPERTY(bool, Transparent, false)
  // Not published: the window is to be made with WS_EX_TRANSPARENT. Set with Transparent, cleared
  // by an edit while it has the focus (it edits on an opaque window) and set again when it leaves.
  NAMED_MEMBER(bool, CreateTransparent, false)
  PLAIN_PROPERTY(int32_t, AutoSizeHeightAdjust, 0)
  PROPERTY(TkvEditFrameEnabledSet, FocusBorders, efLeftBorder, efTopBorder, efRightBorder, efBottomBorder)
  PROPERTY(TkvEditFrameEnabledSet, NonFocusBorders, efBottomBorder)
  PROPERTY(TkvEditFocusStyle, NonFocusStyle, efsFrameBox)
  PLAIN_PROPERTY(int32_t, NonFocusTextOffsetX, 0)
  PLAIN_PROPERTY(int32_t, NonFocusTextOffsetY, 0)
  PLAIN_PROPERTY(TColor, NonFocusTransparentFontColor, clNone)
  PLAIN_PROPERTY(TColor, NonFocusColor, clNone)
  PLAIN_PROPERTY(TColor, NonFocusFontColor, clNone)
  PLAIN_PROPERTY(bool, MouseEnterSameAsFocus, false)

 public:
  TWinControl* Control() const { return FControl; }
  // Enabled, with a control that does not sit in a grid.
  bool IsFrameEffective() const;
  // Transparent and effective, and the control is not being designed.
  bool IsTransparentInEffect() const;

  // From another frame: CopyFrom(Source, false); anything else as a persistent.
  void Assign(TPersistent* Source) override;
  // Enabled and Transparent through their writers; the rest (when Full, or when this frame is
  // enabled after that) member by member.
  void CopyFrom(TkvEditFrame* Source, bool Full);
  // The margins of the edit's formatting rectangle for the focused borders and style: Rect's left
  // and top are set, its right edge moves in.
  void GetEditRect(RECT& Rect) const;
  // Where own painting puts the text, for the given focus state's borders and style.
  virtual void GetTextOffsets(int& Left, int& Top, bool Focused) const;
  // The control's height from its font and border (only for an auto-sized control).
  void AdjustHeight();
  // Repaints what lies behind an unfocused transparent edit after its text changed (TextChanged)
  // or it lost the focus; ClientOnly covers the whole client area.
  void RefreshTransparentBackground(bool ClientOnly, bool TextChanged);
  // Draws the frame on the control's window DC (or on DC when given). 1 without an effective
  // frame, else 0.
  int PaintWindowFrame(bool Focused, bool KeepBackground, HDC DC);

 private:
  TWinControl* FControl = nullptr;
};

class TkvButtonEffects : public TPersistent {
  KORCAM_CLASS(TkvButtonEffects, TPersistent)

 public:
  TkvButtonEffects(TControl* AEditControl = nullptr, TControl* AButtonControl = nullptr);

  PROPERTY(bool, Transparent, false)
  PROPERTY(bool, Flat, false)

 public:
  TControl* EditControl() const { return FEditControl; }
  TControl* ButtonControl() const { return FButtonControl; }
  // The button may be made after its effects.
  void SetButtonControl(TControl* Value) { FButtonControl = Value; }
  void Assign(TPersistent* Source) override;
  // Called after Flat or Transparent changed; each editor's own effects class says what its
  // button needs (nothing here).
  virtual void RefreshButton() {}

 protected:
  TControl* FEditControl;
  TControl* FButtonControl;
};

// Draws the frame of Control for the focus state on Canvas, over the client area.
void kvPaintEditFrame(TControl* Control, TkvEditFrame* Frame, TCanvas* Canvas, bool Focused);
// The same on DC over the whole window (0, 0, width, height); nothing for an empty border set.
void kvPaintEditFrameOnDC(TControl* Control, TkvEditFrame* Frame, HDC DC, bool Focused);
// The control has a parent whose window exists and has WS_EX_TRANSPARENT.
bool kvIsParentTransparent(const TControl* Control);
// Invalidates the control's rectangle in its parent's window, and in each further ancestor's
// while the one below it is transparent.
void kvInvalidateParentsBehind(TControl* Control, bool Erase);
void kvInvalidateTransparentParents(TControl* Control);
// The DrawEdge edge and flags of a frame style and border set.
void kvFrameEdge(TkvEditFocusStyle Style, TkvEditFrameEnabledSet Borders, UINT& Edge, UINT& Flags);
