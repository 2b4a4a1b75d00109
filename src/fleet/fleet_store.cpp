#include "fleet/fleet_store.h"

#include <cstdio>
#include <random>

#include "base/clock.h"
#include "fleet/fleet_database.h"
#include "fleet/fleet_record_text.h"
#include "fleet/stored_text.h"

namespace molvane {
namespace {

// 128 random bits: a record's name wherever it goes, so that the server takes it once.
std::string NewRecordId() {
  thread_local std::mt19937_64 generator{std::random_device{}()};
  char text[33];
  std::snprintf(text, sizeof text, "%016llx%016llx", static_cast<unsigned long long>(generator()),
                static_cast<unsigned long long>(generator()));
  return text;
}

void Clean(std::string& text) { text = StoredText(text); }

// Every text of a record as the store keeps it.
void CleanTexts(FleetRecord& record) {
  if (auto* seen = std::get_if<CartSeen>(&record)) {
    CartIdentity& i = seen->identity;
    Clean(i.serialNumber);
    Clean(i.name);
    for (std::string& text : i.firmware) Clean(text);
    for (std::string& text : i.hardware) Clean(text);
    Clean(i.powerSupply);
    Clean(seen->pcName);
  } else if (auto* pins = std::get_if<PinListSeen>(&record)) {
    Clean(pins->serialNumber);
  } else if (auto* log = std::get_if<LogArchived>(&record)) {
    Clean(log->serialNumber);
  } else if (auto* work = std::get_if<CartWork>(&record)) {
    Clean(work->serialNumber);
    Clean(work->board);
    Clean(work->file);
    Clean(work->outcome);
    Clean(work->pcName);
  } else if (auto* named = std::get_if<HoldersNamed>(&record)) {
    for (Holder& holder : named->holders) Clean(holder.name);
  }
}

bool FileExists(const std::string& path) {
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (file == nullptr) return false;
  std::fclose(file);
  return true;
}

}  // namespace

FleetStore::FleetStore(FleetLocation location) : location(std::move(location)) {}

FleetStore::~FleetStore() = default;

Outcome FleetStore::OpenTarget() {
  if (target) return Outcome::Success();
  if (!targetFailure.empty()) return Outcome::Failure(targetFailure);
  if (!location.refusal.empty()) {
    targetFailure = location.refusal;
    return Outcome::Failure(targetFailure);
  }
  auto opened = location.kind == FleetLocation::Kind::Server
                    ? FleetDatabase::OpenServer(location.serverUri)
                    : FleetDatabase::OpenFile(location.file);
  if (!opened) {
    targetFailure = opened.outcome.text;
    return opened.outcome;
  }
  target = std::move(opened.value);
  return Outcome::Success();
}

Outcome FleetStore::OpenOutbox() {
  if (outbox) return Outcome::Success();
  if (!outboxFailure.empty()) return Outcome::Failure(outboxFailure);
  auto opened = FleetDatabase::OpenFile(location.file);
  if (!opened) {
    outboxFailure = opened.outcome.text;
    return opened.outcome;
  }
  outbox = std::move(opened.value);
  return Outcome::Success();
}

void FleetStore::NoteFailure(const Outcome& failure) {
  if (failure || !target || location.kind != FleetLocation::Kind::Server || target->Alive()) return;
  targetFailure = failure.text;
  target.reset();
}

RecordOutcome FleetStore::KeepBack(const std::string& recordId, const FleetRecord& record,
                                   const std::string& why) {
  RecordOutcome outcome;
  Outcome opened = OpenOutbox();
  if (opened) opened = outbox->KeepBack(recordId, RecordText(record), Now());
  if (!opened) {
    outcome.fate = RecordOutcome::Fate::Lost;
    outcome.warning =
        why + " The record could not be kept back either, so it is lost: " + opened.text;
    return outcome;
  }
  outcome.fate = RecordOutcome::Fate::KeptBack;
  outcome.warning = why + " The record was kept back in " + location.file +
                    " and goes to the server when it can be reached.";
  return outcome;
}

RecordOutcome FleetStore::Record(FleetRecord record) {
  RecordOutcome outcome;
  if (!Enabled()) return outcome;
  CleanTexts(record);
  const std::string recordId = NewRecordId();
  const bool server = location.kind == FleetLocation::Kind::Server;
  Outcome opened = OpenTarget();
  if (opened && server && !keptBackSent) {
    // What waited goes first; a server that went away meanwhile is noted there.
    (void)SendKeptBack();
    opened = OpenTarget();
  }
  if (opened) {
    const Outcome applied = target->Apply(record, recordId);
    if (applied) {
      outcome.fate = RecordOutcome::Fate::Stored;
      outcome.newEvents = applied.done;
      return outcome;
    }
    NoteFailure(applied);
    opened = applied;
  }
  if (server) return KeepBack(recordId, record, opened.text);
  outcome.fate = RecordOutcome::Fate::Lost;
  outcome.warning = opened.text + " Nothing was recorded.";
  return outcome;
}

Outcome FleetStore::SendKeptBack() {
  if (location.kind != FleetLocation::Kind::Server || !FileExists(location.file))
    return Outcome::Success();
  if (Outcome opened = OpenTarget(); !opened) return opened;
  if (Outcome opened = OpenOutbox(); !opened) return opened;
  const auto kept = outbox->KeptBack();
  if (!kept) return kept.outcome;
  const int total = static_cast<int>(kept.value.size());
  int sent = 0;
  for (const FleetDatabase::KeptRecord& row : kept.value) {
    const std::optional<FleetRecord> record = RecordFromText(row.text);
    // A record the server refuses stays for a later try; the others still go.
    if (!record) continue;
    const Outcome applied = target->Apply(*record, row.recordId);
    if (!applied) {
      NoteFailure(applied);
      if (!target) return Outcome::Failure(applied.text, sent, total);
      continue;
    }
    // Taken: should the outbox not let go of it, the server knows it by its id next time.
    (void)outbox->Forget(row.recordId);
    ++sent;
  }
  keptBackSent = true;
  return Outcome::Success({}, sent, total);
}

int FleetStore::KeptBackCount() {
  if (location.kind != FleetLocation::Kind::Server || !FileExists(location.file)) return 0;
  if (!OpenOutbox()) return 0;
  const auto kept = outbox->KeptBack();
  return kept ? static_cast<int>(kept.value.size()) : 0;
}

Outcome FleetStore::ReadyToRead() {
  if (!Enabled()) return Outcome::Failure("The fleet store is turned off.");
  if (location.kind == FleetLocation::Kind::Server && !keptBackSent) {
    // What could not be sent stays where it is; the query shows what the server holds.
    (void)SendKeptBack();
  }
  return OpenTarget();
}

Result<std::vector<CartSummary>> FleetStore::Carts() {
  if (Outcome ready = ReadyToRead(); !ready) return {{}, ready};
  auto carts = target->Carts();
  NoteFailure(carts.outcome);
  return carts;
}

Result<EventPage> FleetStore::Events(const EventQuery& query) {
  if (Outcome ready = ReadyToRead(); !ready) return {{}, ready};
  auto page = target->Events(query);
  NoteFailure(page.outcome);
  return page;
}

Outcome FleetStore::ExportEvents(const EventQuery& query, const std::string& path) {
  if (Outcome ready = ReadyToRead(); !ready) return ready;
  Outcome exported = target->ExportEvents(query, path);
  NoteFailure(exported);
  return exported;
}

}  // namespace molvane
