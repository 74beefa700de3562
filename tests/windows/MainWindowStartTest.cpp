// The main window's start and close: the settings restored into the controls and written back,
// the first start, the game's shortcuts, a stale path, the repair after an interrupted run, the
// close's clean-up, a settings key that refuses, and stored garbage.
#include <functional>
#include <map>

#include "MainWindowTestSupport.h"
#include "app/EngineTestSupport.h"
#include "app/GameDiscovery.h"
#include "app/GameFolderCare.h"
#include "controls/FcButton.h"
#include "controls/FcCmboBx.h"
#include "controls/FcEdit.h"
#include "controls/FcPages.h"
#include "controls/FcRadChk.h"
#include "controls/FcRadGrp.h"
#include "controls/FcSpnEdt.h"
#include "controls/FcStatus.h"
#include "platform/Layout.h"
#include "platform/StdCtrls.h"
#include "shell/ShellTestSupport.h"

namespace {

using TValues = std::map<std::string, std::string>;

// A user's settings that the window shows as they are (no option changes another).
TValues UsersSettings(const std::string& gamePath) {
  return {{"Path", gamePath},
          {"CustomConfig", "C:\\My configs\\system.cfg"},
          {"640", "1"},
          {"800", "0"},
          {"1024", "1"},
          {"1280", "0"},
          {"1600", "1"},
          {"Demo", "2"},
          {"Detail", "3"},
          {"PS", "2"},
          {"Renderer", "2"},
          {"AFLevel", "4"},
          {"AALevel", "4"},
          {"TRun", "3"},
          {"ResoultPath", "C:\\Results\\"},
          {"Decimal", ","},
          {"Note", "Tom & Jerry <3"},
          {"Mapname", "Training"},
          {"Demoname", "quick.tmd"},
          {"Wait", "5"},
          {"ScrPath", "C:\\Shots\\"},
          {"HDR", "0"},
          {"HDRLevel", "7"},
          {"GI", "1"},
          {"NormalMaps", "1"},
          {"Language", "8"},
          {"Addinfo", "1"},
          {"AddScInf", "0"},
          {"OS", "Operating System: Windows XP Professional"},
          {"FirstRun", "Some"}};
}

class MainWindowStartTest : public MainWindowTest {
 protected:
  void Seed(const TValues& values) {
    for (const auto& [name, value] : values) Key.Seed(name, value);
  }
};

}  // namespace

// Every value comes back into its control, goes back into the key at the close as it was, and
// a second start shows the same.
TEST_F(MainWindowStartTest, SettingsComeBackAsStored) {
  UseGame();
  const TValues stored = UsersSettings(GamePath());
  Seed(stored);
  TBoxWatch boxes;
  CreateWindows();
  for (int round = 0; round < 2; ++round) {
    SCOPED_TRACE(round == 0 ? "first start" : "second start");
    TForm1& f = *Form1;
    EXPECT_EQ(f.QMPathEdit->Text(), GamePath());
    EXPECT_EQ(f.DetailEdit->Text(), "C:\\My configs\\system.cfg");
    for (int i = 0; i < kResolutionCount; ++i) EXPECT_EQ(f.res->ItemChecked(i), i % 2 == 0) << i;
    EXPECT_TRUE(f.demo->ItemButton(1)->Checked());
    EXPECT_EQ(f.Label3->Caption(), "(1 - 4053 frames)");
    EXPECT_EQ(f.DetailBox->ItemIndex(), 2);
    EXPECT_EQ(f.PShader->ItemIndex(), 1);
    EXPECT_EQ(f.RendererBox->Text(), "OpenGL");
    EXPECT_EQ(f.AFBox->Text(), "8");
    EXPECT_EQ(f.AABox->Text(), "4");
    EXPECT_EQ(f.RunNumberBox->Text(), "3");
    EXPECT_EQ(f.ResEdit->Text(), "C:\\Results\\");
    EXPECT_EQ(f.DecBox->Text(), ",");
    EXPECT_EQ(f.Label8->Caption(), "(comma)");
    EXPECT_EQ(f.NoteEdit->Text(), "Tom & Jerry <3");
    EXPECT_EQ(f.mapnamebox->Text(), "Training");
    EXPECT_EQ(f.demonamebox->Text(), "quick.tmd");
    EXPECT_EQ(f.waits->IntValue(), 5);
    EXPECT_EQ(f.Label10->Caption(), "seconds.");
    EXPECT_EQ(f.ScrsaveFold->Text(), "C:\\Shots\\");
    EXPECT_FALSE(f.hdrbox->Checked());
    EXPECT_EQ(f.HDRLevelBox->IntValue(), 7);
    EXPECT_TRUE(f.GIBox->Checked());
    EXPECT_TRUE(f.CompRessBox->Checked());
    EXPECT_EQ(f.LangBox->Text(), "Russian");
    EXPECT_FALSE(f.LangBox->ReadOnly());
    EXPECT_TRUE(f.AddInfoBox->Checked());
    EXPECT_FALSE(f.AddInfo->Checked());
    EXPECT_EQ(f.FcStatusPane1->Caption(), "Set the parameters & bench!");
    EXPECT_TRUE(f.BenchButton->Enabled());
    CloseMainWindow();
    for (const auto& [name, value] : stored) EXPECT_EQ(Key.Value(name), value) << name;
    FreeWindows();
    CreateWindows();
  }
  EXPECT_EQ(boxes.Texts(), std::vector<std::string>());
}

