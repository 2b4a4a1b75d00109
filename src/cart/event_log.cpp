#include "app/cart_data.h"

#include <cstdio>
#include <string>

#include "app/cart_controller.h"
#include "base/cart_time.h"
#include "cart/command_steps.h"
#include "cart/dump_reader.h"
#include "cart/log_dump_line.h"
#include "base/file_content.h"

namespace molvane {
namespace {

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

void CartController::DumpLog() {
  eventLog.count = 0;
  SendCommand("log_dump");
  WaitCursor cursor(Ui());
  LogRecord record;
  ReadDumpRecords(*this, [&](const std::string& line) {
    if (eventLog.count >= EventLog::kMaxEvents) return;
    ApplyLogDumpLine(line, record);
    eventLog.entries[static_cast<std::size_t>(eventLog.count++)] = MakeLogEntry(record);
  });
}

std::string CartController::LogLine(int index) const {
  if (index < 0 || index >= eventLog.count) return {};
  return DisplayLine(eventLog.entries[static_cast<std::size_t>(index)]);
}

// A path of fewer than three characters is no file name the save dialog could have given.
bool CartController::ExportLog(const std::string& path) {
  if (path.size() < 3) return false;
  std::string content = std::string("Time\tDate\tAction") + kFileLineEnd;
  for (int i = 0; i < eventLog.count; ++i)
    content += ExportLine(eventLog.entries[static_cast<std::size_t>(i)]);
  return ReplaceFileContent(path, content);
}

void CartController::ClearLog() { SendAndDrop(*this, "log_clear"); }

}  // namespace molvane
