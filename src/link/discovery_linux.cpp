#include <sys/utsname.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
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

// "ttyUSB2" before "ttyUSB10": runs of digits compare by their value, the rest by character.
bool NaturalLess(const std::string& a, const std::string& b) {
  std::size_t i = 0, j = 0;
  const auto digit = [](char c) { return std::isdigit(static_cast<unsigned char>(c)) != 0; };
  while (i < a.size() && j < b.size()) {
    if (digit(a[i]) && digit(b[j])) {
      std::size_t endA = i, endB = j;
      while (endA < a.size() && digit(a[endA])) ++endA;
      while (endB < b.size() && digit(b[endB])) ++endB;
      while (i + 1 < endA && a[i] == '0') ++i;  // leading zeros say nothing about the value
      while (j + 1 < endB && b[j] == '0') ++j;
      if (endA - i != endB - j) return endA - i < endB - j;
      const int order = a.compare(i, endA - i, b, j, endB - j);
      if (order != 0) return order < 0;
      i = endA;
      j = endB;
      continue;
    }
    if (a[i] != b[j]) return a[i] < b[j];
    ++i;
    ++j;
  }
  return a.size() - i < b.size() - j;
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
  std::sort(names.begin(), names.end(), NaturalLess);
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

bool DriverLoaded(const std::string& sysfsRoot) {
  std::error_code error;
  const fs::path root(sysfsRoot);
  return fs::exists(root / "bus" / "usb-serial" / "drivers" / "ftdi_sio", error) ||
         fs::exists(root / "module" / "ftdi_sio", error);
}

std::string KernelRelease(const DiscoverySource& source) {
  if (!source.kernelRelease.empty()) return source.kernelRelease;
  utsname names{};
  return ::uname(&names) == 0 ? names.release : "";
}

// The driver's module file as the kernel's tools install it, also compressed.
constexpr const char* kModuleNames[] = {"ftdi_sio.ko", "ftdi_sio.ko.xz", "ftdi_sio.ko.zst",
                                        "ftdi_sio.ko.gz"};

bool IsDriverModule(const fs::path& file) {
  const std::string name = file.filename().string();
  return std::find(std::begin(kModuleNames), std::end(kModuleNames), name) !=
         std::end(kModuleNames);
}

// The driver is installed when the running kernel's module tree holds it: the kernel loads it
// by itself when the first adapter is plugged in, so its absence from sysfs until then is no
// fault. The usual place is looked at first; the rest of the tree only when it is not there.
bool DriverInstalled(const DiscoverySource& source) {
  const std::string release = KernelRelease(source);
  if (release.empty()) return false;
  const fs::path tree = fs::path(source.modulesRoot) / release;
  std::error_code error;
  for (const char* name : kModuleNames) {
    if (fs::exists(tree / "kernel/drivers/usb/serial" / name, error)) return true;
  }
  fs::recursive_directory_iterator entry(tree, fs::directory_options::skip_permission_denied,
                                         error);
  for (; !error && entry != fs::recursive_directory_iterator(); entry.increment(error)) {
    if (IsDriverModule(entry->path())) return true;
  }
  return false;
}

}  // namespace

DiscoveryResult DiscoverFtdiPorts(const DiscoverySource& source) {
  DiscoveryResult result;
  for (const std::string& tty : SysfsFtdiTtys(source.sysfsRoot)) {
    AddUnique("/dev/" + tty, result.portNames);
  }
  std::vector<std::string> extra;
  const char* environment = source.useEnvironment ? std::getenv("MOLVANE_PORTS") : nullptr;
  if (environment != nullptr) AppendColonList(environment, extra);
  AppendColonList(source.extraPorts, extra);
  for (const std::string& name : extra) AddUnique(name, result.portNames);
  result.driverPresent =
      !extra.empty() || DriverLoaded(source.sysfsRoot) || DriverInstalled(source);
  return result;
}

}  // namespace molvane
