// The handlers of the main window's pages: they keep the controls consistent with each other
// while the user chooses (and while the start restores the settings into them).
#include "app/RIRered.h"

#include <cmath>
#include <utility>

#include "app/GameCommandLine.h"
#include "app/GameConfig.h"
#include "controls/FcButton.h"
#include "controls/FcCmboBx.h"
#include "controls/FcEdit.h"
#include "controls/FcPages.h"
#include "controls/FcRadChk.h"
#include "controls/FcRadGrp.h"
#include "controls/FcSpnEdt.h"
#include "controls/FcStatus.h"
#include "platform/StdCtrls.h"

namespace {

// Items of the boxes the handlers set.
constexpr int kOneRunItem = 0;          // `RunNumberBox` "1"
constexpr int kTwoRunsItem = 1;         // "2": the screenshot is taken at the second run
constexpr int kNoAntialiasingItem = 0;  // `AABox` "None"

}  // namespace

int TForm1::CheckedItem(const TFcCustomRadioGroup* group) {
  for (int i = 0; i < group->ItemCount(); ++i)
    if (group->ItemButton(i)->Checked()) return i;
  return -1;
}

// ---- Demos -----------------------------------------------------------------------------------

void TForm1::demoChanging(TObject*, int, bool&) {
  const int item = CheckedItem(demo);
  if (item < 0) return;
  const bool user = item == kUserDemoItem;
  FcToolButton3->SetEnabled(user);
  mapnamebox->SetEnabled(user);
  demonamebox->SetEnabled(user);
  FcButton1->SetVisible(user);
  if (user) {
    Label3->SetCaption("(No frame range.)");
  } else {
    SetFrameRange(StockDemoFrames(item));
    // The field does not bring its number down with its maximum; a frame past the demo's end
    // would reach the game, which then takes no screenshot.
    if (FrameEdit->Value() > FrameEdit->Max()) FrameEdit->SetValue(FrameEdit->Max());
  }
}

void TForm1::SetFrameRange(int frames) {
  FrameEdit->SetMax(frames);
  Label3->SetCaption(FrameRangeText(frames));
}

void TForm1::FcButton1Click(TObject*) {
  if (CheckedItem(demo) == kUserDemoItem) ShowDemoFramesDialog();
}

// ---- Detail level ----------------------------------------------------------------------------

void TForm1::DetailBoxChanging(TObject*, int, bool&) {
  const int item = CheckedItem(DetailBox);
  if (item < 0) return;
  const bool custom = item == kCustomDetailItem;
  DetailEdit->SetEnabled(custom);
  DetailButton->SetEnabled(custom);
  // Ultra and Maximum details leave the shader model to the game.
  const bool models = item == kMinimumDetailItem || custom;
  PShader->SetButtonEnabled(kShaderModel2Item, models);
  PShader->SetButtonEnabled(kShaderModel3Item, models);
  if (!models) PShader->SetItemIndex(kDefaultShaderItem);
}

void TForm1::DetailButtonClick(TObject*) {
  std::string fileName;
  if (ChooseFile("Quenmar config file (system.cfg)|system.cfg", DetailEdit->Text(), fileName))
    CustomConfigChosen(fileName);
}

void TForm1::CustomConfigChosen(const std::string& fileName) {
  const std::string problem = CustomConfigProblem(fileName);
  if (!problem.empty()) {
    ShowMessageBox(problem);
    return;
  }
  DetailEdit->SetText(fileName);
  settings_->WriteValue("CustomConfig", fileName);
}

// ---- General ---------------------------------------------------------------------------------

void TForm1::ShowDecimalLabel() {
  Label8->SetCaption(DecBox->Text() == "," ? "(comma)" : "(period)");
}

void TForm1::DecBoxChange(TObject*) { ShowDecimalLabel(); }

void TForm1::DecBoxExit(TObject*) {
  const std::string kept = KeptDecimalSeparator(DecBox->Text(), settings_->ReadValue("Decimal"));
  if (kept == DecBox->Text()) return;
  DecBox->SetText(kept);
  ShowDecimalLabel();
}

void TForm1::waitsChange(TObject*) {
  Label10->SetCaption(std::lround(waits->Value()) == 1 ? "second." : "seconds.");
}

