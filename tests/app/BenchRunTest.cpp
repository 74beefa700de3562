// Whole runs through the start and end handlers: the stand-in game started for real through
// the batch file and the process component, the real shell file operation, registry and files.
//
// Where the parts live, in this order:
//   the fixture                  TGameEnd, TDescendants (the run's processes), BenchRunTest
//   runs that end well           ThreeResolutions..., TheUsersConfigurationComesBack...,
//                                BenchAbortTest, OneResolutionWhoseGameFails...,
//                                ScreenshotModeKeepsAPicture...
//   starts refused, logs bad     BenchRefusedTest, SecondStartFindsTheSplashBackup...,
//                                BenchMalformedLogTest, GameThatCannotBeStarted...
//   the user's configuration     KilledRunLeavesTheMark..., AKillAtAnyPause...,
//   after kills and refusals     ARefusedStartThenARealOne..., BenchUserFileTest,
//                                AReadOnlyCustomFile..., TheGamesOwnFileAsTheCustomFile,
//                                ACustomFileThatIsNoConfiguration..., AFileTheUserSaves...,
//                                TheSplashBackupIsVerified, BenchFailedBackupTest
//   files and names at the ends  AnOldLogIsDeleted..., WhenTheLastResolutionFails...,
//                                ScreenshotModeKeepsTheLastPicture..., NamesTheGameCannot...,
//                                BenchScreenshotEndTest, BenchReportFolderTest
#include <gtest/gtest.h>

#include <windows.h>
#include <tlhelp32.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "QuickRunChoices.h"
#include "app/BenchReport.h"
#include "app/GameFiles.h"
#include "app/BenchSequence.h"
#include "app/BenchStart.h"
#include "app/EngineTestSupport.h"
#include "app/GameCommandLine.h"
#include "platform/Jpeg.h"
#include "platform/Registry.h"

namespace {

using V = std::vector<std::string>;

constexpr DWORD RunTimeoutMs = 60000;

const std::string ProgressText = "Benchmarking in progress... Resolution: ";

// What the test sees each time the game has ended, before the end handler runs.
struct TGameEnd {
  std::string log;
  bool reportThere = false;
  bool panelVisible = false;
};

// The game's frame rates in its log, as the game wrote them ("57.12").
V LoggedScores(const std::string& log) {
  V scores;
  for (size_t at = log.find("Average FPS: "); at != std::string::npos;
       at = log.find("Average FPS: ", at + 1))
    scores.push_back(log.substr(at + 13, log.find("\r\n", at) - at - 13));
  return scores;
}

// The processes that one process started and those they started in turn, held open so that
// their end can be awaited once the process itself is gone.
class TDescendants {
 public:
  explicit TDescendants(DWORD ancestor) {
    std::vector<PROCESSENTRY32> processes;
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE) return;
    PROCESSENTRY32 entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32First(snapshot, &entry); more; more = Process32Next(snapshot, &entry))
      processes.push_back(entry);
    CloseHandle(snapshot);
    std::vector<DWORD> family{ancestor};
    for (std::size_t i = 0; i < family.size(); ++i)
      for (const PROCESSENTRY32& p : processes)
        if (p.th32ParentProcessID == family[i] &&
            std::find(family.begin(), family.end(), p.th32ProcessID) == family.end())
          family.push_back(p.th32ProcessID);
    for (std::size_t i = 1; i < family.size(); ++i)
      if (HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, family[i])) handles_.push_back(process);
  }
  ~TDescendants() {
    for (HANDLE process : handles_) CloseHandle(process);
  }
  TDescendants(const TDescendants&) = delete;
  TDescendants& operator=(const TDescendants&) = delete;

  bool Empty() const { return handles_.empty(); }
  // True once every one has ended; false when one still runs after `ms`.
  bool WaitForEnd(DWORD ms) const {
    return handles_.empty() || WaitForMultipleObjects(static_cast<DWORD>(handles_.size()), handles_.data(), TRUE,
                                                      ms) == WAIT_OBJECT_0;
  }

 private:
  std::vector<HANDLE> handles_;
};

class BenchRunTest : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(Game.Ok());
    // Short runs: the game plays every fourth frame of its 40-frame demo.
    SetEnvironmentVariableA("QUENMAR_FRAME_STEP", "4");
    ProgramFolder = Game.Root() + "Program Folder\\";
    const std::string bin = TestProgramFolder();
    ASSERT_TRUE(ForceDirectories(ProgramFolder + "DirectX9c"));
    for (const char* file : {"qmsplash.bmp", "logo1.jpg", "DirectX9c\\fxc.exe"})
      ASSERT_TRUE(CopyFileA((bin + file).c_str(), (ProgramFolder + file).c_str(), FALSE)) << file;
    for (const char* folder : {"PLMR", "NMX", "VL", "Gridwise", "Orvane"})
      ASSERT_TRUE(CopyFolderTree(bin + folder + "\\", ProgramFolder + folder + "\\")) << folder;
    GameConfig = ReadFileBytes(Game.Root() + "system.cfg");
    GameSplash = ReadFileBytes(Game.Root() + "qmsplash.bmp");
    ProgramSplash = ReadFileBytes(ProgramFolder + "qmsplash.bmp");
    ASSERT_FALSE(GameConfig.empty());
    ASSERT_NE(GameSplash, ProgramSplash);

    Application->OnException = [this](TObject*, const std::exception& e) {
      Errors.push_back(e.what());
    };
    FileOp = new TSvSHFileOperation(&Owner);
    SetQuietFileOperation(*FileOp);
    Process = new TSvCreateProcess(&Owner);
    SetHiddenStart(*Process);
    Process->OnTerminate = [this](TObject* sender, DWORD code) {
      if (BeforeEndHandler) BeforeEndHandler();
      Ends.push_back({ReadFileBytes(DemoLogFileName(*Bench)), FileExists(ReportFileName(*Bench)),
                      View.PanelVisible});
      cpTerminate(*Bench, sender, code);
    };

    Bench = std::make_unique<TBenchEngine>();
    Bench->View = &View;
    Bench->FileOp = FileOp;
    Bench->cp = Process;
    Bench->Registry = &Settings.Registry;
    Bench->Sleeper = [this](DWORD ms) {
      Pauses.push_back(ms);
      if (DuringPause) DuringPause(ms);
    };
    TBenchChoices& c = Bench->Choices;
    SetQuickRunChoices(c, ProgramFolder, Game.Root());
    c.ScreenshotFolder = Game.Root() + "Screenshot\\";
  }

  void TearDown() override {
    Application->OnException = nullptr;
    Bench.reset();
    SetEnvironmentVariableA("QUENMAR_FRAME_STEP", nullptr);
  }

  // Presses the start button and runs the GUI thread's messages until the run is over.
  bool RunToEnd() {
    BenchButtonClick(*Bench, nullptr);
    return LoopUntil([this] { return View.ButtonEnabled; }, RunTimeoutMs);
  }

  // Runs one benchmark in a process of its own (BenchRunHost with these options) over this
  // test's program folder and game; its exit code, and what it printed in `output`.
  DWORD RunHost(const std::string& options, std::string* output = nullptr) {
    // No backslash before a closing quote, which would escape it.
    std::string line = "\"" + TestProgramFolder() + "BenchRunHost.exe\" \"" +
                       ExcludeTrailingBackslash(ProgramFolder) + "\" \"" +
                       ExcludeTrailingBackslash(Root()) + "\" --settings-key \"" +
                       Settings.Path() + "\" " + options;
    SECURITY_ATTRIBUTES inheritable{sizeof inheritable, nullptr, TRUE};
    const std::string outputFile = Root() + "host output.txt";
    HANDLE out = CreateFileA(outputFile.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inheritable,
                             CREATE_ALWAYS, 0, nullptr);
    STARTUPINFOA si{};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdOutput = si.hStdError = out;
    PROCESS_INFORMATION pi{};
    const bool started = CreateProcessA(nullptr, line.data(), nullptr, nullptr, TRUE, 0, nullptr,
                                        nullptr, &si, &pi);
    CloseHandle(out);
    if (!started) {
      ADD_FAILURE() << "BenchRunHost did not start";
      return 0xFFFFFFFF;
    }
    CloseHandle(pi.hThread);
    DWORD code = 0xFFFFFFFF;
    if (WaitForSingleObject(pi.hProcess, RunTimeoutMs) == WAIT_OBJECT_0)
      GetExitCodeProcess(pi.hProcess, &code);
    else
      TerminateProcess(pi.hProcess, 1);
    CloseHandle(pi.hProcess);
    if (output) *output = ReadFileBytes(outputFile);
    DeleteFileA(outputFile.c_str());
    return code;
  }

  std::string NoErrorWarning() { return Settings.Read("NoErrorWarning"); }
  std::string ConfigBackupMark() { return Settings.Read("ConfigBackup"); }
  std::string Root() const { return Game.Root(); }
  int Launches() const {
    int n = 0;
    for (const std::string& status : View.Statuses)
      if (status.rfind(ProgressText, 0) == 0 ||
          status.rfind("Screenshot mode in progress... ", 0) == 0)
        ++n;
    return n;
  }

  // After the run: the game's own configuration and splash back, the run's files gone, the
  // interrupted-run mark cleared and the start button usable again.
  void ExpectGameFilesPutBack() {
    EXPECT_EQ(ReadFileBytes(Root() + "system.cfg"), GameConfig);
    EXPECT_EQ(ReadFileBytes(Root() + "qmsplash.bmp"), GameSplash);
    EXPECT_FALSE(FileExists(Root() + "qmsplashold.bmp"));
    EXPECT_FALSE(FileExists(Root() + "Systemcfgoverride.cfg"));
    EXPECT_EQ(ReadFileBytes(ProgramFolder + "Backup\\system.cfg"), GameConfig);
    EXPECT_EQ(NoErrorWarning(), "0");
    EXPECT_EQ(ConfigBackupMark(), "0");
    EXPECT_TRUE(View.ButtonEnabled);
    EXPECT_FALSE(View.PanelVisible);
    EXPECT_EQ(Process->State(), psReady);
  }

  TGameTreeCopy Game{"BenchRun"};
  std::string ProgramFolder;
  std::string GameConfig, GameSplash, ProgramSplash;
  TTestSettings Settings;
  TComponent Owner{nullptr};
  TSvSHFileOperation* FileOp = nullptr;
  TSvCreateProcess* Process = nullptr;
  TRecordingView View;
  std::unique_ptr<TBenchEngine> Bench;

  std::vector<DWORD> Pauses;
  std::vector<TGameEnd> Ends;
  V Errors;
  std::function<void(DWORD)> DuringPause;
  std::function<void()> BeforeEndHandler;
};

