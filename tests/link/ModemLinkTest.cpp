#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <stdexcept>

#include "support/FakeSerialLine.h"
#include "support/ScriptedModem.h"
#include "link/LinkErrors.h"
#include "link/ModemLink.h"
#include "link/Transports.h"
#include "support/VirtualClock.h"
#include "store/DataMod.h"
#include "store/Program.h"
#include "support/RecordingUi.h"
#include "support/TempFolder.h"
#include "support/TemplateDatabase.h"

namespace korvo {
namespace {

using test::TDial;
using test::TFakeSerialLine;
using test::TScriptedModem;

// Records the modem window's life and can press its Disconnect button from the event loop.
class TModemUi : public test::TRecordingUi {
 public:
  void ShowModemWindow(const std::string& number, const std::string& rate,
                       std::function<void()> onDisconnect) override {
    calls.push_back({"modem-show", number + " " + rate});
    disconnect = std::move(onDisconnect);
  }
  void SetModemCountDown(const std::string& text) override {
    calls.push_back({"modem-count", text});
    if (onCountDown) onCountDown(text);
  }
  void CloseModemWindow() override {
    calls.push_back({"modem-close", ""});
    if (clock) closedAt = clock->ElapsedMs();
  }
  void ProcessMessages() override {
    TRecordingUi::ProcessMessages();
    if (pressDisconnect && disconnect) {
      pressDisconnect = false;
      disconnect();
      if (afterDisconnect) afterDisconnect();
    }
  }

  std::function<void()> disconnect;
  std::function<void(const std::string&)> onCountDown;
  std::function<void()> afterDisconnect;
  bool pressDisconnect = false;
  TVirtualClock* clock = nullptr;
  std::int64_t closedAt = -1;
};

class ModemLink : public ::testing::Test {
 protected:
  ModemLink() : dm(test::StartProgram(program)), line(clock), modem(line) {
    dm.QCCom.SetDeviceFactory(line.Factory());
    ui.clock = &clock;
    AddTerminal("5551234-9600", 3);
    AddTerminal("5551234-9600@4711", 3);
    AddTerminal("5559999-2400", 4);
    AddTerminal("1", 2);
  }
  ~ModemLink() override { program.ShutDown(); }
  void AddTerminal(const std::string& fsAddr, int port) {
    dm.ADOC.Execute("INSERT INTO tTerminals (fsAddr, fsTermNo, fsLocation, fnPort) VALUES (?, ?, ?, ?)",
                    {TextValue(fsAddr), TextValue("001"), TextValue("Far"), IntValue(port)});
  }
  // The writes from the n-th on.
  std::vector<std::string> WritesFrom(std::size_t n) const {
    auto all = line.Writes();
    return std::vector<std::string>(all.begin() + static_cast<std::ptrdiff_t>(std::min(n, all.size())),
                                    all.end());
  }

