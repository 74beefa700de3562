// The process runner: starts another program (hidden, if asked) and reports on the GUI thread
// that it has ended and with which exit code; in console mode it also reads its output.
#pragma once

#include <windows.h>

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "platform/Application.h"
#include "platform/Classes.h"
#include "platform/Guards.h"
#include "platform/StringList.h"
#include "platform/Thread.h"
#include "services/SvCommon.h"

enum TSvProcessPriority { ppIdle, ppNormal, ppHigh, ppRealTime };

// Each member adds one process-creation flag.
enum TSvCPSFlag {
  cfDefaultErrorMode,
  cfNewConsole,
  cfNewProcGroup,
  cfSeparateWdm,
  cfSharedWdm,
  cfSuspended,
  cfUnicode,
  cfDetached,
};
using TSvCPSFlags = TSet<TSvCPSFlag>;

enum TSvCPSShowWindow { swHide, swMinimize, swMaximize, swNormal };

// coRedirect: read the child's standard output. coOwnerData: keep no list of output lines.
enum TSvConsoleOption { coRedirect, coOwnerData };
using TSvConsoleOptions = TSet<TSvConsoleOption>;

// psStarted: started without waiting, so no end will be reported.
enum TSvProcessState { psReady, psStarted, psRunning };

using TSvCPSTerminateEvent = std::function<void(TObject* sender, DWORD exitCode)>;
// A line, or the part of a line seen so far; startsOnNewLine is false when it replaces the
// text published last.
using TSvCPSReadEvent =
    std::function<void(TObject* sender, const std::string& s, bool startsOnNewLine)>;
using TSvCPSRawReadEvent = std::function<void(TObject* sender, const std::string& s)>;

// The window the new process starts with.
class TSvCPSStartupInfo : public TPersistent {
 public:
  const std::string& Desktop() const { return desktop_; }
  void SetDesktop(const std::string& value) { desktop_ = value; }
  const std::string& Title() const { return title_; }
  void SetTitle(const std::string& value) { title_ = value; }
  int Left() const { return left_; }
  void SetLeft(int value) { left_ = value; }
  int Top() const { return top_; }
  void SetTop(int value) { top_ = value; }
  bool DefaultPosition() const { return defaultPosition_; }
  void SetDefaultPosition(bool value) { defaultPosition_ = value; }
  int Width() const { return width_; }
  void SetWidth(int value) { width_ = value; }
  int Height() const { return height_; }
  void SetHeight(int value) { height_ = value; }
  bool DefaultSize() const { return defaultSize_; }
  void SetDefaultSize(bool value) { defaultSize_ = value; }
  TSvCPSShowWindow ShowWindow() const { return showWindow_; }
  void SetShowWindow(TSvCPSShowWindow value) { showWindow_ = value; }
  bool DefaultWindowState() const { return defaultWindowState_; }
  void SetDefaultWindowState(bool value) { defaultWindowState_ = value; }
  bool ForceOnFeedback() const { return forceOnFeedback_; }
  void SetForceOnFeedback(bool value) { forceOnFeedback_ = value; }
  bool ForceOffFeedback() const { return forceOffFeedback_; }
  void SetForceOffFeedback(bool value) { forceOffFeedback_ = value; }

  // Fills a zeroed record whose size field is set. Its desktop and title point into this
  // object, so the record must not outlive it.
  void FillStartupRecord(STARTUPINFOA& record) const;

 protected:
  void AssignTo(TPersistent* dest) override;

 private:
  std::string desktop_;
  std::string title_;
  int left_ = 0;
  int top_ = 0;
  bool defaultPosition_ = true;
  int width_ = 0;
  int height_ = 0;
  bool defaultSize_ = true;
  TSvCPSShowWindow showWindow_ = swNormal;
  bool defaultWindowState_ = true;
  bool forceOnFeedback_ = false;
  bool forceOffFeedback_ = false;
};

// Waits for a started process to end, or for Stop, and keeps the exit code: the process's,
// or $FFFFFFFF when stopped. Frees itself when it ends.
class TSvWaitForProcessThread : public TThread {
 public:
  // Created suspended. Keeps its own duplicate of `process`, so the wait never depends on a
  // handle the starter may close meanwhile.
  explicit TSvWaitForProcessThread(HANDLE process);
  ~TSvWaitForProcessThread() override;

  void Stop();
  DWORD ExitCode() const { return exitCode_; }

  // Set on the GUI thread when nobody takes the end any more; the end handler looks at it
  // there, so it needs no lock.
  bool Detached() const { return detached_; }
  void Detach() { detached_ = true; }

 protected:
  void Execute() override;

 private:
  THandleGuard process_;
  THandleGuard stopEvent_;
  DWORD exitCode_ = 0;
  bool detached_ = false;
};

// Reads the child's output pipe and hands what it read to the GUI thread: the bytes collect
// in a buffer, and `window` gets WM_USER + 1 whenever there are new ones.
class TSvReadThread : public TThread {
 public:
  // Created suspended; takes over `pipe`, which it closes when it ends.
  TSvReadThread(HANDLE pipe, HWND window);
  ~TSvReadThread() override;

