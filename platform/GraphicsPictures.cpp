// Pictures: bitmaps read and written as .bmp file images, icons, cursors and the picture that
// holds any of them (unit of Graphics.h).

#include "platform/Graphics.h"

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <mutex>

#include "platform/GraphicsPrivate.h"
#include "platform/Guards.h"
#include "platform/Jpeg.h"

using namespace GraphicsPrivate;

namespace {

// BITMAPINFO with room for a full colour table or the three bit-field masks.
struct TBitmapInfo {
  BITMAPINFOHEADER header;
  RGBQUAD colors[256];
  BITMAPINFO* get() { return reinterpret_cast<BITMAPINFO*>(this); }
};

constexpr RGBQUAD Quad(BYTE r, BYTE g, BYTE b) { return RGBQUAD{b, g, r, 0}; }

TPixelFormat FormatOfBits(int bits, bool bitFields565) {
  switch (bits) {
    case 1: return pf1bit;
    case 4: return pf4bit;
    case 8: return pf8bit;
    case 16: return bitFields565 ? pf16bit : pf15bit;
    case 24: return pf24bit;
    case 32: return pf32bit;
    default: return pfCustom;
  }
}

TPixelFormat DeviceFormat() {
  int bits = DisplayCaps(BITSPIXEL) * DisplayCaps(PLANES);
  if (bits <= 0) bits = 24;
  TPixelFormat format = FormatOfBits(bits, true);
  return format == pfCustom ? pf24bit : format;
}

bool EndsWithNoCase(const std::string& text, const char* suffix) {
  size_t n = std::strlen(suffix);
  if (text.size() < n) return false;
  for (size_t i = 0; i < n; ++i)
    if (std::tolower(static_cast<unsigned char>(text[text.size() - n + i])) != suffix[i]) return false;
  return true;
}

}  // namespace

namespace GraphicsPrivate {

HBITMAP NewBitmap(TPixelFormat format, int width, int height) {
  if (format == pfDevice) format = DeviceFormat();
  TBitmapInfo info{};
  info.header.biSize = sizeof(BITMAPINFOHEADER);
  info.header.biWidth = width;
  info.header.biHeight = height;
  info.header.biPlanes = 1;
  info.header.biCompression = BI_RGB;
  switch (format) {
    case pf1bit:
      info.header.biBitCount = 1;
      info.colors[0] = Quad(0, 0, 0);
      info.colors[1] = Quad(255, 255, 255);
      break;
    case pf4bit: {
      static constexpr RGBQUAD vga[16] = {
          Quad(0, 0, 0),       Quad(128, 0, 0),   Quad(0, 128, 0),   Quad(128, 128, 0),
          Quad(0, 0, 128),     Quad(128, 0, 128), Quad(0, 128, 128), Quad(128, 128, 128),
          Quad(192, 192, 192), Quad(255, 0, 0),   Quad(0, 255, 0),   Quad(255, 255, 0),
          Quad(0, 0, 255),     Quad(255, 0, 255), Quad(0, 255, 255), Quad(255, 255, 255)};
      info.header.biBitCount = 4;
      std::copy(std::begin(vga), std::end(vga), info.colors);
      break;
    }
    case pf8bit: {
      info.header.biBitCount = 8;
      TWindowDC screen(nullptr);
      HPALETTE palette = CreateHalftonePalette(screen);
      PALETTEENTRY entries[256] = {};
      UINT n = palette ? GetPaletteEntries(palette, 0, 256, entries) : 0;
      if (palette) DeleteObject(palette);
      for (UINT i = 0; i < n; ++i) info.colors[i] = Quad(entries[i].peRed, entries[i].peGreen, entries[i].peBlue);
      info.header.biClrUsed = n;
      break;
    }
    case pf15bit:
      info.header.biBitCount = 16;
      break;
    case pf16bit: {
      info.header.biBitCount = 16;
      info.header.biCompression = BI_BITFIELDS;
      DWORD masks[3] = {0xF800, 0x07E0, 0x001F};
      std::memcpy(info.colors, masks, sizeof masks);
      break;
    }
    case pf32bit:
      info.header.biBitCount = 32;
      break;
    default:
      info.header.biBitCount = 24;
      break;
  }
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(nullptr, info.get(), DIB_RGB_COLORS, &bits, nullptr, 0);
  if (!bitmap) throw EOutOfMemory(Format("Cannot make a bitmap of %d x %d pixels", width, height));
  return bitmap;
}

HBITMAP MakeMask(HDC source, int x, int y, int width, int height, COLORREF transparent, bool monochrome) {
  HBITMAP mask = CreateBitmap(width, height, 1, 1, nullptr);
  if (!mask) throw EOutOfMemory(Format("Cannot make a mask of %d x %d pixels", width, height));
  TCheckedBitmapDC maskDC(mask);
  if (monochrome) {
    TGdiObject<HBITMAP> spread(NewBitmap(pf32bit, width, height));
    TCheckedBitmapDC spreadDC(spread.Get());
    {
      TColorsScope colors(spreadDC, kBlack, kWhite);
      BitBlt(spreadDC, 0, 0, width, height, source, x, y, SRCCOPY);
    }
    TColorsScope colors(spreadDC, kBlack, transparent);
    BitBlt(maskDC, 0, 0, width, height, spreadDC, 0, 0, SRCCOPY);
  } else {
    COLORREF oldBack = SetBkColor(source, transparent);
    BitBlt(maskDC, 0, 0, width, height, source, x, y, SRCCOPY);
    SetBkColor(source, oldBack);
  }
  return mask;
}

}  // namespace GraphicsPrivate

