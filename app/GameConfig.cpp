#include "app/GameConfig.h"

#include <cstdio>
#include <string_view>

#include "app/GameFiles.h"
#include "resources/ResourceIds.h"

const char* const kConfigBackupSetting = "ConfigBackup";
const char* const kConfigBackupNone = "0";
const char* const kConfigBackupTaken = "1";
const char* const kConfigBackupNoFile = "2";

const char* const kConfigWrittenSetting = "ConfigWritten";

bool ConfigBackupPending(const TBenchEngine& bench) {
  const std::string mark = bench.ReadSetting(kConfigBackupSetting);
  return !mark.empty() && mark != kConfigBackupNone;
}

std::string ConfigurationMark(const std::string& bytes) {
  // FNV-1a: not a guard against anyone, only a way to know the run's file again.
  unsigned long long hash = 14695981039346656037ull;
  for (unsigned char c : bytes) {
    hash ^= c;
    hash *= 1099511628211ull;
  }
  char hex[17] = {};
  snprintf(hex, sizeof hex, "%016llx", hash);
  return std::to_string(bytes.size()) + ":" + hex;
}

void SaveRunConfiguration(TBenchEngine& bench, const std::string& bytes) {
  // Noted before it is written: a run ended in between leaves no file the restore could take
  // for the user's.
  bench.WriteSetting(kConfigWrittenSetting, ConfigurationMark(bytes));
  ReplaceFileContents(bench.Choices.GameRoot + "system.cfg", bytes);
}

