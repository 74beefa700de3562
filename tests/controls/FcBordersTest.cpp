// The border, frame and arrow routines and the small helpers of the common unit.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "ControlsTestSupport.h"
#include "controls/FcCommon.h"
#include "platform/Forms.h"

namespace {

// Every check paints on red, a colour no frame uses (under Wine's light theme the button
// highlight is the window's white).
struct TCanvasFixture {
  explicit TCanvasFixture(int w = 20, int h = 20) : bitmap(w, h) { FillBitmap(bitmap, clRed); }
  TCanvas* Canvas() { return bitmap.Canvas(); }
  COLORREF operator()(int x, int y) { return PixelAt(bitmap, x, y); }
  bool Untouched() {
    for (int y = 0; y < bitmap.Height(); ++y)
      for (int x = 0; x < bitmap.Width(); ++x)
        if ((*this)(x, y) != RGB(255, 0, 0)) return false;
    return true;
  }
  TBitmap bitmap;
};

bool SameRect(const RECT& a, const RECT& b) {
  return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

std::string Text(const RECT& r) {
  return std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.right) + "," +
         std::to_string(r.bottom);
}

const RECT kRect{0, 0, 10, 10};

}  // namespace

TEST(Borders, EachStyleTakesItsWidthOnEveryChosenSide) {
  struct TCase {
    TFrameStyle style;
    int width;
  } cases[] = {{fsNone, 0},      {fsFlat, 1},     {fsGroove, 2},  {fsBump, 2},   {fsLowered, 2},
               {fsButtonDown, 2}, {fsRaised, 2},  {fsButtonUp, 2}, {fsStatus, 1}, {fsPopup, 1},
               {fsFlatBold, 2}};
  for (bool colour : {false, true})
    for (const TCase& c : cases) {
      TCanvasFixture canvas;
      RECT r{2, 3, 18, 17};
      RECT inside = colour ? PaintColorStyledRect(canvas.Canvas(), r, clTeal, c.style)
                           : PaintStyledRect(canvas.Canvas(), r, c.style);
      RECT expected{2 + c.width, 3 + c.width, 18 - c.width, 17 - c.width};
      EXPECT_TRUE(SameRect(inside, expected)) << FrameStyleInfo.Idents[c.style] << ": " << Text(inside);
      EXPECT_EQ(canvas.Untouched(), c.style == fsNone) << FrameStyleInfo.Idents[c.style];

      // Only the chosen sides move in; none chosen draws nothing.
      TCanvasFixture partial;
      inside = PaintStyledSides(partial.Canvas(), r, c.style, TSides{sdLeft, sdBottom});
      expected = RECT{2 + c.width, 3, 18, 17 - c.width};
      EXPECT_TRUE(SameRect(inside, expected)) << FrameStyleInfo.Idents[c.style] << ": " << Text(inside);
      TCanvasFixture none;
      EXPECT_TRUE(SameRect(PaintStyledSides(none.Canvas(), r, c.style, TSides{}), r));
      EXPECT_TRUE(none.Untouched());
    }
  TCanvasFixture canvas;
  EXPECT_TRUE(SameRect(PaintBevelRings(canvas.Canvas(), kRect, clBlack, sdAllSides, 0, clBlack), kRect));
  EXPECT_TRUE(canvas.Untouched());
}

TEST(Borders, AGrooveIsTwoRingsOffsetByAPixel) {
  for (TVisualStyles styles : {TVisualStyles::vsOff, TVisualStyles::vsOn}) {
    TStylesScope scope(styles);
    TCanvasFixture canvas(10, 10);
    PaintStyledRect(canvas.Canvas(), kRect, fsGroove);
    const COLORREF up = Rgb(clBtnShadow), down = Rgb(clBtnHighlight);
    struct TPixel {
      int x, y;
      COLORREF colour;
    } pixels[] = {{0, 5, up}, {1, 5, down}, {8, 5, up}, {9, 5, down}, {5, 0, up},
                  {5, 1, down}, {5, 8, up}, {5, 9, down}, {9, 0, down}, {0, 9, down}};
    for (const TPixel& p : pixels) EXPECT_EQ(canvas(p.x, p.y), p.colour) << p.x << "," << p.y;
    EXPECT_EQ(canvas(5, 5), RGB(255, 0, 0));
  }
}

