#include <gtest/gtest.h>

#include <string>

#include "cart_test_support.h"
#include "sim/cart_model.h"

namespace {

using cart_test::AnswerLines;
using cart_test::EmptyCart;
using cart_test::ManualClock;
using cartsim::CartModel;
using Lines = std::vector<std::string>;

TEST(CartPinList, AddsDateFromTheCartClockAndRefusesDuplicatesAndJunk) {
  ManualClock clock;
  CartModel cart(EmptyCart(clock));
  EXPECT_EQ(cart.Execute("set_time 5 6 7 8 9 10"), ">");
  EXPECT_EQ(cart.Execute("pin_list_add 0000001234"), ">");
  clock.Advance(86400 + 3600);
  EXPECT_EQ(cart.Execute("pin_list_add 4294967295"), ">");
  EXPECT_EQ(cart.Execute("pin_list_add 1234"), "error\r\n>");
  for (const char* junk :
       {"pin_list_add", "pin_list_add 4294967296", "pin_list_add 12a", "pin_list_add -5"}) {
    EXPECT_EQ(cart.Execute(junk), "error\r\n>") << junk;
  }
  EXPECT_EQ(AnswerLines(cart.Execute("pin_list_dump")),
            (Lines{"1234 5 6 7 8 9 10", "4294967295 5 6 8 9 9 10"}));
}

TEST(CartPinList, RemovesByValueAndRefusesAbsentPins) {
  ManualClock clock;
  CartModel cart(EmptyCart(clock));
  for (const char* pin : {"11", "22", "33"}) cart.Execute(std::string("pin_list_add ") + pin);
  EXPECT_EQ(cart.Execute("pin_list_remove 0000000022"), ">");
  EXPECT_EQ(cart.Execute("pin_list_remove 22"), "error\r\n>");
  EXPECT_EQ(cart.Execute("pin_list_remove"), "error\r\n>");
  const Lines lines = AnswerLines(cart.Execute("pin_list_dump"));
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0].substr(0, 3), "11 ");
  EXPECT_EQ(lines[1].substr(0, 3), "33 ");
}

TEST(CartPinList, HoldsExactly128Pins) {
  ManualClock clock;
  CartModel cart(EmptyCart(clock));
  for (int i = 1; i <= 128; ++i) {
    ASSERT_EQ(cart.Execute("pin_list_add " + std::to_string(1000 + i)), ">") << i;
  }
  EXPECT_EQ(cart.Execute("pin_list_add 9999"), "error\r\n>");
  EXPECT_EQ(AnswerLines(cart.Execute("pin_list_dump")).size(), 128u);
  EXPECT_EQ(cart.Execute("pin_list_remove 1064"), ">");
  EXPECT_EQ(cart.Execute("pin_list_add 9999"), ">");
  const Lines lines = AnswerLines(cart.Execute("pin_list_dump"));
  ASSERT_EQ(lines.size(), 128u);
  EXPECT_EQ(lines.back().substr(0, 5), "9999 ");
}

TEST(CartEventLog, KeypadAccessIsLoggedAndOpensTheDrawers) {
  ManualClock clock;
  CartModel cart(EmptyCart(clock));
  cart.Execute("set_time 0 0 12 1 1 9");
  cart.Execute("pin_list_add 4321");
  EXPECT_FALSE(cart.EnterPinOnKeypad(1111));
  clock.Advance(61);
  EXPECT_TRUE(cart.EnterPinOnKeypad(4321));
  EXPECT_NE(cart.StatusByte() & CartModel::kDrawerUnlocked, 0);
  EXPECT_EQ(AnswerLines(cart.Execute("log_dump")), Lines{"4321 1 1 1 12 1 1 9"});
  EXPECT_EQ(cart.Execute("log_clear"), ">");
  EXPECT_EQ(cart.Execute("log_dump"), ">");
}

TEST(CartEventLog, Keeps1024NewestEvents) {
  ManualClock clock;
  CartModel cart(EmptyCart(clock));
  for (int i = 0; i < 1030; ++i) {
    cart.Events().Add(cartsim::CartEvent{static_cast<std::uint32_t>(i), 1, 0});
  }
  const Lines lines = AnswerLines(cart.Execute("log_dump"));
  ASSERT_EQ(lines.size(), 1024u);
  EXPECT_EQ(lines.front(), "6 1 0 0 0 1 1 0");
  EXPECT_EQ(lines.back(), "1029 1 0 0 0 1 1 0");
}

TEST(CartEventLog, StartsLikeACartInService) {
  ManualClock clock;
  cartsim::CartModel::Options options;
  options.hostNow = clock.Source();
  CartModel cart(options);
  const auto nowCart = cart.Clock().Now();
  int olderThanMonth = 0;
  for (int i = 0; i < cart.Pins().Count(); ++i) {
    if (nowCart - cart.Pins().At(i)->activated > 30 * 86400) ++olderThanMonth;
  }
  EXPECT_GE(cart.Pins().Count(), 3);
  EXPECT_GE(olderThanMonth, 1);
  int codes[3] = {0, 0, 0};
  const Lines events = AnswerLines(cart.Execute("log_dump"));
  EXPECT_GE(events.size(), 24u);
  for (int i = 0; i < cart.Events().Count(); ++i) {
    const auto event = *cart.Events().At(i);
    EXPECT_LE(event.when, nowCart);
    if (i > 0) {
      EXPECT_GE(event.when, cart.Events().At(i - 1)->when) << i;
    }
    codes[event.code == 1 ? 0 : event.code == 2 ? 1 : 2]++;
  }
  EXPECT_GT(codes[0], 0);
  EXPECT_EQ(codes[1], 1);
  EXPECT_GT(codes[2], 0);
}

}  // namespace
