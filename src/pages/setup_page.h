#pragma once
#include <optional>
#include <string>

#include "pages/page_model.h"

namespace molvane {

struct SettingRule;

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

  void ReloadAll();
  void SetupRead();

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
  void ReadCartName();
  void SelectLockType(bool motorLock);
  // The typed timeout when it passes its rule; otherwise the operator is told why.
  std::optional<int> CheckedTimeout(const std::string& text, const SettingRule& rule);
  // Checks both lock times and sends them when they pass; false when a message was shown.
  bool SendLockActivation(const std::string& mainText, const std::string& sideText);
};

}  // namespace molvane
