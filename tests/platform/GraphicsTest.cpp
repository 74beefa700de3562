#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "ControlTestSupport.h"
#include "platform/Graphics.h"
#include "platform/Guards.h"
#include "platform/Jpeg.h"
#include "platform/Themes.h"
#include "resources/ResourceIds.h"

namespace {

HINSTANCE Self() { return GetModuleHandleA(nullptr); }

// The bitmap's pixel as plain RGB.
COLORREF At(TBitmap& bitmap, int x, int y) { return static_cast<COLORREF>(bitmap.Canvas()->Pixels(x, y)); }

void Fill(TBitmap& bitmap, TColor color) {
  bitmap.Canvas()->Brush()->SetColor(color);
  bitmap.Canvas()->FillRect(RECT{0, 0, bitmap.Width(), bitmap.Height()});
}

std::string TempFile(const char* name) {
  char folder[MAX_PATH];
  GetTempPathA(MAX_PATH, folder);
  return std::string(folder) + name;
}

constexpr COLORREF kOlive = RGB(128, 128, 0);
constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kGrey = RGB(128, 128, 128);

}  // namespace

TEST(Font, EveryChangeIsAnnouncedOnceAndRepeatingItIsNoChange) {
  LOGFONTA lf{};
  lf.lfHeight = -20;
  lf.lfWeight = FW_BOLD;
  lf.lfEscapement = 2700;
  std::strcpy(lf.lfFaceName, "Courier New");
  HFONT other = CreateFontIndirectA(&lf);
  const struct {
    const char* what;
    std::function<void(TFont&)> change;
  } changes[] = {
      {"name", [](TFont& f) { f.SetName("Verdana"); }},
      {"size", [](TFont& f) { f.SetSize(12); }},
      {"height", [](TFont& f) { f.SetHeight(-20); }},
      {"style", [](TFont& f) { f.SetStyle({fsBold, fsUnderline}); }},
      {"colour", [](TFont& f) { f.SetColor(clRed); }},
      {"charset", [](TFont& f) { f.SetCharset(RUSSIAN_CHARSET); }},
      {"pitch", [](TFont& f) { f.SetPitch(fpFixed); }},
      {"escapement", [](TFont& f) { f.SetEscapement(900); }},
      {"orientation", [](TFont& f) { f.SetOrientation(450); }},
      {"handle", [other](TFont& f) { f.SetHandle(other); }},
  };
  for (const auto& c : changes) {
    TFont font;
    int heard = 0;
    font.OnChange = [&](TObject* sender) {
      ++heard;
      EXPECT_EQ(sender, &font);
    };
    c.change(font);
    EXPECT_EQ(heard, 1) << c.what;
    c.change(font);
    EXPECT_EQ(heard, 1) << c.what << " set again";
  }
  TFont font;
  font.SetHandle(other);
  EXPECT_EQ(font.Name(), "Courier New");
  EXPECT_EQ(font.Height(), -20);
  EXPECT_EQ(font.Style(), TFontStyles{fsBold});
  EXPECT_EQ(font.Escapement(), 2700);
  DeleteObject(other);
}

TEST(Font, SizeAndHeightFollowTheScreenAndTheHandleFollowsChanges) {
  TFont font;
  EXPECT_EQ(font.Size(), 8);
  EXPECT_EQ(font.Height(), -MulDiv(8, ScreenPixelsPerInch(), 72));
  HFONT before = font.Handle();
  font.SetSize(20);
  EXPECT_EQ(GetObjectType(before), 0u) << "the old handle is deleted";
  EXPECT_EQ(font.Height(), -MulDiv(20, ScreenPixelsPerInch(), 72));
  EXPECT_EQ(font.Size(), 20);
  LOGFONTA lf{};
  ASSERT_EQ(GetObjectA(font.Handle(), sizeof lf, &lf), static_cast<int>(sizeof lf));
  EXPECT_EQ(lf.lfHeight, font.Height());
}

