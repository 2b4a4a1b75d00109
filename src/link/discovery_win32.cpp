// FTDI ports on Windows: the driver's device enumeration in the registry, read only.
#define NOMINMAX
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <vector>

#include "link/discovery.h"

namespace molvane {
namespace {

constexpr std::size_t kMaxPortNames = 255;
constexpr DWORD kSubkeyNameChars = 255;   // terminator included
constexpr DWORD kValueNameChars = 16383;  // terminator included
constexpr DWORD kPortNameBytes = 10;      // a longer name does not fit and is skipped
constexpr const char* kParametersPath = "\\0000\\Device Parameters";
constexpr const char* kPortValueName = "PortName";

// A registry key opened for reading, released however the reader leaves.
class ReadKey {
 public:
  explicit ReadKey(const std::string& path) {
    if (::RegOpenKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) {
      key = nullptr;
    }
  }
  ~ReadKey() {
    if (key != nullptr) ::RegCloseKey(key);
  }
  ReadKey(const ReadKey&) = delete;
  ReadKey& operator=(const ReadKey&) = delete;
  bool IsOpen() const { return key != nullptr; }
  HKEY Get() const { return key; }

 private:
  HKEY key = nullptr;
};

// The COM number in a "PortName" text, or -1 when the text names no COM port.
int ComNumberOf(const char* text) {
  int number = -1;
  if (std::sscanf(text, "COM%d", &number) != 1 || number < 1) return -1;
  return number;
}

// The port of one device's "PortName" value; -1 when it cannot be read or does not fit.
int ReadPortNumber(HKEY parameters) {
  char data[kPortNameBytes + 1] = {};
  DWORD size = kPortNameBytes;
  if (::RegQueryValueExA(parameters, kPortValueName, nullptr, nullptr,
                         reinterpret_cast<BYTE*>(data), &size) != ERROR_SUCCESS) {
    return -1;
  }
  data[size < kPortNameBytes ? size : kPortNameBytes] = '\0';  // stored without terminator
  return ComNumberOf(data);
}

void ReadPortNames(HKEY parameters, std::vector<std::string>& out) {
  DWORD valueCount = 0;
  if (::RegQueryInfoKeyA(parameters, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                         &valueCount, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) {
    return;
  }
  std::vector<char> name(kValueNameChars);
  for (DWORD index = 0; index < valueCount && out.size() < kMaxPortNames; ++index) {
    DWORD length = kValueNameChars;
    if (::RegEnumValueA(parameters, index, name.data(), &length, nullptr, nullptr, nullptr,
                        nullptr) != ERROR_SUCCESS) {
      continue;
    }
    if (std::strcmp(name.data(), kPortValueName) != 0) continue;  // letter case counts
    const int number = ReadPortNumber(parameters);
    if (number > 0) out.push_back("COM" + std::to_string(number));
  }
}

}  // namespace

DiscoveryResult DiscoverFtdiPorts(const DiscoverySource& source) {
  DiscoveryResult result;
  const ReadKey driver(source.registryRoot);
  if (!driver.IsOpen()) return result;
  result.driverPresent = true;
  result.listsAbsentPorts = true;
  DWORD subkeyCount = 0;
  if (::RegQueryInfoKeyA(driver.Get(), nullptr, nullptr, nullptr, &subkeyCount, nullptr, nullptr,
                         nullptr, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) {
    return result;
  }
  char name[kSubkeyNameChars];
  for (DWORD index = 0; index < subkeyCount && result.portNames.size() < kMaxPortNames; ++index) {
    DWORD length = kSubkeyNameChars;
    if (::RegEnumKeyExA(driver.Get(), index, name, &length, nullptr, nullptr, nullptr, nullptr) !=
        ERROR_SUCCESS) {
      continue;
    }
    const ReadKey parameters(source.registryRoot + "\\" + name + kParametersPath);
    if (parameters.IsOpen()) ReadPortNames(parameters.Get(), result.portNames);
  }
  return result;
}

}  // namespace molvane
