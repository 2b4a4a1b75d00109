#pragma once
#include "gui/page_view.h"
#include "pages/log_page.h"

namespace molvane {

class LogDialog : public PageView {
  Q_OBJECT

 public:
  explicit LogDialog(CartController& controller, QWidget* parent = nullptr);
  PageModel& Model() override { return model; }

 private:
  LogPage model;
};

}  // namespace molvane
