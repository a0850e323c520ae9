#pragma once
// TvcCanvas: the tree view's drawing canvas. During custom draw it draws on the device context
// of the notification; it adds the dotted line of the tree's lines and a text routine with an
// etched look.

#include <string>

#include "platform/forms/controlcanvas.h"

// The library's own DrawText flag for etched text (it is taken out before the text is drawn).
constexpr UINT vcDT_ETCHED = 0x80000;

class TvcCanvas : public TControlCanvas {
  KORCAM_CLASS(TvcCanvas, TControlCanvas)

 public:
  TvcCanvas() = default;

  // Selects the canvas's pen, font and brush into its DC.
  void SelectTools();
  // A dotted line: n = the larger of the two distances; for i = 0 .. n, every even i sets the
  // current point's pixel and moves the point by (P2 - P1) / max(1, n / 2) in each coordinate.
  // A 16-pixel vertical line sets every second pixel.
  void DottedLine(POINT P1, POINT P2);
  // Draws Text in Rect with Format (DrawTextEx flags); with vcDT_ETCHED and without DT_CALCRECT
  // the text is first drawn in the button highlight colour one pixel right and down, then in the
  // button shadow colour. OutRect gets the rectangle as the drawing left it.
  void DrawTextEffects(const std::string& Text, const RECT& Rect, RECT& OutRect, UINT Format);
};
