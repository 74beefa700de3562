// The tab control's data, colour sets, row layout, settings and layout pass (see FcTabs.h).
//
// Index: caption helpers · tab data (TFcTabData, TFcTabDataList, the colour sets) · row layout
// (tab overlap and depth, counting rows, placing the tabs into slots, aligning the rows,
// bringing the selected row to the card) · construction, message table, window and loading ·
// settings (the property setters) · layout (the strip, LayoutTabs, UpdateLayout, the card and
// tab rectangles, TabShape, TabRegion, TabAtPos) · registration.
// Selection, scrolling, the mouse and keys live in FcTabInput.cpp; shapes, painting and the
// strip's buttons in FcTabPaint.cpp.
#include "controls/FcTabs.h"

#include <algorithm>
#include <climits>

#include "platform/Forms.h"
#include "platform/Hints.h"
#include "resources/ResourceIds.h"

const TEnumInfo TabStyleInfo{"TFcTabStyle", {"tsSingleSlant", "tsDoubleSlant", "tsCutCorner", "tsRoundCorners"}};
const TEnumInfo TabOrientationInfo{"TFcTabOrientation", {"toTop", "toLeft", "toBottom", "toRight"}};
const TEnumInfo TabSequenceInfo{"TFcTabSequence", {"tsStandard", "tsReverse"}};
const TEnumInfo ImagePositionInfo{"TFcImagePosition", {"ipLeft", "ipTop", "ipRight", "ipBottom", "ipBack", "ipStretch"}};
const TEnumInfo HorizontalAlignmentInfo{"TFcHorizontalAlignment", {"haLeft", "haCenter", "haRight"}};
const TEnumInfo VerticalAlignmentInfo{"TFcVerticalAlignment", {"vaTop", "vaCenter", "vaBottom"}};
const TEnumInfo HotTrackStyleInfo{"TFcHotTrackStyle", {"htsTab", "htsText"}};

namespace {

bool Horizontal(TFcTabOrientation o) { return o == toTop || o == toBottom; }

// The caption as it is measured and drawn: "&&" becomes "&", a lone "&" goes.
std::string WithoutAccelerator(const std::string& line) {
  std::string plain;
  for (size_t i = 0; i < line.size(); ++i) {
    if (line[i] == '&' && i + 1 < line.size()) {
      plain += line[i + 1];
      ++i;
    } else if (line[i] != '&') {
      plain += line[i];
    }
  }
  return plain;
}

}  // namespace

std::vector<std::string> CaptionLines(const std::string& caption) {
  std::vector<std::string> lines;
  size_t start = 0;
  for (;;) {
    size_t end = caption.find("\r\n", start);
    lines.push_back(caption.substr(start, end == std::string::npos ? std::string::npos : end - start));
    if (end == std::string::npos) break;
    start = end + 2;
  }
  return lines;
}

// ---- Tab data ---------------------------------------------------------------------------------

void TFcTabData::Assign(TPersistent* source) {
  auto* other = dynamic_cast<TFcTabData*>(source);
  if (!other) {
    TPersistent::Assign(source);
    return;
  }
  Caption = other->Caption;
  Color = other->Color;
  Enabled = other->Enabled;
  Hint = other->Hint;
  ImageIndex = other->ImageIndex;
  DisabledIndex = other->DisabledIndex;
  Visible = other->Visible;
}

void TFcTabDataList::Assign(TPersistent* source) {
  auto* other = dynamic_cast<TFcTabDataList*>(source);
  if (!other) {
    TPersistent::Assign(source);
    return;
  }
  std::vector<std::unique_ptr<TFcTabData>> copies;
  for (const auto& item : other->items_) {
    auto copy = std::make_unique<TFcTabData>();
    copy->Assign(item.get());
    copies.push_back(std::move(copy));
  }
  items_ = std::move(copies);
  Changed();
}

TFcTabData* TFcTabDataList::Items(int index) const {
  if (index < 0 || index >= Count()) throw EListError(Format("List index out of bounds (%d)", index));
  return items_[static_cast<size_t>(index)].get();
}

TFcTabData* TFcTabDataList::Add() {
  items_.push_back(std::make_unique<TFcTabData>());
  TFcTabData* added = items_.back().get();
  Changed();
  return added;
}

void TFcTabDataList::Replace(int index, std::unique_ptr<TFcTabData> data) {
  Items(index);
  items_[static_cast<size_t>(index)] = std::move(data);
  Changed();
}

void TFcTabDataList::Clear() {
  if (items_.empty()) return;
  items_.clear();
  Changed();
}

void TFcTabDataList::Changed() {
  if (OnChange) OnChange(this);
}

void TFcTabColorSet::Change(TColor& field, TColor value) {
  if (field == value) return;
  field = value;
  if (control_) control_->Invalidate();
}

void TFcTabColorSet::AssignColors(TColor* fields, const TColor* values, int count) {
  for (int i = 0; i < count; ++i) Change(fields[i], values[i]);
}

void TFcTabColors::Assign(TPersistent* source) {
  auto* other = dynamic_cast<TFcTabColors*>(source);
  if (!other) {
    TPersistent::Assign(source);
    return;
  }
  AssignColors(colors_, other->colors_, 3);
}

void TFcTextColors::Assign(TPersistent* source) {
  auto* other = dynamic_cast<TFcTextColors*>(source);
  if (!other) {
    TPersistent::Assign(source);
    return;
  }
  AssignColors(colors_, other->colors_, 4);
}

// ---- Row layout -------------------------------------------------------------------------------

int TabOverlap(TFcTabStyle style, int extent) {
  switch (style) {
    case tsSingleSlant: return extent / 2;
    case tsDoubleSlant: return extent;
    default: return -1;
  }
}

int TabAreaDepth(TFcTabStyle style, int fixedDimension, int rowOverlap, int rows) {
  return (style == tsRoundCorners ? 3 : 0) + fixedDimension + (fixedDimension - rowOverlap) * (std::max(rows, 1) - 1);
}

