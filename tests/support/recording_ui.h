#pragma once
#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "pages/ui_services.h"

namespace testing_support {

// The window system as a test sees it: every box, dialog, clipboard use, beep, wait cursor and
// pause is recorded, and the operator's answers come from a script. What the script does not
// say is answered with the box's first button (OK or Yes) and a cancelled dialog.
class RecordingUi : public molvane::UiServices {
 public:
  struct Box {
    std::string text;
    Buttons buttons;
    std::string caption;
    bool error = false;  // shown as an error
  };

  Answer MessageBox(const std::string& text, Buttons buttons = Buttons::Ok,
                    const std::string& caption = {}) override;
  void ShowError(const std::string& text, const std::string& caption = {}) override;
  void ShowNotice(const std::string& text) override { notices.push_back(text); }
  std::string FileDialog(const molvane::FileDialogRequest& request) override;
  std::string ClipboardText() override;
  void SetClipboardText(const std::string& text) override;
  void BeginWaitCursor() override;
  void EndWaitCursor() override;
  void Beep() override { ++beeps; }
  std::optional<std::string> AskForPin() override;
  void Sleep(int ms) override;

  // The texts of every box shown, in order.
  std::vector<std::string> Texts() const;
  // The texts of the error boxes among them.
  std::vector<std::string> Errors() const;

  // What happened.
  std::vector<Box> boxes;
  std::vector<molvane::FileDialogRequest> fileDialogs;
  std::vector<std::string> notices;  // shown without a box
  std::vector<std::string> clipboardWrites;
  std::vector<int> sleeps;
  int clipboardReads = 0;
  int pinDialogs = 0;
  int beeps = 0;
  int cursorDepth = 0;  // 0 again once every wait cursor ended
  int cursorShown = 0;

  // The operator's script.
  std::deque<Answer> answers;                   // for boxes with more than one button
  std::deque<std::string> fileNames;            // chosen files; "" cancels
  std::deque<std::optional<std::string>> pins;  // Add PIN answers; nullopt cancels
  std::optional<std::string> clipboard;         // the clipboard's text, if it holds any
  // Runs while a box is open, as the window system's message loop keeps timers ticking then;
  // not again from a box it opens itself.
  std::function<void(const std::string& text)> whileOpen;

 private:
  int depth = 0;
};

}  // namespace testing_support
