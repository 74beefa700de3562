// The tab control: an owner-drawn strip of tabs in one or more rows on one side of a card,
// with scroll buttons for a single row that does not fit, a close button, hot tracking, tab
// hints, tab dragging and keyboard selection. Every paint draws the whole control into an
// off-screen bitmap in four tab shapes; outlines are recorded as commands so that the card's
// shadow can be blended with the parent's pixels. The page control (FcPages.h) feeds it tabs
// from its pages.
//
// All tab geometry is worked out in a normalised frame: the strip runs along x, the tabs
// point up (toward y = 0), away from the card, which lies below y = tab-area depth. The
// orientation transform maps that frame onto the real side of the control.
//
// Index: vocabulary · tab data and colour sets · geometry (shapes, transform, row layout,
// region cache, outline commands) · scroller and close button · TFcCustomTabControl.
// FcTabs.cpp holds the data, the settings and the layout; FcTabInput.cpp selection,
// scrolling, the mouse and keys; FcTabPaint.cpp the shapes, the painting and the strip's
// buttons.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "controls/FcCommon.h"
#include "platform/Controls.h"
#include "platform/Guards.h"
#include "platform/ImgList.h"

// ---- Vocabulary ------------------------------------------------------------------------------

enum TFcTabStyle { tsSingleSlant, tsDoubleSlant, tsCutCorner, tsRoundCorners };
enum TFcTabOrientation { toTop, toLeft, toBottom, toRight };
// tsReverse lays the tabs out from the other end of the strip.
enum TFcTabSequence { tsStandard, tsReverse };
enum TFcImagePosition { ipLeft, ipTop, ipRight, ipBottom, ipBack, ipStretch };
enum TFcHorizontalAlignment { haLeft, haCenter, haRight };
enum TFcVerticalAlignment { vaTop, vaCenter, vaBottom };
// Hot tracking marks the tab under the mouse with a bar (htsTab) or only by its text colour.
enum TFcHotTrackStyle { htsTab, htsText };
// Which text OnGetTextColor is asked about.
enum TFcTextStyle { tsHotTrack, tsSelected, tsUnselected, tsDisabledHighlight, tsDisabledShadow };

extern const TEnumInfo TabStyleInfo;
extern const TEnumInfo TabOrientationInfo;
extern const TEnumInfo TabSequenceInfo;
extern const TEnumInfo ImagePositionInfo;
extern const TEnumInfo HorizontalAlignmentInfo;
extern const TEnumInfo VerticalAlignmentInfo;
extern const TEnumInfo HotTrackStyleInfo;

// A tab control cannot save or restore its drawing context or make a tab's region, or is given
// an impossible region-cache capacity or tab shape.
class EFcTabError : public Exception { using Exception::Exception; };

class TFcCustomTabControl;

using TFcTabChangingEvent = std::function<void(TObject* sender, int newIndex, bool& allowChange)>;
using TFcTabCloseEvent = std::function<void(TObject* sender, bool& allowClose)>;
// Each lets a handler paint instead of the control; it sets `handled` when it did.
using TFcPaintBackgroundEvent =
    std::function<void(TObject* sender, TCanvas* canvas, const RECT& rect, bool& handled)>;
using TFcPaintTabBackgroundEvent =
    std::function<void(TObject* sender, TCanvas* canvas, int tabIndex, const RECT& rect, bool& handled)>;
using TFcPaintCardBackgroundEvent =
    std::function<void(TObject* sender, TCanvas* canvas, int row, const RECT& rect, bool& handled)>;
using TFcGetTextColorEvent =
    std::function<void(TObject* sender, int tabIndex, TFcTextStyle style, TColor& color, bool& handled)>;

// ---- Tab data and colour sets ---------------------------------------------------------------

// One tab: what it shows, and where the last layout put it.
class TFcTabData : public TPersistent {
 public:
  // Copies the settings of another tab, not its place.
  void Assign(TPersistent* source) override;

