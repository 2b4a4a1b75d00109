#include "pages/main_window_model.h"

#include "app/cart_controller.h"
#include "app/cart_thread.h"
#include "cart/pin_list.h"
#include "pages/failure_text.h"
#include "pages/fleet_recorder.h"
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

// What one connection check found.
struct MainWindowModel::Check {
  std::string text;
  int carts = 0;
  std::string fleetWarning;
};

namespace {

// The field says what the last check found, whichever page is in front: a cart that answers is
// connected there too.
std::string StatusText(const CartController& controller) {
  const int found = controller.PortsFound();
  if (controller.HasCart()) return kConnected;
  if (found >= 1) return "Num FTDI: " + std::to_string(found);
  return kDisconnected;
}

}  // namespace

MainWindowModel::MainWindowModel(CartController& controller, UiServices& ui,
                                 const std::array<PageModel*, kPageCount>& pages)
    : CartClient(controller, ui), transfers(controller), pages(pages) {}

// Only counting happens here. A check or a poll already waiting is not asked for again, so
// nothing piles up behind a long read. What the timer starts is nobody's operation, even while
// one of the File menu's waits in a box.
void MainWindowModel::OnTimer() {
  if (closing) return;
  Apart([this] {
    if (!Link().IsBusy() && TickDue(connectionTicks, kConnectionCheckTicks)) CheckConnection();
    if (TickDue(refreshTicks, kPollTicks)) PollFrontPage();
  });
}

std::string MainWindowModel::StatusTip() const { return FailureText({}, Link().GetMessage()); }

// The window keeps painting while the worker winds down; a close asked for meanwhile is the
// same close and is not asked again.
bool MainWindowModel::MayClose() {
  if (closing) return false;
  if (!Link().IsBusy()) return true;
  closing = true;
  const bool cancel =
      ui.MessageBox(kCancelTransfer, UiServices::Buttons::YesNo) == UiServices::Answer::Yes;
  if (cancel) {
    // The transfer stops between pages and lines, and its waits end with the cancel.
    transfers.CancelTransfer();
    WaitCursor cursor(ui);
    while (transfers.IsBusy()) ui.Sleep(kCancelPollMs);
    transfers.WaitForTransfer();
  }
  closing = false;
  return cancel;
}

// The keep-alive goes with the cart; what a changed count brings (page notices, reading the
// PINs, warnings) follows here, each piece of cart work after whatever waits already. Every
// exchange runs on the cart thread one after the other, so the keep-alive cuts across no page's
// (the Service page's included), and a cart unplugged on any page is noticed.
void MainWindowModel::CheckConnection() {
  OnCart(
      [fleet = Fleet()](CartController& c) {
        Check check;
        if (c.IsBusy()) return check;
        // A keep-alive that fails has done its work: the port is given up and the status says so.
        (void)c.GetStatus();
        check.text = StatusText(c);
        check.carts = c.CartCount();
        // The fleet record sees each cart once while it stays; one that goes ends its visit,
        // so a cart plugged in again, or another one, is a new visit.
        if (c.HasCart()) {
          fleet->Seen(c);
        } else {
          fleet->Gone();
        }
        check.fleetWarning = fleet->TakeWarning();
        return check;
      },
      [this](const Check& check) {
        TellFleet(check.fleetWarning);
        TakeCheck(check);
      },
      {.key = "connection check"});
}

// The window's timers keep running while one of the check's boxes is open; the status field
// follows the cart meanwhile, but what a changed count brings waits until the box is answered,
// so no box of the check's opens on top of another.
void MainWindowModel::TakeCheck(const Check& check) {
  if (check.text.empty()) return;  // a transfer had the link
  connectionText = check.text;
  if (showConnection) showConnection(check.text);
  if (boxesOpen > 0) return;
  if (check.carts != previousCartCount) {
    previousCartCount = check.carts;
    NoticeCartCountChange(check.carts);
  }
}

void MainWindowModel::NoticeCartCountChange(int carts) {
  NoticeAll(carts > 0);
  if (carts > 0) WarnAboutPinAge();
  WarnAboutExcessCarts(carts);
}

// A list that could not be read says nothing of the cart's PINs: the operator is told that,
// never that only the factory PIN is active.
void MainWindowModel::WarnAboutPinAge() {
  OnCart(
      [fleet = Fleet()](CartController& c) {
        std::pair<Result<int>, std::string> read;
        Result<int>& age = read.first;
        age.outcome = DumpPinList(c, JobProgress());
        if (age) {
          age.value = PinAgeDaysClamped(c.Pins(), c.Pins().oldestIndex);
          fleet->PinsRead(c.Pins());
          fleet->Finish(c);
        }
        read.second = fleet->TakeWarning();
        return read;
      },
      [this](const std::pair<Result<int>, std::string>& read) {
        TellFleet(read.second);
        const Result<int>& age = read.first;
        if (!age) {
          ShowError(FailureText("Reading the cart's PIN list", age.outcome.text));
        } else if (age.value > kPinExpiryDays) {
          Show(ExpiredPinText(age.value));
        } else if (age.value == -1) {
          Show(kFactoryPin);
        } else {
          Show(ActivePinText(age.value));
        }
      },
      {.title = "Reading the PIN list"});
}

void MainWindowModel::WarnAboutExcessCarts(int carts) {
  if (carts > 1 && tooManyCartsShown == 0) {
    tooManyCartsShown = 1;
    Show(kOneCartOnly);
  }
  if (carts < 2) tooManyCartsShown = 0;
}

void MainWindowModel::PollFrontPage() {
  const int front = FrontPage();
  if (front < 0 || front >= kPageCount) return;
  PageModel* page = pages[static_cast<std::size_t>(front)];
  if (page != nullptr && page->IsPolled()) page->Apart([page] { page->Poll(); });
}

// What the pages read of the cart that came is nobody's operation, even when a restore's
// result asks for it.
void MainWindowModel::NoticeAll(bool present) {
  for (PageModel* page : pages) {
    if (page != nullptr) page->Apart([page, present] { page->CartNotice(present); });
  }
}

void MainWindowModel::Show(const std::string& text) {
  ++boxesOpen;
  ui.MessageBox(text);
  --boxesOpen;
}

void MainWindowModel::ShowError(const std::string& text) {
  ++boxesOpen;
  TellLink(text);
  ui.ShowError(text);
  --boxesOpen;
}

}  // namespace molvane
