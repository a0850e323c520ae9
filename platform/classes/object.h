#pragma once
// The root of the object model: class identity and ancestry by name, the class registry, object
// lifetime (deferred freeing while an object's own handler runs) and the macros that declare a
// class and its published properties.
//
//   class TvcLabel : public TGraphicControl {
//     KORCAM_CLASS(TvcLabel, TGraphicControl)
//    public:
//     explicit TvcLabel(TComponent* AOwner);
//     PROPERTY(bool, WordWrap, false)            // field FWordWrap, WordWrap(), SetWordWrap() to write
//     PLAIN_PROPERTY(int32_t, Spacing, 2)        // field, getter and a setter that only stores
//     ACCESSOR_PROPERTY(std::string, Caption, "")// getter and setter both written by the class
//     OWNED_PROPERTY(TvcText, TextOptions)       // owned sub-object, filled in place by forms
//   };
//
//   // tvclabel.cpp: the class's identity and its rows, compiled here and nowhere else
//   KORCAM_REGISTER_CLASS(TvcLabel)
//
// Every class registers its name and parent, so ClassName, InheritsFrom by name (ASCII
// case-insensitive, as the control libraries recognise each other) and FindClass work for
// platform and system classes alike.

#include <atomic>
#include <cstdint>
#include <functional>
#include <limits>
#include <memory>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>
#include <vector>

#include "platform/classes/typinfo.h"
#include "platform/rtl/exceptions.h"

class TObject;
class TComponent;
class TCollection;
class TCollectionItem;

// A published method that a form binds to an event by name.
struct TMethodInfo {
  std::string Name;
  const void* Signature = nullptr;  // identifies the parameter list; see SignatureOf
  // Makes the callable for Target: a new std::function<void(Args...)> that the caller frees.
  std::function<void*(TObject* Target)> MakeCall;
};

// One address per parameter list, the same in every translation unit.
template <class... Args>
inline const char SignatureTag = 0;
template <class... Args>
constexpr const void* SignatureOf() {
  return &SignatureTag<Args...>;
}

// A published component field of a form or data module: once the form's resource is read, the
// field holds the component of the same name that the resource made.
struct TFieldInfo {
  std::string Name;
  const TClassInfo* FieldClass = nullptr;  // the class the component must be (or derive from)
  // Stores Component in Instance's field; false when Component is not of the field's class.
  std::function<bool(TObject& Instance, TObject* Component)> Set;
  std::function<TObject*(const TObject& Instance)> Get;

  TFieldInfo();
  TFieldInfo(const TFieldInfo&);
  TFieldInfo(TFieldInfo&&) noexcept;
  TFieldInfo& operator=(const TFieldInfo&);
  TFieldInfo& operator=(TFieldInfo&&) noexcept;
  ~TFieldInfo();
};

struct TClassInfo {
  std::string Name;
  const TClassInfo* Parent = nullptr;
  // Set when the class is a component constructible from its owner (forms create these by name).
  std::function<TComponent*(TComponent* Owner)> CreateComponent;
  // Set when the class is a collection item constructible from its collection.
  std::function<TCollectionItem*(TCollection* Collection)> CreateItem;
  // Set when an instance can be made with no context at all (default constructor, a component
  // without owner, an item without collection); used to read defaults back.
  std::function<TObject*()> CreateInstance;
  std::vector<TPropertyInfo> Properties;  // this class's own, in declaration order
  std::vector<TMethodInfo> Methods;       // this class's own published methods
  std::vector<TFieldInfo> Fields;         // this class's own published component fields

  bool InheritsFrom(const TClassInfo& Other) const;
  bool InheritsFrom(std::string_view ClassName) const;  // ASCII case-insensitive
  // A property by name (ASCII case-insensitive) of this class or an ancestor; nullptr if absent.
  const TPropertyInfo* FindProperty(std::string_view PropertyName) const;
  // Every property, ancestors first; a descendant's redeclaration takes its ancestor's place.
  std::vector<const TPropertyInfo*> PropertyList() const;
  const TMethodInfo* FindMethod(std::string_view MethodName) const;
  // Every published component field, ancestors first.
  std::vector<const TFieldInfo*> FieldList() const;

