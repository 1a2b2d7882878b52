// What the Activities page asks of the core: its list choices, the time fields read, and the runs a
// sort and a save make.
#include <gtest/gtest.h>

#include "ActivityFixture.h"
#include "cards/ActivityPage.h"
#include "store/Database.h"

namespace korvo {
namespace {

using Strings = std::vector<std::string>;

class ActivityPage : public test::TActivityFixture {};

TEST_F(ActivityPage, ChoicesBeginWithNoneInFlagAndAddressOrder) {
  AddTerminal("10.0.0.1", "003", "Annex");
  dm->ADOC.Execute("INSERT INTO tEventMap VALUES ('0A', '0A', 'After Nine')");
  const TActivityChoices c = ActivityChoices(dm->ADOC);
  EXPECT_EQ(c.locations, (Strings{"None", "Annex", "Gate", "Hall"}));
  EXPECT_EQ(Strings(c.events.begin(), c.events.begin() + 2), (Strings{"None", "Access Granted"}));
  EXPECT_EQ(c.events.back(), "After Nine");
}

TEST(ActivityPageFields, TimeDigitsSortAndSaveRunsAndTheOutputSwitch) {
  EXPECT_EQ(TimeFieldDigits("2026/12/08 07:58:00"), "20261208075800");
  EXPECT_EQ(TimeFieldDigits("2026/12/08 07:58:"), "202612080758");

  const TActivityFilter fields{"1", "9", "20261208000000", "20261208235959", "Door Open", "Hall"};
  for (const auto& [column, order] : std::vector<std::pair<int, std::string>>{
           {0, "fsCardNo"}, {1, "fsIDNo"}, {6, "fsFunctionCode"}, {7, "fsEventDisplay"}, {8, ""}}) {
    const TActivityRun run = SortRun(fields, column);
    EXPECT_EQ(run.form, TActivityForm::Short) << column;
    EXPECT_EQ(run.orderField, order) << column;
    EXPECT_EQ(run.filter.cardFrom + run.filter.cardTo + run.filter.timeFrom + run.filter.timeTo,
              "1920261208000000"
              "20261208235959");
    EXPECT_EQ(run.filter.event + "/" + run.filter.location, "None/None")
        << "a sort shows every event and place";
  }

  const TActivityRun last{TActivityForm::View, fields, ""};
  EXPECT_EQ(SaveRun(last, TActivitySaveType::Text, "Gate").filter.location, "Hall");
  EXPECT_EQ(SaveRun(last, TActivitySaveType::Filo, "Gate").filter.location, "Gate");

  for (const char* off : {"NONE", "None", "none"}) EXPECT_FALSE(ReloadOutputOffered(off)) << off;
  for (const char* on : {"", "out.txt"}) EXPECT_TRUE(ReloadOutputOffered(on)) << on;
}

}  // namespace
}  // namespace korvo
