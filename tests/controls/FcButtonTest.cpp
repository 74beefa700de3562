// The owner-drawn button base and the push button: mouse and keyboard tracking, hover
// repaints, the caption's text styles, default and cancel buttons, modal results and toggle
// groups.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "ButtonTestSupport.h"
#include "EventLog.h"
#include "TestSupport.h"
#include "controls/FcButton.h"
#include "controls/FcRadChk.h"
#include "platform/ExtCtrls.h"
#include "platform/StdCtrls.h"
#include "platform/Timer.h"

namespace {

// The base with its state changes and paints counted.
class TProbeButton : public TFcCustomButton {
 public:
  using TFcCustomButton::TFcCustomButton;
  int advances = 0;
  int paints = 0;

 protected:
  void AdvanceState() override { ++advances; }
  void Paint() override { ++paints; }
};

}  // namespace

// ---- The base ------------------------------------------------------------------------------

TEST(FcCustomButton, APressCompletesOnlyByAReleaseInsideAndShowsPressedOnlyInside) {
  auto form = ShownForm();
  auto* b = Put<TProbeButton>(form.get(), 10, 10, 80, 24);
  Pump();

  MouseStep(b, WM_LBUTTONDOWN, 5, 5);
  EXPECT_TRUE(b->Focused());
  EXPECT_TRUE(b->Tracking());
  EXPECT_TRUE(b->PressedLook());
  MouseStep(b, WM_MOUSEMOVE, -10, 5);
  EXPECT_FALSE(b->PressedLook());
  MouseStep(b, WM_LBUTTONUP, -10, 5);
  EXPECT_EQ(b->advances, 0);
  EXPECT_FALSE(b->Tracking());

  // Out and back in again: pressed again, and the release completes the click.
  MouseStep(b, WM_LBUTTONDOWN, 5, 5);
  MouseStep(b, WM_MOUSEMOVE, 5, 40);
  EXPECT_FALSE(b->PressedLook());
  MouseStep(b, WM_MOUSEMOVE, 6, 6);
  EXPECT_TRUE(b->PressedLook());
  MouseStep(b, WM_LBUTTONUP, 6, 6);
  EXPECT_EQ(b->advances, 1);
  EXPECT_FALSE(b->PressedLook());
}

TEST(FcCustomButton, AButtonThatCannotTakeTheFocusDoesNotTrackAPress) {
  RegisterControlLibrary();
  TEventLog errors;
  TRestore<TExceptionEvent> onException(Application->OnException,
                                        [&](TObject*, const std::exception& e) { errors.Note(e.what()); });
  // On a form that is not shown, and inside a disabled panel of a shown one.
  std::unique_ptr<TForm> hidden(TForm::CreateNew<TForm>(nullptr));
  auto* onHidden = Put<TProbeButton>(hidden.get(), 10, 10, 80, 24);
  auto form = ShownForm();
  auto* panel = Put<TPanel>(form.get(), 0, 0, 200, 100);
  auto* inPanel = Put<TProbeButton>(panel, 10, 10, 80, 24);
  panel->SetEnabled(false);
  Pump();
  for (TProbeButton* b : {onHidden, inPanel}) {
    b->HandleNeeded();
    MouseStep(b, WM_LBUTTONDOWN, 5, 5);
    EXPECT_FALSE(b->Tracking());
    EXPECT_FALSE(b->PressedLook());
    MouseStep(b, WM_LBUTTONUP, 5, 5);
    EXPECT_EQ(b->advances, 0);
  }
  EXPECT_TRUE(errors.Empty()) << errors.First();
}