void TForm1::FcToolButton2Click(TObject*) {
  std::string path;
  if (ChooseFolder(path)) FolderChosen(ResEdit, path);
}

void TForm1::FcToolButton9Click(TObject*) {
  std::string path;
  if (ChooseFolder(path)) FolderChosen(ScrsaveFold, path);
}

void TForm1::FolderChosen(TFcEdit* edit, const std::string& path) {
  edit->SetText(ChosenFolderText(path, edit->Text()));
}

// Without a game these would be folders relative to the current one.
void TForm1::FcToolButton8Click(TObject*) {
  if (GameFolders().Known()) ResEdit->SetText(game_.GameRoot + "Benchmark\\");
}

void TForm1::FcToolButton10Click(TObject*) {
  if (GameFolders().Known()) ScrsaveFold->SetText(game_.GameRoot + "Screenshot\\");
}

// ---- Additional information and screenshot mode ----------------------------------------------

void TForm1::AddInfoBoxClick(TObject*) {
  if (!AddInfoBox->Checked() || !settings_->ReadDescription().OS.empty()) return;
  AddInfoBox->SetChecked(false);
  ShowMessageBox(kAddInfoNeededMessage);
}

void TForm1::FcToolButton7Click(TObject*) { ShowHardwareDialog(); }

void TForm1::EnableScShotClick(TObject*) {
  const bool on = EnableScShot->Checked();
  FrameEdit->SetEnabled(on);
  AddInfo->SetEnabled(on);
  AddInfoBox->SetEnabled(!on);
  if (on) {
    RunNumberBox->SetItemIndex(sectime->Checked() ? kTwoRunsItem : kOneRunItem);
  } else {
    // The run count the settings hold; without a usable one the box keeps its own.
    const int stored = ItemOfCode(csTRun, settings_->ReadValue("TRun"));
    if (stored >= 0) RunNumberBox->SetItemIndex(stored);
  }
  RunNumberBox->SetEnabled(!on);
  FcToolButton7->SetEnabled(!on);
  TabSheet6->SetTabEnabled(!on);
  ScrsaveFold->SetEnabled(on);
  FcToolButton9->SetEnabled(on);
  FcToolButton10->SetEnabled(on);
  FcButton1->SetEnabled(on);
  BenchButton->SetCaption(on ? "Screenshot" : "Benchmark");
  FcStatusPane1->SetCaption(on ? kScreenshotStatus : "");
  if (on && CheckedItem(demo) == kUserDemoItem) ShowDemoFramesDialog();
}

void TForm1::FrameEditRangeError(TObject*, double, double, bool&) { frameOutOfRange_ = true; }

void TForm1::FrameEditExit(TObject*) {
  // The field's own check has already brought the number within its range; what was outside
  // it (0 or nothing included) becomes the demo's last frame.
  const bool outside = std::exchange(frameOutOfRange_, false);
  const long value = std::lround(FrameEdit->Value());
  const long max = std::lround(FrameEdit->Max());
  if (outside || value > max || value < std::lround(FrameEdit->Min()))
    FrameEdit->SetText(std::to_string(max));
}

// ---- Specific --------------------------------------------------------------------------------

void TForm1::hdrboxClick(TObject*) {
  const bool on = hdrbox->Checked();
  HDRLevelBox->SetEnabled(on);
  AABox->SetEnabled(!on);
  if (on) AABox->SetItemIndex(kNoAntialiasingItem);
  sectime->SetEnabled(on);
}

void TForm1::sectimeClick(TObject*) {
  RunNumberBox->SetItemIndex(sectime->Checked() ? kTwoRunsItem : kOneRunItem);
}

// ---- Help and links --------------------------------------------------------------------------

void TForm1::FcToolButton6Click(TObject*) {
  OpenDocument(Handle(), ProgramFolder + kHelpDocument, SW_SHOW);
}

void TForm1::FcToolButton1Click(TObject*) { OpenDocument(Handle(), kMailLink, SW_SHOW); }

void TForm1::FcToolButton5Click(TObject*) { OpenDocument(Handle(), kHomepageLink, SW_SHOWNORMAL); }

void TForm1::Image3Click(TObject*) { OpenDocument(Handle(), kSponsorLink, SW_SHOWNORMAL); }
