#include "pages/service_page.h"

#include <filesystem>

#include "app/cart_controller.h"
#include "base/file_content.h"
#include "cart/board.h"
#include "cart/service_commands.h"
#include "cart/setup_values.h"
#include "cart/version_info.h"
#include "loader/bitmap_upload.h"
#include "loader/firmware_update.h"
#include "loader/loader_texts.h"
#include "pages/failure_text.h"
#include "pages/fleet_recorder.h"
#include "pages/ui_services.h"

namespace molvane {
namespace {

constexpr const char* kFirmwareQuestion = "Are you sure you would like to update the firmware?";
constexpr const char* kFirmwareCaption = "Firmware Update";
constexpr const char* kBitmapsQuestion = "Are you sure you want to load bitmaps?";
constexpr const char* kTitleQuestion = "Are you sure you want to update the title?";
constexpr const char* kNotProgramming = "Not Programming.";

using PathSetting = CartController::PathSetting;

// A firmware row names its board; the two bitmap rows have none.
struct FileRow {
  std::string ServicePage::*field;
  const char* titlePart;
  const char* initialName;
  PathSetting setting;
};

FileRow BoardRow(std::string ServicePage::*field, const Board& board) {
  return {field, board.label, board.filePattern, board.configKey};
}

const Board& BoardNamed(const char* name) { return *FindBoard(name); }

const FileRow kFileRows[] = {
    BoardRow(&ServicePage::mainFirmwareFile, BoardNamed("main")),
    BoardRow(&ServicePage::frontFirmwareFile, BoardNamed("front")),
    BoardRow(&ServicePage::chargerFirmwareFile, BoardNamed("charger")),
    BoardRow(&ServicePage::translationFirmwareFile, BoardNamed("translation")),
    {&ServicePage::bitmapFile, "Bitmap Files", "*.*", PathSetting::Bitmap},
    {&ServicePage::factoryTitleFile, "Bitmap Files", "*.*", PathSetting::FactoryTitle},
};

const FileRow& RowFor(ServicePage::FileKind kind) {
  for (const FileRow& row : kFileRows) {
    if (row.setting == kind) return row;
  }
  return kFileRows[0];
}

// Every row offers its own pattern first and the firmware files after it, in the folder of the
// file it holds now: the next firmware is usually beside the last.
FileDialogRequest BrowseRequest(const FileRow& row, const std::string& current) {
  FileDialogRequest request;
  request.folder = std::filesystem::path(current).parent_path().string();
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
  SetShown(false);
  wanted = false;
}

// A cart that comes may have another third board than the last: its kind is read again.
void ServicePage::CartNotice(bool present) {
  if (present) boardKindRead = false;
  if (!IsShown() || buttonsLocked) return;
  ApplyEnablingRule();
  WriteAllFields();
}

// A transfer holds the page in sight when it is left; the tab change is made as soon as the
// transfer has ended. Shown during a transfer (one started on the Testing page), the page
// follows it at once. The port scanner goes on while the page is in front: a cart unplugged and
// plugged in again here is found again here.
void ServicePage::Show(bool visible) {
  wanted = visible;
  if (Link().IsBusy() && !visible) return;
  ApplyVisibility(visible);
}

void ServicePage::ApplyVisibility(bool visible) {
  SetShown(visible);
  if (!visible) return;
  LoadFiles();
  FollowTransfer();
  if (!buttonsLocked) ApplyEnablingRule();
  WriteAllFields();
}

// The transfer's end is taken in before a tab change it held back is made, so its outcome and
// the unlocked buttons are there whichever way the page went. A transfer started elsewhere (the
// Testing page's title) is followed too, so that the last result is always the last transfer's.
void ServicePage::Tick() {
  FollowTransfer();
  if (wanted != IsShown() && !Link().IsBusy()) ApplyVisibility(wanted);
  if (IsShown()) WriteAllFields();
}

void ServicePage::FollowTransfer() {
  if (Link().IsBusy()) {
    SetStatus(Link().GetMessage());
    if (!buttonsLocked) {
      SetActionButtons(false);
      buttonsLocked = true;
    }
    return;
  }
  SetStatus(kNotProgramming);
  if (buttonsLocked) {
    buttonsLocked = false;
    SetActionButtons(true);
    const Outcome ended = Link().TransferOutcome();
    lastResult = ended.text;
    if (transfer) RecordTransfer(*std::exchange(transfer, std::nullopt), ended);
    ApplyEnablingRule();
  }
}

void ServicePage::SetStatus(const std::string& text) { status = text; }

void ServicePage::LoadFiles() {
  for (const FileRow& row : kFileRows) this->*row.field = Link().GetPathSetting(row.setting);
}

// The third board is known from the cart's version answer; a cart whose versions no page has
// read yet (one found while another page was in front) is asked now.
void ServicePage::ApplyEnablingRule() {
  if (!boardKindRead && Link().HasCart() && !Link().IsBusy()) {
    OnCart([](CartController& c) { return GetVersion(c); },
           [this](const Outcome& read) {
             boardKindRead = static_cast<bool>(read);
             if (buttonsLocked) return;
             EnableForBoards();
             WriteAllFields();
           });
    return;
  }
  EnableForBoards();
}

void ServicePage::EnableForBoards() {
  const std::uint8_t kind = Link().AuxBoardKind();
  updateChargerEnabled = BoardPresent(BoardNamed("charger"), kind);
  updateTranslationEnabled = BoardPresent(BoardNamed("translation"), kind);
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
  const std::string chosen = Ui().FileDialog(BrowseRequest(row, this->*row.field));
  if (!chosen.empty()) this->*row.field = chosen;
  WriteAllFields();
  // A path that cannot be kept in the settings file is still used until the program ends; the
  // operator hears why it will be gone next time.
  OnCart([setting = row.setting,
          path = this->*row.field](CartController& c) { return c.SetPathSetting(setting, path); },
         [this](const Outcome& kept) {
           if (!kept) ShowFailure({}, kept.text);
         });
}

void ServicePage::UpdateMain() {
  UpdateFirmware(mainFirmwareFile, BoardNamed("main"), "Update Main");
}
void ServicePage::UpdateFront() {
  UpdateFirmware(frontFirmwareFile, BoardNamed("front"), "Update Front");
}
void ServicePage::UpdateCharger() {
  UpdateFirmware(chargerFirmwareFile, BoardNamed("charger"), "Update Charger");
}
void ServicePage::UpdateTranslation() {
  UpdateFirmware(translationFirmwareFile, BoardNamed("translation"), "Update Translation");
}

bool ServicePage::FileChosen(const std::string& path, const std::string& action) const {
  if (IsChosenFile(path)) return true;
  ShowFailure({}, std::string(texts::kSelectFile) + " " + action +
                      " loads the file chosen with the Browse button beside it.");
  return false;
}

namespace {

// A transfer as the fleet record keeps it once it has ended.
CartWork Transfer(CartWork::Kind kind, const std::string& board, const std::string& file) {
  CartWork work;
  work.kind = kind;
  work.board = board;
  work.file = file;
  return work;
}

}  // namespace

void ServicePage::UpdateFirmware(const std::string& path, const Board& board,
                                 const std::string& action) {
  if (!FileChosen(path, action)) return;
  if (Ui().MessageBox(kFirmwareQuestion, UiServices::Buttons::OkCancel, kFirmwareCaption) !=
      UiServices::Answer::Ok) {
    return;
  }
  // The fleet record asks the cart who it is while it still runs its firmware.
  OnCart(
      [path, &board, fleet = Fleet()](CartController& c) {
        fleet->BeforeTransfer(c);
        return StartFirmwareUpdate(c, path, board);
      },
      [this, action, work = Transfer(CartWork::Kind::Firmware, board.name, path)](
          const Outcome& started) { AfterStart(started, action, work); });
}

void ServicePage::UpdateBitmaps() {
  ReadAllFields();
  UploadBitmap(bitmapFile, BitmapUploadMode::Bitmaps, kBitmapsQuestion, "Update Bitmaps");
  WriteAllFields();
}

void ServicePage::FactoryTitle() {
  UploadBitmap(factoryTitleFile, BitmapUploadMode::FactoryTitle, kTitleQuestion, "Factory Title");
  WriteAllFields();
}

void ServicePage::UploadBitmap(const std::string& path, BitmapUploadMode mode, const char* question,
                               const std::string& action) {
  if (!FileChosen(path, action)) return;
  if (Ui().MessageBox(question, UiServices::Buttons::OkCancel) != UiServices::Answer::Ok) return;
  const CartWork::Kind kind = mode == BitmapUploadMode::FactoryTitle ? CartWork::Kind::FactoryTitle
                                                                     : CartWork::Kind::Bitmap;
  OnCart(
      [path, mode, fleet = Fleet()](CartController& c) {
        fleet->BeforeTransfer(c);
        return StartBitmapUpload(c, path, mode);
      },
      [this, action, work = Transfer(kind, {}, path)](const Outcome& started) {
        AfterStart(started, action, work);
      });
}

// A started transfer locks the buttons at once rather than at the next tick, so no second
// operation can be pressed in between. A refused start is said in its own words and kept as
// the last result, never passed over.
void ServicePage::AfterStart(const Outcome& started, const std::string& action, CartWork work) {
  if (!started) {
    lastResult = FailureText(action, started.text);
    WriteAllFields();
    ShowFailure(action, started.text);
    return;
  }
  transfer = std::move(work);
  SetStatus("");
  FollowTransfer();
  WriteAllFields();
}

// Each result also stays in "Last result", where it can still be read once its box is gone.
void ServicePage::SetRtc() {
  if (Link().IsBusy()) return ShowFailure("Set RTC", texts::kTransferRunning);
  OnCart([](CartController& c) { return SetRealTimeClock(c); },
         [this](const Outcome& sent) {
           lastResult = sent ? kUpdateComplete : FailureText("Set RTC", sent.text);
           WriteAllFields();
           ShowOutcome(sent, kUpdateComplete, "Set RTC");
         },
         {.waitCursor = true});
}

// No confirmation is a failure the operator is told about, never "Update Complete.".
void ServicePage::ResetGasGauge() {
  if (Link().IsBusy()) return ShowFailure("Reset Gas Gauge", texts::kTransferRunning);
  OnCart([](CartController& c) { return molvane::ResetGasGauge(c); },
         [this](const Outcome& reset) {
           lastResult = reset ? reset.text : FailureText("Reset Gas Gauge", reset.text);
           WriteAllFields();
           if (!reset) ShowFailure("Reset Gas Gauge", reset.text);
         },
         {.waitCursor = true});
}

}  // namespace molvane
