// What the parts of the shell list unit share with each other and nobody else.
#pragma once

#include <windows.h>

#include <exception>

namespace FcShellListPrivate {

// The shell's browser window answers this with its IShellBrowser; the list has none.
constexpr UINT CWM_GETISHELLBROWSER = WM_USER + 7;
// Posted when an edit ends while a refresh waits for it: the refresh runs once the edit box
// is gone.
constexpr UINT CM_REFRESHPENDING = 0x468;

// Critical-error boxes (a drive without a medium...) stay away while the shell is asked.
class TNoCriticalErrorBoxes {
 public:
  TNoCriticalErrorBoxes();
  ~TNoCriticalErrorBoxes();
  TNoCriticalErrorBoxes(const TNoCriticalErrorBoxes&) = delete;
  TNoCriticalErrorBoxes& operator=(const TNoCriticalErrorBoxes&) = delete;

 private:
  UINT saved_;
};

// Runs `body`, then `finally` whatever became of it: the body's exception goes on after
// `finally` has run; without one, `finally`'s own exception does.
template <class Body, class Finally>
void RunThen(Body&& body, Finally&& finally) {
  std::exception_ptr failure;
  try {
    body();
  } catch (...) {
    failure = std::current_exception();
  }
  if (failure) {
    try {
      finally();
    } catch (...) {
    }
    std::rethrow_exception(failure);
  }
  finally();
}

}  // namespace FcShellListPrivate
