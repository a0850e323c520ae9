#pragma once
// TkvHistoryList: the texts a user entered into a combo box, kept between runs either as one
// binary value in the registry store (below HKEY_CURRENT_USER) or as one section of an INI file.
// The combo box owns one list: it fills its drop-down from it (the newest entries optionally on
// top), appends to it when a value is accepted and saves it when it loses the focus, closes its
// list or is destroyed.
//
// Entries are kept oldest first. Registry layout: every entry followed by CR LF, no terminator.
// INI layout: key = the entry's index in decimal, value = the entry:
//   [Section]
//   0=a
//   1=b

#include <cstdint>
#include <memory>
#include <string>

#include "platform/classes/component.h"
#include "platform/classes/persistent.h"
#include "platform/rtl/streams.h"
#include "platform/rtl/stringlist.h"

KORCAM_ENUM(TkvStorageType, stRegistry, stIniFile)

// A memory stream over a block it does not own (the registry value read back).
class TPointerStream : public TMemoryStream {
 public:
  TPointerStream(void* Memory, int64_t Size) { SetPointer(Memory, Size); }
};

class TkvHistoryList : public TPersistent {
  KORCAM_CLASS(TkvHistoryList, TPersistent)

 public:
  // The combo box that owns the list passes itself.
  explicit TkvHistoryList(TComponent* AOwner = nullptr);
  // Saves the history when it was loaded from its storage (and the owner is not being
  // designed); a failing save is dropped, since nothing above could act on it any more.
  ~TkvHistoryList() override;

  PLAIN_PROPERTY(bool, Enabled, false)
  PLAIN_PROPERTY(TkvStorageType, StorageType, stIniFile)
  // Registry: the key path below HKEY_CURRENT_USER; INI: the file name. See ResolvedFileName.
  PLAIN_PROPERTY(std::string, FileName, "")
  // Registry: the binary value's name; INI: the section.
  PLAIN_PROPERTY(std::string, Section, "")
  // How many of the newest entries are stored; 0 or less stores them all.
  PLAIN_PROPERTY(int32_t, MaxSize, -1)
  PLAIN_PROPERTY(bool, MRUEnabled, false)
  PLAIN_PROPERTY(int32_t, MRUMaxSize, 2)

  void Assign(TPersistent* Source) override;
  TPersistent* GetOwner() const override { return FOwner; }

  // The stored FileName; else the library settings' IniFileName; else, for INI storage with an
  // owner that is not being designed, the program's base name with ".ini". Registry storage never
  // gets a made-up name.
  std::string ResolvedFileName() const;
  // Reads the history from its storage when Section and the resolved file name are set, then
  // appends to Target every entry Target lacks (compared without case).
  void LoadInto(TStrings& Target);
  // Writes the history to its storage when Section and the resolved file name are set.
  void Save();
  // 0 unless Enabled and MRUEnabled; else the smaller of MRUMaxSize and the entry count.
  int32_t GetMRUCount() const;

  // The entries, oldest first; the combo box changes them directly.
  TStringList& Items() { return FItems; }
  const TStringList& Items() const { return FItems; }
  bool Loaded() const { return FLoaded; }

 private:
  bool Designing() const;
  void ReadRegistry(const std::string& Key);
  void WriteRegistry(const std::string& Key);
  void ReadIniFile(const std::string& Name);
  void WriteIniFile(const std::string& Name);

  TComponent* FOwner;
  TStringList FItems;
  bool FLoaded = false;
};
