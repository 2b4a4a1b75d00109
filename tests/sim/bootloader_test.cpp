#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "sim/bootloader_model.h"

namespace cartsim {
namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

std::string Bytes(std::initializer_list<int> values) {
  std::string out;
  for (int v : values) out += static_cast<char>(v);
  return out;
}

// Plays the host, one byte per call, and keeps everything the board answered.
struct Host {
  BootloaderModel board{"main", BootHeader{}};
  std::string heard;
  Send send = [this](std::string_view bytes) { heard.append(bytes); };
  Clock::time_point now = Clock::now();

  void Write(std::string_view bytes) {
    for (char c : bytes) board.OnBytes(std::string_view(&c, 1), send);
  }
  std::string Take() { return std::exchange(heard, {}); }
  std::string Handshake() {
    board.Enter(now);
    board.Tick(now, send);
    EXPECT_EQ(Take(), "U");
    Write("U");
    return Take();
  }
  // Sends one page frame and returns the board's answer.
  std::string Page(std::uint16_t address, const std::vector<std::uint8_t>& data, int sumDelta = 0) {
    int sum = sumDelta;
    std::string frame = Bytes({address >> 8, address & 0xFF});
    for (std::uint8_t b : data) frame += static_cast<char>(b), sum += b;
    Write(frame + static_cast<char>(sum & 0xFF));
    return Take();
  }
};

std::vector<std::uint8_t> Pattern(int size, int seed) {
  std::vector<std::uint8_t> data(static_cast<std::size_t>(size));
  for (int i = 0; i < size; ++i)
    data[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(i * 7 + seed * 31);
  return data;
}

TEST(BootloaderAnnounce, SaysUEveryIntervalUntilTheHostAnswersAndIgnoresOtherBytes) {
  Host host;
  host.board.Enter(host.now);
  host.board.Tick(host.now, host.send);
  host.board.Tick(host.now + 100ms, host.send);
  EXPECT_EQ(host.Take(), "U");
  host.board.Tick(host.now + 150ms, host.send);
  EXPECT_EQ(host.Take(), "U");
  host.Write("\r\rstatus\r");
  EXPECT_EQ(host.Take(), "");
  host.Write("U");
  EXPECT_EQ(host.Take(), Bytes({'M', 'p', 'd', 'S', '4', '!'}));
  host.board.Tick(host.now + 1s, host.send);
  EXPECT_EQ(host.Take(), "") << "no more announcing once the header went out";
}

class BootloaderPageSize : public ::testing::TestWithParam<char> {};

TEST_P(BootloaderPageSize, FullExchangeStoresEveryPageAndEndsOnFfFf) {
  Host host;
  host.board.header.pageSize = static_cast<std::uint8_t>(GetParam());
  const int size = PageSizeFromCode(host.board.header.pageSize);
  EXPECT_EQ(host.Handshake().substr(3), Bytes({GetParam(), '4', '!'}));
  for (int page = 0; page < 3; ++page) {
    const int field = size == 512 ? page * 512 : page;
    EXPECT_EQ(host.Page(static_cast<std::uint16_t>(field), Pattern(size, page)), "!") << page;
  }
  host.Write(Bytes({0xFF, 0xFF}));
  EXPECT_FALSE(host.board.Active());
  EXPECT_EQ(host.board.PagesWritten(), 3);
  for (int page = 0; page < 3; ++page) {
    const auto expected = Pattern(size, page);
    EXPECT_TRUE(
        std::equal(expected.begin(), expected.end(), host.board.Flash().begin() + page * size));
  }
  EXPECT_EQ(host.board.Flash()[3 * size], 0xFF);
}

INSTANTIATE_TEST_SUITE_P(AllSizes, BootloaderPageSize, ::testing::Values('Q', 'R', 'S', 'T', 'U'));

TEST(BootloaderPages, RefusedWhenSumOrAddressIsWrongAndTakenWhenSentAgain) {
  Host host;
  host.board.header.pageSize = 'U';
  host.Handshake();
  const auto data = Pattern(512, 1);
  EXPECT_EQ(host.Page(3 * 512, data, 1), "?");
  EXPECT_EQ(host.Page(3, data), "?") << "a page number where a byte address belongs";
  EXPECT_EQ(host.board.PagesWritten(), 0);
  EXPECT_EQ(host.Page(3 * 512, data), "!");
  EXPECT_EQ(host.board.Flash()[1536], data[0]);
  // 512 bytes of 0xFF sum to 0x00 in eight bits; past the end only blank pages are taken.
  EXPECT_EQ(host.Page(0, std::vector<std::uint8_t>(512, 0xFF)), "!");
  EXPECT_EQ(host.board.Pages().back().sumReceived, 0x00);
  Host small;
  small.Handshake();
  EXPECT_EQ(small.Page(512, std::vector<std::uint8_t>(128, 0xFF)), "!");
  EXPECT_EQ(small.Page(512, Pattern(128, 3)), "?");
  EXPECT_EQ(small.board.PagesWritten(), 0);
}

TEST(BootloaderFaults, RefusesAPageTheGivenNumberOfTimesOrAlways) {
  Host host;
  host.board.faults.refusePage = 2;
  host.board.faults.refuseTimes = 3;
  host.Handshake();
  EXPECT_EQ(host.Page(1, Pattern(128, 1)), "!");
  for (int i = 0; i < 3; ++i) EXPECT_EQ(host.Page(2, Pattern(128, 2)), "?");
  EXPECT_EQ(host.board.Flash()[256], 0xFF);
  EXPECT_EQ(host.Page(2, Pattern(128, 2)), "!");

  Host stubborn;
  stubborn.board.faults.refuseAll = true;
  stubborn.Handshake();
  for (int page = 0; page < 4; ++page) EXPECT_EQ(stubborn.Page(0, Pattern(128, 0)), "?");
  EXPECT_EQ(stubborn.board.PagesWritten(), 0);
  EXPECT_TRUE(std::all_of(stubborn.board.Flash().begin(), stubborn.board.Flash().end(),
                          [](std::uint8_t b) { return b == 0xFF; }));
}

TEST(BootloaderFaults, BadHeaderOnceIsFollowedByAGoodOneAfterFfFf) {
  Host host;
  host.board.faults.badHeaderOnce = true;
  EXPECT_EQ(host.Handshake(), Bytes({0x42, 'p', 'd', 'S', '4', '!'}));
  host.Write(Bytes({0xFF, 0xFF}));
  EXPECT_TRUE(host.board.Active());
  EXPECT_EQ(host.Take(), Bytes({'M', 'p', 'd', 'S', '4', '!'}));
  EXPECT_EQ(host.Page(0, Pattern(128, 0)), "!");
  host.Write(Bytes({0xFF, 0xFF}));
  EXPECT_FALSE(host.board.Active());
  EXPECT_EQ(host.board.HeadersSent(), 2);
}

TEST(BootloaderFaults, NoiseHeaderNeverCarriesAnAcceptableCode) {
  Host host;
  host.board.faults.noiseHeader = true;
  const std::string first = host.Handshake();
  host.Write(Bytes({0xFF, 0xFF}));
  EXPECT_EQ(host.Take(), first) << "every restart is answered with noise again";
  const std::string codes = "CDM\x87plodcbQRSTU413!";
  for (char c : first) EXPECT_EQ(codes.find(c), std::string::npos) << int(std::uint8_t(c));
}

TEST(BootloaderFaults, SilentBootloaderNeverAnswersButLeavesOnFfFf) {
  Host host;
  host.board.faults.neverSendU = true;
  host.board.Enter(host.now);
  for (int i = 0; i < 10; ++i) host.board.Tick(host.now + i * 200ms, host.send);
  host.Write("U");
  EXPECT_EQ(host.Take(), "");
  host.Write(Bytes({0xFF, 0x00, 0xFF}));
  EXPECT_TRUE(host.board.Active()) << "two 0xFF in a row are needed";
  host.Write(Bytes({0xFF}));
  EXPECT_FALSE(host.board.Active());
}

TEST(BootloaderFaults, HangUpAtAPageEndsTheSessionOnce) {
  Host host;
  host.board.faults.hangUpAtPage = 1;
  host.Handshake();
  EXPECT_EQ(host.Page(0, Pattern(128, 0)), "!");
  host.Write(Bytes({0x00, 0x01}));
  EXPECT_TRUE(host.board.WantsHangUp());
  EXPECT_FALSE(host.board.Active());
  host.board.ClearHangUp();
  host.Handshake();
  EXPECT_EQ(host.Page(1, Pattern(128, 1)), "!");
  EXPECT_FALSE(host.board.WantsHangUp());
}

// Builds a stream of good frames for pages 0..63 and damages it here and there: dropped,
// doubled and changed bytes knock the board out of step, as a noisy line would.
std::string DamagedFrames(std::mt19937& random) {
  std::string stream;
  for (int frame = 0; frame < 400; ++frame) {
    const int page = static_cast<int>(random() % 64);
    auto data = Pattern(128, frame);
    int sum = 0;
    stream += Bytes({0, page});
    for (std::uint8_t b : data) stream += static_cast<char>(b), sum += b;
    stream += static_cast<char>(sum & 0xFF);
  }
  std::string damaged;
  for (char c : stream) {
    const unsigned roll = random() % 3000;
    if (roll == 0) continue;
    if (roll == 1) damaged += c;
    damaged += roll == 2 ? static_cast<char>(random() % 0xFF) : c;
  }
  return damaged;
}

TEST(BootloaderRobustness, DamagedStreamOnlyEverStoresPagesWhoseSumMatched) {
  Host host;
  host.Handshake();
  std::mt19937 random(12345);
  const std::string stream = DamagedFrames(random);
  for (std::size_t at = 0; at < stream.size(); at += 97) {
    host.board.OnBytes(std::string_view(stream).substr(at, 97), host.send);
  }
  const std::string answers = host.Take();
  EXPECT_EQ(answers.find_first_not_of("!?"), std::string::npos);
  EXPECT_GT(host.board.PagesWritten(), 20) << "frames in step must still get through";
  EXPECT_GT(std::count(answers.begin(), answers.end(), '?'), 0) << "damage must be noticed";
  std::array<int, 64> lastSum{};
  lastSum.fill(-1);
  int accepted = 0;
  for (const PageRecord& page : host.board.Pages()) {
    if (!page.accepted) continue;
    ++accepted;
    if (page.addressField < 64) lastSum[page.addressField] = page.sumReceived;
  }
  EXPECT_EQ(accepted, host.board.PagesWritten());
  for (std::size_t page = 0; page < 64; ++page) {
    const auto begin = host.board.Flash().begin() + static_cast<long>(page * 128);
    int sum = 0;
    for (auto it = begin; it != begin + 128; ++it) sum += *it;
    if (lastSum[page] < 0) {
      EXPECT_EQ(sum, 128 * 0xFF) << "page " << page << " was never accepted";
    } else {
      EXPECT_EQ(sum & 0xFF, lastSum[page]) << page;
    }
  }
  // A fresh session starts clean whatever the stream left behind.
  EXPECT_EQ(host.Handshake().back(), '!');
  EXPECT_EQ(host.Page(7, Pattern(128, 7)), "!");
}

}  // namespace
}  // namespace cartsim
