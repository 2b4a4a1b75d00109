// File > Fleet... over a store recorded beside the program: the carts' table filtered and
// sorted from its controls, a cart's archived log opened from its row, picked and exported.
#include <gtest/gtest.h>

#include <QAction>
#include <QComboBox>
#include <QDialog>
#include <QHeaderView>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTableWidget>

#include "app/cart_controller.h"
#include "base/clock.h"
#include "gui/molvane_dlg.h"
#include "gui/qt_test_app.h"
#include "support/controller_settings.h"
#include "support/fleet_carts.h"
#include "support/local_zone.h"
#include "support/recording_ui.h"
#include "support/scoped_variable.h"
#include "support/temp_dir.h"

namespace {

template <class Control>
Control* Named(QWidget* window, const QString& accessibleName) {
  for (Control* control : window->findChildren<Control*>()) {
    if (control->accessibleName() == accessibleName) return control;
  }
  ADD_FAILURE() << "no control named " << accessibleName.toStdString();
  return nullptr;
}

// Keeps the window's events running until the table holds `rows` rows; false when it never does.
bool RowsBecome(QTableWidget* table, int rows) {
  for (int i = 0; i < 500 && table->rowCount() != rows; ++i) gui_testing::Wait(10);
  return table->rowCount() == rows;
}

QStringList Column(QTableWidget* table, int column) {
  QStringList texts;
  for (int row = 0; row < table->rowCount(); ++row) texts << table->item(row, column)->text();
  return texts;
}

TEST(FleetWindow, OpensFromTheFileMenuFiltersAndExportsACartsLog) {
  gui_testing::TestApp();
  testing_support::LocalZone zone("UTC0");
  testing_support::ScopedVariable noSetting("MOLVANE_FLEET", nullptr);
  molvane::SetClockForTest([] { return testing_support::kFleetNow; });
  testing_support::TempDir dir;
  // The embedded store's default place: the settings folder, here the program's own.
  testing_support::FillFleet(dir.File("MolvaneFleet.db"));
  molvane::CartController controller(dir.Path(), dir.Path());
  testing_support::SetDiscovery(controller, &molvane::DiscoverySource::sysfsRoot,
                                dir.File("no-sysfs"));
  testing_support::SetDiscovery(controller, &molvane::DiscoverySource::useEnvironment, false);
  testing_support::RecordingUi ui;
  molvane::CMolvaneDlg main(controller, ui);
  main.show();

  QAction* item = nullptr;
  for (QMenu* menu : main.findChildren<QMenu*>()) {
    for (QAction* action : menu->actions()) {
      if (action->text() == "&Fleet...") item = action;
    }
  }
  ASSERT_NE(item, nullptr);
  item->trigger();
  item->trigger();  // a second time brings the same window forward
  ASSERT_EQ(main.findChildren<QDialog*>("fleetWindow").size(), 1);
  QDialog* fleet = main.findChild<QDialog*>("fleetWindow");
  EXPECT_TRUE(fleet->isVisible());
  auto* carts = Named<QTableWidget>(fleet, "Carts");
  ASSERT_TRUE(RowsBecome(carts, 3));
  EXPECT_EQ(Column(carts, 0), (QStringList{"MV-1", "MV-10", "MV-2"}));

  Named<QLineEdit>(fleet, "Firmware not")->setText("5.21");
  EXPECT_EQ(Column(carts, 0), (QStringList{"MV-1", "MV-10"}));
  Named<QLineEdit>(fleet, "Not seen for (days)")->setText("1");
  EXPECT_EQ(Column(carts, 0), (QStringList{"MV-1"}));
  Named<QLineEdit>(fleet, "Firmware not")->clear();
  Named<QLineEdit>(fleet, "Not seen for (days)")->clear();
  Named<QLineEdit>(fleet, "PINs older than (days)")->setText("10");
  EXPECT_EQ(Column(carts, 0), (QStringList{"MV-1", "MV-2"}));
  Named<QLineEdit>(fleet, "PINs older than (days)")->clear();
  Named<QLineEdit>(fleet, "Filter")->setText("east");
  EXPECT_EQ(Column(carts, 0), (QStringList{"MV-10"}));
  Named<QLineEdit>(fleet, "Filter")->clear();
  // The header sorts by value: a count of 2 above 1, the cart never read last.
  carts->horizontalHeader()->setSortIndicator(4, Qt::DescendingOrder);
  EXPECT_EQ(Column(carts, 0), (QStringList{"MV-1", "MV-2", "MV-10"}));
  EXPECT_EQ(Column(carts, 4), (QStringList{"2", "1", "-"}));

  auto* openLog = fleet->findChild<QPushButton*>("openLog");
  EXPECT_FALSE(openLog->isEnabled()) << "no cart chosen yet";
  carts->selectRow(0);
  openLog->click();
  QDialog* log = main.findChild<QDialog*>("fleetLogWindow");
  ASSERT_NE(log, nullptr);
  auto* events = Named<QTableWidget>(log, "Events");
  ASSERT_TRUE(RowsBecome(events, 6));
  EXPECT_EQ(log->windowTitle(), "Archived Log - MV-1 (Ward 3)");

  Named<QLineEdit>(log, "Holder")->setText("ann smith");
  auto* kind = Named<QComboBox>(log, "Event");
  kind->setCurrentIndex(kind->findText("Accesses"));
  Named<QLineEdit>(log, "Since")->setText("2024-05-15");
  log->findChild<QPushButton*>("show")->click();
  ASSERT_TRUE(RowsBecome(events, 1));
  EXPECT_EQ(events->item(0, 0)->text(), "2024-05-17 00:00:00");
  EXPECT_EQ(events->item(0, 3)->text(), "Ann Smith");

  ui.fileNames = {dir.File("MV-1 accesses.csv")};
  log->findChild<QPushButton*>("exportCsv")->click();
  for (int i = 0; i < 500 && ui.boxes.empty(); ++i) gui_testing::Wait(10);
  EXPECT_EQ(testing_support::ReadFile(dir.File("MV-1 accesses.csv")),
            "Serial Number,Name,Time,Event,PIN,Holder\r\n"
            "MV-1,Ward 3,2024-05-17 00:00:00,access,1234,Ann Smith\r\n");
  EXPECT_EQ(ui.Errors(), std::vector<std::string>{});
  molvane::SetClockForTest({});
}

}  // namespace
