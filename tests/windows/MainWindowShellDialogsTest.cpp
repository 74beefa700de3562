// The main window's choices through its real open and select-folder dialogs: the game chosen by
// hand, a demo imported, a custom configuration file and both folders, with a script playing
// the user while each dialog waits.
#include <shlobj.h>

#include "MainWindowTestSupport.h"
#include "app/EngineTestSupport.h"
#include "controls/FcButton.h"
#include "controls/FcCmboBx.h"
#include "controls/FcEdit.h"
#include "controls/FcRadGrp.h"
#include "controls/FcStatus.h"
#include "platform/StdCtrls.h"
#include "shell/FcShellDialogs.h"
#include "shell/FcShellList.h"
#include "shell/FcShellTree.h"
#include "shell/ShellDialogTestSupport.h"

namespace {

class MainWindowShellDialogsTest : public MainWindowTest {
 protected:
  // The program's windows, shown, with the script started whenever a dialog shows.
  void Start() {
    CreateWindows();
    ShowMainWindow();
    Form1->FcOpenDialog->OnFormShow = [this](TObject*) { script_.Start(); };
    Form1->SelFolder->OnFormShow = [this](TObject*) { script_.Start(); };
  }

  // ---- The open dialog's window
  TFcShellOpenSaveForm* OpenForm() const { return Form1->FcOpenDialog->Form(); }
  TFcShellList* List() const { return OpenForm()->ShellList; }
  // The window lists the folder (with or without its trailing backslash), filled.
  bool Listing(const std::string& folder) const {
    return OpenForm() && ListShowsFolder(List(), folder);
  }
  bool OpenShown() const { return OpenForm() && List()->Items()->Count() > 0; }
  std::vector<std::string> ListedFiles() const { return FilesInList(List()); }
  // The user types into the file name field and presses "Open".
  void TypeAndOpen(const std::string& text) {
    OpenForm()->FileNameEdt->SetText(text);
    OpenForm()->OpenBtn->Click();
  }

  // ---- The select-folder dialog's window
  TFcSelectFolderForm* FolderForm() const { return Form1->SelFolder->Form(); }
  bool FolderTreeFilled() const { return FolderForm() && FolderForm()->ShellTree->Items()->GetFirstNode(); }
  void ChooseFolder(const std::string& path) {
    FolderForm()->ShellTree->SelectedFolder()->SetPathName(path);
    FolderForm()->OkBtn->Click();
  }

  TModalScript script_;
};

std::string CurrentFolder() {
  char cwd[MAX_PATH] = {};
  GetCurrentDirectoryA(MAX_PATH, cwd);
  return IncludeTrailingBackslash(cwd);
}

}  // namespace

// "Find Quenmar manually": Cancel changes nothing; the game's executable, reached by typing
// its folder and picking the only file the filter shows there, becomes the game at once.
// The dialog's OK moves the process's current folder, and the program's own folder stays.
TEST_F(MainWindowShellDialogsTest, GameChosenByHand) {
  UseGame(false);
  Start();
  TForm1& f = *Form1;
  const std::string programFolder = f.ProgramFolder;
  ASSERT_FALSE(f.BenchButton->Enabled());

  script_.When([&] { return OpenShown(); }, [&] { OpenForm()->CancelBtn->Click(); });
  f.findman->Click();
  EXPECT_TRUE(script_.Finished());
  EXPECT_EQ(f.QMPathEdit->Text(), "");
  EXPECT_EQ(Key.Value("Path"), "<missing>");
  EXPECT_FALSE(f.BenchButton->Enabled());

  std::vector<std::string> shown;
  script_.When([&] { return OpenShown(); }, [&] { TypeAndOpen(ExcludeTrailingBackslash(Game->ExeFolder())); })
      .When([&] { return Listing(Game->ExeFolder()); },
            [&] {
              shown = ListedFiles();
              TypeAndOpen("Quenmar.exe");
            });
  f.findman->Click();
  EXPECT_TRUE(script_.Finished());
  EXPECT_EQ(shown, std::vector<std::string>{"Quenmar.exe"});
  EXPECT_EQ(f.QMPathEdit->Text(), GamePath());
  EXPECT_EQ(Key.Value("Path"), GamePath());
  EXPECT_EQ(f.GameFolders().GameRoot, Game->Root());
  EXPECT_EQ(f.VersionLabel->Caption(), "Version: 1.3 build 1337");
  EXPECT_EQ(f.FcStatusPane1->Caption(), "Quenmar v1.3 build 1337 found.  Set the parameters & bench!");
  EXPECT_TRUE(f.BenchButton->Enabled());
  EXPECT_EQ(CurrentFolder(), Game->ExeFolder());
  EXPECT_EQ(f.ProgramFolder, programFolder);
}

