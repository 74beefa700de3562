// The shell list in drags: its items dragged out as shell items, dropped beside themselves, and
// other shell items dropped on its folder items.
#include <gtest/gtest.h>

#include <windows.h>
#include <ole2.h>

#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "ControlTestSupport.h"
#include "EventLog.h"
#include "ShellDragTestSupport.h"
#include "ShellListTestSupport.h"
#include "ShellTestSupport.h"
#include "shell/FcShellDragDrop.h"
#include "shell/FcShellList.h"

namespace {

// Lets go whatever a drag that went wrong may have left pressed, so that the next drag starts
// afresh.
void ReleaseAll(const std::vector<WORD>& keys) {
  SendKeys(keys, false);
  if (GetAsyncKeyState(VK_LBUTTON) & 0x8000) SendMouseButton(mbLeft, false);
  if (GetAsyncKeyState(VK_RBUTTON) & 0x8000) SendMouseButton(mbRight, false);
  LoopUntil([] { return (GetKeyState(VK_LBUTTON) & 0x8000) == 0 && (GetKeyState(VK_RBUTTON) & 0x8000) == 0; }, 1000);
  Pump();
}

// A window of the test's own beside the form, taking drops through a shell control's kind of
// drop target.
class TDropWindow {
 public:
  TDropWindow() {
    WNDCLASSA wc{};
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "ShellListDropWindow";
    RegisterClassA(&wc);
    window_ = CreateWindowExA(WS_EX_TOPMOST, wc.lpszClassName, "drop here", WS_POPUP | WS_VISIBLE, 800, 200, 200,
                              200, nullptr, nullptr, wc.hInstance, nullptr);
    target_.Reset(new TDropTarget_shtv(&handler));
    RegisterDragDrop(window_, target_.Get());
  }
  ~TDropWindow() {
    RevokeDragDrop(window_);
    target_->Detach();
    DestroyWindow(window_);
  }
  POINT Centre() const { return POINT{900, 300}; }
  HWND Handle() const { return window_; }
  TKeyedHandler handler;

 private:
  HWND window_ = nullptr;
  TComPtr<TDropTarget_shtv> target_;
};

struct TDragCase {
  const char* what;
  const char* item;
  TMouseButton button;
  std::vector<WORD> keys;
  DWORD keyBits;
  DWORD effect;
};

TEST_F(ShellList, ItemsDraggedToAnotherWindowGoAsShellItemsWithTheEffectTheKeysChoose) {
  const TDragCase cases[] = {
      {"left, no keys", "a.cfg", mbLeft, {}, 0, DROPEFFECT_MOVE},
      {"left, Ctrl", "B.TXT", mbLeft, {VK_CONTROL}, MK_CONTROL, DROPEFFECT_COPY},
      {"right, Ctrl and Shift", "c.cfg", mbRight, {VK_CONTROL, VK_SHIFT}, MK_CONTROL | MK_SHIFT, DROPEFFECT_LINK},
  };
  TDropWindow other;
  ASSERT_TRUE(LoopUntil([&] { return WindowFromPoint(other.Centre()) == other.Handle(); }, 3000));
  auto* list = MakeList();
  auto recording = std::make_unique<TRecordingMenu>(nullptr);
  list->SetPopupMenu(recording.get());
  int fills = 0;
  list->OnFillStart = [&](TObject*) { ++fills; };
  for (const TDragCase& c : cases) {
    other.handler.Reset();
    fills = 0;
    // Each case presses on another item: no two presses make a double click.
    TListItem* item = Find(list, c.item);
    Pick(list, item);
    POINT from = list->ClientToScreen(LabelCentre(item));
    RealMove(from);
    // Over the other window the keys go down and the button up: the drop follows.
    other.handler.onEnter = [&] {
      SendKeys(c.keys, true);
      SendMouseButton(c.button, false);
    };
    // A few pixels with the button down start the drag; then the pointer goes over.
    SendMouseButton(c.button, true);
    SendMouseMove(POINT{from.x + 12, from.y + 6});
    SendMouseMove(other.Centre());
    EXPECT_TRUE(LoopUntil([&] { return other.handler.calls.Last() == "drop"; }, 5000))
        << c.what;
    ReleaseAll(c.keys);
    EXPECT_EQ(other.handler.enterAllowed, static_cast<DWORD>(DROPEFFECT_COPY | DROPEFFECT_MOVE | DROPEFFECT_LINK))
        << c.what;
    EXPECT_EQ(other.handler.dropKeys & (MK_CONTROL | MK_SHIFT), c.keyBits) << c.what;
    EXPECT_EQ(other.handler.dropEffect, c.effect) << c.what;
    EXPECT_EQ(other.handler.droppedFiles, std::vector<std::string>{Path(c.item)}) << c.what;
    // The list that the items left looks at its folder again; a right drag shows no menu.
    EXPECT_GE(fills, 1) << c.what;
  }
  EXPECT_TRUE(recording->shown.empty());
}

// A drop source that notes the effects the targets answer.
class TNotingSource : public TDropSource_shlvtv {
 public:
  TNotingSource(int button, std::function<void(DWORD)> note) : TDropSource_shlvtv(button), note_(std::move(note)) {}
  HRESULT STDMETHODCALLTYPE GiveFeedback(DWORD effect) override {
    note_(effect);
    return TDropSource_shlvtv::GiveFeedback(effect);
  }

