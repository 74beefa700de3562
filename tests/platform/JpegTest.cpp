#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "platform/Graphics.h"
#include "platform/Jpeg.h"

extern "C" {
#include <jpeglib.h>
}

namespace {

using TPaint = std::function<COLORREF(int x, int y)>;

// A JPEG of the picture, made with the same library's compressor: quality 95 and colour
// at full resolution, so that decoded colours stay within a few steps of the originals.
std::vector<unsigned char> Encode(int width, int height, int components, const TPaint& paint) {
  jpeg_compress_struct info;
  jpeg_error_mgr error;
  info.err = jpeg_std_error(&error);
  jpeg_create_compress(&info);
  unsigned char* out = nullptr;
  unsigned long size = 0;
  jpeg_mem_dest(&info, &out, &size);
  info.image_width = static_cast<JDIMENSION>(width);
  info.image_height = static_cast<JDIMENSION>(height);
  info.input_components = components;
  info.in_color_space = components == 3 ? JCS_RGB : JCS_GRAYSCALE;
  jpeg_set_defaults(&info);
  jpeg_set_quality(&info, 95, TRUE);
  for (int i = 0; i < info.num_components; ++i) info.comp_info[i].h_samp_factor = info.comp_info[i].v_samp_factor = 1;
  jpeg_start_compress(&info, TRUE);
  std::vector<JSAMPLE> row(static_cast<size_t>(width * components));
  while (info.next_scanline < info.image_height) {
    for (int x = 0; x < width; ++x) {
      COLORREF c = paint(x, static_cast<int>(info.next_scanline));
      if (components == 3) {
        row[x * 3] = GetRValue(c);
        row[x * 3 + 1] = GetGValue(c);
        row[x * 3 + 2] = GetBValue(c);
      } else {
        row[x] = GetRValue(c);
      }
    }
    JSAMPROW rows[] = {row.data()};
    jpeg_write_scanlines(&info, rows, 1);
  }
  jpeg_finish_compress(&info);
  std::vector<unsigned char> bytes(out, out + size);
  jpeg_destroy_compress(&info);
  std::free(out);
  return bytes;
}

::testing::AssertionResult Near(COLORREF actual, COLORREF expected, int tolerance) {
  int dr = std::abs(GetRValue(actual) - GetRValue(expected));
  int dg = std::abs(GetGValue(actual) - GetGValue(expected));
  int db = std::abs(GetBValue(actual) - GetBValue(expected));
  if (dr <= tolerance && dg <= tolerance && db <= tolerance) return ::testing::AssertionSuccess();
  char text[96];
  std::snprintf(text, sizeof text, "got (%d, %d, %d), wanted (%d, %d, %d)", GetRValue(actual), GetGValue(actual),
                GetBValue(actual), GetRValue(expected), GetGValue(expected), GetBValue(expected));
  return ::testing::AssertionFailure() << text;
}

COLORREF Decoded(TJPEGImage& jpeg, int x, int y) {
  TBitmap bitmap;
  bitmap.Assign(&jpeg);
  return static_cast<COLORREF>(bitmap.Canvas()->Pixels(x, y));
}

constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kGreen = RGB(0, 160, 0);
constexpr COLORREF kBlue = RGB(0, 0, 255);
constexpr COLORREF kWhite = RGB(255, 255, 255);

}  // namespace

TEST(Jpeg, DecodesToTheColoursItWasMadeOf) {
  struct Probe {
    int x, y;
    COLORREF color;
  };
  const struct {
    const char* what;
    int width, height, components;
    TPaint paint;
    std::vector<Probe> probes;
  } cases[] = {
      {"quadrants", 32, 32, 3,
       [](int x, int y) { return y < 16 ? (x < 16 ? kRed : kGreen) : (x < 16 ? kBlue : kWhite); },
       {{8, 8, kRed}, {24, 8, kGreen}, {8, 24, kBlue}, {24, 24, kWhite}, {0, 0, kRed}, {31, 31, kWhite}}},
      // Rows of 13 pixels do not fill whole 4-byte units of the bitmap.
      {"odd width", 13, 7, 3, [](int x, int) { return x < 6 ? kRed : kBlue; },
       {{2, 3, kRed}, {12, 0, kBlue}, {12, 6, kBlue}, {0, 6, kRed}}},
      {"greyscale", 24, 8, 1, [](int x, int) { return x < 12 ? RGB(50, 50, 50) : RGB(200, 200, 200); },
       {{4, 4, RGB(50, 50, 50)}, {20, 4, RGB(200, 200, 200)}}},
  };
  for (const auto& c : cases) {
    std::vector<unsigned char> data = Encode(c.width, c.height, c.components, c.paint);
    TJPEGImage jpeg;
    int heard = 0;
    jpeg.OnChange = [&](TObject*) { ++heard; };
    jpeg.LoadFromMemory(data.data(), data.size());
    EXPECT_EQ(heard, 1) << c.what;
    EXPECT_EQ(jpeg.Width(), c.width) << c.what;
    EXPECT_EQ(jpeg.Height(), c.height) << c.what;
    for (const Probe& p : c.probes)
      EXPECT_TRUE(Near(Decoded(jpeg, p.x, p.y), p.color, 8)) << c.what << " at " << p.x << ", " << p.y;
  }
}

