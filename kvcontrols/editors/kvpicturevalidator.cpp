// The picture-mask matcher.
//
// The matcher walks mask and text together, I in the mask and J in the text, both 1-based. A
// "limit" is a mask position at which a match stops: one past the end for the whole mask, the
// closing bracket for a group, the end of the repeated element for a repetition. Every step
// works on code points; a mask position beyond the mask reads as the character 0.
//
// Results flow upward with two private refinements: pmrAmbiguous (complete, yet an optional part
// could have taken more) and pmrIncompleteNoFill (incomplete inside an optional part, where
// auto-fill must not append literals). MatchSequence tries the alternatives at one level in
// order, restoring I and J between them; the first complete alternative wins unless an earlier
// incomplete one got further into the text. When the text runs out, CompleteIfOptional decides
// whether everything left up to the limit may be absent.
//
// No backtracking crosses an element, so a check costs about the mask length times the text
// length. Two guards keep hostile masks harmless: a mask nested deeper than MaxNesting groups and
// repetitions fails the syntax check (the matcher recurses once per level), and a counted
// repetition whose round consumed and changed nothing stops repeating, because every later round
// would start from the very same state and end the same way.

#include "kvcontrols/editors/kvpicturevalidator.h"

#include <algorithm>
#include <vector>

#include "platform/rtl/unicode.h"

KORCAM_REGISTER_CLASS(TkvPictureValidator)

namespace {

constexpr int MaxNesting = 64;
// Recursion frames the matcher may use; a mask that passes the nesting check needs far fewer.
constexpr int MaxFrames = 8 * MaxNesting + 64;

// Thrown inside the matcher when it would nest beyond MaxFrames; the check then reports the
// mask as malformed. Never leaves this file.
struct TTooDeep {};

bool IsDigit(char32_t Ch) { return Ch >= '0' && Ch <= '9'; }
bool IsLetter(char32_t Ch) { return (Ch >= 'A' && Ch <= 'Z') || (Ch >= 'a' && Ch <= 'z') || Ch > 127; }
char32_t FoldAscii(char32_t Ch) { return Ch >= 'a' && Ch <= 'z' ? Ch - 'a' + 'A' : Ch; }
bool IsComplete(TkvPictureResult R) { return R == pmrComplete || R == pmrAmbiguous; }
bool IsIncomplete(TkvPictureResult R) { return R == pmrIncomplete || R == pmrIncompleteNoFill; }

// Characters auto-fill stops at: everything that is not a plain literal.
bool IsSpecial(char32_t Ch) {
  switch (Ch) {
    case 0: case '!': case '#': case '&': case '*': case ',': case '?': case '@':
    case '[': case ']': case '{': case '}': case '~':
      return true;
    default:
      return false;
  }
}

class TMask {
 public:
  explicit TMask(const std::u32string& Chars) : FChars(Chars) {}

  int Length() const { return static_cast<int>(FChars.size()); }
  char32_t At(int Position) const {
    return Position >= 1 && Position <= Length() ? FChars[static_cast<size_t>(Position - 1)] : 0;
  }

  // Skips one element from P: a plain character alone, ";x" as a pair, a group up to and
  // including its closing bracket, a repetition with its element. Stops at Limit. The variant
  // used for "," starts inside a curly group (Curly 1) and runs until both levels are back at 0,
  // which skips to just past the end of the enclosing curly group.
  int SkipElement(int P, int Limit, int Curly = 0, bool UntilBothZero = false) const {
    struct TLevels {
      int Square, Curly;
    };
    // A repetition's element is skipped as a nested element with levels of its own; the levels
    // of the elements waiting for it are kept here instead of on the call stack.
    std::vector<TLevels> Waiting;
    TLevels Levels{0, Curly};
    const auto Continues = [&](const TLevels& L) {
      if (Waiting.empty() && UntilBothZero) return L.Square != 0 || L.Curly != 0;
      return L.Square > 0 || L.Curly > 0;
    };
    for (;;) {
      bool Ended = true;
      if (P < Limit) {
        const char32_t Ch = At(P);
        if (Ch == '*') {
          ++P;
          while (IsDigit(At(P))) ++P;
          Waiting.push_back(Levels);
          Levels = {0, 0};
          continue;
        }
        switch (Ch) {
          case '[': ++Levels.Square; break;
          case ']': --Levels.Square; break;
          case '{': ++Levels.Curly; break;
          case '}': --Levels.Curly; break;
          case ';': ++P; break;
          default: break;
        }
        ++P;
        Ended = !Continues(Levels);
      }
      // A finished nested element hands over to the element around it, which goes on only
      // while its own levels are open (and stops, like every level, at the limit).
      while (Ended) {
        if (Waiting.empty()) return P;
        Levels = Waiting.back();
        Waiting.pop_back();
        Ended = !Continues(Levels);
      }
    }
  }

