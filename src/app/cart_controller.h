#pragma once
#include <array>
#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "app/cart_data.h"
#include "app/timing.h"
#include "pages/ui_services.h"
#include "link/discovery.h"
#include "link/serial_port.h"

namespace molvane {

// Texts the operator sees, used in more than one place.
namespace texts {
inline constexpr const char* kUnknownCommand = "Unknown Command.";
inline constexpr const char* kErrorUnknown = "Error: Unknown.";
inline constexpr const char* kErrorTimeout = "Error: Timeout";
inline constexpr const char* kWriteError = "Error writing the command to the port.";
inline constexpr const char* kTimeout = "Timeout";
inline constexpr const char* kNoDrivers = "No USB Cart drivers have been installed on this system.";
inline constexpr const char* kNoPorts = "No FTDI Ports available.";
inline constexpr const char* kNoPortOpened = "No FDTI ports could be opened";
inline constexpr const char* kNoCart = "Error: No cart is connected.";
inline constexpr const char* kTransferRunning = "A transfer is already running.";
}  // namespace texts

// The one object that holds the state shared by the window, the port scanner and the transfer
// worker. Pages never touch a port; they call these operations. Member functions are defined in
// the folder that owns them (cart/pin_list.cpp defines DumpPinList, and so on).
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

  // --- application shell (app/cart_controller.cpp)
  bool IsBusy() const { return transferInProgress.load() != 0 || bootloaderWait.load() != 0; }
  int CartCount() const { return cartCount.load(); }
  bool HasCart() const { return cartCount.load() > 0; }
  std::string GetProgramFolder() const { return programFolder; }
  void SetScanEnabled(bool enabled) { scanSuspended = !enabled; }
  // The window system's services; without any set, boxes are answered silently.
  void SetUi(UiServices* services) { ui = services; }
  UiServices& Ui() const;

  // --- configuration file (app/config.cpp)
  // The six file paths the Service page keeps in Molvane.cfg; each has a named setter and getter.
  enum class PathSetting { MainFirmware, FrontFirmware, ChargerFirmware, TranslationFirmware,
                           Bitmap, FactoryTitle };
  static constexpr int kPathSettings = 6;
  std::string ConfigPath() const;
  void LoadConfig();
  // Keeps the path for this run and writes its one entry into the file, reread just before so
  // that everything else in it survives. A file that exists but cannot be read is left as it is
  // (saving would drop its other entries); then, or when the entry cannot be written, the path is
  // kept in memory only and the message text says so once. True when the file holds the path.
  bool SetPathSetting(PathSetting which, const std::string& path);
  std::string GetPathSetting(PathSetting which) const;
  bool SetMainFirmwarePath(const std::string& p) {
    return SetPathSetting(PathSetting::MainFirmware, p);
  }
  bool SetFrontFirmwarePath(const std::string& p) {
    return SetPathSetting(PathSetting::FrontFirmware, p);
  }
  bool SetChargerFirmwarePath(const std::string& p) {
    return SetPathSetting(PathSetting::ChargerFirmware, p);
  }
  bool SetTranslationFirmwarePath(const std::string& p) {
    return SetPathSetting(PathSetting::TranslationFirmware, p);
  }
  bool SetBitmapPath(const std::string& p) { return SetPathSetting(PathSetting::Bitmap, p); }
  bool SetFactoryTitlePath(const std::string& p) {
    return SetPathSetting(PathSetting::FactoryTitle, p);
  }
  std::string MainFirmwarePath() const { return GetPathSetting(PathSetting::MainFirmware); }
  std::string FrontFirmwarePath() const { return GetPathSetting(PathSetting::FrontFirmware); }
  std::string ChargerFirmwarePath() const { return GetPathSetting(PathSetting::ChargerFirmware); }
  std::string TranslationFirmwarePath() const {
    return GetPathSetting(PathSetting::TranslationFirmware);
  }
  std::string BitmapPath() const { return GetPathSetting(PathSetting::Bitmap); }
  std::string FactoryTitlePath() const { return GetPathSetting(PathSetting::FactoryTitle); }

  // --- connection monitor and discovery (app/connection_monitor.cpp)
  void StartScanThread();
  void StopScanThread();  // asks the scanner to end and joins it
  void FindFtdiPorts();
  void ScanThreadMain(std::stop_token stop);
  void ScanPorts();

