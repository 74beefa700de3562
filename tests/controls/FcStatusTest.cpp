// The status pane: its width, colours, blinking, frame and text, and the hints it takes.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "ControlTestSupport.h"
#include "ControlsTestSupport.h"
#include "controls/FcPanel.h"
#include "controls/FcStatus.h"
#include "platform/Forms.h"
#include "platform/Layout.h"

namespace {

// The width DrawText gives the text in the control's font.
int MeasuredWidth(TControl* control, const std::string& text) {
  TBitmap probe(1, 1);
  probe.Canvas()->Font()->Assign(control->Font());
  RECT r{0, 0, 1000, 100};
  DrawTextA(probe.Canvas()->Handle(), text.c_str(), -1, &r, DT_CALCRECT | DT_EXPANDTABS | DT_NOPREFIX);
  return r.right - r.left;
}

// A shown form holding a plain panel and a pane on it (not on a status bar: the classic look).
class StatusPane : public testing::Test {
 protected:
  void SetUp() override {
    RegisterControlLibrary();
    form.reset(TForm::CreateNew<TForm>(nullptr));
    form->SetBounds(60, 60, 320, 120);
    holder = new TFcPanel(form.get());
    holder->SetParent(form.get());
    holder->SetBorderOuter(fsNone);
    holder->SetBounds(0, 0, 300, 60);
    holder->SetColor(clWhite);
    pane = new TFcStatusPane(form.get());
    pane->SetParent(holder);
    pane->SetBounds(10, 10, 160, 24);
    form->Show();
    Pump();
  }
  std::unique_ptr<TBitmap> Shot() {
    auto full = PaintToBitmap(holder);
    auto shot = std::make_unique<TBitmap>(pane->Width(), pane->Height());
    BitBlt(shot->Canvas()->Handle(), 0, 0, pane->Width(), pane->Height(), full->Canvas()->Handle(), pane->Left(),
           pane->Top(), SRCCOPY);
    return shot;
  }
  std::unique_ptr<TForm> form;
  TFcPanel* holder = nullptr;
  TFcStatusPane* pane = nullptr;
};

}  // namespace

TEST_F(StatusPane, AutoSizeFitsTheCaptionWithFrameAndOffset) {
  pane->SetAutoSize(true);
  EXPECT_EQ(pane->Width(), 40) << "DefaultWidth for an empty caption";
  const std::string text = "Benchmark finished";
  pane->SetCaption(text);
  EXPECT_EQ(pane->Width(), MeasuredWidth(pane, text) + 10);
  pane->SetCaptionOffset(5);
  EXPECT_EQ(pane->Width(), MeasuredWidth(pane, text) + 13);
  pane->SetBorderWidth(3);
  pane->SetCaption(text + "\tdone");
  EXPECT_EQ(pane->Width(), MeasuredWidth(pane, text + "\tdone") + 6 + 5 + 6);

  // The same caption again changes nothing.
  pane->SetAutoSize(false);
  pane->SetWidth(77);
  pane->SetAutoSize(true);
  const int fitted = pane->Width();
  pane->SetAutoSize(false);
  pane->SetWidth(77);
  pane->SetCaption(text + "\tdone");
  EXPECT_EQ(pane->Width(), 77);
  EXPECT_NE(fitted, 77);
}

TEST_F(StatusPane, TheFillFollowsTheColourUntilItIsSetItself) {
  EXPECT_TRUE(pane->ParentFillColor());
  EXPECT_EQ(pane->FillColor(), clWhite) << "the parent's colour";
  holder->SetColor(clYellow);
  EXPECT_EQ(pane->Color(), clYellow);
  EXPECT_EQ(pane->FillColor(), clYellow);

  pane->SetFillColor(clYellow);
  EXPECT_TRUE(pane->ParentFillColor()) << "its current value";
  pane->SetFillColor(clAqua);
  EXPECT_FALSE(pane->ParentFillColor());
  holder->SetColor(clLime);
  EXPECT_EQ(pane->Color(), clLime);
  EXPECT_EQ(pane->FillColor(), clAqua);

  pane->SetParentFillColor(true);
  EXPECT_EQ(pane->FillColor(), clLime);
}

