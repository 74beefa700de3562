// What the shell tests of drags share: the user's hand on the mouse and the keys through the
// system's input, and a drop target's side that answers as a shell folder answers the keys.
#pragma once

#include <windows.h>
#include <ole2.h>
#include <shellapi.h>

#include <functional>
#include <string>
#include <vector>

#include "shell/FcShellDragDrop.h"

// The mouse through the system's input.
inline void MoveMouse(int x, int y) {
  INPUT in{};
  in.type = INPUT_MOUSE;
  in.mi.dx = x * 65535 / (GetSystemMetrics(SM_CXSCREEN) - 1);
  in.mi.dy = y * 65535 / (GetSystemMetrics(SM_CYSCREEN) - 1);
  in.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
  SendInput(1, &in, sizeof in);
}
inline void SendButton(bool down) {
  INPUT in{};
  in.type = INPUT_MOUSE;
  in.mi.dwFlags = down ? MOUSEEVENTF_LEFTDOWN : MOUSEEVENTF_LEFTUP;
  SendInput(1, &in, sizeof in);
}

// The effect a shell folder answers for the keys: Ctrl copies, Ctrl+Shift links, otherwise
// the items move; limited to what the source allows.
inline DWORD EffectForKeys(DWORD keys, DWORD allowed) {
  DWORD wanted = (keys & MK_CONTROL) ? ((keys & MK_SHIFT) ? DROPEFFECT_LINK : DROPEFFECT_COPY) : DROPEFFECT_MOVE;
  return wanted & allowed;
}

// A drop target's side that answers by the keys and notes what it was told.
class TKeyedHandler : public IFcShellDropHandler {
 public:
  std::vector<std::string> calls;
  std::function<void()> onEnter;
  DWORD enterAllowed = 0;
  DWORD dropKeys = 0;
  DWORD dropEffect = 0;
  std::vector<std::string> droppedFiles;
  HRESULT DragEnter(IDataObject*, DWORD keys, POINTL, DWORD* effect) override {
    calls.push_back("enter");
    enterAllowed = *effect;
    if (onEnter) onEnter();
    *effect = EffectForKeys(keys, *effect);
    return S_OK;
  }
  HRESULT DragOver(DWORD keys, POINTL, DWORD* effect) override {
    if (calls.empty() || calls.back() != "over") calls.push_back("over");
    *effect = EffectForKeys(keys, *effect);
    return S_OK;
  }
  HRESULT DragLeave() override {
    calls.push_back("leave");
    return S_OK;
  }
  HRESULT Drop(IDataObject* data, DWORD keys, POINTL, DWORD* effect) override {
    calls.push_back("drop");
    dropKeys = keys;
    *effect = EffectForKeys(keys, *effect);
    dropEffect = *effect;
    FORMATETC format{CF_HDROP, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
    STGMEDIUM medium{};
    if (SUCCEEDED(data->GetData(&format, &medium))) {
      auto drop = static_cast<HDROP>(medium.hGlobal);
      char name[MAX_PATH] = {};
      for (UINT i = 0; DragQueryFileA(drop, i, name, MAX_PATH); ++i) droppedFiles.push_back(name);
      ReleaseStgMedium(&medium);
    }
    return S_OK;
  }
};

// The user's hand: presses the left button at `from`, moves the pointer there in steps to
// `to`, holds the keys down and lets the button go, then the keys.
inline void Hand(POINT from, POINT to, const std::vector<WORD>& keys) {
  MoveMouse(from.x, from.y);
  Sleep(50);
  SendButton(true);
  Sleep(300);
  for (int i = 1; i <= 15; ++i) {
    MoveMouse(from.x + (to.x - from.x) * i / 15, from.y + (to.y - from.y) * i / 15);
    Sleep(30);
  }
  INPUT key{};
  key.type = INPUT_KEYBOARD;
  for (WORD k : keys) {
    key.ki.wVk = k;
    key.ki.dwFlags = 0;
    SendInput(1, &key, sizeof key);
  }
  Sleep(400);
  SendButton(false);
  Sleep(100);
  for (auto it = keys.rbegin(); it != keys.rend(); ++it) {
    key.ki.wVk = *it;
    key.ki.dwFlags = KEYEVENTF_KEYUP;
    SendInput(1, &key, sizeof key);
  }
}

// Keys held at a drop, their bits in the key state, and the effect a shell folder answers.
struct TKeyCase {
  std::vector<WORD> keys;
  DWORD keyBits;
  DWORD effect;
};
inline const TKeyCase kKeyCases[] = {
    {{}, 0, DROPEFFECT_MOVE},
    {{VK_CONTROL}, MK_CONTROL, DROPEFFECT_COPY},
    {{VK_CONTROL, VK_SHIFT}, MK_CONTROL | MK_SHIFT, DROPEFFECT_LINK},
};