  test::TTempFolder dir;
  TVirtualClock clock;
  TModemUi ui;
  TProgram program{dir.Path(), clock, ui};
  TDM& dm;
  TFakeSerialLine line;
  TScriptedModem modem;
};

using Writes = std::vector<std::string>;

TEST_F(ModemLink, DialsAtTheAddressRateAndTheCallStaysUpForTheNextText) {
  EXPECT_EQ(dm.SendCommand("5551234-9600", "GETVER"), "KORVO2K/Bio Ver 2.00 OK\r");
  EXPECT_EQ(line.OpenedPorts(), std::vector<int>{3});
  EXPECT_EQ(line.LastSettings().baud, 9600);
  EXPECT_EQ(line.Writes(), (Writes{"ATV1\r", "ATD5551234\r", "GETVER\r"}))
      << "no logon code: no SETLOGON at all";
  EXPECT_EQ(ui.Texts("modem-show"), Writes{"5551234 9600"});
  EXPECT_EQ(ui.Texts("modem-count"), (Writes{"60", "59", "58"})) << "CONNECT came in the third second";
  EXPECT_EQ(ui.Texts("modem-close").size(), 1u);
  EXPECT_EQ(dm.Link.ModemLinkState, "5551234");
  EXPECT_TRUE(line.IsOpen());

  EXPECT_EQ(dm.SendCommand("5551234-9600", "GETVER\rPAR 7"), "KORVO2K/Bio Ver 2.00 OK\r? FAIL\r");
  EXPECT_EQ(line.Opens(), 1);
  EXPECT_EQ(WritesFrom(3), (Writes{"GETVER\r", "PAR 7\r"})) << "no second dial";
  EXPECT_EQ(ui.Texts("modem-show").size(), 1u);
}

TEST_F(ModemLink, TheInitialisationCommandFollowsAtv1) {
  dm.Settings.SetModemInit("AT&F");
  ASSERT_TRUE(dm.DialTerminal("5551234-9600"));
  EXPECT_EQ(line.Writes(), (Writes{"ATV1\r", "AT&F\r", "ATD5551234\r"}));
}

TEST_F(ModemLink, ALogonCodeFramesTheCommandLines) {
  EXPECT_EQ(dm.SendCommand("5551234-9600@4711", "GETVER"), "KORVO2K/Bio Ver 2.00 OK\r");
  EXPECT_EQ(WritesFrom(2), (Writes{"SETLOGON 4711\r", "GETVER\r", "SETLOGON 0\r"}));
  EXPECT_TRUE(line.IsOpen());
}

TEST_F(ModemLink, WaitModemReplySendsEachCommandAndCollectsOnePlusPerOk) {
  ASSERT_TRUE(dm.DialTerminal("5551234-9600"));
  std::size_t before = line.Writes().size();
  EXPECT_EQ(dm.WaitModemReply("+++ ATZ^"), "++");
  EXPECT_EQ(WritesFrom(before), (Writes{"+++", "ATZ\r"})) << "the escape has no line end";
  EXPECT_EQ(dm.WaitModemReply(""), "");
  EXPECT_EQ(dm.WaitModemReply("ATE0^,ATQ0^"), "++");

  modem.answersAt = false;
  auto t0 = clock.ElapsedMs();
  EXPECT_EQ(dm.WaitModemReply("+++ ATZ^"), "--");
  EXPECT_EQ(clock.ElapsedMs() - t0, 2 * 100 * 20) << "100 polls of 20 ms per command";
}

TEST_F(ModemLink, DisconnectEndsTheDialLoopWithinASecondAndTheNextDialDoesNotDial) {
  modem.dial = TDial::Silent;
  std::int64_t pressedDone = -1;
  ui.onCountDown = [&](const std::string& text) {
    if (text == "57") ui.pressDisconnect = true;
  };
  ui.afterDisconnect = [&] { pressedDone = clock.ElapsedMs(); };
  EXPECT_EQ(dm.SendCommand("5551234-9600", "GETVER"), "--\r");
  ASSERT_GE(pressedDone, 0);
  EXPECT_EQ(ui.closedAt - pressedDone, 1000) << "the loop sees the state after its next pause";
  EXPECT_EQ(dm.Link.ModemLinkState, "Disconnect");
  EXPECT_FALSE(line.IsOpen());
  EXPECT_EQ(ui.Texts("modem-count"), (Writes{"60", "59", "58", "57"}));
  EXPECT_EQ(ui.Texts("modem-close").size(), 1u);
  EXPECT_EQ(WritesFrom(2), (Writes{"+++", "ATZ\r"})) << "hung up; nothing goes out on the closed port";

  // The operator hung up: the next text opens the port but does not dial.
  std::size_t before = line.Writes().size();
  EXPECT_EQ(dm.SendCommand("5551234-9600", "GETVER"), "--\r");
  EXPECT_TRUE(line.IsOpen());
  EXPECT_EQ(WritesFrom(before), Writes{"GETVER\r"});
  EXPECT_EQ(ui.Texts("modem-show").size(), 1u);
}

// BUSY, and the other final results a modem gives instead of CONNECT, end the wait at once.
struct ModemDialResult : ModemLink, ::testing::WithParamInterface<const char*> {};

TEST_P(ModemDialResult, IsShownForTwoSecondsAndTheCommandsGetDashes) {
  modem.dial = TDial::Busy;
  modem.dialResult = GetParam();
  EXPECT_EQ(dm.SendCommand("5551234-9600", "GETVER\rPAR 7"), "--\r--\r");
  auto counts = ui.Texts("modem-count");
  ASSERT_FALSE(counts.empty());
  EXPECT_EQ(counts.back(), GetParam());
  EXPECT_EQ(ui.closedAt, 20 + 3000 + 2000) << "ATV1, the result three seconds after ATD, shown for two seconds";
  EXPECT_EQ(ui.Texts("modem-close").size(), 1u);
  EXPECT_EQ(dm.Link.ModemLinkState, "5551234") << "the number is kept: no redial for the next text";
  auto before = clock.ElapsedMs();
  EXPECT_EQ(dm.SendCommand("5551234-9600", "GETVER"), "--\r");
  EXPECT_EQ(clock.ElapsedMs() - before, 10 * 25) << "ten idle polls, no dialling";
}

INSTANTIATE_TEST_SUITE_P(Results, ModemDialResult,
                         ::testing::Values("BUSY", "NO CARRIER", "NO DIALTONE", "NO DIAL TONE", "NO ANSWER"));

TEST_F(ModemLink, ASilentModemIsGiven61SecondsAndItsCommandsGetDashes) {
  modem.dial = TDial::Silent;
  modem.answersAt = false;
  EXPECT_EQ(dm.SendCommand("5551234-9600", "GETVER"), "--\r");
  auto counts = ui.Texts("modem-count");
  ASSERT_EQ(counts.size(), 61u);
  EXPECT_EQ(counts.front(), "60");
  EXPECT_EQ(counts.back(), "0");
  EXPECT_EQ(clock.ElapsedMs(), 2000 + 61 * 1000 + 10 * 25)
      << "ATV1 unanswered, 61 silent seconds, GETVER idle";
}

TEST_F(ModemLink, TheCountDownStopsInSecondsWithIncomingBytes) {
  modem.dial = TDial::Silent;
  // The loop's seconds end 1020, 2020, ... ms from now: these arrive in its 5th and 6th second.
  line.Send("\r\nRING\r\n", 4500);
  line.Send("\r\nRING\r\n", 5500);
  ASSERT_TRUE(dm.DialTerminal("5551234-9600"));
  auto counts = ui.Texts("modem-count");
  ASSERT_EQ(counts.size(), 63u);
  EXPECT_EQ(std::vector<std::string>(counts.begin() + 3, counts.begin() + 8),
            (Writes{"57", "56", "56", "56", "55"}));
  EXPECT_EQ(counts.back(), "0");
}

TEST_F(ModemLink, AModemThatNeverFallsSilentStillEndsTheDialLoop) {
  modem.dial = TDial::Silent;
  line.SendEndless("~", 0.01, 100);
  ASSERT_TRUE(dm.DialTerminal("5551234-9600"));
  EXPECT_EQ(ui.Texts("modem-count").size(), static_cast<std::size_t>(kDialMostSeconds));
  EXPECT_EQ(ui.Texts("modem-close").size(), 1u);
}

TEST_F(ModemLink, ANonModemAddressHangsUpAndAnotherNumberRedials) {
  ASSERT_TRUE(dm.DialTerminal("5551234-9600"));
  std::size_t before = line.Writes().size();
  ASSERT_TRUE(dm.DialTerminal("5559999-2400"));
  EXPECT_EQ(WritesFrom(before), (Writes{"+++", "ATZ\r", "ATV1\r", "ATD5559999\r"}));
  EXPECT_EQ(line.OpenedPorts(), (std::vector<int>{3, 4}));
  EXPECT_EQ(line.LastSettings().baud, 2400);
  EXPECT_EQ(dm.Link.ModemLinkState, "5559999");

  before = line.Writes().size();
  auto t0 = clock.ElapsedMs();
  EXPECT_FALSE(dm.DialTerminal("1"));
  EXPECT_EQ(WritesFrom(before), (Writes{"+++", "ATZ\r"}));
  EXPECT_FALSE(line.IsOpen());
  EXPECT_GE(clock.ElapsedMs() - t0, 1000) << "a second's pause before the escape";
  EXPECT_EQ(dm.Link.ModemLinkState, "") << "the call is over: the same number dials again";
  EXPECT_FALSE(dm.DialTerminal("1")) << "nothing to hang up";
  EXPECT_EQ(line.Writes().size(), before + 2);
}

TEST_F(ModemLink, APortThatDoesNotOpenGivesDashes) {
  line.alwaysFail = true;
  EXPECT_EQ(dm.SendCommand("5551234-9600", "GETVER\rPAR 7\rPAR 8"), "--\r--\r--\r");
  EXPECT_EQ(ui.Texts("abortretry"), Writes{"Error opening COM3: "});
  EXPECT_EQ(dm.Link.ModemLinkState, "");
}

TEST_F(ModemLink, AnErrorWhileDiallingClearsTheStateAndHangsUp) {
  ui.onCountDown = [](const std::string&) { throw std::runtime_error("window gone"); };
  modem.dial = TDial::Silent;
  EXPECT_FALSE(dm.DialTerminal("5551234-9600"));
  EXPECT_EQ(dm.Link.ModemLinkState, "");
  EXPECT_EQ(WritesFrom(2), (Writes{"+++", "ATZ\r"}));
  EXPECT_EQ(ui.Texts("modem-close").size(), 1u);
}

TEST_F(ModemLink, AnUnknownModemAddressDialsNothingAndAClickDuringTheDialIsRefused) {
  for (const std::string address : {"5551234-2400", "5550000-9600"}) {
    try {
      dm.DialTerminal(address);
      ADD_FAILURE() << address << " was dialled";
    } catch (const TUnknownTerminalError& e) {
      EXPECT_EQ(std::string(e.what()), "No terminal has the address " + address + ".");
    }
  }
  EXPECT_EQ(line.Opens(), 0);
  EXPECT_TRUE(line.Writes().empty());

  // While the call is dialled window messages are handled: a click on a serial terminal arrives.
  std::vector<std::string> refusals;
  ui.onCountDown = [&](const std::string&) {
    try {
      dm.DialTerminal("1");  // would hang up the call being dialled
    } catch (const TConversationBusyError& e) {
      refusals.push_back(e.what());
    }
    try {
      dm.SendCommand("1", "GETVER");
    } catch (const TConversationBusyError& e) {
      refusals.push_back(e.what());
    }
  };
  EXPECT_EQ(dm.SendCommand("5551234-9600", "GETVER"), "KORVO2K/Bio Ver 2.00 OK\r");
  ASSERT_GE(refusals.size(), 2u);
  EXPECT_EQ(refusals, Writes(refusals.size(), "A terminal conversation is already running."));
  EXPECT_EQ(line.OpenedPorts(), std::vector<int>{3}) << "the serial terminal's port was never opened";
  EXPECT_EQ(line.Writes(), (Writes{"ATV1\r", "ATD5551234\r", "GETVER\r"}));
  EXPECT_EQ(ui.talks, (Writes{"started Far [5551234-9600]", "ended"}));
}

TEST_F(ModemLink, ExchangeStopRulesIdleCountsAndProgress) {
  ASSERT_TRUE(dm.DialTerminal("5551234-9600"));
  std::map<std::string, std::string> replies = {
      {"LOCKSYS", "OK\r\n"},
      {"DELFILE X", "FAIL\r\n"},
      {"TYPE TRANS\\010124.DAT", "001234567 070000I0000\r\n001234568 070100I0000\r\n*\r\n"},
      {"TYPE TMPTABLE", ""},
      {"type tmpdata 1 0", std::string(384, '\x01') + "\r\n*\r\n"},
  };
  modem.terminal = [&](const std::string& c) { return replies[c]; };
  TTerminalRow row{"5551234-9600", 3, "Depot"};

  auto t0 = clock.ElapsedMs();
  EXPECT_EQ(ModemExchange(dm.Link, row, "LOCKSYS"), "OK\r\n");
  EXPECT_EQ(clock.ElapsedMs() - t0, 11 * 25) << "OK is no stop token: one busy poll, then ten idle ones";

  t0 = clock.ElapsedMs();
  EXPECT_EQ(ModemExchange(dm.Link, row, "DELFILE X"), "FAIL\r\n");
  EXPECT_EQ(clock.ElapsedMs() - t0, 25);

  ui.calls.clear();
  EXPECT_EQ(ModemExchange(dm.Link, row, "TYPE TRANS\\010124.DAT"), replies["TYPE TRANS\\010124.DAT"]);
  EXPECT_EQ(ui.Progress(), Writes{"3"});

  t0 = clock.ElapsedMs();
  EXPECT_EQ(ModemExchange(dm.Link, row, "TYPE TMPTABLE"), "");
  EXPECT_EQ(clock.ElapsedMs() - t0, 300 * (25 + 100)) << "300 idle polls of 125 ms";

  t0 = clock.ElapsedMs();
  EXPECT_EQ(ModemExchange(dm.Link, row, "type tmpdata 1 0"), replies["type tmpdata 1 0"]);
  EXPECT_EQ(clock.ElapsedMs() - t0, 25 + 100 + 30)
      << "upper-cased: 100 ms more per poll, 30 ms after the reply";
}

}  // namespace
}  // namespace korvo
