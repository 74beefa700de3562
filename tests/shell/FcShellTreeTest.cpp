#include <gtest/gtest.h>

#include <windows.h>
#include <shlobj.h>

#include <atomic>
#include <cstdio>
#include <functional>
#include <memory>
#include <ostream>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "FcViewsTestSupport.h"
#include "ShellDragTestSupport.h"
#include "ShellTestSupport.h"
#include "TestSupport.h"
#include "platform/Layout.h"
#include "shell/FcShellRegister.h"
#include "shell/FcShellTree.h"

namespace {

// ---- Helpers ---------------------------------------------------------------------------------

bool Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

std::vector<std::string> ChildTexts(const TTreeNode* node) {
  std::vector<std::string> texts;
  for (int i = 0; i < node->Count(); ++i) texts.push_back(node->Item(i)->Text());
  return texts;
}

TTreeNode* ChildNamed(const TTreeNode* node, const std::string& text) {
  for (int i = 0; i < node->Count(); ++i)
    if (node->Item(i)->Text() == text) return node->Item(i);
  return nullptr;
}

// Any node of the tree with the text.
TTreeNode* AnyNodeNamed(TCustomTreeView* tree, const std::string& text) {
  for (TTreeNode* n = tree->Items()->GetFirstNode(); n; n = n->GetNext())
    if (n->Text() == text) return n;
  return nullptr;
}

// The node's centre on the screen.
POINT ScreenCentre(TTreeNode* node) {
  RECT r = node->DisplayRect(true);
  return node->TreeView()->ClientToScreen(POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2});
}

POINTL AsPointL(POINT p) { return POINTL{p.x, p.y}; }

std::string Hex(const std::string& bytes) {
  std::string text;
  char two[3];
  for (unsigned char c : bytes) {
    std::snprintf(two, sizeof two, "%02X", c);
    text += two;
  }
  return text;
}

// The clipboard's CF_HDROP names; empty when it has none.
std::vector<std::string> ClipboardFiles() {
  std::vector<std::string> names;
  if (!OpenClipboard(nullptr)) return names;
  if (auto drop = static_cast<HDROP>(GetClipboardData(CF_HDROP))) {
    UINT count = DragQueryFileA(drop, 0xFFFFFFFF, nullptr, 0);
    for (UINT i = 0; i < count; ++i) {
      char name[MAX_PATH] = {};
      DragQueryFileA(drop, i, name, MAX_PATH);
      names.push_back(name);
    }
  }
  CloseClipboard();
  return names;
}

void EmptyTheClipboard() {
  if (OpenClipboard(nullptr)) {
    EmptyClipboard();
    CloseClipboard();
  }
}

// A folder whose enumeration answers as told and lists nothing.
class TFakeEnum : public TFcComObject<IEnumIDList> {
 public:
  explicit TFakeEnum(HRESULT end) : TFcComObject(IID_IEnumIDList), end_(end) {}
  HRESULT STDMETHODCALLTYPE Next(ULONG, LPITEMIDLIST* items, ULONG* fetched) override {
    if (items) *items = nullptr;
    if (fetched) *fetched = 0;
    return end_;
  }
  HRESULT STDMETHODCALLTYPE Skip(ULONG) override { return S_FALSE; }
  HRESULT STDMETHODCALLTYPE Reset() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE Clone(IEnumIDList**) override { return E_NOTIMPL; }

 private:
  HRESULT end_;
};

