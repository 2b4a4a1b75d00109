#include "gui/setup_dialog.h"

#include <QButtonGroup>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

#include "cart/setup_values.h"
#include "gui/labelled.h"
#include "gui/page_button.h"

namespace molvane {
namespace {

constexpr int kNumberWidth = 70;

QLineEdit* ReadOnlyEdit(const char* name, QWidget* parent) {
  auto* edit = new QLineEdit(parent);
  edit->setObjectName(name);
  edit->setReadOnly(true);
  return edit;
}

// The model keeps the cart's CR LF line ends; the box shows one line per version.
QPlainTextEdit* VersionBox(const char* name, const std::string& field, FieldBindings& fields,
                           QWidget* parent) {
  auto* box = new QPlainTextEdit(parent);
  box->setObjectName(name);
  box->setReadOnly(true);
  box->setLineWrapMode(QPlainTextEdit::NoWrap);
  // Read-only text is selected with the mouse; the Tab key passes it by, as it shows no focus.
  box->setFocusPolicy(Qt::ClickFocus);
  box->setTabChangesFocus(true);
  fields.Shown([box, &field] {
    const QString text = QString::fromStdString(field).replace("\r\n", "\n");
    if (box->toPlainText() != text) box->setPlainText(text);
  });
  return box;
}

QFrame* Frame(QWidget* parent) {
  auto* frame = new QFrame(parent);
  frame->setFrameShape(QFrame::StyledPanel);
  return frame;
}

}  // namespace

SetupDialog::SetupDialog(CartController& controller, UiServices& ui, QWidget* parent)
    : PageView(parent), model(controller, ui) {
  // Created in keyboard order: settings and their buttons, then identity, then what is read only.
  QGroupBox* timeouts = BuildTimeouts();
  QGroupBox* lockBox = BuildLockType();
  QWidget* identity = BuildIdentity();
  QGroupBox* power = BuildPowerSupply();
  QWidget* versions = BuildVersions();

  auto* left = new QVBoxLayout;
  left->addWidget(timeouts);
  left->addWidget(lockBox);
  left->addStretch();
  auto* right = new QVBoxLayout;
  right->addWidget(identity);
  right->addWidget(power);
  right->addWidget(versions, 1);
  auto* layout = new QHBoxLayout(this);
  layout->addLayout(left);
  layout->addLayout(right, 1);
  Bind();
}

QLineEdit* SetupDialog::AddNumberRow(QGridLayout* grid, int row, const char* label,
                                     const char* unit, int maxLength, std::string& field) {
  QWidget* box = grid->parentWidget();
  auto* caption = new QLabel(label, box);
  auto* edit = new QLineEdit(box);
  // The length limits typing only: a longer value the cart reports is shown whole, as a length
  // limit on the edit would cut it and Update would send the cut value back.
  const QString digits = QString("[0-9]{0,%1}").arg(maxLength);
  edit->setValidator(new QRegularExpressionValidator(QRegularExpression(digits), edit));
  edit->setFixedWidth(kNumberWidth);
  LabelFor(caption, edit);
  edit->setAccessibleDescription(unit);
  grid->addWidget(caption, row, 0);
  grid->addWidget(edit, row, 1);
  grid->addWidget(new QLabel(unit, box), row, 2);
  fields.Text(edit, field);
  return edit;
}

QGroupBox* SetupDialog::BuildTimeouts() {
  auto* box = new QGroupBox("Cart Timeouts", this);
  auto* grid = new QGridLayout(box);
  AddNumberRow(grid, 0, "Drawer Lock-Down:", "sec", 5, model.drawerLockTimeout)
      ->setObjectName("drawerLockTimeout");
  AddNumberRow(grid, 1, "Keyboard Light:", "sec", 5, model.keyboardLightTimeout)
      ->setObjectName("keyboardLightTimeout");
  AddNumberRow(grid, 2, "LCD Backlight:", "sec", 2, model.backlightTimeout)
      ->setObjectName("backlightTimeout");
  grid->addWidget(new QLabel("Lock Activation Time", box), 3, 0, 1, 3);
  AddNumberRow(grid, 4, "Main:", "ms", 5, model.mainLockMs)->setObjectName("mainLockMs");
  AddNumberRow(grid, 5, "Sides:", "ms", 5, model.sideLockMs)->setObjectName("sideLockMs");
  QPushButton* update = AddButton("Update", "update", box, [this] { model.Update(); });
  grid->addWidget(update, 6, 0, 1, 3, Qt::AlignRight);
  grid->setColumnStretch(3, 1);
  return box;
}

QGroupBox* SetupDialog::BuildLockType() {
  auto* box = new QGroupBox("Lock Type", this);
  motorButton = new QRadioButton(kMotorLockLabel, box);
  motorButton->setObjectName("motor");
  solenoidButton = new QRadioButton(kSolenoidLockLabel, box);
  solenoidButton->setObjectName("solenoid");
  lockType = new QButtonGroup(box);
  lockType->addButton(motorButton);
  lockType->addButton(solenoidButton);
  QPushButton* setType = AddButton("Set Type", "setType", box, [this] { model.SetType(); });
  auto* column = new QVBoxLayout(box);
  column->addWidget(motorButton);
  column->addWidget(solenoidButton);
  column->addWidget(setType, 0, Qt::AlignRight);

  // The pair travels as two characters, motor then solenoid. An exclusive group refuses to
  // clear its checked button, so "neither" (before the first reading) is written with the group
  // loosened for a moment.
  const auto lockText = [](bool motor, bool solenoid) {
    return std::string{motor ? '1' : '0', solenoid ? '1' : '0'};
  };
  fields.Pair(
      box, FieldBindings::Wins::Operator,
      [this, lockText] { return lockText(motorButton->isChecked(), solenoidButton->isChecked()); },
      [this](const std::string& both) {
        lockType->setExclusive(false);
        motorButton->setChecked(both[0] == '1');
        solenoidButton->setChecked(both[1] == '1');
        lockType->setExclusive(true);
      },
      [this, lockText] { return lockText(model.motor, model.solenoid); },
      [this](const std::string& both) {
        model.motor = both[0] == '1';
        model.solenoid = both[1] == '1';
      });

  return box;
}

QWidget* SetupDialog::BuildIdentity() {
  QFrame* frame = Frame(this);
  auto* nameLabel = new QLabel("Cart Name:", frame);
  QLineEdit* name = ReadOnlyEdit("cartName", frame);
  name->setMaxLength(static_cast<int>(SetupPage::kShownNameLength));
  LabelFor(nameLabel, name);
  auto* serialLabel = new QLabel("Serial Number:", frame);
  auto* serial = new QLineEdit(frame);
  serial->setObjectName("serialNumber");
  LabelFor(serialLabel, serial);
  QPushButton* set = AddButton("Set", "set", frame, [this] { model.Set(); });
  auto* grid = new QGridLayout(frame);
  grid->addWidget(nameLabel, 0, 0);
  grid->addWidget(name, 0, 1);
  grid->addWidget(serialLabel, 1, 0);
  grid->addWidget(serial, 1, 1);
  grid->addWidget(set, 1, 2);
  // The name is what the cart calls itself now: the page polls it.
  fields.Text(name, model.cartName, FieldBindings::Wins::Cart);
  fields.Text(serial, model.serialNumber);
  return frame;
}

QGroupBox* SetupDialog::BuildPowerSupply() {
  auto* box = new QGroupBox("Power Supply", this);
  QLineEdit* supply = ReadOnlyEdit("powerSupply", box);
  supply->setAlignment(Qt::AlignCenter);
  supply->setAccessibleName("Power Supply");
  auto* row = new QVBoxLayout(box);
  row->addWidget(supply);
  fields.Text(supply, model.powerSupply, FieldBindings::Wins::Cart);
  return box;
}

QWidget* SetupDialog::BuildVersions() {
  QFrame* frame = Frame(this);
  auto* firmwareLabel = new QLabel("Firmware Versions:", frame);
  QPlainTextEdit* firmware = VersionBox("firmwareVersions", model.firmwareVersions, fields, frame);
  LabelFor(firmwareLabel, firmware);
  auto* hardwareLabel = new QLabel("Hardware Versions:", frame);
  QPlainTextEdit* hardware = VersionBox("hardwareVersions", model.hardwareVersions, fields, frame);
  LabelFor(hardwareLabel, hardware);
  auto* column = new QVBoxLayout(frame);
  column->addWidget(firmwareLabel);
  column->addWidget(firmware, 2);
  column->addWidget(hardwareLabel);
  column->addWidget(hardware, 1);
  return frame;
}

}  // namespace molvane
