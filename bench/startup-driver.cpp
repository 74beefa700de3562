// Starts a program and times it from CreateProcess until WaitForInputIdle on it returns with
// its main window shown and painted (the window and every visible child without an update
// region), then closes it. Rounds alternate between the program and a bare program that shows
// one empty window; a message box of either before its window is a failure, not a figure.
//   startup-driver <program> <bare program> [rounds]
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "bench/BenchRatio.h"

namespace {

struct TFind {
  DWORD process = 0;
  HWND window = nullptr;  // a shown top-level window of the process with a caption
  HWND box = nullptr;     // a shown message box of the process
};

BOOL CALLBACK FindTopLevel(HWND wnd, LPARAM data) {
  TFind& find = *reinterpret_cast<TFind*>(data);
  DWORD process = 0;
  GetWindowThreadProcessId(wnd, &process);
  if (process != find.process || !IsWindowVisible(wnd)) return TRUE;
  char cls[32] = {};
  GetClassNameA(wnd, cls, sizeof cls);
  if (std::string(cls) == "#32770")
    find.box = wnd;
  else if (GetWindowTextLengthA(wnd) > 0 && !find.window)
    find.window = wnd;
  return TRUE;
}

BOOL CALLBACK FindUnpainted(HWND wnd, LPARAM data) {
  if (IsWindowVisible(wnd) && GetUpdateRect(wnd, nullptr, FALSE)) {
    *reinterpret_cast<bool*>(data) = true;
    return FALSE;
  }
  return TRUE;
}

bool Painted(HWND wnd) {
  if (GetUpdateRect(wnd, nullptr, FALSE)) return false;
  bool unpainted = false;
  EnumChildWindows(wnd, FindUnpainted, reinterpret_cast<LPARAM>(&unpainted));
  return !unpainted;
}

[[noreturn]] void Fail(const std::string& what) {
  std::printf("FAILED: %s\n", what.c_str());
  std::fflush(stdout);
  std::exit(1);
}

// One start of `program` (started in its own folder); returns its time in milliseconds.
double TimeStart(const std::string& program) {
  std::string folder = program.substr(0, program.find_last_of('\\'));
  std::string command = "\"" + program + "\"";
  STARTUPINFOA si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  const double started = Milliseconds();
  if (!CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                      folder.c_str(), &si, &pi))
    Fail("cannot start " + program + " (error " + std::to_string(GetLastError()) + ")");
  CloseHandle(pi.hThread);
  double elapsed = 0;
  TFind find;
  find.process = pi.dwProcessId;
  for (;;) {
    const DWORD idle = WaitForInputIdle(pi.hProcess, 50);
    if (idle == WAIT_FAILED) Fail(program + ": WaitForInputIdle failed");
    find.window = find.box = nullptr;
    EnumWindows(FindTopLevel, reinterpret_cast<LPARAM>(&find));
    if (find.box) {
      char text[512] = {};
      GetDlgItemTextA(find.box, 0xFFFF, text, sizeof text);
      Fail(program + ": a message box came before the main window: " + text);
    }
    if (idle == 0 && find.window && Painted(find.window)) {
      elapsed = Milliseconds() - started;
      break;
    }
    if (WaitForSingleObject(pi.hProcess, 0) == WAIT_OBJECT_0) Fail(program + " ended at its start");
    if (Milliseconds() - started > 60000) Fail(program + ": no main window within a minute");
    // Idle already, but the window is not up or not painted yet: look again shortly.
    if (idle == 0) Sleep(1);
  }
  PostMessageA(find.window, WM_CLOSE, 0, 0);
  if (WaitForSingleObject(pi.hProcess, 20000) != WAIT_OBJECT_0) {
    TerminateProcess(pi.hProcess, 1);
    WaitForSingleObject(pi.hProcess, 5000);
  }
  CloseHandle(pi.hProcess);
  return elapsed;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::printf("usage: startup-driver <program> <bare program> [rounds]\n");
    return 2;
  }
  const std::string program = argv[1], bare = argv[2];
  const int rounds = argc > 3 ? std::atoi(argv[3]) : 15;
  // One start of each first, not counted: the files come into the cache.
  TimeStart(program);
  TimeStart(bare);
  const double ratio = MedianRatio(
      rounds, [&] { return TimeStart(program); }, [&] { return TimeStart(bare); }, "program",
      "bare window");
  std::printf("start to main window/bare window ratio: %.2f\n", ratio);
  return 0;
}
