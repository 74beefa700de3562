// The radio button and the check box: their events from code, mouse and keys, the radio
// buttons' sibling rule, the grayed state, the four glyph sources and their colours.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "ButtonTestSupport.h"
#include "TestSupport.h"
#include "controls/FcRadChk.h"
#include "platform/ExtCtrls.h"
#include "platform/Layout.h"
#include "platform/StdCtrls.h"

namespace {

constexpr COLORREF kOlive = RGB(128, 128, 0);

// The controls with their pressed look in reach of the tests.
class TTestRadio : public TFcRadioButton {
 public:
  using TFcRadioButton::TFcRadioButton;
  using TFcRadioButton::SetPressedLook;
};

class TTestCheckBox : public TFcCheckBox {
 public:
  using TFcCheckBox::TFcCheckBox;
  using TFcCheckBox::SetPressedLook;
};

// Two glyphs alike pixel for pixel.
bool SamePixels(TBitmap& a, TBitmap& b) {
  for (int y = 0; y < 13; ++y)
    for (int x = 0; x < 13; ++x)
      if (PixelAt(a, x, y) != PixelAt(b, x, y)) return false;
  return true;
}

std::unique_ptr<TBitmap> GlyphOf(TFcCustomGlyphButton& b) {
  auto glyph = std::make_unique<TBitmap>(b.GlyphCellWidth(), b.GlyphCellHeight());
  b.MakeGlyph(glyph.get());
  return glyph;
}

// Counts the control's clicks into `count`.
void CountClicks(TControl* c, int& count) {
  c->OnClick = [&count](TObject*) { ++count; };
}

}  // namespace

// ---- Events --------------------------------------------------------------------------------

TEST(FcCheckBox, ChangingTheStateFromCodeFiresOnClickOncePerChange) {
  RegisterControlLibrary();
  TFcCheckBox c(nullptr);
  int clicks = 0;
  CountClicks(&c, clicks);
  c.SetChecked(true);
  EXPECT_EQ(c.State(), cbChecked);
  EXPECT_EQ(clicks, 1);
  c.SetChecked(true);
  EXPECT_EQ(clicks, 1);
  c.SetState(cbGrayed);
  EXPECT_FALSE(c.Checked());
  EXPECT_EQ(clicks, 2);
  c.SetChecked(false);
  EXPECT_EQ(c.State(), cbUnchecked);
  EXPECT_EQ(clicks, 3);
  c.SetState(cbUnchecked);
  EXPECT_EQ(clicks, 3);
}

TEST(FcCheckBox, ClicksCycleThroughGrayedOnlyWhenAllowed) {
  auto form = ShownForm();
  auto* c = Put<TFcCheckBox>(form.get(), 10, 10, 120, 20);
  int clicks = 0;
  CountClicks(c, clicks);
  Pump();
  std::vector<TCheckBoxState> seen;
  for (int i = 0; i < 3; ++i) {
    MouseClick(c, 5, 5);
    seen.push_back(c->State());
  }
  EXPECT_EQ(seen, (std::vector<TCheckBoxState>{cbChecked, cbUnchecked, cbChecked}));
  c->SetChecked(false);
  c->SetAllowGrayed(true);
  clicks = 0;
  seen.clear();
  for (int i = 0; i < 3; ++i) {
    MouseClick(c, 5, 5);
    seen.push_back(c->State());
  }
  EXPECT_EQ(seen, (std::vector<TCheckBoxState>{cbGrayed, cbChecked, cbUnchecked}));
  EXPECT_EQ(clicks, 3);
}

TEST(FcCheckBox, SpaceTogglesOnReleaseAndEscapeCancelsIt) {
  auto form = ShownForm();
  auto* c = Put<TTestCheckBox>(form.get(), 10, 10, 120, 20);
  auto* edit = Put<TEdit>(form.get(), 10, 40, 100, 22);
  c->SetCaption("&Mark");
  int clicks = 0;
  CountClicks(c, clicks);
  c->SetFocus();
  Pump();
  ASSERT_TRUE(c->Focused());

  KeyDown(VK_SPACE);
  EXPECT_TRUE(c->PressedLook());
  KeyDown(VK_ESCAPE);
  EXPECT_FALSE(c->PressedLook());
  KeyUp(VK_SPACE);
  EXPECT_FALSE(c->Checked());
  EXPECT_EQ(clicks, 0);

  Key(VK_SPACE);
  EXPECT_TRUE(c->Checked());
  EXPECT_EQ(clicks, 1);

  // The accelerator from elsewhere focuses and toggles it.
  edit->SetFocus();
  Pump();
  PostMessageA(GetFocus(), WM_SYSCHAR, 'm', 0x20000001);
  Pump();
  EXPECT_TRUE(c->Focused());
  EXPECT_FALSE(c->Checked());
  EXPECT_EQ(clicks, 2);
}

