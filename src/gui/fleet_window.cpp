#include "gui/fleet_window.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>
#include <QTableWidget>
#include <QVBoxLayout>

#include "app/cart_controller.h"
#include "gui/fleet_log_window.h"
#include "gui/labelled.h"
#include "gui/page_button.h"
#include "gui/page_view.h"

namespace molvane {
namespace {

// The quick filters take whole days; empty is no filter.
std::optional<int> Days(const QLineEdit* field) {
  bool ok = false;
  const int days = field->text().toInt(&ok);
  return ok ? std::optional<int>(days) : std::nullopt;
}

QLineEdit* AddDaysEdit(QBoxLayout* row, const QString& label, const char* name, QWidget* parent) {
  QLineEdit* edit = AddLabelledEdit(row, label, name, parent);
  edit->setValidator(new QIntValidator(0, 99999, edit));
  edit->setMaximumWidth(60);
  return edit;
}

}  // namespace

// One fleet window at a time: asking again brings it forward, its filters as they were.
void OpenFleetWindow(QPointer<QDialog>& window, QWidget* mainWindow, CartController& controller,
                     UiServices& ui) {
  if (window.isNull()) {
    window = new FleetWindow(DesktopFleetLocation(controller), ui, mainWindow);
  }
  window->show();
  window->raise();
  window->activateWindow();
}

FleetWindow::FleetWindow(FleetLocation location, UiServices& ui, QWidget* parent)
    : SideWindow(parent), model(location, DispatchTo(this)), location(location), ui(ui) {
  setObjectName("fleetWindow");
  setWindowTitle(kCaption);

  table = new QTableWidget(0, kFleetColumnCount, this);
  table->setObjectName("carts");
  table->setAccessibleName("Carts");
  for (int column = 0; column < kFleetColumnCount; ++column) {
    table->setHorizontalHeaderItem(
        column, new QTableWidgetItem(FleetColumnTitle(static_cast<FleetColumn>(column))));
  }
  table->setSelectionBehavior(QAbstractItemView::SelectRows);
  table->setSelectionMode(QAbstractItemView::SingleSelection);
  table->setEditTriggers(QAbstractItemView::NoEditTriggers);
  table->verticalHeader()->hide();
  // The model sorts, by each column's value: numbers and dates as such, not as their texts.
  QHeaderView* header = table->horizontalHeader();
  header->setSectionsClickable(true);
  header->setSortIndicatorShown(true);
  header->setSortIndicator(0, Qt::AscendingOrder);
  header->setStretchLastSection(true);
  connect(header, &QHeaderView::sortIndicatorChanged, this,
          [this](int column, Qt::SortOrder order) {
            model.SortBy(static_cast<FleetColumn>(column), order == Qt::AscendingOrder);
          });
  connect(table, &QTableWidget::cellDoubleClicked, this, [this] { OpenLog(); });
  connect(table, &QTableWidget::itemSelectionChanged, this,
          [this] { openLog->setEnabled(!table->selectedItems().isEmpty()); });

  auto* refresh = new PageButton("&Refresh", "refresh", this);
  connect(refresh, &QPushButton::clicked, this, [this] { model.Refresh(); });
  openLog = new PageButton("&Open Log...", "openLog", this);
  openLog->setEnabled(false);
  connect(openLog, &QPushButton::clicked, this, [this] { OpenLog(); });
  status = new QLabel(this);
  status->setObjectName("status");
  status->setAccessibleName("Status");
  status->setWordWrap(true);
  status->setTextInteractionFlags(Qt::TextSelectableByMouse);
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(status, 1);
  buttons->addWidget(refresh);
  buttons->addWidget(openLog);

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(BuildFilters());
  layout->addWidget(table, 1);
  layout->addLayout(buttons);
  resize(960, 420);

  model.changed = [this] { Show(); };
  model.Refresh();
}

QLayout* FleetWindow::BuildFilters() {
  auto* row = new QHBoxLayout;
  filterText = AddLabelledEdit(row, "&Filter:", "filter", this);
  filterText->setPlaceholderText("serial number, name or firmware");
  filterText->setClearButtonEnabled(true);
  firmwareNot = AddLabelledEdit(row, "Firmware &not:", "firmwareNot", this);
  firmwareNot->setMaximumWidth(90);
  pinsOlderThan = AddDaysEdit(row, "&PINs older than (days):", "pinsOlderThan", this);
  notSeenFor = AddDaysEdit(row, "Not &seen for (days):", "notSeenFor", this);
  for (QLineEdit* field : {filterText, firmwareNot, pinsOlderThan, notSeenFor})
    connect(field, &QLineEdit::textChanged, this, [this] { ApplyFilter(); });
  return row;
}

void FleetWindow::ApplyFilter() {
  FleetFilter filter;
  filter.text = filterText->text().trimmed().toStdString();
  filter.firmwareNot = firmwareNot->text().trimmed().toStdString();
  filter.pinsOlderThanDays = Days(pinsOlderThan);
  filter.notSeenForDays = Days(notSeenFor);
  model.SetFilter(std::move(filter));
}

// The rows as the model has them; the selected cart stays selected when it is still shown.
void FleetWindow::Show() {
  const QList<QTableWidgetItem*> selected = table->selectedItems();
  const QString kept = selected.isEmpty() ? QString() : table->item(selected[0]->row(), 0)->text();
  const std::vector<FleetCartRow>& rows = model.Shown();
  table->setUpdatesEnabled(false);
  table->clearSelection();
  table->setRowCount(static_cast<int>(rows.size()));
  for (int r = 0; r < static_cast<int>(rows.size()); ++r) {
    for (int c = 0; c < kFleetColumnCount; ++c) {
      const std::string text =
          FleetCellText(rows[static_cast<std::size_t>(r)], static_cast<FleetColumn>(c));
      auto* item = new QTableWidgetItem(QString::fromStdString(text));
      if (c >= static_cast<int>(FleetColumn::Pins)) item->setTextAlignment(Qt::AlignCenter);
      table->setItem(r, c, item);
    }
    if (!kept.isEmpty() && table->item(r, 0)->text() == kept) table->selectRow(r);
  }
  table->resizeColumnsToContents();
  table->setUpdatesEnabled(true);
  openLog->setEnabled(!table->selectedItems().isEmpty());
  status->setText(QString::fromStdString(model.Status()));
  status->setStyleSheet(model.Failed() ? "color: #b00020;" : QString());
}

void FleetWindow::OpenLog() {
  const QList<QTableWidgetItem*> selected = table->selectedItems();
  if (selected.isEmpty()) return;
  const std::string serial = table->item(selected[0]->row(), 0)->text().toStdString();
  // Beside the fleet window, not inside it: several carts' logs may be open at once, and they
  // stay when the table is closed.
  auto* log = new FleetLogWindow(location, ui, serial, parentWidget());
  log->show();
}

}  // namespace molvane
