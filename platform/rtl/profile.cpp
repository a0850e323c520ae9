// The profile functions keep the parsed text of recently used files, keyed by full path. Every
// call outside a batch reads the file again and reuses the parsed text only when the bytes are
// the same, so a change made by another program is always seen; inside a batch the parsed text
// in memory is the truth until the batch writes it.
#include "platform/rtl/profile.h"

#include <cstring>
#include <filesystem>
#include <map>
#include <mutex>

#include "platform/rtl/atomicfile.h"
#include "platform/rtl/profiledocument.h"
#include "platform/rtl/sysutils.h"
#include "platform/rtl/unicode.h"

namespace {

struct TProfileFile {
  bool Loaded = false;  // Document reflects Raw
  bool Exists = false;
  std::string Raw;  // the file's bytes as last read or written
  TProfileDocument Document;
  int BatchDepth = 0;
  bool Dirty = false;  // batched changes not written yet
  uint64_t LastUse = 0;
};

// Files not held by a batch are forgotten beyond this many.
constexpr size_t MaxCachedFiles = 8;

std::mutex& ProfileMutex() {
  static std::mutex Instance;
  return Instance;
}

std::map<std::string, TProfileFile>& ProfileFiles() {
  static std::map<std::string, TProfileFile> Instance;
  return Instance;
}

std::string CacheKey(const std::string& FileName) {
  std::string Path = ProfileFilePath(FileName);
  if (Path.empty()) return Path;
  std::error_code Code;
  std::filesystem::path Absolute = std::filesystem::absolute(Path, Code);
  return Code ? Path : Absolute.lexically_normal().string();
}

TProfileFile& Entry(const std::string& Path) {
  static uint64_t UseCounter = 0;
  auto& Files = ProfileFiles();
  TProfileFile& File = Files[Path];
  File.LastUse = ++UseCounter;
  while (Files.size() > MaxCachedFiles) {
    auto Oldest = Files.end();
    for (auto It = Files.begin(); It != Files.end(); ++It)
      if (It->second.BatchDepth == 0 && &It->second != &File &&
          (Oldest == Files.end() || It->second.LastUse < Oldest->second.LastUse))
        Oldest = It;
    if (Oldest == Files.end()) break;
    Files.erase(Oldest);
  }
  return File;
}

// Brings File up to date with the disk, unless a batch holds its content. False when the file
// exists but cannot be read: nothing may then be written over it.
bool Refresh(const std::string& Path, TProfileFile& File) {
  if (File.BatchDepth > 0 && File.Loaded) return true;
  std::string Content;
  switch (ReadFileContent(Path, Content)) {
    case TFileReadResult::Missing:
      if (!File.Loaded || File.Exists || !File.Raw.empty()) {
        File.Document.Parse(std::string_view());
        File.Raw.clear();
      }
      File.Exists = false;
      File.Loaded = true;
      return true;
    case TFileReadResult::Read:
      if (!File.Loaded || !File.Exists || Content != File.Raw) {
        File.Document.Parse(Content);
        File.Raw = std::move(Content);
      }
      File.Exists = true;
      File.Loaded = true;
      return true;
    case TFileReadResult::Failed:
      break;
  }
  File.Loaded = false;
  return false;
}

// The file's parsed content for reading, or nullptr when there is none to read.
const TProfileDocument* ReadableDocument(LPCSTR FileName) {
  if (!FileName) return nullptr;
  std::string Path = CacheKey(FileName);
  if (Path.empty()) return nullptr;
  TProfileFile& File = Entry(Path);
  return Refresh(Path, File) ? &File.Document : nullptr;
}

bool Store(const std::string& Path, TProfileFile& File) {
  std::string Text = File.Document.Text();
  if (!WriteFileAtomically(Path, Text)) {
    // Outside a batch the document now differs from the disk: read it again next time.
    if (File.BatchDepth == 0) File.Loaded = false;
    return false;
  }
  File.Raw = std::move(Text);
  File.Exists = true;
  File.Dirty = false;
  return true;
}

bool Flush(LPCSTR FileName) {
  bool Result = true;
  std::string Wanted = FileName ? CacheKey(FileName) : std::string();
  for (auto& [Path, File] : ProfileFiles())
    if (File.Dirty && (!FileName || Path == Wanted)) Result = Store(Path, File) && Result;
  return Result;
}

DWORD CopyValue(std::string_view Value, LPSTR Buffer, DWORD Size) {
  if (!Buffer || Size == 0) return 0;
  std::string_view Cut = Utf8TruncateBytes(Value, Size - 1);
  std::memcpy(Buffer, Cut.data(), Cut.size());
  Buffer[Cut.size()] = '\0';
  return static_cast<DWORD>(Cut.size());
}

DWORD CopyList(const std::vector<std::string>& Names, LPSTR Buffer, DWORD Size) {
  if (!Buffer || Size == 0) return 0;
  if (Size == 1) {
    Buffer[0] = '\0';
    return 0;
  }
  size_t At = 0;
  for (const auto& Name : Names) {
    // Each name takes its bytes and a NUL, and the list needs one more NUL at its end.
    if (At + Name.size() + 2 > Size) {
      // At may already stand on the last byte, after a name that just fitted.
      std::string_view Part = Utf8TruncateBytes(Name, At + 2 <= Size ? Size - 2 - At : 0);
      std::memcpy(Buffer + At, Part.data(), Part.size());
      std::memset(Buffer + At + Part.size(), 0, Size - At - Part.size());
      return Size - 2;
    }
    std::memcpy(Buffer + At, Name.data(), Name.size());
    At += Name.size();
    Buffer[At++] = '\0';
  }
  Buffer[At] = '\0';
  if (At == 0) Buffer[1] = '\0';
  return static_cast<DWORD>(At);
}

}  // namespace