namespace {

// One visible tab's place as the greedy fill gives it: its row, its distance from the start
// of the strip and its length.
struct TSlot {
  int index;
  int row;
  int pos;
  int length;
};

// Fills rows greedily with `available` length each (a single row when `rows` is false): a tab
// fits when it ends short of `available`; one that does not fit ends its row, and one that
// does not fit an empty row stays alone in it.
std::vector<TSlot> FillRows(const TFcTabDataList& tabs, const std::vector<int>& lengths, const TFcTabStrip& strip,
                            int available, bool rows) {
  int overlap = TabOverlap(strip.Style, strip.FixedDimension);
  int cap = available - (strip.Style == tsRoundCorners ? 4 : 0);
  std::vector<TSlot> slots;
  int row = 0, pos = strip.Margin;
  bool empty = true;
  for (int i = 0; i < tabs.Count(); ++i) {
    if (!tabs.Items(i)->Visible) continue;
    int length = i < static_cast<int>(lengths.size()) ? lengths[static_cast<size_t>(i)] : 0;
    if (rows) length = std::max(1, std::min(length, cap));
    bool fits = !rows || pos + length < available;
    if (!fits && !empty) {
      ++row;
      pos = strip.Margin;
      fits = pos + length < available;
    }
    slots.push_back(TSlot{i, row, pos, length});
    if (fits) {
      pos += length - overlap + 1;
      empty = false;
    } else {
      ++row;
      pos = strip.Margin;
      empty = true;
    }
  }
  return slots;
}

int RowsUsed(const std::vector<TSlot>& slots) { return slots.empty() ? 0 : slots.back().row + 1; }

int AvailableLength(const TFcTabStrip& strip, int rows) {
  return strip.Length - 2 * strip.Margin - (rows - 1) * strip.RowIndent;
}

}  // namespace

int CountTabRows(const TFcTabDataList& tabs, const std::vector<int>& lengths, const TFcTabStrip& strip) {
  if (!strip.MultiLine) return 1;
  int visible = 0;
  for (int i = 0; i < tabs.Count(); ++i)
    if (tabs.Items(i)->Visible) ++visible;
  // With as many rows as tabs every tab has a row of its own, so the search ends there.
  for (int rows = 1;; ++rows) {
    int used = RowsUsed(FillRows(tabs, lengths, strip, AvailableLength(strip, rows), true));
    if (used <= rows || rows >= visible) return std::max(used, 1);
  }
}

void PlaceTabs(TFcTabDataList& tabs, const std::vector<int>& lengths, int rows, const TFcTabStrip& strip) {
  rows = std::max(rows, 1);
  int depth = TabAreaDepth(strip.Style, strip.FixedDimension, strip.RowOverlap, rows);
  std::vector<TSlot> slots = FillRows(tabs, lengths, strip, AvailableLength(strip, rows), strip.MultiLine);
  for (int i = 0; i < tabs.Count(); ++i) {
    tabs.Items(i)->TabRect = RECT{};
    tabs.Items(i)->Row = 0;
  }
  int end = 0;
  for (const TSlot& s : slots) {
    TFcTabData* tab = tabs.Items(s.index);
    int top = depth - strip.FixedDimension - s.row * (strip.FixedDimension - strip.RowOverlap);
    if (strip.Sequence == tsStandard)
      tab->TabRect = RECT{s.pos, top, s.pos + s.length, top + strip.FixedDimension};
    else
      tab->TabRect = RECT{-s.pos - s.length, top, -s.pos, top + strip.FixedDimension};
    tab->Row = s.row;
    end = s.pos + s.length - TabOverlap(strip.Style, strip.FixedDimension) + 1;
  }
  if (strip.Sequence == tsReverse) {
    int shift = strip.MultiLine ? strip.ControlWidth : end;
    for (const TSlot& s : slots) OffsetRect(&tabs.Items(s.index)->TabRect, shift, 0);
  }
}

void AlignTabRows(TFcTabDataList& tabs, int rows, const TFcTabStrip& strip) {
  bool reverse = strip.Sequence == tsReverse;
  for (int row = 0; row < rows; ++row) {
    std::vector<TFcTabData*> members;
    for (int i = 0; i < tabs.Count(); ++i) {
      TFcTabData* tab = tabs.Items(i);
      if (tab->Visible && tab->Row == row) members.push_back(tab);
    }
    if (members.empty()) continue;
    int used = reverse ? members.front()->TabRect.right - members.back()->TabRect.left
                       : members.back()->TabRect.right - members.front()->TabRect.left;
    if (strip.Style == tsRoundCorners) used += 4;
    int spare = AvailableLength(strip, rows) - used;
    if (spare < 1) continue;
    int n = static_cast<int>(members.size());
    int shift = 0;
    for (int k = 0; k < n; ++k) {
      int grow = spare / n + (k < spare % n ? 1 : 0);
      RECT& r = members[static_cast<size_t>(k)]->TabRect;
      if (reverse) {
        r.right -= shift;
        r.left -= shift + grow;
      } else {
        r.left += shift;
        r.right += shift + grow;
      }
      shift += grow;
    }
  }
}

void MoveSelectedRowToFront(TFcTabDataList& tabs, int rows, int selected) {
  if (selected < 0 || selected >= tabs.Count() || rows < 2) return;
  TFcTabData* current = tabs.Items(selected);
  if (!current->Visible || current->Row == 0) return;
  int last = rows - 1, from = current->Row;
  // Each row's place across the strip, from its first tab.
  std::vector<std::pair<int, int>> place(static_cast<size_t>(rows), {INT_MIN, INT_MIN});
  for (int i = 0; i < tabs.Count(); ++i) {
    TFcTabData* tab = tabs.Items(i);
    if (!tab->Visible || tab->Row < 0 || tab->Row > last) continue;
    auto& p = place[static_cast<size_t>(tab->Row)];
    if (p.first == INT_MIN) p = {tab->TabRect.top, tab->TabRect.bottom};
  }
  for (int i = 0; i < tabs.Count(); ++i) {
    TFcTabData* tab = tabs.Items(i);
    if (!tab->Visible || tab->Row < 0 || tab->Row > last) continue;
    tab->Row = (tab->Row + last - from + 1) % (last + 1);
    const auto& p = place[static_cast<size_t>(tab->Row)];
    if (p.first != INT_MIN) {
      tab->TabRect.top = p.first;
      tab->TabRect.bottom = p.second;
    }
  }
}

