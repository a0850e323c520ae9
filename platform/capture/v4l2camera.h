#pragma once
// V4L2 cameras: capture nodes among /dev/video* that stream through memory-mapped buffers and
// deliver YUYV or MJPEG. Whatever the camera sends, the program gets 24-bit bottom-up rows: the
// driver converts inside (FFmpeg's JPEG decoder and libswscale), so the format it reports is
// always BI_RGB 24 at the size the camera settled on, and a frame the program rewrites in place
// has the layout it expects.
//
// The stream is started by the first capture and kept running between captures (a camera takes
// a while to start); every capture takes the newest frame waiting. Waits are bounded: a camera
// that stops delivering gives "no frame" after a second, an unplugged one answers "No such
// device" at once, and neither ever hangs the caller.

#include <memory>
#include <string>
#include <vector>

#include "platform/capture/capturedriver.h"
#include "platform/capture/frameconverter.h"
#include "platform/capture/framedecoder.h"
#include "platform/capture/v4l2device.h"

struct TV4L2CameraInfo {
  std::string Path;
  std::string Card;    // the camera's name
  std::string Driver;  // the kernel driver's name
  uint32_t Version = 0;
};

// The nodes this driver can use, in node order. Nodes that are no capture device (metadata
// nodes, output devices) or offer neither YUYV nor MJPEG are left out.
std::vector<TV4L2CameraInfo> FindV4L2Cameras(TV4L2System& System);

// "uvcvideo 6.1.12": the driver's name and version, as the driver list shows it.
std::string V4L2VersionText(const TV4L2CameraInfo& Info);

class TV4L2Camera : public TCaptureDriver {
 public:
  // Opens and prepares the camera at Path, in the format it is set to when that can be
  // converted, otherwise 640 x 480. Null with Error set when it cannot be used.
  static std::unique_ptr<TV4L2Camera> Connect(TV4L2System& System, const std::string& Path,
                                              std::string& Error);
  ~TV4L2Camera() override;

  const BITMAPINFOHEADER& Format() const override { return FFormat; }
  // Only 24-bit uncompressed requests are taken; the camera chooses the nearest size it has.
  bool SetFormat(const BITMAPINFOHEADER& Wanted) override;
  bool HasDialog(TCaptureDialog Dialog) const override;
  TCaptureResult Capture(uint8_t* Buffer, size_t Size) override;
  void Interrupt() override;
  void Pause() override { StopStream(); }
  std::string LastError() const override { return FLastError; }

  // The camera's own pixel format (V4L2_PIX_FMT_...), for tests.
  uint32_t PixelFormat() const { return FPixelFormat; }

  static constexpr int FirstFrameTimeout = 3000;  // ms after starting the stream
  static constexpr int FrameTimeout = 1000;       // ms for every later frame
  static constexpr unsigned BufferCount = 4;

 private:
  TV4L2Camera(std::unique_ptr<TV4L2Device> Device, std::vector<uint32_t> Offered);

  bool Offers(uint32_t PixelFormat) const;
  bool Adopt(const struct v4l2_format& Format);
  bool ReadCurrentFormat();
  bool Negotiate(uint32_t Width, uint32_t Height);
  bool StartStream();
  void StopStream();
  bool Convert(const uint8_t* Data, size_t Used, uint8_t* Target);
  // Records a failed ioctl; true when it means the device is gone.
  bool Failed(const char* What, int Error);

  struct TMapping {
    void* Address = nullptr;
    size_t Length = 0;
  };

  std::unique_ptr<TV4L2Device> FDevice;
  std::vector<uint32_t> FOffered;
  uint32_t FPixelFormat = 0;
  uint32_t FWidth = 0, FHeight = 0, FBytesPerLine = 0;
  BITMAPINFOHEADER FFormat{};
  std::vector<TMapping> FMappings;
  bool FStreaming = false;
  bool FFirstFrame = true;
  bool FGone = false;
  TFrameDecoder FDecoder;
  TFrameConverter FConverter;
  struct AVFrame* FView = nullptr;  // a YUYV buffer described as a picture, kept between frames
  std::string FLastError;
};
