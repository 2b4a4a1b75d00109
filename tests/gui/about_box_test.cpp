#include <gtest/gtest.h>

#include <QDir>
#include <QLabel>
#include <QPushButton>
#include <QTimer>

#include "gui/about_dlg.h"
#include "gui/qt_test_app.h"

namespace {

TEST(AboutBox, ShowsCaptionVersionAndPicture) {
  gui_testing::TestApp();
  molvane::CAboutDlg about;
  EXPECT_EQ(about.windowTitle(), "About Molvane");
  auto* version = about.findChild<QLabel*>("versionText");
  ASSERT_NE(version, nullptr);
  EXPECT_EQ(version->text(), "Molvane Version 6.52");
  auto* picture = about.findChild<QLabel*>("picture");
  ASSERT_NE(picture, nullptr);
  EXPECT_FALSE(picture->pixmap().isNull());
}

// Support asks where the settings are; the box tells it in the system's own spelling.
TEST(AboutBox, NamesTheSettingsFolderWhenGivenOne) {
  gui_testing::TestApp();
  molvane::CAboutDlg given(nullptr, "/home/ann/.config/molvane");
  auto* folder = given.findChild<QLabel*>("settingsFolder");
  ASSERT_NE(folder, nullptr);
  EXPECT_EQ(folder->text(), QDir::toNativeSeparators("Settings folder: /home/ann/.config/molvane"));
  EXPECT_TRUE(folder->isVisibleTo(&given));

  molvane::CAboutDlg none;
  EXPECT_FALSE(none.findChild<QLabel*>("settingsFolder")->isVisibleTo(&none));
}

TEST(AboutBox, OkClosesIt) {
  gui_testing::TestApp();
  molvane::CAboutDlg about;
  const auto buttons = about.findChildren<QPushButton*>();
  ASSERT_EQ(buttons.size(), 1);
  EXPECT_EQ(buttons[0]->text(), "OK");
  QTimer::singleShot(0, buttons[0], &QPushButton::click);
  EXPECT_EQ(about.exec(), QDialog::Accepted);
}

}  // namespace
