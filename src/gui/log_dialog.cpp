#include "gui/log_dialog.h"

#include <QHBoxLayout>
#include <QListWidget>
#include <QPushButton>
#include <QStringList>
#include <QVBoxLayout>

#include "gui/page_button.h"

namespace molvane {
namespace {

QPushButton* AddButton(QBoxLayout* row, const char* text, const char* name, QWidget* parent) {
  auto* button = new PageButton(text, name, parent);
  row->addWidget(button);
  return button;
}

}  // namespace

LogDialog::LogDialog(CartController& controller, UiServices& ui, QWidget* parent)
    : PageView(parent), model(controller, ui) {
  list = new QListWidget(this);
  list->setObjectName("log");
  list->setAccessibleName("Log");
  list->setSelectionMode(QAbstractItemView::SingleSelection);
  list->setSortingEnabled(false);  // the cart's order is the order shown
  list->setUniformItemSizes(true);

  auto* buttons = new QHBoxLayout;
  QPushButton* getList = AddButton(buttons, "Get List", "getList", this);
  QPushButton* clearList = AddButton(buttons, "Clear List", "clearList", this);
  QPushButton* exportLog = AddButton(buttons, "Export", "export", this);
  buttons->addStretch();
  // The log is shown in the cart's order only; the sort buttons stay in sight, greyed.
  AddButton(buttons, "Sort By Pin", "sortByPin", this)->setEnabled(false);
  AddButton(buttons, "Sort By Date", "sortByDate", this)->setEnabled(false);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(list, 1);
  layout->addLayout(buttons);

  connect(getList, &QPushButton::clicked, this, [this] { model.GetList(); });
  connect(clearList, &QPushButton::clicked, this, [this] { model.ClearList(); });
  connect(exportLog, &QPushButton::clicked, this, [this] { model.Export(); });
  Bind();
}

// A full log is a thousand lines: they go in as one batch with painting held back.
void LogDialog::WriteState() {
  if (model.lines == listed) return;
  listed = model.lines;
  QStringList items;
  items.reserve(static_cast<qsizetype>(listed.size()));
  for (const std::string& line : listed) items.append(QString::fromStdString(line));
  list->setUpdatesEnabled(false);
  list->clear();
  list->addItems(items);
  list->setUpdatesEnabled(true);
}

}  // namespace molvane
