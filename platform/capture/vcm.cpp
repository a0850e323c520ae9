#include "platform/capture/vcm.h"

#include <cstring>
#include <map>
#include <memory>
#include <mutex>

#include "platform/capture/decompressor.h"

namespace {

// Open decompressors by handle. A handle value is never handed out twice, so a stale handle
// finds nothing instead of another caller's decompressor.
struct TDecompressorTable {
  std::mutex Mutex;
  std::map<uintptr_t, std::unique_ptr<TDecompressor>> Open;
  uintptr_t NextHandle = 0x1000;
};

TDecompressorTable& Table() {
  static TDecompressorTable Instance;
  return Instance;
}

// The decompressor behind a handle. Only one thread uses a handle at a time, and only ICClose
// removes it, so the pointer stays good for the call.
TDecompressor* Find(HIC Handle) {
  TDecompressorTable& Decompressors = Table();
  std::lock_guard Lock(Decompressors.Mutex);
  const auto Found = Decompressors.Open.find(reinterpret_cast<uintptr_t>(Handle));
  return Found == Decompressors.Open.end() ? nullptr : Found->second.get();
}

// Callers hand BITMAPINFO records; only their header is read, copied out so that an unaligned
// record is fine.
bool ReadHeader(DWORD_PTR Address, BITMAPINFOHEADER& Header) {
  if (Address == 0) return false;
  std::memcpy(&Header, reinterpret_cast<const void*>(Address), sizeof Header);
  return Header.biSize >= sizeof(BITMAPINFOHEADER);
}

void CopyText(WCHAR* Target, size_t Capacity, const char* Text) {
  size_t Index = 0;
  for (; Text[Index] && Index + 1 < Capacity; ++Index) Target[Index] = WCHAR(uint8_t(Text[Index]));
  Target[Index] = 0;
}

}  // namespace

HIC ICLocate(DWORD Type, DWORD Handler, LPBITMAPINFOHEADER Input, LPBITMAPINFOHEADER Output,
             WORD Mode) {
  if (Type != ICTYPE_VIDEO && Type != 0) return nullptr;
  if (Mode != ICMODE_DECOMPRESS && Mode != ICMODE_FASTDECOMPRESS && Mode != ICMODE_QUERY) return nullptr;
  BITMAPINFOHEADER In{};
  if (!ReadHeader(DWORD_PTR(Input), In) || !TDecompressor::Accepts(In)) return nullptr;
  if (Handler != 0 && Handler != In.biCompression) return nullptr;
  BITMAPINFOHEADER Out{};
  if (Output && (!ReadHeader(DWORD_PTR(Output), Out) || !TDecompressor::Produces(In, Out))) return nullptr;
  TDecompressorTable& Decompressors = Table();
  std::lock_guard Lock(Decompressors.Mutex);
  const uintptr_t Handle = Decompressors.NextHandle++;
  Decompressors.Open[Handle] = std::make_unique<TDecompressor>(In);
  return reinterpret_cast<HIC>(Handle);
}

