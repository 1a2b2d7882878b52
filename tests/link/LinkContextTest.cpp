#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "support/FakeSerialLine.h"
#include "support/ScriptedTerminal.h"
#include "link/LinkErrors.h"
#include "link/LinkServices.h"
#include "link/PingHost.h"
#include "link/QCCom32.h"
#include "link/SerialFrame.h"
#include "support/VirtualClock.h"
#include "support/RecordingUi.h"

namespace korvo {
namespace {

using test::TFakeSerialLine;
using test::TRecordingUi;
using test::TScriptedTerminal;
using Strings = std::vector<std::string>;

// Counts probes; no terminal here is ever reachable.
class TCountingPinger final : public TPinger {
 public:
  TEchoResult Echo(const std::string&, int, int) override {
    ++probes;
    return {true, 0};
  }
  int probes = 0;
};

// The link on a fake serial line with its rows in a map: no database, no data module.
struct LinkContext : ::testing::Test {
  TVirtualClock clock;
  TRecordingUi ui;
  TFakeSerialLine line{clock};
  T_QCCom32 com{clock, ui, line.Factory()};
  TLinkContext link{clock, ui, com};
  std::map<std::string, TTerminalRow> rows;
  std::shared_ptr<TCountingPinger> pinger = std::make_shared<TCountingPinger>();
  int streams = 0;
  bool stop = false;

