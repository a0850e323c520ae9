#include "vcontrols/common/vccommon.h"

#include <utility>

#include "platform/rtl/format.h"
#include "platform/rtl/stringlist.h"
#include "platform/rtl/sysutils.h"

const char* const vcVersion = "3000.04";

// --- colour -----------------------------------------------------------------------------------

void SplitColor(TColor Color, uint8_t& Top, uint8_t& Blue, uint8_t& Green, uint8_t& Red) {
  const uint32_t rgb = uint32_t(ColorToRGB(Color));
  Top = uint8_t(rgb >> 24);
  Blue = uint8_t(rgb >> 16);
  Green = uint8_t(rgb >> 8);
  Red = uint8_t(rgb);
}

std::string ColorBytesToHex(uint8_t First, uint8_t Second, uint8_t Third) {
  return Format("%2.2x%2.2x%2.2x", int(First), int(Second), int(Third));
}

std::string ColorToRGBText(TColor Color) {
  const uint32_t rgb = uint32_t(ColorToRGB(Color));
  return "RGB: " + IntToStr(rgb & 0xFF) + ", " + IntToStr((rgb >> 8) & 0xFF) + ", " +
         IntToStr((rgb >> 16) & 0xFF);
}

namespace {

int32_t AdjustChannel(int32_t Value, int32_t Amount, bool AsPercent) {
  int64_t result;
  if (!AsPercent)
    result = int64_t(Value) + Amount;
  else if (Amount > 0)
    result = Value + ((255 - Value) * int64_t(Amount)) / 100;
  else
    result = Value + (Value * int64_t(Amount)) / 100;
  return result < 0 ? 0 : result > 255 ? 255 : int32_t(result);
}

}  // namespace

TColor AdjustColor(TColor Color, int32_t Amount, bool AsPercent) {
  const uint32_t rgb = uint32_t(ColorToRGB(Color));
  const int32_t red = AdjustChannel(rgb & 0xFF, Amount, AsPercent);
  const int32_t blue = AdjustChannel((rgb >> 16) & 0xFF, Amount, AsPercent);
  const int32_t green = AdjustChannel((rgb >> 8) & 0xFF, Amount, AsPercent);
  return TColor(red | green << 8 | blue << 16);
}

uint8_t MaxChannel(TColor Color) {
  const uint32_t rgb = uint32_t(ColorToRGB(Color));
  uint8_t result = uint8_t(rgb);
  if (uint8_t(rgb >> 8) > result) result = uint8_t(rgb >> 8);
  if (uint8_t(rgb >> 16) > result) result = uint8_t(rgb >> 16);
  return result;
}

// --- texts and string lists -------------------------------------------------------------------

namespace {

bool IsBlank(char C) {
  return C == ' ' || C == '\t';
}

}  // namespace

void TrimLeftBlanks(std::string& Text) {
  size_t first = 0;
  while (first < Text.size() && IsBlank(Text[first])) ++first;
  Text.erase(0, first);
}

void TrimRightBlanks(std::string& Text) {
  size_t end = Text.size();
  while (end > 0 && IsBlank(Text[end - 1])) --end;
  Text.erase(end);
}

void TrimBlanks(std::string& Text) {
  TrimRightBlanks(Text);
  TrimLeftBlanks(Text);
}

std::string CopyRange(const std::string& Text, int32_t From, int32_t To) {
  if (From < 1) From = 1;
  if (To == 0 || To > int32_t(Text.size()) + 1) To = int32_t(Text.size()) + 1;
  if (From >= To) return {};
  return Text.substr(size_t(From - 1), size_t(To - From));
}

int32_t PosFrom(const std::string& Sub, const std::string& Text, int32_t Start) {
  if (Sub.empty() || Start < 1 || Start > int32_t(Text.size())) return 0;
  const size_t found = Text.find(Sub, size_t(Start - 1));
  return found == std::string::npos ? 0 : int32_t(found) + 1;
}

int32_t NthPos(const std::string& Sub, const std::string& Text, int32_t N) {
  int32_t position = 0;
  for (int32_t i = 0; i <= N; ++i) {
    position = PosFrom(Sub, Text, position + 1);
    if (position == 0) break;
  }
  return position;
}

int32_t CountTokens(const std::string& Text, const std::string& Separator) {
  if (Text.empty()) return 0;
  int32_t count = 1;
  for (int32_t position = PosFrom(Separator, Text, 1); position != 0;
       position = PosFrom(Separator, Text, position + 1))
    ++count;
  return count;
}

std::string GetToken(const std::string& Text, const std::string& Separator, int32_t Index) {
  if (Index < 0 || Index >= CountTokens(Text, Separator)) return {};
  const int32_t start = Index == 0 ? 1 : NthPos(Separator, Text, Index - 1) + int32_t(Separator.size());
  const int32_t end = NthPos(Separator, Text, Index);
  return CopyRange(Text, start, end == 0 ? 0 : end);
}

