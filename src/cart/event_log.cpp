#include "cart/event_log.h"

#include <cstdio>
#include <string>

#include "app/cart_controller.h"
#include "base/cart_time.h"
#include "base/file_content.h"
#include "cart/command_steps.h"
#include "cart/dump_reader.h"
#include "cart/event_log_texts.h"
#include "cart/log_dump_line.h"

namespace molvane {
namespace {

// "4294967295 165 59 59 23 31 12 99" and its line end.
constexpr int kLogRecordBytes = 40;

// "%d:%02d %d/%02d/%d  %s": the Log page's line.
std::string DisplayLine(const LogEntry& entry) {
  const LocalFields t = ToLocalFields(entry.eventTime);
  char stamp[64];
  std::snprintf(stamp, sizeof stamp, "%d:%02d %d/%02d/%d  ", t.hour, t.minute, t.month, t.day,
                t.year);
  return stamp + entry.action;
}

// "%d:%02d:%02d\t%d/%02d/%d\t%s": one line of an exported log.
std::string ExportLine(const LogEntry& entry) {
  const LocalFields t = ToLocalFields(entry.eventTime);
  char stamp[64];
  std::snprintf(stamp, sizeof stamp, "%d:%02d:%02d\t%d/%02d/%d\t", t.hour, t.minute, t.second,
                t.month, t.day, t.year);
  return stamp + entry.action + kFileLineEnd;
}

}  // namespace

Outcome DumpLog(CartController& controller, const Progress& progress) {
  if (Outcome sent = controller.SendCommand("log_dump"); !sent) return sent;
  EventLog log;
  Outcome read = ReadDumpRecords(
      controller, {EventLog::kMaxEvents, kLogRecordBytes}, progress, [&](const std::string& line) {
        LogRecord record;
        if (!ParseLogDumpLine(line, record)) return false;
        if (log.count < EventLog::kMaxEvents)
          log.entries[static_cast<std::size_t>(log.count++)] = MakeLogEntry(record);
        return true;
      });
  if (read) controller.KeepEvents(std::move(log));
  return read;
}

std::string LogLine(const EventLog& log, int index) {
  if (index < 0 || index >= log.count) return {};
  return DisplayLine(log.entries[static_cast<std::size_t>(index)]);
}

Outcome ExportLog(const EventLog& log, const std::string& path) {
  if (!IsChosenFile(path)) return Outcome::Failure(LogNotWritten(path));
  std::string content = std::string("Time\tDate\tAction") + kFileLineEnd;
  for (int i = 0; i < log.count; ++i)
    content += ExportLine(log.entries[static_cast<std::size_t>(i)]);
  if (!ReplaceFileContent(path, content)) return Outcome::Failure(LogNotWritten(path));
  return Outcome::Success(kLogWritten, log.count, log.count);
}

Outcome ClearLog(CartController& controller) { return SendAndDrop(controller, "log_clear"); }

}  // namespace molvane
