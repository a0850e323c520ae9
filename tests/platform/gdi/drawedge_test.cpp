// DrawEdge and DrawFrameControl in the classic look. The system colours are set to distinct
// values for the test so every pixel's role shows in the pictures.

#include "platform/gdi/drawedge.h"

#include <gtest/gtest.h>

#include "platform/gdi/sysmetrics.h"
#include "tests/platform/gdi/pixel_support.h"

namespace {

constexpr COLORREF Light = RGB(1, 1, 1), Highlight = RGB(2, 2, 2), Shadow = RGB(3, 3, 3),
                   DarkShadow = RGB(4, 4, 4), Face = RGB(5, 5, 5), Window = RGB(6, 6, 6),
                   Frame = RGB(7, 7, 7), ButtonText = RGB(8, 8, 8), WindowText = RGB(9, 9, 9),
                   Paper = RGB(200, 100, 50);

const std::vector<std::pair<COLORREF, char>> Legend = {
    {Light, 'L'},  {Highlight, 'H'}, {Shadow, 'S'},     {DarkShadow, 'K'}, {Face, 'F'},
    {Window, 'W'}, {Frame, 'M'},     {ButtonText, 'T'}, {WindowText, 'X'}, {Paper, '.'}};

class DrawEdgeTest : public testing::Test {
 protected:
  void SetUp() override {
    const INT elements[] = {COLOR_3DLIGHT,     COLOR_BTNHIGHLIGHT, COLOR_BTNSHADOW,
                            COLOR_3DDKSHADOW,  COLOR_BTNFACE,      COLOR_WINDOW,
                            COLOR_WINDOWFRAME, COLOR_BTNTEXT,      COLOR_WINDOWTEXT};
    const COLORREF values[] = {Light,  Highlight, Shadow,     DarkShadow, Face,
                               Window, Frame,     ButtonText, WindowText};
    SetSysColors(9, elements, values);
  }
  void TearDown() override { GdiResetSysColors(); }
};

TEST_F(DrawEdgeTest, EdgeKinds) {
  struct TCase {
    const char* Name;
    UINT Edge, Flags;
    std::string Expected;
  };
  const TCase cases[] = {
      {"raised, all sides, middle", EDGE_RAISED, BF_RECT | BF_MIDDLE,
       Lines({"LLLLLK", "LHHHSK", "LHFFSK", "LSSSSK", "KKKKKK"})},
      {"sunken", EDGE_SUNKEN, BF_RECT, Lines({"SSSSSH", "SKKKLH", "SK..LH", "SLLLLH", "HHHHHH"})},
      {"etched", EDGE_ETCHED, BF_RECT, Lines({"SSSSSH", "SHHHSH", "SH..SH", "SSSSSH", "HHHHHH"})},
      {"bump", EDGE_BUMP, BF_RECT, Lines({"LLLLLK", "LKKKLK", "LK..LK", "LLLLLK", "KKKKKK"})},
      {"sunken outer only", BDR_SUNKENOUTER, BF_RECT,
       Lines({"SSSSSH", "S....H", "S....H", "S....H", "HHHHHH"})},
      {"flat", EDGE_RAISED, BF_RECT | BF_FLAT | BF_MIDDLE,
       Lines({"SSSSSS", "SFFFFS", "SFFFFS", "SFFFFS", "SSSSSS"})},
      {"mono", EDGE_SUNKEN, BF_RECT | BF_MONO | BF_MIDDLE,
       Lines({"MMMMMM", "MWWWWM", "MWWWWM", "MWWWWM", "MMMMMM"})},
      {"bottom and right only", EDGE_RAISED, BF_BOTTOMRIGHT,
       Lines({"....SK", "....SK", "....SK", "SSSSSK", "KKKKKK"})},
      {"top only", EDGE_RAISED, BF_TOP, Lines({"LLLLLL", "HHHHHH", "......", "......", "......"})},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    TTestBitmap canvas(6, 5, 24);
    canvas.Fill(Paper);
    RECT r{0, 0, 6, 5};
    EXPECT_TRUE(DrawEdge(canvas.DC(), &r, c.Edge, c.Flags));
    EXPECT_EQ(canvas.Art(Legend), c.Expected);
    EXPECT_EQ(r, (RECT{0, 0, 6, 5}));  // unchanged without BF_ADJUST
  }
}

TEST_F(DrawEdgeTest, AdjustShrinksByTheBordersDrawn) {
  TTestBitmap canvas(10, 10, 24);
  RECT r{1, 1, 9, 9};
  DrawEdge(canvas.DC(), &r, EDGE_SUNKEN, BF_RECT | BF_ADJUST);
  EXPECT_EQ(r, (RECT{3, 3, 7, 7}));
  r = RECT{1, 1, 9, 9};
  DrawEdge(canvas.DC(), &r, BDR_SUNKENOUTER, BF_LEFT | BF_BOTTOM | BF_ADJUST);
  EXPECT_EQ(r, (RECT{2, 1, 9, 8}));
}

TEST_F(DrawEdgeTest, FrameControls) {
  struct TCase {
    const char* Name;
    int Width, Height;
    UINT Type, State;
    std::string Expected;
  };
  const TCase cases[] = {
      // Arrows are ((size - 2) / 2) | 1 pixels wide: 3 here, 7 on a 16-pixel button.
      {"combo box arrow", 11, 9, DFC_SCROLL, DFCS_SCROLLCOMBOBOX,
       Lines({"LLLLLLLLLLK", "LHHHHHHHHSK", "LHFFFFFFFSK", "LHFFTTTFFSK", "LHFFFTFFFSK", "LHFFFFFFFSK",
              "LHFFFFFFFSK", "LSSSSSSSSSK", "KKKKKKKKKKK"})},
      {"combo box arrow pushed", 11, 9, DFC_SCROLL, DFCS_SCROLLCOMBOBOX | DFCS_PUSHED,
       Lines({"SSSSSSSSSSS", "SFFFFFFFFFS", "SFFFFFFFFFS", "SFFFFFFFFFS", "SFFFFTTTFFS", "SFFFFFTFFFS",
              "SFFFFFFFFFS", "SFFFFFFFFFS", "SSSSSSSSSSS"})},
      {"up arrow, inactive", 9, 9, DFC_SCROLL, DFCS_SCROLLUP | DFCS_INACTIVE,
       Lines({"LLLLLLLLK", "LHHHHHHSK", "LHFFFFFSK", "LHFFSFFSK", "LHFSSSFSK", "LHFFHHHSK", "LHFFFFFSK",
              "LSSSSSSSK", "KKKKKKKKK"})},
      {"push button", 5, 4, DFC_BUTTON, DFCS_BUTTONPUSH, Lines({"LLLLK", "LHHSK", "LSSSK", "KKKKK"})},
      {"push button pushed", 5, 4, DFC_BUTTON, DFCS_BUTTONPUSH | DFCS_PUSHED,
       Lines({"SSSSH", "SKKLH", "SLLLH", "HHHHH"})},
      {"check box checked", 13, 13, DFC_BUTTON, DFCS_BUTTONCHECK | DFCS_CHECKED,
       Lines({"SSSSSSSSSSSSH", "SKKKKKKKKKKLH", "SKWWWWWWWWWLH", "SKWWWWWWWXWLH", "SKWWWWWWXXWLH",
              "SKWXWWWXXXWLH", "SKWXXWXXXWWLH", "SKWXXXXXWWWLH", "SKWWXXXWWWWLH", "SKWWWXWWWWWLH",
              "SKWWWWWWWWWLH", "SLLLLLLLLLLLH", "HHHHHHHHHHHHH"})},
      {"check box flat, unchecked", 6, 6, DFC_BUTTON, DFCS_BUTTONCHECK | DFCS_FLAT,
       Lines({"SSSSSS", "SFFFFS", "SFWWFS", "SFWWFS", "SFFFFS", "SSSSSS"})},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    TTestBitmap canvas(c.Width, c.Height, 32);
    canvas.Fill(Paper);
    RECT r{0, 0, c.Width, c.Height};
    EXPECT_TRUE(DrawFrameControl(canvas.DC(), &r, c.Type, c.State));
    EXPECT_EQ(canvas.Art(Legend), c.Expected);
  }
}

TEST_F(DrawEdgeTest, RadioButtonIsSymmetricAndDotted) {
  TTestBitmap canvas(13, 13, 32);
  canvas.Fill(Paper);
  RECT r{0, 0, 13, 13};
  DrawFrameControl(canvas.DC(), &r, DFC_BUTTON, DFCS_BUTTONRADIO | DFCS_CHECKED);
  EXPECT_EQ(canvas.Pixel(0, 0), Paper);
  EXPECT_EQ(canvas.Pixel(6, 6), WindowText);
  EXPECT_EQ(canvas.Pixel(6, 0), Shadow);      // top of the ring
  EXPECT_EQ(canvas.Pixel(6, 12), Highlight);  // bottom of the ring
  for (int y = 0; y < 13; ++y)
    for (int x = 0; x < 13; ++x)
      // Mirrored about the anti-diagonal the roles swap, but paper stays paper.
      ASSERT_EQ(canvas.Pixel(x, y) == Paper, canvas.Pixel(12 - y, 12 - x) == Paper);
}

TEST_F(DrawEdgeTest, UnknownControlTypesAreRefused) {
  TTestBitmap canvas(4, 4, 32);
  RECT r{0, 0, 4, 4};
  EXPECT_FALSE(DrawFrameControl(canvas.DC(), &r, DFC_CAPTION, 0));
  EXPECT_FALSE(DrawEdge(canvas.DC(), nullptr, EDGE_RAISED, BF_RECT));
}

TEST(DrawEdgeLook, SaveClassicControlsPicture) {
  TTestBitmap canvas(120, 40, 24);
  canvas.Fill(GetSysColor(COLOR_BTNFACE));
  struct TItem {
    RECT Rect;
    UINT Type, State;
  } items[] = {
      {{2, 2, 19, 19}, DFC_SCROLL, DFCS_SCROLLCOMBOBOX},
      {{22, 2, 39, 19}, DFC_SCROLL, DFCS_SCROLLCOMBOBOX | DFCS_PUSHED},
      {{42, 2, 59, 19}, DFC_SCROLL, DFCS_SCROLLUP | DFCS_INACTIVE},
      {{62, 4, 75, 17}, DFC_BUTTON, DFCS_BUTTONCHECK | DFCS_CHECKED},
      {{80, 4, 93, 17}, DFC_BUTTON, DFCS_BUTTONRADIO | DFCS_CHECKED},
      {{96, 2, 118, 19}, DFC_SCROLL, DFCS_SCROLLSIZEGRIP},
      {{2, 22, 40, 38}, DFC_BUTTON, DFCS_BUTTONPUSH},
      {{44, 22, 82, 38}, DFC_BUTTON, DFCS_BUTTONPUSH | DFCS_PUSHED},
  };
  for (TItem& item : items) DrawFrameControl(canvas.DC(), &item.Rect, item.Type, item.State);
  RECT etched{86, 22, 118, 38};
  DrawEdge(canvas.DC(), &etched, EDGE_ETCHED, BF_RECT);
  EXPECT_FALSE(canvas.SavePng("classic_controls", 4).empty());
}

}  // namespace
