// What the tree view and the list view share, and their registration (unit of ComCtrls.h).

#include "platform/ComCtrls.h"

#include "platform/ComCtrlsPrivate.h"

const TEnumInfo ViewStyleInfo{"TViewStyle", {"vsIcon", "vsSmallIcon", "vsList", "vsReport"}};
const TEnumInfo ComCtrlsBorderStyleInfo{"TBorderStyle", {"bsNone", "bsSingle"}};

namespace ComCtrlsPrivate {

void InitViewClasses() {
  static const bool done = [] {
    INITCOMMONCONTROLSEX init{};
    init.dwSize = sizeof(init);
    init.dwICC = ICC_TREEVIEW_CLASSES | ICC_LISTVIEW_CLASSES;
    return InitCommonControlsEx(&init) != FALSE;
  }();
  (void)done;
}

void SwapImageList(TComponent* view, TCustomImageList*& field, TChangeLink& link, TCustomImageList* value) {
  if (field) {
    field->UnRegisterChanges(&link);
    field->RemoveFreeNotification(view);
  }
  field = value;
  if (value) {
    value->RegisterChanges(&link);
    value->FreeNotification(view);
  }
}

}  // namespace ComCtrlsPrivate

void RegisterComCtrls() {
  static bool done = false;
  if (done) return;
  done = true;
  RegisterStdCtrls();
  RegisterClassInfo<TCustomTreeView, TWinControl>("TCustomTreeView");
  auto tree = RegisterClassInfo<TTreeView, TCustomTreeView>("TTreeView");
  tree.Color("Color", &TTreeView::Color, &TTreeView::SetColor, clWindow)
      .StoredIf([](TTreeView* t) { return !t->ParentColor(); })
      .Boolean("ParentColor", &TTreeView::ParentColor, &TTreeView::SetParentColor, false);
  PublishTreeViewProperties(tree);
  RegisterClassInfo<TIconOptions, TPersistent>("TIconOptions")
      .Boolean("AutoArrange", &TIconOptions::AutoArrange, &TIconOptions::SetAutoArrange, false);
  RegisterClassInfo<TCustomListView, TWinControl>("TCustomListView");
  auto list = RegisterClassInfo<TListView, TCustomListView>("TListView");
  list.Color("Color", &TListView::Color, &TListView::SetColor, clWindow)
      .StoredIf([](TListView* l) { return !l->ParentColor(); })
      .Boolean("ParentColor", &TListView::ParentColor, &TListView::SetParentColor, false);
  PublishListViewProperties(list);
}
