// A mapped key: the registry object reads and writes its values through the map, the key opens
// without being created, and nothing of it reaches the store file.

#include "platform/rtl/registrymap.h"

#include <gtest/gtest.h>

#include <map>

#include "platform/rtl/registry.h"
#include "platform/rtl/stringlist.h"
#include "platform/rtl/sysutils.h"
#include "tests/platform/rtl/temp_folder.h"

namespace {

// Values in memory, as a desktop service would keep them elsewhere; Locked refuses writing.
class TMemoryKey : public TMappedRegistryKey {
 public:
  bool Locked = false;
  std::map<std::string, TRegistryValue> Values;  // by lower-case name

  bool CanOpen(bool Writable) override { return !(Writable && Locked); }
  std::vector<std::string> ValueNames() override {
    std::vector<std::string> Names;
    for (const auto& [Key, Value] : Values) Names.push_back(Value.Name);
    return Names;
  }
  std::optional<TRegistryValue> ReadValue(const std::string& Name) override {
    auto Found = Values.find(LowerCase(Name));
    if (Found == Values.end()) return std::nullopt;
    return Found->second;
  }
  bool WriteValue(const TRegistryValue& Value) override {
    if (Locked || Value.Type != rdString) return false;
    Values[LowerCase(Value.Name)] = Value;
    return true;
  }
  bool DeleteValue(const std::string& Name) override { return !Locked && Values.erase(LowerCase(Name)) > 0; }
};

class RegistryMap : public ::testing::Test {
 protected:
  void SetUp() override {
    SetRegistryStorePath(Folder.File("registry.dat"));
    MapRegistryKey(HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows\\CurrentVersion\\Run", &Key);
  }
  void TearDown() override {
    MapRegistryKey(HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows\\CurrentVersion\\Run", nullptr);
    SetRegistryStorePath("");
  }

  TTempFolder Folder;
  TMemoryKey Key;
};

TEST_F(RegistryMap, ValuesGoThroughTheMapAndNeverIntoTheStore) {
  TRegistry Reg;
  Reg.SetRootKey(HKEY_LOCAL_MACHINE);
  // The key opens without being created, and any spelling of its path finds it.
  ASSERT_TRUE(Reg.OpenKey("\\SOFTWARE\\microsoft\\Windows\\CurrentVersion\\Run", false));
  Reg.WriteString("Korvane WebCam", "\"/opt/korcam/korcam\"");
  EXPECT_EQ(Key.Values.at("korvane webcam").Data, "\"/opt/korcam/korcam\"");
  EXPECT_TRUE(Reg.ValueExists("KORVANE WEBCAM"));
  EXPECT_EQ(Reg.ReadString("Korvane WebCam"), "\"/opt/korcam/korcam\"");
  EXPECT_EQ(Reg.GetDataType("Korvane WebCam"), rdString);
  EXPECT_EQ(Reg.GetDataSize("Korvane WebCam"), 21);
  TStringList Names;
  Reg.GetValueNames(Names);
  ASSERT_EQ(Names.Count(), 1);
  EXPECT_EQ(Names[0], "Korvane WebCam");
  EXPECT_FALSE(Reg.HasSubKeys());
  EXPECT_TRUE(Reg.KeyExists("\\Software\\Microsoft\\Windows\\CurrentVersion\\Run"));
  EXPECT_TRUE(Reg.CreateKey("\\Software\\Microsoft\\Windows\\CurrentVersion\\Run"));
  EXPECT_FALSE(Reg.DeleteKey("\\Software\\Microsoft\\Windows\\CurrentVersion\\Run"));
  // Nothing reached the store file: not even the keys above the mapped one.
  EXPECT_FALSE(FileExists(Folder.File("registry.dat")));
  EXPECT_FALSE(Reg.KeyExists("\\Software\\Microsoft"));

  EXPECT_TRUE(Reg.DeleteValue("Korvane WebCam"));
  EXPECT_FALSE(Reg.DeleteValue("Korvane WebCam"));
  EXPECT_TRUE(Key.Values.empty());
  EXPECT_EQ(Reg.ReadString("Korvane WebCam"), "");

  // The same path under another root is an ordinary key.
  TRegistry User;
  EXPECT_FALSE(User.OpenKey("\\Software\\Microsoft\\Windows\\CurrentVersion\\Run", false));
}

TEST_F(RegistryMap, RefusalsAnswerAsTheStoreDoes) {
  TRegistry Reg;
  Reg.SetRootKey(HKEY_LOCAL_MACHINE);
  Key.Locked = true;
  // A place the user may not write: the key does not open for writing, but reads.
  EXPECT_FALSE(Reg.OpenKey("\\Software\\Microsoft\\Windows\\CurrentVersion\\Run", false));
  ASSERT_TRUE(Reg.OpenKeyReadOnly("\\Software\\Microsoft\\Windows\\CurrentVersion\\Run"));
  EXPECT_THROW(Reg.WriteString("Korvane WebCam", "x"), ERegistryException);
  Key.Locked = false;
  EXPECT_THROW(Reg.WriteString("Korvane WebCam", "x"), ERegistryException);  // opened read-only
  EXPECT_FALSE(Reg.DeleteValue("Korvane WebCam"));

  ASSERT_TRUE(Reg.OpenKey("\\Software\\Microsoft\\Windows\\CurrentVersion\\Run", false));
  try {
    Reg.WriteInteger("Count", 3);  // data the place cannot hold
    ADD_FAILURE() << "no exception";
  } catch (const ERegistryException& Error) {
    EXPECT_EQ(Error.Message(), "Failed to set data for 'Count'");
  }
  try {
    Reg.ReadInteger("Missing");
    ADD_FAILURE() << "no exception";
  } catch (const ERegistryException& Error) {
    EXPECT_EQ(Error.Message(), "Failed to get data for 'Missing'");
  }
}

}  // namespace
