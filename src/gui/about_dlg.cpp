#include "gui/about_dlg.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "gui/app_icon.h"

namespace molvane {

CAboutDlg::CAboutDlg(QWidget* parent) : QDialog(parent) {
  setWindowTitle(kCaption);

  auto* picture = new QLabel(this);
  picture->setObjectName("picture");
  picture->setPixmap(MolvanePixmap(48));

  auto* version = new QLabel(kVersionText, this);
  version->setObjectName("versionText");

  auto* ok = new QPushButton("OK", this);
  ok->setDefault(true);
  connect(ok, &QPushButton::clicked, this, &QDialog::accept);

  auto* row = new QHBoxLayout(this);
  row->addWidget(picture, 0, Qt::AlignTop);
  row->addSpacing(12);
  row->addWidget(version, 1, Qt::AlignVCenter);
  auto* buttons = new QVBoxLayout;
  buttons->addWidget(ok);
  buttons->addStretch();
  row->addLayout(buttons);
}

}  // namespace molvane