namespace {

// The values each finder knows: those the templates hold and those the edits write.
const std::vector<std::string> kAnisotropyValues = {"1", "2", "4", "8", "16"};
const std::vector<std::string> kFSAAValues = {"0", "1"};
const std::vector<std::string> kSampleValues = {"1", "2", "4", "6", "8"};
const std::vector<std::string> kDriverValues = {"Direct3D9", "OpenGL"};
const std::vector<std::string> kLanguageValues = {"english", "spanish", "french", "german",
                                                 "italian", "japanese", "polish", "russian"};
const std::vector<std::string> kVegetationValues = {"1.0", "100.0", "0.9"};

void EditAnisotropy(TStrings& lines, int item) {
  if (item < 0 || item > 4) return;  // "From System" leaves the game's own value
  ReplaceSettingLine(lines, "r_Texture_Anisotropic_Level", kAnisotropyValues,
                     kAnisotropyValues[item]);
}

void EditAntialiasing(TStrings& lines, int item) {
  if (item < 0 || item > 4) return;
  ReplaceSettingLine(lines, "r_FSAA", kFSAAValues, item == 0 ? "0" : "1");
  ReplaceSettingLine(lines, "r_FSAA_samples", kSampleValues, kSampleValues[item]);
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

const char* const kQualityTexts[] = {"Ultra quality option", "Maximum quality option",
                                    "Minimum quality option"};

void SaveOverride(const TBenchEngine& bench) {
  ReplaceFileContents(bench.Choices.GameRoot + "Systemcfgoverride.cfg",
                      bench.State.Override.Text());
}

// The renderer a configuration asks the game for; the game's own is Direct3D.
std::string RendererOf(const std::string& configuration) {
  TStringList lines;
  lines.SetText(configuration);
  const int index = FindSettingLine(lines, "r_Driver", kDriverValues);
  const bool openGL =
      index >= 0 && SameText(lines.Strings(index), SettingLine("r_Driver", "OpenGL"));
  return openGL ? "OpenGL" : "Direct3D";
}

// How much of a file shows whether it is a program or other binary file.
constexpr DWORD kCheckedHead = 4096;

// Why a file beginning with `bytes` cannot be the game's "system.cfg" ("" when it can):
// copied over it, a program (the game's own executable, say) would leave the game without a
// configuration.
std::string BinaryFileProblem(const std::string& fileName, std::string_view bytes) {
  const std::string_view head = bytes.substr(0, kCheckedHead);
  if (head.starts_with("MZ") || head.find('\0') != std::string_view::npos)
    return ResMessage(IDS_CUSTOM_CONFIG_NOT_TEXT, fileName);
  return std::string();
}

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
  ReplaceSettingLine(lines, "r_Driver", kDriverValues, direct3D ? "Direct3D9" : "OpenGL");
  bench.State.RendererName = direct3D ? "Direct3D" : "OpenGL";
  if (choices.Language >= 1 && choices.Language <= 8)
    ReplaceSettingLine(lines, "g_language", kLanguageValues, kLanguageValues[choices.Language - 1]);
  ReplaceSettingLine(lines, "e_vegetation_sprites_distance_ratio", kVegetationValues,
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
  SaveRunConfiguration(bench, memo.Text());

  state.Override.Add(InstancingLine(choices));
  if (which == ctUltra) {
    state.Override.Add(SettingLine("r_EnvCMResolutionInterval", "0.001"));
    state.Override.Add(SettingLine("r_water_ocean_sun_reflection", "1"));
    state.Override.Add(SettingLine("r_EnvLightCMSize", "64"));
    state.Override.Add(SettingLine("e_water_ocean_tesselation", "2"));
    state.Override.Add(SettingLine("cl_weapon_fx", "2"));
  }
  AddNoInfoLine(choices, state.Override);
  SaveOverride(bench);
  state.QualityText = kQualityTexts[which];
}

std::string CustomConfigProblem(const std::string& fileName) {
  if (fileName.empty()) return LoadResString(IDS_CUSTOM_CONFIG_NOT_CHOSEN);
  try {
    return BinaryFileProblem(fileName, ReadFileHead(fileName, kCheckedHead));
  } catch (const EGameFileError& e) {
    return e.Message();
  }
}

bool ReadCustomConfiguration(TBenchEngine& bench) {
  TBenchRunState& state = bench.State;
  state.CustomConfigText.clear();
  if (bench.Choices.DetailLevel != kCustomDetailItem) return true;
  const std::string& fileName = bench.Choices.CustomConfigFile;
  std::string problem;
  if (fileName.empty()) {
    problem = LoadResString(IDS_CUSTOM_CONFIG_NOT_CHOSEN);
  } else {
    try {
      std::string bytes = ReadWholeFile(fileName);
      problem = BinaryFileProblem(fileName, bytes);
      if (problem.empty()) state.CustomConfigText = std::move(bytes);
    } catch (const EGameFileError& e) {
      problem = e.Message();
    }
  }
  if (problem.empty()) return true;
  bench.ShowMessage(problem);
  return false;
}

void WriteCustomConfiguration(TBenchEngine& bench) {
  const TBenchChoices& choices = bench.Choices;
  TBenchRunState& state = bench.State;
  // Written, not copied: a read-only user file's attribute would keep the restore out.
  SaveRunConfiguration(bench, state.CustomConfigText);
  state.Override.Clear();
  state.Override.Add(InstancingLine(choices));
  state.Override.Add(SettingLine("e_vegetation_sprites_distance_ratio", VegetationValue(choices)));
  AddNoInfoLine(choices, state.Override);
  SaveOverride(bench);
  state.QualityText = "Custom quality option";
  state.RendererName = RendererOf(state.CustomConfigText);
}

void WriteGameConfiguration(TBenchEngine& bench) {
  switch (bench.Choices.DetailLevel) {
    case kUltraDetailItem: WriteTemplateConfiguration(bench, ctUltra); break;
    case kMaximumDetailItem: WriteTemplateConfiguration(bench, ctMaximum); break;
    case kMinimumDetailItem: WriteTemplateConfiguration(bench, ctMinimum); break;
    case kCustomDetailItem: WriteCustomConfiguration(bench); break;
    default: break;
  }
}

namespace {

// The attributes a file keeps when it is put back (read-only among them).
constexpr DWORD kKeptAttributes =
    FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE;

bool Exists(const std::string& fileName) {
  return GetFileAttributesA(fileName.c_str()) != INVALID_FILE_ATTRIBUTES;
}

[[noreturn]] void RaiseBackupFailed(const std::string& file, const std::string& backup,
                                    const std::string& reason) {
  throw EGameFileError(ResMessage(IDS_BACKUP_FAILED, file, backup, reason));
}

}  // namespace

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

namespace {

// The game's file goes only once its copy is safely in the backup folder.
void MoveToBackup(const TBenchEngine& bench, const std::string& file, const std::string& backup,
                  const char* markWhileTaken) {
  CopyToBackup(bench, file, backup);
  if (markWhileTaken) bench.WriteSetting(kConfigBackupSetting, markWhileTaken);
  try {
    DeleteIfPresent(file);
  } catch (const EGameFileError& e) {
    // The game keeps its file: there is nothing to put back.
    if (markWhileTaken) bench.WriteSetting(kConfigBackupSetting, kConfigBackupNone);
    RaiseBackupFailed(file, backup, e.Message());
  }
}

// The backup kept beside the user's current file: "system <date> <time>.cfg" in its folder,
// with a number added while that name is taken.
void SetBackupAside(const std::string& backup) {
  SYSTEMTIME now;
  GetLocalTime(&now);
  const std::string stem =
      ExtractFilePath(backup) + Format("system %04u-%02u-%02u %02u-%02u-%02u", now.wYear,
                                       now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond);
  const std::string name = UniqueFileName(stem, ".cfg");
  if (!MoveFileA(backup.c_str(), name.c_str()))
    throw EGameFileError(ResMessage(IDS_FILE_NOT_WRITTEN, name, SysErrorMessage(GetLastError())));
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
    MoveToBackup(bench, config, choices.ProgramFolder + "Backup\\system.cfg", kConfigBackupTaken);
  else
    bench.WriteSetting(kConfigBackupSetting, kConfigBackupNoFile);
}

void RestoreGameConfiguration(TBenchEngine& bench) {
  const TBenchChoices& choices = bench.Choices;
  TStringList& restore = bench.State.RestoreList;
  const std::string backup = choices.ProgramFolder + "Backup\\system.cfg";
  const std::string config = choices.GameRoot + "system.cfg";
  const std::string soundOff = SettingLine("s_SoundEnable", "0");
  const std::string soundOn = SettingLine("s_SoundEnable", "1");

  restore.Clear();
  const std::string pending = bench.ReadSetting(kConfigBackupSetting);
  const std::string written = bench.ReadSetting(kConfigWrittenSetting);
  // The game's file as it is now ("" without one); one that cannot be read is not touched.
  const bool present = Exists(config);
  const auto currentFile = [&] { return present ? ReadWholeFile(config) : std::string(); };
  const auto runsOwn = [&](const std::string& current) {
    return present && !written.empty() && ConfigurationMark(current) == written;
  };
  // A backup that has gone meanwhile leaves nothing to put back.
  if (pending == kConfigBackupTaken && Exists(backup)) {
    // Read first: a backup that cannot be read never replaces the game's file.
    const std::string bytes = ReadWholeFile(backup);
    const DWORD attributes = GetFileAttributesA(backup.c_str()) & kKeptAttributes;
    restore.SetText(bytes);
    const int index = restore.IndexOf(soundOff);
    if (index >= 0) {
      restore.Delete(index);
      restore.Insert(index, soundOn);
    }
    // Unchanged, so byte for byte: the user's file keeps its own line ends.
    const std::string wanted = index >= 0 ? restore.Text() : bytes;
    const std::string current = currentFile();
    if (present && !runsOwn(current) && current != bytes && current != wanted) {
      // Saved by the user since the run wrote it: the user's current file.
      SetBackupAside(backup);
    } else {
      DeleteIfPresent(config);
      ReplaceFileContents(config, wanted, attributes);
      if (ReadWholeFile(config) != wanted)
        throw EGameFileError(
            ResMessage(IDS_FILE_NOT_WRITTEN, config, LoadResString(IDS_BACKUP_DIFFERS)));
      if (index >= 0) {
        bench.Pause(300);
        ReplaceFileContents(backup, wanted, attributes);
      }
    }
  } else if (pending == kConfigBackupNoFile && present && runsOwn(currentFile())) {
    DeleteIfPresent(config);
  }
  if (ConfigBackupPending(bench)) bench.WriteSetting(kConfigBackupSetting, kConfigBackupNone);
  if (!written.empty()) bench.WriteSetting(kConfigWrittenSetting, "");
  bench.Pause(300);
}
