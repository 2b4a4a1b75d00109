#include "gui/page_view.h"

#include <QHideEvent>
#include <QShowEvent>
#include <QTimer>

namespace molvane {

PageView::~PageView() { bound = nullptr; }

void PageView::ReadAllFields() { fields.ReadAll(); }

void PageView::WriteAllFields() {
  fields.WriteAll();
  WriteState();
}

void PageView::Bind() {
  PageModel& model = Model();
  bound = &model;
  model.SetFieldExchange(this);
  if (model.TimerPeriodMs() <= 0) return;
  pageTimer = new QTimer(this);
  pageTimer->setObjectName("pageTimer");
  connect(pageTimer, &QTimer::timeout, this, [this] {
    if (bound != nullptr) bound->Tick();
  });
  pageTimer->start(model.TimerPeriodMs());
}

// Only the tab switch counts: the whole window being minimised or restored does not show or hide
// a page in the operator's sense, and those events come from the window system.
void PageView::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  if (bound != nullptr && !event->spontaneous()) bound->Show(true);
}

void PageView::hideEvent(QHideEvent* event) {
  QWidget::hideEvent(event);
  if (bound != nullptr && !event->spontaneous()) bound->Show(false);
}

}  // namespace molvane
