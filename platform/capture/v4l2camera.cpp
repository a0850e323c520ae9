#include "platform/capture/v4l2camera.h"

#include <linux/videodev2.h>

#include <cerrno>
#include <cstring>

#include "platform/capture/ffmpeg.h"
#include "platform/capture/trace.h"

namespace {

// The formats this driver converts, best first: YUYV is exact and cheap to convert; JPEG is
// what a camera sends when the bus is too slow for raw frames.
constexpr uint32_t PreferredFormats[] = {V4L2_PIX_FMT_YUYV, V4L2_PIX_FMT_MJPEG, V4L2_PIX_FMT_JPEG};

bool IsConvertible(uint32_t PixelFormat) {
  for (uint32_t Format : PreferredFormats)
    if (Format == PixelFormat) return true;
  return false;
}

std::string FixedText(const uint8_t* Text, size_t Size) {
  return std::string(reinterpret_cast<const char*>(Text), strnlen(reinterpret_cast<const char*>(Text), Size));
}

// What the node says it can do; the device capabilities when the node reports its own.
uint32_t NodeCapabilities(const v4l2_capability& Capability) {
  return (Capability.capabilities & V4L2_CAP_DEVICE_CAPS) ? Capability.device_caps
                                                          : Capability.capabilities;
}

bool IsStreamingCapture(const v4l2_capability& Capability) {
  const uint32_t Capabilities = NodeCapabilities(Capability);
  return (Capabilities & V4L2_CAP_VIDEO_CAPTURE) && (Capabilities & V4L2_CAP_STREAMING);
}

std::vector<uint32_t> OfferedFormats(TV4L2Device& Device) {
  std::vector<uint32_t> Formats;
  for (uint32_t Index = 0; Index < 64; ++Index) {
    v4l2_fmtdesc Description{};
    Description.index = Index;
    Description.type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
    if (Device.Ioctl(VIDIOC_ENUM_FMT, &Description) != 0) break;
    Formats.push_back(Description.pixelformat);
  }
  return Formats;
}

bool AnyConvertible(const std::vector<uint32_t>& Formats) {
  for (uint32_t Format : Formats)
    if (IsConvertible(Format)) return true;
  return false;
}

}  // namespace

std::vector<TV4L2CameraInfo> FindV4L2Cameras(TV4L2System& System) {
  std::vector<TV4L2CameraInfo> Cameras;
  for (const std::string& Path : System.Nodes()) {
    int Error = 0;
    std::unique_ptr<TV4L2Device> Device = System.Open(Path, Error);
    if (!Device) {
      KORCAM_CAPTURE_TRACE(V4L2, Path + ": " + std::strerror(Error));
      continue;
    }
    v4l2_capability Capability{};
    if (Device->Ioctl(VIDIOC_QUERYCAP, &Capability) != 0 || !IsStreamingCapture(Capability)) continue;
    if (!AnyConvertible(OfferedFormats(*Device))) {
      KORCAM_CAPTURE_TRACE(V4L2, Path + ": neither YUYV nor MJPEG offered");
      continue;
    }
    TV4L2CameraInfo Info;
    Info.Path = Path;
    Info.Card = FixedText(Capability.card, sizeof Capability.card);
    Info.Driver = FixedText(Capability.driver, sizeof Capability.driver);
    Info.Version = Capability.version;
    if (Info.Card.empty()) Info.Card = Path;
    Cameras.push_back(std::move(Info));
  }
  return Cameras;
}

std::string V4L2VersionText(const TV4L2CameraInfo& Info) {
  return Info.Driver + " " + std::to_string((Info.Version >> 16) & 0xFF) + "." +
         std::to_string((Info.Version >> 8) & 0xFF) + "." + std::to_string(Info.Version & 0xFF);
}

std::unique_ptr<TV4L2Camera> TV4L2Camera::Connect(TV4L2System& System, const std::string& Path,
                                                  std::string& Error) {
  int OpenError = 0;
  std::unique_ptr<TV4L2Device> Device = System.Open(Path, OpenError);
  if (!Device) {
    Error = std::strerror(OpenError);
    return nullptr;
  }
  v4l2_capability Capability{};
  if (const int Result = Device->Ioctl(VIDIOC_QUERYCAP, &Capability); Result != 0) {
    Error = std::strerror(Result);
    return nullptr;
  }
  if (!IsStreamingCapture(Capability)) {
    Error = "Not a streaming video capture device";
    return nullptr;
  }
  std::vector<uint32_t> Offered = OfferedFormats(*Device);
  if (!AnyConvertible(Offered)) {
    Error = "The camera offers neither YUYV nor MJPEG";
    return nullptr;
  }
  std::unique_ptr<TV4L2Camera> Camera(new TV4L2Camera(std::move(Device), std::move(Offered)));
  if (!Camera->ReadCurrentFormat() && !Camera->Negotiate(640, 480)) {
    Error = Camera->FLastError.empty() ? "No usable format" : Camera->FLastError;
    return nullptr;
  }
  return Camera;
}

