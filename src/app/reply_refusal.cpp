#include "app/reply_refusal.h"

#include "app/link_texts.h"

namespace molvane {

std::string RefusalText(std::string_view reply) {
  if (reply.find("unknown cmd") != std::string_view::npos) return texts::kUnknownCommand;
  if (reply.find("error") != std::string_view::npos) return texts::kErrorUnknown;
  return {};
}

}  // namespace molvane
