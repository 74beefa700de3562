// A test's record of what happened, in order: the events its handlers note by name, cleared
// between the steps of a test and compared whole with the list the test expects.
#pragma once

#include <algorithm>
#include <cstddef>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

// Events as a test expects them, in order: EXPECT_EQ(log, (TEvents{"enter", "drop"})).
using TEvents = std::vector<std::string>;

// Noted and read on one thread (the GUI thread, where the handlers run).
class TEventLog {
 public:
  void Note(std::string event) { events_.push_back(std::move(event)); }
  // Notes the event unless it is the one noted last: a run of repeats (a drag's moves over a
  // target) reads as one, while the same event after another one still counts.
  void NoteOnce(std::string event) {
    if (events_.empty() || events_.back() != event) Note(std::move(event));
  }
  // A handler for an event of any kind that notes `event` each time it fires, whatever the
  // event passes on; it refers to this log, which must outlive it:
  //   pages->OnChange = log.Noter("change");
  auto Noter(std::string event) {
    return [this, event = std::move(event)](auto&&...) { Note(event); };
  }
  void Clear() { events_.clear(); }

  bool Empty() const { return events_.empty(); }
  std::size_t Size() const { return events_.size(); }
  // The first and the last event noted; empty when there is none.
  std::string First() const { return events_.empty() ? std::string() : events_.front(); }
  std::string Last() const { return events_.empty() ? std::string() : events_.back(); }
  // How often the event was noted.
  int Count(const std::string& event) const {
    return static_cast<int>(std::count(events_.begin(), events_.end(), event));
  }
  const TEvents& Events() const { return events_; }

  bool operator==(const TEvents& expected) const { return events_ == expected; }

 private:
  TEvents events_;
};

// A failed comparison shows the log as the list it holds.
inline void PrintTo(const TEventLog& log, std::ostream* os) {
  *os << '{';
  const char* separator = "";
  for (const std::string& event : log.Events()) {
    *os << separator << '"' << event << '"';
    separator = ", ";
  }
  *os << '}';
}
