#include "app/GameFiles.h"

#include <algorithm>

#include "platform/Guards.h"
#include "resources/ResourceIds.h"

namespace {

void ClearReadOnly(const std::string& fileName) {
  const DWORD attributes = GetFileAttributesA(fileName.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY))
    SetFileAttributesA(fileName.c_str(), attributes & ~FILE_ATTRIBUTE_READONLY);
}

[[noreturn]] void RaiseFileError(UINT resourceId, const std::string& fileName, DWORD error) {
  throw EGameFileError(ResMessage(resourceId, fileName, SysErrorMessage(error)));
}

}  // namespace

void DeleteIfPresent(const std::string& fileName) {
  if (GetFileAttributesA(fileName.c_str()) == INVALID_FILE_ATTRIBUTES) return;
  if (DeleteFileA(fileName.c_str())) return;
  DWORD error = GetLastError();
  if (error == ERROR_ACCESS_DENIED) {
    ClearReadOnly(fileName);
    if (DeleteFileA(fileName.c_str())) return;
    error = GetLastError();
  }
  if (error == ERROR_FILE_NOT_FOUND) return;
  RaiseFileError(IDS_FILE_NOT_DELETED, fileName, error);
}

std::string ReadWholeFile(const std::string& fileName) {
  try {
    return ReadFileContents(fileName);
  } catch (const EStreamError& e) {
    RaiseFileError(IDS_FILE_NOT_READ, fileName, e.ErrorCode());
  }
}

std::string ReadFileHead(const std::string& fileName, DWORD limit) {
  THandleGuard file(CreateFileA(fileName.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                OPEN_EXISTING, 0, nullptr));
  std::string head(limit, '\0');
  DWORD read = 0;
  if (!file || !ReadFile(file.Get(), head.data(), limit, &read, nullptr))
    RaiseFileError(IDS_FILE_NOT_READ, fileName, GetLastError());
  head.resize(read);
  return head;
}

bool FileHoldsData(const std::string& fileName) {
  try {
    return !ReadWholeFile(fileName).empty();
  } catch (const EGameFileError&) {
    return false;
  }
}

std::string UniqueFileName(const std::string& stem, const std::string& extension) {
  std::string name = stem + extension;
  for (int n = 2; GetFileAttributesA(name.c_str()) != INVALID_FILE_ATTRIBUTES; ++n)
    name = stem + " (" + IntToStr(n) + ")" + extension;
  return name;
}

std::string TemporaryNameFor(const std::string& fileName) { return fileName + ".tmp"; }

void ReplaceFileContents(const std::string& fileName, const std::string& bytes,
                         DWORD attributes) {
  const std::string temp = TemporaryNameFor(fileName);
  ClearReadOnly(temp);  // left by an earlier run that was ended half-way
  {
    THandleGuard file(CreateFileA(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) RaiseFileError(IDS_FILE_NOT_WRITTEN, fileName, GetLastError());
    size_t done = 0;
    while (done < bytes.size()) {
      DWORD written = 0;
      const DWORD chunk = static_cast<DWORD>(std::min<size_t>(bytes.size() - done, 1u << 20));
      if (!WriteFile(file.Get(), bytes.data() + done, chunk, &written, nullptr) || written == 0) {
        const DWORD error = GetLastError();
        file.Close();
        DeleteFileA(temp.c_str());
        RaiseFileError(IDS_FILE_NOT_WRITTEN, fileName, error ? error : ERROR_DISK_FULL);
      }
      done += written;
    }
    // On the disk before it takes the old file's place.
    FlushFileBuffers(file.Get());
  }
  ReplaceWithFile(temp, fileName);
  if (attributes && attributes != FILE_ATTRIBUTE_NORMAL)
    SetFileAttributesA(fileName.c_str(), attributes);
}

DWORD MoveIntoPlace(const std::string& temp, const std::string& fileName) {
  ClearReadOnly(fileName);
  if (MoveFileExA(temp.c_str(), fileName.c_str(),
                  MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
    return 0;
  const DWORD error = GetLastError();
  ClearReadOnly(temp);
  DeleteFileA(temp.c_str());
  return error;
}

void ReplaceWithFile(const std::string& temp, const std::string& fileName) {
  if (const DWORD error = MoveIntoPlace(temp, fileName))
    RaiseFileError(IDS_FILE_NOT_WRITTEN, fileName, error);
}
