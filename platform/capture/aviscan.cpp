#include "platform/capture/aviscan.h"

#include <cstring>
#include <string>

namespace {

uint32_t Little32(const uint8_t* Bytes) {
  return uint32_t(Bytes[0]) | uint32_t(Bytes[1]) << 8 | uint32_t(Bytes[2]) << 16 | uint32_t(Bytes[3]) << 24;
}

bool Is(const uint8_t* Bytes, const char* FourCC) { return std::memcmp(Bytes, FourCC, 4) == 0; }

// A chunk id is four printable characters; anything else is not the start of a chunk (the file's
// data ends there, or its bytes were never written).
bool PlausibleId(const uint8_t* Bytes) {
  for (int Index = 0; Index < 4; ++Index)
    if (Bytes[Index] < 0x20 || Bytes[Index] > 0x7E) return false;
  return true;
}

struct TChunk {
  uint8_t Id[4];
  uint32_t Size = 0;
  int64_t Offset = 0;
  int64_t End() const { return Offset + 8 + Size; }
  // The next chunk starts on an even offset.
  int64_t Next() const { return End() + (Size & 1); }
};

class TScanner {
 public:
  TScanner(const TAviReadAt& Read, int64_t FileSize, int Stream, TAviLayout& Layout)
      : FRead(Read), FFileSize(FileSize), FLayout(Layout) {
    const std::string Digits = std::to_string(Stream % 100);
    FTag[0] = Digits.size() == 2 ? Digits[0] : '0';
    FTag[1] = Digits.back();
    FStream = Stream;
  }

  // The chunk header at Offset, when it lies before Limit and has a plausible id.
  bool ChunkAt(int64_t Offset, int64_t Limit, TChunk& Chunk) {
    uint8_t Header[8];
    if (Offset + 8 > Limit || !FRead(Offset, Header, 8) || !PlausibleId(Header)) return false;
    std::memcpy(Chunk.Id, Header, 4);
    Chunk.Size = Little32(Header + 4);
    Chunk.Offset = Offset;
    return true;
  }

  bool ListType(const TChunk& Chunk, uint8_t Type[4]) {
    return Chunk.Size >= 4 && Chunk.Offset + 12 <= FFileSize && FRead(Chunk.Offset + 8, Type, 4);
  }

  bool StartsWith(int64_t Offset, const void* Bytes, size_t Size) {
    uint8_t Held[8];
    return Size <= sizeof Held && Offset + int64_t(Size) <= FFileSize && FRead(Offset, Held, Size) &&
           std::memcmp(Held, Bytes, Size) == 0;
  }

  // The headers list: the main header, the stream's header and index of indexes, the room for
  // the extended header.
  void ReadHeaders(const TChunk& List) {
    const int64_t Limit = std::min(List.End(), FFileSize);
    int StreamNumber = 0;
    TChunk Chunk;
    for (int64_t At = List.Offset + 12; ChunkAt(At, Limit, Chunk); At = Chunk.Next()) {
      uint8_t Type[4];
      if (Is(Chunk.Id, "avih") && Chunk.Size >= 20) {
        FLayout.TotalFramesField = Chunk.Offset + 8 + 16;
      } else if (Is(Chunk.Id, "LIST") && ListType(Chunk, Type) && Is(Type, "strl")) {
        if (StreamNumber++ == FStream) ReadStreamHeaders(Chunk);
      } else if (Is(Chunk.Id, "LIST") && ListType(Chunk, Type) && Is(Type, "odml")) {
        FLayout.OpenDmlList = Chunk.Offset;
      } else if (Is(Chunk.Id, "JUNK") && StartsWith(Chunk.Offset + 8, "odmldmlh", 8)) {
        FLayout.OpenDmlList = Chunk.Offset;  // kept for the extended header by the writer
      }
    }
  }

  void ReadStreamHeaders(const TChunk& List) {
    const int64_t Limit = std::min(List.End(), FFileSize);
    TChunk Chunk;
    for (int64_t At = List.Offset + 12; ChunkAt(At, Limit, Chunk); At = Chunk.Next()) {
      if (Is(Chunk.Id, "strh") && Chunk.Size >= 36) FLayout.LengthField = Chunk.Offset + 8 + 32;
      if (Is(Chunk.Id, "indx") && Chunk.Size >= 24) FLayout.SuperIndex = Chunk.Offset;
    }
  }

  bool IsFrame(const uint8_t Id[4]) const {
    return Id[0] == FTag[0] && Id[1] == FTag[1] && Id[2] == 'd' && (Id[3] == 'c' || Id[3] == 'b');
  }

