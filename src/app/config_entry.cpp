#include "app/config_entry.h"

#include "app/config_text.h"

namespace molvane {

std::string ReadConfigEntry(const std::string& configPath, const std::string& section,
                            const std::string& key) {
  ConfigText config;
  if (!config.Load(configPath)) return {};
  return config.GetValue(section, key);
}

}  // namespace molvane
