// The machine's description for the report: the DirectX diagnostic tool run hidden, the six
// labelled lines picked out of its text report, and the report file removed again.
#pragma once

#include <string>
#include <vector>

#include "app/BenchEngine.h"
#include "platform/StringList.h"

class TSvCreateProcess;

// The report the tool writes into the program folder.
extern const char* const kDiagnosticReportName;  // "dxinfo.txt"

// The tool's command line: system folder + "\dxdiag.exe /whql:on /t " and the report's full
// name in quotes, so that a program folder with blanks ("Program Files") stays one argument.
std::string DiagnosticCommandLine(const std::string& systemFolder,
                                  const std::string& programFolder);
// Starts the tool through `dxrun` (hidden, as its layout has it) in the system folder; the
// process component's end event follows on the GUI thread. Raises the runner's errors.
void RunDiagnosticTool(TSvCreateProcess& dxrun, const std::string& programFolder);

// The lines of a report for "Operating System:", "Processor:", "Memory:", "Card name:",
// "Display Memory:" and "Driver Version:", looked for in this order, each from the line where
// the one before it was found, the label anywhere in the line without regard to case. A
// line's value is the text after its first "=" when it has one, else the whole line, without
// its leading blanks (a tab made a blank, at most kDescriptionLineMaxLength characters, as the
// settings keep it). A label the report lacks (Wine's tool writes no display section) leaves
// its field empty and the search for the next one where it was.
THardwareDescription ParseDiagnosticReport(const TStrings& report);
// Loads the program folder's report, parses it and deletes it. A report the tool did not
// write raises the file-open error.
THardwareDescription ReadDiagnosticReport(const std::string& programFolder);
// Removes the report when it is there (the dialog's close).
void DeleteDiagnosticReport(const std::string& programFolder);

// The lines the hardware dialog's memo shows after a collection: each field found, in order.
std::vector<std::string> CollectedLines(const THardwareDescription& description);
