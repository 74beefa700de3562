#include "services/SvCommon.h"

#include <cstdlib>
#include <cstring>

#include "platform/Guards.h"
#include "resources/ResourceIds.h"

ESvError::ESvError(UINT resourceId) : Exception(LoadResString(resourceId)) {}
ESvException::ESvException(UINT resourceId) : Exception(LoadResString(resourceId)) {}

std::string GetWindowsSystemFolder() {
  UINT size = GetSystemDirectoryA(nullptr, 0);
  if (size == 0) return std::string();
  std::string folder(size, '\0');
  GetSystemDirectoryA(folder.data(), size);
  folder.resize(std::strlen(folder.c_str()));
  return folder;
}

int PosNoCase(const std::string& sub, const std::string& text) {
  return Pos(AnsiUpperCase(sub), AnsiUpperCase(text));
}

void CheckOsCall(bool ok) {
  if (!ok) RaiseLastOSError();
}

char* StringsToMultiSz(const TStrings& list) {
  size_t size = 1;
  for (int i = 0; i < list.Count(); ++i) {
    std::string s = list.Strings(i);
    if (s.empty()) throw ESvError(IDS_SV_MULTISZ_EMPTY);
    size += s.size() + 1;
  }
  char* block = static_cast<char*>(std::malloc(size));
  if (!block) throw EOutOfMemory("Out of memory");
  char* p = block;
  for (int i = 0; i < list.Count(); ++i) {
    std::string s = list.Strings(i);
    std::memcpy(p, s.c_str(), s.size() + 1);
    p += s.size() + 1;
  }
  *p = '\0';
  return block;
}

void FreeMultiSz(char*& block) {
  std::free(block);
  block = nullptr;
}

namespace {

const char kUtilityClass[] = "TPUtilWindowEx";

void RegisterUtilityClass() {
  HINSTANCE instance = GetModuleHandleA(nullptr);
  WNDCLASSA existing{};
  bool registered = GetClassInfoA(instance, kUtilityClass, &existing) != 0;
  if (registered && existing.lpfnWndProc == DefWindowProcA) return;
  if (registered) UnregisterClassA(kUtilityClass, instance);
  WNDCLASSA wc{};
  wc.lpfnWndProc = DefWindowProcA;
  wc.hInstance = instance;
  wc.lpszClassName = kUtilityClass;
  RegisterClassA(&wc);
}

}  // namespace

HWND AllocateUtilityWindow(TWndMethod method) {
  RegisterUtilityClass();
  HWND wnd = CreateWindowExA(WS_EX_TOOLWINDOW, kUtilityClass, "", WS_POPUP, 0, 0, 0, 0, nullptr,
                             nullptr, GetModuleHandleA(nullptr), nullptr);
  CheckOsCall(wnd != nullptr);
  // The platform's dispatch, with the class keeping DefWindowProc for windows without one.
  if (method) SetWndMethod(wnd, std::move(method));
  return wnd;
}

void DeallocateUtilityWindow(HWND wnd) { DeallocateHWnd(wnd); }

namespace {

bool printClientRepaired = false;
TMessageHandler classPrintClient;

// The class's own handling of WM_PRINTCLIENT: its handler, or what its parent class does.
void ClassPrintClient(TControl* control, TMessage& message) {
  if (classPrintClient)
    classPrintClient(control, message);
  else
    control->DispatchFrom(*TWinControl::Messages().Parent(), message);
}

}  // namespace

void InstallPrintClientRepair() {
  if (printClientRepaired) return;
  classPrintClient = TWinControl::Messages().Replace(
      WM_PRINTCLIENT, [](TControl* control, TMessage& message) {
        TSavedDC saved(TWMDC(message).DC);
        ClassPrintClient(control, message);
      });
  printClientRepaired = true;
}

void RemovePrintClientRepair() {
  if (!printClientRepaired) return;
  TWinControl::Messages().Replace(WM_PRINTCLIENT, classPrintClient);
  classPrintClient = nullptr;
  printClientRepaired = false;
}
