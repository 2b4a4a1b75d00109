#include "gui/window_texts.h"

#include <gtest/gtest.h>

#include <QDialog>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QTabWidget>
#include <QVBoxLayout>

#include "gui/qt_test_app.h"
#include "support/temp_dir.h"

namespace {

// A window as a test outside the process sees it: shown controls with their texts and tips, a
// hidden control and the pages behind the front tab left out.
TEST(WindowTexts, ListWhatTheOpenWindowShows) {
  gui_testing::TestApp();
  QDialog window;
  window.setWindowTitle("Molvane");
  auto* layout = new QVBoxLayout(&window);
  auto* status = new QLineEdit("Disconnected", &window);
  status->setObjectName("connectionText");
  status->setToolTip("No driver.");
  layout->addWidget(status);
  auto* note = new QLabel("two\nlines", &window);
  note->setAccessibleName("Note");
  layout->addWidget(note);
  auto* hidden = new QLabel("hidden", &window);
  hidden->hide();
  auto* tabs = new QTabWidget(&window);
  tabs->addTab(new QLabel("front page"), "Setup");
  tabs->addTab(new QLabel("back page"), "Log");
  layout->addWidget(tabs);
  window.show();

  const QStringList lines = molvane::WindowTexts(window);

  EXPECT_EQ(lines.value(0), "Molvane\twindow\t");
  for (const QString expected :
       {"Molvane\tconnectionText\tDisconnected", "Molvane\tconnectionText (tip)\tNo driver.",
        "Molvane\tNote\ttwo\\nlines", "Molvane\tqt_tabwidget_tabbar\tSetup* | Log",
        "Molvane\tQLabel\tfront page"}) {
    EXPECT_TRUE(lines.contains(expected)) << expected.toStdString();
  }
  EXPECT_FALSE(lines.join('\n').contains("hidden"));
  EXPECT_FALSE(lines.join('\n').contains("back page"));

  testing_support::TempDir dir;
  const QString path = QString::fromStdString(dir.File("window.txt"));
  ASSERT_TRUE(molvane::WriteOpenWindowTexts(path));
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  EXPECT_TRUE(
      QString::fromUtf8(file.readAll()).contains("Molvane\tconnectionText\tDisconnected\n"));
}

}  // namespace