TV4L2Camera::TV4L2Camera(std::unique_ptr<TV4L2Device> Device, std::vector<uint32_t> Offered)
    : FDevice(std::move(Device)), FOffered(std::move(Offered)) {}

TV4L2Camera::~TV4L2Camera() {
  StopStream();
  av_frame_free(&FView);
}

bool TV4L2Camera::Offers(uint32_t PixelFormat) const {
  for (uint32_t Format : FOffered)
    if (Format == PixelFormat) return true;
  return false;
}

bool TV4L2Camera::Failed(const char* What, int Error) {
  FLastError = std::string(What) + ": " + std::strerror(Error);
  KORCAM_CAPTURE_TRACE(V4L2, FLastError);
  if (Error == ENODEV || Error == ENXIO) {
    FGone = true;
    FLastError = std::strerror(ENODEV);
  }
  return FGone;
}

bool TV4L2Camera::Adopt(const v4l2_format& Format) {
  const v4l2_pix_format& Pixels = Format.fmt.pix;
  if (!IsConvertible(Pixels.pixelformat) || Pixels.width == 0 || Pixels.height == 0 ||
      Pixels.width > uint32_t(MaxVideoDimension) || Pixels.height > uint32_t(MaxVideoDimension))
    return false;
  if (Pixels.pixelformat == V4L2_PIX_FMT_YUYV && Pixels.width % 2 != 0) return false;
  FPixelFormat = Pixels.pixelformat;
  FWidth = Pixels.width;
  FHeight = Pixels.height;
  FBytesPerLine = Pixels.bytesperline;
  if (FPixelFormat == V4L2_PIX_FMT_YUYV && FBytesPerLine < FWidth * 2) FBytesPerLine = FWidth * 2;
  FFormat = MakeVideoFormat(BI_RGB, LONG(FWidth), LONG(FHeight), 24);
  if (FPixelFormat != V4L2_PIX_FMT_YUYV &&
      !FDecoder.Configure(MakeVideoFormat(FOURCC_MJPG, LONG(FWidth), LONG(FHeight))))
    return false;
  return true;
}

bool TV4L2Camera::ReadCurrentFormat() {
  v4l2_format Format{};
  Format.type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
  if (const int Result = FDevice->Ioctl(VIDIOC_G_FMT, &Format); Result != 0) {
    Failed("VIDIOC_G_FMT", Result);
    return false;
  }
  return Adopt(Format);
}

bool TV4L2Camera::Negotiate(uint32_t Width, uint32_t Height) {
  StopStream();
  for (uint32_t PixelFormat : PreferredFormats) {
    if (!Offers(PixelFormat)) continue;
    v4l2_format Format{};
    Format.type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
    Format.fmt.pix.width = Width;
    Format.fmt.pix.height = Height;
    Format.fmt.pix.pixelformat = PixelFormat;
    Format.fmt.pix.field = V4L2_FIELD_ANY;
    if (const int Result = FDevice->Ioctl(VIDIOC_S_FMT, &Format); Result != 0) {
      if (Failed("VIDIOC_S_FMT", Result)) return false;
      continue;
    }
    // The driver may have chosen another size, or even another format, than the one asked.
    if (Format.fmt.pix.pixelformat != PixelFormat) continue;
    if (Adopt(Format)) return true;
  }
  return false;
}

bool TV4L2Camera::SetFormat(const BITMAPINFOHEADER& Wanted) {
  if (FGone) return false;
  if (Wanted.biCompression != BI_RGB || Wanted.biBitCount != 24 || Wanted.biWidth <= 0 ||
      Wanted.biHeight <= 0 || Wanted.biWidth > MaxVideoDimension || Wanted.biHeight > MaxVideoDimension)
    return false;
  if (Negotiate(uint32_t(Wanted.biWidth), uint32_t(Wanted.biHeight))) return true;
  // Whatever the failed attempts left the camera in is what it delivers now.
  if (!FGone) ReadCurrentFormat();
  return false;
}

bool TV4L2Camera::HasDialog(TCaptureDialog Dialog) const {
  return Dialog == TCaptureDialog::Compression;
}

bool TV4L2Camera::StartStream() {
  v4l2_requestbuffers Request{};
  Request.count = BufferCount;
  Request.type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
  Request.memory = V4L2_MEMORY_MMAP;
  if (const int Result = FDevice->Ioctl(VIDIOC_REQBUFS, &Request); Result != 0) {
    Failed("VIDIOC_REQBUFS", Result);
    return false;
  }
  FStreaming = true;  // from here on StopStream undoes what was done
  if (Request.count < 2) {
    FLastError = "The camera gives too few buffers";
    StopStream();
    return false;
  }
  for (uint32_t Index = 0; Index < Request.count; ++Index) {
    v4l2_buffer Buffer{};
    Buffer.type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
    Buffer.memory = V4L2_MEMORY_MMAP;
    Buffer.index = Index;
    if (const int Result = FDevice->Ioctl(VIDIOC_QUERYBUF, &Buffer); Result != 0) {
      Failed("VIDIOC_QUERYBUF", Result);
      StopStream();
      return false;
    }
    void* Address = FDevice->Map(Buffer.length, Buffer.m.offset);
    if (!Address) {
      FLastError = "Cannot map the camera's buffers";
      StopStream();
      return false;
    }
    FMappings.push_back({Address, Buffer.length});
    if (const int Result = FDevice->Ioctl(VIDIOC_QBUF, &Buffer); Result != 0) {
      Failed("VIDIOC_QBUF", Result);
      StopStream();
      return false;
    }
  }
  int Type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
  if (const int Result = FDevice->Ioctl(VIDIOC_STREAMON, &Type); Result != 0) {
    Failed("VIDIOC_STREAMON", Result);
    StopStream();
    return false;
  }
  FFirstFrame = true;
  return true;
}

