#pragma once
// The AVI file services for still frames of a movie: open a stream of a file, open a frame
// reader on it, take the frame at a position as a packed bitmap, close both. Streams are
// reference counted: a frame reader holds its stream, so the stream's memory goes with the last
// of AVIStreamRelease and AVIStreamGetFrameClose.

#include "platform/capture/fourcc.h"
#include "platform/gdi/bitmap.h"
#include "platform/rtl/wintypes.h"

struct IAVIStream;
struct IGetFrame;
using PAVISTREAM = IAVIStream*;
using PGETFRAME = IGetFrame*;

constexpr DWORD streamtypeVIDEO = mmioFOURCC('v', 'i', 'd', 's');

constexpr UINT OF_READ = 0x0000;
constexpr UINT OF_SHARE_DENY_WRITE = 0x0020;

constexpr HRESULT AVIERR_OK = 0;
constexpr HRESULT MAKE_AVIERR(int Error) { return HRESULT(0x80040000u | DWORD(0x4000 + Error)); }
constexpr HRESULT AVIERR_UNSUPPORTED = MAKE_AVIERR(101);
constexpr HRESULT AVIERR_BADFORMAT = MAKE_AVIERR(102);
constexpr HRESULT AVIERR_MEMORY = MAKE_AVIERR(103);
constexpr HRESULT AVIERR_BADPARAM = MAKE_AVIERR(106);
constexpr HRESULT AVIERR_BADHANDLE = MAKE_AVIERR(108);
constexpr HRESULT AVIERR_FILEREAD = MAKE_AVIERR(109);
constexpr HRESULT AVIERR_FILEOPEN = MAKE_AVIERR(111);
constexpr HRESULT AVIERR_NODATA = MAKE_AVIERR(115);

// The frame reader's "whatever suits the display best" request.
inline const LPBITMAPINFOHEADER AVIGETFRAMEF_BESTDISPLAYFMT = reinterpret_cast<LPBITMAPINFOHEADER>(1);

// Nothing to set up or tear down here; kept for callers that bracket their use.
void AVIFileInit();
void AVIFileExit();

// Opens stream number Param (0: the first) of the given Type (streamtypeVIDEO; 0 for any) of an
// AVI file. Mode and ClassHandler are accepted and not needed. AVIERR_OK with *Stream set, or an
// error with *Stream null.
HRESULT AVIStreamOpenFromFileA(PAVISTREAM* Stream, LPCSTR FileName, DWORD Type, LONG Param,
                               UINT Mode, const void* ClassHandler);
inline HRESULT AVIStreamOpenFromFile(PAVISTREAM* Stream, LPCSTR FileName, DWORD Type, LONG Param,
                                     UINT Mode, const void* ClassHandler) {
  return AVIStreamOpenFromFileA(Stream, FileName, Type, Param, Mode, ClassHandler);
}
ULONG AVIStreamAddRef(PAVISTREAM Stream);
// Drops one reference; returns how many are left.
ULONG AVIStreamRelease(PAVISTREAM Stream);
LONG AVIStreamStart(PAVISTREAM Stream);
// Frames in the stream; -1 for a null stream.
LONG AVIStreamLength(PAVISTREAM Stream);

// A frame reader delivering 24-bit uncompressed frames. Wanted: null, AVIGETFRAMEF_BESTDISPLAYFMT
// or a header asking BI_RGB 24 at the stream's size; anything else gives null.
PGETFRAME AVIStreamGetFrameOpen(PAVISTREAM Stream, LPBITMAPINFOHEADER Wanted);
// The frame at Position as a packed bitmap (header, no colour table, rows), owned by the reader
// and valid until its next call; null outside the stream or for a frame that cannot be decoded.
LPVOID AVIStreamGetFrame(PGETFRAME Reader, LONG Position);
HRESULT AVIStreamGetFrameClose(PGETFRAME Reader);
