#include "store/TerminalList.h"

#include "store/Database.h"

namespace korvo {

std::vector<TTerminalEntry> TerminalsByAddress(TDatabase& db) {
  TQuery q(db);
  q.SetSQL("SELECT * FROM tTerminals ORDER BY fsAddr");
  q.Open();
  std::vector<TTerminalEntry> terminals;
  for (q.First(); !q.Eof(); q.Next())
    terminals.push_back({q.FieldByName("fsAddr").AsString(), q.FieldByName("fsLocation").AsString()});
  return terminals;
}

}  // namespace korvo
