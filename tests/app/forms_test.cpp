// The two form resources: every key the code uses is in its table, and each row's change
// handler is named after the row's place in the tree.

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>

#include "app/formghost.h"
#include "platform/classes/formparser.h"
#include "platform/classes/resources.h"
#include "platform/rtl/sysutils.h"
#include "tests/app/apptest.h"

namespace {

using Forms = TAppTest;

TEST_F(Forms, EveryKeyTheCodeUsesIsInItsTableOnce) {
  Start();
  std::set<std::string> Seen;
  for (const auto& [Key, ImageTable] : TFormGhost::OptionKeysInUse()) {
    SCOPED_TRACE(Key);
    EXPECT_TRUE(Seen.insert(UpperCase(Key) + (ImageTable ? "/image" : "")).second) << "listed twice";
    TkvDataInspector* Table = ImageTable ? FormGhost->InspectorImageEffects : FormGhost->InspectorOptions;
    TkvInspectorItem* Item = Table->FindItemByTagString(Key);
    ASSERT_NE(Item, nullptr);
    // The key is the row's own, not a case-folded neighbour's.
    EXPECT_EQ(Item->TagString(), Key);
  }
}

// A row's change handler is named after its place: InspectorOptionsItems8Items3Items0ItemChanged
// is child 0 of child 3 of top-level row 8. The names fix the nesting where nothing else does.
// The rows below sit where the rest of the design puts them, under names from an older layout
// of the tables; each is listed with the place its name says.
struct TKnownPlace {
  const char* Key;
  const char* NamedPlace;
};
const TKnownPlace OptionsRenamed[] = {
    {"Video Window Size", "0.5"},
    // Preferences: the rows follow the order of the table's hints.
    {"Start with Windows", "0.0"},
    {"Always on top", "1.8"},
    {"Show WebCam icon in system tray", "0.2"},
    {"Hide minimized window", "0.3"},
    {"Play  capture sound", "1.14"},
    {"Show Hints", "1.11"},
    {"Transparency", "1.7"},
    {"Translucent", "1.6"},
    // "Picture Format" lies under "Picture Quality" in Preferences.
    {"JPEG", "5.0"},
    {"SMTP Server Login", "1.12.2.2"},
    {"FTPCaptureValue", "6.6.0"},
    {"FTPCapturePeriod", "6.6.1"},
    // The motion sound is a motion action, not a picture row.
    {"Play Sound motion detection", "8.5.4"},
};

// The effect groups of both tables hold "Enable" first and the effects after it, while the
// handler names count the effects from 0 and give "Enable" the number 16.
std::string EffectsPlace(const std::string& Place, int EffectsGroup) {
  const std::string Prefix = std::to_string(EffectsGroup) + ".";
  if (Place.rfind(Prefix, 0) != 0) return Place;
  const size_t Dot = Place.find('.', Prefix.size());
  const int Child = std::stoi(Place.substr(Prefix.size(), Dot - Prefix.size()));
  const std::string Rest = Dot == std::string::npos ? "" : Place.substr(Dot);
  return Prefix + std::to_string(Child == 0 ? 16 : Child - 1) + Rest;
}

// Walks the items of a table in the form text; Handlers gets place -> (key, handler name).
void CollectHandlers(const std::vector<TFormItem>& Items, const std::string& Prefix,
                     std::map<std::string, std::pair<std::string, std::string>>& Handlers) {
  for (size_t Index = 0; Index < Items.size(); ++Index) {
    const std::string Place = Prefix + std::to_string(Index);
    std::string Key, Handler;
    for (const TFormProperty& Property : Items[Index].Properties) {
      if (Property.Name == "TagString") Key = Property.Value.Text;
      if (Property.Name == "OnItemChanged") Handler = Property.Value.Text;
      if (Property.Name == "Items") CollectHandlers(Property.Value.Items, Place + ".", Handlers);
    }
    if (!Handler.empty()) Handlers[Place] = {Key, Handler};
  }
}

const TFormObject* FindObject(const TFormObject& Root, const std::string& Name) {
  if (Root.Name == Name) return &Root;
  for (const TFormObject& Child : Root.Children)
    if (const TFormObject* Found = FindObject(Child, Name)) return Found;
  return nullptr;
}

std::string NameOfPlace(const std::string& Table, const std::string& Place) {
  std::string Name = Table;
  size_t Start = 0;
  while (Start <= Place.size()) {
    const size_t Dot = Place.find('.', Start);
    Name += "Items" + Place.substr(Start, Dot == std::string::npos ? std::string::npos : Dot - Start);
    if (Dot == std::string::npos) break;
    Start = Dot + 1;
  }
  return Name + "ItemChanged";
}

TEST(FormResources, ChangeHandlersAreNamedAfterTheirRowsPlace) {
  const auto Data = FindResourceData("forms/formghost.form");
  ASSERT_TRUE(Data.has_value());
  const TFormObject Root = ParseFormText(std::string_view(reinterpret_cast<const char*>(Data->data()), Data->size()));
  struct TTable {
    const char* Name;
    int EffectsGroup;
  } Tables[] = {{"InspectorOptions", 10}, {"InspectorImageEffects", 0}};
  std::map<std::string, std::string> Renamed;
  for (const TKnownPlace& Known : OptionsRenamed) Renamed[Known.Key] = Known.NamedPlace;
  std::set<std::string> RenamedSeen;
  size_t Checked = 0;
  for (const TTable& Table : Tables) {
    SCOPED_TRACE(Table.Name);
    const TFormObject* Inspector = FindObject(Root, Table.Name);
    ASSERT_NE(Inspector, nullptr);
    std::map<std::string, std::pair<std::string, std::string>> Handlers;
    for (const TFormProperty& Property : Inspector->Properties)
      if (Property.Name == "Items") CollectHandlers(Property.Value.Items, "", Handlers);
    ASSERT_FALSE(Handlers.empty());
    for (const auto& [Place, Row] : Handlers) {
      SCOPED_TRACE(Row.first + " at " + Place);
      std::string Named = EffectsPlace(Place, Table.EffectsGroup);
      if (std::string(Table.Name) == "InspectorOptions" && Renamed.count(Row.first)) {
        Named = Renamed[Row.first];
        RenamedSeen.insert(Row.first);
      }
      EXPECT_EQ(Row.second, NameOfPlace(Table.Name, Named));
      ++Checked;
    }
  }
  EXPECT_EQ(RenamedSeen.size(), std::size(OptionsRenamed)) << "a listed row lost its handler";
  EXPECT_EQ(Checked, 57u + 30u) << "every bound handler of both tables";
}

}  // namespace
