#include <gtest/gtest.h>

#include <QAction>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTabWidget>
#include <QTimer>
#include <set>
#include <string>
#include <vector>

#include "app/cart_controller.h"
#include "gui/about_dlg.h"
#include "gui/molvane_dlg.h"
#include "gui/qt_test_app.h"
#include "support/controller_settings.h"
#include "support/recording_ui.h"
#include "support/temp_dir.h"

namespace {

using molvane::CMolvaneDlg;

// A window over a controller that finds no ports, with its files in a fresh folder.
class MainWindow : public ::testing::Test {
 protected:
  MainWindow() : controller(dir.Path(), dir.Path()) {
    gui_testing::TestApp();
    testing_support::SetDiscovery(controller, &molvane::DiscoverySource::sysfsRoot,
                                  dir.File("no-sysfs"));
    testing_support::SetDiscovery(controller, &molvane::DiscoverySource::useEnvironment, false);
  }

  QAction* MenuAction(CMolvaneDlg& window, const QString& menu, const QString& item) {
    for (QMenu* popup : window.findChildren<QMenu*>()) {
      if (QString(popup->title()).remove('&') != menu) continue;
      for (QAction* action : popup->actions()) {
        if (action->text() == item) return action;
      }
    }
    return nullptr;
  }

  static void Press(QWidget& widget, int key) {
    QKeyEvent event(QEvent::KeyPress, key, Qt::NoModifier);
    QApplication::sendEvent(&widget, &event);
  }

  testing_support::TempDir dir;
  molvane::CartController controller;
  testing_support::RecordingUi ui;
};

TEST_F(MainWindow, ShowsSixPagesInOrderWithSetupInFront) {
  CMolvaneDlg window(controller, ui);
  EXPECT_EQ(window.windowTitle(), "Molvane");
  EXPECT_FALSE(window.windowIcon().isNull());
  auto* sheet = window.findChild<QTabWidget*>("pages");
  ASSERT_NE(sheet, nullptr);
  const QStringList expected = {"Setup",   "Pin List", "Log",
                                "Testing", "Service",  "Factory Calibration"};
  ASSERT_EQ(sheet->count(), expected.size());
  for (int i = 0; i < sheet->count(); ++i) EXPECT_EQ(sheet->tabText(i), expected[i]) << i;
  EXPECT_EQ(sheet->currentIndex(), 0);
  EXPECT_TRUE(ui.boxes.empty());
}

TEST_F(MainWindow, StatusFieldIsReadOnlyCentredAndStartsEmpty) {
  CMolvaneDlg window(controller, ui);
  auto* status = window.findChild<QLineEdit*>("connectionText");
  ASSERT_NE(status, nullptr);
  EXPECT_TRUE(status->isReadOnly());
  EXPECT_EQ(status->alignment() & Qt::AlignHorizontal_Mask, Qt::AlignHCenter);
  EXPECT_TRUE(status->text().isEmpty());
}

// Without the FTDI driver no port is found; the field says so, and its tip says why.
TEST_F(MainWindow, StatusTipTellsThatTheDriverIsMissing) {
  testing_support::SetDiscovery(controller, &molvane::DiscoverySource::registryRoot,
                                "SOFTWARE\\Molvane test\\no such key");
  CMolvaneDlg window(controller, ui);
  auto* status = window.findChild<QLineEdit*>("connectionText");
  ASSERT_NE(status, nullptr);
  QTimer check;
  QObject::connect(&check, &QTimer::timeout, &window, [&] {
    if (!status->text().isEmpty()) window.accept();
  });
  check.start(50);
  QTimer::singleShot(15000, &window, &QDialog::reject);  // only catches a hang
  window.show();
  window.exec();
  EXPECT_EQ(status->text(), "Disconnected");
  // The remedy that follows is the platform's own (the discovery tests spell out each).
  const std::string tip = status->toolTip().toStdString();
  EXPECT_EQ(tip.rfind("No USB Cart drivers have been installed on this system. ", 0), 0u) << tip;
  EXPECT_NE(tip.find(", then plug the cart in again"), std::string::npos) << tip;
}

TEST_F(MainWindow, ReadsTheConfigurationWhileStarting) {
  testing_support::WriteFile(controller.ConfigPath(),
                             "<FIRMWARE>\n\t[MAINFIRMWAREFILE] \"/carts/main.hex\"\n</FIRMWARE>\n");
  CMolvaneDlg window(controller, ui);
  EXPECT_EQ(controller.GetPathSetting(molvane::CartController::PathSetting::MainFirmware),
            "/carts/main.hex");
}

TEST_F(MainWindow, TimerTicksEveryTenthOfASecondUntilTheWindowCloses) {
  CMolvaneDlg window(controller, ui);
  auto* timer = window.findChild<QTimer*>("timer1");
  ASSERT_NE(timer, nullptr);
  EXPECT_TRUE(timer->isActive());
  EXPECT_EQ(timer->interval(), 100);
  window.show();
  window.reject();
  EXPECT_FALSE(timer->isActive());
}

TEST_F(MainWindow, FileExitClosesAsOk) {
  CMolvaneDlg window(controller, ui);
  QAction* exit = MenuAction(window, "File", "E&xit");
  ASSERT_NE(exit, nullptr);
  QTimer::singleShot(0, exit, &QAction::trigger);
  EXPECT_EQ(window.exec(), QDialog::Accepted);
  EXPECT_FALSE(window.isVisible());
}

TEST_F(MainWindow, FileSaveSupportReportWritesTheChosenFile) {
  CMolvaneDlg window(controller, ui);
  QAction* save = MenuAction(window, "File", "&Save Support Report...");
  ASSERT_NE(save, nullptr);
  ui.fileNames = {dir.File("report.txt")};
  save->trigger();
  gui_testing::Settle(controller.Worker());
  EXPECT_EQ(ui.Texts(), std::vector<std::string>{"The support report was saved to " +
                                                 dir.File("report.txt") + "."});
  EXPECT_NE(testing_support::ReadFile(dir.File("report.txt")).find("No cart is connected."),
            std::string::npos);
  window.reject();
}

// Enter and Escape typed into a page's field stay in the window: what was typed is not lost.
// The close box (and Alt+F4, which the system turns into it) still ends the program.
TEST_F(MainWindow, EnterAndEscapeInAFieldKeepTheWindowAndTheCloseBoxEndsIt) {
  CMolvaneDlg window(controller, ui);
  window.show();
  auto* field = window.findChild<QLineEdit*>("keyboardLightTimeout");
  ASSERT_NE(field, nullptr);
  field->setFocus();
  gui_testing::TypeText(field, "120");
  for (const int key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Escape}) {
    gui_testing::PressKey(field, key);
    gui_testing::Wait(20);
    EXPECT_TRUE(window.isVisible()) << key;
  }
  EXPECT_EQ(field->text(), "120");
  QTimer::singleShot(0, &window, [&window] { window.close(); });
  EXPECT_EQ(window.exec(), QDialog::Rejected);
}

