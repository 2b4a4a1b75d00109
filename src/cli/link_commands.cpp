// Commands that talk to the link itself: the status probe and raw commands.
#include <cstdio>
#include <string>

#include "cart/status_flags.h"
#include "cli/cli_context.h"
#include "cli/json_output.h"

namespace molvanectl {
namespace {

// A raw command's answer is read up to the prompt; the bound keeps a chattering cart from
// holding the terminal forever.
constexpr int kMaxReplyLines = 4096;

void Status(CliContext& context) {
  std::string status;
  if (!context.Connect() || !Take(context, molvane::ReadCartStatus(context.controller), status))
    return;
  if (!context.json) {
    std::printf("%s\n", Shown(status).c_str());
    return;
  }
  const molvane::StatusFlags flags = molvane::DecodeStatusFlags(status);
  PrintJson({{"status", status},
             {"drawer_unlocked", flags.drawerUnlocked},
             {"keyboard_lamp_on", flags.keyboardLampOn},
             {"lifting", flags.lifting}});
}

void PrintAnswerLine(const std::string& text) {
  if (!text.empty()) std::printf("%s\n", Shown(text).c_str());
}

// The whole answer is printed, a refused one too, so that the operator sees what the cart said;
// a refusal then ends the command as a failure.
void Send(CliContext& context, const std::string& text) {
  if (!context.Connect()) return;
  auto& controller = context.controller;
  molvane::Outcome answered = controller.SendCommand(text);
  for (int i = 0; i < kMaxReplyLines; ++i) {
    const molvane::Result<std::string> line = controller.ReadReply();
    // A time-out gives the port up, and every later read would return nothing at once. What the
    // reader put in place of the silent line is no answer of the cart's; the failure says more
    // when a board answered with its bootloader's 'U's.
    if (controller.CurrentPort() < 0) {
      context.Fail(ErrorLine(answered.Merge(line.outcome).text));
      return;
    }
    answered.Merge(line.outcome);
    const std::size_t prompt = line.value.find('>');
    if (prompt != std::string::npos) {
      PrintAnswerLine(line.value.substr(0, prompt));
      if (!answered) context.Fail(ErrorLine(answered.text));
      return;
    }
    std::printf("%s\n", Shown(line.value).c_str());
  }
  context.Fail("Error: the answer did not end with the prompt within " +
               std::to_string(kMaxReplyLines) + " lines");
}

const Registration registration([](CLI::App& app, CliContext& context) {
  OfferJson(
      context, app.add_subcommand("status", "Probe the cart and print its status line"),
      R"({"status": text, the status line;)"
      R"( "drawer_unlocked", "keyboard_lamp_on", "lifting": true or false, from its status word})")
      ->callback([&context] { Status(context); });
  auto* send =
      app.add_subcommand("send", "Send one raw command and print the answer up to the prompt");
  static std::string commandText;
  send->add_option("text", commandText, "The command line, without line end")->required();
  send->callback([&context] { Send(context, commandText); });
});

}  // namespace
}  // namespace molvanectl
