#include <gtest/gtest.h>

#include <chrono>

#include "SerialBus.h"
#include "TestSupport.h"

using namespace korvosim;
using namespace simtest;
using namespace std::chrono_literals;

namespace {

bool hasLineEnd(const std::string& s) {
  return s.size() >= 2 && s.compare(s.size() - 2, 2, "\r\n") == 0;
}

// Reads one reply frame: complete by the PC's test and ended by CR LF.
std::string readFrame(const PortSide& port, Ms limit = 1000ms) {
  return port.readUntil([](const std::string& s) { return frameComplete(s) && hasLineEnd(s); }, limit);
}

struct SerialBusTest : ::testing::Test {
  SerialBus bus;
  std::shared_ptr<Terminal> t1 = bus.attach(1);
};

TEST_F(SerialBusTest, PlainLineIsAnsweredWithATextLine) {
  PortSide port(bus.slavePath());
  port.write("GETVER\r");
  EXPECT_EQ(port.readUntilContains("OK", 1000ms), "KORVO2K/Bio Ver 2.00 OK\r\n");
  port.write("PAR 7 9\rPAR 7\r");
  EXPECT_EQ(port.readUntilContains("= 9\r\n", 1000ms), "OK\r\nPAR 7 = 9\r\n");
  EXPECT_EQ(t1->param(7), "9");
  const auto entries = bus.transcript().entries();
  ASSERT_EQ(entries.size(), 3u);
  EXPECT_EQ(entries[0].front, Front::Serial);
  EXPECT_EQ(entries[0].where, 1);
  EXPECT_EQ(entries[0].channel, Channel::Plain);
  EXPECT_EQ(entries[2].text, "PAR 7");
}

TEST_F(SerialBusTest, HandBuiltFrameGetsAReplyFrameThePcCanRead) {
  PortSide port(bus.slavePath());
  EXPECT_EQ(handFrame("GETVER", 1), ":00f01 GETVER6a");  // the worked example: 15 characters
  port.write(":00f01 GETVER6a");
  const std::string reply = readFrame(port);
  const auto f = readReplyFrame(reply);
  ASSERT_TRUE(f) << reply;
  char len[8];
  std::snprintf(len, sizeof len, "%.3x", static_cast<unsigned>(reply.size()));
  EXPECT_EQ(f->lengthField, len);
  EXPECT_EQ(f->addressField, "01");
  EXPECT_NE(f->status, 'Z');
  EXPECT_EQ(f->data, "KORVO2K/Bio Ver 2.00 OK\r\n");
  EXPECT_TRUE(f->checksumMatches);
  // Nothing more comes until the PC asks.
  EXPECT_EQ(port.readFor(100ms), "");
  port.write(":00b01 5A0d");
  const auto end = readReplyFrame(readFrame(port));
  ASSERT_TRUE(end);
  EXPECT_NE(end->status, 'Z');
  EXPECT_EQ(end->data, "");
  const auto e = bus.transcript().entries();
  ASSERT_EQ(e.size(), 2u);
  EXPECT_EQ(e[0].channel, Channel::Framed);
  EXPECT_EQ(e[1].text, "5A");
}

TEST_F(SerialBusTest, LongReplyComesInBlocksAfterEach5AWithZUntilAnEmptyEnd) {
  bus.setBlockSize(100);
  std::vector<std::string> records;
  for (int i = 0; i < 40; ++i) records.push_back("0007008" + std::to_string(10 + i) + "1234567890");
  t1->setFile("SYSTEM\\BLGROUP.DAT", records);
  PortSide port(bus.slavePath());
  port.write(handFrame("TYPE SYSTEM\\BLGROUP.DAT", 1));
  auto f = readReplyFrame(readFrame(port));
  ASSERT_TRUE(f);
  // The PC joins the data of every block, each followed by a blank.
  std::string joined = f->data + " ";
  int blocks = 1;
  for (;;) {
    port.write(handFrame("5A", 1));
    const std::string raw = readFrame(port);
    f = readReplyFrame(raw);
    ASSERT_TRUE(f) << raw;
    EXPECT_TRUE(f->checksumMatches);
    if (f->status != 'Z') {
      EXPECT_EQ(f->data, "");
      break;
    }
    EXPECT_LE(f->data.size(), 100u);
    EXPECT_TRUE(hasLineEnd(f->data)) << "a block ends at a line end";
    joined += f->data + " ";
    ASSERT_LT(++blocks, 50);
  }
  EXPECT_GE(blocks, 7);
  records.push_back("*");
  EXPECT_EQ(words(joined), records);
}

TEST_F(SerialBusTest, FramedOnlyTerminalLeavesPlainLinesUnanswered) {
  bus.setMode(1, BusMode::FramedOnly);
  PortSide port(bus.slavePath());
  port.write("GETVER\r");
  EXPECT_EQ(port.readFor(200ms), "");
  port.write(handFrame("GETVER", 1));
  const auto f = readReplyFrame(readFrame(port));
  ASSERT_TRUE(f);
  EXPECT_TRUE(contains(f->data, "KORVO"));
  const auto e = bus.transcript().entries();
  ASSERT_EQ(e.size(), 2u);
  EXPECT_EQ(e[0].channel, Channel::Plain);
  EXPECT_FALSE(e[0].note.empty());
  EXPECT_EQ(e[0].reply, "");
}

TEST_F(SerialBusTest, PlainOnlyTerminalLeavesFramesUnanswered) {
  bus.setMode(1, BusMode::PlainOnly);
  PortSide port(bus.slavePath());
  port.write(handFrame("GETVER", 1));
  EXPECT_EQ(port.readFor(200ms), "");
  port.write("GETVER\r");
  EXPECT_TRUE(contains(port.readUntilContains("OK", 1000ms), "KORVO"));
}

TEST_F(SerialBusTest, FrameWithAWrongChecksumIsIgnored) {
  PortSide port(bus.slavePath());
  std::string bad = handFrame("GETVER", 1);
  bad.back() = bad.back() == '0' ? '1' : '0';
  port.write(bad);
  EXPECT_EQ(port.readFor(200ms), "");
  ASSERT_EQ(bus.transcript().size(), 1u);
  EXPECT_TRUE(contains(bus.transcript().entries()[0].note, "checksum"));
  port.write(handFrame("GETVER", 1));
  EXPECT_TRUE(readReplyFrame(readFrame(port)));
}

TEST_F(SerialBusTest, EachAddressAnswersItsFramesAndTheLowestAnswersPlainLines) {
  auto t2 = bus.attach(2);
  t1->setVersion("KORVO one");
  t2->setVersion("KORVO two");
  PortSide port(bus.slavePath());
  port.write(handFrame("GETVER", 2));
  auto f = readReplyFrame(readFrame(port));
  ASSERT_TRUE(f);
  EXPECT_EQ(f->addressField, "02");
  EXPECT_EQ(f->data, "KORVO two OK\r\n");
  port.write(handFrame("GETVER", 3));
  EXPECT_EQ(port.readFor(150ms), "");
  port.write("GETVER\r");
  EXPECT_EQ(port.readUntilContains("OK", 1000ms), "KORVO one OK\r\n");
  bus.setPlainResponder(2);
  port.write("GETVER\r");
  EXPECT_EQ(port.readUntilContains("OK", 1000ms), "KORVO two OK\r\n");
}

TEST_F(SerialBusTest, PiecesSentAsConsecutiveFramesAreAllRunAndTheLastIsAnswered) {
  PortSide port(bus.slavePath());
  port.write(handFrame("PAR 312 Piece", 1) + handFrame("PAR 312", 1));
  const auto f = readReplyFrame(readFrame(port));
  ASSERT_TRUE(f);
  EXPECT_EQ(f->data, "PAR 312 = Piece\r\n");
  EXPECT_EQ(port.readFor(100ms), "");
  EXPECT_EQ(t1->param(312), "Piece");
}

TEST_F(SerialBusTest, ThrottleHoldsTheLineRate) {
  bus.setThrottle(20000);
  PortSide port(bus.slavePath());
  const auto start = std::chrono::steady_clock::now();
  port.write("LISTPAR\r");
  const std::string got =
      port.readUntil([](const std::string& s) { return contains(s, "\r\n*\r\n"); }, 3000ms);
  const auto took = std::chrono::steady_clock::now() - start;
  ASSERT_TRUE(contains(got, "PAR 504"));
  // About 6 KB at 20000 bytes per second.
  EXPECT_GT(took, std::chrono::milliseconds(static_cast<int>(got.size() * 1000 / 20000 * 8 / 10)));
  EXPECT_LT(took, 2500ms);
}

TEST_F(SerialBusTest, ReplyStillOnTheWayWhenThePortClosesIsLost) {
  Faults slow;
  slow.delayMs = 150;
  bus.setFaults(1, slow);
  {
    PortSide port(bus.slavePath());
    port.write("GETVER\r");
    EXPECT_EQ(port.readFor(30ms), "");
  }
  std::this_thread::sleep_for(250ms);
  PortSide again(bus.slavePath());
  EXPECT_EQ(again.readFor(150ms), "");
  bus.setFaults(1, {});
  again.write("GETVER\r");
  EXPECT_EQ(again.readUntilContains("OK", 1000ms), "KORVO2K/Bio Ver 2.00 OK\r\n");
}

TEST_F(SerialBusTest, TemplateBytesOnThePlainLineAreTakenRaw) {
  PortSide port(bus.slavePath());
  port.write("TMPSAVE 55\r");
  EXPECT_EQ(port.readUntilContains("OK", 1000ms), "OK\r\n");
  const std::string bytes = std::string(":00f01 \r\n\0", 10) + std::string(374, 'K');
  port.write(bytes);
  EXPECT_EQ(port.readUntilContains("OK", 1000ms), "OK\r\n");
  EXPECT_EQ(t1->templateBytes("55", 0), bytes);
  port.write("TMPDATA 55 0\r");
  EXPECT_EQ(port.readUntil([](const std::string& s) { return s.size() >= 387; }, 1000ms), bytes + "*\r\n");
}

}  // namespace
