#include "platform/rtl/registrymap.h"

#include <mutex>

#include "platform/rtl/sysutils.h"

namespace {

struct TMapping {
  HKEY Root;
  TRegistryPath Path;
  TMappedRegistryKey* Key;
};

struct TMappings {
  std::mutex Lock;
  std::vector<TMapping> Entries;
};

TMappings& Mappings() {
  static TMappings Instance;
  return Instance;
}

bool SamePath(const TRegistryPath& A, const TRegistryPath& B) {
  if (A.size() != B.size()) return false;
  for (size_t Index = 0; Index < A.size(); ++Index)
    if (!SameText(A[Index], B[Index])) return false;
  return true;
}

}  // namespace

void MapRegistryKey(HKEY Root, const std::string& Path, TMappedRegistryKey* Key) {
  TRegistryPath Names = TRegistryStore::SplitPath(Path);
  TMappings& Map = Mappings();
  std::lock_guard<std::mutex> Lock(Map.Lock);
  for (auto Entry = Map.Entries.begin(); Entry != Map.Entries.end(); ++Entry)
    if (Entry->Root == Root && SamePath(Entry->Path, Names)) {
      Map.Entries.erase(Entry);
      break;
    }
  if (Key) Map.Entries.push_back(TMapping{Root, std::move(Names), Key});
}

TMappedRegistryKey* FindMappedRegistryKey(HKEY Root, const TRegistryPath& Path) {
  TMappings& Map = Mappings();
  std::lock_guard<std::mutex> Lock(Map.Lock);
  for (const TMapping& Entry : Map.Entries)
    if (Entry.Root == Root && SamePath(Entry.Path, Path)) return Entry.Key;
  return nullptr;
}
