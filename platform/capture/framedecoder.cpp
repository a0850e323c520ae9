#include "platform/capture/framedecoder.h"

#include <cstdlib>
#include <cstring>

#include "platform/capture/ffmpeg.h"

namespace {

// The input buffer belongs to the decoder object; FFmpeg's reference to it frees nothing.
void KeepBuffer(void*, uint8_t*) noexcept {}

bool SameFormat(const BITMAPINFOHEADER& A, const BITMAPINFOHEADER& B) {
  return A.biCompression == B.biCompression && A.biWidth == B.biWidth &&
         A.biHeight == B.biHeight && A.biBitCount == B.biBitCount &&
         A.biSizeImage == B.biSizeImage;
}

uint16_t BigEndian16(const uint8_t* Data) { return uint16_t((Data[0] << 8) | Data[1]); }

}  // namespace

size_t JpegImageLength(const uint8_t* Data, size_t Size) {
  if (Size < 4 || Data[0] != 0xFF || Data[1] != 0xD8) return Size;
  size_t Position = 2;
  while (Position + 1 < Size) {
    if (Data[Position] != 0xFF) return Size;
    while (Position + 1 < Size && Data[Position + 1] == 0xFF) ++Position;  // fill bytes
    if (Position + 1 >= Size) return Size;
    const uint8_t Marker = Data[Position + 1];
    if (Marker == 0xD9) return Position + 2;
    if (Marker == 0x01 || (Marker >= 0xD0 && Marker <= 0xD7)) {
      Position += 2;
      continue;
    }
    if (Position + 4 > Size) return Size;
    const size_t Length = BigEndian16(Data + Position + 2);
    if (Length < 2) return Size;
    Position += 2 + Length;
    if (Marker != 0xDA) continue;
    // Entropy-coded data: a 0xFF in it is followed by a stuffed 0 or a restart marker, so the
    // first other marker ends it.
    while (Position + 1 < Size) {
      if (Data[Position] == 0xFF && Data[Position + 1] != 0 &&
          !(Data[Position + 1] >= 0xD0 && Data[Position + 1] <= 0xD7))
        break;
      ++Position;
    }
  }
  return Size;
}

TFrameDecoder::TFrameDecoder() = default;

TFrameDecoder::~TFrameDecoder() { Release(); }

void TFrameDecoder::Release() {
  avcodec_free_context(&FCodec);
  av_frame_free(&FPicture);
  av_packet_free(&FPacket);
  av_buffer_unref(&FInputReference);
  FInput.clear();
  FInput.shrink_to_fit();
  FCode = TVideoCode::Unknown;
  FFormat = {};
}

bool TFrameDecoder::Configure(const BITMAPINFOHEADER& Format) {
  if (!IsReadableVideoFormat(Format)) {
    Release();
    return false;
  }
  if (FCode != TVideoCode::Unknown && SameFormat(FFormat, Format)) return true;
  Release();
  FFormat = Format;
  FCode = VideoCodeOf(Format.biCompression);
  FPicture = av_frame_alloc();
  if (!FPicture) {
    Release();
    return false;
  }
  if (FCode != TVideoCode::Mjpeg && FCode != TVideoCode::Y41p) {
    // Raw frames are read from a copy: libswscale's readers take whole blocks of pixels and so
    // read a little past the end of a picture's last row, beyond the caller's buffer.
    FInput.assign(VideoImageSize(Format.biCompression, Format.biWidth, Format.biHeight, Format.biBitCount) +
                      AV_INPUT_BUFFER_PADDING_SIZE,
                  0);
    return true;
  }

  const AVCodec* Codec =
      avcodec_find_decoder(FCode == TVideoCode::Mjpeg ? AV_CODEC_ID_MJPEG : AV_CODEC_ID_Y41P);
  if (!Codec) {
    Release();
    return false;
  }
  FCodec = avcodec_alloc_context3(Codec);
  FPacket = av_packet_alloc();
  if (!FCodec || !FPacket) {
    Release();
    return false;
  }
  FCodec->thread_count = 1;
  FCodec->width = Format.biWidth;
  FCodec->height = std::abs(Format.biHeight);
  // A JPEG that claims a bigger picture than the format is refused before anything is allocated.
  FCodec->max_pixels = int64_t(Format.biWidth + 16) * (std::abs(Format.biHeight) + 16);
  FCodec->codec_tag = Format.biCompression;
  if (avcodec_open2(FCodec, Codec, nullptr) < 0) {
    Release();
    return false;
  }
  FInput.assign(VideoImageSize(Format.biCompression, Format.biWidth, Format.biHeight,
                               Format.biBitCount) +
                    AV_INPUT_BUFFER_PADDING_SIZE,
                0);
  FInputReference = av_buffer_create(FInput.data(), FInput.size(), KeepBuffer, nullptr, 0);
  if (!FInputReference) {
    Release();
    return false;
  }
  return true;
}

