#pragma once
#include <string>
#include <vector>

#include "gui/page_view.h"
#include "pages/log_page.h"

class QListWidget;

namespace molvane {

class LogDialog : public PageView {
  Q_OBJECT

 public:
  LogDialog(CartController& controller, UiServices& ui, QWidget* parent = nullptr);
  PageModel& Model() override { return model; }

 protected:
  void WriteState() override;

 private:
  LogPage model;
  QListWidget* list = nullptr;
  std::vector<std::string> listed;  // what the list shows, so an unchanged log is not refilled
};

}  // namespace molvane
