// The framed combo box: completion, the typed search, read-only and edit rules, wheel, colours
// by state and its own painting over the system's (see FcCmboBx.h).
#include "controls/FcCmboBx.h"

#include <algorithm>

#include "platform/Forms.h"
#include "platform/Themes.h"

namespace {

constexpr unsigned kSearchReset = 1500;

const TEnumInfo ComboStyleInfo{
    "TComboBoxStyle", {"csDropDown", "csSimple", "csDropDownList", "csOwnerDrawFixed", "csOwnerDrawVariable"}};

bool IsListKey(WPARAM key) { return key >= VK_PRIOR && key <= VK_DOWN; }

}  // namespace

TFcCustomComboBox::TFcCustomComboBox(TComponent* owner) : TFcFramedControl<TCustomComboBox>(owner) {
  searchTimer_ = new TTimer(this, false);
  searchTimer_->SetInterval(kSearchReset);
  searchTimer_->OnTimer = [this](TObject*) {
    if (keyInProgress_) return;
    searchTimer_->SetEnabled(false);
    search_.clear();
  };
}

TFcCustomComboBox::~TFcCustomComboBox() { Destroying(); }

TMessageTable& TFcCustomComboBox::Messages() {
  static TMessageTable* table = [] {
    auto* t = new TMessageTable(&TInheritedClass::Messages());
    using C = TFcCustomComboBox;
    t->Add(CN_COMMAND, Handler(&C::CNCommand));
    t->Add(CN_DRAWITEM, Handler(&C::CNDrawItem));
    t->Add(CN_DELETEITEM, Handler(&C::CNDeleteItem));
    t->Add(CM_TEXTCHANGED, Handler(&C::CMTextChanged));
    t->Add(WM_PAINT, Handler(&C::WMPaint));
    t->Add(WM_PRINTCLIENT, Handler(&C::WMPaint));
    t->Add(WM_SIZE, Handler(&C::WMSize));
    return t;
  }();
  return *table;
}

// ---- Settings ---------------------------------------------------------------------------------

void TFcCustomComboBox::SetReadOnly(bool value) {
  if (value == readOnly_) return;
  readOnly_ = value;
  if (HasEditPart() && EditHandle()) SendMessageA(EditHandle(), EM_SETREADONLY, value ? TRUE : FALSE, 0);
  Invalidate();
}

void TFcCustomComboBox::SetDropDownWidth(int value) {
  if (value == dropDownWidth_) return;
  dropDownWidth_ = value;
  if (HandleAllocated()) SendMessageA(Handle(), CB_SETDROPPEDWIDTH, static_cast<WPARAM>(value), 0);
}

void TFcCustomComboBox::SetFlatButtons(bool value) {
  if (value == flatButtons_) return;
  flatButtons_ = value;
  Invalidate();
}

void TFcCustomComboBox::SetFlatButtonColor(TColor value) {
  if (value == flatButtonColor_) return;
  flatButtonColor_ = value;
  Invalidate();
}

void TFcCustomComboBox::SetFrameVisible(bool value) {
  TFcFramedControl<TCustomComboBox>::SetFrameVisible(value);
  SetCtl3D(!value);
}

void TFcCustomComboBox::SetTextWithoutCompletion(const std::string& text) {
  if (text == Text()) return;
  TRestore<bool> off(autoComplete_, false);
  SetText(text);
}

int TFcCustomComboBox::IndexOfText(const std::string& text) { return Items()->IndexOf(text); }

int TFcCustomComboBox::FindPrefix(const std::string& text) {
  if (HandleAllocated())
    return static_cast<int>(
        SendMessageA(Handle(), CB_FINDSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(text.c_str())));
  // Without a window, the same search over the items.
  if (text.empty()) return -1;
  for (int i = 0; i < Items()->Count(); ++i) {
    std::string item = Items()->Strings(i);
    if (item.size() >= text.size() &&
        CompareStringA(LOCALE_USER_DEFAULT, NORM_IGNORECASE, item.c_str(), static_cast<int>(text.size()), text.c_str(),
                       static_cast<int>(text.size())) == CSTR_EQUAL)
      return i;
  }
  return -1;
}

