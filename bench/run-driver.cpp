// Times whole benchmark runs of three resolutions with the stand-in game, through the start
// and end handlers as the main window calls them, and splits each run's wall time into the
// time the game's processes ran, the pauses the run prescribes and the rest: the program's
// own work between them. The last line is the median share of that work in the wall time,
// which moves less with the machine's load than the time itself.
//   run_overhead <program folder> <game root> [runs]   (folders without trailing backslash)
#include <windows.h>
#include <tlhelp32.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "app/BenchEngine.h"
#include "tests/app/QuickRunChoices.h"
#include "app/BenchSequence.h"
#include "app/BenchStart.h"
#include "app/GameCommandLine.h"
#include "platform/Application.h"
#include "platform/Registry.h"
#include "services/SvCreateProcess.h"
#include "services/SvSHFileOperation.h"
#include "bench/EngineBench.h"

namespace {

constexpr int ResolutionsPerRun = 3;

class TRunWatch : public IBenchView {
 public:
  void ShowStatus(const std::string& text) override { status = text; }
  void Repaint() override {}
  void ShowMessage(const std::string& text) override { std::printf("message: %s\n", text.c_str()); }
  void SetAbortPanelVisible(bool) override {}
  void RepaintAbortPanel() override {}
  void SetBenchButtonEnabled(bool enabled) override { buttonEnabled = enabled; }
  void OpenReport(const std::string& fileName) override { report = fileName; }

  bool buttonEnabled = true;
  std::string status, report;
};

double Ms(ULONGLONG ticks100ns) { return static_cast<double>(ticks100ns) / 10000.0; }

ULONGLONG Ticks(const FILETIME& t) {
  return (static_cast<ULONGLONG>(t.dwHighDateTime) << 32) | t.dwLowDateTime;
}

double ClockMs() {
  LARGE_INTEGER frequency, counter;
  QueryPerformanceFrequency(&frequency);
  QueryPerformanceCounter(&counter);
  return 1000.0 * static_cast<double>(counter.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// The batch files' processes this program has started (cmd, which runs the game), each
// opened once so that its times can be read after it has ended.
class TChildren {
 public:
  ~TChildren() {
    for (HANDLE h : handles_) CloseHandle(h);
  }
  void TakeNew() {
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE) return;
    PROCESSENTRY32 entry{};  // the ANSI record: no UNICODE here
    entry.dwSize = sizeof entry;
    for (BOOL ok = Process32First(snapshot, &entry); ok; ok = Process32Next(snapshot, &entry)) {
      if (entry.th32ParentProcessID != GetCurrentProcessId() ||
          lstrcmpiA(entry.szExeFile, "cmd.exe") != 0)
        continue;
      if (std::find(ids_.begin(), ids_.end(), entry.th32ProcessID) != ids_.end()) continue;
      HANDLE h = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION | SYNCHRONIZE, FALSE,
                             entry.th32ProcessID);
      if (!h) continue;
      ids_.push_back(entry.th32ProcessID);
      handles_.push_back(h);
    }
    CloseHandle(snapshot);
  }
  // Milliseconds from the creation to the end of each process, summed; -1 when one is missing.
  double LifetimeMs() const {
    ULONGLONG total = 0;
    for (HANDLE h : handles_) {
      FILETIME created, exited, kernel, user;
      if (!GetProcessTimes(h, &created, &exited, &kernel, &user)) return -1;
      total += Ticks(exited) - Ticks(created);
    }
    return Ms(total);
  }
  size_t Count() const { return handles_.size(); }

 private:
  std::vector<DWORD> ids_;
  std::vector<HANDLE> handles_;
};

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::printf("usage: run_overhead <program folder> <game root> [runs]\n");
    return 2;
  }
  const int runs = argc > 3 ? std::max(1, atoi(argv[3])) : 3;
  Application->Initialize();
  TComponent owner(nullptr);
  TRegistry registry;
  if (!OpenSettingsKey(registry)) return 1;

  TBenchEngine bench;
  TRunWatch view;
  bench.View = &view;
  bench.Registry = &registry;
  bench.FileOp = new TSvSHFileOperation(&owner);
  SetQuietFileOperation(*bench.FileOp);
  bench.cp = new TSvCreateProcess(&owner);
  SetHiddenStart(*bench.cp);
  DWORD prescribed = 0;
  bench.Sleeper = [&prescribed](DWORD ms) {
    prescribed += ms;
    Sleep(ms);
  };
  TChildren* children = nullptr;
  bench.cp->OnTerminate = [&](TObject* sender, DWORD code) {
    cpTerminate(bench, sender, code);
    if (bench.cp->State() == psRunning) children->TakeNew();
  };

  TBenchChoices& c = bench.Choices;
  SetQuickRunChoices(c, IncludeTrailingBackslash(argv[1]), IncludeTrailingBackslash(argv[2]));
  c.Resolution[0] = c.Resolution[1] = c.Resolution[2] = true;
  c.RunNumber = std::string("2");
  c.DetailLevel = 0;
  c.AFLevel = 3;
  c.AALevel = 2;

  std::printf("%d run(s) of %d resolutions (640x480, 800x600, 1024x768), 2 demo runs each, "
              "1 s between resolutions\n",
              runs, ResolutionsPerRun);
  std::vector<double> overheads, shares;
  for (int run = 1; run <= runs; ++run) {
    TChildren started;
    children = &started;
    prescribed = 0;
    const double start = ClockMs();
    BenchButtonClick(bench, nullptr);
    started.TakeNew();
    while (!view.buttonEnabled) Application->HandleMessage();
    const double wall = ClockMs() - start;
    const double game = started.LifetimeMs();
    if (view.status != "The benchmarking is successful." || view.report.empty() ||
        started.Count() != ResolutionsPerRun || game < 0) {
      std::printf("run %d failed: status \"%s\", %zu game processes\n", run, view.status.c_str(),
                  started.Count());
      return 1;
    }
    const double rest = wall - game - prescribed;
    const double share = 100.0 * rest / wall;
    std::printf("run %d: wall time %.1f ms, game processes %.1f ms, prescribed pauses %lu ms, "
                "remainder %.1f ms (%.1f ms per resolution, %.2f %% of the wall time)\n",
                run, wall, game, static_cast<unsigned long>(prescribed), rest,
                rest / ResolutionsPerRun, share);
    overheads.push_back(rest / ResolutionsPerRun);
    shares.push_back(share);
  }
  registry.DeleteValue("NoErrorWarning");
  std::printf("overhead per resolution: %.1f ms\n", Median(overheads));
  std::printf("run overhead share: %.2f %%\n", Median(shares));
  return 0;
}
