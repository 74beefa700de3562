// Quenmar_WinSV.exe: the game's dedicated-server program. The front end only reads the
// version resource that this file carries; run, it has nothing to serve and ends at once.

#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) { return 0; }
