#include "backup/trace_redaction.h"

#include <algorithm>
#include <vector>

#include "link/trace_entries.h"

namespace molvane {
namespace {

// The command's word as the cart reads it: leading blanks do not count.
std::string CommandWordOf(std::string_view sent) {
  const std::size_t first = sent.find_first_not_of(' ');
  if (first == std::string_view::npos) return {};
  const std::size_t end = sent.find_first_of(" \r\n", first);
  return std::string(sent.substr(first, end == std::string_view::npos ? end : end - first));
}

std::string LeftOutLine(std::size_t entries, const std::vector<std::string>& words) {
  std::string line = "[" + std::to_string(entries) + " trace entries left out here: ";
  if (words.empty()) return line + "the command they belong to was cut off from this copy]\n";
  line += "exchanges that carry access codes (";
  for (std::size_t i = 0; i < words.size(); ++i) line += (i == 0 ? "" : ", ") + words[i];
  return line + ")]\n";
}

}  // namespace

bool CarriesAccessCodes(std::string_view commandWord) {
  return commandWord.starts_with("pin_list_") || commandWord == "log_dump" ||
         commandWord.find("rfid_facility") != std::string_view::npos;
}

std::string RedactTrace(std::string_view trace, bool startsMidway) {
  std::string kept;
  kept.reserve(trace.size());
  bool leavingOut = startsMidway;
  std::size_t leftOut = 0;
  std::vector<std::string> words;
  const auto endLeftOut = [&] {
    if (leftOut > 0) kept += LeftOutLine(leftOut, words);
    leftOut = 0;
    words.clear();
  };
  for (const TraceEntry& entry : SplitTraceEntries(trace)) {
    if (entry.kind == TraceEntry::Kind::Sent) {
      const std::string word = CommandWordOf(entry.bytes);
      const bool secret = CarriesAccessCodes(word);
      if (!secret) endLeftOut();
      if (secret && std::find(words.begin(), words.end(), word) == words.end())
        words.push_back(word);
      leavingOut = secret;
    }
    if (leavingOut) {
      ++leftOut;
    } else {
      kept += entry.text;
    }
  }
  endLeftOut();
  return kept;
}

}  // namespace molvane
