// The shell list: what it lists and how, opening and changing its folder, the faults it keeps
// out, its columns and its stored layout (its drags: FcShellListDragTest.cpp).
#include <gtest/gtest.h>

#include <windows.h>
#include <dbt.h>
#include <shlobj.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "ControlTestSupport.h"
#include "FcViewsTestSupport.h"
#include "ShellListTestSupport.h"
#include "ShellTestSupport.h"
#include "platform/Guards.h"
#include "platform/Layout.h"
#include "shell/FcShellList.h"
#include "shell/FcShellRegister.h"

namespace {

// ---- Listing --------------------------------------------------------------------------------

TEST_F(ShellList, ListsTheFolderInTheShellsOrderWithItsColumns) {
  auto* list = MakeList();
  EXPECT_EQ(Names(list), kAllNames);

  // The columns the folder shows by default (five under Wine), asked of the folder here.
  TComPtr<IShellFolder> folder;
  ASSERT_EQ(ShellGetFolderFromIdList(list->Folder()->IdList(), folder.Out()), S_OK);
  TComPtr<IShellFolder2> folder2;
  ASSERT_EQ(folder->QueryInterface(IID_IShellFolder2, folder2.OutVoid()), S_OK);
  std::vector<std::string> captions;
  for (UINT i = 0;; ++i) {
    SHELLDETAILS details{};
    SHCOLSTATEF state = 0;
    if (FAILED(folder2->GetDetailsOf(nullptr, i, &details))) break;
    captions.push_back(StrRetToString(nullptr, details.str));
    StrRetFree(details.str);
    if (SUCCEEDED(folder2->GetDefaultColumnState(i, &state)) && !(state & SHCOLSTATE_ONBYDEFAULT)) captions.pop_back();
  }
  ASSERT_EQ(list->Columns()->Count(), static_cast<int>(captions.size()));
  EXPECT_EQ(captions.size(), 5u);
  for (int i = 0; i < list->Columns()->Count(); ++i) EXPECT_EQ(list->Columns()->Items(i)->Caption(), captions[i]);

  // The window's texts: names, and the folder's details of files and folders.
  TListItem* alpha = Find(list, "Alpha");
  TListItem* file = Find(list, "a.cfg");
  ASSERT_TRUE(alpha && file);
  EXPECT_EQ(CellText(list, alpha, 0), "Alpha");
  EXPECT_EQ(CellText(list, alpha, 1), "");
  EXPECT_NE(CellText(list, file, 1), "");
  EXPECT_NE(CellText(list, file, 2), "");
  EXPECT_NE(CellText(list, file, 2), CellText(list, alpha, 2));
  EXPECT_EQ(CellText(list, file, 9), "");

  // Hidden items only with sloShowHidden.
  list->SetOptions(list->Options() - sloShowHidden);
  EXPECT_EQ(Find(list, "secret.cfg"), nullptr);
  EXPECT_EQ(Names(list).size(), kAllNames.size() - 1);
}

TEST_F(ShellList, AColumnSortsBothWays) {
  auto* list = MakeList();
  std::vector<std::string> reversed(kAllNames.rbegin(), kAllNames.rend());
  EXPECT_EQ(list->SortColumn(), 1);
  ClickHeader(list, 0);
  EXPECT_EQ(list->SortColumn(), -1);
  EXPECT_EQ(Names(list), reversed);
  EXPECT_EQ(list->HeaderSortColumn(), 0);
  EXPECT_TRUE(list->HeaderSortDescending());
  ClickHeader(list, 0);
  EXPECT_EQ(list->SortColumn(), 1);
  EXPECT_EQ(Names(list), kAllNames);
  EXPECT_FALSE(list->HeaderSortDescending());

  // Another column starts ascending, and goes the other way on a second click.
  ClickHeader(list, 2);
  EXPECT_EQ(list->SortColumn(), 3);
  EXPECT_EQ(list->HeaderSortColumn(), 2);
  std::vector<std::string> ascending = Names(list);
  ClickHeader(list, 2);
  EXPECT_EQ(list->SortColumn(), -3);
  EXPECT_EQ(Names(list), std::vector<std::string>(ascending.rbegin(), ascending.rend()));

  // 0: the folder's own order, no arrow.
  list->SetSortColumn(0);
  EXPECT_EQ(list->HeaderSortColumn(), -1);
}

struct TFilterCase {
  const char* filter;
  std::vector<std::string> files;
};

TEST_F(ShellList, FilterMasksListEveryFolderAndTheMatchingFiles) {
  const TFilterCase cases[] = {
      {"*.cfg;*.txt", {"a.cfg", "B.TXT", "c.cfg", "secret.cfg"}},
      {" *.txt ; ; quenmar.EXE;", {"B.TXT", "Quenmar.exe"}},
      {"*.none", {}},
      {"", {"a.cfg", "B.TXT", "c.cfg", "Quenmar.exe", "secret.cfg"}},
      {"*", {"a.cfg", "B.TXT", "c.cfg", "Quenmar.exe", "secret.cfg"}},
      {"*.*", {"a.cfg", "B.TXT", "c.cfg", "Quenmar.exe", "secret.cfg"}},
  };
  auto* list = MakeList();
  for (const TFilterCase& c : cases) {
    list->SetFileFilter(c.filter);
    std::vector<std::string> expected = {"Alpha", "beta", "gamma"};
    expected.insert(expected.end(), c.files.begin(), c.files.end());
    EXPECT_EQ(Names(list), expected) << c.filter;
  }

  // A folder without a path is never filtered.
  list->SetFileFilter("");
  list->Folder()->SetCSIDL(CSIDL_DRIVES);
  int all = list->Items()->Count();
  EXPECT_GT(all, 0);
  list->SetFileFilter("*.cfg");
  EXPECT_EQ(list->Items()->Count(), all);
}

// ---- Opening ------------------------------------------------------------------------------------

TEST_F(ShellList, EnterAndDoubleClickOpenFoldersAndShortcutsToFoldersAndBackspaceGoesUp) {
  MakeShortcut(Path("to beta.lnk"), Path("beta"));
  MakeShortcut(Path("to a file.lnk"), Path("a.cfg"));
  auto* list = MakeList();
  int opened = 0;
  list->OnDblClickOpen = [&](TObject*, bool& handled) {
    ++opened;
    handled = true;
  };

  Pick(list, Find(list, "Alpha"));
  RealChord({VK_RETURN});
  EXPECT_EQ(FolderPath(list), Path("Alpha\\"));
  RealChord({VK_BACK});
  EXPECT_EQ(FolderPath(list), Dir());

  TListItem* link = Find(list, "to beta.lnk");
  ASSERT_NE(link, nullptr);
  Pick(list, link);
  RealDoubleClick(list, LabelCentre(link));
  EXPECT_EQ(FolderPath(list), Path("beta\\"));
  list->GoUp(1);
  EXPECT_EQ(FolderPath(list), Dir());

  RealDoubleClick(list, LabelCentre(Find(list, "gamma")));
  EXPECT_EQ(FolderPath(list), Path("gamma\\"));
  RealChord({VK_BACK});

  // A file, or a shortcut to one, is the handler's to open; the list stays.
  EXPECT_EQ(opened, 0);
  Pick(list, Find(list, "a.cfg"));
  RealChord({VK_RETURN});
  Pick(list, Find(list, "to a file.lnk"));
  list->OpenSelected();
  EXPECT_EQ(opened, 2);
  EXPECT_EQ(FolderPath(list), Dir());

  // Nothing moves with sloDontChangeFolder.
  list->SetOptions(list->Options() + sloDontChangeFolder);
  list->OpenItem(Find(list, "beta"));
  list->GoUp(1);
  EXPECT_EQ(FolderPath(list), Dir());
}

// ---- Changing the folder -------------------------------------------------------------------------

// Ends the edit under way with `text`, as a user typing it and pressing Enter would.
void TypeIntoEdit(TFcCustomShellList* list, const std::string& text) {
  HWND edit = list->EditHandle();
  ASSERT_NE(edit, nullptr);
  SetWindowTextA(edit, text.c_str());
  RealChord({VK_RETURN});
}

TEST_F(ShellList, ANewFolderIsMadeOnDiskAndRenamedThere) {
  auto* list = MakeList();
  int before = list->Items()->Count();
  ASSERT_TRUE(list->CreateNewFolder(true));
  EXPECT_TRUE(DirectoryExists(Path("New Folder")));
  ASSERT_TRUE(LoopUntil([&] { return list->IsEditing(); }, 3000));
  char shown[MAX_PATH] = {};
  GetWindowTextA(list->EditHandle(), shown, sizeof shown);
  EXPECT_STREQ(shown, "New Folder");
  TypeIntoEdit(list, "Demos");
  EXPECT_TRUE(DirectoryExists(Path("Demos")));
  EXPECT_FALSE(DirectoryExists(Path("New Folder")));
  // Whatever the change notices bring: one item of the new name, none of the old.
  Pump(100);
  std::vector<std::string> names = Names(list);
  EXPECT_EQ(std::count(names.begin(), names.end(), "Demos"), 1);
  EXPECT_EQ(list->Items()->Count(), before + 1);
  TListItem* demos = Find(list, "Demos");
  ASSERT_NE(demos, nullptr);
  EXPECT_EQ(demos->Caption(), "Demos");
}

TEST_F(ShellList, NoNewFolderOutsideTheFileSystem) {
  // Made nowhere: not in My Computer, and not in the process's current folder either.
  std::string current = MakeFolder("current");
  ASSERT_TRUE(SetCurrentDirectoryA(current.c_str()));
  auto* list = MakeList();
  list->Folder()->SetCSIDL(CSIDL_DRIVES);
  EXPECT_FALSE(list->CreateNewFolder(false));
  EXPECT_FALSE(DirectoryExists(current + "\\New Folder"));
  SetCurrentDirectoryA(savedDir_.c_str());
}

TEST_F(ShellList, F2RenamesTheFocusedItemOnDisk) {
  auto* list = MakeList();
  TListItem* item = Find(list, "c.cfg");
  Pick(list, item);
  RealChord({VK_F2});
  ASSERT_TRUE(list->IsEditing());
  TypeIntoEdit(list, "  d.cfg ");
  EXPECT_TRUE(FileExists(Path("d.cfg")));
  EXPECT_FALSE(FileExists(Path("c.cfg")));
  EXPECT_EQ(list->ShellData(item)->FileName(), "d.cfg");
  EXPECT_EQ(CellText(list, item, 0), item->Caption());
  EXPECT_NE(item->Caption().find("d"), std::string::npos);
}

TEST_F(ShellList, DelDeletesTheSelectionOnceTheShellsQuestionIsAnswered) {
  auto* list = MakeList();
  Pick(list, Find(list, "B.TXT"));
  TBoxAnswerer yes("Confirm file deletion", IDYES);
  RealChord({VK_DELETE});
  EXPECT_TRUE(yes.Seen().found);
  EXPECT_FALSE(FileExists(Path("B.TXT")));
  EXPECT_EQ(Find(list, "B.TXT"), nullptr);
  EXPECT_NE(Find(list, "a.cfg"), nullptr);
}

TEST_F(ShellList, CtrlCPutsTheSelectedFilesOnTheClipboard) {
  auto* list = MakeList();
  list->SetMultiSelect(true);
  Pick(list, Find(list, "a.cfg"));
  Find(list, "c.cfg")->SetSelected(true);
  RealChord({VK_CONTROL, 'C'});
  ASSERT_TRUE(OpenClipboard(nullptr));
  std::vector<std::string> files;
  if (auto drop = static_cast<HDROP>(GetClipboardData(CF_HDROP))) {
    UINT n = DragQueryFileA(drop, 0xFFFFFFFF, nullptr, 0);
    for (UINT i = 0; i < n; ++i) {
      char name[MAX_PATH] = {};
      DragQueryFileA(drop, i, name, sizeof name);
      files.push_back(name);
    }
  }
  EmptyClipboard();
  CloseClipboard();
  EXPECT_EQ(files, (std::vector<std::string>{Path("a.cfg"), Path("c.cfg")}));
}

TEST_F(ShellList, FoldersMadeAndRemovedInTheListedFolderComeAndGo) {
  auto* list = MakeList();
  list->SetFocus();
  Pump();
  TListItem* alpha = Find(list, "Alpha");
  TListItem* file = Find(list, "a.cfg");
  std::string size = CellText(list, file, 1);
  int fills = 0;
  list->OnFillStart = [&](TObject*) { ++fills; };
  // Items that only changed stay: a folder looked into, a file written to.
  {
    THandleGuard folder(CreateFileA(Path("Alpha").c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                    nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    FILETIME accessed{0x12345678, 0x01C00000};
    ASSERT_TRUE(SetFileTime(folder.Get(), nullptr, &accessed, nullptr));
  }
  ASSERT_TRUE(WriteFileBytes(Path("a.cfg"), std::string(20000, 'x')));

  ASSERT_TRUE(CreateDirectoryA(Path("arrived").c_str(), nullptr));
  DWORD start = GetTickCount();
  EXPECT_TRUE(LoopUntil([&] { return Find(list, "arrived") != nullptr; }, 3000));
  // With the focus the list waits a little for more changes, then merges.
  EXPECT_GE(GetTickCount() - start, 300u);
  EXPECT_LE(GetTickCount() - start, 1500u);
  EXPECT_EQ(Find(list, "Alpha"), alpha);
  EXPECT_EQ(Find(list, "a.cfg"), file);
  EXPECT_NE(CellText(list, file, 1), size);

  ASSERT_TRUE(RemoveDirectoryA(Path("beta").c_str()));
  EXPECT_TRUE(LoopUntil([&] { return Find(list, "beta") == nullptr; }, 3000));
  EXPECT_EQ(Find(list, "Alpha"), alpha);
  EXPECT_GE(fills, 2);
}

TEST_F(ShellList, ARefreshWaitsForTheEditToEnd) {
  auto* list = MakeList();
  TListItem* item = Find(list, "a.cfg");
  Pick(list, item);
  RealChord({VK_F2});
  ASSERT_TRUE(list->IsEditing());
  ASSERT_TRUE(CreateDirectoryA(Path("meanwhile").c_str(), nullptr));
  SendMessageA(list->Handle(), TFcCustomShellList::CM_SHELLCHANGENOTIFY, 0, 0);
  Pump(100);
  EXPECT_EQ(Find(list, "meanwhile"), nullptr);
  EXPECT_TRUE(list->IsEditing());
  RealChord({VK_ESCAPE});
  EXPECT_TRUE(LoopUntil([&] { return Find(list, "meanwhile") != nullptr; }, 2000));
  EXPECT_EQ(Find(list, "a.cfg"), item);
}

TEST_F(ShellList, ADriveArrivingRefillsTheDrivesFolderOnly) {
  auto* list = MakeList();
  int fills = 0;
  list->OnFillStart = [&](TObject*) { ++fills; };
  HWND notifier = ShellDeviceChangeHandler()->Handle();
  SendMessageA(notifier, WM_DEVICECHANGE, DBT_DEVICEARRIVAL, 0);
  Pump();
  EXPECT_EQ(fills, 0);
  list->Folder()->SetCSIDL(CSIDL_DRIVES);
  fills = 0;
  SendMessageA(notifier, WM_DEVICECHANGE, DBT_DEVICEREMOVECOMPLETE, 0);
  Pump();
  EXPECT_EQ(fills, 1);
}

TEST_F(ShellList, TheSelectionsContextMenuIsTheShells) {
  auto* list = MakeList();
  auto recording = std::make_unique<TRecordingMenu>(nullptr);
  list->SetPopupMenu(recording.get());
  std::vector<TListItem*> asked;
  list->OnItemContextMenu = [&](TObject*, TListItem* item, POINT&, TPopupMenu*&) { asked.push_back(item); };
  TListItem* item = Find(list, "a.cfg");
  Pick(list, item);
  TShownMenu menu = CloseNextPopupMenu([] { RealChord({VK_SHIFT, VK_F10}); });
  ASSERT_TRUE(menu.shown);
  Pump(10);
  const std::vector<UINT>& ids = menu.ids;
  EXPECT_EQ(asked, std::vector<TListItem*>{item});
  EXPECT_TRUE(recording->shown.empty());
  // The shell's commands, numbered from 1000 on.
  EXPECT_TRUE(std::any_of(ids.begin(), ids.end(), [](UINT id) { return id >= 1000 && id != UINT(-1); }));
}

// ---- Faults kept out ---------------------------------------------------------------------------

// A shell folder of the test's own: items made by hand, an enumeration that ends as the test
// says, and nothing else (no details, no IShellFolder2).
class TFakeFolder : public TFcComObject<IShellFolder> {
 public:
  TFakeFolder() : TFcComObject(IID_IShellFolder) {}
  // EnumObjects' answer; with `noEnumerator` it gives none.
  HRESULT enumResult = S_OK;
  bool noEnumerator = false;
  // What Next answers once the items are gone.
  HRESULT endResult = S_FALSE;
  std::vector<std::string> items;

  class TEnum : public TFcComObject<IEnumIDList> {
   public:
    explicit TEnum(TFakeFolder* folder) : TFcComObject(IID_IEnumIDList), folder_(folder) { folder->AddRef(); }
    ~TEnum() override { folder_->Release(); }
    HRESULT STDMETHODCALLTYPE Next(ULONG count, PITEMID_CHILD* out, ULONG* fetched) override {
      ULONG n = 0;
      while (n < count && next_ < folder_->items.size()) {
        const std::string& bytes = folder_->items[next_++];
        out[n++] = CopyIdList(nullptr, AsList(bytes));
      }
      if (fetched) *fetched = n;
      return n == count ? S_OK : folder_->endResult;
    }
    HRESULT STDMETHODCALLTYPE Skip(ULONG) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Reset() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Clone(IEnumIDList**) override { return E_NOTIMPL; }

   private:
    TFakeFolder* folder_;
    std::size_t next_ = 0;
  };

  HRESULT STDMETHODCALLTYPE ParseDisplayName(HWND, IBindCtx*, LPWSTR, ULONG*, PIDLIST_RELATIVE*, ULONG*) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE EnumObjects(HWND, SHCONTF, IEnumIDList** list) override {
    *list = noEnumerator || FAILED(enumResult) ? nullptr : new TEnum(this);
    return enumResult;
  }
  HRESULT STDMETHODCALLTYPE BindToObject(PCUIDLIST_RELATIVE, IBindCtx*, REFIID, void** out) override {
    *out = nullptr;
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE BindToStorage(PCUIDLIST_RELATIVE, IBindCtx*, REFIID, void** out) override {
    *out = nullptr;
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE CompareIDs(LPARAM, PCUIDLIST_RELATIVE a, PCUIDLIST_RELATIVE b) override {
    int r = std::memcmp(a, b, std::min(IdListSize(a), IdListSize(b)));
    return MAKE_HRESULT(SEVERITY_SUCCESS, 0, static_cast<unsigned short>(r < 0 ? -1 : r > 0 ? 1 : 0));
  }
  HRESULT STDMETHODCALLTYPE CreateViewObject(HWND, REFIID, void** out) override {
    *out = nullptr;
    return E_NOINTERFACE;
  }
  HRESULT STDMETHODCALLTYPE GetAttributesOf(UINT, PCUITEMID_CHILD_ARRAY, SFGAOF* attributes) override {
    *attributes &= SFGAO_FILESYSTEM;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetUIObjectOf(HWND, UINT, PCUITEMID_CHILD_ARRAY, REFIID, UINT*, void** out) override {
    *out = nullptr;
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE GetDisplayNameOf(PCUITEMID_CHILD, SHGDNF, STRRET*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE SetNameOf(HWND, PCUITEMID_CHILD, LPCWSTR, SHGDNF, PITEMID_CHILD*) override {
    return E_NOTIMPL;
  }
};

TEST_F(ShellList, AnEnumerationThatGivesNoEnumeratorIsAnEmptyFolder) {
  auto* list = MakeList();
  TComPtr<TFakeFolder> folder(new TFakeFolder);
  folder->items = {ListBytes({"one"}), ListBytes({"two"})};
  folder->noEnumerator = true;
  list->Items()->Clear();
  for (HRESULT answer : {S_OK, S_FALSE}) {
    folder->enumResult = answer;
    list->FillItems(folder.Get(), nullptr);
    EXPECT_EQ(list->Items()->Count(), 0) << answer;
    EXPECT_EQ(list->ListFolder(), folder.Get());
  }
  // The same folder with an enumerator lists its items; the merge finds them gone when the
  // enumerator is missing again.
  folder->noEnumerator = false;
  list->FillItems(folder.Get(), nullptr);
  EXPECT_EQ(list->Items()->Count(), 2);
  folder->noEnumerator = true;
  list->RefreshItems();
  EXPECT_EQ(list->Items()->Count(), 0);
}

TEST_F(ShellList, AFailedEnumerationKeepsTheFolderBeforeAndEndsTheFill) {
  auto* list = MakeList();
  LPCITEMIDLIST before = list->ListFolderIdList();
  IShellFolder* beforeFolder = list->ListFolder();
  int started = 0, completed = 0;
  list->OnFillStart = [&](TObject*) { ++started; };
  list->OnFillComplete = [&](TObject*) { ++completed; };
  TComPtr<TFakeFolder> folder(new TFakeFolder);
  folder->items = {ListBytes({"one"})};
  folder->endResult = E_UNEXPECTED;
  std::string other = ListBytes({"other"});
  EXPECT_THROW(list->FillItems(folder.Get(), AsList(other)), EOleSysError);
  EXPECT_EQ(started, 1);
  EXPECT_EQ(completed, 1);
  EXPECT_EQ(list->ListFolder(), beforeFolder);
  EXPECT_EQ(CompareIdLists(list->ListFolderIdList(), before), 0);
  // E_FAIL ends the listing without a word.
  list->Items()->Clear();
  folder->endResult = E_FAIL;
  EXPECT_NO_THROW(list->FillItems(folder.Get(), nullptr));
  EXPECT_EQ(list->Items()->Count(), 0);
}

TEST_F(ShellList, TheCursorAndTheListsOwnStateComeBackAfterAFailedFill) {
  auto* list = MakeList();
  int changes = 0;
  list->OnChange = [&](TObject*, TListItem*, TItemChange) { ++changes; };
  TCursor before = Screen->Cursor();
  // A file is no folder to bind.
  EXPECT_THROW(list->Folder()->SetPathName(Path("a.cfg")), EOleSysError);
  EXPECT_EQ(Screen->Cursor(), before);
  // The list is itself again: a fill works and the user's selections are told.
  list->Folder()->SetPathName(Dir());
  EXPECT_EQ(Names(list), kAllNames);
  EXPECT_EQ(Screen->Cursor(), before);
  changes = 0;
  Pick(list, Find(list, "beta"));
  EXPECT_GT(changes, 0);
}

// A context menu of fixed verbs that notes which it runs.
class TFakeMenu : public TFcComObject<IContextMenu> {
 public:
  TFakeMenu() : TFcComObject(IID_IContextMenu) {}
  std::vector<std::string> verbs = {"open", "copy", "delete"};
  std::vector<UINT_PTR> invoked;
  HRESULT STDMETHODCALLTYPE QueryContextMenu(HMENU menu, UINT, UINT first, UINT, UINT) override {
    for (UINT i = 0; i < verbs.size(); ++i) AppendMenuA(menu, MF_STRING, first + i, verbs[i].c_str());
    return MAKE_HRESULT(SEVERITY_SUCCESS, 0, verbs.size());
  }
  HRESULT STDMETHODCALLTYPE InvokeCommand(CMINVOKECOMMANDINFO* info) override {
    invoked.push_back(reinterpret_cast<UINT_PTR>(info->lpVerb));
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetCommandString(UINT_PTR offset, UINT type, UINT*, LPSTR name, UINT size) override {
    if (offset >= verbs.size() || type != GCS_VERBA) return E_INVALIDARG;
    lstrcpynA(name, verbs[offset].c_str(), static_cast<int>(size));
    return S_OK;
  }
};

TEST_F(ShellList, AVerbTheMenuLacksRunsNothing) {
  auto* list = MakeList();
  TComPtr<TFakeMenu> menu(new TFakeMenu);
  list->selectionObject = [&](REFIID iid, void** object) {
    EXPECT_TRUE(IsEqualIID(iid, IID_IContextMenu));
    *object = menu.AddRefed();
    return S_OK;
  };
  Pick(list, Find(list, "a.cfg"));
  EXPECT_EQ(list->ExecuteVerbOnSelection("paste"), HRESULT_FROM_WIN32(ERROR_NOT_FOUND));
  EXPECT_TRUE(menu->invoked.empty());
  // Ctrl+X asks for "cut", which this menu lacks: nothing runs either.
  RealChord({VK_CONTROL, 'X'});
  EXPECT_TRUE(menu->invoked.empty());
  EXPECT_EQ(list->ExecuteVerbOnSelection("Delete"), S_OK);
  EXPECT_EQ(menu->invoked, (std::vector<UINT_PTR>{2}));
}

// ---- Columns without the shell's details ------------------------------------------------------------

// Writes (or with an empty value removes) the Explorer's widths of the default columns.
void SetDirectoryCols(const std::vector<WORD>& widths) {
  HKEY key = nullptr;
  ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer", 0, nullptr,
                            0, KEY_WRITE, nullptr, &key, nullptr),
            ERROR_SUCCESS);
  if (widths.empty())
    RegDeleteValueA(key, "DirectoryCols");
  else
    RegSetValueExA(key, "DirectoryCols", 0, REG_BINARY, reinterpret_cast<const BYTE*>(widths.data()),
                   static_cast<DWORD>(widths.size() * sizeof(WORD)));
  RegCloseKey(key);
}

std::vector<int> Widths(TCustomListView* list) {
  std::vector<int> widths;
  for (int i = 0; i < list->Columns()->Count(); ++i) widths.push_back(list->Columns()->Items(i)->Width());
  return widths;
}

TEST_F(ShellList, AFolderWithoutDetailsGetsTheFourDefaultColumnsAtTheExplorersWidths) {
  struct Cleanup {
    ~Cleanup() { SetDirectoryCols({}); }
  } cleanup;
  TComPtr<TFakeFolder> folder(new TFakeFolder);
  folder->items = {ListBytes({"one"})};
  SetDirectoryCols({151, 61, 101, 121, 51});
  auto* first = MakeList();
  first->SetFillLastColumn(false);
  first->Items()->Clear();
  first->FillItems(folder.Get(), nullptr);
  std::vector<std::string> captions;
  for (int i = 0; i < first->Columns()->Count(); ++i) captions.push_back(first->Columns()->Items(i)->Caption());
  EXPECT_EQ(captions, (std::vector<std::string>{"Name", "Size", "Type", "Modified"}));
  EXPECT_EQ(first->Columns()->Items(1)->Alignment(), taRightJustify);
  EXPECT_EQ(Widths(first), (std::vector<int>{151, 61, 101, 121}));
  // The item has its three detail columns, empty for an item without a path.
  TListItem* item = first->Items()->Item(0);
  EXPECT_EQ(item->SubItemCount(), 3);

  // Widths the user gave are what the next list starts with while the Explorer's stay as
  // they were.
  for (int i = 0; i < 4; ++i) first->Columns()->Items(i)->SetWidth(70 + i);
  first->FillItems(folder.Get(), nullptr);
  EXPECT_EQ(Widths(first), (std::vector<int>{70, 71, 72, 73}));
  delete first;
  auto* second = MakeList();
  second->SetFillLastColumn(false);
  second->FillItems(folder.Get(), nullptr);
  EXPECT_EQ(Widths(second), (std::vector<int>{70, 71, 72, 73}));

  // New Explorer widths win again; without the value the preset ones.
  SetDirectoryCols({152, 62, 102, 122});
  second->FillItems(folder.Get(), nullptr);
  EXPECT_EQ(Widths(second), (std::vector<int>{152, 62, 102, 122}));
  SetDirectoryCols({});
  second->FillItems(folder.Get(), nullptr);
  EXPECT_EQ(Widths(second), (std::vector<int>{200, 60, 100, 120}));
}

// The window's own picture of the form's client area, as the screen shows it.
std::vector<COLORREF> ScreenPixels(TForm* form) {
  form->Update();
  Pump();
  std::unique_ptr<TBitmap> shot = ScreenCopy(form);
  std::vector<COLORREF> pixels;
  for (int y = 0; y < shot->Height(); ++y)
    for (int x = 0; x < shot->Width(); ++x) pixels.push_back(PixelAt(*shot, x, y));
  return pixels;
}

std::vector<int> ShownWidths(TCustomListView* list) {
  std::vector<int> widths;
  for (int i = 0; i < list->Columns()->Count(); ++i)
    widths.push_back(static_cast<int>(SendMessageA(list->Handle(), LVM_GETCOLUMNWIDTH, static_cast<WPARAM>(i), 0)));
  return widths;
}

// The Details view chosen after the List view: the columns come at the widths the user gave in
// the last Details view (widths read while no column showed are no widths), the last column
// fills what is left, and the window shows the rows anew: the first below the header, the
// cells filled.
TEST_F(ShellList, DetailsChosenAfterTheListShowsTheColumnsAtTheirWidthsAndTheFirstRowFilled) {
  const std::vector<int> given = {150, 80, 90, 100};
  auto firstFour = [](std::vector<int> widths) {
    widths.resize(4);
    return widths;
  };
  auto* first = MakeList();
  for (int i = 0; i < 4; ++i) first->Columns()->Items(i)->SetWidth(given[static_cast<std::size_t>(i)]);
  first->Folder()->SetPathName(Path("Alpha"));
  delete first;

  auto* list = Put<TTestShellList>(form_.get(), 8, 8, 600, 380);
  list->SetViewStyle(vsList);
  list->HandleNeeded();
  list->Folder()->SetPathName(Dir());
  // Away and back, and a new window, while no column shows.
  list->Folder()->SetPathName(Path("Alpha"));
  list->Folder()->SetPathName(Dir());
  list->RecreateWnd();
  list->HandleNeeded();
  Pump();
  ASSERT_NE(Find(list, "a.cfg"), nullptr);
  list->SetViewStyle(vsReport);
  std::vector<COLORREF> shown = ScreenPixels(form_.get());
  std::vector<int> widths = ShownWidths(list);
  ASSERT_EQ(widths.size(), 5u);
  EXPECT_EQ(firstFour(widths), given);
  int total = 0;
  for (int w : widths) total += w;
  EXPECT_GE(total, list->ClientWidth() - GetSystemMetrics(SM_CXVSCROLL)) << "the last column fills the width";

  // The first row at the top, below the header; what shows is what the list paints afresh.
  EXPECT_EQ(SendMessageA(list->Handle(), LVM_GETTOPINDEX, 0, 0), 0);
  RECT row{};
  row.left = LVIR_BOUNDS;
  SendMessageA(list->Handle(), LVM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&row));
  RECT header{};
  GetWindowRect(list->HeaderHandle(), &header);
  MapWindowPoints(nullptr, list->Handle(), reinterpret_cast<POINT*>(&header), 2);
  EXPECT_GE(row.top, header.bottom);
  TListItem* file = Find(list, "a.cfg");
  for (int column = 0; column < 3; ++column) EXPECT_NE(CellText(list, file, column), "") << column;
  RedrawWindow(list->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
  EXPECT_TRUE(ScreenPixels(form_.get()) == shown) << "the view left its old picture on the screen";

  // The next list finds the widths the user gave.
  auto* next = MakeList();
  EXPECT_EQ(firstFour(ShownWidths(next)), given);
}

// ---- Stored layouts ---------------------------------------------------------------------------------

TEST_F(ShellList, TheListIsMadeFromAStoredLayout) {
  std::unique_ptr<TForm> root(TForm::CreateNew<TForm>(nullptr));
  auto* list = new TFcShellList(root.get());
  list->SetName("Files");
  list->SetParent(root.get());
  list->SetFileFilter("*.cfg");
  list->SetOptions(list->Options() - sloShowHidden + sloDontChangeFolder);
  list->Folder()->SetPathName(Dir());
  std::string layout = WriteLayout(root.get());
  // The system's image lists are the list's own business.
  EXPECT_EQ(layout.find("Images"), std::string::npos) << layout;

  std::unique_ptr<TForm> again(TForm::CreateNew<TForm>(nullptr));
  ReadLayout(again.get(), layout);
  auto* read = dynamic_cast<TFcShellList*>(again->FindComponent("Files"));
  ASSERT_NE(read, nullptr) << layout;
  EXPECT_EQ(read->FileFilter(), "*.cfg");
  EXPECT_EQ(read->FileMasks(), (std::vector<std::string>{"*.cfg"}));
  EXPECT_EQ(read->Options(), list->Options());
  EXPECT_TRUE(read->Folder()->IsEqual(list->Folder())) << layout;
  EXPECT_EQ(read->SortColumn(), 1);
}

}  // namespace
