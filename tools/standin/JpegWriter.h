// Screenshots of the stand-in game: a frame saved as a baseline JPEG through libjpeg.
#pragma once

#include <cstdint>
#include <string>

// Writes width x height pixels (rows top-down, each 0x00RRGGBB) as a JPEG file.
// Returns false, with the reason in error, when the file cannot be written.
bool SaveJpeg(const std::string& path, int width, int height, const uint32_t* pixels, int quality,
              std::string& error);
