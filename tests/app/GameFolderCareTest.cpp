#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "SettingsTestSupport.h"
#include "TestSupport.h"
#include "app/EngineTestSupport.h"
#include "app/GameFolderCare.h"
#include "platform/Guards.h"

namespace {

// A program folder and a game (Root + "Program\", Root + "Game\Bin32\") with a settings key
// of the test's own.
class GameFolderCareTest : public EngineTest {
 protected:
  void SetUp() override {
    EngineTest::SetUp();
    Program = Root + "Program\\";
    Game = {Root + "Game\\Bin32\\", Root + "Game\\"};
    Store = Key.Store();
  }

  std::string Program;
  TGameFolders Game;
  TTestSettingsKey Key;
  std::unique_ptr<TSettingsStore> Store;
};

}  // namespace

TEST_F(GameFolderCareTest, RepairIsDueOnlyWithAKnownGame) {
  struct Case {
    const char* mark;  // nullptr: none stored
    bool known;
    bool due;
  };
  const Case cases[] = {{"1", true, true},     {"1", false, false}, {"0", true, false},
                        {nullptr, true, false}, {"11", true, false}};
  for (const Case& k : cases) {
    SCOPED_TRACE(Format("%s, %d", k.mark ? k.mark : "(none)", k.known));
    Key.Remove();
    auto store = Key.Store();
    if (k.mark) Key.Seed("NoErrorWarning", k.mark);
    EXPECT_EQ(RepairDue(*store, k.known ? Game : TGameFolders{}), k.due);
  }
}

TEST_F(GameFolderCareTest, RepairAnswers) {
  enum TMark { noMark, markSet, markClear };
  struct Case {
    const char* name;
    bool yes;
    TMark mark;
    bool backup;        // "Backup\system.cfg" is there
    bool gameSplash;    // the game has "qmsplash.bmp"
    bool gameFileHeld;  // another program holds the game's "system.cfg"
    const char* config;  // the game's "system.cfg" afterwards
    const char* warning;  // "NoErrorWarning" afterwards
    bool markCleared;
    std::vector<std::string> messages;
  };
  const std::string sorry =
      "Sorry, the settings cannot be restored! More information about the Quenmar settings "
      "recovery in the Help file.";
  const std::string declined =
      "More information about the Quenmar settings recovery in the Help file.";
  const Case cases[] = {
      {"yes", true, noMark, true, true, false, "users", "0", false, {}},
      {"yes without a backup", true, noMark, false, true, false, "benchmark's", "1", false, {}},
      {"yes without the game's splash", true, noMark, true, false, false, "users", "0", false,
       {sorry}},
      {"no", false, noMark, true, true, false, "benchmark's", "0", false, {declined}},
      {"yes, backup not yet put back", true, markSet, true, true, false, "users", "0", true, {}},
      // A refused start: the game holds the user's current file, the backup an older one.
      {"yes after a refused start", true, markClear, true, true, false, "benchmark's", "0",
       false, {}},
      {"yes, the copy fails", true, markSet, true, true, true, "benchmark's", "1", false, {}},
      {"yes, the backup is gone", true, markSet, false, true, false, "benchmark's", "1", false,
       {}},
      {"no, backup not yet put back", false, markSet, true, true, false, "benchmark's", "0",
       false, {declined}},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.name);
    DeleteFolderTree(Program + "Backup\\");
    ForceDirectories(Program + "Backup");
    if (k.backup) WriteBytes(Program + "Backup\\system.cfg", "users");
    WriteBytes(Program + "Backup\\qmsplash.bmp", "game's splash");
    WriteBytes(Game.GameRoot + "system.cfg", "benchmark's");
    DeleteFileA((Game.GameRoot + "qmsplash.bmp").c_str());
    if (k.gameSplash) WriteBytes(Game.GameRoot + "qmsplash.bmp", "program's splash");
    Key.Seed("NoErrorWarning", "1");
    bool markSetNow = k.mark == markSet;
    TBackupMark mark;
    if (k.mark != noMark) {
      mark.IsSet = [&] { return markSetNow; };
      mark.Clear = [&] { markSetNow = false; };
    }

    std::vector<std::string> messages;
    {
      THandleGuard held;
      if (k.gameFileHeld)
        *held.Receive() = CreateFileA((Game.GameRoot + "system.cfg").c_str(), GENERIC_READ, 0,
                                      nullptr, OPEN_EXISTING, 0, nullptr);
      messages = AnswerRepair(k.yes, *Store, *FileOp, Program, Game, mark);
    }
    EXPECT_EQ(messages, k.messages);
    EXPECT_EQ(ReadBytes(Game.GameRoot + "system.cfg"), k.config);
    EXPECT_EQ(Key.Value("NoErrorWarning"), k.warning);
    EXPECT_EQ(k.mark == markSet && !markSetNow, k.markCleared);
    if (k.yes && k.gameSplash) {
      EXPECT_EQ(ReadBytes(Game.GameRoot + "qmsplash.bmp"), "game's splash");
    }
    EXPECT_FALSE(FileExists(Game.GameRoot + "qmsplash.bmp") && !k.gameSplash);
  }
}

