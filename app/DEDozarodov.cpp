// The program's entry: starts the application object, creates the main window and runs the
// message loop until the main window closes.
#include <windows.h>

#include "platform/Application.h"
#include "services/SvRegister.h"

namespace {

LRESULT CALLBACK MainWndProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_DESTROY) {
    Application->Terminate();
    return 0;
  }
  return DefWindowProcA(wnd, msg, wp, lp);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int show) {
  Application->Initialize();
  Application->SetTitle("Quenmar Benchmark");
  RegisterServiceClasses();

  WNDCLASSA wc{};
  wc.lpfnWndProc = MainWndProc;
  wc.hInstance = instance;
  wc.hIcon = LoadIconA(instance, MAKEINTRESOURCEA(1));
  wc.hCursor = LoadCursorA(nullptr, MAKEINTRESOURCEA(32512));
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  wc.lpszClassName = "TForm1";
  RegisterClassA(&wc);
  HWND wnd = CreateWindowExA(0, wc.lpszClassName, "Quenmar benchmark v1.4.1",
                             WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX,
                             CW_USEDEFAULT, CW_USEDEFAULT, 640, 480, nullptr, nullptr, instance,
                             nullptr);
  ShowWindow(wnd, show);
  Application->Run();
  return 0;
}
