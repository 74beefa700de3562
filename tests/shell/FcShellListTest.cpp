#include <gtest/gtest.h>

#include <windows.h>
#include <dbt.h>
#include <shlobj.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "ControlTestSupport.h"
#include "EventLog.h"
#include "FcViewsTestSupport.h"
#include "ShellDragTestSupport.h"
#include "ShellTestSupport.h"
#include "platform/Guards.h"
#include "platform/Layout.h"
#include "shell/FcShellDragDrop.h"
#include "shell/FcShellList.h"
#include "shell/FcShellRegister.h"

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
    RegisterShellControls();
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
    SendMessageA(list->Handle(), LVM_GETITEMTEXTA, static_cast<WPARAM>(item->Index()),
                 reinterpret_cast<LPARAM>(&query));
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

// The scratch folder's items in the shell's order: folders first, then files, by name.
const std::vector<std::string> kAllNames = {"Alpha", "beta",  "gamma",       "a.cfg",
                                            "B.TXT", "c.cfg", "Quenmar.exe", "secret.cfg"};

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
  TBitmap shot(form->ClientWidth(), form->ClientHeight());
  {
    TWindowDC client(form->Handle());
    BitBlt(shot.Canvas()->Handle(), 0, 0, shot.Width(), shot.Height(), client, 0, 0, SRCCOPY);
  }
  std::vector<COLORREF> pixels;
  for (int y = 0; y < shot.Height(); ++y)
    for (int x = 0; x < shot.Width(); ++x) pixels.push_back(PixelAt(shot, x, y));
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

// ---- Drag and drop --------------------------------------------------------------------------------

// Lets go whatever a drag that went wrong may have left pressed, so that the next drag starts
// afresh.
void ReleaseAll(const std::vector<WORD>& keys) {
  SendKeys(keys, false);
  if (GetAsyncKeyState(VK_LBUTTON) & 0x8000) SendMouseButton(mbLeft, false);
  if (GetAsyncKeyState(VK_RBUTTON) & 0x8000) SendMouseButton(mbRight, false);
  LoopUntil([] { return (GetKeyState(VK_LBUTTON) & 0x8000) == 0 && (GetKeyState(VK_RBUTTON) & 0x8000) == 0; }, 1000);
  Pump();
}

// A window of the test's own beside the form, taking drops through a shell control's kind of
// drop target.
class TDropWindow {
 public:
  TDropWindow() {
    WNDCLASSA wc{};
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "ShellListDropWindow";
    RegisterClassA(&wc);
    window_ = CreateWindowExA(WS_EX_TOPMOST, wc.lpszClassName, "drop here", WS_POPUP | WS_VISIBLE, 800, 200, 200,
                              200, nullptr, nullptr, wc.hInstance, nullptr);
    target_.Reset(new TDropTarget_shtv(&handler));
    RegisterDragDrop(window_, target_.Get());
  }
  ~TDropWindow() {
    RevokeDragDrop(window_);
    target_->Detach();
    DestroyWindow(window_);
  }
  POINT Centre() const { return POINT{900, 300}; }
  HWND Handle() const { return window_; }
  TKeyedHandler handler;

 private:
  HWND window_ = nullptr;
  TComPtr<TDropTarget_shtv> target_;
};

struct TDragCase {
  const char* what;
  const char* item;
  TMouseButton button;
  std::vector<WORD> keys;
  DWORD keyBits;
  DWORD effect;
};

