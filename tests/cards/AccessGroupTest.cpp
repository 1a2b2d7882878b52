// Access group lines and records, masks and their levels, and the time-table hint.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "cards/AccessGroup.h"

namespace korvo {
namespace {

using Strings = std::vector<std::string>;

TEST(AccessGroup, LinesGiveTheirRecords) {
  const struct {
    const char* line;
    const char* record;  // empty: the line holds no entry
  } cases[] = {
      {"70081500006123456000001", "000700815000061123456000001"},
      {"12345678900003111111000013", "123456789000031111111000013"},
      {"123456789000001000000000002", "1234567890000011000000000002"},
      {"1200000000000000000", "000000012000001000000000000"},
      {"0000000000000000", ""},
      {"", ""},
  };
  for (const auto& c : cases) {
    const auto e = ParseAccessEntry(c.line);
    if (!*c.record) {
      EXPECT_FALSE(e) << c.line;
      continue;
    }
    ASSERT_TRUE(e) << c.line;
    EXPECT_EQ(AccessEntryLine(*e), c.line);
    EXPECT_EQ(AccessGroupRecord(*e), c.record) << c.line;
  }
  EXPECT_EQ(AccessEntriesOf({"short", "70081500006123456000001"}).size(), 1u);
}

const std::vector<TAccessLevel> kLevels{
    {1, "Early ", {"2"}}, {2, "Late", {"5", "7"}}, {3, "Reverse", {"7", "5"}}};
const Strings kSlots{"2", "5", "7"};

TEST(AccessGroup, MasksAndTheirLevels) {
  Strings many;
  for (int i = 1; i <= 18; ++i) many.push_back(std::to_string(i));
  const struct {
    Strings slots, level;
    std::optional<std::string> mask;
  } cases[] = {
      {kSlots, {"5", "7"}, "00006"}, {kSlots, {"2"}, "00001"},      {kSlots, {}, "00000"},
      {kSlots, {"9"}, "00000"},      {kSlots, {"5", "5"}, "00004"},  // a code listed twice counts twice
      {many, {"17"}, "65536"},       {many, {"18"}, std::nullopt},  {many, {"17", "16", "1"}, "98305"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(AccessMask(c.slots, c.level), c.mask) << testing::PrintToString(c.level);

  const struct {
    const char* mask;
    const char* level;
  } levels[] = {{"00006", "Late"},  {"00001", "Early"}, {"00000", "None"}, {"00004", "None"},
                {"00009", "Early"}, {"abcde", "None"},  {"0000x", "None"}, {"", "None"}};
  for (const auto& l : levels) EXPECT_EQ(AccessLevelOfMask(kSlots, kLevels, l.mask), l.level) << l.mask;
  EXPECT_EQ(AccessLevelOfMask({"7", "5"}, kLevels, "00003"), "Reverse") << "the list in the same order";
}

TEST(AccessGroup, TimeTableHintAndOfferedLevels) {
  const std::vector<TTimeTable> timeTables{{5, "Office", "080000", "170000", 124},
                                           {7, "Night", "220000", "235959", 255}};
  EXPECT_EQ(TimeTableHint(kLevels, timeTables, "late"),
            "    5.  Office                          080000 170000 -MTWTF--\r"
            "    7.  Night                           220000 235959 SMTWTFSH\r");
  EXPECT_EQ(TimeTableHint(kLevels, timeTables, "Early"), "") << "time table 2 is not stored";
  EXPECT_EQ(TimeTableHint(kLevels, timeTables, "Nobody"), "");
  const std::vector<TAccessLevel> wide{{12, "Twelve", {"12"}}};
  EXPECT_EQ(TimeTableHint(wide, {{12, "T", "1", "2", 0}}, "Twelve"),
            "   12. T                               1      2      --------\r");
  EXPECT_EQ(OfferedLevelItems(kLevels, {"3", "1", "9", "2"}), (Strings{"None", "Early", "Late", "Reverse"}));
  EXPECT_EQ(OfferedLevelItems(kLevels, {"2", "10", "1"}), (Strings{"None", "Early", "Late"}))
      << "codes in text order: 1, 10, 2";
}

}  // namespace
}  // namespace korvo
