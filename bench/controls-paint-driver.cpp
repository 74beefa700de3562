// Paints the control gallery 200 times and, in the same round, a window of the same size that
// holds one system control of the nearest class for each framed control, 200 times; five
// rounds; prints each round and the median ratio of the two painting times.
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "bench/BenchRatio.h"
#include "controls/FcBckgnd.h"
#include "controls/FcButton.h"
#include "controls/FcCmboBx.h"
#include "controls/FcEdit.h"
#include "controls/FcLabel.h"
#include "controls/FcPages.h"
#include "controls/FcPanel.h"
#include "controls/FcRadChk.h"
#include "controls/FcRegister.h"
#include "controls/FcStatus.h"
#include "platform/Forms.h"
#include "platform/Layout.h"
#include "platform/Themes.h"

namespace {

constexpr int kPaints = 200;
constexpr int kRounds = 5;

// The system control that stands for a framed control: its window class and style.
struct TSystemStandIn {
  const char* windowClass;
  DWORD style;
};

// One entry per framed control class of the gallery; a control without one is counted out.
bool StandInFor(TControl* control, TSystemStandIn& standIn) {
  if (auto* separator = dynamic_cast<TFcSeparator*>(control)) {
    standIn = {"STATIC", DWORD(separator->Orientation() == orHorizontal ? SS_ETCHEDHORZ : SS_ETCHEDVERT)};
    return true;
  }
  // Labels, edits and memos.
  if (dynamic_cast<TFcLabel*>(control)) {
    standIn = {"STATIC", DWORD(SS_LEFT)};
    return true;
  }
  if (dynamic_cast<TFcMemo*>(control)) {
    standIn = {"EDIT", DWORD(WS_BORDER | ES_MULTILINE)};
    return true;
  }
  if (dynamic_cast<TFcCustomEdit*>(control)) {
    standIn = {"EDIT", DWORD(WS_BORDER)};
    return true;
  }
  // The buttons: system buttons of the same kind.
  if (auto* check = dynamic_cast<TFcCheckBox*>(control)) {
    standIn = {"BUTTON", DWORD(check->State() == cbGrayed ? BS_3STATE : BS_CHECKBOX)};
    return true;
  }
  if (dynamic_cast<TFcRadioButton*>(control)) {
    standIn = {"BUTTON", DWORD(BS_RADIOBUTTON)};
    return true;
  }
  if (dynamic_cast<TFcButton*>(control) || dynamic_cast<TFcToolButton*>(control) ||
      dynamic_cast<TFcControlButton*>(control)) {
    standIn = {"BUTTON", DWORD(BS_PUSHBUTTON)};
    return true;
  }
  // Combo boxes.
  if (auto* combo = dynamic_cast<TFcCustomComboBox*>(control)) {
    bool edit = combo->Style() == csDropDown || combo->Style() == csSimple;
    standIn = {"COMBOBOX", DWORD(WS_VSCROLL | (edit ? CBS_DROPDOWN : CBS_DROPDOWNLIST))};
    return true;
  }
  // Tab and page controls, and the page each shows.
  if (dynamic_cast<TFcCustomTabControl*>(control)) {
    standIn = {WC_TABCONTROLA, DWORD(WS_CLIPSIBLINGS)};
    return true;
  }
  if (dynamic_cast<TFcTabSheet*>(control) && control->Visible()) {
    standIn = {"STATIC", DWORD(SS_LEFT)};
    return true;
  }
  // Panels, group boxes, the splitter and its panes, status bars and panes.
  if (dynamic_cast<TFcStatusBar*>(control)) {
    standIn = {STATUSCLASSNAMEA, DWORD(CCS_NOPARENTALIGN | CCS_NORESIZE)};
    return true;
  }
  if (dynamic_cast<TFcCustomGroupBox*>(control)) {
    standIn = {"BUTTON", DWORD(BS_GROUPBOX)};
    return true;
  }
  if (dynamic_cast<TFcCustomPanel*>(control)) {
    standIn = {"STATIC", DWORD(SS_ETCHEDFRAME)};
    return true;
  }
  if (dynamic_cast<TFcCustomStatusPane*>(control)) {
    standIn = {"STATIC", DWORD(SS_SUNKEN | SS_LEFT)};
    return true;
  }
  return false;
}

// A stand-in that shows items gets those of its framed control.
void FillStandIn(TControl* control, HWND standIn) {
  if (auto* combo = dynamic_cast<TFcCustomComboBox*>(control)) {
    for (int i = 0; i < combo->Items()->Count(); ++i)
      SendMessageA(standIn, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(combo->Items()->Strings(i).c_str()));
    SendMessageA(standIn, WM_SETFONT, reinterpret_cast<WPARAM>(combo->Font()->Handle()), FALSE);
    SendMessageA(standIn, CB_SETCURSEL, static_cast<WPARAM>(combo->ItemIndex()), 0);
  }
  if (auto* tabs = dynamic_cast<TFcCustomTabControl*>(control)) {
    for (int i = 0; i < tabs->Tabs()->Count(); ++i) {
      std::string text = tabs->Tabs()->Items(i)->Caption;
      TCITEMA item{};
      item.mask = TCIF_TEXT;
      item.pszText = text.data();
      SendMessageA(standIn, TCM_INSERTITEMA, i, reinterpret_cast<LPARAM>(&item));
    }
    SendMessageA(standIn, WM_SETFONT, reinterpret_cast<WPARAM>(tabs->Font()->Handle()), FALSE);
    SendMessageA(standIn, TCM_SETCURSEL, tabs->TabIndex(), 0);
  }
}

// Puts a stand-in for every framed control of `container` (and of the containers in it) on
// `window`, at the same place relative to the window's client area.
int AddStandIns(TWinControl* container, TForm* gallery, HWND window) {
  int count = 0;
  for (int i = 0; i < container->ControlCount(); ++i) {
    TControl* control = container->Controls(i);
    TSystemStandIn standIn{};
    if (StandInFor(control, standIn)) {
      POINT p = control->ClientToScreen(POINT{0, 0});
      POINT origin = gallery->ClientOrigin();
      HWND made = CreateWindowExA(0, standIn.windowClass, "", WS_CHILD | WS_VISIBLE | standIn.style,
                                  p.x - origin.x, p.y - origin.y, control->Width(), control->Height(), window,
                                  nullptr, GetModuleHandleA(nullptr), nullptr);
      FillStandIn(control, made);
      ++count;
    }
    if (auto* inner = dynamic_cast<TWinControl*>(control)) count += AddStandIns(inner, gallery, window);
  }
  return count;
}

// Both windows lie at the same place on the screen (side by side the gallery is too wide for
// it): the one measured is brought to the top first, so that all of it is painted.
double PaintTimes(HWND window, int times) {
  SetWindowPos(window, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  Application->ProcessMessages();
  double start = Milliseconds();
  for (int i = 0; i < times; ++i)
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
  GdiFlush();
  return Milliseconds() - start;
}

}  // namespace

int main() {
  StartControlBench();

  std::unique_ptr<TForm> gallery(TForm::CreateNew<TForm>(nullptr));
  ReadLayoutResource(gallery.get(), nullptr, "FCGALLERY");
  gallery->SetPosition(poDesigned);
  gallery->SetBounds(0, 0, gallery->Width(), gallery->Height());
  gallery->Show();

  std::unique_ptr<TForm> system(TForm::CreateNew<TForm>(nullptr));
  system->SetBorderStyle(gallery->BorderStyle());
  system->SetColor(gallery->Color());
  system->SetBounds(0, 0, gallery->Width(), gallery->Height());
  system->SetFormClientWidth(gallery->ClientWidth());
  system->SetFormClientHeight(gallery->ClientHeight());
  system->Show();
  int controls = AddStandIns(gallery.get(), gallery.get(), system->Handle());
  Application->ProcessMessages();

  std::printf("%d framed controls and as many system controls, %d x %d, %d paints a round\n", controls,
              gallery->ClientWidth(), gallery->ClientHeight(), kPaints);
  PaintTimes(gallery->Handle(), 5);
  PaintTimes(system->Handle(), 5);
  double ratio = MedianRatio(
      kRounds, [&] { return PaintTimes(gallery->Handle(), kPaints); },
      [&] { return PaintTimes(system->Handle(), kPaints); }, "gallery", "system controls");
  std::printf("framed/system paint ratio: %.2f\n", ratio);
  return 0;
}
