// The handlers of the main window's pages, driven as a user drives them: clicks on items and
// buttons, typing, leaving a field.
#include "MainWindowTestSupport.h"
#include "app/EngineTestSupport.h"
#include "controls/FcButton.h"
#include "controls/FcCmboBx.h"
#include "controls/FcEdit.h"
#include "controls/FcPages.h"
#include "controls/FcRadChk.h"
#include "controls/FcRadGrp.h"
#include "controls/FcSpnEdt.h"
#include "controls/FcStatus.h"
#include "platform/ExtCtrls.h"
#include "platform/StdCtrls.h"

namespace {

class MainWindowOptionsTest : public MainWindowTest {
 protected:
  void SetUp() override {
    MainWindowTest::SetUp();
    UseGame();
    Key.Seed("FirstRun", "Some");
    Key.Seed("Decimal", ",");
  }
  TForm1& Start() {
    CreateWindows();
    ShowMainWindow();
    return *Form1;
  }
  // The custom file chosen as the user does: the custom level, then "..." next to the field.
  void ChooseCustomConfig(const std::string& file) {
    ClickItem(Form1->DetailBox->ItemButton(3));
    ChooseFileWith(Form1->DetailButton, file);
  }
};

}  // namespace

// Each demo brings its frame range; the user's own demo the controls to choose it.
TEST_F(MainWindowOptionsTest, DemoChoice) {
  struct Case {
    const char* range;
    int frames;
  };
  const Case cases[] = {{"(1 - 3721 frames)", 3721}, {"(1 - 4053 frames)", 4053},
                        {"(1 - 4636 frames)", 4636}, {"(1 - 6791 frames)", 6791},
                        {"(1 - 2819 frames)", 2819}, {"(1 - 3039 frames)", 3039},
                        {"(1 - 1511 frames)", 1511}, {"(1 - 2842 frames)", 2842},
                        {"(1 - 5466 frames)", 5466}, {"(1 - 9576 frames)", 9576},
                        {"(1 - 4217 frames)", 4217}, {"(No frame range.)", 4217}};
  TForm1& f = Start();
  for (int item = 0; item < 12; ++item) {
    SCOPED_TRACE(item);
    ClickItem(f.demo->ItemButton(item));
    const bool user = item == 11;
    EXPECT_EQ(f.demo->ItemIndex(), item);
    EXPECT_EQ(f.Label3->Caption(), cases[item].range);
    EXPECT_EQ(f.FrameEdit->Max(), cases[item].frames);
    EXPECT_EQ(f.mapnamebox->Enabled(), user);
    EXPECT_EQ(f.demonamebox->Enabled(), user);
    EXPECT_EQ(f.FcToolButton3->Enabled(), user);
    EXPECT_EQ(f.FcButton1->Visible(), user);
  }
}

// The detail level decides the custom file's controls and the shader models.
TEST_F(MainWindowOptionsTest, DetailLevel) {
  Key.Seed("PS", "3");
  TForm1& f = Start();
  for (int item : {2, 0, 3, 1}) {
    SCOPED_TRACE(item);
    ClickItem(f.DetailBox->ItemButton(item));
    const bool custom = item == 3, models = item >= 2;
    EXPECT_EQ(f.DetailEdit->Enabled(), custom);
    EXPECT_EQ(f.DetailButton->Enabled(), custom);
    EXPECT_EQ(f.PShader->ItemButton(1)->Enabled(), models);
    EXPECT_EQ(f.PShader->ItemButton(2)->Enabled(), models);
    if (!models) {
      EXPECT_EQ(f.PShader->ItemIndex(), 0);
    }
  }
  // The custom file is stored as soon as it is chosen.
  const std::string custom = Game->Root() + "Configs\\system.cfg";
  ASSERT_TRUE(ForceDirectories(ExtractFileDir(custom)));
  WriteBytes(custom, "r_Width = \"640\"\r\n");
  ChooseCustomConfig(custom);
  EXPECT_EQ(f.DetailEdit->Text(), custom);
  EXPECT_EQ(Key.Value("CustomConfig"), custom);
}

