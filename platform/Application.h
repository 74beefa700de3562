// The application object: the GUI thread's message loop, the handler of exceptions that
// nobody caught, hidden message windows and the program's message boxes.
#pragma once

#include <windows.h>

#include <exception>
#include <functional>
#include <string>

#include "platform/Classes.h"
#include "platform/Sets.h"

// One window message as a message handler sees it; the handler sets Result.
struct TMessage {
  UINT Msg;
  WPARAM WParam;
  LPARAM LParam;
  LRESULT Result;
};

using TWndMethod = std::function<void(TMessage& message)>;

class TBasicAction;
class TControl;
class THintWindow;
class TTimer;
class TForm;
using TExceptionEvent = std::function<void(TObject* sender, const std::exception& e)>;

class TApplication : public TComponent {
 public:
  explicit TApplication(TComponent* owner);
  ~TApplication() override;

  // Makes the calling thread the GUI thread and creates the application's hidden window.
  // Later calls do nothing.
  void Initialize();
  // Starts OLE on the GUI thread the first time a part of the program needs it (drag and
  // drop, the clipboard's data objects, the shell's namespace and its extensions); it ends
  // when the application object goes. The first window needs none of it, so the start does
  // not wait for it. Later calls, and calls from another thread, do nothing.
  void StartOle();

  // The title of message boxes; the program file's name without extension until set.
  std::string Title() const;
  void SetTitle(const std::string& title);
  // The application's own hidden window (0 before Initialize).
  HWND Handle() const { return handle_; }

  // The first form made with CreateForm; Run shows it, and closing it ends Run.
  TForm* MainForm() const { return mainForm_; }
  void SetMainForm(TForm* form) { mainForm_ = form; }
  // Makes a form of class T owned by the application (see Forms.h, which defines it).
  template <class T>
  void CreateForm(T*& reference);

  // Looks at every message the loop takes before it is dispatched; a hook that returns true
  // has handled it. The controls route keyboard messages through their form here.
  using TMessageHook = std::function<bool(MSG& msg)>;
  void SetPreprocessHook(TMessageHook hook) { preprocess_ = std::move(hook); }

  // Shows the main form, if there is one, and runs the message loop until Terminated.
  void Run();
  // Takes and dispatches one message, or waits for the next when there is none. An
  // exception on the way goes to HandleException; the loop never sees it.
  void HandleMessage();
  // Dispatches the messages that are waiting, then returns.
  void ProcessMessages();
  // Asks the loop to end: posts WM_QUIT, which sets Terminated when the loop takes it.
  void Terminate();
  bool Terminated() const { return terminated_; }

  // Reports the exception being handled (call it inside a catch block): EAbort is silent;
  // others go to OnException when assigned, else to ShowException.
  void HandleException(TObject* sender);
  // Error box with the exception's message, titled with Title.
  void ShowException(const std::exception& e);
  // Offers the action to the active form (the main form when none is active) and its
  // controls; true when one of them handled it.
  bool ExecuteAction(TBasicAction* action);

  // ---- Hints (Hints.cpp)
  // The hint of the control under the mouse (the nearest non-empty one up its parents).
  // Each change fires OnHint when assigned, else is offered to the active form's controls as
  // a THintAction, so that a status pane showing hints can take it.
  const std::string& Hint() const { return hint_; }
  void SetHint(const std::string& value);
  // Whether hint windows appear at all (the controls' ShowHint decides for each control).
  bool ShowHint() const { return showHint_; }
  void SetShowHint(bool value);
  // Milliseconds the mouse rests on a control before its hint shows; a hint shown while
  // another was up waits HintShortPause; a hint goes after HintHidePause.
  int HintPause() const { return hintPause_; }
  void SetHintPause(int ms) { hintPause_ = ms; }
  int HintShortPause() const { return hintShortPause_; }
  void SetHintShortPause(int ms) { hintShortPause_ = ms; }
  int HintHidePause() const { return hintHidePause_; }
  void SetHintHidePause(int ms) { hintHidePause_ = ms; }
  // Takes the hint down and forgets its control: resting on the same control again shows
  // it anew (with its Hint as it is then).
  void CancelHint();
  // The hint window, while one has been made (nullptr before the first hint).
  THintWindow* HintWindowControl() const { return hintWindow_; }
  // The controls report here every move of the mouse over them (screen point), and nullptr
  // when the mouse left them all.
  void HintMouseMessage(TControl* control, POINT screenPos);
  TNotifyEvent OnHint;

