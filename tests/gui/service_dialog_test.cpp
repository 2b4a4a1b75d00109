// The Service page in the real window over a paced simulated cart: the buttons load firmware,
// the status and the window's progress bar follow it, and closing the window cancels a running
// update.
#include "gui/service_dialog.h"

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTabWidget>
#include <functional>
#include <set>

#include "gui/molvane_dlg.h"
#include "gui/qt_test_app.h"
#include "support/controller_settings.h"
#include "support/intel_hex.h"
#include "support/recording_ui.h"
#include "support/sim_fixture.h"

namespace {

using Answer = molvane::UiServices::Answer;

// Answers from the script, but lets time pass for real, as the window's own pauses do.
struct PacedUi : testing_support::RecordingUi {
  void Sleep(int ms) override {
    RecordingUi::Sleep(ms);
    gui_testing::Wait(ms);
  }
};

bool WaitFor(const std::function<bool()>& condition, int boundMs) {
  QElapsedTimer clock;
  clock.start();
  while (!condition()) {
    if (clock.elapsed() > boundMs) return false;
    gui_testing::Wait(20);
  }
  return true;
}

TEST(ServiceDialog, ButtonsFlashShowProgressAndClosingCancels) {
  gui_testing::TestApp();
  testing_support::SimFixture fixture({}, true);
  ASSERT_TRUE(fixture.started);
  molvane::CartController& controller = fixture.controller;
  testing_support::SetDiscovery(controller, &molvane::DiscoverySource::sysfsRoot,
                                fixture.dir.File("no-sysfs"));
  testing_support::SetDiscovery(controller, &molvane::DiscoverySource::useEnvironment, false);
  testing_support::SetDiscovery(controller, &molvane::DiscoverySource::extraPorts,
                                fixture.link.DevicePath());
  controller.SetBootlogFolder(fixture.dir.Path());
  PacedUi ui;
  const std::vector<std::uint8_t> image = testing_support::PagePattern(8 * 1024);
  testing_support::WriteFile(fixture.dir.File("con.hex"), testing_support::HexFile(image));

  molvane::CMolvaneDlg window(controller, ui);
  window.show();
  ASSERT_TRUE(WaitFor([&] { return controller.HasCart(); }, 10000));
  window.findChild<QTabWidget*>("pages")->setCurrentIndex(4);
  const auto button = [&](const char* name) { return window.findChild<QPushButton*>(name); };
  const auto edit = [&](const char* name) { return window.findChild<QLineEdit*>(name); };
  auto* status = edit("status");
  auto* progress = window.findChild<QProgressBar*>("workProgress");
  ASSERT_NE(status, nullptr);
  ASSERT_NE(progress, nullptr);
  for (const char* name : {"updateMainFile", "updateFrontFile", "updateChargerFile",
                           "updateTranslationFile", "updateBitmapsFile", "factoryTitleFile"}) {
    ASSERT_NE(edit(name), nullptr) << name;
    EXPECT_TRUE(edit(name)->isReadOnly()) << name;
  }
  const char* actions[] = {"updateMain",    "updateFront",  "updateCharger", "updateTranslation",
                           "updateBitmaps", "factoryTitle", "setRtc",        "resetGasGauge"};
  const auto anyActionEnabled = [&] {
    for (const char* name : actions) {
      if (button(name)->isEnabled()) return true;
    }
    return false;
  };

  ui.fileNames = {fixture.dir.File("con.hex")};
  gui_testing::Settle(controller.Worker());
  button("updateMainBrowse")->click();
  gui_testing::Settle(controller.Worker());
  EXPECT_EQ(edit("updateMainFile")->text().toStdString(), fixture.dir.File("con.hex"));
  button("updateMain")->click();  // the confirmation is answered with OK
  EXPECT_FALSE(anyActionEnabled());
  gui_testing::Settle(controller.Worker());  // the update has started
  EXPECT_FALSE(anyActionEnabled());
  std::set<int> shown;
  ASSERT_TRUE(WaitFor(
      [&] {
        // Named by the button that started it, with the transfer's own words.
        if (progress->isVisible() && progress->value() > 0) {
          EXPECT_TRUE(progress->text().startsWith("Update Main: Writing.."))
              << progress->text().toStdString();
          shown.insert(progress->value());
        }
        // Busy is read first: the buttons change only between these calls, and the page may
        // enable them as soon as the transfer has ended.
        const bool busy = controller.IsBusy();
        if (busy) {
          EXPECT_FALSE(anyActionEnabled());
        }
        return !busy;
      },
      30000));
  EXPECT_GE(shown.size(), 3u) << "the progress follows the update";
  // The page's timer and the window's follow the end within a tick each.
  EXPECT_TRUE(WaitFor(
      [&] {
        return status->text() == "Not Programming." && button("updateMain")->isEnabled() &&
               !progress->isVisible();
      },
      1500))
      << "the buttons are free again and the bar has gone";
  EXPECT_EQ(window.findChild<QLabel*>("lastResult")->text(), "Firmware Update Complete");
  fixture.sim.Inspect([&](cartsim::SimCart& s) {
    const auto& flash = s.BoardModel(cartsim::Board::Main).Flash();
    EXPECT_TRUE(std::equal(image.begin(), image.end(), flash.begin()));
  });

  // Closing in the middle of a second update asks first; "No" keeps both going.
  button("updateMain")->click();
  ASSERT_TRUE(WaitFor([&] { return progress->isVisible() && progress->value() > 0; }, 10000));
  ui.answers = {Answer::No};
  window.close();
  EXPECT_TRUE(window.isVisible());
  EXPECT_TRUE(controller.IsBusy());
  window.close();  // answered Yes: the update is cancelled and its worker has ended
  EXPECT_FALSE(window.isVisible());
  EXPECT_FALSE(controller.IsBusy());
  EXPECT_EQ(controller.MessageText(), "Firmware Update Canceled.");
  int asked = 0;
  for (const auto& box : ui.boxes) asked += box.text.find("cancel it") != std::string::npos;
  EXPECT_EQ(asked, 2);
}

}  // namespace
