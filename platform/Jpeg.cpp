#include "platform/Jpeg.h"

#include <climits>
#include <csetjmp>
#include <cstdint>
#include <cstdio>
#include <cstring>

extern "C" {
#include <jpeglib.h>
}

namespace {

// libjpeg reports through callbacks and expects error_exit not to return: it jumps back to
// the one function below that calls the library, so no C++ frame is ever skipped.
struct TJpegError {
  jpeg_error_mgr manager;  // first, so libjpeg's pointer to it is a pointer to the whole
  std::jmp_buf jump;
  char message[JMSG_LENGTH_MAX];
};

// Pictures larger than this are refused rather than allocated.
constexpr std::uint64_t kMaxPixelBytes = 256u * 1024 * 1024;

}  // namespace

extern "C" {

static void JpegErrorExit(j_common_ptr info) {
  auto* error = reinterpret_cast<TJpegError*>(info->err);
  (*info->err->format_message)(info, error->message);
  std::longjmp(error->jump, 1);
}

// Level -1 is a warning about damaged data (a truncated stream, a bad marker): libjpeg would
// go on and fill in grey, but a damaged picture is an error here.
static void JpegEmitMessage(j_common_ptr info, int level) {
  if (level < 0) (*info->err->error_exit)(info);
}

static void JpegOutputMessage(j_common_ptr) {}

}  // extern "C"

namespace {

void SetMessage(TJpegError& error, const char* text) {
  std::snprintf(error.message, sizeof error.message, "%s", text);
}

// Decodes into a new bottom-up 24-bit DIB section; on failure returns nullptr with the reason
// in error.message. Only plain C data lives in this frame while libjpeg may jump into it.
HBITMAP Decode(const unsigned char* data, unsigned long size, TJpegError& error) {
  // Zeroed, so that destroying it is safe even if creating it failed.
  jpeg_decompress_struct info;
  std::memset(&info, 0, sizeof info);
  info.err = jpeg_std_error(&error.manager);
  error.manager.error_exit = JpegErrorExit;
  error.manager.emit_message = JpegEmitMessage;
  error.manager.output_message = JpegOutputMessage;
  HBITMAP volatile bitmap = nullptr;
  if (setjmp(error.jump)) {
    jpeg_destroy_decompress(&info);
    if (bitmap) DeleteObject(bitmap);
    return nullptr;
  }
  jpeg_create_decompress(&info);
  jpeg_mem_src(&info, data, size);
  jpeg_read_header(&info, TRUE);
  // Rows come out in the DIB's own byte order.
  info.out_color_space = JCS_EXT_BGR;
  jpeg_start_decompress(&info);

  const std::uint64_t stride = (static_cast<std::uint64_t>(info.output_width) * 3 + 3) & ~std::uint64_t{3};
  if (info.output_components != 3 || stride * info.output_height > kMaxPixelBytes) {
    SetMessage(error, "Picture too large");
    jpeg_destroy_decompress(&info);
    return nullptr;
  }
  BITMAPINFO bmi{};
  bmi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  bmi.bmiHeader.biWidth = static_cast<LONG>(info.output_width);
  bmi.bmiHeader.biHeight = static_cast<LONG>(info.output_height);
  bmi.bmiHeader.biPlanes = 1;
  bmi.bmiHeader.biBitCount = 24;
  bmi.bmiHeader.biCompression = BI_RGB;
  void* pixels = nullptr;
  bitmap = CreateDIBSection(nullptr, &bmi, DIB_RGB_COLORS, &pixels, nullptr, 0);
  if (!bitmap) {
    SetMessage(error, "Not enough memory for the picture");
    jpeg_destroy_decompress(&info);
    return nullptr;
  }
  while (info.output_scanline < info.output_height) {
    JSAMPROW row = static_cast<JSAMPLE*>(pixels) + (info.output_height - 1 - info.output_scanline) * stride;
    jpeg_read_scanlines(&info, &row, 1);
  }
  jpeg_finish_decompress(&info);
  jpeg_destroy_decompress(&info);
  return bitmap;
}

}  // namespace

TJPEGImage::TJPEGImage() : bitmap_(std::make_unique<TBitmap>()) {}

TJPEGImage::~TJPEGImage() = default;

void TJPEGImage::Assign(TPersistent* source) {
  if (source == this) return;
  if (!source) {
    bitmap_ = std::make_unique<TBitmap>();
    Changed();
    return;
  }
  if (auto* jpeg = dynamic_cast<TJPEGImage*>(source)) {
    bitmap_->Assign(jpeg->bitmap_.get());
    transparent_ = jpeg->transparent_;
    Changed();
    return;
  }
  TPersistent::Assign(source);
}

void TJPEGImage::Draw(TCanvas* canvas, const RECT& rect) { bitmap_->Draw(canvas, rect); }

void TJPEGImage::LoadFromMemory(const void* data, std::size_t size) {
  TJpegError error{};
  HBITMAP decoded = nullptr;
  if (size > ULONG_MAX)
    SetMessage(error, "Picture too large");
  else
    decoded = Decode(static_cast<const unsigned char*>(data), static_cast<unsigned long>(size), error);
  if (!decoded) throw EJPEG(Format("JPEG image is not valid: %s", error.message));
  auto bitmap = std::make_unique<TBitmap>();
  bitmap->SetHandle(decoded);
  bitmap_ = std::move(bitmap);
  Changed();
}

void TJPEGImage::LoadFromResource(HINSTANCE instance, LPCSTR name) {
  TResourceData resource = FindResourceData(instance, name, RT_RCDATA);
  LoadFromMemory(resource.data, resource.size);
}

std::unique_ptr<TGraphic> TJPEGImage::Clone() {
  auto copy = std::make_unique<TJPEGImage>();
  copy->Assign(this);
  return copy;
}
