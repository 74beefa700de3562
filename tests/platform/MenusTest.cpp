#include <gtest/gtest.h>

#include "EventLog.h"
#include "platform/Application.h"
#include "platform/Menus.h"

namespace {

void Pump() {
  for (int i = 0; i < 3; ++i) {
    Application->ProcessMessages();
    Sleep(5);
  }
}

}  // namespace

TEST(Menus, TheChosenCommandReachesTheClickOfItsItemAtAnyDepth) {
  TPopupMenu menu(nullptr);
  auto* open = new TMenuItem(&menu);
  open->SetCaption("&Open");
  auto* more = new TMenuItem(&menu);
  more->SetCaption("More");
  auto* deep = new TMenuItem(&menu);
  deep->SetCaption("Deep");
  auto* off = new TMenuItem(&menu);
  off->SetCaption("Off");
  off->SetEnabled(false);
  menu.Items()->Add(open);
  menu.Items()->Add(more);
  more->Add(deep);
  more->Add(off);
  std::vector<TObject*> clicked;
  for (TMenuItem* item : {open, more, deep, off}) item->OnClick = [&](TObject* s) { clicked.push_back(s); };
  for (TMenuItem* item : {deep, off, open})
    PostMessageA(menu.WindowHandle(), WM_COMMAND, item->Command(), 0);
  Pump();
  // A disabled item takes no click.
  EXPECT_EQ(clicked, (std::vector<TObject*>{deep, open}));
  EXPECT_EQ(deep->GetParentMenu(), &menu);
  EXPECT_EQ(deep->GetParentComponent(), more);
  EXPECT_EQ(more->GetParentComponent(), &menu);
}

TEST(Menus, AFailingClickIsReportedAndTheNextCommandStillRuns) {
  TPopupMenu menu(nullptr);
  auto* failing = new TMenuItem(&menu);
  auto* next = new TMenuItem(&menu);
  menu.Items()->Add(failing);
  menu.Items()->Add(next);
  failing->OnClick = [](TObject*) { throw Exception("Cannot open the report"); };
  bool nextRan = false;
  next->OnClick = [&](TObject*) { nextRan = true; };
  TEventLog reported;
  Application->OnException = [&](TObject* sender, const std::exception& e) {
    EXPECT_EQ(sender, &menu);
    reported.Note(e.what());
  };
  PostMessageA(menu.WindowHandle(), WM_COMMAND, failing->Command(), 0);
  PostMessageA(menu.WindowHandle(), WM_COMMAND, next->Command(), 0);
  Pump();
  Application->OnException = nullptr;
  EXPECT_EQ(reported, TEvents{"Cannot open the report"});
  EXPECT_TRUE(nextRan);
}

TEST(Menus, PopupShowsTheMenuAndAKeyChoosesAnItem) {
  TPopupMenu menu(nullptr);
  auto* first = new TMenuItem(&menu);
  first->SetCaption("&First");
  auto* line = new TMenuItem(&menu);
  line->SetCaption("-");
  auto* second = new TMenuItem(&menu);
  second->SetCaption("&Second");
  for (TMenuItem* item : {first, line, second}) menu.Items()->Add(item);
  int popups = 0;
  TObject* clicked = nullptr;
  menu.OnPopup = [&](TObject*) {
    ++popups;
    // Typed while the menu is up: its accelerator chooses the item.
    HWND owner = menu.WindowHandle();
    PostMessageA(owner, WM_KEYDOWN, 'S', 1);
    PostMessageA(owner, WM_CHAR, 's', 1);
  };
  second->OnClick = [&](TObject* s) { clicked = s; };
  menu.Popup(100, 100);
  EXPECT_EQ(popups, 1);
  EXPECT_EQ(clicked, second);
}

TEST(Menus, ItemsLeaveTheirParentWhenFreedAndRefuseASecondParent) {
  TPopupMenu menu(nullptr);
  auto* a = new TMenuItem(&menu);
  auto* b = new TMenuItem(&menu);
  menu.Items()->Add(a);
  a->Add(b);
  EXPECT_THROW(menu.Items()->Add(b), EInvalidOperation);
  EXPECT_THROW(b->Add(a), EInvalidOperation);
  delete a;
  EXPECT_EQ(menu.Items()->Count(), 0);
  EXPECT_EQ(b->Parent(), nullptr);
  EXPECT_EQ(ShortCutToText(ShortCut(VK_F10, {ssShift})), "Shift+F10");
  EXPECT_EQ(ShortCutToText(ShortCut(VK_DELETE, {})), "Del");
}
