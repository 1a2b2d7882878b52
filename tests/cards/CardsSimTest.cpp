// The Cardholders page against a simulated terminal over loopback TCP, on virtual time: the list and
// its edits, and Send with the wire, the stored access group and the terminal's file.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "TcpFront.h"
#include "Terminal.h"
#include "cards/AccessGroupUpload.h"
#include "cards/CardPage.h"
#include "store/SettingsRecord.h"
#include "support/NetTestSupport.h"
#include "tables/TableEditors.h"

namespace korvo {
namespace {

using Strings = std::vector<std::string>;

class CardsSim : public test::TNetFixture {
 protected:
  CardsSim() {
    gate = Add("1", "Gate");
    door = Add("2", "Door");
    for (const auto& [code, desc] : {std::pair{"2", "Morning"}, {"5", "Office"}, {"7", "Evening"}})
      EXPECT_EQ(AddEditTimeTable(dm.ADOC, {code, desc, "080000", "170000", 124}).outcome,
                TEditOutcome::Stored);
    EXPECT_EQ(AddEditAccessLevel(dm.ADOC, "1", "Early", {2}).outcome, TEditOutcome::Stored);
    EXPECT_EQ(AddEditAccessLevel(dm.ADOC, "2", "Late", {5, 7}).outcome, TEditOutcome::Stored);
    SetList(kGate, "fmTimeTbl", "2\r\n5\r\n7\r\n");
    SetList(kGate, "fmAccess", "2\r\n1\r\n");
    dm.Settings.SetSelectedAddr(kGate);
    dm.Settings.SetCurLocation("Gate");
  }
  std::shared_ptr<korvosim::Terminal> Add(const std::string& n, const std::string& location) {
    auto t = std::make_shared<korvosim::Terminal>();
    const int port = tcp.add(t);
    dm.ADOC.Execute("INSERT INTO tTerminals (fsAddr, fsTermNo, fsLocation, fnPort) VALUES (?, ?, ?, ?)",
                    {TextValue("127.0.0.1@" + n), TextValue("00" + n), TextValue(location), IntValue(port)});
    return t;
  }
  void SetList(const std::string& address, const std::string& field, const std::string& text) {
    dm.ADOC.Execute("UPDATE tTerminals SET " + field + " = ? WHERE fsAddr = ?",
                    {TextValue(text), TextValue(address)});
  }
  std::string List(const std::string& address, const std::string& field) {
    TQuery q(dm.ADOC);
    q.SetSQL("SELECT " + field + " FROM tTerminals WHERE fsAddr = ?", {TextValue(address)});
    q.Open();
    return q.Field(0).AsString();
  }
  void AddCard(const std::string& card, const std::string& name, const std::string& pin = "", int acs = 0) {
    dm.ADOC.Execute("INSERT INTO tEmployees (fsCardNo, fsName, fsPIN, fnAcsCode) VALUES (?, ?, ?, ?)",
                    {TextValue(card), TextValue(name), TextValue(pin), IntValue(acs)});
  }
  std::string Field(const std::string& card, const std::string& field) {
    TQuery q(dm.ADOC);
    q.SetSQL("SELECT " + field + " FROM tEmployees WHERE fsCardNo = ?", {TextValue(card)});
    q.Open();
    return q.IsEmpty() ? "(none)" : q.Field(0).AsString();
  }
  TCardPage Open() { return OpenCardPage(dm.ADOC, ui, kGate); }
  static void Tick(TCardPage& page, const Strings& cards) {
    for (auto& row : page.rows) row.ticked = std::find(cards.begin(), cards.end(), row.card) != cards.end();
  }
  TCardSendReport Send(const TCardPage& page, const std::string& caption = "Gate") {
    ui.calls.clear();
    return SendAccessGroup(TableJobOf(dm), page, {caption, dm.Settings.CurLocation()});
  }
  // The command lines the terminals received, in order, without the logon before each text.
  Strings Wire() {
    Strings out;
    for (const auto& e : tcp.transcript().entries())
      if (!e.text.starts_with("SETLOGON")) out.push_back(e.text);
    tcp.transcript().clear();
    return out;
  }

