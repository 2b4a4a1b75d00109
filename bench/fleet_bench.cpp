// The fleet store at a hospital's size, each engine side by side in one run: the fleet list, a
// page of one cart's archived log under each filter, archiving a full log read of which half is
// already stored, and the store's size per archived event.
//   fleet_bench [--carts N] [--events N] [--full] [--server URI]
// --full is 1,000 carts and 10 million events (filling takes a while); the default is a tenth of
// the events. Without --server the PostgreSQL side runs on a server of its own in a temporary
// folder, as the tests start one.
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>

#include "bench_report.h"
#include "fleet/fleet_database.h"
#include "fleet/fleet_store.h"
#include "support/postgres_server.h"
#include "support/temp_dir.h"

namespace {

using bench::Median;
using bench::TimeMs;

constexpr std::int64_t kStart = 1704067200;  // 2024-01-01 on the carts' clocks
constexpr int kPinsPerCart = 200;
constexpr int kHolders = 5000;
constexpr int kLogSize = 1024;
constexpr int kRuns = 7;

struct Size {
  int carts = 1000;
  long long events = 1000000;
};

std::string Serial(int cart) { return "C" + std::to_string(100000 + cart); }

// A cart's n-th event: an access every 7 minutes or so by one of its PINs, now and then a
// power-up, and a few identical accesses in one second.
molvane::ArchivedEvent EventOf(int cart, long long n) {
  molvane::ArchivedEvent event;
  event.cartTime = kStart + n * 421 + cart % 60;
  event.kind = n % 97 == 0 ? 165 : 1;
  event.pin =
      event.kind == 1 ? static_cast<std::uint32_t>(10000 + (cart * 31 + n * 7) % kPinsPerCart) : 0;
  return event;
}

bool Fill(molvane::FleetDatabase& database, const Size& size) {
  molvane::HoldersNamed holders{kStart, {}};
  for (int i = 0; i < kHolders && i < kPinsPerCart; ++i)
    holders.holders.push_back(
        {static_cast<std::uint32_t>(10000 + i), "Holder " + std::to_string(i % 150)});
  if (!database.Apply(holders, "holders")) return false;
  const long long perCart = size.events / size.carts;
  for (int cart = 0; cart < size.carts; ++cart) {
    molvane::CartIdentity identity{
        Serial(cart),
        "Ward " + std::to_string(cart),
        {"Main 3." + std::to_string(cart % 3), "Front 2.1", "Charger 1.0", "Boot 1.0"},
        {"D", "B"},
        "AC Out"};
    if (!database.Apply(molvane::CartSeen{identity, "pc", kStart}, "seen" + std::to_string(cart)))
      return false;
    std::vector<std::int64_t> times(40, kStart);
    if (!database.Apply(molvane::PinListSeen{Serial(cart), kStart, times},
                        "pins" + std::to_string(cart)))
      return false;
    for (long long first = 0; first < perCart; first += 20000) {
      molvane::LogArchived read{Serial(cart), kStart, {}};
      for (long long n = first; n < std::min(perCart, first + 20000); ++n)
        read.events.push_back(EventOf(cart, n));
      if (!database.Apply(read, "log" + std::to_string(cart) + "-" + std::to_string(first)))
        return false;
    }
    if (cart % 100 == 99) std::fprintf(stderr, "  %d carts filled\n", cart + 1);
  }
  return true;
}

void Report(const std::string& engine, const std::string& name, double ms, double target) {
  std::printf("%-9s %-46s %9.2f ms  target %5.0f ms  %s\n", engine.c_str(), name.c_str(), ms,
              target, ms <= target ? "PASS" : "OVER");
}

void Measure(const std::string& engine, const molvane::FleetLocation& location, const Size& size,
             long long storedBytes) {
  molvane::FleetStore store(location);
  std::vector<double> list, plain, dated, holder, archive;
  const long long perCart = size.events / size.carts;
  for (int run = 0; run < kRuns; ++run) {
    list.push_back(TimeMs([&] {
      if (store.Carts().value.size() != static_cast<std::size_t>(size.carts))
        std::printf("%s fleet list: error: wrong count\n", engine.c_str());
    }));
    const std::string cart = Serial((run * 137) % size.carts);
    plain.push_back(TimeMs([&] { (void)store.Events({cart, {}, {}, {}, 1000}); }));
    const std::int64_t middle = kStart + perCart / 2 * 421;
    dated.push_back(TimeMs([&] {
      (void)store.Events({cart, middle - 30 * 86400, middle + 30 * 86400, {}, 1000});
    }));
    holder.push_back(TimeMs([&] {
      auto page = store.Events({cart, middle - 365 * 86400, {}, "Holder 7", 1000});
      if (!page.outcome)
        std::printf("%s holder page: error: %s\n", engine.c_str(), page.outcome.text.c_str());
    }));
    // The cart's newest 512 events read again, and 512 it did since.
    const int target = (run * 311 + 17) % size.carts;
    molvane::LogArchived read{Serial(target), kStart + 1, {}};
    for (long long n = perCart - kLogSize / 2; n < perCart + kLogSize / 2; ++n)
      read.events.push_back(EventOf(target, n + run * kLogSize));
    archive.push_back(TimeMs([&] {
      const molvane::RecordOutcome kept = store.Record(read);
      if (kept.fate != molvane::RecordOutcome::Fate::Stored)
        std::printf("%s archive: error: %s\n", engine.c_str(), kept.warning.c_str());
    }));
  }
  Report(engine, "fleet list (" + std::to_string(size.carts) + " carts)", Median(list), 100);
  Report(engine, "cart log page of 1000, no filter", Median(plain), 100);
  Report(engine, "cart log page of 1000, 60 days", Median(dated), 100);
  Report(engine, "cart log page of 1000, one holder, a year", Median(holder), 100);
  Report(engine, "archive 1024 events, half stored", Median(archive), 50);
  std::printf("%-9s %-46s %9.1f bytes\n", engine.c_str(), "store size per archived event",
              static_cast<double>(storedBytes) / static_cast<double>(size.events));
}

}  // namespace

