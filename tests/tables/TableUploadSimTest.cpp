// SEND of the table pages against simulated terminals over loopback TCP, on virtual time: the
// command texts one connection each, the meter, the lists stored, and the files the terminal keeps.
#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "Faults.h"
#include "TcpFront.h"
#include "Terminal.h"
#include "link/SocketStream.h"
#include "store/SettingsRecord.h"
#include "support/NetTestSupport.h"
#include "tables/ListField.h"
#include "tables/MessageEditor.h"
#include "tables/TableEditors.h"
#include "tables/TableUpload.h"

namespace korvo {
namespace {

using Strings = std::vector<std::string>;

// The bytes written on each connection: one command text each. The logon line the link sends
// first on an address with "@" is left out.
class TRecordingStream final : public TNetStream {
 public:
  TRecordingStream(std::unique_ptr<TNetStream> inner, Strings& sent)
      : inner_(std::move(inner)), sent_(sent) {}
  int Connect(const std::string& host, int port, int limitMs) override {
    sent_.emplace_back();
    index_ = sent_.size() - 1;
    return inner_->Connect(host, port, limitMs);
  }
  bool Write(std::string_view bytes, int limitMs) override {
    pending_ += bytes;
    for (auto end = pending_.find("\r\n"); end != std::string::npos; end = pending_.find("\r\n")) {
      const std::string line = pending_.substr(0, end + 2);
      pending_.erase(0, end + 2);
      if (!line.starts_with("SETLOGON ")) sent_[index_] += line;
    }
    return inner_->Write(bytes, limitMs);
  }
  bool WaitReadable(int limitMs) override { return inner_->WaitReadable(limitMs); }
  std::string ReadSome(std::size_t maxBytes) override { return inner_->ReadSome(maxBytes); }
  bool AtEnd() const override { return inner_->AtEnd(); }
  void Close() override {
    sent_[index_] += pending_;
    pending_.clear();
    inner_->Close();
  }

 private:
  std::unique_ptr<TNetStream> inner_;
  Strings& sent_;
  std::size_t index_ = 0;
  std::string pending_;
};

class TableUploadSim : public test::TNetFixture {
 protected:
  TableUploadSim() {
    dm.Link.NetStreamFactory = [this] {
      return std::make_unique<TRecordingStream>(std::make_unique<TSocketStream>(test::HybridPoll(clock)),
                                                sent);
    };
    gate = Add("1", "Gate", "6");
    door = Add("2", "Door", "8");
    dm.Settings.SetSelectedAddr(kGate);
    dm.Settings.SetCurLocation("Gate");
    ui.calls.clear();
  }

  std::shared_ptr<korvosim::Terminal> Add(const std::string& n, const std::string& location,
                                          const std::string& cardDigits) {
    auto t = std::make_shared<korvosim::Terminal>();
    t->setParam(7, cardDigits);
    const int port = tcp.add(t);
    names[port] = location;
    dm.ADOC.Execute("INSERT INTO tTerminals (fsAddr, fsTermNo, fsLocation, fnPort) VALUES (?, ?, ?, ?)",
                    {TextValue("127.0.0.1@" + n), TextValue("00" + n), TextValue(location), IntValue(port)});
    return t;
  }
  void AddCard(const std::string& card, const std::string& name, const std::string& id = "") {
    dm.ADOC.Execute("INSERT INTO tEmployees (fsCardNo, fsIDNo, fsName) VALUES (?, ?, ?)",
                    {TextValue(card), TextValue(id), TextValue(name)});
  }
  std::string List(const std::string& address, const std::string& field) {
    TQuery q(dm.ADOC);
    q.SetSQL("SELECT " + field + " FROM tTerminals WHERE fsAddr = ?", {TextValue(address)});
    q.Open();
    return q.Field(0).IsNull() ? "(null)" : q.Field(0).AsString();
  }
  TTableSendReport Send(TTablePageModel& model, const std::string& caption = "Gate") {
    return SendTablePage(TableJobOf(dm), model, {caption, dm.Settings.CurLocation()});
  }
  // The command texts sent since the last call, as they went on the wire.
  Strings Sent() {
    Strings out;
    out.swap(sent);
    return out;
  }

