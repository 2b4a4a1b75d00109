#include "pages/log_page.h"

#include "app/cart_controller.h"
#include "app/operation_scope.h"
#include "pages/ui_services.h"
#include "cart/event_log_texts.h"

namespace molvane {

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
  if (refreshPending && !controller.IsBusy()) Refresh();
}

void LogPage::Refresh() {
  refreshPending = false;
  controller.DumpLog();
  const int count = controller.LogCount();
  lines.clear();
  lines.reserve(static_cast<std::size_t>(count));
  for (int i = 0; i < count; ++i) lines.push_back(controller.LogLine(i));
  WriteAllFields();
}

void LogPage::GetList() { Refresh(); }

// The cart's log is cleared without a question; reading it again shows what the cart now holds.
void LogPage::ClearList() {
  controller.ClearLog();
  Refresh();
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

// The file holds the events last read; the cart is not asked again.
void LogPage::Export() {
  const std::string path = Ui().FileDialog(ExportDialog());
  if (path.empty()) return;
  OperationScope operation(controller);
  if (!controller.ExportLog(path)) operation.Fail(LogNotWritten(path));
  ShowMessage(operation.Outcome(kLogWritten));
}

}  // namespace molvane
