#include <gtest/gtest.h>

#include <string>

#include "services/SvCommon.h"

TEST(SvCommon, PosNoCase) {
  EXPECT_EQ(PosNoCase("processor:", "Processor: x86"), 1);
  EXPECT_EQ(PosNoCase("memory", "Processor: x86"), 0);
  EXPECT_EQ(PosNoCase("X86", "Processor: x86"), 12);
}

TEST(SvCommon, SystemFolderExists) {
  std::string folder = GetWindowsSystemFolder();
  ASSERT_FALSE(folder.empty());
  EXPECT_TRUE(DirectoryExists(folder));
}

TEST(SvCommon, CheckOsCallRaisesTheLastError) {
  EXPECT_NO_THROW(CheckOsCall(true));
  SetLastError(ERROR_FILE_NOT_FOUND);
  try {
    CheckOsCall(false);
    FAIL();
  } catch (const EOSError& e) {
    EXPECT_EQ(e.ErrorCode(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
  }
}

TEST(SvCommon, StringsToMultiSz) {
  TStringList list;
  list.Add("A=1");
  list.Add("B=2");
  char* block = StringsToMultiSz(list);
  ASSERT_NE(block, nullptr);
  EXPECT_EQ(std::string(block, 9), std::string("A=1\0B=2\0\0", 9));
  FreeMultiSz(block);
  EXPECT_EQ(block, nullptr);

  TStringList empty;
  block = StringsToMultiSz(empty);
  EXPECT_EQ(block[0], '\0');
  FreeMultiSz(block);

  list.Insert(1, "");
  try {
    StringsToMultiSz(list);
    FAIL();
  } catch (const ESvError& e) {
    EXPECT_EQ(e.Message(),
              "String list passed to StringsToMultiSz cannot contain empty strings.");
  }
}

TEST(SvCommon, UtilityWindowHandsMessagesToItsMethod) {
  UINT seen = 0;
  HWND wnd = AllocateUtilityWindow([&](TMessage& m) {
    if (m.Msg == WM_USER + 1) {
      seen = m.Msg;
      m.Result = 42;
    }
  });
  ASSERT_NE(wnd, nullptr);
  char cls[64] = {};
  GetClassNameA(wnd, cls, sizeof cls);
  EXPECT_STREQ(cls, "TPUtilWindowEx");
  EXPECT_FALSE(IsWindowVisible(wnd));
  EXPECT_EQ(SendMessageA(wnd, WM_USER + 1, 0, 0), 42);
  EXPECT_EQ(seen, static_cast<UINT>(WM_USER + 1));
  DeallocateUtilityWindow(wnd);
  EXPECT_FALSE(IsWindow(wnd));
}
