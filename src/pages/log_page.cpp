#include "pages/log_page.h"

#include "app/cart_controller.h"
#include "app/cart_thread.h"
#include "cart/event_log.h"
#include "cart/event_log_texts.h"
#include "pages/ui_services.h"

namespace molvane {
namespace {

constexpr const char* kLogNotExported =
    "The log could not be read from the cart, so it was not exported. Get the list again first.";

}  // namespace

void LogPage::Start() { PageModel::Show(false); }

void LogPage::Show(bool visible) {
  PageModel::Show(visible);
  if (visible) RefreshWhenDue();
}

// A cart going away leaves the lines it gave; a cart arriving is read now if the page is in
// front, otherwise when it next shows.
void LogPage::CartNotice(bool present) {
  if (!present) return;
  refreshPending = true;
  if (IsShown()) RefreshWhenDue();
}

// While a firmware or bitmap transfer owns the port nothing may be sent; the reading stays due.
void LogPage::RefreshWhenDue() {
  if (refreshPending && !controller.IsBusy()) RefreshAfter(Outcome::Success(), true);
}

void LogPage::Refresh() { RefreshAfter(Outcome::Success(), false); }

// A read that fails keeps the lines shown; the operator hears of it unless it failed only for
// want of a cart on a tab just shown.
void LogPage::RefreshAfter(const Outcome& change, bool quietWithoutCart) {
  refreshPending = false;
  Outcome read;
  {
    WaitCursor cursor(Ui());
    read = DumpLog(controller, JobProgress());
  }
  logRead = static_cast<bool>(read);
  if (read) {
    const EventLog& log = controller.Events();
    lines.clear();
    lines.reserve(static_cast<std::size_t>(log.count));
    for (int i = 0; i < log.count; ++i) lines.push_back(LogLine(log, i));
  }
  WriteAllFields();
  if (!change) ShowMessage(change.text);
  if (!read && !(quietWithoutCart && controller.CurrentPort() < 0)) {
    ShowMessage("The log could not be read: " + read.text);
  }
}

void LogPage::GetList() { Refresh(); }

// The cart's log is cleared without a question; reading it again shows what the cart now holds.
void LogPage::ClearList() { RefreshAfter(ClearLog(controller), false); }

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
    ShowMessage(kLogNotExported);
    return;
  }
  const std::string path = Ui().FileDialog(ExportDialog());
  if (path.empty()) return;
  ShowOutcome(ExportLog(controller.Events(), path), kLogWritten);
}

}  // namespace molvane
