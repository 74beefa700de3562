// Drawing over GDI: fonts, pens and brushes that tell when they change, the canvas that
// selects them into a device context, and the pictures drawn on it (bitmaps, icons, cursors).
//
// Index: GDI objects (TGraphicsObject, TFont, TPen, TBrush) · canvas (TCanvas, TCanvasBinding,
// TWindowCanvas, TransparentStretchBlt) · pictures (TGraphic, resources, TBitmap, TIcon,
// cursors, TPicture).
// Where the parts live: Graphics.cpp the GDI objects and the canvases; GraphicsPictures.cpp the
// pictures; GraphicsPrivate.h the masking helpers both use.
#pragma once

#include <windows.h>

#include <cstddef>
#include <memory>
#include <mutex>
#include <string>
#include <type_traits>
#include <vector>

#include "platform/Classes.h"
#include "platform/Colors.h"
#include "platform/Sets.h"
#include "platform/SysUtils.h"

class EInvalidGraphic : public Exception { using Exception::Exception; };
class EInvalidGraphicOperation : public Exception { using Exception::Exception; };
class EResNotFound : public Exception { using Exception::Exception; };

class TBitmap;
class TCanvas;

// Base of the GDI object wrappers: a lazily made handle that is dropped whenever a property
// that shapes it changes, and OnChange after every change.
class TGraphicsObject : public TPersistent {
 public:
  TGraphicsObject() = default;
  ~TGraphicsObject() override;
  TGraphicsObject(const TGraphicsObject&) = delete;
  TGraphicsObject& operator=(const TGraphicsObject&) = delete;

  TNotifyEvent OnChange;

 protected:
  HGDIOBJ ObjectHandle();
  virtual HGDIOBJ MakeHandle() = 0;
  // The handle no longer matches the properties: listeners hear of the change while the old
  // handle still exists (so a canvas can take it out of its device context), then it goes.
  void HandleChanged();
  void Changed();

 private:
  HGDIOBJ handle_ = nullptr;
};

enum TFontStyle { fsBold, fsItalic, fsUnderline, fsStrikeOut };
using TFontStyles = TSet<TFontStyle>;
enum TFontPitch { fpDefault, fpVariable, fpFixed };
using TFontCharset = BYTE;

// The points-to-pixels scale of fonts: the screen's logical pixels per inch (vertical).
int ScreenPixelsPerInch();

// A capability of the display (GetDeviceCaps: BITSPIXEL, PLANES, NUMCOLORS...), asked once and
// kept until the display's mode changes: asking costs a trip to the window server, and
// painting asks again and again.
int DisplayCaps(int index);
// The display's mode changed (WM_DISPLAYCHANGE): the capabilities are asked again.
void DisplayChanged();

// A device context with the display's metrics for measuring text (extents, metrics, DrawText
// with DT_CALCRECT), never for drawing. On the GUI thread it is one display context kept for
// the process, its state saved and restored around each use: a screen context fetched from
// the window server costs a round trip each time, and a window's start measures its labels
// and captions by the dozen. Another thread gets a screen context of its own.
class TMeasureDC {
 public:
  TMeasureDC();
  ~TMeasureDC();
  TMeasureDC(const TMeasureDC&) = delete;
  TMeasureDC& operator=(const TMeasureDC&) = delete;
  operator HDC() const { return dc_; }

 private:
  HDC dc_ = nullptr;
  int saved_ = 0;
};

class TFont : public TGraphicsObject {
 public:
  // "Tahoma", 8 points, clWindowText, DEFAULT_CHARSET.
  TFont();
  void Assign(TPersistent* source) override;

  HFONT Handle() { return static_cast<HFONT>(ObjectHandle()); }
  // Takes the attributes of `font`; the caller keeps its handle.
  void SetHandle(HFONT font);

