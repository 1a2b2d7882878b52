#include "store/Database.h"

#include <sqlite3.h>
#include <sys/stat.h>

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cstdio>
#include <filesystem>

namespace korvo {
namespace {

[[noreturn]] void Raise(sqlite3* db) {
  throw TDbError(db ? sqlite3_errmsg(db) : "database is not open");
}

std::string DateText(const TDate& d) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%04d-%02d-%02d 00:00:00", d.year, d.month, d.day);
  return buf;
}

void Bind(sqlite3* db, sqlite3_stmt* st, int index, const TValue& v) {
  int rc = SQLITE_OK;
  if (auto* i = std::get_if<std::int64_t>(&v)) {
    rc = sqlite3_bind_int64(st, index, *i);
  } else if (auto* c = std::get_if<char>(&v)) {
    rc = sqlite3_bind_text(st, index, c, 1, SQLITE_TRANSIENT);
  } else if (auto* s = std::get_if<std::string>(&v)) {
    rc = sqlite3_bind_text(st, index, s->data(), static_cast<int>(s->size()), SQLITE_TRANSIENT);
  } else if (auto* d = std::get_if<double>(&v)) {
    rc = sqlite3_bind_double(st, index, *d);
  } else if (auto* dt = std::get_if<TDate>(&v)) {
    std::string t = DateText(*dt);
    rc = sqlite3_bind_text(st, index, t.data(), static_cast<int>(t.size()), SQLITE_TRANSIENT);
  } else {
    rc = sqlite3_bind_text(st, index, "", 0, SQLITE_STATIC);
  }
  if (rc != SQLITE_OK) Raise(db);
}

void BindVariant(sqlite3* db, sqlite3_stmt* st, int index, const TDbVariant& v) {
  int rc = SQLITE_OK;
  if (std::holds_alternative<std::monostate>(v)) {
    rc = sqlite3_bind_null(st, index);
  } else if (auto* i = std::get_if<std::int64_t>(&v)) {
    rc = sqlite3_bind_int64(st, index, *i);
  } else if (auto* d = std::get_if<double>(&v)) {
    rc = sqlite3_bind_double(st, index, *d);
  } else if (auto* s = std::get_if<std::string>(&v)) {
    rc = sqlite3_bind_text(st, index, s->data(), static_cast<int>(s->size()), SQLITE_TRANSIENT);
  } else {
    const auto& b = std::get<TBlob>(v).bytes;
    rc = sqlite3_bind_blob(st, index, b.data(), static_cast<int>(b.size()), SQLITE_TRANSIENT);
  }
  if (rc != SQLITE_OK) Raise(db);
}

// A prepared statement that finalises itself.
class TStatement {
 public:
  TStatement(sqlite3* db, const std::string& sql) : db_(db) {
    if (!db) throw TDbError("database is not open");
    const char* tail = nullptr;
    if (sqlite3_prepare_v2(db, sql.c_str(), static_cast<int>(sql.size()), &st_, &tail) != SQLITE_OK)
      Raise(db);
    if (!st_) throw TDbError("empty statement");
  }
  ~TStatement() { sqlite3_finalize(st_); }
  TStatement(const TStatement&) = delete;
  TStatement& operator=(const TStatement&) = delete;
  sqlite3_stmt* get() const { return st_; }
  void BindAll(const std::vector<TValue>& params) {
    int expected = sqlite3_bind_parameter_count(st_);
    if (expected != static_cast<int>(params.size()))
      throw TDbError("statement expects " + std::to_string(expected) + " values, got " +
                     std::to_string(params.size()));
    for (std::size_t i = 0; i < params.size(); ++i) Bind(db_, st_, static_cast<int>(i + 1), params[i]);
  }
  bool Step() {
    int rc = sqlite3_step(st_);
    if (rc == SQLITE_ROW) return true;
    if (rc == SQLITE_DONE) return false;
    Raise(db_);
  }

 private:
  sqlite3* db_;
  sqlite3_stmt* st_ = nullptr;
};

std::string ShortestDouble(double d) {
  char buf[64];
  auto [p, ec] = std::to_chars(buf, buf + sizeof buf, d);
  return ec == std::errc() ? std::string(buf, p) : std::to_string(d);
}

}  // namespace

std::string VariantText(const TDbVariant& v) {
  if (auto* i = std::get_if<std::int64_t>(&v)) return std::to_string(*i);
  if (auto* d = std::get_if<double>(&v)) return ShortestDouble(*d);
  if (auto* s = std::get_if<std::string>(&v)) return *s;
  if (auto* b = std::get_if<TBlob>(&v)) return b->bytes;
  return "";
}