  // --- probing a port (app/port_probe.cpp)
  // Opens port i (which must be closed) and probes it with "status". A cart that answers becomes
  // the current port and its port stays open; otherwise the port is closed again. A board that
  // answers with its bootloader's 'U's is no cart either; the message text then says so.
  enum class ProbeResult { NotOpened, NoCart, Bootloader, Cart };
  ProbeResult ProbePort(int i);
  // Puts a named port at index 0 of an otherwise empty list and probes it (molvanectl --port).
  bool ConnectPort(const std::string& portName);
  // Opens port i under its listed name with the cart's line settings (38400 8N1); false when it
  // cannot be opened. (app/cart_controller.cpp)
  bool OpenCartPort(int i);
  // The name listed for port i; empty past the list. Safe from any thread while discovery runs.
  std::string PortName(int i) const;

  // --- command transaction (app/command_transaction.cpp)
  void SendCommand(const std::string& command);
  std::string ReadReply();
  void SetMessage(const std::string& text);
  std::string GetMessage() const;
  std::string GetStatus();
  void SetStatusText(const std::string& text);
  std::string GetStatusText() const;
  std::string MessageText() const;  // the message text, whatever runs

  // --- command vocabulary (cart/command_vocabulary.cpp)
  void SetKeyboardTimeout(int seconds);
  void SetBacklightTimeout(int seconds);
  void SetRelockTimeout(int seconds);
  void SetLockActivation(int mainMs, int sideMs);
  void SetCartType(int code);
  void ToggleKeyboardLight();
  void Lock();
  void Unlock();
  void ResetCycleCount();
  void SetSensorRun(int on);
  void SetSensorMask(int mask);
  void SetLiftMinVolts(float volts);
  void SetLiftMaxUpCurrent(float amperes);
  void SetLiftMaxDownCurrent(float amperes);
  void SetLiftLock(int locked);
  void SetLiftRelockTimeout(int seconds);
  void SetLiftRelockStatus(int on);
  void LiftUp();
  void LiftDown();
  void LiftOff();
  int GetSensorRun();
  std::string GetLockBits();
  std::string GetCalibFastData();
  std::string GetCalibSlowData();
  std::string GetSetupDlgFull();
  std::string GetCycleCount();

  // --- versions and power supply (cart/version_info.cpp)
  void GetVersion();
  std::string GetPowerSupplyType();
  std::string FirmwareVersionText(int n) const;  // n = 1..4
  std::string HardwareVersionText(int n) const;  // n = 1..2
  std::uint8_t AuxBoardKind() const { return auxBoardKind; }

  // --- clock and gas gauge (cart/service_commands.cpp)
  // The PC's local time as "set_time"; no reply is read.
  void SetRealTimeClock();
  // "gas_gauge_reset"; true when the cart answered "reset_done" in time.
  bool ResetGasGauge();

  // --- PIN list (cart/pin_list.cpp)
  void DumpPinList();
  int PinCount() const { return pinList.count; }
  std::string PinText(int index) const;
  int PinAgeDays(int index) const;
  int OldestPinIndex() const { return pinList.oldestIndex; }
  int PinAgeDaysClamped(int index) const;
  const PinList& Pins() const { return pinList; }
  void AddPin(const std::string& pinText, std::int64_t activationTime);
  void RemovePin(const std::string& pinText);
  // False when a removal was neither confirmed nor refused and the loop had to stop.
  bool RemoveAllPins();

  // --- cart name and serial number (cart/cart_identity.cpp)
  void SetCartName(const std::string& name);
  std::string GetCartName();
  void SetSerialNumber(const std::string& text);
  std::string GetSerialNumber();

  // --- event log (cart/event_log.cpp)
  void DumpLog();
  int LogCount() const { return eventLog.count; }
  std::string LogLine(int index) const;
  const EventLog& Events() const { return eventLog; }
  bool ExportLog(const std::string& path);
  void ClearLog();

  // --- PIN list files (cart/pin_list_file.cpp)
  bool ExportPinList(const std::string& path);
  bool ImportPinList(const std::string& path);

  // --- RFID and PIN-digit settings (cart/rfid_settings.cpp)
  void SetRfidBits(const std::string& text);
  void SetRfidMask(const std::string& text);
  void SetRfidFacility(const std::string& text);
  void SetMaxPinDigits(const std::string& text);
  std::string GetRfidBits();
  std::string GetRfidMask();
  std::string GetRfidFacility();
  std::string GetMaxPinDigits();

