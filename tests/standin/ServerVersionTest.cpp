#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "standin/GameTree.h"

namespace {

// The FileVersion text of a file's version resource, read the way the front end reads it:
// through the first translation that the resource lists.
std::string FileVersionText(const std::string& path, std::string& translation) {
  DWORD handle = 0;
  DWORD size = GetFileVersionInfoSizeA(path.c_str(), &handle);
  if (size == 0) return "";
  std::vector<char> data(size);
  if (!GetFileVersionInfoA(path.c_str(), 0, size, data.data())) return "";
  struct TLangCodePage {
    WORD language, codePage;
  }* pairs = nullptr;
  UINT length = 0;
  if (!VerQueryValueA(data.data(), "\\VarFileInfo\\Translation", reinterpret_cast<void**>(&pairs), &length) ||
      length < sizeof *pairs)
    return "";
  char key[64];
  wsprintfA(key, "%04x%04x", pairs->language, pairs->codePage);
  translation = key;
  char* text = nullptr;
  if (!VerQueryValueA(data.data(), ("\\StringFileInfo\\" + translation + "\\FileVersion").c_str(),
                      reinterpret_cast<void**>(&text), &length))
    return "";
  return text;
}

}  // namespace

TEST(StandinServer, EachBuildsServerProgramCarriesItsFileVersion) {
  struct TCase {
    std::string file;
    const char* fileVersion;
  } cases[] = {
      {"..\\game\\Bin32\\Quenmar_WinSV.exe", "1, 3, 0, 1337"}, {"Quenmar_WinSV_1230.exe", "1, 0, 0, 1230"},
      {"Quenmar_WinSV_1256.exe", "1, 1, 0, 1256"},             {"Quenmar_WinSV_1325.exe", "1, 2, 0, 1325"},
      {"Quenmar_WinSV_1400.exe", "1, 4, 0, 1400"},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.file);
    std::string translation;
    EXPECT_EQ(c.fileVersion, FileVersionText(TestProgramFolder() + c.file, translation));
    EXPECT_EQ("040904b0", translation);
  }
}
