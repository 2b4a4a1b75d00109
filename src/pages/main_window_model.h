#pragma once
#include <array>
#include <atomic>
#include <functional>
#include <mutex>
#include <string>

namespace molvane {

class CartController;
class PageModel;
class UiServices;

// What the main window does on its 100 ms timer, without the window. The window's thread only
// counts ticks: the connection check (keep-alive, status text, page notices and warnings) and
// the polling of the page in front run on the controller's cart thread, the check interleaved
// so that it keeps its rhythm while a job waits for a box. The view calls OnTimer on every tick,
// tells the model which tab is in front, and shows what showConnection hands it.
class MainWindowModel {
 public:
  static constexpr int kPageCount = 6;
  // Tab order.
  enum Page { kSetupPage, kPinListPage, kLogPage, kTestingPage, kServicePage, kCalibratePage };
  static constexpr int kConnectionCheckTicks = 22;  // about 2.2 s
  static constexpr int kPollTicks = 7;              // about 700 ms
  static constexpr int kPinExpiryDays = 30;

  // `ui` is what the cart thread's jobs show boxes with (the window's, reached across threads).
  MainWindowModel(CartController& controller, UiServices& ui,
                  const std::array<PageModel*, kPageCount>& pages);

  // The window's thread, every tick.
  void OnTimer();
  // Asked on the window's thread before the window closes. A running transfer is cancelled when
  // the operator agrees, and its worker has ended by the time this returns true; false keeps
  // the window open.
  bool MayClose();
  void SetFrontPage(int index) { frontPage = index; }
  int FrontPage() const { return frontPage; }
  bool ServiceInFront() const { return frontPage == kServicePage; }

  // The status field's text as the last check left it.
  std::string ConnectionText() const;
  // Hears each new status text, on the cart thread, before any box of that check opens.
  std::function<void(const std::string& text)> showConnection;

  // Tells every page, in tab order, that a cart came (true) or went. On the cart thread.
  void NoticeAll(bool present);

  // Counts as the check left them (read on the cart thread, or after it went idle).
  int previousCartCount = 0;
  int tooManyCartsShown = 0;

 private:
  void CheckConnection();
  std::string StatusText() const;
  void NoticeCartCountChange(int carts);
  void WarnAboutPinAge();
  void WarnAboutExcessCarts(int carts);
  void PollFrontPage();
  void Show(const std::string& text);

  CartController& controller;
  UiServices& ui;
  std::array<PageModel*, kPageCount> pages;
  std::atomic<int> frontPage{kSetupPage};
  int connectionTicks = 0;  // the window's thread only
  int refreshTicks = 0;
  bool closing = false;  // waiting for a cancelled transfer to end
  mutable std::mutex textMutex;
  std::string connectionText;
};

}  // namespace molvane
