#include "app/ui_services.h"

#include <chrono>
#include <thread>

namespace molvane {

void UiServices::Sleep(int ms) {
  if (ms > 0) std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

UiServices::Answer SilentUi::MessageBox(const std::string&, Buttons buttons, const std::string&) {
  return buttons == Buttons::YesNo ? Answer::Yes : Answer::Ok;
}

}  // namespace molvane
