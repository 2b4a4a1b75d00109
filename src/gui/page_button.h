#pragma once
#include <QPushButton>

namespace molvane {

// A button on a page. The main window is a dialog that would make the first such button its
// default, so that Enter anywhere pressed it; a page button is never the default, and Enter
// presses it only while it has the focus, as Space does.
class PageButton : public QPushButton {
 public:
  PageButton(const QString& text, const char* name, QWidget* parent);

 protected:
  void keyPressEvent(QKeyEvent* event) override;
};

}  // namespace molvane
