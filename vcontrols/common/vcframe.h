#pragma once
// The settings objects of the library's framed controls and the routines around them:
// - TvcEditFrame replaces a control's own border by a frame the control draws itself: one set of
//   sides and one edge style while the control has the focus, another while it has not, colours
//   for the unfocused state, text offsets, and transparency (the unfocused control shows its
//   parent through its background). Only an effective frame draws or colours anything: one that
//   is enabled, has a windowed control, and whose control does not sit in a grid (the grid draws
//   its cells).
// - TvcButtonEffects makes a combo's drop-down button flat or transparent; it reaches the button
//   only through the button's published "Flat" and "Transparent".
// - Free routines: the frame's drawing, the test whether a control's parent is transparent, and
//   the invalidation of what lies behind a transparent control, walking up through transparent
//   parents.
//
// The data-aware library has a frame of its own with the same settings under the same names;
// Assign copies from it by those names (it is known here only by its class name).

#include <cstdint>
#include <string_view>

#include "platform/classes/persistent.h"
#include "platform/classes/typinfo.h"
#include "platform/forms/controls.h"
#include "platform/gdi/colors.h"
#include "platform/rtl/wintypes.h"

class TCanvas;
class TControl;
class TWinControl;

// The enumerators share their names with the data-aware library's frame, hence the namespace.
namespace vcframe {
// As a set, bits 0 to 3 are exactly DrawEdge's BF_LEFT, BF_TOP, BF_RIGHT and BF_BOTTOM.
KORCAM_ENUM(TvcEditFrameEnabledType, efLeftBorder, efTopBorder, efRightBorder, efBottomBorder)
KORCAM_ENUM(TvcEditFocusStyle, efsFrameBox, efsFrameSunken, efsFrameRaised, efsFrameEtched, efsFrameBump,
            efsFrameSingle)
}  // namespace vcframe
using vcframe::TvcEditFocusStyle;
using vcframe::TvcEditFrameEnabledType;
using TvcEditFrameEnabledSet = TSet<TvcEditFrameEnabledType>;

class TvcEditFrame : public TPersistent {
  KORCAM_CLASS(TvcEditFrame, TPersistent)

 public:
  // Control: the framed control; kept only when it is a windowed control.
  explicit TvcEditFrame(TControl* AControl = nullptr);
  ~TvcEditFrame() override;

  PROPERTY(bool, Enabled, false)
  PROPERTY(TvcEditFrameEnabledSet, NonFocusBorders, vcframe::efBottomBorder)
  PROPERTY(TvcEditFrameEnabledSet, FocusBorders, vcframe::efLeftBorder, vcframe::efTopBorder,
           vcframe::efRightBorder, vcframe::efBottomBorder)
  PLAIN_PROPERTY(TvcEditFocusStyle, FocusStyle, vcframe::efsFrameBox)
  PROPERTY(TvcEditFocusStyle, NonFocusStyle, vcframe::efsFrameBox)
  // Added to the text's left and top offsets in both states.
  PLAIN_PROPERTY(int32_t, NonFocusTextOffsetX, 0)
  PLAIN_PROPERTY(int32_t, NonFocusTextOffsetY, 0)
  PROPERTY(bool, Transparent, false)
  PLAIN_PROPERTY(bool, MouseEnterSameAsFocus, false)
  // Added to an auto-sized edit's height while the frame is enabled.
  PLAIN_PROPERTY(int32_t, AutoSizeHeightAdjust, 0)
  PLAIN_PROPERTY(TColor, NonFocusTransparentFontColor, clNone)
  PLAIN_PROPERTY(TColor, NonFocusColor, clNone)
  PLAIN_PROPERTY(TColor, NonFocusFontColor, clNone)

 public:
  TWinControl* Control() const { return FControl; }
  // Whether the area behind a transparent control's text is erased when it is invalidated.
  bool EraseOnRefresh() const { return FEraseOnRefresh; }
  void SetEraseOnRefresh(bool Value) { FEraseOnRefresh = Value; }
  // Set with Transparent by its writer: a combo makes its window with WS_EX_TRANSPARENT while it
  // is set. A combo clears it while it has the focus (it edits on an opaque window).
  bool CreateTransparent() const { return FCreateTransparent; }
  void SetCreateTransparent(bool Value) { FCreateTransparent = Value; }

