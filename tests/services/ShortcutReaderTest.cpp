#include <gtest/gtest.h>

#include <windows.h>
#include <objbase.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <ostream>
#include <string>

#include "platform/StringList.h"
#include "platform/SysUtils.h"
#include "services/ShortcutReader.h"

// Window states print as numbers, not as the characters of their byte.
void PrintTo(TWindowState state, std::ostream* os) { *os << static_cast<int>(state); }

namespace {

std::wstring Wide(const std::string& s) {
  int n = MultiByteToWideChar(CP_ACP, 0, s.c_str(), -1, nullptr, 0);
  std::wstring w(static_cast<size_t>(n), L'\0');
  MultiByteToWideChar(CP_ACP, 0, s.c_str(), -1, w.data(), n);
  w.resize(static_cast<size_t>(n > 0 ? n - 1 : 0));
  return w;
}

struct TLinkData {
  std::string path, arguments, description, workingDirectory, iconLocation;
  int iconIndex = 0;
  WORD hotKey = 0;
  int showCmd = SW_SHOWNORMAL;
};

// Saves a shortcut the way the shell's own link object writes one.
void MakeLink(const std::string& fileName, const TLinkData& d) {
  ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr)));
  IShellLinkA* link = nullptr;
  ASSERT_EQ(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                             reinterpret_cast<void**>(&link)),
            S_OK);
  link->SetPath(d.path.c_str());
  link->SetArguments(d.arguments.c_str());
  link->SetDescription(d.description.c_str());
  link->SetWorkingDirectory(d.workingDirectory.c_str());
  link->SetIconLocation(d.iconLocation.c_str(), d.iconIndex);
  link->SetHotkey(d.hotKey);
  link->SetShowCmd(d.showCmd);
  IPersistFile* file = nullptr;
  ASSERT_EQ(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)), S_OK);
  EXPECT_EQ(file->Save(Wide(fileName).c_str(), TRUE), S_OK);
  file->Release();
  link->Release();
  CoUninitialize();
}

// The show command the shell's link object reports after loading the file. Some shells
// report every show command as SW_SHOWNORMAL after a load, whatever the file holds.
int LoadedShowCmd(const std::string& fileName) {
  int showCmd = -1;
  if (FAILED(CoInitialize(nullptr))) return showCmd;
  IShellLinkA* link = nullptr;
  if (CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                       reinterpret_cast<void**>(&link)) == S_OK) {
    IPersistFile* file = nullptr;
    if (link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)) == S_OK) {
      if (file->Load(Wide(fileName).c_str(), STGM_READ) == S_OK) link->GetShowCmd(&showCmd);
      file->Release();
    }
    link->Release();
  }
  CoUninitialize();
  return showCmd;
}

// A folder of the test's own, with a blank and an accented letter (0xE9) in its name.
class ShortcutReaderTest : public testing::Test {
 protected:
  void SetUp() override {
    char temp[MAX_PATH + 1] = {};
    GetTempPathA(sizeof temp, temp);
    dir_ = std::string(temp) + Format("Short cut \xE9 %lu\\", GetCurrentProcessId());
    ASSERT_TRUE(ForceDirectories(dir_ + "Quenmar\\Bin32"));
    game_ = dir_ + "Quenmar\\Bin32\\Quenmar.exe";
    TStringList().SaveToFile(game_);
  }
  void TearDown() override {
    for (const std::string& f : {game_, dir_ + "Quenmar.lnk", dir_ + "notes.lnk"})
      DeleteFileA(f.c_str());
    RemoveDirectoryA((dir_ + "Quenmar\\Bin32").c_str());
    RemoveDirectoryA((dir_ + "Quenmar").c_str());
    RemoveDirectoryA(dir_.c_str());
  }

  static void ExpectCleared(const TShortcutDetails& d) {
    EXPECT_EQ(d.Arguments, "");
    EXPECT_EQ(d.Description, "");
    EXPECT_EQ(d.HotKey, 0);
    EXPECT_EQ(d.IconLocation, "");
    EXPECT_EQ(d.IconIndex, 0);
    EXPECT_EQ(d.Path, "");
    EXPECT_EQ(d.ShowCmd, wsNormal);
    EXPECT_EQ(d.WorkingDirectory, "");
  }

  std::string dir_;
  std::string game_;
};

}  // namespace

