#include "pages/pin_list_page.h"

#include <algorithm>
#include <cstdio>

#include "app/cart_controller.h"
#include "app/cart_thread.h"
#include "base/clock.h"
#include "base/number_text.h"
#include "cart/pin_list.h"
#include "cart/pin_list_file.h"
#include "cart/rfid_format.h"
#include "cart/rfid_settings.h"
#include "pages/failure_text.h"
#include "pages/fleet_recorder.h"
#include "pages/ui_services.h"

namespace molvane {
namespace {

constexpr const char* kUpdateComplete = "Update Complete!";
constexpr const char* kNotExported =
    "The PIN list could not be read from the cart, so it was not exported. Get the list again "
    "first.";
constexpr const char* kClearQuestion = "Are you sure you wish to clear all of the pin numbers?";
constexpr const char* kSelectPin = "Select the PIN to remove in the list first.";
constexpr const char* kFullListCaption = "Error";
constexpr const char* kFullListAdvice =
    " The cart holds the most PINs it can keep: remove one before adding another.";

// PIN list files are tab-separated text whatever their name, so a spreadsheet opens them too.
FileDialogRequest PinListFileDialog(FileDialogRequest::Kind kind) {
  FileDialogRequest request;
  request.kind = kind;
  request.types = {{"Worksheet Files (*.xls)", "*.xls"},
                   {"Text Files (*.txt)", "*.txt"},
                   {"All Files (*.*)", "*.*"}};
  request.defaultExtension = "Pin List Files";
  // Saving over a file the operator did not mean to replace would lose it.
  request.askBeforeOverwrite = kind == FileDialogRequest::Kind::Save;
  return request;
}

// The clipboard's lines, each without its line ends, blanks and tabs, wherever they stand: a
// PIN copied out of a document with spaces in it arrives whole. Empty lines are left out.
std::vector<std::string> PastedPins(const std::string& text) {
  std::vector<std::string> pins;
  std::size_t start = 0;
  while (start < text.size()) {
    const std::size_t end = std::min(text.find('\n', start), text.size());
    std::string line = text.substr(start, end - start);
    std::erase_if(line, [](char c) { return c == '\r' || c == '\n' || c == ' ' || c == '\t'; });
    if (!line.empty()) pins.push_back(std::move(line));
    start = end + 1;
  }
  return pins;
}

// A badge setting the cart left empty keeps what the field shows ("--" until one is read).
void KeepSetting(std::string& field, Result<std::string> read) {
  if (!read.value.empty()) KeepIfRead(field, std::move(read));
}

}  // namespace

// A PIN dated more than a day ahead of this computer's clock has a negative age; it is shown as
// such rather than as the huge number an unsigned field would make of it.
std::string PinListLine(unsigned pin, int ageDays) {
  char line[40];
  std::snprintf(line, sizeof line, "%010u        %3d", pin, ageDays);
  return line;
}

void PinListPage::Start() { SetShown(false); }

void PinListPage::Show(bool visible) {
  SetShown(visible);
  if (!visible) return;
  if (refreshPending) RefreshAfter(Outcome::Success(), {}, true, true);
  if (!maskFilter.InForce()) {
    maskFilter = RfidMaskFilter();
    WriteAllFields();
  }
}

// A cart found while the page is hidden is read when the operator next opens the page. A cart
// that went, or another in its place, takes its list with it: until the list is read again the
// page shows none, and there is none to export.
void PinListPage::CartNotice(bool present) {
  ForgetCart();
  WriteAllFields();
  if (present) refreshPending = true;
  if (IsShown() && refreshPending) RefreshAfter(Outcome::Success(), {}, true);
}

void PinListPage::ForgetCart() {
  pins = PinList{};
  pinLines.clear();
  selectedLine = -1;
  listRead = false;
  for (std::string* setting : {&rfidBits, &facilityCode, &rfidMask, &maxPinDigits})
    setting->clear();
}

void PinListPage::Refresh() { RefreshAfter(Outcome::Success(), {}); }

struct PinListReading {
  Outcome read;
  PinList pins;
  Result<std::string> bits, mask, facility, maxDigits;
  bool cartThere = true;
  std::string fleetWarning;
};

namespace {

// A list read whole tells the fleet record how many PINs the cart holds and how old they are;
// the warning of a record not kept comes back with the reading, whatever the cart work did.
PinListReading ReadPinList(CartController& c, FleetRecorder& fleet) {
  PinListReading reading;
  reading.read = DumpPinList(c, JobProgress());
  reading.cartThere = c.CurrentPort() >= 0;
  if (reading.read) {
    fleet.PinsRead(c.Pins());
    fleet.Finish(c);
  }
  reading.fleetWarning = fleet.TakeWarning();
  if (!reading.read) return reading;
  reading.pins = c.Pins();
  // A setting the cart did not give in its expected form leaves the field as it was.
  reading.bits = GetRfidBits(c);
  reading.mask = GetRfidMask(c);
  reading.facility = GetRfidFacility(c);
  reading.maxDigits = GetMaxPinDigits(c);
  return reading;
}

}  // namespace

void PinListPage::RefreshAfter(const Outcome& change, const std::string& action,
                               bool quietWithoutCart, bool whileShown) {
  OnCart([fleet = Fleet()](CartController& c) { return ReadPinList(c, *fleet); },
         [this, change, action, quietWithoutCart](const PinListReading& reading) {
           TellFleet(reading.fleetWarning);
           refreshPending = false;
           Take(reading);
           WriteAllFields();
           const bool readFailed = !reading.read && !(quietWithoutCart && !reading.cartThere);
           const bool full = !change && change.text.ends_with(kMaxPinsExceeded);
           TellChange(change, action, "Reading the PIN list",
                      readFailed ? reading.read.text : std::string(), full ? kFullListAdvice : "",
                      full ? kFullListCaption : "");
         },
         {.title = "Reading the PIN list",
          .key = quietWithoutCart ? "Pin List read" : "",
          .waitCursor = true,
          .whileShown = whileShown});
}

void PinListPage::Take(const PinListReading& reading) {
  listRead = static_cast<bool>(reading.read);
  if (!reading.read) return;
  pins = reading.pins;
  pinLines.clear();
  for (int i = 0; i < pins.count; ++i)
    pinLines.push_back(PinListLine(TextToPin(PinText(pins, i)), PinAgeDays(pins, i)));
  // Zero-padded PINs sort as text in numeric order.
  std::sort(pinLines.begin(), pinLines.end());
  selectedLine = -1;
  KeepSetting(rfidBits, reading.bits);
  KeepSetting(rfidMask, reading.mask);
  KeepSetting(facilityCode, reading.facility);
  KeepSetting(maxPinDigits, reading.maxDigits);
}

void PinListPage::ChangeThenRefresh(std::function<Outcome(CartController&)> change,
                                    const std::string& action) {
  OnCart(std::move(change),
         [this, action](const Outcome& changed) { RefreshAfter(changed, action); },
         {.waitCursor = true});
}

// Without a cart there is nothing to add a PIN to: the operator is told so before typing one.
bool PinListPage::CartThere(const std::string& action) const {
  if (Link().HasCart()) return true;
  ShowFailure(action, texts::kNoCart);
  return false;
}

// The dialog takes only digits; a PIN left empty is nothing to send.
void PinListPage::Add() {
  if (!CartThere("Adding a PIN")) return;
  const std::optional<std::string> pin = Ui().AskForPin();
  if (!pin || pin->empty()) return;
  ChangeThenRefresh([pin = *pin](CartController& c) { return AddPin(c, pin, Now()); },
                    "Adding PIN " + *pin);
}

void PinListPage::Remove() {
  ReadAllFields();
  if (!CartThere("Removing a PIN")) return;
  if (selectedLine < 0 || selectedLine >= static_cast<int>(pinLines.size())) {
    ShowMessage(kSelectPin);
    return;
  }
  const std::string line = pinLines[static_cast<std::size_t>(selectedLine)];
  ChangeThenRefresh([line](CartController& c) { return RemovePin(c, line); },
                    "Removing PIN " + std::to_string(TextToPin(line.substr(0, 10))));
}

// The PINs last read from the cart, in the cart's order, one per CR LF line.
void PinListPage::CopyAll() {
  std::string text;
  for (int i = 0; i < pins.count; ++i) text += PinText(pins, i) + "\r\n";
  Ui().SetClipboardText(text);
}

// Each line is checked as Add checks a typed PIN; the first that cannot be added stops the
// paste, and one message says how far it got.
void PinListPage::Paste() {
  ReadAllFields();
  ChangeThenRefresh([pasted = PastedPins(Ui().ClipboardText())](
                        CartController& c) { return AddPins(c, pasted, JobProgress()); },
                    "Pasting the PINs");
}

void PinListPage::Clear() {
  if (Ui().MessageBox(kClearQuestion, UiServices::Buttons::YesNo) != UiServices::Answer::Yes)
    return;
  ReadAllFields();
  // The list read back afterwards shows what a clear cut short left.
  ChangeThenRefresh([](CartController& c) { return RemoveAllPins(c, JobProgress()); },
                    "Clearing the PIN list");
}

void PinListPage::Import() {
  ReadAllFields();
  const std::string path = Ui().FileDialog(PinListFileDialog(FileDialogRequest::Kind::Open));
  if (path.empty()) return;
  // A spreadsheet of PIN and name tells the fleet record's directory whose PINs they are.
  ChangeThenRefresh(
      [path, fleet = Fleet()](CartController& c) {
        Outcome imported = ImportPinList(c, path, JobProgress());
        if (imported) (void)fleet->HoldersFrom(c, path);
        return imported;
      },
      "Importing the PIN list");
}

// The file holds the list as last read whole from the cart; nothing is read anew. A list that
// could not be read is not written as if it were the cart's.
void PinListPage::Export() {
  if (!listRead) {
    ShowFailure({}, kNotExported);
    return;
  }
  const std::string path = Ui().FileDialog(PinListFileDialog(FileDialogRequest::Kind::Save));
  if (path.empty()) return;
  const Outcome written = ExportPinList(pins, path);
  if (!written)
    return ShowFailure({}, FileWriteFailureText("Exporting the PIN list", written.text));
  ShowMessage(kPinListSaved);
}

void PinListPage::UpdateMaxDigits() {
  ReadAllFields();
  OnCart(
      [typed = maxPinDigits](CartController& c) {
        const Outcome sent = SetMaxPinDigits(c, typed);
        return std::pair{sent, GetMaxPinDigits(c)};
      },
      [this](const std::pair<Outcome, Result<std::string>>& result) {
        ShowOutcome(result.first, kUpdateComplete, "Setting the longest PIN");
        KeepSetting(maxPinDigits, result.second);
        WriteAllFields();
      },
      {.waitCursor = true});
}

// Bits and mask describe the same badge: a mask of another length than the bit count is a
// format the cart cannot read badges with, so nothing is sent until they agree (nor while a
// field still shows "--", nothing read). The first setting that does not go through stops the
// others.
void PinListPage::UpdateRfid() {
  ReadAllFields();
  if (Outcome checked = CheckRfidFormat(rfidBits, rfidMask, facilityCode); !checked) {
    ShowFailure({}, checked.text);
    return;
  }
  OnCart(
      [bits = rfidBits, mask = rfidMask, facility = facilityCode](CartController& c) {
        Outcome sent = SetRfidMask(c, mask);
        if (sent) sent = SetRfidBits(c, bits);
        if (sent) sent = SetRfidFacility(c, facility);
        PinListReading reading;
        reading.bits = GetRfidBits(c);
        reading.mask = GetRfidMask(c);
        reading.facility = GetRfidFacility(c);
        reading.maxDigits = GetMaxPinDigits(c);
        return std::pair{sent, reading};
      },
      [this](const std::pair<Outcome, PinListReading>& result) {
        ShowOutcome(result.first, kUpdateComplete, "Setting the RFID format");
        const PinListReading& reading = result.second;
        KeepSetting(rfidBits, reading.bits);
        KeepSetting(rfidMask, reading.mask);
        KeepSetting(facilityCode, reading.facility);
        KeepSetting(maxPinDigits, reading.maxDigits);
        WriteAllFields();
      },
      {.waitCursor = true});
}

}  // namespace molvane
