#include "fleet/fleet_records.h"

namespace molvane {

const char* WorkKindName(CartWork::Kind kind) {
  switch (kind) {
    case CartWork::Kind::Backup:
      return "backup";
    case CartWork::Kind::Restore:
      return "restore";
    case CartWork::Kind::Firmware:
      return "firmware";
    case CartWork::Kind::Bitmap:
      return "bitmap";
    case CartWork::Kind::FactoryTitle:
      return "title";
  }
  return "backup";
}

}  // namespace molvane
