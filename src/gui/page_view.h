#pragma once
#include <QPointer>
#include <QWidget>
#include <functional>
#include <map>
#include <memory>

#include "gui/field_bindings.h"
#include "pages/page_model.h"
#include "pages/window_ui.h"

class QAbstractButton;
class QTimer;

namespace molvane {

class PageButton;

// A page of the main window: a thin Qt view over its model. It builds the widgets, binds them to
// the model's fields, and hands everything the model does (its buttons, being shown or hidden,
// its timer) to the cart thread, so the window never waits for the cart. The model reaches the
// controls through a field exchange that runs on this thread while the cart thread waits.
//
// While one of the page's own operations runs or waits, its buttons are held, so nothing is
// pressed twice; while a firmware or bitmap transfer has the link, the buttons that talk to the
// cart are held with a tip that says why.
class PageView : public QWidget, public FieldExchange {
  Q_OBJECT

 public:
  static constexpr const char* kTransferTip =
      "A firmware or bitmap transfer has the link to the cart; try again when it has ended.";
  static constexpr const char* kRunningTip = "The page's last operation is still running.";

  using QWidget::QWidget;
  ~PageView() override;
  virtual PageModel& Model() = 0;

  // The field exchange, on the window's thread: the bound pairs, then whatever a view shows
  // beyond them.
  void ReadAllFields() override;
  void WriteAllFields() override;

  // Runs `work` on the cart thread, holding the page's buttons until it ends. `title` names it
  // in the window's progress bar when it takes a while.
  void Act(std::function<void()> work, const QString& title = {});
  // Called by the main window's timer.
  void HoldForTransfer(bool transferRunning);
  bool Acting() const { return acting > 0; }

 protected:
  // Called at the end of a view's constructor, once its widgets are bound: the model starts
  // using this view for its field exchange, and the page timer starts when the model has one.
  void Bind();
  // What the view shows of the model beyond the bound fields: lists, enabled states, pictures.
  virtual void WriteState() {}

  // A button that runs `act` on the cart thread. `sends`: it talks to the cart, so a transfer
  // holds it.
  PageButton* AddButton(const QString& text, const char* name, QWidget* parent,
                        std::function<void()> act, bool sends = true);
  // The enabled state the model asks for; shown as soon as nothing holds the button.
  void SetWanted(QAbstractButton* button, bool enabled);

  void showEvent(QShowEvent* event) override;
  void hideEvent(QHideEvent* event) override;

  FieldBindings fields;

 private:
  struct ButtonState {
    bool wanted = true;
    bool sends = true;
  };
  void ApplyButtons();
  // A focused button that is held loses the focus to the next control; once it is free again it
  // takes the focus back, unless the operator has moved it meanwhile.
  void KeepFocus(QWidget* focusedBefore);
  // Posts model work that is not the operator's own (showing, ticking): it holds nothing.
  void Post(std::function<void(PageModel&)> work, const char* key = "");

  QTimer* pageTimer = nullptr;
  PageModel* bound = nullptr;  // gone before the widget is: no event reaches a dead model
  std::unique_ptr<WindowFields> windowFields;
  std::map<QAbstractButton*, ButtonState> buttons;
  int acting = 0;
  QPointer<QWidget> heldFocus;     // the held button that had the focus
  QPointer<QWidget> focusMovedTo;  // where the focus went when it was held
  bool transferRunning = false;
  // Outlives the view in the cart thread's queue: a job for a view that is gone does nothing.
  std::shared_ptr<bool> alive = std::make_shared<bool>(true);
};

// Runs a closure later on the thread of `context`, and not at all once `context` is gone.
WindowDispatch DispatchTo(QObject* context);

}  // namespace molvane
