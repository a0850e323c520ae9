#pragma once
// Registry keys whose values live outside the store file. A desktop service that keeps what a key
// holds in a place of its own (the Run key's values are the desktop's autostart entries) maps the
// key here; the registry object then reads and writes that key's values through the map and never
// keeps them in the store file. A mapped key exists without being created: it opens whenever the
// map says it can (a place the user may not write does not open for writing), it has no sub-keys
// and it cannot be deleted.

#include <optional>
#include <string>
#include <vector>

#include "platform/rtl/registrystore.h"
#include "platform/rtl/wintypes.h"

class TMappedRegistryKey {
 public:
  virtual ~TMappedRegistryKey() = default;
  // Whether the key opens now; Writable: for writing.
  virtual bool CanOpen(bool Writable) = 0;
  virtual std::vector<std::string> ValueNames() = 0;
  // The value (its name as stored), or nothing when there is no such value.
  virtual std::optional<TRegistryValue> ReadValue(const std::string& Name) = 0;
  // Stores the value, replacing one of the same name; false when it cannot be stored (data the
  // place cannot hold, or the place cannot be written).
  virtual bool WriteValue(const TRegistryValue& Value) = 0;
  // False when there is no such value or it cannot be removed.
  virtual bool DeleteValue(const std::string& Name) = 0;
};

// Maps the key Path ("Software\Vendor\Key") below Root to Key; nullptr removes the mapping. The
// caller keeps Key alive while it is mapped. Names match without regard to ASCII case.
void MapRegistryKey(HKEY Root, const std::string& Path, TMappedRegistryKey* Key);
// The key mapped at exactly that path, or nullptr.
TMappedRegistryKey* FindMappedRegistryKey(HKEY Root, const TRegistryPath& Path);
