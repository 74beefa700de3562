// The time-demo log that the stand-in game leaves beside the demo it played.
#pragma once

#include <windows.h>

#include <string>

// Layout (every line ended by CR LF; numbers with "." as the decimal point,
// frame rates and times with two decimals, the play time with three):
//   three leading lines: the game and the start time, the renderer settings, the demo;
//   then one block of five lines per finished run n (counted from 0):
//     TimeDemo Run <n>, Average FPS: <fps>
//      Play time: <seconds> s, frames: <count>
//      Min FPS: <fps>, Max FPS: <fps>
//      Frame time: mean <ms> ms, worst <ms> ms
//     !TimeDemo Run <n> Finished.
// A run's frame rate thus stands after the first comma and then after the first colon of
// its block's first line. A start that fails (demo missing or unreadable, shader compiler
// missing, no window) ends the log with an error line instead of the blocks; a run that does
// not end (window closed) writes no block, so the finished line of the last run is there
// only when every run ended.
class TTimeDemoLog {
 public:
  TTimeDemoLog() = default;
  TTimeDemoLog(const TTimeDemoLog&) = delete;
  TTimeDemoLog& operator=(const TTimeDemoLog&) = delete;
  ~TTimeDemoLog();

  // Creates (or empties) the log file; false when it cannot be created.
  bool Open(const std::string& path);
  // Appends one line at once, so that the file tells how far the game got if it ends early.
  void Line(const std::string& text);

  struct TRunStats {
    int frames = 0;
    double seconds = 0;
    double minFps = 0, maxFps = 0;
    double worstFrameMs = 0;
  };
  void RunFinished(int run, const TRunStats& stats);

  // A number with the given count of decimals and "." as the decimal point.
  static std::string Fixed(double value, int decimals);

 private:
  HANDLE file_ = INVALID_HANDLE_VALUE;
};
