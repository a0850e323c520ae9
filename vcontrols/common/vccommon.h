#pragma once
// The shared routines of the visual control library that need no window: colour arithmetic and
// colour texts, small text and token tools over strings and string lists, and the rectangle
// arithmetic of layouts (proportional fitting, the glyph-and-caption layout of the buttons).
// Positions in texts are 1-based byte positions, as the runtime library's Pos and Copy count.

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "platform/classes/typinfo.h"
#include "platform/forms/imagelist.h"
#include "platform/forms/imagelistapi.h"
#include "platform/gdi/colors.h"
#include "platform/rtl/wintypes.h"

class TStrings;

// The library's version text.
extern const char* const vcVersion;

KORCAM_ENUM(TvcLayout, loVertical, loHorizontal)

// --- colour -----------------------------------------------------------------------------------

// The bytes of ColorToRGB(Color), top byte first.
void SplitColor(TColor Color, uint8_t& Top, uint8_t& Blue, uint8_t& Green, uint8_t& Red);
// Six hexadecimal digits, the bytes in argument order, in upper case like IntToHex: colour
// texts are compared with IntToHex texts, and a lower-case text would never match one.
std::string ColorBytesToHex(uint8_t First, uint8_t Second, uint8_t Third);
// "RGB: 255, 0, 0".
std::string ColorToRGBText(TColor Color);
// Each channel moved by Amount: with AsPercent, toward white (Amount > 0) or black by that
// percentage of the distance; otherwise by Amount itself; clamped to 0 ... 255.
TColor AdjustColor(TColor Color, int32_t Amount, bool AsPercent);
uint8_t MaxChannel(TColor Color);
// ColorToImageListColor (clNone to CLR_NONE, clDefault to CLR_DEFAULT, else the RGB value) is
// the class library's own, from platform/forms/imagelist.h.

// --- texts and string lists -------------------------------------------------------------------

// Spaces and tabs, in place.
void TrimLeftBlanks(std::string& Text);
void TrimRightBlanks(std::string& Text);
void TrimBlanks(std::string& Text);
// The text from position From up to before position To; To = 0 means to the end.
std::string CopyRange(const std::string& Text, int32_t From, int32_t To);
// The first position of Sub at or after Start, 0 when none.
int32_t PosFrom(const std::string& Sub, const std::string& Text, int32_t Start);
// The position of the (N + 1)-th occurrence of Sub (overlapping occurrences count).
int32_t NthPos(const std::string& Sub, const std::string& Text, int32_t N);
// 0 for an empty text, else 1 + the number of positions where Separator starts.
int32_t CountTokens(const std::string& Text, const std::string& Separator);
// The Index-th (0-based) piece between separators; empty past the last.
std::string GetToken(const std::string& Text, const std::string& Separator, int32_t Index);
// The index of the first piece equal to Token, -1 when none.
int32_t TokenIndex(const std::string& Text, const std::string& Separator, const std::string& Token);
// Every non-overlapping occurrence, left to right.
std::string ReplaceAll(const std::string& Text, const std::string& Find, const std::string& Replacement);
// "&&" becomes "&", any other "&" is dropped.
std::string StripAccelerators(const std::string& Caption);

// Flags of GetNextToken.
constexpr int32_t gtSkipBlanks = 1;     // skip spaces and tabs first
constexpr int32_t gtQuoted = 2;         // a token starting with '"' runs to the closing quote
constexpr int32_t gtStripQuotes = 4;    // and loses its quotes
constexpr int32_t gtBlanksInToken = 8;  // blanks do not end a token
// The next token of Text from Position (1-based, advanced past the token). Characters in
// Delimiters end a token; a token has at least one character, so a delimiter standing alone is
// a token of its own; after a one-character token the position also passes the character that
// ended it.
std::string GetNextToken(const std::string& Text, int32_t& Position, int32_t Flags,
                         std::string_view Delimiters);

std::string GetListString(const TStrings& List, int32_t Index);
// The part before "=" of the entry (empty for index -1), and the part after the first "=",
// trimmed of blanks (the whole entry, trimmed, when it has no "=").
std::string GetNameAt(const TStrings& List, int32_t Index);
std::string GetValueAt(const TStrings& List, int32_t Index);
// The value as a hexadecimal colour number.
TColor GetColorValueAt(const TStrings& List, int32_t Index);
int32_t IndexOfValue(const std::string& Value, const TStrings& List);
// Names compare without regard to case.
int32_t IndexOfName(const std::string& Name, const TStrings& List);

using TvcStringGetter = std::function<std::string(const TStrings& List, int32_t Index)>;
using TvcStringCompare = std::function<int(const std::string& A, const std::string& B)>;
// Quicksort of entries Low ... High in place by Compare(Getter(i), Getter(j)); the texts move,
// the objects attached to entries stay where they are.
void SortStrings(TStrings& List, int32_t Low, int32_t High, const TvcStringGetter& Getter,
                 const TvcStringCompare& Compare);

// --- geometry ---------------------------------------------------------------------------------

inline int32_t Min(int32_t A, int32_t B) {
  return A < B ? A : B;
}
inline int32_t Max(int32_t A, int32_t B) {
  return A > B ? A : B;
}
inline int32_t RectWidth(const RECT& Rect) {
  return Rect.right - Rect.left;
}
inline int32_t RectHeight(const RECT& Rect) {
  return Rect.bottom - Rect.top;
}
inline POINT MakePoint(int32_t X, int32_t Y) {
  return POINT{X, Y};
}
inline bool PointsEqual(const POINT& A, const POINT& B) {
  return A.x == B.x && A.y == B.y;
}
inline int32_t IfThen(bool Flag, int32_t A, int32_t B) {
  return Flag ? A : B;
}
template <class T>
void SetFlag(bool On, T& Flags, T Mask) {
  Flags = On ? T(Flags | Mask) : T(Flags & ~Mask);
}
// The overlap of two rectangles (empty when they do not meet).
RECT IntersectRects(const RECT& A, const RECT& B);
inline bool IsZeroRect(const RECT& Rect) {
  return Rect == RECT{0, 0, 0, 0};
}

// The largest rectangle of the picture's proportions at the rectangle's top-left corner, and
// the same centred on the free axis. An empty rectangle or picture gives an empty rectangle at
// the top-left corner.
RECT ProportionalRect(const RECT& Rect, int32_t PictureWidth, int32_t PictureHeight);
RECT ProportionalCenterRect(const RECT& Rect, int32_t PictureWidth, int32_t PictureHeight);

// Glyph and caption around Center: Layout 0 glyph left, 1 glyph right, 2 glyph top, 3 glyph
// bottom, Spacing pixels between them. Either output may be null.
void CalcGlyphTextLayout(const POINT& Center, RECT* CaptionRect, RECT* GlyphRect, const SIZE& CaptionSize,
                         const SIZE& GlyphSize, int32_t Layout, int32_t Spacing);
