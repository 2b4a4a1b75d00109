#include "pages/fleet_window_model.h"

#include "base/clock.h"
#include "fleet/fleet_store.h"

namespace molvane {

FleetWindowModel::FleetWindowModel(FleetLocation location, WindowDispatch toWindow)
    : reader(std::make_unique<FleetReader>(std::move(location), std::move(toWindow))) {}

void FleetWindowModel::Refresh() {
  if (Outcome usable = reader->Usable(); !usable) {
    lastRead = usable;
    all.clear();
    Apply();
    return;
  }
  reader->Ask([this](FleetStore& store) -> std::function<void()> {
    auto carts = store.Carts();
    const std::int64_t now = Now();
    std::vector<FleetCartRow> rows;
    rows.reserve(carts.value.size());
    for (const CartSummary& cart : carts.value) rows.push_back(MakeFleetCartRow(cart, now));
    // `this` is reached only on the window's thread, and only while the reader (which the
    // model holds) still exists.
    return [this, rows = std::move(rows), outcome = carts.outcome, now]() mutable {
      lastRead = outcome;
      all = outcome ? std::move(rows) : std::vector<FleetCartRow>{};
      readAt = now;
      Apply();
    };
  });
  Tell();
}

void FleetWindowModel::SetFilter(FleetFilter newFilter) {
  filter = std::move(newFilter);
  Apply();
}

void FleetWindowModel::SortBy(FleetColumn column, bool up) {
  sortColumn = column;
  ascending = up;
  Apply();
}

void FleetWindowModel::Apply() {
  shown.clear();
  for (const FleetCartRow& row : all) {
    if (FleetRowMatches(row, filter, readAt)) shown.push_back(row);
  }
  SortFleetRows(shown, sortColumn, ascending);
  Tell();
}

std::string FleetWindowModel::Status() const {
  if (Reading()) return "Reading the fleet record at " + reader->Where() + "...";
  if (!lastRead) return lastRead.text;
  return std::to_string(shown.size()) + " of " + std::to_string(all.size()) +
         (all.size() == 1 ? " cart" : " carts") + " in the fleet record at " + reader->Where();
}

}  // namespace molvane
