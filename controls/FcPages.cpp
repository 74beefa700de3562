#include "controls/FcPages.h"

#include <algorithm>

#include "platform/Docking.h"
#include "platform/Forms.h"
#include "resources/ResourceIds.h"

namespace {

// Posted to the page control after a control undocked from one of its pages: the page goes
// once the control has moved away.
constexpr UINT CM_PAGEUNDOCKED = CM_BASE + 1010;

}  // namespace

// ---- Tab sheet --------------------------------------------------------------------------------

TFcTabSheet::TFcTabSheet(TComponent* owner) : TCustomControl(owner) {
  SetVisible(false);
  controlStyle_ += csAcceptsControls;
  controlStyle_ += csOpaque;
  controlStyle_ += csNoDesignVisible;
  SetAlign(alClient);
  SetColor(clBtnFace);
}

TFcTabSheet::~TFcTabSheet() {
  Destroying();
  if (pageControl_) pageControl_->RemovePage(this);
}

TMessageTable& TFcTabSheet::Messages() {
  static TMessageTable* table = [] {
    auto* t = new TMessageTable(&TInheritedClass::Messages());
    t->Add(WM_ERASEBKGND, Handler(&TFcTabSheet::WMEraseBkgnd));
    t->Add(CM_TEXTCHANGED, Handler(&TFcTabSheet::CMTextChanged));
    return t;
  }();
  return *table;
}

void TFcTabSheet::CreateParams(TCreateParams& params) {
  TCustomControl::CreateParams(params);
  params.WindowClass.style &= ~(CS_HREDRAW | CS_VREDRAW);
}

void TFcTabSheet::SetParent(TWinControl* parent) {
  if (auto* pages = dynamic_cast<TFcPageControl*>(parent)) {
    SetPageControl(pages);
    return;
  }
  if (pageControl_) pageControl_->RemovePage(this);
  TCustomControl::SetParent(parent);
}

void TFcTabSheet::SetPageControl(TFcPageControl* value) {
  if (value == pageControl_) return;
  if (pageControl_) pageControl_->RemovePage(this);
  TCustomControl::SetParent(value);
  if (value) value->InsertPage(this);
}

int TFcTabSheet::PageIndex() const {
  if (!pageControl_) return -1;
  const auto& pages = pageControl_->pages_;
  return static_cast<int>(std::find(pages.begin(), pages.end(), this) - pages.begin());
}

void TFcTabSheet::SetPageIndex(int value) {
  if (!pageControl_) return;
  int last = pageControl_->PageCount() - 1;
  if (value < 0 || value > last) throw EListError(ResMessage(IDS_FC_PAGE_INDEX, value, last));
  pageControl_->MovePage(this, value);
}

int TFcTabSheet::TabIndexOfPage() const {
  if (!tabVisible_ || !pageControl_) return -1;
  int index = 0;
  for (TFcTabSheet* page : pageControl_->pages_) {
    if (page == this) return index;
    if (page->tabVisible_) ++index;
  }
  return -1;
}

void TFcTabSheet::Changed() {
  if (pageControl_ && !ComponentState().Contains(csDestroying)) pageControl_->LayoutChanged();
}

void TFcTabSheet::SetTabEnabled(bool value) {
  if (value == tabEnabled_) return;
  tabEnabled_ = value;
  Changed();
}

void TFcTabSheet::SetTabVisible(bool value) {
  if (value == tabVisible_) return;
  tabVisible_ = value;
  Changed();
}

void TFcTabSheet::SetImageIndex(int value) {
  if (value == imageIndex_) return;
  imageIndex_ = value;
  Changed();
}

void TFcTabSheet::SetDisabledIndex(int value) {
  if (value == disabledIndex_) return;
  disabledIndex_ = value;
  Changed();
}

void TFcTabSheet::SetColor(TColor value) {
  if (value == Color()) {
    TCustomControl::SetColor(value);
    return;
  }
  if (pageControl_ && !pageControl_->UseColoredTabs() && value != pageControl_->Color())
    pageControl_->SetUseColoredTabs(true);
  TCustomControl::SetColor(value);
  Changed();
}

