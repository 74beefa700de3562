// The shell list's items dragged out as shell items, and shell items dropped on the list,
// which leaves each drop to the drop target the shell gives for the item or folder under the
// pointer (unit of FcShellList.h).

#include "platform/Forms.h"
#include "platform/Guards.h"
#include "shell/FcShellList.h"

namespace {

constexpr DWORD kItemEffects = DROPEFFECT_COPY | DROPEFFECT_MOVE | DROPEFFECT_LINK;
constexpr DWORD kMouseButtons = MK_LBUTTON | MK_RBUTTON | MK_MBUTTON;
// Near an edge a drag scrolls the list, a step at most every kScrollInterval milliseconds.
constexpr int kScrollEdgeX = 26;
constexpr int kScrollEdgeY = 20;
constexpr DWORD kScrollInterval = 100;

}  // namespace

// ---- Dragging items out -----------------------------------------------------------------------

IDropSource* TFcCustomShellList::CreateDropSource(int button) { return new TDropSource_shlvtv(button); }

void TFcCustomShellList::BeginItemDrag(TListItem* item, TMouseButton button) {
  if (!options_.Contains(sloOleDrag) || !ShellData(item) || !shellFolder_) {
    TFcCustomListView::BeginItemDrag(item, button);
    return;
  }
  std::vector<LPCITEMIDLIST> items = SelectedRelIdLists();
  if (items.empty()) items.push_back(ShellData(item)->RelIdList());
  // What every dragged item allows: the SFGAO_CAN* bits are the drop effects' own.
  SFGAOF allowed = SFGAO_CANCOPY | SFGAO_CANMOVE | SFGAO_CANLINK;
  if (FAILED(shellFolder_->GetAttributesOf(static_cast<UINT>(items.size()), items.data(), &allowed))) allowed = 0;
  TComPtr<IDataObject> data(CreateShellDataObject(shellFolder_.Get(), folderIdList_.get(), items));
  TComPtr<IDropSource> source(CreateDropSource(button == mbRight ? 1 : 0));
  HRESULT hr;
  {
    TRestore<bool> dragging(dragging_, true);
    TRestore<bool> fromHere(dragFromHere_, true);
    // The button's release belongs to the drag, not to a context menu; once the drag has
    // ended, right clicks show their menus again.
    TRestore<bool> rightButton(rightButtonAfterDrag_, true);
    DWORD effect = DROPEFFECT_NONE;
    hr = DoDragDrop(data.Get(), source.Get(), static_cast<DWORD>(allowed) & kItemEffects, &effect);
  }
  bool pending = std::exchange(refreshPending_, false);
  if (hr == DRAGDROP_S_DROP || pending) {
    RefreshItems();
    SortItems();
  }
}

void TFcCustomShellList::WMRButtonUp(TWMMouse& m) {
  // The release that ends a right-button drag belongs to the drag: the window gets it, but
  // no class above takes it for the end of a click (no OnMouseUp, no menu state).
  if (rightButtonAfterDrag_) {
    DefaultHandler(m.Message);
    return;
  }
  Inherited(m);
}

// ---- Dropping items in ------------------------------------------------------------------------

TFcCustomShellList::TDropSpot TFcCustomShellList::SpotAt(POINT client, DWORD keyState) {
  TDropSpot spot;
  TListItem* item = GetItemAt(client.x, client.y);
  if (item && !ShellData(item)) {
    // An item of the program's own takes a copy.
    spot.item = item;
    spot.answered = true;
    spot.answer = DROPEFFECT_COPY;
    return spot;
  }
  if (item && SUCCEEDED(GetItemUIObject(item, IID_IDropTarget, spot.target.OutVoid())) && spot.target) {
    spot.item = item;
    return spot;
  }
  if (!item && dragFromHere_) {
    // Items dropped beside themselves: a right drag may copy them, a left one does nothing.
    spot.answered = true;
    spot.answer = (keyState & MK_RBUTTON) ? DROPEFFECT_COPY : DROPEFFECT_NONE;
    return spot;
  }
  // The folder's own drop target, with no item shown as the target.
  HRESULT hr = IsEmptyIdList(folderIdList_.get())
                   ? GetDesktopDropTarget(spot.target.Out())
                   : ShellGetUIObject(folderIdList_.get(), IID_IDropTarget, spot.target.OutVoid());
  if (FAILED(hr)) spot.target.Reset();
  return spot;
}

