#include <gtest/gtest.h>

#include "platform/ImgList.h"

namespace {

// A 16 x 16 glyph: a black square from (4, 4) to (11, 11) on fuchsia.
void MakeGlyph(TBitmap& glyph) {
  glyph.SetSize(16, 16);
  glyph.Canvas()->Brush()->SetColor(clFuchsia);
  glyph.Canvas()->FillRect(RECT{0, 0, 16, 16});
  glyph.Canvas()->Brush()->SetColor(clBlack);
  glyph.Canvas()->FillRect(RECT{4, 4, 12, 12});
}

}  // namespace

TEST(ImgList, AMaskedImageDrawsWithoutItsBackgroundAndDisabledAsAGreySilhouette) {
  TImageList list(nullptr);
  TBitmap glyph;
  MakeGlyph(glyph);
  int changes = 0;
  TChangeLink link;
  link.OnChange = [&](TObject*) { ++changes; };
  list.RegisterChanges(&link);
  EXPECT_EQ(list.AddMasked(&glyph, clFuchsia), 0);
  EXPECT_EQ(list.AddMasked(&glyph, clFuchsia), 1);
  EXPECT_EQ(list.Count(), 2);
  EXPECT_EQ(changes, 2);

  TBitmap shot(40, 20);
  shot.Canvas()->Brush()->SetColor(clWhite);
  shot.Canvas()->FillRect(RECT{0, 0, 40, 20});
  list.Draw(shot.Canvas(), 0, 0, 0);
  EXPECT_EQ(shot.Canvas()->Pixels(1, 1), clWhite);
  EXPECT_EQ(shot.Canvas()->Pixels(6, 6), clBlack);
  TBitmap copy;
  list.GetBitmap(0, &copy);
  EXPECT_EQ(copy.Width(), 16);
  EXPECT_EQ(copy.Canvas()->Pixels(6, 6), clBlack);

  list.Delete(0);
  EXPECT_EQ(list.Count(), 1);
  EXPECT_THROW(list.Delete(5), EListError);
  list.Clear();
  EXPECT_EQ(list.Count(), 0);
  EXPECT_EQ(changes, 4);
}

TEST(ImgList, ASharedHandleIsLeftAloneWhenTheListGoes) {
  HIMAGELIST shared = ImageList_Create(24, 20, ILC_COLOR24 | ILC_MASK, 1, 1);
  {
    TImageList list(nullptr);
    list.SetShareImages(true);
    list.SetHandle(shared);
    EXPECT_EQ(list.Width(), 24);
    EXPECT_EQ(list.Height(), 20);
    TBitmap glyph;
    MakeGlyph(glyph);
    glyph.SetSize(24, 20);
    EXPECT_EQ(list.Add(&glyph, nullptr), 0);
  }
  EXPECT_EQ(ImageList_GetImageCount(shared), 1);
  EXPECT_TRUE(ImageList_Destroy(shared));
}

TEST(ImgList, ADisabledImageDrawsAsAGreySilhouette) {
  TImageList list(nullptr);
  TBitmap glyph;
  MakeGlyph(glyph);
  list.AddMasked(&glyph, clFuchsia);
  // The caller's bitmap is left as it was, so it can be added again.
  EXPECT_EQ(glyph.Canvas()->Pixels(0, 0), ColorToRGB(clFuchsia));
  list.AddMasked(&glyph, clFuchsia);
  TBitmap shot(40, 20);
  shot.Canvas()->Brush()->SetColor(clWhite);
  shot.Canvas()->FillRect(RECT{0, 0, 40, 20});
  list.Draw(shot.Canvas(), 20, 0, 1, false);
  // Disabled: the shadow colour over the square, the highlight one pixel below and right.
  EXPECT_EQ(shot.Canvas()->Pixels(21, 1), clWhite);
  EXPECT_EQ(shot.Canvas()->Pixels(26, 6), ColorToRGB(clBtnShadow));
  EXPECT_NE(shot.Canvas()->Pixels(26, 6), clBlack);
  shot.Canvas()->Brush()->SetColor(clBlack);
  shot.Canvas()->FillRect(RECT{20, 0, 40, 20});
  list.Draw(shot.Canvas(), 20, 0, 1, false);
  EXPECT_EQ(shot.Canvas()->Pixels(21, 1), clBlack);
  EXPECT_EQ(shot.Canvas()->Pixels(32, 12), ColorToRGB(clBtnHighlight));

}
