#include "link/NetTransport.h"

#include "link/LinkServices.h"
#include "link/ReplyLimit.h"
#include "link/SocketStream.h"
#include "link/Transports.h"
#include "store/Clock.h"

namespace korvo {

std::unique_ptr<TTcpClient> NewTcpClient(TLinkContext& link) {
  std::unique_ptr<TNetStream> stream = link.NetStreamFactory ? link.NetStreamFactory() : nullptr;
  if (!stream) stream = std::make_unique<TSocketStream>();
  return std::make_unique<TTcpClient>(link.Clock, std::move(stream));
}

std::vector<std::string> AddressPartEntries(const TAddressParts& parts) {
  std::vector<std::string> entries{parts.address};
  if (parts.hasLogon) entries.push_back(parts.logon);
  return entries;
}

void SendInHalves(TLinkContext& link, TTcpClient& client, const std::string& text, int pauseMs) {
  const std::size_t half = text.size() / 2;
  for (std::size_t i = 0; i < half; ++i) client.SendByte(text[i]);
  link.Clock.Pause(pauseMs);
  for (std::size_t i = half; i < text.size(); ++i) client.SendByte(text[i]);
}

namespace {

// A listing ends with "*", or when the terminal has been quiet for two seconds. One that runs past
// the overall limit is "--"; one that hits the size limit, or whose connection drops before its
// end mark, is cut short.
std::string ReadListing(TLinkContext& link, TTcpClient& client) {
  const TReplyDeadline deadline(link.Clock);
  std::string entry;
  while (true) {
    if (entry.size() >= kMaxReplyBytes) {
      link.ReplyCut = true;
      break;
    }
    const bool more = client.CanRead(deadline.RemainingMs(2000));
    if (deadline.Passed()) {
      link.ReplyCut = true;
      return kNoReply;
    }
    if (!more) {
      if (!entry.empty() && client.PeerClosed()) link.ReplyCut = true;
      break;
    }
    std::string chunk = client.ReceiveAvailable(kMaxReplyBytes - entry.size());
    entry += chunk;
    if (Contains(chunk, "*")) break;
  }
  return entry;
}

// Template data end at exactly one block; whatever follows it is not part of the entry. A block
// that stops short is cut, and one still unfinished at the overall limit is "--".
std::string ReadTemplateBlock(TLinkContext& link, TTcpClient& client) {
  const TReplyDeadline deadline(link.Clock);
  std::string entry;
  while (entry.size() < kTemplateBytes && !deadline.Passed() && client.CanRead(deadline.RemainingMs(10000)))
    entry += client.ReceiveAvailable(kTemplateBytes - entry.size());
  if (entry.size() == kTemplateBytes) return entry;
  if (!entry.empty() || deadline.Passed()) link.ReplyCut = true;
  return deadline.Passed() ? kNoReply : entry;
}

std::string ExchangeLine(TLinkContext& link, TTcpClient& client, const std::string& line,
                         bool pauseAfterPiece) {
  if (Contains(line, "LOAD")) link.Clock.Pause(10);
  if (Contains(line, "PAR")) link.Clock.Pause(10);
  for (const auto& piece : SplitPieces(line)) {
    client.SendText(piece + "\r\n");
    if (pauseAfterPiece) link.Clock.Pause(10);
  }
  std::string entry;
  if (Contains(line, "TYPE") || Contains(line, "LISTPAR") || Contains(line, "DIR"))
    entry = ReadListing(link, client);
  else if (Contains(line, "TMPDATA"))
    entry = ReadTemplateBlock(link, client);
  else if (Contains(line, "LOAD"))
    entry = client.ReceiveLine(1000);
  else
    entry = client.ReceiveLine(10000);
  return entry.empty() ? kNoReply : entry;
}

}  // namespace

std::string NetTransport(TLinkContext& link, const TTerminalRow& row, const std::string& /*address*/,
                         const std::string& commandText) {
  const TAddressParts parts = SplitAddress(row.fsAddr);
  const bool concatenate = Contains(commandText, "TMPDATA");
  if (!PingHost(link, parts.address, row.fnPort)) {
    std::vector<std::string> entries(SplitCommandLines(commandText).size(), kNoReply);
    return JoinNetEntries(entries, concatenate);
  }
  std::unique_ptr<TTcpClient> client = NewTcpClient(link);
  if (client->Connect(parts.address, row.fnPort) != 0)
    return JoinNetEntries(AddressPartEntries(parts), concatenate);

  if (parts.hasLogon) {
    client->SendText("SETLOGON " + parts.logon + "\r\n");
    client->ReceiveLine(500);
  }
  std::vector<std::string> entries;
  if (commandText.size() >= kLongTextChars) {
    link.Clock.Pause(1000);
    SendInHalves(link, *client, commandText, 5);
    entries = SplitCommandLines(client->ReceiveLine(10000));
  } else {
    const bool pauseAfterPiece = Contains(row.fsAddr, "@");
    for (const auto& line : SplitCommandLines(commandText))
      entries.push_back(ExchangeLine(link, *client, line, pauseAfterPiece));
  }
  client->Close();
  return JoinNetEntries(entries, concatenate);
}

}  // namespace korvo