int32_t TokenIndex(const std::string& Text, const std::string& Separator, const std::string& Token) {
  const int32_t count = CountTokens(Text, Separator);
  for (int32_t i = 0; i < count; ++i)
    if (GetToken(Text, Separator, i) == Token) return i;
  return -1;
}

std::string ReplaceAll(const std::string& Text, const std::string& Find, const std::string& Replacement) {
  if (Find.empty()) return Text;
  std::string result;
  size_t from = 0;
  for (size_t found = Text.find(Find); found != std::string::npos; found = Text.find(Find, from)) {
    result.append(Text, from, found - from).append(Replacement);
    from = found + Find.size();
  }
  return result.append(Text, from);
}

std::string StripAccelerators(const std::string& Caption) {
  std::string result;
  for (size_t i = 0; i < Caption.size(); ++i) {
    if (Caption[i] != '&') {
      result += Caption[i];
    } else if (i + 1 < Caption.size() && Caption[i + 1] == '&') {
      result += '&';
      ++i;
    }
  }
  return result;
}

std::string GetNextToken(const std::string& Text, int32_t& Position, int32_t Flags,
                         std::string_view Delimiters) {
  const int32_t length = int32_t(Text.size());
  if (Position <= 0 || Position > length) return {};
  auto at = [&](int32_t P) { return Text[size_t(P - 1)]; };
  if (Flags & gtSkipBlanks) {
    while (Position <= length && IsBlank(at(Position))) ++Position;
    if (Position > length) return {};
  }
  if ((Flags & gtQuoted) && at(Position) == '"') {
    const int32_t closing = PosFrom("\"", Text, Position + 1);
    std::string token;
    if (closing != 0) {
      token = CopyRange(Text, Position, closing + 1);
      Position = closing + 1;
    } else {
      token = CopyRange(Text, Position, 0);
      Position = length + 1;
    }
    if ((Flags & gtStripQuotes) && !token.empty() && (token.front() == '"' || token.front() == '\'')) {
      token.erase(0, 1);
      if (!token.empty() && (token.back() == '"' || token.back() == '\'')) token.pop_back();
    }
    return token;
  }
  const int32_t lowest = (Flags & gtBlanksInToken) ? 32 : 33;
  int32_t stop = Position;
  while (stop <= length && Delimiters.find(at(stop)) == std::string_view::npos && uint8_t(at(stop)) >= lowest)
    ++stop;
  const int32_t end = stop > Position ? stop : Position + 1;  // at least one character
  std::string token = CopyRange(Text, Position, end);
  Position = token.size() >= 2 ? stop : stop + 1;
  return token;
}

std::string GetListString(const TStrings& List, int32_t Index) {
  return List.Get(Index);
}

std::string GetNameAt(const TStrings& List, int32_t Index) {
  if (Index < 0) return {};
  const std::string entry = List.Get(Index);
  const size_t equals = entry.find('=');
  return equals == std::string::npos ? entry : entry.substr(0, equals);
}

std::string GetValueAt(const TStrings& List, int32_t Index) {
  std::string entry = List.Get(Index);
  const size_t equals = entry.find('=');
  if (equals != std::string::npos) entry.erase(0, equals + 1);
  TrimBlanks(entry);
  return entry;
}

TColor GetColorValueAt(const TStrings& List, int32_t Index) {
  return StringToColor("$" + GetValueAt(List, Index));
}

int32_t IndexOfValue(const std::string& Value, const TStrings& List) {
  for (int32_t i = 0; i < List.Count(); ++i)
    if (GetValueAt(List, i) == Value) return i;
  return -1;
}

int32_t IndexOfName(const std::string& Name, const TStrings& List) {
  const std::string wanted = AnsiUpperCase(Name);
  for (int32_t i = 0; i < List.Count(); ++i)
    if (AnsiUpperCase(GetNameAt(List, i)) == wanted) return i;
  return -1;
}

void SortStrings(TStrings& List, int32_t Low, int32_t High, const TvcStringGetter& Getter,
                 const TvcStringCompare& Compare) {
  int32_t i;
  do {
    i = Low;
    int32_t j = High;
    const std::string pivot = Getter(List, (Low + High) / 2);
    do {
      while (Compare(Getter(List, i), pivot) < 0) ++i;
      while (Compare(Getter(List, j), pivot) > 0) --j;
      if (i <= j) {
        if (i != j) {
          const std::string text = List.Get(i);
          List.Put(i, List.Get(j));
          List.Put(j, text);
        }
        ++i;
        --j;
      }
    } while (i <= j);
    if (Low < j) SortStrings(List, Low, j, Getter, Compare);
    Low = i;
  } while (i < High);
}