void TFcCustomComboBox::Loaded() {
  TFcFramedControl<TCustomComboBox>::Loaded();
  UpdateHotState(false, false);
}

// ---- Window -----------------------------------------------------------------------------------

void TFcCustomComboBox::CreateWnd() {
  TFcFramedControl<TCustomComboBox>::CreateWnd();
  if (dropDownWidth_ != 0) SendMessageA(Handle(), CB_SETDROPPEDWIDTH, static_cast<WPARAM>(dropDownWidth_), 0);
  if (readOnly_ && HasEditPart() && EditHandle()) SendMessageA(EditHandle(), EM_SETREADONLY, TRUE, 0);
}

void TFcCustomComboBox::DestroyWnd() {
  // The list's items stay with the control and come back with the next window.
  TRestore<bool> going(destroyingWindow_, true);
  TFcFramedControl<TCustomComboBox>::DestroyWnd();
}

void TFcCustomComboBox::WndProc(TMessage& m) {
  switch (m.Msg) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      if (readOnly_) return;
      break;
    case WM_KILLFOCUS: search_.clear(); break;
    case WM_KEYDOWN:
      if (!HasEditPart()) {
        WORD key = TWMKey(m).CharCode;
        if (key == VK_ESCAPE || IsListKey(key)) search_.clear();
        // A list without an edit part is read-only to the keys that choose or drop.
        if (readOnly_ && (IsListKey(key) || key == VK_F4)) return;
      }
      break;
    case WM_SYSKEYDOWN:
      if (!HasEditPart() && readOnly_ && TWMKey(m).CharCode != VK_F4) return;
      break;
    case WM_CHAR:
      if (!HasEditPart()) {
        if (readOnly_ && TWMKey(m).CharCode != 3) return;
        if (autoComplete_ && ListSearch(m)) return;
      }
      break;
    default: break;
  }
  TFcFramedControl<TCustomComboBox>::WndProc(m);
}

void TFcCustomComboBox::RestartSearchTimer() {
  searchTimer_->SetEnabled(false);
  searchTimer_->SetEnabled(true);
}

bool TFcCustomComboBox::ListSearch(TMessage& m) {
  unsigned char ch = static_cast<unsigned char>(TWMKey(m).CharCode);
  std::string w = search_;
  if (ch == VK_BACK) {
    if (w.empty()) {
      BeepInvalidKey();
      SelectByPrefix(w, m);
      return true;
    }
    w.pop_back();
    if (!w.empty()) {
      SelectByPrefix(w, m);
    } else {
      SetItemIndex(0);
      Click();
      Change();
      search_.clear();
      KeyPressProcessing(m);
    }
    return true;
  }
  // Escape closed the list, or was a reflex on the closed box: the choice stays either way.
  if (ch == VK_ESCAPE) return true;
  if (ch >= 32) {
    TRestore<bool> busy(keyInProgress_, true);
    w += static_cast<char>(ch);
    SelectByPrefix(w, m);
    RestartSearchTimer();
    return true;
  }
  return false;
}

void TFcCustomComboBox::SelectByPrefix(const std::string& text, TMessage& m) {
  int index = FindPrefix(text);
  if (index < 0) {
    BeepInvalidKey();
    return;
  }
  SetItemIndex(index);
  search_ = text;
  Click();
  Change();
  KeyPressProcessing(m);
}

bool TFcCustomComboBox::KeyPressProcessing(TMessage& m) { return DoKeyPress(m); }

void TFcCustomComboBox::GetEditSel(int& start, int& length) {
  start = length = 0;
  if (!HandleAllocated()) return;
  DWORD from = 0, to = 0;
  SendMessageA(Handle(), CB_GETEDITSEL, reinterpret_cast<WPARAM>(&from), reinterpret_cast<LPARAM>(&to));
  start = static_cast<int>(from);
  length = static_cast<int>(to) - start;
}

void TFcCustomComboBox::SetEditSel(int start, int length) {
  if (HandleAllocated()) SendMessageA(Handle(), CB_SETEDITSEL, 0, MAKELPARAM(start, start + length));
}

void TFcCustomComboBox::SetTextTyping(const std::string& text) {
  TRestore<bool> typing(typing_, true);
  SetText(text);
}

