// The user's mouse and keyboard as the tests give them: through the system's input queue, so
// that capture, Z order, focus and the dialog keys take the road a real click or key takes.
// The Send* calls only queue input and may be made from any thread (a drag's hand runs beside
// the GUI thread's modal loop); the Real* calls also run the GUI thread's messages until the
// input has been handled.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "platform/Application.h"
#include "platform/Controls.h"

// ---- Queued input, from any thread ---------------------------------------------------------

// Moves the pointer to a point of the screen.
inline void SendMouseMove(POINT screen) {
  INPUT in{};
  in.type = INPUT_MOUSE;
  // Absolute coordinates run 0..65535 over the screen; the half pixel keeps rounding on the
  // point asked for.
  const int cx = GetSystemMetrics(SM_CXSCREEN), cy = GetSystemMetrics(SM_CYSCREEN);
  in.mi.dx = static_cast<LONG>((screen.x * 65536LL + 32768) / cx);
  in.mi.dy = static_cast<LONG>((screen.y * 65536LL + 32768) / cy);
  in.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
  SendInput(1, &in, sizeof in);
}

// Presses or lets go a mouse button where the pointer is.
inline void SendMouseButton(TMouseButton button, bool down) {
  INPUT in{};
  in.type = INPUT_MOUSE;
  switch (button) {
    case mbLeft: in.mi.dwFlags = down ? MOUSEEVENTF_LEFTDOWN : MOUSEEVENTF_LEFTUP; break;
    case mbRight: in.mi.dwFlags = down ? MOUSEEVENTF_RIGHTDOWN : MOUSEEVENTF_RIGHTUP; break;
    case mbMiddle: in.mi.dwFlags = down ? MOUSEEVENTF_MIDDLEDOWN : MOUSEEVENTF_MIDDLEUP; break;
  }
  SendInput(1, &in, sizeof in);
}

// A press and release of the button at the point of the screen, only queued: the click is
// in the queue before anything else runs on the GUI thread.
inline void SendClick(POINT screen, TMouseButton button = mbLeft) {
  SendMouseMove(screen);
  SendMouseButton(button, true);
  SendMouseButton(button, false);
}

// Presses or lets go one key.
inline void SendKey(WORD key, bool down) {
  INPUT in{};
  in.type = INPUT_KEYBOARD;
  in.ki.wVk = key;
  in.ki.wScan = static_cast<WORD>(MapVirtualKeyA(key, MAPVK_VK_TO_VSC));
  in.ki.dwFlags = down ? 0 : KEYEVENTF_KEYUP;
  SendInput(1, &in, sizeof in);
}

// Presses the keys in their order, or lets them go in the reverse order.
inline void SendKeys(const std::vector<WORD>& keys, bool down) {
  for (std::size_t i = 0; i < keys.size(); ++i) SendKey(keys[down ? i : keys.size() - 1 - i], down);
}

// A chord: the keys pressed in their order and let go in the reverse order (Ctrl+A is
// {VK_CONTROL, 'A'}).
inline void SendChord(const std::vector<WORD>& keys) {
  SendKeys(keys, true);
  SendKeys(keys, false);
}

// Types the text as key strokes of the keyboard's layout (Shift where a character needs it);
// a character the layout has no key for goes as itself.
inline void SendText(const std::string& text) {
  for (char ch : text) {
    SHORT scan = VkKeyScanA(ch);
    if (scan == -1) {
      wchar_t wide = 0;
      MultiByteToWideChar(CP_ACP, 0, &ch, 1, &wide, 1);
      INPUT in[2] = {};
      in[0].type = in[1].type = INPUT_KEYBOARD;
      in[0].ki.wScan = in[1].ki.wScan = wide;
      in[0].ki.dwFlags = KEYEVENTF_UNICODE;
      in[1].ki.dwFlags = KEYEVENTF_UNICODE | KEYEVENTF_KEYUP;
      SendInput(2, in, sizeof(INPUT));
      continue;
    }
    std::vector<WORD> keys;
    if (scan & 0x100) keys.push_back(VK_SHIFT);
    if (scan & 0x200) keys.push_back(VK_CONTROL);
    if (scan & 0x400) keys.push_back(VK_MENU);
    keys.push_back(static_cast<WORD>(scan & 0xFF));
    SendChord(keys);
  }
}

// The key-state bits (MK_CONTROL, MK_SHIFT) that holding the keys gives.
inline DWORD KeyBitsOf(const std::vector<WORD>& keys) {
  DWORD bits = 0;
  for (WORD k : keys) bits |= k == VK_CONTROL ? MK_CONTROL : k == VK_SHIFT ? MK_SHIFT : 0;
  return bits;
}

// ---- Input handled, on the GUI thread ------------------------------------------------------

// Runs the thread's messages until the queued input has been handled: no input, posted or
// sent message waiting for ten rounds in a row (what one piece of input sets off runs too), at
// most `ms` milliseconds. Timers and repaints are left out: a control's periodic timer never
// rests, and a window being painted is not input still waiting.
inline void WaitForInputHandled(DWORD ms = 2000) {
  const DWORD start = GetTickCount();
  int quiet = 0;
  while (quiet < 10 && GetTickCount() - start < ms) {
    Application->ProcessMessages();
    Sleep(5);
    const DWORD waiting = HIWORD(GetQueueStatus(QS_INPUT | QS_POSTMESSAGE | QS_SENDMESSAGE));
    quiet = waiting == 0 ? quiet + 1 : 0;
  }
}

inline void RealMove(POINT screen) {
  SendMouseMove(screen);
  WaitForInputHandled();
}

// A press and release of the button at the point of the screen.
inline void RealClick(POINT screen, TMouseButton button = mbLeft) {
  RealMove(screen);
  SendMouseButton(button, true);
  SendMouseButton(button, false);
  WaitForInputHandled();
}

inline void RealDoubleClick(POINT screen) {
  RealMove(screen);
  for (int i = 0; i < 2; ++i) {
    SendMouseButton(mbLeft, true);
    SendMouseButton(mbLeft, false);
  }
  WaitForInputHandled();
}

// One key pressed and let go, with the modifiers held around it (RealKey(VK_F4),
// RealKey('A', {VK_CONTROL})).
inline void RealKey(WORD key, const std::vector<WORD>& modifiers = {}) {
  std::vector<WORD> keys = modifiers;
  keys.push_back(key);
  SendChord(keys);
  WaitForInputHandled();
}

// Keys pressed together and let go ({VK_CONTROL, 'C'}).
inline void RealChord(const std::vector<WORD>& keys) {
  SendChord(keys);
  WaitForInputHandled();
}

inline void RealType(const std::string& text) {
  SendText(text);
  WaitForInputHandled();
}
