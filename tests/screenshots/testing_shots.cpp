// The Testing page with the status flags set and a name in the title preview; then the title
// saved and loaded into the display, and the saved CustomerTitle.bmp as a picture of its own.
#include <QApplication>
#include <QImage>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>

#include "app/cart_controller.h"
#include "gui/molvane_dlg.h"
#include "screenshots/shot.h"
#include "sim/sim_cart.h"
#include "support/controller_settings.h"
#include "title/customer_title.h"

namespace screenshots {
namespace {

constexpr const char* kName = "Ward 7 North";

void Type(QWidget* widget, const QString& text) {
  for (const QChar c : text) {
    QKeyEvent press(QEvent::KeyPress, c.isLetterOrNumber() ? c.toUpper().unicode() : c.unicode(),
                    Qt::NoModifier, QString(c));
    QApplication::sendEvent(widget, &press);
    QKeyEvent release(QEvent::KeyRelease, press.key(), Qt::NoModifier, QString(c));
    QApplication::sendEvent(widget, &release);
  }
}

void FlagsAndName(ShotContext& context) {
  QWidget* page = context.sheet.currentWidget();
  // Two lock cycles on the counter, then drawer unlocked, lamp on and the lift moving.
  for (int i = 0; i < 2; ++i) page->findChild<QPushButton*>("unlockButton")->click();
  context.sim.Inspect([](cartsim::SimCart& cart) {
    cart.Cart().SetStatusByte(0xC8);
    return 0;
  });
  auto* name = page->findChild<QLineEdit*>("cartName");
  name->selectAll();
  Type(name, kName);
  context.wait(5000);  // a sixth poll shows the counter
}

// Save, then wait for the upload to end so the next page is not pictured in the middle of it.
void SaveTitle(ShotContext& context) {
  testing_support::SetTiming(context.controller, &molvane::Timing::bitmapSettleMs, 500);
  context.sheet.currentWidget()->findChild<QPushButton*>("saveButton")->click();
  context.wait(1500);
  context.save("testing-title-upload.png", context.window);
  while (context.controller.IsBusy()) context.wait(200);
  const QImage title(
      QString::fromStdString(molvane::CustomerTitlePath(context.controller.GetProgramFolder())));
  QLabel exact;
  exact.setPixmap(QPixmap::fromImage(title));
  exact.setFixedSize(title.size());
  context.save("customer-title.png", exact);
  QLabel enlarged;
  enlarged.setPixmap(QPixmap::fromImage(title.scaled(title.size() * 4)));
  enlarged.setFixedSize(title.size() * 4);
  context.save("customer-title-x4.png", enlarged);
}

const AddShot page({"testing.png", 3, FlagsAndName, 1500});
const AddShot saved({"", 3, SaveTitle, 0});

}  // namespace
}  // namespace screenshots
