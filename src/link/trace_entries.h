#pragma once
#include <string>
#include <string_view>
#include <vector>

namespace molvane {

// One entry of the traffic trace as TrafficTrace writes it. Sent and received entries carry the
// raw bytes beside their hex, line ends included, so one entry may span several lines of the
// file; reading the trace line by line would cut them apart.
struct TraceEntry {
  enum class Kind { Sent, Received, Other };
  Kind kind = Kind::Other;
  std::string_view text;  // the entry as it stands in the trace, with its final line end
  std::string bytes;      // Sent and Received: the bytes that crossed the link
};

// The trace cut into its entries, in order; their texts joined give the trace back. Whatever
// is not a well-formed sent or received entry (an opening, a reply, a note, a damaged or cut
// entry) is an Other entry of one line. A trace whose line ends became CR LF on its way is read
// as the same trace: the entries' bytes are those that crossed the link.
std::vector<TraceEntry> SplitTraceEntries(std::string_view trace);

}  // namespace molvane
