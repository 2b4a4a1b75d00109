#pragma once
#include <QDialog>
#include <string>
#include <vector>

namespace molvane {

// An outcome with a long account, such as a restore cut short on a full cart: what to read first
// at the top, the account in a list that scrolls, and OK, all of it within the screen however
// long the list.
class ResultDialog : public QDialog {
  Q_OBJECT

 public:
  ResultDialog(const std::string& title, const std::string& text,
               const std::vector<std::string>& details, QWidget* parent = nullptr);
};

}  // namespace molvane
