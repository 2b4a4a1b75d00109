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

int CMolvaneApp::InitInstance() {
  controller.SetUi(&ui);
  {
    CMolvaneDlg window(controller, ui);
    if (quitAfterMs >= 0) QTimer::singleShot(quitAfterMs, &window, &QDialog::accept);
    window.exec();
  }
  controller.SetUi(nullptr);
  return 0;
}

}  // namespace molvane
