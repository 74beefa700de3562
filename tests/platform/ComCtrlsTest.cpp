#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "ControlTestSupport.h"
#include "EventLog.h"
#include "platform/ComCtrls.h"
#include "platform/Forms.h"
#include "platform/Menus.h"
#include "platform/Themes.h"

namespace {

// An image list of solid squares, one colour each.
void FillSolidImages(TImageList& list, std::initializer_list<TColor> colors) {
  list.SetWidth(16);
  list.SetHeight(16);
  list.SetMasked(false);
  for (TColor color : colors) {
    TBitmap square(16, 16);
    square.Canvas()->Brush()->SetColor(color);
    square.Canvas()->FillRect(RECT{0, 0, 16, 16});
    list.Add(&square, nullptr);
  }
}

class ViewForm : public ShownFormTest {
 protected:
  void SetUp() override {
    RegisterComCtrls();
    ShownFormTest::SetUp();
  }
};

// The texts of a tree's top-level nodes in the window's order.
std::vector<std::string> WindowOrder(TCustomTreeView* tree, HTREEITEM parent) {
  std::vector<std::string> texts;
  HWND wnd = tree->Handle();
  auto item = reinterpret_cast<HTREEITEM>(
      parent ? SendMessageA(wnd, TVM_GETNEXTITEM, TVGN_CHILD, reinterpret_cast<LPARAM>(parent))
             : SendMessageA(wnd, TVM_GETNEXTITEM, TVGN_ROOT, 0));
  for (; item; item = reinterpret_cast<HTREEITEM>(SendMessageA(wnd, TVM_GETNEXTITEM, TVGN_NEXT, reinterpret_cast<LPARAM>(item)))) {
    char text[64] = {};
    TVITEMA query{};
    query.mask = TVIF_TEXT | TVIF_HANDLE;
    query.hItem = item;
    query.pszText = text;
    query.cchTextMax = sizeof(text);
    SendMessageA(wnd, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&query));
    texts.push_back(text);
  }
  return texts;
}

std::vector<std::string> Texts(const std::vector<TTreeNode*>& nodes) {
  std::vector<std::string> texts;
  for (TTreeNode* n : nodes) texts.push_back(n->Text());
  return texts;
}

std::vector<TTreeNode*> Children(TTreeNode* parent) {
  std::vector<TTreeNode*> nodes;
  for (TTreeNode* n = parent->GetFirstChild(); n; n = n->GetNextSibling()) nodes.push_back(n);
  return nodes;
}

// The list's text of a cell as the window shows it.
std::string CellText(TCustomListView* list, int item, int column) {
  char text[64] = {};
  LVITEMA query{};
  query.iSubItem = column;
  query.pszText = text;
  query.cchTextMax = sizeof(text);
  SendMessageA(list->Handle(), LVM_GETITEMTEXTA, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&query));
  return text;
}

std::vector<std::string> Captions(TCustomListView* list) {
  std::vector<std::string> captions;
  for (int i = 0; i < list->Items()->Count(); ++i) captions.push_back(list->Items()->Item(i)->Caption());
  return captions;
}

}  // namespace

// ---- Tree view -------------------------------------------------------------------------------

TEST_F(ViewForm, ALazyNodeGetsItsChildrenWhenItOpensFromCodeOrFromTheKeyboard) {
  auto* tree = Make<TTreeView>(8, 8, 200, 200);
  TTreeNode* fromCode = tree->Items()->AddChild(nullptr, "from code");
  TTreeNode* fromKeys = tree->Items()->AddChild(nullptr, "from keys");
  TTreeNode* refused = tree->Items()->AddChild(nullptr, "refused");
  for (TTreeNode* n : {fromCode, fromKeys, refused}) n->SetHasChildren(true);
  TEventLog asked;
  tree->OnExpanding = [&](TObject*, TTreeNode* node, bool& allow) {
    asked.Note(node->Text());
    if (node == refused) {
      allow = false;
      return;
    }
    if (node->Count() == 0) tree->Items()->AddChild(node, node->Text() + " child");
  };
  TEventLog expanded;
  tree->OnExpanded = [&](TObject*, TTreeNode* node) { expanded.Note(node->Text()); };

  fromCode->Expand(false);
  tree->SetSelected(fromKeys);
  tree->SetFocus();
  SendMessageA(tree->Handle(), WM_KEYDOWN, VK_RIGHT, 0);
  refused->Expand(false);
  Pump();

  EXPECT_EQ(asked, (TEvents{"from code", "from keys", "refused"}));
  EXPECT_EQ(expanded, (TEvents{"from code", "from keys"}));
  for (TTreeNode* n : {fromCode, fromKeys}) {
    EXPECT_TRUE(n->Expanded()) << n->Text();
    ASSERT_EQ(n->Count(), 1) << n->Text();
    EXPECT_EQ(WindowOrder(tree, n->ItemId()), (std::vector<std::string>{n->Text() + " child"}));
  }
  EXPECT_FALSE(refused->Expanded());
  EXPECT_EQ(refused->Count(), 0);
}

