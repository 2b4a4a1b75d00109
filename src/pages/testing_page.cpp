#include "pages/testing_page.h"

#include "app/cart_controller.h"
#include "app/settings_folder.h"
#include "cart/cart_identity.h"
#include "cart/command_vocabulary.h"
#include "cart/status_flags.h"
#include "pages/ui_services.h"
#include "title/customer_title.h"

namespace molvane {

void TestingPage::Start() {
  shown = false;
  surface.reset();
}

void TestingPage::Show(bool visible) {
  PageModel::Show(visible);
  if (visible && reloadPending) {
    Reload();
    MakeSurface();
  }
}

void TestingPage::CartNotice(bool present) {
  if (present) reloadPending = true;
  if (IsShown() && reloadPending) Reload();
}

bool TestingPage::TransferRunning() const { return controller.IsBusy(); }

bool TestingPage::ReadStatus() {
  if (TransferRunning()) {
    ShowJobProgress();
    return false;
  }
  reloadPending = false;
  ReadAllFields();
  statusText = controller.GetStatus();
  DecodeStatus();
  return true;
}

void TestingPage::Reload() {
  // A reload asked for during a transfer waits: the pending mark stays for the next showing.
  if (!ReadStatus()) return;
  KeepIfRead(cartName, GetCartName(controller));
  KeepIfRead(cycleCountText, GetCycleCount(controller));
  ShowControllerStatus();
}

void TestingPage::Poll() {
  if (!ReadStatus()) return;
  if (++polls >= kCycleCountPolls) {
    polls = 0;
    KeepIfRead(cycleCountText, GetCycleCount(controller));
  }
  saveEnabled = true;
  ShowControllerStatus();
}

void TestingPage::DecodeStatus() {
  const StatusFlags flags = DecodeStatusFlags(statusText);
  drawerUnlocked = flags.drawerUnlocked;
  keyboardLampOn = flags.keyboardLampOn;
  lifting = flags.lifting;
}

void TestingPage::ShowJobProgress() {
  ReadAllFields();
  ShowControllerStatus();
}

void TestingPage::ShowControllerStatus() {
  controllerStatus = controller.GetMessage();
  WriteAllFields();
}

// The buttons send nothing while a transfer has the link: a command in the middle of a bitmap
// upload would be taken by the display as part of the picture. The next poll shows the effect.
void TestingPage::Lock() {
  if (!TransferRunning()) molvane::Lock(controller);
}

void TestingPage::Unlock() {
  if (!TransferRunning()) molvane::Unlock(controller);
}

void TestingPage::Toggle() {
  if (!TransferRunning()) ToggleKeyboardLight(controller);
}

void TestingPage::Clear() {
  if (TransferRunning()) return;
  ResetCycleCount(controller);
  ReadAllFields();
  KeepIfRead(cycleCountText, GetCycleCount(controller));
  WriteAllFields();
}

void TestingPage::MakeSurface() { surface = std::make_unique<TitleSurface>(); }

TitleSurface& TestingPage::DrawTitle() {
  if (!surface) MakeSurface();
  if (titleRenderer != nullptr) {
    DrawCustomerTitle(*surface, *titleRenderer, cartName);
  } else {
    surface->Fill(kWhite);
  }
  return *surface;
}

void TestingPage::Save() {
  saveEnabled = false;
  ReadAllFields();
  // A transfer already has the link; the next poll that finds it free offers Save again.
  if (TransferRunning()) {
    WriteAllFields();
    return;
  }
  if (Outcome named = SetCartName(controller, cartName); !named) {
    ShowMessage(named.text);
    saveEnabled = true;
    WriteAllFields();
    return;
  }
  const std::string path = CustomerTitlePath(SettingsFolder(controller.GetProgramFolder()));
  // The file holds the name being saved, not whatever the preview last painted.
  const TitleSurface& title = DrawTitle();
  if (!WriteTitleFile(path, title)) {
    ShowMessage(kSaveFailed);
    saveEnabled = true;
    WriteAllFields();
    return;
  }
  if (Outcome started = StartTitleUpload(controller, path); !started) {
    ShowMessage(started.text);
    saveEnabled = true;
    WriteAllFields();
    return;
  }
  WriteAllFields();
  Ui().Sleep(kSaveWaitMs);
}

}  // namespace molvane
