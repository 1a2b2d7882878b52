#include <gtest/gtest.h>

#include "ActivityFixture.h"
#include "cards/ActivityDelete.h"
#include "cards/ActivityRows.h"
#include "store/Database.h"

namespace korvo {
namespace {

class ActivityList : public test::TActivityFixture {
 protected:
  int Count(const std::string& table) {
    TRowCursor c(dm->ADOC, {"SELECT COUNT(*) FROM " + table, {}});
    c.Next();
    return static_cast<int>(c.Integer(0));
  }
};

TEST_F(ActivityList, FiltersApplyByFormAndOnlyWhenComplete) {
  struct Case {
    const char* what;
    TActivityForm form;
    TActivityFilter filter;
    int rows;
  };
  const TActivityFilter none;
  const std::vector<Case> cases = {
      {"no filter", TActivityForm::Full, none, 5},
      {"one card field filled applies no range",
       TActivityForm::View,
       {"408173", "", "", "", "None", "None"},
       5},
      {"card range", TActivityForm::View, {"408173", "408174", "", "", "None", "None"}, 3},
      {"13-digit time applies none",
       TActivityForm::View,
       {"", "", "2026120800000", "20261208235959", "None", "None"},
       5},
      {"time range", TActivityForm::Full, {"", "", "20261208000000", "20261208235959", "None", "None"}, 3},
      {"event on View", TActivityForm::View, {"", "", "", "", "Not In Axgroup", "None"}, 2},
      {"location on View", TActivityForm::View, {"", "", "", "", "None", "Hall"}, 2},
      {"sorting ignores event and location",
       TActivityForm::Short,
       {"", "", "", "", "Not In Axgroup", "Hall"},
       5},
      {"values are bound, never pasted",
       TActivityForm::View,
       {"1\" OR \"\"=\"", "9", "", "", "x' OR '1'='1", "None"},
       0},
  };
  for (const auto& c : cases) {
    TActivityRowSource source(dm->ADOC, {c.form, c.filter, ""});
    EXPECT_EQ(source.Count(), c.rows) << c.what;
    EXPECT_EQ(static_cast<int>(source.Fetch(0, 100).size()), c.rows) << c.what;
  }
}

TEST_F(ActivityList, SortedWindowShowsTimesAsTheGridDoesWithoutFunctionCode) {
  TActivityRowSource source(dm->ADOC, {TActivityForm::Short, {}, "ftTime"});
  const auto rows = source.Fetch(1, 2);
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_EQ(ActivityCell(rows[0], "ftTime"), "2026/12/08 13:10:00");
  EXPECT_EQ(ActivityCell(rows[1], "ftTime"), "2026/12/08 17:03:00");
  EXPECT_EQ(ActivityCell(rows[1], "fsFunctionCode"), "");  // the short form has none
  EXPECT_EQ(ActivityCell(rows[1], "fsName"), "Zoë \"Z\", Smith");
  // After the count the windows come from the kept rowids: the same rows in the same order.
  for (const char* field : {"ftTime", "fsName", "fsCardNo", "fsEventDisplay"}) {
    TActivityRowSource byOffset(dm->ADOC, {TActivityForm::Short, {}, field});
    TActivityRowSource byId(dm->ADOC, {TActivityForm::Short, {}, field});
    ASSERT_EQ(byId.Count(), 5);
    for (int offset : {0, 1, 3, 4, 5}) {
      const auto a = byOffset.Fetch(offset, 2), b = byId.Fetch(offset, 2);
      ASSERT_EQ(a.size(), b.size()) << field << offset;
      for (std::size_t i = 0; i < a.size(); ++i)
        EXPECT_EQ(a[i].cardNo + a[i].time, b[i].cardNo + b[i].time) << field << offset;
    }
  }
  TActivityRowSource view(dm->ADOC, {TActivityForm::View, {}, ""});
  EXPECT_EQ(ActivityCell(view.Fetch(1, 1).at(0), "fsFunctionCode"), "F1");
  EXPECT_THROW((TActivityRowSource(dm->ADOC, {TActivityForm::Short, {}, "fsCardNo;DROP"}).Fetch(0, 1)),
               std::invalid_argument);
}

TEST_F(ActivityList, DeleteFollowsTimeAndCardOnlyCountsFirstAndCompacts) {
  struct Case {
    const char* what;
    TActivityFilter filter;
    int deleted;
  };
  const std::vector<Case> cases = {
      {"a day, whatever the event chosen",
       {"", "", "20261208000000", "20261208235959", "Not In Axgroup", "Hall"},
       3},
      {"time then card", {"408175", "408175", "20261209000000", "20261209235959", "None", "None"}, 1},
      {"card alone", {"408176", "408176", "2026120900000", "", "None", "None"}, 1},
  };
  for (const auto& c : cases) {
    Seed();
    const int remaining = Count("tActivities") - c.deleted;
    EXPECT_EQ(CountActivitiesToDelete(dm->ADOC, c.filter), c.deleted) << c.what;
    std::vector<std::string> log;
    EXPECT_EQ(DeleteActivities(dm->ADOC, c.filter, [&](const std::string& s) { log.push_back(s); }),
              c.deleted)
        << c.what;
    EXPECT_EQ(Count("tActivities"), remaining) << c.what;
    ASSERT_EQ(log.size(), 1u);
    EXPECT_NE(log[0].find(": " + std::to_string(c.deleted) + " deleted."), std::string::npos) << log[0];
    TRowCursor check(dm->ADOC, {"PRAGMA integrity_check", {}});
    ASSERT_TRUE(check.Next());
    EXPECT_EQ(check.Text(0), "ok");
  }
  Seed();
  EXPECT_EQ(ActivityDeleteCondition({}).where.sql, "");
  EXPECT_THROW(CountActivitiesToDelete(dm->ADOC, {}), TDbError);
  EXPECT_THROW(DeleteActivities(dm->ADOC, {}, {}), TDbError);
  EXPECT_EQ(Count("tActivities"), 5);
  EXPECT_EQ(ActivityDeleteCondition({"1", "2", "20261209000000", "20261209235959"}).shown,
            "(ftTime BETWEEN \"2026-12-09 00:00:00\" AND \"2026-12-09 23:59:59\") AND fsCardNo BETWEEN \"1\" "
            "AND \"2\"");
}

}  // namespace
}  // namespace korvo
