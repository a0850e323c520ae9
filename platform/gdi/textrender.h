#pragma once
// Drawing one run of text (a string at one position, one font) on a device context: the glyphs,
// the font's underline and strike-out and a prefix underline are gathered into one coverage mask,
// which is blended in the text colour through the DC's clip. Gathering first keeps the edges of
// neighbouring glyphs from being blended twice where their boxes overlap, and clips once per run.
//
// Positions are in "text space": U runs along the baseline, V across it (downward for unrotated
// text), both in pixels from the run's pen origin on the baseline. For a font with an escapement
// the text space is rotated about that origin; every glyph is placed at the rounded rotation of
// its unrotated pen position, so rotated and unrotated runs have the same advances.

#include <string_view>

#include "platform/rtl/wintypes.h"

class TDC;
class TGdiFont;

// Maps text space to device coordinates for one angle.
struct TTextFrame {
  double OriginX = 0;  // device position of text-space (0, 0)
  double OriginY = 0;
  double Cos = 1;
  double Sin = 0;
  int Angle = 0;  // tenths of a degree, 0..3599

  static TTextFrame ForAngle(int Angle, double OriginX, double OriginY);
  double X(double U, double V) const { return OriginX + U * Cos + V * Sin; }
  double Y(double U, double V) const { return OriginY - U * Sin + V * Cos; }
  // The frame moved to text-space point (U, V).
  TTextFrame Moved(double U, double V) const;
};

struct TRunDecoration {
  bool Underline = false;
  bool StrikeOut = false;
  // A prefix underline from U to U + Width (Width 0 = none).
  int PrefixU = 0;
  int PrefixWidth = 0;
};

// Draws Text with the given advances (one per code point) in Color. Glyphs are skipped when
// DrawGlyphs is false (the decorations are still drawn). Clip, when given, is a device rectangle
// the run must stay inside. The engine lock must be held.
void RenderTextRun(TDC& DC, TGdiFont& Font, const TTextFrame& Frame, std::u32string_view Text,
                   const int* Advances, bool DrawGlyphs, const TRunDecoration& Decoration,
                   COLORREF Color, const RECT* Clip);

// Fills the run's cell (U from 0 to Width, V from -ascent to +descent) with Color.
void FillTextCell(TDC& DC, TGdiFont& Font, const TTextFrame& Frame, int Width, COLORREF Color,
                  const RECT* Clip);
