// The records of the terminal files and the display texts of the rows, byte for byte.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "link/ReplyTokens.h"
#include "tables/MessageEditor.h"
#include "tables/RowTexts.h"
#include "tables/TableRecords.h"
#include "tables/TableText.h"

namespace korvo {
namespace {

using Strings = std::vector<std::string>;

TEST(TableRecordsTest, FileRecordsOfEveryLayout) {
  const struct {
    const char* what;
    std::string record;
    std::string expected;
  } cases[] = {
      {"time table, Monday to Friday", TimeTableFileRecord({1, "Office", "080000", "170000", 124}),
       "080000170000124"},
      {"time table with a blank first hour digit: 14 characters",
       TimeTableFileRecord({2, "Early", " 80000", "170000", 129}), "80000170000129"},
      {"alarm", AlarmFileRecord({1, "0730", 5, 1, 124}), "1240730100005"},
      {"alarm, both relays, longest", AlarmFileRecord({2, "0800", 255, 3, 127}), "1270800300255"},
      {"black list card", CardFileRecord("700815"), "000700815"},
      {"twelve-digit card is never cut", CardFileRecord("123456789012"), "123456789012"},
      {"message, card digits 6", MessageFileRecord("700815Welcome", 6), "000700815Welcome         "},
      {"message cut to 16 on the terminal", MessageFileRecord("700815Good morning, Alexandra", 6),
       "000700815Good morning, Al"},
      {"card digits 1 take only the first character", MessageFileRecord("700815Hi", 1),
       "000000007" + PadSpaces("00815Hi", 16)},
      {"message cut by characters, not bytes",
       MessageFileRecord("12Caf\xC3\xA9 cr\xC3\xA8me br\xC3\xBBl\xC3\xA9\x65s", 2),
       "000000012Caf\xC3\xA9 cr\xC3\xA8me br\xC3\xBBl\xC3\xA9"},
      {"expiry", ExpiryLine({"700815", "311224"}), "000700815311224"},
  };
  for (const auto& c : cases) EXPECT_EQ(c.record, c.expected) << c.what;
  EXPECT_EQ(TimeTableFileRecord({2, "", " 80000", "170000", 129}).size(), 14u);
}

TEST(TableRecordsTest, CardDigitsAreTheTrimmedNumberOrOne) {
  const std::vector<std::pair<std::string, int>> cases = {{"6", 6}, {" 8 ", 8}, {"+9", 9}, {"--", 1},
                                                          {"", 1},  {"6a", 1},  {"-2", -2}};
  for (const auto& [reply, digits] : cases) EXPECT_EQ(CardDigitsOf(reply), digits) << reply;
  EXPECT_EQ(MessageFileRecord("700815Hi", -2), "000000000700815Hi" + std::string(8, ' '))
      << "a negative count takes no card";
}

TEST(TableRecordsTest, RowTextsKeepTheirColumns) {
  EXPECT_EQ(HolidayRowText({"2512", "Christmas"}), "   2512   Christmas");
  EXPECT_EQ(AccessLevelRowText({12, "Staff", {}}), "   12 Staff");
  EXPECT_EQ(TimeTableRowText({3, "Office", "080000", "170000", 124}),
            "    3  Office" + std::string(26, ' ') + "080000 170000 -MTWTF--");
  EXPECT_EQ(AlarmRowText({7, "0800", 5, 1, 127}), "   7       0800" + std::string(14, ' ') + "5" +
                                                      std::string(11, ' ') + "1" + std::string(11, ' ') +
                                                      "-MTWTFSH");
  EXPECT_EQ(AlarmRowText({7, "0800", 5, 9, 0}).substr(41), std::string(12, ' ') + "--------")
      << "no digit for a relay code out of range";
  TCardRow row{"700815", std::string(40, 'N'), "ID-9", false, "Hello"};
  const std::string message = MessageRowText(row);
  EXPECT_EQ(message.substr(0, 20), " 700815" + std::string(13, ' '));
  EXPECT_EQ(message.substr(20, 31), std::string(30, 'N') + " ") << "the name is cut to 30";
  EXPECT_EQ(message.substr(51), "Hello") << "the message starts in column 52";
  EXPECT_EQ(IDCardRowText(row), " ID-9" + std::string(29, ' ') + "700815");
  EXPECT_EQ(ExpiryRowText({"700815", "311224"}), " 700815" + std::string(25, ' ') + "311224");
}

TEST(TableRecordsTest, RowClicksFillTheEditorsFromTheRecord) {
  const THolidayEditor h = HolidayEditorOf({"2512", "Christmas  Day"});
  EXPECT_EQ(h.date, "2512");
  EXPECT_EQ(h.desc, "Christmas Day ") << "single blanks and one trailing blank";
  const TTimeTableEditor t = TimeTableEditorOf({3, " Night   shift", " 80000", "170000", 0x1FF});
  EXPECT_EQ(t.code, "3");
  EXPECT_EQ(t.desc, "Night shift ");
  EXPECT_EQ(t.start, " 80000") << "the blank first digit stays for the HH:MM:SS field";
  EXPECT_EQ(t.days, 255);
  const TAlarmEditor a = AlarmEditorOf({7, "0800", 5, 3, 129});
  EXPECT_TRUE(a.relay1 && a.relay2);
  EXPECT_EQ(a.days, 129);
  EXPECT_EQ(AccessEditorOf({4, "Day  staff", {}}).desc, "Day staff ");

  std::vector<TTicked<TTimeTable>> tables{
      {{3, "", "", "", 0}, false}, {{5, "", "", "", 0}, true}, {{7, "", "", "", 0}, false}};
  TickTimeTablesOf(tables, {1, "L", {"3", "7"}});
  EXPECT_TRUE(tables[0].ticked && !tables[1].ticked && tables[2].ticked);
  TickTimeTablesOf(tables, {1, "L", {}});
  EXPECT_FALSE(tables[0].ticked || tables[1].ticked || tables[2].ticked) << "an empty list unticks all";
}

TEST(TableRecordsTest, TheMessageEditorPutsEachRowsNameAndCutsCardsTo16) {
  std::vector<TTicked<TCardRow>> rows{{{"1001", "Ann Lee", "", false, ""}, true},
                                      {{"1002", "Bob Roy", "", false, "old"}, false},
                                      {{"12345678901234567890", "Cy Fox", "", false, ""}, true}};
  EXPECT_EQ(ApplyMessage(rows, "Hi %name%!"), "");
  EXPECT_EQ(rows[0].row.message, "Hi Ann Lee!");
  EXPECT_EQ(rows[1].row.message, "old") << "unticked rows keep theirs";
  EXPECT_EQ(MessageLine(rows[2].row), "1234567890123456Hi Cy Fox!");
  EXPECT_EQ(MessageEditorText(rows[0].row), "Hi %NAME%!");
  rows[0].row.message = "Bye ANN LEE";
  EXPECT_EQ(MessageEditorText(rows[0].row), "Bye %NAME%") << "the name in any letter case";

  const Strings refused = {"seventeen chars!!", "a|b", std::string("a\rb")};
  for (const auto& typed : refused) {
    EXPECT_NE(ApplyMessage(rows, typed), "") << typed;
    EXPECT_EQ(rows[2].row.message, "Hi Cy Fox!") << "a refusal changes no row";
  }
  rows[0].row.name = "Pipe|Name";
  EXPECT_NE(ApplyMessage(rows, "%NAME%"), "") << "a name that brings in a |";
  rows[0].row.message = std::string(40, 'm');
  EXPECT_EQ(MessageLine(rows[0].row), "1001" + std::string(32, 'm')) << "32 characters are kept";
}

}  // namespace
}  // namespace korvo
