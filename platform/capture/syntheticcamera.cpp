#include "platform/capture/syntheticcamera.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "platform/capture/ffmpeg.h"

namespace {

DWORD CodeFromName(const std::string& Name, int& BitCount) {
  BitCount = 0;
  if (Name == "RGB24" || Name == "BGR24") {
    BitCount = 24;
    return BI_RGB;
  }
  if (Name == "RGB32" || Name == "BGR32") {
    BitCount = 32;
    return BI_RGB;
  }
  if (Name == "Y8") return FOURCC_Y8;
  if (Name.size() == 4) {
    const DWORD Code = mmioFOURCC(Name[0], Name[1], Name[2], Name[3]);
    if (VideoCodeOf(Code) != TVideoCode::Unknown) return Code;
  }
  return 0xFFFFFFFF;
}

void ApplyEnvironment(TSyntheticCameraSettings& Settings) {
  if (const char* Value = std::getenv("KORCAM_SYNTHETIC_CAMERA"); Value && std::strcmp(Value, "0") == 0)
    Settings.Present = false;
  if (const char* Value = std::getenv("KORCAM_SYNTHETIC_MOTION"); Value && *Value) {
    char* End = nullptr;
    const long long First = std::strtoll(Value, &End, 10);
    if (End != Value && First >= 0) {
      Settings.MotionFirst = First;
      Settings.MotionCount = 0;
      if (*End == ',') Settings.MotionCount = std::max(0LL, std::strtoll(End + 1, nullptr, 10));
    }
  }
  if (const char* Value = std::getenv("KORCAM_SYNTHETIC_FORMAT"); Value && *Value) {
    int BitCount = 0;
    const DWORD Code = CodeFromName(Value, BitCount);
    if (Code != 0xFFFFFFFF) {
      Settings.Compression = Code;
      Settings.BitCount = BitCount != 0 ? BitCount : VideoBitCount(Code);
      Settings.RefuseAll = true;
    }
  }
  if (const char* Value = std::getenv("KORCAM_SYNTHETIC_SIZE"); Value && *Value) {
    char* End = nullptr;
    const long Width = std::strtol(Value, &End, 10);
    if (End && (*End == 'x' || *End == 'X')) {
      const long Height = std::strtol(End + 1, nullptr, 10);
      if (Width > 0 && Height > 0 && Width <= MaxVideoDimension && Height <= MaxVideoDimension) {
        Settings.ForcedWidth = Width;
        Settings.ForcedHeight = Height;
      }
    }
  }
}

TSyntheticCameraSettings& SettingsInstance() {
  static TSyntheticCameraSettings Instance = [] {
    TSyntheticCameraSettings Settings;
    ApplyEnvironment(Settings);
    return Settings;
  }();
  return Instance;
}

// A well-mixed 32-bit hash of a texture coordinate: neighbouring texels share nothing.
uint32_t TextureHash(uint32_t X, uint32_t Y) {
  uint32_t Hash = X * 0x9E3779B1u ^ (Y + 0x7F4A7C15u) * 0x85EBCA77u;
  Hash ^= Hash >> 15;
  Hash *= 0x2C1B3C6Du;
  Hash ^= Hash >> 12;
  Hash *= 0x297A2D39u;
  Hash ^= Hash >> 15;
  return Hash;
}

// Studio-range BT.601 with 8-bit fixed-point weights.
uint8_t LumaOf(int B, int G, int R) { return uint8_t(((66 * R + 129 * G + 25 * B + 128) >> 8) + 16); }
uint8_t BlueDifferenceOf(int B, int G, int R) {
  return uint8_t(((-38 * R - 74 * G + 112 * B + 128) >> 8) + 128);
}
uint8_t RedDifferenceOf(int B, int G, int R) {
  return uint8_t(((112 * R - 94 * G - 18 * B + 128) >> 8) + 128);
}
uint8_t FullRangeLumaOf(int B, int G, int R) { return uint8_t((77 * R + 150 * G + 29 * B + 128) >> 8); }

// The average colour of Count pixels from Pixel on.
void AverageColour(const uint8_t* Pixel, int Count, int& B, int& G, int& R) {
  B = G = R = 0;
  for (int Index = 0; Index < Count; ++Index) {
    B += Pixel[Index * 3];
    G += Pixel[Index * 3 + 1];
    R += Pixel[Index * 3 + 2];
  }
  B = (B + Count / 2) / Count;
  G = (G + Count / 2) / Count;
  R = (R + Count / 2) / Count;
}

}  // namespace

