#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "SettingsTestSupport.h"
#include "app/SettingsStore.h"

TEST(SettingsStoreTest, TheProgramsKey) {
  TSettingsStore store;
  EXPECT_EQ(store.KeyName(), "HKEY_LOCAL_MACHINE\\SOFTWARE\\Nemorix\\RIRered");
  EXPECT_FALSE(store.IsOpen());
}

TEST(SettingsStoreTest, RoundTripThroughTheRegistry) {
  TTestSettingsKey key;
  auto store = key.Store();
  ASSERT_TRUE(store->IsOpen());
  ASSERT_TRUE(store->SaveDescription({"Operating System: Windows XP Professional", "", "", "",
                                      "", "", ""}));
  TStoredSettings s = StoredRecord();
  s.Note = "S\xE3o \xD8";
  s.AddAdditionalInfo = true;
  EXPECT_TRUE(store->WriteSettings(s));
  EXPECT_EQ(key.Value("Demo"), "12");
  EXPECT_EQ(key.Value("Language"), "8");
  EXPECT_EQ(key.Value("AALevel"), "6");
  EXPECT_EQ(key.Value("AFLevel"), "Sys");
  EXPECT_EQ(key.Value("800"), "0");
  EXPECT_EQ(key.Value("1024"), "1");
  EXPECT_EQ(key.Value("Addinfo"), "1");
  EXPECT_EQ(key.Value("Note"), "S\xE3o \xD8");
  // Written when it is chosen, not at the close.
  EXPECT_EQ(key.Value("CustomConfig"), "<missing>");
  key.Seed("CustomConfig", s.CustomConfig);

  auto again = key.Store();
  EXPECT_EQ(again->ReadSettings(), s);
  EXPECT_TRUE(key.Messages.empty());
}

TEST(SettingsStoreTest, ValuesOfAnotherTypeReadAsMissing) {
  TTestSettingsKey key;
  key.Seed("Note", "kept");
  auto store = key.Store();
  HKEY handle = store->Registry()->CurrentKey();
  const DWORD number = 3;
  ASSERT_EQ(RegSetValueExA(handle, "Demo", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number),
                           sizeof number),
            ERROR_SUCCESS);
  const char bytes[] = "C:\\G\\Bin32\\Quenmar.exe";
  ASSERT_EQ(RegSetValueExA(handle, "Path", 0, REG_BINARY, reinterpret_cast<const BYTE*>(bytes),
                           sizeof bytes),
            ERROR_SUCCESS);
  const char multi[] = "1\0002\000";
  ASSERT_EQ(RegSetValueExA(handle, "Wait", 0, REG_MULTI_SZ, reinterpret_cast<const BYTE*>(multi),
                           sizeof multi),
            ERROR_SUCCESS);
  key.Seed("ScrPath", "C:\\" + std::string(10000, 's') + "\\");

  const TStoredSettings s = store->ReadSettings();
  EXPECT_EQ(s.Demo, -1);
  EXPECT_EQ(s.Path, "");
  EXPECT_FALSE(s.Wait.has_value());
  EXPECT_EQ(s.ScreenshotFolder, "");
  EXPECT_EQ(s.Note, "kept");
  EXPECT_EQ(store->ReadValue("Demo"), "");
  EXPECT_TRUE(key.Messages.empty());
}

TEST(SettingsStoreTest, Marks) {
  struct Case {
    const char* name;
    const char* value;  // nullptr: no such value
    bool set;
  };
  const Case cases[] = {
      {"FirstRun", nullptr, false},       {"FirstRun", "Some", true},
      {"FirstRun", "anything", true},     {"NoErrorWarning", "1", true},
      {"NoErrorWarning", "0", false},     {"NoErrorWarning", "yes", false},
      {"NoErrorWarning", nullptr, false}, {"Donate", "0", true},
      {"Donate", nullptr, false},         {"Donate", "1", false},
      {"Donate", "00", false},            {"Save Info", "1", true},
      {"Save Info", "", false},           {"Save Info", "true", false},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(std::string(k.name) + " = " + (k.value ? k.value : "(none)"));
    TTestSettingsKey key;
    if (k.value) key.Seed(k.name, k.value);
    auto store = key.Store();
    const std::string name = k.name;
    const bool set = name == "FirstRun"         ? store->FirstRunDone()
                     : name == "NoErrorWarning" ? store->RunInterrupted()
                     : name == "Donate"         ? store->DonationDue()
                                                : store->DescriptionSaved();
    EXPECT_EQ(set, k.set);
  }

  TTestSettingsKey key;
  auto store = key.Store();
  EXPECT_TRUE(store->MarkFirstRun());
  EXPECT_EQ(key.Value("FirstRun"), "Some");
  EXPECT_TRUE(store->ClearRunInterrupted());
  EXPECT_EQ(key.Value("NoErrorWarning"), "0");
  EXPECT_TRUE(store->MarkDonated());
  EXPECT_EQ(key.Value("Donate"), "1");
  // The test prefix's locale writes numbers with a period.
  EXPECT_EQ(store->WriteSystemDecimal(), ".");
  EXPECT_EQ(key.Value("Decimal"), ".");
}

