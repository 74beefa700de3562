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

  // "Close": the window closes.
  void FcToolButton3Click(TObject* Sender);
  // However the window is closed ("Close", Alt+F4), "Donate" becomes "1": the user has seen
  // the request, and the window is not shown again.
  void FormClose(TObject* Sender, TCloseAction& Action);

  void Loaded() override;
};

extern TForm4* Form4;

// Puts the window's class and handler, and the classes its layout names, into the class
// registry.
void RegisterDonationWindow();
