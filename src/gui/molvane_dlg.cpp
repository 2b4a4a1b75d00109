#include "gui/molvane_dlg.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QTabWidget>
#include <QTimer>
#include <QVBoxLayout>

#include "app/cart_controller.h"
#include "app/settings_folder.h"
#include "gui/about_dlg.h"
#include "gui/app_icon.h"
#include "gui/calibrate_dialog.h"
#include "gui/fleet_window.h"
#include "gui/log_dialog.h"
#include "gui/pin_list_dialog.h"
#include "gui/service_dialog.h"
#include "gui/setup_dialog.h"
#include "gui/test_cart_dialog.h"
#include "pages/fleet_recorder.h"
#include "pages/main_window_model.h"

namespace molvane {
namespace {

// About the width of "Num FTDI: 255" with the field's border.
constexpr int kStatusWidth = 100;

}  // namespace

CMolvaneDlg::CMolvaneDlg(CartController& controller, UiServices& ui, QWidget* parent)
    : QDialog(parent),
      controller(controller),
      ui(ui),
      runner(controller.Worker(), DispatchTo(this)) {
  fileMenu.SetRunner(&runner);
  setWindowTitle(kCaption);
  setWindowIcon(MolvaneIcon());
  setWindowFlags(windowFlags() | Qt::WindowMinimizeButtonHint);
  BuildLayout();

  // The configuration is read after the pages exist and before they are shown or started.
  BuildPages();
  controller.LoadConfig();
  AddPages();
  connect(sheet, &QTabWidget::currentChanged, this,
          [this](int index) { monitor->SetFrontPage(index); });

  timer = new QTimer(this);
  timer->setObjectName("timer1");
  connect(timer, &QTimer::timeout, this, &CMolvaneDlg::OnTimer);
  timer->start(kTimerMs);
  controller.StartScanThread();
  StartPages();
}

CMolvaneDlg::~CMolvaneDlg() { Stop(); }

void CMolvaneDlg::BuildLayout() {
  auto* layout = new QVBoxLayout(this);
  layout->setMenuBar(BuildMenu());

  status = new QLineEdit(this);
  status->setObjectName("connectionText");
  status->setAccessibleName("Status");
  status->setReadOnly(true);
  status->setAlignment(Qt::AlignCenter);
  status->setFocusPolicy(Qt::NoFocus);
  status->setFixedWidth(kStatusWidth);
  // Long work on the cart (a full log, an import, a restore) shows how far it got here, with a
  // way to stop it between commands.
  workProgress = new QProgressBar(this);
  workProgress->setObjectName("workProgress");
  workProgress->setAccessibleName("Progress");
  workProgress->setTextVisible(true);
  workProgress->hide();
  cancelWork = new QPushButton("Cancel", this);
  cancelWork->setObjectName("cancelWork");
  cancelWork->setAccessibleName("Cancel");
  cancelWork->setAutoDefault(false);
  cancelWork->hide();
  connect(cancelWork, &QPushButton::clicked, this,
          [this] { this->controller.Worker().CancelCurrent(); });
  auto* statusRow = new QHBoxLayout;
  statusRow->addWidget(workProgress, 1);
  statusRow->addWidget(cancelWork);
  statusRow->addStretch();
  statusRow->addWidget(status);
  layout->addLayout(statusRow);

  sheet = new QTabWidget(this);
  sheet->setObjectName("pages");
  sheet->setUsesScrollButtons(false);  // all six tabs in sight: the window grows to fit them
  layout->addWidget(sheet);
  resize(640, 480);
}

QMenuBar* CMolvaneDlg::BuildMenu() {
  auto* bar = new QMenuBar(this);
  QMenu* file = bar->addMenu("&File");
  file->addAction("&Back Up Cart...", this,
                  [this] { RunFromMenu([this] { fileMenu.BackUpCart(); }, "Back Up Cart"); });
  // A restore changed what the pages show: each reads the cart again, as for a cart that came.
  file->addAction("&Restore Cart...", this, [this] {
    RunFromMenu([this] { fileMenu.RestoreCart([this] { monitor->NoticeAll(true); }); },
                "Restore Cart");
  });
  file->addAction("&Save Support Report...", this, [this] {
    RunFromMenu([this] { fileMenu.SaveSupportReport(); }, "Save Support Report");
  });
  // The fleet record is read without the cart: its window opens beside this one at once.
  file->addAction("&Fleet...", this,
                  [this] { OpenFleetWindow(fleetWindow, this, controller, ui); });
  file->addSeparator();
  file->addAction("E&xit", this, &QDialog::accept);

  // Qt has no portable way into the window's system menu, so its about item lives here too.
  QMenu* about = bar->addMenu("&About");
  about->addAction("&About", this, &CMolvaneDlg::ShowAbout);
  about->addSeparator();
  about->addAction("About &Molvane...", this, &CMolvaneDlg::ShowAbout);
  return bar;
}

void CMolvaneDlg::BuildPages() {
  pages = {new SetupDialog(controller, ui),   new PinListDialog(controller, ui),
           new LogDialog(controller, ui),     new TestCartDialog(controller, ui),
           new ServiceDialog(controller, ui), new CalibrateDialog(controller, ui)};
  std::array<PageModel*, MainWindowModel::kPageCount> models{};
  for (std::size_t i = 0; i < pages.size(); ++i) models[i] = &pages[i]->Model();
  monitor = std::make_unique<MainWindowModel>(controller, ui, models);
  monitor->SetRunner(&runner);
  // One fleet record for the whole window: its one warning is said once, whoever brings it.
  const auto fleet = std::make_shared<FleetRecorder>();
  for (PageModel* model : models) model->SetFleetRecorder(fleet);
  monitor->SetFleetRecorder(fleet);
  fileMenu.SetFleetRecorder(fleet);
  monitor->showConnection = [this](const std::string& text) { ShowConnection(text); };
}

void CMolvaneDlg::AddPages() {
  for (PageView* page : pages) {
    sheet->addTab(page, page->Model().Title());
    connect(page, &PageView::acting, this, [this](const QString& title) { lastAction = title; });
  }
  sheet->setCurrentIndex(0);
}

void CMolvaneDlg::StartPages() {
  for (PageView* page : pages) page->Act([model = &page->Model()] { model->Start(); });
}

void CMolvaneDlg::RunFromMenu(const std::function<void()>& work, const char* title) {
  lastAction = title;
  runner.AsOperatorAction(title, work);
}

// The window hides at once: the cart thread takes no more work (so hiding the pages starts
// none) and the running job is cancelled with its waits cut short; the threads are joined after.
void CMolvaneDlg::done(int result) {
  if (!stopped && !stopping && !monitor->MayClose()) return;
  BeginStop();
  QDialog::done(result);
  Stop();
}

void CMolvaneDlg::BeginStop() {
  if (stopping) return;
  stopping = true;
  if (timer) timer->stop();
  controller.Worker().BeginStop();
  controller.BeginStopScanThread();
}

// Nothing the cart thread still hands back reaches the window: its way back ends with the
// window's runner and pages.
void CMolvaneDlg::Stop() {
  if (stopped) return;
  BeginStop();
  stopped = true;
  controller.Worker().Stop();
  controller.StopScanThread();
}

// Enter and Escape in a page belong to the page: typing a value and pressing Enter must not
// end the program and lose it. File > Exit and the close box end it.
void CMolvaneDlg::keyPressEvent(QKeyEvent* event) {
  const int key = event->key();
  if (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Escape) {
    event->accept();
    return;
  }
  QDialog::keyPressEvent(event);
}

void CMolvaneDlg::OnTimer() {
  monitor->OnTimer();
  const bool transfer = controller.IsBusy();
  for (PageView* page : pages) page->HoldForTransfer(transfer);
  ShowRunningWork();
  // The field says whether a cart answers; why none does (no driver, a link error) and what
  // failed last is the controller's last message, told as the boxes tell it, shown when the
  // pointer rests on the field.
  const QString tip = QString::fromStdString(monitor->StatusTip());
  if (status->toolTip() != tip) status->setToolTip(tip);
}

// The field is touched only when what it shows changes.
void CMolvaneDlg::ShowConnection(const std::string& text) {
  const QString shown = QString::fromStdString(text);
  if (status->text() != shown) status->setText(shown);
}

// Work that counts what it does shows at once; other work only once it has taken a moment, so
// that quick operations do not flicker a bar. The bar goes as soon as the work has ended, even
// while the box that tells its end is still open.
void CMolvaneDlg::ShowRunningWork() {
  if (ShowTransfer()) return;
  const CartThread::Running running = controller.Worker().Current();
  if (running.title != workTitle) {
    workTitle = running.title;
    workSince.restart();
  }
  const bool show =
      !running.title.empty() && (running.total > 0 || workSince.elapsed() >= kQuickWorkMs);
  workProgress->setVisible(show);
  cancelWork->setVisible(show);
  if (!show) return workProgress->reset();
  workProgress->setRange(0, running.total);  // 0 of 0: busy, with no count to show
  workProgress->setValue(running.done);
  const QString what = QString::fromStdString(running.title);
  workProgress->setFormat(running.cancelling  ? what + ": stopping..."
                          : running.total > 0 ? what + ": %v of %m"
                                              : what);
  cancelWork->setEnabled(!running.cancelling);
}

// The transfer runs on its own worker, not the cart thread: while it has the link the pages'
// buttons are greyed, and the bar says why, with the transfer's own words ("Writing.. 45%",
// "Bitmap Updated ..." while the display stores the picture). It is not cancelled from here: a
// firmware update cut off halfway leaves its board waiting in the bootloader.
bool CMolvaneDlg::ShowTransfer() {
  if (!controller.IsBusy()) {
    transferTitle.clear();
    return false;
  }
  if (transferTitle.isEmpty()) transferTitle = lastAction.isEmpty() ? "Transfer" : lastAction;
  const CartController::TransferCount count = controller.TransferProgress();
  const QString status = QString::fromStdString(controller.GetMessage());
  workProgress->setRange(0, count.total);
  workProgress->setValue(count.done);
  workProgress->setFormat(status.isEmpty() ? transferTitle : transferTitle + ": " + status);
  workProgress->setVisible(true);
  cancelWork->setVisible(false);
  return true;
}

void CMolvaneDlg::ShowAbout() {
  CAboutDlg about(this, QString::fromStdString(SettingsFolder(controller.GetProgramFolder())));
  about.exec();
}

}  // namespace molvane
