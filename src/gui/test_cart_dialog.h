#pragma once
#include "gui/page_view.h"
#include "pages/testing_page.h"

namespace molvane {

class TestCartDialog : public PageView {
  Q_OBJECT

 public:
  TestCartDialog(CartController& controller, UiServices& ui, QWidget* parent = nullptr);
  PageModel& Model() override { return model; }

 private:
  TestingPage model;
};

}  // namespace molvane
