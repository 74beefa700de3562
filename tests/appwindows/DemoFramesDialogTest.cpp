// The demo-frames dialog built from its layout, shown modally over a window holding the main
// window's screenshot-mode box, frame field and frame-range label, and answered with its
// buttons, Enter, Esc and its close box.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "DialogTestSupport.h"
#include "app/Unit3.h"
#include "controls/FcButton.h"
#include "controls/FcEdit.h"
#include "controls/FcRadChk.h"
#include "platform/Layout.h"
#include "platform/StdCtrls.h"

namespace {

enum TAnswer { aClickOk, aClickCancel, aEnter, aEscape, aCloseBox };

class DemoFramesDialogTest : public DialogTest {
 protected:
  void SetUp() override {
    DialogTest::SetUp();
    RegisterDemoFramesDialog();
  }

  // The main window's three controls as screenshot mode with the user's demo has them; the
  // dialog made afresh to act on them.
  void Build() {
    Dialog.reset();
    Main.reset(TForm::CreateNew<TForm>(nullptr));
    Main->SetName("MainWindow");
    ScreenshotMode = Put<TFcCheckBox>(Main.get(), 8, 8, 300, 17);
    ScreenshotMode->SetName("EnableScShot");
    ScreenshotMode->SetChecked(true);
    SwitchRuns = 0;
    ScreenshotMode->OnClick = [this](TObject*) { ++SwitchRuns; };
    FrameEdit = Put<TFcNumericEdit>(Main.get(), 8, 32, 80, 21);
    FrameEdit->SetName("FrameEdit");
    FrameEdit->SetDisplayFormat("0");
    FrameEdit->SetCheckRange(true);
    FrameEdit->SetMin(1);
    FrameEdit->SetMax(1);
    FrameEdit->SetValue(1);
    RangeLabel = Put<TLabel>(Main.get(), 100, 36, 150, 17);
    RangeLabel->SetName("Label3");
    RangeLabel->SetCaption("(No frame range.)");
    Dialog.reset(TForm::Create<TForm3>(nullptr));
    Dialog->SetMainWindow(Main.get());
  }
  void TearDown() override {
    Dialog.reset();
    Main.reset();
    DialogTest::TearDown();
  }

  std::unique_ptr<TForm> Main;
  TFcCheckBox* ScreenshotMode = nullptr;
  TFcNumericEdit* FrameEdit = nullptr;
  TLabel* RangeLabel = nullptr;
  int SwitchRuns = 0;  // the screenshot-mode switch, run by unchecking the box
  std::unique_ptr<TForm3> Dialog;
};

}  // namespace

TEST_F(DemoFramesDialogTest, LayoutHoldsTheDialogAsDescribed) {
  Build();
  EXPECT_EQ(Dialog->Caption(), "User defined demo frames");
  EXPECT_EQ(Dialog->BorderStyle(), bsDialog);
  EXPECT_EQ(Dialog->Position(), poMainFormCenter);
  EXPECT_EQ(Dialog->Color(), clBtnFace);
  EXPECT_EQ(Dialog->Label1->Caption(), "You can add the complete number of selected demo's frames!");
  EXPECT_TRUE(Dialog->Label1->WordWrap());
  EXPECT_EQ(Dialog->Label1->Alignment(), taCenter);
  TFcNumericEdit* total = Dialog->TotalFrameEdit;
  EXPECT_EQ(total->DisplayFormat(), "0");
  EXPECT_TRUE(total->CheckRange());
  EXPECT_EQ(total->Min(), 0);
  EXPECT_EQ(total->Max(), 20000);
  EXPECT_EQ(total->BlankValue(), 1);
  EXPECT_TRUE(Dialog->FcButton1->Default());
  EXPECT_TRUE(Dialog->FcButton2->Cancel());
}

TEST_F(DemoFramesDialogTest, TotalSetsTheFrameRangeOrLeavesScreenshotMode) {
  struct TCase {
    const char* name;
    const char* total;  // typed into the field
    TAnswer answer;
    TModalResult result;
    bool screenshotMode;  // still on afterwards
    const char* label;
    double max, value;  // the frame field's afterwards
  };
  const TCase cases[] = {
      {"1500 with OK", "1500", aClickOk, mrOk, true, "(1 - 1500 frames)", 1500, 1500},
      {"1 with Enter", "1", aEnter, mrOk, true, "(1 - 1 frames)", 1, 1},
      {"0 with OK", "0", aClickOk, mrOk, false, "(No frame range.)", 1, 1},
      {"nothing with OK", "", aClickOk, mrOk, false, "(No frame range.)", 1, 1},
      {"nothing with Enter", "", aEnter, mrOk, false, "(No frame range.)", 1, 1},
      // Enter leaves the focus in the field, whose own range check has not run.
      {"above the range with Enter", "50000", aEnter, mrOk, true, "(1 - 20000 frames)", 20000, 20000},
      {"1500 with Cancel", "1500", aClickCancel, mrCancel, false, "(No frame range.)", 1, 1},
      {"1500 with Esc", "1500", aEscape, mrCancel, false, "(No frame range.)", 1, 1},
      {"1500 with the close box", "1500", aCloseBox, mrCancel, true, "(No frame range.)", 1, 1},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.name);
    Build();
    TModalResult result = ShowModalWhile(Dialog.get(), [&] {
      Dialog->TotalFrameEdit->SetFocus();
      Dialog->TotalFrameEdit->SetText(c.total);
      switch (c.answer) {
        case aClickOk: MouseClick(Dialog->FcButton1, 10, 10); break;
        case aClickCancel: MouseClick(Dialog->FcButton2, 10, 10); break;
        case aEnter: PressKey(VK_RETURN); break;
        case aEscape: PressKey(VK_ESCAPE); break;
        case aCloseBox: SendMessageA(Dialog->Handle(), WM_SYSCOMMAND, SC_CLOSE, 0); break;
      }
      Pump();
    });
    EXPECT_EQ(result, c.result);
    EXPECT_FALSE(Dialog->Visible());
    EXPECT_EQ(ScreenshotMode->Checked(), c.screenshotMode);
    EXPECT_EQ(SwitchRuns, c.screenshotMode ? 0 : 1);
    EXPECT_EQ(RangeLabel->Caption(), c.label);
    EXPECT_EQ(FrameEdit->Max(), c.max);
    EXPECT_EQ(FrameEdit->Value(), c.value);
    EXPECT_EQ(FrameEdit->Text(), std::to_string(static_cast<int>(c.value)));
  }
  EXPECT_TRUE(Errors.empty());
}

// A main window without the controls the dialog sets is an error naming the missing one.
TEST_F(DemoFramesDialogTest, MainWindowWithoutTheControlsIsAClearError) {
  Build();
  std::unique_ptr<TForm> bare(TForm::CreateNew<TForm>(nullptr));
  Dialog->SetMainWindow(bare.get());
  Dialog->TotalFrameEdit->SetText("1500");
  try {
    Dialog->FcButton1->OnClick(Dialog->FcButton1);
    ADD_FAILURE() << "no error";
  } catch (const ELayoutError& e) {
    EXPECT_NE(std::string(e.what()).find("FrameEdit"), std::string::npos) << e.what();
  }
}
