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

const char* const kAbortedText = "Benchmark aborted.";
const char* const kSuccessText = "The benchmarking is successful.";

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

std::string Joined(const std::vector<std::string>& items, const char* separator) {
  std::string text;
  for (const std::string& item : items) {
    if (!text.empty()) text += separator;
    text += item;
  }
  return text;
}

// Moves the screenshot of the resolution just run and notes what became of it.
void KeepScreenshot(TBenchEngine& bench) {
  TBenchRunState& s = bench.State;
  const TScreenshotResult result = MoveScreenshot(bench);
  const std::string size = ResolutionSize(s.CurrentResolution);
  if (result.Outcome == soNone)
    s.ScreenshotsMissing.push_back(size);
  else if (result.Outcome == soKept)
    s.ScreenshotsKept.push_back(ResMessage(IDS_SCREENSHOT_KEPT, size,
                                           bench.Choices.ScreenshotFolder, result.KeptAs));
}

// The end of a screenshot run: success only when every resolution's picture is in the
// screenshot folder; otherwise which resolutions have none there, and where the kept ones are.
std::string ScreenshotRunText(const TBenchEngine& bench) {
  const TBenchRunState& s = bench.State;
  if (s.ScreenshotsMissing.empty() && s.ScreenshotsKept.empty())
    return "Screenshot mode is successful.";
  std::vector<std::string> sentences;
  if (!s.ScreenshotsMissing.empty())
    sentences.push_back(
        ResMessage(IDS_NO_SCREENSHOT, bench.Choices.Frame, Joined(s.ScreenshotsMissing, ", ")));
  sentences.insert(sentences.end(), s.ScreenshotsKept.begin(), s.ScreenshotsKept.end());
  return Joined(sentences, " ");
}

struct TLastStep {
  std::string report;          // where the report was saved ("" when it was not)
  bool restoreFailed = false;  // already shown: the end of the run does not try again
};

// Saves the finished report; `text` is the run's status line, `measured` whether the last
// resolution was measured too. The status line tells where the report went when the results
// folder could not take it, and is set before the message that says why, so that nothing
// claims success while the user reads it.
void SaveReport(TBenchEngine& bench, TLastStep& step, const std::string& text, bool measured) {
  const TReportSave save = FinishReport(bench);
  step.report = save.FileName;
  if (save.Failures.empty()) {
    bench.ShowStatus(text);
    bench.Repaint();
    return;
  }
  std::string status = measured ? "The benchmark has finished." : text;
  std::vector<std::string> message = save.Failures;
  const std::string folder = ExtractFilePath(save.FileName);
  status += ' ';
  if (save.FileName.empty()) {
    status += LoadResString(IDS_REPORT_NOT_SAVED);
    message.push_back(LoadResString(IDS_REPORT_NOT_SAVED));
  } else {
    status += ResMessage(IDS_REPORT_SAVED_IN, folder);
    message.push_back(ResMessage(IDS_REPORT_SAVED_INSTEAD, folder));
  }
  bench.ShowStatus(status);
  bench.Repaint();
  bench.ShowMessage(Joined(message, "\n"));
}

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
    KeepScreenshot(bench);
    bench.ShowStatus(ScreenshotRunText(bench));
    return step;
  }
  const std::string problem = RecordResolution(bench);
  const std::string text =
      problem.empty() ? kSuccessText : std::string(kAbortedText) + " " + NotMeasuredText(s, problem);
  // The resolutions that were measured are kept, whatever became of the last one.
  if (s.MeasuredSections > 0)
    SaveReport(bench, step, text, problem.empty());
  else
    bench.ShowStatus(text);
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
  if (c.ScreenshotMode) KeepScreenshot(bench);
  if (s.Abort) {
    bench.ShowStatus(kAbortedText);
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
    bench.ShowStatus(kAbortedText);
    over = true;
  }
  if (!over) return;
  if (!bench.Choices.ScreenshotMode && !last.report.empty()) bench.OpenReport(last.report);
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
