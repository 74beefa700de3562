#include "platform/Hints.h"

#include <algorithm>

#include "platform/Forms.h"
#include "platform/Guards.h"
#include "platform/Timer.h"

namespace {

// The hint sits this far below the mouse's hot spot, clear of the pointer.
constexpr int kBelowCursor = 20;
constexpr int kMaxHintWidth = 300;

// The control whose hint shows for `control`: the nearest one up the parents that shows
// hints, and only when it (or a parent) has a hint to show.
TControl* HintControlOf(TControl* control) {
  TControl* c = control;
  while (c && !c->ShowHint()) c = c->Parent();
  return c;
}

// The nearest non-empty hint from `control` up its parents.
std::string HintOf(TControl* control) {
  for (TControl* c = control; c; c = c->Parent())
    if (!c->Hint().empty()) return c->Hint();
  return std::string();
}

bool ContainsOrIs(TControl* outer, TControl* inner) {
  for (TControl* c = inner; c; c = c->Parent())
    if (c == outer) return true;
  return false;
}

}  // namespace

// ---- THintWindow ------------------------------------------------------------------------------

THintWindow::THintWindow(TComponent* owner) : TCustomControl(owner) {
  SetVisible(false);
  SetColor(clInfoBk);
  Font()->SetColor(clInfoText);
}

void THintWindow::CreateParams(TCreateParams& params) {
  TCustomControl::CreateParams(params);
  params.Style = WS_POPUP | WS_BORDER;
  params.ExStyle = WS_EX_TOOLWINDOW | WS_EX_TOPMOST | WS_EX_NOACTIVATE;
  params.WindowClass.style |= CS_SAVEBITS;
  params.WndParent = Application->Handle();
}

RECT THintWindow::CalcHintRect(int maxWidth, const std::string& text) {
  RECT r{0, 0, maxWidth, 0};
  {
    TWindowDC screen(nullptr);
    TCanvasBinding binding(Canvas(), screen);
    Canvas()->Font()->Assign(Font());
    DrawTextA(Canvas()->Handle(), text.c_str(), -1, &r, DT_CALCRECT | DT_LEFT | DT_WORDBREAK | DT_NOPREFIX);
  }
  // Room for the border and a margin around the text.
  r.right += 6;
  r.bottom += 4;
  return r;
}

void THintWindow::ActivateHint(const RECT& rect, const std::string& text) {
  SetCaption(text);
  SetBounds(rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top);
  SetWindowPos(Handle(), HWND_TOPMOST, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top,
               SWP_NOACTIVATE);
  SetVisible(true);
  Invalidate();
}

void THintWindow::ReleaseHint() { SetVisible(false); }

void THintWindow::Paint() {
  RECT r = ClientRect();
  Canvas()->Brush()->SetColor(Color());
  Canvas()->FillRect(r);
  Canvas()->Font()->Assign(Font());
  Canvas()->Brush()->SetStyle(bsClear);
  InflateRect(&r, -2, -1);
  std::string text = Caption();
  DrawTextA(Canvas()->Handle(), text.c_str(), -1, &r, DT_LEFT | DT_WORDBREAK | DT_NOPREFIX);
}

void RegisterHints() { RegisterControls(); }

// ---- The application's hints ------------------------------------------------------------------

void TApplication::SetHint(const std::string& value) {
  if (value == hint_) return;
  hint_ = value;
  if (OnHint) {
    OnHint(this);
    return;
  }
  THintAction action;
  action.SetHint(value);
  ExecuteAction(&action);
}

void TApplication::SetShowHint(bool value) {
  if (value == showHint_) return;
  showHint_ = value;
  if (!value) CancelHint();
}

void TApplication::HintMouseMessage(TControl* control, POINT) {
  SetHint(HintOf(control));
  TControl* target = showHint_ ? HintControlOf(control) : nullptr;
  if (target && HintOf(target).empty()) target = nullptr;
  if (target == hintControl_) return;
  bool wasShowing = hintShowing_;
  CancelHint();
  if (!target) return;
  hintControl_ = target;
  hintControl_->FreeNotification(this);
  StartHintTimer(wasShowing ? hintShortPause_ : hintPause_);
}

void TApplication::CancelHint() {
  StopHintTimer();
  if (hintShowing_ && hintWindow_) hintWindow_->ReleaseHint();
  hintShowing_ = false;
  if (hintControl_) hintControl_->RemoveFreeNotification(this);
  hintControl_ = nullptr;
}

void TApplication::StartHintTimer(int ms) {
  if (!hintTimer_) {
    hintTimer_ = new TTimer(this);
    hintTimer_->OnTimer = [this](TObject*) { HintTimerFired(); };
  }
  hintTimer_->SetEnabled(false);
  hintTimer_->SetInterval(static_cast<unsigned>(std::max(1, ms)));
  hintTimer_->SetEnabled(true);
}

void TApplication::StopHintTimer() {
  if (hintTimer_) hintTimer_->SetEnabled(false);
}

void TApplication::HintTimerFired() {
  StopHintTimer();
  if (hintShowing_) {
    // The hint has been up long enough; it stays down until the mouse finds another control.
    hintWindow_->ReleaseHint();
    hintShowing_ = false;
    return;
  }
  if (hintControl_ && ContainsOrIs(hintControl_, MouseControl())) ShowHintNow();
}

void TApplication::ShowHintNow() {
  std::string text = HintOf(hintControl_);
  if (text.empty()) return;
  if (!hintWindow_) hintWindow_ = new THintWindow(this);
  POINT cursor{};
  GetCursorPos(&cursor);
  RECT r = hintWindow_->CalcHintRect(kMaxHintWidth, text);
  OffsetRect(&r, cursor.x, cursor.y + kBelowCursor);
  // Kept on the monitor's work area.
  MONITORINFO info{};
  info.cbSize = sizeof info;
  if (GetMonitorInfoA(MonitorFromPoint(cursor, MONITOR_DEFAULTTONEAREST), &info)) {
    const RECT& work = info.rcWork;
    if (r.right > work.right) OffsetRect(&r, work.right - r.right, 0);
    if (r.left < work.left) OffsetRect(&r, work.left - r.left, 0);
    if (r.bottom > work.bottom) OffsetRect(&r, 0, cursor.y - (r.bottom - r.top) - 4 - r.top);
  }
  hintWindow_->ActivateHint(r, text);
  hintShowing_ = true;
  StartHintTimer(hintHidePause_);
}

void TApplication::CancelHintOn(const MSG& msg) {
  if (!hintControl_) return;
  switch (msg.message) {
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
    case WM_NCLBUTTONDOWN:
    case WM_NCRBUTTONDOWN:
    case WM_ACTIVATEAPP: CancelHint(); break;
    default: break;
  }
}

void TApplication::Notification(TComponent* component, TOperation operation) {
  TComponent::Notification(component, operation);
  if (operation != opRemove) return;
  if (component == hintControl_) {
    hintControl_ = nullptr;
    CancelHint();
  }
  if (component == hintWindow_) hintWindow_ = nullptr, hintShowing_ = false;
  if (component == hintTimer_) hintTimer_ = nullptr;
}
