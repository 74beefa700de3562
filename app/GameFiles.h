// The game's and the user's files as the benchmark changes them: every delete checked, and a
// file the user owns rewritten through a temporary file that then takes its place in one step.
#pragma once

#include <windows.h>

#include <string>

#include "platform/SysUtils.h"

// A file that could not be read, written, copied or deleted; the message names the file and
// the reason.
class EGameFileError : public Exception {
 public:
  using Exception::Exception;
};

// Deletes the file when there is one; a read-only file loses that attribute first. Raises
// EGameFileError when the file is still there afterwards.
void DeleteIfPresent(const std::string& fileName);

// The whole file; raises EGameFileError when it cannot be read.
std::string ReadWholeFile(const std::string& fileName);
// At most the first `limit` bytes of the file; raises EGameFileError when it cannot be read.
std::string ReadFileHead(const std::string& fileName, DWORD limit);
// Whether the file can be read and holds at least one byte: a backup a full disk left empty,
// or one that cannot be read, is never put back over the game's file.
bool FileHoldsData(const std::string& fileName);

// Writes `bytes` as `fileName`: first into "<fileName>.tmp" beside it, which then takes the
// file's place in one step, so the file is at every moment either the old or the new one. A
// read-only file there loses that attribute first; the new file gets `attributes` (0: none
// of its own). Raises EGameFileError when a step fails, with the temporary file removed.
void ReplaceFileContents(const std::string& fileName, const std::string& bytes,
                         DWORD attributes = 0);

// Puts the finished file `temp` in the place of `fileName` in one step, as above; on failure
// `temp` is removed and EGameFileError raised.
void ReplaceWithFile(const std::string& temp, const std::string& fileName);
// The same step; it answers the system's error code (0 when done) instead of raising.
DWORD MoveIntoPlace(const std::string& temp, const std::string& fileName);

// `stem` + `extension` when no file or folder has that name, else the first free of
// `stem` + " (2)" + `extension`, " (3)" and so on.
std::string UniqueFileName(const std::string& stem, const std::string& extension);

// The name of the temporary file ReplaceFileContents writes beside `fileName`.
std::string TemporaryNameFor(const std::string& fileName);
