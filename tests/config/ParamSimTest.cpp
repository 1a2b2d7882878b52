// Reading and sending a terminal's parameters end to end against the simulator over loopback TCP,
// on virtual time.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "Faults.h"
#include "TcpFront.h"
#include "Terminal.h"
#include "config/HardwareForm.h"
#include "config/ParamRead.h"
#include "config/ParamSend.h"
#include "config/ParamTable.h"
#include "link/SocketStream.h"
#include "support/NetTestSupport.h"

namespace korvo {
namespace {

using Strings = std::vector<std::string>;

class ParamSim : public test::TNetFixture {
 protected:
  // A terminal at 127.0.0.1 with `logon` as its logon code ("" for none) and address suffix.
  std::shared_ptr<korvosim::Terminal> Add(const std::string& logon = "",
                                          korvosim::TerminalOptions options = {}) {
    options.logonCode = logon;
    auto t = std::make_shared<korvosim::Terminal>(options);
    const int port = tcp.add(t);
    const std::string address = logon.empty() ? "127.0.0.1" : "127.0.0.1@" + logon;
    AddTerminal(address, port);
    ports[address] = port;
    return t;
  }
  bool Read(const std::string& address = "127.0.0.1") {
    return ReadTerminalParams(dm.Link, address, "Gate", table, form);
  }
  bool Send(TSendChoice choice, const std::string& address = "127.0.0.1") {
    return SendTerminalParams(dm.Link, dm.ADOC, address, table, form, choice, {});
  }
  // The commands received since the last call, each with the port it came to.
  Strings Commands(bool withPort = false) {
    Strings out;
    const auto entries = tcp.transcript().entries();
    for (std::size_t i = seen; i < entries.size(); ++i) {
      if (entries[i].text.rfind("SETLOGON", 0) == 0) continue;
      out.push_back(withPort ? PortName(entries[i].where) + " " + entries[i].text : entries[i].text);
    }
    seen = entries.size();
    return out;
  }
  std::string PortName(int port) {
    for (const auto& [address, p] : ports)
      if (p == port) return address.substr(address.find('@') + 1);
    return "?";
  }