bool TFcCustomComboBox::CompleteFromItems(const std::string& text, TMessage& m, bool keyPress) {
  int index = FindPrefix(text);
  if (index < 0) return false;
  std::string item = Items()->Strings(index);
  if (keepSearchCase_) {
    SetTextTyping(text + item.substr(std::min(text.size(), item.size())));
  } else {
    TRestore<bool> typing(typing_, true);
    SetItemIndex(index);
  }
  Click();
  Change();
  if (keyPress) KeyPressProcessing(m);
  int start = static_cast<int>(std::min(text.size(), item.size()));
  SetEditSel(start, static_cast<int>(item.size()) - start);
  DoMatch();
  return true;
}

// ---- The edit part ----------------------------------------------------------------------------

void TFcCustomComboBox::ComboWndProc(TMessage& m, HWND wnd, WNDPROC defProc) {
  if (m.Msg == WM_LBUTTONDOWN || m.Msg == WM_LBUTTONDBLCLK) {
    if (readOnly_) return;
    if (autoComplete_ && Style() == csDropDown) search_ = Text();
  }
  if (!autoComplete_) {
    TFcFramedControl<TCustomComboBox>::ComboWndProc(m, wnd, defProc);
    return;
  }
  bool afterPaste = false;
  if (EditKey(m, wnd, defProc, afterPaste)) return;
  TFcFramedControl<TCustomComboBox>::ComboWndProc(m, wnd, defProc);
  if (afterPaste && allowEdit_) {
    search_ = Text();
    CompleteFromItems(search_, m, false);
  }
}

// The key is read from the message itself throughout: this filter and the key-press events
// change it there before the edit's own procedure gets it.
bool TFcCustomComboBox::EditKey(TMessage& m, HWND wnd, WNDPROC defProc, bool& afterPaste) {
  switch (m.Msg) {
    case WM_KEYDOWN: {
      sysKeyDown_ = false;
      switch (m.WParam) {
        case VK_PRIOR:
        case VK_NEXT:
        case VK_UP:
        case VK_DOWN:
          typing_ = true;
          search_.clear();
          return readOnly_;
        case VK_END:
        case VK_HOME:
        case VK_LEFT:
        case VK_RIGHT: search_ = Text(); break;
        case VK_INSERT:
          if (GetKeyState(VK_SHIFT) < 0) afterPaste = true;
          if (!allowEdit_) m.WParam = 0;
          break;
        case VK_DELETE: {
          std::string text = Text();
          search_ = text;
          int start = 0, length = 0;
          GetEditSel(start, length);
          size_t at = static_cast<size_t>(std::clamp(start, 0, static_cast<int>(search_.size())));
          search_.erase(at, static_cast<size_t>(std::max(length, 1)));
          bool all = start == 0 && length == static_cast<int>(text.size());
          if (!allowEdit_ && !all) m.WParam = 0;
          break;
        }
        case VK_F4: return readOnly_;
        default: break;
      }
      return false;
    }
    case WM_SYSKEYDOWN:
      sysKeyDown_ = true;
      return readOnly_ && m.WParam != VK_F4;
    case WM_CUT:
    case WM_PASTE:
      if (!allowEdit_) return true;
      afterPaste = true;
      return false;
    case WM_CHAR: break;
    default: return false;
  }

  // A character.
  unsigned char ch = static_cast<unsigned char>(m.WParam);
  if (sysKeyDown_) {
    sysKeyDown_ = false;
    return false;
  }
  if (readOnly_) return ch != 3;  // Ctrl+C still copies
  std::string w = search_;
  int start = 0, length = 0;
  GetEditSel(start, length);
  // Caret and selection as positions within the search text.
  size_t caret = static_cast<size_t>(std::clamp(start, 0, static_cast<int>(w.size())));
  size_t selected = static_cast<size_t>(std::clamp(length, 0, static_cast<int>(w.size() - caret)));
  switch (ch) {
    case VK_BACK:
      if (w.empty()) {
        BeepInvalidKey();
      } else {
        if (start >= static_cast<int>(w.size()))
          w.pop_back();
        else if (length > 0 && allowEdit_) {
          w.erase(caret, selected);
          SendMessageA(Handle(), CB_SETCURSEL, static_cast<WPARAM>(-1), 0);
          SetEditSel(start, 0);
        } else if (length == 0 && allowEdit_ && caret > 0) {
          w.erase(caret - 1, 1);
        }
        Change();
        if (w.empty()) {
          SetItemIndex(-1);
          if (keepSearchCase_) SetTextTyping("");
          search_.clear();
          Click();
          Change();
          KeyPressProcessing(m);
        }
      }
      search_ = w;
      return CompleteFromItems(w, m);
    case VK_RETURN:
      if (DroppedDown()) DoSelEndOk();
      enterPressed_ = true;
      return false;
    case 22:  // Ctrl+V
    case 24:  // Ctrl+X
      if (!allowEdit_) m.WParam = 0;
      afterPaste = true;
      return false;
    case VK_ESCAPE: {
      // Escape closes an open list; on the closed box it leaves the text and the choice as
      // they are (and is swallowed, so the edit does not beep).
      const bool dropped = DroppedDown();
      if (dropped) {
        search_.clear();
        Click();
        Change();
      }
      KeyPressProcessing(m);
      return !dropped;
    }
    default: break;
  }
  if (ch < 32) return false;

  // A printable character: the key-press events first (a handler may change or cancel it).
  KeyPressProcessing(m);
  ch = static_cast<unsigned char>(m.WParam);
  if (ch < 32) {
    if (ch != 0) m.Result = CallWindowProcA(defProc, wnd, m.Msg, m.WParam, m.LParam);
    return true;
  }
  w.erase(caret, selected);
  std::string old = w;
  w.insert(std::min(caret, w.size()), 1, static_cast<char>(ch));
  if (CompleteFromItems(w, m, false)) {
    search_ = w;
    return true;
  }
  if (allowEdit_) {
    search_ = w;
    SetTextTyping(old);
    SetEditSel(static_cast<int>(caret), 0);
    m.Result = CallWindowProcA(defProc, wnd, m.Msg, m.WParam, m.LParam);
    return true;
  }
  BeepInvalidKey();
  search_ = old;
  return true;
}

