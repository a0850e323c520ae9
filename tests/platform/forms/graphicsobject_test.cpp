// TFont, TPen and TBrush: the handles they make, the change events they fire, copying, and
// setting them by name as form texts do.

#include <gtest/gtest.h>

#include <cstring>
#include <functional>

#include "forms_fixture.h"
#include "platform/classes/formreader.h"
#include "platform/forms/brush.h"
#include "platform/forms/font.h"
#include "platform/forms/pen.h"
#include "platform/gdi/brush.h"
#include "platform/gdi/gdiobj.h"
#include "platform/gdi/pen.h"
#include "platform/gdi/sysmetrics.h"

namespace {

LOGFONTA LogFontOf(const TFont& Font) {
  LOGFONTA Result{};
  EXPECT_EQ(GetObject(Font.Handle(), sizeof(Result), &Result), int(sizeof(Result)));
  return Result;
}

// Counts OnChange calls of a graphics object.
struct TChangeCounter {
  int Count = 0;
  explicit TChangeCounter(TGraphicsObject& Object) {
    Object.OnChange = TNotifyEvent([this](TObject*) { ++Count; });
  }
};

}  // namespace

TEST(Font, HandleCarriesEveryValue) {
  struct TCase {
    const char* Name;
    std::function<void(TFont&)> Setup;
    LONG Height, Weight, Escapement;
    BYTE Italic, Underline, StrikeOut, Charset, Pitch;
    const char* Face;
  };
  const TCase Cases[] = {
      // A new font: 8 points at 96 dpi is -11 pixels.
      {"defaults", [](TFont&) {}, -11, FW_NORMAL, 0, 0, 0, 0, DEFAULT_CHARSET, DEFAULT_PITCH,
       "MS Sans Serif"},
      {"bold italic",
       [](TFont& F) {
         F.SetStyle({fsBold, fsItalic});
       },
       -11, FW_BOLD, 0, 1, 0, 0, DEFAULT_CHARSET, DEFAULT_PITCH, "MS Sans Serif"},
      {"underline strike",
       [](TFont& F) {
         F.SetStyle({fsUnderline, fsStrikeOut});
       },
       -11, FW_NORMAL, 0, 0, 1, 1, DEFAULT_CHARSET, DEFAULT_PITCH, "MS Sans Serif"},
      {"size 12", [](TFont& F) { F.SetSize(12); }, -16, FW_NORMAL, 0, 0, 0, 0, DEFAULT_CHARSET, DEFAULT_PITCH,
       "MS Sans Serif"},
      {"cell height", [](TFont& F) { F.SetHeight(20); }, 20, FW_NORMAL, 0, 0, 0, 0, DEFAULT_CHARSET,
       DEFAULT_PITCH, "MS Sans Serif"},
      {"rotated", [](TFont& F) { F.SetOrientation(900); }, -11, FW_NORMAL, 900, 0, 0, 0, DEFAULT_CHARSET,
       DEFAULT_PITCH, "MS Sans Serif"},
      {"charset and pitch", [](TFont& F) { F.SetCharset(RUSSIAN_CHARSET), F.SetPitch(fpFixed); }, -11,
       FW_NORMAL, 0, 0, 0, 0, RUSSIAN_CHARSET, FIXED_PITCH, "MS Sans Serif"},
      {"variable pitch", [](TFont& F) { F.SetPitch(fpVariable); }, -11, FW_NORMAL, 0, 0, 0, 0,
       DEFAULT_CHARSET, VARIABLE_PITCH, "MS Sans Serif"},
      {"named", [](TFont& F) { F.SetName("Tahoma"); }, -11, FW_NORMAL, 0, 0, 0, 0, DEFAULT_CHARSET,
       DEFAULT_PITCH, "Tahoma"},
      {"Default stands for the default face", [](TFont& F) { F.SetName("Default"); }, -11, FW_NORMAL, 0, 0, 0,
       0, DEFAULT_CHARSET, DEFAULT_PITCH, "MS Sans Serif"},
      // 40 bytes of Cyrillic: cut to the 31 bytes a face name holds, on a character boundary.
      {"long name cut", [](TFont& F) { F.SetName("ААААААААААААААААААББ"); }, -11, FW_NORMAL, 0, 0, 0, 0,
       DEFAULT_CHARSET, DEFAULT_PITCH, "ААААААААААААААА"},
  };
  for (const TCase& Case : Cases) {
    SCOPED_TRACE(Case.Name);
    TFont Font;
    Case.Setup(Font);
    const LOGFONTA Log = LogFontOf(Font);
    EXPECT_EQ(Log.lfHeight, Case.Height);
    EXPECT_EQ(Log.lfWidth, 0);
    EXPECT_EQ(Log.lfWeight, Case.Weight);
    EXPECT_EQ(Log.lfEscapement, Case.Escapement);
    EXPECT_EQ(Log.lfOrientation, Case.Escapement);
    EXPECT_EQ(Log.lfItalic, Case.Italic);
    EXPECT_EQ(Log.lfUnderline, Case.Underline);
    EXPECT_EQ(Log.lfStrikeOut, Case.StrikeOut);
    EXPECT_EQ(Log.lfCharSet, Case.Charset);
    EXPECT_EQ(Log.lfPitchAndFamily, Case.Pitch);
    EXPECT_STREQ(Log.lfFaceName, Case.Face);
  }
}