TEST(Font, AssignCopiesEverythingInOneChange) {
  TFont source;
  source.SetName("Verdana");
  source.SetSize(14);
  source.SetStyle({fsItalic});
  source.SetColor(clBlue);
  source.SetPitch(fpVariable);
  source.SetEscapement(450);
  source.SetOrientation(450);
  TFont font;
  int heard = 0;
  font.OnChange = [&](TObject*) { ++heard; };
  font.Assign(&source);
  EXPECT_EQ(heard, 1);
  EXPECT_EQ(font.Name(), "Verdana");
  EXPECT_EQ(font.Size(), 14);
  EXPECT_EQ(font.Style(), TFontStyles{fsItalic});
  EXPECT_EQ(font.Color(), clBlue);
  EXPECT_EQ(font.Pitch(), fpVariable);
  EXPECT_EQ(font.Escapement(), 450);
  EXPECT_EQ(font.Orientation(), 450);
  TPen pen;
  EXPECT_THROW(font.Assign(&pen), EConvertError);
}

TEST(Canvas, ARotatedFontTurnsTheTextAndEachOldFontIsFreed) {
  // The ink of a word drawn level is wide; turned by 90 degrees it is tall.
  auto inkSize = [](int escapement) {
    TBitmap bitmap(120, 120);
    Fill(bitmap, clWhite);
    TCanvas* canvas = bitmap.Canvas();
    canvas->Font()->SetSize(14);
    canvas->Font()->SetEscapement(escapement);
    canvas->Brush()->SetStyle(bsClear);
    canvas->TextOut(40, 110, "Benchmark");
    RECT ink = InkBounds(bitmap, clWhite);
    return SIZE{ink.right - ink.left, ink.bottom - ink.top};
  };
  SIZE level = inkSize(0);
  SIZE turned = inkSize(900);
  EXPECT_GT(level.cx, 2 * level.cy);
  EXPECT_GT(turned.cy, 2 * turned.cx);

  // Text set along an arc turns the font once per character: no font may stay behind.
  TBitmap bitmap(60, 60);
  TCanvas* canvas = bitmap.Canvas();
  std::vector<HFONT> used;
  for (int angle = 0; angle < 3600; angle += 100) {
    canvas->Font()->SetEscapement(angle);
    canvas->TextOut(30, 30, "w");
    used.push_back(canvas->Font()->Handle());
  }
  used.pop_back();
  for (HFONT f : used) EXPECT_EQ(GetObjectType(f), 0u);
}

TEST(Canvas, TextExtentGrowsWithTheFontSize) {
  TBitmap bitmap(10, 10);
  TCanvas* canvas = bitmap.Canvas();
  SIZE small = canvas->TextExtent("Benchmark");
  canvas->Font()->SetSize(16);
  SIZE large = canvas->TextExtent("Benchmark");
  EXPECT_GT(small.cx, 0);
  EXPECT_GT(large.cx, small.cx);
  EXPECT_GT(large.cy, small.cy);
  EXPECT_EQ(canvas->TextWidth("Benchmark"), large.cx);
}

TEST(Canvas, DrawsWithPenAndBrushAndPicksUpTheirChanges) {
  TBitmap bitmap(20, 20);
  Fill(bitmap, clWhite);
  TCanvas* canvas = bitmap.Canvas();
  canvas->Pen()->SetColor(clBlue);
  canvas->Brush()->SetColor(clRed);
  canvas->Rectangle(2, 2, 10, 10);
  EXPECT_EQ(At(bitmap, 2, 2), RGB(0, 0, 255)) << "outline";
  EXPECT_EQ(At(bitmap, 9, 9), RGB(0, 0, 255)) << "outline's last pixel";
  EXPECT_EQ(At(bitmap, 5, 5), RGB(255, 0, 0)) << "inside";
  EXPECT_EQ(At(bitmap, 10, 10), RGB(255, 255, 255)) << "the right and bottom edges are outside";
  canvas->Brush()->SetColor(clLime);
  canvas->FillRect(RECT{12, 12, 15, 15});
  EXPECT_EQ(At(bitmap, 13, 13), RGB(0, 255, 0));
  canvas->SetPixels(17, 3, clFuchsia);
  EXPECT_EQ(At(bitmap, 17, 3), RGB(255, 0, 255));
  canvas->MoveTo(0, 18);
  canvas->LineTo(5, 18);
  EXPECT_EQ(At(bitmap, 4, 18), RGB(0, 0, 255));
  EXPECT_EQ(At(bitmap, 5, 18), RGB(255, 255, 255)) << "a line leaves out its end point";
  EXPECT_EQ(canvas->PenPos().x, 5);
}

