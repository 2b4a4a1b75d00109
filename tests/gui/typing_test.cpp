// The operator types while the pages poll the cart: every character stays where it was typed,
// and what goes to the cart is what was typed.
#include <gtest/gtest.h>

#include <QLineEdit>
#include <QPushButton>
#include <string>
#include <vector>

#include "gui/window_on_cart.h"

namespace {

struct Field {
  const char* name;
  QString text;
};

// Types the text as key presses at `perSecond` characters a second, the event loop running
// between them as it does between a person's keys.
void TypeSlowly(QLineEdit* edit, const QString& text, int perSecond) {
  edit->setFocus();
  edit->selectAll();
  gui_testing::PressKey(edit, Qt::Key_Delete);
  for (const QChar c : text) {
    gui_testing::TypeText(edit, QString(c));
    gui_testing::Wait(1000 / perSecond);
  }
}

// Page by page, each field is typed at three and at ten characters a second; the pages poll
// meanwhile (Setup every 2 s, Testing and Factory Calibration every 700 ms).
TEST(TypingWhilePolling, EveryCharacterStaysAndUpdateSendsWhatWasTyped) {
  gui_testing::WindowOnCart on;
  ASSERT_TRUE(on.Connected());
  const struct {
    int tab;
    std::vector<Field> fields;
  } pages[] = {
      {0,
       {{"drawerLockTimeout", "12000"},
        {"keyboardLightTimeout", "12345"},
        {"backlightTimeout", "42"},
        {"mainLockMs", "1234"},
        {"sideLockMs", "2345"},
        {"serialNumber", "SN-42-ABC"}}},
      {3, {{"cartName", "Ward 7 North Wing"}}},
      {5,
       {{"maxUpCurrent", "12.345"},
        {"maxDownCurrent", "8.5"},
        {"minBatteryVoltage", "11.25"},
        {"autoLockTimeout", "90"}}},
  };
  for (const auto& page : pages) {
    on.sheet->setCurrentIndex(page.tab);
    gui_testing::Wait(300);
    for (const int perSecond : {3, 10}) {
      const int before = on.Commands();
      for (const Field& field : page.fields) {
        auto* edit = on.sheet->widget(page.tab)->findChild<QLineEdit*>(field.name);
        ASSERT_NE(edit, nullptr) << field.name;
        TypeSlowly(edit, field.text, perSecond);
        EXPECT_EQ(edit->text(), field.text) << field.name << " at " << perSecond << "/s";
      }
      EXPECT_GT(on.Commands(), before + 1) << "the page polled while it was typed into";
    }
  }

  // The Setup page's values, typed while it polled, are what Update sends.
  on.sheet->setCurrentIndex(0);
  gui_testing::Wait(300);
  for (const Field& field : pages[0].fields)
    TypeSlowly(on.sheet->widget(0)->findChild<QLineEdit*>(field.name), field.text, 10);
  on.window->findChild<QPushButton*>("update")->click();
  ASSERT_TRUE(on.Until([&] { return on.ui.Texts().back() == "Update Complete."; }));
  const cartsim::CartSettings sent =
      on.fixture.Cart([](cartsim::CartModel& cart) { return cart.Settings(); });
  EXPECT_EQ(sent.relockTimeout, 12000);
  EXPECT_EQ(sent.keyboardTimeout, 12345);
  EXPECT_EQ(sent.backlightTimeout, 42);
  EXPECT_EQ(sent.mainLockMs, 1234);
  EXPECT_EQ(sent.sideLockMs, 2345);
}

}  // namespace
