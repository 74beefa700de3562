// The choices of a short run on the stand-in game's quick demo, shared by the run's tests,
// the test program a test ends mid-run, and the run's benchmark.
#pragma once

#include <string>

#include "app/BenchEngine.h"
#include "app/GameCommandLine.h"

// The user demo "Training\quick.tmd", one run, Maximum details, no filters, Direct3D with
// the default shader, English, "." in the report, one second between resolutions; no
// resolution chosen yet. Folders end with a backslash. (Texts are assigned as strings:
// GCC 12 warns falsely (-Wrestrict) on assigning these literals here.)
inline void SetQuickRunChoices(TBenchChoices& c, const std::string& programFolder,
                               const std::string& gameRoot) {
  c.ProgramFolder = programFolder;
  c.GameRoot = gameRoot;
  c.ExeFolder = gameRoot + "Bin32\\";
  c.Demo = kUserDemoItem;
  c.MapName = std::string("Training");
  c.DemoFileName = std::string("quick.tmd");
  c.RunNumber = std::string("1");
  c.DetailLevel = 1;
  c.AFLevel = 0;
  c.AALevel = 0;
  c.Renderer = 0;
  c.Language = 1;
  c.ShaderModel = 0;
  c.DecimalSeparator = std::string(".");
  c.Waits = 1;
}
