// Template transfer end to end against the simulated terminal over loopback TCP, on virtual time:
// the commands and bytes the terminal receives, what it keeps, and what the database holds afterwards.
#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "Faults.h"
#include "TcpFront.h"
#include "Terminal.h"
#include "link/SocketStream.h"
#include "store/Database.h"
#include "store/TextCodec.h"
#include "support/NetTestSupport.h"
#include "tables/Templates.h"

namespace korvo {
namespace {

using Strings = std::vector<std::string>;
using Kind = korvosim::ReplyOverride::Kind;
constexpr const char* kNet = "127.0.0.1";

// `size` template bytes with NUL, CR and LF among them.
std::string Bytes(int seed, std::size_t size = 384) {
  std::string t;
  for (std::size_t i = 0; i < size; ++i) t += static_cast<char>((static_cast<int>(i) * 37 + seed) % 256);
  return t.replace(0, 3, std::string("\0\r\n", 3));
}
const std::string T1 = Bytes(1), T2 = Bytes(2), T3 = Bytes(3);
const std::string kPair = HexEncode(T1) + "+" + HexEncode(T2);

class TemplateSim : public test::TNetFixture {
 protected:
  TemplateSim() {
    // A silent terminal costs each wait a second of real time, not the default grace.
    dm.Link.NetStreamFactory = [this] {
      return std::make_unique<TSocketStream>(test::HybridPoll(clock, 1000));
    };
    port = tcp.add(terminal);
    AddTerminal(kNet, port);
    AddTerminal("5", 1);
    terminal->setParam(7, "2");  // card digits: short cards stay as they are
    page.caption = page.curLocation = "Gate";
    page.Select = [this](const std::string& a) { selected.push_back(a); };
    page.ShowList = [this](const std::string& a) { shown.push_back(a); };
  }
  void Card(const std::string& card, std::optional<std::string> bio) {
    dm.ADOC.Execute("INSERT INTO tEmployees (fsCardNo, fsName, fmBioData) VALUES (?, 'N', ?)",
                    {TextValue(card), bio ? TextValue(*bio) : TValue{TOtherValue{}}});
    if (!bio) dm.ADOC.Execute("UPDATE tEmployees SET fmBioData = NULL WHERE fsCardNo = ?", {TextValue(card)});
  }
  // The first row's fields joined by "|", or "<none>".
  std::string Query(const std::string& sql, const std::string& param = kNet) {
    TQuery q(dm.ADOC);
    q.SetSQL(sql, {TextValue(param)});
    q.Open();
    if (q.IsEmpty()) return "<none>";
    std::string out;
    for (int i = 0; i < q.FieldCount(); ++i) out += (i ? "|" : "") + q.Field(i).AsString();
    return out;
  }
  std::string Bio(const std::string& card) {
    return Query("SELECT fmBioData FROM tEmployees WHERE fsCardNo = ?", card);
  }
  std::string List() { return Query("SELECT fmBioUsrLst FROM tTerminals WHERE fsAddr = ?"); }
  void SetList(const std::string& text) {
    dm.ADOC.Execute("UPDATE tTerminals SET fmBioUsrLst = ? WHERE fsAddr = ?",
                    {TextValue(text), TextValue(kNet)});
  }
  // The commands received since the last call; template bytes as "<n bytes>".
  Strings Commands() {
    Strings out;
    const auto entries = tcp.transcript().entries();
    for (std::size_t i = seen; i < entries.size(); ++i)
      out.push_back(entries[i].channel == korvosim::Channel::Raw
                        ? "<" + std::to_string(entries[i].text.size()) + " bytes>"
                        : entries[i].text);
    seen = entries.size();
    return out;
  }
  Strings Fingers() {
    Strings out;
    for (const auto& k : terminal->templates()) out.push_back(k.card + ":" + std::to_string(k.finger));
    return out;
  }