TEST(FcCheckBox, TabOnEnterMovesTheFocusOn) {
  auto form = ShownForm();
  auto* c = Put<TFcCheckBox>(form.get(), 10, 10, 120, 20);
  auto* edit = Put<TEdit>(form.get(), 10, 40, 100, 22);
  c->SetFocus();
  Pump();
  Key(VK_RETURN);
  EXPECT_TRUE(c->Focused());
  c->SetTabOnEnter(true);
  Key(VK_RETURN);
  Pump();
  EXPECT_TRUE(edit->Focused());
  EXPECT_FALSE(c->Checked());
}

TEST(FcRadioButton, CheckingOneUnchecksItsSiblingsSilentlyBeforeItsOwnClick) {
  auto form = ShownForm();
  auto* panel = Put<TPanel>(form.get(), 0, 0, 200, 120);
  auto* a = Put<TFcRadioButton>(panel, 10, 10, 100, 20);
  auto* b = Put<TFcRadioButton>(panel, 10, 40, 100, 20);
  auto* c = Put<TFcRadioButton>(panel, 10, 70, 100, 20);
  auto* elsewhere = Put<TFcRadioButton>(form.get(), 210, 10, 100, 20);
  int clicksA = 0, clicksB = 0;
  CountClicks(a, clicksA);
  CountClicks(b, clicksB);
  std::vector<bool> seenByC;
  c->OnClick = [&](TObject*) { seenByC = {a->Checked(), b->Checked(), c->Checked()}; };
  elsewhere->SetChecked(true);
  a->SetChecked(true);
  b->SetChecked(true);
  EXPECT_FALSE(a->Checked());
  EXPECT_EQ(clicksA, 1);
  EXPECT_EQ(clicksB, 1);

  c->SetChecked(true);
  EXPECT_EQ(seenByC, (std::vector<bool>{false, false, true}));
  EXPECT_EQ(clicksA, 1);
  EXPECT_EQ(clicksB, 1);
  EXPECT_TRUE(elsewhere->Checked());
  // Only the checked one is a tab stop.
  EXPECT_TRUE(c->TabStop());
  EXPECT_FALSE(a->TabStop());
  EXPECT_FALSE(b->TabStop());
  // Unchecking from code fires nothing.
  c->SetChecked(false);
  EXPECT_EQ(seenByC.size(), 3u);

  // A radio button without a parent has no siblings to uncheck.
  TFcRadioButton alone(nullptr);
  int clicks = 0;
  CountClicks(&alone, clicks);
  alone.SetChecked(true);
  EXPECT_EQ(clicks, 1);
}

TEST(FcRadioButton, TheKeyboardsFocusChecksItAndAMousePressOnlyItsRelease) {
  auto form = ShownForm();
  auto* a = Put<TFcRadioButton>(form.get(), 10, 10, 100, 20);
  auto* b = Put<TFcRadioButton>(form.get(), 10, 40, 100, 20);
  auto* c = Put<TFcRadioButton>(form.get(), 10, 70, 100, 20);
  c->SetCaption("&Choice");
  int clicksB = 0, clicksC = 0;
  CountClicks(b, clicksB);
  CountClicks(c, clicksC);
  a->SetChecked(true);
  a->SetFocus();
  Pump();

  // An arrow key moves the focus to the next one, which checks it.
  Key(VK_DOWN);
  EXPECT_TRUE(b->Focused());
  EXPECT_TRUE(b->Checked());
  EXPECT_FALSE(a->Checked());
  EXPECT_EQ(clicksB, 1);

  // A press focuses without checking; the release inside checks, once.
  MouseStep(c, WM_LBUTTONDOWN, 5, 5);
  EXPECT_TRUE(c->Focused());
  EXPECT_FALSE(c->Checked());
  MouseStep(c, WM_LBUTTONUP, 5, 5);
  EXPECT_TRUE(c->Checked());
  EXPECT_FALSE(b->Checked());
  EXPECT_EQ(clicksC, 1);

  // The accelerator focuses it, which checks it.
  b->SetChecked(true);
  b->SetFocus();
  Pump();
  PostMessageA(GetFocus(), WM_SYSCHAR, 'c', 0x20000001);
  Pump();
  EXPECT_TRUE(c->Focused());
  EXPECT_TRUE(c->Checked());
  EXPECT_EQ(clicksC, 2);
}

