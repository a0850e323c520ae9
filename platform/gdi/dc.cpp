#include "platform/gdi/dc.h"

#include <algorithm>
#include <atomic>
#include <cmath>

#include "platform/gdi/bitmap.h"
#include "platform/gdi/palette.h"
#include "platform/gdi/surface.h"

using namespace gdi;

namespace {

std::atomic<int> ScreenBitsPerPixel{32};

// A clip region without limits, for combining when no clip region is selected.
constexpr int Unbounded = 1 << 27;
TRegion WholeDevice() {
  return TRegion(-Unbounded, -Unbounded, Unbounded, Unbounded);
}

void Retain(HDC Owner, HGDIOBJ Handle) {
  TGdiObject* object = GdiGetObject(Handle);
  if (!object) return;
  if (object->Kind() == OBJ_BITMAP && !object->IsStock())
    static_cast<TBitmapObject*>(object)->SelectedInto = Owner;
  GdiObjectSelected(object);
}

void Release(HGDIOBJ Handle) {
  TGdiObject* object = GdiGetObject(Handle);
  if (!object) return;
  if (object->Kind() == OBJ_BITMAP && object->SelectCount() <= 1)
    static_cast<TBitmapObject*>(object)->SelectedInto = nullptr;
  GdiObjectDeselected(object);
}

void RetainState(HDC Owner, const TDCState& State) {
  Retain(Owner, State.Pen);
  Retain(Owner, State.Brush);
  Retain(Owner, State.Font);
  Retain(Owner, State.Bitmap);
  Retain(Owner, State.Palette);
}

void ReleaseState(const TDCState& State) {
  Release(State.Pen);
  Release(State.Brush);
  Release(State.Font);
  Release(State.Bitmap);
  Release(State.Palette);
}

}  // namespace

TDC::TDC(DWORD Kind) : TGdiObject(Kind) {
  FState.Pen = GdiHandleAs<HPEN>(GetStockObject(BLACK_PEN));
  FState.Brush = GdiHandleAs<HBRUSH>(GetStockObject(WHITE_BRUSH));
  FState.Font = GdiHandleAs<HFONT>(GetStockObject(SYSTEM_FONT));
  FState.Palette = GdiHandleAs<HPALETTE>(GetStockObject(DEFAULT_PALETTE));
  if (Kind == OBJ_MEMDC) FState.Bitmap = GdiDefaultBitmap();
  RetainState(nullptr, FState);
  RefreshSurface();
}

TDC::~TDC() {
  ReleaseState(FState);
  for (const TDCState& state : FSaved) ReleaseState(state);
}

void TDC::SetView(const TPixelSurface& Surface, POINT Origin, std::optional<TRegion> Visible) {
  FSurface = Surface;
  FOrigin = Origin;
  FVisible = std::move(Visible);
  FClipValid = false;
}

void TDC::RefreshSurface() {
  if (Kind() == OBJ_MEMDC) {
    TBitmapObject* bitmap = GdiGetBitmap(FState.Bitmap);
    FSurface = bitmap ? bitmap->Surface() : TPixelSurface{};
  }
  FClipValid = false;
}

POINT TDC::LogicalToDevice(POINT P) const {
  const TDCState& s = FState;
  if (s.MapMode == MM_TEXT || s.WindowExt.cx == 0 || s.WindowExt.cy == 0)
    return {P.x - s.WindowOrg.x + s.ViewportOrg.x, P.y - s.WindowOrg.y + s.ViewportOrg.y};
  auto scale = [](LONG Value, LONG Numerator, LONG Denominator) {
    return LONG(std::lround(double(Value) * Numerator / Denominator));
  };
  return {scale(P.x - s.WindowOrg.x, s.ViewportExt.cx, s.WindowExt.cx) + s.ViewportOrg.x,
          scale(P.y - s.WindowOrg.y, s.ViewportExt.cy, s.WindowExt.cy) + s.ViewportOrg.y};
}

