// The framed tree view the shell tree is built on: the library's frame and colour settings
// with a frame of its own over the border, context menus that name the node under the click,
// the keyboard's menu keys, wheel scrolling, an outline around the selection while the tree
// has no focus, and selection on expansion. Also what it shares with the framed list view.
//
// Index: shared by both views (helpers, TFcFramedView) · TFcCustomTreeView / TFcTreeView ·
// registration.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <utility>

#include "controls/FcCommon.h"
#include "platform/ComCtrls.h"
#include "platform/Menus.h"

// ---- Shared by the framed tree and list views ----------------------------------------------

namespace FcViews {

// The Apps key alone or Shift+F10: the keyboard asks for a context menu.
bool IsContextMenuKey(WORD key, TShiftState shift);
// The lines the system scrolls for one notch of the wheel.
int WheelScrollLines();
// The keyboard's context menus come without a point (-1, -1).
bool IsKeyboardPoint(POINT pos);
// A colour that names one of the system's (its top byte is 0xFF).
inline bool IsSystemColor(TColor color) { return (static_cast<unsigned>(color) >> 24) == 0xFF; }
// Pops `menu` up at the client point of `control`, naming the control as its component.
void PopupAt(TPopupMenu* menu, TControl* control, POINT clientPos);

}  // namespace FcViews

// What the framed tree and list views share on top of the framed-control settings: the frame
// painted over the window's border, the keyboard's menu keys, and the system colours taken
// again when they change.
template <class TBase>
class TFcFramedView : public TFcFramedControl<TBase> {
  MESSAGE_TABLE(TFcFramedControl<TBase>)

 public:
  using TFcFramedControl<TBase>::TFcFramedControl;

 protected:
  // The keyboard asks for the context menu (the Apps key alone, or Shift+F10).
  virtual void ShowKeyboardContextMenu() = 0;
  // True, once, for the system's own request of the menu the keyboard's menu key showed.
  bool KeyMenuAnswered(POINT pos) {
    return FcViews::IsKeyboardPoint(pos) && std::exchange(keyMenuShown_, false);
  }
  void ForgetKeyMenu() { keyMenuShown_ = false; }

  void KeyDown(WORD& key, TShiftState shift) override {
    keyMenuShown_ = false;
    if (!this->ComponentState().Contains(csDesigning) && FcViews::IsContextMenuKey(key, shift)) {
      menuKey_ = key;
      key = 0;
      ShowKeyboardContextMenu();
      // The system asks for the keyboard's menu once more when the key is let go.
      keyMenuShown_ = true;
      return;
    }
    TFcFramedControl<TBase>::KeyDown(key, shift);
  }
  void KeyUp(WORD& key, TShiftState shift) override {
    if (key == menuKey_) {
      menuKey_ = 0;
      key = 0;
      return;
    }
    TFcFramedControl<TBase>::KeyUp(key, shift);
  }

  void WMNCPaint(TMessage& m) {
    Inherited(m);
    this->PaintWindowFrame();
    m.Result = 0;
  }
  void CMSysColorChange(TMessage& m) {
    Inherited(m);
    // A system colour may have a new value: the window is told it again.
    if (FcViews::IsSystemColor(this->Color())) this->Perform(CM_COLORCHANGED);
  }

 private:
  // The key whose release belongs to a context menu already shown.
  WORD menuKey_ = 0;
  // The keyboard's menu key showed a menu; the system's own request that follows is answered.
  bool keyMenuShown_ = false;
};

template <class TBase>
TMessageTable& TFcFramedView<TBase>::Messages() {
  static TMessageTable* table = [] {
    auto* t = new TMessageTable(&TFcFramedView::TInheritedClass::Messages());
    t->Add(WM_NCPAINT, Handler(&TFcFramedView::WMNCPaint));
    t->Add(CM_SYSCOLORCHANGE, Handler(&TFcFramedView::CMSysColorChange));
    return t;
  }();
  return *table;
}

// ---- TFcCustomTreeView ---------------------------------------------------------------------

// Asked before a node's context menu shows: `node` is the node it is for (nullptr for none),
// `pos` the client point it shows at and `menu` the menu (the tree's PopupMenu at first);
// the handler may change both, and a menu set to nullptr shows nothing.
using TFcTvOnNodeContextMenuEvent =
    std::function<void(TObject* sender, TTreeNode* node, POINT& pos, TPopupMenu*& menu)>;

class TFcCustomTreeView : public TFcFramedView<TCustomTreeView> {
  MESSAGE_TABLE(TFcFramedView<TCustomTreeView>)

 public:
  explicit TFcCustomTreeView(TComponent* owner);
  ~TFcCustomTreeView() override;

  // Outlines the selection's text while the tree has no focus (and HideSelection is off);
  // setting it copies the pen.
  TPen* SelectionPen() const { return selectionPen_.get(); }
  void SetSelectionPen(TPen* value);
  // Collapsing a node first selects it, expanding selects it afterwards. Turning it on turns
  // AutoExpand off, and the other way round.
  bool SelectOnExpand() const { return selectOnExpand_; }
  virtual void SetSelectOnExpand(bool value);
  void SetAutoExpand(bool value) override;

  // The node the context menus are for: the node last right-clicked while RightClickSelect
  // is on, else the selected node; nullptr without a window.
  TTreeNode* CurrentNode() const;
  // The keyboard's context menu: the current node's, at the centre of its text; else the
  // tree's PopupMenu at the client origin.
  void ShowContextMenu();
  TFcTvOnNodeContextMenuEvent OnNodeContextMenu;

 protected:
  void CreateParams(TCreateParams& params) override;
  void ShowKeyboardContextMenu() override { ShowContextMenu(); }
  // The context menu of a node (nullptr: of the tree) at the client point: OnNodeContextMenu
  // with PopupMenu, then the menu it leaves.
  virtual void DoNodeContextMenu(TTreeNode* node, POINT pos);
  // Asked for every node menu, from the mouse and the keyboard: OnNodeContextMenu. A
  // descendant may show a menu of its own and set `menu` to nullptr.
  virtual void NodeContextMenu(TTreeNode* node, POINT& pos, TPopupMenu*& menu);

  // Scrolls by the system's wheel lines; the wheel is always taken.
  bool DoMouseWheel(TShiftState shift, int wheelDelta, POINT mousePos) override;
  bool CanCollapse(TTreeNode* node) override;
  void Expand(TTreeNode* node) override;
  void Delete(TTreeNode* node) override;

  void WMPaint(TWMDC& m);
  void WMRButtonDown(TWMMouse& m);
  void WMRButtonUp(TWMMouse& m);
  void WMContextMenu(TWMContextMenu& m);

 private:
  std::unique_ptr<TPen> selectionPen_;
  bool selectOnExpand_ = false;
  TTreeNode* rightClickedNode_ = nullptr;
  // A right click has shown a menu; the system's own context menu after it is not shown.
  bool menuShown_ = false;
  // A right click on a node is being handled: the node's menu is the tree's own.
  bool rightClickOnNode_ = false;
};

class TFcTreeView : public TFcCustomTreeView {
 public:
  using TFcCustomTreeView::TFcCustomTreeView;
};

// Registers TFcTreeView (and what it stands on) for stored layouts. Once is enough.
void RegisterFcTreeVw();
