// What discovery finds, and what answers on each port found.
#include <cstdio>

#include "cli/cli_context.h"
#include "cli/json_output.h"

namespace molvanectl {
namespace {

// What one port answered: a word for scripts and the line an operator reads.
struct PortAnswer {
  std::string port;
  const char* answer;
  std::string line;
};

const char* OpenErrorWord(molvane::OpenError error) {
  switch (error) {
    case molvane::OpenError::Missing:
      return "missing";
    case molvane::OpenError::Busy:
      return "busy";
    case molvane::OpenError::PermissionDenied:
      return "permission_denied";
    default:
      return "cannot_open";
  }
}

const char* AnswerWord(molvane::CartController::ProbeResult result, molvane::OpenError error) {
  switch (result) {
    case molvane::CartController::ProbeResult::Cart:
      return "cart";
    case molvane::CartController::ProbeResult::NoCart:
      return "no_cart";
    case molvane::CartController::ProbeResult::Bootloader:
      return "bootloader";
    case molvane::CartController::ProbeResult::NotOpened:
      break;
  }
  return OpenErrorWord(error);
}

PortAnswer Probe(molvane::CartController& controller, int index) {
  const auto result = controller.ProbePort(index);
  PortAnswer answer{controller.PortName(index), AnswerWord(result, controller.LastOpenError(index)),
                    controller.ProbeResultText(index, result)};
  // The cart stays free for the next program once it has been seen.
  if (result == molvane::CartController::ProbeResult::Cart) controller.ReleasePort(index);
  return answer;
}

void Ports(CliContext& context) {
  auto& controller = context.controller;
  controller.FindFtdiPorts();
  // The message goes on to say what to do.
  if (const std::string message = controller.MessageText();
      message.rfind(molvane::texts::kNoDrivers, 0) == 0) {
    context.Fail(message);
    return;
  }
  const int count = controller.PortCount();
  if (count <= 0) {
    context.Fail(molvane::texts::kNoPorts);
    return;
  }
  // Lines go out as each port is probed; the document once all are.
  nlohmann::ordered_json list = nlohmann::ordered_json::array();
  for (int i = 0; i < count && i < molvane::CartController::kMaxPorts; ++i) {
    const PortAnswer a = Probe(controller, i);
    if (context.json) {
      list.push_back({{"port", a.port}, {"answer", a.answer}, {"message", a.line}});
    } else {
      std::printf("%s\n", a.line.c_str());
    }
  }
  if (context.json) PrintJson({{"ports", list}});
}

const Registration registration([](CLI::App& app, CliContext& context) {
  OfferJson(context,
            app.add_subcommand("ports",
                               "List the FTDI ports (and MOLVANE_PORTS) and what answers on each"),
            R"({"ports": [{"port": name; "message": the line printed without --json;)"
            "\n  "
            R"( "answer": "cart", "no_cart", "bootloader", "missing", "busy", "permission_denied")"
            R"( or "cannot_open"}]})")
      ->callback([&context] { Ports(context); });
});

}  // namespace
}  // namespace molvanectl
