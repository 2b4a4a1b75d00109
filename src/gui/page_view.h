#pragma once
#include <QPointer>
#include <QWidget>
#include <functional>
#include <map>
#include <memory>

#include "gui/field_bindings.h"
#include "pages/page_model.h"
#include "pages/threaded_runner.h"

class QAbstractButton;
class QTimer;

namespace molvane {

class PageButton;

// A page of the main window: a thin Qt view over its model. It builds the widgets, binds them to
// the model's fields, and runs the model on this, the window's, thread; the model's cart work
// goes to the cart thread and what it read comes back here, so the window never waits for the
// cart and only this thread touches the controls.
//
// While one of the page's own operations runs, its buttons are held, so nothing is pressed
// twice; while a firmware or bitmap transfer has the link, the buttons that talk to the cart are
// held with a tip that says why.
class PageView : public QWidget, public FieldExchange {
  Q_OBJECT

 public:
  static constexpr const char* kTransferTip =
      "A firmware or bitmap transfer has the link to the cart; try again when it has ended.";
  static constexpr const char* kRunningTip = "The page's last operation is still running.";

  explicit PageView(QWidget* parent = nullptr);
  ~PageView() override;
  virtual PageModel& Model() = 0;

  void ReadAllFields() override;
  void WriteAllFields() override;

  // Runs `operation` as one of the operator's own: the page's buttons are held until the cart
  // work it starts (and what that work's results start) has ended. `title` names it in the
  // window's progress bar when it takes a while, and names a transfer it starts.
  void Act(const std::function<void()>& operation, const QString& title = {});
  // Called by the main window's timer.
  void HoldForTransfer(bool transferRunning);
  bool Acting() const { return runner && runner->Held() > 0; }

 signals:
  // The operator started an operation named `title` (a button's).
  void acting(const QString& title);

 protected:
  // Called at the end of a view's constructor, once its widgets are bound: the model starts
  // using this view for its field exchange and the cart thread for its work, and the page timer
  // starts when the model has one.
  void Bind();
  // What the view shows of the model beyond the bound fields: lists, enabled states, pictures.
  virtual void WriteState() {}

  // A button that runs `act` as the operator's operation, named by the button's accessible name
  // (else its text). `sends`: it talks to the cart, so a transfer holds it.
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
  // A focused button that is held would hand the focus on to the next control, an edit field
  // perhaps, where a stray key would change what it shows: the page itself keeps the focus
  // meanwhile. Once the button is free again it takes the focus back, unless the operator has
  // moved it.
  void HoldFocus(QWidget* focused);
  void KeepFocus(QWidget* focusedBefore);

  std::unique_ptr<ThreadedRunner> runner;  // made once the model is bound
  QTimer* pageTimer = nullptr;
  PageModel* bound = nullptr;
  std::map<QAbstractButton*, ButtonState> buttons;
  QPointer<QWidget> heldFocus;     // the held button that had the focus
  QPointer<QWidget> focusMovedTo;  // where the focus went when it was held
  bool transferRunning = false;
};

// Runs a closure later on the window's thread, and not at all once `context` is gone. Safe to
// call from any thread: `context` is looked at only on the window's thread.
WindowDispatch DispatchTo(QObject* context);

}  // namespace molvane
