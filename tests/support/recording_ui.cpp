#include "support/recording_ui.h"

namespace testing_support {

RecordingUi::Answer RecordingUi::MessageBox(const std::string& text, Buttons buttons,
                                            const std::string& caption) {
  boxes.push_back({text, buttons, caption});
  if (whileOpen && depth == 0) {
    ++depth;
    whileOpen(text);
    --depth;
  }
  if (buttons != Buttons::Ok && !answers.empty()) {
    const Answer answer = answers.front();
    answers.pop_front();
    return answer;
  }
  return buttons == Buttons::YesNo ? Answer::Yes : Answer::Ok;
}

void RecordingUi::ShowError(const std::string& text, const std::string& caption) {
  const std::size_t at = boxes.size();
  MessageBox(text, Buttons::Ok, caption);
  boxes[at].error = true;
}

std::string RecordingUi::FileDialog(const molvane::FileDialogRequest& request) {
  fileDialogs.push_back(request);
  if (fileNames.empty()) return {};
  std::string name = fileNames.front();
  fileNames.pop_front();
  return name;
}

std::string RecordingUi::ClipboardText() {
  ++clipboardReads;
  return clipboard.value_or("");
}

void RecordingUi::SetClipboardText(const std::string& text) {
  clipboardWrites.push_back(text);
  clipboard = text;
}

void RecordingUi::BeginWaitCursor() {
  ++cursorDepth;
  ++cursorShown;
}

void RecordingUi::EndWaitCursor() { --cursorDepth; }

std::optional<std::string> RecordingUi::AskForPin() {
  ++pinDialogs;
  if (pins.empty()) return std::nullopt;
  std::optional<std::string> pin = pins.front();
  pins.pop_front();
  return pin;
}

void RecordingUi::Sleep(int ms) { sleeps.push_back(ms); }

std::vector<std::string> RecordingUi::Texts() const {
  std::vector<std::string> texts;
  for (const Box& box : boxes) texts.push_back(box.text);
  return texts;
}

std::vector<std::string> RecordingUi::Errors() const {
  std::vector<std::string> texts;
  for (const Box& box : boxes) {
    if (box.error) texts.push_back(box.text);
  }
  return texts;
}

}  // namespace testing_support
