// The hardware-information dialog: runs the DirectX diagnostic tool, shows the lines of the
// machine's description it found, and keeps them in the settings for the report's header.
#pragma once

#include <windows.h>

#include "app/BenchEngine.h"
#include "platform/Forms.h"

class TFcButton;
class TFcMemo;
class TFcPageControl;
class TFcSeparator;
class TFcStatusBar;
class TFcStatusPane;
class TFcTabSheet;
class TSvCreateProcess;

// The memo's line while no description is stored.
extern const char* const kNoStoredInformation;  // "Currently there are no stored information."
// The status pane's texts: shown, collecting, collected.
extern const char* const kGetInfoHint;
extern const char* const kCollectingHardwareInformation;
extern const char* const kHardwareInformationCollected;

// Made once at the program's start, after the main window (it reads the stored description
// through ProgramSettings), and only hidden when closed, so that the memo and the description
// live on between showings. The main window shows it modally.
class TForm2 : public TForm {
  MESSAGE_TABLE(TForm)

 public:
  using TForm::TForm;

  // The layout's components.
  TFcPageControl* FcPageControl1 = nullptr;
  TFcTabSheet* TabSheet1 = nullptr;  // "Information"
  TFcSeparator* FcSeparator1 = nullptr;
  TFcMemo* infomemo = nullptr;
  TFcButton* FcButton1 = nullptr;  // "Get info"
  TFcButton* FcButton3 = nullptr;  // "Save && Close"
  TFcStatusBar* FcStatusBar1 = nullptr;
  TFcStatusPane* FcStatusPane1 = nullptr;
  TSvCreateProcess* dxrun = nullptr;

  void FormCreate(TObject* Sender);
  void FormShow(TObject* Sender);
  // Removes a report the tool left behind.
  void FormClose(TObject* Sender, TCloseAction& Action);
  // "Get info": starts the tool hidden and is disabled until its end arrives as
  // dxrunTerminate. A tool that cannot be started raises the process runner's error and leaves
  // the button enabled.
  void FcButton1Click(TObject* Sender);
  // The tool has ended (its exit code says nothing): "Get info" is enabled again, and the
  // report is read, shown and deleted, also while the dialog is closed. The labels the report
  // lacks leave their lines empty; a report the tool did not write raises the file-open error.
  void dxrunTerminate(TObject* Sender, DWORD ExitCode);
  // "Save && Close": keeps what the memo shows (the stored description, or the one collected
  // since), or clears the stored one when the memo shows none; then closes.
  void FcButton3Click(TObject* Sender);

  // The six lines as stored at the start, or as the last collection found them.
  const THardwareDescription& Description() const { return description_; }

  void Loaded() override;

 private:
  // Escape closes the dialog as its close box does.
  void CMChildKey(TWMKey& m);

  THardwareDescription description_;
  // The memo shows a description (rather than the "no stored information" line, or nothing
  // after a collection that found no line).
  bool memoShowsDescription_ = false;
};

extern TForm2* Form2;

// Puts the dialog's class and handlers, and the classes its layout names, into the class
// registry.
void RegisterHardwareDialog();
