#include "platform/rtl/registrystore.h"

#include <algorithm>

#include "platform/rtl/atomicfile.h"
#include "platform/rtl/registry.h"
#include "platform/rtl/sysutils.h"

namespace {

constexpr std::string_view Header = "; korcam registry store 1";
// How many kept copies of foreign files may pile up before changes are refused.
constexpr int MaxBackups = 100;
constexpr const char* RootNames[5] = {"HKEY_CLASSES_ROOT", "HKEY_CURRENT_USER", "HKEY_LOCAL_MACHINE",
                                      "HKEY_USERS", "HKEY_CURRENT_CONFIG"};

int RootIndex(HKEY RootKey) {
  switch (reinterpret_cast<uintptr_t>(RootKey)) {
    case 0x80000000u:
      return 0;
    case 0x80000001u:
      return 1;
    case 0x80000002u:
      return 2;
    case 0x80000003u:
      return 3;
    case 0x80000005u:
      return 4;
    default:
      return -1;
  }
}

std::string& StorePathSetting() {
  static std::string Path;
  return Path;
}

std::string Escape(std::string_view Text) {
  static const char Digits[] = "0123456789ABCDEF";
  std::string Result;
  Result.reserve(Text.size());
  for (char C : Text) {
    auto Byte = static_cast<unsigned char>(C);
    if (Byte < 0x20 || Byte == 0x7F || C == '%' || C == '"' || C == '[' || C == ']' || C == '=' ||
        C == '\\') {
      Result += '%';
      Result += Digits[Byte >> 4];
      Result += Digits[Byte & 15];
    } else {
      Result += C;
    }
  }
  return Result;
}

int HexDigit(char C) {
  if (C >= '0' && C <= '9') return C - '0';
  if (C >= 'a' && C <= 'f') return C - 'a' + 10;
  if (C >= 'A' && C <= 'F') return C - 'A' + 10;
  return -1;
}

bool Unescape(std::string_view Text, std::string& Result) {
  Result.clear();
  for (size_t At = 0; At < Text.size(); ++At) {
    if (Text[At] != '%') {
      Result += Text[At];
      continue;
    }
    if (At + 2 >= Text.size()) return false;
    int High = HexDigit(Text[At + 1]);
    int Low = HexDigit(Text[At + 2]);
    if (High < 0 || Low < 0) return false;
    Result += static_cast<char>(High * 16 + Low);
    At += 2;
  }
  return true;
}

bool DecodeHex(std::string_view Text, std::string& Result) {
  if (Text.size() % 2 != 0) return false;
  Result.clear();
  for (size_t At = 0; At < Text.size(); At += 2) {
    int High = HexDigit(Text[At]);
    int Low = HexDigit(Text[At + 1]);
    if (High < 0 || Low < 0) return false;
    Result += static_cast<char>(High * 16 + Low);
  }
  return true;
}

std::string EncodeHex(std::string_view Bytes) {
  static const char Digits[] = "0123456789abcdef";
  std::string Result;
  Result.reserve(Bytes.size() * 2);
  for (char C : Bytes) {
    auto Byte = static_cast<unsigned char>(C);
    Result += Digits[Byte >> 4];
    Result += Digits[Byte & 15];
  }
  return Result;
}

const char* TypeName(TRegDataType Type) {
  switch (Type) {
    case rdString:
      return "sz";
    case rdExpandString:
      return "expand_sz";
    case rdInteger:
      return "dword";
    default:
      return "hex";
  }
}

// One value line: "name"=type:data. False for a line that cannot be read.
bool ParseValue(std::string_view Line, TRegistryValue& Value) {
  if (Line.size() < 2 || Line[0] != '"') return false;
  size_t Close = Line.find('"', 1);
  if (Close == std::string_view::npos || Close + 1 >= Line.size() || Line[Close + 1] != '=') return false;
  if (!Unescape(Line.substr(1, Close - 1), Value.Name)) return false;
  std::string_view Rest = Line.substr(Close + 2);
  size_t Colon = Rest.find(':');
  if (Colon == std::string_view::npos) return false;
  std::string_view Type = Rest.substr(0, Colon);
  std::string_view Data = Rest.substr(Colon + 1);
  if (Type == "sz" || Type == "expand_sz") {
    Value.Type = Type == "sz" ? rdString : rdExpandString;
    return Unescape(Data, Value.Data);
  }
  if (Type == "hex") {
    Value.Type = rdBinary;
    return DecodeHex(Data, Value.Data);
  }
  if (Type == "dword") {
    std::string Bytes;
    if (Data.size() != 8 || !DecodeHex(Data, Bytes)) return false;
    // Written most significant digit first, kept as little-endian bytes.
    std::reverse(Bytes.begin(), Bytes.end());
    Value.Type = rdInteger;
    Value.Data = Bytes;
    return true;
  }
  return false;
}

// A line kept as it was read. Reading takes one carriage return off a line's end, so a line that
// still ends with one gets it back.
void AppendKeptLine(const std::string& Line, std::string& Text) {
  Text.append(Line);
  if (!Line.empty() && Line.back() == '\r') Text += '\r';
  Text += '\n';
}

// The key line of Node, its values and the lines kept with it.
void WriteValues(const TRegistryKeyNode& Node, const std::string& Path, std::string& Text) {
  Text += "[" + Path + "]\n";
  for (const auto& Value : Node.Values) {
    Text += "\"" + Escape(Value.Name) + "\"=" + TypeName(Value.Type) + ":";
    if (Value.Type == rdString || Value.Type == rdExpandString) {
      Text += Escape(Value.Data);
    } else if (Value.Type == rdInteger) {
      std::string Bytes = Value.Data;
      std::reverse(Bytes.begin(), Bytes.end());
      Text += EncodeHex(Bytes);
    } else {
      Text += EncodeHex(Value.Data);
    }
    Text += "\n";
  }
  for (const auto& Line : Node.KeptLines) AppendKeptLine(Line, Text);
}

void WriteKey(const TRegistryKeyNode& Node, const std::string& Path, std::string& Text) {
  WriteValues(Node, Path, Text);
  for (const auto& Child : Node.Children) WriteKey(*Child, Path + "\\" + Escape(Child->Name), Text);
}

}  // namespace

