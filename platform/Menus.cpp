#include "platform/Menus.h"

#include <algorithm>

#include "platform/ImgList.h"
#include "platform/TypInfo.h"

namespace {

const TEnumInfo PopupAlignmentInfo{"TPopupAlignment", {"paLeft", "paRight", "paCenter"}};

// Command numbers are 16 bits in WM_COMMAND; 0 is never handed out.
UINT NextCommand() {
  static UINT next = 0;
  next = next % 0xFFFF + 1;
  return next;
}

std::string KeyName(WORD key) {
  if ((key >= '0' && key <= '9') || (key >= 'A' && key <= 'Z')) return std::string(1, static_cast<char>(key));
  if (key >= VK_F1 && key <= VK_F24) {
    std::string name = "F";
    name.append(std::to_string(key - VK_F1 + 1));
    return name;
  }
  switch (key) {
    case VK_BACK: return "BkSp";
    case VK_TAB: return "Tab";
    case VK_RETURN: return "Enter";
    case VK_ESCAPE: return "Esc";
    case VK_SPACE: return "Space";
    case VK_PRIOR: return "PgUp";
    case VK_NEXT: return "PgDn";
    case VK_END: return "End";
    case VK_HOME: return "Home";
    case VK_LEFT: return "Left";
    case VK_UP: return "Up";
    case VK_RIGHT: return "Right";
    case VK_DOWN: return "Down";
    case VK_INSERT: return "Ins";
    case VK_DELETE: return "Del";
    default: break;
  }
  UINT scan = MapVirtualKeyA(key, MAPVK_VK_TO_VSC);
  char name[64] = {};
  if (scan && GetKeyNameTextA(static_cast<LONG>(scan << 16), name, sizeof(name)) > 0) return name;
  return {};
}

}  // namespace

TShortCut ShortCut(WORD key, TShiftState shift) {
  if (key & 0xFF00) return 0;
  TShortCut result = key;
  if (shift.Contains(ssShift)) result |= scShift;
  if (shift.Contains(ssCtrl)) result |= scCtrl;
  if (shift.Contains(ssAlt)) result |= scAlt;
  return result;
}

std::string ShortCutToText(TShortCut shortCut) {
  std::string name = KeyName(static_cast<WORD>(shortCut & 0xFF));
  if (name.empty()) return {};
  std::string prefix;
  if (shortCut & scShift) prefix += "Shift+";
  if (shortCut & scCtrl) prefix += "Ctrl+";
  if (shortCut & scAlt) prefix += "Alt+";
  prefix.append(name);
  return prefix;
}

// ---- TMenuItem ------------------------------------------------------------------------------

TMenuItem::TMenuItem(TComponent* owner) : TComponent(owner), command_(NextCommand()) {}

TMenuItem::~TMenuItem() {
  for (TMenuItem* item : items_) item->parent_ = nullptr;
  items_.clear();
  if (parent_) parent_->Remove(this);
}

void TMenuItem::SetChecked(bool value) {
  checked_ = value;
  if (value && radioItem_ && parent_)
    for (TMenuItem* other : parent_->items_)
      if (other != this && other->radioItem_ && other->groupIndex_ == groupIndex_)
        other->checked_ = false;
}

TMenuItem* TMenuItem::Items(int index) const {
  if (index < 0 || index >= Count()) throw EListError(Format("List index out of bounds (%d)", index));
  return items_[static_cast<size_t>(index)];
}

int TMenuItem::MenuIndex() const { return parent_ ? parent_->IndexOf(this) : -1; }

void TMenuItem::Add(TMenuItem* item) { Insert(Count(), item); }

void TMenuItem::Insert(int index, TMenuItem* item) {
  if (!item) return;
  if (item->parent_) throw EInvalidOperation("Menu inserted twice");
  if (index < 0 || index > Count()) throw EListError(Format("List index out of bounds (%d)", index));
  for (const TMenuItem* p = this; p; p = p->parent_)
    if (p == item) throw EInvalidOperation("A menu item cannot hold itself");
  items_.insert(items_.begin() + index, item);
  item->parent_ = this;
}

void TMenuItem::Delete(int index) {
  TMenuItem* item = Items(index);
  items_.erase(items_.begin() + index);
  item->parent_ = nullptr;
}

