#include "services/SvCreateProcess.h"

#include <algorithm>
#include <iterator>
#include <optional>
#include <utility>

#include "platform/Guards.h"
#include "platform/TypInfo.h"
#include "resources/ResourceIds.h"
#include "services/SvCommon.h"

namespace {

// Posted by the read thread to the hidden window when it has buffered new output.
constexpr UINT kOutputMessage = WM_USER + 1;
// Output is handed to the GUI thread in pieces of at most this size.
constexpr size_t kChunkSize = 1024;
// The read buffer grows by doubling from 1024 bytes while below 64 KiB + 1, so this is the
// most it holds; when the GUI thread falls that far behind, the reader waits for it.
constexpr size_t kMaxBuffered = 131072;
// How often the reader looks into an empty pipe.
constexpr DWORD kPollInterval = 10;

constexpr DWORD kStoppedExitCode = 0xFFFFFFFF;

// A child with windows but no message loop never becomes idle: the wait for that gives up
// after this long. (One bounded wait rather than slices that look for a stop in between:
// each call of WaitForInputIdle costs Wine a handle that it never gives back.)
constexpr DWORD kIdleLimit = 3000;

constexpr DWORD kPriorityFlags[] = {IDLE_PRIORITY_CLASS, NORMAL_PRIORITY_CLASS,
                                    HIGH_PRIORITY_CLASS, REALTIME_PRIORITY_CLASS};

// Indexed by TSvCPSFlag.
constexpr DWORD kCreationFlags[] = {
    CREATE_DEFAULT_ERROR_MODE, CREATE_NEW_CONSOLE, CREATE_NEW_PROCESS_GROUP,
    CREATE_SEPARATE_WOW_VDM,   CREATE_SHARED_WOW_VDM, CREATE_SUSPENDED,
    CREATE_UNICODE_ENVIRONMENT, DETACHED_PROCESS,
};

constexpr WORD kShowCommands[] = {SW_HIDE, SW_SHOWMINIMIZED, SW_SHOWMAXIMIZED, SW_SHOWNORMAL};

struct TMultiSzFree {
  void operator()(char* block) const { FreeMultiSz(block); }
};

// The two pipes of console mode: the child writes its output and errors into the first and
// reads its input from the second; the parent's end is not inherited. Nothing is ever written
// to the child's input: the parent keeps no end of it, so a child that reads its input finds
// it ended instead of waiting for ever.
struct TConsolePipes {
  THandleGuard childInput;
  THandleGuard childOutput;
  THandleGuard childError;
  THandleGuard parentOutput;
};

HANDLE DuplicateOwnHandle(HANDLE source, bool inheritable) {
  HANDLE self = GetCurrentProcess();
  HANDLE copy = nullptr;
  CheckOsCall(DuplicateHandle(self, source, self, &copy, 0, inheritable, DUPLICATE_SAME_ACCESS));
  return copy;
}

TConsolePipes CreateConsolePipes() {
  // A null access list lets the child use its ends whatever account it runs under.
  SECURITY_DESCRIPTOR descriptor;
  CheckOsCall(InitializeSecurityDescriptor(&descriptor, SECURITY_DESCRIPTOR_REVISION));
  CheckOsCall(SetSecurityDescriptorDacl(&descriptor, TRUE, nullptr, FALSE));
  SECURITY_ATTRIBUTES attributes{};
  attributes.nLength = sizeof attributes;
  attributes.lpSecurityDescriptor = &descriptor;
  attributes.bInheritHandle = TRUE;

  TConsolePipes pipes;
  THandleGuard outputRead;
  THandleGuard inputWrite;
  CheckOsCall(CreatePipe(outputRead.Receive(), pipes.childOutput.Receive(), &attributes, 0));
  *pipes.childError.Receive() = DuplicateOwnHandle(pipes.childOutput.Get(), true);
  CheckOsCall(CreatePipe(pipes.childInput.Receive(), inputWrite.Receive(), &attributes, 0));
  *pipes.parentOutput.Receive() = DuplicateOwnHandle(outputRead.Get(), false);
  return pipes;
}

HANDLE CreateStopEvent() {
  HANDLE event = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  CheckOsCall(event != nullptr);
  return event;
}

}  // namespace

