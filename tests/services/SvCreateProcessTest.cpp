#include <gtest/gtest.h>
#include <windows.h>
// After windows.h, which it needs.
#include <tlhelp32.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "platform/Application.h"
#include "platform/TypInfo.h"
#include "services/SvCommon.h"
#include "services/SvCreateProcess.h"
#include "TestSupport.h"

namespace {

std::string BinFolder() {
  char path[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  return ExtractFilePath(path);
}

// A quoted path to one of the child programs built beside the tests.
std::string Child(const std::string& name) { return "\"" + BinFolder() + name + ".exe\""; }


void PumpFor(DWORD ms) { LoopUntil([] { return false; }, ms); }

// The values the next new handles get: the system hands out the lowest free ones, so a
// handle left open in between shows as a change of them.
std::vector<HANDLE> NextHandleValues() {
  std::vector<HANDLE> probes;
  for (int i = 0; i < 32; ++i) probes.push_back(CreateEventA(nullptr, TRUE, FALSE, nullptr));
  for (HANDLE probe : probes) CloseHandle(probe);
  return probes;
}

// Threads of this process now.
int ThreadCount() {
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
  if (snapshot == INVALID_HANDLE_VALUE) return -1;
  int count = 0;
  THREADENTRY32 entry{};
  entry.dwSize = sizeof entry;
  for (BOOL more = Thread32First(snapshot, &entry); more; more = Thread32Next(snapshot, &entry))
    if (entry.th32OwnerProcessID == GetCurrentProcessId()) ++count;
  CloseHandle(snapshot);
  return count;
}

// Every end the component reports.
struct TEnds {
  std::vector<DWORD> codes;
  std::vector<TObject*> senders;
  std::vector<DWORD> threads;

  void Watch(TSvCreateProcess& cp) {
    cp.OnTerminate = [this](TObject* sender, DWORD code) {
      codes.push_back(code);
      senders.push_back(sender);
      threads.push_back(GetCurrentThreadId());
    };
  }
  size_t Count() const { return codes.size(); }
};

}  // namespace

TEST(SvCreateProcess, ReportsTheExitCodeOnTheGuiThread) {
  TSvCreateProcess cp(nullptr);
  SetHiddenStart(cp);
  TEnds ends;
  ends.Watch(cp);
  cp.SetCommandLine(Child("ExitWithCode") + " 3");
  cp.Run();
  EXPECT_EQ(cp.State(), psRunning);

  ASSERT_TRUE(LoopUntil([&] { return ends.Count() == 1; }));
  EXPECT_EQ(ends.codes[0], 3u);
  EXPECT_EQ(ends.senders[0], &cp);
  EXPECT_EQ(ends.threads[0], GetCurrentThreadId());
  EXPECT_EQ(cp.State(), psReady);
}

TEST(SvCreateProcess, RunFromInsideOnTerminateStartsTheNextChild) {
  TSvCreateProcess cp(nullptr);
  std::vector<DWORD> codes;
  std::vector<TSvProcessState> states;
  cp.OnTerminate = [&](TObject*, DWORD code) {
    codes.push_back(code);
    states.push_back(cp.State());
    if (codes.size() == 1) {
      cp.SetCommandLine(Child("ExitWithCode") + " 4");
      cp.Run();
    }
  };
  cp.SetCommandLine(Child("ExitWithCode") + " 3");
  cp.Run();

  ASSERT_TRUE(LoopUntil([&] { return codes.size() == 2; }));
  EXPECT_EQ(codes, (std::vector<DWORD>{3, 4}));
  EXPECT_EQ(states, (std::vector<TSvProcessState>{psReady, psReady}));
}

TEST(SvCreateProcess, RunWhileRunningRaisesAndTheFirstWaitGoesOn) {
  TSvCreateProcess cp(nullptr);
  TEnds ends;
  ends.Watch(cp);
  cp.SetCommandLine(Child("SleepThenExit") + " 300");
  cp.Run();

  const std::string running = "Cannot perform this operation when process is running";
  EXPECT_EQ(MessageOf([&] { cp.Run(); }), running);
  EXPECT_EQ(MessageOf([&] { cp.SetWaitForTerminate(false); }), running);
  EXPECT_TRUE(cp.WaitForTerminate());
  EXPECT_THROW(cp.Run(), ESvException);

  ASSERT_TRUE(LoopUntil([&] { return ends.Count() == 1; }));
  EXPECT_EQ(ends.codes[0], 0u);
  PumpFor(200);
  EXPECT_EQ(ends.Count(), 1u);
}

TEST(SvCreateProcess, BlankApplicationNameAndFolderArePassedAsNone) {
  TSvCreateProcess cp(nullptr);
  TEnds ends;
  ends.Watch(cp);
  cp.SetApplicationName("   ");
  cp.SetCurrentDirectory(" \t ");
  cp.SetCommandLine(Child("ExitWithCode") + " 5");
  cp.Run();
  ASSERT_TRUE(LoopUntil([&] { return ends.Count() == 1; }));
  EXPECT_EQ(ends.codes[0], 5u);
}

TEST(SvCreateProcess, WithoutWaitingTheStateIsStartedAndNoEventFollows) {
  TSvCreateProcess cp(nullptr);
  TEnds ends;
  ends.Watch(cp);
  cp.SetWaitForTerminate(false);
  cp.SetCommandLine(Child("ExitWithCode") + " 3");
  cp.Run();
  EXPECT_EQ(cp.State(), psStarted);
  PumpFor(300);
  EXPECT_EQ(ends.Count(), 0u);

  cp.SetWaitForTerminate(true);
  EXPECT_EQ(cp.State(), psReady);
}

TEST(SvCreateProcess, DestroyingWhileRunningReportsNothing) {
  for (bool console : {false, true}) {
    SCOPED_TRACE(console ? "console mode" : "plain");
    TEnds ends;
    std::vector<std::string> reads;
    auto* cp = new TSvCreateProcess(nullptr);
    ends.Watch(*cp);
    cp->OnRawRead = [&](TObject*, const std::string& s) { reads.push_back(s); };
    if (console) {
      cp->SetConsoleOptions({coRedirect});
      cp->SetCommandLine(Child("WriteBytes") + " -200 61620a -200 63640a");
    } else {
      cp->SetCommandLine(Child("SleepThenExit") + " 300");
    }
    cp->Run();
    delete cp;
    PumpFor(800);
    EXPECT_EQ(ends.Count(), 0u);
    EXPECT_TRUE(reads.empty());
  }
}

TEST(SvCreateProcess, AProcessThatCannotStartRaisesTheSystemErrorAndStaysReady) {
  for (bool console : {false, true}) {
    SCOPED_TRACE(console ? "console mode" : "plain");
    TSvCreateProcess cp(nullptr);
    TEnds ends;
    ends.Watch(cp);
    if (console) cp.SetConsoleOptions({coRedirect});
    cp.SetCommandLine("C:\\no such folder\\no such program.exe");
    auto failedRun = [&] {
      DWORD code = 0;
      try {
        cp.Run();
      } catch (const EOSError& e) {
        code = e.ErrorCode();
      }
      return code;
    };

    const DWORD code = failedRun();
    EXPECT_TRUE(code == ERROR_FILE_NOT_FOUND || code == ERROR_PATH_NOT_FOUND) << code;
    EXPECT_EQ(cp.State(), psReady);
    // Measured on a second attempt: the system keeps handles of its own from the first.
    const std::vector<HANDLE> nextHandles = NextHandleValues();
    EXPECT_EQ(failedRun(), code);
    EXPECT_EQ(NextHandleValues(), nextHandles);
    PumpFor(100);
    EXPECT_EQ(ends.Count(), 0u);
  }
}

TEST(SvCreateProcess, EnvironmentReachesTheChildAndAnEmptyLineIsRefusedBeforeTheStart) {
  TSvCreateProcess cp(nullptr);
  TEnds ends;
  ends.Watch(cp);
  cp.SetCommandLine(Child("ExitWithCode"));
  TStringList env;
  env.Add("EXIT_CODE=9");
  cp.SetEnvironment(&env);
  cp.Run();
  ASSERT_TRUE(LoopUntil([&] { return ends.Count() == 1; }));
  EXPECT_EQ(ends.codes[0], 9u);

  env.Insert(0, "A=1");
  env.Insert(1, "");
  cp.SetEnvironment(&env);
  EXPECT_EQ(MessageOf([&] { cp.Run(); }),
            "String list passed to StringsToMultiSz cannot contain empty strings.");
  EXPECT_THROW(cp.Run(), ESvError);
  EXPECT_EQ(cp.State(), psReady);
  PumpFor(300);
  EXPECT_EQ(ends.Count(), 1u);
}

TEST(SvCreateProcess, ABatchFileRunsInItsWorkingFolderWithTheExitCodeOfItsLastCommand) {
  char temp[MAX_PATH] = {};
  GetTempPathA(MAX_PATH, temp);
  const std::string folder = std::string(temp) + "SvCreateProcessBatch\\";
  ASSERT_TRUE(ForceDirectories(folder));
  // Found by cmd only in the working folder, as the game is beside its batch file.
  ASSERT_TRUE(CopyFileA((BinFolder() + "ExitWithCode.exe").c_str(),
                        (folder + "ExitWithCode.exe").c_str(), FALSE));
  TStringList batch;
  batch.Add("@ExitWithCode.exe 7");
  batch.SaveToFile(folder + "run.bat");

  TSvCreateProcess cp(nullptr);
  SetHiddenStart(cp);
  TEnds ends;
  ends.Watch(cp);
  cp.SetCurrentDirectory(folder);
  cp.SetCommandLine(folder + "run.bat");
  cp.Run();
  EXPECT_TRUE(LoopUntil([&] { return ends.Count() == 1; }));
  if (ends.Count() == 1) {
    EXPECT_EQ(ends.codes[0], 7u);
  }

  DeleteFileA((folder + "run.bat").c_str());
  DeleteFileA((folder + "ExitWithCode.exe").c_str());
  RemoveDirectoryA(folder.c_str());
}

// ---- Console mode ------------------------------------------------------------------------

namespace {

struct TConsoleCase {
  const char* name;
  const char* writes;  // WriteBytes arguments
  std::vector<std::string> lines;
};

// The bytes that WriteBytes arguments write, pauses left out.
std::string BytesOf(const std::string& writes) {
  std::string bytes;
  for (size_t i = 0; i < writes.size();) {
    if (writes[i] == ' ') {
      ++i;
    } else if (writes[i] == '-') {
      i = std::min(writes.find(' ', i), writes.size());
    } else {
      bytes.push_back(static_cast<char>(std::stoi(writes.substr(i, 2), nullptr, 16)));
      i += 2;
    }
  }
  return bytes;
}

}  // namespace

TEST(SvCreateProcess, ConsoleOutputIsAssembledIntoLines) {
  const TConsoleCase cases[] = {
      {"carriage return overwrites", "61620d630a", {"cb"}},
      {"carriage return in a later piece", "61620d -200 630a", {"cb"}},
      {"tab writes eight blanks", "610962 0a", {"a        b"}},
      {"backspace stops at column 0", "0808780a", {"x"}},
      {"backspace overwrites", "61620863 0a", {"ac"}},
      {"bell and zero are blanks", "6107620063 0a", {"a b c"}},
      {"line feeds end lines", "610a0a62 0d0a", {"a", "", "b"}},
      {"last line without line feed", "610a62", {"a", "b"}},
  };
  TSvCreateProcess cp(nullptr);
  cp.SetConsoleOptions({coRedirect});
  TEnds ends;
  ends.Watch(cp);
  std::string raw;
  cp.OnRawRead = [&](TObject*, const std::string& s) { raw += s; };

  for (const TConsoleCase& c : cases) {
    SCOPED_TRACE(c.name);
    ends = TEnds();
    raw.clear();
    cp.ConsoleOutput()->Clear();
    cp.SetCommandLine(Child("WriteBytes") + " " + c.writes);
    cp.Run();
    ASSERT_TRUE(LoopUntil([&] { return ends.Count() == 1; }));
    EXPECT_EQ(ends.codes[0], 0u);

    std::vector<std::string> lines;
    for (int i = 0; i < cp.ConsoleOutput()->Count(); ++i)
      lines.push_back(cp.ConsoleOutput()->Strings(i));
    EXPECT_EQ(lines, c.lines);
    EXPECT_EQ(raw, BytesOf(c.writes));
    PumpFor(50);
    EXPECT_EQ(ends.Count(), 1u);
  }
}

TEST(SvCreateProcess, ConsoleReadsPublishPartialLinesAndTheirCompletion) {
  TSvCreateProcess cp(nullptr);
  cp.SetConsoleOptions({coRedirect, coOwnerData});
  TEnds ends;
  ends.Watch(cp);
  std::vector<std::pair<std::string, bool>> reads;
  cp.OnRead = [&](TObject*, const std::string& s, bool startsOnNewLine) {
    reads.emplace_back(s, startsOnNewLine);
  };
  cp.SetCommandLine(Child("WriteBytes") + " 61620d -300 630a -300 64");
  cp.Run();
  ASSERT_TRUE(LoopUntil([&] { return ends.Count() == 1; }));

  const std::vector<std::pair<std::string, bool>> expected = {
      {"ab", true}, {"cb", false}, {"d", true}};
  EXPECT_EQ(reads, expected);
  EXPECT_EQ(cp.ConsoleOutput()->Count(), 0);  // the owner keeps the data
}

TEST(SvCreateProcess, ConsoleOutputIsNotLostWhenTheGuiThreadFallsBehind) {
  // 2000 lines of 70 x: more than the reader buffers, written in one go while the GUI thread
  // takes nothing.
  std::string line = "2000*";
  for (int i = 0; i < 70; ++i) line += "78";
  line += "0a";

  TSvCreateProcess cp(nullptr);
  cp.SetConsoleOptions({coRedirect});
  TEnds ends;
  ends.Watch(cp);
  cp.SetCommandLine(Child("WriteBytes") + " " + line);
  cp.Run();
  Sleep(1000);
  ASSERT_TRUE(LoopUntil([&] { return ends.Count() == 1; }));
  ASSERT_EQ(cp.ConsoleOutput()->Count(), 2000);
  EXPECT_EQ(cp.ConsoleOutput()->Strings(1999), std::string(70, 'x'));
}

TEST(SvReadThread, AStopKeepsWhatThePipeHoldsAndEndsWhileAWriterRemains) {
  HANDLE readEnd = nullptr;
  HANDLE writeEnd = nullptr;
  ASSERT_TRUE(CreatePipe(&readEnd, &writeEnd, nullptr, 0));
  DWORD written = 0;
  ASSERT_TRUE(WriteFile(writeEnd, "abc", 3, &written, nullptr));
  HWND window = AllocateUtilityWindow(nullptr);

  auto* reader = new TSvReadThread(readEnd, window);
  std::string taken;
  bool ended = false;
  reader->OnTerminate = [&](TObject* sender) {
    taken = static_cast<TSvReadThread*>(sender)->TakeChunk(1024);
    ended = true;
  };
  reader->Stop();
  reader->Start();
  EXPECT_TRUE(LoopUntil([&] { return ended; }));
  EXPECT_EQ(taken, "abc");

  CloseHandle(writeEnd);
  DeallocateUtilityWindow(window);
}

// ---- Start-up description and published properties ----------------------------------------

TEST(SvCPSStartupInfo, FillsTheStartupRecord) {
  struct TCase {
    const char* name;
    std::function<void(TSvCPSStartupInfo&)> set;
    DWORD flags;
    WORD show;
  };
  const TCase cases[] = {
      {"defaults", [](TSvCPSStartupInfo&) {}, 0, 0},
      {"hidden at 0,0 with size 0,0",
       [](TSvCPSStartupInfo& s) {
         s.SetDefaultPosition(false);
         s.SetDefaultSize(false);
         s.SetDefaultWindowState(false);
         s.SetShowWindow(swHide);
       },
       STARTF_USESHOWWINDOW | STARTF_USESIZE | STARTF_USEPOSITION, SW_HIDE},
      {"maximised",
       [](TSvCPSStartupInfo& s) {
         s.SetDefaultWindowState(false);
         s.SetShowWindow(swMaximize);
       },
       STARTF_USESHOWWINDOW, SW_SHOWMAXIMIZED},
      {"minimised",
       [](TSvCPSStartupInfo& s) {
         s.SetDefaultWindowState(false);
         s.SetShowWindow(swMinimize);
       },
       STARTF_USESHOWWINDOW, SW_SHOWMINIMIZED},
      {"feedback",
       [](TSvCPSStartupInfo& s) {
         s.SetForceOnFeedback(true);
         s.SetForceOffFeedback(true);
       },
       0x40 | 0x80, 0},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.name);
    TSvCPSStartupInfo info;
    c.set(info);
    STARTUPINFOA record{};
    record.cb = sizeof record;
    info.FillStartupRecord(record);
    EXPECT_EQ(record.dwFlags, c.flags);
    EXPECT_EQ(record.wShowWindow, c.show);
    EXPECT_EQ(record.lpDesktop, nullptr);
    EXPECT_EQ(record.lpTitle, nullptr);
  }

