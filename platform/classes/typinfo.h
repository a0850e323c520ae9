#pragma once
// Run-time type information for published properties: enumerations by name, sets as bit masks,
// the value type that carries any property value, and the property rows of a class.
//
// A property is declared once, in its class body, with one of the PROPERTY macros of object.h;
// the macro gives the C++ accessors and adds the row to the class's property table, so reading
// and writing by name, form resources and the "write only what differs from the default" rule
// all see exactly what the code sees.

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <string>
#include <string_view>
#include <type_traits>
#include <variant>
#include <vector>

class TObject;
class TStrings;
struct TClassInfo;

// The names of an enumeration, in ordinal order. Built from the enumerator list text that
// KORCAM_ENUM stringifies ("alNone, alTop, alBottom").
class TEnumInfo {
 public:
  TEnumInfo(const char* TypeName, const char* EnumeratorList);
  const std::string& TypeName() const { return FTypeName; }
  int Count() const { return static_cast<int>(FNames.size()); }
  const std::string& Name(int Ordinal) const { return FNames.at(static_cast<size_t>(Ordinal)); }
  // Ordinal of a name (ASCII case-insensitive), or -1.
  int Ordinal(std::string_view Name) const;

 private:
  std::string FTypeName;
  std::vector<std::string> FNames;
};

// Declares an enumeration whose names are known at run time. The enumerators are plain
// (unscoped) constants, as the class library's code uses them: `Align = alClient`.
#define KORCAM_ENUM(Name, ...)                                                  \
  enum Name : int { __VA_ARGS__ };                                             \
  inline const TEnumInfo& GetEnumInfo(Name*) {                                 \
    static const TEnumInfo Info(#Name, #__VA_ARGS__);                          \
    return Info;                                                               \
  }

template <class E>
concept TNamedEnum = std::is_enum_v<E> && requires(E* Tag) {
  { GetEnumInfo(Tag) } -> std::same_as<const TEnumInfo&>;
};

template <TNamedEnum E>
const TEnumInfo& EnumInfoOf() {
  return GetEnumInfo(static_cast<E*>(nullptr));
}

// A set of enumeration values: bit n stands for the value of ordinal n, so the low byte of a set
// is its first eight values, as code that reads a set's bits by name expects.
template <class E>
class TSet {
 public:
  using Element = E;
  constexpr TSet() = default;
  constexpr TSet(std::initializer_list<E> Values) {
    for (E Value : Values) FBits |= Bit(Value);
  }
  static constexpr TSet FromBits(uint64_t Bits) {
    TSet Result;
    Result.FBits = Bits;
    return Result;
  }
  constexpr uint64_t Bits() const { return FBits; }
  constexpr bool Contains(E Value) const { return (FBits & Bit(Value)) != 0; }
  constexpr bool Empty() const { return FBits == 0; }
  constexpr TSet& Include(E Value) {
    FBits |= Bit(Value);
    return *this;
  }
  constexpr TSet& Exclude(E Value) {
    FBits &= ~Bit(Value);
    return *this;
  }
  constexpr TSet operator+(TSet Other) const { return FromBits(FBits | Other.FBits); }
  constexpr TSet operator-(TSet Other) const { return FromBits(FBits & ~Other.FBits); }
  constexpr TSet operator*(TSet Other) const { return FromBits(FBits & Other.FBits); }
  constexpr TSet operator+(E Value) const { return FromBits(FBits | Bit(Value)); }
  constexpr TSet operator-(E Value) const { return FromBits(FBits & ~Bit(Value)); }
  constexpr bool operator==(const TSet&) const = default;
  // True when every member of this set is also in Other (the class library's "<=").
  constexpr bool SubsetOf(TSet Other) const { return (FBits & ~Other.FBits) == 0; }

 private:
  static constexpr uint64_t Bit(E Value) { return uint64_t{1} << static_cast<int>(Value); }
  uint64_t FBits = 0;
};

template <class T>
struct TIsSet : std::false_type {};
template <class E>
struct TIsSet<TSet<E>> : std::true_type {};

// Formats a set as the form resources write it: "[akLeft, akTop]".
std::string SetToString(const TEnumInfo& Info, uint64_t Bits, bool Brackets = true);
// Parses "[a, b]" or "a,b"; raises EPropertyError on an unknown element name.
uint64_t StringToSet(const TEnumInfo& Info, std::string_view Text);

enum class TTypeKind { Integer, Char, Enumeration, Set, Float, String, Boolean, Class, Method, StringList };

// A method bound to an object, as an event property holds it. Name is the method's published
// name when the event was bound by name (from a form), else empty.
struct TMethod {
  TObject* Data = nullptr;
  std::string Name;
  bool operator==(const TMethod&) const = default;
};

// Any property value. Integers, characters, enumerations (ordinal) and sets (bit mask) travel as
// int64_t; floats as long double.
using TValue = std::variant<std::monostate, int64_t, long double, bool, std::string, TObject*, TStrings*, TMethod>;

struct TPropertyInfo {
  std::string Name;
  TTypeKind Kind = TTypeKind::Integer;
  std::string TypeName;                  // as declared: "TColor", "int32_t", "TAlign"
  const TEnumInfo* Enum = nullptr;       // enumerations and sets
  const TClassInfo* ObjectClass = nullptr;  // Class kind: the declared class (may be null if unknown)
  int64_t MinValue = 0;                  // Integer kind: the range of the C++ type
  int64_t MaxValue = 0;
  bool HasDefault = false;
  TValue Default;
  bool ReadOnly = false;
  // Sub-objects the class creates and owns (Font, BitmapOptions): a form fills them in place.
  bool Owned = false;
  std::function<TValue(const TObject&)> Get;
  std::function<void(TObject&, const TValue&)> Set;  // empty for read-only properties
  std::function<bool(const TObject&)> Stored;         // empty: stored when it differs from the default

  // Defined once, in typinfo.cpp: every registration copies and moves rows, and the implicit
  // members (three std::function and a variant) would otherwise be compiled wherever that happens.
  TPropertyInfo();
  TPropertyInfo(const TPropertyInfo&);
  TPropertyInfo(TPropertyInfo&&) noexcept;
  TPropertyInfo& operator=(const TPropertyInfo&);
  TPropertyInfo& operator=(TPropertyInfo&&) noexcept;
  ~TPropertyInfo();

  // True when the form writer should write this property's current value for Instance.
  bool IsStored(const TObject& Instance) const;
};

// Text of a value for messages and tests ("True", "12", "'abc'", "[a,b]").
std::string ValueToText(const TPropertyInfo& Info, const TValue& Value);

// Named constants of an integer type ("clRed" for TColor): forms write and read them by name.
// The layer that defines the constants registers them under the type's declared name.
using TIdentToInt = bool (*)(const std::string& Ident, int64_t& Value);
using TIntToIdent = bool (*)(int64_t Value, std::string& Ident);
void RegisterIntegerConsts(const std::string& TypeName, TIdentToInt IdentToInt, TIntToIdent IntToIdent);
bool FindIntegerConst(const std::string& TypeName, const std::string& Ident, int64_t& Value);
bool FindIntegerIdent(const std::string& TypeName, int64_t Value, std::string& Ident);
