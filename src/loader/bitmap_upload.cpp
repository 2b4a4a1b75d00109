// The bitmap upload worker: sends a command file of display-memory writes line by line.
#include "loader/bitmap_upload.h"

#include <cstdio>

#include "app/cart_controller.h"
#include "app/link_texts.h"
#include "app/transfer_session.h"
#include "base/file_content.h"
#include "base/printable_text.h"
#include "loader/bitmap_command_file.h"
#include "loader/bitmap_line.h"
#include "loader/bootloader_header.h"
#include "loader/command_file_lines.h"
#include "loader/loader_texts.h"
#include "loader/port_wait.h"

namespace molvane {
namespace {

constexpr int kAfterLoadCommandMs = 200;
constexpr int kBeforeLineMs = 100;
constexpr std::size_t kShownLine = 40;  // of a refused line in the message
constexpr const char* kEndUpload = "er 256";

bool StartsLine(const std::string& line) {
  return line.rfind("ew", 0) == 0 || line.rfind("re", 0) == 0;
}

PortIo SendRaw(SerialPort& port, const std::string& bytes) {
  return port.Write(bytes.data(), static_cast<int>(bytes.size()));
}

// The display's prompt after a line end or the load command is not judged: the lines that follow
// are, one by one. A line end or command that cannot be written ends the upload.
bool SendUnjudged(SerialPort& port, const std::string& bytes) {
  if (!SendRaw(port, bytes)) return false;
  static_cast<void>(port.ReadLine());
  return true;
}

// Why the upload ended at `what` ("line 3", "the end of the upload").
std::string LineFailure(const SentLine& sent, const std::string& what, std::string line) {
  switch (sent.result) {
    case LineResult::Canceled:
      return texts::kBitmapCanceled;
    case LineResult::LineClosed:
      return std::string(texts::kLineClosed) + " Bitmap Update Aborted.";
    case LineResult::Refused:
      break;
    case LineResult::Taken:
    case LineResult::Silent:
      return texts::kDisplaySilent;
  }
  while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.pop_back();
  return "The display refused " + what + " (" + PrintableText(line, kShownLine) +
         "): " + sent.refusal + " Bitmap Update Aborted.";
}

// Success once every line went; otherwise the failure says where the upload ended.
Outcome SendLines(TransferSession& session, std::FILE* file, int total) {
  CartController& controller = session.Controller();
  std::string line;
  for (int done = 0;;) {
    if (session.Cancelled()) return Outcome::Failure(texts::kBitmapCanceled, done, total);
    if (!ReadCommandLine(file, line)) {
      session.SetMessage(texts::kBitmapLinesDone);
      return Outcome::Success(texts::kBitmapLinesDone, done, total);
    }
    ++done;
    SleepMs(kBeforeLineMs);
    // A port that fails here fails the line's own exchange, which says so.
    static_cast<void>(session.Port().Drain());
    if (StartsLine(line)) {
      const SentLine sent = SendBitmapLine(controller, line, session.CancelFlag());
      if (sent.result != LineResult::Taken) {
        return Outcome::Failure(LineFailure(sent, "line " + std::to_string(done), line), done - 1,
                                total);
      }
    }
    session.SetStatus(WritingText(ProgressPercent(done, total)));
    session.SetProgress(done, total);
  }
}

Outcome RunBitmapUpload(TransferSession& session, const std::string& commandFile,
                        BitmapUploadMode mode) {
  if (Outcome chosen = session.ChoosePort(true); !chosen) return chosen;
  SerialPort& port = session.Port();
  session.SetTransferring(true);
  session.SetWaitingForBootloader(false);
  const int total = CountCommandLines(commandFile);
  FileFault fault = FileFault::None;
  FileHandle file = OpenRegularFile(commandFile, fault);
  if (!file) return Outcome::Failure(texts::kBitmapNotOpened);
  if (!SendUnjudged(port, "\r\r\r")) return Outcome::Failure(texts::kWriteError, 0, total);
  const bool factoryTitle = mode == BitmapUploadMode::FactoryTitle;
  if (!factoryTitle) {
    if (!SendUnjudged(port, "load_bitmap\r")) return Outcome::Failure(texts::kWriteError, 0, total);
    SleepMs(kAfterLoadCommandMs);
  }
  Outcome sent = SendLines(session, file.get(), total);
  if (!sent) return sent;
  // The display has stored nothing until it has taken the end of the upload.
  if (!factoryTitle) {
    const SentLine ended = SendBitmapLine(session.Controller(), kEndUpload, session.CancelFlag());
    if (ended.result != LineResult::Taken) {
      return Outcome::Failure(LineFailure(ended, "the end of the upload", kEndUpload), sent.done,
                              sent.total);
    }
  }
  file.reset();
  session.SetStatus(texts::kBitmapUpdated);
  session.SetMessage(texts::kBitmapUpdated);
  // The display stores the bitmap now. A cancel (or the program closing) ends the wait early;
  // everything was sent, but the outcome does not claim the display finished storing it.
  const bool settled = Pause(Deadline(session.timing().bitmapSettleMs, &session.CancelFlag()));
  session.SetStatus(settled ? texts::kBitmapComplete : texts::kBitmapSettleCut);
  session.ReopenPort();
  if (!settled) return Outcome::Failure(texts::kBitmapSettleCut, sent.done, sent.total);
  return Outcome::Success(texts::kBitmapComplete, sent.done, sent.total);
}

}  // namespace

Outcome StartBitmapUpload(CartController& controller, const std::string& path,
                          BitmapUploadMode mode, int startAddress, int writeForm) {
  if (!IsChosenFile(path) || path.find('.') == std::string::npos) {
    return Outcome::Failure(texts::kSelectFile);
  }
  if (controller.IsBusy()) return Outcome::Failure(texts::kTransferRunning);
  std::string commandFile = path;
  if (!IsCommandFileName(path)) {
    std::string error;
    if (!ConvertBmpToCommandFile(path, startAddress, writeForm, commandFile, error)) {
      return Outcome::Failure("Bitmap " + path + " was not converted: " + error + ".");
    }
  }
  return controller.StartTransfer(CartController::TransferKind::Bitmap,
                                  [commandFile, mode](TransferSession& session) {
                                    return RunBitmapUpload(session, commandFile, mode);
                                  });
}

}  // namespace molvane
