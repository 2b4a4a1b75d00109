#include "pages/pin_list_page.h"

#include <algorithm>
#include <cstdio>

#include "app/cart_controller.h"
#include "base/clock.h"
#include "base/number_text.h"
#include "app/operation_scope.h"
#include "cart/rfid_format.h"

namespace molvane {
namespace {

constexpr const char* kUpdateComplete = "Update Complete!";
constexpr const char* kSaved = "Pin List Saved Successfully.";
constexpr const char* kClearQuestion = "Are you sure you wish to clear all of the pin numbers?";

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

void KeepIfRead(std::string& field, std::string value) {
  if (!value.empty()) field = std::move(value);
}

}  // namespace

// A PIN dated more than a day ahead of this computer's clock has a negative age; it is shown as
// such rather than as the huge number an unsigned field would make of it.
std::string PinListLine(unsigned pin, int ageDays) {
  char line[40];
  std::snprintf(line, sizeof line, "%010u        %3d", pin, ageDays);
  return line;
}

void PinListPage::Start() { shown = false; }

void PinListPage::Show(bool visible) {
  PageModel::Show(visible);
  if (!visible) return;
  if (refreshPending) Refresh();
  if (!maskFilter.InForce()) {
    maskFilter = RfidMaskFilter();
    WriteAllFields();
  }
}

// A cart found while the page is hidden is read when the operator next opens the page. Nothing
// empties the list when the cart goes away: the last list read stays in sight.
void PinListPage::CartNotice(bool present) {
  if (present) refreshPending = true;
  if (IsShown() && refreshPending) Refresh();
}

void PinListPage::Refresh() {
  refreshPending = false;
  ReadAllFields();
  controller.DumpPinList();
  ListPins();
  ReloadSettings();
  WriteAllFields();
}

void PinListPage::ListPins() {
  pinLines.clear();
  for (int i = 0; i < controller.PinCount(); ++i)
    pinLines.push_back(PinListLine(TextToPin(controller.PinText(i)), controller.PinAgeDays(i)));
  // Zero-padded PINs sort as text in numeric order.
  std::sort(pinLines.begin(), pinLines.end());
  selectedLine = -1;
}

// A setting the cart did not give in its expected form leaves the field as it was.
void PinListPage::ReloadSettings() {
  KeepIfRead(rfidBits, controller.GetRfidBits());
  KeepIfRead(rfidMask, controller.GetRfidMask());
  KeepIfRead(facilityCode, controller.GetRfidFacility());
  KeepIfRead(maxPinDigits, controller.GetMaxPinDigits());
}

void PinListPage::Add() {
  const std::optional<std::string> pin = Ui().AskForPin();
  if (!pin) return;
  controller.AddPin(*pin, Now());
  Refresh();
}

void PinListPage::Remove() {
  if (selectedLine < 0 || selectedLine >= static_cast<int>(pinLines.size())) return;
  controller.RemovePin(pinLines[static_cast<std::size_t>(selectedLine)]);
  ReadAllFields();
  Refresh();
}

// The PINs last read from the cart, in the cart's order, one per CR LF line.
void PinListPage::CopyAll() {
  std::string text;
  for (int i = 0; i < controller.PinCount(); ++i) text += controller.PinText(i) + "\r\n";
  Ui().SetClipboardText(text);
}

// Each line is handed to the cart as it stands: the cart refuses what is no PIN.
void PinListPage::Paste() {
  ReadAllFields();
  for (const std::string& pin : PastedPins(Ui().ClipboardText())) controller.AddPin(pin, Now());
  Refresh();
}

void PinListPage::Clear() {
  if (Ui().MessageBox(kClearQuestion, UiServices::Buttons::YesNo) != UiServices::Answer::Yes)
    return;
  ReadAllFields();
  controller.RemoveAllPins();
  Refresh();
}

void PinListPage::Import() {
  ReadAllFields();
  const std::string path = Ui().FileDialog(PinListFileDialog(FileDialogRequest::Kind::Open));
  if (path.empty()) return;
  controller.ImportPinList(path);
  Refresh();
}

// The file holds the list as last read from the cart; nothing is read anew.
void PinListPage::Export() {
  const std::string path = Ui().FileDialog(PinListFileDialog(FileDialogRequest::Kind::Save));
  if (path.empty()) return;
  OperationScope operation(controller);
  if (!controller.ExportPinList(path))
    operation.Fail("Error: the pin list could not be written to " + path);
  ShowMessage(operation.Outcome(kSaved));
}

void PinListPage::UpdateMaxDigits() {
  std::string outcome;
  {
    WaitCursor cursor(Ui());
    ReadAllFields();
    OperationScope operation(controller);
    controller.SetMaxPinDigits(maxPinDigits);
    outcome = operation.Outcome(kUpdateComplete);
  }
  ShowMessage(outcome);
  maxPinDigits = controller.GetMaxPinDigits();
  WriteAllFields();
}

// Bits and mask describe the same badge: a mask of another length than the bit count is a
// format the cart cannot read badges with, so nothing is sent until they agree.
void PinListPage::UpdateRfid() {
  ReadAllFields();
  if (!RfidBitsMatchMask(rfidBits, rfidMask)) {
    ShowMessage(RfidMismatchText(rfidBits, rfidMask));
    return;
  }
  std::string outcome;
  {
    WaitCursor cursor(Ui());
    OperationScope operation(controller);
    controller.SetRfidMask(rfidMask);
    controller.SetRfidBits(rfidBits);
    controller.SetRfidFacility(facilityCode);
    outcome = operation.Outcome(kUpdateComplete);
  }
  ShowMessage(outcome);
  ReloadSettings();
  WriteAllFields();
}

}  // namespace molvane