// ---------------------------------------------------------------------------------------------
// Pictures

void TGraphic::SetTransparent(bool transparent) {
  if (transparent == transparent_) return;
  transparent_ = transparent;
  Changed();
}

void TGraphic::Changed() {
  if (OnChange) OnChange(this);
}

void TGraphic::LoadFromFile(const std::string& fileName) {
  std::string bytes = ReadFileContents(fileName);
  LoadFromMemory(bytes.data(), bytes.size());
}

void TGraphic::LoadFromResourceName(HINSTANCE instance, const std::string& name) {
  LoadFromResource(instance, name.c_str());
}

void TGraphic::LoadFromResourceID(HINSTANCE instance, int id) { LoadFromResource(instance, MAKEINTRESOURCEA(id)); }

std::string ResourceNameText(LPCSTR name) {
  if (IS_INTRESOURCE(name)) return Format("#%u", static_cast<unsigned>(reinterpret_cast<std::uintptr_t>(name)));
  return name;
}

TResourceData FindResourceData(HINSTANCE instance, LPCSTR name, LPCSTR type) {
  HRSRC resource = FindResourceA(instance, name, type);
  HGLOBAL loaded = resource ? LoadResource(instance, resource) : nullptr;
  const void* data = loaded ? LockResource(loaded) : nullptr;
  if (!data) throw EResNotFound(Format("Resource %s not found", ResourceNameText(name).c_str()));
  return TResourceData{data, SizeofResource(instance, resource)};
}

class TBitmapCanvas : public TCanvas {
 public:
  explicit TBitmapCanvas(TBitmap* bitmap) : bitmap_(bitmap) {}
  ~TBitmapCanvas() override { FreeContext(); }

  void FreeContext() {
    if (!memoryDC_) return;
    SetHandle(nullptr);
    if (oldBitmap_) SelectObject(memoryDC_, oldBitmap_);
    DeleteDC(memoryDC_);
    memoryDC_ = nullptr;
    oldBitmap_ = nullptr;
  }

 protected:
  void CreateHandle() override {
    memoryDC_ = CreateCompatibleDC(nullptr);
    if (!memoryDC_) return;
    oldBitmap_ = bitmap_->handle_ ? SelectObject(memoryDC_, bitmap_->handle_) : nullptr;
    SetHandle(memoryDC_);
  }

 private:
  TBitmap* bitmap_;
  HDC memoryDC_ = nullptr;
  HGDIOBJ oldBitmap_ = nullptr;
};

TBitmap::TBitmap() = default;

TBitmap::TBitmap(int width, int height) { SetSize(width, height); }

