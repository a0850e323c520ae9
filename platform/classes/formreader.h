#pragma once
// Reading and writing components as form text (see formparser.h for the format).
//
// Reading creates the components by class name from the class registry, with the form's root as
// their owner, sets their properties in the order the text gives them while csLoading is set,
// binds handlers to the root's published methods by name, resolves component references once
// every component exists, binds the root's published component fields (PUBLISHED_FIELD) to the
// components of their names, and then calls Loaded on each component in the order they were read.
// Reading is strict: an unknown class, property, value or method is an error (EReadError naming
// the line, the component and the property), never a silent skip.

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/classes/component.h"
#include "platform/classes/formparser.h"
#include "platform/rtl/streams.h"

class TReader;
class TWriter;

// What a class's DefineProperties sees: a way to read or write data that is not a published
// property. The reader calls the read procedure of the property it meets in the text; the writer
// calls the write procedure of each property whose HasData is true.
class TFiler {
 public:
  using TReaderProc = std::function<void(TReader&)>;
  using TWriterProc = std::function<void(TWriter&)>;
  using TStreamProc = std::function<void(TStream&)>;

  explicit TFiler(TComponent* Root) : FRoot(Root) {}
  virtual ~TFiler() = default;
  TComponent* Root() const { return FRoot; }

  virtual void DefineProperty(const std::string& Name, const TReaderProc& ReadData, const TWriterProc& WriteData,
                              bool HasData) = 0;
  virtual void DefineBinaryProperty(const std::string& Name, const TStreamProc& ReadData,
                                    const TStreamProc& WriteData, bool HasData) = 0;

 private:
  TComponent* FRoot;
};

class TReader : public TFiler {
 public:
  explicit TReader(TComponent* Root) : TFiler(Root) {}

  // Reads Tree into the root component; Tree's class must be the root's class or an ancestor.
  void ReadRootComponent(const TFormObject& Tree);

  // For DefineProperty readers: the value being read, and conversions of it (EReadError when the
  // value is of another kind).
  const TFormValue& Value() const { return *FValue; }
  int64_t ReadInteger() const;
  std::string ReadString() const;
  bool ReadBoolean() const;
  long double ReadFloat() const;
  std::string ReadIdent() const;

  void DefineProperty(const std::string& Name, const TReaderProc& ReadData, const TWriterProc& WriteData,
                      bool HasData) override;
  void DefineBinaryProperty(const std::string& Name, const TStreamProc& ReadData, const TStreamProc& WriteData,
                            bool HasData) override;

 private:
  struct TFixup {
    TObject* Instance;
    const TPropertyInfo* Info;
    std::string Reference;
    int Line;
  };

  TComponent* ReadChild(TComponent* Parent, const TFormObject& Node);
  void ReadProperties(TObject* Instance, const std::vector<TFormProperty>& Properties);
  void ReadProperty(TObject* Instance, const TFormProperty& Property);
  void AssignValue(TObject* Instance, const TPropertyInfo& Info, const TFormValue& Value, int Line);
  void ReadCollection(TObject* Collection, const TFormValue& Value);
  TComponent* FindReference(const std::string& Reference) const;
  void ResolveFixups();
  // Binds the root's published component fields to the components of their names.
  void BindFields();

  std::vector<TComponent*> FLoaded;
  std::vector<TFixup> FFixups;
  // DefineProperties dispatch: the property being looked for, and whether a definition took it.
  const std::string* FPendingName = nullptr;
  const TFormValue* FValue = nullptr;
  bool FPendingHandled = false;
};

class TWriter : public TFiler {
 public:
  explicit TWriter(TComponent* Root) : TFiler(Root) {}

  // The root component and everything it holds, as a tree; only values that differ from their
  // defaults are written.
  TFormObject WriteRootComponent();

  // For DefineProperty writers: the value to write.
  void WriteInteger(int64_t Value);
  void WriteString(const std::string& Value);
  void WriteBoolean(bool Value);
  void WriteFloat(long double Value);
  void WriteIdent(const std::string& Value);

  void DefineProperty(const std::string& Name, const TReaderProc& ReadData, const TWriterProc& WriteData,
                      bool HasData) override;
  void DefineBinaryProperty(const std::string& Name, const TStreamProc& ReadData, const TStreamProc& WriteData,
                            bool HasData) override;

 private:
  TFormObject WriteComponent(TComponent* Component);
  void WriteProperties(TObject* Instance, const std::string& Prefix, std::vector<TFormProperty>& Out);
  std::string ReferenceName(TComponent* Component) const;

  std::vector<TFormProperty>* FDefinedOut = nullptr;
  TFormValue FPendingValue;
};

// Reads form text into Root. Raises EParserError or EReadError (naming the line) on bad text.
void ReadComponentText(TComponent* Root, std::string_view Text);
// Reads the embedded form resource Name ("forms/ghost.form") into Root; false when there is no
// such resource.
bool ReadComponentResource(TComponent* Root, std::string_view ResourceName);
// Creates the root component named by the text's class (owned by Owner) and reads it.
TComponent* CreateComponentFromText(std::string_view Text, TComponent* Owner);
// Writes Root and everything it holds as form text.
std::string WriteComponentText(TComponent* Root);

// Roots that other forms may refer to by name ("DataModule1.ImageList1"): forms and data modules
// add themselves while they exist.
void AddGlobalRoot(TComponent* Root);
void RemoveGlobalRoot(TComponent* Root);
TComponent* FindGlobalRoot(const std::string& Name);