// Restoring a control runs its handler, as a click would; the close writes what the handlers
// left.
TEST_F(MainWindowStartTest, RestoredControlsRunTheirHandlers) {
  struct Case {
    const char* name;
    TValues values;
    std::function<void(TForm1&)> check;
    TValues written;
    std::vector<std::string> boxes;
  };
  const Case cases[] = {
      {"the last stock demo", {{"Demo", "11"}},
       [](TForm1& f) {
         EXPECT_EQ(f.Label3->Caption(), "(1 - 4217 frames)");
         EXPECT_EQ(f.FrameEdit->Max(), 4217);
         EXPECT_FALSE(f.FcButton1->Visible());
         EXPECT_FALSE(f.mapnamebox->Enabled());
       },
       {{"Demo", "11"}}, {}},
      {"the user's demo", {{"Demo", "12"}},
       [](TForm1& f) {
         EXPECT_EQ(f.Label3->Caption(), "(No frame range.)");
         EXPECT_TRUE(f.FcButton1->Visible());
         EXPECT_TRUE(f.mapnamebox->Enabled());
         EXPECT_TRUE(f.demonamebox->Enabled());
         EXPECT_TRUE(f.FcToolButton3->Enabled());
       },
       {{"Demo", "12"}}, {}},
      {"a custom configuration file", {{"Detail", "4"}},
       [](TForm1& f) {
         EXPECT_TRUE(f.DetailEdit->Enabled());
         EXPECT_TRUE(f.DetailButton->Enabled());
         EXPECT_TRUE(f.PShader->ItemButton(2)->Enabled());
       },
       {{"Detail", "4"}, {"PS", "2"}}, {}},
      {"ultra details", {{"Detail", "1"}},
       [](TForm1& f) {
         EXPECT_FALSE(f.DetailEdit->Enabled());
         EXPECT_FALSE(f.PShader->ItemButton(1)->Enabled());
         EXPECT_FALSE(f.PShader->ItemButton(2)->Enabled());
         EXPECT_EQ(f.PShader->ItemIndex(), 0);
       },
       {{"Detail", "1"}, {"PS", "1"}}, {}},
      {"HDR", {{"HDR", "1"}},
       [](TForm1& f) {
         EXPECT_EQ(f.AABox->Text(), "None");
         EXPECT_FALSE(f.AABox->Enabled());
         EXPECT_TRUE(f.HDRLevelBox->Enabled());
         EXPECT_TRUE(f.sectime->Enabled());
       },
       {{"HDR", "1"}, {"AALevel", "1"}}, {}},
      {"one second", {{"Wait", "1"}},
       [](TForm1& f) { EXPECT_EQ(f.Label10->Caption(), "second."); }, {{"Wait", "1"}}, {}},
      {"Polish", {{"Language", "7"}}, [](TForm1& f) { EXPECT_EQ(f.LangBox->Text(), "Polish"); },
       {{"Language", "7"}}, {}},
      {"additional information without a description", {{"OS", ""}},
       [](TForm1& f) { EXPECT_FALSE(f.AddInfoBox->Checked()); }, {{"Addinfo", "0"}},
       {kAddInfoNeededMessage}},
      {"no results folder", {{"ResoultPath", ""}},
       [this](TForm1& f) {
         EXPECT_EQ(f.ResEdit->Text(), Game->Root() + "Benchmark\\");
         // Written at once, before any close.
         EXPECT_EQ(Key.Value("ResoultPath"), Game->Root() + "Benchmark\\");
       },
       {}, {}},
      {"no screenshot folder", {{"ScrPath", ""}},
       [this](TForm1& f) {
         EXPECT_EQ(f.ScrsaveFold->Text(), Game->Root() + "Screenshot\\");
         EXPECT_EQ(Key.Value("ScrPath"), Game->Root() + "Screenshot\\");
       },
       {}, {}},
      // The user's separator stays; only without one does the system's come in.
      {"a first start with a game", {{"FirstRun", ""}, {"Decimal", ","}},
       [this](TForm1& f) {
         EXPECT_EQ(f.DecBox->Text(), ",");
         EXPECT_EQ(f.Label8->Caption(), "(comma)");
         EXPECT_EQ(Key.Value("FirstRun"), "Some");
       },
       {{"Decimal", ","}}, {}},
      {"a first start with a game and no separator", {{"FirstRun", ""}, {"Decimal", "x"}},
       [this](TForm1& f) {
         // The test prefix's locale writes numbers with a period.
         EXPECT_EQ(f.DecBox->Text(), ".");
         EXPECT_EQ(f.Label8->Caption(), "(period)");
         EXPECT_EQ(Key.Value("Decimal"), ".");
       },
       {{"Decimal", "."}}, {}},
  };
  UseGame();
  for (const Case& k : cases) {
    SCOPED_TRACE(k.name);
    Key.Remove();
    Seed(UsersSettings(GamePath()));
    Seed(k.values);
    {
      TBoxWatch boxes;
      CreateWindows();
      EXPECT_EQ(boxes.Texts(), k.boxes);
    }
    k.check(*Form1);
    CloseMainWindow();
    for (const auto& [name, value] : k.written) EXPECT_EQ(Key.Value(name), value) << name;
    FreeWindows();
  }
}

