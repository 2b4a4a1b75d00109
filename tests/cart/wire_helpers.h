#pragma once
#include <map>
#include <string>
#include <vector>

#include "support/controller_fixture.h"
#include "support/eventually.h"

namespace cart_tests {

using testing_support::ConnectedController;

// A cart that answers each command line from a table and stays silent for anything else.
inline testing_support::ScriptedCart::Responder Answers(std::map<std::string, std::string> table) {
  return [table = std::move(table)](const std::string& line) {
    const auto found = table.find(line);
    return found == table.end() ? std::string() : found->second;
  };
}

// A cart that answers every command line with the same text.
inline testing_support::ScriptedCart::Responder AlwaysAnswer(std::string text) {
  return [text = std::move(text)](const std::string&) { return text; };
}

// The cart records a line a moment after the host wrote it; operations that read no reply
// return before that.
inline std::vector<std::string> LinesAfterSettling(testing_support::ScriptedCart& cart,
                                                   std::size_t expected) {
  testing_support::Eventually([&] { return cart.Lines().size() >= expected; }, 500, 10);
  return cart.Lines();
}

}  // namespace cart_tests
