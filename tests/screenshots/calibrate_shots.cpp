// The page against a freshly connected simulated cart, then with drawers open on a cart built
// with two single drawers over a double drawer on the right, and its lock bits read.
#include <QPushButton>
#include <QTabWidget>

#include "gui/molvane_dlg.h"
#include "screenshots/shot.h"
#include "sim/sim_cart.h"

namespace screenshots {
namespace {

const AddShot page({"factory-calibration.png", 5});

void OpenDrawers(ShotContext& context) {
  context.sim.Inspect([](cartsim::SimCart& sim) {
    sim.Cart().Settings().sensorMask = 0xFE;
    sim.Cart().SetSensorInputs(0x52);  // bits 1, 4 and 6: three drawers open
    return 0;
  });
  // The drawer code is read each time the page comes to the front after the cart connected.
  context.sheet.setCurrentIndex(0);
  context.wait(200);
  context.sheet.setCurrentIndex(5);
  context.wait(200);
  for (QPushButton* button : context.window.findChildren<QPushButton*>()) {
    if (button->text() == "Lock Bits") button->click();
  }
}

const AddShot sensors({"factory-calibration-sensors.png", 5, OpenDrawers});

}  // namespace
}  // namespace screenshots
