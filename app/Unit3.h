// The demo-frames dialog: asks for the number of frames of the user's own demo, so that the
// main window's screenshot mode can offer a frame range for it.
#pragma once

#include "platform/Forms.h"

class TFcButton;
class TFcNumericEdit;
class TLabel;

// What the dialog's last showing asks of the main window.
enum TDemoFramesAnswer {
  faNone,                 // closed with its own close button: nothing changes
  faFrameRange,           // "OK" with a total above 0: the frame range becomes 1 to Total()
  faLeaveScreenshotMode,  // "Cancel", or "OK" with a total of 0 (or none)
};

// Made once at the program's start; the main window shows it modally when screenshot mode is
// switched on, or "New range" is pressed, while the user-defined demo is selected, and then
// does what Answer() asks.
class TForm3 : public TForm {
 public:
  using TForm::TForm;

  // The layout's components.
  TLabel* Label1 = nullptr;  // the request
  TLabel* Label2 = nullptr;  // "Total frames:"
  TFcNumericEdit* TotalFrameEdit = nullptr;
  TFcButton* FcButton1 = nullptr;  // "OK"
  TFcButton* FcButton2 = nullptr;  // "Cancel"

  // "OK": a total above 0 is the answer; a total of 0 (or none) asks to leave screenshot
  // mode, like "Cancel".
  void FcButton1Click(TObject* Sender);
  // "Cancel": asks to leave screenshot mode.
  void FcButton2Click(TObject* Sender);

  TDemoFramesAnswer Answer() const { return answer_; }
  // The total of frames "OK" took (faFrameRange).
  int Total() const { return total_; }

  void Loaded() override;

 protected:
  // Each showing starts without an answer.
  void DoShow() override;

 private:
  TDemoFramesAnswer answer_ = faNone;
  int total_ = 0;
};

extern TForm3* Form3;

// Puts the dialog's class and handlers, and the classes its layout names, into the class
// registry.
void RegisterDemoFramesDialog();