  TSvCPSStartupInfo placed;
  placed.SetDefaultPosition(false);
  placed.SetLeft(10);
  placed.SetTop(20);
  placed.SetDefaultSize(false);
  placed.SetWidth(300);
  placed.SetHeight(200);
  placed.SetTitle("Child");
  STARTUPINFOA record{};
  record.cb = sizeof record;
  placed.FillStartupRecord(record);
  EXPECT_EQ(record.dwX, 10u);
  EXPECT_EQ(record.dwY, 20u);
  EXPECT_EQ(record.dwXSize, 300u);
  EXPECT_EQ(record.dwYSize, 200u);
  EXPECT_STREQ(record.lpTitle, "Child");
  EXPECT_EQ(record.lpDesktop, nullptr);
}

TEST(SvCPSStartupInfo, AssignCopiesEveryValue) {
  RegisterSvCreateProcess();
  TSvCPSStartupInfo source;
  source.SetDesktop("winsta0\\default");
  source.SetTitle("T");
  source.SetLeft(1);
  source.SetTop(2);
  source.SetDefaultPosition(false);
  source.SetWidth(3);
  source.SetHeight(4);
  source.SetDefaultSize(false);
  source.SetShowWindow(swMaximize);
  source.SetDefaultWindowState(false);
  source.SetForceOnFeedback(true);
  source.SetForceOffFeedback(true);

  TSvCreateProcess cp(nullptr);
  cp.SetStartupInfo(&source);
  const TClassInfo* info = ClassInfoOf<TSvCPSStartupInfo>();
  ASSERT_NE(info, nullptr);
  ASSERT_EQ(info->Props().size(), 12u);
  for (const TPropInfo* prop : info->Props()) {
    SCOPED_TRACE(prop->Name);
    EXPECT_EQ(GetPropValue(cp.StartupInfo(), *prop), GetPropValue(&source, *prop));
  }

  TStringList other;
  EXPECT_THROW(other.Assign(&source), EConvertError);
}

