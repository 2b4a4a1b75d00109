#include "gui/page_button.h"

#include <QKeyEvent>

namespace molvane {

PageButton::PageButton(const QString& text, const char* name, QWidget* parent)
    : QPushButton(text, parent) {
  setObjectName(name);
  setAutoDefault(false);
}

void PageButton::keyPressEvent(QKeyEvent* event) {
  const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
  if (enter && (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
    click();
    return;
  }
  QPushButton::keyPressEvent(event);
}

}  // namespace molvane