TEST(SettingsStoreTest, HardwareDescription) {
  TTestSettingsKey key;
  key.Seed("DirectX", "DirectX 9.0c");
  auto store = key.Store();
  const THardwareDescription d = {"Operating System: Windows XP Professional",
                                  "Processor: Intel(R) Xeon(R)",
                                  "Memory: 2048MB RAM",
                                  "Card name: NVIDIA GeForce 6800",
                                  "Display Memory: 256.0 MB",
                                  "Driver Version: 6.14.0010.7184",
                                  "ignored"};
  EXPECT_TRUE(store->SaveDescription(d));
  EXPECT_EQ(key.Value("Save Info"), "1");
  EXPECT_EQ(key.Value("VGA Memory"), "Display Memory: 256.0 MB");
  EXPECT_EQ(key.Value("DirectX"), "DirectX 9.0c");
  const THardwareDescription read = store->ReadDescription();
  EXPECT_EQ(read.OS, d.OS);
  EXPECT_EQ(read.CPU, d.CPU);
  EXPECT_EQ(read.Memory, d.Memory);
  EXPECT_EQ(read.VGA, d.VGA);
  EXPECT_EQ(read.VGAMemory, d.VGAMemory);
  EXPECT_EQ(read.VGADriver, d.VGADriver);
  EXPECT_EQ(read.DirectX, "DirectX 9.0c");

  EXPECT_TRUE(store->ClearDescription());
  EXPECT_EQ(key.Value("Save Info"), "0");
  for (const char* name : {"OS", "CPU", "Memory", "VGA", "VGA Memory", "VGA Driver"})
    EXPECT_EQ(key.Value(name), "") << name;
}

// A key below a volatile one cannot be made: the system keeps volatile keys in memory only.
TEST(SettingsStoreTest, KeyThatCannotBeOpened) {
  const std::string parent =
      "Software\\RIRered volatile test " + std::to_string(GetCurrentProcessId());
  HKEY volatileKey = nullptr;
  ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, parent.c_str(), 0, nullptr, REG_OPTION_VOLATILE,
                            KEY_ALL_ACCESS, nullptr, &volatileKey, nullptr),
            ERROR_SUCCESS);
  RegCloseKey(volatileKey);

  std::vector<std::string> messages;
  {
    TSettingsStore store(HKEY_CURRENT_USER, "\\" + parent + "\\Settings", KEY_ALL_ACCESS);
    store.OnError = [&](TObject*, const std::string& message) { messages.push_back(message); };
    EXPECT_FALSE(store.Open());
    EXPECT_FALSE(store.IsOpen());
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0], "The registry key HKEY_CURRENT_USER\\" + parent +
                               "\\Settings, which keeps the program's settings, cannot be "
                               "opened. The settings are not restored and will not be saved.");
    // The start goes on with the layout's state; the close's writes fail without a second box.
    EXPECT_EQ(store.ReadSettings(), TStoredSettings());
    EXPECT_FALSE(store.WriteSettings(TStoredSettings()));
    EXPECT_FALSE(store.WriteValue("Path", "C:\\"));
    EXPECT_EQ(messages.size(), 1u);
  }
  RegDeleteKeyA(HKEY_CURRENT_USER, parent.c_str());
}

// A key opened for reading only refuses every write, as HKEY_LOCAL_MACHINE does for a
// standard user's token.
TEST(SettingsStoreTest, KeyThatCannotBeWritten) {
  TTestSettingsKey key;
  key.Seed("Note", "kept");
  auto store = key.Store(KEY_READ);
  ASSERT_TRUE(store->IsOpen());
  EXPECT_EQ(store->ReadSettings().Note, "kept");

  EXPECT_FALSE(store->WriteValue("Path", "C:\\Q\\Bin32\\Quenmar.exe"));
  ASSERT_EQ(key.Messages.size(), 1u);
  EXPECT_EQ(key.Messages[0], "The setting \"Path\" cannot be saved: the registry key " +
                                 key.Name() + " cannot be written.");

  TStoredSettings s;
  s.Note = "lost";
  EXPECT_FALSE(store->WriteSettings(s));
  ASSERT_EQ(key.Messages.size(), 2u);
  EXPECT_EQ(key.Messages[1],
            "The settings cannot be saved: the registry key " + key.Name() + " cannot be written.");
  EXPECT_FALSE(store->SaveDescription(THardwareDescription()));
  EXPECT_EQ(key.Messages.size(), 3u);
  EXPECT_EQ(key.Value("Note"), "kept");
  EXPECT_EQ(key.Value("Path"), "<missing>");
}
