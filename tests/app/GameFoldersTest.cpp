#include <gtest/gtest.h>

#include <windows.h>

#include <map>
#include <string>

#include "app/GameFolders.h"
#include "platform/SysUtils.h"
#include "standin/GameTree.h"

TEST(GameFoldersTest, FixedDriveListFromTheDriveStrings) {
  const std::map<std::string, UINT> types = {{"C:\\", DRIVE_FIXED},     {"D:\\", DRIVE_CDROM},
                                             {"E:\\", DRIVE_FIXED},     {"F:\\", DRIVE_REMOTE},
                                             {"G:\\", DRIVE_REMOVABLE}, {"H:\\", DRIVE_RAMDISK}};
  auto typeOf = [&](const std::string& root) {
    auto it = types.find(root);
    return it == types.end() ? static_cast<UINT>(DRIVE_NO_ROOT_DIR) : it->second;
  };
  struct Case {
    std::string block;
    const char* list;
  };
  const Case cases[] = {
      {std::string("C:\\\0D:\\\0E:\\\0\0", 13), "C:\\;E:\\;"},
      {std::string("C:\\\0\0", 5), "C:\\;"},
      {std::string("D:\\\0F:\\\0G:\\\0H:\\\0\0", 17), ""},
      {std::string("F:\\\0E:\\\0\0", 9), "E:\\;"},
      {std::string(), ""},
  };
  for (const Case& k : cases) EXPECT_EQ(FixedDriveList(k.block, typeOf), k.list);
}

// Every fixed drive of the machine, letter by letter: C: in every test prefix (and Z:, the
// Linux root, where the prefix leaves it fixed).
TEST(GameFoldersTest, FixedDriveListOfThisMachine) {
  std::string expected;
  for (char letter = 'A'; letter <= 'Z'; ++letter) {
    const std::string root = std::string(1, letter) + ":\\";
    if (GetDriveTypeA(root.c_str()) == DRIVE_FIXED) expected += root + ";";
  }
  EXPECT_EQ(FixedDriveList(), expected);
  EXPECT_EQ(FixedDriveList().substr(0, 4), "C:\\;");
}

TEST(GameFoldersTest, GameFoldersFromThePathsComponents) {
  struct Case {
    const char* path;
    const char* exeFolder;  // "" for no game
    const char* gameRoot;
  };
  const Case cases[] = {
      {"C:\\Games\\Quenmar\\Bin32\\Quenmar.exe", "C:\\Games\\Quenmar\\Bin32\\",
       "C:\\Games\\Quenmar\\"},
      {"c:\\program files\\q\\BIN32\\QUENMAR.EXE", "c:\\program files\\q\\BIN32\\",
       "c:\\program files\\q\\"},
      {"C:\\Bin32\\Quenmar.exe", "C:\\Bin32\\", "C:\\"},
      {"\\\\server\\games\\Quenmar\\Bin32\\Quenmar.exe", "\\\\server\\games\\Quenmar\\Bin32\\",
       "\\\\server\\games\\Quenmar\\"},
      // Paths the length rule would have cut into other folders ("...\Bin", "...\Binsystem").
      {"C:\\Games\\Quenmar\\Bin32\\QuenmarLauncher.exe", "", ""},
      {"C:\\Games\\Quenmar\\Quenmar.exe", "", ""},
      {"C:\\Games\\Quenmar\\XBin32\\Quenmar.exe", "", ""},
      {"C:\\Games\\Quenmar\\Bin32\\", "", ""},
      {"Bin32\\Quenmar.exe", "", ""},
      {"Quenmar.exe", "", ""},
      {"", "", ""},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.path);
    const TGameFolders folders = GameFoldersFromPath(k.path);
    EXPECT_EQ(folders.ExeFolder, k.exeFolder);
    EXPECT_EQ(folders.GameRoot, k.gameRoot);
    EXPECT_EQ(folders.Known(), *k.gameRoot != '\0');
  }
}

TEST(GameFoldersTest, ChosenFolderText) {
  struct Case {
    const char* chosen;
    const char* text;
  };
  const Case cases[] = {
      {"C:\\", "C:\\"},
      {"C:\\Results", "C:\\Results\\"},
      {"C:\\My Results\\2006", "C:\\My Results\\2006\\"},
      {"\\\\server\\share", "\\\\server\\share\\"},
      // A choice without a file-system path (My Computer) keeps the folder as it was.
      {"", "C:\\Old\\"},
  };
  for (const Case& k : cases) EXPECT_EQ(ChosenFolderText(k.chosen, "C:\\Old\\"), k.text) << k.chosen;
}

TEST(GameFoldersTest, ProgramFolderIsTheModulesWhereverTheCurrentFolderIs) {
  const std::string before = GetCurrentDir();
  ASSERT_TRUE(SetCurrentDirectoryA("C:\\"));
  const std::string folder = ProgramFolder();
  SetCurrentDirectoryA(before.c_str());
  EXPECT_EQ(folder, TestProgramFolder());
}