TEST(Canvas, TextRectFillsWithTheBrushUnlessItIsClear) {
  TBitmap bitmap(40, 20);
  Fill(bitmap, clWhite);
  TCanvas* canvas = bitmap.Canvas();
  canvas->Brush()->SetColor(clYellow);
  canvas->TextRect(RECT{0, 0, 20, 20}, 2, 2, "");
  EXPECT_EQ(At(bitmap, 19, 19), RGB(255, 255, 0));
  EXPECT_EQ(At(bitmap, 20, 19), RGB(255, 255, 255)) << "clipped to the rectangle";
  canvas->Brush()->SetStyle(bsClear);
  canvas->TextRect(RECT{20, 0, 40, 20}, 22, 2, "");
  EXPECT_EQ(At(bitmap, 30, 10), RGB(255, 255, 255));
}

TEST(Canvas, ReleasingTheContextPutsBackItsOwnObjects) {
  HDC dc = CreateCompatibleDC(nullptr);
  HBITMAP surface = CreateBitmap(8, 8, 1, 32, nullptr);
  HGDIOBJ oldSurface = SelectObject(dc, surface);
  HGDIOBJ font = GetCurrentObject(dc, OBJ_FONT), pen = GetCurrentObject(dc, OBJ_PEN),
          brush = GetCurrentObject(dc, OBJ_BRUSH);
  {
    TCanvas canvas;
    canvas.SetHandle(dc);
    canvas.Rectangle(0, 0, 4, 4);
    canvas.TextExtent("x");
    EXPECT_NE(GetCurrentObject(dc, OBJ_PEN), pen);
    canvas.Pen()->SetColor(clRed);  // changed while bound
    canvas.LineTo(3, 3);
    canvas.SetHandle(nullptr);
    EXPECT_EQ(GetCurrentObject(dc, OBJ_FONT), font);
    EXPECT_EQ(GetCurrentObject(dc, OBJ_PEN), pen);
    EXPECT_EQ(GetCurrentObject(dc, OBJ_BRUSH), brush);
    canvas.SetHandle(dc);
    canvas.FillRect(RECT{0, 0, 2, 2});
  }  // and when the canvas goes while bound
  EXPECT_EQ(GetCurrentObject(dc, OBJ_BRUSH), brush);
  SelectObject(dc, oldSurface);
  DeleteObject(surface);
  DeleteDC(dc);
  TCanvas unbound;
  EXPECT_THROW(unbound.Rectangle(0, 0, 1, 1), EInvalidGraphicOperation);
}

// The measuring context gives what the screen's context gives, and what one measurement
// leaves selected or set in it (the kept context is shared) does not reach the next.
TEST(MeasureDC, MeasuresAsTheScreenAndForgetsEachUse) {
  TGdiObject<HFONT> large(CreateFontA(-40, 0, 0, 0, FW_BOLD, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, "Tahoma"));
  auto extent = [](HDC dc) {
    SIZE s{};
    GetTextExtentPoint32A(dc, "Benchmark", 9, &s);
    return s;
  };
  SIZE plainOnScreen{}, largeOnScreen{};
  {
    TWindowDC screen(nullptr);
    plainOnScreen = extent(screen);
    TSelectObject select(screen, large.Get());
    largeOnScreen = extent(screen);
  }
  {
    TMeasureDC dc;
    SelectObject(dc, large.Get());  // left selected on purpose
    SetMapMode(dc, MM_TWIPS);
    SetMapMode(dc, MM_TEXT);
    const SIZE s = extent(dc);
    EXPECT_EQ(s.cx, largeOnScreen.cx);
    EXPECT_EQ(s.cy, largeOnScreen.cy);
    SetMapMode(dc, MM_TWIPS);
  }
  TMeasureDC next;
  EXPECT_EQ(GetMapMode(next), MM_TEXT);
  SIZE s = extent(next);
  EXPECT_EQ(s.cx, plainOnScreen.cx);
  EXPECT_EQ(s.cy, plainOnScreen.cy);
}

// The display's capabilities, kept between calls, are the screen context's own.
TEST(DisplayCaps, AreTheScreensOwn) {
  TWindowDC screen(nullptr);
  EXPECT_EQ(DisplayCaps(BITSPIXEL), GetDeviceCaps(screen, BITSPIXEL));
  EXPECT_EQ(DisplayCaps(NUMCOLORS), GetDeviceCaps(screen, NUMCOLORS));
}