// ---- TSvCPSStartupInfo ---------------------------------------------------------------------

void TSvCPSStartupInfo::FillStartupRecord(STARTUPINFOA& record) const {
  if (!desktop_.empty()) record.lpDesktop = const_cast<char*>(desktop_.c_str());
  if (!title_.empty()) record.lpTitle = const_cast<char*>(title_.c_str());
  if (!defaultPosition_) {
    record.dwX = static_cast<DWORD>(left_);
    record.dwY = static_cast<DWORD>(top_);
    record.dwFlags |= STARTF_USEPOSITION;
  }
  if (!defaultSize_) {
    record.dwXSize = static_cast<DWORD>(width_);
    record.dwYSize = static_cast<DWORD>(height_);
    record.dwFlags |= STARTF_USESIZE;
  }
  if (!defaultWindowState_) {
    record.wShowWindow = kShowCommands[showWindow_];
    record.dwFlags |= STARTF_USESHOWWINDOW;
  }
  if (forceOnFeedback_) record.dwFlags |= STARTF_FORCEONFEEDBACK;
  if (forceOffFeedback_) record.dwFlags |= STARTF_FORCEOFFFEEDBACK;
}

void TSvCPSStartupInfo::AssignTo(TPersistent* dest) {
  auto* info = dynamic_cast<TSvCPSStartupInfo*>(dest);
  if (!info) {
    TPersistent::AssignTo(dest);
    return;
  }
  info->desktop_ = desktop_;
  info->title_ = title_;
  info->left_ = left_;
  info->top_ = top_;
  info->defaultPosition_ = defaultPosition_;
  info->width_ = width_;
  info->height_ = height_;
  info->defaultSize_ = defaultSize_;
  info->showWindow_ = showWindow_;
  info->defaultWindowState_ = defaultWindowState_;
  info->forceOnFeedback_ = forceOnFeedback_;
  info->forceOffFeedback_ = forceOffFeedback_;
}

// ---- Threads -------------------------------------------------------------------------------

TSvWaitForProcessThread::TSvWaitForProcessThread(HANDLE process) : TThread(true) {
  SetFreeOnTerminate(true);
  SetPriority(tpLower);
  *stopEvent_.Receive() = CreateStopEvent();
  *process_.Receive() = DuplicateOwnHandle(process, false);
}

TSvWaitForProcessThread::~TSvWaitForProcessThread() { TerminateAndWait(); }

void TSvWaitForProcessThread::Stop() {
  Terminate();
  SetEvent(stopEvent_.Get());
}

void TSvWaitForProcessThread::Execute() {
  // Returns at once for a console program, which has no input queue to become idle, and
  // never by itself for a program with windows but no message loop: a stop during this wait
  // takes effect when it gives up.
  WaitForInputIdle(process_.Get(), kIdleLimit);
  HANDLE handles[2] = {stopEvent_.Get(), process_.Get()};
  switch (WaitForMultipleObjects(2, handles, FALSE, INFINITE)) {
    case WAIT_OBJECT_0:
      exitCode_ = kStoppedExitCode;
      break;
    case WAIT_OBJECT_0 + 1: {
      DWORD code = 0;
      CheckOsCall(GetExitCodeProcess(process_.Get(), &code));
      exitCode_ = code;
      break;
    }
    default:
      RaiseLastOSError();
  }
}

TSvReadThread::TSvReadThread(HANDLE pipe, HWND window) : TThread(true), window_(window) {
  SetFreeOnTerminate(true);
  SetPriority(tpLower);
  *stopEvent_.Receive() = CreateStopEvent();
  // Taken over only now: until here a failure leaves the pipe with the caller.
  *pipe_.Receive() = pipe;
}

TSvReadThread::~TSvReadThread() { TerminateAndWait(); }

void TSvReadThread::Stop() {
  Terminate();
  SetEvent(stopEvent_.Get());
}

void TSvReadThread::Detach() {
  detached_ = true;
  std::lock_guard<std::mutex> guard(lock_);
  window_ = nullptr;
  data_.clear();
}

