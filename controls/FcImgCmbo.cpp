// The image combo box: owner-drawn items with an image, an overlay and an indent, rows sized
// from the font and the images, and items owned by the box (see FcCmboBx.h).
#include <algorithm>

#include "controls/FcCmboBx.h"
#include "platform/Forms.h"

namespace {

// Posted by the box to itself: the row height for a new font, once the font's own message is
// over (the window is made again for it).
constexpr UINT CM_APPLYROWHEIGHT = CM_BASE + 1020;
// Posted after the list deleted an item: items that have left are freed then, when it is
// sure that they were not put back.
constexpr UINT CM_FREEITEMS = CM_BASE + 1021;

}  // namespace

// ---- Items ------------------------------------------------------------------------------------

TFcImageComboBoxItem::TFcImageComboBoxItem(TFcCustomImageComboBox* owner, std::string caption, int imageIndex,
                                           int indentLevel)
    : owner_(owner), caption_(std::move(caption)), imageIndex_(imageIndex), indentLevel_(indentLevel) {}

void TFcImageComboBoxItem::Changed() {
  if (owner_) owner_->Invalidate();
}

void TFcImageComboBoxItem::SetCaption(const std::string& value) {
  caption_ = value;
  Changed();
}

void TFcImageComboBoxItem::SetImageIndex(int value) {
  imageIndex_ = value;
  Changed();
}

void TFcImageComboBoxItem::SetOverlayImageIndex(int value) {
  overlayImageIndex_ = value;
  Changed();
}

// ---- The box ----------------------------------------------------------------------------------

TFcCustomImageComboBox::TFcCustomImageComboBox(TComponent* owner) : TFcCustomComboBox(owner) {
  showFocusRect_ = false;
  SetStyle(csOwnerDrawFixed);
}

TFcCustomImageComboBox::~TFcCustomImageComboBox() {
  Destroying();
  ClearImageItems();
}

TMessageTable& TFcCustomImageComboBox::Messages() {
  static TMessageTable* table = [] {
    auto* t = new TMessageTable(&TInheritedClass::Messages());
    using C = TFcCustomImageComboBox;
    t->Add(WM_ERASEBKGND, Handler(&C::WMEraseBkgnd));
    t->Add(WM_SETFONT, Handler(&C::WMSetFont));
    t->Add(CM_FONTCHANGED, Handler(&C::CMFontChanged));
    t->Add(CM_APPLYROWHEIGHT, Handler(&C::CMApplyRowHeight));
    t->Add(CM_FREEITEMS, Handler(&C::CMFreeItems));
    return t;
  }();
  return *table;
}

std::unique_ptr<TFcImageComboBoxItem> TFcCustomImageComboBox::NewItem(const std::string& caption, int imageIndex,
                                                                        int indentLevel) {
  return std::make_unique<TFcImageComboBoxItem>(this, caption, imageIndex, indentLevel);
}

TFcImageComboBoxItem* TFcCustomImageComboBox::AddImageItem(const std::string& caption, int imageIndex,
                                                           int indentLevel) {
  std::unique_ptr<TFcImageComboBoxItem> item = NewItem(caption, imageIndex, indentLevel);
  // Where the system keeps no strings, the caption lives in the item alone.
  item->index_ = Items()->AddObject(IsWindowsVersion(wvWinNT4) ? std::string() : caption, item.get());
  owned_.push_back(std::move(item));
  return owned_.back().get();
}

TFcImageComboBoxItem* TFcCustomImageComboBox::ImageItem(int index) const {
  if (index < 0 || index >= Items()->Count()) return nullptr;
  return dynamic_cast<TFcImageComboBoxItem*>(Items()->Objects(index));
}

void TFcCustomImageComboBox::ClearImageItems() {
  Items()->Clear();
  FreeDepartedItems();
}

void TFcCustomImageComboBox::DeleteItem(void* itemData) {
  auto it = std::find_if(owned_.begin(), owned_.end(),
                         [&](const auto& item) { return static_cast<TObject*>(item.get()) == itemData; });
  if (it == owned_.end()) return;
  TFcImageComboBoxItem* item = it->get();
  if (!item->announced_) {
    item->announced_ = true;
    if (OnDeleteItem) OnDeleteItem(this, item);
  }
  if (HandleAllocated() && !ComponentState().Contains(csDestroying))
    PostMessageA(Handle(), CM_FREEITEMS, 0, 0);
  else
    FreeDepartedItems();
}

void TFcCustomImageComboBox::FreeDepartedItems() {
  std::vector<TFcImageComboBoxItem*> departed;
  for (const auto& item : owned_) {
    if (Items()->IndexOfObject(item.get()) >= 0)
      item->announced_ = false;  // put back (a line replaced): it stays
    else
      departed.push_back(item.get());
  }
  for (TFcImageComboBoxItem* item : departed) {
    if (!item->announced_) {
      item->announced_ = true;
      if (OnDeleteItem) OnDeleteItem(this, item);
    }
    owned_.erase(std::remove_if(owned_.begin(), owned_.end(), [&](const auto& p) { return p.get() == item; }),
                 owned_.end());
  }
}

void TFcCustomImageComboBox::CMFreeItems(TMessage&) { FreeDepartedItems(); }

int TFcCustomImageComboBox::IndexOfText(const std::string& text) {
  for (int i = 0; i < Items()->Count(); ++i) {
    TFcImageComboBoxItem* item = ImageItem(i);
    std::string caption = item ? item->Caption() : std::string();
    if (CompareStringA(LOCALE_USER_DEFAULT, NORM_IGNORECASE, caption.c_str(), static_cast<int>(caption.size()),
                       text.c_str(), static_cast<int>(text.size())) == CSTR_EQUAL)
      return i;
  }
  return -1;
}