RECT TDC::LogicalToDevice(const RECT& R) const {
  POINT a = LogicalToDevice(POINT{R.left, R.top});
  POINT b = LogicalToDevice(POINT{R.right, R.bottom});
  return RECT{a.x, a.y, b.x, b.y};
}

POINT TDC::DeviceToLogical(POINT P) const {
  const TDCState& s = FState;
  if (s.MapMode == MM_TEXT || s.ViewportExt.cx == 0 || s.ViewportExt.cy == 0)
    return {P.x - s.ViewportOrg.x + s.WindowOrg.x, P.y - s.ViewportOrg.y + s.WindowOrg.y};
  auto scale = [](LONG Value, LONG Numerator, LONG Denominator) {
    return LONG(std::lround(double(Value) * Numerator / Denominator));
  };
  return {scale(P.x - s.ViewportOrg.x, s.WindowExt.cx, s.ViewportExt.cx) + s.WindowOrg.x,
          scale(P.y - s.ViewportOrg.y, s.WindowExt.cy, s.ViewportExt.cy) + s.WindowOrg.y};
}

RECT TDC::LogicalToSurface(const RECT& R) const {
  RECT d = LogicalToDevice(R);
  return RECT{d.left + FOrigin.x, d.top + FOrigin.y, d.right + FOrigin.x, d.bottom + FOrigin.y};
}

const TRegion& TDC::Clip() {
  if (!FClipValid) {
    if (FSurface.IsValid())
      FClip = TRegion(0, 0, FSurface.Width, FSurface.Height);
    else
      FClip.Clear();
    if (FVisible) FClip.Intersect(*FVisible);
    if (FState.ClipRegion) {
      TRegion clip(*FState.ClipRegion);
      clip.Offset(FOrigin.x, FOrigin.y);
      FClip.Intersect(clip);
    }
    FClipValid = true;
  }
  return FClip;
}

COLORREF TDC::ResolveColor(COLORREF Color) const {
  switch (Color >> 24) {
    case 0x01: {
      TPaletteObject* palette = GdiGetPalette(FState.Palette);
      WORD index = WORD(Color & 0xFFFF);
      if (!palette || index >= palette->Entries.size()) return 0;
      const PALETTEENTRY& e = palette->Entries[index];
      return RGB(e.peRed, e.peGreen, e.peBlue);
    }
    default:
      return Color & 0x00FFFFFF;
  }
}

uint32_t TDC::ColorToPixel(COLORREF Color) const {
  return ColorToValue(FSurface, ColorRefToRgb(ResolveColor(Color)));
}

COLORREF TDC::PixelToColor(uint32_t Pixel) const {
  ValuesToColors(FSurface, &Pixel, 1, 0x000000, 0xFFFFFF);
  return RgbToColorRef(Pixel);
}

