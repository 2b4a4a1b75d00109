#include "pages/main_window_model.h"

#include "app/cart_controller.h"
#include "app/cart_thread.h"
#include "cart/pin_list.h"
#include "pages/page_model.h"
#include "pages/ui_services.h"

namespace molvane {
namespace {

constexpr const char* kConnected = "Connected";
constexpr const char* kDisconnected = "Disconnected";
constexpr const char* kFactoryPin = "Factory default PIN still active.";
constexpr const char* kOneCartOnly =
    "This software supports only one cart. Please unplug the excess carts.";
constexpr const char* kCancelTransfer =
    "An update is still running. Do you want to cancel it and close the program?";
constexpr int kCancelPollMs = 50;

std::string ExpiredPinText(int days) {
  return "A pin code has expired on this cart.\nIt has been active for " + std::to_string(days) +
         " days";
}

std::string ActivePinText(int days) {
  return "A pin code has been active on this cart for " + std::to_string(days) + " days";
}

// Counts a tick; true on every period-th one, which starts the count again.
bool TickDue(int& ticks, int period) {
  if (ticks++ < period - 1) return false;
  ticks = 0;
  return true;
}

}  // namespace

MainWindowModel::MainWindowModel(CartController& controller, UiServices& ui,
                                 const std::array<PageModel*, kPageCount>& pages)
    : controller(controller), ui(ui), pages(pages) {}

// Only counting happens here. A check or a poll already waiting is not asked for again, so
// nothing piles up behind a long read.
void MainWindowModel::OnTimer() {
  if (closing) return;
  CartThread& worker = controller.Worker();
  if (!controller.IsBusy() && TickDue(connectionTicks, kConnectionCheckTicks)) {
    worker.PostInterleaved([this] { CheckConnection(); }, "connection check");
  }
  if (TickDue(refreshTicks, kPollTicks)) worker.Post([this] { PollFrontPage(); }, {}, "poll");
}

// The window keeps painting while the worker winds down; a close asked for meanwhile is the
// same close and is not asked again.
bool MainWindowModel::MayClose() {
  if (closing) return false;
  if (!controller.IsBusy()) return true;
  closing = true;
  const bool cancel =
      ui.MessageBox(kCancelTransfer, UiServices::Buttons::YesNo) == UiServices::Answer::Yes;
  if (cancel) {
    controller.CancelTransfer();
    WaitCursor cursor(ui);
    while (controller.IsBusy()) ui.Sleep(kCancelPollMs);
    controller.WaitForTransfer();
  }
  closing = false;
  return cancel;
}

// Interleaved: it may run while a page's job waits for a box, so it only sends the keep-alive
// and shows the status; what a changed count brings (page notices, reading the PINs, warnings)
// is a job of its own, after whatever runs now.
void MainWindowModel::CheckConnection() {
  if (controller.IsBusy()) return;
  // The Service page talks to the cart on its own timer; a keep-alive would cut across it.
  if (!ServiceInFront()) controller.GetStatus();
  const std::string text = StatusText();
  {
    std::lock_guard lock(textMutex);
    connectionText = text;
  }
  if (showConnection) showConnection(text);
  const int carts = controller.CartCount();
  if (carts != previousCartCount) {
    previousCartCount = carts;
    controller.Worker().Post([this, carts] { NoticeCartCountChange(carts); });
  }
}

std::string MainWindowModel::ConnectionText() const {
  std::lock_guard lock(textMutex);
  return connectionText;
}

std::string MainWindowModel::StatusText() const {
  const int found = controller.PortsFound();
  if (controller.HasCart() && !ServiceInFront()) return kConnected;
  if (found >= 1) return "Num FTDI: " + std::to_string(found);
  return kDisconnected;
}

void MainWindowModel::NoticeCartCountChange(int carts) {
  NoticeAll(carts > 0);
  if (carts > 0) WarnAboutPinAge();
  WarnAboutExcessCarts(carts);
}

// A list that could not be read says nothing of the cart's PINs: the operator is told that,
// never that only the factory PIN is active.
void MainWindowModel::WarnAboutPinAge() {
  const Outcome read = DumpPinList(controller, JobProgress());
  if (!read) {
    Show("The cart's PIN list could not be read: " + read.text);
    return;
  }
  const PinList& list = controller.Pins();
  const int age = PinAgeDaysClamped(list, list.oldestIndex);
  if (age > kPinExpiryDays) {
    Show(ExpiredPinText(age));
  } else if (age == -1) {
    Show(kFactoryPin);
  } else {
    Show(ActivePinText(age));
  }
}

void MainWindowModel::WarnAboutExcessCarts(int carts) {
  if (carts > 1 && tooManyCartsShown == 0) {
    tooManyCartsShown = 1;
    Show(kOneCartOnly);
  }
  if (carts < 2) tooManyCartsShown = 0;
}

void MainWindowModel::PollFrontPage() {
  const int front = frontPage.load();
  if (front < 0 || front >= kPageCount) return;
  PageModel* page = pages[static_cast<std::size_t>(front)];
  if (page != nullptr && page->IsPolled()) page->Poll();
}

void MainWindowModel::NoticeAll(bool present) {
  for (PageModel* page : pages) {
    if (page != nullptr) page->CartNotice(present);
  }
}

void MainWindowModel::Show(const std::string& text) { ui.MessageBox(text); }

}  // namespace molvane
