// The byte comparison runs on the user-interface thread on every third frame, over the whole raw
// frame (900 KB at 640 x 480), so it works on eight bytes at a time: the two words are XORed,
// every byte of the result that is not zero marks a changed byte, and the marks are summed per
// byte lane for up to 255 words before the lanes are added up. No table, no branch per byte.

#include "app/motion.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "platform/forms/bitmap.h"
#include "platform/gdi/bitmap.h"
#include "platform/rtl/fileutils.h"
#include "platform/rtl/scopeexit.h"
#include "platform/user/paint.h"
#include "platform/user/winuser.h"

namespace {

constexpr uint64_t LowSevenBits = 0x7F7F7F7F7F7F7F7FULL;
constexpr uint64_t LowBit = 0x0101010101010101ULL;

uint64_t Load(const uint8_t* Bytes) {
  uint64_t Word;
  std::memcpy(&Word, Bytes, sizeof Word);
  return Word;
}

// 1 in each byte lane of Word that is not zero, 0 in the others.
uint64_t NonZeroLanes(uint64_t Word) {
  // Adding 0x7F to the low seven bits carries into the top bit exactly when one of them is set;
  // the top bit of the lane itself is ORed in.
  return ((((Word & LowSevenBits) + LowSevenBits) | Word) >> 7) & LowBit;
}

// The sum of the eight byte lanes of Lanes (each at most 255).
size_t SumLanes(uint64_t Lanes) {
  const uint64_t Pairs = (Lanes & 0x00FF00FF00FF00FFULL) + ((Lanes >> 8) & 0x00FF00FF00FF00FFULL);
  return size_t((Pairs * 0x0001000100010001ULL) >> 48);
}

}  // namespace

size_t CountEqualBytes(const uint8_t* A, const uint8_t* B, size_t Size) {
  size_t Changed = 0;
  size_t Index = 0;
  while (Size - Index >= 8) {
    // Each lane counts at most 255 words before it would overflow.
    const size_t Words = std::min<size_t>((Size - Index) / 8, 255);
    uint64_t Lanes = 0;
    for (size_t Word = 0; Word < Words; ++Word, Index += 8) Lanes += NonZeroLanes(Load(A + Index) ^ Load(B + Index));
    Changed += SumLanes(Lanes);
  }
  for (; Index < Size; ++Index) Changed += A[Index] != B[Index];
  return Size - Changed;
}

float MotionMeasure(size_t Equal, size_t Size) {
  // An empty frame has nothing that changed (and 0 / 0 has no value).
  if (Size == 0) return 50;
  // In double first: 100 * Equal does not fit 32 bits for large frames.
  return float(100.0 * double(Equal) / (double(Size) + double(Equal)));
}

size_t ReadMotionRows(TBitmap& Bitmap, std::vector<uint8_t>& Rows) {
  const int32_t Width = Bitmap.Width(), Height = Bitmap.Height();
  if (Width <= 0 || Height <= 0) return 0;
  BITMAPINFO Info{};
  Info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  Info.bmiHeader.biWidth = Width;
  Info.bmiHeader.biHeight = Height;
  Info.bmiHeader.biPlanes = 1;
  Info.bmiHeader.biBitCount = 24;
  Info.bmiHeader.biCompression = BI_RGB;
  const size_t Size = size_t((int64_t(Width) * 24 + 31) / 32) * 4 * size_t(Height);
  HDC Screen = GetDC(nullptr);
  TScopeExit Release([Screen] { ReleaseDC(nullptr, Screen); });
  if (Rows.size() != Size) Rows.resize(Size);
  if (GetDIBits(Screen, Bitmap.Handle(), 0, UINT(Height), Rows.data(), &Info, DIB_RGB_COLORS) != Height) return 0;
  return Size;
}

const uint8_t* MotionRows(TBitmap& Bitmap, std::vector<uint8_t>& Scratch, size_t& Size) {
  Size = 0;
  const int32_t Width = Bitmap.Width(), Height = Bitmap.Height();
  if (Width <= 0 || Height <= 0) return nullptr;
  const int32_t RowBytes = int32_t((int64_t(Width) * 24 + 31) / 32) * 4;
  if (Bitmap.HandleType() == bmDIB && Bitmap.PixelFormat() == pf24bit && Bitmap.RowBytes() == RowBytes) {
    Size = size_t(RowBytes) * size_t(Height);
    // The bottom row comes first in memory.
    return static_cast<const uint8_t*>(Bitmap.ScanLine(Height - 1));
  }
  Size = ReadMotionRows(Bitmap, Scratch);
  return Size ? Scratch.data() : nullptr;
}

uint32_t OptionInterval(double Count, uint32_t UnitMilliseconds) {
  const double Milliseconds = std::trunc(Count * double(UnitMilliseconds));
  // Not a number (an editor never gives one) counts as nothing.
  if (!(Milliseconds > 0)) return 0;
  return uint32_t(std::min(Milliseconds, double(USER_TIMER_MAXIMUM)));
}

uint32_t StartingDelayInterval(double Minutes) {
  return std::max<uint32_t>(1, OptionInterval(Minutes, 60 * 1000));
}

uint32_t MotionIndicationInterval(double Seconds) {
  return std::max<uint32_t>(1, OptionInterval(Seconds, 1000));
}

std::string MovieFileName(const std::string& Folder, int Number) {
  char Name[16];
  std::snprintf(Name, sizeof Name, "video%02d.avi", Number);
  return Folder + Name;
}

void RotateMovieFiles(const std::string& Folder) {
  for (int Number = MovieFileCount; Number >= 2; --Number) {
    const std::string Newer = MovieFileName(Folder, Number);
    if (FileExists(Newer)) DeleteFile(Newer);
    const std::string Older = MovieFileName(Folder, Number - 1);
    if (FileExists(Older)) RenameFile(Older, Newer);
  }
}
