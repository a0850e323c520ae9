#include "platform/classes/object.h"

#include <map>
#include <mutex>

#include "platform/rtl/sysutils.h"

namespace {

std::string RegistryKey(std::string_view Name) { return UpperCase(std::string(Name)); }

struct TClassRegistry {
  std::mutex Lock;
  std::map<std::string, const TClassInfo*> ByName;
  std::vector<const TClassInfo*> InOrder;
};

TClassRegistry& Registry() {
  static TClassRegistry* Instance = new TClassRegistry;  // outlives every static destructor
  return *Instance;
}

const TClassRegistrar RootRegistrar{TObject::StaticClass()};

}  // namespace

// ---------------------------------------------------------------------------------------------

TFieldInfo::TFieldInfo() = default;
TFieldInfo::TFieldInfo(const TFieldInfo&) = default;
TFieldInfo::TFieldInfo(TFieldInfo&&) noexcept = default;
TFieldInfo& TFieldInfo::operator=(const TFieldInfo&) = default;
TFieldInfo& TFieldInfo::operator=(TFieldInfo&&) noexcept = default;
TFieldInfo::~TFieldInfo() = default;

TClassInfo::TClassInfo() = default;
TClassInfo::TClassInfo(const TClassInfo&) = default;
TClassInfo::TClassInfo(TClassInfo&&) noexcept = default;
TClassInfo& TClassInfo::operator=(const TClassInfo&) = default;
TClassInfo& TClassInfo::operator=(TClassInfo&&) noexcept = default;
TClassInfo::~TClassInfo() = default;

bool TClassInfo::InheritsFrom(const TClassInfo& Other) const {
  for (const TClassInfo* Class = this; Class; Class = Class->Parent)
    if (Class == &Other) return true;
  return false;
}

bool TClassInfo::InheritsFrom(std::string_view ClassName) const {
  const std::string Wanted(ClassName);
  for (const TClassInfo* Class = this; Class; Class = Class->Parent)
    if (SameText(Class->Name, Wanted)) return true;
  return false;
}

const TPropertyInfo* TClassInfo::FindProperty(std::string_view PropertyName) const {
  const std::string Wanted(PropertyName);
  for (const TClassInfo* Class = this; Class; Class = Class->Parent)
    for (const TPropertyInfo& Info : Class->Properties)
      if (SameText(Info.Name, Wanted)) return &Info;
  return nullptr;
}

std::vector<const TPropertyInfo*> TClassInfo::PropertyList() const {
  std::vector<const TClassInfo*> Chain;
  for (const TClassInfo* Class = this; Class; Class = Class->Parent) Chain.insert(Chain.begin(), Class);
  std::vector<const TPropertyInfo*> Result;
  for (const TClassInfo* Class : Chain) {
    for (const TPropertyInfo& Info : Class->Properties) {
      bool Replaced = false;
      for (auto& Existing : Result) {
        if (SameText(Existing->Name, Info.Name)) {
          Existing = &Info;
          Replaced = true;
          break;
        }
      }
      if (!Replaced) Result.push_back(&Info);
    }
  }
  return Result;
}

const TMethodInfo* TClassInfo::FindMethod(std::string_view MethodName) const {
  const std::string Wanted(MethodName);
  for (const TClassInfo* Class = this; Class; Class = Class->Parent)
    for (const TMethodInfo& Info : Class->Methods)
      if (SameText(Info.Name, Wanted)) return &Info;
  return nullptr;
}

std::vector<const TFieldInfo*> TClassInfo::FieldList() const {
  std::vector<const TClassInfo*> Chain;
  for (const TClassInfo* Class = this; Class; Class = Class->Parent) Chain.insert(Chain.begin(), Class);
  std::vector<const TFieldInfo*> Result;
  for (const TClassInfo* Class : Chain)
    for (const TFieldInfo& Info : Class->Fields) Result.push_back(&Info);
  return Result;
}

void TClassInfo::AddProperty(TPropertyInfo Info) {
  for (const TPropertyInfo& Existing : Properties)
    if (SameText(Existing.Name, Info.Name))
      throw EPropertyError("Property " + Name + "." + Info.Name + " is declared twice");
  Properties.push_back(std::move(Info));
}

void TClassInfo::AddMethod(TMethodInfo Info) {
  for (const TMethodInfo& Existing : Methods)
    if (SameText(Existing.Name, Info.Name))
      throw EPropertyError("Method " + Name + "." + Info.Name + " is declared twice");
  Methods.push_back(std::move(Info));
}

void TClassInfo::AddField(TFieldInfo Info) {
  for (const TFieldInfo& Existing : Fields)
    if (SameText(Existing.Name, Info.Name))
      throw EPropertyError("Field " + Name + "." + Info.Name + " is declared twice");
  Fields.push_back(std::move(Info));
}

TClassRegistrar::TClassRegistrar(TClassInfo& Info, void (*AddRows)(TClassInfo&)) {
  if (AddRows) AddRows(Info);
  auto& Classes = Registry();
  std::lock_guard Guard(Classes.Lock);
  auto [Where, Inserted] = Classes.ByName.emplace(RegistryKey(Info.Name), &Info);
  if (Inserted) Classes.InOrder.push_back(&Info);
}

const TClassInfo* FindClass(std::string_view Name) {
  auto& Classes = Registry();
  std::lock_guard Guard(Classes.Lock);
  auto Where = Classes.ByName.find(RegistryKey(Name));
  return Where == Classes.ByName.end() ? nullptr : Where->second;
}

const TClassInfo* GetClass(std::string_view Name) { return FindClass(Name); }