  const std::string& Name() const { return name_; }
  void SetName(const std::string& name);
  // Points; derived from Height with the screen's pixels per inch.
  int Size() const;
  void SetSize(int points);
  // Pixels: negative for the character height, positive for the cell height.
  int Height() const { return height_; }
  void SetHeight(int pixels);
  TFontStyles Style() const { return style_; }
  void SetStyle(TFontStyles style);
  TColor Color() const { return color_; }
  void SetColor(TColor color);
  TFontCharset Charset() const { return charset_; }
  void SetCharset(TFontCharset charset);
  TFontPitch Pitch() const { return pitch_; }
  void SetPitch(TFontPitch pitch);
  // The angle of the text's baseline and of each character, in tenths of a degree
  // counter-clockwise from the x axis (0: level text). Rotated text is drawn with a rotated
  // canvas font, so the canvas keeps owning and freeing the handle.
  int Escapement() const { return escapement_; }
  void SetEscapement(int tenthsOfDegree);
  int Orientation() const { return orientation_; }
  void SetOrientation(int tenthsOfDegree);
  int PixelsPerInch() const { return pixelsPerInch_; }

 protected:
  HGDIOBJ MakeHandle() override;

 private:
  // The attributes that shape the handle.
  struct TShape {
    std::string name;
    int height;
    TFontStyles style;
    TFontCharset charset;
    TFontPitch pitch;
    int escapement;
    int orientation;
    bool operator==(const TShape&) const = default;
  };
  TShape Shape() const;
  void SetAll(const TShape& shape, TColor color);
  template <typename T>
  void SetShapeMember(T TShape::*member, T value) {
    TShape shape = Shape();
    shape.*member = value;
    SetAll(shape, color_);
  }
  std::string name_;
  int height_;
  TFontStyles style_;
  TColor color_ = clWindowText;
  TFontCharset charset_ = DEFAULT_CHARSET;
  TFontPitch pitch_ = fpDefault;
  int escapement_ = 0;
  int orientation_ = 0;
  int pixelsPerInch_;
};

enum TPenStyle { psSolid, psDash, psDot, psDashDot, psDashDotDot, psClear, psInsideFrame };
enum TPenMode {
  pmBlack, pmWhite, pmNop, pmNot, pmCopy, pmNotCopy, pmMergePenNot, pmMaskPenNot,
  pmMergeNotPen, pmMaskNotPen, pmMerge, pmNotMerge, pmMask, pmNotMask, pmXor, pmNotXor
};

class TPen : public TGraphicsObject {
 public:
  // Black, one pixel, solid, copy mode.
  TPen() = default;
  void Assign(TPersistent* source) override;

  HPEN Handle() { return static_cast<HPEN>(ObjectHandle()); }
  TColor Color() const { return color_; }
  void SetColor(TColor color);
  int Width() const { return width_; }
  void SetWidth(int width);
  TPenStyle Style() const { return style_; }
  void SetStyle(TPenStyle style);
  // The raster operation lines are drawn with; not part of the handle.
  TPenMode Mode() const { return mode_; }
  void SetMode(TPenMode mode);
  // The R2_ code of Mode.
  int Rop2() const;

 protected:
  HGDIOBJ MakeHandle() override;

 private:
  TColor color_ = clBlack;
  int width_ = 1;
  TPenStyle style_ = psSolid;
  TPenMode mode_ = pmCopy;
};

enum TBrushStyle { bsSolid, bsClear, bsHorizontal, bsVertical, bsFDiagonal, bsBDiagonal, bsCross, bsDiagCross };

class TBrush : public TGraphicsObject {
 public:
  // White and solid.
  TBrush();
  ~TBrush() override;
  void Assign(TPersistent* source) override;

  HBRUSH Handle() { return static_cast<HBRUSH>(ObjectHandle()); }
  TColor Color() const { return color_; }
  // A clear brush given a colour becomes solid.
  void SetColor(TColor color);
  TBrushStyle Style() const { return style_; }
  void SetStyle(TBrushStyle style);
  // The pattern the brush paints with instead of its colour and style; the brush keeps its
  // own copy of `bitmap` (nullptr removes the pattern).
  TBitmap* Bitmap() const { return bitmap_.get(); }
  void SetBitmap(TBitmap* bitmap);