std::string TSvReadThread::TakeChunk(size_t maxBytes) {
  std::lock_guard<std::mutex> guard(lock_);
  const size_t n = std::min(maxBytes, data_.size());
  std::string chunk = data_.substr(0, n);
  data_.erase(0, n);
  return chunk;
}

bool TSvReadThread::Wanted() {
  std::lock_guard<std::mutex> guard(lock_);
  return window_ != nullptr;
}

size_t TSvReadThread::Room() {
  std::lock_guard<std::mutex> guard(lock_);
  if (!window_) return kChunkSize;  // dropped anyway
  return kMaxBuffered - std::min(kMaxBuffered, data_.size());
}

void TSvReadThread::Append(const char* bytes, DWORD count) {
  std::lock_guard<std::mutex> guard(lock_);
  if (!window_) return;
  // One message per filling of an empty buffer: the GUI thread takes all there is when it
  // comes, so a child that writes byte by byte cannot flood its queue.
  const bool wasEmpty = data_.empty();
  data_.append(bytes, count);
  if (wasEmpty) PostMessageA(window_, kOutputMessage, 0, 0);
}

void TSvReadThread::Execute() {
  // The pipe is only read when it holds something, so a read never blocks: a stop takes
  // effect at once, even while a program the child started keeps the pipe open. What the
  // pipe holds when the stop comes is still read, so output written just before the child
  // ended is not lost; a detached reader drops it and ends at once.
  char buffer[kChunkSize];
  std::optional<DWORD> leftAtStop;
  for (;;) {
    const bool stopping = Terminated();
    if (stopping && !Wanted()) break;
    DWORD available = 0;
    // Fails (broken pipe) once every writer is gone and nothing is left.
    if (!PeekNamedPipe(pipe_.Get(), nullptr, 0, nullptr, &available, nullptr)) break;
    if (stopping) {
      if (!leftAtStop) leftAtStop = available;
      available = std::min(available, *leftAtStop);
      if (available == 0) break;
    } else if (available == 0) {
      WaitForSingleObject(stopEvent_.Get(), kPollInterval);
      continue;
    }
    const size_t room = Room();
    if (room == 0) {
      Sleep(kPollInterval);
      continue;
    }
    const DWORD wanted = static_cast<DWORD>(std::min<size_t>({available, room, kChunkSize}));
    DWORD read = 0;
    if (!ReadFile(pipe_.Get(), buffer, wanted, &read, nullptr)) break;
    if (read > 0) Append(buffer, read);
    if (leftAtStop) *leftAtStop -= read;
  }
}

// ---- TSvCreateProcess ----------------------------------------------------------------------

TSvCreateProcess::TSvCreateProcess(TComponent* owner)
    : TComponent(owner),
      environment_(std::make_unique<TStringList>()),
      startupInfo_(std::make_unique<TSvCPSStartupInfo>()),
      consoleOutput_(std::make_unique<TStringList>()) {}

TSvCreateProcess::~TSvCreateProcess() {
  // The threads may still hand their end over later; detached, they find nobody to tell.
  if (waitThread_) {
    waitThread_->Detach();
    waitThread_->Stop();
    waitThread_ = nullptr;
  }
  if (readThread_) {
    readThread_->Detach();
    readThread_->Stop();
    readThread_ = nullptr;
  }
  state_ = psReady;
  DWORD error = 0;
  CloseProcessHandles(error);
  DeallocateUtilityWindow(window_);
}

void TSvCreateProcess::SetEnvironment(TStrings* value) { environment_->Assign(value); }

void TSvCreateProcess::SetStartupInfo(TSvCPSStartupInfo* value) { startupInfo_->Assign(value); }

void TSvCreateProcess::SetWaitForTerminate(bool value) {
  if (state_ == psRunning) throw ESvException(IDS_SV_PROCESS_RUNNING);
  waitForTerminate_ = value;
  state_ = psReady;
}

