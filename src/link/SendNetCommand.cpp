#include <cstring>

#include "link/CommandText.h"
#include "link/LinkErrors.h"
#include "link/LinkServices.h"
#include "link/NetTransport.h"
#include "link/ReplyLimit.h"
#include "store/Clock.h"
#include "store/Cp1252.h"
#include "store/OperatorUi.h"

namespace korvo {
namespace {

// The template transfer's reads wait no longer than this; a read that runs out makes the line "--".
constexpr int kReadLimitMs = 10000;

std::string ExchangeTemplateLine(TLinkContext& link, TTcpClient& client, const std::string& line,
                                 int fingerCount) {
  if (Contains(line, "ADDREC MSGTABLE")) link.Clock.Pause(50);
  for (const auto& piece : SplitPieces(line)) {
    link.Clock.Pause(5);
    client.SendText(piece + "\r");
  }
  std::string entry;
  const TReplyDeadline deadline(link.Clock);
  // An entry that stops after part of its lines or bytes arrived is "--", and cut short.
  const auto cut = [&] {
    if (!entry.empty() || deadline.Passed()) link.ReplyCut = true;
    return std::string(kNoReply);
  };
  if (Contains(line, "TYPE TMPTABLE")) {
    for (int i = 0; i < fingerCount; ++i) {
      link.Ui.ProcessMessages();
      auto read = client.ReadLine(deadline.RemainingMs(kReadLimitMs));
      if (!read) return cut();
      entry += *read + "\r\n";
    }
  } else if (Contains(line, "TYPE") || Contains(line, "LISTPAR") || Contains(line, "DIR")) {
    // No such listing goes through the template transfer; nothing is read for it.
  } else if (Contains(line, "TMPDATA")) {
    while (entry.size() < kTemplateBytes) {
      link.Ui.ProcessMessages();
      auto byte = client.ReadByte(deadline.RemainingMs(kReadLimitMs));
      if (!byte) return cut();
      entry += *byte;
    }
  } else {
    link.Ui.ProcessMessages();
    auto read = client.ReadLine(kReadLimitMs);
    if (!read) return kNoReply;
    entry = *read;
  }
  return entry.empty() ? kNoReply : entry;
}

}  // namespace

std::string SendNetCommand(TLinkContext& link, const std::string& address, const std::string& commandText,
                           int fingerCount) {
  if (link.Talking) throw TConversationBusyError();
  link.ReplyCut = false;
  // Any other terminal gets nothing, and an empty reply.
  if (!Contains(address, ".")) return {};
  const std::optional<TTerminalRow> row = link.FindTerminal ? link.FindTerminal(address) : std::nullopt;
  if (!row) return {};
  const std::string& fsAddr = row->fsAddr;
  const int fnPort = row->fnPort;
  // The template reads handle window messages: no second conversation may start meanwhile.
  link.Talking = true;
  struct TTalking {
    bool& flag;
    ~TTalking() { flag = false; }
  } talking{link.Talking};

  // The terminal line carries Windows-1252; template data are bytes and pass as they are, also the
  // bare template bytes that follow an accepted "TMPSAVE".
  const bool binary = PassesUnconverted(commandText) || link.TemplateBytesNext;
  link.TemplateBytesNext = false;
  const std::string wireText = binary ? commandText : Utf8ToCp1252(commandText);
  const TAddressParts parts = SplitAddress(fsAddr);
  const bool concatenate = Contains(wireText, "TMPDATA");
  std::vector<std::string> entries;
  if (!PingHost(link, parts.address, fnPort)) {
    entries.assign(SplitCommandLines(wireText).size(), kNoReply);
  } else {
    std::unique_ptr<TTcpClient> client = NewTcpClient(link);
    if (int rc = client->Connect(parts.address, fnPort); rc != 0)
      throw TTcpClientError(std::string(std::strerror(rc)) + " (" + parts.address + ":" +
                            std::to_string(fnPort) + ")");
    if (!client->Connected()) {
      entries = AddressPartEntries(parts);
    } else if (wireText.size() >= kLongTextChars) {
      link.Clock.Pause(1300);
      SendInHalves(link, *client, wireText, 10);
      link.Ui.ProcessMessages();
      auto read = client->ReadLine(kReadLimitMs);
      entries = read ? SplitCommandLines(*read) : std::vector<std::string>{kNoReply};
    } else {
      for (const auto& line : SplitCommandLines(wireText))
        entries.push_back(ExchangeTemplateLine(link, *client, line, fingerCount));
    }
    client->Close();
  }
  std::string reply = ApplyCrLfRule(JoinNetEntries(entries, concatenate), wireText);
  link.TemplateBytesNext = Contains(commandText, "TMPSAVE") && UpperCase(TrimControl(reply)) == "OK";
  return binary ? reply : Cp1252ToUtf8(reply);
}

}  // namespace korvo
