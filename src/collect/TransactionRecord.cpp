#include "collect/TransactionRecord.h"

#include "link/ReplyTokens.h"

namespace korvo {

std::string RightDigits(std::string_view text, int count) {
  if (count <= 0) return {};
  const auto n = static_cast<std::size_t>(count);
  return std::string(text.size() <= n ? text : text.substr(text.size() - n));
}

std::string InsertFileDate(std::string_view prefix, std::string_view reply) {
  std::string records;
  for (const auto& word : SplitReplyTokens(reply)) {
    // The listing's end mark is no transaction.
    if (word == "*") continue;
    const std::string_view w(word);
    records +=
        std::string(w.substr(0, 9)) + std::string(prefix) + std::string(w.size() > 9 ? w.substr(9) : "");
    records += "\r\n";
  }
  return records;
}

std::string CenturyOf(int year) {
  return std::to_string(year).substr(0, 2);
}

}  // namespace korvo
