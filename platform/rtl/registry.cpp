#include "platform/rtl/registry.h"

#include <cstring>

#include "platform/rtl/registrymap.h"
#include "platform/rtl/stringlist.h"
#include "platform/rtl/sysutils.h"

namespace {

[[noreturn]] void GetDataFailed(const std::string& Name) {
  throw ERegistryException("Failed to get data for '" + Name + "'");
}

[[noreturn]] void SetDataFailed(const std::string& Name) {
  throw ERegistryException("Failed to set data for '" + Name + "'");
}

[[noreturn]] void InvalidType(const std::string& Name) {
  throw ERegistryException("Invalid data type for '" + Name + "'");
}

void FillList(TStrings& Strings, const std::vector<std::string>& Names) {
  Strings.BeginUpdate();
  try {
    Strings.Clear();
    for (const auto& Name : Names) Strings.Add(Name);
  } catch (...) {
    Strings.EndUpdate();
    throw;
  }
  Strings.EndUpdate();
}

// The store, brought up to date with its file; call with RegistryStoreMutex() held.
TRegistryStore& SyncedStore() {
  TRegistryStore& Store = RegistryStore();
  Store.Sync();
  return Store;
}

}  // namespace

void TRegistry::SetRootKey(HKEY Value) {
  if (Value == FRootKey) return;
  CloseKey();
  FRootKey = Value;
}

HKEY TRegistry::CurrentKey() const {
  // Any non-null handle will do: callers only test it and hand it back.
  return FOpen ? reinterpret_cast<HKEY>(const_cast<TRegistry*>(this)) : nullptr;
}

std::string TRegistry::CurrentPath() const {
  return TRegistryStore::JoinPath(FCurrentPath);
}

TRegistryPath TRegistry::Resolve(const std::string& Key) const {
  bool Absolute = !Key.empty() && Key[0] == '\\';
  TRegistryPath Path = Absolute || !FOpen ? TRegistryPath() : FCurrentPath;
  for (auto& Name : TRegistryStore::SplitPath(Key)) Path.push_back(std::move(Name));
  return Path;
}

TRegistryKeyNode* TRegistry::Current() {
  return FOpen ? RegistryStore().Find(FRootKey, FCurrentPath) : nullptr;
}

TMappedRegistryKey* TRegistry::Mapped() const {
  return FOpen ? FindMappedRegistryKey(FRootKey, FCurrentPath) : nullptr;
}

bool TRegistry::Open(const std::string& Key, bool CanCreate, bool Writable) {
  TRegistryPath Path = Resolve(Key);
  if (TMappedRegistryKey* MappedKey = FindMappedRegistryKey(FRootKey, Path)) {
    if (!MappedKey->CanOpen(Writable)) return false;
  } else {
    std::lock_guard<std::mutex> Lock(RegistryStoreMutex());
    TRegistryStore& Store = SyncedStore();
    if (!Store.Find(FRootKey, Path)) {
      if (!CanCreate || !Store.Writable()) return false;
      bool Created = false;
      if (!Store.Create(FRootKey, Path, Created) || !Store.Save()) return false;
    }
  }
  CloseKey();
  FCurrentPath = std::move(Path);
  FOpen = true;
  FWritable = Writable;
  return true;
}

bool TRegistry::OpenKey(const std::string& Key, bool CanCreate) {
  return Open(Key, CanCreate, (FAccess & KEY_SET_VALUE) != 0);
}

bool TRegistry::OpenKeyReadOnly(const std::string& Key) {
  return Open(Key, false, false);
}

void TRegistry::CloseKey() {
  FOpen = false;
  FWritable = false;
  FCurrentPath.clear();
}

bool TRegistry::CreateKey(const std::string& Key) {
  TRegistryPath Path = Resolve(Key);
  if (FindMappedRegistryKey(FRootKey, Path)) return true;
  std::lock_guard<std::mutex> Lock(RegistryStoreMutex());
  TRegistryStore& Store = SyncedStore();
  if (Store.Find(FRootKey, Path)) return true;
  bool Created = false;
  if (!Store.Writable() || !Store.Create(FRootKey, Path, Created) || !Store.Save())
    throw ERegistryException("Failed to create key " + Key);
  return true;
}

