// The donation window: a borderless notice, shown at the program's start while the stored
// donation mark asks for it, that asks for support of the benchmark.
#pragma once

#include "platform/Forms.h"

class TFcToolButton;
class TLabel;
class TMemo;

// Made once at the program's start; the main window shows it modally before its first paint
// while "Donate" is "0".
class TForm4 : public TForm {
 public:
  using TForm::TForm;

  // The layout's components.
  TLabel* Label1 = nullptr;  // "Donate us"
  TMemo* Memo1 = nullptr;    // the request
  TFcToolButton* FcToolButton3 = nullptr;  // "Close"

  // "Close": "Donate" becomes "1", so the window is not shown again; then it closes.
  void FcToolButton3Click(TObject* Sender);

  void Loaded() override;
};

extern TForm4* Form4;

// Puts the window's class and handler, and the classes its layout names, into the class
// registry.
void RegisterDonationWindow();