  // Where each "PAR 7" went, by the terminal's location.
  Strings CardDigitReads() {
    Strings out;
    for (const auto& e : tcp.transcript().entries())
      if (e.text == "PAR 7") out.push_back(names[e.where]);
    return out;
  }

  static constexpr const char* kGate = "127.0.0.1@1";
  static constexpr const char* kDoor = "127.0.0.1@2";
  korvosim::TcpFront tcp;
  std::map<int, std::string> names;
  Strings sent;
  std::shared_ptr<korvosim::Terminal> gate, door;
};

TEST_F(TableUploadSim, HolidaysGoOutSortedWithTheirMeterAndList) {
  for (const char* date : {"2512", "0101", "1108"})
    ASSERT_EQ(AddEditHoliday(dm.ADOC, date, "").outcome, TEditOutcome::Stored);
  TTablePageModel m = LoadTablePage(dm.ADOC, TTablePage::Holidays, kGate);
  TickAll(m.holidays, true);
  const TTableSendReport r = Send(m);
  EXPECT_EQ(r.result, TTableSendResult::Done);
  EXPECT_EQ(Sent(), (Strings{"PAR 7\r\n", "LOCKSYS\r\nDELFILE SYSTEM\\HOLITBL.DAT\r\n",
                             "LOAD SYSTEM\\HOLITBL.DAT\r\n", "0101\r\n", "1108\r\n", "2512\r\n",
                             "*\r\nUNLOCKSYS\r\n"}));
  EXPECT_EQ(UploadCommandTexts(TTablePage::Holidays, r.records)[1], "LOAD SYSTEM\\HOLITBL.DAT")
      << "without its CR";
  EXPECT_EQ(ui.Progress(), (Strings{"", "0-3", "1", "2", "3", "3"}));
  EXPECT_EQ(ui.Texts("information"), Strings{"Job Complete."});
  EXPECT_EQ(List(kGate, "fmHoliday"), "0101\r\n1108\r\n2512\r\n");
  EXPECT_EQ(gate->file("SYSTEM\\HOLITBL.DAT"), (Strings{"0101", "1108", "2512"}));
  EXPECT_FALSE(gate->locked());
}

TEST_F(TableUploadSim, ARefusedSendHasOnlyReadTheCardDigits) {
  ASSERT_EQ(AddEditHoliday(dm.ADOC, "0101", "").outcome, TEditOutcome::Stored);
  TTablePageModel m = LoadTablePage(dm.ADOC, TTablePage::Holidays, kGate);
  TickAll(m.holidays, true);
  EXPECT_EQ(Send(m, "Door").result, TTableSendResult::Refused);
  EXPECT_EQ(Sent(), Strings{"PAR 7\r\n"});
  EXPECT_EQ(ui.Texts("warning"), Strings{"Can't access to Door"});
  EXPECT_EQ(ui.Texts("information"), Strings{});
  EXPECT_EQ(List(kGate, "fmHoliday"), "(null)");
  EXPECT_EQ(gate->files("SYSTEM"), Strings{});

  // No terminal to send to: refused before anything goes out.
  for (const char* address : {"", "127.0.0.1@9"}) {
    ui.calls.clear();
    dm.Settings.SetSelectedAddr(address);
    EXPECT_EQ(Send(m).result, TTableSendResult::Refused) << address;
    EXPECT_EQ(Sent(), Strings{}) << address;
    EXPECT_EQ(ui.Texts("warning").size(), 1u) << address;
  }
  EXPECT_EQ(List(kGate, "fmHoliday"), "(null)");
}

TEST_F(TableUploadSim, AnEmptyBlackListDeletesAndLoadsAnEmptyFileAndLeavesTheRange) {
  AddCard("700815", "Ann");
  gate->setFile("SYSTEM\\BLGROUP.DAT", {"000700815"});
  dm.ADOC.Execute("UPDATE tTerminals SET fmBlackLst = '700815\r\n'");
  TTablePageModel m = LoadTablePage(dm.ADOC, TTablePage::Blacklist, kGate);
  ASSERT_TRUE(m.cards.at(0).ticked);
  ReverseTicks(m.cards);
  Send(m);
  EXPECT_EQ(Sent(), (Strings{"PAR 7\r\n", "LOCKSYS\r\nDELFILE SYSTEM\\BLGROUP.DAT\r\n",
                             "LOAD SYSTEM\\BLGROUP.DAT\r\n", "*\r\nUNLOCKSYS\r\n"}));
  EXPECT_EQ(ui.Progress(), (Strings{"", "100"})) << "no range; the meter's own maximum at the end";
  EXPECT_EQ(List(kGate, "fmBlackLst"), "");
  EXPECT_TRUE(gate->hasFile("SYSTEM\\BLGROUP.DAT"));
  EXPECT_EQ(gate->file("SYSTEM\\BLGROUP.DAT"), Strings{});
}

TEST_F(TableUploadSim, ALoadTheTerminalDidNotTakeWarnsInsteadOfJobComplete) {
  ASSERT_EQ(AddEditHoliday(dm.ADOC, "0101", "").outcome, TEditOutcome::Stored);
  TTablePageModel m = LoadTablePage(dm.ADOC, TTablePage::Holidays, kGate);
  TickAll(m.holidays, true);
  const struct {
    korvosim::ReplyOverride::Kind kind;
  } cases[] = {{korvosim::ReplyOverride::Kind::Fail}, {korvosim::ReplyOverride::Kind::Silent}};
  for (const auto& c : cases) {
    korvosim::ReplyOverride o;
    o.match = "LOAD";
    o.kind = c.kind;
    o.times = 1;
    gate->addReplyOverride(o);
    ui.calls.clear();
    EXPECT_EQ(Send(m).result, TTableSendResult::NotTaken);
    EXPECT_EQ(Sent().size(), 5u) << "the same command texts";
    EXPECT_EQ(ui.Texts("warning"), Strings{kLoadNotTaken});
    EXPECT_EQ(ui.Texts("information"), Strings{});
  }
  ui.calls.clear();
  EXPECT_EQ(Send(m).result, TTableSendResult::Done);
  EXPECT_EQ(ui.Texts("information"), Strings{"Job Complete."});
}

// The load was taken but the file did not fill: a terminal that restarts half-way keeps the records before
// the restart, one that refuses a record or the closing "*" holds less than was sent. None is "Job
// Complete.", and sending again puts the whole table there.
TEST_F(TableUploadSim, AnUploadTheTerminalBrokeOffHalfWayIsNeverJobComplete) {
  for (const char* day : {"0101", "0102", "0103"})
    ASSERT_EQ(AddEditHoliday(dm.ADOC, day, "").outcome, TEditOutcome::Stored);
  TTablePageModel m = LoadTablePage(dm.ADOC, TTablePage::Holidays, kGate);
  TickAll(m.holidays, true);
  using Kind = korvosim::ReplyOverride::Kind;
  const struct {
    const char* name;
    korvosim::ReplyOverride fault;
    Strings held;
  } cases[] = {
      {"restart at the second record", {.match = "0102", .kind = Kind::Restart, .times = 1}, {"0101"}},
      {"second record refused", {.match = "0102", .kind = Kind::Fail, .times = 1}, {"0101", "0103"}},
      {"second record unanswered", {.match = "0102", .kind = Kind::Silent, .times = 1}, {"0101", "0103"}},
      {"closing line refused", {.match = "*", .kind = Kind::Fail, .times = 1}, {"0101", "0102", "0103"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    gate->addReplyOverride(c.fault);
    ui.calls.clear();
    EXPECT_EQ(Send(m).result, TTableSendResult::NotTaken);
    EXPECT_EQ(gate->file("SYSTEM\\HOLITBL.DAT"), c.held);
    EXPECT_EQ(ui.Texts("warning"), Strings{kLoadNotTaken});
    EXPECT_EQ(ui.Texts("information"), Strings{});
    gate->clearReplyOverrides();
    EXPECT_EQ(Send(m).result, TTableSendResult::Done);
    EXPECT_EQ(gate->file("SYSTEM\\HOLITBL.DAT"), (Strings{"0101", "0102", "0103"}));
  }
  EXPECT_EQ(gate->restarts(), 1);
}

// A faulty line: the upload reports "Job Complete." only when the terminal holds the table, and
// warns otherwise (also when a terminal that did not answer took it after all).
TEST_F(TableUploadSim, AFaultyLineNeverPassesForAnUploadThatDidNotHappen) {
  ASSERT_EQ(AddEditHoliday(dm.ADOC, "0101", "").outcome, TEditOutcome::Stored);
  TTablePageModel m = LoadTablePage(dm.ADOC, TTablePage::Holidays, kGate);
  TickAll(m.holidays, true);
  // Replies that never end cost each wait a little real time, not the fixture's grace; replies that do
  // end get a grace a busy machine's scheduling cannot outlast, since every record's answer counts.
  const struct {
    const char* name;
    korvosim::Faults faults;
    TTableSendResult result;
    int graceMs;
  } cases[] = {
      {"trickled bytes", {.trickleBps = 2000}, TTableSendResult::Done, 500},
      {"noise before every reply", {.garbage = true}, TTableSendResult::Done, 500},
      {"no completion tokens", {.noCompletion = true}, TTableSendResult::NotTaken, 20},
      {"silent", {.silent = true}, TTableSendResult::NotTaken, 20},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    dm.Link.NetStreamFactory = [this, grace = c.graceMs] {
      return std::make_unique<TSocketStream>(test::HybridPoll(clock, grace));
    };
    gate->removeFile("SYSTEM\\HOLITBL.DAT");
    for (int port : tcp.ports())
      if (tcp.terminal(port) == gate) tcp.setFaults(port, c.faults);
    ui.calls.clear();
    const TTableSendReport r = Send(m);
    EXPECT_EQ(r.result, c.result);
    const bool done = r.result == TTableSendResult::Done;
    if (done) {
      EXPECT_EQ(gate->file("SYSTEM\\HOLITBL.DAT"), Strings{"0101"});
    }
    EXPECT_EQ(ui.Texts("information"), done ? Strings{"Job Complete."} : Strings{});
    EXPECT_EQ(ui.Texts("warning"), done ? Strings{} : Strings{kLoadNotTaken});
  }
}

TEST_F(TableUploadSim, TheTimeTablesSentAreThoseOfTheTickedLevels) {
  ASSERT_EQ(AddEditTimeTable(dm.ADOC, {"3", "Office", "080000", "170000", 124}).outcome,
            TEditOutcome::Stored);
  ASSERT_EQ(AddEditTimeTable(dm.ADOC, {"5", "Unused", "000000", "235959", 255}).outcome,
            TEditOutcome::Stored);
  ASSERT_EQ(AddEditTimeTable(dm.ADOC, {"7", "Early", " 60000", "120000", 129}).outcome, TEditOutcome::Stored);
  ASSERT_EQ(AddEditAccessLevel(dm.ADOC, "1", "Staff", {7, 3}).outcome, TEditOutcome::Stored);
  ASSERT_EQ(AddEditAccessLevel(dm.ADOC, "2", "Night", {5}).outcome, TEditOutcome::Stored);
  TTablePageModel m = LoadTablePage(dm.ADOC, TTablePage::Access, kGate);
  m.levels[0].ticked = true;
  m.timeTables[1].ticked = true;  // time table 5: no ticked level uses it
  Send(m);
  const Strings records{"080000170000124", "60000120000129"};
  EXPECT_EQ(Sent(), (Strings{"PAR 7\r\n", "LOCKSYS\r\nDELFILE SYSTEM\\AXTIMET.DAT\r\n",
                             "LOAD SYSTEM\\AXTIMET.DAT\r\n", records[0] + "\r\n", records[1] + "\r\n",
                             "*\r\nUNLOCKSYS\r\n"}));
  EXPECT_EQ(gate->file("SYSTEM\\AXTIMET.DAT"), records) << "14 characters for the blank first hour digit";
  EXPECT_FALSE(m.timeTables[1].ticked);
  EXPECT_TRUE(m.timeTables[0].ticked && m.timeTables[2].ticked);
  EXPECT_EQ(List(kGate, "fmAccess"), "1\r\n");
  EXPECT_EQ(List(kGate, "fmTimeTbl"), "3\r\n7\r\n");
  EXPECT_EQ(ui.Progress(), (Strings{"", "0-1", "1", "2", "1"})) << "the range ends one below the count";
  EXPECT_EQ(ui.Texts("warning"), Strings{kTimeTablesChanged});

  // The same time tables again: no warning.
  ui.calls.clear();
  m = LoadTablePage(dm.ADOC, TTablePage::Access, kGate);
  Send(m);
  EXPECT_EQ(ui.Texts("warning"), Strings{});
  EXPECT_EQ(ui.Texts("information"), Strings{"Job Complete."});
}

TEST_F(TableUploadSim, AsAnotherTerminalSendsThereAndLeavesItSelected) {
  AddCard("700815", "Ann");
  AddCard("123", "Bob");
  TTablePageModel m = LoadTablePage(dm.ADOC, TTablePage::Special, kDoor);
  TickAll(m.cards, true);
  Send(m);
  EXPECT_EQ(dm.Settings.SelectedAddr(), kDoor);
  EXPECT_EQ(List(kDoor, "fmSPCEnroll"), "700815\r\n123\r\n") << "display order";
  EXPECT_EQ(List(kGate, "fmSPCEnroll"), "(null)");
  EXPECT_EQ(door->file("SYSTEM\\SPCUSER.DAT"), (Strings{"000000123", "000700815"})) << "sorted";
  EXPECT_EQ(gate->files("SYSTEM"), Strings{});
  EXPECT_EQ(CardDigitReads(), Strings{"Gate"}) << "the card digits come from the main window's terminal";
}

TEST_F(TableUploadSim, MessagesTakeTheCardDigitsOfTheirTargetAndGoOutInWindows1252) {
  AddCard("12345678", "Ann");
  AddCard("700815", "Bob");
  dm.ADOC.Execute("UPDATE tTerminals SET fmMessage = '700815Welcome\r\n' WHERE fsAddr = ?",
                  {TextValue(kDoor)});
  TTablePageModel m = LoadTablePage(dm.ADOC, TTablePage::Message, kDoor);
  ASSERT_TRUE(m.cards[1].ticked);
  m.cards[0].ticked = true;
  m.cards[1].ticked = false;
  ASSERT_EQ(ApplyMessage(m.cards, "Caf\xC3\xA9 %name%"), "");
  m.cards[1].ticked = true;
  Send(m);
  EXPECT_EQ(List(kDoor, "fmMessage"), "12345678Caf\xC3\xA9 Ann\r\n700815Welcome\r\n");
  EXPECT_EQ(CardDigitReads(), (Strings{"Gate", "Door"}))
      << "the main terminal's first, then the target's own";
  // Eight card digits: the first eight characters of each line are its card, whatever it holds.
  EXPECT_EQ(door->file("SYSTEM\\AXMSGTB.DAT"),
            (Strings{"012345678Caf\xE9 Ann" + std::string(8, ' '), "0700815Welcome" + std::string(11, ' ')}))
      << "\xC3\xA9 goes as the one Windows-1252 byte E9";
}

TEST_F(TableUploadSim, IDLookupRecordsGoInOneText) {
  AddCard("700815", "Ann", "A1");
  AddCard("123", "Bob", "B2");
  door->setFile("IDLOOKUP", {"old"});
  TTablePageModel m = LoadTablePage(dm.ADOC, TTablePage::IDCard, kDoor);
  TickAll(m.cards, true);
  Send(m);
  EXPECT_EQ(Sent(), (Strings{"PAR 7\r\n", "LOCKSYS\r\nDELFILE IDLOOKUP\r\nUNLOCKSYS\r\n",
                             "ADDREC IDLOOKUP A1700815\r\nADDREC IDLOOKUP B2123\r\n\r\n"}));
  EXPECT_EQ(UploadCommandTexts(TTablePage::IDCard, {"A1700815"}).back(), "ADDREC IDLOOKUP A1700815\r\n\r");
  EXPECT_EQ(door->file("IDLOOKUP"), (Strings{"A1700815", "B2123"}));
  EXPECT_EQ(List(kDoor, "fmIDCard"), "A1700815\r\nB2123\r\n");
  EXPECT_EQ(ui.Progress(), (Strings{"", "0-2", "2"}));
}

TEST_F(TableUploadSim, ALongIDLookupTextArrivesWhole) {
  Strings lines;
  for (int i = 0; i < 30; ++i) {
    const std::string n = std::to_string(1000 + i);
    AddCard(n, "N" + n, "ID" + n);
    lines.push_back("ID" + n + n);
  }
  TTablePageModel m = LoadTablePage(dm.ADOC, TTablePage::IDCard, kGate);
  TickAll(m.cards, true);
  Send(m);
  EXPECT_EQ(gate->file("IDLOOKUP"), lines);
}

TEST_F(TableUploadSim, AlarmsExpiryAndAdministratorsAsStoredAndTickedAgain) {
  ASSERT_EQ(AddEditAlarm(dm.ADOC, {"1", "0800", 5, 1, 127}).outcome, TEditOutcome::Stored);
  ASSERT_EQ(AddEditExpiry(dm.ADOC, "700815", "311224").outcome, TEditOutcome::Stored);
  AddCard("700815", "Ann");
  const struct {
    TTablePage page;
    const char* field;
    const char* file;
    std::string list;
    Strings records;
  } cases[] = {
      {TTablePage::Alarm, "fmAlarm", "SYSTEM\\ALARMTB.DAT", "1270800100005\r\n", {"1270800100005"}},
      {TTablePage::Expired, "fmExpired", "SYSTEM\\EXPDATE.DAT", "000700815311224\r\n", {"000700815311224"}},
      {TTablePage::Admin, "fmAdminLst", "SYSTEM\\ADMINTB.DAT", "700815\r\n", {"000700815"}},
  };
  for (const auto& c : cases) {
    TTablePageModel m = LoadTablePage(dm.ADOC, c.page, kGate);
    TickAll(m.alarms, true);
    TickAll(m.expiries, true);
    TickAll(m.cards, true);
    EXPECT_EQ(Send(m).records, c.records) << c.field;
    EXPECT_EQ(List(kGate, c.field), c.list);
    EXPECT_EQ(gate->file(c.file), c.records) << c.file;
    const TTablePageModel again = LoadTablePage(dm.ADOC, c.page, kGate);
    EXPECT_TRUE(again.alarms.empty()
                    ? again.expiries.empty() ? again.cards.at(0).ticked : again.expiries[0].ticked
                    : again.alarms[0].ticked)
        << c.field;
  }
}

TEST_F(TableUploadSim, ALineThatWouldSplitOnTheLineIsNeverStored) {
  AddCard("70|0815", "Ann");
  TTablePageModel m = LoadTablePage(dm.ADOC, TTablePage::Blacklist, kGate);
  TickAll(m.cards, true);
  EXPECT_EQ(Send(m).result, TTableSendResult::Refused);
  EXPECT_EQ(Sent(), Strings{"PAR 7\r\n"});
  EXPECT_EQ(List(kGate, "fmBlackLst"), "(null)");
  EXPECT_EQ(ui.Texts("warning").size(), 1u);
}

}  // namespace
}  // namespace korvo
