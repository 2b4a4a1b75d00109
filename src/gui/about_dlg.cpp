#include "gui/about_dlg.h"

#include <QDir>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "gui/app_icon.h"

namespace molvane {

CAboutDlg::CAboutDlg(QWidget* parent, const QString& settingsFolder) : QDialog(parent) {
  setWindowTitle(kCaption);

  auto* picture = new QLabel(this);
  picture->setObjectName("picture");
  picture->setPixmap(MolvanePixmap(48));

  auto* version = new QLabel(kVersionText, this);
  version->setObjectName("versionText");
  auto* folder = new QLabel("Settings folder: " + QDir::toNativeSeparators(settingsFolder), this);
  folder->setObjectName("settingsFolder");
  folder->setTextInteractionFlags(Qt::TextSelectableByMouse);
  folder->setVisible(!settingsFolder.isEmpty());

  auto* ok = new QPushButton("OK", this);
  ok->setDefault(true);
  connect(ok, &QPushButton::clicked, this, &QDialog::accept);

  auto* row = new QHBoxLayout(this);
  row->addWidget(picture, 0, Qt::AlignTop);
  row->addSpacing(12);
  auto* texts = new QVBoxLayout;
  texts->addStretch();
  texts->addWidget(version);
  texts->addWidget(folder);
  texts->addStretch();
  row->addLayout(texts, 1);
  auto* buttons = new QVBoxLayout;
  buttons->addWidget(ok);
  buttons->addStretch();
  row->addLayout(buttons);
}

}  // namespace molvane
