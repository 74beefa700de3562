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

namespace {

// Prints carelessly: leaves its own text colour and origin in the DC, and can raise halfway.
bool printRaises = false;
void CarelessPrintClient(TControl*, TMessage& message) {
  HDC dc = reinterpret_cast<HDC>(message.WParam);
  SetTextColor(dc, RGB(1, 2, 3));
  SetViewportOrgEx(dc, 7, 9, nullptr);
  if (printRaises) throw Exception("print failed");
}

struct TDcState {
  COLORREF text;
  POINT origin;
};

TDcState StateAfterPrintClient(TCustomControl& control, HDC dc) {
  SetTextColor(dc, RGB(200, 100, 50));
  SetViewportOrgEx(dc, 0, 0, nullptr);
  try {
    control.Perform(WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT);
  } catch (const Exception&) {
  }
  TDcState state{GetTextColor(dc), {}};
  GetViewportOrgEx(dc, &state.origin);
  return state;
}

}  // namespace

TEST(SvCommon, PrintClientRepairLeavesTheDeviceContextAsItWas) {
  HDC dc = CreateCompatibleDC(nullptr);
  TCustomControl control(nullptr);
  control.SetBounds(0, 0, 20, 20);
  // The windowed-control class handles WM_PRINTCLIENT carelessly for this test.
  TMessageHandler own = TWinControl::Messages().Replace(WM_PRINTCLIENT, CarelessPrintClient);
  EXPECT_EQ(StateAfterPrintClient(control, dc).text, RGB(1, 2, 3));

  InstallPrintClientRepair();
  InstallPrintClientRepair();
  for (bool raise : {false, true}) {
    printRaises = raise;
    TDcState after = StateAfterPrintClient(control, dc);
    EXPECT_EQ(after.text, RGB(200, 100, 50)) << raise;
    EXPECT_EQ(after.origin.x, 0) << raise;
    EXPECT_EQ(after.origin.y, 0) << raise;
  }
  RemovePrintClientRepair();
  printRaises = false;
  EXPECT_EQ(StateAfterPrintClient(control, dc).text, RGB(1, 2, 3));

  TWinControl::Messages().Replace(WM_PRINTCLIENT, own);
  DeleteDC(dc);
}
