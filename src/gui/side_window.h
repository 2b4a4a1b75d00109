#pragma once
#include <QDialog>

namespace molvane {

// A window beside the main window, open while the operator works there: Enter in one of its
// fields does not close it (its fields act on Enter themselves); Escape and the close box do.
class SideWindow : public QDialog {
 public:
  explicit SideWindow(QWidget* parent);

 protected:
  void keyPressEvent(QKeyEvent* event) override;
};

}  // namespace molvane
