#pragma once
#include <optional>
#include <string>

#include "pages/page_model.h"

namespace molvane {

struct SettingRule;
struct SetupReading;

// The cart's timeouts, lock times, lock type, name, serial number, versions and power supply.
// Everything shown is read from the cart; while the page is in front its timer keeps the name
// and the power supply current.
class SetupPage : public PageModel {
 public:
  static constexpr int kTickMs = 2000;
  // The name field shows this many characters of what the cart reports.
  static constexpr std::size_t kShownNameLength = 16;

  using PageModel::PageModel;

  const char* Title() const override { return "Setup"; }
  void Start() override;
  void Show(bool visible) override;
  void CartNotice(bool present) override;
  int TimerPeriodMs() const override { return kTickMs; }
  void Tick() override;

  // The buttons.
  void Update();
  void Motor();
  void Solenoid();
  void SetType();
  void Set();

  // Reads everything the page shows, versions included.
  void ReloadAll();

  // Fields, as the operator types them or the cart reports them.
  std::string drawerLockTimeout;
  std::string keyboardLightTimeout;
  std::string backlightTimeout;
  std::string mainLockMs;
  std::string sideLockMs;
  bool motor = false;
  bool solenoid = false;
  std::string powerSupply;
  std::string cartName;
  std::string serialNumber;
  std::string firmwareVersions;  // four lines
  std::string hardwareVersions;  // two lines

  bool reloadPending = false;

 private:
  void OnShown();
  void ForgetCart();
  // Reads what a showing reads (and the versions too on a reload), then shows it; `whileShown`:
  // only if the page is still in front when the cart comes to it.
  void Read(bool versions, bool whileShown);
  void Take(const SetupReading& reading);
  void SelectLockType(bool motorLock);
  // The typed timeout when it passes its rule; otherwise the operator is told why.
  std::optional<int> CheckedTimeout(const std::string& text, const SettingRule& rule);
  // Both lock times when they pass; otherwise the operator is told why.
  std::optional<std::pair<int, int>> CheckedLockTimes(const std::string& mainText,
                                                      const std::string& sideText);
};

}  // namespace molvane
