#include "app/GameFolders.h"

#include <string_view>
#include <vector>

#include "platform/Guards.h"
#include "platform/SysUtils.h"

std::string ProgramFolder() {
  std::vector<char> path(MAX_PATH);
  while (true) {
    const DWORD n = GetModuleFileNameA(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (n == 0) return std::string();
    if (n < path.size()) return ExtractFilePath(std::string(path.data(), n));
    path.resize(path.size() * 2);
  }
}

std::string FixedDriveList(const std::string& driveStrings, const TDriveTypeFunction& driveType) {
  std::string list;
  size_t start = 0;
  while (start < driveStrings.size() && driveStrings[start] != '\0') {
    size_t end = driveStrings.find('\0', start);
    if (end == std::string::npos) end = driveStrings.size();
    const std::string root = driveStrings.substr(start, end - start);
    if (driveType(root) == DRIVE_FIXED) {
      std::string letter;
      for (char c : root)
        if (c != '\\' && c != ':') letter += c;
      list += letter + ":\\;";
    }
    start = end + 1;
  }
  return list;
}

std::string FixedDriveList() {
  std::string buffer(GetLogicalDriveStringsA(0, nullptr) + 1, '\0');
  const DWORD n =
      GetLogicalDriveStringsA(static_cast<DWORD>(buffer.size()), buffer.data());
  buffer.resize(n < buffer.size() ? n : 0);
  return FixedDriveList(buffer, [](const std::string& root) { return GetDriveTypeA(root.c_str()); });
}

TGameFolders GameFoldersFromPath(const std::string& path) {
  const bool fullPath = path.size() > 3 && ((path[1] == ':' && path[2] == '\\') ||
                                            (path[0] == '\\' && path[1] == '\\'));
  if (!fullPath || !SameText(ExtractFileName(path), "Quenmar.exe")) return {};
  const std::string exeFolder = ExtractFilePath(path);
  const std::string binFolder = ExcludeTrailingBackslash(exeFolder);
  if (!SameText(ExtractFileName(binFolder), "Bin32")) return {};
  const std::string gameRoot = ExtractFilePath(binFolder);
  if (gameRoot.empty()) return {};
  return {exeFolder, gameRoot};
}

std::string ChosenFolderText(const std::string& chosenPath, const std::string& previous) {
  if (chosenPath.empty()) return previous;
  if (chosenPath.size() < 4) return chosenPath;
  return IncludeTrailingBackslash(chosenPath);
}

bool SameFileContents(const std::string& a, const std::string& b) {
  auto open = [](const std::string& name) {
    return THandleGuard(CreateFileA(name.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  };
  THandleGuard fa = open(a), fb = open(b);
  if (!fa || !fb) return false;
  char bufferA[65536], bufferB[65536];
  while (true) {
    DWORD readA = 0, readB = 0;
    if (!ReadFile(fa.Get(), bufferA, sizeof bufferA, &readA, nullptr) ||
        !ReadFile(fb.Get(), bufferB, sizeof bufferB, &readB, nullptr) || readA != readB)
      return false;
    if (readA == 0) return true;
    if (std::string_view(bufferA, readA) != std::string_view(bufferB, readB)) return false;
  }
}

bool ShellFileOperation(TSvSHFileOperation& fileOp, TSvSHFileOpType operation,
                        const std::string& source, const std::string& dest) {
  TScopeExit clear([&fileOp] {
    fileOp.SourceFiles()->Clear();
    fileOp.DestFiles()->Clear();
  });
  fileOp.SourceFiles()->Clear();
  fileOp.DestFiles()->Clear();
  fileOp.SourceFiles()->Add(source);
  fileOp.DestFiles()->Add(dest);
  fileOp.SetOperation(operation);
  return fileOp.Execute();
}

bool ShellCopyFile(TSvSHFileOperation& fileOp, const std::string& source, const std::string& dest) {
  return ShellFileOperation(fileOp, foCopy, source, dest) && SameFileContents(source, dest);
}
