// What the fleet store reads from outside: a PIN file's holder names (the site's spreadsheet)
// and a record kept back in the outbox file.
#include <string>
#include <string_view>

#include "fleet/fleet_record_text.h"
#include "fleet/holder_file.h"
#include "fleet/stored_text.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view content(reinterpret_cast<const char*>(data), size);
  for (const molvane::Holder& holder : molvane::HoldersInText(content)) {
    fuzzing::Require(!holder.name.empty(), "a holder without a name");
    fuzzing::Require(molvane::StoredText(holder.name) == holder.name, "a name not kept as UTF-8");
  }
  if (const auto record = molvane::RecordFromText(std::string(content))) {
    const std::string text = molvane::RecordText(*record);
    const auto again = molvane::RecordFromText(text);
    fuzzing::Require(again && molvane::RecordText(*again) == text, "a record that does not keep");
  }
  return 0;
}
