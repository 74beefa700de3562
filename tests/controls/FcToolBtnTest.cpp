// The tool button: where a press drops the menu and where the menu goes, its size rules, its
// action, and a menu whose choice frees the form (its toggle groups are tested with the push
// button's in FcButtonTest.cpp).
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "ButtonTestSupport.h"
#include "TestSupport.h"
#include "controls/FcButton.h"
#include "platform/Actions.h"
#include "platform/ImgList.h"
#include "platform/Layout.h"
#include "platform/Menus.h"

namespace {

TRecordingMenu* MenuWith(TComponent* owner, const std::vector<std::string>& captions) {
  auto* menu = new TRecordingMenu(owner);
  for (const std::string& caption : captions) {
    auto* item = new TMenuItem(menu);
    item->SetCaption(caption);
    menu->Items()->Add(item);
  }
  return menu;
}

TFcToolButton* DropDownButton(TWinControl* parent, TPopupMenu* menu) {
  auto* t = Put<TFcToolButton>(parent, 20, 20, 25, 25);
  t->SetToolStyle(tsDropDown);
  t->SetDropDownMenu(menu);
  return t;
}

}  // namespace

TEST(FcToolButton, TheArrowStripDropsTheMenuBelowTheButtonAndTheRestClicks) {
  auto form = ShownForm();
  auto* menu = MenuWith(form.get(), {"First", "Second"});
  auto* t = DropDownButton(form.get(), menu);
  int clicks = 0;
  t->OnClick = [&](TObject*) { ++clicks; };
  TObject* dropped = nullptr;
  t->OnDropDown = [&](TObject* sender) { dropped = sender; };
  Pump();

  MouseClick(t, 3, 10);
  EXPECT_EQ(clicks, 1);
  EXPECT_TRUE(menu->shown.empty());

  MouseClick(t, t->Width() - 5, 10);
  ASSERT_EQ(menu->shown.size(), 1u);
  POINT corner = t->ClientToScreen(POINT{0, t->Height()});
  EXPECT_EQ(menu->shown[0].x, corner.x);
  EXPECT_EQ(menu->shown[0].y, corner.y);
  EXPECT_EQ(dropped, menu);
  EXPECT_EQ(menu->PopupComponent(), t);
  EXPECT_EQ(clicks, 1);

  // A press right after the menu closed is the one that closed it: no second drop.
  MouseClick(t, t->Width() - 5, 10);
  EXPECT_EQ(menu->shown.size(), 1u);
  Sleep(150);
  MouseClick(t, t->Width() - 5, 10);
  EXPECT_EQ(menu->shown.size(), 2u);
  EXPECT_EQ(clicks, 1);
}

TEST(FcToolButton, WithoutAClickHandlerTheWholeButtonDropsTheMenu) {
  auto form = ShownForm();
  auto* menu = MenuWith(form.get(), {"Only"});
  auto* t = DropDownButton(form.get(), menu);
  Pump();
  MouseClick(t, 3, 10);
  EXPECT_EQ(menu->shown.size(), 1u);
  // An empty menu does not drop.
  auto* empty = MenuWith(form.get(), {});
  t->SetDropDownMenu(empty);
  Sleep(150);
  MouseClick(t, 3, 10);
  EXPECT_TRUE(empty->shown.empty());
}

TEST(FcToolButton, AMenuThatWouldPassTheWorkAreasRightEdgeEndsAtTheButtonsRightEdge) {
  auto form = ShownForm(120, 80);
  const std::string caption = "A rather long caption for a menu item";
  auto* menu = MenuWith(form.get(), {"Short", caption});
  auto* t = DropDownButton(form.get(), menu);
  RECT work = Screen->MonitorFromPoint(POINT{0, 0})->WorkareaRect();
  form->SetBounds(work.right - 150, 100, form->Width(), form->Height());
  Pump();

  // The menu's width as the system will show it: the widest caption in the menu font, plus
  // room for checks and arrows.
  NONCLIENTMETRICSA metrics{};
  metrics.cbSize = sizeof(metrics);
  SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0);
  TGdiObject<HFONT> font(CreateFontIndirectA(&metrics.lfMenuFont));
  RECT r{0, 0, 0, 0};
  {
    TWindowDC screen(nullptr);
    TSelectObject select(screen, font);
    DrawTextA(screen, caption.c_str(), -1, &r, DT_CALCRECT | DT_SINGLELINE);
  }
  int menuWidth = r.right + 56;
  POINT corner = t->ClientToScreen(POINT{0, t->Height()});
  ASSERT_GT(corner.x + menuWidth, work.right);

  MouseClick(t, t->Width() - 5, 10);
  ASSERT_EQ(menu->shown.size(), 1u);
  EXPECT_EQ(menu->shown[0].x, corner.x + t->Width() - menuWidth);
  EXPECT_EQ(menu->shown[0].y, corner.y);
}

