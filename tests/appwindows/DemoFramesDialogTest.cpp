// The demo-frames dialog built from its layout, shown modally and answered with its buttons,
// Enter, Esc and its close box; its answer tells the main window what to do.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "DialogTestSupport.h"
#include "app/Unit3.h"
#include "controls/FcButton.h"
#include "controls/FcEdit.h"
#include "platform/StdCtrls.h"

namespace {

enum TAnswer { aClickOk, aClickCancel, aEnter, aEscape, aCloseBox };

class DemoFramesDialogTest : public DialogTest {
 protected:
  void SetUp() override {
    DialogTest::SetUp();
    RegisterDemoFramesDialog();
  }

  void Build() { Dialog.reset(TForm::Create<TForm3>(nullptr)); }
  void TearDown() override {
    Dialog.reset();
    DialogTest::TearDown();
  }

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
    TDemoFramesAnswer asked;  // of the main window
    int frames;               // the range's total
  };
  // One dialog for all, in this order: the close box after an OK and after a Cancel shows
  // that no answer stays for the next showing.
  const TCase cases[] = {
      {"1500 with OK", "1500", aClickOk, mrOk, faFrameRange, 1500},
      {"1500 with the close box", "1500", aCloseBox, mrCancel, faNone, 0},
      {"1 with Enter", "1", aEnter, mrOk, faFrameRange, 1},
      {"0 with OK", "0", aClickOk, mrOk, faLeaveScreenshotMode, 0},
      {"nothing with OK", "", aClickOk, mrOk, faLeaveScreenshotMode, 0},
      {"nothing with Enter", "", aEnter, mrOk, faLeaveScreenshotMode, 0},
      // Enter leaves the focus in the field, whose own range check has not run.
      {"above the range with Enter", "50000", aEnter, mrOk, faFrameRange, 20000},
      {"1500 with Cancel", "1500", aClickCancel, mrCancel, faLeaveScreenshotMode, 0},
      {"1500 with the close box again", "1500", aCloseBox, mrCancel, faNone, 0},
      {"1500 with Esc", "1500", aEscape, mrCancel, faLeaveScreenshotMode, 0},
  };
  Build();
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.name);
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
    EXPECT_EQ(Dialog->Answer(), c.asked);
    if (c.asked == faFrameRange) {
      EXPECT_EQ(Dialog->Total(), c.frames);
    }
  }
  EXPECT_TRUE(Errors.empty());
}
