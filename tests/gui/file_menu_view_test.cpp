// File > "Restore Cart..." in the main window over the simulated cart: the preview dialog lists
// the changes, and OK sends them.
#include <gtest/gtest.h>

#include <QAction>
#include <QDialogButtonBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QTimer>

#include "backup/backup_file.h"
#include "backup/backup_read.h"
#include "gui/molvane_dlg.h"
#include "gui/qt_test_app.h"
#include "gui/qt_ui_services.h"
#include "support/controller_settings.h"
#include "support/sim_fixture.h"

namespace {

// The real dialogs, but the file comes from the test and the message boxes are only noted.
struct TestUi : molvane::QtUiServices {
  std::string file;
  std::vector<std::string> boxes;
  std::string FileDialog(const molvane::FileDialogRequest&) override { return file; }
  Answer MessageBox(const std::string& text, Buttons, const std::string&) override {
    boxes.push_back(text);
    return Answer::Ok;
  }
};

QAction* MenuItem(QWidget& window, const QString& text) {
  for (QAction* action : window.findChildren<QAction*>()) {
    if (action->text().remove('&') == text) return action;
  }
  return nullptr;
}

TEST(FileMenuView, RestoreCartShowsThePreviewAndSendsOnOk) {
  gui_testing::TestApp();
  testing_support::SimFixture source;
  ASSERT_TRUE(source.Connect());
  molvane::CartBackup backup;
  const molvane::Outcome read = molvane::ReadCartBackup(source.controller, backup);
  ASSERT_TRUE(read) << read.text;
  TestUi ui;
  ui.file = source.dir.File("cart.txt");
  ASSERT_TRUE(molvane::WriteBackupFile(ui.file, backup));

  cartsim::SimCart::Options empty;
  empty.cart.startEmpty = true;
  testing_support::SimFixture target(empty);
  ASSERT_TRUE(target.started);
  molvane::CartController& controller = target.controller;
  testing_support::SetDiscovery(controller, &molvane::DiscoverySource::sysfsRoot,
                                target.dir.File("no-sysfs"));
  testing_support::SetDiscovery(controller, &molvane::DiscoverySource::useEnvironment, false);
  testing_support::SetDiscovery(controller, &molvane::DiscoverySource::extraPorts,
                                target.link.DevicePath());

  molvane::CMolvaneDlg window(controller, ui);
  QAction* restore = MenuItem(window, "Restore Cart...");
  ASSERT_NE(restore, nullptr);
  ASSERT_NE(MenuItem(window, "Back Up Cart..."), nullptr);
  auto* status = window.findChild<QLineEdit*>("connectionText");

  QStringList previewed;
  QString note;
  QElapsedTimer clock;
  clock.start();
  QTimer check;
  QObject::connect(&check, &QTimer::timeout, [&] {
    if (status->text() != "Connected" && clock.elapsed() < 15000) return;
    check.stop();
    gui_testing::OnNextModal([&](QWidget* preview) {
      auto* list = preview->findChild<QListWidget*>("changes");
      for (int i = 0; list != nullptr && i < list->count(); ++i) previewed << list->item(i)->text();
      if (auto* label = preview->findChild<QLabel*>("note")) note = label->text();
      preview->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
    });
    restore->trigger();
    gui_testing::Settle(controller.Worker());
    window.done(QDialog::Accepted);
  });
  check.start(50);
  window.show();
  window.exec();

  EXPECT_TRUE(previewed.contains("Cart name: \"Cart\" -> \"Ward 4 Cart\""))
      << previewed.join("\n").toStdString();
  EXPECT_TRUE(previewed.contains("Add PIN 1234")) << previewed.join("\n").toStdString();
  EXPECT_TRUE(note.contains("own clock")) << note.toStdString();
  ASSERT_FALSE(ui.boxes.empty());
  EXPECT_NE(ui.boxes.back().find("Restore complete"), std::string::npos) << ui.boxes.back();
  EXPECT_EQ(target.Cart([](cartsim::CartModel& cart) { return cart.Settings().name; }),
            "Ward 4 Cart");
  EXPECT_EQ(window.findChild<QLineEdit*>("serialNumber")->text().toStdString(), backup.serialNumber)
      << "the pages read the restored cart again";
}

// A restore cut short on a full cart accounts for some 160 lines. They scroll in a list below the
// failure and the undo file, and the dialog with its OK stays within the screen.
TEST(FileMenuView, ALongRestoreResultScrollsBelowTheFailureAndTheUndoFile) {
  gui_testing::TestApp();
  std::vector<std::string> details = {"Applied:"};
  for (int pin = 1; pin <= 157; ++pin) details.push_back("  Add PIN " + std::to_string(pin));
  const std::string text =
      "The restore stopped at pin_list_add: Error: Timeout\nThe cart as it was before is saved "
      "in cart.before-restore-20240518-143005.txt: restore that file to undo this restore.";
  QString summary;
  int rows = 0;
  bool scrolls = false, fits = false, summaryAbove = false, okShown = false;
  gui_testing::OnNextModal([&](QWidget* dialog) {
    auto* label = dialog->findChild<QLabel*>("summary");
    auto* list = dialog->findChild<QListWidget*>("details");
    QPushButton* ok = dialog->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok);
    ASSERT_TRUE(label != nullptr && list != nullptr && ok != nullptr);
    summary = label->text();
    rows = list->count();
    scrolls = list->verticalScrollBar()->maximum() > 0;
    summaryAbove = label->geometry().bottom() < list->geometry().top();
    fits = dialog->frameGeometry().height() <= dialog->screen()->availableGeometry().height();
    okShown = ok->isVisible();
    ok->click();
  });
  molvane::QtUiServices ui;
  ui.ShowResult("Restore Cart", text, details);

  EXPECT_EQ(summary.toStdString(), text);
  EXPECT_EQ(rows, 158);
  EXPECT_TRUE(scrolls);
  EXPECT_TRUE(summaryAbove);
  EXPECT_TRUE(fits);
  EXPECT_TRUE(okShown);
}

}  // namespace
