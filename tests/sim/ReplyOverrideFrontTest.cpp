#include <gtest/gtest.h>

#include <chrono>
#include <memory>

#include "ModemLine.h"
#include "SerialBus.h"
#include "TcpFront.h"
#include "TestSupport.h"

using namespace korvosim;
using namespace simtest;
using namespace std::chrono_literals;

namespace {

using Kind = ReplyOverride::Kind;

enum class Line { Tcp, SerialPlain, SerialFramed, Modem };

// One terminal behind one front end, and the PC's end of it.
class Rig {
 public:
  explicit Rig(Line line) : line_(line) {
    switch (line) {
      case Line::Tcp:
        tcp_ = std::make_unique<TcpFront>();
        net_ = std::make_unique<NetSide>(tcp_->add(terminal));
        break;
      case Line::SerialPlain:
      case Line::SerialFramed:
        bus_ = std::make_unique<SerialBus>();
        bus_->attach(1, terminal);
        port_ = std::make_unique<PortSide>(bus_->slavePath());
        break;
      case Line::Modem:
        ModemOptions quick;
        quick.dialDelayMs = 10;
        modem_ = std::make_unique<ModemLine>(terminal, quick);
        port_ = std::make_unique<PortSide>(modem_->slavePath());
        port_->write("ATD1\r");
        port_->readUntilContains("CONNECT 9600\r\n", 1000ms);
        break;
    }
  }

  // The reply text to one command as the PC reads it: the bytes of a plain line, the data of the answer
  // frame on the bus. Reads until `expected` bytes have come; for an expected silence, a while.
  std::string ask(const std::string& command, std::size_t expected) {
    const auto enough = [expected](const std::string& s) { return expected > 0 && s.size() >= expected; };
    const Ms limit = expected > 0 ? 1000ms : 200ms;
    switch (line_) {
      case Line::Tcp:
        net_->send(command + "\r\n");
        return net_->readUntil(enough, limit);
      case Line::SerialPlain:
      case Line::Modem:
        port_->write(command + "\r");
        return port_->readUntil(enough, limit);
      case Line::SerialFramed: {
        port_->write(handFrame(command, 1));
        const std::string raw = port_->readUntil(
            [](const std::string& s) { return frameComplete(s) && s.size() >= 2 && s.back() == '\n'; },
            limit);
        if (raw.empty()) return raw;
        const auto f = readReplyFrame(raw);
        if (!f || !f->checksumMatches || f->addressField != "01" || f->status == 'Z')
          return "bad frame: " + raw;
        return f->data;
      }
    }
    return {};
  }

  std::shared_ptr<Terminal> terminal = std::make_shared<Terminal>();

 private:
  Line line_;
  std::unique_ptr<TcpFront> tcp_;
  std::unique_ptr<SerialBus> bus_;
  std::unique_ptr<ModemLine> modem_;
  std::unique_ptr<NetSide> net_;
  std::unique_ptr<PortSide> port_;
};

struct FrontCase {
  const char* name;
  ReplyOverride o;  // taking one command line only
  std::string command;
  std::string scripted;  // what the override makes the terminal send
  std::string normal;    // the same command's answer once the override is spent
};

const FrontCase kCases[] = {
    {"text", {.match = "PAR 7", .kind = Kind::Text, .text = "abc"}, "PAR 7", "abc\r\n", "PAR 7 = 6\r\n"},
    {"listing text",
     {.match = "DIR TRANS", .kind = Kind::Text, .text = "EMPTY\r\n*"},
     "DIR TRANS",
     "EMPTY\r\n*\r\n",
     "TRANS 22 Bytes Used\r\n010124.DAT 1 NEW\r\n*\r\n"},
    {"fail", {.match = "CHKTEMP", .kind = Kind::Fail}, "CHKTEMP 1234", "FAIL\r\n", "0\r\n"},
    {"silent", {.match = "GETVER", .kind = Kind::Silent}, "GETVER", "", "KORVO2K/Bio Ver 2.00 OK\r\n"},
    {"partial",
     {.match = "TYPE TRANS\\", .kind = Kind::Partial, .bytes = 10},
     "TYPE TRANS\\",
     "0004081730",
     "000408173083000I0000\r\n*\r\n"},
};

class ReplyOverrideFrontTest : public ::testing::TestWithParam<Line> {};

TEST_P(ReplyOverrideFrontTest, ScriptedAnswerGoesOutInTheLinesFramingOnceThenTheNormalOne) {
  for (const auto& c : kCases) {
    Rig rig(GetParam());
    rig.terminal->setFile("TRANS\\010124.DAT", {"000408173083000I0000"});
    ReplyOverride o = c.o;
    o.times = 1;
    rig.terminal->addReplyOverride(o);
    EXPECT_EQ(rig.ask("PAR 70", 11), "PAR 70 = 0\r\n") << c.name;  // no override takes it
    EXPECT_EQ(rig.ask(c.command, c.scripted.size()), c.scripted) << c.name;
    EXPECT_EQ(rig.ask(c.command, c.normal.size()), c.normal) << c.name;
    EXPECT_EQ(rig.ask("GETVER", 25), "KORVO2K/Bio Ver 2.00 OK\r\n") << c.name;  // and nothing else came
  }
}

std::string lineName(const ::testing::TestParamInfo<Line>& info) {
  const char* names[] = {"Tcp", "SerialPlain", "SerialFramed", "Modem"};
  return names[static_cast<int>(info.param)];
}

INSTANTIATE_TEST_SUITE_P(Lines, ReplyOverrideFrontTest,
                         ::testing::Values(Line::Tcp, Line::SerialPlain, Line::SerialFramed, Line::Modem),
                         lineName);

}  // namespace
