#include "platform/rtl/inifiles.h"

#include <vector>

#include "platform/rtl/profile.h"
#include "platform/rtl/stringlist.h"
#include "platform/rtl/sysutils.h"

namespace {

void FillList(TStrings& Strings, const std::vector<std::string>& Entries) {
  Strings.BeginUpdate();
  try {
    Strings.Clear();
    for (const auto& Entry : Entries) Strings.Add(Entry);
  } catch (...) {
    Strings.EndUpdate();
    throw;
  }
  Strings.EndUpdate();
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// TCustomIniFile

int32_t TCustomIniFile::ReadInteger(const std::string& Section, const std::string& Ident, int32_t Default) {
  return StrToIntDef(ReadString(Section, Ident, std::string()), Default);
}

void TCustomIniFile::WriteInteger(const std::string& Section, const std::string& Ident, int32_t Value) {
  WriteString(Section, Ident, IntToStr(Value));
}

bool TCustomIniFile::ReadBool(const std::string& Section, const std::string& Ident, bool Default) {
  return ReadInteger(Section, Ident, Default ? 1 : 0) != 0;
}

void TCustomIniFile::WriteBool(const std::string& Section, const std::string& Ident, bool Value) {
  WriteString(Section, Ident, Value ? "1" : "0");
}

void TCustomIniFile::ReadSectionValues(const std::string& Section, TStrings& Strings) {
  TStringList Keys;
  ReadSection(Section, Keys);
  std::vector<std::string> Entries;
  for (int Index = 0; Index < Keys.Count(); ++Index)
    Entries.push_back(Keys[Index] + "=" + ReadString(Section, Keys[Index], std::string()));
  FillList(Strings, Entries);
}

bool TCustomIniFile::SectionExists(const std::string& Section) {
  TStringList Keys;
  ReadSection(Section, Keys);
  return Keys.Count() > 0;
}

bool TCustomIniFile::ValueExists(const std::string& Section, const std::string& Ident) {
  TStringList Keys;
  ReadSection(Section, Keys);
  return Keys.IndexOf(Ident) >= 0;
}

// ---------------------------------------------------------------------------------------------
// TIniFile

TIniFile::~TIniFile() {
  WritePrivateProfileStringA(nullptr, nullptr, nullptr, FileName().c_str());
}

std::string TIniFile::ReadString(const std::string& Section, const std::string& Ident,
                                 const std::string& Default) {
  return GetPrivateProfileStringA(Section, Ident, Default, FileName());
}

void TIniFile::WriteString(const std::string& Section, const std::string& Ident, const std::string& Value) {
  if (!WritePrivateProfileStringA(Section.c_str(), Ident.c_str(), Value.c_str(), FileName().c_str()))
    throw EIniFileException("Unable to write to " + FileName());
}

void TIniFile::ReadSection(const std::string& Section, TStrings& Strings) {
  FillList(Strings, GetProfileKeyNames(Section, FileName()));
}

void TIniFile::ReadSections(TStrings& Strings) {
  FillList(Strings, GetProfileSectionNames(FileName()));
}

void TIniFile::EraseSection(const std::string& Section) {
  if (!WritePrivateProfileStringA(Section.c_str(), nullptr, nullptr, FileName().c_str()))
    throw EIniFileException("Unable to write to " + FileName());
}

void TIniFile::DeleteKey(const std::string& Section, const std::string& Ident) {
  WritePrivateProfileStringA(Section.c_str(), Ident.c_str(), nullptr, FileName().c_str());
}

void TIniFile::UpdateFile() {
  WritePrivateProfileStringA(nullptr, nullptr, nullptr, FileName().c_str());
}

bool TIniFile::ValueExists(const std::string& Section, const std::string& Ident) {
  return ProfileKeyExists(Section, Ident, FileName());
}