// ---- The tab control --------------------------------------------------------------------------

TFcCustomTabControl::TFcCustomTabControl(TComponent* owner)
    : TCustomControl(owner),
      tabs_(std::make_unique<TFcTabDataList>()),
      tabColors_(std::make_unique<TFcTabColors>(this)),
      textColors_(std::make_unique<TFcTextColors>(this)),
      tabFont_(std::make_unique<TFont>()),
      imagesLink_(std::make_unique<TChangeLink>()) {
  controlStyle_ = TControlStyle{csAcceptsControls, csCaptureMouse, csClickEvents, csDoubleClicks};
  SetBounds(Left(), Top(), 300, 100);
  SetTabStop(true);
  SetColor(clBtnFace);
  tabFont_->Assign(Font());
  tabs_->OnChange = [this](TObject*) { LayoutSetting(); };
  imagesLink_->OnChange = [this](TObject*) { Invalidate(); };
}

TFcCustomTabControl::~TFcCustomTabControl() {
  Destroying();
  StopHotTimer();
  if (images_) images_->UnRegisterChanges(imagesLink_.get());
  tabs_->OnChange = nullptr;
}

TMessageTable& TFcCustomTabControl::Messages() {
  static TMessageTable* table = [] {
    auto* t = new TMessageTable(&TInheritedClass::Messages());
    using C = TFcCustomTabControl;
    t->Add(WM_GETDLGCODE, Handler(&C::WMGetDlgCode));
    t->Add(WM_ERASEBKGND, Handler(&C::WMEraseBkgnd));
    t->Add(WM_SIZE, Handler(&C::WMSize));
    t->Add(WM_SETFOCUS, Handler(&C::WMFocus));
    t->Add(WM_KILLFOCUS, Handler(&C::WMFocus));
    t->Add(WM_TIMER, Handler(&C::WMTimer));
    t->Add(WM_CAPTURECHANGED, Handler(&C::WMCaptureChanged));
    t->Add(CM_FONTCHANGED, Handler(&C::CMFontChanged));
    t->Add(CM_COLORCHANGED, Handler(&C::CMColorChanged));
    t->Add(CM_PARENTCOLORCHANGED, Handler(&C::CMParentColorChanged));
    t->Add(CM_DIALOGCHAR, Handler(&C::CMDialogChar));
    return t;
  }();
  return *table;
}

void TFcCustomTabControl::CreateParams(TCreateParams& params) {
  TCustomControl::CreateParams(params);
  params.WindowClass.style &= ~(CS_HREDRAW | CS_VREDRAW);
  // The scroller and the close button are windows of their own over the strip.
  params.Style |= WS_CLIPCHILDREN;
}

void TFcCustomTabControl::CreateWnd() {
  TCustomControl::CreateWnd();
  hotTimer_ = false;
}

void TFcCustomTabControl::Loaded() {
  TCustomControl::Loaded();
  savedHint_ = Hint();
  layoutStale_ = true;
  if (textOrientation_ == orVertical && !FontIsTrueType(Font())) Font()->SetName("Verdana");
  SetTabIndex(0);
}

void TFcCustomTabControl::Notification(TComponent* component, TOperation operation) {
  TCustomControl::Notification(component, operation);
  if (operation == opRemove && component == images_) {
    images_ = nullptr;
    LayoutSetting();
  }
}

// ---- Settings -------------------------------------------------------------------------------

void TFcCustomTabControl::LayoutSetting() {
  layoutStale_ = true;
  Invalidate();
}

void TFcCustomTabControl::SetLayoutStale() { LayoutSetting(); }

void TFcCustomTabControl::SetAlignTabs(bool value) {
  if (value == alignTabs_) return;
  alignTabs_ = value;
  if (multiLine_) LayoutSetting();
}

void TFcCustomTabControl::SetBackgroundColor(TColor value) {
  parentBackgroundColor_ = false;
  ChangeLook(backgroundColor_, value);
}

void TFcCustomTabControl::SetParentBackgroundColor(bool value) {
  if (value == parentBackgroundColor_) return;
  parentBackgroundColor_ = value;
  if (value && Parent()) Perform(CM_PARENTCOLORCHANGED);
}

void TFcCustomTabControl::SetBoldCurrentTab(bool value) { ChangeLayout(boldCurrentTab_, value); }

void TFcCustomTabControl::SetCutCornerSize(int value) {
  if (value < 0 || value == cutCornerSize_) return;
  cutCornerSize_ = value;
  if (tabStyle_ == tsCutCorner) LayoutSetting();
}

void TFcCustomTabControl::SetFlatColor(TColor value) {
  if (value == flatColor_) return;
  flatColor_ = value;
  if (scroller_) scroller_->SetFrameColor(OutlineColor());
  if (closeButton_) closeButton_->SetFrameColor(OutlineColor());
  Invalidate();
}

void TFcCustomTabControl::SetFlatColorAdjustment(int value) {
  if (value == flatColorAdjustment_) return;
  flatColorAdjustment_ = value;
  if (scroller_) scroller_->SetFrameColor(OutlineColor());
  if (closeButton_) closeButton_->SetFrameColor(OutlineColor());
  Invalidate();
}

TColor TFcCustomTabControl::OutlineColor() const { return ShiftLightness(flatColor_, flatColorAdjustment_); }

void TFcCustomTabControl::SetHotTrack(bool value) {
  if (value == hotTrack_) return;
  hotTrack_ = value;
  if (!value && !tabHints_) {
    StopHotTimer();
    hotTab_ = -1;
  }
  Invalidate();
}