TEST(Borders, APartialFrameDrawsOnlyItsSidesAndAClearColourStillTakesItsPixel) {
  TCanvasFixture left(10, 10);
  RECT inside = PaintRectSides(left.Canvas(), kRect, clBlue, TSides{sdLeft}, clBlue);
  EXPECT_TRUE(SameRect(inside, RECT{1, 0, 10, 10}));
  for (int y = 0; y < 10; ++y) EXPECT_EQ(left(0, y), RGB(0, 0, 255)) << y;
  EXPECT_EQ(left(1, 0), RGB(255, 0, 0));
  EXPECT_EQ(left(5, 9), RGB(255, 0, 0));

  TCanvasFixture clear(10, 10);
  inside = PaintRectSides(clear.Canvas(), kRect, clNone, sdAllSides, clBlue);
  EXPECT_TRUE(SameRect(inside, RECT{1, 1, 9, 9}));
  EXPECT_EQ(clear(0, 5), RGB(255, 0, 0));
  EXPECT_EQ(clear(5, 0), RGB(255, 0, 0));
  EXPECT_EQ(clear(9, 5), RGB(0, 0, 255));
  EXPECT_EQ(clear(5, 9), RGB(0, 0, 255));
}

TEST(Borders, DottedFocusAndRoundedFlatFrames) {
  for (TVisualStyles styles : {TVisualStyles::vsOff, TVisualStyles::vsOn}) {
    TStylesScope scope(styles);
    TCanvasFixture focus(10, 10);
    EXPECT_TRUE(SameRect(PaintDottedFocusRect(focus.Canvas(), kRect), RECT{1, 1, 9, 9}));
    EXPECT_EQ(focus(0, 1), RGB(0, 0, 0));
    EXPECT_EQ(focus(0, 2), RGB(255, 0, 0));
    EXPECT_EQ(focus(0, 0), RGB(255, 0, 0));
    EXPECT_EQ(focus(1, 0), RGB(0, 0, 0));
    EXPECT_EQ(focus(9, 3), RGB(0, 0, 0));
    EXPECT_EQ(focus(3, 9), RGB(0, 0, 0));
    EXPECT_EQ(focus(5, 5), RGB(255, 0, 0));

    TCanvasFixture rounded(10, 10);
    EXPECT_TRUE(SameRect(PaintRoundedFlatSides(rounded.Canvas(), kRect, clBlue, sdAllSides), RECT{2, 2, 8, 8}));
    EXPECT_EQ(rounded(0, 1), RGB(255, 0, 0)) << "the cut corner";
    EXPECT_EQ(rounded(0, 0), RGB(255, 0, 0));
    EXPECT_EQ(rounded(0, 2), RGB(0, 0, 255));
    EXPECT_EQ(rounded(1, 1), RGB(0, 0, 255)) << "the inner corner pixel";
    EXPECT_EQ(rounded(8, 8), RGB(0, 0, 255));
    EXPECT_EQ(rounded(9, 9), RGB(255, 0, 0));
  }
}

TEST(Borders, BorderPairsChainOuterBandAndInnerBorders) {
  struct TCase {
    TFrameStyleEx outer, inner;
    int borderWidth, bevelWidth;
    bool cutCorner;
    int inset;
  } cases[] = {
      {fsNone, fsNone, 0, 1, false, 0},        {fsFlat, fsNone, 0, 1, false, 1},
      {fsPopup, fsNone, 0, 2, false, 2},       {fsStatus, fsFlat, 3, 2, false, 6},
      {fsGroove, fsNone, 3, 1, false, 5},      {fsNone, fsFlat, 0, 1, true, 1},
      {fsFlatRounded, fsNone, 0, 1, false, 2}, {fsNone, fsFlatRounded, 1, 1, false, 3},
      {fsFlatBold, fsFlatBold, 1, 1, false, 5}, {fsRaised, fsLowered, 0, 1, false, 4},
  };
  for (const TCase& c : cases) {
    TCanvasFixture canvas;
    TFcBorderPair border;
    border.Outer = c.outer;
    border.Inner = c.inner;
    border.BorderWidth = c.borderWidth;
    border.BevelWidth = c.bevelWidth;
    border.CutCorner = c.cutCorner;
    RECT inside = PaintBorderPair(canvas.Canvas(), RECT{0, 0, 20, 20}, border);
    EXPECT_TRUE(SameRect(inside, RECT{c.inset, c.inset, 20 - c.inset, 20 - c.inset}))
        << FrameStyleExInfo.Idents[c.outer] << "/" << FrameStyleExInfo.Idents[c.inner] << ": " << Text(inside);
  }

  // A rounded outer border on an opaque control: the parent's colour at the cut corner, the
  // flat colour on the edges and at the inner corner.
  TCanvasFixture canvas;
  TFcBorderPair border;
  border.Outer = fsFlatRounded;
  border.FlatColor = clBlue;
  border.FlatColorAdjustment = 0;
  border.ParentColor = clYellow;
  border.ControlColor = clLime;
  PaintBorderPair(canvas.Canvas(), RECT{0, 0, 20, 20}, border);
  EXPECT_EQ(canvas(0, 0), RGB(255, 255, 0));
  EXPECT_EQ(canvas(1, 0), RGB(255, 255, 0));
  EXPECT_EQ(canvas(0, 5), RGB(0, 0, 255));
  EXPECT_EQ(canvas(1, 1), RGB(0, 0, 255));
  EXPECT_EQ(canvas(2, 1), RGB(0, 255, 0)) << "the control's colour inside the corner";

  // The cut-corner inner flat border leaves its corners.
  TCanvasFixture cut;
  border = TFcBorderPair{};
  border.Inner = fsFlat;
  border.CutCorner = true;
  border.FlatColor = clBlue;
  border.FlatColorAdjustment = 0;
  PaintBorderPair(cut.Canvas(), RECT{0, 0, 20, 20}, border);
  EXPECT_EQ(cut(0, 0), RGB(255, 0, 0));
  EXPECT_EQ(cut(19, 19), RGB(255, 0, 0));
  EXPECT_EQ(cut(0, 1), RGB(0, 0, 255));
  EXPECT_EQ(cut(10, 19), RGB(0, 0, 255));
}

