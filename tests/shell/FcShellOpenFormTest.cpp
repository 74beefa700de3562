// The open window's reading of typed names, without a window.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "shell/FcShellOpenForm.h"

TEST(CombineTypedName, MakesTheFullPathATypedNameStandsFor) {
  struct {
    const char* folder;
    const char* name;
    const char* path;
  } cases[] = {
      {"C:\\Games\\Quenmar", "demo.tmd", "C:\\Games\\Quenmar\\demo.tmd"},
      {"C:\\Games\\Quenmar", "Bin32\\Quenmar.exe", "C:\\Games\\Quenmar\\Bin32\\Quenmar.exe"},
      {"C:\\Games\\Quenmar", "D:\\x\\y.cfg", "D:\\x\\y.cfg"},
      {"C:\\Games\\Quenmar", "D:", "D:\\"},
      {"C:\\Games\\Quenmar", "\\x.cfg", "C:\\x.cfg"},
      {"\\\\server\\share\\sub", "\\x.cfg", "\\\\server\\share\\x.cfg"},
      {"C:\\Games\\Quenmar", "\\\\server\\share\\x.cfg", "\\\\server\\share\\x.cfg"},
      {"C:\\Games\\Quenmar", "..\\x.cfg", "C:\\Games\\x.cfg"},
      {"C:\\Games\\Quenmar\\Bin32", "...\\x.cfg", "C:\\Games\\x.cfg"},
      {"C:\\Games\\Quenmar", ".\\x.cfg", "C:\\Games\\Quenmar\\x.cfg"},
      // Never above the drive's root.
      {"C:\\Games", "....\\x.cfg", "C:\\x.cfg"},
      {"C:", "..\\x.cfg", "C:\\x.cfg"},
      // A folder outside the file system gives a relative name nothing to stand on.
      {"", "x.cfg", ""},
      {"", "C:\\x.cfg", "C:\\x.cfg"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(CombineTypedName(c.folder, c.name), c.path) << c.folder << " + " << c.name;
  }
}

TEST(SplitTypedNames, QuotedPartsAreOneNameEach) {
  struct {
    const char* text;
    std::vector<std::string> names;
  } cases[] = {
      {"\"a.cfg\" \"c.cfg\"", {"a.cfg", "c.cfg"}},
      {"\"my demo.tmd\"\t\"x y\"", {"my demo.tmd", "x y"}},
      {"a.cfg \"b c.cfg\" d.cfg", {"a.cfg", "b c.cfg", "d.cfg"}},
      {"\"\"  \"\"", {}},
      {"\"unclosed name", {"unclosed name"}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(SplitTypedNames(c.text), c.names) << c.text;
  }
}

TEST(IsValidTypedName, RefusesWhatNoFileNameHolds) {
  for (const char* name : {"a|b", "a<b", "a>b", "a/b", "C:\\x\\\\y"}) EXPECT_FALSE(IsValidTypedName(name)) << name;
  for (const char* name : {"demo.tmd", "C:\\x\\y", "\\\\server\\share\\x", "my demo.tmd"})
    EXPECT_TRUE(IsValidTypedName(name)) << name;
}

TEST(MaskExtension, OnlyAPlainExtension) {
  struct {
    const char* mask;
    const char* extension;
  } cases[] = {
      {"*.TMD", ".TMD"}, {"system.cfg", ".cfg"}, {"QUENMAR.EXE", ".EXE"}, {"*.txt;*.log", ".txt"},
      {"*.*", ""},       {"*", ""},              {"*.t?d", ""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(MaskExtension(c.mask), c.extension) << c.mask;
  }
}