void TFcCustomTabControl::SetHotTrackColor(TColor value) { ChangeLook(hotTrackColor_, value); }
void TFcCustomTabControl::SetHotTrackColorType(TFcHotTrackColorType value) { ChangeLook(hotTrackColorType_, value); }
void TFcCustomTabControl::SetHotTrackStyle(TFcHotTrackStyle value) { ChangeLook(hotTrackStyle_, value); }
void TFcCustomTabControl::SetImageAlignment(TFcHorizontalAlignment value) { ChangeLayout(imageAlignment_, value); }
void TFcCustomTabControl::SetImageAlignmentVertical(TFcVerticalAlignment value) {
  ChangeLayout(imageAlignmentVertical_, value);
}
void TFcCustomTabControl::SetImagePosition(TFcImagePosition value) { ChangeLayout(imagePosition_, value); }

void TFcCustomTabControl::SetImageMargin(int value) {
  if (value >= 0) ChangeLayout(imageMargin_, value);
}

void TFcCustomTabControl::SetImages(TCustomImageList* value) {
  if (value == images_) return;
  if (images_) {
    images_->UnRegisterChanges(imagesLink_.get());
    images_->RemoveFreeNotification(this);
  }
  images_ = value;
  if (images_) {
    images_->RegisterChanges(imagesLink_.get());
    images_->FreeNotification(this);
  }
  LayoutSetting();
}

void TFcCustomTabControl::SetMargin(int value) {
  if (value >= 0) ChangeLayout(margin_, value);
}

void TFcCustomTabControl::SetMultiLine(bool value) { ChangeLayout(multiLine_, value); }

void TFcCustomTabControl::SetRowIndent(int value) {
  if (value >= 0) ChangeLayout(rowIndent_, value);
}

void TFcCustomTabControl::SetRowOverlap(int value) {
  if (value >= 0) ChangeLayout(rowOverlap_, value);
}

void TFcCustomTabControl::SetShowCardFrame(bool value) { ChangeLayout(showCardFrame_, value); }

void TFcCustomTabControl::SetShowCloseButton(bool value) {
  if (value == showCloseButton_) return;
  showCloseButton_ = value;
  if (value) NeedCloseButton();
  if (closeButton_) closeButton_->SetVisible(value);
  LayoutSetting();
}

void TFcCustomTabControl::SetShowFocusRect(bool value) { ChangeLook(showFocusRect_, value); }

void TFcCustomTabControl::SetShowFullFrame(bool value) {
  if (value == showFullFrame_) return;
  showFullFrame_ = value;
  if (!value) showShadow_ = false;
  LayoutSetting();
}

void TFcCustomTabControl::SetShowShadow(bool value) {
  if (value == showShadow_) return;
  showShadow_ = value;
  if (value) showFullFrame_ = true;
  LayoutSetting();
}

void TFcCustomTabControl::SetTabHeight(int value) {
  if (value >= 0) ChangeLayout(tabHeight_, value);
}

void TFcCustomTabControl::SetTabWidth(int value) {
  if (value >= 0) ChangeLayout(tabWidth_, value);
}

void TFcCustomTabControl::SetTabHints(bool value) {
  if (value == tabHints_) return;
  tabHints_ = value;
  if (!value && !hotTrack_) {
    StopHotTimer();
    hotTab_ = -1;
  }
}

void TFcCustomTabControl::SetTabOrientation(TFcTabOrientation value) {
  if (value == tabOrientation_) return;
  tabOrientation_ = value;
  FreeTabFonts();
  if (scroller_) scroller_->SetOrientation(Horizontal(value) ? orHorizontal : orVertical);
  if (!ComponentState().Contains(csLoading) && !ComponentState().Contains(csReading)) LayoutSetting();
  else layoutStale_ = true;
}

void TFcCustomTabControl::SetTabSequence(TFcTabSequence value) { ChangeLayout(tabSequence_, value); }
void TFcCustomTabControl::SetTabStyle(TFcTabStyle value) { ChangeLayout(tabStyle_, value); }
void TFcCustomTabControl::SetTextAlignment(TFcHorizontalAlignment value) { ChangeLayout(textAlignment_, value); }
void TFcCustomTabControl::SetTextAlignmentVertical(TFcVerticalAlignment value) {
  ChangeLayout(textAlignmentVertical_, value);
}

void TFcCustomTabControl::SetTextOrientation(TOrientation value) {
  if (value == textOrientation_) return;
  textOrientation_ = value;
  if (!ComponentState().Contains(csLoading) && !FontIsTrueType(Font())) Font()->SetName("Verdana");
  FreeTabFonts();
  LayoutSetting();
}

void TFcCustomTabControl::SetTransparent(bool value) { ChangeLook(transparent_, value); }
void TFcCustomTabControl::SetUseColoredTabs(bool value) { ChangeLook(useColoredTabs_, value); }
void TFcCustomTabControl::SetUseGradients(bool value) { ChangeLook(useGradients_, value); }

void TFcCustomTabControl::SetTabRegionCacheSize(int value) {
  if (value == -1 || value > 0) regionCache_.SetCapacity(value);
}

void TFcCustomTabControl::SetFixedDimension(int value) {
  if (value < 0 || value == fixedDimension_) return;
  fixedDimension_ = value;
  LayoutSetting();
}

void TFcCustomTabControl::SetShowTabs(bool value) { ChangeLayout(showTabs_, value); }

// ---- Layout -----------------------------------------------------------------------------------

int TFcCustomTabControl::RowCount() {
  EnsureLayout();
  return rowCount_;
}

int TFcCustomTabControl::FirstVisibleTab() {
  EnsureLayout();
  return firstVisibleTab_;
}

bool TFcCustomTabControl::ScrollerShown() {
  EnsureLayout();
  return scrollerNeeded_;
}

void TFcCustomTabControl::EnsureLayout() {
  if (layoutStale_) UpdateLayout();
}

