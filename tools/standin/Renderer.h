// Software renderer of the stand-in game: draws a demo's scene with GDI and pixel passes into
// a DIB section of the window's size and blits it to the window.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "tools/standin/TimeDemo.h"

// What the game's settings make of a frame. Every pass works on the whole frame, so the
// time per frame grows with the pixel count first of all; the other settings add work the
// way their names promise on a real card:
//   fsaaSamples  (r_FSAA, r_FSAA_samples)   1 = off; else that many taps per pixel in the
//                                           edge-smoothing pass
//   anisotropy   (r_Texture_Anisotropic_Level)  up to that many texture taps per ground pixel,
//                                           more where the ground is seen at a grazing angle
//   hdrLevel     (r_HDRRendering)           0 = off; else a bloom pass whose blur radius is the
//                                           level, and a tone-mapping pass
//   maxLights    (e_max_entity_lights)      how many of the demo's lights, nearest first, get a
//                                           lighting pass
//   showInfo     (demo_noinfo = 0)          the on-screen frame counter
struct TRenderOptions {
  int width = 640;
  int height = 480;
  int fsaaSamples = 1;
  int anisotropy = 1;
  int hdrLevel = 0;
  int maxLights = 4;
  bool showInfo = true;
};

class TRenderer {
 public:
  TRenderer() = default;
  TRenderer(const TRenderer&) = delete;
  TRenderer& operator=(const TRenderer&) = delete;
  ~TRenderer();

  // Makes the frame buffer: a top-down 32-bit DIB section compatible with the given DC.
  bool Create(HDC reference, const TRenderOptions& options);
  // Draws the demo's scene as seen at a frame (1 .. demo.Frames()), info lines on top.
  void Render(const TTimeDemo& demo, double frame, const std::vector<std::string>& info);
  // Copies the finished frame to a device context (the window's).
  void Present(HDC target) const;

  int Width() const { return options_.width; }
  int Height() const { return options_.height; }
  // The frame's pixels, rows top-down, each pixel 0x00RRGGBB.
  const uint32_t* Pixels() const;

 private:
  struct TCamera {
    TVec3 eye, right, up, fwd;
    double focal = 1, cx = 0, cy = 0;
  };

  void DrawSkyAndGround(const TTimeDemo& demo, const TCamera& cam);
  void DrawBoxes(const TTimeDemo& demo, const TCamera& cam);
  void LightPass(const TTimeDemo& demo, const TCamera& cam);
  void SmoothEdges();
  void Bloom();
  void DrawInfo(const std::vector<std::string>& info);

  TRenderOptions options_;
  HDC dc_ = nullptr;
  HBITMAP bitmap_ = nullptr;
  HGDIOBJ oldBitmap_ = nullptr;
  uint32_t* bits_ = nullptr;
  std::vector<uint32_t> scratch_;
  std::vector<uint32_t> bloom_;
};
