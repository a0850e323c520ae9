#pragma once
// What the main window's capture layer works with besides its own state: the bitmap header
// arithmetic of the frame buffer, the frame kinds a capture format selects, the owned handle of
// the decompressor, and the message that hands a streamed frame to the user-interface thread.
//
// The frame buffer is one complete BMP file image in memory (file header, a 40-byte info header,
// bottom-up rows padded to 4 bytes), so the class library's bitmap loads every frame from it
// without a copy.

#include <cstddef>
#include <cstdint>

#include "platform/capture/capture.h"
#include "platform/capture/vcm.h"
#include "platform/user/winuser.h"

// Bytes per row of a device-independent bitmap whose rows hold Bits bits: rows are padded to
// whole 32-bit words.
int32_t DibRowStride(int32_t Bits);

// An uncompressed info header: size 40, one plane, rows bottom-up (a positive height), image
// size DibRowStride(BitCount * Width) * Height, everything else 0.
void FillBitmapInfoHeader(BITMAPINFOHEADER& Header, int32_t Width, int32_t Height, int32_t BitCount);

// How frames of a capture format reach the frame buffer, by its compression code.
enum : int32_t {
  FrameKindDecompress = 0,  // through the decompressor
  FrameKindCopy = 1,        // uncompressed rows (and bit fields), copied as they come
  FrameKindYUY2 = 2,        // the packed YUV codes: decompressed into 32-bit rows
  FrameKindUYVY = 3,
  FrameKindY41P = 4,
  FrameKindY8 = 5,
};
// 1 for BI_RGB and BI_BITFIELDS, 2 to 5 for "YUY2", "UYVY", "Y41P" and "Y8  ", 0 for any other code.
int32_t PixelFormatKind(DWORD Compression);

// Size of the file header in front of the info header in the frame buffer.
constexpr int32_t BitmapFileHeaderSize = 14;

// Writes the file header and Header at the start of Image, which holds at least
// BitmapFileHeaderSize + 40 bytes; the file size is FileSize and the pixels follow the headers.
void WriteFrameBufferHeaders(uint8_t* Image, uint32_t FileSize, const BITMAPINFOHEADER& Header);

// The decompressor of the current capture format. Closed when another is located, when the
// capture layer lets it go (assigning nullptr) and when its owner goes, so none is left open.
class TDecompressorHandle {
 public:
  TDecompressorHandle() = default;
  ~TDecompressorHandle() { Reset(); }
  TDecompressorHandle(const TDecompressorHandle&) = delete;
  TDecompressorHandle& operator=(const TDecompressorHandle&) = delete;
  // Closes the decompressor held.
  TDecompressorHandle& operator=(std::nullptr_t) {
    Reset();
    return *this;
  }
  // Takes Handle over, closing the one held before.
  void Adopt(HIC Handle);
  void Reset();
  HIC Get() const { return FHandle; }
  explicit operator bool() const { return FHandle != nullptr; }

 private:
  HIC FHandle = nullptr;
};

// Sent by the capture thread to the main window with a streamed frame (wParam the capture
// window, lParam its VIDEOHDR): the window composes it and writes it back before the send
// returns. Answers 1.
constexpr UINT WM_CAPTURE_STREAM_FRAME = WM_APP + 0x102;