HRESULT TFcCustomShellList::AnswerAt(POINTL point, DWORD keyState, DWORD* effect, bool over) {
  TDropSpot spot = SpotAt(ScreenToClient(POINT{point.x, point.y}), keyState);
  const DWORD allowed = *effect;
  HRESULT hr = S_OK;
  if (spot.answered) {
    *effect = spot.answer;
  } else if (!spot.target) {
    *effect = DROPEFFECT_NONE;
  } else {
    DWORD answer = allowed;
    hr = spot.target->DragEnter(dropData_.Get(), keyState, point, &answer);
    if (SUCCEEDED(hr) && over) {
      answer = allowed;
      hr = spot.target->DragOver(keyState, point, &answer);
    }
    spot.target->DragLeave();
    *effect = SUCCEEDED(hr) ? answer : DROPEFFECT_NONE;
  }
  HighlightDropItem(*effect != DROPEFFECT_NONE ? spot.item : nullptr);
  return hr;
}

HRESULT TFcCustomShellList::DragEnter(IDataObject* data, DWORD keyState, POINTL point, DWORD* effect) {
  lastScrollTick_ = GetTickCount();
  if (data) data->AddRef();
  dropData_.Reset(data);
  dropKeyState_ = keyState;
  return AnswerAt(point, keyState, effect, false);
}

HRESULT TFcCustomShellList::DragOver(DWORD keyState, POINTL point, DWORD* effect) {
  HRESULT hr = AnswerAt(point, keyState, effect, true);
  DragScroll(ScreenToClient(POINT{point.x, point.y}));
  *effect |= DROPEFFECT_SCROLL;
  return hr;
}

HRESULT TFcCustomShellList::DragLeave() {
  EndDrop();
  return S_OK;
}

HRESULT TFcCustomShellList::Drop(IDataObject* data, DWORD keyState, POINTL point, DWORD* effect) {
  HRESULT hr = S_OK;
  {
    TScopeExit ended([this]() noexcept { EndDrop(); });
    // The buttons are up by now: the drop goes on as the drag was made.
    keyState |= dropKeyState_ & kMouseButtons;
    TDropSpot spot = SpotAt(ScreenToClient(POINT{point.x, point.y}), keyState);
    const DWORD allowed = *effect;
    if (spot.answered || !spot.target) {
      *effect = spot.answered ? spot.answer : DROPEFFECT_NONE;
    } else {
      DWORD answer = allowed;
      hr = spot.target->DragEnter(data, keyState, point, &answer);
      if (SUCCEEDED(hr)) {
        answer = allowed;
        hr = spot.target->DragOver(keyState, point, &answer);
      }
      if (SUCCEEDED(hr)) {
        answer = allowed & GetDropEffects(data);
        TTemporaryCursor hourglass(crHourGlass);
        hr = spot.target->Drop(data, keyState, point, &answer);
      } else {
        spot.target->DragLeave();
      }
      *effect = SUCCEEDED(hr) ? answer : DROPEFFECT_NONE;
    }
  }
  RefreshItems();
  return hr;
}

void TFcCustomShellList::EndDrop() {
  HighlightDropItem(nullptr);
  dropData_.Reset();
}

void TFcCustomShellList::HighlightDropItem(TListItem* item) {
  if (item == dropItem_) return;
  if (dropItem_) dropItem_->SetDropTarget(false);
  dropItem_ = item;
  if (item) item->SetDropTarget(true);
}

void TFcCustomShellList::DragScroll(POINT client) {
  DWORD now = GetTickCount();
  if (now - lastScrollTick_ < kScrollInterval) return;
  RECT r = ClientRect();
  bool scrolled = false;
  auto scroll = [&](UINT msg, int code) {
    SendMessageA(Handle(), msg, static_cast<WPARAM>(code), 0);
    scrolled = true;
  };
  if (client.x < r.left + kScrollEdgeX)
    scroll(WM_HSCROLL, SB_LINELEFT);
  else if (client.x >= r.right - kScrollEdgeX)
    scroll(WM_HSCROLL, SB_LINERIGHT);
  if (client.y < r.top + kScrollEdgeY)
    scroll(WM_VSCROLL, SB_LINEUP);
  else if (client.y >= r.bottom - kScrollEdgeY)
    scroll(WM_VSCROLL, SB_LINEDOWN);
  if (scrolled) lastScrollTick_ = now;
}
