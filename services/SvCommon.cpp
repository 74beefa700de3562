#include "services/SvCommon.h"

#include <cstdlib>
#include <cstring>

#include "resources/ResourceIds.h"

std::string LoadResString(UINT resourceId) {
  char buf[1024];
  int n = LoadStringA(GetModuleHandleA(nullptr), resourceId, buf, sizeof buf);
  return n > 0 ? std::string(buf, static_cast<size_t>(n)) : std::string();
}

ESvError::ESvError(UINT resourceId) : Exception(LoadResString(resourceId)) {}
ESvException::ESvException(UINT resourceId) : Exception(LoadResString(resourceId)) {}

std::string GetWindowsSystemFolder() {
  UINT size = GetSystemDirectoryA(nullptr, 0);
  if (size == 0) return std::string();
  std::string folder(size, '\0');
  GetSystemDirectoryA(folder.data(), size);
  folder.resize(std::strlen(folder.c_str()));
  return folder;
}

int PosNoCase(const std::string& sub, const std::string& text) {
  return Pos(AnsiUpperCase(sub), AnsiUpperCase(text));
}

void CheckOsCall(bool ok) {
  if (!ok) RaiseLastOSError();
}

char* StringsToMultiSz(const TStrings& list) {
  size_t size = 1;
  for (int i = 0; i < list.Count(); ++i) {
    std::string s = list.Strings(i);
    if (s.empty()) throw ESvError(IDS_SV_MULTISZ_EMPTY);
    size += s.size() + 1;
  }
  char* block = static_cast<char*>(std::malloc(size));
  if (!block) throw EOutOfMemory("Out of memory");
  char* p = block;
  for (int i = 0; i < list.Count(); ++i) {
    std::string s = list.Strings(i);
    std::memcpy(p, s.c_str(), s.size() + 1);
    p += s.size() + 1;
  }
  *p = '\0';
  return block;
}

void FreeMultiSz(char*& block) {
  std::free(block);
  block = nullptr;
}
