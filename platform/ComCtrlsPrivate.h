// What the tree view and the list view units share with each other and nobody else.
#pragma once

#include <windows.h>

#include <exception>
#include <string>

#include "platform/ComCtrls.h"

namespace ComCtrlsPrivate {

// Registers the system's tree view and list view classes (once).
void InitViewClasses();

// Moves `link` (and the view's free notification) from the list `field` holds to `value`,
// which `field` then holds.
void SwapImageList(TComponent* view, TCustomImageList*& field, TChangeLink& link, TCustomImageList* value);

// What an event with a closing `bool& allow` answers: true when unassigned.
template <class Event, class... Args>
bool Allowed(TObject* sender, const Event& event, Args... args) {
  bool allow = true;
  if (event) event(sender, args..., allow);
  return allow;
}

// The text an edit ended with, as the OnEdited handler leaves it.
template <class Event, class Target>
std::string EditedText(TObject* sender, const Event& event, Target* target, const std::string& text) {
  std::string s = text;
  if (event) event(sender, target, s);
  return s;
}

// The exception a comparison raised inside the system's sort, kept until the sort returns:
// nothing may unwind through the system's frames.
struct TSortGuard {
  std::exception_ptr error;
  // Runs the comparison; after a failure every further pair compares equal.
  template <class F>
  int Compare(F&& compare) noexcept {
    if (error) return 0;
    try {
      return compare();
    } catch (...) {
      error = std::current_exception();
      return 0;
    }
  }
  void Rethrow() {
    if (error) std::rethrow_exception(error);
  }
};

}  // namespace ComCtrlsPrivate
