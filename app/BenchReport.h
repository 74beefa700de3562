// The game's time-demo log and the HTML report made from it: whether a run finished, the
// frame rate of every run, the report's header, one section per resolution and its footer.
#pragma once

#include <string>
#include <vector>

#include "app/BenchEngine.h"
#include "platform/StringList.h"

// The maker's web address, shown in the report's title and footer.
extern const char* const kMakerWebAddress;

// Sets State.Success: the demo's log exists and holds the whole line
// "!TimeDemo Run <run count text> Finished." (compared without regard to case). When it does
// not, State.LogProblem says which log and what was missing.
bool CheckDemoLogFinished(TBenchEngine& bench);

// Text made safe for HTML: &, <, > and " become entities, so the page shows it as typed.
std::string HtmlEscape(const std::string& text);

// A file's location as a URL that every browser reads: "file:///C:/Program%20Files/..." for
// a drive path, "file://server/share/..." for a network one; blanks, "%", "#" and whatever a
// URL cannot hold are percent-encoded, letters outside ASCII as their UTF-8 bytes.
std::string FileUrl(const std::string& path);
// The name under which a browser knows an ANSI code page ("windows-1252", "shift_jis");
// "" for one it has no name for.
std::string CharsetName(UINT codePage);

// Clears the report and writes its header: the code page it is written in, title, styles,
// logo, start time, the stored hardware description when asked for, the note, and the rule
// below them.
void WriteReportHeader(TBenchEngine& bench);

// A log line's score: what follows its first "," and then its first ":" (leading blank kept).
std::string ScoreText(const std::string& logLine);
// The score's first separator turned into the one the locale reads numbers with.
std::string ScoreToLocaleSeparator(const std::string& score, char localeSeparator);
// The score's first separator turned into the report's (`DecBox`: "," or else ".").
std::string ScoreToReportSeparator(const std::string& score, const std::string& decimalBox);
// The average as the report shows it: its 15 significant digits in plain notation (never
// with an exponent, which the cut would lose) with the report's separator, cut (not rounded)
// two digits after the separator.
std::string CutAverage(float average, const std::string& decimalBox);

// Adds the section of the resolution just run (scores and average from the demo's log) to
// the report and counts it in State.MeasuredSections. Raises EListError when the log ends
// before a score and EConvertError when a score is not a frame rate (no number, negative, or
// too large for the 32-bit average); the report then holds nothing of this section.
void AddReportSection(TBenchEngine& bench);
// Adds the section of a resolution that was not measured: its heading and why.
void AddFailedReportSection(TBenchEngine& bench, const std::string& problem);
// Where a report was saved, and why the folders tried before could not take it.
struct TReportSave {
  std::string FileName;               // "" when no folder could take it
  std::vector<std::string> Failures;  // per folder that failed: its name and why
};
// Closes the report with its footer and saves it, then pauses 500 ms. A measured run is never
// lost for want of a folder: when ReportFileName's folder cannot take the report (a missing
// drive, a name the system refuses, a full disk), the game's "Benchmark\" folder is tried,
// then the user's temporary folder. Each is written through a temporary file that takes the
// report's name only when whole, so no folder is left with a partial or empty report.
TReportSave FinishReport(TBenchEngine& bench);
// Where the report goes first: the results folder, else the game's "Benchmark\" folder.
std::string ReportFileName(const TBenchEngine& bench);
