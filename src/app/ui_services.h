#pragma once
#include <string>

namespace molvane {

// What the core and the page models need from the window system. The Qt program implements it
// with message boxes and dialogs, molvanectl with its terminal, tests with a recorder.
class UiServices {
 public:
  enum class Buttons { Ok, OkCancel, YesNo };
  enum class Answer { Ok, Cancel, Yes, No };

  virtual ~UiServices() = default;
  virtual Answer MessageBox(const std::string& text, const std::string& caption,
                            Buttons buttons = Buttons::Ok) = 0;
  // Empty text when the operator cancels.
  virtual std::string OpenFileName(const std::string& filter) { (void)filter; return {}; }
  virtual std::string SaveFileName(const std::string& filter) { (void)filter; return {}; }
  virtual std::string ClipboardText() { return {}; }
  virtual void SetClipboardText(const std::string& text) { (void)text; }
  virtual void BeginWaitCursor() {}
  virtual void EndWaitCursor() {}
  virtual void Beep() {}
};

// Shows the wait cursor for the life of a scope.
class WaitCursor {
 public:
  explicit WaitCursor(UiServices* ui) : ui_(ui) { if (ui_) ui_->BeginWaitCursor(); }
  ~WaitCursor() { if (ui_) ui_->EndWaitCursor(); }
  WaitCursor(const WaitCursor&) = delete;
  WaitCursor& operator=(const WaitCursor&) = delete;

 private:
  UiServices* ui_;
};

}  // namespace molvane
