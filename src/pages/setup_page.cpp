#include "pages/setup_page.h"

#include "app/cart_controller.h"
#include "app/operation_scope.h"
#include "cart/cart_identity.h"
#include "cart/command_vocabulary.h"
#include "cart/setup_reply.h"
#include "cart/setup_values.h"
#include "cart/version_info.h"
#include "pages/ui_services.h"

namespace molvane {

// The Setup page is the one in front when the window opens, so it loads at once.
void SetupPage::Start() {
  reloadPending = false;
  PageModel::Show(true);
  ReloadAll();
  WriteAllFields();
}

void SetupPage::Show(bool visible) {
  PageModel::Show(visible);
  if (visible) OnShown();
}

// Showing always refreshes name, serial number and settings; the versions only change with a
// reload, which a cart coming or going asks for. While a firmware or bitmap transfer owns the
// port nothing may be sent, so the reading waits for the first tick after it.
void SetupPage::OnShown() {
  if (controller.IsBusy()) {
    reloadPending = true;
    return;
  }
  ReadAllFields();
  if (reloadPending) {
    ReloadAll();
  } else {
    ReadCartName();
    KeepIfRead(serialNumber, GetSerialNumber(controller));
    SetupRead();
  }
  WriteAllFields();
}

// A cart that came or went while the page is in front is shown at once, otherwise at the next
// showing.
void SetupPage::CartNotice(bool present) {
  (void)present;
  reloadPending = true;
  if (IsShown()) OnShown();
}

void SetupPage::Tick() {
  if (!IsShown() || controller.IsBusy()) return;
  if (reloadPending) {
    OnShown();
    return;
  }
  ReadAllFields();
  ReadCartName();
  const Result<std::string> supply = GetPowerSupplyType(controller);
  if (supply) powerSupply = PowerSupplyText(PowerSupplyKind(supply.value));
  WriteAllFields();
}

void SetupPage::ReadCartName() {
  const Result<std::string> name = GetCartName(controller);
  if (name) cartName = name.value.substr(0, kShownNameLength);
}

void SetupPage::SelectLockType(bool motorLock) {
  motor = motorLock;
  solenoid = !motorLock;
}

// A report that did not arrive would read as zeros and solenoid; what was shown stays.
void SetupPage::SetupRead() {
  const Result<std::string> reply = GetSetupDlgFull(controller);
  if (!reply) return;
  const SetupSettings settings = DecodeSetupReply(reply.value);
  backlightTimeout = std::to_string(settings.backlightTimeout);
  keyboardLightTimeout = std::to_string(settings.keyboardTimeout);
  drawerLockTimeout = std::to_string(settings.relockTimeout);
  mainLockMs = std::to_string(settings.mainLockMs);
  sideLockMs = std::to_string(settings.sideLockMs);
  SelectLockType(settings.motorLock);
  powerSupply = PowerSupplyText(settings.powerSupplyKind);
}

void SetupPage::ReloadAll() {
  reloadPending = false;
  if (GetVersion(controller)) {
    const CartVersions& versions = controller.Versions();
    firmwareVersions.clear();
    for (int n = 1; n <= 4; ++n)
      firmwareVersions += (n > 1 ? "\r\n" : "") + FirmwareVersionText(versions, n);
    hardwareVersions = HardwareVersionText(versions, 1) + "\r\n" + HardwareVersionText(versions, 2);
  }
  ReadCartName();
  KeepIfRead(serialNumber, GetSerialNumber(controller));
  SetupRead();
}

std::optional<int> SetupPage::CheckedTimeout(const std::string& text, const SettingRule& rule) {
  long seconds = 0;
  const SettingCheck check = CheckSetting(text, rule.max, seconds);
  if (check == SettingCheck::Ok) return static_cast<int>(seconds);
  ShowMessage(SettingMessage(check, rule));
  return std::nullopt;
}

bool SetupPage::SendLockActivation(const std::string& mainText, const std::string& sideText) {
  long mainMs = 0, sideMs = 0;
  const SettingCheck check = CheckLockActivation(mainText, sideText, mainMs, sideMs);
  if (check != SettingCheck::Ok) {
    ShowMessage(SettingMessage(check, kLockActivationRule));
    return false;
  }
  SetLockActivation(controller, static_cast<int>(mainMs), static_cast<int>(sideMs));
  return true;
}

// A refused value skips only its own command. The operator hears of each refused value, and of
// a link failure even when some value was refused, since that failure may have cost the values
// that did pass.
void SetupPage::Update() {
  ReadAllFields();
  WaitCursor cursor(Ui());
  // A cart notice arriving while one of the messages is open reloads the fields; what goes to
  // the cart is what the operator typed.
  const std::string keyboard = keyboardLightTimeout, backlight = backlightTimeout,
                    drawer = drawerLockTimeout, mainMs = mainLockMs, sideMs = sideLockMs;
  bool allSent = false;
  std::string failure;
  {
    OperationScope operation(controller);
    const std::optional<int> keyboardSeconds = CheckedTimeout(keyboard, kKeyboardLightRule);
    if (keyboardSeconds) SetKeyboardTimeout(controller, *keyboardSeconds);
    const std::optional<int> backlightSeconds = CheckedTimeout(backlight, kBacklightRule);
    if (backlightSeconds) SetBacklightTimeout(controller, *backlightSeconds);
    const std::optional<int> drawerSeconds = CheckedTimeout(drawer, kDrawerLockRule);
    if (drawerSeconds) SetRelockTimeout(controller, *drawerSeconds);
    const bool locksSent = SendLockActivation(mainMs, sideMs);
    allSent = keyboardSeconds && backlightSeconds && drawerSeconds && locksSent;
    failure = operation.Failure();
  }
  ReloadAll();
  WriteAllFields();
  if (!failure.empty()) {
    ShowMessage(failure);
  } else if (allSent) {
    ShowMessage(kUpdateComplete);
  }
}

void SetupPage::Motor() {
  ReadAllFields();
  SelectLockType(true);
  WriteAllFields();
}

void SetupPage::Solenoid() {
  ReadAllFields();
  SelectLockType(false);
  WriteAllFields();
}

// The lock type is read from the radio buttons as they stand now, however they were changed
// (a click, the keyboard, a screen reader).
void SetupPage::SetType() {
  ReadAllFields();
  const Outcome sent = SetCartType(controller, motor ? kMotorLockCode : kSolenoidLockCode);
  ReloadAll();
  WriteAllFields();
  ShowOutcome(sent, kCartTypeSet);
}

// The cart keeps fifteen characters of a serial number; a longer one is sent cut, and the
// operator is told so rather than shown a plain confirmation.
void SetupPage::Set() {
  ReadAllFields();
  WaitCursor cursor(Ui());
  const std::string typed = serialNumber;
  Outcome sent = IsIdentityText(typed) ? SetSerialNumber(controller, typed)
                                       : Outcome::Failure(IdentityTextRefusal("serial number"));
  if (sent && typed.size() > kMaxIdentityLength) {
    sent.text = std::string(kSerialUpdated) + " The cart keeps only the first " +
                std::to_string(kMaxIdentityLength) + " characters: \"" +
                typed.substr(0, kMaxIdentityLength) + "\".";
  }
  KeepIfRead(serialNumber, GetSerialNumber(controller));
  WriteAllFields();
  ShowOutcome(sent, kSerialUpdated);
}

}  // namespace molvane
