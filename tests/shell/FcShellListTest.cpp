#include <gtest/gtest.h>

#include <windows.h>
#include <shlobj.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "ControlTestSupport.h"
#include "FcViewsTestSupport.h"
#include "ShellTestSupport.h"
#include "platform/Layout.h"
#include "shell/FcShellList.h"

namespace {

// A shell list whose shell objects a test may replace, and whose protected steps it runs.
class TTestShellList : public TFcShellList {
 public:
  using TFcShellList::TFcShellList;
  using TFcShellList::FillItems;
  void StartDrag(TListItem* item, TMouseButton button) { BeginItemDrag(item, button); }

  std::function<HRESULT(REFIID, void**)> selectionObject;
  std::function<HRESULT(TListItem*, REFIID, void**)> itemObject;

 protected:
  HRESULT GetSelectionUIObject(REFIID iid, void** object) override {
    return selectionObject ? selectionObject(iid, object) : TFcShellList::GetSelectionUIObject(iid, object);
  }
  HRESULT GetItemUIObject(TListItem* item, REFIID iid, void** object) override {
    return itemObject ? itemObject(item, iid, object) : TFcShellList::GetItemUIObject(item, iid, object);
  }
};

// A shown form and a scratch folder for each test: folders Alpha, beta and gamma, files
// a.cfg, B.TXT, c.cfg, Quenmar.exe and a hidden secret.cfg. The process's current folder is
// the same afterwards.
class ShellList : public ShellScratch {
 protected:
  void SetUp() override {
    ShellScratch::SetUp();
    RegisterFcShellList();
    char dir[MAX_PATH] = {};
    GetCurrentDirectoryA(MAX_PATH, dir);
    savedDir_ = dir;
    for (const char* name : {"Alpha", "beta", "gamma"}) MakeFolder(name);
    for (const char* name : {"a.cfg", "B.TXT", "c.cfg", "Quenmar.exe", "secret.cfg"}) MakeFile(name, "1234");
    SetFileAttributesA((Dir() + "secret.cfg").c_str(), FILE_ATTRIBUTE_HIDDEN);
    form_.reset(TForm::CreateNew<TForm>(nullptr));
    form_->SetBounds(60, 60, 640, 440);
    form_->Show();
    SetForegroundWindow(form_->Handle());
    Pump();
  }
  void TearDown() override {
    // The list watches the folder: it goes first.
    form_.reset();
    char dir[MAX_PATH] = {};
    GetCurrentDirectoryA(MAX_PATH, dir);
    EXPECT_EQ(std::string(dir), savedDir_);
    SetCurrentDirectoryA(savedDir_.c_str());
    ShellScratch::TearDown();
  }

  // A report list on the form, listing `folder` (the scratch folder when empty).
  TTestShellList* MakeList(const std::string& folder = std::string()) {
    auto* list = Put<TTestShellList>(form_.get(), 8, 8, 600, 380);
    list->SetViewStyle(vsReport);
    list->HandleNeeded();
    list->Folder()->SetPathName(folder.empty() ? Dir() : folder);
    Pump();
    return list;
  }

  // The file names of the list's shell items, in order.
  static std::vector<std::string> Names(TFcCustomShellList* list) {
    std::vector<std::string> names;
    for (int i = 0; i < list->Items()->Count(); ++i)
      if (TFcShellListData* data = list->ShellData(list->Items()->Item(i))) names.push_back(data->FileName());
    return names;
  }
  static TListItem* Find(TFcCustomShellList* list, const std::string& name) {
    for (int i = 0; i < list->Items()->Count(); ++i) {
      TListItem* item = list->Items()->Item(i);
      TFcShellListData* data = list->ShellData(item);
      if (data && SameText(data->FileName(), name)) return item;
    }
    return nullptr;
  }
  // What the list's window shows in a column, asked as the system asks.
  static std::string CellText(TFcCustomShellList* list, TListItem* item, int column) {
    char text[MAX_PATH] = {};
    LVITEMA query{};
    query.iSubItem = column;
    query.pszText = text;
    query.cchTextMax = sizeof text;
    SendMessageA(list->Handle(), LVM_GETITEMTEXTA, static_cast<WPARAM>(item->Index()), reinterpret_cast<LPARAM>(&query));
    return text;
  }
  // Selects the item alone and gives the list the focus.
  static void Pick(TFcCustomShellList* list, TListItem* item) {
    list->SetFocus();
    list->SetSelected(item);
    Pump();
  }
  std::string Path(const std::string& name) const { return Dir() + name; }
  std::string FolderPath(TFcCustomShellList* list) const {
    return AppendCharIfMissing(list->Folder()->PathName(), '\\');
  }

