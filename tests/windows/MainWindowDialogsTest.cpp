// The main window with its three small windows: made in their order, the donation window at
// the start, the demo-frames dialog in screenshot mode with the user's demo, and the hardware
// dialog.
#include "MainWindowTestSupport.h"
#include "app/Unit2.h"
#include "app/Unit3.h"
#include "app/Unit4.h"
#include "controls/FcButton.h"
#include "controls/FcEdit.h"
#include "controls/FcRadChk.h"
#include "controls/FcRadGrp.h"
#include "platform/StdCtrls.h"

namespace {

class MainWindowDialogsTest : public MainWindowTest {
 protected:
  void SetUp() override {
    MainWindowTest::SetUp();
    UseGame();
    Key.Seed("FirstRun", "Some");
  }
};

void Press(TControl* button) { RealPress(button); }

}  // namespace

// The hardware dialog is made after the main window, whose key it reads.
TEST_F(MainWindowDialogsTest, WindowsAreMadeInTheirOrder) {
  Key.Seed("Save Info", "1");
  Key.Seed("OS", "Operating System: Windows XP Professional");
  Key.Seed("CPU", "Processor: Xeon");
  CreateWindows();
  ASSERT_NE(Form1, nullptr);
  ASSERT_NE(Form2, nullptr);
  ASSERT_NE(Form3, nullptr);
  ASSERT_NE(Form4, nullptr);
  EXPECT_EQ(ProgramSettings, Form1->Settings());
  EXPECT_EQ(Form2->infomemo->Lines()->Strings(0), "Operating System: Windows XP Professional");
  EXPECT_EQ(Form2->infomemo->Lines()->Strings(1), "Processor: Xeon");

  ShowMainWindow();
  TModalDriver dialog(Form2, [] { Press(Form2->FcButton3); });
  Press(Form1->FcToolButton7);
  EXPECT_EQ(dialog.Shown(), 1);
  EXPECT_EQ(Key.Value("Save Info"), "1");
}

// "Donate" "0" shows the donation window before the main window's first paint, until it is
// closed once; no value shows nothing.
TEST_F(MainWindowDialogsTest, DonationWindow) {
  Key.Seed("Donate", "0");
  CreateWindows();
  {
    TModalDriver donation(Form4, [] { Press(Form4->FcToolButton3); });
    ShowMainWindow();
    EXPECT_EQ(donation.Shown(), 1);
    EXPECT_EQ(Key.Value("Donate"), "1");
  }
  CloseMainWindow();
  FreeWindows();
  CreateWindows();
  TModalDriver donation(Form4, [] {});
  ShowMainWindow();
  Pump(10);
  EXPECT_EQ(donation.Shown(), 0);
}

// In screenshot mode the user's demo asks for its frames; "Add display information" and "New
// range" ask again, the close box changes nothing, and Cancel leaves screenshot mode.
TEST_F(MainWindowDialogsTest, DemoFramesInScreenshotMode) {
  Key.Seed("Demo", "12");
  CreateWindows();
  ShowMainWindow();
  TForm1& f = *Form1;
  {
    TModalDriver frames(Form3, [] {
      TypeInto(Form3->TotalFrameEdit, "40");
      Press(Form3->FcButton1);
    });
    ClickItem(f.EnableScShot);
    EXPECT_EQ(frames.Shown(), 1);
  }
  EXPECT_TRUE(f.EnableScShot->Checked());
  EXPECT_EQ(f.FrameEdit->Max(), 40);
  EXPECT_EQ(f.Label3->Caption(), "(1 - 40 frames)");
  {
    TModalDriver frames(Form3, [] {
      TypeInto(Form3->TotalFrameEdit, "1500");
      Press(Form3->FcButton1);
    });
    Press(f.FcButton1);
    EXPECT_EQ(frames.Shown(), 1);
  }
  EXPECT_EQ(f.Label3->Caption(), "(1 - 1500 frames)");
  EXPECT_EQ(f.FrameEdit->Max(), 1500);
  EXPECT_EQ(f.FrameEdit->Value(), 1500);
  {
    // Closing the window (Alt+F4) changes nothing.
    TModalDriver frames(Form3, [] { RealChord({VK_MENU, VK_F4}); });
    Press(f.FcButton1);
    EXPECT_EQ(frames.Shown(), 1);
  }
  EXPECT_TRUE(f.EnableScShot->Checked());
  EXPECT_EQ(f.Label3->Caption(), "(1 - 1500 frames)");
  {
    TModalDriver frames(Form3, [] { Press(Form3->FcButton2); });
    ClickItem(f.AddInfo);
    EXPECT_EQ(frames.Shown(), 1);
  }
  EXPECT_FALSE(f.EnableScShot->Checked());
  EXPECT_EQ(f.BenchButton->Caption(), "Benchmark");

  // A stock demo has its own range: no question.
  ClickItem(f.demo->ItemButton(3));
  TModalDriver frames(Form3, [] {});
  ClickItem(f.EnableScShot);
  Pump(5);
  EXPECT_EQ(frames.Shown(), 0);
  EXPECT_EQ(f.Label3->Caption(), "(1 - 6791 frames)");
}
