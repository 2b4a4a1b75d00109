#include "gui/qt_ui_services.h"

#include <QApplication>
#include <QClipboard>
#include <QFileDialog>
#include <QMessageBox>

#include "gui/file_filter.h"

namespace molvane {
namespace {

QMessageBox::StandardButtons ButtonsFor(UiServices::Buttons buttons) {
  switch (buttons) {
    case UiServices::Buttons::OkCancel: return QMessageBox::Ok | QMessageBox::Cancel;
    case UiServices::Buttons::YesNo: return QMessageBox::Yes | QMessageBox::No;
    case UiServices::Buttons::Ok: break;
  }
  return QMessageBox::Ok;
}

// Escape and the close box give the cautious answer: Cancel or No.
QMessageBox::StandardButton EscapeFor(UiServices::Buttons buttons) {
  switch (buttons) {
    case UiServices::Buttons::OkCancel: return QMessageBox::Cancel;
    case UiServices::Buttons::YesNo: return QMessageBox::No;
    case UiServices::Buttons::Ok: break;
  }
  return QMessageBox::Ok;
}

UiServices::Answer AnswerFor(int button, UiServices::Buttons buttons) {
  switch (button) {
    case QMessageBox::Ok: return UiServices::Answer::Ok;
    case QMessageBox::Cancel: return UiServices::Answer::Cancel;
    case QMessageBox::Yes: return UiServices::Answer::Yes;
    case QMessageBox::No: return UiServices::Answer::No;
    default: break;
  }
  // A box closed some other way counts as its escape answer.
  return AnswerFor(EscapeFor(buttons), buttons);
}

QString Text(const std::string& text) { return QString::fromStdString(text); }

}  // namespace

UiServices::Answer QtUiServices::MessageBox(const std::string& text, const std::string& caption,
                                            Buttons buttons) {
  const bool question = buttons != Buttons::Ok;
  QMessageBox box(question ? QMessageBox::Question : QMessageBox::Information,
                  Text(caption.empty() ? kAppName : caption), Text(text), ButtonsFor(buttons),
                  QApplication::activeWindow());
  box.setDefaultButton(buttons == Buttons::YesNo ? QMessageBox::Yes : QMessageBox::Ok);
  box.setEscapeButton(EscapeFor(buttons));
  return AnswerFor(box.exec(), buttons);
}

std::string QtUiServices::OpenFileName(const std::string& filter) {
  return QFileDialog::getOpenFileName(QApplication::activeWindow(), QString(), QString(),
                                      Text(QtFileFilter(filter)))
      .toStdString();
}

std::string QtUiServices::SaveFileName(const std::string& filter) {
  return QFileDialog::getSaveFileName(QApplication::activeWindow(), QString(), QString(),
                                      Text(QtFileFilter(filter)))
      .toStdString();
}

std::string QtUiServices::ClipboardText() {
  return QApplication::clipboard()->text().toStdString();
}

void QtUiServices::SetClipboardText(const std::string& text) {
  QApplication::clipboard()->setText(Text(text));
}

void QtUiServices::BeginWaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }

void QtUiServices::EndWaitCursor() { QApplication::restoreOverrideCursor(); }

void QtUiServices::Beep() { QApplication::beep(); }

}  // namespace molvane