 private:
  std::function<void(DWORD)> note_;
};

class TNotingList : public TTestShellList {
 public:
  using TTestShellList::TTestShellList;
  std::vector<DWORD> feedback;
  std::function<void()> onFeedback;

 protected:
  IDropSource* CreateDropSource(int button) override {
    return new TNotingSource(button, [this](DWORD effect) {
      feedback.push_back(effect & ~static_cast<DWORD>(DROPEFFECT_SCROLL));
      if (onFeedback) onFeedback();
    });
  }
};

TEST_F(ShellList, ItemsDroppedBesideThemselvesAreCopiedWithTheRightButtonOnly) {
  auto* list = Put<TNotingList>(form_.get(), 8, 8, 600, 380);
  list->SetViewStyle(vsReport);
  list->HandleNeeded();
  list->Folder()->SetPathName(Dir());
  Pump();
  for (TMouseButton button : {mbLeft, mbRight}) {
    bool right = button == mbRight;
    list->feedback.clear();
    TListItem* item = Find(list, "a.cfg");
    Pick(list, item);
    POINT from = list->ClientToScreen(LabelCentre(item));
    POINT beside = list->ClientToScreen(POINT{300, 300});
    RealMove(from);
    bool released = false;
    list->onFeedback = [&] {
      if (!std::exchange(released, true)) SendMouseButton(button, false);
    };
    SendMouseButton(button, true);
    SendMouseMove(POINT{from.x + 12, from.y + 6});
    SendMouseMove(beside);
    const int key = right ? VK_RBUTTON : VK_LBUTTON;
    EXPECT_TRUE(LoopUntil([&] { return released && (GetKeyState(key) & 0x8000) == 0; }, 5000));
    Pump(20);
    ReleaseAll({});
    ASSERT_FALSE(list->feedback.empty());
    EXPECT_EQ(list->feedback.front(), right ? static_cast<DWORD>(DROPEFFECT_COPY) : DROPEFFECT_NONE);
    EXPECT_EQ(Names(list), kAllNames);
  }
}

// A shell item's drop target as the list's items give it, answering by the keys.
class TFolderTarget : public TFcComObject<IDropTarget> {
 public:
  TFolderTarget() : TFcComObject(IID_IDropTarget) {}
  TEventLog calls;
  DWORD dropOffered = 0, dropKeys = 0;
  HRESULT STDMETHODCALLTYPE DragEnter(IDataObject*, DWORD keys, POINTL, DWORD* effect) override {
    calls.Note("enter");
    *effect = EffectForKeys(keys, *effect);
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE DragOver(DWORD keys, POINTL, DWORD* effect) override {
    calls.Note("over");
    *effect = EffectForKeys(keys, *effect);
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE DragLeave() override {
    calls.Note("leave");
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE Drop(IDataObject*, DWORD keys, POINTL, DWORD* effect) override {
    calls.Note("drop");
    dropOffered = *effect;
    dropKeys = keys;
    *effect = EffectForKeys(keys, *effect);
    return S_OK;
  }
};

TEST_F(ShellList, ShellItemsDroppedOnAFolderItemGoToItsDropTargetWithTheEffectTheKeysChoose) {
  auto* list = MakeList();
  TComPtr<TFolderTarget> target(new TFolderTarget);
  TListItem* alpha = Find(list, "Alpha");
  list->itemObject = [&](TListItem* item, REFIID iid, void** object) {
    if (item != alpha || !IsEqualIID(iid, IID_IDropTarget)) return E_NOINTERFACE;
    *object = static_cast<IDropTarget*>(target.AddRefed());
    return S_OK;
  };
  // The items of another folder.
  std::string other = MakeFolder("gamma\\from");
  WriteFileBytes(other + "\\moved.txt", "x");
  TIdListPtr otherList = ParsedList(other);
  TComPtr<IShellFolder> otherFolder;
  ASSERT_EQ(ShellGetFolderFromIdList(otherList.get(), otherFolder.Out()), S_OK);
  TIdListPtr moved = LastItem(ParsedList(other + "\\moved.txt").get());
  POINT over = list->ClientToScreen(LabelCentre(alpha));

  const struct {
    std::vector<WORD> keys;
    DWORD effect;
  } cases[] = {{{}, DROPEFFECT_MOVE}, {{VK_CONTROL}, DROPEFFECT_COPY}, {{VK_SHIFT}, DROPEFFECT_MOVE},
               {{VK_CONTROL, VK_SHIFT}, DROPEFFECT_LINK}};
  for (const auto& c : cases) {
    target->calls.Clear();
    TComPtr<IDataObject> data(CreateShellDataObject(otherFolder.Get(), otherList.get(), {moved.get()}));
    TComPtr<IDropSource> source(new TDropSource_shlvtv(0));
    SetCursorPos(over.x, over.y);
    ASSERT_TRUE(LoopUntil([&] { return WindowFromPoint(over) == list->Handle(); }, 3000));
    SendKeys(c.keys, true);
    Pump();
    DWORD effect = DROPEFFECT_NONE;
    HRESULT hr = DoDragDrop(data.Get(), source.Get(), DROPEFFECT_COPY | DROPEFFECT_MOVE | DROPEFFECT_LINK, &effect);
    ReleaseAll(c.keys);
    EXPECT_EQ(hr, DRAGDROP_S_DROP);
    EXPECT_EQ(effect, c.effect);
    EXPECT_EQ(target->calls.Last(), "drop");
    EXPECT_EQ(target->dropOffered, static_cast<DWORD>(DROPEFFECT_COPY | DROPEFFECT_MOVE | DROPEFFECT_LINK));
    EXPECT_FALSE(alpha->DropTarget());
    // The list holds no reference to the data any more.
    data->AddRef();
    EXPECT_EQ(data->Release(), 1u);
  }
}

TEST_F(ShellList, ADragOverTheListAsksTheTargetUnderThePointerScrollsAndLetsGo) {
  auto* list = MakeList();
  list->SetHeight(90);
  Pump();
  TComPtr<TFolderTarget> target(new TFolderTarget);
  TListItem* alpha = Find(list, "Alpha");
  list->itemObject = [&](TListItem* item, REFIID, void** object) {
    if (item != alpha) return E_NOINTERFACE;
    *object = static_cast<IDropTarget*>(target.AddRefed());
    return S_OK;
  };
  TComPtr<IDataObject> data(CreateShellDataObject(list->ListFolder(), list->ListFolderIdList(),
                                                  {list->ShellData(Find(list, "B.TXT"))->RelIdList()}));
  auto at = [&](POINT client) {
    POINT screen = list->ClientToScreen(client);
    return POINTL{screen.x, screen.y};
  };
  const DWORD all = DROPEFFECT_COPY | DROPEFFECT_MOVE | DROPEFFECT_LINK;

  // Over the folder item: its target's answer, the item shown as the target.
  DWORD effect = all;
  EXPECT_EQ(list->DragEnter(data.Get(), MK_LBUTTON | MK_CONTROL, at(LabelCentre(alpha)), &effect), S_OK);
  EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_COPY));
  EXPECT_TRUE(alpha->DropTarget());
  EXPECT_EQ(target->calls, (TEvents{"enter", "leave"}));
  effect = all;
  target->calls.Clear();
  EXPECT_EQ(list->DragOver(MK_LBUTTON | MK_SHIFT, at(LabelCentre(alpha)), &effect), S_OK);
  EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_MOVE | DROPEFFECT_SCROLL));
  EXPECT_EQ(target->calls, (TEvents{"enter", "over", "leave"}));