TEST(Font, SizeAndHeightAreOneValue) {
  struct TCase {
    const char* Name;
    int32_t Size, Height;
  };
  // Height = -MulDiv(Size, 96, 72), rounded half away from zero.
  const TCase FromSize[] = {
      {"8 pt", 8, -11}, {"9 pt", 9, -12}, {"10 pt", 10, -13}, {"12 pt", 12, -16}, {"0 pt", 0, 0}};
  for (const TCase& Case : FromSize) {
    SCOPED_TRACE(Case.Name);
    TFont Font;
    Font.SetSize(Case.Size);
    EXPECT_EQ(Font.Height(), Case.Height);
    EXPECT_EQ(Font.Size(), Case.Size);
  }
  TFont Font;
  Font.SetHeight(13);  // a positive (cell) height reads back as a negative size
  EXPECT_EQ(Font.Size(), -10);
  Font.SetSize(10);
  Font.SetPixelsPerInch(120);  // the point size stays, the pixels follow
  EXPECT_EQ(Font.Size(), 10);
  EXPECT_EQ(Font.Height(), -17);
}

TEST(Font, ChangesFireOnceAndOnlyWhenSomethingChanged) {
  struct TCase {
    const char* Name;
    std::function<void(TFont&)> Change;
    int Events;
    bool NewHandle;
  };
  const TCase Cases[] = {
      {"same name", [](TFont& F) { F.SetName("MS Sans Serif"); }, 0, false},
      {"empty name is ignored", [](TFont& F) { F.SetName(""); }, 0, false},
      {"new name", [](TFont& F) { F.SetName("Verdana"); }, 1, true},
      {"colour keeps the handle", [](TFont& F) { F.SetColor(clRed); }, 1, false},
      {"size", [](TFont& F) { F.SetSize(14); }, 1, true},
      {"same size", [](TFont& F) { F.SetSize(8); }, 0, false},
      {"style", [](TFont& F) { F.SetStyle({fsBold}); }, 1, true},
      {"same style", [](TFont& F) { F.SetStyle({}); }, 0, false},
      {"charset", [](TFont& F) { F.SetCharset(GREEK_CHARSET); }, 1, true},
      {"orientation", [](TFont& F) { F.SetOrientation(450); }, 1, true},
      {"pitch", [](TFont& F) { F.SetPitch(fpFixed); }, 1, true},
  };
  for (const TCase& Case : Cases) {
    SCOPED_TRACE(Case.Name);
    TFont Font;
    const HFONT Before = Font.Handle();
    LOGFONTA OldLog = LogFontOf(Font);
    TChangeCounter Counter(Font);
    Case.Change(Font);
    EXPECT_EQ(Counter.Count, Case.Events);
    const LOGFONTA NewLog = LogFontOf(Font);
    EXPECT_EQ(std::memcmp(&OldLog, &NewLog, sizeof(LOGFONTA)) != 0, Case.NewHandle);
    if (!Case.NewHandle) {
      EXPECT_EQ(Font.Handle(), Before);
    }
  }
}

TEST(Font, AssignCopiesEverythingWithOneEvent) {
  TFont Source;
  Source.SetName("Liberation Sans");
  Source.SetSize(11);
  Source.SetStyle({fsItalic});
  Source.SetColor(clNavy);
  Source.SetCharset(RUSSIAN_CHARSET);
  TFont Target;
  TChangeCounter Counter(Target);
  Target.Assign(&Source);
  EXPECT_EQ(Counter.Count, 1);
  EXPECT_EQ(Target.Name(), "Liberation Sans");
  EXPECT_EQ(Target.Height(), Source.Height());
  EXPECT_EQ(Target.Style(), TFontStyles{fsItalic});
  EXPECT_EQ(Target.Color(), clNavy);
  EXPECT_EQ(Target.Charset(), RUSSIAN_CHARSET);
  EXPECT_EQ(std::string(LogFontOf(Target).lfFaceName), "Liberation Sans");

  TPen Pen;
  EXPECT_THROW(Target.Assign(&Pen), EConvertError);
}

