#pragma once
// The synthetic camera: always present (at the index after the real cameras), deterministic, at
// any size, in every format the program meets: BI_RGB 24 and 32, YUY2, UYVY, Y41P, grey (Y8 and
// Y800) and MJPG. The compressed ones exercise the program's decompression path.
//
// Its scene: a still test card (colour bars over a grey ramp) on every frame, except for the
// frames a script marks as moving, which show a shifting texture in which nearly every byte
// changes from one frame to the next, so motion detection sees motion there and nowhere else.
// Frames are counted from 0 at the connect; every delivered frame (grabbed or streamed) counts.
//
// The settings are read when the camera is connected. Tests change them through
// SyntheticCameraSettings(); end-to-end runs through the environment:
//   KORCAM_SYNTHETIC_CAMERA=0            the camera is not listed
//   KORCAM_SYNTHETIC_MOTION=F[,N]        frames F .. F+N-1 move (from F on when N is missing)
//   KORCAM_SYNTHETIC_FORMAT=YUY2         the camera delivers that code and refuses any other
//                                        (RGB24, RGB32, YUY2, UYVY, Y41P, Y8, Y800, GREY, MJPG)
//   KORCAM_SYNTHETIC_SIZE=WxH            every format is delivered at that size

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/capture/capturedriver.h"
#include "platform/capture/mjpegencoder.h"

struct TSyntheticCameraSettings {
  bool Present = true;
  // The format after connecting.
  DWORD Compression = BI_RGB;
  int BitCount = 24;
  LONG Width = 320;
  LONG Height = 240;
  // Refusals of format requests: every request, or those of the listed codes.
  bool RefuseAll = false;
  std::vector<DWORD> RefusedCodes;
  // When not 0, every format is delivered at this size, whatever was asked.
  LONG ForcedWidth = 0;
  LONG ForcedHeight = 0;
  // Frames MotionFirst .. MotionFirst + MotionCount - 1 move; MotionCount 0: every frame from
  // MotionFirst on. MotionFirst -1: no motion.
  int64_t MotionFirst = -1;
  int64_t MotionCount = 0;
  // The camera is unplugged before delivering this frame (-1: never).
  int64_t GoneAtFrame = -1;
  bool FormatDialog = true;
  bool SourceDialog = true;
  bool DisplayDialog = false;
};

// The settings the next connect reads (defaults plus the environment at first use).
TSyntheticCameraSettings& SyntheticCameraSettings();
// Back to the defaults plus the environment.
void ResetSyntheticCameraSettings();

constexpr const char* SyntheticCameraName = "Synthetic Camera";
constexpr const char* SyntheticCameraVersion = "1.0";

// The scene of one frame as top-down rows of B, G, R bytes, Width * 3 bytes per row.
void RenderSyntheticScene(int64_t FrameNumber, bool Moving, int Width, int Height,
                          std::vector<uint8_t>& Bgr);

// Packs top-down B, G, R rows into a frame of an uncompressed or packed format (not MJPG) at
// Frame, which holds the format's image size. Studio-range BT.601 for the YUV codes, full-range
// luma for grey.
void PackSyntheticFrame(const uint8_t* Bgr, const BITMAPINFOHEADER& Format, uint8_t* Frame);

class TSyntheticCamera : public TCaptureDriver {
 public:
  explicit TSyntheticCamera(const TSyntheticCameraSettings& Settings);
  ~TSyntheticCamera() override;
  TSyntheticCamera(const TSyntheticCamera&) = delete;
  TSyntheticCamera& operator=(const TSyntheticCamera&) = delete;

  const BITMAPINFOHEADER& Format() const override { return FFormat; }
  bool SetFormat(const BITMAPINFOHEADER& Wanted) override;
  bool HasDialog(TCaptureDialog Dialog) const override;
  TCaptureResult Capture(uint8_t* Buffer, size_t Size) override;
  std::string LastError() const override { return FLastError; }

  // The number the next delivered frame gets.
  int64_t FrameNumber() const { return FFrameNumber; }
  bool Moving(int64_t Frame) const;

 private:
  bool Accepts(DWORD Compression, int BitCount) const;
  bool Adopt(DWORD Compression, LONG Width, LONG Height, int BitCount);

  TSyntheticCameraSettings FSettings;
  BITMAPINFOHEADER FFormat{};
  int64_t FFrameNumber = 0;
  std::vector<uint8_t> FStill;   // the still scene at the current size, rendered once
  std::vector<uint8_t> FScene;   // a moving frame
  std::unique_ptr<TMjpegEncoder> FEncoder;
  AVFrame* FView = nullptr;  // the scene as the encoder's input, kept between frames
  std::string FLastError;
};
