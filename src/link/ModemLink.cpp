#include "link/ModemLink.h"

#include <cerrno>
#include <cstdlib>
#include <stdexcept>

#include "link/CommandText.h"
#include "link/LinkErrors.h"
#include "link/LinkServices.h"
#include "link/QCCom32.h"
#include "link/ReplyLimit.h"
#include "link/SerialTransport.h"
#include "link/Transports.h"
#include "store/Clock.h"
#include "store/OperatorUi.h"

namespace korvo {
namespace {

constexpr int kReplyPolls = 100;
constexpr int kReplyPollMs = 20;
constexpr int kExchangePollMs = 25;
constexpr int kTemplatePollMs = 100;
constexpr int kIdlePolls = 10;
constexpr int kTemplateTableIdlePolls = 300;
// Only CONNECT and the failed dial results are looked for in the dial reply; its tail is enough.
constexpr std::size_t kDialReplyKept = 4096;

// A modem's final answer to ATD when no call came up. Beside BUSY, the others end the wait too: the
// modem has given up, and counting down the rest of the minute would only hold the operator.
std::string FailedDialResult(const std::string& upperReply) {
  for (const char* result : {"BUSY", "NO CARRIER", "NO DIALTONE", "NO DIAL TONE", "NO ANSWER"})
    if (upperReply.find(result) != std::string::npos) return result;
  return {};
}

// A decimal integer, or the conversion error the operator sees for anything else.
int DecimalNumber(const std::string& text) {
  errno = 0;
  char* end = nullptr;
  long v = std::strtol(text.c_str(), &end, 10);
  if (text.empty() || *end != '\0' || errno == ERANGE || v < 0 || v > 0x7fffffff)
    throw std::invalid_argument("'" + text + "' is not a valid integer value");
  return static_cast<int>(v);
}

}  // namespace

std::string WaitModemReply(TLinkContext& link, const std::string& modemCommands) {
  std::string result;
  std::string command;
  auto runCommand = [&] {
    if (command.empty()) return;
    std::string text = command;
    for (char& c : text)
      if (c == '^') c = '\r';
    link.Com.Write(text);
    std::string reply;
    for (int poll = 0; poll < kReplyPolls && !Contains(reply, "OK"); ++poll) {
      link.Ui.ProcessMessages();
      link.Clock.Pause(kReplyPollMs);
      reply += link.Com.Read();
      if (reply.size() > kDialReplyKept) reply.erase(0, reply.size() - kDialReplyKept);
    }
    result += Contains(reply, "OK") ? '+' : '-';
    command.clear();
  };
  for (char c : modemCommands) {
    if (c == ' ' || c == ',')
      runCommand();
    else
      command += c;
  }
  runCommand();
  return result;
}

void HangUpModem(TLinkContext& link) {
  link.Clock.Pause(1000);
  WaitModemReply(link, "+++ ATZ^");
  link.Com.Close();
}

void ModemDisconnect(TLinkContext& link) {
  link.Ui.ProcessMessages();
  HangUpModem(link);
  link.ModemLinkState = kModemDisconnected;
}

namespace {

bool DialCall(TLinkContext& link, const std::string& address) {
  if (!Contains(address, "-")) {
    if (link.Com.Opened()) {
      HangUpModem(link);
      // The call is over: the next modem terminal dials again.
      if (link.ModemLinkState != kModemDisconnected) link.ModemLinkState.clear();
    }
    return false;
  }
  const std::string part1 = SplitAddress(address).address;
  const std::size_t dash = part1.find('-');
  const std::string number = part1.substr(0, dash);
  const std::string rate = part1.substr(dash + 1);
  const auto& find = link.FindDialTerminal ? link.FindDialTerminal : link.FindTerminal;
  const std::optional<TTerminalRow> row = find ? find(address) : std::nullopt;
  // Nothing is dialled, and no call hung up, for an address that no row holds.
  if (!row) throw TUnknownTerminalError(address);
  if (link.ModemLinkState == number) return true;
  if (link.Com.Opened()) HangUpModem(link);

  link.Com.SetPort(row->fnPort);
  link.Com.SetBaud(DecimalNumber(rate));
  if (!link.Com.Open()) return false;
  if (link.ModemLinkState == kModemDisconnected) return true;

  try {
    link.ModemLinkState = number;
    link.Ui.ShowModemWindow(number, rate, [&link] { ModemDisconnect(link); });
    WaitModemReply(link, "ATV1^");
    const std::string init = link.ModemInit ? link.ModemInit() : std::string();
    if (!init.empty()) WaitModemReply(link, init + "^");
    link.Com.Write("ATD" + number + "\r");
    std::string dialReply;
    int counter = kDialCountDown;
    for (int second = 0; second < kDialMostSeconds; ++second) {
      link.Ui.ProcessMessages();
      link.Clock.Pause(1000);
      const std::string got = link.Com.Read();
      dialReply += got;
      if (dialReply.size() > kDialReplyKept) dialReply.erase(0, dialReply.size() - kDialReplyKept);
      if (link.Com.Opened()) {
        link.Ui.SetModemCountDown(std::to_string(counter));
        // Only a second without a byte from the modem counts.
        if (got.empty() && link.Com.InCount() == 0) --counter;
      } else {
        counter = -1;
      }
      if (link.ModemLinkState == kModemDisconnected) counter = -1;
      const std::string upper = UpperCase(dialReply);
      const std::string failed = FailedDialResult(upper);
      if (!failed.empty()) {
        link.Ui.SetModemCountDown(failed);
        link.Ui.ProcessMessages();
        link.Clock.Pause(2000);
      }
      if (counter == -1 || Contains(upper, "CONNECT") || !failed.empty()) break;
    }
    link.Ui.CloseModemWindow();
  } catch (const std::exception&) {
    link.ModemLinkState.clear();
    link.Ui.CloseModemWindow();
    link.Clock.Pause(1000);
    WaitModemReply(link, "+++ ATZ^");
    return false;
  }
  return true;
}

}  // namespace

bool DialTerminal(TLinkContext& link, const std::string& address) {
  // A click handled during a conversation must not hang up or redial the call under it.
  if (link.Talking) throw TConversationBusyError();
  return DialCall(link, address);
}

std::string ModemExchange(TLinkContext& link, const TTerminalRow& row, const std::string& line) {
  const std::string upper = UpperCase(line);
  const bool logon = Contains(row.fsAddr, "@");
  for (const auto& piece : SplitPieces(line)) {
    link.Com.Write(piece + "\r");
    if (logon) link.Clock.Pause(10);
  }
  const bool templateTable = Contains(upper, "TYPE TMPTABLE");
  const bool countLines = Contains(upper, "TRANS") || templateTable || Contains(upper, "TYPE MSGTABLE");
  int idle = Contains(line, "TYPE TMPTABLE") ? kTemplateTableIdlePolls : kIdlePolls;
  std::string reply;
  int lines = 0;
  const TReplyDeadline deadline(link.Clock);
  while (true) {
    if (deadline.Passed()) {
      link.Com.Purge();
      link.ReplyCut = true;
      return kNoReply;
    }
    link.Clock.Pause(kExchangePollMs);
    if (Contains(upper, "TYPE TMP")) link.Clock.Pause(kTemplatePollMs);
    if (link.Com.InCount() > 0)
      idle = templateTable ? kTemplateTableIdlePolls : kIdlePolls;
    else
      --idle;
    std::string got = link.Com.Read();
    const bool full = reply.size() + got.size() >= kMaxSerialReply;
    if (full) got.resize(kMaxSerialReply - reply.size());
    // A stop token may straddle two reads: search the new bytes with the tail before them.
    const std::size_t from = reply.size() > 6 ? reply.size() - 6 : 0;
    reply += got;
    lines += CountChar(got, '\r');
    if (countLines) link.Ui.ProgressNotice(std::to_string(lines));
    std::string_view fresh = std::string_view(reply).substr(from);
    if (Contains(fresh, "FAIL") || Contains(fresh, "Record") || Contains(fresh, "*") || idle == 0) break;
    if (full) {
      // The rest of an endless reply is dropped.
      link.Com.Purge();
      link.ReplyCut = true;
      break;
    }
  }
  if (Contains(upper, "TYPE TMPDATA")) link.Clock.Pause(30);
  return reply;
}

std::string ModemTransport(TLinkContext& link, const TTerminalRow& row, const std::string& address,
                           const std::string& commandText) {
  const TAddressParts parts = SplitAddress(row.fsAddr);
  const auto lines = SplitCommandLines(commandText);
  std::vector<std::string> entries(lines.size(), kNoReply);
  if (DialCall(link, address)) {
    if (parts.hasLogon) ModemExchange(link, row, "SETLOGON " + parts.logon);
    int progress = 0;
    for (std::size_t i = 0; i < lines.size(); ++i) {
      const std::string& line = lines[i];
      if (Contains(line, "ADDREC") || Contains(line, "SETPAR") || Contains(line, "TMPDATA"))
        link.Ui.ProgressNotice(std::to_string(++progress));
      std::string reply = ModemExchange(link, row, line);
      if (!TrimControl(reply).empty()) entries[i] = reply;
    }
    if (parts.hasLogon) ModemExchange(link, row, "SETLOGON 0");
  }
  // The call stays up for the next command text.
  return JoinTrimmedEntries(entries);
}

}  // namespace korvo
