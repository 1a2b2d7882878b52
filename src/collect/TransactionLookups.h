#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>

namespace korvo {

class TDatabase;

// The mapping tables and the cardholders' numbers as one collecting job looks them up, read once
// with the columns it uses. A key matches when it equals the searched text, both trimmed; where
// two rows share a trimmed key the first in key order counts.
class TTransactionLookups {
 public:
  struct TCardholder {
    std::string idNo;
    std::string name;
  };

  explicit TTransactionLookups(TDatabase& db);

  // fsDirCode of the tDirMap row for a direction flag or a function code.
  const std::string* DirCode(std::string_view flag) const;
  // fsEventCode of the tEventMap row for an event flag.
  const std::string* EventCode(std::string_view flag) const;
  const TCardholder* Cardholder(std::string_view cardNo) const;

  // The mapped text, or the text itself when its key is missing.
  std::string DirOr(std::string_view flag) const;
  std::string EventOr(std::string_view flag) const;

 private:
  std::unordered_map<std::string, std::string> dir_;
  std::unordered_map<std::string, std::string> event_;
  std::unordered_map<std::string, TCardholder> cards_;
};

}  // namespace korvo