TEST(SvCreateProcess, PublishedDefaultsAreTheValuesOfANewComponent) {
  RegisterSvCreateProcess();
  TSvCreateProcess cp(nullptr);
  for (TObject* object : {static_cast<TObject*>(&cp), static_cast<TObject*>(cp.StartupInfo())}) {
    for (const TPropInfo* prop : ObjectClassInfo(object)->Props()) {
      if (!prop->Default) continue;
      SCOPED_TRACE(prop->Name);
      EXPECT_EQ(GetPropValue(object, *prop), *prop->Default);
    }
  }
  SetPropValue(&cp, "ConsoleOptions", TValue::List({TValue::Ident("coRedirect")}));
  EXPECT_EQ(cp.ConsoleOptions(), TSvConsoleOptions{coRedirect});
  SetPropValue(&cp, "Environment", TValue::List({TValue::String("A=1")}));
  EXPECT_EQ(cp.Environment()->Text(), "A=1\r\n");
}

// ---- Children that never become idle or read their input ---------------------------------

TEST(SvCreateProcess, WithoutWaitingAChildThatNeverBecomesIdleHoldsRunForAFewSecondsAtMost) {
  TSvCreateProcess cp(nullptr);
  cp.SetWaitForTerminate(false);
  cp.SetCommandLine(Child("GuiWithoutMessageLoop") + " 10000");
  const ULONGLONG start = GetTickCount64();
  cp.Run();
  const ULONGLONG took = GetTickCount64() - start;
  EXPECT_EQ(cp.State(), psStarted);
  EXPECT_LT(took, 4500u);
}

