#pragma once
#include <array>
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "app/cart_data.h"
#include "app/cart_thread.h"
#include "app/link_texts.h"
#include "app/outcome.h"
#include "app/timing.h"
#include "link/discovery.h"
#include "link/serial_port.h"

namespace molvane {

class TransferSession;

// The one object that holds the link's state, shared by the cart work, the port scanner and the
// transfer worker: the ports and which one has the cart, the command transaction, the message
// and status texts, the copies of what the cart last reported, the settings file's paths and the
// running transfer. Everything is private; the operations on the cart live in the folders that
// own them and use this surface.
class CartController {
 public:
  static constexpr int kMaxPorts = 255;
  static constexpr int kBaudRate = 38400;

  CartController();
  // Trace in the given folder, configuration in the given program folder (tests).
  CartController(const std::string& traceFolder, const std::string& programFolder);
  ~CartController();
  CartController(const CartController&) = delete;
  CartController& operator=(const CartController&) = delete;

  // --- what the window and the tools read (app/cart_controller.cpp)
  bool IsBusy() const { return transferInProgress.load() != 0 || bootloaderWait.load() != 0; }
  // Whether the controller has port i open (the current port or one a cart answered on).
  bool IsPortOpen(int i) const;
  int CartCount() const { return cartCount.load(); }
  bool HasCart() const { return cartCount.load() > 0; }
  int PortsFound() const { return portsFound.load(); }
  int PortCount() const { return portCount.load(); }
  int CurrentPort() const { return currentPort.load(); }
  bool EchoesCommands() const { return echoesCommands.load(); }
  // The name listed for port i; empty past the list. Safe from any thread while discovery runs.
  std::string PortName(int i) const;
  // Why port i could not be opened the last time, and the system's own words for it.
  OpenError LastOpenError(int i) const;
  std::string LastOpenErrorText(int i) const;
  // comlog.txt, where every port writes its traffic.
  std::string TracePath() const;
  std::string GetProgramFolder() const { return programFolder; }
  // Where Molvane.cfg is looked for; the desktop program sets its own folder at start-up.
  void SetProgramFolder(const std::string& folder) { programFolder = folder; }
  // bootlog.txt goes here; empty: the working folder.
  std::string BootlogFolder() const;
  void SetBootlogFolder(const std::string& folder);
  const Timing& GetTiming() const { return timing; }
  void SetTiming(const Timing& values) { timing = values; }
  // Where discovery looks (tests point it at made-up trees).
  void SetDiscovery(const DiscoverySource& source);
  DiscoverySource GetDiscovery() const;
  // Pauses the calling thread; false, at once, when the controller's waits are interrupted.
  bool Pause(int ms) const;
  // While on, every wait ends at once or within a few milliseconds: the pauses, and every wait
  // on the controller's ports (a reply line, a drain, a wait for a byte), which share the flag.
  // So a closing program is not held up by a silent cart: set when the cart thread stops. Safe
  // from any thread.
  void InterruptWaits(bool on);

  // --- configuration file (app/config.cpp)
  // The six file paths the Service page keeps in Molvane.cfg.
  enum class PathSetting {
    MainFirmware,
    FrontFirmware,
    ChargerFirmware,
    TranslationFirmware,
    Bitmap,
    FactoryTitle
  };
  static constexpr int kPathSettings = 6;
  std::string ConfigPath() const;
  void LoadConfig();
  // Keeps the path for this run and writes its one entry into the file, reread just before so
  // that everything else in it survives. A file that exists but cannot be read is left as it is
  // (saving would drop its other entries). A failure says why and that the path is kept for this
  // run only.
  Outcome SetPathSetting(PathSetting which, const std::string& path);
  std::string GetPathSetting(PathSetting which) const;

  // --- connection monitor and discovery (app/connection_monitor.cpp)
  void SetScanEnabled(bool enabled) { scanSuspended = !enabled; }
  bool ScanEnabled() const { return !scanSuspended.load(); }
  void StartScanThread();
  void BeginStopScanThread();  // asks the scanner to end at its next port
  void StopScanThread();       // asks the scanner to end and joins it
  void FindFtdiPorts();
  void ScanPorts();
  // What a scan pass found: carts that answered and ports that were open or could be opened.
  // The scanner notes it at the end of each pass; the connection check reads it.
  void NoteScanResult(int carts, int found) {
    cartCount = carts;
    portsFound = found;
  }

