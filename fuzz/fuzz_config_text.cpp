// The settings text: reading and writing an entry in whatever text the file happens to hold.
#include <string>
#include <string_view>

#include "app/config_text.h"
#include "fuzz_support.h"

namespace {

struct Entry {
  const char* section;
  const char* key;
  const char* startTag;  // as the file holds it
};
// The entries the program itself reads and writes.
constexpr Entry kEntries[] = {{"Firmware", "MainFirmwareFile", "<FIRMWARE>"},
                              {"Firmware", "FrontFirmwareFile", "<FIRMWARE>"},
                              {"Bitmaps", "BitmapFile", "<BITMAPS>"},
                              {"Bitmaps", "FactoryTitleFile", "<BITMAPS>"},
                              {"Misc", "Tabs", "<MISC>"},
                              {"Misc", "HelpURL", "<MISC>"}};

bool Plain(std::string_view value) { return value.find_first_of("\"\n") == std::string_view::npos; }

}  // namespace

// The first byte picks the entry, then a value up to the first NUL, then the file's text.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 1) return 0;
  const Entry& entry = kEntries[data[0] % std::size(kEntries)];
  const std::string_view rest(reinterpret_cast<const char*>(data + 1), size - 1);
  const std::size_t cut = rest.find('\0');
  const std::string value(rest.substr(0, cut));
  const std::string text(cut == std::string_view::npos ? std::string_view{} : rest.substr(cut + 1));

  molvane::ConfigText config;
  config.SetText(text);
  (void)config.GetValue(entry.section, entry.key);
  const std::size_t sectionStart = text.find(entry.startTag);
  if (!config.SetValue(entry.section, entry.key, value)) {
    fuzzing::Require(config.Text() == text, "a refused write changed the text");
    return 0;
  }
  // Whatever stood before the section is never touched.
  const std::size_t kept = sectionStart == std::string::npos ? text.size() : sectionStart;
  fuzzing::Require(
      config.Text().size() >= kept && config.Text().compare(0, kept, text, 0, kept) == 0,
      "text before the section changed");
  if (Plain(value) && !config.Text().empty() && config.Text().back() == '\n') {
    fuzzing::Require(config.GetValue(entry.section, entry.key) == value,
                     "the value written is not read back");
  }
  return 0;
}
