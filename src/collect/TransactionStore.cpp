#include "collect/TransactionStore.h"

#include "collect/TransactionLookups.h"
#include "collect/TransactionRecord.h"
#include "store/Database.h"
#include "store/TextCodec.h"

namespace korvo {

TActivityRow ActivityRow(const TTransactionLookups& lookups, const std::string& century,
                         std::string_view record, int cardDigits, const std::string& termNo) {
  const TTransactionRecord r(record);
  TActivityRow row;
  row.cardNo = RightDigits(r.Card(), cardDigits);
  row.time = century;
  row.time.append(r.Year()).append("-").append(r.Month()).append("-").append(r.Day()).append(" ");
  row.time.append(r.Hour()).append(":").append(r.Minute()).append(":").append(r.Second());
  row.dirFlag = lookups.DirOr(r.Direction());
  row.eventFlag = std::string(r.Event());
  row.termNo = termNo;
  row.functionCode = lookups.DirOr(r.Function());
  return row;
}

TTransactionStore::TTransactionStore(TDatabase& db, const TTransactionLookups& lookups, std::string century,
                                     bool skipDuplicates)
    : lookups_(lookups),
      century_(std::move(century)),
      insert_(std::make_unique<TPreparedStatement>(db, "INSERT INTO tActivities VALUES (?, ?, ?, ?, ?, ?)")) {
  if (skipDuplicates)
    exists_ = std::make_unique<TPreparedStatement>(db,
                                                   "SELECT 1 FROM tActivities WHERE fsCardNo IS ? AND ftTime "
                                                   "IS ? AND fcDirFlag IS ? AND fsEventFlag IS ? "
                                                   "AND fsTermNo IS ? AND fsFunctionCode IS ? LIMIT 1");
}

TTransactionStore::~TTransactionStore() = default;

bool TTransactionStore::StoreTransaction(std::string_view record, int cardDigits, const std::string& termNo) {
  TActivityRow row = ActivityRow(lookups_, century_, record, cardDigits, termNo);
  const std::vector<TValue> values{TextValue(std::move(row.cardNo)),  TextValue(std::move(row.time)),
                                   TextValue(std::move(row.dirFlag)), TextValue(std::move(row.eventFlag)),
                                   TextValue(std::move(row.termNo)),  TextValue(std::move(row.functionCode))};
  if (exists_ && exists_->HasRow(values)) {
    ++skipped_;
    return false;
  }
  insert_->Execute(values);
  return true;
}

}  // namespace korvo
