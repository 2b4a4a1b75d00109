#include "gui/working_folder.h"

#include <QCoreApplication>
#include <QDir>

#include "app/cart_controller.h"

namespace molvane {

bool EnterProgramFolder(CartController& controller) {
  const QString folder = QCoreApplication::applicationDirPath();
  if (folder.isEmpty()) return false;
  controller.SetProgramFolder(QDir::toNativeSeparators(folder).toStdString());
  return QDir::setCurrent(folder);
}

}  // namespace molvane
