#pragma once
// Device contexts. A DC draws onto a pixel surface: the bitmap selected into a memory DC, or a
// view into a window's backing store that the window layer sets up (an origin inside the store
// plus the visible region left by overlapping windows). Coordinates pass through three spaces:
//   logical  -- what callers pass; window origin subtracted, viewport origin added, gives
//   device   -- relative to the DC's own (0,0); the DC origin added gives
//   surface  -- the pixel row and column in the surface memory.
// Drawing is clipped by the intersection of the surface bounds, the visible region and the
// selected clip region; TDC::Clip() holds that intersection in surface coordinates.

#include <memory>
#include <optional>
#include <vector>

#include "platform/gdi/gdiobj.h"
#include "platform/gdi/region.h"
#include "platform/rtl/wintypes.h"

// Background modes.
constexpr int TRANSPARENT = 1;
constexpr int OPAQUE = 2;

// Text alignment (SetTextAlign).
constexpr UINT TA_NOUPDATECP = 0;
constexpr UINT TA_UPDATECP = 1;
constexpr UINT TA_LEFT = 0;
constexpr UINT TA_RIGHT = 2;
constexpr UINT TA_CENTER = 6;
constexpr UINT TA_TOP = 0;
constexpr UINT TA_BOTTOM = 8;
constexpr UINT TA_BASELINE = 24;
constexpr UINT TA_RTLREADING = 256;
constexpr UINT GDI_ERROR = 0xFFFFFFFF;

// Binary raster operations of pens and brushes (SetROP2).
constexpr int R2_BLACK = 1;
constexpr int R2_NOTMERGEPEN = 2;
constexpr int R2_MASKNOTPEN = 3;
constexpr int R2_NOTCOPYPEN = 4;
constexpr int R2_MASKPENNOT = 5;
constexpr int R2_NOT = 6;
constexpr int R2_XORPEN = 7;
constexpr int R2_NOTMASKPEN = 8;
constexpr int R2_MASKPEN = 9;
constexpr int R2_NOTXORPEN = 10;
constexpr int R2_NOP = 11;
constexpr int R2_MERGENOTPEN = 12;
constexpr int R2_COPYPEN = 13;
constexpr int R2_MERGEPENNOT = 14;
constexpr int R2_MERGEPEN = 15;
constexpr int R2_WHITE = 16;

// Stretch modes.
constexpr int BLACKONWHITE = 1;
constexpr int WHITEONBLACK = 2;
constexpr int COLORONCOLOR = 3;
constexpr int HALFTONE = 4;
constexpr int STRETCH_ANDSCANS = BLACKONWHITE;
constexpr int STRETCH_ORSCANS = WHITEONBLACK;
constexpr int STRETCH_DELETESCANS = COLORONCOLOR;
constexpr int STRETCH_HALFTONE = HALFTONE;

// Mapping modes (only MM_TEXT scales 1:1; the others are kept as values).
constexpr int MM_TEXT = 1;
constexpr int MM_ANISOTROPIC = 8;
constexpr int MM_ISOTROPIC = 7;

// A pixel surface: Width x Height pixels of BitCount bits (1, 4, 8, 24 or 32), rows Stride bytes
// apart starting at the top row. Stride is negative for bottom-up memory. 32-bit pixels are
// B,G,R,X bytes; 24-bit pixels B,G,R; 1-, 4- and 8-bit pixels index ColorTable (entries
// 0x00RRGGBB, the memory order B,G,R,0), most significant bit first.
struct TPixelSurface {
  int Width = 0;
  int Height = 0;
  int BitCount = 0;
  uint8_t* Top = nullptr;
  ptrdiff_t Stride = 0;
  const uint32_t* ColorTable = nullptr;
  int ColorCount = 0;
  // A monochrome device-dependent bitmap: its 0 and 1 bits take the colours of the DC it is
  // drawn with (text and background colours) instead of ColorTable (black and white).
  bool UsesDCColors = false;

  uint8_t* Row(int Y) const { return Top + Y * Stride; }
  bool IsValid() const { return Top != nullptr && Width > 0 && Height > 0; }
};

