#pragma once
// The small shared types of the class library's graphics classes: font, pen and brush styles,
// pixel formats, transparency modes and the helpers that turn them into device values.
//
// Enumerations that forms set by name are declared with KORCAM_ENUM (their names are the ones
// form texts write: "Style = [fsBold]", "Pen.Style = psDot").

#include <cstdint>
#include <string>

#include "platform/classes/object.h"
#include "platform/classes/typinfo.h"
#include "platform/gdi/colors.h"
#include "platform/rtl/exceptions.h"
#include "platform/rtl/wintypes.h"

KORCAM_EXCEPTION(EResNotFound, Exception);

KORCAM_ENUM(TFontStyle, fsBold, fsItalic, fsUnderline, fsStrikeOut)
using TFontStyles = TSet<TFontStyle>;
KORCAM_ENUM(TFontPitch, fpDefault, fpVariable, fpFixed)
using TFontCharset = uint8_t;
using TFontName = std::string;

KORCAM_ENUM(TPenStyle, psSolid, psDash, psDot, psDashDot, psDashDotDot, psClear, psInsideFrame)
KORCAM_ENUM(TPenMode, pmBlack, pmWhite, pmNop, pmNot, pmCopy, pmNotCopy, pmMergePenNot, pmMaskPenNot,
            pmMergeNotPen, pmMaskNotPen, pmMerge, pmNotMerge, pmMask, pmNotMask, pmXor, pmNotXor)
KORCAM_ENUM(TBrushStyle, bsSolid, bsClear, bsHorizontal, bsVertical, bsFDiagonal, bsBDiagonal, bsCross,
            bsDiagCross)

// The layout of a bitmap's pixels. pfDevice is a device-dependent bitmap at the screen's depth;
// pf15bit is 5-5-5 and pf16bit 5-6-5; pfCustom is a layout none of the others describes.
KORCAM_ENUM(TPixelFormat, pfDevice, pf1bit, pf4bit, pf8bit, pf15bit, pf16bit, pf24bit, pf32bit, pfCustom)
KORCAM_ENUM(TTransparentMode, tmAuto, tmFixed)
KORCAM_ENUM(TBitmapHandleType, bmDIB, bmDDB)

// Raster operations of CopyRect and bitmap drawing (TCanvas::CopyMode).
using TCopyMode = int32_t;
constexpr TCopyMode cmBlackness = 0x00000042;
constexpr TCopyMode cmDstInvert = 0x00550009;
constexpr TCopyMode cmMergeCopy = 0x00C000CA;
constexpr TCopyMode cmMergePaint = 0x00BB0226;
constexpr TCopyMode cmNotSrcCopy = 0x00330008;
constexpr TCopyMode cmNotSrcErase = 0x001100A6;
constexpr TCopyMode cmPatCopy = 0x00F00021;
constexpr TCopyMode cmPatInvert = 0x005A0049;
constexpr TCopyMode cmPatPaint = 0x00FB0A09;
constexpr TCopyMode cmSrcAnd = 0x008800C6;
constexpr TCopyMode cmSrcCopy = 0x00CC0020;
constexpr TCopyMode cmSrcErase = 0x00440328;
constexpr TCopyMode cmSrcInvert = 0x00660046;
constexpr TCopyMode cmSrcPaint = 0x00EE0086;
constexpr TCopyMode cmWhiteness = 0x00FF0062;

// The device resolution the class library's fonts are sized for.
constexpr int ScreenLogPixels = 96;

// Number * Numerator / Denominator rounded half away from zero, as the window API's MulDiv; -1
// when Denominator is 0.
int32_t MulDiv(int32_t Number, int32_t Numerator, int32_t Denominator);

// The binary mix mode (R2_...) of a pen mode.
int PenModeToRop2(TPenMode Mode);

inline RECT Rect(int Left, int Top, int Right, int Bottom) {
  return RECT{Left, Top, Right, Bottom};
}
inline RECT Bounds(int Left, int Top, int Width, int Height) {
  return RECT{Left, Top, Left + Width, Top + Height};
}
inline POINT Point(int X, int Y) {
  return POINT{X, Y};
}
