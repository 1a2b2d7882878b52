#include <gtest/gtest.h>

#include "main/FieldSplit.h"
#include "main/ProgressMeter.h"

namespace korvo {
namespace {

using Fields = std::vector<std::string>;

TEST(FieldSplit, DelimitersAndBlankRunsCut) {
  EXPECT_EQ(SplitDelimitedFields("0-10-Two words", '-'), (Fields{"0", "10", "Two", "words"}));
  EXPECT_EQ(SplitDelimitedFields("5-", '-'), (Fields{"5", ""}));
  EXPECT_EQ(SplitDelimitedFields("  0 -  10   x ", '-'), (Fields{"0", "10", "x"}));
  EXPECT_EQ(SplitDelimitedFields("-3", '-'), (Fields{"", "3"}));
  EXPECT_EQ(SplitDelimitedFields("1@5", '@'), (Fields{"1", "5"}));
  EXPECT_EQ(SplitDelimitedFields("", '-'), Fields{});
}

TEST(ProgressMeter, RangeTextsSetMinimumMaximumAndCaption) {
  TProgressMeter m;
  m.Notice("0-55");
  EXPECT_EQ(m.Min(), 0);
  EXPECT_EQ(m.Max(), 55);
  EXPECT_EQ(m.Caption(), "");
  EXPECT_EQ(m.Text(), "0%");

  m.Notice("0-10-Step%");
  EXPECT_EQ(m.Max(), 10);
  EXPECT_EQ(m.Caption(), "Step%");
  m.Notice("4");
  EXPECT_EQ(m.Position(), 4);
  EXPECT_EQ(m.Text(), "Step40%");

  m.Notice("0-10-Two words");
  EXPECT_EQ(m.Caption(), "Two");
  EXPECT_EQ(m.Text(), "Two");

  m.Notice("5-");
  EXPECT_EQ(m.Min(), 5);
  EXPECT_EQ(m.Max(), 10);
  EXPECT_EQ(m.Caption(), "");
  EXPECT_EQ(m.Position(), 5) << "the meter keeps its position inside the range";

  m.Notice("x-20-Load %-ing");
  EXPECT_EQ(m.Min(), 5) << "a minimum that is not a number stays";
  EXPECT_EQ(m.Max(), 20);
  EXPECT_EQ(m.Caption(), "Load");
}

TEST(ProgressMeter, NumbersMoveTheMeterAndAnythingElseGoesToTheMinimum) {
  TProgressMeter m;
  m.Notice("2-10");
  m.Notice("7");
  EXPECT_EQ(m.Position(), 7);
  EXPECT_EQ(m.Text(), "63%");  // 62.5 rounded
  m.Notice(" 9 ");
  EXPECT_EQ(m.Position(), 9);
  m.Notice("abc");
  EXPECT_EQ(m.Position(), 2);
  EXPECT_EQ(m.Text(), "0%");
  m.Notice("9");
  m.Notice("");
  EXPECT_EQ(m.Position(), 2);
  m.Notice("0-3-%done");
  m.Notice("1");
  EXPECT_EQ(m.Text(), "33%done");
  m.Notice("0-3-50%%");
  m.Notice("2");
  EXPECT_EQ(m.Text(), "5067%%") << "only the first % takes the percentage";
}

TEST(ProgressMeter, AnEmptyRangeLeavesTheTextAsItWas) {
  TProgressMeter m;
  m.Notice("0-4-Copy");
  m.Notice("3");
  EXPECT_EQ(m.Text(), "Copy");
  m.Notice("4-4");
  EXPECT_EQ(m.Caption(), "");
  EXPECT_EQ(m.Text(), "Copy");
}

}  // namespace
}  // namespace korvo