TEST_F(ShellList, ItemsDraggedToAnotherWindowGoAsShellItemsWithTheEffectTheKeysChoose) {
  const TDragCase cases[] = {
      {"left, no keys", "a.cfg", mbLeft, {}, 0, DROPEFFECT_MOVE},
      {"left, Ctrl", "B.TXT", mbLeft, {VK_CONTROL}, MK_CONTROL, DROPEFFECT_COPY},
      {"right, Ctrl and Shift", "c.cfg", mbRight, {VK_CONTROL, VK_SHIFT}, MK_CONTROL | MK_SHIFT, DROPEFFECT_LINK},
  };
  TDropWindow other;
  ASSERT_TRUE(LoopUntil([&] { return WindowFromPoint(other.Centre()) == other.Handle(); }, 3000));
  auto* list = MakeList();
  auto recording = std::make_unique<TRecordingMenu>(nullptr);
  list->SetPopupMenu(recording.get());
  int fills = 0;
  list->OnFillStart = [&](TObject*) { ++fills; };
  for (const TDragCase& c : cases) {
    other.handler.Reset();
    fills = 0;
    // Each case presses on another item: no two presses make a double click.
    TListItem* item = Find(list, c.item);
    Pick(list, item);
    POINT from = list->ClientToScreen(LabelCentre(item));
    RealMove(from);
    // Over the other window the keys go down and the button up: the drop follows.
    other.handler.onEnter = [&] {
      SendKeys(c.keys, true);
      SendMouseButton(c.button, false);
    };
    // A few pixels with the button down start the drag; then the pointer goes over.
    SendMouseButton(c.button, true);
    SendMouseMove(POINT{from.x + 12, from.y + 6});
    SendMouseMove(other.Centre());
    EXPECT_TRUE(LoopUntil([&] { return other.handler.calls.Last() == "drop"; }, 5000))
        << c.what;
    ReleaseAll(c.keys);
    EXPECT_EQ(other.handler.enterAllowed, static_cast<DWORD>(DROPEFFECT_COPY | DROPEFFECT_MOVE | DROPEFFECT_LINK))
        << c.what;
    EXPECT_EQ(other.handler.dropKeys & (MK_CONTROL | MK_SHIFT), c.keyBits) << c.what;
    EXPECT_EQ(other.handler.dropEffect, c.effect) << c.what;
    EXPECT_EQ(other.handler.droppedFiles, std::vector<std::string>{Path(c.item)}) << c.what;
    // The list that the items left looks at its folder again; a right drag shows no menu.
    EXPECT_GE(fills, 1) << c.what;
  }
  EXPECT_TRUE(recording->shown.empty());
}

// A drop source that notes the effects the targets answer.
class TNotingSource : public TDropSource_shlvtv {
 public:
  TNotingSource(int button, std::function<void(DWORD)> note) : TDropSource_shlvtv(button), note_(std::move(note)) {}
  HRESULT STDMETHODCALLTYPE GiveFeedback(DWORD effect) override {
    note_(effect);
    return TDropSource_shlvtv::GiveFeedback(effect);
  }

 private:
  std::function<void(DWORD)> note_;
};

class TNotingList : public TTestShellList {
 public:
  using TTestShellList::TTestShellList;
  std::vector<DWORD> feedback;
  std::function<void()> onFeedback;

 protected:
  IDropSource* CreateDropSource(int button) override {
    return new TNotingSource(button, [this](DWORD effect) {
      feedback.push_back(effect & ~static_cast<DWORD>(DROPEFFECT_SCROLL));
      if (onFeedback) onFeedback();
    });
  }
};

TEST_F(ShellList, ItemsDroppedBesideThemselvesAreCopiedWithTheRightButtonOnly) {
  auto* list = Put<TNotingList>(form_.get(), 8, 8, 600, 380);
  list->SetViewStyle(vsReport);
  list->HandleNeeded();
  list->Folder()->SetPathName(Dir());
  Pump();
  for (TMouseButton button : {mbLeft, mbRight}) {
    bool right = button == mbRight;
    list->feedback.clear();
    TListItem* item = Find(list, "a.cfg");
    Pick(list, item);
    POINT from = list->ClientToScreen(LabelCentre(item));
    POINT beside = list->ClientToScreen(POINT{300, 300});
    RealMove(from);
    bool released = false;
    list->onFeedback = [&] {
      if (!std::exchange(released, true)) SendMouseButton(button, false);
    };
    SendMouseButton(button, true);
    SendMouseMove(POINT{from.x + 12, from.y + 6});
    SendMouseMove(beside);
    const int key = right ? VK_RBUTTON : VK_LBUTTON;
    EXPECT_TRUE(LoopUntil([&] { return released && (GetKeyState(key) & 0x8000) == 0; }, 5000));
    Pump(20);
    ReleaseAll({});
    ASSERT_FALSE(list->feedback.empty());
    EXPECT_EQ(list->feedback.front(), right ? static_cast<DWORD>(DROPEFFECT_COPY) : DROPEFFECT_NONE);
    EXPECT_EQ(Names(list), kAllNames);
  }
}