  // Near the bottom the list scrolls a line, and not again at once.
  int top = static_cast<int>(SendMessageA(list->Handle(), LVM_GETTOPINDEX, 0, 0));
  Sleep(120);
  effect = all;
  list->DragOver(MK_LBUTTON, at(POINT{300, list->ClientHeight() - 5}), &effect);
  EXPECT_TRUE(effect & DROPEFFECT_SCROLL);
  EXPECT_FALSE(alpha->DropTarget());
  int scrolled = static_cast<int>(SendMessageA(list->Handle(), LVM_GETTOPINDEX, 0, 0));
  EXPECT_EQ(scrolled, top + 1);
  list->DragOver(MK_LBUTTON, at(POINT{300, list->ClientHeight() - 5}), &effect);
  EXPECT_EQ(SendMessageA(list->Handle(), LVM_GETTOPINDEX, 0, 0), scrolled);

  EXPECT_EQ(list->DragLeave(), S_OK);
  data->AddRef();
  EXPECT_EQ(data->Release(), 1u);
}

TEST_F(ShellList, ItsWindowTakesDropsWhileSloOleDropIsOn) {
  auto* list = MakeList();
  TComPtr<TDropTarget_shtv> probe(new TDropTarget_shtv(nullptr));
  EXPECT_EQ(RegisterDragDrop(list->Handle(), probe.Get()), DRAGDROP_E_ALREADYREGISTERED);
  list->SetOptions(list->Options() - sloOleDrop);
  EXPECT_EQ(RevokeDragDrop(list->Handle()), DRAGDROP_E_NOTREGISTERED);
  list->SetOptions(list->Options() + sloOleDrop);
  EXPECT_EQ(RegisterDragDrop(list->Handle(), probe.Get()), DRAGDROP_E_ALREADYREGISTERED);
}

}  // namespace