  void AddProperty(TPropertyInfo Info);
  void AddMethod(TMethodInfo Info);
  void AddField(TFieldInfo Info);

  // Out of line, like TPropertyInfo's: compiled once, not in every registration.
  TClassInfo();
  TClassInfo(const TClassInfo&);
  TClassInfo(TClassInfo&&) noexcept;
  TClassInfo& operator=(const TClassInfo&);
  TClassInfo& operator=(TClassInfo&&) noexcept;
  ~TClassInfo();

  template <class C>
  static TClassInfo& Make(const char* Name, const TClassInfo* Parent);
};

// The class registry: every class declared with KORCAM_CLASS, found by name (ASCII
// case-insensitive). Returns nullptr for an unknown name.
const TClassInfo* FindClass(std::string_view Name);
const TClassInfo* GetClass(std::string_view Name);  // same; the class library's spelling
std::vector<const TClassInfo*> RegisteredClasses();

// Enters a class in the registry at start-up, after adding its rows (AddRows, when given).
struct TClassRegistrar {
  explicit TClassRegistrar(TClassInfo& Info, void (*AddRows)(TClassInfo&) = nullptr);
};

// Shared by an object and whoever holds a weak reference to it (events, deferred frees).
struct TObjectLife {
  std::atomic<bool> Alive{true};
};

class TObject {
 public:
  TObject() = default;
  TObject(const TObject&) = delete;
  TObject& operator=(const TObject&) = delete;
  virtual ~TObject();

  static TClassInfo& StaticClass();
  virtual const TClassInfo& ClassType() const { return StaticClass(); }
  const std::string& ClassName() const { return ClassType().Name; }
  const TClassInfo* ClassParent() const { return ClassType().Parent; }
  bool InheritsFrom(const TClassInfo& Info) const { return ClassType().InheritsFrom(Info); }
  bool InheritsFrom(std::string_view Name) const { return ClassType().InheritsFrom(Name); }

  // Frees the object; while one of its own handlers is being dispatched (see TObjectProtector)
  // the free waits until that dispatch ends, so the handler can finish on a live object.
  void Free();
  // Runs before the destructor when an object is freed with Free(), while it is still whole:
  // components free what they own and tell their peers here.
  virtual void BeforeDestruction() {}

  // A token that turns false when the object is destroyed.
  std::shared_ptr<const TObjectLife> LifeToken() const;

 private:
  friend class TObjectProtector;
  mutable std::shared_ptr<TObjectLife> FLife;
  int FDispatchDepth = 0;
  bool FFreePending = false;
  bool FFreeing = false;
};

// Keeps an object alive while its handler runs: a Free() inside waits until the last protector
// of the object goes out of scope.
class TObjectProtector {
 public:
  explicit TObjectProtector(TObject* Object);
  ~TObjectProtector();
  TObjectProtector(const TObjectProtector&) = delete;
  TObjectProtector& operator=(const TObjectProtector&) = delete;
  // False once the object was freed during the dispatch (the free then happens at scope end).
  bool Alive() const;

 private:
  TObject* FObject;
};

// Frees the object and clears the reference, as the class library's FreeAndNil.
template <class T>
void FreeAndNil(T*& Object) {
  T* Old = Object;
  Object = nullptr;
  if (Old) Old->Free();
}

// Checked cast: raises EInvalidCast "Invalid class typecast" when Object is not a T.
template <class T>
T* As(TObject* Object) {
  if (!Object) return nullptr;
  T* Result = dynamic_cast<T*>(Object);
  if (!Result) throw EInvalidCast("Invalid class typecast");
  return Result;
}

// ---------------------------------------------------------------------------------------------
// Property rows.

