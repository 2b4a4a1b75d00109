#pragma once
#include <array>
#include <functional>
#include <string>

namespace molvane {

class CartController;
class PageModel;
class UiServices;

// What the main window does on its 100 ms timer, without the window: the connection check with
// its status text, page notices and warnings, and the polling of the page in front. The view
// calls OnTimer on every tick, tells the model which tab is in front, and shows connectionText.
//
// OnTimer may be entered again from inside one of its own message boxes (the box runs a message
// loop that keeps the timer ticking). The stored counts are updated before any box opens, so a
// nested tick never shows the same message a second time for one change.
class MainWindowModel {
 public:
  static constexpr int kPageCount = 6;
  // Tab order.
  enum Page { kSetupPage, kPinListPage, kLogPage, kTestingPage, kServicePage, kCalibratePage };
  static constexpr int kConnectionCheckTicks = 22;  // about 2.2 s
  static constexpr int kPollTicks = 7;              // about 700 ms
  static constexpr int kPinExpiryDays = 30;

  MainWindowModel(CartController& controller, UiServices& ui,
                  const std::array<PageModel*, kPageCount>& pages);

  void OnTimer();
  // Asked before the window closes. A running transfer is cancelled when the operator agrees,
  // and its worker has ended by the time this returns true; false keeps the window open.
  bool MayClose();
  void SetFrontPage(int index) { frontPage = index; }
  int FrontPage() const { return frontPage; }
  bool ServiceInFront() const { return frontPage == kServicePage; }

  std::string connectionText;
  // The view's status field. Called whenever the connection is checked, before any message box
  // of that check opens: the box's event loop holds up the timer, so a field painted only after
  // OnTimer returns would stay stale (blank at start-up) behind the box.
  std::function<void()> showConnection;
  int previousCartCount = 0;
  int connectionTicks = 0;
  int refreshTicks = 0;
  int tooManyCartsShown = 0;

  // Tells every page, in tab order, that a cart came (true) or went.
  void NoticeAll(bool present);

 private:
  void CheckConnection();
  void UpdateConnectionText();
  void NoticeCartCountChange(int carts);
  void WarnAboutPinAge();
  void WarnAboutExcessCarts(int carts);
  void PollFrontPage();
  void Show(const std::string& text);

  CartController& controller;
  UiServices& ui;
  std::array<PageModel*, kPageCount> pages;
  int frontPage = kSetupPage;
  bool closing = false;  // waiting for a cancelled transfer to end
};

}  // namespace molvane