TEST(Canvas, CopyRectStretchesWithTheCopyMode) {
  TBitmap source(2, 2);
  Fill(source, clRed);
  source.Canvas()->SetPixels(1, 0, clBlue);
  source.Canvas()->SetPixels(1, 1, clBlue);
  TBitmap dest(8, 4);
  Fill(dest, clWhite);
  dest.Canvas()->CopyRect(RECT{0, 0, 8, 4}, source.Canvas(), RECT{0, 0, 2, 2});
  EXPECT_EQ(At(dest, 3, 2), kRed);
  EXPECT_EQ(At(dest, 4, 2), RGB(0, 0, 255));
  dest.Canvas()->SetCopyMode(cmSrcInvert);  // XOR with the same pixels gives black
  dest.Canvas()->CopyRect(RECT{0, 0, 8, 4}, source.Canvas(), RECT{0, 0, 2, 2});
  EXPECT_EQ(At(dest, 3, 2), RGB(0, 0, 0));
  EXPECT_EQ(At(dest, 7, 3), RGB(0, 0, 0));
}

TEST(Canvas, BrushCopyReplacesTheColour) {
  TBitmap source(10, 10);
  Fill(source, clOlive);
  source.Canvas()->Brush()->SetColor(clRed);
  source.Canvas()->FillRect(RECT{3, 3, 6, 6});
  const struct {
    TBrushStyle style;
    COLORREF replaced;
  } cases[] = {{bsSolid, RGB(0, 0, 255)}, {bsClear, RGB(255, 255, 255)}};
  for (const auto& c : cases) {
    TBitmap dest(10, 10);
    Fill(dest, clWhite);
    dest.Canvas()->Brush()->SetColor(clBlue);
    dest.Canvas()->Brush()->SetStyle(c.style);
    dest.Canvas()->BrushCopy(RECT{0, 0, 10, 10}, &source, RECT{0, 0, 10, 10}, clOlive);
    EXPECT_EQ(At(dest, 0, 0), c.replaced) << c.style;
    EXPECT_EQ(At(dest, 9, 9), c.replaced) << c.style;
    EXPECT_EQ(At(dest, 4, 4), kRed) << c.style;
  }
}

TEST(Bitmap, LoadsFromAResourceWithItsSizeAndColours) {
  TBitmap glyph;
  glyph.LoadFromResourceName(Self(), "TEST_GLYPH");
  EXPECT_EQ(glyph.Width(), 32);
  EXPECT_EQ(glyph.Height(), 16);
  EXPECT_EQ(glyph.PixelFormat(), pf4bit);
  EXPECT_EQ(At(glyph, 5, 5), kRed);
  EXPECT_EQ(At(glyph, 21, 5), kGrey);
  EXPECT_EQ(static_cast<COLORREF>(glyph.TransparentColor()), kOlive) << "the bottom-left pixel";
  EXPECT_THROW(glyph.LoadFromResourceName(Self(), "NO_SUCH_BITMAP"), EResNotFound);
  EXPECT_EQ(glyph.Width(), 32) << "a failed load keeps the picture";
}

TEST(Bitmap, ResizingKeepsFormatColoursAndPixels) {
  TBitmap glyph;
  glyph.LoadFromResourceName(Self(), "TEST_GLYPH");
  glyph.SetSize(40, 20);
  EXPECT_EQ(glyph.PixelFormat(), pf4bit);
  EXPECT_EQ(At(glyph, 5, 5), kRed);
  EXPECT_EQ(At(glyph, 35, 18), RGB(0, 0, 0)) << "new pixels are black";
  glyph.Canvas()->SetPixels(35, 18, clOlive);
  EXPECT_EQ(At(glyph, 35, 18), kOlive) << "the 16-colour table is still there";
}

