#pragma once
// The class library's INI objects. TCustomIniFile turns typed reads and writes, section listing
// and section erasing into the few string operations each store supplies; TIniFile stores them in
// a profile file through the profile functions (profile.h), which write the file at once.

#include <cstdint>
#include <string>

#include "platform/rtl/exceptions.h"

class TStrings;

class TCustomIniFile {
 public:
  explicit TCustomIniFile(const std::string& FileName) : FFileName(FileName) {}
  virtual ~TCustomIniFile() = default;
  TCustomIniFile(const TCustomIniFile&) = delete;
  TCustomIniFile& operator=(const TCustomIniFile&) = delete;

  const std::string& FileName() const { return FFileName; }

  virtual std::string ReadString(const std::string& Section, const std::string& Ident,
                                 const std::string& Default) = 0;
  // Raises EIniFileException "Unable to write to <file>" when the store refuses.
  virtual void WriteString(const std::string& Section, const std::string& Ident,
                           const std::string& Value) = 0;
  // Decimal or hexadecimal ("0x1A", "$1A"); anything else gives Default.
  virtual int32_t ReadInteger(const std::string& Section, const std::string& Ident, int32_t Default);
  virtual void WriteInteger(const std::string& Section, const std::string& Ident, int32_t Value);
  // A number, non-zero meaning true; written as "1" or "0".
  virtual bool ReadBool(const std::string& Section, const std::string& Ident, bool Default);
  virtual void WriteBool(const std::string& Section, const std::string& Ident, bool Value);

  // Replace the list's entries with the section's keys (in their order in the store), the
  // section names, or the section's "key=value" entries.
  virtual void ReadSection(const std::string& Section, TStrings& Strings) = 0;
  virtual void ReadSections(TStrings& Strings) = 0;
  virtual void ReadSectionValues(const std::string& Section, TStrings& Strings);
  // Raises EIniFileException "Unable to write to <file>" when the store refuses.
  virtual void EraseSection(const std::string& Section) = 0;
  virtual void DeleteKey(const std::string& Section, const std::string& Ident) = 0;
  // Writes out what the store may still hold in memory.
  virtual void UpdateFile() = 0;

  // True when the section holds at least one key.
  virtual bool SectionExists(const std::string& Section);
  virtual bool ValueExists(const std::string& Section, const std::string& Ident);

 private:
  std::string FFileName;
};

class TIniFile : public TCustomIniFile {
 public:
  // A file name without a folder lies in the program folder (see profile.h).
  explicit TIniFile(const std::string& FileName) : TCustomIniFile(FileName) {}
  ~TIniFile() override;

  std::string ReadString(const std::string& Section, const std::string& Ident,
                         const std::string& Default) override;
  void WriteString(const std::string& Section, const std::string& Ident, const std::string& Value) override;
  void ReadSection(const std::string& Section, TStrings& Strings) override;
  void ReadSections(TStrings& Strings) override;
  void EraseSection(const std::string& Section) override;
  void DeleteKey(const std::string& Section, const std::string& Ident) override;
  void UpdateFile() override;
  bool ValueExists(const std::string& Section, const std::string& Ident) override;
};