namespace korcam_detail {

template <class T>
using TGetterType = std::conditional_t<std::is_scalar_v<T>, T, const T&>;
template <class T>
using TSetterType = std::conditional_t<std::is_scalar_v<T>, T, const T&>;

template <class T>
constexpr bool IsStringsPointer() {
  if constexpr (std::is_pointer_v<T>) {
    using U = std::remove_cv_t<std::remove_pointer_t<T>>;
    return std::is_same_v<U, TStrings> || std::is_base_of_v<TStrings, U>;
  }
  return false;
}

template <class T>
constexpr TTypeKind KindOf() {
  if constexpr (std::is_same_v<T, bool>) return TTypeKind::Boolean;
  else if constexpr (std::is_same_v<T, char32_t> || std::is_same_v<T, char16_t>) return TTypeKind::Char;
  else if constexpr (std::is_enum_v<T>) return TTypeKind::Enumeration;
  else if constexpr (TIsSet<T>::value) return TTypeKind::Set;
  else if constexpr (std::is_integral_v<T>) return TTypeKind::Integer;
  else if constexpr (std::is_floating_point_v<T>) return TTypeKind::Float;
  else if constexpr (std::is_same_v<T, std::string>) return TTypeKind::String;
  else if constexpr (IsStringsPointer<T>()) return TTypeKind::StringList;
  else if constexpr (std::is_pointer_v<T>) {
    static_assert(std::is_base_of_v<TObject, std::remove_cv_t<std::remove_pointer_t<T>>>,
                  "an object property must point to a TObject descendant");
    return TTypeKind::Class;
  } else {
    static_assert(sizeof(T) == 0, "this type cannot be a published property");
  }
}

[[noreturn]] void InvalidPropertyValue(const std::string& Name);

template <class T>
TValue ToValue(const T& Value) {
  constexpr TTypeKind Kind = KindOf<T>();
  if constexpr (Kind == TTypeKind::Boolean) return TValue(Value);
  else if constexpr (Kind == TTypeKind::Char) return TValue(static_cast<int64_t>(Value));
  else if constexpr (Kind == TTypeKind::Enumeration) return TValue(static_cast<int64_t>(Value));
  else if constexpr (Kind == TTypeKind::Set) return TValue(static_cast<int64_t>(Value.Bits()));
  else if constexpr (Kind == TTypeKind::Integer) return TValue(static_cast<int64_t>(Value));
  else if constexpr (Kind == TTypeKind::Float) return TValue(static_cast<long double>(Value));
  else if constexpr (Kind == TTypeKind::String) return TValue(Value);
  else if constexpr (Kind == TTypeKind::StringList) return TValue(static_cast<TStrings*>(Value));
  else return TValue(static_cast<TObject*>(const_cast<std::remove_cv_t<std::remove_pointer_t<T>>*>(Value)));
}

template <class T>
T FromValue(const TValue& Value, const TPropertyInfo& Info) {
  constexpr TTypeKind Kind = KindOf<T>();
  if constexpr (Kind == TTypeKind::Boolean) {
    if (auto* B = std::get_if<bool>(&Value)) return *B;
  } else if constexpr (Kind == TTypeKind::Float) {
    if (auto* F = std::get_if<long double>(&Value)) return static_cast<T>(*F);
    if (auto* I = std::get_if<int64_t>(&Value)) return static_cast<T>(*I);
  } else if constexpr (Kind == TTypeKind::String) {
    if (auto* S = std::get_if<std::string>(&Value)) return *S;
  } else if constexpr (Kind == TTypeKind::StringList) {
    if (auto* S = std::get_if<TStrings*>(&Value)) return static_cast<T>(*S);
    if (std::holds_alternative<TObject*>(Value) && !std::get<TObject*>(Value)) return nullptr;
  } else if constexpr (Kind == TTypeKind::Class) {
    if (auto* O = std::get_if<TObject*>(&Value)) {
      if (!*O) return nullptr;
      if (auto* Typed = dynamic_cast<T>(*O)) return Typed;
    }
  } else if constexpr (Kind == TTypeKind::Set) {
    if (auto* I = std::get_if<int64_t>(&Value)) {
      const uint64_t Bits = static_cast<uint64_t>(*I);
      const int Count = Info.Enum ? Info.Enum->Count() : 64;
      if (Count >= 64 || (Bits >> Count) == 0) return T::FromBits(Bits);
    }
  } else if constexpr (Kind == TTypeKind::Enumeration) {
    if (auto* I = std::get_if<int64_t>(&Value)) {
      if (*I >= 0 && (!Info.Enum || *I < Info.Enum->Count())) return static_cast<T>(*I);
    }
  } else {  // Integer, Char
    if (auto* I = std::get_if<int64_t>(&Value)) {
      if (*I >= Info.MinValue && *I <= Info.MaxValue) return static_cast<T>(*I);
    }
    if constexpr (Kind == TTypeKind::Integer) {
      if (auto* B = std::get_if<bool>(&Value)) return static_cast<T>(*B);
    }
  }
  InvalidPropertyValue(Info.Name);
}

template <class T>
void DescribeType(TPropertyInfo& Info) {
  Info.Kind = KindOf<T>();
  if constexpr (std::is_enum_v<T>) Info.Enum = &EnumInfoOf<T>();
  if constexpr (TIsSet<T>::value) Info.Enum = &EnumInfoOf<typename T::Element>();
  if constexpr (std::is_integral_v<T> && !std::is_same_v<T, bool>) {
    Info.MinValue = static_cast<int64_t>(std::numeric_limits<T>::min());
    Info.MaxValue = std::numeric_limits<T>::max() > static_cast<std::make_unsigned_t<T>>(INT64_MAX)
                        ? INT64_MAX
                        : static_cast<int64_t>(std::numeric_limits<T>::max());
  }
  if constexpr (KindOf<T>() == TTypeKind::Class) {
    using U = std::remove_cv_t<std::remove_pointer_t<T>>;
    if constexpr (requires { U::StaticClass(); }) Info.ObjectClass = &U::StaticClass();
  }
}

// Builds the row of a property with a getter and an optional setter.
template <class C, class G, class S>
TPropertyInfo MakeProperty(const char* Name, const char* TypeName, G (C::*Getter)() const,
                           void (C::*Setter)(S)) {
  using T = std::remove_cvref_t<G>;
  TPropertyInfo Info;
  Info.Name = Name;
  Info.TypeName = TypeName;
  DescribeType<T>(Info);
  Info.Get = [Getter](const TObject& Object) -> TValue {
    return ToValue<T>((static_cast<const C&>(Object).*Getter)());
  };
  if (Setter) {
    const std::string PropertyName = Name;
    Info.Set = [Setter, Info](TObject& Object, const TValue& Value) {
      (static_cast<C&>(Object).*Setter)(FromValue<T>(Value, Info));
    };
  } else {
    Info.ReadOnly = true;
  }
  return Info;
}

// The initial value of a property from the text of its declaration: `0`, `clNone`, `nullptr`,
// `akLeft, akTop` (a set's members) or nothing.
template <class T, class... A>
T Init(A&&... Arguments) {
  if constexpr (sizeof...(A) == 0) return T();
  else if constexpr (TIsSet<T>::value) return T{static_cast<typename T::Element>(Arguments)...};
  else {
    static_assert(sizeof...(A) == 1, "a property has one initial value");
    return (static_cast<T>(Arguments), ...);
  }
}

template <class T>
void SetDefault(TPropertyInfo& Info, const T& Default) {
  Info.HasDefault = true;
  Info.Default = ToValue<T>(Default);
}

// Builds the row of a published component field.
template <class C, class T>
TFieldInfo MakeField(const char* Name, T* C::*Field) {
  TFieldInfo Info;
  Info.Name = Name;
  Info.FieldClass = &T::StaticClass();
  Info.Set = [Field](TObject& Instance, TObject* Component) {
    T* Typed = dynamic_cast<T*>(Component);
    if (Component && !Typed) return false;
    static_cast<C&>(Instance).*Field = Typed;
    return true;
  };
  Info.Get = [Field](const TObject& Instance) -> TObject* { return static_cast<const C&>(Instance).*Field; };
  return Info;
}

}  // namespace korcam_detail

