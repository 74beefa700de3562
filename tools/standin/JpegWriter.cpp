#include "tools/standin/JpegWriter.h"

// libjpeg's own "boolean" clashes with the one of the Windows headers, so this unit keeps
// them apart and speaks to the rest of the game only through plain types.
#include <csetjmp>
#include <cstdio>
#include <vector>

extern "C" {
#include <jpeglib.h>
}

namespace {

struct TErrorManager {
  jpeg_error_mgr base;
  std::jmp_buf escape;
  char message[JMSG_LENGTH_MAX];
};

// The library's default ends the process; a failed screenshot must only be reported.
void ErrorExit(j_common_ptr info) {
  auto* manager = reinterpret_cast<TErrorManager*>(info->err);
  (*info->err->format_message)(info, manager->message);
  std::longjmp(manager->escape, 1);
}

}  // namespace

bool SaveJpeg(const std::string& path, int width, int height, const uint32_t* pixels, int quality,
              std::string& error) {
  FILE* file = std::fopen(path.c_str(), "wb");
  if (!file) {
    error = "cannot create " + path;
    return false;
  }
  std::vector<JSAMPLE> row(static_cast<size_t>(width) * 3);
  jpeg_compress_struct info{};
  TErrorManager errors{};
  info.err = jpeg_std_error(&errors.base);
  errors.base.error_exit = ErrorExit;
  if (setjmp(errors.escape)) {
    jpeg_destroy_compress(&info);
    std::fclose(file);
    std::remove(path.c_str());
    error = errors.message;
    return false;
  }
  jpeg_create_compress(&info);
  jpeg_stdio_dest(&info, file);
  info.image_width = static_cast<JDIMENSION>(width);
  info.image_height = static_cast<JDIMENSION>(height);
  info.input_components = 3;
  info.in_color_space = JCS_RGB;
  jpeg_set_defaults(&info);
  jpeg_set_quality(&info, quality, TRUE);
  jpeg_start_compress(&info, TRUE);
  while (info.next_scanline < info.image_height) {
    const uint32_t* src = pixels + static_cast<size_t>(info.next_scanline) * width;
    for (int x = 0; x < width; ++x) {
      row[x * 3] = static_cast<JSAMPLE>((src[x] >> 16) & 255);
      row[x * 3 + 1] = static_cast<JSAMPLE>((src[x] >> 8) & 255);
      row[x * 3 + 2] = static_cast<JSAMPLE>(src[x] & 255);
    }
    JSAMPROW rows[1] = {row.data()};
    jpeg_write_scanlines(&info, rows, 1);
  }
  jpeg_finish_compress(&info);
  jpeg_destroy_compress(&info);
  bool ok = std::fclose(file) == 0;
  if (!ok) {
    std::remove(path.c_str());
    error = "cannot write " + path;
  }
  return ok;
}
