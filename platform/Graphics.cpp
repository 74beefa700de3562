// Fonts, pens, brushes and the canvases that draw with them (unit of Graphics.h).

#include "platform/Graphics.h"

#include <mutex>
#include <vector>

#include "platform/GraphicsPrivate.h"
#include "platform/Guards.h"
#include "platform/Thread.h"

using namespace GraphicsPrivate;

namespace {

// Raster operations without a name in the SDK.
constexpr DWORD kDSna = 0x00220326;   // destination AND NOT source
constexpr DWORD kDPSao = 0x00EA02E9;  // destination OR (pattern AND source)

}  // namespace

// ---------------------------------------------------------------------------------------------
// Fonts, pens and brushes

TGraphicsObject::~TGraphicsObject() {
  if (handle_) DeleteObject(handle_);
}

HGDIOBJ TGraphicsObject::ObjectHandle() {
  if (!handle_) handle_ = MakeHandle();
  return handle_;
}

void TGraphicsObject::HandleChanged() {
  HGDIOBJ old = handle_;
  handle_ = nullptr;
  Changed();
  if (old) DeleteObject(old);
}

void TGraphicsObject::Changed() {
  if (OnChange) OnChange(this);
}

namespace {

std::mutex displayLock;
std::vector<std::pair<int, int>> displayCaps;

// One display context for the process's measuring, never deleted; none where the system
// gives none (the measuring then falls back to a screen context).
HDC KeptDisplayDC() {
  static const HDC dc = CreateDCA("DISPLAY", nullptr, nullptr, nullptr);
  return dc;
}

}  // namespace

int DisplayCaps(int index) {
  std::lock_guard<std::mutex> hold(displayLock);
  for (const auto& [known, value] : displayCaps)
    if (known == index) return value;
  TWindowDC screen(nullptr);
  if (!screen) return 0;
  const int value = GetDeviceCaps(screen, index);
  displayCaps.emplace_back(index, value);
  return value;
}

void DisplayChanged() {
  std::lock_guard<std::mutex> hold(displayLock);
  displayCaps.clear();
}

TMeasureDC::TMeasureDC() {
  if (GetCurrentThreadId() == MainThreadID() && KeptDisplayDC()) {
    dc_ = KeptDisplayDC();
    saved_ = SaveDC(dc_);
  }
  if (!saved_) dc_ = GetDC(nullptr);
}

TMeasureDC::~TMeasureDC() {
  if (saved_)
    RestoreDC(dc_, saved_);
  else if (dc_)
    ReleaseDC(nullptr, dc_);
}

int ScreenPixelsPerInch() {
  static const int ppi = [] {
    TWindowDC screen(nullptr);
    int value = screen ? GetDeviceCaps(screen, LOGPIXELSY) : 0;
    return value > 0 ? value : 96;
  }();
  return ppi;
}

TFont::TFont() : name_("Tahoma"), pixelsPerInch_(ScreenPixelsPerInch()) {
  height_ = -MulDiv(8, pixelsPerInch_, 72);
}

TFont::TShape TFont::Shape() const {
  return TShape{name_, height_, style_, charset_, pitch_, escapement_, orientation_};
}

void TFont::SetAll(const TShape& shape, TColor color) {
  bool shapeChanged = !(shape == Shape());
  if (!shapeChanged && color == color_) return;
  name_ = shape.name;
  height_ = shape.height;
  style_ = shape.style;
  charset_ = shape.charset;
  pitch_ = shape.pitch;
  escapement_ = shape.escapement;
  orientation_ = shape.orientation;
  color_ = color;
  if (shapeChanged)
    HandleChanged();
  else
    Changed();
}

void TFont::Assign(TPersistent* source) {
  if (auto* font = dynamic_cast<TFont*>(source)) {
    SetAll(font->Shape(), font->color_);
    return;
  }
  TPersistent::Assign(source);
}

void TFont::SetHandle(HFONT font) {
  LOGFONTA lf{};
  if (!font || GetObjectA(font, sizeof lf, &lf) != sizeof lf) throw EInvalidGraphic("Invalid font handle");
  TShape shape{lf.lfFaceName, static_cast<int>(lf.lfHeight), {}, lf.lfCharSet, fpDefault,
               static_cast<int>(lf.lfEscapement), static_cast<int>(lf.lfOrientation)};
  if (lf.lfWeight >= FW_BOLD) shape.style += fsBold;
  if (lf.lfItalic) shape.style += fsItalic;
  if (lf.lfUnderline) shape.style += fsUnderline;
  if (lf.lfStrikeOut) shape.style += fsStrikeOut;
  if ((lf.lfPitchAndFamily & 3) == VARIABLE_PITCH) shape.pitch = fpVariable;
  if ((lf.lfPitchAndFamily & 3) == FIXED_PITCH) shape.pitch = fpFixed;
  SetAll(shape, color_);
}