// The per-DC state that SaveDC saves and RestoreDC restores.
struct TDCState {
  HPEN Pen = nullptr;
  HBRUSH Brush = nullptr;
  HFONT Font = nullptr;
  HBITMAP Bitmap = nullptr;
  HPALETTE Palette = nullptr;
  COLORREF TextColor = 0x000000;
  COLORREF BkColor = 0xFFFFFF;
  int BkMode = OPAQUE;
  int Rop2 = R2_COPYPEN;
  UINT TextAlign = TA_LEFT | TA_TOP;
  int StretchBltMode = BLACKONWHITE;
  int PolyFillMode = ALTERNATE;
  int MapMode = MM_TEXT;
  POINT WindowOrg{0, 0};
  POINT ViewportOrg{0, 0};
  SIZE WindowExt{1, 1};
  SIZE ViewportExt{1, 1};
  POINT BrushOrg{0, 0};
  POINT CurrentPosition{0, 0};
  COLORREF DCBrushColor = 0xFFFFFF;
  COLORREF DCPenColor = 0x000000;
  // SetTextCharacterExtra and SetTextJustification (the text code reads and consumes these).
  int CharacterExtra = 0;
  int BreakExtra = 0;
  int BreakCount = 0;
  // The clip region selected by the caller, in device coordinates; none = no clipping.
  std::optional<TRegion> ClipRegion;
};

class TDC : public TGdiObject {
 public:
  // Kind is OBJ_MEMDC for memory DCs, OBJ_DC for window and screen DCs.
  explicit TDC(DWORD Kind);
  ~TDC() override;

  HDC Handle() const { return static_cast<HDC>(TGdiObject::Handle()); }
  TDCState& State() { return FState; }
  const TDCState& State() const { return FState; }

  // The surface drawn on; invalid (nothing drawn) when none is attached.
  const TPixelSurface& Surface() const { return FSurface; }
  // Sets the surface of a window DC: its device (0,0) at Origin in the surface, drawing limited
  // to Visible (surface coordinates; none = the whole surface). The window layer calls this;
  // memory DCs take their surface from the selected bitmap instead.
  void SetView(const TPixelSurface& Surface, POINT Origin, std::optional<TRegion> Visible);
  POINT Origin() const { return FOrigin; }
  // Called when the selected bitmap's pixels move (resize); re-reads its surface.
  void RefreshSurface();

  // Coordinate conversions (MM_TEXT: pure translations).
  POINT LogicalToDevice(POINT P) const;
  RECT LogicalToDevice(const RECT& R) const;
  POINT DeviceToLogical(POINT P) const;
  POINT DeviceToSurface(POINT P) const { return {P.x + FOrigin.x, P.y + FOrigin.y}; }
  POINT LogicalToSurface(POINT P) const { return DeviceToSurface(LogicalToDevice(P)); }
  RECT LogicalToSurface(const RECT& R) const;

  // Surface bounds ∩ visible region ∩ clip region, in surface coordinates.
  const TRegion& Clip();
  // Call after changing State().ClipRegion directly.
  void InvalidateClip() { FClipValid = false; }

  // The pixel value a colour is stored as on this surface (the colour itself for 24/32-bit
  // surfaces as 0x00RRGGBB; the nearest colour-table index otherwise).
  uint32_t ColorToPixel(COLORREF Color) const;
  // The colour a pixel value shows (monochrome device-dependent bits as black and white).
  COLORREF PixelToColor(uint32_t Pixel) const;
  // Resolves PALETTEINDEX/PALETTERGB forms and the DC pen/brush colours to a plain RGB.
  COLORREF ResolveColor(COLORREF Color) const;

  // Helpers for the text code (glyphs arrive as coverage masks).
  // Blends Color into the surface through an 8-bit coverage mask (0 none .. 255 full) whose
  // top-left pixel lands on device point (X, Y); pixels outside the clip, and outside ExtraClip
  // (device coordinates) when given, are left alone. On 1-bit surfaces coverage of 128 or more
  // sets the pixel to the colour's nearest index.
  void BlendMask(int X, int Y, const uint8_t* Mask, ptrdiff_t MaskStride, int Width, int Height,
                 COLORREF Color, const RECT* ExtraClip = nullptr);
  // Fills a device rectangle with a solid colour through the clip (and ExtraClip when given).
  void FillSolidRect(const RECT& DeviceRect, COLORREF Color, const RECT* ExtraClip = nullptr);

  // SaveDC / RestoreDC stack.
  int Save();
  bool Restore(int Level);

  // Selection bookkeeping shared by SelectObject and DeleteDC.
  HGDIOBJ Select(TGdiObject* Object);
  // The font object selected, whatever the caller's kind (the font code downcasts).
  TGdiObject* FontObject() const;

 private:
  void ReplaceSelection(HGDIOBJ& Slot, HGDIOBJ Value);
  TDCState FState;
  std::vector<TDCState> FSaved;
  TPixelSurface FSurface;
  POINT FOrigin{0, 0};
  std::optional<TRegion> FVisible;
  TRegion FClip;
  bool FClipValid = false;
};