  // --- firmware and bitmap loading (loader/bootloader_update.cpp, loader/bitmap_start.cpp,
  //     loader/transfer_worker.cpp)
  // 0 when the worker was started. Once started, the transfer has the port to itself: the
  // scanner's next port waits, and commands from any other thread are refused until it ends.
  int StartFirmwareUpdate(const std::string& path);
  int StartBitmapUpload(const std::string& path, int startAddress, int writeForm);
  void CancelTransfer() { cancelRequest = 1; }
  void WaitForTransfer();  // joins a finished or running worker
  const FirmwareImage& Image() const { return firmwareImage; }

  // --- what answers on each port, for a support report (app/port_survey.cpp)
  // One line per listed port. Taken port by port with the scanner kept off it; nothing is sent
  // while a transfer runs. An open port is told from what is known of it, never probed again;
  // a closed one is probed as the scanner would, and a cart found there becomes the current
  // port unless another one already is.
  std::vector<std::string> SurveyPorts();
  // The line an operator reads for what probing port i just gave.
  std::string ProbeResultText(int i, ProbeResult result) const;

  // --- fields (names as the rest of the system knows them)
  std::array<SerialPort, kMaxPorts> ports;
  // Port names in discovery order ("COM7", "/dev/ttyUSB0"); written under portNamesMutex, read
  // by other threads through PortName.
  std::array<std::string, 256> portNumbers;
  std::atomic<bool> echoesCommands{true};
  std::atomic<bool> scanSuspended{false};
  std::atomic<bool> stopScan{false};  // set by StopScanThread; a pass ends at the next port
  std::atomic<int> portCount{0};
  std::atomic<int> portsFound{0};
  std::atomic<int> cartCount{0};
  std::atomic<int> currentPort{-1};
  // The port of the command transaction in progress (or the last one): SendCommand takes the
  // current port once, and the replies are read from the same port. The transfer worker's own
  // transactions use the second field.
  std::atomic<int> transactionPort{-1};
  std::atomic<int> transferTransactionPort{-1};
  std::atomic<std::uint8_t> auxBoardKind{0};
  PinList pinList;
  EventLog eventLog;
  std::array<std::string, 4> firmwareVersions;
  std::array<std::string, 2> hardwareVersions;
  std::string helpUrl;
  std::string programFolder;
  std::string firmwareFile;
  std::string bootlogFolder;  // where bootlog.txt goes; empty: the working folder
  std::string bitmapFile;
  std::atomic<int> transferInProgress{0};
  std::atomic<int> bootloaderWait{0};
  std::atomic<int> cancelRequest{0};
  FirmwareImage firmwareImage;
  std::atomic<int> BoardSelector{0};
  int tabsSetting = 1;
  int firmwareDelay = 50;
  std::atomic<int> BitmapUploadMode{0};
  std::array<std::string, kPathSettings> pathSettings;  // in PathSetting order

  DiscoverySource discovery;  // where FindFtdiPorts looks
  Timing timing;

 private:
  void RunFirmwareUpdate();
  void RunBitmapUpload();
  // The start both transfers share (loader/transfer_worker.cpp): refused while one runs, the
  // file named, `busyFlag` set before the worker exists, and the worker begins once the scanner
  // has put down the port in its hands. 0 when the worker was started.
  int StartTransfer(std::atomic<int>& busyFlag, std::string& fileField, const std::string& file,
                    void (CartController::*body)());
  SerialPort* Current();
  // Command transaction helpers (app/command_transaction.cpp).
  std::atomic<int>& TransactionSlot();
  int BeginTransaction();
  bool RefusedDuringTransfer();
  void ForgetTimedOutPort(int index);
  // Scanner: true when open port i has lost its device; it is then closed (app/connection_monitor.cpp).
  bool DropIfGone(int i);
  void PauseMs(int ms) const;
  // A failure the command transaction classified: the message text, and the operation in
  // progress on this thread learns of it.
  void Fail(const std::string& message);

  // Set on the transfer worker's own thread: its commands go through while the transfer runs.
  static thread_local const CartController* transferThreadOf;

  UiServices* ui = nullptr;
  mutable std::mutex portNamesMutex;
  // Held by the scanner while it has a port in hand (discovery, one probe); a starting transfer
  // waits for it, so the two never share a port.
  std::mutex scanPortMutex;
  // Orders the closing of an open port between the command transaction and the scanner.
  std::mutex portCloseMutex;
  bool configNoticeGiven = false;  // the message that a path is kept in memory only, said once
  mutable std::mutex textMutex;  // guards the two texts below, held only for the copy
  std::string messageText;
  std::string statusText;
  std::jthread scanThread;
  std::thread transferThread;
};

}  // namespace molvane
