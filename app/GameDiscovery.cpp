#include "app/GameDiscovery.h"

#include <shlobj.h>

#include "app/SettingCodes.h"
#include "platform/Guards.h"
#include "platform/Registry.h"
#include "platform/SysUtils.h"
#include "resources/ResourceIds.h"
#include "services/FcVersionInfo.h"
#include "services/FindFile.h"
#include "services/ShortcutReader.h"
#include "services/SvSHFileOperation.h"

const char* const kReadyStatus = "Set the parameters & bench!";
const char* const kSearchGameStatus =
    "Search Quenmar!  Click the 'Find Quenmar automatically' or 'Find Quenmar manually' button!";
const char* const kSearchingStatus = "*** Searching... Please wait! *** ";
const char* const kNotFoundStatus = "Quenmar not found, please install it! NOT ready to bench!";
const char* const kNoVersionLabel = "Quenmar version: not available";
const char* const kEmptyVersionLabel = "Version:";
const char* const kNoDemosText = "No demos found";
const char* const kFindQuenmarFirstMessage = "Please, find Quenmar first!";
const char* const kDemoImportedMessage = "Demo successfully imported.";

// ---- Where the game is -------------------------------------------------------------------

std::string SpecialFolderPath(int csidl, HWND owner) {
  LPITEMIDLIST list = nullptr;
  if (FAILED(SHGetSpecialFolderLocation(owner, csidl, &list)) || !list) return std::string();
  char path[MAX_PATH + 1] = {};
  const BOOL ok = SHGetPathFromIDListA(list, path);
  CoTaskMemFree(list);
  return ok ? std::string(path) : std::string();
}

TShortcutFolders CommonShortcutFolders(HWND owner) {
  return {SpecialFolderPath(CSIDL_COMMON_DESKTOPDIRECTORY, owner),
          SpecialFolderPath(CSIDL_COMMON_PROGRAMS, owner)};
}

namespace {

// The target of a shortcut file; "" when it is missing or cannot be read.
std::string ShortcutTarget(const std::string& fileName) {
  if (!FileExists(fileName)) return std::string();
  TShortcutDetails details;
  try {
    ReadShortcutDetails(fileName, details);
  } catch (const Exception&) {
    return std::string();
  }
  return details.Path;
}

}  // namespace

std::string GamePathFromShortcuts(const TShortcutFolders& folders) {
  std::string path;
  if (!folders.Desktop.empty()) path = ShortcutTarget(folders.Desktop + "\\Quenmar.lnk");
  if (path.empty() && !folders.Programs.empty())
    path = ShortcutTarget(folders.Programs + "\\Orvane\\Quenmar\\Play Quenmar.lnk");
  return path;
}

TGameFolders InstalledGameFolders(const std::string& path) {
  TGameFolders folders = GameFoldersFromPath(path);
  return folders.Known() && FileExists(path) ? folders : TGameFolders{};
}

namespace {

// Runs the finder synchronously over `locations` for `mask`, handing each match to onMatch
// in place of the finder's own match event.
void RunSearch(TFindFile& finder, const std::string& mask, const std::string& locations,
               const TFileMatchEvent& onMatch) {
  TRestore<TFileMatchEvent> match(finder.OnFileMatch, onMatch);
  finder.SetThreaded(false);
  finder.Criteria()->Files()->SetFileName(mask);
  finder.Criteria()->Files()->SetLocation(locations);
  finder.Execute();
}

}  // namespace

std::string SearchGame(TFindFile& finder, const std::string& locations) {
  std::string found;
  RunSearch(finder, "Quenmar.exe", locations,
            [&](TObject*, const std::string& folder, const TSearchRec& file) {
              // A copy of "Quenmar.exe" outside a game's "Bin32" folder is not the game.
              const std::string path = IncludeTrailingBackslash(folder) + file.Name;
              if (GameFoldersFromPath(path).Known()) found = path;
            });
  return found;
}

// ---- Build -------------------------------------------------------------------------------

bool ParseGameBuild(const std::string& fileVersion, TGameBuild& build) {
  if (fileVersion.empty()) return false;
  std::string text;
  for (char c : fileVersion)
    if (c != ' ') text += c == ',' ? '.' : c;
  build.Version = text.substr(0, 3);
  build.Build = text.size() > 6 ? text.substr(6) : std::string();
  return true;
}

void ReadGameBuild(TFcVersionInfo& versionInfo, const std::string& exeFolder, TGameBuild& build) {
  const std::string path = exeFolder + "Quenmar_WinSV.exe";
  // The reader reads only when its path changes; the file may have changed since.
  if (SameText(versionInfo.FilePath(), path)) versionInfo.SetFilePath(std::string());
  versionInfo.SetFilePath(path);
  ParseGameBuild(versionInfo.GetVersionField(vfFileVersion), build);
}

