// The shell tree's drags and drops (unit of FcShellTree.h): nodes dragged out as shell items,
// and shell items dropped on nodes through the drop targets the shell gives for them.

#include <utility>

#include "platform/Forms.h"
#include "platform/Guards.h"
#include "shell/FcShellTree.h"

namespace {

constexpr DWORD kAllEffects = DROPEFFECT_COPY | DROPEFFECT_MOVE | DROPEFFECT_LINK;
constexpr DWORD kMouseButtons = MK_LBUTTON | MK_RBUTTON | MK_MBUTTON;
// A drag near an edge scrolls at most this often, within these distances of the edges.
constexpr DWORD kScrollInterval = 100;
constexpr int kScrollColumnZone = 26;
constexpr int kScrollLineZone = 20;

}  // namespace

TShellHoverMetrics HoverMetricsFrom(UINT time, UINT width, UINT height) {
  // The system may answer 0, which would open every node a drag passes.
  TShellHoverMetrics metrics;
  if (time) metrics.Time = time;
  if (width) metrics.Width = width;
  if (height) metrics.Height = height;
  return metrics;
}

const TShellHoverMetrics& ShellHoverMetrics() {
  static const TShellHoverMetrics metrics = [] {
    UINT values[3] = {0, 0, 0};
    const UINT asks[3] = {SPI_GETMOUSEHOVERTIME, SPI_GETMOUSEHOVERWIDTH, SPI_GETMOUSEHOVERHEIGHT};
    for (int i = 0; i < 3; ++i)
      if (!SystemParametersInfoA(asks[i], 0, &values[i], 0)) values[i] = 0;
    return HoverMetricsFrom(values[0], values[1], values[2]);
  }();
  return metrics;
}

// ---- Dragging nodes out ----------------------------------------------------------------------

IDropSource* TFcCustomShellTree::CreateDropSource(int button) { return new TDropSource_shlvtv(button); }

void TFcCustomShellTree::BeginNodeDrag(TTreeNode* node, TMouseButton button) {
  if (!options_.Contains(stoOleDrag)) {
    TFcCustomTreeView::BeginNodeDrag(node, button);
    return;
  }
  TFcShellTreeData* data = NodeData(node);
  TFcShellTreeData* parent = data ? data->Parent() : nullptr;
  IShellFolder* folder = parent ? parent->ThisFolder() : nullptr;
  if (!folder) return;
  LPCITEMIDLIST items[] = {data->RelIdList()};
  DWORD allowed = kAllEffects;
  SFGAOF attributes = SFGAO_CANCOPY | SFGAO_CANMOVE | SFGAO_CANLINK;
  if (SUCCEEDED(folder->GetAttributesOf(1, items, &attributes))) allowed = attributes & kAllEffects;
  TComPtr<IDataObject> object(CreateShellDataObject(folder, parent->AbsIdList(), {data->RelIdList()}));
  TComPtr<IDropSource> source(CreateDropSource(button == mbRight ? 1 : button == mbMiddle ? 2 : 0));
  HRESULT hr = S_OK;
  {
    TRestore<TTreeNode*> dragged(draggedNode_, node);
    TRestore<bool> dragging(dragging_, true);
    SetDropTarget(node);
    TScopeExit unmark([this]() noexcept { SetDropTarget(nullptr); });
    DWORD effect = DROPEFFECT_NONE;
    hr = DoDragDrop(object.Get(), source.Get(), allowed, &effect);
  }
  PostMessageA(Handle(), kForgetDropTarget, 0, 0);
  if (hr == DRAGDROP_S_DROP || refreshPending_) RefreshNodes();
}

// ---- Drops on nodes --------------------------------------------------------------------------

void TFcCustomShellTree::RegisterDropTarget(bool on) {
  if (on && !dropTargetRegistered_ && HandleAllocated() && !Designing()) {
    if (!dropTarget_) dropTarget_.Reset(new TDropTarget_shtv(this));
    dropTargetRegistered_ = SUCCEEDED(RegisterDragDrop(Handle(), dropTarget_.Get()));
  } else if (!on && dropTargetRegistered_) {
    RevokeDragDrop(Handle());
    dropTargetRegistered_ = false;
  }
}

HRESULT TFcCustomShellTree::GetNodeDropTarget(TTreeNode* node, IDropTarget** target) {
  *target = nullptr;
  TFcShellTreeData* data = NodeData(node);
  return data ? data->GetDropTarget(OwnerWindow(), target) : E_FAIL;
}

TComPtr<IDropTarget> TFcCustomShellTree::DropTargetAt(POINT client, TTreeNode*& node) {
  node = GetNodeAt(client.x, client.y);
  TComPtr<IDropTarget> target;
  if (node && node->Parent() && NodeData(node)) GetNodeDropTarget(node, target.Out());
  return target;
}

