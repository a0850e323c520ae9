#include "platform/capture/avirepair.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <system_error>
#include <vector>

#include "platform/capture/aviscan.h"
#include "platform/capture/moviefile.h"
#include "platform/capture/trace.h"

namespace {

// Index flag of a frame that needs no other to be decoded (every JPEG frame).
constexpr uint32_t KeyFrame = 0x10;
// In an OpenDML part index, the size's top bit marks a frame that is not a key frame.
constexpr uint32_t NotKeyFrame = 0x80000000u;

void PutLittle(std::vector<uint8_t>& Bytes, uint64_t Value, int Count) {
  for (int Index = 0; Index < Count; ++Index) Bytes.push_back(uint8_t(Value >> (8 * Index)));
}

void PutId(std::vector<uint8_t>& Bytes, const char* FourCC) { Bytes.insert(Bytes.end(), FourCC, FourCC + 4); }

uint32_t Little32(const uint8_t* Bytes) {
  return uint32_t(Bytes[0]) | uint32_t(Bytes[1]) << 8 | uint32_t(Bytes[2]) << 16 | uint32_t(Bytes[3]) << 24;
}

// Where the chunk ends, with the pad byte that keeps the next one on an even offset.
int64_t PaddedEnd(const TAviChunkRef& Chunk) { return Chunk.Offset + 8 + Chunk.Size + (Chunk.Size & 1); }

class TRepair {
 public:
  TRepair(TMovieFile& File, std::string& Error) : FFile(File), FError(Error) {}

  bool Run(int64_t& Frames) {
    const TAviReadAt Read = [this](int64_t Offset, void* Data, size_t Size) { return FFile.Read(Offset, Data, Size); };
    if (!ScanAviFile(Read, FFile.Size(), 0, true, FLayout)) return Fail("Not a movie");
    if (FLayout.Indexed) {
      // Whole already: nothing to cut, nothing to count again.
      uint8_t Length[4];
      if (!FFile.Read(FLayout.LengthField, Length, 4)) return Fail("Cannot read the movie");
      Frames = Little32(Length);
      return true;
    }
    // The headers come before the movie data in every file of ours: cutting the data must leave
    // them, and the counts written into them, inside the file.
    const int64_t Movie = FLayout.Parts.front().Movie;
    if (Movie < 0) return Fail("No movie data");
    for (const int64_t Field : {FLayout.TotalFramesField, FLayout.LengthField, FLayout.OpenDmlList, FLayout.SuperIndex})
      if (Field >= Movie) return Fail("Headers after the movie data");
    const bool Done = FLayout.Parts.size() == 1 ? RepairOnlyPart(Frames) : RepairLastPart(Frames);
    if (Done)
      KORCAM_CAPTURE_TRACE(Avi, FFile.Path() + ": repaired, " + std::to_string(Frames) + " frames kept");
    return Done;
  }

 private:
  bool Fail(const std::string& Text) {
    FError = Text;
    return false;
  }
  bool FailWriting() {
    return Fail("Cannot write the movie: " + std::error_code(FFile.LastError(), std::generic_category()).message());
  }
  bool Put32(int64_t Offset, uint32_t Value) {
    uint8_t Bytes[4] = {uint8_t(Value), uint8_t(Value >> 8), uint8_t(Value >> 16), uint8_t(Value >> 24)};
    return FFile.Write(Offset, Bytes, 4);
  }

  // Cuts the file at End and appends Tail there; on a full disk, gives up frames from the end
  // (Count goes down) until the tail made for the frames left fits.
  template <typename TMakeTail>
  bool CutAndAppend(size_t First, size_t& Count, int64_t EmptyEnd, const TMakeTail& MakeTail) {
    for (;;) {
      const int64_t End = Count == 0 ? EmptyEnd : PaddedEnd(FLayout.Frames[First + Count - 1]);
      const std::vector<uint8_t> Tail = MakeTail(End, Count);
      if (FFile.Truncate(End) && (Tail.empty() || FFile.Write(End, Tail.data(), Tail.size()))) return true;
      if (FFile.LastError() != ENOSPC || Count == 0) return FailWriting();
      --Count;
    }
  }

