#include "gui/calibrate_dialog.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "gui/drawer_layout_picture.h"
#include "gui/labelled.h"
#include "gui/page_button.h"

namespace molvane {
namespace {

constexpr int kLimitWidth = 60;
constexpr int kPlacesPerColumn = 4;

// A check box or radio button the cart sets and the operator only reads.
template <class Button>
Button* DisplayOnly(Button* button) {
  button->setAttribute(Qt::WA_TransparentForMouseEvents);
  button->setFocusPolicy(Qt::NoFocus);
  return button;
}

// Read-only text: selectable with the mouse, left out of the tab chain.
QLineEdit* ReadOnlyEdit(QWidget* parent, const char* name) {
  auto* edit = new QLineEdit(parent);
  edit->setObjectName(name);
  edit->setReadOnly(true);
  edit->setFocusPolicy(Qt::ClickFocus);
  return edit;
}

QString LayoutObjectName(int code) { return QString("layout%1").arg(code, 2, 16, QChar('0')); }

}  // namespace

CalibrateDialog::CalibrateDialog(CartController& controller, UiServices& ui, QWidget* parent)
    : PageView(parent), model(controller, ui) {
  auto* left = new QVBoxLayout;
  left->addWidget(BuildSensors());
  left->addWidget(BuildLockBits());
  QPushButton* update = OperationButton("Update Cart", "updateCart", &CalibratePage::UpdateCart);
  left->addWidget(update, 0, Qt::AlignRight);
  left->addStretch();

  auto* top = new QHBoxLayout;
  top->addLayout(left);
  top->addWidget(BuildLift(), 1, Qt::AlignTop);

  auto* page = new QVBoxLayout(this);
  page->addLayout(top);
  page->addWidget(BuildDrawerConfiguration(), 1);
  tabChain.push_back(update);
  SetTabOrder();
  Bind();
}

QPushButton* CalibrateDialog::OperationButton(const char* text, const char* name,
                                              void (CalibratePage::*operation)()) {
  return AddButton(text, name, this, [this, operation] { (model.*operation)(); });
}

QGroupBox* CalibrateDialog::BuildSensors() {
  auto* group = new QGroupBox("Drawer Sensors", this);
  QPushButton* run = OperationButton("Run Sensors", "runSensors", &CalibratePage::RunSensors);
  QPushButton* stop = OperationButton("Stop Sensors", "stopSensors", &CalibratePage::StopSensors);
  tabChain.insert(tabChain.end(), {run, stop});

  auto* status = ReadOnlyEdit(group, "sensorStatus");
  auto* value = ReadOnlyEdit(group, "sensorValue");
  auto* statusLabel = new QLabel("Status", group);
  auto* valueLabel = new QLabel("Numeric Value:", group);
  LabelFor(statusLabel, status);
  LabelFor(valueLabel, value);
  fields.Text(status, model.sensorStatus, FieldBindings::Wins::Cart);
  fields.Text(value, model.sensorValue, FieldBindings::Wins::Cart);

  auto* texts = new QGridLayout;
  texts->addWidget(run, 0, 0);
  texts->addWidget(stop, 0, 1);
  texts->addWidget(statusLabel, 1, 0);
  texts->addWidget(status, 1, 1);
  texts->addWidget(valueLabel, 2, 0);
  texts->addWidget(value, 2, 1);
  texts->setRowStretch(3, 1);

  // Bits 0 to 3 stand in the right column, 4 to 7 in the left, each from the bottom up, as the
  // drawer places do on the cart's front.
  auto* lamps = new QGridLayout;
  lamps->setVerticalSpacing(2);
  for (int bit = 0; bit < CalibratePage::kSensorBitCount; ++bit) {
    auto* lamp = DisplayOnly(new QRadioButton(group));
    lamp->setAutoExclusive(false);
    lamp->setObjectName(QString("sensorBit%1").arg(bit));
    lamp->setAccessibleName(QString("Sensor bit %1").arg(bit));
    lamp->setToolTip(lamp->accessibleName());
    const int column = bit < kPlacesPerColumn ? 1 : 0;
    lamps->addWidget(lamp, kPlacesPerColumn - 1 - bit % kPlacesPerColumn, column);
    fields.Check(lamp, model.sensorLit[static_cast<std::size_t>(bit)], FieldBindings::Wins::Cart);
  }

  auto* box = new QHBoxLayout(group);
  box->addLayout(texts, 1);
  box->addLayout(lamps);
  return group;
}

QLineEdit* CalibrateDialog::AddLimit(QGridLayout* grid, int row, const char* label,
                                     const char* unit, std::string& field) {
  auto* text = new QLabel(label, this);
  auto* edit = new QLineEdit(this);
  edit->setFixedWidth(kLimitWidth);
  LabelFor(text, edit);
  fields.Text(edit, field);
  grid->addWidget(text, row, 0);
  grid->addWidget(edit, row, 1);
  grid->addWidget(new QLabel(unit, this), row, 2);
  tabChain.push_back(edit);
  return edit;
}

QGroupBox* CalibrateDialog::BuildLift() {
  auto* group = new QGroupBox("Lift", this);
  auto* locked = DisplayOnly(new QCheckBox("Locked", group));
  auto* autoLock = DisplayOnly(new QCheckBox("Auto Lock", group));
  locked->setObjectName("liftLocked");
  autoLock->setObjectName("autoLock");
  fields.Check(locked, model.liftLocked, FieldBindings::Wins::Cart);
  fields.Check(autoLock, model.autoLock, FieldBindings::Wins::Cart);

  QPushButton* up = OperationButton("Lift Up", "liftUp", &CalibratePage::LiftUp);
  QPushButton* brake = OperationButton("Brake", "brake", &CalibratePage::Brake);
  QPushButton* down = OperationButton("Lift Down", "liftDown", &CalibratePage::LiftDown);
  QPushButton* toggleLock =
      OperationButton("Toggle Lock", "toggleLock", &CalibratePage::ToggleLock);
  QPushButton* toggleAuto =
      OperationButton("Toggle Auto", "toggleAuto", &CalibratePage::ToggleAuto);
  tabChain.insert(tabChain.end(), {up, brake, down, toggleLock, toggleAuto});

  auto* grid = new QGridLayout(group);
  grid->addWidget(up, 0, 0);
  grid->addWidget(brake, 0, 1);
  grid->addWidget(down, 0, 2);
  grid->addWidget(locked, 1, 0);
  grid->addWidget(toggleLock, 1, 1);
  grid->addWidget(autoLock, 2, 0);
  grid->addWidget(toggleAuto, 2, 1);

  auto* limits = new QGridLayout;
  AddLimit(limits, 0, "Max Up Current", "Amps", model.maxUpCurrent)->setObjectName("maxUpCurrent");
  AddLimit(limits, 1, "Max Down Current", "Amps", model.maxDownCurrent)
      ->setObjectName("maxDownCurrent");
  AddLimit(limits, 2, "Min Battery Voltage", "Volts", model.minBatteryVoltage)
      ->setObjectName("minBatteryVoltage");
  AddLimit(limits, 3, "Auto-Lock Timeout", "Sec", model.autoLockTimeout)
      ->setObjectName("autoLockTimeout");
  limits->setColumnStretch(3, 1);  // label, field and unit stay together on a wide page
  grid->addLayout(limits, 3, 0, 1, 3);
  return group;
}

QGroupBox* CalibrateDialog::BuildDrawerConfiguration() {
  auto* group = new QGroupBox("Drawer Configuration", this);
  auto* row = new QHBoxLayout(group);
  for (int i = 0; i < CalibratePage::kLayoutCount; ++i) {
    const DrawerLayout& layout = kDrawerLayouts[static_cast<std::size_t>(i)];
    auto* button = new QRadioButton(group);
    // Each button stands alone; the page keeps one of them selected.
    button->setAutoExclusive(false);
    button->setObjectName(LayoutObjectName(layout.code));
    button->setAccessibleName(QString("Drawers: ") + layout.description);
    button->setToolTip(layout.description);
    auto* picture = new DrawerLayoutPicture(layout.code, group);
    picture->setToolTip(layout.description);
    connect(button, &QRadioButton::clicked, this,
            [this, i] { Act([this, i] { model.SelectDrawerLayout(i); }); });
    connect(picture, &DrawerLayoutPicture::clicked, button, &QRadioButton::click);
    fields.Check(button, model.layoutSelected[static_cast<std::size_t>(i)]);
    pictures[static_cast<std::size_t>(i)] = picture;
    tabChain.push_back(button);

    auto* column = new QVBoxLayout;
    column->addWidget(button, 0, Qt::AlignHCenter);
    column->addWidget(picture, 1);
    row->addLayout(column, 1);
  }
  auto* code = ReadOnlyEdit(group, "drawerCode");
  code->setAccessibleName("Drawer Code");
  code->setFixedWidth(kLimitWidth);
  fields.Text(code, model.drawerCode, FieldBindings::Wins::Cart);
  row->addWidget(code, 0, Qt::AlignBottom);
  return group;
}

QGroupBox* CalibrateDialog::BuildLockBits() {
  auto* group = new QGroupBox("Lock Bits", this);
  QPushButton* read = OperationButton("Lock Bits", "readLockBits", &CalibratePage::LockBits);
  auto* bits = ReadOnlyEdit(group, "lockBits");
  bits->setAccessibleName("Lock Bits");
  fields.Text(bits, model.lockBits, FieldBindings::Wins::Cart);
  auto* row = new QHBoxLayout(group);
  row->addWidget(read);
  row->addWidget(bits, 1);
  tabChain.push_back(read);
  return group;
}

void CalibrateDialog::SetTabOrder() {
  for (std::size_t i = 1; i < tabChain.size(); ++i) setTabOrder(tabChain[i - 1], tabChain[i]);
}

void CalibrateDialog::WriteState() {
  for (std::size_t i = 0; i < pictures.size(); ++i)
    pictures[i]->SetSelected(model.layoutSelected[i]);
}

}  // namespace molvane
