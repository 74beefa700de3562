// A benchmark run through the real main window: its controls set as a user sets them, a real
// click on "Benchmark", the stand-in game run at two resolutions by the process runner, the
// report opened, the game's files back, and the settings read back by a second start; and a
// run stopped by a real click on the abort image.
#include <map>

#include "MainWindowTestSupport.h"
#include "app/EngineTestSupport.h"
#include "app/GameCommandLine.h"
#include "controls/FcButton.h"
#include "controls/FcCmboBx.h"
#include "controls/FcEdit.h"
#include "controls/FcRadChk.h"
#include "controls/FcRadGrp.h"
#include "controls/FcSpnEdt.h"
#include "controls/FcStatus.h"
#include "platform/ExtCtrls.h"
#include "platform/StdCtrls.h"
#include "services/SvCreateProcess.h"

namespace {

// The game's frame rates in a log, as the game wrote them ("57.12").
std::vector<std::string> LoggedScores(const std::string& log) {
  std::vector<std::string> scores;
  for (size_t at = log.find("Average FPS: "); at != std::string::npos;
       at = log.find("Average FPS: ", at + 1))
    scores.push_back(log.substr(at + 13, log.find("\r\n", at) - at - 13));
  return scores;
}

class MainWindowRunTest : public MainWindowTest {
 protected:
  void SetUp() override {
    MainWindowTest::SetUp();
    // Short games: every hundredth frame of the demo is played.
    SetEnvironmentVariableA("QUENMAR_FRAME_STEP", "100");
    UseGame();
    Key.Seed("FirstRun", "Some");
    Key.Seed("Decimal", ".");
  }
  void TearDown() override {
    SetEnvironmentVariableA("QUENMAR_FRAME_STEP", nullptr);
    MainWindowTest::TearDown();
  }
};

}  // namespace

TEST_F(MainWindowRunTest, BenchmarkThroughTheWindow) {
  const std::string gameConfig = ReadBytes(Game->Root() + "system.cfg");
  const std::string gameSplash = ReadBytes(Game->Root() + "qmsplash.bmp");
  CreateWindows();
  ShowMainWindow();
  TForm1& f = *Form1;

  ClickItem(f.demo->ItemButton(1));
  EXPECT_EQ(f.Label3->Caption(), "(1 - 4053 frames)");
  ClickItem(f.res->ItemCheck(0));
  ClickItem(f.res->ItemCheck(1));
  ClickItem(f.DetailBox->ItemButton(2));
  Choose(f.RunNumberBox, "2");
  Choose(f.LangBox, "English");
  Choose(f.AFBox, "4");
  Choose(f.AABox, "2");
  Choose(f.RendererBox, "Direct3D");
  TFcControlButton* down = f.waits->GetButton(sbDown);
  for (int i = 0; i < 2; ++i) MouseClick(down, down->Width() / 2, down->Height() / 2);
  EXPECT_EQ(f.waits->IntValue(), 1);
  TypeInto(f.NoteEdit, "Tom & Jerry <3");

  // What each game left in its log, and whether the abort panel was up meanwhile.
  std::vector<std::string> logs;
  bool panelShown = false;
  const TSvCPSTerminateEvent ended = f.cp->OnTerminate;
  f.cp->OnTerminate = [&](TObject* sender, DWORD code) {
    logs.push_back(ReadBytes(DemoLogFileName(f.Bench())));
    panelShown = panelShown || f.Panel1->Visible();
    ended(sender, code);
  };
  RealClick(f.BenchButton, f.BenchButton->Width() / 2, f.BenchButton->Height() / 2);
  EXPECT_FALSE(f.BenchButton->Enabled());
  ASSERT_TRUE(LoopUntil([&] { return f.BenchButton->Enabled(); }, 90000));
  EXPECT_EQ(f.FcStatusPane1->Caption(), "The benchmarking is successful.");
  EXPECT_TRUE(panelShown);
  EXPECT_FALSE(f.Panel1->Visible());

  // The report, opened by the shell from the results folder.
  ASSERT_EQ(Opened.size(), 1u);
  const std::string report = Opened[0].document;
  EXPECT_EQ(Opened[0].parent, f.Handle());
  EXPECT_EQ(Opened[0].showCommand, SW_SHOWNORMAL);
  EXPECT_EQ(report.rfind(Game->Root() + "Benchmark\\result_", 0), 0u) << report;
  const std::string html = ReadBytes(report);
  const size_t first = html.find("Resolution: 640&times;480");
  const size_t second = html.find("Resolution: 800&times;600");
  ASSERT_NE(first, std::string::npos) << html;
  ASSERT_NE(second, std::string::npos) << html;
  EXPECT_LT(first, second);
  ASSERT_EQ(logs.size(), 2u);
  for (size_t i = 0; i < logs.size(); ++i) {
    const std::vector<std::string> scores = LoggedScores(logs[i]);
    ASSERT_EQ(scores.size(), 2u) << logs[i];
    const std::string section = html.substr(i == 0 ? first : second, i == 0 ? second - first : std::string::npos);
    for (int run = 0; run < 2; ++run)
      EXPECT_NE(section.find("Score =  " + scores[run] + " FPS (Run " + std::to_string(run + 1) + ")"),
                std::string::npos)
          << section;
    EXPECT_NE(section.find("Minimum quality option, Direct3D renderer<br>"), std::string::npos);
    EXPECT_NE(section.find("Level: Steam, demo: nmxsteam.tmd<br>"), std::string::npos);
    EXPECT_NE(section.find("Antialising: 2&times;<br>"), std::string::npos);
    EXPECT_NE(section.find("Anisotrophic filtering: 4&times;<br>"), std::string::npos);
  }
  EXPECT_NE(html.find("Comment: Tom &amp; Jerry &lt;3<br>"), std::string::npos);

  // The game's files are its own again.
  EXPECT_EQ(ReadBytes(Game->Root() + "system.cfg"), gameConfig);
  EXPECT_EQ(ReadBytes(Game->Root() + "qmsplash.bmp"), gameSplash);
  EXPECT_FALSE(FileExists(Game->Root() + "qmsplashold.bmp"));
  EXPECT_FALSE(FileExists(Game->Root() + "Systemcfgoverride.cfg"));
  EXPECT_EQ(Key.Value("NoErrorWarning"), "0");
  EXPECT_TRUE(FileExists(Game->ExeFolder() + "rirered.bat"));

  // The close writes the choices; a second start shows them.
  CloseMainWindow();
  EXPECT_FALSE(FileExists(Game->ExeFolder() + "rirered.bat"));
  const std::map<std::string, std::string> written = {
      {"640", "1"},  {"800", "1"},      {"1024", "0"},    {"Demo", "2"},
      {"Detail", "3"}, {"TRun", "2"},   {"Language", "1"}, {"AFLevel", "3"},
      {"AALevel", "2"}, {"Wait", "1"},  {"Renderer", "1"}, {"Note", "Tom & Jerry <3"}};
  for (const auto& [name, value] : written) EXPECT_EQ(Key.Value(name), value) << name;
  FreeWindows();
  CreateWindows();
  TForm1& g = *Form1;
  EXPECT_TRUE(g.demo->ItemButton(1)->Checked());
  EXPECT_TRUE(g.res->ItemChecked(0));
  EXPECT_TRUE(g.res->ItemChecked(1));
  EXPECT_FALSE(g.res->ItemChecked(2));
  EXPECT_EQ(g.DetailBox->ItemIndex(), 2);
  EXPECT_EQ(g.RunNumberBox->Text(), "2");
  EXPECT_EQ(g.LangBox->Text(), "English");
  EXPECT_EQ(g.AFBox->Text(), "4");
  EXPECT_EQ(g.AABox->Text(), "2");
  EXPECT_EQ(g.waits->IntValue(), 1);
  EXPECT_EQ(g.NoteEdit->Text(), "Tom & Jerry <3");
}

