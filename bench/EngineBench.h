// What the benches that drive the engine share: the program's settings key, opened where the
// engine marks each configuration it writes, and the median of their rounds.
#pragma once

#include <windows.h>

#include <cstdio>

#include "app/BenchEngine.h"
#include "bench/BenchRatio.h"
#include "platform/Registry.h"

// Opens (or makes) the settings key in `registry`; says so and answers false when it cannot.
inline bool OpenSettingsKey(TRegistry& registry) {
  registry.SetRootKey(HKEY_LOCAL_MACHINE);
  if (registry.OpenKey(kSettingsKey, true)) return true;
  std::printf("the settings key cannot be opened\n");
  return false;
}