  // Lines are separated by CR LF; "&" marks the accelerator, "&&" is a plain "&".
  std::string Caption;
  TColor Color = clBtnFace;
  bool Enabled = true;
  std::string Hint;
  int ImageIndex = -1;
  // Shown on a disabled tab instead of ImageIndex greyed (-1: ImageIndex greyed).
  int DisabledIndex = -1;
  bool Visible = true;
  // In the normalised frame; empty for a hidden tab.
  RECT TabRect{};
  // 0 is the row next to the card.
  int Row = 0;
};

// The tabs of a control, owned by the list. OnChange follows every change of the list itself.
class TFcTabDataList : public TPersistent {
 public:
  // A copy of every tab of another list.
  void Assign(TPersistent* source) override;

  int Count() const { return static_cast<int>(items_.size()); }
  // Raises EListError for an index out of range.
  TFcTabData* Items(int index) const;
  // A new tab at the end.
  TFcTabData* Add();
  // Puts `data` (taken over) at `index`; the tab there is freed.
  void Replace(int index, std::unique_ptr<TFcTabData> data);
  void Clear();

  TNotifyEvent OnChange;

 private:
  void Changed();
  std::vector<std::unique_ptr<TFcTabData>> items_;
};

// A set of the control's colours: a change repaints the control.
class TFcTabColorSet : public TPersistent {
 public:
  explicit TFcTabColorSet(TFcCustomTabControl* control) : control_(control) {}

 protected:
  void Change(TColor& field, TColor value);
  // Copies `count` colours from another set of the same kind, each through Change.
  void AssignColors(TColor* fields, const TColor* values, int count);

 private:
  TFcCustomTabControl* control_;
};

// The tabs' own colours: the highlight bar of the selected tab, the shadow and body of the
// gradient on unselected tabs.
class TFcTabColors : public TFcTabColorSet {
 public:
  explicit TFcTabColors(TFcCustomTabControl* control = nullptr) : TFcTabColorSet(control) {}
  void Assign(TPersistent* source) override;

  TColor HighlightBar() const { return colors_[0]; }
  void SetHighlightBar(TColor value) { Change(colors_[0], value); }
  TColor Shadow() const { return colors_[1]; }
  void SetShadow(TColor value) { Change(colors_[1], value); }
  TColor Unselected() const { return colors_[2]; }
  void SetUnselected(TColor value) { Change(colors_[2], value); }

 private:
  TColor colors_[3] = {clHighlight, clBtnFace, clWindow};
};

// The captions' colours by state.
class TFcTextColors : public TFcTabColorSet {
 public:
  explicit TFcTextColors(TFcCustomTabControl* control = nullptr) : TFcTabColorSet(control) {}
  void Assign(TPersistent* source) override;

  TColor DisabledHighlight() const { return colors_[0]; }
  void SetDisabledHighlight(TColor value) { Change(colors_[0], value); }
  TColor DisabledShadow() const { return colors_[1]; }
  void SetDisabledShadow(TColor value) { Change(colors_[1], value); }
  TColor Selected() const { return colors_[2]; }
  void SetSelected(TColor value) { Change(colors_[2], value); }
  TColor Unselected() const { return colors_[3]; }
  void SetUnselected(TColor value) { Change(colors_[3], value); }

 private:
  TColor colors_[4] = {clBtnHighlight, clBtnShadow, clBtnText, clBtnText};
};

// ---- Geometry ------------------------------------------------------------------------------

// A caption's lines (split at CR LF).
std::vector<std::string> CaptionLines(const std::string& caption);

// How far neighbouring tabs of a style overlap for a tab `extent` deep (-1: they leave a gap).
int TabOverlap(TFcTabStyle style, int extent);

// The tab's outline from its drawn rectangle in the normalised frame, from the base-left corner
// round to the base-right one: 5 points single slant and cut corner, 4 double slant, 6 round.
std::vector<POINT> TabPolygon(TFcTabStyle style, const RECT& drawn, int cutCornerSize);

// Maps the normalised frame onto the control: `area` is the tab area in control coordinates,
// `offset` how far the strip is scrolled.
struct TFcTabTransform {
  TFcTabOrientation Orientation = toTop;
  TFcTabSequence Sequence = tsStandard;
  RECT Area{};
  int Offset = 0;