TBuildRules BuildRules(const std::string& build, TBuildCheck check, bool ultraOrMaximum) {
  if (build == "1230") return {"Version: 1.0 build 1230", false, false};
  if (build == "1256") return {"Version: 1.1 build 1256", false, false};
  if (build == "1325") return {"Version: 1.2 build 1325", true, false};
  if (build == "1337")
    return {"Version: 1.3 build 1337", check == bcFind || !ultraOrMaximum, true};
  return {check == bcStartup ? "Unsupported Quenmar version found."
                             : "Unsupported Quenmar version found!",
          false, false};
}

std::string FoundStatus(const TGameBuild& build) {
  return "Quenmar v" + build.Version + " build " + build.Build +
         " found.  Set the parameters & bench!";
}

bool DirectX9cAvailable() {
  TRegistry registry(KEY_READ);
  registry.SetRootKey(HKEY_LOCAL_MACHINE);
  if (!registry.OpenKeyReadOnly("SOFTWARE\\Microsoft\\DirectX")) return false;
  try {
    return registry.ReadString("Version") == "4.09.00.0904";
  } catch (const ERegistryException&) {
    return false;
  }
}

std::string DirectXLabel(bool available) {
  return available ? "DirectX 9.0c: available" : "DirectX 9.0c: not available";
}

// ---- Maps and demos ----------------------------------------------------------------------

std::vector<std::string> ListMaps(const std::string& gameRoot) {
  std::vector<std::string> maps;
  if (gameRoot.empty()) return maps;
  WIN32_FIND_DATAA data;
  TFindGuard find(FindFirstFileA((gameRoot + "Levels\\*.*").c_str(), &data));
  if (!find.Valid()) return maps;
  do {
    if ((data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && data.cFileName[0] != '.')
      maps.emplace_back(data.cFileName);
  } while (FindNextFileA(find.Get(), &data));
  return maps;
}

int StoredMapItem(const std::vector<std::string>& maps, const std::string& storedMap) {
  if (storedMap.empty()) return maps.empty() ? -1 : 0;
  for (size_t i = 0; i < maps.size(); ++i)
    if (AnsiSameText(maps[i], storedMap)) return static_cast<int>(i);
  return -1;
}

std::vector<std::string> ListDemos(TFindFile& finder, const std::string& gameRoot,
                                   const std::string& map) {
  std::vector<std::string> demos;
  if (gameRoot.empty() || !IsPlainName(map)) return demos;
  RunSearch(finder, "*.tmd", gameRoot + "Levels\\" + map,
            [&](TObject*, const std::string&, const TSearchRec& file) {
              // The system also matches masks against short names ("pier.tmdx").
              if (SameText(ExtractFileExt(file.Name), ".tmd")) demos.push_back(file.Name);
            });
  return demos;
}

bool StoredDemoPresent(const std::string& gameRoot, const std::string& map,
                       const std::string& demoFileName) {
  return !gameRoot.empty() && IsPlainName(map) && IsPlainName(demoFileName) &&
         FileExists(gameRoot + "Levels\\" + map + "\\" + demoFileName);
}

namespace {

std::string LastErrorText() { return SysErrorMessage(GetLastError()); }

// Why a copy of `source` to `target` in `folder` failed, found by trying its steps.
std::string CopyFailureReason(const std::string& source, const std::string& folder,
                              const std::string& target) {
  {
    THandleGuard read(CreateFileA(source.c_str(), GENERIC_READ,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!read) return LastErrorText();
  }
  if (DirectoryExists(target)) return LoadResString(IDS_DEMO_FOLDER_IN_THE_WAY);
  if (!ForceDirectories(folder)) return LastErrorText();
  if (FileExists(target)) {
    THandleGuard write(CreateFileA(target.c_str(), GENERIC_WRITE,
                                   FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                   FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!write) return LastErrorText();
    return LoadResString(IDS_DEMO_COPY_INCOMPLETE);
  }
  return LoadResString(IDS_DEMO_NOT_COPIED);
}

}  // namespace

TImportResult ImportDemo(TSvSHFileOperation& fileOp, const std::string& demoFile,
                         const std::string& gameRoot, const std::string& map) {
  if (gameRoot.empty() || !IsPlainName(map)) return {false, kFindQuenmarFirstMessage};
  const std::string folder = gameRoot + "Levels\\" + map + "\\";
  const std::string target = folder + ExtractFileName(demoFile);
  // A demo chosen from the map's own folder is there already; the shell would refuse to copy
  // a file onto itself.
  if (AnsiSameText(ExpandFileName(demoFile), ExpandFileName(target)) && FileExists(target))
    return {true, kDemoImportedMessage};
  // The shell would copy into a folder of the demo's name instead.
  if (!DirectoryExists(target) && ShellCopyFile(fileOp, demoFile, target))
    return {true, kDemoImportedMessage};
  return {false, ResMessage(IDS_DEMO_NOT_IMPORTED, demoFile, folder,
                            CopyFailureReason(demoFile, folder, target))};
}
