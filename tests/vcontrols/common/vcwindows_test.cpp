// The window-side helpers: what the invalidation routines leave to be painted, the region of a
// control's opaque children, the slide animation's steps, and the input readings.

#include "vcontrols/common/vcwindows.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/forms/customcontrol.h"
#include "platform/forms/graphiccontrol.h"
#include "platform/gdi/region.h"
#include "platform/user/input.h"
#include "platform/user/paint.h"
#include "platform/user/window.h"
#include "tests/vcontrols/imaging/imager_support.h"

// A windowless child that may be see-through, known to the region routine by its published
// "Transparent".
class TSeeThroughShape : public TGraphicControl {
  KORCAM_CLASS(TSeeThroughShape, TGraphicControl)

 public:
  explicit TSeeThroughShape(TComponent* AOwner) : TGraphicControl(AOwner) {}
  PLAIN_PROPERTY(bool, Transparent, false)
};
KORCAM_REGISTER_CLASS(TSeeThroughShape)

// A windowed control that notes every left edge it is given.
class TMoveRecorder : public TCustomControl {
  KORCAM_CLASS(TMoveRecorder, TCustomControl)

 public:
  explicit TMoveRecorder(TComponent* AOwner) : TCustomControl(AOwner) {}
  void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override {
    Lefts.push_back(ALeft);
    TCustomControl::SetBounds(ALeft, ATop, AWidth, AHeight);
  }
  std::vector<int32_t> Lefts;
};
KORCAM_REGISTER_CLASS(TMoveRecorder)

namespace {

class VcWindowsTest : public TImagerTest {
 protected:
  template <class T>
  T* Add(TWinControl* Parent, RECT Bounds) {
    auto* control = new T(Form);
    control->SetParent(Parent);
    control->SetBoundsRect(Bounds);
    return control;
  }

  // Shows the form and paints everything, so that no window has anything left to paint.
  void ShowPainted() {
    Form->Show();
    Pump();
  }