void TV4L2Camera::StopStream() {
  if (!FStreaming) return;
  int Type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
  FDevice->Ioctl(VIDIOC_STREAMOFF, &Type);
  for (const TMapping& Mapping : FMappings) FDevice->Unmap(Mapping.Address, Mapping.Length);
  FMappings.clear();
  v4l2_requestbuffers Request{};
  Request.count = 0;
  Request.type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
  Request.memory = V4L2_MEMORY_MMAP;
  FDevice->Ioctl(VIDIOC_REQBUFS, &Request);
  FStreaming = false;
}

void TV4L2Camera::Interrupt() { FDevice->Wake(); }

bool TV4L2Camera::Convert(const uint8_t* Data, size_t Used, uint8_t* Target) {
  const AVFrame* Picture = nullptr;
  if (FPixelFormat == V4L2_PIX_FMT_YUYV) {
    if (Used < size_t(FBytesPerLine) * FHeight) return false;
    if (!FView && !(FView = av_frame_alloc())) return false;
    FView->format = AV_PIX_FMT_YUYV422;
    FView->width = int(FWidth);
    FView->height = int(FHeight);
    FView->color_range = AVCOL_RANGE_MPEG;
    FView->data[0] = const_cast<uint8_t*>(Data);
    FView->linesize[0] = int(FBytesPerLine);
    Picture = FView;
  } else {
    Picture = FDecoder.Decode(Data, Used);
  }
  return Picture && FConverter.ConvertToDib(*Picture, int(FWidth), int(FHeight), 24, Target);
}

TCaptureResult TV4L2Camera::Capture(uint8_t* Buffer, size_t Size) {
  if (FGone) return {TCaptureOutcome::Gone, 0};
  if (!Buffer || Size < FFormat.biSizeImage) {
    FLastError = "Frame buffer too small";
    return {TCaptureOutcome::NoFrame, 0};
  }
  if (!FStreaming && !StartStream())
    return {FGone ? TCaptureOutcome::Gone : TCaptureOutcome::NoFrame, 0};

  const int Waited = FDevice->WaitForFrame(FFirstFrame ? FirstFrameTimeout : FrameTimeout);
  if (Waited < 0) {
    Failed("poll", -Waited);
    return {FGone ? TCaptureOutcome::Gone : TCaptureOutcome::NoFrame, 0};
  }
  if (Waited == 0) {
    FLastError = "No frame in time";
    return {TCaptureOutcome::NoFrame, 0};
  }
  v4l2_buffer Filled{};
  Filled.type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
  Filled.memory = V4L2_MEMORY_MMAP;
  if (const int Result = FDevice->Ioctl(VIDIOC_DQBUF, &Filled); Result != 0) {
    Failed("VIDIOC_DQBUF", Result);
    return {FGone ? TCaptureOutcome::Gone : TCaptureOutcome::NoFrame, 0};
  }
  // Frames that queued up while nobody asked are stale: take the newest one.
  while (FDevice->WaitForFrame(0) == 1) {
    v4l2_buffer Newer{};
    Newer.type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
    Newer.memory = V4L2_MEMORY_MMAP;
    if (FDevice->Ioctl(VIDIOC_DQBUF, &Newer) != 0) break;
    FDevice->Ioctl(VIDIOC_QBUF, &Filled);
    Filled = Newer;
  }
  FFirstFrame = false;

  bool Converted = false;
  if (Filled.index < FMappings.size() && !(Filled.flags & V4L2_BUF_FLAG_ERROR)) {
    const TMapping& Mapping = FMappings[Filled.index];
    size_t Used = Filled.bytesused != 0 ? Filled.bytesused : Mapping.Length;
    if (Used > Mapping.Length) Used = Mapping.Length;
    Converted = Convert(static_cast<const uint8_t*>(Mapping.Address), Used, Buffer);
    if (!Converted) FLastError = "Cannot convert the camera's frame";
  }
  if (const int Result = FDevice->Ioctl(VIDIOC_QBUF, &Filled); Result != 0) Failed("VIDIOC_QBUF", Result);
  if (!Converted) return {TCaptureOutcome::NoFrame, 0};
  return {TCaptureOutcome::Frame, FFormat.biSizeImage};
}
