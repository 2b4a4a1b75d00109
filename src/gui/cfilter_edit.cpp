#include "gui/cfilter_edit.h"

#include <QAction>
#include <QApplication>
#include <QContextMenuEvent>
#include <QDropEvent>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>

namespace molvane {

CFilterEdit::CFilterEdit(QWidget* parent) : QLineEdit(parent) {}

void CFilterEdit::SetFilter(const CharacterFilter& rule) {
  filter = rule;
  if (rule.MaxLength() > 0) setMaxLength(static_cast<int>(rule.MaxLength()));
}

bool CFilterEdit::SetCheckedText(const QString& text) {
  if (text == this->text()) return true;
  if (!IsValid(text)) {
    Refuse();
    return false;
  }
  setText(text);
  return true;
}

bool CFilterEdit::IsValid(const QString& text) const { return filter.IsValid(text.toStdString()); }

bool CFilterEdit::TypedPasses(const QString& typed, bool controlOrAlt) const {
  for (const char32_t c : typed.toUcs4()) {
    if (!filter.PassesTyped(c, controlOrAlt)) return false;
  }
  return true;
}

void CFilterEdit::keyPressEvent(QKeyEvent* event) {
  if (event->matches(QKeySequence::Paste)) {
    CheckedPaste([this, event] { QLineEdit::keyPressEvent(event); });
    return;
  }
  const bool controlOrAlt = (event->modifiers() & (Qt::ControlModifier | Qt::AltModifier)) != 0;
  if (!TypedPasses(event->text(), controlOrAlt)) {
    event->accept();
    Refuse();
    return;
  }
  QLineEdit::keyPressEvent(event);
}

// Composed text (dead keys, input methods) is typed text too.
void CFilterEdit::inputMethodEvent(QInputMethodEvent* event) {
  if (!TypedPasses(event->commitString(), false)) {
    event->accept();
    Refuse();
    return;
  }
  QLineEdit::inputMethodEvent(event);
}

void CFilterEdit::contextMenuEvent(QContextMenuEvent* event) {
  QMenu* menu = createStandardContextMenu();
  menu->setAttribute(Qt::WA_DeleteOnClose);
  if (auto* pasteAction = menu->findChild<QAction*>("edit-paste")) {
    disconnect(pasteAction, &QAction::triggered, nullptr, nullptr);
    connect(pasteAction, &QAction::triggered, this, [this] { CheckedPaste([this] { paste(); }); });
  }
  menu->popup(event->globalPos());
}

// Where the window system has a selection clipboard, the middle button pastes from it.
void CFilterEdit::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() == Qt::MiddleButton) {
    CheckedPaste([this, event] { QLineEdit::mouseReleaseEvent(event); });
    return;
  }
  QLineEdit::mouseReleaseEvent(event);
}

void CFilterEdit::dropEvent(QDropEvent* event) {
  CheckedPaste([this, event] { QLineEdit::dropEvent(event); });
}

void CFilterEdit::CheckedPaste(const std::function<void()>& paste) {
  const QString kept = text();
  paste();
  if (IsValid(text())) return;
  setText(kept);
  setCursorPosition(0);
  Refuse();
}

void CFilterEdit::Refuse() {
  QApplication::beep();
  emit refused();
}

}  // namespace molvane
