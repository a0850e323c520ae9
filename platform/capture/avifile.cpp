#include "platform/capture/avifile.h"

#include <atomic>
#include <cstring>
#include <mutex>

#include "platform/capture/avireader.h"

struct IAVIStream {
  std::atomic<ULONG> References{1};
  // The reader is used by one frame reader at a time; the lock lets readers on different threads
  // share a stream safely.
  std::mutex Mutex;
  TAviReader Reader;
};

struct IGetFrame {
  PAVISTREAM Stream = nullptr;
};

void AVIFileInit() {}
void AVIFileExit() {}

HRESULT AVIStreamOpenFromFileA(PAVISTREAM* Stream, LPCSTR FileName, DWORD Type, LONG Param,
                               UINT Mode, const void* ClassHandler) {
  if (!Stream) return AVIERR_BADPARAM;
  *Stream = nullptr;
  if (!FileName || Param < 0) return AVIERR_BADPARAM;
  if (Type != streamtypeVIDEO && Type != 0) return AVIERR_NODATA;
  auto Opened = new IAVIStream;
  if (!Opened->Reader.Open(FileName, int(Param))) {
    delete Opened;
    return AVIERR_FILEOPEN;
  }
  *Stream = Opened;
  return AVIERR_OK;
}

ULONG AVIStreamAddRef(PAVISTREAM Stream) {
  if (!Stream) return 0;
  return ++Stream->References;
}

ULONG AVIStreamRelease(PAVISTREAM Stream) {
  if (!Stream) return 0;
  const ULONG Left = --Stream->References;
  if (Left == 0) delete Stream;
  return Left;
}

LONG AVIStreamStart(PAVISTREAM Stream) { return Stream ? 0 : -1; }

LONG AVIStreamLength(PAVISTREAM Stream) {
  if (!Stream) return -1;
  std::lock_guard Lock(Stream->Mutex);
  const int64_t Count = Stream->Reader.FrameCount();
  return Count > INT32_MAX ? INT32_MAX : LONG(Count);
}

PGETFRAME AVIStreamGetFrameOpen(PAVISTREAM Stream, LPBITMAPINFOHEADER Wanted) {
  if (!Stream) return nullptr;
  if (Wanted && Wanted != AVIGETFRAMEF_BESTDISPLAYFMT) {
    BITMAPINFOHEADER Header;
    std::memcpy(&Header, Wanted, sizeof Header);
    std::lock_guard Lock(Stream->Mutex);
    if (Header.biCompression != BI_RGB || Header.biBitCount != 24 ||
        Header.biWidth != Stream->Reader.Width() || Header.biHeight != Stream->Reader.Height())
      return nullptr;
  }
  AVIStreamAddRef(Stream);
  auto Reader = new IGetFrame;
  Reader->Stream = Stream;
  return Reader;
}

LPVOID AVIStreamGetFrame(PGETFRAME Reader, LONG Position) {
  if (!Reader) return nullptr;
  std::lock_guard Lock(Reader->Stream->Mutex);
  return const_cast<uint8_t*>(Reader->Stream->Reader.FrameAt(Position));
}

HRESULT AVIStreamGetFrameClose(PGETFRAME Reader) {
  if (!Reader) return AVIERR_BADHANDLE;
  AVIStreamRelease(Reader->Stream);
  delete Reader;
  return AVIERR_OK;
}
