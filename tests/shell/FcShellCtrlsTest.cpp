// The shell tree, list and combo together: each moves the others, drags go from one to another,
// and a window of the three linked is read from a stored layout and pictured.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>
#include <shlobj.h>

#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "ControlTestSupport.h"
#include "FcViewsTestSupport.h"
#include "ShellDragTestSupport.h"
#include "ShellTestSupport.h"
#include "TestSupport.h"
#include "controls/ControlsTestSupport.h"
#include "platform/Layout.h"
#include "shell/FcShellCombo.h"
#include "shell/FcShellList.h"
#include "shell/FcShellRegister.h"
#include "shell/FcShellTree.h"

namespace {

// A tree whose nodes take drops through a target of the test's own.
class TTargetTree : public TFcShellTree {
 public:
  using TFcShellTree::TFcShellTree;
  IDropTarget* nodeTarget = nullptr;

 protected:
  HRESULT GetNodeDropTarget(TTreeNode* node, IDropTarget** target) override {
    if (!nodeTarget) return TFcShellTree::GetNodeDropTarget(node, target);
    nodeTarget->AddRef();
    *target = nodeTarget;
    return S_OK;
  }
};

// A shown form, and a folder of the test's own on C: with Alpha, beta, gamma (a file in each),
// a.cfg, B.TXT and c.cfg.
class ShellCtrls : public ShownFormTest {
 protected:
  void SetUp() override {
    RegisterShellControls();
    ShownFormTest::SetUp();
    form_->SetBounds(40, 40, 760, 480);
    const testing::TestInfo* info = testing::UnitTest::GetInstance()->current_test_info();
    // Named by the test's line: short enough for the tree to show whole in the pictures.
    scratch_ = "C:\\shlctrls-" + std::to_string(info->line()) + "\\";
    DeleteFolderTree(scratch_);
    ASSERT_TRUE(CreateDirectoryA(scratch_.c_str(), nullptr));
    for (const char* name : {"Alpha", "beta", "gamma"}) {
      ASSERT_TRUE(CreateDirectoryA((scratch_ + name).c_str(), nullptr));
      ASSERT_TRUE(WriteFileBytes(scratch_ + name + "\\inside.txt", "1"));
    }
    for (const char* name : {"a.cfg", "B.TXT", "c.cfg"}) ASSERT_TRUE(WriteFileBytes(scratch_ + name, "1234"));
  }
  void TearDown() override {
    ShownFormTest::TearDown();
    DeleteFolderTree(scratch_);
  }

  // A tree linked to a list, both filled, the tree at `folder`.
  template <class Tree = TFcShellTree>
  Tree* MakeLinked(TFcShellList*& list, const std::string& folder) {
    auto* tree = Make<Tree>(8, 8, 260, 420);
    list = Make<TFcShellList>(276, 8, 460, 420);
    list->SetViewStyle(vsReport);
    tree->SetShellList(list);
    EXPECT_TRUE(LoopUntil([&] { return tree->Items()->GetFirstNode() != nullptr; }, 5000));
    tree->SelectedFolder()->SetPathName(folder);
    EXPECT_TRUE(LoopUntil([&] { return list->Items()->Count() > 0; }, 3000));
    return tree;
  }
  static std::string Listed(TFcCustomShellList* list) {
    return AppendCharIfMissing(list->Folder()->PathName(), '\\');
  }
  static TListItem* Find(TFcCustomShellList* list, const std::string& name) {
    for (int i = 0; i < list->Items()->Count(); ++i) {
      TFcShellListData* data = list->ShellData(list->Items()->Item(i));
      if (data && SameText(data->FileName(), name)) return list->Items()->Item(i);
    }
    return nullptr;
  }
  static TTreeNode* ChildNamed(TTreeNode* node, const std::string& text) {
    for (int i = 0; node && i < node->Count(); ++i)
      if (node->Item(i)->Text() == text) return node->Item(i);
    return nullptr;
  }
  static POINT Centre(TTreeNode* node) {
    RECT r = node->DisplayRect(true);
    return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
  }

  std::string scratch_;
};

}  // namespace

// ---- The tree and the list -------------------------------------------------------------------