TEST_F(StatusPane, ItBlinksWithTheSharedTimersPhases) {
  pane->Font()->SetColor(clMaroon);
  pane->SetBlinkColor(clRed);
  EXPECT_EQ(pane->Perform(CM_BLINKQUERY), 0);
  pane->SetBlinking(true);
  EXPECT_EQ(pane->Perform(CM_BLINKQUERY), 1);
  EXPECT_EQ(pane->TextColor(), clMaroon) << "nothing changes before the next tick";
  pane->Perform(CM_BLINKPHASE, 1);
  EXPECT_EQ(pane->TextColor(), clRed);
  pane->Perform(CM_BLINKPHASE, 0);
  EXPECT_EQ(pane->TextColor(), clMaroon);
  pane->Perform(CM_BLINKPHASE, 1);
  pane->SetBlinking(false);
  EXPECT_EQ(pane->TextColor(), clMaroon) << "back at once";
  pane->Perform(CM_BLINKPHASE, 1);
  EXPECT_EQ(pane->TextColor(), clMaroon) << "a pane that does not blink ignores the ticks";

  // One rhythm for every blinking control of the program.
  auto* other = new TFcStatusPane(form.get());
  pane->SetBlinkIntervalOn(300);
  EXPECT_EQ(other->BlinkIntervalOn(), 300);
  EXPECT_EQ(TFcBlinkingControlsList::Instance()->IntervalOn(), 300);
  pane->SetBlinkIntervalOn(500);
}

TEST_F(StatusPane, APaneMadeInCodeTakesItsTextColourFromTheFirstFontChange) {
  auto* made = new TFcStatusPane(form.get());
  EXPECT_EQ(made->Font()->Color(), clWindowText);
  EXPECT_EQ(made->TextColor(), 0);
  made->Font()->SetColor(clGreen);
  EXPECT_EQ(made->TextColor(), clGreen);

  std::unique_ptr<TForm> loaded(TForm::CreateNew<TForm>(nullptr));
  ReadLayout(loaded.get(), R"({ "class": "TForm", "children": [ { "class": "TFcStatusPane", "name": "Line",
      "properties": { "ParentFont": false, "Font": { "Color": "clRed" }, "Caption": "Ready" } } ] })");
  auto* line = dynamic_cast<TFcStatusPane*>(loaded->FindComponent("Line"));
  ASSERT_NE(line, nullptr);
  EXPECT_EQ(line->TextColor(), clRed);
}

TEST_F(StatusPane, TheFlatFrameLeavesItsCornersAndTheTextSitsOnTheFill) {
  pane->SetColor(clWhite);
  pane->SetFillColor(clYellow);
  pane->Font()->SetColor(clBlue);
  pane->SetCaption("Ready");
  auto shot = Shot();
  const COLORREF flat = AsPainted(*shot, ShiftLightness(clBtnShadow, 30));
  const int w = pane->Width(), h = pane->Height();
  // BorderWidth 1: the frame is the ring one pixel in.
  EXPECT_EQ(PixelAt(*shot, 0, 5), RGB(255, 255, 255));
  EXPECT_EQ(PixelAt(*shot, 1, 1), RGB(255, 255, 255)) << "corner";
  EXPECT_EQ(PixelAt(*shot, w - 2, h - 2), RGB(255, 255, 255)) << "corner";
  EXPECT_EQ(PixelAt(*shot, 1, 5), flat);
  EXPECT_EQ(PixelAt(*shot, 5, 1), flat);
  EXPECT_EQ(PixelAt(*shot, w - 2, 5), flat);
  EXPECT_EQ(PixelAt(*shot, 5, h - 2), flat);
  EXPECT_EQ(PixelAt(*shot, w - 4, h / 2), RGB(255, 255, 0)) << "the text rectangle is filled";
  EXPECT_GT(CountPixels(*shot, RECT{0, 0, w, h}, clBlue), 10);
}

