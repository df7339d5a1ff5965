// A shared, ordered record of calls made to several fakes, so a test can check the order in which
// a core used different services (the date read before the tool run, a label set before a run).
#pragma once

#include <string>
#include <vector>

namespace lensbrook::fakes {

struct CallJournal {
  std::vector<std::string> entries;
  void add(const std::string& entry) { entries.push_back(entry); }
};

// Base of every recording fake: keeps its own calls and copies each into an optional journal.
class Recorder {
 public:
  std::vector<std::string> calls;
  CallJournal* journal = nullptr;

 protected:
  void record(const std::string& call) {
    calls.push_back(call);
    if (journal) journal->add(call);
  }
};

// Joins `parts` with single blanks, for compact call records.
std::string joined(const std::vector<std::string>& parts);

}  // namespace lensbrook::fakes