  // MessageBoxA owned by the active window; returns the button pressed.
  int MessageBox(const std::string& text, const std::string& caption, UINT flags);

  TExceptionEvent OnException;

 private:
  // Takes one message; false when none was waiting.
  bool ProcessMessage(MSG& msg);
  void Idle();
  static LRESULT CALLBACK WndProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp);

  void HintTimerFired();
  void ShowHintNow();
  void StartHintTimer(int ms);
  void StopHintTimer();
  // Keys, clicks and the end of the application's activation take a hint down.
  void CancelHintOn(const MSG& msg);

 protected:
  void Notification(TComponent* component, TOperation operation) override;

 private:
  HWND handle_ = nullptr;
  TForm* mainForm_ = nullptr;
  std::string hint_;
  bool showHint_ = true;
  int hintPause_ = 500;
  int hintShortPause_ = 50;
  int hintHidePause_ = 2500;
  TControl* hintControl_ = nullptr;
  bool hintShowing_ = false;
  THintWindow* hintWindow_ = nullptr;
  TTimer* hintTimer_ = nullptr;
  TMessageHook preprocess_;
  std::string title_;
  bool initialized_ = false;
  bool oleStarted_ = false;
  bool oleInitialized_ = false;
  bool terminated_ = false;
};

extern TApplication* Application;

// Passes the exception being handled to Application->HandleException and swallows whatever
// that raises in turn: for the places that must not let anything escape.
void ApplicationHandleException(TObject* sender) noexcept;

// Window procedures must never let a C++ exception unwind through the system's frames: the
// body runs here, whatever escapes goes to the application's handler, and the message then
// answers failResult.
template <typename Body>
LRESULT GuardWndProc(TObject* sender, Body&& body, LRESULT failResult = 0) noexcept {
  try {
    return body();
  } catch (...) {
    ApplicationHandleException(sender);
    return failResult;
  }
}

// A hidden window whose messages all go to `method`, which passes on to DefWindowProcA
// whatever it does not handle itself. Raises EOSError when the window cannot be made.
// A message-only window costs far less to make, but sees no broadcasts (WM_DEVICECHANGE,
// WM_SETTINGCHANGE...): it suits what only takes its own messages, such as timers.
HWND AllocateHWnd(TWndMethod method, bool messageOnly = false);
// Frees a window made by AllocateHWnd, or one given a method by SetWndMethod, and its method.
void DeallocateHWnd(HWND wnd);
// Makes a window of this thread that has no method yet hand every message to `method` as
// AllocateHWnd's windows do; the method goes with the window. For windows that must be of a
// class of their own.
void SetWndMethod(HWND wnd, TWndMethod method);

enum TMsgDlgType { mtWarning, mtError, mtInformation, mtConfirmation, mtCustom };
enum TMsgDlgBtn { mbYes, mbNo, mbOK, mbCancel };
using TMsgDlgButtons = TSet<TMsgDlgBtn>;

// Message box titled with the application's title; returns the button pressed (IDOK, IDYES,
// IDNO, IDCANCEL). Buttons: OK, OK and Cancel, Yes and No, or Yes, No and Cancel.
int MessageDlg(const std::string& text, TMsgDlgType type, TMsgDlgButtons buttons);
// Information box with an OK button.
void ShowMessage(const std::string& text);