TEST(FcRadChk, StoredLayoutsKeepTheStatesAndReadTheOlderFlatName) {
  RegisterControlLibrary();
  std::unique_ptr<TForm> form(TForm::CreateNew<TForm>(nullptr));
  ReadLayout(form.get(), R"({ "class": "TForm", "name": "ChoiceForm", "children": [
    { "class": "TFcRadioButton", "name": "Radio", "properties": { "Checked": true, "Flat": true } },
    { "class": "TFcCheckBox", "name": "Box", "properties": { "AllowGrayed": true, "State": "cbGrayed" } } ] })");
  auto* radio = dynamic_cast<TFcRadioButton*>(form->FindComponent("Radio"));
  auto* box = dynamic_cast<TFcCheckBox*>(form->FindComponent("Box"));
  ASSERT_TRUE(radio && box);
  EXPECT_TRUE(radio->Checked());
  EXPECT_TRUE(radio->HotTrack());
  EXPECT_TRUE(radio->TabStop());
  EXPECT_EQ(box->State(), cbGrayed);
  std::string written = WriteLayout(form.get());
  EXPECT_EQ(written.find("\"Flat\""), std::string::npos);
  std::unique_ptr<TForm> copy(TForm::CreateNew<TForm>(nullptr));
  ReadLayout(copy.get(), written);
  EXPECT_EQ(WriteLayout(copy.get()), written);
}

// ---- Glyphs --------------------------------------------------------------------------------

TEST(FcRadChk, TheTemplatesCarryTheirPartsColours) {
  RegisterControlLibrary();
  struct TCase {
    const char* name;
    int x, y;
    COLORREF color;
  };
  const TCase cases[] = {
      {"FCCOMMON_RADIOBUTTON_CHECKED", 0, 0, kOlive},
      {"FCCOMMON_RADIOBUTTON_CHECKED", 6, 0, RGB(0, 0, 0)},
      {"FCCOMMON_RADIOBUTTON_CHECKED", 6, 6, RGB(0, 0, 128)},
      {"FCCOMMON_RADIOBUTTON_UNCHECKED", 6, 6, RGB(255, 255, 255)},
      {"FCCOMMON_RADIOBUTTON_UNCHECKED", 4, 0, RGB(0, 255, 255)},
      {"FCCOMMON_CHECKBOX_UNCHECKED", 0, 0, RGB(128, 128, 128)},
      {"FCCOMMON_CHECKBOX_UNCHECKED", 3, 3, RGB(255, 255, 255)},
      {"FCCOMMON_CHECKBOX_CHECKED", 9, 3, RGB(0, 0, 255)},
      {"FCCOMMON_CHECKBOX_CHECKED", 3, 3, RGB(255, 255, 255)},
      {"FCCOMMON_CHECKBOX_GRAYED", 3, 3, RGB(0, 0, 255)},
      {"FCCOMMON_CHECKBOX_GRAYED", 11, 11, RGB(255, 0, 0)},
  };
  for (const TCase& c : cases) {
    TBitmap t;
    t.LoadFromResourceName(GetModuleHandleA(nullptr), c.name);
    ASSERT_EQ(t.Width(), 13) << c.name;
    ASSERT_EQ(t.Height(), 13) << c.name;
    EXPECT_EQ(PixelAt(t, c.x, c.y), c.color) << c.name << " " << c.x << "," << c.y;
  }
}

