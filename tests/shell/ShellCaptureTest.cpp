// A click in a shell tree or list lets the mouse go again: the next click, on a button beside
// the control, is that button's.
#include <functional>
#include <memory>

#include "ControlTestSupport.h"
#include "ShellTestSupport.h"
#include "controls/FcButton.h"
#include "platform/ComCtrls.h"
#include "shell/FcShellList.h"
#include "shell/FcShellRegister.h"
#include "shell/FcShellTree.h"

namespace {

// A shown form with the scratch folder's items in a shell control on the left and a button on
// the right; the process's current folder is the same afterwards.
class ShellCapture : public ShellScratch {
 protected:
  void SetUp() override {
    ShellScratch::SetUp();
    RegisterShellControls();
    for (const char* name : {"Alpha", "beta"}) MakeFolder(name);
    MakeFile("a.cfg");
    char dir[MAX_PATH] = {};
    GetCurrentDirectoryA(MAX_PATH, dir);
    savedDir_ = dir;
    form_.reset(TForm::CreateNew<TForm>(nullptr));
    form_->SetBounds(60, 60, 520, 360);
    button_ = Put<TFcButton>(form_.get(), 400, 20, 90, 25);
    button_->SetCaption("Create");
    button_->OnClick = [this](TObject*) { ++clicks_; };
    form_->Show();
    SetForegroundWindow(form_->Handle());
    Pump();
  }
  void TearDown() override {
    // The shell controls watch the folder: they go first.
    form_.reset();
    SetCurrentDirectoryA(savedDir_.c_str());
    ShellScratch::TearDown();
  }

  std::unique_ptr<TForm> form_;
  TFcButton* button_ = nullptr;
  int clicks_ = 0;
  std::string savedDir_;
};

// The middle of a rectangle of `control`'s client area, on the screen.
POINT MiddleOnScreen(TControl* control, const RECT& r) {
  return control->ClientToScreen(POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2});
}

struct TCaptureCase {
  const char* name;
  // Makes the control on the form and answers the screen point of one of its items.
  std::function<POINT(TForm* form, const std::string& dir)> place;
};

void PrintTo(const TCaptureCase& c, std::ostream* os) { *os << c.name; }

const TCaptureCase kCaptureCases[] = {
    {"shell tree",
     [](TForm* form, const std::string& dir) {
       auto* tree = Put<TFcShellTree>(form, 10, 10, 360, 300);
       EXPECT_TRUE(LoopUntil([&] { return tree->Items()->GetFirstNode() != nullptr; }, 5000));
       tree->SelectedFolder()->SetPathName(dir + "Alpha");
       // A node beside the selected one: a click on the selected node would start editing
       // its name.
       TTreeNode* node = tree->Selected() ? tree->Selected()->GetNextSibling() : nullptr;
       EXPECT_NE(node, nullptr);
       if (!node) return POINT{};
       tree->SetTopItem(tree->Selected()->Parent());
       return MiddleOnScreen(tree, node->DisplayRect(true));
     }},
    {"shell list",
     [](TForm* form, const std::string& dir) {
       auto* list = Put<TFcShellList>(form, 10, 10, 360, 300);
       list->SetViewStyle(vsReport);
       list->HandleNeeded();
       list->Folder()->SetPathName(dir);
       Pump();
       EXPECT_GT(list->Items()->Count(), 0);
       if (list->Items()->Count() == 0) return POINT{};
       return MiddleOnScreen(list, list->Items()->Item(0)->DisplayRect(drLabel));
     }},
};

class ShellCaptureCases : public ShellCapture, public testing::WithParamInterface<TCaptureCase> {};

}  // namespace

TEST_P(ShellCaptureCases, TheClickAfterAClickInTheControlReachesTheButton) {
  const POINT item = GetParam().place(form_.get(), Dir());
  RealClick(item);
  EXPECT_EQ(GetCapture(), nullptr);
  RealClick(button_, button_->Width() / 2, button_->Height() / 2);
  EXPECT_EQ(clicks_, 1);
}

INSTANTIATE_TEST_SUITE_P(Controls, ShellCaptureCases, testing::ValuesIn(kCaptureCases));
