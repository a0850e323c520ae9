#include "platform/classes/formreader.h"

#include <algorithm>

#include "platform/classes/collection.h"
#include "platform/classes/resources.h"
#include "platform/rtl/stringlist.h"
#include "platform/rtl/sysutils.h"
#include "platform/rtl/unicode.h"

namespace {

std::vector<TComponent*>& GlobalRoots() {
  static auto* Roots = new std::vector<TComponent*>;
  return *Roots;
}

std::vector<std::string> SplitPath(const std::string& Path) {
  std::vector<std::string> Parts;
  size_t Start = 0;
  for (;;) {
    const size_t Dot = Path.find('.', Start);
    Parts.push_back(Path.substr(Start, Dot - Start));
    if (Dot == std::string::npos) break;
    Start = Dot + 1;
  }
  return Parts;
}

[[noreturn]] void Fail(const std::string& What) { throw EReadError(What); }

const char* KindName(TFormValue::TKind Kind) {
  switch (Kind) {
    case TFormValue::TKind::Integer: return "an integer";
    case TFormValue::TKind::Float: return "a number";
    case TFormValue::TKind::String: return "a string";
    case TFormValue::TKind::Ident: return "an identifier";
    case TFormValue::TKind::Set: return "a set";
    case TFormValue::TKind::List: return "a list";
    case TFormValue::TKind::Binary: return "binary data";
    case TFormValue::TKind::Collection: return "a collection";
    case TFormValue::TKind::ResourceRef: return "a resource file";
  }
  return "a value";
}

[[noreturn]] void WrongKind(const TPropertyInfo& Info, const TFormValue& Value) {
  Fail(std::string("Invalid property value: ") + KindName(Value.Kind) + " cannot be assigned to " + Info.Name +
       " (" + Info.TypeName + ")");
}

std::vector<uint8_t> BinaryOf(const TFormValue& Value) {
  if (Value.Kind == TFormValue::TKind::Binary) return Value.Binary;
  if (Value.Kind == TFormValue::TKind::ResourceRef) {
    auto Data = FindResourceData(Value.Text);
    if (!Data) Fail("Resource file '" + Value.Text + "' not found");
    return std::vector<uint8_t>(Data->begin(), Data->end());
  }
  Fail(std::string("Binary data expected, found ") + KindName(Value.Kind));
}

std::string InstanceName(TObject* Instance) {
  if (auto* Component = dynamic_cast<TComponent*>(Instance); Component && !Component->Name().empty())
    return Component->Name();
  if (auto* Persistent = dynamic_cast<TPersistent*>(Instance)) return Persistent->GetNamePath();
  return Instance->ClassName();
}

}  // namespace

void AddGlobalRoot(TComponent* Root) {
  auto& Roots = GlobalRoots();
  if (std::find(Roots.begin(), Roots.end(), Root) == Roots.end()) Roots.push_back(Root);
}

void RemoveGlobalRoot(TComponent* Root) {
  auto& Roots = GlobalRoots();
  Roots.erase(std::remove(Roots.begin(), Roots.end(), Root), Roots.end());
}

TComponent* FindGlobalRoot(const std::string& Name) {
  for (TComponent* Root : GlobalRoots())
    if (SameText(Root->Name(), Name)) return Root;
  return nullptr;
}

// ---------------------------------------------------------------------------------------------
// Reading

void TReader::ReadRootComponent(const TFormObject& Tree) {
  TComponent* Root = this->Root();
  if (!Root->InheritsFrom(Tree.ClassName))
    Fail("Line " + std::to_string(Tree.Line) + ": the form describes a " + Tree.ClassName + ", not a " +
         Root->ClassName());
  FLoaded.clear();
  FFixups.clear();
  try {
    Root->SetComponentState(Root->ComponentState() + csLoading + csReading);
    FLoaded.push_back(Root);
    if (!Tree.Name.empty()) Root->SetName(Tree.Name);
    ReadProperties(Root, Tree.Properties);
    for (const TFormObject& Child : Tree.Children) ReadChild(Root, Child);
    ResolveFixups();
    BindFields();
  } catch (...) {
    // Half-read components stay owned by the root (freed with it) but are not loading any more.
    for (TComponent* Component : FLoaded)
      Component->SetComponentState(Component->ComponentState() - csLoading - csReading);
    throw;
  }
  for (TComponent* Component : FLoaded) Component->SetComponentState(Component->ComponentState() - csReading);
  for (TComponent* Component : FLoaded) Component->Loaded();
}

