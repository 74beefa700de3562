// The game's side of a benchmark launch: the stock demo table, the game's command line, the
// one-line batch file that carries it, and the launch of the game for one resolution.
#pragma once

#include <string>

#include "app/BenchEngine.h"

// One row of the demo table: where the game finds the demo and how the command line names it.
struct TDemoEntry {
  std::string GameFile;      // below the game's root folder
  std::string SourceFile;    // the copy shipped below the program folder
  std::string MapArgument;   // "map Steam"
  std::string DemoArgument;  // "demo nmxsteam"
  std::string MapFolder;     // "Steam\"
  std::string DemoName;      // "nmxsteam"
  bool UserDemo = false;
};

constexpr int kStockDemoCount = 11;
constexpr int kUserDemoItem = 11;  // the demo group's "User defined demo"

// The number of frames of stock demo `item` (0..10): the top of its screenshot frame range.
int StockDemoFrames(int item);
// The frame-range label's text for a demo of `frames` frames: "(1 - 4053 frames)".
std::string FrameRangeText(int frames);

// The row for the chosen demo item; the user demo's row is made from the map and demo
// file. False when no demo item is chosen.
bool ChosenDemo(const TBenchChoices& choices, TDemoEntry& demo);

// The three arguments fixed for a whole run: run count text (runs minus one; a run number
// other than "1".."5" keeps the previous text), HDR and normal-map compression.
void FormRunArguments(TBenchEngine& bench);
// "r_SM2XPATH 1" or "r_SM30PATH 1" for Direct3D with shader model 2.0b or 3.0, else "".
std::string ShaderPathArgument(const TBenchChoices& choices);
// Appends the chosen demo's map and demo arguments to `line`.
void AppendDemoArguments(const TBenchChoices& choices, std::string& line);
// The game's whole command line for one resolution (index into kResolutions), made of the
// choices and the run's arguments alone.
std::string BuildCommandLine(const TBenchChoices& choices, const TBenchRunState& state,
                             int resolution);
// The command line as a batch file line, so that the game receives the names as they are:
// cmd expands "%" even inside quotes, so each one is doubled, and it reads batch files in
// the OEM code page, so the line is written in it.
std::string BatchLine(const std::string& commandLine);
// The letters of an ANSI text that the OEM code page cannot hold, separated by ", ";
// "" when it holds them all.
std::string LettersOutsideOemCodePage(const std::string& text);
// The letters of a name that the batch line cannot carry to the game, separated by ", ": a
// double quote or a control character (written "control character 9"), which would end the
// name's quotes or its line and let cmd read the rest as commands of its own, and the letters
// the OEM code page cannot hold. "" when there are none.
std::string LettersNotForTheGame(const std::string& name);
// The game's time-demo log of the demo being run.
std::string DemoLogFileName(const TBenchEngine& bench);

// Copies the chosen demo into the game when the game lacks it, and keeps the demo's map
// folder and name for the log and the report.
void PlaceDemo(TBenchEngine& bench);
// The launch's files: the demo placed in the game, the batch file for the resolution written
// into the game's executable folder, and the demo's old log deleted (EGameFileError when it
// stays: an old log must never pass for the new one). Sets the current resolution and width.
void WriteBatchFile(TBenchEngine& bench, int resolution);
// Starts the game for the resolution, or for the next larger chosen one when it is not
// chosen; nothing after 1600x1200. Writes "rirered.bat" into the game's executable folder
// and runs it through the process component, whose end event carries the run on.
void LaunchResolution(TBenchEngine& bench, int resolution);