  // Lists the stream's whole chunks of a movie data list (or a "rec " list inside it); false
  // where the data ends before the list does (a chunk cut short, or bytes that are no chunk).
  bool ReadMovie(int64_t First, int64_t End) {
    const int64_t Limit = std::min(End, FFileSize);
    TChunk Chunk;
    int64_t At = First;
    while (At < Limit) {
      if (!ChunkAt(At, Limit, Chunk) || Chunk.End() > Limit) return false;
      uint8_t Type[4];
      if (Is(Chunk.Id, "LIST") && ListType(Chunk, Type) && Is(Type, "rec ")) {
        if (!ReadMovie(Chunk.Offset + 12, Chunk.End())) return false;
      } else if (IsFrame(Chunk.Id)) {
        FLayout.Frames.push_back({Chunk.Offset, Chunk.Size});
      }
      // The pad byte belongs to the chunk when the file holds it.
      FLayout.FramesEnd = Chunk.Next() <= FFileSize ? Chunk.Next() : Chunk.End();
      At = Chunk.Next();
    }
    return End <= FFileSize;
  }

  int64_t FileSize() const { return FFileSize; }

 private:
  const TAviReadAt& FRead;
  int64_t FFileSize;
  TAviLayout& FLayout;
  char FTag[2];
  int FStream = 0;
};

}  // namespace

bool ScanAviFile(const TAviReadAt& Read, int64_t FileSize, int Stream, bool DeepScan, TAviLayout& Layout) {
  Layout = TAviLayout();
  if (Stream < 0 || Stream > 99) return false;
  TScanner Scanner(Read, FileSize, Stream, Layout);
  TChunk Riff;
  uint8_t Form[4];
  if (!Scanner.ChunkAt(0, FileSize, Riff) || !Is(Riff.Id, "RIFF") || !Scanner.ListType(Riff, Form) ||
      !Is(Form, "AVI "))
    return false;

  // The parts, one after the other; the first holds the headers and the old index.
  bool IndexWhole = false;
  for (TChunk Part = Riff;;) {
    TAviPart Entry;
    Entry.Offset = Part.Offset;
    Entry.Whole = Part.End() <= FileSize;
    const int64_t Limit = std::min(Part.End(), FileSize);
    TChunk Chunk;
    for (int64_t At = Part.Offset + 12; Scanner.ChunkAt(At, Limit, Chunk); At = Chunk.Next()) {
      uint8_t Type[4];
      if (Is(Chunk.Id, "LIST") && Scanner.ListType(Chunk, Type)) {
        if (Layout.Parts.empty() && Is(Type, "hdrl")) Scanner.ReadHeaders(Chunk);
        if (Is(Type, "movi") && Entry.Movie < 0) Entry.Movie = Chunk.Offset;
      } else if (Layout.Parts.empty() && Is(Chunk.Id, "idx1")) {
        Layout.Index = Chunk.Offset;
        IndexWhole = Chunk.End() <= Limit;
      }
    }
    Layout.Parts.push_back(Entry);
    if (!Entry.Whole) break;
    TChunk Next;
    if (!Scanner.ChunkAt(Part.Next(), FileSize, Next) || !Is(Next.Id, "RIFF") || !Scanner.ListType(Next, Form) ||
        !Is(Form, "AVIX"))
      break;
    Part = Next;
  }
  if (Layout.LengthField < 0) return false;

  bool PartsWhole = true;
  for (const TAviPart& Part : Layout.Parts) PartsWhole = PartsWhole && Part.Whole;
  uint8_t SuperIndexHeader[12];
  const bool HasSuperIndex = Layout.SuperIndex >= 0 && Read(Layout.SuperIndex + 8, SuperIndexHeader, 12) &&
                             Little32(SuperIndexHeader + 4) > 0;
  // An OpenDML index serves any number of parts; the old index only the first.
  Layout.Indexed = PartsWhole && (HasSuperIndex || (Layout.Parts.size() == 1 && IndexWhole));

  if (DeepScan) {
    // Everything after the first damage is left out: a list the writer never closed claims more
    // than the file holds, and its data goes only as far as whole chunks do.
    bool Damaged = false;
    for (TAviPart& Part : Layout.Parts) {
      Part.FirstFrame = Layout.Frames.size();
      if (Damaged || Part.Movie < 0) continue;
      TChunk Movie;
      Damaged = !Scanner.ChunkAt(Part.Movie, FileSize, Movie) || !Scanner.ReadMovie(Part.Movie + 12, Movie.End());
    }
  }
  return true;
}
