#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <memory>
#include <tuple>
#include <utility>
#include <vector>

#include "ControlTestClasses.h"

namespace {

// A message as a control's handlers received it.
using TReceived = std::tuple<UINT, WPARAM, LPARAM>;

// A child control that notes the control notifications it receives and answers each with
// `answer`; the rest goes on to the control as usual. Made after its parent, so that it
// stops listening before the parent frees the control.
class TListeningChild {
 public:
  explicit TListeningChild(TWinControl* parent) : control(new TCtlBox(parent)), previous_(control->WindowProc) {
    control->SetParent(parent);
    control->WindowProc = [this](TMessage& m) {
      if (m.Msg >= CN_BASE && m.Msg < 0xC000) {
        received.emplace_back(m.Msg, m.WParam, m.LParam);
        m.Result = answer;
        return;
      }
      previous_(m);
    };
  }
  ~TListeningChild() { control->WindowProc = previous_; }
  TListeningChild(const TListeningChild&) = delete;
  TListeningChild& operator=(const TListeningChild&) = delete;

  TCtlBox* const control;
  std::vector<TReceived> received;
  LRESULT answer = 0;

 private:
  const TWndMethod previous_;
};

}  // namespace

// What a parent window receives about a child window goes to the child's control as its own
// notification, with the parameters as they came, and the control's answer goes back to the
// system; what concerns no control (a menu, a window of another kind, the parent's own scroll
// bars) stays with the parent. Children on a form and on a panel inside it.
TEST(WinControl, NotificationsAboutAChildWindowGoToItsControlAndItsAnswerBack) {
  std::unique_ptr<TForm> form(TForm::CreateNew<TForm>(nullptr));
  auto* panel = new TCtlPanel(form.get());
  panel->SetParent(form.get());
  TListeningChild onForm(form.get()), onPanel(panel);
  for (auto [parent, listener] : {std::pair{static_cast<TWinControl*>(form.get()), &onForm},
                               std::pair{static_cast<TWinControl*>(panel), &onPanel}}) {
    SCOPED_TRACE(parent == panel ? "on the panel" : "on the form");
    HWND wnd = listener->control->Handle();
    const UINT id = GetDlgCtrlID(wnd);
    ASSERT_NE(id, 0u);
    // A window of the parent's that no control owns, and a menu.
    HWND plain = CreateWindowExA(0, "STATIC", "", WS_CHILD, 0, 0, 10, 10, parent->Handle(), nullptr,
                                 GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(plain, nullptr);
    HMENU menu = CreatePopupMenu();
    HDC dc = CreateCompatibleDC(nullptr);

    NMHDR notify{wnd, id, static_cast<UINT>(NM_CLICK)};
    NMHDR notifyFromPlain{plain, 0, static_cast<UINT>(NM_CLICK)};
    DRAWITEMSTRUCT draw{ODT_BUTTON, id, 0, ODA_DRAWENTIRE, 0, wnd, dc, {0, 0, 20, 20}, 0};
    DRAWITEMSTRUCT drawMenu{ODT_MENU, 0, 5, ODA_DRAWENTIRE, 0, reinterpret_cast<HWND>(menu), dc, {0, 0, 20, 20}, 0};
    MEASUREITEMSTRUCT measure{ODT_LISTBOX, id, 2, 0, 0, 0};
    // A menu item's CtlID means nothing: even the child's number must not take it there.
    MEASUREITEMSTRUCT measureMenu{ODT_MENU, id, 5, 0, 0, 0};
    DELETEITEMSTRUCT deleted{ODT_LISTBOX, id, 3, wnd, 0};
    COMPAREITEMSTRUCT compare{ODT_LISTBOX, id, wnd, 1, 0, 2, 0, 0};
    const auto ptr = [](auto* p) { return reinterpret_cast<LPARAM>(p); };
    const WPARAM dcParam = reinterpret_cast<WPARAM>(dc);
    const LPARAM child = reinterpret_cast<LPARAM>(wnd);

    const struct {
      const char* name;
      UINT msg;
      WPARAM wParam;
      LPARAM lParam;
      UINT reflected;  // what the child's control receives; 0: nothing
      LRESULT result;  // what the system gets: the control's answer, or the parent's own
    } cases[] = {
        {"a button's click", WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), child, CN_COMMAND, 11},
        {"a menu command", WM_COMMAND, MAKEWPARAM(40001, 0), 0, 0, 0},
        {"a command of a window no control owns", WM_COMMAND, MAKEWPARAM(7, BN_CLICKED), ptr(plain), 0, 0},
        {"a notification", WM_NOTIFY, id, ptr(&notify), CN_NOTIFY, 12},
        {"a notification of a window no control owns", WM_NOTIFY, 0, ptr(&notifyFromPlain), 0, 0},
        {"an item to draw", WM_DRAWITEM, id, ptr(&draw), CN_DRAWITEM, 13},
        {"a menu item to draw", WM_DRAWITEM, 0, ptr(&drawMenu), 0, 0},
        {"an item to measure", WM_MEASUREITEM, id, ptr(&measure), CN_MEASUREITEM, 14},
        {"a menu item to measure", WM_MEASUREITEM, 0, ptr(&measureMenu), 0, 0},
        {"an item deleted", WM_DELETEITEM, id, ptr(&deleted), CN_DELETEITEM, 15},
        {"two items compared", WM_COMPAREITEM, id, ptr(&compare), CN_COMPAREITEM, -1},
        {"a scroll bar's line right", WM_HSCROLL, MAKEWPARAM(SB_LINERIGHT, 0), child, CN_HSCROLL, 16},
        {"a scroll bar's thumb", WM_VSCROLL, MAKEWPARAM(SB_THUMBPOSITION, 40), child, CN_VSCROLL, 17},
        {"the parent's own scroll bar", WM_VSCROLL, MAKEWPARAM(SB_LINEDOWN, 0), 0, 0, 0},
        {"a character for a list", WM_CHARTOITEM, MAKEWPARAM('b', 2), child, CN_CHARTOITEM, 3},
        {"a key for a list", WM_VKEYTOITEM, MAKEWPARAM(VK_DOWN, 2), child, CN_VKEYTOITEM, -2},
        {"a message box's colours", WM_CTLCOLORMSGBOX, dcParam, child, CN_CTLCOLORMSGBOX, 21},
        {"an edit's colours", WM_CTLCOLOREDIT, dcParam, child, CN_CTLCOLOREDIT, 22},
        {"a list box's colours", WM_CTLCOLORLISTBOX, dcParam, child, CN_CTLCOLORLISTBOX, 23},
        {"a button's colours", WM_CTLCOLORBTN, dcParam, child, CN_CTLCOLORBTN, 24},
        {"a dialog's colours", WM_CTLCOLORDLG, dcParam, child, CN_CTLCOLORDLG, 25},
        {"a scroll bar's colours", WM_CTLCOLORSCROLLBAR, dcParam, child, CN_CTLCOLORSCROLLBAR, 26},
        {"a static's colours", WM_CTLCOLORSTATIC, dcParam, child, CN_CTLCOLORSTATIC, 27},
    };
    for (const auto& c : cases) {
      SCOPED_TRACE(c.name);
      listener->received.clear();
      listener->answer = c.reflected ? c.result : 99;
      EXPECT_EQ(SendMessageA(parent->Handle(), c.msg, c.wParam, c.lParam), c.result);
      std::vector<TReceived> expected;
      if (c.reflected) expected.emplace_back(c.reflected, c.wParam, c.lParam);
      EXPECT_EQ(listener->received, expected);
    }
    DeleteDC(dc);
    DestroyMenu(menu);
    DestroyWindow(plain);
  }
}

