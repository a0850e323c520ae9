#pragma once
// Byte streams of the class library: the abstract TStream with its positioning and whole-buffer
// helpers, memory streams whose memory the caller may address directly, and file streams over a
// POSIX file descriptor. These are plain C++ classes; the object model lives a layer above.

#include <cstdint>
#include <string>

#include "platform/rtl/exceptions.h"

enum TSeekOrigin : uint16_t { soFromBeginning = 0, soFromCurrent = 1, soFromEnd = 2 };
inline constexpr TSeekOrigin soBeginning = soFromBeginning;
inline constexpr TSeekOrigin soCurrent = soFromCurrent;
inline constexpr TSeekOrigin soEnd = soFromEnd;

class TStream {
 public:
  TStream() = default;
  virtual ~TStream() = default;
  TStream(const TStream&) = delete;
  TStream& operator=(const TStream&) = delete;

  // Reads up to Count bytes at the position and moves past them; returns the number read
  // (0 at the end).
  virtual int32_t Read(void* Buffer, int32_t Count) = 0;
  // Writes Count bytes at the position and moves past them; returns the number written.
  virtual int32_t Write(const void* Buffer, int32_t Count) = 0;
  // Moves the position; returns the new position.
  virtual int64_t Seek(int64_t Offset, TSeekOrigin Origin) = 0;

  int64_t Position() { return Seek(0, soFromCurrent); }
  void SetPosition(int64_t Value) { Seek(Value, soFromBeginning); }
  // The default finds the size by seeking to the end and back.
  virtual int64_t Size();
  // The default seeks to NewSize; streams that can change their size override it.
  virtual void SetSize(int64_t NewSize);

  // Read or write exactly Count bytes, or raise EReadError "Stream read error" /
  // EWriteError "Stream write error".
  void ReadBuffer(void* Buffer, int32_t Count);
  void WriteBuffer(const void* Buffer, int32_t Count);
  // Copies Count bytes from Source's position; Count 0 copies the whole of Source from its start.
  // Returns the number of bytes copied; a short source raises EReadError.
  int64_t CopyFrom(TStream& Source, int64_t Count);
};

// A stream over one block of memory that the caller can address through Memory(). Reading and
// seeking only; TMemoryStream adds writing and growth. A descendant may place it over memory it
// does not own (SetPointer).
class TCustomMemoryStream : public TStream {
 public:
  int32_t Read(void* Buffer, int32_t Count) override;
  int64_t Seek(int64_t Offset, TSeekOrigin Origin) override;
  int64_t Size() override { return FSize; }

  void* Memory() const { return FMemory; }
  void SaveToStream(TStream& Stream);
  // Raises EFCreateError when the file cannot be created.
  void SaveToFile(const std::string& FileName);

 protected:
  // Points the stream at Memory with Size bytes; the position is not changed. A TMemoryStream
  // descendant calls it only while it owns no memory (Capacity() 0): the block stays the
  // caller's, and a later growth copies it into memory of the stream's own.
  void SetPointer(void* Memory, int64_t Size);

  // May lie past the end (a write there grows the stream) but never below 0.
  int64_t FPosition = 0;

 private:
  void* FMemory = nullptr;
  int64_t FSize = 0;
};

// A growable memory stream. Memory() stays at the same address until the capacity changes, which
// happens only when the size grows past it or is set (SetSize, LoadFrom..., Clear): a caller may
// keep a pointer into the stream across writes that stay inside its size.
class TMemoryStream : public TCustomMemoryStream {
 public:
  TMemoryStream() = default;
  ~TMemoryStream() override;

  int32_t Write(const void* Buffer, int32_t Count) override;
  // Allocates (or shrinks to) exactly the size's capacity, rounded as Realloc rounds; new bytes
  // are undefined, as in the class library. The position is kept unless it lies past the end.
  void SetSize(int64_t NewSize) override;
  void Clear();
  // Replaces the content with the whole of Stream (from its start) or of the file.
  void LoadFromStream(TStream& Stream);
  void LoadFromFile(const std::string& FileName);

  int64_t Capacity() const { return FCapacity; }

 protected:
  // Returns memory for NewCapacity bytes (which it may round up, writing back what it chose),
  // keeping the old content, or nullptr for 0. The default rounds up to 8 KB and uses realloc;
  // memory must come from std::malloc/std::realloc, because the stream frees it with std::free.
  // Failure raises EStreamError "Out of memory while expanding memory stream".
  virtual void* Realloc(int64_t& NewCapacity);
  void SetCapacity(int64_t NewCapacity);
  // The block Realloc resizes: Memory() when the stream owns it, else nullptr.
  void* OwnedMemory() const { return FCapacity > 0 ? Memory() : nullptr; }

 private:
  int64_t FCapacity = 0;
};

// File open modes. fmCreate creates or truncates the file and opens it for reading and writing;
// the share flags are accepted and ignored (Linux has no mandatory sharing locks).
enum : uint16_t {
  fmOpenRead = 0x0000,
  fmOpenWrite = 0x0001,
  fmOpenReadWrite = 0x0002,
  fmShareCompat = 0x0000,
  fmShareExclusive = 0x0010,
  fmShareDenyWrite = 0x0020,
  fmShareDenyRead = 0x0030,
  fmShareDenyNone = 0x0040,
  fmCreate = 0xFF00,
};

// A stream over a file. Opening failures raise EFCreateError 'Cannot create file "name". reason'
// or EFOpenError 'Cannot open file "name". reason'.
class TFileStream : public TStream {
 public:
  TFileStream(const std::string& FileName, uint16_t Mode);
  ~TFileStream() override;

  int32_t Read(void* Buffer, int32_t Count) override;
  int32_t Write(const void* Buffer, int32_t Count) override;
  int64_t Seek(int64_t Offset, TSeekOrigin Origin) override;
  // Truncates or extends the file; raises EWriteError when the file system refuses.
  void SetSize(int64_t NewSize) override;

  const std::string& FileName() const { return FFileName; }
  int Handle() const { return FHandle; }

 private:
  std::string FFileName;
  int FHandle = -1;
};
