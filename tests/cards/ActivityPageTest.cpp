// What the Activities page asks of the core: its list choices, the time fields read, the runs a sort
// and a save make, the save dialog's filters and the reload's output switch.
#include <gtest/gtest.h>

#include "ActivityFixture.h"
#include "cards/ActivityPage.h"
#include "store/Database.h"

namespace korvo {
namespace {

using Strings = std::vector<std::string>;

class ActivityPage : public test::TActivityFixture {};

TEST_F(ActivityPage, ChoicesBeginWithNoneInFlagAndAddressOrder) {
  AddTerminal("10.0.0.1", "003", "Annex");  // address before the others, location after none
  dm->ADOC.Execute("INSERT INTO tEventMap VALUES ('0A', '0A', 'After Nine')");
  const TActivityChoices c = ActivityChoices(dm->ADOC);
  EXPECT_EQ(c.locations, (Strings{"None", "Annex", "Gate", "Hall"}));
  ASSERT_GE(c.events.size(), 4u);
  EXPECT_EQ(Strings(c.events.begin(), c.events.begin() + 3),
            (Strings{"None", "Access Granted", "Not In Axgroup"}));
  EXPECT_EQ(c.events.back(), "After Nine");
}

TEST(ActivityPageFields, TimeDigitsSortAndSaveRuns) {
  EXPECT_EQ(TimeFieldDigits("2026/12/08 07:58:00"), "20261208075800");
  EXPECT_EQ(TimeFieldDigits("2026/12/08 07:58:"), "202612080758");
  EXPECT_EQ(TimeFieldDigits("//  ::"), "");

  const TActivityFilter fields{"1", "9", "20261208000000", "20261208235959", "Door Open", "Hall"};
  const struct {
    int column;
    const char* order;
  } sorts[] = {{0, "fsCardNo"},       {1, "fsIDNo"},         {3, "ftTime"},
               {6, "fsFunctionCode"}, {7, "fsEventDisplay"}, {8, ""}};
  for (const auto& s : sorts) {
    const TActivityRun run = SortRun(fields, s.column);
    EXPECT_EQ(run.form, TActivityForm::Short) << s.column;
    EXPECT_EQ(run.orderField, s.order) << s.column;
    EXPECT_EQ(run.filter.cardFrom + run.filter.cardTo + run.filter.timeFrom + run.filter.timeTo,
              "1920261208000000"
              "20261208235959")
        << s.column;
    EXPECT_EQ(run.filter.event + "/" + run.filter.location, "None/None")
        << "a sort shows every event and place";
  }

  const TActivityRun last{TActivityForm::View, fields, ""};
  EXPECT_EQ(SaveRun(last, TActivitySaveType::Text, "Gate").filter.location, "Hall");
  EXPECT_EQ(SaveRun(last, TActivitySaveType::Filo, "Gate").filter.location, "Gate");
  EXPECT_EQ(SaveRun(last, TActivitySaveType::Filo, "Gate").filter.event, "Door Open");
}

TEST(ActivityPageFields, DialogFiltersQuestionAndOutputSwitch) {
  const Strings names = ActivitySaveFilterNames();
  EXPECT_EQ(names, (Strings{"Text Documents (*.txt)", "DBase File (*.dbf)", "DBase FILO File (*.dbf)",
                            "CSV File (*.csv)"}));
  for (int i = 0; i < static_cast<int>(names.size()); ++i) EXPECT_TRUE(SaveTypeOfFilter(i + 1)) << names[i];
  EXPECT_EQ(DeleteQuestion(1), "Delete 1 activity?");
  EXPECT_EQ(DeleteQuestion(1000000), "Delete 1000000 activities?");
  for (const char* off : {"NONE", "None", "none"}) EXPECT_FALSE(ReloadOutputOffered(off)) << off;
  for (const char* on : {"", "out.txt", "NONE.txt"}) EXPECT_TRUE(ReloadOutputOffered(on)) << on;
}

}  // namespace
}  // namespace korvo
