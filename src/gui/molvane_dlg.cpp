#include "gui/molvane_dlg.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QTabWidget>
#include <QTimer>
#include <QVBoxLayout>

#include "app/cart_controller.h"
#include "gui/about_dlg.h"
#include "gui/app_icon.h"
#include "gui/calibrate_dialog.h"
#include "gui/log_dialog.h"
#include "gui/pin_list_dialog.h"
#include "gui/service_dialog.h"
#include "gui/setup_dialog.h"
#include "gui/test_cart_dialog.h"
#include "pages/main_window_model.h"

namespace molvane {
namespace {

// About the width of "Num FTDI: 255" with the field's border.
constexpr int kStatusWidth = 100;

}  // namespace

CMolvaneDlg::CMolvaneDlg(CartController& controller, UiServices& ui, QWidget* parent)
    : QDialog(parent), controller(controller), ui(ui) {
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
  auto* statusRow = new QHBoxLayout;
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
  QMenu* file = bar->addMenu("File");
  file->addAction("&Back Up Cart...", this, [this] { fileMenu.BackUpCart(); });
  file->addAction("&Restore Cart...", this, &CMolvaneDlg::RestoreCart);
  file->addAction("Save Support Report...", this, [this] { fileMenu.SaveSupportReport(); });
  file->addSeparator();
  file->addAction("E&xit", this, &QDialog::accept);

  // Qt has no portable way into the window's system menu, so its about item lives here too.
  QMenu* about = bar->addMenu("About");
  about->addAction("&About", this, &CMolvaneDlg::ShowAbout);
  about->addSeparator();
  about->addAction("&About Molvane...", this, &CMolvaneDlg::ShowAbout);
  return bar;
}

void CMolvaneDlg::BuildPages() {
  pages = {new SetupDialog(controller, ui),   new PinListDialog(controller, ui),
           new LogDialog(controller, ui),     new TestCartDialog(controller, ui),
           new ServiceDialog(controller, ui), new CalibrateDialog(controller, ui)};
  std::array<PageModel*, MainWindowModel::kPageCount> models{};
  for (std::size_t i = 0; i < pages.size(); ++i) models[i] = &pages[i]->Model();
  monitor = std::make_unique<MainWindowModel>(controller, ui, models);
  monitor->showConnection = [this] { ShowConnection(); };
}

void CMolvaneDlg::AddPages() {
  for (PageView* page : pages) sheet->addTab(page, page->Model().Title());
  sheet->setCurrentIndex(0);
}

void CMolvaneDlg::StartPages() {
  for (PageView* page : pages) page->Model().Start();
}

void CMolvaneDlg::done(int result) {
  if (!stopped && !monitor->MayClose()) return;
  Stop();
  QDialog::done(result);
}

void CMolvaneDlg::Stop() {
  if (stopped) return;
  stopped = true;
  if (timer) timer->stop();
  controller.StopScanThread();
}

bool CMolvaneDlg::HasDefaultButton() const {
  for (const QPushButton* button : findChildren<QPushButton*>()) {
    if (button->isDefault() && button->isVisible()) return true;
  }
  return false;
}

// Enter ends the window as OK, as Escape ends it as Cancel; a page's own default button, when
// it has one, takes Enter first.
void CMolvaneDlg::keyPressEvent(QKeyEvent* event) {
  const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
  const bool plain = (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
  if (enter && plain && !HasDefaultButton()) {
    accept();
    return;
  }
  QDialog::keyPressEvent(event);
}

void CMolvaneDlg::OnTimer() {
  monitor->OnTimer();
  ShowConnection();
}

// Runs on every tick: the field is touched only when what it shows changes.
void CMolvaneDlg::ShowConnection() {
  const QString text = QString::fromStdString(monitor->connectionText);
  if (status->text() != text) status->setText(text);
  // The field says whether a cart answers; why none does (no driver, a link error) is the
  // controller's last message, shown when the pointer rests on the field.
  const QString tip = QString::fromStdString(controller.GetMessage());
  if (status->toolTip() != tip) status->setToolTip(tip);
}

// A restore changed what the pages show: each reads the cart again, as for a cart that came.
void CMolvaneDlg::RestoreCart() {
  if (fileMenu.RestoreCart()) monitor->NoticeAll(true);
}

void CMolvaneDlg::ShowAbout() {
  CAboutDlg about(this);
  about.exec();
}

}  // namespace molvane
