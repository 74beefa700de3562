// Screenshot mode's output: the game's screenshot of each resolution moved into the
// screenshot folder under a name of frame, start time and width, with a description beside it.
#pragma once

#include <string>

#include "app/BenchEngine.h"
#include "platform/StringList.h"

// The output name without extension: folder + "frame<frame>_<start time digits>_<width>".
std::string ScreenshotBaseName(const TBenchEngine& bench);
// The description's lines: resolution, frame, renderer, demo and every setting, and the note.
void BuildScreenshotDescription(const TBenchEngine& bench, TStrings& lines);

// The start of a screenshot run: a "Quenmar0000.jpg" already in the game's folder (maybe a
// picture an earlier run could not move) is renamed to a free "Quenmar0000 (n).jpg", so that
// the game's new picture gets the name and the old one is kept. Raises EGameFileError when it
// cannot be renamed.
void MoveOldScreenshotAside(const TBenchEngine& bench);

// What became of a resolution's screenshot.
enum TScreenshotOutcome {
  soMoved,  // in the screenshot folder, with its description
  soKept,   // the folder could not take it: kept in the game's folder (KeptAs)
  soNone,   // the game took none
};
struct TScreenshotResult {
  TScreenshotOutcome Outcome = soNone;
  std::string KeptAs;  // soKept: where the picture is now
};
// Moves the game's "Quenmar0000.jpg" to the ".jpg" name and writes the description as the
// ".txt" name. When the screenshot folder cannot take it, the picture is renamed in the
// game's folder to the same file name (made unique), with its description beside it, so the
// next game's screenshot cannot take its place. When the game took no screenshot nothing is
// written.
TScreenshotResult MoveScreenshot(TBenchEngine& bench);
