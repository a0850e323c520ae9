#pragma once
// The layout half of DrawText: where each line of a formatted text goes, without drawing.
//
// The text is cut into paragraphs at CR LF, CR or LF (not with DT_SINGLELINE); each paragraph
// loses its prefix marks ("&x" underlines x, "&&" is one "&", unless DT_NOPREFIX) and, with
// DT_WORDBREAK, is wrapped at blanks to the rectangle's width. A word wider than the rectangle
// stays whole and overhangs (DT_EDITCONTROL breaks it between characters instead). Lines wider
// than the rectangle end in "..." with DT_END_ELLIPSIS; when drawing with clipping, the last line
// that is shown also takes the rest of its paragraph, so the ellipsis tells that text is missing,
// and nothing after it is laid out. Tabs jump to the next multiple of the tab width (eight
// average characters, or the count in the high byte of the low word with DT_TABSTOP) measured
// from the line's start with DT_EXPANDTABS, and take no room otherwise, like other control
// characters.
//
// Every line is one text cell high (plus the external leading with DT_EXTERNALLEADING).
// Horizontal alignment works per line; vertical centring and bottom alignment only apply to a
// single line (DT_SINGLELINE). DT_CALCRECT reports the rectangle the text needs: the same left
// and top, the widest line's width, the lines' total height.
//
// The layout measures through a callback, so it is exact against any font and testable with a
// fixed-width stand-in.

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/rtl/wintypes.h"

constexpr UINT DT_TOP = 0x00000000;
constexpr UINT DT_LEFT = 0x00000000;
constexpr UINT DT_CENTER = 0x00000001;
constexpr UINT DT_RIGHT = 0x00000002;
constexpr UINT DT_VCENTER = 0x00000004;
constexpr UINT DT_BOTTOM = 0x00000008;
constexpr UINT DT_WORDBREAK = 0x00000010;
constexpr UINT DT_SINGLELINE = 0x00000020;
constexpr UINT DT_EXPANDTABS = 0x00000040;
constexpr UINT DT_TABSTOP = 0x00000080;
constexpr UINT DT_NOCLIP = 0x00000100;
constexpr UINT DT_EXTERNALLEADING = 0x00000200;
constexpr UINT DT_CALCRECT = 0x00000400;
constexpr UINT DT_NOPREFIX = 0x00000800;
constexpr UINT DT_INTERNAL = 0x00001000;
constexpr UINT DT_EDITCONTROL = 0x00002000;
constexpr UINT DT_PATH_ELLIPSIS = 0x00004000;
constexpr UINT DT_END_ELLIPSIS = 0x00008000;
constexpr UINT DT_MODIFYSTRING = 0x00010000;
constexpr UINT DT_RTLREADING = 0x00020000;
constexpr UINT DT_WORD_ELLIPSIS = 0x00040000;
constexpr UINT DT_NOFULLWIDTHCHARBREAK = 0x00080000;
constexpr UINT DT_HIDEPREFIX = 0x00100000;
constexpr UINT DT_PREFIXONLY = 0x00200000;

// What the layout needs to know about the font.
struct TTextMeasure {
  std::function<int(char32_t)> CharWidth;  // advance of one code point
  int Height = 0;                          // text cell height
  int ExternalLeading = 0;
  int AveCharWidth = 0;
};

struct TTextLayoutParams {
  int TabLength = 0;  // in average character widths; 0 = from the flags
  int LeftMargin = 0;
  int RightMargin = 0;
};

// A piece of a line drawn at one position (lines split at expanded tabs).
struct TTextSegment {
  std::u32string Text;
  int X = 0;
};

struct TTextLine {
  std::vector<TTextSegment> Segments;
  int X = 0;  // left of the line
  int Y = 0;  // top of the line's cell
  int Width = 0;
  // The prefix underline under one character: its left and width (Width 0 = none).
  int UnderlineX = 0;
  int UnderlineWidth = 0;
};

struct TTextLayout {
  std::vector<TTextLine> Lines;
  RECT Bounds{};    // the DT_CALCRECT result
  int Height = 0;   // DrawText's answer
  int LengthDrawn = 0;  // code points of the text laid out
  bool DrawGlyphs = true;      // false with DT_PREFIXONLY
  bool DrawUnderlines = true;  // false with DT_HIDEPREFIX or DT_NOPREFIX
};

// Lays Text out in Rect. Format is DrawText's format word.
TTextLayout LayoutText(std::u32string_view Text, const RECT& Rect, UINT Format,
                       const TTextMeasure& Measure, const TTextLayoutParams& Params = {});

// Removes prefix marks from one paragraph: "&&" becomes "&", "&x" becomes "x" (the last such x
// is the underlined one, its index in the result goes to PrefixIndex, -1 when none), a trailing
// single "&" disappears.
std::u32string StripPrefixes(std::u32string_view Text, int* PrefixIndex = nullptr);