TEST(Jpeg, DamagedDataRaisesAndKeepsThePicture) {
  const std::vector<unsigned char> good = Encode(8, 8, 3, [](int, int) { return kBlue; });
  // Width and height of the baseline frame header (FF C0, length, precision, height, width).
  auto withSize = [&](int width, int height) {
    std::vector<unsigned char> data = good;
    for (size_t i = 0; i + 9 < data.size(); ++i)
      if (data[i] == 0xFF && data[i + 1] == 0xC0) {
        data[i + 5] = static_cast<unsigned char>(height >> 8);
        data[i + 6] = static_cast<unsigned char>(height);
        data[i + 7] = static_cast<unsigned char>(width >> 8);
        data[i + 8] = static_cast<unsigned char>(width);
      }
    return data;
  };
  const std::string gif = "GIF89a, not a JPEG at all";
  const struct {
    const char* what;
    std::vector<unsigned char> data;
  } cases[] = {
      {"empty", {}},
      {"not a JPEG", std::vector<unsigned char>(gif.begin(), gif.end())},
      {"only the start marker", {0xFF, 0xD8}},
      {"cut short", std::vector<unsigned char>(good.begin(), good.begin() + good.size() * 3 / 4)},
      {"no width", withSize(0, 8)},
      {"far too large", withSize(60000, 60000)},
  };
  for (const auto& c : cases) {
    TJPEGImage jpeg;
    jpeg.LoadFromMemory(good.data(), good.size());
    try {
      jpeg.LoadFromMemory(c.data.data(), c.data.size());
      ADD_FAILURE() << c.what << ": no exception";
    } catch (const EJPEG& e) {
      EXPECT_EQ(e.Message().rfind("JPEG image is not valid: ", 0), 0u) << e.Message();
      EXPECT_GT(e.Message().size(), 26u) << c.what << ": the reason is given";
    }
    EXPECT_EQ(jpeg.Width(), 8) << c.what;
    EXPECT_TRUE(Near(Decoded(jpeg, 4, 4), kBlue, 8)) << c.what;
  }
}

TEST(Jpeg, LoadsFromResourcesAndFiles) {
  TJPEGImage logo;
  logo.LoadFromResourceName(GetModuleHandleA(nullptr), "TEST_LOGO");
  EXPECT_EQ(logo.Width(), 32);
  EXPECT_EQ(logo.Height(), 16);
  EXPECT_TRUE(Near(Decoded(logo, 4, 8), kRed, 24));
  EXPECT_TRUE(Near(Decoded(logo, 28, 8), kBlue, 24));
  EXPECT_THROW(logo.LoadFromResourceName(GetModuleHandleA(nullptr), "NO_SUCH_LOGO"), EResNotFound);

  std::vector<unsigned char> data = Encode(5, 4, 3, [](int, int) { return kGreen; });
  char folder[MAX_PATH];
  GetTempPathA(MAX_PATH, folder);
  std::string file = std::string(folder) + "rirered-jpeg-test.jpg";
  FILE* f = std::fopen(file.c_str(), "wb");
  ASSERT_NE(f, nullptr);
  std::fwrite(data.data(), 1, data.size(), f);
  std::fclose(f);
  TPicture picture;
  picture.LoadFromFile(file);
  DeleteFileA(file.c_str());
  ASSERT_NE(dynamic_cast<TJPEGImage*>(picture.Graphic()), nullptr);
  EXPECT_EQ(picture.Width(), 5);
  TBitmap drawn(10, 8);
  drawn.Canvas()->StretchDraw(RECT{0, 0, 10, 8}, picture.Graphic());
  EXPECT_TRUE(Near(static_cast<COLORREF>(drawn.Canvas()->Pixels(9, 7)), kGreen, 8)) << "stretched to the rectangle";
}
