// Saves a picture of every page of the real program, offscreen, against the simulated cart:
//   screenshot_tour OUTPUT_FOLDER
// Message boxes are answered without being shown, so nothing waits for an operator.
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QTabWidget>
#include <QThread>
#include <algorithm>
#include <cstdio>

#include "app/cart_controller.h"
#include "gui/molvane_dlg.h"
#include "pages/ui_services.h"
#include "screenshots/shot.h"
#include "sim/pty_transport.h"
#include "sim/sim_cart.h"
#include "support/controller_settings.h"

namespace screenshots {

std::vector<Shot>& Shots() {
  static std::vector<Shot> shots;
  return shots;
}

namespace {

class AnsweringUi : public molvane::UiServices {
 public:
  Answer MessageBox(const std::string& text, Buttons buttons, const std::string&) override {
    std::printf("  (box) %s\n", text.c_str());
    return buttons == Buttons::YesNo ? Answer::Yes : Answer::Ok;
  }
};

void Wait(int ms) {
  QElapsedTimer clock;
  clock.start();
  while (clock.elapsed() < ms) {
    QApplication::processEvents(QEventLoop::AllEvents, 10);
    QThread::msleep(2);
  }
}

bool WaitForConnected(molvane::CMolvaneDlg& window, int boundMs) {
  auto* status = window.findChild<QLineEdit*>("connectionText");
  QElapsedTimer clock;
  clock.start();
  while (clock.elapsed() < boundMs) {
    if (status != nullptr && status->text() == "Connected") return true;
    Wait(50);
  }
  return false;
}

}  // namespace
}  // namespace screenshots

int main(int argc, char** argv) {
  using namespace screenshots;
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  if (argc < 2) {
    std::fprintf(stderr, "usage: screenshot_tour OUTPUT_FOLDER\n");
    return 2;
  }
  const QString out = QString::fromLocal8Bit(argv[1]);
  QDir().mkpath(out);
  const QString work = QDir::temp().filePath("molvane-shots");
  QDir().mkpath(work);

  cartsim::SimCart sim;
  cartsim::PtyTransport link(sim, cartsim::PtyTransport::Options{false, {}});
  if (!link.Start()) {
    std::fprintf(stderr, "the simulated cart could not start\n");
    return 1;
  }
  molvane::CartController controller(work.toStdString(), work.toStdString());
  testing_support::SetDiscovery(controller, &molvane::DiscoverySource::useEnvironment, false);
  testing_support::SetDiscovery(controller, &molvane::DiscoverySource::sysfsRoot, "/nonexistent");
  testing_support::SetDiscovery(controller, &molvane::DiscoverySource::extraPorts,
                                link.DevicePath());
  AnsweringUi ui;

  int failures = 0;
  {
    molvane::CMolvaneDlg window(controller, ui);
    window.show();
    if (!WaitForConnected(window, 10000)) {
      std::fprintf(stderr, "the window never showed \"Connected\"\n");
      return 1;
    }
    auto* sheet = window.findChild<QTabWidget*>("pages");
    const auto onCart = [&](std::function<void()> work) {
      controller.Worker().Post(std::move(work));
      while (!controller.Worker().Idle()) Wait(20);
    };
    ShotContext context{window,
                        *sheet,
                        controller,
                        ui,
                        sim,
                        Wait,
                        onCart,
                        [&](const std::string& file, QWidget& widget) {
                          const QString path = QDir(out).filePath(QString::fromStdString(file));
                          if (!widget.grab().save(path)) ++failures;
                          std::printf("%s\n", path.toLocal8Bit().constData());
                        },
                        [&](const molvane::Outcome& outcome, const std::string& what) {
                          if (outcome) return;
                          ++failures;
                          std::fprintf(stderr, "%s: %s\n", what.c_str(), outcome.text.c_str());
                        }};
    // Tab order, whatever order the shot files were linked in.
    std::vector<Shot> shots = Shots();
    std::stable_sort(shots.begin(), shots.end(),
                     [](const Shot& a, const Shot& b) { return a.tab < b.tab; });
    for (const Shot& shot : shots) {
      sheet->setCurrentIndex(shot.tab);
      Wait(200);
      if (shot.prepare) shot.prepare(context);
      Wait(shot.settleMs);
      if (!shot.file.empty()) context.save(shot.file, window);
    }
    window.done(0);
  }
  return failures == 0 ? 0 : 1;
}