template <class C>
TClassInfo& TClassInfo::Make(const char* Name, const TClassInfo* Parent) {
  auto* Info = new TClassInfo;  // lives for the whole program, like the class itself
  Info->Name = Name;
  Info->Parent = Parent;
  if constexpr (std::is_base_of_v<TComponent, C> && std::is_constructible_v<C, TComponent*>) {
    Info->CreateComponent = [](TComponent* Owner) -> TComponent* { return new C(Owner); };
  }
  if constexpr (std::is_base_of_v<TCollectionItem, C> && std::is_constructible_v<C, TCollection*>) {
    Info->CreateItem = [](TCollection* Collection) -> TCollectionItem* { return new C(Collection); };
  }
  if constexpr (std::is_default_constructible_v<C>) {
    Info->CreateInstance = []() -> TObject* { return new C(); };
  } else if constexpr (std::is_constructible_v<C, TComponent*>) {
    Info->CreateInstance = []() -> TObject* { return new C(static_cast<TComponent*>(nullptr)); };
  } else if constexpr (std::is_constructible_v<C, TCollection*>) {
    Info->CreateInstance = []() -> TObject* { return new C(static_cast<TCollection*>(nullptr)); };
  }
  return *Info;
}

// ---------------------------------------------------------------------------------------------
// Class declaration and registration.
//
// A class body declares its identity and its rows (properties, events, published methods); the
// class's own .cpp emits them, once, with KORCAM_REGISTER_CLASS. Each row is a static member
// function template, so a file that only includes the header parses it but never compiles it:
// building a row (its getter and setter wrappers, its default) is code for one file, not for
// every file that uses the class.
//
// Rows are numbered by the compiler's counter in declaration order, starting after the class's
// KORCAM_CLASS line; the registration walks the numbers until one is missing. Nothing else in a
// class body may use __COUNTER__ (the walk would stop at the gap; it fails the build instead).
// A class whose registration is missing does not link: StaticClass and ClassType (the first
// virtual function, so the vtable goes with them) are defined only by KORCAM_REGISTER_CLASS.

