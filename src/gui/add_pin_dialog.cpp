#include "gui/add_pin_dialog.h"

#include <QHBoxLayout>
#include <QPushButton>

#include "cart/pin_text.h"
#include "gui/cfilter_edit.h"
#include "pages/ui_services.h"

namespace molvane {

AddPinDialog::AddPinDialog(UiServices& ui, QWidget* parent) : QDialog(parent), ui(ui) {
  setWindowTitle(kCaption);

  pinEdit = new CFilterEdit(this);
  pinEdit->setObjectName("pinText");
  pinEdit->setAccessibleName("Pin Number");
  pinEdit->SetFilter(PinTextFilter());
  pinEdit->setMinimumWidth(pinEdit->fontMetrics().horizontalAdvance(QString(16, '0')));

  auto* add = new QPushButton("Add", this);
  add->setObjectName("add");
  add->setDefault(true);
  connect(add, &QPushButton::clicked, this, &AddPinDialog::OnAdd);
  auto* cancel = new QPushButton("Cancel", this);
  cancel->setObjectName("cancel");
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

  auto* row = new QHBoxLayout(this);
  row->addWidget(pinEdit, 1);
  row->addWidget(add);
  row->addWidget(cancel);
  pinEdit->setFocus();
}

void AddPinDialog::OnAdd() {
  const std::string text = pinEdit->text().toStdString();
  if (!IsAcceptablePinText(text)) {
    ui.ShowError(kPinOutOfRangeText);
    return;
  }
  acceptedPin = text;
  accept();
}

}  // namespace molvane
