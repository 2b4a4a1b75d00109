#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QLineEdit>
#include <QTabWidget>
#include <QTimer>
#include <functional>
#include <string>
#include <vector>

#include "gui/molvane_dlg.h"
#include "gui/qt_test_app.h"
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
TEST(MainWindowWithCart, ShowsConnectedBehindTheFirstBoxWarnsOnceAndHidesItBehindTheServicePage) {
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
  // cart is seen, the Service page comes to the front.
  std::string seenConnected;
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
      return false;
    }
    return status->text() != "Connected";
  });

  EXPECT_EQ(seenConnected, "Connected");
  ASSERT_EQ(messagesWhenConnected, 1u);  // the one PIN-age message for the newly seen cart
  EXPECT_EQ(fieldBehindTheBox, "Connected");
  const std::string& message = ui.boxes[0].text;
  EXPECT_TRUE(message.find("Factory default PIN still active.") == 0 ||
              message.find("A pin code ") == 0)
      << message;
  EXPECT_EQ(sheet->tabText(4), "Service");
  EXPECT_EQ(status->text().toStdString(), "Num FTDI: 1");
  EXPECT_EQ(ui.boxes.size(), 1u);
}

}  // namespace
