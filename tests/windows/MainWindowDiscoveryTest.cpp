// The main window finding the game: the build gate at the start and after a find, the search
// of the drives, the manual choice, the map and demo lists and the import of a demo.
#include <set>

#include "MainWindowTestSupport.h"
#include "app/EngineTestSupport.h"
#include "controls/FcButton.h"
#include "controls/FcCmboBx.h"
#include "controls/FcEdit.h"
#include "controls/FcPages.h"
#include "controls/FcRadChk.h"
#include "controls/FcRadGrp.h"
#include "controls/FcStatus.h"
#include "platform/StdCtrls.h"

namespace {

std::set<std::string> ItemsOf(TFcComboBox* box) {
  std::set<std::string> items;
  for (int i = 0; i < box->Items()->Count(); ++i) items.insert(box->Items()->Strings(i));
  return items;
}

class MainWindowDiscoveryTest : public MainWindowTest {
 protected:
  // The game's server program of another build ("" leaves none).
  void UseBuild(const std::string& build) {
    const std::string server = Game->ExeFolder() + "Quenmar_WinSV.exe";
    ASSERT_TRUE(DeleteFileA(server.c_str()) || !FileExists(server));
    if (build.empty()) return;
    const std::string fixture = build == "1337" ? "Quenmar_WinSV.exe" : "Quenmar_WinSV_" + build + ".exe";
    ASSERT_TRUE(CopyFileA((ProgramFolder + fixture).c_str(), server.c_str(), FALSE)) << fixture;
  }
};

}  // namespace

// The build of the server program decides the version label, the shader models and the
// "Specific" page, at the start and again after the game is chosen.
TEST_F(MainWindowDiscoveryTest, BuildGate) {
  struct Case {
    const char* build;  // "": no server program
    const char* detail;
    const char* label;
    bool models;  // at the start; after a find they follow the build alone
    bool specific;
    const char* foundLabel;
    const char* version;  // in the status line after a find
  };
  const char* const unsupported = "Unsupported Quenmar version found.";
  const Case cases[] = {
      {"1230", "3", "Version: 1.0 build 1230", false, false, "Version: 1.0 build 1230", "1.0"},
      {"1256", "3", "Version: 1.1 build 1256", false, false, "Version: 1.1 build 1256", "1.1"},
      {"1325", "3", "Version: 1.2 build 1325", true, false, "Version: 1.2 build 1325", "1.2"},
      {"1337", "3", "Version: 1.3 build 1337", true, true, "Version: 1.3 build 1337", "1.3"},
      {"1337", "1", "Version: 1.3 build 1337", false, true, "Version: 1.3 build 1337", "1.3"},
      {"1400", "3", unsupported, false, false, "Unsupported Quenmar version found!", "1.4"},
      {"", "3", unsupported, false, false, "Unsupported Quenmar version found!", ""},
  };
  UseGame();
  for (const Case& k : cases) {
    SCOPED_TRACE(std::string(k.build) + ", detail " + k.detail);
    UseBuild(k.build);
    Key.Seed("Detail", k.detail);
    Key.Seed("PS", "3");
    CreateWindows();
    TForm1& f = *Form1;
    EXPECT_EQ(f.VersionLabel->Caption(), k.label);
    EXPECT_EQ(f.PShader->ItemButton(1)->Enabled(), k.models);
    EXPECT_EQ(f.PShader->ItemButton(2)->Enabled(), k.models);
    EXPECT_EQ(f.PShader->ItemIndex(), k.models ? 2 : 0);
    EXPECT_EQ(f.TabSheet8->TabEnabled(), k.specific);

    // The same game chosen again.
    const bool modelsAfterFind = std::string(k.build) == "1325" || std::string(k.build) == "1337";
    f.GameChosen(GamePath());
    EXPECT_EQ(f.VersionLabel->Caption(), k.foundLabel);
    EXPECT_EQ(f.PShader->ItemButton(1)->Enabled(), modelsAfterFind);
    EXPECT_EQ(f.PShader->ItemIndex(), modelsAfterFind ? 2 : 0);
    EXPECT_EQ(f.TabSheet8->TabEnabled(), k.specific);
    if (*k.build) {
      EXPECT_EQ(f.FcStatusPane1->Caption(), std::string("Quenmar v") + k.version + " build " + k.build +
                                                " found.  Set the parameters & bench!");
    }
    EXPECT_TRUE(f.BenchButton->Enabled());
    FreeWindows();
  }
}

