// The bitmap upload worker: sends a command file of display-memory writes line by line.
#include <cstdio>
#include <memory>

#include "app/cart_controller.h"
#include "loader/bitmap_line.h"
#include "loader/bootloader_header.h"
#include "loader/command_file_lines.h"
#include "loader/loader_texts.h"
#include "loader/port_wait.h"
#include "loader/transfer_port.h"

namespace molvane {
namespace {

constexpr int kFactoryTitleMode = 2;  // the factory title goes without "load_bitmap" and "er 256"
constexpr int kAfterLoadCommandMs = 200;
constexpr int kBeforeLineMs = 100;

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

bool StartsLine(const std::string& line) {
  return line.rfind("ew", 0) == 0 || line.rfind("re", 0) == 0;
}

void EndUpload(CartController& c, const char* message) {
  c.SetMessage(message);
  c.transferInProgress = 0;
}

void SendRaw(SerialPort& port, const std::string& bytes) {
  port.Write(bytes.data(), static_cast<int>(bytes.size()));
}

// False when the upload had to end early; the message is posted then.
bool SendLines(CartController& c, SerialPort& port, std::FILE* file, int total) {
  std::string line;
  for (int done = 0;;) {
    if (c.cancelRequest.load() != 0) {
      EndUpload(c, texts::kBitmapCanceled);
      return false;
    }
    if (!ReadCommandLine(file, line)) {
      c.SetMessage(texts::kBitmapLinesDone);
      return true;
    }
    ++done;
    SleepMs(kBeforeLineMs);
    port.Drain();
    if (StartsLine(line) && !SendBitmapLine(c, line)) {
      EndUpload(c, c.cancelRequest.load() != 0 ? texts::kBitmapCanceled : texts::kDisplaySilent);
      return false;
    }
    c.SetStatusText(WritingText(ProgressPercent(done, total)));
  }
}

}  // namespace

void CartController::RunBitmapUpload() {
  PortChoice choice = ChooseTransferPort(*this, true);
  if (choice != PortChoice::Ready) return EndUpload(*this, PortChoiceMessage(choice));
  SerialPort& port = *Current();
  transferInProgress = 1;
  bootloaderWait = 0;
  const int total = CountCommandLines(bitmapFile);
  File file(std::fopen(bitmapFile.c_str(), "rb"));
  if (!file) return EndUpload(*this, texts::kBitmapNotOpened);
  SendRaw(port, "\r\r\r");
  port.ReadLine();
  const bool factoryTitle = (BitmapUploadMode.load() & 7) == kFactoryTitleMode;
  if (!factoryTitle) {
    SendRaw(port, "load_bitmap\r");
    port.ReadLine();
    PauseMs(kAfterLoadCommandMs);
  }
  if (!SendLines(*this, port, file.get(), total)) return;
  if (!factoryTitle) SendRaw(port, "er 256\r");
  file.reset();
  SetStatusText(texts::kBitmapUpdated);
  SetMessage(texts::kBitmapUpdated);
  // The display stores the bitmap now. A cancel (or the program closing) ends the wait early;
  // everything was sent, but the message does not claim the display finished storing it.
  const bool settled = Pause(Deadline(timing.bitmapSettleMs, &cancelRequest));
  const char* outcome = settled ? texts::kBitmapComplete : texts::kBitmapSettleCut;
  SetStatusText(outcome);
  SetMessage(outcome);
  if (int index = currentPort.load(); index >= 0 && index < kMaxPorts) {
    ports[index].Close();
    if (!OpenCartPort(index)) ports[index].Close();
  }
  transferInProgress = 0;
}

}  // namespace molvane