std::vector<const TClassInfo*> RegisteredClasses() {
  auto& Classes = Registry();
  std::lock_guard Guard(Classes.Lock);
  return Classes.InOrder;
}

// ---------------------------------------------------------------------------------------------

TClassInfo& TObject::StaticClass() {
  static TClassInfo& Info = TClassInfo::Make<TObject>("TObject", nullptr);
  return Info;
}

TObject::~TObject() {
  if (FLife) FLife->Alive = false;
}

void TObject::Free() {
  if (FFreeing) return;
  if (FDispatchDepth > 0) {
    FFreePending = true;
    return;
  }
  FFreeing = true;
  BeforeDestruction();
  delete this;
}

std::shared_ptr<const TObjectLife> TObject::LifeToken() const {
  if (!FLife) FLife = std::make_shared<TObjectLife>();
  return FLife;
}

TObjectProtector::TObjectProtector(TObject* Object) : FObject(Object) {
  if (FObject) ++FObject->FDispatchDepth;
}

TObjectProtector::~TObjectProtector() {
  if (!FObject) return;
  if (--FObject->FDispatchDepth == 0 && FObject->FFreePending) {
    FObject->FFreePending = false;
    FObject->Free();
  }
}

bool TObjectProtector::Alive() const { return FObject && !FObject->FFreePending; }

// ---------------------------------------------------------------------------------------------

namespace korcam_detail {

void InvalidPropertyValue(const std::string& Name) {
  throw EPropertyError("Invalid property value for " + Name);
}

}  // namespace korcam_detail

namespace {

const TPropertyInfo& RequireProperty(const TObject* Instance, std::string_view Name) {
  const TPropertyInfo* Info = GetPropInfo(Instance, Name);
  if (!Info) throw EPropertyError("Unknown property: \"" + std::string(Name) + "\"");
  return *Info;
}

}  // namespace

const TPropertyInfo* GetPropInfo(const TObject* Instance, std::string_view Name) {
  return Instance ? Instance->ClassType().FindProperty(Name) : nullptr;
}

bool IsPublishedProp(const TObject* Instance, std::string_view Name) {
  return GetPropInfo(Instance, Name) != nullptr;
}

TValue GetPropValue(const TObject* Instance, std::string_view Name) {
  const TPropertyInfo* Info = GetPropInfo(Instance, Name);
  if (!Info || !Info->Get) return {};
  return Info->Get(*Instance);
}

void SetPropValue(TObject* Instance, std::string_view Name, const TValue& Value) {
  const TPropertyInfo& Info = RequireProperty(Instance, Name);
  if (!Info.Set) throw EPropertyError("Property " + Info.Name + " is read-only");
  Info.Set(*Instance, Value);
}

int64_t GetOrdProp(const TObject* Instance, std::string_view Name, int64_t Default) {
  const TValue Value = GetPropValue(Instance, Name);
  if (auto* Number = std::get_if<int64_t>(&Value)) return *Number;
  if (auto* Flag = std::get_if<bool>(&Value)) return *Flag ? 1 : 0;
  return Default;
}

void SetOrdProp(TObject* Instance, std::string_view Name, int64_t Value) {
  const TPropertyInfo& Info = RequireProperty(Instance, Name);
  if (Info.Kind == TTypeKind::Boolean)
    SetPropValue(Instance, Name, TValue(Value != 0));
  else
    SetPropValue(Instance, Name, TValue(Value));
}

std::string GetStrProp(const TObject* Instance, std::string_view Name) {
  const TValue Value = GetPropValue(Instance, Name);
  if (auto* Text = std::get_if<std::string>(&Value)) return *Text;
  return {};
}

void SetStrProp(TObject* Instance, std::string_view Name, const std::string& Value) {
  SetPropValue(Instance, Name, TValue(Value));
}

std::string GetEnumProp(const TObject* Instance, std::string_view Name) {
  const TPropertyInfo* Info = GetPropInfo(Instance, Name);
  if (!Info || !Info->Get) return {};
  const TValue Value = Info->Get(*Instance);
  if (Info->Kind == TTypeKind::Boolean) return std::get<bool>(Value) ? "True" : "False";
  if (Info->Kind == TTypeKind::Enumeration && Info->Enum) {
    const int64_t Ordinal = std::get<int64_t>(Value);
    if (Ordinal >= 0 && Ordinal < Info->Enum->Count()) return Info->Enum->Name(static_cast<int>(Ordinal));
  }
  return {};
}

void SetEnumProp(TObject* Instance, std::string_view Name, std::string_view Value) {
  const TPropertyInfo& Info = RequireProperty(Instance, Name);
  if (Info.Kind == TTypeKind::Boolean) {
    if (SameText(std::string(Value), "True")) return SetPropValue(Instance, Name, TValue(true));
    if (SameText(std::string(Value), "False")) return SetPropValue(Instance, Name, TValue(false));
  } else if (Info.Kind == TTypeKind::Enumeration && Info.Enum) {
    const int Ordinal = Info.Enum->Ordinal(Value);
    if (Ordinal >= 0) return SetPropValue(Instance, Name, TValue(static_cast<int64_t>(Ordinal)));
  }
  korcam_detail::InvalidPropertyValue(Info.Name);
}

TObject* GetObjectProp(const TObject* Instance, std::string_view Name) {
  const TValue Value = GetPropValue(Instance, Name);
  if (auto* Object = std::get_if<TObject*>(&Value)) return *Object;
  return nullptr;
}

void SetObjectProp(TObject* Instance, std::string_view Name, TObject* Value) {
  SetPropValue(Instance, Name, TValue(Value));
}