namespace {

bool ParseInteger(std::string_view s, std::int64_t& out) {
  while (!s.empty() && std::isspace(static_cast<unsigned char>(s.front()))) s.remove_prefix(1);
  while (!s.empty() && std::isspace(static_cast<unsigned char>(s.back()))) s.remove_suffix(1);
  if (!s.empty() && s.front() == '+') s.remove_prefix(1);
  if (s.empty()) return false;
  auto [p, ec] = std::from_chars(s.data(), s.data() + s.size(), out);
  return ec == std::errc() && p == s.data() + s.size();
}

}  // namespace

// ---------------------------------------------------------------- TDatabase

TDatabase::~TDatabase() {
  Close();
}

sqlite3* TDatabase::Handle() const {
  if (!db_) throw TDbError("database is not open");
  return db_;
}

void TDatabase::Open(const std::string& path) {
  Close();
  sqlite3* db = nullptr;
  int rc = sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READWRITE, nullptr);
  if (rc != SQLITE_OK) {
    std::string msg = db ? sqlite3_errmsg(db) : sqlite3_errstr(rc);
    sqlite3_close(db);
    throw TDbError(msg + ": " + path);
  }
  db_ = db;
  sqlite3_busy_timeout(db_, 2000);
  sqlite3_extended_result_codes(db_, 1);
  try {
    // Checks that the file really is a database before anyone relies on it.
    ExecScript("PRAGMA foreign_keys=OFF; SELECT count(*) FROM sqlite_schema;");
  } catch (...) {
    Close();
    throw;
  }
}

void TDatabase::Create(const std::string& path) {
  Close();
  // Owner-only from the first byte: the file holds PINs and fingerprint templates.
  mode_t old = ::umask(077);
  sqlite3* db = nullptr;
  int rc = sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
  ::umask(old);
  if (rc != SQLITE_OK) {
    std::string msg = db ? sqlite3_errmsg(db) : sqlite3_errstr(rc);
    sqlite3_close(db);
    throw TDbError(msg + ": " + path);
  }
  ::chmod(path.c_str(), 0600);
  db_ = db;
  sqlite3_busy_timeout(db_, 2000);
}

void TDatabase::Close() {
  if (db_) {
    sqlite3_close_v2(db_);
    db_ = nullptr;
  }
}

void TDatabase::ExecScript(const std::string& sql) {
  char* err = nullptr;
  if (sqlite3_exec(Handle(), sql.c_str(), nullptr, nullptr, &err) != SQLITE_OK) {
    std::string msg = err ? err : sqlite3_errmsg(db_);
    sqlite3_free(err);
    throw TDbError(msg);
  }
}

int TDatabase::Execute(const std::string& sql, const std::vector<TValue>& params) {
  TStatement st(Handle(), sql);
  st.BindAll(params);
  while (st.Step()) {
  }
  return sqlite3_changes(db_);
}

struct TPreparedStatement::TImpl {
  TImpl(sqlite3* db, const std::string& sql) : handle(db), st(db, sql) {}
  sqlite3* handle;
  TStatement st;
  void Run(const std::vector<TValue>& params) {
    sqlite3_reset(st.get());
    sqlite3_clear_bindings(st.get());
    st.BindAll(params);
  }
};

TPreparedStatement::TPreparedStatement(TDatabase& db, const std::string& sql)
    : impl_(new TImpl(db.Handle(), sql)) {}

TPreparedStatement::~TPreparedStatement() {
  delete impl_;
}

int TPreparedStatement::Execute(const std::vector<TValue>& params) {
  impl_->Run(params);
  while (impl_->st.Step()) {
  }
  return sqlite3_changes(impl_->handle);
}

bool TPreparedStatement::HasRow(const std::vector<TValue>& params) {
  impl_->Run(params);
  const bool row = impl_->st.Step();
  sqlite3_reset(impl_->st.get());
  return row;
}

std::optional<std::vector<std::string>> TPreparedStatement::FirstRow(const std::vector<TValue>& params) {
  impl_->Run(params);
  if (!impl_->st.Step()) return std::nullopt;
  sqlite3_stmt* st = impl_->st.get();
  std::vector<std::string> row(static_cast<std::size_t>(sqlite3_column_count(st)));
  for (std::size_t i = 0; i < row.size(); ++i) {
    const int column = static_cast<int>(i);
    const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(st, column));
    if (text) row[i].assign(text, static_cast<std::size_t>(sqlite3_column_bytes(st, column)));
  }
  sqlite3_reset(st);
  return row;
}

