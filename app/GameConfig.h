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
// Why the user's own configuration file cannot be the game's "system.cfg" ("" when it can):
// none is given, it cannot be read, or it is a program or other binary file (it begins with
// "MZ" or holds a zero byte in its first 4 KB). The message names the file.
std::string CustomConfigProblem(const std::string& fileName);
// For a custom detail level: the user's file read into State.CustomConfigText, before the
// backup moves the game's files (the user's file may be the game's own "system.cfg"). A file
// that CustomConfigProblem refuses, or that cannot be read, is shown in a message and the
// answer is false. Other detail levels need nothing and answer true.
bool ReadCustomConfiguration(TBenchEngine& bench);
// The user's file as ReadCustomConfiguration read it, written unedited as the game's
// "system.cfg", with the override file; the quality text becomes "Custom quality option" and
// the renderer name follows the file's `r_Driver` line (Direct3D, the game's own, without one).
void WriteCustomConfiguration(TBenchEngine& bench);
// One of the two above by Choices.DetailLevel; nothing without a detail level.
void WriteGameConfiguration(TBenchEngine& bench);

// The value of the settings key that survives a run ended half-way and tells what the
// restore has to put back: kConfigBackupNone (nothing), kConfigBackupTaken (the game's
// "system.cfg" waits in "Backup\") or kConfigBackupNoFile (the game had none, so the run's
// own is to be removed).
extern const char* const kConfigBackupSetting;
extern const char* const kConfigBackupNone;
extern const char* const kConfigBackupTaken;
extern const char* const kConfigBackupNoFile;
// Whether kConfigBackupSetting names something to put back.
bool ConfigBackupPending(const TBenchEngine& bench);
// Beside the mark: what the run wrote as the game's "system.cfg" (ConfigurationMark of its
// bytes), so that the restore touches that file only while it is still the run's own.
extern const char* const kConfigWrittenSetting;
// The size and a hash of a file's bytes: "<size>:<16 hexadecimal digits>".
std::string ConfigurationMark(const std::string& bytes);
// Writes the run's "system.cfg" through the safe replace, noting its ConfigurationMark first.
void SaveRunConfiguration(TBenchEngine& bench, const std::string& bytes);

// Copies `file` through the shell to a temporary name beside `backup`, compares the copy with
// the file byte for byte (a full disk leaves a short copy) and only then puts it in the place
// of the previous backup. Raises EGameFileError naming both files; the partial copy is then
// removed and the previous backup is as it was.
void CopyToBackup(const TBenchEngine& bench, const std::string& file, const std::string& backup);

// Moves the game's "system.cfg" files (executable folder and root) into the program's
// "Backup\Bin32\" and "Backup\" folders. A configuration that an earlier run left in
// "Backup\" (kConfigBackupSetting says so) is put back first, so that it is never replaced by
// the benchmark's own file. Each file is copied to a temporary name, compared byte for byte,
// put in the place of the previous backup, and only then deleted from the game; the root's
// file is marked in kConfigBackupSetting before it goes. Raises EGameFileError naming the
// file and the reason when a step fails: the game's files are then as they were and nothing
// is marked.
void BackupGameConfiguration(TBenchEngine& bench);
// Puts back what kConfigBackupSetting names: the backed-up "system.cfg" (with sound switched
// on again, else byte for byte), or the removal of the run's file; then clears the mark and
// kConfigWrittenSetting. The game's file is deleted or replaced only while it is the run's own
// (or already the backup's): one the user has saved since (after a run that was ended
// half-way) is kept as the user's current file, and the older backup is kept beside it in
// "Backup\" under a dated name, never deleted. The run's own file goes first, so that on a
// full disk its room is there for the user's, which is written through a temporary file and
// read back; only once it is back whole are the backup rewritten (sound on) and the marks
// cleared. Raises EGameFileError when the backup or the game's file cannot be read or the
// file not written; the mark then stays.
void RestoreGameConfiguration(TBenchEngine& bench);