void TFont::SetName(const std::string& name) {
  if (!name.empty()) SetShapeMember(&TShape::name, name);
}

int TFont::Size() const { return -MulDiv(height_, 72, pixelsPerInch_); }

void TFont::SetSize(int points) { SetHeight(-MulDiv(points, pixelsPerInch_, 72)); }

void TFont::SetHeight(int pixels) { SetShapeMember(&TShape::height, pixels); }

void TFont::SetStyle(TFontStyles style) { SetShapeMember(&TShape::style, style); }

void TFont::SetColor(TColor color) { SetAll(Shape(), color); }

void TFont::SetCharset(TFontCharset charset) { SetShapeMember(&TShape::charset, charset); }

void TFont::SetPitch(TFontPitch pitch) { SetShapeMember(&TShape::pitch, pitch); }

void TFont::SetEscapement(int tenthsOfDegree) { SetShapeMember(&TShape::escapement, tenthsOfDegree); }

void TFont::SetOrientation(int tenthsOfDegree) { SetShapeMember(&TShape::orientation, tenthsOfDegree); }

HGDIOBJ TFont::MakeHandle() {
  LOGFONTA lf{};
  lf.lfHeight = height_;
  lf.lfEscapement = escapement_;
  lf.lfOrientation = orientation_;
  lf.lfWeight = style_.Contains(fsBold) ? FW_BOLD : FW_NORMAL;
  lf.lfItalic = style_.Contains(fsItalic);
  lf.lfUnderline = style_.Contains(fsUnderline);
  lf.lfStrikeOut = style_.Contains(fsStrikeOut);
  lf.lfCharSet = charset_;
  lf.lfOutPrecision = OUT_DEFAULT_PRECIS;
  lf.lfClipPrecision = CLIP_DEFAULT_PRECIS;
  lf.lfQuality = DEFAULT_QUALITY;
  lf.lfPitchAndFamily = pitch_ == fpVariable ? VARIABLE_PITCH : pitch_ == fpFixed ? FIXED_PITCH : DEFAULT_PITCH;
  lstrcpynA(lf.lfFaceName, name_.c_str(), LF_FACESIZE);
  return CreateFontIndirectA(&lf);
}

void TPen::Assign(TPersistent* source) {
  if (auto* pen = dynamic_cast<TPen*>(source)) {
    bool shapeChanged = pen->color_ != color_ || pen->width_ != width_ || pen->style_ != style_;
    if (!shapeChanged && pen->mode_ == mode_) return;
    color_ = pen->color_;
    width_ = pen->width_;
    style_ = pen->style_;
    mode_ = pen->mode_;
    if (shapeChanged)
      HandleChanged();
    else
      Changed();
    return;
  }
  TPersistent::Assign(source);
}

void TPen::SetColor(TColor color) {
  if (color == color_) return;
  color_ = color;
  HandleChanged();
}

void TPen::SetWidth(int width) {
  if (width < 0 || width == width_) return;
  width_ = width;
  HandleChanged();
}

void TPen::SetStyle(TPenStyle style) {
  if (style == style_) return;
  style_ = style;
  HandleChanged();
}

void TPen::SetMode(TPenMode mode) {
  if (mode == mode_) return;
  mode_ = mode;
  Changed();
}

int TPen::Rop2() const {
  static constexpr int codes[] = {R2_BLACK,       R2_WHITE,      R2_NOP,         R2_NOT,
                                  R2_COPYPEN,     R2_NOTCOPYPEN, R2_MERGEPENNOT, R2_MASKPENNOT,
                                  R2_MERGENOTPEN, R2_MASKNOTPEN, R2_MERGEPEN,    R2_NOTMERGEPEN,
                                  R2_MASKPEN,     R2_NOTMASKPEN, R2_XORPEN,      R2_NOTXORPEN};
  return codes[mode_];
}

HGDIOBJ TPen::MakeHandle() {
  static constexpr int styles[] = {PS_SOLID, PS_DASH, PS_DOT, PS_DASHDOT, PS_DASHDOTDOT, PS_NULL, PS_INSIDEFRAME};
  return CreatePen(styles[style_], width_, ColorToRGB(color_));
}

TBrush::TBrush() = default;
TBrush::~TBrush() = default;

