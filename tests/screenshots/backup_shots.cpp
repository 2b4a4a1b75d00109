// File > "Restore Cart..." as the operator sees it before anything is sent: a backup of this
// cart taken before a few settings and PINs were changed.
#include <optional>

#include "app/cart_controller.h"
#include "backup/backup_read.h"
#include "backup/cart_restore.h"
#include "gui/change_preview_dialog.h"
#include "gui/molvane_dlg.h"
#include "pages/file_menu.h"
#include "screenshots/shot.h"

namespace screenshots {
namespace {

const AddShot preview([] {
  Shot shot;
  shot.prepare = [](ShotContext& context) {
    molvane::CartBackup backup;
    std::optional<molvane::CartRestore> restore;
    bool previewed = false;
    context.onCart([&] {
      if (!molvane::ReadCartBackup(context.controller, backup)) return;
      backup.name = "Ward 7 North";
      backup.keyboardLightTimeout = 120;
      backup.maxUpCurrentTenths = 75;
      backup.pins.erase(backup.pins.begin());
      backup.pins.push_back({55667, 0});
      backup.pins.push_back({902114, 0});
      restore.emplace(context.controller, backup);
      previewed = static_cast<bool>(restore->Preview());
    });
    if (!previewed) return;
    molvane::ChangePreviewDialog dialog(
        molvane::FileMenu::kRestoreTitle,
        "Restoring Cart MV-20417.txt changes this on the cart:", restore->Changes().Lines(),
        molvane::PreviewNote(restore->Changes()), &context.window);
    dialog.show();
    context.wait(300);
    context.save("restore-preview.png", dialog);
  };
  return shot;
}());

}  // namespace
}  // namespace screenshots
