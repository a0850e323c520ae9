#pragma once
// One decompressor of the compression manager: frames of a packed or JPEG format to 24- or
// 32-bit uncompressed rows of the same size. See vcm.h for the calls that use it.

#include <cstdint>

#include "platform/capture/frameconverter.h"
#include "platform/capture/framedecoder.h"

class TDecompressor {
 public:
  // Whether frames of Input can be decompressed here at all.
  static bool Accepts(const BITMAPINFOHEADER& Input);
  // Whether they can be decompressed into Output: BI_RGB, 24 or 32 bits, the input's width and
  // height (a negative height: top-down rows).
  static bool Produces(const BITMAPINFOHEADER& Input, const BITMAPINFOHEADER& Output);
  // The output format offered for Input: 32-bit for "YUY2", "UYVY", "Y41P" and "Y8  ", 24-bit
  // otherwise; bottom-up, image size filled in.
  static BITMAPINFOHEADER ProposedOutput(const BITMAPINFOHEADER& Input);

  explicit TDecompressor(const BITMAPINFOHEADER& Input) : FLocated(Input) {}
  const BITMAPINFOHEADER& Located() const { return FLocated; }

  bool Begin(const BITMAPINFOHEADER& Input, const BITMAPINFOHEADER& Output);
  void End() { FBegun = false; }
  bool Begun() const { return FBegun; }

  // Decompresses one frame; false when the formats do not fit or the frame cannot be read.
  // Without a Begin the formats are taken as they come.
  bool Decompress(const BITMAPINFOHEADER& Input, const uint8_t* Data,
                  const BITMAPINFOHEADER& Output, uint8_t* Bits);

 private:
  BITMAPINFOHEADER FLocated;
  bool FBegun = false;
  TFrameDecoder FDecoder;
  TFrameConverter FConverter;
};
