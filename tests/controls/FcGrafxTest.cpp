#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <vector>

#include "ControlsTestSupport.h"
#include "controls/FcGrafx.h"
#include "platform/Forms.h"

namespace {

struct TRgbTriple {
  BYTE r, g, b;
};
COLORREF Rgb(TRgbTriple c) { return RGB(c.r, c.g, c.b); }

}  // namespace

// ---- Colour model --------------------------------------------------------------------------

TEST(ColourModel, HslRoundTripsGiveTheExactValuesOfThe239HueScale) {
  struct TCase {
    TRgbTriple rgb;
    THslColor hsl;
    TRgbTriple back;
  } cases[] = {
      {{255, 0, 0}, {0, 240, 120}, {255, 0, 0}},
      {{0, 255, 0}, {80, 240, 120}, {0, 255, 2}},
      {{0, 0, 255}, {160, 240, 120}, {4, 0, 255}},
      {{255, 255, 0}, {40, 240, 120}, {254, 255, 0}},
      {{128, 128, 128}, {0, 0, 120}, {128, 128, 128}},
      {{255, 255, 255}, {0, 0, 240}, {255, 255, 255}},
      {{0, 0, 0}, {0, 0, 0}, {0, 0, 0}},
      {{10, 36, 106}, {149, 199, 55}, {10, 35, 107}},
  };
  for (const TCase& c : cases) {
    THslColor hsl = RgbToHsl240(static_cast<TColor>(Rgb(c.rgb)));
    EXPECT_EQ(hsl.Hue, c.hsl.Hue) << int(c.rgb.r) << "," << int(c.rgb.g) << "," << int(c.rgb.b);
    EXPECT_EQ(hsl.Saturation, c.hsl.Saturation);
    EXPECT_EQ(hsl.Lightness, c.hsl.Lightness);
    EXPECT_EQ(static_cast<COLORREF>(Hsl240ToRgb(hsl.Hue, hsl.Saturation, hsl.Lightness)), Rgb(c.back));
  }
}

TEST(ColourModel, HueEndsAndBlackAreAsTheScaleSays) {
  EXPECT_EQ(static_cast<COLORREF>(Hsl240ToRgb(239, 240, 120)), RGB(255, 0, 0));
  EXPECT_EQ(static_cast<COLORREF>(Hsl240ToRgb(240, 240, 120)), RGB(255, 6, 0));
  for (BYTE hue : {0, 80, 200})
    for (BYTE saturation : {0, 120, 255}) EXPECT_EQ(Hsl240ToRgb(hue, saturation, 0), clBlack);
  // A system colour is resolved first.
  EXPECT_EQ(HueOfColor(clBtnFace), RgbToHsl240(static_cast<TColor>(ColorToRGB(clBtnFace))).Hue);
}

TEST(ColourModel, SaturationsAbove240ClampChannelsAtZeroInsteadOfWrapping) {
  // m1 = 2·0.25 − 0.515625 < 0: the channels below 0 are 0, not 252.
  EXPECT_EQ(static_cast<COLORREF>(Hsl240ToRgb(0, 255, 60)), RGB(131, 0, 0));
}

TEST(ColourModel, DarkenLightenShiftAndMix) {
  const TColor red = clRed, black = clBlack, white = clWhite, blue = clBlue;
  EXPECT_EQ(static_cast<COLORREF>(DarkenColor(red, 50)), RGB(149, 0, 0));
  EXPECT_EQ(static_cast<COLORREF>(LightenColor(red, 100)), RGB(255, 212, 212));
  EXPECT_EQ(static_cast<COLORREF>(LightenColor(black, 100)), RGB(106, 106, 106));
  for (TColor c : {red, blue, clBtnFace, TColor(0x336699)}) {
    EXPECT_EQ(DarkenColor(c, 255), clBlack);
    EXPECT_EQ(LightenColor(c, 255), clWhite);
  }
  EXPECT_EQ(static_cast<COLORREF>(ShiftLightness(clBtnFace, 0)), ColorToRGB(clBtnFace));
  EXPECT_EQ(ShiftLightness(red, -50), DarkenColor(red, 50));
  EXPECT_EQ(ShiftLightness(red, 100), LightenColor(red, 100));
  EXPECT_EQ(static_cast<COLORREF>(MixColors(white, black, 128)), RGB(128, 128, 128));
  EXPECT_EQ(static_cast<COLORREF>(MixColors(red, blue, 80)), RGB(80, 0, 175));
  EXPECT_EQ(MixColors(red, blue, 255), red);
  EXPECT_EQ(MixColors(red, blue, 0), blue);
}

