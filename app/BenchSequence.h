// The run across the chosen resolutions: what happens each time the game ends (the log read,
// the report or the screenshot kept, the pause, the next resolution or the end of the run),
// and the abort between resolutions.
#pragma once

#include <windows.h>

#include "app/BenchEngine.h"
#include "platform/Classes.h"

// The process component's end event (`cp.OnTerminate`): the game of one resolution has ended.
// The log is checked; after the last chosen resolution the report is completed and saved
// when at least one resolution was measured (benchmark mode), or the configuration put back
// and the screenshot kept (screenshot mode, the screenshot also when the restore fails).
// Between resolutions: the wait, one processing of the messages that are waiting (so that a
// click on the abort image during the wait is seen), 500 ms more, the screenshot kept; then
// either the abort (files put back, nothing more launched) or the resolution's report section
// and the launch of the next chosen resolution. When the run is over the report that this run
// saved is opened and the game's files are put back. The exit code is not looked at.
// A resolution whose log is missing, unfinished or unreadable is not measured: the status
// line and a report section say which log and what was missing, and the run goes on ("Benchmark
// aborted." leads the status after the last one). Any other error is shown in the
// application's error box and ends the run with the game's files put back.
void cpTerminate(TBenchEngine& bench, TObject* Sender, DWORD ExitCode);

// The abort image's click: the run stops after the game that is running now has ended.
void Image2Click(TBenchEngine& bench, TObject* Sender);

// The end of every run, finished or not: the abort panel hidden, the game's configuration
// restored (unless the run ended before it was backed up, or the restore has just failed)
// and "NoErrorWarning" set back to "0" (left at "1" while the configuration still waits in
// "Backup\", so that the next start offers the repair), the override file and the program's
// splash deleted, the game's splash renamed back, the start button enabled. Errors on the
// way are shown in the application's error box.
void PutGameFilesBack(TBenchEngine& bench, TObject* Sender, bool restoreConfiguration = true);
