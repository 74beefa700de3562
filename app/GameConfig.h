// The game's configuration around a benchmark: the game's own files backed up, "system.cfg"
// written from a template adjusted to the user's choices (or copied from the user's file)
// with its override file beside it, and the game's own configuration put back afterwards.
#pragma once

#include <string>
#include <vector>

#include "app/BenchEngine.h"
#include "app/ConfigTemplates.h"
#include "platform/StringList.h"

// Index of the whole line `name = "value"` for the last of `values` that the list holds,
// lines compared without regard to case; -1 when it holds none of them.
int FindSettingLine(const TStrings& lines, const std::string& name,
                    const std::vector<std::string>& values);
// Replaces the line FindSettingLine finds by `name = "value"` at the same index, so the
// order of the file is kept. False (and nothing changed) when no known line is there.
bool ReplaceSettingLine(TStrings& lines, const std::string& name,
                        const std::vector<std::string>& values, const std::string& value);

// The user's filter, renderer, language and instancing choices applied to State.ConfigWork
// (anisotropic filtering, antialiasing, renderer, language, vegetation, in this order);
// sets State.RendererName.
void EditConfiguration(TBenchEngine& bench);

// The template of the level, edited and kept as edited, saved as the game's "system.cfg",
// with "Systemcfgoverride.cfg" beside it; sets State.QualityText.
void WriteTemplateConfiguration(TBenchEngine& bench, TConfigTemplate which);
// The user's own file copied over the game's "system.cfg", with the override file; nothing
// happens when the file is not given or missing.
void WriteCustomConfiguration(TBenchEngine& bench);
// One of the two above by Choices.DetailLevel; nothing without a detail level.
void WriteGameConfiguration(TBenchEngine& bench);

// The value of the settings key that survives a run ended half-way and tells what the
// restore has to put back: ConfigBackupNone (nothing), ConfigBackupTaken (the game's
// "system.cfg" waits in "Backup\") or ConfigBackupNoFile (the game had none, so the run's
// own is to be removed).
extern const char* const ConfigBackupSetting;
extern const char* const ConfigBackupNone;
extern const char* const ConfigBackupTaken;
extern const char* const ConfigBackupNoFile;
// Whether ConfigBackupSetting names something to put back.
bool ConfigBackupPending(const TBenchEngine& bench);

// Moves the game's "system.cfg" files (executable folder and root) into the program's
// "Backup\Bin32\" and "Backup\" folders. A configuration that an earlier run left in
// "Backup\" (ConfigBackupSetting says so) is put back first, so that it is never replaced by
// the benchmark's own file. Each file is copied to a temporary name, compared byte for byte,
// put in the place of the previous backup, and only then deleted from the game; the root's
// file is marked in ConfigBackupSetting before it goes. Raises EGameFileError naming the
// file and the reason when a step fails: the game's files are then as they were and nothing
// is marked.
void BackupGameConfiguration(TBenchEngine& bench);
// Puts back what ConfigBackupSetting names: the backed-up "system.cfg" (with sound switched
// on again, else byte for byte) through a temporary file, or the removal of the run's file;
// then clears the mark. Raises EGameFileError when the backup cannot be read or the file not
// written; the mark then stays.
void RestoreGameConfiguration(TBenchEngine& bench);
