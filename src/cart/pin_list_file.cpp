#include "cart/pin_list_file.h"

#include <cstdio>
#include <limits>

#include "app/cart_controller.h"
#include "base/cart_time.h"
#include "base/clock.h"
#include "base/file_content.h"
#include "base/number_text.h"
#include "cart/pin_list.h"

namespace molvane {
namespace {

constexpr std::size_t kPieceLength = 254;
constexpr std::size_t kQuotedItemLength = 24;  // more than any number worth reading

std::string FirstItem(std::string_view line) {
  const std::size_t start = line.find_first_not_of(" \t\r\n");
  if (start == std::string_view::npos) return {};
  const std::size_t end = line.find_first_of(" \t\r\n", start);
  return std::string(line.substr(start, end == std::string_view::npos ? end : end - start));
}

PinFileLine DescribeLine(std::string_view line, int lineNumber) {
  PinFileLine described;
  described.lineNumber = lineNumber;
  described.item = FirstItem(line);
  std::uint64_t value = 0;
  if (LeadingUnsigned(line, value) && value <= std::numeric_limits<std::uint32_t>::max()) {
    described.hasPin = true;
    described.pin = static_cast<std::uint32_t>(value);
  }
  return described;
}

std::string OutOfRangeText(const PinFileLine& line, const std::string& path) {
  return "A value of " + QuotedItem(line.item) + " is out of range in line " +
         std::to_string(line.lineNumber) + " of " + path + " must be less than 4294967296!";
}

}  // namespace

std::vector<PinFileLine> SplitPinFile(std::string_view content) {
  std::vector<PinFileLine> lines;
  int lineNumber = 1;
  std::size_t start = 0;
  while (start < content.size()) {
    const std::size_t newline = content.find('\n', start);
    const bool ended = newline != std::string_view::npos;
    std::size_t stop = ended ? newline : content.size();
    const std::size_t next = ended ? newline + 1 : content.size();
    if (ended && stop > start && content[stop - 1] == '\r') --stop;
    const std::size_t counted = stop - start + (ended ? 1 : 0);
    lines.push_back(DescribeLine(content.substr(start, stop - start), lineNumber));
    lineNumber += static_cast<int>((counted + kPieceLength - 1) / kPieceLength);
    start = next;
  }
  return lines;
}

std::string QuotedItem(std::string_view item) {
  std::string quoted;
  for (const char c : item.substr(0, kQuotedItemLength)) quoted += c >= ' ' && c <= '~' ? c : '?';
  if (item.size() > kQuotedItemLength) quoted += "...";
  return quoted;
}

bool PinItemInRange(std::string_view item) {
  if (item.size() > 10) return false;
  if (item.size() < 10) return true;
  std::int64_t value = 0;
  for (const char c : item) value = value * 10 + (static_cast<unsigned char>(c) - '0');
  return value < 4294967296LL;
}

std::string PinFileRecord(const PinEntry& entry) {
  const LocalFields t = ToLocalFields(entry.activationTime);
  char line[96];
  std::snprintf(line, sizeof line, "%u\t%u\t%u\t%u\t%u\t%u\t%u\r\n", entry.pin,
                static_cast<unsigned>(t.year), static_cast<unsigned>(t.month),
                static_cast<unsigned>(t.day), static_cast<unsigned>(t.hour),
                static_cast<unsigned>(t.minute), static_cast<unsigned>(t.second));
  return line;
}

Outcome ExportPinList(const PinList& list, const std::string& path) {
  std::string content;
  for (int i = 0; i < list.count; ++i)
    content += PinFileRecord(list.entries[static_cast<std::size_t>(i)]);
  if (!ReplaceFileContent(path, content)) {
    return Outcome::Failure("Error: the pin list could not be written to " + path);
  }
  return Outcome::Success(kPinListSaved, list.count, list.count);
}

namespace {

// The file's PINs in order, or why the file is refused.
Result<std::vector<std::uint32_t>> CheckedPins(const std::string& path) {
  std::string content;
  const ReadResult read = ReadFileContent(path, content, kMaxPinFileBytes);
  if (read == ReadResult::TooLarge) {
    return {{},
            Outcome::Failure("The file " + path +
                             " is larger than 1 MiB, more than any PIN list can be. Nothing was "
                             "imported.")};
  }
  if (read == ReadResult::NotRegular) {
    return {{},
            Outcome::Failure("The file " + path + " " + FileFaultText(FileFault::NotRegular) +
                             ". Nothing was imported.")};
  }
  if (read != ReadResult::Ok) return {{}, Outcome::Failure("Could not open " + path + ".")};
  const std::vector<PinFileLine> lines = SplitPinFile(content);
  std::vector<std::uint32_t> pins;
  for (const PinFileLine& line : lines) {
    if (line.item.empty() || PinItemInRange(line.item)) continue;
    return {{}, Outcome::Failure(OutOfRangeText(line, path))};
  }
  for (const PinFileLine& line : lines)
    if (line.hasPin) pins.push_back(line.pin);
  return {std::move(pins), Outcome::Success()};
}

}  // namespace

Outcome ImportPinList(CartController& controller, const std::string& path,
                      const Progress& progress) {
  const Result<std::vector<std::uint32_t>> pins = CheckedPins(path);
  if (!pins) return pins.outcome;
  std::vector<std::string> texts;
  for (const std::uint32_t pin : pins.value) texts.push_back(std::to_string(pin));
  return AddPins(controller, texts, progress);
}

}  // namespace molvane
