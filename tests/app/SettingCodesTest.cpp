#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "SettingsTestSupport.h"
#include "app/SettingCodes.h"

namespace {

using TValues = std::map<std::string, std::string>;

TValueReader ReaderOf(const TValues& values) {
  return [&values](const std::string& name) {
    auto it = values.find(name);
    return it == values.end() ? std::string() : it->second;
  };
}

}  // namespace

TEST(SettingCodesTest, CodesOfEveryList) {
  struct Case {
    TCodedSetting setting;
    std::vector<std::string> codes;  // item 0, 1, ...
  };
  const Case cases[] = {
      {csDemo, {"1", "2", "3", "4", "5", "6", "7", "8", "9", "10", "11", "12"}},
      {csDetail, {"1", "2", "3", "4"}},
      {csPS, {"1", "2", "3"}},
      {csRenderer, {"1", "2"}},
      {csAFLevel, {"1", "2", "3", "4", "5", "Sys"}},
      {csAALevel, {"1", "2", "4", "6", "8", "Sys"}},
      {csTRun, {"1", "2", "3", "4", "5"}},
      {csLanguage, {"0", "1", "2", "3", "4", "5", "6", "7", "8"}},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.setting);
    const int count = static_cast<int>(k.codes.size());
    for (int item = 0; item < count; ++item) {
      EXPECT_EQ(ItemOfCode(k.setting, k.codes[static_cast<size_t>(item)]), item);
      EXPECT_EQ(CodeOfItem(k.setting, item), k.codes[static_cast<size_t>(item)]);
    }
    EXPECT_EQ(CodeOfItem(k.setting, -1), "");
    EXPECT_EQ(CodeOfItem(k.setting, count), "");
  }
}

TEST(SettingCodesTest, TextsNoListKnows) {
  const std::string longText(10000, '1');
  for (TCodedSetting setting :
       {csDemo, csDetail, csPS, csRenderer, csAFLevel, csAALevel, csTRun, csLanguage}) {
    SCOPED_TRACE(setting);
    for (const std::string& code : {std::string(), std::string("13"), std::string(" 1"),
                                    std::string("01"), std::string("1 "), std::string("sys"),
                                    std::string("-1"), longText})
      EXPECT_EQ(ItemOfCode(setting, code), -1) << "'" << code.substr(0, 20) << "'";
  }
  // Codes of one list are not those of another: antialiasing has no "3", filtering no "8".
  EXPECT_EQ(ItemOfCode(csAALevel, "3"), -1);
  EXPECT_EQ(ItemOfCode(csAFLevel, "8"), -1);
  EXPECT_EQ(ItemOfCode(csDemo, "0"), -1);
  EXPECT_EQ(ItemOfCode(csLanguage, "9"), -1);
}

TEST(SettingCodesTest, DecodesAUsersSettings) {
  const TValues values = StoredValues();
  EXPECT_EQ(DecodeSettings(ReaderOf(values)), StoredRecord());
}

TEST(SettingCodesTest, NothingStoredIsTheLayoutState) {
  const TValues none;
  const TStoredSettings s = DecodeSettings(ReaderOf(none));
  EXPECT_EQ(s.Path, "");
  for (bool chosen : s.Resolution) EXPECT_FALSE(chosen);
  EXPECT_EQ(s.Demo, -1);
  EXPECT_EQ(s.DetailLevel, -1);
  EXPECT_EQ(s.AALevel, -1);
  EXPECT_EQ(s.RunNumber, -1);
  EXPECT_FALSE(s.Wait.has_value());
  EXPECT_FALSE(s.HDRLevel.has_value());
  EXPECT_EQ(s.Language, -1);
  // A first start checks both boxes, so that the additional-information check explains
  // what to do.
  EXPECT_TRUE(s.AddAdditionalInfo);
  EXPECT_TRUE(s.AddDisplayInfo);
}

