#pragma once
// Text output and measuring on device contexts: TextOut, ExtTextOut, DrawText(Ex),
// GetTextExtentPoint32, GetTextExtentExPoint and SetTextJustification. Strings are UTF-8; the
// counts are byte counts as the callers pass them, and every character step is a code point.
//
// A string is drawn with the DC's text colour through its clip; in OPAQUE background mode its
// cell (the advances by the font's height) is first filled with the background colour. The
// reference point follows the DC's text alignment (left, centre or right; top, baseline or
// bottom) and, with TA_UPDATECP, the current position. A font with an escapement runs along the
// rotated baseline around the reference point; measuring is always done unrotated.

#include "platform/gdi/dc.h"
#include "platform/gdi/font.h"
#include "platform/gdi/textlayout.h"
#include "platform/rtl/wintypes.h"

constexpr UINT ETO_OPAQUE = 0x0002;
constexpr UINT ETO_CLIPPED = 0x0004;
constexpr UINT ETO_GLYPH_INDEX = 0x0010;
constexpr UINT ETO_RTLREADING = 0x0080;
constexpr UINT ETO_IGNORELANGUAGE = 0x1000;

struct DRAWTEXTPARAMS {
  UINT cbSize;
  int iTabLength;
  int iLeftMargin;
  int iRightMargin;
  UINT uiLengthDrawn;
};
using LPDRAWTEXTPARAMS = DRAWTEXTPARAMS*;

BOOL TextOutA(HDC DC, int X, int Y, LPCSTR Text, int Count);
inline BOOL TextOut(HDC DC, int X, int Y, LPCSTR Text, int Count) {
  return TextOutA(DC, X, Y, Text, Count);
}
// ETO_OPAQUE fills Rect with the background colour (whatever the background mode), ETO_CLIPPED
// clips the text to it. Dx, when given, holds the advance of every character (code point).
BOOL ExtTextOutA(HDC DC, int X, int Y, UINT Options, const RECT* Rect, LPCSTR Text, UINT Count,
                 const INT* Dx);
inline BOOL ExtTextOut(HDC DC, int X, int Y, UINT Options, const RECT* Rect, LPCSTR Text,
                       UINT Count, const INT* Dx) {
  return ExtTextOutA(DC, X, Y, Options, Rect, Text, Count, Dx);
}

// Formatted text in a rectangle (see textlayout.h for the flags). Count -1 means a
// NUL-terminated string. Answers the text's height (from the rectangle's top to the text's
// bottom when centred or bottom-aligned), 0 on failure. With DT_CALCRECT nothing is drawn and
// Rect receives the size the text needs. A rotated font lays the lines out from the rectangle's
// top-left corner along its baseline.
int DrawTextA(HDC DC, LPCSTR Text, int Count, LPRECT Rect, UINT Format);
inline int DrawText(HDC DC, LPCSTR Text, int Count, LPRECT Rect, UINT Format) {
  return DrawTextA(DC, Text, Count, Rect, Format);
}
int DrawTextExA(HDC DC, LPCSTR Text, int Count, LPRECT Rect, UINT Format,
                LPDRAWTEXTPARAMS Params);
inline int DrawTextEx(HDC DC, LPCSTR Text, int Count, LPRECT Rect, UINT Format,
                      LPDRAWTEXTPARAMS Params) {
  return DrawTextExA(DC, Text, Count, Rect, Format, Params);
}

// Width (sum of advances plus the character extra) and height (the font's cell) of a string.
BOOL GetTextExtentPoint32A(HDC DC, LPCSTR Text, int Count, LPSIZE Size);
inline BOOL GetTextExtentPoint32(HDC DC, LPCSTR Text, int Count, LPSIZE Size) {
  return GetTextExtentPoint32A(DC, Text, Count, Size);
}
BOOL GetTextExtentPointA(HDC DC, LPCSTR Text, int Count, LPSIZE Size);
inline BOOL GetTextExtentPoint(HDC DC, LPCSTR Text, int Count, LPSIZE Size) {
  return GetTextExtentPointA(DC, Text, Count, Size);
}
// Also how many characters fit in MaxExtent (into Fit, when given) and the running width after
// each character (into Dx, one entry per code point, when given).
BOOL GetTextExtentExPointA(HDC DC, LPCSTR Text, int Count, int MaxExtent, LPINT Fit, LPINT Dx,
                           LPSIZE Size);
inline BOOL GetTextExtentExPoint(HDC DC, LPCSTR Text, int Count, int MaxExtent, LPINT Fit,
                                 LPINT Dx, LPSIZE Size) {
  return GetTextExtentExPointA(DC, Text, Count, MaxExtent, Fit, Dx, Size);
}

// The next text output spreads BreakExtra pixels over the blanks of its string: each of the
// first BreakCount blanks gets BreakExtra / BreakCount, and the remainder goes one pixel each to
// the first blanks. (0, 0) switches it off.
BOOL SetTextJustification(HDC DC, int BreakExtra, int BreakCount);
