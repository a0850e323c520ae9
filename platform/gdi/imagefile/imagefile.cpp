#include "platform/gdi/imagefile/imagefile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "platform/gdi/imagefile/bmpfile.h"
#include "platform/gdi/imagefile/giffile.h"
#include "platform/gdi/imagefile/icofile.h"
#include "platform/gdi/imagefile/jpegfile.h"
#include "platform/gdi/imagefile/pngfile.h"
#include "platform/gdi/imagefile/tifffile.h"

namespace {

bool StartsWith(std::span<const uint8_t> Bytes, std::initializer_list<uint8_t> Prefix) {
  if (Bytes.size() < Prefix.size()) return false;
  return std::equal(Prefix.begin(), Prefix.end(), Bytes.begin());
}

std::string LowerExtension(const std::string& FileName) {
  const size_t Slash = FileName.find_last_of('/');
  const size_t Dot = FileName.find_last_of('.');
  if (Dot == std::string::npos || (Slash != std::string::npos && Dot < Slash)) return {};
  std::string Extension = FileName.substr(Dot);
  for (char& C : Extension)
    if (C >= 'A' && C <= 'Z') C = char(C - 'A' + 'a');
  return Extension;
}

// Closes a descriptor on every path out of a function.
struct TFileDescriptor {
  int Handle = -1;
  ~TFileDescriptor() {
    if (Handle >= 0) ::close(Handle);
  }
};

}  // namespace

TImageFileFormat DetectImageFormat(std::span<const uint8_t> Bytes) {
  if (StartsWith(Bytes, {'B', 'M'})) return TImageFileFormat::Bmp;
  if (StartsWith(Bytes, {0xFF, 0xD8, 0xFF})) return TImageFileFormat::Jpeg;
  if (StartsWith(Bytes, {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A})) return TImageFileFormat::Png;
  if (StartsWith(Bytes, {'G', 'I', 'F', '8', '7', 'a'}) || StartsWith(Bytes, {'G', 'I', 'F', '8', '9', 'a'}))
    return TImageFileFormat::Gif;
  // Classic and big TIFF in either byte order.
  if (StartsWith(Bytes, {'I', 'I', 42, 0}) || StartsWith(Bytes, {'M', 'M', 0, 42}) ||
      StartsWith(Bytes, {'I', 'I', 43, 0}) || StartsWith(Bytes, {'M', 'M', 0, 43}))
    return TImageFileFormat::Tiff;
  // Icon or cursor directory with at least one entry.
  if ((StartsWith(Bytes, {0, 0, 1, 0}) || StartsWith(Bytes, {0, 0, 2, 0})) && Bytes.size() >= 6 &&
      (Bytes[4] | Bytes[5]) != 0)
    return TImageFileFormat::Ico;
  return TImageFileFormat::Unknown;
}

TImageFileFormat ImageFormatFromExtension(const std::string& FileName) {
  const std::string Extension = LowerExtension(FileName);
  if (Extension == ".bmp" || Extension == ".dib") return TImageFileFormat::Bmp;
  if (Extension == ".jpg" || Extension == ".jpeg" || Extension == ".jpe" || Extension == ".jfif")
    return TImageFileFormat::Jpeg;
  if (Extension == ".png") return TImageFileFormat::Png;
  if (Extension == ".gif") return TImageFileFormat::Gif;
  if (Extension == ".tif" || Extension == ".tiff") return TImageFileFormat::Tiff;
  if (Extension == ".ico" || Extension == ".cur") return TImageFileFormat::Ico;
  return TImageFileFormat::Unknown;
}

TBgraImage DecodeImage(std::span<const uint8_t> Bytes, TImageFileFormat Format, const TImageLimits& Limits) {
  if (Format == TImageFileFormat::Unknown) Format = DetectImageFormat(Bytes);
  switch (Format) {
    case TImageFileFormat::Bmp:
      return DecodeBmp(Bytes, nullptr, Limits);
    case TImageFileFormat::Jpeg:
      return DecodeJpeg(Bytes, Limits);
    case TImageFileFormat::Png:
      return DecodePng(Bytes, Limits);
    case TImageFileFormat::Gif:
      return DecodeGif(Bytes, Limits);
    case TImageFileFormat::Tiff:
      return DecodeTiff(Bytes, Limits);
    case TImageFileFormat::Ico:
      return DecodeIco(Bytes, -1, Limits);
    case TImageFileFormat::Unknown:
      break;
  }
  throw EInvalidGraphic("Unknown picture format");
}

TBgraImage LoadImageFile(const std::string& FileName, TImageFileFormat Format, const TImageLimits& Limits) {
  const std::vector<uint8_t> Bytes = ReadFileBytes(FileName);
  return DecodeImage(Bytes, Format, Limits);
}

std::vector<uint8_t> ReadFileBytes(const std::string& FileName) {
  auto Fail = [&](int Error) -> std::vector<uint8_t> {
    throw EFOpenError("Cannot open file \"" + FileName + "\". " + std::strerror(Error));
  };
  TFileDescriptor File{::open(FileName.c_str(), O_RDONLY | O_CLOEXEC)};
  if (File.Handle < 0) return Fail(errno);
  struct stat Status;
  if (::fstat(File.Handle, &Status) != 0) return Fail(errno);
  if (S_ISDIR(Status.st_mode)) return Fail(EISDIR);
  std::vector<uint8_t> Bytes;
  Bytes.reserve(Status.st_size > 0 ? size_t(Status.st_size) : 0);
  uint8_t Chunk[65536];
  for (;;) {
    const ssize_t Count = ::read(File.Handle, Chunk, sizeof(Chunk));
    if (Count < 0) {
      if (errno == EINTR) continue;
      return Fail(errno);
    }
    if (Count == 0) break;
    Bytes.insert(Bytes.end(), Chunk, Chunk + Count);
  }
  return Bytes;
}

void WriteFileBytes(const std::string& FileName, std::span<const uint8_t> Bytes) {
  const std::string Temporary = FileName + ".part";
  TFileDescriptor File{::open(Temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666)};
  if (File.Handle < 0)
    throw EFCreateError("Cannot create file \"" + FileName + "\". " + std::strerror(errno));
  auto Fail = [&](int Error) {
    ::close(File.Handle);
    File.Handle = -1;
    ::unlink(Temporary.c_str());
    throw EWriteError("Cannot write file \"" + FileName + "\". " + std::strerror(Error));
  };
  size_t Done = 0;
  while (Done < Bytes.size()) {
    const ssize_t Count = ::write(File.Handle, Bytes.data() + Done, Bytes.size() - Done);
    if (Count < 0) {
      if (errno == EINTR) continue;
      Fail(errno);
    }
    Done += size_t(Count);
  }
  const int Handle = File.Handle;
  File.Handle = -1;
  if (::close(Handle) != 0) {
    const int Error = errno;
    ::unlink(Temporary.c_str());
    throw EWriteError("Cannot write file \"" + FileName + "\". " + std::strerror(Error));
  }
  if (::rename(Temporary.c_str(), FileName.c_str()) != 0) {
    const int Error = errno;
    ::unlink(Temporary.c_str());
    throw EWriteError("Cannot write file \"" + FileName + "\". " + std::strerror(Error));
  }
}