  POINT Map(POINT p) const;
  // Both corners mapped, then put in order (left ≤ right, top ≤ bottom).
  RECT Map(const RECT& r) const;
};

// What the row layout needs to know of the strip.
struct TFcTabStrip {
  TFcTabStyle Style = tsSingleSlant;
  TFcTabSequence Sequence = tsStandard;
  bool MultiLine = false;
  // The tab area's length along the strip.
  int Length = 0;
  int FixedDimension = 0;
  int Margin = 0;
  int RowIndent = 5;
  int RowOverlap = 5;
  // Where tsReverse rows are moved to with MultiLine (the control's width).
  int ControlWidth = 0;
};

// The tab area's depth for that many rows of FixedDimension (3 more for round corners).
int TabAreaDepth(TFcTabStyle style, int fixedDimension, int rowOverlap, int rows);
// The rows that the visible tabs of `lengths` (one entry per tab; hidden tabs are skipped)
// need: rows are added until every row but an oversized tab's fits (1 without MultiLine).
int CountTabRows(const TFcTabDataList& tabs, const std::vector<int>& lengths, const TFcTabStrip& strip);
// Sets every tab's TabRect and Row for `rows` rows.
void PlaceTabs(TFcTabDataList& tabs, const std::vector<int>& lengths, int rows, const TFcTabStrip& strip);
// Spreads each row's spare length over its tabs (MultiLine with AlignTabs).
void AlignTabRows(TFcTabDataList& tabs, int rows, const TFcTabStrip& strip);
// Rotates the rows so that the selected tab's row lies against the card, the others keeping
// their cyclic order; each tab takes the place across the strip its new row had.
void MoveSelectedRowToFront(TFcTabDataList& tabs, int rows, int selected);

// Tab regions by the tab's rectangle, most recently added first; each item owns its region.
class TFcTabRegionCache {
 public:
  // nullptr when no region of exactly that rectangle is cached; the order is kept.
  HRGN Find(const RECT& rect) const;
  // Takes over `region`: moves that rectangle's item to the front (its region replaced), or
  // puts a new one there; then drops one item from the end when over capacity.
  void Add(const RECT& rect, HRGN region);
  void Clear() { items_.clear(); }
  int Count() const { return static_cast<int>(items_.size()); }
  int Capacity() const { return capacity_; }
  // -1 keeps every region; 0 and below -1 raise EFcTabError. Trims from the end to fit.
  void SetCapacity(int value);
  // The rectangle of the item at `index` (0 is the front).
  RECT ItemRect(int index) const { return items_[static_cast<size_t>(index)].rect; }

 private:
  struct TItem {
    RECT rect{-1, -1, -1, -1};
    TGdiObject<HRGN> region;
  };
  std::vector<TItem> items_;
  int capacity_ = 1;
};

// Outlines as a flat list of drawing commands, so that shadow segments can be blended with
// the parent's pixels at playback. Codes 2 and above carry a point.
enum TFcOutlineCode {
  ocPen = 0,        // pen colour := the current outline colour
  ocNone = 1,
  ocFlatColor = 2,  // current outline colour := FlatColor shifted (the point is ignored)
  ocMoveTo = 3,
  ocLineTo = 4,
  ocShadow30 = 5,   // shadow segment to the point, black at weight 30 of 255
  ocShadow15 = 6,   // the same at weight 15
};
class TFcOutline {
 public:
  void Add(TFcOutlineCode code) { codes_.push_back(code); }
  void Add(TFcOutlineCode code, int x, int y) {
    codes_.push_back(code);
    codes_.push_back(x);
    codes_.push_back(y);
  }
  void Clear() { codes_.clear(); }
  const std::vector<int>& Codes() const { return codes_; }
  bool HasShadow() const;

 private:
  std::vector<int> codes_;
};