TEST(Font, AdoptsAForeignHandle) {
  LOGFONTA Log{};
  Log.lfHeight = -15;
  Log.lfWeight = FW_BOLD;
  Log.lfUnderline = 1;
  Log.lfCharSet = GREEK_CHARSET;
  std::strcpy(Log.lfFaceName, "DejaVu Sans");
  const HFONT Handle = CreateFontIndirectA(&Log);
  const int FontsBefore = GdiObjectCount(OBJ_FONT);
  {
    TFont Font;
    Font.SetHandle(Handle);
    EXPECT_EQ(Font.Handle(), Handle);
    EXPECT_EQ(Font.Height(), -15);
    EXPECT_EQ(Font.Style(), (TFontStyles{fsBold, fsUnderline}));
    EXPECT_EQ(Font.Charset(), GREEK_CHARSET);
    EXPECT_EQ(Font.Name(), "DejaVu Sans");
  }
  EXPECT_EQ(GdiObjectCount(OBJ_FONT), FontsBefore - 1);  // the font deleted the handle it adopted
}

TEST(Pen, HandleFollowsStyleWidthAndColour) {
  struct TCase {
    const char* Name;
    TPenStyle Style;
    int32_t Width;
    TColor Color;
    UINT GdiStyle;
    COLORREF Rgb;
  };
  const TCase Cases[] = {
      {"solid", psSolid, 1, clBlack, PS_SOLID, 0x000000},
      {"dash", psDash, 1, clRed, PS_DASH, 0x0000FF},
      {"dot", psDot, 1, clBlue, PS_DOT, 0xFF0000},
      {"dash dot", psDashDot, 1, clBlack, PS_DASHDOT, 0},
      {"dash dot dot", psDashDotDot, 1, clBlack, PS_DASHDOTDOT, 0},
      {"clear", psClear, 1, clBlack, PS_NULL, 0},
      {"inside frame, wide", psInsideFrame, 3, clLime, PS_INSIDEFRAME, 0x00FF00},
      {"system colour resolved", psSolid, 2, clBtnShadow, PS_SOLID, COLORREF(GetSysColor(COLOR_BTNSHADOW))},
  };
  for (const TCase& Case : Cases) {
    SCOPED_TRACE(Case.Name);
    TPen Pen;
    Pen.SetStyle(Case.Style);
    Pen.SetWidth(Case.Width);
    Pen.SetColor(Case.Color);
    LOGPEN Log{};
    ASSERT_NE(GetObject(Pen.Handle(), sizeof(Log), &Log), 0);
    EXPECT_EQ(Log.lopnStyle & PS_STYLE_MASK, Case.GdiStyle);
    EXPECT_EQ(Log.lopnWidth.x, Case.Width);
    if (Case.Style != psClear) {
      EXPECT_EQ(Log.lopnColor, Case.Rgb);
    }
  }

  TPen Pen;
  const HPEN Handle = Pen.Handle();
  TChangeCounter Counter(Pen);
  Pen.SetMode(pmXor);  // the mode belongs to the canvas's mix mode, not to the pen handle
  EXPECT_EQ(Counter.Count, 1);
  EXPECT_EQ(Pen.Handle(), Handle);
  Pen.SetWidth(-1);  // refused
  EXPECT_EQ(Pen.Width(), 1);
  EXPECT_EQ(Counter.Count, 1);
}

TEST(Brush, HandleFollowsStyleAndColour) {
  struct TCase {
    const char* Name;
    TBrushStyle Style;
    UINT GdiStyle;
    ULONG_PTR Hatch;
  };
  const TCase Cases[] = {
      {"solid", bsSolid, BS_SOLID, 0},
      {"clear", bsClear, BS_NULL, 0},
      {"horizontal", bsHorizontal, BS_HATCHED, HS_HORIZONTAL},
      {"vertical", bsVertical, BS_HATCHED, HS_VERTICAL},
      {"forward diagonal", bsFDiagonal, BS_HATCHED, HS_FDIAGONAL},
      {"backward diagonal", bsBDiagonal, BS_HATCHED, HS_BDIAGONAL},
      {"cross", bsCross, BS_HATCHED, HS_CROSS},
      {"diagonal cross", bsDiagCross, BS_HATCHED, HS_DIAGCROSS},
  };
  for (const TCase& Case : Cases) {
    SCOPED_TRACE(Case.Name);
    TBrush Brush;
    Brush.SetColor(clMaroon);
    Brush.SetStyle(Case.Style);
    LOGBRUSH Log{};
    ASSERT_NE(GetObject(Brush.Handle(), sizeof(Log), &Log), 0);
    EXPECT_EQ(Log.lbStyle, Case.GdiStyle);
    if (Case.GdiStyle == BS_HATCHED) {
      EXPECT_EQ(Log.lbHatch, Case.Hatch);
    }
    if (Case.GdiStyle != BS_NULL) {
      EXPECT_EQ(Log.lbColor, COLORREF(clMaroon));
    }
  }
}