void SetRegistryStorePath(const std::string& Path) {
  std::lock_guard<std::mutex> Lock(RegistryStoreMutex());
  StorePathSetting() = Path;
}

std::string RegistryStorePath() {
  const std::string& Path = StorePathSetting();
  return Path.empty() ? ProgramFolder() + "registry.dat" : Path;
}

TRegistryStore& RegistryStore() {
  static TRegistryStore Instance;
  return Instance;
}

std::mutex& RegistryStoreMutex() {
  static std::mutex Instance;
  return Instance;
}

// ---------------------------------------------------------------------------------------------

TRegistryKeyNode* TRegistryKeyNode::Child(std::string_view Name) const {
  for (const auto& Node : Children)
    if (AnsiSameText(Node->Name, std::string(Name))) return Node.get();
  return nullptr;
}

TRegistryValue* TRegistryKeyNode::Value(std::string_view Name) {
  for (auto& Item : Values)
    if (AnsiSameText(Item.Name, std::string(Name))) return &Item;
  return nullptr;
}

TRegistryPath TRegistryStore::SplitPath(std::string_view Key) {
  TRegistryPath Path;
  size_t At = 0;
  while (At <= Key.size()) {
    size_t Stop = Key.find('\\', At);
    if (Stop == std::string_view::npos) Stop = Key.size();
    if (Stop > At) Path.emplace_back(Key.substr(At, Stop - At));
    At = Stop + 1;
  }
  return Path;
}

std::string TRegistryStore::JoinPath(const TRegistryPath& Path) {
  std::string Result;
  for (const auto& Name : Path) Result += (Result.empty() ? "" : "\\") + Name;
  return Result;
}

bool TRegistryStore::Parse(std::string_view Text) {
  for (auto& Root : FRoots) Root = std::make_unique<TRegistryKeyNode>();
  FLeadingLines.clear();
  FKeptLines.clear();
  // An editor may have put a byte-order mark in front.
  if (Text.substr(0, 3) == "\xEF\xBB\xBF") Text.remove_prefix(3);
  if (Text.empty()) return true;
  size_t At = Text.find('\n');
  std::string_view First = Text.substr(0, At);
  if (!First.empty() && First.back() == '\r') First.remove_suffix(1);
  if (First != Header) return false;
  At = At == std::string_view::npos ? Text.size() : At + 1;

  TRegistryKeyNode* Key = nullptr;
  // Where a line that cannot be read goes: before the keys, with its key, or with the key line
  // that could not be read above it.
  std::vector<std::string>* Kept = &FLeadingLines;
  while (At < Text.size()) {
    size_t Stop = Text.find('\n', At);
    if (Stop == std::string_view::npos) Stop = Text.size();
    std::string_view Line = Text.substr(At, Stop - At);
    At = Stop + 1;
    if (!Line.empty() && Line.back() == '\r') Line.remove_suffix(1);
    if (Line.empty()) continue;
    if (Line[0] == '[') {
      Key = ParseKeyLine(Line);
      if (Key) {
        Kept = &Key->KeptLines;
      } else {
        Kept = &FKeptLines;
        Kept->emplace_back(Line);
      }
      continue;
    }
    TRegistryValue Value;
    if (Key && Line[0] != ';' && ParseValue(Line, Value)) {
      if (TRegistryValue* Existing = Key->Value(Value.Name))
        *Existing = std::move(Value);
      else
        Key->Values.push_back(std::move(Value));
      continue;
    }
    Kept->emplace_back(Line);
  }
  return true;
}

