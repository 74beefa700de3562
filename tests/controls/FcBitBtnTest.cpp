// The bitmap button: its stock kinds (through stored layouts too), the glyph's cells, and
// where glyph and caption go.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include <memory>
#include <string>

#include "ButtonTestSupport.h"
#include "controls/FcButton.h"
#include "platform/ImgList.h"
#include "platform/Layout.h"

namespace {

constexpr COLORREF kOlive = RGB(128, 128, 0);

// The properties a layout holds for one component.
nlohmann::ordered_json PropertiesOf(const std::string& layout, const std::string& name) {
  auto doc = nlohmann::ordered_json::parse(layout);
  for (auto& child : doc["children"])
    if (child["name"] == name) return child.value("properties", nlohmann::ordered_json::object());
  ADD_FAILURE() << name << " is not in the layout";
  return {};
}

}  // namespace

TEST(FcBitBtn, EachKindSetsItsCaptionModalResultFlagsAndGlyph) {
  RegisterControlLibrary();
  struct TCase {
    TBitBtnKind kind;
    const char* caption;
    TModalResult modalResult;
    bool isDefault, isCancel;
  };
  const TCase cases[] = {
      {bkOK, "OK", 1, true, false},          {bkCancel, "Cancel", 2, false, true},
      {bkHelp, "&Help", 0, false, false},    {bkYes, "&Yes", 6, true, false},
      {bkNo, "&No", 7, false, true},         {bkClose, "&Close", 0, false, false},
      {bkAbort, "Abort", 3, false, false},   {bkRetry, "&Retry", 4, false, false},
      {bkIgnore, "&Ignore", 5, false, false}, {bkAll, "&All", 8, false, false},
  };
  for (const TCase& c : cases) {
    TFcBitBtn b(nullptr);
    b.SetCaption("Before");
    b.SetKind(c.kind);
    EXPECT_EQ(b.Kind(), c.kind);
    EXPECT_EQ(b.Caption(), c.caption);
    EXPECT_EQ(b.ModalResult(), c.modalResult) << c.caption;
    EXPECT_EQ(b.Default(), c.isDefault) << c.caption;
    EXPECT_EQ(b.Cancel(), c.isCancel) << c.caption;
    EXPECT_EQ(b.NumGlyphs(), 2);
    ASSERT_EQ(b.Glyph()->Width(), 32) << c.caption;
    ASSERT_EQ(b.Glyph()->Height(), 16);
    // Both cells carry the transparent colour at their bottom-left pixel, and some art.
    EXPECT_EQ(PixelAt(*b.Glyph(), 0, 15), kOlive) << c.caption;
    EXPECT_EQ(PixelAt(*b.Glyph(), 16, 15), kOlive) << c.caption;
    int art = 0;
    for (int y = 0; y < 16; ++y)
      for (int x = 0; x < 16; ++x) art += PixelAt(*b.Glyph(), x, y) != kOlive;
    EXPECT_GT(art, 10) << c.caption;
  }
}

TEST(FcBitBtn, AStockKindBecomesCustomOnceItsOwnValuesChange) {
  RegisterControlLibrary();
  struct TCase {
    const char* what;
    void (*change)(TFcBitBtn&);
  };
  const TCase cases[] = {
      {"modal result", [](TFcBitBtn& b) { b.SetModalResult(mrCancel); }},
      {"default", [](TFcBitBtn& b) { b.SetDefault(false); }},
      {"cancel", [](TFcBitBtn& b) { b.SetCancel(true); }},
      {"glyph", [](TFcBitBtn& b) {
         TBitmap g(16, 16);
         b.SetGlyph(&g);
       }},
  };
  for (const TCase& c : cases) {
    TFcBitBtn b(nullptr);
    b.SetKind(bkOK);
    c.change(b);
    EXPECT_EQ(b.Kind(), bkCustom) << c.what;
  }
  // The caption is not one of the kind's values.
  TFcBitBtn b(nullptr);
  b.SetKind(bkOK);
  b.SetCaption("Fine");
  EXPECT_EQ(b.Kind(), bkOK);
}

