#include "standin/JpegProbe.h"

// Without the Windows headers: their "boolean" clashes with libjpeg's.
#include <csetjmp>
#include <cstdio>
#include <vector>

extern "C" {
#include <jpeglib.h>
}

namespace {

struct TErrors {
  jpeg_error_mgr base;
  std::jmp_buf escape;
};

void Escape(j_common_ptr info) { std::longjmp(reinterpret_cast<TErrors*>(info->err)->escape, 1); }

}  // namespace

TJpegProbe ProbeJpeg(const std::string& path) {
  TJpegProbe result;
  FILE* file = std::fopen(path.c_str(), "rb");
  if (!file) return result;
  std::vector<JSAMPLE> row, previous;
  jpeg_decompress_struct info{};
  TErrors errors{};
  info.err = jpeg_std_error(&errors.base);
  errors.base.error_exit = Escape;
  if (setjmp(errors.escape)) {
    jpeg_destroy_decompress(&info);
    std::fclose(file);
    result.decoded = false;
    return result;
  }
  jpeg_create_decompress(&info);
  jpeg_stdio_src(&info, file);
  jpeg_read_header(&info, TRUE);
  jpeg_start_decompress(&info);
  result.width = static_cast<int>(info.output_width);
  result.height = static_cast<int>(info.output_height);
  row.resize(static_cast<size_t>(info.output_width) * info.output_components);
  while (info.output_scanline < info.output_height) {
    JSAMPROW rows[1] = {row.data()};
    jpeg_read_scanlines(&info, rows, 1);
    if (!previous.empty() && row != previous) ++result.distinctRows;
    previous = row;
  }
  jpeg_finish_decompress(&info);
  jpeg_destroy_decompress(&info);
  std::fclose(file);
  result.decoded = true;
  return result;
}
