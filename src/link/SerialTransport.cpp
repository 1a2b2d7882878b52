#include "link/SerialTransport.h"

#include <array>
#include <string_view>

#include "link/CommandText.h"
#include "link/QCCom32.h"
#include "link/ReplyLimit.h"
#include "link/SerialFrame.h"
#include "link/Transports.h"
#include "store/Clock.h"
#include "store/OperatorUi.h"

namespace korvo {
namespace {

constexpr int kSerialBaud = 115200;
constexpr int kPieceGapMs = 50;
constexpr int kLogonPieceGapMs = 10;
constexpr int kPollMs = 10;
constexpr int kIdlePolls = 10;
constexpr int kFrameGapMs = 3;
constexpr int kFramedPolls = 50;
constexpr int kFramedAttempts = 10;
constexpr std::array<std::string_view, 4> kStopTokens = {"FAIL", "Record", "OK", "*"};
constexpr std::size_t kLongestStopToken = 6;

// Extra wait per poll for commands whose replies the terminal produces slowly.
int ExtraPollMs(const std::string& upper) {
  if (Contains(upper, "TRANS")) return 20;
  if (Contains(upper, "TYPE TMPTABLE")) return 60;
  if (Contains(upper, "ADDREC TMPTABLE")) return 300;
  if (Contains(upper, "DELFILE MSGTABLE")) return 100;
  return 0;
}

// One command text on the serial line, with the port already open.
class TSerialExchange {
 public:
  TSerialExchange(TLinkContext& link, const TTerminalRow& row, const std::string& address)
      : link_(link), com_(link.Com), address_(address), logon_(Contains(row.fsAddr, "@")) {}

  // The plain text exchange: pieces ending in CR, then polls until a stop token or 10 idle polls.
  std::string PlainExchange(const std::string& line) {
    const std::string upper = UpperCase(line);
    for (const auto& piece : SplitPieces(line)) {
      com_.Write(piece + "\r");
      if (logon_) link_.Clock.Pause(kLogonPieceGapMs);
      link_.Clock.Pause(kPieceGapMs);
    }
    const int extraMs = ExtraPollMs(upper);
    const bool tmpData = Contains(upper, "TMPDATA");
    const bool countLines =
        Contains(upper, "TRANS") || Contains(upper, "TYPE TMPTABLE") || Contains(upper, "TYPE MSGTABLE");
    std::string reply;
    bool stopped = false;
    bool star = false;
    int lines = 0;
    int idle = kIdlePolls;
    const TReplyDeadline deadline(link_.Clock);
    while (true) {
      if (deadline.Passed()) {
        com_.Purge();
        link_.ReplyCut = true;
        return kNoReply;
      }
      link_.Clock.Pause(kPollMs);
      if (extraMs) link_.Clock.Pause(extraMs);
      if (com_.InCount() > 0)
        idle = kIdlePolls;
      else
        --idle;
      std::string got = com_.Read();
      const bool full = reply.size() + got.size() >= kMaxSerialReply;
      if (full) got.resize(kMaxSerialReply - reply.size());
      // Only the new bytes (and the tail a token may straddle) are searched, so a long listing
      // costs no more per poll than a short one.
      const std::size_t from = reply.size() > kLongestStopToken ? reply.size() - kLongestStopToken : 0;
      reply += got;
      lines += CountChar(got, '\r');
      star = star || Contains(got, "*");
      std::string_view fresh = std::string_view(reply).substr(from);
      for (auto token : kStopTokens) stopped = stopped || Contains(fresh, token);
      if (tmpData && !star) link_.Clock.Pause(5);
      if (countLines) link_.Ui.ProgressNotice(std::to_string(lines));
      if (stopped || idle == 0) break;
      if (full) {
        // Whatever the terminal still sends is dropped with the rest of this reply.
        com_.Purge();
        link_.ReplyCut = true;
        break;
      }
    }
    if (Contains(upper, "TYPE TMPDATA")) link_.Clock.Pause(30);
    return reply;
  }

