// The control gallery: the window that holds every control of the library, pictured in both
// looks for anyone to see what the controls draw.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "ControlsTestSupport.h"
#include "controls/FcBckgnd.h"
#include "controls/FcCommon.h"
#include "platform/Forms.h"
#include "platform/Layout.h"

namespace {

std::unique_ptr<TForm> Gallery() {
  RegisterControlLibrary();
  std::unique_ptr<TForm> form(TForm::CreateNew<TForm>(nullptr));
  ReadLayoutResource(form.get(), nullptr, "FCGALLERY");
  form->HandleNeeded();
  return form;
}

// A point of a control, in the form's client coordinates.
POINT InForm(TForm* form, const char* name, int x, int y) {
  auto* control = dynamic_cast<TControl*>(form->FindComponent(name));
  EXPECT_NE(control, nullptr) << name;
  if (!control) return POINT{0, 0};
  POINT p = control->ClientToScreen(POINT{x, y});
  POINT origin = form->ClientOrigin();
  return POINT{p.x - origin.x, p.y - origin.y};
}

}  // namespace

TEST(Gallery, HoldsEveryControlAndIsPicturedInBothLooks) {
  for (bool styles : {true, false}) {
    TStylesScope scope(styles ? TVisualStyles::vsOn : TVisualStyles::vsOff);
    auto form = Gallery();
    auto* frames = dynamic_cast<TFcFrameController*>(form->FindComponent("GalleryFrames"));
    ASSERT_NE(frames, nullptr);
    EXPECT_EQ(frames->RegIniFile(), form->FindComponent("GallerySettings"));

    TBitmap shot(form->ClientWidth(), form->ClientHeight());
    form->PaintTo(shot.Canvas()->Handle(), 0, 0);
    POINT middle = InForm(form.get(), "SeparatorCenter", 100, 1);
    EXPECT_TRUE(Near(At(shot, middle.x, middle.y), Rgb(clHighlight), 4));
    POINT end = InForm(form.get(), "SeparatorCenter", 0, 0);
    EXPECT_EQ(At(shot, end.x, end.y), Rgb(clBtnFace));
    POINT thick = InForm(form.get(), "SeparatorThick", 100, 6);
    EXPECT_TRUE(Near(At(shot, thick.x, thick.y), RGB(255, 0, 0), 4));
    POINT vertical = InForm(form.get(), "SeparatorVerticalLower", 1, 99);
    EXPECT_TRUE(Near(At(shot, vertical.x, vertical.y), Rgb(clHighlight), 4));

    std::string file = ScreenshotFolder() + (styles ? "gallery-styles-on.bmp" : "gallery-styles-off.bmp");
    shot.SaveToFile(file);
    EXPECT_TRUE(FileExists(file));
  }
}