void TFcCustomComboBox::KeyPress(char& key) {
  if (tabOnEnter_ && key == '\r' && !DroppedDown()) {
    key = 0;
    if (HandleAllocated()) PostMessageA(Handle(), WM_KEYDOWN, VK_TAB, 0);
    return;
  }
  if (Style() == csDropDown && static_cast<unsigned char>(key) >= 32 && MaxLength() > 0 &&
      static_cast<int>(Text().size()) >= MaxLength() && SelLength() == 0) {
    BeepInvalidKey();
    key = 0;
    return;
  }
  TFcFramedControl<TCustomComboBox>::KeyPress(key);
  if (!autoDropDown_ || key == 0) return;
  if (key == '\t') {
    if (DroppedDown()) SetDroppedDown(false);
  } else if (key != VK_BACK && key != VK_ESCAPE && !DroppedDown()) {
    SetDroppedDown(true);
  }
}

void TFcCustomComboBox::BeepInvalidKey() {
  if (beepOnInvalidKey_) MessageBeep(0);
}

// ---- Notifications ----------------------------------------------------------------------------

void TFcCustomComboBox::CMTextChanged(TMessage& m) {
  Inherited(m);
  if (autoComplete_ && !ComponentState().Contains(csDesigning) && !typing_ && !DroppedDown() &&
      Style() == csDropDown) {
    if (enterPressed_) {
      enterPressed_ = false;
    } else {
      search_ = Text();
      int index = FindPrefix(search_);
      if (index >= 0) {
        std::string item = Items()->Strings(index);
        {
          TRestore<bool> typing(typing_, true);
          SetItemIndex(index);
        }
        int start = static_cast<int>(std::min(search_.size(), item.size()));
        SetEditSel(start, static_cast<int>(item.size()) - start);
      }
    }
  }
  typing_ = false;
}

void TFcCustomComboBox::CNCommand(TWMCommand& m) {
  switch (m.NotifyCode) {
    case CBN_SELENDOK:
      typing_ = true;
      DoSelEndOk();
      break;
    case CBN_SELENDCANCEL: DoSelEndCancel(); break;
    default: break;
  }
  Inherited(m);
}

