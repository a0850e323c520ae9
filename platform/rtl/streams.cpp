#include "platform/rtl/streams.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <system_error>
#include <vector>

namespace {

// Memory streams grow in steps of 8 KB, so small writes do not reallocate every time.
constexpr int64_t MemoryDelta = 0x2000;
// Far beyond any frame or file the program keeps in memory; a larger request is a corrupt size,
// refused before it reaches the allocator.
constexpr int64_t MaxMemoryStreamSize = int64_t(1) << 40;

std::string OsReason(int Error) {
  return std::error_code(Error, std::generic_category()).message();
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// TStream

int64_t TStream::Size() {
  int64_t Saved = Seek(0, soFromCurrent);
  int64_t Result = Seek(0, soFromEnd);
  Seek(Saved, soFromBeginning);
  return Result;
}

void TStream::SetSize(int64_t NewSize) {
  Seek(NewSize, soFromBeginning);
}

void TStream::ReadBuffer(void* Buffer, int32_t Count) {
  if (Count != 0 && Read(Buffer, Count) != Count) throw EReadError("Stream read error");
}

void TStream::WriteBuffer(const void* Buffer, int32_t Count) {
  if (Count != 0 && Write(Buffer, Count) != Count) throw EWriteError("Stream write error");
}

int64_t TStream::CopyFrom(TStream& Source, int64_t Count) {
  if (Count == 0) {
    Source.SetPosition(0);
    Count = Source.Size();
  }
  const int64_t Result = Count;
  constexpr int32_t ChunkSize = 0xF000;
  std::vector<char> Chunk(static_cast<size_t>(std::min<int64_t>(std::max<int64_t>(Count, 1), ChunkSize)));
  while (Count > 0) {
    int32_t Piece = static_cast<int32_t>(std::min<int64_t>(Count, ChunkSize));
    Source.ReadBuffer(Chunk.data(), Piece);
    WriteBuffer(Chunk.data(), Piece);
    Count -= Piece;
  }
  return Result;
}

// ---------------------------------------------------------------------------------------------
// TCustomMemoryStream

void TCustomMemoryStream::SetPointer(void* Memory, int64_t Size) {
  FMemory = Memory;
  FSize = Size;
}

int32_t TCustomMemoryStream::Read(void* Buffer, int32_t Count) {
  if (Count <= 0 || FPosition >= FSize) return 0;
  int64_t Available = std::min<int64_t>(FSize - FPosition, Count);
  std::memcpy(Buffer, static_cast<const char*>(FMemory) + FPosition, static_cast<size_t>(Available));
  FPosition += Available;
  return static_cast<int32_t>(Available);
}

int64_t TCustomMemoryStream::Seek(int64_t Offset, TSeekOrigin Origin) {
  int64_t Base = Origin == soFromCurrent ? FPosition : Origin == soFromEnd ? FSize : 0;
  int64_t Target = Base + Offset;
  if (Target < 0) return -1;
  FPosition = Target;
  return FPosition;
}

void TCustomMemoryStream::SaveToStream(TStream& Stream) {
  int64_t Remaining = FSize;
  const char* Source = static_cast<const char*>(FMemory);
  while (Remaining > 0) {
    int32_t Piece = static_cast<int32_t>(std::min<int64_t>(Remaining, 0x40000000));
    Stream.WriteBuffer(Source, Piece);
    Source += Piece;
    Remaining -= Piece;
  }
}

void TCustomMemoryStream::SaveToFile(const std::string& FileName) {
  TFileStream File(FileName, fmCreate);
  SaveToStream(File);
}

// ---------------------------------------------------------------------------------------------
// TMemoryStream

TMemoryStream::~TMemoryStream() {
  std::free(OwnedMemory());
}

void* TMemoryStream::Realloc(int64_t& NewCapacity) {
  if (NewCapacity > 0) NewCapacity = (NewCapacity + MemoryDelta - 1) & ~(MemoryDelta - 1);
  void* Current = OwnedMemory();
  if (NewCapacity == FCapacity) return Current;
  if (NewCapacity == 0) {
    std::free(Current);
    return nullptr;
  }
  void* Result =
      NewCapacity > MaxMemoryStreamSize ? nullptr : std::realloc(Current, static_cast<size_t>(NewCapacity));
  if (!Result) throw EStreamError("Out of memory while expanding memory stream");
  return Result;
}

void TMemoryStream::SetCapacity(int64_t NewCapacity) {
  if (NewCapacity < 0 || NewCapacity > MaxMemoryStreamSize)
    throw EStreamError("Out of memory while expanding memory stream");
  // Memory placed by SetPointer belongs to someone else: move its bytes into a block of our own.
  void* Foreign = FCapacity == 0 ? Memory() : nullptr;
  void* Block = Realloc(NewCapacity);
  if (Foreign && Block) std::memcpy(Block, Foreign, static_cast<size_t>(std::min(Size(), NewCapacity)));
  FCapacity = Block ? NewCapacity : 0;
  SetPointer(Block, std::min(Size(), FCapacity));
}

void TMemoryStream::SetSize(int64_t NewSize) {
  if (NewSize < 0) throw EStreamError("Out of memory while expanding memory stream");
  SetCapacity(NewSize);
  SetPointer(Memory(), NewSize);
  if (FPosition > NewSize) FPosition = NewSize;
}

void TMemoryStream::Clear() {
  SetCapacity(0);
  SetPointer(nullptr, 0);
  FPosition = 0;
}

int32_t TMemoryStream::Write(const void* Buffer, int32_t Count) {
  if (Count <= 0) return 0;
  int64_t End = FPosition + Count;
  if (End > Size()) {
    if (End > FCapacity || FCapacity == 0) {
      // Grow by a quarter more than asked, so a run of appends reallocates rarely.
      int64_t Wanted = End > 0x10000 ? End + End / 4 : End;
      SetCapacity(Wanted);
    }
    SetPointer(Memory(), End);
  }
  std::memcpy(static_cast<char*>(Memory()) + FPosition, Buffer, static_cast<size_t>(Count));
  FPosition = End;
  return Count;
}

void TMemoryStream::LoadFromStream(TStream& Stream) {
  Stream.SetPosition(0);
  int64_t Count = Stream.Size();
  SetSize(Count);
  char* Target = static_cast<char*>(Memory());
  int64_t Done = 0;
  while (Done < Count) {
    int32_t Piece = static_cast<int32_t>(std::min<int64_t>(Count - Done, 0x40000000));
    Stream.ReadBuffer(Target + Done, Piece);
    Done += Piece;
  }
  FPosition = 0;
}

void TMemoryStream::LoadFromFile(const std::string& FileName) {
  TFileStream File(FileName, fmOpenRead | fmShareDenyWrite);
  LoadFromStream(File);
}

// ---------------------------------------------------------------------------------------------
// TFileStream

TFileStream::TFileStream(const std::string& FileName, uint16_t Mode) : FFileName(FileName) {
  if (Mode == fmCreate || (Mode & 0xFF00) == fmCreate) {
    FHandle = ::open(FileName.c_str(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (FHandle < 0) throw EFCreateError("Cannot create file \"" + FileName + "\". " + OsReason(errno));
    return;
  }
  int Flags = O_CLOEXEC;
  switch (Mode & 0x0003) {
    case fmOpenWrite:
      Flags |= O_WRONLY;
      break;
    case fmOpenReadWrite:
      Flags |= O_RDWR;
      break;
    default:
      Flags |= O_RDONLY;
      break;
  }
  FHandle = ::open(FileName.c_str(), Flags);
  int Error = errno;
  if (FHandle >= 0) {
    // A folder opens for reading on Linux; as a file stream it is an error, as elsewhere.
    struct stat Info {};
    if (fstat(FHandle, &Info) == 0 && S_ISDIR(Info.st_mode)) {
      ::close(FHandle);
      FHandle = -1;
      Error = EISDIR;
    }
  }
  if (FHandle < 0) throw EFOpenError("Cannot open file \"" + FileName + "\". " + OsReason(Error));
}

TFileStream::~TFileStream() {
  if (FHandle >= 0) ::close(FHandle);
}

int32_t TFileStream::Read(void* Buffer, int32_t Count) {
  int32_t Done = 0;
  while (Done < Count) {
    ssize_t Got = ::read(FHandle, static_cast<char*>(Buffer) + Done, static_cast<size_t>(Count - Done));
    if (Got < 0 && errno == EINTR) continue;
    if (Got <= 0) break;
    Done += static_cast<int32_t>(Got);
  }
  return Done;
}

int32_t TFileStream::Write(const void* Buffer, int32_t Count) {
  int32_t Done = 0;
  while (Done < Count) {
    ssize_t Put =
        ::write(FHandle, static_cast<const char*>(Buffer) + Done, static_cast<size_t>(Count - Done));
    if (Put < 0 && errno == EINTR) continue;
    if (Put <= 0) break;
    Done += static_cast<int32_t>(Put);
  }
  return Done;
}

int64_t TFileStream::Seek(int64_t Offset, TSeekOrigin Origin) {
  int Whence = Origin == soFromCurrent ? SEEK_CUR : Origin == soFromEnd ? SEEK_END : SEEK_SET;
  return static_cast<int64_t>(::lseek(FHandle, static_cast<off_t>(Offset), Whence));
}

void TFileStream::SetSize(int64_t NewSize) {
  if (NewSize < 0 || ::ftruncate(FHandle, static_cast<off_t>(NewSize)) != 0)
    throw EWriteError("Stream write error");
  Seek(NewSize, soFromBeginning);
}
