// What the button tests share: a shown form to put controls on, keys pressed on the focused
// window, and the mouse pressed, moved and released in steps over a control.
#pragma once

#include <windows.h>

#include <algorithm>
#include <memory>
#include <string>

#include "ControlTestSupport.h"
#include "ControlsTestSupport.h"
#include "platform/Forms.h"

// The bitmap's pixel as plain RGB, and the bitmap filled with one colour: the shared pixel
// helpers under the short names these tests use.

// A form shown for one test, at the top-left of the screen, and its controls with it.
inline std::unique_ptr<TForm> ShownForm(int clientWidth = 320, int clientHeight = 200) {
  RegisterControlLibrary();
  std::unique_ptr<TForm> form(TForm::CreateNew<TForm>(nullptr));
  form->SetBounds(40, 40, 100, 100);
  form->SetFormClientWidth(clientWidth);
  form->SetFormClientHeight(clientHeight);
  form->SetColor(clBtnFace);
  form->Show();
  SetForegroundWindow(form->Handle());
  Pump(5);
  return form;
}

// A key pressed and released on the focused window, through the application's loop.
inline void Key(WORD vk) {
  HWND focus = GetFocus();
  PostMessageA(focus, WM_KEYDOWN, vk, 1);
  PostMessageA(focus, WM_KEYUP, vk, static_cast<LPARAM>(0xC0000001));
  Pump();
}

inline void KeyDown(WORD vk) {
  PostMessageA(GetFocus(), WM_KEYDOWN, vk, 1);
  Pump();
}

inline void KeyUp(WORD vk) {
  PostMessageA(GetFocus(), WM_KEYUP, vk, static_cast<LPARAM>(0xC0000001));
  Pump();
}

// One step of a press, a drag or a release at (x, y) of the control (which may lie outside
// it), sent to the window under it; the real cursor does not move.
inline LRESULT MouseStep(TControl* control, UINT msg, int x, int y) {
  HWND wnd = MouseTarget(control, x, y);
  WPARAM keys = msg == WM_LBUTTONUP ? 0 : MK_LBUTTON;
  return SendMessageA(wnd, msg, keys, MAKELPARAM(static_cast<WORD>(x), static_cast<WORD>(y)));
}

// "(left, top, right, bottom)", for comparing rectangles in checks.
inline std::string RectText(const RECT& r) {
  return Format("(%ld, %ld, %ld, %ld)", static_cast<long>(r.left), static_cast<long>(r.top),
                static_cast<long>(r.right), static_cast<long>(r.bottom));
}