// The abort image, clicked for real while the first game of three runs, in the window's first
// run after the start (the abort panel has no window before): the panel is on top, the run
// stops once that game has ended, and the game's files are its own again.
TEST_F(MainWindowRunTest, AbortClickedDuringTheFirstRun) {
  const std::string gameConfig = ReadBytes(Game->Root() + "system.cfg");
  const std::string gameSplash = ReadBytes(Game->Root() + "qmsplash.bmp");
  CreateWindows();
  ShowMainWindow();
  TForm1& f = *Form1;
  ClickItem(f.demo->ItemButton(1));
  for (int i = 0; i < 3; ++i) ClickItem(f.res->ItemCheck(i));
  Choose(f.LangBox, "English");
  TFcControlButton* down = f.waits->GetButton(sbDown);
  for (int i = 0; i < 2; ++i) MouseClick(down, down->Width() / 2, down->Height() / 2);

  int games = 0;
  const TSvCPSTerminateEvent ended = f.cp->OnTerminate;
  f.cp->OnTerminate = [&](TObject* sender, DWORD code) {
    ++games;
    ended(sender, code);
  };
  // The clicks are queued at once, so that the abort is in the queue before the first game's
  // end can run. The abort image's right part: the game's window covers the screen's
  // top-left 640 x 480.
  SendClick(f.BenchButton->ClientToScreen(POINT{f.BenchButton->Width() / 2, f.BenchButton->Height() / 2}));
  ASSERT_TRUE(LoopUntil([&] { return f.Panel1->Visible(); }));
  const POINT abort = f.Image2->ClientToScreen(POINT{f.Image2->Width() * 3 / 4, f.Image2->Height() / 2});
  EXPECT_EQ(WindowFromPoint(abort), f.Panel1->Handle());
  SendClick(abort);
  ASSERT_TRUE(LoopUntil([&] { return f.BenchButton->Enabled(); }, 90000));

  EXPECT_EQ(games, 1);
  EXPECT_EQ(f.FcStatusPane1->Caption(), "Benchmark aborted.");
  EXPECT_FALSE(f.Panel1->Visible());
  EXPECT_TRUE(Opened.empty());
  EXPECT_EQ(ReadBytes(Game->Root() + "system.cfg"), gameConfig);
  EXPECT_EQ(ReadBytes(Game->Root() + "qmsplash.bmp"), gameSplash);
  EXPECT_FALSE(FileExists(Game->Root() + "qmsplashold.bmp"));
  EXPECT_FALSE(FileExists(Game->Root() + "Systemcfgoverride.cfg"));
  EXPECT_EQ(Key.Value("NoErrorWarning"), "0");
}
