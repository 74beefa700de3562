// The dialog components as the program uses them: Execute with a script playing the user.
#include <gtest/gtest.h>

#include <windows.h>
#include <shlobj.h>

#include <string>

#include "ShellDialogTestSupport.h"
#include "shell/FcShellDialogs.h"

namespace {

// ---- The select-folder dialog ----------------------------------------------------------------

// The program's folder dialog: create and delete buttons, context menus, both folder icons,
// hidden items shown; it starts at the desktop.
class FcSelectFolderDialogTest : public ShellDialogTest {
 protected:
  void SetUp() override {
    ShellDialogTest::SetUp();
    RegisterFcShellDialogs();
    dialog_ = new TFcSelectFolderDialog(&owner_);
    dialog_->SetOptions({sfdoCreateDeleteButtons, sfdoContextMenus, sfdoCreateFolderIcon, sfdoDeleteFolderIcon,
                         sfdoShowHidden});
    dialog_->OnFormShow = [this](TObject*) { script_.Start(); };
  }

  TFcSelectFolderForm* Form() const { return dialog_->Form(); }
  TFcShellTree* Tree() const { return Form()->ShellTree; }
  bool Filled() const { return Form() && Tree()->Items()->GetFirstNode() != nullptr; }
  void Select(const std::string& path) { Tree()->SelectedFolder()->SetPathName(path); }

  TComponent owner_{nullptr};
  TFcSelectFolderDialog* dialog_ = nullptr;
  TModalScript script_;
};

}  // namespace

// OK hands the chosen folder back and Cancel keeps the old one; the next run opens where the
// last one ended, in the size the user gave the window; while the window waits the cursor is
// the normal one, and every run frees its window and puts the caller's cursor back.
TEST_F(FcSelectFolderDialogTest, ReturnsTheChosenFolderAndReopensWhereTheUserLeftIt) {
  std::string alpha = MakeFolder("Alpha");
  std::string beta = MakeFolder("beta");
  TTemporaryCursor callers(crAppStart);
  TCursor waiting = crHourGlass;
  script_.When([&] { return Filled(); },
               [&] {
                 EXPECT_EQ(Tree()->Selected(), Tree()->Items()->GetFirstNode()) << "the desktop";
                 waiting = Screen->Cursor();
                 Select(alpha);
                 Form()->SetBounds(Form()->Left(), Form()->Top(), 500, 450);
                 SaveWindowPicture(Form(), "select-folder-dialog");
                 Form()->OkBtn->Click();
               });
  EXPECT_TRUE(dialog_->Execute());
  EXPECT_EQ(waiting, crDefault);
  EXPECT_EQ(Screen->Cursor(), crAppStart);
  EXPECT_EQ(LiveForms<TFcSelectFolderForm>(), 0);
  EXPECT_EQ(dialog_->SelectedFolder()->PathName(), alpha);
  EXPECT_EQ(dialog_->FormWidth(), 500);
  EXPECT_EQ(dialog_->FormHeight(), 450);

  std::string reopenedAt;
  int reopenedWidth = 0, reopenedHeight = 0;
  script_.When([&] { return Filled(); },
               [&] {
                 reopenedAt = Tree()->SelectedPathName();
                 reopenedWidth = Form()->Width();
                 reopenedHeight = Form()->Height();
                 Select(beta);
                 Form()->CancelBtn->Click();
               });
  EXPECT_FALSE(dialog_->Execute());
  EXPECT_EQ(reopenedAt, alpha);
  EXPECT_EQ(reopenedWidth, 500);
  EXPECT_EQ(reopenedHeight, 450);
  EXPECT_EQ(dialog_->SelectedFolder()->PathName(), alpha);
  EXPECT_EQ(LiveForms<TFcSelectFolderForm>(), 0);
  EXPECT_TRUE(script_.Finished());
}

// The buttons make a folder (whose name the user types at once) and delete one once the shell's
// question is answered.
TEST_F(FcSelectFolderDialogTest, MakesRenamesAndDeletesFolders) {
  MakeFolder("Alpha");
  std::string folder = scratch_.substr(0, scratch_.size() - 1);
  TTreeNode* made = nullptr;
  std::unique_ptr<TBoxAnswerer> yes;
  script_
      .When([&] { return Filled(); },
            [&] {
              Select(folder);
              ASSERT_TRUE(Form()->BtnNewFolder->Enabled());
              Form()->BtnNewFolder->Click();
            })
      .When([&] { return Tree()->IsEditing(); },
            [&] {
              EXPECT_TRUE(Exists(scratch_ + "New Folder"));
              made = Tree()->Selected()->GetFirstChild();
              for (TTreeNode* n = made; n; n = n->GetNextSibling())
                if (n->Text() == "New Folder") made = n;
              SetWindowTextA(Tree()->EditHandle(), "Renamed");
              made->EndEdit(false);
              EXPECT_TRUE(Exists(scratch_ + "Renamed"));
              EXPECT_FALSE(Exists(scratch_ + "New Folder"));
              Select(scratch_ + "Renamed");
              std::string status = Form()->FcStatusBar1->SimpleCaption();
              EXPECT_EQ(status.substr(status.size() - 8), "\\Renamed") << status;
              ASSERT_TRUE(Form()->BtnDeleteFolder->Enabled());
              yes = std::make_unique<TBoxAnswerer>("Confirm folder deletion", IDYES);
              Form()->BtnDeleteFolder->Click();
            })
      .When([&] { return !Exists(scratch_ + "Renamed"); },
            [&] {
              EXPECT_TRUE(yes->Seen().found);
              TTreeNode* scratch = Tree()->Selected();
              for (TTreeNode* n = scratch ? scratch->GetFirstChild() : nullptr; n; n = n->GetNextSibling())
                EXPECT_NE(n->Text(), "Renamed");
              Form()->OkBtn->Click();
            });
  EXPECT_TRUE(dialog_->Execute());
  EXPECT_TRUE(script_.Finished());
  EXPECT_TRUE(Exists(scratch_ + "Alpha"));
}

// A second Execute while the window is open is refused; the run still ends cleanly.
TEST_F(FcSelectFolderDialogTest, ASecondRunWhileOneIsOpenIsRefused) {
  std::string message;
  script_.When([&] { return Filled(); },
               [&] {
                 try {
                   dialog_->Execute();
                 } catch (const Exception& e) {
                   message = e.Message();
                 }
                 Form()->CancelBtn->Click();
               });
  EXPECT_FALSE(dialog_->Execute());
  EXPECT_EQ(message, "TFcSelectFolderDialog form already active");
  EXPECT_EQ(dialog_->Form(), nullptr);
  EXPECT_EQ(LiveForms<TFcSelectFolderForm>(), 0);
  EXPECT_EQ(Screen->Cursor(), crDefault);
}
