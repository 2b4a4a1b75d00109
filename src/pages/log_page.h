#pragma once
#include <string>
#include <vector>

#include "cart/event_log.h"
#include "pages/page_model.h"

namespace molvane {

struct FileDialogRequest;

// The cart's access log, one line per event in the order the cart keeps them. It is read when
// the page shows after a cart was found, and again on request.
class LogPage : public PageModel {
 public:
  using PageModel::PageModel;

  const char* Title() const override { return "Log"; }
  void Start() override;
  void Show(bool visible) override;
  void CartNotice(bool present) override;

  // The buttons.
  void GetList();
  void ClearList();
  void Export();

  void Refresh();

  // The save dialog Export shows.
  static FileDialogRequest ExportDialog();

  std::vector<std::string> lines;
  bool refreshPending = false;
  // The lines show a log read whole from the cart; after a failed read they show the last log
  // that was, and Export refuses to write it as the cart's.
  bool logRead = false;
  // The log the lines show, as last read whole.
  EventLog events;

 private:
  void RefreshWhenDue();
  // Reads the log (its own step, whatever the change did), then tells the change's failure
  // (`action` names it) and a read that failed after it, in one box.
  void RefreshAfter(const Outcome& change, const std::string& action, bool quietWithoutCart,
                    bool whileShown = false);
};

}  // namespace molvane
