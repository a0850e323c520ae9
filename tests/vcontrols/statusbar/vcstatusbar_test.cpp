// The status bar: panel widths in pixels and percent and the parts they give, the width texts
// refused, panel names, the key-state panels following injected keys and a double click, the
// date, time, hint and rich-edit caret panels on the manual clock, a control placed in a panel,
// the user and computer names, the simple part, and the mouse handed to the panel under it.

#include "vcontrols/statusbar/vcstatusbar.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

#include "platform/forms/commctrl.h"
#include "platform/forms/edit.h"
#include "platform/gdi/gdi.h"
#include "platform/rtl/datetime.h"
#include "platform/rtl/formatsettings.h"
#include "platform/rtl/systemnames.h"
#include "platform/user/user.h"
#include "tests/vcontrols/text/vctexttest.h"

using namespace VcTest;

namespace RichEditStandIn {

// The rich edit as a status panel sees one: a control of the class library's rich-edit class and
// the edit messages over lines that start at LineStarts.
class TCustomRichEdit : public TCustomEdit {
  KORCAM_CLASS(TCustomRichEdit, TCustomEdit)

 public:
  explicit TCustomRichEdit(TComponent* AOwner) : TCustomEdit(AOwner) {}
  std::vector<int> LineStarts{0};

  void Dispatch(TMessage& Message) override {
    auto LineOf = [this](int Position) {
      int Line = 0;
      while (Line + 1 < int(LineStarts.size()) && LineStarts[size_t(Line) + 1] <= Position) ++Line;
      return Line;
    };
    if (Message.Msg == EM_LINEFROMCHAR) {
      Message.Result = LineOf(int(Message.WParam));
    } else if (Message.Msg == EM_LINEINDEX) {
      const int Line = int(intptr_t(Message.WParam)) < 0 ? LineOf(SelStart()) : int(Message.WParam);
      Message.Result = Line < int(LineStarts.size()) ? LineStarts[size_t(Line)] : -1;
    } else {
      TCustomEdit::Dispatch(Message);
    }
  }
};

KORCAM_REGISTER_CLASS(TCustomRichEdit)

}  // namespace RichEditStandIn

