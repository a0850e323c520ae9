// The in-process clipboard: text, pictures, and grouping formats between Open and Close.

#include "platform/forms/clipboard.h"

#include <gtest/gtest.h>

#include "platform/forms/bitmap.h"
#include "platform/forms/canvas.h"
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

namespace {

// A stand-in for the display's selections: what the clipboard pushed, and what "another
// program" put there.
class TFakeStore : public TClipboardStore {
 public:
  void SetText(const std::string& Value) override {
    Text_ = Value;
    HasPicture_ = false;
  }
  void SetPicture(int Width, int Height, const std::vector<uint32_t>& Pixels) override {
    Width_ = Width;
    Height_ = Height;
    Pixels_ = Pixels;
    HasPicture_ = true;
    Text_.reset();
  }
  void Clear() override {
    Text_.reset();
    HasPicture_ = false;
  }
  bool HasText() override { return Text_.has_value(); }
  bool HasPicture() override { return HasPicture_; }
  std::optional<std::string> Text() override { return Text_; }
  bool Picture(int& Width, int& Height, std::vector<uint32_t>& Pixels) override {
    if (!HasPicture_) return false;
    Width = Width_;
    Height = Height_;
    Pixels = Pixels_;
    return true;
  }
  std::optional<std::string> Text_;
  bool HasPicture_ = false;
  int Width_ = 0, Height_ = 0;
  std::vector<uint32_t> Pixels_;
};

TEST(ClipboardTest, AStoreStandsBehindTheClipboard) {
  TFakeStore Store;
  SetClipboardStore(&Store);
  TClipboard Clip;
  Clip.SetAsText("to the desktop");
  EXPECT_EQ(Store.Text_, "to the desktop");
  // Another program copies: we read its text.
  Store.Text_ = "from elsewhere";
  EXPECT_EQ(Clip.AsText(), "from elsewhere");
  TBitmap Source;
  Source.SetSize(2, 2);
  Source.Canvas()->Brush()->SetColor(TColor(0x00336699));  // BGR: red 0x99, green 0x66, blue 0x33
  Source.Canvas()->FillRect(RECT{0, 0, 2, 2});
  Source.Canvas()->SetPixels(1, 0, clRed);
  Clip.Assign(&Source);
  ASSERT_TRUE(Store.HasPicture_);
  EXPECT_EQ(Store.Pixels_[0], 0x996633u);
  EXPECT_EQ(Store.Pixels_[1], 0xFF0000u);
  EXPECT_FALSE(Clip.HasFormat(CF_TEXT));
  // A picture another program put there arrives as a bitmap.
  Store.SetPicture(1, 2, {0x00FF00, 0x0000FF});
  TBitmap Pasted;
  Pasted.Assign(&Clip);
  ASSERT_EQ(Pasted.Height(), 2);
  EXPECT_EQ(Pasted.Canvas()->Pixels(0, 0), clLime);
  EXPECT_EQ(Pasted.Canvas()->Pixels(0, 1), clBlue);
  SetClipboardStore(nullptr);
}

}  // namespace