// The lines of the report from the heading of `resolution` to the next heading.
V ReportSection(const V& report, const std::string& resolution) {
  V section;
  bool in = false;
  for (const std::string& line : report) {
    if (line.rfind("<BR><B><FONT size=5>Resolution: ", 0) == 0)
      in = line.find("Resolution: " + StringReplace(resolution, "\xD7", "&times;", {}) + "<") !=
           std::string::npos;
    if (in) section.push_back(line);
  }
  return section;
}

}  // namespace

TEST_F(BenchRunTest, ThreeResolutionsTwoRunsMakeOneReportOpenedOnce) {
  // A map whose name has a letter outside ASCII: the batch file carries it to the game.
  const std::string map = "Kr\xE4ne";
  ASSERT_TRUE(ForceDirectories(Root() + "Levels\\" + map));
  ASSERT_TRUE(CopyFileA((Root() + "Levels\\Training\\quick.tmd").c_str(),
                        (Root() + "Levels\\" + map + "\\quick.tmd").c_str(), FALSE));
  TBenchChoices& c = Bench->Choices;
  c.MapName = map;
  c.Resolution[0] = c.Resolution[1] = c.Resolution[2] = true;
  c.RunNumber = "2";
  // The game's own logs, with figures known beforehand in place of its measured ones.
  const V gameScores[] = {{"57.12", "57.13"}, {"414.39", "931.93"}, {"100.00", "100.00"}};
  BeforeEndHandler = [&] {
    ASSERT_EQ(LoggedScores(ReadFileBytes(DemoLogFileName(*Bench))).size(), 2u);
    SetLoggedScores(DemoLogFileName(*Bench), gameScores[Ends.size()]);
  };

  ASSERT_TRUE(RunToEnd());

  EXPECT_EQ(View.Statuses,
            (V{ProgressText + "640\xD7" "480", ProgressText + "800\xD7" "600",
               ProgressText + "1024\xD7" "768", "The benchmarking is successful."}));
  ASSERT_EQ(Ends.size(), 3u);
  const std::string reportFile =
      Root() + "Benchmark\\result_" + Bench->State.TimeText + "_.htm";
  EXPECT_EQ(View.OpenedReports, V{reportFile});
  const V report = FileLines(reportFile);
  const char* const sizes[] = {"640\xD7" "480", "800\xD7" "600", "1024\xD7" "768"};
  const char* const averages[] = {"57.12", "673.16", "100"};
  for (size_t i = 0; i < Ends.size(); ++i) {
    SCOPED_TRACE(sizes[i]);
    EXPECT_FALSE(Ends[i].reportThere) << "the report is saved once, after the last game";
    EXPECT_TRUE(Ends[i].panelVisible);
    const V section = ReportSection(report, sizes[i]);
    ASSERT_GE(section.size(), 13u);
    EXPECT_EQ(section[2], "Level: Kr\xE4ne, demo: quick.tmd<br>");
    EXPECT_EQ(section[9], "<span class=\"style5\">Score =  " + gameScores[i][0] +
                              " FPS (Run 1)</span><br>");
    EXPECT_EQ(section[10], "<span class=\"style5\">Score =  " + gameScores[i][1] +
                               " FPS (Run 2)</span><br>");
    EXPECT_EQ(section[11], std::string("<span class=\"style5\"><b>Average score = ") +
                               averages[i] + " FPS</b></span><br>");
  }
  V headings;
  for (const std::string& line : report)
    if (line.rfind("<BR><B><FONT size=5>", 0) == 0) headings.push_back(line);
  EXPECT_EQ(headings, (V{"<BR><B><FONT size=5>Resolution: 640&times;480</FONT></B><BR>",
                         "<BR><B><FONT size=5>Resolution: 800&times;600</FONT></B><BR>",
                         "<BR><B><FONT size=5>Resolution: 1024&times;768</FONT></B><BR>"}));
  EXPECT_EQ(report.back(), "</BODY></HTML>");

  // Before each game 500 ms; between games the wait and 500 ms; the report's save and the
  // restore at the end.
  EXPECT_EQ(Pauses, (std::vector<DWORD>{500, 500, 1000, 500, 500, 1000, 500, 500, 500, 300}));
  EXPECT_EQ(View.PanelRepaints, 3);
  ExpectGameFilesPutBack();
  EXPECT_TRUE(Errors.empty());
}

