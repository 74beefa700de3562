// Lays out and paints a tab control of 200 tabs (round corners on top, shadows on, one row
// with the scroller) and, in the same round, the system's tab control with the same tabs in
// a window of the same size, 200 times each; five rounds; prints each round and the median
// ratio of the two times.
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "bench/BenchRatio.h"
#include "controls/FcRegister.h"
#include "controls/FcTabs.h"
#include "platform/Forms.h"
#include "platform/Themes.h"

namespace {

constexpr int kTabs = 200;
constexpr int kPaints = 200;
constexpr int kRounds = 5;
constexpr int kWidth = 600;
constexpr int kHeight = 200;

// Each round the tabs are measured and placed again before the paint.
double Paint(HWND window, const std::function<void()>& relayout) {
  double start = Milliseconds();
  for (int i = 0; i < kPaints; ++i) {
    relayout();
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
  }
  GdiFlush();
  return Milliseconds() - start;
}

std::string Caption(int i) { return "Tab " + std::to_string(i + 1); }

}  // namespace

int main() {
  StartControlBench();

  std::unique_ptr<TForm> framedForm(TForm::CreateNew<TForm>(nullptr));
  framedForm->SetBorderStyle(bsNone);
  framedForm->SetBounds(0, 0, kWidth + 20, kHeight + 20);
  auto* tabs = new TFcCustomTabControl(framedForm.get());
  tabs->SetParent(framedForm.get());
  tabs->SetBounds(10, 10, kWidth, kHeight);
  tabs->SetTabStyle(tsRoundCorners);
  tabs->SetTabOrientation(toTop);
  tabs->SetShowShadow(true);
  for (int i = 0; i < kTabs; ++i) tabs->Tabs()->Add()->Caption = Caption(i);
  tabs->SetTabIndex(0);
  framedForm->Show();

  std::unique_ptr<TForm> systemForm(TForm::CreateNew<TForm>(nullptr));
  systemForm->SetBorderStyle(bsNone);
  systemForm->SetBounds(0, kHeight + 40, kWidth + 20, kHeight + 20);
  systemForm->Show();
  HWND system = CreateWindowExA(0, WC_TABCONTROLA, "", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, 10, 10, kWidth,
                                kHeight, systemForm->Handle(), nullptr, GetModuleHandleA(nullptr), nullptr);
  HFONT font = tabs->Font()->Handle();
  SendMessageA(system, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  for (int i = 0; i < kTabs; ++i) {
    std::string text = Caption(i);
    TCITEMA item{};
    item.mask = TCIF_TEXT;
    item.pszText = text.data();
    SendMessageA(system, TCM_INSERTITEMA, i, reinterpret_cast<LPARAM>(&item));
  }
  SendMessageA(system, TCM_SETCURSEL, 0, 0);
  Application->ProcessMessages();

  std::printf("%d tabs, %d x %d, one row with scroll buttons%s, %d paints a round\n", kTabs, kWidth, kHeight,
              tabs->ScrollerShown() ? "" : " (NOT shown)", kPaints);
  auto framedLayout = [&] { tabs->SetLayoutStale(); };
  // A font set again makes the system's control measure and place its tabs anew.
  auto systemLayout = [&] { SendMessageA(system, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE); };
  Paint(framedForm->Handle(), framedLayout);
  Paint(systemForm->Handle(), systemLayout);
  double ratio = MedianRatio(
      kRounds, [&] { return Paint(framedForm->Handle(), framedLayout); },
      [&] { return Paint(systemForm->Handle(), systemLayout); }, "framed tabs", "system tabs");
  std::printf("framed/system tabs ratio: %.2f\n", ratio);
  return 0;
}