namespace korcam_detail {

template <class C, int Number>
struct TRowSlot {};

// How far past the last row the walk looks for a stray one before it accepts the end.
inline constexpr int RowGapProbe = 8;

template <class C, int Number>
constexpr bool HasRow() {
  return requires(TClassInfo& Info) { C::KorcamRow(TRowSlot<C, Number>{}, Info); };
}

template <class C, int Missing, int... Offsets>
constexpr bool HasRowAfterGap(std::integer_sequence<int, Offsets...>) {
  return (HasRow<C, Missing + 1 + Offsets>() || ...);
}

// Adds rows Number, Number + 1, ... of class C to Info, in declaration order.
template <class C, int Number = 1>
void AddRows(TClassInfo& Info) {
  if constexpr (HasRow<C, Number>()) {
    C::KorcamRow(TRowSlot<C, Number>{}, Info);
    AddRows<C, Number + 1>(Info);
  } else {
    static_assert(!HasRowAfterGap<C, Number>(std::make_integer_sequence<int, RowGapProbe>{}),
                  "__COUNTER__ was used inside a class body: the rows after it would be lost");
  }
}

// Made once per class by KORCAM_REGISTER_CLASS; its registrar adds the rows at start-up.
template <class C>
TClassInfo& MakeClassInfo(const char* Name) {
  return TClassInfo::Make<C>(Name, &C::inherited::StaticClass());
}

}  // namespace korcam_detail

