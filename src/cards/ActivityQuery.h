#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "store/DbValue.h"

namespace korvo {

// The three forms of the activity list: Full when the page is shown, View for View and after a
// delete, Short for sorting and after a reload. Short carries no event code nor function code.
enum class TActivityForm { Full, View, Short };

// What the filter fields of the page hold. A range applies only when both ends are filled; a time
// end is the 14 digits YYYYMMDDHHMMSS. "None" (or nothing) for event and location applies none.
struct TActivityFilter {
  std::string cardFrom, cardTo;
  std::string timeFrom, timeTo;
  std::string event = "None";
  std::string location = "None";
};

// One run of the activity list: the form, the filter and, for Short, the column sorted by.
struct TActivityRun {
  TActivityForm form = TActivityForm::Full;
  TActivityFilter filter;
  std::string orderField;  // a grid field name (fsCardNo, fsIDNo, fsName, ftTime ...); empty: none
};

// A statement text with its bound values, in the order of its "?" marks.
struct TSqlText {
  std::string sql;
  std::vector<TValue> params;
};

// A row of the list. The Short form leaves eventCode and functionCode empty.
struct TActivityListRow {
  std::string cardNo, idNo, name, time, location, dirCode, dirDisplay, eventCode, eventDisplay, termNo,
      dirFlag, eventFlag, functionCode;
};

bool CardRangeSet(const TActivityFilter& f);
bool TimeRangeSet(const TActivityFilter& f);
// "YYYY-MM-DD HH:MM:SS" of 14 digits; raises TDbError when they are no date and time.
std::string StoredTimeOfDigits(const std::string& digits);
// "YYYY/MM/DD hh:nn:ss", the way the grid shows a stored time.
std::string ShownTime(const std::string& stored);

// The list's statement for a run, every condition on a line of its own and every value bound.
// `allColumns` selects the full column set whatever the form (an export needs every column).
TSqlText ActivityQuery(const TActivityRun& run, bool allColumns = false);
// The number of rows the run shows.
TSqlText ActivityCountQuery(const TActivityRun& run);
// The rowids of tActivities that the run shows, in its order.
TSqlText ActivityIdQuery(const TActivityRun& run);
// The rows of these rowids in the run's columns, each followed by its rowid, in no set order.
TSqlText ActivityRowsQuery(const TActivityRun& run, const std::vector<std::int64_t>& ids);

// The grid columns: caption and field, in grid order.
struct TActivityColumn {
  const char* caption;
  const char* field;
};
const std::vector<TActivityColumn>& ActivityColumns();
// The value of a grid field of a row ("" for an unknown field); the time as the grid shows it.
std::string ActivityCell(const TActivityListRow& row, const std::string& field);

}  // namespace korvo