// HDR takes antialiasing away and gives it back (at "None").
TEST_F(MainWindowOptionsTest, HDR) {
  Key.Seed("AALevel", "8");
  TForm1& f = Start();
  ASSERT_TRUE(f.TabSheet8->TabEnabled());
  EXPECT_EQ(f.AABox->Text(), "8");
  ClickItem(f.hdrbox);
  EXPECT_TRUE(f.hdrbox->Checked());
  EXPECT_EQ(f.AABox->Text(), "None");
  EXPECT_FALSE(f.AABox->Enabled());
  EXPECT_TRUE(f.HDRLevelBox->Enabled());
  EXPECT_TRUE(f.sectime->Enabled());
  ClickItem(f.sectime);
  EXPECT_EQ(f.RunNumberBox->Text(), "2");
  ClickItem(f.hdrbox);
  EXPECT_EQ(f.AABox->Text(), "None");
  EXPECT_TRUE(f.AABox->Enabled());
  EXPECT_FALSE(f.HDRLevelBox->Enabled());
  EXPECT_FALSE(f.sectime->Enabled());
  EXPECT_TRUE(f.sectime->Checked());
}

// Screenshot mode: the frame and folder controls come, the run count and the general page go,
// and back; leaving it restores the stored run count, or keeps the box's without one.
TEST_F(MainWindowOptionsTest, ScreenshotMode) {
  Key.Seed("TRun", "4");
  TForm1& f = Start();
  Choose(f.RunNumberBox, "3");
  ClickItem(f.EnableScShot);
  EXPECT_TRUE(f.FrameEdit->Enabled());
  EXPECT_TRUE(f.AddInfo->Enabled());
  EXPECT_FALSE(f.AddInfoBox->Enabled());
  EXPECT_EQ(f.RunNumberBox->Text(), "1");
  EXPECT_FALSE(f.RunNumberBox->Enabled());
  EXPECT_FALSE(f.FcToolButton7->Enabled());
  EXPECT_FALSE(f.TabSheet6->TabEnabled());
  EXPECT_TRUE(f.ScrsaveFold->Enabled());
  EXPECT_TRUE(f.FcToolButton9->Enabled());
  EXPECT_TRUE(f.FcToolButton10->Enabled());
  EXPECT_TRUE(f.FcButton1->Enabled());
  EXPECT_EQ(f.BenchButton->Caption(), "Screenshot");
  EXPECT_EQ(f.FcStatusPane1->Caption(), "Set the parameters & get screenshot!");

  ClickItem(f.EnableScShot);
  EXPECT_FALSE(f.FrameEdit->Enabled());
  EXPECT_FALSE(f.AddInfo->Enabled());
  EXPECT_TRUE(f.AddInfoBox->Enabled());
  EXPECT_EQ(f.RunNumberBox->Text(), "4");
  EXPECT_TRUE(f.RunNumberBox->Enabled());
  EXPECT_TRUE(f.FcToolButton7->Enabled());
  EXPECT_TRUE(f.TabSheet6->TabEnabled());
  EXPECT_FALSE(f.ScrsaveFold->Enabled());
  EXPECT_FALSE(f.FcButton1->Enabled());
  EXPECT_EQ(f.BenchButton->Caption(), "Benchmark");
  EXPECT_EQ(f.FcStatusPane1->Caption(), "");

  // Without a usable stored count the box keeps its own.
  for (const char* stored : {"", "many"}) {
    SCOPED_TRACE(stored);
    Key.Seed("TRun", stored);
    Choose(f.RunNumberBox, "5");
    ClickItem(f.EnableScShot);
    ClickItem(f.EnableScShot);
    EXPECT_EQ(f.RunNumberBox->Text(), "1");
  }
}

