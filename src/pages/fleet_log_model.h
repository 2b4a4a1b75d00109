#pragma once
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "pages/fleet_events_csv.h"
#include "pages/fleet_reader.h"

namespace molvane {

class UiServices;

// One cart's archived log without the window: the events between two dates of the cart's clock,
// of one holder and one kind, read off the window's thread and written to a CSV file. The view
// writes the fields, calls Open or Export, and shows Events() and Status() on `changed`.
class FleetLogModel {
 public:
  // The newest this many events are shown; an export takes every one.
  static constexpr int kShownLimit = 5000;

  FleetLogModel(FleetLocation location, WindowDispatch toWindow, UiServices& ui,
                std::string serialNumber);

  // The filter, as typed: dates as "YYYY-MM-DD[ hh:mm[:ss]]" (the until day taken whole), a
  // holder's name in any case; empty fields pick everything.
  std::string since, until, holder;
  FleetEventKind kind = FleetEventKind::All;

  void Open();
  // Asks for a file, then writes every event the filter picks to it and says how it went.
  void Export();

  const std::string& SerialNumber() const { return serialNumber; }
  const std::string& CartName() const { return cartName; }
  const std::vector<EventRow>& Events() const { return events; }
  std::string Status() const;
  bool Busy() const { return reader->Pending() > 0; }

  std::function<void()> changed;

 private:
  // The query the fields describe; Failure when a date is not understood.
  Result<EventQuery> Query(int limit) const;
  void Tell() {
    if (changed) changed();
  }

  std::unique_ptr<FleetReader> reader;
  UiServices& ui;
  std::string serialNumber, cartName;
  std::vector<EventRow> events;
  bool more = false;  // older events matched beyond the shown ones
  Outcome lastRead = Outcome::Success();
};

}  // namespace molvane