 protected:
  HGDIOBJ MakeHandle() override;

 private:
  TColor color_ = clWhite;
  TBrushStyle style_ = bsSolid;
  std::unique_ptr<TBitmap> bitmap_;
};

// Raster operations of CopyRect and of Draw for opaque bitmaps.
using TCopyMode = DWORD;
constexpr TCopyMode cmBlackness = BLACKNESS;
constexpr TCopyMode cmDstInvert = DSTINVERT;
constexpr TCopyMode cmMergeCopy = MERGECOPY;
constexpr TCopyMode cmMergePaint = MERGEPAINT;
constexpr TCopyMode cmNotSrcCopy = NOTSRCCOPY;
constexpr TCopyMode cmNotSrcErase = NOTSRCERASE;
constexpr TCopyMode cmPatCopy = PATCOPY;
constexpr TCopyMode cmPatInvert = PATINVERT;
constexpr TCopyMode cmPatPaint = PATPAINT;
constexpr TCopyMode cmSrcAnd = SRCAND;
constexpr TCopyMode cmSrcCopy = SRCCOPY;
constexpr TCopyMode cmSrcErase = SRCERASE;
constexpr TCopyMode cmSrcInvert = SRCINVERT;
constexpr TCopyMode cmSrcPaint = SRCPAINT;
constexpr TCopyMode cmWhiteness = WHITENESS;

class TGraphic;

// Drawing on a device context with the canvas's font, pen and brush, which are selected
// into it on use; the context's own objects are put back when the handle is released.
// A derived canvas that has no context until it draws overrides CreateHandle.
class TCanvas : public TPersistent {
 public:
  TCanvas();
  ~TCanvas() override;
  TCanvas(const TCanvas&) = delete;
  TCanvas& operator=(const TCanvas&) = delete;

  // The device context with font, pen and brush selected and their colours and modes set,
  // ready for direct GDI calls. Raises EInvalidGraphicOperation when there is none.
  HDC Handle();
  // Binds the canvas to `dc` (nullptr releases it); the caller keeps the context.
  void SetHandle(HDC dc);
  bool HandleAllocated() const { return dc_ != nullptr; }

  TFont* Font() const { return font_.get(); }
  void SetFont(TFont* font) { font_->Assign(font); }
  TPen* Pen() const { return pen_.get(); }
  void SetPen(TPen* pen) { pen_->Assign(pen); }
  TBrush* Brush() const { return brush_.get(); }
  void SetBrush(TBrush* brush) { brush_->Assign(brush); }
  TCopyMode CopyMode() const { return copyMode_; }
  void SetCopyMode(TCopyMode mode) { copyMode_ = mode; }

  POINT PenPos();
  void SetPenPos(POINT pos) { MoveTo(pos.x, pos.y); }
  void MoveTo(int x, int y);
  // Draws to (x, y) without its last pixel and moves the pen there.
  void LineTo(int x, int y);
  void Polyline(const std::vector<POINT>& points);
  void Polygon(const std::vector<POINT>& points);
  void Rectangle(int x1, int y1, int x2, int y2);
  void Rectangle(const RECT& rect) { Rectangle(rect.left, rect.top, rect.right, rect.bottom); }
  void RoundRect(int x1, int y1, int x2, int y2, int cornerWidth, int cornerHeight);
  void Ellipse(int x1, int y1, int x2, int y2);
  void Ellipse(const RECT& rect) { Ellipse(rect.left, rect.top, rect.right, rect.bottom); }
  // Fill and frame with the brush, without the pen.
  void FillRect(const RECT& rect);
  void FrameRect(const RECT& rect);
  void DrawFocusRect(const RECT& rect);
  TColor Pixels(int x, int y);
  void SetPixels(int x, int y, TColor color);

  // Text at (x, y) in the font's colour, on the brush colour unless the brush is clear.
  void TextOut(int x, int y, const std::string& text);
  // The same, clipped to `rect`, which is filled with the brush unless the brush is clear.
  void TextRect(const RECT& rect, int x, int y, const std::string& text);
  SIZE TextExtent(const std::string& text);
  int TextWidth(const std::string& text) { return TextExtent(text).cx; }
  int TextHeight(const std::string& text) { return TextExtent(text).cy; }