// The frame field keeps a frame of the demo; anything outside the range becomes its last.
TEST_F(MainWindowOptionsTest, FrameField) {
  Key.Seed("Demo", "11");
  TForm1& f = Start();
  ClickItem(f.EnableScShot);
  ASSERT_EQ(f.FrameEdit->Max(), 4217);
  struct Case {
    const char* typed;
    const char* left;
  };
  const Case cases[] = {{"500", "500"}, {"5000", "4217"}, {"1", "1"}, {"0", "4217"}, {"", "4217"}};
  for (const Case& k : cases) {
    SCOPED_TRACE(k.typed);
    TypeInto(f.FrameEdit, k.typed);
    Leave(f.FrameEdit);
    EXPECT_EQ(f.FrameEdit->Text(), k.left);
  }

  // A shorter demo brings the frame down to its last one (past it the game takes no
  // screenshot); a longer one leaves it.
  TypeInto(f.FrameEdit, "4000");
  Leave(f.FrameEdit);
  ClickItem(f.demo->ItemButton(6));  // "Orvane - Research", 1511 frames
  EXPECT_EQ(f.FrameEdit->Text(), "1511");
  ClickItem(f.demo->ItemButton(9));  // "Nemorix - Archive", 9576 frames
  EXPECT_EQ(f.FrameEdit->Text(), "1511");
}

// The separator box takes "." and ","; anything else goes back to the stored one.
TEST_F(MainWindowOptionsTest, DecimalSeparatorAndWait) {
  TForm1& f = Start();
  EXPECT_EQ(f.DecBox->Text(), ",");
  TypeInto(f.DecBox, ".");
  EXPECT_EQ(f.Label8->Caption(), "(period)");
  TypeInto(f.DecBox, "x");
  Leave(f.DecBox);
  EXPECT_EQ(f.DecBox->Text(), ",");
  EXPECT_EQ(f.Label8->Caption(), "(comma)");
  // Without a usable stored one, the period.
  Key.Seed("Decimal", "x");
  TypeInto(f.DecBox, "y");
  Leave(f.DecBox);
  EXPECT_EQ(f.DecBox->Text(), ".");
  EXPECT_EQ(f.Label8->Caption(), "(period)");

  EXPECT_EQ(f.waits->IntValue(), 3);
  TFcControlButton* down = f.waits->GetButton(sbDown);
  MouseClick(down, down->Width() / 2, down->Height() / 2);
  MouseClick(down, down->Width() / 2, down->Height() / 2);
  Pump();
  EXPECT_EQ(f.waits->IntValue(), 1);
  EXPECT_EQ(f.Label10->Caption(), "second.");
  TFcControlButton* up = f.waits->GetButton(sbUp);
  MouseClick(up, up->Width() / 2, up->Height() / 2);
  Pump();
  EXPECT_EQ(f.Label10->Caption(), "seconds.");
}

// A chosen folder ends with a backslash, a drive root stays as it is, a choice without a path
// keeps the folder; the "Default" buttons give the game's folders. Nothing is stored before
// the close.
TEST_F(MainWindowOptionsTest, Folders) {
  TForm1& f = Start();
  f.FolderChosen(f.ResEdit, "C:\\");
  EXPECT_EQ(f.ResEdit->Text(), "C:\\");
  f.FolderChosen(f.ResEdit, "C:\\Results");
  EXPECT_EQ(f.ResEdit->Text(), "C:\\Results\\");
  f.FolderChosen(f.ResEdit, "");
  EXPECT_EQ(f.ResEdit->Text(), "C:\\Results\\");
  f.FolderChosen(f.ScrsaveFold, "C:\\Shots");
  EXPECT_EQ(f.ScrsaveFold->Text(), "C:\\Shots\\");
  EXPECT_EQ(Key.Value("ResoultPath"), Game->Root() + "Benchmark\\");
  EXPECT_EQ(Key.Value("ScrPath"), Game->Root() + "Screenshot\\");

  f.FcToolButton8Click(f.FcToolButton8);
  EXPECT_EQ(f.ResEdit->Text(), Game->Root() + "Benchmark\\");
  f.FcToolButton10Click(f.FcToolButton10);
  EXPECT_EQ(f.ScrsaveFold->Text(), Game->Root() + "Screenshot\\");
  f.FolderChosen(f.ResEdit, "C:\\Results");
  CloseMainWindow();
  EXPECT_EQ(Key.Value("ResoultPath"), "C:\\Results\\");
  FreeWindows();

  // Without a game the defaults would be folders relative to the current one.
  Key.Seed("Path", "");
  Key.Seed("ResoultPath", "C:\\Results\\");
  Key.Seed("ScrPath", "C:\\Shots\\");
  TForm1& g = Start();
  g.FcToolButton8Click(g.FcToolButton8);
  g.FcToolButton10Click(g.FcToolButton10);
  EXPECT_EQ(g.ResEdit->Text(), "C:\\Results\\");
  EXPECT_EQ(g.ScrsaveFold->Text(), "C:\\Shots\\");
}