// Declares a class's identity. Put it first in the class body; the class's .cpp registers it.
#define KORCAM_CLASS(Class, ParentClass)                        \
 public:                                                        \
  using inherited = ParentClass;                                \
  static TClassInfo& StaticClass();                             \
  const TClassInfo& ClassType() const override;                 \
                                                                \
 private:                                                       \
  using ThisClass = Class;                                      \
  static constexpr int KorcamRowBase = __COUNTER__;             \
                                                                \
 public:

// Emits a class's identity and rows. Write it once, in the .cpp that defines the class, at
// namespace scope in the class's own namespace.
#define KORCAM_REGISTER_CLASS(Class)                                                       \
  TClassInfo& Class::StaticClass() {                                                       \
    static TClassInfo& Info = korcam_detail::MakeClassInfo<Class>(#Class);                 \
    return Info;                                                                           \
  }                                                                                        \
  const TClassInfo& Class::ClassType() const { return StaticClass(); }                     \
  static const TClassRegistrar KorcamRegistrar##Class{Class::StaticClass(),                \
                                                      &korcam_detail::AddRows<Class>};

// One row of the class's run-time table: the statement adds to `Info`, the class's TClassInfo.
// The template parameter is never used: it only keeps the body from being compiled anywhere but
// in the registration.
#define KORCAM_CLASS_ROW(...)                                                                     \
 public:                                                                                          \
  template <class KorcamSelf = ThisClass>                                                         \
  static void KorcamRow(korcam_detail::TRowSlot<ThisClass, __COUNTER__ - KorcamRowBase>,          \
                        TClassInfo& Info) {                                                       \
    __VA_ARGS__;                                                                                  \
  }

// The row of one property: the expression builds its TPropertyInfo.
#define KORCAM_PROPERTY_ROW(Name, ...) KORCAM_CLASS_ROW(Info.AddProperty(__VA_ARGS__))