// A control that leaves its colours to the platform gives the system its brush, with its
// font's colour and its own colour in the device context.
TEST(WinControl, AChildWindowAskingForColoursGetsItsControlsBrushAndColours) {
  std::unique_ptr<TForm> form(TForm::CreateNew<TForm>(nullptr));
  auto* box = new TCtlBox(form.get());
  box->SetParent(form.get());
  box->SetColor(clYellow);
  box->Font()->SetColor(clRed);
  HDC dc = CreateCompatibleDC(nullptr);
  for (UINT msg : {WM_CTLCOLOREDIT, WM_CTLCOLORSTATIC, WM_CTLCOLORBTN}) {
    SetTextColor(dc, RGB(1, 2, 3));
    SetBkColor(dc, RGB(4, 5, 6));
    LRESULT brush = SendMessageA(form->Handle(), msg, reinterpret_cast<WPARAM>(dc),
                                 reinterpret_cast<LPARAM>(box->Handle()));
    EXPECT_EQ(brush, reinterpret_cast<LRESULT>(box->Brush()->Handle())) << msg;
    EXPECT_EQ(GetTextColor(dc), RGB(255, 0, 0)) << msg;
    EXPECT_EQ(GetBkColor(dc), RGB(255, 255, 0)) << msg;
  }
  DeleteDC(dc);
}