// Plays the outline onto `target`'s context, starting with `flatColor` as the outline colour.
// Shadow pixels take `parent`'s pixel at that place darkened toward black.
void PlayOutline(const TFcOutline& outline, TPixelBuffer& target, const TPixelBuffer* parent, TColor flatColor);
// A pixel blended with black at `weight` out of 255, rounded.
COLORREF ShadowPixel(COLORREF pixel, int weight);

// ---- Scroller and close button ---------------------------------------------------------------

// The two scroll buttons of a single row that does not fit: halves of one square each,
// side by side (orHorizontal) or one above the other. A press captures the mouse; the half
// shows pressed while the mouse is over it; a release over it clicks it.
class TFcTabScroller : public TCustomControl {
  MESSAGE_TABLE(TCustomControl)

 public:
  explicit TFcTabScroller(TComponent* owner);

  TColor FrameColor() const { return frameColor_; }
  void SetFrameColor(TColor value);
  TOrientation Orientation() const { return orientation_; }
  void SetOrientation(TOrientation value);
  // Whether each half's direction can scroll now (a disabled arrow otherwise).
  bool UpRightEnabled() const { return upRightEnabled_; }
  bool DownLeftEnabled() const { return downLeftEnabled_; }
  void SetEnabledHalves(bool upRight, bool downLeft);
  // The halves in client coordinates: down/left is the left or lower one.
  RECT UpRightRect() const;
  RECT DownLeftRect() const;

  TNotifyEvent OnUpRightClick;
  TNotifyEvent OnDownLeftClick;

 protected:
  void Paint() override;
  void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
  void MouseMove(TShiftState shift, int x, int y) override;
  void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;

 private:
  enum THalf { hNone, hUpRight, hDownLeft };
  THalf HalfAt(int x, int y) const;
  void PaintHalf(THalf half, const RECT& rect);
  void WMEraseBkgnd(TMessage& m);

  TColor frameColor_ = clBtnShadow;
  TOrientation orientation_ = orHorizontal;
  bool upRightEnabled_ = true;
  bool downLeftEnabled_ = true;
  THalf pressed_ = hNone;
  bool pressedLook_ = false;
};

// The close button at the end of the strip: a press captures the mouse, the pressed look
// follows the pointer, a release over it fires OnClose.
class TFcTabCloseButton : public TCustomControl {
  MESSAGE_TABLE(TCustomControl)

 public:
  explicit TFcTabCloseButton(TComponent* owner);

  TColor FrameColor() const { return frameColor_; }
  void SetFrameColor(TColor value);
  // Drawn inactive while no tab is selected.
  bool Active() const { return active_; }
  void SetActive(bool value);

  TNotifyEvent OnClose;

 protected:
  void Paint() override;
  void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
  void MouseMove(TShiftState shift, int x, int y) override;
  void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;

 private:
  void WMEraseBkgnd(TMessage& m);
  TColor frameColor_ = clBtnShadow;
  bool active_ = true;
  bool tracking_ = false;
  bool pressedLook_ = false;
};

// ---- The tab control ---------------------------------------------------------------------------

class TFcCustomTabControl : public TCustomControl {
  MESSAGE_TABLE(TCustomControl)

 public:
  // 300 × 100, a tab stop, no tabs.
  explicit TFcCustomTabControl(TComponent* owner);
  ~TFcCustomTabControl() override;

  // The tabs; a change of the list lays them out again.
  TFcTabDataList* Tabs() const { return tabs_.get(); }

  // ---- Selection
  // -1: none. Setting an index out of range gives -1; another tab is taken only when it is
  // visible and enabled and OnChanging allows it. While a layout is read it is only stored.
  int TabIndex() const { return tabIndex_; }
  void SetTabIndex(int value) { SetTabIndexTo(value, false); }
  // Whether the tab may be selected: visible and enabled, and (another than the current one)
  // allowed by OnChanging.
  bool CanSelectTab(int index);

