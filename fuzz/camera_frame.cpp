// Arbitrary bytes as a camera frame, through the compression manager as the capture layer uses
// it: locate a decompressor for the frame's format, ask for its output format, begin, decompress,
// end, close. The first four bytes choose the format (every raw and compressed code the
// decompressors take), the frame's width and height, and the output asked for (24 or 32 bits,
// bottom-up or top-down); the rest is the frame, in a buffer of the size the driver reports (a
// JPEG frame is shorter than its buffer, the rest zeros). A frame decompresses or is refused,
// and the output is written within its own buffer only.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "platform/capture/fourcc.h"
#include "platform/capture/vcm.h"
#include "platform/capture/videoformat.h"

namespace {

constexpr DWORD Codes[] = {FOURCC_YUY2, FOURCC_YUYV, FOURCC_UYVY, FOURCC_Y41P,
                           FOURCC_Y8,   FOURCC_Y800, FOURCC_GREY, FOURCC_MJPG};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
  if (Size < 4) return 0;
  const DWORD Code = Codes[Data[0] % std::size(Codes)];
  // Small frames, widths of every remainder the packed layouts care about.
  const LONG Width = 1 + Data[1] % 96;
  const LONG Height = 1 + Data[2] % 64;
  const bool ThirtyTwo = (Data[3] & 1) != 0;
  const bool TopDown = (Data[3] & 2) != 0;
  BITMAPINFOHEADER Input = MakeVideoFormat(Code, Width, Height, VideoBitCount(Code));
  HIC Decompressor = ICLocate(ICTYPE_VIDEO, 0, &Input, nullptr, ICMODE_DECOMPRESS);
  if (!Decompressor) return 0;  // a size this code does not take
  BITMAPINFOHEADER Proposed{};
  if (ICDecompressGetFormat(Decompressor, &Input, &Proposed) != ICERR_OK) std::abort();
  BITMAPINFOHEADER Output = MakeVideoFormat(BI_RGB, Width, Height, ThirtyTwo ? 32 : 24);
  if (TopDown) Output.biHeight = -Height;
  std::vector<uint8_t> Frame(Input.biSizeImage, 0);
  std::memcpy(Frame.data(), Data + 4, std::min(Frame.size(), Size - 4));
  // Exactly the output's size: the sanitiser catches a row written past it.
  std::vector<uint8_t> Bits(Output.biSizeImage);
  if (ICDecompressBegin(Decompressor, &Input, &Output) == ICERR_OK) {
    (void)ICDecompress(Decompressor, 0, &Input, Frame.data(), &Output, Bits.data());
    ICDecompressEnd(Decompressor);
  }
  // The proposed format, as the capture layer's frame buffer holds it.
  std::vector<uint8_t> ProposedBits(Proposed.biSizeImage);
  (void)ICDecompress(Decompressor, 0, &Input, Frame.data(), &Proposed, ProposedBits.data());
  ICClose(Decompressor);
  return 0;
}