void TBrush::Assign(TPersistent* source) {
  if (auto* brush = dynamic_cast<TBrush*>(source)) {
    if (brush == this) return;
    color_ = brush->color_;
    style_ = brush->style_;
    if (brush->bitmap_) {
      if (!bitmap_) bitmap_ = std::make_unique<TBitmap>();
      bitmap_->Assign(brush->bitmap_.get());
    } else {
      bitmap_.reset();
    }
    HandleChanged();
    return;
  }
  TPersistent::Assign(source);
}

void TBrush::SetColor(TColor color) {
  if (color == color_ && style_ != bsClear) return;
  color_ = color;
  // Giving a clear brush a colour makes it paint again.
  if (style_ == bsClear) style_ = bsSolid;
  HandleChanged();
}

void TBrush::SetStyle(TBrushStyle style) {
  if (style == style_) return;
  style_ = style;
  HandleChanged();
}

void TBrush::SetBitmap(TBitmap* bitmap) {
  if (bitmap && !bitmap->Empty()) {
    auto copy = std::make_unique<TBitmap>();
    copy->Assign(bitmap);
    bitmap_ = std::move(copy);
  } else {
    if (!bitmap_) return;
    bitmap_.reset();
  }
  HandleChanged();
}

HGDIOBJ TBrush::MakeHandle() {
  if (bitmap_) return CreatePatternBrush(bitmap_->Handle());
  switch (style_) {
    case bsSolid: return CreateSolidBrush(ColorToRGB(color_));
    case bsClear: return GetStockObject(NULL_BRUSH);
    default: break;
  }
  static constexpr int hatches[] = {HS_HORIZONTAL, HS_VERTICAL, HS_FDIAGONAL, HS_BDIAGONAL, HS_CROSS, HS_DIAGCROSS};
  return CreateHatchBrush(hatches[style_ - bsHorizontal], ColorToRGB(color_));
}

// ---------------------------------------------------------------------------------------------
// Canvas

TCanvas::TCanvas() : font_(std::make_unique<TFont>()), pen_(std::make_unique<TPen>()), brush_(std::make_unique<TBrush>()) {
  // A changed object is taken out of the context before its old handle is deleted.
  font_->OnChange = [this](TObject*) { Deselect(kFont); };
  pen_->OnChange = [this](TObject*) { Deselect(kPen); };
  brush_->OnChange = [this](TObject*) { Deselect(kBrush); };
}

TCanvas::~TCanvas() { SetHandle(nullptr); }

void TCanvas::SetHandle(HDC dc) {
  if (dc == dc_) return;
  DeselectAll();
  dc_ = dc;
}

HDC TCanvas::RequireHandle() {
  if (!dc_) CreateHandle();
  if (!dc_) throw EInvalidGraphicOperation("Canvas does not allow drawing");
  return dc_;
}

HDC TCanvas::Handle() {
  RequireHandle();
  SelectFont();
  SelectPen();
  SelectBrush();
  return dc_;
}

void TCanvas::Select(Kind kind) {
  static constexpr DWORD types[] = {OBJ_FONT, OBJ_PEN, OBJ_BRUSH};
  HGDIOBJ handle = kind == kFont  ? static_cast<HGDIOBJ>(font_->Handle())
                   : kind == kPen ? static_cast<HGDIOBJ>(pen_->Handle())
                                  : static_cast<HGDIOBJ>(brush_->Handle());
  // Raw GDI calls on Handle() may have selected something else in between.
  if (GetCurrentObject(dc_, types[kind]) != handle) {
    HGDIOBJ previous = SelectObject(dc_, handle);
    if (!original_[kind]) original_[kind] = previous;
  }
  selected_[kind] = handle;
}

void TCanvas::SelectFont() {
  Select(kFont);
  SetTextColor(dc_, ColorToRGB(font_->Color()));
}

void TCanvas::SelectPen() {
  Select(kPen);
  SetROP2(dc_, pen_->Rop2());
}

void TCanvas::SelectBrush() {
  Select(kBrush);
  SetBkColor(dc_, ColorToRGB(brush_->Color()));
  SetBkMode(dc_, brush_->Style() == bsClear ? TRANSPARENT : OPAQUE);
}

void TCanvas::Deselect(Kind kind) {
  static constexpr DWORD types[] = {OBJ_FONT, OBJ_PEN, OBJ_BRUSH};
  if (dc_ && selected_[kind] && original_[kind] && GetCurrentObject(dc_, types[kind]) == selected_[kind])
    SelectObject(dc_, original_[kind]);
  selected_[kind] = nullptr;
}