void TSvCreateProcess::Run() {
  if (state_ == psRunning) throw ESvException(IDS_SV_PROCESS_RUNNING);
  state_ = psReady;
  lineEnded_ = true;
  line_.clear();
  cursor_ = 0;
  lineChanged_ = false;
  const bool console = consoleOptions_.Contains(coRedirect);
  processInfo_ = {};

  DWORD flags = kPriorityFlags[priority_];
  for (unsigned f = 0; f < std::size(kCreationFlags); ++f)
    if (creationFlags_.Contains(static_cast<TSvCPSFlag>(f))) flags |= kCreationFlags[f];

  const std::string applicationName = Trim(applicationName_);
  const std::string currentDirectory = Trim(currentDirectory_);
  std::unique_ptr<char, TMultiSzFree> environment(
      environment_->Count() > 0 ? StringsToMultiSz(*environment_) : nullptr);

  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  startupInfo_->FillStartupRecord(startup);

  TConsolePipes pipes;
  if (console) {
    // Made before the child, so that no child is left running without a reader.
    if (!window_) window_ = AllocateUtilityWindow([this](TMessage& m) { UtilityMessage(m); });
    pipes = CreateConsolePipes();
    startup.dwFlags |= STARTF_USESTDHANDLES;
    startup.hStdInput = pipes.childInput.Get();
    startup.hStdOutput = pipes.childOutput.Get();
    startup.hStdError = pipes.childError.Get();
  }

  std::string commandLine = commandLine_;  // CreateProcessA may write into it
  PROCESS_INFORMATION info{};
  const BOOL created = CreateProcessA(
      applicationName.empty() ? nullptr : applicationName.c_str(), commandLine.data(), nullptr,
      nullptr, console, flags, environment.get(),
      currentDirectory.empty() ? nullptr : currentDirectory.c_str(), &startup, &info);
  const DWORD error = GetLastError();
  // The child has its own copies now.
  pipes.childInput.Close();
  pipes.childOutput.Close();
  pipes.childError.Close();
  environment.reset();
  if (!created) {
    if (info.hThread) CloseHandle(info.hThread);
    if (info.hProcess) CloseHandle(info.hProcess);
    RaiseLastOSError(error);
  }
  processInfo_ = info;

  if (console) {
    StartConsoleThreads(pipes.parentOutput.Release());
  } else if (waitForTerminate_) {
    StartWaitThread();
  } else {
    WaitForInputIdle(processInfo_.hProcess, kIdleLimit);
    state_ = psStarted;
    DWORD closeError = 0;
    if (!CloseProcessHandles(closeError)) RaiseLastOSError(closeError);
  }
}

void TSvCreateProcess::StartWaitThread() {
  TSvWaitForProcessThread* thread = nullptr;
  try {
    thread = new TSvWaitForProcessThread(processInfo_.hProcess);
  } catch (...) {
    // Nothing will wait for the child: it runs on unobserved.
    DWORD error = 0;
    CloseProcessHandles(error);
    throw;
  }
  thread->OnTerminate = [this](TObject* sender) {
    auto* ended = static_cast<TSvWaitForProcessThread*>(sender);
    if (!ended->Detached()) WaitThreadEnded(ended);
  };
  waitThread_ = thread;
  state_ = psRunning;
  thread->Start();
}

void TSvCreateProcess::StartConsoleThreads(HANDLE outputRead) {
  THandleGuard output(outputRead);
  std::unique_ptr<TSvReadThread> reader;
  std::unique_ptr<TSvWaitForProcessThread> waiter;
  try {
    reader = std::make_unique<TSvReadThread>(output.Get(), window_);
    output.Release();
    waiter = std::make_unique<TSvWaitForProcessThread>(processInfo_.hProcess);
  } catch (...) {
    DWORD error = 0;
    CloseProcessHandles(error);
    throw;
  }
  reader->OnTerminate = [this](TObject* sender) {
    if (!static_cast<TSvReadThread*>(sender)->Detached()) ReadThreadEnded();
  };
  waiter->OnTerminate = [this](TObject* sender) {
    auto* ended = static_cast<TSvWaitForProcessThread*>(sender);
    if (!ended->Detached()) ConsoleThreadEnded(ended);
  };
  readThread_ = reader.release();
  waitThread_ = waiter.release();
  state_ = psRunning;
  // Neither can end before this returns: their ends are handed to this (the GUI) thread.
  readThread_->Start();
  waitThread_->Start();
}