void TFcCustomComboBox::CNDrawItem(TWMDrawItem& m) {
  const DRAWITEMSTRUCT* item = m.DrawItemStruct;
  TOwnerDrawState state = TOwnerDrawState::FromBits(item->itemState & 0x1FFF);
  int index = static_cast<int>(item->itemID);
  TCanvas* canvas = Canvas();
  TCanvasBinding binding(canvas, item->hDC);
  canvas->Font()->Assign(Font());
  canvas->Brush()->Assign(Brush());
  bool selected = state.Contains(odSelected);
  if (selected) {
    canvas->Brush()->SetColor(clHighlight);
    canvas->Font()->SetColor(clHighlightText);
  }
  if (index >= 0) {
    DrawItem(index, item->rcItem, state);
    if (selected && showFocusRect_) PaintDottedFocusRect(canvas, item->rcItem);
  } else if (selected) {
    PaintDottedFocusRect(canvas, item->rcItem);
  } else {
    canvas->FillRect(item->rcItem);
  }
  m.Result = TRUE;
}

void TFcCustomComboBox::CNDeleteItem(TWMDeleteItem& m) {
  DELETEITEMSTRUCT* item = m.DeleteItemStruct;
  if (item->itemData && !destroyingWindow_) {
    DeleteItem(reinterpret_cast<void*>(item->itemData));
    item->itemData = 0;
  }
  Inherited(m);
}

void TFcCustomComboBox::DeleteItem(void* itemData) {
  if (OnDeleteItem) OnDeleteItem(this, itemData);
}

void TFcCustomComboBox::CloseUp() {
  TFcFramedControl<TCustomComboBox>::CloseUp();
  Invalidate();
}

bool TFcCustomComboBox::DoMouseWheel(TShiftState shift, int wheelDelta, POINT mousePos) {
  if (TFcFramedControl<TCustomComboBox>::DoMouseWheel(shift, wheelDelta, mousePos)) return true;
  bool down = wheelDelta < 0;
  if (DroppedDown()) {
    UINT lines = 3;
    SystemParametersInfoA(SPI_GETWHEELSCROLLLINES, 0, &lines, 0);
    int top = static_cast<int>(SendMessageA(Handle(), CB_GETTOPINDEX, 0, 0));
    top = down ? top + static_cast<int>(lines) : std::max(0, top - static_cast<int>(lines));
    SendMessageA(Handle(), CB_SETTOPINDEX, static_cast<WPARAM>(top), 0);
    return true;
  }
  // The choice moves only when it really changes, and then the form hears of it.
  int count = ItemCount(), index = ItemIndex();
  if (readOnly_ || count == 0) return true;
  int next = down ? std::min(index + 1, count - 1) : (index < 0 ? 0 : std::max(index - 1, 0));
  if (next != index) {
    SetItemIndex(next);
    Click();
    Change();
  }
  return true;
}

// ---- Events -----------------------------------------------------------------------------------

void TFcCustomComboBox::DoMatch() {
  if (OnMatch) OnMatch(this);
}

void TFcCustomComboBox::DoNotInList() {
  if (OnNotInList) OnNotInList(this);
}

void TFcCustomComboBox::DoSelEndOk() {
  if (OnSelEndOk) OnSelEndOk(this);
}

void TFcCustomComboBox::DoSelEndCancel() {
  if (OnSelEndCancel) OnSelEndCancel(this);
}

void TFcCustomComboBox::DoExit() {
  TFcFramedControl<TCustomComboBox>::DoExit();
  std::string text = Text();
  if (Style() == csDropDown && !text.empty() && Items()->IndexOf(text) < 0) DoNotInList();
}

// ---- Hot state and painting -------------------------------------------------------------------

void TFcCustomComboBox::SetHotFlag(TFcHotFlag flag, bool value) {
  bool changed = (flag == hfInControl ? InControl() : OverControl()) != value;
  TFcFramedControl<TCustomComboBox>::SetHotFlag(flag, value);
  if (changed) UpdateHotState(flag == hfOverControl, value);
}

