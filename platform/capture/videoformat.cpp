#include "platform/capture/videoformat.h"

#include <cstdlib>

TVideoCode VideoCodeOf(DWORD Compression) {
  switch (Compression) {
    case BI_RGB: return TVideoCode::Rgb;
    case FOURCC_YUY2:
    case FOURCC_YUYV: return TVideoCode::Yuy2;
    case FOURCC_UYVY: return TVideoCode::Uyvy;
    case FOURCC_Y41P: return TVideoCode::Y41p;
    case FOURCC_Y8:
    case FOURCC_Y800:
    case FOURCC_GREY: return TVideoCode::Grey;
    case FOURCC_MJPG: return TVideoCode::Mjpeg;
    default: return TVideoCode::Unknown;
  }
}

int VideoBitCount(DWORD Compression) {
  switch (VideoCodeOf(Compression)) {
    case TVideoCode::Rgb: return 24;
    case TVideoCode::Yuy2:
    case TVideoCode::Uyvy: return 16;
    case TVideoCode::Y41p: return 12;
    case TVideoCode::Grey: return 8;
    case TVideoCode::Mjpeg: return 24;
    case TVideoCode::Unknown: return 0;
  }
  return 0;
}

DWORD VideoImageSize(DWORD Compression, LONG Width, LONG Height, int BitCount) {
  const LONG Rows = std::labs(Height);
  if (Width <= 0 || Rows <= 0 || Width > MaxVideoDimension || Rows > MaxVideoDimension) return 0;
  switch (VideoCodeOf(Compression)) {
    case TVideoCode::Rgb:
      if (BitCount != 24 && BitCount != 32) return 0;
      return VideoRowStride(Width, BitCount) * DWORD(Rows);
    case TVideoCode::Yuy2:
    case TVideoCode::Uyvy:
      if (Width % 2 != 0) return 0;
      return VideoRowStride(Width, 16) * DWORD(Rows);
    case TVideoCode::Y41p:
      if (Width % 8 != 0) return 0;
      return DWORD(Width / 8 * 12) * DWORD(Rows);
    case TVideoCode::Grey: return VideoRowStride(Width, 8) * DWORD(Rows);
    case TVideoCode::Mjpeg:
      // A JPEG of a busy picture at high quality can outgrow the raw pixels; headers on top.
      return DWORD(Width) * DWORD(Rows) * 4 + 4096;
    case TVideoCode::Unknown: return 0;
  }
  return 0;
}

BITMAPINFOHEADER MakeVideoFormat(DWORD Compression, LONG Width, LONG Height, int BitCount) {
  BITMAPINFOHEADER Format{};
  Format.biSize = sizeof(BITMAPINFOHEADER);
  Format.biWidth = Width;
  Format.biHeight = Height;
  Format.biPlanes = 1;
  Format.biBitCount = WORD(BitCount != 0 ? BitCount : VideoBitCount(Compression));
  Format.biCompression = Compression;
  Format.biSizeImage = VideoImageSize(Compression, Width, Height, Format.biBitCount);
  return Format;
}

bool IsReadableVideoFormat(const BITMAPINFOHEADER& Format) {
  const TVideoCode Code = VideoCodeOf(Format.biCompression);
  if (Code == TVideoCode::Unknown) return false;
  if (Format.biHeight < 0 && Code != TVideoCode::Rgb) return false;
  if (Code == TVideoCode::Rgb) {
    if (Format.biBitCount != 24 && Format.biBitCount != 32) return false;
  } else if (Code != TVideoCode::Mjpeg && Format.biBitCount != VideoBitCount(Format.biCompression)) {
    return false;
  }
  return VideoImageSize(Format.biCompression, Format.biWidth, Format.biHeight, Format.biBitCount) != 0;
}
