#include "pages/service_page.h"

namespace molvane {

// The page has no fields of its own yet, so there is no start state to set up and nothing
// that depends on whether a cart is present.
void ServicePage::Start() {}

void ServicePage::CartNotice(bool present) { (void)present; }

}  // namespace molvane
