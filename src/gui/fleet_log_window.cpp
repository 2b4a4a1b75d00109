#include "gui/fleet_log_window.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QTableWidget>
#include <QVBoxLayout>

#include "fleet/archived_event.h"
#include "gui/labelled.h"
#include "gui/page_button.h"
#include "gui/page_view.h"

namespace molvane {
namespace {

constexpr std::pair<const char*, FleetEventKind> kKinds[] = {
    {"All events", FleetEventKind::All},
    {"Accesses", FleetEventKind::Access},
    {"Power-ups", FleetEventKind::PowerUp},
    {"Factory resets", FleetEventKind::FactoryReset},
    {"Other", FleetEventKind::Other}};

}  // namespace

FleetLogWindow::FleetLogWindow(FleetLocation location, UiServices& ui,
                               const std::string& serialNumber, QWidget* parent)
    : SideWindow(parent), model(std::move(location), DispatchTo(this), ui, serialNumber) {
  setObjectName("fleetLogWindow");
  setWindowTitle(QString::fromStdString("Archived Log - " + serialNumber));

  auto* filters = new QHBoxLayout;
  since = AddLabelledEdit(filters, "S&ince:", "since", this);
  until = AddLabelledEdit(filters, "&Until:", "until", this);
  for (QLineEdit* date : {since, until}) date->setPlaceholderText("YYYY-MM-DD");
  holder = AddLabelledEdit(filters, "&Holder:", "holder", this);
  auto* kindLabel = new QLabel("&Event:", this);
  kind = new QComboBox(this);
  kind->setObjectName("kind");
  for (const auto& [text, value] : kKinds) kind->addItem(text, static_cast<int>(value));
  LabelFor(kindLabel, kind);
  filters->addWidget(kindLabel);
  filters->addWidget(kind);
  showButton = new PageButton("&Show", "show", this);
  filters->addWidget(showButton);
  connect(showButton, &QPushButton::clicked, this, [this] {
    ReadFields();
    model.Open();
  });
  for (QLineEdit* field : {since, until, holder})
    connect(field, &QLineEdit::returnPressed, showButton, &QPushButton::click);

  table = new QTableWidget(0, 4, this);
  table->setObjectName("events");
  table->setAccessibleName("Events");
  table->setHorizontalHeaderLabels({"Time", "Event", "PIN", "Holder"});
  table->setEditTriggers(QAbstractItemView::NoEditTriggers);
  table->setSelectionBehavior(QAbstractItemView::SelectRows);
  table->verticalHeader()->hide();
  table->horizontalHeader()->setStretchLastSection(true);

  status = new QLabel(this);
  status->setObjectName("status");
  status->setAccessibleName("Status");
  status->setWordWrap(true);
  exportButton = new PageButton("E&xport CSV...", "exportCsv", this);
  connect(exportButton, &QPushButton::clicked, this, [this] {
    ReadFields();
    model.Export();
  });
  auto* bottom = new QHBoxLayout;
  bottom->addWidget(status, 1);
  bottom->addWidget(exportButton);

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(filters);
  layout->addWidget(table, 1);
  layout->addLayout(bottom);
  resize(720, 460);

  model.changed = [this] { Show(); };
  model.Open();
}

void FleetLogWindow::ReadFields() {
  model.since = since->text().trimmed().toStdString();
  model.until = until->text().trimmed().toStdString();
  model.holder = holder->text().trimmed().toStdString();
  model.kind = static_cast<FleetEventKind>(kind->currentData().toInt());
}

void FleetLogWindow::Show() {
  const std::string name = model.CartName();
  setWindowTitle(QString::fromStdString("Archived Log - " + model.SerialNumber() +
                                        (name.empty() ? "" : " (" + name + ")")));
  const std::vector<EventRow>& events = model.Events();
  table->setUpdatesEnabled(false);
  table->setRowCount(static_cast<int>(events.size()));
  for (int r = 0; r < static_cast<int>(events.size()); ++r) {
    const EventRow& row = events[static_cast<std::size_t>(r)];
    const std::string cells[] = {CartClockText(row.cartTime), FleetEventWord(row),
                                 row.kind == 1 ? std::to_string(row.pin) : std::string(),
                                 row.holder};
    for (int c = 0; c < 4; ++c)
      table->setItem(r, c, new QTableWidgetItem(QString::fromStdString(cells[c])));
  }
  table->resizeColumnsToContents();
  table->scrollToBottom();  // the newest events are the last
  table->setUpdatesEnabled(true);
  const bool busy = model.Busy();
  showButton->setEnabled(!busy);
  exportButton->setEnabled(!busy);
  status->setText(QString::fromStdString(model.Status()));
}

}  // namespace molvane
