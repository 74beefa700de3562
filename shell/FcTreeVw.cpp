#include "shell/FcTreeVw.h"

#include "platform/Guards.h"
#include "shell/FcShellUtils.h"

// ---- Shared by the framed tree and list views ----------------------------------------------

namespace FcViews {

bool IsContextMenuKey(WORD key, TShiftState shift) {
  TShiftState keys = shift * TShiftState{ssShift, ssAlt, ssCtrl};
  return (key == VK_APPS && keys.Empty()) || (key == VK_F10 && keys == TShiftState{ssShift});
}

int WheelScrollLines() {
  UINT lines = 3;
  if (!SystemParametersInfoA(SPI_GETWHEELSCROLLLINES, 0, &lines, 0)) lines = 3;
  return static_cast<int>(lines);
}

bool IsKeyboardPoint(POINT pos) { return pos.x == -1 && pos.y == -1; }

void PopupAt(TPopupMenu* menu, TControl* control, POINT clientPos) {
  if (!menu) return;
  menu->SetPopupComponent(control);
  POINT screen = control->ClientToScreen(clientPos);
  menu->Popup(screen.x, screen.y);
}

}  // namespace FcViews

using namespace FcViews;

// ---- TFcCustomTreeView ---------------------------------------------------------------------

TMessageTable& TFcCustomTreeView::Messages() {
  static TMessageTable* table = [] {
    auto* t = new TMessageTable(&TInheritedClass::Messages());
    t->Add(WM_PAINT, Handler(&TFcCustomTreeView::WMPaint));
    t->Add(WM_RBUTTONDOWN, Handler(&TFcCustomTreeView::WMRButtonDown));
    t->Add(WM_RBUTTONUP, Handler(&TFcCustomTreeView::WMRButtonUp));
    t->Add(WM_CONTEXTMENU, Handler(&TFcCustomTreeView::WMContextMenu));
    return t;
  }();
  return *table;
}

TFcCustomTreeView::TFcCustomTreeView(TComponent* owner)
    : TFcFramedView<TCustomTreeView>(owner), selectionPen_(std::make_unique<TPen>()) {
  selectionPen_->SetColor(clBtnShadow);
  selectionPen_->OnChange = [this](TObject*) { Invalidate(); };
}

TFcCustomTreeView::~TFcCustomTreeView() { Destroying(); }

void TFcCustomTreeView::CreateParams(TCreateParams& params) {
  TFcFramedView<TCustomTreeView>::CreateParams(params);
  // The tips of older common controls on the NT platform misbehave: they are left off there.
  if (IsWinNTPlatform() && (CommonControlsVersion() >> 32) < 0x00040048) params.Style |= TVS_NOTOOLTIPS;
}

void TFcCustomTreeView::SetSelectionPen(TPen* value) {
  selectionPen_->Assign(value);
  Invalidate();
}

void TFcCustomTreeView::SetSelectOnExpand(bool value) {
  if (value == selectOnExpand_) return;
  selectOnExpand_ = value;
  if (value) TCustomTreeView::SetAutoExpand(false);
}

void TFcCustomTreeView::SetAutoExpand(bool value) {
  TFcFramedView<TCustomTreeView>::SetAutoExpand(value);
  if (value) selectOnExpand_ = false;
}

TTreeNode* TFcCustomTreeView::CurrentNode() const {
  if (!HandleAllocated()) return nullptr;
  if (RightClickSelect() && rightClickedNode_) return rightClickedNode_;
  return Selected();
}

// ---- Painting ------------------------------------------------------------------------------

void TFcCustomTreeView::WMPaint(TWMDC& m) {
  Inherited(m);
  if (HideSelection() || Focused() || m.DC) return;
  TTreeNode* node = CurrentNode();
  if (!node) return;
  RECT r = node->DisplayRect(true);
  if (IsRectEmpty(&r)) return;
  TWindowDC dc(Handle());
  TCanvas canvas;
  TCanvasBinding binding(&canvas, dc);
  canvas.SetPen(selectionPen_.get());
  canvas.Brush()->SetStyle(bsClear);
  canvas.Rectangle(r);
}

// ---- Expansion -----------------------------------------------------------------------------

bool TFcCustomTreeView::CanCollapse(TTreeNode* node) {
  if (selectOnExpand_) node->SetSelected(true);
  return TFcFramedView<TCustomTreeView>::CanCollapse(node);
}

void TFcCustomTreeView::Expand(TTreeNode* node) {
  TFcFramedView<TCustomTreeView>::Expand(node);
  if (selectOnExpand_) node->SetSelected(true);
}

void TFcCustomTreeView::Delete(TTreeNode* node) {
  if (node == rightClickedNode_) rightClickedNode_ = nullptr;
  TFcFramedView<TCustomTreeView>::Delete(node);
}