TEST(FcRadChk, AStripOfTheUsersOwnGivesTheCellOfTheState) {
  RegisterControlLibrary();
  const TColor colors[] = {clRed, clGreen, clBlue, clYellow, clAqua, clFuchsia, clNavy, clMaroon, clPurple};
  auto strip = [&](int cells) {
    auto s = std::make_unique<TBitmap>(13 * cells, 13);
    for (int i = 0; i < cells; ++i) {
      s->Canvas()->Brush()->SetColor(colors[i]);
      s->Canvas()->FillRect(RECT{13 * i, 0, 13 * i + 13, 13});
    }
    return s;
  };
  auto cellOf = [&](TFcCustomGlyphButton& b) {
    auto g = GlyphOf(b);
    COLORREF c = PixelAt(*g, 6, 6);
    for (int i = 0; i < 9; ++i)
      if (c == ColorToRGB(colors[i])) return i;
    return -1;
  };

  TTestRadio radio(nullptr);
  auto radioStrip = strip(6);
  radio.SetCustomGlyphs(radioStrip.get());
  EXPECT_TRUE(radio.UseCustomGlyphs());
  EXPECT_EQ(radio.GlyphCellWidth(), 13);
  struct TRadioCase {
    bool enabled, checked, pressed;
    int cell;
  };
  for (const TRadioCase& c : {TRadioCase{true, false, false, 0}, TRadioCase{true, true, false, 1},
                              TRadioCase{true, false, true, 2}, TRadioCase{true, true, true, 3},
                              TRadioCase{false, false, false, 4}, TRadioCase{false, true, false, 5}}) {
    radio.SetEnabled(c.enabled);
    radio.SetChecked(c.checked);
    radio.SetPressedLook(c.pressed);
    EXPECT_EQ(cellOf(radio), c.cell);
  }

  TTestCheckBox box(nullptr);
  auto boxStrip = strip(9);
  box.SetCustomGlyphs(boxStrip.get());
  struct TBoxCase {
    bool enabled;
    TCheckBoxState state;
    bool pressed;
    int cell;
  };
  for (const TBoxCase& c : {TBoxCase{true, cbUnchecked, false, 0}, TBoxCase{true, cbGrayed, false, 2},
                            TBoxCase{true, cbChecked, true, 4}, TBoxCase{true, cbGrayed, true, 5},
                            TBoxCase{false, cbUnchecked, false, 6}, TBoxCase{false, cbChecked, true, 7}}) {
    box.SetEnabled(c.enabled);
    box.SetState(c.state);
    box.SetPressedLook(c.pressed);
    EXPECT_EQ(cellOf(box), c.cell);
  }

  // A strip narrower than its cell count has cells of no width, and nothing is drawn.
  auto form = ShownForm();
  auto* thin = Put<TFcCheckBox>(form.get(), 10, 10, 100, 20);
  TBitmap narrow(5, 13);
  thin->SetCustomGlyphs(&narrow);
  EXPECT_EQ(thin->GlyphCellWidth(), 0);
  auto shot = PaintToBitmap(thin);
  // And an empty strip is the end of it.
  thin->SetCustomGlyphs(nullptr);
  EXPECT_FALSE(thin->UseCustomGlyphs());
  EXPECT_EQ(thin->GlyphCellWidth(), 13);
}

TEST(FcRadChk, WithVisualStylesTheGlyphIsTheStylesElementForTheState) {
  TStylesScope styles(TVisualStyles::vsOn);
  RegisterControlLibrary();
  Themes::TThemeData theme = Themes::OpenTheme(nullptr, "BUTTON");
  if (!theme) GTEST_SKIP() << "no visual style for buttons";
  auto element = [&](int part, int state, TColor fill) {
    auto expected = std::make_unique<TBitmap>(13, 13);
    if (fill != clNone) FillBitmap(*expected, fill);
    Themes::DrawThemeBackground(theme.get(), expected->Canvas()->Handle(), part, state, RECT{0, 0, 13, 13});
    return expected;
  };

  TTestRadio radio(nullptr);
  radio.SetColor(clYellow);
  radio.SetChecked(true);
  auto checked = element(BP_RADIOBUTTON, RBS_CHECKEDNORMAL, clYellow);
  auto unchecked = element(BP_RADIOBUTTON, RBS_UNCHECKEDNORMAL, clYellow);
  ASSERT_FALSE(SamePixels(*checked, *unchecked));
  EXPECT_TRUE(SamePixels(*GlyphOf(radio), *checked));
  radio.SetPressedLook(true);
  EXPECT_TRUE(SamePixels(*GlyphOf(radio), *element(BP_RADIOBUTTON, RBS_CHECKEDPRESSED, clYellow)));
  radio.SetPressedLook(false);
  radio.SetEnabled(false);
  radio.SetChecked(false);
  EXPECT_TRUE(SamePixels(*GlyphOf(radio), *element(BP_RADIOBUTTON, RBS_UNCHECKEDDISABLED, clYellow)));

  // The check box draws no face of its own (without a window, no parent shows under it).
  TTestCheckBox box(nullptr);
  box.SetState(cbGrayed);
  EXPECT_TRUE(SamePixels(*GlyphOf(box), *element(BP_CHECKBOX, CBS_MIXEDNORMAL, clNone)));
  box.SetState(cbChecked);
  box.SetEnabled(false);
  EXPECT_TRUE(SamePixels(*GlyphOf(box), *element(BP_CHECKBOX, CBS_CHECKEDDISABLED, clNone)));
}

