#include "platform/SysUtils.h"

#include <cstdarg>
#include <cstdio>
#include <vector>

std::string Format(const char* fmt, ...) {
  va_list args;
  va_start(args, fmt);
  va_list copy;
  va_copy(copy, args);
  int n = std::vsnprintf(nullptr, 0, fmt, copy);
  va_end(copy);
  std::string out;
  if (n > 0) {
    out.resize(static_cast<size_t>(n) + 1);
    std::vsnprintf(out.data(), out.size(), fmt, args);
    out.resize(static_cast<size_t>(n));
  }
  va_end(args);
  return out;
}

std::string SysErrorMessage(DWORD code) {
  char* buf = nullptr;
  DWORD n = FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                               FORMAT_MESSAGE_IGNORE_INSERTS | FORMAT_MESSAGE_ARGUMENT_ARRAY,
                           nullptr, code, 0, reinterpret_cast<LPSTR>(&buf), 0, nullptr);
  std::string text;
  if (n > 0 && buf) text.assign(buf, n);
  if (buf) LocalFree(buf);
  while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == ' ' ||
                           text.back() == '.'))
    text.pop_back();
  if (!text.empty()) text += '.';
  return text;
}

void Abort() { throw EAbort(); }

EOSError::EOSError(DWORD code)
    : Exception(code != 0 ? Format("System Error.  Code: %lu.\r\n%s", static_cast<unsigned long>(code),
                                   SysErrorMessage(code).c_str())
                          : std::string("A call to an OS function failed")),
      code_(code) {}

void RaiseLastOSError() { RaiseLastOSError(GetLastError()); }
void RaiseLastOSError(DWORD code) { throw EOSError(code); }
