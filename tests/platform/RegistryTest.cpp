#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include "platform/Registry.h"
#include "TestSupport.h"

namespace {

const char kTestKey[] = "\\SOFTWARE\\Nemorix\\RIRered Tests";

class RegistryTest : public testing::Test {
 protected:
  void SetUp() override {
    reg.SetRootKey(HKEY_LOCAL_MACHINE);
    reg.DeleteKey(kTestKey);
  }
  void TearDown() override {
    reg.CloseKey();
    reg.DeleteKey(kTestKey);
  }
  TRegistry reg;
};

}  // namespace

TEST_F(RegistryTest, ValuesRoundTripAndAMissingStringReadsEmpty) {
  ASSERT_TRUE(reg.OpenKey(kTestKey, true));
  EXPECT_EQ(reg.CurrentPath(), "SOFTWARE\\Nemorix\\RIRered Tests");

  const std::string resolution = "1024\xD7" "768";
  reg.WriteString("Res", resolution);
  reg.WriteString("Empty", "");
  reg.WriteInteger("Count", -5);
  reg.WriteBool("Flag", true);
  EXPECT_EQ(reg.ReadString("Res"), resolution);
  EXPECT_EQ(reg.ReadString("Empty"), "");
  EXPECT_EQ(reg.ReadString("Missing"), "");
  EXPECT_EQ(reg.ReadInteger("Count"), -5);
  EXPECT_TRUE(reg.ReadBool("Flag"));

  // Stored as text in the ANSI code page: the multiplication sign is U+00D7 to the system.
  wchar_t wide[32] = {};
  DWORD size = sizeof(wide), type = 0;
  ASSERT_EQ(RegQueryValueExW(reg.CurrentKey(), L"Res", nullptr, &type,
                             reinterpret_cast<BYTE*>(wide), &size),
            ERROR_SUCCESS);
  EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
  EXPECT_EQ(std::wstring(wide), L"1024\u00D7" L"768");

  const BYTE cols[] = {200, 0, 60, 0};
  ASSERT_EQ(RegSetValueExA(reg.CurrentKey(), "Cols", 0, REG_BINARY, cols, sizeof(cols)),
            ERROR_SUCCESS);
  BYTE back[8] = {};
  EXPECT_EQ(reg.ReadBinaryData("Cols", back, sizeof(back)), 4);
  EXPECT_EQ(back[0], 200);
  EXPECT_EQ(back[2], 60);
  EXPECT_EQ(reg.ReadBinaryData("Missing", back, sizeof(back)), 0);

  auto names = reg.GetValueNames();
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::string>{"Cols", "Count", "Empty", "Flag", "Res"}));

  EXPECT_TRUE(reg.ValueExists("Res"));
  EXPECT_TRUE(reg.DeleteValue("Res"));
  EXPECT_FALSE(reg.ValueExists("Res"));
  EXPECT_EQ(reg.ReadString("Res"), "");
  EXPECT_FALSE(reg.DeleteValue("Res"));

  // Another object sees what was written once the key is reopened.
  TRegistry other;
  other.SetRootKey(HKEY_LOCAL_MACHINE);
  ASSERT_TRUE(other.OpenKeyReadOnly(kTestKey));
  EXPECT_EQ(other.ReadInteger("Count"), -5);
}

TEST_F(RegistryTest, OpensWithAndWithoutCreateAbsoluteAndRelative) {
  EXPECT_FALSE(reg.OpenKey(kTestKey, false));
  EXPECT_FALSE(reg.KeyExists(kTestKey));
  EXPECT_EQ(reg.CurrentKey(), nullptr);

  ASSERT_TRUE(reg.OpenKey(kTestKey, true));
  HKEY parent = reg.CurrentKey();
  EXPECT_TRUE(reg.KeyExists(kTestKey));

  // A failed open keeps the current key.
  EXPECT_FALSE(reg.OpenKey("Sub", false));
  EXPECT_EQ(reg.CurrentKey(), parent);

  // Relative to the current key.
  ASSERT_TRUE(reg.OpenKey("Sub", true));
  EXPECT_EQ(reg.CurrentPath(), "SOFTWARE\\Nemorix\\RIRered Tests\\Sub");
  reg.WriteString("Deep", "1");

  // Absolute from the root, whatever is open.
  ASSERT_TRUE(reg.OpenKey(std::string(kTestKey) + "\\Sub", false));
  EXPECT_EQ(reg.ReadString("Deep"), "1");
  EXPECT_TRUE(reg.KeyExists("\\SOFTWARE\\Nemorix\\RIRered Tests\\Sub"));

  reg.CloseKey();
  EXPECT_EQ(reg.CurrentKey(), nullptr);
  EXPECT_EQ(reg.CurrentPath(), "");

  // The whole tree goes, subkeys and values included; an empty name deletes nothing.
  EXPECT_FALSE(reg.DeleteKey(""));
  EXPECT_TRUE(reg.DeleteKey(kTestKey));
  EXPECT_FALSE(reg.KeyExists(kTestKey));
  EXPECT_FALSE(reg.DeleteKey(kTestKey));
}

TEST_F(RegistryTest, FailuresRaiseWithTheValueName) {
  ASSERT_TRUE(reg.OpenKey(kTestKey, true));
  reg.WriteString("Text", "abc");
  reg.WriteInteger("Number", 3);
  const BYTE four[] = {1, 2, 3, 4};
  ASSERT_EQ(RegSetValueExA(reg.CurrentKey(), "Bytes", 0, REG_BINARY, four, sizeof(four)),
            ERROR_SUCCESS);

  struct Case {
    const char* what;
    std::function<void(TRegistry&)> action;
    const char* message;
  };
  const Case cases[] = {
      {"missing integer", [](TRegistry& r) { r.ReadInteger("Nothing"); },
       "Failed to get data for 'Nothing'"},
      {"text as integer", [](TRegistry& r) { r.ReadInteger("Text"); },
       "Invalid data type for 'Text'"},
      {"integer as text", [](TRegistry& r) { r.ReadString("Number"); },
       "Invalid data type for 'Number'"},
      {"binary larger than the buffer",
       [](TRegistry& r) {
         BYTE two[2];
         r.ReadBinaryData("Bytes", two, sizeof(two));
       },
       "Invalid data type for 'Bytes'"},
      {"write to a key opened read-only",
       [](TRegistry& r) {
         ASSERT_TRUE(r.OpenKeyReadOnly(kTestKey));
         r.WriteString("Text", "x");
       },
       "Failed to set data for 'Text'"},
      {"write with no key open",
       [](TRegistry& r) {
         r.CloseKey();
         r.WriteString("Path", "x");
       },
       "Failed to set data for 'Path'"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(MessageOf([&] { c.action(reg); }), c.message);
  }
}
