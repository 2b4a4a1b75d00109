#include "gui/service_dialog.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>

#include "gui/labelled.h"
#include "gui/page_button.h"

namespace molvane {
namespace {

QLineEdit* ReadOnlyField(const QString& name, QWidget* parent) {
  auto* edit = new QLineEdit(parent);
  edit->setObjectName(name);
  edit->setReadOnly(true);
  return edit;
}

}  // namespace

ServiceDialog::ServiceDialog(CartController& controller, UiServices& ui, QWidget* parent)
    : PageView(parent), model(controller, ui) {
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(BuildFirmwareGroup());
  layout->addWidget(BuildBitmapsGroup());
  layout->addLayout(BuildStatusArea());
  layout->addStretch();
  LineUpColumns();
  Bind();
}

QPushButton* ServiceDialog::ActionButton(QWidget* parent, const QString& text, const char* name,
                                         void (ServicePage::*act)()) {
  return AddButton(text, name, parent, [this, act] { (model.*act)(); });
}

// Widgets are made in the order the Tab key visits them.
QPushButton* ServiceDialog::AddFileRow(QGridLayout* grid, int row, const FileRowText& text,
                                       ServicePage::FileKind kind, std::string& field,
                                       void (ServicePage::*act)()) {
  QWidget* parent = grid->parentWidget();
  const QString label = text.label;
  auto* caption = new QLabel(label + ":", parent);
  captions.push_back(caption);
  auto* edit = ReadOnlyField(QString(text.name) + "File", parent);
  LabelFor(caption, edit);
  const QByteArray browseName = QByteArray(text.name) + "Browse";
  auto* browse = AddButton(
      "Browse", browseName.constData(), parent, [this, kind] { model.Browse(kind); }, false);
  browse->setAccessibleName("Browse " + label);
  QPushButton* action = ActionButton(parent, text.action, text.name, act);
  grid->addWidget(caption, row, 0);
  grid->addWidget(edit, row, 1);
  grid->addWidget(browse, row, 2);
  grid->addWidget(action, row, 3);
  fields.Text(edit, field);
  return action;
}

QWidget* ServiceDialog::BuildFirmwareGroup() {
  using Kind = ServicePage::FileKind;
  auto* group = new QGroupBox("Firmware", this);
  auto* grid = new QGridLayout(group);
  updateMain = AddFileRow(grid, 0, {"Main", "Update Main", "updateMain"}, Kind::MainFirmware,
                          model.mainFirmwareFile, &ServicePage::UpdateMain);
  updateFront = AddFileRow(grid, 1, {"Front", "Update Front", "updateFront"}, Kind::FrontFirmware,
                           model.frontFirmwareFile, &ServicePage::UpdateFront);
  updateCharger =
      AddFileRow(grid, 2, {"Charger", "Update Charger", "updateCharger"}, Kind::ChargerFirmware,
                 model.chargerFirmwareFile, &ServicePage::UpdateCharger);
  updateTranslation = AddFileRow(
      grid, 3, {"Translation", "Update Translation", "updateTranslation"},
      Kind::TranslationFirmware, model.translationFirmwareFile, &ServicePage::UpdateTranslation);
  grid->setColumnStretch(1, 1);
  return group;
}

QWidget* ServiceDialog::BuildBitmapsGroup() {
  using Kind = ServicePage::FileKind;
  auto* group = new QGroupBox("Bitmaps", this);
  auto* grid = new QGridLayout(group);
  updateBitmaps = AddFileRow(grid, 0, {"Bitmaps", "Update Bitmaps", "updateBitmaps"}, Kind::Bitmap,
                             model.bitmapFile, &ServicePage::UpdateBitmaps);
  factoryTitle = AddFileRow(grid, 1, {"Factory title", "Factory Title", "factoryTitle"},
                            Kind::FactoryTitle, model.factoryTitleFile, &ServicePage::FactoryTitle);
  grid->setColumnStretch(1, 1);
  return group;
}

// The status and the outcome of the page's last operation; the clock and the gas gauge beside
// them. The outcome wraps rather than running off the field, so a long one is read whole. A
// transfer's progress is the window's progress bar.
QLayout* ServiceDialog::BuildStatusArea() {
  auto* grid = new QGridLayout;
  auto* statusLabel = new QLabel("Status:", this);
  auto* status = ReadOnlyField("status", this);
  LabelFor(statusLabel, status);
  auto* resultLabel = new QLabel("Last result:", this);
  auto* result = new QLabel(this);
  result->setObjectName("lastResult");
  result->setWordWrap(true);
  result->setTextFormat(Qt::PlainText);
  result->setTextInteractionFlags(Qt::TextSelectableByMouse);
  result->setFrameShape(QFrame::StyledPanel);
  result->setMinimumHeight(2 * result->fontMetrics().lineSpacing() + 2 * result->frameWidth());
  result->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  LabelFor(resultLabel, result);
  grid->addWidget(statusLabel, 0, 0);
  grid->addWidget(status, 0, 1);
  grid->addWidget(resultLabel, 1, 0, Qt::AlignTop);
  grid->addWidget(result, 1, 1);
  grid->setColumnStretch(1, 1);
  fields.Text(status, model.status, FieldBindings::Wins::Cart);
  // A text longer than the field shows its beginning, where it says what happened.
  fields.Shown([status] {
    if (!status->hasFocus()) status->setCursorPosition(0);
  });
  fields.Shown([this, result] {
    const QString text = QString::fromStdString(model.lastResult);
    if (result->text() != text) result->setText(text);
  });

  setRtc = ActionButton(this, "Set RTC", "setRtc", &ServicePage::SetRtc);
  resetGasGauge =
      ActionButton(this, "Reset\nGas Gauge", "resetGasGauge", &ServicePage::ResetGasGauge);
  resetGasGauge->setAccessibleName("Reset Gas Gauge");
  auto* buttons = new QVBoxLayout;
  buttons->addWidget(setRtc);
  buttons->addWidget(resetGasGauge);
  buttons->addStretch();
  auto* area = new QHBoxLayout;
  area->addLayout(grid, 1);
  area->addLayout(buttons);
  return area;
}

// The file fields and the action buttons line up in columns across both groups.
void ServiceDialog::LineUpColumns() {
  int labelWidth = 0;
  for (const QLabel* caption : captions) {
    labelWidth = std::max(labelWidth, caption->sizeHint().width());
  }
  for (QLabel* caption : captions) caption->setMinimumWidth(labelWidth);
  QPushButton* all[] = {updateMain,    updateFront,  updateCharger, updateTranslation,
                        updateBitmaps, factoryTitle, setRtc,        resetGasGauge};
  int width = 0;
  for (const QPushButton* button : all) width = std::max(width, button->sizeHint().width());
  for (QPushButton* button : all) button->setMinimumWidth(width);
}

void ServiceDialog::WriteState() {
  SetWanted(updateMain, model.updateMainEnabled);
  SetWanted(updateFront, model.updateFrontEnabled);
  SetWanted(updateCharger, model.updateChargerEnabled);
  SetWanted(updateTranslation, model.updateTranslationEnabled);
  SetWanted(updateBitmaps, model.updateBitmapsEnabled);
  SetWanted(factoryTitle, model.factoryTitleEnabled);
  SetWanted(setRtc, model.setRtcEnabled);
  SetWanted(resetGasGauge, model.resetGasGaugeEnabled);
}

}  // namespace molvane