TEST_F(BenchRunTest, TheUsersConfigurationComesBackWithSoundSwitchedOn) {
  // The game's own file with sound off: everything as it was but the sound line.
  const std::string soundOff =
      StringReplace(GameConfig, "s_SoundEnable = \"1\"", "s_SoundEnable = \"0\"", {});
  ASSERT_NE(soundOff, GameConfig);
  ASSERT_TRUE(WriteFileBytes(Root() + "system.cfg", soundOff));
  Bench->Choices.Resolution[0] = true;

  ASSERT_TRUE(RunToEnd());

  EXPECT_EQ(View.Statuses.back(), "The benchmarking is successful.");
  ExpectGameFilesPutBack();
  EXPECT_EQ(Pauses.back(), 300u);
  EXPECT_EQ(Pauses[Pauses.size() - 2], 300u);
}

namespace {

struct TAbortCase {
  const char* name;
  bool duringPause;  // else while the first game runs
};

class BenchAbortTest : public BenchRunTest, public testing::WithParamInterface<TAbortCase> {};

}  // namespace

TEST_P(BenchAbortTest, AbortAfterTheFirstOfThreeStopsTheRun) {
  TBenchChoices& c = Bench->Choices;
  c.Resolution[0] = c.Resolution[2] = c.Resolution[4] = true;
  HWND clicker = nullptr;
  if (GetParam().duringPause) {
    // The click waits in the queue until the pause's one look at the messages.
    clicker = AllocateHWnd([this, &clicker](TMessage& m) {
      if (m.Msg == WM_USER)
        Image2Click(*Bench, nullptr);
      else
        m.Result = DefWindowProcA(clicker, m.Msg, m.WParam, m.LParam);
    });
    DuringPause = [clicker](DWORD ms) {
      if (ms == 1000) PostMessageA(clicker, WM_USER, 0, 0);
    };
    BenchButtonClick(*Bench, nullptr);
  } else {
    BenchButtonClick(*Bench, nullptr);
    ASSERT_EQ(Process->State(), psRunning);
    Image2Click(*Bench, nullptr);
  }
  ASSERT_TRUE(LoopUntil([this] { return View.ButtonEnabled; }, RunTimeoutMs));
  DeallocateHWnd(clicker);

  EXPECT_EQ(Ends.size(), 1u);
  EXPECT_EQ(Launches(), 1);
  EXPECT_EQ(View.Statuses.back(), "Benchmark aborted.");
  EXPECT_TRUE(View.OpenedReports.empty());
  EXPECT_FALSE(FileExists(ReportFileName(*Bench)));
  // After the game the whole pause, then nothing more than the restore.
  EXPECT_EQ(Pauses, (std::vector<DWORD>{500, 500, 1000, 500, 300}));
  ExpectGameFilesPutBack();
}

INSTANTIATE_TEST_SUITE_P(Cases, BenchAbortTest,
                         testing::Values(TAbortCase{"WhileTheGameRuns", false},
                                         TAbortCase{"DuringThePause", true}),
                         [](const testing::TestParamInfo<TAbortCase>& info) {
                           return std::string(info.param.name);
                         });

TEST_F(BenchRunTest, OneResolutionWhoseGameFailsIsAbortedAndEndsTheRun) {
  TBenchChoices& c = Bench->Choices;
  c.Resolution[1] = true;
  c.DemoFileName = "missing.tmd";  // neither the game nor the program has it

  ASSERT_TRUE(RunToEnd());

  ASSERT_EQ(Ends.size(), 1u);
  EXPECT_NE(Ends[0].log.find("Error: cannot play the demo"), std::string::npos) << Ends[0].log;
  EXPECT_FALSE(Ends[0].panelVisible) << "one resolution: no abort panel";
  EXPECT_EQ(View.Statuses.back(), "Benchmark aborted. 800\xD7" "600 not measured: The time-demo log \"" +
                                      Root() +
                                      "Levels\\Training\\missing.log\" has no line "
                                      "\"!TimeDemo Run 0 Finished.\".");
  EXPECT_TRUE(View.OpenedReports.empty());
  EXPECT_FALSE(FileExists(ReportFileName(*Bench)));
  ExpectGameFilesPutBack();
}

TEST_F(BenchRunTest, ScreenshotModeKeepsAPictureAndADescriptionPerResolution) {
  TBenchChoices& c = Bench->Choices;
  c.ScreenshotMode = true;
  c.Frame = "5";
  c.Resolution[0] = c.Resolution[1] = true;
  ASSERT_TRUE(WriteFileBytes(Root() + "Quenmar0000.jpg", "an old shot"));

  ASSERT_TRUE(RunToEnd());

  const std::string stamp = StringReplace(Bench->State.TimeText, "_", "", {rfReplaceAll});
  const int widths[] = {640, 800}, heights[] = {480, 600};
  for (int i = 0; i < 2; ++i) {
    const std::string size = IntToStr(widths[i]) + "\xD7" + IntToStr(heights[i]);
    SCOPED_TRACE(size);
    const std::string name = c.ScreenshotFolder + "frame5_" + stamp + "_" + IntToStr(widths[i]);
    const std::string picture = ReadFileBytes(name + ".jpg");
    TJPEGImage jpeg;
    ASSERT_NO_THROW(jpeg.LoadFromMemory(picture.data(), picture.size())) << name;
    EXPECT_EQ(jpeg.Width(), widths[i]);
    EXPECT_EQ(jpeg.Height(), heights[i]);
    EXPECT_EQ(FileLines(name + ".txt"),
              (V{"Resolution: " + size, "Frame: 5", "Renderer: Direct3D", "Demo: quick.tmd",
                 "Pixel shader: default model", "Antialising: None",
                 "Anisotrophic filtering: 1\xD7", "Quality: Maximum quality option",
                 "HDR: disabled", "Normal-maps compression: disabled",
                 "Geometry Instancing: disabled"}));
  }
  EXPECT_FALSE(FileExists(Root() + "Quenmar0000.jpg"));
  // The picture that was there at the start (maybe one a failed move left) is kept aside.
  EXPECT_EQ(ReadBytes(Root() + "Quenmar0000 (2).jpg"), "an old shot");
  EXPECT_EQ(View.Statuses.back(), "Screenshot mode is successful.");
  EXPECT_TRUE(View.OpenedReports.empty());
  EXPECT_FALSE(FileExists(ReportFileName(*Bench)));
  // The configuration is restored twice at the end: by the last resolution and by the end of
  // the run; there is no report to save.
  EXPECT_EQ(Pauses, (std::vector<DWORD>{500, 500, 1000, 500, 500, 300, 300}));
  ExpectGameFilesPutBack();
}

namespace {

struct TRefusedCase {
  const char* name;
  bool resolutions[kResolutionCount];
  int language;
  bool screenshotMode;
};

class BenchRefusedTest : public BenchRunTest, public testing::WithParamInterface<TRefusedCase> {};

}  // namespace