  // The mask is empty, ends in a ";" that escapes nothing or in an unescaped "*", has unbalanced
  // square or curly brackets (their order plays no part) or nests deeper than MaxNesting:
  // unusable. A mask ending in ";;" or ";*" ends in a literal and is fine.
  bool SyntaxOk() const {
    const int Count = Length();
    if (Count == 0) return false;
    int Square = 0, Curly = 0;
    bool LastIsLiteral = false;
    for (int P = 1; P <= Count; ++P) {
      LastIsLiteral = false;
      switch (At(P)) {
        case ';':
          if (P == Count) return false;
          ++P;
          LastIsLiteral = true;
          break;
        case '[': ++Square; break;
        case ']': --Square; break;
        case '{': ++Curly; break;
        case '}': --Curly; break;
        default: break;
      }
    }
    if (At(Count) == '*' && !LastIsLiteral) return false;
    return Square == 0 && Curly == 0 && NestingOk(1, Count + 1, 0);
  }

 private:
  // Walks the elements between From and Limit the way the matcher descends into them.
  bool NestingOk(int From, int Limit, int Depth) const {
    if (Depth > MaxNesting) return false;
    for (int P = From; P < Limit;) {
      const char32_t Ch = At(P);
      if (Ch == '[' || Ch == '{') {
        const int End = SkipElement(P, Limit);
        if (!NestingOk(P + 1, End - 1, Depth + 1)) return false;
        P = std::max(End, P + 1);
      } else if (Ch == '*') {
        int Element = P + 1;
        while (IsDigit(At(Element))) ++Element;
        const int End = SkipElement(Element, Limit);
        if (!NestingOk(Element, End, Depth + 1)) return false;
        P = std::max(End, P + 1);
      } else {
        P += Ch == ';' ? 2 : 1;
      }
    }
    return true;
  }

  const std::u32string& FChars;
};

class TMatcher {
 public:
  TMatcher(const TMask& Mask, std::u32string& Text) : FMask(Mask), FText(Text) {}

  int I = 1;
  int J = 1;

  TkvPictureResult Match() {
    I = J = 1;
    return MatchSequence(FMask.Length() + 1);
  }

 private:
  struct TFrame {
    explicit TFrame(TMatcher& Matcher) : FMatcher(Matcher) {
      if (++FMatcher.FFrames > MaxFrames) throw TTooDeep();
    }
    ~TFrame() { --FMatcher.FFrames; }
    TFrame(const TFrame&) = delete;
    TFrame& operator=(const TFrame&) = delete;
    TMatcher& FMatcher;
  };

  char32_t M(int Position) const { return FMask.At(Position); }
  int TextLength() const { return static_cast<int>(FText.size()); }
  char32_t T(int Position) const { return FText[static_cast<size_t>(Position - 1)]; }

  void TakeChar(char32_t Ch) {
    char32_t& Slot = FText[static_cast<size_t>(J - 1)];
    if (Slot != Ch) {
      Slot = Ch;
      ++FChanges;
    }
    ++J;
    ++I;
  }

  // Moves I to the start of the next alternative of this level; false when there is none.
  bool NextAlternative(int Limit) {
    do {
      I = FMask.SkipElement(I, Limit);
    } while (I < Limit && M(I) != ',');
    if (I < Limit) ++I;
    return I < Limit;
  }