  LinkContext() {
    link.FindTerminal = [this](const std::string& address) -> std::optional<TTerminalRow> {
      auto it = rows.find(address);
      if (it == rows.end()) return std::nullopt;
      return it->second;
    };
    link.Pinger = pinger;
    link.NetStreamFactory = [this] {
      ++streams;
      return std::unique_ptr<TNetStream>();
    };
    link.StopRequested = [this] { return stop; };
    AddRow("1", 2, "Gate A");
    AddRow("3", 2, "Gate B");
    AddRow("5551234-9600", 3, "Depot");
    AddRow("127.0.0.1", 4370, "Office");
  }
  void AddRow(const std::string& fsAddr, int port, const std::string& location) {
    rows[fsAddr] = TTerminalRow{fsAddr, port, location};
  }
};

TEST_F(LinkContext, AnAddressThatIsNoRowNeverReachesATerminal) {
  // Each sorts next to a row that exists: the neighbour must not get the command.
  for (const std::string address : {"2", "10", "5551234-2400", "5551235-9600", "127.0.0.2", "1@4711"}) {
    try {
      SendCommand(link, address, "DELFILE SYSTEM\\AXGROUP.DAT");
      ADD_FAILURE() << address << " was sent to";
    } catch (const TUnknownTerminalError& e) {
      EXPECT_EQ(std::string(e.what()), "No terminal has the address " + address + ".");
    }
  }
  for (const std::string address : {"5551234-2400", "5550000-9600"}) {
    EXPECT_THROW(DialTerminal(link, address), TUnknownTerminalError) << address;
  }
  EXPECT_EQ(line.Opens(), 0);
  EXPECT_TRUE(line.Writes().empty());
  EXPECT_EQ(pinger->probes, 0);
  EXPECT_EQ(streams, 0);
  EXPECT_TRUE(ui.talks.empty());
  EXPECT_TRUE(link.ModemLinkState.empty());
  EXPECT_FALSE(link.Talking);
}

TEST_F(LinkContext, TextsTravelAsWindows1252AndRepliesComeBackAsUtf8) {
  TScriptedTerminal terminal(line, 1);
  terminal.plain = [](const std::string& l) -> std::string {
    if (l == "MSG caf\xE9 \x80 5") return "OK caf\xE9 \x80 5\r\n";
    if (l == "TMPDATA 1 0") return std::string("\xE9\xC3\xA9\x01", 4) + "*\r\n";
    if (l == "SETLOGON 0") return "OK\r\n";
    return {};
  };
  EXPECT_EQ(SendCommand(link, "1", "MSG café € 5"), "OK café € 5\r");
  EXPECT_EQ(line.Writes(), (Strings{"MSG caf\xE9 \x80 5\r", "SETLOGON 0\r"}));

  // Template data are bytes: nothing converted either way.
  EXPECT_EQ(SendCommand(link, "1", "TMPDATA 1 0"), std::string("\xE9\xC3\xA9\x01", 4) + "*\r");
  EXPECT_EQ(terminal.plainLines, (Strings{"MSG caf\xE9 \x80 5", "SETLOGON 0", "TMPDATA 1 0", "SETLOGON 0"}));
}

TEST_F(LinkContext, EveryConversationIsAnnouncedAndEndedAlsoWhenItFails) {
  TScriptedTerminal terminal(line, 1);
  terminal.plain = [](const std::string& l) -> std::string { return l == "GETVER" ? "KORVO OK\r\n" : ""; };
  EXPECT_EQ(SendCommand(link, "1", "GETVER"), "KORVO OK\r");
  EXPECT_EQ(ui.talks, (Strings{"started Gate A [1]", "ended"}));

  // A bus address that is no number ends the conversation with an error, and the hooks still close.
  AddRow("x1", 2, "Annex");
  terminal.plain = [](const std::string&) { return std::string(); };
  ui.talks.clear();
  EXPECT_THROW(SendCommand(link, "x1", "GETVER"), TConvertError);
  EXPECT_EQ(ui.talks, (Strings{"started Annex [x1]", "ended"}));
  EXPECT_FALSE(link.Talking);
  EXPECT_FALSE(line.IsOpen());
}

TEST_F(LinkContext, MultiCommandServicesStopAtTheirNextCommandWhenAsked) {
  TScriptedTerminal terminal(line, 1);
  terminal.plain = [this](const std::string& l) -> std::string {
    if (l == "SETLOGON 0") return "OK\r\n";
    if (l == "PAR 7") stop = true;  // the operator closes the window while the second number is read
    if (l.rfind("PAR ", 0) == 0) return l + " = 9\r\n";
    if (l == "LOCKSYS") stop = true;
    return l + " OK\r\n";
  };
  EXPECT_EQ(ReadParameters(link, "1", "30\r7\r9\r12"), "9\r\n9\r\n\r\n\r\n");
  EXPECT_EQ(terminal.plainLines, (Strings{"PAR 30", "SETLOGON 0", "PAR 7", "SETLOGON 0"}));

  stop = false;
  terminal.plainLines.clear();
  ui.calls.clear();
  EXPECT_EQ(SendCommandList(link, "1", "GETVER\rLOCKSYS\rDELFILE SYSTEM\\HOLITBL.DAT\rUNLOCKSYS"),
            "GETVER OK\rLOCKSYS OK\r");
  EXPECT_EQ(terminal.plainLines, (Strings{"GETVER", "SETLOGON 0", "LOCKSYS", "SETLOGON 0"}));
  EXPECT_EQ(ui.Progress(), (Strings{"0-3", "0", "1"}));

  // Asked before the first command: nothing at all is sent.
  line.StopSending();
  const int opens = line.Opens();
  EXPECT_EQ(ReadParameters(link, "1", "30\r7"), "\r\n\r\n");
  EXPECT_EQ(SendCommandList(link, "1", "LOCKSYS"), "");
  EXPECT_EQ(line.Opens(), opens);
}

// Window messages handled during a conversation may bring a click that wants another one.
class TReenteringUi : public TRecordingUi {
 public:
  void ProgressNotice(const std::string& text) override {
    TRecordingUi::ProgressNotice(text);
    ProcessMessages();  // the main window handles its messages when the meter moves
  }
  void ProcessMessages() override {
    TRecordingUi::ProcessMessages();
    if (during) during();
  }
  std::function<void()> during;
};

TEST(LinkReentrance, ASecondConversationDuringTheFirstIsRefused) {
  TVirtualClock clock;
  TReenteringUi ui;
  TFakeSerialLine line{clock};
  T_QCCom32 com{clock, ui, line.Factory()};
  TLinkContext link{clock, ui, com};
  link.FindTerminal = [](const std::string& address) -> std::optional<TTerminalRow> {
    if (address == "1" || address == "3") return TTerminalRow{address, address == "1" ? 2 : 5, "Door"};
    return std::nullopt;
  };
  TScriptedTerminal terminal(line, 1);
  terminal.plain = [](const std::string& l) -> std::string { return l + " OK\r\n"; };
  std::vector<std::string> refusals;
  ui.during = [&] {
    try {
      SendCommand(link, "3", "DELFILE SYSTEM\\AXGROUP.DAT");
    } catch (const TConversationBusyError& e) {
      refusals.push_back(e.what());
    }
  };
  EXPECT_EQ(SendCommand(link, "1", "ADDREC CARD 1\rADDREC CARD 2"), "ADDREC CARD 1 OK\rADDREC CARD 2 OK\r");
  EXPECT_EQ(refusals, (Strings(2, "A terminal conversation is already running.")));
  EXPECT_EQ(line.OpenedPorts(), std::vector<int>{2}) << "the second terminal's port was never opened";
  EXPECT_EQ(terminal.plainLines, (Strings{"ADDREC CARD 1", "ADDREC CARD 2", "SETLOGON 0"}));
  EXPECT_EQ(ui.talks, (Strings{"started Door [1]", "ended"}));

  // Once it has ended, the next conversation may start.
  ui.during = nullptr;
  EXPECT_EQ(SendCommand(link, "3", "GETVER"), "GETVER OK\r");
  EXPECT_EQ(line.OpenedPorts(), (std::vector<int>{2, 5}));
}

}  // namespace
}  // namespace korvo
