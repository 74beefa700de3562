#include <gtest/gtest.h>

#include <windows.h>
#include <shlobj.h>

#include <algorithm>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "ControlTestSupport.h"
#include "FcViewsTestSupport.h"
#include "ShellTestSupport.h"
#include "TestSupport.h"
#include "platform/Layout.h"
#include "shell/FcShellCombo.h"
#include "shell/FcShellDragDrop.h"
#include "shell/FcShellList.h"
#include "shell/FcShellRegister.h"
#include "shell/FcShellTree.h"

namespace {

// ---- A folder of the test's own --------------------------------------------------------------

// Items made by hand: each a one-byte payload, the letter it is named by.
std::string ItemBytes(char name) { return ListBytes({std::string(1, name)}); }

class TFakeEnum : public TFcComObject<IEnumIDList> {
 public:
  explicit TFakeEnum(std::string names) : TFcComObject(IID_IEnumIDList), names_(std::move(names)) {}
  HRESULT STDMETHODCALLTYPE Next(ULONG, LPITEMIDLIST* items, ULONG* fetched) override {
    if (fetched) *fetched = 0;
    *items = nullptr;
    if (next_ >= names_.size()) return S_FALSE;
    std::string bytes = ItemBytes(names_[next_++]);
    *items = static_cast<LPITEMIDLIST>(ShellMemAlloc(bytes.size()));
    std::copy(bytes.begin(), bytes.end(), reinterpret_cast<char*>(*items));
    if (fetched) *fetched = 1;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE Skip(ULONG) override { return S_FALSE; }
  HRESULT STDMETHODCALLTYPE Reset() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE Clone(IEnumIDList**) override { return E_NOTIMPL; }

 private:
  std::string names_;
  std::size_t next_ = 0;
};

// A folder of file-system folders named by single letters, in the order the letters give;
// `withEnumerator` false answers success without an enumerator.
class TFakeFolder : public TFcComObject<IShellFolder> {
 public:
  TFakeFolder(std::string names, bool withEnumerator)
      : TFcComObject(IID_IShellFolder), names_(std::move(names)), withEnumerator_(withEnumerator) {}
  // The references others hold.
  ULONG Held() {
    AddRef();
    return Release() - 1;
  }
  HRESULT STDMETHODCALLTYPE EnumObjects(HWND, SHCONTF, IEnumIDList** items) override {
    *items = withEnumerator_ ? new TFakeEnum(names_) : nullptr;
    return withEnumerator_ ? S_OK : S_FALSE;
  }
  HRESULT STDMETHODCALLTYPE ParseDisplayName(HWND, IBindCtx*, LPWSTR, ULONG*, LPITEMIDLIST*, ULONG*) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE BindToObject(LPCITEMIDLIST, IBindCtx*, REFIID, void**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE BindToStorage(LPCITEMIDLIST, IBindCtx*, REFIID, void**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE CompareIDs(LPARAM, LPCITEMIDLIST a, LPCITEMIDLIST b) override {
    return MAKE_HRESULT(SEVERITY_SUCCESS, 0, static_cast<unsigned short>(static_cast<short>(Name(a) - Name(b))));
  }
  HRESULT STDMETHODCALLTYPE CreateViewObject(HWND, REFIID, void**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetAttributesOf(UINT, LPCITEMIDLIST*, SFGAOF* attributes) override {
    *attributes &= SFGAO_FILESYSTEM | SFGAO_FOLDER;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetUIObjectOf(HWND, UINT, LPCITEMIDLIST*, REFIID, UINT*, void**) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE GetDisplayNameOf(LPCITEMIDLIST item, SHGDNF, STRRET* name) override {
    name->uType = STRRET_CSTR;
    name->cStr[0] = Name(item);
    name->cStr[1] = 0;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE SetNameOf(HWND, LPCITEMIDLIST, LPCWSTR, SHGDNF, LPITEMIDLIST*) override {
    return E_NOTIMPL;
  }

 private:
  static char Name(LPCITEMIDLIST item) { return item && item->mkid.cb > 2 ? item->mkid.abID[0] : 0; }
  std::string names_;
  bool withEnumerator_;
};

// The combo with its inner steps in reach.
class TTestShellCombo : public TFcShellCombo {
 public:
  using TFcShellCombo::FillLevel;
  using TFcShellCombo::TFcShellCombo;
};

// ---- Fixture ---------------------------------------------------------------------------------

// A shown form, and a folder chain of the test's own on C:: <scratch>\a\b, with a file in a.
class FcShellComboTest : public ShownFormTest {
 protected:
  void SetUp() override {
    RegisterShellControls();
    ShownFormTest::SetUp();
    const testing::TestInfo* info = testing::UnitTest::GetInstance()->current_test_info();
    scratch_ = std::string("C:\\shlcombo-") + info->name() + "\\";
    for (char& c : scratch_)
      if (c == '/') c = '_';
    DeleteFolderTree(scratch_);
    ASSERT_TRUE(CreateDirectoryA(scratch_.c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryA((scratch_ + "a").c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryA((scratch_ + "a\\b").c_str(), nullptr));
    ASSERT_TRUE(WriteFileBytes(scratch_ + "a\\x.cfg", "x"));
  }
  void TearDown() override {
    ShownFormTest::TearDown();
    DeleteFolderTree(scratch_);
  }

  // A combo on the form, showing the folder (the desktop when empty).
  TTestShellCombo* MakeCombo(const std::string& folder = "", TFcShellComboOptions options = kFcShellComboDefaultOptions) {
    auto* combo = Make<TTestShellCombo>(10, 10, 300, 24);
    combo->SetOptions(options);
    combo->HandleNeeded();
    if (!folder.empty()) combo->SelectedFolder()->SetPathName(folder);
    Pump();
    return combo;
  }
  std::string Scratch() const { return scratch_.substr(0, scratch_.size() - 1); }

  std::string scratch_;
};

// What a row of the combo shows: its indent and caption, the caption asked for as a
// drawing of the row asks.
struct TRow {
  int indent;
  std::string caption;
  bool operator==(const TRow& other) const { return indent == other.indent && caption == other.caption; }
};
void PrintTo(const TRow& row, std::ostream* os) { *os << row.indent << " \"" << row.caption << "\""; }

// The pointer away from where the list drops, which would choose the row under it.
void PointerAway() { SetCursorPos(GetSystemMetrics(SM_CXSCREEN) - 10, 10); }

// The rows as the dropped list draws them.
std::vector<TRow> Rows(TFcCustomShellCombo* combo) {
  PointerAway();
  combo->SetDroppedDown(true);
  Pump();
  combo->SetDroppedDown(false);
  Pump();
  std::vector<TRow> rows;
  for (int i = 0; i < combo->ItemCount(); ++i)
    rows.push_back(TRow{combo->ImageItem(i)->IndentLevel(), combo->ImageItem(i)->Caption()});
  return rows;
}

int IndexOf(const std::vector<TRow>& rows, const TRow& row) {
  auto it = std::find(rows.begin(), rows.end(), row);
  return it == rows.end() ? -1 : static_cast<int>(it - rows.begin());
}

// The shell's display name of a path or special folder, asked without the combo.
std::string DisplayNameOf(LPCITEMIDLIST list) {
  SHFILEINFOA info{};
  SHGetFileInfoA(reinterpret_cast<LPCSTR>(list), 0, &info, sizeof info, SHGFI_PIDL | SHGFI_DISPLAYNAME);
  return info.szDisplayName;
}
std::string DisplayNameOfPath(const std::string& path) { return DisplayNameOf(ParsedList(path).get()); }
std::string DisplayNameOfFolder(int csidl) {
  LPITEMIDLIST list = nullptr;
  EXPECT_EQ(SHGetSpecialFolderLocation(nullptr, csidl, &list), S_OK);
  TIdListPtr owned(list);
  return DisplayNameOf(list);
}

// A choice in the dropped list, ended as the user ends it.
void Choose(TFcCustomShellCombo* combo, int index) {
  PointerAway();
  combo->SetFocus();
  combo->SetDroppedDown(true);
  Pump();
  SendMessageA(combo->Handle(), CB_SETCURSEL, static_cast<WPARAM>(index), 0);
  RealChord({VK_RETURN});
  Pump();
}

}  // namespace

// ---- Filling ---------------------------------------------------------------------------------

// A folder three levels below a drive: the desktop, its folders, the drives under the drives
// folder, and the chain down to the folder, which is selected.
TEST_F(FcShellComboTest, ShowsTheDesktopItsFoldersTheDrivesAndTheChainToTheFolder) {
  auto* combo = MakeCombo(scratch_ + "a\\b");
  std::vector<TRow> rows = Rows(combo);
  ASSERT_FALSE(rows.empty());
  EXPECT_EQ(rows[0], (TRow{0, DisplayNameOfFolder(CSIDL_DESKTOP)}));
  int computer = IndexOf(rows, TRow{1, DisplayNameOfFolder(CSIDL_DRIVES)});
  int drive = IndexOf(rows, TRow{2, DisplayNameOfPath("C:\\")});
  ASSERT_GT(computer, 0);
  ASSERT_GT(drive, computer);
  // The drives folder's children follow it, all at indent 2, up to the next desktop folder.
  for (int i = computer + 1; i < drive; ++i) EXPECT_EQ(rows[i].indent, 2) << i;
  ASSERT_LT(drive + 3, static_cast<int>(rows.size()));
  EXPECT_EQ(rows[drive + 1], (TRow{3, DisplayNameOfPath(Scratch())}));
  EXPECT_EQ(rows[drive + 2], (TRow{4, "a"}));
  EXPECT_EQ(rows[drive + 3], (TRow{5, "b"}));
  EXPECT_EQ(combo->ItemIndex(), drive + 3);
  EXPECT_EQ(ShellGetPathFromIdList(combo->ShellData(drive + 3)->AbsIdList()), scratch_ + "a\\b");
  // The other drives follow at indent 2; every other row is a folder of the desktop.
  int end = drive + 4;
  for (; end < static_cast<int>(rows.size()) && rows[end].indent > 1; ++end) EXPECT_EQ(rows[end].indent, 2) << end;
  for (int i = 1; i < static_cast<int>(rows.size()); ++i) {
    if (i <= computer || i >= end) {
      EXPECT_EQ(rows[i].indent, 1) << rows[i].caption;
    }
  }
  // No folder is listed twice.
  EXPECT_EQ(std::count(rows.begin(), rows.end(), rows[drive]), 1);
}

namespace {

struct TVirtualCase {
  const char* name;
  TFcShellComboOptions options;
  bool virtualItems;
};
void PrintTo(const TVirtualCase& c, std::ostream* os) { *os << c.name; }

const TVirtualCase kVirtualCases[] = {
    {"with non-file-system ancestors", kFcShellComboDefaultOptions, true},
    {"file-system items only", TFcShellComboOptions{scoAutofill}, false},
};

class FcShellComboVirtual : public FcShellComboTest, public testing::WithParamInterface<TVirtualCase> {};

}  // namespace

// The folders outside the file system (the Trash, the Control Panel) come only with
// scoNonFilesystemAncestors; the drives folder and the drives come either way.
TEST_P(FcShellComboVirtual, ListsVirtualFoldersOnlyWhenAsked) {
  const TVirtualCase& c = GetParam();
  auto* combo = MakeCombo(scratch_ + "a", c.options);
  std::vector<TRow> rows = Rows(combo);
  int virtualItems = 0;
  for (int i = 1; i < combo->ItemCount(); ++i) {
    TFcShellComboData* data = combo->ShellData(i);
    ASSERT_NE(data, nullptr);
    LPCITEMIDLIST items[] = {data->RelIdList()};
    SFGAOF attributes = SFGAO_FILESYSTEM | SFGAO_FILESYSANCESTOR;
    ASSERT_EQ(data->ParentFolder()->GetAttributesOf(1, items, &attributes), S_OK);
    if (!(attributes & (SFGAO_FILESYSTEM | SFGAO_FILESYSANCESTOR))) ++virtualItems;
  }
  EXPECT_EQ(virtualItems > 0, c.virtualItems);
  EXPECT_GE(IndexOf(rows, TRow{1, DisplayNameOfFolder(CSIDL_DRIVES)}), 0);
  EXPECT_GE(IndexOf(rows, TRow{2, DisplayNameOfPath("C:\\")}), 0);
  EXPECT_EQ(combo->ImageItem(combo->ItemIndex())->Caption(), "a");
}

INSTANTIATE_TEST_SUITE_P(Cases, FcShellComboVirtual, testing::ValuesIn(kVirtualCases));

// Nothing designated is the desktop, which is then selected.
TEST_F(FcShellComboTest, ShowsTheDesktopSelectedWhenNoFolderIsDesignated) {
  auto* combo = MakeCombo();
  ASSERT_GT(combo->ItemCount(), 1);
  EXPECT_EQ(combo->ItemIndex(), 0);
  EXPECT_EQ(combo->ImageItem(0)->Caption(), DisplayNameOfFolder(CSIDL_DESKTOP));
  EXPECT_GT(combo->ImageItem(1)->IndentLevel(), 0);
}

// A folder that answers without an enumerator has nothing to list; the items' data holds the
// folder while they live and lets it go exactly once when they leave, whichever way they
// leave; each leaving is told once.
TEST_F(FcShellComboTest, ItemsKeepTheirFolderUntilTheyLeaveAndAreToldOfOnce) {
  auto* combo = MakeCombo();
  combo->ClearImageItems();
  TComPtr<TFakeFolder> empty(new TFakeFolder("abc", false));
  combo->FillLevel(empty.Get(), nullptr, {}, 1);
  EXPECT_EQ(combo->ItemCount(), 0);

  TComPtr<TFakeFolder> folder(new TFakeFolder("cab", true));
  std::vector<TFcImageComboBoxItem*> told;
  combo->OnDeleteItem = [&](TObject*, TFcImageComboBoxItem* item) { told.push_back(item); };
  combo->FillLevel(folder.Get(), nullptr, {}, 1);
  ASSERT_EQ(combo->ItemCount(), 3);
  EXPECT_EQ(folder->Held(), 3u);
  std::vector<TRow> rows = Rows(combo);
  EXPECT_EQ(rows, (std::vector<TRow>{{1, "a"}, {1, "b"}, {1, "c"}}));
  combo->ClearImageItems();
  EXPECT_EQ(folder->Held(), 0u);
  EXPECT_EQ(told.size(), 3u);
  std::sort(told.begin(), told.end());
  EXPECT_EQ(std::unique(told.begin(), told.end()), told.end());

  // Items gone with the window, and with the combo.
  told.clear();
  combo->FillLevel(folder.Get(), nullptr, {}, 1);
  combo->RecreateWnd();
  Pump();
  EXPECT_EQ(folder->Held(), 0u);
  EXPECT_EQ(told.size(), 3u);
  combo->ClearImageItems();
  told.clear();
  combo->FillLevel(folder.Get(), nullptr, {}, 1);
  delete combo;
  EXPECT_EQ(folder->Held(), 0u);
  EXPECT_EQ(told.size(), 3u);
}

// ---- Going up --------------------------------------------------------------------------------

TEST_F(FcShellComboTest, GoesUpTheIndents) {
  auto* combo = MakeCombo(scratch_ + "a");
  combo->GoUp(1);
  EXPECT_EQ(combo->SelectedFolder()->PathName(), Scratch());
  EXPECT_EQ(combo->ImageItem(combo->ItemIndex())->IndentLevel(), 3);
  combo->GoUp(1);
  EXPECT_EQ(combo->SelectedFolder()->PathName(), "C:\\");
  // From a drive to the drives folder, past the other drives.
  combo->GoUp(1);
  EXPECT_EQ(combo->SelectedFolder()->PathName(), "");
  EXPECT_EQ(CompareIdLists(combo->SelectedFolder()->IdList(), ParsedList("C:\\").get()) != 0, true);
  EXPECT_EQ(combo->ImageItem(combo->ItemIndex())->Caption(), DisplayNameOfFolder(CSIDL_DRIVES));
  combo->GoUp(5);
  EXPECT_EQ(combo->ItemIndex(), 0);
  EXPECT_TRUE(IsEmptyIdList(combo->SelectedFolder()->IdList()));
  // From the desktop nothing changes.
  int changes = 0;
  combo->SelectedFolder()->OnChange = [&](TObject*) { ++changes; };
  combo->GoUp(1);
  EXPECT_EQ(changes, 0);
  EXPECT_EQ(combo->ItemIndex(), 0);
}

// ---- The dropped list ------------------------------------------------------------------------

// The dropped list takes the rows that fit between the box and the screen's bottom edge, and
// one row at least where none fit.
TEST_F(FcShellComboTest, TheDroppedListFitsAboveTheScreensBottom) {
  auto* combo = MakeCombo(scratch_);
  const int screen = GetSystemMetrics(SM_CYSCREEN);
  const struct {
    int roomBelow;
    int rows;
  } cases[] = {
      {100, 99 / combo->ItemHeight()},
      {0, 1},
      {-40, 1},
  };
  for (const auto& c : cases) {
    // The combo's bottom edge `roomBelow` pixels above the screen's.
    POINT bottom = combo->ClientToScreen(POINT{0, combo->Height()});
    form_->SetBounds(form_->Left(), form_->Top() + (screen - c.roomBelow) - bottom.y, form_->Width(), form_->Height());
    Pump();
    combo->SetDroppedDown(true);
    Pump();
    EXPECT_EQ(combo->DropDownCount(), c.rows) << c.roomBelow;
    combo->SetDroppedDown(false);
    Pump();
  }
}

// ---- Linked controls -------------------------------------------------------------------------

// The combo drives a linked list and follows it; a tree cannot be linked beside the list.
TEST_F(FcShellComboTest, DrivesAndFollowsALinkedList) {
  auto* combo = MakeCombo(scratch_);
  auto* list = Make<TFcShellList>(10, 50, 500, 300);
  combo->SetShellList(list);
  EXPECT_EQ(list->ShellCombo(), combo);
  auto* tree = Make<TFcShellTree>(10, 50, 10, 10);
  combo->SetShellTree(tree);
  EXPECT_EQ(combo->ShellTree(), nullptr);
  EXPECT_EQ(tree->ShellCombo(), nullptr);

  // A folder chosen in the combo is listed.
  std::vector<TRow> rows = Rows(combo);
  int drive = IndexOf(rows, TRow{2, DisplayNameOfPath("C:\\")});
  ASSERT_GE(drive, 0);
  Choose(combo, drive);
  EXPECT_EQ(list->Folder()->PathName(), "C:\\");
  EXPECT_EQ(combo->SelectedFolder()->PathName(), "C:\\");

  // A folder the list opens is shown in the combo, and the list's going up goes up the combo.
  list->Folder()->SetPathName(scratch_ + "a");
  Pump();
  EXPECT_EQ(combo->SelectedFolder()->PathName(), scratch_ + "a");
  EXPECT_EQ(combo->ImageItem(combo->ItemIndex())->Caption(), "a");
  list->HandleNeeded();
  ASSERT_TRUE(LoopUntil([&] { return list->Items()->Count() > 0; }, 3000));
  list->SetFocus();
  list->SetSelected(list->Items()->Item(0));
  RealChord({VK_RETURN});
  EXPECT_EQ(list->Folder()->PathName(), scratch_ + "a\\b");
  EXPECT_EQ(combo->SelectedFolder()->PathName(), scratch_ + "a\\b");
  list->SetFocus();
  RealChord({VK_BACK});
  EXPECT_EQ(list->Folder()->PathName(), scratch_ + "a");
  EXPECT_EQ(combo->SelectedFolder()->PathName(), scratch_ + "a");
  EXPECT_EQ(combo->ImageItem(combo->ItemIndex())->Caption(), "a");

  // Unlinked, the list stays where it is.
  combo->SetShellList(nullptr);
  EXPECT_EQ(list->ShellCombo(), nullptr);
  combo->SelectedFolder()->SetPathName(scratch_);
  EXPECT_EQ(list->Folder()->PathName(), scratch_ + "a");
}

// The combo drives a linked tree and follows it.
TEST_F(FcShellComboTest, DrivesAndFollowsALinkedTree) {
  auto* combo = MakeCombo(scratch_);
  auto* tree = Make<TFcShellTree>(10, 50, 300, 300);
  ASSERT_TRUE(LoopUntil([&] { return tree->Items()->GetFirstNode() != nullptr; }, 5000));
  combo->SetShellTree(tree);
  EXPECT_EQ(tree->ShellCombo(), combo);
  combo->SetShellList(Make<TFcShellList>(320, 50, 100, 100));
  EXPECT_EQ(combo->ShellList(), nullptr);

  combo->SelectedFolder()->SetPathName(scratch_ + "a\\b");
  EXPECT_EQ(tree->SelectedPathName(), scratch_ + "a\\b");
  // A click in the tree moves the combo.
  TTreeNode* a = tree->Selected()->Parent();
  tree->SetTopItem(a);
  RECT r = a->DisplayRect(true);
  RealClick(tree, (r.left + r.right) / 2, (r.top + r.bottom) / 2);
  ASSERT_EQ(tree->Selected(), a);
  EXPECT_EQ(combo->SelectedFolder()->PathName(), scratch_ + "a");
  EXPECT_EQ(combo->ImageItem(combo->ItemIndex())->Caption(), "a");
  combo->GoUp(1);
  EXPECT_EQ(tree->SelectedPathName(), Scratch());
}

// From a stored layout the combo comes linked to its list, which lists the combo's folder.
TEST_F(FcShellComboTest, ComesFromAStoredLayoutLinkedToItsList) {
  std::string layout = R"({
    "class": "TForm", "name": "LookForm",
    "properties": { "ClientWidth": 400, "ClientHeight": 300 },
    "children": [
      { "class": "TFcShellCombo", "name": "LookIn",
        "properties": { "Left": 4, "Top": 4, "Width": 300, "Options": ["scoAutofill"],
                        "AutoDropDownCount": false, "ItemIndent": 10, "ShellList": "Files" } },
      { "class": "TFcShellList", "name": "Files",
        "properties": { "Left": 4, "Top": 40, "Width": 390, "Height": 250 } } ]
  })";
  std::unique_ptr<TForm> form(TForm::CreateNew<TForm>(nullptr));
  ReadLayout(form.get(), layout);
  auto* combo = dynamic_cast<TFcShellCombo*>(form->FindComponent("LookIn"));
  auto* list = dynamic_cast<TFcShellList*>(form->FindComponent("Files"));
  ASSERT_NE(combo, nullptr);
  ASSERT_NE(list, nullptr);
  EXPECT_EQ(combo->Options(), TFcShellComboOptions{scoAutofill});
  EXPECT_FALSE(combo->AutoDropDownCount());
  EXPECT_EQ(combo->ItemIndent(), 10);
  EXPECT_EQ(combo->ShellList(), list);
  EXPECT_EQ(list->ShellCombo(), combo);
  form->Show();
  Pump();
  ASSERT_GT(combo->ItemCount(), 0);
  EXPECT_EQ(combo->ItemIndex(), 0);
  combo->SelectedFolder()->SetPathName(scratch_ + "a");
  EXPECT_EQ(list->Folder()->PathName(), scratch_ + "a");
  // The system's image list is no part of the stored layout.
  std::string written = WriteLayout(form.get());
  EXPECT_EQ(written.find("\"Images\""), std::string::npos);
  EXPECT_NE(written.find("\"ShellList\""), std::string::npos);
}
