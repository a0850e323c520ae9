#include "platform/classes/resources.h"

#include <map>
#include <mutex>

#include "platform/rtl/sysutils.h"

namespace {

struct TResourceTable {
  std::mutex Lock;
  std::map<std::string, std::span<const uint8_t>> ByName;  // key: upper-cased path
  std::vector<std::string> Names;
};

TResourceTable& Table() {
  static auto* Instance = new TResourceTable;
  return *Instance;
}

}  // namespace

void RegisterResourceData(const std::string& Name, std::span<const uint8_t> Data) {
  auto& Resources = Table();
  std::lock_guard Guard(Resources.Lock);
  auto [Where, Inserted] = Resources.ByName.insert_or_assign(UpperCase(Name), Data);
  if (Inserted) Resources.Names.push_back(Name);
}

TResourceRegistration::TResourceRegistration(const char* Name, const unsigned char* Data, size_t Size) {
  RegisterResourceData(Name, std::span<const uint8_t>(Data, Size));
}

std::optional<std::span<const uint8_t>> FindResourceData(std::string_view Name) {
  auto& Resources = Table();
  std::lock_guard Guard(Resources.Lock);
  auto Where = Resources.ByName.find(UpperCase(std::string(Name)));
  if (Where == Resources.ByName.end()) return std::nullopt;
  return Where->second;
}

std::vector<std::string> ResourceNames() {
  auto& Resources = Table();
  std::lock_guard Guard(Resources.Lock);
  return Resources.Names;
}
