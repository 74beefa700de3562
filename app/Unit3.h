// The demo-frames dialog: asks for the number of frames of the user's own demo, so that the
// main window's screenshot mode can offer a frame range for it.
#pragma once

#include "platform/Forms.h"

class TFcButton;
class TFcNumericEdit;
class TLabel;

// Made once at the program's start; the main window shows it modally when screenshot mode is
// switched on, or "New range" is pressed, while the user-defined demo is selected. Its buttons
// set the main window's screenshot-mode box `EnableScShot`, frame field `FrameEdit` and
// frame-range label `Label3`, found there by those names; the window's own close button
// changes nothing.
class TForm3 : public TForm {
 public:
  using TForm::TForm;

  // The layout's components.
  TLabel* Label1 = nullptr;  // the request
  TLabel* Label2 = nullptr;  // "Total frames:"
  TFcNumericEdit* TotalFrameEdit = nullptr;
  TFcButton* FcButton1 = nullptr;  // "OK"
  TFcButton* FcButton2 = nullptr;  // "Cancel"

  // "OK": a total above 0 becomes the frame field's maximum and value and the range label's
  // "(1 - total frames)"; a total of 0 (or none) leaves screenshot mode, like "Cancel".
  void FcButton1Click(TObject* Sender);
  // "Cancel": leaves screenshot mode.
  void FcButton2Click(TObject* Sender);

  // The window the buttons act on: Form1 unless another has been set.
  TForm* MainWindow() const;
  void SetMainWindow(TForm* window) { mainWindow_ = window; }

  void Loaded() override;

 private:
  void LeaveScreenshotMode();

  TForm* mainWindow_ = nullptr;
};

extern TForm3* Form3;

// Puts the dialog's class and handlers, and the classes its layout names, into the class
// registry.
void RegisterDemoFramesDialog();