// No settings and no shortcut: the window asks for the game and explains the additional
// information (a box while the window is being made).
TEST_F(MainWindowStartTest, FirstStart) {
  Key.Remove();
  TBoxWatch boxes;
  CreateWindows();
  EXPECT_EQ(boxes.Texts(), std::vector<std::string>{kAddInfoNeededMessage});
  TForm1& f = *Form1;
  EXPECT_FALSE(f.AddInfoBox->Checked());
  EXPECT_EQ(f.FcStatusPane1->Caption(), kSearchGameStatus);
  EXPECT_FALSE(f.BenchButton->Enabled());
  EXPECT_EQ(f.VersionLabel->Caption(), "Quenmar version: not available");
  EXPECT_FALSE(f.PShader->ItemButton(1)->Enabled());
  EXPECT_FALSE(f.PShader->ItemButton(2)->Enabled());
  EXPECT_EQ(f.dxv->Caption(), "DirectX 9.0c: available");
  EXPECT_EQ(Key.Value("Decimal"), ".");
  EXPECT_EQ(f.DecBox->Text(), ".");
  // The missing "TRun" leaves the run count as the layout has it.
  EXPECT_EQ(f.RunNumberBox->ItemIndex(), -1);
  EXPECT_EQ(f.GameFolders().ExeFolder, "");
  EXPECT_EQ(f.GameFolders().GameRoot, "");
  EXPECT_EQ(f.ProgramFolder, ProgramFolder);
}

// Without a stored path the game's shortcut on the desktop, else the one in the Start menu,
// names it; the path is stored only at the close.
TEST_F(MainWindowStartTest, GameFoundByItsShortcut) {
  UseGame(false);
  const TShortcutFolders folders = CommonShortcutFolders(nullptr);
  const std::string desktop = folders.Desktop + "\\Quenmar.lnk";
  const std::string startMenu = folders.Programs + "\\Orvane\\Quenmar\\Play Quenmar.lnk";
  for (const std::string& link : {desktop, startMenu}) {
    SCOPED_TRACE(link);
    ASSERT_TRUE(ForceDirectories(ExtractFileDir(link)));
    MakeShortcut(link, GamePath());
    CreateWindows();
    EXPECT_EQ(Form1->QMPathEdit->Text(), GamePath());
    EXPECT_EQ(Form1->GameFolders().GameRoot, Game->Root());
    EXPECT_TRUE(Form1->BenchButton->Enabled());
    EXPECT_EQ(Key.Value("Path"), "<missing>");
    CloseMainWindow();
    EXPECT_EQ(Key.Value("Path"), GamePath());
    FreeWindows();
    DeleteFileA(link.c_str());
    Key.Remove();
    Key.Seed("Addinfo", "0");
  }
  RemoveDirectoryA(ExtractFileDir(startMenu).c_str());
  RemoveDirectoryA(ExtractFileDir(ExtractFileDir(startMenu)).c_str());
}