void TFcTabSheet::SetPageVisible(bool) { throw EInvalidOperation(LoadResString(IDS_FC_PAGE_VISIBLE)); }

void TFcTabSheet::AssignTo(TPersistent* dest) {
  auto* tab = dynamic_cast<TFcTabData*>(dest);
  if (!tab) {
    TCustomControl::AssignTo(dest);
    return;
  }
  tab->Caption = Caption();
  tab->Color = Color();
  tab->Enabled = tabEnabled_;
  tab->Visible = tabVisible_;
  tab->Hint = Hint();
  tab->ImageIndex = imageIndex_;
  tab->DisabledIndex = disabledIndex_;
}

void TFcTabSheet::Paint() {
  RECT all{0, 0, Width(), Height()};
  bool handled = false;
  if (OnPaintBackground) OnPaintBackground(this, Canvas(), all, handled);
  if (handled) return;
  Canvas()->Brush()->SetColor(Color());
  Canvas()->FillRect(all);
}

void TFcTabSheet::WMEraseBkgnd(TMessage& m) { m.Result = 1; }

void TFcTabSheet::CMTextChanged(TMessage& m) {
  Inherited(m);
  Changed();
}

// ---- Page control -----------------------------------------------------------------------------

TFcPageControl::TFcPageControl(TComponent* owner) : TFcCustomTabControl(owner) {
  controlStyle_ -= csAcceptsControls;
  controlStyle_ += csOpaque;
  SetHeight(150);
}

TFcPageControl::~TFcPageControl() {
  Destroying();
  for (TFcTabSheet* page : pages_) page->pageControl_ = nullptr;
  pages_.clear();
  activePage_ = nullptr;
}

TMessageTable& TFcPageControl::Messages() {
  static TMessageTable* table = [] {
    auto* t = new TMessageTable(&TInheritedClass::Messages());
    using C = TFcPageControl;
    t->Add(CM_COLORCHANGED, Handler(&C::CMColorChanged));
    t->Add(CM_DIALOGKEY, Handler(&C::CMDialogKey));
    t->Add(CM_DOCKCLIENT, Handler(&C::CMDockClient));
    t->Add(CM_UNDOCKCLIENT, Handler(&C::CMUnDockClient));
    t->Add(CM_DOCKNOTIFICATION, Handler(&C::CMDockNotification));
    t->Add(CM_PAGEUNDOCKED, Handler(&C::CMPageUndocked));
    return t;
  }();
  return *table;
}

TFcTabSheet* TFcPageControl::Pages(int index) const {
  if (index < 0 || index >= PageCount()) throw EListError(Format("List index out of bounds (%d)", index));
  return pages_[static_cast<size_t>(index)];
}

TFcTabSheet* TFcPageControl::PageForTab(int tabIndex) const {
  if (tabIndex < 0) return nullptr;
  for (TFcTabSheet* page : pages_)
    if (page->tabVisible_ && tabIndex-- == 0) return page;
  return nullptr;
}

bool TFcPageControl::Loading() const {
  return ComponentState().Contains(csLoading) || ComponentState().Contains(csReading);
}

void TFcPageControl::InsertPage(TFcTabSheet* page) {
  pages_.push_back(page);
  page->pageControl_ = this;
  LayoutChanged();
}

void TFcPageControl::RemovePage(TFcTabSheet* page) {
  auto it = std::find(pages_.begin(), pages_.end(), page);
  if (it == pages_.end()) return;
  pages_.erase(it);
  page->pageControl_ = nullptr;
  if (activePageDefault_ == page) activePageDefault_ = nullptr;
  // A page that goes takes the selection with it: nothing points at it afterwards.
  bool wasActive = activePage_ == page;
  if (wasActive) activePage_ = nullptr;
  if (ComponentState().Contains(csDestroying)) return;
  if (wasActive) SetTabIndexTo(-1, true);
  LayoutChanged();
}

void TFcPageControl::MovePage(TFcTabSheet* page, int index) {
  auto it = std::find(pages_.begin(), pages_.end(), page);
  if (it == pages_.end()) return;
  pages_.erase(it);
  pages_.insert(pages_.begin() + index, page);
  LayoutChanged();
}