  // ---- Settings ("layout" ones lay the tabs out again at the next paint)
  bool AlignTabs() const { return alignTabs_; }
  void SetAlignTabs(bool value);
  bool AllowTabDragging() const { return allowTabDragging_; }
  void SetAllowTabDragging(bool value) { allowTabDragging_ = value; }
  // Behind the tabs; follows the parent's colour while ParentBackgroundColor is on.
  TColor BackgroundColor() const { return backgroundColor_; }
  void SetBackgroundColor(TColor value);
  bool ParentBackgroundColor() const { return parentBackgroundColor_; }
  void SetParentBackgroundColor(bool value);
  bool BoldCurrentTab() const { return boldCurrentTab_; }
  void SetBoldCurrentTab(bool value);
  int CutCornerSize() const { return cutCornerSize_; }
  void SetCutCornerSize(int value);
  // The outlines' colour, shifted lighter or darker by FlatColorAdjustment; also the frame of
  // the scroller and the close button.
  TColor FlatColor() const { return flatColor_; }
  void SetFlatColor(TColor value);
  int FlatColorAdjustment() const { return flatColorAdjustment_; }
  void SetFlatColorAdjustment(int value);
  bool HotTrack() const { return hotTrack_; }
  void SetHotTrack(bool value);
  TColor HotTrackColor() const { return hotTrackColor_; }
  void SetHotTrackColor(TColor value);
  TFcHotTrackColorType HotTrackColorType() const { return hotTrackColorType_; }
  void SetHotTrackColorType(TFcHotTrackColorType value);
  TFcHotTrackStyle HotTrackStyle() const { return hotTrackStyle_; }
  void SetHotTrackStyle(TFcHotTrackStyle value);
  TFcHorizontalAlignment ImageAlignment() const { return imageAlignment_; }
  void SetImageAlignment(TFcHorizontalAlignment value);
  TFcVerticalAlignment ImageAlignmentVertical() const { return imageAlignmentVertical_; }
  void SetImageAlignmentVertical(TFcVerticalAlignment value);
  TFcImagePosition ImagePosition() const { return imagePosition_; }
  void SetImagePosition(TFcImagePosition value);
  int ImageMargin() const { return imageMargin_; }
  void SetImageMargin(int value);
  TCustomImageList* Images() const { return images_; }
  void SetImages(TCustomImageList* value);
  int Margin() const { return margin_; }
  void SetMargin(int value);
  bool MultiLine() const { return multiLine_; }
  void SetMultiLine(bool value);
  int RowIndent() const { return rowIndent_; }
  void SetRowIndent(int value);
  int RowOverlap() const { return rowOverlap_; }
  void SetRowOverlap(int value);
  bool ShowCardFrame() const { return showCardFrame_; }
  void SetShowCardFrame(bool value);
  bool ShowCloseButton() const { return showCloseButton_; }
  void SetShowCloseButton(bool value);
  bool ShowFocusRect() const { return showFocusRect_; }
  void SetShowFocusRect(bool value);
  // Off also turns the shadow off; the shadow needs the full frame.
  bool ShowFullFrame() const { return showFullFrame_; }
  void SetShowFullFrame(bool value);
  bool ShowShadow() const { return showShadow_; }
  void SetShowShadow(bool value);
  TFcTabColors* TabColors() const { return tabColors_.get(); }
  void SetTabColors(TFcTabColors* value) { tabColors_->Assign(value); }
  TFcTextColors* TextColors() const { return textColors_.get(); }
  void SetTextColors(TFcTextColors* value) { textColors_->Assign(value); }
  // 0: measured from the contents.
  int TabHeight() const { return tabHeight_; }
  void SetTabHeight(int value);
  int TabWidth() const { return tabWidth_; }
  void SetTabWidth(int value);
  // The tab under the mouse lends the control its Hint.
  bool TabHints() const { return tabHints_; }
  void SetTabHints(bool value);
  TFcTabOrientation TabOrientation() const { return tabOrientation_; }
  void SetTabOrientation(TFcTabOrientation value);
  TFcTabSequence TabSequence() const { return tabSequence_; }
  void SetTabSequence(TFcTabSequence value);
  TFcTabStyle TabStyle() const { return tabStyle_; }
  void SetTabStyle(TFcTabStyle value);
  TFcHorizontalAlignment TextAlignment() const { return textAlignment_; }
  void SetTextAlignment(TFcHorizontalAlignment value);
  TFcVerticalAlignment TextAlignmentVertical() const { return textAlignmentVertical_; }
  void SetTextAlignmentVertical(TFcVerticalAlignment value);
  // Vertical text needs a TrueType font: another font becomes "Verdana".
  TOrientation TextOrientation() const { return textOrientation_; }
  void SetTextOrientation(TOrientation value);
  // The parent shows around the tabs and the card.
  bool Transparent() const { return transparent_; }
  void SetTransparent(bool value);
  bool UseColoredTabs() const { return useColoredTabs_; }
  virtual void SetUseColoredTabs(bool value);
  bool UseGradients() const { return useGradients_; }
  void SetUseGradients(bool value);
  // Regions kept for hit testing and painting: -1 all, else at least 1 (other values are
  // ignored).
  int TabRegionCacheSize() const { return regionCache_.Capacity(); }
  void SetTabRegionCacheSize(int value);

