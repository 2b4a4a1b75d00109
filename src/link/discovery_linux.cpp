#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <system_error>

#include "link/discovery.h"

namespace molvane {
namespace {

namespace fs = std::filesystem;

constexpr std::size_t kMaxPortNames = 255;
constexpr const char* kFtdiVendor = "0403";
// A USB device sits a few levels above its tty; the bound only guards against odd trees.
constexpr int kMaxParentSteps = 16;

std::string TrimmedLower(std::string text) {
  while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back()))) text.pop_back();
  std::size_t lead = 0;
  while (lead < text.size() && std::isspace(static_cast<unsigned char>(text[lead]))) ++lead;
  text.erase(0, lead);
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

// The vendor id of the first USB device above the tty's device node; empty without one.
std::string UsbVendorAbove(const fs::path& deviceLink, const fs::path& root) {
  std::error_code error;
  fs::path node = fs::canonical(deviceLink, error);
  if (error) return {};
  for (int step = 0; step < kMaxParentSteps && node != root && node.has_relative_path(); ++step) {
    std::ifstream vendor(node / "idVendor");
    if (vendor) {
      std::string text;
      std::getline(vendor, text);
      return TrimmedLower(text);
    }
    node = node.parent_path();
  }
  return {};
}

std::vector<std::string> SysfsFtdiTtys(const std::string& sysfsRoot) {
  std::vector<std::string> names;
  std::error_code error;
  const fs::path root = fs::weakly_canonical(sysfsRoot, error);
  fs::directory_iterator entries(fs::path(sysfsRoot) / "class" / "tty", error);
  if (error) return names;
  for (const fs::directory_entry& entry : entries) {
    const fs::path deviceLink = entry.path() / "device";
    if (!fs::exists(deviceLink, error)) continue;
    if (UsbVendorAbove(deviceLink, root) == kFtdiVendor) {
      names.push_back(entry.path().filename().string());
    }
  }
  std::sort(names.begin(), names.end());
  return names;
}

void AppendColonList(const std::string& list, std::vector<std::string>& out) {
  std::size_t from = 0;
  while (from <= list.size()) {
    std::size_t colon = list.find(':', from);
    if (colon == std::string::npos) colon = list.size();
    if (colon > from) out.push_back(list.substr(from, colon - from));
    from = colon + 1;
  }
}

// Names past the port table, and a name already listed, would give two entries for one device.
void AddUnique(const std::string& name, std::vector<std::string>& out) {
  if (out.size() >= kMaxPortNames) return;
  if (std::find(out.begin(), out.end(), name) != out.end()) return;
  out.push_back(name);
}

}  // namespace

DiscoveryResult DiscoverFtdiPorts(const DiscoverySource& source) {
  DiscoveryResult result;
  std::error_code error;
  result.driverPresent =
      fs::exists(fs::path(source.sysfsRoot) / "bus" / "usb-serial" / "drivers" / "ftdi_sio", error);
  for (const std::string& tty : SysfsFtdiTtys(source.sysfsRoot)) {
    AddUnique("/dev/" + tty, result.portNames);
  }
  std::vector<std::string> extra;
  const char* environment = source.useEnvironment ? std::getenv("MOLVANE_PORTS") : nullptr;
  if (environment != nullptr) AppendColonList(environment, extra);
  AppendColonList(source.extraPorts, extra);
  if (!extra.empty()) result.driverPresent = true;
  for (const std::string& name : extra) AddUnique(name, result.portNames);
  return result;
}

}  // namespace molvane