TEST(FcRadChk, HotTrackedGlyphsAreTheTemplatesInTheFrameAndHighlightColours) {
  TStylesScope styles(TVisualStyles::vsOff);
  RegisterControlLibrary();
  TFcRadioButton radio(nullptr);
  radio.SetHotTrack(true);
  radio.SetChecked(true);
  radio.SetFrameColor(clBlue);
  radio.SetHighlightColor(clRed);
  auto glyph = GlyphOf(radio);
  EXPECT_EQ(PixelAt(*glyph, 0, 0), kOlive);  // never mapped: the transparent colour
  EXPECT_EQ(PixelAt(*glyph, 6, 0), RGB(0, 0, 255));
  EXPECT_EQ(PixelAt(*glyph, 6, 6), RGB(255, 0, 0));
  EXPECT_EQ(PixelAt(*glyph, 4, 0), RGB(0, 128, 0));  // the rim, blended when painted
  EXPECT_EQ(PixelAt(*glyph, 4, 4), Rgb(clWindow));

  TFcCheckBox box(nullptr);
  box.SetHotTrack(true);
  box.SetChecked(true);
  box.SetFrameColor(clBlue);
  box.SetHighlightColor(clRed);
  glyph = GlyphOf(box);
  EXPECT_EQ(PixelAt(*glyph, 0, 0), RGB(0, 0, 255));
  EXPECT_EQ(PixelAt(*glyph, 9, 3), RGB(255, 0, 0));
  EXPECT_EQ(PixelAt(*glyph, 3, 3), Rgb(clWindow));
  box.SetEnabled(false);
  box.SetDisabledColor(clYellow);
  glyph = GlyphOf(box);
  EXPECT_EQ(PixelAt(*glyph, 3, 3), RGB(255, 255, 0));
  EXPECT_EQ(PixelAt(*glyph, 9, 3), Rgb(clBtnShadow));
}

TEST(FcRadChk, OnAPaletteDisplayHotTrackedGlyphsUseOnlyWindowFrameAndHighlightColours) {
  TStylesScope styles(TVisualStyles::vsOff);
  RegisterControlLibrary();
  OverrideDisplayHasFullColor(false);
  TScopeExit fullColor([]() noexcept { OverrideDisplayHasFullColor(std::nullopt); });
  for (bool checked : {false, true}) {
    TFcRadioButton radio(nullptr);
    radio.SetHotTrack(true);
    radio.SetChecked(checked);
    radio.SetFrameColor(clBlue);
    radio.SetHighlightColor(clRed);
    auto glyph = GlyphOf(radio);
    for (int y = 0; y < 13; ++y)
      for (int x = 0; x < 13; ++x) {
        COLORREF c = PixelAt(*glyph, x, y);
        EXPECT_TRUE(c == Rgb(clWindow) || c == RGB(0, 0, 255) || c == RGB(255, 0, 0) || c == kOlive)
            << x << "," << y << " " << std::hex << c;
      }
  }
}

