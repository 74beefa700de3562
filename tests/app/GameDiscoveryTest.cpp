#include <gtest/gtest.h>

#include <windows.h>
#include <objbase.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "TestSupport.h"
#include "app/EngineTestSupport.h"
#include "app/GameDiscovery.h"
#include "platform/Guards.h"
#include "services/FcVersionInfo.h"
#include "services/FindFile.h"
#include "services/SvSHFileOperation.h"
#include "shell/ShellTestSupport.h"
#include "standin/GameTree.h"

namespace {

std::set<std::string> AsSet(const std::vector<std::string>& names) {
  return std::set<std::string>(names.begin(), names.end());
}

// A scratch folder (a blank in its name) for trees the test builds.
class DiscoveryTest : public EngineTest {
 protected:
  void Touch(const std::string& fileName) {
    ASSERT_TRUE(ForceDirectories(ExtractFilePath(fileName)));
    WriteBytes(fileName, "");
  }
  void MakeLink(const std::string& fileName, const std::string& target) {
    ASSERT_TRUE(ForceDirectories(ExtractFilePath(fileName)));
    MakeShortcut(fileName, target);
  }
};

}  // namespace

TEST(GameDiscoveryTest, CommonShortcutFolders) {
  const TShortcutFolders folders = CommonShortcutFolders(nullptr);
  EXPECT_TRUE(AnsiSameText(folders.Desktop, "C:\\users\\Public\\Desktop")) << folders.Desktop;
  EXPECT_TRUE(AnsiSameText(folders.Programs,
                           "C:\\ProgramData\\Microsoft\\Windows\\Start Menu\\Programs"))
      << folders.Programs;
}

TEST_F(DiscoveryTest, GamePathFromShortcuts) {
  const TShortcutFolders folders = {Root + "Desktop", Root + "Programs"};
  const std::string desktopLink = folders.Desktop + "\\Quenmar.lnk";
  const std::string menuLink = folders.Programs + "\\Orvane\\Quenmar\\Play Quenmar.lnk";
  const std::string onDesktop = "C:\\Desk\\Bin32\\Quenmar.exe";
  const std::string inMenu = "C:\\Menu\\Bin32\\Quenmar.exe";
  enum TLink { none, link, broken };
  struct Case {
    TLink desktop, menu;
    std::string path;
  };
  const Case cases[] = {
      {link, none, onDesktop},
      {none, link, inMenu},
      {link, link, onDesktop},
      {none, none, ""},
      // A shortcut that cannot be read is passed over.
      {broken, link, inMenu},
      {broken, none, ""},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(Format("desktop %d, menu %d", k.desktop, k.menu));
    DeleteFolderTree(Root + "Desktop\\");
    DeleteFolderTree(Root + "Programs\\");
    if (k.desktop == link) MakeLink(desktopLink, onDesktop);
    if (k.desktop == broken) Touch(desktopLink);
    if (k.menu == link) MakeLink(menuLink, inMenu);
    EXPECT_EQ(GamePathFromShortcuts(folders), k.path);
  }
  EXPECT_EQ(GamePathFromShortcuts({}), "");
}

TEST(GameDiscoveryTest, InstalledGameFolders) {
  TGameTreeCopy game("InstalledGame");
  ASSERT_TRUE(game.Ok());
  const TGameFolders folders = InstalledGameFolders(game.ExeFolder() + "Quenmar.exe");
  EXPECT_EQ(folders.ExeFolder, game.ExeFolder());
  EXPECT_EQ(folders.GameRoot, game.Root());
  // A stale path, and an existing program that is not the game's.
  EXPECT_FALSE(InstalledGameFolders(game.Root() + "Old\\Bin32\\Quenmar.exe").Known());
  EXPECT_FALSE(InstalledGameFolders(game.ExeFolder() + "Quenmar_WinSV.exe").Known());
}