TEST_F(StatusPane, TheTextIsAnchoredByItsAlignment) {
  pane->Font()->SetColor(clBlue);
  pane->SetCaption("Ready");
  const int textWidth = MeasuredWidth(pane, "Ready");
  const RECT text{2, 2, pane->Width() - 2, pane->Height() - 2};  // BorderWidth 1 + the flat frame
  struct TCase {
    TAlignment alignment;
    int left;
  } cases[] = {{taLeftJustify, text.left + 2 + 1},
               {taRightJustify, text.right - 2 - 1 - textWidth},
               {taCenter, text.left + (text.right - text.left) / 2 - textWidth / 2}};
  for (const TCase& c : cases) {
    pane->SetAlignment(c.alignment);
    auto shot = Shot();
    int inkLeft = shot->Width();
    for (int y = 0; y < shot->Height(); ++y)
      for (int x = 0; x < shot->Width(); ++x)
        if (PixelAt(*shot, x, y) == RGB(0, 0, 255)) inkLeft = std::min(inkLeft, x);
    EXPECT_NEAR(inkLeft, c.left, 2) << c.alignment;
  }
}

TEST_F(StatusPane, ADisabledPaneShowsItsCaptionEngraved) {
  pane->SetFillColor(clYellow);
  pane->SetCaption("Ready");
  pane->SetEnabled(false);
  auto shot = Shot();
  const RECT all{0, 0, pane->Width(), pane->Height()};
  EXPECT_GT(CountPixels(*shot, all, clBtnShadow), 10);
  // The highlight copy lies one pixel right and down of the shadow text.
  const COLORREF shadow = AsPainted(*shot, clBtnShadow), light = AsPainted(*shot, clBtnHighlight);
  int pairs = 0;
  for (int y = 0; y + 1 < shot->Height(); ++y)
    for (int x = 0; x + 1 < shot->Width(); ++x)
      if (PixelAt(*shot, x, y) == shadow && PixelAt(*shot, x + 1, y + 1) == light) ++pairs;
  EXPECT_GT(pairs, 3);
}

TEST_F(StatusPane, WithAutoHintTheApplicationsHintBecomesTheCaption) {
  SetForegroundWindow(form->Handle());
  Pump();
  Application->SetHint("Choose the demo");
  EXPECT_EQ(pane->Caption(), "") << "AutoHint is off";
  pane->SetAutoHint(true);
  Application->SetHint("Choose the resolution");
  EXPECT_EQ(pane->Caption(), "Choose the resolution");
  Application->SetHint("");
  EXPECT_EQ(pane->Caption(), "");
}

TEST(StatusPaneOnABar, OnAThemedBarItDrawsNoFrameOfItsOwnStyle) {
  TStylesScope themed(TVisualStyles::vsOn);
  RegisterControlLibrary();
  std::unique_ptr<TForm> form(TForm::CreateNew<TForm>(nullptr));
  form->SetBounds(60, 60, 320, 120);
  auto* bar = new TFcStatusBar(form.get());
  bar->SetParent(form.get());
  auto* pane = new TFcStatusPane(form.get());
  pane->SetParent(bar);
  pane->SetAlign(alLeft);
  pane->SetFrameStyle(fsFlatBold);
  pane->SetFlatColor(clRed);
  pane->SetFlatColorAdjustment(0);
  pane->SetFillColor(clLime);
  form->Show();
  Pump();
  auto shot = PaintToBitmap(form.get());
  RECT area{bar->Left() + pane->Left(), bar->Top() + pane->Top(), bar->Left() + pane->Left() + pane->Width(),
            bar->Top() + pane->Top() + pane->Height()};
  EXPECT_EQ(CountPixels(*shot, area, clLime), 0) << "the text sits on the bar's own background";
  EXPECT_EQ(CountPixels(*shot, area, clRed), 0);

  bar->SetThemeAware(false);
  shot = PaintToBitmap(form.get());
  EXPECT_GT(CountPixels(*shot, area, clLime), 0);
}