void TFcCustomComboBox::UpdateHotState(bool, bool) {
  if ((flatButtons_ || FrameHotTrack()) && !DroppedDown() && HandleAllocated()) {
    RECT r;
    ::GetClientRect(Handle(), &r);
    if (!FrameHotTrack()) r.left = r.right - GetSystemMetrics(SM_CXVSCROLL) - 2;
    RedrawWindow(Handle(), &r, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_NOERASE);
  }
  UpdateColors();
}

void TFcCustomComboBox::RepaintFrame() {
  // The frame lies inside the client area.
  if (HandleAllocated()) RedrawWindow(Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_NOERASE);
}

void TFcCustomComboBox::WMSize(TMessage& m) {
  Inherited(m);
  if (FrameVisible() && !UsesThemeFrame()) Invalidate();
}

void TFcCustomComboBox::WMPaint(TWMDC& m) {
  HDC given = m.DC;
  Inherited(m);
  if (given) {
    HandleWmPaint(given);
  } else if (HandleAllocated()) {
    TWindowDC dc(Handle());
    HandleWmPaint(dc);
  }
}

RECT TFcCustomComboBox::ButtonRect() {
  RECT client;
  ::GetClientRect(Handle(), &client);
  int a = ThemeServicesEnabled() ? 1 : 2, width = GetSystemMetrics(SM_CXVSCROLL);
  if (UseRightToLeftAlignment()) return RECT{a, a, a + width, client.bottom - a};
  return RECT{client.right - width - a, a, client.right - a, client.bottom - a};
}

void TFcCustomComboBox::HandleWmPaint(HDC dc) {
  if (!HandleAllocated()) return;
  bool themed = ThemeServicesEnabled();
  bool rtl = UseRightToLeftAlignment();
  bool hasButton = Style() != csSimple;
  RECT client;
  ::GetClientRect(Handle(), &client);
  RECT button = ButtonRect();
  TCanvas canvas;
  TCanvasBinding binding(&canvas, dc);
  TColor color = Color();
  bool white = ColorToRGB(color) == RGB(255, 255, 255);
  bool custom = FrameVisible() && !UsesThemeFrame();
  RECT edit = client;
  if (hasButton) (rtl ? edit.left : edit.right) = rtl ? button.right : button.left;
  InflateRect(&edit, -1, -1);

  if (custom && !themed) {
    PaintBevelRings(&canvas, client, color, sdAllSides, 2, color);
  } else if (themed) {
    if (custom && !white) PaintBevelRings(&canvas, client, color, sdAllSides, 1, color);
    if (!white) PaintBevelRings(&canvas, edit, color, sdAllSides, 2, color);
  }
  if (hasButton) {
    if (themed) {
      RECT strip = rtl ? RECT{button.right, button.top, button.right + 2, button.bottom}
                       : RECT{button.left - 3, button.top, button.left, button.bottom};
      canvas.Brush()->SetColor(color);
      canvas.FillRect(strip);
    }
    if (readOnly_) {
      canvas.Brush()->SetColor(color);
      canvas.FillRect(button);
    } else if (flatButtons_) {
      bool hot = InControl() || OverControl();
      bool dropped = DroppedDown();
      if (!hot) {
        canvas.Brush()->SetColor(color);
        canvas.FillRect(button);
        PaintDropDownArrow(&canvas, button, themed, Enabled(), false);
      } else if (themed) {
        if (Themes::TThemeData theme = Themes::OpenTheme(Handle(), "COMBOBOX"))
          Themes::DrawThemeBackground(theme.get(), dc, CP_DROPDOWNBUTTON, dropped ? CBXS_PRESSED : CBXS_HOT, button);
      } else {
        RECT inner = button;
        if (flatButtonColor_ == clBtnFace)
          inner = dropped ? PaintRectSides(&canvas, button, clBtnShadow, sdAllSides, clBtnHighlight)
                          : PaintRectSides(&canvas, button, clBtnHighlight, sdAllSides, clBtnShadow);
        else
          inner = PaintColorStyledRect(&canvas, button, flatButtonColor_, dropped ? fsStatus : fsPopup);
        canvas.Brush()->SetColor(flatButtonColor_);
        canvas.FillRect(inner);
        PaintDropDownArrow(&canvas, inner, false, Enabled(), dropped);
      }
    }
  }
  if (custom) {
    bool hot = FrameHot();
    TColor frame = hot ? FrameHotColor() : FrameColor();
    TFrameStyle style = hot ? FrameHotStyle() : FrameStyle();
    if (style == fsFlat)
      PaintRectSides(&canvas, client, frame, FrameSides(), frame);
    else if (style == fsFlatBold)
      PaintBevelRings(&canvas, client, frame, FrameSides(), 2, frame);
    else if (color == clWindow)
      PaintStyledSides(&canvas, client, style, FrameSides());
    else
      PaintColorStyledSides(&canvas, client, color, FrameSides(), style);
  }
}