TEST(Borders, ANonClientFrameUsesSystemColoursOnlyForExactlyTheWindowColour) {
  TCanvasFixture system, derived;
  PaintNonClientFrame(system.Canvas(), 20, 20, false, sdAllSides, clBlack, clWindow, fsGroove);
  PaintNonClientFrame(derived.Canvas(), 20, 20, false, sdAllSides, clBlack,
                      static_cast<TColor>(ColorToRGB(clWindow)), fsGroove);
  EXPECT_EQ(system(0, 10), Rgb(clBtnShadow));
  EXPECT_EQ(derived(0, 10), static_cast<COLORREF>(DarkenColor(clWindow, 50)));
  EXPECT_NE(system(0, 10), derived(0, 10));

  TCanvasFixture flat;
  PaintNonClientFrame(flat.Canvas(), 20, 20, false, TSides{sdLeft}, clBlue, clLime, fsFlat);
  EXPECT_EQ(flat(0, 10), RGB(0, 0, 255));
  EXPECT_EQ(flat(1, 10), RGB(0, 255, 0)) << "the second ring of the background";
  EXPECT_EQ(flat(19, 10), RGB(0, 255, 0)) << "background on every side";
  EXPECT_EQ(flat(2, 10), RGB(255, 0, 0));
  TCanvasFixture kept;
  PaintNonClientFrame(kept.Canvas(), 20, 20, true, TSides{sdLeft}, clBlue, clLime, fsFlat);
  EXPECT_EQ(kept(19, 10), RGB(255, 0, 0));
}

TEST(Borders, BarBackgroundIsAGradientOverTwoThirdsInBothLooks) {
  for (TVisualStyles styles : {TVisualStyles::vsOff, TVisualStyles::vsOn}) {
    TStylesScope scope(styles);
    TCanvasFixture none(10, 30);
    PaintBarBackground(none.Canvas(), RECT{0, 0, 10, 30}, true, 0, clTeal, gpTopToBottom);
    EXPECT_TRUE(none.Untouched());

    // Wine's theme has no explorer bar: the themed request falls back to the gradient.
    TCanvasFixture lighter(10, 30);
    PaintBarBackground(lighter.Canvas(), RECT{0, 0, 10, 30}, true, 40, clTeal, gpTopToBottom);
    EXPECT_EQ(lighter(5, 0), static_cast<COLORREF>(LightenColor(clTeal, 40)));
    EXPECT_TRUE(Near(lighter(5, 19), Rgb(clTeal), 12));
    EXPECT_EQ(lighter(5, 20), RGB(255, 0, 0)) << "the bottom third is left";

    TCanvasFixture darker(10, 30);
    PaintBarBackground(darker.Canvas(), RECT{0, 0, 10, 30}, false, -40, clTeal, gpBottomToTop);
    EXPECT_EQ(darker(5, 0), static_cast<COLORREF>(DarkenColor(clTeal, 40)));
    EXPECT_EQ(darker(5, 25), RGB(255, 0, 0));
  }
  OverrideDisplayHasFullColor(false);
  TCanvasFixture palette(10, 30);
  PaintBarBackground(palette.Canvas(), RECT{0, 0, 10, 30}, false, 40, clTeal, gpTopToBottom);
  OverrideDisplayHasFullColor(std::nullopt);
  EXPECT_TRUE(palette.Untouched());
}

