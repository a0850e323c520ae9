#include "platform/classes/typinfo.h"

#include "platform/classes/object.h"
#include "platform/rtl/exceptions.h"
#include "platform/rtl/sysutils.h"

namespace {

std::string_view TrimView(std::string_view Text) {
  while (!Text.empty() && static_cast<unsigned char>(Text.front()) <= ' ') Text.remove_prefix(1);
  while (!Text.empty() && static_cast<unsigned char>(Text.back()) <= ' ') Text.remove_suffix(1);
  return Text;
}

}  // namespace

TEnumInfo::TEnumInfo(const char* TypeName, const char* EnumeratorList) : FTypeName(TypeName) {
  std::string_view Rest(EnumeratorList);
  while (!Rest.empty()) {
    const size_t Comma = Rest.find(',');
    std::string_view Item = TrimView(Rest.substr(0, Comma));
    // "alNone = 0" style initialisers keep only the name.
    if (const size_t Equals = Item.find('='); Equals != std::string_view::npos)
      Item = TrimView(Item.substr(0, Equals));
    if (!Item.empty()) FNames.emplace_back(Item);
    if (Comma == std::string_view::npos) break;
    Rest.remove_prefix(Comma + 1);
  }
}

int TEnumInfo::Ordinal(std::string_view Name) const {
  for (size_t Index = 0; Index < FNames.size(); ++Index)
    if (SameText(FNames[Index], std::string(Name))) return static_cast<int>(Index);
  return -1;
}

std::string SetToString(const TEnumInfo& Info, uint64_t Bits, bool Brackets) {
  std::string Result;
  for (int Ordinal = 0; Ordinal < Info.Count() && Ordinal < 64; ++Ordinal) {
    if ((Bits & (uint64_t{1} << Ordinal)) == 0) continue;
    if (!Result.empty()) Result += ", ";
    Result += Info.Name(Ordinal);
  }
  return Brackets ? "[" + Result + "]" : Result;
}

uint64_t StringToSet(const TEnumInfo& Info, std::string_view Text) {
  Text = TrimView(Text);
  if (!Text.empty() && Text.front() == '[') {
    if (Text.back() != ']') throw EPropertyError("Invalid property value");
    Text = Text.substr(1, Text.size() - 2);
  }
  uint64_t Bits = 0;
  while (!TrimView(Text).empty()) {
    const size_t Comma = Text.find(',');
    const std::string_view Item = TrimView(Text.substr(0, Comma));
    const int Ordinal = Info.Ordinal(Item);
    if (Ordinal < 0 || Ordinal >= 64) throw EPropertyError("Invalid property value");
    Bits |= uint64_t{1} << Ordinal;
    if (Comma == std::string_view::npos) break;
    Text.remove_prefix(Comma + 1);
  }
  return Bits;
}

TPropertyInfo::TPropertyInfo() = default;
TPropertyInfo::TPropertyInfo(const TPropertyInfo&) = default;
TPropertyInfo::TPropertyInfo(TPropertyInfo&&) noexcept = default;
TPropertyInfo& TPropertyInfo::operator=(const TPropertyInfo&) = default;
TPropertyInfo& TPropertyInfo::operator=(TPropertyInfo&&) noexcept = default;
TPropertyInfo::~TPropertyInfo() = default;

bool TPropertyInfo::IsStored(const TObject& Instance) const {
  if (Stored) return Stored(Instance);
  if (ReadOnly || !Get) return false;
  if (Kind == TTypeKind::Class) return !Owned && std::get<TObject*>(Get(Instance)) != nullptr;
  if (Kind == TTypeKind::StringList) return false;  // owned lists are written as their items
  if (!HasDefault) return true;
  return Get(Instance) != Default;
}

std::string ValueToText(const TPropertyInfo& Info, const TValue& Value) {
  struct TVisitor {
    const TPropertyInfo& Info;
    std::string operator()(std::monostate) const { return "(absent)"; }
    std::string operator()(int64_t Number) const {
      if (Info.Kind == TTypeKind::Enumeration && Info.Enum && Number >= 0 && Number < Info.Enum->Count())
        return Info.Enum->Name(static_cast<int>(Number));
      if (Info.Kind == TTypeKind::Set && Info.Enum) return SetToString(*Info.Enum, static_cast<uint64_t>(Number));
      return std::to_string(Number);
    }
    std::string operator()(long double Number) const { return std::to_string(static_cast<double>(Number)); }
    std::string operator()(bool Flag) const { return Flag ? "True" : "False"; }
    std::string operator()(const std::string& Text) const { return "'" + Text + "'"; }
    std::string operator()(TObject* Object) const { return Object ? Object->ClassName() : "nil"; }
    std::string operator()(TStrings* List) const { return List ? "(strings)" : "nil"; }
    std::string operator()(const TMethod& Method) const { return Method.Data ? Method.Name : "nil"; }
  };
  return std::visit(TVisitor{Info}, Value);
}

namespace {

struct TIntegerConsts {
  TIdentToInt IdentToInt;
  TIntToIdent IntToIdent;
};

std::vector<std::pair<std::string, TIntegerConsts>>& IntegerConstTable() {
  static auto* Table = new std::vector<std::pair<std::string, TIntegerConsts>>;
  return *Table;
}

const TIntegerConsts* FindIntegerConsts(const std::string& TypeName) {
  for (const auto& [Name, Consts] : IntegerConstTable())
    if (SameText(Name, TypeName)) return &Consts;
  return nullptr;
}

}  // namespace

void RegisterIntegerConsts(const std::string& TypeName, TIdentToInt IdentToInt, TIntToIdent IntToIdent) {
  IntegerConstTable().emplace_back(TypeName, TIntegerConsts{IdentToInt, IntToIdent});
}

bool FindIntegerConst(const std::string& TypeName, const std::string& Ident, int64_t& Value) {
  const TIntegerConsts* Consts = FindIntegerConsts(TypeName);
  return Consts && Consts->IdentToInt && Consts->IdentToInt(Ident, Value);
}

bool FindIntegerIdent(const std::string& TypeName, int64_t Value, std::string& Ident) {
  const TIntegerConsts* Consts = FindIntegerConsts(TypeName);
  return Consts && Consts->IntToIdent && Consts->IntToIdent(Value, Ident);
}
