// What the tests of windows and controls share: a short message pump, the mouse moved and
// clicked over a control (in code, or for real through RealInput.h), controls placed on a
// parent or on a test's own form, a popup menu that records instead of showing, a real one
// closed as the user closes it, and pixels read from bitmaps a control painted.
#pragma once

#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <atomic>
#include <functional>
#include <memory>
#include <thread>
#include <vector>

#include "platform/Controls.h"
#include "platform/Forms.h"
#include "platform/Graphics.h"
#include "platform/Guards.h"
#include "platform/Menus.h"
#include "platform/Themes.h"
#include "RealInput.h"
#include "TestSupport.h"

// Runs the messages that are waiting, a few rounds with short pauses between.
inline void Pump(int rounds = 3) {
  for (int i = 0; i < rounds; ++i) {
    Application->ProcessMessages();
    Sleep(5);
  }
}

// The window that receives the mouse over `control` at (x, y), and the point moved into its
// client area.
inline HWND MouseTarget(TControl* control, int& x, int& y) {
  TControl* c = control;
  while (!dynamic_cast<TWinControl*>(c)) {
    x += c->Left();
    y += c->Top();
    c = c->Parent();
  }
  return static_cast<TWinControl*>(c)->Handle();
}

// A mouse move over the control at (x, y); the real cursor goes there too, so that the
// window's leave tracking agrees.
inline void MouseMoveTo(TControl* control, int x, int y) {
  POINT screen = control->ClientToScreen(POINT{x, y});
  SetCursorPos(screen.x, screen.y);
  HWND wnd = MouseTarget(control, x, y);
  SendMessageA(wnd, WM_MOUSEMOVE, 0, MAKELPARAM(x, y));
}

