#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include "app/ConfigTemplates.h"
#include "app/EngineTestSupport.h"
#include "app/GameConfig.h"
#include "app/GameFiles.h"
#include "TestSupport.h"

namespace {

using V = std::vector<std::string>;

V Template(TConfigTemplate which) {
  TStringList list;
  LoadConfigTemplate(which, list);
  return Lines(list);
}

// Indexes at which two texts of equal length differ.
std::vector<size_t> Differences(const V& a, const V& b) {
  std::vector<size_t> at;
  EXPECT_EQ(a.size(), b.size());
  for (size_t i = 0; i < a.size() && i < b.size(); ++i)
    if (a[i] != b[i]) at.push_back(i);
  return at;
}

// What a run notes in "ConfigWritten" when it writes the game's file as "run's": its size and
// its 64-bit FNV-1a hash.
const char* const RunsFileMark = "5:7a2ca96a33a4388c";

size_t IndexOf(const V& lines, const std::string& line) {
  for (size_t i = 0; i < lines.size(); ++i)
    if (lines[i] == line) return i;
  ADD_FAILURE() << "no line " << line;
  return 0;
}

}  // namespace

TEST(ConfigTemplates, ShapeAndDifferencesOfTheThreeLevels) {
  const V ultra = Template(ctUltra), maximum = Template(ctMaximum), minimum = Template(ctMinimum);
  ASSERT_EQ(ultra.size(), 151u);
  ASSERT_EQ(minimum.size(), 150u);
  EXPECT_EQ(maximum[0], "-- This file has been written by QuenmarConfigurator.exe");
  EXPECT_EQ(maximum[1], "");
  EXPECT_EQ(maximum[2], "ExitOnQuit = \"1\"");
  EXPECT_EQ(maximum[148], "ui_TriggerWidgetEvents = \"1\"");
  EXPECT_EQ(maximum[149], " ");
  EXPECT_EQ(maximum[150], " ");
  EXPECT_EQ(minimum[149], " ");
  // Settings stand in byte order of their names, each in the game's form.
  for (size_t i = 3; i < 149; ++i) {
    EXPECT_LT(maximum[i - 1].substr(0, maximum[i - 1].find(' ')),
              maximum[i].substr(0, maximum[i].find(' ')));
    EXPECT_EQ(maximum[i].back(), '"') << maximum[i];
  }
  EXPECT_EQ(Differences(maximum, ultra),
            std::vector<size_t>{IndexOf(ultra, "e_max_entity_lights = \"8\"")});
  V maxHead(maximum.begin(), maximum.end() - 1);
  EXPECT_EQ(Differences(maxHead, minimum).size(), 64u);
  for (const char* line : {"g_serverprofile = \"\"", "s_SoundEnable = \"1\"",
                           "r_Driver = \"Direct3D9\"",
                           "e_vegetation_sprites_distance_ratio = \"1.0\""})
    IndexOf(maximum, line);
  for (const char* line : {"e_vegetation_sprites_distance_ratio = \"0.9\"", "sys_spec = \"0\"",
                           "GL_TextureFilter = \"GL_LINEAR_MIPMAP_NEAREST\""})
    IndexOf(minimum, line);
}

class GameConfigTest : public EngineTest {
 protected:
  std::string SystemCfg() { return Bench->Choices.GameRoot + "system.cfg"; }
  std::string OverrideCfg() { return Bench->Choices.GameRoot + "Systemcfgoverride.cfg"; }
  std::string Backup() { return Bench->Choices.ProgramFolder + "Backup\\system.cfg"; }
  // A run ended half-way: the run's own file in the game ("run's", noted as such), the
  // user's "user\r\n" in "Backup\".
  void InterruptedRun() {
    ASSERT_TRUE(ForceDirectories(Bench->Choices.ProgramFolder + "Backup"));
    WriteBytes(Backup(), "user\r\n");
    WriteBytes(SystemCfg(), "run's");
    Settings.Write("ConfigBackup", "1");
    Settings.Write("ConfigWritten", RunsFileMark);
  }
};