TSyntheticCameraSettings& SyntheticCameraSettings() { return SettingsInstance(); }

void ResetSyntheticCameraSettings() {
  TSyntheticCameraSettings Settings;
  ApplyEnvironment(Settings);
  SettingsInstance() = Settings;
}

void RenderSyntheticScene(int64_t FrameNumber, bool Moving, int Width, int Height,
                          std::vector<uint8_t>& Bgr) {
  Bgr.resize(size_t(Width) * Height * 3);
  if (Moving) {
    // The texture slides 5 pixels a frame: every pixel shows another texel from frame to frame.
    const uint32_t Shift = uint32_t(FrameNumber * 5);
    for (int Y = 0; Y < Height; ++Y) {
      uint8_t* Row = Bgr.data() + size_t(Y) * Width * 3;
      for (int X = 0; X < Width; ++X) {
        const uint32_t Hash = TextureHash(uint32_t(X) + Shift, uint32_t(Y));
        Row[X * 3] = uint8_t(Hash);
        Row[X * 3 + 1] = uint8_t(Hash >> 8);
        Row[X * 3 + 2] = uint8_t(Hash >> 16);
      }
    }
    return;
  }
  // Eight bars (white, yellow, cyan, green, magenta, red, blue, black) over the top two thirds,
  // a grey ramp from black to white below.
  static constexpr uint8_t Bars[8][3] = {{255, 255, 255}, {0, 255, 255}, {255, 255, 0},
                                         {0, 255, 0},     {255, 0, 255}, {0, 0, 255},
                                         {255, 0, 0},     {0, 0, 0}};
  const int BarRows = Height * 2 / 3;
  for (int Y = 0; Y < Height; ++Y) {
    uint8_t* Row = Bgr.data() + size_t(Y) * Width * 3;
    for (int X = 0; X < Width; ++X) {
      uint8_t* Pixel = Row + X * 3;
      if (Y < BarRows) {
        const uint8_t* Bar = Bars[int64_t(X) * 8 / Width];
        Pixel[0] = Bar[0];
        Pixel[1] = Bar[1];
        Pixel[2] = Bar[2];
      } else {
        const uint8_t Grey = Width > 1 ? uint8_t(int64_t(X) * 255 / (Width - 1)) : 128;
        Pixel[0] = Pixel[1] = Pixel[2] = Grey;
      }
    }
  }
}

