#include "pages/main_window_model.h"

#include "app/cart_controller.h"
#include "cart/pin_list.h"
#include "pages/ui_services.h"
#include "pages/page_model.h"

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

void MainWindowModel::OnTimer() {
  if (closing) return;
  if (!controller.IsBusy() && TickDue(connectionTicks, kConnectionCheckTicks)) CheckConnection();
  if (TickDue(refreshTicks, kPollTicks)) PollFrontPage();
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

void MainWindowModel::CheckConnection() {
  // The Service page talks to the cart on its own timer; a keep-alive would cut across it.
  if (!ServiceInFront()) controller.GetStatus();
  UpdateConnectionText();
  if (showConnection) showConnection();
  const int carts = controller.CartCount();
  if (carts != previousCartCount) NoticeCartCountChange(carts);
  WarnAboutExcessCarts(controller.CartCount());
}

void MainWindowModel::UpdateConnectionText() {
  const int found = controller.PortsFound();
  if (controller.HasCart() && !ServiceInFront()) {
    connectionText = kConnected;
  } else if (found >= 1) {
    connectionText = "Num FTDI: " + std::to_string(found);
  } else {
    connectionText = kDisconnected;
  }
}

void MainWindowModel::NoticeCartCountChange(int carts) {
  previousCartCount = carts;
  NoticeAll(carts > 0);
  if (carts > 0) WarnAboutPinAge();
}

// A list that could not be read says nothing of the cart's PINs: the operator is told that,
// never that only the factory PIN is active.
void MainWindowModel::WarnAboutPinAge() {
  const Outcome read = DumpPinList(controller);
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
  if (controller.CartCount() < 2) tooManyCartsShown = 0;
}

void MainWindowModel::PollFrontPage() {
  if (frontPage < 0 || frontPage >= kPageCount) return;
  PageModel* page = pages[static_cast<std::size_t>(frontPage)];
  if (page != nullptr && page->IsPolled()) page->Poll();
}

void MainWindowModel::NoticeAll(bool present) {
  for (PageModel* page : pages) {
    if (page != nullptr) page->CartNotice(present);
  }
}

void MainWindowModel::Show(const std::string& text) { ui.MessageBox(text); }

}  // namespace molvane
