// The control gallery: the window that holds every control of the library, pictured in both
// looks for anyone to see what the controls draw.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "ControlsTestSupport.h"
#include "controls/FcBckgnd.h"
#include "controls/FcCmboBx.h"
#include "controls/FcCommon.h"
#include "controls/FcEdit.h"
#include "controls/FcLabel.h"
#include "controls/FcPanel.h"
#include "controls/FcRadGrp.h"
#include "controls/FcSplit.h"
#include "platform/Forms.h"
#include "platform/Layout.h"

namespace {

std::unique_ptr<TForm> Gallery() {
  RegisterControlLibrary();
  std::unique_ptr<TForm> form(TForm::CreateNew<TForm>(nullptr));
  ReadLayoutResource(form.get(), nullptr, "FCGALLERY");
  form->HandleNeeded();
  // The image combo box's items come from its owner's code.
  if (auto* images = dynamic_cast<TFcCustomImageComboBox*>(form->FindComponent("ComboImages"))) {
    images->AddImageItem("Desktop", -1, 0);
    images->AddImageItem("My Documents", -1, 1);
    images->AddImageItem("Quenmar", -1, 2);
    images->SetItemIndex(2);
  }
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
    // As the screen shows it: the borders of the windowed controls are drawn outside their
    // client areas, which painting the form into a bitmap would leave out.
    form->Show();
    form->Update();
    Pump(10);
    {
      TWindowDC client(form->Handle());
      BitBlt(shot.Canvas()->Handle(), 0, 0, shot.Width(), shot.Height(), client, 0, 0, SRCCOPY);
    }
    POINT middle = InForm(form.get(), "SeparatorCenter", 100, 1);
    EXPECT_TRUE(Near(PixelAt(shot, middle.x, middle.y), Rgb(clHighlight), 4));
    POINT end = InForm(form.get(), "SeparatorCenter", 0, 0);
    EXPECT_EQ(PixelAt(shot, end.x, end.y), Rgb(clBtnFace));
    POINT thick = InForm(form.get(), "SeparatorThick", 100, 6);
    EXPECT_TRUE(Near(PixelAt(shot, thick.x, thick.y), RGB(255, 0, 0), 4));
    POINT vertical = InForm(form.get(), "SeparatorVerticalLower", 1, 99);
    EXPECT_TRUE(Near(PixelAt(shot, vertical.x, vertical.y), Rgb(clHighlight), 4));

    // Labels, edits and the memo.
    POINT groove = InForm(form.get(), "LabelBordered", 0, 14);
    EXPECT_EQ(PixelAt(shot, groove.x, groove.y), Rgb(clBtnShadow));
    auto* raised = dynamic_cast<TControl*>(form->FindComponent("LabelRaised"));
    ASSERT_NE(raised, nullptr);
    POINT r = InForm(form.get(), "LabelRaised", 0, 0);
    EXPECT_GT(CountPixels(shot, RECT{r.x, r.y, r.x + raised->Width(), r.y + raised->Height()}, clGray), 0);
    POINT curved = InForm(form.get(), "LabelCurved", 0, 0);
    EXPECT_GT(CountPixels(shot, RECT{curved.x + 4, curved.y + 4, curved.x + 80, curved.y + 80}, clWindowText), 0);
    for (const char* name : {"EditFramed", "MemoFramed", "EditSystem"}) {
      auto* framed = dynamic_cast<TWinControl*>(form->FindComponent(name));
      ASSERT_NE(framed, nullptr) << name;
      POINT border = InForm(form.get(), name, 0, 0);
      RECT client = framed->ClientRect();
      RECT window;
      GetWindowRect(framed->Handle(), &window);
      int edge = ((window.right - window.left) - client.right) / 2;
      COLORREF pixel = PixelAt(shot, border.x - edge, border.y + client.bottom / 2);
      if (std::string(name) == "EditSystem")
        EXPECT_EQ(pixel == Rgb(clMaroon), !styles) << "framed by the visual styles while they are on";
      else
        EXPECT_EQ(pixel, Rgb(std::string(name) == "EditFramed" ? clNavy : clTeal)) << name;
    }
    auto* numeric = dynamic_cast<TFcNumericEdit*>(form->FindComponent("NumericEdit"));
    ASSERT_NE(numeric, nullptr);
    EXPECT_EQ(numeric->Text(), "(1,234)");

    // Panels, group boxes, the splitter and the status bars.
    auto* splitter = dynamic_cast<TFcSplitter*>(form->FindComponent("GallerySplitter"));
    ASSERT_NE(splitter, nullptr);
    EXPECT_EQ(dynamic_cast<TControl*>(form->FindComponent("SplitLeft"))->Parent(), splitter->UpperLeftPane());
    EXPECT_EQ(dynamic_cast<TControl*>(form->FindComponent("SplitRight"))->Parent(), splitter->LowerRightPane());
    RECT spot = splitter->HotSpotRect();
    POINT s = InForm(form.get(), "GallerySplitter", spot.left, spot.top);
    EXPECT_GT(CountPixels(shot, RECT{s.x, s.y, s.x + spot.right - spot.left, s.y + spot.bottom - spot.top}, clHighlight),
              0);
    POINT line = InForm(form.get(), "StatusLine", 0, 0);
    EXPECT_GT(CountPixels(shot, RECT{line.x, line.y, line.x + 300, line.y + 19}, clRed), 20);
    auto* group = dynamic_cast<TFcGroupBox*>(form->FindComponent("GroupFlat"));
    ASSERT_NE(group, nullptr);
    if (!styles) {
      int half = 0;
      {
        TBitmap probe(1, 1);
        probe.Canvas()->Font()->Assign(group->Font());
        half = probe.Canvas()->TextHeight("Pp") / 2;
      }
      POINT corner = InForm(form.get(), "GroupFlat", 1, half + 1);
      EXPECT_EQ(PixelAt(shot, corner.x, corner.y), AsPainted(shot, ShiftLightness(clBtnShadow, 30)));
    }

    // The radio and check groups.
    auto* detail = dynamic_cast<TFcRadioGroup*>(form->FindComponent("RadioGroupDetail"));
    ASSERT_NE(detail, nullptr);
    EXPECT_TRUE(detail->ItemButton(2)->Checked());
    EXPECT_EQ(detail->ItemButton(2)->Left(), detail->ItemButton(3)->Left()) << "the second column";
    auto* resolution = dynamic_cast<TFcCheckGroup*>(form->FindComponent("CheckGroupResolution"));
    ASSERT_NE(resolution, nullptr);
    EXPECT_EQ(resolution->CheckStates(), (std::vector<int>{1, 0, 1, 0, 2}));

    // Combo boxes: their own frame in both looks; spin edits: their buttons at the right.
    POINT flat = InForm(form.get(), "ComboFlat", 0, 10);
    EXPECT_EQ(PixelAt(shot, flat.x, flat.y), Rgb(clNavy));
    auto* spin = dynamic_cast<TWinControl*>(form->FindComponent("SpinPlain"));
    ASSERT_NE(spin, nullptr);
    EXPECT_EQ(spin->Text(), "5");
    ASSERT_EQ(spin->ControlCount(), 1);
    EXPECT_GT(spin->Controls(0)->Left(), spin->ClientWidth() / 2);

    std::string file = ScreenshotFolder() + (styles ? "gallery-styles-on.bmp" : "gallery-styles-off.bmp");
    shot.SaveToFile(file);
    EXPECT_TRUE(FileExists(file));
  }
}