int TFcCustomTabControl::Depth() {
  if (!showTabs_) return 0;
  return TabAreaDepth(tabStyle_, fixedDimension_, rowOverlap_, rowCount_);
}

RECT TFcCustomTabControl::TabAreaRect() {
  int w = Width() - 1, h = Height() - 1, d = Depth();
  switch (tabOrientation_) {
    case toTop: return RECT{0, 0, showShadow_ ? w - 2 : w, d};
    case toBottom: return RECT{0, h - d, w, h};
    case toLeft: return RECT{0, 0, d, h};
    default: return RECT{w - d, 0, w, h};
  }
}

int TFcCustomTabControl::StripLength() {
  RECT area = TabAreaRect();
  return Horizontal(tabOrientation_) ? area.right - area.left : area.bottom - area.top;
}

TFcTabStrip TFcCustomTabControl::Strip() {
  TFcTabStrip strip;
  strip.Style = tabStyle_;
  strip.Sequence = tabSequence_;
  strip.MultiLine = multiLine_;
  strip.Length = StripLength();
  strip.FixedDimension = fixedDimension_;
  strip.Margin = margin_;
  strip.RowIndent = rowIndent_;
  strip.RowOverlap = rowOverlap_;
  strip.ControlWidth = Width();
  return strip;
}

int TFcCustomTabControl::FirstShownIndex() const {
  for (int i = 0; i < tabs_->Count(); ++i)
    if (tabs_->Items(i)->Visible) return i;
  return -1;
}

int TFcCustomTabControl::LastShownIndex() const {
  for (int i = tabs_->Count() - 1; i >= 0; --i)
    if (tabs_->Items(i)->Visible) return i;
  return -1;
}

int TFcCustomTabControl::ScrollButtonSize() {
  EnsureLayout();
  return scrollButtonSize_;
}

int TFcCustomTabControl::MeasureScrollButtonSize() {
  TMeasureDC screen;
  TSelectObject font(screen, TabFont(false, false));
  SIZE a{};
  GetTextExtentPoint32A(screen, "A", 1, &a);
  bool vertical = textOrientation_ == orVertical;
  int across = Horizontal(tabOrientation_) == !vertical ? a.cy : a.cx;
  int size = std::min<int>(across + 4 + (vertical ? 2 : 0), fixedDimension_ - 2);
  bool fixed = (Horizontal(tabOrientation_) && !vertical && tabHeight_ > 0) ||
               (!Horizontal(tabOrientation_) && vertical && tabWidth_ > 0);
  if (fixed) size = std::max(size, fixedDimension_ - 2);
  return std::max(size, 1);
}

void TFcCustomTabControl::LayoutTabs() {
  TMeasureDC screen;
  bool vertical = textOrientation_ == orVertical;
  bool horizontalStrip = Horizontal(tabOrientation_);
  auto extent = [&](const std::string& text) {
    SIZE s{};
    GetTextExtentPoint32A(screen, text.c_str(), static_cast<int>(text.size()), &s);
    return s;
  };
  SIZE box{};
  {
    TSelectObject plain(screen, TabFont(false, false));
    box = extent(tabStyle_ == tsRoundCorners ? "AAA" : "A");
  }
  if (vertical) std::swap(box.cx, box.cy);

  // The contents (a across, b down, as the control shows them) of every visible tab.
  int n = tabs_->Count();
  std::vector<SIZE> content(static_cast<size_t>(n), SIZE{0, 0});
  TSelectObject captionFont(screen, TabFont(boldCurrentTab_, false));
  for (int i = 0; i < n; ++i) {
    TFcTabData* tab = tabs_->Items(i);
    if (!tab->Visible) continue;
    SIZE text{0, 0};
    for (const std::string& line : CaptionLines(tab->Caption)) {
      SIZE s = extent(WithoutAccelerator(line));
      text.cx = std::max(text.cx, s.cx);
      text.cy += s.cy;
    }
    if (vertical) std::swap(text.cx, text.cy);
    SIZE image{0, 0};
    if (images_ && tab->ImageIndex != -1) image = SIZE{images_->Width(), images_->Height()};
    bool hasImage = image.cx > 0 || image.cy > 0;
    SIZE c = text;
    switch (imagePosition_) {
      case ipLeft:
      case ipRight:
        if (hasImage) c = SIZE{imageMargin_ + image.cx + text.cx, std::max(image.cy, text.cy)};
        break;
      case ipTop:
      case ipBottom:
        if (hasImage) c = SIZE{std::max(image.cx, text.cx), imageMargin_ + image.cy + text.cy};
        break;
      case ipBack: c = SIZE{std::max(image.cx, text.cx), std::max(image.cy, text.cy)}; break;
      case ipStretch: break;
    }
    if (tabWidth_ == 0) c.cx = std::max(c.cx, box.cx);
    if (tabHeight_ == 0) c.cy = std::max(c.cy, box.cy);
    content[static_cast<size_t>(i)] = c;
  }

  // Every tab gets the deepest contents across the strip.
  int deepest = 0;
  for (int i = 0; i < n; ++i)
    if (tabs_->Items(i)->Visible) {
      const SIZE& c = content[static_cast<size_t>(i)];
      deepest = std::max<int>(deepest, horizontalStrip ? c.cy : c.cx);
    }
  if (FirstShownIndex() < 0) deepest = horizontalStrip ? box.cy : box.cx;

  auto outer = [&](SIZE c) {
    int a = c.cx, b = c.cy, w = 0, h = 0;
    int cut = cutCornerSize_;
    switch (tabStyle_) {
      case tsSingleSlant:
        if (horizontalStrip) {
          w = 2 * TabOverlap(tabStyle_, b + 6) + a + 2 + tabHeight_ / 2 + 4;
          h = b + 6;
        } else {
          w = a + 6;
          h = b + 2 + 2 * TabOverlap(tabStyle_, a + 6) + tabHeight_ / 2 + 4;
        }
        break;
      case tsDoubleSlant:
        if (horizontalStrip) {
          w = 2 * TabOverlap(tabStyle_, b + 2) + a + 2 + tabHeight_ + 4;
          h = b + 6;
        } else {
          w = a + 6;
          h = b + 2 + 2 * TabOverlap(tabStyle_, a + 2) + tabHeight_ + 4;
        }
        break;
      case tsCutCorner:
        if (horizontalStrip) {
          w = vertical ? a + 10 : a + 2 * cut + 8;
          h = vertical ? b + cut + 7 : b + 7;
        } else {
          w = vertical ? a + 7 : a + cut + 7;
          h = vertical ? b + 2 * cut + 8 : b + 10;
        }
        break;
      case tsRoundCorners:
        w = vertical ? a + 6 : a + 16;
        h = vertical ? b + 16 : b + 6;
        break;
    }
    if (tabWidth_ > 0) w = tabWidth_;
    if (tabHeight_ > 0) h = tabHeight_;
    return SIZE{w, h};
  };

  std::vector<int> lengths(static_cast<size_t>(n), 0);
  int fixed = 0;
  for (int i = 0; i < n; ++i) {
    if (!tabs_->Items(i)->Visible) continue;
    SIZE c = content[static_cast<size_t>(i)];
    if (horizontalStrip)
      c.cy = deepest;
    else
      c.cx = deepest;
    SIZE o = outer(c);
    lengths[static_cast<size_t>(i)] = horizontalStrip ? o.cx : o.cy;
    fixed = std::max<int>(fixed, horizontalStrip ? o.cy : o.cx);
  }
  if (FirstShownIndex() < 0) {
    SIZE o = outer(box);
    fixed = horizontalStrip ? o.cy : o.cx;
  }
  fixedDimension_ = fixed;

  rowCount_ = 1;
  TFcTabStrip strip = Strip();
  rowCount_ = CountTabRows(*tabs_, lengths, strip);
  strip.Length = StripLength();
  PlaceTabs(*tabs_, lengths, rowCount_, strip);
  bool measured = horizontalStrip ? tabWidth_ == 0 : tabHeight_ == 0;
  if (multiLine_ && alignTabs_ && measured) AlignTabRows(*tabs_, rowCount_, strip);
}