TRegistryKeyNode* TRegistryStore::ParseKeyLine(std::string_view Line) {
  if (Line.size() < 2 || Line.front() != '[' || Line.back() != ']') return nullptr;
  TRegistryPath Names = SplitPath(Line.substr(1, Line.size() - 2));
  if (Names.empty()) return nullptr;
  int Index = -1;
  for (int Root = 0; Root < 5; ++Root)
    if (Names[0] == RootNames[Root]) Index = Root;
  if (Index < 0) return nullptr;
  // The whole path is checked before any key is made for it.
  TRegistryPath Path;
  for (size_t Part = 1; Part < Names.size(); ++Part) {
    std::string Name;
    if (!Unescape(Names[Part], Name) || Name.empty()) return nullptr;
    Path.push_back(std::move(Name));
  }
  TRegistryKeyNode* Key = FRoots[Index].get();
  for (const std::string& Name : Path) {
    TRegistryKeyNode* Next = Key->Child(Name);
    if (!Next) {
      Key->Children.push_back(std::make_unique<TRegistryKeyNode>());
      Next = Key->Children.back().get();
      Next->Name = Name;
    }
    Key = Next;
  }
  return Key;
}

std::string TRegistryStore::Text() const {
  std::string Result(Header);
  Result += "\n";
  for (const auto& Line : FLeadingLines) AppendKeptLine(Line, Result);
  for (int Root = 0; Root < 5; ++Root) {
    if (!FRoots[Root]) continue;
    const TRegistryKeyNode& Node = *FRoots[Root];
    // Values kept directly under a root get the root's own key line.
    if (!Node.Values.empty() || !Node.KeptLines.empty()) WriteValues(Node, RootNames[Root], Result);
    for (const auto& Child : Node.Children)
      WriteKey(*Child, std::string(RootNames[Root]) + "\\" + Escape(Child->Name), Result);
  }
  for (const auto& Line : FKeptLines) AppendKeptLine(Line, Result);
  return Result;
}

void TRegistryStore::Sync() {
  std::string Path = RegistryStorePath();
  std::string Content;
  TFileReadResult Result = ReadFileContent(Path, Content);
  FReadable = Result != TFileReadResult::Failed;
  if (FLoaded && Path == FPath && Content == FRaw) return;
  FForeign = !Parse(Content);
  FPath = Path;
  FRaw = std::move(Content);
  FLoaded = true;
}

TRegistryKeyNode* TRegistryStore::Root(HKEY RootKey) {
  int Index = RootIndex(RootKey);
  if (Index < 0 || !FLoaded) return nullptr;
  return FRoots[Index].get();
}

TRegistryKeyNode* TRegistryStore::Find(HKEY RootKey, const TRegistryPath& Path) {
  TRegistryKeyNode* Node = Root(RootKey);
  for (size_t Index = 0; Node && Index < Path.size(); ++Index) Node = Node->Child(Path[Index]);
  return Node;
}

TRegistryKeyNode* TRegistryStore::Create(HKEY RootKey, const TRegistryPath& Path, bool& Created) {
  Created = false;
  TRegistryKeyNode* Node = Root(RootKey);
  for (size_t Index = 0; Node && Index < Path.size(); ++Index) {
    TRegistryKeyNode* Next = Node->Child(Path[Index]);
    if (!Next) {
      Node->Children.push_back(std::make_unique<TRegistryKeyNode>());
      Next = Node->Children.back().get();
      Next->Name = Path[Index];
      Created = true;
    }
    Node = Next;
  }
  return Node;
}

bool TRegistryStore::Remove(HKEY RootKey, const TRegistryPath& Path) {
  if (Path.empty()) return false;
  TRegistryPath ParentPath(Path.begin(), Path.end() - 1);
  TRegistryKeyNode* Parent = Find(RootKey, ParentPath);
  if (!Parent) return false;
  auto& Children = Parent->Children;
  auto Found = std::find_if(Children.begin(), Children.end(),
                            [&](const auto& Child) { return AnsiSameText(Child->Name, Path.back()); });
  if (Found == Children.end()) return false;
  Children.erase(Found);
  return true;
}

bool TRegistryStore::Save() {
  std::string Content = Text();
  if (!FReadable || (FForeign && !KeepForeignFile()) || !WriteFileAtomically(FPath, Content)) {
    FLoaded = false;
    return false;
  }
  FRaw = std::move(Content);
  FForeign = false;
  return true;
}

std::string TRegistryStore::BackupName(const std::string& Path, std::string_view Content) {
  for (int Number = 1; Number <= MaxBackups; ++Number) {
    std::string Name = Path + ".bak" + (Number > 1 ? std::to_string(Number) : std::string());
    std::string Held;
    switch (ReadFileContent(Name, Held)) {
      case TFileReadResult::Missing: return Name;
      case TFileReadResult::Read:
        if (Held == Content) return Name;
        break;
      case TFileReadResult::Failed: break;
    }
  }
  return std::string();
}

bool TRegistryStore::KeepForeignFile() {
  const std::string Name = BackupName(FPath, FRaw);
  if (Name.empty()) return false;
  std::string Held;
  if (ReadFileContent(Name, Held) == TFileReadResult::Read) return true;  // kept by an earlier attempt
  return WriteFileAtomically(Name, FRaw);
}
