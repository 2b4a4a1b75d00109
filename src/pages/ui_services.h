#pragma once
#include <optional>
#include <string>
#include <vector>

namespace molvane {

// One entry of a file dialog's type list: "Text Files (*.txt)" with the patterns "*.txt"
// (several patterns separated by ';').
struct FileType {
  std::string label;
  std::string patterns;
};

// A file dialog as a page describes it; the window system turns it into its own dialog.
struct FileDialogRequest {
  enum class Kind { Open, Save };
  Kind kind = Kind::Open;
  std::string title;             // empty: the window system's own title
  std::vector<FileType> types;   // the first is selected
  std::string initialName;       // a name or a pattern such as "con*.hex"
  std::string folder;            // where it opens; empty: where the last file was chosen
  std::string defaultExtension;  // added to a typed name without one
  bool askBeforeOverwrite = false;
};

// What the core and the page models need from the window system. The Qt program implements it
// with message boxes and dialogs, molvanectl with its terminal, tests with a recorder.
class UiServices {
 public:
  enum class Buttons { Ok, OkCancel, YesNo };
  enum class Answer { Ok, Cancel, Yes, No };
  static constexpr const char* kAppName = "Molvane";

  virtual ~UiServices() = default;
  // An empty caption shows the application's name. A Yes/No question is asked before something
  // that cannot be undone, so No is its default answer: a reflex Enter keeps things as they are.
  virtual Answer MessageBox(const std::string& text, Buttons buttons = Buttons::Ok,
                            const std::string& caption = {}) = 0;
  // A box with OK that tells of a failure or a refusal, and looks like one.
  virtual void ShowError(const std::string& text, const std::string& caption = {}) {
    MessageBox(text, Buttons::Ok, caption);
  }
  // A note that needs no answer and leaves the window usable (a record that was not kept);
  // without a place of its own it is shown as a box.
  virtual void ShowNotice(const std::string& text) { MessageBox(text); }
  // The chosen file's full path; empty when the operator cancels.
  virtual std::string FileDialog(const FileDialogRequest& request) {
    (void)request;
    return {};
  }
  virtual std::string ClipboardText() { return {}; }
  virtual void SetClipboardText(const std::string& text) { (void)text; }
  virtual void BeginWaitCursor() {}
  virtual void EndWaitCursor() {}
  virtual void Beep() {}
  // The Add PIN dialog: the accepted PIN text, or nothing when it was cancelled.
  virtual std::optional<std::string> AskForPin() { return std::nullopt; }
  // A pause that keeps the window alive meanwhile; tests make it instant.
  virtual void Sleep(int ms);
  // Changes for the operator to accept before anything is sent: `text` above the list of
  // changes, `note` (may be empty) below it. True when accepted. Without a dialog of its own a
  // program shows it all in a box with OK and Cancel.
  virtual bool ConfirmChanges(const std::string& title, const std::string& text,
                              const std::vector<std::string>& changes, const std::string& note);
  // An outcome that may be too long for a message box: `text` first, then `details` in a list
  // that scrolls, and OK. Without a dialog of its own a program shows it all in a box.
  virtual void ShowResult(const std::string& title, const std::string& text,
                          const std::vector<std::string>& details);
};

// Answers every box with its first button and shows nothing: the controller's services until a
// program sets its own.
class SilentUi : public UiServices {
 public:
  Answer MessageBox(const std::string& text, Buttons buttons, const std::string& caption) override;
};

// Shows the wait cursor for the life of a scope.
class WaitCursor {
 public:
  explicit WaitCursor(UiServices& ui) : ui_(ui) { ui_.BeginWaitCursor(); }
  ~WaitCursor() { ui_.EndWaitCursor(); }
  WaitCursor(const WaitCursor&) = delete;
  WaitCursor& operator=(const WaitCursor&) = delete;

 private:
  UiServices& ui_;
};

}  // namespace molvane
