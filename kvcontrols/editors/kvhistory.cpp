#include "kvcontrols/editors/kvhistory.h"

#include <algorithm>
#include <vector>

#include "kvcontrols/editors/kvintl.h"
#include "platform/rtl/inifiles.h"
#include "platform/rtl/registry.h"

KORCAM_REGISTER_CLASS(TkvHistoryList)

TkvHistoryList::TkvHistoryList(TComponent* AOwner) : FOwner(AOwner) {}

TkvHistoryList::~TkvHistoryList() {
  if (Designing() || !FLoaded) return;
  try {
    Save();
  } catch (const Exception&) {
    // The owner is going away; a store that refuses the write loses this run's entries only.
  }
}

void TkvHistoryList::Assign(TPersistent* Source) {
  auto* Other = dynamic_cast<TkvHistoryList*>(Source);
  if (!Other) return TPersistent::Assign(Source);
  FEnabled = Other->FEnabled;
  FStorageType = Other->FStorageType;
  FFileName = Other->FFileName;
  FSection = Other->FSection;
  FMaxSize = Other->FMaxSize;
  FMRUEnabled = Other->FMRUEnabled;
  FMRUMaxSize = Other->FMRUMaxSize;
}

bool TkvHistoryList::Designing() const {
  return FOwner && FOwner->ComponentState().Contains(csDesigning);
}

std::string TkvHistoryList::ResolvedFileName() const {
  if (!FFileName.empty()) return FFileName;
  if (kvGlobalIntl && !kvGlobalIntl->IniFileName().empty()) return kvGlobalIntl->IniFileName();
  if (FStorageType == stIniFile && FOwner && !Designing()) return kvDefaultIniFileName();
  return std::string();
}

void TkvHistoryList::LoadInto(TStrings& Target) {
  const std::string Name = ResolvedFileName();
  if (!FSection.empty() && !Name.empty()) {
    if (FStorageType == stRegistry)
      ReadRegistry(Name);
    else
      ReadIniFile(Name);
    FLoaded = true;
  }
  for (int Index = 0; Index < FItems.Count(); ++Index)
    if (Target.IndexOf(FItems[Index]) < 0) Target.Add(FItems[Index]);
}

void TkvHistoryList::Save() {
  const std::string Name = ResolvedFileName();
  if (FSection.empty() || Name.empty()) return;
  if (FStorageType == stRegistry)
    WriteRegistry(Name);
  else
    WriteIniFile(Name);
}

int32_t TkvHistoryList::GetMRUCount() const {
  if (!FEnabled || !FMRUEnabled) return 0;
  return std::min(FMRUMaxSize, int32_t(FItems.Count()));
}

// The value holds the lines as text; a NUL ends it, a final line break adds no entry.
void TkvHistoryList::ReadRegistry(const std::string& Key) {
  TRegistry Registry;
  Registry.SetRootKey(HKEY_CURRENT_USER);
  FItems.Clear();
  if (!Registry.OpenKey(Key, true)) return;
  const int32_t Size = Registry.GetDataSize(FSection);
  if (Size <= 0) return;
  std::vector<char> Buffer(size_t(Size), '\0');
  Registry.ReadBinaryData(FSection, Buffer.data(), Size);
  TPointerStream Stream(Buffer.data(), Size);
  std::string Text(size_t(Size), '\0');
  Text.resize(size_t(Stream.Read(Text.data(), Size)));
  Text.resize(std::min(Text.size(), Text.find('\0')));
  size_t Start = 0;
  while (Start < Text.size()) {
    const size_t End = Text.find_first_of("\r\n", Start);
    if (End == std::string::npos) {
      FItems.Add(Text.substr(Start));
      break;
    }
    FItems.Add(Text.substr(Start, End - Start));
    Start = End + 1;
    if (Text[End] == '\r' && Start < Text.size() && Text[Start] == '\n') ++Start;
  }
}

void TkvHistoryList::WriteRegistry(const std::string& Key) {
  // The registry keeps only what it stores: the list in memory is cut to match.
  if (FMaxSize > 0)
    while (FItems.Count() > FMaxSize) FItems.Delete(0);
  std::string Text;
  for (int Index = 0; Index < FItems.Count(); ++Index) Text += FItems[Index] + "\r\n";
  TRegistry Registry;
  Registry.SetRootKey(HKEY_CURRENT_USER);
  if (!Registry.OpenKey(Key, true)) return;
  Registry.WriteBinaryData(FSection, Text.data(), int32_t(Text.size()));
}

void TkvHistoryList::ReadIniFile(const std::string& Name) {
  TIniFile Ini(Name);
  TStringList Keys;
  Ini.ReadSection(FSection, Keys);
  FItems.Clear();
  for (int Index = 0; Index < Keys.Count(); ++Index) FItems.Add(Ini.ReadString(FSection, Keys[Index], ""));
}

void TkvHistoryList::WriteIniFile(const std::string& Name) {
  TIniFile Ini(Name);
  Ini.EraseSection(FSection);
  const int Count = FItems.Count();
  const int First = FMaxSize > 0 ? std::max(0, Count - FMaxSize) : 0;
  for (int Index = First; Index < Count; ++Index) Ini.WriteString(FSection, std::to_string(Index), FItems[Index]);
}