const AVFrame* TFrameDecoder::Decode(const uint8_t* Data, size_t Size) {
  if (!Data || FCode == TVideoCode::Unknown) return nullptr;
  const int Width = FFormat.biWidth;
  const int Height = std::abs(FFormat.biHeight);
  const size_t Needed = VideoImageSize(FFormat.biCompression, Width, Height, FFormat.biBitCount);
  if (FCode == TVideoCode::Mjpeg || FCode == TVideoCode::Y41p) return DecodeWithCodec(Data, Size);
  if (Size < Needed) return nullptr;

  // A raw layout: the copy, with its padding, described as a picture.
  std::memcpy(FInput.data(), Data, Needed);
  av_frame_unref(FPicture);
  FPicture->width = Width;
  FPicture->height = Height;
  FPicture->color_range = AVCOL_RANGE_MPEG;
  uint8_t* Bytes = FInput.data();
  switch (FCode) {
    case TVideoCode::Rgb: {
      const int Stride = int(VideoRowStride(Width, FFormat.biBitCount));
      FPicture->format = FFormat.biBitCount == 32 ? AV_PIX_FMT_BGR0 : AV_PIX_FMT_BGR24;
      if (FFormat.biHeight > 0) {
        FPicture->data[0] = Bytes + size_t(Height - 1) * Stride;
        FPicture->linesize[0] = -Stride;
      } else {
        FPicture->data[0] = Bytes;
        FPicture->linesize[0] = Stride;
      }
      FPicture->color_range = AVCOL_RANGE_JPEG;
      break;
    }
    case TVideoCode::Yuy2:
    case TVideoCode::Uyvy:
      FPicture->format = FCode == TVideoCode::Yuy2 ? AV_PIX_FMT_YUYV422 : AV_PIX_FMT_UYVY422;
      FPicture->data[0] = Bytes;
      FPicture->linesize[0] = int(VideoRowStride(Width, 16));
      break;
    case TVideoCode::Grey:
      FPicture->format = AV_PIX_FMT_GRAY8;
      FPicture->data[0] = Bytes;
      FPicture->linesize[0] = int(VideoRowStride(Width, 8));
      FPicture->color_range = AVCOL_RANGE_JPEG;
      break;
    default: return nullptr;
  }
  return FPicture;
}

const AVFrame* TFrameDecoder::DecodeWithCodec(const uint8_t* Data, size_t Size) {
  size_t Length = Size;
  if (FCode == TVideoCode::Mjpeg) {
    Length = JpegImageLength(Data, Size);
  } else {
    Length = VideoImageSize(FFormat.biCompression, FFormat.biWidth, FFormat.biHeight,
                            FFormat.biBitCount);
    if (Size < Length) return nullptr;
  }
  if (Length == 0 || Length > size_t(INT32_MAX) - AV_INPUT_BUFFER_PADDING_SIZE) return nullptr;
  if (Length + AV_INPUT_BUFFER_PADDING_SIZE > FInput.size()) {
    // A frame larger than the format promised: grow once, outside the steady state.
    av_buffer_unref(&FInputReference);
    FInput.assign(Length + AV_INPUT_BUFFER_PADDING_SIZE, 0);
    FInputReference = av_buffer_create(FInput.data(), FInput.size(), KeepBuffer, nullptr, 0);
    if (!FInputReference) return nullptr;
  }
  std::memcpy(FInput.data(), Data, Length);
  std::memset(FInput.data() + Length, 0, AV_INPUT_BUFFER_PADDING_SIZE);

  FPacket->buf = av_buffer_ref(FInputReference);
  if (!FPacket->buf) return nullptr;
  FPacket->data = FInput.data();
  FPacket->size = int(Length);
  FPacket->flags = AV_PKT_FLAG_KEY;
  int Result = avcodec_send_packet(FCodec, FPacket);
  av_packet_unref(FPacket);
  av_frame_unref(FPicture);
  if (Result >= 0) Result = avcodec_receive_frame(FCodec, FPicture);
  if (Result < 0) {
    avcodec_flush_buffers(FCodec);
    return nullptr;
  }
  if (FPicture->width != FFormat.biWidth || FPicture->height != std::abs(FFormat.biHeight)) {
    av_frame_unref(FPicture);
    return nullptr;
  }
  return FPicture;
}
