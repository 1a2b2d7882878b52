// Template transfer end to end against the simulated terminal over loopback TCP, on virtual time:
// the commands and bytes the terminal receives, what it keeps, and what the database holds afterwards.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "Faults.h"
#include "TcpFront.h"
#include "Terminal.h"
#include "link/SocketStream.h"
#include "link/TcpClient.h"
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
  t[0] = '\0';
  t[1] = '\r';
  t[2] = '\n';
  return t;
}
const std::string T1 = Bytes(1), T2 = Bytes(2), T3 = Bytes(3);

class TemplateSim : public test::TNetFixture {
 protected:
  TemplateSim() {
    // A silent terminal costs each wait a second of real time, not its grace of 200 ms.
    dm.Link.NetStreamFactory = [this] {
      return std::make_unique<TSocketStream>(test::HybridPoll(clock, 1000));
    };
    port = tcp.add(terminal);
    AddTerminal(kNet, port);
    terminal->setParam(7, "2");  // card digits: the short cards below stay as they are
    AddTerminal("5", 1);
    page.caption = page.curLocation = "Gate";
    page.Select = [this](const std::string& a) { selected.push_back(a); };
    page.ShowList = [this](const std::string& a) { shown.push_back(a); };
  }
  void AddCardholder(const std::string& card, std::optional<std::string> bio) {
    if (bio)
      dm.ADOC.Execute("INSERT INTO tEmployees (fsCardNo, fsName, fmBioData) VALUES (?, 'N', ?)",
                      {TextValue(card), TextValue(*bio)});
    else
      dm.ADOC.Execute("INSERT INTO tEmployees (fsCardNo, fsName) VALUES (?, 'N')", {TextValue(card)});
  }
  // The cardholder's fields, or "<none>" without such a cardholder.
  std::string Cardholder(const std::string& card, const std::string& fields = "fmBioData") {
    TQuery q(dm.ADOC);
    q.SetSQL("SELECT " + fields + " FROM tEmployees WHERE fsCardNo = ?", {TextValue(card)});
    q.Open();
    if (q.IsEmpty()) return "<none>";
    std::string out;
    for (int i = 0; i < q.FieldCount(); ++i) out += (i ? "|" : "") + q.Field(i).AsString();
    return out;
  }
  int Cardholders() {
    TQuery q(dm.ADOC);
    q.SetSQL("SELECT fsCardNo FROM tEmployees");
    q.Open();
    return q.RecordCount();
  }
  std::string List() {
    TQuery q(dm.ADOC);
    q.SetSQL("SELECT fmBioUsrLst FROM tTerminals WHERE fsAddr = ?", {TextValue(kNet)});
    q.Open();
    return q.Field(0).AsString();
  }
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

struct TSendCase {
  std::string name;
  std::string text;  // the card's template text
  std::function<void(korvosim::Terminal&)> setup;
  Strings commands;  // after "PAR 7", "" and "LOCKSYS", "DELTEMP 1234"
  Strings fingers;   // what the terminal keeps
  bool stored;
};

TEST_F(TemplateSim, SendOffersEachTemplateAndSendsItsBytesByTheEightHundredCharacterRule) {
  const std::string twoPieces = HexEncode(T1) + "+" + HexEncode(T2);
  const std::string shortSecond = HexEncode(T1) + "+" + std::string(32, '4');
  const Strings two = {"TMPSAVE 1234", "<384 bytes>", "TMPSAVE 1234", "<384 bytes>"};
  const std::vector<TSendCase> cases = {
      {"1537 characters", twoPieces, nullptr, two, {"1234:0", "1234:1"}, true},
      {"800 characters",
       HexEncode(Bytes(4, 400)),
       nullptr,
       {"TMPSAVE 1234", "<400 bytes>"},
       {"1234:0"},
       true},
      // A piece this short goes out as a line: its CR arrives with it.
      {"801 characters",
       shortSecond,
       nullptr,
       {two[0], two[1], two[2], "<17 bytes>"},
       {"1234:0", "1234:1"},
       true},
      {"first offer refused, second still made",
       twoPieces,
       [](korvosim::Terminal& t) {
         t.addReplyOverride({.match = "TMPSAVE 1234", .kind = Kind::Fail, .times = 1});
       },
       {"TMPSAVE 1234", "TMPSAVE 1234", "<384 bytes>"},
       {"1234:0"},
       true},
      {"bytes refused",
       HexEncode(T1),
       [](korvosim::Terminal& t) { t.refuseTemplateBytes("1234"); },
       {"TMPSAVE 1234", "<384 bytes>"},
       {},
       false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    dm.ADOC.Execute("DELETE FROM tEmployees");
    AddCardholder("1234", c.text);
    SetList("");
    terminal->setTemplate("1234", 0, "old");
    terminal->clearReplyOverrides();
    if (c.setup) c.setup(*terminal);
    ui.calls.clear();
    const TTemplateSendReport r = SendTemplates(job, kNet, kNet, {"1234"}, page);
    Strings expected = {"PAR 7", "", "LOCKSYS", "DELTEMP 1234"};
    expected.insert(expected.end(), c.commands.begin(), c.commands.end());
    expected.push_back("UNLOCKSYS");
    EXPECT_EQ(Commands(), expected);
    EXPECT_EQ(Fingers(), c.fingers);
    EXPECT_EQ(List(), c.stored ? "1234\r\n" : "");
    EXPECT_EQ(r.failed.empty(), c.stored);
    EXPECT_EQ(ui.Texts("information"), Strings{"Job Complete."});
    EXPECT_EQ(ui.Progress(), (Strings{"", "0-0", "1", "100"}));
    if (c.name == "1537 characters") {
      EXPECT_EQ(terminal->templateBytes("1234", 0), T1);
      EXPECT_EQ(terminal->templateBytes("1234", 1), T2);
    }
  }
}

TEST_F(TemplateSim, SendListsTheSentCardsWithTheListedOnesButNotTheRefused) {
  AddCardholder("11", HexEncode(T1));
  AddCardholder("22", HexEncode(T2));
  AddCardholder("33", HexEncode(T3));
  AddCardholder("44", std::nullopt);
  AddCardholder("55", "ZZ");  // no hexadecimal: found before the terminal is locked
  terminal->setTemplate("22", 0, "old");
  terminal->setTemplate("55", 0, "old");
  terminal->addReplyOverride({.match = "TMPSAVE 22", .kind = Kind::Fail});
  SetList("22\r\n51234\r\n55\r\n");
  const TTemplateSendReport r = SendTemplates(job, kNet, kNet, {"33", "55", "11", "44", "22"}, page);
  EXPECT_EQ(Commands(),
            (Strings{"PAR 7", "", "LOCKSYS", "DELTEMP 11", "TMPSAVE 11", "<384 bytes>", "DELTEMP 22",
                     "TMPSAVE 22", "DELTEMP 33", "TMPSAVE 33", "<384 bytes>", "UNLOCKSYS"}));
  EXPECT_EQ(Fingers(), (Strings{"11:0", "33:0", "55:0"}));
  EXPECT_EQ(r.stored, (Strings{"11", "33"}));
  EXPECT_EQ(r.empty, Strings{"44"});
  EXPECT_EQ(r.garbled, Strings{"55"});
  EXPECT_EQ(r.failed, (Strings{"55", "22"}));
  EXPECT_EQ(List(), "11\r\n33\r\n44\r\n51234\r\n55\r\n");
  EXPECT_EQ(selected, Strings{kNet});
  EXPECT_EQ(shown, Strings{kNet});
  EXPECT_EQ(ui.Progress(), (Strings{"", "0-4", "1", "2", "3", "4", "5", "100"}));

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
  AddCardholder("00001234", "OLD");
  SetList("999\r\n");
  const TTemplateGetReport r = GetTemplates(job, kNet, {}, page);
  EXPECT_EQ(Commands(), (Strings{"PAR 7", "FINGERS", "LOCKSYS", "TYPE TMPTABLE", "TMPDATA 00001234 0",
                                 "TMPDATA 00001234 1", "TMPDATA 5678 0", "UNLOCKSYS"}));
  EXPECT_TRUE(r.all);
  EXPECT_EQ(Cardholder("00001234"), HexEncode(T1) + "+" + HexEncode(T2));
  EXPECT_EQ(Cardholder("00005678", "fsIDNo, fsName, fsPIN, fmBioData"), "00005678|-|000000|" + HexEncode(T3));
  EXPECT_EQ(r.inserted, Strings{"00005678"});
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
  for (const char* card : {"11", "22", "33", "44"}) AddCardholder(card, "OLD");
  SetList("33\r\n11\r\n11\r\n");
  const TTemplateGetReport r = GetTemplates(job, kNet, {"22", "11", "33", "44", "77"}, page);
  // CHKTEMP answers 2, 1, 3, 0, 1: the card with both fingers gets no request.
  EXPECT_EQ(Commands(),
            (Strings{"PAR 7", "CHKTEMP 22", "CHKTEMP 11", "CHKTEMP 33", "CHKTEMP 44", "CHKTEMP 77", "LOCKSYS",
                     "TMPDATA 22 1", "TMPDATA 11 0", "TMPDATA 77 0", "UNLOCKSYS"}));
  EXPECT_FALSE(r.all);
  EXPECT_EQ(Cardholder("22"), HexEncode(T2));
  EXPECT_EQ(Cardholder("11"), HexEncode(T1));
  EXPECT_EQ(Cardholder("33"), "OLD");
  EXPECT_EQ(Cardholder("77"), "<none>");
  EXPECT_EQ(r.stored, (Strings{"22", "11"}));
  EXPECT_EQ(List(), "11\r\n33\r\n");

  // The two-finger card ticked alone gives no request at all, so every template is fetched.
  const TTemplateGetReport alone = GetTemplates(job, kNet, {"33"}, page);
  EXPECT_TRUE(alone.all);
  EXPECT_EQ(Commands().at(2), "FINGERS");
  EXPECT_EQ(Cardholder("33"), HexEncode(T1) + "+" + HexEncode(T2));
  EXPECT_EQ(List(), "11\r\n22\r\n33\r\n77\r\n");
}

struct TGetCase {
  std::string name;
  std::function<void(korvosim::Terminal&, korvosim::TcpFront&, int port)> setup;
  Strings cards;
  std::optional<TTemplateOutcome> outcome;  // nothing: an error is raised
  std::string bio11;                        // card 11 afterwards
  std::string list;
  Strings missed;
  std::string error = {};  // part of the error's text
};

TEST_F(TemplateSim, AGetThatGoesWrongNeverStoresWhatDidNotArrive) {
  const std::string both = HexEncode(T1) + "+" + HexEncode(T2);
  const auto silent = [](const std::string& match) {
    return [match](korvosim::Terminal& t, korvosim::TcpFront&, int) {
      t.addReplyOverride({.match = match, .kind = Kind::Silent});
    };
  };
  const auto text = [](const std::string& match, const std::string& reply) {
    return [match, reply](korvosim::Terminal& t, korvosim::TcpFront&, int) {
      t.addReplyOverride({.match = match, .kind = Kind::Text, .text = reply});
    };
  };
  const std::vector<TGetCase> cases = {
      {"TMPDATA of a ticked card times out",
       [](korvosim::Terminal& t, korvosim::TcpFront&, int) {
         t.addReplyOverride({.match = "CHKTEMP 11", .kind = Kind::Text, .text = "1"});
         t.addReplyOverride({.match = "TMPDATA 11", .kind = Kind::Silent});
       },
       {"11"},
       TTemplateOutcome::Done,
       "OLD",
       "9\r\n",
       {"11"}},
      {"one finger of a pair times out",
       silent("TMPDATA 11 1"),
       {},
       TTemplateOutcome::Done,
       "OLD",
       "11\r\n",
       {"11"}},
      {"the listing runs out",
       text("TYPE TMPTABLE", "11:0"),
       {},
       TTemplateOutcome::RanOut,
       "OLD",
       "9\r\n",
       {}},
      {"the table is empty", text("FINGERS", "0"), {}, TTemplateOutcome::Done, "OLD", "", {}},
      {"the count is no number",
       text("FINGERS", "many"),
       {},
       std::nullopt,
       "OLD",
       "9\r\n",
       {},
       "\"many\" is no number"},
      {"the connection is refused",
       [](korvosim::Terminal&, korvosim::TcpFront& f, int p) {
         f.setFaults(p, korvosim::Faults{.refuse = true});
       },
       {},
       std::nullopt,
       "OLD",
       "9\r\n",
       {},
       "127.0.0.1:"},
      {"nothing goes wrong", nullptr, {}, TTemplateOutcome::Done, both, "11\r\n", {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    dm.ADOC.Execute("DELETE FROM tEmployees");
    AddCardholder("11", "OLD");
    SetList("9\r\n");
    terminal->clearReplyOverrides();
    tcp.setFaults(port, {});
    terminal->setTemplate("11", 0, T1);
    terminal->setTemplate("11", 1, T2);
    if (c.setup) c.setup(*terminal, tcp, port);
    shown.clear();
    Commands();
    if (c.outcome) {
      const TTemplateGetReport r = GetTemplates(job, kNet, c.cards, page);
      EXPECT_EQ(r.outcome, *c.outcome);
      EXPECT_EQ(r.missed, c.missed);
      const Strings sent = Commands();
      EXPECT_EQ(sent.back(), "UNLOCKSYS");
    } else {
      try {
        GetTemplates(job, kNet, c.cards, page);
        ADD_FAILURE() << "no error";
      } catch (const std::exception& e) {
        EXPECT_NE(std::string(e.what()).find(c.error), std::string::npos) << e.what();
      }
      for (const auto& command : Commands()) EXPECT_NE(command, "LOCKSYS");
    }
    EXPECT_EQ(Cardholder("11"), c.bio11);
    EXPECT_EQ(Cardholders(), 1) << "no cardholder made of a read that ran out";
    EXPECT_EQ(List(), c.list);
    EXPECT_EQ(shown, Strings{kNet}) << "the list is shown again in every case";
  }
}

TEST_F(TemplateSim, RemoveDeletesTheTickedCardsAndEmptiesTheirLines) {
  terminal->setTemplate("12", 0, T1);
  terminal->setTemplate("51234", 0, T2);
  AddCardholder("12", "OLD");
  SetList("51234\r\n12\r\n");
  const TTemplateRemoveReport r = RemoveTemplates(job, kNet, {"12"}, page);
  EXPECT_EQ(Commands(), (Strings{"LOCKSYS", "DELTEMP 12", "UNLOCKSYS"}));
  EXPECT_EQ(Fingers(), Strings{"51234:0"});
  EXPECT_EQ(List(), "\r\n51234\r\n");
  EXPECT_EQ(Cardholder("12"), "OLD");
  EXPECT_EQ(r.removed, Strings{"12"});
  EXPECT_TRUE(ui.Texts("information").empty());
  EXPECT_EQ(ui.Progress(), (Strings{"", "0-0", "1"}));
  EXPECT_EQ(shown, Strings{kNet});

  RemoveTemplates(job, kNet, {}, page);
  EXPECT_TRUE(Commands().empty());
  EXPECT_EQ(List(), "\r\n51234\r\n");
}

TEST_F(TemplateSim, JobsForNoTerminalOrNoNetworkTerminalSendNothing) {
  const std::string serial = "Fingerprint templates travel over the network only: 5 is no network terminal.";
  struct TCase {
    std::string address;
    std::string warning;
  };
  const std::vector<TCase> cases = {
      {"", "No terminal is selected."}, {"10.0.0.9", "No terminal has the address 10.0.0.9."}, {"5", serial}};
  SetList("12\r\n");
  for (const auto& c : cases) {
    SCOPED_TRACE(c.address);
    ui.calls.clear();
    EXPECT_EQ(SendTemplates(job, kNet, c.address, {"12"}, page).outcome, TTemplateOutcome::Refused);
    EXPECT_EQ(GetTemplates(job, c.address, {"12"}, page).outcome, TTemplateOutcome::Refused);
    EXPECT_EQ(RemoveTemplates(job, c.address, {"12"}, page).outcome, TTemplateOutcome::Refused);
    EXPECT_EQ(ui.Texts("warning"), Strings(3, c.warning));
  }
  EXPECT_EQ(SendTemplates(job, "", kNet, {"12"}, page).refusal, "No terminal is selected.");
  EXPECT_TRUE(Commands().empty());

  // A window showing another terminal than the one that answered sends nothing after the card digits.
  page.caption = "Hall";
  ui.calls.clear();
  EXPECT_EQ(SendTemplates(job, kNet, kNet, {"12"}, page).outcome, TTemplateOutcome::NoAccess);
  EXPECT_EQ(GetTemplates(job, kNet, {"12"}, page).outcome, TTemplateOutcome::NoAccess);
  EXPECT_EQ(Commands(), (Strings{"PAR 7", "PAR 7"}));
  EXPECT_EQ(ui.Texts("warning"), Strings(2, "Can't access to Hall"));
  EXPECT_TRUE(selected.empty());
  EXPECT_TRUE(shown.empty());
  EXPECT_EQ(List(), "12\r\n");
}

}  // namespace
}  // namespace korvo
