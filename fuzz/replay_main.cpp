// Replays a saved fuzz corpus: every file of the folders (or the files) named on the command
// line goes once through the target. Under the sanitisers this turns a corpus into a test.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size);

namespace {

int ReplayFile(const std::filesystem::path& Path) {
  std::ifstream Input(Path, std::ios::binary);
  if (!Input) {
    std::fprintf(stderr, "replay: cannot read %s\n", Path.c_str());
    return 1;
  }
  std::vector<uint8_t> Bytes((std::istreambuf_iterator<char>(Input)), std::istreambuf_iterator<char>());
  LLVMFuzzerTestOneInput(Bytes.data(), Bytes.size());
  return 0;
}

}  // namespace

int main(int Argc, char** Argv) {
  int Failures = 0;
  int Count = 0;
  for (int Index = 1; Index < Argc; ++Index) {
    std::filesystem::path Path(Argv[Index]);
    if (std::filesystem::is_directory(Path)) {
      std::vector<std::filesystem::path> Files;
      for (const auto& Entry : std::filesystem::recursive_directory_iterator(Path))
        if (Entry.is_regular_file()) Files.push_back(Entry.path());
      std::sort(Files.begin(), Files.end());
      for (const auto& File : Files) {
        Failures += ReplayFile(File);
        ++Count;
      }
    } else {
      Failures += ReplayFile(Path);
      ++Count;
    }
  }
  if (Count == 0) {
    std::fprintf(stderr, "replay: no corpus files found\n");
    return 1;
  }
  std::printf("replayed %d inputs\n", Count);
  return Failures == 0 ? 0 : 1;
}
