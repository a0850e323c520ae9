#pragma once
// The class library's INI object over the registry: the "file" is a key below
// HKEY_CURRENT_USER, each section a key below it, each entry a value of that key. Callers that
// keep their settings either in an INI file or in the registry use the two objects alike.

#include <cstdint>
#include <string>

#include "platform/rtl/inifiles.h"
#include "platform/rtl/registry.h"

class TRegistryIniFile : public TCustomIniFile {
 public:
  // Opens (creating it when missing) the key FileName below HKEY_CURRENT_USER.
  explicit TRegistryIniFile(const std::string& FileName, uint32_t Access = KEY_ALL_ACCESS);

  // A value that is missing reads as Default, a number as its decimal text; registry failures
  // (a binary value, a store that cannot be written) raise ERegistryException.
  std::string ReadString(const std::string& Section, const std::string& Ident,
                         const std::string& Default) override;
  void WriteString(const std::string& Section, const std::string& Ident, const std::string& Value) override;
  // A number value is read as a number and a text value converted; writing keeps a text value
  // text and stores a number otherwise.
  int32_t ReadInteger(const std::string& Section, const std::string& Ident, int32_t Default) override;
  void WriteInteger(const std::string& Section, const std::string& Ident, int32_t Value) override;
  void ReadSection(const std::string& Section, TStrings& Strings) override;
  void ReadSections(TStrings& Strings) override;
  // Deletes the section's key with all its values.
  void EraseSection(const std::string& Section) override;
  void DeleteKey(const std::string& Section, const std::string& Ident) override;
  // Every write reaches the store at once.
  void UpdateFile() override {}

  TRegistry& RegIniFile() { return FRegistry; }

 private:
  TRegistry FRegistry;

  enum class TSectionAccess { Read, Modify, Create };
  // Opens Key on the section's key below the file's key: read-only, for writing, or for writing
  // and created when missing.
  bool OpenSection(TRegistry& Key, const std::string& Section, TSectionAccess Access) const;
};