void TCanvas::DeselectAll() {
  for (int kind = 0; kind < kKinds; ++kind) {
    if (dc_ && original_[kind]) SelectObject(dc_, original_[kind]);
    original_[kind] = nullptr;
    selected_[kind] = nullptr;
  }
}

POINT TCanvas::PenPos() {
  POINT pos{};
  GetCurrentPositionEx(RequireHandle(), &pos);
  return pos;
}

void TCanvas::MoveTo(int x, int y) { MoveToEx(RequireHandle(), x, y, nullptr); }

void TCanvas::LineTo(int x, int y) { ::LineTo(Handle(), x, y); }

void TCanvas::Polyline(const std::vector<POINT>& points) {
  if (points.size() > 1) ::Polyline(Handle(), points.data(), static_cast<int>(points.size()));
}

void TCanvas::Polygon(const std::vector<POINT>& points) {
  if (points.size() > 1) ::Polygon(Handle(), points.data(), static_cast<int>(points.size()));
}

void TCanvas::Rectangle(int x1, int y1, int x2, int y2) { ::Rectangle(Handle(), x1, y1, x2, y2); }

void TCanvas::RoundRect(int x1, int y1, int x2, int y2, int cornerWidth, int cornerHeight) {
  ::RoundRect(Handle(), x1, y1, x2, y2, cornerWidth, cornerHeight);
}

void TCanvas::Ellipse(int x1, int y1, int x2, int y2) { ::Ellipse(Handle(), x1, y1, x2, y2); }

void TCanvas::FillRect(const RECT& rect) {
  HDC dc = Handle();
  ::FillRect(dc, &rect, brush_->Handle());
}

void TCanvas::FrameRect(const RECT& rect) {
  HDC dc = Handle();
  ::FrameRect(dc, &rect, brush_->Handle());
}

void TCanvas::DrawFocusRect(const RECT& rect) { ::DrawFocusRect(Handle(), &rect); }

TColor TCanvas::Pixels(int x, int y) {
  COLORREF color = GetPixel(RequireHandle(), x, y);
  return color == CLR_INVALID ? clNone : static_cast<TColor>(color);
}

void TCanvas::SetPixels(int x, int y, TColor color) { SetPixel(Handle(), x, y, ColorToRGB(color)); }

void TCanvas::TextOut(int x, int y, const std::string& text) {
  ::TextOutA(Handle(), x, y, text.data(), static_cast<int>(text.size()));
}

void TCanvas::TextRect(const RECT& rect, int x, int y, const std::string& text) {
  HDC dc = Handle();
  UINT options = ETO_CLIPPED | (brush_->Style() == bsClear ? 0u : ETO_OPAQUE);
  ExtTextOutA(dc, x, y, options, &rect, text.data(), static_cast<UINT>(text.size()), nullptr);
}

SIZE TCanvas::TextExtent(const std::string& text) {
  RequireHandle();
  SelectFont();
  SIZE size{};
  GetTextExtentPoint32A(dc_, text.data(), static_cast<int>(text.size()), &size);
  return size;
}

void TCanvas::Draw(int x, int y, TGraphic* graphic) {
  if (graphic && !graphic->Empty()) graphic->Draw(this, RECT{x, y, x + graphic->Width(), y + graphic->Height()});
}

void TCanvas::StretchDraw(const RECT& rect, TGraphic* graphic) {
  if (graphic && !graphic->Empty()) graphic->Draw(this, rect);
}

void TCanvas::CopyRect(const RECT& dest, TCanvas* source, const RECT& sourceRect) {
  HDC dc = Handle();
  HDC src = source->Handle();
  int width = dest.right - dest.left, height = dest.bottom - dest.top;
  int srcWidth = sourceRect.right - sourceRect.left, srcHeight = sourceRect.bottom - sourceRect.top;
  int oldMode = SetStretchBltMode(dc, COLORONCOLOR);
  StretchBlt(dc, dest.left, dest.top, width, height, src, sourceRect.left, sourceRect.top, srcWidth, srcHeight,
             copyMode_);
  SetStretchBltMode(dc, oldMode);
}