HRESULT TFcCustomShellTree::DragEnter(IDataObject* data, DWORD keyState, POINTL point, DWORD* effect) {
  if (data) data->AddRef();
  dragData_.Reset(data);
  dragKeyState_ = keyState;
  hoverPoint_ = ScreenToClient(POINT{point.x, point.y});
  hoverTick_ = GetTickCount();
  TTreeNode* node = nullptr;
  TComPtr<IDropTarget> target = DropTargetAt(hoverPoint_, node);
  if (!target) {
    *effect = DROPEFFECT_NONE;
    SetDropTarget(draggedNode_);
    return S_OK;
  }
  HRESULT hr = target->DragEnter(data, keyState, point, effect);
  target->DragLeave();
  SetDropTarget(node);
  return hr;
}

HRESULT TFcCustomShellTree::DragOver(DWORD keyState, POINTL point, DWORD* effect) {
  POINT client = ScreenToClient(POINT{point.x, point.y});
  TTreeNode* node = nullptr;
  TComPtr<IDropTarget> target = DropTargetAt(client, node);
  HRESULT hr = S_OK;
  if (target) {
    DWORD allowed = *effect;
    hr = target->DragEnter(dragData_.Get(), keyState, point, effect);
    if (SUCCEEDED(hr)) {
      *effect = allowed;
      hr = target->DragOver(keyState, point, effect);
    }
    target->DragLeave();
  } else {
    *effect = DROPEFFECT_NONE;
    node = draggedNode_;
  }
  if (DropTarget() != node) {
    SetDropTarget(node);
    Update();
  }
  DragScroll(client);
  *effect |= DROPEFFECT_SCROLL;
  return hr;
}

HRESULT TFcCustomShellTree::DragLeave() {
  dragData_.Reset();
  SetDropTarget(nullptr);
  return S_OK;
}

HRESULT TFcCustomShellTree::Drop(IDataObject* data, DWORD keyState, POINTL point, DWORD* effect) {
  TScopeExit release([this]() noexcept {
    dragData_.Reset();
    SetDropTarget(nullptr);
  });
  POINT client = ScreenToClient(POINT{point.x, point.y});
  TTreeNode* node = nullptr;
  TComPtr<IDropTarget> target = DropTargetAt(client, node);
  if (!target) {
    *effect = DROPEFFECT_NONE;
    return S_OK;
  }
  // The buttons are up by now; the drop's target is told which one carried the drag.
  keyState |= dragKeyState_ & kMouseButtons;
  DWORD allowed = *effect;
  HRESULT hr = target->DragEnter(data, keyState, point, effect);
  if (SUCCEEDED(hr)) {
    *effect = allowed;
    hr = target->DragOver(keyState, point, effect);
    if (SUCCEEDED(hr)) {
      *effect &= GetDropEffects(data);
      TTemporaryCursor hourglass(crHourGlass);
      hr = target->Drop(data, keyState, point, effect);
    } else {
      target->DragLeave();
    }
  }
  RefreshNodes();
  return hr;
}

void TFcCustomShellTree::DragScroll(POINT point) {
  DWORD now = GetTickCount();
  if (now - lastScrollTick_ >= kScrollInterval) {
    RECT client = ClientRect();
    bool scrolled = false;
    if (point.x < client.left + kScrollColumnZone || point.x >= client.right - kScrollColumnZone) {
      SendMessageA(Handle(), WM_HSCROLL, point.x < client.left + kScrollColumnZone ? SB_LINELEFT : SB_LINERIGHT, 0);
      scrolled = true;
    }
    if (point.y < client.top + kScrollLineZone || point.y >= client.bottom - kScrollLineZone) {
      SendMessageA(Handle(), WM_VSCROLL, point.y < client.top + kScrollLineZone ? SB_LINEUP : SB_LINEDOWN, 0);
      scrolled = true;
    }
    if (scrolled) {
      lastScrollTick_ = now;
      hoverTick_ = now;
    }
  }
  // A pointer resting on a node opens it.
  const TShellHoverMetrics& hover = ShellHoverMetrics();
  int w = static_cast<int>(hover.Width), h = static_cast<int>(hover.Height);
  RECT still{hoverPoint_.x - w / 2, hoverPoint_.y - h / 2, hoverPoint_.x + w, hoverPoint_.y + h};
  if (!PtInRect(&still, point)) {
    hoverPoint_ = point;
    hoverTick_ = now;
    return;
  }
  if (now - hoverTick_ <= hover.Time) return;
  hoverTick_ = now;
  TTreeNode* node = GetNodeAt(point.x, point.y);
  if (!node || node->Expanded()) return;
  TRestore<int> noOwner(noOwner_, noOwner_ + 1);
  try {
    node->Expand(false);
  } catch (const Exception&) {
    node->SetHasChildren(false);
  }
}