void TMenuItem::Remove(TMenuItem* item) {
  int index = IndexOf(item);
  if (index >= 0) Delete(index);
}

int TMenuItem::IndexOf(const TMenuItem* item) const {
  auto it = std::find(items_.begin(), items_.end(), item);
  return it == items_.end() ? -1 : static_cast<int>(it - items_.begin());
}

void TMenuItem::Clear() {
  while (!items_.empty()) {
    TMenuItem* item = items_.back();
    Delete(Count() - 1);
    delete item;
  }
}

TMenuItem* TMenuItem::Find(UINT command) {
  if (command_ == command) return this;
  for (TMenuItem* item : items_)
    if (TMenuItem* found = item->Find(command)) return found;
  return nullptr;
}

TMenu* TMenuItem::GetParentMenu() const {
  const TMenuItem* item = this;
  while (item->parent_) item = item->parent_;
  return item->menu_;
}

void TMenuItem::Click() {
  if (enabled_ && OnClick) OnClick(this);
}

void TMenuItem::SetParentComponent(TComponent* parent) {
  if (parent_) parent_->Remove(this);
  if (auto* menu = dynamic_cast<TMenu*>(parent))
    menu->Items()->Add(this);
  else if (auto* item = dynamic_cast<TMenuItem*>(parent))
    item->Add(this);
}

TComponent* TMenuItem::GetParentComponent() const {
  if (!parent_) return nullptr;
  if (parent_->menu_) return parent_->menu_;
  return parent_;
}

// ---- TMenu ----------------------------------------------------------------------------------

TMenu::TMenu(TComponent* owner) : TComponent(owner), items_(new TMenuItem(nullptr)) {
  items_->menu_ = this;
}

TMenu::~TMenu() { delete items_; }

void TMenu::SetImages(TCustomImageList* value) {
  if (images_) images_->RemoveFreeNotification(this);
  images_ = value;
  if (value) value->FreeNotification(this);
}

void TMenu::Notification(TComponent* component, TOperation operation) {
  TComponent::Notification(component, operation);
  if (operation == opRemove && component == images_) images_ = nullptr;
}

bool TMenu::DispatchCommand(UINT command) {
  TMenuItem* item = command ? items_->Find(command) : nullptr;
  if (!item || item == items_) return false;
  item->Click();
  return true;
}

HMENU TMenu::BuildMenu(TMenuItem* item) {
  HMENU menu = CreatePopupMenu();
  if (!menu) RaiseLastOSError();
  for (TMenuItem* child : item->items_) {
    if (!child->visible_) continue;
    MENUITEMINFOA info{};
    info.cbSize = sizeof(info);
    if (child->IsLine()) {
      info.fMask = MIIM_FTYPE;
      info.fType = MFT_SEPARATOR;
    } else {
      std::string text = child->caption_;
      if (child->shortCut_) {
        text.push_back('\t');
        text.append(ShortCutToText(child->shortCut_));
      }
      info.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_ID | MIIM_STRING;
      info.fType = child->radioItem_ ? MFT_RADIOCHECK : 0;
      info.fState = (child->checked_ ? MFS_CHECKED : 0) | (child->enabled_ ? 0 : MFS_GRAYED) |
                    (child->default_ ? MFS_DEFAULT : 0);
      info.wID = child->command_;
      info.dwTypeData = text.data();
      if (!child->items_.empty()) {
        info.fMask |= MIIM_SUBMENU;
        info.hSubMenu = BuildMenu(child);
      }
      InsertMenuItemA(menu, GetMenuItemCount(menu), TRUE, &info);
      continue;
    }
    InsertMenuItemA(menu, GetMenuItemCount(menu), TRUE, &info);
  }
  return menu;
}

// ---- TPopupMenu -----------------------------------------------------------------------------

TPopupMenu::TPopupMenu(TComponent* owner) : TMenu(owner) {}

TPopupMenu::~TPopupMenu() {
  if (window_) DestroyWindow(window_);
}

void TPopupMenu::SetPopupComponent(TComponent* value) {
  if (popupComponent_) popupComponent_->RemoveFreeNotification(this);
  popupComponent_ = value;
  if (value) value->FreeNotification(this);
}