TEST_F(ShortcutReaderTest, ReadsEverythingTheLinkHolds) {
  TLinkData data;
  data.path = game_;
  data.arguments = "-DEVMODE \"#r_Width=640\"";
  data.description = "Play Quenmar \xE9";
  data.workingDirectory = dir_ + "Quenmar\\Bin32";
  data.iconLocation = game_;
  data.iconIndex = 2;
  data.hotKey = MAKEWORD('F', HOTKEYF_CONTROL | HOTKEYF_ALT);
  data.showCmd = SW_SHOWMAXIMIZED;
  MakeLink(dir_ + "Quenmar.lnk", data);

  TShortcutDetails d;
  ReadShortcutDetails(dir_ + "Quenmar.lnk", d);
  EXPECT_EQ(d.Path, game_);
  EXPECT_EQ(d.Arguments, data.arguments);
  EXPECT_EQ(d.Description, data.description);
  EXPECT_EQ(d.WorkingDirectory, data.workingDirectory);
  EXPECT_EQ(d.IconLocation, game_);
  EXPECT_EQ(d.IconIndex, 2);
  EXPECT_EQ(d.HotKey, 'F' + 0x4000 + 0x8000);
  int showCmd = LoadedShowCmd(dir_ + "Quenmar.lnk");
  EXPECT_EQ(d.ShowCmd, ShowCmdToWindowState(showCmd));
}

TEST_F(ShortcutReaderTest, FailuresRaiseAndLeaveTheRecordCleared) {
  TStringList text;
  text.Add("not a shortcut");
  text.SaveToFile(dir_ + "notes.lnk");

  // COM is left as it was found, also after a failure.
  bool comWasOff = CoInitialize(nullptr) == S_OK;
  if (comWasOff) CoUninitialize();

  for (const std::string& name : {dir_ + "missing.lnk", dir_ + "notes.lnk"}) {
    SCOPED_TRACE(name);
    TShortcutDetails d;
    d.Path = "C:\\old\\Quenmar.exe";
    d.Arguments = "-old";
    d.HotKey = 0x4041;
    d.IconIndex = 7;
    d.ShowCmd = wsMinimized;
    try {
      ReadShortcutDetails(name, d);
      FAIL() << "no exception";
    } catch (const Exception& e) {
      EXPECT_EQ(e.Message(), "Error opening Shortcut.");
    }
    ExpectCleared(d);
  }

  if (comWasOff) {
    EXPECT_EQ(CoInitialize(nullptr), S_OK);
    CoUninitialize();
  }
}

TEST(ShortcutReader, ShowCmdToWindowState) {
  const TWindowState expected[] = {
      wsNormal,     // 0 SW_HIDE
      wsNormal,     // 1 SW_SHOWNORMAL
      wsMinimized,  // 2 SW_SHOWMINIMIZED
      wsMaximized,  // 3 SW_SHOWMAXIMIZED
      wsNormal,     // 4 SW_SHOWNOACTIVATE
      wsNormal,     // 5 SW_SHOW
      wsMinimized,  // 6 SW_MINIMIZE
      wsMinimized,  // 7 SW_SHOWMINNOACTIVE
      wsNormal,     // 8 SW_SHOWNA
      wsNormal,     // 9 SW_RESTORE
      wsMaximized,  // 10 SW_SHOWDEFAULT
      wsNormal,     // 11 SW_FORCEMINIMIZE
  };
  for (int cmd = 0; cmd < 12; ++cmd) EXPECT_EQ(ShowCmdToWindowState(cmd), expected[cmd]) << cmd;
  EXPECT_EQ(ShowCmdToWindowState(-1), wsNormal);
}

TEST(ShortcutReader, HotKeyToShortCut) {
  struct Case {
    WORD hotKey;
    TShortCut shortCut;
  } cases[] = {
      {0, 0},
      {MAKEWORD('F', HOTKEYF_CONTROL | HOTKEYF_ALT), 'F' + 0x4000 + 0x8000},
      {MAKEWORD(VK_F5, HOTKEYF_SHIFT), VK_F5 + 0x2000},
      {MAKEWORD('Q', HOTKEYF_SHIFT | HOTKEYF_CONTROL | HOTKEYF_ALT), 'Q' + 0xE000},
      {MAKEWORD('A', HOTKEYF_EXT | HOTKEYF_CONTROL), 'A' + 0x4000},  // extended bit dropped
  };
  for (const Case& c : cases) EXPECT_EQ(HotKeyToShortCut(c.hotKey), c.shortCut) << c.hotKey;
}
