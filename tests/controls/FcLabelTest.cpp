// The label: its angle and rotation rules, borders and three-dimensional text as painted,
// turned and curved text, blinking, fly-by colour and auto size.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "ControlsTestSupport.h"
#include "TestSupport.h"
#include "controls/FcLabel.h"
#include "platform/Forms.h"
#include "platform/Layout.h"

namespace {

// A label on a form of its own (a parent gives it a canvas to measure with).
class LabelTest : public testing::Test {
 protected:
  void SetUp() override {
    RegisterControlLibrary();
    form.reset(TForm::CreateNew<TForm>(nullptr));
    form->SetBounds(40, 40, 400, 300);
    form->SetColor(clRed);
    label = new TFcLabel(form.get());
    label->SetParent(form.get());
    label->SetAutoSize(false);
    label->SetBounds(10, 10, 200, 60);
    label->SetCaption("Quenmar");
    label->Font()->SetHeight(-24);
    label->Font()->SetColor(clBlack);
    label->SetColor(clWhite);
  }

  // The label painted into a bitmap of its size, over lime.
  std::unique_ptr<TBitmap> Painted() {
    auto bitmap = std::make_unique<TBitmap>(label->Width(), label->Height());
    FillBitmap(*bitmap, clLime);
    label->Perform(WM_PAINT, reinterpret_cast<WPARAM>(bitmap->Canvas()->Handle()));
    return bitmap;
  }

  std::unique_ptr<TForm> form;
  TFcLabel* label = nullptr;
};

// The smallest rect around the pixels of exactly that colour; right < left when none.
RECT ColorBounds(TBitmap& bitmap, TColor color) { return BoundsOf(bitmap, AsPainted(bitmap, color)); }

int AllPixels(TBitmap& bitmap, TColor color) {
  return CountPixels(bitmap, RECT{0, 0, bitmap.Width(), bitmap.Height()}, color);
}

// GDI objects of this process. Where the system does not report them (Wine answers 0), the
// handle table is read entry by entry: a handle whose high word is 0 names the entry at its
// low word, whatever object lives there.
int GdiObjectCount() {
  if (DWORD n = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS)) return static_cast<int>(n);
  int count = 0;
  for (UINT_PTR i = 1; i < 0x10000; ++i)
    if (GetObjectType(reinterpret_cast<HGDIOBJ>(i)) != 0) ++count;
  return count;
}

// The raster "MS Sans Serif" of Wine's fonts, loaded for this process only; false when the
// machine has no such file.
bool LoadRasterFont() {
  static int added = AddFontResourceExA("Z:\\usr\\share\\wine\\fonts\\sserife.fon", FR_PRIVATE, nullptr);
  return added > 0;
}

}  // namespace

TEST_F(LabelTest, AnglesAreKeptWithinAFullTurnAndTurnALevelLabel) {
  struct TCase {
    int set, kept;
  } cases[] = {{0, 0},     {45, 45},   {-90, 270}, {400, 40}, {360, 0},
               {720, 0},   {-400, 320}, {-360, 0}, {-1, 359}, {1079, 359}};
  for (const TCase& c : cases) {
    label->SetAngle(c.set);
    EXPECT_EQ(label->Angle(), c.kept) << c.set;
  }
  label->SetRotation(roNone);
  EXPECT_EQ(label->Angle(), 0);
  label->SetAngle(30);
  EXPECT_EQ(label->Rotation(), roFlat) << "a level label is turned by an angle";

  label->SetRotation(roCurve);
  label->SetCenterPoint(cpLowerLeft);
  label->SetAngle(60);
  EXPECT_EQ(label->Rotation(), roCurve) << "curved text stays curved";
  label->SetRotation(roFlat);
  EXPECT_EQ(label->Angle(), 0);
  EXPECT_EQ(label->CenterPoint(), cpCenter);
}

