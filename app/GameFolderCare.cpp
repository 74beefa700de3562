#include "app/GameFolderCare.h"

#include "app/GameFiles.h"
#include "app/SettingsStore.h"
#include "platform/SysUtils.h"
#include "services/SvSHFileOperation.h"

const char* const kRepairQuestion =
    "Last time an error occured. Do you wish to restore the original Quenmar settings?";
const char* const kRepairSplashMissingMessage =
    "Sorry, the settings cannot be restored! More information about the Quenmar settings "
    "recovery in the Help file.";
const char* const kRepairDeclinedMessage =
    "More information about the Quenmar settings recovery in the Help file.";

namespace {

bool PutBackupBack(TSvSHFileOperation& fileOp, const std::string& backup, const TGameFolders& game,
                   const TBackupMark& mark) {
  if (mark.PutBack) return mark.PutBack();
  if (!FileExists(backup + "system.cfg") ||
      !ShellCopyFile(fileOp, backup + "system.cfg", game.GameRoot + "system.cfg"))
    return false;
  if (mark.Clear) mark.Clear();
  return true;
}

}  // namespace

bool RepairDue(TSettingsStore& store, const TGameFolders& game) {
  return game.Known() && store.RunInterrupted();
}

std::vector<std::string> AnswerRepair(bool yes, TSettingsStore& store,
                                      TSvSHFileOperation& fileOp,
                                      const std::string& programFolder, const TGameFolders& game,
                                      const TBackupMark& mark) {
  if (!game.Known()) return {};
  if (!yes) {
    store.ClearRunInterrupted();
    return {kRepairDeclinedMessage};
  }
  const std::string backup = programFolder + "Backup\\";
  const bool backupWaiting = mark.IsSet ? mark.IsSet() : FileExists(backup + "system.cfg");
  if (!backupWaiting) {
    // After a refused start, or a run ended before its backup, the game holds the user's own
    // file and "Backup\" an older one.
    if (mark.IsSet) store.ClearRunInterrupted();
  } else if (PutBackupBack(fileOp, backup, game, mark)) {
    store.ClearRunInterrupted();
  }
  const std::string splash = game.GameRoot + "qmsplash.bmp";
  if (!FileExists(splash)) return {kRepairSplashMissingMessage};
  // An empty or unreadable backup (a full disk once left one) is never put over the game's.
  if (FileHoldsData(backup + "qmsplash.bmp"))
    ShellCopyFile(fileOp, backup + "qmsplash.bmp", splash);
  return {};
}

void CleanGameFolders(const TGameFolders& game) {
  if (!game.Known()) return;
  for (const std::string& name :
       {game.ExeFolder + "rirered.bat", game.ExeFolder + "systemold.cfg",
        game.GameRoot + "systemold.cfg", game.GameRoot + "Systemcfgoverride.cfg"})
    if (FileExists(name)) DeleteFile(name);
  const std::string old = game.GameRoot + "qmsplashold.bmp";
  if (FileExists(old)) RenameFile(old, game.GameRoot + "qmsplash.bmp");
}

void SaveSettingsAndCleanUp(TSettingsStore& store, const TStoredSettings& settings,
                            const TGameFolders& game) {
  store.WriteSettings(settings);
  CleanGameFolders(game);
}
