#include "cart/dump_reader.h"

#include <chrono>

#include "app/cart_controller.h"

namespace molvane {
namespace {

// A cart may send a few lines more than it can hold records (a header, a note); past these it is
// not answering the dump.
constexpr int kLineSlack = 64;
constexpr int kBytesPerSecond = 3840;  // 38400 baud, ten bits a byte
constexpr int kDeadlineSlackMs = 3000;

std::chrono::milliseconds DumpDeadline(const DumpBounds& bounds) {
  const long long bytes =
      static_cast<long long>(bounds.maxRecords + kLineSlack) * bounds.bytesPerRecord;
  return std::chrono::milliseconds(2 * bytes * 1000 / kBytesPerSecond + kDeadlineSlackMs);
}

std::string Records(int count) { return std::to_string(count) + " record(s)"; }

// The line itself is not quoted: what is left of it may be an access code, and messages travel
// further than the trace, whose copies are redacted.
std::string Unreadable(int number) {
  return "Line " + std::to_string(number) + " of the cart's list could not be read, so the list " +
         "is incomplete. Read it again.";
}

}  // namespace

Outcome ReadDumpRecords(CartController& controller, const DumpBounds& bounds,
                        const Progress& progress,
                        const std::function<bool(const std::string&)>& onRecord) {
  const auto end = std::chrono::steady_clock::now() + DumpDeadline(bounds);
  const int maxLines = bounds.maxRecords + kLineSlack;
  std::string unreadable;
  for (int lines = 0, records = 0;;) {
    // The cart sends the dump whole whatever we do: the rest is left to the next command, which
    // reads it off to the prompt before it sends anything.
    if (progress.Cancelled()) {
      controller.AbandonAnswer();
      return Outcome::Failure(texts::kCancelled, lines, bounds.maxRecords);
    }
    if (std::chrono::steady_clock::now() >= end || lines >= maxLines) {
      controller.AbandonAnswer();
      return Outcome::Failure("The cart's list did not end after " + Records(lines) + ".", lines,
                              bounds.maxRecords);
    }
    const Result<std::string> line = controller.ReadReply();
    if (!line) {
      return Outcome::Failure(line.outcome.text + " (after " + Records(lines) + ")", lines,
                              bounds.maxRecords);
    }
    if (line.value.find('>') != std::string::npos) {
      if (!unreadable.empty()) return Outcome::Failure(unreadable, records, bounds.maxRecords);
      return Outcome::Success({}, lines, bounds.maxRecords);
    }
    if (line.value.empty()) {
      return Outcome::Failure(
          "The cart's list ended without its prompt after " + Records(lines) + ".", lines,
          bounds.maxRecords);
    }
    ++lines;
    if (onRecord(line.value))
      ++records;
    else if (unreadable.empty())
      unreadable = Unreadable(lines);
    progress.Report(lines, bounds.maxRecords);
  }
}

}  // namespace molvane
