// Finding the game and what it holds: shortcuts, a search of the fixed drives, the build and
// the options it allows, DirectX, the map and demo lists, and a demo imported into a map.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "app/GameFolders.h"

class TFindFile;
class TFcVersionInfo;
class TSvSHFileOperation;

// Texts of the status line, the version label and the demo box.
extern const char* const kReadyStatus;        // "Set the parameters & bench!"
extern const char* const kSearchGameStatus;   // "Search Quenmar!  Click the 'Find ..."
extern const char* const kSearchingStatus;    // "*** Searching... Please wait! *** "
extern const char* const kNotFoundStatus;     // "Quenmar not found, please install it! ..."
extern const char* const kNoVersionLabel;     // "Quenmar version: not available"
extern const char* const kEmptyVersionLabel;  // "Version:"
extern const char* const kNoDemosText;        // "No demos found"
extern const char* const kFindQuenmarFirstMessage;  // "Please, find Quenmar first!"
extern const char* const kDemoImportedMessage;      // "Demo successfully imported."

// ---- Where the game is -------------------------------------------------------------------

// A special folder's path (CSIDL_...), asked for with the owner window; "" when it has none.
std::string SpecialFolderPath(int csidl, HWND owner);

// The folders that hold the game's shortcuts.
struct TShortcutFolders {
  std::string Desktop;   // all users' desktop, no trailing backslash
  std::string Programs;  // all users' programs of the Start menu, no trailing backslash
};
TShortcutFolders CommonShortcutFolders(HWND owner);
// The target of the desktop's "Quenmar.lnk", else of the Start menu's
// "Orvane\Quenmar\Play Quenmar.lnk"; "" when neither exists. A shortcut that cannot be read
// counts as absent, so the next one is tried. The target itself is not checked.
std::string GamePathFromShortcuts(const TShortcutFolders& folders);

// The folders of an installed game: the path names an existing file and a game (see
// GameFoldersFromPath); none otherwise.
TGameFolders InstalledGameFolders(const std::string& path);

// Searches the locations (a FixedDriveList) and their subfolders for "Quenmar.exe" with the
// file search, synchronously, and returns the full path of the last match that names a game;
// "" when none does. The finder's own match event is set aside for the search.
std::string SearchGame(TFindFile& finder, const std::string& locations);

// ---- Build -------------------------------------------------------------------------------

struct TGameBuild {
  std::string Version;  // "1.3"
  std::string Build;    // "1337"
};
// From the server program's file version: every "," made ".", blanks removed, the version the
// first three characters and the build from the seventh ("1, 3, 0, 1337": "1.3", "1337").
// An empty text changes nothing and gives false.
bool ParseGameBuild(const std::string& fileVersion, TGameBuild& build);
// Reads "Quenmar_WinSV.exe" of the executable folder through the version reader (again, also
// when it read the same file before) and parses its file version into `build`.
void ReadGameBuild(TFcVersionInfo& versionInfo, const std::string& exeFolder, TGameBuild& build);

// When the build is looked at: at the start, or after a search or a manual choice.
enum TBuildCheck { bcStartup, bcFind };
struct TBuildRules {
  std::string VersionLabel;
  // Items 2 and 3 of `PShader` ("Shader model 2.0b", "Shader model 3.0"): when enabled, the
  // stored "PS" checks its item; when disabled, item 0 ("Default model") is selected.
  bool ShaderModelsEnabled = false;
  bool SpecificPage = false;  // `TabSheet8`, the options of build 1337
  bool operator==(const TBuildRules&) const = default;
};
// The options a build allows. ultraOrMaximum: "Ultra details" or "Maximum details" is checked
// (at the start it keeps build 1337's shader models off).
TBuildRules BuildRules(const std::string& build, TBuildCheck check, bool ultraOrMaximum);
// "Quenmar v1.3 build 1337 found.  Set the parameters & bench!"
std::string FoundStatus(const TGameBuild& build);

// Whether DirectX 9.0c is installed: the value "Version" of HKEY_LOCAL_MACHINE
// "SOFTWARE\Microsoft\DirectX" is "4.09.00.0904". The key is only read.
bool DirectX9cAvailable();
// "DirectX 9.0c: available" or "DirectX 9.0c: not available".
std::string DirectXLabel(bool available);

// ---- Maps and demos ----------------------------------------------------------------------

// The map folders of the game's "Levels\" in the order the system lists them, without those
// whose name begins with "."; none without a game root.
std::vector<std::string> ListMaps(const std::string& gameRoot);
// The map the box shows at the start: the stored one when the list holds it, the first when
// none is stored; -1 (the box stays as it is) for a stored map the list lacks.
int StoredMapItem(const std::vector<std::string>& maps, const std::string& storedMap);
// The demo files ("*.tmd", file names only) of a map folder and its subfolders, found by the
// file search in the order it finds them; none without a game root or a map.
std::vector<std::string> ListDemos(TFindFile& finder, const std::string& gameRoot,
                                   const std::string& map);
// Whether the stored demo file lies in the map's folder, so the demo box may show it.
bool StoredDemoPresent(const std::string& gameRoot, const std::string& map,
                       const std::string& demoFileName);

struct TImportResult {
  bool Imported = false;
  std::string Message;  // for the user's box
};
// Copies the demo file into the map's folder through the shell. Imported, with
// kDemoImportedMessage, only when the copy is there whole (or the file already is that copy);
// otherwise the message names the file and the reason. Without a game root or a map:
// kFindQuenmarFirstMessage and nothing copied.
TImportResult ImportDemo(TSvSHFileOperation& fileOp, const std::string& demoFile,
                         const std::string& gameRoot, const std::string& map);
