// What the tests of the framed tree and list views share: a form to put them on and a click
// on a list's header.
#pragma once

#include <gtest/gtest.h>

#include <windows.h>

#include <initializer_list>
#include <vector>

#include "ControlTestSupport.h"
#include "shell/FcListVw.h"

// A shown form for each test, with the framed views registered.
class FcViewForm : public ShownFormTest {
 protected:
  void SetUp() override {
    RegisterFcListVw();
    ShownFormTest::SetUp();
  }
};

inline bool SamePoint(POINT a, POINT b) { return a.x == b.x && a.y == b.y; }

// A click on the header's item, as the mouse gives it.
inline void ClickHeader(TCustomListView* list, int column) {
  HWND header = list->HeaderHandle();
  RECT r;
  SendMessageA(header, HDM_GETITEMRECT, static_cast<WPARAM>(column), reinterpret_cast<LPARAM>(&r));
  LPARAM at = MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2);
  SendMessageA(header, WM_LBUTTONDOWN, MK_LBUTTON, at);
  SendMessageA(header, WM_LBUTTONUP, 0, at);
  Pump();
}
