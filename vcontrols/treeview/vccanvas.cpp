#include "vcontrols/treeview/vccanvas.h"

#include <algorithm>
#include <cstdlib>

#include "platform/forms/brush.h"
#include "platform/forms/font.h"
#include "platform/forms/pen.h"
#include "platform/gdi/gdi.h"
#include "platform/gdi/text.h"

KORCAM_REGISTER_CLASS(TvcCanvas)

void TvcCanvas::SelectTools() { RequiredState(TCanvasState{csHandleValid, csFontValid, csPenValid, csBrushValid}); }

void TvcCanvas::DottedLine(POINT P1, POINT P2) {
  SelectTools();
  const int Steps = std::max(std::abs(P2.y - P1.y), std::abs(P2.x - P1.x));
  const int Divisor = std::max(1, Steps / 2);
  const int DX = (P2.x - P1.x) / Divisor, DY = (P2.y - P1.y) / Divisor;
  POINT Point = P1;
  for (int Index = 0; Index <= Steps; ++Index) {
    if (Index % 2 != 0) continue;
    // A one-pixel polyline: its end pixel is not drawn, so exactly the start is set.
    Polyline({Point, POINT{Point.x + 1, Point.y + 1}});
    Point.x += DX;
    Point.y += DY;
  }
}

void TvcCanvas::DrawTextEffects(const std::string& Text, const RECT& Rect, RECT& OutRect, UINT Format) {
  SelectTools();
  HDC DC = Handle();
  SetBkColor(DC, COLORREF(ColorToRGB(Brush()->Color())));
  SetTextColor(DC, COLORREF(ColorToRGB(Font()->Color())));
  OutRect = Rect;
  const bool Etched = (Format & vcDT_ETCHED) && !(Format & DT_CALCRECT);
  Format &= ~vcDT_ETCHED;
  if (Etched) {
    RECT Highlight = Rect;
    OffsetRect(&Highlight, 1, 1);
    SetTextColor(DC, COLORREF(ColorToRGB(clBtnHighlight)));
    DrawTextExA(DC, Text.c_str(), int(Text.size()), &Highlight, Format, nullptr);
    SetBkMode(DC, TRANSPARENT);
    Font()->SetColor(clBtnShadow);
    SelectTools();
    SetTextColor(DC, COLORREF(ColorToRGB(clBtnShadow)));
  }
  DrawTextExA(DC, Text.c_str(), int(Text.size()), &OutRect, Format, nullptr);
}
