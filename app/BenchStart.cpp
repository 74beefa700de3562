#include "app/BenchStart.h"

#include <cmath>

#include "app/BenchReport.h"
#include "app/BenchSequence.h"
#include "app/GameCommandLine.h"
#include "app/GameConfig.h"
#include "app/GameFiles.h"
#include "app/GameFolders.h"
#include "app/ScreenshotOutput.h"
#include "platform/Application.h"
#include "resources/ResourceIds.h"

const char* const kChooseResolutionMessage =
    "Please, choose a resolution and the language of Quenmar.";

std::string RunTimeText(TDateTime time) {
  return StringReplace(TimeToStr(time), ":", "_", {rfReplaceAll});
}

std::string RunStartText(TDateTime time) {
  std::string text = DateToStr(time) + " " + TimeToStr(time);
  for (char c : {'.', '/', '-', '\\'})
    text = StringReplace(text, std::string(1, c), "_", {rfReplaceAll});
  return text;
}

namespace {

const char* const kPixelShaderTexts[] = {"Pixel shader: default model",
                                        "Pixel shader: model 2.0b", "Pixel shader: model 3.0"};

// The user demo's map and file names reach the game through the batch file, which cmd reads
// in the OEM code page: a letter that page cannot hold would give the game another name, and
// a quote or a control character would let cmd run the rest of the name as a command. Such a
// name is refused before anything is changed.
bool GameNamesFit(const TBenchEngine& bench) {
  const TBenchChoices& c = bench.Choices;
  if (c.Demo != kUserDemoItem) return true;
  for (const std::string* name : {&c.MapName, &c.DemoFileName}) {
    const std::string letters = LettersNotForTheGame(*name);
    if (letters.empty()) continue;
    bench.ShowMessage(ResMessage(IDS_NAME_NOT_FOR_GAME, *name, letters));
    return false;
  }
  return true;
}

// The program's splash goes over the game's for the run. The game's own is kept twice: in
// "Backup\" (only while none is there, so a later run never backs up the program's splash) and
// renamed to "qmsplashold.bmp", which the end of the run renames back.
void SwapSplash(const TBenchEngine& bench) {
  const TBenchChoices& c = bench.Choices;
  const std::string splash = c.GameRoot + "qmsplash.bmp";
  const std::string backup = c.ProgramFolder + "Backup\\qmsplash.bmp";
  if (FileExists(splash)) {
    // Verified like the configuration's; an empty or unreadable one (a full disk once left
    // one) is made again. A run ended half-way may have left the program's splash in the
    // game: that one is not the game's.
    if (!FileHoldsData(backup) && !SameFileContents(splash, c.ProgramFolder + "qmsplash.bmp")) {
      try {
        CopyToBackup(bench, splash, backup);
      } catch (const EGameFileError&) {
        // The game's splash is still kept as "qmsplashold.bmp"; the run goes on.
      }
    }
    RenameFile(splash, c.GameRoot + "qmsplashold.bmp");
  }
  bench.ShellCopy(c.ProgramFolder + "qmsplash.bmp", splash);
}

int ChosenResolutions(const TBenchChoices& choices) {
  int count = 0;
  for (bool chosen : choices.Resolution)
    if (chosen) ++count;
  return count;
}

// Steps 1 to 8 of the start; false when the choices do not allow a run.
bool PrepareRun(TBenchEngine& bench) {
  const TBenchChoices& c = bench.Choices;
  TBenchRunState& s = bench.State;
  s.Override.Clear();
  bench.SetBenchButtonEnabled(false);
  SwapSplash(bench);
  if (c.ScreenshotMode) {
    MoveOldScreenshotAside(bench);
    ForceDirectories(c.GameRoot + "Screenshot");
  }
  s.StartTime = Now();
  s.Report.Clear();
  s.MeasuredSections = 0;
  s.ScreenshotsMissing.clear();
  s.ScreenshotsKept.clear();
  ForceDirectories(c.GameRoot + "Benchmark");
  bench.WriteSetting("NoErrorWarning", "1");

  s.ChosenCount = ChosenResolutions(c);
  s.FinishedCount = 0;
  s.Abort = false;
  if (s.ChosenCount > 1) {
    bench.SetAbortPanelVisible(true);
    bench.RepaintAbortPanel();
  }
  s.Wait = static_cast<int>(std::lround(c.Waits)) * 1000;

  if (s.ChosenCount < 1 || c.Language < 1) {
    bench.SetAbortPanelVisible(false);
    bench.ShowMessage(kChooseResolutionMessage);
    bench.SetBenchButtonEnabled(true);
    return false;
  }
  return true;
}

// Steps 9 to 18: the game's files and the report's header, then the first launch.
// configurationTaken tells once the game's configuration is in "Backup\".
void LaunchRun(TBenchEngine& bench, bool& configurationTaken) {
  const TBenchChoices& c = bench.Choices;
  TBenchRunState& s = bench.State;
  s.TimeText = RunTimeText(s.StartTime);
  s.StartText = RunStartText(s.StartTime);
  if ((c.ShaderModel == kShaderModel2Item || c.ShaderModel == kShaderModel3Item) &&
      !FileExists(c.ExeFolder + "fxc.exe"))
    bench.ShellCopy(c.ProgramFolder + "DirectX9c\\fxc.exe", c.ExeFolder + "fxc.exe");
  if (c.ShaderModel >= 0 && c.ShaderModel <= 2) s.PixelShaderText = kPixelShaderTexts[c.ShaderModel];

  BackupGameConfiguration(bench);
  configurationTaken = true;
  DeleteIfPresent(c.ExeFolder + "rirered.bat");
  // The previous run's demo: its log must not pass for this run's.
  DeleteIfPresent(DemoLogFileName(bench));
  bench.Pause(500);

  s.BatchText.Clear();
  FormRunArguments(bench);
  WriteGameConfiguration(bench);
  WriteReportHeader(bench);
  s.Success = false;
  s.BatchText.Clear();
  LaunchResolution(bench, 0);  // passes on to the first chosen resolution
}

}  // namespace

void BenchButtonClick(TBenchEngine& bench, TObject* Sender) {
  if (!GameNamesFit(bench)) return;
  if (!ReadCustomConfiguration(bench)) return;
  bool configurationTaken = false;
  try {
    if (!PrepareRun(bench)) return;
    LaunchRun(bench, configurationTaken);
  } catch (...) {
    Application->HandleException(Sender);
    bench.ShowStatus("Benchmark aborted.");
    // A backup step that failed has left the game's configuration as it was (or, when an
    // earlier run's could not be put back, shown why already).
    PutGameFilesBack(bench, Sender, configurationTaken);
  }
}
