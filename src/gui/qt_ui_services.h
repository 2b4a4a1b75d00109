#pragma once
#include <QString>
#include <string>

class QMessageBox;

#include "pages/ui_services.h"

namespace molvane {

// What the pages need from the window system, done with Qt's own dialogs. Message boxes and
// file dialogs belong to whichever window is active, so they stay above the main window.
class QtUiServices : public UiServices {
 public:
  Answer MessageBox(const std::string& text, Buttons buttons = Buttons::Ok,
                    const std::string& caption = {}) override;
  void ShowError(const std::string& text, const std::string& caption = {}) override;
  // A box that does not hold up the window and goes when closed.
  void ShowNotice(const std::string& text) override;
  // Opens where the request says, else where the last file was chosen, else in the user's
  // documents: never in the program's own folder, which holds no file of the technician's.
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

 private:
  int Run(QMessageBox& box);

  QString lastFolder;  // of the last file chosen
};

}  // namespace molvane
