#pragma once
// JPEG pictures through libjpeg-turbo: baseline encoding at a quality with the library's defaults,
// decoding of baseline and progressive files (grey, colour, CMYK). A codec error raises EJPEG with
// the text "JPEG error #<libjpeg message code>", as the class library's JPEG image does.
//
// The encoder object is meant to be kept: it holds libjpeg's state and its output buffer between
// pictures, reads 24-bit (or 32-bit) blue-first rows in place through the view's stride, and so
// encodes a frame with no frame-sized allocation once its buffer has grown to the frame's size.

#include <cstdint>
#include <memory>
#include <span>
#include <vector>

#include "platform/gdi/imagefile/bgraimage.h"

KORCAM_EXCEPTION(EJPEG, EInvalidGraphic);

// Raises EJPEG("JPEG error #<Code>").
[[noreturn]] void RaiseJpegError(int Code);

struct TJpegCompressor;
struct TJpegDecompressor;

// What to do with damage the library can work around (a truncated file, a corrupt segment).
enum class TJpegDamage : uint8_t {
  Raise,     // fail with the warning's message code: files the user opens
  Tolerate,  // decode what is there: live frames where a grey stripe beats a dropped frame
};

class TJpegEncoder {
 public:
  TJpegEncoder();
  ~TJpegEncoder();
  TJpegEncoder(const TJpegEncoder&) = delete;
  TJpegEncoder& operator=(const TJpegEncoder&) = delete;

  // Encodes Source (any format; the alpha or unused byte is ignored) at Quality 0..100 (0 acts as
  // 1). The bytes stay valid until the next Encode or the encoder's destruction.
  std::span<const uint8_t> Encode(const TPixelView& Source, int Quality);

 private:
  std::unique_ptr<TJpegCompressor, void (*)(TJpegCompressor*)> FCompressor;
};

struct TJpegHeader {
  int32_t Width = 0;
  int32_t Height = 0;
  int32_t Components = 0;  // 1 grey, 3 colour, 4 CMYK/YCCK
  bool Progressive = false;
};

class TJpegDecoder {
 public:
  TJpegDecoder();
  ~TJpegDecoder();
  TJpegDecoder(const TJpegDecoder&) = delete;
  TJpegDecoder& operator=(const TJpegDecoder&) = delete;

  // Reads the headers. Bytes must outlive the following DecodeInto.
  TJpegHeader ReadHeader(std::span<const uint8_t> Bytes, TJpegDamage Damage = TJpegDamage::Raise);
  // Decodes the picture whose header was read last into rows Top + y * Stride (Bgr24, Bgrx32 or
  // Bgra32; the fourth byte becomes 255). Stride may be negative for a bottom-up bitmap.
  void DecodeInto(uint8_t* Top, ptrdiff_t Stride, TPixelLayout Format);
  // Gives up the picture whose header was read (ReadHeader and DecodeInto do it when they fail).
  void Abort();

  // ReadHeader, the size check and DecodeInto a fresh or reused image.
  void Decode(std::span<const uint8_t> Bytes, TBgraImage& Out, const TImageLimits& Limits = {},
              TJpegDamage Damage = TJpegDamage::Raise);

 private:
  std::unique_ptr<TJpegDecompressor, void (*)(TJpegDecompressor*)> FDecompressor;
  bool FHeaderRead = false;
};

std::vector<uint8_t> EncodeJpeg(const TPixelView& Source, int Quality);
TBgraImage DecodeJpeg(std::span<const uint8_t> Bytes, const TImageLimits& Limits = {},
                      TJpegDamage Damage = TJpegDamage::Raise);
