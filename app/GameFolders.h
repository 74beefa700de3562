// The program's and the game's folders: where they are, the fixed drives a search for the game
// walks, the text of a chosen folder, and copies and moves of one file through the shell.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

#include "services/SvSHFileOperation.h"

// The folder of the program's own executable, from the module's full path, with its
// trailing backslash. The process's current folder is never used: every OK in an open dialog
// changes it.
std::string ProgramFolder();

// The drive type of a root such as "C:\" (DRIVE_FIXED...).
using TDriveTypeFunction = std::function<UINT(const std::string& root)>;
// The locations of the automatic search: for each entry of a logical-drive-strings block
// ("C:\", zero, "D:\", zero, ..., zero) that is a fixed drive, its letter and ":\;"
// ("C:\;E:\;"). Entries of other drive types are left out.
std::string FixedDriveList(const std::string& driveStrings, const TDriveTypeFunction& driveType);
// The same for this machine's drives.
std::string FixedDriveList();

// The game's executable folder ("...\Bin32\") and root folder, each with its backslash.
struct TGameFolders {
  std::string ExeFolder;
  std::string GameRoot;
  // Whether a game folder is known at all; without one nothing may touch files, since every
  // name would be taken relative to the current folder.
  bool Known() const { return !GameRoot.empty(); }
  bool operator==(const TGameFolders&) const = default;
};
// The folders of a game path, from its components: the file's folder, then that folder's
// parent. Only a full path of a file "Quenmar.exe" in a folder "Bin32" (either in any case)
// names the game; any other path gives no folders.
TGameFolders GameFoldersFromPath(const std::string& path);

// The text a folder choice puts into `ResEdit` or `ScrsaveFold`: a drive root such as "C:\"
// (shorter than four characters) as it is, a longer path with a backslash at its end. A
// choice without a file-system path (My Computer, a printer) keeps `previous`.
std::string ChosenFolderText(const std::string& chosenPath, const std::string& previous);

// Whether the two files exist and hold the same bytes.
bool SameFileContents(const std::string& a, const std::string& b);

// One copy or move of one file through the shell with the component's options: the lists
// hold only `source` and `dest` for it, and are empty again afterwards whatever happens. True
// when the shell reports success.
bool ShellFileOperation(TSvSHFileOperation& fileOp, TSvSHFileOpType operation,
                        const std::string& source, const std::string& dest);
// Copies one file through the shell with the component's options (the main window's copy
// without questions); the destination names the target file, so missing folders are made.
// The operation's lists are empty again afterwards. True only when the shell reports success
// and the target holds the source's bytes.
bool ShellCopyFile(TSvSHFileOperation& fileOp, const std::string& source, const std::string& dest);