  // --- probing a port (app/port_probe.cpp)
  // Opens port i (which must be closed) and probes it with "status". A cart that answers becomes
  // the current port and its port stays open; otherwise the port is closed again. A board that
  // answers with its bootloader's 'U's is no cart either; the message text then says so.
  enum class ProbeResult { NotOpened, NoCart, Bootloader, Cart };
  ProbeResult ProbePort(int i);
  // Puts a named port at index 0 of an otherwise empty list and probes it (molvanectl --port).
  ProbeResult ConnectPort(const std::string& portName);
  // Finds the cart the way the scanner does, once: the first listed port that answers. When none
  // does, `waitingBoardPort` (if given) names the first port whose board waits in its bootloader.
  bool ConnectFirstCart(std::string* waitingBoardPort = nullptr);
  // Makes a named port current without a probe, for a device known to answer as a cart that
  // does (echoes) or does not echo its commands. False when it cannot be opened.
  bool AttachPort(const std::string& portName, bool echoes);
  // Closes port i; when it was the current port, no cart is connected any more.
  void ReleasePort(int i);
  // The line an operator reads for what probing port i just gave.
  std::string ProbeResultText(int i, ProbeResult result) const;

  // --- what answers on each port, for a support report (app/port_survey.cpp)
  // One line per listed port. Taken port by port with the scanner kept off it; nothing is sent
  // while a transfer runs. An open port is told from what is known of it, never probed again;
  // a closed one is probed as the scanner would, and a cart found there becomes the current
  // port unless another one already is.
  std::vector<std::string> SurveyPorts();

  // --- command transaction (app/command_transaction.cpp)
  // Each step returns how it went: no cart, a transfer holding the port, a write error, a
  // time-out or a line that closed under it (the port is then given up and the scanner finds
  // the cart again), "unknown cmd" or "error" are failures whose text is the operator's, and
  // also becomes the message text.
  Outcome SendCommand(const std::string& command);
  // One line of the answer exactly as read: CR and LF removed, a final '>' kept, "Timeout" when
  // the line stayed silent or closed. The line is also there when the outcome is a refusal.
  Result<std::string> ReadReply();
  // For a command the cart may answer with nothing to read ("set_time"): an answer that begins
  // within waitMs is read and judged, so that a refusal is heard. Silence after a command is
  // never success: when nothing came, the cart must still answer "status".
  Outcome ConfirmHeard(int waitMs);
  // One whole transaction: the command, a pause, and `reads` answer lines, each read whatever
  // the one before said (a refusal still leaves lines to clear) until the link is lost. The
  // outcome is the first failure.
  Result<std::vector<std::string>> Exchange(const std::string& command, int reads = 1,
                                            int pauseMs = 0);
  // The first answer line to "status", the keep-alive.
  Result<std::string> GetStatus();
  // The answer in progress is left unread (a cancelled dump): the next command first reads it
  // off up to its prompt, however long the cart takes to send it, so that none of it can pass
  // for that command's answer.
  void AbandonAnswer() { answerAbandoned = true; }
  void SetMessage(const std::string& text);
  std::string GetMessage() const;
  std::string MessageText() const;  // the message text, whatever runs
  void SetStatusText(const std::string& text);
  std::string GetStatusText() const;

  // --- the copies of what the cart last reported
  // Written and read by the thread that does the cart work; each is replaced whole, and only
  // by a read or a change that went through.
  const PinList& Pins() const { return pinList; }
  void KeepPins(const PinList& list) { pinList = list; }
  const EventLog& Events() const { return eventLog; }
  void KeepEvents(EventLog&& log) { eventLog = std::move(log); }
  const CartVersions& Versions() const { return versions; }
  void KeepVersions(const CartVersions& read);
  std::uint8_t AuxBoardKind() const { return auxBoardKind.load(); }

  // --- firmware and bitmap transfers (app/transfer_slot.cpp)
  // The worker's body runs on its own thread with the port to itself; what it returns becomes
  // the message text and TransferOutcome(). A firmware transfer starts waiting for the
  // bootloader, a bitmap transfer starts transferring. Refused while one runs.
  enum class TransferKind { Firmware, Bitmap };
  using TransferBody = std::function<Outcome(TransferSession&)>;
  Outcome StartTransfer(TransferKind kind, TransferBody body);
  void CancelTransfer() { cancelRequest = 1; }
  void WaitForTransfer();  // joins a finished or running worker
  // How the last transfer that ended went; a success with no text before any.
  Outcome TransferOutcome() const;
  // How far the running transfer is: pages or lines sent, of how many (0 of 0 before it knows).
  struct TransferCount {
    int done = 0;
    int total = 0;
  };
  TransferCount TransferProgress() const { return {transferDone.load(), transferTotal.load()}; }

