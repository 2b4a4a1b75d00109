// File > Fleet... over a store of a site's carts, and one cart's archived log opened from it.
#include <QAction>
#include <QDialog>
#include <QMenu>
#include <QPushButton>
#include <QTableWidget>
#include <cstdio>
#include <filesystem>

#include "base/clock.h"
#include "fleet/fleet_store.h"
#include "gui/molvane_dlg.h"
#include "screenshots/shot.h"
#include "support/scoped_variable.h"

namespace screenshots {
namespace {

constexpr std::int64_t kDay = 86400;

struct Cart {
  const char* serial;
  const char* name;
  std::array<std::string, 4> firmware;
  int seenDaysAgo;
  std::vector<int> pinAgesDays;
  int backupDaysAgo;  // 0: never
};

// A site's carts as a few months of service leave them in the store.
void FillStore(const std::string& file) {
  std::filesystem::remove(file);
  molvane::FleetLocation location;
  location.kind = molvane::FleetLocation::Kind::Embedded;
  location.file = file;
  molvane::FleetStore store(location);
  const std::int64_t now = molvane::Now();
  const Cart carts[] = {
      {"MV-20417", "Ward 7 North", {"6.52", "2.14", "1.08", ""}, 0, {3, 41, 97, 12}, 0},
      {"MV-20418", "Ward 7 South", {"6.52", "2.14", "1.08", ""}, 2, {5, 18}, 2},
      {"MV-19102", "Pharmacy", {"6.40", "2.10", "", "1.02"}, 37, {220, 64, 9}, 37},
      {"MV-19877", "ICU East", {"6.52", "2.14", "1.08", ""}, 6, {}, 6},
      {"MV-18230", "Theatre 2", {"6.31", "2.02", "1.05", ""}, 94, {400, 310, 288, 30, 2}, 0},
      {"MV-20502", "Day Surgery", {"6.52", "2.14", "", "1.02"}, 1, {1}, 1},
  };
  for (const Cart& cart : carts) {
    const std::int64_t seen = now - cart.seenDaysAgo * kDay - 3600;
    (void)store.Record(molvane::CartSeen{
        {cart.serial, cart.name, cart.firmware, {"B", "C"}, "ac"}, "service-pc", seen});
    if (cart.serial != std::string("MV-19877")) {
      std::vector<std::int64_t> times;
      for (const int age : cart.pinAgesDays) times.push_back(now - age * kDay);
      (void)store.Record(molvane::PinListSeen{cart.serial, seen, times});
    }
    if (cart.backupDaysAgo > 0) {
      molvane::CartWork backup;
      backup.serialNumber = cart.serial;
      backup.at = now - cart.backupDaysAgo * kDay;
      backup.file = std::string(cart.serial) + ".txt";
      backup.ok = true;
      (void)store.Record(backup);
    }
  }
  // A month of Ward 7 North's accesses, a power-up and a factory reset among them.
  std::vector<molvane::ArchivedEvent> events;
  const std::uint32_t pins[] = {4711, 2302, 90210, 1357};
  const std::int64_t start = 1714521600;  // 2024-05-01 on the cart's clock
  for (int i = 0; i < 60; ++i) {
    const std::int64_t at = start + i * 11 * 3600 + (i % 7) * 613;
    const int kind = i == 17 ? 165 : i == 41 ? 2 : 1;
    events.push_back({at, kind, kind == 1 ? pins[i % 4] : 0u, 0});
  }
  (void)store.Record(molvane::LogArchived{"MV-20417", now, events});
  (void)store.Record(molvane::HoldersNamed{
      now, {{4711, "Ann Smith"}, {2302, "Bob Jones"}, {90210, "Dr. Lee"}, {1357, "K. Okafor"}}});
}

const AddShot fleet([] {
  Shot shot;
  shot.prepare = [](ShotContext& context) {
    const std::string file =
        (std::filesystem::temp_directory_path() / "molvane-shots-fleet.db").string();
    FillStore(file);
    testing_support::ScopedVariable setting("MOLVANE_FLEET", file);
    QAction* item = nullptr;
    for (QMenu* menu : context.window.findChildren<QMenu*>()) {
      for (QAction* action : menu->actions()) {
        if (action->text() == "&Fleet...") item = action;
      }
    }
    if (item == nullptr)
      return context.require(molvane::Outcome::Failure("no Fleet item"), "fleet");
    item->trigger();
    auto* window = context.window.findChild<QDialog*>("fleetWindow");
    context.wait(800);
    auto* carts = window->findChild<QTableWidget*>("carts");
    for (int row = 0; row < carts->rowCount(); ++row) {
      if (carts->item(row, 0)->text() == "MV-20417") carts->selectRow(row);
    }
    context.wait(200);
    context.save("fleet.png", *window);
    window->findChild<QPushButton*>("openLog")->click();
    context.wait(800);
    auto* log = context.window.findChild<QDialog*>("fleetLogWindow");
    context.save("fleet-log.png", *log);
    log->close();
    window->close();
  };
  shot.settleMs = 0;
  return shot;
}());

}  // namespace
}  // namespace screenshots
