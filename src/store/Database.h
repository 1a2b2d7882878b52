#pragma once

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "store/DbValue.h"

struct sqlite3;

namespace korvo {

// An error of the database engine; what() is the engine's own message.
class TDbError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The one connection to the database file.
class TDatabase {
 public:
  TDatabase() = default;
  ~TDatabase();
  TDatabase(const TDatabase&) = delete;
  TDatabase& operator=(const TDatabase&) = delete;

  // Opens an existing database file; raises the engine's error when it cannot.
  void Open(const std::string& path);
  // Creates a new file, readable and writable by its owner only.
  void Create(const std::string& path);
  void Close();
  bool Connected() const { return db_ != nullptr; }
  sqlite3* Handle() const;

  // Runs a script of statements without results.
  void ExecScript(const std::string& sql);
  // Runs one statement with bound values; returns the rows changed.
  int Execute(const std::string& sql, const std::vector<TValue>& params = {});

  void BeginTransaction();
  void Commit();
  void Rollback();
  bool InTransaction() const;
  // Rebuilds the file without the space of deleted rows, in place.
  void Compact();

 private:
  sqlite3* db_ = nullptr;
};

// A statement prepared once and run many times with other values, for work that stores thousands of
// rows: preparing it anew for every row would cost more than the row itself.
class TPreparedStatement {
 public:
  TPreparedStatement(TDatabase& db, const std::string& sql);
  ~TPreparedStatement();
  TPreparedStatement(const TPreparedStatement&) = delete;
  TPreparedStatement& operator=(const TPreparedStatement&) = delete;
  // Runs it with these values; returns the rows changed.
  int Execute(const std::vector<TValue>& params);
  // Runs a query with these values; true when it gives at least one row.
  bool HasRow(const std::vector<TValue>& params);
  // Runs a query with these values; each column of its first row as text (NULL as ""), or nothing
  // when it gives no row.
  std::optional<std::vector<std::string>> FirstRow(const std::vector<TValue>& params);

 private:
  struct TImpl;
  TImpl* impl_;
};

// Commits when Commit() is called; rolls back when it goes out of scope before that.
class TTransaction {
 public:
  explicit TTransaction(TDatabase& db);
  ~TTransaction();
  void Commit();

 private:
  TDatabase& db_;
  bool open_ = false;
};

class TQuery;

// A field of the current row of an open query.
class TField {
 public:
  TField(TQuery& q, int column) : q_(q), column_(column) {}
  std::string AsString() const;
  std::int64_t AsInteger() const;
  double AsFloat() const;
  TDbVariant AsVariant() const;
  std::string AsBlob() const;
  bool IsNull() const;
  const std::string& Name() const;

  // Changing a field needs Edit() first; Post() writes the row back.
  void SetAsString(const std::string& v);
  void SetAsInteger(std::int64_t v);
  void SetAsBlob(const std::string& bytes);
  void SetNull();

 private:
  TQuery& q_;
  int column_;
};

// A query holds its whole result in memory once opened (a static cursor): moving around, counting
// rows and locating never go back to the engine.
class TQuery {
 public:
  explicit TQuery(TDatabase& db) : db_(&db) {}
  TQuery(const TQuery&) = delete;
  TQuery& operator=(const TQuery&) = delete;

  std::string SQL;
  std::vector<TValue> Params;  // bound to the "?" marks of SQL, in order

  void SetSQL(std::string sql, std::vector<TValue> params = {}) {
    Close();
    SQL = std::move(sql);
    Params = std::move(params);
  }

  void Open();
  void Close();
  bool Active() const { return active_; }
  // Runs the statement; returns the number of rows it changed.
  int ExecSQL();

  void First();
  void Last();
  void Next();
  void Prior();
  void MoveBy(int n);
  int RecordCount() const;
  bool Eof() const { return eof_; }
  bool Bof() const { return bof_; }
  bool IsEmpty() const { return rows_.empty(); }
  int RecNo() const { return pos_; }
  bool Locate(const std::string& field, const std::string& value, bool ignoreCase = false);

  int FieldCount() const { return static_cast<int>(names_.size()); }
  const std::string& FieldName(int i) const { return names_.at(static_cast<std::size_t>(i)); }
  TField Field(int i);
  TField FieldByName(const std::string& name);
  bool HasField(const std::string& name) const;
  // True when the field holds numbers, so that key searches compare numerically.
  bool IsNumericField(const std::string& name) const;

  void Edit();
  void Post();
  void Cancel();

 private:
  friend class TField;
  int ColumnIndex(const std::string& name) const;
  const TDbVariant& Value(int column) const;
  TDbVariant& EditableValue(int column);
  void RequireActive() const;

  TDatabase* db_;
  bool active_ = false;
  bool eof_ = true;
  bool bof_ = true;
  bool editing_ = false;
  int pos_ = 0;
  std::vector<std::string> names_;
  std::vector<std::string> declTypes_;
  std::vector<std::string> originTables_;
  std::vector<std::string> originColumns_;
  std::vector<std::vector<TDbVariant>> rows_;
  std::vector<TDbVariant> editRow_;
};

// A database value as text: integers in decimal, numbers in their shortest form, NULL as "".
std::string VariantText(const TDbVariant& v);

// Text of a stored time: "YYYY-MM-DD HH:MM:SS" from "YYYY/MM/DD hh:mm:ss" (or the stored form
// itself). Raises TDbError when the text is not a real date and time.
std::string ToStoredTime(const std::string& text);

}  // namespace korvo
