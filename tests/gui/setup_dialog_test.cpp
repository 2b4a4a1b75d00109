// The Setup page's widgets over the simulated cart: what the cart reports reaches the controls,
// the number fields take digits only and no more than their length, and the buttons send what
// the controls hold.
#include "gui/setup_dialog.h"

#include <gtest/gtest.h>

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>

#include "cart/setup_values.h"
#include "gui/molvane_dlg.h"
#include "gui/qt_test_app.h"
#include "support/recording_ui.h"
#include "support/sim_fixture.h"

namespace {

using gui_testing::TypeText;

template <class T>
T* Child(QWidget& parent, const char* name) {
  T* child = parent.findChild<T*>(name);
  EXPECT_NE(child, nullptr) << name;
  return child;
}

void Retype(QLineEdit* edit, const QString& text) {
  edit->selectAll();
  gui_testing::PressKey(edit, Qt::Key_Delete);
  TypeText(edit, text);
}

TEST(SetupDialog, ShowsTheCartAndSendsWhatIsTyped) {
  gui_testing::TestApp();
  testing_support::SimFixture fixture;
  ASSERT_TRUE(fixture.Connect());
  testing_support::RecordingUi ui;
  fixture.controller.SetUi(&ui);
  fixture.Cart([](cartsim::CartModel& c) { return c.Settings().backlightTimeout = 120; });
  molvane::SetupDialog page(fixture.controller);
  page.Model().Start();
  page.show();

  auto* keyboard = Child<QLineEdit>(page, "keyboardLightTimeout");
  auto* backlight = Child<QLineEdit>(page, "backlightTimeout");
  auto* motor = Child<QRadioButton>(page, "motor");
  auto* solenoid = Child<QRadioButton>(page, "solenoid");
  auto* serial = Child<QLineEdit>(page, "serialNumber");
  ASSERT_TRUE(keyboard && backlight && motor && solenoid && serial);
  EXPECT_EQ(keyboard->text(), "60");
  EXPECT_EQ(keyboard->accessibleName(), "Keyboard Light");
  EXPECT_TRUE(motor->isChecked() && !solenoid->isChecked());
  EXPECT_EQ(Child<QLineEdit>(page, "powerSupply")->text(), "AC Out");
  EXPECT_EQ(Child<QLineEdit>(page, "powerSupply")->accessibleName(), "Power Supply");
  EXPECT_EQ(Child<QPlainTextEdit>(page, "firmwareVersions")->toPlainText().split('\n').size(), 4);

  EXPECT_EQ(backlight->text(), "120") << "a longer value from the cart is shown whole";
  Retype(backlight, "123");
  EXPECT_EQ(backlight->text(), "12") << "two digits at most are typed";
  Retype(keyboard, "4x5");
  EXPECT_EQ(keyboard->text(), "45") << "digits only";
  Child<QPushButton>(page, "update")->click();
  EXPECT_EQ(ui.Texts(), std::vector<std::string>{molvane::kUpdateComplete});

  solenoid->click();
  EXPECT_TRUE(solenoid->isChecked() && !motor->isChecked());
  Child<QPushButton>(page, "setType")->click();
  Retype(serial, "SN-9");
  gui_testing::PressKey(Child<QPushButton>(page, "set"), Qt::Key_Return);  // Enter on the button

  const cartsim::CartSettings cart =
      fixture.Cart([](cartsim::CartModel& c) { return c.Settings(); });
  EXPECT_EQ(cart.keyboardTimeout, 45);
  EXPECT_EQ(cart.backlightTimeout, 12);
  EXPECT_EQ(cart.cartType, 170);
  EXPECT_EQ(cart.serial, "SN-9");
  EXPECT_TRUE(solenoid->isChecked()) << "as the cart reports after Set Type";
  EXPECT_EQ(ui.boxes.size(), 3u);
}

// Both pages lay out in the main window at its first size without being squeezed, and none
// of their buttons becomes the window's default, which Enter in any field would press.
TEST(SetupDialog, SetupAndLogPagesFitTheMainWindow) {
  gui_testing::TestApp();
  testing_support::TempDir dir;
  molvane::CartController controller(dir.Path(), dir.Path());
  controller.discovery.sysfsRoot = dir.File("no-sysfs");
  controller.discovery.useEnvironment = false;
  testing_support::RecordingUi ui;
  controller.SetUi(&ui);
  molvane::CMolvaneDlg window(controller);
  window.show();
  gui_testing::Wait(50);
  auto* sheet = window.findChild<QTabWidget*>("pages");
  ASSERT_NE(sheet, nullptr);
  for (const int tab : {0, 2}) {
    sheet->setCurrentIndex(tab);
    gui_testing::Wait(20);
    QWidget* page = sheet->widget(tab);
    EXPECT_GE(page->width(), page->minimumSizeHint().width()) << tab;
    EXPECT_GE(page->height(), page->minimumSizeHint().height()) << tab;
    for (const QPushButton* button : page->findChildren<QPushButton*>()) {
      EXPECT_FALSE(button->isDefault()) << button->text().toStdString();
    }
  }
  window.done(0);
}

}  // namespace