// Where the engine puts its backup back itself (a game that had no "system.cfg" gets none).
TEST_F(GameFolderCareTest, RepairThroughTheEnginesRestore) {
  for (bool restored : {true, false}) {
    SCOPED_TRACE(restored);
    ASSERT_TRUE(ForceDirectories(Program + "Backup"));
    WriteBytes(Program + "Backup\\system.cfg", "older");
    WriteBytes(Game.GameRoot + "system.cfg", "benchmark's");
    WriteBytes(Game.GameRoot + "qmsplash.bmp", "program's splash");
    Key.Seed("NoErrorWarning", "1");
    bool markSet = true;
    TBackupMark mark;
    mark.IsSet = [&] { return markSet; };
    mark.PutBack = [&] {
      if (!restored) return false;
      DeleteFileA((Game.GameRoot + "system.cfg").c_str());
      markSet = false;
      return true;
    };
    EXPECT_TRUE(AnswerRepair(true, *Store, *FileOp, Program, Game, mark).empty());
    EXPECT_EQ(Key.Value("NoErrorWarning"), restored ? "0" : "1");
    EXPECT_EQ(ReadBytes(Game.GameRoot + "system.cfg"), restored ? "<missing>" : "benchmark's");
    EXPECT_EQ(markSet, !restored);
  }
}

// A splash backup that a full disk left empty is never put over the game's splash.
TEST_F(GameFolderCareTest, RepairNeverPutsAnEmptySplashBackupBack) {
  ASSERT_TRUE(ForceDirectories(Program + "Backup"));
  WriteBytes(Program + "Backup\\qmsplash.bmp", "");
  WriteBytes(Game.GameRoot + "qmsplash.bmp", "game's splash");
  Key.Seed("NoErrorWarning", "1");
  EXPECT_TRUE(AnswerRepair(true, *Store, *FileOp, Program, Game, {}).empty());
  EXPECT_EQ(ReadBytes(Game.GameRoot + "qmsplash.bmp"), "game's splash");
}

TEST_F(GameFolderCareTest, RepairWithoutAGameTouchesNothing) {
  ASSERT_TRUE(ForceDirectories(Program + "Backup"));
  WriteBytes(Program + "Backup\\system.cfg", "users");
  Key.Seed("NoErrorWarning", "1");
  EXPECT_TRUE(AnswerRepair(true, *Store, *FileOp, Program, TGameFolders{}, {}).empty());
  EXPECT_EQ(Key.Value("NoErrorWarning"), "1");
}

TEST_F(GameFolderCareTest, CloseCleansTheGamesFolders) {
  const std::vector<std::string> leftovers = {
      Game.ExeFolder + "rirered.bat", Game.ExeFolder + "systemold.cfg",
      Game.GameRoot + "systemold.cfg", Game.GameRoot + "Systemcfgoverride.cfg"};
  for (const std::string& name : leftovers) WriteBytes(name, "x");
  WriteBytes(Game.GameRoot + "qmsplashold.bmp", "game's splash");
  WriteBytes(Game.GameRoot + "system.cfg", "users");
  CleanGameFolders(Game);
  for (const std::string& name : leftovers) EXPECT_FALSE(FileExists(name)) << name;
  EXPECT_EQ(ReadBytes(Game.GameRoot + "qmsplash.bmp"), "game's splash");
  EXPECT_FALSE(FileExists(Game.GameRoot + "qmsplashold.bmp"));
  EXPECT_EQ(ReadBytes(Game.GameRoot + "system.cfg"), "users");

  // The plain rename leaves a splash that is there already alone.
  WriteBytes(Game.GameRoot + "qmsplashold.bmp", "older");
  CleanGameFolders(Game);
  EXPECT_EQ(ReadBytes(Game.GameRoot + "qmsplash.bmp"), "game's splash");
  EXPECT_EQ(ReadBytes(Game.GameRoot + "qmsplashold.bmp"), "older");
}

// Without a game folder every name would be taken in the current folder.
TEST_F(GameFolderCareTest, CloseWithoutAGameTouchesNothing) {
  const std::string here = Root + "Current\\";
  ASSERT_TRUE(ForceDirectories(here));
  for (const char* name : {"rirered.bat", "systemold.cfg", "Systemcfgoverride.cfg",
                           "qmsplashold.bmp", "Bin32\\rirered.bat"}) {
    ForceDirectories(ExtractFilePath(here + name));
    WriteBytes(here + name, "x");
  }
  const std::string before = GetCurrentDir();
  ASSERT_TRUE(SetCurrentDirectoryA(here.c_str()));
  CleanGameFolders(TGameFolders{});
  SetCurrentDirectoryA(before.c_str());
  for (const char* name : {"rirered.bat", "systemold.cfg", "Systemcfgoverride.cfg",
                           "qmsplashold.bmp", "Bin32\\rirered.bat"})
    EXPECT_TRUE(FileExists(here + name)) << name;
  EXPECT_FALSE(FileExists(here + "qmsplash.bmp"));
}

TEST_F(GameFolderCareTest, CloseCleansUpWhenTheSettingsCannotBeWritten) {
  WriteBytes(Game.ExeFolder + "rirered.bat", "x");
  WriteBytes(Game.GameRoot + "qmsplashold.bmp", "game's splash");
  Key.Seed("Path", "C:\\Old\\Bin32\\Quenmar.exe");
  auto readOnly = Key.Store(KEY_READ);
  TStoredSettings s;
  s.Path = Game.ExeFolder + "Quenmar.exe";
  SaveSettingsAndCleanUp(*readOnly, s, Game);
  EXPECT_FALSE(FileExists(Game.ExeFolder + "rirered.bat"));
  EXPECT_EQ(ReadBytes(Game.GameRoot + "qmsplash.bmp"), "game's splash");
  EXPECT_EQ(Key.Messages, std::vector<std::string>{"The settings cannot be saved: the registry "
                                                   "key " + Key.Name() + " cannot be written."});
  EXPECT_EQ(Key.Value("Path"), "C:\\Old\\Bin32\\Quenmar.exe");

  SaveSettingsAndCleanUp(*Store, s, Game);
  EXPECT_EQ(Key.Value("Path"), Game.ExeFolder + "Quenmar.exe");
}