void TPopupMenu::Notification(TComponent* component, TOperation operation) {
  TMenu::Notification(component, operation);
  if (operation == opRemove && component == popupComponent_) popupComponent_ = nullptr;
}

LRESULT CALLBACK TPopupMenu::WindowProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  auto* menu = reinterpret_cast<TPopupMenu*>(GetWindowLongPtrA(wnd, GWLP_USERDATA));
  // An item's OnClick runs here, under the system's dispatch of the posted command.
  return GuardWndProc(menu, [&]() -> LRESULT {
    if (msg == WM_COMMAND && HIWORD(wParam) == 0 && menu && menu->DispatchCommand(LOWORD(wParam)))
      return 0;
    return DefWindowProcA(wnd, msg, wParam, lParam);
  });
}

HWND TPopupMenu::WindowHandle() {
  if (window_) return window_;
  static const char* className = [] {
    static const char name[] = "TPopupMenuWindow";
    WNDCLASSA wc{};
    wc.lpfnWndProc = WindowProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = name;
    if (!RegisterClassA(&wc)) RaiseLastOSError();
    return name;
  }();
  // Hidden and never shown: it only owns the menu while it is up and takes its commands.
  window_ = CreateWindowExA(WS_EX_TOOLWINDOW, className, "", WS_POPUP, 0, 0, 0, 0, nullptr,
                            nullptr, GetModuleHandleA(nullptr), nullptr);
  if (!window_) RaiseLastOSError();
  SetWindowLongPtrA(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  return window_;
}

void TPopupMenu::DoPopup() {
  if (OnPopup) OnPopup(this);
}

void TPopupMenu::Popup(int x, int y) {
  DoPopup();
  HWND owner = WindowHandle();
  HMENU menu = BuildMenu(Items());
  static const UINT alignFlags[] = {TPM_LEFTALIGN, TPM_RIGHTALIGN, TPM_CENTERALIGN};
  SetForegroundWindow(owner);
  TrackPopupMenu(menu, alignFlags[alignment_] | TPM_RIGHTBUTTON, x, y, 0, owner, nullptr);
  DestroyMenu(menu);
  // The chosen command is posted; it is handled before Popup returns.
  MSG msg;
  while (PeekMessageA(&msg, owner, WM_COMMAND, WM_COMMAND, PM_REMOVE)) DispatchMessageA(&msg);
}

// ---- Registration ---------------------------------------------------------------------------

void RegisterMenus() {
  static bool done = false;
  if (done) return;
  done = true;
  RegisterClassInfo<TMenuItem, TComponent>("TMenuItem")
      .String("Caption", &TMenuItem::Caption, &TMenuItem::SetCaption)
      .Boolean("Checked", &TMenuItem::Checked, &TMenuItem::SetChecked, false)
      .Boolean("Enabled", &TMenuItem::Enabled, &TMenuItem::SetEnabled, true)
      .Boolean("Visible", &TMenuItem::Visible, &TMenuItem::SetVisible, true)
      .Boolean("Default", &TMenuItem::Default, &TMenuItem::SetDefault, false)
      .Boolean("RadioItem", &TMenuItem::RadioItem, &TMenuItem::SetRadioItem, false)
      .Integer("GroupIndex", &TMenuItem::GroupIndex, &TMenuItem::SetGroupIndex, 0)
      .Integer("ImageIndex", &TMenuItem::ImageIndex, &TMenuItem::SetImageIndex, -1)
      .Integer("ShortCut", &TMenuItem::ShortCut, &TMenuItem::SetShortCut, 0)
      .String("Hint", &TMenuItem::Hint, &TMenuItem::SetHint)
      .Event("OnClick", &TMenuItem::OnClick);
  RegisterClassInfo<TMenu, TComponent>("TMenu")
      .Component("Images", &TMenu::Images, &TMenu::SetImages);
  RegisterClassInfo<TPopupMenu, TMenu>("TPopupMenu")
      .Enum("Alignment", PopupAlignmentInfo, &TPopupMenu::Alignment, &TPopupMenu::SetAlignment, paLeft)
      .Boolean("AutoPopup", &TPopupMenu::AutoPopup, &TPopupMenu::SetAutoPopup, true)
      .Event("OnPopup", &TPopupMenu::OnPopup);
}
