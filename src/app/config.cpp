#include <algorithm>
#include <climits>
#include <filesystem>

#include "app/cart_controller.h"
#include "app/config_text.h"
#include "app/number_text.h"

namespace molvane {
namespace {

constexpr const char* kFirmware = "Firmware";
constexpr const char* kBitmaps = "Bitmaps";
constexpr const char* kMisc = "Misc";

// Rereads the file just before writing, so that changes made meanwhile by others survive apart
// from the one entry written. A file that cannot be written leaves the path in memory only.
void WriteSetting(const std::string& path, const char* section, const char* key,
                  const std::string& value) {
  ConfigText config;
  config.Load(path);
  config.SetValue(section, key, value);
  config.Save(path);
  config.Clear();
}

}  // namespace

std::string CartController::ConfigPath() const {
  return (std::filesystem::path(programFolder) / "Molvane.cfg").string();
}

void CartController::LoadConfig() {
  ConfigText config;
  config.Load(ConfigPath());
  mainFirmwarePath = config.GetValue(kFirmware, "MainFirmwareFile");
  frontFirmwarePath = config.GetValue(kFirmware, "FrontFirmwareFile");
  chargerFirmwarePath = config.GetValue(kFirmware, "ChargerFirmwareFile");
  translationFirmwarePath = config.GetValue(kFirmware, "TranslationFirmwareFile");
  bitmapPath = config.GetValue(kBitmaps, "BitmapFile");
  factoryTitlePath = config.GetValue(kBitmaps, "FactoryTitleFile");
  tabsSetting = TextToInt(config.GetValue(kMisc, "Tabs"));
  firmwareDelay = TextToInt(config.GetValue(kMisc, "FirmwareDelay"));
  helpUrl = config.GetValue(kMisc, "HelpURL");
  config.Clear();
}

void CartController::SetMainFirmwarePath(const std::string& path) {
  mainFirmwarePath = path;
  WriteSetting(ConfigPath(), kFirmware, "MainFirmwareFile", path);
}

void CartController::SetFrontFirmwarePath(const std::string& path) {
  frontFirmwarePath = path;
  WriteSetting(ConfigPath(), kFirmware, "FrontFirmwareFile", path);
}

void CartController::SetChargerFirmwarePath(const std::string& path) {
  chargerFirmwarePath = path;
  WriteSetting(ConfigPath(), kFirmware, "ChargerFirmwareFile", path);
}

void CartController::SetTranslationFirmwarePath(const std::string& path) {
  translationFirmwarePath = path;
  WriteSetting(ConfigPath(), kFirmware, "TranslationFirmwareFile", path);
}

void CartController::SetBitmapPath(const std::string& path) {
  bitmapPath = path;
  WriteSetting(ConfigPath(), kBitmaps, "BitmapFile", path);
}

void CartController::SetFactoryTitlePath(const std::string& path) {
  factoryTitlePath = path;
  WriteSetting(ConfigPath(), kBitmaps, "FactoryTitleFile", path);
}

}  // namespace molvane
