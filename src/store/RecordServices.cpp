#include "store/RecordServices.h"
#include "store/TextCodec.h"

#include <charconv>
#include <cstdio>

namespace korvo {
namespace {

bool ToNumber(const std::string& text, double& out) {
  std::string t = TrimControl(text);
  if (t.empty()) return false;
  const char* b = t.data();
  if (*b == '+') ++b;
  auto [p, ec] = std::from_chars(b, t.data() + t.size(), out);
  return ec == std::errc() && p == t.data() + t.size();
}

// Orders two keys the way the query is sorted.
class TKeyOrder {
 public:
  TKeyOrder(TQuery& q, const std::string& field, const std::string& key)
      : q_(q), field_(field), key_(key), numeric_(q.IsNumericField(field) && ToNumber(key, keyNumber_)) {}

  std::string Current() { return q_.FieldByName(field_).AsString(); }
  bool CurrentLess() {
    if (numeric_) {
      double v = 0;
      TField f = q_.FieldByName(field_);
      if (f.IsNull()) return true;
      if (ToNumber(f.AsString(), v)) return v < keyNumber_;
    }
    // Trimmed on both sides: a key typed with trailing blanks must still meet its row, and a row
    // stored with them must still be found by the bare key.
    return TrimControl(Current()) < TrimControl(key_);
  }
  bool CurrentEquals() {
    if (numeric_) {
      double v = 0;
      if (ToNumber(Current(), v)) return v == keyNumber_;
    }
    return TrimControl(Current()) == TrimControl(key_);
  }

 private:
  TQuery& q_;
  const std::string& field_;
  const std::string& key_;
  double keyNumber_ = 0;
  bool numeric_;
};

std::string DoubleText(double d) {
  char buf[64];
  auto [p, ec] = std::to_chars(buf, buf + sizeof buf, d);
  return ec == std::errc() ? std::string(buf, p) : std::to_string(d);
}

std::string Quoted(const std::string& s) {
  std::string out = "'";
  for (char c : s) {
    out += c;
    if (c == '\'') out += '\'';
  }
  return out + "'";
}

}  // namespace

bool SeekRecord(TQuery& q, const std::string& key, const std::string& keyField) {
  q.Last();
  q.First();
  if (q.IsEmpty()) return TrimControl(key).empty();
  TKeyOrder order(q, keyField, key);
  if (!order.CurrentEquals()) {
    int hi = q.RecordCount();
    int lo = 0;
    q.MoveBy(hi / 2);
    while (hi - lo > 1) {
      if (order.CurrentLess()) {
        lo = lo + (hi - lo) / 2;
        q.MoveBy((hi - lo) / 2);
      } else {
        hi = hi - (hi - lo) / 2;
        q.MoveBy(-((hi - lo) / 2));
      }
    }
    if (order.CurrentLess()) q.Next();
  }
  return TrimControl(order.Current()) == TrimControl(key);
}

bool OpenAndSeek(TQuery& q, const std::string& table, const std::string& key, const std::string& keyField) {
  q.SetSQL("SELECT * FROM " + table + " ORDER BY " + keyField);
  q.Open();
  return SeekRecord(q, key, keyField);
}

std::string StatementLiteral(const TValue& v) {
  if (auto* i = std::get_if<std::int64_t>(&v)) return std::to_string(*i);
  if (auto* c = std::get_if<char>(&v)) return Quoted(std::string(1, *c));
  if (auto* s = std::get_if<std::string>(&v)) return Quoted(*s);
  if (auto* d = std::get_if<double>(&v)) return DoubleText(*d);
  if (auto* dt = std::get_if<TDate>(&v)) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%02d/%02d/%04d", dt->day, dt->month, dt->year);
    return "to_date('" + std::string(buf) + "','dd/mm/yyyy')";
  }
  return "\"\"";
}

std::vector<std::string> UpdateStatementLines(const std::string& table, const std::string& condition,
                                              const std::vector<TValue>& values,
                                              const std::vector<std::string>& fields, bool literals) {
  std::vector<std::string> lines{"UPDATE " + table + " SET "};
  std::size_t n = std::min(values.size(), fields.size());
  for (std::size_t i = 0; i < n; ++i) {
    lines.push_back(fields[i] + "=");
    lines.push_back(literals ? StatementLiteral(values[i]) : "?");
    if (i + 1 < n) lines.emplace_back(",");
  }
  lines.push_back(" WHERE " + condition);
  return lines;
}

std::vector<std::string> InsertStatementLines(const std::string& table, const std::vector<TValue>& values,
                                              const std::vector<std::string>& fields, bool literals) {
  std::vector<std::string> lines{"INSERT INTO " + table};
  if (!fields.empty() && !fields[0].empty()) {
    lines.push_back(" (" + fields[0]);
    for (std::size_t i = 1; i < fields.size(); ++i) lines.push_back("," + fields[i]);
    lines.emplace_back(") ");
  }
  lines.emplace_back("VALUES (");
  for (std::size_t i = 0; i < values.size(); ++i) {
    lines.push_back(literals ? StatementLiteral(values[i]) : "?");
    lines.emplace_back(i + 1 < values.size() ? "," : ")");
  }
  if (values.empty()) lines.emplace_back(")");
  return lines;
}

std::string JoinStatementLines(const std::vector<std::string>& lines) {
  std::string out;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (i) out += "\r\n";
    out += lines[i];
  }
  return out;
}

int UpdateRecord(TQuery& q, const std::string& table, const TCondition& condition,
                 const std::vector<TValue>& values, const std::vector<std::string>& fields) {
  std::size_t n = std::min(values.size(), fields.size());
  std::vector<TValue> params(values.begin(), values.begin() + static_cast<std::ptrdiff_t>(n));
  params.insert(params.end(), condition.params.begin(), condition.params.end());
  q.SetSQL(JoinStatementLines(UpdateStatementLines(table, condition.sql, values, fields, false)),
           std::move(params));
  int changed = q.ExecSQL();
  q.SetSQL("SELECT * FROM " + table);
  return changed;
}

int InsertRecord(TQuery& q, const std::string& table, const std::vector<TValue>& values,
                 const std::vector<std::string>& fields) {
  q.SetSQL(JoinStatementLines(InsertStatementLines(table, values, fields, false)), values);
  int inserted = q.ExecSQL();
  q.SetSQL("SELECT * FROM " + table);
  return inserted;
}

int DeleteRecords(TQuery& q, const std::string& table, const TCondition& condition) {
  q.SetSQL("DELETE FROM " + table + " WHERE " + condition.sql, condition.params);
  int deleted = q.ExecSQL();
  q.SetSQL("SELECT * FROM " + table);
  return deleted;
}

}  // namespace korvo