void PackSyntheticFrame(const uint8_t* Bgr, const BITMAPINFOHEADER& Format, uint8_t* Frame) {
  const int Width = Format.biWidth;
  const int Height = std::abs(Format.biHeight);
  const size_t SourceStride = size_t(Width) * 3;
  switch (VideoCodeOf(Format.biCompression)) {
    case TVideoCode::Rgb: {
      const int Bytes = Format.biBitCount / 8;
      const DWORD Stride = VideoRowStride(Width, Format.biBitCount);
      for (int Y = 0; Y < Height; ++Y) {
        const uint8_t* Source = Bgr + SourceStride * Y;
        const int TargetRow = Format.biHeight > 0 ? Height - 1 - Y : Y;
        uint8_t* Target = Frame + size_t(Stride) * TargetRow;
        std::memset(Target, 0, Stride);
        for (int X = 0; X < Width; ++X) std::memcpy(Target + X * Bytes, Source + X * 3, 3);
      }
      break;
    }
    case TVideoCode::Yuy2:
    case TVideoCode::Uyvy: {
      const bool LumaFirst = VideoCodeOf(Format.biCompression) == TVideoCode::Yuy2;
      const DWORD Stride = VideoRowStride(Width, 16);
      for (int Y = 0; Y < Height; ++Y) {
        const uint8_t* Source = Bgr + SourceStride * Y;
        uint8_t* Target = Frame + size_t(Stride) * Y;
        std::memset(Target, 0, Stride);
        for (int X = 0; X + 1 < Width; X += 2, Source += 6, Target += 4) {
          int B, G, R;
          AverageColour(Source, 2, B, G, R);
          const uint8_t Y0 = LumaOf(Source[0], Source[1], Source[2]);
          const uint8_t Y1 = LumaOf(Source[3], Source[4], Source[5]);
          const uint8_t U = BlueDifferenceOf(B, G, R), V = RedDifferenceOf(B, G, R);
          if (LumaFirst) {
            Target[0] = Y0, Target[1] = U, Target[2] = Y1, Target[3] = V;
          } else {
            Target[0] = U, Target[1] = Y0, Target[2] = V, Target[3] = Y1;
          }
        }
      }
      break;
    }
    case TVideoCode::Y41p: {
      const size_t Stride = size_t(Width) / 8 * 12;
      for (int Y = 0; Y < Height; ++Y) {
        // Y41P keeps its rows bottom-up, as the bitmaps it came from did.
        const uint8_t* Source = Bgr + SourceStride * Y;
        uint8_t* Target = Frame + Stride * (Height - 1 - Y);
        for (int X = 0; X + 7 < Width; X += 8, Source += 24, Target += 12) {
          int B, G, R;
          AverageColour(Source, 4, B, G, R);
          const uint8_t U0 = BlueDifferenceOf(B, G, R), V0 = RedDifferenceOf(B, G, R);
          AverageColour(Source + 12, 4, B, G, R);
          const uint8_t U4 = BlueDifferenceOf(B, G, R), V4 = RedDifferenceOf(B, G, R);
          uint8_t Luma[8];
          for (int Index = 0; Index < 8; ++Index)
            Luma[Index] = LumaOf(Source[Index * 3], Source[Index * 3 + 1], Source[Index * 3 + 2]);
          const uint8_t Group[12] = {U0, Luma[0], V0, Luma[1], U4, Luma[2],
                                     V4, Luma[3], Luma[4], Luma[5], Luma[6], Luma[7]};
          std::memcpy(Target, Group, 12);
        }
      }
      break;
    }
    case TVideoCode::Grey: {
      const DWORD Stride = VideoRowStride(Width, 8);
      for (int Y = 0; Y < Height; ++Y) {
        const uint8_t* Source = Bgr + SourceStride * Y;
        uint8_t* Target = Frame + size_t(Stride) * Y;
        std::memset(Target, 0, Stride);
        for (int X = 0; X < Width; ++X)
          Target[X] = FullRangeLumaOf(Source[X * 3], Source[X * 3 + 1], Source[X * 3 + 2]);
      }
      break;
    }
    case TVideoCode::Mjpeg:
    case TVideoCode::Unknown: break;
  }
}

TSyntheticCamera::TSyntheticCamera(const TSyntheticCameraSettings& Settings) : FSettings(Settings) {
  int BitCount = Settings.BitCount;
  if (VideoCodeOf(Settings.Compression) != TVideoCode::Rgb) BitCount = VideoBitCount(Settings.Compression);
  if (!Adopt(Settings.Compression, Settings.Width, Settings.Height, BitCount))
    Adopt(BI_RGB, 320, 240, 24);
}

TSyntheticCamera::~TSyntheticCamera() { av_frame_free(&FView); }

bool TSyntheticCamera::Accepts(DWORD Compression, int BitCount) const {
  if (FSettings.RefuseAll) return false;
  if (std::find(FSettings.RefusedCodes.begin(), FSettings.RefusedCodes.end(), Compression) !=
      FSettings.RefusedCodes.end())
    return false;
  const TVideoCode Code = VideoCodeOf(Compression);
  if (Code == TVideoCode::Unknown) return false;
  if (Code == TVideoCode::Rgb) return BitCount == 24 || BitCount == 32;
  return true;
}

bool TSyntheticCamera::Adopt(DWORD Compression, LONG Width, LONG Height, int BitCount) {
  if (FSettings.ForcedWidth > 0 && FSettings.ForcedHeight > 0) {
    Width = FSettings.ForcedWidth;
    Height = FSettings.ForcedHeight;
  }
  // The packed layouts need whole pixel groups: the camera narrows the picture to fit.
  const TVideoCode Code = VideoCodeOf(Compression);
  if (Code == TVideoCode::Yuy2 || Code == TVideoCode::Uyvy) Width = std::max<LONG>(2, Width / 2 * 2);
  if (Code == TVideoCode::Y41p) Width = std::max<LONG>(8, Width / 8 * 8);
  const BITMAPINFOHEADER Format = MakeVideoFormat(Compression, Width, Height, BitCount);
  if (Format.biSizeImage == 0) return false;
  FFormat = Format;
  FStill.clear();
  FEncoder.reset();
  return true;
}