TEST_F(LabelTest, ARasterFontGivesWayToOneThatCanBeTurned) {
  if (!LoadRasterFont()) GTEST_SKIP() << "no raster font on this machine";
  label->Font()->SetName("MS Sans Serif");
  ASSERT_FALSE(FontIsTrueType(label->Font()));
  label->SetRotation(roFlat);
  EXPECT_EQ(label->Font()->Name(), "Verdana");

  label->SetRotation(roNone);
  label->Font()->SetName("MS Sans Serif");
  label->SetAngle(90);
  EXPECT_EQ(label->Font()->Name(), "Verdana");
  EXPECT_EQ(label->Angle(), 90);
  // The font changed back to one that cannot be turned: the label lies level again.
  label->Font()->SetName("MS Sans Serif");
  EXPECT_EQ(label->Angle(), 0);

  // A TrueType font is kept.
  label->Font()->SetName("Arial");
  label->SetAngle(45);
  EXPECT_EQ(label->Font()->Name(), "Arial");
}

TEST_F(LabelTest, TheBorderPairIsPaintedAndTheTextKeepsInsideIt) {
  label->SetBorderOuter(fsFlat);
  label->SetFlatColor(clBlue);
  label->SetBorderWidth(3);
  label->SetBorderColor(clYellow);
  label->SetCaption("");
  auto shot = Painted();
  // The flat colour is lightened by the default adjustment of 30.
  EXPECT_EQ(PixelAt(*shot, 0, 30), AsPainted(*shot, LightenColor(clBlue, 30)));
  EXPECT_EQ(PixelAt(*shot, 1, 30), RGB(255, 255, 0));
  EXPECT_EQ(PixelAt(*shot, 3, 30), RGB(255, 255, 0));
  EXPECT_EQ(PixelAt(*shot, 4, 30), RGB(255, 255, 255)) << "inside: the label's colour";

  label->SetCaption("WWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWW");
  label->SetTransparent(true);
  label->SetBorderOuter(fsGroove);
  auto text = Painted();
  RECT ink = ColorBounds(*text, clBlack);
  ASSERT_GT(ink.right, ink.left);
  EXPECT_GE(ink.left, 3 + 2) << "border width and the groove's two pixels";
  EXPECT_LE(ink.right, label->Width() - 5);
  EXPECT_EQ(PixelAt(*text, 10, 50), RGB(0, 255, 0)) << "a transparent label leaves its background";
}

TEST_F(LabelTest, RaisedRecessedAndShadowedTextHaveTheirEdgesWhereTheyBelong) {
  label->SetHighlightColor(clRed);
  label->SetShadowColor(clBlue);
  label->SetShadowDepth(4);
  struct TCase {
    TTextStyle style;
    bool light;
    int highlight, shadow;  // offset of each colour's edge from the text's; 0: absent
  } cases[] = {{tsRaised, false, -1, 1}, {tsRaised, true, -1, 0},  {tsRecessed, false, 1, -1},
               {tsRecessed, true, 1, 0}, {tsShadow, false, 0, 4}, {tsNormal, false, 0, 0}};
  for (const TCase& c : cases) {
    label->SetTextStyle(c.style);
    label->SetLightTextStyle(c.light);
    auto shot = Painted();
    RECT text = ColorBounds(*shot, clBlack), highlight = ColorBounds(*shot, clRed),
         shadow = ColorBounds(*shot, clBlue);
    ASSERT_GT(text.right, text.left) << c.style;
    auto check = [&](const RECT& edge, int offset, const char* name) {
      if (offset == 0) {
        EXPECT_LT(edge.right, edge.left) << name << " drawn in style " << c.style;
      } else if (offset < 0) {
        EXPECT_EQ(edge.left, text.left + offset) << name << " " << c.style;
        EXPECT_EQ(edge.top, text.top + offset) << name << " " << c.style;
      } else {
        EXPECT_EQ(edge.right, text.right + offset) << name << " " << c.style;
        EXPECT_EQ(edge.bottom, text.bottom + offset) << name << " " << c.style;
      }
    };
    check(highlight, c.highlight, "highlight");
    check(shadow, c.shadow, "shadow");
  }
}