  // Matches the elements of one alternative, from I to the limit or a ",".
  TkvPictureResult MatchTerms(int Limit, bool& Blank) {
    TFrame Frame(*this);
    TkvPictureResult R = pmrEmpty;
    while (I < Limit && M(I) != ',') {
      if (J > TextLength()) return CompleteIfOptional(R, I, Limit);
      const char32_t C = T(J);
      const char32_t Element = M(I);
      switch (Element) {
        case '#':
          if (!IsDigit(C)) return pmrError;
          TakeChar(C);
          break;
        case '?':
          if (!IsLetter(C)) return pmrError;
          TakeChar(C);
          break;
        case '&':
          if (!IsLetter(C)) return pmrError;
          TakeChar(UnicodeToUpper(C));
          break;
        case '~':
          if (!IsLetter(C)) return pmrError;
          TakeChar(UnicodeToLower(C));
          break;
        case '!': TakeChar(UnicodeToUpper(C)); break;
        case '@': TakeChar(C); break;
        case '*':
          R = MatchRepeat(Limit);
          if (!IsComplete(R)) return R;
          break;
        case '{':
          R = MatchGroup(Limit);
          if (!IsComplete(R)) return R;
          break;
        case '[':
          R = MatchGroup(Limit);
          if (IsIncomplete(R)) return R;
          // An optional group that does not match is simply absent.
          if (R == pmrError) R = pmrAmbiguous;
          break;
        default: {
          if (Element == ';') ++I;
          const char32_t Literal = M(I);
          const bool Last = J == TextLength();
          if (FoldAscii(Literal) != FoldAscii(C)) {
            // A blank typed last stands for the literal, once per sequence.
            if (!(C == ' ' && Last && !Blank)) return pmrError;
          } else if (C == ' ' && Last) {
            Blank = true;
          }
          TakeChar(Literal);
          break;
        }
      }
      R = R == pmrAmbiguous ? pmrIncompleteNoFill : pmrIncomplete;
    }
    return R == pmrIncompleteNoFill ? pmrAmbiguous : pmrComplete;
  }

  // Tries the alternatives that start at I in turn.
  TkvPictureResult MatchSequence(int Limit) {
    TFrame Frame(*this);
    int StartI = I;
    const int StartJ = J;
    bool Remembered = false;
    int RememberedI = 0, RememberedJ = 0;
    bool Blank = false;
    for (;;) {
      TkvPictureResult R = MatchTerms(Limit, Blank);
      // A complete alternative counts only when it got as far into the text as an incomplete
      // one before it.
      if (IsComplete(R) && Remembered && RememberedJ > J) {
        R = pmrIncomplete;
        J = RememberedJ;
      }
      if (R != pmrError && R != pmrIncomplete)
        return R == pmrComplete && Remembered ? pmrAmbiguous : R;
      if (R == pmrIncomplete && !Remembered) {
        Remembered = true;
        RememberedI = I;
        RememberedJ = J;
      }
      I = StartI;
      J = StartJ;
      if (!NextAlternative(Limit)) {
        if (!Remembered) return R;
        I = RememberedI;
        J = RememberedJ;
        return pmrIncomplete;
      }
      StartI = I;
    }
  }

  // I stands at "*".
  TkvPictureResult MatchRepeat(int Limit) {
    TFrame Frame(*this);
    ++I;
    uint16_t Count = 0;  // as typed, modulo 65536
    while (IsDigit(M(I))) {
      Count = static_cast<uint16_t>(Count * 10 + (M(I) - '0'));
      ++I;
    }
    if (I > Limit) return pmrSyntax;
    const int Element = I;
    const int End = FMask.SkipElement(I, Limit);
    TkvPictureResult R = pmrEmpty;
    if (Count > 0) {
      for (unsigned Round = 0; Round < Count; ++Round) {
        I = Element;
        const int OldJ = J;
        const uint64_t OldChanges = FChanges;
        R = MatchSequence(End);
        if (!IsComplete(R)) {
          // A repeated optional group may be absent once the text has run out.
          if (R == pmrEmpty) return M(I) == '[' ? pmrComplete : pmrIncomplete;
          return R;
        }
        if (J == OldJ && FChanges == OldChanges) break;
      }
    } else {
      int OldJ;
      do {
        I = Element;
        OldJ = J;
        R = MatchSequence(End);
      } while (IsComplete(R) && J != OldJ);
      if (R == pmrEmpty || R == pmrError) R = pmrAmbiguous;
    }
    I = End;
    return R;
  }

  // I stands at "[" or "{"; the closing bracket is the inner limit.
  TkvPictureResult MatchGroup(int Limit) {
    TFrame Frame(*this);
    const int End = FMask.SkipElement(I, Limit);
    ++I;
    const TkvPictureResult R = MatchSequence(End - 1);
    if (!IsIncomplete(R)) I = End;
    return R;
  }

