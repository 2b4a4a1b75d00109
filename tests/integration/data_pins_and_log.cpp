// Nothing is lost on the way from the cart to a file and back.
#include <gtest/gtest.h>

#include <set>
#include <sstream>

#include "cart/event_log.h"
#include "cart/pin_list.h"
#include "cart/pin_list_file.h"
#include "support/local_zone.h"
#include "support/sim_fixture.h"

using testing_support::LocalZone;
using testing_support::ReadFile;
using testing_support::SimFixture;

namespace {

using testing_support::EmptyCart;

std::set<std::uint32_t> CartPins(SimFixture& fx) {
  return fx.Cart([](cartsim::CartModel& m) {
    std::set<std::uint32_t> pins;
    for (int i = 0; i < m.Pins().Count(); ++i) pins.insert(m.Pins().At(i)->pin);
    return pins;
  });
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
  }
  return lines;
}

}  // namespace

TEST(DataRoundTrip, FullPinListExportedAndImportedOntoAnEmptyCartIsTheSame) {
  SimFixture source(EmptyCart());
  ASSERT_TRUE(source.Connect());
  source.Cart([](cartsim::CartModel& m) {
    // The extremes of 32 bits, short and long PINs, a full table.
    const std::uint32_t edges[] = {0u, 1u, 4294967295u, 4294967294u, 1000000000u, 42u};
    for (std::uint32_t pin : edges) m.Pins().Add(pin, 86400);
    for (std::uint32_t pin = 7000; m.Pins().Count() < cartsim::CartPins::kCapacity; pin += 13)
      m.Pins().Add(pin, 86400 * 30);
  });
  ASSERT_TRUE(molvane::DumpPinList(source.controller));
  ASSERT_EQ(source.controller.Pins().count, cartsim::CartPins::kCapacity);
  const std::string file = source.dir.File("pins.txt");
  ASSERT_TRUE(molvane::ExportPinList(source.controller.Pins(), file));

  SimFixture target(EmptyCart());
  ASSERT_TRUE(target.Connect());
  ASSERT_TRUE(molvane::ImportPinList(target.controller, file));
  EXPECT_EQ(CartPins(target), CartPins(source));
  EXPECT_TRUE(molvane::DumpPinList(target.controller));
  EXPECT_EQ(target.controller.Pins().count, cartsim::CartPins::kCapacity);
}

TEST(DataRoundTrip, LogExportHoldsEveryEventReadInOrder) {
  LocalZone zone("UTC0");
  SimFixture fx(EmptyCart());
  ASSERT_TRUE(fx.Connect());
  const int events = cartsim::CartEvents::kCapacity + 10;  // the oldest ten make room
  fx.Cart([&](cartsim::CartModel& m) {
    for (int i = 0; i < events; ++i) {
      const int code = i % 97 == 0 ? 165 : i % 101 == 0 ? 2 : 1;
      m.Events().Add({static_cast<std::uint32_t>(100000 + i), code, 86400 * 365 + i * 3607});
    }
  });
  ASSERT_TRUE(molvane::DumpLog(fx.controller));
  ASSERT_EQ(fx.controller.Events().count, cartsim::CartEvents::kCapacity);
  const std::string file = fx.dir.File("log.txt");
  ASSERT_TRUE(molvane::ExportLog(fx.controller.Events(), file));

  const std::vector<std::string> lines = Lines(ReadFile(file));
  ASSERT_EQ(lines.size(), 1u + cartsim::CartEvents::kCapacity);
  EXPECT_EQ(lines[0], "Time\tDate\tAction");
  fx.Cart([&](cartsim::CartModel& m) {
    for (int i = 0; i < m.Events().Count(); ++i) {
      const cartsim::CartEvent event = *m.Events().At(i);
      const cartsim::CartDate d = cartsim::CartDateFromSeconds(event.when);
      char expected[96];
      const std::string action = event.code == 165 ? "powerup"
                                 : event.code == 2 ? "factory reset"
                                                   : "accessed pin: " + std::to_string(event.pin);
      std::snprintf(expected, sizeof expected, "%d:%02d:%02d\t%d/%02d/%d\t%s", d.hour, d.minute,
                    d.second, d.month, d.day, 2000 + d.year, action.c_str());
      ASSERT_EQ(lines[static_cast<std::size_t>(i) + 1], expected) << "event " << i;
    }
  });
}