TEST_F(DiscoveryTest, SearchKeepsTheLastGameFound) {
  Touch(Root + "A\\Games\\Quenmar\\Bin32\\Quenmar.exe");
  Touch(Root + "A\\Games\\Quenmar\\Bin32\\Quenmar_WinSV.exe");
  Touch(Root + "B\\Quenmar 2\\Bin32\\Quenmar.exe");
  // Found last, but not in a game's "Bin32" folder.
  Touch(Root + "C\\Downloads\\Quenmar.exe");
  TFindFile finder(nullptr);
  int ownMatches = 0;
  finder.OnFileMatch = [&](TObject*, const std::string&, const TSearchRec&) { ++ownMatches; };

  const std::string locations = Root + "A\\;" + Root + "B\\;" + Root + "C\\;";
  EXPECT_EQ(SearchGame(finder, locations), Root + "B\\Quenmar 2\\Bin32\\Quenmar.exe");
  EXPECT_EQ(SearchGame(finder, Root + "A\\;"), Root + "A\\Games\\Quenmar\\Bin32\\Quenmar.exe");
  EXPECT_EQ(SearchGame(finder, Root + "C\\;"), "");
  EXPECT_EQ(SearchGame(finder, Root + "none\\;"), "");
  // The finder's own event is back once the search is over.
  EXPECT_EQ(ownMatches, 0);
  ASSERT_TRUE(finder.OnFileMatch);
}

TEST(GameDiscoveryTest, ParseGameBuild) {
  struct Case {
    const char* fileVersion;
    const char* version;
    const char* build;
  };
  const Case cases[] = {
      {"1, 3, 0, 1337", "1.3", "1337"},
      {"1, 2, 0, 1325", "1.2", "1325"},
      {"1.0.0.1230", "1.0", "1230"},
      {"1,1,0,1256", "1.1", "1256"},
      {"1, 4", "1.4", ""},
  };
  for (const Case& k : cases) {
    TGameBuild build;
    EXPECT_TRUE(ParseGameBuild(k.fileVersion, build));
    EXPECT_EQ(build.Version, k.version) << k.fileVersion;
    EXPECT_EQ(build.Build, k.build) << k.fileVersion;
  }
  TGameBuild kept = {"1.3", "1337"};
  EXPECT_FALSE(ParseGameBuild("", kept));
  EXPECT_EQ(kept.Version, "1.3");
  EXPECT_EQ(kept.Build, "1337");
}

TEST(GameDiscoveryTest, BuildRules) {
  const char* const unsupportedAtStart = "Unsupported Quenmar version found.";
  const char* const unsupportedFound = "Unsupported Quenmar version found!";
  struct Case {
    const char* build;
    TBuildCheck check;
    bool ultraOrMaximum;
    TBuildRules rules;
  };
  const Case cases[] = {
      {"1230", bcStartup, false, {"Version: 1.0 build 1230", false, false}},
      {"1230", bcFind, false, {"Version: 1.0 build 1230", false, false}},
      {"1256", bcFind, false, {"Version: 1.1 build 1256", false, false}},
      {"1325", bcStartup, true, {"Version: 1.2 build 1325", true, false}},
      {"1325", bcFind, false, {"Version: 1.2 build 1325", true, false}},
      {"1337", bcStartup, false, {"Version: 1.3 build 1337", true, true}},
      {"1337", bcStartup, true, {"Version: 1.3 build 1337", false, true}},
      {"1337", bcFind, true, {"Version: 1.3 build 1337", true, true}},
      {"1400", bcStartup, false, {unsupportedAtStart, false, false}},
      {"1400", bcFind, false, {unsupportedFound, false, false}},
      {"otAvailable", bcFind, false, {unsupportedFound, false, false}},
      {"", bcStartup, false, {unsupportedAtStart, false, false}},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(Format("%s, %d, %d", k.build, k.check, k.ultraOrMaximum));
    const TBuildRules rules = BuildRules(k.build, k.check, k.ultraOrMaximum);
    EXPECT_EQ(rules.VersionLabel, k.rules.VersionLabel);
    EXPECT_EQ(rules.ShaderModelsEnabled, k.rules.ShaderModelsEnabled);
    EXPECT_EQ(rules.SpecificPage, k.rules.SpecificPage);
  }
}

