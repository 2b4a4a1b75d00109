// The page idle with its files chosen, and during a firmware update with its progress showing in
// the window's progress bar.
#include <QProgressBar>
#include <QPushButton>
#include <QTabWidget>
#include <filesystem>
#include <fstream>

#include "app/cart_controller.h"
#include "cart/version_info.h"
#include "gui/molvane_dlg.h"
#include "screenshots/shot.h"
#include "support/intel_hex.h"

namespace screenshots {
namespace {

constexpr int kServiceTab = 4;

std::string InWorkFolder(const molvane::CartController& controller, const char* name) {
  return (std::filesystem::path(controller.GetProgramFolder()) / name).string();
}

// The files a technician would have chosen, and a cart with a charger board: the page reads
// them when it is shown again.
void ChooseFiles(ShotContext& c) {
  molvane::CartController& controller = c.controller;
  const std::string main = InWorkFolder(controller, "con_main_4_12.hex");
  std::ofstream(main) << testing_support::HexFile(testing_support::PagePattern(48 * 1024));
  c.require(controller.SetPathSetting(molvane::CartController::PathSetting::MainFirmware, main),
            "keeping a file");
  c.require(controller.SetPathSetting(molvane::CartController::PathSetting::FrontFirmware,
                                      InWorkFolder(controller, "dis_front_2_03.hex")),
            "keeping a file");
  c.require(controller.SetPathSetting(molvane::CartController::PathSetting::ChargerFirmware,
                                      InWorkFolder(controller, "cha_power_1_07.hex")),
            "keeping a file");
  c.require(controller.SetPathSetting(molvane::CartController::PathSetting::Bitmap,
                                      InWorkFolder(controller, "bitmaps.txt")),
            "keeping a file");
  c.require(controller.SetPathSetting(molvane::CartController::PathSetting::FactoryTitle,
                                      InWorkFolder(controller, "factory_title.bmp")),
            "keeping a file");
  molvane::Outcome read;
  c.onCart([&] { read = molvane::GetVersion(controller); });
  c.require(read, "reading the versions");
  c.sheet.setCurrentIndex(kServiceTab - 1);
  c.wait(200);
  c.sheet.setCurrentIndex(kServiceTab);
}

void DuringUpdate(ShotContext& c) {
  auto* update = c.window.findChild<QPushButton*>("updateMain");
  auto* progress = c.window.findChild<QProgressBar*>("workProgress");
  if (update == nullptr || progress == nullptr) return;
  update->click();  // the confirmation is answered with OK
  const auto below40Percent = [progress] {
    return progress->maximum() == 0 || progress->value() * 100 < progress->maximum() * 40;
  };
  for (int waited = 0; waited < 30000 && below40Percent(); waited += 50) c.wait(50);
  c.save("service_update.png", c.window);
  for (int waited = 0; waited < 60000 && c.controller.IsBusy(); waited += 100) c.wait(100);
}

const AddShot idle({"service.png", kServiceTab, ChooseFiles});
const AddShot updating({"", kServiceTab, DuringUpdate, 1000});

}  // namespace
}  // namespace screenshots
