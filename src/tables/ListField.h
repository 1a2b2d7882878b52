#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace korvo {

class TDatabase;

// A list field is a memo of plain lines: written with every line followed by CR LF (the last one
// too; an empty list is an empty text), except a level's time-table list (fmAcsTTLst), whose lines
// end in CR alone. Readers take CR, LF and CR LF alike; a last line needs no end.
std::vector<std::string> ListLines(std::string_view text);
std::string ListText(const std::vector<std::string>& lines, std::string_view lineEnd = "\r\n");

// The list field `field` of the terminal row `address`; an empty list for a missing row or a null
// field. The field name is one of the program's own, never the operator's.
std::vector<std::string> ReadTerminalList(TDatabase& db, const std::string& address,
                                          const std::string& field);
// Writes the list into the terminal row; false when no row has the address.
bool WriteTerminalList(TDatabase& db, const std::string& address, const std::string& field,
                       const std::vector<std::string>& lines);

}  // namespace korvo