// A left press and release at (x, y), sent to the window under it.
inline void MouseClick(TControl* control, int x, int y) {
  MouseMoveTo(control, x, y);
  HWND wnd = MouseTarget(control, x, y);
  SendMessageA(wnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
  SendMessageA(wnd, WM_LBUTTONUP, 0, MAKELPARAM(x, y));
}

// A click through the system's input, which a disabled window never receives; (x, y) in the
// control's client coordinates.
inline void RealClick(TControl* control, int x, int y, TMouseButton button = mbLeft) {
  RealClick(control->ClientToScreen(POINT{x, y}), button);
}
inline void RealDoubleClick(TControl* control, POINT at) { RealDoubleClick(control->ClientToScreen(at)); }

// A new control of class T, owned by and placed on `parent`.
template <class T>
T* Put(TWinControl* parent, int left, int top, int width, int height) {
  auto* c = new T(parent);
  c->SetParent(parent);
  c->SetBounds(left, top, width, height);
  return c;
}

// A shown form of each test's own to put controls on; the visual styles go back to the
// system's afterwards. A derived fixture registers its classes before calling SetUp.
class ShownFormTest : public testing::Test {
 protected:
  void SetUp() override {
    form_.reset(TForm::CreateNew<TForm>(nullptr));
    form_->SetBounds(60, 60, 560, 400);
    form_->Show();
    SetForegroundWindow(form_->Handle());
    Pump();
  }
  void TearDown() override {
    form_.reset();
    SetVisualStyles(TVisualStyles::vsSystem);
  }
  template <class T>
  T* Make(int left, int top, int width, int height) {
    return Put<T>(form_.get(), left, top, width, height);
  }
  std::unique_ptr<TForm> form_;
};

// A popup menu that notes where it was asked to show instead of showing; `whileShown` stands
// for what the user chooses in it.
class TRecordingMenu : public TPopupMenu {
 public:
  using TPopupMenu::TPopupMenu;
  std::vector<POINT> shown;
  std::function<void()> whileShown;
  void Popup(int x, int y) override {
    shown.push_back(POINT{x, y});
    if (whileShown) whileShown();
  }
};

// What the user saw of a popup menu: whether one showed, and its items' command numbers.
struct TShownMenu {
  bool shown = false;
  std::vector<UINT> ids;
};

// Runs `open` (a click or key on the GUI thread that may pop up a menu) while the user watches
// from another thread: the menu that shows is noted and closed with Escape. A menu shows inside
// the handling of the input, so one that has not shown `ms` after `open` returns never will.
inline TShownMenu CloseNextPopupMenu(const std::function<void()>& open, DWORD ms = 1000) {
  TShownMenu seen;
  std::atomic<bool> shown{false}, stop{false};
  std::thread user([&] {
    while (!stop) {
      HWND menu = FindWindowA("#32768", nullptr);
      if (menu && IsWindowVisible(menu)) {
        auto handle = reinterpret_cast<HMENU>(SendMessageA(menu, MN_GETHMENU, 0, 0));
        for (int n = 0, count = GetMenuItemCount(handle); n < count; ++n) seen.ids.push_back(GetMenuItemID(handle, n));
        shown = true;
        SendChord({VK_ESCAPE});
        return;
      }
      Sleep(10);
    }
  });
  open();
  LoopUntil([&] { return shown.load(); }, ms);
  stop = true;
  user.join();
  seen.shown = shown;
  return seen;
}

// ---- Pixels ----------------------------------------------------------------------------------

// The bitmap's pixel as plain RGB.
inline COLORREF PixelAt(TBitmap& bitmap, int x, int y) {
  return static_cast<COLORREF>(bitmap.Canvas()->Pixels(x, y));
}

// The pixel of a colour as it reads back from the bitmap (system colours resolved, and
// rounded to what the bitmap's format holds).
inline COLORREF AsPainted(TBitmap& bitmap, TColor color) {
  TBitmap probe(1, 1);
  probe.SetPixelFormat(bitmap.PixelFormat());
  probe.Canvas()->SetPixels(0, 0, color);
  return PixelAt(probe, 0, 0);
}

// Fills the whole bitmap with one colour.
inline void FillBitmap(TBitmap& bitmap, TColor color) {
  bitmap.Canvas()->Brush()->SetColor(color);
  bitmap.Canvas()->FillRect(RECT{0, 0, bitmap.Width(), bitmap.Height()});
}

// How many pixels of `rect` have the colour.
inline int CountPixels(TBitmap& bitmap, const RECT& rect, TColor color) {
  COLORREF wanted = AsPainted(bitmap, color);
  int n = 0;
  for (int y = rect.top; y < rect.bottom; ++y)
    for (int x = rect.left; x < rect.right; ++x)
      if (PixelAt(bitmap, x, y) == wanted) ++n;
  return n;
}

// The smallest rectangle around the pixels of exactly `color` (within `area` when given);
// empty (right < left) when there are none.
inline RECT BoundsOf(TBitmap& bitmap, COLORREF color, const RECT* area = nullptr) {
  RECT within = area ? *area : RECT{0, 0, bitmap.Width(), bitmap.Height()};
  RECT r{bitmap.Width(), bitmap.Height(), -1, -1};
  for (int y = within.top; y < within.bottom; ++y)
    for (int x = within.left; x < within.right; ++x)
      if (PixelAt(bitmap, x, y) == color) {
        r.left = std::min<LONG>(r.left, x);
        r.top = std::min<LONG>(r.top, y);
        r.right = std::max<LONG>(r.right, x + 1);
        r.bottom = std::max<LONG>(r.bottom, y + 1);
      }
  return r;
}

// The smallest rectangle around the pixels that differ from `background`; empty (right <
// left) when there are none.
inline RECT InkBounds(TBitmap& bitmap, TColor background) {
  COLORREF ground = AsPainted(bitmap, background);
  RECT ink{bitmap.Width(), bitmap.Height(), -1, -1};
  for (int y = 0; y < bitmap.Height(); ++y)
    for (int x = 0; x < bitmap.Width(); ++x)
      if (PixelAt(bitmap, x, y) != ground) {
        ink.left = std::min<LONG>(ink.left, x);
        ink.top = std::min<LONG>(ink.top, y);
        ink.right = std::max<LONG>(ink.right, x + 1);
        ink.bottom = std::max<LONG>(ink.bottom, y + 1);
      }
  return ink;
}

// What the screen shows of the control's client area, or of `area` of it (client
// coordinates), copied into a new bitmap of that size.
inline std::unique_ptr<TBitmap> ScreenCopy(TWinControl* control, const RECT* area = nullptr) {
  RECT r = area ? *area : control->ClientRect();
  auto shot = std::make_unique<TBitmap>(r.right - r.left, r.bottom - r.top);
  TWindowDC client(control->Handle());
  BitBlt(shot->Canvas()->Handle(), 0, 0, shot->Width(), shot->Height(), client, r.left, r.top, SRCCOPY);
  return shot;
}

// The control's client area and its children painted into a new bitmap of its size, as
// printing the window does.
inline std::unique_ptr<TBitmap> PaintToBitmap(TWinControl* control) {
  RECT client = control->ClientRect();
  auto shot = std::make_unique<TBitmap>(client.right, client.bottom);
  control->PaintTo(shot->Canvas()->Handle(), 0, 0);
  return shot;
}
