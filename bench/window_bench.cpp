// The desktop program's window against the paced simulated cart: how long its event loop ever
// went without running while the cart was read, written, silent, streaming or unplugged, and how
// long the work took against the wire time. It reports; it does not gate.
#include <fcntl.h>
#include <pty.h>
#include <unistd.h>

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QTabWidget>
#include <QTimer>
#include <algorithm>
#include <atomic>
#include <cstdio>
#include <deque>
#include <fstream>
#include <functional>
#include <string>
#include <thread>

#include "bench_report.h"
#include "bench_rig.h"
#include "cart_fill.h"
#include "gui/molvane_dlg.h"
#include "gui/pin_list_dialog.h"
#include "gui/qt_ui_services.h"

namespace {

constexpr int kStallTargetMs = 100;
constexpr double kWorkTarget = 1.10;
constexpr int kDisconnectTargetMs = 3000;

// The event loop's longest stretch without running: a 5 ms timer that notes its gaps.
class StallMeter {
 public:
  StallMeter() {
    QObject::connect(&timer, &QTimer::timeout, [this] {
      const qint64 gap = clock.restart();
      longest = std::max(longest, gap);
    });
    timer.start(5);
    clock.start();
  }
  void Reset() {
    longest = 0;
    clock.restart();
  }
  qint64 LongestMs() const { return longest; }

 private:
  QTimer timer;
  QElapsedTimer clock;
  qint64 longest = 0;
};

// The window's services with the operator's answers scripted: boxes are noted and answered at
// once (unless told to stay open), file dialogs answer from a list.
class ScriptedWindowUi : public molvane::QtUiServices {
 public:
  Answer MessageBox(const std::string& text, Buttons buttons, const std::string& caption) override {
    boxes.push_back(text);
    if (!keepBoxesOpen) return buttons == Buttons::YesNo ? Answer::Yes : Answer::Ok;
    return QtUiServices::MessageBox(text, buttons, caption);
  }
  std::string FileDialog(const molvane::FileDialogRequest&) override {
    if (files.empty()) return {};
    std::string file = files.front();
    files.pop_front();
    return file;
  }
  bool ConfirmChanges(const std::string&, const std::string&, const std::vector<std::string>&,
                      const std::string&) override {
    return true;
  }
  std::vector<std::string> boxes;
  std::deque<std::string> files;
  bool keepBoxesOpen = false;
};

bool WaitFor(const std::function<bool()>& done, int boundMs) {
  QElapsedTimer clock;
  clock.start();
  while (!done()) {
    if (clock.elapsed() > boundMs) return false;
    QApplication::processEvents(QEventLoop::AllEvents, 5);
  }
  return true;
}

void Idle(int ms) {
  WaitFor([] { return false; }, ms);
}

void ReportStall(const std::string& name, qint64 longestMs) {
  std::printf("%-34s longest stall %5lld ms  target %d ms  %s\n", name.c_str(),
              static_cast<long long>(longestMs), kStallTargetMs,
              longestMs <= kStallTargetMs ? "PASS" : "OVER");
  std::fflush(stdout);
}

struct Window {
  explicit Window(cartsim::SimCart::Options options, const std::string& extraPort = {})
      : rig(std::move(options)) {
    molvane::DiscoverySource source = rig.controller.GetDiscovery();
    source.sysfsRoot = rig.folder.File("no-sysfs");
    source.useEnvironment = false;
    source.extraPorts = rig.link.DevicePath() + (extraPort.empty() ? "" : ":" + extraPort);
    rig.controller.SetDiscovery(source);
    window = std::make_unique<molvane::CMolvaneDlg>(rig.controller, ui);
    window->show();
  }
  bool Connected() {
    return WaitFor([&] { return Status() == "Connected"; }, 20000) &&
           WaitFor([&] { return rig.controller.Worker().Idle(); }, 20000);
  }
  QString Status() { return window->findChild<QLineEdit*>("connectionText")->text(); }
  void Tab(int index) { window->findChild<QTabWidget*>("pages")->setCurrentIndex(index); }
  // Buttons of the same name stand on several pages: the Pin List page's are meant here.
  QPushButton* Button(const char* name) {
    return window->findChild<molvane::PinListDialog*>()->findChild<QPushButton*>(name);
  }
  QListWidget* List(const char* name) { return window->findChild<QListWidget*>(name); }
  void Menu(const QString& item) {
    for (QAction* action : window->findChildren<QAction*>()) {
      if (action->text().remove('&') == item) action->trigger();
    }
  }