  // The graphic at its own size with its top-left corner at (x, y).
  void Draw(int x, int y, TGraphic* graphic);
  void StretchDraw(const RECT& rect, TGraphic* graphic);
  // Copies (stretching) `source`'s rectangle into `dest` with CopyMode.
  void CopyRect(const RECT& dest, TCanvas* source, const RECT& sourceRect);
  // Copies `source`'s rectangle of the bitmap into `dest` with the pixels of `color`
  // replaced by the brush (left as they were on the canvas when the brush is clear).
  void BrushCopy(const RECT& dest, TBitmap* source, const RECT& sourceRect, TColor color);

  // The part of the context that drawing can reach, in logical coordinates.
  RECT ClipRect();

  // Keeps other threads off the canvas until the matching Unlock.
  void Lock();
  bool TryLock();
  void Unlock();
  int LockCount() const { return lockCount_; }

 protected:
  // Called when a context is needed and none is bound; a derived canvas binds one here
  // with SetHandle.
  virtual void CreateHandle() {}

 private:
  enum Kind { kFont, kPen, kBrush, kKinds };
  HDC RequireHandle();
  void Select(Kind kind);
  void SelectFont();
  void SelectPen();
  void SelectBrush();
  void Deselect(Kind kind);
  void DeselectAll();

  HDC dc_ = nullptr;
  std::unique_ptr<TFont> font_;
  std::unique_ptr<TPen> pen_;
  std::unique_ptr<TBrush> brush_;
  TCopyMode copyMode_ = cmSrcCopy;
  HGDIOBJ selected_[kKinds] = {};
  HGDIOBJ original_[kKinds] = {};
  std::recursive_mutex lock_;
  int lockCount_ = 0;
};

// Binds a canvas to a device context the caller owns for one scope, and unbinds it at the
// end (the context gets its own objects back), also when the drawing raises.
class TCanvasBinding {
 public:
  TCanvasBinding(TCanvas* canvas, HDC dc) : canvas_(canvas) { canvas_->SetHandle(dc); }
  ~TCanvasBinding() { canvas_->SetHandle(nullptr); }
  TCanvasBinding(const TCanvasBinding&) = delete;
  TCanvasBinding& operator=(const TCanvasBinding&) = delete;

 private:
  TCanvas* canvas_;
};

// A canvas on a window's device context, fetched when first needed and given back by
// FreeHandle or the destructor: the client area (GetDC) or, for painting frames and other
// non-client parts, the whole window (GetWindowDC).
class TWindowCanvas : public TCanvas {
 public:
  explicit TWindowCanvas(HWND window = nullptr, bool wholeWindow = false);
  ~TWindowCanvas() override;

  HWND Window() const { return window_; }
  void SetWindow(HWND window);
  bool WholeWindow() const { return wholeWindow_; }
  void SetWholeWindow(bool wholeWindow);
  void FreeHandle();

 protected:
  void CreateHandle() override;

 private:
  HWND window_;
  bool wholeWindow_;
  HDC windowDC_ = nullptr;
};

// Copies the source rectangle stretched into the destination rectangle, leaving the
// destination unchanged where the monochrome mask is white (mask and source aligned).
void TransparentStretchBlt(HDC dest, int x, int y, int width, int height, HDC source, int srcX, int srcY,
                           int srcWidth, int srcHeight, HDC mask, int maskX, int maskY);

// A picture of any kind: drawn onto a canvas, loaded from a file, from memory or from the
// program's resources.
class TGraphic : public TPersistent {
 public:
  TNotifyEvent OnChange;

  virtual bool Empty() const = 0;
  virtual int Width() const = 0;
  virtual int Height() const = 0;
  bool Transparent() const { return transparent_; }
  virtual void SetTransparent(bool transparent);

  // Draws the picture stretched into `rect`.
  virtual void Draw(TCanvas* canvas, const RECT& rect) = 0;

