// Fonts: matching by name, metrics against the pinned Liberation and DejaVu files, the LOGFONT
// round trip, stock fonts and enumeration.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "platform/gdi/dc.h"
#include "platform/gdi/font.h"
#include "platform/gdi/fontengine.h"
#include "platform/gdi/fontmatch.h"
#include "platform/rtl/sysutils.h"
#include "tests/platform/gdi/text_support.h"

namespace {

const std::string Liberation = "/usr/share/fonts/truetype/liberation2/";
const std::string DejaVu = "/usr/share/fonts/truetype/dejavu/";

std::string BaseName(const std::string& Path) { return Path.substr(Path.find_last_of('/') + 1); }

TEST(FontMatch, FaceNamesMapToInstalledFiles) {
  struct TCase {
    const char* Name;
    const char* Face;
    int Weight;
    bool Italic;
    BYTE PitchAndFamily;
    const char* File;
  };
  const TCase Cases[] = {
      {"Arial stands in as Liberation Sans", "Arial", 400, false, 0, "LiberationSans-Regular.ttf"},
      {"case does not matter", "aRIAL", 700, false, 0, "LiberationSans-Bold.ttf"},
      {"Times New Roman italic", "Times New Roman", 400, true, 0, "LiberationSerif-Italic.ttf"},
      {"Courier New bold italic", "Courier New", 700, true, 0, "LiberationMono-BoldItalic.ttf"},
      {"Verdana is a sans face", "Verdana", 400, false, 0, "DejaVuSans.ttf"},
      {"dialog face", "MS Sans Serif", 400, false, 0, "LiberationSans-Regular.ttf"},
      {"Tahoma", "Tahoma", 400, false, 0, "LiberationSans-Regular.ttf"},
      {"installed face by its own name", "Liberation Serif", 400, false, 0,
       "LiberationSerif-Regular.ttf"},
      {"DejaVu bold", "DejaVu Sans", 700, false, 0, "DejaVuSans-Bold.ttf"},
      {"unknown roman face", "No Such Face", 400, false, FF_ROMAN, "LiberationSerif-Regular.ttf"},
      {"unknown fixed face", "No Such Face", 400, false, FIXED_PITCH, "LiberationMono-Regular.ttf"},
      {"unknown modern face", "No Such Face", 400, false, FF_MODERN,
       "LiberationMono-Regular.ttf"},
      {"unknown face", "No Such Face", 400, false, FF_SWISS, "LiberationSans-Regular.ttf"},
      {"no face name", "", 400, false, 0, "LiberationSans-Regular.ttf"},
      {"weight 0 means regular", "Arial", 0, false, 0, "LiberationSans-Regular.ttf"},
  };
  for (const TCase& Case : Cases) {
    SCOPED_TRACE(Case.Name);
    TFontRequest Request;
    Request.FaceName = Case.Face;
    Request.Weight = Case.Weight;
    Request.Italic = Case.Italic;
    Request.PitchAndFamily = Case.PitchAndFamily;
    TFontMatch Match = MatchFont(Request);
    ASSERT_TRUE(Match.Found);
    EXPECT_EQ(BaseName(Match.File.Path), Case.File);
    EXPECT_FALSE(Match.SynthesizeBold);
    EXPECT_FALSE(Match.SynthesizeItalic);
  }
}

TEST(FontMatch, SubstituteTable) {
  EXPECT_EQ(SubstituteFaceName("arial"), "Liberation Sans");
  EXPECT_EQ(SubstituteFaceName("Courier New"), "Liberation Mono");
  EXPECT_EQ(SubstituteFaceName("Times New Roman"), "Liberation Serif");
  EXPECT_EQ(SubstituteFaceName("Liberation Sans"), "");
}

// Expected cell metrics of Liberation Sans (2048 units per em, usWinAscent 1854 and usWinDescent
// 434, line gap 67, weighted average width 904, widest advance 2740), rounded to the nearest
// pixel from the em (negative heights) or from the cell (positive heights).
TEST(FontMetrics, CellFromHeight) {
  struct TCase {
    const char* Name;
    int Height;
    LONG tmHeight, tmAscent, tmDescent, tmInternalLeading, tmExternalLeading, tmAveCharWidth;
  };
  const TCase Cases[] = {
      {"8 pt (-11)", -11, 12, 10, 2, 1, 0, 5},
      {"10 pt (-13)", -13, 15, 12, 3, 2, 0, 6},
      {"12 pt (-16)", -16, 17, 14, 3, 1, 1, 7},
      {"cell of 16", 16, 16, 13, 3, 2, 0, 6},
      {"0 is a cell of 16", 0, 16, 13, 3, 2, 0, 6},
      {"cell of 33", 33, 33, 27, 6, 3, 1, 13},
      {"em of 100", -100, 112, 91, 21, 12, 3, 44},
  };
  for (const TCase& Case : Cases) {
    SCOPED_TRACE(Case.Name);
    TTextCanvas Canvas(4, 4);
    Canvas.UseFont(MakeTestFont("Arial", Case.Height));
    TEXTMETRICA Metric{};
    ASSERT_TRUE(GetTextMetricsA(Canvas.DC(), &Metric));
    EXPECT_EQ(Metric.tmHeight, Case.tmHeight);
    EXPECT_EQ(Metric.tmAscent, Case.tmAscent);
    EXPECT_EQ(Metric.tmDescent, Case.tmDescent);
    EXPECT_EQ(Metric.tmInternalLeading, Case.tmInternalLeading);
    EXPECT_EQ(Metric.tmExternalLeading, Case.tmExternalLeading);
    EXPECT_EQ(Metric.tmAveCharWidth, Case.tmAveCharWidth);
    EXPECT_EQ(Metric.tmHeight, Metric.tmAscent + Metric.tmDescent);
  }
}

TEST(FontMetrics, StyleAndFamilyFields) {
  struct TCase {
    const char* Name;
    const char* Face;
    int Weight;
    bool Italic;
    BYTE CharSet;
    LONG tmWeight;
    BYTE tmItalic;
    BYTE tmPitchAndFamily;
    BYTE tmCharSet;
  };
  const TCase Cases[] = {
      // A variable-pitch TrueType sans face: FF_SWISS | TMPF_FIXED_PITCH | VECTOR | TRUETYPE.
      {"regular sans", "Arial", 400, false, DEFAULT_CHARSET, 400, 0, 0x27, ANSI_CHARSET},
      {"bold", "Arial", 700, false, ANSI_CHARSET, 700, 0, 0x27, ANSI_CHARSET},
      {"italic serif", "Times New Roman", 400, true, RUSSIAN_CHARSET, 400, 255, 0x17,
       RUSSIAN_CHARSET},
      // Fixed pitch: FF_MODERN without TMPF_FIXED_PITCH.
      {"fixed", "Courier New", 400, false, 238, 400, 0, 0x36, 238},
  };
  for (const TCase& Case : Cases) {
    SCOPED_TRACE(Case.Name);
    LOGFONTA Font{};
    Font.lfHeight = -13;
    Font.lfWeight = Case.Weight;
    Font.lfItalic = Case.Italic;
    Font.lfCharSet = Case.CharSet;
    std::strcpy(Font.lfFaceName, Case.Face);
    TTextCanvas Canvas(4, 4);
    Canvas.UseFont(CreateFontIndirectA(&Font));
    TEXTMETRICA Metric{};
    ASSERT_TRUE(GetTextMetrics(Canvas.DC(), &Metric));
    EXPECT_EQ(Metric.tmWeight, Case.tmWeight);
    EXPECT_EQ(Metric.tmItalic, Case.tmItalic);
    EXPECT_EQ(Metric.tmPitchAndFamily, Case.tmPitchAndFamily);
    EXPECT_EQ(Metric.tmCharSet, Case.tmCharSet);
    EXPECT_EQ(Metric.tmBreakChar, ' ');
    EXPECT_EQ(Metric.tmDigitizedAspectX, 96);
  }
}

TEST(FontMetrics, WidthScalesTheAverage) {
  TTextCanvas Canvas(4, 4);
  LOGFONTA Font{};
  Font.lfHeight = -20;
  Font.lfWidth = 20;
  std::strcpy(Font.lfFaceName, "Arial");
  Canvas.UseFont(CreateFontIndirectA(&Font));
  TEXTMETRICA Metric{};
  GetTextMetricsA(Canvas.DC(), &Metric);
  EXPECT_EQ(Metric.tmAveCharWidth, 20);
  EXPECT_EQ(Metric.tmHeight, 22);  // the height does not change with the width
}

TEST(FontEngine, AdvancesAreHintedWholePixels) {
  // Liberation Sans is metric-compatible with the face it replaces: its advances in font units
  // are 1933 for W, 1139 for a and 0, 569 for the blank, 455 for i.
  TFontInstanceKey Key;
  Key.Path = Liberation + "LiberationSans-Regular.ttf";
  Key.Height = -11;
  auto Instance = TFontInstance::Get(Key);
  struct TCase {
    char32_t Code;
    int Advance;
  };
  const TCase Cases[] = {{U'W', 10}, {U'a', 6}, {U'0', 6}, {U' ', 3}, {U'i', 2}, {U'\t', 0},
                         {U'\r', 0}, {0x7F, 0}};
  for (const TCase& Case : Cases) {
    SCOPED_TRACE(int(Case.Code));
    EXPECT_EQ(Instance->Advance(Case.Code), Case.Advance);
  }
  EXPECT_EQ(TFontInstance::Get(Key).get(), Instance.get()) << "instances are shared";

  // A synthesised bold is one pixel wider per character and darker.
  TFontInstanceKey BoldKey = Key;
  BoldKey.SynthesizeBold = true;
  BoldKey.Weight = 700;
  auto Bold = TFontInstance::Get(BoldKey);
  EXPECT_EQ(Bold->Advance(U'W'), 11);
  EXPECT_EQ(Bold->Metrics().Weight, 700);
  const TGlyphImage& Plain = Instance->Glyph(U'l', 0);
  const TGlyphImage& Heavy = Bold->Glyph(U'l', 0);
  int PlainInk = 0, HeavyInk = 0;
  for (uint8_t Value : Plain.Coverage) PlainInk += Value;
  for (uint8_t Value : Heavy.Coverage) HeavyInk += Value;
  EXPECT_GT(HeavyInk, PlainInk * 3 / 2);
}

TEST(FontEngine, GlyphsSitOnTheBaseline) {
  TFontInstanceKey Key;
  Key.Path = Liberation + "LiberationSans-Regular.ttf";
  Key.Height = -20;
  auto Instance = TFontInstance::Get(Key);
  const TFontMetrics& M = Instance->Metrics();
  // A capital rests on the baseline and rises almost to the em height; a descender goes below.
  const TGlyphImage& H = Instance->Glyph(U'H', 0);
  EXPECT_EQ(H.Top + H.Height, 0);
  EXPECT_GE(-H.Top, 13);
  EXPECT_LE(-H.Top, M.Ascent);
  const TGlyphImage& P = Instance->Glyph(U'p', 0);
  EXPECT_GT(P.Top + P.Height, 2);
  EXPECT_LE(P.Top + P.Height, M.Descent + 1);
  // Turned by 90 degrees the text runs upward, so the glyph's top faces left: its ink lies left
  // of the pen origin and above it.
  const TGlyphImage& Up = Instance->Glyph(U'H', 900);
  EXPECT_EQ(Up.Width, H.Height);
  EXPECT_EQ(Up.Height, H.Width);
  EXPECT_EQ(Up.Left + Up.Width, 0);
  EXPECT_LE(Up.Top + Up.Height, 0);
}

TEST(FontEngine, MissingCharactersComeFromTheFallbackFace) {
  TFontInstanceKey Key;
  Key.Path = Liberation + "LiberationSans-Regular.ttf";
  Key.Height = -16;
  auto Instance = TFontInstance::Get(Key);
  // The snowman is not in Liberation Sans but is in DejaVu Sans.
  EXPECT_TRUE(Instance->HasGlyph(0x2603));
  EXPECT_GT(Instance->Advance(0x2603), 0);
  EXPECT_GT(Instance->Glyph(0x2603, 0).Width, 0);
  // Cyrillic is in the face itself.
  EXPECT_TRUE(Instance->HasGlyph(0x0416));
}

TEST(FontEngine, UnreadableFileStillMeasures) {
  TFontInstanceKey Key;
  Key.Path = "/nonexistent/font.ttf";
  Key.Height = -12;
  auto Instance = TFontInstance::Get(Key);
  EXPECT_GT(Instance->Metrics().Height, 0);
  EXPECT_EQ(Instance->Advance(U'a'), 0);
  EXPECT_EQ(Instance->Glyph(U'a', 0).Width, 0);
}

TEST(Font, GetObjectReturnsTheLogFontUnchanged) {
  LOGFONTA Font{};
  Font.lfHeight = -15;
  Font.lfWidth = 3;
  Font.lfEscapement = 450;
  Font.lfOrientation = 450;
  Font.lfWeight = FW_BOLD;
  Font.lfItalic = 1;
  Font.lfUnderline = 1;
  Font.lfStrikeOut = 1;
  Font.lfCharSet = 204;
  Font.lfOutPrecision = OUT_TT_ONLY_PRECIS;
  Font.lfClipPrecision = 0;
  Font.lfQuality = PROOF_QUALITY;
  Font.lfPitchAndFamily = VARIABLE_PITCH;
  std::strcpy(Font.lfFaceName, "Verdana");
  int Before = GdiObjectCount(OBJ_FONT);
  HFONT Handle = CreateFontIndirectA(&Font);
  ASSERT_NE(Handle, nullptr);
  EXPECT_EQ(GetObjectType(Handle), OBJ_FONT);
  EXPECT_EQ(GetObject(Handle, 0, nullptr), int(sizeof(LOGFONTA)));
  LOGFONTA Back{};
  EXPECT_EQ(GetObject(Handle, sizeof(Back), &Back), int(sizeof(LOGFONTA)));
  EXPECT_EQ(std::memcmp(&Back, &Font, sizeof(LOGFONTA)), 0);
  LOGFONTA Partial{};
  EXPECT_EQ(GetObject(Handle, 8, &Partial), 8);
  EXPECT_EQ(Partial.lfHeight, -15);
  EXPECT_EQ(Partial.lfEscapement, 0);
  EXPECT_TRUE(DeleteObject(Handle));
  EXPECT_EQ(GdiObjectCount(OBJ_FONT), Before);
  EXPECT_EQ(CreateFontIndirectA(nullptr), nullptr);
}

TEST(Font, CreateFontFillsTheLogFont) {
  HFONT Handle = CreateFontA(-12, 0, 900, 900, FW_SEMIBOLD, TRUE, FALSE, TRUE, SYMBOL_CHARSET,
                             OUT_TT_ONLY_PRECIS, CLIP_DEFAULT_PRECIS, NONANTIALIASED_QUALITY,
                             FIXED_PITCH | FF_MODERN,
                             "A face name that is far longer than thirty-one bytes");
  LOGFONTA Font{};
  GetObject(Handle, sizeof(Font), &Font);
  EXPECT_EQ(Font.lfHeight, -12);
  EXPECT_EQ(Font.lfEscapement, 900);
  EXPECT_EQ(Font.lfWeight, FW_SEMIBOLD);
  EXPECT_EQ(Font.lfItalic, 1);
  EXPECT_EQ(Font.lfStrikeOut, 1);
  EXPECT_EQ(Font.lfCharSet, SYMBOL_CHARSET);
  EXPECT_EQ(Font.lfQuality, NONANTIALIASED_QUALITY);
  EXPECT_EQ(Font.lfPitchAndFamily, FIXED_PITCH | FF_MODERN);
  EXPECT_EQ(std::strlen(Font.lfFaceName), 31u);
  DeleteObject(Handle);
}

TEST(Font, StockFonts) {
  for (int Index : {SYSTEM_FONT, DEFAULT_GUI_FONT, ANSI_VAR_FONT, ANSI_FIXED_FONT, OEM_FIXED_FONT,
                    SYSTEM_FIXED_FONT, DEVICE_DEFAULT_FONT}) {
    SCOPED_TRACE(Index);
    HGDIOBJ Stock = GetStockObject(Index);
    ASSERT_NE(Stock, nullptr);
    EXPECT_EQ(GetObjectType(Stock), OBJ_FONT);
    EXPECT_TRUE(DeleteObject(Stock));
    EXPECT_EQ(GetObjectType(Stock), OBJ_FONT) << "stock objects survive DeleteObject";
  }
  // A DC without a selected font measures with the system font: a bold 16-pixel cell.
  TTextCanvas Canvas(4, 4);
  TEXTMETRICA Metric{};
  ASSERT_TRUE(GetTextMetricsA(Canvas.DC(), &Metric));
  EXPECT_EQ(Metric.tmHeight, 16);
  EXPECT_EQ(Metric.tmWeight, 700);
  LOGFONTA Gui{};
  GetObject(GetStockObject(DEFAULT_GUI_FONT), sizeof(Gui), &Gui);
  EXPECT_EQ(Gui.lfHeight, -11);
  EXPECT_STREQ(Gui.lfFaceName, "MS Shell Dlg");
}

TEST(Font, GetTextFaceNamesTheFaceInUse) {
  TTextCanvas Canvas(4, 4);
  Canvas.UseFont(MakeTestFont("Arial", -12));
  char Name[LF_FACESIZE] = {};
  EXPECT_EQ(GetTextFaceA(Canvas.DC(), sizeof(Name), Name), 15);
  EXPECT_STREQ(Name, "Liberation Sans");
  EXPECT_EQ(GetTextFaceA(Canvas.DC(), 0, nullptr), 16);
  char Short[6] = {};
  EXPECT_EQ(GetTextFaceA(Canvas.DC(), sizeof(Short), Short), 5);
  EXPECT_STREQ(Short, "Liber");
  EXPECT_EQ(GetTextFaceA(nullptr, sizeof(Name), Name), 0);
}

TEST(Font, GetCharWidth) {
  TTextCanvas Canvas(4, 4);
  Canvas.UseFont(MakeTestFont("Arial", -11));
  INT Widths[3] = {};
  ASSERT_TRUE(GetCharWidth32A(Canvas.DC(), 'a', 'c', Widths));
  EXPECT_EQ(Widths[0], 6);
  EXPECT_EQ(Widths[2], 6);  // c: 1024 units, 5.5 pixels
  EXPECT_FALSE(GetCharWidthA(Canvas.DC(), 'c', 'a', Widths));
}

struct TEnumRecord {
  std::string Face;
  std::string FullName;
  std::string Style;
  DWORD FontType;
  DWORD Flags;
  LONG Height;
};

int CollectFont(const LOGFONTA* LogFont, const TEXTMETRICA* Metric, DWORD FontType, LPARAM Data) {
  auto* Records = reinterpret_cast<std::vector<TEnumRecord>*>(Data);
  const auto* Extended = reinterpret_cast<const ENUMLOGFONTA*>(LogFont);
  const auto* NewMetric = reinterpret_cast<const NEWTEXTMETRICA*>(Metric);
  Records->push_back({LogFont->lfFaceName, reinterpret_cast<const char*>(Extended->elfFullName),
                      reinterpret_cast<const char*>(Extended->elfStyle), FontType,
                      NewMetric->ntmFlags, Metric->tmHeight});
  return 1;
}

int StopAtOnce(const LOGFONTA*, const TEXTMETRICA*, DWORD, LPARAM Data) {
  ++*reinterpret_cast<int*>(Data);
  return 0;
}

TEST(FontEnumeration, OneCallPerFamily) {
  TTextCanvas Canvas(4, 4);
  std::vector<TEnumRecord> Records;
  EXPECT_EQ(EnumFontFamiliesA(Canvas.DC(), nullptr, CollectFont, LPARAM(&Records)), 1);
  std::vector<std::string> Names;
  for (const TEnumRecord& Record : Records) {
    Names.push_back(Record.Face);
    EXPECT_LE(Record.Face.size(), 31u);
  }
  // The pinned faces and the names that stand for them, all outline faces at a 16-pixel cell
  // (other installed fonts, bitmap ones included, may be listed too).
  for (const char* Expected : {"Liberation Sans", "Liberation Serif", "Liberation Mono",
                               "DejaVu Sans", "Arial", "Verdana", "Times New Roman",
                               "Courier New", "Tahoma"}) {
    SCOPED_TRACE(Expected);
    auto Found = std::find_if(Records.begin(), Records.end(),
                              [&](const TEnumRecord& Record) { return Record.Face == Expected; });
    ASSERT_NE(Found, Records.end());
    EXPECT_EQ(Found->FontType, TRUETYPE_FONTTYPE);
    EXPECT_EQ(Found->Height, 16);
  }
  // Sorted by name without regard to case, each family once.
  for (size_t Index = 1; Index < Names.size(); ++Index)
    EXPECT_LT(CompareText(Names[Index - 1], Names[Index]), 0) << Names[Index];

  int Calls = 0;
  EXPECT_EQ(EnumFontFamiliesA(Canvas.DC(), nullptr, StopAtOnce, LPARAM(&Calls)), 0);
  EXPECT_EQ(Calls, 1);
}

TEST(FontEnumeration, StylesOfOneFamily) {
  TTextCanvas Canvas(4, 4);
  std::vector<TEnumRecord> Records;
  EnumFontFamiliesA(Canvas.DC(), "liberation sans", CollectFont, LPARAM(&Records));
  ASSERT_EQ(Records.size(), 4u);
  EXPECT_EQ(Records[0].Style, "Regular");
  EXPECT_EQ(Records[0].FullName, "Liberation Sans");
  EXPECT_EQ(Records[0].Flags, NTM_REGULAR);
  bool SawBoldItalic = false;
  for (const TEnumRecord& Record : Records) {
    if (Record.FullName == "Liberation Sans Bold Italic") {
      SawBoldItalic = true;
      EXPECT_EQ(Record.Flags, NTM_BOLD | NTM_ITALIC);
    }
  }
  EXPECT_TRUE(SawBoldItalic);

  // An alias enumerates under its own name.
  Records.clear();
  LOGFONTA Query{};
  Query.lfCharSet = DEFAULT_CHARSET;
  std::strcpy(Query.lfFaceName, "Arial");
  EnumFontFamiliesExA(Canvas.DC(), &Query, CollectFont, LPARAM(&Records), 0);
  ASSERT_FALSE(Records.empty());
  EXPECT_EQ(Records[0].Face, "Arial");

  Records.clear();
  EXPECT_EQ(EnumFontFamiliesA(Canvas.DC(), "No Such Face", CollectFont, LPARAM(&Records)), 1);
  EXPECT_TRUE(Records.empty());
}

}  // namespace