void TFcPageControl::LayoutChanged() {
  TFcTabDataList* tabs = Tabs();
  tabs->Clear();
  for (TFcTabSheet* page : pages_)
    if (page->tabVisible_) tabs->Add()->Assign(page);
  if (activePage_) {
    int index = activePage_->TabIndexOfPage();
    // Only the tab's number changed: no events.
    if (index != TabIndex()) SetTabIndexTo(index, true);
  }
  TFcCustomTabControl::LayoutChanged();
}

bool TFcPageControl::KeepsCurrentTab(int index) {
  // A disabled tab keeps its page shown.
  return Tabs()->Items(index)->Visible;
}

void TFcPageControl::DoChanging(int newIndex, bool& allowChange) {
  if (!loading_) TFcCustomTabControl::DoChanging(newIndex, allowChange);
  if (allowChange) ChangeActivePage(PageForTab(newIndex));
}

void TFcPageControl::DoChange() {
  if (!loading_) TFcCustomTabControl::DoChange();
}

void TFcPageControl::SetActivePage(TFcTabSheet* page) {
  if (page && page->PageControl() != this) return;
  if (Loading()) {
    if (page) page->SetVisible(true);
    activePage_ = page;
    return;
  }
  if (page && page->TabVisible()) {
    int index = page->TabIndexOfPage();
    if (index == TabIndex())
      ChangeActivePage(page);
    else
      SetTabIndex(index);
    return;
  }
  SetTabIndexTo(-1, true);
  ChangeActivePage(page);
}

void TFcPageControl::SetActivePageIndex(int value) {
  SetActivePage(value >= 0 && value < PageCount() ? pages_[static_cast<size_t>(value)] : nullptr);
}

void TFcPageControl::SetActivePageDefault(TFcTabSheet* value) {
  if (value == activePageDefault_) return;
  if (activePageDefault_) activePageDefault_->RemoveFreeNotification(this);
  activePageDefault_ = value;
  if (value) value->FreeNotification(this);
}

void TFcPageControl::ChangeActivePage(TFcTabSheet* page) {
  if (page == activePage_) return;
  TFcTabSheet* old = activePage_;
  TForm* form = GetParentForm(this);
  TWinControl* focused = form ? form->ActiveControl() : nullptr;
  bool focusOnOld = old && focused && old->ContainsControl(focused);
  if (focusOnOld && old->CanFocus()) old->SetFocus();
  if (page) {
    page->BringToFront();
    page->SetVisible(true);
    if (HandleAllocated()) page->HandleNeeded();
    if (focusOnOld) {
      if (page->CanFocus())
        page->SetFocus();
      else if (CanFocus())
        SetFocus();
    }
  }
  if (old) {
    old->SetVisible(false);
    if (saveResources_ && !ComponentState().Contains(csDesigning)) old->FreeWindow();
  }
  activePage_ = page;
  if (page && form && form->ActiveControl() == page) page->SelectNext(nullptr, true, true);
}

void TFcPageControl::SelectNextPage(bool forward) {
  int count = PageCount();
  if (count == 0) return;
  int start = activePage_ ? activePage_->PageIndex() : (forward ? count - 1 : 0);
  int i = start;
  for (int k = 0; k < count; ++k) {
    i = forward ? (i + 1) % count : (i + count - 1) % count;
    if (pages_[static_cast<size_t>(i)]->TabVisible()) {
      SetActivePage(pages_[static_cast<size_t>(i)]);
      return;
    }
  }
}

void TFcPageControl::ShowControl(TControl* control) {
  if (TFcTabSheet* page = PageOf(control)) SetActivePage(page);
  if (control) control->SetVisible(true);
}

TFcTabSheet* TFcPageControl::PageOf(TControl* control) const {
  for (TControl* c = control; c; c = c->Parent())
    if (auto* page = dynamic_cast<TFcTabSheet*>(c))
      if (page->PageControl() == this) return page;
  return nullptr;
}

