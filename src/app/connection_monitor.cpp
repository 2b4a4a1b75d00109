#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <vector>

#include "app/cart_controller.h"
#include "link/driver_advice.h"
#include "link/port_open_error.h"

namespace molvane {

// A port that is open stays bound to the device it opened, so its slot keeps its name even when
// the device list shifts (an adapter unplugged or added in front of it). The other names fill
// the remaining slots in discovery order; with no port open the list is the discovery order.
void CartController::FindFtdiPorts() {
  const DiscoveryResult found = DiscoverFtdiPorts(discovery);
  if (!found.driverPresent) {
    SetMessage(std::string(texts::kNoDrivers) + " " + DriverMissingAdvice());
    return;
  }
  absentPortsListed = found.listsAbsentPorts;
  if (found.portNames.empty()) return;
  std::lock_guard lock(portNamesMutex);
  const int oldCount = std::clamp(portCount.load(), 0, kMaxPorts);
  auto held = [&](int slot) {
    return slot < oldCount && ports[static_cast<std::size_t>(slot)].IsOpen();
  };
  std::vector<std::string> waiting;
  for (const std::string& name : found.portNames) {
    bool alreadyHeld = false;
    for (int slot = 0; slot < oldCount && !alreadyHeld; ++slot) {
      alreadyHeld = held(slot) && portNumbers[static_cast<std::size_t>(slot)] == name;
    }
    if (!alreadyHeld) waiting.push_back(name);
  }
  std::size_t next = 0;
  int newCount = 0;
  for (int slot = 0; slot < kMaxPorts; ++slot) {
    std::string& name = portNumbers[static_cast<std::size_t>(slot)];
    if (held(slot)) {
      newCount = slot + 1;
    } else if (next < waiting.size()) {
      name = waiting[next++];
      newCount = slot + 1;
    } else {
      name.clear();
    }
  }
  portCount = newCount;
}

void CartController::ScanPorts() {
  if (IsBusy() || scanSuspended) return;
  {
    // A transfer that starts meanwhile waits for the port in our hands, and the busy flag it
    // set first is seen here, so the two never share a port (nor the list of names).
    std::lock_guard hands(scanPortMutex);
    if (IsBusy()) return;
    FindFtdiPorts();
  }
  int found = 0;
  int carts = 0;
  std::string notOpened;  // why the first listed port that could not be opened could not be
  const int count = std::clamp(portCount.load(), 0, kMaxPorts);
  for (int i = 0; i < count; ++i) {
    std::lock_guard hands(scanPortMutex);
    // A transfer or a pause that begins mid-pass gets the ports to itself at the next port.
    if (IsBusy() || scanSuspended || stopScan) return;
    if (SeenOpen(i)) {
      if (DropIfGone(i)) continue;
      // Counted without a probe: the current port, or a cart that answered earlier.
      ++found;
      ++carts;
      continue;
    }
    if (PortName(i).empty()) continue;
    const ProbeResult result = ProbePort(i);
    if (result == ProbeResult::NotOpened) {
      const SerialPort& port = ports[static_cast<std::size_t>(i)];
      const bool absent = absentPortsListed && port.LastOpenError() == OpenError::Missing;
      if (notOpened.empty() && !absent)
        notOpened = DescribeOpenError(PortName(i), port.LastOpenError(), port.LastOpenErrorText());
      continue;
    }
    ++found;
    if (result == ProbeResult::Cart) ++carts;
  }
  NoteScanResult(carts, found);
  // With no cart found, a port that could not be opened is why: another program holds it, or
  // the user may not open it. The message (the window's status tip) says so, and what to do.
  if (carts == 0 && !notOpened.empty()) SetMessage(notOpened);
}

// The cart's side closes a lost port under the same lock, and marks it closed before it has
// finished closing the device: read unlocked, a port could be seen closed and opened again while
// that close still clears the device's exclusive flag.
bool CartController::SeenOpen(int i) {
  std::lock_guard lock(portCloseMutex);
  return ports[static_cast<std::size_t>(i)].IsOpen();
}

// An adapter pulled out (or plugged back in, which gives it a new name) leaves its open port
// without a device: that is no cart. The port is closed unless a command of the window is still
// on it; that command's time-out, which comes at once on a gone device, closes it then.
bool CartController::DropIfGone(int i) {
  std::lock_guard lock(portCloseMutex);
  SerialPort& port = ports[static_cast<std::size_t>(i)];
  if (!port.IsOpen()) return true;  // a time-out closed it meanwhile
  if (port.BytesWaiting()) return false;
  int expected = i;
  currentPort.compare_exchange_strong(expected, -1);
  // Read after the current port was given up, so that a transaction taking it now sees that
  // (see BeginTransaction).
  if (transactionPort.load() != i) port.Close();
  return true;
}

void CartController::ScanThreadMain(std::stop_token stop) {
  std::mutex pauseMutex;
  std::condition_variable_any pause;
  while (!stop.stop_requested() && !stopScan) {
    ScanPorts();
    std::unique_lock lock(pauseMutex);
    pause.wait_for(lock, stop, std::chrono::milliseconds(timing.scanIntervalMs),
                   [this] { return stopScan.load(); });
  }
}

void CartController::StartScanThread() {
  StopScanThread();
  stopScan = false;
  scanThread = std::jthread([this](std::stop_token stop) { ScanThreadMain(stop); });
}

void CartController::BeginStopScanThread() {
  if (!scanThread.joinable()) return;
  stopScan = true;
  scanThread.request_stop();
}

void CartController::StopScanThread() {
  if (!scanThread.joinable()) return;
  BeginStopScanThread();
  if (scanThread.get_id() == std::this_thread::get_id()) return;
  scanThread.join();
}

}  // namespace molvane
