#pragma once
#include <optional>
#include <string>

#include "app/cart_controller.h"
#include "fleet/fleet_records.h"
#include "pages/page_model.h"

namespace molvane {

struct Board;
enum class BitmapUploadMode;

// Firmware and bitmap loading, the clock and the battery gas gauge.
//
// A running transfer owns the port: while one runs the page only shows its progress, keeps its
// action buttons locked and sends nothing itself.
class ServicePage : public PageModel {
 public:
  static constexpr int kTimerMs = 500;
  // The six files the page loads are the six paths it keeps in the settings file.
  using FileKind = CartController::PathSetting;

  using PageModel::PageModel;

  const char* Title() const override { return "Service"; }
  void Start() override;
  void CartNotice(bool present) override;
  // Polled with nothing to do on the poll: its own timer keeps the fields current.
  bool IsPolled() const override { return true; }
  void Show(bool visible) override;
  int TimerPeriodMs() const override { return kTimerMs; }
  void Tick() override;

  void Browse(FileKind kind);
  void UpdateMain();
  void UpdateFront();
  void UpdateCharger();
  void UpdateTranslation();
  void UpdateBitmaps();
  void FactoryTitle();
  void SetRtc();
  void ResetGasGauge();

  // Fields. The file fields are set only by Browse and from the configuration file, so the file
  // an update uses is always the one the operator sees.
  std::string mainFirmwareFile;
  std::string frontFirmwareFile;
  std::string chargerFirmwareFile;
  std::string translationFirmwareFile;
  std::string bitmapFile;
  std::string factoryTitleFile;
  std::string status;
  // How the page's last operation ended: the last transfer (wherever it was started), the
  // clock or the gas gauge.
  std::string lastResult;

  // Enabled states of the eight action buttons.
  bool updateMainEnabled = true;
  bool updateFrontEnabled = true;
  bool updateChargerEnabled = true;
  bool updateTranslationEnabled = true;
  bool updateBitmapsEnabled = true;
  bool factoryTitleEnabled = true;
  bool setRtcEnabled = true;
  bool resetGasGaugeEnabled = true;
  // The timer has disabled the action buttons for a running transfer.
  bool buttonsLocked = false;

 private:
  void ApplyVisibility(bool visible);
  void LoadFiles();
  void ApplyEnablingRule();
  void EnableForBoards();
  void SetActionButtons(bool enabled);
  void FollowTransfer();
  void SetStatus(const std::string& text);
  // False, after telling the operator, when no file was chosen for `action`.
  bool FileChosen(const std::string& path, const std::string& action) const;
  void UpdateFirmware(const std::string& path, const Board& board, const std::string& action);
  void UploadBitmap(const std::string& path, BitmapUploadMode mode, const char* question,
                    const std::string& action);
  void AfterStart(const Outcome& started, const std::string& action, CartWork work);
  // The fleet record hears how the page's own transfer ended.

  // Where the operator wants the page; a running transfer holds it where it was until it ends.
  bool wanted = false;
  // The cart's third board was read since it came.
  bool boardKindRead = false;
  // The page's transfer that runs, as the fleet record will keep it.
  std::optional<CartWork> transfer;
};

}  // namespace molvane
