// The game's time-demo log and the HTML report made from it: whether a run finished, the
// frame rate of every run, the report's header, one section per resolution and its footer.
#pragma once

#include <string>

#include "app/BenchEngine.h"
#include "platform/StringList.h"

// The maker's web address, shown in the report's title and footer.
extern const char* const MakerWebAddress;

// Sets State.Success: the demo's log exists and holds the whole line
// "!TimeDemo Run <run count text> Finished." (compared without regard to case).
bool CheckDemoLogFinished(TBenchEngine& bench);

// Text made safe for HTML: &, <, > and " become entities, so the page shows it as typed.
std::string HtmlEscape(const std::string& text);

// Clears the report and writes its header: title, styles, logo, start time, the stored
// hardware description when asked for, the note, and the rule below them.
void WriteReportHeader(TBenchEngine& bench);

// A log line's score: what follows its first "," and then its first ":" (leading blank kept).
std::string ScoreText(const std::string& logLine);
// The score's first separator turned into the one the locale reads numbers with.
std::string ScoreToLocaleSeparator(const std::string& score, char localeSeparator);
// The score's first separator turned into the report's (`DecBox`: "," or else ".").
std::string ScoreToReportSeparator(const std::string& score, const std::string& decimalBox);
// The average as the report shows it: its shortest text of up to 15 digits with the
// report's separator, cut (not rounded) two digits after the separator.
std::string CutAverage(float average, const std::string& decimalBox);

// Adds the section of the resolution just run (scores and average from the demo's log) to
// the report. Raises EListError when the log ends before a score and EConvertError when a
// score is not a number; the report then holds nothing of this section. After the last
// chosen resolution it also adds the footer and saves the report.
void AddReportSection(TBenchEngine& bench);
// Where the report goes: the results folder, else the game's "Benchmark\" folder.
std::string ReportFileName(const TBenchEngine& bench);
