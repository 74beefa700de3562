// The framed tree view the shell tree is built on: the library's frame and colour settings
// with a frame of its own over the border, context menus that name the node under the click,
// the keyboard's menu keys, wheel scrolling, an outline around the selection while the tree
// has no focus, and selection on expansion. Also what it shares with the framed list view.
//
// Index: shared by both views · TFcCustomTreeView / TFcTreeView · registration.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>

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
bool IsKeyboardPoint(LPARAM pos);
// A colour that names one of the system's (its top byte is 0xFF).
inline bool IsSystemColor(TColor color) { return (static_cast<unsigned>(color) >> 24) == 0xFF; }
// Pops `menu` up at the client point of `control`, naming the control as its component.
void PopupAt(TPopupMenu* menu, TControl* control, POINT clientPos);

// Paints the control's frame over its window's border (after the system's non-client
// painting): FrameHotStyle in FrameHotColor while the frame is hot, else FrameStyle in
// FrameColor, around the current Color. Nothing when the frame is hidden or themed.
template <class C>
void PaintViewFrame(C* control, TCanvas* canvas, bool hot) {
  if (!control->FrameVisible() || control->ThemedFramed() || !control->HandleAllocated()) return;
  RECT r;
  GetWindowRect(control->Handle(), &r);
  TWindowDC dc(control->Handle(), true);
  TCanvasBinding binding(canvas, dc);
  PaintNonClientFrame(canvas, r.right - r.left, r.bottom - r.top, false, control->FrameSides(),
                      hot ? control->FrameHotColor() : control->FrameColor(), control->Color(),
                      hot ? control->FrameHotStyle() : control->FrameStyle());
}

}  // namespace FcViews

// ---- TFcCustomTreeView ---------------------------------------------------------------------

// Asked before a node's context menu shows: `node` is the node it is for (nullptr for none),
// `pos` the client point it shows at and `menu` the menu (the tree's PopupMenu at first);
// the handler may change both, and a menu set to nullptr shows nothing.
using TFcTvOnNodeContextMenuEvent =
    std::function<void(TObject* sender, TTreeNode* node, POINT& pos, TPopupMenu*& menu)>;

class TFcCustomTreeView : public TFcFramedControl<TCustomTreeView> {
 public:
  explicit TFcCustomTreeView(TComponent* owner);
  ~TFcCustomTreeView() override;

  static TMessageTable& Messages();
  const TMessageTable& ClassMessages() const override { return Messages(); }

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
  // The mouse is over the control.
  bool MouseOver() const { return mouseOver_; }

  void Loaded() override;

  TFcTvOnNodeContextMenuEvent OnNodeContextMenu;

 protected:
  void CreateParams(TCreateParams& params) override;
  // Notes the mouse's being over the control when `hasMouseOver`, repaints a hot-tracked
  // frame and shows the colour of the control's state.
  virtual void UpdateFrameState(bool hasMouseOver, bool mouseOver);
  // The context menu of a node (nullptr: of the tree) at the client point: OnNodeContextMenu
  // with PopupMenu, then the menu it leaves.
  virtual void DoNodeContextMenu(TTreeNode* node, POINT pos);

  void DoEnter() override;
  void DoExit() override;
  void MouseEnter() override;
  void MouseLeave() override;
  void Resize() override;
  void KeyDown(WORD& key, TShiftState shift) override;
  void KeyUp(WORD& key, TShiftState shift) override;
  // Scrolls by the system's wheel lines; the wheel is always taken.
  bool DoMouseWheel(TShiftState shift, int wheelDelta, POINT mousePos) override;
  bool CanCollapse(TTreeNode* node) override;
  void Expand(TTreeNode* node) override;
  void Delete(TTreeNode* node) override;

  void WMNCPaint(TMessage& m);
  void WMPaint(TMessage& m);
  void WMRButtonDown(TMessage& m);
  void WMRButtonUp(TMessage& m);
  void WMContextMenu(TMessage& m);
  void CMSysColorChange(TMessage& m);

 private:
  bool FrameIsHot() const { return FrameHotTrack() && (InControl() || mouseOver_); }

  std::unique_ptr<TPen> selectionPen_;
  std::unique_ptr<TCanvas> frameCanvas_;
  bool selectOnExpand_ = false;
  bool mouseOver_ = false;
  TTreeNode* rightClickedNode_ = nullptr;
  // A right click has shown a menu; the system's own context menu after it is not shown.
  bool menuShown_ = false;
  // A right click on a node is being handled: the node's menu is the tree's own.
  bool rightClickOnNode_ = false;
  // The key whose release belongs to a context menu already shown.
  WORD menuKey_ = 0;
  // The keyboard's menu key showed a menu; the system's own request that follows is answered.
  bool keyMenuShown_ = false;
};

class TFcTreeView : public TFcCustomTreeView {
 public:
  using TFcCustomTreeView::TFcCustomTreeView;
};

// Registers TFcTreeView (and what it stands on) for stored layouts. Once is enough.
void RegisterFcTreeVw();