  // ---- Layout state
  // The depth of one row, as last laid out (stored with the layout).
  int FixedDimension() const { return fixedDimension_; }
  void SetFixedDimension(int value);
  int RowCount();
  int FirstVisibleTab();
  // A single row longer than the strip: the scroll buttons show.
  bool ScrollerShown();
  int HotTab() const { return hotTab_; }
  // Whether the strip shows at all (without it the card fills the control).
  bool ShowTabs() const { return showTabs_; }
  void SetShowTabs(bool value);
  void SetLayoutStale();
  // Lays the tabs out when a change asked for it (every paint does this first).
  void UpdateLayout();

  // ---- Geometry, in control coordinates
  // The strip's area on its side of the control.
  RECT TabAreaRect();
  // The card of row layer `row` (0: the front card).
  RECT CardRect(int row);
  // Where the children go: inside the front card's frame.
  RECT CardClientRect();
  // The tab as drawn (the selected round-corner tab is larger).
  RECT GetTabRect(int index);
  // The tab's outline points, as drawn.
  std::vector<POINT> TabShape(int index);
  // The tab's region from the cache (made and cached when missing); owned by the cache.
  HRGN TabRegion(int index);
  bool IsTabFullyShown(int index);
  // The visible, fully shown tab at the point; -1 when none.
  int TabAtPos(int x, int y);
  // The transform from the normalised frame onto the control, with the current scroll offset.
  TFcTabTransform Transform();
  // One scroll button's and the close button's size.
  int ScrollButtonSize();

  // ---- Scrolling and the parts
  // One tab on or back, when a tab is cut off in that direction; true when it scrolled.
  bool ScrollForward();
  bool ScrollBackward();
  bool CanScrollForward();
  bool CanScrollBackward();
  TFcTabScroller* Scroller() const { return scroller_; }
  TFcTabCloseButton* CloseButton() const { return closeButton_; }
  // What the close button does: asks OnClose (AllowClose starts False) and closes the active
  // tab only when the handler allowed it.
  void CloseButtonClick();
  // The marker over a tab shown while a tab is dragged: its place, empty while none shows.
  RECT DropMarkerRect() const { return dropMarker_; }

  void Loaded() override;
  // Repaints the whole control (a hot-track change repaints only the strip).
  void Invalidate() override;

  TNotifyEvent OnChange;
  TFcTabChangingEvent OnChanging;
  TFcTabCloseEvent OnClose;
  TNotifyEvent OnTabClick;
  TFcPaintBackgroundEvent OnPaintBackground;
  TFcPaintCardBackgroundEvent OnPaintCardBackground;
  TFcPaintTabBackgroundEvent OnPaintTabBackground;
  TFcGetTextColorEvent OnGetTextColor;

