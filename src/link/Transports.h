#pragma once

#include <string>

#include "link/LinkContext.h"

namespace korvo {

// Each transport runs a whole command text and returns the joined entries, before the CR LF rule.
std::string SerialTransport(TLinkContext& link, const TTerminalRow& row, const std::string& address,
                            const std::string& commandText);
std::string NetTransport(TLinkContext& link, const TTerminalRow& row, const std::string& address,
                         const std::string& commandText);
std::string ModemTransport(TLinkContext& link, const TTerminalRow& row, const std::string& address,
                           const std::string& commandText);

}  // namespace korvo