// ---- Settings and window ----------------------------------------------------------------------

void TFcCustomImageComboBox::SetImages(TCustomImageList* value) {
  if (value == images_) return;
  if (images_) images_->RemoveFreeNotification(this);
  images_ = value;
  if (images_) images_->FreeNotification(this);
  Invalidate();
  if (!ComponentState().Contains(csLoading)) FontChanged(Font()->Handle());
}

void TFcCustomImageComboBox::SetItemIndent(int value) {
  if (value == itemIndent_) return;
  itemIndent_ = value;
  Invalidate();
}

void TFcCustomImageComboBox::Notification(TComponent* component, TOperation operation) {
  TFcCustomComboBox::Notification(component, operation);
  if (operation == opRemove && component == images_) images_ = nullptr;
}

void TFcCustomImageComboBox::CreateParams(TCreateParams& params) {
  TFcCustomComboBox::CreateParams(params);
  if (IsWindowsVersion(wvWinNT4)) params.Style &= ~static_cast<DWORD>(CBS_HASSTRINGS);
}

void TFcCustomImageComboBox::CreateWnd() {
  // The window is made with the rows its font needs: the system measures them only then.
  if (autoSizeHeight_) FontChanged(Font()->Handle());
  TFcCustomComboBox::CreateWnd();
  SendMessageA(Handle(), CB_SETEXTENDEDUI, TRUE, 0);
}

void TFcCustomImageComboBox::DestroyWnd() {
  // The items go with the window; the box's owner fills it again.
  ClearImageItems();
  TFcCustomComboBox::DestroyWnd();
}

int TFcCustomImageComboBox::RowHeightFor(HFONT font) {
  TMeasureDC screen;
  TSelectObject selected(screen, font);
  TEXTMETRICA metrics{};
  GetTextMetricsA(screen, &metrics);
  int height = std::abs(static_cast<int>(metrics.tmHeight)) + 4;
  if (images_ && images_->Height() > height) height = images_->Height();
  return height;
}

void TFcCustomImageComboBox::FontChanged(HFONT font) {
  if (autoSizeHeight_) SetItemHeight(RowHeightFor(font));
}

void TFcCustomImageComboBox::WMSetFont(TWMSetFont& m) {
  int height = autoSizeHeight_ && !settingFont_ ? RowHeightFor(m.Font) : 0;
  {
    TRestore<bool> busy(settingFont_, true);
    Inherited(m);
  }
  // Making the window again inside its own font message would pull it away under the system.
  if (height > 0 && height != ItemHeight()) PostMessageA(Handle(), CM_APPLYROWHEIGHT, static_cast<WPARAM>(height), 0);
}

void TFcCustomImageComboBox::CMFontChanged(TMessage& m) {
  Inherited(m);
  if (!ComponentState().Contains(csLoading)) FontChanged(Font()->Handle());
}

void TFcCustomImageComboBox::CMApplyRowHeight(TMessage& m) {
  if (autoSizeHeight_) SetItemHeight(static_cast<int>(m.WParam));
}

void TFcCustomImageComboBox::WMEraseBkgnd(TWMDC& m) {
  auto* form = dynamic_cast<TForm*>(Owner());
  RECT r;
  ::GetClientRect(Handle(), &r);
  TGdiObject<HBRUSH> brush(CreateSolidBrush(ColorToRGB(form ? form->Color() : clWindow)));
  FillRect(m.DC, &r, brush);
  m.Result = 1;
}

// ---- Drawing ----------------------------------------------------------------------------------

void TFcCustomImageComboBox::DrawItem(int index, const RECT& rect, TOwnerDrawState state) {
  if (OnDrawItem) {
    OnDrawItem(this, index, rect, state);
    return;
  }
  TFcImageComboBoxItem* item = ImageItem(index);
  if (!item) return;
  GetItemData(item);
  TCanvas* canvas = Canvas();
  bool selected = state.Contains(odSelected);
  int indent = state.Contains(odComboBoxEdit) ? 0 : item->IndentLevel();
  TColor brush = canvas->Brush()->Color();
  canvas->Brush()->SetColor(Color());
  canvas->FillRect(rect);
  if (images_) {
    TDrawingStyle style = dsNormal;
    TColor blend = images_->BlendColor();
    if (selected) {
      canvas->Brush()->SetColor(clHighlight);
      images_->SetBlendColor(clHighlight);
      style = dsSelected;
    }
    TColor background = images_->BkColor();
    images_->SetBkColor(ColorToRGB(Color()));
    TScopeExit restore([&] {
      images_->SetBkColor(background);
      images_->SetBlendColor(blend);
    });
    int x = rect.left + 2 + itemIndent_ * indent;
    int y = (rect.top + rect.bottom - images_->Height()) / 2;
    if (item->OverlayImageIndex() >= 0)
      images_->DrawOverlay(canvas, x, y, item->ImageIndex(), item->OverlayImageIndex());
    else
      images_->Draw(canvas, x, y, item->ImageIndex(), style, itImage);
  }
  canvas->Brush()->SetColor(selected ? TColor(clHighlight) : brush);
  if (item->Caption().empty()) return;
  RECT text{};
  text.left = rect.left + 1 + itemIndent_ * indent + (images_ ? images_->Width() + 4 : 4);
  text.top = rect.top;
  text.right = text.left + canvas->TextWidth(item->Caption()) + 3;
  text.bottom = rect.bottom - 1;
  if (!Enabled()) canvas->Font()->SetColor(clBtnShadow);
  canvas->TextRect(text, text.left + 1, text.top + 1, item->Caption());
}
