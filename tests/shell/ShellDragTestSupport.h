// What the shell tests of drags share: the user's hand on the mouse and the keys through the
// system's input, and a drop target's side that answers as a shell folder answers the keys.
#pragma once

#include <windows.h>
#include <ole2.h>
#include <shellapi.h>

#include <atomic>
#include <functional>
#include <string>
#include <vector>

#include "EventLog.h"
#include "RealInput.h"
#include "shell/FcShellDragDrop.h"

// The effect a shell folder answers for the keys: Ctrl copies, Ctrl+Shift links, otherwise
// the items move; limited to what the source allows.
inline DWORD EffectForKeys(DWORD keys, DWORD allowed) {
  DWORD wanted = (keys & MK_CONTROL) ? ((keys & MK_SHIFT) ? DROPEFFECT_LINK : DROPEFFECT_COPY) : DROPEFFECT_MOVE;
  return wanted & allowed;
}

// A drop target's side that answers by the keys and notes what it was told. What the hand
// waits for (entered, the last keys, dropped) is readable from the hand's thread.
class TKeyedHandler : public IFcShellDropHandler {
 public:
  TEventLog calls;
  std::function<void()> onEnter;
  DWORD enterAllowed = 0;
  DWORD dropKeys = 0;
  DWORD dropEffect = 0;
  std::vector<std::string> droppedFiles;
  std::atomic<bool> entered{false}, dropped{false};
  std::atomic<DWORD> lastKeys{0};

  void Reset() {
    calls.Clear();
    onEnter = nullptr;
    enterAllowed = dropKeys = dropEffect = 0;
    droppedFiles.clear();
    entered = dropped = false;
    lastKeys = 0;
  }
  HRESULT DragEnter(IDataObject*, DWORD keys, POINTL, DWORD* effect) override {
    calls.Note("enter");
    enterAllowed = *effect;
    lastKeys = keys;
    entered = true;
    if (onEnter) onEnter();
    *effect = EffectForKeys(keys, *effect);
    return S_OK;
  }
  HRESULT DragOver(DWORD keys, POINTL, DWORD* effect) override {
    calls.NoteOnce("over");
    lastKeys = keys;
    *effect = EffectForKeys(keys, *effect);
    return S_OK;
  }
  HRESULT DragLeave() override {
    calls.Note("leave");
    return S_OK;
  }
  HRESULT Drop(IDataObject* data, DWORD keys, POINTL, DWORD* effect) override {
    calls.Note("drop");
    dropKeys = keys;
    lastKeys = keys;
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
    dropped = true;
    return S_OK;
  }
};

// Waits on the hand's thread, without a message loop of its own, until `done` holds; false
// after `ms` milliseconds.
inline bool HandWaitsFor(const std::function<bool()>& done, DWORD ms) {
  const DWORD start = GetTickCount();
  while (!done()) {
    if (GetTickCount() - start > ms) return false;
    Sleep(10);
  }
  return true;
}

// The user's hand: presses the left button at `from`, moves the pointer there in steps to
// `to`, and once `target` has been entered holds the keys down until it has been told them,
// lets the button go, and the keys once the drop is done. Wine brings its key state in line
// with the X server's when it handles the pointer's X events, which on a loaded machine may
// come after the keys and drop them (the X server never saw them pressed): the keys are
// pressed again until the target is told them twice over a short while.
inline void Hand(POINT from, POINT to, const std::vector<WORD>& keys, const TKeyedHandler& target) {
  SendMouseMove(from);
  Sleep(50);
  SendMouseButton(mbLeft, true);
  Sleep(300);
  for (int i = 1; i <= 15; ++i) {
    SendMouseMove(POINT{from.x + (to.x - from.x) * i / 15, from.y + (to.y - from.y) * i / 15});
    Sleep(30);
  }
  HandWaitsFor([&] { return target.entered.load(); }, 8000);
  const DWORD bits = KeyBitsOf(keys);
  auto told = [&] { return (target.lastKeys.load() & (MK_CONTROL | MK_SHIFT)) == bits; };
  for (int attempt = 0; attempt < 10; ++attempt) {
    SendKeys(keys, true);
    if (HandWaitsFor(told, 500)) {
      Sleep(150);
      if (told()) break;
    }
  }
  SendMouseButton(mbLeft, false);
  HandWaitsFor([&] { return target.dropped.load(); }, 5000);
  SendKeys(keys, false);
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
