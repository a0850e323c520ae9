// The in-process clipboard: text, pictures, and grouping formats between Open and Close.

#include <gtest/gtest.h>

#include "platform/forms/bitmap.h"
#include "platform/forms/canvas.h"
#include "platform/forms/clipboard.h"
#include "platform/forms/picture.h"

namespace {

TEST(ClipboardTest, TextAndPicturesReplaceEachOtherUnlessGrouped) {
  TClipboard Clip;
  EXPECT_FALSE(Clip.HasFormat(CF_TEXT));
  Clip.SetAsText("Привет");
  EXPECT_TRUE(Clip.HasFormat(CF_TEXT));
  EXPECT_TRUE(Clip.HasFormat(CF_UNICODETEXT));
  EXPECT_EQ(Clip.AsText(), "Привет");

  TBitmap Source;
  Source.SetSize(4, 3);
  Source.Canvas()->Brush()->SetColor(clRed);
  Source.Canvas()->FillRect(RECT{0, 0, 4, 3});
  Source.Canvas()->SetPixels(1, 1, clBlue);
  const uint32_t Before = Clip.SequenceNumber();
  Clip.Assign(&Source);
  EXPECT_NE(Clip.SequenceNumber(), Before);
  // A new content: the text is gone.
  EXPECT_TRUE(Clip.HasFormat(CF_BITMAP));
  EXPECT_TRUE(Clip.HasFormat(CF_DIB));
  EXPECT_FALSE(Clip.HasFormat(CF_TEXT));
  // The clipboard has its own copy.
  Source.Canvas()->SetPixels(1, 1, clLime);
  TBitmap Pasted;
  Pasted.Assign(&Clip);
  ASSERT_EQ(Pasted.Width(), 4);
  EXPECT_EQ(Pasted.Canvas()->Pixels(1, 1), clBlue);
  EXPECT_EQ(Pasted.Canvas()->Pixels(0, 0), clRed);
  TPicture Picture;
  Picture.Assign(&Clip);
  ASSERT_TRUE(Picture.Graphic());
  EXPECT_EQ(Picture.Width(), 4);

  // Between Open and Close both formats are kept.
  Clip.Open();
  Clip.SetAsText("caption");
  Clip.Assign(&Source);
  Clip.Close();
  EXPECT_TRUE(Clip.HasFormat(CF_TEXT));
  EXPECT_TRUE(Clip.HasFormat(CF_BITMAP));
  EXPECT_EQ(Clip.FormatCount(), 2);
  Clip.Clear();
  EXPECT_EQ(Clip.FormatCount(), 0);
  EXPECT_EQ(Clip.AsText(), "");
}

TEST(ClipboardTest, TheProgramClipboardCanBeReplaced) {
  TClipboard* Mine = new TClipboard();
  TClipboard* Old = SetClipboard(Mine);
  Clipboard()->SetAsText("x");
  EXPECT_EQ(Mine->AsText(), "x");
  EXPECT_EQ(SetClipboard(Old), Mine);
  Mine->Free();
}

}  // namespace