TEST(FcRadChk, WithoutStylesAndHotTrackTheGlyphIsTheSystemsFrameControl) {
  TStylesScope styles(TVisualStyles::vsOff);
  RegisterControlLibrary();
  auto frameControl = [](UINT flags, TColor fill) {
    auto expected = std::make_unique<TBitmap>(13, 13);
    if (fill != clNone) FillBitmap(*expected, fill);
    RECT r{0, 0, 13, 13};
    DrawFrameControl(expected->Canvas()->Handle(), &r, DFC_BUTTON, flags);
    return expected;
  };
  TTestRadio radio(nullptr);
  radio.SetChecked(true);
  radio.SetPressedLook(true);
  EXPECT_TRUE(SamePixels(*GlyphOf(radio),
                   *frameControl(DFCS_BUTTONRADIO | DFCS_CHECKED | DFCS_PUSHED | DFCS_TRANSPARENT, clOlive)));
  TFcCheckBox box(nullptr);
  box.SetState(cbGrayed);
  box.SetEnabled(false);
  EXPECT_TRUE(SamePixels(*GlyphOf(box),
                   *frameControl(DFCS_BUTTONCHECK | DFCS_CHECKED | DFCS_BUTTON3STATE | DFCS_INACTIVE, clNone)));
  EXPECT_FALSE(SamePixels(*GlyphOf(box), *frameControl(DFCS_BUTTONCHECK, clNone)));
}

TEST(FcRadChk, PaintedGlyphsShowNoneOfTheirMaskColours) {
  TStylesScope styles(TVisualStyles::vsOff);
  auto form = ShownForm();
  form->SetColor(clYellow);
  for (bool transparent : {false, true}) {
    auto* radio = Put<TFcRadioButton>(form.get(), 10, 10, 120, 20);
    radio->SetHotTrack(true);
    radio->SetChecked(true);
    radio->SetTransparent(transparent);
    radio->SetCaption("Choice");
    Pump();
    auto shot = PaintToBitmap(radio);
    for (COLORREF mask : {kOlive, RGB(0, 255, 0), RGB(0, 128, 0)})
      EXPECT_EQ(CountPixels(*shot, RECT{0, 0, 120, 20}, static_cast<TColor>(mask)), 0) << std::hex << mask;
    // The background beside the glyph, the caption right of it.
    EXPECT_EQ(PixelAt(*shot, 0, 1), Rgb(clYellow));
    RECT text = BoundsOf(*shot, AsPainted(*shot, clWindowText));
    EXPECT_GE(text.left, 13 + 4 + 1);
    delete radio;
  }
}

TEST(FcRadChk, AvoidingMaskColoursChangesOneChannelByOneWithoutACarry) {
  RegisterControlLibrary();
  TFcCheckBox box(nullptr);
  box.SetTransparentColor(clWhite);
  struct TCase {
    TColor color;
    COLORREF expected;
  };
  const TCase cases[] = {
      {clWhite, RGB(254, 255, 255)},       // the transparent colour
      {clLime, RGB(1, 255, 0)},            // the window-mask colour
      {clGray, RGB(129, 128, 128)},        // the middle grey
      {clBlue, RGB(0, 0, 255)},            // any other colour stays
      {clOlive, RGB(128, 128, 0)},
  };
  for (const TCase& c : cases) {
    TColor adjusted = box.AvoidMaskColors(c.color);
    EXPECT_EQ(static_cast<COLORREF>(adjusted), c.expected) << std::hex << c.color;
    EXPECT_EQ(adjusted & 0xFF000000, 0) << "not an RGB value";
  }
  box.SetTransparentColor(clOlive);
  EXPECT_EQ(static_cast<COLORREF>(box.AvoidMaskColors(clOlive)), RGB(129, 128, 0));
}

TEST(FcRadChk, AFrameControllerGivesItsColoursOnlyWhenItShowsFrames) {
  RegisterControlLibrary();
  TFcFrameController controller(nullptr);
  controller.SetFrameColor(clRed);
  controller.SetDisabledColor(clYellow);
  TFcCheckBox box(nullptr);
  box.SetFrameController(&controller);
  EXPECT_EQ(box.FrameColor(), clBtnShadow);
  controller.SetFrameVisible(true);
  EXPECT_EQ(box.FrameColor(), clRed);
  EXPECT_EQ(box.DisabledColor(), clYellow);
  controller.SetFrameVisible(false);
  controller.SetFrameColor(clBlue);
  EXPECT_EQ(box.FrameColor(), clRed);
}