  // Raises EFOpenError or EReadError when the file cannot be opened or read (ReadFileContents)
  // and EInvalidGraphic when its content is not a picture of this kind.
  void LoadFromFile(const std::string& fileName);
  virtual void LoadFromMemory(const void* data, std::size_t size) = 0;
  // Raises EResNotFound when the program has no such resource.
  void LoadFromResourceName(HINSTANCE instance, const std::string& name);
  void LoadFromResourceID(HINSTANCE instance, int id);

  // A new graphic of the same class holding a copy of this picture.
  virtual std::unique_ptr<TGraphic> Clone() = 0;

 protected:
  // `name` is a resource name or a MAKEINTRESOURCE identifier.
  virtual void LoadFromResource(HINSTANCE instance, LPCSTR name) = 0;
  void Changed();

  bool transparent_ = false;
};

// The bytes of a resource; raises EResNotFound when it is missing.
struct TResourceData {
  const void* data;
  DWORD size;
};
TResourceData FindResourceData(HINSTANCE instance, LPCSTR name, LPCSTR type);
// "NAME" or "#12" for a resource name or identifier, as error messages show them.
std::string ResourceNameText(LPCSTR name);

enum TPixelFormat { pfDevice, pf1bit, pf4bit, pf8bit, pf15bit, pf16bit, pf24bit, pf32bit, pfCustom };
enum TTransparentMode { tmAuto, tmFixed };

class TBitmapCanvas;

// A device-independent bitmap with a canvas to draw on it. Transparent bitmaps are drawn
// without the pixels of TransparentColor.
class TBitmap : public TGraphic {
 public:
  TBitmap();
  TBitmap(int width, int height);
  ~TBitmap() override;

  // A TBitmap is copied; other graphics are drawn onto a bitmap of their size; nullptr empties.
  void Assign(TPersistent* source) override;

  bool Empty() const override { return width_ <= 0 || height_ <= 0; }
  int Width() const override { return width_; }
  int Height() const override { return height_; }
  // Resizing keeps the pixels that still fit; new pixels are black.
  void SetWidth(int width) { SetSize(width, height_); }
  void SetHeight(int height) { SetSize(width_, height); }
  void SetSize(int width, int height);

  // New bitmaps are pf24bit; pfDevice means the screen's depth, pfCustom is only reported.
  TPixelFormat PixelFormat() const;
  void SetPixelFormat(TPixelFormat format);
  bool Monochrome() const { return PixelFormat() == pf1bit; }
  // Off turns a monochrome bitmap into pf24bit.
  void SetMonochrome(bool monochrome);

  TCanvas* Canvas();
  // The bitmap (nullptr while empty), taken out of the canvas's context so it can be
  // handed to calls that need it unselected; it stays owned by this object.
  HBITMAP Handle();
  // Takes ownership of `bitmap`.
  void SetHandle(HBITMAP bitmap);
  // Gives up the bitmap to the caller; this object is empty afterwards.
  HBITMAP ReleaseHandle();
  // A monochrome mask, white where the bitmap has TransparentColor, made from the current
  // pixels at each call; owned by this object (valid until the next call or a change).
  HBITMAP MaskHandle();

  // tmAuto: the bottom-left pixel; tmFixed: the colour set.
  TColor TransparentColor();
  // Fixes the colour (tmFixed); clDefault returns to tmAuto.
  void SetTransparentColor(TColor color);
  TTransparentMode TransparentMode() const { return transparentMode_; }
  void SetTransparentMode(TTransparentMode mode);

  void Draw(TCanvas* canvas, const RECT& rect) override;
  // Reads a .bmp file image: uncompressed, bit fields or run-length encoded, 1 to 32 bits.
  void LoadFromMemory(const void* data, std::size_t size) override;
  // Writes a .bmp file; raises EFCreateError when the file cannot be made.
  void SaveToFile(const std::string& fileName);
  std::vector<unsigned char> SaveToMemory();
  std::unique_ptr<TGraphic> Clone() override;

