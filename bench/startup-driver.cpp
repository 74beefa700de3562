// Starts a program and times it from CreateProcess until WaitForInputIdle on it returns with
// its main window shown and painted (the window and every visible child without an update
// region), then closes it. Rounds alternate between the program and a bare program that shows
// one empty window, the one first in one round second in the next; a message box of either
// before its window is a failure, not a figure. The program is asked for its start-up trace,
// and the median of each phase is printed above the figure, which comes last: the median of
// the rounds' ratios. The two starts of a round meet the same load, so a round's ratio keeps
// little of a shared machine's drift; 61 rounds keep two runs within a few hundredths.
//   startup-driver <program> <bare program> [rounds]
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "bench/BenchRatio.h"
#include "platform/StartupTrace.h"

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
// The program inherits the driver's environment, so a trace asked for reaches it.
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

// The phases of the start in the order the program reached them, each with its times.
struct TPhases {
  std::vector<std::string> order;
  std::map<std::string, std::vector<double>> times;

  // Reads one start's trace ("<milliseconds><tab><phase>" lines) and deletes it.
  void Take(const std::string& fileName) {
    std::ifstream in(fileName);
    std::string line;
    while (std::getline(in, line)) {
      if (!line.empty() && line.back() == '\r') line.pop_back();
      const size_t tab = line.find('\t');
      if (tab == std::string::npos) continue;
      const std::string phase = line.substr(tab + 1);
      if (!times.count(phase)) order.push_back(phase);
      times[phase].push_back(std::atof(line.substr(0, tab).c_str()));
    }
    in.close();
    DeleteFileA(fileName.c_str());
  }
};

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::printf("usage: startup-driver <program> <bare program> [rounds]\n");
    return 2;
  }
  const std::string program = argv[1], bare = argv[2];
  const int rounds = argc > 3 ? std::atoi(argv[3]) : 61;
  char folder[MAX_PATH] = {};
  GetTempPathA(MAX_PATH, folder);
  const std::string trace = std::string(folder) + "rirered-startup-trace.txt";
  TPhases phases;
  auto timeProgram = [&] {
    SetEnvironmentVariableA(StartupTraceVariable, trace.c_str());
    const double ms = TimeStart(program);
    SetEnvironmentVariableA(StartupTraceVariable, nullptr);
    phases.Take(trace);
    return ms;
  };
  // One start of each first, not counted: the files come into the cache.
  TimeStart(program);
  TimeStart(bare);
  std::vector<double> programTimes, bareTimes, ratios;
  for (int round = 1; round <= rounds; ++round) {
    // Whichever goes second finds the system as the first left it: each goes first in turn.
    double a, b;
    if (round % 2) {
      a = timeProgram();
      b = TimeStart(bare);
    } else {
      b = TimeStart(bare);
      a = timeProgram();
    }
    programTimes.push_back(a);
    bareTimes.push_back(b);
    ratios.push_back(a / b);
    std::printf("round %d: program %.1f ms, bare window %.1f ms, ratio %.2f\n", round, a, b,
                ratios.back());
    std::fflush(stdout);
  }
  std::printf("program %.1f ms, bare window %.1f ms (medians)\n", Median(programTimes),
              Median(bareTimes));
  std::printf("phases of the program's start (median ms since the process began, of %d):\n",
              rounds);
  for (const std::string& phase : phases.order)
    std::printf("  %8.1f  %s\n", Median(phases.times[phase]), phase.c_str());
  std::printf("start to main window/bare window ratio: %.2f\n", Median(ratios));
  return 0;
}
