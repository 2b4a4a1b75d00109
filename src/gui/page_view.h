#pragma once
#include <QWidget>

#include "gui/field_bindings.h"
#include "pages/page_model.h"

class QTimer;

namespace molvane {

// A page of the main window: a thin Qt view over its model. It builds the widgets, binds them to
// the model's fields, forwards the buttons, tells the model when the tab is shown or hidden and
// ticks the model's page timer. The window reaches the model through here without knowing which
// page it is.
class PageView : public QWidget, public FieldExchange {
  Q_OBJECT

 public:
  using QWidget::QWidget;
  ~PageView() override;
  virtual PageModel& Model() = 0;

  // The field exchange: the bound pairs, then whatever a view shows beyond them.
  void ReadAllFields() override;
  void WriteAllFields() override;

 protected:
  // Called at the end of a view's constructor, once its widgets are bound: the model starts
  // using this view for its field exchange, and the page timer starts when the model has one.
  void Bind();
  // What the view shows of the model beyond the bound fields: lists, enabled states, pictures.
  virtual void WriteState() {}

  void showEvent(QShowEvent* event) override;
  void hideEvent(QHideEvent* event) override;

  FieldBindings fields;

 private:
  QTimer* pageTimer = nullptr;
  PageModel* bound = nullptr;  // gone before the widget is: no event reaches a dead model
};

}  // namespace molvane
