#pragma once
#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "sim/cart_model.h"

namespace cart_test {

// A host clock the test moves by hand.
struct ManualClock {
  std::shared_ptr<std::int64_t> now = std::make_shared<std::int64_t>(1700000000);
  cartsim::HostClock Source() const {
    return [now = now] { return *now; };
  }
  void Advance(std::int64_t seconds) const { *now += seconds; }
};

inline cartsim::CartModel::Options EmptyCart(const ManualClock& clock) {
  cartsim::CartModel::Options options;
  options.startEmpty = true;
  options.hostNow = clock.Source();
  return options;
}

// The answer's lines without their CR LF. Fails the test when the answer is not lines ending
// "\r\n" followed by exactly one prompt.
inline std::vector<std::string> AnswerLines(const std::string& answer) {
  std::vector<std::string> lines;
  EXPECT_FALSE(answer.empty());
  if (answer.empty()) return lines;
  EXPECT_EQ(answer.back(), '>') << answer;
  const std::string body = answer.substr(0, answer.size() - 1);
  std::size_t at = 0;
  while (at < body.size()) {
    const std::size_t end = body.find("\r\n", at);
    EXPECT_NE(end, std::string::npos) << "unterminated line in " << answer;
    if (end == std::string::npos) break;
    lines.push_back(body.substr(at, end - at));
    at = end + 2;
  }
  for (const std::string& line : lines) {
    EXPECT_EQ(line.find_first_of("\r\n>"), std::string::npos) << line;
  }
  return lines;
}

}  // namespace cart_test
