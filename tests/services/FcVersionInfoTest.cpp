#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "platform/SysUtils.h"
#include "platform/TypInfo.h"
#include "services/FcVersionInfo.h"

namespace {

std::string OwnPath() {
  char path[MAX_PATH + 1] = {};
  GetModuleFileNameA(nullptr, path, sizeof path);
  return path;
}

// Counts the reads that reach the panes.
class TCountingPane : public IFcVersionInfoPane {
 public:
  void VersionInfoChanged(TFcVersionInfo* sender) override {
    ++reads;
    fileVersion = sender->GetVersionField(vfFileVersion);
  }
  int reads = 0;
  std::string fileVersion;
};

// The fixture programs copied into a folder of the test's own whose name has a blank and an
// accented letter (0xE9), each under a name of the same kind.
class FcVersionInfoTest : public testing::Test {
 protected:
  void SetUp() override {
    char temp[MAX_PATH + 1] = {};
    GetTempPathA(sizeof temp, temp);
    dir_ = std::string(temp) + Format("Version r\xE9" "ader %lu\\", GetCurrentProcessId());
    ASSERT_TRUE(ForceDirectories(dir_));
    std::string bin = ExtractFilePath(OwnPath());
    for (const char* name :
         {"VersionWithTranslation", "VersionWithoutTranslation", "NoVersionResource"})
      ASSERT_TRUE(CopyFileA((bin + name + ".exe").c_str(), Path(name).c_str(), FALSE)) << name;
  }
  void TearDown() override {
    for (const char* name :
         {"VersionWithTranslation", "VersionWithoutTranslation", "NoVersionResource"})
      DeleteFileA(Path(name).c_str());
    RemoveDirectoryA(dir_.c_str());
  }
  std::string Path(const char* name) const { return dir_ + name + " \xE9.exe"; }

  std::string dir_;
};

}  // namespace

TEST_F(FcVersionInfoTest, ReadsTheFieldsThroughTheTranslation) {
  TFcVersionInfo info(nullptr);
  info.SetFilePath(Path("VersionWithTranslation"));
  const char* expected[] = {"Orvane",           "Quenmar",
                            "1, 3, 0, 1337",    "Quenmar_WinSV",
                            "Copyright Orvane", "",
                            "Quenmar_WinSV.exe", "Quenmar",
                            "1, 3, 0, 1337",    "Dedicated server"};
  for (int i = 0; i < 10; ++i) EXPECT_EQ(info.GetVersionField(i), expected[i]) << i;
}

TEST_F(FcVersionInfoTest, WithoutTranslationEveryFieldIsEmpty) {
  TFcVersionInfo info(nullptr);
  info.SetFilePath(Path("VersionWithoutTranslation"));
  for (int i = 0; i < 10; ++i) EXPECT_EQ(info.GetVersionField(i), "") << i;
}

TEST_F(FcVersionInfoTest, WithoutResourceEveryFieldIsNotAvailable) {
  for (std::string path : {Path("NoVersionResource"), dir_ + "missing.exe"}) {
    SCOPED_TRACE(path);
    TFcVersionInfo info(nullptr);
    info.SetFilePath(path);
    for (int i = 0; i < 10; ++i) EXPECT_EQ(info.GetVersionField(i), "Value Not Available") << i;
  }
}

TEST_F(FcVersionInfoTest, IndexOutsideTheTenFieldsRaisesTheListError) {
  TFcVersionInfo info(nullptr);
  for (int index : {10, -1}) {
    try {
      info.GetVersionField(index);
      FAIL() << index;
    } catch (const EListError& e) {
      EXPECT_EQ(e.Message(), Format("List index out of bounds (%d)", index));
    }
  }
}

TEST_F(FcVersionInfoTest, SamePathTwiceReadsOnce) {
  TFcVersionInfo info(nullptr);
  TCountingPane pane;
  info.RegisterPane(&pane);
  info.SetFilePath(Path("VersionWithTranslation"));
  info.SetFilePath(Path("VersionWithTranslation"));
  EXPECT_EQ(pane.reads, 1);
  EXPECT_EQ(pane.fileVersion, "1, 3, 0, 1337");
  info.SetFilePath(Path("NoVersionResource"));
  EXPECT_EQ(pane.reads, 2);
  EXPECT_EQ(pane.fileVersion, "Value Not Available");
  info.UnregisterPane(&pane);
  info.SetFilePath(Path("VersionWithTranslation"));
  EXPECT_EQ(pane.reads, 2);
}

TEST_F(FcVersionInfoTest, EmptyPathReadsTheProgramItself) {
  TFcVersionInfo info(nullptr);
  EXPECT_EQ(info.FilePath(), OwnPath());
  EXPECT_NE(info.GetVersionField(vfFileVersion), "Value Not Available");
  EXPECT_NE(info.GetVersionField(vfFileVersion), "");
}

// A stored layout sets the path while loading; the file is read once, when loading ends.
TEST_F(FcVersionInfoTest, LoadingReadsWhenLoaded) {
  RegisterFcVersionInfo();
  TFcVersionInfo info(nullptr);
  TCountingPane pane;
  info.RegisterPane(&pane);
  info.SetComponentStateFlag(csLoading, true);
  SetPropValue(&info, "FilePath", TValue::String(Path("VersionWithTranslation")));
  EXPECT_EQ(pane.reads, 0);
  EXPECT_NE(info.GetVersionField(vfFileVersion), "1, 3, 0, 1337");
  info.Loaded();
  EXPECT_EQ(pane.reads, 1);
  EXPECT_EQ(info.GetVersionField(vfFileVersion), "1, 3, 0, 1337");
}
