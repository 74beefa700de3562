// What the benches share: a clock in milliseconds, the median of their rounds, and for those
// that set the library's controls against the system's, rounds of both measured one after the
// other, reported with their median ratio.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

#include "controls/FcRegister.h"
#include "platform/Application.h"
#include "platform/Themes.h"

// The program's start as far as the controls need it, with visual styles on and the system's
// tab control class ready for the stand-ins.
inline void StartControlBench() {
  Application->Initialize();
  RegisterControlLibrary();
  SetVisualStyles(TVisualStyles::vsOn);
  INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_TAB_CLASSES};
  InitCommonControlsEx(&icc);
}

inline double Milliseconds() {
  LARGE_INTEGER t, f;
  QueryPerformanceCounter(&t);
  QueryPerformanceFrequency(&f);
  return static_cast<double>(t.QuadPart) * 1000.0 / static_cast<double>(f.QuadPart);
}

// The middle of the values; of an even number, the mean of the two in the middle.
inline double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  const size_t n = values.size();
  return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

// Runs `rounds` rounds of `framed` and then `system` (each returns its time in milliseconds),
// prints each round, and returns the median of the rounds' ratios framed / system.
inline double MedianRatio(int rounds, const std::function<double()>& framed, const std::function<double()>& system,
                          const char* framedName, const char* systemName) {
  std::vector<double> ratios;
  for (int round = 1; round <= rounds; ++round) {
    double a = framed();
    double b = system();
    ratios.push_back(a / b);
    std::printf("round %d: %s %.1f ms, %s %.1f ms, ratio %.2f\n", round, framedName, a, systemName, b, ratios.back());
    std::fflush(stdout);
  }
  std::sort(ratios.begin(), ratios.end());
  return ratios[ratios.size() / 2];
}
