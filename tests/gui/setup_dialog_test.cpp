// The Setup page's widgets over the simulated cart: what the cart reports reaches the controls,
// the number fields take digits only and no more than their length, and the buttons send what
// the controls hold.
#include "gui/setup_dialog.h"

#include <gtest/gtest.h>

#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QDialog>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>

#include "cart/setup_values.h"
#include "gui/qt_test_app.h"
#include "support/recording_ui.h"
#include "support/sim_fixture.h"

namespace {

void Retype(QLineEdit* edit, const QString& text) {
  edit->selectAll();
  gui_testing::PressKey(edit, Qt::Key_Delete);
  gui_testing::TypeText(edit, text);
}

TEST(SetupDialog, ShowsTheCartAndSendsWhatIsTyped) {
  gui_testing::TestApp();
  testing_support::SimFixture fixture;
  ASSERT_TRUE(fixture.Connect());
  testing_support::RecordingUi ui;
  fixture.Cart([](cartsim::CartModel& c) { return c.Settings().backlightTimeout = 120; });
  QDialog window;  // the main window is a dialog, which would adopt a default button
  auto& page = *new molvane::SetupDialog(fixture.controller, ui, &window);
  gui_testing::OnCart(page, [&] { page.Model().Start(); });
  window.show();
  gui_testing::Settle(fixture.controller.Worker());
  EXPECT_FALSE(page.findChild<QPushButton*>("update")->isDefault()) << "Enter is the window's";
  auto* keyboard = page.findChild<QLineEdit*>("keyboardLightTimeout");
  auto* backlight = page.findChild<QLineEdit*>("backlightTimeout");
  auto* solenoid = page.findChild<QRadioButton*>("solenoid");
  auto* serial = page.findChild<QLineEdit*>("serialNumber");
  ASSERT_TRUE(keyboard && backlight && solenoid && serial);
  EXPECT_EQ(keyboard->accessibleName(), "Keyboard Light");
  EXPECT_TRUE(page.findChild<QRadioButton*>("motor")->isChecked());
  EXPECT_EQ(page.findChild<QPlainTextEdit*>("firmwareVersions")->toPlainText().count('\n'), 3);
  for (const char* name : {"firmwareVersions", "hardwareVersions"}) {
    EXPECT_FALSE(page.findChild<QPlainTextEdit*>(name)->focusPolicy() & Qt::TabFocus)
        << name << ": read-only text that shows no focus takes no Tab stop";
  }
  EXPECT_EQ(backlight->text(), "120") << "a longer value from the cart is shown whole";

  Retype(backlight, "123");
  EXPECT_EQ(backlight->text(), "12") << "two digits at most are typed";
  Retype(keyboard, "4x5");
  EXPECT_EQ(keyboard->text(), "45") << "digits only";
  page.findChild<QPushButton*>("update")->click();
  gui_testing::Settle(fixture.controller.Worker());
  // As a screen reader selects it: toggled, never clicked.
  QAccessibleInterface* reader = QAccessible::queryAccessibleInterface(solenoid);
  ASSERT_TRUE(reader && reader->actionInterface());
  reader->actionInterface()->doAction(QAccessibleActionInterface::toggleAction());
  ASSERT_TRUE(solenoid->isChecked());
  page.findChild<QPushButton*>("setType")->click();
  gui_testing::Settle(fixture.controller.Worker());
  Retype(serial, "SN-9");
  auto* set = page.findChild<QPushButton*>("set");
  set->setFocus();
  gui_testing::PressKey(set, Qt::Key_Return);
  gui_testing::Settle(fixture.controller.Worker());
  EXPECT_EQ(window.focusWidget(), set) << "held while it ran, the button takes the focus back";

  const cartsim::CartSettings cart =
      fixture.Cart([](cartsim::CartModel& c) { return c.Settings(); });
  EXPECT_EQ(cart.keyboardTimeout, 45);
  EXPECT_EQ(cart.backlightTimeout, 12);
  EXPECT_EQ(cart.cartType, 170);
  EXPECT_EQ(cart.serial, "SN-9");
  EXPECT_EQ(ui.Texts(),
            (std::vector<std::string>{"Update Complete.", "Completed", "Serial Updated."}));
}

}  // namespace