// A shell item's drop target as the list's items give it, answering by the keys.
class TFolderTarget : public TFcComObject<IDropTarget> {
 public:
  TFolderTarget() : TFcComObject(IID_IDropTarget) {}
  TEventLog calls;
  DWORD dropOffered = 0, dropKeys = 0;
  HRESULT STDMETHODCALLTYPE DragEnter(IDataObject*, DWORD keys, POINTL, DWORD* effect) override {
    calls.Note("enter");
    *effect = EffectForKeys(keys, *effect);
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE DragOver(DWORD keys, POINTL, DWORD* effect) override {
    calls.Note("over");
    *effect = EffectForKeys(keys, *effect);
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE DragLeave() override {
    calls.Note("leave");
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE Drop(IDataObject*, DWORD keys, POINTL, DWORD* effect) override {
    calls.Note("drop");
    dropOffered = *effect;
    dropKeys = keys;
    *effect = EffectForKeys(keys, *effect);
    return S_OK;
  }
};

TEST_F(ShellList, ShellItemsDroppedOnAFolderItemGoToItsDropTargetWithTheEffectTheKeysChoose) {
  auto* list = MakeList();
  TComPtr<TFolderTarget> target(new TFolderTarget);
  TListItem* alpha = Find(list, "Alpha");
  list->itemObject = [&](TListItem* item, REFIID iid, void** object) {
    if (item != alpha || !IsEqualIID(iid, IID_IDropTarget)) return E_NOINTERFACE;
    *object = static_cast<IDropTarget*>(target.AddRefed());
    return S_OK;
  };
  // The items of another folder.
  std::string other = MakeFolder("gamma\\from");
  WriteFileBytes(other + "\\moved.txt", "x");
  TIdListPtr otherList = ParsedList(other);
  TComPtr<IShellFolder> otherFolder;
  ASSERT_EQ(ShellGetFolderFromIdList(otherList.get(), otherFolder.Out()), S_OK);
  TIdListPtr moved = LastItem(ParsedList(other + "\\moved.txt").get());
  POINT over = list->ClientToScreen(LabelCentre(alpha));

  const struct {
    std::vector<WORD> keys;
    DWORD effect;
  } cases[] = {{{}, DROPEFFECT_MOVE}, {{VK_CONTROL}, DROPEFFECT_COPY}, {{VK_SHIFT}, DROPEFFECT_MOVE},
               {{VK_CONTROL, VK_SHIFT}, DROPEFFECT_LINK}};
  for (const auto& c : cases) {
    target->calls.Clear();
    TComPtr<IDataObject> data(CreateShellDataObject(otherFolder.Get(), otherList.get(), {moved.get()}));
    TComPtr<IDropSource> source(new TDropSource_shlvtv(0));
    SetCursorPos(over.x, over.y);
    ASSERT_TRUE(LoopUntil([&] { return WindowFromPoint(over) == list->Handle(); }, 3000));
    SendKeys(c.keys, true);
    Pump();
    DWORD effect = DROPEFFECT_NONE;
    HRESULT hr = DoDragDrop(data.Get(), source.Get(), DROPEFFECT_COPY | DROPEFFECT_MOVE | DROPEFFECT_LINK, &effect);
    ReleaseAll(c.keys);
    EXPECT_EQ(hr, DRAGDROP_S_DROP);
    EXPECT_EQ(effect, c.effect);
    EXPECT_EQ(target->calls.Last(), "drop");
    EXPECT_EQ(target->dropOffered, static_cast<DWORD>(DROPEFFECT_COPY | DROPEFFECT_MOVE | DROPEFFECT_LINK));
    EXPECT_FALSE(alpha->DropTarget());
    // The list holds no reference to the data any more.
    data->AddRef();
    EXPECT_EQ(data->Release(), 1u);
  }
}

TEST_F(ShellList, ADragOverTheListAsksTheTargetUnderThePointerScrollsAndLetsGo) {
  auto* list = MakeList();
  list->SetHeight(90);
  Pump();
  TComPtr<TFolderTarget> target(new TFolderTarget);
  TListItem* alpha = Find(list, "Alpha");
  list->itemObject = [&](TListItem* item, REFIID, void** object) {
    if (item != alpha) return E_NOINTERFACE;
    *object = static_cast<IDropTarget*>(target.AddRefed());
    return S_OK;
  };
  TComPtr<IDataObject> data(CreateShellDataObject(list->ListFolder(), list->ListFolderIdList(),
                                                  {list->ShellData(Find(list, "B.TXT"))->RelIdList()}));
  auto at = [&](POINT client) {
    POINT screen = list->ClientToScreen(client);
    return POINTL{screen.x, screen.y};
  };
  const DWORD all = DROPEFFECT_COPY | DROPEFFECT_MOVE | DROPEFFECT_LINK;

  // Over the folder item: its target's answer, the item shown as the target.
  DWORD effect = all;
  EXPECT_EQ(list->DragEnter(data.Get(), MK_LBUTTON | MK_CONTROL, at(LabelCentre(alpha)), &effect), S_OK);
  EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_COPY));
  EXPECT_TRUE(alpha->DropTarget());
  EXPECT_EQ(target->calls, (TEvents{"enter", "leave"}));
  effect = all;
  target->calls.Clear();
  EXPECT_EQ(list->DragOver(MK_LBUTTON | MK_SHIFT, at(LabelCentre(alpha)), &effect), S_OK);
  EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_MOVE | DROPEFFECT_SCROLL));
  EXPECT_EQ(target->calls, (TEvents{"enter", "over", "leave"}));

  // Near the bottom the list scrolls a line, and not again at once.
  int top = static_cast<int>(SendMessageA(list->Handle(), LVM_GETTOPINDEX, 0, 0));
  Sleep(120);
  effect = all;
  list->DragOver(MK_LBUTTON, at(POINT{300, list->ClientHeight() - 5}), &effect);
  EXPECT_TRUE(effect & DROPEFFECT_SCROLL);
  EXPECT_FALSE(alpha->DropTarget());
  int scrolled = static_cast<int>(SendMessageA(list->Handle(), LVM_GETTOPINDEX, 0, 0));
  EXPECT_EQ(scrolled, top + 1);
  list->DragOver(MK_LBUTTON, at(POINT{300, list->ClientHeight() - 5}), &effect);
  EXPECT_EQ(SendMessageA(list->Handle(), LVM_GETTOPINDEX, 0, 0), scrolled);

  EXPECT_EQ(list->DragLeave(), S_OK);
  data->AddRef();
  EXPECT_EQ(data->Release(), 1u);
}

TEST_F(ShellList, ItsWindowTakesDropsWhileSloOleDropIsOn) {
  auto* list = MakeList();
  TComPtr<TDropTarget_shtv> probe(new TDropTarget_shtv(nullptr));
  EXPECT_EQ(RegisterDragDrop(list->Handle(), probe.Get()), DRAGDROP_E_ALREADYREGISTERED);
  list->SetOptions(list->Options() - sloOleDrop);
  EXPECT_EQ(RevokeDragDrop(list->Handle()), DRAGDROP_E_NOTREGISTERED);
  list->SetOptions(list->Options() + sloOleDrop);
  EXPECT_EQ(RegisterDragDrop(list->Handle(), probe.Get()), DRAGDROP_E_ALREADYREGISTERED);
}

}  // namespace