  static constexpr const char* kGate = "127.0.0.1@1";
  static constexpr const char* kDoor = "127.0.0.1@2";
  korvosim::TcpFront tcp;
  std::shared_ptr<korvosim::Terminal> gate, door;
};

TEST_F(CardsSim, ANewCardIsAddedTickedAndSentWithItsRecord) {
  TCardPage page = Open();
  const TCardEditOutcome outcome =
      AddEditCard(dm.ADOC, ui, page, {"700815 ", "ID1", "", "Late", "None", "123456", true, false});
  ASSERT_EQ(outcome, TCardEditOutcome::Inserted);
  EXPECT_EQ(Field("700815", "fsName"), "-");
  EXPECT_EQ(Field("700815", "fnAcsCode"), "2");
  EXPECT_EQ(page.group, Strings{"70081500006123456000001"});
  ASSERT_EQ(page.rows.size(), 1u);
  EXPECT_FALSE(page.rows[0].ticked) << "ticks come from the stored access group";
  EXPECT_EQ(page.rows[0].access, "Late");
  EXPECT_EQ(page.rows[0].relay, "1");
  page.rows[0].ticked = true;
  Wire();
  const TCardSendReport r = Send(page);
  EXPECT_EQ(r.result, TTableSendResult::Done);
  EXPECT_EQ(Wire(), (Strings{"PAR 22 1", "LOCKSYS", "DELFILE SYSTEM\\AXGROUP.DAT", "LOAD SYSTEM\\AXGROUP.DAT",
                             "000700815000061123456000001", "*", "UNLOCKSYS"}))
      << "no PAR 7";
  EXPECT_EQ(List(kGate, "fmAxGroup"), "70081500006123456000001\r\n");
  EXPECT_EQ(gate->file("SYSTEM\\AXGROUP.DAT"), Strings{"000700815000061123456000001"});
  EXPECT_EQ(gate->param(22), "1");
  EXPECT_EQ(ui.Progress(), (Strings{"", "0-1", "1"}));
  EXPECT_EQ(ui.Texts("information"), Strings{"Job Complete."});
  EXPECT_TRUE(Open().rows[0].ticked);
}

TEST_F(CardsSim, EditChangesEveryTickedRowAndNoOther) {
  AddCard("100", "Ann", "111111");
  AddCard("200", "Bob", "");
  AddCard("300", "Cy", "333333");
  AddCard("400", "Di", "444444", 1);
  TCardPage page = Open();
  Tick(page, {"100", "200", "300"});
  ASSERT_EQ(AddEditCard(dm.ADOC, ui, page, {"200", "ID2", "Bob", "Late", "Early", "2 2", false, true}),
            TCardEditOutcome::Updated);
  EXPECT_EQ(page.group, (Strings{"10000006111111000012", "20000006202000000012", "30000006333333000012"}));
  for (const char* card : {"100", "200", "300"}) {
    EXPECT_EQ(Field(card, "fnAcsCode"), "2") << card;
    EXPECT_EQ(Field(card, "fnPINTime"), "1") << card;
  }
  EXPECT_EQ(Field("200", "fsPIN"), "202000");
  EXPECT_EQ(Field("100", "fsPIN"), "111111") << "the other cards keep their PIN";
  EXPECT_EQ(Field("400", "fnAcsCode"), "1");

  // An existing card that is not ticked: nothing changes.
  Tick(page, {});
  const Strings group = page.group;
  EXPECT_EQ(AddEditCard(dm.ADOC, ui, page, {"400", "X", "X", "Late", "Late", "999999", true, true}),
            TCardEditOutcome::Updated);
  EXPECT_EQ(page.group, group);
  EXPECT_EQ(Field("400", "fsName"), "Di");
  EXPECT_EQ(Field("400", "fnAcsCode"), "1");
}

TEST_F(CardsSim, SendBuildsEntriesFromTheRowsAndRefusesABadPin) {
  AddCard("1234567890", "Ten", "", 2);
  AddCard("55", "Five", "12a456", 1);
  TCardPage page = Open();
  Tick(page, {"1234567890"});
  Send(page);
  EXPECT_EQ(List(kGate, "fmAxGroup"), "123456789000006000000000000\r\n") << "a blank PIN is 000000";
  EXPECT_EQ(gate->file("SYSTEM\\AXGROUP.DAT"), Strings{"1234567890000061000000000000"});
  EXPECT_EQ(gate->file("SYSTEM\\AXGROUP.DAT")[0].size(), 28u);

  Tick(page, {"55", "1234567890"});
  Wire();
  EXPECT_EQ(Send(page).result, TTableSendResult::Refused);
  EXPECT_EQ(ui.Texts("error"), Strings{"'12a456' is not a valid integer value"});
  EXPECT_EQ(Wire(), Strings{}) << "no PAR 22";
  EXPECT_EQ(List(kGate, "fmAxGroup"), "123456789000006000000000000\r\n");
}

TEST_F(CardsSim, RefusedSendsStoreAndSendNothing) {
  AddCard("700815", "Ann");
  TCardPage page = Open();
  Tick(page, {"700815"});
  const struct {
    const char* caption;
    const char* selected;
    const char* warning;
  } cases[] = {{"Door", kGate, "Can't access to Door"},
               {"Gate", "", "No terminal is chosen: choose one in the terminal tree before sending."}};
  for (const auto& c : cases) {
    dm.Settings.SetSelectedAddr(c.selected);
    Wire();
    EXPECT_EQ(Send(page, c.caption).result, TTableSendResult::Refused);
    EXPECT_EQ(ui.Texts("warning"), Strings{c.warning});
    EXPECT_EQ(Wire(), Strings{});
    EXPECT_EQ(List(kGate, "fmAxGroup"), "");
  }
}

TEST_F(CardsSim, NoTickedRowLoadsAnEmptyFileAndAFailedLoadWarns) {
  AddCard("700815", "Ann");
  SetList(kGate, "fmAxGroup", "70081500006123456000001\r\n");
  gate->setFile("SYSTEM\\AXGROUP.DAT", {"000700815000061123456000001"});
  TCardPage page = Open();
  ASSERT_TRUE(page.rows[0].ticked);
  Tick(page, {});
  Wire();
  Send(page);
  EXPECT_EQ(Wire(), (Strings{"PAR 22 0", "LOCKSYS", "DELFILE SYSTEM\\AXGROUP.DAT", "LOAD SYSTEM\\AXGROUP.DAT",
                             "*", "UNLOCKSYS"}));
  EXPECT_EQ(List(kGate, "fmAxGroup"), "");
  EXPECT_EQ(gate->file("SYSTEM\\AXGROUP.DAT"), Strings{});
  EXPECT_EQ(ui.Progress(), (Strings{"", ""}));

  korvosim::ReplyOverride fail;
  fail.match = "LOAD";
  gate->addReplyOverride(fail);
  Tick(page, {"700815"});
  EXPECT_EQ(Send(page).result, TTableSendResult::NotTaken);
  EXPECT_EQ(ui.Texts("warning"), Strings{kLoadNotTaken});
  EXPECT_EQ(ui.Texts("information"), Strings{});
  EXPECT_EQ(Wire().size(), 7u) << "the same commands";

  // Taken, but the terminal restarts on the closing line: it never confirmed the file.
  gate->clearReplyOverrides();
  gate->addReplyOverride({.match = "*", .kind = korvosim::ReplyOverride::Kind::Restart, .times = 1});
  ui.calls.clear();
  EXPECT_EQ(Send(page).result, TTableSendResult::NotTaken);
  EXPECT_EQ(ui.Texts("warning"), Strings{kLoadNotTaken});
  EXPECT_EQ(gate->restarts(), 1);
}

TEST_F(CardsSim, SearchSortDeleteAndTheOtherTerminal) {
  AddCard("300", "ANN");
  AddCard("100", "Cy");
  AddCard("200", "Bob", "5");
  dm.ADOC.Execute("UPDATE tEmployees SET fsIDNo = 'Z' || fsCardNo");
  SetList(kGate, "fmAxGroup", "20000000000000000000\r\n");
  TCardPage page = Open();
  EXPECT_EQ(ui.Progress(), (Strings{"0-3", "1", "2", "3"}));
  const struct {
    TCardSearch field;
    const char* text;
    std::optional<std::size_t> row;
  } finds[] = {{TCardSearch::Name, " ann", 2},
               {TCardSearch::CardNo, "100", 0},
               {TCardSearch::IDNo, "z200", 1},
               {TCardSearch::CardNo, "10", std::nullopt},
               {TCardSearch::Name, "Dan", std::nullopt}};
  for (const auto& f : finds) EXPECT_EQ(FindCardRow(page, f.field, f.text), f.row) << f.text;
  EXPECT_STREQ(NotFoundText(TCardSearch::IDNo), "ID Number not Found.");

  page.rows[0].ticked = true;  // 100, not in the stored group
  SortCardList(dm.ADOC, ui, page, TCardOrder::Name);
  Strings order, ticked;
  for (const auto& r : page.rows) {
    order.push_back(r.name);
    if (r.ticked) ticked.push_back(r.card);
  }
  EXPECT_EQ(order, (Strings{"ANN", "Bob", "Cy"}));
  EXPECT_EQ(ticked, (Strings{"200", "100"}));

  DeleteCard(dm.ADOC, ui, page, " 200 ");
  EXPECT_EQ(Field("200", "fsName"), "(none)");
  EXPECT_EQ(page.group, Strings{});
  EXPECT_EQ(page.rows.size(), 2u);

  SetList(kDoor, "fmTimeTbl", "5\r\n");
  SetList(kDoor, "fmAxGroup", "30000001000000000003\r\n");
  ui.calls.clear();
  ASSERT_TRUE(SameAsTerminal(dm.ADOC, ui, page, "Door", kGate));
  EXPECT_EQ(ui.Texts("warning"), Strings{kOtherTimeTables});
  EXPECT_EQ(page.slotCodes, Strings{"5"});
  EXPECT_EQ(page.rows[0].access, "None") << "mask 00001 on Door is time table 5: no level is that alone";
  EXPECT_TRUE(page.rows[0].ticked);
  EXPECT_EQ(LevelItems(page), Strings{"None"});
  Send(page);
  EXPECT_EQ(gate->file("SYSTEM\\AXGROUP.DAT"), Strings{"000000300000011000000000003"}) << "to SelectedAddr";
}

TEST_F(CardsSim, AMaskBeyondFiveDigitsIsRefused) {
  std::string many;
  for (int i = 1; i <= 17; ++i) many += std::to_string(100 + i) + "\r\n";
  SetList(kGate, "fmTimeTbl", many + "7\r\n");  // time table 7 in slot 17: 131072
  AddCard("55", "Five", "", 2);
  TCardPage page = Open();
  ui.calls.clear();
  EXPECT_EQ(AddEditCard(dm.ADOC, ui, page, {"700815", "", "", "Late", "None", "1", false, false}),
            TCardEditOutcome::Refused);
  EXPECT_EQ(ui.Texts("warning"), Strings{kMaskTooWide});
  EXPECT_EQ(Field("700815", "fsName"), "(none)");
  EXPECT_EQ(page.group, Strings{});

  Tick(page, {"55"});
  Wire();
  EXPECT_EQ(Send(page).result, TTableSendResult::Refused);
  EXPECT_EQ(ui.Texts("warning"), Strings{kMaskTooWide});
  EXPECT_EQ(Wire(), Strings{});
}

TEST_F(CardsSim, APhotoIsStoredForAStoredCardOnly) {
  AddCard("700815", "Ann");
  const std::string png("\x89PNG\r\n\x1a\n\0\1", 10);
  EXPECT_TRUE(StoreCardPhoto(dm.ADOC, "700815", png));
  EXPECT_EQ(CardPhoto(dm.ADOC, "700815"), png);
  EXPECT_FALSE(StoreCardPhoto(dm.ADOC, "1", png));
  EXPECT_TRUE(StoreCardPhoto(dm.ADOC, "700815", ""));
  EXPECT_EQ(CardPhoto(dm.ADOC, "700815"), "");
}

}  // namespace
}  // namespace korvo
