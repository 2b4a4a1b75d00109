#include "sim/gas_gauge_model.h"

namespace cartsim {
namespace {

constexpr std::string_view kStillBusy = "resetting\r\n";

}  // namespace

// A second reset while one runs starts the wait again, as the gauge starts over.
std::string GasGaugeModel::StartReset(Clock::time_point now) {
  busy = true;
  doneAt = now + resetTime;
  nextReport = now + kBusyInterval;
  return std::string(kStillBusy);
}

void GasGaugeModel::Tick(Clock::time_point now, const Send& send) {
  if (!busy) return;
  if (now >= doneAt) {
    busy = false;
    send(std::string(kGaugeResetDone) + ">");
    return;
  }
  if (now >= nextReport) {
    nextReport += kBusyInterval;
    send(kStillBusy);
  }
}

}  // namespace cartsim