TEST_F(LabelTest, ADisabledLabelIsEmbossedInTheSystemColours) {
  label->SetTextStyle(tsRaised);
  label->Font()->SetColor(clGreen);
  label->SetColor(clNavy);
  label->SetEnabled(false);
  auto shot = Painted();
  EXPECT_EQ(AllPixels(*shot, clGreen), 0);
  RECT highlight = ColorBounds(*shot, clBtnHighlight), shadow = ColorBounds(*shot, clBtnShadow);
  ASSERT_GT(shadow.right, shadow.left);
  EXPECT_EQ(highlight.right, shadow.right + 1);
  EXPECT_EQ(highlight.bottom, shadow.bottom + 1);
}

TEST_F(LabelTest, TurnedTextRunsAlongItsAngle) {
  label->SetBounds(10, 10, 160, 160);
  label->SetAlignment(taCenter);
  label->SetRotation(roFlat);
  auto level = Painted();
  RECT flat = ColorBounds(*level, clBlack);
  EXPECT_GT(flat.right - flat.left, 2 * (flat.bottom - flat.top));

  for (int angle : {90, 270}) {
    label->SetAngle(angle);
    auto shot = Painted();
    RECT ink = ColorBounds(*shot, clBlack);
    ASSERT_GT(ink.right, ink.left) << angle;
    EXPECT_GT(ink.bottom - ink.top, 2 * (ink.right - ink.left)) << angle;
    EXPECT_NEAR((ink.top + ink.bottom) / 2, 80, 12) << angle << ": centred along the label";
  }
  label->SetAngle(45);
  RECT diagonal = ColorBounds(*Painted(), clBlack);
  EXPECT_NEAR(diagonal.right - diagonal.left, diagonal.bottom - diagonal.top, 12);
}

TEST_F(LabelTest, CurvedTextIsSetAlongAnArcAndLeavesNoFontBehind) {
  // The count sees this process's objects, whichever way it reads them.
  int before = GdiObjectCount();
  std::vector<HFONT> fonts;
  for (int i = 0; i < 5; ++i) fonts.push_back(CreateFontA(-12, 0, 0, 0, 400, 0, 0, 0, 0, 0, 0, 0, 0, "Arial"));
  ASSERT_EQ(GdiObjectCount(), before + 5);
  for (HFONT f : fonts) DeleteObject(f);

  label->SetBounds(10, 10, 200, 200);
  label->SetRotation(roCurve);
  label->SetCaption("Quenmar benchmark");
  auto shot = Painted();
  RECT ink = ColorBounds(*shot, clBlack);
  ASSERT_GT(ink.right, ink.left);
  EXPECT_LT(ink.top, 60) << "the arc starts at the top";

  TBitmap target(label->Width(), label->Height());
  HDC dc = target.Canvas()->Handle();
  // The canvas keeps the font it last drew with; a leak would add one for every character of
  // every paint.
  label->Perform(WM_PAINT, reinterpret_cast<WPARAM>(dc));
  before = GdiObjectCount();
  for (int i = 0; i < 100; ++i) label->Perform(WM_PAINT, reinterpret_cast<WPARAM>(dc));
  EXPECT_EQ(GdiObjectCount(), before);

  // Too narrow for its border (a radius of 0 across): no arc, nothing drawn, nothing left
  // behind.
  label->SetBounds(10, 10, 16, 40);
  label->SetBorderWidth(4);
  label->SetBorderColor(clWhite);
  auto tiny = Painted();
  EXPECT_EQ(AllPixels(*tiny, clBlack), 0);
  label->Perform(WM_PAINT, reinterpret_cast<WPARAM>(dc));
  before = GdiObjectCount();
  for (int i = 0; i < 100; ++i) label->Perform(WM_PAINT, reinterpret_cast<WPARAM>(dc));
  EXPECT_EQ(GdiObjectCount(), before);

  label->SetBounds(10, 10, 100, 100);
  label->SetBorderWidth(0);
  label->SetCaption("");
  EXPECT_EQ(AllPixels(*Painted(), clBlack), 0) << "an empty caption draws nothing";
}

