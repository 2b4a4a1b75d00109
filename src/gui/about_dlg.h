#pragma once
#include <QDialog>

namespace molvane {

// The about box: the program's picture, its name and version, the folder that keeps its
// settings (support asks where to look for them), and OK.
class CAboutDlg : public QDialog {
  Q_OBJECT

 public:
  static constexpr const char* kCaption = "About Molvane";
  static constexpr const char* kVersionText = "Molvane Version " MOLVANE_VERSION_TEXT;

  explicit CAboutDlg(QWidget* parent = nullptr, const QString& settingsFolder = QString());
};

}  // namespace molvane
