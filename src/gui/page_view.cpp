#include "gui/page_view.h"

#include <QAbstractButton>
#include <QHideEvent>
#include <QPointer>
#include <QShowEvent>
#include <QTimer>

#include "app/cart_thread.h"
#include "gui/page_button.h"

namespace molvane {

WindowDispatch DispatchTo(QObject* context) {
  return [guard = QPointer<QObject>(context)](std::function<void()> call) {
    if (guard.isNull()) return;
    QMetaObject::invokeMethod(guard.data(), std::move(call), Qt::QueuedConnection);
  };
}

PageView::~PageView() {
  *alive = false;
  bound = nullptr;
}

void PageView::ReadAllFields() { fields.ReadAll(); }

void PageView::WriteAllFields() {
  fields.WriteAll();
  WriteState();
}

void PageView::Bind() {
  PageModel& model = Model();
  bound = &model;
  windowFields = std::make_unique<WindowFields>(*this, model.Worker(), DispatchTo(this));
  model.SetFieldExchange(windowFields.get());
  if (model.TimerPeriodMs() <= 0) return;
  pageTimer = new QTimer(this);
  pageTimer->setObjectName("pageTimer");
  connect(pageTimer, &QTimer::timeout, this,
          [this] { Post([](PageModel& page) { page.Tick(); }, bound->Title()); });
  pageTimer->start(model.TimerPeriodMs());
}

void PageView::Post(std::function<void(PageModel&)> work, const char* key) {
  if (bound == nullptr) return;
  PageModel* model = bound;
  model->Worker().Post(
      [model, work = std::move(work), alive = alive] {
        if (*alive) work(*model);
      },
      {}, key);
}

void PageView::Act(std::function<void()> work, const QString& title) {
  if (bound == nullptr) return;
  ++acting;
  ApplyButtons();
  // The buttons come back through the window's queue, after whatever the work showed there.
  bound->Worker().Post(
      [this, work = std::move(work), back = DispatchTo(this), alive = alive] {
        if (*alive) work();
        back([this] {
          --acting;
          ApplyButtons();
        });
      },
      title.toStdString());
}

PageButton* PageView::AddButton(const QString& text, const char* name, QWidget* parent,
                                std::function<void()> act, bool sends) {
  auto* button = new PageButton(text, name, parent);
  buttons[button] = {true, sends};
  connect(button, &QPushButton::clicked, this,
          [this, act = std::move(act), text] { Act(act, QString(text).remove('\n')); });
  return button;
}

void PageView::SetWanted(QAbstractButton* button, bool enabled) {
  buttons[button].wanted = enabled;
  ApplyButtons();
}

void PageView::HoldForTransfer(bool running) {
  if (running == transferRunning) return;
  transferRunning = running;
  ApplyButtons();
}

void PageView::ApplyButtons() {
  QWidget* focusedBefore = window()->focusWidget();
  for (const auto& [button, state] : buttons) {
    const bool heldByTransfer = transferRunning && state.sends;
    const bool held = acting > 0 || heldByTransfer;
    button->setEnabled(state.wanted && !held);
    button->setToolTip(heldByTransfer ? kTransferTip : acting > 0 ? kRunningTip : QString());
  }
  KeepFocus(focusedBefore);
}

// Without this, Enter or Space on a page's button followed by Tab lands two controls further on
// (or on the window's Cancel), since the focus left the button while its work ran.
void PageView::KeepFocus(QWidget* focusedBefore) {
  QWidget* focusNow = window()->focusWidget();
  if (heldFocus.isNull() && focusedBefore != nullptr && focusedBefore != focusNow &&
      buttons.contains(qobject_cast<QAbstractButton*>(focusedBefore))) {
    heldFocus = focusedBefore;
    focusMovedTo = focusNow;
    return;
  }
  if (heldFocus.isNull() || !heldFocus->isEnabled()) return;
  if (focusNow == focusMovedTo) heldFocus->setFocus(Qt::OtherFocusReason);
  heldFocus = nullptr;
  focusMovedTo = nullptr;
}

// Only the tab switch counts: the whole window being minimised or restored does not show or hide
// a page in the operator's sense, and those events come from the window system.
void PageView::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  if (!event->spontaneous()) Post([](PageModel& page) { page.Show(true); });
}

void PageView::hideEvent(QHideEvent* event) {
  QWidget::hideEvent(event);
  if (!event->spontaneous()) Post([](PageModel& page) { page.Show(false); });
}

}  // namespace molvane
