// The dialog components as the program uses them: Execute with a script playing the user.
#include <gtest/gtest.h>

#include <windows.h>
#include <shlobj.h>

#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "FcViewsTestSupport.h"
#include "ShellDialogTestSupport.h"
#include "ShellTestSupport.h"
#include "platform/Layout.h"
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
              // The new folder is chosen while its name is typed.
              made = Tree()->Selected();
              ASSERT_EQ(made->Text(), "New Folder");
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

// While the user types the new folder's name, the folder it is made in keeps its caption on
// the screen.
TEST_F(FcSelectFolderDialogTest, WhileANewFoldersNameIsTypedItsParentKeepsItsCaption) {
  std::string folder = scratch_.substr(0, scratch_.size() - 1);
  int ink = -1;
  std::string parentText;
  script_
      .When([&] { return Filled(); },
            [&] {
              Select(folder);
              TControl* button = Form()->BtnNewFolder;
              RealClick(button, button->Width() / 2, button->Height() / 2);
            })
      .When([&] { return Tree()->IsEditing(); },
            [&] {
              TTreeNode* parent = nullptr;
              for (TTreeNode* n = Tree()->Items()->GetFirstNode(); n; n = n->GetNext())
                if (n->Text() == "New Folder") parent = n->Parent();
              ASSERT_NE(parent, nullptr);
              parentText = parent->Text();
              Tree()->Update();
              Pump();
              // Inside the frame the selected look draws, and inside the tree's window.
              RECT caption = parent->DisplayRect(true);
              InflateRect(&caption, -2, -2);
              RECT client = Tree()->ClientRect();
              RECT text{};
              ASSERT_TRUE(IntersectRect(&text, &caption, &client));
              std::unique_ptr<TBitmap> shot = ScreenCopy(Tree(), &text);
              ink = 0;
              COLORREF ground = PixelAt(*shot, 0, 0);
              for (int y = 0; y < shot->Height(); ++y)
                for (int x = 0; x < shot->Width(); ++x)
                  if (PixelAt(*shot, x, y) != ground) ++ink;
              Form()->CancelBtn->Click();
            });
  dialog_->Execute();
  EXPECT_TRUE(script_.Finished());
  EXPECT_EQ(parentText, ExtractFileName(folder));
  EXPECT_GT(ink, 0) << "the parent's caption is painted";
}

// A second Execute while the window is open is refused; the run still ends cleanly.
TEST_F(FcSelectFolderDialogTest, ASecondRunWhileOneIsOpenIsRefused) {
  std::string message;
  script_.When([&] { return Filled(); },
               [&] {
                 message = MessageOfSecondRun(dialog_);
                 Form()->CancelBtn->Click();
               });
  EXPECT_FALSE(dialog_->Execute());
  EXPECT_EQ(message, "TFcSelectFolderDialog form already active");
  EXPECT_EQ(dialog_->Form(), nullptr);
  EXPECT_EQ(LiveForms<TFcSelectFolderForm>(), 0);
  EXPECT_EQ(Screen->Cursor(), crDefault);
}

// ---- The open dialog ------------------------------------------------------------------------------

namespace {

const char* const kGameFilter = "Quenmar (Quenmar.exe)|QUENMAR.EXE";
const char* const kDemoFilter = "Quenmar demo files (*.tmd)|*.TMD";
const char* const kConfigFilter = "Quenmar config file (system.cfg)|system.cfg";

// The program's open dialog (no property changed) on a scratch folder holding
//   Bin32\ (with Bin32\Quenmar.exe), demo1.tmd, DEMO2.TMD, link.lnk (to demo1.tmd),
//   other.cfg, Quenmar.exe, Quenmar_WinSV.exe, readme.txt, system.cfg
class FcOpenDialogTest : public ShellDialogTest {
 protected:
  void SetUp() override {
    ShellDialogTest::SetUp();
    RegisterFcShellDialogs();
    dialog_ = new TFcOpenDialog(&owner_);
    dialog_->SetName("FcOpenDialog");
    dialog_->OnFormShow = [this](TObject*) { script_.Start(); };
    MakeFolder("Bin32");
    for (const char* name : {"Bin32\\Quenmar.exe", "demo1.tmd", "DEMO2.TMD", "other.cfg", "Quenmar.exe",
                             "Quenmar_WinSV.exe", "readme.txt", "system.cfg"})
      MakeFile(name);
    MakeShortcut(scratch_ + "link.lnk", scratch_ + "demo1.tmd");
  }

