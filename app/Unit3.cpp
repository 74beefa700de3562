#include "app/Unit3.h"

#include <algorithm>
#include <string>

#include "app/GameCommandLine.h"
#include "app/RIRered.h"
#include "controls/FcButton.h"
#include "controls/FcEdit.h"
#include "controls/FcRadChk.h"
#include "controls/FcRegister.h"
#include "platform/Layout.h"
#include "platform/StdCtrls.h"
#include "platform/SysUtils.h"
#include "platform/TypInfo.h"
#include "resources/ResourceIds.h"

TForm3* Form3 = nullptr;

void TForm3::Loaded() {
  TForm::Loaded();
  Label1 = LayoutComponent<TLabel>(this, "Label1");
  Label2 = LayoutComponent<TLabel>(this, "Label2");
  TotalFrameEdit = LayoutComponent<TFcNumericEdit>(this, "TotalFrameEdit");
  FcButton1 = LayoutComponent<TFcButton>(this, "FcButton1");
  FcButton2 = LayoutComponent<TFcButton>(this, "FcButton2");
}

TForm* TForm3::MainWindow() const {
  TForm* window = mainWindow_ ? mainWindow_ : Form1;
  if (!window) throw EInvalidOperation(Format(LoadResString(IDS_NO_MAIN_WINDOW).c_str(), Name().c_str()));
  return window;
}

void TForm3::FcButton1Click(TObject*) {
  // The total within the field's range also when OK is pressed with Enter, which leaves the
  // focus (and the field's own range check) in the field.
  const int total = std::clamp(TotalFrameEdit->IntValue(), static_cast<int>(TotalFrameEdit->Min()),
                               static_cast<int>(TotalFrameEdit->Max()));
  TotalFrameEdit->SetValue(total);
  if (total <= 0) {
    LeaveScreenshotMode();
    return;
  }
  TForm* window = MainWindow();
  auto* frameEdit = LayoutComponent<TFcNumericEdit>(window, "FrameEdit");
  auto* rangeLabel = LayoutComponent<TControl>(window, "Label3");
  frameEdit->SetMax(total);
  rangeLabel->SetCaption(FrameRangeText(total));
  frameEdit->SetValue(total);
}

void TForm3::FcButton2Click(TObject*) { LeaveScreenshotMode(); }

// Unchecking the box runs the main window's screenshot-mode switch.
void TForm3::LeaveScreenshotMode() {
  LayoutComponent<TFcCustomCheckBox>(MainWindow(), "EnableScShot")->SetChecked(false);
}

void RegisterDemoFramesDialog() {
  RegisterControlLibrary();
  RegisterClassInfo<TForm3, TForm>("TForm3")
      .Handler("FcButton1Click", &TForm3::FcButton1Click)
      .Handler("FcButton2Click", &TForm3::FcButton2Click);
}
