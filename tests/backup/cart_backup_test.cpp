// Cloning a cart: a backup of one simulated cart restored onto another, the lift limits going
// back as the tenths they came as, and the file refused line by line.
#include <gtest/gtest.h>

#include <set>

#include "backup/backup_file.h"
#include "backup/backup_read.h"
#include "backup/cart_restore.h"
#include "cart/lift_settings.h"
#include "support/sim_fixture.h"

namespace {

using testing_support::EmptyCart;

using molvane::CartBackup;
using testing_support::SimFixture;

// Every setting a backup carries, each away from the simulated cart's defaults and at an edge.
void SetEverything(cartsim::CartSettings& s) {
  s.name = " Ward 7 North ";
  s.serial = "SN-0042";
  s.backlightTimeout = 0;
  s.keyboardTimeout = 65535;
  s.relockTimeout = 1;
  s.cartType = 170;
  s.mainLockMs = 2500;
  s.sideLockMs = 0;
  s.rfidBits = "4";
  s.rfidMask = "PBB0";
  s.rfidFacility = "65535";
  s.maxPinDigits = "10";
  s.liftUpCurrentTenths = 767;
  s.liftDownCurrentTenths = 3;
  s.liftMinVoltsTenths = 237;
  s.liftRelockTimeout = 65534;
  s.sensorMask = 0x8F;
}

// What a restore must carry over: every setting an operator can set, and the PINs.
auto Settable(const cartsim::CartSettings& s) {
  return std::make_tuple(s.name, s.serial, s.backlightTimeout, s.keyboardTimeout, s.relockTimeout,
                         s.cartType, s.mainLockMs, s.sideLockMs, s.rfidBits, s.rfidMask,
                         s.rfidFacility, s.maxPinDigits, s.liftUpCurrentTenths,
                         s.liftDownCurrentTenths, s.liftMinVoltsTenths, s.liftRelockTimeout,
                         s.sensorMask);
}

std::set<std::uint32_t> PinsOf(SimFixture& fixture) {
  return fixture.Cart([](cartsim::CartModel& cart) {
    std::set<std::uint32_t> pins;
    for (int i = 0; i < cart.Pins().Count(); ++i) pins.insert(cart.Pins().At(i)->pin);
    return pins;
  });
}

TEST(CartBackup, RestoredOntoAnEmptyCartGivesTheSameSettingsAndPins) {
  SimFixture source;  // seeded with PINs of different ages
  SimFixture target(EmptyCart());
  ASSERT_TRUE(source.Connect());
  ASSERT_TRUE(target.Connect());
  source.Cart([](cartsim::CartModel& cart) { return SetEverything(cart.Settings()), 0; });
  target.Cart([](cartsim::CartModel& cart) { return cart.Pins().Add(999, 0), 0; });

  CartBackup read;
  const molvane::Outcome readOut = molvane::ReadCartBackup(source.controller, read);
  ASSERT_TRUE(readOut) << readOut.text;
  std::string failure;
  const std::string path = source.dir.File("cart.txt");
  ASSERT_TRUE(molvane::WriteBackupFile(path, read));
  CartBackup fromFile;
  ASSERT_TRUE(molvane::ReadBackupFile(path, fromFile, failure)) << failure;
  EXPECT_EQ(molvane::FormatBackup(fromFile), molvane::FormatBackup(read));

  molvane::CartRestore restore(target.controller, fromFile);
  ASSERT_TRUE(restore.Preview()) << restore.Failure();
  const std::vector<std::string> lines = restore.Changes().Lines();
  EXPECT_EQ(lines.front(), "Cart name: \"Cart\" -> \" Ward 7 North \"");
  EXPECT_NE(std::find(lines.begin(), lines.end(), "Remove PIN 999"), lines.end());
  EXPECT_NE(molvane::AddedPinNote(restore.Changes()).find("own clock"), std::string::npos);

  const molvane::RestoreOutcome outcome = restore.Apply(path);
  EXPECT_TRUE(outcome.verified) << outcome.Message();
  const auto settings = [](cartsim::CartModel& cart) { return Settable(cart.Settings()); };
  EXPECT_EQ(target.Cart(settings), source.Cart(settings));
  EXPECT_EQ(PinsOf(target), PinsOf(source));

  // The cart stamps a PIN with its own clock when it is added: a month-old PIN comes back new.
  const auto oldestAge = [](cartsim::CartModel& cart) {
    std::int64_t oldest = cart.Clock().Now();
    for (int i = 0; i < cart.Pins().Count(); ++i)
      oldest = std::min<std::int64_t>(oldest, cart.Pins().At(i)->activated);
    return cart.Clock().Now() - oldest;
  };
  EXPECT_GT(source.Cart(oldestAge), 31 * 86400);
  EXPECT_LT(target.Cart(oldestAge), 60);
}

TEST(CartBackup, LiftLimitsGoBackAsTheTenthsTheyCameAs) {
  for (int tenths = 0; tenths <= 767; ++tenths) {
    const float units = static_cast<float>(tenths) / 10.0f;
    EXPECT_EQ(molvane::LiftCurrentToTenths(units), tenths);
    EXPECT_EQ(molvane::LiftVoltsToTenths(units), tenths);
  }
}

// The record a file of each case starts from: the format as written for a small cart.
std::string GoodFile() {
  CartBackup backup;
  backup.name = "Cart";
  backup.backlightTimeout = 30;
  backup.pins = {{1234, 0}, {7, 0}};
  return molvane::FormatBackup(backup);
}

std::string Replaced(std::string text, const std::string& from, const std::string& to) {
  const std::size_t at = text.find(from);
  return at == std::string::npos ? text : text.replace(at, from.size(), to);
}

// The number of the last line that holds `fragment`, counted from 1.
int LineOf(const std::string& text, const std::string& fragment) {
  const std::size_t at = text.rfind(fragment);
  if (at == std::string::npos) return 0;
  return 1 + static_cast<int>(std::count(text.begin(), text.begin() + static_cast<long>(at), '\n'));
}

TEST(BackupFile, RefusesWhatItDoesNotWhollyUnderstandNamingTheLine) {
  const std::string good = GoodFile();
  CartBackup parsed;
  molvane::BackupFileError error;
  ASSERT_TRUE(molvane::ParseBackup(good, parsed, error)) << molvane::BackupErrorText(error);
  EXPECT_EQ(parsed.pins.size(), 2u);

  struct Case {
    std::string from, to;  // the good file with `from` replaced by `to`
    std::string line;      // the line named, empty for a fault of the whole file
    std::string reason;    // a part of the reason given
  };
  const Case cases[] = {
      {"version 1", "version 2", "Molvane cart backup version 2", "version 1"},
      {"Molvane cart", "Some other", "Some other backup version 1", "not a cart backup"},
      {"lcd_backlight_seconds = 30", "lcd_backlight_seconds = 65536",
       "lcd_backlight_seconds = 65536", "LCD backlight"},
      {"name = \"Cart\"", "name = Cart", "name = Cart", "Cart name"},
      {"type = solenoid", "type = magnet", "type = magnet", "Lock type"},
      {"max_up_current_amperes = 0.0", "max_up_current_amperes = 0.05",
       "max_up_current_amperes = 0.05", "Max up current"},
      {"code = 0x00", "colour = red", "colour = red", "no setting"},
      {"[drawers]", "[drawer]", "[drawer]", "no such section"},
      {"1234\t", "12a4\t", "12a4", "not a PIN line"},
      {"7\t", "1234\t", "1234", "appears twice"},
      {"7\t", "4294967296\t", "4294967296", "not a PIN line"},
      {"type = solenoid\r\n", "", "", "no line for type"},
      {"[end]\r\n", "", "", "cut short"},
  };
  for (const Case& c : cases) {
    const std::string text = Replaced(good, c.from, c.to);
    ASSERT_NE(text, good) << c.from;
    CartBackup refused;
    refused.name = "untouched";
    EXPECT_FALSE(molvane::ParseBackup(text, refused, error)) << c.to;
    EXPECT_EQ(refused.name, "untouched") << c.to;
    EXPECT_NE(error.reason.find(c.reason), std::string::npos) << c.to << ": " << error.reason;
    if (c.line.empty()) {
      EXPECT_EQ(error.lineNumber, 0) << c.to;
    } else {
      EXPECT_EQ(error.lineNumber, LineOf(text, c.line)) << c.to;
      EXPECT_EQ(error.line.substr(0, c.line.size()), c.line) << c.to;
    }
  }
}

// A file made to harm: its refused value drives no terminal, a NUL does not cut the message
// short, and a line of 900 KB is not repeated whole.
TEST(BackupFile, ARefusedHostileValueIsShownEscapedAndCut) {
  const std::string hostile =
      "\x1b]0;owned\x07\x1b[2J" + std::string("a\0b", 3) + std::string(900000, 'x');
  testing_support::TempDir dir;
  const std::string path = dir.File("hostile.txt");
  testing_support::WriteFile(path, Replaced(GoodFile(), "type = solenoid", "type = " + hostile));
  CartBackup refused;
  std::string failure;
  EXPECT_FALSE(molvane::ReadBackupFile(path, refused, failure));
  EXPECT_LT(failure.size(), 400u) << failure.substr(0, 400);
  EXPECT_EQ(failure.find_first_of(std::string("\x1b\x07\0", 3)), std::string::npos) << failure;
  EXPECT_NE(failure.find("\"\\x1B]0;owned\\x07\\x1B[2Ja\\0bxxx"), std::string::npos) << failure;
  EXPECT_NE(failure.find("(900017 characters)\" is no value for Lock type"), std::string::npos)
      << failure;
  EXPECT_NE(failure.find("line "), std::string::npos) << failure;
}

}  // namespace
