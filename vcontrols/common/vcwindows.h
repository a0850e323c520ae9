#pragma once
// The window-side helpers of the visual library: the region that a control's opaque children
// cover, invalidation of window trees and of a control's place on its parent, the stepwise slide
// of controls from one set of rectangles to another, and a few readings of the input and of the
// common-controls layer.

#include <cstdint>
#include <functional>
#include <vector>

#include "platform/forms/controls.h"
#include "platform/rtl/wintypes.h"

class TControl;
class TWinControl;

// --- regions and invalidation -----------------------------------------------------------------

// Combines into Region (with the CombineRgn Mode) the rectangle of every child of Control whose
// published "Transparent" is false or missing, in Control's client coordinates moved by Offset.
// A windowed child counts with its window rectangle (while it has a window); any other child
// with its bounds, cut at Control's width and height.
void CombineChildRegions(TWinControl* Control, HRGN Region, POINT Offset, int Mode);
// The window and every window below it get painted again (nothing is erased).
void InvalidateWindowTree(HWND Window);
// Every child window of Parent whose window rectangle meets Window's, with all its children.
void InvalidateOverlappingChildren(HWND Parent, HWND Window);
// The control's bounds on its parent's window; nothing without a parent window.
void InvalidateInParent(TControl* Control, bool Erase);
// Clears WS_CLIPCHILDREN, so that the control paints beneath its transparent children.
void RemoveClipChildren(TWinControl* Control);

// --- slide animation --------------------------------------------------------------------------

// One control's way: Current is written at every step.
struct TvcAnimationPlacement {
  TControl* Control = nullptr;
  RECT Start{};
  RECT Current{};
  RECT End{};
};

// A control and, optionally, a second one that slides with it (an outlook page's button and its
// panel). The second is absent while its Control is null.
struct TvcAnimationEntry {
  TvcAnimationPlacement First;
  TvcAnimationPlacement Second;
};

// Places a control at a step's rectangle instead of setting its bounds.
using TvcPlaceControlProc = std::function<void(TControl* Control, const RECT& Rect)>;

// Moves every placement from Start to End in Steps steps, Interval ms apart: step k of n puts
// each edge at start + trunc((end - start) * k / n), repaints the controls at once, and lets
// pending messages run before and after the pause, so other handlers can run in the middle of a
// slide. The last step reaches End exactly. Nothing for no entries or Steps <= 0.
void AnimateControls(std::vector<TvcAnimationEntry>& Entries, uint32_t Interval, int32_t Steps,
                     const TvcPlaceControlProc& PlaceControl = {});

// --- input and the common controls ------------------------------------------------------------

void GetCursorPosition(POINT& Point);
// Shift, Alt and Ctrl as the keyboard holds them right now.
TShiftState GetShiftStateNow();
// The common-controls version, major * 65536 + minor.
uint32_t GetComCtlVersion();