TEST_F(GameConfigTest, UltraWritesTheTemplateWithTheFiveChosenLinesInPlace) {
  TBenchChoices& c = Bench->Choices;
  c.DetailLevel = 0;
  c.AFLevel = 3;  // 8
  c.AALevel = 2;  // 4
  c.Renderer = 0;
  c.Language = 4;  // German
  c.GeometryInstancing = true;
  c.ScreenshotMode = true;  // without display information: the game shows no frame counter
  c.AddDisplayInfo = false;
  WriteGameConfiguration(*Bench);

  V expected = Template(ctUltra);
  const std::pair<const char*, const char*> edits[] = {
      {"r_Texture_Anisotropic_Level = \"1\"", "r_Texture_Anisotropic_Level = \"8\""},
      {"r_FSAA = \"0\"", "r_FSAA = \"1\""},
      {"r_FSAA_samples = \"1\"", "r_FSAA_samples = \"4\""},
      {"g_language = \"english\"", "g_language = \"german\""},
      {"e_vegetation_sprites_distance_ratio = \"1.0\"",
       "e_vegetation_sprites_distance_ratio = \"100.0\""}};
  for (const auto& [from, to] : edits) expected[IndexOf(expected, from)] = to;
  std::string bytes;
  for (const std::string& line : expected) bytes += line + "\r\n";
  EXPECT_EQ(ReadBytes(SystemCfg()), bytes);
  EXPECT_EQ(FileLines(OverrideCfg()),
            (V{"r_geominstancing = \"1\"", "r_EnvCMResolutionInterval = \"0.001\"",
               "r_water_ocean_sun_reflection = \"1\"", "r_EnvLightCMSize = \"64\"",
               "e_water_ocean_tesselation = \"2\"", "cl_weapon_fx = \"2\"",
               "demo_noinfo = \"1\""}));
  EXPECT_EQ(Bench->State.QualityText, "Ultra quality option");
  EXPECT_EQ(Bench->State.RendererName, "Direct3D");

  // A benchmark, or screenshots with display information, asks for no "demo_noinfo".
  for (bool screenshots : {false, true}) {
    c.ScreenshotMode = screenshots;
    c.AddDisplayInfo = true;
    WriteGameConfiguration(*Bench);
    EXPECT_EQ(FileLines(OverrideCfg()).size(), 6u);
  }
}

TEST_F(GameConfigTest, EditsCarryOverFromRunToRun) {
  TBenchChoices& c = Bench->Choices;
  c.DetailLevel = 1;
  c.AALevel = 4;  // 8
  c.Renderer = 1;
  WriteGameConfiguration(*Bench);
  EXPECT_EQ(Bench->State.RendererName, "OpenGL");
  c.AALevel = 1;  // 2: found as the "8" the first run wrote
  c.Renderer = 0;
  WriteGameConfiguration(*Bench);

  const V lines = FileLines(SystemCfg());
  const V stored = Template(ctMaximum);
  EXPECT_EQ(lines.size(), stored.size());
  EXPECT_EQ(IndexOf(lines, "r_FSAA_samples = \"2\""), IndexOf(stored, "r_FSAA_samples = \"1\""));
  EXPECT_EQ(IndexOf(lines, "r_FSAA = \"1\""), IndexOf(stored, "r_FSAA = \"0\""));
  EXPECT_EQ(IndexOf(lines, "r_Driver = \"Direct3D9\""),
            IndexOf(stored, "r_Driver = \"Direct3D9\""));
  EXPECT_EQ(Lines(Bench->MaxSet), lines);
  EXPECT_EQ(Lines(Bench->UltraSet), Template(ctUltra));
}

TEST_F(GameConfigTest, FromSystemAndNoLanguageLeaveTheirLinesAlone) {
  TBenchChoices& c = Bench->Choices;
  c.DetailLevel = 1;
  c.AFLevel = 5;
  c.AALevel = 5;
  c.Language = 0;
  c.Renderer = 0;
  WriteGameConfiguration(*Bench);
  EXPECT_EQ(FileLines(SystemCfg()), Template(ctMaximum));
}

TEST_F(GameConfigTest, MinimumWithoutInstancingWritesVegetationOne) {
  Bench->Choices.DetailLevel = 2;
  Bench->Choices.Renderer = 0;
  WriteGameConfiguration(*Bench);
  V expected = Template(ctMinimum);
  expected[IndexOf(expected, "e_vegetation_sprites_distance_ratio = \"0.9\"")] =
      "e_vegetation_sprites_distance_ratio = \"1.0\"";
  EXPECT_EQ(FileLines(SystemCfg()), expected);
  EXPECT_EQ(FileLines(OverrideCfg()), V{"r_geominstancing = \"0\""});
  EXPECT_EQ(Bench->State.QualityText, "Minimum quality option");
}