void TDC::BlendMask(int X, int Y, const uint8_t* Mask, ptrdiff_t MaskStride, int Width, int Height,
                    COLORREF Color, const RECT* ExtraClip) {
  if (!FSurface.IsValid() || Width <= 0 || Height <= 0 || !Mask) return;
  int left = X + FOrigin.x, top = Y + FOrigin.y;
  RECT bounds{left, top, left + Width, top + Height};
  if (ExtraClip) {
    bounds.left = std::max<LONG>(bounds.left, ExtraClip->left + FOrigin.x);
    bounds.top = std::max<LONG>(bounds.top, ExtraClip->top + FOrigin.y);
    bounds.right = std::min<LONG>(bounds.right, ExtraClip->right + FOrigin.x);
    bounds.bottom = std::min<LONG>(bounds.bottom, ExtraClip->bottom + FOrigin.y);
  }
  uint32_t rgb = ColorRefToRgb(ResolveColor(Color));
  bool indexed = IsIndexed(FSurface);
  uint32_t colorValue = ColorToValue(FSurface, rgb);
  uint32_t cr = (rgb >> 16) & 0xFF, cg = (rgb >> 8) & 0xFF, cb = rgb & 0xFF;
  ForEachClipRect(Clip(), bounds, [&](const RECT& r) {
    int count = r.right - r.left;
    uint32_t* values = ScratchRow(0, size_t(count));
    for (int y = r.top; y < r.bottom; ++y) {
      const uint8_t* coverage = Mask + (y - top) * MaskStride + (r.left - left);
      if (indexed) {
        uint8_t* on = reinterpret_cast<uint8_t*>(ScratchRow(1, size_t(count)));
        bool any = false;
        for (int i = 0; i < count; ++i) {
          on[i] = coverage[i] >= 128;
          values[i] = colorValue;
          any |= on[i] != 0;
        }
        if (any) WriteRowMasked(FSurface, r.left, y, count, values, on);
        continue;
      }
      ReadRow(FSurface, r.left, y, count, values);
      for (int i = 0; i < count; ++i) {
        uint32_t a = coverage[i];
        if (a == 0) continue;
        if (a == 255) {
          values[i] = (values[i] & 0xFF000000) | rgb;
          continue;
        }
        uint32_t v = values[i], ia = 255 - a;
        uint32_t r8 = (((v >> 16) & 0xFF) * ia + cr * a + 127) / 255;
        uint32_t g8 = (((v >> 8) & 0xFF) * ia + cg * a + 127) / 255;
        uint32_t b8 = ((v & 0xFF) * ia + cb * a + 127) / 255;
        values[i] = (v & 0xFF000000) | (r8 << 16) | (g8 << 8) | b8;
      }
      WriteRow(FSurface, r.left, y, count, values);
    }
  });
}

void TDC::FillSolidRect(const RECT& DeviceRect, COLORREF Color, const RECT* ExtraClip) {
  if (!FSurface.IsValid()) return;
  RECT bounds{DeviceRect.left + FOrigin.x, DeviceRect.top + FOrigin.y, DeviceRect.right + FOrigin.x,
              DeviceRect.bottom + FOrigin.y};
  if (ExtraClip) {
    bounds.left = std::max<LONG>(bounds.left, ExtraClip->left + FOrigin.x);
    bounds.top = std::max<LONG>(bounds.top, ExtraClip->top + FOrigin.y);
    bounds.right = std::min<LONG>(bounds.right, ExtraClip->right + FOrigin.x);
    bounds.bottom = std::min<LONG>(bounds.bottom, ExtraClip->bottom + FOrigin.y);
  }
  uint32_t value = ColorToPixel(Color);
  ForEachClipRect(Clip(), bounds, [&](const RECT& r) {
    for (int y = r.top; y < r.bottom; ++y) FillRow(FSurface, r.left, y, r.right - r.left, value);
  });
}

int TDC::Save() {
  RetainState(Handle(), FState);
  FSaved.push_back(FState);
  return int(FSaved.size());
}

bool TDC::Restore(int Level) {
  int count = int(FSaved.size());
  int target = Level < 0 ? count + Level + 1 : Level;
  if (target < 1 || target > count) return false;
  // States above the target are dropped; the target becomes current (its references move
  // from the saved copy to the current state).
  TDCState restored = FSaved[size_t(target - 1)];
  for (int i = count - 1; i >= target; --i) ReleaseState(FSaved[size_t(i)]);
  FSaved.resize(size_t(target - 1));
  TDCState previous = std::move(FState);
  FState = std::move(restored);
  ReleaseState(previous);
  RefreshSurface();
  return true;
}

