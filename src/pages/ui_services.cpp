#include "pages/ui_services.h"

#include <chrono>
#include <thread>

namespace molvane {

void UiServices::Sleep(int ms) {
  if (ms > 0) std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

bool UiServices::ConfirmChanges(const std::string& title, const std::string& text,
                                const std::vector<std::string>& changes, const std::string& note) {
  std::string box = text;
  for (const std::string& change : changes) box += "\n" + change;
  if (!note.empty()) box += "\n\n" + note;
  return MessageBox(box, Buttons::OkCancel, title) == Answer::Ok;
}

void UiServices::ShowResult(const std::string& title, const std::string& text,
                            const std::vector<std::string>& details) {
  std::string box = text;
  for (const std::string& line : details) box += "\n" + line;
  static_cast<void>(MessageBox(box, Buttons::Ok, title));
}

UiServices::Answer SilentUi::MessageBox(const std::string&, Buttons buttons, const std::string&) {
  return buttons == Buttons::YesNo ? Answer::Yes : Answer::Ok;
}

}  // namespace molvane