// The automatic search walks its locations and keeps the last game it meets; a copy of
// "Quenmar.exe" outside a "Bin32" folder is not the game.
TEST_F(MainWindowDiscoveryTest, SearchOfTheDrives) {
  UseGame(false);
  const std::string first = Game->Root() + "Drive A\\", second = Game->Root() + "Drive B\\";
  for (const std::string& folder : {first + "Games\\Old\\Bin32\\", second + "Quenmar\\Bin32\\"})
    ASSERT_TRUE(ForceDirectories(folder));
  for (const std::string& map : {first + "Games\\Old\\Levels\\Pier\\", second + "Quenmar\\Levels\\Steam\\",
                                 second + "Quenmar\\Levels\\River\\"})
    ASSERT_TRUE(ForceDirectories(map));
  ASSERT_TRUE(CopyFileA(GamePath().c_str(), (first + "Games\\Old\\Bin32\\Quenmar.exe").c_str(), FALSE));
  ASSERT_TRUE(CopyFileA((ProgramFolder + "Quenmar_WinSV_1325.exe").c_str(),
                        (first + "Games\\Old\\Bin32\\Quenmar_WinSV.exe").c_str(), FALSE));
  ASSERT_TRUE(CopyFileA(GamePath().c_str(), (second + "Quenmar\\Bin32\\Quenmar.exe").c_str(), FALSE));
  ASSERT_TRUE(CopyFileA((Game->ExeFolder() + "Quenmar_WinSV.exe").c_str(),
                        (second + "Quenmar\\Bin32\\Quenmar_WinSV.exe").c_str(), FALSE));
  ASSERT_TRUE(CopyFileA(GamePath().c_str(), (second + "Quenmar.exe").c_str(), FALSE));
  const std::string found = second + "Quenmar\\Bin32\\Quenmar.exe";

  CreateWindows();
  ShowMainWindow();
  TForm1& f = *Form1;
  f.FixedDriveList = Game->Root() + "Nothing here\\;";
  RealPress(f.FcToolButton4);
  EXPECT_EQ(f.FcStatusPane1->Caption(), "Quenmar not found, please install it! NOT ready to bench!");
  EXPECT_EQ(f.QMPathEdit->Text(), "");
  EXPECT_FALSE(f.BenchButton->Enabled());
  EXPECT_EQ(Key.Value("Path"), "<missing>");

  f.FixedDriveList = first + ";" + second + ";";
  for (int round = 0; round < 2; ++round) {
    SCOPED_TRACE(round);
    RealPress(f.FcToolButton4);
    EXPECT_EQ(f.QMPathEdit->Text(), found);
    EXPECT_EQ(Key.Value("Path"), found);
    EXPECT_EQ(f.GameFolders().GameRoot, second + "Quenmar\\");
    EXPECT_EQ(f.FcStatusPane1->Caption(), "Quenmar v1.3 build 1337 found.  Set the parameters & bench!");
    EXPECT_EQ(f.VersionLabel->Caption(), "Version: 1.3 build 1337");
    EXPECT_TRUE(f.BenchButton->Enabled());
    EXPECT_FALSE(f.LangBox->ReadOnly());
    EXPECT_TRUE(f.TabSheet8->TabEnabled());
    EXPECT_EQ(f.mapnamebox->Items()->Count(), 2);
    EXPECT_EQ(ItemsOf(f.mapnamebox), (std::set<std::string>{"Steam", "River"}));
    EXPECT_EQ(Screen->Cursor(), crDefault);
  }
  // A search that finds nothing now still knows the game found before, and sets it again
  // whatever file was chosen by hand meanwhile (another game, or none).
  f.FixedDriveList = Game->Root() + "Nothing here\\;";
  for (const std::string& chosen : {std::string(), first + "Games\\Old\\Bin32\\Quenmar.exe",
                                    second + "Quenmar\\Bin32\\Quenmar_WinSV.exe"}) {
    SCOPED_TRACE(chosen);
    if (!chosen.empty()) ChooseFileWith(f.findman, chosen);
    RealPress(f.FcToolButton4);
    EXPECT_EQ(f.QMPathEdit->Text(), found);
    EXPECT_EQ(Key.Value("Path"), found);
    EXPECT_EQ(f.GameFolders().GameRoot, second + "Quenmar\\");
    EXPECT_EQ(f.FcStatusPane1->Caption(),
              "Quenmar v1.3 build 1337 found.  Set the parameters & bench!");
    EXPECT_TRUE(f.BenchButton->Enabled());
  }
}

