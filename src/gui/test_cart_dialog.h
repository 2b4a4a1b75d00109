#pragma once
#include "gui/page_view.h"
#include "pages/testing_page.h"

namespace molvane {

class TestCartDialog : public PageView {
  Q_OBJECT

 public:
  explicit TestCartDialog(CartController& controller, QWidget* parent = nullptr);
  PageModel& Model() override { return model; }

 private:
  TestingPage model;
};

}  // namespace molvane
