// Arbitrary bytes as an AVI file through the AVI file services, as the album reads a movie's
// still frames: the stream opens or not, frames decode or not, and nothing crashes, leaks or
// allocates without bound. A frame that comes back is a well-formed packed bitmap. The same bytes
// as a movie left unfinished go through the repair, which leaves either an indexed movie or
// an error.
#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <string>

#include "platform/capture/avifile.h"
#include "platform/capture/avirepair.h"
#include "platform/capture/aviscan.h"
#include "platform/capture/moviefile.h"
#include "platform/capture/videoformat.h"

namespace {

void CheckFrame(const void* Frame, LONG Width, LONG Height) {
  if (!Frame) return;
  const auto* Header = static_cast<const BITMAPINFOHEADER*>(Frame);
  if (Header->biSize != 40 || Header->biBitCount != 24 || Header->biCompression != BI_RGB ||
      Header->biWidth != Width || Header->biHeight != Height ||
      Header->biSizeImage != VideoRowStride(Width, 24) * DWORD(Height))
    std::abort();
  // The whole image must be there to read.
  const auto* Bytes = static_cast<const uint8_t*>(Frame);
  volatile uint8_t Last = Bytes[40 + Header->biSizeImage - 1];
  (void)Last;
}

// A file in memory holding the bytes; -1 when it cannot be made.
int MemoryFile(const uint8_t* Data, size_t Size) {
  const int Descriptor = memfd_create("avi_file", MFD_CLOEXEC);
  if (Descriptor < 0) return -1;
  for (size_t Written = 0; Written < Size;) {
    const ssize_t Result = write(Descriptor, Data + Written, Size - Written);
    if (Result <= 0) {
      close(Descriptor);
      return -1;
    }
    Written += size_t(Result);
  }
  return Descriptor;
}

void Repair(const uint8_t* Data, size_t Size) {
  const int Descriptor = MemoryFile(Data, Size);
  if (Descriptor < 0) return;
  TMovieFile File;
  if (File.Open("/proc/self/fd/" + std::to_string(Descriptor), TMovieFile::TMode::Existing)) {
    int64_t Frames = 0;
    std::string Error;
    if (RepairMovieFile(File, Frames, Error)) {
      TAviLayout Layout;
      const TAviReadAt Read = [&File](int64_t Offset, void* Bytes, size_t Count) {
        return File.Read(Offset, Bytes, Count);
      };
      if (Frames < 0 || !ScanAviFile(Read, File.Size(), 0, false, Layout) || !Layout.Indexed) std::abort();
    }
  }
  close(Descriptor);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
  Repair(Data, Size);
  const int Descriptor = MemoryFile(Data, Size);
  if (Descriptor < 0) return 0;
  const std::string Path = "/proc/self/fd/" + std::to_string(Descriptor);
  PAVISTREAM Stream = nullptr;
  if (AVIStreamOpenFromFileA(&Stream, Path.c_str(), streamtypeVIDEO, 0, OF_SHARE_DENY_WRITE, nullptr) == AVIERR_OK) {
    const LONG Length = AVIStreamLength(Stream);
    if (PGETFRAME Reader = AVIStreamGetFrameOpen(Stream, nullptr)) {
      // The first frame twice (the second from the reader's cache), the last, the middle, one
      // past the end, and back to the start after a seek.
      const void* First = AVIStreamGetFrame(Reader, 0);
      LONG Width = 0, Height = 0;
      if (First) {
        Width = static_cast<const BITMAPINFOHEADER*>(First)->biWidth;
        Height = static_cast<const BITMAPINFOHEADER*>(First)->biHeight;
      }
      for (const LONG Position : {0, Length - 1, Length / 2, Length, 1, 0}) {
        const void* Frame = AVIStreamGetFrame(Reader, Position);
        if (Frame && !First) {
          Width = static_cast<const BITMAPINFOHEADER*>(Frame)->biWidth;
          Height = static_cast<const BITMAPINFOHEADER*>(Frame)->biHeight;
          First = Frame;
        }
        CheckFrame(Frame, Width, Height);
      }
      AVIStreamGetFrameClose(Reader);
    }
    AVIStreamRelease(Stream);
  }
  close(Descriptor);
  return 0;
}
