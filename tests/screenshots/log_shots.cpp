// The page as it shows against a freshly connected simulated cart, scrolled to the newest event.
#include <QListWidget>

#include "gui/molvane_dlg.h"
#include "screenshots/shot.h"

namespace screenshots {
namespace {

const AddShot page([] {
  Shot shot;
  shot.file = "log.png";
  shot.tab = 2;
  shot.prepare = [](ShotContext& context) {
    auto* list = context.window.findChild<QListWidget*>("log");
    if (list != nullptr && list->count() > 0) list->setCurrentRow(list->count() - 1);
  };
  return shot;
}());

}  // namespace
}  // namespace screenshots
