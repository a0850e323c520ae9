// The compression manager's decompressors: every code the drivers deliver, to 24- and 32-bit
// rows, checked against the synthetic scene the frame was made from, and the calls' answers
// for formats and handles they do not take.
#include <gtest/gtest.h>
#include <sys/mman.h>
#include <unistd.h>

#include <atomic>
#include <cstring>
#include <vector>

#include "platform/capture/syntheticcamera.h"
#include "platform/capture/vcm.h"
#include "platform/capture/videoformat.h"
#include "tests/platform/capture/capture_support.h"

#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
#define KORCAM_ALLOCATION_HOOKS 1
// The sanitizer runtimes call these for every allocation, FFmpeg's included.
extern "C" int __sanitizer_install_malloc_and_free_hooks(void (*Malloc)(const volatile void*, size_t),
                                                         void (*Free)(const volatile void*));
#endif

namespace {

using CaptureTest::ExpectDibNear;
using CaptureTest::StillScene;

constexpr int Width = 64;
constexpr int Height = 48;

// One frame of the still scene in Format: packed by the camera's own packer, or, for JPEG,
// taken from the synthetic camera.
std::vector<uint8_t> MakeFrame(const BITMAPINFOHEADER& Format) {
  std::vector<uint8_t> Frame(Format.biSizeImage, 0);
  if (Format.biCompression == FOURCC_MJPG) {
    TSyntheticCameraSettings Settings;
    Settings.Compression = FOURCC_MJPG;
    Settings.Width = Format.biWidth;
    Settings.Height = Format.biHeight;
    TSyntheticCamera Camera(Settings);
    EXPECT_EQ(Camera.Capture(Frame.data(), Frame.size()).Outcome, TCaptureOutcome::Frame);
  } else {
    PackSyntheticFrame(StillScene(Format.biWidth, Format.biHeight).data(), Format, Frame.data());
  }
  return Frame;
}

struct TDecompressCase {
  const char* Name;
  DWORD Compression;
  int ProposedBitCount;  // what ICM_DECOMPRESS_GET_FORMAT offers
  int Tolerance;         // studio-range YUV rounds; JPEG blurs a little more
};

constexpr TDecompressCase Cases[] = {
    {"YUY2 offers 32 bits", FOURCC_YUY2, 32, 6},
    {"YUYV is YUY2 under another code, 24 bits", FOURCC_YUYV, 24, 6},
    {"UYVY offers 32 bits", FOURCC_UYVY, 32, 6},
    {"Y41P offers 32 bits", FOURCC_Y41P, 32, 6},
    {"Y8 (two blanks) offers 32 bits", FOURCC_Y8, 32, 3},
    {"Y800 offers 24 bits", FOURCC_Y800, 24, 3},
    {"GREY offers 24 bits", FOURCC_GREY, 24, 3},
    {"MJPG offers 24 bits", FOURCC_MJPG, 24, 12},
};

// Grey frames keep only the luma: the reference is the scene's grey value.
std::vector<uint8_t> ReferenceFor(DWORD Compression) {
  std::vector<uint8_t> Scene = StillScene(Width, Height);
  if (VideoCodeOf(Compression) != TVideoCode::Grey) return Scene;
  for (size_t Index = 0; Index < Scene.size(); Index += 3) {
    const int Luma = (77 * Scene[Index + 2] + 150 * Scene[Index + 1] + 29 * Scene[Index] + 128) >> 8;
    Scene[Index] = Scene[Index + 1] = Scene[Index + 2] = uint8_t(Luma);
  }
  return Scene;
}

TEST(Decompressor, EveryCodeDecompressesTheKnownFrameIntoTheProposedAndTheOtherFormats) {
  for (const TDecompressCase& Case : Cases) {
    SCOPED_TRACE(Case.Name);
    BITMAPINFOHEADER Input = MakeVideoFormat(Case.Compression, Width, Height);
    std::vector<uint8_t> Frame = MakeFrame(Input);
    const std::vector<uint8_t> Reference = ReferenceFor(Case.Compression);

    HIC Decompressor = ICLocate(ICTYPE_VIDEO, 0, &Input, nullptr, ICMODE_DECOMPRESS);
    ASSERT_NE(Decompressor, nullptr);
    EXPECT_EQ(ICDecompressGetFormatSize(Decompressor, &Input), LRESULT(sizeof(BITMAPINFOHEADER)));
    BITMAPINFOHEADER Proposed{};
    ASSERT_EQ(ICDecompressGetFormat(Decompressor, &Input, &Proposed), ICERR_OK);
    EXPECT_EQ(Proposed.biSize, 40u);
    EXPECT_EQ(Proposed.biCompression, DWORD(BI_RGB));
    EXPECT_EQ(Proposed.biBitCount, Case.ProposedBitCount);
    EXPECT_EQ(Proposed.biWidth, Width);
    EXPECT_EQ(Proposed.biHeight, Height);
    EXPECT_EQ(Proposed.biSizeImage, VideoRowStride(Width, Case.ProposedBitCount) * Height);

    // The proposal, the other bit count, and top-down rows (a negative height).
    for (const int BitCount : {24, 32}) {
      for (const bool BottomUp : {true, false}) {
        SCOPED_TRACE(std::to_string(BitCount) + (BottomUp ? " bits bottom-up" : " bits top-down"));
        BITMAPINFOHEADER Output = MakeVideoFormat(BI_RGB, Width, Height, BitCount);
        if (!BottomUp) Output.biHeight = -Height;
        std::vector<uint8_t> Bits(Output.biSizeImage, 0xEE);
        ASSERT_EQ(ICDecompressBegin(Decompressor, &Input, &Output), ICERR_OK);
        ASSERT_EQ(ICDecompress(Decompressor, 0, &Input, Frame.data(), &Output, Bits.data()),
                  DWORD(ICERR_OK));
        EXPECT_EQ(ICDecompressEnd(Decompressor), ICERR_OK);
        ExpectDibNear(Bits.data(), Width, Height, BitCount, BottomUp, Reference, Case.Tolerance);
      }
    }
    EXPECT_EQ(ICClose(Decompressor), ICERR_OK);
  }
}

TEST(Decompressor, RepeatedFramesGiveIdenticalPixels) {
  // Codecs run single-threaded and bit-exact: the same frame always gives the same rows.
  BITMAPINFOHEADER Input = MakeVideoFormat(FOURCC_MJPG, Width, Height);
  std::vector<uint8_t> Frame = MakeFrame(Input);
  BITMAPINFOHEADER Output = MakeVideoFormat(BI_RGB, Width, Height, 24);
  HIC Decompressor = ICLocate(ICTYPE_VIDEO, FOURCC_MJPG, &Input, &Output, ICMODE_DECOMPRESS);
  ASSERT_NE(Decompressor, nullptr);
  std::vector<uint8_t> First(Output.biSizeImage), Again(Output.biSizeImage);
  ASSERT_EQ(ICDecompress(Decompressor, 0, &Input, Frame.data(), &Output, First.data()), DWORD(ICERR_OK));
  for (int Round = 0; Round < 3; ++Round) {
    ASSERT_EQ(ICDecompress(Decompressor, 0, &Input, Frame.data(), &Output, Again.data()), DWORD(ICERR_OK));
    EXPECT_EQ(First, Again);
  }
  ICClose(Decompressor);
}

#ifdef KORCAM_ALLOCATION_HOOKS
std::atomic<bool> CountingAllocations{false};
std::atomic<size_t> FrameSizedAllocations{0};
size_t FrameSizedThreshold = 0;
void CountAllocation(const volatile void*, size_t Size) {
  if (CountingAllocations && Size >= FrameSizedThreshold) ++FrameSizedAllocations;
}
void IgnoreFree(const volatile void*) {}
#endif

TEST(Decompressor, SteadyStateAllocatesNoFrameSizedMemory) {
#ifndef KORCAM_ALLOCATION_HOOKS
  GTEST_SKIP() << "allocation hooks come with the sanitizer runtimes";
#else
  static const bool Installed = __sanitizer_install_malloc_and_free_hooks(CountAllocation, IgnoreFree) != 0;
  ASSERT_TRUE(Installed);
  constexpr int Big = 320, Tall = 240;
  FrameSizedThreshold = size_t(Big) * Tall / 2;  // half a grey frame: any picture plane of this size
  for (const DWORD Code : {FOURCC_MJPG, FOURCC_YUY2, FOURCC_Y41P, FOURCC_Y8}) {
    SCOPED_TRACE(FourCCToString(Code));
    TSyntheticCameraSettings Settings;
    Settings.Compression = Code;
    Settings.Width = Big;
    Settings.Height = Tall;
    TSyntheticCamera Camera(Settings);
    std::vector<uint8_t> Frame(Camera.Format().biSizeImage);
    ASSERT_EQ(Camera.Capture(Frame.data(), Frame.size()).Outcome, TCaptureOutcome::Frame);
    BITMAPINFOHEADER Input = Camera.Format();
    HIC Decompressor = ICLocate(ICTYPE_VIDEO, 0, &Input, nullptr, ICMODE_DECOMPRESS);
    ASSERT_NE(Decompressor, nullptr);
    BITMAPINFOHEADER Output{};
    ASSERT_EQ(ICDecompressGetFormat(Decompressor, &Input, &Output), ICERR_OK);
    std::vector<uint8_t> Bits(Output.biSizeImage);
    // The first frames build the decoder, its picture pool and the conversion tables.
    for (int Round = 0; Round < 3; ++Round)
      ASSERT_EQ(ICDecompress(Decompressor, 0, &Input, Frame.data(), &Output, Bits.data()), DWORD(ICERR_OK));
    FrameSizedAllocations = 0;
    CountingAllocations = true;
    for (int Round = 0; Round < 20; ++Round) {
      ICDecompressBegin(Decompressor, &Input, &Output);
      ICDecompress(Decompressor, 0, &Input, Frame.data(), &Output, Bits.data());
      ICDecompressEnd(Decompressor);
    }
    CountingAllocations = false;
    EXPECT_EQ(FrameSizedAllocations, 0u);
    ICClose(Decompressor);
  }
#endif
}

TEST(Decompressor, LocateFindsNoneForUncompressedUnknownOrBadInput) {
  struct TLocateCase {
    const char* Name;
    BITMAPINFOHEADER Input;
    DWORD Handler;
    WORD Mode;
  };
  BITMAPINFOHEADER OddYuy2 = MakeVideoFormat(FOURCC_YUY2, 64, 48);
  OddYuy2.biWidth = 63;
  BITMAPINFOHEADER Bitfields = MakeVideoFormat(BI_RGB, 64, 48, 16);
  Bitfields.biCompression = BI_BITFIELDS;
  const TLocateCase LocateCases[] = {
      {"uncompressed rows need no decompressor", MakeVideoFormat(BI_RGB, 64, 48, 24), 0, ICMODE_DECOMPRESS},
      {"bit fields", Bitfields, 0, ICMODE_DECOMPRESS},
      {"an unknown code", MakeVideoFormat(mmioFOURCC('H', '2', '6', '4'), 64, 48, 24), 0, ICMODE_DECOMPRESS},
      {"YUY2 of an odd width", OddYuy2, 0, ICMODE_DECOMPRESS},
      {"a handler for another code", MakeVideoFormat(FOURCC_YUY2, 64, 48), FOURCC_MJPG, ICMODE_DECOMPRESS},
      {"compress mode", MakeVideoFormat(FOURCC_YUY2, 64, 48), 0, ICMODE_COMPRESS},
  };
  for (const TLocateCase& Case : LocateCases) {
    SCOPED_TRACE(Case.Name);
    BITMAPINFOHEADER Input = Case.Input;
    EXPECT_EQ(ICLocate(ICTYPE_VIDEO, Case.Handler, &Input, nullptr, Case.Mode), nullptr);
  }
  BITMAPINFOHEADER Yuy2 = MakeVideoFormat(FOURCC_YUY2, 64, 48);
  BITMAPINFOHEADER Smaller = MakeVideoFormat(BI_RGB, 32, 24, 24);
  EXPECT_EQ(ICLocate(ICTYPE_VIDEO, 0, &Yuy2, &Smaller, ICMODE_DECOMPRESS), nullptr)
      << "a decompressor does not scale";
  EXPECT_EQ(ICLocate(ICTYPE_VIDEO, 0, nullptr, nullptr, ICMODE_DECOMPRESS), nullptr);
}

TEST(Decompressor, RefusesMismatchedFormatsBrokenFramesAndClosedHandles) {
  BITMAPINFOHEADER Input = MakeVideoFormat(FOURCC_MJPG, Width, Height);
  BITMAPINFOHEADER Output = MakeVideoFormat(BI_RGB, Width, Height, 24);
  std::vector<uint8_t> Bits(Output.biSizeImage);
  HIC Decompressor = ICLocate(ICTYPE_VIDEO, 0, &Input, nullptr, ICMODE_DECOMPRESS);
  ASSERT_NE(Decompressor, nullptr);

  BITMAPINFOHEADER Wider = MakeVideoFormat(BI_RGB, Width * 2, Height, 24);
  std::vector<uint8_t> WideBits(Wider.biSizeImage);
  EXPECT_EQ(ICDecompressBegin(Decompressor, &Input, &Wider), ICERR_BADFORMAT);
  EXPECT_EQ(ICDecompressQuery(Decompressor, &Input, &Wider), ICERR_BADFORMAT);
  EXPECT_EQ(ICDecompressQuery(Decompressor, &Input, &Output), ICERR_OK);
  std::vector<uint8_t> Frame = MakeFrame(Input);
  EXPECT_EQ(ICDecompress(Decompressor, 0, &Input, Frame.data(), &Wider, WideBits.data()),
            DWORD(ICERR_BADFORMAT));

  // A frame that is no JPEG, and one cut off after its headers: an error, never a crash.
  std::vector<uint8_t> Garbage(Input.biSizeImage, 0x5A);
  EXPECT_EQ(ICDecompress(Decompressor, 0, &Input, Garbage.data(), &Output, Bits.data()), DWORD(ICERR_ERROR));
  std::vector<uint8_t> Cut(Input.biSizeImage, 0);
  std::memcpy(Cut.data(), Frame.data(), 200);
  const DWORD CutResult = ICDecompress(Decompressor, 0, &Input, Cut.data(), &Output, Bits.data());
  EXPECT_TRUE(CutResult == DWORD(ICERR_OK) || CutResult == DWORD(ICERR_ERROR));
  // The decompressor recovers: the next good frame decodes.
  EXPECT_EQ(ICDecompress(Decompressor, 0, &Input, Frame.data(), &Output, Bits.data()), DWORD(ICERR_OK));

  ICINFO Info{};
  EXPECT_EQ(ICGetInfo(Decompressor, &Info, sizeof Info), LRESULT(sizeof Info));
  EXPECT_EQ(Info.fccType, ICTYPE_VIDEO);
  EXPECT_EQ(Info.fccHandler, FOURCC_MJPG);
  EXPECT_EQ(Info.szName[0], u'M');

  EXPECT_EQ(ICSendMessage(Decompressor, ICM_USER + 99, 0, 0), ICERR_UNSUPPORTED);
  EXPECT_EQ(ICClose(Decompressor), ICERR_OK);
  EXPECT_EQ(ICClose(Decompressor), ICERR_BADHANDLE);
  EXPECT_EQ(ICDecompress(Decompressor, 0, &Input, Frame.data(), &Output, Bits.data()), DWORD(ICERR_BADHANDLE));
  EXPECT_EQ(ICDecompressBegin(Decompressor, &Input, &Output), ICERR_BADHANDLE);
}

// A driver's frame buffer ends where its last row does. Frames of every packed layout, at the
// narrow widths where libswscale's block-wise readers go furthest past a row, end right before a
// page no one may read: decompressing them reads nothing beyond the frame.
TEST(Decompressor, ReadsNothingPastTheEndOfTheFrame) {
  const long Page = sysconf(_SC_PAGESIZE);
  auto* Pages = static_cast<uint8_t*>(mmap(nullptr, size_t(2 * Page), PROT_READ | PROT_WRITE,
                                           MAP_PRIVATE | MAP_ANONYMOUS, -1, 0));
  ASSERT_NE(Pages, MAP_FAILED);
  ASSERT_EQ(mprotect(Pages + Page, size_t(Page), PROT_NONE), 0);
  for (const DWORD Code : {FOURCC_YUY2, FOURCC_UYVY, FOURCC_Y8}) {
    for (const LONG Width : {2, 6, 14}) {
      for (const int BitCount : {24, 32}) {
        SCOPED_TRACE(FourCCToString(Code) + " " + std::to_string(Width) + " pixels, " +
                     std::to_string(BitCount) + " bits");
        BITMAPINFOHEADER Input = MakeVideoFormat(Code, Width, 60, VideoBitCount(Code));
        uint8_t* Frame = Pages + Page - Input.biSizeImage;
        std::memset(Frame, 0x80, Input.biSizeImage);
        BITMAPINFOHEADER Output = MakeVideoFormat(BI_RGB, Width, 60, BitCount);
        for (const LONG Height : {60L, -60L}) {
          Output.biHeight = Height;
          std::vector<uint8_t> Bits(Output.biSizeImage);
          HIC Decompressor = ICLocate(ICTYPE_VIDEO, 0, &Input, &Output, ICMODE_DECOMPRESS);
          ASSERT_NE(Decompressor, nullptr);
          EXPECT_EQ(ICDecompress(Decompressor, 0, &Input, Frame, &Output, Bits.data()), DWORD(ICERR_OK));
          ICClose(Decompressor);
        }
      }
    }
  }
  munmap(Pages, size_t(2 * Page));
}

TEST(VideoFormat, ImageSizesFollowEachLayout) {
  struct TSizeCase {
    const char* Name;
    DWORD Compression;
    LONG Width, Height;
    int BitCount;
    DWORD Expected;
  };
  constexpr TSizeCase SizeCases[] = {
      {"24-bit rows pad to 4 bytes", BI_RGB, 3, 2, 24, 12 * 2},
      {"32-bit rows", BI_RGB, 3, 2, 32, 12 * 2},
      {"16-bit RGB is not taken", BI_RGB, 4, 2, 16, 0},
      {"YUY2: two bytes a pixel", FOURCC_YUY2, 6, 2, 16, 12 * 2},
      {"YUY2 needs an even width", FOURCC_YUY2, 5, 2, 16, 0},
      {"UYVY pads like YUY2", FOURCC_UYVY, 2, 3, 16, 4 * 3},
      {"Y41P: 12 bytes per 8 pixels", FOURCC_Y41P, 16, 2, 12, 24 * 2},
      {"Y41P needs a multiple of 8", FOURCC_Y41P, 12, 2, 12, 0},
      {"grey rows pad to 4 bytes", FOURCC_Y800, 5, 2, 8, 8 * 2},
      {"JPEG: room for the largest frame", FOURCC_MJPG, 16, 16, 24, 16 * 16 * 4 + 4096},
      {"too wide", BI_RGB, MaxVideoDimension + 1, 2, 24, 0},
      {"no rows", BI_RGB, 4, 0, 24, 0},
  };
  for (const TSizeCase& Case : SizeCases) {
    SCOPED_TRACE(Case.Name);
    EXPECT_EQ(VideoImageSize(Case.Compression, Case.Width, Case.Height, Case.BitCount), Case.Expected);
  }
}

}  // namespace
