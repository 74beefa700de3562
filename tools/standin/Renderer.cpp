#include "tools/standin/Renderer.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace {

constexpr double kNear = 0.5;
constexpr double kVerticalFov = 60.0 * 3.14159265358979323846 / 180.0;

inline int Red(uint32_t c) { return static_cast<int>((c >> 16) & 255); }
inline int Green(uint32_t c) { return static_cast<int>((c >> 8) & 255); }
inline int Blue(uint32_t c) { return static_cast<int>(c & 255); }
inline uint32_t Pack(int r, int g, int b) {
  return (static_cast<uint32_t>(std::clamp(r, 0, 255)) << 16) | (static_cast<uint32_t>(std::clamp(g, 0, 255)) << 8) |
         static_cast<uint32_t>(std::clamp(b, 0, 255));
}
inline uint32_t Mix(uint32_t a, uint32_t b, double t) {
  return Pack(static_cast<int>(Red(a) + (Red(b) - Red(a)) * t), static_cast<int>(Green(a) + (Green(b) - Green(a)) * t),
              static_cast<int>(Blue(a) + (Blue(b) - Blue(a)) * t));
}
inline uint32_t Scale(uint32_t c, double s) {
  return Pack(static_cast<int>(Red(c) * s), static_cast<int>(Green(c) * s), static_cast<int>(Blue(c) * s));
}
inline COLORREF ToColorRef(uint32_t c) { return RGB(Red(c), Green(c), Blue(c)); }

