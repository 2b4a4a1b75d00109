#pragma once
#include <string>

#include "app/outcome.h"
#include "pages/cart_client.h"

namespace molvane {

// Takes what the cart reported into a field; a read that failed leaves the field as it was, so
// that a lost reply never shows as the cart's value (nor goes back to the cart as one).
inline void KeepIfRead(std::string& field, Result<std::string> read) {
  if (read) field = std::move(read.value);
}

// What a page's view does for its model: the field exchange, on the window's thread. Reading all
// fields copies the controls into the model's fields; writing all fields copies into the
// controls what the model changed since the last exchange (and whatever else the controls show
// of the model: lists, enabled states, pictures), leaving alone a control the operator has
// changed since. A model without a view skips both.
class FieldExchange {
 public:
  virtual ~FieldExchange() = default;
  virtual void ReadAllFields() = 0;
  virtual void WriteAllFields() = 0;
};

// One page of the main window as plain C++: its fields and operations, on the window's thread,
// with its cart work run through OnCart.
//
// The Qt view builds the widgets, forwards the buttons, tells the model when it is shown or
// hidden, and calls Tick on the page timer. The main window calls Start once, CartNotice when
// the cart count changes and Poll on the page in front when the page is polled.
class PageModel : public CartClient {
 public:
  PageModel(CartController& controller, UiServices& ui) : CartClient(controller, ui) {
    SetShownForWork(false);
  }

  virtual const char* Title() const = 0;
  virtual void Start() {}
  virtual void CartNotice(bool present) { (void)present; }
  // Whether the main window polls the page while it is in front.
  virtual bool IsPolled() const { return false; }
  virtual void Poll() {}

  // The window system shows or hides the page; the default notes it.
  virtual void Show(bool visible) { SetShown(visible); }
  bool IsShown() const { return shown; }

  // The page timer: the view ticks the page every TimerPeriodMs() for the page's whole life
  // (0: no timer). A page whose work belongs only to its visible time checks IsShown itself.
  virtual int TimerPeriodMs() const { return 0; }
  virtual void Tick() {}

  void SetFieldExchange(FieldExchange* view) { fields = view; }

 protected:
  void SetShown(bool visible) {
    shown = visible;
    SetShownForWork(visible);
  }
  void ReadAllFields() {
    if (fields != nullptr) fields->ReadAllFields();
  }
  void WriteAllFields() {
    if (fields != nullptr) fields->WriteAllFields();
  }
  // A message box with OK and the application's name as caption.
  void ShowMessage(const std::string& text) const;
  // An error box that names what failed (`action`) and what to do about it (FailureText); the
  // status field's tip says the same. Without an action, `failure` is shown as it stands.
  void ShowFailure(const std::string& action, const std::string& failure,
                   const std::string& caption = {}) const;
  // One box for a change and the reading that followed it: the change's failure (`note` added,
  // under `caption`), then the reading's (`readAction` names it) unless it failed for the same
  // reason, which adds nothing. A change the operator cancelled is told, but as no error.
  void TellChange(const Outcome& change, const std::string& action, const std::string& readAction,
                  const std::string& readFailure, const std::string& note = {},
                  const std::string& caption = {}) const;
  // The confirmation when the operation went through, otherwise its failure as ShowFailure
  // shows it.
  void ShowOutcome(const Outcome& outcome, const std::string& confirmation,
                   const std::string& action) const;

 private:
  bool shown = false;
  FieldExchange* fields = nullptr;
};

}  // namespace molvane
