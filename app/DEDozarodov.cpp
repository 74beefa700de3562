// The program's entry: starts the application object, makes the program's windows from their
// stored layouts and runs the message loop until the main window closes.
#include <windows.h>

#include "app/RIRered.h"
#include "platform/Application.h"
#include "platform/StartupTrace.h"
#include "services/SvCommon.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  TraceStartup("libraries and units started");
  Application->Initialize();
  Application->SetTitle("Quenmar Benchmark");
  InstallPrintClientRepair();
  RegisterProgramClasses();
  TraceStartup("classes registered");
  int result = 0;
  try {
    CreateProgramWindows();
    Application->Run();
  } catch (...) {
    // A window that cannot be built whole (a damaged layout) is never shown half-built.
    Application->HandleException(Application);
    result = 1;
  }
  RemovePrintClientRepair();
  return result;
}
