// Reads a full event log (1024 events) and a full PIN list (128 PINs) from the simulated cart
// over the paced line and compares the time with the wire time of the command and the answer.
#include <functional>
#include <string>
#include <vector>

#include "bench_report.h"
#include "bench_rig.h"
#include "cart/event_log.h"
#include "cart/pin_list.h"
#include "cart_fill.h"

namespace {

constexpr int kRuns = 3;  // the median is reported
constexpr double kTarget = 1.05;
constexpr long kLineEnd = 2;  // the host ends every command with CR LF
constexpr long kPrompt = 1;   // the cart's ">" after the last record

struct DumpCase {
  std::string name;
  std::string command;
  std::function<std::string(cartsim::CartModel&)> answer;  // the records as the cart sends them
  std::function<molvane::Outcome(molvane::CartController&)> dump;
  std::function<int(const molvane::CartController&)> stored;
  int expected = 0;
};

void RunDump(bench::BenchRig& rig, const DumpCase& c) {
  const std::string answer = rig.Sim([&](cartsim::SimCart& s) { return c.answer(s.Cart()); });
  const double floor = bench::WireMs(static_cast<long>(c.command.size()) + kLineEnd +
                                     static_cast<long>(answer.size()) + kPrompt);
  std::vector<double> times;
  for (int run = 0; run < kRuns; ++run) {
    if (!rig.controller.HasCart() && !rig.Connect()) return bench::ReportError(c.name, "no cart");
    molvane::Outcome read;
    times.push_back(bench::TimeMs([&] { read = c.dump(rig.controller); }));
    if (!read) bench::ReportError(c.name, read.text);
    if (int got = c.stored(rig.controller); got != c.expected) {
      bench::ReportError(c.name, "read " + std::to_string(got) + " records, expected " +
                                     std::to_string(c.expected));
    }
  }
  bench::Report({c.name, bench::Median(times), floor, kTarget});
}

}  // namespace

int main() {
  cartsim::SimCart::Options options;
  options.cart.startEmpty = true;
  bench::BenchRig rig(options);
  rig.Sim([](cartsim::SimCart& s) {
    bench::FillLog(s.Cart());
    bench::FillPins(s.Cart());
  });
  if (!rig.Connect()) return 0;
  RunDump(rig,
          {"log dump 1024 events", "log_dump",
           [](cartsim::CartModel& cart) { return cart.Events().DumpLines(); },
           [](molvane::CartController& c) { return molvane::DumpLog(c); },
           [](const molvane::CartController& c) { return c.Events().count; }, bench::kFullLog});
  RunDump(rig,
          {"PIN dump 128 PINs", "pin_list_dump",
           [](cartsim::CartModel& cart) { return cart.Pins().DumpLines(); },
           [](molvane::CartController& c) { return molvane::DumpPinList(c); },
           [](const molvane::CartController& c) { return c.Pins().count; }, bench::kFullPinList});
  return 0;
}