 protected:
  // Fires OnChanging.
  virtual void DoChanging(int newIndex, bool& allowChange);
  // Fires OnChange.
  virtual void DoChange();
  virtual void DoTabClick();
  // The colour of a text of the tab, offered to OnGetTextColor first.
  virtual TColor DoGetTextColor(int tabIndex, TFcTextStyle style, TColor color);
  // The tab data changed: lay the tabs out again and repaint.
  virtual void LayoutChanged();
  // Repaints everything (not only the strip, as a hot-track change does).
  virtual void InvalidateTabs();
  virtual bool DoPaintBackground(TCanvas* canvas, const RECT& rect);
  virtual bool DoPaintCardBackground(TCanvas* canvas, int row, const RECT& rect);
  virtual bool DoPaintTabBackground(TCanvas* canvas, int tabIndex, const RECT& rect);
  // Shows the drag marker at `tabIndex`, or takes it away when it shows there already.
  virtual void ShowDropMarker(int tabIndex);
  // The close button's work and a tab dropped on another: nothing here.
  virtual void CloseActiveTab() {}
  virtual void MoveActiveTab(int newIndex) { (void)newIndex; }
  virtual void HideAllTabs() {}
  virtual void ShowAllTabs() {}
  // Whether the layout keeps the current tab: here only while it is visible and enabled; a
  // page control keeps a disabled one too.
  virtual bool KeepsCurrentTab(int index);

  // `forced`: OnChanging was asked already (or must not be).
  void SetTabIndexTo(int value, bool forced);
  // Selects the tab as the user does (keys, accelerators): then OnTabClick.
  void SelectTabByUser(int index, bool forced);

  void CreateParams(TCreateParams& params) override;
  void CreateWnd() override;
  void Notification(TComponent* component, TOperation operation) override;
  void AdjustClientRect(RECT& rect) override;
  void Paint() override;
  void KeyDown(WORD& key, TShiftState shift) override;
  void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
  void MouseMove(TShiftState shift, int x, int y) override;
  void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;

  void WMGetDlgCode(TMessage& m);
  void WMEraseBkgnd(TMessage& m);
  void WMSize(TMessage& m);
  void WMFocus(TMessage& m);
  void WMTimer(TWMTimer& m);
  void WMCaptureChanged(TMessage& m);
  void CMFontChanged(TMessage& m);
  void CMColorChanged(TMessage& m);
  void CMParentColorChanged(TMessage& m);
  void CMDialogChar(TWMKey& m);

  // Marks the layout stale and repaints.
  void LayoutSetting();
  template <class T>
  void ChangeLayout(T& field, T value) {
    if (field == value) return;
    field = value;
    LayoutSetting();
  }
  template <class T>
  void ChangeLook(T& field, T value) {
    if (field == value) return;
    field = value;
    Invalidate();
  }

 private:

  // ---- Layout (FcTabs.cpp)
  void LayoutTabs();
  int MeasureScrollButtonSize();
  // The strip's length, and the geometry the row layout needs.
  int StripLength();
  TFcTabStrip Strip();
  int Depth();
  // The first / last visible tab, -1 when none.
  int FirstShownIndex() const;
  int LastShownIndex() const;
  void EnsureLayout();
  // Puts the scroller and the close button in their places (or hides them).
  void PlaceButtons();
  TFcTabScroller* NeedScroller();
  TFcTabCloseButton* NeedCloseButton();
  void UpdateScroller();
  // The scroll offset with `first` as the first visible tab.
  int OffsetFor(int first);
  bool FullyShownFrom(int index, int first);
  RECT NormalDrawnRect(int index);
  bool ForwardIsUpRight() const;
  bool Scroll(bool forward);
  // Hot tracking and tab hints.
  void TrackHot(POINT p);
  void EndHotTracking(bool insideArea);
  void StopHotTimer();
  void InvalidateTabArea();
  void CancelDrag();

  // ---- Painting (FcTabPaint.cpp)
  void DrawTab(int index);
  void DrawCard(int row);
  void DrawTabContents(int index, const RECT& drawn);
  void DrawCaption(int index, const RECT& textRect, TColor color);
  void RecordTabOutline(int index, const RECT& drawn);
  void RecordCardOutline(int row, const RECT& card);
  void PlayRecorded();
  TColor OutlineColor() const;
  // Where the drop marker goes for a target tab.
  RECT DropMarkerPlace(int tabIndex);
  // The tab font as a handle for a caption (bold, rotated) of the tab; owned by the control.
  HFONT TabFont(bool bold, bool underline);
  void FreeTabFonts();