// A file chosen by hand: the game's executable gives the game; any other file none.
TEST_F(MainWindowDiscoveryTest, ManualChoice) {
  UseGame(false);
  CreateWindows();
  TForm1& f = *Form1;
  f.GameChosen(Game->ExeFolder() + "Quenmar_WinSV.exe");
  EXPECT_EQ(Key.Value("Path"), Game->ExeFolder() + "Quenmar_WinSV.exe");
  EXPECT_EQ(f.FcStatusPane1->Caption(), "Quenmar not found, please install it! NOT ready to bench!");
  EXPECT_FALSE(f.BenchButton->Enabled());
  EXPECT_EQ(f.GameFolders().GameRoot, "");
  EXPECT_EQ(f.mapnamebox->Items()->Count(), 0);

  f.GameChosen(GamePath());
  EXPECT_EQ(Key.Value("Path"), GamePath());
  EXPECT_EQ(f.QMPathEdit->Text(), GamePath());
  EXPECT_EQ(f.GameFolders().GameRoot, Game->Root());
  EXPECT_EQ(f.GameFolders().ExeFolder, Game->ExeFolder());
  EXPECT_EQ(f.FcStatusPane1->Caption(), "Quenmar v1.3 build 1337 found.  Set the parameters & bench!");
  EXPECT_TRUE(f.BenchButton->Enabled());
  EXPECT_FALSE(f.LangBox->ReadOnly());
  EXPECT_EQ(f.mapnamebox->Items()->Count(), 8);
  EXPECT_EQ(f.dxv->Caption(), "DirectX 9.0c: available");
}

// The map list holds the game's map folders and no others; the demo list the chosen map's
// demos, those in its subfolders too.
TEST_F(MainWindowDiscoveryTest, MapsAndDemos) {
  UseGame();
  const std::string levels = Game->Root() + "Levels\\";
  ASSERT_TRUE(ForceDirectories(levels + ".hidden"));
  WriteBytes(levels + "notes.txt", "not a map");
  ASSERT_TRUE(ForceDirectories(levels + "Pier\\Extra"));
  WriteBytes(levels + "Pier\\Extra\\deep.tmd", "demo");
  WriteBytes(levels + "Pier\\pier.tmd", "demo");
  WriteBytes(levels + "Pier\\readme.txt", "not a demo");
  Key.Seed("Mapname", "Training");
  Key.Seed("Demo", "12");
  CreateWindows();
  ShowMainWindow();
  TForm1& f = *Form1;
  EXPECT_EQ(ItemsOf(f.mapnamebox), (std::set<std::string>{"Archive", "Pier", "Regulator", "Research",
                                                           "River", "Steam", "Training", "Volcano"}));
  EXPECT_EQ(f.mapnamebox->Text(), "Training");
  EXPECT_EQ(ItemsOf(f.demonamebox), std::set<std::string>{"quick.tmd"});
  EXPECT_EQ(f.demonamebox->Text(), "quick.tmd");

  Choose(f.mapnamebox, "Pier");
  EXPECT_EQ(ItemsOf(f.demonamebox), (std::set<std::string>{"pier.tmd", "deep.tmd"}));
  EXPECT_NE(f.demonamebox->Text(), "");
  Choose(f.mapnamebox, "Steam");
  EXPECT_EQ(f.demonamebox->Items()->Count(), 0);
  EXPECT_EQ(f.demonamebox->Text(), "No demos found");
}

// An imported demo lands in the map's folder and shows in the list at once; one that could
// not be copied says why.
TEST_F(MainWindowDiscoveryTest, ImportDemo) {
  const std::string outside = UseGameWithADemoToImport();
  WriteBytes(outside + "blocked.tmd", "my other demo");
  ASSERT_TRUE(ForceDirectories(Game->Root() + "Levels\\Steam\\blocked.tmd"));
  CreateWindows();
  TForm1& f = *Form1;
  {
    TBoxWatch boxes;
    f.DemoChosen(outside + "mine.tmd");
    EXPECT_EQ(boxes.Texts(), std::vector<std::string>{"Demo successfully imported."});
  }
  EXPECT_EQ(ReadBytes(Game->Root() + "Levels\\Steam\\mine.tmd"), "my demo");
  EXPECT_EQ(ItemsOf(f.demonamebox), std::set<std::string>{"mine.tmd"});
  {
    TBoxWatch boxes;
    f.DemoChosen(outside + "blocked.tmd");
    const std::vector<std::string> texts = boxes.Texts();
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_NE(texts[0], "Demo successfully imported.");
    EXPECT_NE(texts[0].find(outside + "blocked.tmd"), std::string::npos) << texts[0];
  }
  // Without a map there is nowhere to import to.
  f.mapnamebox->Items()->Clear();
  f.mapnamebox->SetItemIndex(-1);
  TBoxWatch boxes;
  f.FcToolButton3Click(f.FcToolButton3);
  EXPECT_EQ(boxes.Texts(), std::vector<std::string>{"Please, find Quenmar first!"});
}