TEST_F(ViewForm, ATreeDrawsTheImageItsCallbackChoosesWhenTheNodeIsDrawn) {
  SetVisualStyles(TVisualStyles::vsOff);
  TImageList images(nullptr);
  FillSolidImages(images, {clRed, clLime, clBlue});
  auto* tree = Make<TTreeView>(8, 8, 200, 120);
  tree->SetImages(&images);
  TTreeNode* first = tree->Items()->AddChild(nullptr, "first");
  TTreeNode* second = tree->Items()->AddChild(nullptr, "second");
  int asked = 0;
  // The images are found late: only when a node is drawn.
  tree->OnGetImageIndex = [&](TObject*, TTreeNode* node) {
    ++asked;
    node->SetImageIndex(node == first ? 2 : 1);
  };
  tree->OnGetSelectedIndex = [&](TObject*, TTreeNode* node) { node->SetSelectedIndex(0); };
  tree->SetSelected(nullptr);
  auto shot = PaintToBitmap(tree);
  EXPECT_GT(asked, 0);
  for (auto [node, color] : {std::pair{first, clBlue}, std::pair{second, clLime}}) {
    RECT row = node->DisplayRect(false);
    RECT text = node->DisplayRect(true);
    int y = (row.top + row.bottom) / 2;
    RECT iconArea{0, y, text.left, y + 1};
    EXPECT_GT(CountPixels(*shot, iconArea, color), 4) << node->Text();
  }
}

TEST_F(ViewForm, AnEditedTextReachesTheNodeThroughOnEditedAndACancelLeavesIt) {
  auto* tree = Make<TTreeView>(8, 8, 200, 120);
  TTreeNode* node = tree->Items()->AddChild(nullptr, "Old name");
  TTreeNode* locked = tree->Items()->AddChild(nullptr, "Locked");
  tree->OnEditing = [&](TObject*, TTreeNode* n, bool& allow) { allow = n != locked; };
  std::string offered;
  tree->OnEdited = [&](TObject*, TTreeNode*, std::string& text) {
    offered = text;
    text += "!";
  };

  EXPECT_FALSE(locked->EditText());
  ASSERT_TRUE(node->EditText());
  ASSERT_TRUE(tree->IsEditing());
  SetWindowTextA(tree->EditHandle(), "New name");
  node->EndEdit(false);
  EXPECT_FALSE(tree->IsEditing());
  EXPECT_EQ(offered, "New name");
  EXPECT_EQ(node->Text(), "New name!");
  EXPECT_EQ(WindowOrder(tree, nullptr)[0], "New name!");

  offered.clear();
  ASSERT_TRUE(node->EditText());
  SetWindowTextA(tree->EditHandle(), "Dropped");
  node->EndEdit(true);
  EXPECT_EQ(offered, "");
  EXPECT_EQ(node->Text(), "New name!");

  tree->SetReadOnly(true);
  EXPECT_FALSE(node->EditText());
}