TComponent* TReader::ReadChild(TComponent* Parent, const TFormObject& Node) {
  const std::string Where = "Line " + std::to_string(Node.Line) + ": ";
  TComponent* Component = nullptr;
  if (Node.Inherited) {
    Component = Root()->FindComponent(Node.Name);
    if (!Component) Fail(Where + "inherited component " + Node.Name + " not found");
    if (!Component->InheritsFrom(Node.ClassName))
      Fail(Where + Node.Name + " is a " + Component->ClassName() + ", not a " + Node.ClassName);
  } else {
    const TClassInfo* Class = FindClass(Node.ClassName);
    if (!Class) throw EClassNotFound(Where + "Class " + Node.ClassName + " not found");
    if (!Class->CreateComponent) Fail(Where + "Class " + Node.ClassName + " is not a component that forms can create");
    Component = Class->CreateComponent(Root());
    try {
      Component->SetComponentState(Component->ComponentState() + csLoading + csReading);
      Component->SetName(Node.Name);
    } catch (const Exception& E) {
      Component->Free();
      Fail(Where + E.Message());
    }
  }
  Component->SetComponentState(Component->ComponentState() + csLoading + csReading);
  FLoaded.push_back(Component);
  try {
    Component->SetParentComponent(Parent);
  } catch (const Exception& E) {
    Fail(Where + "Error reading " + InstanceName(Component) + ": " + E.Message());
  }
  ReadProperties(Component, Node.Properties);
  for (const TFormObject& Child : Node.Children) ReadChild(Component, Child);
  return Component;
}

void TReader::ReadProperties(TObject* Instance, const std::vector<TFormProperty>& Properties) {
  for (const TFormProperty& Property : Properties) {
    try {
      ReadProperty(Instance, Property);
    } catch (const EReadError& E) {
      if (E.Message().rfind("Line ", 0) == 0) throw;
      Fail("Line " + std::to_string(Property.Line) + ": Error reading " + InstanceName(Instance) + "." +
           Property.Name + ": " + E.Message());
    } catch (const Exception& E) {
      Fail("Line " + std::to_string(Property.Line) + ": Error reading " + InstanceName(Instance) + "." +
           Property.Name + ": " + E.Message());
    }
  }
}

void TReader::ReadProperty(TObject* Instance, const TFormProperty& Property) {
  const std::vector<std::string> Path = SplitPath(Property.Name);
  TObject* Object = Instance;
  for (size_t Index = 0; Index + 1 < Path.size(); ++Index) {
    const TPropertyInfo* Info = Object->ClassType().FindProperty(Path[Index]);
    if (!Info) Fail("Property " + Path[Index] + " does not exist");
    if (Info->Kind == TTypeKind::StringList && Index + 2 == Path.size() && SameText(Path[Index + 1], "Strings")) {
      AssignValue(Object, *Info, Property.Value, Property.Line);
      return;
    }
    if (Info->Kind != TTypeKind::Class) Fail("Property " + Path[Index] + " is not an object");
    TObject* Sub = std::get<TObject*>(Info->Get(*Object));
    if (!Sub) Fail("Property " + Path[Index] + " holds no object");
    Object = Sub;
  }
  const std::string& Name = Path.back();
  if (const TPropertyInfo* Info = Object->ClassType().FindProperty(Name)) {
    AssignValue(Object, *Info, Property.Value, Property.Line);
    return;
  }
  if (auto* Persistent = dynamic_cast<TPersistent*>(Object)) {
    FPendingName = &Name;
    FValue = &Property.Value;
    FPendingHandled = false;
    Persistent->DefineProperties(this);
    const bool Handled = FPendingHandled;
    FPendingName = nullptr;
    FValue = nullptr;
    if (Handled) return;
  }
  Fail("Property " + Name + " does not exist");
}

