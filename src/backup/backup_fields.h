#pragma once
#include <span>
#include <string>
#include <string_view>

#include "app/outcome.h"
#include "backup/cart_backup.h"

namespace molvane {

class CartController;

// One `key = value` line of a backup file: its section and key, the label a preview shows, how
// the value is written and read back, and what sends it to a cart, one command each.
struct BackupField {
  // How a machine-readable copy gives the value: a number, units with one decimal, a text as
  // written, or a text between the double quotes written around it.
  enum class Kind { Number, Tenths, Text, Quoted };
  const char* section;
  const char* key;
  const char* label;
  Kind kind;
  std::string (*text)(const CartBackup& backup);
  // Takes the value as a file gives it; false when it is none a cart could be sent.
  bool (*read)(CartBackup& backup, std::string_view value);
  // Null for the fields kept for the record only.
  Outcome (*send)(CartController& controller, const CartBackup& backup);
  // The cart's command that `send` gives, named when a setting went through only in part.
  const char* command = nullptr;
  // The setting the field is part of when the cart takes it in several commands (the two lock
  // times, the badge format): a restore sends those together, with no cancel between them.
  // Null: a setting of its own.
  const char* setting = nullptr;
};

// In the order they are written and sent. The PINs come after all of them.
std::span<const BackupField> BackupFields();

// The sections in the order they are written; the PIN section is last.
std::span<const char* const> BackupSections();
inline constexpr const char* kPinSection = "pins";

// A restore would change this field: it is sent, the backup has a value for it (a badge setting
// the cart did not report is left as it is) and the cart holds another one.
bool FieldDiffers(const BackupField& field, const CartBackup& cart, const CartBackup& backup);

// A record read from a cart is written only when every value in it could be sent back to one;
// otherwise this names the first that could not. Empty when the whole record could be restored.
std::string UnrestorableValue(const CartBackup& backup);

}  // namespace molvane