TEST_P(BenchRefusedTest, StartIsRefusedAfterItsFirstSteps) {
  TBenchChoices& c = Bench->Choices;
  for (int i = 0; i < kResolutionCount; ++i) c.Resolution[i] = GetParam().resolutions[i];
  c.Language = GetParam().language;
  c.ScreenshotMode = GetParam().screenshotMode;
  ASSERT_TRUE(WriteFileBytes(Root() + "Quenmar0000.jpg", "an old shot"));

  BenchButtonClick(*Bench, nullptr);

  EXPECT_EQ(View.Messages, V{"Please, choose a resolution and the language of Quenmar."});
  EXPECT_TRUE(View.ButtonEnabled);
  EXPECT_FALSE(View.PanelVisible);
  EXPECT_EQ(Process->State(), psReady);
  // The steps before the check stay done: the splash swapped, the folders made, the mark set,
  // the old screenshot moved aside (never deleted).
  EXPECT_EQ(ReadFileBytes(Root() + "qmsplash.bmp"), ProgramSplash);
  EXPECT_EQ(ReadFileBytes(Root() + "qmsplashold.bmp"), GameSplash);
  EXPECT_EQ(ReadFileBytes(ProgramFolder + "Backup\\qmsplash.bmp"), GameSplash);
  EXPECT_TRUE(DirectoryExists(Root() + "Benchmark"));
  EXPECT_EQ(NoErrorWarning(), "1");
  EXPECT_EQ(FileExists(Root() + "Quenmar0000.jpg"), !GetParam().screenshotMode);
  EXPECT_EQ(ReadBytes(Root() + (GetParam().screenshotMode ? "Quenmar0000 (2).jpg" : "Quenmar0000.jpg")),
            "an old shot");
  EXPECT_EQ(DirectoryExists(Root() + "Screenshot"), GetParam().screenshotMode);
  // Nothing after it: the game's configuration is untouched.
  EXPECT_EQ(ReadFileBytes(Root() + "system.cfg"), GameConfig);
  EXPECT_FALSE(FileExists(ProgramFolder + "Backup\\system.cfg"));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, BenchRefusedTest,
    testing::Values(TRefusedCase{"NoResolution", {}, 1, true},
                    TRefusedCase{"SelectLanguage", {true, true}, 0, false},
                    TRefusedCase{"NoLanguageItem", {false, false, false, true}, -1, false}),
    [](const testing::TestParamInfo<TRefusedCase>& info) { return std::string(info.param.name); });

TEST_F(BenchRunTest, SecondStartFindsTheSplashBackupAndOnlyRenames) {
  Bench->Choices.Resolution[0] = true;
  ASSERT_TRUE(RunToEnd());
  ASSERT_EQ(ReadFileBytes(ProgramFolder + "Backup\\qmsplash.bmp"), GameSplash);
  // Marked, to see that the second start leaves the backup alone.
  ASSERT_TRUE(WriteFileBytes(ProgramFolder + "Backup\\qmsplash.bmp", "first backup"));
  BeforeEndHandler = [this] {
    EXPECT_EQ(ReadFileBytes(Root() + "qmsplashold.bmp"), GameSplash);
    EXPECT_EQ(ReadFileBytes(Root() + "qmsplash.bmp"), ProgramSplash);
  };

  ASSERT_TRUE(RunToEnd());

  EXPECT_EQ(Ends.size(), 2u);
  EXPECT_EQ(ReadFileBytes(ProgramFolder + "Backup\\qmsplash.bmp"), "first backup");
  EXPECT_EQ(ReadFileBytes(Root() + "qmsplash.bmp"), GameSplash);
  EXPECT_EQ(View.OpenedReports.size(), 2u);
  EXPECT_EQ(View.Statuses.back(), "The benchmarking is successful.");
}

namespace {

struct TMalformedCase {
  const char* name;
  bool twoResolutions;     // the first one's log is made bad; the second is played as usual
  const char* finishedLog;  // what the first log becomes ("%s": its first score)
};

class BenchMalformedLogTest : public BenchRunTest,
                              public testing::WithParamInterface<TMalformedCase> {};

}  // namespace

// A log that holds the finished line but cannot be read leaves its resolution not measured:
// the status line and the report say why, no box stops the run, and the run ends properly.
TEST_P(BenchMalformedLogTest, TheResolutionIsNotMeasuredAndTheRunEndsProperly) {
  const TMalformedCase& param = GetParam();
  TBenchChoices& c = Bench->Choices;
  c.Resolution[0] = true;
  c.Resolution[1] = param.twoResolutions;
  bool spoiled = false;
  std::string log;
  BeforeEndHandler = [&] {
    if (spoiled) return;
    spoiled = true;
    log = DemoLogFileName(*Bench);
    const V scores = LoggedScores(ReadFileBytes(log));
    ASSERT_FALSE(scores.empty());
    ASSERT_TRUE(WriteFileBytes(
        log, param.twoResolutions
                 ? StringReplace(ReadFileBytes(log), "Average FPS: " + scores[0],
                                 "Average FPS: fast", {})
                 : std::string(param.finishedLog)));
  };

  ASSERT_TRUE(RunToEnd());

  EXPECT_TRUE(Errors.empty());
  const std::string problem =
      param.twoResolutions
          ? "The score \" fast\" of run 1 in the time-demo log \"" + log + "\" is not a number."
          : "The time-demo log \"" + log + "\" ends before the score of run 1.";
  const std::string notMeasured = "640\xD7" "480 not measured: " + problem;
  if (param.twoResolutions) {
    // Said between the resolutions, and the second resolution's section makes the report.
    EXPECT_EQ(View.Statuses[1], notMeasured);
    EXPECT_EQ(View.Statuses.back(), "The benchmarking is successful.");
    ASSERT_EQ(View.OpenedReports, V{ReportFileName(*Bench)});
    const V report = FileLines(ReportFileName(*Bench));
    EXPECT_EQ(ReportSection(report, "640\xD7" "480"),
              (V{"<BR><B><FONT size=5>Resolution: 640&times;480</FONT></B><BR>",
                 "<span class=\"style5\">" + HtmlEscape(problem) + "</span><br>", "<br><HR>"}));
    EXPECT_GE(ReportSection(report, "800\xD7" "600").size(), 12u);
  } else {
    EXPECT_EQ(View.Statuses.back(), "Benchmark aborted. " + notMeasured);
    EXPECT_TRUE(View.OpenedReports.empty());
    EXPECT_FALSE(FileExists(ReportFileName(*Bench)));
  }
  ExpectGameFilesPutBack();
}

INSTANTIATE_TEST_SUITE_P(
    Cases, BenchMalformedLogTest,
    testing::Values(TMalformedCase{"ScoreNotANumber", true, ""},
                    TMalformedCase{"TooShort", false, "!TimeDemo Run 0 Finished.\r\n"}),
    [](const testing::TestParamInfo<TMalformedCase>& info) {
      return std::string(info.param.name);
    });

TEST_F(BenchRunTest, GameThatCannotBeStartedEndsTheRunWithFilesPutBack) {
  TBenchChoices& c = Bench->Choices;
  c.Resolution[0] = true;
  c.ExeFolder = Root() + "No Bin32\\";  // the batch file cannot be written there

  BenchButtonClick(*Bench, nullptr);

  ASSERT_EQ(Errors.size(), 1u);
  EXPECT_EQ(View.Statuses.back(), "Benchmark aborted.");
  EXPECT_EQ(Process->State(), psReady);
  ExpectGameFilesPutBack();
}