void TReader::AssignValue(TObject* Instance, const TPropertyInfo& Info, const TFormValue& Value, int Line) {
  if (!Info.Set && Info.Kind != TTypeKind::Class && Info.Kind != TTypeKind::StringList)
    Fail("Property " + Info.Name + " is read-only");
  using K = TFormValue::TKind;
  switch (Info.Kind) {
    case TTypeKind::Integer: {
      int64_t Number = 0;
      if (Value.Kind == K::Integer) Number = Value.Integer;
      else if (Value.Kind == K::Ident && FindIntegerConst(Info.TypeName, Value.Text, Number)) {
      } else WrongKind(Info, Value);
      Info.Set(*Instance, TValue(Number));
      return;
    }
    case TTypeKind::Char: {
      int64_t Code = 0;
      if (Value.Kind == K::Integer) {
        Code = Value.Integer;
      } else if (Value.Kind == K::String && Utf8Length(Value.Text) == 1) {
        size_t At = 0;
        Code = Utf8Decode(Value.Text, At);
      } else {
        WrongKind(Info, Value);
      }
      Info.Set(*Instance, TValue(Code));
      return;
    }
    case TTypeKind::Enumeration: {
      if (Value.Kind != K::Ident || !Info.Enum) WrongKind(Info, Value);
      const int Ordinal = Info.Enum->Ordinal(Value.Text);
      if (Ordinal < 0) Fail("Invalid property value " + Value.Text + " for " + Info.Name + " (" + Info.TypeName + ")");
      Info.Set(*Instance, TValue(static_cast<int64_t>(Ordinal)));
      return;
    }
    case TTypeKind::Boolean: {
      if (Value.Kind == K::Ident && SameText(Value.Text, "True")) Info.Set(*Instance, TValue(true));
      else if (Value.Kind == K::Ident && SameText(Value.Text, "False")) Info.Set(*Instance, TValue(false));
      else WrongKind(Info, Value);
      return;
    }
    case TTypeKind::Set: {
      if (Value.Kind != K::Set || !Info.Enum) WrongKind(Info, Value);
      uint64_t Bits = 0;
      for (const std::string& Element : Value.Names) {
        const int Ordinal = Info.Enum->Ordinal(Element);
        if (Ordinal < 0 || Ordinal >= 64) Fail("Invalid set element " + Element + " for " + Info.Name);
        Bits |= uint64_t{1} << Ordinal;
      }
      Info.Set(*Instance, TValue(static_cast<int64_t>(Bits)));
      return;
    }
    case TTypeKind::Float: {
      if (Value.Kind == K::Float) Info.Set(*Instance, TValue(Value.Float));
      else if (Value.Kind == K::Integer) Info.Set(*Instance, TValue(static_cast<long double>(Value.Integer)));
      else WrongKind(Info, Value);
      return;
    }
    case TTypeKind::String: {
      if (Value.Kind != K::String) WrongKind(Info, Value);
      Info.Set(*Instance, TValue(Value.Text));
      return;
    }
    case TTypeKind::StringList: {
      if (Value.Kind != K::List) WrongKind(Info, Value);
      TStrings* List = std::get<TStrings*>(Info.Get(*Instance));
      if (!List) Fail("Property " + Info.Name + " holds no list");
      List->BeginUpdate();
      List->Clear();
      for (const TFormValue& Element : Value.List) {
        if (Element.Kind != K::String) {
          List->EndUpdate();
          Fail("Invalid property value: a list of strings expected for " + Info.Name);
        }
        List->Add(Element.Text);
      }
      List->EndUpdate();
      return;
    }
    case TTypeKind::Method: {
      if (Value.Kind != K::Ident) WrongKind(Info, Value);
      if (SameText(Value.Text, "nil")) {
        Info.Set(*Instance, TValue(TMethod{}));
        return;
      }
      if (!Root()->ClassType().FindMethod(Value.Text))
        Fail("Method " + Value.Text + " not found in " + Root()->ClassName());
      Info.Set(*Instance, TValue(TMethod{Root(), Value.Text}));
      return;
    }
    case TTypeKind::Class: {
      if (Value.Kind == K::Collection) {
        ReadCollection(std::get<TObject*>(Info.Get(*Instance)), Value);
        return;
      }
      if (Value.Kind != K::Ident || !Info.Set) WrongKind(Info, Value);
      if (SameText(Value.Text, "nil")) {
        Info.Set(*Instance, TValue(static_cast<TObject*>(nullptr)));
        return;
      }
      if (TComponent* Target = FindReference(Value.Text)) {
        Info.Set(*Instance, TValue(static_cast<TObject*>(Target)));
        return;
      }
      FFixups.push_back({Instance, &Info, Value.Text, Line});
      return;
    }
  }
}