// Every value with text another program, an older release or a hand edit may leave: the
// setting reads as the layout has it and every other setting is kept.
TEST(SettingCodesTest, GarbageInAnyValueLeavesTheRestAlone) {
  const std::string longText(10000, '7');
  // Texts that are garbage for every value but a free text (a note, a map's name).
  const std::vector<std::string> anyGarbage = {"", "x", "-1", "99999", "1.5", " 2", longText};
  const std::vector<std::string> textGarbage = {"", longText};
  using TReset = std::function<void(TStoredSettings&)>;
  struct Case {
    const char* name;
    std::vector<std::string> garbage;  // beyond anyGarbage (textGarbage for free texts)
    TReset reset;
    bool freeText = false;
  };
  const Case cases[] = {
      {"Path",
       {"Bin32\\Quenmar.exe", "C:\\Games\\Bin32\\", "C:\\a<b\\Bin32\\Quenmar.exe",
        "C:\\Games\\Bin32\\Quenmar.exe\r\n", "C:/Games/Bin32/Quenmar.exe",
        "C:\\" + std::string(300, 'q') + "\\Quenmar.exe"},
       [](TStoredSettings& s) { s.Path = ""; }},
      {"CustomConfig", {"system.cfg", "C:\\x\\system.cfg|y"},
       [](TStoredSettings& s) { s.CustomConfig = ""; }},
      {"640", {"2", "yes"}, [](TStoredSettings& s) { s.Resolution[0] = false; }},
      {"1024", {"true"}, [](TStoredSettings& s) { s.Resolution[2] = false; }},
      {"1600", {"11"}, [](TStoredSettings& s) { s.Resolution[4] = false; }},
      {"Demo", {"0", "13", "Sys"}, [](TStoredSettings& s) { s.Demo = -1; }},
      {"Detail", {"0", "5"}, [](TStoredSettings& s) { s.DetailLevel = -1; }},
      {"PS", {"0", "4"}, [](TStoredSettings& s) { s.ShaderModel = -1; }},
      {"Renderer", {"0", "3", "Direct3D"}, [](TStoredSettings& s) { s.Renderer = -1; }},
      {"AFLevel", {"6", "16", "SYS"}, [](TStoredSettings& s) { s.AFLevel = -1; }},
      {"AALevel", {"3", "5", "None"}, [](TStoredSettings& s) { s.AALevel = -1; }},
      {"TRun", {"0", "6"}, [](TStoredSettings& s) { s.RunNumber = -1; }},
      {"ResoultPath",
       {"Benchmark\\", "C:\\Results", "C:\\Re\tsults\\", "..\\..\\", "C:\\a\\b:c\\"},
       [](TStoredSettings& s) { s.ResultsFolder = ""; }},
      {"Decimal", {";", ",,", ". "}, [](TStoredSettings& s) { s.DecimalSeparator = ""; }},
      {"Note", {std::string(61, 'n'), "two\r\nlines"}, [](TStoredSettings& s) { s.Note = ""; },
       true},
      {"Mapname", {"..", "..\\..\\Windows", "Pier/x", "."},
       [](TStoredSettings& s) { s.MapName = ""; }, true},
      {"Demoname", {"..\\..\\system.cfg", "C:\\x.tmd", "a\tb.tmd"},
       [](TStoredSettings& s) { s.DemoFileName = ""; }, true},
      {"Wait", {"0", "11", "3.0", "0x3"}, [](TStoredSettings& s) { s.Wait.reset(); }},
      {"ScrPath", {"Screenshot\\", "C:\\Shots"},
       [](TStoredSettings& s) { s.ScreenshotFolder = ""; }},
      {"HDR", {"on"}, [](TStoredSettings& s) { s.HDR = false; }},
      {"HDRLevel", {"0", "12"}, [](TStoredSettings& s) { s.HDRLevel.reset(); }},
      {"GI", {"01"}, [](TStoredSettings& s) { s.GeometryInstancing = false; }},
      {"NormalMaps", {"Y"}, [](TStoredSettings& s) { s.NormalMapsCompression = false; }},
      {"Language", {"9", "English"}, [](TStoredSettings& s) { s.Language = -1; }},
      // Only "0" turns these two off; anything else, or nothing, turns them on.
      {"Addinfo", {"no"}, [](TStoredSettings& s) { s.AddAdditionalInfo = true; }},
      {"AddScInf", {"00"}, [](TStoredSettings& s) { s.AddDisplayInfo = true; }},
  };
  for (const Case& k : cases) {
    std::vector<std::string> garbage = k.freeText ? textGarbage : anyGarbage;
    garbage.insert(garbage.end(), k.garbage.begin(), k.garbage.end());
    for (const std::string& text : garbage) {
      SCOPED_TRACE(std::string(k.name) + " = '" + text.substr(0, 40) + "'");
      TValues values = StoredValues();
      values[k.name] = text;
      TStoredSettings expected = StoredRecord();
      k.reset(expected);
      EXPECT_EQ(DecodeSettings(ReaderOf(values)), expected);
    }
  }
}

TEST(SettingCodesTest, WritesWhatTheCloseWrites) {
  std::vector<std::pair<std::string, std::string>> written;
  EncodeSettings(StoredRecord(), true, [&](const std::string& name, const std::string& value) {
    written.emplace_back(name, value);
  });
  // Every value of the user's settings but "CustomConfig", in the close's order.
  const char* const order[] = {"Path",    "640",      "800",      "1024",     "1280",
                               "1600",    "Demo",     "Detail",   "PS",       "Renderer",
                               "AFLevel", "AALevel",  "TRun",     "ResoultPath", "Decimal",
                               "Note",    "Mapname",  "Demoname", "Wait",     "ScrPath",
                               "HDR",     "HDRLevel", "GI",       "NormalMaps", "Addinfo",
                               "AddScInf", "Language"};
  const std::map<std::string, std::string> values = StoredValues();
  std::vector<std::pair<std::string, std::string>> expected;
  for (const char* name : order) expected.emplace_back(name, values.at(name));
  EXPECT_EQ(written, expected);
}

