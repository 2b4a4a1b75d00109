#include "cart/dump_reader.h"

#include <chrono>

#include "app/cart_controller.h"
#include "app/operation_scope.h"

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

}  // namespace

Outcome ReadDumpRecords(CartController& controller, const DumpBounds& bounds,
                        const Progress& progress,
                        const std::function<void(const std::string&)>& onRecord) {
  OperationScope operation(controller);
  const auto end = std::chrono::steady_clock::now() + DumpDeadline(bounds);
  const int maxLines = bounds.maxRecords + kLineSlack;
  // A cancelled dump is still read to its prompt, without its records: the cart sends it whole
  // whatever we do, and the rest would otherwise be taken for the next command's answer.
  bool cancelled = false;
  for (int lines = 0;;) {
    cancelled = cancelled || progress.Cancelled();
    if (std::chrono::steady_clock::now() >= end || lines >= maxLines) {
      return Outcome::Failure("The cart's list did not end after " + Records(lines) + ".", lines,
                              bounds.maxRecords);
    }
    const std::string line = controller.ReadReply();
    if (!operation.Succeeded()) {
      return Outcome::Failure(operation.Failure() + " (after " + Records(lines) + ")", lines,
                              bounds.maxRecords);
    }
    if (line.find('>') != std::string::npos) {
      if (cancelled) return Outcome::Failure(texts::kCancelled, lines, bounds.maxRecords);
      return Outcome::Success({}, lines, bounds.maxRecords);
    }
    if (line.empty()) {
      return Outcome::Failure(
          "The cart's list ended without its prompt after " + Records(lines) + ".", lines,
          bounds.maxRecords);
    }
    if (!cancelled) onRecord(line);
    progress.Report(++lines, bounds.maxRecords);
  }
}

}  // namespace molvane
