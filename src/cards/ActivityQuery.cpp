#include "cards/ActivityQuery.h"

#include <algorithm>
#include <cctype>
#include <stdexcept>

#include "store/Database.h"

namespace korvo {
namespace {

// The four tables joined directly rather than through a sub-query of "SELECT *": the joined names
// stay unique and the engine can use the indexes of tActivities.
constexpr const char* kFrom =
    "FROM tActivities A\n"
    "JOIN tTerminals T ON A.fsTermNo=T.fsTermNo\n"
    "JOIN tDirMap D ON A.fcDirFlag=D.fsDirCode\n"
    "JOIN tEventMap B ON A.fsEventFlag=B.fsEventFlag\n"
    "LEFT JOIN tEmployees E ON A.fsCardNo=E.fsCardNo\n";

constexpr const char* kAllColumns =
    "SELECT A.fsCardNo,E.fsIDNo,E.fsName,A.ftTime,T.fsLocation,D.fsDirCode,D.fsDirDisplay,B.fsEventCode,"
    "B.fsEventDisplay,A.fsTermNo,A.fcDirFlag,A.fsEventFlag,A.fsFunctionCode\n";
constexpr const char* kShortColumns =
    "SELECT A.fsCardNo,E.fsIDNo,E.fsName,A.ftTime,T.fsLocation,D.fsDirCode,D.fsDirDisplay,'',"
    "B.fsEventDisplay,A.fsTermNo,A.fcDirFlag,A.fsEventFlag,''\n";

bool AllDigits(const std::string& s, std::size_t n) {
  return s.size() == n && std::all_of(s.begin(), s.end(), [](unsigned char c) { return std::isdigit(c); });
}

bool Applies(const std::string& choice) {
  return !choice.empty() && choice != "None";
}

// The sort expression of a grid field; only the grid's own fields are accepted.
std::string OrderExpression(const std::string& field) {
  static const std::vector<std::pair<std::string, std::string>> kOrder = {
      {"fsCardNo", "A.fsCardNo"},
      {"fsIDNo", "E.fsIDNo"},
      {"fsName", "E.fsName"},
      {"ftTime", "A.ftTime"},
      {"fsLocation", "T.fsLocation"},
      {"fsDirDisplay", "D.fsDirDisplay"},
      {"fsFunctionCode", "A.fsFunctionCode"},
      {"fsEventDisplay", "B.fsEventDisplay"}};
  for (const auto& [name, expr] : kOrder)
    if (name == field) return expr;
  throw std::invalid_argument("No column " + field);
}

std::string Conditions(const TActivityRun& run, std::vector<TValue>& params) {
  const TActivityFilter& f = run.filter;
  std::string sql = "WHERE TRUE\n";
  if (CardRangeSet(f)) {
    sql += "AND A.fsCardNo BETWEEN ? AND ?\n";
    params.emplace_back(f.cardFrom);
    params.emplace_back(f.cardTo);
  }
  if (TimeRangeSet(f)) {
    sql += "AND (A.ftTime BETWEEN ? AND ?)\n";
    params.emplace_back(StoredTimeOfDigits(f.timeFrom));
    params.emplace_back(StoredTimeOfDigits(f.timeTo));
  }
  // Sorting keeps only the card and time ranges.
  if (run.form == TActivityForm::View) {
    if (Applies(f.event)) {
      sql += "AND B.fsEventDisplay = ?\n";
      params.emplace_back(f.event);
    }
    if (Applies(f.location)) {
      sql += "AND T.fsLocation = ?\n";
      params.emplace_back(f.location);
    }
  }
  return sql;
}

}  // namespace

bool CardRangeSet(const TActivityFilter& f) {
  return !f.cardFrom.empty() && !f.cardTo.empty();
}

bool TimeRangeSet(const TActivityFilter& f) {
  return AllDigits(f.timeFrom, 14) && AllDigits(f.timeTo, 14);
}

std::string StoredTimeOfDigits(const std::string& d) {
  if (!AllDigits(d, 14)) throw TDbError("Invalid time " + d);
  return ToStoredTime(d.substr(0, 4) + "/" + d.substr(4, 2) + "/" + d.substr(6, 2) + " " + d.substr(8, 2) +
                      ":" + d.substr(10, 2) + ":" + d.substr(12, 2));
}

std::string ShownTime(const std::string& stored) {
  std::string shown = stored;
  if (shown.size() >= 10 && shown[4] == '-' && shown[7] == '-') shown[4] = shown[7] = '/';
  return shown;
}

namespace {

std::string OrderClause(const TActivityRun& run) {
  // The rows keep one order from fetch to fetch: the order asked for, then the order of storing.
  // Sorting by card or by time ends the same way as the index that serves it.
  if (run.form == TActivityForm::Short && !run.orderField.empty())
    return "ORDER BY " + OrderExpression(run.orderField) +
           (run.orderField == "fsCardNo" ? ",A.ftTime,A.rowid\n" : ",A.rowid\n");
  return "ORDER BY A.rowid\n";
}

}  // namespace

TSqlText ActivityIdQuery(const TActivityRun& run) {
  TSqlText q;
  q.sql = std::string("SELECT A.rowid\n") + kFrom + Conditions(run, q.params) + OrderClause(run);
  return q;
}

TSqlText ActivityRowsQuery(const TActivityRun& run, const std::vector<std::int64_t>& ids) {
  std::string columns = run.form == TActivityForm::Short ? kShortColumns : kAllColumns;
  columns.insert(columns.size() - 1, ",A.rowid");
  TSqlText q;
  q.sql = columns + kFrom + "WHERE A.rowid IN (";
  for (std::size_t i = 0; i < ids.size(); ++i) {
    q.sql += i ? ",?" : "?";
    q.params.emplace_back(ids[i]);
  }
  q.sql += ")\n";
  return q;
}

TSqlText ActivityQuery(const TActivityRun& run, bool allColumns) {
  TSqlText q;
  const bool shortForm = run.form == TActivityForm::Short && !allColumns;
  q.sql = std::string(shortForm ? kShortColumns : kAllColumns) + kFrom + Conditions(run, q.params);
  q.sql += OrderClause(run);
  return q;
}

TSqlText ActivityCountQuery(const TActivityRun& run) {
  TSqlText q;
  q.sql = std::string("SELECT COUNT(*)\n") + kFrom + Conditions(run, q.params);
  return q;
}

const std::vector<TActivityColumn>& ActivityColumns() {
  static const std::vector<TActivityColumn> kColumns = {
      {"Card Number", "fsCardNo"}, {"ID Number", "fsIDNo"},    {"Cardholder", "fsName"},
      {"Time", "ftTime"},          {"Location", "fsLocation"}, {"Direction", "fsDirDisplay"},
      {"FKey", "fsFunctionCode"},  {"Event", "fsEventDisplay"}};
  return kColumns;
}

std::string ActivityCell(const TActivityListRow& r, const std::string& field) {
  if (field == "fsCardNo") return r.cardNo;
  if (field == "fsIDNo") return r.idNo;
  if (field == "fsName") return r.name;
  if (field == "ftTime") return ShownTime(r.time);
  if (field == "fsLocation") return r.location;
  if (field == "fsDirDisplay") return r.dirDisplay;
  if (field == "fsFunctionCode") return r.functionCode;
  if (field == "fsEventDisplay") return r.eventDisplay;
  return {};
}

}  // namespace korvo
