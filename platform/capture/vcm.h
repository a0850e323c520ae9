#pragma once
// The compression manager's decompression calls, over FFmpeg's decoders and libswscale.
//
// Decompressors exist for MJPG, YUY2 (and YUYV), UYVY, Y41P and grey (Y8, Y800, GREY); each
// writes 24- or 32-bit uncompressed rows of the input's size, bottom-up (or top-down for an
// output header with a negative height). The proposed output (ICM_DECOMPRESS_GET_FORMAT) is
// 32-bit for "YUY2", "UYVY", "Y41P" and "Y8  ", whose frames callers hold in 32-bit buffers,
// and 24-bit for every other code. Uncompressed input has no decompressor here.
//
// Results are ICERR_OK (0) or a negative ICERR_ code. A handle is used by one thread at a time;
// different handles may be used on different threads.

#include "platform/capture/fourcc.h"
#include "platform/gdi/bitmap.h"
#include "platform/rtl/wintypes.h"

KORCAM_DECLARE_HANDLE(HIC);

constexpr DWORD ICTYPE_VIDEO = mmioFOURCC('v', 'i', 'd', 'c');

constexpr WORD ICMODE_COMPRESS = 1;
constexpr WORD ICMODE_DECOMPRESS = 2;
constexpr WORD ICMODE_FASTDECOMPRESS = 3;
constexpr WORD ICMODE_QUERY = 4;

constexpr LRESULT ICERR_OK = 0;
constexpr LRESULT ICERR_UNSUPPORTED = -1;
constexpr LRESULT ICERR_BADFORMAT = -2;
constexpr LRESULT ICERR_MEMORY = -3;
constexpr LRESULT ICERR_INTERNAL = -4;
constexpr LRESULT ICERR_BADFLAGS = -5;
constexpr LRESULT ICERR_BADPARAM = -6;
constexpr LRESULT ICERR_BADSIZE = -7;
constexpr LRESULT ICERR_BADHANDLE = -8;
constexpr LRESULT ICERR_ERROR = -100;

constexpr UINT ICM_USER = 0x4000;
constexpr UINT ICM_GETINFO = 0x5000 + 2;  // ICM_RESERVED_LOW + 2
constexpr UINT ICM_DECOMPRESS_GET_FORMAT = ICM_USER + 10;
constexpr UINT ICM_DECOMPRESS_QUERY = ICM_USER + 11;
constexpr UINT ICM_DECOMPRESS_BEGIN = ICM_USER + 12;
constexpr UINT ICM_DECOMPRESS = ICM_USER + 13;
constexpr UINT ICM_DECOMPRESS_END = ICM_USER + 14;

constexpr DWORD ICDECOMPRESS_HURRYUP = 0x80000000;
constexpr DWORD ICDECOMPRESS_UPDATE = 0x40000000;
constexpr DWORD ICDECOMPRESS_PREROLL = 0x20000000;
constexpr DWORD ICDECOMPRESS_NULLFRAME = 0x10000000;
constexpr DWORD ICDECOMPRESS_NOTKEYFRAME = 0x08000000;

// The record of ICM_DECOMPRESS (ICDecompress builds it).
struct ICDECOMPRESS {
  DWORD dwFlags;
  LPBITMAPINFOHEADER lpbiInput;
  LPVOID lpInput;
  LPBITMAPINFOHEADER lpbiOutput;
  LPVOID lpOutput;
  DWORD ckid;
};

struct ICINFO {
  DWORD dwSize;
  DWORD fccType;
  DWORD fccHandler;
  DWORD dwFlags;
  DWORD dwVersion;
  DWORD dwVersionICM;
  WCHAR szName[16];
  WCHAR szDescription[128];
  WCHAR szDriver[128];
};

constexpr DWORD ICVERSION = 0x0104;

// A decompressor for frames of Input (into Output, when given: otherwise into its proposal).
// Type must be ICTYPE_VIDEO or 0, Handler the input's code or 0 (any), Mode ICMODE_DECOMPRESS,
// ICMODE_FASTDECOMPRESS or ICMODE_QUERY. Null when there is none.
HIC ICLocate(DWORD Type, DWORD Handler, LPBITMAPINFOHEADER Input, LPBITMAPINFOHEADER Output,
             WORD Mode);
// ICM_DECOMPRESS_GET_FORMAT (Param1 the input BITMAPINFO, Param2 the output to fill or 0 for
// the size needed), ICM_DECOMPRESS_QUERY, _BEGIN (input, output; output 0 for the proposal),
// ICM_DECOMPRESS (ICDECOMPRESS*, its size), _END, ICM_GETINFO (ICINFO*, its size).
LRESULT ICSendMessage(HIC Decompressor, UINT Message, DWORD_PTR Param1, DWORD_PTR Param2);
// One frame: Data in the Format to Bits in OutputFormat. ICERR_OK, or ICERR_BADFORMAT for
// formats the decompressor does not take, ICERR_ERROR for a frame it cannot read.
DWORD ICDecompress(HIC Decompressor, DWORD Flags, LPBITMAPINFOHEADER Format, LPVOID Data,
                   LPBITMAPINFOHEADER OutputFormat, LPVOID Bits);
LRESULT ICClose(HIC Decompressor);
// Fills Info (up to Size bytes); the bytes filled, 0 for an invalid handle.
LRESULT ICGetInfo(HIC Decompressor, ICINFO* Info, DWORD Size);

inline LRESULT ICDecompressGetFormat(HIC Decompressor, const void* Input, void* Output) {
  return ICSendMessage(Decompressor, ICM_DECOMPRESS_GET_FORMAT, DWORD_PTR(Input), DWORD_PTR(Output));
}
inline LRESULT ICDecompressGetFormatSize(HIC Decompressor, const void* Input) {
  return ICDecompressGetFormat(Decompressor, Input, nullptr);
}
inline LRESULT ICDecompressQuery(HIC Decompressor, const void* Input, const void* Output) {
  return ICSendMessage(Decompressor, ICM_DECOMPRESS_QUERY, DWORD_PTR(Input), DWORD_PTR(Output));
}
inline LRESULT ICDecompressBegin(HIC Decompressor, const void* Input, const void* Output) {
  return ICSendMessage(Decompressor, ICM_DECOMPRESS_BEGIN, DWORD_PTR(Input), DWORD_PTR(Output));
}
inline LRESULT ICDecompressEnd(HIC Decompressor) {
  return ICSendMessage(Decompressor, ICM_DECOMPRESS_END, 0, 0);
}
