#pragma once
#include <QDialog>
#include <string>
#include <vector>

namespace molvane {

// A list of changes the operator accepts with OK before anything is sent, or refuses with
// Cancel (also Escape and the close box).
class ChangePreviewDialog : public QDialog {
  Q_OBJECT

 public:
  ChangePreviewDialog(const std::string& title, const std::string& text,
                      const std::vector<std::string>& changes, const std::string& note,
                      QWidget* parent = nullptr);
};

}  // namespace molvane
