#include "app/BenchSequence.h"

#include <functional>

#include "app/BenchReport.h"
#include "app/GameCommandLine.h"
#include "app/GameConfig.h"
#include "app/GameFiles.h"
#include "app/ScreenshotOutput.h"
#include "platform/Application.h"
#include "resources/ResourceIds.h"

namespace {

const char* const AbortedText = "Benchmark aborted.";

// The status line's text for the resolution just run when it was not measured.
std::string NotMeasuredText(const TBenchRunState& state, const std::string& problem) {
  return ResMessage(IDS_RESOLUTION_NOT_MEASURED, ResolutionSize(state.CurrentResolution), problem);
}

// The resolution's report section (benchmark mode). Answers "" when it holds the scores, else
// why not: the log was missing or unfinished, or the report could not read it (too short, a
// score that is no number). Such a resolution gets a section that says why; nothing of it is
// shown in a box, so the run goes on by itself.
std::string RecordResolution(TBenchEngine& bench) {
  TBenchRunState& s = bench.State;
  std::string problem = s.LogProblem;
  if (s.Success) {
    try {
      AddReportSection(bench);
      return std::string();
    } catch (const Exception& e) {
      s.Success = false;
      problem = e.Message();
    }
  }
  AddFailedReportSection(bench, problem);
  return problem;
}

struct TLastStep {
  bool reportSaved = false;
  bool restoreFailed = false;  // already shown: the end of the run does not try again
};

// The last chosen resolution has ended.
TLastStep FinishLastResolution(TBenchEngine& bench, TObject* sender) {
  const TBenchChoices& c = bench.Choices;
  TBenchRunState& s = bench.State;
  TLastStep step;
  bench.SetAbortPanelVisible(false);
  if (c.ScreenshotMode) {
    // The last picture is kept even when the configuration cannot be put back.
    try {
      RestoreGameConfiguration(bench);
    } catch (...) {
      step.restoreFailed = true;
      Application->HandleException(sender);
    }
    DeleteIfPresent(c.GameRoot + "Systemcfgoverride.cfg");
    bench.ShowStatus("Screenshot mode is successful.");
    MoveScreenshot(bench);
    return step;
  }
  if (s.Success) {
    bench.ShowStatus("The benchmarking is successful.");
    bench.Repaint();
  }
  const std::string problem = RecordResolution(bench);
  if (!problem.empty())
    bench.ShowStatus(std::string(AbortedText) + " " + NotMeasuredText(s, problem));
  // The resolutions that were measured are kept, whatever became of the last one.
  if (s.MeasuredSections > 0) {
    FinishReport(bench);
    step.reportSaved = true;
  }
  DeleteIfPresent(c.GameRoot + "Systemcfgoverride.cfg");
  return step;
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
  if (!c.ScreenshotMode) {
    const std::string problem = RecordResolution(bench);
    if (!problem.empty()) bench.ShowStatus(NotMeasuredText(s, problem));
  }
  LaunchResolution(bench, s.CurrentResolution + 1);
  return true;
}

}  // namespace

void cpTerminate(TBenchEngine& bench, TObject* Sender, DWORD /*ExitCode*/) {
  TBenchRunState& s = bench.State;
  try {
    CheckDemoLogFinished(bench);
  } catch (const Exception& e) {
    // A log that cannot be read is a resolution not measured, like a missing one.
    s.Success = false;
    s.LogProblem = e.Message();
  }
  ++s.FinishedCount;
  bool over = s.FinishedCount >= s.ChosenCount;
  TLastStep last;
  try {
    if (over)
      last = FinishLastResolution(bench, Sender);
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
  if (!bench.Choices.ScreenshotMode && last.reportSaved) bench.OpenReport(ReportFileName(bench));
  PutGameFilesBack(bench, Sender, !last.restoreFailed);
}

void Image2Click(TBenchEngine& bench, TObject* /*Sender*/) { bench.State.Abort = true; }

void PutGameFilesBack(TBenchEngine& bench, TObject* Sender, bool restoreConfiguration) {
  const TBenchChoices& c = bench.Choices;
  bench.SetAbortPanelVisible(false);
  // Each step on its own: one that fails keeps none of the others from being done.
  const auto step = [&](const std::function<void()>& action) {
    try {
      action();
    } catch (...) {
      Application->HandleException(Sender);
    }
  };
  if (restoreConfiguration) step([&] { RestoreGameConfiguration(bench); });
  step([&] {
    // While the user's configuration still waits in "Backup\", the next start offers the
    // repair.
    bench.WriteSetting("NoErrorWarning", ConfigBackupPending(bench) ? "1" : "0");
  });
  step([&] { DeleteIfPresent(c.GameRoot + "Systemcfgoverride.cfg"); });
  step([&] {
    DeleteIfPresent(c.GameRoot + "qmsplash.bmp");
    if (FileExists(c.GameRoot + "qmsplashold.bmp"))
      RenameFile(c.GameRoot + "qmsplashold.bmp", c.GameRoot + "qmsplash.bmp");
  });
  bench.SetBenchButtonEnabled(true);
}
