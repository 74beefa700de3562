// The control button: one click per press, repeated clicks while held, none when disabled,
// and its faces.
#include <gtest/gtest.h>

#include <vector>

#include "ButtonTestSupport.h"
#include "TestSupport.h"
#include "controls/FcButton.h"

namespace {

// Runs the messages for `ms` milliseconds.
void Hold(DWORD ms) { LoopUntil([] { return false; }, ms); }

struct TClicks {
  std::vector<DWORD> at;  // tick counts
  void Attach(TFcControlButton* b) {
    b->OnClick = [this](TObject*) { at.push_back(GetTickCount()); };
  }
  int Count() const { return static_cast<int>(at.size()); }
};

}  // namespace

TEST(FcControlButton, APressAndReleaseInsideIsOneClick) {
  auto form = ShownForm();
  auto* b = Put<TFcControlButton>(form.get(), 10, 10, 17, 21);
  TClicks clicks;
  clicks.Attach(b);
  Pump();
  MouseClick(b, 5, 5);
  EXPECT_EQ(clicks.Count(), 1);
  // Held without RepeatClicks: still one click, at the release.
  MouseStep(b, WM_LBUTTONDOWN, 5, 5);
  EXPECT_TRUE(b->Down());
  Hold(550);
  EXPECT_EQ(clicks.Count(), 1);
  MouseStep(b, WM_LBUTTONUP, 5, 5);
  EXPECT_FALSE(b->Down());
  EXPECT_EQ(clicks.Count(), 2);
}

TEST(FcControlButton, AHeldButtonRepeatsItsClickAfterTheInitialDelayThenEveryDelay) {
  auto form = ShownForm();
  auto* b = Put<TFcControlButton>(form.get(), 10, 10, 17, 21);
  b->SetRepeatClicks(true);
  TClicks clicks;
  clicks.Attach(b);
  Pump();

  MouseStep(b, WM_LBUTTONDOWN, 5, 5);
  DWORD pressed = GetTickCount();
  Hold(650);
  // At about 400, 500 and 600 ms; timers may run a little late.
  ASSERT_GE(clicks.Count(), 2);
  EXPECT_LE(clicks.Count(), 3);
  EXPECT_GE(clicks.at[0] - pressed, 380u);
  EXPECT_LE(clicks.at[0] - pressed, 520u);
  EXPECT_GE(clicks.at[1] - clicks.at[0], 80u);
  int held = clicks.Count();
  MouseStep(b, WM_LBUTTONUP, 5, 5);
  EXPECT_EQ(clicks.Count(), held + 1);

  // Dragged off while held it keeps the mouse and goes on repeating; released outside it
  // gives no last click.
  clicks.at.clear();
  MouseStep(b, WM_LBUTTONDOWN, 5, 5);
  MouseStep(b, WM_MOUSEMOVE, 60, 60);
  Hold(550);
  EXPECT_TRUE(b->Down());
  EXPECT_GE(clicks.Count(), 1);
  held = clicks.Count();
  MouseStep(b, WM_LBUTTONUP, 60, 60);
  EXPECT_EQ(clicks.Count(), held);
  EXPECT_FALSE(b->Down());
  // Released, it repeats no more.
  Hold(250);
  EXPECT_EQ(clicks.Count(), held);
}

TEST(FcControlButton, ADisabledButtonDoesNotGoDownAndItsTimerClicksNothing) {
  auto form = ShownForm();
  auto* b = Put<TFcControlButton>(form.get(), 10, 10, 17, 21);
  b->SetRepeatClicks(true);
  b->SetEnabled(false);
  TClicks clicks;
  clicks.Attach(b);
  Pump();
  // The press goes to the form; one handed to the button itself starts its timer but does
  // not put it down.
  MouseStep(b, WM_LBUTTONDOWN, 5, 5);
  b->Perform(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
  EXPECT_FALSE(b->Down());
  Hold(600);
  b->Perform(WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
  MouseStep(b, WM_LBUTTONUP, 5, 5);
  EXPECT_EQ(clicks.Count(), 0);
}

TEST(FcControlButton, TheGlyphsShapeSetsItsCellCountWithinOneToFour) {
  RegisterControlLibrary();
  TFcControlButton b(nullptr);
  TBitmap glyph(64, 16);
  b.SetGlyph(&glyph);
  EXPECT_EQ(b.NumGlyphs(), 4);
  b.SetNumGlyphs(0);
  EXPECT_EQ(b.NumGlyphs(), 1);
  b.SetNumGlyphs(5);
  EXPECT_EQ(b.NumGlyphs(), 4);
}

TEST(FcControlButton, AFlatIdleArrowButtonIsItsColourWithTheArrowAndNoFrame) {
  TStylesScope styles(TVisualStyles::vsOff);
  auto form = ShownForm();
  auto* b = Put<TFcControlButton>(form.get(), 10, 10, 17, 21);
  b->SetStyle(cbsDown);
  b->SetFlat(true);
  b->SetColor(clYellow);
  Pump();
  TBitmap shot(17, 21);
  FillBitmap(shot, clRed);
  form->PaintTo(shot.Canvas()->Handle(), -10, -10);
  // No frame: the edges are the face colour; the arrow is black in the middle.
  EXPECT_EQ(CountPixels(shot, RECT{0, 0, 17, 1}, clYellow), 17);
  EXPECT_EQ(CountPixels(shot, RECT{0, 20, 17, 21}, clYellow), 17);
  RECT arrow = BoundsOf(shot, RGB(0, 0, 0));
  ASSERT_LT(arrow.left, arrow.right);
  EXPECT_NEAR((arrow.left + arrow.right) / 2, 8, 2);
  EXPECT_NEAR((arrow.top + arrow.bottom) / 2, 10, 3);
  EXPECT_EQ(CountPixels(shot, RECT{0, 0, 17, 21}, clRed), 0);

  // Not flat: the raised button border.
  b->SetFlat(false);
  form->PaintTo(shot.Canvas()->Handle(), -10, -10);
  EXPECT_EQ(PixelAt(shot, 0, 0), Rgb(clBtnHighlight));
  EXPECT_EQ(PixelAt(shot, 16, 20), Rgb(cl3DDkShadow));
}
