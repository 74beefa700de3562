#include "platform/Application.h"

#include <ole2.h>

#include <memory>

#include "platform/Forms.h"
#include "platform/StartupTrace.h"
#include "platform/Thread.h"

namespace {

TApplication theApplication(nullptr);

const char kAppWindowClass[] = "TApplication";
const char kUtilWindowClass[] = "TPUtilWindow";

std::string ProgramBaseName() {
  char path[MAX_PATH] = {};
  DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string name(path, n);
  size_t slash = name.find_last_of("\\/:");
  if (slash != std::string::npos) name.erase(0, slash + 1);
  size_t dot = name.rfind('.');
  if (dot != std::string::npos) name.erase(dot);
  return name;
}

// The callable of a window made by AllocateHWnd. Shared so that a message that frees the
// window while its method runs does not pull the method out from under itself.
using TWndMethodRef = std::shared_ptr<TWndMethod>;

LRESULT CALLBACK UtilWndProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
  auto* slot = reinterpret_cast<TWndMethodRef*>(GetWindowLongPtrA(wnd, GWLP_USERDATA));
  if (!slot) return DefWindowProcA(wnd, msg, wp, lp);
  if (msg == WM_NCDESTROY) {
    // Destroyed without DeallocateHWnd (by its thread's end, say): the method goes with it.
    SetWindowLongPtrA(wnd, GWLP_USERDATA, 0);
    delete slot;
    return DefWindowProcA(wnd, msg, wp, lp);
  }
  TWndMethodRef method = *slot;
  return GuardWndProc(nullptr, [&]() -> LRESULT {
    TMessage m{msg, wp, lp, 0};
    (*method)(m);
    return m.Result;
  });
}

void RegisterUtilClass() {
  WNDCLASSA wc{};
  HINSTANCE instance = GetModuleHandleA(nullptr);
  if (GetClassInfoA(instance, kUtilWindowClass, &wc)) return;
  wc.lpfnWndProc = UtilWndProc;
  wc.hInstance = instance;
  wc.lpszClassName = kUtilWindowClass;
  RegisterClassA(&wc);
}

}  // namespace

TApplication* Application = &theApplication;

TApplication::TApplication(TComponent* owner) : TComponent(owner) {}

TApplication::~TApplication() {
  Destroying();
  DestroyComponents();
  if (handle_) DestroyWindow(handle_);
  if (oleInitialized_) OleUninitialize();
}

void TApplication::Initialize() {
  if (initialized_) return;
  initialized_ = true;
  InitThreadSynchronization();
  HINSTANCE instance = GetModuleHandleA(nullptr);
  WNDCLASSA wc{};
  if (!GetClassInfoA(instance, kAppWindowClass, &wc)) {
    wc.lpfnWndProc = WndProc;
    wc.hInstance = instance;
    wc.lpszClassName = kAppWindowClass;
    RegisterClassA(&wc);
  }
  // Never shown: it stands for the program as a whole, owns nothing on screen yet, and a
  // caption keeps the title where the system looks for a program's name.
  handle_ = CreateWindowExA(0, kAppWindowClass, Title().c_str(),
                            WS_POPUP | WS_CAPTION | WS_CLIPSIBLINGS | WS_SYSMENU | WS_MINIMIZEBOX,
                            0, 0, 0, 0, nullptr, nullptr, instance, nullptr);
  TraceStartup("application object");
}

void TApplication::StartOle() {
  if (oleStarted_ || GetCurrentThreadId() != MainThreadID()) return;
  oleStarted_ = true;
  // OLE rather than plain COM: drag and drop and the clipboard's data objects need it on the
  // GUI thread. A thread already in another apartment keeps it (and is not uninitialised).
  oleInitialized_ = SUCCEEDED(OleInitialize(nullptr));
  TraceStartup("OLE");
}

LRESULT CALLBACK TApplication::WndProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
  return GuardWndProc(Application, [&]() -> LRESULT {
    // The application's window is a top-level window, so the system tells it.
    if (msg == WM_DISPLAYCHANGE) DisplayChanged();
    return DefWindowProcA(wnd, msg, wp, lp);
  });
}

std::string TApplication::Title() const { return title_.empty() ? ProgramBaseName() : title_; }

void TApplication::SetTitle(const std::string& title) {
  title_ = title;
  if (handle_) SetWindowTextA(handle_, Title().c_str());
}

bool TApplication::ProcessMessage(MSG& msg) {
  if (!PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) return false;
  if (msg.message == WM_QUIT) {
    terminated_ = true;
    return true;
  }
  CancelHintOn(msg);
  if (!preprocess_ || !preprocess_(msg)) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  return true;
}