void TFcCustomTabControl::UpdateLayout() {
  if (!layoutStale_ || inLayout_ || ComponentState().Contains(csLoading) ||
      ComponentState().Contains(csDestroying))
    return;
  TRestore<bool> busy(inLayout_, true);
  layoutStale_ = false;
  LayoutTabs();
  scrollButtonSize_ = MeasureScrollButtonSize();
  regionCache_.Clear();

  int first = FirstShownIndex(), last = LastShownIndex();
  int closeSize = showCloseButton_ ? scrollButtonSize_ : 0;
  scrollerNeeded_ = false;
  if (!multiLine_ && showTabs_ && first >= 0) {
    int edge = tabSequence_ == tsStandard ? tabs_->Items(last)->TabRect.right : tabs_->Items(first)->TabRect.right;
    scrollerNeeded_ = StripLength() - 2 * margin_ - closeSize < edge;
  }

  int count = tabs_->Count();
  if (scrollerNeeded_) {
    int old = firstVisibleTab_;
    int f = std::max(old, first);
    while (f < count && !FullyShownFrom(f, f)) ++f;
    if (f >= count) {
      f = std::min(old, count) - 1;
      while (f >= 0 && !FullyShownFrom(f, f)) --f;
      if (f < 0) f = first;
    }
    firstVisibleTab_ = f;
  } else {
    firstVisibleTab_ = first;
  }

  // The selection is checked again. No selection stays none: the page control leaves it so
  // for a page without a tab.
  if (tabIndex_ >= 0) {
    int chosen = -1;
    if (tabIndex_ < count && KeepsCurrentTab(tabIndex_)) {
      chosen = tabIndex_;
    } else {
      for (int i = tabIndex_; i < count && chosen < 0; ++i)
        if (CanSelectTab(i)) chosen = i;
      for (int i = std::min(tabIndex_, count - 1); i >= 0 && chosen < 0; --i)
        if (CanSelectTab(i)) chosen = i;
    }
    SetTabIndexTo(chosen, true);
  }

  PlaceButtons();
  RECT client = CardClientRect();
  if (!EqualRect(&client, &cardClient_)) {
    cardClient_ = client;
    Realign();
  }
}

bool TFcCustomTabControl::KeepsCurrentTab(int index) {
  TFcTabData* tab = tabs_->Items(index);
  return tab->Visible && (tab->Enabled || ComponentState().Contains(csDesigning));
}

void TFcCustomTabControl::AdjustClientRect(RECT& rect) {
  EnsureLayout();
  rect = CardClientRect();
}

RECT TFcCustomTabControl::CardRect(int row) {
  int w = Width() - 1, h = Height() - 1;
  if (!showTabs_) return RECT{-3, -3, w + 3, h + 3};
  int d = Depth();
  int shift = row * (fixedDimension_ - rowOverlap_);
  RECT c{};
  switch (tabOrientation_) {
    case toTop: c = RECT{0, d - shift, w, h - shift}; break;
    case toBottom: c = RECT{0, shift, w, h - d + shift}; break;
    case toLeft: c = RECT{d - shift, 0, w - shift, h}; break;
    case toRight: c = RECT{shift, 0, w - d + shift, h}; break;
  }
  int atStart = row * rowIndent_, atEnd = (rowCount_ - row - 1) * rowIndent_;
  if (tabSequence_ == tsReverse) std::swap(atStart, atEnd);
  switch (tabOrientation_) {
    case toTop:
    case toBottom:
      c.left += atStart;
      c.right -= atEnd;
      break;
    case toLeft:
      c.bottom -= atStart;
      c.top += atEnd;
      break;
    case toRight:
      c.top += atStart;
      c.bottom -= atEnd;
      break;
  }
  if (c.right < c.left || c.bottom < c.top) return RECT{};
  return c;
}

