#include "app/BenchSequence.h"

#include "app/BenchReport.h"
#include "app/GameCommandLine.h"
#include "app/GameConfig.h"
#include "app/ScreenshotOutput.h"
#include "platform/Application.h"

namespace {

const char* const AbortedText = "Benchmark aborted.";

void DeleteIfPresent(const std::string& fileName) {
  if (FileExists(fileName)) DeleteFile(fileName);
}

// Index into Resolutions of the resolution just run.
int CurrentResolution(const TBenchRunState& state) {
  int resolution = 0;
  while (resolution < ResolutionCount &&
         IntToStr(Resolutions[resolution].Width) != state.CurrentWidth)
    ++resolution;
  return resolution;
}

// The resolution's report section. A log the report cannot read (too short, a score that is
// no number) or a report that cannot be saved is shown, and the resolution counts as failed.
bool AddSection(TBenchEngine& bench, TObject* sender) {
  try {
    AddReportSection(bench);
    return true;
  } catch (...) {
    bench.State.Success = false;
    Application->HandleException(sender);
    return false;
  }
}

// The last chosen resolution has ended. True when the report is complete and saved.
bool FinishLastResolution(TBenchEngine& bench, TObject* sender) {
  const TBenchChoices& c = bench.Choices;
  const TBenchRunState& s = bench.State;
  bool reportSaved = false;
  bench.SetAbortPanelVisible(false);
  if (c.ScreenshotMode) {
    RestoreGameConfiguration(bench);
    DeleteIfPresent(c.GameRoot + "Systemcfgoverride.cfg");
    bench.ShowStatus("Screenshot mode is successful.");
    MoveScreenshot(bench);
  } else {
    if (s.Success) {
      bench.ShowStatus("The benchmarking is successful.");
      bench.Repaint();
      // Being the last, the section completes and saves the report.
      reportSaved = AddSection(bench, sender);
      if (!reportSaved) bench.ShowStatus(AbortedText);
    } else {
      bench.ShowStatus(AbortedText);
    }
    DeleteIfPresent(c.GameRoot + "Systemcfgoverride.cfg");
  }
  return reportSaved;
}

// More chosen resolutions follow. False when the run was aborted (and is over).
bool GoOnToNextResolution(TBenchEngine& bench, TObject* sender) {
  const TBenchChoices& c = bench.Choices;
  TBenchRunState& s = bench.State;
  bench.Pause(static_cast<DWORD>(s.Wait));
  bench.RepaintAbortPanel();
  bench.Repaint();
  // Once, so that a click on the abort image during the wait is seen; the GUI thread
  // otherwise stays blocked for the whole pause.
  Application->ProcessMessages();
  bench.Pause(500);
  if (c.ScreenshotMode) MoveScreenshot(bench);
  if (s.Abort) {
    bench.ShowStatus(AbortedText);
    PutGameFilesBack(bench, sender);
    return false;
  }
  if (!c.ScreenshotMode && s.Success) AddSection(bench, sender);
  LaunchResolution(bench, CurrentResolution(s) + 1);
  return true;
}

}  // namespace

void cpTerminate(TBenchEngine& bench, TObject* Sender, DWORD /*ExitCode*/) {
  TBenchRunState& s = bench.State;
  try {
    CheckDemoLogFinished(bench);
  } catch (...) {
    s.Success = false;
    Application->HandleException(Sender);
  }
  ++s.FinishedCount;
  bool over = s.FinishedCount >= s.ChosenCount;
  bool reportSaved = false;
  try {
    if (over)
      reportSaved = FinishLastResolution(bench, Sender);
    else if (!GoOnToNextResolution(bench, Sender))
      return;
  } catch (...) {
    // The run cannot go on (the next game did not start, a file could not be written):
    // it ends here, with the game's files put back.
    Application->HandleException(Sender);
    bench.ShowStatus(AbortedText);
    over = true;
  }
  if (!over) return;
  if (!bench.Choices.ScreenshotMode && reportSaved) bench.OpenReport(ReportFileName(bench));
  PutGameFilesBack(bench, Sender);
}

void Image2Click(TBenchEngine& bench, TObject* /*Sender*/) { bench.State.Abort = true; }

void PutGameFilesBack(TBenchEngine& bench, TObject* Sender, bool restoreConfiguration) {
  const TBenchChoices& c = bench.Choices;
  bench.SetAbortPanelVisible(false);
  try {
    if (restoreConfiguration) RestoreGameConfiguration(bench);
    bench.WriteSetting("NoErrorWarning", "0");
  } catch (...) {
    Application->HandleException(Sender);
  }
  DeleteIfPresent(c.GameRoot + "Systemcfgoverride.cfg");
  DeleteIfPresent(c.GameRoot + "qmsplash.bmp");
  if (FileExists(c.GameRoot + "qmsplashold.bmp"))
    RenameFile(c.GameRoot + "qmsplashold.bmp", c.GameRoot + "qmsplash.bmp");
  bench.SetBenchButtonEnabled(true);
}
