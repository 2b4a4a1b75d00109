// A build without the fleet store (the Windows build) keeps File > Fleet... and says why it
// shows nothing.
#include <gtest/gtest.h>

#include <QAction>
#include <QDialog>
#include <QMenu>

#include "app/cart_controller.h"
#include "gui/molvane_dlg.h"
#include "gui/qt_test_app.h"
#include "support/controller_settings.h"
#include "support/recording_ui.h"
#include "support/temp_dir.h"

namespace {

TEST(NoFleetWindow, TheFleetItemSaysTheRecordIsNotInThisBuild) {
  gui_testing::TestApp();
  testing_support::TempDir dir;
  molvane::CartController controller(dir.Path(), dir.Path());
  testing_support::SetDiscovery(controller, &molvane::DiscoverySource::sysfsRoot,
                                dir.File("no-sysfs"));
  testing_support::SetDiscovery(controller, &molvane::DiscoverySource::useEnvironment, false);
  testing_support::RecordingUi ui;
  molvane::CMolvaneDlg main(controller, ui);
  QAction* item = nullptr;
  for (QMenu* menu : main.findChildren<QMenu*>()) {
    for (QAction* action : menu->actions()) {
      if (action->text() == "&Fleet...") item = action;
    }
  }
  ASSERT_NE(item, nullptr);
  EXPECT_TRUE(item->isEnabled());
  item->trigger();
  EXPECT_EQ(ui.Errors(),
            std::vector<std::string>{"The fleet record is not in this build of Molvane."});
  EXPECT_EQ(main.findChild<QDialog*>("fleetWindow"), nullptr);
}

}  // namespace
