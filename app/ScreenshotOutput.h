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
// Moves the game's "Quenmar0000.jpg" to the ".jpg" name and writes the description as the
// ".txt" name. When the game took no screenshot nothing is written.
void MoveScreenshot(TBenchEngine& bench);