TEST(FcBitBtn, StoredLayoutsKeepAKindShortAndWriteWhatACustomButtonHas) {
  RegisterControlLibrary();
  const char* text = R"({ "class": "TForm", "name": "KindForm", "children": [
    { "class": "TFcBitBtn", "name": "OkButton", "properties": { "Kind": "bkOK" } },
    { "class": "TFcBitBtn", "name": "YesButton", "properties": { "Caption": "Sure", "Kind": "bkYes" } },
    { "class": "TFcBitBtn", "name": "NoButton", "properties": { "Kind": "bkNo" } },
    { "class": "TFcBitBtn", "name": "HelpButton", "properties": { "Caption": "Help me", "Glyph": "FCCOMMON_HELP" } } ] })";
  std::unique_ptr<TForm> form(TForm::CreateNew<TForm>(nullptr));
  ReadLayout(form.get(), text);
  auto* ok = dynamic_cast<TFcBitBtn*>(form->FindComponent("OkButton"));
  auto* yes = dynamic_cast<TFcBitBtn*>(form->FindComponent("YesButton"));
  auto* no = dynamic_cast<TFcBitBtn*>(form->FindComponent("NoButton"));
  auto* help = dynamic_cast<TFcBitBtn*>(form->FindComponent("HelpButton"));
  ASSERT_TRUE(ok && yes && no && help);
  EXPECT_EQ(ok->Caption(), "OK");
  EXPECT_TRUE(ok->Default());
  // A caption of the layout's own stays when the kind is set while loading.
  EXPECT_EQ(yes->Caption(), "Sure");
  EXPECT_EQ(yes->Kind(), bkYes);
  EXPECT_EQ(no->Caption(), "&No");
  EXPECT_EQ(help->Kind(), bkCustom);
  EXPECT_EQ(help->Glyph()->Width(), 32);
  EXPECT_EQ(help->NumGlyphs(), 2);

  std::string written = WriteLayout(form.get());
  auto okProps = PropertiesOf(written, "OkButton");
  EXPECT_EQ(okProps.value("Kind", ""), "bkOK");
  for (const char* left : {"Caption", "Default", "Cancel", "ModalResult", "NumGlyphs", "Glyph"})
    EXPECT_FALSE(okProps.contains(left)) << left;
  EXPECT_EQ(PropertiesOf(written, "YesButton").value("Caption", ""), "Sure");
  EXPECT_EQ(PropertiesOf(written, "HelpButton").value("Glyph", ""), "FCCOMMON_HELP");

  // Changed away from its kind, the OK button is written with its own values.
  ok->SetModalResult(mrRetry);
  written = WriteLayout(form.get());
  okProps = PropertiesOf(written, "OkButton");
  EXPECT_FALSE(okProps.contains("Kind"));
  EXPECT_EQ(okProps.value("ModalResult", 0), mrRetry);
  EXPECT_EQ(okProps.value("Default", false), true);
  EXPECT_EQ(okProps.value("Caption", ""), "OK");
  EXPECT_EQ(okProps.value("NumGlyphs", 0), 2);

  // And read back as such.
  std::unique_ptr<TForm> copy(TForm::CreateNew<TForm>(nullptr));
  ReadLayout(copy.get(), written);
  auto* okCopy = dynamic_cast<TFcBitBtn*>(copy->FindComponent("OkButton"));
  EXPECT_EQ(okCopy->Kind(), bkCustom);
  EXPECT_EQ(okCopy->ModalResult(), mrRetry);
  EXPECT_EQ(WriteLayout(copy.get()), written);
}

TEST(FcBitBtn, TheGlyphsShapeSetsItsCellCountWithinOneToFour) {
  RegisterControlLibrary();
  struct TCase {
    int width, height;
    int cells;
  };
  // The count before each change is 2.
  const TCase cases[] = {{64, 16, 4}, {48, 16, 3}, {80, 16, 1}, {16, 16, 1}, {20, 16, 2}, {0, 16, 1}};
  for (const TCase& c : cases) {
    TFcBitBtn b(nullptr);
    b.SetNumGlyphs(2);
    TBitmap glyph(c.width, c.height);
    b.SetGlyph(&glyph);
    EXPECT_EQ(b.NumGlyphs(), c.cells) << c.width << " x " << c.height;
  }
  TFcBitBtn b(nullptr);
  b.SetNumGlyphs(0);
  EXPECT_EQ(b.NumGlyphs(), 1);
  b.SetNumGlyphs(9);
  EXPECT_EQ(b.NumGlyphs(), 4);
}

namespace {

// A two-cell glyph: blue for the normal cell, green for the disabled one.
std::unique_ptr<TBitmap> BlueGreenGlyph() {
  auto glyph = std::make_unique<TBitmap>(32, 16);
  FillBitmap(*glyph, clBlue);
  glyph->Canvas()->Brush()->SetColor(clGreen);
  glyph->Canvas()->FillRect(RECT{16, 0, 32, 16});
  glyph->Canvas()->SetPixels(0, 15, clOlive);
  glyph->Canvas()->SetPixels(16, 15, clOlive);
  return glyph;
}

}  // namespace