// A stored path that names no installed game (gone, or not the game's executable) is as good
// as none: no folders, no start, no repair, and nothing touched in the current folder.
TEST_F(MainWindowStartTest, PathWithoutAGame) {
  UseGame(false);
  const std::string here = Game->Root() + "Current\\";
  ASSERT_TRUE(ForceDirectories(here));
  for (const char* name : {"rirered.bat", "systemold.cfg", "Systemcfgoverride.cfg", "qmsplashold.bmp"})
    WriteBytes(here + name, "x");
  ASSERT_TRUE(ForceDirectories(ProgramFolder + "Backup"));
  WriteBytes(ProgramFolder + "Backup\\system.cfg", "users");
  const std::string before = GetCurrentDir();
  ASSERT_TRUE(SetCurrentDirectoryA(here.c_str()));
  for (const std::string& path :
       {Game->Root() + "Gone\\Bin32\\Quenmar.exe", Game->ExeFolder() + "Quenmar_WinSV.exe"}) {
    SCOPED_TRACE(path);
    Key.Seed("Path", path);
    Key.Seed("NoErrorWarning", "1");
    TBoxWatch boxes(IDYES);
    CreateWindows();
    EXPECT_EQ(Form1->QMPathEdit->Text(), "");
    EXPECT_EQ(Form1->VersionLabel->Caption(), "Version:");
    EXPECT_FALSE(Form1->BenchButton->Enabled());
    EXPECT_EQ(Form1->FcStatusPane1->Caption(), kSearchGameStatus);
    EXPECT_EQ(Form1->GameFolders().GameRoot, "");
    CloseMainWindow();
    FreeWindows();
    EXPECT_EQ(boxes.Texts(), std::vector<std::string>());
    EXPECT_EQ(Key.Value("NoErrorWarning"), "1");
  }
  SetCurrentDirectoryA(before.c_str());
  for (const char* name : {"rirered.bat", "systemold.cfg", "Systemcfgoverride.cfg", "qmsplashold.bmp"})
    EXPECT_TRUE(FileExists(here + name)) << name;
  EXPECT_FALSE(FileExists(here + "system.cfg"));
  EXPECT_FALSE(FileExists(here + "qmsplash.bmp"));
}

// The close keeps the user's game path and separator when this start found no game (a disk
// not plugged in, a search that found none) and when the separator box holds neither "." nor
// ",".
TEST_F(MainWindowStartTest, TheUsersPathAndSeparatorSurviveTheClose) {
  UseGame();
  const std::string gone = Game->Root() + "Unplugged\\Bin32\\Quenmar.exe";
  struct Case {
    const char* name;
    std::string path;        // stored
    const char* separator;   // stored
    std::function<void(TForm1&)> act;
    std::string pathAfter;
    const char* separatorAfter;
  };
  const auto search = [this](TForm1& f) {
    f.FixedDriveList = Game->Root() + "Nothing here\\;";
    RealPress(f.FcToolButton4);
  };
  const auto type = [](const char* text) {
    return [text](TForm1& f) { TypeInto(f.DecBox, text); };
  };
  const Case cases[] = {
      {"a game on a disk not plugged in", gone, ",", nullptr, gone, ","},
      {"no game stored", "", ",", nullptr, "<missing>", ","},
      {"a search that finds nothing", GamePath(), ",", search, GamePath(), ","},
      {"typed and not left", GamePath(), ",", type("x"), GamePath(), ","},
      {"typed, nothing usable stored", GamePath(), "x", type("x"), GamePath(), "."},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.name);
    Key.Remove();
    Key.Seed("Addinfo", "0");
    Key.Seed("FirstRun", "Some");
    if (!k.path.empty()) Key.Seed("Path", k.path);
    Key.Seed("Decimal", k.separator);
    CreateWindows();
    ShowMainWindow();
    if (k.act) k.act(*Form1);
    CloseMainWindow();
    EXPECT_EQ(Key.Value("Path"), k.pathAfter);
    EXPECT_EQ(Key.Value("Decimal"), k.separatorAfter);
    FreeWindows();
  }
}