// A click in the tree moves the list at once; keyboard moves wait for the keyboard to rest, and
// then the list moves once, to where the keys went.
TEST_F(ShellCtrls, AClickMovesTheListAtOnceAndKeyboardMovesMoveItOnceAfterAPause) {
  TFcShellList* list = nullptr;
  auto* tree = MakeLinked(list, scratch_ + "Alpha");
  EXPECT_EQ(Listed(list), scratch_ + "Alpha\\");
  int moves = 0;
  list->OnFolderChanged = [&](TObject*) { ++moves; };
  TTreeNode* scratch = tree->Selected()->Parent();
  tree->SetTopItem(scratch);
  POINT gamma = Centre(ChildNamed(scratch, "gamma"));
  RealClick(tree, gamma.x, gamma.y);
  ASSERT_EQ(tree->Selected(), ChildNamed(scratch, "gamma"));
  EXPECT_EQ(Listed(list), scratch_ + "gamma\\");
  EXPECT_EQ(moves, 1);

  moves = 0;
  tree->SetFocus();
  RealChord({VK_UP});
  Sleep(100);
  // Timed from the key's press: the list may move only once the keyboard has rested.
  const DWORD lastKey = GetTickCount();
  RealChord({VK_UP});
  ASSERT_EQ(tree->Selected()->Text(), "Alpha");
  EXPECT_EQ(Listed(list), scratch_ + "gamma\\");
  EXPECT_TRUE(LoopUntil([&] { return moves > 0; }, 3000));
  EXPECT_GE(GetTickCount() - lastKey, 400u);
  EXPECT_EQ(Listed(list), scratch_ + "Alpha\\");
  LoopUntil([] { return false; }, 700);
  EXPECT_EQ(moves, 1);
}

// The list opening a folder, and going up with Backspace, moves the tree.
TEST_F(ShellCtrls, TheListOpeningAFolderAndGoingUpMoveTheTree) {
  TFcShellList* list = nullptr;
  auto* tree = MakeLinked(list, scratch_.substr(0, scratch_.size() - 1));
  list->SetFocus();
  list->SetSelected(Find(list, "beta"));
  Pump();
  RealChord({VK_RETURN});
  EXPECT_EQ(tree->SelectedPathName(), scratch_ + "beta");
  EXPECT_EQ(Listed(list), scratch_ + "beta\\");
  RealChord({VK_BACK});
  EXPECT_EQ(tree->SelectedPathName() + "\\", scratch_);
  EXPECT_EQ(Listed(list), scratch_);
}

// ---- Icons -----------------------------------------------------------------------------------

namespace {

// How many images the shell's small, large and extra-large lists hold.
std::vector<int> SystemListCounts() {
  std::vector<int> counts;
  for (int which : {SHIL_SMALL, SHIL_LARGE, SHIL_EXTRALARGE}) {
    // The shell hands out its lists as image-list objects, which are their own handles.
    static const GUID kImageList = {0x46EB5926, 0x582E, 0x4017, {0x9F, 0xDF, 0xE8, 0x99, 0x8D, 0xAA, 0x09, 0x50}};
    void* list = nullptr;
    EXPECT_EQ(SHGetImageList(which, kImageList, &list), S_OK) << which;
    counts.push_back(list ? ImageList_GetImageCount(static_cast<HIMAGELIST>(list)) : -1);
  }
  return counts;
}

// The shell's small icon of a path, closed or open.
int ShellIconOf(const std::string& path, bool open) {
  SHFILEINFOA info{};
  SHGetFileInfoA(path.c_str(), 0, &info, sizeof info, SHGFI_SYSICONINDEX | SHGFI_SMALLICON | (open ? SHGFI_OPENICON : 0));
  return info.iIcon;
}

}  // namespace

