#include "link/port_holder.h"

namespace molvane {

const std::vector<KnownCulprit>& KnownCulprits() {
  static const std::vector<KnownCulprit> culprits = {
      {"ModemManager", "probes every new serial device for a modem",
       "sudo systemctl stop ModemManager (or disable it: sudo systemctl disable --now "
       "ModemManager)"},
      {"brltty", "claims FTDI adapters as braille displays",
       "sudo systemctl mask brltty-udev.service && sudo systemctl stop brltty-udev.service "
       "(or remove it: sudo apt remove brltty)"},
  };
  return culprits;
}

std::string DescribePortHolders(const std::vector<PortHolder>& holders) {
  std::string text;
  for (const PortHolder& holder : holders) {
    text += text.empty() ? "held by " : ", ";
    text += holder.name + " (pid " + std::to_string(holder.pid) + ")";
    for (const KnownCulprit& culprit : KnownCulprits()) {
      if (holder.name == culprit.name)
        text += std::string(", which ") + culprit.what + ": " + culprit.stop;
    }
  }
  if (!text.empty()) return text;
  text = "the holder is not visible to us;";
  for (const KnownCulprit& culprit : KnownCulprits()) {
    text += std::string(" ") + culprit.name + " " + culprit.what + " (" + culprit.stop + ");";
  }
  text.pop_back();
  return text;
}

}  // namespace molvane
