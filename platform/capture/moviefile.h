#pragma once
// The file a movie is written to, under FFmpeg's muxer and the repair of movies cut short:
// positioned reads and writes, the size, truncation, and an advisory lock held while the movie is
// recorded, which tells a movie in the making from one a crashed program left behind.
//
// A write that fails (a full disk, a vanished device) may have written part of its bytes, as the
// file system does; the caller learns the reason from LastError (an errno value).

#include <cstddef>
#include <cstdint>
#include <string>

class TMovieFile {
 public:
  TMovieFile() = default;
  ~TMovieFile();
  TMovieFile(const TMovieFile&) = delete;
  TMovieFile& operator=(const TMovieFile&) = delete;

  enum class TMode { Create, Existing };
  // Opens Path for reading and writing and takes its lock: Create makes the file (emptying one
  // that is there), Existing opens only a file that exists. False, with LastError set, when the
  // file cannot be opened or another writer holds it (EWOULDBLOCK).
  bool Open(const std::string& Path, TMode Mode);
  void Close();
  bool IsOpen() const { return FDescriptor >= 0; }
  const std::string& Path() const { return FPath; }

  bool Read(int64_t Offset, void* Data, size_t Size) const;
  bool Write(int64_t Offset, const void* Data, size_t Size);
  bool Truncate(int64_t Size);
  int64_t Size() const { return FSize; }
  int LastError() const { return FLastError; }

 private:
  bool Fail(int Error);

  int FDescriptor = -1;
  std::string FPath;
  int64_t FSize = 0;
  mutable int FLastError = 0;
};

// For tests: the room movie files have on the disk, shared by every movie file of the process
// (-1, the default: as much as the file system has). Writes that would grow movie files past it
// write what fits and fail with ENOSPC; truncating a movie file gives its bytes back.
void SetMovieDiskSpace(int64_t Bytes);