TBitmap::~TBitmap() {
  canvas_.reset();
  FreeMask();
  if (handle_) DeleteObject(handle_);
}

void TBitmap::FreeContext() {
  if (canvas_) canvas_->FreeContext();
}

void TBitmap::FreeMask() {
  if (mask_) DeleteObject(mask_);
  mask_ = nullptr;
}

HDC TBitmap::SourceDC() { return Canvas()->Handle(); }

void TBitmap::Replace(HBITMAP bitmap) {
  FreeContext();
  FreeMask();
  if (handle_ && handle_ != bitmap) DeleteObject(handle_);
  handle_ = bitmap;
  if (!bitmap) return;
  DIBSECTION dib{};
  if (GetObjectA(bitmap, sizeof dib, &dib) == sizeof dib) {
    width_ = dib.dsBmih.biWidth;
    height_ = std::abs(dib.dsBmih.biHeight);
    bool is565 = dib.dsBmih.biCompression == BI_BITFIELDS && dib.dsBitfields[1] == 0x07E0;
    format_ = FormatOfBits(dib.dsBmih.biBitCount, is565);
  } else {
    BITMAP bm{};
    GetObjectA(bitmap, sizeof bm, &bm);
    width_ = bm.bmWidth;
    height_ = bm.bmHeight;
    format_ = FormatOfBits(bm.bmBitsPixel * bm.bmPlanes, true);
  }
}

TCanvas* TBitmap::Canvas() {
  if (!canvas_) canvas_ = std::make_unique<TBitmapCanvas>(this);
  return canvas_.get();
}

HBITMAP TBitmap::Handle() {
  FreeContext();
  return handle_;
}

void TBitmap::SetHandle(HBITMAP bitmap) {
  if (bitmap == handle_) return;
  Replace(bitmap);
  if (!bitmap) width_ = height_ = 0;
  Changed();
}

HBITMAP TBitmap::ReleaseHandle() {
  FreeContext();
  FreeMask();
  HBITMAP bitmap = handle_;
  handle_ = nullptr;
  width_ = height_ = 0;
  Changed();
  return bitmap;
}

void TBitmap::SetSize(int width, int height) {
  width = std::max(width, 0);
  height = std::max(height, 0);
  if (width == width_ && height == height_) return;
  HBITMAP bitmap = nullptr;
  if (width > 0 && height > 0) {
    if (handle_) {
      // Same format and colour table as now: a memory context holding a DIB section makes
      // its compatible bitmaps alike.
      HDC old = SourceDC();
      bitmap = CreateCompatibleBitmap(old, width, height);
      if (!bitmap) throw EOutOfMemory(Format("Cannot make a bitmap of %d x %d pixels", width, height));
      TCheckedBitmapDC newDC(bitmap);
      PatBlt(newDC, 0, 0, width, height, BLACKNESS);
      BitBlt(newDC, 0, 0, std::min(width, width_), std::min(height, height_), old, 0, 0, SRCCOPY);
    } else {
      bitmap = NewBitmap(format_, width, height);
    }
  }
  Replace(bitmap);
  width_ = width;
  height_ = height;
  Changed();
}

TPixelFormat TBitmap::PixelFormat() const { return format_; }

void TBitmap::SetPixelFormat(TPixelFormat format) {
  if (format == pfCustom) return;
  if (format == pfDevice) format = DeviceFormat();
  if (format == format_) return;
  if (Empty()) {
    format_ = format;
    Changed();
    return;
  }
  HBITMAP bitmap = NewBitmap(format, width_, height_);
  {
    TCheckedBitmapDC newDC(bitmap);
    HDC old = SourceDC();
    TColorsScope colors(newDC, kBlack, kWhite);
    BitBlt(newDC, 0, 0, width_, height_, old, 0, 0, SRCCOPY);
  }
  Replace(bitmap);
  Changed();
}

void TBitmap::SetMonochrome(bool monochrome) {
  if (monochrome)
    SetPixelFormat(pf1bit);
  else if (Monochrome())
    SetPixelFormat(pf24bit);
}

