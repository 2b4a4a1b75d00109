#include "gui/molvane_app.h"

#include <QFileInfo>
#include <QStringList>
#include <QTimer>

#include "gui/app_icon.h"
#include "gui/molvane_dlg.h"
#include "gui/window_texts.h"
#include "gui/working_folder.h"

namespace molvane {
namespace {

QString OptionValue(const QStringList& arguments, const char* option) {
  const auto at = arguments.indexOf(option);
  return at < 0 || at + 1 >= arguments.size() ? QString() : arguments[at + 1];
}

}  // namespace

CMolvaneApp::CMolvaneApp(int& argc, char** argv) : app(argc, argv) {
  QApplication::setApplicationName(CMolvaneDlg::kCaption);
  QApplication::setWindowIcon(MolvaneIcon());
  ReadOptions();
  EnterSettingsFolder(controller);
}

// Read before the settings folder becomes the working folder, so a relative path names a file
// where the program was started.
void CMolvaneApp::ReadOptions() {
  const QStringList arguments = QApplication::arguments();
  bool ok = false;
  const int ms = OptionValue(arguments, kQuitAfterOption).toInt(&ok);
  if (ok && ms >= 0) quitAfterMs = ms;
  const QString dump = OptionValue(arguments, kDumpWindowOption);
  if (!dump.isEmpty()) dumpPath = QFileInfo(dump).absoluteFilePath();
}

// A message box may be open above the window when the time is up (the connection check warns
// about PINs); it is closed first, and so is any that follows, so that the program never waits
// for an operator who is not there.
void CMolvaneApp::ScheduleQuit(QDialog& window) const {
  auto* quit = new QTimer(&window);
  quit->setInterval(50);
  QObject::connect(quit, &QTimer::timeout, &window, [&window] {
    QWidget* modal = QApplication::activeModalWidget();
    if (modal && modal != &window) {
      modal->close();
    } else {
      window.accept();
    }
  });
  QTimer::singleShot(quitAfterMs, quit, qOverload<>(&QTimer::start));
}

void CMolvaneApp::ScheduleDump(QDialog& window) const {
  auto* dump = new QTimer(&window);
  QObject::connect(dump, &QTimer::timeout, &window,
                   [path = dumpPath] { WriteOpenWindowTexts(path); });
  dump->start(kDumpMs);
}

int CMolvaneApp::InitInstance() {
  CMolvaneDlg window(controller, ui);
  if (quitAfterMs >= 0) ScheduleQuit(window);
  if (!dumpPath.isEmpty()) ScheduleDump(window);
  window.exec();
  return 0;
}

}  // namespace molvane
