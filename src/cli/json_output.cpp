#include "cli/json_output.h"

#include <algorithm>
#include <cstdio>
#include <vector>

#include "cli/cli_context.h"

namespace molvanectl {
namespace {

// "pins list": the command's words after the program's name.
std::string CommandPath(const CLI::App& command) {
  std::string path = command.get_name();
  for (const CLI::App* parent = command.get_parent();
       parent != nullptr && parent->get_parent() != nullptr; parent = parent->get_parent()) {
    path = parent->get_name() + " " + path;
  }
  return path;
}

}  // namespace

void PrintJson(const nlohmann::ordered_json& document) {
  const std::string text =
      document.dump(2, ' ', false, nlohmann::ordered_json::error_handler_t::replace);
  std::fwrite(text.data(), 1, text.size(), stdout);
  std::fputc('\n', stdout);
}

nlohmann::ordered_json NumberFromText(const std::string& text) {
  const nlohmann::ordered_json number = nlohmann::ordered_json::parse(text, nullptr, false);
  return number.is_number() ? number : nlohmann::ordered_json();
}

CLI::App* OfferJson(CliContext& context, CLI::App* command, const std::string& keys) {
  context.jsonCommands.push_back(command);
  command->footer("With --json, one document:\n  " + keys);
  return command;
}

void RefuseJsonUnlessOffered(CliContext& context, const CLI::App& app) {
  if (!context.json) return;
  const CLI::App* chosen = &app;
  while (!chosen->get_subcommands().empty()) chosen = chosen->get_subcommands().front();
  const auto& offered = context.jsonCommands;
  if (std::find(offered.begin(), offered.end(), chosen) != offered.end()) return;
  std::vector<std::string> paths;
  for (const CLI::App* command : offered) paths.push_back(CommandPath(*command));
  std::sort(paths.begin(), paths.end());
  std::string names;
  for (const std::string& path : paths) names += (names.empty() ? "" : ", ") + path;
  context.Fail("Error: '" + CommandPath(*chosen) + "' has no JSON output; leave out --json (" +
               "JSON is offered by: " + names + ")");
  throw CLI::RuntimeError(context.exitCode);
}

}  // namespace molvanectl