  // --- the cart thread (app/cart_thread.cpp): where the window's cart work runs
  CartThread& Worker() { return worker; }

 private:
  friend class TransferSession;

  SerialPort& Port(int i) { return ports[static_cast<std::size_t>(i)]; }
  const SerialPort& Port(int i) const { return ports[static_cast<std::size_t>(i)]; }
  // Opens port i under its listed name with the cart's line settings (38400 8N1), its waits
  // ended by InterruptWaits.
  bool OpenCartPort(int i, TraceStart traceStart = TraceStart::Fresh);
  void ScanThreadMain(std::stop_token stop);
  // Command transaction helpers (app/command_transaction.cpp).
  std::atomic<int>& TransactionSlot();
  int BeginTransaction();
  bool RefusedDuringTransfer();
  // The port stopped answering or its line closed: it is given up.
  void ForgetLostPort(int index);
  // The line closed under a transaction: said, and the port given up.
  Outcome LineLost(int index);
  // Scanner: whether port i is open, in step with a close on the cart's side.
  bool SeenOpen(int i);
  // Scanner: true when open port i has lost its device; it is then closed.
  bool DropIfGone(int i);
  // A failure the command transaction classified: it becomes the message text too.
  Outcome Fail(const std::string& message);
  void RunTransfer(const TransferBody& body);

  // Set on the transfer worker's own thread: its commands go through while the transfer runs.
  static thread_local const CartController* transferThreadOf;

  // Handed to every port this controller opens; declared before them so that it outlives them.
  std::atomic<bool> interrupt{false};
  std::array<SerialPort, kMaxPorts> ports;
  // Port names in discovery order ("COM7", "/dev/ttyUSB0"); written under portNamesMutex, read
  // by other threads through PortName.
  std::array<std::string, 256> portNumbers;
  std::atomic<bool> echoesCommands{true};
  std::atomic<bool> scanSuspended{false};
  std::atomic<bool> stopScan{false};  // set by StopScanThread; a pass ends at the next port
  std::atomic<int> portCount{0};
  std::atomic<bool> absentPortsListed{false};  // see DiscoveryResult::listsAbsentPorts
  std::atomic<int> portsFound{0};
  std::atomic<int> cartCount{0};
  std::atomic<int> currentPort{-1};
  // The port of the command transaction in progress (or the last one): SendCommand takes the
  // current port once, and the replies are read from the same port. The transfer worker's own
  // transactions use the second field.
  std::atomic<int> transactionPort{-1};
  std::atomic<int> transferTransactionPort{-1};
  std::atomic<std::uint8_t> auxBoardKind{0};
  std::atomic<bool> answerAbandoned{false};
  PinList pinList;
  EventLog eventLog;
  CartVersions versions;
  std::string programFolder;
  // In PathSetting order; the window reads them while the cart thread may keep a new one.
  std::array<std::string, kPathSettings> pathSettings;
  mutable std::mutex pathSettingsMutex;
  std::atomic<int> transferInProgress{0};
  std::atomic<int> bootloaderWait{0};
  std::atomic<int> cancelRequest{0};
  std::atomic<int> transferDone{0};
  std::atomic<int> transferTotal{0};
  DiscoverySource discovery;  // where FindFtdiPorts looks
  Timing timing;

  mutable std::mutex portNamesMutex;
  // Held by the scanner while it has a port in hand (discovery, one probe); a starting transfer
  // waits for it, so the two never share a port.
  mutable std::mutex scanPortMutex;
  // Orders the closing of an open port between the command transaction and the scanner.
  std::mutex portCloseMutex;
  mutable std::mutex textMutex;  // guards the texts below, held only for the copy
  std::string messageText;
  std::string statusText;
  std::string bootlogFolder;
  Outcome lastTransfer;
  mutable std::mutex pauseMutex;
  mutable std::condition_variable pauseWake;
  std::jthread scanThread;
  std::thread transferThread;
  // Last, so that it stops first: its jobs use everything above. Its stop interrupts the waits
  // of the job that runs.
  CartThread worker{[this] { InterruptWaits(true); }};
};

}  // namespace molvane
