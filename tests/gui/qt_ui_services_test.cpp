#include "gui/qt_ui_services.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QDir>
#include <QFileDialog>
#include <QKeyEvent>
#include <QMessageBox>
#include <vector>

#include "gui/qt_test_app.h"
#include "support/temp_dir.h"

namespace {

using molvane::QtUiServices;
using Answer = molvane::UiServices::Answer;
using Buttons = molvane::UiServices::Buttons;

struct Seen {
  QString caption;
  QString text;
  QStringList buttons;
};

// Shows a box and answers it with the button whose text is `press`, or with Escape.
Answer AnswerBox(QtUiServices& ui, Buttons buttons, const QString& press, Seen& seen,
                 const std::string& caption = {}) {
  gui_testing::OnNextModal([&](QWidget* modal) {
    auto* box = qobject_cast<QMessageBox*>(modal);
    if (!box) {
      modal->close();
      return;
    }
    seen.caption = box->windowTitle();
    seen.text = box->text();
    QAbstractButton* chosen = nullptr;
    for (QAbstractButton* button : box->buttons()) {
      seen.buttons << button->text().remove('&');
      if (!press.isEmpty() && button->text().remove('&') == press) chosen = button;
    }
    if (chosen) {
      chosen->click();
    } else {
      QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
      QApplication::sendEvent(box, &escape);
    }
  });
  return ui.MessageBox("Are you sure?", buttons, caption);
}

TEST(QtMessageBox, OfferedButtonsComeBackAsTheirAnswers) {
  gui_testing::TestApp();
  QtUiServices ui;
  Seen seen;
  EXPECT_EQ(AnswerBox(ui, Buttons::Ok, "OK", seen), Answer::Ok);
  EXPECT_EQ(seen.buttons, QStringList{"OK"});
  EXPECT_EQ(seen.text, "Are you sure?");
  EXPECT_EQ(seen.caption, "Molvane");

  seen = {};
  EXPECT_EQ(AnswerBox(ui, Buttons::OkCancel, "Cancel", seen), Answer::Cancel);
  EXPECT_EQ(seen.buttons.size(), 2);
  EXPECT_EQ(AnswerBox(ui, Buttons::OkCancel, "OK", seen), Answer::Ok);

  seen = {};
  EXPECT_EQ(AnswerBox(ui, Buttons::YesNo, "Yes", seen), Answer::Yes);
  EXPECT_EQ(seen.buttons.size(), 2);
  EXPECT_EQ(AnswerBox(ui, Buttons::YesNo, "No", seen), Answer::No);
}

TEST(QtMessageBox, EscapeGivesTheCautiousAnswer) {
  gui_testing::TestApp();
  QtUiServices ui;
  Seen seen;
  EXPECT_EQ(AnswerBox(ui, Buttons::YesNo, "", seen), Answer::No);
  EXPECT_EQ(AnswerBox(ui, Buttons::OkCancel, "", seen), Answer::Cancel);
  EXPECT_EQ(AnswerBox(ui, Buttons::Ok, "", seen), Answer::Ok);
}

// Yes and No are asked before what cannot be undone: a reflex Enter answers No.
TEST(QtMessageBox, EnterOnAYesNoQuestionAnswersNo) {
  gui_testing::TestApp();
  QtUiServices ui;
  gui_testing::OnNextModal([](QWidget* modal) {
    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QApplication::sendEvent(modal, &enter);
  });
  EXPECT_EQ(ui.MessageBox("Are you sure you wish to clear all of the pin numbers?", Buttons::YesNo),
            Answer::No);
}

// An error looks like one, and a box is wide enough for its caption to be read whole.
TEST(QtMessageBox, AnErrorBoxHasTheErrorIconAndRoomForItsCaption) {
  gui_testing::TestApp();
  QtUiServices ui;
  QMessageBox::Icon icon = QMessageBox::NoIcon;
  QString caption;
  int width = 0, captionWidth = 0;
  gui_testing::OnNextModal([&](QWidget* modal) {
    auto* box = qobject_cast<QMessageBox*>(modal);
    if (box != nullptr) {
      icon = box->icon();
      caption = box->windowTitle();
      width = box->width();
      captionWidth = box->fontMetrics().horizontalAdvance(caption);
    }
    modal->close();
  });
  ui.ShowError("Max number of pins exceeded.", "Error");
  EXPECT_EQ(icon, QMessageBox::Critical);
  EXPECT_EQ(caption, "Error");
  EXPECT_GE(width, captionWidth + 150);
  EXPECT_GE(width, 300);
}

// A file dialog opens where the page asks, else where the last file was chosen, and never in the
// program's own folder (the working folder), which holds no file of the technician's.
TEST(QtFileDialog, OpensWhereAskedElseWhereTheLastFileWasChosen) {
  gui_testing::TestApp();
  gui_testing::KeepWorkingFolder keep;
  testing_support::TempDir program, files, asked;
  QDir::setCurrent(QString::fromStdString(program.Path()));
  testing_support::WriteFile(files.File("pins.txt"), "1234\r\n");
  QtUiServices ui;
  std::vector<QString> openedIn;
  const auto choose = [&](const std::string& folder, const std::string& file) {
    gui_testing::OnNextModal([&openedIn, file](QWidget* modal) {
      auto* dialog = qobject_cast<QFileDialog*>(modal);
      if (dialog == nullptr) {
        modal->close();
        return;
      }
      openedIn.push_back(QDir(dialog->directory()).canonicalPath());
      if (!file.empty()) dialog->selectFile(QString::fromStdString(file));
      QDialog& asDialog = *dialog;
      if (file.empty()) {
        asDialog.reject();
      } else {
        asDialog.accept();
      }
    });
    molvane::FileDialogRequest request;
    request.folder = folder;
    return ui.FileDialog(request);
  };
  EXPECT_EQ(choose({}, files.File("pins.txt")), files.File("pins.txt"));
  EXPECT_EQ(choose({}, {}), "");
  EXPECT_EQ(choose(asked.Path(), {}), "");
  ASSERT_EQ(openedIn.size(), 3u);
  EXPECT_NE(openedIn[0], QDir(QString::fromStdString(program.Path())).canonicalPath());
  EXPECT_EQ(openedIn[1], QDir(QString::fromStdString(files.Path())).canonicalPath());
  EXPECT_EQ(openedIn[2], QDir(QString::fromStdString(asked.Path())).canonicalPath());
}

TEST(QtMessageBox, EmptyCaptionBecomesTheProgramName) {
  gui_testing::TestApp();
  QtUiServices ui;
  Seen seen;
  AnswerBox(ui, Buttons::Ok, "OK", seen, "");
  EXPECT_EQ(seen.caption, "Molvane");
}

TEST(QtServices, ClipboardTextRoundTripsIncludingLineBreaksAndNonAscii) {
  gui_testing::TestApp();
  QtUiServices ui;
  const std::string text = "1234\t2024-01-02\n5678\t\xc3\xa9t\xc3\xa9\n";
  ui.SetClipboardText(text);
  EXPECT_EQ(ui.ClipboardText(), text);
}

TEST(QtServices, WaitCursorNestsAndIsRestored) {
  gui_testing::TestApp();
  QtUiServices ui;
  ASSERT_EQ(QApplication::overrideCursor(), nullptr);
  {
    molvane::WaitCursor outer(ui);
    {
      molvane::WaitCursor inner(ui);
      ASSERT_NE(QApplication::overrideCursor(), nullptr);
    }
    ASSERT_NE(QApplication::overrideCursor(), nullptr);
    EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
  }
  EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

}  // namespace