  std::unique_ptr<TForm> form_;
  std::string savedDir_;
};

const std::vector<std::string> kAllNames = {"Alpha", "beta",        "gamma",     "a.cfg",
                                            "B.TXT", "c.cfg", "Quenmar.exe", "secret.cfg"};

// ---- Listing --------------------------------------------------------------------------------

TEST_F(ShellList, ListsTheFolderInTheShellsOrderWithItsColumns) {
  std::vector<std::string> started;
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
  auto click = [&](int column) {
    HWND header = list->HeaderHandle();
    RECT r;
    SendMessageA(header, HDM_GETITEMRECT, static_cast<WPARAM>(column), reinterpret_cast<LPARAM>(&r));
    LPARAM at = MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    SendMessageA(header, WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageA(header, WM_LBUTTONUP, 0, at);
    Pump();
  };
  EXPECT_EQ(list->SortColumn(), 1);
  click(0);
  EXPECT_EQ(list->SortColumn(), -1);
  EXPECT_EQ(Names(list), reversed);
  EXPECT_EQ(list->HeaderSortColumn(), 0);
  EXPECT_TRUE(list->HeaderSortDescending());
  click(0);
  EXPECT_EQ(list->SortColumn(), 1);
  EXPECT_EQ(Names(list), kAllNames);
  EXPECT_FALSE(list->HeaderSortDescending());

  // Another column starts ascending, and goes the other way on a second click.
  click(2);
  EXPECT_EQ(list->SortColumn(), 3);
  EXPECT_EQ(list->HeaderSortColumn(), 2);
  std::vector<std::string> ascending = Names(list);
  click(2);
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

// A double click of the left button through the system's input.
void RealDoubleClick(TControl* control, POINT at) {
  POINT screen = control->ClientToScreen(at);
  SetCursorPos(screen.x, screen.y);
  Pump();
  INPUT in[4] = {};
  for (int i = 0; i < 4; ++i) {
    in[i].type = INPUT_MOUSE;
    in[i].mi.dwFlags = i % 2 == 0 ? MOUSEEVENTF_LEFTDOWN : MOUSEEVENTF_LEFTUP;
  }
  SendInput(4, in, sizeof(INPUT));
  Pump(10);
}

POINT LabelCentre(TListItem* item) {
  RECT r = item->DisplayRect(drLabel);
  return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

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
  PressKeys({VK_RETURN});
  EXPECT_EQ(FolderPath(list), Path("Alpha\\"));
  PressKeys({VK_BACK});
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
  PressKeys({VK_BACK});

  // A file, or a shortcut to one, is the handler's to open; the list stays.
  EXPECT_EQ(opened, 0);
  Pick(list, Find(list, "a.cfg"));
  PressKeys({VK_RETURN});
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
  PressKeys({VK_RETURN});
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
  PressKeys({VK_F2});
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
  PressKeys({VK_DELETE});
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
  PressKeys({VK_CONTROL, 'C'});
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
  int fills = 0;
  list->OnFillStart = [&](TObject*) { ++fills; };

  ASSERT_TRUE(CreateDirectoryA(Path("arrived").c_str(), nullptr));
  DWORD start = GetTickCount();
  EXPECT_TRUE(LoopUntil([&] { return Find(list, "arrived") != nullptr; }, 3000));
  // With the focus the list waits a little for more changes, then merges.
  EXPECT_GE(GetTickCount() - start, 300u);
  EXPECT_LE(GetTickCount() - start, 1500u);
  EXPECT_EQ(Find(list, "Alpha"), alpha);
  EXPECT_EQ(Find(list, "a.cfg"), file);

  ASSERT_TRUE(RemoveDirectoryA(Path("beta").c_str()));
  EXPECT_TRUE(LoopUntil([&] { return Find(list, "beta") == nullptr; }, 3000));
  EXPECT_EQ(Find(list, "Alpha"), alpha);
  EXPECT_GE(fills, 2);
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
  PressKeys({VK_CONTROL, 'X'});
  EXPECT_TRUE(menu->invoked.empty());
  EXPECT_EQ(list->ExecuteVerbOnSelection("Delete"), S_OK);
  EXPECT_EQ(menu->invoked, (std::vector<UINT_PTR>{2}));
}

}  // namespace