void TApplication::Idle() {
  // Nothing waits, so every window shown so far has been painted.
  static bool painted = false;
  if (!painted && mainForm_ && mainForm_->Visible()) {
    painted = true;
    TraceStartup("first paint");
  }
  if (GetCurrentThreadId() == MainThreadID()) CheckSynchronize();
  WaitMessage();
}

void TApplication::HandleMessage() {
  try {
    MSG msg;
    if (!ProcessMessage(msg)) Idle();
  } catch (...) {
    ApplicationHandleException(this);
  }
}

void TApplication::Run() {
  if (mainForm_) {
    try {
      mainForm_->Show();
    } catch (...) {
      ApplicationHandleException(this);
    }
    TraceStartup("main window shown");
  }
  while (!terminated_) HandleMessage();
}

void TApplication::ProcessMessages() {
  MSG msg;
  while (ProcessMessage(msg)) {
  }
}

void TApplication::Terminate() { PostQuitMessage(0); }

void TApplication::HandleException(TObject* sender) {
  std::exception_ptr current = std::current_exception();
  if (!current) return;
  try {
    std::rethrow_exception(current);
  } catch (const EAbort&) {
  } catch (const std::exception& e) {
    if (OnException)
      OnException(sender, e);
    else
      ShowException(e);
  } catch (...) {
    Exception unknown("Unknown exception");
    if (OnException)
      OnException(sender, unknown);
    else
      ShowException(unknown);
  }
}

void TApplication::ShowException(const std::exception& e) {
  MessageBox(e.what(), Title(), MB_OK | MB_ICONERROR);
}

bool TApplication::ExecuteAction(TBasicAction* action) {
  TForm* form = Screen->ActiveForm() ? Screen->ActiveForm() : mainForm_;
  return action && form && form->Perform(CM_ACTIONEXECUTE, 0, reinterpret_cast<LPARAM>(action)) != 0;
}

int TApplication::MessageBox(const std::string& text, const std::string& caption, UINT flags) {
  return ::MessageBoxA(GetActiveWindow(), text.c_str(), caption.c_str(), flags);
}

void ApplicationHandleException(TObject* sender) noexcept {
  try {
    Application->HandleException(sender);
  } catch (...) {
    // The handler itself failed; there is nobody left to tell.
  }
}

HWND AllocateHWnd(TWndMethod method, bool messageOnly) {
  RegisterUtilClass();
  HWND wnd = CreateWindowExA(WS_EX_TOOLWINDOW, kUtilWindowClass, "", WS_POPUP, 0, 0, 0, 0,
                             messageOnly ? HWND_MESSAGE : nullptr, nullptr,
                             GetModuleHandleA(nullptr), nullptr);
  if (!wnd) RaiseLastOSError();
  if (method) SetWndMethod(wnd, std::move(method));
  return wnd;
}

void SetWndMethod(HWND wnd, TWndMethod method) {
  auto* slot = new TWndMethodRef(std::make_shared<TWndMethod>(std::move(method)));
  SetWindowLongPtrA(wnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(slot));
  if (reinterpret_cast<WNDPROC>(GetWindowLongPtrA(wnd, GWLP_WNDPROC)) != UtilWndProc)
    SetWindowLongPtrA(wnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(UtilWndProc));
}

void DeallocateHWnd(HWND wnd) {
  if (!wnd) return;
  auto* slot = reinterpret_cast<TWndMethodRef*>(GetWindowLongPtrA(wnd, GWLP_USERDATA));
  SetWindowLongPtrA(wnd, GWLP_USERDATA, 0);
  DestroyWindow(wnd);
  delete slot;
}

int MessageDlg(const std::string& text, TMsgDlgType type, TMsgDlgButtons buttons) {
  UINT flags = 0;
  switch (type) {
    case mtWarning: flags = MB_ICONWARNING; break;
    case mtError: flags = MB_ICONERROR; break;
    case mtInformation: flags = MB_ICONINFORMATION; break;
    case mtConfirmation: flags = MB_ICONQUESTION; break;
    case mtCustom: break;
  }
  if (buttons.Contains(mbYes) || buttons.Contains(mbNo))
    flags |= buttons.Contains(mbCancel) ? MB_YESNOCANCEL : MB_YESNO;
  else
    flags |= buttons.Contains(mbCancel) ? MB_OKCANCEL : MB_OK;
  return Application->MessageBox(text, Application->Title(), flags);
}

void ShowMessage(const std::string& text) { MessageDlg(text, mtInformation, {mbOK}); }
