// Forms: the program's top-level windows, built from their stored layouts, shown plain or
// modal; and the screen: cursors, monitors and the forms that exist.
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/Application.h"
#include "platform/Controls.h"
#include "platform/StartupTrace.h"

enum TBorderIcon { biSystemMenu, biMinimize, biMaximize, biHelp };
using TBorderIcons = TSet<TBorderIcon>;
enum TPosition { poDesigned, poScreenCenter, poMainFormCenter, poOwnerFormCenter };
// fsNormal and fsStayOnTop do not clash with the font styles or the frame styles.
enum TFormStyle { fsNormal, fsStayOnTop };
enum TWindowState { wsNormal, wsMinimized, wsMaximized };
enum TCloseAction { caNone, caHide, caFree, caMinimize };

// The button a modal form was closed with.
using TModalResult = int;
constexpr TModalResult mrNone = 0;
constexpr TModalResult mrOk = IDOK;
constexpr TModalResult mrCancel = IDCANCEL;
constexpr TModalResult mrAbort = IDABORT;
constexpr TModalResult mrRetry = IDRETRY;
constexpr TModalResult mrIgnore = IDIGNORE;
constexpr TModalResult mrYes = IDYES;
constexpr TModalResult mrNo = IDNO;
constexpr TModalResult mrAll = mrNo + 1;
constexpr TModalResult mrNoToAll = mrAll + 1;
constexpr TModalResult mrYesToAll = mrNoToAll + 1;

using TCloseEvent = std::function<void(TObject* sender, TCloseAction& action)>;
using TCloseQueryEvent = std::function<void(TObject* sender, bool& canClose)>;

class TForm : public TWinControl {
  MESSAGE_TABLE(TWinControl)

 public:
  explicit TForm(TComponent* owner);
  ~TForm() override;

  // A form of class T owned by `owner`, built from its stored layout, with OnCreate fired.
  template <class T>
  static T* Create(TComponent* owner);
  // The same without a layout: a form whose controls are made in code.
  template <class T>
  static T* CreateNew(TComponent* owner);
  // The second step of creation, after the constructors: reads the layout (the RCDATA
  // resource named after the registered class, "TFORM1" for TForm1) unless `readLayout` is
  // false or the class is TForm itself, fires OnCreate, and shows the form when the layout
  // made it visible. A failure leaves the form without the layout's components.
  void AfterConstruction(bool readLayout = true);
  // Fires OnDestroy once. The destructor calls it, but a derived form's own members are gone
  // by then: a derived form whose handler uses them calls it first in its own destructor.
  void BeforeDestruction();

  // ---- Showing and closing
  void Show();
  void Hide();
  // Asks OnCloseQuery, then OnClose decides: hide (the default), free, minimise or nothing.
  // The application's main form ends the message loop instead; a modal form ends its loop
  // with mrCancel.
  void Close();
  bool CloseQuery();
  // Shows the form with every other window of the program disabled and runs messages until
  // ModalResult is set (by a button or by Close); returns it. While the messages run the
  // screen shows the default cursor; the screen cursor from before is put back afterwards.
  TModalResult ShowModal();
  // Frees the form once the messages waiting for it have been handled.
  void Release();
  TModalResult ModalResult() const { return modalResult_; }
  void SetModalResult(TModalResult value) { modalResult_ = value; }
  bool Modal() const { return modal_; }

  // ---- Focus
  // The window is the active one.
  bool Active() const { return active_; }
  TWinControl* ActiveControl() const { return activeControl_; }
  // Raises EInvalidOperation when the control cannot take the focus.
  void SetActiveControl(TWinControl* control);
  void FocusControl(TWinControl* control);
  void SetFocus() override;
  bool CanFocus() const override;
  // Called when `control` got the focus: sends CM_EXIT and CM_ENTER along the way from the
  // control that had it, and CM_FOCUSCHANGED to the form. False when a handler moved the
  // focus elsewhere meanwhile.
  bool SetFocusedControl(TWinControl* control);
  // `control` is going away or can no longer take the focus.
  void DefocusControl(TWinControl* control, bool removing);

  // ---- Properties
  TFormBorderStyle BorderStyle() const { return borderStyle_; }
  void SetBorderStyle(TFormBorderStyle value);
  TBorderIcons BorderIcons() const { return borderIcons_; }
  void SetBorderIcons(TBorderIcons value);
  TPosition Position() const { return position_; }
  void SetPosition(TPosition value) { position_ = value; }
  TFormStyle FormStyle() const { return formStyle_; }
  void SetFormStyle(TFormStyle value);
  TWindowState WindowState() const { return windowState_; }
  void SetWindowState(TWindowState value);
  // Keys reach the form's OnKeyDown, OnKeyUp and OnKeyPress before the focused control's.
  bool KeyPreview() const { return keyPreview_; }
  void SetKeyPreview(bool value) { keyPreview_ = value; }

  // The client size is what a layout stores for a form: the borders a window gets are only
  // known once it exists, so a size asked for before is applied again then.
  void SetFormClientWidth(int value);
  void SetFormClientHeight(int value);
  void SetBounds(int left, int top, int width, int height) override;

  void SetVisible(bool value) override;
  void Loaded() override;

  TNotifyEvent OnCreate;
  TNotifyEvent OnDestroy;
  TNotifyEvent OnShow;
  TNotifyEvent OnHide;
  TCloseEvent OnClose;
  TCloseQueryEvent OnCloseQuery;
  TNotifyEvent OnActivate;
  TNotifyEvent OnDeactivate;

