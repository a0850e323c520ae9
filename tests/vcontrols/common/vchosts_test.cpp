// Recognising grid and inspector hosts by class name, and properties by name.

#include "vcontrols/common/vchosts.h"

#include <gtest/gtest.h>

#include "platform/classes/component.h"
#include "platform/forms/grids.h"
#include "platform/forms/wincontrol.h"
#include "platform/rtl/stringlist.h"

// Stand-ins with the data-aware library's class names, on the class library's grid.
class TkvDBGrid : public TCustomGrid {
  KORCAM_CLASS(TkvDBGrid, TCustomGrid)

 public:
  explicit TkvDBGrid(TComponent* AOwner) : TCustomGrid(AOwner) {}
  PLAIN_PROPERTY(int32_t, Options, 0)
};
KORCAM_REGISTER_CLASS(TkvDBGrid)

class TkvDataInspector : public TCustomGrid {
  KORCAM_CLASS(TkvDataInspector, TCustomGrid)

 public:
  explicit TkvDataInspector(TComponent* AOwner) : TCustomGrid(AOwner) {}
};
KORCAM_REGISTER_CLASS(TkvDataInspector)

class THostTestSettings : public TComponent {
  KORCAM_CLASS(THostTestSettings, TComponent)

 public:
  explicit THostTestSettings(TComponent* AOwner) : TComponent(AOwner) {}
  PLAIN_PROPERTY(bool, Flat, false)
  PLAIN_PROPERTY(bool, Transparent, true)
  PLAIN_PROPERTY(int32_t, Count, 7)
};
KORCAM_REGISTER_CLASS(THostTestSettings)

namespace {

TEST(VcHostsTest, ClassNamesAlongTheAncestry) {
  EXPECT_TRUE(IsClassNamed(&TkvDBGrid::StaticClass(), "tcustomgrid"));
  EXPECT_TRUE(IsClassNamed(&TkvDBGrid::StaticClass(), "TKVDBGRID"));
  EXPECT_FALSE(IsClassNamed(&TCustomGrid::StaticClass(), "TkvDBGrid"));
  EXPECT_FALSE(IsClassNamed(nullptr, "TObject"));
}

TEST(VcHostsTest, HostsOfAControl) {
  TComponent owner(nullptr);
  auto* grid = new TkvDBGrid(&owner);
  auto* inspector = new TkvDataInspector(&owner);
  auto* editor = new TWinControl(&owner);
  grid->SetOptions(0x1C2);  // bits above the eighth are not reported
  EXPECT_FALSE(ParentIsGrid(editor));
  EXPECT_EQ(DataGridOptions(editor), 0);
  editor->SetParent(grid);
  EXPECT_TRUE(ParentIsGrid(editor));
  EXPECT_TRUE(ParentIsGridClass(editor));
  EXPECT_FALSE(ParentIsInspector(editor));
  EXPECT_EQ(DataGridOptions(editor), 0xC2);
  EXPECT_FALSE(IsGridPaintCopy(editor));
  editor->SetParent(inspector);
  EXPECT_TRUE(ParentIsInspector(editor));
  EXPECT_TRUE(ParentIsGrid(editor));  // the inspector is a grid too
  EXPECT_EQ(DataGridOptions(editor), 0);
  EXPECT_FALSE(IsDesigning(editor));
  editor->SetParent(nullptr);
}

TEST(VcHostsTest, PropertiesByNameAndUniqueNames) {
  TComponent owner(nullptr);
  auto* settings = new THostTestSettings(&owner);
  EXPECT_EQ(GetOrdPropByName(settings, "Count"), 7);
  EXPECT_EQ(GetOrdPropByName(settings, "Transparent"), 1);
  EXPECT_EQ(GetOrdPropByName(settings, "Missing"), 0);
  SetOrdPropByName(settings, "Count", 9);
  SetOrdPropByName(settings, "Missing", 9);
  EXPECT_EQ(settings->Count(), 9);
  TStringList names;
  ListBooleanProps(settings, names);
  EXPECT_GE(names.IndexOf("Flat"), 0);
  EXPECT_GE(names.IndexOf("Transparent"), 0);
  EXPECT_EQ(names.IndexOf("Count"), -1);

  for (const char* name : {"Panel1", "Panel2", "Panel4"}) (new TComponent(&owner))->SetName(name);
  EXPECT_EQ(UniqueComponentName(&owner, "Panel"), "Panel3");
  EXPECT_EQ(UniqueComponentName(&owner, "Label"), "Label1");
}

}  // namespace
