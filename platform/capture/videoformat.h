#pragma once
// Video formats as the capture library describes them: a BITMAPINFOHEADER whose compression
// field is BI_RGB or a four-character code, whose image size is the size of one frame (the
// largest one for compressed codes).
//
// Row layouts of the uncompressed and packed formats:
//   BI_RGB 24 / 32   bottom-up rows of B, G, R (, X), each padded to 4 bytes
//   YUY2 (YUYV)      top-down rows of Y0 U Y1 V per pixel pair, padded to 4 bytes
//   UYVY             top-down rows of U Y0 V Y1 per pixel pair, padded to 4 bytes
//   Y41P             bottom-up rows of 12-byte groups for 8 pixels: U0 Y0 V0 Y1 U4 Y2 V4 Y3 Y4 Y5 Y6 Y7
//   Y8, Y800, GREY   top-down rows of one luma byte per pixel, padded to 4 bytes
//   MJPG             one baseline JPEG image per frame
// The packed YUV formats carry studio-range BT.601 values (Y 16..235), grey and JPEG full-range.

#include <cstddef>

#include "platform/capture/fourcc.h"
#include "platform/gdi/bitmap.h"

// Bytes of one row of Width pixels of BitCount bits, padded to 4 bytes.
constexpr DWORD VideoRowStride(LONG Width, int BitCount) {
  return DWORD(((int64_t(Width) * BitCount + 31) / 32) * 4);
}

enum class TVideoCode { Unknown, Rgb, Yuy2, Uyvy, Y41p, Grey, Mjpeg };

// Which layout a compression code stands for (BI_RGB for the uncompressed ones).
TVideoCode VideoCodeOf(DWORD Compression);

// The bits per pixel a driver reports for a code (24 for JPEG, the frames it decodes to).
int VideoBitCount(DWORD Compression);

// The size of one frame (the buffer for the largest one with JPEG); 0 when the size is out of
// range or the width does not fit the code (even for YUY2 and UYVY, a multiple of 8 for Y41P).
DWORD VideoImageSize(DWORD Compression, LONG Width, LONG Height, int BitCount);

// The largest width and height any format here takes; frames bigger than this are refused.
constexpr LONG MaxVideoDimension = 8192;

// A complete format of the code at the size: bit count and image size filled in.
BITMAPINFOHEADER MakeVideoFormat(DWORD Compression, LONG Width, LONG Height, int BitCount = 0);

// True when the header describes a frame this library can read: known code, bit count that
// fits it, positive size within the limits (a negative height only for BI_RGB, top-down).
bool IsReadableVideoFormat(const BITMAPINFOHEADER& Format);
