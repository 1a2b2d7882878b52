#pragma once

#include <memory>
#include <string>
#include <string_view>

namespace korvo {

class TDatabase;
class TPreparedStatement;
class TTransactionLookups;

// The tActivities row of a record.
struct TActivityRow {
  std::string cardNo;        // RightDigits of the card field
  std::string time;          // "YYYY-MM-DD HH:MM:SS", as the database keeps ftTime
  std::string dirFlag;       // the direction flag mapped through tDirMap, or itself
  std::string eventFlag;     // unmapped
  std::string termNo;        // the collecting terminal's number
  std::string functionCode;  // the function code mapped through tDirMap, or itself
};

TActivityRow ActivityRow(const TTransactionLookups& lookups, const std::string& century,
                         std::string_view record, int cardDigits, const std::string& termNo);

// Stores records into tActivities with one statement prepared for the whole job. With
// `skipDuplicates`, a row that is already stored (every column equal) is not stored again.
class TTransactionStore {
 public:
  TTransactionStore(TDatabase& db, const TTransactionLookups& lookups, std::string century,
                    bool skipDuplicates);
  ~TTransactionStore();

  // Raises the engine's error when the row cannot be stored (for example a record whose date is
  // impossible). False when the row was skipped as a duplicate.
  bool StoreTransaction(std::string_view record, int cardDigits, const std::string& termNo);
  int Skipped() const { return skipped_; }

 private:
  const TTransactionLookups& lookups_;
  std::string century_;
  std::unique_ptr<TPreparedStatement> insert_;
  std::unique_ptr<TPreparedStatement> exists_;
  int skipped_ = 0;
};

}  // namespace korvo
