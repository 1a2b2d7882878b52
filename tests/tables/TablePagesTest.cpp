// The pages' rows and ticks as loaded from the database, the tick rules, and the editors' effects
// on the tables and lists.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/MainFixture.h"
#include "tables/ListField.h"
#include "tables/ListOrder.h"
#include "tables/TableEditors.h"
#include "tables/TablePages.h"
#include "tables/TableText.h"
#include "tables/TableUpload.h"

namespace korvo {
namespace {

using Strings = std::vector<std::string>;

class TablePagesTest : public test::TMainFixture {
 protected:
  void SetUp() override {
    TMainFixture::SetUp();
    AddTerminal("1", "001", "Gate");
  }
  void SetList(const char* field, const std::string& text) {
    dm->ADOC.Execute(std::string("UPDATE tTerminals SET ") + field + " = ? WHERE fsAddr = '1'",
                     {TextValue(text)});
  }
  void AddCard(const std::string& card, const std::string& name, const std::string& id = "",
               const std::string& bio = "") {
    dm->ADOC.Execute("INSERT INTO tEmployees (fsCardNo, fsIDNo, fsName, fmBioData) VALUES (?, ?, ?, ?)",
                     {TextValue(card), TextValue(id), TextValue(name), TextValue(bio)});
  }
  TTablePageModel Load(TTablePage page, const std::string& address = "1") {
    return LoadTablePage(dm->ADOC, page, address);
  }
  static Strings Cards(const TTablePageModel& m) {
    Strings out;
    for (const auto& c : m.cards) out.push_back(c.row.card);
    return out;
  }
  static Strings TickedCards(const TTablePageModel& m) {
    Strings out;
    for (const auto& c : m.cards)
      if (c.ticked) out.push_back(c.row.card);
    return out;
  }
};

TEST_F(TablePagesTest, CardListsTickByTheirRule) {
  AddCard("51234", "Ann");
  AddCard("123", "Bob");
  AddCard("700815", "Cy", "", "0A0B");
  const struct {
    TTablePage page;
    const char* field;
    std::string list;
    Strings ticked;
  } cases[] = {
      {TTablePage::Blacklist, "fmBlackLst", "51234\r\n", {"51234"}},
      {TTablePage::Blacklist, "fmBlackLst", "123\r\n", {"123"}},
      {TTablePage::Special, "fmSPCEnroll", "0123\r\n700815 \r\n", {}},
      {TTablePage::Admin, "fmAdminLst", "123\n700815", {"123", "700815"}},
      {TTablePage::Biometrics, "fmBioUsrLst", "700815\r\n51234\r\n", {"51234", "700815"}},
  };
  for (const auto& c : cases) {
    SetList(c.field, c.list);
    EXPECT_EQ(TickedCards(Load(c.page)), c.ticked) << c.field << " " << c.list;
  }
  const TTablePageModel bio = Load(TTablePage::Biometrics);
  ASSERT_EQ(bio.cards.size(), 3u);
  EXPECT_FALSE(bio.cards[0].row.hasTemplate);
  EXPECT_TRUE(bio.cards[2].row.hasTemplate) << "rows by name: Ann, Bob, Cy";
  EXPECT_EQ(TickedCards(Load(TTablePage::Blacklist, "9")), Strings{}) << "no terminal row ticks nothing";

  Strings notices;
  LoadTablePage(dm->ADOC, TTablePage::Admin, "1", [&](const std::string& n) { notices.push_back(n); });
  EXPECT_EQ(notices, (Strings{"0-3", "1", "2", "3"}));
  AddTerminal("7", "007", "Door");
  EXPECT_EQ(AddressOfLocation(dm->ADOC, "Door"), std::optional<std::string>("7"));
  EXPECT_EQ(AddressOfLocation(dm->ADOC, "Yard"), std::nullopt);
}

TEST_F(TablePagesTest, CheckListsSortByTextAndAReloadKeepsWhatTheOperatorDid) {
  AddCard("20", "bob", "I2");
  AddCard("3", "Ann", "I1");
  AddCard("100", "cy", "I3");
  TTablePageModel shown = Load(TTablePage::Message);  // Ann, bob, cy
  shown.cards[1].ticked = true;
  shown.cards[1].row.message = "Hi";
  SortRowsByText(shown);
  EXPECT_EQ(Cards(shown), (Strings{"100", "20", "3"})) << "by the row text: card first, as text";
  TTablePageModel fresh = Load(TTablePage::Message);
  KeepShownTicks(fresh, shown);
  EXPECT_EQ(Cards(fresh), (Strings{"3", "20", "100"}));
  EXPECT_EQ(TickedCards(fresh), Strings{"20"});
  EXPECT_EQ(fresh.cards[1].row.message, "Hi");

  TTablePageModel ids = Load(TTablePage::IDCard);
  ids.cards[0].ticked = true;  // I1, card 3
  TTablePageModel idsAgain = Load(TTablePage::IDCard);
  KeepShownTicks(idsAgain, ids);
  EXPECT_EQ(Cards(idsAgain), (Strings{"100", "20", "3"})) << "by card number";
  EXPECT_EQ(TickedCards(idsAgain), Strings{"3"});

  TCardSort sort;
  const struct {
    TCardColumn click;
    Strings order;
  } clicks[] = {{TCardColumn::Card, {"100", "20", "3"}},
                {TCardColumn::Name, {"3", "20", "100"}},
                {TCardColumn::Name, {"100", "20", "3"}},
                {TCardColumn::Card, {"3", "20", "100"}}};
  for (const auto& c : clicks) {
    sort.Click(c.click);
    SortCardRows(fresh.cards, sort);
    EXPECT_EQ(Cards(fresh), c.order);
    EXPECT_EQ(TickedCards(fresh), Strings{"20"});
  }
}

TEST_F(TablePagesTest, MessageAndIDLinesBelongToTheirLongestPrefix) {
  AddCard("1", "One", "A");
  AddCard("10", "Ten", "A1");
  AddCard("700815", "Cy", "77");
  SetList("fmMessage", "1Room 101\r\n10Gate 1\r\n700815Welcome\r\n999Nobody\r\n");
  const TTablePageModel m = Load(TTablePage::Message);
  ASSERT_EQ(m.cards.size(), 3u);  // by name: Cy, One, Ten
  EXPECT_EQ(m.cards[1].row.message, "Room 101") << "not every 1 removed";
  EXPECT_EQ(m.cards[2].row.message, "Gate 1") << "10 is the longer prefix of 10Gate 1";
  EXPECT_EQ(m.cards[0].row.message, "Welcome");
  EXPECT_EQ(TickedCards(m), (Strings{"700815", "1", "10"}));

  SetList("fmIDCard", "A110\r\n");
  EXPECT_EQ(TickedCards(Load(TTablePage::IDCard)), Strings{"10"}) << "A1 + 10, not A + 1";

  const auto values = LineValuesByPrefix({"1", "", "12"}, {"x1", "123", "1abc"});
  EXPECT_EQ(values[0], std::optional<std::string>("abc"));
  EXPECT_EQ(values[1], std::nullopt) << "an empty key owns nothing";
  EXPECT_EQ(values[2], std::optional<std::string>("3"));
}

TEST_F(TablePagesTest, ScheduleTablesTickByTheirRule) {
  for (const auto& [date, desc] : {std::pair{"0101", "New Year"}, {"1108", "Fair"}, {"2512", "Christmas"}})
    ASSERT_EQ(AddEditHoliday(dm->ADOC, date, desc).outcome, TEditOutcome::Stored);
  SetList("fmHoliday", "x2512\r\n0101\r\n");
  const TTablePageModel h = Load(TTablePage::Holidays);
  EXPECT_TRUE(h.holidays[0].ticked && !h.holidays[1].ticked && h.holidays[2].ticked)
      << "a line containing it";

  ASSERT_EQ(AddEditAlarm(dm->ADOC, {"1", "0800", 5, RelayCode(true, false), 127}).outcome,
            TEditOutcome::Stored);
  ASSERT_EQ(AddEditAlarm(dm->ADOC, {"2", "0900", 5, 1, 127}).outcome, TEditOutcome::Stored);
  SetList("fmAlarm", "1270800100005\r\n");
  const TTablePageModel a = Load(TTablePage::Alarm);
  EXPECT_TRUE(a.alarms[0].ticked);
  EXPECT_FALSE(a.alarms[1].ticked);

  ASSERT_EQ(AddEditExpiry(dm->ADOC, "700815", "311224").outcome, TEditOutcome::Stored);
  ASSERT_EQ(AddEditExpiry(dm->ADOC, "815", "010125").outcome, TEditOutcome::Stored);
  SetList("fmExpired", "000700815311224\r\n0000008150101\r\n");
  const TTablePageModel e = Load(TTablePage::Expired);
  ASSERT_EQ(e.expiries.size(), 2u);  // by card: 700815, 815
  EXPECT_TRUE(e.expiries[0].ticked);
  EXPECT_FALSE(e.expiries[1].ticked) << "four date characters are not six";
}

TEST_F(TablePagesTest, TimeTablesAreTickedThroughTheTerminalsLevels) {
  for (int code : {3, 5, 7})
    ASSERT_EQ(AddEditTimeTable(dm->ADOC, {std::to_string(code), "T", "080000", "170000", 124}).outcome,
              TEditOutcome::Stored);
  ASSERT_EQ(AddEditAccessLevel(dm->ADOC, "1", "Day", {3, 7}).outcome, TEditOutcome::Stored);
  ASSERT_EQ(AddEditAccessLevel(dm->ADOC, "2", "Night", {5}).outcome, TEditOutcome::Stored);
  TQuery q(dm->ADOC);
  q.SetSQL("SELECT fmAcsTTLst, fsAcsSpare FROM tAccess WHERE fnAcsCode = 1");
  q.Open();
  EXPECT_EQ(q.Field(0).AsString(), "3\r7\r");
  EXPECT_EQ(q.Field(1).AsString(), "");
  SetList("fmAccess", "1\r\n9\r\n");
  SetList("fmTimeTbl", "5\r\n");
  TTablePageModel m = Load(TTablePage::Access);
  EXPECT_TRUE(m.levels[0].ticked && !m.levels[1].ticked);
  EXPECT_TRUE(m.timeTables[0].ticked && !m.timeTables[1].ticked && m.timeTables[2].ticked)
      << "fmTimeTbl is not read for display; level 9 does not exist";

  // SEND's own ticking: the operator's ticks give way to the ticked levels'.
  m.timeTables[1].ticked = true;
  m.timeTables[2].ticked = false;
  m.levels[1].ticked = true;
  TickTimeTablesOfTickedLevels(dm->ADOC, m);
  EXPECT_TRUE(m.timeTables[0].ticked && m.timeTables[1].ticked && m.timeTables[2].ticked);
}

TEST_F(TablePagesTest, EditorsStoreAndRefuse) {
  auto& db = dm->ADOC;
  const struct {
    const char* what;
    TEditResult result;
    TEditOutcome outcome;
  } cases[] = {
      {"holiday", AddEditHoliday(db, "2512", "Christmas"), TEditOutcome::Stored},
      {"holiday edited", AddEditHoliday(db, "2512", "Christmas Day"), TEditOutcome::Stored},
      {"holiday, both empty", AddEditHoliday(db, "", " "), TEditOutcome::Nothing},
      {"holiday without a date", AddEditHoliday(db, "", "Easter"), TEditOutcome::Refused},
      {"holiday, three digits", AddEditHoliday(db, "251 ", "Easter"), TEditOutcome::Refused},
      {"holiday with |", AddEditHoliday(db, "0101", "New|Year"), TEditOutcome::Refused},
      {"holiday, 31 characters", AddEditHoliday(db, "0101", std::string(31, 'x')), TEditOutcome::Refused},
      {"time table, blank first digit", AddEditTimeTable(db, {"4", "Early", " 80000", "120000", 129}),
       TEditOutcome::Stored},
      {"time table, no code", AddEditTimeTable(db, {"", "x", "080000", "120000", 0}), TEditOutcome::Nothing},
      {"time table, code no number", AddEditTimeTable(db, {"4a", "x", "080000", "120000", 0}),
       TEditOutcome::Refused},
      {"time table, empty start", AddEditTimeTable(db, {"6", "x", "      ", "120000", 0}),
       TEditOutcome::Refused},
      {"time table, half an end", AddEditTimeTable(db, {"6", "x", "080000", "12  00", 0}),
       TEditOutcome::Refused},
      {"time table with |", AddEditTimeTable(db, {"6", "a|b", "080000", "120000", 0}), TEditOutcome::Refused},
      {"level with |", AddEditAccessLevel(db, "2", "|", {}), TEditOutcome::Refused},
      {"alarm without time", AddEditAlarm(db, {"3", "    ", 1, 0, 0}), TEditOutcome::Refused},
      {"alarm, 256 s", AddEditAlarm(db, {"3", "0800", 256, 0, 0}), TEditOutcome::Refused},
      {"expiry, both empty", AddEditExpiry(db, " ", ""), TEditOutcome::Nothing},
      {"expiry without card", AddEditExpiry(db, "", "311224"), TEditOutcome::Refused},
      {"expiry without date", AddEditExpiry(db, "700815", ""), TEditOutcome::Refused},
      {"expiry card with |", AddEditExpiry(db, "70|0815", "311224"), TEditOutcome::Refused},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(c.result.outcome, c.outcome) << c.what << ": " << c.result.reason;
    EXPECT_EQ(c.result.reason.empty(), c.outcome != TEditOutcome::Refused) << c.what;
  }
  const TTablePageModel h = Load(TTablePage::Holidays);
  ASSERT_EQ(h.holidays.size(), 1u);
  EXPECT_EQ(h.holidays[0].row.desc, "Christmas Day");
  const TTablePageModel t = Load(TTablePage::Access);
  ASSERT_EQ(t.timeTables.size(), 1u);
  EXPECT_EQ(t.timeTables[0].row.start, " 80000");
  EXPECT_EQ(t.timeTables[0].row.days, 129);
  EXPECT_EQ(Load(TTablePage::Alarm).alarms.size(), 0u);
  EXPECT_EQ(Load(TTablePage::Expired).expiries.size(), 0u);

  EXPECT_EQ(DeleteHoliday(db, "2512").outcome, TEditOutcome::Deleted);
  EXPECT_EQ(Load(TTablePage::Holidays).holidays.size(), 0u);
  EXPECT_EQ(MaskDigits(" 8:00:00"), " 80000");
}

TEST_F(TablePagesTest, DeletingALevelTakesItsFirstLineOutOfTheSelectedTerminalsAccessList) {
  ASSERT_EQ(AddEditAccessLevel(dm->ADOC, "2", "Day", {}).outcome, TEditOutcome::Stored);
  ASSERT_EQ(AddEditAccessLevel(dm->ADOC, "20", "Night", {}).outcome, TEditOutcome::Stored);
  AddTerminal("2", "002", "Door");
  SetList("fmAccess", "20\r\n2\r\n5\r\n2\r\n");
  dm->ADOC.Execute("UPDATE tTerminals SET fmAccess = '2\r\n' WHERE fsAddr = '2'");
  EXPECT_EQ(DeleteAccessLevel(dm->ADOC, "2", "1").outcome, TEditOutcome::Deleted);
  EXPECT_EQ(ReadTerminalList(dm->ADOC, "1", "fmAccess"), (Strings{"20", "5", "2"}));
  EXPECT_EQ(ReadTerminalList(dm->ADOC, "2", "fmAccess"), Strings{"2"}) << "other terminals keep theirs";
  const TTablePageModel m = Load(TTablePage::Access);
  ASSERT_EQ(m.levels.size(), 1u);
  EXPECT_EQ(m.levels[0].row.code, 20);
}

TEST(TablePageNames, CaptionsIndexesAndTheIDCardPage) {
  EXPECT_EQ(TablePageByName("holidays"), TTablePage::Holidays);
  EXPECT_EQ(TablePageByName("ID <=> Card"), TTablePage::IDCard);
  EXPECT_EQ(TablePageByName("id<=>card"), TTablePage::IDCard);
  EXPECT_EQ(TablePageByName("IDCard"), TTablePage::IDCard);
  EXPECT_EQ(TablePageByName("9"), TTablePage::Expired);
  EXPECT_EQ(TablePageByName("Cards"), std::nullopt);
}

}  // namespace
}  // namespace korvo