void TSvCreateProcess::WaitThreadEnded(TSvWaitForProcessThread* thread) {
  waitThread_ = nullptr;
  exitCode_ = thread->ExitCode();
  EndRun();
}

void TSvCreateProcess::ConsoleThreadEnded(TSvWaitForProcessThread* thread) {
  if (readThread_) readThread_->Stop();
  exitCode_ = thread->ExitCode();
  waitThread_ = nullptr;
  if (!readThread_) EndRun();
}

void TSvCreateProcess::ReadThreadEnded() {
  const auto alive = alive_.Watch();
  try {
    DrainOutput();
  } catch (...) {
    // A faulty read handler must not keep the run from ending.
    ApplicationHandleException(this);
  }
  if (!*alive) return;
  readThread_ = nullptr;
  if (!waitThread_) EndRun();
}

void TSvCreateProcess::EndRun() {
  state_ = psReady;
  DWORD error = 0;
  if (!CloseProcessHandles(error)) RaiseLastOSError(error);
  if (!OnTerminate) return;
  // A copy: a handler that frees the component frees the event with it.
  const TSvCPSTerminateEvent handler = OnTerminate;
  handler(this, exitCode_);
}

bool TSvCreateProcess::CloseProcessHandles(DWORD& error) {
  bool ok = true;
  for (HANDLE* handle : {&processInfo_.hProcess, &processInfo_.hThread}) {
    if (*handle && !CloseHandle(*handle) && ok) {
      ok = false;
      error = GetLastError();
    }
    *handle = nullptr;
  }
  return ok;
}

void TSvCreateProcess::UtilityMessage(TMessage& message) {
  if (message.Msg == kOutputMessage)
    DrainOutput();
  else
    message.Result = DefWindowProcA(window_, message.Msg, message.WParam, message.LParam);
}

void TSvCreateProcess::DrainOutput() {
  while (readThread_) {
    const std::string chunk = readThread_->TakeChunk(kChunkSize);
    if (chunk.empty()) return;
    if (!ProcessChunk(chunk)) return;
  }
}

bool TSvCreateProcess::ProcessChunk(const std::string& chunk) {
  const auto alive = alive_.Watch();
  if (OnRawRead) {
    const TSvCPSRawReadEvent handler = OnRawRead;
    handler(this, chunk);
    if (!*alive) return false;
  }
  for (char c : chunk) {
    switch (c) {
      case '\0':
      case '\a':
        PutChar(' ');
        break;
      case '\b':
        if (cursor_ > 0) --cursor_;
        break;
      case '\t':
        for (int i = 0; i < 8; ++i) PutChar(' ');
        break;
      case '\r':
        cursor_ = 0;
        break;
      case '\n':
        if (!Publish(true)) return false;
        line_.clear();
        cursor_ = 0;
        break;
      default:
        PutChar(c);
    }
  }
  // Unchanged text is not published again; an empty one would show as a line of its own.
  return !lineChanged_ || Publish(false);
}

void TSvCreateProcess::PutChar(char c) {
  if (cursor_ < line_.size())
    line_[cursor_] = c;
  else
    line_.push_back(c);
  ++cursor_;
  lineChanged_ = true;
}

bool TSvCreateProcess::Publish(bool completesLine) {
  if (!consoleOptions_.Contains(coOwnerData)) {
    TStringList& lines = *consoleOutput_;
    if (lineEnded_ || lines.Count() == 0)
      lines.Add(line_);
    else
      lines.Put(lines.Count() - 1, line_);
  }
  const bool startsOnNewLine = lineEnded_;
  lineEnded_ = completesLine;
  lineChanged_ = false;
  if (!OnRead) return true;
  const auto alive = alive_.Watch();
  const TSvCPSReadEvent handler = OnRead;
  handler(this, line_, startsOnNewLine);
  return *alive;
}

// ---- Published properties ------------------------------------------------------------------

