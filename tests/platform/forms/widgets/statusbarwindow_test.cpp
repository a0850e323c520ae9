// The status-bar window: where its parts lie (the geometry this window defines), what the part
// messages answer, the owner-drawn parts the parent is asked to draw, and the bar as drawn.

#include <gtest/gtest.h>

#include <vector>

#include "platform/forms/commctrl.h"
#include "platform/gdi/gdi.h"
#include "platform/user/user.h"
#include "tests/platform/forms/controltest.h"
#include "tests/platform/forms/widgets/widgettest.h"

namespace FormsTest {
namespace {

// A control whose window is a status bar, recording what it is asked to draw.
class TStatusHost : public TWinControl {
  KORCAM_CLASS(TStatusHost, TWinControl)

 public:
  explicit TStatusHost(TComponent* AOwner) : TWinControl(AOwner) {}
  DWORD ExtraStyle = 0;
  struct TDrawn {
    UINT Part;
    RECT Rect;
    ULONG_PTR Data;
  };
  std::vector<TDrawn> Drawn;

 protected:
  void CreateParams(TCreateParams& Params) override {
    InitCommonControls();
    TWinControl::CreateParams(Params);
    CreateSubClass(Params, STATUSCLASSNAME);
    Params.Style |= ExtraStyle;
  }
  void Dispatch(TMessage& Message) override {
    if (Message.Msg == CN_DRAWITEM) {
      const auto* Item = reinterpret_cast<const DRAWITEMSTRUCT*>(Message.LParam);
      Drawn.push_back({Item->itemID, Item->rcItem, Item->itemData});
      // Something the test can see in the picture.
      HBRUSH Brush = CreateSolidBrush(RGB(0, 128, 255));
      FillRect(Item->hDC, &Item->rcItem, Brush);
      DeleteObject(Brush);
      Message.Result = TRUE;
      return;
    }
    TWinControl::Dispatch(Message);
  }
};

KORCAM_REGISTER_CLASS(TStatusHost)

class StatusBarWindowTest : public TFormsTest {
 protected:
  void SetUp() override {
    TFormsTest::SetUp();
    Form = new TForm(nullptr, 0);
    Form->SetBorderStyle(bsNone);
    Form->SetBounds(0, 0, 320, 60);
    Bar = new TStatusHost(Form);
    Bar->SetParent(Form);
    Bar->SetBounds(0, 30, 300, 20);
    Form->Show();
    Pump();
  }
  void TearDown() override {
    Form->Free();
    TFormsTest::TearDown();
  }
  LRESULT Send(UINT Message, WPARAM W = 0, LPARAM L = 0) { return SendMessageA(Bar->Handle(), Message, W, L); }
  BOOL SetParts(std::vector<int> Edges) { return BOOL(Send(SB_SETPARTS, Edges.size(), LPARAM(Edges.data()))); }
  RECT PartRect(int Index) {
    RECT Rect{-1, -1, -1, -1};
    Send(SB_GETRECT, WPARAM(Index), LPARAM(&Rect));
    return Rect;
  }
  TForm* Form = nullptr;
  TStatusHost* Bar = nullptr;
};

TEST_F(StatusBarWindowTest, PartsLieBetweenTheirEdges) {
  struct TCase {
    const char* Name;
    std::vector<int> Edges;
    std::vector<RECT> Rects;
  };
  const TCase Cases[] = {
      {"a new bar has one part", {}, {RECT{0, 2, 300, 20}}},
      {"two parts, the last to the end", {120, -1}, {RECT{0, 2, 120, 20}, RECT{122, 2, 300, 20}}},
      {"an edge past the window is kept", {120, 400}, {RECT{0, 2, 120, 20}, RECT{122, 2, 400, 20}}},
      {"an edge going backwards gives an empty part", {120, 50, -1},
       {RECT{0, 2, 120, 20}, RECT{122, 2, 122, 20}, RECT{124, 2, 300, 20}}},
  };
  for (const TCase& Case : Cases) {
    SCOPED_TRACE(Case.Name);
    if (!Case.Edges.empty()) {
      ASSERT_TRUE(SetParts(Case.Edges));
    }
    ASSERT_EQ(Send(SB_GETPARTS), LRESULT(Case.Rects.size()));
    for (size_t Index = 0; Index < Case.Rects.size(); ++Index) EXPECT_EQ(PartRect(int(Index)), Case.Rects[Index]);
  }
  std::vector<int> Edges(3, 0);
  EXPECT_EQ(Send(SB_GETPARTS, 2, LPARAM(Edges.data())), 3) << "the count, whatever room the caller gives";
  EXPECT_EQ(Edges, (std::vector<int>{120, 50, 0}));
  RECT Unchanged{7, 7, 7, 7};
  EXPECT_FALSE(Send(SB_GETRECT, 3, LPARAM(&Unchanged)));
  EXPECT_FALSE(SetParts({})) << "no parts";
  EXPECT_FALSE(SetParts(std::vector<int>(257, -1))) << "too many parts";
  EXPECT_TRUE(SetParts(std::vector<int>(256, -1)));

  // Simple mode: one part over the whole width, whatever part is asked for.
  SetParts({120, -1});
  Send(SB_SIMPLE, TRUE);
  EXPECT_TRUE(Send(SB_ISSIMPLE));
  EXPECT_EQ(PartRect(1), (RECT{0, 2, 300, 20}));
}

TEST_F(StatusBarWindowTest, TextsKeepTheirFlagsAndOwnerDrawnPartsAskTheParent) {
  SetParts({100, 200, -1});
  EXPECT_TRUE(Send(SB_SETTEXTA, 0, LPARAM("Ready")));
  EXPECT_TRUE(Send(SB_SETTEXTA, 1 | SBT_POPOUT | SBT_OWNERDRAW, LPARAM(0x1234)));
  EXPECT_TRUE(Send(SB_SETTEXTA, 2 | SBT_NOBORDERS | SBT_OWNERDRAW, LPARAM(0x5678)));
  EXPECT_FALSE(Send(SB_SETTEXTA, 3, LPARAM("no such part")));
  EXPECT_EQ(Send(SB_GETTEXTLENGTHA, 0), 5);
  char Text[16] = {};
  Send(SB_GETTEXTA, 0, LPARAM(Text));
  EXPECT_STREQ(Text, "Ready");
  EXPECT_EQ(Send(SB_GETTEXTA, 1), 0x1234) << "an owner-drawn part answers its data";

  Bar->Drawn.clear();
  RedrawWindow(Bar->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
  ASSERT_EQ(Bar->Drawn.size(), 2u) << "only the owner-drawn parts";
  EXPECT_EQ(Bar->Drawn[0].Part, 1u);
  EXPECT_EQ(Bar->Drawn[0].Rect, (RECT{103, 3, 199, 19})) << "inside the raised edge";
  EXPECT_EQ(Bar->Drawn[0].Data, 0x1234u);
  EXPECT_EQ(Bar->Drawn[1].Part, 2u);
  EXPECT_EQ(Bar->Drawn[1].Rect, (RECT{202, 2, 300, 20})) << "no edge: the whole part";
  EXPECT_EQ(PixelAt(Bar, 150, 10), TColor(RGB(0, 128, 255)));

  // Simple mode draws part 255 only; its text is kept while the parts are shown.
  Send(SB_SETTEXTA, SB_SIMPLEID | SBT_OWNERDRAW, LPARAM(0x99));
  Send(SB_SIMPLE, TRUE);
  Bar->Drawn.clear();
  RedrawWindow(Bar->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
  ASSERT_EQ(Bar->Drawn.size(), 1u);
  EXPECT_EQ(Bar->Drawn[0].Part, 255u);
  EXPECT_EQ(Bar->Drawn[0].Rect, (RECT{1, 3, 299, 19}));
}

TEST_F(StatusBarWindowTest, DrawsTextPartsAndTheGrip) {
  Bar->ExtraStyle = SBARS_SIZEGRIP;
  Bar->RecreateWnd();
  Pump();
  SetParts({90, 200, -1});
  Send(SB_SETTEXTA, 0, LPARAM("Left"));
  Send(SB_SETTEXTA, 1, LPARAM("\tMiddle"));
  Send(SB_SETTEXTA, 2 | SBT_POPOUT, LPARAM("\t\tRight"));
  Pump();
  SaveWindowPng(Bar, "statusbar_window", 3);
  // Lowered edges: shadow on top, highlight at the bottom; the grip's light lines in the corner.
  EXPECT_EQ(PixelAt(Bar, 40, 2), ColorToRGB(clBtnShadow));
  EXPECT_EQ(PixelAt(Bar, 40, 19), ColorToRGB(clBtnHighlight));
  EXPECT_EQ(PixelAt(Bar, 150, 2), ColorToRGB(clBtnShadow));
  EXPECT_EQ(PixelAt(Bar, 250, 19), ColorToRGB(cl3DDkShadow)) << "the raised part";
  int Ink[3] = {};
  for (int Y = 4; Y < 18; ++Y)
    for (int X = 0; X < 300; ++X)
      if (const TColor C = PixelAt(Bar, X, Y); (C & 0xFF) + (C >> 8 & 0xFF) + (C >> 16 & 0xFF) < 300)
        ++Ink[X < 90 ? 0 : X < 200 ? 1 : 2];
  EXPECT_GT(Ink[0], 0);
  EXPECT_GT(Ink[1], 0);
  EXPECT_GT(Ink[2], 0);
}

}  // namespace
}  // namespace FormsTest
