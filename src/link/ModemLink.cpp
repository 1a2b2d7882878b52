#include "link/ModemLink.h"

#include <cerrno>
#include <cstdlib>
#include <stdexcept>

#include "link/CommandText.h"
#include "link/QCCom32.h"
#include "link/SerialTransport.h"
#include "link/Transports.h"
#include "store/Clock.h"
#include "store/DataMod.h"
#include "store/OperatorUi.h"
#include "store/SettingsRecord.h"

namespace korvo {
namespace {

constexpr int kReplyPolls = 100;
constexpr int kReplyPollMs = 20;
constexpr int kExchangePollMs = 25;
constexpr int kTemplatePollMs = 100;
constexpr int kIdlePolls = 10;
constexpr int kTemplateTableIdlePolls = 300;
// Only CONNECT and BUSY are looked for in the dial reply; its tail is enough for that.
constexpr std::size_t kDialReplyKept = 4096;

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

std::string TDM::WaitModemReply(const std::string& modemCommands) {
  std::string result;
  std::string command;
  auto runCommand = [&] {
    if (command.empty()) return;
    std::string text = command;
    for (char& c : text)
      if (c == '^') c = '\r';
    QCCom.Write(text);
    std::string reply;
    for (int poll = 0; poll < kReplyPolls && !Contains(reply, "OK"); ++poll) {
      Ui.ProcessMessages();
      Clock.Pause(kReplyPollMs);
      reply += QCCom.Read();
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

void HangUpModem(TDM& dm) {
  dm.Clock.Pause(1000);
  dm.WaitModemReply("+++ ATZ^");
  dm.QCCom.Close();
}

void ModemDisconnect(TDM& dm) {
  dm.Ui.ProcessMessages();
  HangUpModem(dm);
  dm.ModemLinkState = kModemDisconnected;
}

bool TDM::DialTerminal(const std::string& address) {
  if (!Contains(address, "-")) {
    if (QCCom.Opened()) {
      HangUpModem(*this);
      // The call is over: the next modem terminal dials again.
      if (ModemLinkState != kModemDisconnected) ModemLinkState.clear();
    }
    return false;
  }
  const std::string part1 = SplitAddress(address).address;
  const std::size_t dash = part1.find('-');
  const std::string number = part1.substr(0, dash);
  const std::string rate = part1.substr(dash + 1);
  if (ModemLinkState == number) return true;
  if (QCCom.Opened()) HangUpModem(*this);

  TQuery local(ADOC);
  TQuery& query = AuxQry ? *AuxQry : local;
  OpenAndSeek(query, "tTerminals", address, "fsAddr");
  if (!query.IsEmpty()) QCCom.SetPort(static_cast<int>(query.FieldByName("fnPort").AsInteger()));
  QCCom.SetBaud(DecimalNumber(rate));
  if (!QCCom.Open()) return false;
  if (ModemLinkState == kModemDisconnected) return true;

  try {
    ModemLinkState = number;
    Ui.ShowModemWindow(number, rate, [this] { ModemDisconnect(*this); });
    WaitModemReply("ATV1^");
    const std::string init = Settings.ModemInit();
    if (!init.empty()) WaitModemReply(init + "^");
    QCCom.Write("ATD" + number + "\r");
    std::string dialReply;
    int counter = kDialCountDown;
    for (int second = 0; second < kDialMostSeconds; ++second) {
      Ui.ProcessMessages();
      Clock.Pause(1000);
      const std::string got = QCCom.Read();
      dialReply += got;
      if (dialReply.size() > kDialReplyKept) dialReply.erase(0, dialReply.size() - kDialReplyKept);
      if (QCCom.Opened()) {
        Ui.SetModemCountDown(std::to_string(counter));
        // Only a second without a byte from the modem counts.
        if (got.empty() && QCCom.InCount() == 0) --counter;
      } else {
        counter = -1;
      }
      if (ModemLinkState == kModemDisconnected) counter = -1;
      const std::string upper = UpperCase(dialReply);
      if (Contains(upper, "BUSY")) {
        Ui.SetModemCountDown("BUSY");
        Ui.ProcessMessages();
        Clock.Pause(2000);
      }
      if (counter == -1 || Contains(upper, "CONNECT") || Contains(upper, "BUSY")) break;
    }
    Ui.CloseModemWindow();
  } catch (const std::exception&) {
    ModemLinkState.clear();
    Ui.CloseModemWindow();
    Clock.Pause(1000);
    WaitModemReply("+++ ATZ^");
    return false;
  }
  return true;
}

std::string ModemExchange(TDM& dm, const TTerminalRow& row, const std::string& line) {
  const std::string upper = UpperCase(line);
  const bool logon = Contains(row.fsAddr, "@");
  for (const auto& piece : SplitPieces(line)) {
    dm.QCCom.Write(piece + "\r");
    if (logon) dm.Clock.Pause(10);
  }
  const bool templateTable = Contains(upper, "TYPE TMPTABLE");
  const bool countLines = Contains(upper, "TRANS") || templateTable || Contains(upper, "TYPE MSGTABLE");
  int idle = Contains(line, "TYPE TMPTABLE") ? kTemplateTableIdlePolls : kIdlePolls;
  std::string reply;
  int lines = 0;
  while (true) {
    dm.Clock.Pause(kExchangePollMs);
    if (Contains(upper, "TYPE TMP")) dm.Clock.Pause(kTemplatePollMs);
    if (dm.QCCom.InCount() > 0)
      idle = templateTable ? kTemplateTableIdlePolls : kIdlePolls;
    else
      --idle;
    std::string got = dm.QCCom.Read();
    const bool full = reply.size() + got.size() >= kMaxSerialReply;
    if (full) got.resize(kMaxSerialReply - reply.size());
    // A stop token may straddle two reads: search the new bytes with the tail before them.
    const std::size_t from = reply.size() > 6 ? reply.size() - 6 : 0;
    reply += got;
    lines += CountChar(got, '\r');
    if (countLines) dm.Ui.ProgressNotice(std::to_string(lines));
    std::string_view fresh = std::string_view(reply).substr(from);
    if (Contains(fresh, "FAIL") || Contains(fresh, "Record") || Contains(fresh, "*") || idle == 0) break;
    if (full) {
      // The rest of an endless reply is dropped.
      dm.QCCom.Purge();
      break;
    }
  }
  if (Contains(upper, "TYPE TMPDATA")) dm.Clock.Pause(30);
  return reply;
}

std::string ModemTransport(TDM& dm, const TTerminalRow& row, const std::string& address,
                           const std::string& commandText) {
  const TAddressParts parts = SplitAddress(row.fsAddr);
  const auto lines = SplitCommandLines(commandText);
  std::vector<std::string> entries(lines.size(), kNoReply);
  if (dm.DialTerminal(address)) {
    if (parts.hasLogon) ModemExchange(dm, row, "SETLOGON " + parts.logon);
    int progress = 0;
    for (std::size_t i = 0; i < lines.size(); ++i) {
      const std::string& line = lines[i];
      if (Contains(line, "ADDREC") || Contains(line, "SETPAR") || Contains(line, "TMPDATA"))
        dm.Ui.ProgressNotice(std::to_string(++progress));
      std::string reply = ModemExchange(dm, row, line);
      if (!TrimControl(reply).empty()) entries[i] = reply;
    }
    if (parts.hasLogon) ModemExchange(dm, row, "SETLOGON 0");
  }
  // The call stays up for the next command text.
  return JoinTrimmedEntries(entries);
}

}  // namespace korvo
