#include "cards/ActivityPage.h"

#include <algorithm>
#include <cctype>

#include "cards/ActivityRows.h"

namespace korvo {
namespace {

std::vector<std::string> NoneAnd(TDatabase& db, const char* sql) {
  std::vector<std::string> items{"None"};
  TRowCursor cursor(db, {sql, {}});
  while (cursor.Next()) items.push_back(cursor.Text(0));
  return items;
}

}  // namespace

TActivityChoices ActivityChoices(TDatabase& db) {
  return {NoneAnd(db, "SELECT fsEventDisplay FROM tEventMap ORDER BY fsEventFlag"),
          NoneAnd(db, "SELECT fsLocation FROM tTerminals ORDER BY fsAddr")};
}

std::string TimeFieldDigits(const std::string& shown) {
  std::string digits;
  std::copy_if(shown.begin(), shown.end(), std::back_inserter(digits),
               [](unsigned char c) { return std::isdigit(c); });
  return digits;
}

TActivityRun SortRun(const TActivityFilter& fields, int column) {
  TActivityRun run;
  run.form = TActivityForm::Short;
  run.filter.cardFrom = fields.cardFrom;
  run.filter.cardTo = fields.cardTo;
  run.filter.timeFrom = fields.timeFrom;
  run.filter.timeTo = fields.timeTo;
  const auto& columns = ActivityColumns();
  if (column >= 0 && static_cast<std::size_t>(column) < columns.size())
    run.orderField = columns[column].field;
  return run;
}

TActivityRun SaveRun(const TActivityRun& lastRun, TActivitySaveType type, const std::string& location) {
  TActivityRun run = lastRun;
  if (type == TActivitySaveType::Filo) run.filter.location = location;
  return run;
}

std::vector<std::string> ActivitySaveFilterNames() {
  // "name|pattern|name|pattern...": the names carry their patterns already.
  const std::string filter = ActivitySaveFilter();
  std::vector<std::string> names;
  std::size_t start = 0;
  for (bool name = true;; name = !name) {
    const std::size_t bar = filter.find('|', start);
    if (name) names.push_back(filter.substr(start, bar - start));
    if (bar == std::string::npos) break;
    start = bar + 1;
  }
  return names;
}

std::string DeleteQuestion(int count) {
  return "Delete " + std::to_string(count) + (count == 1 ? " activity?" : " activities?");
}

bool ReloadOutputOffered(const std::string& outputFileName) {
  std::string upper = outputFileName;
  std::transform(upper.begin(), upper.end(), upper.begin(), [](unsigned char c) { return std::toupper(c); });
  return upper != "NONE";
}

}  // namespace korvo
