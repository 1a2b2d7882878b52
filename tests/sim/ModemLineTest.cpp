#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "ModemLine.h"
#include "TestSupport.h"

using namespace korvosim;
using namespace simtest;
using namespace std::chrono_literals;

namespace {

ModemOptions quick(DialOutcome outcome = DialOutcome::Connect) {
  ModemOptions o;
  o.dialDelayMs = 150;
  o.outcome = outcome;
  return o;
}

TEST(ModemLineTest, DialConnectsAndCarriesThePlainProtocolUntilEscapeAndHangUp) {
  ModemLine modem(nullptr, quick());
  PortSide port(modem.slavePath());
  port.write("ATV1\r");
  EXPECT_EQ(port.readUntilContains("OK", 1000ms), "\r\nOK\r\n");
  port.write("AT&F&C1\r");
  EXPECT_TRUE(contains(port.readUntilContains("OK", 1000ms), "OK"));
  port.write("ATD5551234\r");
  EXPECT_EQ(port.readFor(80ms), "");  // not before the dial delay
  EXPECT_EQ(port.readUntilContains("CONNECT", 1000ms), "\r\nCONNECT 9600\r\n");
  EXPECT_TRUE(modem.online());
  EXPECT_EQ(modem.lastNumber(), "5551234");

  port.write("GETVER\r");
  EXPECT_EQ(port.readUntilContains("OK", 1000ms), "KORVO2K/Bio Ver 2.00 OK\r\n");
  port.write("PAR 7\r");
  EXPECT_EQ(port.readUntilContains("\r\n", 1000ms), "PAR 7 = 6\r\n");

  port.write("+++");
  EXPECT_EQ(port.readUntilContains("OK", 1000ms), "\r\nOK\r\n");
  EXPECT_FALSE(modem.online());
  EXPECT_TRUE(modem.connected());
  port.write("ATZ\r");
  EXPECT_EQ(port.readUntilContains("OK", 1000ms), "\r\nOK\r\n");
  EXPECT_FALSE(modem.connected());
  port.write("GETVER\r");  // command mode again: not a modem command
  EXPECT_EQ(port.readUntilContains("ERROR", 1000ms), "\r\nERROR\r\n");
  EXPECT_EQ(modem.calls(), 1);

  const auto e = modem.transcript().entries();
  ASSERT_GE(e.size(), 7u);
  EXPECT_EQ(e[0].channel, Channel::Modem);
  EXPECT_EQ(e[0].text, "ATV1");
  EXPECT_EQ(e[3].channel, Channel::Plain);
  EXPECT_EQ(e[3].text, "GETVER");
}

TEST(ModemLineTest, EscapeAndHangUpInOneWriteAreBothAnswered) {
  ModemLine modem(nullptr, quick());
  PortSide port(modem.slavePath());
  port.write("ATD1\r");
  port.readUntilContains("CONNECT", 1000ms);
  port.write("+++");
  port.readUntilContains("OK", 1000ms);
  port.write("ATO\r");
  EXPECT_TRUE(contains(port.readUntilContains("CONNECT", 1000ms), "CONNECT 9600"));
  port.write("+++ATZ\r");
  const std::string got =
      port.readUntil([](const std::string& s) { return s == "\r\nOK\r\n\r\nOK\r\n"; }, 1000ms);
  EXPECT_EQ(got, "\r\nOK\r\n\r\nOK\r\n");
  EXPECT_FALSE(modem.connected());
}

TEST(ModemLineTest, BusyAndNoAnswer) {
  ModemLine modem(nullptr, quick(DialOutcome::Busy));
  PortSide port(modem.slavePath());
  port.write("ATD1\r");
  EXPECT_EQ(port.readUntilContains("BUSY", 1000ms), "\r\nBUSY\r\n");
  EXPECT_FALSE(modem.connected());
  modem.setOutcome(DialOutcome::NoAnswer);
  port.write("ATD1\r");
  EXPECT_EQ(port.readFor(400ms), "");
  modem.setOutcome(DialOutcome::Connect);
  modem.setConnectText("CONNECT 19200");
  port.write("ATD1\r");
  EXPECT_EQ(port.readUntilContains("CONNECT", 1000ms), "\r\nCONNECT 19200\r\n");
}

TEST(ModemLineTest, ClosingThePortDropsTheCall) {
  ModemLine modem(nullptr, quick());
  {
    PortSide port(modem.slavePath());
    port.write("ATD1\r");
    port.readUntilContains("CONNECT", 1000ms);
    EXPECT_TRUE(modem.connected());
  }
  for (int i = 0; i < 50 && modem.connected(); ++i) std::this_thread::sleep_for(10ms);
  EXPECT_FALSE(modem.connected());
}

}  // namespace
