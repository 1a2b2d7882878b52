#pragma once

#include <string>
#include <vector>

#include "tables/TablePages.h"

namespace korvo {

// The placeholder of a message, taken in any letter case: the cardholder's own name.
inline constexpr const char* kNamePlaceholder = "%NAME%";
// What the message editor lets one type.
inline constexpr std::size_t kMessageChars = 16;

// Add / Edit of the Message page: the typed message becomes the message of every ticked row, each
// with its own name in place of "%NAME%". Returns why the message was refused (longer than 16
// characters, a "|" or a control character, also one that a ticked row's name brings in), with no
// row changed, or an empty text.
std::string ApplyMessage(std::vector<TTicked<TCardRow>>& rows, const std::string& typed);

// A row click: the row's message, with the row's name (any letter case) shown as "%NAME%".
std::string MessageEditorText(const TCardRow& row);

// The fmMessage line of a row: its card (MessageCard) and its message of at most 32 characters, run
// together; empty when the row has no message.
std::string MessageLine(const TCardRow& row);

}  // namespace korvo