TEST_F(ViewForm, SortingReordersTheNodesInTheWindowAndInTheTreeAlike) {
  auto* tree = Make<TTreeView>(8, 8, 200, 200);
  TTreeNode* parent = nullptr;
  for (const char* text : {"delta", "Alpha", "charlie", "Bravo"}) {
    TTreeNode* n = tree->Items()->AddChild(nullptr, text);
    if (!parent) parent = n;
  }
  for (const char* text : {"z", "x", "y"}) tree->Items()->AddChild(parent, text);

  tree->AlphaSort(true);
  std::vector<std::string> roots{"Alpha", "Bravo", "charlie", "delta"};
  EXPECT_EQ(WindowOrder(tree, nullptr), roots);
  std::vector<TTreeNode*> top;
  for (TTreeNode* n = tree->Items()->GetFirstNode(); n; n = n->GetNextSibling()) top.push_back(n);
  EXPECT_EQ(Texts(top), roots);
  EXPECT_EQ(Texts(Children(parent)), (std::vector<std::string>{"x", "y", "z"}));
  EXPECT_EQ(WindowOrder(tree, parent->ItemId()), (std::vector<std::string>{"x", "y", "z"}));

  // By length, longest first; equal lengths keep no promised order.
  parent->CustomSort([](TTreeNode* a, TTreeNode* b) { return b->Text().size() < a->Text().size() ? -1 : 1; });
  tree->CustomSort([](TTreeNode* a, TTreeNode* b) {
    return static_cast<int>(b->Text().size()) - static_cast<int>(a->Text().size());
  });
  EXPECT_EQ(tree->Items()->GetFirstNode()->Text(), "charlie");
  EXPECT_EQ(WindowOrder(tree, nullptr)[0], "charlie");
}

TEST_F(ViewForm, ANewWindowShowsTheNodesWithTheirSelectionExpansionAndTicks) {
  auto* tree = Make<TTreeView>(8, 8, 200, 200);
  tree->SetCheckBoxes(true);
  TTreeNode* a = tree->Items()->AddChild(nullptr, "a");
  TTreeNode* a1 = tree->Items()->AddChild(a, "a1");
  TTreeNode* b = tree->Items()->AddChild(nullptr, "b");
  a->Expand(false);
  b->SetChecked(true);
  tree->SetSelected(a1);
  int changes = 0;
  tree->OnChange = [&](TObject*, TTreeNode*) { ++changes; };
  TEventLog deleted;
  tree->OnDeletion = [&](TObject*, TTreeNode* n) { deleted.Note(n->Text()); };

  tree->RecreateWnd();

  EXPECT_EQ(WindowOrder(tree, nullptr), (std::vector<std::string>{"a", "b"}));
  EXPECT_EQ(WindowOrder(tree, a->ItemId()), (std::vector<std::string>{"a1"}));
  EXPECT_TRUE(a->Expanded());
  EXPECT_TRUE(b->Checked());
  EXPECT_FALSE(a->Checked());
  EXPECT_EQ(tree->Selected(), a1);
  // The nodes were never deleted, and the restored selection is no change.
  EXPECT_TRUE(deleted.Empty());
  EXPECT_EQ(changes, 0);
}

TEST_F(ViewForm, DeletingANodeTellsOfItsChildrenFirstAndClearingTellsOfAll) {
  auto* tree = Make<TTreeView>(8, 8, 200, 200);
  TTreeNode* a = tree->Items()->AddChild(nullptr, "a");
  tree->Items()->AddChild(a, "a1");
  TTreeNode* a2 = tree->Items()->AddChild(a, "a2");
  tree->Items()->AddChild(a2, "a2x");
  tree->Items()->AddChild(nullptr, "b");
  TEventLog deleted;
  tree->OnDeletion = [&](TObject*, TTreeNode* n) { deleted.Note(n->Text()); };

  a2->Delete();
  EXPECT_EQ(deleted, (TEvents{"a2x", "a2"}));
  EXPECT_EQ(WindowOrder(tree, a->ItemId()), (std::vector<std::string>{"a1"}));
  a->GetFirstChild()->Delete();
  // A node left without children shows no button.
  EXPECT_FALSE(a->HasChildren());

  deleted.Clear();
  tree->Items()->Clear();
  EXPECT_EQ(deleted, (TEvents{"a", "b"}));
  EXPECT_EQ(tree->Items()->Count(), 0);
  EXPECT_TRUE(WindowOrder(tree, nullptr).empty());
}

TEST_F(ViewForm, OnlyAnAutomaticDragModeLetsTheWindowStartNodeDrags) {
  auto* tree = Make<TTreeView>(8, 8, 200, 200);
  auto style = [&] { return GetWindowLongPtrA(tree->Handle(), GWL_STYLE) & TVS_DISABLEDRAGDROP; };
  EXPECT_NE(style(), 0);
  tree->SetDragMode(dmAutomatic);
  EXPECT_EQ(style(), 0);
  tree->SetDragMode(dmManual);
  EXPECT_NE(style(), 0);
}

