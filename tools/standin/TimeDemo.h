// Time-demo files (".tmd"): a recorded camera flight through a level, loaded for playback.
// The stand-in game replays them frame by frame; the front end only copies them around.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// A demo is a text file in the ANSI code page, one entry per line; blank lines and lines
// beginning with "--" are ignored; numbers use "." as the decimal point. The first entry
// must be the signature "QTMD 1". Then, in any order:
//
//   level <name>                          the level it was recorded on (informative)
//   frames <n>                            frame count, 1 .. 10000000 (required)
//   sky <RRGGBB> <RRGGBB>                 sky colour at the zenith and at the horizon
//   ground <RRGGBB>                       ground colour
//   fog <RRGGBB> <distance>               fog colour and the distance at which it is solid
//   camera <frame> <x> <y> <z> <tx> <ty> <tz>
//                                         camera key: at that frame (1 .. n) the eye stands at
//                                         x y z and looks at tx ty tz (at least one key; keys
//                                         in ascending frame order)
//   box <x> <y> <z> <sx> <sy> <sz> <RRGGBB>
//                                         a solid block: centre of its base at x y z, sizes
//                                         sx sy sz (all > 0)
//   light <x> <y> <z> <radius> <RRGGBB>   an entity light and its reach
//
// World axes: x to the right, y up, z forward; the ground is the plane y = 0. Between keys
// the camera follows a Catmull-Rom curve through the key positions and look-at points.

struct TVec3 {
  double x = 0, y = 0, z = 0;
};

struct TCameraKey {
  int frame = 1;
  TVec3 eye;
  TVec3 target;
};

struct TDemoBox {
  TVec3 base;
  TVec3 size;
  uint32_t color = 0;  // 0x00RRGGBB
};

struct TDemoLight {
  TVec3 pos;
  double radius = 0;
  uint32_t color = 0;
};

class TTimeDemo {
 public:
  // Reads a demo file; on failure returns false and tells why in error (with the line).
  bool LoadFromFile(const std::string& path, std::string& error);
  bool LoadFromText(const std::string& text, std::string& error);

  int Frames() const { return frames_; }
  const std::string& Level() const { return level_; }
  uint32_t SkyTop() const { return skyTop_; }
  uint32_t SkyHorizon() const { return skyHorizon_; }
  uint32_t Ground() const { return ground_; }
  uint32_t FogColor() const { return fogColor_; }
  double FogDistance() const { return fogDistance_; }
  const std::vector<TCameraKey>& Keys() const { return keys_; }
  const std::vector<TDemoBox>& Boxes() const { return boxes_; }
  const std::vector<TDemoLight>& Lights() const { return lights_; }

  // Eye and look-at point at a frame (1 .. Frames()).
  void CameraAt(double frame, TVec3& eye, TVec3& target) const;

 private:
  int frames_ = 0;
  std::string level_;
  uint32_t skyTop_ = 0x2A4A80;
  uint32_t skyHorizon_ = 0xA8C4E0;
  uint32_t ground_ = 0x5A6A48;
  uint32_t fogColor_ = 0xA8C4E0;
  double fogDistance_ = 400;
  std::vector<TCameraKey> keys_;
  std::vector<TDemoBox> boxes_;
  std::vector<TDemoLight> lights_;
};