// The process that runs the benchmark is ended while the game plays: the marks of an
// interrupted run stay set, and the user's configuration waits in "Backup\".
TEST_F(BenchRunTest, KilledRunLeavesTheMarkAndTheBackup) {
  const std::string log = Root() + "Levels\\Training\\quick.log";
  // No backslash before a closing quote, which would escape it.
  std::string line = "\"" + TestProgramFolder() + "BenchRunHost.exe\" \"" +
                     ExcludeTrailingBackslash(ProgramFolder) + "\" \"" +
                     ExcludeTrailingBackslash(Root()) + "\" --settings-key \"" + Settings.Path() +
                     "\"";
  SetEnvironmentVariableA("QUENMAR_FRAME_STEP", "1");  // a game long enough to be caught
  STARTUPINFOA si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  ASSERT_TRUE(CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                             &si, &pi));
  CloseHandle(pi.hThread);
  const bool gameStarted = LoopUntil([&] { return FileExists(log); }, RunTimeoutMs);
  // The batch's command interpreter and the game it runs, which play on after the kill.
  const TDescendants game(pi.dwProcessId);
  TerminateProcess(pi.hProcess, 9);
  WaitForSingleObject(pi.hProcess, 5000);
  DWORD code = 0;
  GetExitCodeProcess(pi.hProcess, &code);
  CloseHandle(pi.hProcess);
  ASSERT_TRUE(gameStarted);
  EXPECT_EQ(code, 9u) << "the run ended before it was killed";
  EXPECT_FALSE(game.Empty()) << "the game was not found running";

  EXPECT_EQ(NoErrorWarning(), "1");
  EXPECT_EQ(ConfigBackupMark(), "1");
  EXPECT_EQ(ReadFileBytes(ProgramFolder + "Backup\\system.cfg"), GameConfig);
  EXPECT_EQ(ReadFileBytes(ProgramFolder + "Backup\\qmsplash.bmp"), GameSplash);
  EXPECT_EQ(ReadFileBytes(Root() + "qmsplashold.bmp"), GameSplash);
  // The game plays on alone; its tree is deleted once it has finished and ended.
  EXPECT_TRUE(LoopUntil(
      [&] { return ReadFileBytes(log).find("!TimeDemo Run 4 Finished.") != std::string::npos; },
      RunTimeoutMs));
  EXPECT_TRUE(game.WaitForEnd(RunTimeoutMs));
}

// The run is killed at each of its pauses in turn (a process of its own that ends itself
// there), and a fresh one then runs to the end: the user's configuration comes back byte for
// byte every time. (The user's file has no sound line "0", which the restore switches on by
// design.)
TEST_F(BenchRunTest, AKillAtAnyPauseNeverCostsTheUsersConfiguration) {
  const std::string user = "-- tuned by hand\r\nr_Width = \"1600\"\nr_Height = \"1200\"\r\n";
  ASSERT_TRUE(WriteFileBytes(Root() + "system.cfg", user));
  std::string output;
  ASSERT_EQ(RunHost("--resolutions 01 --runs 1 --no-pauses", &output), 0u) << output;
  // Before the first game, before each launch, between the two, the report and the restore.
  ASSERT_NE(output.find("pauses: 7"), std::string::npos) << output;
  for (int k = 1; k <= 7; ++k) {
    SCOPED_TRACE("killed at pause " + std::to_string(k));
    // Each kill point on its own, whatever became of the one before.
    ASSERT_TRUE(WriteFileBytes(Root() + "system.cfg", user));
    EXPECT_EQ(RunHost("--resolutions 01 --runs 1 --no-pauses --kill-at-pause " + std::to_string(k),
                      &output),
              9u)
        << output;
    EXPECT_EQ(RunHost("--resolutions 01 --runs 1 --no-pauses", &output), 0u) << output;
    EXPECT_EQ(ReadFileBytes(Root() + "system.cfg"), user);
    EXPECT_EQ(NoErrorWarning(), "0");
    EXPECT_EQ(ConfigBackupMark(), "0");
  }
}

// A start refused for want of a resolution leaves "NoErrorWarning" set, with the user's
// current file in the game and an older one in "Backup\": the next start keeps the current.
TEST_F(BenchRunTest, ARefusedStartThenARealOneKeepTheUsersCurrentFile) {
  Bench->Choices.Resolution[0] = true;
  ASSERT_TRUE(RunToEnd());
  ASSERT_EQ(ReadFileBytes(ProgramFolder + "Backup\\system.cfg"), GameConfig);
  const std::string changed = GameConfig + "r_Gamma = \"1.2\"\r\n";
  ASSERT_TRUE(WriteFileBytes(Root() + "system.cfg", changed));

  Bench->Choices.Resolution[0] = false;
  BenchButtonClick(*Bench, nullptr);
  ASSERT_EQ(View.Messages.size(), 1u);
  ASSERT_EQ(NoErrorWarning(), "1");

  Bench->Choices.Resolution[0] = true;
  ASSERT_TRUE(RunToEnd());
  EXPECT_EQ(ReadFileBytes(Root() + "system.cfg"), changed);
  EXPECT_EQ(NoErrorWarning(), "0");
}

namespace {

struct TUserFileCase {
  const char* name;
  const char* bytes;  // nullptr: the game has no "system.cfg"
  bool readOnly;
};

class BenchUserFileTest : public BenchRunTest, public testing::WithParamInterface<TUserFileCase> {};

}  // namespace

TEST_P(BenchUserFileTest, TheUsersFileComesBackAsItWas) {
  const TUserFileCase& param = GetParam();
  const std::string config = Root() + "system.cfg";
  if (param.bytes) {
    ASSERT_TRUE(WriteFileBytes(config, param.bytes));
    if (param.readOnly) SetReadOnly(config);
  } else {
    ASSERT_TRUE(DeleteFileA(config.c_str()));
  }
  Bench->Choices.Resolution[0] = true;
  BeforeEndHandler = [&] { EXPECT_TRUE(FileExists(config)) << "the run's own file"; };

  ASSERT_TRUE(RunToEnd());

  EXPECT_TRUE(Errors.empty()) << Errors[0];
  EXPECT_EQ(View.Statuses.back(), "The benchmarking is successful.");
  if (param.bytes) {
    EXPECT_EQ(ReadFileBytes(config), param.bytes);
    EXPECT_EQ(IsReadOnly(config), param.readOnly);
  } else {
    EXPECT_FALSE(FileExists(config));
  }
  EXPECT_EQ(NoErrorWarning(), "0");
  EXPECT_EQ(ConfigBackupMark(), "0");
  SetFileAttributesA(config.c_str(), FILE_ATTRIBUTE_NORMAL);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, BenchUserFileTest,
    testing::Values(TUserFileCase{"OwnLineEnds", "a = \"1\"\nb = \"2\"", false},
                    // Checked by its attribute: Wine running as root writes read-only files.
                    TUserFileCase{"ReadOnly", "a = \"1\"\r\n", true},
                    TUserFileCase{"None", nullptr, false}),
    [](const testing::TestParamInfo<TUserFileCase>& info) { return std::string(info.param.name); });

TEST_F(BenchRunTest, AReadOnlyCustomFileDoesNotKeepTheRestoreOut) {
  TBenchChoices& c = Bench->Choices;
  c.Resolution[0] = true;
  c.DetailLevel = 3;
  c.CustomConfigFile = ProgramFolder + "mine.cfg";
  ASSERT_TRUE(WriteFileBytes(c.CustomConfigFile, "r_Width = \"640\"\r\n"));
  SetReadOnly(c.CustomConfigFile);
  BeforeEndHandler = [&] { EXPECT_FALSE(IsReadOnly(Root() + "system.cfg")); };

  ASSERT_TRUE(RunToEnd());

  EXPECT_TRUE(Errors.empty());
  ExpectGameFilesPutBack();
  SetFileAttributesA(c.CustomConfigFile.c_str(), FILE_ATTRIBUTE_NORMAL);
}

