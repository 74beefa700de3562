#include "app/GameConfig.h"

#include "app/GameFiles.h"
#include "resources/ResourceIds.h"

const char* const ConfigBackupSetting = "ConfigBackup";
const char* const ConfigBackupNone = "0";
const char* const ConfigBackupTaken = "1";
const char* const ConfigBackupNoFile = "2";

bool ConfigBackupPending(const TBenchEngine& bench) {
  const std::string mark = bench.ReadSetting(ConfigBackupSetting);
  return !mark.empty() && mark != ConfigBackupNone;
}

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
  ReplaceFileContents(choices.GameRoot + "system.cfg", memo.Text());

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
  const std::string config = choices.GameRoot + "system.cfg";
  bench.ShellCopy(choices.CustomConfigFile, config);
  // The copy keeps a read-only user file's attribute, which would keep the restore out.
  const DWORD attributes = GetFileAttributesA(config.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY))
    SetFileAttributesA(config.c_str(), attributes & ~FILE_ATTRIBUTE_READONLY);
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

// The attributes a file keeps when it is put back (read-only among them).
constexpr DWORD KeptAttributes =
    FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE;

bool Exists(const std::string& fileName) {
  return GetFileAttributesA(fileName.c_str()) != INVALID_FILE_ATTRIBUTES;
}

[[noreturn]] void RaiseBackupFailed(const std::string& file, const std::string& backup,
                                    const std::string& reason) {
  throw EGameFileError(ResMessage(IDS_BACKUP_FAILED, file, backup, reason));
}

// The game's file copied into the backup folder: through the shell to a temporary name,
// compared with the file byte for byte (a full disk leaves a short copy), then put in the
// place of the previous backup. On failure the partial copy is removed and the previous
// backup is as it was.
void CopyToBackup(const TBenchEngine& bench, const std::string& file, const std::string& backup) {
  const std::string temp = TemporaryNameFor(backup);
  std::string reason;
  try {
    DeleteIfPresent(temp);  // left by a run that was ended half-way
    if (!bench.ShellCopy(file, temp) || !FileExists(temp))
      reason = LoadResString(IDS_BACKUP_NOT_COPIED);
    else if (ReadWholeFile(temp) != ReadWholeFile(file))
      reason = LoadResString(IDS_BACKUP_DIFFERS);
  } catch (const EGameFileError& e) {
    reason = e.Message();
  }
  if (!reason.empty()) {
    try {
      DeleteIfPresent(temp);
    } catch (const EGameFileError&) {
      // What is left is only a temporary file; the error that counts is the copy's.
    }
    RaiseBackupFailed(file, backup, reason);
  }
  if (const DWORD error = MoveIntoPlace(temp, backup))
    RaiseBackupFailed(file, backup, SysErrorMessage(error));
}

// The game's file goes only once its copy is safely in the backup folder.
void MoveToBackup(const TBenchEngine& bench, const std::string& file, const std::string& backup,
                  const char* markWhileTaken) {
  CopyToBackup(bench, file, backup);
  if (markWhileTaken) bench.WriteSetting(ConfigBackupSetting, markWhileTaken);
  try {
    DeleteIfPresent(file);
  } catch (const EGameFileError& e) {
    // The game keeps its file: there is nothing to put back.
    if (markWhileTaken) bench.WriteSetting(ConfigBackupSetting, ConfigBackupNone);
    RaiseBackupFailed(file, backup, e.Message());
  }
}

}  // namespace

void BackupGameConfiguration(TBenchEngine& bench) {
  const TBenchChoices& choices = bench.Choices;
  if (ConfigBackupPending(bench)) RestoreGameConfiguration(bench);

  // The executable folder's file is never put back: it needs no mark.
  const std::string exeConfig = choices.ExeFolder + "system.cfg";
  if (FileExists(exeConfig))
    MoveToBackup(bench, exeConfig, choices.ProgramFolder + "Backup\\Bin32\\system.cfg", nullptr);
  const std::string config = choices.GameRoot + "system.cfg";
  if (FileExists(config))
    MoveToBackup(bench, config, choices.ProgramFolder + "Backup\\system.cfg", ConfigBackupTaken);
  else
    bench.WriteSetting(ConfigBackupSetting, ConfigBackupNoFile);
}

void RestoreGameConfiguration(TBenchEngine& bench) {
  const TBenchChoices& choices = bench.Choices;
  TStringList& restore = bench.State.RestoreList;
  const std::string backup = choices.ProgramFolder + "Backup\\system.cfg";
  const std::string config = choices.GameRoot + "system.cfg";
  const std::string soundOff = SettingLine("s_SoundEnable", "0");
  const std::string soundOn = SettingLine("s_SoundEnable", "1");

  restore.Clear();
  const std::string pending = bench.ReadSetting(ConfigBackupSetting);
  // A backup that has gone meanwhile leaves nothing to put back.
  if (pending == ConfigBackupTaken && Exists(backup)) {
    // Read first: a backup that cannot be read never replaces the game's file.
    const std::string bytes = ReadWholeFile(backup);
    const DWORD attributes = GetFileAttributesA(backup.c_str()) & KeptAttributes;
    restore.SetText(bytes);
    const int index = restore.IndexOf(soundOff);
    if (index >= 0) {
      restore.Delete(index);
      restore.Insert(index, soundOn);
      ReplaceFileContents(config, restore.Text(), attributes);
      bench.Pause(300);
      ReplaceFileContents(backup, restore.Text(), attributes);
    } else {
      // Unchanged, so byte for byte: the user's file keeps its own line ends.
      ReplaceFileContents(config, bytes, attributes);
    }
  } else if (pending == ConfigBackupNoFile) {
    DeleteIfPresent(config);
  }
  if (ConfigBackupPending(bench)) bench.WriteSetting(ConfigBackupSetting, ConfigBackupNone);
  bench.Pause(300);
}
