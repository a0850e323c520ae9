// The track bar: keys, clicks on the channel (one page, then repeating while held, never past
// the mouse), dragging the thumb, OnChange on every change of Position (the program's too) and
// never without one, the range keeping Position inside, ticks, and a picture.

#include "platform/forms/trackbar.h"

#include <gtest/gtest.h>

#include "platform/user/input.h"
#include "tests/platform/forms/controltest.h"
#include "tests/platform/forms/widgets/widgettest.h"

namespace FormsTest {
namespace {

class TrackBarTest : public TFormsTest {
 protected:
  void SetUp() override {
    TFormsTest::SetUp();
    Form = NewForm<TForm>(nullptr);
    Form->SetBounds(100, 100, 300, 120);
    Bar = new TTrackBar(Form);
    Bar->SetBounds(10, 10, 216, 32);
    Bar->SetParent(Form);
    // As the album's position bars: page size 1, ticks at the bottom, a short thumb.
    Bar->SetRange(0, 100);
    Bar->SetPageSize(10);
    Bar->SetFrequency(10);
    Bar->SetThumbLength(10);
    Bar->OnChange = TNotifyEvent([this](TObject*) { Changes.push_back(Bar->Position()); });
    Form->Show();
    Pump();
  }
  void TearDown() override {
    Form->Free();
    TFormsTest::TearDown();
  }
  TForm* Form = nullptr;
  TTrackBar* Bar = nullptr;
  std::vector<int> Changes;
};

TEST_F(TrackBarTest, KeysMoveByLinesPagesAndToTheEnds) {
  Bar->SetPosition(50);
  Bar->SetFocus();
  Pump();
  struct TCase {
    const char* Name;
    int Key;
    int Position;
  };
  const TCase Cases[] = {
      {"Right", VK_RIGHT, 51}, {"Down", VK_DOWN, 52},   {"Left", VK_LEFT, 51},   {"Up", VK_UP, 50},
      {"Page Down", VK_NEXT, 60}, {"Page Up", VK_PRIOR, 50}, {"End", VK_END, 100}, {"Right at the end", VK_RIGHT, 100},
      {"Home", VK_HOME, 0},   {"Page Up at the start", VK_PRIOR, 0},
  };
  for (const TCase& Case : Cases) {
    SCOPED_TRACE(Case.Name);
    Changes.clear();
    Keys({Case.Key});
    EXPECT_EQ(Bar->Position(), Case.Position);
    // OnChange exactly when the position moved.
    const bool Moved = !Changes.empty();
    EXPECT_EQ(Changes.size(), Moved ? 1u : 0u);
    if (Moved) { EXPECT_EQ(Changes[0], Case.Position); }
  }
}

TEST_F(TrackBarTest, TheProgramsChangesRaiseOnChangeToo) {
  struct TCase {
    const char* Name;
    std::function<void()> Act;
    int Position;
    std::vector<int> Changes;
  };
  const TCase Cases[] = {
      {"a position", [&] { Bar->SetPosition(30); }, 30, {30}},
      {"the same position", [&] { Bar->SetPosition(30); }, 30, {}},
      {"beyond the maximum", [&] { Bar->SetPosition(500); }, 100, {100}},
      {"a maximum below the position", [&] { Bar->SetMax(40); }, 40, {40}},
      {"a minimum above it", [&] { Bar->SetMin(45); }, 45, {45}},
      {"a range that keeps it", [&] { Bar->SetRange(0, 1000); }, 45, {}},
  };
  for (const TCase& Case : Cases) {
    SCOPED_TRACE(Case.Name);
    Changes.clear();
    Case.Act();
    EXPECT_EQ(Bar->Position(), Case.Position);
    EXPECT_EQ(Changes, Case.Changes);
    EXPECT_LE(Bar->Min(), Bar->Max());
  }
}

TEST_F(TrackBarTest, TheMouseOnTheChannelAndOnTheThumb) {
  Bar->SetPosition(0);
  Changes.clear();
  // A press right of the thumb steps one page at once, then repeats while held until the thumb
  // reaches the mouse (at 35 here), and never past it.
  const int At35 = Bar->ValueToX(35);
  PressAt(Bar, At35, 10);
  Pump();
  EXPECT_EQ(Bar->Position(), 10);
  EXPECT_TRUE(Bar->Focused());
  Advance(300);
  EXPECT_EQ(Bar->Position(), 10);  // the first repeat waits a little longer
  Advance(1000);
  EXPECT_EQ(Bar->Position(), 35);
  ReleaseAt(Bar, At35, 10);
  Pump();
  EXPECT_EQ(Changes, (std::vector<int>{10, 20, 30, 35}));
  // The thumb follows a drag, wherever on it the mouse took it.
  Changes.clear();
  const RECT Thumb = Bar->ThumbRect();
  PressAt(Bar, Thumb.left + 1, 8);
  Pump();
  EXPECT_TRUE(Changes.empty());
  MoveTo(Bar, Bar->ValueToX(80) + (Thumb.left + 1 - Bar->ValueToX(35)), 8);
  Pump();
  EXPECT_EQ(Bar->Position(), 80);
  MoveTo(Bar, -50, 8);
  Pump();
  EXPECT_EQ(Bar->Position(), 0);
  ReleaseAt(Bar, -50, 8);
  Pump();
  // After the release, moving the mouse changes nothing.
  MoveTo(Bar, Bar->ValueToX(60), 8);
  Pump();
  EXPECT_EQ(Bar->Position(), 0);
}

TEST_F(TrackBarTest, TicksAndAPicture) {
  EXPECT_EQ(Bar->Ticks(), (std::vector<int32_t>{0, 10, 20, 30, 40, 50, 60, 70, 80, 90, 100}));
  // The album sets the maximum to a movie's length and a tenth of it as the frequency.
  Bar->SetRange(0, 251);
  Bar->SetFrequency(25);
  const std::vector<int32_t> Ticks = Bar->Ticks();
  ASSERT_EQ(Ticks.size(), 12u);
  EXPECT_EQ(Ticks[10], 250);
  EXPECT_EQ(Ticks[11], 251);
  Bar->SetTickStyle(tsManual);
  EXPECT_EQ(Bar->Ticks(), (std::vector<int32_t>{0, 251}));
  Bar->SetTickStyle(tsAuto);
  Bar->SetRange(0, 100);
  Bar->SetFrequency(10);
  Bar->SetPosition(40);
  // The ends of the channel are the ends of the range.
  EXPECT_EQ(Bar->ValueToX(0), Bar->ChannelRect().left);
  EXPECT_EQ(Bar->ValueToX(100), Bar->ChannelRect().right - 1);
  EXPECT_EQ(Bar->XToValue(Bar->ValueToX(40)), 40);
  Pump();
  SaveWindowPng(Bar, "track_bar", 3);
}

}  // namespace
}  // namespace FormsTest
