// The main window's care of the game's folder at its start and its close: the repair offered
// after a run that did not end cleanly, and the clean-up of a run's leftovers at the close.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "app/GameFolders.h"
#include "app/SettingCodes.h"

class TSettingsStore;
class TSvSHFileOperation;

// The repair's question (Yes/No) and its two messages.
extern const char* const kRepairQuestion;
extern const char* const kRepairSplashMissingMessage;  // "Sorry, the settings cannot be ..."
extern const char* const kRepairDeclinedMessage;       // "More information about the ..."

// The benchmark engine's mark "backup not yet put back": set once a start has the user's
// configuration safe in "Backup\", cleared once it is back in the game. Where the engine does
// not keep it, all stay empty and the repair copies whatever backup there is.
struct TBackupMark {
  std::function<bool()> IsSet;
  // Puts the user's configuration back as the engine's own restore does (a game that had no
  // "system.cfg" gets none) and clears the mark; true when it is back. Empty: the repair
  // copies "Backup\system.cfg" itself and then calls Clear.
  std::function<bool()> PutBack;
  std::function<void()> Clear;
};

// Whether the start asks kRepairQuestion: "NoErrorWarning" is "1" and the game is known (without
// its folder a repair would write relative to the current folder).
bool RepairDue(TSettingsStore& store, const TGameFolders& game);

// The user's answer to kRepairQuestion; returns the messages to show, in order.
// Yes: "Backup\system.cfg" is put back over the game's while the mark is set (without a mark:
// when the backup exists), and only when it is back whole are the mark and "NoErrorWarning"
// cleared, so a failed repair is offered again at the next start. With the
// mark clear the game holds the user's own file, so nothing is copied and "NoErrorWarning"
// is cleared. Then the splash: when the game has "qmsplash.bmp", "Backup\qmsplash.bmp" is
// copied over it, unless that is empty or cannot be read; when it has none,
// kRepairSplashMissingMessage.
// No: kRepairDeclinedMessage and "NoErrorWarning" cleared; the mark stays for the engine.
std::vector<std::string> AnswerRepair(bool yes, TSettingsStore& store,
                                      TSvSHFileOperation& fileOp,
                                      const std::string& programFolder, const TGameFolders& game,
                                      const TBackupMark& mark);

// The run's leftovers in the game's folders: "rirered.bat" and "systemold.cfg" of the
// executable folder, "systemold.cfg" and "Systemcfgoverride.cfg" of the root deleted when
// present, and "qmsplashold.bmp" renamed back to "qmsplash.bmp" (a plain rename, which leaves
// an existing "qmsplash.bmp" alone). Nothing at all without a known game.
void CleanGameFolders(const TGameFolders& game);

// The close (`FormClose`): every setting written, then the game's folders cleaned, also when
// the settings cannot be written (the store tells the user).
void SaveSettingsAndCleanUp(TSettingsStore& store, const TStoredSettings& settings,
                            const TGameFolders& game);