// (Handles are not counted here: each wait for a child to become idle costs Wine a handle of
// its own that it never gives back.)
TEST(SvCreateProcess, DestroyedWhileAChildThatNeverBecomesIdleRunsLeavesNoThread) {
  const int threadsBefore = ThreadCount();
  ASSERT_GT(threadsBefore, 0);
  auto* cp = new TSvCreateProcess(nullptr);
  TEnds ends;
  ends.Watch(*cp);
  cp->SetCommandLine(Child("GuiWithoutMessageLoop") + " 10000");
  cp->Run();
  ASSERT_EQ(cp->State(), psRunning);
  PumpFor(200);
  delete cp;
  // The child runs on for seconds; the wait for it ends within the bounded wait for idle.
  EXPECT_TRUE(LoopUntil([&] { return ThreadCount() == threadsBefore; }, 4500))
      << ThreadCount() << " threads, " << threadsBefore << " before";
  EXPECT_EQ(ends.Count(), 0u);
}

TEST(SvCreateProcess, AConsoleChildThatReadsItsInputFindsItEnded) {
  TSvCreateProcess cp(nullptr);
  cp.SetConsoleOptions({coRedirect});
  TEnds ends;
  ends.Watch(cp);
  cp.SetCommandLine(Child("ReadInput"));
  cp.Run();
  ASSERT_TRUE(LoopUntil([&] { return ends.Count() == 1; }, 5000));
  EXPECT_EQ(ends.codes[0], 0u);
}