TEST_F(LabelTest, BlinkingAnswersTheTimerAndShowsItsPhases) {
  label->SetBlinkColor(clYellow);
  EXPECT_EQ(label->Perform(CM_BLINKQUERY), 0);
  label->SetBlinking(true);
  EXPECT_EQ(label->Perform(CM_BLINKQUERY), 1);
  label->Perform(CM_BLINKPHASE, 1);
  EXPECT_EQ(label->TextColor(), clYellow);
  EXPECT_GT(AllPixels(*Painted(), clYellow), 0);
  label->Perform(CM_BLINKPHASE, 0);
  EXPECT_EQ(label->TextColor(), clBlack);
  label->Perform(CM_BLINKPHASE, 1);
  label->SetBlinking(false);
  EXPECT_EQ(label->TextColor(), clBlack) << "switching off returns to the font's colour";

  // Every label shares the one timer and its phases.
  auto* other = new TFcLabel(form.get());
  other->SetParent(form.get());
  other->SetBlinkColor(clYellow);
  other->Font()->SetColor(clBlack);
  label->SetBlinkIntervalOn(40);
  label->SetBlinkIntervalOff(30);
  EXPECT_EQ(other->BlinkIntervalOn(), 40);
  EXPECT_EQ(other->BlinkIntervalOff(), 30);
  label->SetBlinking(true);
  other->SetBlinking(true);
  std::vector<std::pair<TColor, TColor>> seen;
  ASSERT_TRUE(LoopUntil([&] {
    if (seen.empty() || seen.back().first != label->TextColor()) seen.emplace_back(label->TextColor(), other->TextColor());
    return seen.size() >= 3;
  }, 3000));
  for (auto& phase : seen) EXPECT_EQ(phase.first, phase.second);
}

TEST_F(LabelTest, TheFlyByColourShowsWhileTheMouseIsOverTheLabel) {
  label->SetFlyByColor(clFuchsia);
  std::vector<TColor> atEvents;
  label->OnMouseEnter = [&](TObject*) { atEvents.push_back(label->Font()->Color()); };
  label->OnMouseLeave = [&](TObject*) { atEvents.push_back(label->Font()->Color()); };
  label->Perform(CM_MOUSEENTER, 0, reinterpret_cast<LPARAM>(label));
  EXPECT_EQ(label->Font()->Color(), clBlack) << "fly-by is off";

  label->SetFlyByEnabled(true);
  label->Perform(CM_MOUSEENTER, 0, reinterpret_cast<LPARAM>(label));
  EXPECT_EQ(label->TextColor(), clFuchsia);
  label->Perform(CM_MOUSELEAVE, 0, reinterpret_cast<LPARAM>(label));
  EXPECT_EQ(label->Font()->Color(), clBlack);
  EXPECT_EQ(atEvents, (std::vector<TColor>{clBlack, clFuchsia, clBlack})) << "the events fire after the change";

  label->Perform(CM_MOUSEENTER, 0, reinterpret_cast<LPARAM>(label));
  label->SetFlyByEnabled(false);
  EXPECT_EQ(label->Font()->Color(), clBlack) << "switching off while over restores the colour";
}

