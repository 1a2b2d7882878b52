#include <cstring>

#include "link/CommandText.h"
#include "link/NetTransport.h"
#include "store/Clock.h"
#include "store/DataMod.h"
#include "store/OperatorUi.h"

namespace korvo {
namespace {

// The template transfer's reads wait no longer than this; a read that runs out makes the line "--".
constexpr int kReadLimitMs = 10000;

std::string ExchangeTemplateLine(TDM& dm, TTcpClient& client, const std::string& line) {
  if (Contains(line, "ADDREC MSGTABLE")) dm.Clock.Pause(50);
  for (const auto& piece : SplitPieces(line)) {
    dm.Clock.Pause(5);
    client.SendText(piece + "\r");
  }
  std::string entry;
  if (Contains(line, "TYPE TMPTABLE")) {
    for (int i = 0; i < dm.FingerCount; ++i) {
      dm.Ui.ProcessMessages();
      auto read = client.ReadLine(kReadLimitMs);
      if (!read) return kNoReply;
      entry += *read + "\r\n";
    }
  } else if (Contains(line, "TYPE") || Contains(line, "LISTPAR") || Contains(line, "DIR")) {
    // No such listing goes through the template transfer; nothing is read for it.
  } else if (Contains(line, "TMPDATA")) {
    while (entry.size() < kTemplateBytes) {
      dm.Ui.ProcessMessages();
      auto byte = client.ReadByte(kReadLimitMs);
      if (!byte) return kNoReply;
      entry += *byte;
    }
  } else {
    dm.Ui.ProcessMessages();
    auto read = client.ReadLine(kReadLimitMs);
    if (!read) return kNoReply;
    entry = *read;
  }
  return entry.empty() ? kNoReply : entry;
}

}  // namespace

std::string TDM::SendNetCommand(const std::string& address, const std::string& commandText) {
  TQuery query(ADOC);
  query.SetSQL("Select * from  tTerminals Where fsAddr=?", {TextValue(address)});
  query.Open();
  if (query.IsEmpty() || !Contains(address, ".")) return {};
  const std::string fsAddr = query.FieldByName("fsAddr").AsString();
  const int fnPort = static_cast<int>(query.FieldByName("fnPort").AsInteger());
  query.Close();

  const TAddressParts parts = SplitAddress(fsAddr);
  const bool concatenate = Contains(commandText, "TMPDATA");
  std::vector<std::string> entries;
  if (!PingHost(parts.address, fnPort)) {
    entries.assign(SplitCommandLines(commandText).size(), kNoReply);
  } else {
    std::unique_ptr<TTcpClient> client = NewTcpClient(*this);
    if (int rc = client->Connect(parts.address, fnPort); rc != 0)
      throw TTcpClientError(std::string(std::strerror(rc)) + " (" + parts.address + ":" +
                            std::to_string(fnPort) + ")");
    if (!client->Connected()) {
      entries = AddressPartEntries(parts);
    } else if (commandText.size() >= kLongTextChars) {
      Clock.Pause(1300);
      SendInHalves(*this, *client, commandText, 10);
      Ui.ProcessMessages();
      auto read = client->ReadLine(kReadLimitMs);
      entries = read ? SplitCommandLines(*read) : std::vector<std::string>{kNoReply};
    } else {
      for (const auto& line : SplitCommandLines(commandText))
        entries.push_back(ExchangeTemplateLine(*this, *client, line));
    }
    client->Close();
  }
  return ApplyCrLfRule(JoinNetEntries(entries, concatenate), commandText);
}

}  // namespace korvo
