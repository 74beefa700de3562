#include "app/Unit3.h"

#include <algorithm>

#include "controls/FcButton.h"
#include "controls/FcEdit.h"
#include "controls/FcRegister.h"
#include "platform/Layout.h"
#include "platform/StdCtrls.h"
#include "platform/TypInfo.h"

TForm3* Form3 = nullptr;

void TForm3::Loaded() {
  TForm::Loaded();
  Label1 = LayoutComponent<TLabel>(this, "Label1");
  Label2 = LayoutComponent<TLabel>(this, "Label2");
  TotalFrameEdit = LayoutComponent<TFcNumericEdit>(this, "TotalFrameEdit");
  FcButton1 = LayoutComponent<TFcButton>(this, "FcButton1");
  FcButton2 = LayoutComponent<TFcButton>(this, "FcButton2");
}

void TForm3::DoShow() {
  answer_ = faNone;
  total_ = 0;
  TForm::DoShow();
}

void TForm3::FcButton1Click(TObject*) {
  // The total within the field's range also when OK is pressed with Enter, which leaves the
  // focus (and the field's own range check) in the field.
  const int total = std::clamp(TotalFrameEdit->IntValue(), static_cast<int>(TotalFrameEdit->Min()),
                               static_cast<int>(TotalFrameEdit->Max()));
  TotalFrameEdit->SetValue(total);
  if (total <= 0) {
    answer_ = faLeaveScreenshotMode;
    return;
  }
  answer_ = faFrameRange;
  total_ = total;
}

void TForm3::FcButton2Click(TObject*) { answer_ = faLeaveScreenshotMode; }

void RegisterDemoFramesDialog() {
  RegisterControlLibrary();
  RegisterClassInfo<TForm3, TForm>("TForm3")
      .Handler("FcButton1Click", &TForm3::FcButton1Click)
      .Handler("FcButton2Click", &TForm3::FcButton2Click);
}
