// The Log page's widgets over the simulated cart: a full log in the list, the export, clearing,
// and the sort buttons that do nothing.
#include "gui/log_dialog.h"

#include <gtest/gtest.h>

#include <QListWidget>
#include <QPushButton>

#include "app/cart_controller.h"
#include "cart/event_log.h"
#include "cart/event_log_texts.h"
#include "gui/qt_test_app.h"
#include "support/recording_ui.h"
#include "support/sim_fixture.h"

namespace {

TEST(LogDialog, ListsAFullLogExportsAndClears) {
  gui_testing::TestApp();
  testing_support::SimFixture fixture;
  ASSERT_TRUE(fixture.Connect());
  fixture.Cart([](cartsim::CartModel& cart) {
    for (int i = 0; i < cartsim::CartEvents::kCapacity; ++i) cart.Events().Add({42, 1, i * 60});
    return 0;
  });
  testing_support::RecordingUi ui;
  molvane::LogDialog page(fixture.controller, ui);
  page.show();
  auto* list = page.findChild<QListWidget*>("log");
  const auto button = [&page](const char* name) { return page.findChild<QPushButton*>(name); };
  EXPECT_FALSE(button("sortByPin")->isEnabled() || button("sortByDate")->isEnabled());

  button("getList")->click();
  gui_testing::Settle(fixture.controller.Worker());
  ASSERT_EQ(list->count(), 1024);
  EXPECT_EQ(list->item(1023)->text().toStdString(),
            molvane::LogLine(fixture.controller.Events(), 1023));
  ui.fileNames = {fixture.dir.File("log.txt")};
  button("export")->click();
  gui_testing::Settle(fixture.controller.Worker());
  button("clearList")->click();
  gui_testing::Settle(fixture.controller.Worker());
  EXPECT_EQ(list->count(), 0);
  EXPECT_EQ(ui.Texts(), std::vector<std::string>{"Log successfully written."})
      << "nothing is asked";
}

}  // namespace
