#include "cli/terminal_ui.h"

#include <cstdio>

namespace molvanectl {

molvane::UiServices::Answer TerminalUi::MessageBox(const std::string& text, Buttons buttons,
                                                   const std::string& caption) {
  ++shown;
  if (caption.empty() || caption == kAppName) {
    std::fprintf(stderr, "%s\n", text.c_str());
  } else {
    std::fprintf(stderr, "%s: %s\n", caption.c_str(), text.c_str());
  }
  switch (buttons) {
    case Buttons::OkCancel: return Answer::Ok;
    case Buttons::YesNo: return Answer::Yes;
    default: return Answer::Ok;
  }
}

}  // namespace molvanectl
