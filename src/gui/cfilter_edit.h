#pragma once
#include <QLineEdit>
#include <functional>

#include "base/character_filter.h"

namespace molvane {

// A one-line edit field that lets in only the characters of its filter. A typed character
// outside the set is refused with a beep; a paste (keyboard, context menu, middle button or a
// drop) that would leave a text with such a character is undone as a whole, caret at the start,
// with a beep; and the program's own text goes through SetCheckedText, which refuses an invalid
// one the same way. Until a filter is set, the field takes everything.
class CFilterEdit : public QLineEdit {
  Q_OBJECT

 public:
  explicit CFilterEdit(QWidget* parent = nullptr);

  // Puts the filter in force, and its length limit when it has one.
  void SetFilter(const CharacterFilter& rule);

  // The program's text: set when valid (an unchanged text is left alone, caret and all),
  // otherwise refused with a beep. False when refused.
  bool SetCheckedText(const QString& text);

 signals:
  // Something was refused; the field has beeped.
  void refused();

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void inputMethodEvent(QInputMethodEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  bool IsValid(const QString& text) const;
  bool TypedPasses(const QString& typed, bool controlOrAlt) const;
  // Runs an edit that pastes; a text it leaves invalid is put back as it was before.
  void CheckedPaste(const std::function<void()>& paste);
  void Refuse();

  CharacterFilter filter;
};

}  // namespace molvane