  // Ends the thread once it has read what the pipe holds now, so what the child wrote
  // before it ended is kept.
  void Stop();
  // Nobody takes the output any more: it is read and dropped, and no message is posted.
  void Detach();
  bool Detached() const { return detached_; }
  // The oldest buffered bytes, at most maxBytes of them; empty when there are none.
  std::string TakeChunk(size_t maxBytes);

 protected:
  void Execute() override;

 private:
  // False once detached.
  bool Wanted();
  // Room left in the buffer; the reader waits for the GUI thread rather than drop output.
  size_t Room();
  void Append(const char* bytes, DWORD count);

  std::mutex lock_;
  THandleGuard pipe_;
  THandleGuard stopEvent_;
  HWND window_;
  std::string data_;
  bool detached_ = false;  // GUI thread only
};

class TSvCreateProcess : public TComponent {
 public:
  explicit TSvCreateProcess(TComponent* owner);
  // While running: the wait stops and nothing is reported; the child keeps running.
  ~TSvCreateProcess() override;

  // Starts the process. Raises ESvException while running, EOSError when the process (or
  // its pipes) cannot be made, ESvError for an empty line in Environment. Without
  // WaitForTerminate it returns once the child is idle, or after three seconds at most.
  void Run();

  const std::string& ApplicationName() const { return applicationName_; }
  void SetApplicationName(const std::string& value) { applicationName_ = value; }
  const std::string& CommandLine() const { return commandLine_; }
  void SetCommandLine(const std::string& value) { commandLine_ = value; }
  TSvCPSFlags CreationFlags() const { return creationFlags_; }
  void SetCreationFlags(TSvCPSFlags value) { creationFlags_ = value; }
  const std::string& CurrentDirectory() const { return currentDirectory_; }
  void SetCurrentDirectory(const std::string& value) { currentDirectory_ = value; }
  // name=value lines; none means the child inherits this program's environment.
  TStrings* Environment() const { return environment_.get(); }
  void SetEnvironment(TStrings* value);
  TSvProcessPriority Priority() const { return priority_; }
  void SetPriority(TSvProcessPriority value) { priority_ = value; }
  TSvCPSStartupInfo* StartupInfo() const { return startupInfo_.get(); }
  void SetStartupInfo(TSvCPSStartupInfo* value);
  bool WaitForTerminate() const { return waitForTerminate_; }
  // Raises ESvException while running.
  void SetWaitForTerminate(bool value);
  TSvConsoleOptions ConsoleOptions() const { return consoleOptions_; }
  void SetConsoleOptions(TSvConsoleOptions value) { consoleOptions_ = value; }

  TSvProcessState State() const { return state_; }
  // Console mode without coOwnerData: the output lines read so far (kept across runs).
  TStrings* ConsoleOutput() const { return consoleOutput_.get(); }

  // Fired on the GUI thread once per waited run, when the component is ready again, so the
  // handler may call Run at once.
  TSvCPSTerminateEvent OnTerminate;
  TSvCPSReadEvent OnRead;
  TSvCPSRawReadEvent OnRawRead;

 private:
  void StartWaitThread();
  void StartConsoleThreads(HANDLE outputRead);
  void WaitThreadEnded(TSvWaitForProcessThread* thread);
  void ConsoleThreadEnded(TSvWaitForProcessThread* thread);
  void ReadThreadEnded();
  // Back to ready, handles closed, then OnTerminate.
  void EndRun();
  // Closes the process and main-thread handles; false (with the error kept) when one fails.
  bool CloseProcessHandles(DWORD& error);
  void UtilityMessage(TMessage& message);
  // These fire OnRawRead and OnRead; false when a handler freed the component.
  void DrainOutput();
  bool ProcessChunk(const std::string& chunk);
  void PutChar(char c);
  bool Publish(bool completesLine);

  std::string applicationName_;
  std::string commandLine_;
  TSvCPSFlags creationFlags_;
  std::string currentDirectory_;
  std::unique_ptr<TStringList> environment_;
  TSvProcessPriority priority_ = ppNormal;
  std::unique_ptr<TSvCPSStartupInfo> startupInfo_;
  bool waitForTerminate_ = true;
  TSvConsoleOptions consoleOptions_{coOwnerData};

  PROCESS_INFORMATION processInfo_{};
  TSvProcessState state_ = psReady;
  TSvWaitForProcessThread* waitThread_ = nullptr;
  TSvReadThread* readThread_ = nullptr;
  DWORD exitCode_ = 0;
  std::unique_ptr<TStringList> consoleOutput_;
  std::string line_;
  size_t cursor_ = 0;
  bool lineEnded_ = true;
  bool lineChanged_ = false;  // the current line differs from what was published last
  HWND window_ = nullptr;
  TAliveFlag alive_;
};

// A start hidden, as the program's layouts give it to their components (the game's and the
// diagnostic tool's): the child's window hidden, without a size, place or window state of
// its own.
void SetHiddenStart(TSvCreateProcess& process);

// Publishes TSvCPSStartupInfo and TSvCreateProcess for stored layouts; call once at start.
void RegisterSvCreateProcess();