// The tree, the list and the combo draw the shell's own icons from the system's lists, which
// they share with the shell and leave as the shell keeps them: the three sizes in step.
TEST_F(ShellCtrls, TheControlsShowTheShellsOwnIconsAndLeaveTheSystemsListsAlone) {
  TFcShellList* list = nullptr;
  auto* tree = MakeLinked(list, scratch_ + "Alpha");
  auto* combo = Make<TFcShellCombo>(8, 440, 300, 24);
  combo->SetShellTree(tree);
  combo->SelectedFolder()->SetPathName(scratch_ + "beta");
  form_->Update();
  Pump();

  // What the tree's window draws for a folder, and for the selected one.
  TTreeNode* beta = tree->Selected();
  ASSERT_EQ(tree->SelectedPathName(), scratch_ + "beta");
  TTreeNode* alpha = ChildNamed(beta->Parent(), "Alpha");
  ASSERT_NE(alpha, nullptr);
  auto drawn = [&](TTreeNode* node) {
    TVITEMA item{};
    item.mask = TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_HANDLE;
    item.hItem = node->ItemId();
    SendMessageA(tree->Handle(), TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item));
    return std::vector<int>{item.iImage, item.iSelectedImage};
  };
  EXPECT_EQ(drawn(alpha), (std::vector<int>{ShellIconOf(scratch_ + "Alpha", false), ShellIconOf(scratch_ + "Alpha", true)}));
  EXPECT_EQ(drawn(beta), (std::vector<int>{ShellIconOf(scratch_ + "beta", false), ShellIconOf(scratch_ + "beta", true)}));
  // The list's folder and file, and the combo's chosen folder.
  list->Folder()->SetPathName(scratch_.substr(0, scratch_.size() - 1));
  ASSERT_TRUE(LoopUntil([&] { return Find(list, "a.cfg") != nullptr; }, 3000));
  for (const char* name : {"gamma", "a.cfg"}) {
    LVITEMA item{};
    item.mask = LVIF_IMAGE;
    item.iItem = Find(list, name)->Index();
    SendMessageA(list->Handle(), LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item));
    EXPECT_EQ(item.iImage, ShellIconOf(scratch_ + name, false)) << name;
  }
  combo->SelectedFolder()->SetPathName(scratch_ + "gamma");
  ASSERT_EQ(combo->ImageItem(combo->ItemIndex())->Caption(), "gamma");
  EXPECT_EQ(combo->ImageItem(combo->ItemIndex())->ImageIndex(), ShellIconOf(scratch_ + "gamma", true));

  // Whatever icons the shell took in meanwhile, it took into all its lists.
  std::vector<int> counts = SystemListCounts();
  EXPECT_EQ(counts[0], counts[2]) << "small and extra-large";
  EXPECT_EQ(counts[1], counts[2]) << "large and extra-large";
  ShellGetSystemImageList(0);
  ShellGetSystemImageList(1);
  EXPECT_EQ(SystemListCounts(), counts);
}

// Files dragged from the list onto a folder of the tree reach that folder's drop target with
// the keys held and the button that carried them, and its answer is the drop's effect.
TEST_F(ShellCtrls, FilesDraggedFromTheListToTheTreeGoToTheFoldersTargetWithTheEffectOfTheKeys) {
  TFcShellList* list = nullptr;
  auto* tree = MakeLinked<TTargetTree>(list, scratch_.substr(0, scratch_.size() - 1));
  TKeyedHandler folder;
  TComPtr<TDropTarget_shtv> folderTarget(new TDropTarget_shtv(&folder));
  tree->nodeTarget = folderTarget.Get();
  tree->Selected()->Expand(false);
  TTreeNode* beta = ChildNamed(tree->Selected(), "beta");
  ASSERT_NE(beta, nullptr);
  tree->SetTopItem(tree->Selected());
  const char* files[] = {"a.cfg", "B.TXT", "c.cfg"};
  for (std::size_t i = 0; i < std::size(kKeyCases); ++i) {
    const TKeyCase& c = kKeyCases[i];
    folder.Reset();
    // Each case presses on another item: no two presses make a double click.
    TListItem* item = Find(list, files[i]);
    ASSERT_NE(item, nullptr);
    RECT r = item->DisplayRect(drLabel);
    POINT from = list->ClientToScreen(POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2});
    POINT to = tree->ClientToScreen(Centre(beta));
    std::thread user(Hand, from, to, c.keys, std::cref(folder));
    bool dropped = LoopUntil([&] { return folder.calls.Last() == "drop"; }, 8000);
    user.join();
    Pump();
    ASSERT_TRUE(dropped) << files[i];
    EXPECT_EQ(folder.dropKeys, c.keyBits | MK_LBUTTON) << files[i];
    EXPECT_EQ(folder.dropEffect, c.effect) << files[i];
    EXPECT_EQ(folder.droppedFiles, std::vector<std::string>{scratch_ + files[i]});
    EXPECT_EQ(tree->DropTarget(), nullptr);
  }
  tree->nodeTarget = nullptr;
}

