// Pictures of the three dialogs in both looks, left with the other window pictures for anyone
// to see what the program shows.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "DialogTestSupport.h"
#include "app/Unit2.h"
#include "app/Unit3.h"
#include "app/Unit4.h"
#include "controls/FcEdit.h"
#include "controls/FcPanel.h"

namespace {

class DialogPicturesTest : public DialogTest {
 protected:
  void SetUp() override {
    DialogTest::SetUp();
    RegisterHardwareDialog();
    RegisterDemoFramesDialog();
    RegisterDonationWindow();
    Key.Seed("Save Info", "1");
    Key.Seed("OS", "Operating System: Windows XP Professional");
    Key.Seed("CPU", "Processor: Intel(R) Xeon(R) Processor(8 CPUs), ~2599MHz");
    Key.Seed("Memory", "Memory: 24103MB RAM");
  }

  // Shows the form, takes its picture and saves it as `name` with the look's ending.
  void Picture(TForm* form, const std::string& name, bool styles, TBitmap& picture) {
    form->Show();
    PictureWindow(form, picture);
    std::string file = ScreenshotFolder() + name + (styles ? "-styles-on.bmp" : "-styles-off.bmp");
    picture.SaveToFile(file);
    EXPECT_TRUE(FileExists(file));
  }
};

// How many pixels of the picture lie near `color`.
int CountNear(TBitmap& picture, COLORREF color, int tolerance) {
  int n = 0;
  for (int y = 0; y < picture.Height(); ++y)
    for (int x = 0; x < picture.Width(); ++x)
      if (Near(PixelAt(picture, x, y), color, tolerance)) ++n;
  return n;
}

}  // namespace

TEST_F(DialogPicturesTest, EachDialogInBothLooks) {
  for (bool styles : {true, false}) {
    SCOPED_TRACE(styles ? "styles on" : "styles off");
    TStylesScope scope(styles ? TVisualStyles::vsOn : TVisualStyles::vsOff);

    std::unique_ptr<TForm2> hardware(TForm::Create<TForm2>(nullptr));
    TBitmap picture;
    Picture(hardware.get(), "hardware-dialog", styles, picture);
    // The status bar's own colour across its width, in both looks.
    EXPECT_GT(CountNear(picture, RGB(255, 197, 43), 0), hardware->FcStatusBar1->Width());

    std::unique_ptr<TForm3> frames(TForm::Create<TForm3>(nullptr));
    frames->TotalFrameEdit->SetText("1500");
    Picture(frames.get(), "demo-frames-dialog", styles, picture);

    std::unique_ptr<TForm4> donation(TForm::Create<TForm4>(nullptr));
    Picture(donation.get(), "donation-window", styles, picture);
    // The title's colour.
    EXPECT_GT(CountNear(picture, RGB(0x33, 0x33, 0x99), 24), 20);
  }
}
