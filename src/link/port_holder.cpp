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

std::string DescribeUnseenHolders(const std::string& devicePath, const PortHolderSearch& search) {
  if (!search.othersHidden) return {};
  std::string text = "a program of another user may have it open unseen (sudo fuser -v " +
                     devicePath + " lists every holder)";
  for (const PortHolder& hidden : search.hiddenCulprits) {
    for (const KnownCulprit& culprit : KnownCulprits()) {
      if (hidden.name != culprit.name) continue;
      text += "; " + hidden.name + " (pid " + std::to_string(hidden.pid) +
              ") runs out of sight and " + culprit.what + ": " + culprit.stop;
    }
  }
  return text;
}

std::vector<PortHolder> FindPortHolders(const std::string& devicePath, const std::string& procRoot,
                                        int ownDescriptor) {
  return SearchPortHolders(devicePath, procRoot, ownDescriptor).holders;
}

}  // namespace molvane