TEST(Brush, ColourOnAClearBrushMakesItSolid) {
  TBrush Brush;
  Brush.SetStyle(bsClear);
  TChangeCounter Counter(Brush);
  Brush.SetColor(clWhite);  // the same colour still turns the brush solid
  EXPECT_EQ(Brush.Style(), bsSolid);
  EXPECT_EQ(Counter.Count, 1);
  Brush.SetColor(clWhite);
  EXPECT_EQ(Counter.Count, 1);
}

TEST(Brush, PatternFromABitmapFollowsTheBitmap) {
  auto Pattern = MakeBitmap(8, 8, pf24bit, clRed);
  TBrush Brush;
  Brush.SetBitmap(Pattern.get());
  LOGBRUSH Log{};
  ASSERT_NE(GetObject(Brush.Handle(), sizeof(Log), &Log), 0);
  EXPECT_EQ(Log.lbStyle, BS_PATTERN);
  const HBRUSH First = Brush.Handle();
  EXPECT_EQ(Brush.Handle(), First);
  Pattern->SetSize(4, 4);  // a new bitmap handle: a new pattern
  EXPECT_NE(Brush.Handle(), nullptr);
  EXPECT_EQ(GetObjectType(First), 0u);
}

TEST(GraphicsObjects, PublishedPropertiesWorkByName) {
  TFont Font;
  SetStrProp(&Font, "Name", "Tahoma");
  SetOrdProp(&Font, "Size", 10);
  SetPropValue(&Font, "Style", TValue(int64_t(TFontStyles{fsBold}.Bits())));
  EXPECT_EQ(Font.Name(), "Tahoma");
  EXPECT_EQ(Font.Height(), -13);
  EXPECT_EQ(Font.Style(), TFontStyles{fsBold});
  EXPECT_FALSE(GetPropInfo(&Font, "Size")->IsStored(Font));  // Height carries it

  TPen Pen;
  SetEnumProp(&Pen, "Style", "psDot");
  SetEnumProp(&Pen, "Mode", "pmNotXor");
  EXPECT_EQ(Pen.Style(), psDot);
  EXPECT_EQ(GetEnumProp(&Pen, "Mode"), "pmNotXor");

  TBrush Brush;
  SetEnumProp(&Brush, "Style", "bsClear");
  EXPECT_EQ(Brush.Style(), bsClear);
}

TEST(GraphicsObjects, FormTextsWriteColoursAndCharsetsByName) {
  const char* const Text = R"(object Holder: TGraphicsHolder
  Font.Charset = RUSSIAN_CHARSET
  Font.Color = clRed
  Font.Height = -13
  Font.Name = 'Tahoma'
  Font.Style = [fsBold, fsUnderline]
  Color = clInfoBk
end
)";
  TGraphicsHolder Holder(nullptr);
  ReadComponentText(&Holder, Text);
  EXPECT_EQ(Holder.Color(), clInfoBk);
  EXPECT_EQ(Holder.Font()->Color(), clRed);
  EXPECT_EQ(Holder.Font()->Charset(), RUSSIAN_CHARSET);
  EXPECT_EQ(Holder.Font()->Size(), 10);
  EXPECT_EQ(Holder.Font()->Style(), (TFontStyles{fsBold, fsUnderline}));
  EXPECT_EQ(WriteComponentText(&Holder), Text);

  // A colour without a name is written as its number and read back the same.
  Holder.SetColor(TColor(0x00123456));
  Holder.Font()->SetCharset(77);
  const std::string Written = WriteComponentText(&Holder);
  EXPECT_NE(Written.find("Color = 1193046"), std::string::npos) << Written;
  EXPECT_NE(Written.find("Font.Charset = MAC_CHARSET"), std::string::npos) << Written;
  TGraphicsHolder Copy(nullptr);
  ReadComponentText(&Copy, Written);
  EXPECT_EQ(Copy.Color(), TColor(0x00123456));
  EXPECT_EQ(Copy.Font()->Charset(), 77);

  EXPECT_THROW(ReadComponentText(&Copy, "object Holder: TGraphicsHolder\n  Color = clNoSuchColour\nend\n"),
               EReadError);
}