// ---- Context menus -------------------------------------------------------------------------

void TFcCustomTreeView::DoNodeContextMenu(TTreeNode* node, POINT pos) {
  TPopupMenu* menu = PopupMenu();
  NodeContextMenu(node, pos, menu);
  if (menu != PopupMenu()) menuShown_ = true;
  PopupAt(menu, this, pos);
}

void TFcCustomTreeView::NodeContextMenu(TTreeNode* node, POINT& pos, TPopupMenu*& menu) {
  if (OnNodeContextMenu) OnNodeContextMenu(this, node, pos, menu);
}

void TFcCustomTreeView::ShowContextMenu() {
  if (TTreeNode* node = CurrentNode()) {
    RECT r = node->DisplayRect(true);
    DoNodeContextMenu(node, POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2});
  } else {
    PopupAt(PopupMenu(), this, POINT{0, 0});
  }
}

void TFcCustomTreeView::WMRButtonDown(TWMMouse& m) {
  if (ComponentState().Contains(csDesigning)) {
    Inherited(m);
    return;
  }
  menuShown_ = false;
  ForgetKeyMenu();
  POINT pos = m.Pos;
  TTreeNode* hit = GetNodeAt(pos.x, pos.y);
  TTreeNode* node = hit ? hit : Selected();
  rightClickedNode_ = hit;
  unsigned drags = DragStarts();
  {
    // The system's own handling (the wait for a drag, its right-click notice and its context
    // menu for the parent) comes first; the menu of a node is the tree's own.
    TRestore<bool> onNode(rightClickOnNode_, node != nullptr);
    Inherited(m);
  }
  // A press that became a drag shows no menu; nor does a node the click's handlers deleted.
  if (!node || DragStarts() != drags || (hit && rightClickedNode_ != hit)) {
    rightClickedNode_ = nullptr;
    return;
  }
  TPopupMenu* menu = PopupMenu();
  NodeContextMenu(node, pos, menu);
  PopupAt(menu, this, pos);
  rightClickedNode_ = nullptr;
  menuShown_ = true;
}

void TFcCustomTreeView::WMRButtonUp(TWMMouse& m) {
  // The system's context menu that follows the release of a right click that showed a menu
  // is not the PopupMenu's to show.
  TPopupMenu* menu = menuShown_ ? PopupMenu() : nullptr;
  bool autoPopup = menu && menu->AutoPopup();
  if (menu) menu->SetAutoPopup(false);
  TScopeExit restore([&]() noexcept {
    if (menu) menu->SetAutoPopup(autoPopup);
    menuShown_ = false;
  });
  Inherited(m);
}

void TFcCustomTreeView::WMContextMenu(TWMContextMenu& m) {
  m.Result = 1;
  if (KeyMenuAnswered(m.Pos) || ComponentState().Contains(csDesigning) || rightClickOnNode_ || menuShown_ ||
      CurrentNode())
    return;
  if (IsKeyboardPoint(m.Pos))
    ShowContextMenu();
  else
    DoNodeContextMenu(nullptr, ScreenToClient(m.Pos));
}

// ---- Wheel ---------------------------------------------------------------------------------

bool TFcCustomTreeView::DoMouseWheel(TShiftState shift, int wheelDelta, POINT mousePos) {
  if (TFcFramedView<TCustomTreeView>::DoMouseWheel(shift, wheelDelta, mousePos)) return true;
  int lines = WheelScrollLines();
  int position = GetScrollPos(Handle(), SB_VERT);
  int target = wheelDelta < 0 ? position + lines : position - lines;
  if (wheelDelta < 0 || target >= 0) {
    SendMessageA(Handle(), WM_VSCROLL, MAKEWPARAM(SB_THUMBPOSITION, target), 0);
    SetScrollPos(Handle(), SB_VERT, target, TRUE);
  }
  return true;
}

// ---- Registration --------------------------------------------------------------------------

void RegisterFcTreeVw() {
  static bool done = false;
  if (done) return;
  done = true;
  RegisterComCtrls();
  RegisterFcCommon();
  RegisterClassInfo<TFcCustomTreeView, TCustomTreeView>("TFcCustomTreeView");
  auto builder = RegisterClassInfo<TFcTreeView, TFcCustomTreeView>("TFcTreeView");
  PublishFrameSettings(builder);
  PublishTreeViewProperties(builder)
      .Boolean("SelectOnExpand", &TFcTreeView::SelectOnExpand, &TFcTreeView::SetSelectOnExpand, false)
      .Event("OnNodeContextMenu", InheritedEvent<TFcTreeView>(&TFcTreeView::OnNodeContextMenu));
}
