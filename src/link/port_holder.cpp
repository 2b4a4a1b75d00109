#include "link/port_holder.h"

namespace molvane {

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
