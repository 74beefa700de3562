// Focus, tab order and keys of the windowed controls (units of Controls.h).

#include "platform/Controls.h"

#include <algorithm>
#include <climits>

#include "platform/ControlsPrivate.h"
#include "platform/Forms.h"
#include "platform/Guards.h"
#include "platform/Themes.h"

using namespace ControlsPrivate;

// ---- Focus and tab order -----------------------------------------------------------------------

int TWinControl::TabOrder() const {
  if (!parent_ || parent_->ComponentState().Contains(csLoading)) return tabOrder_;
  auto& list = parent_->tabList_;
  auto it = std::find(list.begin(), list.end(), this);
  return it == list.end() ? -1 : static_cast<int>(it - list.begin());
}

void TWinControl::SetTabOrder(int value) {
  if (!parent_ || parent_->ComponentState().Contains(csLoading) ||
      ComponentState().Contains(csLoading)) {
    tabOrder_ = value;
    return;
  }
  auto& list = parent_->tabList_;
  int count = static_cast<int>(list.size());
  if (value < 0) value = 0;
  if (value >= count) value = count - 1;
  list.erase(std::remove(list.begin(), list.end(), this), list.end());
  list.insert(list.begin() + value, this);
  tabOrder_ = -1;
}

void TWinControl::FixupTabList() {
  std::stable_sort(tabList_.begin(), tabList_.end(), [](TWinControl* a, TWinControl* b) {
    int x = a->tabOrder_ < 0 ? INT_MAX : a->tabOrder_;
    int y = b->tabOrder_ < 0 ? INT_MAX : b->tabOrder_;
    return x < y;
  });
  for (TWinControl* c : tabList_) c->tabOrder_ = -1;
}

void TWinControl::SetTabStop(bool value) {
  if (value == tabStop_) return;
  tabStop_ = value;
  UpdateStyle(WS_TABSTOP, value);
  Perform(CM_TABSTOPCHANGED);
}

std::vector<TWinControl*> TWinControl::GetTabOrderList() const {
  std::vector<TWinControl*> list;
  for (TWinControl* c : tabList_) {
    list.push_back(c);
    std::vector<TWinControl*> inner = c->GetTabOrderList();
    list.insert(list.end(), inner.begin(), inner.end());
  }
  return list;
}

bool TWinControl::CanFocus() const {
  TForm* form = GetParentForm(this);
  if (!form) return false;
  for (const TControl* c = this; c && c != static_cast<const TControl*>(form); c = c->Parent())
    if (!c->Visible() || !c->Enabled()) return false;
  return true;
}

bool TWinControl::Focused() const { return handle_ && GetFocus() == handle_; }

void TWinControl::SetFocus() {
  if (TForm* form = GetParentForm(this))
    form->FocusControl(this);
  else
    ::SetFocus(Handle());
}

TWinControl* TWinControl::FindNextControl(TWinControl* current, bool goForward, bool checkTabStop,
                                          bool checkParent) {
  std::vector<TWinControl*> list = GetTabOrderList();
  int count = static_cast<int>(list.size());
  if (count == 0) return nullptr;
  auto it = std::find(list.begin(), list.end(), current);
  int start = it == list.end() ? -1 : static_cast<int>(it - list.begin());
  if (start < 0) start = goForward ? count - 1 : 0;
  int i = start;
  do {
    if (goForward) {
      if (++i == count) i = 0;
    } else {
      if (i == 0) i = count;
      --i;
    }
    TWinControl* c = list[static_cast<size_t>(i)];
    if ((!checkTabStop || c->tabStop_) && (!checkParent || c->parent_ == this) && c->CanFocus())
      return c;
  } while (i != start);
  return nullptr;
}

bool TWinControl::SelectNext(TWinControl* current, bool goForward, bool checkTabStop) {
  TWinControl* next = FindNextControl(current, goForward, checkTabStop, !checkTabStop);
  if (!next) return false;
  next->SetFocus();
  return true;
}

void TWinControl::CMEnter(TMessage&) { DoEnter(); }
void TWinControl::CMExit(TMessage&) { DoExit(); }

void TWinControl::DoEnter() {
  if (OnEnter) OnEnter(this);
}

void TWinControl::DoExit() {
  if (OnExit) OnExit(this);
}

