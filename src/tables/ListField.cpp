#include "tables/ListField.h"

#include "store/Database.h"

namespace korvo {

std::vector<std::string> ListLines(std::string_view text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\r' && text[i] != '\n') continue;
    lines.emplace_back(text.substr(start, i - start));
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
    start = i + 1;
  }
  if (start < text.size()) lines.emplace_back(text.substr(start));
  return lines;
}

std::string ListText(const std::vector<std::string>& lines, std::string_view lineEnd) {
  std::string text;
  for (const auto& line : lines) text.append(line).append(lineEnd);
  return text;
}

std::vector<std::string> ReadTerminalList(TDatabase& db, const std::string& address,
                                          const std::string& field) {
  TQuery q(db);
  q.SetSQL("SELECT " + field + " FROM tTerminals WHERE fsAddr = ?", {TextValue(address)});
  q.Open();
  if (q.IsEmpty()) return {};
  return ListLines(q.Field(0).AsString());
}

bool WriteTerminalList(TDatabase& db, const std::string& address, const std::string& field,
                       const std::vector<std::string>& lines) {
  return db.Execute("UPDATE tTerminals SET " + field + " = ? WHERE fsAddr = ?",
                    {TextValue(ListText(lines)), TextValue(address)}) > 0;
}

}  // namespace korvo