TEST(Bitmap, TransparentDrawingLeavesTheTransparentColourOut) {
  TBitmap glyph;
  glyph.LoadFromResourceName(Self(), "TEST_GLYPH");
  for (bool transparent : {false, true}) {
    glyph.SetTransparent(transparent);
    TBitmap dest(40, 20);
    Fill(dest, clWhite);
    dest.Canvas()->Draw(2, 2, &glyph);
    EXPECT_EQ(At(dest, 2, 2), transparent ? RGB(255, 255, 255) : kOlive);
    EXPECT_EQ(At(dest, 7, 7), kRed);
    EXPECT_EQ(At(dest, 23, 7), kGrey);
    EXPECT_EQ(At(dest, 38, 18), RGB(255, 255, 255));
  }
  // A fixed colour instead of the bottom-left pixel: now the grey square is left out.
  glyph.SetTransparentColor(clGray);
  EXPECT_EQ(glyph.TransparentMode(), tmFixed);
  TBitmap dest(70, 40);
  Fill(dest, clWhite);
  dest.Canvas()->StretchDraw(RECT{0, 0, 64, 32}, &glyph);
  EXPECT_EQ(At(dest, 44, 12), RGB(255, 255, 255));
  EXPECT_EQ(At(dest, 0, 0), kOlive);
  HBITMAP mask = glyph.MaskHandle();
  BITMAP bm{};
  GetObjectA(mask, sizeof bm, &bm);
  EXPECT_EQ(bm.bmBitsPixel, 1);
  EXPECT_EQ(bm.bmWidth, 32);
}

TEST(Bitmap, MonochromeBitmapsAreBlackAndWhite) {
  TBitmap bitmap(8, 8);
  Fill(bitmap, clWhite);
  bitmap.Canvas()->SetPixels(1, 1, clBlack);
  bitmap.SetMonochrome(true);
  EXPECT_TRUE(bitmap.Monochrome());
  EXPECT_EQ(At(bitmap, 1, 1), RGB(0, 0, 0));
  EXPECT_EQ(At(bitmap, 2, 2), RGB(255, 255, 255));
  TBitmap dest(8, 8);
  Fill(dest, clRed);
  dest.Canvas()->Font()->SetColor(clBlue);
  dest.Canvas()->Draw(0, 0, &bitmap);
  EXPECT_EQ(At(dest, 1, 1), RGB(0, 0, 0)) << "drawn black on white whatever the canvas colours";
  EXPECT_EQ(At(dest, 2, 2), RGB(255, 255, 255));
}

TEST(Bitmap, SavesAndLoadsBmpFilesInEveryFormat) {
  for (TPixelFormat format : {pf1bit, pf4bit, pf8bit, pf16bit, pf24bit, pf32bit}) {
    TBitmap bitmap(13, 7);
    bitmap.SetPixelFormat(format);
    Fill(bitmap, clWhite);
    bitmap.Canvas()->SetPixels(2, 1, clBlack);
    std::string file = TempFile("rirered-graphics-test.bmp");
    bitmap.SaveToFile(file);
    TBitmap loaded;
    loaded.LoadFromFile(file);
    DeleteFileA(file.c_str());
    EXPECT_EQ(loaded.Width(), 13) << format;
    EXPECT_EQ(loaded.Height(), 7) << format;
    EXPECT_EQ(loaded.PixelFormat(), format);
    EXPECT_EQ(At(loaded, 2, 1), RGB(0, 0, 0)) << format;
    EXPECT_EQ(At(loaded, 12, 6), RGB(255, 255, 255)) << format;
  }
  TBitmap none;
  EXPECT_THROW(none.LoadFromFile(TempFile("rirered-no-such-file.bmp")), EFOpenError);
}

TEST(Bitmap, DamagedBmpDataIsRefused) {
  TBitmap good(4, 4);
  std::vector<unsigned char> bytes = good.SaveToMemory();
  auto damaged = [&](std::function<void(std::vector<unsigned char>&)> damage) {
    std::vector<unsigned char> copy = bytes;
    damage(copy);
    return copy;
  };
  auto putInt = [](std::vector<unsigned char>& b, size_t at, int value) { std::memcpy(&b[at], &value, 4); };
  const struct {
    const char* what;
    std::vector<unsigned char> data;
  } cases[] = {
      {"empty", {}},
      {"not a bitmap", damaged([](auto& b) { b[0] = 'X'; })},
      {"cut short", damaged([](auto& b) { b.resize(b.size() - 5); })},
      {"no header", damaged([](auto& b) { b.resize(20); })},
      {"pixels past the end", damaged([&](auto& b) { putInt(b, 10, 1 << 20); })},
      {"header past the end", damaged([&](auto& b) { putInt(b, 14, 1 << 20); })},
      {"huge width", damaged([&](auto& b) { putInt(b, 18, 1 << 30); })},
      {"zero width", damaged([&](auto& b) { putInt(b, 18, 0); })},
      {"odd bit count", damaged([](auto& b) { b[28] = 7; })},
      {"too many colours", damaged([&](auto& b) {
         b[28] = 1;
         putInt(b, 46, 300);
       })},
  };
  for (const auto& c : cases) {
    TBitmap bitmap(2, 2);
    EXPECT_THROW(bitmap.LoadFromMemory(c.data.data(), c.data.size()), EInvalidGraphic) << c.what;
    EXPECT_EQ(bitmap.Width(), 2) << c.what;
  }
}

