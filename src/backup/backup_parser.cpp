// Reading a backup file back: every line is checked before the record counts, so a file that
// is not wholly understood sends nothing.
#include <set>
#include <string>
#include <string_view>

#include "backup/backup_fields.h"
#include "backup/backup_file.h"
#include "base/cart_time.h"
#include "base/number_text.h"
#include "base/printable_text.h"
#include "cart/pin_text.h"
#include "cart/reply_fields.h"
#include "cart/rfid_format.h"
#include "cart/setup_values.h"

namespace molvane {
namespace {

std::string_view Trimmed(std::string_view text) {
  const std::size_t start = text.find_first_not_of(" \t");
  if (start == std::string_view::npos) return {};
  return text.substr(start, text.find_last_not_of(" \t") - start + 1);
}

bool Digits(std::string_view text) { return !text.empty() && IsDigitText(text); }

// A refused value or key is quoted in the message only as far as it helps to find it: a hostile
// file may hold control characters, NULs or a line of a megabyte.
constexpr std::size_t kShownValueLength = 40;

std::string Quoted(std::string_view text) {
  return "\"" + PrintableText(text, kShownValueLength) + "\"";
}

// The largest value of each of a PIN line's date and time fields.
constexpr long kDateLimits[6] = {9999, 12, 31, 23, 59, 60};

// A PIN as a PIN list file writes it, then nothing or its six date and time fields.
bool ReadPinLine(std::string_view line, PinEntry& entry) {
  const std::vector<std::string_view> items = BlankSeparatedItems(line);
  if (items.empty() || !Digits(items[0]) || !IsAcceptablePinText(items[0])) return false;
  if (items.size() != 1 && items.size() != 7) return false;
  long date[6] = {};
  for (std::size_t i = 1; i < items.size(); ++i) {
    if (!Digits(items[i]) ||
        CheckSetting(items[i], kDateLimits[i - 1], date[i - 1]) != SettingCheck::Ok)
      return false;
  }
  entry.pin = TextToPin(items[0]);
  entry.activationTime = 0;
  if (items.size() == 7 && date[0] >= 2000) {
    entry.activationTime = CartTimeToSeconds(
        {static_cast<std::uint64_t>(date[5]), static_cast<std::uint64_t>(date[4]),
         static_cast<std::uint64_t>(date[3]), static_cast<std::uint64_t>(date[2]),
         static_cast<std::uint64_t>(date[1]), static_cast<std::uint64_t>(date[0] - 2000)});
  }
  return true;
}

class Parser {
 public:
  explicit Parser(CartBackup& backup) : backup(backup) {}

  // False, with `reason`, for a line that is not understood.
  bool Take(int number, std::string_view line) {
    const std::string_view text = Trimmed(line);
    if (number == 1) return Header(text);
    if (text.empty() || text.front() == '#') return true;
    if (ended) return Refuse("nothing may follow " + std::string(kBackupEnd));
    if (text.front() == '[') return Section(text);
    if (section.empty()) return Refuse("a line before the first section");
    if (section == kPinSection) return Pin(text);
    return Setting(text);
  }

  // False, with `reason`, when the file as a whole falls short.
  bool Finish() {
    if (!ended)
      return Refuse("the backup ends before its " + std::string(kBackupEnd) +
                    " line: it may have been cut short");
    for (const BackupField& field : BackupFields()) {
      if (field.send != nullptr && seen.count(&field) == 0)
        return Refuse("the backup has no line for " + std::string(field.key) + " in [" +
                      field.section + "]");
    }
    if (sections.count(kPinSection) == 0)
      return Refuse(std::string("the backup has no [") + kPinSection + "] section");
    return true;
  }

  std::string reason;

 private:
  bool Refuse(const std::string& why) {
    reason = why;
    return false;
  }

  bool Header(std::string_view text) {
    // A text editor may have put its byte order mark in front.
    if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
    const std::string_view prefix = kBackupHeader;
    if (text.substr(0, prefix.size()) != prefix || !Digits(text.substr(prefix.size())))
      return Refuse("this is not a cart backup: its first line must be \"" +
                    std::string(kBackupHeader) + std::to_string(kBackupVersion) + "\"");
    if (text.substr(prefix.size()) != std::to_string(kBackupVersion))
      return Refuse("this program reads version " + std::to_string(kBackupVersion) +
                    " of the backup format only");
    return true;
  }

  bool Section(std::string_view text) {
    if (text == kBackupEnd) {
      ended = true;
      return true;
    }
    const std::string name(text.substr(1, text.size() - 1 - (text.back() == ']' ? 1 : 0)));
    bool known = false;
    for (const char* candidate : BackupSections()) known = known || name == candidate;
    if (text.back() != ']' || !known) return Refuse("there is no such section");
    if (!sections.insert(name).second) return Refuse("the section appears twice");
    section = name;
    return true;
  }

  bool Setting(std::string_view text) {
    const std::size_t equals = text.find('=');
    if (equals == std::string_view::npos) return Refuse("not a line of the form key = value");
    const std::string_view key = Trimmed(text.substr(0, equals));
    const std::string_view value = Trimmed(text.substr(equals + 1));
    for (const BackupField& field : BackupFields()) {
      if (field.section != section || field.key != key) continue;
      if (!seen.insert(&field).second) return Refuse(std::string(field.key) + " is given twice");
      if (!field.read(backup, value))
        return Refuse(Quoted(value) + " is no value for " + field.label);
      return true;
    }
    return Refuse("[" + section + "] has no setting " + Quoted(key));
  }

  bool Pin(std::string_view text) {
    PinEntry entry;
    if (!ReadPinLine(text, entry))
      return Refuse(
          "not a PIN line: a PIN of up to ten digits below 4294967296, then nothing or "
          "its year, month, day, hour, minute and second");
    if (HoldsPin(backup, entry.pin))
      return Refuse("PIN " + std::to_string(entry.pin) + " appears twice");
    if (backup.pins.size() >= static_cast<std::size_t>(PinList::kMaxPins))
      return Refuse("a cart holds at most " + std::to_string(PinList::kMaxPins) + " PINs");
    backup.pins.push_back(entry);
    return true;
  }

  CartBackup& backup;
  std::string section;
  std::set<std::string> sections;
  std::set<const BackupField*> seen;
  bool ended = false;
};

}  // namespace

bool ParseBackup(std::string_view content, CartBackup& backup, BackupFileError& error) {
  CartBackup parsed;
  Parser parser(parsed);
  // An empty file still has a first line, which is no header.
  int number = 0;
  for (std::size_t start = 0; start < content.size() || number == 0;) {
    const std::size_t newline = content.find('\n', start);
    const std::size_t end = newline == std::string_view::npos ? content.size() : newline;
    std::string_view line = content.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    ++number;
    if (!parser.Take(number, line)) {
      error = {number, std::string(line), parser.reason};
      return false;
    }
    start = end + 1;
  }
  if (!parser.Finish()) {
    error = {0, {}, parser.reason};
    return false;
  }
  backup = std::move(parsed);
  return true;
}

}  // namespace molvane