std::string ProfileFilePath(const std::string& FileName) {
  if (FileName.empty()) return FileName;
  if (FileName.find('/') == std::string::npos) return ProgramFolder() + FileName;
  return FileName;
}

DWORD GetPrivateProfileStringA(LPCSTR AppName, LPCSTR KeyName, LPCSTR Default, LPSTR ReturnedString,
                               DWORD Size, LPCSTR FileName) {
  std::lock_guard<std::mutex> Lock(ProfileMutex());
  const TProfileDocument* Document = ReadableDocument(FileName);
  if (!AppName)
    return CopyList(Document ? Document->SectionNames() : std::vector<std::string>(), ReturnedString, Size);
  if (!KeyName)
    return CopyList(Document ? Document->KeyNames(AppName) : std::vector<std::string>(), ReturnedString,
                    Size);
  std::string Value;
  if (Document && Document->ReadValue(AppName, KeyName, Value)) return CopyValue(Value, ReturnedString, Size);
  std::string_view Fallback = Default ? Default : "";
  while (!Fallback.empty() && (Fallback.back() == ' ' || Fallback.back() == '\t')) Fallback.remove_suffix(1);
  return CopyValue(Fallback, ReturnedString, Size);
}

std::string GetPrivateProfileStringA(const std::string& AppName, const std::string& KeyName,
                                     const std::string& Default, const std::string& FileName) {
  std::lock_guard<std::mutex> Lock(ProfileMutex());
  const TProfileDocument* Document = ReadableDocument(FileName.c_str());
  std::string Value;
  if (Document && Document->ReadValue(AppName, KeyName, Value)) return Value;
  return Default;
}

bool ProfileKeyExists(const std::string& AppName, const std::string& KeyName, const std::string& FileName) {
  std::lock_guard<std::mutex> Lock(ProfileMutex());
  const TProfileDocument* Document = ReadableDocument(FileName.c_str());
  std::string Value;
  return Document && Document->ReadValue(AppName, KeyName, Value);
}

std::vector<std::string> GetProfileSectionNames(const std::string& FileName) {
  std::lock_guard<std::mutex> Lock(ProfileMutex());
  const TProfileDocument* Document = ReadableDocument(FileName.c_str());
  return Document ? Document->SectionNames() : std::vector<std::string>();
}

std::vector<std::string> GetProfileKeyNames(const std::string& AppName, const std::string& FileName) {
  std::lock_guard<std::mutex> Lock(ProfileMutex());
  const TProfileDocument* Document = ReadableDocument(FileName.c_str());
  return Document ? Document->KeyNames(AppName) : std::vector<std::string>();
}

BOOL WritePrivateProfileStringA(LPCSTR AppName, LPCSTR KeyName, LPCSTR String, LPCSTR FileName) {
  std::lock_guard<std::mutex> Lock(ProfileMutex());
  if (!AppName && !KeyName && !String) return Flush(FileName) ? TRUE : FALSE;
  if (!AppName || !FileName) return FALSE;
  if (!TProfileDocument::CanStoreSection(AppName)) return FALSE;
  if (KeyName && !TProfileDocument::CanStoreKey(KeyName)) return FALSE;
  if (KeyName && String && !TProfileDocument::CanStoreValue(String)) return FALSE;
  std::string Path = CacheKey(FileName);
  if (Path.empty()) return FALSE;
  TProfileFile& File = Entry(Path);
  if (!Refresh(Path, File)) return FALSE;
  bool Changed = !KeyName  ? File.Document.DeleteSection(AppName)
                 : !String ? File.Document.DeleteKey(AppName, KeyName)
                           : File.Document.WriteValue(AppName, KeyName, String);
  if (!Changed) return TRUE;
  if (File.BatchDepth > 0) {
    File.Dirty = true;
    return TRUE;
  }
  return Store(Path, File) ? TRUE : FALSE;
}

TProfileBatch::TProfileBatch(const std::string& FileName) : FPath(CacheKey(FileName)) {
  if (FPath.empty()) return;
  std::lock_guard<std::mutex> Lock(ProfileMutex());
  TProfileFile& File = Entry(FPath);
  // The outermost batch starts from what is on the disk now.
  if (File.BatchDepth == 0) Refresh(FPath, File);
  ++File.BatchDepth;
}

TProfileBatch::~TProfileBatch() {
  if (FPath.empty()) return;
  std::lock_guard<std::mutex> Lock(ProfileMutex());
  TProfileFile& File = Entry(FPath);
  if (--File.BatchDepth > 0) return;
  if (File.Dirty && !Store(FPath, File)) {
    // The changes are lost, as an unbatched failed write loses them; read the disk again.
    File.Dirty = false;
    File.Loaded = false;
  }
}

bool TProfileBatch::Commit() {
  if (FPath.empty()) return false;
  std::lock_guard<std::mutex> Lock(ProfileMutex());
  TProfileFile& File = Entry(FPath);
  return !File.Dirty || Store(FPath, File);
}
