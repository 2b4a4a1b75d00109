// The firmware update worker: hands the chosen board to its bootloader and flashes the image.
#include "loader/firmware_update.h"

#include <cstring>
#include <memory>

#include "app/cart_controller.h"
#include "app/link_texts.h"
#include "app/reply_refusal.h"
#include "app/transfer_session.h"
#include "cart/board.h"
#include "loader/bootloader_handshake.h"
#include "loader/bootloader_header.h"
#include "loader/header_exchange.h"
#include "loader/hex_file.h"
#include "loader/loader_texts.h"
#include "loader/page_sender.h"
#include "loader/port_wait.h"

namespace molvane {
namespace {

constexpr std::size_t kMaxFileName = 255;
constexpr int kAfterUMs = 300;
constexpr int kTimeoutDrainMs = 50;
// Two seconds at one byte per 50 ms, so that a board that keeps talking cannot hold the drain.
constexpr int kTimeoutDrainBytes = 40;

// The file is checked and read before the board leaves its firmware, so that a bad file never
// leaves a board waiting in its bootloader.
Outcome LoadFirmwareFile(const std::string& path, FirmwareImage& image) {
  const HexCheck check = CheckHexFile(path);
  if (!check.ok) return Outcome::Failure(check.message);
  if (!ReadHexFile(path, image)) {
    return Outcome::Failure("Firmware file " + path + " could not be read. Update refused.");
  }
  return Outcome::Success();
}

// The board never left its firmware: no restart bytes, only what the cart said is taken away.
// The update has failed already; what the drain finds changes nothing.
Outcome EndRefused(SerialPort& port, const std::string& refusal) {
  static_cast<void>(port.DrainLeftover());
  return Outcome::Failure(refusal);
}

// Success when the cart took the bootload command; otherwise the failure in its own words, or
// the write's when the command could not be sent.
Outcome SendToBootloader(SerialPort& port, const Board& board) {
  if (!port.Write("\r\r\r", 3)) return Outcome::Failure(texts::kWriteError);
  // The prompts that answer the empty lines; only the answer to the command is judged.
  static_cast<void>(port.ReadLine());
  if (!port.Write(board.bootloadCommand, static_cast<int>(std::strlen(board.bootloadCommand))))
    return Outcome::Failure(texts::kWriteError);
  const std::string refusal = RefusalText(port.ReadLine().text);
  if (!refusal.empty()) return EndRefused(port, refusal);
  return Outcome::Success();
}

// The board is still announcing itself: the restart bytes send it back to its firmware, so a
// cut-off handshake does not leave it waiting in its bootloader. The update has failed already:
// what the drain finds changes nothing, and a port that would not take the bytes has nothing
// to drain.
Outcome EndHandshake(TransferSession& session, const char* message) {
  SerialPort& port = session.Port();
  const bool restarted = WriteRestartBytes(port).Ok();
  if (session.Cancelled()) return Outcome::Failure(texts::kFirmwareCanceled);
  if (restarted) static_cast<void>(port.Drain(kTimeoutDrainBytes, kTimeoutDrainMs));
  return Outcome::Failure(message);
}

Outcome EndAfterHeader(TransferSession& session, HeaderOutcome outcome) {
  switch (outcome) {
    case HeaderOutcome::Canceled:
      return Outcome::Failure(texts::kFirmwareCanceled);
    case HeaderOutcome::NotAcknowledged:
      // As after a cut-off handshake.
      if (WriteRestartBytes(session.Port())) static_cast<void>(session.Port().Drain());
      return Outcome::Failure(texts::kHeaderNotAcknowledged);
    case HeaderOutcome::NoValidHeader:
      return Outcome::Failure(texts::kNoValidHeader);
    case HeaderOutcome::Accepted:
    case HeaderOutcome::PortError:
      break;
  }
  return Outcome::Failure(texts::kHeaderPortError);
}

Outcome EndAfterPages(TransferSession& session, PagesOutcome outcome, const FirmwareImage& image) {
  const int pages = image.pageCount + 1;
  switch (outcome) {
    case PagesOutcome::Done:
      // Every page is in; the restart bytes start the new firmware, and an update whose board
      // never heard them has not completed.
      if (!WriteRestartBytes(session.Port()))
        return Outcome::Failure(texts::kFlashPortLost, pages, pages);
      // What the board says as it starts is no answer to anything.
      static_cast<void>(session.Port().Drain());
      return Outcome::Success(texts::kFirmwareComplete, pages, pages);
    case PagesOutcome::Canceled:
      return Outcome::Failure(texts::kFirmwareCanceled);
    case PagesOutcome::Refused:
      return Outcome::Failure(texts::kSegmentAborted);
    case PagesOutcome::NotAcknowledged:
      return Outcome::Failure(texts::kPageNotAcknowledged);
    case PagesOutcome::PortError:
      break;
  }
  return Outcome::Failure(texts::kFlashPortLost);
}

// Until the bootloader has said 'U'. A board still waiting in its bootloader from an update
// that did not finish is not sent the bootload command: it has no command interpreter running.
Outcome AwaitBootloader(TransferSession& session, const Board& board, BoardStart start) {
  SerialPort& port = session.Port();
  if (start == BoardStart::RunningFirmware) {
    if (Outcome handed = SendToBootloader(port, board); !handed) return handed;
  } else {
    port.TraceLog("The board waits in its bootloader already");
  }
  port.TraceLog("Wait for a 'U'");
  port.TraceLog("%s", texts::kWaitingForBootloader);
  session.SetStatus(texts::kWaitingForBootloader);
  const Deadline budget(session.timing().bootloaderWaitMs, &session.CancelFlag());
  std::string refusal;
  switch (WaitForBootloaderU(port, budget, refusal)) {
    case BoardWait::Announced:
      return Outcome::Success();
    case BoardWait::Refused:
      return EndRefused(port, refusal);
    case BoardWait::LineClosed:
      // Nobody is at the other end to hear restart bytes, nor to wait for.
      return Outcome::Failure(texts::kLineClosed);
    case BoardWait::Silent:
    case BoardWait::Stopped:
      break;
  }
  return EndHandshake(session, texts::kBoardTimeout);
}

Outcome RunFirmwareUpdate(TransferSession& session, const std::string& path, const Board& board,
                          BoardStart start) {
  auto image = std::make_unique<FirmwareImage>();
  if (Outcome loaded = LoadFirmwareFile(path, *image); !loaded) return loaded;
  if (Outcome chosen = session.ChoosePort(false); !chosen) return chosen;
  SerialPort& port = session.Port();
  session.SetWaitingForBootloader(true);
  session.SetTransferring(true);
  if (Outcome announced = AwaitBootloader(session, board, start); !announced) return announced;
  port.TraceLog("Waiting = false;");
  session.SetWaitingForBootloader(false);
  port.TraceLog("Write a'U';");
  if (!WriteByte(port, kHandshakeByte)) return Outcome::Failure(texts::kWriteError);
  SleepMs(kAfterUMs);
  port.TraceLog("Purging Us");
  std::uint8_t carried = kHandshakeByte;
  if (!PurgeUs(port, Deadline(session.timing().purgeBudgetMs, &session.CancelFlag()), carried))
    return EndHandshake(session, texts::kBootloaderKeepsAnnouncing);
  port.TraceLog("ReceiveHeader");
  const HeaderOutcome header = ReceiveHeader(session, *image, carried);
  if (header != HeaderOutcome::Accepted) return EndAfterHeader(session, header);
  return EndAfterPages(session, SendPages(session, *image), *image);
}

}  // namespace

Outcome StartFirmwareUpdate(CartController& controller, const std::string& path, const Board& board,
                            BoardStart start) {
  if (controller.IsBusy()) return Outcome::Failure(texts::kTransferRunning);
  if (path.size() > kMaxFileName) {
    return Outcome::Failure("The firmware file name is longer than 255 characters.");
  }
  return controller.StartTransfer(CartController::TransferKind::Firmware,
                                  [path, &board, start](TransferSession& session) {
                                    return RunFirmwareUpdate(session, path, board, start);
                                  });
}

}  // namespace molvane
