// The firmware update worker: hands the chosen board to its bootloader and flashes the image.
#include <cstring>

#include "app/cart_controller.h"
#include "loader/bootloader_handshake.h"
#include "loader/bootloader_header.h"
#include "loader/header_exchange.h"
#include "loader/hex_file.h"
#include "loader/loader_texts.h"
#include "loader/page_sender.h"
#include "loader/port_wait.h"
#include "loader/transfer_port.h"

namespace molvane {
namespace {

constexpr std::size_t kMaxFileName = 255;
constexpr int kAfterUMs = 300;
constexpr int kTimeoutDrainMs = 50;
// Two seconds at one byte per 50 ms, so that a board that keeps talking cannot hold the drain.
constexpr int kTimeoutDrainBytes = 40;

void EndUpdate(CartController& c, const std::string& message) {
  c.SetMessage(message);
  c.transferInProgress = 0;
  c.bootloaderWait = 0;
}

// The file is checked and read before the board leaves its firmware, so that a bad file never
// leaves a board waiting in its bootloader.
bool LoadFirmwareFile(CartController& c) {
  HexCheck check = CheckHexFile(c.firmwareFile);
  if (check.ok && !ReadHexFile(c.firmwareFile, c.firmwareImage)) {
    check = {false, "Firmware file " + c.firmwareFile + " could not be opened."};
  }
  if (!check.ok) EndUpdate(c, check.message);
  return check.ok;
}

void SendToBootloader(SerialPort& port, int boardSelector) {
  port.Write("\r\r\r", 3);
  port.ReadLine();
  const char* command = BootloadCommand(boardSelector);
  port.Write(command, static_cast<int>(std::strlen(command)));
  port.ReadLine();
}

// The board is still announcing itself: the restart bytes send it back to its firmware, so a
// cut-off handshake does not leave it waiting in its bootloader.
void EndHandshake(CartController& c, SerialPort& port, const char* message) {
  WriteRestartBytes(port);
  if (c.cancelRequest.load() != 0) return EndUpdate(c, texts::kFirmwareCanceled);
  port.Drain(kTimeoutDrainBytes, kTimeoutDrainMs);
  EndUpdate(c, message);
}

void EndAfterHeader(CartController& c, SerialPort& port, HeaderOutcome outcome) {
  if (outcome == HeaderOutcome::Canceled) {
    EndUpdate(c, texts::kFirmwareCanceled);
  } else if (outcome == HeaderOutcome::NotAcknowledged) {
    WriteRestartBytes(port);
    port.Drain();
    EndUpdate(c, texts::kHeaderNotAcknowledged);
  } else if (outcome == HeaderOutcome::NoValidHeader) {
    EndUpdate(c, texts::kNoValidHeader);
  } else {
    EndUpdate(c, texts::kHeaderPortError);
  }
}

void EndAfterPages(CartController& c, SerialPort& port, PagesOutcome outcome) {
  switch (outcome) {
    case PagesOutcome::Done:
      WriteRestartBytes(port);
      port.Drain();
      return EndUpdate(c, texts::kFirmwareComplete);
    case PagesOutcome::Canceled:
      return EndUpdate(c, texts::kFirmwareCanceled);
    case PagesOutcome::Refused:
      return EndUpdate(c, texts::kSegmentAborted);
    case PagesOutcome::NotAcknowledged:
      return EndUpdate(c, texts::kPageNotAcknowledged);
    case PagesOutcome::PortError:
      return EndUpdate(c, texts::kFlashPortLost);
  }
}

}  // namespace

int CartController::StartFirmwareUpdate(const std::string& path) {
  if (IsBusy()) {
    SetMessage(texts::kTransferRunning);
    return 1;
  }
  if (path.size() > kMaxFileName) {
    SetMessage("The firmware file name is longer than 255 characters.");
    return 1;
  }
  return StartTransfer(bootloaderWait, firmwareFile, path, &CartController::RunFirmwareUpdate);
}

void CartController::RunFirmwareUpdate() {
  SetStatusText("");
  bootloaderWait = 1;
  if (!LoadFirmwareFile(*this)) return;
  if (PortChoice choice = ChooseTransferPort(*this, false); choice != PortChoice::Ready) {
    return EndUpdate(*this, PortChoiceMessage(choice));
  }
  SerialPort& port = *Current();
  bootloaderWait = 1;
  transferInProgress = 1;
  SendToBootloader(port, BoardSelector.load());
  port.TraceLog("Wait for a 'U'");
  port.TraceLog("%s", texts::kWaitingForBootloader);
  SetStatusText(texts::kWaitingForBootloader);
  if (!WaitForBootloaderU(port, Deadline(timing.bootloaderWaitMs, &cancelRequest))) {
    return EndHandshake(*this, port, texts::kBoardTimeout);
  }
  port.TraceLog("Waiting = false;");
  transferInProgress = 1;
  bootloaderWait = 0;
  port.TraceLog("Write a'U';");
  WriteByte(port, kHandshakeByte);
  PauseMs(kAfterUMs);
  port.TraceLog("Purging Us");
  std::uint8_t carried = kHandshakeByte;
  if (!PurgeUs(port, Deadline(timing.purgeBudgetMs, &cancelRequest), carried)) {
    return EndHandshake(*this, port, texts::kBootloaderKeepsAnnouncing);
  }
  port.TraceLog("ReceiveHeader");
  HeaderOutcome header = ReceiveHeader(*this, port, carried);
  if (header != HeaderOutcome::Accepted) return EndAfterHeader(*this, port, header);
  EndAfterPages(*this, port, SendPages(*this, port));
}

}  // namespace molvane
