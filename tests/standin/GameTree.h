// A private copy of the game tree that the build assembles beside the test programs, for a
// test that starts the game or lets the program find, configure and run it.
#pragma once

#include <windows.h>

#include <string>

// The build lays the tree out in the folder "game" beside the "bin" folder of the test
// programs:
//   Bin32\Quenmar.exe, Bin32\Quenmar_WinSV.exe (version 1, 3, 0, 1337)
//   qmsplash.bmp (the game's own splash), system.cfg (the game's own configuration)
//   Levels\Pier, Steam, Regulator, Volcano, Research, Training, Archive, River
//   Levels\Training\quick.tmd (a demo of 40 frames)
// Usage, in a test:
//   TGameTreeCopy game("MyTest");          // %TEMP%\MyTest_<pid>\ with the whole tree
//   ASSERT_TRUE(game.Ok());
//   ... game.Root(), game.ExeFolder() ...  // both end with a backslash
// The copy is deleted when the object goes. The programs the tests may also need lie in the
// test program's own folder (TestProgramFolder()): the stock demos in PLMR\, NMX\, VL\,
// Gridwise\, Orvane\, DirectX9c\fxc.exe, and the server programs of other builds,
// Quenmar_WinSV_1230.exe, _1256, _1325 and _1400 (a build the program does not support).

// The folder of the running test program, with a trailing backslash.
inline std::string TestProgramFolder() {
  char path[MAX_PATH * 2] = {};
  DWORD n = GetModuleFileNameA(nullptr, path, sizeof path);
  std::string s(path, n);
  return s.substr(0, s.find_last_of('\\') + 1);
}

// Copies the folder src into dst (made when missing) with everything in it; both paths
// end with a backslash.
inline bool CopyFolderTree(const std::string& src, const std::string& dst) {
  if (!CreateDirectoryA(dst.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS) return false;
  WIN32_FIND_DATAA data;
  HANDLE find = FindFirstFileA((src + "*").c_str(), &data);
  if (find == INVALID_HANDLE_VALUE) return false;
  bool ok = true;
  do {
    std::string name = data.cFileName;
    if (name == "." || name == "..") continue;
    if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
      ok = CopyFolderTree(src + name + "\\", dst + name + "\\") && ok;
    else
      ok = CopyFileA((src + name).c_str(), (dst + name).c_str(), FALSE) && ok;
  } while (FindNextFileA(find, &data));
  FindClose(find);
  return ok;
}

// Deletes the folder (ending with a backslash) and everything in it.
inline void DeleteFolderTree(const std::string& folder) {
  WIN32_FIND_DATAA data;
  HANDLE find = FindFirstFileA((folder + "*").c_str(), &data);
  if (find != INVALID_HANDLE_VALUE) {
    do {
      std::string name = data.cFileName;
      if (name == "." || name == "..") continue;
      if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        DeleteFolderTree(folder + name + "\\");
      } else {
        SetFileAttributesA((folder + name).c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileA((folder + name).c_str());
      }
    } while (FindNextFileA(find, &data));
    FindClose(find);
  }
  RemoveDirectoryA(folder.c_str());
}

class TGameTreeCopy {
 public:
  // name: a plain folder name (letters, digits, "_") telling which test the copy is for.
  explicit TGameTreeCopy(const std::string& name) {
    char temp[MAX_PATH] = {};
    GetTempPathA(sizeof temp, temp);
    root_ = std::string(temp) + name + "_" + std::to_string(GetCurrentProcessId()) + "\\";
    DeleteFolderTree(root_);
    ok_ = CopyFolderTree(TestProgramFolder() + "..\\game\\", root_);
  }
  ~TGameTreeCopy() { DeleteFolderTree(root_); }
  TGameTreeCopy(const TGameTreeCopy&) = delete;
  TGameTreeCopy& operator=(const TGameTreeCopy&) = delete;

  bool Ok() const { return ok_; }
  const std::string& Root() const { return root_; }
  std::string ExeFolder() const { return root_ + "Bin32\\"; }

 private:
  std::string root_;
  bool ok_ = false;
};
