// Times the engine's own work for one resolution — the game's configuration, the batch
// file, the log check and the report section — without its pauses and without the game, and
// beside it the same file work done with bare calls: the same bytes written the safe way
// (temporary file, then replace), the old log deleted, the log read and searched.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <vector>

#include "app/BenchEngine.h"
#include "app/BenchReport.h"
#include "app/GameCommandLine.h"
#include "app/GameConfig.h"
#include "platform/Registry.h"
#include "services/SvCreateProcess.h"
#include "services/SvSHFileOperation.h"
#include "bench/EngineBench.h"

namespace {

double Milliseconds(LARGE_INTEGER from, LARGE_INTEGER to) {
  LARGE_INTEGER frequency;
  QueryPerformanceFrequency(&frequency);
  return 1000.0 * static_cast<double>(to.QuadPart - from.QuadPart) /
         static_cast<double>(frequency.QuadPart);
}

// A log of three runs as the game leaves it.
void WriteGameLog(const std::string& fileName) {
  TStringList log;
  log.Add("==============================================================");
  log.Add("TimeDemo Play Started , (Total Frames: 4053, Recorded Time: 135.10s)");
  log.Add("-----------------------------------------------------------------");
  const char* const scores[] = {"57.12", "57.13", "56.98"};
  for (int run = 0; run < 3; ++run) {
    log.Add(Format("!TimeDemo Run %d Finished.  Play Time: 70.95s, Average FPS: %s", run,
                   scores[run]));
    log.Add(" Min FPS: 40.10 at frame 1212, Max FPS: 80.30 at frame 3100");
    log.Add(" Average Tri/Sec: 3000000, Tri/Frame: 52000");
    log.Add(" Recorded/Played Tris ratio: 1.00");
    log.Add(Format("!TimeDemo Run %d Finished.", run));
  }
  log.SaveToFile(fileName);
}

std::string ReadWhole(const std::string& name) {
  std::string bytes;
  HANDLE h = CreateFileA(name.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (h == INVALID_HANDLE_VALUE) return bytes;
  bytes.resize(GetFileSize(h, nullptr));
  DWORD read = 0;
  if (!bytes.empty()) ReadFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr);
  bytes.resize(read);
  CloseHandle(h);
  return bytes;
}

// Writes the bytes to a temporary file beside `name`, then puts it in place in one step.
bool WriteReplacing(const std::string& name, const std::string& bytes) {
  const std::string temp = name + ".tmp";
  HANDLE h = CreateFileA(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  if (h == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  const bool ok = WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
                  written == bytes.size();
  CloseHandle(h);
  return ok && MoveFileExA(temp.c_str(), name.c_str(), MOVEFILE_REPLACE_EXISTING);
}

// The files the engine wrote for one resolution, as bytes, and where the bare calls put them.
struct TBareWork {
  std::string folder;
  std::string config, override, batch;
  std::string finished;
};

bool BareConfiguration(const TBareWork& work) {
  return WriteReplacing(work.folder + "system.cfg", work.config) &&
         WriteReplacing(work.folder + "Systemcfgoverride.cfg", work.override);
}

bool BareBatch(const TBareWork& work) {
  DeleteFileA((work.folder + "bare.log").c_str());
  return WriteReplacing(work.folder + "rirered.bat", work.batch);
}

bool BareLogCheck(const TBareWork& work) {
  const std::string log = ReadWhole(work.folder + "bare.log");
  return log.find("\r\n" + work.finished + "\r\n") != std::string::npos;
}

void DeleteTree(const std::string& folder) {
  WIN32_FIND_DATAA data;
  HANDLE find = FindFirstFileA((folder + "\\*").c_str(), &data);
  if (find != INVALID_HANDLE_VALUE) {
    do {
      const std::string name = data.cFileName;
      if (name == "." || name == "..") continue;
      const std::string path = folder + "\\" + name;
      if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
        DeleteTree(path);
      else
        DeleteFileA(path.c_str());
    } while (FindNextFileA(find, &data));
    FindClose(find);
  }
  RemoveDirectoryA(folder.c_str());
}

}  // namespace

int main(int argc, char** argv) {
  const int repetitions = argc > 1 ? std::max(1, atoi(argv[1])) : 300;
  char temp[MAX_PATH];
  GetTempPathA(sizeof(temp), temp);
  const std::string root = Format("%sengine bench %lu\\", temp, GetCurrentProcessId());
  ForceDirectories(root + "Program");
  ForceDirectories(root + "Game\\Bin32");
  ForceDirectories(root + "Game\\Levels\\Steam");
  TStringList demo;
  demo.Add("stand-in demo");
  demo.SaveToFile(root + "Game\\Levels\\Steam\\nmxsteam.tmd");

  TComponent owner(nullptr);
  // The engine marks each configuration it writes in the program's settings (the bench's own
  // prefix), so that mark is part of the work measured.
  TRegistry registry;
  if (!OpenSettingsKey(registry)) return 1;
  TBenchEngine bench;
  bench.Registry = &registry;
  bench.FileOp = new TSvSHFileOperation(&owner);
  SetQuietFileOperation(*bench.FileOp);
  bench.cp = new TSvCreateProcess(&owner);
  SetHiddenStart(*bench.cp);
  bench.Sleeper = [](DWORD) {};
  TBenchChoices& c = bench.Choices;
  c.ProgramFolder = root + "Program\\";
  c.GameRoot = root + "Game\\";
  c.ExeFolder = root + "Game\\Bin32\\";
  c.ResultsFolder = root + "Results\\";
  c.Demo = 1;
  c.Resolution[2] = true;
  c.DetailLevel = 0;
  c.AFLevel = 3;
  c.AALevel = 2;
  c.Renderer = 0;
  c.Language = 4;
  c.ShaderModel = 1;
  c.GeometryInstancing = true;
  c.RunNumber = "3";
  c.HDRLevel = "1";
  c.DecimalSeparator = ".";
  bench.State.StartText = "12_31_2024 14:05:33";
  bench.State.TimeText = "14_05_33";
  bench.State.ChosenCount = 5;
  FormRunArguments(bench);
  WriteReportHeader(bench);
  const int headerLines = bench.State.Report.Count();

  std::vector<double> config, batch, report, total, bare;
  const std::string log = root + "Game\\Levels\\Steam\\nmxsteam.log";
  TBareWork work;
  work.folder = root + "Bare\\";
  ForceDirectories(work.folder);
  WriteGameConfiguration(bench);
  WriteBatchFile(bench, 2);
  work.config = ReadWhole(c.GameRoot + "system.cfg");
  work.override = ReadWhole(c.GameRoot + "Systemcfgoverride.cfg");
  work.batch = ReadWhole(c.ExeFolder + "rirered.bat");
  work.finished = "!TimeDemo Run " + bench.State.RunCountText + " Finished.";
  for (int i = 0; i < repetitions; ++i) {
    LARGE_INTEGER t0, t1, t2, t3, t4;
    QueryPerformanceCounter(&t0);
    WriteGameConfiguration(bench);
    QueryPerformanceCounter(&t1);
    WriteBatchFile(bench, 2);
    QueryPerformanceCounter(&t2);
    WriteGameLog(log);  // the game's part, not timed
    QueryPerformanceCounter(&t3);
    if (!CheckDemoLogFinished(bench)) {
      std::printf("the log check failed\n");
      return 1;
    }
    AddReportSection(bench);
    QueryPerformanceCounter(&t4);
    while (bench.State.Report.Count() > headerLines)
      bench.State.Report.Delete(bench.State.Report.Count() - 1);
    LARGE_INTEGER b0, b1, b2, b3, b4;
    QueryPerformanceCounter(&b0);
    const bool configured = BareConfiguration(work);
    QueryPerformanceCounter(&b1);
    const bool batched = BareBatch(work);
    QueryPerformanceCounter(&b2);
    WriteGameLog(work.folder + "bare.log");  // the game's part, not timed
    QueryPerformanceCounter(&b3);
    if (!configured || !batched || !BareLogCheck(work)) {
      std::printf("the bare file work failed\n");
      return 1;
    }
    QueryPerformanceCounter(&b4);
    bare.push_back(Milliseconds(b0, b2) + Milliseconds(b3, b4));
    config.push_back(Milliseconds(t0, t1));
    batch.push_back(Milliseconds(t1, t2));
    report.push_back(Milliseconds(t3, t4));
    total.push_back(Milliseconds(t0, t2) + Milliseconds(t3, t4));
  }
  DeleteTree(ExcludeTrailingBackslash(root));

  std::printf("repetitions: %d (medians)\n", repetitions);
  std::printf("configuration (system.cfg and override): %.3f ms\n", Median(config));
  std::printf("batch file: %.3f ms\n", Median(batch));
  std::printf("log check and report section: %.3f ms\n", Median(report));
  std::printf("engine work per resolution: %.3f ms\n", Median(total));
  std::printf("bare file work per resolution: %.3f ms\n", Median(bare));
  std::printf("engine/bare file work ratio: %.2f\n", Median(total) / Median(bare));
  return 0;
}
