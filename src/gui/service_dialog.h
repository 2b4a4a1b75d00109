#pragma once
#include "gui/page_view.h"
#include "pages/service_page.h"

namespace molvane {

class ServiceDialog : public PageView {
  Q_OBJECT

 public:
  explicit ServiceDialog(CartController& controller, QWidget* parent = nullptr);
  PageModel& Model() override { return model; }

 private:
  ServicePage model;
};

}  // namespace molvane