TEST(FcCustomButton, EnteringAndLeavingRepaintOnlyWhenHotTrackedOrThemed) {
  struct TCase {
    TVisualStyles styles;
    bool hotTrack;
    bool repaints;
  };
  const TCase cases[] = {
      {TVisualStyles::vsOff, false, false},
      {TVisualStyles::vsOff, true, true},
      {TVisualStyles::vsOn, false, true},
  };
  auto form = ShownForm();
  for (const TCase& c : cases) {
    TStylesScope styles(c.styles);
    auto* b = Put<TProbeButton>(form.get(), 10, 10, 80, 24);
    b->SetHotTrack(c.hotTrack);
    int enters = 0, leaves = 0;
    b->OnMouseEnter = [&](TObject*) { ++enters; };
    b->OnMouseLeave = [&](TObject*) { ++leaves; };
    Pump();
    b->paints = 0;

    MouseMoveTo(b, 5, 5);
    Pump();
    EXPECT_EQ(enters, 1);
    EXPECT_TRUE(b->MouseInside());
    EXPECT_EQ(b->paints > 0, c.repaints) << "enter, hot track " << c.hotTrack;

    b->paints = 0;
    SetCursorPos(0, 0);
    SendMessageA(b->Handle(), WM_MOUSELEAVE, 0, 0);
    Pump();
    EXPECT_EQ(leaves, 1);
    EXPECT_FALSE(b->MouseInside());
    EXPECT_EQ(b->paints > 0, c.repaints) << "leave, hot track " << c.hotTrack;
    delete b;
  }
}

namespace {

// The caption drawn by PaintCaptionText on red, large enough to have solid strokes.
std::unique_ptr<TBitmap> CaptionOnRed(TFcCustomButton* b, const RECT& rect, UINT format) {
  auto shot = std::make_unique<TBitmap>(120, 60);
  FillBitmap(*shot, clRed);
  b->PaintCaptionText(shot->Canvas(), rect, format);
  return shot;
}

}  // namespace

TEST(FcCustomButton, ADisabledCaptionIsEmbossedWhateverItsTextStyle) {
  RegisterControlLibrary();
  TProbeButton b(nullptr);
  b.SetCaption("HI");
  b.Font()->SetSize(28);
  b.Font()->SetStyle({fsBold});
  b.SetEnabled(false);
  for (TTextStyle style : {tsNormal, tsRaised, tsRecessed, tsShadow}) {
    b.SetTextStyle(style);
    auto shot = CaptionOnRed(&b, RECT{0, 0, 120, 60}, DT_LEFT);
    RECT ink = InkBounds(*shot, clRed);
    // The highlight, one pixel down and right, shows past the shadow's lower-right edges.
    int highlight = 0, font = 0;
    for (int y = 0; y < 60; ++y)
      for (int x = 0; x < 120; ++x) {
        if (PixelAt(*shot, x, y) == AsPainted(*shot, clBtnHighlight)) {
          ++highlight;
          EXPECT_GE(x, ink.left + 1);
          EXPECT_GE(y, ink.top + 1);
        }
        if (PixelAt(*shot, x, y) == AsPainted(*shot, clWindowText)) ++font;
      }
    EXPECT_GT(highlight, 10) << "style " << style;
    EXPECT_GT(CountPixels(*shot, ink, clBtnShadow), 50) << "style " << style;
    EXPECT_EQ(font, 0) << "style " << style;
  }
}

TEST(FcCustomButton, AShadowedCaptionCastsItsShadowByTheDepth) {
  RegisterControlLibrary();
  TProbeButton b(nullptr);
  b.SetCaption("HI");
  b.Font()->SetSize(28);
  b.Font()->SetStyle({fsBold});
  b.SetTextStyle(tsShadow);
  b.SetTextShadowColor(clBlue);
  b.SetTextShadowDepth(3);
  b.SetAlignmentVertical(avTop);
  auto shot = CaptionOnRed(&b, RECT{0, 0, 120, 60}, DT_LEFT);
  // The shadow, drawn first, reaches 3 pixels further right and down than the text on it.
  COLORREF black = AsPainted(*shot, clWindowText), blue = RGB(0, 0, 255);
  int blueRight = -1, blueBottom = -1, blackRight = -1, blackBottom = -1, blues = 0;
  for (int y = 0; y < 60; ++y)
    for (int x = 0; x < 120; ++x) {
      COLORREF c = PixelAt(*shot, x, y);
      if (c == blue) blueRight = std::max(blueRight, x), blueBottom = std::max(blueBottom, y), ++blues;
      if (c == black) blackRight = std::max(blackRight, x), blackBottom = std::max(blackBottom, y);
    }
  ASSERT_GT(blues, 10);
  EXPECT_EQ(blueRight - blackRight, 3);
  EXPECT_EQ(blueBottom - blackBottom, 3);
}