void TReader::ReadCollection(TObject* Object, const TFormValue& Value) {
  auto* Collection = dynamic_cast<TCollection*>(Object);
  if (!Collection) Fail("Property holds no collection");
  Collection->BeginUpdate();
  try {
    Collection->Clear();
    for (const TFormItem& Item : Value.Items) ReadProperties(Collection->Add(), Item.Properties);
  } catch (...) {
    Collection->EndUpdate();
    throw;
  }
  Collection->EndUpdate();
}

TComponent* TReader::FindReference(const std::string& Reference) const {
  const size_t Dot = Reference.find('.');
  if (Dot != std::string::npos) {
    const std::string RootName = Reference.substr(0, Dot);
    TComponent* Other = SameText(RootName, Root()->Name()) ? Root() : FindGlobalRoot(RootName);
    return Other ? Other->FindComponent(Reference.substr(Dot + 1)) : nullptr;
  }
  if (TComponent* Found = Root()->FindComponent(Reference)) return Found;
  if (SameText(Reference, Root()->Name())) return Root();
  return FindGlobalRoot(Reference);
}

void TReader::ResolveFixups() {
  for (const TFixup& Fixup : FFixups) {
    TComponent* Target = FindReference(Fixup.Reference);
    if (!Target)
      Fail("Line " + std::to_string(Fixup.Line) + ": Error reading " + InstanceName(Fixup.Instance) + "." +
           Fixup.Info->Name + ": component " + Fixup.Reference + " not found");
    try {
      Fixup.Info->Set(*Fixup.Instance, TValue(static_cast<TObject*>(Target)));
    } catch (const Exception& E) {
      Fail("Line " + std::to_string(Fixup.Line) + ": Error reading " + InstanceName(Fixup.Instance) + "." +
           Fixup.Info->Name + ": " + E.Message());
    }
  }
  FFixups.clear();
}

void TReader::BindFields() {
  TComponent* Root = this->Root();
  for (const TFieldInfo* Field : Root->ClassType().FieldList()) {
    TComponent* Component = Root->FindComponent(Field->Name);
    if (!Component)
      Fail("Field " + Root->ClassName() + "." + Field->Name + " has no component of that name in the form");
    if (!Field->Set(*Root, Component))
      Fail("Field " + Root->ClassName() + "." + Field->Name + " is a " + Field->FieldClass->Name + ", but " +
           Field->Name + " is a " + Component->ClassName());
  }
}

void TReader::DefineProperty(const std::string& Name, const TReaderProc& ReadData, const TWriterProc&, bool) {
  if (!FPendingName || FPendingHandled || !SameText(Name, *FPendingName) || !ReadData) return;
  FPendingHandled = true;
  ReadData(*this);
}

void TReader::DefineBinaryProperty(const std::string& Name, const TStreamProc& ReadData, const TStreamProc&, bool) {
  if (!FPendingName || FPendingHandled || !SameText(Name, *FPendingName) || !ReadData) return;
  FPendingHandled = true;
  const std::vector<uint8_t> Bytes = BinaryOf(*FValue);
  TMemoryStream Stream;
  if (!Bytes.empty()) Stream.WriteBuffer(Bytes.data(), static_cast<int32_t>(Bytes.size()));
  Stream.SetPosition(0);
  ReadData(Stream);
}

int64_t TReader::ReadInteger() const {
  if (!FValue || FValue->Kind != TFormValue::TKind::Integer) Fail("Integer value expected");
  return FValue->Integer;
}

std::string TReader::ReadString() const {
  if (!FValue || FValue->Kind != TFormValue::TKind::String) Fail("String value expected");
  return FValue->Text;
}

bool TReader::ReadBoolean() const {
  if (FValue && FValue->Kind == TFormValue::TKind::Ident) {
    if (SameText(FValue->Text, "True")) return true;
    if (SameText(FValue->Text, "False")) return false;
  }
  Fail("Boolean value expected");
}

long double TReader::ReadFloat() const {
  if (FValue && FValue->Kind == TFormValue::TKind::Float) return FValue->Float;
  if (FValue && FValue->Kind == TFormValue::TKind::Integer) return static_cast<long double>(FValue->Integer);
  Fail("Number expected");
}