HBITMAP TBitmap::MaskHandle() {
  FreeMask();
  if (Empty()) return nullptr;
  COLORREF transparent = ColorToRGB(TransparentColor());
  mask_ = MakeMask(SourceDC(), 0, 0, width_, height_, transparent, Monochrome());
  return mask_;
}

TColor TBitmap::TransparentColor() {
  if (transparentMode_ == tmFixed) return transparentColor_;
  if (Empty()) return clDefault;
  return Canvas()->Pixels(0, height_ - 1);
}

void TBitmap::SetTransparentColor(TColor color) {
  TTransparentMode mode = color == clDefault ? tmAuto : tmFixed;
  if (mode == transparentMode_ && color == transparentColor_) return;
  transparentMode_ = mode;
  transparentColor_ = color;
  Changed();
}

void TBitmap::SetTransparentMode(TTransparentMode mode) {
  if (mode == transparentMode_) return;
  // Fixing the colour keeps the one the bitmap shows now.
  TColor color = mode == tmFixed ? TransparentColor() : clDefault;
  transparentMode_ = mode;
  transparentColor_ = color;
  Changed();
}

void TBitmap::Draw(TCanvas* canvas, const RECT& rect) {
  if (Empty()) return;
  HDC dest = canvas->Handle();
  HDC source = SourceDC();
  int width = rect.right - rect.left, height = rect.bottom - rect.top;
  int oldMode = SetStretchBltMode(dest, COLORONCOLOR);
  {
    // Monochrome bitmaps draw black on white whatever the destination's colours.
    TColorsScope colors(dest, kBlack, kWhite);
    if (Transparent()) {
      TCheckedBitmapDC maskDC(MaskHandle());
      TransparentStretchBlt(dest, rect.left, rect.top, width, height, source, 0, 0, width_, height_, maskDC, 0, 0);
    } else {
      StretchBlt(dest, rect.left, rect.top, width, height, source, 0, 0, width_, height_, canvas->CopyMode());
    }
  }
  SetStretchBltMode(dest, oldMode);
}

void TBitmap::LoadFromMemory(const void* data, std::size_t size) {
  const auto* bytes = static_cast<const unsigned char*>(data);
  auto invalid = [] { return EInvalidGraphic("Bitmap image is not valid"); };
  BITMAPFILEHEADER file{};
  BITMAPINFOHEADER header{};
  if (!bytes || size < sizeof file + sizeof header) throw invalid();
  std::memcpy(&file, bytes, sizeof file);
  std::memcpy(&header, bytes + sizeof file, sizeof header);
  const std::size_t infoAt = sizeof file;
  if (file.bfType != 0x4D42 || header.biSize < sizeof header || header.biSize > size - infoAt) throw invalid();

  const int bits = header.biBitCount;
  const DWORD compression = header.biCompression;
  const bool knownFormat =
      (compression == BI_RGB && (bits == 1 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32)) ||
      (compression == BI_RLE8 && bits == 8) || (compression == BI_RLE4 && bits == 4) ||
      (compression == BI_BITFIELDS && (bits == 16 || bits == 32));
  const bool rle = compression == BI_RLE8 || compression == BI_RLE4;
  if (!knownFormat || header.biPlanes != 1 || header.biWidth <= 0 || header.biHeight == 0 ||
      (rle && header.biHeight < 0))
    throw invalid();
  const std::int64_t width = header.biWidth;
  const std::int64_t height = header.biHeight < 0 ? -static_cast<std::int64_t>(header.biHeight) : header.biHeight;
  if (width > 0x7FFF || height > 0x7FFF) throw invalid();

  // The bit-field masks follow a plain header and lie inside the larger ones at the same place.
  std::size_t tableAt = infoAt + header.biSize;
  TBitmapInfo info{};
  info.header = header;
  info.header.biSize = sizeof(BITMAPINFOHEADER);
  if (compression == BI_BITFIELDS) {
    if (infoAt + sizeof header + 3 * sizeof(DWORD) > size) throw invalid();
    std::memcpy(info.colors, bytes + infoAt + sizeof header, 3 * sizeof(DWORD));
    if (header.biSize == sizeof header) tableAt += 3 * sizeof(DWORD);
  }
  std::size_t colors = 0;
  if (bits <= 8) {
    colors = header.biClrUsed ? header.biClrUsed : (1u << bits);
    if (colors > (1u << bits) || tableAt + colors * sizeof(RGBQUAD) > size) throw invalid();
    std::memcpy(info.colors, bytes + tableAt, colors * sizeof(RGBQUAD));
    info.header.biClrUsed = static_cast<DWORD>(colors);
  }
  std::size_t bitsAt = file.bfOffBits ? file.bfOffBits : tableAt + colors * sizeof(RGBQUAD);
  if (bitsAt >= size) throw invalid();
  const std::int64_t stride = (width * bits + 31) / 32 * 4;
  const std::int64_t available = static_cast<std::int64_t>(size - bitsAt);
  if (rle ? (header.biSizeImage == 0 || header.biSizeImage > available) : stride * height > available)
    throw invalid();

  // The pixels go through SetDIBits, which decodes run lengths and turns top-down rows over.
  TBitmapInfo target = info;
  target.header.biHeight = static_cast<LONG>(height);
  target.header.biSizeImage = 0;
  if (rle) target.header.biCompression = BI_RGB;
  void* pixels = nullptr;
  HBITMAP bitmap = CreateDIBSection(nullptr, target.get(), DIB_RGB_COLORS, &pixels, nullptr, 0);
  if (!bitmap) throw EOutOfMemory(Format("Cannot make a bitmap of %d x %d pixels", static_cast<int>(width),
                                         static_cast<int>(height)));
  TWindowDC screen(nullptr);
  if (SetDIBits(screen, bitmap, 0, static_cast<UINT>(height), bytes + bitsAt, info.get(), DIB_RGB_COLORS) == 0) {
    DeleteObject(bitmap);
    throw invalid();
  }
  Replace(bitmap);
  Changed();
}

