#pragma once
// The RIFF structure of an AVI file, read chunk by chunk from its headers: where the headers, the
// movie data and the indexes lie, whether the file is whole, and which frames of a stream it holds
// whole. A movie cut short (a full disk, a program killed while it recorded) has no index, or one
// that lists more than the file holds; the reader then counts what is really there, and the repair
// of such movies starts from the same scan.
//
// An AVI file is a "RIFF" chunk of form "AVI " holding a "LIST hdrl" (the main header "avih", one
// "LIST strl" per stream with its header "strh" and, in OpenDML files, its index of indexes
// "indx"), a "LIST movi" with the data chunks ("00dc" is a frame of stream 0) and an "idx1" index.
// OpenDML files go on with further "RIFF" chunks of form "AVIX", each with a "LIST movi" of its
// own, indexed by "ix00" chunks inside the data that the "indx" lists.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

// Reads Size bytes at Offset of the file; false when they are not all there.
using TAviReadAt = std::function<bool(int64_t Offset, void* Data, size_t Size)>;

// One chunk of a stream: where its header starts and how many bytes of data follow it.
struct TAviChunkRef {
  int64_t Offset = 0;
  uint32_t Size = 0;
};

// One RIFF chunk of the file: the first one ("AVI ") or a further one ("AVIX").
struct TAviPart {
  int64_t Offset = 0;     // of its "RIFF"
  int64_t Movie = -1;     // of the "LIST" of its movie data; -1 when it has none
  bool Whole = false;     // the part lies inside the file with the size it claims
  size_t FirstFrame = 0;  // the index in TAviLayout::Frames of its first frame (deep scans)
};

struct TAviLayout {
  std::vector<TAviPart> Parts;
  // Where the headers keep what must change when frames are added or cut away (offsets in the
  // file; -1 when the file has none).
  int64_t TotalFramesField = -1;  // the main header's frame count
  int64_t LengthField = -1;       // the stream header's length of the stream
  int64_t OpenDmlList = -1;       // the extended header "LIST odml" (or the room kept for it)
  int64_t SuperIndex = -1;        // the stream's index of indexes ("indx", or the room kept for it)
  int64_t Index = -1;             // the first part's index ("idx1")
  // The file lies whole within its size and has an index a reader can trust.
  bool Indexed = false;

  // With a deep scan: the stream's chunks the file holds whole, in order (empty ones are frames
  // that repeat the one before), and the end of the last whole chunk, pad byte included.
  std::vector<TAviChunkRef> Frames;
  int64_t FramesEnd = -1;
};

// Reads the layout of an AVI file of FileSize bytes for stream number Stream (0: the first
// stream of the file). With DeepScan the stream's chunks are listed too (one small read per
// chunk of the movie data). False when the file is no RIFF AVI file or has no such stream.
bool ScanAviFile(const TAviReadAt& Read, int64_t FileSize, int Stream, bool DeepScan, TAviLayout& Layout);
