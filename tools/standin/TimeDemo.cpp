#include "tools/standin/TimeDemo.h"

#include <windows.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <sstream>

namespace {

constexpr int kMaxFrames = 10000000;
constexpr size_t kMaxEntries = 100000;

bool ParseNumber(const std::string& s, double& value) {
  if (s.empty()) return false;
  char* end = nullptr;
  errno = 0;
  value = std::strtod(s.c_str(), &end);
  return errno == 0 && end == s.c_str() + s.size();
}

bool ParseColor(const std::string& s, uint32_t& color) {
  if (s.size() != 6) return false;
  uint32_t v = 0;
  for (char c : s) {
    v <<= 4;
    if (c >= '0' && c <= '9') v |= static_cast<uint32_t>(c - '0');
    else if (c >= 'a' && c <= 'f') v |= static_cast<uint32_t>(c - 'a' + 10);
    else if (c >= 'A' && c <= 'F') v |= static_cast<uint32_t>(c - 'A' + 10);
    else return false;
  }
  color = v;
  return true;
}

TVec3 CatmullRom(const TVec3& p0, const TVec3& p1, const TVec3& p2, const TVec3& p3, double t) {
  auto f = [t](double a, double b, double c, double d) {
    double t2 = t * t, t3 = t2 * t;
    return 0.5 * (2 * b + (-a + c) * t + (2 * a - 5 * b + 4 * c - d) * t2 + (-a + 3 * b - 3 * c + d) * t3);
  };
  return {f(p0.x, p1.x, p2.x, p3.x), f(p0.y, p1.y, p2.y, p3.y), f(p0.z, p1.z, p2.z, p3.z)};
}

}  // namespace

bool TTimeDemo::LoadFromFile(const std::string& path, std::string& error) {
  HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    error = GetLastError() == ERROR_FILE_NOT_FOUND || GetLastError() == ERROR_PATH_NOT_FOUND
                ? "file not found"
                : "cannot open the file";
    return false;
  }
  std::string text;
  LARGE_INTEGER size{};
  bool ok = GetFileSizeEx(file, &size) && size.QuadPart < 64 * 1024 * 1024;
  if (ok) {
    text.resize(static_cast<size_t>(size.QuadPart));
    DWORD read = 0;
    ok = text.empty() || (ReadFile(file, text.data(), static_cast<DWORD>(text.size()), &read, nullptr) &&
                          read == text.size());
  }
  CloseHandle(file);
  if (!ok) {
    error = "cannot read the file";
    return false;
  }
  return LoadFromText(text, error);
}

bool TTimeDemo::LoadFromText(const std::string& text, std::string& error) {
  *this = TTimeDemo();
  std::istringstream in(text);
  std::string line;
  int lineNo = 0;
  bool signed_ = false;
  auto fail = [&](const std::string& why) {
    error = "line " + std::to_string(lineNo) + ": " + why;
    return false;
  };
  while (std::getline(in, line)) {
    ++lineNo;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    std::istringstream words(line);
    std::vector<std::string> w;
    for (std::string s; words >> s;) w.push_back(s);
    if (w.empty() || w[0].rfind("--", 0) == 0) continue;
    if (!signed_) {
      if (w.size() != 2 || w[0] != "QTMD" || w[1] != "1") return fail("not a Quenmar time demo");
      signed_ = true;
      continue;
    }
    std::vector<double> n;
    auto numbers = [&](size_t from, size_t count) {
      n.assign(count, 0);
      if (w.size() < from + count) return false;
      for (size_t i = 0; i < count; ++i)
        if (!ParseNumber(w[from + i], n[i])) return false;
      return true;
    };
    const std::string& key = w[0];
    if (key == "level") {
      level_ = line.substr(line.find("level") + 5);
      level_.erase(0, level_.find_first_not_of(" \t"));
    } else if (key == "frames") {
      if (w.size() != 2 || !numbers(1, 1) || n[0] < 1 || n[0] > kMaxFrames || n[0] != static_cast<int>(n[0]))
        return fail("bad frame count");
      frames_ = static_cast<int>(n[0]);
    } else if (key == "sky") {
      if (w.size() != 3 || !ParseColor(w[1], skyTop_) || !ParseColor(w[2], skyHorizon_)) return fail("bad sky");
    } else if (key == "ground") {
      if (w.size() != 2 || !ParseColor(w[1], ground_)) return fail("bad ground");
    } else if (key == "fog") {
      if (w.size() != 3 || !ParseColor(w[1], fogColor_) || !numbers(2, 1) || n[0] <= 0) return fail("bad fog");
      fogDistance_ = n[0];
    } else if (key == "camera") {
      if (w.size() != 8 || !numbers(1, 7) || n[0] < 1 || n[0] != static_cast<int>(n[0]))
        return fail("bad camera key");
      TCameraKey k{static_cast<int>(n[0]), {n[1], n[2], n[3]}, {n[4], n[5], n[6]}};
      if (!keys_.empty() && k.frame <= keys_.back().frame) return fail("camera keys out of order");
      keys_.push_back(k);
    } else if (key == "box") {
      uint32_t color = 0;
      if (w.size() != 8 || !numbers(1, 6) || !ParseColor(w[7], color) || n[3] <= 0 || n[4] <= 0 || n[5] <= 0)
        return fail("bad box");
      boxes_.push_back({{n[0], n[1], n[2]}, {n[3], n[4], n[5]}, color});
    } else if (key == "light") {
      uint32_t color = 0;
      if (w.size() != 6 || !numbers(1, 4) || !ParseColor(w[5], color) || n[3] <= 0) return fail("bad light");
      lights_.push_back({{n[0], n[1], n[2]}, n[3], color});
    } else {
      return fail("unknown entry \"" + key + "\"");
    }
    if (keys_.size() + boxes_.size() + lights_.size() > kMaxEntries) return fail("too many entries");
  }
  if (!signed_) return fail("not a Quenmar time demo");
  if (frames_ == 0) return fail("no frame count");
  if (keys_.empty()) return fail("no camera keys");
  if (keys_.back().frame > frames_) return fail("camera key beyond the last frame");
  return true;
}

void TTimeDemo::CameraAt(double frame, TVec3& eye, TVec3& target) const {
  const size_t count = keys_.size();
  size_t i = 0;
  while (i + 1 < count && keys_[i + 1].frame <= frame) ++i;
  if (i + 1 >= count || frame <= keys_[i].frame) {
    eye = keys_[i].eye;
    target = keys_[i].target;
    return;
  }
  const TCameraKey& k0 = keys_[i > 0 ? i - 1 : i];
  const TCameraKey& k1 = keys_[i];
  const TCameraKey& k2 = keys_[i + 1];
  const TCameraKey& k3 = keys_[std::min(i + 2, count - 1)];
  double t = (frame - k1.frame) / static_cast<double>(k2.frame - k1.frame);
  eye = CatmullRom(k0.eye, k1.eye, k2.eye, k3.eye, t);
  target = CatmullRom(k0.target, k1.target, k2.target, k3.target, t);
}
