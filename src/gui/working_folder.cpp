#include "gui/working_folder.h"

#include <QCoreApplication>
#include <QDir>

#include "app/cart_controller.h"
#include "app/settings_folder.h"

namespace molvane {

bool EnterSettingsFolder(CartController& controller) {
  return EnterSettingsFolder(controller, QCoreApplication::applicationDirPath());
}

bool EnterSettingsFolder(CartController& controller, const QString& programFolder) {
  if (programFolder.isEmpty()) return false;
  controller.SetProgramFolder(QDir::toNativeSeparators(programFolder).toStdString());
  return QDir::setCurrent(QString::fromStdString(SettingsFolder(controller.GetProgramFolder())));
}

}  // namespace molvane