 protected:
  // A bitmap resource (RT_BITMAP).
  void LoadFromResource(HINSTANCE instance, LPCSTR name) override;

 private:
  friend class TBitmapCanvas;
  void FreeContext();
  void Replace(HBITMAP bitmap);
  void FreeMask();
  HDC SourceDC();

  HBITMAP handle_ = nullptr;
  int width_ = 0;
  int height_ = 0;
  TPixelFormat format_ = pf24bit;
  std::unique_ptr<TBitmapCanvas> canvas_;
  HBITMAP mask_ = nullptr;
  TColor transparentColor_ = clDefault;
  TTransparentMode transparentMode_ = tmAuto;
};

// An icon from the resources, an .ico file image or a handle; always drawn transparent.
class TIcon : public TGraphic {
 public:
  TIcon();
  ~TIcon() override;
  TIcon(const TIcon&) = delete;
  TIcon& operator=(const TIcon&) = delete;
  void Assign(TPersistent* source) override;

  bool Empty() const override { return handle_ == nullptr; }
  int Width() const override { return width_; }
  int Height() const override { return height_; }
  HICON Handle() const { return handle_; }
  // Takes ownership of `icon`.
  void SetHandle(HICON icon);
  HICON ReleaseHandle();

  void Draw(TCanvas* canvas, const RECT& rect) override;
  // An .ico file image; the entry nearest to the system's icon size is taken.
  void LoadFromMemory(const void* data, std::size_t size) override;
  // A group icon resource at the given size (0 for the system's icon size).
  using TGraphic::LoadFromResourceName;
  void LoadFromResourceName(HINSTANCE instance, const std::string& name, int width, int height);
  std::unique_ptr<TGraphic> Clone() override;

 protected:
  void LoadFromResource(HINSTANCE instance, LPCSTR name) override;

 private:
  void LoadSized(HINSTANCE instance, LPCSTR name, int width, int height);
  HICON handle_ = nullptr;
  int width_ = 0;
  int height_ = 0;
};

struct TCursorDeleter {
  void operator()(HCURSOR cursor) const { DestroyCursor(cursor); }
};
using TCursorHandle = std::unique_ptr<std::remove_pointer_t<HCURSOR>, TCursorDeleter>;
// A cursor resource of the program, destroyed with the returned holder; raises EResNotFound.
TCursorHandle LoadCursorFromResourceName(HINSTANCE instance, const std::string& name);
// The system's cursor `id` (IDC_ARROW...), never destroyed. The system shares one with the
// whole process, but asking for it is a trip to the window server each time: every window
// class and every cursor change asks, so it is asked for once.
HCURSOR SystemCursor(LPCSTR id);

// Holds one picture of any kind and tells when it changes.
class TPicture : public TPersistent {
 public:
  TPicture();
  ~TPicture() override;
  TPicture(const TPicture&) = delete;
  TPicture& operator=(const TPicture&) = delete;

  TNotifyEvent OnChange;

  // A TPicture or a TGraphic is copied; nullptr empties.
  void Assign(TPersistent* source) override;

  TGraphic* Graphic() const { return graphic_.get(); }
  // Holds a copy of `graphic` (nullptr empties).
  void SetGraphic(TGraphic* graphic);
  // The picture as a bitmap: a picture of another kind is first turned into one.
  TBitmap* Bitmap();
  void SetBitmap(TBitmap* bitmap) { SetGraphic(bitmap); }
  int Width() const { return graphic_ ? graphic_->Width() : 0; }
  int Height() const { return graphic_ ? graphic_->Height() : 0; }

  // The kind follows the extension: .bmp, .jpg/.jpeg/.jpe/.jfif, .ico.
  void LoadFromFile(const std::string& fileName);
  // A bitmap resource, or RCDATA holding a JPEG (it begins FF D8) or a .bmp file image.
  void LoadFromResourceName(HINSTANCE instance, const std::string& name);

 private:
  void Take(std::unique_ptr<TGraphic> graphic);
  void Changed();
  std::unique_ptr<TGraphic> graphic_;
};
