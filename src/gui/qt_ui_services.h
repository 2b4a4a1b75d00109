#pragma once
#include <string>

#include "pages/ui_services.h"

namespace molvane {

// What the pages need from the window system, done with Qt's own dialogs. Message boxes and
// file dialogs belong to whichever window is active, so they stay above the main window.
class QtUiServices : public UiServices {
 public:
  Answer MessageBox(const std::string& text, Buttons buttons = Buttons::Ok,
                    const std::string& caption = {}) override;
  std::string FileDialog(const FileDialogRequest& request) override;
  std::string ClipboardText() override;
  void SetClipboardText(const std::string& text) override;
  void BeginWaitCursor() override;
  void EndWaitCursor() override;
  void Beep() override;
  std::optional<std::string> AskForPin() override;
  // The window keeps painting and its timers keep running while the time passes.
  void Sleep(int ms) override;
  bool ConfirmChanges(const std::string& title, const std::string& text,
                      const std::vector<std::string>& changes, const std::string& note) override;
  void ShowResult(const std::string& title, const std::string& text,
                  const std::vector<std::string>& details) override;
};

}  // namespace molvane
