#pragma once
// A fake kernel for the V4L2 driver: cameras with scripted capabilities, formats and sizes that
// answer the ioctls the driver uses, hand out buffers, and deliver the frames a test gives them.
// Unplugging makes every call fail with ENODEV, as the kernel does for a removed camera.

#include <linux/videodev2.h>

#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "platform/capture/v4l2device.h"

namespace CaptureTest {

struct TFakeCamera {
  std::string Card = "Fake Camera";
  std::string Driver = "fakecam";
  uint32_t Version = (6u << 16) | (1u << 8) | 12u;
  uint32_t DeviceCaps = V4L2_CAP_VIDEO_CAPTURE | V4L2_CAP_STREAMING;
  std::vector<uint32_t> Formats = {V4L2_PIX_FMT_YUYV, V4L2_PIX_FMT_MJPEG};
  std::vector<std::pair<uint32_t, uint32_t>> Sizes = {{160, 120}, {320, 240}, {640, 480}};
  uint32_t LinePadding = 0;  // bytes after every YUYV row
  uint32_t PixelFormat = V4L2_PIX_FMT_YUYV;
  uint32_t Width = 320, Height = 240;
  int OpenError = 0;
  int SetFormatError = 0;
  int StreamOnError = 0;
  int DequeueError = 0;
  bool Unplugged = false;

  // What happened.
  bool Streaming = false;
  int Maps = 0, Unmaps = 0, Wakes = 0, Waits = 0;
  std::vector<std::vector<uint8_t>> Buffers;
  std::deque<uint32_t> Queued;
  std::deque<std::pair<uint32_t, uint32_t>> Filled;  // buffer index, bytes used
  // Called at the start of every WaitForFrame with its timeout (e.g. to deliver a frame).
  std::function<void(int Timeout)> OnWait;
  // Results WaitForFrame gives before looking at the filled buffers.
  std::deque<int> WaitScript;

  uint32_t BytesPerLine() const { return PixelFormat == V4L2_PIX_FMT_YUYV ? Width * 2 + LinePadding : 0; }
  uint32_t SizeImage() const {
    return PixelFormat == V4L2_PIX_FMT_YUYV ? BytesPerLine() * Height : Width * Height * 2 + 4096;
  }
  // Fills the oldest queued buffer with Bytes; false when the driver queued none.
  bool Deliver(const std::vector<uint8_t>& Bytes);
};

class TFakeV4L2System : public TV4L2System {
 public:
  TFakeCamera& Add(const std::string& Path) {
    FNodes.emplace_back(Path, std::make_shared<TFakeCamera>());
    return *FNodes.back().second;
  }
  std::vector<std::string> Nodes() override;
  std::unique_ptr<TV4L2Device> Open(const std::string& Path, int& Error) override;

 private:
  std::vector<std::pair<std::string, std::shared_ptr<TFakeCamera>>> FNodes;
};

// The still scene as a YUYV frame of the camera's current size and row padding.
std::vector<uint8_t> YuyvStillFrame(const TFakeCamera& Camera);
// A JPEG of the still scene (or of a moving frame) at the camera's current size.
std::vector<uint8_t> JpegFrame(const TFakeCamera& Camera, bool Moving = false);

}  // namespace CaptureTest