  // A movie of one part: the frames whole in its data, then an "idx1" listing them.
  bool RepairOnlyPart(int64_t& Frames) {
    const TAviPart& Part = FLayout.Parts.front();
    const int64_t MovieData = Part.Movie + 8;  // the index counts from the list's form type
    size_t Count = FLayout.Frames.size();
    auto MakeIndex = [&](int64_t, size_t Kept) {
      std::vector<uint8_t> Index;
      PutId(Index, "idx1");
      PutLittle(Index, 16 * uint64_t(Kept), 4);
      for (size_t Frame = 0; Frame < Kept; ++Frame) {
        const TAviChunkRef& Chunk = FLayout.Frames[Frame];
        PutId(Index, "00dc");
        PutLittle(Index, Chunk.Size > 0 ? KeyFrame : 0, 4);
        PutLittle(Index, uint64_t(Chunk.Offset - MovieData), 4);
        PutLittle(Index, Chunk.Size, 4);
      }
      return Index;
    };
    if (!CutAndAppend(0, Count, Part.Movie + 12, MakeIndex)) return false;
    const int64_t DataEnd = Count == 0 ? Part.Movie + 12 : PaddedEnd(FLayout.Frames[Count - 1]);
    // The sizes and counts are rewritten in place: no room is needed for them.
    if (!Put32(Part.Offset + 4, uint32_t(FFile.Size() - Part.Offset - 8)) ||
        !Put32(Part.Movie + 4, uint32_t(DataEnd - Part.Movie - 8)) ||
        (FLayout.TotalFramesField >= 0 && !Put32(FLayout.TotalFramesField, uint32_t(Count))) ||
        !Put32(FLayout.LengthField, uint32_t(Count)))
      return FailWriting();
    Frames = int64_t(Count);
    return true;
  }