LRESULT ICSendMessage(HIC Handle, UINT Message, DWORD_PTR Param1, DWORD_PTR Param2) {
  TDecompressor* Decompressor = Find(Handle);
  if (!Decompressor) return ICERR_BADHANDLE;
  BITMAPINFOHEADER Input{}, Output{};
  switch (Message) {
    case ICM_DECOMPRESS_GET_FORMAT: {
      if (!ReadHeader(Param1, Input) || !TDecompressor::Accepts(Input)) return ICERR_BADFORMAT;
      if (Param2 == 0) return LRESULT(sizeof(BITMAPINFOHEADER));
      const BITMAPINFOHEADER Proposed = TDecompressor::ProposedOutput(Input);
      std::memcpy(reinterpret_cast<void*>(Param2), &Proposed, sizeof Proposed);
      return ICERR_OK;
    }
    case ICM_DECOMPRESS_QUERY:
      if (!ReadHeader(Param1, Input) || !TDecompressor::Accepts(Input)) return ICERR_BADFORMAT;
      if (Param2 != 0 && (!ReadHeader(Param2, Output) || !TDecompressor::Produces(Input, Output)))
        return ICERR_BADFORMAT;
      return ICERR_OK;
    case ICM_DECOMPRESS_BEGIN:
      if (!ReadHeader(Param1, Input)) return ICERR_BADFORMAT;
      Output = TDecompressor::ProposedOutput(Input);
      if (Param2 != 0 && !ReadHeader(Param2, Output)) return ICERR_BADFORMAT;
      return Decompressor->Begin(Input, Output) ? ICERR_OK : ICERR_BADFORMAT;
    case ICM_DECOMPRESS_END:
      Decompressor->End();
      return ICERR_OK;
    case ICM_DECOMPRESS: {
      if (Param1 == 0 || Param2 < sizeof(ICDECOMPRESS)) return ICERR_BADPARAM;
      ICDECOMPRESS Request;
      std::memcpy(&Request, reinterpret_cast<const void*>(Param1), sizeof Request);
      return LRESULT(int32_t(ICDecompress(Handle, Request.dwFlags, Request.lpbiInput, Request.lpInput,
                                          Request.lpbiOutput, Request.lpOutput)));
    }
    case ICM_GETINFO:
      return ICGetInfo(Handle, reinterpret_cast<ICINFO*>(Param1), DWORD(Param2));
    default: return ICERR_UNSUPPORTED;
  }
}

DWORD ICDecompress(HIC Handle, DWORD Flags, LPBITMAPINFOHEADER Format, LPVOID Data,
                   LPBITMAPINFOHEADER OutputFormat, LPVOID Bits) {
  TDecompressor* Decompressor = Find(Handle);
  if (!Decompressor) return DWORD(ICERR_BADHANDLE);
  // A frame that needs no picture costs nothing.
  if (Flags & (ICDECOMPRESS_NULLFRAME | ICDECOMPRESS_HURRYUP)) return DWORD(ICERR_OK);
  BITMAPINFOHEADER Input{}, Output{};
  if (!ReadHeader(DWORD_PTR(Format), Input) || !ReadHeader(DWORD_PTR(OutputFormat), Output) ||
      !TDecompressor::Produces(Input, Output))
    return DWORD(ICERR_BADFORMAT);
  if (!Decompressor->Decompress(Input, static_cast<const uint8_t*>(Data), Output,
                                static_cast<uint8_t*>(Bits)))
    return DWORD(ICERR_ERROR);
  return DWORD(ICERR_OK);
}

LRESULT ICClose(HIC Handle) {
  TDecompressorTable& Decompressors = Table();
  std::unique_ptr<TDecompressor> Closed;
  {
    std::lock_guard Lock(Decompressors.Mutex);
    const auto Found = Decompressors.Open.find(reinterpret_cast<uintptr_t>(Handle));
    if (Found == Decompressors.Open.end()) return ICERR_BADHANDLE;
    Closed = std::move(Found->second);
    Decompressors.Open.erase(Found);
  }
  return ICERR_OK;
}

LRESULT ICGetInfo(HIC Handle, ICINFO* Info, DWORD Size) {
  TDecompressor* Decompressor = Find(Handle);
  if (!Decompressor || !Info || Size == 0) return 0;
  ICINFO Filled{};
  Filled.dwSize = sizeof(ICINFO);
  Filled.fccType = ICTYPE_VIDEO;
  Filled.fccHandler = Decompressor->Located().biCompression;
  Filled.dwVersion = 1;
  Filled.dwVersionICM = ICVERSION;
  const std::string Code = FourCCToString(Filled.fccHandler);
  CopyText(Filled.szName, 16, Code.c_str());
  CopyText(Filled.szDescription, 128, (Code + " decompressor").c_str());
  CopyText(Filled.szDriver, 128, "korcam");
  const DWORD Copied = Size < sizeof Filled ? Size : DWORD(sizeof Filled);
  std::memcpy(Info, &Filled, Copied);
  return LRESULT(Copied);
}
