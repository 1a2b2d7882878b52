#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "TcpFront.h"
#include "TestSupport.h"

using namespace korvosim;
using namespace simtest;
using namespace std::chrono_literals;

namespace {

struct TcpFrontTest : ::testing::Test {
  TcpFront front;
  std::shared_ptr<Terminal> terminal = std::make_shared<Terminal>();
  int port = front.add(terminal);
};

TEST_F(TcpFrontTest, OrdinaryCommandsGetOneLineAndListingsEndWithAStarLine) {
  ASSERT_GT(port, 0);
  EXPECT_EQ(front.terminal(port), terminal);
  terminal->setFile("TRANS\\010124.DAT", {"000408173083000I0000"});
  NetSide net(port);
  ASSERT_TRUE(net.connected());
  net.send("GETVER\r\n");
  EXPECT_EQ(net.readUntilContains("\r\n", 1000ms), "KORVO2K/Bio Ver 2.00 OK\r\n");
  net.send("LOAD SYSTEM\\HOLITBL.DAT\r\n0101\r\n*\r\n");
  EXPECT_EQ(net.readUntilContains("OK\r\nRecord\r\nOK\r\n", 1000ms), "OK\r\nRecord\r\nOK\r\n");
  net.send("DIR TRANS\r\n");
  const std::string dir = net.readUntilContains("*\r\n", 1000ms);
  EXPECT_EQ(dir, "TRANS 22 Bytes Used\r\n010124.DAT 1 NEW\r\n*\r\n");
  EXPECT_EQ(net.readFor(100ms), "");
  EXPECT_EQ(terminal->file("SYSTEM\\HOLITBL.DAT"), std::vector<std::string>{"0101"});
  EXPECT_EQ(front.transcript().commands(Front::Tcp),
            (std::vector<std::string>{"GETVER", "LOAD SYSTEM\\HOLITBL.DAT", "0101", "*", "DIR TRANS"}));
  EXPECT_EQ(front.transcript().entries()[0].where, port);
}

TEST_F(TcpFrontTest, TemplateRoundTripKeepsNulCrAndLfBytes) {
  std::string bytes;
  for (int i = 0; i < 384; ++i) bytes += static_cast<char>(i % 3 == 0 ? '\0' : i % 3 == 1 ? '\r' : '\n');
  bytes[100] = '*';
  bytes[101] = 'O';
  bytes[102] = 'K';
  {
    NetSide net(port);
    net.send("TMPSAVE 00001234\r");
    EXPECT_EQ(net.readUntilContains("\n", 1000ms), "OK\r\n");
  }
  {
    // A new connection; the bytes come raw, in two halves, with no line end.
    NetSide net(port);
    net.send(bytes.substr(0, 192));
    std::this_thread::sleep_for(10ms);
    net.send(bytes.substr(192));
    EXPECT_EQ(net.readUntilContains("\n", 2000ms), "OK\r\n");
  }
  EXPECT_EQ(terminal->templateBytes("00001234", 0), bytes);
  {
    NetSide net(port);
    net.send("FINGERS\r");
    EXPECT_EQ(net.readUntilContains("\n", 1000ms), "1\r\n");
    net.send("TMPDATA 00001234 0\r");
    const std::string got = net.readUntil([](const std::string& s) { return s.size() >= 384; }, 2000ms);
    EXPECT_EQ(got, bytes);
    EXPECT_EQ(net.readFor(150ms), "");  // exactly one block, nothing after it
  }
}

TEST_F(TcpFrontTest, LongTextArrivingRawIsTakenAsCommandsAndAnsweredWithALine) {
  std::string text;
  for (int i = 0; i < 20; ++i)
    text += "ADDREC IDLOOKUP E" + std::to_string(1000 + i) + "00070081" + std::to_string(i % 10) + "\r\n";
  text += "\r";
  ASSERT_GE(text.size(), 300u);
  NetSide net(port);
  for (char c : text.substr(0, text.size() / 2)) net.send(std::string(1, c));
  net.send(text.substr(text.size() / 2));
  EXPECT_EQ(net.readUntilContains("\r\n", 1000ms).substr(0, 4), "OK\r\n");
  std::this_thread::sleep_for(100ms);
  EXPECT_EQ(terminal->file("IDLOOKUP").size(), 20u);

  const std::string raw = "PAR 312 " + std::string(300, 'y');
  NetSide second(port);
  second.send(raw.substr(0, 150));
  std::this_thread::sleep_for(5ms);
  second.send(raw.substr(150));
  EXPECT_EQ(second.readUntilContains("\r\n", 2000ms), "OK\r\n");
  EXPECT_EQ(terminal->param(312), std::string(300, 'y'));
}

TEST_F(TcpFrontTest, LogonHoldsForOneConnectionOnly) {
  terminal->setLogonCode("99");
  NetSide net(port);
  net.send("SETLOGON 99\r\nGETVER\r\n");
  EXPECT_TRUE(contains(net.readUntilContains("KORVO", 1000ms), "KORVO"));
  NetSide other(port);
  other.send("GETVER\r\n");
  EXPECT_EQ(other.readUntilContains("\r\n", 1000ms), "FAIL\r\n");
}

TEST_F(TcpFrontTest, RefusingPortClosesAndListensAgainOnTheSamePort) {
  front.setFaults(port, Faults{.refuse = true});
  EXPECT_FALSE(NetSide(port).connected());
  front.setFaults(port, {});
  NetSide net(port);
  ASSERT_TRUE(net.connected());
  net.send("GETVER\r\n");
  EXPECT_TRUE(contains(net.readUntilContains("\r\n", 1000ms), "KORVO"));
}

TEST_F(TcpFrontTest, SilentTerminalAcceptsReadsAndSaysNothing) {
  front.setFaults(port, Faults{.silent = true});
  NetSide net(port);
  net.send("PAR 7 8\r\n");
  EXPECT_EQ(net.readFor(200ms), "");
  EXPECT_EQ(terminal->param(7), "8");
  EXPECT_EQ(front.accepted(port), 1);
}

TEST_F(TcpFrontTest, NeverReadingTerminalLeavesCommandsUnread) {
  front.setFaults(port, Faults{.neverRead = true});
  NetSide net(port);
  ASSERT_TRUE(net.connected());
  net.send("PAR 7 8\r\n");
  EXPECT_EQ(net.readFor(200ms), "");
  EXPECT_EQ(terminal->param(7), "6");
  EXPECT_EQ(front.transcript().size(), 0u);
}

TEST_F(TcpFrontTest, DroppedListingStopsHalfWayWithoutTheEndMark) {
  front.setFaults(port, Faults{.dropMidListing = true});
  NetSide net(port);
  net.send("LISTPAR\r\n");
  EXPECT_TRUE(net.closedWithin(1000ms));
  NetSide again(port);
  again.send("LISTPAR\r\n");
  const std::string got = again.readFor(300ms);
  EXPECT_TRUE(contains(got, "PAR 1 "));
  EXPECT_FALSE(contains(got, "\r\n*\r\n"));
}

TEST_F(TcpFrontTest, TrickleSendsSlowly) {
  front.setFaults(port, Faults{.trickleBps = 100});
  NetSide net(port);
  net.send("GETVER\r\n");
  const std::string early = net.readFor(100ms);
  EXPECT_LT(early.size(), 20u);
  EXPECT_EQ(early + net.readUntilContains("OK\r\n", 1500ms), "KORVO2K/Bio Ver 2.00 OK\r\n");
}

TEST_F(TcpFrontTest, SeveralTerminalsEachOnTheirOwnPort) {
  auto other = std::make_shared<Terminal>();
  other->setVersion("KORVO second");
  const int port2 = front.add(other);
  EXPECT_NE(port2, port);
  NetSide net(port2);
  net.send("GETVER\r\n");
  EXPECT_EQ(net.readUntilContains("\r\n", 1000ms), "KORVO second OK\r\n");
  EXPECT_EQ(front.ports().size(), 2u);
}

}  // namespace
