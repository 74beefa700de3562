#include <gtest/gtest.h>

#include "app/ConfigTemplates.h"
#include "app/EngineTestSupport.h"
#include "app/GameConfig.h"

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

TEST_F(GameConfigTest, CustomFileIsCopiedUneditedOrNothingIsWritten) {
  TBenchChoices& c = Bench->Choices;
  c.DetailLevel = 3;
  c.GeometryInstancing = true;
  Bench->State.QualityText = "Maximum quality option";
  for (const std::string& missing : {std::string(), Root + "Program\\nothere.cfg"}) {
    c.CustomConfigFile = missing;
    WriteGameConfiguration(*Bench);
    EXPECT_FALSE(FileExists(SystemCfg()));
    EXPECT_FALSE(FileExists(OverrideCfg()));
    EXPECT_EQ(Bench->State.QualityText, "Maximum quality option");
  }

  c.CustomConfigFile = Root + "Program\\my \xE9t\xE9.cfg";
  WriteBytes(c.CustomConfigFile, "r_FSAA = \"1\"\r\nr_Driver = \"OpenGL\"\r\n");
  WriteGameConfiguration(*Bench);
  EXPECT_EQ(ReadBytes(SystemCfg()), "r_FSAA = \"1\"\r\nr_Driver = \"OpenGL\"\r\n");
  EXPECT_EQ(FileLines(OverrideCfg()),
            (V{"r_geominstancing = \"1\"", "e_vegetation_sprites_distance_ratio = \"100.0\""}));
  EXPECT_EQ(Bench->State.QualityText, "Custom quality option");
}

TEST_F(GameConfigTest, BackupMovesBothFilesButKeepsOneItCouldNotCopy) {
  const TBenchChoices& c = Bench->Choices;
  WriteBytes(c.ExeFolder + "system.cfg", "exe\r\n");
  WriteBytes(c.GameRoot + "system.cfg", "root\r\n");
  BackupGameConfiguration(*Bench);
  EXPECT_EQ(ReadBytes(c.ProgramFolder + "Backup\\Bin32\\system.cfg"), "exe\r\n");
  EXPECT_EQ(ReadBytes(c.ProgramFolder + "Backup\\system.cfg"), "root\r\n");
  EXPECT_FALSE(FileExists(c.ExeFolder + "system.cfg"));
  EXPECT_FALSE(FileExists(c.GameRoot + "system.cfg"));

  // A folder where the backup should go: the copy fails and the game keeps its file.
  DeleteFileA((c.ProgramFolder + "Backup\\system.cfg").c_str());
  ASSERT_TRUE(CreateDir(c.ProgramFolder + "Backup\\system.cfg"));
  WriteBytes(c.GameRoot + "system.cfg", "root\r\n");
  BackupGameConfiguration(*Bench);
  EXPECT_EQ(ReadBytes(c.GameRoot + "system.cfg"), "root\r\n");
}

TEST_F(GameConfigTest, RestoreSwitchesSoundOnAndPauses) {
  const TBenchChoices& c = Bench->Choices;
  const std::string backup = c.ProgramFolder + "Backup\\system.cfg";
  TStringList stored;
  LoadConfigTemplate(ctMaximum, stored);
  const std::string maxText = stored.Text(), none = "<missing>";
  const std::string soundOff = "a = \"1\"\r\nS_SoundEnable = \"0\"\r\nb = \"2\"\r\n";
  const std::string soundOn = "a = \"1\"\r\ns_SoundEnable = \"1\"\r\nb = \"2\"\r\n";
  struct Case {
    const char* name;
    std::string backup;  // none: no backup
    bool maxSoundOff;    // the Maximum template edited to hold sound off
    std::string restored, backupAfter;
    std::vector<DWORD> pauses;
  };
  const Case cases[] = {
      {"backup with sound off", soundOff, false, soundOn, soundOn, {300, 300}},
      {"backup with sound on", soundOn, false, soundOn, soundOn, {300}},
      {"no backup", none, false, none, none, {300}},
      {"no backup, template with sound off", none, true, maxText, maxText, {300, 300}},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.name);
    DeleteFileA(backup.c_str());
    DeleteFileA((c.GameRoot + "system.cfg").c_str());
    Pauses.clear();
    LoadConfigTemplate(ctMaximum, Bench->MaxSet);
    if (k.backup != none) {
      ForceDirectories(c.ProgramFolder + "Backup");
      WriteBytes(backup, k.backup);
    }
    if (k.maxSoundOff) {
      ASSERT_TRUE(ReplaceSettingLine(Bench->MaxSet, "s_SoundEnable", {"1"}, "0"));
    }

    RestoreGameConfiguration(*Bench);

    EXPECT_EQ(ReadBytes(c.GameRoot + "system.cfg"), k.restored);
    EXPECT_EQ(ReadBytes(backup), k.backupAfter);
    EXPECT_EQ(Pauses, k.pauses);
  }
}