// The game's own "system.cfg" chosen as the user's file: read before the backup moves it, so
// the game plays with it, and the report names its quality and the renderer it asks for.
TEST_F(BenchRunTest, TheGamesOwnFileAsTheCustomFile) {
  const std::string users = StringReplace(GameConfig, "\"Direct3D9\"", "\"OpenGL\"", {});
  ASSERT_NE(users, GameConfig);
  ASSERT_TRUE(WriteFileBytes(Root() + "system.cfg", users));
  GameConfig = users;
  TBenchChoices& c = Bench->Choices;
  c.Resolution[0] = true;
  c.DetailLevel = 3;
  c.CustomConfigFile = Root() + "system.cfg";
  c.Renderer = 0;
  std::string played;
  BeforeEndHandler = [&] { played = ReadFileBytes(Root() + "system.cfg"); };

  ASSERT_TRUE(RunToEnd());

  EXPECT_TRUE(Errors.empty());
  EXPECT_EQ(played, users);
  ASSERT_EQ(View.OpenedReports.size(), 1u);
  const V report = FileLines(View.OpenedReports[0]);
  EXPECT_NE(std::find(report.begin(), report.end(), "Custom quality option, OpenGL renderer<br>"),
            report.end());
  ExpectGameFilesPutBack();
}

// A custom file that cannot be the game's configuration (a stored one may be old) is refused
// with a message naming it, before anything is moved.
TEST_F(BenchRunTest, ACustomFileThatIsNoConfigurationIsRefusedBeforeAnythingChanges) {
  const std::string zero = ProgramFolder + "zero.cfg";
  ASSERT_TRUE(WriteFileBytes(zero, std::string("r_Width = \"640\"\r\n") + '\0'));
  const std::string notConfiguration =
      "\" is not a configuration file: it is a program or holds binary data. Please choose a "
      "configuration file such as the game's \"system.cfg\".";
  struct Case {
    std::string file;
    std::string message;
  };
  const Case cases[] = {
      {Root() + "Bin32\\Quenmar.exe",
       "The file \"" + Root() + "Bin32\\Quenmar.exe" + notConfiguration},
      {zero, "The file \"" + zero + notConfiguration},
      {ProgramFolder + "gone.cfg", "The file \"" + ProgramFolder + "gone.cfg\" cannot be read: "},
      {"", "No configuration file of your own is chosen. Please choose one beside \"Custom config "
           "file:\", or another detail level."},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.file);
    View.Messages.clear();
    TBenchChoices& c = Bench->Choices;
    c.Resolution[0] = true;
    c.DetailLevel = 3;
    c.CustomConfigFile = k.file;

    BenchButtonClick(*Bench, nullptr);

    ASSERT_EQ(View.Messages.size(), 1u);
    EXPECT_EQ(View.Messages[0].substr(0, k.message.size()), k.message);
    EXPECT_TRUE(View.Statuses.empty());
    EXPECT_TRUE(View.ButtonEnabled);
    EXPECT_EQ(ReadFileBytes(Root() + "system.cfg"), GameConfig);
    EXPECT_EQ(ReadFileBytes(Root() + "qmsplash.bmp"), GameSplash);
    EXPECT_FALSE(DirectoryExists(ProgramFolder + "Backup"));
    EXPECT_EQ(NoErrorWarning(), "0");
    EXPECT_EQ(Process->State(), psReady);
  }
}

// The run is killed while the game's file is the run's own; the user then saves the game's
// options (say) before the next run. That file is the user's current one: it is kept and
// comes back after the next run; an older backup is kept under a dated name.
TEST_F(BenchRunTest, AFileTheUserSavesAfterAKilledRunIsKept) {
  const std::string kill = "--resolutions 01 --runs 1 --no-pauses --kill-at-pause 2";
  const std::string saved = "-- saved by the game\r\nr_Width = \"800\"\r\n";
  for (bool gameHadOne : {false, true}) {
    SCOPED_TRACE(gameHadOne ? "the game had a file" : "the game had none");
    DeleteFolderTree(ProgramFolder + "Backup\\");
    if (gameHadOne)
      ASSERT_TRUE(WriteFileBytes(Root() + "system.cfg", GameConfig));
    else
      ASSERT_TRUE(DeleteFileA((Root() + "system.cfg").c_str()));
    std::string output;
    ASSERT_EQ(RunHost(kill, &output), 9u) << output;
    // Killed before the first game: the game holds the run's file.
    ASSERT_TRUE(FileExists(Root() + "system.cfg"));
    ASSERT_NE(ReadFileBytes(Root() + "system.cfg"), GameConfig);
    ASSERT_TRUE(WriteFileBytes(Root() + "system.cfg", saved));

    EXPECT_EQ(RunHost("--resolutions 0 --runs 1 --no-pauses", &output), 0u) << output;

    EXPECT_EQ(ReadBytes(Root() + "system.cfg"), saved);
    EXPECT_EQ(NoErrorWarning(), "0");
    EXPECT_EQ(ConfigBackupMark(), "0");
    const V dated = FilesIn(ProgramFolder + "Backup\\", "system *.cfg");
    EXPECT_EQ(dated.size(), gameHadOne ? 1u : 0u);
    if (!dated.empty()) {
      EXPECT_EQ(ReadBytes(ProgramFolder + "Backup\\" + dated[0]), GameConfig);
    }
  }
}

// The splash backup is verified like the configuration's: a full disk leaves none, and an
// empty one that a full disk once left is made again.
TEST_F(BenchRunTest, TheSplashBackupIsVerified) {
  const std::string backup = ProgramFolder + "Backup\\qmsplash.bmp";
  TFullDiskFileOp fullDisk(nullptr);
  fullDisk.SetOptions(FileOp->Options());
  // Refused starts: the splash is swapped before the choices are checked.
  Bench->FileOp = &fullDisk;
  BenchButtonClick(*Bench, nullptr);
  EXPECT_FALSE(FileExists(backup));
  EXPECT_FALSE(FileExists(backup + ".tmp"));
  EXPECT_EQ(ReadFileBytes(Root() + "qmsplashold.bmp"), GameSplash);

  // The game's splash back in its place, and an empty backup as a full disk once left it.
  ASSERT_TRUE(DeleteFileA((Root() + "qmsplash.bmp").c_str()));
  ASSERT_TRUE(MoveFileA((Root() + "qmsplashold.bmp").c_str(), (Root() + "qmsplash.bmp").c_str()));
  ASSERT_TRUE(WriteFileBytes(backup, ""));
  Bench->FileOp = FileOp;
  BenchButtonClick(*Bench, nullptr);
  EXPECT_TRUE(ReadFileBytes(backup) == GameSplash) << ReadFileBytes(backup).size() << " bytes";
}

namespace {

struct TFailedBackupCase {
  const char* name;
  const char* inMessage;
};

class BenchFailedBackupTest : public BenchRunTest,
                              public testing::WithParamInterface<TFailedBackupCase> {};

}  // namespace