// ---- Registration ---------------------------------------------------------------------------------

void RegisterFcCmboBx() {
  RegisterStdCtrls();
  using C = TFcCustomComboBox;
  RegisterClassInfo<C, TCustomComboBox>("TFcCustomComboBox")
      .Event("OnMatch", &C::OnMatch)
      .Event("OnNotInList", &C::OnNotInList)
      .Event("OnDeleteItem", &C::OnDeleteItem)
      .Event("OnSelEndOk", &C::OnSelEndOk)
      .Event("OnSelEndCancel", &C::OnSelEndCancel);
  using B = TFcComboBox;
  auto noController = [](B* b) { return b->FrameController() == nullptr; };
  auto builder = RegisterClassInfo<B, C>("TFcComboBox");
  builder.Enum("Style", ComboStyleInfo, &B::Style, &B::SetStyle, csDropDown)
      .Strings("Items", &B::ItemList, &B::SetItemList)
      .Integer("ItemIndex", &B::ItemIndex, &B::SetItemIndex, -1)
      .String("Text", &B::Text, &B::SetTextWithoutCompletion)
      .StoredIf([](B* b) {
        int index = b->ItemIndex();
        return (b->Style() == csDropDown || b->Style() == csSimple) &&
               (index < 0 || b->Text() != b->Items()->Strings(index));
      })
      .Boolean("ParentColor", &B::ParentColor, &B::SetParentColor, false)
      .Boolean("TabStop", &B::TabStop, &B::SetTabStop, true)
      .Integer("DropDownCount", &B::DropDownCount, &B::SetDropDownCount, 8)
      .Boolean("Sorted", &B::Sorted, &B::SetSorted, false)
      .Integer("MaxLength", &B::MaxLength, &B::SetMaxLength, 0)
      .Integer("ItemHeight", &B::ItemHeight, &B::SetItemHeight, 16)
      .StoredIf([](B* b) { return b->Style() == csOwnerDrawFixed || b->Style() == csOwnerDrawVariable; })
      .Boolean("AutoComplete", &B::AutoComplete, &B::SetAutoComplete, true)
      .Boolean("AllowEdit", &B::AllowEdit, &B::SetAllowEdit, true)
      .Boolean("AutoDropDown", &B::AutoDropDown, &B::SetAutoDropDown, false)
      .Boolean("BeepOnInvalidKey", &B::BeepOnInvalidKey, &B::SetBeepOnInvalidKey, true)
      .Boolean("KeepSearchCase", &B::KeepSearchCase, &B::SetKeepSearchCase, false)
      .Boolean("TabOnEnter", &B::TabOnEnter, &B::SetTabOnEnter, false)
      .Boolean("ReadOnly", &B::ReadOnly, &B::SetReadOnly, false)
      .Integer("DropDownWidth", &B::DropDownWidth, &B::SetDropDownWidth, 0)
      .Boolean("FlatButtons", &B::FlatButtons, &B::SetFlatButtons, false)
      .StoredIf(noController)
      .Color("FlatButtonColor", &B::FlatButtonColor, &B::SetFlatButtonColor, clBtnFace)
      .StoredIf(noController);
  PublishFrameSettings(builder);

  using I = TFcCustomImageComboBox;
  RegisterClassInfo<I, C>("TFcCustomImageComboBox")
      .Enum("Style", ComboStyleInfo, &I::Style, &I::SetStyle, csOwnerDrawFixed)
      .Component("Images", &I::Images, &I::SetImages)
      .Integer("ItemIndent", &I::ItemIndent, &I::SetItemIndent, 12)
      .Event("OnDeleteItem", &I::OnDeleteItem);
}
