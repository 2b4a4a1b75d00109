#pragma once
#include <string>

#include "app/outcome.h"
#include "app/progress.h"
#include "backup/cart_backup.h"

namespace molvane {

class CartController;

// Reads everything a backup holds from the connected cart, with the readers the pages use. A
// reply that did not come would read as zeros, which a restore would then send: so a failure,
// with the first failure's message, when any command did not go through. `progress` hears how
// many of its parts were read (versions, identity, setup, badge format, lift, PINs) and may
// cancel between them, which is a failure as well.
Outcome ReadCartBackup(CartController& controller, CartBackup& backup,
                       const Progress& progress = {});

}  // namespace molvane