  // Enabled, with a control whose parent is not a grid of the class library.
  bool IsFrameEffective() const;
  // From another frame of this library, or from any object whose class (or an ancestor) is
  // named "TkvEditFrame": FocusStyle, Enabled and Transparent (through their writers), and, when
  // this frame is then enabled, the other settings. The data-aware frame is read by the names of
  // its published settings; one it does not have keeps this frame's value. Anything else raises
  // EConvertError (the persistent's "Cannot assign").
  void Assign(TPersistent* Source) override;

  // Where own painting puts the text for a focus state: x = 1, or 2 (one-colour style) or 3
  // when the left side is drawn; y = 2, or 3 when the top side is drawn in a two-colour style;
  // then the two text offsets are added.
  virtual void GetOffsets(int& X, int& Y, bool Focused) const;
  // The margins of a framed edit's formatting rectangle from FocusBorders and FocusStyle: Rect's
  // left and top are set, its right edge moves in.
  void GetEditRect(RECT& Rect) const;
  // The edit's height from its font and border (for an auto-sized edit).
  void AdjustHeight();
  // Repaints the frame: through the parent (no erase) for an enabled transparent frame, else the
  // control itself.
  void InvalidateFrame();
  // Clears what lies behind the control's old text before it is drawn again: the whole control
  // (Whole) or the strip of its formatting rectangle.
  void RefreshTransparentBackground(bool Whole);
  // One-colour styles: efsFrameBox and efsFrameSingle.
  static bool IsSingleLineStyle(TvcEditFocusStyle Style);

 protected:
  // Recreates the control's window when the frame has just become transparent and the parent
  // clips its children (they would hide what the control should show through).
  void RecreateForTransparency();

 private:
  TWinControl* FControl = nullptr;
  bool FEraseOnRefresh = false;
  bool FCreateTransparent = false;
};

class TvcButtonEffects : public TPersistent {
  KORCAM_CLASS(TvcButtonEffects, TPersistent)

 public:
  TvcButtonEffects(TControl* ACombo = nullptr, TControl* AButton = nullptr);
  ~TvcButtonEffects() override;

  PROPERTY(bool, Transparent, false)
  PROPERTY(bool, Flat, false)

 public:
  TControl* Combo() const { return FCombo; }
  TControl* Button() const { return FButton; }
  // The button may be made after its effects, and goes before them.
  void SetButton(TControl* Value) { FButton = Value; }
  void Assign(TPersistent* Source) override;
  // Called after Flat or Transparent changed, before the button repaints; a combo loads the
  // button glyph the new look needs. Nothing here.
  virtual void Refresh() {}

 protected:
  TControl* FCombo;
  TControl* FButton;
};

// The frame's sides for the focus state on Canvas, over the control's client rectangle (its right
// edge 2 pixels in when the right side is not drawn and the frame is transparent).
void DrawEditFrame(TControl* Control, TvcEditFrame* Frame, TCanvas* Canvas, bool Focused);
// The control's parent is a transparent "TvcPanel" or "TvcGroupBox" (by class name and its
// published "Transparent"), or a window with WS_EX_TRANSPARENT.
bool IsParentTransparent(const TControl* Control);
// Invalidates the control's rectangle in its parent's window, and in each further ancestor's
// while the one below it is transparent.
void InvalidateTransparentArea(TControl* Control, bool Erase);
// The same, erasing as the EraseOnRefresh of the control's published "Frame" says.
void InvalidateTransparentParents(TControl* Control);

// Published properties reached by name; each does nothing (or answers false or null) for a class
// without the property.
void SetControlBorderStyle(TObject* Control, TBorderStyle Value);
bool GetTransparentProperty(const TObject* Control);
bool GetAutoSizeProperty(const TObject* Control);
TObject* GetFrameProperty(const TObject* Control);
void SetOrdPropertyByName(TObject* Object, std::string_view PropertyName, int64_t Value);
