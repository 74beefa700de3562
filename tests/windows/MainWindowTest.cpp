#include "MainWindowTestSupport.h"

#include "controls/ControlsTestSupport.h"
#include "controls/FcCmboBx.h"
#include "controls/FcPages.h"
#include "controls/FcRadChk.h"
#include "controls/FcStatus.h"
#include "platform/StdCtrls.h"
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