class TFakeFolder : public TFcComObject<IShellFolder> {
 public:
  TFakeFolder(HRESULT start, bool withEnumerator, HRESULT end)
      : TFcComObject(IID_IShellFolder), start_(start), withEnumerator_(withEnumerator), end_(end) {}
  HRESULT STDMETHODCALLTYPE EnumObjects(HWND, SHCONTF, IEnumIDList** items) override {
    *items = withEnumerator_ ? new TFakeEnum(end_) : nullptr;
    return start_;
  }
  HRESULT STDMETHODCALLTYPE ParseDisplayName(HWND, IBindCtx*, LPWSTR, ULONG*, LPITEMIDLIST*, ULONG*) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE BindToObject(LPCITEMIDLIST, IBindCtx*, REFIID, void**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE BindToStorage(LPCITEMIDLIST, IBindCtx*, REFIID, void**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE CompareIDs(LPARAM, LPCITEMIDLIST, LPCITEMIDLIST) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE CreateViewObject(HWND, REFIID, void**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetAttributesOf(UINT, LPCITEMIDLIST*, SFGAOF*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetUIObjectOf(HWND, UINT, LPCITEMIDLIST*, REFIID, UINT*, void**) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE GetDisplayNameOf(LPCITEMIDLIST, SHGDNF, STRRET*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE SetNameOf(HWND, LPCITEMIDLIST, LPCWSTR, SHGDNF, LPITEMIDLIST*) override {
    return E_NOTIMPL;
  }

 private:
  HRESULT start_;
  bool withEnumerator_;
  HRESULT end_;
};

// The tree with its inner steps in reach, a linked list that it believes in, and drop
// targets of the test's own for its nodes.
class TTestShellTree : public TFcShellTree {
 public:
  using TFcShellTree::TFcShellTree;
  using TFcShellTree::FillNode;
  bool listLinked = false;
  IDropTarget* nodeTarget = nullptr;

 protected:
  bool HasLinkedList() const override { return listLinked || TFcShellTree::HasLinkedList(); }
  HRESULT GetNodeDropTarget(TTreeNode* node, IDropTarget** target) override {
    if (!nodeTarget) return TFcShellTree::GetNodeDropTarget(node, target);
    nodeTarget->AddRef();
    *target = nodeTarget;
    return S_OK;
  }
};

// ---- Fixture ---------------------------------------------------------------------------------

// A shown form for a shell tree, and a folder tree of the test's own directly on C: (the
// drives' watches see only what changes right below a drive's root):
//   Alpha, beta, delta (hidden), gamma, a.cfg, B.TXT
class FcShellTreeTest : public ShownFormTest {
 protected:
  void SetUp() override {
    RegisterShellControls();
    ShownFormTest::SetUp();
    char cwd[MAX_PATH] = {};
    GetCurrentDirectoryA(MAX_PATH, cwd);
    savedDir_ = cwd;
    const testing::TestInfo* info = testing::UnitTest::GetInstance()->current_test_info();
    scratch_ = std::string("C:\\shltree-") + info->test_suite_name() + "-" + info->name() + "\\";
    for (char& c : scratch_)
      if (c == '/') c = '_';
    DeleteFolderTree(scratch_);
    ASSERT_TRUE(CreateDirectoryA(scratch_.c_str(), nullptr)) << scratch_;
    for (const char* name : {"Alpha", "beta", "delta", "gamma"})
      ASSERT_TRUE(CreateDirectoryA((scratch_ + name).c_str(), nullptr));
    SetFileAttributesA((scratch_ + "delta").c_str(), FILE_ATTRIBUTE_HIDDEN);
    ASSERT_TRUE(WriteFileBytes(scratch_ + "a.cfg", "a"));
    ASSERT_TRUE(WriteFileBytes(scratch_ + "B.TXT", "b"));
  }
  void TearDown() override {
    ShownFormTest::TearDown();
    SetCurrentDirectoryA(savedDir_.c_str());
    DeleteFolderTree(scratch_);
  }

  // A tree on the form with the options, filled and with the folder selected.
  TTestShellTree* MakeTree(TFcShellTreeOptions options, const std::string& selected = "") {
    auto* tree = Make<TTestShellTree>(10, 10, 320, 360);
    tree->SetOptions(options);
    EXPECT_TRUE(LoopUntil([&] { return tree->Items()->GetFirstNode() != nullptr; }, 5000));
    if (!selected.empty()) Select(tree, selected);
    return tree;
  }
  void Select(TFcCustomShellTree* tree, const std::string& path) {
    tree->SelectedFolder()->SetPathName(path);
    ASSERT_NE(tree->Selected(), nullptr);
    ASSERT_EQ(tree->SelectedPathName(), path);
  }
  // The node of the scratch folder (the selected node's parent when a folder in it is
  // selected).
  TTreeNode* ScratchNode(TFcCustomShellTree* tree) {
    TTreeNode* node = tree->Selected();
    return node ? node->Parent() : nullptr;
  }
  static TFcShellTreeOptions Defaults() {
    return {stoAutoFill, stoVirtualFolders, stoDefaultKeyHandling, stoContextMenus,
            stoDynamicRefresh, stoOleDrag, stoOleDrop, stoShowHidden};
  }

  std::string scratch_;
  std::string savedDir_;
};

// ---- Filling and options ---------------------------------------------------------------------

struct TOptionCase {
  const char* name;
  TFcShellTreeOptions add, remove;
  std::vector<std::string> children;
  bool virtualItems;
};

void PrintTo(const TOptionCase& c, std::ostream* os) { *os << c.name; }

const TOptionCase kOptionCases[] = {
    {"the defaults", {}, {}, {"Alpha", "beta", "delta", "gamma"}, true},
    {"without hidden items", {}, {stoShowHidden}, {"Alpha", "beta", "gamma"}, true},
    {"with files", {stoIncludeNonFolders}, {}, {"Alpha", "beta", "delta", "gamma", "a.cfg", "B.TXT"}, true},
    {"without virtual folders", {}, {stoVirtualFolders}, {"Alpha", "beta", "delta", "gamma"}, false},
};

class FcShellTreeOptions : public FcShellTreeTest, public testing::WithParamInterface<TOptionCase> {};

}  // namespace

// SelectedFolder opens the way to a folder: its folder shows exactly its subfolders in the
// shell's order, hidden ones, files and virtual items only under their options.
TEST_P(FcShellTreeOptions, ShowsWhatTheOptionsAsk) {
  const TOptionCase& c = GetParam();
  auto* tree = MakeTree((Defaults() + c.add) - c.remove, scratch_ + "Alpha");
  TTreeNode* scratch = ScratchNode(tree);
  ASSERT_NE(scratch, nullptr);
  EXPECT_TRUE(scratch->Expanded());
  EXPECT_EQ(ChildTexts(scratch), c.children);
  EXPECT_EQ(tree->Selected()->Text(), "Alpha");
  EXPECT_EQ(tree->SelectedFolder()->PathName(), scratch_ + "Alpha");
  // The desktop's items that are neither in the file system nor above it.
  TTreeNode* desktop = tree->Items()->GetFirstNode();
  TComPtr<IShellFolder> shell = DesktopFolder();
  int virtualItems = 0;
  for (int i = 0; i < desktop->Count(); ++i) {
    LPCITEMIDLIST items[] = {tree->NodeData(desktop->Item(i))->RelIdList()};
    SFGAOF attributes = SFGAO_FILESYSTEM | SFGAO_FILESYSANCESTOR;
    ASSERT_EQ(shell->GetAttributesOf(1, items, &attributes), S_OK);
    if (!(attributes & (SFGAO_FILESYSTEM | SFGAO_FILESYSANCESTOR))) ++virtualItems;
  }
  EXPECT_EQ(virtualItems > 0, c.virtualItems);
}

INSTANTIATE_TEST_SUITE_P(Cases, FcShellTreeOptions, testing::ValuesIn(kOptionCases));

TEST_F(FcShellTreeTest, ComesFromAStoredLayoutWithItsBaseFolderAndOptions) {
  TIdListPtr base = ParsedList(scratch_);
  ASSERT_NE(base, nullptr);
  std::string stored(1, '\0');
  UINT size = IdListSize(base.get());
  for (int i = 0; i < 4; ++i) stored += static_cast<char>((size >> (8 * i)) & 0xFF);
  stored += BytesOf(base.get());
  std::string layout = R"({
    "class": "TForm", "name": "PickForm",
    "properties": { "ClientWidth": 300, "ClientHeight": 300 },
    "children": [
      { "class": "TFcShellTree", "name": "Folders",
        "properties": { "Left": 4, "Top": 4, "Width": 250, "Height": 250,
                        "Options": ["stoAutoFill", "stoOleDrag", "stoOleDrop"],
                        "BaseFolder": { "Pidl": ")" + Hex(stored) + R"(" } } } ]
  })";
  std::unique_ptr<TForm> form(TForm::CreateNew<TForm>(nullptr));
  ReadLayout(form.get(), layout);
  auto* tree = dynamic_cast<TFcShellTree*>(form->FindComponent("Folders"));
  ASSERT_NE(tree, nullptr);
  EXPECT_EQ(tree->Options(), (TFcShellTreeOptions{stoAutoFill, stoOleDrag, stoOleDrop}));
  TTreeNode* root = tree->Items()->GetFirstNode();
  ASSERT_NE(root, nullptr);
  EXPECT_EQ(tree->NodeData(root)->PathName(), scratch_.substr(0, scratch_.size() - 1));
  EXPECT_EQ(ChildTexts(root), (std::vector<std::string>{"Alpha", "beta", "gamma"}));
  EXPECT_TRUE(root->Expanded());

  // Nodes can be dragged out of its window; it takes drops while stoOleDrop is on.
  form->Show();
  Pump();
  HWND wnd = tree->Handle();
  EXPECT_EQ(GetWindowLongPtrA(wnd, GWL_STYLE) & TVS_DISABLEDRAGDROP, 0);
  TComPtr<TDropTarget_shtv> other(new TDropTarget_shtv(nullptr));
  EXPECT_EQ(RegisterDragDrop(wnd, other.Get()), DRAGDROP_E_ALREADYREGISTERED);
  tree->SetOptions(TFcShellTreeOptions{stoAutoFill});
  EXPECT_EQ(RevokeDragDrop(wnd), DRAGDROP_E_NOTREGISTERED);
  EXPECT_NE(GetWindowLongPtrA(wnd, GWL_STYLE) & TVS_DISABLEDRAGDROP, 0);
}

namespace {

struct TEnumCase {
  const char* name;
  HRESULT start;
  bool withEnumerator;
  HRESULT end;
  bool raises;
  bool keepsButton;
};

const TEnumCase kEnumCases[] = {
    {"a success without an enumerator is an empty folder", S_FALSE, false, S_FALSE, false, false},
    {"a failing start keeps the button", E_FAIL, false, S_FALSE, false, true},
    {"an end with E_FAIL is quiet", S_OK, true, E_FAIL, false, false},
    {"any other failing end is raised", S_OK, true, E_OUTOFMEMORY, true, false},
};

}  // namespace

TEST_F(FcShellTreeTest, FillsANodeFromWhatTheFolderAnswers) {
  auto* tree = MakeTree(Defaults(), scratch_ + "Alpha");
  int completes = 0;
  tree->OnFillComplete = [&](TObject*) { ++completes; };
  for (const TEnumCase& c : kEnumCases) {
    TTreeNode* node = ChildNamed(ScratchNode(tree), "beta");
    node->SetHasChildren(true);
    completes = 0;
    TComPtr<IShellFolder> folder(new TFakeFolder(c.start, c.withEnumerator, c.end));
    if (c.raises)
      EXPECT_THROW(tree->FillNode(folder.Get(), node), EOleSysError) << c.name;
    else
      EXPECT_NO_THROW(tree->FillNode(folder.Get(), node)) << c.name;
    EXPECT_EQ(node->Count(), 0) << c.name;
    EXPECT_EQ(node->HasChildren(), c.keepsButton) << c.name;
    EXPECT_EQ(completes, 1) << c.name;
  }
}

// A base folder that cannot be opened leaves the tree empty, the cursor and the tree's own
// state as they were: the tree fills and selects again afterwards.
TEST_F(FcShellTreeTest, AFailedFillLeavesNothingBehind) {
  auto* tree = MakeTree(Defaults());
  EXPECT_THROW(tree->BaseFolder()->SetPathName(scratch_ + "a.cfg"), EOleSysError);
  EXPECT_EQ(Screen->Cursor(), crDefault);
  EXPECT_EQ(tree->Items()->GetFirstNode(), nullptr);
  tree->BaseFolder()->SetPathName(scratch_);
  ASSERT_NE(tree->Items()->GetFirstNode(), nullptr);
  tree->SelectedFolder()->SetPathName(scratch_ + "gamma");
  ASSERT_NE(tree->Selected(), nullptr);
  EXPECT_EQ(tree->Selected()->Text(), "gamma");
}

// ---- Selecting by list -----------------------------------------------------------------------

namespace {

enum TSelectCase { scOutsideBase, scGoneFromDisk, scRefusedByHandler };

struct TSelectIdListCase {
  const char* name;
  TSelectCase kind;
  // The node left selected, and a text no node may have.
  const char* selected;
  const char* absent;
};

const TSelectIdListCase kSelectCases[] = {
    {"a folder outside the base folder", scOutsideBase, "Alpha", "beta"},
    {"a folder that has left the disk", scGoneFromDisk, "gamma", "deep"},
    {"a level the handler refuses", scRefusedByHandler, "", "inner"},
};

void PrintTo(const TSelectIdListCase& c, std::ostream* os) { *os << c.name; }

class FcShellTreeSelect : public FcShellTreeTest, public testing::WithParamInterface<TSelectIdListCase> {};

}  // namespace

// A list that cannot be followed adds no node and leaves the deepest node reached selected.
TEST_P(FcShellTreeSelect, AddsNothingThatIsNotThere) {
  const TSelectIdListCase& c = GetParam();
  ASSERT_TRUE(CreateDirectoryA((scratch_ + "gamma\\deep").c_str(), nullptr));
  ASSERT_TRUE(CreateDirectoryA((scratch_ + "beta\\inner").c_str(), nullptr));
  auto* tree = MakeTree(Defaults());
  std::string target;
  switch (c.kind) {
    case scOutsideBase:
      // The target's last level is also a level below the base: it must not be taken for it.
      ASSERT_TRUE(CreateDirectoryA((scratch_ + "Alpha\\inner").c_str(), nullptr));
      tree->BaseFolder()->SetPathName(scratch_ + "Alpha");
      target = scratch_ + "beta\\inner";
      break;
    case scGoneFromDisk:
      target = scratch_ + "gamma\\deep";
      break;
    case scRefusedByHandler:
      tree->OnAddItem = [](TObject*, IShellFolder* folder, LPCITEMIDLIST, LPCITEMIDLIST item, SFGAOF, bool& allow) {
        allow = ShellGetDisplayName(folder, item, snkInFolder) != "beta";
      };
      target = scratch_ + "beta\\inner";
      break;
  }
  TIdListPtr list = ParsedList(target);
  ASSERT_NE(list, nullptr);
  if (c.kind == scGoneFromDisk) {
    ASSERT_TRUE(RemoveDirectoryA(target.c_str()));
  }
  tree->SelectIdList(list.get());
  ASSERT_NE(tree->Selected(), nullptr);
  if (*c.selected)
    EXPECT_EQ(tree->Selected()->Text(), c.selected);
  else
    EXPECT_EQ(tree->NodeData(tree->Selected())->PathName() + "\\", scratch_);
  EXPECT_EQ(AnyNodeNamed(tree, c.absent), nullptr);
}

INSTANTIATE_TEST_SUITE_P(Cases, FcShellTreeSelect, testing::ValuesIn(kSelectCases));

// ---- Keeping current -------------------------------------------------------------------------

TEST_F(FcShellTreeTest, FollowsFoldersMadeAndRemovedInAWatchedFolderKeepingTheSelection) {
  auto* tree = MakeTree(Defaults(), scratch_ + "Alpha");
  TTreeNode* selected = tree->Selected();
  TTreeNode* drive = ScratchNode(tree)->Parent();
  tree->SetFocus();
  std::string name = "shltree-made-" + std::to_string(GetCurrentProcessId());
  std::string made = "C:\\" + name;
  ASSERT_TRUE(CreateDirectoryA(made.c_str(), nullptr));
  bool appeared = LoopUntil([&] { return ChildNamed(drive, name) != nullptr; }, 5000);
  RemoveDirectoryA(made.c_str());
  ASSERT_TRUE(appeared);
  EXPECT_EQ(tree->Selected(), selected);
  EXPECT_TRUE(LoopUntil([&] { return ChildNamed(drive, name) == nullptr; }, 5000));
  EXPECT_EQ(tree->Selected(), selected);
  EXPECT_EQ(tree->SelectedPathName(), scratch_ + "Alpha");
}

// A change notice waits before the tree refreshes, and a keyboard move waits before the
// folder follows; the move does not make the tree forget the refresh, and both happen when
// the wait ends.
TEST_F(FcShellTreeTest, AFollowAndARefreshPendingTogetherBothRun) {
  auto* tree = MakeTree(Defaults(), scratch_ + "Alpha");
  tree->listLinked = true;
  tree->SetFocus();
  Pump();
  ASSERT_TRUE(CreateDirectoryA((scratch_ + "epsilon").c_str(), nullptr));
  SendMessageA(tree->Handle(), CM_SHELLCHANGENOTICE, 0, 0);
  RealChord({VK_DOWN});
  ASSERT_EQ(tree->Selected()->Text(), "beta");
  EXPECT_EQ(tree->SelectedFolder()->PathName(), scratch_ + "Alpha");
  EXPECT_EQ(ChildNamed(ScratchNode(tree), "epsilon"), nullptr);
  EXPECT_TRUE(LoopUntil([&] { return tree->SelectedFolder()->PathName() == scratch_ + "beta"; }, 3000));
  EXPECT_TRUE(LoopUntil([&] { return ChildNamed(ScratchNode(tree), "epsilon") != nullptr; }, 3000));
  EXPECT_EQ(tree->Selected()->Text(), "beta");
}

// A click moves the folder at once, where the keyboard's moves wait.
TEST_F(FcShellTreeTest, AClickFollowsAtOnce) {
  auto* tree = MakeTree(Defaults(), scratch_ + "Alpha");
  tree->listLinked = true;
  tree->SetTopItem(ScratchNode(tree));
  TTreeNode* gamma = ChildNamed(ScratchNode(tree), "gamma");
  RECT r = gamma->DisplayRect(true);
  RealClick(tree, (r.left + r.right) / 2, (r.top + r.bottom) / 2);
  ASSERT_EQ(tree->Selected(), gamma);
  EXPECT_EQ(tree->SelectedFolder()->PathName(), scratch_ + "gamma");
}

// ---- Commands --------------------------------------------------------------------------------

TEST_F(FcShellTreeTest, MakesANewFolderAndRenamesIt) {
  auto* tree = MakeTree(Defaults(), scratch_ + "beta");
  ASSERT_TRUE(tree->CreateNewFolder());
  EXPECT_TRUE(Exists(scratch_ + "beta\\New Folder"));
  ASSERT_TRUE(tree->IsEditing());
  // The new folder, chosen while its name is typed.
  TTreeNode* made = tree->Selected();
  ASSERT_EQ(made->Text(), "New Folder");
  EXPECT_EQ(made->Parent()->Text(), "beta");
  SetWindowTextA(tree->EditHandle(), "Renamed");
  made->EndEdit(false);
  EXPECT_TRUE(Exists(scratch_ + "beta\\Renamed"));
  EXPECT_FALSE(Exists(scratch_ + "beta\\New Folder"));
  EXPECT_EQ(made->Text(), "Renamed");
  EXPECT_EQ(tree->NodeData(made)->PathName(), scratch_ + "beta\\Renamed");
}

// A rename or a new folder that fails changes nothing on disk: the change notice that comes
// next is a real one, and the tree follows it.
TEST_F(FcShellTreeTest, AfterAFailedRenameOrNewFolderTheNextChangeIsFollowed) {
  struct {
    const char* name;
    const char* selected;
    std::function<void(TTestShellTree*)> fail;
  } cases[] = {
      {"a new folder in a file", "a.cfg",
       [&](TTestShellTree* tree) {
         TBoxesAnswerer warnings(3);
         EXPECT_FALSE(tree->CreateNewFolder());
         EXPECT_FALSE(warnings.Texts().empty());
       }},
      {"a rename to a name that is taken", "Alpha",
       [&](TTestShellTree* tree) {
         RealKey(VK_F2);
         ASSERT_TRUE(tree->IsEditing());
         RealType("beta");
         RealKey(VK_RETURN);
         EXPECT_TRUE(Exists(scratch_ + "Alpha"));
       }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    auto* tree = MakeTree(Defaults() + stoIncludeNonFolders, scratch_ + c.selected);
    TTreeNode* drive = ScratchNode(tree)->Parent();
    // The warnings of a case before may have left another window in front: keys go to the form.
    SetForegroundWindow(form_->Handle());
    tree->SetFocus();
    Pump();
    c.fail(tree);
    std::string name = "shltree-made-" + std::to_string(GetCurrentProcessId());
    std::string made = "C:\\" + name;
    ASSERT_TRUE(CreateDirectoryA(made.c_str(), nullptr));
    bool appeared = LoopUntil([&] { return ChildNamed(drive, name) != nullptr; }, 5000);
    RemoveDirectoryA(made.c_str());
    EXPECT_TRUE(appeared);
    delete tree;
  }
}

// My Computer has no folder of its own: nothing is made, least of all in the current folder.
TEST_F(FcShellTreeTest, MakesNoFolderUnderANodeWithoutAPath) {
  auto* tree = MakeTree(Defaults());
  ASSERT_TRUE(SetCurrentDirectoryA(scratch_.c_str()));
  tree->SelectedFolder()->SetCSIDL(CSIDL_DRIVES);
  ASSERT_NE(tree->Selected(), tree->Items()->GetFirstNode());
  EXPECT_EQ(tree->SelectedPathName(), "");
  EXPECT_FALSE(tree->CreateNewFolder());
  EXPECT_FALSE(Exists(scratch_ + "New Folder"));
}

TEST_F(FcShellTreeTest, F2RenamesTheSelectedFolder) {
  auto* tree = MakeTree(Defaults(), scratch_ + "gamma");
  tree->SetFocus();
  RealChord({VK_F2});
  ASSERT_TRUE(tree->IsEditing());
  char text[MAX_PATH] = {};
  GetWindowTextA(tree->EditHandle(), text, MAX_PATH);
  EXPECT_STREQ(text, "gamma");
  SetWindowTextA(tree->EditHandle(), "Omega");
  RealChord({VK_RETURN});
  EXPECT_FALSE(tree->IsEditing());
  EXPECT_TRUE(Exists(scratch_ + "Omega"));
  EXPECT_FALSE(Exists(scratch_ + "gamma"));
  EXPECT_EQ(tree->Selected()->Text(), "Omega");
  EXPECT_EQ(tree->SelectedPathName(), scratch_ + "Omega");
  EXPECT_EQ(tree->SelectedFolder()->PathName(), scratch_ + "Omega");
}

TEST_F(FcShellTreeTest, DelDeletesTheSelectedFolderOnceTheUserConfirms) {
  auto* tree = MakeTree(Defaults(), scratch_ + "gamma");
  TTreeNode* scratch = ScratchNode(tree);
  tree->SetFocus();
  TBoxAnswerer yes("Confirm folder deletion", IDYES);
  RealChord({VK_DELETE});
  EXPECT_TRUE(LoopUntil([&] { return !Exists(scratch_ + "gamma"); }, 10000));
  EXPECT_TRUE(yes.Seen().found);
  EXPECT_TRUE(LoopUntil([&] { return ChildNamed(scratch, "gamma") == nullptr; }, 5000));
  EXPECT_EQ(ChildTexts(scratch), (std::vector<std::string>{"Alpha", "beta", "delta"}));
}

TEST_F(FcShellTreeTest, CtrlCPutsTheFolderOnTheClipboardAndAnUnknownVerbDoesNothing) {
  auto* tree = MakeTree(Defaults(), scratch_ + "Alpha");
  EmptyTheClipboard();
  EXPECT_EQ(tree->ExecuteVerb(tree->Selected(), "nosuchverb"), HRESULT_FROM_WIN32(ERROR_NOT_FOUND));
  EXPECT_TRUE(ClipboardFiles().empty());
  EXPECT_TRUE(Exists(scratch_ + "Alpha"));
  tree->SetFocus();
  RealChord({VK_CONTROL, 'C'});
  EXPECT_EQ(ClipboardFiles(), std::vector<std::string>{scratch_ + "Alpha"});
  EmptyTheClipboard();
}

// A right click on a node shows the shell's menu for its item instead of the tree's own menu,
// unless the shell's menus are off.
TEST_F(FcShellTreeTest, ARightClickOnANodeShowsTheShellsMenu) {
  for (bool shellMenus : {true, false}) {
    auto* tree = MakeTree(shellMenus ? Defaults() : Defaults() - stoContextMenus, scratch_ + "Alpha");
    tree->SetTopItem(ScratchNode(tree));
    TRecordingMenu own(nullptr);
    tree->SetPopupMenu(&own);
    RECT r = ChildNamed(ScratchNode(tree), "beta")->DisplayRect(true);
    // The user closes the shell's menu when it shows.
    TShownMenu shellMenu =
        CloseNextPopupMenu([&] { RealClick(tree, (r.left + r.right) / 2, (r.top + r.bottom) / 2, mbRight); });
    Pump();
    EXPECT_EQ(shellMenu.shown, shellMenus);
    EXPECT_EQ(own.shown.size(), shellMenus ? 0u : 1u);
    tree->SetPopupMenu(nullptr);
    delete tree;
  }
}

// ---- Drag and drop ---------------------------------------------------------------------------

namespace {

// A window of the test's own that takes drops through a handler.
class FcShellTreeDrag : public FcShellTreeTest {
 protected:
  void SetUp() override {
    FcShellTreeTest::SetUp();
    WNDCLASSA wc{};
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "ShellTreeDropWindow";
    RegisterClassA(&wc);
    window_ = CreateWindowExA(WS_EX_TOPMOST, "ShellTreeDropWindow", "drop here", WS_POPUP | WS_VISIBLE, 700, 500,
                              200, 200, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(window_, nullptr);
    ASSERT_TRUE(LoopUntil([&] { return WindowFromPoint(POINT{800, 600}) == window_; }, 3000));
    target_.Reset(new TDropTarget_shtv(&handler_));
    ASSERT_EQ(RegisterDragDrop(window_, target_.Get()), S_OK);
  }
  void TearDown() override {
    RevokeDragDrop(window_);
    target_->Detach();
    target_.Reset();
    DestroyWindow(window_);
    FcShellTreeTest::TearDown();
  }
  HWND window_ = nullptr;
  TKeyedHandler handler_;
  TComPtr<TDropTarget_shtv> target_;
};

}  // namespace

// The user drags a folder node out to another window: the window gets the folder as a file,
// which it may copy, move or link, and its answer to the keys is the drop's effect; the tree
// refreshes afterwards.
TEST_F(FcShellTreeDrag, ANodeDraggedOutGoesToTheWindowUnderThePointer) {
  auto* tree = MakeTree(Defaults(), scratch_ + "beta");
  tree->SetTopItem(ScratchNode(tree));
  TTreeNode* alpha = ChildNamed(ScratchNode(tree), "Alpha");
  ASSERT_NE(alpha, nullptr);
  int refreshes = 0;
  tree->OnFillStart = [&](TObject*) { ++refreshes; };
  for (const TKeyCase& c : kKeyCases) {
    handler_.Reset();
    refreshes = 0;
    std::thread user(Hand, ScreenCentre(alpha), POINT{800, 600}, c.keys, std::cref(handler_));
    bool dropped = LoopUntil([&] { return handler_.calls.Last() == "drop"; }, 8000);
    user.join();
    Pump();
    ASSERT_TRUE(dropped) << c.keyBits;
    EXPECT_EQ(handler_.calls.First(), "enter");
    EXPECT_EQ(handler_.enterAllowed, static_cast<DWORD>(DROPEFFECT_COPY | DROPEFFECT_MOVE | DROPEFFECT_LINK));
    EXPECT_EQ(handler_.dropKeys, c.keyBits);
    EXPECT_EQ(handler_.dropEffect, c.effect);
    EXPECT_EQ(handler_.droppedFiles, std::vector<std::string>{scratch_ + "Alpha"});
    EXPECT_TRUE(LoopUntil([&] { return refreshes > 0; }, 2000)) << c.keyBits;
    EXPECT_EQ(tree->DropTarget(), nullptr);
    alpha = ChildNamed(ScratchNode(tree), "Alpha");
  }
}

// Files dragged from another window onto a node reach the node's drop target with the keys
// and the button that carried them, and the node's answer is the drop's effect.
TEST_F(FcShellTreeDrag, ItemsDroppedOnANodeGoToItsTargetWithTheEffectOfTheKeys) {
  auto* tree = MakeTree(Defaults(), scratch_ + "Alpha");
  TKeyedHandler node;
  TComPtr<TDropTarget_shtv> nodeTarget(new TDropTarget_shtv(&node));
  tree->nodeTarget = nodeTarget.Get();
  int refreshes = 0;
  tree->OnFillStart = [&](TObject*) { ++refreshes; };
  TIdListPtr folder = ParsedList(scratch_);
  TIdListPtr file = LastItem(ParsedList(scratch_ + "a.cfg").get());
  TComPtr<IShellFolder> shell;
  ASSERT_EQ(ShellGetFolderFromIdList(folder.get(), shell.Out()), S_OK);
  TComPtr<IDataObject> data(CreateShellDataObject(shell.Get(), folder.get(), {file.get()}));
  tree->SetTopItem(ScratchNode(tree));
  POINT over = ScreenCentre(ChildNamed(ScratchNode(tree), "beta"));
  for (const TKeyCase& c : kKeyCases) {
    node.Reset();
    refreshes = 0;
    std::thread user(Hand, POINT{800, 600}, over, c.keys, std::cref(node));
    LoopUntil([] { return (GetKeyState(VK_LBUTTON) & 0x8000) != 0; }, 2000);
    TComPtr<IDropSource> source(new TDropSource_shlvtv(0));
    DWORD effect = DROPEFFECT_NONE;
    HRESULT hr = DoDragDrop(data.Get(), source.Get(), DROPEFFECT_COPY | DROPEFFECT_MOVE | DROPEFFECT_LINK, &effect);
    user.join();
    Pump();
    EXPECT_EQ(hr, DRAGDROP_S_DROP) << c.keyBits;
    EXPECT_EQ(effect, c.effect) << c.keyBits;
    EXPECT_EQ(node.calls.Last(), "drop") << c.keyBits;
    EXPECT_EQ(node.dropKeys, c.keyBits | MK_LBUTTON) << c.keyBits;
    EXPECT_EQ(node.droppedFiles, std::vector<std::string>{scratch_ + "a.cfg"}) << c.keyBits;
    EXPECT_GT(refreshes, 0) << c.keyBits;
  }
  tree->nodeTarget = nullptr;
}

// Called as OLE calls it: the root takes nothing, a node answers what its target says with
// scrolling allowed, and the tree lets the data go when the drag leaves or drops.
TEST_F(FcShellTreeDrag, ADragOverTheTreeAsksTheNodeUnderThePointer) {
  auto* tree = MakeTree(Defaults(), scratch_ + "Alpha");
  TKeyedHandler node;
  TComPtr<TDropTarget_shtv> nodeTarget(new TDropTarget_shtv(&node));
  tree->nodeTarget = nodeTarget.Get();
  TIdListPtr folder = ParsedList(scratch_);
  TIdListPtr file = LastItem(ParsedList(scratch_ + "a.cfg").get());
  TComPtr<IShellFolder> shell;
  ASSERT_EQ(ShellGetFolderFromIdList(folder.get(), shell.Out()), S_OK);
  TComPtr<IDataObject> data(CreateShellDataObject(shell.Get(), folder.get(), {file.get()}));
  auto references = [&] {
    data->AddRef();
    return data->Release();
  };
  ULONG before = references();
  tree->SetTopItem(tree->Items()->GetFirstNode());
  POINTL root = AsPointL(ScreenCentre(tree->Items()->GetFirstNode()));
  DWORD effect = DROPEFFECT_COPY | DROPEFFECT_MOVE;
  EXPECT_EQ(tree->DragEnter(data.Get(), MK_LBUTTON, root, &effect), S_OK);
  EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_NONE));

  tree->SetTopItem(ScratchNode(tree));
  POINTL beta = AsPointL(ScreenCentre(ChildNamed(ScratchNode(tree), "beta")));
  effect = DROPEFFECT_COPY | DROPEFFECT_MOVE;
  EXPECT_EQ(tree->DragOver(MK_LBUTTON | MK_CONTROL, beta, &effect), S_OK);
  EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_COPY | DROPEFFECT_SCROLL));
  EXPECT_EQ(tree->DropTarget(), ChildNamed(ScratchNode(tree), "beta"));
  EXPECT_EQ(tree->DragLeave(), S_OK);
  EXPECT_EQ(references(), before);
  EXPECT_EQ(tree->DropTarget(), nullptr);