// ---- The three from a stored layout ----------------------------------------------------------

namespace {

// The combo drives the tree, the tree drives the list. The combo is read first: the tree,
// read after it, is filled all the same.
const char* const kSampleLayout = R"({
  "class": "TForm", "name": "ShellSample",
  "properties": { "Caption": "Shell controls", "ClientWidth": 640, "ClientHeight": 400 },
  "children": [
    { "class": "TFcShellCombo", "name": "LookIn",
      "properties": { "Left": 8, "Top": 8, "Width": 320, "ShellTree": "Folders" } },
    { "class": "TFcShellTree", "name": "Folders",
      "properties": { "Left": 8, "Top": 40, "Width": 220, "Height": 352, "ShellList": "Files" } },
    { "class": "TFcShellList", "name": "Files",
      "properties": { "Left": 236, "Top": 40, "Width": 396, "Height": 352, "ViewStyle": "vsReport" } } ]
})";

}  // namespace

TEST_F(ShellCtrls, TheComboTreeAndListOfAStoredLayoutMoveTogetherAndArePictured) {
  for (bool styles : {true, false}) {
    TStylesScope scope(styles ? TVisualStyles::vsOn : TVisualStyles::vsOff);
    std::unique_ptr<TForm> form(TForm::CreateNew<TForm>(nullptr));
    ReadLayout(form.get(), kSampleLayout);
    auto* combo = dynamic_cast<TFcShellCombo*>(form->FindComponent("LookIn"));
    auto* tree = dynamic_cast<TFcShellTree*>(form->FindComponent("Folders"));
    auto* list = dynamic_cast<TFcShellList*>(form->FindComponent("Files"));
    ASSERT_TRUE(combo && tree && list);
    EXPECT_EQ(combo->ShellTree(), tree);
    EXPECT_EQ(tree->ShellCombo(), combo);
    EXPECT_EQ(tree->ShellList(), list);
    ASSERT_NE(tree->Items()->GetFirstNode(), nullptr);
    EXPECT_TRUE(tree->Items()->GetFirstNode()->Expanded());
    form->SetBounds(40, 40, form->Width(), form->Height());
    form->Show();
    Pump();

    // The combo moves the tree, which moves the list.
    combo->SelectedFolder()->SetPathName(scratch_.substr(0, scratch_.size() - 1));
    EXPECT_EQ(tree->SelectedPathName() + "\\", scratch_);
    EXPECT_EQ(Listed(list), scratch_);
    ASSERT_TRUE(LoopUntil([&] { return list->Items()->Count() == 6; }, 3000));
    // The tree moves the combo and the list; the list's going up moves both.
    tree->SelectedFolder()->SetPathName(scratch_ + "beta");
    EXPECT_EQ(combo->ImageItem(combo->ItemIndex())->Caption(), "beta");
    EXPECT_EQ(Listed(list), scratch_ + "beta\\");
    list->GoUp(1);
    EXPECT_EQ(tree->SelectedPathName() + "\\", scratch_);
    EXPECT_EQ(combo->SelectedFolder()->PathName() + "\\", scratch_);
    EXPECT_EQ(Listed(list), scratch_);
    ASSERT_TRUE(LoopUntil([&] { return list->Items()->Count() == 6; }, 3000));

    list->SetFocus();
    SendMessageA(tree->Handle(), WM_HSCROLL, SB_LEFT, 0);
    form->Update();
    Pump(10);
    TBitmap shot(form->ClientWidth(), form->ClientHeight());
    {
      TWindowDC client(form->Handle());
      BitBlt(shot.Canvas()->Handle(), 0, 0, shot.Width(), shot.Height(), client, 0, 0, SRCCOPY);
    }
    std::string file = ScreenshotFolder() + (styles ? "shell-controls-styles-on.bmp" : "shell-controls-styles-off.bmp");
    shot.SaveToFile(file);
    EXPECT_TRUE(FileExists(file));
  }
}