  std::unique_ptr<TFcTabDataList> tabs_;
  std::unique_ptr<TFcTabColors> tabColors_;
  std::unique_ptr<TFcTextColors> textColors_;
  std::unique_ptr<TFont> tabFont_;
  std::unique_ptr<TChangeLink> imagesLink_;
  TCustomImageList* images_ = nullptr;
  TFcTabScroller* scroller_ = nullptr;
  TFcTabCloseButton* closeButton_ = nullptr;

  int tabIndex_ = -1;
  bool alignTabs_ = false;
  bool allowTabDragging_ = false;
  TColor backgroundColor_ = clBtnFace;
  bool parentBackgroundColor_ = true;
  bool boldCurrentTab_ = false;
  int cutCornerSize_ = 6;
  TColor flatColor_ = clBtnShadow;
  int flatColorAdjustment_ = 0;
  bool hotTrack_ = true;
  TColor hotTrackColor_ = clHighlight;
  TFcHotTrackColorType hotTrackColorType_ = htctComplement;
  TFcHotTrackStyle hotTrackStyle_ = htsTab;
  TFcHorizontalAlignment imageAlignment_ = haCenter;
  TFcVerticalAlignment imageAlignmentVertical_ = vaCenter;
  TFcImagePosition imagePosition_ = ipLeft;
  int imageMargin_ = 2;
  int margin_ = 0;
  bool multiLine_ = false;
  int rowIndent_ = 5;
  int rowOverlap_ = 5;
  bool showCardFrame_ = true;
  bool showCloseButton_ = false;
  bool showFocusRect_ = true;
  bool showFullFrame_ = true;
  bool showShadow_ = true;
  int tabHeight_ = 0;
  int tabWidth_ = 0;
  bool tabHints_ = false;
  TFcTabOrientation tabOrientation_ = toTop;
  TFcTabSequence tabSequence_ = tsStandard;
  TFcTabStyle tabStyle_ = tsSingleSlant;
  TFcHorizontalAlignment textAlignment_ = haCenter;
  TFcVerticalAlignment textAlignmentVertical_ = vaCenter;
  TOrientation textOrientation_ = orHorizontal;
  bool transparent_ = false;
  bool useColoredTabs_ = false;
  bool useGradients_ = true;

  int fixedDimension_ = 0;
  int rowCount_ = 1;
  int scrollButtonSize_ = 1;
  int firstVisibleTab_ = -1;
  bool scrollerNeeded_ = false;
  int hotTab_ = -1;
  bool hotTimer_ = false;
  // A repaint for hot tracking only is pending: the card's shadow is left as it is.
  bool hotRepaint_ = false;
  bool fullRepaint_ = true;
  bool skipShadow_ = false;
  std::string savedHint_;
  bool layoutStale_ = true;
  bool inLayout_ = false;
  bool showTabs_ = true;
  RECT cardClient_{};
  TFcTabRegionCache regionCache_;

  // Dragging a tab.
  bool dragPending_ = false;
  bool dragging_ = false;
  POINT dragStart_{};
  int dropTarget_ = -1;
  RECT dropMarker_{};

  // Painting.
  // The off-screen bitmap and the parent's image under the control, of the control's size.
  std::unique_ptr<TPixelBuffer> buffer_;
  std::unique_ptr<TPixelBuffer> parentImage_;
  bool parentImagePainted_ = false;
  // The part of the control the paint under way must draw.
  RECT clip_{};
  std::unique_ptr<TCanvas> bufferCanvas_;
  TFcOutline outline_;
  // Fonts made for the captions, by (bold, underline); freed when the font or the
  // orientation changes.
  TGdiObject<HFONT> fonts_[2][2];
};

// Registers the tab control's colour sets for stored layouts (the page control registers the
// control's properties).
void RegisterFcTabs();
