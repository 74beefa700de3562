#include "MainWindowTestSupport.h"

#include "controls/ControlsTestSupport.h"
#include "controls/FcCmboBx.h"
#include "controls/FcPages.h"
#include "controls/FcRadChk.h"
#include "controls/FcStatus.h"
#include "platform/StdCtrls.h"
#include "services/SvCreateProcess.h"
#include "services/SvSHFileOperation.h"
#include "shell/ShellDialogTestSupport.h"

// Pictures of the main window's pages for anyone to look at (build/<arch>/screenshots/).
TEST_F(MainWindowTest, PicturesOfThePages) {
  UseGame();
  CreateWindows();
  Form1->Show();
  SetForegroundWindow(Form1->Handle());
  const char* const names[] = {"path", "demos", "settings-1", "settings-2",
                               "settings-3", "general", "screen", "specific"};
  ASSERT_EQ(Form1->FcPageControl1->PageCount(), 8);
  for (int i = 0; i < 8; ++i) {
    Form1->FcPageControl1->SetActivePageIndex(i);
    EXPECT_EQ(Form1->FcPageControl1->ActivePageIndex(), i) << names[i];
    SaveWindowPicture(Form1, std::string("main-window-") + names[i]);
  }
}

// The longest message the status line gets, a resolution aborted for its log, is read to its
// end: wrapped onto a second line within the line's height, so that its last word adds ink to
// the status bar's picture (cut at the window's edge, it would add none).
TEST_F(MainWindowTest, ALongStatusIsWrappedWithinTheStatusLine) {
  UseGame();
  CreateWindows();
  Form1->Show();
  const std::string longest =
      "Benchmark aborted. 1600\xD7" "1200 not measured: The time-demo log "
      "\"C:\\Program Files\\Quenmar\\Levels\\Steam\\nmxsteam.log\" has no line "
      "\"!TimeDemo Run 10 Finished.\".";
  const std::string withoutLastWord = longest.substr(0, longest.rfind(' '));
  TFcStatusPane* status = Form1->FcStatusPane1;
  TWinControl* bar = status->Parent();
  for (TVisualStyles styles : {TVisualStyles::vsOn, TVisualStyles::vsOff}) {
    SCOPED_TRACE(styles == TVisualStyles::vsOn ? "styles on" : "styles off");
    TStylesScope scope(styles);
    status->SetCaption(withoutLastWord);
    auto before = PaintToBitmap(bar);
    status->SetCaption(longest);
    auto after = PaintToBitmap(bar);
    int added = 0;
    for (int y = 0; y < after->Height(); ++y)
      for (int x = 0; x < after->Width(); ++x)
        if (PixelAt(*after, x, y) != PixelAt(*before, x, y)) ++added;
    EXPECT_GT(added, 20);
  }
}

// The tests and benches that run the engine without the window give its components what the
// window's layout gives them.
TEST_F(MainWindowTest, EngineComponentsAreSetAsTheEngineRunsElsewhere) {
  CreateWindows();
  TComponent owner(nullptr);
  auto* fileOp = new TSvSHFileOperation(&owner);
  auto* process = new TSvCreateProcess(&owner);
  SetQuietFileOperation(*fileOp);
  SetHiddenStart(*process);
  EXPECT_EQ(Form1->FileOp->Options(), fileOp->Options());
  const TSvCPSStartupInfo& layout = *Form1->cp->StartupInfo();
  const TSvCPSStartupInfo& helper = *process->StartupInfo();
  EXPECT_EQ(layout.ShowWindow(), helper.ShowWindow());
  EXPECT_EQ(layout.DefaultPosition(), helper.DefaultPosition());
  EXPECT_EQ(layout.DefaultSize(), helper.DefaultSize());
  EXPECT_EQ(layout.DefaultWindowState(), helper.DefaultWindowState());
}
