#include "platform/gdi/sysmetrics.h"

#include <array>
#include <atomic>
#include <mutex>

#include "platform/gdi/brush.h"
#include "platform/gdi/dc.h"

namespace {

constexpr int ColorCount = COLOR_ENDCOLORS + 1;

// The classic 3-D scheme, as COLORREF values.
constexpr std::array<COLORREF, ColorCount> ClassicColors = {
    RGB(0xD4, 0xD0, 0xC8),  // COLOR_SCROLLBAR
    RGB(0x3A, 0x6E, 0xA5),  // COLOR_BACKGROUND
    RGB(0x0A, 0x24, 0x6A),  // COLOR_ACTIVECAPTION
    RGB(0x80, 0x80, 0x80),  // COLOR_INACTIVECAPTION
    RGB(0xD4, 0xD0, 0xC8),  // COLOR_MENU
    RGB(0xFF, 0xFF, 0xFF),  // COLOR_WINDOW
    RGB(0x00, 0x00, 0x00),  // COLOR_WINDOWFRAME
    RGB(0x00, 0x00, 0x00),  // COLOR_MENUTEXT
    RGB(0x00, 0x00, 0x00),  // COLOR_WINDOWTEXT
    RGB(0xFF, 0xFF, 0xFF),  // COLOR_CAPTIONTEXT
    RGB(0xD4, 0xD0, 0xC8),  // COLOR_ACTIVEBORDER
    RGB(0xD4, 0xD0, 0xC8),  // COLOR_INACTIVEBORDER
    RGB(0x80, 0x80, 0x80),  // COLOR_APPWORKSPACE
    RGB(0x0A, 0x24, 0x6A),  // COLOR_HIGHLIGHT
    RGB(0xFF, 0xFF, 0xFF),  // COLOR_HIGHLIGHTTEXT
    RGB(0xD4, 0xD0, 0xC8),  // COLOR_BTNFACE
    RGB(0x80, 0x80, 0x80),  // COLOR_BTNSHADOW
    RGB(0x80, 0x80, 0x80),  // COLOR_GRAYTEXT
    RGB(0x00, 0x00, 0x00),  // COLOR_BTNTEXT
    RGB(0xD4, 0xD0, 0xC8),  // COLOR_INACTIVECAPTIONTEXT
    RGB(0xFF, 0xFF, 0xFF),  // COLOR_BTNHIGHLIGHT
    RGB(0x40, 0x40, 0x40),  // COLOR_3DDKSHADOW
    RGB(0xD4, 0xD0, 0xC8),  // COLOR_3DLIGHT
    RGB(0x00, 0x00, 0x00),  // COLOR_INFOTEXT
    RGB(0xFF, 0xFF, 0xE1),  // COLOR_INFOBK
    RGB(0xB5, 0xB5, 0xB5),  // 25, unused
    RGB(0x00, 0x00, 0x80),  // COLOR_HOTLIGHT
    RGB(0xA6, 0xCA, 0xF0),  // COLOR_GRADIENTACTIVECAPTION
    RGB(0xC0, 0xC0, 0xC0),  // COLOR_GRADIENTINACTIVECAPTION
    RGB(0x0A, 0x24, 0x6A),  // COLOR_MENUHILIGHT
    RGB(0xD4, 0xD0, 0xC8),  // COLOR_MENUBAR
};

struct TSystemColors {
  std::mutex Lock;
  std::array<COLORREF, ColorCount> Colors = ClassicColors;
  std::array<HBRUSH, ColorCount> Brushes{};
};

TSystemColors& System() {
  static TSystemColors colors;
  return colors;
}

std::atomic<int> ScreenWidth{1920};
std::atomic<int> ScreenHeight{1080};

}  // namespace

DWORD GetSysColor(int Index) {
  if (Index < 0 || Index >= ColorCount) return 0;
  std::lock_guard<std::mutex> lock(System().Lock);
  return System().Colors[size_t(Index)];
}

HBRUSH GetSysColorBrush(int Index) {
  if (Index < 0 || Index >= ColorCount) return nullptr;
  TSystemColors& system = System();
  std::lock_guard<std::mutex> lock(system.Lock);
  HBRUSH& brush = system.Brushes[size_t(Index)];
  if (!brush)
    brush = GdiHandleAs<HBRUSH>(GdiAddStockObject(TBrushObject::Solid(system.Colors[size_t(Index)])));
  return brush;
}

BOOL SetSysColors(int Count, const INT* Elements, const COLORREF* Values) {
  if (Count < 0 || (Count > 0 && (!Elements || !Values))) return FALSE;
  TSystemColors& system = System();
  std::lock_guard<std::mutex> lock(system.Lock);
  for (int i = 0; i < Count; ++i) {
    int index = Elements[i];
    if (index < 0 || index >= ColorCount) continue;
    system.Colors[size_t(index)] = Values[i] & 0xFFFFFF;
    if (TBrushObject* brush = GdiGetBrush(system.Brushes[size_t(index)])) brush->Color = Values[i] & 0xFFFFFF;
  }
  return TRUE;
}

void GdiResetSysColors() {
  TSystemColors& system = System();
  std::lock_guard<std::mutex> lock(system.Lock);
  system.Colors = ClassicColors;
  for (int i = 0; i < ColorCount; ++i)
    if (TBrushObject* brush = GdiGetBrush(system.Brushes[size_t(i)])) brush->Color = ClassicColors[size_t(i)];
}

void GdiSetScreenSize(int Width, int Height) {
  ScreenWidth = Width;
  ScreenHeight = Height;
}