TEST(ColourModel, ColoursAreHardToTellWhenHueAndLightnessAreBothClose) {
  EXPECT_TRUE(ColorsHardToTell(RGB(200, 0, 0), RGB(255, 20, 20)));
  EXPECT_FALSE(ColorsHardToTell(clRed, clLime));               // hues 0 and 80
  EXPECT_FALSE(ColorsHardToTell(RGB(40, 0, 0), RGB(255, 180, 180)));  // same hue, far lightness
  EXPECT_TRUE(ColorsHardToTell(clWhite, RGB(250, 250, 250)));
}

TEST(ColourModel, TheFullColourAnswerCanBeForcedAndReturnsToTheScreens) {
  bool screen = DisplayHasFullColor();
  EXPECT_TRUE(screen) << "the test display has more than 256 colours";
  OverrideDisplayHasFullColor(false);
  EXPECT_FALSE(DisplayHasFullColor());
  OverrideDisplayHasFullColor(std::nullopt);
  EXPECT_EQ(DisplayHasFullColor(), screen);
}

// ---- Gradient fill -------------------------------------------------------------------------

namespace {

constexpr int kW = 40, kH = 30;

// Red to blue on a green background, so an unpainted pixel shows.
std::unique_ptr<TBitmap> Gradient(int direction, int w = kW, int h = kH, int steps = 1,
                                  TColor first = clRed, TColor second = clBlue) {
  auto bitmap = std::make_unique<TBitmap>(w, h);
  FillBitmap(*bitmap, clLime);
  FillRectGradient(bitmap->Canvas(), RECT{0, 0, w, h}, direction, first, second, steps);
  return bitmap;
}

// How far along from red (0) to blue (255) a pixel is; -1 when it is not between them.
int Along(COLORREF c) {
  if (GetGValue(c) != 0 || std::abs(GetRValue(c) + GetBValue(c) - 255) > 2) return -1;
  return GetBValue(c);
}

}  // namespace

TEST(Gradient, EveryDirectionPutsItsColoursWhereItSaysAndLeavesNoPixelUnpainted) {
  // Near the second colour: within one step of the pass that reaches it (half the lines for
  // the centre shapes, one per ring for the boxes).
  auto tolerance = [](int direction) {
    if (direction == gdVertical) return 255 / kH + 2;
    if (direction == gdHorizontal) return 255 / kW + 2;
    if (direction <= gdDiagonalDown) return 255 / 50 + 2;
    if (direction == gdVerticalCentre || direction == gdHorizontalCentre) return 255 / (kH / 2) + 2;
    return 255 / 10 + 2;  // the large box has the fewest rings: 10
  };
  struct TAnchor {
    int x, y, along;  // along: 0 the first colour exactly, 255 near the second
  };
  struct TCase {
    int direction;
    std::vector<TAnchor> anchors;
  } cases[] = {
      {gdVertical, {{0, 0, 0}, {39, 0, 0}, {0, 29, 255}}},
      {gdVerticalCentre, {{0, 0, 0}, {5, 29, 0}, {0, 15, 255}}},
      {gdHorizontal, {{0, 0, 0}, {0, 29, 0}, {39, 0, 255}}},
      {gdHorizontalCentre, {{0, 0, 0}, {39, 5, 0}, {20, 0, 255}}},
      {gdDiagonalUp, {{0, 29, 0}, {39, 0, 255}}},
      {gdDiagonalDown, {{0, 0, 0}, {39, 29, 255}}},
      {gdBoxHorizontal, {{0, 0, 0}, {39, 29, 0}, {20, 15, 255}}},
      {gdBoxVertical, {{0, 0, 0}, {39, 29, 0}, {20, 15, 255}}},
      {gdBoxSquare, {{0, 0, 0}, {39, 29, 0}, {19, 14, 255}}},
      {gdBoxLarge, {{0, 0, 0}, {39, 29, 0}, {20, 15, 255}}},
  };
  for (const TCase& c : cases) {
    auto bitmap = Gradient(c.direction);
    for (int y = 0; y < kH; ++y)
      for (int x = 0; x < kW; ++x)
        ASSERT_GE(Along(PixelAt(*bitmap, x, y)), 0) << "direction " << c.direction << " at " << x << "," << y;
    for (const TAnchor& a : c.anchors) {
      int along = Along(PixelAt(*bitmap, a.x, a.y));
      int lowest = a.along == 0 ? 0 : 255 - tolerance(c.direction);
      int highest = a.along == 0 ? (c.direction <= gdDiagonalDown ? tolerance(c.direction) : 0) : 255;
      EXPECT_TRUE(along >= lowest && along <= highest)
          << "direction " << c.direction << " at " << a.x << "," << a.y << ": " << along;
    }
  }
}

