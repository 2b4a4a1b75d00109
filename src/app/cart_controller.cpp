#include "app/cart_controller.h"

#include <chrono>
#include <thread>

#include "app/program_folder.h"
#include "app/settings_folder.h"

namespace molvane {

thread_local const CartController* CartController::transferThreadOf = nullptr;

CartController::CartController()
    : CartController(TraceFolder(CurrentFolder(), ProgramFolder()), ProgramFolder()) {}

CartController::CartController(const std::string& traceFolder, const std::string& folder)
    : programFolder(folder) {
  // The trace stays in the folder the program was started in, whatever the window does later.
  for (SerialPort& port : ports) port.SetTraceFolder(traceFolder);
}

CartController::~CartController() {
  worker.Stop();
  StopScanThread();
  cancelRequest = 1;
  WaitForTransfer();
  for (SerialPort& port : ports) port.Close();
}

bool CartController::OpenCartPort(int i, TraceStart traceStart) {
  if (i < 0 || i >= kMaxPorts) return false;
  Port(i).SetReadLineIdlePolls(timing.replyIdlePolls);
  Port(i).SetInterrupt(&interrupt);
  return Port(i).Open(PortName(i), LineSettings{.baudRate = kBaudRate}, traceStart);
}

std::string CartController::PortName(int i) const {
  if (i < 0 || i >= kMaxPorts) return {};
  std::lock_guard lock(portNamesMutex);
  return portNumbers[static_cast<std::size_t>(i)];
}

OpenError CartController::LastOpenError(int i) const {
  if (i < 0 || i >= kMaxPorts) return OpenError::Other;
  return Port(i).LastOpenError();
}

std::string CartController::LastOpenErrorText(int i) const {
  if (i < 0 || i >= kMaxPorts) return {};
  return Port(i).LastOpenErrorText();
}

std::string CartController::TracePath() const { return ports[0].TracePath(); }

std::string CartController::BootlogFolder() const {
  std::lock_guard lock(textMutex);
  return bootlogFolder;
}

void CartController::SetBootlogFolder(const std::string& folder) {
  std::lock_guard lock(textMutex);
  bootlogFolder = folder;
}

void CartController::SetDiscovery(const DiscoverySource& source) {
  std::lock_guard hands(scanPortMutex);
  discovery = source;
}

DiscoverySource CartController::GetDiscovery() const {
  std::lock_guard hands(scanPortMutex);
  return discovery;
}

bool CartController::IsPortOpen(int i) const { return i >= 0 && i < kMaxPorts && Port(i).IsOpen(); }

bool CartController::Pause(int ms) const {
  if (ms <= 0) return !interrupt.load();
  std::unique_lock lock(pauseMutex);
  return !pauseWake.wait_for(lock, std::chrono::milliseconds(ms),
                             [this] { return interrupt.load(); });
}

void CartController::InterruptWaits(bool on) {
  {
    std::lock_guard lock(pauseMutex);
    interrupt = on;
  }
  pauseWake.notify_all();
}

void CartController::KeepVersions(const CartVersions& read) {
  versions = read;
  auxBoardKind = read.auxBoardKind;
}

bool CartController::AttachPort(const std::string& portName, bool echoes) {
  for (SerialPort& port : ports) port.Close();
  {
    std::lock_guard lock(portNamesMutex);
    portNumbers[0] = portName;
  }
  portCount = 1;
  if (!OpenCartPort(0)) {
    Port(0).Close();
    return false;
  }
  echoesCommands = echoes;
  currentPort = 0;
  cartCount = 1;
  portsFound = 1;
  return true;
}

void CartController::ReleasePort(int i) {
  if (i < 0 || i >= kMaxPorts) return;
  std::lock_guard lock(portCloseMutex);
  int expected = i;
  if (currentPort.compare_exchange_strong(expected, -1)) cartCount = 0;
  Port(i).Close();
}

}  // namespace molvane
