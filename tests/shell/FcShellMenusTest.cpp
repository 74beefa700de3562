#include <gtest/gtest.h>

#include <windows.h>
#include <shlobj.h>

#include <atomic>
#include <cstring>
#include <memory>
#include <string>
#include <thread>
#include <type_traits>
#include <vector>

#include "EventLog.h"
#include "ShellTestSupport.h"
#include "platform/ExtCtrls.h"
#include "platform/Forms.h"
#include "platform/Guards.h"
#include "platform/StdCtrls.h"
#include "shell/FcShellDragDrop.h"
#include "shell/FcShellMenus.h"

namespace {

constexpr UINT kFirst = 1000;

// ---- The shell's own menus ----------------------------------------------------------------------

class ShellMenus : public ShellScratch {
 protected:
  // The context menu of a scratch file.
  void MenuOf(const std::string& path) {
    ASSERT_EQ(ShellGetFolderFromIdList(ParsedList(Dir()).get(), folder_.Out()), S_OK);
    item_ = LastItem(ParsedList(path).get());
    LPCITEMIDLIST items[] = {item_.get()};
    HMENU popup = nullptr;
    ASSERT_EQ(CreateShellContextMenu(nullptr, folder_.Get(), 1, items, kFirst, CMF_EXPLORE, menu_.Out(), &popup),
              S_OK);
    popup_.reset(popup);
  }
  struct TMenuDeleter {
    void operator()(HMENU m) const { DestroyMenu(m); }
  };
  TComPtr<IShellFolder> folder_;
  TIdListPtr item_;
  TComPtr<IContextMenu> menu_;
  std::unique_ptr<std::remove_pointer_t<HMENU>, TMenuDeleter> popup_;
};

TEST_F(ShellMenus, VerbsAreFoundByNameAndInvoked) {
  std::string file = MakeFile("demo1.dem");
  MenuOf(file);
  EXPECT_GT(GetMenuItemCount(popup_.get()), 0);
  int copy = FindVerbOffset(menu_.Get(), "copy");
  ASSERT_GE(copy, 0);
  EXPECT_EQ(FindVerbOffset(menu_.Get(), "COPY"), copy);
  char verb[MAX_PATH] = {};
  ASSERT_EQ(menu_->GetCommandString(static_cast<UINT>(copy), GCS_VERBA, nullptr, verb, sizeof verb), S_OK);
  EXPECT_STREQ(verb, "copy");
  EXPECT_EQ(FindVerbOffset(menu_.Get(), "no such verb"), -1);

  ASSERT_EQ(InvokeShellCommand(menu_.Get(), nullptr, "copy"), S_OK);
  ASSERT_TRUE(OpenClipboard(nullptr));
  HANDLE dropped = GetClipboardData(CF_HDROP);
  ASSERT_NE(dropped, nullptr);
  char name[MAX_PATH] = {};
  DragQueryFileA(static_cast<HDROP>(dropped), 0, name, sizeof name);
  EXPECT_STREQ(name, file.c_str());
  EmptyClipboard();
  CloseClipboard();

  // The shell asks before it deletes.
  TBoxAnswerer yes("Confirm file deletion", IDYES);
  EXPECT_EQ(InvokeShellCommand(menu_.Get(), nullptr, "Delete"), S_OK);
  EXPECT_TRUE(yes.Seen().found);
  EXPECT_FALSE(FileExists(file));
}

// A context menu of fixed verbs that notes what it is asked to do.
class TFakeMenu : public TFcComObject<IContextMenu2> {
 public:
  explicit TFakeMenu(bool drawsItself) : TFcComObject(drawsItself ? IID_IContextMenu2 : IID_IContextMenu) {}
  std::vector<std::string> verbs = {"open", "copy", "delete"};
  std::vector<CMINVOKECOMMANDINFO> invoked;
  std::vector<UINT> menuMessages;

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
    // Every fake answers for IContextMenu; only a self-drawing one for IContextMenu2.
    if (IsEqualIID(iid, IID_IContextMenu)) {
      *object = static_cast<IContextMenu*>(this);
      AddRef();
      return S_OK;
    }
    return TFcComObject::QueryInterface(iid, object);
  }
  HRESULT STDMETHODCALLTYPE QueryContextMenu(HMENU menu, UINT, UINT first, UINT, UINT) override {
    AppendMenuA(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(CreatePopupMenu()), "Send To");
    AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
    for (UINT i = 0; i < verbs.size(); ++i) AppendMenuA(menu, MF_STRING, first + i, verbs[i].c_str());
    return MAKE_HRESULT(SEVERITY_SUCCESS, 0, verbs.size());
  }
  HRESULT STDMETHODCALLTYPE InvokeCommand(CMINVOKECOMMANDINFO* info) override {
    invoked.push_back(*info);
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetCommandString(UINT_PTR offset, UINT type, UINT*, LPSTR name, UINT size) override {
    if (offset >= verbs.size()) return E_INVALIDARG;
    if (type == GCS_VERBA) {
      lstrcpynA(name, verbs[offset].c_str(), static_cast<int>(size));
      return S_OK;
    }
    if (type == GCS_HELPTEXTA && offset == 1) {
      lstrcpynA(name, "Copies the item", static_cast<int>(size));
      return S_OK;
    }
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE HandleMenuMsg(UINT msg, WPARAM, LPARAM) override {
    menuMessages.push_back(msg);
    return S_OK;
  }
};

TEST(ShellMenuVerbs, AMissingVerbInvokesNothing) {
  TComPtr<TFakeMenu> menu(new TFakeMenu(false));
  EXPECT_EQ(FindVerbOffset(menu.Get(), "Delete"), 2);
  EXPECT_EQ(InvokeShellCommand(menu.Get(), nullptr, "paste"), HRESULT_FROM_WIN32(ERROR_NOT_FOUND));
  EXPECT_TRUE(menu->invoked.empty());

  HWND owner = reinterpret_cast<HWND>(0x1234);
  ASSERT_EQ(InvokeShellCommand(menu.Get(), owner, "Copy"), S_OK);
  ASSERT_EQ(menu->invoked.size(), 1u);
  const CMINVOKECOMMANDINFO& info = menu->invoked[0];
  EXPECT_EQ(info.cbSize, sizeof(CMINVOKECOMMANDINFO));
  EXPECT_EQ(info.fMask, 0u);
  EXPECT_EQ(info.hwnd, owner);
  EXPECT_EQ(info.lpVerb, MAKEINTRESOURCEA(1));
  EXPECT_EQ(info.lpParameters, nullptr);
  EXPECT_EQ(info.lpDirectory, nullptr);
  EXPECT_EQ(info.nShow, SW_SHOWNORMAL);
}

TEST(ShellMenuVerbs, HintsOfTheCommandUnderThePointer) {
  TComPtr<TFakeMenu> menu(new TFakeMenu(false));
  TEventLog hints;
  TObject control;
  TFcShPopupHintEvent event = [&](TObject* sender, const std::string& hint) {
    EXPECT_EQ(sender, &control);
    hints.Note(hint);
  };
  for (WPARAM w : {MAKEWPARAM(kFirst + 1, 0), MAKEWPARAM(kFirst + 2, 0), MAKEWPARAM(5, 0),
                   MAKEWPARAM(kFirst + 1, MF_POPUP)}) {
    TMessage m{WM_MENUSELECT, w, 0, 0};
    TWMMenuSelect select(m);
    HandleMenuSelect(select, menu.Get(), &control, event);
  }
  EXPECT_EQ(hints, (TEvents{"Copies the item", "", "", ""}));
  TMessage m{WM_MENUSELECT, MAKEWPARAM(kFirst + 1, 0), 0, 0};
  TWMMenuSelect select(m);
  HandleMenuSelect(select, menu.Get(), &control, nullptr);
  EXPECT_EQ(hints.Size(), 4u);
}

// ---- Send To submenu drawn here ---------------------------------------------------------------

class SendToMenu : public testing::Test {
 protected:
  void SetUp() override {
    sendTo_ = AppendCharIfMissing(ShellGetSpecialFolderPath(nullptr, CSIDL_SENDTO), '\\');
    ASSERT_TRUE(DirectoryExists(sendTo_));
    for (const char* name : {"b-drive.txt", "Archive.zip", "apple.txt"}) {
      ASSERT_TRUE(WriteFileBytes(sendTo_ + name, "x"));
      made_.push_back(sendTo_ + name);
    }
    ASSERT_TRUE(WriteFileBytes(sendTo_ + "hidden.txt", "x"));
    made_.push_back(sendTo_ + "hidden.txt");
    SetFileAttributesA((sendTo_ + "hidden.txt").c_str(), FILE_ATTRIBUTE_HIDDEN);
    CreateDirectoryA((sendTo_ + "folder").c_str(), nullptr);
    popup_ = CreatePopupMenu();
    AppendMenuA(popup_, MF_STRING | MF_GRAYED, 99, "(empty)");
  }
  void TearDown() override {
    DestroyMenu(popup_);
    for (const std::string& f : made_) {
      SetFileAttributesA(f.c_str(), FILE_ATTRIBUTE_NORMAL);
      DeleteFileA(f.c_str());
    }
    RemoveDirectoryA((sendTo_ + "folder").c_str());
  }
  std::string sendTo_;
  std::vector<std::string> made_;
  HMENU popup_ = nullptr;
};

TEST_F(SendToMenu, APlaceholderBecomesTheSendToFolderDrawnHere) {
  TComPtr<TFakeMenu> menu(new TFakeMenu(false));
  std::unique_ptr<TFcSendToList> list;
  TMessage initMessage{WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(popup_), 0, 0};
  TWMInitMenuPopup init(initMessage);
  HandleInitMenuPopup(init, menu.Get(), list);
  ASSERT_NE(list, nullptr);
  ASSERT_EQ(list->size(), 3u);
  EXPECT_EQ((*list)[0].Name, "apple.txt");
  EXPECT_EQ((*list)[1].Name, "Archive.zip");
  EXPECT_EQ((*list)[2].Name, "b-drive.txt");
  EXPECT_GE((*list)[0].IconIndex, 0);
  ASSERT_EQ(GetMenuItemCount(popup_), 3);
  for (UINT i = 0; i < 3; ++i) {
    MENUITEMINFOA info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_ID | MIIM_DATA | MIIM_FTYPE;
    ASSERT_TRUE(GetMenuItemInfoA(popup_, i, TRUE, &info));
    EXPECT_EQ(info.wID, i + 1);
    EXPECT_EQ(info.dwItemData, i);
    EXPECT_TRUE(info.fType & MFT_OWNERDRAW);
  }

  // Measured in the menu font, one menu bar high and then some.
  MEASUREITEMSTRUCT measure{};
  measure.CtlType = ODT_MENU;
  measure.itemID = 2;
  measure.itemData = 1;
  TMessage measureMessage{WM_MEASUREITEM, 0, reinterpret_cast<LPARAM>(&measure), 0};
  TWMMeasureItem m(measureMessage);
  HandleMeasureItem(m, menu.Get(), list.get());
  EXPECT_GT(measure.itemWidth, 32u + 10u);
  EXPECT_EQ(measure.itemHeight, static_cast<UINT>(GetSystemMetrics(SM_CYMENU) + 2));

  // A menu that draws itself gets the messages instead, and the placeholder stays.
  HMENU other = CreatePopupMenu();
  AppendMenuA(other, MF_STRING | MF_GRAYED, 99, "(empty)");
  TComPtr<TFakeMenu> drawing(new TFakeMenu(true));
  std::unique_ptr<TFcSendToList> untouched;
  TMessage init2Message{WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(other), 0, 0};
  TWMInitMenuPopup init2(init2Message);
  HandleInitMenuPopup(init2, drawing.Get(), untouched);
  HandleMeasureItem(m, drawing.Get(), list.get());
  EXPECT_EQ(untouched, nullptr);
  EXPECT_EQ(GetMenuItemCount(other), 1);
  EXPECT_EQ(drawing->menuMessages, (std::vector<UINT>{WM_INITMENUPOPUP, WM_MEASUREITEM}));
  DestroyMenu(other);
}

TEST_F(SendToMenu, TypedLettersSelectOrRunTheEntries) {
  TComPtr<TFakeMenu> menu(new TFakeMenu(false));
  std::unique_ptr<TFcSendToList> list;
  TMessage initMessage{WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(popup_), 0, 0};
  TWMInitMenuPopup init(initMessage);
  HandleInitMenuPopup(init, menu.Get(), list);
  ASSERT_EQ(list->size(), 3u);  // apple, Archive, b-drive
  auto typed = [&](char c, bool popupFlag = true) {
    TMessage m{WM_MENUCHAR, MAKEWPARAM(static_cast<WORD>(c), popupFlag ? MF_POPUP : 0),
               reinterpret_cast<LPARAM>(popup_), 0};
    TWMMenuChar menuChar(m);
    HandleMenuChar(menuChar, menu.Get(), list.get());
    return m.Result;
  };
  // Two entries begin with A: the next one after the highlight is selected, not run.
  EXPECT_EQ(typed('a'), MAKELRESULT(1, MNC_SELECT));
  EXPECT_EQ(typed('B'), MAKELRESULT(2, MNC_EXECUTE));
  EXPECT_EQ(HIWORD(typed('z')), MNC_CLOSE);
  EXPECT_EQ(typed('a', false), 0);
  MENUITEMINFOA hilite{};
  hilite.cbSize = sizeof hilite;
  hilite.fMask = MIIM_STATE;
  hilite.fState = MFS_HILITE;
  SetMenuItemInfoA(popup_, 1, TRUE, &hilite);
  EXPECT_EQ(typed('A'), MAKELRESULT(0, MNC_SELECT));
}

TEST_F(SendToMenu, EntriesAreDrawnInTheMenuColours) {
  TComPtr<TFakeMenu> menu(new TFakeMenu(false));
  std::unique_ptr<TFcSendToList> list;
  TMessage initMessage{WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(popup_), 0, 0};
  TWMInitMenuPopup init(initMessage);
  HandleInitMenuPopup(init, menu.Get(), list);
  TWindowDC screen(nullptr);
  TMemoryDC dc(screen);
  TGdiObject<HBITMAP> bitmap(CreateCompatibleBitmap(screen, 200, 24));
  TSelectObject select(dc, bitmap.Get());
  auto draw = [&](UINT id, UINT state) {
    DRAWITEMSTRUCT item{};
    item.CtlType = ODT_MENU;
    item.itemID = id;
    item.itemData = 0;
    item.itemState = state;
    item.hDC = dc;
    item.rcItem = {0, 0, 200, 24};
    TMessage m{WM_DRAWITEM, 0, reinterpret_cast<LPARAM>(&item), 0};
    TWMDrawItem drawItem(m);
    HandleDrawItem(drawItem, menu.Get(), ShellGetSystemImageList(0), list.get());
    return m.Result;
  };
  auto same = [](COLORREF a, COLORREF b) { return (a & 0xFFFFFF) == (b & 0xFFFFFF); };
  EXPECT_EQ(draw(1, ODS_SELECTED), TRUE);
  EXPECT_TRUE(same(GetPixel(dc, 30, 1), GetNearestColor(dc, GetSysColor(COLOR_HIGHLIGHT))));
  EXPECT_TRUE(same(GetPixel(dc, 199, 23), GetNearestColor(dc, GetSysColor(COLOR_HIGHLIGHT))));
  draw(1, 0);
  EXPECT_TRUE(same(GetPixel(dc, 30, 1), GetNearestColor(dc, GetSysColor(COLOR_MENU))));
  // The icon goes at 8, 2: not all of its square is the background.
  bool iconDrawn = false;
  for (int y = 2; y < 18 && !iconDrawn; ++y)
    for (int x = 8; x < 24 && !iconDrawn; ++x)
      iconDrawn = !same(GetPixel(dc, x, y), GetNearestColor(dc, GetSysColor(COLOR_MENU)));
  EXPECT_TRUE(iconDrawn);
  // No valid item: only the background.
  PatBlt(dc, 0, 0, 200, 24, BLACKNESS);
  draw(static_cast<UINT>(-1), ODS_SELECTED);
  EXPECT_TRUE(same(GetPixel(dc, 100, 12), GetNearestColor(dc, GetSysColor(COLOR_MENU))));
}

// ---- New folders --------------------------------------------------------------------------------

class NewFolders : public ShellScratch {};

TEST_F(NewFolders, TheFirstFreeNameOfEachSeries) {
  std::string name;
  ASSERT_TRUE(CreateNewFolder(Dir(), name));
  EXPECT_EQ(name, "New Folder");
  MakeFolder("New Folder (2)");
  ASSERT_TRUE(CreateNewFolder(ExcludeTrailingBackslash(Dir()), name));
  EXPECT_EQ(name, "New Folder (3)");
  EXPECT_TRUE(DirectoryExists(Dir() + "New Folder (3)"));
  for (int i = 4; i <= 50; ++i) MakeFolder(Format("New Folder (%d)", i));
  ASSERT_TRUE(CreateNewFolder(Dir(), name));
  EXPECT_EQ(name, "fldr");
  ASSERT_TRUE(CreateNewFolder(Dir(), name));
  EXPECT_EQ(name, "fldr2");

  // The current folder when none is given.
  std::string saved = GetCurrentDir();
  SetCurrentDirectoryA(MakeFolder("current").c_str());
  EXPECT_TRUE(CreateNewFolder("", name));
  SetCurrentDirectoryA(saved.c_str());
  EXPECT_TRUE(DirectoryExists(Dir() + "current\\New Folder"));
}

TEST_F(NewFolders, WarningsWhenNoneCanBeMade) {
  for (int i = 3; i <= 50; ++i) MakeFolder(Format("fldr%d", i));
  for (int i = 2; i <= 50; ++i) MakeFolder(Format("New Folder (%d)", i));
  MakeFolder("New Folder");
  MakeFolder("fldr");
  MakeFolder("fldr2");
  std::string name = "unchanged";
  {
    TBoxesAnswerer boxes(1);
    EXPECT_FALSE(CreateNewFolder(Dir(), name));
    const std::string exists = SysErrorMessage(ERROR_ALREADY_EXISTS);
    EXPECT_EQ(boxes.Texts(),
              std::vector<std::string>{"Unable to create the folder 'New Folder'\r\n\r\n" + exists});
  }
  EXPECT_EQ(name, "unchanged");

  // A folder that cannot hold any: each series stops at its first name, then the last word.
  std::string file = MakeFile("plain.txt");
  TBoxesAnswerer boxes(3);
  EXPECT_FALSE(CreateNewFolder(file, name));
  const std::vector<std::string>& texts = boxes.Texts();
  ASSERT_EQ(texts.size(), 3u);
  EXPECT_EQ(texts[0].rfind("Unable to create the folder 'New Folder'\r\n\r\n", 0), 0u) << texts[0];
  EXPECT_EQ(texts[1].rfind("Unable to create the folder 'fldr'\r\n\r\n", 0), 0u) << texts[1];
  EXPECT_EQ(texts[2], "Unable to create the folder 'New Folder'\r\n\r\n" + SysErrorMessage(ERROR_ALREADY_EXISTS));
}

// ---- Keys -----------------------------------------------------------------------------------------

TEST(ShellKeys, TextsOfShortcutsAndBack) {
  const struct {
    TShortCut shortCut;
    const char* text;
  } both[] = {
      {0x0070, "F1"},          {0x8000 + 'A', "Alt+A"},  {0x6074, "Shift+Ctrl+F5"},
      {VK_BACK, "BkSp"},       {VK_RETURN, "Enter"},     {VK_ESCAPE, "Esc"},
      {VK_PRIOR, "PgUp"},      {VK_DOWN, "Down"},        {VK_INSERT, "Ins"},
      {VK_DELETE, "Del"},      {'7', "7"},               {VK_F24, "F24"},
      {0xE000 + VK_TAB, "Shift+Ctrl+Alt+Tab"},
  };
  for (const auto& c : both) {
    EXPECT_EQ(ShellShortCutToText(c.shortCut), c.text);
    EXPECT_EQ(ShellTextToShortCut(c.text), c.shortCut) << c.text;
  }
  EXPECT_EQ(ShellShortCutToText(255), "#255");
  EXPECT_EQ(ShellShortCutToText(VK_NUMPAD3), "3");  // the digit row's "3" reads back first
  EXPECT_EQ(ShellTextToShortCut("3"), '3');

  const struct {
    const char* text;
    TShortCut shortCut;
  } parsed[] = {
      {"ctrl+a", 0x4041}, {"^A", 0x4041},   {"Shift+Ctrl+F5", 0x6074}, {"alt+shift+del", 0xA02E},
      {"Ctrl+", 0},       {"", 0},          {"Ctrl+Nothing", 0},       {"#300", 300},
      {"ctrl+CTRL+x", 0x4058},
  };
  for (const auto& c : parsed) EXPECT_EQ(ShellTextToShortCut(c.text), c.shortCut) << c.text;
}

TEST(ShellKeys, TheControlsCommandKeys) {
  const auto& keys = ShellControlDefKeys();
  const struct {
    TFcShellControlDefKey key;
    const char* text;
    TShortCut shortCut;
  } expected[] = {
      {dkSelectAll, "Ctrl+A", 0x4041}, {dkDelete, "Del", VK_DELETE},  {dkCopy, "Ctrl+C", 0x4043},
      {dkCut, "Ctrl+X", 0x4058},       {dkPaste, "Ctrl+V", 0x4056},   {dkRefresh, "F5", VK_F5},
      {dkRename, "F2", VK_F2},
  };
  for (const auto& e : expected) {
    EXPECT_EQ(keys[e.key].KeyText, e.text);
    EXPECT_EQ(keys[e.key].ShortCut, e.shortCut) << e.text;
  }
}

// ---- Window helpers -------------------------------------------------------------------------------

TEST(ShellWindowHelpers, StylesFormsAndWheels) {
  TForm* form = TForm::CreateNew<TForm>(nullptr);
  std::unique_ptr<TForm> owner(form);
  form->SetBounds(0, 0, 300, 200);
  auto* panel = new TPanel(form);
  panel->SetParent(form);
  auto* memo = new TMemo(form);
  memo->SetParent(panel);
  memo->SetBounds(0, 0, 200, 60);
  memo->SetScrollBars(ssVertical);
  std::vector<std::string> lines;
  for (int i = 0; i < 100; ++i) lines.push_back(Format("line %d", i));
  memo->SetLineList(lines);

  EXPECT_EQ(GetTopFormHandle(memo), form->Handle());
  TPanel loose(nullptr);
  EXPECT_EQ(GetTopFormHandle(&loose), nullptr);

  HWND window = memo->Handle();
  SetWindowStyleBits(window, ES_READONLY | WS_BORDER, true);
  EXPECT_EQ(GetWindowLongPtrA(window, GWL_STYLE) & WS_BORDER, WS_BORDER);
  SetWindowStyleBits(window, WS_BORDER, false);
  EXPECT_EQ(GetWindowLongPtrA(window, GWL_STYLE) & WS_BORDER, 0);
  SetWindowStyleBits(nullptr, WS_BORDER, true);

  UINT wheelLines = 0;
  SystemParametersInfoA(SPI_GETWHEELSCROLLLINES, 0, &wheelLines, 0);
  ASSERT_NE(wheelLines, WHEEL_PAGESCROLL);
  EXPECT_TRUE(WheelScroll(memo, true, SB_LINEDOWN, SB_PAGEDOWN));
  EXPECT_EQ(SendMessageA(window, EM_GETFIRSTVISIBLELINE, 0, 0), static_cast<LRESULT>(wheelLines));
  // A bar with nothing to scroll does not move.
  EXPECT_TRUE(WheelScroll(memo, false, SB_LINERIGHT, SB_PAGERIGHT));
  EXPECT_EQ(SendMessageA(window, EM_GETFIRSTVISIBLELINE, 0, 0), static_cast<LRESULT>(wheelLines));

  TCursor before = Screen->Cursor();
  WaitWithHourglass(1);
  EXPECT_EQ(Screen->Cursor(), before);
  EXPECT_THROW(RaiseSystemError(ERROR_ACCESS_DENIED), EOSError);
}

}  // namespace