TEST(Gradient, StraightShapesChangeOneWayAndBoxShapesAreSymmetric) {
  auto vertical = Gradient(gdVertical);
  for (int y = 1; y < kH; ++y) EXPECT_GE(Along(PixelAt(*vertical, 7, y)), Along(PixelAt(*vertical, 7, y - 1)));
  for (int y = 0; y < kH; ++y) EXPECT_EQ(PixelAt(*vertical, 0, y), PixelAt(*vertical, kW - 1, y)) << "rows are even";
  auto horizontal = Gradient(gdHorizontal);
  for (int x = 1; x < kW; ++x) EXPECT_GE(Along(PixelAt(*horizontal, x, 20)), Along(PixelAt(*horizontal, x - 1, 20)));

  for (int direction : {gdBoxHorizontal, gdBoxVertical, gdBoxSquare, gdBoxLarge})
    for (int size : {kW, kW - 1}) {
      auto box = Gradient(direction, size, kH - 1);
      for (int y = 0; y < kH - 1; ++y)
        for (int x = 0; x < size; ++x) {
          ASSERT_EQ(PixelAt(*box, x, y), PixelAt(*box, size - 1 - x, y)) << direction << " at " << x << "," << y;
          ASSERT_EQ(PixelAt(*box, x, y), PixelAt(*box, x, kH - 2 - y)) << direction << " at " << x << "," << y;
        }
    }
}

TEST(Gradient, BandStepsSetTheShortestBand) {
  // Black to red over 256 rows: runs of one colour down a column.
  struct TCase {
    int steps;
    int shortestRun;  // every run but the last is at least this long
    int runs;         // 0: not checked
  } cases[] = {{0, 1, 255}, {1, 1, 255}, {8, 8, 0}, {9, 29, 0}, {255, 2, 0}};
  for (const TCase& c : cases) {
    auto bitmap = Gradient(gdVertical, 8, 256, c.steps, clBlack, clRed);
    std::vector<int> runs{1};
    for (int y = 1; y < 256; ++y) {
      if (PixelAt(*bitmap, 3, y) == PixelAt(*bitmap, 3, y - 1))
        ++runs.back();
      else
        runs.push_back(1);
    }
    for (size_t i = 0; i + 1 < runs.size(); ++i)
      EXPECT_GE(runs[i], c.shortestRun) << "steps " << c.steps << ", run " << i;
    if (c.runs) {
      EXPECT_EQ(static_cast<int>(runs.size()), c.runs) << "steps " << c.steps;
    }
    EXPECT_EQ(PixelAt(*bitmap, 3, 0), RGB(0, 0, 0)) << "steps " << c.steps;
  }
  // Steps 9: bands of at least 29 lines leave at most ⌈256 / 29⌉ colours.
  auto nine = Gradient(gdVertical, 8, 256, 9, clBlack, clRed);
  std::vector<COLORREF> colours;
  for (int y = 0; y < 256; ++y) colours.push_back(PixelAt(*nine, 3, y));
  colours.erase(std::unique(colours.begin(), colours.end()), colours.end());
  EXPECT_LE(colours.size(), 9u);
}

TEST(Gradient, RectanglesWithoutAreaPaintNothingAndOneLineShapesStillPaint) {
  for (int direction = gdDiagonalUp; direction <= gdBoxLarge; ++direction) {
    TBitmap bitmap(10, 10);
    FillBitmap(bitmap, clLime);
    for (RECT r : {RECT{2, 2, 2, 8}, RECT{2, 2, 8, 2}, RECT{5, 5, 2, 2}, RECT{0, 0, 0, 0}})
      EXPECT_NO_THROW(FillRectGradient(bitmap.Canvas(), r, direction, clRed, clBlue, 1));
    for (int y = 0; y < 10; ++y)
      for (int x = 0; x < 10; ++x) ASSERT_EQ(PixelAt(bitmap, x, y), RGB(0, 255, 0)) << direction;

    // One pixel high or wide, and a single pixel: painted, in the first colour's side.
    for (RECT r : {RECT{0, 0, 10, 1}, RECT{0, 0, 1, 10}, RECT{4, 4, 5, 5}}) {
      FillRectGradient(bitmap.Canvas(), r, direction, clRed, clBlue, 1);
      EXPECT_GE(Along(PixelAt(bitmap, r.left, r.top)), 0) << "direction " << direction;
    }
  }
  // The centre shapes one line high: the first pass has no line, the second paints it.
  auto row = Gradient(gdVerticalCentre, 10, 1);
  EXPECT_EQ(PixelAt(*row, 5, 0), RGB(255, 0, 0));
  auto column = Gradient(gdHorizontalCentre, 1, 10);
  EXPECT_EQ(PixelAt(*column, 0, 5), RGB(255, 0, 0));
}

