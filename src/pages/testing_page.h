#pragma once
#include <memory>
#include <optional>
#include <string>

#include "pages/page_model.h"
#include "title/title_surface.h"

namespace molvane {

class TitleRenderer;
struct TestingReading;

// Keyboard lock and lamp, the cart's status bits, the lock cycle counter and the customer title
// screen. The main window polls the page while it is in front.
class TestingPage : public PageModel {
 public:
  static constexpr const char* kSaveFailed =
      "There was a problem opening the file to save the bitmap to.";
  static constexpr int kCycleCountPolls = 6;  // the counter is read on every sixth poll

  using PageModel::PageModel;

  const char* Title() const override { return "Testing"; }
  void Start() override;
  void Show(bool visible) override;
  void CartNotice(bool present) override;
  bool IsPolled() const override { return true; }
  void Poll() override;

  // What draws the title's text; without one the title stays white.
  void SetTitleRenderer(TitleRenderer* renderer) { titleRenderer = renderer; }

  void Reload();
  void Lock();
  void Unlock();
  void Toggle();
  // A click on one of the three status boxes: they show the cart's state, so it is read again.
  void StatusBoxClicked() { Reload(); }
  void Clear();
  void Save();

  // Fields.
  std::string statusText;
  bool drawerUnlocked = false;
  bool keyboardLampOn = false;
  bool lifting = false;
  std::string cycleCountText;
  std::string cartName;
  std::string controllerStatus;
  // Not a field but shown: off from Save until a poll finds no transfer running.
  bool saveEnabled = true;

  // The title picture; null until it is made (the first showing after a cart was found, or the
  // first time it is painted or saved).
  const TitleSurface* Surface() const { return surface.get(); }

 private:
  // Reads the status flags, and the name and the counter when asked, then shows them. While a
  // transfer has the link it shows the transfer's progress instead and sends nothing; false
  // then.
  bool ReadStatus(bool name, bool counter, const std::string& key);
  void Take(const TestingReading& reading);
  void ShowJobProgress();
  // The controller's message into its field, then every field to the view.
  void ShowControllerStatus();
  // A button's command: nothing while a transfer has the link; a failure is told at once.
  void SendButton(Outcome (*command)(CartController&), const char* action);
  void UploadTitle(const std::string& path);
  void MakeSurface();
  TitleSurface& DrawTitle();
  // The link belongs to a running transfer: the page sends nothing then.
  bool TransferRunning() const;

  bool reloadPending = false;
  int polls = 0;
  // The title load under way, until its end is recorded.
  std::optional<CartWork> titleLoading;
  std::unique_ptr<TitleSurface> surface;
  TitleRenderer* titleRenderer = nullptr;
};

}  // namespace molvane