TVec3 Sub(const TVec3& a, const TVec3& b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
double Dot(const TVec3& a, const TVec3& b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
TVec3 Cross(const TVec3& a, const TVec3& b) {
  return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
TVec3 Normalized(const TVec3& v) {
  double len = std::sqrt(Dot(v, v));
  return len > 1e-12 ? TVec3{v.x / len, v.y / len, v.z / len} : TVec3{0, 0, 1};
}

// Ground texture: fine noise over a coarse checker, one texel per world unit.
inline double Texel(double u, double v) {
  int iu = static_cast<int>(std::floor(u)), iv = static_cast<int>(std::floor(v));
  uint32_t h = static_cast<uint32_t>(iu) * 73856093u ^ static_cast<uint32_t>(iv) * 19349663u;
  h ^= h >> 13;
  h *= 0x5bd1e995u;
  h ^= h >> 15;
  return (h & 255) / 255.0 * 0.6 + (((iu >> 2) ^ (iv >> 2)) & 1) * 0.4;
}

}  // namespace

TRenderer::~TRenderer() {
  if (dc_) {
    if (oldBitmap_) SelectObject(dc_, oldBitmap_);
    DeleteDC(dc_);
  }
  if (bitmap_) DeleteObject(bitmap_);
}

bool TRenderer::Create(HDC reference, const TRenderOptions& options) {
  options_ = options;
  BITMAPINFO bmi{};
  bmi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  bmi.bmiHeader.biWidth = options.width;
  bmi.bmiHeader.biHeight = -options.height;  // top-down rows
  bmi.bmiHeader.biPlanes = 1;
  bmi.bmiHeader.biBitCount = 32;
  bmi.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  bitmap_ = CreateDIBSection(reference, &bmi, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (!bitmap_) return false;
  bits_ = static_cast<uint32_t*>(bits);
  dc_ = CreateCompatibleDC(reference);
  if (!dc_) return false;
  oldBitmap_ = SelectObject(dc_, bitmap_);
  scratch_.resize(static_cast<size_t>(options.width) * options.height);
  return true;
}

const uint32_t* TRenderer::Pixels() const {
  GdiFlush();
  return bits_;
}

void TRenderer::Present(HDC target) const {
  BitBlt(target, 0, 0, options_.width, options_.height, dc_, 0, 0, SRCCOPY);
}

void TRenderer::Render(const TTimeDemo& demo, double frame, const std::vector<std::string>& info) {
  TCamera cam;
  TVec3 target;
  demo.CameraAt(frame, cam.eye, target);
  cam.fwd = Normalized(Sub(target, cam.eye));
  if (std::fabs(cam.fwd.x) < 1e-6 && std::fabs(cam.fwd.z) < 1e-6) cam.fwd = {0, cam.fwd.y > 0 ? 0.999 : -0.999, 0.045};
  cam.fwd = Normalized(cam.fwd);
  cam.right = Normalized(Cross({0, 1, 0}, cam.fwd));
  cam.up = Cross(cam.fwd, cam.right);
  cam.cx = options_.width / 2.0;
  cam.cy = options_.height / 2.0;
  cam.focal = (options_.height / 2.0) / std::tan(kVerticalFov / 2);

  DrawSkyAndGround(demo, cam);
  DrawBoxes(demo, cam);
  GdiFlush();  // GDI must be done with the bits before the pixel passes touch them
  LightPass(demo, cam);
  if (options_.fsaaSamples > 1) SmoothEdges();
  if (options_.hdrLevel > 0) Bloom();
  if (options_.showInfo) DrawInfo(info);
  GdiFlush();
}

void TRenderer::DrawSkyAndGround(const TTimeDemo& demo, const TCamera& cam) {
  const int w = options_.width, h = options_.height;
  const double eyeHeight = std::max(cam.eye.y, 0.05);
  const double fogDistance = demo.FogDistance();
  const uint32_t ground = demo.Ground(), fog = demo.FogColor();
  const double groundDirLen = std::hypot(cam.fwd.x, cam.fwd.z);
  const double gx = cam.fwd.x / groundDirLen, gz = cam.fwd.z / groundDirLen;
  double offsets[16];
  for (int y = 0; y < h; ++y) {
    uint32_t* row = bits_ + static_cast<size_t>(y) * w;
    const double ys = -(y + 0.5 - cam.cy) / cam.focal;
    const double dy = cam.up.y * ys + cam.fwd.y;  // the view ray's climb; rows are level
    if (dy >= 0) {
      double elevation = std::min(1.0, dy / std::sqrt(1 + ys * ys) * 2.5);
      std::fill(row, row + w, Mix(demo.SkyHorizon(), demo.SkyTop(), elevation));
      continue;
    }
    const double depth = eyeHeight / -dy;
    if (depth >= fogDistance) {
      std::fill(row, row + w, fog);
      continue;
    }
    const double fogT = depth / fogDistance;
    // Where the row's rays hit the ground: affine along the row.
    const double baseX = cam.eye.x + (cam.up.x * ys + cam.fwd.x) * depth;
    const double baseZ = cam.eye.z + (cam.up.z * ys + cam.fwd.z) * depth;
    const double stepX = cam.right.x * depth / cam.focal, stepZ = cam.right.z * depth / cam.focal;
    // A pixel covers `across` units sideways and `along` units in depth; anisotropic
    // filtering spends up to its level of taps along the longer side.
    const double across = depth / cam.focal;
    const double along = std::fabs(cam.up.y) * depth * depth / (eyeHeight * cam.focal);
    const int taps = std::clamp(static_cast<int>(std::ceil(along / across)), 1, options_.anisotropy);
    for (int k = 0; k < taps; ++k) offsets[k] = ((k + 0.5) / taps - 0.5) * along;
    const double contrast = 0.35 / (1 + across * 0.5);
    const int gr = Red(ground), gg = Green(ground), gb = Blue(ground);
    const int fr = Red(fog), fg = Green(fog), fb = Blue(fog);
    double u = baseX + stepX * (0.5 - cam.cx), v = baseZ + stepZ * (0.5 - cam.cx);
    for (int x = 0; x < w; ++x, u += stepX, v += stepZ) {
      double sum = 0;
      for (int k = 0; k < taps; ++k) sum += Texel(u + gx * offsets[k], v + gz * offsets[k]);
      const double shade = (1 + contrast * (sum / taps * 2 - 1)) * (1 - fogT);
      row[x] = Pack(static_cast<int>(gr * shade + fr * fogT), static_cast<int>(gg * shade + fg * fogT),
                    static_cast<int>(gb * shade + fb * fogT));
    }
  }
}

void TRenderer::DrawBoxes(const TTimeDemo& demo, const TCamera& cam) {
  static const int kFaces[6][4] = {{0, 4, 6, 2}, {1, 3, 7, 5}, {0, 1, 5, 4}, {2, 6, 7, 3}, {0, 2, 3, 1}, {4, 5, 7, 6}};
  static const TVec3 kNormals[6] = {{-1, 0, 0}, {1, 0, 0}, {0, -1, 0}, {0, 1, 0}, {0, 0, -1}, {0, 0, 1}};
  const TVec3 sun = Normalized({0.45, 0.8, -0.35});
  const double fogDistance = demo.FogDistance();
  const auto& boxes = demo.Boxes();

  std::vector<std::pair<double, size_t>> order;
  order.reserve(boxes.size());
  for (size_t i = 0; i < boxes.size(); ++i) {
    const TDemoBox& b = boxes[i];
    TVec3 centre{b.base.x, b.base.y + b.size.y / 2, b.base.z};
    TVec3 d = Sub(centre, cam.eye);
    double reach = std::sqrt(Dot(b.size, b.size)) / 2;
    double dist = std::sqrt(Dot(d, d));
    if (dist - reach > fogDistance) continue;
    if (Dot(d, cam.fwd) < -reach) continue;  // wholly behind the eye
    order.push_back({dist, i});
  }
  std::sort(order.begin(), order.end(), [](const auto& a, const auto& b) { return a.first > b.first; });

  SelectObject(dc_, GetStockObject(DC_BRUSH));
  SelectObject(dc_, GetStockObject(DC_PEN));
  for (const auto& [dist, index] : order) {
    const TDemoBox& b = boxes[index];
    TVec3 corners[8];
    for (int c = 0; c < 8; ++c) {
      TVec3 p{b.base.x + ((c & 1) ? 0.5 : -0.5) * b.size.x, b.base.y + ((c & 2) ? b.size.y : 0),
              b.base.z + ((c & 4) ? 0.5 : -0.5) * b.size.z};
      TVec3 d = Sub(p, cam.eye);
      corners[c] = {Dot(d, cam.right), Dot(d, cam.up), Dot(d, cam.fwd)};
    }
    const double fogT = std::clamp(dist / fogDistance, 0.0, 1.0);
    for (int f = 0; f < 6; ++f) {
      const int* idx = kFaces[f];
      TVec3 faceCentre{b.base.x + kNormals[f].x * b.size.x / 2, b.base.y + b.size.y / 2 + kNormals[f].y * b.size.y / 2,
                       b.base.z + kNormals[f].z * b.size.z / 2};
      if (Dot(kNormals[f], Sub(faceCentre, cam.eye)) >= 0) continue;  // faces away
      // Clip the face against the near plane.
      TVec3 poly[8];
      int n = 0;
      for (int k = 0; k < 4; ++k) {
        const TVec3& a = corners[idx[k]];
        const TVec3& c = corners[idx[(k + 1) % 4]];
        bool aIn = a.z >= kNear, cIn = c.z >= kNear;
        if (aIn) poly[n++] = a;
        if (aIn != cIn) {
          double t = (kNear - a.z) / (c.z - a.z);
          poly[n++] = {a.x + (c.x - a.x) * t, a.y + (c.y - a.y) * t, kNear};
        }
      }
      if (n < 3) continue;
      POINT pts[8];
      for (int k = 0; k < n; ++k) {
        pts[k].x = static_cast<LONG>(std::clamp(cam.cx + poly[k].x / poly[k].z * cam.focal, -1e6, 1e6));
        pts[k].y = static_cast<LONG>(std::clamp(cam.cy - poly[k].y / poly[k].z * cam.focal, -1e6, 1e6));
      }
      double light = 0.45 + 0.55 * std::max(0.0, Dot(kNormals[f], sun));
      uint32_t color = Mix(Scale(b.color, light), demo.FogColor(), fogT);
      SetDCBrushColor(dc_, ToColorRef(color));
      SetDCPenColor(dc_, ToColorRef(Mix(Scale(color, 0.7), demo.FogColor(), fogT)));
      Polygon(dc_, pts, n);
    }
  }
}

void TRenderer::LightPass(const TTimeDemo& demo, const TCamera& cam) {
  const int w = options_.width, h = options_.height;
  struct TLit {
    double dist, sx, sy, r;
    uint32_t color;
  };
  std::vector<TLit> lit;
  for (const TDemoLight& l : demo.Lights()) {
    TVec3 d = Sub(l.pos, cam.eye);
    double z = Dot(d, cam.fwd);
    if (z < kNear) continue;
    double dist = std::sqrt(Dot(d, d));
    double fade = 1 - std::min(1.0, dist / demo.FogDistance());
    if (fade <= 0) continue;
    lit.push_back({dist, cam.cx + Dot(d, cam.right) / z * cam.focal, cam.cy - Dot(d, cam.up) / z * cam.focal,
                   l.radius / z * cam.focal, Scale(l.color, 0.5 * fade)});
  }
  std::sort(lit.begin(), lit.end(), [](const TLit& a, const TLit& b) { return a.dist < b.dist; });
  if (static_cast<int>(lit.size()) > options_.maxLights) lit.resize(static_cast<size_t>(std::max(0, options_.maxLights)));
  for (const TLit& l : lit) {
    if (l.r < 1) continue;
    const int x0 = std::max(0, static_cast<int>(l.sx - l.r)), x1 = std::min(w - 1, static_cast<int>(l.sx + l.r));
    const int y0 = std::max(0, static_cast<int>(l.sy - l.r)), y1 = std::min(h - 1, static_cast<int>(l.sy + l.r));
    const double inv = 1.0 / (l.r * l.r);
    const int lr = Red(l.color), lg = Green(l.color), lb = Blue(l.color);
    for (int y = y0; y <= y1; ++y) {
      uint32_t* row = bits_ + static_cast<size_t>(y) * w;
      const double dy = y + 0.5 - l.sy;
      for (int x = x0; x <= x1; ++x) {
        const double dx = x + 0.5 - l.sx;
        double q = 1 - (dx * dx + dy * dy) * inv;
        if (q <= 0) continue;
        q *= q;
        const uint32_t c = row[x];
        row[x] = Pack(Red(c) + static_cast<int>(lr * q), Green(c) + static_cast<int>(lg * q),
                      Blue(c) + static_cast<int>(lb * q));
      }
    }
  }
}

void TRenderer::SmoothEdges() {
  static const int kTaps[9][2] = {{0, 0}, {1, 0}, {0, 1}, {-1, 0}, {0, -1}, {1, 1}, {-1, -1}, {1, -1}, {-1, 1}};
  const int w = options_.width, h = options_.height;
  const int taps = std::min(options_.fsaaSamples, 9);
  std::copy(bits_, bits_ + static_cast<size_t>(w) * h, scratch_.begin());
  for (int y = 1; y + 1 < h; ++y) {
    uint32_t* out = bits_ + static_cast<size_t>(y) * w;
    for (int x = 1; x + 1 < w; ++x) {
      // Red and blue share one accumulator in separate 16-bit lanes, green has its own.
      uint32_t rb = 0, g = 0;
      for (int k = 0; k < taps; ++k) {
        const uint32_t c = scratch_[static_cast<size_t>(y + kTaps[k][1]) * w + x + kTaps[k][0]];
        rb += c & 0xFF00FF;
        g += c & 0x00FF00;
      }
      out[x] = (((rb >> 16) / taps) << 16) | (((g >> 8) / taps) << 8) | ((rb & 0xFFFF) / taps);
    }
  }
}

void TRenderer::Bloom() {
  const int w = options_.width, h = options_.height;
  const int bw = (w + 3) / 4, bh = (h + 3) / 4, radius = options_.hdrLevel;
  bloom_.assign(static_cast<size_t>(bw) * bh * 2, 0);
  uint32_t* bright = bloom_.data();
  uint32_t* blurred = bright + static_cast<size_t>(bw) * bh;
  // Bright pass at a quarter of the size.
  for (int by = 0; by < bh; ++by)
    for (int bx = 0; bx < bw; ++bx) {
      int r = 0, g = 0, b = 0, n = 0;
      for (int y = by * 4; y < std::min(h, by * 4 + 4); ++y)
        for (int x = bx * 4; x < std::min(w, bx * 4 + 4); ++x, ++n) {
          const uint32_t c = bits_[static_cast<size_t>(y) * w + x];
          r += Red(c);
          g += Green(c);
          b += Blue(c);
        }
      auto over = [n](int sum) { return std::max(0, sum / n - 150) * 2; };
      bright[static_cast<size_t>(by) * bw + bx] = Pack(over(r), over(g), over(b));
    }
  // Blur: horizontal into `blurred`, vertical back into `bright`.
  for (int pass = 0; pass < 2; ++pass) {
    const uint32_t* src = pass == 0 ? bright : blurred;
    uint32_t* dst = pass == 0 ? blurred : bright;
    for (int y = 0; y < bh; ++y)
      for (int x = 0; x < bw; ++x) {
        int r = 0, g = 0, b = 0;
        for (int k = -radius; k <= radius; ++k) {
          const int sx = pass == 0 ? std::clamp(x + k, 0, bw - 1) : x;
          const int sy = pass == 0 ? y : std::clamp(y + k, 0, bh - 1);
          const uint32_t c = src[static_cast<size_t>(sy) * bw + sx];
          r += Red(c);
          g += Green(c);
          b += Blue(c);
        }
        const int n = 2 * radius + 1;
        dst[static_cast<size_t>(y) * bw + x] = Pack(r / n, g / n, b / n);
      }
  }
  // Add the glow back and tone-map the result.
  static const std::array<int, 512> curve = [] {
    std::array<int, 512> c{};
    for (int i = 0; i < 512; ++i) c[i] = static_cast<int>(255 * (1 - std::exp(-i / 255.0 * 2.2)) / (1 - std::exp(-2.2)));
    return c;
  }();
  for (int y = 0; y < h; ++y) {
    uint32_t* row = bits_ + static_cast<size_t>(y) * w;
    const uint32_t* glow = bright + static_cast<size_t>(y / 4) * bw;
    for (int x = 0; x < w; ++x) {
      const uint32_t c = row[x], b = glow[x / 4];
      row[x] = Pack(curve[std::min(511, Red(c) + Red(b) / 2)], curve[std::min(511, Green(c) + Green(b) / 2)],
                    curve[std::min(511, Blue(c) + Blue(b) / 2)]);
    }
  }
}

void TRenderer::DrawInfo(const std::vector<std::string>& info) {
  HGDIOBJ oldFont = SelectObject(dc_, GetStockObject(DEFAULT_GUI_FONT));
  SetBkMode(dc_, TRANSPARENT);
  TEXTMETRICA tm{};
  GetTextMetricsA(dc_, &tm);
  int y = 8;
  for (const std::string& line : info) {
    SetTextColor(dc_, RGB(0, 0, 0));
    TextOutA(dc_, 9, y + 1, line.c_str(), static_cast<int>(line.size()));
    SetTextColor(dc_, RGB(255, 255, 255));
    TextOutA(dc_, 8, y, line.c_str(), static_cast<int>(line.size()));
    y += tm.tmHeight + 2;
  }
  SelectObject(dc_, oldFont);
}
