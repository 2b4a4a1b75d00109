// A traffic trace brought back from the field, as both of its readers take it: the host's,
// behind the support report, and the simulator's, behind cartsim --replay, which are kept apart
// on purpose. The host's entries must give the trace back; both readers must find the same
// commands with the same answers; a trace whose line ends became CR LF must read the same.
#include <map>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "fuzz_support.h"
#include "link/trace_entries.h"
#include "sim/display_line.h"
#include "sim/trace_replay.h"

namespace {

using molvane::TraceEntry;
using Answers = std::map<std::string, std::vector<std::string>>;

std::string WordOf(std::string_view line) {
  const std::size_t first = line.find_first_not_of(' ');
  return first == line.npos ? std::string() : std::string(cartsim::CommandWord(line.substr(first)));
}

// The replay's table as the host's entries give it: each command line sent, by its word, with
// the bytes received after it up to the next write.
Answers AnswersOf(const std::vector<TraceEntry>& entries) {
  Answers answers;
  std::string pending;
  std::string answering;
  bool answered = false;
  for (const TraceEntry& entry : entries) {
    if (entry.kind == TraceEntry::Kind::Received && answered)
      answers[answering].back() += entry.bytes;
    if (entry.kind != TraceEntry::Kind::Sent) continue;
    answered = false;
    for (const char byte : entry.bytes) {
      if (byte == '\n') continue;
      if (byte != '\r') {
        pending += byte;
        continue;
      }
      answering = WordOf(pending);
      answers[answering].emplace_back();
      answered = true;
      pending.clear();
    }
  }
  return answers;
}

// The entries' kinds and bytes, after checking that their texts give the trace back.
std::vector<std::pair<TraceEntry::Kind, std::string>> ReadEntries(std::string_view trace) {
  std::vector<std::pair<TraceEntry::Kind, std::string>> read;
  std::string joined;
  for (const TraceEntry& entry : molvane::SplitTraceEntries(trace)) {
    fuzzing::Require(!entry.text.empty(), "an empty entry");
    const std::size_t newline = entry.text.find('\n');
    if (entry.kind == TraceEntry::Kind::Other)
      fuzzing::Require(newline == entry.text.npos || newline + 1 == entry.text.size(),
                       "an other entry of more than one line");
    else
      fuzzing::Require(entry.text.back() == '\n', "an entry without its line end");
    joined += entry.text;
    read.emplace_back(entry.kind, entry.bytes);
  }
  fuzzing::Require(joined == trace, "the entries do not give the trace back");
  return read;
}

// Both readers over one trace; the host's table of answers.
Answers ReadBoth(std::string_view trace) {
  const Answers answers = AnswersOf(molvane::SplitTraceEntries(trace));
  cartsim::TraceReplay replay;
  replay.AddTrace(trace);
  fuzzing::Require(replay.CommandWords() == answers.size(), "the readers find other commands");
  for (const auto& [word, recorded] : answers) {
    for (const std::string& answer : recorded)
      fuzzing::Require(replay.Answer(word) == answer, "the readers find other answers");
    fuzzing::Require(replay.Answer(word) == recorded.back(), "the last answer is not repeated");
  }
  return answers;
}

std::string WithCrLf(std::string_view text) {
  std::string converted;
  for (const char c : text) converted += c == '\n' ? std::string("\r\n") : std::string(1, c);
  return converted;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view trace(reinterpret_cast<const char*>(data), size);
  ReadEntries(trace);
  ReadBoth(trace);
  // Converting line ends is undone exactly only where no CR stood before: compare the trace
  // without its CRs to that trace converted.
  std::string bare;
  for (const char c : trace)
    if (c != '\r') bare += c;
  const std::string converted = WithCrLf(bare);
  fuzzing::Require(ReadEntries(bare) == ReadEntries(converted), "CR LF changes the entries");
  fuzzing::Require(ReadBoth(bare) == ReadBoth(converted), "CR LF changes the answers");
  return 0;
}
