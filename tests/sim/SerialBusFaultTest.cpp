#include <gtest/gtest.h>

#include <chrono>

#include "SerialBus.h"
#include "TestSupport.h"

using namespace korvosim;
using namespace simtest;
using namespace std::chrono_literals;

namespace {

struct SerialBusFaultTest : ::testing::Test {
  SerialBus bus;
  std::shared_ptr<Terminal> t1 = bus.attach(1);
  PortSide port{bus.slavePath()};

  void set(Faults f) { bus.setFaults(1, f); }
  std::string framed(const std::string& piece, Ms wait = 200ms) {
    port.write(handFrame(piece, 1));
    return port.readFor(wait);
  }
};

TEST_F(SerialBusFaultTest, SilentTerminalReadsButNeverAnswers) {
  set(Faults{.silent = true});
  port.write("PAR 7 8\r");
  EXPECT_EQ(port.readFor(150ms), "");
  EXPECT_EQ(framed("GETVER"), "");
  EXPECT_EQ(t1->param(7), "8");
  EXPECT_EQ(bus.transcript().size(), 2u);
}

TEST_F(SerialBusFaultTest, GarbageBeforeTheFrameSpoilsThePcsLengthTest) {
  set(Faults{.garbage = true});
  const std::string got = framed("GETVER");
  ASSERT_FALSE(got.empty());
  EXPECT_NE(got[0], ':');
  const auto colon = got.find(':');
  ASSERT_NE(colon, std::string::npos);
  const auto f = readReplyFrame(got.substr(colon));
  ASSERT_TRUE(f);
  EXPECT_TRUE(f->checksumMatches);
  port.write("GETVER\r");
  const std::string plain = port.readUntilContains("OK", 1000ms);
  EXPECT_NE(plain.rfind("KORVO"), 0u);
  EXPECT_TRUE(contains(plain, "KORVO"));
}

TEST_F(SerialBusFaultTest, BadChecksumKeepsTheFrameLayout) {
  set(Faults{.badChecksum = true});
  const auto f = readReplyFrame(framed("GETVER"));
  ASSERT_TRUE(f);
  EXPECT_TRUE(frameComplete(framed("5A")));
  EXPECT_FALSE(f->checksumMatches);
  EXPECT_EQ(f->data, "KORVO2K/Bio Ver 2.00 OK\r\n");
}

TEST_F(SerialBusFaultTest, ShortFrameNeverPassesTheCompletenessTest) {
  set(Faults{.shortFrames = true});
  const std::string got = framed("GETVER");
  ASSERT_GT(got.size(), 4u);
  EXPECT_EQ(got[0], ':');
  EXPECT_FALSE(frameComplete(got));
}

TEST_F(SerialBusFaultTest, WrongLengthFieldClaimsMoreThanArrives) {
  set(Faults{.wrongLength = true});
  const std::string got = framed("GETVER");
  ASSERT_GT(got.size(), 4u);
  EXPECT_TRUE(contains(got, "KORVO"));
  EXPECT_FALSE(frameComplete(got));
}

TEST_F(SerialBusFaultTest, SlowTerminalAnswersAfterItsDelay) {
  set(Faults{.delayMs = 250});
  port.write(handFrame("GETVER", 1));
  EXPECT_EQ(port.readFor(150ms), "");
  EXPECT_TRUE(contains(port.readUntilContains("\r\n", 1000ms), "KORVO"));
  port.write("GETVER\r");
  EXPECT_EQ(port.readFor(150ms), "");
  EXPECT_EQ(port.readUntilContains("OK", 1000ms), "KORVO2K/Bio Ver 2.00 OK\r\n");
}

TEST_F(SerialBusFaultTest, ReplyWithoutCompletionTokenOrLineEnd) {
  set(Faults{.noCompletion = true});
  port.write("GETVER\r");
  EXPECT_EQ(port.readFor(200ms), "KORVO2K/Bio Ver 2.00");
  port.write("DIR TRANS\r");
  const std::string dir = port.readFor(200ms);
  EXPECT_TRUE(contains(dir, "TRANS"));
  EXPECT_FALSE(contains(dir, "*"));
}

TEST_F(SerialBusFaultTest, EndlessBlocksAnswerEvery5AWithMore) {
  set(Faults{.endlessBlocks = true});
  ASSERT_TRUE(readReplyFrame(framed("GETVER")));
  for (int i = 0; i < 5; ++i) {
    const auto f = readReplyFrame(framed("5A", 150ms));
    ASSERT_TRUE(f);
    EXPECT_EQ(f->status, 'Z');
    EXPECT_FALSE(f->data.empty());
  }
}

TEST_F(SerialBusFaultTest, HugeReplyHasNoStopToken) {
  set(Faults{.hugeReplyBytes = 200000});
  port.write("GETVER\r");
  const std::string got = port.readUntil([](const std::string& s) { return s.size() >= 200000; }, 5000ms);
  ASSERT_EQ(got.size(), 200000u);
  for (const char* token : {"OK", "FAIL", "Record", "*"}) EXPECT_FALSE(contains(got, token)) << token;
  EXPECT_EQ(port.readFor(100ms), "");
}

}  // namespace