// The server program of each build the test programs carry, read from the game's own folder
// by one version reader, as the main window's finds do one after another.
TEST(GameDiscoveryTest, BuildGate) {
  TGameTreeCopy game("BuildGate");
  ASSERT_TRUE(game.Ok());
  const std::string server = game.ExeFolder() + "Quenmar_WinSV.exe";
  const std::string own = ReadFileBytes(server);
  struct Case {
    const char* fixture;  // "" the game's own (1337), nullptr none
    const char* label;
    const char* status;
  };
  const Case cases[] = {
      {"Quenmar_WinSV_1230.exe", "Version: 1.0 build 1230",
       "Quenmar v1.0 build 1230 found.  Set the parameters & bench!"},
      {"Quenmar_WinSV_1256.exe", "Version: 1.1 build 1256",
       "Quenmar v1.1 build 1256 found.  Set the parameters & bench!"},
      {"Quenmar_WinSV_1325.exe", "Version: 1.2 build 1325",
       "Quenmar v1.2 build 1325 found.  Set the parameters & bench!"},
      {"", "Version: 1.3 build 1337",
       "Quenmar v1.3 build 1337 found.  Set the parameters & bench!"},
      {"Quenmar_WinSV_1400.exe", "Unsupported Quenmar version found!",
       "Quenmar v1.4 build 1400 found.  Set the parameters & bench!"},
      {nullptr, "Unsupported Quenmar version found!", nullptr},
  };
  TFcVersionInfo versionInfo(nullptr);
  TGameBuild build;
  for (const Case& k : cases) {
    SCOPED_TRACE(k.fixture ? k.fixture : "no server program");
    DeleteFileA(server.c_str());
    if (k.fixture && *k.fixture) {
      ASSERT_TRUE(CopyFileA((TestProgramFolder() + k.fixture).c_str(), server.c_str(), FALSE));
    }
    if (k.fixture && !*k.fixture) WriteBytes(server, own);
    ReadGameBuild(versionInfo, game.ExeFolder(), build);
    EXPECT_EQ(BuildRules(build.Build, bcFind, false).VersionLabel, k.label);
    if (k.status) {
      EXPECT_EQ(FoundStatus(build), k.status);
    }
  }
}

TEST(GameDiscoveryTest, DirectX) {
  // The prefix's DirectX key holds "4.09.00.0904".
  EXPECT_TRUE(DirectX9cAvailable());
  EXPECT_EQ(DirectXLabel(true), "DirectX 9.0c: available");
  EXPECT_EQ(DirectXLabel(false), "DirectX 9.0c: not available");
}

TEST(GameDiscoveryTest, MapsAndDemos) {
  TGameTreeCopy game("MapsAndDemos");
  ASSERT_TRUE(game.Ok());
  const std::string levels = game.Root() + "Levels\\";
  ASSERT_TRUE(CreateDirectoryA((levels + ".hidden").c_str(), nullptr));
  WriteBytes(levels + "readme.txt", "");
  ASSERT_TRUE(CreateDirectoryA((levels + "Training\\mine").c_str(), nullptr));
  WriteBytes(levels + "Training\\mine\\deep.tmd", "d");
  WriteBytes(levels + "Training\\notes.txt", "");

  const std::vector<std::string> maps = ListMaps(game.Root());
  EXPECT_EQ(AsSet(maps), (std::set<std::string>{"Pier", "Steam", "Regulator", "Volcano",
                                                 "Research", "Training", "Archive", "River"}));
  EXPECT_EQ(maps.size(), 8u);
  EXPECT_TRUE(ListMaps("").empty());
  EXPECT_TRUE(ListMaps(game.Root() + "Levels\\Pier\\").empty());

  TFindFile finder(nullptr);
  EXPECT_EQ(AsSet(ListDemos(finder, game.Root(), "Training")),
            (std::set<std::string>{"quick.tmd", "deep.tmd"}));
  EXPECT_TRUE(ListDemos(finder, game.Root(), "River").empty());
  EXPECT_TRUE(ListDemos(finder, game.Root(), "").empty());
  EXPECT_TRUE(ListDemos(finder, "", "Training").empty());

  EXPECT_TRUE(StoredDemoPresent(game.Root(), "Training", "quick.tmd"));
  EXPECT_FALSE(StoredDemoPresent(game.Root(), "Training", "deep.tmd"));
  EXPECT_FALSE(StoredDemoPresent(game.Root(), "River", "quick.tmd"));
  EXPECT_FALSE(StoredDemoPresent(game.Root(), "Training\\..\\..", "system.cfg"));
  EXPECT_FALSE(StoredDemoPresent("", "Training", "quick.tmd"));
}

