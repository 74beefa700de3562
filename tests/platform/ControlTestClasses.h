// Small controls for the tests of controls and forms: a container panel, a focusable box, a
// push button that answers Enter, Escape and its accelerator, a windowless mark, and the form
// whose layout holds them.
#pragma once

#include <string>
#include <vector>

#include "EventLog.h"
#include "platform/Forms.h"
#include "platform/TypInfo.h"

// A container that paints its colour, a dark frame and its caption.
class TCtlPanel : public TCustomControl {
 public:
  explicit TCtlPanel(TComponent* owner) : TCustomControl(owner) {
    controlStyle_ += csAcceptsControls;
    SetColor(clBtnFace);
    SetBounds(0, 0, 100, 50);
  }

 protected:
  void Paint() override {
    RECT r = ClientRect();
    Canvas()->Brush()->SetColor(Color());
    Canvas()->Pen()->SetColor(clBtnShadow);
    Canvas()->Rectangle(r);
    Canvas()->Font()->Assign(Font());
    Canvas()->Brush()->SetStyle(bsClear);
    Canvas()->TextOut(4, 2, Caption());
  }
};

// A focusable box: white, with its caption and a focus rectangle while focused.
class TCtlBox : public TCustomControl {
  MESSAGE_TABLE(TCustomControl)

 public:
  explicit TCtlBox(TComponent* owner) : TCustomControl(owner) {
    SetTabStop(true);
    SetColor(clWindow);
    SetBounds(0, 0, 120, 22);
  }
  std::vector<WORD> keysSeen;
  std::string typed;

 protected:
  // The focus rectangle comes and goes with the focus.
  void WMFocus(TWMFocus& m) {
    Inherited(m);
    Invalidate();
  }
  void Paint() override {
    RECT r = ClientRect();
    Canvas()->Brush()->SetColor(Enabled() ? Color() : clBtnFace);
    Canvas()->Pen()->SetColor(clBlack);
    Canvas()->Rectangle(r);
    Canvas()->Font()->Assign(Font());
    Canvas()->TextOut(4, 3, Caption());
    if (Focused()) {
      InflateRect(&r, -2, -2);
      Canvas()->DrawFocusRect(r);
    }
  }
  void KeyDown(WORD& key, TShiftState shift) override {
    TCustomControl::KeyDown(key, shift);
    if (key) keysSeen.push_back(key);
  }
  void KeyPress(char& key) override {
    TCustomControl::KeyPress(key);
    if (key) typed += key;
  }
};

inline TMessageTable& TCtlBox::Messages() {
  static TMessageTable* table = [] {
    auto* t = new TMessageTable(&TInheritedClass::Messages());
    t->Add(WM_SETFOCUS, Handler(&TCtlBox::WMFocus));
    t->Add(WM_KILLFOCUS, Handler(&TCtlBox::WMFocus));
    return t;
  }();
  return *table;
}

// A push button: a click hands its modal result to the form; Enter presses the default
// button, Escape the cancel button, Alt+letter the button with that accelerator.
class TCtlButton : public TCustomControl {
  MESSAGE_TABLE(TCustomControl)

 public:
  explicit TCtlButton(TComponent* owner) : TCustomControl(owner) {
    SetTabStop(true);
    SetColor(clBtnFace);
    SetBounds(0, 0, 75, 25);
  }

  bool Default() const { return default_; }
  void SetDefault(bool v) { default_ = v; }
  bool Cancel() const { return cancel_; }
  void SetCancel(bool v) { cancel_ = v; }
  int ModalResult() const { return modalResult_; }
  void SetModalResult(int v) { modalResult_ = v; }
  void Click() override {
    if (TForm* form = GetParentForm(this))
      if (modalResult_ != mrNone) form->SetModalResult(modalResult_);
    TCustomControl::Click();
  }

