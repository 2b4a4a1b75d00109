#include "pages/setup_page.h"

#include "app/cart_controller.h"
#include "app/cart_thread.h"
#include "cart/cart_identity.h"
#include "cart/command_vocabulary.h"
#include "cart/setup_reply.h"
#include "cart/setup_values.h"
#include "cart/version_info.h"
#include "pages/ui_services.h"

namespace molvane {

// What one reading of the page's cart values brought; a value not asked for, or not read, leaves
// its field alone (the tick asks for the name and the power supply only).
struct SetupReading {
  std::optional<std::string> firmwareVersions;
  std::optional<std::string> hardwareVersions;
  std::optional<Result<std::string>> name;
  std::optional<Result<std::string>> serial;
  std::optional<SetupSettings> settings;
  std::optional<Result<std::string>> powerSupply;  // the tick's own reading of it
};

namespace {

void ReadVersions(CartController& c, SetupReading& reading) {
  if (!GetVersion(c)) return;
  const CartVersions& versions = c.Versions();
  std::string firmware;
  for (int n = 1; n <= 4; ++n) firmware += (n > 1 ? "\r\n" : "") + FirmwareVersionText(versions, n);
  reading.firmwareVersions = firmware;
  reading.hardwareVersions =
      HardwareVersionText(versions, 1) + "\r\n" + HardwareVersionText(versions, 2);
}

// A report that did not arrive would read as zeros and solenoid; what was shown stays.
SetupReading ReadShown(CartController& c, bool versions) {
  const Progress progress = JobProgress();
  const int steps = versions ? 4 : 3;
  int done = 0;
  SetupReading reading;
  if (versions) {
    ReadVersions(c, reading);
    progress.Report(++done, steps);
  }
  reading.name = GetCartName(c);
  progress.Report(++done, steps);
  reading.serial = GetSerialNumber(c);
  progress.Report(++done, steps);
  if (const Result<std::string> reply = GetSetupDlgFull(c); reply)
    reading.settings = DecodeSetupReply(reply.value);
  progress.Report(++done, steps);
  return reading;
}

// What Update sends: a value left out was refused before anything went.
struct SetupValues {
  std::optional<int> keyboardSeconds;
  std::optional<int> backlightSeconds;
  std::optional<int> drawerSeconds;
  std::optional<std::pair<int, int>> lockMs;
};

Outcome SendSetup(CartController& c, const SetupValues& values) {
  Outcome sent = Outcome::Success();
  if (values.keyboardSeconds) sent.Merge(SetKeyboardTimeout(c, *values.keyboardSeconds));
  if (values.backlightSeconds) sent.Merge(SetBacklightTimeout(c, *values.backlightSeconds));
  if (values.drawerSeconds) sent.Merge(SetRelockTimeout(c, *values.drawerSeconds));
  if (values.lockMs) sent.Merge(SetLockActivation(c, values.lockMs->first, values.lockMs->second));
  return sent;
}

}  // namespace

// The Setup page is the one in front when the window opens, so it loads at once.
void SetupPage::Start() {
  reloadPending = false;
  SetShown(true);
  ReloadAll();
}

void SetupPage::Show(bool visible) {
  SetShown(visible);
  if (visible) OnShown();
}

// Showing always refreshes name, serial number and settings; the versions only change with a
// reload, which a cart coming or going asks for. While a firmware or bitmap transfer owns the
// port nothing may be sent, so the reading waits for the first tick after it.
void SetupPage::OnShown() {
  if (Link().IsBusy()) {
    reloadPending = true;
    return;
  }
  // A tab passed over on the way to another reads nothing; a reload still due then waits for
  // the next showing.
  Read(reloadPending, true);
}

// A cart that came or went while the page is in front is shown at once, otherwise at the next
// showing. Until then the page shows nothing of the cart before: with none there, or another
// one, its values would pass for the cart's.
void SetupPage::CartNotice(bool present) {
  (void)present;
  ForgetCart();
  WriteAllFields();
  reloadPending = true;
  if (IsShown()) OnShown();
}

void SetupPage::ForgetCart() {
  for (std::string* field :
       {&drawerLockTimeout, &keyboardLightTimeout, &backlightTimeout, &mainLockMs, &sideLockMs,
        &powerSupply, &cartName, &serialNumber, &firmwareVersions, &hardwareVersions}) {
    field->clear();
  }
  motor = false;
  solenoid = false;
}

void SetupPage::Tick() {
  if (!IsShown() || Link().IsBusy()) return;
  if (reloadPending) {
    OnShown();
    return;
  }
  OnCart(
      [](CartController& c) {
        SetupReading reading;
        reading.name = GetCartName(c);
        reading.powerSupply = GetPowerSupplyType(c);
        return reading;
      },
      [this](const SetupReading& reading) {
        Take(reading);
        WriteAllFields();
      },
      {.key = "Setup tick", .whileShown = true});
}

void SetupPage::ReloadAll() { Read(true, false); }

void SetupPage::Read(bool versions, bool whileShown) {
  OnCart([versions](CartController& c) { return ReadShown(c, versions); },
         [this, versions](const SetupReading& reading) {
           if (versions) reloadPending = false;
           Take(reading);
           WriteAllFields();
         },
         {.title = "Reading the cart's settings",
          .key = versions ? "Setup reload" : "Setup read",
          .whileShown = whileShown});
}

void SetupPage::Take(const SetupReading& reading) {
  if (reading.firmwareVersions) firmwareVersions = *reading.firmwareVersions;
  if (reading.hardwareVersions) hardwareVersions = *reading.hardwareVersions;
  if (reading.name && *reading.name) cartName = reading.name->value.substr(0, kShownNameLength);
  if (reading.serial) KeepIfRead(serialNumber, *reading.serial);
  if (reading.settings) {
    const SetupSettings& settings = *reading.settings;
    backlightTimeout = std::to_string(settings.backlightTimeout);
    keyboardLightTimeout = std::to_string(settings.keyboardTimeout);
    drawerLockTimeout = std::to_string(settings.relockTimeout);
    mainLockMs = std::to_string(settings.mainLockMs);
    sideLockMs = std::to_string(settings.sideLockMs);
    SelectLockType(settings.motorLock);
    powerSupply = PowerSupplyText(settings.powerSupplyKind);
  }
  if (reading.powerSupply && *reading.powerSupply)
    powerSupply = PowerSupplyText(PowerSupplyKind(reading.powerSupply->value));
}

void SetupPage::SelectLockType(bool motorLock) {
  motor = motorLock;
  solenoid = !motorLock;
}

std::optional<int> SetupPage::CheckedTimeout(const std::string& text, const SettingRule& rule) {
  long seconds = 0;
  const SettingCheck check = CheckSetting(text, rule.max, seconds);
  if (check == SettingCheck::Ok) return static_cast<int>(seconds);
  ShowFailure({}, SettingMessage(check, rule));
  return std::nullopt;
}

std::optional<std::pair<int, int>> SetupPage::CheckedLockTimes(const std::string& mainText,
                                                               const std::string& sideText) {
  long mainMs = 0, sideMs = 0;
  const SettingCheck check = CheckLockActivation(mainText, sideText, mainMs, sideMs);
  if (check == SettingCheck::Ok)
    return std::pair{static_cast<int>(mainMs), static_cast<int>(sideMs)};
  ShowFailure({}, SettingMessage(check, kLockActivationRule));
  return std::nullopt;
}

// A refused value skips only its own command, and the operator hears of each refused value
// before anything is sent. A link failure is told even when some value was refused, since that
// failure may have cost the values that did pass.
void SetupPage::Update() {
  ReadAllFields();
  // What the operator typed is what goes, whatever the page reads while a refusal is shown.
  const std::string keyboard = keyboardLightTimeout, backlight = backlightTimeout,
                    drawer = drawerLockTimeout, mainMs = mainLockMs, sideMs = sideLockMs;
  SetupValues values;
  values.keyboardSeconds = CheckedTimeout(keyboard, kKeyboardLightRule);
  values.backlightSeconds = CheckedTimeout(backlight, kBacklightRule);
  values.drawerSeconds = CheckedTimeout(drawer, kDrawerLockRule);
  values.lockMs = CheckedLockTimes(mainMs, sideMs);
  const bool allPassed =
      values.keyboardSeconds && values.backlightSeconds && values.drawerSeconds && values.lockMs;
  OnCart(
      [values](CartController& c) {
        const Outcome sent = SendSetup(c, values);
        return std::pair{sent, ReadShown(c, true)};
      },
      [this, allPassed](const std::pair<Outcome, SetupReading>& result) {
        reloadPending = false;
        Take(result.second);
        WriteAllFields();
        if (!result.first) {
          ShowFailure("Sending the timeouts and lock times", result.first.text);
        } else if (allPassed) {
          ShowMessage(kUpdateComplete);
        }
      },
      {.waitCursor = true});
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
  const int code = motor ? kMotorLockCode : kSolenoidLockCode;
  OnCart(
      [code](CartController& c) {
        return std::pair{SetCartType(c, code), ReadShown(c, true)};
      },
      [this](const std::pair<Outcome, SetupReading>& result) {
        reloadPending = false;
        Take(result.second);
        WriteAllFields();
        ShowOutcome(result.first, kCartTypeSet, "Setting the lock type");
      });
}

// The cart keeps fifteen characters of a serial number; a longer one is sent cut, and the
// operator is told so rather than shown a plain confirmation.
void SetupPage::Set() {
  ReadAllFields();
  const std::string typed = serialNumber;
  OnCart(
      [typed](CartController& c) {
        Outcome sent = IsIdentityText(typed)
                           ? SetSerialNumber(c, typed)
                           : Outcome::Failure(IdentityTextRefusal("serial number"));
        if (sent && typed.size() > kMaxIdentityLength) {
          sent.text = std::string(kSerialUpdated) + " The cart keeps only the first " +
                      std::to_string(kMaxIdentityLength) + " characters: \"" +
                      typed.substr(0, kMaxIdentityLength) + "\".";
        }
        return std::pair{sent, GetSerialNumber(c)};
      },
      [this](const std::pair<Outcome, Result<std::string>>& result) {
        KeepIfRead(serialNumber, result.second);
        WriteAllFields();
        ShowOutcome(result.first, kSerialUpdated, "Setting the serial number");
      },
      {.waitCursor = true});
}

}  // namespace molvane
