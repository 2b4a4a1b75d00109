#include "gui/log_dialog.h"

#include <QHBoxLayout>
#include <QListWidget>
#include <QPushButton>
#include <QStringList>
#include <QVBoxLayout>

#include "gui/page_button.h"

namespace molvane {

LogDialog::LogDialog(CartController& controller, UiServices& ui, QWidget* parent)
    : PageView(parent), model(controller, ui) {
  list = new QListWidget(this);
  list->setObjectName("log");
  list->setAccessibleName("Log");
  list->setSelectionMode(QAbstractItemView::SingleSelection);
  list->setSortingEnabled(false);  // the cart's order is the order shown
  list->setUniformItemSizes(true);

  auto* buttons = new QHBoxLayout;
  buttons->addWidget(AddButton("Get List", "getList", this, [this] { model.GetList(); }));
  buttons->addWidget(AddButton("Clear List", "clearList", this, [this] { model.ClearList(); }));
  buttons->addWidget(AddButton(
      "Export", "export", this, [this] { model.Export(); }, false));
  buttons->addStretch();
  // The log is shown in the cart's order only; the sort buttons stay in sight, greyed.
  for (const auto& [text, name] :
       {std::pair{"Sort By Pin", "sortByPin"}, std::pair{"Sort By Date", "sortByDate"}}) {
    auto* sort = new PageButton(text, name, this);
    sort->setEnabled(false);
    buttons->addWidget(sort);
  }

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(list, 1);
  layout->addLayout(buttons);
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