namespace {

const TEnumInfo SvProcessPriorityInfo{"TSvProcessPriority",
                                      {"ppIdle", "ppNormal", "ppHigh", "ppRealTime"}};
const TEnumInfo SvCPSFlagInfo{"TSvCPSFlag",
                              {"cfDefaultErrorMode", "cfNewConsole", "cfNewProcGroup",
                               "cfSeparateWdm", "cfSharedWdm", "cfSuspended", "cfUnicode",
                               "cfDetached"}};
const TEnumInfo SvCPSShowWindowInfo{"TSvCPSShowWindow",
                                    {"swHide", "swMinimize", "swMaximize", "swNormal"}};
const TEnumInfo SvConsoleOptionInfo{"TSvConsoleOption", {"coRedirect", "coOwnerData"}};

std::vector<std::string> EnvironmentLines(TSvCreateProcess* process) {
  std::vector<std::string> lines;
  const TStrings* environment = process->Environment();
  for (int i = 0; i < environment->Count(); ++i) lines.push_back(environment->Strings(i));
  return lines;
}

void SetEnvironmentLines(TSvCreateProcess* process, const std::vector<std::string>& lines) {
  TStringList list;
  for (const std::string& line : lines) list.Add(line);
  process->SetEnvironment(&list);
}

}  // namespace

void SetHiddenStart(TSvCreateProcess& process) {
  TSvCPSStartupInfo* start = process.StartupInfo();
  start->SetShowWindow(swHide);
  start->SetDefaultPosition(false);
  start->SetDefaultSize(false);
  start->SetDefaultWindowState(false);
}

void RegisterSvCreateProcess() {
  using S = TSvCPSStartupInfo;
  RegisterClassInfo<S, TPersistent>("TSvCPSStartupInfo")
      .String("Desktop", &S::Desktop, &S::SetDesktop)
      .String("Title", &S::Title, &S::SetTitle)
      .Integer("Left", &S::Left, &S::SetLeft, 0)
      .Integer("Top", &S::Top, &S::SetTop, 0)
      .Boolean("DefaultPosition", &S::DefaultPosition, &S::SetDefaultPosition, true)
      .Integer("Width", &S::Width, &S::SetWidth, 0)
      .Integer("Height", &S::Height, &S::SetHeight, 0)
      .Boolean("DefaultSize", &S::DefaultSize, &S::SetDefaultSize, true)
      .Enum("ShowWindow", SvCPSShowWindowInfo, &S::ShowWindow, &S::SetShowWindow, swNormal)
      .Boolean("DefaultWindowState", &S::DefaultWindowState, &S::SetDefaultWindowState, true)
      .Boolean("ForceOnFeedback", &S::ForceOnFeedback, &S::SetForceOnFeedback, false)
      .Boolean("ForceOffFeedback", &S::ForceOffFeedback, &S::SetForceOffFeedback, false);

  using P = TSvCreateProcess;
  RegisterClassInfo<P, TComponent>("TSvCreateProcess")
      .String("ApplicationName", &P::ApplicationName, &P::SetApplicationName)
      .String("CommandLine", &P::CommandLine, &P::SetCommandLine)
      .Set("CreationFlags", SvCPSFlagInfo, &P::CreationFlags, &P::SetCreationFlags,
           TSvCPSFlags{})
      .String("CurrentDirectory", &P::CurrentDirectory, &P::SetCurrentDirectory)
      .Strings("Environment", EnvironmentLines, SetEnvironmentLines)
      .Enum("Priority", SvProcessPriorityInfo, &P::Priority, &P::SetPriority, ppNormal)
      .Object("StartupInfo", &P::StartupInfo)
      .Boolean("WaitForTerminate", &P::WaitForTerminate, &P::SetWaitForTerminate, true)
      .Set("ConsoleOptions", SvConsoleOptionInfo, &P::ConsoleOptions, &P::SetConsoleOptions,
           TSvConsoleOptions{coOwnerData})
      .Event("OnTerminate", &P::OnTerminate)
      .Event("OnRead", &P::OnRead)
      .Event("OnRawRead", &P::OnRawRead);
}
