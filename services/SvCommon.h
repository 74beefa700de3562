// Small services the process runner and the hardware dialog stand on: the system folder,
// a case-insensitive search, checked system calls, the services' exceptions, multi-string
// blocks and the hidden utility window.
#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "platform/Application.h"
#include "platform/Controls.h"
#include "platform/StringList.h"
#include "platform/SysUtils.h"

// The services' failures; the message is loaded from the program's string table.
class ESvError : public Exception {
 public:
  explicit ESvError(UINT resourceId);
};

// The components' refusals ("... when process is running"); message from the string table.
class ESvException : public Exception {
 public:
  explicit ESvException(UINT resourceId);
};

// The Windows system folder ("C:\windows\system32"), empty when the system gives none.
std::string GetWindowsSystemFolder();

// 1-based position of sub in text, both upper-cased by the locale's rules; 0 when absent.
int PosNoCase(const std::string& sub, const std::string& text);

// Raises the last system error when ok is false.
void CheckOsCall(bool ok);

// A heap block of zero-terminated strings ending with one more zero byte, as environment
// blocks are. A list holding an empty string raises ESvError before anything is allocated.
char* StringsToMultiSz(const TStrings& list);
void FreeMultiSz(char*& block);

// A hidden tool window of the class "TPUtilWindowEx" that carries a component's messages:
// with a method, every message goes to it (its Result is the answer); without one, the
// window answers as DefWindowProc does. Raises EOSError when the window cannot be made.
HWND AllocateUtilityWindow(TWndMethod method);
void DeallocateUtilityWindow(HWND wnd);

// Tells a component that fires an event whether it outlived the handler, which may free the
// component that called it:
//   auto alive = alive_.Watch(); handler(this); if (!*alive) return;
// (the handler itself is copied before the call, since freeing the component frees it too).
class TAliveFlag {
 public:
  TAliveFlag() : alive_(std::make_shared<bool>(true)) {}
  ~TAliveFlag() { *alive_ = false; }
  TAliveFlag(const TAliveFlag&) = delete;
  TAliveFlag& operator=(const TAliveFlag&) = delete;
  std::shared_ptr<const bool> Watch() const { return alive_; }

 private:
  std::shared_ptr<bool> alive_;
};

// Makes every windowed control leave a device context that it was asked to print into
// (WM_PRINTCLIENT) in the state it found it, whatever its painting changes or raises. The
// program installs it at start and removes it at shutdown; installing twice is harmless.
void InstallPrintClientRepair();
void RemovePrintClientRepair();
