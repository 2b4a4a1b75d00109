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
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <thread>

#include "bench_report.h"
#include "bench_rig.h"
#include "cart_fill.h"
#include "gui/molvane_dlg.h"
#include "gui/pin_list_dialog.h"
#include "gui/qt_ui_services.h"
#include "link/trace_entries.h"

namespace {

constexpr int kStallTargetMs = 100;
constexpr double kWorkTarget = 1.10;
constexpr int kDisconnectTargetMs = 3000;
constexpr int kExitTargetMs = 500;
constexpr int kCancelTargetMs = 200;

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
  void ShowResult(const std::string&, const std::string& text,
                  const std::vector<std::string>&) override {
    boxes.push_back(text);
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

// The pause the host owes the cart after a command: the version reads answer slowly.
double PauseAfterMs(const std::string& command) {
  const bool slow = command.rfind("version", 0) == 0 || command.rfind("get_ps_type", 0) == 0;
  return slow ? 100.0 : 30.0;
}

// The least time the exchanges written to the trace since `from` can take. The line is full
// duplex and the cart echoes a command as it comes, so an exchange takes the wire time of the
// longer direction, or the pause after the command when that is longer (the pause starts as the
// line is handed to the port, and the cart answers meanwhile).
double TraceFloorMs(const std::string& trace, std::uintmax_t from) {
  std::ifstream in(trace, std::ios::binary);
  in.seekg(static_cast<std::streamoff>(from));
  const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  double floorMs = 0.0;
  double pauseMs = 0.0;
  long sent = 0;
  long received = 0;
  const auto endExchange = [&] {
    floorMs += std::max(bench::WireMs(std::max(sent, received)), pauseMs);
    sent = received = 0;
  };
  for (const molvane::TraceEntry& entry : molvane::SplitTraceEntries(text)) {
    const long bytes = static_cast<long>(entry.bytes.size());
    if (entry.kind == molvane::TraceEntry::Kind::Sent) {
      endExchange();
      pauseMs = PauseAfterMs(entry.bytes);
      sent = bytes;
    } else if (entry.kind == molvane::TraceEntry::Kind::Received) {
      received += bytes;
    }
  }
  endExchange();
  return floorMs;
}

// One piece of work started from the window: its time against the floor of what it sent and
// received, read from the trace, and the longest stall of the window meanwhile.
void MeasureWork(Window& w, const std::string& name, const std::function<void()>& start,
                 const std::function<bool()>& done) {
  const std::string trace = w.rig.controller.TracePath();
  std::error_code error;
  const std::uintmax_t from = std::filesystem::file_size(trace, error);
  StallMeter meter;
  QElapsedTimer clock;
  clock.start();
  start();
  if (!WaitFor(done, 120000)) return bench::ReportError(name, "did not finish");
  const double elapsed = static_cast<double>(clock.elapsed());
  bench::Report({name, elapsed, TraceFloorMs(trace, error ? 0 : from), kWorkTarget});
  ReportStall(name, meter.LongestMs());
}

void FullLog() {
  Window w(EmptyCart());
  w.rig.Sim([](cartsim::SimCart& s) {
    bench::FillLog(s.Cart());
    return 0;
  });
  if (!w.Connected()) return bench::ReportError("log page, 1024 events", "no cart");
  MeasureWork(
      w, "log page, 1024 events", [&] { w.Tab(2); },
      [&] { return w.List("log")->count() == bench::kFullLog; });
}

void FullPinList() {
  Window w(EmptyCart());
  w.rig.Sim([](cartsim::SimCart& s) {
    bench::FillPins(s.Cart());
    return 0;
  });
  if (!w.Connected()) return bench::ReportError("Get List, 128 PINs", "no cart");
  w.Tab(1);
  WaitFor([&] { return w.rig.controller.Worker().Idle(); }, 20000);
  w.List("pinList")->clear();
  MeasureWork(
      w, "Get List, 128 PINs", [&] { w.Button("getList")->click(); },
      [&] { return w.List("pinList")->count() == bench::kFullPinList; });
}

void Import128() {
  Window w(EmptyCart());
  const std::string file = w.rig.folder.File("pins.txt");
  std::ofstream out(file);
  for (int i = 0; i < bench::kFullPinList; ++i) out << std::to_string(100000 + i * 7919) << "\r\n";
  out.close();
  if (!w.Connected()) return bench::ReportError("import 128 PINs", "no cart");
  w.Tab(1);
  WaitFor([&] { return w.rig.controller.Worker().Idle(); }, 20000);
  w.ui.files = {file};
  MeasureWork(
      w, "import 128 PINs", [&] { w.Button("import")->click(); },
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
      w, "backup of a full cart", [&] { w.Menu("Back Up Cart..."); }, boxSeen("Cart backed up"));
  w.rig.Sim([](cartsim::SimCart& s) {
    s.Cart().Pins().Clear();
    return 0;
  });
  w.ui.files = {file};
  MeasureWork(
      w, "restore onto an emptied cart", [&] { w.Menu("Restore Cart..."); }, boxSeen("Restore"));
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

// The box runs its own event loop inside whatever event the window was handling, so the unplug
// is made from a timer that fires inside that loop, as a technician's hand would come.
void UnplugWithBoxOpen() {
  Window w(EmptyCart());
  w.ui.keepBoxesOpen = true;  // the arrival's PIN message stays open, as an operator leaves it
  bool measured = false;
  QTimer hand;
  QObject::connect(&hand, &QTimer::timeout, [&] {
    if (measured || QApplication::activeModalWidget() == nullptr) return;
    measured = true;
    hand.stop();
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
    QApplication::activeModalWidget()->close();
  });
  hand.start(10);
  if (!WaitFor([&] { return measured && QApplication::activeModalWidget() == nullptr; }, 40000))
    bench::ReportError("unplug, PIN box open", measured ? "box left open" : "no PIN message");
}

void ReportTime(const std::string& name, const char* what, qint64 ms, int targetMs, bool done) {
  std::printf("%-34s %s %5lld ms  target %d ms  %s\n", name.c_str(), what,
              static_cast<long long>(ms), targetMs, done && ms <= targetMs ? "PASS" : "OVER");
  std::fflush(stdout);
}

// A window reading a full log, a second into the read (about an eighth of it at 38400 baud).
std::unique_ptr<Window> ReadingFullLog(const std::string& name) {
  auto w = std::make_unique<Window>(EmptyCart());
  w->rig.Sim([](cartsim::SimCart& s) {
    bench::FillLog(s.Cart());
    return 0;
  });
  if (!w->Connected()) {
    bench::ReportError(name, "no cart");
    return nullptr;
  }
  w->Tab(2);
  Idle(1000);
  if (w->rig.controller.Worker().Idle()) {
    bench::ReportError(name, "the log was not being read");
    return nullptr;
  }
  return w;
}

// File > Exit during a full log read, until the window is gone and every thread of it has
// ended, which is when the process would exit.
void ExitDuringFullLog() {
  const std::string name = "Exit during a full log read";
  std::unique_ptr<Window> w = ReadingFullLog(name);
  if (!w) return;
  QElapsedTimer clock;
  clock.start();
  w->Menu("Exit");
  const bool hidden = !w->window->isVisible();
  const qint64 hiddenMs = clock.elapsed();
  w->window.reset();
  ReportTime(name, "window hidden after", hiddenMs, kExitTargetMs, hidden);
  ReportTime(name, "exit after", clock.elapsed(), kExitTargetMs, true);
}

// The window's Cancel during a full log read, until the cart thread has nothing left to do.
void CancelDuringFullLog() {
  const std::string name = "Cancel during a full log read";
  std::unique_ptr<Window> w = ReadingFullLog(name);
  if (!w) return;
  auto* cancel = w->window->findChild<QPushButton*>("cancelWork");
  if (cancel == nullptr || !cancel->isVisible()) return bench::ReportError(name, "no Cancel shown");
  QElapsedTimer clock;
  clock.start();
  cancel->click();
  const bool stopped = WaitFor([&] { return w->rig.controller.Worker().Idle(); }, 20000);
  ReportTime(name, "stopped after", clock.elapsed(), kCancelTargetMs, stopped);
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
  ExitDuringFullLog();
  CancelDuringFullLog();
  return 0;
}