int main(int argc, char** argv) {
  Size size;
  std::string serverUri;
  for (int i = 1; i < argc; ++i) {
    const std::string option = argv[i];
    if (option == "--full")
      size.events = 10000000;
    else if (option == "--carts" && i + 1 < argc)
      size.carts = std::atoi(argv[++i]);
    else if (option == "--events" && i + 1 < argc)
      size.events = std::atoll(argv[++i]);
    else if (option == "--server" && i + 1 < argc)
      serverUri = argv[++i];
    else {
      std::fprintf(stderr, "usage: fleet_bench [--carts N] [--events N] [--full] [--server URI]\n");
      return 2;
    }
  }
  if (size.carts <= 0 || size.events < size.carts) return 2;
  std::printf("fleet_bench: %d carts, %lld archived events, median of %d\n", size.carts,
              size.events, kRuns);

  testing_support::TempDir dir;
  std::unique_ptr<testing_support::PostgresServer> server;
  if (serverUri.empty()) {
    server = std::make_unique<testing_support::PostgresServer>();
    if (!server->Running()) {
      std::printf("postgres: error: %s\n", server->Failure().c_str());
      return 0;
    }
    serverUri = server->Uri();
  }

  // SQLite: the embedded file.
  molvane::FleetLocation embedded{molvane::FleetLocation::Kind::Embedded, dir.File("fleet.db"), "",
                                  ""};
  {
    auto opened = molvane::FleetDatabase::OpenFile(embedded.file);
    std::fprintf(stderr, "filling SQLite\n");
    const double ms = TimeMs([&] {
      if (!opened || !Fill(*opened.value, size)) std::printf("sqlite fill: error\n");
    });
    std::printf("%-9s %-46s %9.1f s\n", "sqlite", "fill", ms / 1000);
  }
  std::error_code error;
  const auto fileSize = [&] {
    long long bytes = 0;
    for (const char* suffix : {"", "-wal"}) {
      const auto size = std::filesystem::file_size(embedded.file + suffix, error);
      if (!error) bytes += static_cast<long long>(size);
    }
    return bytes;
  };
  Measure("sqlite", embedded, size, fileSize());

  // PostgreSQL: a site's server.
  molvane::FleetLocation site{molvane::FleetLocation::Kind::Server, dir.File("outbox.db"),
                              serverUri, ""};
  {
    auto opened = molvane::FleetDatabase::OpenServer(serverUri);
    std::fprintf(stderr, "filling PostgreSQL\n");
    const double ms = TimeMs([&] {
      if (!opened || !Fill(*opened.value, size)) std::printf("postgres fill: error\n");
    });
    std::printf("%-9s %-46s %9.1f s\n", "postgres", "fill", ms / 1000);
  }
  long long serverBytes = 0;
  if (server) {
    server->Psql("VACUUM ANALYZE");
    serverBytes = std::atoll(server->Psql("SELECT pg_total_relation_size('cart_events')").c_str());
  }
  Measure("postgres", site, size, serverBytes);
  std::printf("(sizes: sqlite the whole file; postgres the events table with its indexes)\n");
  return 0;
}
