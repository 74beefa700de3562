// The select-folder window on its own: its options, its layout, the path in its status bar,
// and which folders its buttons may act on.
#include <gtest/gtest.h>

#include <windows.h>
#include <shlobj.h>

#include <memory>
#include <ostream>
#include <string>

#include "ShellDialogTestSupport.h"
#include "shell/FcShellFolderForm.h"

namespace {

// ---- Path shortening ----------------------------------------------------------------------

// Every character is 10 pixels wide.
int TenEach(const std::string& text) { return static_cast<int>(text.size()) * 10; }

struct TShortenCase {
  const char* path;
  int limit;
  const char* shown;
};

void PrintTo(const TShortenCase& c, std::ostream* os) { *os << c.path << " in " << c.limit; }

const TShortenCase kShortenCases[] = {
    {"C:\\Program Files\\Game\\Levels\\Map", 1000, "C:\\Program Files\\Game\\Levels\\Map"},
    {"C:\\Program Files\\Game\\Levels\\Map", 300, "C:\\...\\Game\\Levels\\Map"},
    {"C:\\Program Files\\Game\\Levels\\Map", 219, "C:\\...\\Levels\\Map"},
    {"C:\\Program Files\\Game\\Levels\\Map", 130, "C:\\...\\Map"},
    {"C:\\Program Files\\Game\\Levels\\Map", 80, "...\\Map"},
    {"C:\\Program Files\\Game\\Levels\\Map", 60, "Map"},
    // Narrower than the name itself: the name stays whole, and the shortening ends.
    {"C:\\Program Files\\Game\\Levels\\Map", 1, "Map"},
    {"C:\\Map", 60, "C:\\Map"},
    {"C:\\Map", 40, "Map"},
    {"C:\\", 10, ""},
    {"\\\\server\\share\\Levels\\Map", 170, "\\...\\Levels\\Map"},
    {"\\\\server\\share\\Levels\\Map", 1, "Map"},
};

class ShortenPath : public testing::TestWithParam<TShortenCase> {};

}  // namespace

TEST_P(ShortenPath, GivesLeadingFoldersAwayUntilThePathFits) {
  const TShortenCase& c = GetParam();
  EXPECT_EQ(ShortenPathToFit(c.path, c.limit, TenEach), c.shown);
}

INSTANTIATE_TEST_SUITE_P(Cases, ShortenPath, testing::ValuesIn(kShortenCases));

// ---- The window ---------------------------------------------------------------------------

namespace {

class FcSelectFolderFormTest : public ShellDialogTest {
 protected:
  void SetUp() override {
    ShellDialogTest::SetUp();
    RegisterFcShellFolderForm();
    form_.reset(TForm::Create<TFcSelectFolderForm>(nullptr));
  }
  void TearDown() override {
    form_.reset();
    ShellDialogTest::TearDown();
  }
  // The window shown with the options, its tree filled.
  void ShowWith(TFcSelectFolderDialogOptions options) {
    form_->SetOptions(options);
    form_->Show();
    ASSERT_TRUE(LoopUntil([&] { return form_->ShellTree->Items()->GetFirstNode() != nullptr; }, 5000));
  }
  void Select(int csidl) {
    form_->ShellTree->SelectedFolder()->SetCSIDL(csidl);
    Pump();
  }
  void Select(const std::string& path) {
    form_->ShellTree->SelectedFolder()->SetPathName(path);
    Pump();
  }

  std::unique_ptr<TFcSelectFolderForm> form_;
};

// The options of the program's folder dialog.
const TFcSelectFolderDialogOptions kProgramOptions{sfdoCreateDeleteButtons, sfdoContextMenus,
                                                   sfdoCreateFolderIcon, sfdoDeleteFolderIcon, sfdoShowHidden};

struct TOptionCase {
  const char* name;
  TFcSelectFolderDialogOptions options;
  bool buttons;
  int newImage, deleteImage;
  bool flat;
  TFcShellTreeOptions treeHas, treeLacks;
  bool readOnly;
};

void PrintTo(const TOptionCase& c, std::ostream* os) { *os << c.name; }

const TOptionCase kOptionCases[] = {
    {"the program's", kProgramOptions, true, 0, 2, true, {stoContextMenus, stoShowHidden},
     {stoVirtualFolders, stoIncludeNonFolders, stoOleDrag, stoOleDrop}, false},
    {"without the delete icon", kProgramOptions - sfdoDeleteFolderIcon, true, 0, -1, false, {}, {}, false},
    {"without icons", kProgramOptions - sfdoCreateFolderIcon - sfdoDeleteFolderIcon, true, -1, -1, false, {}, {},
     false},
    {"without buttons", kProgramOptions - sfdoCreateDeleteButtons, false, 0, 2, true, {}, {}, false},
    {"everything else",
     {sfdoReadOnly, sfdoIncludeNonFolders, sfdoOleDrag, sfdoOleDrop, sfdoVirtualFolders, sfdoCreateFolderIcon,
      sfdoDeleteFolderIcon},
     false, 0, 2, true, {stoIncludeNonFolders, stoOleDrag, stoOleDrop, stoVirtualFolders},
     {stoContextMenus, stoShowHidden}, true},
};

class FcSelectFolderFormOptions : public FcSelectFolderFormTest, public testing::WithParamInterface<TOptionCase> {};

}  // namespace