// One dialog serves the demo import and the configuration file: each use filters for its own
// files and opens with its own file in the field (none yet: an empty field, where the last
// choice was).
TEST_F(MainWindowShellDialogsTest, DemoAndConfigurationChosenInTheOpenDialog) {
  const std::string outside = UseGameWithADemoToImport();
  WriteBytes(outside + "system.cfg", "my settings");
  WriteBytes(outside + "notes.txt", "neither");
  Start();
  TForm1& f = *Form1;

  std::vector<std::string> demos;
  script_.When([&] { return OpenShown(); }, [&] { TypeAndOpen(ExcludeTrailingBackslash(outside)); })
      .When([&] { return Listing(outside); },
            [&] {
              demos = ListedFiles();
              TypeAndOpen("mine.tmd");
            });
  {
    TBoxWatch boxes;
    f.FcToolButton3->Click();
    EXPECT_EQ(boxes.Texts(), std::vector<std::string>{"Demo successfully imported."});
  }
  EXPECT_TRUE(script_.Finished());
  EXPECT_EQ(demos, std::vector<std::string>{"mine.tmd"});
  EXPECT_EQ(ReadBytes(Game->Root() + "Levels\\Steam\\mine.tmd"), "my demo");
  EXPECT_GE(f.demonamebox->Items()->IndexOf("mine.tmd"), 0);

  std::string field;
  std::vector<std::string> configs;
  script_.When([&] { return Listing(outside); },
               [&] {
                 field = OpenForm()->FileNameEdt->Text();
                 configs = ListedFiles();
                 TypeAndOpen("system.cfg");
               });
  f.DetailButtonClick(f.DetailButton);
  EXPECT_TRUE(script_.Finished());
  EXPECT_EQ(field, "");
  EXPECT_EQ(configs, std::vector<std::string>{"system.cfg"});
  EXPECT_EQ(f.DetailEdit->Text(), outside + "system.cfg");
  EXPECT_EQ(Key.Value("CustomConfig"), outside + "system.cfg");
}

