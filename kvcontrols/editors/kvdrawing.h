#pragma once
// Shared routines of the data-aware library that need windows or a canvas: telling whether a
// control sits in a grid or an inspector (and paints an image of itself there), the design-time
// test, a few window-style and mouse helpers, typing into an edit through a picture mask, and the
// drawing of the library's ellipsis and drop-down buttons, focus frames, dotted lines and aligned
// cell text. Like the window-free helpers, none of them keeps state.

#include <cstdint>
#include <string>

#include "platform/forms/canvas.h"
#include "platform/forms/controls.h"
#include "platform/rtl/wintypes.h"

class TControl;
class TWinControl;
class TCustomEdit;

// The state of a button face, with the class library's ordinals (up, disabled, down, exclusive),
// so a speed button's TButtonState converts by value.
enum TkvButtonFaceState : int { kvbsUp = 0, kvbsDisabled = 1, kvbsDown = 2, kvbsExclusive = 3 };

// ---- where a control lives -----------------------------------------------------------------

// The control has a parent whose class is, or derives from, a class of that name.
bool kvParentIsGrid(const TControl* Control);          // "TCustomGrid"
bool kvParentIsInspector(const TControl* Control);     // "TkvDataInspector"
bool kvParentIsDBGrid(const TControl* Control);        // "TkvDBGrid"
bool kvParentIsCustomDBGrid(const TControl* Control);  // "TkvCustomDBGrid"
// The control paints an image of itself into a cell of such a parent.
bool kvIsPaintCopyInGrid(const TControl* Control);
bool kvIsPaintCopyInInspector(const TControl* Control);
bool kvIsPaintCopyInDBGrid(const TControl* Control);
// The set property "Options" of Control holds the member named Option ("dgRowLines", "goTabs");
// the member is found by name, so grids of any options type answer. False when absent.
bool kvHasOptionByName(const TComponent* Control, const char* Option);
// csDesigning of the control's parent form, or of the control itself when it has no form.
bool kvIsDesigning(const TControl* Control);
// Tells the form designer of the first form up the Owner chain that the form changed. This
// program has no form designer, so there is nobody to tell; kept so callers read as written.
void kvMarkDesignerModified(TComponent* Component);

// ---- windows -------------------------------------------------------------------------------

// A click that started a drag in the active form (on the form itself, or on one of its direct
// window children) gets its button release posted, so a control that took the mouse away does not
// leave the form waiting for it.
void kvPostPendingMouseUp();
// Removes WS_CLIPCHILDREN from the control's window (nothing without a window).
void kvClearClipChildren(TWinControl* Control);
// A child window control that shows on screen has its top-left corner outside the client area
// (an open drop-down); False for nil.
bool kvHasChildOutsideClient(const TWinControl* Control);

// Types Key into Edit through a picture mask, but only when the selection reaches the end of the
// text and Key is a character from the blank to U+00FE. The validator completes the text (with
// auto-fill, literals are appended); a complete or incomplete text becomes the edit's text and the
// caret moves past what was typed, an error beeps. Then Key becomes 0 and the result is True.
// Otherwise the result is False and Key is left alone.
bool kvPictureMaskKeyPress(TCustomEdit* Edit, const std::string& Mask, bool AutoFill, char32_t& Key);

// ---- drawing -------------------------------------------------------------------------------

// The library's "..." button: a raised edge (unless FlatNotHot; filled unless Transparent, flat
// while down unless painting a copy) and three black squares on a row, one pixel lower and to
// the right while down. Enabled does not change the face.
void kvDrawEllipsisButton(TCanvas* Canvas, const RECT& Rect, TkvButtonFaceState ButtonState, bool Enabled,
                          bool FlatNotHot, bool Transparent, TControlState ControlState);
// The combo-box arrow face: inactive when disabled, pushed and flat while down (not while
// painting a copy).
void kvDrawDropDownButton(TCanvas* Canvas, const RECT& Rect, TkvButtonFaceState ButtonState, bool Enabled,
                          TControlState ControlState);
// A highlight-coloured outline with a focus rectangle drawn over it; the canvas keeps its brush
// style, pen colour and text colour.
void kvDrawFocusFrame(TCanvas* Canvas, const RECT& Rect);
// Every second pixel of the line from P1 towards P2 (the tree lines of the inspector).
void DrawDottedLine(TCanvas* Canvas, POINT P1, POINT P2);
// One line of text in the DC's font, measured with Flags, plus the edit's border allowance, fills
// Rect's height.
bool kvIsOneLineHigh(HDC DC, const RECT& Rect, UINT DrawTextFlags);

// Options of kvDrawAlignedText.
inline constexpr uint32_t kvdtPrefix = 1;     // "&" marks a prefix instead of showing
inline constexpr uint32_t kvdtEllipsis = 2;   // one line, cut with "..."
inline constexpr uint32_t kvdtWordBreak = 4;  // wrap at blanks (unless the rectangle holds one line)
inline constexpr uint32_t kvdtNoFill = 16;    // leave the background as it is
inline constexpr uint32_t kvdtVCenter = 32;   // one line, centred vertically

// The text of a cell: Rect is filled with the canvas's brush (unless kvdtNoFill), then Text is
// drawn transparently, aligned by Alignment (0 left, 1 right, 2 centre; the class library's
// TAlignment ordinals) within Rect less the margins. Returns the DrawText flags used.
UINT kvDrawAlignedText(TCanvas* Canvas, const RECT& Rect, int LeftMargin, int TopMargin,
                       const std::string& Text, int Alignment, uint32_t Options);
// The DrawText flags kvDrawAlignedText starts from (before the one-line test).
UINT kvAlignedTextFlags(int Alignment, uint32_t Options);
