#pragma once
#include <string>

#include "app/ui_services.h"

namespace molvane {

// What the pages need from the window system, done with Qt's own dialogs. Message boxes and
// file dialogs belong to whichever window is active, so they stay above the main window.
class QtUiServices : public UiServices {
 public:
  static constexpr const char* kAppName = "Molvane";

  Answer MessageBox(const std::string& text, const std::string& caption,
                    Buttons buttons = Buttons::Ok) override;
  std::string OpenFileName(const std::string& filter) override;
  std::string SaveFileName(const std::string& filter) override;
  std::string ClipboardText() override;
  void SetClipboardText(const std::string& text) override;
  void BeginWaitCursor() override;
  void EndWaitCursor() override;
  void Beep() override;
};

}  // namespace molvane