void TCanvas::BrushCopy(const RECT& dest, TBitmap* source, const RECT& sourceRect, TColor color) {
  if (!source || source->Empty()) return;
  HDC dc = Handle();
  HDC src = source->Canvas()->Handle();
  int width = dest.right - dest.left, height = dest.bottom - dest.top;
  int srcWidth = sourceRect.right - sourceRect.left, srcHeight = sourceRect.bottom - sourceRect.top;
  if (srcWidth <= 0 || srcHeight <= 0) return;
  TGdiObject<HBITMAP> mask(MakeMask(src, sourceRect.left, sourceRect.top, srcWidth, srcHeight, ColorToRGB(color),
                           source->Monochrome()));
  TCheckedBitmapDC maskDC(mask.Get());
  int oldMode = SetStretchBltMode(dc, COLORONCOLOR);
  if (brush_->Style() == bsClear && !brush_->Bitmap()) {
    TransparentStretchBlt(dc, dest.left, dest.top, width, height, src, sourceRect.left, sourceRect.top, srcWidth,
                          srcHeight, maskDC, 0, 0);
  } else {
    // The image with the colour's pixels black, then the brush ORed into exactly those pixels.
    TGdiObject<HBITMAP> image(NewBitmap(pf32bit, srcWidth, srcHeight));
    TCheckedBitmapDC imageDC(image.Get());
    TColorsScope colors(imageDC, kBlack, kWhite);
    BitBlt(imageDC, 0, 0, srcWidth, srcHeight, src, sourceRect.left, sourceRect.top, SRCCOPY);
    BitBlt(imageDC, 0, 0, srcWidth, srcHeight, maskDC, 0, 0, kDSna);
    HGDIOBJ oldBrush = SelectObject(imageDC, brush_->Handle());
    SetBrushOrgEx(imageDC, ((-dest.left) % 8 + 8) % 8, ((-dest.top) % 8 + 8) % 8, nullptr);
    BitBlt(imageDC, 0, 0, srcWidth, srcHeight, maskDC, 0, 0, kDPSao);
    SelectObject(imageDC, oldBrush);
    StretchBlt(dc, dest.left, dest.top, width, height, imageDC, 0, 0, srcWidth, srcHeight, SRCCOPY);
  }
  SetStretchBltMode(dc, oldMode);
}

RECT TCanvas::ClipRect() {
  RECT rect{};
  GetClipBox(RequireHandle(), &rect);
  return rect;
}

void TCanvas::Lock() {
  lock_.lock();
  ++lockCount_;
}

bool TCanvas::TryLock() {
  if (!lock_.try_lock()) return false;
  ++lockCount_;
  return true;
}

void TCanvas::Unlock() {
  --lockCount_;
  lock_.unlock();
}

TWindowCanvas::TWindowCanvas(HWND window, bool wholeWindow) : window_(window), wholeWindow_(wholeWindow) {}

TWindowCanvas::~TWindowCanvas() { FreeHandle(); }

void TWindowCanvas::SetWindow(HWND window) {
  if (window == window_) return;
  FreeHandle();
  window_ = window;
}

void TWindowCanvas::SetWholeWindow(bool wholeWindow) {
  if (wholeWindow == wholeWindow_) return;
  FreeHandle();
  wholeWindow_ = wholeWindow;
}

void TWindowCanvas::FreeHandle() {
  if (!windowDC_) return;
  SetHandle(nullptr);
  ReleaseDC(window_, windowDC_);
  windowDC_ = nullptr;
}

void TWindowCanvas::CreateHandle() {
  if (!window_) return;
  windowDC_ = wholeWindow_ ? GetWindowDC(window_) : GetDC(window_);
  if (windowDC_) SetHandle(windowDC_);
}

void TransparentStretchBlt(HDC dest, int x, int y, int width, int height, HDC source, int srcX, int srcY,
                           int srcWidth, int srcHeight, HDC mask, int maskX, int maskY) {
  if (srcWidth <= 0 || srcHeight <= 0) return;
  // The source with its transparent pixels black...
  TGdiObject<HBITMAP> image(NewBitmap(pf32bit, srcWidth, srcHeight));
  TCheckedBitmapDC imageDC(image.Get());
  {
    TColorsScope colors(imageDC, kBlack, kWhite);
    BitBlt(imageDC, 0, 0, srcWidth, srcHeight, source, srcX, srcY, SRCCOPY);
    BitBlt(imageDC, 0, 0, srcWidth, srcHeight, mask, maskX, maskY, kDSna);
  }
  // ...ORed onto the destination whose pixels under the opaque part were made black.
  TColorsScope colors(dest, kBlack, kWhite);
  StretchBlt(dest, x, y, width, height, mask, maskX, maskY, srcWidth, srcHeight, SRCAND);
  StretchBlt(dest, x, y, width, height, imageDC, 0, 0, srcWidth, srcHeight, SRCPAINT);
}