// The user's file, read at the start, is written unedited; the renderer is the one it asks for.
TEST_F(GameConfigTest, CustomFileIsWrittenUnedited) {
  TBenchChoices& c = Bench->Choices;
  c.DetailLevel = 3;
  c.GeometryInstancing = true;
  c.Renderer = 0;  // the box's choice does not reach the game's file
  struct Case {
    const char* bytes;
    const char* renderer;
  };
  const Case cases[] = {{"r_FSAA = \"1\"\r\nR_DRIVER = \"OpenGL\"\r\n", "OpenGL"},
                        {"r_FSAA = \"1\"\nr_Driver = \"Direct3D9\"", "Direct3D"},
                        {"r_FSAA = \"1\"\r\n", "Direct3D"}};
  for (const Case& k : cases) {
    SCOPED_TRACE(k.bytes);
    c.CustomConfigFile = Root + "Program\\my \xE9t\xE9.cfg";
    WriteBytes(c.CustomConfigFile, k.bytes);
    ASSERT_TRUE(ReadCustomConfiguration(*Bench));
    Bench->State.RendererName = "none";
    WriteGameConfiguration(*Bench);
    EXPECT_EQ(ReadBytes(SystemCfg()), k.bytes);
    EXPECT_EQ(FileLines(OverrideCfg()),
              (V{"r_geominstancing = \"1\"", "e_vegetation_sprites_distance_ratio = \"100.0\""}));
    EXPECT_EQ(Bench->State.QualityText, "Custom quality option");
    EXPECT_EQ(Bench->State.RendererName, k.renderer);
  }
  EXPECT_TRUE(View.Messages.empty());
}

TEST_F(GameConfigTest, BackupMovesBothFilesThroughVerifiedCopies) {
  const TBenchChoices& c = Bench->Choices;
  const std::string backup = c.ProgramFolder + "Backup\\system.cfg";
  WriteBytes(c.ExeFolder + "system.cfg", "exe\r\n");
  WriteBytes(SystemCfg(), "root\n");  // the user's own line ends
  ASSERT_TRUE(ForceDirectories(c.ProgramFolder + "Backup"));
  WriteBytes(backup, "an older run's\r\n");
  SetReadOnly(backup);

  BackupGameConfiguration(*Bench);

  EXPECT_EQ(ReadBytes(c.ProgramFolder + "Backup\\Bin32\\system.cfg"), "exe\r\n");
  EXPECT_EQ(ReadBytes(backup), "root\n");
  EXPECT_FALSE(FileExists(c.ExeFolder + "system.cfg"));
  EXPECT_FALSE(FileExists(SystemCfg()));
  EXPECT_FALSE(FileExists(backup + ".tmp"));
  EXPECT_EQ(Settings.Read("ConfigBackup"), "1");

  // A game without a configuration: marked so, for the restore to remove the run's file.
  Settings.Write("ConfigBackup", "0");
  BackupGameConfiguration(*Bench);
  EXPECT_EQ(Settings.Read("ConfigBackup"), "2");
  EXPECT_EQ(ReadBytes(backup), "root\n");
}

TEST_F(GameConfigTest, AFailedBackupLeavesTheGamesFileAndIsReported) {
  const TBenchChoices& c = Bench->Choices;
  const std::string backup = c.ProgramFolder + "Backup\\system.cfg";
  TFullDiskFileOp fullDisk(nullptr);
  fullDisk.SetOptions(FileOp->Options());
  std::unique_ptr<THeldOpen> held;
  struct Case {
    const char* name;
    std::function<void()> spoil;
    const char* reason;       // in the message, beside the two file names
    const char* backupAfter;  // "" for the folder in its place
  };
  const Case cases[] = {
      {"backup name taken by a folder",
       [&] {
         DeleteFileA(backup.c_str());
         ASSERT_TRUE(CreateDir(backup));
       },
       "", ""},
      {"copy left empty, as on a full disk", [&] { Bench->FileOp = &fullDisk; },
       "not the same", "older\r\n"},
      // Held open by the game (say): it can be copied but not deleted.
      {"game's file cannot be deleted",
       [&] { held = std::make_unique<THeldOpen>(SystemCfg(), FILE_SHARE_READ); },
       "cannot be deleted", "user\r\n"},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.name);
    ASSERT_TRUE(ForceDirectories(c.ProgramFolder + "Backup"));
    if (DirectoryExists(backup)) RemoveDirectoryA(backup.c_str());
    WriteBytes(backup, "older\r\n");
    WriteBytes(SystemCfg(), "user\r\n");
    Bench->FileOp = FileOp;
    k.spoil();

    std::string message;
    try {
      BackupGameConfiguration(*Bench);
    } catch (const EGameFileError& e) {
      message = e.Message();
    }
    held.reset();

    EXPECT_NE(message.find("\"" + SystemCfg() + "\""), std::string::npos) << message;
    EXPECT_NE(message.find("\"" + backup + "\""), std::string::npos) << message;
    EXPECT_NE(message.find(k.reason), std::string::npos) << message;
    EXPECT_EQ(ReadBytes(SystemCfg()), "user\r\n");
    if (*k.backupAfter)
      EXPECT_EQ(ReadBytes(backup), k.backupAfter);
    else
      EXPECT_TRUE(DirectoryExists(backup));
    EXPECT_FALSE(FileExists(backup + ".tmp"));
    EXPECT_EQ(Settings.Read("ConfigBackup"), "0");
  }
  Bench->FileOp = FileOp;
}

