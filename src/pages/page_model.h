#pragma once
#include <string>

namespace molvane {

class CartController;
class UiServices;

// What the main window asks of every page. The Qt views forward to these; the connection check
// calls them without knowing which page is which.
class PageModel {
 public:
  PageModel(CartController& controller, UiServices& ui) : controller(controller), ui(ui) {}
  virtual ~PageModel() = default;
  PageModel(const PageModel&) = delete;
  PageModel& operator=(const PageModel&) = delete;

  virtual const char* Title() const = 0;
  virtual void Start() {}
  virtual void CartNotice(bool present) { (void)present; }
  // Only the Testing, Service and Factory Calibration pages are polled.
  virtual bool IsPolled() const { return false; }
  virtual void Poll() {}

 protected:
  CartController& controller;
  UiServices& ui;
};

}  // namespace molvane