// ---- Handlers that free their component -------------------------------------------------

namespace {

// A component built in a block of the test's own, which a handler ends and overwrites at
// once, as a freed block may be: nothing of the component may be used afterwards.
struct TFreedByHandler {
  alignas(TSvCreateProcess) unsigned char storage[sizeof(TSvCreateProcess)];
  TSvCreateProcess* cp = new (storage) TSvCreateProcess(nullptr);
  bool freed = false;

  void Free() {
    cp->~TSvCreateProcess();
    std::memset(storage, 0xCC, sizeof storage);
    freed = true;
  }
  bool Untouched() const {
    return std::all_of(std::begin(storage), std::end(storage),
                       [](unsigned char b) { return b == 0xCC; });
  }
};

}  // namespace

TEST(SvCreateProcess, AnEndHandlerMayFreeItsComponent) {
  for (bool console : {false, true}) {
    SCOPED_TRACE(console ? "console mode" : "plain");
    TFreedByHandler block;
    if (console) block.cp->SetConsoleOptions({coRedirect});
    block.cp->SetCommandLine(Child("ExitWithCode") + " 4");
    block.cp->OnTerminate = [&block](TObject*, DWORD) { block.Free(); };
    block.cp->Run();
    ASSERT_TRUE(LoopUntil([&] { return block.freed; }));
    PumpFor(100);
    EXPECT_TRUE(block.Untouched());
  }
}

TEST(SvCreateProcess, AReadHandlerMayFreeItsComponent) {
  for (bool raw : {false, true}) {
    SCOPED_TRACE(raw ? "raw read" : "line read");
    TFreedByHandler block;
    int reads = 0;
    block.cp->SetConsoleOptions({coRedirect});
    // Two lines in one piece, then more after a pause.
    block.cp->SetCommandLine(Child("WriteBytes") + " 610a620a -200 630a");
    if (raw)
      block.cp->OnRawRead = [&](TObject*, const std::string&) {
        ++reads;
        block.Free();
      };
    else
      block.cp->OnRead = [&](TObject*, const std::string&, bool) {
        ++reads;
        block.Free();
      };
    block.cp->Run();
    ASSERT_TRUE(LoopUntil([&] { return block.freed; }));
    PumpFor(500);
    EXPECT_EQ(reads, 1);
    EXPECT_TRUE(block.Untouched());
  }
}
