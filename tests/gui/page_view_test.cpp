// The Qt side of the page seam: what a model writes reaches the widgets, what the operator types
// reaches the model, tab switches show and hide the model, and the page timer ticks it.
#include "gui/page_view.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>
#include <atomic>
#include <chrono>
#include <memory>
#include <thread>

#include "app/cart_controller.h"
#include "gui/labelled.h"
#include "gui/page_button.h"
#include "gui/qt_test_app.h"
#include "support/recording_ui.h"
#include "support/temp_dir.h"

namespace {

class CountingPage : public molvane::PageModel {
 public:
  using PageModel::PageModel;
  const char* Title() const override { return "Counting"; }
  int TimerPeriodMs() const override { return 20; }
  void Tick() override { ++ticks; }
  void Show(bool visible) override {
    PageModel::Show(visible);
    shows.push_back(visible);
  }
  void Load(const std::string& text) {
    field = text;
    WriteAllFields();
  }
  std::string Take() {
    ReadAllFields();
    return field;
  }
  // Cart work that lasts until it is let go.
  void Hold(const std::shared_ptr<std::atomic<bool>>& release) {
    OnCart(
        [release](molvane::CartController&) {
          while (!release->load()) std::this_thread::sleep_for(std::chrono::milliseconds(2));
          return 0;
        },
        [](int) {});
  }

  std::string field;
  int ticks = 0;
  std::vector<bool> shows;
};

class CountingView : public molvane::PageView {
 public:
  CountingView(molvane::CartController& controller, molvane::UiServices& ui)
      : model(controller, ui) {
    auto* label = new QLabel("&Cart Name:", this);
    edit = new QLineEdit(this);
    molvane::LabelFor(label, edit);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(label);
    layout->addWidget(edit);
    fields.Text(edit, model.field);
    button = AddButton("Update", "update", this, [this] { model.Hold(release); });
    layout->addWidget(button);
    Bind();
  }
  molvane::PageModel& Model() override { return model; }

  CountingPage model;
  QLineEdit* edit = nullptr;
  QPushButton* button = nullptr;
  std::shared_ptr<std::atomic<bool>> release = std::make_shared<std::atomic<bool>>(false);
};

TEST(PageView, FieldsTabsAndTimerReachTheModel) {
  gui_testing::TestApp();
  testing_support::TempDir dir;
  molvane::CartController controller(dir.Path(), dir.Path());
  testing_support::RecordingUi ui;
  QTabWidget sheet;
  auto* view = new CountingView(controller, ui);
  sheet.addTab(view, "Counting");
  sheet.addTab(new QWidget, "Other");
  sheet.show();

  gui_testing::OnCart(*view, [&] { view->model.Load("Ward 7"); });
  EXPECT_EQ(view->edit->text(), "Ward 7");
  view->edit->clear();
  gui_testing::TypeText(view->edit, "Ward 9");
  std::string taken;
  gui_testing::OnCart(*view, [&] { taken = view->model.Take(); });
  EXPECT_EQ(taken, "Ward 9");
  EXPECT_EQ(view->edit->accessibleName(), "Cart Name");

  sheet.setCurrentIndex(1);
  sheet.setCurrentIndex(0);
  gui_testing::Settle(*view);
  EXPECT_EQ(view->model.shows, (std::vector<bool>{true, false, true}));

  gui_testing::Wait(100);
  gui_testing::Settle(*view);
  EXPECT_GE(view->model.ticks, 2) << "the page timer ticks the model, on the cart thread";
}

// A button greyed while its work runs must not hand the focus on to an edit field, where a stray
// key would change what the field shows; it takes the focus back when it is free again.
TEST(PageView, AHeldButtonLeavesTheFocusWithThePageNotAnEditField) {
  gui_testing::TestApp();
  testing_support::TempDir dir;
  molvane::CartController controller(dir.Path(), dir.Path());
  testing_support::RecordingUi ui;
  CountingView view(controller, ui);
  view.show();
  QApplication::setActiveWindow(&view);
  view.button->setFocus();
  ASSERT_TRUE(view.button->hasFocus());
  view.model.field = "Ward 7";
  gui_testing::OnCart(view, [&] { view.model.Load("Ward 7"); });

  view.button->click();
  ASSERT_FALSE(view.button->isEnabled());
  EXPECT_FALSE(view.edit->hasFocus());
  gui_testing::PressKey(QApplication::focusWidget(), Qt::Key_X, Qt::NoModifier, "x");
  EXPECT_EQ(view.edit->text(), "Ward 7");

  view.release->store(true);
  gui_testing::Settle(view);
  EXPECT_TRUE(view.button->isEnabled());
  EXPECT_TRUE(view.button->hasFocus());
}

}  // namespace