HGDIOBJ TDC::Select(TGdiObject* Object) {
  if (!Object) return nullptr;
  HGDIOBJ* slot = nullptr;
  switch (Object->Kind()) {
    case OBJ_PEN:
      slot = reinterpret_cast<HGDIOBJ*>(&FState.Pen);
      break;
    case OBJ_BRUSH:
      slot = reinterpret_cast<HGDIOBJ*>(&FState.Brush);
      break;
    case OBJ_FONT:
      slot = reinterpret_cast<HGDIOBJ*>(&FState.Font);
      break;
    case OBJ_PAL:
      slot = reinterpret_cast<HGDIOBJ*>(&FState.Palette);
      break;
    case OBJ_BITMAP: {
      if (Kind() != OBJ_MEMDC) return nullptr;
      auto* bitmap = static_cast<TBitmapObject*>(Object);
      if (bitmap->SelectedInto && bitmap->SelectedInto != Handle()) return nullptr;
      slot = reinterpret_cast<HGDIOBJ*>(&FState.Bitmap);
      break;
    }
    default:
      return nullptr;
  }
  HGDIOBJ previous = *slot;
  ReplaceSelection(*slot, Object->Handle());
  if (Object->Kind() == OBJ_BITMAP) RefreshSurface();
  return previous;
}

void TDC::ReplaceSelection(HGDIOBJ& Slot, HGDIOBJ Value) {
  HGDIOBJ previous = Slot;
  if (previous == Value) return;
  Retain(Handle(), Value);
  Slot = Value;
  Release(previous);
}

TGdiObject* TDC::FontObject() const {
  return GdiGetObject(FState.Font, OBJ_FONT);
}

// ---------------------------------------------------------------------------------------------

TDC* GdiGetDC(HDC Handle) {
  TGdiObject* object = GdiGetObject(Handle);
  if (!object || (object->Kind() != OBJ_DC && object->Kind() != OBJ_MEMDC)) return nullptr;
  return static_cast<TDC*>(object);
}

HDC CreateCompatibleDC(HDC Reference) {
  if (Reference && !GdiGetDC(Reference)) return nullptr;
  return GdiHandleAs<HDC>(GdiAddObject(std::make_unique<TDC>(OBJ_MEMDC)));
}

BOOL DeleteDC(HDC DC) {
  if (!GdiGetDC(DC)) return FALSE;
  return GdiDestroyObject(DC) ? TRUE : FALSE;
}

HDC GdiCreateSurfaceDC(const TPixelSurface& Surface, POINT Origin, std::optional<TRegion> Visible) {
  auto dc = std::make_unique<TDC>(OBJ_DC);
  dc->SetView(Surface, Origin, std::move(Visible));
  return GdiHandleAs<HDC>(GdiAddObject(std::move(dc)));
}

HDC GdiCreateScreenDC() {
  return GdiHandleAs<HDC>(GdiAddObject(std::make_unique<TDC>(OBJ_DC)));
}

void GdiSetScreenBitsPerPixel(int BitsPerPixel) {
  ScreenBitsPerPixel = BitsPerPixel;
}
int GdiScreenBitsPerPixel() {
  return ScreenBitsPerPixel;
}

HGDIOBJ SelectObject(HDC DC, HGDIOBJ Object) {
  TDC* dc = GdiGetDC(DC);
  TGdiObject* object = GdiGetObject(Object);
  if (!dc || !object) return nullptr;
  if (object->Kind() == OBJ_REGION)
    return reinterpret_cast<HGDIOBJ>(intptr_t(SelectClipRgn(DC, GdiHandleAs<HRGN>(Object))));
  if (object->Kind() == OBJ_PAL) return nullptr;  // palettes go through SelectPalette
  return dc->Select(object);
}

HGDIOBJ GetCurrentObject(HDC DC, UINT Kind) {
  TDC* dc = GdiGetDC(DC);
  if (!dc) return nullptr;
  switch (Kind) {
    case OBJ_PEN:
      return dc->State().Pen;
    case OBJ_BRUSH:
      return dc->State().Brush;
    case OBJ_FONT:
      return dc->State().Font;
    case OBJ_BITMAP:
      return dc->State().Bitmap;
    case OBJ_PAL:
      return dc->State().Palette;
    default:
      return nullptr;
  }
}

int SaveDC(HDC DC) {
  TDC* dc = GdiGetDC(DC);
  return dc ? dc->Save() : 0;
}

BOOL RestoreDC(HDC DC, int SavedDC) {
  TDC* dc = GdiGetDC(DC);
  return dc && dc->Restore(SavedDC) ? TRUE : FALSE;
}

