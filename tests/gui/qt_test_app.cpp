#include "gui/qt_test_app.h"

#include <gtest/gtest.h>

namespace gui_testing {
namespace {

QApplication* application = nullptr;

class QtEnvironment : public ::testing::Environment {
 public:
  void TearDown() override {
    delete application;
    application = nullptr;
  }
};

[[maybe_unused]] ::testing::Environment* const environment =
    ::testing::AddGlobalTestEnvironment(new QtEnvironment);

}  // namespace

QApplication& TestApp() {
  static int argc = 1;
  static char name[] = "test_gui";
  static char* argv[] = {name, nullptr};
  if (!application) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    application = new QApplication(argc, argv);
  }
  return *application;
}

}  // namespace gui_testing