TEST_P(FcSelectFolderFormOptions, ReachTheButtonsAndTheTree) {
  const TOptionCase& c = GetParam();
  // Tree options the dialog's options do not stand for are left alone.
  form_->ShellTree->SetOptions({stoDefaultKeyHandling});
  form_->SetOptions(c.options);
  EXPECT_EQ(form_->BtnNewFolder->Visible(), c.buttons);
  EXPECT_EQ(form_->BtnDeleteFolder->Visible(), c.buttons);
  EXPECT_EQ(form_->BtnNewFolder->ImageIndex(), c.newImage);
  EXPECT_EQ(form_->BtnDeleteFolder->ImageIndex(), c.deleteImage);
  EXPECT_EQ(form_->BtnNewFolder->Flat(), c.flat);
  EXPECT_EQ(form_->BtnDeleteFolder->Flat(), c.flat);
  TFcShellTreeOptions tree = form_->ShellTree->Options();
  EXPECT_TRUE(tree.Contains(stoDefaultKeyHandling));
  EXPECT_EQ(tree * c.treeHas, c.treeHas);
  EXPECT_TRUE((tree * c.treeLacks).Empty());
  EXPECT_EQ(form_->ShellTree->ReadOnly(), c.readOnly);
  // The tree starts below the buttons, or in their place without them.
  EXPECT_EQ(form_->ShellTree->Top(), c.buttons ? form_->BtnNewFolder->Top() + form_->BtnNewFolder->Height() + 4 : 8);
}

INSTANTIATE_TEST_SUITE_P(Cases, FcSelectFolderFormOptions, testing::ValuesIn(kOptionCases));

TEST_F(FcSelectFolderFormTest, ShowingFillsTheTreeAndGivesTheCaptions) {
  ShowWith(kProgramOptions);
  EXPECT_EQ(form_->Caption(), "Browse for Folder");
  EXPECT_EQ(form_->OkBtn->Caption(), "OK");
  EXPECT_EQ(form_->CancelBtn->Caption(), "Cancel");
  EXPECT_EQ(form_->BtnNewFolder->Caption(), "Create Folder");
  EXPECT_EQ(form_->BtnDeleteFolder->Caption(), "Delete");
  EXPECT_TRUE(form_->ShellTree->ShowRoot());
  EXPECT_TRUE(form_->ShellTree->Options().Contains(stoAutoFill));
  // The status bar lies below the button panel.
  EXPECT_GE(form_->FcStatusBar1->Top(), form_->ButtonPanel->Top() + form_->ButtonPanel->Height());
}

// The buttons act only where there is a folder to act on: "Delete" never on the desktop, a
// drive or a special folder, whatever the shell's menus offer.
TEST_F(FcSelectFolderFormTest, TheButtonsAreOnlyForFoldersTheyMayActOn) {
  ShowWith(kProgramOptions);
  MakeFolder("Alpha");
  struct {
    const char* name;
    std::function<void()> select;
    bool create, del;
  } cases[] = {
      {"a folder of the scratch tree", [&] { Select(scratch_ + "Alpha"); }, true, true},
      {"the desktop", [&] { Select(CSIDL_DESKTOP); }, true, false},
      {"drive C:", [&] { Select("C:\\"); }, true, false},
      {"Documents", [&] { Select(CSIDL_PERSONAL); }, true, false},
      {"My Computer", [&] { Select(CSIDL_DRIVES); }, false, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    c.select();
    ASSERT_NE(form_->ShellTree->Selected(), nullptr);
    EXPECT_EQ(form_->BtnNewFolder->Enabled(), c.create);
    EXPECT_EQ(form_->BtnDeleteFolder->Enabled(), c.del);
  }
  // Without a path the status bar is empty.
  EXPECT_EQ(form_->FcStatusBar1->SimpleCaption(), "");
}

TEST_F(FcSelectFolderFormTest, TheStatusBarShowsThePathShortenedToItsWidth) {
  std::string deep = MakeFolder("A rather long folder name for a status bar") + "\\Levels";
  ASSERT_TRUE(CreateDirectoryA(deep.c_str(), nullptr));
  ShowWith(kProgramOptions);
  Select(deep);
  std::string shown = form_->FcStatusBar1->SimpleCaption();
  EXPECT_EQ(shown.substr(0, 7), "C:\\...\\") << shown;
  EXPECT_EQ(shown.substr(shown.size() - 7), "\\Levels") << shown;
  // Wide enough, the whole path shows.
  form_->SetBounds(0, 0, 1200, form_->Height());
  Pump();
  EXPECT_EQ(form_->FcStatusBar1->SimpleCaption(), deep);
}

TEST_F(FcSelectFolderFormTest, ResizingKeepsTheTreeAndTheButtonsInPlace) {
  ShowWith(kProgramOptions);
  form_->SetBounds(form_->Left(), form_->Top(), 600, 500);
  Pump();
  EXPECT_EQ(form_->ShellTree->Width(), 576);
  EXPECT_EQ(form_->ShellTree->Top() + form_->ShellTree->Height(), form_->ButtonPanel->Top() - 4);
  EXPECT_EQ(form_->CancelBtn->Left() + form_->CancelBtn->Width(), form_->ClientWidth() - 8);
  EXPECT_EQ(form_->OkBtn->Left() + form_->OkBtn->Width(), form_->CancelBtn->Left() - 8);
  MINMAXINFO info{};
  SendMessageA(form_->Handle(), WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
  EXPECT_GE(info.ptMinTrackSize.x, TFcSelectFolderForm::kMinTrackWidth);
  EXPECT_GE(info.ptMinTrackSize.y, TFcSelectFolderForm::kMinTrackHeight);
}
