// What the tests of the program's dialogs share: the program's settings on a key of the test's
// own, errors that reach the application recorded instead of shown, a modal dialog driven from
// inside its own loop, and pictures of whole windows.
#pragma once

#include <gtest/gtest.h>

#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "ControlTestSupport.h"
#include "app/SettingsStore.h"
#include "app/SettingsTestSupport.h"
#include "controls/ControlsTestSupport.h"
#include "platform/Application.h"
#include "platform/Forms.h"
#include "platform/Graphics.h"
#include "platform/Guards.h"
#include "platform/Timer.h"

class DialogTest : public testing::Test {
 protected:
  void SetUp() override {
    Store = Key.Store();
    ProgramSettings = Store.get();
    Application->OnException = [this](TObject*, const std::exception& e) { Errors.push_back(e.what()); };
  }
  void TearDown() override {
    Application->OnException = nullptr;
    ProgramSettings = nullptr;
  }

  TTestSettingsKey Key;
  std::unique_ptr<TSettingsStore> Store;
  // The messages of the errors that reached the application's error box.
  std::vector<std::string> Errors;
};

// Shows `form` modally and runs `user` from inside its loop, as a user would act on it; a
// form that `user` left open (a failed check) is closed, so that the test goes on.
inline TModalResult ShowModalWhile(TForm* form, const std::function<void()>& user) {
  TTimer timer(nullptr);
  timer.SetInterval(20);
  timer.OnTimer = [&](TObject*) {
    timer.SetEnabled(false);
    SetForegroundWindow(form->Handle());
    Pump();
    user();
    if (form->Modal() && form->ModalResult() == mrNone) form->Close();
  };
  return form->ShowModal();
}

// A key pressed and released in the window that has the focus.
inline void PressKey(WORD key) {
  HWND focus = GetFocus();
  PostMessageA(focus, WM_KEYDOWN, key, 1);
  PostMessageA(focus, WM_KEYUP, key, static_cast<LPARAM>(0xC0000001));
  Pump();
}

// The shown window as the screen has it, frame and caption included.
inline void PictureWindow(TForm* form, TBitmap& picture) {
  form->Update();
  Pump(10);
  RECT r;
  GetWindowRect(form->Handle(), &r);
  picture.SetSize(r.right - r.left, r.bottom - r.top);
  TWindowDC window(form->Handle(), true);
  BitBlt(picture.Canvas()->Handle(), 0, 0, picture.Width(), picture.Height(), window, 0, 0, SRCCOPY);
}
