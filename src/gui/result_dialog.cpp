#include "gui/result_dialog.h"

#include <QDialogButtonBox>
#include <QGuiApplication>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>
#include <algorithm>

namespace molvane {

ResultDialog::ResultDialog(const std::string& title, const std::string& text,
                           const std::vector<std::string>& details, QWidget* parent)
    : QDialog(parent) {
  setWindowTitle(QString::fromStdString(title));
  auto* layout = new QVBoxLayout(this);

  auto* summary = new QLabel(QString::fromStdString(text), this);
  summary->setObjectName("summary");
  summary->setWordWrap(true);
  summary->setTextInteractionFlags(Qt::TextSelectableByMouse);
  layout->addWidget(summary);

  auto* list = new QListWidget(this);
  list->setObjectName("details");
  list->setAccessibleName("Details");
  for (const std::string& line : details) list->addItem(QString::fromStdString(line));
  layout->addWidget(list, 1);

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
  buttons->setObjectName("buttons");
  buttons->button(QDialogButtonBox::Ok)->setDefault(true);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  layout->addWidget(buttons);

  // The list takes what room is left; the dialog itself never outgrows the screen.
  const QScreen* screen = parent != nullptr ? parent->screen() : QGuiApplication::primaryScreen();
  const QSize room = screen != nullptr ? screen->availableGeometry().size() : QSize(640, 480);
  setMaximumSize(room);
  resize(std::min(560, room.width()), std::min(420, room.height()));
}

}  // namespace molvane