TEST(Bitmap, AssignCopiesAndHandleCanBeReleased) {
  TBitmap glyph;
  glyph.LoadFromResourceName(Self(), "TEST_GLYPH");
  glyph.SetTransparent(true);
  TBitmap copy;
  int heard = 0;
  copy.OnChange = [&](TObject*) { ++heard; };
  copy.Assign(&glyph);
  EXPECT_EQ(heard, 1);
  EXPECT_EQ(copy.Width(), 32);
  EXPECT_EQ(copy.PixelFormat(), pf4bit);
  EXPECT_TRUE(copy.Transparent());
  glyph.Canvas()->SetPixels(5, 5, clBlack);
  EXPECT_EQ(At(copy, 5, 5), kRed) << "the copy has its own pixels";
  HBITMAP released = copy.ReleaseHandle();
  EXPECT_TRUE(copy.Empty());
  BITMAP bm{};
  EXPECT_EQ(GetObjectA(released, sizeof bm, &bm), static_cast<int>(sizeof bm));
  DeleteObject(released);
}

TEST(Brush, PatternBitmapPaintsAndIsTheBrushsOwnCopy) {
  TBitmap pattern(8, 8);
  Fill(pattern, clWhite);
  for (int i = 0; i < 8; ++i) pattern.Canvas()->SetPixels(i, i, clBlack);
  TBitmap dest(16, 16);
  dest.Canvas()->Brush()->SetBitmap(&pattern);
  pattern.SetSize(0, 0);
  dest.Canvas()->FillRect(RECT{0, 0, 16, 16});
  EXPECT_EQ(At(dest, 3, 3), RGB(0, 0, 0));
  EXPECT_EQ(At(dest, 11, 11), RGB(0, 0, 0));
  EXPECT_EQ(At(dest, 3, 4), RGB(255, 255, 255));
}

TEST(Icon, LoadsFromResourcesAtTheSizeAsked) {
  TIcon icon;
  icon.LoadFromResourceID(Self(), MAINICON);
  EXPECT_EQ(icon.Width(), GetSystemMetrics(SM_CXICON));
  icon.LoadFromResourceName(Self(), "#1", 16, 16);  // the same icon by its number
  EXPECT_EQ(icon.Width(), 16);
  EXPECT_EQ(icon.Height(), 16);
  EXPECT_THROW(icon.LoadFromResourceName(Self(), "NO_SUCH_ICON"), EResNotFound);
  TBitmap dest(20, 20);
  dest.Canvas()->Draw(2, 2, &icon);  // no failure on a bitmap canvas
}

