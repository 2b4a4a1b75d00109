#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTimer>
#include <functional>
#include <string>
#include <vector>

#include "gui/molvane_dlg.h"
#include "gui/qt_test_app.h"
#include "gui/window_on_cart.h"
#include "support/controller_settings.h"
#include "support/recording_ui.h"
#include "support/sim_fixture.h"

namespace {

// Runs the window's event loop until `done` holds or the bound (that only catches a hang)
// runs out.
void RunUntil(QDialog& window, const std::function<bool()>& done, int boundMs = 15000) {
  QElapsedTimer clock;
  clock.start();
  QTimer check;
  QObject::connect(&check, &QTimer::timeout, [&] {
    if (done() || clock.elapsed() > boundMs) window.done(QDialog::Accepted);
  });
  check.start(50);
  window.exec();
}

// The window over a simulated cart that the port scanner finds through the extra port list.
TEST(MainWindowWithCart, ShowsConnectedBehindTheFirstBoxWarnsOnceAndOnEveryPage) {
  gui_testing::TestApp();
  testing_support::SimFixture fixture;
  ASSERT_TRUE(fixture.started);
  molvane::CartController& controller = fixture.controller;
  testing_support::SetDiscovery(controller, &molvane::DiscoverySource::sysfsRoot,
                                fixture.dir.File("no-sysfs"));
  testing_support::SetDiscovery(controller, &molvane::DiscoverySource::useEnvironment, false);
  testing_support::SetDiscovery(controller, &molvane::DiscoverySource::extraPorts,
                                fixture.link.DevicePath());
  testing_support::RecordingUi ui;

  molvane::CMolvaneDlg window(controller, ui);
  auto* status = window.findChild<QLineEdit*>("connectionText");
  auto* sheet = window.findChild<QTabWidget*>("pages");
  ASSERT_NE(status, nullptr);
  ASSERT_NE(sheet, nullptr);

  // Closing the window stops its timer for good, so both steps run in one session: once the
  // cart is seen, the Service page comes to the front for two more connection checks.
  std::string seenConnected;
  QElapsedTimer sinceService;
  std::size_t messagesWhenConnected = 0;
  // A box holds the window's timer in its own event loop; the field must be told first.
  std::string fieldBehindTheBox;
  ui.whileOpen = [&](const std::string&) { fieldBehindTheBox = status->text().toStdString(); };
  window.show();
  RunUntil(window, [&] {
    if (seenConnected.empty()) {
      if (status->text() != "Connected" || ui.boxes.empty()) return false;
      seenConnected = status->text().toStdString();
      messagesWhenConnected = ui.boxes.size();
      sheet->setCurrentIndex(4);
      sinceService.start();
      return false;
    }
    return sinceService.elapsed() > 5000;
  });

  EXPECT_EQ(seenConnected, "Connected");
  ASSERT_EQ(messagesWhenConnected, 1u);  // the one PIN-age message for the newly seen cart
  EXPECT_EQ(fieldBehindTheBox, "Connected");
  const std::string& message = ui.boxes[0].text;
  EXPECT_TRUE(message.find("Factory default PIN still active.") == 0 ||
              message.find("A pin code ") == 0)
      << message;
  EXPECT_EQ(sheet->tabText(4), "Service");
  EXPECT_EQ(status->text().toStdString(), "Connected");
  EXPECT_EQ(ui.boxes.size(), 1u);
}

// Unplugged and plugged in again with the Service page in front: the field follows the cart
// there, and the page's own work goes through again without another page being chosen.
TEST(MainWindowWithCart, ACartPluggedInAgainOnTheServicePageIsFoundThere) {
  gui_testing::WindowOnCart on(true);
  ASSERT_TRUE(on.Connected());
  on.sheet->setCurrentIndex(4);
  on.fixture.link.HangUp();
  ASSERT_TRUE(on.Until([&] { return on.status->text() != "Connected"; }));
  ASSERT_TRUE(on.fixture.link.Replug());
  ASSERT_TRUE(on.Until([&] { return on.status->text() == "Connected"; }));
  gui_testing::Settle(on.fixture.controller.Worker());
  on.ui.boxes.clear();
  on.window->findChild<QPushButton*>("setRtc")->click();
  gui_testing::Settle(on.fixture.controller.Worker());
  EXPECT_EQ(on.ui.Texts(), std::vector<std::string>{"Update Complete."});
}

// A cart that refuses everything but "status": the refusal of its PIN list is told once, named,
// and the cart is not taken for gone for want of lines a refusal never has.
TEST(MainWindowWithCart, ACartThatRefusesEverythingButStatusIsToldOnceAndStaysConnected) {
  gui_testing::WindowOnCart on;
  on.fixture.sim.faults.refuseCommands = cartsim::SimFaults::Refusal::Error;
  ASSERT_TRUE(on.Connected());
  gui_testing::Wait(5000);  // two more connection checks
  EXPECT_EQ(on.ui.Errors(),
            std::vector<std::string>{"Reading the cart's PIN list failed: the cart refused the "
                                     "command (Error: Unknown.) (after 0 record(s))."});
  EXPECT_EQ(on.ui.boxes.size(), 1u);
  EXPECT_EQ(on.status->text(), "Connected");
  EXPECT_GE(on.fixture.controller.CurrentPort(), 0);
}

}  // namespace
