// The donation window built from its layout: shown modally, closed with its "Close" button,
// which marks the donation so that the window is not shown at the next start.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "DialogTestSupport.h"
#include "app/Unit4.h"
#include "controls/FcButton.h"
#include "platform/StdCtrls.h"

namespace {

class DonationWindowTest : public DialogTest {
 protected:
  void SetUp() override {
    DialogTest::SetUp();
    RegisterDonationWindow();
    Window.reset(TForm::Create<TForm4>(nullptr));
  }
  void TearDown() override {
    Window.reset();
    DialogTest::TearDown();
  }
  std::unique_ptr<TForm4> Window;
};

}  // namespace

TEST_F(DonationWindowTest, LayoutHoldsTheWindowAsDescribed) {
  EXPECT_EQ(Window->BorderStyle(), bsNone);
  EXPECT_EQ(Window->Position(), poScreenCenter);
  EXPECT_EQ(Window->Color(), clWhite);
  EXPECT_EQ(Window->Label1->Caption(), "Donate us");
  EXPECT_EQ(Window->Label1->Font()->Name(), "Niamey");
  EXPECT_EQ(Window->Label1->Font()->Color(), static_cast<TColor>(0x993333));
  EXPECT_EQ(Window->Memo1->BorderStyle(), bsNone);
  EXPECT_EQ(Window->Memo1->Alignment(), taCenter);
  EXPECT_TRUE(Window->Memo1->ReadOnly());
  EXPECT_FALSE(Window->FcToolButton3->Flat());
  EXPECT_TRUE(Window->FcToolButton3->Font()->Style().Contains(fsBold));
  EXPECT_EQ(Window->FcToolButton3->Cursor(), crHandPoint);
  // Without a frame or caption, and the request's lines centred by the edit control itself.
  Window->HandleNeeded();
  EXPECT_EQ(GetWindowLongA(Window->Handle(), GWL_STYLE) & WS_CAPTION, 0);
  EXPECT_NE(GetWindowLongA(Window->Memo1->Handle(), GWL_STYLE) & ES_CENTER, 0);
}

// Shown while "Donate" is "0" (the main window's rule); "Close" writes "1", so the next start
// shows nothing.
TEST_F(DonationWindowTest, CloseMarksTheDonation) {
  Key.Seed("Donate", "0");
  ASSERT_TRUE(Store->DonationDue());
  TModalResult result = ShowModalWhile(Window.get(), [&] { MouseClick(Window->FcToolButton3, 10, 10); });
  EXPECT_EQ(result, mrCancel);
  EXPECT_FALSE(Window->Visible());
  EXPECT_EQ(Key.Value("Donate"), "1");
  EXPECT_FALSE(Store->DonationDue());
  EXPECT_TRUE(Errors.empty());
}

// Alt+F4 closes the window as "Close" does, and the window does not come back at the next
// start either.
TEST_F(DonationWindowTest, AltF4MarksTheDonationToo) {
  Key.Seed("Donate", "0");
  // Closed by the keys, not by the driver that closes a window left open.
  bool closedByKeys = false;
  ShowModalWhile(Window.get(), [&] {
    RealKey(VK_F4, {VK_MENU});
    closedByKeys = Window->ModalResult() != mrNone;
  });
  EXPECT_TRUE(closedByKeys);
  EXPECT_FALSE(Window->Visible());
  EXPECT_EQ(Key.Value("Donate"), "1");
  EXPECT_FALSE(Store->DonationDue());
  EXPECT_TRUE(Errors.empty());
}

// A settings key that cannot be written: the store says so once, and the window still closes.
TEST_F(DonationWindowTest, CloseWithSettingsThatCannotBeWritten) {
  Key.Seed("Donate", "0");
  Store = Key.Store(KEY_READ);
  ProgramSettings = Store.get();
  TModalResult result = ShowModalWhile(Window.get(), [&] { MouseClick(Window->FcToolButton3, 10, 10); });
  EXPECT_EQ(result, mrCancel);
  EXPECT_FALSE(Window->Visible());
  EXPECT_EQ(Key.Value("Donate"), "0");
  ASSERT_EQ(Key.Messages.size(), 1u);
  EXPECT_NE(Key.Messages[0].find(Key.Name()), std::string::npos) << Key.Messages[0];
}
