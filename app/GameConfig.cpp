#include "app/GameConfig.h"

namespace {

// The values each finder knows: those the templates hold and those the edits write.
const std::vector<std::string> AnisotropyValues = {"1", "2", "4", "8", "16"};
const std::vector<std::string> FSAAValues = {"0", "1"};
const std::vector<std::string> SampleValues = {"1", "2", "4", "6", "8"};
const std::vector<std::string> DriverValues = {"Direct3D9", "OpenGL"};
const std::vector<std::string> LanguageValues = {"english", "spanish", "french", "german",
                                                 "italian", "japanese", "polish", "russian"};
const std::vector<std::string> VegetationValues = {"1.0", "100.0", "0.9"};

void EditAnisotropy(TStrings& lines, int item) {
  if (item < 0 || item > 4) return;  // "From System" leaves the game's own value
  ReplaceSettingLine(lines, "r_Texture_Anisotropic_Level", AnisotropyValues,
                     AnisotropyValues[item]);
}

void EditAntialiasing(TStrings& lines, int item) {
  if (item < 0 || item > 4) return;
  ReplaceSettingLine(lines, "r_FSAA", FSAAValues, item == 0 ? "0" : "1");
  ReplaceSettingLine(lines, "r_FSAA_samples", SampleValues, SampleValues[item]);
}

std::string VegetationValue(const TBenchChoices& choices) {
  return choices.GeometryInstancing ? "100.0" : "1.0";
}

std::string InstancingLine(const TBenchChoices& choices) {
  return SettingLine("r_geominstancing", choices.GeometryInstancing ? "1" : "0");
}

// Screenshots without the game's frame counter and other on-screen text.
void AddNoInfoLine(const TBenchChoices& choices, TStrings& lines) {
  if (choices.ScreenshotMode && !choices.AddDisplayInfo) lines.Add(SettingLine("demo_noinfo", "1"));
}

const char* const QualityTexts[] = {"Ultra quality option", "Maximum quality option",
                                    "Minimum quality option"};

TStringList& TemplateList(TBenchEngine& bench, TConfigTemplate which) {
  switch (which) {
    case ctUltra: return bench.UltraSet;
    case ctMinimum: return bench.MinSet;
    default: return bench.MaxSet;
  }
}

}  // namespace

int FindSettingLine(const TStrings& lines, const std::string& name,
                    const std::vector<std::string>& values) {
  int found = -1;
  for (const std::string& value : values) {
    int index = lines.IndexOf(SettingLine(name, value));
    if (index >= 0) found = index;
  }
  return found;
}

bool ReplaceSettingLine(TStrings& lines, const std::string& name,
                        const std::vector<std::string>& values, const std::string& value) {
  int index = FindSettingLine(lines, name, values);
  if (index < 0) return false;
  lines.Delete(index);
  lines.Insert(index, SettingLine(name, value));
  return true;
}

void EditConfiguration(TBenchEngine& bench) {
  const TBenchChoices& choices = bench.Choices;
  TStrings& lines = bench.State.ConfigWork;
  EditAnisotropy(lines, choices.AFLevel);
  EditAntialiasing(lines, choices.AALevel);
  bool direct3D = RendererBoxText(choices.Renderer) == "Direct3D";
  ReplaceSettingLine(lines, "r_Driver", DriverValues, direct3D ? "Direct3D9" : "OpenGL");
  bench.State.RendererName = direct3D ? "Direct3D" : "OpenGL";
  if (choices.Language >= 1 && choices.Language <= 8)
    ReplaceSettingLine(lines, "g_language", LanguageValues, LanguageValues[choices.Language - 1]);
  ReplaceSettingLine(lines, "e_vegetation_sprites_distance_ratio", VegetationValues,
                     VegetationValue(choices));
}

