#pragma once
// The file behind the registry object: a tree of keys under the predefined roots, each key with
// named values (strings, numbers, binary data). The whole tree lives in one UTF-8 text file:
//
//   ; korcam registry store 1
//   [HKEY_CURRENT_USER\Software\Korvane\History]
//   "Combo1"=hex:610d0a620d0a
//   "Title"=sz:Front door%0Acamera
//   "Count"=dword:0000002a
//
// The first line identifies the file. A key line names the root and the key's path with "\"
// between the names; a value line gives the quoted value name, its type (sz, expand_sz, dword,
// hex) and its data. In names and text, "%", quotes, brackets, "=", "\" and control characters
// are written as %XX, so every byte survives and a line can never be mistaken for another kind.
// Names match without regard to case. Every change replaces the file atomically.
//
// Nothing a person or another program put in the file is lost by a change of ours. A line that
// cannot be read (or a comment) stays in the file as it stands: with its key, or, below a key
// line that cannot be read, together with that line at the end of the file. A file that does not
// start with the identifying line is not a store of this version: it reads as an empty store,
// and before the first change replaces it, its bytes are kept beside it as "<file>.bak" (or
// ".bak2", ".bak3", ... when that name holds something else).

#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "platform/rtl/wintypes.h"

enum TRegDataType : uint8_t { rdUnknown, rdString, rdExpandString, rdInteger, rdBinary };

struct TRegistryValue {
  std::string Name;
  TRegDataType Type = rdUnknown;
  std::string Data;  // the bytes: text without its terminator, a number as 4 little-endian bytes
};

struct TRegistryKeyNode {
  std::string Name;
  std::vector<std::unique_ptr<TRegistryKeyNode>> Children;
  std::vector<TRegistryValue> Values;
  // Lines met below this key that could not be read, written back after its values.
  std::vector<std::string> KeptLines;

  TRegistryKeyNode* Child(std::string_view Name) const;
  TRegistryValue* Value(std::string_view Name);
};

// The path of a key below a root, split into names.
using TRegistryPath = std::vector<std::string>;

class TRegistryStore {
 public:
  // Splits "Software\Korvane\\History\" into its names (empty names are dropped).
  static TRegistryPath SplitPath(std::string_view Key);
  static std::string JoinPath(const TRegistryPath& Path);

  // Reads the file again when its bytes changed since the last look. Every operation calls it
  // once, first, with RegistryStoreMutex() held; the nodes it hands out stay valid until the
  // next Sync.
  void Sync();

  // nullptr when the root is not one of the predefined keys.
  TRegistryKeyNode* Root(HKEY RootKey);
  TRegistryKeyNode* Find(HKEY RootKey, const TRegistryPath& Path);
  // Creates the missing keys along Path; sets Created when it made one.
  TRegistryKeyNode* Create(HKEY RootKey, const TRegistryPath& Path, bool& Created);
  bool Remove(HKEY RootKey, const TRegistryPath& Path);

  // Writes the tree to the file (keeping a foreign file's bytes first, see above). On failure
  // the change is dropped: the next Sync reads the file again.
  bool Save();
  // Whether changes may be saved (the file was readable or absent at the last Sync).
  bool Writable() const { return FReadable; }

  // Reads Text as the tree; false when it is not a store of this version (the tree is empty then).
  bool Parse(std::string_view Text);
  std::string Text() const;
  // Whether the file read at the last Sync was not a store of this version.
  bool Foreign() const { return FForeign; }
  // Where Save keeps the bytes of a foreign file: the first of "<Path>.bak", "<Path>.bak2", ...
  // that is free or already holds them; empty when none is.
  static std::string BackupName(const std::string& Path, std::string_view Content);

 private:
  bool KeepForeignFile();
  // The key a key line names (made when missing), or nullptr when the line cannot be read.
  TRegistryKeyNode* ParseKeyLine(std::string_view Line);

  std::unique_ptr<TRegistryKeyNode> FRoots[5];
  // Lines that could not be read before the first key line, written before the keys.
  std::vector<std::string> FLeadingLines;
  // Key lines that could not be read with the lines below them, written after the keys.
  std::vector<std::string> FKeptLines;
  std::string FPath;  // the file the tree was read from
  std::string FRaw;   // its bytes
  bool FLoaded = false;
  bool FReadable = true;
  bool FForeign = false;
};

// The process's store and the lock that serialises access to it.
TRegistryStore& RegistryStore();
std::mutex& RegistryStoreMutex();
