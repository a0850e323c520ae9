#include "platform/gdi/textlayout.h"

#include <algorithm>
#include <cstdint>

namespace {

constexpr char32_t Ampersand = U'&';
constexpr char32_t Blank = U' ';
constexpr char32_t Tab = U'\t';
constexpr std::u32string_view Ellipsis = U"...";

int ClampToInt(int64_t Value) { return int(std::clamp<int64_t>(Value, INT32_MIN, INT32_MAX)); }

// One paragraph after prefix removal, with the source index of every character kept so the
// number of characters laid out can be reported.
struct TParagraph {
  std::u32string Text;
  std::vector<int> Source;  // source index of each character of Text
  int SourceEnd = 0;        // source index just past the paragraph (before its line break)
  int PrefixIndex = -1;
};

class TLayouter {
 public:
  TLayouter(const RECT& Rect, UINT Format, const TTextMeasure& Measure,
            const TTextLayoutParams& Params)
      : FRect(Rect), FFormat(Format), FMeasure(Measure), FParams(Params) {
    // With DT_TABSTOP the high byte of the low word is the tab size, not flags.
    if (FFormat & DT_TABSTOP) FFormat &= ~UINT(0xFF00);
    int TabChars = 8;
    if (FParams.TabLength > 0)
      TabChars = FParams.TabLength;
    else if ((Format & DT_TABSTOP) && ((Format >> 8) & 0xFF) != 0)
      TabChars = int((Format >> 8) & 0xFF);
    FTabWidth = TabChars * std::max(0, Measure.AveCharWidth);
    FLeft = ClampToInt(int64_t(Rect.left) + Params.LeftMargin);
    FRight = ClampToInt(int64_t(Rect.right) - Params.RightMargin);
    FLineHeight = Measure.Height + ((FFormat & DT_EXTERNALLEADING) ? Measure.ExternalLeading : 0);
  }

  TTextLayout Run(std::u32string_view Text);

 private:
  bool Has(UINT Flag) const { return (FFormat & Flag) != 0; }
  int Available() const {
    return ClampToInt(int64_t(FRight) - FLeft);
  }
  int CharWidth(char32_t Code) const;
  // Width of Text[Begin, End) drawn from the start of a line (tabs expand from there).
  int Width(const std::u32string& Text, size_t Begin, size_t End) const;
  // Advances X over one character of a line.
  int Step(int X, char32_t Code) const;
  std::vector<TParagraph> SplitParagraphs(std::u32string_view Text) const;
  // The end of the line starting at Begin (wrapping), and where the next line starts.
  void NextBreak(const std::u32string& Text, size_t Begin, size_t& End, size_t& Next) const;
  TTextLine MakeLine(const TParagraph& Paragraph, size_t Begin, size_t End);