TEST(Gradient, EqualColoursOnADiagonalGiveAPlainFill) {
  for (int direction : {gdDiagonalUp, gdDiagonalDown}) {
    auto bitmap = Gradient(direction, kW, kH, 1, clTeal, clTeal);
    for (int y = 0; y < kH; ++y)
      for (int x = 0; x < kW; ++x) ASSERT_EQ(PixelAt(*bitmap, x, y), Rgb(clTeal));
  }
}

TEST(Gradient, PaintsOnlyItsRectOfTheCanvas) {
  TBitmap bitmap(20, 20);
  FillBitmap(bitmap, clLime);
  FillRectGradient(bitmap.Canvas(), RECT{5, 6, 15, 16}, gdBoxSquare, clRed, clBlue, 1);
  EXPECT_EQ(PixelAt(bitmap, 4, 10), RGB(0, 255, 0));
  EXPECT_EQ(PixelAt(bitmap, 15, 10), RGB(0, 255, 0));
  EXPECT_EQ(PixelAt(bitmap, 10, 5), RGB(0, 255, 0));
  EXPECT_EQ(PixelAt(bitmap, 5, 6), RGB(255, 0, 0));
  EXPECT_EQ(PixelAt(bitmap, 10, 16), RGB(0, 255, 0));
}

// ---- Transparent stretch and parent painting ---------------------------------------------

TEST(TransparentStretch, PixelsOfTheTransparentColourLeaveTheCanvasAsItWas) {
  TBitmap source(4, 4);
  FillBitmap(source, clBlue);
  source.Canvas()->SetPixels(0, 0, clOlive);
  source.Canvas()->SetPixels(3, 3, clOlive);
  TBitmap canvas(12, 12);
  FillBitmap(canvas, clRed);
  DrawBitmapTransparentStretched(canvas.Canvas(), &source, RECT{2, 2, 10, 10}, clOlive, RECT{0, 0, 4, 4});
  EXPECT_EQ(PixelAt(canvas, 2, 2), RGB(255, 0, 0)) << "the olive corner, stretched to 2 × 2";
  EXPECT_EQ(PixelAt(canvas, 3, 3), RGB(255, 0, 0));
  EXPECT_EQ(PixelAt(canvas, 9, 9), RGB(255, 0, 0));
  EXPECT_EQ(PixelAt(canvas, 4, 2), RGB(0, 0, 255));
  EXPECT_EQ(PixelAt(canvas, 6, 6), RGB(0, 0, 255));
  EXPECT_EQ(PixelAt(canvas, 1, 1), RGB(255, 0, 0)) << "outside the destination";
}

namespace {

// A parent that paints stripes: green on the left half, blue on the right.
class TStripedPanel : public TCustomControl {
 public:
  explicit TStripedPanel(TComponent* owner) : TCustomControl(owner) {}

 protected:
  void Paint() override {
    Canvas()->Brush()->SetColor(clLime);
    Canvas()->FillRect(RECT{0, 0, Width() / 2, Height()});
    Canvas()->Brush()->SetColor(clBlue);
    Canvas()->FillRect(RECT{Width() / 2, 0, Width(), Height()});
  }
};

// A windowless control that paints its parent under itself, as transparent controls do.
class TSeeThrough : public TGraphicControl {
 public:
  using TGraphicControl::TGraphicControl;
  int paints = 0;

 protected:
  void Paint() override {
    ++paints;
    PaintParentOnCanvas(this, Canvas(), false);
  }
};

}  // namespace

TEST(ParentPainting, TheParentsPixelsUnderTheControlLandInItsDeviceContext) {
  std::unique_ptr<TForm> form(TForm::CreateNew<TForm>(nullptr));
  auto* panel = new TStripedPanel(form.get());
  panel->SetParent(form.get());
  panel->SetBounds(0, 0, 100, 40);
  auto* child = new TSeeThrough(form.get());
  child->SetParent(panel);
  child->SetBounds(40, 10, 20, 20);
  panel->HandleNeeded();

  TBitmap bitmap(20, 20);
  FillBitmap(bitmap, clRed);
  child->Perform(WM_PAINT, reinterpret_cast<WPARAM>(bitmap.Canvas()->Handle()));
  EXPECT_EQ(PixelAt(bitmap, 5, 5), RGB(0, 255, 0)) << "left of the parent's middle";
  EXPECT_EQ(PixelAt(bitmap, 15, 5), RGB(0, 0, 255)) << "right of it";
  EXPECT_EQ(child->paints, 2) << "the parent paints the control once more, which does not start again";

  // Without a parent nothing is painted.
  TSeeThrough orphan(nullptr);
  FillBitmap(bitmap, clRed);
  PaintParentOnDC(&orphan, bitmap.Canvas()->Handle(), true);
  EXPECT_EQ(PixelAt(bitmap, 5, 5), RGB(255, 0, 0));
}
