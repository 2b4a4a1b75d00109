#include "gui/change_preview_dialog.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace molvane {

ChangePreviewDialog::ChangePreviewDialog(const std::string& title, const std::string& text,
                                         const std::vector<std::string>& changes,
                                         const std::string& note, QWidget* parent)
    : QDialog(parent) {
  setWindowTitle(QString::fromStdString(title));
  auto* layout = new QVBoxLayout(this);

  auto* heading = new QLabel(QString::fromStdString(text), this);
  heading->setWordWrap(true);
  layout->addWidget(heading);

  auto* list = new QListWidget(this);
  list->setObjectName("changes");
  list->setAccessibleName("Changes");
  for (const std::string& change : changes) list->addItem(QString::fromStdString(change));
  heading->setBuddy(list);
  layout->addWidget(list, 1);

  if (!note.empty()) {
    auto* remark = new QLabel(QString::fromStdString(note), this);
    remark->setObjectName("note");
    remark->setWordWrap(true);
    layout->addWidget(remark);
  }

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  buttons->setObjectName("buttons");
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  layout->addWidget(buttons);
  resize(480, 360);
}

}  // namespace molvane
