#pragma once
#include <string>

#include "app/outcome.h"

namespace molvane {

class CartController;
class CartThread;
class UiServices;

// Takes what the cart reported into a field; a read that failed leaves the field as it was, so
// that a lost reply never shows as the cart's value (nor goes back to the cart as one).
inline void KeepIfRead(std::string& field, Result<std::string> read) {
  if (read) field = std::move(read.value);
}

// What a page's view does for its model: the field exchange. Reading all fields copies the
// controls into the model's fields, writing all fields copies the model's fields (and whatever
// else the controls show of the model: lists, enabled states, pictures) into the controls. The
// model calls these at the points its operations name; a model without a view skips them.
class FieldExchange {
 public:
  virtual ~FieldExchange() = default;
  virtual void ReadAllFields() = 0;
  virtual void WriteAllFields() = 0;
};

// One page of the main window as plain C++: its fields and operations. The Qt view builds the
// widgets, forwards the buttons, tells the model when it is shown or hidden, and calls Tick on
// the page timer. The main window calls Start once, CartNotice when the cart count changes and
// Poll on the page in front when the page is polled.
class PageModel {
 public:
  PageModel(CartController& controller, UiServices& ui) : controller(controller), ui(ui) {}
  virtual ~PageModel() = default;
  PageModel(const PageModel&) = delete;
  PageModel& operator=(const PageModel&) = delete;

  virtual const char* Title() const = 0;
  virtual void Start() {}
  virtual void CartNotice(bool present) { (void)present; }
  // Whether the main window polls the page while it is in front.
  virtual bool IsPolled() const { return false; }
  virtual void Poll() {}

  // The window system shows or hides the page; the default notes it.
  virtual void Show(bool visible) { shown = visible; }
  bool IsShown() const { return shown; }

  // The page timer: the view ticks the page every TimerPeriodMs() for the page's whole life
  // (0: no timer). A page whose work belongs only to its visible time checks IsShown itself.
  virtual int TimerPeriodMs() const { return 0; }
  virtual void Tick() {}

  void SetFieldExchange(FieldExchange* view) { fields = view; }
  // The thread the page's cart work runs on; the view posts the page's operations there.
  CartThread& Worker() const;

 protected:
  void ReadAllFields() {
    if (fields != nullptr) fields->ReadAllFields();
  }
  void WriteAllFields() {
    if (fields != nullptr) fields->WriteAllFields();
  }
  UiServices& Ui() const { return ui; }
  // A message box with OK and the application's name as caption.
  void ShowMessage(const std::string& text) const;
  // The confirmation when the operation went through, otherwise its failure's own text.
  void ShowOutcome(const Outcome& outcome, const std::string& confirmation = {}) const;

  CartController& controller;
  UiServices& ui;
  bool shown = false;

 private:
  FieldExchange* fields = nullptr;
};

}  // namespace molvane
