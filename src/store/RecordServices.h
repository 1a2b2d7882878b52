#pragma once

#include <string>
#include <vector>

#include "store/Database.h"
#include "store/DbValue.h"

namespace korvo {

// Positions an open query, ordered by `keyField`, on the row whose key equals `key` by a binary
// search in the query's own order (numeric for number fields, text otherwise). Without such a
// row the query stands on a neighbour and the result is false.
bool SeekRecord(TQuery& query, const std::string& key, const std::string& keyField);
// Opens "SELECT * FROM table ORDER BY keyField" and seeks.
bool OpenAndSeek(TQuery& query, const std::string& table, const std::string& key,
                 const std::string& keyField);

// The statement lines of an update or insert, joined with CR LF when executed. With `literals`
// the values are written out as the engine dialect writes them (for reading and tracing);
// otherwise each value is a "?" mark and is bound, which is how they are executed.
std::vector<std::string> UpdateStatementLines(const std::string& table, const std::string& condition,
                                              const std::vector<TValue>& values,
                                              const std::vector<std::string>& fields, bool literals);
std::vector<std::string> InsertStatementLines(const std::string& table, const std::vector<TValue>& values,
                                              const std::vector<std::string>& fields, bool literals);
std::string JoinStatementLines(const std::vector<std::string>& lines);
// How a value of each kind is written into a statement text.
std::string StatementLiteral(const TValue& value);

int UpdateRecord(TQuery& query, const std::string& table, const TCondition& condition,
                 const std::vector<TValue>& values, const std::vector<std::string>& fields);
// With an empty first field name the values fill the columns in table order.
int InsertRecord(TQuery& query, const std::string& table, const std::vector<TValue>& values,
                 const std::vector<std::string>& fields);
int DeleteRecords(TQuery& query, const std::string& table, const TCondition& condition);

}  // namespace korvo
