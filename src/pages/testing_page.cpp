#include "pages/testing_page.h"

#include <optional>
#include <utility>

#include "app/cart_controller.h"
#include "app/settings_folder.h"
#include "cart/cart_identity.h"
#include "cart/command_vocabulary.h"
#include "cart/status_flags.h"
#include "pages/failure_text.h"
#include "pages/fleet_recorder.h"
#include "pages/ui_services.h"
#include "title/customer_title.h"

namespace molvane {

// What one reading brought; a value not asked for or not read leaves its field alone.
struct TestingReading {
  Result<std::string> status;
  std::optional<Result<std::string>> name;
  std::optional<Result<std::string>> cycleCount;
};

void TestingPage::Start() {
  SetShown(false);
  surface.reset();
}

void TestingPage::Show(bool visible) {
  SetShown(visible);
  if (visible && reloadPending) {
    Reload();
    MakeSurface();
  }
}

// What the page showed was the cart's before: it goes, so that no flag of a cart that is gone
// (or of another) reads as this one's.
void TestingPage::CartNotice(bool present) {
  statusText.clear();
  drawerUnlocked = keyboardLampOn = lifting = false;
  cycleCountText.clear();
  cartName.clear();
  WriteAllFields();
  if (present) reloadPending = true;
  if (IsShown() && reloadPending) Reload();
}

bool TestingPage::TransferRunning() const { return Link().IsBusy(); }

bool TestingPage::ReadStatus(bool name, bool counter, const std::string& key) {
  if (TransferRunning()) {
    ShowJobProgress();
    return false;
  }
  OnCart(
      [name, counter](CartController& c) {
        TestingReading reading;
        reading.status = c.GetStatus();
        if (name) reading.name = GetCartName(c);
        if (counter) reading.cycleCount = GetCycleCount(c);
        return reading;
      },
      [this](const TestingReading& reading) {
        Take(reading);
        ShowControllerStatus();
      },
      {.key = key});
  return true;
}

// A status that did not come leaves the flags as they were shown.
void TestingPage::Take(const TestingReading& reading) {
  if (reading.status) {
    statusText = reading.status.value;
    const StatusFlags flags = DecodeStatusFlags(statusText);
    drawerUnlocked = flags.drawerUnlocked;
    keyboardLampOn = flags.keyboardLampOn;
    lifting = flags.lifting;
  }
  if (reading.name) KeepIfRead(cartName, *reading.name);
  if (reading.cycleCount) KeepIfRead(cycleCountText, *reading.cycleCount);
}

// A reload asked for during a transfer waits: the pending mark stays for the next showing.
void TestingPage::Reload() {
  if (ReadStatus(true, true, "Testing reload")) reloadPending = false;
}

void TestingPage::Poll() {
  const bool counter = polls + 1 >= kCycleCountPolls;
  if (!ReadStatus(false, counter, "Testing poll")) return;
  polls = counter ? 0 : polls + 1;
  saveEnabled = true;
  if (titleLoading)
    RecordTransfer(*std::exchange(titleLoading, std::nullopt), Link().TransferOutcome());
}

void TestingPage::ShowJobProgress() {
  ReadAllFields();
  ShowControllerStatus();
}

void TestingPage::ShowControllerStatus() {
  controllerStatus = Link().GetMessage();
  WriteAllFields();
}

// The buttons send nothing while a transfer has the link: a command in the middle of a bitmap
// upload would be taken by the display as part of the picture. The next poll shows the effect.
void TestingPage::SendButton(Outcome (*command)(CartController&), const char* action) {
  if (TransferRunning()) return;
  OnCart([command](CartController& c) { return command(c); },
         [this, action](const Outcome& sent) {
           if (!sent) ShowFailure(action, sent.text);
         });
}

void TestingPage::Lock() { SendButton(molvane::Lock, "Locking the keyboard"); }
void TestingPage::Unlock() { SendButton(molvane::Unlock, "Unlocking the keyboard"); }
void TestingPage::Toggle() { SendButton(ToggleKeyboardLight, "Switching the keyboard light"); }

void TestingPage::Clear() {
  if (TransferRunning()) return;
  OnCart(
      [](CartController& c) {
        const Outcome reset = ResetCycleCount(c);
        return std::pair{reset, GetCycleCount(c)};
      },
      [this](const std::pair<Outcome, Result<std::string>>& result) {
        KeepIfRead(cycleCountText, result.second);
        WriteAllFields();
        if (!result.first) ShowFailure("Clearing the lock cycle counter", result.first.text);
      });
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

// The name goes to the cart first; only a name the cart took is drawn, saved and loaded.
void TestingPage::Save() {
  saveEnabled = false;
  ReadAllFields();
  // A transfer already has the link; the next poll that finds it free offers Save again.
  if (TransferRunning()) {
    WriteAllFields();
    return;
  }
  OnCart([name = cartName](CartController& c) { return SetCartName(c, name); },
         [this, name = cartName](const Outcome& named) {
           if (!named) {
             ShowFailure("Setting the cart's name", named.text);
             saveEnabled = true;
             WriteAllFields();
             return;
           }
           const std::string path = CustomerTitlePath(SettingsFolder(Link().GetProgramFolder()));
           // The file holds the name being saved, not whatever the preview last painted or the
           // operator typed since.
           const std::string typedSince = cartName;
           cartName = name;
           const TitleSurface& title = DrawTitle();
           cartName = typedSince;
           if (!WriteTitleFile(path, title)) {
             ShowFailure({}, FileWriteFailureText({}, kSaveFailed) + "\n" + path);
             saveEnabled = true;
             WriteAllFields();
             return;
           }
           UploadTitle(path);
         });
}

// The upload runs on its own thread; the page waits a moment after its start, as the display
// needs, without holding up the window.
void TestingPage::UploadTitle(const std::string& path) {
  // The fleet record asks the cart who it is before the display takes the link.
  OnCart(
      [path, fleet = Fleet()](CartController& c) {
        fleet->BeforeTransfer(c);
        Outcome started = StartTitleUpload(c, path);
        if (started) c.Pause(c.GetTiming().titleSaveWaitMs);
        return started;
      },
      [this, path](const Outcome& started) {
        if (!started) {
          ShowFailure("Loading the title", started.text);
          saveEnabled = true;
        } else {
          titleLoading.emplace();
          titleLoading->kind = CartWork::Kind::Bitmap;
          titleLoading->file = path;
        }
        WriteAllFields();
      });
}

}  // namespace molvane
