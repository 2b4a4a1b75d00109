// The page with a ward's worth of PINs of different ages, one of them selected, and the Add PIN
// dialog with a PIN typed in.
#include <QListWidget>
#include <QPushButton>

#include "app/cart_controller.h"
#include "gui/add_pin_dialog.h"
#include "gui/cfilter_edit.h"
#include "gui/molvane_dlg.h"
#include "screenshots/shot.h"
#include "sim/sim_cart.h"

namespace screenshots {
namespace {

constexpr cartsim::CartSeconds kDay = 86400;

struct MorePin {
  std::uint32_t pin;
  int ageDays;
};

// Staff PINs added over the past months, beside the few the simulated cart starts with.
constexpr MorePin kMorePins[] = {{250916, 120}, {31337, 88}, {600412, 61}, {19550, 33},
                                 {472011, 27},  {9001, 14},  {770325, 6},  {3141592, 2},
                                 {58, 1},       {820714, 0}};

void AddWardPins(ShotContext& context) {
  context.sim.Inspect([](cartsim::SimCart& sim) {
    const cartsim::CartSeconds now = sim.Cart().Clock().Now();
    for (const MorePin& p : kMorePins) sim.Cart().Pins().Add(p.pin, now - p.ageDays * kDay - 600);
    return 0;
  });
  context.window.findChild<QPushButton*>("getList")->click();
  context.wait(500);
  context.window.findChild<QListWidget*>("pinList")->setCurrentRow(4);
}

void SaveAddPinDialog(ShotContext& context) {
  molvane::AddPinDialog dialog(context.ui, &context.window);
  dialog.show();
  dialog.findChild<molvane::CFilterEdit*>("pinText")->setText("4071966");
  context.wait(300);
  context.save("add-pin.png", dialog);
}

const AddShot page({"pin-list.png", 1, AddWardPins});
const AddShot addPin({"", 1, SaveAddPinDialog, 0});

}  // namespace
}  // namespace screenshots
