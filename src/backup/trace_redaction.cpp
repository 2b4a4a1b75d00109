#include "backup/trace_redaction.h"

#include <algorithm>
#include <cstdint>
#include <iterator>
#include <vector>

#include "base/number_text.h"
#include "link/trace_entries.h"

namespace molvane {
namespace {

// The commands whose argument is an access code. Their word marks a line wherever it stands: a
// cart that echoes commands sends them back, and noise may come before a command.
constexpr std::string_view kArgumentCommands[] = {"pin_list_add", "pin_list_remove",
                                                  "set_rfid_facility"};
constexpr std::string_view kReplyStart = "RX: ";
// What separates a command's word from its argument, for the cart.
constexpr const char* kBlanks = " \t";
// A PIN record's numbers, and the start of a log record's.
constexpr int kRecordNumbers = 7;

enum class Reason { Kept, CutOff, Exchange, Line };

struct Verdict {
  Reason reason = Reason::Kept;
  std::vector<std::string> words;  // a sent entry's commands that carry access codes
};
using Verdicts = std::vector<Verdict>;

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// The host's reader ends a line at CR or at the prompt; a line feed ends one too here, so that
// no line hides behind another's end.
bool EndsLine(char c) { return c == '\r' || c == '\n' || c == '>'; }

template <typename Take>
void ForEachLine(std::string_view text, Take take) {
  std::size_t start = 0;
  for (std::size_t at = 0; at < text.size(); ++at) {
    if (!EndsLine(text[at])) continue;
    take(text.substr(start, at - start));
    start = at + 1;
  }
  take(text.substr(start));
}

// The command's word as the cart reads it: blanks before it do not count.
std::string CommandWordOf(std::string_view line) {
  const std::size_t first = line.find_first_not_of(kBlanks);
  if (first == std::string_view::npos) return {};
  const std::size_t end = line.find_first_of(kBlanks, first);
  return std::string(line.substr(first, end == std::string_view::npos ? end : end - first));
}

// The command's word stands in the text with an argument: blanks after it, then more.
bool HoldsWithArgument(std::string_view text, std::string_view word) {
  for (std::size_t at = text.find(word); at != text.npos; at = text.find(word, at + 1)) {
    const std::size_t end = at + word.size();
    const std::size_t argument = text.find_first_not_of(kBlanks, end);
    if (argument > end && argument != text.npos && !EndsLine(text[argument])) return true;
  }
  return false;
}

bool HoldsArgumentCommand(std::string_view text) {
  return std::any_of(std::begin(kArgumentCommands), std::end(kArgumentCommands),
                     [text](std::string_view word) { return HoldsWithArgument(text, word); });
}

// The dump readers take a record from any line that starts with a number, since a log record
// may be short. Another port's bytes may run into the front of a record, so seven numbers in a
// row anywhere in a line count as well.
bool ReadsAsRecord(std::string_view line) {
  std::uint64_t numbers[kRecordNumbers];
  if (ScanUnsignedNumbers(line, numbers, 1) == 1) return true;
  for (std::size_t at = 1; at < line.size(); ++at) {
    if (IsDigit(line[at]) && !IsDigit(line[at - 1]) &&
        ScanUnsignedNumbers(line.substr(at), numbers, kRecordNumbers) == kRecordNumbers)
      return true;
  }
  return false;
}

bool MayHoldAccessCodes(std::string_view line) {
  return ReadsAsRecord(line) || HoldsArgumentCommand(line);
}

// The words of a write that carry access codes: each command line's own, and a command that
// takes an access code wherever it stands.
std::vector<std::string> AccessCodeWords(std::string_view sent) {
  std::vector<std::string> words;
  const auto add = [&words](std::string word) {
    if (std::find(words.begin(), words.end(), word) == words.end()) words.push_back(word);
  };
  ForEachLine(sent, [&](std::string_view line) {
    std::string word = CommandWordOf(line);
    if (CarriesAccessCodes(word)) add(std::move(word));
  });
  for (const std::string_view word : kArgumentCommands)
    if (HoldsWithArgument(sent, word)) add(std::string(word));
  return words;
}

// Each exchange that carries access codes goes from its command up to the next command that
// carries none; a copy that starts midway loses what comes before its first command.
void MarkExchanges(const std::vector<TraceEntry>& entries, bool startsMidway, Verdicts& verdicts) {
  Reason leaving = startsMidway ? Reason::CutOff : Reason::Kept;
  for (std::size_t i = 0; i < entries.size(); ++i) {
    if (entries[i].kind == TraceEntry::Kind::Sent) {
      verdicts[i].words = AccessCodeWords(entries[i].bytes);
      leaving = verdicts[i].words.empty() ? Reason::Kept : Reason::Exchange;
    }
    verdicts[i].reason = leaving;
  }
}

// False when the entry was left out already.
bool LeaveOut(Verdict& verdict) {
  if (verdict.reason != Reason::Kept) return false;
  verdict.reason = Reason::Line;
  return true;
}

// The received bytes a reply line was read from, found backwards from the reply: its text in
// order, passing over line feeds and the bytes of another port that came in between, as far as
// twice the line's length and a little more.
void MarkReplyBytes(const std::vector<TraceEntry>& entries, std::size_t reply,
                    std::string_view text, Verdicts& verdicts) {
  std::size_t left = text.size();
  std::size_t reach = 2 * text.size() + 64;
  for (std::size_t i = reply; i-- > 0 && left > 0 && reach > 0;) {
    if (entries[i].kind != TraceEntry::Kind::Received) {
      --reach;
      continue;
    }
    const std::string& bytes = entries[i].bytes;
    bool holds = false;
    for (std::size_t b = bytes.size(); b-- > 0 && left > 0 && reach > 0; --reach) {
      if (bytes[b] != text[left - 1]) continue;
      --left;
      holds = true;
    }
    if (holds) LeaveOut(verdicts[i]);
  }
}

// The host's reading of each reply line, and any other line that holds a command with an
// access code (a damaged entry, a note).
void MarkOtherLines(const std::vector<TraceEntry>& entries, Verdicts& verdicts) {
  for (std::size_t i = 0; i < entries.size(); ++i) {
    if (entries[i].kind != TraceEntry::Kind::Other) continue;
    const std::string_view text = entries[i].text;
    bool holds = HoldsArgumentCommand(text);
    if (text.starts_with(kReplyStart)) {
      const std::string_view reply = text.substr(kReplyStart.size());
      ForEachLine(reply, [&holds](std::string_view line) { holds = holds || ReadsAsRecord(line); });
      if (holds) MarkReplyBytes(entries, i, reply.substr(0, reply.find_first_of("\r\n")), verdicts);
    }
    if (holds) LeaveOut(verdicts[i]);
  }
}

// Received lines run across entries (one per byte when the host reads a reply) and across the
// other entries between them, so the bytes of the received entries still kept are read as one
// stream. Leaving an entry out joins what came before it to what comes after it, so this
// repeats until no kept line may hold an access code.
void MarkReceivedLines(const std::vector<TraceEntry>& entries, Verdicts& verdicts) {
  for (bool marked = true; marked;) {
    marked = false;
    std::string line;
    std::vector<std::size_t> holders;
    const auto endLine = [&] {
      if (MayHoldAccessCodes(line))
        for (const std::size_t holder : holders) marked = LeaveOut(verdicts[holder]) || marked;
      line.clear();
      holders.clear();
    };
    for (std::size_t i = 0; i < entries.size(); ++i) {
      if (entries[i].kind != TraceEntry::Kind::Received || verdicts[i].reason != Reason::Kept)
        continue;
      for (const char c : entries[i].bytes) {
        if (holders.empty() || holders.back() != i) holders.push_back(i);
        if (EndsLine(c)) {
          endLine();
        } else {
          line += c;
        }
      }
    }
    endLine();
  }
}

// What one run of left-out entries was.
struct LeftOut {
  std::size_t entries = 0;
  bool cutOff = false;
  bool lines = false;
  std::vector<std::string> words;

