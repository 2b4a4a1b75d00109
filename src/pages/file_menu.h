#pragma once
#include <functional>
#include <string>

#include "app/outcome.h"
#include "pages/cart_client.h"

namespace molvane {

struct CartBackup;

// The File menu's "Back Up Cart...", "Restore Cart..." and "Save Support Report..." without the
// window. Each asks for the file, keeps off the port while a transfer runs, and tells the
// operator how it ended; a restore is shown in full and sends nothing unless the operator
// accepts it.
class FileMenu : public CartClient {
 public:
  static constexpr const char* kBackUpTitle = "Back Up Cart";
  static constexpr const char* kRestoreTitle = "Restore Cart";
  static constexpr const char* kSupportReportTitle = "Save Support Report";

  using CartClient::CartClient;

  void BackUpCart();
  // `changed` hears of it when commands that change the cart were sent, so that the pages read
  // it again.
  void RestoreCart(std::function<void()> changed = {});
  // Asks where, writes the report (access codes masked) and says how it went.
  void SaveSupportReport();

 private:
  bool PortFree() const;
  void RecordBackup(const std::string& path, const CartBackup& backup, const Outcome& written);
};

}  // namespace molvane