  effect = DROPEFFECT_COPY | DROPEFFECT_MOVE;
  tree->DragEnter(data.Get(), MK_LBUTTON, beta, &effect);
  effect = DROPEFFECT_COPY | DROPEFFECT_MOVE;
  EXPECT_EQ(tree->Drop(data.Get(), 0, beta, &effect), S_OK);
  EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_MOVE));
  EXPECT_EQ(node.dropKeys, static_cast<DWORD>(MK_LBUTTON));
  EXPECT_EQ(references(), before);
  tree->nodeTarget = nullptr;
}

// The hover metrics the system does not give (or gives as 0, which would open every node a
// drag passes) are 400 ms and 2 by 2 pixels.
TEST(ShellHoverMetrics, ValuesTheSystemDoesNotGiveAreTheUsualOnes) {
  const struct {
    UINT time, width, height;
    TShellHoverMetrics expected;
  } cases[] = {
      {0, 0, 0, {400, 2, 2}},
      {300, 4, 6, {300, 4, 6}},
      {0, 8, 0, {400, 8, 2}},
  };
  for (const auto& c : cases) {
    TShellHoverMetrics m = HoverMetricsFrom(c.time, c.width, c.height);
    EXPECT_EQ(m.Time, c.expected.Time) << c.time;
    EXPECT_EQ(m.Width, c.expected.Width) << c.width;
    EXPECT_EQ(m.Height, c.expected.Height) << c.height;
  }
}

