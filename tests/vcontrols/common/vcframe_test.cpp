// The edit frame: its defaults, where it puts the text in each focus state, copying from another
// frame (ours, or the data-aware library's by its class name), the edges it draws per style, and
// when it is effective at all.

#include "vcontrols/common/vcframe.h"

#include <gtest/gtest.h>

#include <set>

#include "platform/forms/canvas.h"
#include "platform/forms/edit.h"
#include "platform/forms/grids.h"
#include "platform/forms/wincontrol.h"
#include "platform/gdi/drawedge.h"
#include "platform/rtl/exceptions.h"
#include "tests/vcontrols/imaging/imager_support.h"

using namespace vcframe;

// A stand-in for the data-aware library's frame: the same settings under the same names, but held
// in another order, with its unpublished window flag right after Transparent, where our frame
// keeps its erase flag. Copying by layout would read that flag as ours; copying by name does not.
class TkvEditFrame : public TPersistent {
  KORCAM_CLASS(TkvEditFrame, TPersistent)

 public:
  PLAIN_PROPERTY(TColor, NonFocusFontColor, clNone)
  PLAIN_PROPERTY(bool, Transparent, false)
  PLAIN_PROPERTY(bool, CreateTransparent, false)
  PLAIN_PROPERTY(TvcEditFrameEnabledSet, NonFocusBorders, efBottomBorder)
  PLAIN_PROPERTY(int32_t, NonFocusTextOffsetY, 0)
  PLAIN_PROPERTY(bool, Enabled, false)
  PLAIN_PROPERTY(TvcEditFocusStyle, FocusStyle, efsFrameBox)
  PLAIN_PROPERTY(TColor, NonFocusColor, clNone)
  PLAIN_PROPERTY(int32_t, AutoSizeHeightAdjust, 0)
  PLAIN_PROPERTY(TvcEditFrameEnabledSet, FocusBorders, efLeftBorder, efTopBorder, efRightBorder,
                 efBottomBorder)
  PLAIN_PROPERTY(TvcEditFocusStyle, NonFocusStyle, efsFrameBox)
  PLAIN_PROPERTY(int32_t, NonFocusTextOffsetX, 0)
  PLAIN_PROPERTY(TColor, NonFocusTransparentFontColor, clNone)
  PLAIN_PROPERTY(bool, MouseEnterSameAsFocus, false)
};
KORCAM_REGISTER_CLASS(TkvEditFrame)

// The radio group's frame derives from it: the name on an ancestor class counts too.
class TkvRGEditFrame : public TkvEditFrame {
  KORCAM_CLASS(TkvRGEditFrame, TkvEditFrame)
};
KORCAM_REGISTER_CLASS(TkvRGEditFrame)