// No page button is the window's default: Enter in a Pin List field presses nothing (it used to
// open "Add Pin", and a second Enter sent an empty PIN).
TEST_F(MainWindow, EnterOnThePinListPagePressesNoButton) {
  CMolvaneDlg window(controller, ui);
  window.show();
  window.findChild<QTabWidget*>("pages")->setCurrentIndex(1);
  for (QPushButton* button : window.findChildren<QPushButton*>()) {
    EXPECT_FALSE(button->isDefault() || button->autoDefault())
        << button->objectName().toStdString();
  }
  for (const char* name : {"maxPinDigits", "rfidBits", "facilityCode"}) {
    auto* field = window.findChild<QLineEdit*>(name);
    ASSERT_NE(field, nullptr) << name;
    field->setFocus();
    gui_testing::PressKey(field, Qt::Key_Return);
    gui_testing::PressKey(field, Qt::Key_Return);
  }
  gui_testing::Settle(controller.Worker());
  EXPECT_EQ(ui.pinDialogs, 0);
  EXPECT_TRUE(ui.boxes.empty());
  EXPECT_TRUE(window.isVisible());
  window.reject();
}

// Alt+F opens File and Alt+A About, and no two items of one menu share a mnemonic.
TEST_F(MainWindow, EveryMenuAndItemHasAMnemonicOfItsOwn) {
  CMolvaneDlg window(controller, ui);
  const auto mnemonic = [](const QString& text) {
    const qsizetype at = text.indexOf('&');
    return at >= 0 && at + 1 < text.size() ? text[at + 1].toLower() : QChar();
  };
  std::set<QChar> menus;
  for (QAction* menu : window.findChild<QMenuBar*>()->actions()) {
    menus.insert(mnemonic(menu->text()));
    std::set<QChar> items;
    for (QAction* item : menu->menu()->actions()) {
      if (item->isSeparator()) continue;
      const QChar key = mnemonic(item->text());
      EXPECT_FALSE(key.isNull()) << item->text().toStdString();
      EXPECT_TRUE(items.insert(key).second) << item->text().toStdString();
    }
  }
  EXPECT_EQ(menus, (std::set<QChar>{'f', 'a'}));
}

TEST_F(MainWindow, BothAboutItemsOpenTheAboutBox) {
  CMolvaneDlg window(controller, ui);
  window.show();
  for (const QString item : {"&About", "About &Molvane..."}) {
    QAction* about = MenuAction(window, "About", item);
    ASSERT_NE(about, nullptr) << item.toStdString();
    QString caption;
    gui_testing::OnNextModal([&caption](QWidget* modal) {
      if (qobject_cast<molvane::CAboutDlg*>(modal)) caption = modal->windowTitle();
      modal->close();
    });
    about->trigger();  // returns when the box is closed
    EXPECT_EQ(caption, "About Molvane") << item.toStdString();
  }
}

}  // namespace
