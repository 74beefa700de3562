// The program's entry: starts the application object, creates the main window from its
// stored layout and runs the message loop until the main window closes.
#include <windows.h>

#include "app/RIRered.h"
#include "controls/FcRegister.h"
#include "platform/Application.h"
#include "services/SvCommon.h"
#include "services/SvRegister.h"
#include "shell/FcShellRegister.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  Application->Initialize();
  Application->SetTitle("Quenmar Benchmark");
  InstallPrintClientRepair();
  RegisterServiceClasses();
  RegisterControlLibrary();
  RegisterShellControls();
  RegisterMainWindow();
  Application->CreateForm(Form1);
  Application->Run();
  RemovePrintClientRepair();
  return 0;
}
