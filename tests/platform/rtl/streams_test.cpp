#include "platform/rtl/streams.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "tests/platform/rtl/temp_folder.h"

namespace {

std::string Contents(TCustomMemoryStream& Stream) {
  return std::string(static_cast<const char*>(Stream.Memory()), static_cast<size_t>(Stream.Size()));
}

void WriteText(TStream& Stream, const std::string& Text) {
  Stream.WriteBuffer(Text.data(), static_cast<int32_t>(Text.size()));
}

TEST(MemoryStream, PositionSizeAndSeekOrigins) {
  TMemoryStream Stream;
  WriteText(Stream, "abcdef");
  EXPECT_EQ(Stream.Position(), 6);
  EXPECT_EQ(Stream.Size(), 6);

  struct TSeekCase {
    const char* Name;
    int64_t Offset;
    TSeekOrigin Origin;
    int64_t Expected;
  };
  const TSeekCase Cases[] = {
      {"from beginning", 2, soFromBeginning, 2},
      {"from current (at 2)", 3, soFromCurrent, 5},
      {"from end, back 4", -4, soFromEnd, 2},
      {"past the end is allowed", 10, soFromEnd, 16},
      {"below zero is refused", -20, soFromBeginning, -1},
  };
  for (const auto& Case : Cases) {
    SCOPED_TRACE(Case.Name);
    EXPECT_EQ(Stream.Seek(Case.Offset, Case.Origin), Case.Expected);
  }
  EXPECT_EQ(Stream.Position(), 16);  // the refused seek kept the position

  // A write past the end grows the stream up to the written bytes.
  WriteText(Stream, "Z");
  EXPECT_EQ(Stream.Size(), 17);
  EXPECT_EQ(Contents(Stream).substr(0, 6), "abcdef");
  EXPECT_EQ(Contents(Stream).back(), 'Z');

  // Reading at the end gives 0; a short read gives what there is; ReadBuffer insists.
  char Buffer[8] = {};
  EXPECT_EQ(Stream.Read(Buffer, 4), 0);
  Stream.SetPosition(4);
  EXPECT_EQ(Stream.Read(Buffer, 4), 4);
  EXPECT_EQ(std::string(Buffer, 4).substr(0, 2), "ef");
  Stream.SetPosition(15);
  try {
    Stream.ReadBuffer(Buffer, 4);
    FAIL() << "ReadBuffer past the end did not raise";
  } catch (const EReadError& Error) {
    EXPECT_EQ(Error.Message(), "Stream read error");
  }
}

TEST(MemoryStream, MemoryStaysPutUntilTheCapacityChanges) {
  TMemoryStream Stream;
  Stream.SetSize(54 + 640 * 480 * 3);
  void* Frame = Stream.Memory();
  ASSERT_NE(Frame, nullptr);

  // Rewriting headers and pixels inside the size keeps the address the frame code holds.
  Stream.SetPosition(0);
  WriteText(Stream, "BM");
  Stream.SetPosition(54);
  std::string Row(640 * 3, '\x7f');
  WriteText(Stream, Row);
  Stream.SetSize(Stream.Size());
  EXPECT_EQ(Stream.Memory(), Frame);
  EXPECT_EQ(static_cast<unsigned char*>(Frame)[54], 0x7f);

  // Shrinking below the position moves the position to the new end.
  Stream.SetPosition(1000);
  Stream.SetSize(100);
  EXPECT_EQ(Stream.Position(), 100);
  EXPECT_EQ(Stream.Size(), 100);
  EXPECT_EQ(Contents(Stream).substr(0, 2), "BM");

  Stream.Clear();
  EXPECT_EQ(Stream.Memory(), nullptr);
  EXPECT_EQ(Stream.Size(), 0);
  EXPECT_EQ(Stream.Position(), 0);
}

TEST(MemoryStream, ManySmallAppendsKeepTheirBytes) {
  TMemoryStream Stream;
  std::string Expected;
  for (int Index = 0; Index < 20000; ++Index) {
    char Byte = static_cast<char>(Index * 7);
    Stream.WriteBuffer(&Byte, 1);
    Expected += Byte;
  }
  EXPECT_EQ(Contents(Stream), Expected);
  EXPECT_GE(Stream.Capacity(), Stream.Size());
}

// A stream placed over memory it does not own, the way a registry reader wraps a buffer.
class TOverStream : public TMemoryStream {
 public:
  TOverStream(void* Block, int64_t Size) { SetPointer(Block, Size); }
};

// A stream that grows in 128 KB steps, the way the rich-edit transfers ask for.
class TBigStepStream : public TMemoryStream {
 protected:
  void* Realloc(int64_t& NewCapacity) override {
    if (NewCapacity > 0) NewCapacity = (NewCapacity + 0x1FFFF) & ~int64_t(0x1FFFF);
    if (NewCapacity == Capacity()) return OwnedMemory();
    if (NewCapacity == 0) {
      std::free(OwnedMemory());
      return nullptr;
    }
    return std::realloc(OwnedMemory(), static_cast<size_t>(NewCapacity));
  }
};

TEST(MemoryStream, DescendantsPlaceTheStreamOverForeignMemoryOrChooseTheGrowth) {
  char Block[] = "one\r\ntwo";
  {
    TOverStream Over(Block, 8);
    char Buffer[3];
    Over.ReadBuffer(Buffer, 3);
    EXPECT_EQ(std::string(Buffer, 3), "one");
    // Growing moves the bytes into memory of the stream's own; the caller's block is left alone
    // and is not freed by the stream (the sanitizer would report it).
    Over.SetPosition(8);
    WriteText(Over, "!");
    EXPECT_NE(Over.Memory(), static_cast<void*>(Block));
    EXPECT_EQ(Contents(Over), "one\r\ntwo!");
  }
  EXPECT_STREQ(Block, "one\r\ntwo");

  TBigStepStream Big;
  WriteText(Big, "x");
  EXPECT_EQ(Big.Capacity(), 0x20000);
  Big.SetSize(0x20001);
  EXPECT_EQ(Big.Capacity(), 0x40000);
}

TEST(MemoryStream, CopyFromAndLoadSave) {
  TMemoryStream Source;
  WriteText(Source, "0123456789");

  TMemoryStream Whole;
  Source.SetPosition(7);
  EXPECT_EQ(Whole.CopyFrom(Source, 0), 10);  // 0 = everything from the start
  EXPECT_EQ(Contents(Whole), "0123456789");

  TMemoryStream Part;
  Source.SetPosition(3);
  EXPECT_EQ(Part.CopyFrom(Source, 4), 4);
  EXPECT_EQ(Contents(Part), "3456");
  EXPECT_EQ(Source.Position(), 7);
  EXPECT_THROW(Part.CopyFrom(Source, 5), EReadError);  // only 3 bytes left

  TMemoryStream Loaded;
  Source.SetPosition(5);
  Loaded.LoadFromStream(Source);
  EXPECT_EQ(Contents(Loaded), "0123456789");
  EXPECT_EQ(Loaded.Position(), 0);

  TTempFolder Folder;
  Source.SaveToFile(Folder.File("copy.bin"));
  EXPECT_EQ(Folder.Read("copy.bin"), "0123456789");
  TMemoryStream FromFile;
  FromFile.LoadFromFile(Folder.File("copy.bin"));
  EXPECT_EQ(Contents(FromFile), "0123456789");
}

TEST(FileStream, ModesSizeAndSeekToEnd) {
  TTempFolder Folder;
  const std::string Name = Folder.File("log.txt");
  {
    TFileStream Created(Name, fmCreate);
    WriteText(Created, "first line\r\n");
  }
  {
    // The log writer's pattern: open for reading and writing, the size is the end position.
    TFileStream Existing(Name, fmOpenReadWrite | fmShareDenyWrite);
    EXPECT_EQ(Existing.Seek(0, soFromEnd), 12);
    EXPECT_EQ(Existing.Size(), 12);
    WriteText(Existing, "second\r\n");
    Existing.SetPosition(0);
    char Buffer[5];
    Existing.ReadBuffer(Buffer, 5);
    EXPECT_EQ(std::string(Buffer, 5), "first");
    Existing.SetSize(6);
    EXPECT_EQ(Existing.Position(), 6);
  }
  EXPECT_EQ(Folder.Read("log.txt"), "first ");
  {
    TFileStream Truncating(Name, fmCreate);  // create replaces an existing file
    EXPECT_EQ(Truncating.Size(), 0);
  }
  {
    TFileStream ReadOnly(Name, fmOpenRead);
    EXPECT_THROW(WriteText(ReadOnly, "x"), EWriteError);
  }
}

TEST(FileStream, OpenAndCreateFailuresNameTheFileAndTheReason) {
  TTempFolder Folder;
  struct TFailCase {
    const char* Name;
    std::string Path;
    uint16_t Mode;
    std::string Expected;
  };
  const std::string Missing = Folder.File("missing.ini");
  const std::string InMissingFolder = Folder.File("no/such/folder.jpg");
  const TFailCase Cases[] = {
      {"open a missing file", Missing, fmOpenRead,
       "Cannot open file \"" + Missing + "\". No such file or directory"},
      {"create in a missing folder", InMissingFolder, fmCreate,
       "Cannot create file \"" + InMissingFolder + "\". No such file or directory"},
      {"open a folder", Folder.Path().string(), fmOpenRead,
       "Cannot open file \"" + Folder.Path().string() + "\". Is a directory"},
  };
  for (const auto& Case : Cases) {
    SCOPED_TRACE(Case.Name);
    try {
      TFileStream Stream(Case.Path, Case.Mode);
      ADD_FAILURE() << "no exception";
    } catch (const EFileStreamError& Error) {
      EXPECT_EQ(Error.Message(), Case.Expected);
      EXPECT_STREQ(Error.ClassName(), Case.Mode == fmCreate ? "EFCreateError" : "EFOpenError");
    }
  }
}

}  // namespace
