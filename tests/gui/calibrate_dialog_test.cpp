// The factory calibration page's widgets over the simulated cart: the sensor lamps stand where
// the drawers do, the layout pictures select like their buttons, and the buttons reach the cart.
#include "gui/calibrate_dialog.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>

#include "gui/drawer_layout_picture.h"
#include "gui/qt_test_app.h"
#include "support/recording_ui.h"
#include "support/sim_fixture.h"

namespace {

using molvane::CalibrateDialog;

QPushButton* Button(QWidget& page, const QString& text) {
  for (QPushButton* button : page.findChildren<QPushButton*>()) {
    if (button->text() == text) return button;
  }
  return nullptr;
}

std::vector<QString> CheckedLayouts(QWidget& page) {
  std::vector<QString> names;
  for (QRadioButton* button : page.findChildren<QRadioButton*>()) {
    if (button->objectName().startsWith("layout") && button->isChecked())
      names.push_back(button->objectName());
  }
  return names;
}

TEST(CalibrateDialog, LampsLayoutsAndButtonsOverTheSimulatedCart) {
  gui_testing::TestApp();
  testing_support::SimFixture fixture;
  ASSERT_TRUE(fixture.Connect());
  testing_support::RecordingUi ui;
  fixture.Cart([](cartsim::CartModel& cart) {
    cart.SetSensorInputs(0x21);
    return 0;
  });

  CalibrateDialog page(fixture.controller, ui);
  page.resize(640, 420);
  page.show();
  gui_testing::OnCart(page, [&] { page.Model().CartNotice(true); });
  gui_testing::OnCart(page, [&] { page.Model().Poll(); });

  // Bits 0-3 on the right and 4-7 on the left, each column from the bottom up.
  std::vector<QRadioButton*> lamps;
  for (int bit = 0; bit < 8; ++bit)
    lamps.push_back(page.findChild<QRadioButton*>(QString("sensorBit%1").arg(bit)));
  ASSERT_EQ(std::count(lamps.begin(), lamps.end(), nullptr), 0);
  for (int bit = 0; bit < 8; ++bit) EXPECT_EQ(lamps[bit]->isChecked(), bit == 0 || bit == 5) << bit;
  const auto at = [&](int bit) { return lamps[bit]->mapTo(&page, QPoint(0, 0)); };
  EXPECT_GT(at(0).y(), at(3).y());
  EXPECT_GT(at(4).y(), at(7).y());
  EXPECT_GT(at(0).x(), at(4).x());
  EXPECT_EQ(at(0).y(), at(4).y());

  auto* upCurrent = page.findChild<QLineEdit*>("maxUpCurrent");
  ASSERT_NE(upCurrent, nullptr);
  EXPECT_EQ(upCurrent->text(), "8.0");
  EXPECT_EQ(upCurrent->accessibleName(), "Max Up Current");
  EXPECT_EQ(CheckedLayouts(page), std::vector<QString>{"layoutff"});

  // A layout's button and its picture both select it alone.
  page.findChild<QRadioButton*>("layout8f")->click();
  gui_testing::Settle(fixture.controller.Worker());
  EXPECT_EQ(CheckedLayouts(page), std::vector<QString>{"layout8f"});
  page.findChild<QRadioButton*>("layout8f")->click();
  gui_testing::Settle(fixture.controller.Worker());
  EXPECT_EQ(CheckedLayouts(page), std::vector<QString>{"layout8f"}) << "a second click keeps it";
  const auto pictures = page.findChildren<molvane::DrawerLayoutPicture*>();
  ASSERT_EQ(pictures.size(), 7);
  QMouseEvent press(QEvent::MouseButtonPress, QPointF(5, 5), QPointF(5, 5), Qt::LeftButton,
                    Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(pictures.last(), &press);
  gui_testing::Settle(fixture.controller.Worker());
  EXPECT_EQ(CheckedLayouts(page), std::vector<QString>{"layoutaa"});

  upCurrent->clear();
  gui_testing::TypeText(upCurrent, "80");
  gui_testing::Settle(fixture.controller.Worker());
  Button(page, "Update Cart")->click();
  gui_testing::Settle(fixture.controller.Worker());
  EXPECT_EQ(ui.Texts(), std::vector<std::string>{"Update Complete."});
  const auto settings = fixture.Cart([](cartsim::CartModel& cart) { return cart.Settings(); });
  EXPECT_EQ(settings.liftUpCurrentTenths, 767);
  EXPECT_EQ(settings.sensorMask, 0xAA);
  EXPECT_EQ(upCurrent->text(), "76.7");

  auto* locked = page.findChild<QCheckBox*>("liftLocked");
  ASSERT_TRUE(locked->isChecked());
  Button(page, "Toggle Lock")->click();
  gui_testing::Settle(fixture.controller.Worker());
  EXPECT_FALSE(locked->isChecked());
  Button(page, "Lock Bits")->click();
  gui_testing::Settle(fixture.controller.Worker());
  EXPECT_EQ(page.findChild<QLineEdit*>("lockBits")->text(), "AA");
}

}  // namespace