TEST_F(LabelTest, AutoSizeMeasuresTheTextWithItsBordersShadowAndAngle) {
  auto* plain = new TFcLabel(form.get());
  plain->SetParent(form.get());
  plain->SetFont(label->Font());
  plain->SetCaption(label->Caption());
  plain->SetAutoSize(true);
  const int w = plain->Width(), h = plain->Height();
  ASSERT_GT(w, h);

  label->SetBorderOuter(fsGroove);
  label->SetBorderWidth(2);
  label->SetAutoSize(true);
  EXPECT_EQ(label->Width(), w + 2 * (2 + 2));
  EXPECT_EQ(label->Height(), h + 2 * (2 + 2));

  label->SetBorderOuter(fsNone);
  label->SetBorderWidth(0);
  label->SetTextStyle(tsShadow);
  EXPECT_EQ(label->Width(), w + 2);
  label->SetTextStyle(tsNormal);

  label->SetAngle(90);
  EXPECT_EQ(label->Width(), h);
  EXPECT_EQ(label->Height(), w);
  // The box around turned text, in every quadrant.
  for (int angle : {30, 100, 200, 300}) {
    label->SetAngle(angle);
    double a = angle * 3.14159265358979 / 180, c = std::fabs(std::cos(a)), s = std::fabs(std::sin(a));
    EXPECT_NEAR(label->Width(), c * w + s * h, 1) << angle;
    EXPECT_NEAR(label->Height(), s * w + c * h, 1) << angle;
  }

  // A right-aligned label grows to the left.
  label->SetAngle(0);
  label->SetRotation(roNone);
  label->SetAlignment(taRightJustify);
  int right = label->Left() + label->Width();
  label->SetCaption("Quenmar benchmark");
  EXPECT_EQ(label->Left() + label->Width(), right);
  EXPECT_GT(label->Width(), w);

  label->SetCondenseCaption(ccAtEnd);
  EXPECT_FALSE(label->AutoSize());
}

TEST_F(LabelTest, AControllerShowingFramesGivesTheLabelItsBorder) {
  auto* controller = new TFcFrameController(form.get());
  controller->SetFrameStyle(fsFlatBold);
  controller->SetFrameColor(clNavy);
  controller->SetColor(clYellow);
  controller->SetFrameSides(TSides{sdLeft, sdBottom});
  label->SetFrameController(controller);
  EXPECT_EQ(label->BorderOuter(), fsNone) << "the controller shows no frames";

  controller->SetFrameVisible(true);
  EXPECT_EQ(label->BorderOuter(), fsFlatBold);
  EXPECT_EQ(label->BorderSides(), (TSides{sdLeft, sdBottom}));
  EXPECT_EQ(label->FlatColor(), clNavy);
  EXPECT_EQ(label->FlatColorAdjustment(), 0);
  EXPECT_EQ(label->Color(), clYellow);
  EXPECT_EQ(label->BorderHighlight(), LightenColor(clYellow, 100));
  EXPECT_EQ(label->BorderShadow(), DarkenColor(clYellow, 50));

  delete controller;
  EXPECT_EQ(label->FrameController(), nullptr);
}

TEST_F(LabelTest, ALayoutSetsTheLabelAndDropsItsOldFrameSides) {
  ReadLayout(form.get(), R"({ "class": "TForm", "children": [ { "class": "TFcLabel", "name": "Title",
      "properties": { "Caption": "Benchmark", "Angle": -90, "TextStyle": "tsRecessed",
                      "BorderOuter": "fsFlatRounded", "FrameSides": ["sdLeft"], "Blinking": true,
                      "Font": { "Color": "clMaroon" } } } ] })");
  auto* title = dynamic_cast<TFcLabel*>(form->FindComponent("Title"));
  ASSERT_NE(title, nullptr);
  EXPECT_EQ(title->Angle(), 270);
  EXPECT_EQ(title->Rotation(), roFlat);
  EXPECT_EQ(title->TextStyle(), tsRecessed);
  EXPECT_EQ(title->BorderOuter(), fsFlatRounded);
  EXPECT_TRUE(title->Blinking());
  EXPECT_EQ(title->TextColor(), clMaroon) << "the font's colour, taken when loaded";
  EXPECT_TRUE(title->ParentColor());
  EXPECT_EQ(title->Color(), clRed);

  std::string written = WriteLayout(form.get());
  EXPECT_EQ(written.find("FrameSides"), std::string::npos);
  EXPECT_NE(written.find("\"Angle\": 270"), std::string::npos);
}
