#pragma once
#include <array>
#include <functional>
#include <string>

#include "cart/drawer_layouts.h"
#include "pages/page_model.h"

namespace molvane {

// Drawer sensors, lift and drawer configuration at the factory. The fast report (lift lock,
// relock, sensors) is polled while the page is in front; the slow one (lift limits, drawer
// code) is read when a cart connects and after Update Cart.
class CalibratePage : public PageModel {
 public:
  static constexpr int kSensorBitCount = 8;
  static constexpr int kLayoutCount = static_cast<int>(kDrawerLayouts.size());
  static constexpr const char* kTransferRunning =
      "A firmware or bitmap transfer is running. Try again when it has ended.";

  using PageModel::PageModel;

  const char* Title() const override { return "Factory Calibration"; }
  void Start() override;
  void CartNotice(bool present) override;
  bool IsPolled() const override { return true; }
  void Poll() override;
  void Show(bool visible) override;

  // The buttons.
  void RunSensors();
  void StopSensors();
  void LiftUp();
  void LiftDown();
  void Brake();
  void ToggleLock();
  void ToggleAuto();
  void LockBits();
  void SelectDrawerLayout(int index);  // index into kDrawerLayouts
  void UpdateCart();

  // Display only, from the fast report.
  bool liftLocked = false;
  bool autoLock = false;
  std::string sensorStatus;
  std::string sensorValue;
  std::array<bool, kSensorBitCount> sensorLit{};  // bit n lit when the cart reports it 1
  // The limits as typed or reported, from the slow report.
  std::string maxUpCurrent;       // amperes
  std::string maxDownCurrent;     // amperes
  std::string minBatteryVoltage;  // volts
  std::string autoLockTimeout;    // seconds
  std::array<bool, kLayoutCount> layoutSelected{};
  std::string drawerCode;
  std::string lockBits;
  // Set when a cart connects while the page is hidden; from then on every showing of the page
  // reads the slow report.
  bool refreshPending = false;

 private:
  // Reads the fast report and shows it (after `change`, whose failure is then told).
  void FastRefresh(const std::string& key = {});
  void AfterChange(std::function<Outcome(CartController&)> change, const std::string& action,
                   std::function<std::string(const std::string&)> note = {});
  void ForgetCart();
  void SlowRefresh();
  void TakeFast(const Result<std::string>& reply);
  void TakeSlow(const Result<std::string>& reply);
  void SetSensorRunning(int on);
  void MoveLift(bool up);
  // False, after telling the operator, while a transfer owns the port.
  bool PortFree() const;
};

}  // namespace molvane
