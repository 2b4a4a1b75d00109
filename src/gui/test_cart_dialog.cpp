#include "gui/test_cart_dialog.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "cart/status_flags.h"
#include "gui/labelled.h"
#include "gui/page_button.h"
#include "gui/title_preview.h"
#include "title/customer_title.h"

namespace molvane {
namespace {

// A box that shows the cart's state: a click asks the cart again instead of ticking it.
class StateBox : public QCheckBox {
 public:
  using QCheckBox::QCheckBox;

 protected:
  void nextCheckState() override {}
};

QLineEdit* ReadOnlyEdit(const char* name, QWidget* parent) {
  auto* edit = new QLineEdit(parent);
  edit->setObjectName(name);
  edit->setReadOnly(true);
  return edit;
}

}  // namespace

TestCartDialog::TestCartDialog(CartController& controller, UiServices& ui, QWidget* parent)
    : PageView(parent), model(controller, ui) {
  model.SetTitleRenderer(&renderer);
  auto* grid = new QGridLayout(this);
  grid->addWidget(BuildKeyboard(), 0, 0);
  grid->addWidget(BuildLight(), 1, 0);
  grid->addWidget(BuildStatus(), 2, 0);
  grid->addWidget(BuildCycleCounter(), 0, 1);
  grid->addWidget(BuildTitleScreen(), 1, 1, 2, 1);
  grid->setRowStretch(3, 1);
  grid->setColumnStretch(0, 1);
  grid->setColumnStretch(1, 1);
  Bind();
}

QWidget* TestCartDialog::BuildKeyboard() {
  auto* group = new QGroupBox("Keyboard", this);
  auto* lock = AddButton("Lock", "lockButton", group, [this] { model.Lock(); });
  auto* unlock = AddButton("Unlock", "unlockButton", group, [this] { model.Unlock(); });
  auto* row = new QHBoxLayout(group);
  row->addWidget(lock);
  row->addWidget(unlock);
  return group;
}

QWidget* TestCartDialog::BuildLight() {
  auto* group = new QGroupBox("Light", this);
  auto* toggle = AddButton("Toggle", "toggleButton", group, [this] { model.Toggle(); });
  auto* row = new QHBoxLayout(group);
  row->addWidget(toggle);
  row->addStretch();
  return group;
}

QWidget* TestCartDialog::BuildStatus() {
  auto* group = new QGroupBox("Status", this);
  auto* status = ReadOnlyEdit("statusText", group);
  status->setAccessibleName("Status");
  fields.Text(status, model.statusText, FieldBindings::Wins::Cart);
  auto* column = new QVBoxLayout(group);
  column->addWidget(status);
  const std::pair<const char*, bool*> boxes[] = {{kDrawerUnlockedLabel, &model.drawerUnlocked},
                                                 {kKeyboardLampOnLabel, &model.keyboardLampOn},
                                                 {kLiftingLabel, &model.lifting}};
  for (const auto& [label, flag] : boxes) {
    auto* box = new StateBox(label, group);
    // The boxes show the cart's state: a click reads it again rather than ticking a box.
    fields.Check(box, *flag, FieldBindings::Wins::Cart);
    connect(box, &QCheckBox::clicked, this, [this] { Act([this] { model.StatusBoxClicked(); }); });
    column->addWidget(box);
  }
  return group;
}

QWidget* TestCartDialog::BuildCycleCounter() {
  auto* group = new QGroupBox("Lock Cycle Counter", this);
  auto* count = ReadOnlyEdit("cycleCount", group);
  count->setAccessibleName("Lock Cycle Counter");
  count->setAlignment(Qt::AlignRight);
  fields.Text(count, model.cycleCountText, FieldBindings::Wins::Cart);
  auto* clear = AddButton("Clear", "clearButton", group, [this] { model.Clear(); });
  auto* row = new QHBoxLayout(group);
  row->addWidget(count, 1);
  row->addWidget(clear);
  return group;
}

QWidget* TestCartDialog::BuildTitleScreen() {
  auto* group = new QGroupBox("Customer Title Screen", this);
  auto* name = new QLineEdit(group);
  name->setObjectName("cartName");
  fields.Text(name, model.cartName);
  auto* nameLabel = new QLabel("Cart &Name:", group);
  LabelFor(nameLabel, name);

  auto* status = ReadOnlyEdit("controllerStatus", group);
  fields.Text(status, model.controllerStatus, FieldBindings::Wins::Cart);
  auto* statusLabel = new QLabel("Status:", group);
  LabelFor(statusLabel, status);

  preview = new TitlePreview(
      [this, name]() -> const TitleSurface& {
        DrawCustomerTitle(shown, previewRenderer, name->text().toStdString());
        return shown;
      },
      group);
  preview->setObjectName("titlePreview");
  // The preview draws the typed name itself, on this thread; the model reads the name with the
  // fields when it saves.
  connect(name, &QLineEdit::textEdited, preview, [this] { preview->update(); });
  preview->setAccessibleName("Customer Title Preview");
  saveButton = AddButton("Save", "saveButton", group, [this] { model.Save(); });
  // It names the title's loading in the window's progress bar too.
  saveButton->setAccessibleName("Save Title");

  auto* form = new QFormLayout;
  form->addRow(nameLabel, name);
  form->addRow(statusLabel, status);
  auto* pictureRow = new QHBoxLayout;
  pictureRow->addWidget(preview);
  pictureRow->addStretch();
  pictureRow->addWidget(saveButton, 0, Qt::AlignBottom);
  auto* column = new QVBoxLayout(group);
  column->addLayout(form);
  column->addLayout(pictureRow);
  column->addStretch();
  return group;
}

void TestCartDialog::WriteState() {
  SetWanted(saveButton, model.saveEnabled);
  preview->update();
}

}  // namespace molvane