// Each file choice opens the dialog with its own file, never the one another choice left: the
// game's executable, just chosen by hand, is not offered as the configuration file, and when
// typed there it is refused.
TEST_F(MainWindowShellDialogsTest, EachFileChoiceOpensWithItsOwnFile) {
  UseGameWithADemoToImport();
  WriteBytes(Game->ExeFolder() + "system.cfg", "r_Width = \"640\"\r\n");
  Start();
  TForm1& f = *Form1;
  script_
      .When([&] { return OpenShown(); },
            [&] { TypeAndEnter(OpenForm(), ExcludeTrailingBackslash(Game->ExeFolder())); })
      .When([&] { return Listing(Game->ExeFolder()); }, [&] { TypeAndEnter(OpenForm(), "Quenmar.exe"); });
  RealPress(f.findman);
  ASSERT_TRUE(script_.Finished());
  ASSERT_EQ(f.QMPathEdit->Text(), GamePath());

  std::string field = "?";
  std::vector<std::string> listed;
  script_.When([&] { return Listing(Game->ExeFolder()); },
               [&] {
                 field = OpenForm()->FileNameEdt->Text();
                 listed = ListedFiles();
                 TypeAndEnter(OpenForm(), "Quenmar.exe");
               });
  ClickItem(f.DetailBox->ItemButton(3));
  {
    TBoxWatch boxes;
    RealPress(f.DetailButton);
    const std::vector<std::string> texts = boxes.Texts();
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_EQ(texts[0].rfind("The file \"" + GamePath() + "\" is not a configuration file", 0), 0u)
        << texts[0];
  }
  EXPECT_TRUE(script_.Finished());
  EXPECT_EQ(field, "");
  EXPECT_EQ(listed, std::vector<std::string>{"system.cfg"});
  EXPECT_EQ(f.DetailEdit->Text(), "");
  EXPECT_EQ(Key.Value("CustomConfig"), "<missing>");

  // The game's choice and the demo's open with their own files.
  const auto readFieldAndCancel = [&] {
    field = OpenForm()->FileNameEdt->Text();
    RealPress(OpenForm()->CancelBtn);
  };
  script_.When([&] { return Listing(Game->ExeFolder()); }, readFieldAndCancel);
  RealPress(f.findman);
  EXPECT_TRUE(script_.Finished());
  EXPECT_EQ(field, "Quenmar.exe");
  Choose(f.mapnamebox, "Training");
  ASSERT_EQ(f.demonamebox->Text(), "quick.tmd");
  script_.When([&] { return Listing(Game->Root() + "Levels\\Training\\"); }, readFieldAndCancel);
  RealPress(f.FcToolButton3);
  EXPECT_TRUE(script_.Finished());
  EXPECT_EQ(field, "quick.tmd");
}

// Both folder buttons take the folder chosen in the select-folder dialog (a drive as "C:\");
// the dialog reopens at the last choice; Cancel, and a choice without a file-system path
// (My Computer), keep the folder the field holds.
TEST_F(MainWindowShellDialogsTest, FoldersChosenInTheSelectFolderDialog) {
  UseGame();
  const std::string results = Game->Root() + "My Results";
  const std::string shots = Game->Root() + "Shots";
  ASSERT_TRUE(ForceDirectories(results));
  ASSERT_TRUE(ForceDirectories(shots));
  Start();
  TForm1& f = *Form1;

  script_.When([&] { return FolderTreeFilled(); }, [&] { ChooseFolder(results); });
  f.FcToolButton2->Click();
  EXPECT_TRUE(script_.Finished());
  EXPECT_EQ(f.ResEdit->Text(), results + "\\");

  std::string reopenedAt;
  script_.When([&] { return FolderTreeFilled(); },
               [&] {
                 reopenedAt = FolderForm()->ShellTree->SelectedPathName();
                 ChooseFolder(shots);
               });
  f.FcToolButton9Click(f.FcToolButton9);
  EXPECT_TRUE(script_.Finished());
  EXPECT_EQ(reopenedAt, results);
  EXPECT_EQ(f.ScrsaveFold->Text(), shots + "\\");

  script_.When([&] { return FolderTreeFilled(); }, [&] { ChooseFolder("C:\\"); });
  f.FcToolButton2->Click();
  EXPECT_EQ(f.ResEdit->Text(), "C:\\");

  script_.When([&] { return FolderTreeFilled(); },
               [&] {
                 FolderForm()->ShellTree->SelectedFolder()->SetPathName(results);
                 FolderForm()->CancelBtn->Click();
               });
  f.FcToolButton2->Click();
  EXPECT_EQ(f.ResEdit->Text(), "C:\\");

  script_.When([&] { return FolderTreeFilled(); },
               [&] {
                 FolderForm()->ShellTree->SelectedFolder()->SetCSIDL(CSIDL_DRIVES);
                 FolderForm()->OkBtn->Click();
               });
  f.FcToolButton2->Click();
  EXPECT_TRUE(script_.Finished());
  EXPECT_EQ(f.ResEdit->Text(), "C:\\");
}