std::string TReader::ReadIdent() const {
  if (!FValue || FValue->Kind != TFormValue::TKind::Ident) Fail("Identifier expected");
  return FValue->Text;
}

// ---------------------------------------------------------------------------------------------
// Writing

TFormObject TWriter::WriteRootComponent() { return WriteComponent(Root()); }

TFormObject TWriter::WriteComponent(TComponent* Component) {
  TFormObject Node;
  Node.Name = Component->Name();
  Node.ClassName = Component->ClassName();
  WriteProperties(Component, "", Node.Properties);
  Component->GetChildren([&](TComponent* Child) { Node.Children.push_back(WriteComponent(Child)); }, Root());
  return Node;
}

std::string TWriter::ReferenceName(TComponent* Component) const {
  if (Component == Root()) return Component->Name();
  if (Component->Owner() == Root() || !Component->Owner()) return Component->Name();
  return Component->Owner()->Name() + "." + Component->Name();
}

void TWriter::WriteProperties(TObject* Instance, const std::string& Prefix, std::vector<TFormProperty>& Out) {
  const bool IsComponent = dynamic_cast<TComponent*>(Instance) != nullptr;
  for (const TPropertyInfo* Info : Instance->ClassType().PropertyList()) {
    if (IsComponent && Prefix.empty() && SameText(Info->Name, "Name")) continue;
    if (!Info->Get) continue;
    TFormProperty Property;
    Property.Name = Prefix + Info->Name;
    TFormValue& Value = Property.Value;
    const TValue Current = Info->Get(*Instance);
    switch (Info->Kind) {
      case TTypeKind::Class: {
        TObject* Object = std::get<TObject*>(Current);
        if (!Object) continue;
        auto* AsComponent = dynamic_cast<TComponent*>(Object);
        if (Info->Owned || !AsComponent) {
          // An owned object is written member by member, unless its row says it is not stored
          // now (a button's glyph while a stock kind supplies it).
          if (Info->Stored && !Info->Stored(*Instance)) continue;
          if (auto* Collection = dynamic_cast<TCollection*>(Object)) {
            if (Collection->Count() == 0) continue;
            Value.Kind = TFormValue::TKind::Collection;
            for (int Index = 0; Index < Collection->Count(); ++Index) {
              TFormItem Item;
              WriteProperties(Collection->Items(Index), "", Item.Properties);
              Value.Items.push_back(std::move(Item));
            }
            break;
          }
          WriteProperties(Object, Property.Name + ".", Out);
          continue;
        }
        if (!Info->IsStored(*Instance)) continue;
        Value.Kind = TFormValue::TKind::Ident;
        Value.Text = ReferenceName(AsComponent);
        break;
      }
      case TTypeKind::StringList: {
        TStrings* List = std::get<TStrings*>(Current);
        if (!List || List->Count() == 0) continue;
        Property.Name += ".Strings";
        Value.Kind = TFormValue::TKind::List;
        for (int Index = 0; Index < List->Count(); ++Index) {
          TFormValue Element;
          Element.Kind = TFormValue::TKind::String;
          Element.Text = List->Strings(Index);
          Value.List.push_back(std::move(Element));
        }
        break;
      }
      default: {
        if (!Info->IsStored(*Instance)) continue;
        switch (Info->Kind) {
          case TTypeKind::Boolean:
            Value.Kind = TFormValue::TKind::Ident;
            Value.Text = std::get<bool>(Current) ? "True" : "False";
            break;
          case TTypeKind::Enumeration:
            Value.Kind = TFormValue::TKind::Ident;
            Value.Text = Info->Enum->Name(static_cast<int>(std::get<int64_t>(Current)));
            break;
          case TTypeKind::Set: {
            Value.Kind = TFormValue::TKind::Set;
            const uint64_t Bits = static_cast<uint64_t>(std::get<int64_t>(Current));
            for (int Ordinal = 0; Ordinal < Info->Enum->Count() && Ordinal < 64; ++Ordinal)
              if (Bits & (uint64_t{1} << Ordinal)) Value.Names.push_back(Info->Enum->Name(Ordinal));
            break;
          }
          case TTypeKind::Integer: {
            const int64_t Number = std::get<int64_t>(Current);
            if (FindIntegerIdent(Info->TypeName, Number, Value.Text)) {
              Value.Kind = TFormValue::TKind::Ident;
            } else {
              Value.Kind = TFormValue::TKind::Integer;
              Value.Integer = Number;
            }
            break;
          }
          case TTypeKind::Char:
            Value.Kind = TFormValue::TKind::Integer;
            Value.Integer = std::get<int64_t>(Current);
            break;
          case TTypeKind::Float:
            Value.Kind = TFormValue::TKind::Float;
            Value.Float = std::get<long double>(Current);
            break;
          case TTypeKind::String:
            Value.Kind = TFormValue::TKind::String;
            Value.Text = std::get<std::string>(Current);
            break;
          case TTypeKind::Method:
            Value.Kind = TFormValue::TKind::Ident;
            Value.Text = std::get<TMethod>(Current).Name;
            break;
          default:
            continue;
        }
      }
    }
    Out.push_back(std::move(Property));
  }
  if (auto* Persistent = dynamic_cast<TPersistent*>(Instance)) {
    std::vector<TFormProperty> Defined;
    FDefinedOut = &Defined;
    Persistent->DefineProperties(this);
    FDefinedOut = nullptr;
    for (TFormProperty& Property : Defined) {
      Property.Name = Prefix + Property.Name;
      Out.push_back(std::move(Property));
    }
  }
}