  RECT FRect;
  UINT FFormat;
  const TTextMeasure& FMeasure;
  TTextLayoutParams FParams;
  int FTabWidth = 0;
  int FLeft = 0;
  int FRight = 0;
  int FLineHeight = 0;
};

int TLayouter::CharWidth(char32_t Code) const {
  if (Code < 0x20 || (Code >= 0x7F && Code < 0xA0)) return 0;
  return FMeasure.CharWidth ? FMeasure.CharWidth(Code) : 0;
}

int TLayouter::Step(int X, char32_t Code) const {
  if (Code == Tab && Has(DT_EXPANDTABS) && FTabWidth > 0) return (X / FTabWidth + 1) * FTabWidth;
  return X + CharWidth(Code);
}

int TLayouter::Width(const std::u32string& Text, size_t Begin, size_t End) const {
  int X = 0;
  for (size_t Index = Begin; Index < End; ++Index) X = Step(X, Text[Index]);
  return X;
}

std::vector<TParagraph> TLayouter::SplitParagraphs(std::u32string_view Text) const {
  std::vector<TParagraph> Paragraphs;
  const bool Prefixes = !Has(DT_NOPREFIX);
  size_t Index = 0;
  while (Index < Text.size() || Paragraphs.empty()) {
    TParagraph Paragraph;
    while (Index < Text.size()) {
      char32_t Code = Text[Index];
      if (!Has(DT_SINGLELINE) && (Code == U'\r' || Code == U'\n')) break;
      if (Prefixes && Code == Ampersand) {
        if (Index + 1 < Text.size() && Text[Index + 1] == Ampersand) {
          Paragraph.Text.push_back(Ampersand);
          Paragraph.Source.push_back(int(Index));
          Index += 2;
          continue;
        }
        ++Index;
        bool BreakFollows = Index < Text.size() && !Has(DT_SINGLELINE) &&
                            (Text[Index] == U'\r' || Text[Index] == U'\n');
        if (Index < Text.size() && !BreakFollows) Paragraph.PrefixIndex = int(Paragraph.Text.size());
        continue;
      }
      Paragraph.Text.push_back(Code);
      Paragraph.Source.push_back(int(Index));
      ++Index;
    }
    Paragraph.SourceEnd = int(Index);
    if (Index < Text.size()) {
      // One break: CR LF, or a lone CR or LF.
      if (Text[Index] == U'\r' && Index + 1 < Text.size() && Text[Index + 1] == U'\n') ++Index;
      ++Index;
    }
    Paragraphs.push_back(std::move(Paragraph));
    if (Index >= Text.size()) break;
  }
  return Paragraphs;
}

void TLayouter::NextBreak(const std::u32string& Text, size_t Begin, size_t& End,
                          size_t& Next) const {
  const size_t Size = Text.size();
  if (!Has(DT_WORDBREAK) || Has(DT_SINGLELINE)) {
    End = Next = Size;
    return;
  }
  const int Limit = Available();
  int X = 0;
  size_t BreakAt = std::string::npos;  // end of the line when breaking at the last blank run
  for (size_t Index = Begin; Index < Size; ++Index) {
    char32_t Code = Text[Index];
    if (Code == Blank) {
      if (Index > Begin && Text[Index - 1] != Blank) BreakAt = Index;
      X = Step(X, Code);
      continue;
    }
    int NextX = Step(X, Code);
    if (NextX > Limit && Index > Begin) {
      if (BreakAt != std::string::npos && BreakAt > Begin) {
        End = BreakAt;
      } else if (Has(DT_EDITCONTROL)) {
        End = Index;  // the word does not fit on a line of its own: break inside it
      } else {
        // Keep the whole word on this line; it overhangs.
        End = Index;
        while (End < Size && Text[End] != Blank) ++End;
      }
      Next = End;
      while (Next < Size && Text[Next] == Blank) ++Next;
      return;
    }
    X = NextX;
  }
  End = Next = Size;
}

TTextLine TLayouter::MakeLine(const TParagraph& Paragraph, size_t Begin, size_t End) {
  const std::u32string& Text = Paragraph.Text;
  std::u32string Shown(Text.begin() + long(Begin), Text.begin() + long(End));
  int Prefix = Paragraph.PrefixIndex >= int(Begin) && Paragraph.PrefixIndex < int(End)
                   ? Paragraph.PrefixIndex - int(Begin)
                   : -1;
  int LineWidth = Width(Shown, 0, Shown.size());
  if (Has(DT_END_ELLIPSIS) && LineWidth > Available()) {
    // The longest head that fits together with the ellipsis.
    std::u32string Dots(Ellipsis);
    int DotsWidth = 0;
    for (char32_t Code : Dots) DotsWidth += CharWidth(Code);
    size_t Keep = 0;
    int X = 0;
    for (size_t Index = 0; Index < Shown.size(); ++Index) {
      int NextX = Step(X, Shown[Index]);
      if (NextX + DotsWidth > Available()) break;
      X = NextX;
      Keep = Index + 1;
    }
    Shown.resize(Keep);
    Shown += Dots;
    if (Prefix >= int(Keep)) Prefix = -1;
    LineWidth = Width(Shown, 0, Shown.size());
  }

  TTextLine Line;
  Line.Width = LineWidth;
  if (Has(DT_CENTER))
    Line.X = ClampToInt((int64_t(FLeft) + FRight - LineWidth) / 2);
  else if (Has(DT_RIGHT))
    Line.X = ClampToInt(int64_t(FRight) - LineWidth);
  else
    Line.X = FLeft;

  // Segments: split at expanded tabs so each piece can be drawn at its own position.
  TTextSegment Segment;
  Segment.X = Line.X;
  int X = 0;
  for (size_t Index = 0; Index < Shown.size(); ++Index) {
    char32_t Code = Shown[Index];
    int NextX = Step(X, Code);
    if (int(Index) == Prefix) {
      Line.UnderlineX = ClampToInt(int64_t(Line.X) + X);
      Line.UnderlineWidth = NextX - X;
    }
    if (Code == Tab && Has(DT_EXPANDTABS)) {
      if (!Segment.Text.empty()) Line.Segments.push_back(std::move(Segment));
      Segment = TTextSegment();
      Segment.X = ClampToInt(int64_t(Line.X) + NextX);
    } else {
      Segment.Text.push_back(Code);
    }
    X = NextX;
  }
  if (!Segment.Text.empty()) Line.Segments.push_back(std::move(Segment));
  return Line;
}

TTextLayout TLayouter::Run(std::u32string_view Text) {
  TTextLayout Layout;
  Layout.DrawGlyphs = !Has(DT_PREFIXONLY);
  Layout.DrawUnderlines = !Has(DT_NOPREFIX) && !Has(DT_HIDEPREFIX);
  const bool Measuring = Has(DT_CALCRECT);

  int64_t Top = FRect.top;
  if (Has(DT_SINGLELINE) && !Measuring) {
    if (Has(DT_VCENTER))
      Top = FRect.top + (int64_t(FRect.bottom) - FRect.top) / 2 - FLineHeight / 2;
    else if (Has(DT_BOTTOM))
      Top = int64_t(FRect.bottom) - FLineHeight;
  }

  int64_t Y = Top;
  int MaxWidth = 0;
  bool Stopped = false;
  if (!Text.empty() || Has(DT_SINGLELINE)) {
    std::vector<TParagraph> Paragraphs = SplitParagraphs(Text);
    for (size_t P = 0; P < Paragraphs.size() && !Stopped; ++P) {
      const TParagraph& Paragraph = Paragraphs[P];
      size_t Begin = 0;
      do {
        // When drawing with clipping, the line that reaches the bottom edge is the last one (an
        // edit-control layout shows whole lines only, so its last line is the last whole one).
        bool LastShown =
            !Has(DT_NOCLIP) && !Measuring && !Has(DT_SINGLELINE) &&
            Y + (Has(DT_EDITCONTROL) ? 2 * FLineHeight - 1 : FLineHeight) > FRect.bottom;
        size_t End = 0;
        size_t Next = 0;
        NextBreak(Paragraph.Text, Begin, End, Next);
        bool MoreFollows = Next < Paragraph.Text.size() || P + 1 < Paragraphs.size();
        // The last line shown takes the rest of its paragraph, to be cut with an ellipsis.
        if (LastShown && MoreFollows && Has(DT_END_ELLIPSIS) && Has(DT_WORDBREAK))
          End = Next = Paragraph.Text.size();
        TTextLine Line = MakeLine(Paragraph, Begin, End);
        Line.Y = ClampToInt(Y);
        MaxWidth = std::max(MaxWidth, Line.Width);
        Layout.Lines.push_back(std::move(Line));
        Y += FLineHeight;
        Layout.LengthDrawn =
            Next < Paragraph.Text.size() ? Paragraph.Source[Next] : Paragraph.SourceEnd;
        Begin = Next;
        if (LastShown && MoreFollows) {
          Stopped = true;
          break;
        }
      } while (Begin < Paragraph.Text.size());
    }
    if (!Stopped) Layout.LengthDrawn = int(Text.size());
  }

  Layout.Height = ClampToInt(Y - FRect.top);
  Layout.Bounds = FRect;
  if (Measuring) {
    Layout.Bounds.right =
        ClampToInt(int64_t(FRect.left) + FParams.LeftMargin + MaxWidth + FParams.RightMargin);
    Layout.Bounds.bottom = ClampToInt(FRect.top + (Y - Top));
    Layout.Height = ClampToInt(Y - Top);
  }
  return Layout;
}

}  // namespace

std::u32string StripPrefixes(std::u32string_view Text, int* PrefixIndex) {
  std::u32string Result;
  int Prefix = -1;
  for (size_t Index = 0; Index < Text.size(); ++Index) {
    if (Text[Index] != Ampersand) {
      Result.push_back(Text[Index]);
      continue;
    }
    if (Index + 1 < Text.size() && Text[Index + 1] == Ampersand) {
      Result.push_back(Ampersand);
      ++Index;
    } else if (Index + 1 < Text.size()) {
      Prefix = int(Result.size());
    }
  }
  if (PrefixIndex) *PrefixIndex = Prefix;
  return Result;
}

TTextLayout LayoutText(std::u32string_view Text, const RECT& Rect, UINT Format,
                       const TTextMeasure& Measure, const TTextLayoutParams& Params) {
  return TLayouter(Rect, Format, Measure, Params).Run(Text);
}
