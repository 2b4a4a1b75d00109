// The PIN list page's widgets with real key events: the filtered mask field, the Add PIN dialog,
// and the page's list and buttons over the simulated cart.
#include "gui/pin_list_dialog.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QFontInfo>
#include <QListWidget>
#include <QPushButton>
#include <QTabWidget>

#include "cart/rfid_format.h"
#include "gui/add_pin_dialog.h"
#include "gui/cfilter_edit.h"
#include "gui/qt_test_app.h"
#include "gui/qt_ui_services.h"
#include "support/recording_ui.h"
#include "support/sim_fixture.h"

namespace {

using molvane::CFilterEdit;

struct RefusalCount {
  explicit RefusalCount(CFilterEdit& edit) {
    QObject::connect(&edit, &CFilterEdit::refused, [this] { ++count; });
  }
  int count = 0;
};

TEST(CFilterEdit, RefusesTypedCharactersPastesAndProgramTextOutsideItsSet) {
  gui_testing::TestApp();
  CFilterEdit edit;
  RefusalCount refusals(edit);
  edit.SetFilter(molvane::RfidMaskFilter());
  EXPECT_EQ(edit.maxLength(), 84);
  edit.show();

  gui_testing::TypeText(&edit, "P1p-F");
  EXPECT_EQ(edit.text(), "P1F");
  EXPECT_EQ(refusals.count, 2);
  gui_testing::PressKey(&edit, Qt::Key_Backspace, Qt::NoModifier, "\b");
  EXPECT_EQ(edit.text(), "P1");

  QApplication::clipboard()->setText("BB-");
  gui_testing::PressKey(&edit, Qt::Key_V, Qt::ControlModifier, "\x16");
  EXPECT_EQ(edit.text(), "P1") << "the paste is undone as a whole";
  EXPECT_EQ(edit.cursorPosition(), 0);
  EXPECT_EQ(refusals.count, 3);
  QApplication::clipboard()->setText("BB");
  edit.setCursorPosition(2);
  gui_testing::PressKey(&edit, Qt::Key_V, Qt::ControlModifier, "\x16");
  EXPECT_EQ(edit.text(), "P1BB");

  EXPECT_FALSE(edit.SetCheckedText("------------"));
  EXPECT_EQ(edit.text(), "P1BB");
  EXPECT_EQ(refusals.count, 4);
  EXPECT_TRUE(edit.SetCheckedText("PFB"));
  EXPECT_EQ(edit.text(), "PFB");
}

TEST(AddPinDialog, RefusesTooLargeAPinAndStaysOpen) {
  gui_testing::TestApp();
  testing_support::RecordingUi ui;
  molvane::AddPinDialog dialog(ui);
  dialog.show();
  auto* edit = dialog.findChild<CFilterEdit*>("pinText");
  ASSERT_NE(edit, nullptr);
  EXPECT_EQ(dialog.focusWidget(), edit);
  EXPECT_EQ(dialog.windowTitle(), "Add Pin");

  gui_testing::TypeText(edit, "42949672961");  // the eleventh digit is beyond the field's limit
  gui_testing::PressKey(edit, Qt::Key_Return, Qt::NoModifier, "\r");
  EXPECT_EQ(ui.Texts(), std::vector<std::string>{"The pin number must be less than 4294967296."});
  EXPECT_TRUE(dialog.isVisible());
  EXPECT_EQ(edit->text(), "4294967296") << "the text stays as typed";

  edit->clear();
  gui_testing::TypeText(edit, "4294967x295");
  gui_testing::PressKey(edit, Qt::Key_Return, Qt::NoModifier, "\r");
  EXPECT_EQ(dialog.result(), QDialog::Accepted);
  EXPECT_EQ(dialog.AcceptedPin(), "4294967295");
}

TEST(AddPinDialog, AskedForThroughTheProgramsServices) {
  gui_testing::TestApp();
  molvane::QtUiServices ui;
  gui_testing::OnNextModal([](QWidget* modal) {
    gui_testing::TypeText(modal->focusWidget(), "417");
    modal->findChild<QPushButton*>("add")->click();
  });
  EXPECT_EQ(ui.AskForPin(), std::optional<std::string>("417"));
  gui_testing::OnNextModal(
      [](QWidget* modal) { modal->findChild<QPushButton*>("cancel")->click(); });
  EXPECT_EQ(ui.AskForPin(), std::nullopt);
}

TEST(PinListDialog, ShowsTheCartsPinsAndPressesItsButtons) {
  gui_testing::TestApp();
  cartsim::SimCart::Options options;
  options.cart.startEmpty = true;
  testing_support::SimFixture fixture(options);
  testing_support::RecordingUi ui;
  fixture.Cart([](cartsim::CartModel& cart) {
    cart.Pins().Add(7, cart.Clock().Now());
    return cart.Pins().Add(42, cart.Clock().Now());
  });

  QTabWidget sheet;
  sheet.addTab(new QWidget, "Setup");
  auto* page = new molvane::PinListDialog(fixture.controller, ui);
  sheet.addTab(page, "Pin List");
  sheet.show();
  const auto text = [page](const char* name) {
    return page->findChild<QLineEdit*>(name)->text().toStdString();
  };
  EXPECT_EQ(text("rfidBits"), "--");
  EXPECT_EQ(text("facilityCode"), "--");
  EXPECT_EQ(text("rfidMask"), "------------");
  EXPECT_EQ(text("maxPinDigits"), "4");
  EXPECT_EQ(page->findChild<QLineEdit*>("rfidMask")->accessibleName(), "RFID Mask");

  ASSERT_TRUE(fixture.Connect());
  gui_testing::OnCart(*page, [&] { page->Page().CartNotice(true); });
  sheet.setCurrentIndex(1);
  gui_testing::Settle(*page);
  auto* list = page->findChild<QListWidget*>("pinList");
  ASSERT_EQ(list->count(), 2);
  EXPECT_EQ(list->item(1)->text(), "0000000042          0");
  EXPECT_TRUE(QFontInfo(list->font()).fixedPitch());
  EXPECT_EQ(text("rfidMask"), "PFFFFFFFFBBBBBBBBBBBBBBBBP");

  list->setCurrentRow(1);
  page->findChild<QPushButton*>("remove")->click();
  gui_testing::Settle(fixture.controller.Worker());
  ASSERT_EQ(list->count(), 1);
  EXPECT_EQ(list->item(0)->text(), "0000000007          0");

  auto* mask = page->findChild<CFilterEdit*>("rfidMask");
  mask->setCursorPosition(0);
  gui_testing::TypeText(mask, "p");
  gui_testing::Settle(fixture.controller.Worker());
  EXPECT_EQ(text("rfidMask"), "PFFFFFFFFBBBBBBBBBBBBBBBBP") << "the filter is in force once shown";
  gui_testing::TypeText(mask, "B");
  gui_testing::Settle(fixture.controller.Worker());
  page->findChild<QPushButton*>("updateRfid")->click();
  gui_testing::Settle(fixture.controller.Worker());
  EXPECT_EQ(ui.Texts(),
            std::vector<std::string>{"Error: Bits (26) does not match Mask length of 27!"});
}

}  // namespace