void WriteTemplateConfiguration(TBenchEngine& bench, TConfigTemplate which) {
  const TBenchChoices& choices = bench.Choices;
  TBenchRunState& state = bench.State;
  TStringList& memo = TemplateList(bench, which);
  state.ConfigWork.Assign(&memo);
  EditConfiguration(bench);
  state.Override.Clear();
  memo.Assign(&state.ConfigWork);
  memo.SaveToFile(choices.GameRoot + "system.cfg");

  state.Override.Add(InstancingLine(choices));
  if (which == ctUltra) {
    state.Override.Add(SettingLine("r_EnvCMResolutionInterval", "0.001"));
    state.Override.Add(SettingLine("r_water_ocean_sun_reflection", "1"));
    state.Override.Add(SettingLine("r_EnvLightCMSize", "64"));
    state.Override.Add(SettingLine("e_water_ocean_tesselation", "2"));
    state.Override.Add(SettingLine("cl_weapon_fx", "2"));
  }
  AddNoInfoLine(choices, state.Override);
  state.Override.SaveToFile(choices.GameRoot + "Systemcfgoverride.cfg");
  state.QualityText = QualityTexts[which];
}

void WriteCustomConfiguration(TBenchEngine& bench) {
  const TBenchChoices& choices = bench.Choices;
  TBenchRunState& state = bench.State;
  if (choices.CustomConfigFile.empty() || !FileExists(choices.CustomConfigFile)) return;
  bench.ShellCopy(choices.CustomConfigFile, choices.GameRoot + "system.cfg");
  state.Override.Clear();
  state.Override.Add(InstancingLine(choices));
  state.Override.Add(SettingLine("e_vegetation_sprites_distance_ratio", VegetationValue(choices)));
  AddNoInfoLine(choices, state.Override);
  state.Override.SaveToFile(choices.GameRoot + "Systemcfgoverride.cfg");
  state.QualityText = "Custom quality option";
}

void WriteGameConfiguration(TBenchEngine& bench) {
  switch (bench.Choices.DetailLevel) {
    case 0: WriteTemplateConfiguration(bench, ctUltra); break;
    case 1: WriteTemplateConfiguration(bench, ctMaximum); break;
    case 2: WriteTemplateConfiguration(bench, ctMinimum); break;
    case 3: WriteCustomConfiguration(bench); break;
    default: break;
  }
}

namespace {

// The game's file goes only once its copy is safely in the backup folder.
void MoveToBackup(const TBenchEngine& bench, const std::string& file, const std::string& backup) {
  if (!FileExists(file)) return;
  if (bench.ShellCopy(file, backup) && FileExists(backup)) DeleteFile(file);
}

}  // namespace

void BackupGameConfiguration(TBenchEngine& bench) {
  const TBenchChoices& choices = bench.Choices;
  MoveToBackup(bench, choices.ExeFolder + "system.cfg",
               choices.ProgramFolder + "Backup\\Bin32\\system.cfg");
  MoveToBackup(bench, choices.GameRoot + "system.cfg",
               choices.ProgramFolder + "Backup\\system.cfg");
}

void RestoreGameConfiguration(TBenchEngine& bench) {
  const TBenchChoices& choices = bench.Choices;
  TStringList& restore = bench.State.RestoreList;
  const std::string backup = choices.ProgramFolder + "Backup\\system.cfg";
  const std::string config = choices.GameRoot + "system.cfg";
  const std::string soundOff = SettingLine("s_SoundEnable", "0");
  const std::string soundOn = SettingLine("s_SoundEnable", "1");

  restore.Clear();
  bool haveBackup = FileExists(backup);
  if (haveBackup)
    restore.LoadFromFile(backup);
  else
    restore.Assign(&bench.MaxSet);
  int index = restore.IndexOf(soundOff);
  if (index >= 0) {
    restore.Delete(index);
    restore.Insert(index, soundOn);
    restore.SaveToFile(config);
    bench.Pause(300);
    ForceDirectories(choices.ProgramFolder + "Backup");
    restore.SaveToFile(backup);
  } else if (haveBackup) {
    restore.SaveToFile(config);
  }
  bench.Pause(300);
}
