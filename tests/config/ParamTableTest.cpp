#include <gtest/gtest.h>

#include <set>
#include <stdexcept>
#include <string>

#include "config/ParamTable.h"

namespace korvo {
namespace {

TEST(ParamTableTest, EntriesAreCutAtSeventyAndNumbersOutsideTheRangeAreRefused) {
  TParamTable t;
  EXPECT_EQ(t[1], "");
  t.Set(400, std::string(69, 'a') + "bc");
  EXPECT_EQ(t[400], std::string(69, 'a') + "b");
  t.Set(504, "Open the Door!");
  EXPECT_EQ(t[504], "Open the Door!");
  EXPECT_THROW(t.Set(0, "1"), std::out_of_range);
  EXPECT_THROW((void)t[505], std::out_of_range);
  t.SetFilled(true);
  t.Clear();
  EXPECT_FALSE(t.Filled());
  EXPECT_EQ(t[504], "");
}

TEST(ParamTableTest, ThePagesNameFiftyFiveDistinctNumbersInTheirOrder) {
  const auto all = AllPageNumbers();
  ASSERT_EQ(all.size(), 55u);
  EXPECT_EQ(std::set<int>(all.begin(), all.end()).size(), 55u);
  EXPECT_EQ(PageNumbers(0).size(), 14u);
  EXPECT_EQ(PageNumbers(1).size(), 16u);
  EXPECT_EQ(PageNumbers(2).size(), 18u);
  EXPECT_EQ(PageNumbers(3), (std::vector<int>{209, 210, 211, 212, 400}));
  EXPECT_EQ(PageNumbers(4), (std::vector<int>{29, 16}));
  EXPECT_EQ(all.front(), 19);
  EXPECT_EQ(all.back(), 16);
}

}  // namespace
}  // namespace korvo
