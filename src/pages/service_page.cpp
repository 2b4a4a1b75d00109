#include "pages/service_page.h"

#include "app/cart_controller.h"
#include "app/operation_scope.h"
#include "pages/ui_services.h"
#include "loader/bootloader_header.h"
#include "loader/loader_texts.h"

namespace molvane {
namespace {

constexpr const char* kSelectFile = "Please select a file.";
constexpr const char* kFirmwareQuestion = "Are you sure you would like to update the firmware?";
constexpr const char* kFirmwareCaption = "Firmware Update";
constexpr const char* kStartRefused =
    "Error returned. Please make sure the port is not in use and the file exists.";
constexpr const char* kBitmapsQuestion = "Are you sure you want to load bitmaps?";
constexpr const char* kTitleQuestion = "Are you sure you want to update the title?";
constexpr const char* kUpdateComplete = "Update Complete.";
constexpr const char* kNotProgramming = "Not Programming.";
constexpr const char* kGasGaugeDone = "Gas Gauge Reset Complete.";
constexpr const char* kGasGaugeNotConfirmed =
    "The cart did not confirm the gas gauge reset. Please try again.";

// Anything shorter cannot be a file the operator chose.
constexpr std::size_t kShortestPath = 3;

// Boards as the bootloader update addresses them.
constexpr int kFrontBoard = 0;
constexpr int kMainBoard = 1;
constexpr int kChargerBoard = 2;
constexpr int kTranslationBoard = 3;

// Bitmap upload modes: the display's bitmaps, or the factory title alone.
constexpr int kBitmapsMode = 1;
constexpr int kFactoryTitleMode = 2;

// Auxiliary board kinds from the cart's version reply.
constexpr int kTranslationAux = 0;
constexpr int kChargerAux = 1;

struct FileRow {
  ServicePage::FileKind kind;
  std::string ServicePage::*field;
  const char* titlePart;
  const char* initialName;
  std::string (CartController::*load)() const;
  bool (CartController::*store)(const std::string&);
};

constexpr FileRow kFileRows[] = {
    {ServicePage::FileKind::MainFirmware, &ServicePage::mainFirmwareFile, "Controller", "con*.hex",
     &CartController::MainFirmwarePath, &CartController::SetMainFirmwarePath},
    {ServicePage::FileKind::FrontFirmware, &ServicePage::frontFirmwareFile, "Display", "dis*.hex",
     &CartController::FrontFirmwarePath, &CartController::SetFrontFirmwarePath},
    {ServicePage::FileKind::ChargerFirmware, &ServicePage::chargerFirmwareFile, "Charger",
     "cha*.hex", &CartController::ChargerFirmwarePath, &CartController::SetChargerFirmwarePath},
    {ServicePage::FileKind::TranslationFirmware, &ServicePage::translationFirmwareFile,
     "Translation", "tra*.hex", &CartController::TranslationFirmwarePath,
     &CartController::SetTranslationFirmwarePath},
    {ServicePage::FileKind::Bitmap, &ServicePage::bitmapFile, "Bitmap Files", "*.*",
     &CartController::BitmapPath, &CartController::SetBitmapPath},
    {ServicePage::FileKind::FactoryTitle, &ServicePage::factoryTitleFile, "Bitmap Files", "*.*",
     &CartController::FactoryTitlePath, &CartController::SetFactoryTitlePath},
};

const FileRow& RowFor(ServicePage::FileKind kind) {
  for (const FileRow& row : kFileRows) {
    if (row.kind == kind) return row;
  }
  return kFileRows[0];
}

// Every row offers its own pattern first and the firmware files after it.
FileDialogRequest BrowseRequest(const FileRow& row) {
  FileDialogRequest request;
  request.kind = FileDialogRequest::Kind::Open;
  request.title = row.titlePart;
  request.types = {{row.titlePart, row.initialName}, {"Firmware Files (*.hex)", "*.hex"}};
  request.initialName = row.initialName;
  request.defaultExtension = row.titlePart;
  request.askBeforeOverwrite = true;
  return request;
}

}  // namespace

void ServicePage::Start() {
  shown = false;
  wanted = false;
}

void ServicePage::CartNotice(bool present) {
  (void)present;
  if (!shown || buttonsLocked) return;
  ApplyEnablingRule();
  WriteAllFields();
}

// The scanner keeps off the port while the page is on screen. A transfer holds the page where
// it is; the tab change it missed is made as soon as the transfer has ended.
void ServicePage::Show(bool visible) {
  wanted = visible;
  if (controller.IsBusy()) return;
  ApplyVisibility(visible);
}

void ServicePage::ApplyVisibility(bool visible) {
  PageModel::Show(visible);
  controller.SetScanEnabled(!visible);
  if (!visible) return;
  LoadFiles();
  if (!buttonsLocked) ApplyEnablingRule();
  WriteAllFields();
}

// The transfer's end is taken in before a tab change it held back is made, so its outcome and
// the unlocked buttons are there whichever way the page went.
void ServicePage::Tick() {
  if (shown) FollowTransfer();
  if (wanted != shown && !controller.IsBusy()) ApplyVisibility(wanted);
  if (shown) WriteAllFields();
}

void ServicePage::FollowTransfer() {
  if (controller.IsBusy()) {
    SetStatus(controller.GetMessage());
    if (!buttonsLocked) {
      SetActionButtons(false);
      buttonsLocked = true;
    }
    return;
  }
  SetStatus(kNotProgramming);
  if (buttonsLocked) {
    SetActionButtons(true);
    ApplyEnablingRule();
    buttonsLocked = false;
    lastResult = controller.MessageText();
  }
}

void ServicePage::SetStatus(const std::string& text) {
  status = text;
  progress = WritingPercent(text);
}

void ServicePage::LoadFiles() {
  for (const FileRow& row : kFileRows) this->*row.field = (controller.*row.load)();
}

void ServicePage::ApplyEnablingRule() {
  const int kind = controller.AuxBoardKind();
  updateChargerEnabled = kind != kTranslationAux;
  updateTranslationEnabled = kind != kChargerAux;
  resetGasGaugeEnabled = kind == kChargerAux;
}

void ServicePage::SetActionButtons(bool enabled) {
  for (bool* button :
       {&updateMainEnabled, &updateFrontEnabled, &updateChargerEnabled, &updateTranslationEnabled,
        &updateBitmapsEnabled, &factoryTitleEnabled, &setRtcEnabled, &resetGasGaugeEnabled}) {
    *button = enabled;
  }
}

// The field is stored whether or not a file was picked, as the configuration file has always
// been written on every Browse.
void ServicePage::Browse(FileKind kind) {
  const FileRow& row = RowFor(kind);
  ReadAllFields();
  const std::string chosen = Ui().FileDialog(BrowseRequest(row));
  if (!chosen.empty()) this->*row.field = chosen;
  WriteAllFields();
  // Through a local reference: g++ 12's vptr check misreads a member reference as the object of
  // a member-function-pointer call and reports a false type mismatch.
  CartController& target = controller;
  // A path that cannot be kept in the settings file is still used until the program ends; the
  // operator hears why it will be gone next time.
  if (!(target.*row.store)(this->*row.field)) ShowMessage(controller.MessageText());
}

void ServicePage::UpdateMain() { UpdateFirmware(mainFirmwareFile, kMainBoard); }
void ServicePage::UpdateFront() { UpdateFirmware(frontFirmwareFile, kFrontBoard); }
void ServicePage::UpdateCharger() { UpdateFirmware(chargerFirmwareFile, kChargerBoard); }
void ServicePage::UpdateTranslation() {
  UpdateFirmware(translationFirmwareFile, kTranslationBoard);
}

void ServicePage::UpdateFirmware(const std::string& path, int boardSelector) {
  if (path.size() < kShortestPath) {
    ShowMessage(kSelectFile);
    return;
  }
  if (Ui().MessageBox(kFirmwareQuestion, UiServices::Buttons::OkCancel, kFirmwareCaption) ==
      UiServices::Answer::Ok) {
    controller.BoardSelector = boardSelector;
    AfterStart(controller.StartFirmwareUpdate(path));
  }
  WriteAllFields();
}

void ServicePage::UpdateBitmaps() {
  ReadAllFields();
  UploadBitmap(bitmapFile, kBitmapsMode, kBitmapsQuestion);
  WriteAllFields();
}

void ServicePage::FactoryTitle() {
  UploadBitmap(factoryTitleFile, kFactoryTitleMode, kTitleQuestion);
  WriteAllFields();
}

void ServicePage::UploadBitmap(const std::string& path, int mode, const char* question) {
  if (path.size() < kShortestPath) {
    ShowMessage(kSelectFile);
    return;
  }
  if (Ui().MessageBox(question, UiServices::Buttons::OkCancel) != UiServices::Answer::Ok) return;
  controller.BitmapUploadMode = mode;
  AfterStart(controller.StartBitmapUpload(path, 0, 0));
}

// A started transfer locks the buttons at once rather than at the next tick, so no second
// operation can be pressed in between. A refused start is said, never passed over.
void ServicePage::AfterStart(int result) {
  if (result != 0) {
    ShowMessage(kStartRefused);
    return;
  }
  FollowTransfer();
}

void ServicePage::SetRtc() {
  if (controller.IsBusy()) return ShowMessage(texts::kTransferRunning);
  OperationScope operation(controller);
  {
    WaitCursor cursor(Ui());
    controller.SetRealTimeClock();
  }
  ShowMessage(operation.Outcome(kUpdateComplete));
}

// Success shows in the status field until the next tick; no confirmation is a failure the
// operator is told about, never "Update Complete.".
void ServicePage::ResetGasGauge() {
  if (controller.IsBusy()) return ShowMessage(texts::kTransferRunning);
  OperationScope operation(controller);
  bool confirmed = false;
  {
    WaitCursor cursor(Ui());
    confirmed = controller.ResetGasGauge();
  }
  if (confirmed) {
    SetStatus(kGasGaugeDone);
    WriteAllFields();
    return;
  }
  ShowMessage(operation.Succeeded() ? std::string(kGasGaugeNotConfirmed) : operation.Failure());
}

}  // namespace molvane