  // An OpenDML movie cut in its last part: the parts before it are whole and indexed. The last
  // part gets an "ix00" index at the end of its data and an entry in the index of indexes, or is
  // dropped when it keeps no frame (or the index of indexes has no room left).
  bool RepairLastPart(int64_t& Frames) {
    const TAviPart& Last = FLayout.Parts.back();
    const size_t First = Last.FirstFrame;
    size_t Count = FLayout.Frames.size() - First;
    uint8_t Header[12];
    if (FLayout.SuperIndex < 0 || !FFile.Read(FLayout.SuperIndex, Header, 4) ||
        !FFile.Read(FLayout.SuperIndex + 8, Header + 4, 8))
      return Fail("No index of indexes");
    const uint32_t Room = Little32(Header) >= 24 ? (Little32(Header) - 24) / 16 : 0;  // chunk size
    const uint32_t InUse = Little32(Header + 8);
    // Every part but the last was indexed when the writer closed it.
    if (InUse != FLayout.Parts.size() - 1) return Fail("The index of indexes does not list the parts");
    if (Last.Movie < 0 || InUse >= Room) Count = 0;

    const int64_t Base = Last.Movie + 8;
    auto MakeIndex = [&](int64_t, size_t Kept) {
      std::vector<uint8_t> Index;
      if (Kept == 0) return Index;
      PutId(Index, "ix00");
      PutLittle(Index, 24 + 8 * uint64_t(Kept), 4);
      PutLittle(Index, 2, 2);  // longs per entry
      PutLittle(Index, 0, 1);  // frame entries
      PutLittle(Index, 1, 1);  // an index of chunks
      PutLittle(Index, Kept, 4);
      PutId(Index, "00dc");
      PutLittle(Index, uint64_t(Base), 8);
      PutLittle(Index, 0, 4);
      for (size_t Frame = First; Frame < First + Kept; ++Frame) {
        const TAviChunkRef& Chunk = FLayout.Frames[Frame];
        PutLittle(Index, uint64_t(Chunk.Offset + 8 - Base), 4);
        PutLittle(Index, Chunk.Size | (Chunk.Size > 0 ? 0 : NotKeyFrame), 4);
      }
      return Index;
    };
    if (!CutAndAppend(First, Count, Last.Offset, MakeIndex)) return false;
    if (Count > 0) {
      const int64_t IndexAt = PaddedEnd(FLayout.Frames[First + Count - 1]);
      const int64_t Entry = FLayout.SuperIndex + 8 + 24 + 16 * int64_t(InUse);
      uint8_t Bytes[16];
      for (int Index = 0; Index < 8; ++Index) Bytes[Index] = uint8_t(uint64_t(IndexAt) >> (8 * Index));
      const uint32_t IndexSize = uint32_t(FFile.Size() - IndexAt);
      for (int Index = 0; Index < 4; ++Index) Bytes[8 + Index] = uint8_t(IndexSize >> (8 * Index));
      for (int Index = 0; Index < 4; ++Index) Bytes[12 + Index] = uint8_t(uint32_t(Count) >> (8 * Index));
      if (!Put32(Last.Offset + 4, uint32_t(FFile.Size() - Last.Offset - 8)) ||
          !Put32(Last.Movie + 4, uint32_t(FFile.Size() - Last.Movie - 8)) || !FFile.Write(Entry, Bytes, 16) ||
          !Put32(FLayout.SuperIndex + 8 + 4, InUse + 1))
        return FailWriting();
    }
    const uint32_t Total = uint32_t(First + Count);
    // The extended header counts every frame; the writer keeps room for it and fills it last.
    if (FLayout.OpenDmlList >= 0) {
      if (!FFile.Write(FLayout.OpenDmlList, "LIST", 4) || !Put32(FLayout.OpenDmlList + 20, Total))
        return FailWriting();
    }
    if (!Put32(FLayout.LengthField, Total) ||
        (FLayout.TotalFramesField >= 0 && !Put32(FLayout.TotalFramesField, uint32_t(FLayout.Parts[1].FirstFrame))))
      return FailWriting();
    Frames = Total;
    return true;
  }

  TMovieFile& FFile;
  std::string& FError;
  TAviLayout FLayout;
};

std::string RecoveredName(const std::string& FinalPath, int Number) {
  std::filesystem::path Path(FinalPath);
  std::string Name = Path.stem().string() + " recovered";
  if (Number > 1) Name += " " + std::to_string(Number);
  return (Path.parent_path() / (Name + Path.extension().string())).string();
}

}  // namespace

bool RepairMovieFile(TMovieFile& File, int64_t& Frames, std::string& Error) {
  Frames = 0;
  return TRepair(File, Error).Run(Frames);
}

std::string RecoverUnfinishedMovie(const std::string& TemporaryPath, const std::string& FinalPath) {
  std::error_code Ignored;
  if (!std::filesystem::is_regular_file(TemporaryPath, Ignored)) return "";
  TMovieFile File;
  // A writer that holds the lock is recording into it now.
  if (!File.Open(TemporaryPath, TMovieFile::TMode::Existing)) return "";
  int64_t Frames = 0;
  std::string Error;
  if (!RepairMovieFile(File, Frames, Error)) {
    KORCAM_CAPTURE_TRACE(Avi, TemporaryPath + ": not recovered: " + Error);
    return "";
  }
  if (Frames == 0) {
    std::filesystem::remove(TemporaryPath, Ignored);
    return "";
  }
  for (int Number = 1; Number < 1000; ++Number) {
    const std::string Name = RecoveredName(FinalPath, Number);
    if (std::filesystem::exists(Name, Ignored)) continue;
    std::error_code Failure;
    std::filesystem::rename(TemporaryPath, Name, Failure);
    if (Failure) break;
    KORCAM_CAPTURE_TRACE(Avi, TemporaryPath + ": recovered as " + Name);
    return Name;
  }
  return "";
}
