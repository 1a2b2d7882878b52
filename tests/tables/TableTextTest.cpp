#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/MainFixture.h"
#include "tables/ListField.h"
#include "tables/TableText.h"

namespace korvo {
namespace {

using Strings = std::vector<std::string>;

TEST(TableTextTest, PaddingDayMasksAndRelays) {
  EXPECT_EQ(PadZeros("700815", 9), "000700815");
  EXPECT_EQ(PadZeros("123456789012", 9), "123456789012") << "never cut";
  EXPECT_EQ(PadSpaces("Welcome", 16), "Welcome         ");
  EXPECT_EQ(PadSpaces("A long message here", 16), "A long message h");
  const std::vector<std::pair<int, std::string>> masks = {
      {124, "-MTWTF--"}, {255, "SMTWTFSH"}, {0, "--------"}, {129, "S------H"}, {127, "-MTWTFSH"}};
  for (const auto& [mask, text] : masks) {
    EXPECT_EQ(DayMaskText(mask), text);
    EXPECT_EQ(DayMaskValue(text), mask);
  }
  EXPECT_EQ(DayMaskOf({true, false, false, false, false, false, false, true}), 129) << "Sunday and Holiday";
  EXPECT_EQ(DayBoxesOf(124), (TDayBoxes{false, true, true, true, true, true, false, false}));
  EXPECT_EQ(RelayCode(true, false), 1);
  EXPECT_EQ(RelayCode(true, true), 3);
  EXPECT_EQ(RelayDigit(2), "2");
  EXPECT_EQ(RelayDigit(4), "");
}

TEST(TableTextTest, CutsAndPaddingCountCharacters) {
  const std::string e = "\xC3\xA9";  // one character, two bytes
  EXPECT_EQ(CharCount("Caf" + e), 4u);
  EXPECT_EQ(PadSpaces("Caf" + e, 6), "Caf" + e + "  ");
  EXPECT_EQ(PadSpaces(e + e + e, 2), e + e);
  EXPECT_EQ(PadZeros(e, 3), "00" + e);
  EXPECT_EQ(AfterChars(e + "ab", 1), "ab");
  EXPECT_EQ(WordsWithBlanks("  New   Year "), "New Year ");
  EXPECT_EQ(ReplaceNoCase("%name% and %NAME%", "%Name%", "Ann"), "Ann and Ann");
  EXPECT_EQ(ReplaceNoCase("abc", "", "x"), "abc");
  EXPECT_EQ(Blanks(-2), "");
}

TEST(TableTextTest, ListLinesTakeEveryLineEnd) {
  EXPECT_EQ(ListLines("0101\r\n1108\r\n2512\r\n"), (Strings{"0101", "1108", "2512"}));
  EXPECT_EQ(ListLines("3\r7\r"), (Strings{"3", "7"}));
  EXPECT_EQ(ListLines("a\nb"), (Strings{"a", "b"}));
  EXPECT_EQ(ListLines("a\r\n\r\nb\r\n"), (Strings{"a", "", "b"}));
  EXPECT_EQ(ListLines(""), Strings{});
  EXPECT_EQ(ListText({"3", "7"}, "\r"), "3\r7\r");
  EXPECT_EQ(ListText({}), "");
}

class ListFieldTest : public test::TMainFixture {};

TEST_F(ListFieldTest, AMissingRowOrNullFieldIsAnEmptyList) {
  AddTerminal("1", "001", "Gate");
  EXPECT_EQ(ReadTerminalList(dm->ADOC, "1", "fmHoliday"), Strings{});
  EXPECT_TRUE(WriteTerminalList(dm->ADOC, "1", "fmHoliday", {"0101", "2512"}));
  EXPECT_EQ(ReadTerminalList(dm->ADOC, "1", "fmHoliday"), (Strings{"0101", "2512"}));
  EXPECT_EQ(ReadTerminalList(dm->ADOC, "2", "fmHoliday"), Strings{});
  EXPECT_FALSE(WriteTerminalList(dm->ADOC, "2", "fmHoliday", {"0101"}));
}

}  // namespace
}  // namespace korvo