RECT TFcCustomTabControl::CardClientRect() {
  if (!showTabs_) return RECT{0, 0, Width(), Height()};
  RECT c = CardRect(0);
  if (showCardFrame_ && showFullFrame_) {
    c.left += 1;
    c.top += 1;
    if (showShadow_ && tabOrientation_ == toTop && tabSequence_ == tsStandard) {
      c.right -= 2;
      c.bottom -= 2;
    }
  } else {
    c.right += 1;
    c.bottom += 1;
    if (showCardFrame_) {
      switch (tabOrientation_) {
        case toTop: c.top += 1; break;
        case toBottom: c.bottom -= 1; break;
        case toLeft: c.left += 1; break;
        case toRight: c.right -= 1; break;
      }
    }
  }
  return c;
}

int TFcCustomTabControl::OffsetFor(int first) {
  if (first < 0 || first >= tabs_->Count()) return 0;
  const RECT& r = tabs_->Items(first)->TabRect;
  int extra = tabStyle_ == tsRoundCorners ? 2 : 0;
  return tabSequence_ == tsStandard ? r.left - margin_ - extra : r.right + margin_ + extra;
}

TFcTabTransform TFcCustomTabControl::Transform() {
  EnsureLayout();
  TFcTabTransform t;
  t.Orientation = tabOrientation_;
  t.Sequence = tabSequence_;
  t.Area = TabAreaRect();
  t.Offset = OffsetFor(firstVisibleTab_);
  return t;
}

bool TFcCustomTabControl::FullyShownFrom(int index, int first) {
  if (index < 0 || index >= tabs_->Count() || !tabs_->Items(index)->Visible) return false;
  if (!scrollerNeeded_) return true;
  int s = scrollButtonSize_;
  int room = StripLength() - 2 * s - 2 * margin_ - (showCloseButton_ ? s : 0);
  int o = OffsetFor(first);
  const RECT& r = tabs_->Items(index)->TabRect;
  if (tabSequence_ == tsStandard) return r.left >= o && r.right - o <= room;
  return r.right <= o && o - r.left <= room;
}

bool TFcCustomTabControl::IsTabFullyShown(int index) {
  EnsureLayout();
  return FullyShownFrom(index, firstVisibleTab_);
}

RECT TFcCustomTabControl::NormalDrawnRect(int index) {
  TFcTabData* tab = tabs_->Items(index);
  RECT r = tab->TabRect;
  OffsetRect(&r, (tabSequence_ == tsStandard ? 1 : -1) * tab->Row * rowIndent_, 0);
  if (index == tabIndex_ && tabStyle_ == tsRoundCorners) {
    r.left -= 2;
    r.right += 2;
    r.top -= 2;
  }
  return r;
}

RECT TFcCustomTabControl::GetTabRect(int index) {
  EnsureLayout();
  if (index < 0 || index >= tabs_->Count() || !tabs_->Items(index)->Visible) return RECT{};
  return Transform().Map(NormalDrawnRect(index));
}

std::vector<POINT> TFcCustomTabControl::TabShape(int index) {
  EnsureLayout();
  TFcTabTransform t = Transform();
  std::vector<POINT> points = TabPolygon(tabStyle_, NormalDrawnRect(index), cutCornerSize_);
  for (POINT& p : points) p = t.Map(p);
  return points;
}

HRGN TFcCustomTabControl::TabRegion(int index) {
  RECT rect = GetTabRect(index);
  if (HRGN cached = regionCache_.Find(rect)) return cached;
  std::vector<POINT> points = TabShape(index);
  if (points.size() < 3) return nullptr;
  HRGN region = CreatePolygonRgn(points.data(), static_cast<int>(points.size()), ALTERNATE);
  if (!region) throw EFcTabError(LoadResString(IDS_FC_TAB_REGION));
  regionCache_.Add(rect, region);
  return region;
}

int TFcCustomTabControl::TabAtPos(int x, int y) {
  EnsureLayout();
  int count = tabs_->Count();
  if (count == 0 || firstVisibleTab_ < 0 || !showTabs_) return -1;
  auto hit = [&](int i) {
    if (!IsTabFullyShown(i)) return false;
    RECT r = GetTabRect(i);
    POINT p{x, y};
    // The outline's right and bottom edges belong to the tab as well.
    InflateRect(&r, 1, 1);
    if (!PtInRect(&r, p)) return false;
    HRGN region = TabRegion(i);
    return region && (PtInRegion(region, x, y) || PtInRegion(region, x - 1, y) || PtInRegion(region, x, y - 1));
  };
  if (tabIndex_ >= 0 && tabIndex_ < count && hit(tabIndex_)) return tabIndex_;
  int i = firstVisibleTab_;
  do {
    if (i != tabIndex_ && hit(i)) return i;
    i = (i + 1) % count;
  } while (i != firstVisibleTab_);
  return -1;
}

// ---- Registration ---------------------------------------------------------------------------------