  korvosim::TcpFront tcp;
  std::shared_ptr<korvosim::Terminal> terminal = std::make_shared<korvosim::Terminal>();
  int port = 0;
  std::size_t seen = 0;
  TTemplateJob job{dm.Link, dm.ADOC};
  TBioPage page;
  Strings selected, shown;
};

TEST_F(TemplateSim, SendOffersEachTemplateAndSendsItsBytesByTheEightHundredCharacterRule) {
  struct TCase {
    std::string name, text;
    std::optional<korvosim::ReplyOverride> offer;
    bool refuseBytes;
    Strings commands;  // between "DELTEMP 1234" and "UNLOCKSYS"
    Strings fingers;
  };
  const Strings two = {"TMPSAVE 1234", "<384 bytes>", "TMPSAVE 1234", "<384 bytes>"};
  const std::vector<TCase> cases = {
      {"1537 characters", kPair, {}, false, two, {"1234:0", "1234:1"}},
      {"800 characters", HexEncode(Bytes(4, 400)), {}, false, {"TMPSAVE 1234", "<400 bytes>"}, {"1234:0"}},
      // So short a piece goes out as a line: its CR arrives with it.
      {"801 characters",
       HexEncode(T1) + "+" + std::string(32, '4'),
       {},
       false,
       {two[0], two[1], two[2], "<17 bytes>"},
       {"1234:0", "1234:1"}},
      {"first offer refused, the second still made",
       kPair,
       korvosim::ReplyOverride{.match = "TMPSAVE 1234", .kind = Kind::Fail, .times = 1},
       false,
       {"TMPSAVE 1234", "TMPSAVE 1234", "<384 bytes>"},
       {"1234:0"}},
      {"bytes refused", HexEncode(T1), {}, true, {"TMPSAVE 1234", "<384 bytes>"}, {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    dm.ADOC.Execute("DELETE FROM tEmployees");
    Card("1234", c.text);
    SetList("");
    terminal->setTemplate("1234", 0, "old");
    if (c.offer) terminal->addReplyOverride(*c.offer);
    if (c.refuseBytes) terminal->refuseTemplateBytes("1234");
    ui.calls.clear();
    const TTemplateSendReport r = SendTemplates(job, kNet, kNet, {"1234"}, page);
    Strings expected = {"PAR 7", "", "LOCKSYS", "DELTEMP 1234"};
    expected.insert(expected.end(), c.commands.begin(), c.commands.end());
    expected.push_back("UNLOCKSYS");
    EXPECT_EQ(Commands(), expected);
    EXPECT_EQ(Fingers(), c.fingers);
    EXPECT_EQ(List(), c.refuseBytes ? "" : "1234\r\n");
    EXPECT_EQ(r.failed.empty(), !c.refuseBytes);
    EXPECT_EQ(ui.Texts("information"), Strings{"Job Complete."});
    EXPECT_EQ(ui.Progress(), (Strings{"", "0-0", "1", "100"}));
    if (c.text == kPair && !c.offer) {
      EXPECT_EQ(terminal->templateBytes("1234", 0), T1);
      EXPECT_EQ(terminal->templateBytes("1234", 1), T2);
    }
  }
}

TEST_F(TemplateSim, SendListsTheSentCardsWithTheListedOnesButNotTheRefused) {
  Card("11", HexEncode(T1));
  Card("22", HexEncode(T2));
  Card("33", HexEncode(T3));
  Card("44", std::nullopt);
  Card("55", "ZZ");  // no hexadecimal: found before the terminal is locked, nothing sent
  terminal->setTemplate("22", 0, "old");
  terminal->setTemplate("55", 0, "old");
  terminal->addReplyOverride({.match = "TMPSAVE 22", .kind = Kind::Fail});
  SetList("22\r\n51234\r\n55\r\n");
  const TTemplateSendReport r = SendTemplates(job, kNet, kNet, {"33", "55", "11", "44", "22"}, page);
  EXPECT_EQ(Commands(),
            (Strings{"PAR 7", "", "LOCKSYS", "DELTEMP 11", "TMPSAVE 11", "<384 bytes>", "DELTEMP 22",
                     "TMPSAVE 22", "DELTEMP 33", "TMPSAVE 33", "<384 bytes>", "UNLOCKSYS"}));
  EXPECT_EQ(Fingers(), (Strings{"11:0", "33:0", "55:0"}));
  EXPECT_EQ(r.empty, Strings{"44"});
  EXPECT_EQ(r.failed, (Strings{"55", "22"}));
  EXPECT_EQ(List(), "11\r\n33\r\n44\r\n51234\r\n55\r\n");
  EXPECT_EQ(selected, Strings{kNet});
  EXPECT_EQ(shown, Strings{kNet});

  // Nothing ticked: no lock, the list as it was, and still the closing message.
  ui.calls.clear();
  SendTemplates(job, kNet, kNet, {}, page);
  EXPECT_EQ(Commands(), (Strings{"PAR 7", ""}));
  EXPECT_EQ(List(), "11\r\n33\r\n44\r\n51234\r\n55\r\n");
  EXPECT_EQ(ui.Texts("information"), Strings{"Job Complete."});
}

TEST_F(TemplateSim, GetOfAllFetchesEveryListedTemplateMergesACardsPairAndCreatesUnknownCards) {
  terminal->setParam(7, "8");
  terminal->setTemplate("00001234", 0, T1);
  terminal->setTemplate("00001234", 1, T2);
  terminal->setTemplate("5678", 0, T3);
  Card("00001234", "OLD");
  SetList("999\r\n");
  const TTemplateGetReport r = GetTemplates(job, kNet, {}, page);
  EXPECT_EQ(Commands(), (Strings{"PAR 7", "FINGERS", "LOCKSYS", "TYPE TMPTABLE", "TMPDATA 00001234 0",
                                 "TMPDATA 00001234 1", "TMPDATA 5678 0", "UNLOCKSYS"}));
  EXPECT_TRUE(r.all);
  EXPECT_EQ(Bio("00001234"), kPair);
  EXPECT_EQ(Query("SELECT fsIDNo, fsName, fsPIN, fmBioData FROM tEmployees WHERE fsCardNo = ?", "00005678"),
            "00005678|-|000000|" + HexEncode(T3));
  EXPECT_EQ(List(), "00001234\r\n00005678\r\n");
  EXPECT_EQ(ui.Texts("information"), Strings{"Job Complete."});
  EXPECT_EQ(shown, Strings{kNet});

  // The texts fetched go back to a fresh terminal byte for byte.
  terminal = std::make_shared<korvosim::Terminal>();
  dm.ADOC.Execute("UPDATE tTerminals SET fnPort = ? WHERE fsAddr = ?",
                  {IntValue(tcp.add(terminal)), TextValue(kNet)});
  SendTemplates(job, kNet, kNet, {"00001234"}, page);
  EXPECT_EQ(terminal->templateBytes("00001234", 0), T1);
  EXPECT_EQ(terminal->templateBytes("00001234", 1), T2);
}

TEST_F(TemplateSim, GetOfTickedCardsFetchesTheFingerChkTempNamesAndNeverInserts) {
  terminal->setTemplate("11", 0, T1);
  terminal->setTemplate("22", 1, T2);
  terminal->setTemplate("33", 0, T1);
  terminal->setTemplate("33", 1, T2);
  terminal->setTemplate("77", 0, T3);
  for (const char* card : {"11", "22", "33", "44"}) Card(card, "OLD");
  SetList("33\r\n11\r\n11\r\n");
  const TTemplateGetReport r = GetTemplates(job, kNet, {"22", "11", "33", "44", "77"}, page);
  // CHKTEMP answers 2, 1, 3, 0, 1: the card with both fingers gets no request.
  EXPECT_EQ(Commands(),
            (Strings{"PAR 7", "CHKTEMP 22", "CHKTEMP 11", "CHKTEMP 33", "CHKTEMP 44", "CHKTEMP 77", "LOCKSYS",
                     "TMPDATA 22 1", "TMPDATA 11 0", "TMPDATA 77 0", "UNLOCKSYS"}));
  EXPECT_EQ((Strings{Bio("22"), Bio("11"), Bio("33"), Bio("77")}),
            (Strings{HexEncode(T2), HexEncode(T1), "OLD", "<none>"}));
  EXPECT_EQ(List(), "11\r\n33\r\n");

  // The two-finger card ticked alone gives no request at all, so every template is fetched.
  EXPECT_TRUE(GetTemplates(job, kNet, {"33"}, page).all);
  EXPECT_EQ(Commands().at(2), "FINGERS");
  EXPECT_EQ(Bio("33"), kPair);
  EXPECT_EQ(List(), "11\r\n22\r\n33\r\n77\r\n");
}

TEST_F(TemplateSim, AGetThatGoesWrongNeverStoresWhatDidNotArrive) {
  struct TCase {
    std::string name;
    std::vector<korvosim::ReplyOverride> overrides;
    Strings cards;
    std::optional<TTemplateOutcome> outcome;  // nothing: an error is raised
    std::string bio, list;                    // card 11's afterwards
    std::string error = {};                   // part of the error's text
  };
  const auto silent = [](const char* match) {
    return korvosim::ReplyOverride{.match = match, .kind = Kind::Silent};
  };
  const auto text = [](const char* match, const char* reply) {
    return korvosim::ReplyOverride{.match = match, .kind = Kind::Text, .text = reply};
  };
  const std::vector<TCase> cases = {
      {"TMPDATA of a ticked card times out",
       {text("CHKTEMP 11", "1"), silent("TMPDATA 11")},
       {"11"},
       TTemplateOutcome::Done,
       "OLD",
       "9\r\n"},
      {"one finger of a pair times out",
       {silent("TMPDATA 11 1")},
       {},
       TTemplateOutcome::Done,
       "OLD",
       "11\r\n"},
      {"the listing runs out", {text("TYPE TMPTABLE", "11:0")}, {}, TTemplateOutcome::RanOut, "OLD", "9\r\n"},
      {"the table is empty", {text("FINGERS", "0")}, {}, TTemplateOutcome::Done, "OLD", ""},
      {"the count is no number", {text("FINGERS", "many")}, {}, {}, "OLD", "9\r\n", "\"many\" is no number"},
      {"the connection is refused", {}, {}, {}, "OLD", "9\r\n", "127.0.0.1:"},
      {"nothing goes wrong", {}, {}, TTemplateOutcome::Done, kPair, "11\r\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    dm.ADOC.Execute("DELETE FROM tEmployees");
    Card("11", "OLD");
    SetList("9\r\n");
    terminal->clearReplyOverrides();
    for (const auto& o : c.overrides) terminal->addReplyOverride(o);
    tcp.setFaults(port, korvosim::Faults{.refuse = c.name == "the connection is refused"});
    terminal->setTemplate("11", 0, T1);
    terminal->setTemplate("11", 1, T2);
    shown.clear();
    Commands();
    if (c.outcome) {
      const TTemplateGetReport r = GetTemplates(job, kNet, c.cards, page);
      EXPECT_EQ(r.outcome, *c.outcome);
      EXPECT_EQ(r.missed.empty(), c.name.find("times out") == std::string::npos);
      EXPECT_EQ(Commands().back(), "UNLOCKSYS");
    } else {
      try {
        GetTemplates(job, kNet, c.cards, page);
        ADD_FAILURE() << "no error";
      } catch (const std::exception& e) {
        EXPECT_NE(std::string(e.what()).find(c.error), std::string::npos) << e.what();
      }
      for (const auto& command : Commands()) EXPECT_NE(command, "LOCKSYS");
    }
    EXPECT_EQ(Bio("11"), c.bio);
    EXPECT_EQ(Query("SELECT COUNT(*) FROM tEmployees WHERE fsCardNo <> ?", "11"), "0")
        << "no junk cardholder";
    EXPECT_EQ(List(), c.list);
    EXPECT_EQ(shown, Strings{kNet}) << "the list is shown again in every case";
  }
}

TEST_F(TemplateSim, RemoveDeletesTheTickedCardsAndEmptiesTheirLines) {
  terminal->setTemplate("12", 0, T1);
  terminal->setTemplate("51234", 0, T2);
  Card("12", "OLD");
  SetList("51234\r\n12\r\n");
  EXPECT_EQ(RemoveTemplates(job, kNet, {"12"}, page).removed, Strings{"12"});
  EXPECT_EQ(Commands(), (Strings{"LOCKSYS", "DELTEMP 12", "UNLOCKSYS"}));
  EXPECT_EQ(Fingers(), Strings{"51234:0"});
  EXPECT_EQ(List(), "\r\n51234\r\n");
  EXPECT_EQ(Bio("12"), "OLD");
  EXPECT_TRUE(ui.Texts("information").empty());
  EXPECT_EQ(shown, Strings{kNet});
}

TEST_F(TemplateSim, RefusedStoppedAndElsewhereJobsLeaveTheTerminalUnlocked) {
  const std::string serial = "Fingerprint templates travel over the network only: 5 is no network terminal.";
  SetList("12\r\n");
  for (const auto& [address, warning] :
       std::vector<std::pair<std::string, std::string>>{{"", "No terminal is selected."},
                                                        {"10.0.0.9", "No terminal has the address 10.0.0.9."},
                                                        {"5", serial}}) {
    SCOPED_TRACE(address);
    ui.calls.clear();
    EXPECT_EQ(SendTemplates(job, kNet, address, {"12"}, page).outcome, TTemplateOutcome::Refused);
    EXPECT_EQ(GetTemplates(job, address, {"12"}, page).outcome, TTemplateOutcome::Refused);
    EXPECT_EQ(RemoveTemplates(job, address, {"12"}, page).outcome, TTemplateOutcome::Refused);
    EXPECT_EQ(ui.Texts("warning"), Strings(3, warning));
  }
  EXPECT_EQ(SendTemplates(job, "", kNet, {"12"}, page).refusal, "No terminal is selected.");
  EXPECT_TRUE(Commands().empty());

  // A window showing another terminal than the one that answered sends nothing after the card digits.
  page.caption = "Hall";
  EXPECT_EQ(SendTemplates(job, kNet, kNet, {"12"}, page).refusal, "Can't access to Hall");
  EXPECT_EQ(GetTemplates(job, kNet, {"12"}, page).refusal, "Can't access to Hall");
  EXPECT_EQ(Commands(), (Strings{"PAR 7", "PAR 7"}));
  EXPECT_TRUE(selected.empty() && shown.empty());

  // A stop asked for before the first card still unlocks; the database stays as it was.
  page.caption = "Gate";
  Card("12", HexEncode(T1));
  terminal->setTemplate("12", 1, T1);
  dm.Link.StopRequested = [] { return true; };
  EXPECT_EQ(SendTemplates(job, kNet, kNet, {"12"}, page).outcome, TTemplateOutcome::Stopped);
  EXPECT_EQ(GetTemplates(job, kNet, {"12"}, page).outcome, TTemplateOutcome::Stopped);
  EXPECT_EQ(RemoveTemplates(job, kNet, {"12"}, page).outcome, TTemplateOutcome::Stopped);
  EXPECT_EQ(Commands(), (Strings{"", "LOCKSYS", "UNLOCKSYS", "CHKTEMP 12", "LOCKSYS", "UNLOCKSYS", "LOCKSYS",
                                 "UNLOCKSYS"}));
  EXPECT_EQ(List(), "12\r\n");
  EXPECT_EQ(Bio("12"), HexEncode(T1));
}

}  // namespace
}  // namespace korvo