TEST(SettingCodesTest, ListsWithoutASelectionKeepTheirStoredCode) {
  TStoredSettings s;  // nothing selected, nothing checked
  s.AddAdditionalInfo = true;
  for (bool hasStoredOS : {false, true}) {
    SCOPED_TRACE(hasStoredOS);
    TValues written;
    EncodeSettings(s, hasStoredOS, [&](const std::string& name, const std::string& value) {
      written[name] = value;
    });
    // An empty path field (no game found this time) keeps the stored path too.
    for (const char* name : {"Demo", "Detail", "PS", "Renderer", "AFLevel", "AALevel", "Language",
                             "Wait", "HDRLevel", "CustomConfig", "Path"})
      EXPECT_EQ(written.count(name), 0u) << name;
    EXPECT_EQ(written["TRun"], "");
    EXPECT_EQ(written["640"], "0");
    // A checked box is kept only with a stored description to add.
    EXPECT_EQ(written["Addinfo"], hasStoredOS ? "1" : "0");
    EXPECT_EQ(written["AddScInf"], "1");
  }
}

TEST(SettingCodesTest, RoundTrip) {
  TStoredSettings s = StoredRecord();
  s.AddAdditionalInfo = true;
  s.Demo = 0;
  s.Language = 0;
  TValues values;
  EncodeSettings(s, true, [&](const std::string& name, const std::string& value) {
    values[name] = value;
  });
  values["CustomConfig"] = s.CustomConfig;  // written when it is chosen, not at the close
  EXPECT_EQ(DecodeSettings(ReaderOf(values)), s);
}

TEST(SettingCodesTest, TextRules) {
  EXPECT_TRUE(IsFolderText("C:\\"));
  EXPECT_TRUE(IsFolderText("c:\\Program Files\\RIR ered\\"));
  EXPECT_TRUE(IsFolderText("\\\\server\\share\\"));
  EXPECT_FALSE(IsFolderText("C:"));
  EXPECT_FALSE(IsFolderText("\\Results\\"));
  EXPECT_FALSE(IsFolderText("\\\\\\x\\"));
  EXPECT_FALSE(IsFolderText("C:\\Results\\*\\"));
  EXPECT_TRUE(IsFilePathText("C:\\a b\\Quenmar.exe"));
  EXPECT_FALSE(IsFilePathText("C:\\a b\\"));
  EXPECT_TRUE(IsPlainName("vl1-regulator.tmd"));
  EXPECT_TRUE(IsPlainName("São Ø"));
  EXPECT_FALSE(IsPlainName(""));
  EXPECT_TRUE(IsLineText("", kNoteMaxLength));
  EXPECT_TRUE(IsLineText(std::string(60, 'a'), kNoteMaxLength));
  EXPECT_FALSE(IsLineText("a\tb", kNoteMaxLength));
  EXPECT_EQ(WholeNumberIn("10", 1, 10), 10);
  EXPECT_EQ(WholeNumberIn("1", 1, 10), 1);
  EXPECT_FALSE(WholeNumberIn("9999999999", 1, 10).has_value());
  EXPECT_FALSE(WholeNumberIn("+3", 1, 10).has_value());
}

TEST(SettingCodesTest, HardwareDescription) {
  const TValues values = {{"OS", "Operating System: Windows XP Professional"},
                          {"CPU", std::string(256, 'c')},
                          {"Memory", "Memory: 512MB\r\nRAM"},
                          {"VGA", "Card name: NVIDIA GeForce 6800"},
                          {"VGA Memory", "Display Memory: 256.0 MB"},
                          {"VGA Driver", std::string(255, 'd')},
                          {"DirectX", "DirectX 9.0c (4.09.0000.0904)"}};
  const THardwareDescription d = DecodeHardwareDescription(ReaderOf(values));
  EXPECT_EQ(d.OS, "Operating System: Windows XP Professional");
  EXPECT_EQ(d.CPU, "");
  EXPECT_EQ(d.Memory, "");
  EXPECT_EQ(d.VGA, "Card name: NVIDIA GeForce 6800");
  EXPECT_EQ(d.VGAMemory, "Display Memory: 256.0 MB");
  EXPECT_EQ(d.VGADriver, std::string(255, 'd'));
  EXPECT_EQ(d.DirectX, "DirectX 9.0c (4.09.0000.0904)");
}