TEST(FcBitBtn, GlyphAndCaptionArePlacedByLayoutMarginAndSpacing) {
  TStylesScope styles(TVisualStyles::vsOff);
  auto form = ShownForm();
  auto* b = Put<TFcBitBtn>(form.get(), 10, 10, 100, 60);
  b->SetCaption("Go");
  auto glyph = BlueGreenGlyph();
  b->SetGlyph(glyph.get());
  ASSERT_EQ(b->NumGlyphs(), 2);

  // The caption area is the button less 5 pixels all round: (5, 5, 95, 55); the glyph is
  // 16 square, Margin 2 and Spacing 4.
  struct TCase {
    TButtonLayout layout;
    RECT glyph;
    RECT captionWithin;
  };
  const TCase cases[] = {
      {blGlyphLeft, {7, 22, 23, 38}, {27, 5, 95, 55}},
      {blGlyphRight, {77, 22, 93, 38}, {5, 5, 73, 55}},
      {blGlyphTop, {42, 7, 58, 23}, {5, 27, 95, 55}},
      {blGlyphBottom, {42, 37, 58, 53}, {5, 5, 95, 33}},
  };
  for (const TCase& c : cases) {
    b->SetLayout(c.layout);
    auto shot = PaintToBitmap(b);
    EXPECT_EQ(RectText(BoundsOf(*shot, RGB(0, 0, 255))), RectText(c.glyph)) << "layout " << c.layout;
    RECT text = BoundsOf(*shot, AsPainted(*shot, clWindowText));
    ASSERT_LT(text.left, text.right) << "layout " << c.layout;
    EXPECT_GE(text.left, c.captionWithin.left) << "layout " << c.layout;
    EXPECT_GE(text.top, c.captionWithin.top) << "layout " << c.layout;
    EXPECT_LE(text.right, c.captionWithin.right) << "layout " << c.layout;
    EXPECT_LE(text.bottom, c.captionWithin.bottom) << "layout " << c.layout;
  }

  // Margin -1 above: glyph, spacing and caption as one block in the free height.
  b->SetLayout(blGlyphTop);
  b->SetMargin(-1);
  RECT measured{5, 5, 95, 55};
  {
    TWindowDC screen(nullptr);
    TSelectObject select(screen, b->Font()->Handle());
    DrawTextA(screen, "Go", -1, &measured, DT_CENTER | DT_WORDBREAK | DT_CALCRECT);
  }
  int h = measured.bottom - measured.top;
  int freeHeight = 60 - h - 16 - 4;
  auto shot = PaintToBitmap(b);
  EXPECT_EQ(RectText(BoundsOf(*shot, RGB(0, 0, 255))), RectText(RECT{42, freeHeight / 2, 58, freeHeight / 2 + 16}));
  // Below -1 the margin is not taken.
  b->SetMargin(-5);
  EXPECT_EQ(b->Margin(), -1);

  // Disabled, the second cell.
  b->SetMargin(2);
  b->SetLayout(blGlyphLeft);
  b->SetEnabled(false);
  shot = PaintToBitmap(b);
  EXPECT_EQ(BoundsOf(*shot, RGB(0, 0, 255)).right, -1);
  EXPECT_EQ(RectText(BoundsOf(*shot, AsPainted(*shot, clGreen))), RectText(RECT{7, 22, 23, 38}));
}

TEST(FcBitBtn, AnImageListImageStandsInForTheGlyph) {
  TStylesScope styles(TVisualStyles::vsOff);
  auto form = ShownForm();
  auto images = std::make_unique<TImageList>(nullptr, 16, 16);
  auto glyph = BlueGreenGlyph();
  images->AddMasked(glyph.get(), clOlive);  // image 0 blue, image 1 green
  auto* b = Put<TFcBitBtn>(form.get(), 10, 10, 100, 60);
  b->SetImages(images.get());
  b->SetImageIndex(0);
  b->SetDisabledIndex(1);
  auto shot = PaintToBitmap(b);
  EXPECT_EQ(RectText(BoundsOf(*shot, RGB(0, 0, 255))), RectText(RECT{7, 22, 23, 38}));
  b->SetEnabled(false);
  shot = PaintToBitmap(b);
  EXPECT_EQ(RectText(BoundsOf(*shot, AsPainted(*shot, clGreen))), RectText(RECT{7, 22, 23, 38}));
  // Without an image of its own, the disabled button greys its image.
  b->SetDisabledIndex(-1);
  shot = PaintToBitmap(b);
  EXPECT_EQ(BoundsOf(*shot, RGB(0, 0, 255)).right, -1);
  EXPECT_EQ(BoundsOf(*shot, AsPainted(*shot, clGreen)).right, -1);
  // The list going away leaves the button without it.
  images.reset();
  EXPECT_EQ(b->Images(), nullptr);
  shot = PaintToBitmap(b);
}