void TFcPageControl::Loaded() {
  TFcTabSheet* streamed = activePage_;
  {
    TRestore<bool> loading(loading_, true);
    TFcCustomTabControl::Loaded();
    SetLayoutStale();
    UpdateLayout();
    SetTabIndexTo(-1, true);
    TFcTabSheet* chosen = streamed;
    if (activePageDefault_ && activePageDefault_ != streamed) chosen = activePageDefault_;
    activePage_ = nullptr;
    for (TFcTabSheet* page : pages_)
      if (page != chosen) page->SetVisible(false);
    LayoutChanged();
    SetActivePage(chosen);
  }
}

void TFcPageControl::CloseActiveTab() {
  if (!activePage_) return;
  int index = TabIndex();
  delete activePage_;
  SetTabIndex(std::max(index - 1, 0));
}

void TFcPageControl::MoveActiveTab(int newIndex) {
  TFcTabSheet* target = PageForTab(newIndex);
  if (activePage_ && target) activePage_->SetPageIndex(target->PageIndex());
}

void TFcPageControl::HideAllTabs() {
  for (TFcTabSheet* page : std::vector<TFcTabSheet*>(pages_)) page->SetTabVisible(false);
}

void TFcPageControl::ShowAllTabs() {
  for (TFcTabSheet* page : std::vector<TFcTabSheet*>(pages_)) page->SetTabVisible(true);
}

void TFcPageControl::SetSaveResources(bool value) {
  if (value == saveResources_) return;
  saveResources_ = value;
  if (value && !ComponentState().Contains(csDesigning))
    for (TFcTabSheet* page : pages_)
      if (page != activePage_) page->FreeWindow();
}

bool TFcPageControl::DoPaintCardBackground(TCanvas* canvas, int row, const RECT& rect) {
  if (TFcCustomTabControl::DoPaintCardBackground(canvas, row, rect)) return true;
  if (row != 0 || TabIndex() < 0 || !activePage_) return false;
  canvas->Brush()->SetColor(activePage_->Color());
  canvas->FillRect(rect);
  return true;
}

void TFcPageControl::SetUseColoredTabs(bool value) {
  TFcCustomTabControl::SetUseColoredTabs(value);
  if (Parent() && !value) Perform(CM_COLORCHANGED);
}

void TFcPageControl::CMColorChanged(TMessage& m) {
  if (!UseColoredTabs())
    for (TFcTabSheet* page : pages_) page->SetColor(Color());
  Inherited(m);
}

void TFcPageControl::Notification(TComponent* component, TOperation operation) {
  TFcCustomTabControl::Notification(component, operation);
  if (operation == opRemove && component == activePageDefault_) activePageDefault_ = nullptr;
}

void TFcPageControl::CMDialogKey(TWMKey& m) {
  Inherited(m);
  if (m.Result != 0 || m.CharCode != VK_TAB || GetKeyState(VK_CONTROL) >= 0) return;
  TForm* form = GetParentForm(this);
  TWinControl* focused = form ? form->ActiveControl() : nullptr;
  if (!focused || !ContainsControl(focused)) return;
  SelectNextPage(GetKeyState(VK_SHIFT) >= 0);
  m.Result = 1;
}

// ---- Docking ----------------------------------------------------------------------------------

TControl* TFcPageControl::DockedControlOn(TFcTabSheet* page) const {
  if (!page) return nullptr;
  for (int i = 0; i < page->ControlCount(); ++i)
    if (page->Controls(i)->HostDockSite() == this) return page->Controls(i);
  return nullptr;
}

void TFcPageControl::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  TFcTabSheet* page = button == mbLeft ? PageForTab(TabAtPos(x, y)) : nullptr;
  TControl* docked = DockedControlOn(page);
  if (docked && shift.Contains(ssDouble)) {
    docked->ManualDock(nullptr);
    return;
  }
  TFcCustomTabControl::MouseDown(button, shift, x, y);
  if (docked && activePage_ == page) docked->BeginDrag(false);
}

void TFcPageControl::CMDockClient(TWMObject<TDragDockObject>& m) {
  TControl* control = m.Object->Control();
  auto* page = new TFcTabSheet(this);
  page->SetCaption(control->Caption());
  page->SetPageControl(this);
  Inherited(m);
  if (m.Result == 0) {
    delete page;
    return;
  }
  // The control belongs to this dock site and sits on its page.
  control->SetParent(page);
  page->SetTabVisible(control->Visible());
  if (control->Visible()) SetActivePage(page);
  control->SetAlign(alClient);
}