namespace {

uint32_t Rgb(TColor Color) {
  const TColor Value = ColorToRGB(Color);
  return uint32_t(Value & 0xFF) << 16 | uint32_t(Value & 0xFF00) | uint32_t(Value >> 16 & 0xFF);
}

class StatusBarTest : public TVcFormTest {
 protected:
  void SetUp() override {
    TVcFormTest::SetUp();
    Form->SetBounds(0, 0, 693, 120);
    Bar = new TvcStatusBar(Form);
    Bar->SetName("Status");
    Bar->SetParent(Form);
  }
  TvcStatusPanel* Add(const std::string& Width, TvcStatusPanelStyle Style = psTextOnly) {
    TvcStatusPanel* Panel = Bar->Panels()->Add();
    Panel->SetWidth(Width);
    Panel->SetStyle(Style);
    return Panel;
  }
  void Show() {
    Form->Show();
    Pump();
  }
  // What the panel draws, as OnDrawText sees it.
  struct TDrawn {
    std::vector<std::string> Texts;
    std::vector<bool> Enabled;
  };
  void Record(TvcStatusPanel* Panel, TDrawn& Drawn) {
    Panel->OnDrawText = TvcDrawTextEvent([&Drawn](TvcStatusPanel*, std::string& Text, bool& Enabled) {
      Drawn.Texts.push_back(Text);
      Drawn.Enabled.push_back(Enabled);
    });
  }
  // The parts' right edges as the window holds them.
  std::vector<int> PartEdges() {
    std::vector<int> Edges(256);
    const int Count = int(SendMessageA(Bar->Handle(), SB_GETPARTS, WPARAM(Edges.size()), LPARAM(Edges.data())));
    Edges.resize(size_t(Count));
    return Edges;
  }
  TvcStatusBar* Bar = nullptr;
};

TEST_F(StatusBarTest, WidthsInPixelsAndPercent) {
  struct TCase {
    const char* Name;
    int BarWidth;
    std::vector<std::string> Widths;
    std::vector<int> Pixels;
    std::vector<int> Edges;  // empty: not checked
  };
  const TCase Cases[] = {
      {"the main window's bar", 693, {"90%", "10%"}, {623, 69}, {623, -1}},
      // Every percentage is of the 200 pixels the fixed panel leaves.
      {"percent of what fixed panels leave", 300, {"100", "50%", "50%"}, {100, 100, 100}, {100, 200, -1}},
      // (a change of width alone sends the parts again only for percentage panels)
      {"a fixed panel gets at most what is left", 300, {"500", "50"}, {300, 0}, {}},
      {"a negative width passes", 300, {"-5", "50"}, {-5, 50}, {-5, -1}},
      // 64-bit arithmetic: no overflow, the width is held at the largest pixel count.
      {"a huge percentage", 693, {"2147483647%", "10"}, {INT_MAX, 10}, {INT_MAX, -1}},
  };
  Show();
  for (const TCase& Case : Cases) {
    SCOPED_TRACE(Case.Name);
    // The widths are shared out when the bar takes its size.
    Bar->Panels()->Clear();
    Form->SetClientWidth(10);
    for (const std::string& Width : Case.Widths) Add(Width);
    Form->SetClientWidth(Case.BarWidth);
    ASSERT_EQ(Bar->Width(), Case.BarWidth);
    for (size_t Index = 0; Index < Case.Pixels.size(); ++Index)
      EXPECT_EQ(Bar->Panels()->Items(int(Index))->PixelWidth(), Case.Pixels[Index]) << Index;
    if (!Case.Edges.empty()) { EXPECT_EQ(PartEdges(), Case.Edges); }
  }

  // A resize shares the new width out again.
  Bar->Panels()->Clear();
  Form->SetClientWidth(693);
  Add("90%");
  Add("10%");
  Form->SetClientWidth(400);
  EXPECT_EQ(Bar->Panels()->Items(0)->PixelWidth(), 360);
  EXPECT_EQ(PartEdges(), (std::vector<int>{360, -1}));

  // The 129th panel and those after it get no part.
  Bar->Panels()->Clear();
  for (int Index = 0; Index < 130; ++Index) Add("2");
  EXPECT_EQ(PartEdges().size(), 128u);
  const HWND Window = Bar->Handle();
  Pump();
  EXPECT_EQ(Bar->Handle(), Window) << "drawing does not rebuild the window again and again";

  // No panels: one empty part across the bar.
  Bar->Panels()->Clear();
  EXPECT_EQ(PartEdges(), (std::vector<int>{-1}));
}

TEST_F(StatusBarTest, WidthTextsThatAreRefused) {
  TvcStatusPanel* Panel = Add("40");
  struct TCase {
    const char* Text;
    bool Accepted;
  };
  const TCase Cases[] = {
      {"25%", true}, {"120", true}, {"-5", true}, {"0", true},
      {"25x", false}, {"%", false}, {"-1", false}, {"", false}, {"x%", false}, {"99999999999", false},
  };
  for (const TCase& Case : Cases) {
    SCOPED_TRACE(Case.Text);
    Panel->SetWidth("40");
    if (Case.Accepted) {
      EXPECT_NO_THROW(Panel->SetWidth(Case.Text));
      EXPECT_EQ(Panel->Width(), Case.Text);
      continue;
    }
    try {
      Panel->SetWidth(Case.Text);
      ADD_FAILURE() << "accepted";
    } catch (const EInvalidOperation& Error) {
      EXPECT_EQ(std::string(Error.what()),
                "Width must be a valid, positive integer, or must be an integer followed by a \"%\" sign.");
    }
    EXPECT_EQ(Panel->Width(), "40") << "the old width stays";
  }
}

TEST_F(StatusBarTest, PanelsAreNamedUniquely) {
  TvcStatusPanel* First = Add("50");
  TvcStatusPanel* Second = Add("50");
  TvcStatusPanel* Third = Add("50");
  EXPECT_EQ(First->Name(), "Panel0");
  EXPECT_EQ(Third->Name(), "Panel2");
  delete Second;
  EXPECT_EQ(Add("50")->Name(), "Panel1") << "the first free number";
  try {
    Third->SetName("Panel1");
    ADD_FAILURE() << "a taken name was accepted";
  } catch (const EInvalidOperation& Error) {
    EXPECT_EQ(std::string(Error.what()), "A panel named Panel1 already exists.");
  }
  EXPECT_EQ(Third->Name(), "Panel2");
  EXPECT_EQ(Bar->Panels()->PanelByName("Panel2"), Third);
  EXPECT_EQ(Bar->Panels()->PanelByName("panel2"), nullptr) << "names are case-sensitive";
}

TEST_F(StatusBarTest, KeyStatePanelsFollowTheKeys) {
  TvcStatusPanel* Caps = Add("60", psCapsLock);
  TvcStatusPanel* Insert = Add("80", psOverWrite);
  TDrawn CapsDrawn, InsertDrawn;
  Record(Caps, CapsDrawn);
  Record(Insert, InsertDrawn);
  Show();
  ASSERT_FALSE(CapsDrawn.Enabled.empty());
  EXPECT_EQ(CapsDrawn.Texts.back(), "Caps");
  EXPECT_FALSE(CapsDrawn.Enabled.back()) << "greyed while the key is off";
  EXPECT_EQ(InsertDrawn.Texts.back(), "Overwrite");

  // The key goes through the input queue; the hook repaints at its press and at its release.
  CapsDrawn = {};
  InsertDrawn = {};
  Keys({VK_CAPITAL});
  EXPECT_EQ(CapsDrawn.Enabled, (std::vector<bool>{false, true}));
  EXPECT_TRUE(InsertDrawn.Texts.empty()) << "only the panels of that key";
  Keys({VK_CAPITAL});
  EXPECT_FALSE(CapsDrawn.Enabled.back());

  // A double click on the panel toggles the key itself.
  const RECT Part = Caps->GetRect();
  const POINT At = Bar->ClientToScreen(POINT{(Part.left + Part.right) / 2, (Part.top + Part.bottom) / 2});
  InjectMouseClick(VK_LBUTTON, At.x, At.y);
  InjectMouseClick(VK_LBUTTON, At.x, At.y);
  Pump();
  EXPECT_TRUE(GetKeyState(VK_CAPITAL) & 1);
  EXPECT_TRUE(CapsDrawn.Enabled.back());

  // The texts are the bar's; a handler may change what is drawn.
  Bar->StatusBarText()->SetOverwrite("INS");
  Bar->OnDrawKeyboardState = TDrawKeyboardStateEvent(
      [](TvcCustomStatusBar*, TvcStatusPanel*, bool KeyIsOn, RECT&, std::string& Text) { Text += KeyIsOn ? "+" : "-"; });
  Pump();
  EXPECT_EQ(InsertDrawn.Texts.back(), "INS-");
}

TEST_F(StatusBarTest, DateAndTimePanelsOnTheClock) {
  TFormatSettings Settings = FormatSettings();
  Settings.ShortDateFormat = "yyyy-mm-dd";
  Settings.ShortTimeFormat = "hh:nn";
  TScopedFormatSettings Scoped(Settings);
  FClock->SetNow(EncodeDateTime(2026, 12, 31, 23, 58, 30, 0));
  TvcStatusPanel* Time = Add("60", psTime);
  TvcStatusPanel* Date = Add("90", psDate);
  TvcStatusPanel* Both = Add("130", psDateTime);
  std::vector<std::string> Changes;
  Time->OnTextChanged = TvcPanelTextChangedEvent([&](TObject*, const std::string& Text) { Changes.push_back(Text); });
  TDrawn DateDrawn;
  Record(Date, DateDrawn);
  Show();
  EXPECT_EQ(Time->Text(), "23:58");
  EXPECT_EQ(Date->Text(), "2026-12-31");
  EXPECT_EQ(Both->Text(), "2026-12-31 23:58");
  DateDrawn = {};
  Changes.clear();
  Advance(3000, 100);
  EXPECT_TRUE(DateDrawn.Texts.empty()) << "the date repaints only when the day changes";
  Advance(90000, 500);
  EXPECT_EQ(Changes, (std::vector<std::string>{"23:59", "00:00"}));
  EXPECT_EQ(Date->Text(), "2027-01-01");
  EXPECT_EQ(DateDrawn.Texts, (std::vector<std::string>{"2027-01-01"}));
}

TEST_F(StatusBarTest, HintPanelsShowTheApplicationsHint) {
  TvcStatusPanel* Hint = Add("200", psHint);
  TvcStatusPanel* Contained = Add("200", psHintContainerOnly);
  Show();
  Application->SetHint("Save the picture");
  Advance(150);
  EXPECT_EQ(Hint->Text(), "Save the picture");
  EXPECT_EQ(Contained->Text(), "") << "the mouse is outside the form";
  // Inside an active form the contained panel follows too.
  SetActiveWindow(Form->Handle());
  const POINT Inside = Form->ClientToScreen(POINT{20, 20});
  SetCursorPos(Inside.x, Inside.y);
  Pump();
  Advance(150);
  EXPECT_EQ(Contained->Text(), "Save the picture");
  SetActiveWindow(nullptr);
  Application->SetHint("Other");
  Advance(150);
  EXPECT_EQ(Hint->Text(), "Other");
  EXPECT_EQ(Contained->Text(), "Save the picture") << "not while the form is inactive";
}

TEST_F(StatusBarTest, RichEditPanelShowsTheCaret) {
  auto* Edit = new RichEditStandIn::TCustomRichEdit(Form);
  Edit->SetParent(Form);
  Edit->SetBounds(0, 0, 200, 24);
  Edit->SetText("abcdefghijkl");
  Edit->LineStarts = {0, 4, 8};
  TvcStatusPanel* Caret = Add("120");
  Caret->SetComponent(Edit);
  EXPECT_EQ(Caret->Style(), psRichEditStatus);
  TDrawn Drawn;
  Record(Caret, Drawn);
  Show();
  EXPECT_EQ(Drawn.Texts.back(), "Ln: 1, Col: 1") << "the caret at the very start";
  EXPECT_EQ(Edit->Parent(), Form) << "a rich edit stays where it is";
  Edit->SetSelStart(6);
  Advance(150);
  EXPECT_EQ(Caret->CaretLine(), 1);
  EXPECT_EQ(Caret->CaretColumn(), 2);
  EXPECT_EQ(Drawn.Texts.back(), "Ln: 2, Col: 3");
  const size_t Paints = Drawn.Texts.size();
  Advance(500);
  EXPECT_EQ(Drawn.Texts.size(), Paints) << "no repaint while the caret stays";
}

TEST_F(StatusBarTest, AControlPlacedInAPanel) {
  auto* Control = new FormsTest::TTestPanel(Form);
  Control->SetParent(Form);
  TvcStatusPanel* Holder = Add("100");
  Holder->SetMargin(2);
  Holder->SetComponent(Control);
  EXPECT_EQ(Holder->Style(), psControl);
  Show();
  EXPECT_EQ(Control->Parent(), Bar) << "moved into the bar at its first painting";
  RECT Part = Holder->GetRect();
  InflateRect(&Part, -1 - 2, -1 - 2);
  EXPECT_EQ(Control->BoundsRect(), Part) << "inside the part's edge, less the margin";

  // Another panel, of this bar or another, takes the control away.
  auto* Other = new TvcStatusBar(Form);
  Other->SetParent(Form);
  TvcStatusPanel* Taker = Other->Panels()->Add();
  Taker->SetComponent(Control);
  EXPECT_EQ(Holder->Component(), nullptr);
  EXPECT_EQ(Holder->Style(), psTextOnly);
  EXPECT_THROW(Taker->SetComponent(Other), EInvalidOperation);
  // Let go, the control goes back onto the form; freed, it is forgotten.
  Taker->SetComponent(nullptr);
  EXPECT_EQ(Control->Parent(), Form);
  Holder->SetComponent(Control);
  Control->Free();
  EXPECT_EQ(Holder->Component(), nullptr);
}

TEST_F(StatusBarTest, NamesSimplePartAndMouse) {
  TvcStatusPanel* User = Add("150", psUserName);
  TvcStatusPanel* Computer = Add("150", psComputerName);
  TvcStatusPanel* Plain = Add("100");
  TDrawn UserDrawn, ComputerDrawn;
  Record(User, UserDrawn);
  Record(Computer, ComputerDrawn);
  std::vector<std::string> Events;
  Plain->OnClick = TNotifyEvent([&](TObject*) { Events.push_back("panel click"); });
  Bar->OnClick = TNotifyEvent([&](TObject*) { Events.push_back("bar click"); });
  Show();
  char Name[257];
  DWORD Size = sizeof Name;
  ASSERT_TRUE(GetUserNameA(Name, &Size));
  EXPECT_EQ(UserDrawn.Texts.back(), std::string(Name, Size - 1));
  Size = sizeof Name;
  ASSERT_TRUE(GetComputerNameA(Name, &Size));
  EXPECT_EQ(ComputerDrawn.Texts.back(), std::string(Name, Size));

  // A click goes to the panel under the mouse first, then to the bar.
  const RECT Part = Plain->GetRect();
  const POINT At = Bar->ClientToScreen(POINT{Part.left + 5, Part.top + 5});
  InjectMouseClick(VK_LBUTTON, At.x, At.y);
  Pump();
  EXPECT_EQ(Events, (std::vector<std::string>{"panel click", "bar click"}));
  EXPECT_EQ(Bar->PanelAt(Part.left + 5, Part.top + 5), Plain);

  // The simple part shows SimpleText while SimplePanel holds.
  Bar->SetSimpleText("Connecting");
  Bar->SetSimplePanel(true);
  char Text[64] = {};
  SendMessageA(Bar->Handle(), SB_GETTEXT, SB_SIMPLEID, LPARAM(Text));
  EXPECT_EQ(std::string(Text), "Connecting");
  EXPECT_TRUE(SendMessageA(Bar->Handle(), SB_ISSIMPLE, 0, 0));
}

TEST_F(StatusBarTest, BevelsAndTheSizeGrip) {
  struct TCase {
    const char* Name;
    TvcStatusPanelBevel Bevel;
    uint32_t TopLeft;  // the part's top-left pixel
  };
  const TCase Cases[] = {
      {"lowered", pbLowered, Rgb(clBtnShadow)},
      {"raised", pbRaised, Rgb(cl3DLight)},
      // (the raised edge's outer light line is the 3-D light colour, its outer dark line black)
      {"none", pbNone, 0x3060C0},
  };
  TvcStatusPanel* Panel = Add("100");
  Panel->SetColor(TColor(0xC06030));
  Add("100");
  Show();
  for (const TCase& Case : Cases) {
    SCOPED_TRACE(Case.Name);
    Panel->SetBevel(Case.Bevel);
    Pump();
    const RECT Part = Panel->GetRect();
    EXPECT_EQ(ScreenColor(Bar, Part.left, Part.top), Case.TopLeft);
    if (Case.Bevel == pbRaised) { EXPECT_EQ(ScreenColor(Bar, Part.right - 1, Part.bottom - 1), Rgb(cl3DDkShadow)); }
    EXPECT_EQ(ScreenColor(Bar, Part.left + 10, Part.top + 5), 0x3060C0u) << "the panel's colour inside";
  }
  // The grip is offered only on a sizeable form.
  EXPECT_FALSE(Bar->SizeGrip()) << "the test form has no sizing border";
  EXPECT_TRUE(Bar->SizeGripWish());
  Form->SetBorderStyle(bsSizeable);
  EXPECT_TRUE(Bar->SizeGrip());
}

}  // namespace