int GetSystemMetrics(int Index) {
  int width = ScreenWidth, height = ScreenHeight;
  switch (Index) {
    case SM_CXSCREEN:
    case SM_CXVIRTUALSCREEN:
    case SM_CXFULLSCREEN:
      return width;
    case SM_CYSCREEN:
    case SM_CYVIRTUALSCREEN:
      return height;
    case SM_CYFULLSCREEN:
      return height - 19;
    case SM_CXVSCROLL:
    case SM_CYHSCROLL:
    case SM_CYVSCROLL:
    case SM_CXHSCROLL:
      return 16;
    case SM_CYVTHUMB:
    case SM_CXHTHUMB:
      return 16;
    case SM_CYCAPTION:
      return 19;
    case SM_CXBORDER:
    case SM_CYBORDER:
      return 1;
    case SM_CXDLGFRAME:
    case SM_CYDLGFRAME:
      return 3;
    case SM_CXICON:
    case SM_CYICON:
    case SM_CXCURSOR:
    case SM_CYCURSOR:
      return 32;
    case SM_CYMENU:
      return 19;
    case SM_CYKANJIWINDOW:
      return 0;
    case SM_MOUSEPRESENT:
      return 1;
    case SM_DEBUG:
    case SM_SWAPBUTTON:
      return 0;
    case SM_CXMIN:
      return 112;
    case SM_CYMIN:
      return 27;
    case SM_CXSIZE:
    case SM_CYSIZE:
      return 18;
    case SM_CXFRAME:
    case SM_CYFRAME:
      return 4;
    case SM_CXMINTRACK:
      return 112;
    case SM_CYMINTRACK:
      return 27;
    case SM_CXDOUBLECLK:
    case SM_CYDOUBLECLK:
      return 4;
    case SM_CXICONSPACING:
    case SM_CYICONSPACING:
      return 75;
    case SM_MENUDROPALIGNMENT:
      return 0;
    case SM_CMOUSEBUTTONS:
      return 3;
    case SM_CXEDGE:
    case SM_CYEDGE:
      return 2;
    case SM_CXSMICON:
    case SM_CYSMICON:
      return 16;
    case SM_CYSMCAPTION:
      return 15;
    case SM_CXSMSIZE:
    case SM_CYSMSIZE:
      return 12;
    case SM_CXMENUSIZE:
    case SM_CYMENUSIZE:
      return 18;
    case SM_CXMINIMIZED:
      return 160;
    case SM_CYMINIMIZED:
      return 24;
    case SM_CXMAXTRACK:
      return width + 12;
    case SM_CYMAXTRACK:
      return height + 12;
    case SM_CXMAXIMIZED:
      return width + 8;
    case SM_CYMAXIMIZED:
      return height + 8;
    case SM_NETWORK:
      return 3;
    case SM_CLEANBOOT:
      return 0;
    case SM_CXDRAG:
    case SM_CYDRAG:
      return 4;
    case SM_CXMENUCHECK:
    case SM_CYMENUCHECK:
      return 13;
    case SM_MOUSEWHEELPRESENT:
      return 1;
    case SM_XVIRTUALSCREEN:
    case SM_YVIRTUALSCREEN:
      return 0;
    case SM_CMONITORS:
      return 1;
    case SM_CXFOCUSBORDER:
    case SM_CYFOCUSBORDER:
      return 1;
    case SM_REMOTESESSION:
      return 0;
    default:
      return 0;
  }
}

int GetDeviceCaps(HDC DC, int Index) {
  if (!GdiGetDC(DC)) return 0;
  int depth = GdiScreenBitsPerPixel();
  bool palette = depth <= 8;
  int width = ScreenWidth, height = ScreenHeight;
  switch (Index) {
    case DRIVERVERSION:
      return 0x4000;
    case TECHNOLOGY:
      return DT_RASDISPLAY;
    // Millimetres at 96 pixels per inch.
    case HORZSIZE:
      return int(width * 254 / 960);
    case VERTSIZE:
      return int(height * 254 / 960);
    case HORZRES:
    case DESKTOPHORZRES:
      return width;
    case VERTRES:
    case DESKTOPVERTRES:
      return height;
    case BITSPIXEL:
      return depth;
    case PLANES:
      return 1;
    case NUMBRUSHES:
    case NUMPENS:
      return -1;
    case NUMMARKERS:
      return 0;
    case NUMFONTS:
      return 0;
    case NUMCOLORS:
      return palette ? 20 : -1;
    case CURVECAPS:
      return 0xFF;
    case LINECAPS:
      return 0xFE;
    case POLYGONALCAPS:
      return 0xFF;
    case TEXTCAPS:
      return 0x7E07;
    case CLIPCAPS:
      return 1;
    case RASTERCAPS:
      return RC_BITBLT | RC_BITMAP64 | RC_GDI20_OUTPUT | RC_DI_BITMAP | RC_DIBTODEV | RC_BIGFONT |
             RC_STRETCHBLT | RC_FLOODFILL | RC_STRETCHDIB | (palette ? RC_PALETTE : 0);
    case ASPECTX:
    case ASPECTY:
      return 36;
    case ASPECTXY:
      return 51;
    case LOGPIXELSX:
    case LOGPIXELSY:
      return 96;
    case SIZEPALETTE:
      return palette ? (1 << depth) : 0;
    case NUMRESERVED:
      return palette ? 20 : 0;
    case COLORRES:
      return palette ? 18 : 24;
    case VREFRESH:
      return 60;
    case BLTALIGNMENT:
      return 0;
    case SHADEBLENDCAPS:
      return 0;
    default:
      return 0;
  }
}