  // One checksummed frame per piece with RTS raised, then up to 50 polls for a complete reply;
  // up to 10 attempts. Returns what the last attempt received, which may be empty or partial;
  // `complete` tells which.
  std::string FramedExchange(const std::string& line, bool& complete) {
    const auto pieces = SplitPieces(line);
    std::string reply;
    for (int attempt = 0; attempt < kFramedAttempts; ++attempt) {
      com_.EscapeFunction(T_QCCom32::SETRTS);
      for (const auto& piece : pieces) {
        if (pieces.size() > 1) link_.Clock.Pause(kFrameGapMs);
        com_.Write(BuildFrame(piece, BusAddressOf(address_)));
      }
      link_.Clock.Pause(kFrameGapMs);
      com_.Purge();  // the bus echoes our own transmission
      com_.EscapeFunction(T_QCCom32::CLRRTS);
      reply.clear();
      complete = false;
      for (int poll = 0; poll < kFramedPolls && !complete; ++poll) {
        link_.Clock.Pause(kPollMs);
        reply += com_.Read();
        complete = Contains(reply, ":") && FramedReplyComplete(reply);
      }
      if (complete) return reply;
    }
    return reply;
  }

  // The data of the first framed reply and of every "Z" block after it, each followed by a blank.
  // A block that never arrives whole, or a listing that outlasts the block, size or time limit,
  // is cut short; past the time limit the entry is "--".
  std::string CollectBlocks(std::string reply, const std::string& upper, const TReplyDeadline& deadline) {
    const bool countLines =
        Contains(upper, "TRANS") || Contains(upper, "TMPTABLE") || Contains(upper, "TYPE MSGTABLE");
    std::string entry;
    int lines = 0;
    int blocks = 0;
    do {
      std::string data = FramedReplyData(reply);
      lines += CountChar(data, '\r');
      entry += data + " ";
      if (deadline.Passed()) break;
      bool complete = false;
      reply = FramedExchange("5A", complete);
      if (countLines) link_.Ui.ProgressNotice(std::to_string(lines));
      // Every "5A" gets a whole frame, the last one without "Z"; anything less is a broken transfer.
      if (!complete) link_.ReplyCut = true;
    } while (FramedReplyContinues(reply) && ++blocks < kMaxFramedBlocks && entry.size() < kMaxSerialReply);
    if (FramedReplyContinues(reply)) link_.ReplyCut = true;
    if (countLines) link_.Ui.ProgressNotice(std::to_string(link_.Ui.ProgressMaximum()));
    if (deadline.Passed()) {
      link_.ReplyCut = true;
      return kNoReply;
    }
    return entry;
  }

  std::string LineEntry(const std::string& line) {
    std::string reply = PlainExchange(line);
    if (!TrimControl(reply).empty()) return reply;
    // Terminals behind a logon code answer plain text only.
    if (logon_) return kNoReply;
    const TReplyDeadline deadline(link_.Clock);
    bool complete = false;
    reply = FramedExchange(line, complete);
    if (reply.empty()) return kNoReply;
    // Garbled or short frames: what arrived is not the whole answer.
    if (!complete) link_.ReplyCut = true;
    return CollectBlocks(std::move(reply), UpperCase(line), deadline);
  }

 private:
  TLinkContext& link_;
  T_QCCom32& com_;
  const std::string& address_;
  const bool logon_;
};

}  // namespace

std::string SerialTransport(TLinkContext& link, const TTerminalRow& row, const std::string& address,
                            const std::string& commandText) {
  const TAddressParts parts = SplitAddress(row.fsAddr);
  const auto lines = SplitCommandLines(commandText);
  std::vector<std::string> entries(lines.size(), kNoReply);
  // The port is closed on every way out, also when a bad bus address ends the exchange.
  struct TCloser {
    T_QCCom32& com;
    ~TCloser() { com.Close(); }
  } closer{link.Com};
  link.Com.SetPort(row.fnPort);
  link.Com.SetBaud(kSerialBaud);
  if (link.Com.Open()) {
    TSerialExchange exchange(link, row, address);
    if (parts.hasLogon) exchange.PlainExchange("SETLOGON " + parts.logon);
    int progress = 0;
    for (std::size_t i = 0; i < lines.size(); ++i) {
      const std::string& line = lines[i];
      if (Contains(line, "ADDREC") || Contains(line, "SETPAR") || Contains(line, "TMPDATA"))
        link.Ui.ProgressNotice(std::to_string(++progress));
      entries[i] = exchange.LineEntry(line);
    }
    exchange.PlainExchange("SETLOGON 0");
  }
  return JoinTrimmedEntries(entries);
}

}  // namespace korvo