std::vector<unsigned char> TBitmap::SaveToMemory() {
  if (Empty()) throw EInvalidGraphicOperation("Cannot save an empty bitmap");
  FreeContext();
  DIBSECTION dib{};
  bool isDib = GetObjectA(handle_, sizeof dib, &dib) == sizeof dib;
  BITMAP bm{};
  GetObjectA(handle_, sizeof bm, &bm);
  int bits = isDib ? dib.dsBmih.biBitCount : bm.bmBitsPixel * bm.bmPlanes;
  if (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32) bits = 24;
  bool bitFields = isDib && dib.dsBmih.biCompression == BI_BITFIELDS;

  TBitmapInfo info{};
  info.header.biSize = sizeof(BITMAPINFOHEADER);
  info.header.biWidth = width_;
  info.header.biHeight = height_;
  info.header.biPlanes = 1;
  info.header.biBitCount = static_cast<WORD>(bits);
  info.header.biCompression = bitFields ? BI_BITFIELDS : BI_RGB;
  if (bitFields) std::memcpy(info.colors, dib.dsBitfields, sizeof dib.dsBitfields);
  const std::size_t stride = (static_cast<std::size_t>(width_) * bits + 31) / 32 * 4;
  const std::size_t imageSize = stride * static_cast<std::size_t>(height_);
  const std::size_t tableSize = bits <= 8 ? (std::size_t{1} << bits) * sizeof(RGBQUAD) : bitFields ? 3 * sizeof(DWORD) : 0;
  const std::size_t bitsAt = sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER) + tableSize;
  std::vector<unsigned char> out(bitsAt + imageSize);
  TWindowDC screen(nullptr);
  if (GetDIBits(screen, handle_, 0, static_cast<UINT>(height_), out.data() + bitsAt, info.get(), DIB_RGB_COLORS) == 0)
    throw EInvalidGraphicOperation("Cannot read the bitmap's pixels");
  info.header.biSizeImage = static_cast<DWORD>(imageSize);
  info.header.biClrUsed = 0;

  BITMAPFILEHEADER file{};
  file.bfType = 0x4D42;
  file.bfSize = static_cast<DWORD>(out.size());
  file.bfOffBits = static_cast<DWORD>(bitsAt);
  std::memcpy(out.data(), &file, sizeof file);
  std::memcpy(out.data() + sizeof file, &info.header, sizeof info.header);
  std::memcpy(out.data() + sizeof file + sizeof info.header, info.colors, tableSize);
  return out;
}

