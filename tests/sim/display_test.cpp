#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>

#include "sim/display_model.h"

namespace cartsim {
namespace {

// What the host reads: the prompt alone, a refusal and then the prompt, a request to resend
// that ends its line (a host reading up to CR or the prompt would otherwise wait on).
constexpr std::string_view kReady = ">";
constexpr std::string_view kError = "error\r\n>";
constexpr std::string_view kResend = "<\r\n";

bool AllZero(const DisplayModel& display) {
  return std::all_of(display.Memory().begin(), display.Memory().end(),
                     [](std::uint8_t b) { return b == 0; });
}

TEST(DisplayCommands, TakesOnlyItsOwnWords) {
  for (const char* line : {"load_bitmap", "ew 0 00", "rew 256 ff", "er 256", "ew", "er"}) {
    EXPECT_TRUE(DisplayModel::Handles(line)) << line;
  }
  for (const char* line : {"", "status", "error", "erase", "ewx 1 00", "lock", " ew 0 00"}) {
    EXPECT_FALSE(DisplayModel::Handles(line)) << line;
  }
}

TEST(DisplayLoad, LoadWritesAndEndAreEachAnsweredWithThePrompt) {
  DisplayModel display;
  EXPECT_EQ(display.Execute("load_bitmap"), kReady);
  EXPECT_TRUE(display.Loading());
  EXPECT_EQ(display.Execute("ew 0 005204"), kReady);
  EXPECT_EQ(display.Execute("rew 1021 A0b1FF \r"), kReady) << "upper case and a line-end tail";
  EXPECT_EQ(display.Execute("er 256"), kReady);
  EXPECT_FALSE(display.Loading());
  EXPECT_EQ(display.LastEndArgument(), 256);
  EXPECT_EQ(display.LinesAccepted(), 2);
  const auto& memory = display.Memory();
  EXPECT_EQ(memory[1], 0x52);
  EXPECT_EQ(memory[2], 0x04);
  EXPECT_EQ(memory[1021], 0xA0);
  EXPECT_EQ(memory[1023], 0xFF);
}

TEST(DisplayLoad, TitleBlockAt256LandsByteForByte) {
  DisplayModel display;
  for (int line = 0; line < 21; ++line) {
    const int address = 256 + 16 * line;
    std::string text = "ew " + std::to_string(address) + " ";
    for (int j = 0; j < 16 && address + j < 587; ++j) {
      char hex[3];
      std::snprintf(hex, sizeof hex, "%02x", (address + j) * 3 & 0xFF);
      text += hex;
    }
    ASSERT_EQ(display.Execute(text), kReady) << text;
  }
  for (int address = 0; address < kDisplayMemoryBytes; ++address) {
    const int expected = address >= 256 && address < 587 ? (address * 3 & 0xFF) : 0;
    ASSERT_EQ(display.Memory()[static_cast<std::size_t>(address)], expected) << address;
  }
}

TEST(DisplayLoad, MalformedLinesAreRefusedAndWriteNothing) {
  DisplayModel display;
  for (const char* line : {"ew", "ew 00", "ew x 00", "ew -1 00", "ew 1024 00", "ew 1022 001122",
                           "ew 5 0", "ew 5 zz", "ew 5 00 11", "ew 99999999999999999999 00",
                           "rew 12a 00", "load_bitmap now", "er", "er abc", "er -1"}) {
    EXPECT_EQ(display.Execute(line), kError) << line;
  }
  EXPECT_TRUE(AllZero(display));
  EXPECT_EQ(display.LinesAccepted(), 0);
  EXPECT_EQ(display.LoadsStarted(), 0);
  EXPECT_EQ(display.LoadsEnded(), 0);
  EXPECT_EQ(display.Execute("ew 1023 7f"), kReady) << "the last byte of memory is writable";
  EXPECT_EQ(display.Memory()[1023], 0x7F);
}

TEST(DisplayResend, AsksAgainTheGivenNumberOfTimesWithoutWriting) {
  DisplayModel display;
  display.resendAnswers = 2;
  EXPECT_EQ(display.Execute("load_bitmap"), kReady) << "only data lines are asked again";
  EXPECT_EQ(display.Execute("ew 10 55"), kResend);
  EXPECT_EQ(display.Execute("ew 10 55"), kResend);
  EXPECT_EQ(display.Memory()[10], 0);
  EXPECT_EQ(display.Execute("ew 10 55"), kReady);
  EXPECT_EQ(display.Memory()[10], 0x55);
  EXPECT_EQ(display.ResendsAsked(), 2);
}

TEST(DisplayResend, ForeverNeverTakesALine) {
  DisplayModel display;
  display.resendForever = true;
  for (int i = 0; i < 50; ++i) EXPECT_EQ(display.Execute("rew 0 ff"), kResend);
  EXPECT_EQ(display.Execute("er 256"), kReady);
  EXPECT_TRUE(AllZero(display));
  EXPECT_EQ(display.ResendsAsked(), 50);
}

}  // namespace
}  // namespace cartsim
