#include "platform/StartupTrace.h"

#include <windows.h>

#include <cstdio>

const char* const StartupTraceVariable = "RIRERED_STARTUP_TRACE";

namespace {

double FileTimeMilliseconds(const FILETIME& t) {
  ULARGE_INTEGER v;
  v.LowPart = t.dwLowDateTime;
  v.HighPart = t.dwHighDateTime;
  return static_cast<double>(v.QuadPart) / 10000.0;
}

// The system clock as finely as the system keeps it: the process's creation time is on that
// clock, and the coarse form ticks only every few milliseconds on some systems.
double NowMilliseconds() {
  using TPrecise = void(WINAPI*)(LPFILETIME);
  static const TPrecise precise = reinterpret_cast<TPrecise>(reinterpret_cast<void*>(
      GetProcAddress(GetModuleHandleA("kernel32.dll"), "GetSystemTimePreciseAsFileTime")));
  FILETIME now;
  if (precise)
    precise(&now);
  else
    GetSystemTimeAsFileTime(&now);
  return FileTimeMilliseconds(now);
}

struct TTrace {
  HANDLE file = INVALID_HANDLE_VALUE;
  double started = 0;

  TTrace() {
    char path[MAX_PATH] = {};
    const DWORD n = GetEnvironmentVariableA(StartupTraceVariable, path, sizeof path);
    if (n == 0 || n >= sizeof path) return;
    FILETIME creation, exit, kernel, user;
    if (!GetProcessTimes(GetCurrentProcess(), &creation, &exit, &kernel, &user)) return;
    started = FileTimeMilliseconds(creation);
    file = CreateFileA(path, GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                       FILE_ATTRIBUTE_NORMAL, nullptr);
  }
  ~TTrace() {
    if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
  }
};

TTrace& Trace() {
  static TTrace trace;
  return trace;
}

}  // namespace

void TraceStartup(const char* phase) {
  TTrace& trace = Trace();
  if (trace.file == INVALID_HANDLE_VALUE) return;
  char line[256];
  const int n = std::snprintf(line, sizeof line, "%.2f\t%s\r\n",
                              NowMilliseconds() - trace.started, phase);
  if (n <= 0) return;
  DWORD written = 0;
  WriteFile(trace.file, line, static_cast<DWORD>(n < static_cast<int>(sizeof line) ? n : sizeof line - 1),
            &written, nullptr);
}