void RegisterFcTabs() {
  RegisterClassInfo<TFcTabColors, TPersistent>("TFcTabColors")
      .Color("HighlightBar", &TFcTabColors::HighlightBar, &TFcTabColors::SetHighlightBar, clHighlight)
      .Color("Shadow", &TFcTabColors::Shadow, &TFcTabColors::SetShadow, clBtnFace)
      .Color("Unselected", &TFcTabColors::Unselected, &TFcTabColors::SetUnselected, clWindow);
  RegisterClassInfo<TFcTextColors, TPersistent>("TFcTextColors")
      .Color("DisabledHighlight", &TFcTextColors::DisabledHighlight, &TFcTextColors::SetDisabledHighlight,
             clBtnHighlight)
      .Color("DisabledShadow", &TFcTextColors::DisabledShadow, &TFcTextColors::SetDisabledShadow, clBtnShadow)
      .Color("Selected", &TFcTextColors::Selected, &TFcTextColors::SetSelected, clBtnText)
      .Color("Unselected", &TFcTextColors::Unselected, &TFcTextColors::SetUnselected, clBtnText);

  using C = TFcCustomTabControl;
  RegisterClassInfo<C, TCustomControl>("TFcCustomTabControl")
      .Boolean("AlignTabs", &C::AlignTabs, &C::SetAlignTabs, false)
      .Boolean("AllowTabDragging", &C::AllowTabDragging, &C::SetAllowTabDragging, false)
      .Color("BackgroundColor", &C::BackgroundColor, &C::SetBackgroundColor, clBtnFace)
      .StoredIf([](C* c) { return !c->ParentBackgroundColor(); })
      .Boolean("ParentBackgroundColor", &C::ParentBackgroundColor, &C::SetParentBackgroundColor, true)
      .Boolean("BoldCurrentTab", &C::BoldCurrentTab, &C::SetBoldCurrentTab, false)
      .Color("Color", &C::Color, &C::SetColor, clBtnFace)
      .StoredIf([](C* c) { return !c->ParentColor(); })
      .Boolean("ParentColor", &C::ParentColor, &C::SetParentColor, false)
      .Integer("CutCornerSize", &C::CutCornerSize, &C::SetCutCornerSize, 6)
      .Color("FlatColor", &C::FlatColor, &C::SetFlatColor, clBtnShadow)
      .Integer("FlatColorAdjustment", &C::FlatColorAdjustment, &C::SetFlatColorAdjustment, 0)
      .Boolean("HotTrack", &C::HotTrack, &C::SetHotTrack, true)
      .Color("HotTrackColor", &C::HotTrackColor, &C::SetHotTrackColor, clHighlight)
      .Enum("HotTrackColorType", HotTrackColorTypeInfo, &C::HotTrackColorType, &C::SetHotTrackColorType,
            htctComplement)
      .Enum("HotTrackStyle", HotTrackStyleInfo, &C::HotTrackStyle, &C::SetHotTrackStyle, htsTab)
      .Enum("ImageAlignment", HorizontalAlignmentInfo, &C::ImageAlignment, &C::SetImageAlignment, haCenter)
      .Enum("ImageAlignmentVertical", VerticalAlignmentInfo, &C::ImageAlignmentVertical,
            &C::SetImageAlignmentVertical, vaCenter)
      .Enum("ImagePosition", ImagePositionInfo, &C::ImagePosition, &C::SetImagePosition, ipLeft)
      .Integer("ImageMargin", &C::ImageMargin, &C::SetImageMargin, 2)
      .Component("Images", &C::Images, &C::SetImages)
      .Integer("Margin", &C::Margin, &C::SetMargin, 0)
      .Boolean("MultiLine", &C::MultiLine, &C::SetMultiLine, false)
      .Integer("RowIndent", &C::RowIndent, &C::SetRowIndent, 5)
      .Integer("RowOverlap", &C::RowOverlap, &C::SetRowOverlap, 5)
      .Boolean("ShowCardFrame", &C::ShowCardFrame, &C::SetShowCardFrame, true)
      .Boolean("ShowCloseButton", &C::ShowCloseButton, &C::SetShowCloseButton, false)
      .Boolean("ShowFocusRect", &C::ShowFocusRect, &C::SetShowFocusRect, true)
      .Boolean("ShowFullFrame", &C::ShowFullFrame, &C::SetShowFullFrame, true)
      .Boolean("ShowShadow", &C::ShowShadow, &C::SetShowShadow, true)
      .Object("TabColors", &C::TabColors)
      .Object("TextColors", &C::TextColors)
      .Integer("TabHeight", &C::TabHeight, &C::SetTabHeight, 0)
      .Integer("TabWidth", &C::TabWidth, &C::SetTabWidth, 0)
      .Boolean("TabHints", &C::TabHints, &C::SetTabHints, false)
      .Integer("TabIndex", &C::TabIndex, &C::SetTabIndex, -1)
      .Enum("TabOrientation", TabOrientationInfo, &C::TabOrientation, &C::SetTabOrientation, toTop)
      .Enum("TabSequence", TabSequenceInfo, &C::TabSequence, &C::SetTabSequence, tsStandard)
      .Enum("TabStyle", TabStyleInfo, &C::TabStyle, &C::SetTabStyle, tsSingleSlant)
      .Enum("TextAlignment", HorizontalAlignmentInfo, &C::TextAlignment, &C::SetTextAlignment, haCenter)
      .Enum("TextAlignmentVertical", VerticalAlignmentInfo, &C::TextAlignmentVertical,
            &C::SetTextAlignmentVertical, vaCenter)
      .Enum("TextOrientation", OrientationInfo, &C::TextOrientation, &C::SetTextOrientation, orHorizontal)
      .Boolean("Transparent", &C::Transparent, &C::SetTransparent, false)
      .Boolean("UseColoredTabs", &C::UseColoredTabs, &C::SetUseColoredTabs, false)
      .Boolean("UseGradients", &C::UseGradients, &C::SetUseGradients, true)
      .Boolean("TabStop", &C::TabStop, &C::SetTabStop, true)
      .Event("OnChange", &C::OnChange)
      .Event("OnChanging", &C::OnChanging)
      .Event("OnClose", &C::OnClose)
      .Event("OnTabClick", &C::OnTabClick)
      .Event("OnPaintBackground", &C::OnPaintBackground)
      .Event("OnPaintCardBackground", &C::OnPaintCardBackground)
      .Event("OnPaintTabBackground", &C::OnPaintTabBackground)
      .Event("OnGetTextColor", &C::OnGetTextColor)
      // The depth of a row as last laid out, kept for the layout before the first paint.
      .Extra(
          "FixedDimension", tkInteger, [](C* c, const TValue& v) { c->SetFixedDimension(static_cast<int>(v.AsInteger())); },
          [](C* c) -> std::optional<TValue> {
            if (c->FixedDimension() <= 0) return std::nullopt;
            return TValue::Integer(c->FixedDimension());
          });
}
