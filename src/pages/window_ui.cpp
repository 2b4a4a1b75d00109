#include "pages/window_ui.h"

#include <chrono>
#include <thread>

namespace molvane {

UiServices::Answer WindowUi::MessageBox(const std::string& text, Buttons buttons,
                                        const std::string& caption) {
  const Answer cautious = buttons == Buttons::YesNo      ? Answer::No
                          : buttons == Buttons::OkCancel ? Answer::Cancel
                                                         : Answer::Ok;
  return Call<Answer>([&window = window, text, buttons,
                       caption] { return window.MessageBox(text, buttons, caption); },
                      cautious);
}

std::string WindowUi::FileDialog(const FileDialogRequest& request) {
  return Call<std::string>([&window = window, request] { return window.FileDialog(request); }, {});
}

std::string WindowUi::ClipboardText() {
  return Call<std::string>([&window = window] { return window.ClipboardText(); }, {});
}

void WindowUi::SetClipboardText(const std::string& text) {
  Send([&window = window, text] { window.SetClipboardText(text); });
}

void WindowUi::BeginWaitCursor() {
  Send([&window = window] { window.BeginWaitCursor(); });
}

void WindowUi::EndWaitCursor() {
  Send([&window = window] { window.EndWaitCursor(); });
}

void WindowUi::Beep() {
  Send([&window = window] { window.Beep(); });
}

std::optional<std::string> WindowUi::AskForPin() {
  return Call<std::optional<std::string>>([&window = window] { return window.AskForPin(); },
                                          std::nullopt);
}

void WindowUi::Sleep(int ms) {
  if (!thread.OnThread()) return window.Sleep(ms);
  if (ms > 0) std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

bool WindowUi::ConfirmChanges(const std::string& title, const std::string& text,
                              const std::vector<std::string>& changes, const std::string& note) {
  return Call<bool>([&window = window, title, text, changes,
                     note] { return window.ConfirmChanges(title, text, changes, note); },
                    false);
}

void WindowUi::Send(std::function<void()> call) {
  if (thread.OnThread() && dispatch) {
    dispatch(std::move(call));
  } else {
    call();
  }
}

void WindowFields::ReadAllFields() {
  OnWindowAndWait(thread, dispatch, [&view = view] { view.ReadAllFields(); });
}

void WindowFields::WriteAllFields() {
  OnWindowAndWait(thread, dispatch, [&view = view] { view.WriteAllFields(); });
}

}  // namespace molvane
