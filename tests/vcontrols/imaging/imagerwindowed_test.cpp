// The windowed twin of the image control: its own window shows the processed picture and every
// change of it, it keeps its work bitmap when the picture goes, and a transparent one lets its
// parent paint beneath it.

#include <gtest/gtest.h>

#include "platform/user/user.h"
#include "tests/vcontrols/imaging/imager_support.h"
#include "vcontrols/imaging/vcdbimager.h"

namespace {

class WindowedImagerTest : public TImagerTest {
 protected:
  TvcDBCustomImager* AddImager(RECT Bounds) {
    auto* imager = new TvcDBCustomImager(Form);
    imager->SetParent(Form);
    imager->SetBoundsRect(Bounds);
    return imager;
  }
};

std::unique_ptr<TBitmap> TwoColours(int Width, int Height) {
  return MakePatternBitmap(Width, Height, [=](int X, int) { return X < Width / 2 ? 0xC00000u : 0x0000C0u; });
}

TEST_F(WindowedImagerTest, ItsWindowShowsEveryChangeOfTheProcessedPicture) {
  TvcDBCustomImager* imager = AddImager(RECT{10, 10, 50, 30});
  EXPECT_FALSE(imager->ParentColor());
  EXPECT_EQ(imager->Color(), clWindow);
  imager->SetDrawStyle(dsStretch);
  imager->Picture()->Assign(TwoColours(8, 4).get());
  Form->Show();
  Pump();
  EXPECT_EQ(ScreenColor(Form, 12, 12), 0xC00000u);
  EXPECT_EQ(ScreenColor(Form, 48, 28), 0x0000C0u);
  // A setting change repaints the window, not only the parent beneath it.
  imager->BitmapOptions()->SetInverted(true);
  Pump();
  EXPECT_EQ(ScreenColor(Form, 12, 12), 0x3FFFFFu);
  // So does a new picture.
  imager->Picture()->Assign(MakePatternBitmap(8, 4, [](int, int) { return 0x00FF00u; }).get());
  Pump();
  EXPECT_EQ(ScreenColor(Form, 30, 20), 0xFF00FFu);
  SaveFormPng(Form, "imager_windowed", 4);
}

TEST_F(WindowedImagerTest, KeepsItsWorkBitmapWhenThePictureGoesAndSurvivesAnEmptySize) {
  TvcDBCustomImager* imager = AddImager(RECT{0, 0, 40, 30});
  imager->Picture()->Assign(TwoColours(8, 4).get());
  ASSERT_EQ(imager->WorkBitmap()->Width(), 8);
  imager->Picture()->SetGraphic(nullptr);
  EXPECT_EQ(imager->WorkBitmap()->Width(), 8);
  // Effects after scaling in a control of no size: the work bitmap stays empty, and asking for
  // the effects does not come back forever.
  TvcDBCustomImager* flat = AddImager(RECT{0, 0, 0, 0});
  flat->SetPreProcess(false);
  flat->SetDrawStyle(dsStretch);
  flat->Picture()->Assign(TwoColours(8, 4).get());
  flat->RefreshEffects();
  EXPECT_TRUE(flat->WorkBitmap()->Empty());
}

TEST_F(WindowedImagerTest, TransparentImageLetsTheParentPaintBeneath) {
  Form->Show();
  Pump();
  TvcDBCustomImager* imager = AddImager(RECT{0, 0, 40, 30});
  const auto clipsChildren = [&] {
    return (DWORD(GetWindowLong(Form->Handle(), GWL_STYLE)) & WS_CLIPCHILDREN) != 0;
  };
  imager->HandleNeeded();
  imager->SetTransparent(true);
  EXPECT_EQ(SendMessageA(imager->Handle(), WM_ERASEBKGND, 0, 0), 1);
  // The parent stops clipping its children when the image's window is made.
  SetWindowLong(Form->Handle(), GWL_STYLE,
                LONG(DWORD(GetWindowLong(Form->Handle(), GWL_STYLE)) | WS_CLIPCHILDREN));
  ASSERT_TRUE(clipsChildren());
  imager->RecreateWnd();
  imager->HandleNeeded();
  EXPECT_FALSE(clipsChildren());
}

}  // namespace
