#include <gtest/gtest.h>

#include <memory>

#include "ControlsTestSupport.h"
#include "controls/FcBckgnd.h"
#include "platform/Forms.h"
#include "platform/Layout.h"

namespace {

// The separator painted into a bitmap of its size.
std::unique_ptr<TBitmap> Painted(TFcSeparator& separator) {
  auto bitmap = std::make_unique<TBitmap>(separator.Width(), separator.Height());
  FillBitmap(*bitmap, clLime);
  separator.Perform(WM_PAINT, reinterpret_cast<WPARAM>(bitmap->Canvas()->Handle()));
  return bitmap;
}

}  // namespace

TEST(Separator, TurningItSwapsItsSidesExceptWhileALayoutIsRead) {
  TFcSeparator separator(nullptr);
  EXPECT_EQ(separator.Width(), 200);
  EXPECT_EQ(separator.Height(), 2);
  separator.SetOrientation(orVertical);
  EXPECT_EQ(separator.Width(), 2);
  EXPECT_EQ(separator.Height(), 200);
  EXPECT_EQ(separator.GradientDirection(), gdVerticalCentre);

  RegisterControlLibrary();
  std::unique_ptr<TForm> form(TForm::CreateNew<TForm>(nullptr));
  ReadLayout(form.get(), R"({ "class": "TForm", "children": [ { "class": "TFcSeparator", "name": "Line",
      "properties": { "Orientation": "orVertical", "Width": 4, "Height": 120,
                      "HighlightLocation": "hlLowerRight" } } ] })");
  auto* line = dynamic_cast<TFcSeparator*>(form->FindComponent("Line"));
  ASSERT_NE(line, nullptr);
  EXPECT_EQ(line->Width(), 4);
  EXPECT_EQ(line->Height(), 120);
  EXPECT_EQ(line->GradientDirection(), gdVertical);
  EXPECT_EQ(line->Orientation(), orVertical);
}

TEST(Separator, TheHighlightSitsWhereItsLocationSays) {
  TFcSeparator separator(nullptr);
  separator.SetColor(clRed);
  separator.SetHighlightColor(clBlue);
  const COLORREF red = RGB(255, 0, 0), blue = RGB(0, 0, 255);
  struct TCase {
    TFcHighlightLocation location;
    COLORREF left, middle, right;
  } cases[] = {{hlCenter, red, blue, red}, {hlUpperLeft, blue, RGB(128, 0, 127), red},
               {hlLowerRight, red, RGB(128, 0, 127), blue}};
  for (const TCase& c : cases) {
    separator.SetHighlightLocation(c.location);
    auto line = Painted(separator);
    EXPECT_TRUE(Near(PixelAt(*line, 0, 0), c.left, 3)) << c.location;
    EXPECT_TRUE(Near(PixelAt(*line, 100, 1), c.middle, 3)) << c.location;
    EXPECT_TRUE(Near(PixelAt(*line, 199, 0), c.right, 3)) << c.location;
  }
  separator.SetOrientation(orVertical);
  separator.SetHighlightLocation(hlCenter);
  auto column = Painted(separator);
  EXPECT_TRUE(Near(PixelAt(*column, 1, 100), blue, 3));
  EXPECT_TRUE(Near(PixelAt(*column, 0, 199), red, 3));

  // A colour change recomputes the gradient.
  separator.SetColor(clYellow);
  EXPECT_EQ(Painted(separator)->Canvas()->Pixels(0, 0), clYellow);
}

TEST(Separator, WithoutGradientOrOnAPaletteDisplayTheLineIsSolid) {
  TFcSeparator separator(nullptr);
  separator.SetColor(clRed);
  separator.SetHighlightColor(clBlue);
  separator.SetShowGradient(false);
  auto plain = Painted(separator);
  for (int x : {0, 100, 199}) EXPECT_EQ(PixelAt(*plain, x, 1), RGB(255, 0, 0));

  separator.SetShowGradient(true);
  separator.SetHighlightLocation(hlUpperLeft);
  OverrideDisplayHasFullColor(false);
  auto palette = Painted(separator);
  OverrideDisplayHasFullColor(std::nullopt);
  for (int x : {0, 100, 199}) EXPECT_EQ(PixelAt(*palette, x, 0), RGB(255, 0, 0)) << "the pair's second colour";
}