TEST(Icon, ReadsIcoFileImagesAndRefusesDamagedOnes) {
  // One 16 x 16 entry of 32 bits: a red square, all opaque.
  std::vector<unsigned char> ico(6 + 16);
  auto put = [&](size_t at, unsigned value, int bytes) {
    for (int i = 0; i < bytes; ++i) ico[at + i] = static_cast<unsigned char>(value >> (8 * i));
  };
  put(2, 1, 2);
  put(4, 1, 2);
  BITMAPINFOHEADER header{sizeof(BITMAPINFOHEADER), 16, 32, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  std::vector<unsigned char> image(sizeof header + 16 * 16 * 4 + 16 * 4);
  std::memcpy(image.data(), &header, sizeof header);
  for (int i = 0; i < 256; ++i) {
    image[sizeof header + i * 4 + 2] = 255;
    image[sizeof header + i * 4 + 3] = 255;
  }
  ico[6] = 16;
  ico[7] = 16;
  put(6 + 4, 1, 2);
  put(6 + 6, 32, 2);
  put(6 + 8, static_cast<unsigned>(image.size()), 4);
  put(6 + 12, 22, 4);
  ico.insert(ico.end(), image.begin(), image.end());
  TIcon icon;
  icon.LoadFromMemory(ico.data(), ico.size());
  EXPECT_EQ(icon.Width(), 16);
  TBitmap dest(16, 16);
  Fill(dest, clWhite);
  dest.Canvas()->Draw(0, 0, &icon);
  EXPECT_EQ(At(dest, 8, 8), kRed);

  std::vector<unsigned char> cut(ico.begin(), ico.begin() + 30);
  EXPECT_THROW(icon.LoadFromMemory(cut.data(), cut.size()), EInvalidGraphic);
  std::vector<unsigned char> noEntries = ico;
  noEntries[4] = 0;
  EXPECT_THROW(icon.LoadFromMemory(noEntries.data(), noEntries.size()), EInvalidGraphic);
  EXPECT_EQ(icon.Width(), 16);
}

TEST(Cursor, LoadsFromResources) {
  TCursorHandle cursor = LoadCursorFromResourceName(Self(), "TEST_POINTER");
  ASSERT_TRUE(cursor);
  ICONINFO info{};
  ASSERT_TRUE(GetIconInfo(cursor.get(), &info));
  EXPECT_EQ(info.xHotspot, 3u);
  EXPECT_EQ(info.yHotspot, 5u);
  if (info.hbmColor) DeleteObject(info.hbmColor);
  if (info.hbmMask) DeleteObject(info.hbmMask);
  EXPECT_THROW(LoadCursorFromResourceName(Self(), "NO_SUCH_CURSOR"), EResNotFound);
}

TEST(Picture, LoadsAResourceByNameAsBitmapOrJpeg) {
  TPicture picture;
  int heard = 0;
  picture.OnChange = [&](TObject*) { ++heard; };
  picture.LoadFromResourceName(Self(), "TEST_GLYPH");
  EXPECT_NE(dynamic_cast<TBitmap*>(picture.Graphic()), nullptr);
  EXPECT_EQ(picture.Width(), 32);
  EXPECT_EQ(heard, 1);
  picture.LoadFromResourceName(Self(), "TEST_LOGO");
  ASSERT_NE(dynamic_cast<TJPEGImage*>(picture.Graphic()), nullptr);
  EXPECT_EQ(picture.Width(), 32);
  EXPECT_EQ(picture.Height(), 16);
  EXPECT_THROW(picture.LoadFromResourceName(Self(), "TEST_TEXT"), EInvalidGraphic);
  EXPECT_THROW(picture.LoadFromResourceName(Self(), "NO_SUCH_PICTURE"), EResNotFound);
  EXPECT_NE(dynamic_cast<TJPEGImage*>(picture.Graphic()), nullptr) << "failed loads keep the picture";
  // Asking for a bitmap turns the JPEG into one with the same pixels.
  TBitmap* bitmap = picture.Bitmap();
  EXPECT_EQ(bitmap->Width(), 32);
  COLORREF left = At(*bitmap, 4, 8);
  EXPECT_GT(GetRValue(left), 230);
  EXPECT_LT(GetBValue(left), 25);
  heard = 0;
  bitmap->SetSize(10, 10);
  EXPECT_EQ(heard, 1) << "changes of the held graphic reach the picture's listeners";
}

TEST(Picture, LoadsFilesByExtensionAndCopiesOnAssign) {
  TBitmap bitmap(6, 3);
  std::string file = TempFile("rirered-picture-test.BMP");
  bitmap.SaveToFile(file);
  TPicture picture;
  picture.LoadFromFile(file);
  DeleteFileA(file.c_str());
  EXPECT_NE(dynamic_cast<TBitmap*>(picture.Graphic()), nullptr);
  EXPECT_EQ(picture.Width(), 6);
  try {
    picture.LoadFromFile("logo.gif");
    FAIL() << "no exception";
  } catch (const EInvalidGraphic& e) {
    EXPECT_EQ(e.Message(), "Unknown picture file extension (.gif)");
  }
  TPicture copy;
  copy.Assign(&picture);
  ASSERT_NE(copy.Graphic(), nullptr);
  EXPECT_NE(copy.Graphic(), picture.Graphic());
  EXPECT_EQ(copy.Width(), 6);
  copy.Assign(nullptr);
  EXPECT_EQ(copy.Graphic(), nullptr);
  EXPECT_EQ(copy.Width(), 0);
}

TEST(WindowCanvas, WholeWindowReachesTheNonClientArea) {
  WNDCLASSA wc{};
  wc.lpfnWndProc = DefWindowProcA;
  wc.hInstance = Self();
  wc.lpszClassName = "RIReredCanvasTest";
  RegisterClassA(&wc);
  HWND window = CreateWindowExA(0, wc.lpszClassName, "", WS_POPUP | WS_BORDER | WS_VISIBLE, 10, 10, 60, 40, nullptr,
                                nullptr, Self(), nullptr);
  if (!window) GTEST_SKIP() << "no display";
  RECT windowRect{}, clientRect{};
  GetWindowRect(window, &windowRect);
  POINT origin{0, 0};
  ClientToScreen(window, &origin);
  GetClientRect(window, &clientRect);
  int dx = origin.x - windowRect.left, dy = origin.y - windowRect.top;
  ASSERT_GT(dx, 0) << "the window has a border";
  {
    TWindowCanvas client(window);
    TWindowCanvas whole(window, true);
    client.SetPixels(0, 0, clRed);
    whole.SetPixels(0, 0, clBlue);
    EXPECT_EQ(static_cast<COLORREF>(whole.Pixels(dx, dy)), RGB(255, 0, 0)) << "client (0, 0) inside the border";
    EXPECT_EQ(static_cast<COLORREF>(whole.Pixels(0, 0)), RGB(0, 0, 255));
    EXPECT_EQ(client.ClipRect().right, clientRect.right);
    whole.FreeHandle();
    EXPECT_FALSE(whole.HandleAllocated());
  }
  DestroyWindow(window);
}

TEST(Themes, DrawWhenStylesAreOnAndFailQuietlyWithoutATheme) {
  TBitmap bitmap(40, 24);
  Fill(bitmap, clWhite);
  HDC dc = bitmap.Canvas()->Handle();
  RECT rect{0, 0, 40, 24};
  // No theme data: every call reports failure and draws nothing.
  EXPECT_EQ(Themes::OpenThemeData(nullptr, "NoSuchClassAnywhere"), nullptr);
  EXPECT_TRUE(FAILED(Themes::DrawThemeBackground(nullptr, dc, BP_PUSHBUTTON, PBS_NORMAL, rect)));
  EXPECT_TRUE(FAILED(Themes::DrawThemeText(nullptr, dc, BP_PUSHBUTTON, PBS_NORMAL, "x", DT_SINGLELINE, rect)));
  SIZE size{};
  EXPECT_TRUE(FAILED(Themes::GetThemePartSize(nullptr, dc, BP_CHECKBOX, CBS_CHECKEDNORMAL, nullptr, TS_TRUE, size)));
  EXPECT_EQ(At(bitmap, 20, 12), RGB(255, 255, 255));
  if (!ThemeServicesEnabled()) GTEST_SKIP() << "visual styles are off";
  Themes::TThemeData theme = Themes::OpenTheme(nullptr, "BUTTON");
  ASSERT_TRUE(theme);
  EXPECT_TRUE(SUCCEEDED(Themes::DrawThemeBackground(theme.get(), dc, BP_PUSHBUTTON, PBS_NORMAL, rect)));
  EXPECT_NE(At(bitmap, 0, 12), RGB(255, 255, 255)) << "the button's frame";
  EXPECT_TRUE(SUCCEEDED(Themes::GetThemePartSize(theme.get(), dc, BP_CHECKBOX, CBS_CHECKEDNORMAL, nullptr, TS_TRUE, size)));
  EXPECT_GT(size.cx, 0);
}

TEST(Themes, TheVisualStylesSwitchOverridesTheSystem) {
  const bool system = ThemeServicesEnabled();
  SetVisualStyles(TVisualStyles::vsOff);
  EXPECT_FALSE(ThemeServicesEnabled());
  SetVisualStyles(TVisualStyles::vsOn);
  EXPECT_TRUE(ThemeServicesEnabled());
  SetVisualStyles(TVisualStyles::vsSystem);
  EXPECT_EQ(ThemeServicesEnabled(), system);
}