// The user's file cannot be backed up safely: the start ends with one message naming it and
// why, before anything of the configuration is changed.
TEST_P(BenchFailedBackupTest, TheStartEndsWithTheGamesFilesAsTheyWere) {
  const std::string backup = ProgramFolder + "Backup\\system.cfg";
  TFullDiskFileOp fullDisk(nullptr);
  fullDisk.SetOptions(FileOp->Options());
  std::unique_ptr<THeldOpen> held;
  const std::string name = GetParam().name;
  if (name == "BackupNameTakenByAFolder") {
    ASSERT_TRUE(ForceDirectories(backup));
  } else if (name == "FullDisk") {
    Bench->FileOp = &fullDisk;
  } else {
    // A read-only file that cannot be changed: here one held open by another program.
    held = std::make_unique<THeldOpen>(Root() + "system.cfg", FILE_SHARE_READ);
  }
  Bench->Choices.Resolution[0] = true;

  BenchButtonClick(*Bench, nullptr);
  held.reset();

  ASSERT_EQ(Errors.size(), 1u);
  EXPECT_NE(Errors[0].find("\"" + Root() + "system.cfg\""), std::string::npos) << Errors[0];
  EXPECT_NE(Errors[0].find(GetParam().inMessage), std::string::npos) << Errors[0];
  EXPECT_EQ(View.Statuses.back(), "Benchmark aborted.");
  EXPECT_TRUE(Ends.empty());
  EXPECT_EQ(Process->State(), psReady);
  EXPECT_EQ(ReadFileBytes(Root() + "system.cfg"), GameConfig);
  EXPECT_FALSE(FileExists(backup + ".tmp"));
  EXPECT_EQ(ReadFileBytes(Root() + "qmsplash.bmp"), GameSplash);
  EXPECT_FALSE(FileExists(Root() + "qmsplashold.bmp"));
  EXPECT_EQ(NoErrorWarning(), "0");
  EXPECT_EQ(ConfigBackupMark(), "0");
  EXPECT_TRUE(View.ButtonEnabled);
  Bench->FileOp = FileOp;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, BenchFailedBackupTest,
    testing::Values(TFailedBackupCase{"BackupNameTakenByAFolder", "Backup\\system.cfg"},
                    TFailedBackupCase{"FullDisk", "not the same"},
                    TFailedBackupCase{"GameFileCannotBeDeleted", "cannot be deleted"}),
    [](const testing::TestParamInfo<TFailedBackupCase>& info) {
      return std::string(info.param.name);
    });

TEST_F(BenchRunTest, AnOldLogIsDeletedBeforeTheLaunchOrTheRunStops) {
  // Read-only, from an earlier run: it loses the attribute and goes (checked by the attribute,
  // since Wine running as root would let the game write over it).
  const std::string log = Root() + "Levels\\Training\\quick.log";
  ASSERT_TRUE(WriteFileBytes(log, "!TimeDemo Run 0 Finished.  Average FPS: 999.99\r\n"));
  SetReadOnly(log);
  Bench->Choices.Resolution[0] = true;
  BeforeEndHandler = [&] {
    EXPECT_FALSE(IsReadOnly(log));
    EXPECT_EQ(ReadFileBytes(log).find("999.99"), std::string::npos);
  };
  ASSERT_TRUE(RunToEnd());
  EXPECT_TRUE(Errors.empty());
  EXPECT_EQ(Ends.size(), 1u);

  // One that cannot be deleted at all: nothing is launched, and the message names it.
  ASSERT_TRUE(WriteFileBytes(log, "!TimeDemo Run 0 Finished.  Average FPS: 999.99\r\n"));
  {
    THeldOpen held(log, FILE_SHARE_READ);
    ASSERT_TRUE(held.Ok());
    BenchButtonClick(*Bench, nullptr);
  }
  ASSERT_EQ(Errors.size(), 1u);
  EXPECT_NE(Errors[0].find("\"" + log + "\" cannot be deleted"), std::string::npos) << Errors[0];
  EXPECT_EQ(Ends.size(), 1u);
  EXPECT_EQ(View.Statuses.back(), "Benchmark aborted.");
  ExpectGameFilesPutBack();
}

TEST_F(BenchRunTest, WhenTheLastResolutionFailsTheMeasuredOnesAreStillReported) {
  TBenchChoices& c = Bench->Choices;
  c.Resolution[0] = c.Resolution[1] = true;
  std::string log;
  BeforeEndHandler = [&] {
    log = DemoLogFileName(*Bench);
    if (Ends.size() == 0)
      SetLoggedScores(log, {"61.50"});
    else
      DeleteFileA(log.c_str());
  };

  ASSERT_TRUE(RunToEnd());

  EXPECT_TRUE(Errors.empty());
  const std::string problem = "The time-demo log \"" + log + "\" is missing.";
  EXPECT_EQ(View.Statuses.back(), "Benchmark aborted. 800\xD7" "600 not measured: " + problem);
  ASSERT_EQ(View.OpenedReports, V{ReportFileName(*Bench)});
  const V report = FileLines(ReportFileName(*Bench));
  const V measured = ReportSection(report, "640\xD7" "480");
  ASSERT_GE(measured.size(), 10u);
  EXPECT_EQ(measured[9], "<span class=\"style5\">Score =  61.50 FPS</span><br>");
  const V failed = ReportSection(report, "800\xD7" "600");
  ASSERT_GE(failed.size(), 3u);
  EXPECT_EQ(failed[1], "<span class=\"style5\">" + HtmlEscape(problem) + "</span><br>");
  EXPECT_EQ(report.back(), "</BODY></HTML>");
  ExpectGameFilesPutBack();
}

TEST_F(BenchRunTest, ScreenshotModeKeepsTheLastPictureWhenTheRestoreFails) {
  TBenchChoices& c = Bench->Choices;
  c.ScreenshotMode = true;
  c.Frame = "5";
  c.Resolution[0] = true;
  std::unique_ptr<THeldOpen> held;
  // The backup cannot be read when the restore comes.
  BeforeEndHandler = [&] {
    held = std::make_unique<THeldOpen>(ProgramFolder + "Backup\\system.cfg", 0);
  };

  ASSERT_TRUE(RunToEnd());
  held.reset();

  // Shown once; the picture kept; the configuration still waits in "Backup\", so the next
  // start offers the repair and puts it back.
  ASSERT_EQ(Errors.size(), 1u);
  EXPECT_NE(Errors[0].find(std::string("Backup\\system.cfg\" cannot be read: ") +
                           SysErrorMessage(ERROR_SHARING_VIOLATION)),
            std::string::npos)
      << Errors[0];
  const std::string stamp = StringReplace(Bench->State.TimeText, "_", "", {rfReplaceAll});
  EXPECT_TRUE(FileExists(c.ScreenshotFolder + "frame5_" + stamp + "_640.jpg"));
  EXPECT_EQ(NoErrorWarning(), "1");
  EXPECT_EQ(ConfigBackupMark(), "1");
  EXPECT_TRUE(View.ButtonEnabled);
  EXPECT_EQ(ReadFileBytes(ProgramFolder + "Backup\\system.cfg"), GameConfig);
}

TEST_F(BenchRunTest, NamesTheGameCannotBeGivenAreRefusedBeforeAnythingChanges) {
  ASSERT_EQ(GetOEMCP(), 437u);
  struct Case {
    const char* map;
    const char* demo;
    const char* name;
    const char* letters;
  };
  const Case cases[] = {
      {"S\xE3o \xD8", "quick.tmd", "S\xE3o \xD8", "\xE3, \xD8"},
      {"Training", "\x8A\x80.tmd", "\x8A\x80.tmd", "\x8A, \x80"},
      // Each would end the name's quotes or the batch line and let cmd run the rest.
      {"Train\"ing", "quick.tmd", "Train\"ing", "\""},
      {"Training", "a\tb\r\n.tmd", "a\tb\r\n.tmd",
       "control character 9, control character 13, control character 10"},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.name);
    View.Messages.clear();
    TBenchChoices& c = Bench->Choices;
    c.MapName = k.map;
    c.DemoFileName = k.demo;
    c.Resolution[0] = true;

    BenchButtonClick(*Bench, nullptr);

    EXPECT_EQ(View.Messages,
              V{std::string("The name \"") + k.name +
                "\" holds letters that the game cannot be given: " + k.letters +
                ". Please rename the map folder or the demo file."});
    EXPECT_TRUE(View.Statuses.empty());
    EXPECT_TRUE(View.ButtonEnabled);
    EXPECT_EQ(ReadFileBytes(Root() + "qmsplash.bmp"), GameSplash);
    EXPECT_FALSE(DirectoryExists(ProgramFolder + "Backup"));
    EXPECT_EQ(NoErrorWarning(), "0");
    EXPECT_EQ(Process->State(), psReady);
  }
}

