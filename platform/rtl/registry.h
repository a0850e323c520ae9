#pragma once
// The class library's registry object over the file-backed store of registrystore.h. It opens one
// key at a time below a root key and reads and writes that key's values. Failures answer as the
// class library does: opening, testing and deleting return false; reading a missing or mistyped
// value and writing where that is not possible raise ERegistryException.

#include <cstdint>
#include <string>
#include <vector>

#include "platform/rtl/exceptions.h"
#include "platform/rtl/registrystore.h"
#include "platform/rtl/wintypes.h"

class TStrings;
class TMappedRegistryKey;

inline const HKEY HKEY_CLASSES_ROOT = reinterpret_cast<HKEY>(uintptr_t(0x80000000u));
inline const HKEY HKEY_CURRENT_USER = reinterpret_cast<HKEY>(uintptr_t(0x80000001u));
inline const HKEY HKEY_LOCAL_MACHINE = reinterpret_cast<HKEY>(uintptr_t(0x80000002u));
inline const HKEY HKEY_USERS = reinterpret_cast<HKEY>(uintptr_t(0x80000003u));
inline const HKEY HKEY_CURRENT_CONFIG = reinterpret_cast<HKEY>(uintptr_t(0x80000005u));

// Access rights; a key opened without KEY_SET_VALUE refuses writes.
inline constexpr uint32_t KEY_QUERY_VALUE = 0x0001;
inline constexpr uint32_t KEY_SET_VALUE = 0x0002;
inline constexpr uint32_t KEY_CREATE_SUB_KEY = 0x0004;
inline constexpr uint32_t KEY_ENUMERATE_SUB_KEYS = 0x0008;
inline constexpr uint32_t KEY_READ = 0x20019;
inline constexpr uint32_t KEY_WRITE = 0x20006;
inline constexpr uint32_t KEY_ALL_ACCESS = 0xF003F;

// The store file: "registry.dat" in the program folder unless set; "" restores the default.
void SetRegistryStorePath(const std::string& Path);
std::string RegistryStorePath();

struct TRegDataInfo {
  TRegDataType RegData = rdUnknown;
  int32_t DataSize = 0;
};

class TRegistry {
 public:
  TRegistry() : TRegistry(KEY_ALL_ACCESS) {}
  explicit TRegistry(uint32_t Access) : FAccess(Access) {}
  ~TRegistry() = default;
  TRegistry(const TRegistry&) = delete;
  TRegistry& operator=(const TRegistry&) = delete;

  HKEY RootKey() const { return FRootKey; }
  // Closes the open key.
  void SetRootKey(HKEY Value);
  uint32_t Access() const { return FAccess; }
  void SetAccess(uint32_t Value) { FAccess = Value; }
  // A token for the open key (nullptr when none is open).
  HKEY CurrentKey() const;
  // The open key's path below the root, names joined by "\".
  std::string CurrentPath() const;

  // Key: a path below the root when it starts with "\", else below the open key (or the root).
  // Opens the key, creating it (and the keys above it) when CanCreate; false when it is missing
  // and may not be created, or cannot be created.
  bool OpenKey(const std::string& Key, bool CanCreate);
  bool OpenKeyReadOnly(const std::string& Key);
  void CloseKey();
  // Creates the key without opening it; true when it exists afterwards. Raises
  // ERegistryException "Failed to create key <Key>" when it cannot be created.
  bool CreateKey(const std::string& Key);
  // Deletes the key with everything below it; false when there is no such key.
  bool DeleteKey(const std::string& Key);
  bool KeyExists(const std::string& Key);
  bool HasSubKeys();

  // The values of the open key.
  bool ValueExists(const std::string& Name);
  // False when there is no such value (not an error).
  bool DeleteValue(const std::string& Name);
  void GetValueNames(TStrings& Strings);
  void GetKeyNames(TStrings& Strings);
  bool GetDataInfo(const std::string& ValueName, TRegDataInfo& Value);
  // Bytes of the value's data (a text counts its terminating NUL); -1 when there is no such value.
  int32_t GetDataSize(const std::string& ValueName);
  TRegDataType GetDataType(const std::string& ValueName);

  // A missing value reads as ""; a value that is not text raises "Invalid data type for 'Name'".
  std::string ReadString(const std::string& Name);
  void WriteString(const std::string& Name, const std::string& Value);
  void WriteExpandString(const std::string& Name, const std::string& Value);
  // A missing value raises "Failed to get data for 'Name'", one that is not a number
  // "Invalid data type for 'Name'".
  int32_t ReadInteger(const std::string& Name);
  void WriteInteger(const std::string& Name, int32_t Value);
  bool ReadBool(const std::string& Name);
  void WriteBool(const std::string& Name, bool Value);
  // Copies the value into Buffer and returns its size; 0 when there is no such value. A value that
  // is not binary, or larger than BufSize, raises "Invalid data type for 'Name'".
  int32_t ReadBinaryData(const std::string& Name, void* Buffer, int32_t BufSize);
  void WriteBinaryData(const std::string& Name, const void* Buffer, int32_t BufSize);

 private:
  HKEY FRootKey = HKEY_CURRENT_USER;
  uint32_t FAccess;
  bool FOpen = false;
  bool FWritable = false;
  TRegistryPath FCurrentPath;

  TRegistryPath Resolve(const std::string& Key) const;
  bool Open(const std::string& Key, bool CanCreate, bool Writable);
  // The open key in the store (nullptr when none is open or it was deleted).
  TRegistryKeyNode* Current();
  // The open key when its values live outside the store (registrymap.h), else nullptr.
  TMappedRegistryKey* Mapped() const;
  void PutData(const std::string& Name, TRegDataType Type, std::string Data);
  // The value of the open key, or raises "Failed to get data for 'Name'".
  TRegistryValue GetData(const std::string& Name);
};