// The additional information needs a stored description.
TEST_F(MainWindowOptionsTest, AdditionalInformation) {
  TForm1& f = Start();
  {
    TBoxWatch boxes;
    ClickItem(f.AddInfoBox);
    EXPECT_EQ(boxes.Texts(), std::vector<std::string>{kAddInfoNeededMessage});
  }
  EXPECT_FALSE(f.AddInfoBox->Checked());
  Key.Seed("OS", "Operating System: Windows XP Professional");
  TBoxWatch boxes;
  ClickItem(f.AddInfoBox);
  EXPECT_TRUE(f.AddInfoBox->Checked());
  EXPECT_EQ(boxes.Texts(), std::vector<std::string>());
}

// Help, mail, the maker's and the sponsor's sites open through the shell, the window as parent.
TEST_F(MainWindowOptionsTest, HelpAndLinks) {
  TForm1& f = Start();
  for (TControl* c : std::vector<TControl*>{f.FcToolButton6, f.FcToolButton1, f.FcToolButton5, f.Image3})
    MouseClick(c, c->Width() / 2, c->Height() / 2);
  Pump();
  const HWND w = f.Handle();
  EXPECT_EQ(Opened, (std::vector<TOpenedDocument>{{w, ProgramFolder + "Help\\help.htm", SW_SHOW},
                                                  {w, kMailLink, SW_SHOW},
                                                  {w, kHomepageLink, SW_SHOWNORMAL},
                                                  {w, kSponsorLink, SW_SHOWNORMAL}}));
  EXPECT_EQ(std::string(kMailLink).rfind("mailto:", 0), 0u);
  EXPECT_TRUE(FileExists(ProgramFolder + "Help\\help.htm"));
}

// The custom configuration file is copied over the game's "system.cfg" at every start: a
// program or other binary file, or one that cannot be read, is refused when it is chosen.
TEST_F(MainWindowOptionsTest, CustomConfigurationFile) {
  const std::string folder = Game->Root() + "Mine\\";
  ASSERT_TRUE(ForceDirectories(folder));
  const std::string page(4095, 'a');
  WriteBytes(folder + "zero at 4095.cfg", page + '\0');
  WriteBytes(folder + "zero at 4096.cfg", page + "a" + '\0');
  WriteBytes(folder + "system.cfg", "r_Width = \"640\"\r\n");
  const std::string notConfiguration =
      "\" is not a configuration file: it is a program or holds binary data. Please choose a "
      "configuration file such as the game's \"system.cfg\".";
  struct Case {
    std::string file;
    std::string message;  // the start of the box's text; "" taken
  };
  const Case cases[] = {
      {GamePath(), "The file \"" + GamePath() + notConfiguration},
      {folder + "zero at 4095.cfg", "The file \"" + folder + "zero at 4095.cfg" + notConfiguration},
      {folder + "gone.cfg", "The file \"" + folder + "gone.cfg\" cannot be read: "},
      {folder + "zero at 4096.cfg", ""},
      {folder + "system.cfg", ""},
  };
  TForm1& f = Start();
  std::string taken = f.DetailEdit->Text();
  for (const Case& k : cases) {
    SCOPED_TRACE(k.file);
    TBoxWatch boxes;
    ChooseCustomConfig(k.file);
    const std::vector<std::string> texts = boxes.Texts();
    if (k.message.empty()) {
      EXPECT_TRUE(texts.empty());
      taken = k.file;
    } else {
      ASSERT_EQ(texts.size(), 1u);
      EXPECT_EQ(texts[0].substr(0, k.message.size()), k.message);
    }
    EXPECT_EQ(f.DetailEdit->Text(), taken);
    EXPECT_EQ(Key.Value("CustomConfig"), taken.empty() ? "<missing>" : taken);
  }
}
