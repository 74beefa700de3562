// The buttons' column of the control gallery: each is made from the stored layout and paints
// itself in both looks.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "ButtonTestSupport.h"
#include "controls/FcButton.h"
#include "controls/FcRadChk.h"
#include "platform/Layout.h"

TEST(GalleryButtons, EveryButtonOfTheGalleryPaintsInBothLooks) {
  const char* names[] = {"ButtonPush",        "ButtonDefault",       "ButtonHot",         "ButtonLatched",
                         "BitButtonOk",       "BitButtonCancel",     "ToolButtonCaption", "ToolButtonDropDown",
                         "ControlButtonUp",   "ControlButtonDown",   "ControlButtonLeft", "ControlButtonDropDown",
                         "RadioChecked",      "RadioPlain",          "RadioHot",          "CheckChecked",
                         "CheckGrayed",       "CheckHot"};
  for (TVisualStyles look : {TVisualStyles::vsOn, TVisualStyles::vsOff}) {
    TStylesScope styles(look);
    RegisterControlLibrary();
    std::unique_ptr<TForm> form(TForm::CreateNew<TForm>(nullptr));
    ReadLayoutResource(form.get(), nullptr, "FCGALLERY");
    form->HandleNeeded();
    auto shot = PaintToBitmap(form.get());
    // A control's place in the form's client area.
    auto placeOf = [&](TControl* c) {
      POINT at = c->ClientToScreen(POINT{0, 0}), origin = form->ClientOrigin();
      return RECT{at.x - origin.x, at.y - origin.y, at.x - origin.x + c->Width(), at.y - origin.y + c->Height()};
    };
    for (const char* name : names) {
      auto* control = dynamic_cast<TControl*>(form->FindComponent(name));
      ASSERT_NE(control, nullptr) << name;
      int area = control->Width() * control->Height();
      EXPECT_LT(CountPixels(*shot, placeOf(control), clBtnFace), area) << name << " paints nothing";
    }
    // The stock OK button shows its green tick; the latched button its pattern in the classic look.
    auto* ok = dynamic_cast<TFcBitBtn*>(form->FindComponent("BitButtonOk"));
    EXPECT_EQ(ok->Kind(), bkOK);
    EXPECT_GT(CountPixels(*shot, placeOf(ok), clGreen), 5);
    if (look == TVisualStyles::vsOff) {
      auto* latched = dynamic_cast<TControl*>(form->FindComponent("ButtonLatched"));
      EXPECT_GT(CountPixels(*shot, placeOf(latched), clSilver), 100);
    }
    EXPECT_TRUE(dynamic_cast<TFcRadioButton*>(form->FindComponent("RadioChecked"))->Checked());
    EXPECT_FALSE(dynamic_cast<TFcRadioButton*>(form->FindComponent("RadioPlain"))->Checked());
  }
}
