#include "pages/log_page.h"

#include "app/cart_controller.h"
#include "app/cart_thread.h"
#include "cart/event_log.h"
#include "cart/event_log_texts.h"
#include "pages/failure_text.h"
#include "pages/fleet_recorder.h"
#include "pages/log_archive.h"
#include "pages/ui_services.h"

namespace molvane {
namespace {

constexpr const char* kLogNotExported =
    "The log could not be read from the cart, so it was not exported. Get the list again first.";

}  // namespace

void LogPage::Start() { SetShown(false); }

void LogPage::Show(bool visible) {
  SetShown(visible);
  if (visible) RefreshWhenDue();
}

// A cart going away, or another in its place, takes its log with it: the page shows none (and
// has none to export) until it is read again. A cart arriving is read now if the page is in
// front, otherwise when it next shows.
void LogPage::CartNotice(bool present) {
  events = EventLog{};
  lines.clear();
  logRead = false;
  WriteAllFields();
  if (!present) return;
  refreshPending = true;
  if (IsShown()) RefreshWhenDue();
}

// While a firmware or bitmap transfer owns the port nothing may be sent; the reading stays due.
void LogPage::RefreshWhenDue() {
  if (refreshPending && !Link().IsBusy()) RefreshAfter(Outcome::Success(), {}, true, true);
}

void LogPage::Refresh() { RefreshAfter(Outcome::Success(), {}, false); }

namespace {

struct LogReading {
  Outcome read;
  EventLog log;
  bool cartThere = true;
  std::string fleetWarning;
};

}  // namespace

// A read that fails keeps the lines shown; the operator hears of it unless it failed only for
// want of a cart on a tab just shown.
void LogPage::RefreshAfter(const Outcome& change, const std::string& action, bool quietWithoutCart,
                           bool whileShown) {
  OnCart(
      [fleet = Fleet()](CartController& c) {
        LogReading reading;
        reading.read = DumpLog(c, JobProgress());
        reading.cartThere = c.CurrentPort() >= 0;
        if (reading.read) {
          reading.log = c.Events();
          // Every whole read goes to the cart's archive; a record not kept is the run's one
          // warning, and the reading stays the operator's.
          (void)fleet->ArchiveLog(c, reading.log);
        }
        reading.fleetWarning = fleet->TakeWarning();
        return reading;
      },
      [this, change, action, quietWithoutCart](const LogReading& reading) {
        TellFleet(reading.fleetWarning);
        refreshPending = false;
        logRead = static_cast<bool>(reading.read);
        if (reading.read) {
          events = reading.log;
          lines.clear();
          lines.reserve(static_cast<std::size_t>(events.count));
          for (int i = 0; i < events.count; ++i) lines.push_back(LogLine(events, i));
        }
        WriteAllFields();
        const bool readFailed = !reading.read && !(quietWithoutCart && !reading.cartThere);
        TellChange(change, action, "Reading the log",
                   readFailed ? reading.read.text : std::string());
      },
      {.title = "Reading the log",
       .key = quietWithoutCart ? "Log read" : "",
       .waitCursor = true,
       .whileShown = whileShown});
}

void LogPage::GetList() { Refresh(); }

// The cart's log is cleared without a question; reading it again shows what the cart now holds.
void LogPage::ClearList() {
  OnCart(
      [fleet = Fleet()](CartController& c) {
        Outcome cleared = ArchiveBeforeClear(c, *fleet, JobProgress());
        if (cleared) cleared = ClearLog(c);
        return cleared;
      },
      [this](const Outcome& cleared) { RefreshAfter(cleared, "Clearing the log", false); });
}

FileDialogRequest LogPage::ExportDialog() {
  FileDialogRequest request;
  request.kind = FileDialogRequest::Kind::Save;
  request.types = {{"Worksheet Files (*.xls)", "*.xls"},
                   {"Text Files (*.txt)", "*.txt"},
                   {"All Files (*.*)", "*.*"}};
  request.defaultExtension = "Pin Log Files";
  // An export replaces the file it is given, so picking an existing file by mistake is asked.
  request.askBeforeOverwrite = true;
  return request;
}

// The file holds the events last read whole; the cart is not asked again. A log that could not
// be read is not written as if it were the cart's.
void LogPage::Export() {
  if (!logRead) {
    ShowFailure({}, kLogNotExported);
    return;
  }
  const std::string path = Ui().FileDialog(ExportDialog());
  if (path.empty()) return;
  const Outcome written = ExportLog(events, path);
  if (!written) return ShowFailure({}, FileWriteFailureText("Exporting the log", written.text));
  ShowMessage(kLogWritten);
}

}  // namespace molvane
