#pragma once

#include <memory>
#include <string>
#include <vector>

#include "link/CommandText.h"
#include "link/TcpClient.h"

namespace korvo {

struct TLinkContext;

// A command text this long or longer goes out raw, in two halves, as one block.
inline constexpr std::size_t kLongTextChars = 300;
// A template data block.
inline constexpr std::size_t kTemplateBytes = 384;

// A client on the link's clock and on its stream (a socket unless a test put in its own).
std::unique_ptr<TTcpClient> NewTcpClient(TLinkContext& link);

// The entries of a terminal that could not be reached: the address parts stand in for the replies.
std::vector<std::string> AddressPartEntries(const TAddressParts& parts);

// The two halves of a long text, byte by byte, with a pause between them.
void SendInHalves(TLinkContext& link, TTcpClient& client, const std::string& text, int pauseMs);

}  // namespace korvo
