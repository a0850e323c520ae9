// Arbitrary bytes as the registry store file (history lists, the autostart value): the store
// reads what it can, writes itself back to the same text, and a change made through the registry
// object never loses a line of the file -- nor the bytes of a file that is no store at all.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>

#include "platform/rtl/atomicfile.h"
#include "platform/rtl/registry.h"
#include "platform/rtl/stringlist.h"
#include "platform/rtl/sysutils.h"

namespace {

struct TScratch {
  std::filesystem::path Folder =
      std::filesystem::temp_directory_path() / ("korcam-fuzz-registry-" + std::to_string(::getpid()));
  TScratch() { std::filesystem::create_directories(Folder); }
  ~TScratch() {
    std::error_code Ignored;
    std::filesystem::remove_all(Folder, Ignored);
  }
};

const std::filesystem::path& ScratchFolder() {
  static TScratch Scratch;
  return Scratch.Folder;
}

void Check(bool Condition, const char* What) {
  if (!Condition) {
    std::fprintf(stderr, "registry_store: %s\n", What);
    std::abort();
  }
}

std::string ReadAll(const std::filesystem::path& Path) {
  std::string Content;
  ReadFileContent(Path.string(), Content);
  return Content;
}

// Reads every value of a key and of the keys below it (a few levels, a few keys each).
void ReadKey(TRegistry& Registry, const std::string& Path, int Depth) {
  if (!Registry.OpenKeyReadOnly(Path)) return;
  TStringList Names;
  Registry.GetValueNames(Names);
  char Buffer[64];
  for (int Index = 0; Index < Names.Count() && Index < 16; ++Index) {
    try {
      switch (Registry.GetDataType(Names[Index])) {
        case rdString:
        case rdExpandString: (void)Registry.ReadString(Names[Index]); break;
        case rdInteger: (void)Registry.ReadInteger(Names[Index]); break;
        default: (void)Registry.ReadBinaryData(Names[Index], Buffer, sizeof Buffer); break;
      }
    } catch (const ERegistryException&) {
    }
  }
  if (Depth == 0) return;
  TStringList Keys;
  Registry.GetKeyNames(Keys);
  for (int Index = 0; Index < Keys.Count() && Index < 4; ++Index)
    ReadKey(Registry, Path + "\\" + Keys[Index], Depth - 1);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
  const std::string_view Input(reinterpret_cast<const char*>(Data), Size);
  SetAtomicWriteSync(false);

  // The text a store writes reads back as the same store.
  TRegistryStore First;
  const bool Ours = First.Parse(Input);
  const std::string Text = First.Text();
  TRegistryStore Second;
  Check(Second.Parse(Text), "written text not recognised");
  Check(Second.Text() == Text, "written text reads back differently");

  const std::filesystem::path& Folder = ScratchFolder();
  for (const auto& Entry : std::filesystem::directory_iterator(Folder)) std::filesystem::remove(Entry.path());
  const std::filesystem::path Store = Folder / "registry.dat";
  {
    std::ofstream Output(Store, std::ios::binary | std::ios::trunc);
    Output.write(Input.data(), std::streamsize(Input.size()));
  }
  SetRegistryStorePath(Store.string());
  for (HKEY Root : {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE}) {
    TRegistry Reader(KEY_READ);
    Reader.SetRootKey(Root);
    ReadKey(Reader, "\\", 3);
  }

  TRegistry Writer;
  Check(Writer.OpenKey("\\Software\\Korvane\\History", true), "key not created");
  Writer.WriteString("Combo1", "front door\r\nporch");
  Check(Writer.ReadString("Combo1") == "front door\r\nporch", "written value lost");
  const std::string After = ReadAll(Store);
  if (Ours) {
    // Every line of the store as it was written stays in the file, but the value replaced.
    size_t At = 0;
    while (At < Text.size()) {
      const size_t Stop = Text.find('\n', At);
      const std::string Line = Text.substr(At, Stop - At + 1);
      if (!AnsiSameText(Line.substr(0, 9), "\"Combo1\"="))
        Check(After.find(Line) != std::string::npos, "a line of the store was lost");
      At = Stop + 1;
    }
  } else {
    Check(ReadAll(Folder / "registry.dat.bak") == Input, "a foreign file was not kept");
  }
  SetRegistryStorePath("");
  return 0;
}