  TFcShellOpenSaveForm* Form() const { return dialog_->Form(); }
  TFcShellList* List() const { return Form()->ShellList; }
  // The list shows the folder (a path without its trailing backslash) and has filled.
  bool Listing(const std::string& folder) const {
    return Form() && ListShowsFolder(List(), folder);
  }
  std::vector<std::string> ListedFiles() const { return FilesInList(List()); }
  TListItem* ItemNamed(const std::string& name) const {
    for (int i = 0; i < List()->Items()->Count(); ++i) {
      TListItem* item = List()->Items()->Item(i);
      TFcShellListData* data = List()->ShellData(item);
      if (data && data->FileName() == name) return item;
    }
    return nullptr;
  }
  void Type(const std::string& text) { Form()->FileNameEdt->SetText(text); }
  void PressOpen() { Form()->OpenBtn->Click(); }
  static bool NoBoxShown() {
    HWND box = FindWindowA("#32770", Application->Title().c_str());
    return !box || !IsWindowVisible(box);
  }

  TComponent owner_{nullptr};
  TFcOpenDialog* dialog_ = nullptr;
  TModalScript script_;
};

std::string Folder(const std::string& scratch) { return scratch.substr(0, scratch.size() - 1); }

}  // namespace

// Each of the program's filters shows only its files (folders always), as one dialog serves the
// program's three uses one after another; the chosen type is read back.
TEST_F(FcOpenDialogTest, EachOfTheProgramsFiltersShowsOnlyItsFiles) {
  dialog_->SetInitialDir(scratch_);
  struct {
    const char* filter;
    std::vector<std::string> files;
  } cases[] = {
      {kGameFilter, {"Quenmar.exe"}},
      {kDemoFilter, {"demo1.tmd", "DEMO2.TMD"}},
      {kConfigFilter, {"system.cfg"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.filter);
    dialog_->SetFilter(c.filter);
    std::vector<std::string> shown;
    std::vector<std::string> types;
    script_.When([&] { return Listing(scratch_); },
                 [&] {
                   shown = ListedFiles();
                   for (int i = 0; i < Form()->FileTypesCbx->Items()->Count(); ++i)
                     types.push_back(Form()->FileTypesCbx->Items()->Strings(i));
                   Form()->CancelBtn->Click();
                 });
    EXPECT_FALSE(dialog_->Execute());
    EXPECT_EQ(shown, c.files);
    EXPECT_EQ(types, std::vector<std::string>{std::string(c.filter).substr(0, std::string(c.filter).find('|'))});
    EXPECT_EQ(dialog_->FilterIndex(), 1);
  }
  EXPECT_EQ(LiveForms<TFcShellOpenSaveForm>(), 0);
}

// Choosing another type filters the list by that type's mask; an index outside the types
// chooses the first type and filters by its mask, never by the whole filter text.
TEST_F(FcOpenDialogTest, SwitchesTypesAndOnlyATypesMaskFiltersTheList) {
  dialog_->SetInitialDir(scratch_);
  dialog_->SetFilter(std::string(kGameFilter) + "|" + kDemoFilter + "|" + kConfigFilter);
  for (int index : {0, 9}) {
    SCOPED_TRACE(index);
    dialog_->SetFilterIndex(index);
    std::vector<std::string> shown;
    int selected = -1;
    script_.When([&] { return Listing(scratch_); },
                 [&] {
                   shown = ListedFiles();
                   selected = Form()->FileTypesCbx->ItemIndex();
                   Form()->CancelBtn->Click();
                 });
    dialog_->Execute();
    EXPECT_EQ(selected, 0);
    EXPECT_EQ(shown, std::vector<std::string>{"Quenmar.exe"});
    EXPECT_EQ(dialog_->FilterIndex(), 1);
  }

  dialog_->SetFilterIndex(2);
  int typeChanges = 0;
  dialog_->OnTypeChanged = [&](TObject*) { ++typeChanges; };
  std::vector<std::string> before, after;
  script_.When([&] { return Listing(scratch_); },
               [&] {
                 before = ListedFiles();
                 Form()->FileTypesCbx->SetItemIndex(2);
                 Form()->FileTypesCbxSelEndOk(Form()->FileTypesCbx);
                 after = ListedFiles();
                 Form()->CancelBtn->Click();
               });
  dialog_->Execute();
  EXPECT_EQ(before, (std::vector<std::string>{"demo1.tmd", "DEMO2.TMD"}));
  EXPECT_EQ(after, std::vector<std::string>{"system.cfg"});
  EXPECT_EQ(typeChanges, 1);
  EXPECT_EQ(dialog_->FilterIndex(), 3);
}

namespace {

// What the user typed and pressed Open on, and what came of it.
struct TTypedCase {
  const char* name;
  std::string typed;  // "<dir>" stands for the scratch folder
  TFcOpenSaveOptions add;
  std::vector<std::string> files;  // full paths ("<dir>"), empty when the window stays
  const char* box;                 // the start of the message box's text, or ""
  const char* staysIn;             // the folder the list shows when the window stays ("<dir>...")
  const char* fieldAfter;          // the name field's text when the window stays
  int answer = IDOK;               // the button the box is answered with
};

void PrintTo(const TTypedCase& c, std::ostream* os) { *os << c.name; }

std::string Expand(std::string text, const std::string& scratch) {
  for (std::size_t at; (at = text.find("<dir>")) != std::string::npos;) text.replace(at, 5, Folder(scratch));
  return text;
}

const TTypedCase kTypedCases[] = {
    {"a wildcard filters the list", "*.cfg", {}, {}, "", "<dir>", "*.cfg"},
    {"a folder is moved into", "Bin32", {}, {}, "", "<dir>\\Bin32", "Bin32"},
    {"an invalid name is refused", "a|b", {}, {}, "a|b\nThe above file name is invalid.", "<dir>", "a|b"},
    {"several quoted names", "\"demo1.tmd\" \"DEMO2.TMD\"", {osoAllowMultiselect},
     {"<dir>\\demo1.tmd", "<dir>\\DEMO2.TMD"}, "", "", ""},
    {"a missing file is accepted", "nothere.tmd", {}, {"<dir>\\nothere.tmd"}, "", "", ""},
    {"a missing file that must exist", "nothere.tmd", {osoFileMustExist}, {},
     "<dir>\\nothere.tmd\nFile not found.", "<dir>", "nothere.tmd"},
    {"dots go up", "Bin32\\..\\Quenmar.exe", {}, {"<dir>\\Quenmar.exe"}, "", "", ""},
    {"a whole path", "<dir>\\Bin32\\Quenmar.exe", {}, {"<dir>\\Bin32\\Quenmar.exe"}, "", "", ""},
    {"a shortcut gives its target", "link.lnk", {}, {"<dir>\\demo1.tmd"}, "", "", ""},
    {"a name gives its full path", "system.cfg", {}, {"<dir>\\system.cfg"}, "", "", ""},
    {"replacing a file is asked", "system.cfg", {osoOverwritePrompt}, {"<dir>\\system.cfg"},
     "<dir>\\system.cfg already exists.\nDo you want to replace it?", "", "", IDYES},
    {"not replacing it keeps the window", "system.cfg", {osoOverwritePrompt}, {}, "<dir>\\system.cfg already exists.",
     "<dir>", "system.cfg", IDNO},
    {"creating a file is asked", "new.tmd", {osoCreatePrompt}, {},
     "new.tmd\nThis file does not exist.\n\nCreate the file?", "<dir>", "new.tmd", IDNO},
};

class FcOpenDialogTyped : public FcOpenDialogTest, public testing::WithParamInterface<TTypedCase> {};

}  // namespace

TEST_P(FcOpenDialogTyped, OpenActsOnWhatWasTyped) {
  const TTypedCase& c = GetParam();
  dialog_->SetInitialDir(scratch_);
  dialog_->SetOptions(dialog_->Options() + c.add);
  std::unique_ptr<TBoxAnswerer> answer;
  std::string listedAfter, fieldAfter;
  bool fieldSelected = false;
  bool stays = c.files.empty();
  script_.When([&] { return Listing(scratch_); },
               [&] {
                 Type(Expand(c.typed, scratch_));
                 if (*c.box) answer = std::make_unique<TBoxAnswerer>(Application->Title(), c.answer);
                 PressOpen();
               });
  if (stays) {
    script_.When([&] { return (!answer || answer->Found()) && NoBoxShown() && Form()->ModalResult() == mrNone &&
                              List()->Items()->Count() > 0; },
                 [&] {
                   listedAfter = ExcludeTrailingBackslash(List()->Folder()->PathName());
                   fieldAfter = Form()->FileNameEdt->Text();
                   fieldSelected = Form()->FileNameEdt->SelLength() == static_cast<int>(fieldAfter.size());
                   if (std::string(c.typed) == "*.cfg") {
                     EXPECT_EQ(ListedFiles(), (std::vector<std::string>{"other.cfg", "system.cfg"}));
                   }
                   Form()->CancelBtn->Click();
                 });
  }
  bool ok = dialog_->Execute();
  EXPECT_TRUE(script_.Finished());
  EXPECT_EQ(ok, !stays);
  if (answer) {
    EXPECT_EQ(answer->Text().substr(0, Expand(c.box, scratch_).size()), Expand(c.box, scratch_));
  }
  if (stays) {
    EXPECT_EQ(listedAfter, Expand(c.staysIn, scratch_));
    EXPECT_EQ(fieldAfter, c.fieldAfter);
    if (!*c.box) {
      EXPECT_TRUE(fieldSelected);
    }
    return;
  }
  std::vector<std::string> expected;
  for (const std::string& f : c.files) expected.push_back(Expand(f, scratch_));
  EXPECT_EQ(dialog_->Files(), expected);
  EXPECT_EQ(dialog_->FileName(), expected.front());
}

INSTANTIATE_TEST_SUITE_P(Cases, FcOpenDialogTyped, testing::ValuesIn(kTypedCases));

// Clicking a file puts its name into the field, two give both names quoted; a double click
// chooses the file without running it. The user waits with the normal cursor, and OK makes the
// list's folder the process's current one.
TEST_F(FcOpenDialogTest, ChoosingFilesInTheList) {
  dialog_->SetInitialDir(scratch_);
  dialog_->SetFilter(kDemoFilter);
  dialog_->SetOptions(dialog_->Options() + osoAllowMultiselect);
  std::string two, one;
  TCursor waiting = crHourGlass;
  script_.When([&] { return Listing(scratch_); },
               [&] {
                 waiting = Screen->Cursor();
                 ItemNamed("demo1.tmd")->SetSelected(true);
                 ItemNamed("DEMO2.TMD")->SetSelected(true);
                 two = Form()->FileNameEdt->Text();
                 List()->ClearSelection();
                 ItemNamed("DEMO2.TMD")->SetSelected(true);
                 one = Form()->FileNameEdt->Text();
                 List()->OpenSelected();
               });
  EXPECT_TRUE(dialog_->Execute());
  EXPECT_EQ(waiting, crDefault);
  EXPECT_EQ(Screen->Cursor(), crDefault);
  EXPECT_EQ(two, "\"demo1.tmd\" \"DEMO2.TMD\"");
  EXPECT_EQ(one, "DEMO2.TMD");
  EXPECT_EQ(dialog_->FileName(), scratch_ + "DEMO2.TMD");
  char current[MAX_PATH] = {};
  GetCurrentDirectoryA(MAX_PATH, current);
  EXPECT_EQ(IncludeTrailingBackslash(current), scratch_);
  EXPECT_EQ(LiveForms<TFcShellOpenSaveForm>(), 0);
}

// The dialog opens in InitialDir; without it, in the folder of FileName, whose name alone
// stays in the field.
TEST_F(FcOpenDialogTest, StartsInTheInitialFolderOrInTheFileNamesFolder) {
  struct {
    std::string initialDir, fileName, listed, field;
  } cases[] = {
      {scratch_ + "Bin32", scratch_ + "demo1.tmd", scratch_ + "Bin32", scratch_ + "demo1.tmd"},
      {"", scratch_ + "Bin32\\Quenmar.exe", scratch_ + "Bin32", "Quenmar.exe"},
  };
  for (const auto& c : cases) {
    dialog_->SetInitialDir(c.initialDir);
    dialog_->SetFileName(c.fileName);
    std::string field;
    script_.When([&] { return Listing(c.listed); },
                 [&] {
                   field = Form()->FileNameEdt->Text();
                   Form()->CancelBtn->Click();
                 });
    dialog_->Execute();
    EXPECT_TRUE(script_.Finished());
    EXPECT_EQ(field, c.field);
  }
}

// F12 shows the folder tree, which then leads the list; F12 again hides it and the choice is
// read back into the options. The bar, left far to the right in a wider window, comes back
// inside this one with room for the tree and the list.
TEST_F(FcOpenDialogTest, F12TogglesTheTree) {
  dialog_->SetInitialDir(scratch_);
  dialog_->SetFormSplitterPos(900);
  bool paneShown = false, listFollowed = false;
  script_
      .When([&] { return Listing(scratch_); },
            [&] {
              Form()->FileNameEdt->SetFocus();
              RealChord({VK_F12});
              paneShown = Form()->FcSplitter1->UpperLeftPane()->Visible() && Form()->TreeShown();
              EXPECT_LE(Form()->FcSplitter1->BarRect().right, Form()->FcSplitter1->ClientWidth());
              EXPECT_GT(Form()->ShellTree->Width(), 0);
              EXPECT_GT(Form()->ShellList->Width(), 0);
              Form()->ShellTree->SelectedFolder()->SetPathName(scratch_ + "Bin32");
            })
      .When([&] { return Listing(scratch_ + "Bin32"); },
            [&] {
              listFollowed = true;
              RealChord({VK_F12});
              EXPECT_FALSE(Form()->FcSplitter1->UpperLeftPane()->Visible());
              RealChord({VK_F12});
              Form()->CancelBtn->Click();
            });
  dialog_->Execute();
  EXPECT_TRUE(paneShown);
  EXPECT_TRUE(listFollowed);
  EXPECT_TRUE(dialog_->Options().Contains(osoShowTree));
}

// F4 drops the location combo down; F4 again closes it, gives the list the focus and moves it
// to the folder chosen in the combo. The view buttons switch the list's look and the menu's
// check with it.
TEST_F(FcOpenDialogTest, F4ChoosesInTheComboAndTheViewButtonsSwitchTheLook) {
  dialog_->SetInitialDir(scratch_ + "Bin32");
  bool dropped = false, closed = false, listFocused = false;
  TViewStyle detailed = vsList;
  bool detailsChecked = false, listUp = false;
  script_
      .When([&] { return Listing(scratch_ + "Bin32"); },
            [&] {
              Form()->FileNameEdt->SetFocus();
              RealChord({VK_F4});
              dropped = Form()->ShellCombo->DroppedDown();
              // The scratch folder stands just above Bin32 in the chain.
              Form()->ShellCombo->SetItemIndex(Form()->ShellCombo->ItemIndex() - 1);
              RealChord({VK_F4});
              closed = !Form()->ShellCombo->DroppedDown();
              listFocused = List()->Focused();
            })
      .When([&] { return Listing(scratch_); },
            [&] {
              Form()->DetailsBtn->Click();
              detailed = List()->ViewStyle();
              detailsChecked = LayoutComponent<TMenuItem>(Form(), "Details1Mitm")->Checked();
              listUp = !Form()->ListBtn->Down();
              Form()->CancelBtn->Click();
            });
  dialog_->Execute();
  EXPECT_TRUE(script_.Finished());
  EXPECT_TRUE(dropped);
  EXPECT_TRUE(closed);
  EXPECT_TRUE(listFocused);
  EXPECT_EQ(detailed, vsReport);
  EXPECT_TRUE(detailsChecked);
  EXPECT_TRUE(listUp);
}

// The tree opens scrolled to its left edge, its root's caption whole, however deep the
// folder it opens at; going to another folder does not scroll it sideways either.
TEST_F(FcOpenDialogTest, TheTreeOpensAtItsLeftEdge) {
  MakeFolder("Bin32\\Deeper");
  MakeFile("Bin32\\Deeper\\deep.tmd");
  dialog_->SetInitialDir(scratch_ + "Bin32\\Deeper");
  dialog_->SetOptions(dialog_->Options() + osoShowTree);
  auto sideways = [&] {
    SCROLLINFO info{sizeof info, SIF_POS};
    GetScrollInfo(Form()->ShellTree->Handle(), SB_HORZ, &info);
    return info.nPos;
  };
  int atOpen = -1, afterMove = -1;
  script_
      .When([&] { return Form() && Form()->ShellTree->Selected() && Listing(scratch_ + "Bin32\\Deeper"); },
            [&] {
              Form()->Update();
              atOpen = sideways();
              Form()->ShellCombo->SelectedFolder()->SetPathName(scratch_ + "Bin32");
            })
      .When([&] { return Listing(scratch_ + "Bin32"); },
            [&] {
              afterMove = sideways();
              Form()->CancelBtn->Click();
            });
  dialog_->Execute();
  EXPECT_TRUE(script_.Finished());
  EXPECT_EQ(atOpen, 0);
  EXPECT_EQ(afterMove, 0);
}

// F4 takes the keyboard to "Look in" and drops its list; there the keys work as in any combo
// box: the arrows move through the folders, Enter opens the one chosen, Escape closes the list
// and leaves the folder as it was. Neither closes the window.
TEST_F(FcOpenDialogTest, F4FocusesLookInAndDropsItWhoseKeysThenWorkAsInAnyComboBox) {
  dialog_->SetInitialDir(scratch_ + "Bin32");
  TFcShellCombo* combo = nullptr;
  bool focusedAndDropped = false, enterClosedTheList = false, stayedAfterEnter = false;
  bool escapeClosedTheList = false, stayedAfterEscape = false;
  std::string afterEscape;
  script_
      .When([&] { return Listing(scratch_ + "Bin32"); },
            [&] {
              combo = Form()->ShellCombo;
              Form()->FileNameEdt->SetFocus();
              RealKey(VK_F4);
              focusedAndDropped = combo->Focused() && combo->DroppedDown();
              // The scratch folder stands just above Bin32 in the chain.
              RealKey(VK_UP);
              RealKey(VK_RETURN);
              enterClosedTheList = !combo->DroppedDown();
              stayedAfterEnter = Form()->ModalResult() == mrNone;
            })
      .When([&] { return Listing(scratch_); },
            [&] {
              RealKey(VK_F4);
              RealKey(VK_DOWN);
              RealKey(VK_ESCAPE);
              escapeClosedTheList = !combo->DroppedDown();
              stayedAfterEscape = Form()->ModalResult() == mrNone && Form()->Visible();
            })
      .When([&] { return List()->Items()->Count() > 0; },
            [&] {
              afterEscape = ExcludeTrailingBackslash(List()->Folder()->PathName());
              Form()->CancelBtn->Click();
            });
  EXPECT_FALSE(dialog_->Execute());
  EXPECT_TRUE(script_.Finished());
  EXPECT_TRUE(focusedAndDropped);
  EXPECT_TRUE(enterClosedTheList);
  EXPECT_TRUE(stayedAfterEnter);
  EXPECT_TRUE(escapeClosedTheList);
  EXPECT_TRUE(stayedAfterEscape);
  EXPECT_EQ(afterEscape, ExcludeTrailingBackslash(scratch_));
}

// A second Execute while the window is open is refused with the dialog's name.
TEST_F(FcOpenDialogTest, ASecondRunWhileOneIsOpenIsRefused) {
  dialog_->SetInitialDir(scratch_);
  std::string message;
  script_.When([&] { return Listing(scratch_); },
               [&] {
                 message = MessageOfSecondRun(dialog_);
                 Form()->CancelBtn->Click();
               });
  EXPECT_FALSE(dialog_->Execute());
  EXPECT_EQ(message, "FcOpenDialog already executing");
  EXPECT_EQ(dialog_->Form(), nullptr);
  EXPECT_EQ(LiveForms<TFcShellOpenSaveForm>(), 0);
}

namespace {

// The shell's own item-ID list of a special folder.
TIdListPtr SpecialFolder(int csidl) {
  LPITEMIDLIST raw = nullptr;
  EXPECT_EQ(SHGetSpecialFolderLocation(nullptr, csidl, &raw), S_OK) << csidl;
  return TIdListPtr(raw);
}

// The same folder; the controls hold the desktop as no list at all.
bool SameFolder(LPCITEMIDLIST shown, LPCITEMIDLIST expected) {
  bool shownEmpty = !shown || !shown->mkid.cb, expectedEmpty = !expected || !expected->mkid.cb;
  if (shownEmpty || expectedEmpty) return shownEmpty == expectedEmpty;
  return ILIsEqual(shown, expected);
}

std::string DisplayName(int csidl) {
  TIdListPtr list = SpecialFolder(csidl);
  SHFILEINFOA info{};
  SHGetFileInfoA(reinterpret_cast<LPCSTR>(list.get()), 0, &info, sizeof(info), SHGFI_PIDL | SHGFI_DISPLAYNAME);
  return info.szDisplayName;
}

}  // namespace

// The jump buttons carry the shell's names of their folders and take the list and the combo
// there; "Up One Level" goes up through the combo.
TEST_F(FcOpenDialogTest, JumpButtonsAndUpOneLevel) {
  dialog_->SetInitialDir(scratch_);
  struct {
    TFcToolButton* TFcShellOpenSaveForm::*button;
    int csidl;
  } jumps[] = {
      {&TFcShellOpenSaveForm::BtnJumpRecent, CSIDL_RECENT},
      {&TFcShellOpenSaveForm::BtnJumpDesktop, CSIDL_DESKTOP},
      {&TFcShellOpenSaveForm::BtnJumpDocuments, CSIDL_PERSONAL},
      {&TFcShellOpenSaveForm::BtnJumpComputer, CSIDL_DRIVES},
      {&TFcShellOpenSaveForm::BtnJumpNetwork, CSIDL_NETWORK},
  };
  std::vector<std::string> captions, expectedCaptions;
  std::vector<bool> listMoved, comboMoved;
  for (const auto& jump : jumps) expectedCaptions.push_back(DisplayName(jump.csidl));
  bool drivesListed = false, upToTheDesktop = false;
  script_.When([&] { return Listing(scratch_); },
               [&] {
                 for (const auto& jump : jumps) {
                   TFcToolButton* button = Form()->*jump.button;
                   captions.push_back(button->Caption());
                   button->Click();
                   TIdListPtr folder = SpecialFolder(jump.csidl);
                   listMoved.push_back(SameFolder(List()->Folder()->IdList(), folder.get()));
                   comboMoved.push_back(SameFolder(Form()->ShellCombo->SelectedFolder()->IdList(), folder.get()));
                   if (jump.csidl != CSIDL_DRIVES) continue;
                   for (int i = 0; i < List()->Items()->Count(); ++i)
                     if (List()->Items()->Item(i)->Caption().find("(C:)") != std::string::npos) drivesListed = true;
                 }
                 Form()->BtnJumpDocuments->Click();
                 Form()->UpOneLevelBtn->Click();
                 TIdListPtr desktop = SpecialFolder(CSIDL_DESKTOP);
                 upToTheDesktop = SameFolder(List()->Folder()->IdList(), desktop.get());
                 Form()->CancelBtn->Click();
               });
  dialog_->Execute();
  EXPECT_EQ(captions, expectedCaptions);
  EXPECT_EQ(listMoved, std::vector<bool>(5, true));
  EXPECT_EQ(comboMoved, std::vector<bool>(5, true));
  EXPECT_TRUE(drivesListed);
  EXPECT_TRUE(upToTheDesktop);
}

// The window opens with the keyboard in "File name". Enter in "Look in" opens the folder the
// box shows and never closes the window, whatever the name field holds; in the name field,
// Enter runs the checks: a folder typed there is opened, a file's name is chosen.
TEST_F(FcOpenDialogTest, StartsInFileNameWhereEnterRunsTheChecksAndEnterInLookInOpensItsFolder) {
  dialog_->SetInitialDir(scratch_ + "Bin32");
  bool startsInName = false, stayedAfterLookIn = false, stayedInFolder = false;
  std::string nameAfterLookIn;
  script_
      .When([&] { return Listing(scratch_ + "Bin32"); },
            [&] {
              startsInName = GetFocus() == Form()->FileNameEdt->Handle();
              RealType("Quenmar.exe");
              // In "Look in" the box is made to show the scratch folder, just above Bin32,
              // without opening it; then Enter.
              Form()->ShellCombo->SetFocus();
              RealKey(VK_DOWN);
              RealKey(VK_UP);
              RealKey(VK_ESCAPE);
              ASSERT_EQ(ExcludeTrailingBackslash(List()->Folder()->PathName()), scratch_ + "Bin32");
              RealKey(VK_RETURN);
            })
      .When([&] { return Listing(scratch_); },
            [&] {
              stayedAfterLookIn = Form()->ModalResult() == mrNone && Form()->Visible();
              nameAfterLookIn = Form()->FileNameEdt->Text();
              Form()->FileNameEdt->SetFocus();
              Form()->FileNameEdt->SelectAll();
              RealType(scratch_ + "Bin32");
              RealKey(VK_RETURN);
            })
      .When([&] { return Listing(scratch_ + "Bin32"); },
            [&] {
              stayedInFolder = Form()->ModalResult() == mrNone && Form()->Visible();
              RealType("Quenmar.exe");
              RealKey(VK_RETURN);
            });
  EXPECT_TRUE(dialog_->Execute());
  EXPECT_TRUE(script_.Finished());
  EXPECT_TRUE(startsInName);
  EXPECT_TRUE(stayedAfterLookIn);
  EXPECT_EQ(nameAfterLookIn, "Quenmar.exe");
  EXPECT_TRUE(stayedInFolder);
  EXPECT_EQ(dialog_->Files(), std::vector<std::string>{scratch_ + "Bin32\\Quenmar.exe"});
}

// Pictures of both dialogs in both looks, left with the other window pictures.
TEST_F(FcOpenDialogTest, PicturesOfBothDialogsInBothLooks) {
  MakeFolder("Levels");
  dialog_->SetInitialDir(scratch_);
  dialog_->SetFilter(kDemoFilter);
  auto* folders = new TFcSelectFolderDialog(&owner_);
  folders->SetOptions({sfdoCreateDeleteButtons, sfdoContextMenus, sfdoCreateFolderIcon, sfdoDeleteFolderIcon,
                       sfdoShowHidden});
  folders->SelectedFolder()->SetPathName(scratch_ + "Levels");
  for (bool styles : {true, false}) {
    SCOPED_TRACE(styles ? "styles on" : "styles off");
    TStylesScope scope(styles ? TVisualStyles::vsOn : TVisualStyles::vsOff);
    const std::string look = styles ? "-styles-on" : "-styles-off";
    script_.When([&] { return Listing(scratch_); },
                 [&] {
                   ItemNamed("DEMO2.TMD")->SetSelected(true);
                   SaveWindowPicture(Form(), "open-dialog" + look);
                   Form()->CancelBtn->Click();
                 });
    dialog_->Execute();
    TModalScript folderScript;
    folders->OnFormShow = [&](TObject*) { folderScript.Start(); };
    folderScript.When([&] { return folders->Form() && folders->Form()->ShellTree->Selected(); },
                      [&] {
                        SaveWindowPicture(folders->Form(), "select-folder-dialog" + look);
                        folders->Form()->CancelBtn->Click();
                      });
    folders->Execute();
    EXPECT_TRUE(script_.Finished());
    EXPECT_TRUE(folderScript.Finished());
  }
}

// A run that raises frees its window, puts the caller's cursor back and lets the next run go.
TEST_F(FcOpenDialogTest, ARunThatRaisesLeavesNothingBehind) {
  dialog_->SetInitialDir(scratch_);
  auto* folders = new TFcSelectFolderDialog(&owner_);
  for (TFcShellDialog* dialog : {static_cast<TFcShellDialog*>(dialog_), static_cast<TFcShellDialog*>(folders)}) {
    SCOPED_TRACE(dialog->ClassName());
    TTemporaryCursor callers(crAppStart);
    dialog->OnInitialized = [](TObject*) { throw Exception("no window today"); };
    EXPECT_THROW(dialog->Execute(), Exception);
    EXPECT_EQ(Screen->Cursor(), crAppStart);
    EXPECT_EQ(LiveForms<TFcShellOpenSaveForm>() + LiveForms<TFcSelectFolderForm>(), 0);

    TModalScript again;
    dialog->OnInitialized = [&](TObject*) { again.Start(); };
    TForm* modal = nullptr;
    again.When(
        [&] {
          for (int i = 0; i < Screen->FormCount(); ++i)
            if (Screen->Forms(i)->Modal()) modal = Screen->Forms(i);
          return modal != nullptr;
        },
        [&] { modal->SetModalResult(mrCancel); });
    EXPECT_FALSE(dialog->Execute());
    EXPECT_TRUE(again.Finished());
  }
}