// After a run that did not end cleanly the start offers to put the game's files back.
TEST_F(MainWindowStartTest, RepairAfterAnInterruptedRun) {
  enum TMark { markSet, markClear };
  struct Case {
    const char* name;
    int answer;
    bool backup;       // "Backup\system.cfg" holds the user's file
    TMark mark;        // the engine's "ConfigBackup"
    const char* config;   // the game's "system.cfg" afterwards
    const char* warning;  // "NoErrorWarning" afterwards
    std::vector<std::string> messages;
  };
  const Case cases[] = {
      {"yes, backup waiting", IDYES, true, markSet, "users", "0", {}},
      {"yes, no backup", IDYES, false, markSet, "benchmark's", "1", {}},
      // A refused start leaves "NoErrorWarning" "1" while the game holds the user's file.
      {"yes after a refused start", IDYES, true, markClear, "benchmark's", "0", {}},
      {"no", IDNO, true, markSet, "benchmark's", "0", {kRepairDeclinedMessage}},
  };
  UseGame();
  const std::string splash = ReadBytes(ProgramFolder + "qmsplash.bmp");
  const std::string gameSplash = ReadBytes(Game->Root() + "qmsplash.bmp");
  for (const Case& k : cases) {
    SCOPED_TRACE(k.name);
    DeleteFolderTree(ProgramFolder + "Backup\\");
    ASSERT_TRUE(ForceDirectories(ProgramFolder + "Backup"));
    if (k.backup) WriteBytes(ProgramFolder + "Backup\\system.cfg", "users");
    WriteBytes(ProgramFolder + "Backup\\qmsplash.bmp", gameSplash);
    WriteBytes(Game->Root() + "system.cfg", "benchmark's");
    WriteBytes(Game->Root() + "qmsplash.bmp", splash);
    Key.Seed("NoErrorWarning", "1");
    Key.Seed("ConfigBackup", k.mark == markSet ? "1" : "0");
    // What the run noted it wrote: the size and the 64-bit FNV-1a hash of "benchmark's".
    Key.Seed("ConfigWritten", "11:4103e3acbd0b4aa6");
    TBoxWatch boxes(k.answer);
    CreateWindows();
    std::vector<std::string> expected = {kRepairQuestion};
    expected.insert(expected.end(), k.messages.begin(), k.messages.end());
    EXPECT_EQ(boxes.Texts(), expected);
    EXPECT_EQ(ReadBytes(Game->Root() + "system.cfg"), k.config);
    EXPECT_EQ(Key.Value("NoErrorWarning"), k.warning);
    if (k.answer == IDYES) {
      EXPECT_EQ(ReadBytes(Game->Root() + "qmsplash.bmp"), gameSplash);
    }
    FreeWindows();
  }
  // Without the game's splash there is nothing to put the backup over.
  DeleteFileA((Game->Root() + "qmsplash.bmp").c_str());
  Key.Seed("NoErrorWarning", "1");
  TBoxWatch boxes(IDYES);
  CreateWindows();
  EXPECT_EQ(boxes.Texts(), (std::vector<std::string>{kRepairQuestion, kRepairSplashMissingMessage}));
}

// The close writes the settings back and removes a run's leftovers from the game's folders.
TEST_F(MainWindowStartTest, CloseCleansTheGamesFolders) {
  UseGame();
  const std::vector<std::string> leftovers = {
      Game->ExeFolder() + "rirered.bat", Game->ExeFolder() + "systemold.cfg",
      Game->Root() + "systemold.cfg", Game->Root() + "Systemcfgoverride.cfg"};
  CreateWindows();
  for (const std::string& name : leftovers) WriteBytes(name, "x");
  DeleteFileA((Game->Root() + "qmsplash.bmp").c_str());
  WriteBytes(Game->Root() + "qmsplashold.bmp", "game's splash");
  CloseMainWindow();
  for (const std::string& name : leftovers) EXPECT_FALSE(FileExists(name)) << name;
  EXPECT_EQ(ReadBytes(Game->Root() + "qmsplash.bmp"), "game's splash");
  EXPECT_EQ(Key.Value("Path"), GamePath());
}