void TDatabase::BeginTransaction() {
  ExecScript("BEGIN");
}
void TDatabase::Commit() {
  ExecScript("COMMIT");
}
void TDatabase::Rollback() {
  if (InTransaction()) ExecScript("ROLLBACK");
}
bool TDatabase::InTransaction() const {
  return db_ && sqlite3_get_autocommit(db_) == 0;
}
void TDatabase::Compact() {
  ExecScript("VACUUM");
}

TTransaction::TTransaction(TDatabase& db) : db_(db) {
  db_.BeginTransaction();
  open_ = true;
}
TTransaction::~TTransaction() {
  if (open_) {
    try {
      db_.Rollback();
    } catch (...) {
    }
  }
}
void TTransaction::Commit() {
  db_.Commit();
  open_ = false;
}

// ---------------------------------------------------------------- TQuery

void TQuery::RequireActive() const {
  if (!active_) throw TDbError("Operation is not allowed when the query is closed");
}

void TQuery::Open() {
  Close();
  TStatement st(db_->Handle(), SQL);
  st.BindAll(Params);
  sqlite3_stmt* s = st.get();
  int n = sqlite3_column_count(s);
  for (int i = 0; i < n; ++i) {
    names_.emplace_back(sqlite3_column_name(s, i));
    const char* decl = sqlite3_column_decltype(s, i);
    declTypes_.emplace_back(decl ? decl : "");
    const char* table = sqlite3_column_table_name(s, i);
    const char* origin = sqlite3_column_origin_name(s, i);
    originTables_.emplace_back(table ? table : "");
    originColumns_.emplace_back(origin ? origin : "");
  }
  while (st.Step()) {
    std::vector<TDbVariant> row;
    row.reserve(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i) {
      switch (sqlite3_column_type(s, i)) {
        case SQLITE_INTEGER:
          row.emplace_back(static_cast<std::int64_t>(sqlite3_column_int64(s, i)));
          break;
        case SQLITE_FLOAT:
          row.emplace_back(sqlite3_column_double(s, i));
          break;
        case SQLITE_TEXT: {
          auto* t = reinterpret_cast<const char*>(sqlite3_column_text(s, i));
          row.emplace_back(std::string(t, static_cast<std::size_t>(sqlite3_column_bytes(s, i))));
          break;
        }
        case SQLITE_BLOB: {
          auto* b = static_cast<const char*>(sqlite3_column_blob(s, i));
          row.emplace_back(
              TBlob{std::string(b ? b : "", static_cast<std::size_t>(sqlite3_column_bytes(s, i)))});
          break;
        }
        default:
          row.emplace_back(std::monostate{});
      }
    }
    rows_.push_back(std::move(row));
  }
  active_ = true;
  First();
}

void TQuery::Close() {
  active_ = false;
  editing_ = false;
  eof_ = bof_ = true;
  pos_ = 0;
  names_.clear();
  declTypes_.clear();
  originTables_.clear();
  originColumns_.clear();
  rows_.clear();
  editRow_.clear();
}

int TQuery::ExecSQL() {
  Close();
  return db_->Execute(SQL, Params);
}

void TQuery::First() {
  RequireActive();
  pos_ = 0;
  bof_ = true;
  eof_ = rows_.empty();
}

void TQuery::Last() {
  RequireActive();
  pos_ = rows_.empty() ? 0 : static_cast<int>(rows_.size()) - 1;
  eof_ = true;
  bof_ = rows_.empty();
}

void TQuery::Next() {
  MoveBy(1);
}
void TQuery::Prior() {
  MoveBy(-1);
}

void TQuery::MoveBy(int n) {
  RequireActive();
  if (rows_.empty()) {
    eof_ = bof_ = true;
    return;
  }
  long target = static_cast<long>(pos_) + n;
  long last = static_cast<long>(rows_.size()) - 1;
  bof_ = eof_ = false;
  if (target > last) {
    target = last;
    eof_ = true;
  } else if (target < 0) {
    target = 0;
    bof_ = true;
  }
  pos_ = static_cast<int>(target);
}

int TQuery::RecordCount() const {
  RequireActive();
  return static_cast<int>(rows_.size());
}

