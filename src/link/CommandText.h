#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "store/TextCodec.h"

namespace korvo {

// The entry of a command line that got no answer; callers look for "--" in replies.
inline constexpr const char* kNoReply = "--\r\n";

// The lines of a command text, separated by CR, LF or CR LF. A final line end adds no empty line.
std::vector<std::string> SplitCommandLines(std::string_view text);
// The pieces of one command line, separated by "|"; each piece is transmitted on its own.
std::vector<std::string> SplitPieces(std::string_view line);
// The address proper and the logon code (empty when the address has no "@").
struct TAddressParts {
  std::string address;
  std::string logon;
  bool hasLogon = false;
};
TAddressParts SplitAddress(std::string_view fsAddr);

std::string UpperCase(std::string_view s);
inline bool Contains(std::string_view text, std::string_view what) {
  return text.find(what) != std::string_view::npos;
}
int CountChar(std::string_view text, char c);

// Serial line and modem: every entry trimmed and followed by CR.
std::string JoinTrimmedEntries(const std::vector<std::string>& entries);
// Network: every entry as received followed by CR, or all run together for template data.
std::string JoinNetEntries(const std::vector<std::string>& entries, bool concatenate);
// Every CR LF of a joined reply becomes one blank, except for commands whose replies are binary or
// keep their own line layout.
std::string ApplyCrLfRule(std::string reply, std::string_view commandText);
// Template data travel as bytes: such a command text and its reply skip the Windows-1252 conversion.
bool PassesUnconverted(std::string_view commandText);

}  // namespace korvo