  bench::BenchRig rig;
  ScriptedWindowUi ui;
  std::unique_ptr<molvane::CMolvaneDlg> window;
};

cartsim::SimCart::Options EmptyCart() {
  cartsim::SimCart::Options options;
  options.cart.startEmpty = true;
  return options;
}

// One piece of work started from the window: its time, its wire time and the longest stall.
void MeasureWork(const std::string& name, double wireMs, const std::function<void()>& start,
                 const std::function<bool()>& done) {
  StallMeter meter;
  QElapsedTimer clock;
  clock.start();
  start();
  if (!WaitFor(done, 120000)) return bench::ReportError(name, "did not finish");
  bench::Report({name, static_cast<double>(clock.elapsed()), wireMs, kWorkTarget});
  ReportStall(name, meter.LongestMs());
}

void FullLog() {
  Window w(EmptyCart());
  const std::size_t bytes = w.rig.Sim([](cartsim::SimCart& s) {
    bench::FillLog(s.Cart());
    return s.Cart().Events().DumpLines().size();
  });
  if (!w.Connected()) return bench::ReportError("log page, 1024 events", "no cart");
  MeasureWork(
      "log page, 1024 events", bench::WireMs(static_cast<long>(bytes) + 10), [&] { w.Tab(2); },
      [&] { return w.List("log")->count() == bench::kFullLog; });
}

void FullPinList() {
  Window w(EmptyCart());
  const std::size_t bytes = w.rig.Sim([](cartsim::SimCart& s) {
    bench::FillPins(s.Cart());
    return s.Cart().Pins().DumpLines().size();
  });
  if (!w.Connected()) return bench::ReportError("Get List, 128 PINs", "no cart");
  w.Tab(1);
  WaitFor([&] { return w.rig.controller.Worker().Idle(); }, 20000);
  w.List("pinList")->clear();
  MeasureWork(
      "Get List, 128 PINs", bench::WireMs(static_cast<long>(bytes) + 16),
      [&] { w.Button("getList")->click(); },
      [&] { return w.List("pinList")->count() == bench::kFullPinList; });
}

void Import128() {
  Window w(EmptyCart());
  const std::string file = w.rig.folder.File("pins.txt");
  std::ofstream out(file);
  long wire = 0;
  for (int i = 0; i < bench::kFullPinList; ++i) {
    const std::string pin = std::to_string(100000 + i * 7919);
    out << pin << "\r\n";
    wire += static_cast<long>(std::string("pin_list_add ").size() + pin.size() + 2 + 3);
  }
  out.close();
  if (!w.Connected()) return bench::ReportError("import 128 PINs", "no cart");
  w.Tab(1);
  WaitFor([&] { return w.rig.controller.Worker().Idle(); }, 20000);
  w.ui.files = {file};
  // Each add is a command and its 30 ms pause; the wire time is the floor under both.
  const double floorMs = bench::WireMs(wire) + bench::kFullPinList * 30.0;
  MeasureWork(
      "import 128 PINs", floorMs, [&] { w.Button("import")->click(); },
      [&] { return w.List("pinList")->count() == bench::kFullPinList; });
}

void BackupAndRestore() {
  Window w(EmptyCart());
  w.rig.Sim([](cartsim::SimCart& s) {
    bench::FillPins(s.Cart());
    return 0;
  });
  if (!w.Connected()) return bench::ReportError("backup of a full cart", "no cart");
  const std::string file = w.rig.folder.File("cart.txt");
  w.ui.files = {file};
  const auto boxSeen = [&](const char* start) {
    return [&w, start] {
      return std::any_of(w.ui.boxes.begin(), w.ui.boxes.end(),
                         [start](const std::string& box) { return box.rfind(start, 0) == 0; });
    };
  };
  MeasureWork(
      "backup of a full cart", 0.0, [&] { w.Menu("Back Up Cart..."); }, boxSeen("Cart backed up"));
  w.rig.Sim([](cartsim::SimCart& s) {
    s.Cart().Pins().Clear();
    return 0;
  });
  w.ui.files = {file};
  MeasureWork(
      "restore onto an emptied cart", 0.0, [&] { w.Menu("Restore Cart..."); }, boxSeen("Restore"));
}

void SilentCart() {
  Window w(EmptyCart());
  if (!w.Connected()) return bench::ReportError("a silent cart, 10 s", "no cart");
  w.rig.Sim([](cartsim::SimCart& s) {
    s.faults.dropAnswers = true;
    return 0;
  });
  StallMeter meter;
  Idle(10000);
  ReportStall("a silent cart, 10 s", meter.LongestMs());
}

// A pseudo-terminal whose far end keeps sending lines, as a thermometer might on an FTDI port.
class StreamingDevice {
 public:
  StreamingDevice() {
    char name[128] = {};
    if (::openpty(&master, &slave, name, nullptr, nullptr) != 0) return;
    path = name;
    talker = std::thread([this] {
      static constexpr char kLine[] = "42 degrees\r\n";
      while (streaming) {
        if (::write(master, kLine, sizeof kLine - 1) < 0) std::this_thread::yield();
        std::this_thread::sleep_for(std::chrono::milliseconds(3));
      }
    });
  }
  ~StreamingDevice() {
    streaming = false;
    if (talker.joinable()) talker.join();
    if (master >= 0) ::close(master);
    if (slave >= 0) ::close(slave);
  }
  const std::string& Path() const { return path; }

