#include "platform/gdi/imagefile/imagefile.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "platform/gdi/imagefile/jpegfile.h"
#include "tests/platform/gdi/imagefile/imagefile_support.h"

namespace {

namespace fs = std::filesystem;

// A fresh folder under the test temp folder, removed afterwards.
class TImageFileFolder : public ::testing::Test {
 protected:
  void SetUp() override {
    Folder =
        ::testing::TempDir() + "imagefile_" + ::testing::UnitTest::GetInstance()->current_test_info()->name();
    fs::remove_all(Folder);
    fs::create_directories(Folder);
  }
  void TearDown() override { fs::remove_all(Folder); }
  std::string Folder;
};

TEST(ImageFile, TellsFormatsByContentAndByName) {
  struct TCase {
    const char* Folder;
    const char* File;
    TImageFileFormat Format;
  };
  const TCase Cases[] = {
      {"image_bmp", "rgb24_5x3.bmp", TImageFileFormat::Bmp},
      {"image_jpeg", "gray_8x8.jpg", TImageFileFormat::Jpeg},
      {"image_png", "rgba_5x3.png", TImageFileFormat::Png},
      {"image_gif", "pal4_5x3.gif", TImageFileFormat::Gif},
      {"image_tiff", "rgb24_raw.tif", TImageFileFormat::Tiff},
      {"image_ico", "alpha32.ico", TImageFileFormat::Ico},
  };
  for (const TCase& Case : Cases) {
    SCOPED_TRACE(Case.File);
    const std::vector<uint8_t> Bytes = Fixture(Case.Folder, Case.File);
    EXPECT_EQ(DetectImageFormat(Bytes), Case.Format);
    EXPECT_EQ(ImageFormatFromExtension(Case.File), Case.Format);
    const TBgraImage Image = DecodeImage(Bytes);
    EXPECT_FALSE(Image.Empty());
  }
  EXPECT_EQ(DetectImageFormat(std::vector<uint8_t>{0, 0, 1, 0, 0, 0}), TImageFileFormat::Unknown)
      << "empty icon";
  EXPECT_EQ(DetectImageFormat({}), TImageFileFormat::Unknown);

  struct TName {
    const char* Name;
    TImageFileFormat Format;
  };
  const TName Names[] = {
      {"/a/b/Photo.JPEG", TImageFileFormat::Jpeg},
      {"x.Tiff", TImageFileFormat::Tiff},
      {"mark.ICO", TImageFileFormat::Ico},
      {"kv0001.bmp", TImageFileFormat::Bmp},
      {"/my.folder/noext", TImageFileFormat::Unknown},
      {"movie.avi", TImageFileFormat::Unknown},
  };
  for (const TName& Name : Names) EXPECT_EQ(ImageFormatFromExtension(Name.Name), Name.Format) << Name.Name;
}

TEST(ImageFile, DecodesAsTheCallerSays) {
  // A PNG named .jpg, loaded the way the pickers load it, fails as a JPEG.
  const std::vector<uint8_t> Png = Fixture("image_png", "rgba_5x3.png");
  EXPECT_THROW(DecodeImage(Png, TImageFileFormat::Jpeg), EJPEG);
  EXPECT_EQ(DecodeImage(Png).Width, 5);
  try {
    DecodeImage(std::vector<uint8_t>{'h', 'e', 'l', 'l', 'o'});
    ADD_FAILURE() << "decoded";
  } catch (const EInvalidGraphic& Error) {
    EXPECT_EQ(Error.Message(), "Unknown picture format");
  }
}

TEST_F(TImageFileFolder, ReadsAndReplacesFiles) {
  const std::string Name = Folder + "/kv0001.png";
  const std::vector<uint8_t> First = {1, 2, 3}, Second = {4, 5};
  WriteFileBytes(Name, First);
  EXPECT_EQ(ReadFileBytes(Name), First);
  WriteFileBytes(Name, Second);
  EXPECT_EQ(ReadFileBytes(Name), Second);
  EXPECT_FALSE(fs::exists(Name + ".part"));

  const std::string Picture = Folder + "/Фото.gif";  // UTF-8 names are plain bytes
  WriteFileBytes(Picture, Fixture("image_gif", "pal4_5x3.gif"));
  EXPECT_EQ(LoadImageFile(Picture).Width, 5);
  EXPECT_EQ(LoadImageFile(Picture, ImageFormatFromExtension(Picture)).Height, 3);
}

TEST_F(TImageFileFolder, FailuresLeaveEarlierFilesAlone) {
  try {
    ReadFileBytes(Folder + "/missing.jpg");
    ADD_FAILURE() << "read";
  } catch (const EFOpenError& Error) {
    EXPECT_EQ(Error.Message(), "Cannot open file \"" + Folder + "/missing.jpg\". No such file or directory");
  }
  EXPECT_THROW(ReadFileBytes(Folder), EFOpenError);
  EXPECT_THROW(LoadImageFile(Folder + "/missing.png"), EFOpenError);

  try {
    WriteFileBytes(Folder + "/no/such/folder.bmp", std::vector<uint8_t>{1});
    ADD_FAILURE() << "written";
  } catch (const EFCreateError& Error) {
    EXPECT_EQ(Error.Message().rfind("Cannot create file \"", 0), 0u) << Error.Message();
  }

  // A folder where the picture should go: the rename fails, the folder and its contents stay and
  // no temporary file is left behind.
  const std::string Blocked = Folder + "/kv0002.jpg";
  fs::create_directories(Blocked + "/inside");
  EXPECT_THROW(WriteFileBytes(Blocked, std::vector<uint8_t>{1, 2}), EWriteError);
  EXPECT_TRUE(fs::is_directory(Blocked + "/inside"));
  EXPECT_FALSE(fs::exists(Blocked + ".part"));
}

}  // namespace
