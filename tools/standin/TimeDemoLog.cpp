#include "tools/standin/TimeDemoLog.h"

#include <cmath>

TTimeDemoLog::~TTimeDemoLog() {
  if (file_ != INVALID_HANDLE_VALUE) CloseHandle(file_);
}

bool TTimeDemoLog::Open(const std::string& path) {
  file_ = CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                      FILE_ATTRIBUTE_NORMAL, nullptr);
  return file_ != INVALID_HANDLE_VALUE;
}

void TTimeDemoLog::Line(const std::string& text) {
  if (file_ == INVALID_HANDLE_VALUE) return;
  std::string line = text + "\r\n";
  DWORD written = 0;
  WriteFile(file_, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
}

void TTimeDemoLog::RunFinished(int run, const TRunStats& s) {
  const std::string n = std::to_string(run);
  const double fps = s.seconds > 0 ? s.frames / s.seconds : 0;
  const double meanMs = s.frames > 0 ? s.seconds * 1000 / s.frames : 0;
  Line("TimeDemo Run " + n + ", Average FPS: " + Fixed(fps, 2));
  Line(" Play time: " + Fixed(s.seconds, 3) + " s, frames: " + std::to_string(s.frames));
  Line(" Min FPS: " + Fixed(s.minFps, 2) + ", Max FPS: " + Fixed(s.maxFps, 2));
  Line(" Frame time: mean " + Fixed(meanMs, 2) + " ms, worst " + Fixed(s.worstFrameMs, 2) + " ms");
  Line("!TimeDemo Run " + n + " Finished.");
}

std::string TTimeDemoLog::Fixed(double value, int decimals) {
  if (!std::isfinite(value) || value < 0) value = 0;
  // Built from integers: the C library's formatting follows a locale that may not use ".".
  long long scale = 1;
  for (int i = 0; i < decimals; ++i) scale *= 10;
  const long long scaled = std::llround(value * static_cast<double>(scale));
  std::string fraction = std::to_string(scaled % scale);
  fraction.insert(0, static_cast<size_t>(decimals) - fraction.size(), '0');
  return std::to_string(scaled / scale) + (decimals > 0 ? "." + fraction : "");
}