 private:
  int master = -1;
  int slave = -1;
  std::string path;
  std::atomic<bool> streaming{true};
  std::thread talker;
};

void StreamingBeside() {
  StreamingDevice device;
  Window w(EmptyCart(), device.Path());
  StallMeter meter;
  const bool connected = w.Connected();
  Idle(8000);
  ReportStall("a device streaming lines, 10 s", meter.LongestMs());
  if (!connected) bench::ReportError("a device streaming lines, 10 s", "the cart was not found");
}

void UnplugWithBoxOpen() {
  Window w(EmptyCart());
  w.ui.keepBoxesOpen = true;  // the arrival's PIN message stays open, as an operator leaves it
  if (!WaitFor([&] { return QApplication::activeModalWidget() != nullptr; }, 20000))
    return bench::ReportError("unplug, PIN box open", "no PIN message");
  StallMeter meter;
  QElapsedTimer clock;
  w.rig.link.HangUp();
  clock.start();
  const bool gone = WaitFor([&] { return w.Status() != "Connected"; }, 20000);
  const qint64 ms = clock.elapsed();
  std::printf("%-34s status \"%s\" after %5lld ms  target %d ms  %s\n", "unplug, PIN box open",
              w.Status().toStdString().c_str(), static_cast<long long>(ms), kDisconnectTargetMs,
              gone && ms <= kDisconnectTargetMs ? "PASS" : "OVER");
  ReportStall("unplug, PIN box open", meter.LongestMs());
  if (QWidget* box = QApplication::activeModalWidget()) box->close();
}

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  FullLog();
  FullPinList();
  Import128();
  BackupAndRestore();
  SilentCart();
  StreamingBeside();
  UnplugWithBoxOpen();
  return 0;
}
