#include "tables/MessageEditor.h"

#include "tables/RowTexts.h"
#include "tables/TableText.h"

namespace korvo {
namespace {

// The message column of the row holds 32 characters.
std::string ShownMessage(const TCardRow& row) {
  return TrimRight(FirstChars(row.message, 32));
}

}  // namespace

std::string ApplyMessage(std::vector<TTicked<TCardRow>>& rows, const std::string& typed) {
  if (CharCount(typed) > kMessageChars)
    return "A message holds at most " + std::to_string(kMessageChars) + " characters.";
  if (std::string reason = UnsafeTextReason(typed, "message"); !reason.empty()) return reason;
  // A name put in for the placeholder must be as safe on the line as a typed message.
  std::vector<std::string> messages;
  for (const auto& r : rows) {
    messages.push_back(r.ticked ? ReplaceNoCase(typed, kNamePlaceholder, MessageName(r.row)) : r.row.message);
    if (!r.ticked) continue;
    if (std::string reason = UnsafeTextReason(messages.back(), "message of card " + r.row.card);
        !reason.empty())
      return reason;
  }
  for (std::size_t i = 0; i < rows.size(); ++i) rows[i].row.message = std::move(messages[i]);
  return {};
}

std::string MessageEditorText(const TCardRow& row) {
  return ReplaceNoCase(ShownMessage(row), MessageName(row), kNamePlaceholder);
}

std::string MessageLine(const TCardRow& row) {
  const std::string message = ShownMessage(row);
  return message.empty() ? std::string() : MessageCard(row) + message;
}

}  // namespace korvo
