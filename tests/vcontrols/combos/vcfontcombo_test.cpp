// The font combo: the installed fonts listed on demand (or at once with PreLoad), sorted, with
// the glyph of their kind, refused by OnAddFont; the block of recent fonts (MaxMRU, moving a
// chosen one to the top, -1 and 0, nothing after Escape); typing that looks past the recent
// block; the font hint in the font's own face; and the open drop-down as it looks.

#include "vcontrols/combos/vcfontcombo.h"

#include <gtest/gtest.h>

#include <set>

#include "platform/forms/application.h"
#include "platform/user/user.h"
#include "tests/vcontrols/combos/combotest.h"
#include "vcontrols/text/vctooltip.h"

namespace VcTest {
namespace {

// Fonts every machine that builds the program has (fonts-dejavu-core, fonts-liberation2, and
// the well-known names that stand for them).
const std::set<std::string> KnownFonts = {"Arial",       "DejaVu Sans",     "DejaVu Sans Mono", "DejaVu Serif",
                                          "Liberation Mono", "Liberation Sans", "Liberation Serif", "Verdana"};
const char* const Sorted[] = {"Arial",           "DejaVu Sans",     "DejaVu Sans Mono", "DejaVu Serif",
                              "Liberation Mono", "Liberation Sans", "Liberation Serif", "Verdana"};

class TFontComboTest : public TComboTest {
 protected:
  void SetUp() override {
    TComboTest::SetUp();
    Fonts = Make(false);
  }
  void TearDown() override {
    HintWindowClass = nullptr;
    TComboTest::TearDown();
  }
  TvcFontCombo* Make(bool PreLoad) {
    auto* Combo = new TvcFontCombo(Form);
    Combo->SetBounds(10, 90, 160, 22);
    Combo->SetPreLoad(PreLoad);
    Combo->OnAddFont = TvcAddFontEvent([this](TObject*, const std::string& Name, TvcComboFontType,
                                              const ENUMLOGFONTA&, const NEWTEXTMETRICA&, bool& Accept) {
      ++Offered;
      Accept = KnownFonts.count(Name) != 0;
    });
    Combo->SetParent(Form);
    Pump();
    return Combo;
  }
  // The tree's node texts in order, "*" marking the recent block.
  std::vector<std::string> Listed() {
    std::vector<std::string> Result;
    for (TvcTreeNode* Node = Fonts->TreeView()->Items()->GetFirstNode(); Node; Node = Node->GetNext())
      Result.push_back((static_cast<TvcFontPopupNode*>(Node)->Recent() ? "*" : "") + Node->Text());
    return Result;
  }
  std::vector<std::string> Recent() {
    std::vector<std::string> Result;
    for (int Index = 0; Index < Fonts->RecentFonts()->Count(); ++Index) Result.push_back((*Fonts->RecentFonts())[Index]);
    return Result;
  }
  // Opens the drop-down, types the name, and takes it with Enter.
  void Choose(const std::string& Name) {
    Fonts->SetFocus();
    Pump();
    Fonts->DropDown();
    Pump();
    std::u32string Typed(Name.begin(), Name.end());
    Type(Typed);
    Stroke(VK_RETURN);
    ASSERT_FALSE(Fonts->GetDroppedDown());
    ASSERT_EQ(Fonts->SelectedFont(), Name);
  }
  TvcFontCombo* Fonts = nullptr;
  int Offered = 0;
};

TEST_F(TFontComboTest, TheFontsComeAtTheFirstDropDownSortedAndWithTheirGlyph) {
  EXPECT_EQ(Fonts->SelectedFont(), "");
  EXPECT_EQ(Fonts->TreeView()->Items()->Count(), 0);
  Fonts->SetFocus();
  Pump();
  Fonts->DropDown();
  Pump();
  ASSERT_TRUE(Fonts->GetDroppedDown());
  EXPECT_EQ(Listed(), std::vector<std::string>(std::begin(Sorted), std::end(Sorted)));
  // OnAddFont saw every family and its refusals left no node.
  EXPECT_GT(Offered, int(KnownFonts.size()));
  for (TvcTreeNode* Node = Fonts->TreeView()->Items()->GetFirstNode(); Node; Node = Node->GetNext())
    EXPECT_EQ(Node->ImageIndex(), 0) << Node->Text();  // outline faces: the TrueType glyph
  EXPECT_EQ(Fonts->TreeView()->Images(), TFontImageList::Shared());
  EXPECT_EQ(TFontImageList::Shared()->Count(), 2);
  EXPECT_EQ(TFontImageList::Shared()->Width(), 12);
  Stroke(VK_ESCAPE);
  // With PreLoad the list is there as soon as the window is.
  Offered = 0;
  TvcFontCombo* Loaded = Make(true);
  Form->Show();
  Pump();
  EXPECT_EQ(Loaded->TreeView()->Items()->Count(), int(KnownFonts.size()));
  // The main window selects a stored font through the tree.
  TvcTreeNode* Verdana = Loaded->TreeView()->Items()->FindNode("verdana", false);
  ASSERT_NE(Verdana, nullptr);
  Loaded->TreeView()->SetSelected(Verdana);
  EXPECT_EQ(Loaded->SelectedFont(), "Verdana");
}

TEST_F(TFontComboTest, EachKindHasItsGlyph) {
  Fonts->OnAddFont = nullptr;
  Fonts->TreeView()->HandleNeeded();
  struct TCase {
    const char* Name;
    DWORD FontType;
    int32_t Image;
  };
  const TCase Cases[] = {
      {"Outline", TRUETYPE_FONTTYPE, 0},
      {"Printer", DEVICE_FONTTYPE, 1},
      {"Vector", 0, -1},
      {"Bitmap", RASTER_FONTTYPE, 2},  // no such image: no glyph
  };
  for (const TCase& Case : Cases) {
    SCOPED_TRACE(Case.Name);
    ENUMLOGFONTA LogFont{};
    snprintf(LogFont.elfLogFont.lfFaceName, LF_FACESIZE, "%s", Case.Name);
    Fonts->AddFont(LogFont, NEWTEXTMETRICA{}, Case.FontType);
    TvcTreeNode* Node = Fonts->TreeView()->Items()->FindNode(Case.Name, false);
    ASSERT_NE(Node, nullptr);
    EXPECT_EQ(Node->ImageIndex(), Case.Image);
  }
  // The printer draws with outline faces only.
  Fonts->SetFontSelections(vcPrinterFonts);
  ENUMLOGFONTA LogFont{};
  snprintf(LogFont.elfLogFont.lfFaceName, LF_FACESIZE, "%s", "Fixed");
  Fonts->AddFont(LogFont, NEWTEXTMETRICA{}, RASTER_FONTTYPE);
  EXPECT_EQ(Fonts->TreeView()->Items()->FindNode("Fixed", false), nullptr);
}

TEST_F(TFontComboTest, RecentFontsKeepTheNewestOnTop) {
  const char* Chosen[] = {"Arial", "Verdana", "DejaVu Serif", "Liberation Mono", "DejaVu Sans Mono", "Liberation Sans",
                          "Liberation Serif"};
  for (const char* Name : Chosen) Choose(Name);
  EXPECT_EQ(Recent(), (std::vector<std::string>{"Liberation Serif", "Liberation Sans", "DejaVu Sans Mono",
                                                "Liberation Mono", "DejaVu Serif", "Verdana"}));
  const std::vector<std::string> Expected{"*Liberation Serif", "*Liberation Sans", "*DejaVu Sans Mono",
                                          "*Liberation Mono",  "*DejaVu Serif",    "*Verdana",
                                          "Arial",             "DejaVu Sans",      "DejaVu Sans Mono",
                                          "DejaVu Serif",      "Liberation Mono",  "Liberation Sans",
                                          "Liberation Serif",  "Verdana"};
  EXPECT_EQ(Listed(), Expected);
  // The chosen one is selected in the recent block.
  EXPECT_EQ(Fonts->TreeView()->Selected(), Fonts->TreeView()->Items()->GetFirstNode());
  // Choosing one of them again moves it up, without a second copy.
  Choose("Liberation Mono");
  EXPECT_EQ(Recent(), (std::vector<std::string>{"Liberation Mono", "Liberation Serif", "Liberation Sans",
                                                "DejaVu Sans Mono", "DejaVu Serif", "Verdana"}));
  EXPECT_EQ(Fonts->TreeView()->Items()->Count(), 14);
  // Escape after browsing changes nothing.
  const std::vector<std::string> Before = Recent();
  Fonts->DropDown();
  Pump();
  Stroke(VK_DOWN);
  Stroke(VK_DOWN);
  Stroke(VK_ESCAPE);
  EXPECT_EQ(Recent(), Before);
  EXPECT_EQ(Fonts->SelectedFont(), "Liberation Mono");
  // A smaller MaxMRU trims at once; 0 keeps the block empty.
  Fonts->SetMaxMRU(2);
  EXPECT_EQ(Recent(), (std::vector<std::string>{"Liberation Mono", "Liberation Serif"}));
  Fonts->SetMaxMRU(0);
  EXPECT_TRUE(Recent().empty());
  Choose("Arial");
  EXPECT_TRUE(Recent().empty());
  EXPECT_EQ(Listed(), std::vector<std::string>(std::begin(Sorted), std::end(Sorted)));
  // -1: the list stays as it was given, untrimmed and unchanged by choices.
  Fonts->SetMaxMRU(-1);
  TStringList Given;
  for (const char* Name : {"Verdana", "Arial", "DejaVu Sans", "DejaVu Serif", "Liberation Mono", "Liberation Sans",
                           "Liberation Serif", "DejaVu Sans Mono"})
    Given.Add(Name);
  Fonts->SetRecentFonts(&Given);
  Choose("DejaVu Serif");
  EXPECT_EQ(Fonts->RecentFonts()->Count(), 8);
  EXPECT_EQ((*Fonts->RecentFonts())[0], "Verdana");
}

TEST_F(TFontComboTest, TypingLooksPastTheRecentBlock) {
  TStringList Given;
  Given.Add("Verdana");
  Fonts->SetRecentFonts(&Given);
  Fonts->SetFocus();
  Pump();
  Fonts->DropDown();
  Pump();
  Type(U"ver");
  auto* Node = static_cast<TvcFontPopupNode*>(Fonts->TreeView()->Selected());
  ASSERT_NE(Node, nullptr);
  EXPECT_EQ(Node->Text(), "Verdana");
  EXPECT_FALSE(Node->Recent());
  EXPECT_EQ(Fonts->GetSearchStartNode()->Text(), "Arial");
  Stroke(VK_ESCAPE);
}

TEST_F(TFontComboTest, TheHintShowsTheFontInItsOwnFace) {
  Fonts->SetImmediateHints(true);
  Application->SetHintPause(500);
  std::string Generated;
  Fonts->OnGenerateFontHint =
      TvcFontHintEvent([&](TObject*, const std::string& Name, std::string& Hint, TFont*) { Generated = Name; });
  Fonts->SetFocus();
  Pump();
  Fonts->DropDown();
  Pump();
  EXPECT_EQ(HintWindowClass, &TvcToolTip::StaticClass());
  EXPECT_EQ(Application->HintPause(), 0);
  Stroke(VK_DOWN);
  Stroke(VK_DOWN);
  EXPECT_EQ(Fonts->SelectedFont(), "DejaVu Sans");
  EXPECT_EQ(vcToolTipFont()->Name(), "DejaVu Sans");
  EXPECT_EQ(vcToolTipFont()->Size(), 12);
  EXPECT_EQ(Fonts->TreeView()->Hint(), "DejaVu Sans");
  EXPECT_EQ(Generated, "DejaVu Sans");
  Stroke(VK_ESCAPE);
  EXPECT_EQ(HintWindowClass, &THintWindow::StaticClass());
  EXPECT_EQ(Application->HintPause(), 500);
}

TEST_F(TFontComboTest, OpenDropDownAsItLooks) {
  for (const char* Name : {"Verdana", "Arial"}) Choose(Name);
  Fonts->DropDown();
  Pump();
  ASSERT_TRUE(Fonts->GetDroppedDown());
  TvcPopupTreeView* Tree = Fonts->TreeView();
  // The line under the recent block, in the button shadow colour.
  const RECT LastRecent = Tree->Items()->Item(1)->DisplayRect(false);
  EXPECT_EQ(ScreenColor(Tree, 40, LastRecent.bottom - 2), uint32_t(ColorToRGB(clBtnShadow)) & 0xFFFFFF);
  RECT Area{0, 0, 0, 0};
  const POINT Origin = Fonts->ClientToScreen(POINT{0, 0});
  Area = RECT{Origin.x - 10, Origin.y - 10, Origin.x + 220, Origin.y + 200};
  SaveScreen("font_combo_open", Area);
  Stroke(VK_ESCAPE);
}

}  // namespace
}  // namespace VcTest