// ---- Context menus -------------------------------------------------------------------------

TEST_F(ViewForm, AContextMenuSentToTheParentForAChildReachesTheChildsPopupMenuOnce) {
  auto* tree = Make<TTreeView>(8, 8, 200, 200);
  auto* plain = Make<TTreeView>(220, 8, 100, 100);
  TRecordingMenu treeMenu(nullptr), formMenu(nullptr);
  tree->SetPopupMenu(&treeMenu);
  form_->SetPopupMenu(&formMenu);
  HWND formWnd = form_->Handle();

  // As the system's tree view does on a right click: straight to the parent.
  SendMessageA(formWnd, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(tree->Handle()), MAKELPARAM(100, 120));
  ASSERT_EQ(treeMenu.shown.size(), 1u);
  EXPECT_EQ(treeMenu.shown[0].x, 100);
  EXPECT_EQ(treeMenu.shown[0].y, 120);
  EXPECT_EQ(treeMenu.PopupComponent(), tree);
  EXPECT_TRUE(formMenu.shown.empty());

  // From the keyboard (no point) the menu shows at the control's client origin.
  SendMessageA(tree->Handle(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(tree->Handle()), -1);
  ASSERT_EQ(treeMenu.shown.size(), 2u);
  POINT origin = tree->ClientToScreen(POINT{0, 0});
  EXPECT_EQ(treeMenu.shown[1].x, origin.x);
  EXPECT_EQ(treeMenu.shown[1].y, origin.y);

  // A control without a menu of its own passes it to its parent, which shows its own once.
  SendMessageA(formWnd, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(plain->Handle()), MAKELPARAM(300, 60));
  EXPECT_EQ(formMenu.shown.size(), 1u);
  EXPECT_EQ(formMenu.PopupComponent(), form_.get());

  // A menu that does not pop up by itself is left alone.
  treeMenu.SetAutoPopup(false);
  SendMessageA(formWnd, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(tree->Handle()), MAKELPARAM(100, 120));
  EXPECT_EQ(treeMenu.shown.size(), 2u);
  EXPECT_EQ(formMenu.shown.size(), 2u);
}

// ---- List view -------------------------------------------------------------------------------

namespace {

// A list whose second column is computed when the window asks for it.
class TSizeList : public TListView {
 public:
  using TListView::TListView;
  int asked = 0;

 protected:
  void GetItemText(TListItem* item, int column, std::string& text) override {
    ++asked;
    if (column == 1)
      text = IntToStr(static_cast<long long>(item->Caption().size())) + " letters";
    else
      TListView::GetItemText(item, column, text);
  }
};

}  // namespace

TEST_F(ViewForm, AReportListShowsItsTextsWhenTheWindowAsksForThem) {
  auto* list = Make<TSizeList>(8, 8, 400, 200);
  list->SetViewStyle(vsReport);
  for (const char* caption : {"Name", "Size", "Type"}) {
    TListColumn* column = list->Columns()->Add();
    column->SetCaption(caption);
    column->SetWidth(90);
  }
  list->Columns()->Items(1)->SetAlignment(taRightJustify);
  TListItem* pier = list->Items()->Add();
  pier->SetCaption("pier");
  pier->AddSubItem("");
  pier->AddSubItem("map");
  TListItem* bare = list->Items()->Add();
  bare->SetCaption("arena");

  EXPECT_EQ(CellText(list, 0, 0), "pier");
  EXPECT_EQ(CellText(list, 0, 1), "4 letters");
  EXPECT_EQ(CellText(list, 0, 2), "map");
  EXPECT_GT(list->asked, 0);
  // An item without sub-items shows nothing in their columns.
  EXPECT_EQ(CellText(list, 1, 2), "");
  pier->SetSubItem(1, "level");
  EXPECT_EQ(CellText(list, 0, 2), "level");

  HWND header = list->HeaderHandle();
  ASSERT_NE(header, nullptr);
  EXPECT_EQ(SendMessageA(header, HDM_GETITEMCOUNT, 0, 0), 3);
  SendMessageA(list->Handle(), LVM_SETCOLUMNWIDTH, 2, 120);
  EXPECT_EQ(list->Columns()->Items(2)->Width(), 120);
}

TEST_F(ViewForm, SortingAListMovesItsItemsInTheWindowAndRenumbersThem) {
  auto* list = Make<TListView>(8, 8, 300, 200);
  list->SetViewStyle(vsReport);
  list->Columns()->Add()->SetWidth(120);
  for (const char* caption : {"tower", "Arena", "pier"}) list->Items()->Add()->SetCaption(caption);
  TListItem* tower = list->Items()->Item(0);
  tower->SetSelected(true);

  list->AlphaSort();
  EXPECT_EQ(Captions(list), (std::vector<std::string>{"Arena", "pier", "tower"}));
  EXPECT_EQ(tower->Index(), 2);
  EXPECT_EQ(CellText(list, 2, 0), "tower");
  EXPECT_EQ(list->Selected(), tower);

  list->CustomSort([](TListItem* a, TListItem* b) { return AnsiCompareText(b->Caption(), a->Caption()); });
  EXPECT_EQ(Captions(list), (std::vector<std::string>{"tower", "pier", "Arena"}));
  EXPECT_EQ(CellText(list, 0, 0), "tower");
  EXPECT_EQ(list->Items()->IndexOf(tower), 0);
}

TEST_F(ViewForm, AListEditStartedFromCodeIsMarkedAndItsTextReachesTheItem) {
  class TEditList : public TListView {
   public:
    using TListView::TListView;
    std::vector<bool> fromCode;

   protected:
    bool CanEdit(TListItem* item) override {
      fromCode.push_back(EditingFromCode());
      return TListView::CanEdit(item);
    }
  };
  auto* list = Make<TEditList>(8, 8, 300, 200);
  list->SetViewStyle(vsList);
  TListItem* item = list->Items()->Add();
  item->SetCaption("arena");
  std::string offered;
  list->OnEdited = [&](TObject*, TListItem*, std::string& text) { offered = text; };

  ASSERT_TRUE(item->EditCaption());
  SetWindowTextA(list->EditHandle(), "tower");
  SendMessageA(list->EditHandle(), WM_KEYDOWN, VK_RETURN, 0);
  Pump();
  EXPECT_FALSE(list->IsEditing());
  EXPECT_EQ(offered, "tower");
  EXPECT_EQ(item->Caption(), "tower");
  EXPECT_EQ(CellText(list, 0, 0), "tower");
  EXPECT_EQ(list->fromCode, std::vector<bool>{true});
}

TEST_F(ViewForm, ACheckChangeIsOfferedToOnChangingAndARefusalKeepsTheBox) {
  auto* list = Make<TListView>(8, 8, 300, 200);
  list->SetViewStyle(vsReport);
  list->SetCheckboxes(true);
  list->Columns()->Add()->SetWidth(120);
  TListItem* item = list->Items()->Add();
  item->SetCaption("pier");
  bool allow = false;
  std::vector<TItemChange> offered;
  list->OnChanging = [&](TObject*, TListItem*, TItemChange change, bool& allowChange) {
    offered.push_back(change);
    allowChange = allow;
  };
  item->SetChecked(true);
  EXPECT_FALSE(item->Checked());
  EXPECT_EQ(offered, std::vector<TItemChange>{ctState});
  allow = true;
  item->SetChecked(true);
  EXPECT_TRUE(item->Checked());

  offered.clear();
  list->RecreateWnd();
  EXPECT_TRUE(item->Checked());
  EXPECT_EQ(CellText(list, 0, 0), "pier");
  // Putting the item back is no change.
  EXPECT_TRUE(offered.empty());
}

TEST_F(ViewForm, ACustomDrawnItemTakesTheBackgroundItsHandlerChooses) {
  SetVisualStyles(TVisualStyles::vsOff);
  auto* list = Make<TListView>(8, 8, 300, 200);
  list->SetViewStyle(vsReport);
  list->Columns()->Add()->SetWidth(150);
  for (const char* caption : {"pier", "arena"}) list->Items()->Add()->SetCaption(caption);
  list->OnCustomDrawItem = [&](TObject*, TListItem* item, TCustomDrawState, bool&) {
    if (item->Index() == 1) list->Canvas()->Brush()->SetColor(clYellow);
  };
  auto shot = PaintToBitmap(list);
  RECT first = list->Items()->Item(0)->DisplayRect(drLabel);
  RECT second = list->Items()->Item(1)->DisplayRect(drLabel);
  EXPECT_GT(CountPixels(*shot, second, clYellow), 20);
  EXPECT_EQ(CountPixels(*shot, first, clYellow), 0);
}

TEST_F(ViewForm, TheHeaderIsHookedOnceAndItsNoticesArriveInEitherForm) {
  class THeaderList : public TListView {
   public:
    using TListView::TListView;
    int headerPaints = 0;
    std::vector<std::pair<THeaderNotification, int>> notices;
    void HookAgain() { HookHeader(); }

   protected:
    void HeaderWndProc(TMessage& m) override {
      if (m.Msg == WM_PAINT) ++headerPaints;
      TListView::HeaderWndProc(m);
    }
    // The list answers some notices by changing the header: those changes are left out.
    void HeaderNotify(THeaderNotification notification, int column) override {
      if (notification != hnItemChanged) notices.emplace_back(notification, column);
    }
  };
  auto* list = Make<THeaderList>(8, 8, 300, 200);
  list->SetViewStyle(vsReport);
  for (int i = 0; i < 2; ++i) list->Columns()->Add()->SetWidth(100);
  std::vector<int> clicked;
  list->OnColumnClick = [&](TObject*, TListColumn* column) { clicked.push_back(column->Index()); };
  HWND header = list->HeaderHandle();
  list->HookAgain();

  list->headerPaints = 0;
  InvalidateRect(header, nullptr, TRUE);
  UpdateWindow(header);
  EXPECT_EQ(list->headerPaints, 1);

  // The header's own notices, as the header sends them to the list (which answers a click
  // with a column click, whichever form it came in).
  for (UINT code : {HDN_ITEMCLICKW, HDN_ITEMCLICKA, HDN_DIVIDERDBLCLICKW, HDN_BEGINTRACKA}) {
    NMHEADERW notice{};
    notice.hdr.hwndFrom = header;
    notice.hdr.idFrom = static_cast<UINT_PTR>(GetDlgCtrlID(header));
    notice.hdr.code = code;
    notice.iItem = 1;
    SendMessageA(list->Handle(), WM_NOTIFY, notice.hdr.idFrom, reinterpret_cast<LPARAM>(&notice));
  }
  using N = std::pair<THeaderNotification, int>;
  EXPECT_EQ(list->notices,
            (std::vector<N>{{hnItemClick, 1}, {hnItemClick, 1}, {hnDividerDblClick, 1}, {hnBeginTrack, 1}}));
  EXPECT_EQ(clicked, (std::vector<int>{1, 1}));

  // A real click on the second header item.
  clicked.clear();
  RECT r;
  SendMessageA(header, HDM_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&r));
  POINT p{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
  SendMessageA(header, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(p.x, p.y));
  SendMessageA(header, WM_LBUTTONUP, 0, MAKELPARAM(p.x, p.y));
  Pump();
  EXPECT_EQ(clicked, std::vector<int>{1});

  // A new window has its header hooked again; the old one was given its procedure back.
  list->RecreateWnd();
  EXPECT_NE(list->HeaderHandle(), header);
  list->headerPaints = 0;
  InvalidateRect(list->HeaderHandle(), nullptr, TRUE);
  UpdateWindow(list->HeaderHandle());
  EXPECT_EQ(list->headerPaints, 1);
}

TEST_F(ViewForm, DeletingItemsTellsOfEachAndKeepsTheOthersInPlace) {
  auto* list = Make<TListView>(8, 8, 300, 200);
  list->SetViewStyle(vsList);
  for (const char* caption : {"a", "b", "c", "d"}) list->Items()->Add()->SetCaption(caption);
  TEventLog deleted;
  list->OnDeletion = [&](TObject*, TListItem* item) { deleted.Note(item->Caption()); };
  list->Items()->Delete(1);
  EXPECT_EQ(Captions(list), (std::vector<std::string>{"a", "c", "d"}));
  EXPECT_EQ(list->Items()->Item(2)->Index(), 2);
  EXPECT_EQ(CellText(list, 1, 0), "c");
  list->Items()->Clear();
  EXPECT_EQ(deleted, (TEvents{"b", "a", "c", "d"}));
  EXPECT_EQ(SendMessageA(list->Handle(), LVM_GETITEMCOUNT, 0, 0), 0);
}