void TWriter::DefineProperty(const std::string& Name, const TReaderProc&, const TWriterProc& WriteData,
                             bool HasData) {
  if (!FDefinedOut || !HasData || !WriteData) return;
  FPendingValue = TFormValue{};
  WriteData(*this);
  FDefinedOut->push_back({Name, FPendingValue, 0});
}

void TWriter::DefineBinaryProperty(const std::string& Name, const TStreamProc&, const TStreamProc& WriteData,
                                   bool HasData) {
  if (!FDefinedOut || !HasData || !WriteData) return;
  TMemoryStream Stream;
  WriteData(Stream);
  TFormValue Value;
  Value.Kind = TFormValue::TKind::Binary;
  const auto* Bytes = static_cast<const uint8_t*>(Stream.Memory());
  Value.Binary.assign(Bytes, Bytes + Stream.Size());
  FDefinedOut->push_back({Name, std::move(Value), 0});
}

void TWriter::WriteInteger(int64_t Value) {
  FPendingValue.Kind = TFormValue::TKind::Integer;
  FPendingValue.Integer = Value;
}

void TWriter::WriteString(const std::string& Value) {
  FPendingValue.Kind = TFormValue::TKind::String;
  FPendingValue.Text = Value;
}

void TWriter::WriteBoolean(bool Value) { WriteIdent(Value ? "True" : "False"); }

void TWriter::WriteFloat(long double Value) {
  FPendingValue.Kind = TFormValue::TKind::Float;
  FPendingValue.Float = Value;
}

void TWriter::WriteIdent(const std::string& Value) {
  FPendingValue.Kind = TFormValue::TKind::Ident;
  FPendingValue.Text = Value;
}

// ---------------------------------------------------------------------------------------------

void ReadComponentText(TComponent* Root, std::string_view Text) {
  const TFormObject Tree = ParseFormText(Text);
  TReader Reader(Root);
  Reader.ReadRootComponent(Tree);
}

bool ReadComponentResource(TComponent* Root, std::string_view ResourceName) {
  auto Data = FindResourceData(ResourceName);
  if (!Data) return false;
  ReadComponentText(Root, std::string_view(reinterpret_cast<const char*>(Data->data()), Data->size()));
  return true;
}

TComponent* CreateComponentFromText(std::string_view Text, TComponent* Owner) {
  const TFormObject Tree = ParseFormText(Text);
  const TClassInfo* Class = FindClass(Tree.ClassName);
  if (!Class) throw EClassNotFound("Line " + std::to_string(Tree.Line) + ": Class " + Tree.ClassName + " not found");
  if (!Class->CreateComponent)
    throw EReadError("Line " + std::to_string(Tree.Line) + ": Class " + Tree.ClassName +
                     " is not a component that forms can create");
  TComponent* Root = Class->CreateComponent(Owner);
  try {
    TReader Reader(Root);
    Reader.ReadRootComponent(Tree);
  } catch (...) {
    Root->Free();
    throw;
  }
  return Root;
}

std::string WriteComponentText(TComponent* Root) {
  TWriter Writer(Root);
  return FormatFormText(Writer.WriteRootComponent());
}