TEST(FcCustomButton, ACaptionTallerThanItsRectangleStaysCentredOnIt) {
  RegisterControlLibrary();
  TProbeButton b(nullptr);
  b.SetCaption("one\ntwo\nthree\nfour\nfive\nsix");
  b.Font()->SetSize(12);
  // Twenty rows of room between rows 10 and 30 for many more rows of text, which spills over
  // both edges alike: above row 0 too, so the bitmap shows rows -60 to 100.
  TBitmap shot(60, 160);
  FillBitmap(shot, clRed);
  HDC dc = shot.Canvas()->Handle();
  SetViewportOrgEx(dc, 0, 60, nullptr);
  b.PaintCaptionText(shot.Canvas(), RECT{0, 10, 40, 30}, DT_CENTER | DT_WORDBREAK);
  SetViewportOrgEx(dc, 0, 0, nullptr);
  RECT ink = InkBounds(shot, clRed);
  ASSERT_LE(ink.left, ink.right) << "the caption vanished";
  ASSERT_GT(ink.bottom - ink.top, 40) << "the caption is not taller than the rows 0 to 40";
  EXPECT_GT(ink.top, 0);
  EXPECT_LT(ink.top, 70);
  EXPECT_GT(ink.bottom, 90);
  EXPECT_LT(ink.bottom, 160);
  EXPECT_NEAR((ink.top + ink.bottom) / 2, 80, 4);
}

// ---- The push button on a form -------------------------------------------------------------

namespace {

struct TDialog {
  std::unique_ptr<TForm> form;
  TEdit* edit;
  TFcButton* ok;
  TFcButton* cancel;
  TFcButton* other;
  TEventLog clicks;
};

TDialog Dialog() {
  TDialog d;
  d.form = ShownForm();
  d.edit = Put<TEdit>(d.form.get(), 10, 10, 100, 22);
  d.ok = Put<TFcButton>(d.form.get(), 10, 50, 75, 25);
  d.cancel = Put<TFcButton>(d.form.get(), 90, 50, 75, 25);
  d.other = Put<TFcButton>(d.form.get(), 170, 50, 75, 25);
  d.ok->SetDefault(true);
  d.ok->SetModalResult(mrOk);
  d.cancel->SetCancel(true);
  d.cancel->SetModalResult(mrCancel);
  d.other->SetCaption("&Other");
  d.ok->OnClick = d.clicks.Noter("ok");
  d.cancel->OnClick = d.clicks.Noter("cancel");
  d.other->OnClick = d.clicks.Noter("other");
  d.edit->SetFocus();
  Pump();
  return d;
}

}  // namespace

TEST(FcButton, EnterPressesTheDefaultButtonOrTheFocusedOneAndEscapeTheCancelButton) {
  TDialog d = Dialog();
  ASSERT_TRUE(d.edit->Focused());
  EXPECT_TRUE(d.ok->AnswersEnter());
  Key(VK_RETURN);
  EXPECT_EQ(d.clicks, TEvents{"ok"});
  EXPECT_EQ(d.form->ModalResult(), mrOk);
  Key(VK_ESCAPE);
  EXPECT_EQ(d.clicks, (TEvents{"ok", "cancel"}));
  EXPECT_EQ(d.form->ModalResult(), mrCancel);

  // A focused button answers Enter itself; the default one no longer does.
  d.other->SetFocus();
  Pump();
  EXPECT_TRUE(d.other->AnswersEnter());
  EXPECT_FALSE(d.ok->AnswersEnter());
  d.clicks.Clear();
  Key(VK_RETURN);
  EXPECT_EQ(d.clicks, TEvents{"other"});
  // Its modal result (none) goes to the form too.
  EXPECT_EQ(d.form->ModalResult(), mrNone);

  // Back on the edit, the default button answers again.
  d.edit->SetFocus();
  Pump();
  EXPECT_TRUE(d.ok->AnswersEnter());
  EXPECT_FALSE(d.other->AnswersEnter());
}