namespace {

constexpr TvcEditFrameEnabledSet AllSides{efLeftBorder, efTopBorder, efRightBorder, efBottomBorder};

TEST(VcEditFrameTest, ANewFrameIsOffWithTheBottomSideUnfocusedAndAllSidesFocused) {
  TvcEditFrame Frame(nullptr);
  EXPECT_FALSE(Frame.Enabled());
  EXPECT_EQ(Frame.FocusBorders(), AllSides);
  EXPECT_EQ(Frame.NonFocusBorders(), TvcEditFrameEnabledSet{efBottomBorder});
  EXPECT_EQ(Frame.FocusStyle(), efsFrameBox);
  EXPECT_EQ(Frame.NonFocusStyle(), efsFrameBox);
  EXPECT_EQ(Frame.NonFocusColor(), clNone);
  EXPECT_EQ(Frame.NonFocusFontColor(), clNone);
  EXPECT_EQ(Frame.NonFocusTransparentFontColor(), clNone);
  EXPECT_FALSE(Frame.Transparent());
  EXPECT_FALSE(Frame.EraseOnRefresh());
  EXPECT_FALSE(Frame.MouseEnterSameAsFocus());
  // The sides are DrawEdge's side bits.
  EXPECT_EQ(Frame.FocusBorders().Bits(), uint64_t(BF_RECT));
  EXPECT_EQ(Frame.NonFocusBorders().Bits(), uint64_t(BF_BOTTOM));
}

TEST(VcEditFrameTest, OffsetsAndEditMarginsFollowTheSidesAndStyle) {
  struct TCase {
    const char* Name;
    TvcEditFrameEnabledSet Sides;
    TvcEditFocusStyle Style;
    int OffsetX, OffsetY;  // the two text offsets added
    int X, Y;              // GetOffsets for the focused state
    RECT Edit;             // GetEditRect from (0, 0, 100, 20)
  };
  const TCase Cases[] = {
      // CC: a one-colour box on all sides: 2 in, the right edge one further in.
      {"box, all sides", AllSides, efsFrameBox, 0, 0, 2, 2, {2, 2, 99, 20}},
      // CC: one-colour single line: no right-edge correction.
      {"single, all sides", AllSides, efsFrameSingle, 0, 0, 2, 2, {2, 2, 100, 20}},
      // CC: two-colour styles are 3 deep where a side is drawn.
      {"sunken, all sides", AllSides, efsFrameSunken, 0, 0, 3, 3, {3, 3, 98, 20}},
      {"bump, all sides", AllSides, efsFrameBump, 0, 0, 3, 3, {3, 3, 98, 20}},
      // CC: raised and etched edit text starts 2 in from a drawn left side.
      {"raised, all sides", AllSides, efsFrameRaised, 0, 0, 3, 3, {2, 3, 98, 20}},
      {"etched, all sides", AllSides, efsFrameEtched, 0, 0, 3, 3, {2, 3, 98, 20}},
      // CC: no left or top side: 1 and 2.
      {"sunken, bottom only", {efBottomBorder}, efsFrameSunken, 0, 0, 1, 2, {1, 3, 98, 20}},
      // CC: the two offsets are added in the focused state too.
      {"box, offsets", AllSides, efsFrameBox, 4, -1, 6, 1, {2, 2, 99, 20}},
  };
  for (const TCase& Case : Cases) {
    SCOPED_TRACE(Case.Name);
    TvcEditFrame Frame(nullptr);
    Frame.SetFocusBorders(Case.Sides);
    Frame.SetFocusStyle(Case.Style);
    Frame.SetNonFocusTextOffsetX(Case.OffsetX);
    Frame.SetNonFocusTextOffsetY(Case.OffsetY);
    int X = 0, Y = 0;
    Frame.GetOffsets(X, Y, true);
    EXPECT_EQ(X, Case.X);
    EXPECT_EQ(Y, Case.Y);
    RECT Edit{0, 0, 100, 20};
    Frame.GetEditRect(Edit);
    EXPECT_EQ(Edit.left, Case.Edit.left);
    EXPECT_EQ(Edit.top, Case.Edit.top);
    EXPECT_EQ(Edit.right, Case.Edit.right);
    EXPECT_EQ(Edit.bottom, Case.Edit.bottom);
  }
  // The unfocused state of a new frame: the bottom side only, box style.
  TvcEditFrame Frame(nullptr);
  int X = 0, Y = 0;
  Frame.GetOffsets(X, Y, false);
  EXPECT_EQ(X, 1);
  EXPECT_EQ(Y, 2);
}

// A frame with every setting away from its default.
void SetEverything(TvcEditFrame& Frame) {
  Frame.SetFocusStyle(efsFrameEtched);
  Frame.SetEnabled(true);
  Frame.SetTransparent(true);
  Frame.SetEraseOnRefresh(true);
  Frame.SetAutoSizeHeightAdjust(3);
  Frame.SetFocusBorders({efLeftBorder, efRightBorder});
  Frame.SetNonFocusBorders({efTopBorder});
  Frame.SetNonFocusStyle(efsFrameBump);
  Frame.SetNonFocusTextOffsetX(5);
  Frame.SetNonFocusTextOffsetY(6);
  Frame.SetNonFocusTransparentFontColor(clRed);
  Frame.SetNonFocusColor(clYellow);
  Frame.SetNonFocusFontColor(clNavy);
  Frame.SetMouseEnterSameAsFocus(true);
}

void ExpectEverything(const TvcEditFrame& Frame, bool EraseFlag) {
  EXPECT_EQ(Frame.FocusStyle(), efsFrameEtched);
  EXPECT_TRUE(Frame.Enabled());
  EXPECT_TRUE(Frame.Transparent());
  EXPECT_EQ(Frame.EraseOnRefresh(), EraseFlag);
  EXPECT_EQ(Frame.AutoSizeHeightAdjust(), 3);
  EXPECT_EQ(Frame.FocusBorders(), (TvcEditFrameEnabledSet{efLeftBorder, efRightBorder}));
  EXPECT_EQ(Frame.NonFocusBorders(), TvcEditFrameEnabledSet{efTopBorder});
  EXPECT_EQ(Frame.NonFocusStyle(), efsFrameBump);
  EXPECT_EQ(Frame.NonFocusTextOffsetX(), 5);
  EXPECT_EQ(Frame.NonFocusTextOffsetY(), 6);
  EXPECT_EQ(Frame.NonFocusTransparentFontColor(), clRed);
  EXPECT_EQ(Frame.NonFocusColor(), clYellow);
  EXPECT_EQ(Frame.NonFocusFontColor(), clNavy);
  EXPECT_TRUE(Frame.MouseEnterSameAsFocus());
}

TEST(VcEditFrameTest, AssignFromOurFrameCopiesEverythingOnlyWhenItEndsUpEnabled) {
  TvcEditFrame Source(nullptr);
  SetEverything(Source);
  TvcEditFrame Target(nullptr);
  Target.Assign(&Source);
  ExpectEverything(Target, true);

  // A disabled source gives its focus style, Enabled and Transparent, and nothing more.
  Source.SetEnabled(false);
  TvcEditFrame Partial(nullptr);
  Partial.Assign(&Source);
  EXPECT_EQ(Partial.FocusStyle(), efsFrameEtched);
  EXPECT_FALSE(Partial.Enabled());
  EXPECT_TRUE(Partial.Transparent());
  EXPECT_FALSE(Partial.EraseOnRefresh());
  EXPECT_EQ(Partial.FocusBorders(), AllSides);
  EXPECT_EQ(Partial.NonFocusColor(), clNone);
  EXPECT_FALSE(Partial.MouseEnterSameAsFocus());
}

TEST(VcEditFrameTest, AssignFromTheDataAwareFrameReadsItsSettingsByName) {
  for (const bool Descendant : {false, true}) {
    SCOPED_TRACE(Descendant ? "TkvRGEditFrame" : "TkvEditFrame");
    TkvRGEditFrame Derived;
    TkvEditFrame Plain;
    TkvEditFrame& Source = Descendant ? Derived : Plain;
    Source.SetFocusStyle(efsFrameEtched);
    Source.SetEnabled(true);
    Source.SetTransparent(true);
    // Its window flag sits where our erase flag sits: it must stay its own.
    Source.SetCreateTransparent(true);
    Source.SetAutoSizeHeightAdjust(3);
    Source.SetFocusBorders({efLeftBorder, efRightBorder});
    Source.SetNonFocusBorders({efTopBorder});
    Source.SetNonFocusStyle(efsFrameBump);
    Source.SetNonFocusTextOffsetX(5);
    Source.SetNonFocusTextOffsetY(6);
    Source.SetNonFocusTransparentFontColor(clRed);
    Source.SetNonFocusColor(clYellow);
    Source.SetNonFocusFontColor(clNavy);
    Source.SetMouseEnterSameAsFocus(true);
    TvcEditFrame Target(nullptr);
    Target.Assign(&Source);
    ExpectEverything(Target, false);
  }
  // Disabled, it gives the first three only.
  TkvEditFrame Source;
  Source.SetFocusStyle(efsFrameSingle);
  Source.SetTransparent(true);
  Source.SetNonFocusColor(clYellow);
  TvcEditFrame Target(nullptr);
  Target.Assign(&Source);
  EXPECT_EQ(Target.FocusStyle(), efsFrameSingle);
  EXPECT_TRUE(Target.Transparent());
  EXPECT_EQ(Target.NonFocusColor(), clNone);
}

TEST(VcEditFrameTest, AssignFromAnythingElseIsTheAssignmentError) {
  TvcEditFrame Target(nullptr);
  TvcButtonEffects Effects;
  EXPECT_THROW(Target.Assign(&Effects), EConvertError);
  EXPECT_THROW(Target.Assign(nullptr), EConvertError);
}

TEST(VcEditFrameTest, TheFrameIsEffectiveOnlyEnabledOnAWindowedControlOutsideAGrid) {
  TComponent Owner(nullptr);
  auto* Plain = new TWinControl(&Owner);
  auto* Grid = new TCustomGrid(&Owner);
  auto* Control = new TWinControl(&Owner);
  Control->SetParent(Plain);
  TvcEditFrame Frame(Control);
  EXPECT_FALSE(Frame.IsFrameEffective());
  Frame.SetEnabled(true);
  EXPECT_TRUE(Frame.IsFrameEffective());
  Control->SetParent(Grid);
  EXPECT_FALSE(Frame.IsFrameEffective());
  Control->SetParent(nullptr);
  // Without a windowed control there is nothing to frame.
  TvcEditFrame Orphan(nullptr);
  Orphan.SetEnabled(true);
  EXPECT_FALSE(Orphan.IsFrameEffective());
}

TEST(VcEditFrameTest, EnablingTheFrameOfAnEditTakesItsBorderAway) {
  TComponent Owner(nullptr);
  auto* Edit = new TEdit(&Owner);
  ASSERT_EQ(Edit->BorderStyle(), bsSingle);
  TvcEditFrame Frame(Edit);
  Frame.SetEnabled(true);
  EXPECT_EQ(Edit->BorderStyle(), bsNone);
  // Switching it off leaves the border as it is now.
  Frame.SetEnabled(false);
  EXPECT_EQ(Edit->BorderStyle(), bsNone);
}

// The colours DrawEditFrame puts on a 24 x 14 bitmap of a colour no edge has, and which edges got
// drawn.
constexpr uint32_t Backdrop = 0x336699;
struct TFrameDrawing {
  std::set<uint32_t> Colours;  // the colours of the outermost line of the drawn sides
  bool TopDrawn, LeftDrawn, BottomDrawn, RightDrawn;
  int TopRight;  // the right end of the top edge (its last non-white column)
};

TFrameDrawing DrawFrame(TvcEditFrame& Frame, TControl& Control, bool Focused) {
  constexpr int W = 24, H = 14;
  auto Bitmap = MakePatternBitmap(W, H, [](int, int) { return Backdrop; });
  DrawEditFrame(&Control, &Frame, Bitmap->Canvas(), Focused);
  TFrameDrawing Result{};
  for (int Y = 0; Y < H; ++Y)
    for (int X = 0; X < W; ++X)
      if (const uint32_t C = BitmapColor(*Bitmap, X, Y);
          C != Backdrop && (X == 0 || Y == 0 || X == W - 1 || Y == H - 1))
        Result.Colours.insert(C);
  const auto Drawn = [&](int X, int Y) { return BitmapColor(*Bitmap, X, Y) != Backdrop; };
  Result.TopDrawn = Drawn(W / 2, 0);
  Result.LeftDrawn = Drawn(0, H / 2);
  Result.BottomDrawn = Drawn(W / 2, H - 1);
  Result.RightDrawn = Drawn(W - 1, H / 2);
  Result.TopRight = -1;
  for (int X = 0; X < W; ++X)
    if (Drawn(X, 0)) Result.TopRight = X;
  return Result;
}

TEST(VcEditFrameTest, EachStyleDrawsItsEdgeOnTheSidesOfTheFocusState) {
  TComponent Owner(nullptr);
  auto* Control = new TWinControl(&Owner);
  Control->SetBounds(0, 0, 24, 14);
  struct TCase {
    const char* Name;
    TvcEditFocusStyle Style;
    size_t MinColours, MaxColours;
  };
  const TCase Cases[] = {
      // CC: the box and the single line are one-colour lines; the others are 3-D edges, lit on
      // one side and shaded on the other.
      {"box", efsFrameBox, 1, 1},       {"single", efsFrameSingle, 1, 1}, {"sunken", efsFrameSunken, 2, 2},
      {"raised", efsFrameRaised, 2, 2}, {"etched", efsFrameEtched, 2, 2}, {"bump", efsFrameBump, 2, 2},
  };
  for (const TCase& Case : Cases) {
    SCOPED_TRACE(Case.Name);
    TvcEditFrame Frame(Control);
    Frame.SetEnabled(true);
    Frame.SetFocusStyle(Case.Style);
    Frame.SetNonFocusStyle(Case.Style);
    const TFrameDrawing Focused = DrawFrame(Frame, *Control, true);
    EXPECT_GE(Focused.Colours.size(), Case.MinColours);
    EXPECT_LE(Focused.Colours.size(), Case.MaxColours);
    EXPECT_TRUE(Focused.TopDrawn && Focused.LeftDrawn && Focused.BottomDrawn && Focused.RightDrawn);
    // Unfocused: the bottom side alone.
    const TFrameDrawing Unfocused = DrawFrame(Frame, *Control, false);
    EXPECT_TRUE(Unfocused.BottomDrawn);
    EXPECT_FALSE(Unfocused.TopDrawn || Unfocused.LeftDrawn || Unfocused.RightDrawn);
  }
  // A transparent frame without its right side stops 2 pixels short of the right edge.
  for (const bool Transparent : {false, true}) {
    SCOPED_TRACE(Transparent ? "transparent" : "opaque");
    TvcEditFrame Frame(Control);
    Frame.SetEnabled(true);
    Frame.SetFocusBorders({efLeftBorder, efTopBorder, efBottomBorder});
    Frame.SetTransparent(Transparent);
    const TFrameDrawing Drawing = DrawFrame(Frame, *Control, true);
    EXPECT_FALSE(Drawing.RightDrawn);
    EXPECT_EQ(Drawing.TopRight, Transparent ? 21 : 23);
  }
}

}  // namespace
