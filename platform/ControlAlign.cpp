// Alignment of a windowed control's children (units of Controls.h).

#include "platform/Controls.h"

#include <algorithm>

#include "platform/ControlsPrivate.h"
#include "platform/Docking.h"
#include "platform/Forms.h"
#include "platform/Guards.h"
#include "platform/Themes.h"

using namespace ControlsPrivate;

// ---- Alignment ----------------------------------------------------------------------------------

void TWinControl::EnableAlign() {
  if (alignDisabled_ > 0 && --alignDisabled_ == 0) Realign();
}

void TWinControl::Realign() { AlignControl(nullptr); }

void TWinControl::AlignControl(TControl* control) {
  if (alignDisabled_ > 0 || aligning_ || ComponentState().Contains(csLoading) ||
      ComponentState().Contains(csDestroying))
    return;
  bool any = false;
  for (TControl* c : controls_)
    if (c->align_ != alNone) any = true;
  if (!any && !dockManager_) return;
  RECT r = GetClientRect();
  AdjustClientRect(r);
  TRestore<bool> busy(aligning_, true);
  AlignControls(control, r);
  if (dockManager_) dockManager_->ResetBounds(false);
}

void TWinControl::AdjustClientRect(RECT&) {}

void TWinControl::AlignControls(TControl* control, RECT& rect) {
  for (TAlign a : {alTop, alBottom, alLeft, alRight, alClient}) DoAlign(a, rect, control);
}

void TWinControl::DoAlign(TAlign align, RECT& rect, TControl* control) {
  // Controls of one alignment keep the order of their places; the one that asked goes first
  // among equals, so that a control moved over another lands on its side.
  auto before = [align](TControl* a, TControl* b) {
    switch (align) {
      case alTop: return a->top_ < b->top_;
      case alBottom: return a->top_ + a->height_ >= b->top_ + b->height_;
      case alLeft: return a->left_ < b->left_;
      case alRight: return a->left_ + a->width_ >= b->left_ + b->width_;
      default: return false;
    }
  };
  std::vector<TControl*> list;
  if (control && control->parent_ == this && control->align_ == align && control->visible_)
    list.push_back(control);
  for (TControl* c : controls_) {
    if (c == control || c->align_ != align || !c->visible_) continue;
    auto at = list.begin();
    while (at != list.end() && !before(c, *at)) ++at;
    list.insert(at, c);
  }
  for (TControl* c : list) {
    int w = rect.right - rect.left, h = rect.bottom - rect.top;
    switch (align) {
      case alTop:
        c->SetBounds(rect.left, rect.top, w, c->height_);
        rect.top += c->height_;
        break;
      case alBottom:
        c->SetBounds(rect.left, rect.bottom - c->height_, w, c->height_);
        rect.bottom -= c->height_;
        break;
      case alLeft:
        c->SetBounds(rect.left, rect.top, c->width_, h);
        rect.left += c->width_;
        break;
      case alRight:
        c->SetBounds(rect.right - c->width_, rect.top, c->width_, h);
        rect.right -= c->width_;
        break;
      case alClient: c->SetBounds(rect.left, rect.top, w, h); break;
      default: break;
    }
  }
}

void TWinControl::Loaded() {
  TControl::Loaded();
  FixupTabList();
  Realign();
}