bool TRegistry::DeleteKey(const std::string& Key) {
  TRegistryPath Path = Resolve(Key);
  if (FindMappedRegistryKey(FRootKey, Path)) return false;
  std::lock_guard<std::mutex> Lock(RegistryStoreMutex());
  TRegistryStore& Store = SyncedStore();
  return Store.Writable() && Store.Remove(FRootKey, Path) && Store.Save();
}

bool TRegistry::KeyExists(const std::string& Key) {
  TRegistryPath Path = Resolve(Key);
  if (FindMappedRegistryKey(FRootKey, Path)) return true;
  std::lock_guard<std::mutex> Lock(RegistryStoreMutex());
  return SyncedStore().Find(FRootKey, Path) != nullptr;
}

bool TRegistry::HasSubKeys() {
  std::lock_guard<std::mutex> Lock(RegistryStoreMutex());
  SyncedStore();
  TRegistryKeyNode* Node = Current();
  return Node && !Node->Children.empty();
}

bool TRegistry::ValueExists(const std::string& Name) {
  if (TMappedRegistryKey* MappedKey = Mapped()) return MappedKey->ReadValue(Name).has_value();
  std::lock_guard<std::mutex> Lock(RegistryStoreMutex());
  SyncedStore();
  TRegistryKeyNode* Node = Current();
  return Node && Node->Value(Name);
}

bool TRegistry::DeleteValue(const std::string& Name) {
  if (TMappedRegistryKey* MappedKey = Mapped()) return FWritable && MappedKey->DeleteValue(Name);
  std::lock_guard<std::mutex> Lock(RegistryStoreMutex());
  TRegistryStore& Store = SyncedStore();
  TRegistryKeyNode* Node = Current();
  if (!Node || !FWritable || !Node->Value(Name) || !Store.Writable()) return false;
  TRegistryValue* Value = Node->Value(Name);
  Node->Values.erase(Node->Values.begin() + (Value - Node->Values.data()));
  return Store.Save();
}

void TRegistry::GetValueNames(TStrings& Strings) {
  std::vector<std::string> Names;
  if (TMappedRegistryKey* MappedKey = Mapped()) {
    Names = MappedKey->ValueNames();
  } else {
    std::lock_guard<std::mutex> Lock(RegistryStoreMutex());
    SyncedStore();
    if (TRegistryKeyNode* Node = Current())
      for (const auto& Value : Node->Values) Names.push_back(Value.Name);
  }
  // Filled outside the lock: the list's change events may use the registry themselves.
  FillList(Strings, Names);
}

void TRegistry::GetKeyNames(TStrings& Strings) {
  std::vector<std::string> Names;
  {
    std::lock_guard<std::mutex> Lock(RegistryStoreMutex());
    SyncedStore();
    if (TRegistryKeyNode* Node = Current())
      for (const auto& Child : Node->Children) Names.push_back(Child->Name);
  }
  FillList(Strings, Names);
}

bool TRegistry::GetDataInfo(const std::string& ValueName, TRegDataInfo& Value) {
  std::optional<TRegistryValue> Found;
  if (TMappedRegistryKey* MappedKey = Mapped()) {
    Found = MappedKey->ReadValue(ValueName);
  } else {
    std::lock_guard<std::mutex> Lock(RegistryStoreMutex());
    SyncedStore();
    TRegistryKeyNode* Node = Current();
    if (TRegistryValue* Stored = Node ? Node->Value(ValueName) : nullptr) Found = *Stored;
  }
  if (!Found) {
    Value = TRegDataInfo();
    return false;
  }
  Value.RegData = Found->Type;
  bool Text = Found->Type == rdString || Found->Type == rdExpandString;
  Value.DataSize = static_cast<int32_t>(Found->Data.size()) + (Text ? 1 : 0);
  return true;
}

int32_t TRegistry::GetDataSize(const std::string& ValueName) {
  TRegDataInfo Info;
  return GetDataInfo(ValueName, Info) ? Info.DataSize : -1;
}

TRegDataType TRegistry::GetDataType(const std::string& ValueName) {
  TRegDataInfo Info;
  return GetDataInfo(ValueName, Info) ? Info.RegData : rdUnknown;
}

