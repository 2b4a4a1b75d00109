#pragma once
#include "pages/ui_services.h"

namespace molvanectl {

// Message boxes become lines on the terminal; questions are answered yes, since a script that
// asked for an operation has already decided.
class TerminalUi : public molvane::UiServices {
 public:
  Answer MessageBox(const std::string& text, Buttons buttons, const std::string& caption) override;
  int MessagesShown() const { return shown; }

 private:
  int shown = 0;
};

}  // namespace molvanectl