// A drag that rests on a closed folder opens it once the hover time has passed.
TEST_F(FcShellTreeDrag, ADragRestingOnAClosedFolderOpensIt) {
  const DWORD hoverTime = ShellHoverMetrics().Time;
  ASSERT_TRUE(CreateDirectoryA((scratch_ + "beta\\inner").c_str(), nullptr));
  auto* tree = MakeTree(Defaults(), scratch_ + "Alpha");
  tree->SetTopItem(ScratchNode(tree));
  TTreeNode* beta = ChildNamed(ScratchNode(tree), "beta");
  ASSERT_FALSE(beta->Expanded());
  TIdListPtr folder = ParsedList(scratch_);
  TIdListPtr file = LastItem(ParsedList(scratch_ + "a.cfg").get());
  TComPtr<IShellFolder> shell;
  ASSERT_EQ(ShellGetFolderFromIdList(folder.get(), shell.Out()), S_OK);
  TComPtr<IDataObject> data(CreateShellDataObject(shell.Get(), folder.get(), {file.get()}));
  POINTL over = AsPointL(ScreenCentre(beta));
  DWORD effect = DROPEFFECT_COPY;
  DWORD start = GetTickCount();
  tree->DragEnter(data.Get(), MK_LBUTTON, over, &effect);
  LoopUntil([&] { return GetTickCount() - start >= hoverTime / 2; }, 2000);
  effect = DROPEFFECT_COPY;
  tree->DragOver(MK_LBUTTON, over, &effect);
  EXPECT_FALSE(beta->Expanded());
  LoopUntil([&] { return GetTickCount() - start >= hoverTime + 100; }, 2000);
  effect = DROPEFFECT_COPY;
  tree->DragOver(MK_LBUTTON, over, &effect);
  EXPECT_TRUE(beta->Expanded());
  EXPECT_EQ(ChildTexts(beta), std::vector<std::string>{"inner"});
  tree->DragLeave();
}