 protected:
  void CreateParams(TCreateParams& params) override;
  void CreateWnd() override;
  virtual void DoCreate();
  virtual void DoDestroy();
  virtual void DoShow();
  virtual void DoHide();
  virtual void DoClose(TCloseAction& action);
  virtual void Activate();
  virtual void Deactivate();

  void WMClose(TMessage& m);
  void WMActivate(TWMActivate& m);
  void WMGetMinMaxInfo(TWMObject<MINMAXINFO>& m);
  void WMSize(TWMSize& m);
  void CMActivate(TMessage& m);
  void CMDeactivate(TMessage& m);
  void CMDialogKey(TWMKey& m);

 private:
  friend class TWinControl;
  void SetActive(bool value);
  void ApplyRequestedClientSize();
  void SetWindowFocus();
  void PlaceOnShow();
  void CloseModal();
  int ShowCommand() const;

  TFormBorderStyle borderStyle_ = bsSizeable;
  TBorderIcons borderIcons_{biSystemMenu, biMinimize, biMaximize};
  TPosition position_ = poDesigned;
  TFormStyle formStyle_ = fsNormal;
  TWindowState windowState_ = wsNormal;
  bool keyPreview_ = false;
  bool active_ = false;
  bool modal_ = false;
  bool destroyFired_ = false;
  TModalResult modalResult_ = mrNone;
  TWinControl* activeControl_ = nullptr;
  TWinControl* focusedControl_ = nullptr;
  int requestedClientWidth_ = 0;
  int requestedClientHeight_ = 0;
  bool settingClientSize_ = false;
};

template <class T>
T* TForm::Create(TComponent* owner) {
  T* form = new T(owner);
  try {
    form->AfterConstruction(true);
  } catch (...) {
    delete form;
    throw;
  }
  return form;
}

template <class T>
T* TForm::CreateNew(TComponent* owner) {
  T* form = new T(owner);
  try {
    form->AfterConstruction(false);
  } catch (...) {
    delete form;
    throw;
  }
  return form;
}

// The reference is set before the form's OnCreate runs, so that a handler can reach the form
// through it; the first form made so becomes the main form.
template <class T>
void TApplication::CreateForm(T*& reference) {
  T* form = new T(this);
  reference = form;
  try {
    form->AfterConstruction(true);
  } catch (...) {
    reference = nullptr;
    delete form;
    throw;
  }
  if (!MainForm()) {
    SetMainForm(form);
    form->HandleNeeded();
    TraceStartup("main window's windows made");
  }
}

// ---- Screen --------------------------------------------------------------------------------

class TMonitor {
 public:
  explicit TMonitor(HMONITOR handle, int number) : handle_(handle), number_(number) {}
  HMONITOR Handle() const { return handle_; }
  int MonitorNum() const { return number_; }
  RECT BoundsRect() const;
  RECT WorkareaRect() const;
  int Left() const { return BoundsRect().left; }
  int Top() const { return BoundsRect().top; }
  int Width() const;
  int Height() const;
  bool Primary() const;

 private:
  HMONITOR handle_;
  int number_;
};

class TScreen : public TComponent {
 public:
  explicit TScreen(TComponent* owner);
  ~TScreen() override;

  // The cursor shown over every window of the program; crDefault lets each control show its
  // own again.
  TCursor Cursor() const { return cursor_; }
  void SetCursor(TCursor value);
  // The cursor of a number: the system's for the negative ones, the program's own as set.
  HCURSOR Cursors(TCursor index) const;
  // Sets the program's cursor `index`; the screen does not destroy it.
  void SetCursors(TCursor index, HCURSOR cursor);
  // Loads the program's cursor resource `name` as cursor `index` (the screen keeps and
  // destroys it); raises EResNotFound.
  void LoadCursorResource(TCursor index, const std::string& name, HINSTANCE instance = nullptr);

  int Width() const { return GetSystemMetrics(SM_CXSCREEN); }
  int Height() const { return GetSystemMetrics(SM_CYSCREEN); }
  // The primary monitor's area without the task bar.
  RECT WorkAreaRect() const;

  int MonitorCount();
  TMonitor* Monitors(int index);
  TMonitor* MonitorFromWindow(HWND window);
  TMonitor* MonitorFromPoint(POINT point);

  // The form that has (or last had) the focus, and its focused control.
  TForm* ActiveForm() const { return activeForm_; }
  TWinControl* ActiveControl() const { return activeControl_; }
  int FormCount() const { return static_cast<int>(forms_.size()); }
  TForm* Forms(int index) const;

 private:
  friend class TForm;
  void RefreshMonitors();
  TMonitor* FindMonitor(HMONITOR handle);

  TCursor cursor_ = crDefault;
  std::vector<std::pair<TCursor, HCURSOR>> cursors_;
  std::vector<TCursorHandle> ownedCursors_;
  std::vector<std::unique_ptr<TMonitor>> monitors_;
  std::vector<TForm*> forms_;
  TForm* activeForm_ = nullptr;
  TWinControl* activeControl_ = nullptr;
  TForm* focusedForm_ = nullptr;
};

extern TScreen* Screen;

// Shows `cursor` over the program while it exists and puts the one before back when it goes,
// however the block is left.
class TTemporaryCursor {
 public:
  explicit TTemporaryCursor(TCursor cursor) : saved_(Screen->Cursor()) { Screen->SetCursor(cursor); }
  ~TTemporaryCursor() { Screen->SetCursor(saved_); }
  TTemporaryCursor(const TTemporaryCursor&) = delete;
  TTemporaryCursor& operator=(const TTemporaryCursor&) = delete;

 private:
  TCursor saved_;
};

// Registers TForm and everything RegisterControls registers. Once is enough.
void RegisterForms();
