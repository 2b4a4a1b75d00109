#include "gui/qt_ui_services.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QKeyEvent>
#include <QMessageBox>

#include "gui/qt_test_app.h"

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
