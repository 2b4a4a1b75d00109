#include "pages/fleet_log_model.h"

#include <algorithm>

#include "base/file_content.h"
#include "fleet/archived_event.h"
#include "fleet/fleet_store.h"
#include "pages/ui_services.h"

namespace molvane {
namespace {

// The store filters by dates and holder; the kind is picked here, before the newest are taken,
// so that a page of accesses is not cut short by the power-ups among them.
Result<EventPage> ReadEvents(FleetStore& store, EventQuery query, FleetEventKind kind) {
  const int limit = query.limit;
  query.limit = 0;
  auto page = store.Events(query);
  if (!page) return page;
  std::vector<EventRow>& rows = page.value.events;
  rows.erase(std::remove_if(rows.begin(), rows.end(),
                            [kind](const EventRow& row) { return !IsEventOfKind(row.kind, kind); }),
             rows.end());
  page.value.more = limit > 0 && rows.size() > static_cast<std::size_t>(limit);
  if (page.value.more) rows.erase(rows.begin(), rows.end() - limit);
  return page;
}

}  // namespace

FleetLogModel::FleetLogModel(FleetLocation location, WindowDispatch toWindow, UiServices& ui,
                             std::string serialNumber)
    : reader(std::make_unique<FleetReader>(std::move(location), std::move(toWindow))),
      ui(ui),
      serialNumber(std::move(serialNumber)) {}

Result<EventQuery> FleetLogModel::Query(int limit) const {
  EventQuery query;
  query.cart = serialNumber;
  query.holder = holder;
  query.limit = limit;
  for (const auto& [text, endOfSpan, slot] :
       {std::tuple{&since, false, &query.since}, std::tuple{&until, true, &query.until}}) {
    if (text->empty()) continue;
    *slot = ParseCartClock(*text, endOfSpan);
    if (!*slot) {
      return {query, Outcome::Failure("'" + *text +
                                      "' is no date: give YYYY-MM-DD, YYYY-MM-DD hh:mm or "
                                      "YYYY-MM-DDThh:mm:ss.")};
    }
  }
  return {query, Outcome::Success()};
}

void FleetLogModel::Open() {
  auto query = Query(kShownLimit);
  if (query.outcome) query.outcome = reader->Usable();
  if (!query) {
    lastRead = query.outcome;
    events.clear();
    more = false;
    Tell();
    return;
  }
  reader->Ask([this, query = query.value, kind = kind](FleetStore& store) {
    auto page = ReadEvents(store, query, kind);
    return std::function<void()>([this, page = std::move(page)]() mutable {
      lastRead = page.outcome;
      if (page) cartName = page.value.name;
      events = page ? std::move(page.value.events) : std::vector<EventRow>{};
      more = page.value.more;
      Tell();
    });
  });
  Tell();
}

void FleetLogModel::Export() {
  auto query = Query(0);
  if (query.outcome) query.outcome = reader->Usable();
  if (!query) return ui.ShowError(query.outcome.text);
  FileDialogRequest request;
  request.kind = FileDialogRequest::Kind::Save;
  request.title = "Export Archived Log";
  request.types = {{"CSV Files (*.csv)", "*.csv"}, {"All Files (*.*)", "*.*"}};
  request.initialName = serialNumber + ".csv";
  request.defaultExtension = "csv";
  request.askBeforeOverwrite = true;
  const std::string path = ui.FileDialog(request);
  if (path.empty()) return;
  reader->Ask([this, query = query.value, kind = kind, path](FleetStore& store) {
    const auto page = ReadEvents(store, query, kind);
    Outcome written = page.outcome;
    if (written) {
      const std::string csv =
          FleetEventsCsv(page.value.serialNumber, page.value.name, page.value.events);
      const int count = static_cast<int>(page.value.events.size());
      written =
          ReplaceFileContent(path, csv)
              ? Outcome::Success(
                    std::to_string(count) + " archived event(s) written to " + path + ".", count)
              : Outcome::Failure("The archived log could not be written to " + path + ".");
    }
    return std::function<void()>([this, written] {
      Tell();
      if (written) {
        (void)ui.MessageBox(written.text);
      } else {
        ui.ShowError(written.text);
      }
    });
  });
  Tell();
}

std::string FleetLogModel::Status() const {
  if (Busy()) return "Reading the fleet record at " + reader->Where() + "...";
  if (!lastRead) return lastRead.text;
  std::string text = std::to_string(events.size()) + " archived event(s)";
  if (more) text += ", the newest; older ones match too: narrow the dates, or export them all";
  return text + ".";
}

}  // namespace molvane