TEST_F(GameConfigTest, AConfigurationLeftInTheBackupIsPutBackBeforeTheNextBackup) {
  const std::string backup = Backup();
  InterruptedRun();

  BackupGameConfiguration(*Bench);

  EXPECT_EQ(ReadBytes(backup), "user\r\n");
  EXPECT_FALSE(FileExists(SystemCfg()));
  EXPECT_EQ(Settings.Read("ConfigBackup"), "1");
}

TEST_F(GameConfigTest, RestorePutsBackWhatTheMarkNames) {
  const TBenchChoices& c = Bench->Choices;
  const std::string backup = c.ProgramFolder + "Backup\\system.cfg";
  const std::string none = "<missing>";
  const std::string soundOff = "a = \"1\"\r\nS_SoundEnable = \"0\"\r\nb = \"2\"\r\n";
  const std::string soundOn = "a = \"1\"\r\ns_SoundEnable = \"1\"\r\nb = \"2\"\r\n";
  const std::string lineFeeds = "a = \"1\"\nb = \"2\"";  // and no line end at the end
  struct Case {
    const char* name;
    const char* mark;
    std::string backup;  // none: no backup
    std::string restored, backupAfter;
    std::vector<DWORD> pauses;
  };
  const Case cases[] = {
      {"backup with sound off", "1", soundOff, soundOn, soundOn, {300, 300}},
      {"backup with sound on, byte for byte", "1", lineFeeds, lineFeeds, lineFeeds, {300}},
      {"backup gone meanwhile", "1", none, "run's", none, {300}},
      {"the game had none", "2", soundOn, none, soundOn, {300}},
      {"nothing to put back", "0", soundOn, "run's", soundOn, {300}},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.name);
    DeleteFileA(backup.c_str());
    WriteBytes(SystemCfg(), "run's");
    Settings.Write("ConfigWritten", RunsFileMark);  // the run noted what it wrote
    SetReadOnly(SystemCfg());  // the restore clears it before writing
    Pauses.clear();
    if (k.backup != none) {
      ForceDirectories(c.ProgramFolder + "Backup");
      WriteBytes(backup, k.backup);
    }
    Settings.Write("ConfigBackup", k.mark);

    RestoreGameConfiguration(*Bench);

    EXPECT_EQ(ReadBytes(SystemCfg()), k.restored);
    EXPECT_EQ(ReadBytes(backup), k.backupAfter);
    EXPECT_EQ(Pauses, k.pauses);
    EXPECT_EQ(Settings.Read("ConfigBackup"), "0");
    EXPECT_EQ(Settings.Read("ConfigWritten"), "");
    SetFileAttributesA(SystemCfg().c_str(), FILE_ATTRIBUTE_NORMAL);
  }
}

// After a run that was ended half-way the user may save the game's options before the next
// start: that file is the user's current one and stays; an older backup is kept beside it.
TEST_F(GameConfigTest, RestoreKeepsAFileTheUserSavedSinceTheRun) {
  const TBenchChoices& c = Bench->Choices;
  const std::string backup = c.ProgramFolder + "Backup\\system.cfg";
  struct Case {
    const char* name;
    const char* mark;
    const char* noted;  // what the run noted it wrote ("" nothing)
    bool backupThere;
  };
  const Case cases[] = {
      {"the game had none", "2", RunsFileMark, false},
      {"a stale mark, nothing noted", "2", "", false},
      {"a garbage note", "2", "garbage", false},
      {"the game's file in the backup", "1", RunsFileMark, true},
      {"the backup with a stale mark", "1", "", true},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.name);
    DeleteFolderTree(c.ProgramFolder + "Backup\\");
    ASSERT_TRUE(ForceDirectories(c.ProgramFolder + "Backup"));
    if (k.backupThere) WriteBytes(backup, "older\r\n");
    WriteBytes(SystemCfg(), "saved since\r\n");
    Settings.Write("ConfigBackup", k.mark);
    Settings.Write("ConfigWritten", k.noted);

    RestoreGameConfiguration(*Bench);

    EXPECT_EQ(ReadBytes(SystemCfg()), "saved since\r\n");
    EXPECT_EQ(Settings.Read("ConfigBackup"), "0");
    EXPECT_EQ(Settings.Read("ConfigWritten"), "");
    // The older backup under a dated name beside where it was, never deleted.
    EXPECT_FALSE(FileExists(backup));
    const std::vector<std::string> kept = FilesIn(c.ProgramFolder + "Backup\\", "system *.cfg");
    ASSERT_EQ(kept.size(), k.backupThere ? 1u : 0u);
    if (k.backupThere) {
      EXPECT_EQ(ReadBytes(c.ProgramFolder + "Backup\\" + kept[0]), "older\r\n");
      // The next start backs up the user's current file; the dated one stays.
      Settings.Write("ConfigBackup", "0");
      BackupGameConfiguration(*Bench);
      EXPECT_EQ(ReadBytes(backup), "saved since\r\n");
      EXPECT_EQ(FilesIn(c.ProgramFolder + "Backup\\", "system *.cfg"), kept);
    }
  }
}