void TFcPageControl::CMUnDockClient(TWMObject<TControl>& m) {
  TControl* control = m.Object;
  TFcTabSheet* page = PageOf(control);
  Inherited(m);
  if (m.Result != 0 || !page) return;
  control->SetAlign(alNone);
  undockingControl_ = control;
  if (HandleAllocated()) PostMessageA(Handle(), CM_PAGEUNDOCKED, 0, reinterpret_cast<LPARAM>(page));
}

void TFcPageControl::CMPageUndocked(TWMObject<TFcTabSheet>& m) {
  TFcTabSheet* page = m.Object;
  TControl* control = undockingControl_;
  undockingControl_ = nullptr;
  if (std::find(pages_.begin(), pages_.end(), page) == pages_.end()) return;
  if (control && control->Parent() == page) return;
  if (page == activePage_) SelectNextPage(true);
  delete page;
}

void TFcPageControl::CMDockNotification(TWMDockNotification& m) {
  Inherited(m);
  TMessage* notice = m.Notice;
  TFcTabSheet* page = PageOf(m.Client);
  if (!page || !notice) return;
  if (notice->Msg == WM_SETTEXT) {
    std::string text = reinterpret_cast<const char*>(notice->LParam);
    page->SetCaption(text.substr(0, text.find_first_of("\r\n")));
  } else if (notice->Msg == CM_VISIBLECHANGED) {
    page->SetTabVisible(notice->WParam != 0);
  }
}

void TFcPageControl::GetSiteInfo(TControl* client, RECT& influenceRect, POINT mousePos, bool& canDock) {
  if (PageOf(client)) canDock = false;
  TFcCustomTabControl::GetSiteInfo(client, influenceRect, mousePos, canDock);
}

void TFcPageControl::DockOver(TDragDockObject* source, int x, int y, TDragState state, bool& accept) {
  GetWindowRect(Handle(), &source->DockRect);
  if (OnDockOver) OnDockOver(this, source, x, y, state, accept);
}

// ---- Registration ---------------------------------------------------------------------------------

void RegisterFcPages() {
  RegisterFcTabs();
  using S = TFcTabSheet;
  RegisterClassInfo<S, TCustomControl>("TFcTabSheet")
      .String("Caption", &S::Caption, &S::SetCaption)
      .Color("Color", &S::Color, &S::SetColor, clBtnFace)
      .Boolean("ParentColor", &S::ParentColor, &S::SetParentColor, false)
      .Integer("DisabledIndex", &S::DisabledIndex, &S::SetDisabledIndex, -1)
      .Integer("ImageIndex", &S::ImageIndex, &S::SetImageIndex, -1)
      .Integer("PageIndex", &S::PageIndex, &S::SetPageIndex)
      .StoredIf([](S*) { return false; })
      .Boolean("TabEnabled", &S::TabEnabled, &S::SetTabEnabled, true)
      .Boolean("TabVisible", &S::TabVisible, &S::SetTabVisible, true)
      .Boolean("Visible", &S::PageVisible, &S::SetPageVisible, true)
      .StoredIf([](S*) { return false; })
      .Integer("Left", &S::Left, &S::SetLeft)
      .StoredIf([](S*) { return false; })
      .Integer("Top", &S::Top, &S::SetTop)
      .StoredIf([](S*) { return false; })
      .Integer("Width", &S::Width, &S::SetWidth)
      .StoredIf([](S*) { return false; })
      .Integer("Height", &S::Height, &S::SetHeight)
      .StoredIf([](S*) { return false; })
      .Event("OnPaintBackground", &S::OnPaintBackground);

  using P = TFcPageControl;
  RegisterClassInfo<P, TFcCustomTabControl>("TFcPageControl")
      .Component("ActivePage", &P::ActivePage, &P::SetActivePage)
      .Component("ActivePageDefault", &P::ActivePageDefault, &P::SetActivePageDefault)
      .Boolean("SaveResources", &P::SaveResources, &P::SetSaveResources, false)
      .Obsolete("About", tkEnumeration);
}
