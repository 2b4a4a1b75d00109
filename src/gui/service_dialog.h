#pragma once
#include <string>
#include <vector>

#include "gui/page_view.h"
#include "pages/service_page.h"

class QGridLayout;
class QLabel;
class QLayout;
class QLineEdit;
class QPushButton;

namespace molvane {

class ServiceDialog : public PageView {
  Q_OBJECT

 public:
  ServiceDialog(CartController& controller, UiServices& ui, QWidget* parent = nullptr);
  PageModel& Model() override { return model; }

 protected:
  void WriteState() override;

 private:
  QWidget* BuildFirmwareGroup();
  QWidget* BuildBitmapsGroup();
  QLayout* BuildStatusArea();
  struct FileRowText {
    const char* label;
    const char* action;
    const char* name;  // object names: <name>File, <name>Browse and <name> for the action
  };
  // One file row: label, read-only file field, Browse, and the action button that loads it.
  QPushButton* AddFileRow(QGridLayout* grid, int row, const FileRowText& text,
                          ServicePage::FileKind kind, std::string& field,
                          void (ServicePage::*act)());
  QPushButton* ActionButton(QWidget* parent, const QString& text, const char* name,
                            void (ServicePage::*act)());
  void LineUpColumns();

  ServicePage model;
  QPushButton* updateMain = nullptr;
  QPushButton* updateFront = nullptr;
  QPushButton* updateCharger = nullptr;
  QPushButton* updateTranslation = nullptr;
  QPushButton* updateBitmaps = nullptr;
  QPushButton* factoryTitle = nullptr;
  QPushButton* setRtc = nullptr;
  QPushButton* resetGasGauge = nullptr;
  std::vector<QLabel*> captions;
};

}  // namespace molvane
