// The outlook bar: where the page buttons and the open panel lie for each panel alignment and
// layout, the slide on a page change (steps on the manual clock, and when it jumps instead), a
// page change asked for during a slide, pages and their panels and lists coming and going
// together, and a bar read from its form text.

#include "vcontrols/outlook/vcoutlookbar.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/classes/formreader.h"
#include "platform/user/user.h"
#include "tests/vcontrols/buttons/buttontest.h"
#include "vcontrols/imaging/vcimager.h"

using namespace VcTest;
using FormsTest::TTestPanel;

namespace {

class OutlookBarTest : public TButtonTest {
 protected:
  void SetUp() override {
    TButtonTest::SetUp();
    FClock->SetSleepAdvances(true);
    Form->SetBounds(0, 0, 400, 360);
    Bar = new TvcOutlookBar(Form);
    Bar->SetName("Bar");
    Bar->SetBorderStyle(bsNone);
    Bar->SetParent(Form);
    Bar->SetBounds(0, 0, 223, 304);
    Bar->OnChange = TvcButtonGroupChangeEvent([this](TvcCustomButtonGroup*, TvcButtonGroupItem* Old, TvcButtonGroupItem* New) {
      Changes.push_back((Old ? std::to_string(Old->Index()) : "-") + ">" + std::to_string(New->Index()));
    });
  }
  TvcOutlookPage* Add(int Count = 1) {
    TvcOutlookPage* Last = nullptr;
    for (int I = 0; I < Count; ++I) Last = static_cast<TvcOutlookPage*>(Bar->OutlookItems()->Add());
    return Last;
  }
  TvcOutlookPage* Page(int Index) { return Bar->OutlookItems()->Items(Index); }
  RECT ButtonAt(int Index) { return Page(Index)->Button()->BoundsRect(); }
  RECT PanelAt(int Index) { return Page(Index)->Panel()->BoundsRect(); }
  // The page's button clicked by the user (the slide runs inside the click).
  void ClickPage(int Index) {
    Form->Show();
    Pump();
    Click(Page(Index)->Button(), 5, 5);
  }
  TvcOutlookBar* Bar = nullptr;
  std::vector<std::string> Changes;
};

TEST_F(OutlookBarTest, PlacesTheButtonsAndTheOpenPanel) {
  struct TCase {
    const char* Name;
    TvcLayout Layout;
    TvcPanelAlignment Alignment;
    int Active;
    std::vector<RECT> Buttons;
    RECT Panel;
  };
  // 223 x 304, three pages of 20: the open panel is 304 - 60 = 244 high (223 - 60 = 163 wide).
  const TCase Cases[] = {
      {"dynamic, first page: below its button", loVertical, paDynamic, 0,
       {RECT{0, 0, 223, 20}, RECT{0, 264, 223, 284}, RECT{0, 284, 223, 304}}, RECT{0, 20, 223, 264}},
      {"dynamic, last page: below all buttons", loVertical, paDynamic, 2,
       {RECT{0, 0, 223, 20}, RECT{0, 20, 223, 40}, RECT{0, 40, 223, 60}}, RECT{0, 60, 223, 304}},
      {"top: the panel above the buttons", loVertical, paTop, 1,
       {RECT{0, 244, 223, 264}, RECT{0, 264, 223, 284}, RECT{0, 284, 223, 304}}, RECT{0, 0, 223, 244}},
      {"bottom: the buttons above the panel", loVertical, paBottom, 0,
       {RECT{0, 0, 223, 20}, RECT{0, 20, 223, 40}, RECT{0, 40, 223, 60}}, RECT{0, 60, 223, 304}},
      {"horizontal, dynamic: right of its button", loHorizontal, paDynamic, 1,
       {RECT{0, 0, 20, 304}, RECT{20, 0, 40, 304}, RECT{203, 0, 223, 304}}, RECT{40, 0, 203, 304}},
  };
  Add(3);
  for (const TCase& Case : Cases) {
    SCOPED_TRACE(Case.Name);
    Bar->SetLayout(Case.Layout);
    Bar->SetPanelAlignment(Case.Alignment);
    Bar->SetSelected(Page(Case.Active));
    for (int Index = 0; Index < 3; ++Index) {
      SCOPED_TRACE(Index);
      EXPECT_EQ(ButtonAt(Index), Case.Buttons[size_t(Index)]);
      EXPECT_EQ(Page(Index)->Panel()->Visible(), Index == Case.Active);
      if (Index != Case.Active) { EXPECT_LE(PanelAt(Index).bottom, 0) << "hidden above the bar"; }
    }
    EXPECT_EQ(PanelAt(Case.Active), Case.Panel);
  }

  // Without buttons the open panel has the whole bar.
  Bar->SetShowButtons(false);
  EXPECT_FALSE(Page(0)->Button()->Visible());
  EXPECT_EQ(PanelAt(Bar->Selected()->Index()), (RECT{0, 0, 223, 304}));
  Bar->SetShowButtons(true);
  EXPECT_TRUE(Page(0)->Button()->Visible());
}

TEST_F(OutlookBarTest, PagesComeWithTheirPanelsAndLists) {
  TvcOutlookPage* First = Add();
  EXPECT_EQ(Bar->Selected(), First) << "the first page is the active one";
  EXPECT_EQ(Bar->ActivePage(), First->Button());
  ASSERT_NE(First->Panel(), nullptr);
  EXPECT_EQ(First->Panel()->Owner(), Bar) << "the bar owns the panels";
  EXPECT_EQ(First->Panel()->Name(), "OutlookPanel1");
  ASSERT_NE(First->OutlookList(), nullptr) << "cboAutoCreateOutlookList";
  EXPECT_EQ(First->OutlookList()->Owner(), Form) << "the form above the bar owns the list";
  EXPECT_EQ(First->OutlookList()->Name(), "BarOutlookList1");
  EXPECT_EQ(First->OutlookList()->Parent(), First->Panel());
  EXPECT_EQ(First->OutlookList()->Align(), alClient);

  Bar->SetOptions(TvcCustomOutlookBarOptions{});
  TvcOutlookPage* Second = Add();
  EXPECT_EQ(Second->Panel()->Name(), "OutlookPanel2");
  EXPECT_EQ(Second->OutlookList(), nullptr);

  // A freed list is forgotten; a freed page takes its panel and button.
  First->OutlookList()->Free();
  EXPECT_EQ(First->OutlookList(), nullptr);
  const int Components = Bar->ComponentCount();
  delete Second;
  EXPECT_EQ(Bar->ComponentCount(), Components - 1);
  EXPECT_EQ(Bar->OutlookItems()->Count(), 1);

  // A bar with no form or frame above it has no owner for a list: its pages get none.
  auto Loose = std::make_unique<TvcOutlookBar>(nullptr);
  auto* LoosePage = static_cast<TvcOutlookPage*>(Loose->OutlookItems()->Add());
  EXPECT_NE(LoosePage->Panel(), nullptr);
  EXPECT_EQ(LoosePage->OutlookList(), nullptr);
}

TEST_F(OutlookBarTest, APageChangeSlidesInSteps) {
  Add(3);
  TvcOutlookPanel* Opening = Page(2)->Panel();
  std::vector<int> Heights;
  Opening->OnResize = TNotifyEvent([&](TObject*) {
    if (Heights.empty() || Heights.back() != Opening->Height()) Heights.push_back(Opening->Height());
  });
  Form->Show();
  Pump();
  Changes.clear();
  const uint64_t Start = FClock->TickCount();
  ClickPage(2);
  // From nothing under its button, seven steps of 1 ms: each edge at start + trunc((target -
  // start) * step / 7).
  EXPECT_EQ(Heights, (std::vector<int>{0, 34, 69, 104, 139, 174, 209, 244}));
  EXPECT_GE(FClock->TickCount() - Start, 7u);
  EXPECT_EQ(PanelAt(2), (RECT{0, 60, 223, 304}));
  EXPECT_EQ(ButtonAt(1), (RECT{0, 20, 223, 40}));
  EXPECT_FALSE(Page(0)->Panel()->Visible()) << "the old panel shrank and was hidden";
  EXPECT_LE(PanelAt(0).bottom, 0);
  EXPECT_EQ(Changes, (std::vector<std::string>{"0>2"}));
  EXPECT_TRUE(Page(2)->Button()->Down());
  EXPECT_FALSE(Page(0)->Button()->Down());
}

TEST_F(OutlookBarTest, ASwitchJumpsWhenItMustNotSlide) {
  struct TCase {
    const char* Name;
    bool Enabled;
    int Steps;
    bool AlignedControl;  // a panel without a list holds a control aligned to its client area
    bool InCode;          // Selected set in code (it slides like a click)
    std::vector<int> Heights;  // the sizes the opening panel takes, from its jump to nothing
  };
  const TCase Cases[] = {
      // The item's writer arranges once more after the slide: the panel jumps back into place.
      {"a page selected in code slides like a click", true, 4, false, true, {0, 66, 132, 198, 264, 0, 264}},
      {"animation off", false, 7, false, false, {0, 264}},
      {"an aligned control on a page panel", true, 7, true, false, {0, 264}},
      // Fewer than one step would leave the panels at their start: the page shows at once.
      {"no steps", true, 0, false, false, {0, 264}},
      {"negative steps", true, -3, false, true, {0, 264, 0, 264}},
  };
  for (const TCase& Case : Cases) {
    SCOPED_TRACE(Case.Name);
    Bar->OutlookItems()->ClearItems();
    Bar->SetOptions(Case.AlignedControl ? TvcCustomOutlookBarOptions{} : TvcCustomOutlookBarOptions{cboAutoCreateOutlookList});
    Add(2);
    if (Case.AlignedControl) {
      auto* Memo = new TTestPanel(Form);
      Memo->SetParent(Page(0)->Panel());
      Memo->SetAlign(alClient);
    }
    Bar->Animation()->SetEnabled(Case.Enabled);
    Bar->Animation()->SetSteps(Case.Steps);
    std::vector<int> Heights;
    TvcOutlookPanel* Opening = Page(1)->Panel();
    Opening->OnResize = TNotifyEvent([&](TObject*) {
      if (Heights.empty() || Heights.back() != Opening->Height()) Heights.push_back(Opening->Height());
    });
    Form->Show();
    Pump();
    Heights.clear();
    if (Case.InCode) {
      Bar->SetSelected(Page(1));
    } else {
      ClickPage(1);
    }
    EXPECT_EQ(Heights, Case.Heights);
    EXPECT_EQ(PanelAt(1), (RECT{0, 40, 223, 304}));
    EXPECT_TRUE(Page(1)->Panel()->Visible());
  }

  // Rearrangements that are no page change never slide.
  std::vector<int> Heights;
  Bar->Animation()->SetSteps(7);
  TvcOutlookPanel* Open = Page(1)->Panel();
  Open->OnResize = TNotifyEvent([&](TObject*) {
    if (Heights.empty() || Heights.back() != Open->Height()) Heights.push_back(Open->Height());
  });
  Bar->SetBounds(0, 0, 223, 204);
  EXPECT_EQ(Heights, (std::vector<int>{0, 164}));
  EXPECT_EQ(PanelAt(1), (RECT{0, 40, 223, 204}));
}

TEST_F(OutlookBarTest, APageChangeAskedForDuringASlideIsUndone) {
  Add(3);
  bool Asked = false;
  Page(2)->Panel()->OnResize = TNotifyEvent([&](TObject*) {
    // Something running between two steps (a timer, a handler) selects another page.
    if (Asked) return;
    Asked = true;
    Bar->SetSelected(Page(1));
  });
  ClickPage(2);
  ASSERT_TRUE(Asked);
  EXPECT_EQ(Bar->Selected(), Page(2)) << "the slide completes to the page it started for";
  EXPECT_FALSE(Page(1)->Button()->Down());
  EXPECT_EQ(PanelAt(2), (RECT{0, 60, 223, 304}));
  EXPECT_FALSE(Page(1)->Panel()->Visible());
}

TEST_F(OutlookBarTest, ReadFromAFormThePanelsGoToThePagesInOrder) {
  Bar->Free();
  Bar = nullptr;
  ReadComponentText(Form, R"(object Form: TForm
  object Options: TvcOutlookBar
    Left = 0
    Top = 0
    Width = 200
    Height = 200
    BorderStyle = bsNone
    ButtonSize = 20
    Options = [cboTransparentPanels]
    object OptionsPage: TvcShapeBtn
      Caption = 'Options'
      GroupIndex = 1
    end
    object AboutPage: TvcShapeBtn
      Caption = 'About'
      GroupIndex = 1
      Down = True
    end
    object OutlookPanel1: TvcOutlookPanel
      object Table: TTestPanel
        Align = alClient
      end
    end
    object OutlookPanel2: TvcOutlookPanel
      object AboutList: TvcOutlookList
        Align = alClient
      end
    end
  end
end)");
  auto* Options = dynamic_cast<TvcOutlookBar*>(Form->FindComponent("Options"));
  ASSERT_NE(Options, nullptr);
  TvcOutlookPages* Pages = Options->OutlookItems();
  ASSERT_EQ(Pages->Count(), 2);
  EXPECT_EQ(Pages->Items(0)->Panel()->Name(), "OutlookPanel1");
  EXPECT_EQ(Pages->Items(1)->OutlookList(), Form->FindComponent("AboutList"));
  EXPECT_EQ(Pages->Items(0)->Panel()->Owner(), Options) << "the panels move to the bar";
  EXPECT_EQ(Options->Selected(), Pages->Items(1));
  EXPECT_TRUE(Pages->Items(1)->Panel()->Visible());
  EXPECT_FALSE(Pages->Items(0)->Panel()->Visible());
  EXPECT_EQ(Pages->Items(1)->Panel()->BoundsRect(), (RECT{0, 40, 200, 200})) << "placed without a slide";

  // Written back, the panels follow the buttons, each with what is on it.
  const std::string Text = WriteComponentText(Form);
  EXPECT_LT(Text.find("AboutPage"), Text.find("OutlookPanel1"));
  EXPECT_LT(Text.find("OutlookPanel1"), Text.find("Table"));
  EXPECT_LT(Text.find("OutlookPanel2"), Text.find("AboutList"));
}

TEST_F(OutlookBarTest, PagesAFormGaveNoPanelGetOne) {
  Bar->Free();
  Bar = nullptr;
  // The pages' controls lie on the bar itself, and no panel was written.
  ReadComponentText(Form, R"(object Form: TForm
  object Options: TvcOutlookBar
    Left = 0
    Top = 0
    Width = 200
    Height = 200
    BorderStyle = bsNone
    object OptionsPage: TvcShapeBtn
      Caption = 'Options'
      GroupIndex = 1
      Down = True
    end
    object Table: TTestPanel
      Left = 0
      Top = 20
      Width = 200
      Height = 160
    end
    object AboutPage: TvcShapeBtn
      Caption = 'About'
      GroupIndex = 1
    end
  end
end)");
  auto* Options = dynamic_cast<TvcOutlookBar*>(Form->FindComponent("Options"));
  ASSERT_NE(Options, nullptr);
  TvcOutlookPages* Pages = Options->OutlookItems();
  ASSERT_EQ(Pages->Count(), 2);
  for (int Index = 0; Index < 2; ++Index) {
    ASSERT_NE(Pages->Items(Index)->Panel(), nullptr);
    EXPECT_EQ(Pages->Items(Index)->OutlookList(), nullptr) << "the page's content is the form's";
  }
  EXPECT_EQ(Pages->Items(1)->Button()->BoundsRect(), (RECT{0, 180, 200, 200})) << "the open page keeps its room";
  EXPECT_EQ(Pages->Items(0)->Panel()->BoundsRect(), (RECT{0, 20, 200, 180}));
}

TEST_F(OutlookBarTest, AnImagerPaintsBehindShapedButtons) {
  Add(2);
  auto* Picture = new TvcImager(Form);
  TvcBitmap Blue;
  PaintPicture(Blue, 8, 8, [](int, int) { return 0x2040C0u; });
  Picture->Picture()->Assign(&Blue);
  Bar->SetImager(Picture);
  EXPECT_EQ(Picture->Parent(), Bar);
  EXPECT_FALSE(Picture->Visible());
  EXPECT_EQ(Picture->DrawStyle(), dsTile);
  Bar->SetImager(Picture);
  static_cast<TvcShapeBtn*>(Page(1)->Button())->SetShape(bsEllipse);
  Form->Show();
  Pump();
  // The corner of the elliptic button shows the bar's picture, its middle the button.
  const RECT Round = ButtonAt(1);
  EXPECT_EQ(ScreenColor(Bar, Round.left, Round.top), 0x2040C0u);
  EXPECT_NE(ScreenColor(Bar, (Round.left + Round.right) / 2, (Round.top + Round.bottom) / 2), 0x2040C0u);
  // A freed picture is forgotten; the bar paints its colour again.
  Picture->Free();
  EXPECT_EQ(Bar->Imager(), nullptr);
  Pump();
  EXPECT_EQ(ScreenColor(Bar, Round.left, Round.top), Rgb(Bar->Color()));
}

}  // namespace