// The run's template fills the game's disk: the restore makes room by deleting the run's own
// file first, and while the user's cannot be written the mark and the backup stay for the
// next try.
TEST_F(GameConfigTest, RestoreOnAFullDiskKeepsTheMarkAndTheBackup) {
  const std::string backup = Backup();
  InterruptedRun();
  {
    TFullDeviceLink full(SystemCfg() + ".tmp");
    ASSERT_TRUE(full.Ok());
    const std::string message = MessageOf([&] { RestoreGameConfiguration(*Bench); });
    EXPECT_NE(message.find("\"" + SystemCfg() + "\""), std::string::npos) << message;
    EXPECT_FALSE(FileExists(SystemCfg()));
    EXPECT_EQ(ReadBytes(backup), "user\r\n");
    EXPECT_EQ(Settings.Read("ConfigBackup"), "1");
  }
  // Room again: the next restore puts the user's file back.
  RestoreGameConfiguration(*Bench);
  EXPECT_EQ(ReadBytes(SystemCfg()), "user\r\n");
  EXPECT_EQ(Settings.Read("ConfigBackup"), "0");
}

// The override file on a full disk: the error names it.
TEST_F(GameConfigTest, OverrideFileOnAFullDiskIsNamed) {
  Bench->Choices.DetailLevel = 1;
  TFullDeviceLink full(OverrideCfg()), fullTemp(OverrideCfg() + ".tmp");
  ASSERT_TRUE(full.Ok() && fullTemp.Ok());
  const std::string message = MessageOf([&] { WriteGameConfiguration(*Bench); });
  EXPECT_NE(message.find("\"" + OverrideCfg() + "\""), std::string::npos) << message;
}

TEST_F(GameConfigTest, RestoreKeepsTheUsersReadOnlyBitAndNeverWritesAnUnreadableBackup) {
  const std::string backup = Backup();
  InterruptedRun();
  SetReadOnly(backup);
  {
    THeldOpen held(backup, 0);
    ASSERT_TRUE(held.Ok());
    EXPECT_THROW(RestoreGameConfiguration(*Bench), EGameFileError);
    EXPECT_EQ(ReadBytes(SystemCfg()), "run's");
    EXPECT_EQ(Settings.Read("ConfigBackup"), "1");
  }
  RestoreGameConfiguration(*Bench);
  EXPECT_EQ(ReadBytes(SystemCfg()), "user\r\n");
  EXPECT_TRUE(IsReadOnly(SystemCfg()));
  EXPECT_FALSE(FileExists(SystemCfg() + ".tmp"));
  SetFileAttributesA(SystemCfg().c_str(), FILE_ATTRIBUTE_NORMAL);
  SetFileAttributesA(backup.c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST_F(GameConfigTest, AReadOnlyCustomFileIsCopiedWithoutItsReadOnlyBit) {
  TBenchChoices& c = Bench->Choices;
  c.DetailLevel = 3;
  c.CustomConfigFile = Root + "Program\\mine.cfg";
  WriteBytes(c.CustomConfigFile, "r_FSAA = \"1\"\r\n");
  SetReadOnly(c.CustomConfigFile);
  ASSERT_TRUE(ReadCustomConfiguration(*Bench));
  WriteGameConfiguration(*Bench);
  EXPECT_EQ(ReadBytes(SystemCfg()), "r_FSAA = \"1\"\r\n");
  EXPECT_FALSE(IsReadOnly(SystemCfg()));
  EXPECT_TRUE(IsReadOnly(c.CustomConfigFile));
  SetFileAttributesA(c.CustomConfigFile.c_str(), FILE_ATTRIBUTE_NORMAL);
}
