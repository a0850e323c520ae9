#include "platform/rtl/registryinifile.h"

#include "platform/rtl/stringlist.h"
#include "platform/rtl/sysutils.h"

TRegistryIniFile::TRegistryIniFile(const std::string& FileName, uint32_t Access)
    : TCustomIniFile(FileName), FRegistry(Access) {
  FRegistry.SetRootKey(HKEY_CURRENT_USER);
  FRegistry.OpenKey(FileName, true);
}

bool TRegistryIniFile::OpenSection(TRegistry& Key, const std::string& Section, TSectionAccess Access) const {
  // Without the file's key (the store could not make it) there is no section to use.
  if (!FRegistry.CurrentKey()) return false;
  Key.SetRootKey(FRegistry.RootKey());
  std::string Path = "\\" + FRegistry.CurrentPath() + "\\" + Section;
  if (Access == TSectionAccess::Read) return Key.OpenKeyReadOnly(Path);
  return Key.OpenKey(Path, Access == TSectionAccess::Create);
}

std::string TRegistryIniFile::ReadString(const std::string& Section, const std::string& Ident,
                                         const std::string& Default) {
  TRegistry Key(FRegistry.Access());
  if (!OpenSection(Key, Section, TSectionAccess::Read) || !Key.ValueExists(Ident)) return Default;
  // Numbers written by WriteInteger read as their decimal text.
  if (Key.GetDataType(Ident) == rdInteger) return IntToStr(Key.ReadInteger(Ident));
  return Key.ReadString(Ident);
}

void TRegistryIniFile::WriteString(const std::string& Section, const std::string& Ident,
                                   const std::string& Value) {
  TRegistry Key(FRegistry.Access());
  OpenSection(Key, Section, TSectionAccess::Create);  // a key that did not open refuses the write
  Key.WriteString(Ident, Value);
}

int32_t TRegistryIniFile::ReadInteger(const std::string& Section, const std::string& Ident, int32_t Default) {
  TRegistry Key(FRegistry.Access());
  if (!OpenSection(Key, Section, TSectionAccess::Read) || !Key.ValueExists(Ident)) return Default;
  if (Key.GetDataType(Ident) == rdString) return StrToIntDef(Key.ReadString(Ident), Default);
  return Key.ReadInteger(Ident);
}

void TRegistryIniFile::WriteInteger(const std::string& Section, const std::string& Ident, int32_t Value) {
  TRegistry Key(FRegistry.Access());
  OpenSection(Key, Section, TSectionAccess::Create);  // a key that did not open refuses the write
  if (Key.GetDataType(Ident) == rdString)
    Key.WriteString(Ident, IntToStr(Value));
  else
    Key.WriteInteger(Ident, Value);
}

void TRegistryIniFile::ReadSection(const std::string& Section, TStrings& Strings) {
  TRegistry Key(FRegistry.Access());
  OpenSection(Key, Section, TSectionAccess::Read);
  Key.GetValueNames(Strings);  // an unopened key lists nothing
}

void TRegistryIniFile::ReadSections(TStrings& Strings) {
  FRegistry.GetKeyNames(Strings);
}

void TRegistryIniFile::EraseSection(const std::string& Section) {
  if (FRegistry.CurrentKey()) FRegistry.DeleteKey(Section);
}

void TRegistryIniFile::DeleteKey(const std::string& Section, const std::string& Ident) {
  TRegistry Key(FRegistry.Access());
  if (OpenSection(Key, Section, TSectionAccess::Modify)) Key.DeleteValue(Ident);
}