namespace {

// A button whose memory is overwritten as it is freed, so that any later use of it fails.
class TPoisonedToolButton : public TFcToolButton {
 public:
  using TFcToolButton::TFcToolButton;
  static void operator delete(void* p, std::size_t size) {
    std::memset(p, 0xDD, size);
    ::operator delete(p);
  }
};

}  // namespace

TEST(FcToolButton, AMenuChoiceThatFreesTheFormLeavesTheButtonAlone) {
  RegisterControlLibrary();
  TForm* form = TForm::CreateNew<TForm>(nullptr);
  form->SetBounds(40, 40, 200, 120);
  form->Show();
  Pump();
  std::unique_ptr<TRecordingMenu> menu(MenuWith(nullptr, {"Close the window"}));
  auto* t = new TPoisonedToolButton(form);
  t->SetParent(form);
  t->SetToolStyle(tsDropDown);
  t->SetDropDownMenu(menu.get());
  int forms = Screen->FormCount();
  menu->whileShown = [&] { delete form; };
  Pump();

  MouseStep(t, WM_LBUTTONDOWN, t->Width() - 5, 10);
  EXPECT_EQ(menu->shown.size(), 1u);
  EXPECT_EQ(Screen->FormCount(), forms - 1);
  EXPECT_EQ(menu->PopupComponent(), nullptr);
  Pump();
}

TEST(FcToolButton, TheDropDownStyleWidensTheButtonAndLeavesItsGroup) {
  RegisterControlLibrary();
  TFcToolButton t(nullptr);
  EXPECT_EQ(t.Width(), 25);
  t.SetGroupIndex(3);
  t.SetToolStyle(tsDropDown);
  EXPECT_EQ(t.Width(), 39);
  EXPECT_EQ(t.GroupIndex(), 0);
  t.SetGroupIndex(2);
  EXPECT_EQ(t.GroupIndex(), 0);
  t.SetToolStyle(tsButton);
  EXPECT_EQ(t.Width(), 25);

  // A layout's size is its own.
  std::unique_ptr<TForm> form(TForm::CreateNew<TForm>(nullptr));
  ReadLayout(form.get(), R"({ "class": "TForm", "name": "ToolForm", "children": [
    { "class": "TFcToolButton", "name": "Tool",
      "properties": { "Left": 0, "Top": 0, "Width": 30, "Height": 22, "ToolStyle": "tsDropDown" } } ] })");
  auto* tool = dynamic_cast<TFcToolButton*>(form->FindComponent("Tool"));
  ASSERT_NE(tool, nullptr);
  EXPECT_EQ(tool->Width(), 30);
  EXPECT_TRUE(tool->UseToolbarButtonSize());
  EXPECT_EQ(tool->ToolStyle(), tsDropDown);
}

TEST(FcToolButton, AnImageListGrowsTheButtonToItsImages) {
  RegisterControlLibrary();
  TFcToolButton t(nullptr);
  TImageList small(nullptr, 16, 16), large(nullptr, 32, 32);
  t.SetImages(&small);
  EXPECT_EQ(t.Width(), 25);
  EXPECT_EQ(t.Height(), 25);
  EXPECT_TRUE(t.UseToolbarButtonSize());
  t.SetImages(&large);
  EXPECT_EQ(t.Width(), 32);
  EXPECT_EQ(t.Height(), 32);
  EXPECT_TRUE(t.UseToolbarButtonSize());
  t.SetWidth(40);
  EXPECT_FALSE(t.UseToolbarButtonSize());
}

TEST(FcToolButton, DownFollowsItsActionsCheckedWhileLinked) {
  auto form = ShownForm();
  TAction action(nullptr);
  action.SetImageIndex(3);
  auto* t = Put<TFcToolButton>(form.get(), 10, 10, 25, 25);
  t->SetGroupIndex(1);
  t->SetAllowAllUp(true);
  t->SetAction(&action);
  EXPECT_EQ(t->ImageIndex(), 3);
  action.SetChecked(true);
  EXPECT_TRUE(t->Down());
  EXPECT_FALSE(t->IsDownStored());
  action.SetChecked(false);
  EXPECT_FALSE(t->Down());
  // A button given a value of its own no longer follows.
  t->SetImageIndex(5);
  action.SetImageIndex(4);
  EXPECT_EQ(t->ImageIndex(), 5);
}
