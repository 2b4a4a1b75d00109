#pragma once
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "pages/fleet_cart_rows.h"
#include "pages/fleet_reader.h"

namespace molvane {

// The fleet window without the window: the carts of the fleet record, filtered and sorted, read
// off the window's thread. The view calls Refresh, sets the filter and the order, and shows
// Shown() and Status() whenever `changed` is called.
class FleetWindowModel {
 public:
  FleetWindowModel(FleetLocation location, WindowDispatch toWindow);

  // Reads the carts anew; the table keeps what it showed until the answer comes.
  void Refresh();
  void SetFilter(FleetFilter filter);
  void SortBy(FleetColumn column, bool ascending);

  // The carts that pass the filter, in the order asked.
  const std::vector<FleetCartRow>& Shown() const { return shown; }
  // "3 of 5 carts", "Reading the fleet record..." or the last read's failure.
  std::string Status() const;
  bool Failed() const { return !lastRead.ok; }
  bool Reading() const { return reader->Pending() > 0; }
  FleetReader& Reader() { return *reader; }

  // Called on the window's thread when Shown() or Status() may have changed.
  std::function<void()> changed;

 private:
  void Apply();
  void Tell() {
    if (changed) changed();
  }

  std::unique_ptr<FleetReader> reader;
  std::vector<FleetCartRow> all, shown;
  std::int64_t readAt = 0;  // the ages were counted then
  FleetFilter filter;
  FleetColumn sortColumn = FleetColumn::SerialNumber;
  bool ascending = true;
  Outcome lastRead = Outcome::Success();
};

}  // namespace molvane