TEST(FcButton, SpaceAndTheAcceleratorPressTheButton) {
  TDialog d = Dialog();
  d.other->SetFocus();
  Pump();
  KeyDown(VK_SPACE);
  EXPECT_TRUE(d.other->PressedLook());
  EXPECT_TRUE(d.clicks.Empty());
  KeyUp(VK_SPACE);
  EXPECT_FALSE(d.other->PressedLook());
  EXPECT_EQ(d.clicks, TEvents{"other"});

  d.edit->SetFocus();
  Pump();
  PostMessageA(GetFocus(), WM_SYSCHAR, 'o', 0x20000001);
  Pump();
  EXPECT_EQ(d.clicks, (TEvents{"other", "other"}));
}

// Space pressed on a button or check box and let go after the focus went away and came back:
// nobody clicked, so nothing happens; the next whole press clicks as ever.
TEST(FcCustomButton, ASpaceLeftBehindByTheFocusClicksNothing) {
  struct TCase {
    const char* name;
    TFcCustomButton* (*make)(TForm*);
  };
  const TCase cases[] = {
      {"button", [](TForm* f) -> TFcCustomButton* { return Put<TFcButton>(f, 10, 10, 75, 25); }},
      {"check box", [](TForm* f) -> TFcCustomButton* { return Put<TFcCheckBox>(f, 10, 10, 120, 20); }},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.name);
    auto form = ShownForm();
    TFcCustomButton* control = c.make(form.get());
    Put<TEdit>(form.get(), 10, 40, 100, 22);
    int clicks = 0;
    control->OnClick = [&](TObject*) { ++clicks; };
    control->SetFocus();
    Pump();
    ASSERT_TRUE(control->Focused());

    SendKey(VK_SPACE, true);
    WaitForInputHandled();
    EXPECT_TRUE(control->PressedLook());
    RealKey(VK_TAB);
    EXPECT_FALSE(control->Focused());
    EXPECT_FALSE(control->PressedLook());
    RealKey(VK_TAB, {VK_SHIFT});
    ASSERT_TRUE(control->Focused());
    SendKey(VK_SPACE, false);
    WaitForInputHandled();
    EXPECT_EQ(clicks, 0);

    RealKey(VK_SPACE);
    EXPECT_EQ(clicks, 1);
  }
}

TEST(FcButton, ShowModalEndsWithTheModalResultOfTheClickedButton) {
  RegisterControlLibrary();
  std::unique_ptr<TForm> dialog(TForm::CreateNew<TForm>(nullptr));
  dialog->SetBounds(60, 60, 240, 120);
  auto* yes = Put<TFcButton>(dialog.get(), 10, 10, 75, 25);
  yes->SetModalResult(mrYes);
  TTimer timer(nullptr);
  timer.SetInterval(50);
  timer.OnTimer = [&](TObject*) {
    timer.SetEnabled(false);
    MouseStep(yes, WM_LBUTTONDOWN, 5, 5);
    MouseStep(yes, WM_LBUTTONUP, 5, 5);
  };
  EXPECT_EQ(dialog->ShowModal(), mrYes);
}

// ---- Toggle groups, the push button and the tool button alike ------------------------------

