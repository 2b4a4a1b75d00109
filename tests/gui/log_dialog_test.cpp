// The Log page's widgets over the simulated cart: a full log in the list, clearing it, the
// export, and the sort buttons that do nothing.
#include "gui/log_dialog.h"

#include <gtest/gtest.h>

#include <QListWidget>
#include <algorithm>
#include <QPushButton>

#include "app/cart_controller.h"
#include "cart/event_log_texts.h"
#include "gui/qt_test_app.h"
#include "support/recording_ui.h"
#include "support/sim_fixture.h"

namespace {

TEST(LogDialog, ListsAFullLogClearsAndExports) {
  gui_testing::TestApp();
  cartsim::SimCart::Options options;
  options.cart.startEmpty = true;
  testing_support::SimFixture fixture(options);
  ASSERT_TRUE(fixture.Connect());
  fixture.Cart([](cartsim::CartModel& cart) {
    for (int i = 0; i < cartsim::CartEvents::kCapacity; ++i) {
      cart.Events().Add({static_cast<std::uint32_t>(i), 1, 86400 * 365 + i * 60});
    }
    return 0;
  });
  testing_support::RecordingUi ui;
  fixture.controller.SetUi(&ui);
  molvane::LogDialog page(fixture.controller);
  page.show();

  auto* list = page.findChild<QListWidget*>("log");
  ASSERT_NE(list, nullptr);
  const auto button = [&page](const char* name) { return page.findChild<QPushButton*>(name); };
  EXPECT_FALSE(button("sortByPin")->isEnabled());
  EXPECT_FALSE(button("sortByDate")->isEnabled());

  button("getList")->click();
  ASSERT_EQ(list->count(), 1024);
  EXPECT_TRUE(list->item(0)->text().endsWith("  accessed pin: 0"));
  EXPECT_TRUE(list->item(1023)->text().endsWith("  accessed pin: 1023"));

  const std::string file = fixture.dir.File("log.txt");
  ui.fileNames = {file};
  button("export")->click();
  const std::string written = testing_support::ReadFile(file);
  EXPECT_EQ(std::count(written.begin(), written.end(), '\n'), 1025) << "heading and 1024 lines";

  button("clearList")->click();
  EXPECT_EQ(list->count(), 0);
  EXPECT_EQ(ui.Texts(), std::vector<std::string>{molvane::kLogWritten}) << "nothing is asked";
}

}  // namespace