// A key that cannot be opened: one box naming it, and a window with the layout's state; a key
// that cannot be written: one box at the start, one at the close, and the clean-up done.
TEST_F(MainWindowStartTest, SettingsKeyThatRefuses) {
  const std::string parent = "Software\\RIRered window volatile " + std::to_string(GetCurrentProcessId());
  HKEY volatileKey = nullptr;
  ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, parent.c_str(), 0, nullptr, REG_OPTION_VOLATILE,
                            KEY_ALL_ACCESS, nullptr, &volatileKey, nullptr),
            ERROR_SUCCESS);
  RegCloseKey(volatileKey);
  MainSettingsPlace = TSettingsPlace{HKEY_CURRENT_USER, "\\" + parent + "\\Settings", KEY_ALL_ACCESS};
  {
    TBoxWatch boxes;
    CreateWindows();
    const std::vector<std::string> texts = boxes.Texts();
    ASSERT_FALSE(texts.empty());
    EXPECT_EQ(texts[0], "The registry key HKEY_CURRENT_USER\\" + parent +
                            "\\Settings, which keeps the program's settings, cannot be opened. "
                            "The settings are not restored and will not be saved.");
    EXPECT_FALSE(Form1->BenchButton->Enabled());
    EXPECT_EQ(Form1->FcStatusPane1->Caption(), kSearchGameStatus);
    CloseMainWindow();
    FreeWindows();
  }
  RegDeleteKeyA(HKEY_CURRENT_USER, parent.c_str());

  UseGame();
  WriteBytes(Game->ExeFolder() + "rirered.bat", "x");
  MainSettingsPlace = TSettingsPlace{HKEY_LOCAL_MACHINE, Key.Path(), KEY_READ};
  TBoxWatch boxes;
  CreateWindows();
  EXPECT_TRUE(Form1->BenchButton->Enabled());
  EXPECT_EQ(boxes.Texts(),
            std::vector<std::string>{"The setting \"FirstRun\" cannot be saved: the registry key " +
                                     Key.Name() + " cannot be written."});
  CloseMainWindow();
  EXPECT_EQ(boxes.Texts().back(),
            "The settings cannot be saved: the registry key " + Key.Name() + " cannot be written.");
  EXPECT_FALSE(FileExists(Game->ExeFolder() + "rirered.bat"));
}