namespace {

struct TScreenshotEndCase {
  const char* name;
  const char* frame;
  bool missingFolder;  // the screenshot folder is on a drive that is not there
};

class BenchScreenshotEndTest : public BenchRunTest,
                               public testing::WithParamInterface<TScreenshotEndCase> {};

}  // namespace

// "Screenshot mode is successful." only when every resolution's picture is in the screenshot
// folder; otherwise the status names the resolutions without one and where kept ones are.
TEST_P(BenchScreenshotEndTest, TheStatusSaysWhatBecameOfThePictures) {
  const TScreenshotEndCase& param = GetParam();
  TBenchChoices& c = Bench->Choices;
  c.ScreenshotMode = true;
  c.Frame = param.frame;
  c.Resolution[0] = c.Resolution[1] = true;
  if (param.missingFolder) c.ScreenshotFolder = MissingDrive() + "\\Shots\\";

  ASSERT_TRUE(RunToEnd());

  EXPECT_TRUE(Errors.empty());
  const std::string stamp = StringReplace(Bench->State.TimeText, "_", "", {rfReplaceAll});
  if (param.missingFolder) {
    std::string expected;
    for (const char* width : {"640", "800"}) {
      const std::string kept = Root() + "frame5_" + stamp + "_" + width + ".jpg";
      EXPECT_EQ(ReadBytes(kept).substr(0, 2), "\xFF\xD8") << kept;
      expected += std::string(expected.empty() ? "" : " ") + "The screenshot of " + width +
                  (width[0] == '6' ? "\xD7" "480" : "\xD7" "600") + " could not be moved to \"" +
                  c.ScreenshotFolder + "\"; it was kept as \"" + kept + "\".";
    }
    EXPECT_EQ(View.Statuses.back(), expected);
  } else {
    // The game took no picture: the frame lies past the end of the demo.
    EXPECT_EQ(View.Statuses.back(),
              "No screenshot of frame 5000 was taken at 640\xD7" "480, 800\xD7" "600.");
    EXPECT_FALSE(FileExists(c.ScreenshotFolder + "frame5000_" + stamp + "_640.txt"));
  }
  ExpectGameFilesPutBack();
}

INSTANTIATE_TEST_SUITE_P(
    Cases, BenchScreenshotEndTest,
    testing::Values(TScreenshotEndCase{"FramePastTheDemo", "5000", false},
                    TScreenshotEndCase{"FolderOnAMissingDrive", "5", true}),
    [](const testing::TestParamInfo<TScreenshotEndCase>& info) {
      return std::string(info.param.name);
    });

namespace {

struct TReportFolderCase {
  const char* name;
  // The results folder, made from the game's root folder.
  std::function<std::string(const std::string& root)> folder;
  bool benchmarkFolderTaken;  // a file stands where the game's "Benchmark\" folder would be
  bool reportHeldOpen;        // a report of that name, held open by another program
};

class BenchReportFolderTest : public BenchRunTest,
                              public testing::WithParamInterface<TReportFolderCase> {};

}  // namespace

// A measured run is never lost for want of a folder: the report goes to the game's
// "Benchmark\" folder, else the user's temporary folder, and is opened from there; the message
// names the folder that failed, and the status where the report is, never success.
TEST_P(BenchReportFolderTest, TheReportIsSavedInTheNextFolderThatTakesIt) {
  const TReportFolderCase& param = GetParam();
  TBenchChoices& c = Bench->Choices;
  c.Resolution[0] = true;
  c.ResultsFolder = param.folder(Root());
  ASSERT_TRUE(ForceDirectories(Root() + "Results"));
  if (param.benchmarkFolderTaken) WriteBytes(Root() + "Benchmark", "a file");
  std::unique_ptr<THeldOpen> held;
  if (param.reportHeldOpen) {
    BeforeEndHandler = [&] {
      WriteBytes(ReportFileName(*Bench), "an older report");
      held = std::make_unique<THeldOpen>(ReportFileName(*Bench), 0);
      ASSERT_TRUE(held->Ok());
    };
  }

  ASSERT_TRUE(RunToEnd());
  held.reset();

  char temp[MAX_PATH];
  GetTempPathA(sizeof temp, temp);
  const std::string savedIn = param.benchmarkFolderTaken ? temp : Root() + "Benchmark\\";
  const std::string report = savedIn + "result_" + Bench->State.TimeText + "_.htm";
  EXPECT_TRUE(Errors.empty());
  ASSERT_EQ(View.OpenedReports, V{report});
  const V lines = FileLines(report);
  EXPECT_GE(ReportSection(lines, "640\xD7" "480").size(), 10u);
  EXPECT_EQ(lines.back(), "</BODY></HTML>");
  EXPECT_EQ(View.Statuses.back(),
            "The benchmark has finished. The report was saved in \"" + savedIn + "\".");
  for (const std::string& status : View.Statuses)
    EXPECT_NE(status, "The benchmarking is successful.");
  ASSERT_EQ(View.Messages.size(), 1u);
  const std::string& message = View.Messages[0];
  EXPECT_EQ(message.find("The report cannot be saved in the folder \"" + c.ResultsFolder + "\"."),
            0u)
      << message;
  EXPECT_NE(message.find("It has been saved in \"" + savedIn + "\" instead"), std::string::npos)
      << message;
  if (param.reportHeldOpen) {
    EXPECT_EQ(ReadBytes(ReportFileName(*Bench)), "an older report");
    EXPECT_FALSE(FileExists(ReportFileName(*Bench) + ".tmp"));
  }
  if (param.benchmarkFolderTaken) {
    EXPECT_NE(message.find("\"" + Root() + "Benchmark\\\"."), std::string::npos) << message;
    DeleteFileA(report.c_str());
  }
  ExpectGameFilesPutBack();
}

INSTANTIATE_TEST_SUITE_P(
    Cases, BenchReportFolderTest,
    testing::Values(
        TReportFolderCase{"MissingDrive", [](auto&) { return MissingDrive() + "\\Results\\"; },
                          false, false},
        TReportFolderCase{"DeviceName", [](auto& root) { return root + "con\\"; }, false, false},
        TReportFolderCase{"Quote", [](auto& root) { return root + "Re\"sults\\"; }, false, false},
        TReportFolderCase{"VeryLongPath",
                          [](auto& root) { return root + std::string(10000, 'x') + "\\"; }, false,
                          false},
        TReportFolderCase{"ReportHeldOpen", [](auto& root) { return root + "Results\\"; }, false,
                          true},
        TReportFolderCase{"BenchmarkFolderTakenToo",
                          [](auto&) { return MissingDrive() + "\\Results\\"; }, true, false}),
    [](const testing::TestParamInfo<TReportFolderCase>& info) {
      return std::string(info.param.name);
    });