bool TSyntheticCamera::SetFormat(const BITMAPINFOHEADER& Wanted) {
  const TVideoCode Code = VideoCodeOf(Wanted.biCompression);
  const int BitCount = Code == TVideoCode::Rgb ? Wanted.biBitCount : VideoBitCount(Wanted.biCompression);
  if (!Accepts(Wanted.biCompression, BitCount)) return false;
  if (Wanted.biWidth <= 0 || Wanted.biHeight <= 0 || Wanted.biWidth > MaxVideoDimension ||
      Wanted.biHeight > MaxVideoDimension)
    return false;
  return Adopt(Wanted.biCompression, Wanted.biWidth, Wanted.biHeight, BitCount);
}

bool TSyntheticCamera::HasDialog(TCaptureDialog Dialog) const {
  switch (Dialog) {
    case TCaptureDialog::Format: return FSettings.FormatDialog;
    case TCaptureDialog::Source: return FSettings.SourceDialog;
    case TCaptureDialog::Display: return FSettings.DisplayDialog;
    case TCaptureDialog::Compression: return true;
  }
  return false;
}

bool TSyntheticCamera::Moving(int64_t Frame) const {
  if (FSettings.MotionFirst < 0 || Frame < FSettings.MotionFirst) return false;
  return FSettings.MotionCount == 0 || Frame < FSettings.MotionFirst + FSettings.MotionCount;
}

TCaptureResult TSyntheticCamera::Capture(uint8_t* Buffer, size_t Size) {
  if (FSettings.GoneAtFrame >= 0 && FFrameNumber >= FSettings.GoneAtFrame) {
    FLastError = "No such device";
    return {TCaptureOutcome::Gone, 0};
  }
  if (!Buffer || Size < FFormat.biSizeImage) {
    FLastError = "Frame buffer too small";
    return {TCaptureOutcome::NoFrame, 0};
  }
  const int Width = FFormat.biWidth;
  const int Height = std::abs(FFormat.biHeight);
  const int64_t Number = FFrameNumber;
  const bool IsMoving = Moving(Number);
  if (!IsMoving && FStill.empty()) RenderSyntheticScene(0, false, Width, Height, FStill);
  if (IsMoving) RenderSyntheticScene(Number, true, Width, Height, FScene);
  const uint8_t* Scene = IsMoving ? FScene.data() : FStill.data();

  size_t Used = FFormat.biSizeImage;
  if (VideoCodeOf(FFormat.biCompression) == TVideoCode::Mjpeg) {
    if (!FEncoder) {
      FEncoder = std::make_unique<TMjpegEncoder>();
      if (!FEncoder->Configure(Width, Height, AVRational{1, 30}, 3)) {
        FEncoder.reset();
        FLastError = "JPEG encoder unavailable";
        return {TCaptureOutcome::NoFrame, 0};
      }
    }
    if (!FView && !(FView = av_frame_alloc())) return {TCaptureOutcome::NoFrame, 0};
    FView->format = AV_PIX_FMT_BGR24;
    FView->width = Width;
    FView->height = Height;
    FView->color_range = AVCOL_RANGE_JPEG;
    FView->data[0] = const_cast<uint8_t*>(Scene);
    FView->linesize[0] = Width * 3;
    const AVPacket* Packet = FEncoder->Encode(*FView, Number);
    if (!Packet || size_t(Packet->size) > Size) {
      FLastError = "JPEG encoding failed";
      return {TCaptureOutcome::NoFrame, 0};
    }
    std::memcpy(Buffer, Packet->data, size_t(Packet->size));
    Used = size_t(Packet->size);
  } else {
    PackSyntheticFrame(Scene, FFormat, Buffer);
  }
  ++FFrameNumber;
  return {TCaptureOutcome::Frame, Used};
}