// --- geometry ---------------------------------------------------------------------------------

RECT IntersectRects(const RECT& A, const RECT& B) {
  RECT result{Max(A.left, B.left), Max(A.top, B.top), Min(A.right, B.right), Min(A.bottom, B.bottom)};
  if (result.right <= result.left || result.bottom <= result.top) result = RECT{0, 0, 0, 0};
  return result;
}

namespace {

// True when the height decides the fitted size; the comparison is made in floating point.
bool HeightDecides(int32_t Width, int32_t Height, int32_t PictureWidth, int32_t PictureHeight) {
  return (long double)PictureHeight / Height >= (long double)PictureWidth / Width;
}

bool Degenerate(const RECT& Rect, int32_t PictureWidth, int32_t PictureHeight) {
  return RectWidth(Rect) <= 0 || RectHeight(Rect) <= 0 || PictureWidth <= 0 || PictureHeight <= 0;
}

}  // namespace

RECT ProportionalRect(const RECT& Rect, int32_t PictureWidth, int32_t PictureHeight) {
  if (Degenerate(Rect, PictureWidth, PictureHeight)) return RECT{Rect.left, Rect.top, Rect.left, Rect.top};
  const int32_t w = RectWidth(Rect), h = RectHeight(Rect);
  if (HeightDecides(w, h, PictureWidth, PictureHeight))
    return RECT{Rect.left, Rect.top, Rect.left + int32_t((int64_t(h) * PictureWidth) / PictureHeight),
                Rect.top + h};
  return RECT{Rect.left, Rect.top, Rect.left + w,
              Rect.top + int32_t((int64_t(w) * PictureHeight) / PictureWidth)};
}

RECT ProportionalCenterRect(const RECT& Rect, int32_t PictureWidth, int32_t PictureHeight) {
  if (Degenerate(Rect, PictureWidth, PictureHeight)) return RECT{Rect.left, Rect.top, Rect.left, Rect.top};
  const int32_t w = RectWidth(Rect), h = RectHeight(Rect);
  if (HeightDecides(w, h, PictureWidth, PictureHeight)) {
    const int32_t fitted = int32_t((int64_t(h) * PictureWidth) / PictureHeight);
    const int32_t offset = int32_t((w - (long double)h / PictureHeight * PictureWidth) / 2);
    return RECT{Rect.left + offset, Rect.top, Rect.left + fitted + offset, Rect.top + h};
  }
  const int32_t fitted = int32_t((int64_t(w) * PictureHeight) / PictureWidth);
  const int32_t offset = int32_t((h - (long double)w / PictureWidth * PictureHeight) / 2);
  return RECT{Rect.left, Rect.top + offset, Rect.left + w, Rect.top + fitted + offset};
}

void CalcGlyphTextLayout(const POINT& Center, RECT* CaptionRect, RECT* GlyphRect, const SIZE& CaptionSize,
                         const SIZE& GlyphSize, int32_t Layout, int32_t Spacing) {
  if (GlyphSize.cx == 0 || GlyphSize.cy == 0) Spacing = (Spacing - 6) / 2;
  // Flags per axis: 1 the glyph takes part, 2 the caption takes part, 4 this item comes second.
  static const int32_t flags[4][4] = {{7, 2, 3, 1}, {3, 2, 7, 1}, {2, 7, 1, 3}, {2, 3, 1, 7}};
  const int32_t* f = flags[Layout >= 0 && Layout < 4 ? Layout : 0];
  auto place = [&](int32_t Flags, bool Vertical, int32_t OtherExtent) {
    const int32_t glyph = Vertical ? GlyphSize.cy + 1 : GlyphSize.cx;
    const int32_t caption = Vertical ? CaptionSize.cy : CaptionSize.cx;
    const int32_t extent =
        ((Flags & 3) == 3 ? Spacing : 0) + ((Flags & 1) ? glyph : 0) + ((Flags & 2) ? caption : 0);
    int32_t position = (Vertical ? Center.y : Center.x) - extent / 2;
    if (Flags & 4) position += Spacing + OtherExtent;
    return position;
  };
  if (CaptionRect) {
    const int32_t x = place(f[0], false, GlyphSize.cx), y = place(f[1], true, GlyphSize.cy);
    *CaptionRect = RECT{x, y, x + CaptionSize.cx, y + CaptionSize.cy};
  }
  if (GlyphRect) {
    const int32_t x = place(f[2], false, CaptionSize.cx), y = place(f[3], true, CaptionSize.cy);
    *GlyphRect = RECT{x, y, x + GlyphSize.cx, y + GlyphSize.cy};
  }
}
