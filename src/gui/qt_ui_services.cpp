#include "gui/qt_ui_services.h"

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QEventLoop>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QMessageBox>
#include <QSpacerItem>
#include <QStandardPaths>
#include <QTimer>
#include <algorithm>

#include "gui/add_pin_dialog.h"
#include "gui/change_preview_dialog.h"
#include "gui/file_filter.h"
#include "gui/result_dialog.h"

namespace molvane {
namespace {

QMessageBox::StandardButtons ButtonsFor(UiServices::Buttons buttons) {
  switch (buttons) {
    case UiServices::Buttons::OkCancel:
      return QMessageBox::Ok | QMessageBox::Cancel;
    case UiServices::Buttons::YesNo:
      return QMessageBox::Yes | QMessageBox::No;
    case UiServices::Buttons::Ok:
      break;
  }
  return QMessageBox::Ok;
}

// Escape and the close box give the cautious answer: Cancel or No.
QMessageBox::StandardButton EscapeFor(UiServices::Buttons buttons) {
  switch (buttons) {
    case UiServices::Buttons::OkCancel:
      return QMessageBox::Cancel;
    case UiServices::Buttons::YesNo:
      return QMessageBox::No;
    case UiServices::Buttons::Ok:
      break;
  }
  return QMessageBox::Ok;
}

UiServices::Answer AnswerFor(int button, UiServices::Buttons buttons) {
  switch (button) {
    case QMessageBox::Ok:
      return UiServices::Answer::Ok;
    case QMessageBox::Cancel:
      return UiServices::Answer::Cancel;
    case QMessageBox::Yes:
      return UiServices::Answer::Yes;
    case QMessageBox::No:
      return UiServices::Answer::No;
    default:
      break;
  }
  // A box closed some other way counts as its escape answer.
  return AnswerFor(EscapeFor(buttons), buttons);
}

QString Text(const std::string& text) { return QString::fromStdString(text); }

QString Caption(const std::string& caption) {
  return Text(caption.empty() ? UiServices::kAppName : caption);
}

// A box sizes itself to its text, and a short text leaves the title bar too narrow for the
// caption ("M...e"): it is given room for the caption and the title bar's buttons, and never
// less than a readable width.
constexpr int kLeastBoxWidth = 320;
constexpr int kTitleBarButtons = 160;

void LeaveRoomForCaption(QMessageBox& box) {
  auto* grid = qobject_cast<QGridLayout*>(box.layout());
  if (grid == nullptr) return;
  const int width = std::max(
      kLeastBoxWidth, box.fontMetrics().horizontalAdvance(box.windowTitle()) + kTitleBarButtons);
  grid->addItem(new QSpacerItem(width, 0, QSizePolicy::Minimum, QSizePolicy::Expanding),
                grid->rowCount(), 0, 1, grid->columnCount());
}

}  // namespace

UiServices::Answer QtUiServices::MessageBox(const std::string& text, Buttons buttons,
                                            const std::string& caption) {
  const bool question = buttons != Buttons::Ok;
  QMessageBox box(question ? QMessageBox::Question : QMessageBox::Information, Caption(caption),
                  Text(text), ButtonsFor(buttons), QApplication::activeWindow());
  // Yes and No are asked before what cannot be undone (clearing every PIN, cancelling an
  // update): Enter keeps things as they are.
  box.setDefaultButton(buttons == Buttons::YesNo ? QMessageBox::No : QMessageBox::Ok);
  box.setEscapeButton(EscapeFor(buttons));
  return AnswerFor(Run(box), buttons);
}

void QtUiServices::ShowError(const std::string& text, const std::string& caption) {
  QMessageBox box(QMessageBox::Critical, Caption(caption), Text(text), QMessageBox::Ok,
                  QApplication::activeWindow());
  box.setDefaultButton(QMessageBox::Ok);
  box.setEscapeButton(QMessageBox::Ok);
  Run(box);
}

void QtUiServices::ShowNotice(const std::string& text) {
  auto* box = new QMessageBox(QMessageBox::Warning, Caption({}), Text(text), QMessageBox::Ok,
                              QApplication::activeWindow());
  box->setAttribute(Qt::WA_DeleteOnClose);
  box->setModal(false);
  box->show();
}

// A box opened while an operation shows the wait cursor still wants the operator's hand.
int QtUiServices::Run(QMessageBox& box) {
  LeaveRoomForCaption(box);
  const bool waiting = QApplication::overrideCursor() != nullptr;
  if (waiting) QApplication::setOverrideCursor(Qt::ArrowCursor);
  const int button = box.exec();
  if (waiting) QApplication::restoreOverrideCursor();
  return button;
}

std::string QtUiServices::FileDialog(const FileDialogRequest& request) {
  const bool open = request.kind == FileDialogRequest::Kind::Open;
  QString folder = Text(request.folder);
  if (folder.isEmpty() || !QDir(folder).exists()) folder = lastFolder;
  if (folder.isEmpty())
    folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
  if (folder.isEmpty() || !QDir(folder).exists()) folder = QDir::homePath();
  QFileDialog dialog(QApplication::activeWindow(), Text(request.title), folder);
  dialog.setAcceptMode(open ? QFileDialog::AcceptOpen : QFileDialog::AcceptSave);
  dialog.setFileMode(open ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
  dialog.setOption(QFileDialog::DontConfirmOverwrite, !request.askBeforeOverwrite);
  dialog.setNameFilter(Text(QtFileFilter(request.types)));
  // A name with wildcards is a pattern to list, not a file to pick; the types carry it.
  if (request.initialName.find_first_of("*?") == std::string::npos) {
    dialog.selectFile(Text(request.initialName));
  }
  // A typed name without an extension gets the selected type's, so a file saved as a worksheet
  // ends in .xls; under a type that names no single extension it gets the request's default
  // extension when that is a plain word (a descriptive one such as "Pin List Files" is not).
  const std::string fallback = request.defaultExtension.find_first_of(" .*?") == std::string::npos
                                   ? request.defaultExtension
                                   : std::string();
  const auto applySuffix = [&dialog, &request, &fallback](const QString& filter) {
    const int index = dialog.nameFilters().indexOf(filter);
    std::string suffix;
    if (index >= 0 && static_cast<std::size_t>(index) < request.types.size()) {
      suffix = SuffixForType(request.types[static_cast<std::size_t>(index)]);
    }
    dialog.setDefaultSuffix(Text(suffix.empty() ? fallback : suffix));
  };
  QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog, applySuffix);
  applySuffix(dialog.selectedNameFilter());
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
  const QString chosen = dialog.selectedFiles().first();
  lastFolder = QFileInfo(chosen).absolutePath();
  return chosen.toStdString();
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

std::optional<std::string> QtUiServices::AskForPin() {
  AddPinDialog dialog(*this, QApplication::activeWindow());
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  return dialog.AcceptedPin();
}

void QtUiServices::Sleep(int ms) {
  QEventLoop loop;
  QTimer::singleShot(ms, &loop, &QEventLoop::quit);
  loop.exec();
}

bool QtUiServices::ConfirmChanges(const std::string& title, const std::string& text,
                                  const std::vector<std::string>& changes,
                                  const std::string& note) {
  ChangePreviewDialog dialog(title, text, changes, note, QApplication::activeWindow());
  return dialog.exec() == QDialog::Accepted;
}

void QtUiServices::ShowResult(const std::string& title, const std::string& text,
                              const std::vector<std::string>& details) {
  ResultDialog dialog(title, text, details, QApplication::activeWindow());
  dialog.exec();
}

}  // namespace molvane
