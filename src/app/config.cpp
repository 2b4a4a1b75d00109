#include <filesystem>

#include "app/cart_controller.h"
#include "app/config_text.h"
#include "app/settings_folder.h"

namespace molvane {
namespace {

using PathSetting = CartController::PathSetting;

constexpr const char* kFirmware = "Firmware";
constexpr const char* kBitmaps = "Bitmaps";

struct Entry {
  const char* section;
  const char* key;
};

// In PathSetting order, which is also the order the file is read in.
constexpr Entry kPathEntries[CartController::kPathSettings] = {
    {kFirmware, "MainFirmwareFile"},    {kFirmware, "FrontFirmwareFile"},
    {kFirmware, "ChargerFirmwareFile"}, {kFirmware, "TranslationFirmwareFile"},
    {kBitmaps, "BitmapFile"},           {kBitmaps, "FactoryTitleFile"},
};

std::size_t IndexOf(PathSetting which) { return static_cast<std::size_t>(which); }

enum class WriteOutcome { Written, Unreadable, NoPlace, Unwritable };

// Rereads the file just before writing, so that changes made meanwhile by others survive apart
// from the one entry written. Only a file that was read whole, or that does not exist yet, is
// written: saving after a failed read would replace the file by one holding this entry alone.
WriteOutcome WriteSetting(const std::string& path, const Entry& entry, const std::string& value) {
  ConfigText config;
  const ReadResult read = config.Read(path);
  if (read != ReadResult::Ok && read != ReadResult::Missing) return WriteOutcome::Unreadable;
  if (!config.SetValue(entry.section, entry.key, value)) return WriteOutcome::NoPlace;
  return config.Save(path) ? WriteOutcome::Written : WriteOutcome::Unwritable;
}

const char* WhyNotWritten(WriteOutcome outcome) {
  switch (outcome) {
    case WriteOutcome::Unreadable:
      return "could not be read, so it was left as it is";
    case WriteOutcome::NoPlace:
      return "has the entry's section in a form that cannot be edited, so it was left as it is";
    default:
      return "could not be written";
  }
}

}  // namespace

std::string CartController::ConfigPath() const {
  return (std::filesystem::path(SettingsFolder(programFolder)) / kConfigFileName).string();
}

void CartController::LoadConfig() {
  ConfigText config;
  config.Load(ConfigPath());
  {
    std::lock_guard lock(pathSettingsMutex);
    for (std::size_t i = 0; i < pathSettings.size(); ++i)
      pathSettings[i] = config.GetValue(kPathEntries[i].section, kPathEntries[i].key);
  }
  config.Clear();
}

Outcome CartController::SetPathSetting(PathSetting which, const std::string& path) {
  {
    std::lock_guard lock(pathSettingsMutex);
    pathSettings[IndexOf(which)] = path;
  }
  const WriteOutcome outcome = WriteSetting(ConfigPath(), kPathEntries[IndexOf(which)], path);
  if (outcome == WriteOutcome::Written) return Outcome::Success();
  return Outcome::Failure("The settings file " + ConfigPath() + " " + WhyNotWritten(outcome) +
                          ": the file you chose is used only until the program ends.");
}

std::string CartController::GetPathSetting(PathSetting which) const {
  std::lock_guard lock(pathSettingsMutex);
  return pathSettings[IndexOf(which)];
}

}  // namespace molvane
