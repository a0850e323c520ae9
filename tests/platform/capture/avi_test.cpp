// Movies: written by the AVI writer, read back through the AVI file services (and, when the
// ffprobe tool is installed, checked by FFmpeg as any player would read them).
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "platform/capture/avifile.h"
#include "platform/capture/aviwriter.h"
#include "platform/capture/syntheticcamera.h"
#include "platform/capture/videoformat.h"
#include "tests/platform/capture/capture_support.h"
#include "tests/platform/capture/movie_support.h"
#include "tests/platform/rtl/temp_folder.h"

namespace {

using MovieTest::ColourOf;
using MovieTest::ExpectFlat;
using MovieTest::FlatFrame;
using MovieTest::Height;
using MovieTest::Probe;
using MovieTest::TOpenMovie;
using MovieTest::Width;
using MovieTest::WriteMovie;

TEST(AviFile, ARecordedMovieReadsBackFrameByFrameInAnyOrder) {
  TTempFolder Folder;
  const std::string Path = Folder.File("video01.avi");
  std::vector<int> Indices;
  for (int Index = 0; Index < 12; ++Index) Indices.push_back(Index);
  ASSERT_TRUE(WriteMovie(Path, Indices));
  EXPECT_EQ(Folder.Listing(), "video01.avi") << "no temporary file is left";

  TOpenMovie Movie(Path);
  ASSERT_EQ(Movie.Result, AVIERR_OK);
  ASSERT_NE(Movie.Reader, nullptr);
  EXPECT_EQ(AVIStreamStart(Movie.Stream), 0);
  EXPECT_EQ(AVIStreamLength(Movie.Stream), 12);
  const BITMAPINFOHEADER* First = Movie.Frame(0);
  ASSERT_NE(First, nullptr);
  EXPECT_EQ(First->biSize, 40u);
  EXPECT_EQ(First->biWidth, Width);
  EXPECT_EQ(First->biHeight, Height);
  EXPECT_EQ(First->biBitCount, 24);
  EXPECT_EQ(First->biCompression, DWORD(BI_RGB));
  EXPECT_EQ(First->biClrUsed, 0u);
  EXPECT_EQ(First->biSizeImage, VideoRowStride(Width, 24) * Height);
  for (const LONG Position : {0, 7, 2, 3, 4, 11, 0, 10}) {
    SCOPED_TRACE("frame " + std::to_string(Position));
    ExpectFlat(Movie.Frame(Position), ColourOf(Position));
  }
  EXPECT_EQ(Movie.Frame(12), nullptr);
  EXPECT_EQ(Movie.Frame(-1), nullptr);

  const std::string Probed = Probe(Path);
  if (!Probed.empty()) {
    EXPECT_EQ(Probed, "codec_name=mjpeg\nwidth=64\nheight=48\nr_frame_rate=10/1\nnb_read_frames=12\n");
  }
}

TEST(AviFile, TheStillSceneSurvivesEveryCaptureFormat) {
  // The writer reads frames in the capture format (what the video-stream callback left) and
  // encodes them as JPEG: the picture comes back within JPEG's tolerance.
  for (const DWORD Code : {DWORD(BI_RGB), FOURCC_YUY2, FOURCC_Y41P, FOURCC_Y8, FOURCC_MJPG}) {
    SCOPED_TRACE(FourCCToString(Code));
    TTempFolder Folder;
    TSyntheticCameraSettings Settings;
    Settings.Compression = Code;
    Settings.Width = 96;
    Settings.Height = 64;
    TSyntheticCamera Camera(Settings);
    std::vector<uint8_t> Frame(Camera.Format().biSizeImage);
    TAviWriter Writer;
    ASSERT_TRUE(Writer.Open(Folder.File("movie.avi"), Camera.Format(), 66667)) << Writer.Error();
    for (int Index = 0; Index < 3; ++Index) {
      ASSERT_EQ(Camera.Capture(Frame.data(), Frame.size()).Outcome, TCaptureOutcome::Frame);
      ASSERT_TRUE(Writer.Write(Frame.data(), Frame.size(), Index));
    }
    ASSERT_TRUE(Writer.Finish()) << Writer.Error();
    EXPECT_EQ(Writer.FramesWritten(), 3);
    TOpenMovie Movie(Folder.File("movie.avi"));
    ASSERT_NE(Movie.Reader, nullptr);
    const BITMAPINFOHEADER* Read = Movie.Frame(2);
    ASSERT_NE(Read, nullptr);
    std::vector<uint8_t> Reference = CaptureTest::StillScene(96, 64);
    if (Code == FOURCC_Y8)
      for (size_t Index = 0; Index < Reference.size(); Index += 3)
        Reference[Index] = Reference[Index + 1] = Reference[Index + 2] = uint8_t(
            (77 * Reference[Index + 2] + 150 * Reference[Index + 1] + 29 * Reference[Index] + 128) >> 8);
    CaptureTest::ExpectDibNear(reinterpret_cast<const uint8_t*>(Read) + 40, 96, 64, 24, true, Reference,
                               Code == FOURCC_MJPG ? 16 : 12);
  }
}

TEST(AviFile, SkippedFramesRepeatThePictureBeforeThem) {
  TTempFolder Folder;
  const std::string Path = Folder.File("gaps.avi");
  ASSERT_TRUE(WriteMovie(Path, {0, 1, 4, 5}, 33333));
  TOpenMovie Movie(Path);
  ASSERT_NE(Movie.Reader, nullptr);
  EXPECT_EQ(AVIStreamLength(Movie.Stream), 6) << "the movie keeps real time";
  const struct {
    LONG Position;
    int ShowsFrame;
  } Expected[] = {{0, 0}, {1, 1}, {2, 1}, {3, 1}, {4, 4}, {5, 5}, {3, 1}, {2, 1}};
  for (const auto& Case : Expected) {
    SCOPED_TRACE("position " + std::to_string(Case.Position));
    ExpectFlat(Movie.Frame(Case.Position), ColourOf(Case.ShowsFrame));
  }
  const std::string Probed = Probe(Path);
  if (!Probed.empty()) {
    EXPECT_NE(Probed.find("r_frame_rate=1000000/33333\n"), std::string::npos) << Probed;
  }
}

TEST(AviFile, AMovieAppearsUnderItsNameOnlyWhenComplete) {
  TTempFolder Folder;
  const std::string Path = Folder.File("video01.avi");
  Folder.Write("video01.avi", "the previous movie");
  const BITMAPINFOHEADER Format = MakeVideoFormat(BI_RGB, Width, Height, 24);
  const std::vector<uint8_t> Frame = FlatFrame(Format, ColourOf(1));
  {
    TAviWriter Writer;
    ASSERT_TRUE(Writer.Open(Path, Format, 100000));
    ASSERT_TRUE(Writer.Write(Frame.data(), Frame.size(), 0));
    EXPECT_EQ(Folder.Listing(), "video01.avi video01.avi.part");
    EXPECT_EQ(Folder.Read("video01.avi"), "the previous movie");
    Writer.Discard();
    EXPECT_EQ(Folder.Listing(), "video01.avi");
  }
  {
    TAviWriter Writer;  // dropped without Finish: the same as Discard
    ASSERT_TRUE(Writer.Open(Path, Format, 100000));
  }
  EXPECT_EQ(Folder.Listing(), "video01.avi");
  EXPECT_EQ(Folder.Read("video01.avi"), "the previous movie");

  TAviWriter Writer;
  EXPECT_FALSE(Writer.Open(Folder.File("missing/folder/video.avi"), Format, 100000));
  EXPECT_FALSE(Writer.Error().empty());
  EXPECT_FALSE(Writer.Open(Path, MakeVideoFormat(mmioFOURCC('H', '2', '6', '4'), 64, 48, 24), 100000));
  EXPECT_FALSE(Writer.Open(Path, Format, 0));
  EXPECT_EQ(Folder.Listing(), "video01.avi");

  // A movie without frames is still a movie a reader opens.
  ASSERT_TRUE(WriteMovie(Path, {}));
  TOpenMovie Empty(Path);
  ASSERT_EQ(Empty.Result, AVIERR_OK);
  EXPECT_EQ(AVIStreamLength(Empty.Stream), 0);
  EXPECT_EQ(Empty.Frame(0), nullptr);
}

TEST(AviFile, OpenRefusesWhatIsNoVideoStreamOfAnAviFile) {
  TTempFolder Folder;
  const std::string Path = Folder.File("movie.avi");
  ASSERT_TRUE(WriteMovie(Path, {0, 1, 2}));
  Folder.Write("text.avi", "RIFF this is no movie at all");
  const std::string Bytes = Folder.Read("movie.avi");
  Folder.Write("truncated.avi", Bytes.substr(0, Bytes.size() / 2));

  PAVISTREAM Stream = reinterpret_cast<PAVISTREAM>(1);
  EXPECT_EQ(AVIStreamOpenFromFileA(&Stream, Folder.File("none.avi").c_str(), streamtypeVIDEO, 0, 0, nullptr),
            AVIERR_FILEOPEN);
  EXPECT_EQ(Stream, nullptr);
  EXPECT_EQ(AVIStreamOpenFromFileA(&Stream, Folder.File("text.avi").c_str(), streamtypeVIDEO, 0, 0, nullptr),
            AVIERR_FILEOPEN);
  EXPECT_EQ(AVIStreamOpenFromFileA(&Stream, Path.c_str(), streamtypeVIDEO, 1, 0, nullptr), AVIERR_FILEOPEN)
      << "there is one video stream only";
  EXPECT_EQ(AVIStreamOpenFromFileA(&Stream, Path.c_str(), mmioFOURCC('a', 'u', 'd', 's'), 0, 0, nullptr),
            AVIERR_NODATA);
  EXPECT_EQ(AVIStreamOpenFromFileA(nullptr, Path.c_str(), streamtypeVIDEO, 0, 0, nullptr), AVIERR_BADPARAM);

  // A truncated movie opens or not, and gives the frames it still has; it never crashes.
  {
    TOpenMovie Truncated(Folder.File("truncated.avi"));
    if (Truncated.Reader)
      for (LONG Position = 0; Position < 4; ++Position) Truncated.Frame(Position);
  }

  // A frame reader keeps its stream alive; it takes only the stream's own 24-bit format.
  ASSERT_EQ(AVIStreamOpenFromFileA(&Stream, Path.c_str(), 0, 0, 0, nullptr), AVIERR_OK);
  BITMAPINFOHEADER Wanted = MakeVideoFormat(BI_RGB, Width, Height, 32);
  EXPECT_EQ(AVIStreamGetFrameOpen(Stream, &Wanted), nullptr);
  Wanted = MakeVideoFormat(BI_RGB, Width, Height, 24);
  PGETFRAME Exact = AVIStreamGetFrameOpen(Stream, &Wanted);
  PGETFRAME Best = AVIStreamGetFrameOpen(Stream, AVIGETFRAMEF_BESTDISPLAYFMT);
  ASSERT_NE(Exact, nullptr);
  ASSERT_NE(Best, nullptr);
  EXPECT_EQ(AVIStreamRelease(Stream), 2u);
  ExpectFlat(static_cast<const BITMAPINFOHEADER*>(AVIStreamGetFrame(Exact, 2)), ColourOf(2));
  EXPECT_EQ(AVIStreamGetFrameClose(Exact), AVIERR_OK);
  ExpectFlat(static_cast<const BITMAPINFOHEADER*>(AVIStreamGetFrame(Best, 1)), ColourOf(1));
  EXPECT_EQ(AVIStreamGetFrameClose(Best), AVIERR_OK);
  EXPECT_EQ(AVIStreamGetFrameClose(nullptr), AVIERR_BADHANDLE);
  EXPECT_EQ(AVIStreamGetFrame(nullptr, 0), nullptr);
  EXPECT_EQ(AVIStreamLength(nullptr), -1);
}

}  // namespace
