// Movies cut short: by a full disk while they are written, by a program that ends in the middle
// of one, or by a copy that stops early. What was recorded must play: the reader counts the
// frames the file really holds, a failed movie is finished at its last whole frame, and a movie
// left unfinished is recovered under a name the user finds. The full disk is the movie files' own
// limit (SetMovieDiskSpace), which fails writes with ENOSPC as a full file system does, and, where
// the tests may mount one, a real 64 KB file system; FFmpeg's ffprobe, when installed, checks
// each result as any player would read it.
#include <gtest/gtest.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/capture/avirepair.h"
#include "platform/capture/aviwriter.h"
#include "platform/capture/moviefile.h"
#include "tests/platform/capture/movie_support.h"
#include "tests/platform/rtl/temp_folder.h"

namespace {

using namespace MovieTest;

uint32_t Little32(const std::string& Bytes, size_t At) {
  uint32_t Value = 0;
  for (int Index = 3; Index >= 0; --Index) Value = Value << 8 | uint8_t(Bytes[At + size_t(Index)]);
  return Value;
}

void Put32(std::string& Bytes, size_t At, uint32_t Value) {
  for (int Index = 0; Index < 4; ++Index) Bytes[At + size_t(Index)] = char(Value >> (8 * Index));
}

std::string Little(uint64_t Value, int Count) {
  std::string Bytes;
  for (int Index = 0; Index < Count; ++Index) Bytes += char(Value >> (8 * Index));
  return Bytes;
}

// A finished movie of ours taken apart: the bytes before its movie data, each frame chunk (pad
// byte included) and where each starts.
struct TMovieParts {
  std::string Bytes;
  size_t Movie = 0;  // the "LIST" of the movie data
  size_t Index = 0;  // the "idx1"
  std::vector<size_t> Chunks;
  std::string Chunk(size_t Frame) const {
    const size_t Size = Little32(Bytes, Chunks[Frame] + 4);
    return Bytes.substr(Chunks[Frame], 8 + Size + (Size & 1));
  }
};

TMovieParts TakeApart(const std::string& Bytes) {
  TMovieParts Parts;
  Parts.Bytes = Bytes;
  Parts.Movie = Bytes.find("movi") - 8;
  Parts.Index = Bytes.rfind("idx1");
  for (size_t At = Parts.Movie + 12; At < Parts.Index;) {
    Parts.Chunks.push_back(At);
    const uint32_t Size = Little32(Bytes, At + 4);
    At += 8 + Size + (Size & 1);
  }
  return Parts;
}

std::vector<int> FirstFrames(int Count) {
  std::vector<int> Indices;
  for (int Index = 0; Index < Count; ++Index) Indices.push_back(Index);
  return Indices;
}

// The movie reads back with Frames frames, the last in its own colour (not a repeat of an
// earlier one), nothing after it; and FFmpeg reads as many.
void ExpectMovie(const std::string& Path, int Frames, bool ProbeToo = true) {
  TOpenMovie Movie(Path);
  if (Frames == 0 && Movie.Result != AVIERR_OK) return;  // an empty movie may not open at all
  ASSERT_EQ(Movie.Result, AVIERR_OK);
  ASSERT_NE(Movie.Reader, nullptr);
  EXPECT_EQ(AVIStreamLength(Movie.Stream), Frames);
  if (Frames > 0) {
    SCOPED_TRACE("the last frame, then the first");
    ExpectFlat(Movie.Frame(Frames - 1), ColourOf(Frames - 1));
    ExpectFlat(Movie.Frame(0), ColourOf(0));
  }
  EXPECT_EQ(Movie.Frame(Frames), nullptr);
  if (ProbeToo && CanProbe()) {
    EXPECT_EQ(ProbedFrames(Path), Frames) << Probe(Path);
  }
}

struct TDiskSpaceScope {
  explicit TDiskSpaceScope(int64_t Bytes) { SetMovieDiskSpace(Bytes); }
  ~TDiskSpaceScope() { SetMovieDiskSpace(-1); }
};

TEST(MovieCut, AMovieCutShortCountsTheFramesItReallyHolds) {
  TTempFolder Folder;
  ASSERT_TRUE(WriteMovie(Folder.File("whole.avi"), FirstFrames(12)));
  const TMovieParts Whole = TakeApart(Folder.Read("whole.avi"));
  ASSERT_EQ(Whole.Chunks.size(), 12u);
  const struct {
    const char* Name;
    size_t Cut;
    int Frames;
  } Cases[] = {
      {"cut just before its index", Whole.Index, 12},
      {"cut in the middle of frame 8", Whole.Chunks[8] + 8 + Little32(Whole.Bytes, Whole.Chunks[8] + 4) / 2, 8},
      {"cut after the header of frame 5", Whole.Chunks[5] + 8, 5},
      {"cut inside the first frame", Whole.Chunks[0] + 20, 0},
  };
  for (const auto& Case : Cases) {
    SCOPED_TRACE(Case.Name);
    Folder.Write("cut.avi", Whole.Bytes.substr(0, Case.Cut));
    // ffprobe decodes what is left of a cut frame too: only our own count is checked here.
    ExpectMovie(Folder.File("cut.avi"), Case.Frames, false);
  }

  // What a program that ends in the middle of a movie leaves: headers that count nothing, lists
  // that were never closed, no index; every frame written so far is in the file.
  const BITMAPINFOHEADER Format = MakeVideoFormat(BI_RGB, Width, Height, 24);
  TAviWriter Writer;
  ASSERT_TRUE(Writer.Open(Folder.File("video01.avi"), Format, 100000));
  for (int Index = 0; Index < 7; ++Index) {
    const std::vector<uint8_t> Frame = FlatFrame(Format, ColourOf(Index));
    ASSERT_TRUE(Writer.Write(Frame.data(), Frame.size(), Index));
  }
  Folder.Write("killed.avi", Folder.Read("video01.avi.part"));
  Writer.Discard();
  ExpectMovie(Folder.File("killed.avi"), 7);
}

TEST(MovieCut, AMovieOnAFullDiskEndsAtItsLastWholeFrame) {
  TTempFolder Folder;
  ASSERT_TRUE(WriteMovie(Folder.File("whole.avi"), FirstFrames(12)));
  const TMovieParts Whole = TakeApart(Folder.Read("whole.avi"));
  auto EndOf = [&](size_t Frame) { return int64_t(Whole.Chunks[Frame] + Whole.Chunk(Frame).size()); };
  const struct {
    const char* Name;
    int64_t Space;  // what the disk has room for
    int Kept;       // frames the movie keeps
  } Cases[] = {
      {"room for the headers only", int64_t(Whole.Chunks[0]) + 4, 0},
      {"room for five frames and half the sixth", EndOf(4) + int64_t(Whole.Chunk(5).size() / 2), 5},
      {"room for every frame but not the index", int64_t(Whole.Index) + 8, 11},
  };
  const BITMAPINFOHEADER Format = MakeVideoFormat(BI_RGB, Width, Height, 24);
  for (const auto& Case : Cases) {
    SCOPED_TRACE(Case.Name);
    TTempFolder Disk;
    const std::string Path = Disk.File("video01.avi");
    TDiskSpaceScope Space(Case.Space);
    TAviWriter Writer;
    ASSERT_TRUE(Writer.Open(Path, Format, 100000));
    bool Written = true;
    for (int Index = 0; Index < 12 && Written; ++Index) {
      const std::vector<uint8_t> Frame = FlatFrame(Format, ColourOf(Index));
      Written = Writer.Write(Frame.data(), Frame.size(), Index);
    }
    if (Written) {
      EXPECT_FALSE(Writer.Finish()) << "the index did not fit";
    }
    EXPECT_FALSE(Writer.IsOpen());
    EXPECT_NE(Writer.Error().find("No space left on device"), std::string::npos) << Writer.Error();
    EXPECT_EQ(Writer.Kept(), Case.Kept > 0);
    EXPECT_EQ(Writer.FramesWritten(), Case.Kept);
    if (Case.Kept == 0) {
      EXPECT_EQ(Disk.Listing(), "") << "nothing is left of a movie without frames";
      continue;
    }
    EXPECT_NE(Writer.Error().find("the movie ends after " + std::to_string(Case.Kept) + " frames"),
              std::string::npos)
        << Writer.Error();
    EXPECT_EQ(Disk.Listing(), "video01.avi");
    SetMovieDiskSpace(-1);
    ExpectMovie(Path, Case.Kept);
  }
}

// The same on a real file system of 64 KB, mounted in a mount namespace of a child process (so
// nothing outside it sees the mount); skipped where the tests may not mount one.
TEST(MovieCut, AMovieOnATinyFileSystemEndsAtItsLastWholeFrame) {
  char Folder[] = "/tmp/korcam-tiny-fs-XXXXXX";
  ASSERT_NE(mkdtemp(Folder), nullptr);
  const pid_t Child = fork();
  ASSERT_GE(Child, 0);
  if (Child == 0) {
    // Only plain checks here: the verdict is the exit code (77: no file system could be mounted).
    if (unshare(CLONE_NEWNS) != 0 || mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
        mount("korcam-test", Folder, "tmpfs", 0, "size=64k") != 0)
      _exit(77);
    const std::string Path = std::string(Folder) + "/video01.avi";
    const BITMAPINFOHEADER Format = MakeVideoFormat(BI_RGB, Width, Height, 24);
    TAviWriter Writer;
    if (!Writer.Open(Path, Format, 100000)) _exit(2);
    int Index = 0;
    bool Written = true;
    for (; Index < 1000 && Written; ++Index) {
      const std::vector<uint8_t> Frame = FlatFrame(Format, ColourOf(Index % 12));
      Written = Writer.Write(Frame.data(), Frame.size(), Index);
    }
    if (Written || !Writer.Kept() || Writer.FramesWritten() < 10 || Writer.FramesWritten() >= Index) {
      std::fprintf(stderr, "written %d, kept %d frames: %s\n", Index, int(Writer.FramesWritten()),
                   Writer.Error().c_str());
      _exit(3);
    }
    TOpenMovie Movie(Path);
    const LONG Frames = Movie.Reader ? AVIStreamLength(Movie.Stream) : -1;
    if (Frames != Writer.FramesWritten() || !Movie.Frame(Frames - 1) || Movie.Frame(Frames) ||
        std::filesystem::exists(Path + ".part")) {
      std::fprintf(stderr, "the movie reads %d frames of %d\n", int(Frames), int(Writer.FramesWritten()));
      _exit(4);
    }
    _exit(0);
  }
  int Status = 0;
  ASSERT_EQ(waitpid(Child, &Status, 0), Child);
  std::filesystem::remove_all(Folder);
  ASSERT_TRUE(WIFEXITED(Status));
  if (WEXITSTATUS(Status) == 77) GTEST_SKIP() << "no file system can be mounted here";
  EXPECT_EQ(WEXITSTATUS(Status), 0);
}

TEST(MovieCut, AMovieLeftUnfinishedIsRecoveredWhenTheNextOneStarts) {
  TTempFolder Folder;
  const std::string Path = Folder.File("video01.avi");
  const BITMAPINFOHEADER Format = MakeVideoFormat(BI_RGB, Width, Height, 24);
  // The file a program ending in the middle of a movie of Frames frames leaves.
  auto Unfinished = [&](int Frames) {
    TTempFolder Elsewhere;
    TAviWriter Writer;
    EXPECT_TRUE(Writer.Open(Elsewhere.File("movie.avi"), Format, 100000));
    for (int Index = 0; Index < Frames; ++Index) {
      const std::vector<uint8_t> Frame = FlatFrame(Format, ColourOf(Index));
      EXPECT_TRUE(Writer.Write(Frame.data(), Frame.size(), Index));
    }
    return Elsewhere.Read("movie.avi.part");
  };
  Folder.Write("video01.avi", "the previous movie");
  Folder.Write("video01.avi.part", Unfinished(7));
  {
    TAviWriter Next;
    ASSERT_TRUE(Next.Open(Path, Format, 100000));
    EXPECT_EQ(Folder.Listing(), "video01 recovered.avi video01.avi video01.avi.part");
    ExpectMovie(Folder.File("video01 recovered.avi"), 7);
    const std::vector<uint8_t> Frame = FlatFrame(Format, ColourOf(0));
    ASSERT_TRUE(Next.Write(Frame.data(), Frame.size(), 0));
    ASSERT_TRUE(Next.Finish());
  }
  ExpectMovie(Path, 1);
  // Another one: the first recovered movie keeps its name.
  Folder.Write("video01.avi.part", Unfinished(3));
  ASSERT_EQ(RecoverUnfinishedMovie(Folder.File("video01.avi.part"), Path), Folder.File("video01 recovered 2.avi"));
  ExpectMovie(Folder.File("video01 recovered 2.avi"), 3);
  ExpectMovie(Folder.File("video01 recovered.avi"), 7);
  // One that ended before its first frame holds nothing to keep.
  Folder.Write("video01.avi.part", Unfinished(0));
  EXPECT_EQ(RecoverUnfinishedMovie(Folder.File("video01.avi.part"), Path), "");
  EXPECT_EQ(Folder.Listing(), "video01 recovered 2.avi video01 recovered.avi video01.avi");

  // A movie being recorded is nobody's leftover: a second writer leaves it alone.
  TAviWriter Recording, Second;
  ASSERT_TRUE(Recording.Open(Folder.File("live.avi"), Format, 100000));
  const std::vector<uint8_t> Frame = FlatFrame(Format, ColourOf(0));
  ASSERT_TRUE(Recording.Write(Frame.data(), Frame.size(), 0));
  EXPECT_FALSE(Second.Open(Folder.File("live.avi"), Format, 100000));
  EXPECT_NE(Second.Error().find("being recorded"), std::string::npos) << Second.Error();
  EXPECT_EQ(RecoverUnfinishedMovie(Folder.File("live.avi.part"), Folder.File("live.avi")), "");
  const std::vector<uint8_t> Later = FlatFrame(Format, ColourOf(1));
  ASSERT_TRUE(Recording.Write(Later.data(), Later.size(), 1));
  ASSERT_TRUE(Recording.Finish());
  ExpectMovie(Folder.File("live.avi"), 2);
}

// Past 1 GB the writer goes on in further RIFF parts, each indexed when it is closed. A movie cut
// in such a part is built here the way the writer leaves it (the parts are small, the layout is
// the writer's): its last part is cut at its last whole frame and indexed as the writer would
// have indexed it.
TEST(MovieCut, AnOpenDmlMovieCutInItsLastPartIsIndexedAsTheWriterWould) {
  TTempFolder Folder;
  ASSERT_TRUE(WriteMovie(Folder.File("whole.avi"), FirstFrames(9)));
  const TMovieParts Whole = TakeApart(Folder.Read("whole.avi"));
  constexpr size_t InFirstPart = 4;

  std::string File = Whole.Bytes.substr(0, Whole.Movie);
  // The counts the writer fills at the end: none yet.
  Put32(File, File.find("avih") + 8 + 16, 0);
  Put32(File, File.find("strh") + 8 + 32, 0);
  const size_t FirstMovie = File.size();
  File += "LIST" + Little(0, 4) + "movi";
  std::string Index = "idx1" + Little(16 * InFirstPart, 4);
  std::string PartIndex = "ix00" + Little(24 + 8 * InFirstPart, 4) + Little(2, 2) + Little(0, 1) + Little(1, 1) +
                          Little(InFirstPart, 4) + "00dc" + Little(FirstMovie + 8, 8) + Little(0, 4);
  for (size_t Frame = 0; Frame < InFirstPart; ++Frame) {
    const std::string Chunk = Whole.Chunk(Frame);
    const uint32_t Size = Little32(Chunk, 4);
    Index += "00dc" + Little(0x10, 4) + Little(File.size() - (FirstMovie + 8), 4) + Little(Size, 4);
    PartIndex += Little(File.size() + 8 - (FirstMovie + 8), 4) + Little(Size, 4);
    File += Chunk;
  }
  const size_t PartIndexAt = File.size();
  File += PartIndex;
  Put32(File, FirstMovie + 4, uint32_t(File.size() - FirstMovie - 8));
  File += Index;
  Put32(File, 4, uint32_t(File.size() - 8));
  // The index of indexes lists the first part's index.
  const size_t SuperIndex = File.find(std::string("\x04\x00\x00\x00", 4), File.find("strf")) - 8;
  ASSERT_EQ(File.substr(SuperIndex, 4), "JUNK");
  File.replace(SuperIndex, 4, "indx");
  Put32(File, SuperIndex + 12, 1);
  File.replace(SuperIndex + 8 + 24, 16, Little(PartIndexAt, 8) + Little(PartIndex.size(), 4) + Little(InFirstPart, 4));
  // The second part, never closed, cut in its fifth frame.
  File += "RIFF" + Little(0xFFFFFFFF, 4) + "AVIX" + "LIST" + Little(0xFFFFFFFF, 4) + "movi";
  for (size_t Frame = InFirstPart; Frame < 8; ++Frame) File += Whole.Chunk(Frame);
  File += Whole.Chunk(8).substr(0, 40);
  Folder.Write("video01.avi", File);

  TMovieFile Movie;
  ASSERT_TRUE(Movie.Open(Folder.File("video01.avi"), TMovieFile::TMode::Existing));
  int64_t Frames = 0;
  std::string Error;
  ASSERT_TRUE(RepairMovieFile(Movie, Frames, Error)) << Error;
  Movie.Close();
  EXPECT_EQ(Frames, 8);
  ExpectMovie(Folder.File("video01.avi"), 8);
  const std::string Repaired = Folder.Read("video01.avi");
  EXPECT_EQ(Little32(Repaired, SuperIndex + 12), 2u) << "the second part is listed";
  EXPECT_EQ(Repaired.substr(Repaired.find("odml") - 8, 4), "LIST") << "the extended header is filled";
}

}  // namespace
