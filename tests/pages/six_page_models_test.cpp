#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "app/cart_controller.h"
#include "pages/calibrate_page.h"
#include "pages/log_page.h"
#include "pages/pin_list_page.h"
#include "pages/service_page.h"
#include "pages/setup_page.h"
#include "pages/testing_page.h"
#include "support/recording_ui.h"
#include "support/temp_dir.h"

namespace {

using namespace molvane;

struct Expected {
  std::string title;
  bool polled;
};

// The main window names its tabs from the models and polls only the three pages that watch
// the cart, so titles and the polled flag must be right for every page in tab order.
TEST(PageModels, TabOrderTitlesAndPolling) {
  testing_support::TempDir dir;
  CartController controller(dir.Path(), dir.Path());
  testing_support::RecordingUi ui;
  std::vector<std::unique_ptr<PageModel>> pages;
  pages.push_back(std::make_unique<SetupPage>(controller, ui));
  pages.push_back(std::make_unique<PinListPage>(controller, ui));
  pages.push_back(std::make_unique<LogPage>(controller, ui));
  pages.push_back(std::make_unique<TestingPage>(controller, ui));
  pages.push_back(std::make_unique<ServicePage>(controller, ui));
  pages.push_back(std::make_unique<CalibratePage>(controller, ui));
  const std::vector<Expected> expected = {{"Setup", false},  {"Pin List", false},
                                          {"Log", false},    {"Testing", true},
                                          {"Service", true}, {"Factory Calibration", true}};
  ASSERT_EQ(pages.size(), expected.size());
  for (std::size_t i = 0; i < pages.size(); ++i) {
    EXPECT_EQ(pages[i]->Title(), expected[i].title);
    EXPECT_EQ(pages[i]->IsPolled(), expected[i].polled) << expected[i].title;
  }
}

}  // namespace