TEST(Borders, ArrowsFillTheirTriangleAndKeepTheBrush) {
  const RECT box{0, 0, 16, 16};
  // Classic drop-down arrow: cx = 8, y = 8 + 2 − 1 = 9.
  TCanvasFixture classic;
  classic.Canvas()->Brush()->SetColor(clYellow);
  PaintDropDownArrow(classic.Canvas(), box, false, true, false);
  EXPECT_EQ(classic(8, 7), RGB(0, 0, 0));
  EXPECT_EQ(classic(8, 3), RGB(255, 0, 0));
  EXPECT_EQ(classic.Canvas()->Brush()->Color(), clYellow);

  TCanvasFixture disabled;
  PaintDropDownArrow(disabled.Canvas(), box, false, false, false);
  EXPECT_EQ(disabled(8, 7), Rgb(clBtnShadow));

  {
    TStylesScope on(TVisualStyles::vsOn);
    TCanvasFixture themed;
    PaintDropDownArrow(themed.Canvas(), box, true, true, false);
    COLORREF glyph = themed(8, 9);
    EXPECT_NE(glyph, RGB(255, 0, 0)) << "the chevron covers its middle";
    EXPECT_FALSE(ColorsHardToTell(static_cast<TColor>(glyph), clWindow));
  }

  // Direction arrows: each triangle's middle is filled, the opposite edge of the box is not.
  struct TCase {
    int direction;
    POINT inside, outside;
  } cases[] = {{adUp, {8, 7}, {7, 12}}, {adDown, {8, 8}, {8, 2}}, {adLeft, {8, 7}, {12, 7}},
               {adRight, {8, 7}, {2, 7}}};
  for (bool themed : {false, true})
    for (const TCase& c : cases) {
      TCanvasFixture canvas;
      PaintDirectionArrow(canvas.Canvas(), box, themed, true, false, c.direction);
      EXPECT_NE(canvas(c.inside.x, c.inside.y), RGB(255, 0, 0)) << c.direction << (themed ? " themed" : "");
      EXPECT_EQ(canvas(c.outside.x, c.outside.y), RGB(255, 0, 0)) << c.direction;
    }
}

// ---- Helpers -------------------------------------------------------------------------------

TEST(CommonHelpers, CentredBoundsRoundTowardZero) {
  EXPECT_TRUE(SameRect(RectCentredBounds(RECT{10, 10, 21, 20}, 4, 4), RECT{13, 13, 17, 17}));
  // Larger than the rect: (10 − 15) / 2 = −2.5 → −2.
  EXPECT_TRUE(SameRect(RectCentredBounds(RECT{0, 0, 10, 10}, 15, 10), RECT{-2, 0, 13, 10}));
}

TEST(CommonHelpers, AnAngledFontCarriesTheFontsLookAtTheAngle) {
  TFont font;
  font.SetName("Arial");
  font.SetHeight(-17);
  font.SetStyle(TFontStyles{fsBold, fsUnderline});
  font.SetPitch(fpFixed);
  font.SetCharset(SYMBOL_CHARSET);
  std::unique_ptr<TFont> angled = CreateAngledFont(&font, 90);
  LOGFONTA lf{};
  ASSERT_EQ(GetObjectA(angled->Handle(), sizeof(lf), &lf), static_cast<int>(sizeof(lf)));
  EXPECT_EQ(lf.lfEscapement, 900);
  EXPECT_EQ(lf.lfOrientation, 0);
  EXPECT_EQ(lf.lfHeight, -17);
  EXPECT_EQ(lf.lfWeight, 700);
  EXPECT_TRUE(lf.lfUnderline);
  EXPECT_FALSE(lf.lfItalic);
  EXPECT_EQ(lf.lfCharSet, DEFAULT_CHARSET);
  EXPECT_EQ(lf.lfPitchAndFamily, FIXED_PITCH);
  EXPECT_STREQ(lf.lfFaceName, "Arial");
}

TEST(CommonHelpers, FontsAndTheSystemAsThisMachineHasThem) {
  TFont font;
  EXPECT_TRUE(FontIsTrueType(&font)) << "every face resolves to a TrueType font here";
  TBitmap probe(1, 1);
  probe.Canvas()->SetFont(&font);
  EXPECT_EQ(FontLineHeight(&font), probe.Canvas()->TextHeight("Yy") + 2);
  // The running system (6.1 under Wine) is none of the old ones.
  for (int code = -1; code <= 7; ++code) EXPECT_FALSE(IsWindowsVersion(code)) << code;

  std::unique_ptr<TForm> form(TForm::CreateNew<TForm>(nullptr));
  form->SetBounds(10, 10, 100, 100);
  RECT work = ControlMonitorWorkArea(form.get());
  RECT primary = MonitorWorkArea(Screen->Monitors(0));
  EXPECT_TRUE(SameRect(work, primary));
  EXPECT_EQ(ControlMonitorWorkWidth(form.get()), work.right - work.left);
  RECT bounds = MonitorBounds(Screen->Monitors(0));
  EXPECT_EQ(bounds.right - bounds.left, Screen->Width());
}