#define KORCAM_DEFAULTED(Type, Name, Setter, ...)                                             \
  [] {                                                                                         \
    auto Info = korcam_detail::MakeProperty(#Name, #Type, &ThisClass::Name, Setter);          \
    korcam_detail::SetDefault<Type>(Info, korcam_detail::Init<Type>(__VA_ARGS__));                                        \
    return Info;                                                                               \
  }()

// A published property with a field F<Name> and a getter; the class writes Set<Name>.
#define PROPERTY(Type, Name, ...)                                                  \
 protected:                                                                         \
  Type F##Name = korcam_detail::Init<Type>(__VA_ARGS__);                                                       \
                                                                                    \
 public:                                                                            \
  korcam_detail::TGetterType<Type> Name() const { return F##Name; }                 \
  void Set##Name(korcam_detail::TSetterType<Type> Value);                           \
  KORCAM_PROPERTY_ROW(Name, KORCAM_DEFAULTED(Type, Name, &ThisClass::Set##Name, __VA_ARGS__)) \
 public:

// A published property whose setter only stores the value.
#define PLAIN_PROPERTY(Type, Name, ...)                                            \
 protected:                                                                         \
  Type F##Name = korcam_detail::Init<Type>(__VA_ARGS__);                                                       \
                                                                                    \
 public:                                                                            \
  korcam_detail::TGetterType<Type> Name() const { return F##Name; }                 \
  void Set##Name(korcam_detail::TSetterType<Type> Value) { F##Name = Value; }       \
  KORCAM_PROPERTY_ROW(Name, KORCAM_DEFAULTED(Type, Name, &ThisClass::Set##Name, __VA_ARGS__)) \
 public:

// A published property without a field: the class writes both Name() and Set<Name>().
#define ACCESSOR_PROPERTY(Type, Name, ...)                                         \
 public:                                                                            \
  korcam_detail::TGetterType<Type> Name() const;                                    \
  void Set##Name(korcam_detail::TSetterType<Type> Value);                           \
  KORCAM_PROPERTY_ROW(Name, KORCAM_DEFAULTED(Type, Name, &ThisClass::Set##Name, __VA_ARGS__)) \
 public:

// A published property that is always written (it has no default); the class writes Set<Name>.
#define NODEFAULT_PROPERTY(Type, Name, ...)                                        \
 protected:                                                                         \
  Type F##Name = korcam_detail::Init<Type>(__VA_ARGS__);                                                       \
                                                                                    \
 public:                                                                            \
  korcam_detail::TGetterType<Type> Name() const { return F##Name; }                 \
  void Set##Name(korcam_detail::TSetterType<Type> Value);                           \
  KORCAM_PROPERTY_ROW(Name, korcam_detail::MakeProperty(#Name, #Type, &ThisClass::Name, &ThisClass::Set##Name)) \
 public:

// A read-only published property: the class writes Name(); never stored.
#define READONLY_PROPERTY(Type, Name)                                              \
 public:                                                                            \
  korcam_detail::TGetterType<Type> Name() const;                                    \
  KORCAM_PROPERTY_ROW(Name, [] {                                                    \
    auto Info = korcam_detail::MakeProperty(#Name, #Type, &ThisClass::Name,         \
                                           static_cast<void (ThisClass::*)(Type)>(nullptr)); \
    Info.Stored = [](const TObject&) { return false; };                             \
    return Info;                                                                    \
  }())                                                                              \
 public:

// An owned sub-object (Font, BitmapOptions, Items): created by the owner's constructor into
// F<Name>, published as the object itself; the class writes Set<Name>, which copies (Assign).
#define OWNED_PROPERTY(Class, Name)                                                \
 protected:                                                                         \
  std::unique_ptr<Class> F##Name;                                                   \
                                                                                    \
 public:                                                                            \
  Class* Name() const { return F##Name.get(); }                                     \
  void Set##Name(Class* Value);                                                     \
  KORCAM_PROPERTY_ROW(Name, [] {                                                    \
    auto Info = korcam_detail::MakeProperty(#Name, #Class "*", &ThisClass::Name, &ThisClass::Set##Name); \
    Info.Owned = true;                                                              \
    return Info;                                                                    \
  }())                                                                              \
 public:

// A published component field of a form or data module (`TTimer* Timer1`): reading the form's
// resource binds it to the component of that name, before OnCreate runs; a resource without such
// a component fails to load. The field is cleared when its component leaves the form.
#define PUBLISHED_FIELD(Class, Name)                                                          \
 public:                                                                                     \
  Class* Name = nullptr;                                                                     \
  KORCAM_CLASS_ROW(Info.AddField(korcam_detail::MakeField(#Name, &ThisClass::Name)))          \
 public:

// Registers a member that is not published but that other code reads or writes by name.
#define NAMED_MEMBER(Type, Name, ...) PROPERTY(Type, Name, __VA_ARGS__)

// ---------------------------------------------------------------------------------------------
// Reading and writing properties by name. An absent name reads as absent (monostate / false),
// never as a crash; writing an absent or read-only property raises EPropertyError.

const TPropertyInfo* GetPropInfo(const TObject* Instance, std::string_view Name);
bool IsPublishedProp(const TObject* Instance, std::string_view Name);
TValue GetPropValue(const TObject* Instance, std::string_view Name);
void SetPropValue(TObject* Instance, std::string_view Name, const TValue& Value);
int64_t GetOrdProp(const TObject* Instance, std::string_view Name, int64_t Default = 0);
void SetOrdProp(TObject* Instance, std::string_view Name, int64_t Value);
std::string GetStrProp(const TObject* Instance, std::string_view Name);
void SetStrProp(TObject* Instance, std::string_view Name, const std::string& Value);
std::string GetEnumProp(const TObject* Instance, std::string_view Name);
void SetEnumProp(TObject* Instance, std::string_view Name, std::string_view Value);
TObject* GetObjectProp(const TObject* Instance, std::string_view Name);
void SetObjectProp(TObject* Instance, std::string_view Name, TObject* Value);