TEST(GameDiscoveryTest, StoredMapItem) {
  const std::vector<std::string> maps = {"Pier", "Steam", "Training"};
  EXPECT_EQ(StoredMapItem(maps, "Training"), 2);
  EXPECT_EQ(StoredMapItem(maps, "steam"), 1);
  EXPECT_EQ(StoredMapItem(maps, ""), 0);
  EXPECT_EQ(StoredMapItem(maps, "Gone"), -1);
  EXPECT_EQ(StoredMapItem({}, ""), -1);
}

TEST_F(DiscoveryTest, ImportDemo) {
  const std::string demo = Root + "Downloads\\my demo.tmd";
  Touch(demo);
  WriteBytes(demo, std::string(70000, 'x') + "end");
  const std::string game = Root + "Game\\";
  const TImportResult result = ImportDemo(*FileOp, demo, game, "Pier");
  EXPECT_TRUE(result.Imported);
  EXPECT_EQ(result.Message, "Demo successfully imported.");
  EXPECT_EQ(ReadBytes(game + "Levels\\Pier\\my demo.tmd"), std::string(70000, 'x') + "end");
  TFindFile finder(nullptr);
  EXPECT_EQ(ListDemos(finder, game, "Pier"), std::vector<std::string>{"my demo.tmd"});
  EXPECT_EQ(FileOp->SourceFiles()->Count(), 0);
  EXPECT_EQ(FileOp->DestFiles()->Count(), 0);

  // Chosen from the map's own folder: it is there already.
  const TImportResult again = ImportDemo(*FileOp, game + "Levels\\Pier\\my demo.tmd", game, "Pier");
  EXPECT_TRUE(again.Imported);

  const TImportResult noMap = ImportDemo(*FileOp, demo, game, "");
  EXPECT_FALSE(noMap.Imported);
  EXPECT_EQ(noMap.Message, "Please, find Quenmar first!");
  EXPECT_FALSE(ImportDemo(*FileOp, demo, "", "Pier").Imported);
}

TEST_F(DiscoveryTest, ImportThatFailsSaysWhy) {
  const std::string demo = Root + "Downloads\\run.tmd";
  Touch(demo);
  WriteBytes(demo, "demo");
  const std::string game = Root + "Game\\";
  const std::string folder = game + "Levels\\Pier\\";
  const std::string intro = "The demo \"" + demo + "\" could not be imported into \"" + folder + "\": ";

  // A folder of the demo's name in the map's folder.
  ASSERT_TRUE(CreateDirectoryA((folder + "run.tmd").c_str(), nullptr));
  TImportResult result = ImportDemo(*FileOp, demo, game, "Pier");
  EXPECT_FALSE(result.Imported);
  EXPECT_EQ(result.Message, intro + "a folder of that name is in the way.");
  EXPECT_FALSE(FileExists(folder + "run.tmd\\run.tmd"));
  ASSERT_TRUE(RemoveDirectoryA((folder + "run.tmd").c_str()));

  // An older copy held open by another program (a refused write even as root).
  WriteBytes(folder + "run.tmd", "old");
  {
    THandleGuard held(CreateFileA((folder + "run.tmd").c_str(), GENERIC_READ, 0, nullptr,
                                  OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(held);
    result = ImportDemo(*FileOp, demo, game, "Pier");
  }
  EXPECT_FALSE(result.Imported);
  EXPECT_EQ(result.Message.substr(0, intro.size()), intro);
  EXPECT_GT(result.Message.size(), intro.size());
  EXPECT_EQ(ReadBytes(folder + "run.tmd"), "old");

  // A demo that is gone by the time it is copied.
  const std::string gone = Root + "Downloads\\gone.tmd";
  result = ImportDemo(*FileOp, gone, game, "Pier");
  EXPECT_FALSE(result.Imported);
  const std::string goneIntro =
      "The demo \"" + gone + "\" could not be imported into \"" + folder + "\": ";
  EXPECT_EQ(result.Message.substr(0, goneIntro.size()), goneIntro);
  EXPECT_GT(result.Message.size(), goneIntro.size());
  EXPECT_FALSE(FileExists(folder + "gone.tmd"));
}