// Setters answer the previous value, or the API's error value for an unknown DC.
#define KORCAM_DC_PROPERTY(Type, Getter, Setter, Field, ErrorValue) \
  Type Setter(HDC DC, Type Value) {                                 \
    TDC* dc = GdiGetDC(DC);                                         \
    if (!dc) return ErrorValue;                                     \
    Type previous = dc->State().Field;                              \
    dc->State().Field = Value;                                      \
    return previous;                                                \
  }                                                                 \
  Type Getter(HDC DC) {                                             \
    TDC* dc = GdiGetDC(DC);                                         \
    return dc ? dc->State().Field : ErrorValue;                     \
  }

KORCAM_DC_PROPERTY(COLORREF, GetTextColor, SetTextColor, TextColor, CLR_INVALID)
KORCAM_DC_PROPERTY(COLORREF, GetBkColor, SetBkColor, BkColor, CLR_INVALID)
KORCAM_DC_PROPERTY(UINT, GetTextAlign, SetTextAlign, TextAlign, GDI_ERROR)
KORCAM_DC_PROPERTY(COLORREF, GetDCBrushColor, SetDCBrushColor, DCBrushColor, CLR_INVALID)
KORCAM_DC_PROPERTY(COLORREF, GetDCPenColor, SetDCPenColor, DCPenColor, CLR_INVALID)
KORCAM_DC_PROPERTY(int, GetTextCharacterExtra, SetTextCharacterExtra, CharacterExtra, 0x80000000)
#undef KORCAM_DC_PROPERTY

// Mode setters refuse values outside their range (answer 0, change nothing).
#define KORCAM_DC_MODE(Getter, Setter, Field, Lowest, Highest)  \
  int Setter(HDC DC, int Value) {                               \
    TDC* dc = GdiGetDC(DC);                                     \
    if (!dc || Value < (Lowest) || Value > (Highest)) return 0; \
    int previous = dc->State().Field;                           \
    dc->State().Field = Value;                                  \
    return previous;                                            \
  }                                                             \
  int Getter(HDC DC) {                                          \
    TDC* dc = GdiGetDC(DC);                                     \
    return dc ? dc->State().Field : 0;                          \
  }

KORCAM_DC_MODE(GetBkMode, SetBkMode, BkMode, TRANSPARENT, OPAQUE)
KORCAM_DC_MODE(GetROP2, SetROP2, Rop2, R2_BLACK, R2_WHITE)
KORCAM_DC_MODE(GetStretchBltMode, SetStretchBltMode, StretchBltMode, BLACKONWHITE, HALFTONE)
KORCAM_DC_MODE(GetPolyFillMode, SetPolyFillMode, PolyFillMode, ALTERNATE, WINDING)
KORCAM_DC_MODE(GetMapMode, SetMapMode, MapMode, MM_TEXT, MM_ANISOTROPIC)
#undef KORCAM_DC_MODE

static BOOL SetPointField(HDC DC, POINT TDCState::*Field, int X, int Y, LPPOINT Previous, bool Relative) {
  TDC* dc = GdiGetDC(DC);
  if (!dc) return FALSE;
  POINT& point = dc->State().*Field;
  if (Previous) *Previous = point;
  if (Relative) {
    point.x += X;
    point.y += Y;
  } else {
    point = POINT{X, Y};
  }
  return TRUE;
}

static BOOL GetPointField(HDC DC, POINT TDCState::*Field, LPPOINT Result) {
  TDC* dc = GdiGetDC(DC);
  if (!dc || !Result) return FALSE;
  *Result = dc->State().*Field;
  return TRUE;
}