// ---- Keys -----------------------------------------------------------------------------------------

void TWinControl::KeyDown(WORD& key, TShiftState shift) {
  if (OnKeyDown) OnKeyDown(this, key, shift);
}

void TWinControl::KeyUp(WORD& key, TShiftState shift) {
  if (OnKeyUp) OnKeyUp(this, key, shift);
}

void TWinControl::KeyPress(char& key) {
  if (OnKeyPress) OnKeyPress(this, key);
}

bool TWinControl::FormTookKey(TMessage& m, bool (TWinControl::*handling)(TMessage&)) {
  TWinControl* form = GetParentForm(this);
  return form && form != this && static_cast<TForm*>(form)->KeyPreview() && (form->*handling)(m);
}

// The handlers may change the key: the window procedure gets the one they leave.
bool TWinControl::DoKeyDown(TMessage& m) {
  if (FormTookKey(m, &TWinControl::DoKeyDown)) return true;
  if (controlStyle_.Contains(csNoStdEvents)) return false;
  TWMKey key(m);
  KeyDown(key.CharCode, KeyDataToShiftState(key.KeyData));
  m.WParam = key.CharCode;
  return key.CharCode == 0;
}

bool TWinControl::DoKeyUp(TMessage& m) {
  if (FormTookKey(m, &TWinControl::DoKeyUp)) return true;
  if (controlStyle_.Contains(csNoStdEvents)) return false;
  TWMKey key(m);
  KeyUp(key.CharCode, KeyDataToShiftState(key.KeyData));
  m.WParam = key.CharCode;
  return key.CharCode == 0;
}

bool TWinControl::DoKeyPress(TMessage& m) {
  if (FormTookKey(m, &TWinControl::DoKeyPress)) return true;
  if (controlStyle_.Contains(csNoStdEvents)) return false;
  char ch = static_cast<char>(TWMKey(m).CharCode);
  KeyPress(ch);
  m.WParam = static_cast<unsigned char>(ch);
  return ch == 0;
}

void TWinControl::WMKeyDown(TWMKey& m) {
  if (!DoKeyDown(m.Message)) Inherited(m);
}

void TWinControl::WMKeyUp(TWMKey& m) {
  if (!DoKeyUp(m.Message)) Inherited(m);
}

void TWinControl::WMChar(TWMKey& m) {
  if (!DoKeyPress(m.Message)) Inherited(m);
}

void TWinControl::CNKeyDown(TWMKey& m) {
  m.Result = 1;
  if (ComponentState().Contains(csDesigning)) {
    m.Result = 0;
    return;
  }
  if (Perform(CM_CHILDKEY, m.CharCode, reinterpret_cast<LPARAM>(this)) != 0) return;
  LRESULT mask = 0;
  switch (m.CharCode) {
    case VK_TAB: mask = DLGC_WANTTAB; break;
    case VK_LEFT:
    case VK_RIGHT:
    case VK_UP:
    case VK_DOWN: mask = DLGC_WANTARROWS; break;
    case VK_RETURN:
    case VK_EXECUTE:
    case VK_ESCAPE:
    case VK_CANCEL: mask = DLGC_WANTALLKEYS; break;
    default: break;
  }
  if (mask && Perform(CM_WANTSPECIALKEY, m.CharCode) == 0 && (Perform(WM_GETDLGCODE) & mask) == 0) {
    TForm* form = GetParentForm(this);
    if (form && form->Perform(CM_DIALOGKEY, m.CharCode, m.KeyData) != 0) return;
  }
  m.Result = 0;
}

void TWinControl::CNChar(TWMKey& m) {
  m.Result = 0;
  if (ComponentState().Contains(csDesigning)) return;
  if ((Perform(WM_GETDLGCODE) & DLGC_WANTCHARS) == 0) {
    TForm* form = GetParentForm(this);
    if (form && form->Perform(CM_DIALOGCHAR, m.CharCode, m.KeyData) != 0) m.Result = 1;
  }
}

void TWinControl::CNSysChar(TWMKey& m) {
  m.Result = 0;
  if (ComponentState().Contains(csDesigning) || m.CharCode == VK_SPACE) return;
  if (TForm* form = GetParentForm(this)) m.Result = form->Perform(CM_DIALOGCHAR, m.CharCode, m.KeyData);
}