// A stored value is input anyone can change: whatever it holds, the window starts without a
// box, that setting as the layout has it and every other one as stored.
TEST_F(MainWindowStartTest, StoredGarbage) {
  // Puts the layout's state (for the garbage `value`) into the settings the start gives.
  using TLayoutState = std::function<void(TStoredSettings& s, const std::string& value)>;
  struct Row {
    const char* name;
    std::vector<std::string> garbage;  // besides "" and 10,000 characters
    TLayoutState layout;
  };
  const std::string root = (UseGame(), Game->Root());
  const std::string firstMap = ListMaps(root).front();
  const std::string tooLong(10000, '7');
  const Row rows[] = {
      {"CustomConfig", {"system.cfg", "C:\\a|b.cfg"}, [](auto& s, auto&) { s.CustomConfig.clear(); }},
      {"640", {"2", "yes"}, [](auto& s, auto&) { s.Resolution[0] = false; }},
      {"1600", {"-1"}, [](auto& s, auto&) { s.Resolution[4] = false; }},
      {"Demo", {"0", "13", "1.5"}, [](auto& s, auto&) { s.Demo = -1; }},
      {"Detail", {"0", "5"}, [](auto& s, auto&) { s.DetailLevel = -1; }},
      {"PS", {"0", "4"}, [](auto& s, auto&) { s.ShaderModel = -1; }},
      {"Renderer", {"3", "OpenGL"}, [](auto& s, auto&) { s.Renderer = -1; }},
      {"AFLevel", {"6", "16", "sys"}, [](auto& s, auto&) { s.AFLevel = -1; }},
      {"AALevel", {"3", "None"}, [](auto& s, auto&) { s.AALevel = -1; }},
      {"TRun", {"0", "6", " 2"}, [](auto& s, auto&) { s.RunNumber = -1; }},
      {"ResoultPath", {"C:\\No backslash", "Benchmark\\"},
       [&](auto& s, auto&) { s.ResultsFolder = root + "Benchmark\\"; }},
      {"Decimal", {";", ".."}, [](auto& s, auto&) { s.DecimalSeparator = std::string("."); }},
      {"Note", {std::string(61, 'n'), "line\r\nbreak"}, [](auto& s, auto&) { s.Note.clear(); }},
      // A stored map the list lacks leaves the box as it is; none stored takes the first.
      {"Mapname", {"..\\..\\Windows", "Training\\", "x"},
       [&](auto& s, const std::string& value) {
         s.MapName = value.empty() ? firstMap : std::string();
         s.DemoFileName = std::string(kNoDemosText);
       }},
      // The map's first demo is the one stored.
      {"Demoname", {"..\\quick.tmd", "*.tmd", "missing.tmd"}, [](auto&, auto&) {}},
      {"Wait", {"0", "11", "-3"}, [](auto& s, auto&) { s.Wait = 3; }},
      {"ScrPath", {"\\\\", "C:/shots/"},
       [&](auto& s, auto&) { s.ScreenshotFolder = root + "Screenshot\\"; }},
      {"HDR", {"2"}, [](auto& s, auto&) { s.HDR = false; }},
      {"HDRLevel", {"0", "12"}, [](auto& s, auto&) { s.HDRLevel = 1; }},
      {"GI", {"on"}, [](auto& s, auto&) { s.GeometryInstancing = false; }},
      {"NormalMaps", {"true"}, [](auto& s, auto&) { s.NormalMapsCompression = false; }},
      {"Language", {"9", "-1", "English"}, [](auto& s, auto&) { s.Language = -1; }},
      // Checked unless "0": with a description stored the box stays checked.
      {"Addinfo", {"00", "no"}, [](auto& s, auto&) { s.AddAdditionalInfo = true; }},
      {"AddScInf", {"00", "no"}, [](auto& s, auto&) { s.AddDisplayInfo = true; }},
      {"NoErrorWarning", {"11", "yes"}, [](auto&, auto&) {}},
  };
  auto start = [&](const TValues& values) {
    Key.Remove();
    Seed(values);
    TBoxWatch boxes;
    CreateWindows();
    TStoredSettings settings = Form1->CurrentSettings();
    const std::vector<std::string> texts = boxes.Texts();
    FreeWindows();
    EXPECT_EQ(texts, std::vector<std::string>());
    return settings;
  };
  const TValues good = UsersSettings(GamePath());
  const TStoredSettings asStored = start(good);
  for (const Row& row : rows) {
    std::vector<std::string> garbage = row.garbage;
    garbage.insert(garbage.end(), {"", tooLong});
    for (const std::string& value : garbage) {
      SCOPED_TRACE(std::string(row.name) + " = \"" + value.substr(0, 20) + "\"");
      TValues values = good;
      values[row.name] = value;
      TStoredSettings expected = asStored;
      row.layout(expected, value);
      EXPECT_EQ(start(values), expected);
    }
  }
  // And all of them at once.
  TValues values = good;
  for (const Row& row : rows) values[row.name] = tooLong;
  values["Path"] = tooLong;
  values["OS"] = tooLong;
  values["Addinfo"] = "0";
  start(values);
}

// A layout that names a class or a handler the program does not have is refused whole.
TEST_F(MainWindowStartTest, DamagedLayoutIsRefused) {
  const std::string layout = LoadLayoutResource(nullptr, "TFORM1");
  struct Case {
    const char* from;
    const char* to;
    const char* problem;
  };
  const Case cases[] = {
      {"\"class\": \"TFcSpinEdit\", \"name\": \"waits\"", "\"class\": \"TFcSpinner\", \"name\": \"waits\"",
       "unknown class TFcSpinner"},
      {"\"OnClick\": \"BenchButtonClick\"", "\"OnClick\": \"BenchButtonPress\"", "BenchButtonPress"},
      {"\"name\": \"QMPathEdit\"", "\"name\": \"PathEdit\"", "QMPathEdit"},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.to);
    std::string text = layout;
    const size_t at = text.find(k.from);
    ASSERT_NE(at, std::string::npos);
    text.replace(at, std::string(k.from).size(), k.to);
    std::unique_ptr<TForm1> form(TForm::CreateNew<TForm1>(nullptr));
    try {
      ReadLayout(form.get(), text);
      ADD_FAILURE() << "the layout was read";
    } catch (const ELayoutError& e) {
      EXPECT_NE(e.Message().find(k.problem), std::string::npos) << e.Message();
    }
    EXPECT_EQ(form->ComponentCount(), 0);
    EXPECT_EQ(form->BenchButton, nullptr);
  }
}
