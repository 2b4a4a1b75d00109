#pragma once
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace cartsim {

// A cart played back from the host's traffic trace (comlog.txt), so that a fault met in the
// field can be brought to the bench. Each command line the host sent is paired with the bytes
// the cart sent back before the host's next write; played back, a command gets the answers its
// word got in the trace, in their order, and the last one again once they are used up. A word
// the trace never saw gets "unknown cmd", as a cart answers a command it does not know.
class TraceReplay {
 public:
  // Adds the exchanges of one trace. Lines the trace holds besides sent and received bytes
  // (port openings, replies as text, notes, damaged lines) are passed over. A trace whose line
  // ends became CR LF on its way gives the same exchanges.
  void AddTrace(std::string_view trace);
  std::string Answer(std::string_view line);
  std::size_t CommandWords() const { return answers.size(); }

 private:
  struct Recorded {
    std::vector<std::string> answers;
    std::size_t next = 0;
  };
  std::map<std::string, Recorded, std::less<>> answers;
};

}  // namespace cartsim