  // The text has run out at mask position P: pmrAmbiguous when everything up to the limit may be
  // absent, else R.
  TkvPictureResult CompleteIfOptional(TkvPictureResult R, int P, int Limit) {
    TFrame Frame(*this);
    if (!IsIncomplete(R)) return R;
    while (P < Limit) {
      const char32_t Ch = M(P);
      if (Ch == '*') {
        if (!IsDigit(M(P + 1))) {
          P = FMask.SkipElement(P + 1, Limit);
        } else if (M(P + 2) == '[' && P + 2 < Limit) {
          P = FMask.SkipElement(P + 2, Limit);
        } else {
          break;  // any other counted repetition needs its text
        }
      } else if (Ch == ',') {
        P = FMask.SkipElement(P, Limit, 1, true);
      } else if (Ch == '[') {
        P = FMask.SkipElement(P, Limit);
      } else if (Ch == '{') {
        const int End = FMask.SkipElement(P, Limit);
        if (!HasOptionalAlternative(P, End - 1)) break;
        P = End;
      } else {
        return R;
      }
    }
    return P >= Limit ? pmrAmbiguous : R;
  }

  // Whether one alternative of the curly group between Open and Close may be wholly absent.
  bool HasOptionalAlternative(int Open, int Close) {
    TFrame Frame(*this);
    int P = Open + 1;
    for (;;) {
      const int Start = P;
      while (P < Close && M(P) != ',') P = FMask.SkipElement(P, Close);
      if (CompleteIfOptional(pmrIncomplete, Start, P) == pmrAmbiguous) return true;
      if (P >= Close) return false;
      ++P;
    }
  }

  const TMask& FMask;
  std::u32string& FText;
  int FFrames = 0;
  uint64_t FChanges = 0;
};

}  // namespace

TkvPictureValidator::TkvPictureValidator(const std::string& Mask, bool AutoFill)
    : FMask(Mask), FMaskChars(Utf8ToUtf32(Mask)) {
  FSyntaxOk = TMask(FMaskChars).SyntaxOk();
  FOptions = AutoFill ? kvpoCheckOnAppend | kvpoAutoFill : kvpoCheckOnAppend;
  FStatus = 0;
  std::string Empty;
  if (TkvPictureValidator::CheckText(Empty, false) != pmrEmpty) FStatus = 1;
}

bool TkvPictureValidator::AcceptsInput(std::string& Text, bool SuppressFill) {
  return CheckText(Text, (FOptions & kvpoAutoFill) != 0 && !SuppressFill) != pmrError;
}

bool TkvPictureValidator::IsValidText(const std::string& Text) {
  std::string Copy = Text;
  const TkvPictureResult R = CheckText(Copy, false);
  return R == pmrComplete || R == pmrEmpty;
}

TkvPictureResult TkvPictureValidator::CheckText(std::string& Text, bool AutoFill) {
  if (!FSyntaxOk) return pmrSyntax;
  if (Text.empty()) return pmrEmpty;
  const TMask Mask(FMaskChars);
  const std::u32string Original = Utf8ToUtf32(Text);
  std::u32string Work = Original;
  TkvPictureResult R;
  try {
    TMatcher Matcher(Mask, Work);
    R = Matcher.Match();
    if (R != pmrError && R != pmrSyntax && Matcher.J <= static_cast<int>(Work.size())) R = pmrError;
    if (R == pmrIncomplete && AutoFill) {
      bool Appended = false;
      for (int I = Matcher.I; I <= Mask.Length() && !IsSpecial(Mask.At(I)); ++I) {
        if (Mask.At(I) == ';' && ++I > Mask.Length()) break;
        Work.push_back(Mask.At(I));
        Appended = true;
      }
      if (Appended) {
        TMatcher Again(Mask, Work);
        R = Again.Match();
        if (R == pmrError) {
          Work = Original;
          R = pmrIncomplete;
        }
      }
    }
  } catch (const TTooDeep&) {
    return pmrSyntax;
  }
  if (R == pmrAmbiguous) R = pmrComplete;
  if (R == pmrIncompleteNoFill) R = pmrIncomplete;
  if (Work != Original) Text = Utf32ToUtf8(Work);
  return R;
}