  void Add(const Verdict& verdict) {
    ++entries;
    cutOff = cutOff || verdict.reason == Reason::CutOff;
    lines = lines || verdict.reason == Reason::Line;
    for (const std::string& word : verdict.words)
      if (std::find(words.begin(), words.end(), word) == words.end()) words.push_back(word);
  }

  std::string Line() const {
    std::vector<std::string> what;
    if (cutOff) what.push_back("the command they belong to was cut off from this copy");
    if (!words.empty()) {
      std::string exchanges = "exchanges that carry access codes (";
      for (std::size_t i = 0; i < words.size(); ++i) exchanges += (i == 0 ? "" : ", ") + words[i];
      what.push_back(exchanges + ")");
    }
    if (lines)
      what.push_back(
          "lines that read as PIN or log records or hold a PIN or facility code command");
    std::string line = "[" + std::to_string(entries) +
                       (entries == 1 ? " trace entry" : " trace entries") + " left out here: ";
    for (std::size_t i = 0; i < what.size(); ++i) line += (i == 0 ? "" : "; ") + what[i];
    return line + "]\n";
  }
};

std::string Compose(const std::vector<TraceEntry>& entries, const Verdicts& verdicts,
                    std::size_t size) {
  std::string kept;
  kept.reserve(size);
  LeftOut run;
  for (std::size_t i = 0; i < entries.size(); ++i) {
    if (verdicts[i].reason != Reason::Kept) {
      run.Add(verdicts[i]);
      continue;
    }
    if (run.entries > 0) kept += run.Line();
    run = {};
    kept += entries[i].text;
  }
  if (run.entries > 0) kept += run.Line();
  return kept;
}

}  // namespace

bool CarriesAccessCodes(std::string_view commandWord) {
  return commandWord.starts_with("pin_list_") || commandWord == "log_dump" ||
         commandWord.find("rfid_facility") != std::string_view::npos;
}

std::string RedactTrace(std::string_view trace, bool startsMidway) {
  const std::vector<TraceEntry> entries = SplitTraceEntries(trace);
  Verdicts verdicts(entries.size());
  MarkExchanges(entries, startsMidway, verdicts);
  MarkOtherLines(entries, verdicts);
  MarkReceivedLines(entries, verdicts);
  return Compose(entries, verdicts, trace.size());
}

}  // namespace molvane