// The DC behind a handle, or null.
TDC* GdiGetDC(HDC Handle);

// Creation and deletion. CreateCompatibleDC(nullptr) gives a memory DC against the screen format
// (32 bits per pixel unless the tests set another depth with GdiSetScreenBitsPerPixel).
HDC CreateCompatibleDC(HDC Reference);
BOOL DeleteDC(HDC DC);
// A DC drawing on a caller-owned surface (the window layer's backing stores): see TDC::SetView.
HDC GdiCreateSurfaceDC(const TPixelSurface& Surface, POINT Origin, std::optional<TRegion> Visible);
// A DC standing for the screen (what GetDC(0) answers): it draws nowhere, and bitmaps made
// compatible with it (CreateCompatibleBitmap, CreateDIBitmap) have the screen's depth.
HDC GdiCreateScreenDC();
void GdiSetScreenBitsPerPixel(int BitsPerPixel);
int GdiScreenBitsPerPixel();

HGDIOBJ SelectObject(HDC DC, HGDIOBJ Object);
HGDIOBJ GetCurrentObject(HDC DC, UINT Kind);
int SaveDC(HDC DC);
BOOL RestoreDC(HDC DC, int SavedDC);

COLORREF SetTextColor(HDC DC, COLORREF Color);
COLORREF GetTextColor(HDC DC);
COLORREF SetBkColor(HDC DC, COLORREF Color);
COLORREF GetBkColor(HDC DC);
int SetBkMode(HDC DC, int Mode);
int GetBkMode(HDC DC);
UINT SetTextAlign(HDC DC, UINT Align);
UINT GetTextAlign(HDC DC);
int SetROP2(HDC DC, int Rop2);
int GetROP2(HDC DC);
int SetStretchBltMode(HDC DC, int Mode);
int GetStretchBltMode(HDC DC);
int SetPolyFillMode(HDC DC, int Mode);
int GetPolyFillMode(HDC DC);
int SetMapMode(HDC DC, int Mode);
int GetMapMode(HDC DC);
COLORREF SetDCBrushColor(HDC DC, COLORREF Color);
COLORREF GetDCBrushColor(HDC DC);
COLORREF SetDCPenColor(HDC DC, COLORREF Color);
COLORREF GetDCPenColor(HDC DC);
int SetTextCharacterExtra(HDC DC, int Extra);
int GetTextCharacterExtra(HDC DC);

BOOL SetWindowOrgEx(HDC DC, int X, int Y, LPPOINT Previous);
BOOL GetWindowOrgEx(HDC DC, LPPOINT Origin);
BOOL OffsetWindowOrgEx(HDC DC, int DX, int DY, LPPOINT Previous);
BOOL SetViewportOrgEx(HDC DC, int X, int Y, LPPOINT Previous);
BOOL GetViewportOrgEx(HDC DC, LPPOINT Origin);
BOOL OffsetViewportOrgEx(HDC DC, int DX, int DY, LPPOINT Previous);
BOOL SetWindowExtEx(HDC DC, int X, int Y, LPSIZE Previous);
BOOL SetViewportExtEx(HDC DC, int X, int Y, LPSIZE Previous);
BOOL SetBrushOrgEx(HDC DC, int X, int Y, LPPOINT Previous);
BOOL GetBrushOrgEx(HDC DC, LPPOINT Origin);
BOOL GetDCOrgEx(HDC DC, LPPOINT Origin);
BOOL LPtoDP(HDC DC, LPPOINT Points, int Count);
BOOL DPtoLP(HDC DC, LPPOINT Points, int Count);
BOOL MoveToEx(HDC DC, int X, int Y, LPPOINT Previous);
BOOL GetCurrentPositionEx(HDC DC, LPPOINT Position);

// Clipping (regions are in device coordinates; rectangles in logical ones).
int SelectClipRgn(HDC DC, HRGN Region);
int ExtSelectClipRgn(HDC DC, HRGN Region, int Mode);
int IntersectClipRect(HDC DC, int Left, int Top, int Right, int Bottom);
int ExcludeClipRect(HDC DC, int Left, int Top, int Right, int Bottom);
int OffsetClipRgn(HDC DC, int DX, int DY);
int GetClipBox(HDC DC, LPRECT Rect);
// 1 and a copy of the clip region into Region (which must exist) when one is selected, 0 when
// none is, -1 on error.
int GetClipRgn(HDC DC, HRGN Region);
BOOL PtVisible(HDC DC, int X, int Y);
BOOL RectVisible(HDC DC, const RECT* Rect);
