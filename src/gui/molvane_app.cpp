#include "gui/molvane_app.h"

#include <QStringList>
#include <QTimer>

#include "gui/app_icon.h"
#include "gui/molvane_dlg.h"
#include "gui/working_folder.h"

namespace molvane {

CMolvaneApp::CMolvaneApp(int& argc, char** argv) : app(argc, argv) {
  QApplication::setApplicationName(CMolvaneDlg::kCaption);
  QApplication::setWindowIcon(MolvaneIcon());
  ReadOptions();
  EnterProgramFolder(controller);
}

void CMolvaneApp::ReadOptions() {
  const QStringList arguments = QApplication::arguments();
  const auto option = arguments.indexOf(kQuitAfterOption);
  if (option < 0 || option + 1 >= arguments.size()) return;
  bool ok = false;
  const int ms = arguments[option + 1].toInt(&ok);
  if (ok && ms >= 0) quitAfterMs = ms;
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

int CMolvaneApp::InitInstance() {
  controller.SetUi(&ui);
  {
    CMolvaneDlg window(controller);
    if (quitAfterMs >= 0) ScheduleQuit(window);
    window.exec();
  }
  controller.SetUi(nullptr);
  return 0;
}

}  // namespace molvane