int TQuery::ColumnIndex(const std::string& name) const {
  for (std::size_t i = 0; i < names_.size(); ++i) {
    const std::string& n = names_[i];
    if (n.size() == name.size() && std::equal(n.begin(), n.end(), name.begin(), [](char a, char b) {
          return std::tolower(static_cast<unsigned char>(a)) == std::tolower(static_cast<unsigned char>(b));
        }))
      return static_cast<int>(i);
  }
  return -1;
}

bool TQuery::HasField(const std::string& name) const {
  return ColumnIndex(name) >= 0;
}

bool TQuery::IsNumericField(const std::string& name) const {
  int i = ColumnIndex(name);
  if (i < 0) return false;
  std::string t = declTypes_[static_cast<std::size_t>(i)];
  std::transform(t.begin(), t.end(), t.begin(), [](unsigned char c) { return std::toupper(c); });
  if (t.empty()) {
    // An expression column: numeric when the values are.
    for (const auto& r : rows_) {
      const auto& v = r[static_cast<std::size_t>(i)];
      if (std::holds_alternative<std::monostate>(v)) continue;
      return std::holds_alternative<std::int64_t>(v) || std::holds_alternative<double>(v);
    }
    return false;
  }
  return t.find("INT") != std::string::npos || t.find("REAL") != std::string::npos ||
         t.find("FLOA") != std::string::npos || t.find("DOUB") != std::string::npos ||
         t.find("NUM") != std::string::npos;
}

TField TQuery::Field(int i) {
  RequireActive();
  if (i < 0 || i >= FieldCount()) throw TDbError("Field index out of range");
  return TField(*this, i);
}

TField TQuery::FieldByName(const std::string& name) {
  RequireActive();
  int i = ColumnIndex(name);
  if (i < 0) throw TDbError("Field '" + name + "' not found");
  return TField(*this, i);
}

const TDbVariant& TQuery::Value(int column) const {
  RequireActive();
  if (editing_) return editRow_.at(static_cast<std::size_t>(column));
  if (rows_.empty() || (eof_ && bof_))
    throw TDbError("Either BOF or EOF is True, or the current record has been deleted");
  return rows_.at(static_cast<std::size_t>(pos_)).at(static_cast<std::size_t>(column));
}

TDbVariant& TQuery::EditableValue(int column) {
  if (!editing_) throw TDbError("Dataset not in edit or insert mode");
  return editRow_.at(static_cast<std::size_t>(column));
}

bool TQuery::Locate(const std::string& field, const std::string& value, bool ignoreCase) {
  RequireActive();
  int c = ColumnIndex(field);
  if (c < 0) throw TDbError("Field '" + field + "' not found");
  auto lower = [](std::string s) {
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char ch) { return std::tolower(ch); });
    return s;
  };
  std::string want = ignoreCase ? lower(value) : value;
  for (std::size_t r = 0; r < rows_.size(); ++r) {
    std::string have = VariantText(rows_[r][static_cast<std::size_t>(c)]);
    if ((ignoreCase ? lower(have) : have) == want) {
      pos_ = static_cast<int>(r);
      eof_ = bof_ = false;
      return true;
    }
  }
  return false;
}

void TQuery::Edit() {
  RequireActive();
  if (rows_.empty() || (eof_ && bof_))
    throw TDbError("Either BOF or EOF is True, or the current record has been deleted");
  editRow_ = rows_[static_cast<std::size_t>(pos_)];
  editing_ = true;
}

void TQuery::Cancel() {
  editing_ = false;
  editRow_.clear();
}

void TQuery::Post() {
  if (!editing_) throw TDbError("Dataset not in edit or insert mode");
  const auto& original = rows_[static_cast<std::size_t>(pos_)];
  std::string table;
  for (std::size_t i = 0; i < names_.size(); ++i) {
    if (originTables_[i].empty()) continue;
    if (table.empty()) table = originTables_[i];
    if (originTables_[i] != table) throw TDbError("Cannot update a row that joins several tables");
  }
  if (table.empty()) throw TDbError("Cannot update a row that comes from no table");
  std::string sets, where;
  std::vector<TDbVariant> setValues, whereValues;
  for (std::size_t i = 0; i < names_.size(); ++i) {
    if (originTables_[i] != table) continue;
    const std::string col = "\"" + originColumns_[i] + "\"";
    if (!(editRow_[i] == original[i])) {
      sets += (sets.empty() ? "" : ",") + col + "=?";
      setValues.push_back(editRow_[i]);
    }
    where += (where.empty() ? "" : " AND ") + col + " IS ?";
    whereValues.push_back(original[i]);
  }
  if (!sets.empty()) {
    // The row is identified by the values it was read with; LIMIT 1 keeps an exact duplicate
    // row from being changed along with it.
    std::string sql = "UPDATE \"" + table + "\" SET " + sets + " WHERE rowid=(SELECT rowid FROM \"" + table +
                      "\" WHERE " + where + " LIMIT 1)";
    TStatement st(db_->Handle(), sql);
    int idx = 1;
    for (const auto& v : setValues) BindVariant(db_->Handle(), st.get(), idx++, v);
    for (const auto& v : whereValues) BindVariant(db_->Handle(), st.get(), idx++, v);
    while (st.Step()) {
    }
  }
  rows_[static_cast<std::size_t>(pos_)] = editRow_;
  editing_ = false;
  editRow_.clear();
}