  korvosim::TcpFront tcp;
  std::map<std::string, int> ports;
  std::size_t seen = 0;
  TParamTable table;
  THardwareForm form;
};

Strings ReadCommands() {
  Strings c{" "};
  for (int n : AllPageNumbers()) c.push_back("PAR " + std::to_string(n));
  c.push_back("GETVER");
  for (const char* n : {"102", "144", "129", "147", "128"}) c.push_back(std::string("SFMPAR ") + n);
  return c;
}

const Strings kModuleFactoryLines = {"SFMPAR 102 5", "SFMPAR 144 0", "SFMPAR 147 6", "SFMPAR 129 1",
                                     "SFMPAR 128 7"};

TEST_F(ParamSim, AFullReadProbesReadsTheFiftyFivePageByPageThenVersionAndModule) {
  Add();
  ASSERT_TRUE(Read());
  EXPECT_EQ(Commands(), ReadCommands());
  Strings notices{"0-55"};
  for (int i = 1; i <= 55; ++i) notices.push_back(std::to_string(i));
  Strings progress;
  for (const auto& p : ui.Progress())
    if (p == "0-55" || p.find('-') == std::string::npos) progress.push_back(p);
  EXPECT_EQ(progress, notices);
  EXPECT_TRUE(table.Filled());
  EXPECT_TRUE(form.ValuesLoaded);
  EXPECT_EQ(table[400], "#w #n #D/#M/#C#Y #h:#m:#s#E");
  EXPECT_EQ(form.Text("lFirmware").rfind("KORVO2K/Bio Ver 2.00", 0), 0u);
  EXPECT_EQ(form.Index("cbSecurityLevel"), 2);
  EXPECT_EQ(form.Number("SlideSensitive"), 7);
  EXPECT_EQ(form.Text("pDirect"), "Gate");
}

TEST_F(ParamSim, SendingTheLcdPageOfFactoryValues) {
  Add();
  ASSERT_TRUE(Read());
  Commands();
  ASSERT_TRUE(Send({.page = 1}));
  Strings expected = kModuleFactoryLines;
  for (const char* line :
       {"PAR 2 1", "PAR 3 2", "PAR 7 6", "PAR 18 7", "PAR 301 F1", "PAR 302 F2", "PAR 303 F3", "PAR 304 F4",
        "PAR 305 F5", "PAR 306 F6", "PAR 307 F7", "PAR 308 F8", "PAR 216 10", "PAR 312 Korvo2kBio",
        "PAR 32 0", "PAR 313 0200130021002300", "RESTART"})
    expected.push_back(line);
  EXPECT_EQ(Commands(), expected);
}

TEST_F(ParamSim, ToAllTerminalsGoesFromTheLastAddressAndTheModuleOnlyToTheCurrentOne) {
  Add("1");
  Add("2");
  Add("3");
  ASSERT_TRUE(Read("127.0.0.1@2"));
  Commands();
  ASSERT_TRUE(Send({.page = 4, .allTerminals = true}, "127.0.0.1@2"));
  Strings expected;
  for (const auto& line : kModuleFactoryLines) expected.push_back("2 " + line);
  for (const char* t : {"3", "2", "1"})
    for (const char* line : {"PAR 29 1", "PAR 16 0", "RESTART"})
      expected.push_back(std::string(t) + " " + line);
  EXPECT_EQ(Commands(true), expected);

  // No terminal rows to walk: only the module values reach the current terminal.
  dm.ADOC.Execute("DELETE FROM tTerminals");
  auto row = ports.find("127.0.0.1@2");
  dm.Link.FindTerminal = [row](const std::string&) {
    return std::optional<TTerminalRow>(TTerminalRow{row->first, row->second, "Gate"});
  };
  ASSERT_TRUE(Send({.page = 4, .allTerminals = true}, "127.0.0.1@2"));
  Strings moduleOnly;
  for (const auto& line : kModuleFactoryLines) moduleOnly.push_back("2 " + line);
  EXPECT_EQ(Commands(true), moduleOnly);
}

TEST_F(ParamSim, AMessageWithBlanksRoundTripsAndEmptyValuesKeepTheirBlank) {
  auto t = Add();
  t->setParam(309, "Open the Door!");
  t->setParam(310, std::string(20, 'L'));  // longer than the field lets one type
  ASSERT_TRUE(Read());
  EXPECT_EQ(form.Text("edRexMsg"), "Open the Door!");
  EXPECT_EQ(form.Text("edDO2Lmsg"), std::string(20, 'L'));
  Commands();
  ASSERT_TRUE(Send({.page = 2}));
  const Strings sent = Commands();
  EXPECT_NE(std::find(sent.begin(), sent.end(), "PAR 309 Open the Door!"), sent.end());
  EXPECT_NE(std::find(sent.begin(), sent.end(), "PAR 310 " + std::string(20, 'L')), sent.end());
  EXPECT_EQ(t->param(309), "Open the Door!");
  table.Set(301, "");
  EXPECT_EQ(ParamCommandLines(table, {301, 309}), "PAR 301 \r\nPAR 309 Open the Door!\r\n");
}

TEST_F(ParamSim, ResetShowsTheValuesReadAgainWithoutReadingParameters) {
  auto t = Add();
  t->setParam(3, "2");
  ASSERT_TRUE(Read());
  form.SetIndex("cbTime", 0);
  Commands();
  ResetParams(dm.Link, "127.0.0.1", "Gate", table, form);
  EXPECT_EQ(form.Index("cbTime"), 1);
  const Strings reset = Commands();
  ASSERT_EQ(reset.size(), 6u);
  EXPECT_EQ(reset[0], "GETVER");
  ASSERT_TRUE(Send({.page = 1}));
  const Strings sent = Commands();
  EXPECT_NE(std::find(sent.begin(), sent.end(), "PAR 3 2"), sent.end());
}

TEST_F(ParamSim, ASilentTerminalCannotBeReadAndNothingIsSentAfterwards) {
  Add();
  tcp.setFaults(ports["127.0.0.1"], korvosim::Faults{.silent = true});
  // Nothing ever comes: no real wait is worth more than a moment.
  dm.Link.NetStreamFactory = [this] { return std::make_unique<TSocketStream>(test::HybridPoll(clock, 2)); };
  form.ValuesLoaded = true;  // values of an earlier terminal on the screen
  EXPECT_FALSE(Read());
  EXPECT_EQ(ui.Texts("warning").back(), "Can't access to Gate");
  EXPECT_FALSE(table.Filled());
  Commands();
  EXPECT_FALSE(Send({.page = 1, .allPages = true}));
  EXPECT_EQ(Commands(), Strings{});
  EXPECT_EQ(ui.Texts("warning").back(), kSendRefused);
}

TEST_F(ParamSim, AProbeAnsweredWithoutTheMarkReadsNothing) {
  Add("", {.logonCode = "", .blankReply = "READY"});
  EXPECT_FALSE(Read());
  EXPECT_EQ(Commands(), Strings{" "});
  EXPECT_EQ(ui.Texts("warning").back(), "Can't access to Gate");
}

TEST_F(ParamSim, AStopBetweenPagesStoresNoPartOfAPage) {
  Add();
  int reads = 0;
  dm.Link.StopRequested = [&] { return ++reads > 20; };
  EXPECT_FALSE(Read());
  EXPECT_FALSE(form.ValuesLoaded);
  EXPECT_EQ(table[19], "4") << "the first page was read whole";
  EXPECT_EQ(table[2], "") << "the page the stop cut was not stored";
}

// A line that misbehaves: a read that reports success holds the terminal's own values, never a cut
// reply, since those would be sent back as they stand; a read that fails says so.
TEST_F(ParamSim, AReadOverAFaultyLineIsWholeOrRefused) {
  const struct {
    const char* name;
    korvosim::Faults faults;
    bool read;
    int graceMs;  // real time a wait is given before the virtual clock takes over
  } cases[] = {
      {"trickled bytes", {.trickleBps = 100000}, true, 40},
      {"late replies", {.delayMs = 5}, true, 40},
      {"noise before every reply", {.garbage = true}, true, 40},
      {"no completion tokens", {.noCompletion = true}, false, 2},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    dm.ADOC.Execute("DELETE FROM tTerminals");
    ports.clear();
    table.Clear();
    ui.calls.clear();
    auto t = Add();
    tcp.setFaults(ports["127.0.0.1"], c.faults);
    dm.Link.NetStreamFactory = [this, &c] {
      return std::make_unique<TSocketStream>(test::HybridPoll(clock, 40));
    };
    ASSERT_EQ(Read(), c.read);
    EXPECT_EQ(table.Filled(), c.read);
    EXPECT_EQ(form.ValuesLoaded, c.read);
    if (!c.read) {
      EXPECT_EQ(ui.Texts("warning"), Strings{"Can't access to Gate"});
      continue;
    }
    for (int n : AllPageNumbers()) EXPECT_EQ(table[n], t->param(n)) << n;
  }
}

}  // namespace
}  // namespace korvo