BOOL SetWindowOrgEx(HDC DC, int X, int Y, LPPOINT Previous) {
  return SetPointField(DC, &TDCState::WindowOrg, X, Y, Previous, false);
}
BOOL GetWindowOrgEx(HDC DC, LPPOINT Origin) {
  return GetPointField(DC, &TDCState::WindowOrg, Origin);
}
BOOL OffsetWindowOrgEx(HDC DC, int DX, int DY, LPPOINT Previous) {
  return SetPointField(DC, &TDCState::WindowOrg, DX, DY, Previous, true);
}
BOOL SetViewportOrgEx(HDC DC, int X, int Y, LPPOINT Previous) {
  return SetPointField(DC, &TDCState::ViewportOrg, X, Y, Previous, false);
}
BOOL GetViewportOrgEx(HDC DC, LPPOINT Origin) {
  return GetPointField(DC, &TDCState::ViewportOrg, Origin);
}
BOOL OffsetViewportOrgEx(HDC DC, int DX, int DY, LPPOINT Previous) {
  return SetPointField(DC, &TDCState::ViewportOrg, DX, DY, Previous, true);
}
BOOL SetBrushOrgEx(HDC DC, int X, int Y, LPPOINT Previous) {
  return SetPointField(DC, &TDCState::BrushOrg, X, Y, Previous, false);
}
BOOL GetBrushOrgEx(HDC DC, LPPOINT Origin) {
  return GetPointField(DC, &TDCState::BrushOrg, Origin);
}
BOOL MoveToEx(HDC DC, int X, int Y, LPPOINT Previous) {
  return SetPointField(DC, &TDCState::CurrentPosition, X, Y, Previous, false);
}
BOOL GetCurrentPositionEx(HDC DC, LPPOINT Position) {
  return GetPointField(DC, &TDCState::CurrentPosition, Position);
}

static BOOL SetExtent(HDC DC, SIZE TDCState::*Field, int X, int Y, LPSIZE Previous) {
  TDC* dc = GdiGetDC(DC);
  if (!dc) return FALSE;
  SIZE& size = dc->State().*Field;
  if (Previous) *Previous = size;
  // Extents only matter in the scaled mapping modes, as on the platform.
  if (dc->State().MapMode == MM_TEXT) return TRUE;
  if (X == 0 || Y == 0) return FALSE;
  size = SIZE{X, Y};
  return TRUE;
}

BOOL SetWindowExtEx(HDC DC, int X, int Y, LPSIZE Previous) {
  return SetExtent(DC, &TDCState::WindowExt, X, Y, Previous);
}
BOOL SetViewportExtEx(HDC DC, int X, int Y, LPSIZE Previous) {
  return SetExtent(DC, &TDCState::ViewportExt, X, Y, Previous);
}

BOOL GetDCOrgEx(HDC DC, LPPOINT Origin) {
  TDC* dc = GdiGetDC(DC);
  if (!dc || !Origin) return FALSE;
  *Origin = dc->Origin();
  return TRUE;
}

BOOL LPtoDP(HDC DC, LPPOINT Points, int Count) {
  TDC* dc = GdiGetDC(DC);
  if (!dc || (!Points && Count > 0)) return FALSE;
  for (int i = 0; i < Count; ++i) Points[i] = dc->LogicalToDevice(Points[i]);
  return TRUE;
}

BOOL DPtoLP(HDC DC, LPPOINT Points, int Count) {
  TDC* dc = GdiGetDC(DC);
  if (!dc || (!Points && Count > 0)) return FALSE;
  for (int i = 0; i < Count; ++i) Points[i] = dc->DeviceToLogical(Points[i]);
  return TRUE;
}

// ---------------------------------------------------------------------------------------------
// Clipping.

static int ClipComplexity(TDC& DC) {
  TRegion clip(DC.Clip());
  return clip.Complexity();
}

int SelectClipRgn(HDC DC, HRGN Region) {
  return ExtSelectClipRgn(DC, Region, RGN_COPY);
}