  static bool NeedsPaint(TWinControl* Control) {
    RECT unused;
    return GetUpdateRect(Control->Handle(), &unused, FALSE) != FALSE;
  }
};

TEST_F(VcWindowsTest, InvalidationReachesTheWindowsItNames) {
  // A and B overlap, B has a child of its own, C stands apart; A and C have children too.
  auto* a = Add<TCustomControl>(Form, RECT{0, 0, 50, 50});
  auto* aChild = Add<TCustomControl>(a, RECT{5, 5, 15, 15});
  auto* b = Add<TCustomControl>(Form, RECT{40, 40, 90, 90});
  auto* bChild = Add<TCustomControl>(b, RECT{30, 30, 45, 45});  // far from A itself
  auto* c = Add<TCustomControl>(Form, RECT{120, 100, 160, 140});
  auto* cChild = Add<TCustomControl>(c, RECT{0, 0, 10, 10});
  const std::vector<TWinControl*> all = {Form, a, aChild, b, bChild, c, cChild};
  // Windows that clip their children: invalidating one does not reach into its children.
  for (TWinControl* control : all)
    SetWindowLong(control->Handle(), GWL_STYLE,
                  LONG(DWORD(GetWindowLong(control->Handle(), GWL_STYLE)) | WS_CLIPCHILDREN));
  ShowPainted();
  const auto painted = [&] {
    std::vector<std::string> result;
    const char* names[] = {"form", "a", "aChild", "b", "bChild", "c", "cChild"};
    for (size_t i = 0; i < all.size(); ++i)
      if (NeedsPaint(all[i])) result.push_back(names[i]);
    return result;
  };
  ASSERT_TRUE(painted().empty());

  InvalidateWindowTree(b->Handle());
  EXPECT_EQ(painted(), (std::vector<std::string>{"b", "bChild"}));
  Pump();

  // Every child window of the form whose rectangle meets A's, with its whole tree: A itself and
  // B (even B's child, which does not meet A), never the form.
  InvalidateOverlappingChildren(Form->Handle(), a->Handle());
  EXPECT_EQ(painted(), (std::vector<std::string>{"a", "aChild", "b", "bChild"}));
  Pump();

  // A windowless control's place on its parent, and nothing for a control without a parent.
  auto* shape = Add<TSeeThroughShape>(c, RECT{12, 14, 30, 20});
  Pump();
  InvalidateInParent(shape, false);
  RECT update{};
  ASSERT_TRUE(GetUpdateRect(c->Handle(), &update, FALSE));
  EXPECT_EQ(update, (RECT{12, 14, 30, 20}));
  EXPECT_EQ(painted(), (std::vector<std::string>{"c"}));
  Pump();
  TSeeThroughShape loose(nullptr);
  InvalidateInParent(&loose, true);
  EXPECT_TRUE(painted().empty());
}

TEST_F(VcWindowsTest, RemoveClipChildrenClearsOnlyThatStyle) {
  auto* panel = Add<TCustomControl>(Form, RECT{0, 0, 40, 40});
  HWND window = panel->Handle();
  const DWORD style = DWORD(GetWindowLong(window, GWL_STYLE)) | WS_CLIPCHILDREN | WS_CLIPSIBLINGS;
  SetWindowLong(window, GWL_STYLE, LONG(style));
  RemoveClipChildren(panel);
  EXPECT_EQ(DWORD(GetWindowLong(window, GWL_STYLE)), style & ~WS_CLIPCHILDREN);
}

TEST_F(VcWindowsTest, CombineChildRegionsTakesOpaqueChildrenOnly) {
  Form->SetBorderStyle(bsNone);
  auto* panel = Add<TCustomControl>(Form, RECT{20, 10, 120, 90});  // 100 x 80
  Add<TSeeThroughShape>(panel, RECT{0, 0, 20, 20})->SetTransparent(true);
  Add<TSeeThroughShape>(panel, RECT{30, 0, 50, 20});
  Add<TSeeThroughShape>(panel, RECT{90, 70, 130, 100});  // sticks out: cut at 100 x 80
  Add<TCustomControl>(panel, RECT{0, 40, 10, 50});        // windowed: its window rectangle
  Add<TGraphicControl>(panel, RECT{60, 40, 70, 50});      // no "Transparent" at all: opaque
  ShowPainted();

  HRGN region = CreateRectRgn(0, 0, 0, 0);
  CombineChildRegions(panel, region, POINT{5, 7}, RGN_OR);
  struct TProbe {
    const char* Name;
    int X, Y;
    bool Inside;
  } probes[] = {
      {"transparent child left out", 5 + 10, 7 + 10, false},
      {"opaque child, moved by the offset", 5 + 30, 7 + 0, true},
      {"opaque child's last pixel", 5 + 49, 7 + 19, true},
      {"right of the opaque child", 5 + 50, 7 + 10, false},
      {"child cut at the panel's width", 5 + 99, 7 + 79, true},
      {"past the panel's width", 5 + 100, 7 + 75, false},
      {"past the panel's height", 5 + 95, 7 + 80, false},
      {"windowed child", 5 + 0, 7 + 40, true},
      {"windowed child's last pixel", 5 + 9, 7 + 49, true},
      {"child without the property", 5 + 65, 7 + 45, true},
      {"the panel itself is not part", 5 + 25, 7 + 60, false},
  };
  for (const TProbe& probe : probes) {
    SCOPED_TRACE(probe.Name);
    EXPECT_EQ(PtInRegion(region, probe.X, probe.Y) != FALSE, probe.Inside);
  }

  // Another mode works on what the region already holds.
  HRGN whole = CreateRectRgn(0, 0, 200, 200);
  CombineChildRegions(panel, whole, POINT{0, 0}, RGN_DIFF);
  EXPECT_FALSE(PtInRegion(whole, 35, 5));
  EXPECT_TRUE(PtInRegion(whole, 10, 10));
  DeleteObject(whole);
  DeleteObject(region);
}

TEST_F(VcWindowsTest, AnimateControlsStepsEveryEdge) {
  FClock->SetSleepAdvances(true);
  struct TCase {
    const char* Name;
    int32_t Steps;
    RECT Start, End;
    std::vector<int32_t> Lefts;  // the left edge handed out at each step
  } cases[] = {
      {"four steps to the right", 4, {0, 0, 20, 10}, {100, 0, 120, 10}, {25, 50, 75, 100}},
      // Truncation toward zero: 100 - 33.3 is 67, not 66.
      {"three steps to the left", 3, {100, 0, 120, 10}, {0, 0, 20, 10}, {67, 34, 0}},
      {"one step jumps", 1, {5, 0, 20, 10}, {-7, 0, 20, 10}, {-7}},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    TSeeThroughShape shape(nullptr);
    std::vector<TvcAnimationEntry> entries(1);
    entries[0].First = TvcAnimationPlacement{&shape, c.Start, {}, c.End};
    std::vector<int32_t> lefts;
    AnimateControls(entries, 10, c.Steps, [&](TControl* Control, const RECT& Rect) {
      EXPECT_EQ(Control, &shape);
      lefts.push_back(Rect.left);
    });
    EXPECT_EQ(lefts, c.Lefts);
    EXPECT_EQ(entries[0].First.Current, c.End);
    EXPECT_EQ(shape.BoundsRect(), (RECT{0, 0, 0, 0}));  // the callback placed it, not the routine
  }

  // Nothing at all for no steps or no entries.
  std::vector<TvcAnimationEntry> none;
  int calls = 0;
  AnimateControls(none, 10, 4, [&](TControl*, const RECT&) { ++calls; });
  TSeeThroughShape shape(nullptr);
  std::vector<TvcAnimationEntry> one(1);
  one[0].First = TvcAnimationPlacement{&shape, {0, 0, 1, 1}, {}, {9, 9, 10, 10}};
  AnimateControls(one, 10, 0, [&](TControl*, const RECT&) { ++calls; });
  EXPECT_EQ(calls, 0);
}

TEST_F(VcWindowsTest, AnimateControlsMovesRealControlsAndPauses) {
  FClock->SetSleepAdvances(true);
  auto* button = Add<TMoveRecorder>(Form, RECT{0, 0, 20, 10});
  auto* panel = Add<TCustomControl>(Form, RECT{0, 10, 20, 10});
  auto* header = Add<TCustomControl>(Form, RECT{50, 50, 70, 60});
  auto* growing = Add<TCustomControl>(Form, RECT{50, 60, 70, 60});
  ShowPainted();

  // A button sliding with its panel; a header that stays while its panel grows below it.
  std::vector<TvcAnimationEntry> entries(2);
  entries[0].First = TvcAnimationPlacement{button, button->BoundsRect(), {}, RECT{100, 0, 120, 10}};
  entries[0].Second = TvcAnimationPlacement{panel, panel->BoundsRect(), {}, RECT{100, 10, 120, 50}};
  entries[1].First = TvcAnimationPlacement{header, header->BoundsRect(), {}, header->BoundsRect()};
  entries[1].Second = TvcAnimationPlacement{growing, growing->BoundsRect(), {}, RECT{50, 60, 70, 140}};
  button->Lefts.clear();
  const uint64_t startTick = FClock->TickCount();
  AnimateControls(entries, 30, 4);

  EXPECT_EQ(button->Lefts, (std::vector<int32_t>{25, 50, 75, 100}));
  EXPECT_EQ(button->BoundsRect(), (RECT{100, 0, 120, 10}));
  EXPECT_EQ(panel->BoundsRect(), (RECT{100, 10, 120, 50}));
  EXPECT_EQ(growing->BoundsRect(), (RECT{50, 60, 70, 140}));
  EXPECT_EQ(entries[1].Second.Current, (RECT{50, 60, 70, 140}));
  // One pause of the interval per step.
  EXPECT_EQ(FClock->TickCount() - startTick, 4u * 30u);
  // Nothing is left to paint once the slide is over.
  EXPECT_FALSE(NeedsPaint(growing));
  EXPECT_FALSE(NeedsPaint(panel));
}

TEST_F(VcWindowsTest, InputReadingsAndTheCommonControlsVersion) {
  struct TCase {
    const char* Name;
    std::vector<int> Down;
    TShiftState Expected;
  } cases[] = {
      {"nothing held", {}, TShiftState{}},
      {"shift and control", {VK_SHIFT, VK_CONTROL}, TShiftState{ssShift, ssCtrl}},
      {"alt", {VK_MENU}, TShiftState{ssAlt}},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    BYTE keys[256] = {};
    for (int key : c.Down) keys[key] = 0x80;
    keys[VK_CAPITAL] = 0x01;  // a toggled key that is not held counts for nothing
    SetKeyboardState(keys);
    EXPECT_EQ(GetShiftStateNow(), c.Expected);
  }

  SetCursorPos(12, 34);
  POINT cursor{};
  GetCursorPosition(cursor);
  EXPECT_EQ(cursor.x, 12);
  EXPECT_EQ(cursor.y, 34);

  EXPECT_EQ(GetComCtlVersion(), 6u << 16);
  EXPECT_EQ(GetComCtlVersion(), GetComCtlVersion());
}

}  // namespace