namespace {

// What differs between the two kinds of grouped button.
template <class T>
struct TGroupedKind;
template <>
struct TGroupedKind<TFcButton> {
  static constexpr int kWidth = 75;
  // The push button clicks on every press, also the one that cannot lift the last down button.
  static constexpr bool kClicksWhenStayingDown = true;
};
template <>
struct TGroupedKind<TFcToolButton> {
  static constexpr int kWidth = 25;
  static constexpr bool kClicksWhenStayingDown = false;
};

template <class T>
class GroupedButtons : public testing::Test {};
using TGroupedButtonTypes = testing::Types<TFcButton, TFcToolButton>;
TYPED_TEST_SUITE(GroupedButtons, TGroupedButtonTypes);

}  // namespace

TYPED_TEST(GroupedButtons, LatchDownInTurn) {
  using TKind = TGroupedKind<TypeParam>;
  const int w = TKind::kWidth, step = w + 10;
  auto form = ShownForm();
  auto* a = Put<TypeParam>(form.get(), 10, 10, w, 25);
  auto* b = Put<TypeParam>(form.get(), 10 + step, 10, w, 25);
  auto* elsewhere = Put<TypeParam>(form.get(), 10 + 2 * step, 10, w, 25);
  a->SetGroupIndex(1);
  b->SetGroupIndex(1);
  elsewhere->SetGroupIndex(2);
  elsewhere->SetDown(true);
  int clicksA = 0, clicksB = 0;
  a->OnClick = [&](TObject*) { ++clicksA; };
  b->OnClick = [&](TObject*) { ++clicksB; };
  Pump();

  RealClick(a, 5, 5);
  EXPECT_TRUE(a->Down());
  RealClick(b, 5, 5);
  EXPECT_TRUE(b->Down());
  EXPECT_FALSE(a->Down());
  EXPECT_EQ(clicksA, 1);  // going up fires nothing
  EXPECT_EQ(clicksB, 1);
  EXPECT_TRUE(elsewhere->Down());

  // The last down button of the group stays down, from the mouse and from code.
  RealClick(b, 5, 5);
  EXPECT_TRUE(b->Down());
  const int afterStayingDown = TKind::kClicksWhenStayingDown ? 2 : 1;
  EXPECT_EQ(clicksB, afterStayingDown);
  b->SetDown(false);
  EXPECT_TRUE(b->Down());

  // AllowAllUp set on one reaches the group, and then the down button goes up.
  a->SetAllowAllUp(true);
  EXPECT_TRUE(b->AllowAllUp());
  RealClick(b, 5, 5);
  EXPECT_FALSE(b->Down());
  EXPECT_FALSE(a->Down());
  EXPECT_EQ(clicksB, afterStayingDown + 1);

  // Pressed and released outside: nothing changes.
  RealMove(a->ClientToScreen(POINT{5, 5}));
  SendMouseButton(mbLeft, true);
  RealMove(a->ClientToScreen(POINT{5, 40}));
  SendMouseButton(mbLeft, false);
  WaitForInputHandled();
  EXPECT_FALSE(a->Down());
  EXPECT_EQ(clicksA, 1);

  // An ungrouped button never latches.
  auto* plain = Put<TypeParam>(form.get(), 10, 50, w, 25);
  plain->SetDown(true);
  EXPECT_FALSE(plain->Down());
}

TEST(FcButton, ALatchedGroupedButtonShowsTheDownPatternInTheClassicLook) {
  TStylesScope styles(TVisualStyles::vsOff);
  auto form = ShownForm();
  auto* b = Put<TFcButton>(form.get(), 10, 10, 60, 30);
  b->SetGroupIndex(1);
  b->SetDown(true);
  Pump();
  auto shot = PaintToBitmap(b);
  // Inside the lowered border: silver where row and column are both even or both odd.
  for (int y = 10; y < 14; ++y)
    for (int x = 10; x < 14; ++x) {
      COLORREF expected = (x % 2 == y % 2) ? RGB(192, 192, 192) : Rgb(clBtnFace);
      EXPECT_EQ(PixelAt(*shot, x, y), expected) << x << "," << y;
    }
  b->SetShowDownPattern(false);
  shot = PaintToBitmap(b);
  EXPECT_EQ(PixelAt(*shot, 10, 10), Rgb(clBtnFace));
}