int ExtSelectClipRgn(HDC DC, HRGN Region, int Mode) {
  TDC* dc = GdiGetDC(DC);
  if (!dc) return ERROR;
  TRegion* region = GdiGetRegion(Region);
  auto& clip = dc->State().ClipRegion;
  if (Mode == RGN_COPY) {
    if (Region && !region) return ERROR;
    if (region)
      clip = *region;
    else
      clip.reset();
  } else {
    if (!region) return ERROR;
    TRegion current = clip ? *clip : WholeDevice();
    switch (Mode) {
      case RGN_AND:
        current.Intersect(*region);
        break;
      case RGN_OR:
        current.Union(*region);
        break;
      case RGN_XOR:
        current.Xor(*region);
        break;
      case RGN_DIFF:
        current.Subtract(*region);
        break;
      default:
        return ERROR;
    }
    clip = std::move(current);
  }
  dc->InvalidateClip();
  return ClipComplexity(*dc);
}

static RECT OrderedDeviceRect(TDC& DC, int Left, int Top, int Right, int Bottom) {
  RECT r = DC.LogicalToDevice(RECT{Left, Top, Right, Bottom});
  if (r.left > r.right) std::swap(r.left, r.right);
  if (r.top > r.bottom) std::swap(r.top, r.bottom);
  return r;
}

int IntersectClipRect(HDC DC, int Left, int Top, int Right, int Bottom) {
  TDC* dc = GdiGetDC(DC);
  if (!dc) return ERROR;
  auto& clip = dc->State().ClipRegion;
  TRegion current = clip ? *clip : WholeDevice();
  current.Intersect(OrderedDeviceRect(*dc, Left, Top, Right, Bottom));
  clip = std::move(current);
  dc->InvalidateClip();
  return ClipComplexity(*dc);
}

int ExcludeClipRect(HDC DC, int Left, int Top, int Right, int Bottom) {
  TDC* dc = GdiGetDC(DC);
  if (!dc) return ERROR;
  auto& clip = dc->State().ClipRegion;
  TRegion current = clip ? *clip : WholeDevice();
  current.Subtract(OrderedDeviceRect(*dc, Left, Top, Right, Bottom));
  clip = std::move(current);
  dc->InvalidateClip();
  return ClipComplexity(*dc);
}

int OffsetClipRgn(HDC DC, int DX, int DY) {
  TDC* dc = GdiGetDC(DC);
  if (!dc) return ERROR;
  auto& clip = dc->State().ClipRegion;
  if (clip) clip->Offset(DX, DY);
  dc->InvalidateClip();
  return ClipComplexity(*dc);
}

int GetClipBox(HDC DC, LPRECT Rect) {
  TDC* dc = GdiGetDC(DC);
  if (!dc || !Rect) return ERROR;
  const TRegion& clip = dc->Clip();
  if (clip.IsEmpty()) {
    *Rect = RECT{0, 0, 0, 0};
    return NULLREGION;
  }
  RECT box = clip.Bounds();
  POINT origin = dc->Origin();
  POINT a = dc->DeviceToLogical(POINT{box.left - origin.x, box.top - origin.y});
  POINT b = dc->DeviceToLogical(POINT{box.right - origin.x, box.bottom - origin.y});
  *Rect = RECT{a.x, a.y, b.x, b.y};
  return clip.Complexity();
}

int GetClipRgn(HDC DC, HRGN Region) {
  TDC* dc = GdiGetDC(DC);
  TRegion* region = GdiGetRegion(Region);
  if (!dc || !region) return -1;
  if (!dc->State().ClipRegion) return 0;
  *region = *dc->State().ClipRegion;
  return 1;
}

BOOL PtVisible(HDC DC, int X, int Y) {
  TDC* dc = GdiGetDC(DC);
  if (!dc) return FALSE;
  POINT p = dc->LogicalToSurface(POINT{X, Y});
  return dc->Clip().Contains(p.x, p.y) ? TRUE : FALSE;
}

BOOL RectVisible(HDC DC, const RECT* Rect) {
  TDC* dc = GdiGetDC(DC);
  if (!dc || !Rect) return FALSE;
  RECT r = dc->LogicalToSurface(*Rect);
  if (r.left > r.right) std::swap(r.left, r.right);
  if (r.top > r.bottom) std::swap(r.top, r.bottom);
  return dc->Clip().Intersects(r) ? TRUE : FALSE;
}
