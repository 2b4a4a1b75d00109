#include "sim/cart_clock.h"

#include <gtest/gtest.h>

#include "cart_test_support.h"
#include "sim/cart_model.h"

namespace {

using cartsim::CartDate;
using cartsim::ParseCartDate;

TEST(CartClock, CalendarSecondsRoundTripAcrossLeapDaysAndCenturyEnd) {
  for (const CartDate date : {CartDate{0, 0, 0, 1, 1, 0}, CartDate{59, 59, 23, 29, 2, 24},
                              CartDate{0, 0, 0, 1, 3, 24}, CartDate{59, 59, 23, 31, 12, 99}}) {
    const CartDate back = cartsim::CartDateFromSeconds(cartsim::SecondsFromCartDate(date));
    EXPECT_EQ(cartsim::FormatCartDate(back), cartsim::FormatCartDate(date));
  }
  EXPECT_EQ(cartsim::SecondsFromCartDate(CartDate{0, 0, 0, 1, 3, 24}) -
                cartsim::SecondsFromCartDate(CartDate{0, 0, 0, 28, 2, 24}),
            2 * 86400);
}

TEST(CartClock, SetTimeTakesOnlyRealDates) {
  EXPECT_TRUE(ParseCartDate("9 5 14 3 3 9"));
  EXPECT_TRUE(ParseCartDate("0 0 0 29 2 24"));
  for (const char* bad :
       {"0 0 0 29 2 23", "0 0 0 31 4 10", "60 0 0 1 1 1", "0 0 24 1 1 1", "0 0 0 0 1 1",
        "0 0 0 1 13 1", "0 0 0 1 1 100", "1 2 3 4 5", "1 2 3 4 5 6 7", "1 2 3 4 5 x6", ""}) {
    EXPECT_FALSE(ParseCartDate(bad)) << bad;
  }
}

TEST(CartClock, RunsOnFromWhereTheHostSetIt) {
  cart_test::ManualClock host;
  cartsim::CartModel cart(cart_test::EmptyCart(host));
  EXPECT_EQ(cart.Execute("set_time 50 59 23 31 12 9"), ">");
  EXPECT_EQ(cart.Execute("set_time 0 0 0 31 4 10"), "error\r\n>");
  host.Advance(15);
  EXPECT_EQ(cartsim::FormatCartDate(cart.Clock().NowDate()), "5 0 0 1 1 10");
}

}  // namespace
