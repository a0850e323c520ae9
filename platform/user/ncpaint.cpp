// The default frame: classic 3-D borders, a caption bar with the window text, the client edge,
// the scroll bars.

#include "platform/user/ncpaint.h"

#include <string>

#include "platform/gdi/dc.h"
#include "platform/gdi/drawedge.h"
#include "platform/gdi/rect.h"
#include "platform/gdi/shapes.h"
#include "platform/gdi/sysmetrics.h"
#include "platform/gdi/text.h"
#include "platform/gdi/textlayout.h"
#include "platform/user/internal.h"
#include "platform/user/paint.h"

namespace UserImpl {

namespace {

void FillRing(HDC DC, RECT& Rect, int Width, HBRUSH Brush) {
  if (Width <= 0) return;
  RECT Top{Rect.left, Rect.top, Rect.right, Rect.top + Width};
  RECT Bottom{Rect.left, Rect.bottom - Width, Rect.right, Rect.bottom};
  RECT Left{Rect.left, Rect.top + Width, Rect.left + Width, Rect.bottom - Width};
  RECT Right{Rect.right - Width, Rect.top + Width, Rect.right, Rect.bottom - Width};
  FillRect(DC, &Top, Brush);
  FillRect(DC, &Bottom, Brush);
  FillRect(DC, &Left, Brush);
  FillRect(DC, &Right, Brush);
  InflateRect(&Rect, -Width, -Width);
}

}  // namespace

void PaintNonClient(HWND Handle, bool Active) {
  DWORD Style, ExStyle;
  RECT Window, Client;
  std::string Text;
  {
    TGuard Lock(Mutex());
    TWindow* Record = FindLocked(Handle);
    if (!Record || !IsVisibleLocked(Record)) return;
    Style = Record->Style;
    ExStyle = Record->ExStyle;
    Window = RECT{0, 0, Record->Window.right - Record->Window.left,
                  Record->Window.bottom - Record->Window.top};
    Client = RECT{Record->Client.left - Record->Window.left, Record->Client.top - Record->Window.top,
                  Record->Client.right - Record->Window.left, Record->Client.bottom - Record->Window.top};
    Text = Record->Text;
  }
  if (EqualRect(&Window, &Client)) return;
  HDC DC = GetWindowDC(Handle);
  if (!DC) return;
  ExcludeClipRect(DC, Client.left, Client.top, Client.right, Client.bottom);
  RECT Rect = Window;
  if (!(Style & WS_MINIMIZE)) {
    bool Raised = (ExStyle & WS_EX_DLGMODALFRAME) || (Style & (WS_THICKFRAME | WS_DLGFRAME));
    if ((ExStyle & (WS_EX_STATICEDGE | WS_EX_DLGMODALFRAME)) == WS_EX_STATICEDGE) {
      DrawEdge(DC, &Rect, BDR_SUNKENOUTER, BF_RECT | BF_ADJUST);
    } else if (Raised) {
      DrawEdge(DC, &Rect, EDGE_RAISED, BF_RECT | BF_ADJUST);
    }
    int Ring = 0;
    if (Style & WS_THICKFRAME) Ring += GetSystemMetrics(SM_CXFRAME) - GetSystemMetrics(SM_CXDLGFRAME);
    if ((Style & (WS_BORDER | WS_DLGFRAME)) || (ExStyle & WS_EX_DLGMODALFRAME)) {
      if (Raised) {
        ++Ring;
      } else {
        FrameRect(DC, &Rect, GetSysColorBrush(COLOR_WINDOWFRAME));
        InflateRect(&Rect, -1, -1);
      }
    }
    FillRing(DC, Rect, Ring, GetSysColorBrush(COLOR_3DFACE));
    if ((Style & WS_CAPTION) == WS_CAPTION) {
      int Height = GetSystemMetrics((ExStyle & WS_EX_TOOLWINDOW) ? SM_CYSMCAPTION : SM_CYCAPTION);
      RECT Caption{Rect.left, Rect.top, Rect.right, Rect.top + Height};
      FillRect(DC, &Caption, GetSysColorBrush(Active ? COLOR_ACTIVECAPTION : COLOR_INACTIVECAPTION));
      SetBkMode(DC, TRANSPARENT);
      SetTextColor(DC, GetSysColor(Active ? COLOR_CAPTIONTEXT : COLOR_INACTIVECAPTIONTEXT));
      RECT TextRect{Caption.left + 3, Caption.top, Caption.right - 3, Caption.bottom};
      if (!Text.empty())
        DrawTextA(DC, Text.c_str(), int(Text.size()), &TextRect, DT_SINGLELINE | DT_VCENTER | DT_LEFT | DT_NOPREFIX | DT_END_ELLIPSIS);
      Rect.top += Height;
    }
  }
  if (ExStyle & WS_EX_CLIENTEDGE) DrawEdge(DC, &Rect, EDGE_SUNKEN, BF_RECT | BF_ADJUST);
  DrawWindowScrollBars(Handle, DC);
  ReleaseDC(Handle, DC);
}

}  // namespace UserImpl
