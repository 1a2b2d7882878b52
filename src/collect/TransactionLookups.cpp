#include "collect/TransactionLookups.h"

#include "store/Database.h"
#include "store/TextCodec.h"

namespace korvo {
namespace {

template <class T, class Make>
void Load(TDatabase& db, const std::string& sql, std::unordered_map<std::string, T>& map, Make make) {
  TQuery q(db);
  q.SetSQL(sql);
  q.Open();
  for (q.First(); !q.Eof(); q.Next()) map.try_emplace(TrimControl(q.Field(0).AsString()), make(q));
}

template <class T>
const T* Find(const std::unordered_map<std::string, T>& map, std::string_view key) {
  auto it = map.find(TrimControl(key));
  return it == map.end() ? nullptr : &it->second;
}

}  // namespace

TTransactionLookups::TTransactionLookups(TDatabase& db) {
  Load(db, "SELECT fcDirFlag, fsDirCode FROM tDirMap ORDER BY fcDirFlag", dir_,
       [](TQuery& q) { return q.Field(1).AsString(); });
  Load(db, "SELECT fsEventFlag, fsEventCode FROM tEventMap ORDER BY fsEventFlag", event_,
       [](TQuery& q) { return q.Field(1).AsString(); });
  Load(db, "SELECT fsCardNo, fsIDNo, fsName FROM tEmployees ORDER BY fsCardNo", cards_, [](TQuery& q) {
    return TCardholder{q.Field(1).AsString(), q.Field(2).AsString()};
  });
}

const std::string* TTransactionLookups::DirCode(std::string_view flag) const {
  return Find(dir_, flag);
}

const std::string* TTransactionLookups::EventCode(std::string_view flag) const {
  return Find(event_, flag);
}

const TTransactionLookups::TCardholder* TTransactionLookups::Cardholder(std::string_view cardNo) const {
  return Find(cards_, cardNo);
}

std::string TTransactionLookups::DirOr(std::string_view flag) const {
  const std::string* code = DirCode(flag);
  return code ? *code : std::string(flag);
}

std::string TTransactionLookups::EventOr(std::string_view flag) const {
  const std::string* code = EventCode(flag);
  return code ? *code : std::string(flag);
}

}  // namespace korvo
