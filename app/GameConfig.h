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

// Moves the game's "system.cfg" files (executable folder and root) into the program's
// "Backup\Bin32\" and "Backup\" folders. A file is deleted only once its copy is there.
void BackupGameConfiguration(TBenchEngine& bench);
// Puts the backed-up "system.cfg" back into the game's root, with sound switched on again.
void RestoreGameConfiguration(TBenchEngine& bench);