 protected:
  void Paint() override {
    RECT r = ClientRect();
    Canvas()->Brush()->SetColor(Color());
    Canvas()->FillRect(r);
    DrawEdge(Canvas()->Handle(), &r, EDGE_RAISED, BF_RECT);
    Canvas()->Font()->Assign(Font());
    Canvas()->Brush()->SetStyle(bsClear);
    std::string text = Caption();
    DrawTextA(Canvas()->Handle(), text.c_str(), -1, &r, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
  }
  void CMDialogKey(TWMKey& m) {
    if (((m.CharCode == VK_RETURN && default_) || (m.CharCode == VK_ESCAPE && cancel_)) && CanFocus()) {
      Click();
      m.Result = 1;
      return;
    }
    Inherited(m);
  }
  void CMDialogChar(TWMKey& m) {
    if (IsAccel(static_cast<char>(m.CharCode), Caption()) && CanFocus()) {
      Click();
      m.Result = 1;
      return;
    }
    Inherited(m);
  }

 private:
  bool default_ = false;
  bool cancel_ = false;
  int modalResult_ = mrNone;
};

inline TMessageTable& TCtlButton::Messages() {
  static TMessageTable* table = [] {
    auto* t = new TMessageTable(&TInheritedClass::Messages());
    t->Add(CM_DIALOGKEY, Handler(&TCtlButton::CMDialogKey));
    t->Add(CM_DIALOGCHAR, Handler(&TCtlButton::CMDialogChar));
    return t;
  }();
  return *table;
}

// A windowless mark: its colour in a frame. Its colour setter is its own, and counts calls.
class TCtlMark : public TGraphicControl {
 public:
  explicit TCtlMark(TComponent* owner) : TGraphicControl(owner) { SetBounds(0, 0, 30, 20); }
  void SetColor(TColor value) override {
    ++colorSets;
    TGraphicControl::SetColor(value);
  }
  int colorSets = 0;

 protected:
  void Paint() override {
    RECT r = ClientRect();
    Canvas()->Brush()->SetColor(Color());
    Canvas()->Pen()->SetColor(clBlack);
    Canvas()->Rectangle(r);
  }
};

// The form of the layout "TCTLFORM": its handlers write what happened into `log`.
class TCtlForm : public TForm {
 public:
  using TForm::TForm;
  TEventLog log;
  int created = 0;

  void FormCreate(TObject*) { ++created; }
  void MarkClick(TObject* s) { log.Note("click " + Name(s)); }
  void MarkEnter(TObject* s) { log.Note("enter " + Name(s)); }
  void MarkLeave(TObject* s) { log.Note("leave " + Name(s)); }
  void ButtonClick(TObject* s) { log.Note("click " + Name(s)); }
  void BoxEnter(TObject* s) { log.Note("enter " + Name(s)); }
  void BoxExit(TObject* s) { log.Note("exit " + Name(s)); }

  template <class T>
  T* Find(const char* name) {
    return dynamic_cast<T*>(FindComponent(name));
  }

 private:
  static std::string Name(TObject* s) {
    auto* c = dynamic_cast<TComponent*>(s);
    return c ? c->Name() : std::string("?");
  }
};

// A form whose stored layout names a property that no class has.
class TCtlBadForm : public TForm {
 public:
  using TForm::TForm;
};

inline void RegisterControlTestClasses() {
  static bool done = false;
  if (done) return;
  done = true;
  RegisterForms();
  RegisterClassInfo<TCtlPanel, TCustomControl>("TCtlPanel")
      .String("Caption", &TControl::Caption, &TControl::SetCaption)
      .Color("Color", &TControl::Color, &TControl::SetColor, clBtnFace)
      .StoredIf([](TCtlPanel* p) { return !p->ParentColor(); })
      .Boolean("ParentColor", &TControl::ParentColor, &TControl::SetParentColor, false);
  RegisterClassInfo<TCtlBox, TCustomControl>("TCtlBox")
      .String("Caption", &TControl::Caption, &TControl::SetCaption)
      .Boolean("TabStop", &TWinControl::TabStop, &TWinControl::SetTabStop, true);
  RegisterClassInfo<TCtlButton, TCustomControl>("TCtlButton")
      .String("Caption", &TControl::Caption, &TControl::SetCaption)
      .Boolean("TabStop", &TWinControl::TabStop, &TWinControl::SetTabStop, true)
      .Color("Color", &TControl::Color, &TControl::SetColor, clBtnFace)
      .StoredIf([](TCtlButton* p) { return !p->ParentColor(); })
      .Boolean("ParentColor", &TControl::ParentColor, &TControl::SetParentColor, false)
      .Boolean("Default", &TCtlButton::Default, &TCtlButton::SetDefault, false)
      .Boolean("Cancel", &TCtlButton::Cancel, &TCtlButton::SetCancel, false)
      .Integer("ModalResult", &TCtlButton::ModalResult, &TCtlButton::SetModalResult, 0);
  RegisterClassInfo<TCtlMark, TGraphicControl>("TCtlMark");
  RegisterClassInfo<TCtlForm, TForm>("TCtlForm")
      .Handler("FormCreate", &TCtlForm::FormCreate)
      .Handler("MarkClick", &TCtlForm::MarkClick)
      .Handler("MarkEnter", &TCtlForm::MarkEnter)
      .Handler("MarkLeave", &TCtlForm::MarkLeave)
      .Handler("ButtonClick", &TCtlForm::ButtonClick)
      .Handler("BoxEnter", &TCtlForm::BoxEnter)
      .Handler("BoxExit", &TCtlForm::BoxExit);
  RegisterClassInfo<TCtlBadForm, TForm>("TCtlBadForm");
}
