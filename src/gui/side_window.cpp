#include "gui/side_window.h"

#include <QKeyEvent>

namespace molvane {

SideWindow::SideWindow(QWidget* parent) : QDialog(parent) {
  setModal(false);
  setAttribute(Qt::WA_DeleteOnClose);
}

void SideWindow::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
    event->accept();
    return;
  }
  QDialog::keyPressEvent(event);
}

}  // namespace molvane