void TBitmap::SaveToFile(const std::string& fileName) {
  std::vector<unsigned char> bytes = SaveToMemory();
  THandleGuard file(
      CreateFileA(fileName.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file)
    throw EFCreateError(
        Format("Cannot create file \"%s\". %s", fileName.c_str(), SysErrorMessage(GetLastError()).c_str()));
  DWORD written = 0;
  bool ok = WriteFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
            written == bytes.size();
  DWORD error = GetLastError();
  if (!ok)
    throw EFCreateError(Format("Cannot write file \"%s\". %s", fileName.c_str(), SysErrorMessage(error).c_str()));
}

void TBitmap::LoadFromResource(HINSTANCE instance, LPCSTR name) {
  HBITMAP bitmap = static_cast<HBITMAP>(LoadImageA(instance, name, IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
  if (!bitmap) {
    FindResourceData(instance, name, RT_BITMAP);  // raises when missing
    throw EInvalidGraphic(Format("Bitmap resource %s is not valid", ResourceNameText(name).c_str()));
  }
  Replace(bitmap);
  Changed();
}

void TBitmap::Assign(TPersistent* source) {
  if (source == this) return;
  if (!source) {
    Replace(nullptr);
    width_ = height_ = 0;
    Changed();
    return;
  }
  if (auto* bitmap = dynamic_cast<TBitmap*>(source)) {
    HBITMAP copy = nullptr;
    if (!bitmap->Empty()) {
      HDC from = bitmap->SourceDC();
      copy = CreateCompatibleBitmap(from, bitmap->width_, bitmap->height_);
      if (!copy) throw EOutOfMemory(Format("Cannot make a bitmap of %d x %d pixels", bitmap->width_, bitmap->height_));
      TCheckedBitmapDC to(copy);
      BitBlt(to, 0, 0, bitmap->width_, bitmap->height_, from, 0, 0, SRCCOPY);
    }
    Replace(copy);
    width_ = bitmap->width_;
    height_ = bitmap->height_;
    format_ = bitmap->format_;
    transparent_ = bitmap->transparent_;
    transparentColor_ = bitmap->transparentColor_;
    transparentMode_ = bitmap->transparentMode_;
    Changed();
    return;
  }
  if (auto* graphic = dynamic_cast<TGraphic*>(source)) {
    // Any other picture is drawn on white at its own size.
    HBITMAP bitmap = graphic->Empty() ? nullptr : NewBitmap(pf24bit, graphic->Width(), graphic->Height());
    Replace(bitmap);
    width_ = graphic->Width();
    height_ = graphic->Height();
    if (bitmap) {
      TCanvas* canvas = Canvas();
      PatBlt(canvas->Handle(), 0, 0, width_, height_, WHITENESS);
      canvas->Draw(0, 0, graphic);
    }
    Changed();
    return;
  }
  TPersistent::Assign(source);
}

std::unique_ptr<TGraphic> TBitmap::Clone() {
  auto copy = std::make_unique<TBitmap>();
  copy->Assign(this);
  return copy;
}

TIcon::TIcon() { transparent_ = true; }

TIcon::~TIcon() {
  if (handle_) DestroyIcon(handle_);
}

void TIcon::SetHandle(HICON icon) {
  if (icon == handle_) return;
  if (handle_) DestroyIcon(handle_);
  handle_ = icon;
  width_ = height_ = 0;
  ICONINFO info{};
  if (icon && GetIconInfo(icon, &info)) {
    BITMAP bm{};
    if (info.hbmColor) {
      GetObjectA(info.hbmColor, sizeof bm, &bm);
      width_ = bm.bmWidth;
      height_ = bm.bmHeight;
    } else if (info.hbmMask) {
      // A monochrome icon keeps its AND and XOR masks one above the other.
      GetObjectA(info.hbmMask, sizeof bm, &bm);
      width_ = bm.bmWidth;
      height_ = bm.bmHeight / 2;
    }
    if (info.hbmColor) DeleteObject(info.hbmColor);
    if (info.hbmMask) DeleteObject(info.hbmMask);
  }
  Changed();
}

HICON TIcon::ReleaseHandle() {
  HICON icon = handle_;
  handle_ = nullptr;
  width_ = height_ = 0;
  Changed();
  return icon;
}

void TIcon::Assign(TPersistent* source) {
  if (source == this) return;
  if (!source) {
    SetHandle(nullptr);
    return;
  }
  if (auto* icon = dynamic_cast<TIcon*>(source)) {
    SetHandle(icon->handle_ ? CopyIcon(icon->handle_) : nullptr);
    return;
  }
  TPersistent::Assign(source);
}

void TIcon::Draw(TCanvas* canvas, const RECT& rect) {
  if (!handle_) return;
  DrawIconEx(canvas->Handle(), rect.left, rect.top, handle_, rect.right - rect.left, rect.bottom - rect.top, 0,
             nullptr, DI_NORMAL);
}

void TIcon::LoadFromMemory(const void* data, std::size_t size) {
  const auto* bytes = static_cast<const unsigned char*>(data);
  auto invalid = [] { return EInvalidGraphic("Icon image is not valid"); };
  auto word = [bytes](std::size_t at) { return static_cast<unsigned>(bytes[at] | bytes[at + 1] << 8); };
  auto dword = [&](std::size_t at) { return word(at) | word(at + 2) << 16; };
  if (!bytes || size < 6 || word(0) != 0 || word(2) != 1) throw invalid();
  const std::size_t count = word(4);
  if (count == 0 || 6 + count * 16 > size) throw invalid();
  // The entry nearest to the system's icon size; of equals, the one with most colours.
  const int wanted = GetSystemMetrics(SM_CXICON);
  std::size_t best = count;
  int bestDistance = 0, bestBits = 0;
  for (std::size_t i = 0; i < count; ++i) {
    const std::size_t at = 6 + i * 16;
    int width = bytes[at] ? bytes[at] : 256;
    int bits = static_cast<int>(word(at + 6));
    std::size_t length = dword(at + 8), offset = dword(at + 12);
    if (length == 0 || offset >= size || length > size - offset) continue;
    int distance = std::abs(width - wanted);
    if (best == count || distance < bestDistance || (distance == bestDistance && bits > bestBits)) {
      best = i;
      bestDistance = distance;
      bestBits = bits;
    }
  }
  if (best == count) throw invalid();
  const std::size_t at = 6 + best * 16;
  HICON icon = CreateIconFromResourceEx(const_cast<PBYTE>(bytes + dword(at + 12)), dword(at + 8), TRUE, 0x00030000, 0,
                                        0, LR_DEFAULTCOLOR);
  if (!icon) throw invalid();
  SetHandle(icon);
}

void TIcon::LoadSized(HINSTANCE instance, LPCSTR name, int width, int height) {
  UINT flags = width == 0 && height == 0 ? LR_DEFAULTSIZE : 0;
  HICON icon = static_cast<HICON>(LoadImageA(instance, name, IMAGE_ICON, width, height, flags));
  if (!icon) {
    FindResourceData(instance, name, RT_GROUP_ICON);  // raises when missing
    throw EInvalidGraphic(Format("Icon resource %s is not valid", ResourceNameText(name).c_str()));
  }
  SetHandle(icon);
}

void TIcon::LoadFromResource(HINSTANCE instance, LPCSTR name) { LoadSized(instance, name, 0, 0); }

void TIcon::LoadFromResourceName(HINSTANCE instance, const std::string& name, int width, int height) {
  LoadSized(instance, name.c_str(), width, height);
}

std::unique_ptr<TGraphic> TIcon::Clone() {
  auto copy = std::make_unique<TIcon>();
  copy->Assign(this);
  return copy;
}

TCursorHandle LoadCursorFromResourceName(HINSTANCE instance, const std::string& name) {
  HCURSOR cursor = static_cast<HCURSOR>(LoadImageA(instance, name.c_str(), IMAGE_CURSOR, 0, 0, LR_DEFAULTSIZE));
  if (!cursor) throw EResNotFound(Format("Resource %s not found", name.c_str()));
  return TCursorHandle(cursor);
}

HCURSOR SystemCursor(LPCSTR id) {
  static std::mutex lock;
  static std::vector<std::pair<LPCSTR, HCURSOR>> loaded;
  std::lock_guard<std::mutex> hold(lock);
  for (const auto& [known, cursor] : loaded)
    if (known == id) return cursor;
  HCURSOR cursor = LoadCursorA(nullptr, id);
  if (cursor) loaded.emplace_back(id, cursor);
  return cursor;
}

TPicture::TPicture() = default;
TPicture::~TPicture() = default;

void TPicture::Changed() {
  if (OnChange) OnChange(this);
}

void TPicture::Take(std::unique_ptr<TGraphic> graphic) {
  graphic_ = std::move(graphic);
  if (graphic_) graphic_->OnChange = [this](TObject*) { Changed(); };
  Changed();
}

void TPicture::Assign(TPersistent* source) {
  if (!source) {
    Take(nullptr);
  } else if (auto* picture = dynamic_cast<TPicture*>(source)) {
    if (picture != this) SetGraphic(picture->Graphic());
  } else if (auto* graphic = dynamic_cast<TGraphic*>(source)) {
    SetGraphic(graphic);
  } else {
    TPersistent::Assign(source);
  }
}

void TPicture::SetGraphic(TGraphic* graphic) {
  if (graphic == graphic_.get()) return;
  Take(graphic ? graphic->Clone() : nullptr);
}

TBitmap* TPicture::Bitmap() {
  if (auto* bitmap = dynamic_cast<TBitmap*>(graphic_.get())) return bitmap;
  auto bitmap = std::make_unique<TBitmap>();
  if (graphic_) bitmap->Assign(graphic_.get());
  TBitmap* result = bitmap.get();
  Take(std::move(bitmap));
  return result;
}

void TPicture::LoadFromFile(const std::string& fileName) {
  std::unique_ptr<TGraphic> graphic;
  if (EndsWithNoCase(fileName, ".bmp"))
    graphic = std::make_unique<TBitmap>();
  else if (EndsWithNoCase(fileName, ".jpg") || EndsWithNoCase(fileName, ".jpeg") ||
           EndsWithNoCase(fileName, ".jpe") || EndsWithNoCase(fileName, ".jfif"))
    graphic = std::make_unique<TJPEGImage>();
  else if (EndsWithNoCase(fileName, ".ico"))
    graphic = std::make_unique<TIcon>();
  if (!graphic) {
    size_t dot = fileName.find_last_of(".\\/");
    std::string extension = dot != std::string::npos && fileName[dot] == '.' ? fileName.substr(dot + 1) : "";
    throw EInvalidGraphic(Format("Unknown picture file extension (.%s)", extension.c_str()));
  }
  graphic->LoadFromFile(fileName);
  Take(std::move(graphic));
}

void TPicture::LoadFromResourceName(HINSTANCE instance, const std::string& name) {
  std::unique_ptr<TGraphic> graphic;
  if (FindResourceA(instance, name.c_str(), RT_BITMAP)) {
    graphic = std::make_unique<TBitmap>();
    graphic->LoadFromResourceName(instance, name);
  } else {
    TResourceData resource = FindResourceData(instance, name.c_str(), RT_RCDATA);
    const auto* bytes = static_cast<const unsigned char*>(resource.data);
    if (resource.size >= 2 && bytes[0] == 0xFF && bytes[1] == 0xD8)
      graphic = std::make_unique<TJPEGImage>();
    else if (resource.size >= 2 && bytes[0] == 'B' && bytes[1] == 'M')
      graphic = std::make_unique<TBitmap>();
    else
      throw EInvalidGraphic(Format("Resource %s is not a bitmap or a JPEG picture", name.c_str()));
    graphic->LoadFromMemory(resource.data, resource.size);
  }
  Take(std::move(graphic));
}
