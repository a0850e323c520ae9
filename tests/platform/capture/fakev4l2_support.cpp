#include "tests/platform/capture/fakev4l2.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "platform/capture/syntheticcamera.h"

namespace CaptureTest {

bool TFakeCamera::Deliver(const std::vector<uint8_t>& Bytes) {
  if (Queued.empty()) return false;
  const uint32_t Index = Queued.front();
  Queued.pop_front();
  std::vector<uint8_t>& Buffer = Buffers[Index];
  const size_t Used = std::min(Bytes.size(), Buffer.size());
  std::memcpy(Buffer.data(), Bytes.data(), Used);
  Filled.emplace_back(Index, uint32_t(Used));
  return true;
}

namespace {

class TFakeDevice : public TV4L2Device {
 public:
  explicit TFakeDevice(std::shared_ptr<TFakeCamera> Camera) : FCamera(std::move(Camera)) {}

  int Ioctl(unsigned long Request, void* Argument) override {
    TFakeCamera& Camera = *FCamera;
    if (Camera.Unplugged) return ENODEV;
    switch (Request) {
      case VIDIOC_QUERYCAP: {
        auto* Capability = static_cast<v4l2_capability*>(Argument);
        *Capability = {};
        std::strncpy(reinterpret_cast<char*>(Capability->card), Camera.Card.c_str(), sizeof Capability->card - 1);
        std::strncpy(reinterpret_cast<char*>(Capability->driver), Camera.Driver.c_str(), sizeof Capability->driver - 1);
        Capability->version = Camera.Version;
        Capability->capabilities = Camera.DeviceCaps | V4L2_CAP_DEVICE_CAPS;
        Capability->device_caps = Camera.DeviceCaps;
        return 0;
      }
      case VIDIOC_ENUM_FMT: {
        auto* Description = static_cast<v4l2_fmtdesc*>(Argument);
        if (Description->type != V4L2_BUF_TYPE_VIDEO_CAPTURE || Description->index >= Camera.Formats.size())
          return EINVAL;
        Description->pixelformat = Camera.Formats[Description->index];
        return 0;
      }
      case VIDIOC_S_FMT: {
        if (Camera.SetFormatError) return Camera.SetFormatError;
        if (Camera.Streaming) return EBUSY;
        auto* Format = static_cast<v4l2_format*>(Argument);
        v4l2_pix_format& Pixels = Format->fmt.pix;
        // Like a real driver: an unknown format becomes the first one, the size the nearest.
        bool Known = false;
        for (uint32_t Offered : Camera.Formats) Known |= Offered == Pixels.pixelformat;
        Camera.PixelFormat = Known ? Pixels.pixelformat : Camera.Formats[0];
        long Best = -1;
        for (const auto& [Width, Height] : Camera.Sizes) {
          const long Distance = std::labs(long(Width) - long(Pixels.width)) + std::labs(long(Height) - long(Pixels.height));
          if (Best < 0 || Distance < Best) {
            Best = Distance;
            Camera.Width = Width;
            Camera.Height = Height;
          }
        }
        [[fallthrough]];
      }
      case VIDIOC_G_FMT: {
        auto* Format = static_cast<v4l2_format*>(Argument);
        if (Format->type != V4L2_BUF_TYPE_VIDEO_CAPTURE) return EINVAL;
        v4l2_pix_format& Pixels = Format->fmt.pix;
        Pixels.width = Camera.Width;
        Pixels.height = Camera.Height;
        Pixels.pixelformat = Camera.PixelFormat;
        Pixels.field = V4L2_FIELD_NONE;
        Pixels.bytesperline = Camera.BytesPerLine();
        Pixels.sizeimage = Camera.SizeImage();
        return 0;
      }
      case VIDIOC_REQBUFS: {
        auto* Request = static_cast<v4l2_requestbuffers*>(Argument);
        if (Request->count == 0) {
          Camera.Buffers.clear();
          Camera.Queued.clear();
          Camera.Filled.clear();
          return 0;
        }
        if (Camera.Streaming || !Camera.Buffers.empty()) return EBUSY;
        Request->count = std::min(Request->count, 4u);
        Camera.Buffers.assign(Request->count, std::vector<uint8_t>(Camera.SizeImage()));
        return 0;
      }
      case VIDIOC_QUERYBUF:
      case VIDIOC_QBUF: {
        auto* Buffer = static_cast<v4l2_buffer*>(Argument);
        if (Buffer->index >= Camera.Buffers.size()) return EINVAL;
        Buffer->length = uint32_t(Camera.Buffers[Buffer->index].size());
        Buffer->m.offset = Buffer->index << 16;
        if (Request == VIDIOC_QBUF) Camera.Queued.push_back(Buffer->index);
        return 0;
      }
      case VIDIOC_DQBUF: {
        if (Camera.DequeueError) return Camera.DequeueError;
        if (Camera.Filled.empty()) return EAGAIN;
        auto* Buffer = static_cast<v4l2_buffer*>(Argument);
        Buffer->index = Camera.Filled.front().first;
        Buffer->bytesused = Camera.Filled.front().second;
        Buffer->flags = 0;
        Camera.Filled.pop_front();
        return 0;
      }
      case VIDIOC_STREAMON:
        if (Camera.StreamOnError) return Camera.StreamOnError;
        Camera.Streaming = true;
        return 0;
      case VIDIOC_STREAMOFF:
        Camera.Streaming = false;
        Camera.Queued.clear();
        Camera.Filled.clear();
        return 0;
      default: return ENOTTY;
    }
  }

