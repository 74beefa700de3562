// The start of a benchmark run (the start button's click): the game's files prepared, the run's
// state and the report's header set, and the game started for the first chosen resolution.
#pragma once

#include <windows.h>

#include <string>

#include "app/BenchEngine.h"
#include "platform/Classes.h"

// The message of a start that lacks a resolution or the game's language.
extern const char* const kChooseResolutionMessage;

// `BenchButton`'s click. The main window fills bench.Choices from its controls just before;
// the run keeps to those choices until it ends, whatever the user changes meanwhile.
// A user demo whose map or file name holds letters the game cannot be given is refused first,
// with a message naming them, before anything is changed; so is the user's own configuration
// file of a custom detail level that cannot be read or is no configuration (it is read here,
// before anything is moved: it may be the game's own "system.cfg"). Then in order: the button
// disabled, the program's splash put over the game's (the game's kept in "Backup\", verified,
// while no usable one is there), the screenshot folder made ready, the start time taken,
// "NoErrorWarning" set to "1", the counts reset, the abort panel shown for more than one
// resolution; then the choices checked (a start without a resolution or a language shows
// kChooseResolutionMessage and enables the button again, the steps before it staying done);
// then the shader compiler, the configuration backups, the old batch file and log removed,
// the game's configuration and the report's header written and the first chosen resolution
// launched. Returns while the game runs; cpTerminate carries the run on.
// An error on the way (a configuration that cannot be safely backed up, an old log or batch
// file that cannot be deleted) is shown in the application's error box and the run is ended
// at once: the game's files are put back and the button enabled again.
void BenchButtonClick(TBenchEngine& bench, TObject* Sender);

// The time text of file names: the locale's long time text with every ":" made "_".
std::string RunTimeText(TDateTime time);
// The report's start text: the locale's date and long time texts with a blank between, every
// ".", "/", "-" and "\" made "_".
std::string RunStartText(TDateTime time);
