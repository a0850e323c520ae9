#include "platform/capture/moviefile.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <mutex>

namespace {

struct TDiskSpace {
  std::mutex Mutex;
  int64_t Bytes = -1;
};

TDiskSpace& DiskSpace() {
  static TDiskSpace Instance;
  return Instance;
}

// How many of Wanted bytes may be written at Offset of a file of Size bytes; takes the growth.
size_t Reserve(int64_t Offset, size_t Wanted, int64_t Size) {
  TDiskSpace& Space = DiskSpace();
  std::lock_guard Lock(Space.Mutex);
  if (Space.Bytes < 0) return Wanted;
  const int64_t Limit = Size + Space.Bytes;  // the file may grow up to here
  const size_t Allowed = Offset >= Limit ? 0 : size_t(std::min<int64_t>(int64_t(Wanted), Limit - Offset));
  Space.Bytes -= std::max<int64_t>(0, Offset + int64_t(Allowed) - Size);
  return Allowed;
}

void GiveBack(int64_t Bytes) {
  TDiskSpace& Space = DiskSpace();
  std::lock_guard Lock(Space.Mutex);
  if (Space.Bytes >= 0 && Bytes > 0) Space.Bytes += Bytes;
}

}  // namespace

void SetMovieDiskSpace(int64_t Bytes) {
  TDiskSpace& Space = DiskSpace();
  std::lock_guard Lock(Space.Mutex);
  Space.Bytes = Bytes < 0 ? -1 : Bytes;
}

TMovieFile::~TMovieFile() { Close(); }

bool TMovieFile::Fail(int Error) {
  FLastError = Error;
  return false;
}

bool TMovieFile::Open(const std::string& Path, TMode Mode) {
  Close();
  const int Flags = O_RDWR | O_CLOEXEC | (Mode == TMode::Create ? O_CREAT : 0);
  const int Descriptor = ::open(Path.c_str(), Flags, 0666);
  if (Descriptor < 0) return Fail(errno);
  // The lock first: a file another writer holds is left exactly as it is.
  if (::flock(Descriptor, LOCK_EX | LOCK_NB) != 0) {
    const int Error = errno;
    ::close(Descriptor);
    return Fail(Error);
  }
  struct stat Info {};
  if (fstat(Descriptor, &Info) != 0 || !S_ISREG(Info.st_mode)) {
    const int Error = errno ? errno : EINVAL;
    ::close(Descriptor);
    return Fail(Error);
  }
  FDescriptor = Descriptor;
  FPath = Path;
  FSize = Info.st_size;
  FLastError = 0;
  if (Mode == TMode::Create && FSize > 0 && !Truncate(0)) {
    const int Error = FLastError;
    Close();
    return Fail(Error);
  }
  return true;
}

void TMovieFile::Close() {
  if (FDescriptor >= 0) ::close(FDescriptor);  // the lock goes with it
  FDescriptor = -1;
  FSize = 0;
}

bool TMovieFile::Read(int64_t Offset, void* Data, size_t Size) const {
  auto* Bytes = static_cast<uint8_t*>(Data);
  while (Size > 0) {
    const ssize_t Got = ::pread(FDescriptor, Bytes, Size, off_t(Offset));
    if (Got < 0 && errno == EINTR) continue;
    if (Got <= 0) {
      FLastError = Got < 0 ? errno : EIO;
      return false;
    }
    Bytes += Got;
    Offset += Got;
    Size -= size_t(Got);
  }
  return true;
}

bool TMovieFile::Write(int64_t Offset, const void* Data, size_t Size) {
  if (FDescriptor < 0) return Fail(EBADF);
  const size_t Allowed = Reserve(Offset, Size, FSize);
  const auto* Bytes = static_cast<const uint8_t*>(Data);
  size_t Done = 0;
  while (Done < Allowed) {
    const ssize_t Put = ::pwrite(FDescriptor, Bytes + Done, Allowed - Done, off_t(Offset + int64_t(Done)));
    if (Put < 0 && errno == EINTR) continue;
    if (Put <= 0) {
      const int Error = Put < 0 ? errno : EIO;
      GiveBack(Offset + int64_t(Allowed) - std::max(FSize, Offset + int64_t(Done)));
      FSize = std::max(FSize, Offset + int64_t(Done));
      return Fail(Error);
    }
    Done += size_t(Put);
  }
  FSize = std::max(FSize, Offset + int64_t(Done));
  if (Allowed < Size) return Fail(ENOSPC);
  return true;
}

bool TMovieFile::Truncate(int64_t Size) {
  if (FDescriptor < 0) return Fail(EBADF);
  if (Size > FSize) {
    const size_t Needed = size_t(Size - FSize);
    const size_t Granted = Reserve(FSize, Needed, FSize);
    if (Granted < Needed) {
      GiveBack(int64_t(Granted));
      return Fail(ENOSPC);
    }
  }
  if (::ftruncate(FDescriptor, off_t(Size)) != 0) {
    const int Error = errno;
    if (Size > FSize) GiveBack(Size - FSize);
    return Fail(Error);
  }
  if (Size < FSize) GiveBack(FSize - Size);
  FSize = Size;
  return true;
}
