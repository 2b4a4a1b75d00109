#include "gui/page_view.h"

#include <QAbstractButton>
#include <QCoreApplication>
#include <QHideEvent>
#include <QShowEvent>
#include <QTimer>

#include "app/cart_thread.h"
#include "gui/page_button.h"

namespace molvane {

WindowDispatch DispatchTo(QObject* context) {
  return [guard = QPointer<QObject>(context)](std::function<void()> call) {
    QCoreApplication* application = QCoreApplication::instance();
    if (application == nullptr) return;
    QMetaObject::invokeMethod(
        application,
        [guard, call = std::move(call)] {
          if (!guard.isNull()) call();
        },
        Qt::QueuedConnection);
  };
}

PageView::PageView(QWidget* parent) : QWidget(parent) {}

// The model is a member of the derived view and is gone by now: nothing here may reach it. The
// runner outlives it, and what the cart thread still hands back finds neither view nor runner.
PageView::~PageView() = default;

void PageView::ReadAllFields() { fields.ReadAll(); }

void PageView::WriteAllFields() {
  fields.WriteAll();
  WriteState();
}

void PageView::Bind() {
  PageModel& model = Model();
  bound = &model;
  model.SetFieldExchange(this);
  runner = std::make_unique<ThreadedRunner>(model.Worker(), DispatchTo(this));
  runner->onHeldChanged = [this] { ApplyButtons(); };
  model.SetRunner(runner.get());
  WriteAllFields();
  if (model.TimerPeriodMs() <= 0) return;
  pageTimer = new QTimer(this);
  pageTimer->setObjectName("pageTimer");
  connect(pageTimer, &QTimer::timeout, this, [this] { bound->Apart([this] { bound->Tick(); }); });
  pageTimer->start(model.TimerPeriodMs());
}

void PageView::Act(const std::function<void()>& operation, const QString& title) {
  if (!title.isEmpty()) emit acting(title);
  if (runner) {
    runner->AsOperatorAction(title.toStdString(), operation);
  } else {
    operation();
  }
}

PageButton* PageView::AddButton(const QString& text, const char* name, QWidget* parent,
                                std::function<void()> act, bool sends) {
  auto* button = new PageButton(text, name, parent);
  buttons[button] = {true, sends};
  connect(button, &QPushButton::clicked, this, [this, act = std::move(act), button] {
    const QString name = button->accessibleName();
    Act(act, name.isEmpty() ? button->text().remove('\n').remove('&') : name);
  });
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
  const bool acting = Acting();
  for (const auto& [button, state] : buttons) {
    const bool heldByTransfer = transferRunning && state.sends;
    const bool held = acting || heldByTransfer;
    const bool enabled = state.wanted && !held;
    if (!enabled && button == focusedBefore) HoldFocus(button);
    button->setEnabled(enabled);
    button->setToolTip(heldByTransfer ? kTransferTip : acting ? kRunningTip : QString());
  }
  KeepFocus(focusedBefore);
}

void PageView::HoldFocus(QWidget* focused) {
  if (!heldFocus.isNull()) return;
  heldFocus = focused;
  setFocus(Qt::OtherFocusReason);
  focusMovedTo = window()->focusWidget();
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
  if (heldFocus.isNull() || !heldFocus->isEnabled() || heldFocus == focusedBefore) return;
  if (focusNow == focusMovedTo) heldFocus->setFocus(Qt::OtherFocusReason);
  heldFocus = nullptr;
  focusMovedTo = nullptr;
}

// Only the tab switch counts: the whole window being minimised or restored does not show or hide
// a page in the operator's sense, and those events come from the window system.
void PageView::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  if (!event->spontaneous() && bound != nullptr) bound->Apart([this] { bound->Show(true); });
}

void PageView::hideEvent(QHideEvent* event) {
  QWidget::hideEvent(event);
  if (!event->spontaneous() && bound != nullptr) bound->Apart([this] { bound->Show(false); });
}

}  // namespace molvane
