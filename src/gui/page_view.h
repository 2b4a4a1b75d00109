#pragma once
#include <QWidget>

#include "pages/page_model.h"

namespace molvane {

// A page of the main window: a thin Qt view over its model. The window reaches the model
// through here without knowing which page it is.
class PageView : public QWidget {
  Q_OBJECT

 public:
  using QWidget::QWidget;
  virtual PageModel& Model() = 0;
};

}  // namespace molvane
