#include "gui/pin_list_dialog.h"

#include <QFontDatabase>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScrollBar>
#include <QVBoxLayout>

#include "cart/rfid_format.h"
#include "gui/cfilter_edit.h"
#include "gui/labelled.h"
#include "gui/page_button.h"

namespace molvane {
namespace {

// A list line is "%010u        %3d": ten digits, eight blanks and three for the age.
constexpr int kLineLength = 21;

QLineEdit* LabelledEdit(QGridLayout* grid, int row, const QString& labelText, QLineEdit* edit,
                        const char* name) {
  auto* label = new QLabel(labelText);
  edit->setObjectName(name);
  LabelFor(label, edit);
  grid->addWidget(label, row, 0);
  grid->addWidget(edit, row, 1);
  return edit;
}

}  // namespace

PinListDialog::PinListDialog(CartController& controller, UiServices& ui, QWidget* parent)
    : PageView(parent), model(controller, ui) {
  // Built in tab order: the list and its buttons, the whole-list buttons, then the settings.
  QWidget* pins = BuildList();
  QGroupBox* completeList = BuildCompleteList();
  QGroupBox* maxDigits = BuildMaxDigits();
  QGroupBox* rfid = BuildRfid();
  auto* right = new QVBoxLayout;
  right->addWidget(completeList);
  right->addWidget(maxDigits);
  right->addStretch();
  auto* top = new QHBoxLayout;
  top->addWidget(pins);
  top->addLayout(right, 1);
  auto* page = new QVBoxLayout(this);
  page->addLayout(top, 1);
  page->addWidget(rfid);

  // The selection is read with the fields, so a removal takes the line the operator sees, and
  // one made while the cart answered stays.
  fields.Pair(
      list, FieldBindings::Wins::Operator,
      [this] {
        const QList<QListWidgetItem*> selected = list->selectedItems();
        return std::to_string(selected.isEmpty() ? -1 : list->row(selected.first()));
      },
      [this](const std::string& row) { SelectRow(std::stoi(row)); },
      [this] { return std::to_string(model.selectedLine); },
      [this](const std::string& row) { model.selectedLine = std::stoi(row); });
  fields.Text(maxDigitsEdit, model.maxPinDigits);
  fields.Text(bitsEdit, model.rfidBits);
  fields.Text(facilityEdit, model.facilityCode);
  // The mask's filter comes first, so the text it gets is judged by the rule in force.
  fields.Pair(
      maskEdit, FieldBindings::Wins::Operator, [this] { return maskEdit->text().toStdString(); },
      [this](const std::string& mask) {
        maskEdit->SetFilter(model.maskFilter);
        maskEdit->SetCheckedText(QString::fromStdString(mask));
      },
      [this] { return model.rfidMask; },
      [this](const std::string& mask) { model.rfidMask = mask; });
  fields.Shown([this] { maskEdit->SetFilter(model.maskFilter); });
  Bind();
}

void PinListDialog::SelectRow(int row) {
  if (row >= 0 && row < list->count()) {
    list->setCurrentRow(row);
  } else {
    list->clearSelection();
  }
}

QWidget* PinListDialog::BuildList() {
  auto* box = new QWidget(this);
  list = new QListWidget(box);
  list->setObjectName("pinList");
  list->setAccessibleName("Pin Number, Age (days)");
  list->setSelectionMode(QAbstractItemView::SingleSelection);
  list->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  list->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
  const QFontMetrics metrics(list->font());
  const int charWidth = metrics.horizontalAdvance('0');
  list->setMinimumWidth(charWidth * (kLineLength + 3) +
                        list->verticalScrollBar()->sizeHint().width() + 2 * list->frameWidth());
  auto* add = AddButton("Add", "add", box, [this] { model.Add(); });
  auto* remove = AddButton("Remove", "remove", box, [this] { model.Remove(); });
  auto* getList = AddButton("Get List", "getList", box, [this] { model.GetList(); });
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(add);
  buttons->addWidget(remove);
  buttons->addWidget(getList);

  auto* column = new QVBoxLayout(box);
  column->setContentsMargins(0, 0, 0, 0);
  column->addWidget(BuildHeadings(box, charWidth));
  column->addWidget(list, 1);
  column->addLayout(buttons);
  return box;
}

// The headings stand over their columns: "Age (days)" ends where the age does.
QWidget* PinListDialog::BuildHeadings(QWidget* parent, int charWidth) {
  auto* row = new QWidget(parent);
  auto* headings = new QHBoxLayout(row);
  headings->setContentsMargins(list->frameWidth() + 2, 0, 0, 0);
  headings->addWidget(new QLabel("Pin Number", row));
  headings->addStretch();
  headings->addWidget(new QLabel("Age (days)", row));
  row->setFixedWidth(list->frameWidth() + 4 + charWidth * kLineLength);
  return row;
}

QGroupBox* PinListDialog::BuildCompleteList() {
  auto* group = new QGroupBox("Complete List", this);
  auto* copyAll = AddButton(
      "Copy All", "copyAll", group, [this] { model.CopyAll(); }, false);
  auto* paste = AddButton("Paste", "paste", group, [this] { model.Paste(); });
  auto* clear = AddButton("Clear", "clear", group, [this] { model.Clear(); });
  auto* import = AddButton("Import", "import", group, [this] { model.Import(); });
  auto* exportButton = AddButton(
      "Export", "export", group, [this] { model.Export(); }, false);
  auto* grid = new QGridLayout(group);
  grid->addWidget(copyAll, 0, 0);
  grid->addWidget(paste, 0, 1);
  grid->addWidget(clear, 0, 2);
  grid->addWidget(import, 1, 0);
  grid->addWidget(exportButton, 1, 1);
  return group;
}

QGroupBox* PinListDialog::BuildMaxDigits() {
  auto* group = new QGroupBox("Max. Pin Digits", this);
  auto* grid = new QGridLayout(group);
  maxDigitsEdit = LabelledEdit(grid, 0, "Max. PIN Digits", new QLineEdit, "maxPinDigits");
  auto* update = AddButton("Update", "updateMaxDigits", group, [this] { model.UpdateMaxDigits(); });
  grid->addWidget(update, 0, 2);
  maxDigitsEdit->setMaximumWidth(maxDigitsEdit->fontMetrics().horizontalAdvance(QString(8, '0')));
  grid->setColumnStretch(3, 1);
  return group;
}

QGroupBox* PinListDialog::BuildRfid() {
  auto* group = new QGroupBox("RFID Management", this);
  auto* grid = new QGridLayout(group);
  auto* bits = new CFilterEdit;
  bits->SetFilter(RfidBitsFilter());
  bitsEdit = LabelledEdit(grid, 0, "RFID Bits:", bits, "rfidBits");
  facilityEdit = LabelledEdit(grid, 1, "Facility Code:", new QLineEdit, "facilityCode");
  facilityEdit->setMaxLength(static_cast<int>(kMaxFacilityLength));
  maskEdit = new CFilterEdit;
  maskEdit->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
  LabelledEdit(grid, 2, "RFID Mask:", maskEdit, "rfidMask");
  auto* update = AddButton("Update RFID Info", "updateRfid", group, [this] { model.UpdateRfid(); });
  grid->addWidget(update, 0, 2, 2, 1, Qt::AlignRight | Qt::AlignTop);
  const int digitWidth = bits->fontMetrics().horizontalAdvance(QString(8, '0'));
  bits->setMaximumWidth(digitWidth);
  facilityEdit->setMaximumWidth(digitWidth);
  grid->setColumnStretch(1, 1);
  return group;
}

// The list shows the model's lines as they stand (already in order); a new list comes with the
// model's selection, otherwise the selection is the operator's.
void PinListDialog::WriteState() {
  QStringList lines;
  for (const std::string& line : model.pinLines) lines << QString::fromStdString(line);
  QStringList shown;
  for (int i = 0; i < list->count(); ++i) shown << list->item(i)->text();
  if (shown == lines) return;
  list->clear();
  list->addItems(lines);
  SelectRow(model.selectedLine);
}

}  // namespace molvane
