#include "app/cart_controller.h"

#include <chrono>
#include <thread>

#include "app/program_folder.h"

namespace molvane {

thread_local const CartController* CartController::transferThreadOf = nullptr;

CartController::CartController() : CartController(CurrentFolder(), ProgramFolder()) {}

CartController::CartController(const std::string& traceFolder, const std::string& folder)
    : programFolder(folder) {
  // The trace stays in the folder the program was started in, whatever the window does later.
  for (SerialPort& port : ports) port.SetTraceFolder(traceFolder);
}

CartController::~CartController() {
  StopScanThread();
  cancelRequest = 1;
  WaitForTransfer();
  for (SerialPort& port : ports) port.Close();
}

UiServices& CartController::Ui() const {
  static SilentUi silent;
  return ui != nullptr ? *ui : silent;
}

SerialPort* CartController::Current() {
  const int index = currentPort.load();
  if (index < 0 || index >= kMaxPorts) return nullptr;
  return &ports[static_cast<std::size_t>(index)];
}

bool CartController::OpenCartPort(int i) {
  if (i < 0 || i >= kMaxPorts) return false;
  return ports[static_cast<std::size_t>(i)].Open(PortName(i), kBaudRate, SerialPort::kParityNone,
                                                 8, SerialPort::kOneStopBit) != 0;
}

std::string CartController::PortName(int i) const {
  if (i < 0 || i >= kMaxPorts) return {};
  std::lock_guard lock(portNamesMutex);
  return portNumbers[static_cast<std::size_t>(i)];
}

void CartController::PauseMs(int ms) const {
  if (ms > 0) std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

}  // namespace molvane
