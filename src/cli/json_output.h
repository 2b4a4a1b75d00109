#pragma once
#include <CLI/CLI.hpp>
#include <nlohmann/json.hpp>
#include <string>

namespace molvanectl {

struct CliContext;

// Prints one JSON document on stdout, indented, with a line end. Texts from the cart that are
// not valid UTF-8 are printed with the replacement character instead of failing.
void PrintJson(const nlohmann::ordered_json& document);

// A number as the text output shows it ("2.5", "30"), as a JSON number, so that the two outputs
// cannot round differently; null when the text holds no number.
nlohmann::ordered_json NumberFromText(const std::string& text);

// Lets `command` print its result as JSON; its help ends with `keys`, the document's shape.
CLI::App* OfferJson(CliContext& context, CLI::App* command, const std::string& keys);

// With --json and a chosen command that does not offer it: fails with one line (the error
// document) and throws CLI::RuntimeError, so that the command never runs and prints lines.
void RefuseJsonUnlessOffered(CliContext& context, const CLI::App& app);

}  // namespace molvanectl