// ---------------------------------------------------------------- TField

const std::string& TField::Name() const {
  return q_.names_.at(static_cast<std::size_t>(column_));
}

bool TField::IsNull() const {
  return std::holds_alternative<std::monostate>(q_.Value(column_));
}

TDbVariant TField::AsVariant() const {
  return q_.Value(column_);
}

std::string TField::AsString() const {
  return VariantText(q_.Value(column_));
}

std::int64_t TField::AsInteger() const {
  const TDbVariant& v = q_.Value(column_);
  if (auto* i = std::get_if<std::int64_t>(&v)) return *i;
  if (auto* d = std::get_if<double>(&v)) {
    // Outside this range (or NaN) the conversion has no defined result.
    if (!(*d >= -9223372036854775808.0 && *d < 9223372036854775808.0))
      throw TDbError("'" + AsString() + "' is not a valid integer value: out of range");
    return static_cast<std::int64_t>(*d);
  }
  if (std::holds_alternative<std::monostate>(v)) return 0;
  std::string s = AsString();
  std::int64_t n = 0;
  if (!ParseInteger(s, n)) throw TDbError("'" + s + "' is not a valid integer value");
  return n;
}

double TField::AsFloat() const {
  const TDbVariant& v = q_.Value(column_);
  if (auto* i = std::get_if<std::int64_t>(&v)) return static_cast<double>(*i);
  if (auto* d = std::get_if<double>(&v)) return *d;
  if (std::holds_alternative<std::monostate>(v)) return 0;
  std::string s = AsString();
  try {
    std::size_t used = 0;
    double d = std::stod(s, &used);
    if (used == s.size()) return d;
  } catch (...) {
  }
  throw TDbError("'" + s + "' is not a valid floating point value");
}

std::string TField::AsBlob() const {
  return AsString();
}

void TField::SetAsString(const std::string& v) {
  q_.EditableValue(column_) = v;
}
void TField::SetAsInteger(std::int64_t v) {
  q_.EditableValue(column_) = v;
}
void TField::SetAsBlob(const std::string& bytes) {
  q_.EditableValue(column_) = TBlob{bytes};
}
void TField::SetNull() {
  q_.EditableValue(column_) = std::monostate{};
}

// ---------------------------------------------------------------- times

std::string ToStoredTime(const std::string& text) {
  int y = 0, mo = 0, d = 0, h = 0, mi = 0, s = 0;
  char sep1 = 0, sep2 = 0;
  int consumed = 0;
  bool parsed = std::sscanf(text.c_str(), "%4d%c%2d%c%2d %2d:%2d:%2d%n", &y, &sep1, &mo, &sep2, &d, &h, &mi,
                            &s, &consumed) == 8 &&
                consumed == static_cast<int>(text.size()) && sep1 == sep2 && (sep1 == '/' || sep1 == '-');
  auto leap = [](int yr) { return (yr % 4 == 0 && yr % 100 != 0) || yr % 400 == 0; };
  static const int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  bool valid = parsed && y >= 1 && mo >= 1 && mo <= 12 && d >= 1 &&
               d <= kDays[mo - 1] + ((mo == 2 && leap(y)) ? 1 : 0) && h >= 0 && h <= 23 && mi >= 0 &&
               mi <= 59 && s >= 0 && s <= 59;
  if (!valid) throw TDbError("'" + text + "' is not a valid date and time");
  char buf[64];
  std::snprintf(buf, sizeof buf, "%04d-%02d-%02d %02d:%02d:%02d", y, mo, d, h, mi, s);
  return buf;
}

}  // namespace korvo
