#pragma once
#include <array>
#include <functional>
#include <string>

#include "pages/cart_client.h"

namespace molvane {

class CartController;
class PageModel;
class UiServices;

// What the main window does on its 100 ms timer, without the window, on the window's thread: it
// counts ticks, runs the connection check's keep-alive with the cart and then shows its status,
// tells the pages of a cart that came or went and warns about old PINs and excess carts; and it
// lets the page in front poll. The view calls OnTimer on every tick, tells the model which tab
// is in front, and shows what showConnection hands it.
class MainWindowModel : public CartClient {
 public:
  static constexpr int kPageCount = 6;
  // Tab order.
  enum Page { kSetupPage, kPinListPage, kLogPage, kTestingPage, kServicePage, kCalibratePage };
  static constexpr int kConnectionCheckTicks = 22;  // about 2.2 s
  static constexpr int kPollTicks = 7;              // about 700 ms
  static constexpr int kPinExpiryDays = 30;

  MainWindowModel(CartController& controller, UiServices& ui,
                  const std::array<PageModel*, kPageCount>& pages);

  // Every tick.
  void OnTimer();
  // Asked on the window's thread before the window closes. A running transfer is cancelled when
  // the operator agrees, and its worker has ended by the time this returns true; false keeps
  // the window open.
  bool MayClose();
  void SetFrontPage(int index) { frontPage = index; }
  int FrontPage() const { return frontPage; }

  // The status field's text as the last check left it.
  std::string ConnectionText() const { return connectionText; }
  // The status field's tip: the last failure, in words that say what to do about it.
  std::string StatusTip() const;
  // Hears each new status text, before any box of that check opens.
  std::function<void(const std::string& text)> showConnection;

  // Runs the connection check now, as every 22nd tick does.
  void CheckConnection();
  // Tells every page, in tab order, that a cart came (true) or went.
  void NoticeAll(bool present);

  // Counts as the check left them.
  int previousCartCount = 0;
  int tooManyCartsShown = 0;

 private:
  struct Check;
  void TakeCheck(const Check& check);
  void NoticeCartCountChange(int carts);
  void WarnAboutPinAge();
  void WarnAboutExcessCarts(int carts);
  void PollFrontPage();
  void Show(const std::string& text);
  void ShowError(const std::string& text);

  CartController& transfers;  // the running transfer, cancelled when the window closes
  std::array<PageModel*, kPageCount> pages;
  int frontPage = kSetupPage;
  int connectionTicks = 0;
  int refreshTicks = 0;
  bool closing = false;  // waiting for a cancelled transfer to end
  int boxesOpen = 0;     // the check's own boxes, answered or not
  std::string connectionText;
};

}  // namespace molvane
