#include "cart/dump_reader.h"

#include "app/cart_controller.h"

namespace molvane {
namespace {

bool EndsDump(const std::string& line) {
  return line.empty() || line.find('>') != std::string::npos ||
         line.find(texts::kTimeout) != std::string::npos;
}

}  // namespace

void ReadDumpRecords(CartController& controller,
                     const std::function<void(const std::string&)>& onRecord) {
  for (int lines = 0; lines < kMaxDumpLines; ++lines) {
    const std::string line = controller.ReadReply();
    if (EndsDump(line)) return;
    onRecord(line);
  }
}

}  // namespace molvane
