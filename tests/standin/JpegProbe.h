// Decodes a JPEG file whole, to tell whether it is one and how large its picture is.
#pragma once

#include <string>

struct TJpegProbe {
  bool decoded = false;  // every scanline read without a library error
  int width = 0;
  int height = 0;
  int distinctRows = 0;  // rows that differ from the row above: 0 for a flat picture
};

TJpegProbe ProbeJpeg(const std::string& path);
