// The page control: a tab control whose tabs come from its pages (tab sheets, child controls
// of the control), one page shown at a time on the card. It keeps the active page and the
// selected tab in step, switches pages by tab, keys and Ctrl+Tab, can free the windows of
// hidden pages, and as a dock site turns docked controls into pages.
#pragma once

#include <string>
#include <vector>

#include "controls/FcTabs.h"

class TFcPageControl;

// One page: its tab's caption, colour, images and state.
class TFcTabSheet : public TCustomControl {
  MESSAGE_TABLE(TCustomControl)

 public:
  // Hidden and client-aligned until a page control shows it.
  explicit TFcTabSheet(TComponent* owner);
  // Leaves its page control first.
  ~TFcTabSheet() override;

  TFcPageControl* PageControl() const { return pageControl_; }
  // Leaves the old page control and joins the new one (as its last page).
  void SetPageControl(TFcPageControl* value);
  // A page control as parent makes the page join it.
  void SetParent(TWinControl* parent) override;

  // The place among the pages; -1 without a page control. Raises EListError out of range.
  int PageIndex() const;
  void SetPageIndex(int value);
  // The tab's index: -1 while the tab is hidden.
  int TabIndexOfPage() const;

  bool TabEnabled() const { return tabEnabled_; }
  void SetTabEnabled(bool value);
  bool TabVisible() const { return tabVisible_; }
  void SetTabVisible(bool value);
  int ImageIndex() const { return imageIndex_; }
  void SetImageIndex(int value);
  int DisabledIndex() const { return disabledIndex_; }
  void SetDisabledIndex(int value);
  // A colour other than the control's turns the control's coloured tabs on.
  void SetColor(TColor value) override;

  // The published Visible: a page is shown and hidden by its page control only, so setting it
  // raises EInvalidOperation.
  bool PageVisible() const { return Visible(); }
  void SetPageVisible(bool value);

  // Copies the tab's settings into a TFcTabData.
  void AssignTo(TPersistent* dest) override;

  TFcPaintBackgroundEvent OnPaintBackground;

 protected:
  void CreateParams(TCreateParams& params) override;
  void Paint() override;

 private:
  friend class TFcPageControl;
  void Changed();
  void WMEraseBkgnd(TMessage& m);
  void CMTextChanged(TMessage& m);
  // Gives up the window while the page is hidden (SaveResources).
  void FreeWindow() { DestroyHandle(); }

  TFcPageControl* pageControl_ = nullptr;
  int imageIndex_ = -1;
  int disabledIndex_ = -1;
  bool tabEnabled_ = true;
  bool tabVisible_ = true;
};

class TFcPageControl : public TFcCustomTabControl {
  MESSAGE_TABLE(TFcCustomTabControl)

 public:
  // 150 high, no pages.
  explicit TFcPageControl(TComponent* owner);
  ~TFcPageControl() override;

  int PageCount() const { return static_cast<int>(pages_.size()); }
  // Raises EListError out of range.
  TFcTabSheet* Pages(int index) const;
  // The page of a tab; nullptr when there is none.
  TFcTabSheet* PageForTab(int tabIndex) const;

  TFcTabSheet* ActivePage() const { return activePage_; }
  // A page of another control is ignored. The page shows once its tab is selected (so a
  // disabled tab or OnChanging may keep it out); a page without a tab, or none, shows at once.
  void SetActivePage(TFcTabSheet* page);
  int ActivePageIndex() const { return activePage_ ? activePage_->PageIndex() : -1; }
  void SetActivePageIndex(int value);
  // Shown instead of the layout's ActivePage when the layout is loaded.
  TFcTabSheet* ActivePageDefault() const { return activePageDefault_; }
  void SetActivePageDefault(TFcTabSheet* value);
  // Hidden pages give up their windows (made again when shown).
  bool SaveResources() const { return saveResources_; }
  void SetSaveResources(bool value);
  // The next (or previous) page with a tab, going round; its tab must be selectable.
  void SelectNextPage(bool forward);
  // Shows the page of this control that `control` is, or lies on.
  void ShowControl(TControl* control);

  void SetUseColoredTabs(bool value) override;
  void Loaded() override;
  void GetSiteInfo(TControl* client, RECT& influenceRect, POINT mousePos, bool& canDock) override;
  void DockOver(TDragDockObject* source, int x, int y, TDragState state, bool& accept) override;

 protected:
  void DoChanging(int newIndex, bool& allowChange) override;
  void DoChange() override;
  void LayoutChanged() override;
  bool DoPaintCardBackground(TCanvas* canvas, int row, const RECT& rect) override;
  void CloseActiveTab() override;
  void MoveActiveTab(int newIndex) override;
  void HideAllTabs() override;
  void ShowAllTabs() override;
  bool KeepsCurrentTab(int index) override;
  void Notification(TComponent* component, TOperation operation) override;
  void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;

  void CMColorChanged(TMessage& m);
  void CMDialogKey(TWMKey& m);
  void CMDockClient(TWMObject<TDragDockObject>& m);
  void CMUnDockClient(TWMObject<TControl>& m);
  void CMDockNotification(TWMDockNotification& m);
  void CMPageUndocked(TWMObject<TFcTabSheet>& m);

 private:
  friend class TFcTabSheet;
  void InsertPage(TFcTabSheet* page);
  void RemovePage(TFcTabSheet* page);
  void MovePage(TFcTabSheet* page, int index);
  // Brings the page up and hides the one before (focus follows).
  void ChangeActivePage(TFcTabSheet* page);
  // A layout is being read into the control (its Loaded has not run yet).
  bool Loading() const;
  // The docked control on a page, or nullptr.
  TControl* DockedControlOn(TFcTabSheet* page) const;
  TFcTabSheet* PageOf(TControl* control) const;

  std::vector<TFcTabSheet*> pages_;
  TFcTabSheet* activePage_ = nullptr;
  TFcTabSheet* activePageDefault_ = nullptr;
  bool saveResources_ = false;
  // Loaded is running: the selection is set up without events.
  bool loading_ = false;
  // The control that left a page by undocking; its page goes once it has moved away.
  TControl* undockingControl_ = nullptr;
};

// Registers the page control and its pages for stored layouts.
void RegisterFcPages();