TRegistryValue TRegistry::GetData(const std::string& Name) {
  if (TMappedRegistryKey* MappedKey = Mapped()) {
    std::optional<TRegistryValue> Found = MappedKey->ReadValue(Name);
    if (!Found) GetDataFailed(Name);
    return *Found;
  }
  std::lock_guard<std::mutex> Lock(RegistryStoreMutex());
  SyncedStore();
  TRegistryKeyNode* Node = Current();
  TRegistryValue* Found = Node ? Node->Value(Name) : nullptr;
  if (!Found) GetDataFailed(Name);
  return *Found;
}

void TRegistry::PutData(const std::string& Name, TRegDataType Type, std::string Data) {
  if (TMappedRegistryKey* MappedKey = Mapped()) {
    if (!FWritable || !MappedKey->WriteValue(TRegistryValue{Name, Type, std::move(Data)})) SetDataFailed(Name);
    return;
  }
  std::lock_guard<std::mutex> Lock(RegistryStoreMutex());
  TRegistryStore& Store = SyncedStore();
  TRegistryKeyNode* Node = Current();
  if (!Node || !FWritable || !Store.Writable()) SetDataFailed(Name);
  if (TRegistryValue* Existing = Node->Value(Name)) {
    Existing->Type = Type;
    Existing->Data = std::move(Data);
  } else {
    Node->Values.push_back(TRegistryValue{Name, Type, std::move(Data)});
  }
  if (!Store.Save()) SetDataFailed(Name);
}

std::string TRegistry::ReadString(const std::string& Name) {
  if (GetDataSize(Name) <= 0) return std::string();
  TRegistryValue Value = GetData(Name);
  if (Value.Type != rdString && Value.Type != rdExpandString) InvalidType(Name);
  // A text ends at its first NUL, as the stored terminator would end it.
  return Value.Data.substr(0, Value.Data.find('\0'));
}

void TRegistry::WriteString(const std::string& Name, const std::string& Value) {
  PutData(Name, rdString, Value);
}

void TRegistry::WriteExpandString(const std::string& Name, const std::string& Value) {
  PutData(Name, rdExpandString, Value);
}

int32_t TRegistry::ReadInteger(const std::string& Name) {
  TRegistryValue Value = GetData(Name);
  if (Value.Type != rdInteger || Value.Data.size() != 4) InvalidType(Name);
  uint32_t Bits = 0;
  for (int Index = 3; Index >= 0; --Index) Bits = (Bits << 8) | static_cast<unsigned char>(Value.Data[Index]);
  return static_cast<int32_t>(Bits);
}

void TRegistry::WriteInteger(const std::string& Name, int32_t Value) {
  auto Bits = static_cast<uint32_t>(Value);
  std::string Data(4, '\0');
  for (int Index = 0; Index < 4; ++Index) Data[Index] = static_cast<char>((Bits >> (8 * Index)) & 0xFF);
  PutData(Name, rdInteger, std::move(Data));
}

bool TRegistry::ReadBool(const std::string& Name) {
  return ReadInteger(Name) != 0;
}

void TRegistry::WriteBool(const std::string& Name, bool Value) {
  WriteInteger(Name, Value ? 1 : 0);
}

int32_t TRegistry::ReadBinaryData(const std::string& Name, void* Buffer, int32_t BufSize) {
  TRegDataInfo Info;
  if (!GetDataInfo(Name, Info)) return 0;
  if ((Info.RegData != rdBinary && Info.RegData != rdUnknown) || Info.DataSize > BufSize) InvalidType(Name);
  TRegistryValue Value = GetData(Name);
  if (static_cast<int32_t>(Value.Data.size()) > BufSize) InvalidType(Name);
  if (!Value.Data.empty()) std::memcpy(Buffer, Value.Data.data(), Value.Data.size());
  return static_cast<int32_t>(Value.Data.size());
}

void TRegistry::WriteBinaryData(const std::string& Name, const void* Buffer, int32_t BufSize) {
  std::string Data;
  if (Buffer && BufSize > 0) Data.assign(static_cast<const char*>(Buffer), static_cast<size_t>(BufSize));
  PutData(Name, rdBinary, std::move(Data));
}
