#include "gui/working_folder.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#include "app/cart_controller.h"
#include "gui/qt_test_app.h"
#include "support/temp_dir.h"

namespace {

TEST(ProgramFolder, BecomesWorkingFolderWhileTheTraceStaysWhereTheProgramStarted) {
  gui_testing::TestApp();
  gui_testing::KeepWorkingFolder keep;
  testing_support::TempDir start;
  ASSERT_TRUE(QDir::setCurrent(QString::fromStdString(start.Path())));
  molvane::CartController controller;

  ASSERT_TRUE(molvane::EnterSettingsFolder(controller));

  const QString programFolder = QCoreApplication::applicationDirPath();
  EXPECT_EQ(QDir::current().canonicalPath(), QDir(programFolder).canonicalPath());
  // The controller keeps the platform's own separators ("C:\\Molvane" on Windows).
  const auto portable = [](const std::string& path) {
    return QDir::fromNativeSeparators(QString::fromStdString(path));
  };
  EXPECT_EQ(portable(controller.GetProgramFolder()), programFolder);
  EXPECT_EQ(portable(controller.ConfigPath()), programFolder + "/Molvane.cfg");
  const QString trace = QString::fromStdString(controller.TracePath());
  EXPECT_EQ(QFileInfo(trace).dir().canonicalPath(),
            QDir(QString::fromStdString(start.Path())).canonicalPath());
  EXPECT_EQ(QFileInfo(trace).fileName(), "comlog.txt");
}

}  // namespace