  void* Map(size_t Length, int64_t Offset) override {
    const size_t Index = size_t(Offset >> 16);
    if (FCamera->Unplugged || Index >= FCamera->Buffers.size() || Length > FCamera->Buffers[Index].size())
      return nullptr;
    ++FCamera->Maps;
    return FCamera->Buffers[Index].data();
  }

  void Unmap(void*, size_t) override { ++FCamera->Unmaps; }

  int WaitForFrame(int Timeout) override {
    TFakeCamera& Camera = *FCamera;
    ++Camera.Waits;
    if (Camera.OnWait) Camera.OnWait(Timeout);
    if (Camera.Unplugged) return -ENODEV;
    if (!Camera.WaitScript.empty()) {
      const int Result = Camera.WaitScript.front();
      Camera.WaitScript.pop_front();
      return Result;
    }
    return Camera.Filled.empty() ? 0 : 1;
  }

  void Wake() override { ++FCamera->Wakes; }

 private:
  std::shared_ptr<TFakeCamera> FCamera;
};

}  // namespace

std::vector<std::string> TFakeV4L2System::Nodes() {
  std::vector<std::string> Paths;
  for (const auto& [Path, Camera] : FNodes) Paths.push_back(Path);
  return Paths;
}

std::unique_ptr<TV4L2Device> TFakeV4L2System::Open(const std::string& Path, int& Error) {
  for (const auto& [NodePath, Camera] : FNodes) {
    if (NodePath != Path) continue;
    if (Camera->Unplugged || Camera->OpenError) {
      Error = Camera->Unplugged ? ENODEV : Camera->OpenError;
      return nullptr;
    }
    Error = 0;
    return std::make_unique<TFakeDevice>(Camera);
  }
  Error = ENOENT;
  return nullptr;
}

std::vector<uint8_t> YuyvStillFrame(const TFakeCamera& Camera) {
  const BITMAPINFOHEADER Format = MakeVideoFormat(FOURCC_YUY2, LONG(Camera.Width), LONG(Camera.Height));
  std::vector<uint8_t> Bgr;
  RenderSyntheticScene(0, false, int(Camera.Width), int(Camera.Height), Bgr);
  std::vector<uint8_t> Packed(Format.biSizeImage);
  PackSyntheticFrame(Bgr.data(), Format, Packed.data());
  std::vector<uint8_t> Frame(Camera.SizeImage(), 0xAB);  // padding bytes must not show
  for (uint32_t Row = 0; Row < Camera.Height; ++Row)
    std::memcpy(Frame.data() + size_t(Row) * Camera.BytesPerLine(), Packed.data() + size_t(Row) * Camera.Width * 2,
                Camera.Width * 2);
  return Frame;
}

std::vector<uint8_t> JpegFrame(const TFakeCamera& Camera, bool Moving) {
  TSyntheticCameraSettings Settings;
  Settings.Compression = FOURCC_MJPG;
  Settings.Width = LONG(Camera.Width);
  Settings.Height = LONG(Camera.Height);
  if (Moving) Settings.MotionFirst = 0;
  TSyntheticCamera Synthetic(Settings);
  std::vector<uint8_t> Frame(Synthetic.Format().biSizeImage);
  const TCaptureResult Result = Synthetic.Capture(Frame.data(), Frame.size());
  Frame.resize(Result.BytesUsed);
  return Frame;
}

}  // namespace CaptureTest
