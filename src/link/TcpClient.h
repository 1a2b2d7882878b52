#pragma once

#include <cstddef>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

#include "link/NetStream.h"

namespace korvo {

class TClock;

// A failed connection, raised to the callers that want an error rather than an error code.
class TTcpClientError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The most bytes kept for one reply or one unfinished line. A terminal's largest reply, a day's
// transaction listing, stays far below it; a peer that streams without end is cut off here.
inline constexpr std::size_t kMaxReplyBytes = std::size_t{4} << 20;
// How long a connection attempt may take before it counts as failed.
inline constexpr int kConnectLimitMs = 5000;
// A send that makes no progress for this long fails: the peer does not read.
inline constexpr int kSendLimitMs = 10000;

// The TCP client of the network link. Every limit is measured on the clock, so a test on virtual
// time and a scripted stream runs the real limits at once.
class TTcpClient {
 public:
  TTcpClient(TClock& clock, std::unique_ptr<TNetStream> stream);
  ~TTcpClient();
  TTcpClient(const TTcpClient&) = delete;
  TTcpClient& operator=(const TTcpClient&) = delete;

  // 0 when connected, otherwise the errno value of the failure.
  int Connect(const std::string& host, int port);
  bool Connected() const { return connected_; }
  bool SendText(std::string_view text);
  bool SendByte(char byte);
  // The text before the next CR LF; empty when no complete line arrived within the limit.
  std::string ReceiveLine(int limitMs);
  // Whatever has arrived, at most maxBytes, without waiting.
  std::string ReceiveAvailable(std::size_t maxBytes = kMaxReplyBytes);
  // Waits up to the limit for data; false at once when the peer has closed and nothing is left.
  bool CanRead(int limitMs);
  // The text before the next LF without its CR; nothing when no complete line arrived in time.
  std::optional<std::string> ReadLine(int limitMs);
  std::optional<char> ReadByte(int limitMs);
  // The peer closed its side (or the connection broke) and every byte it sent has been taken.
  bool PeerClosed() const { return buffer_.empty() && (!connected_ || stream_->AtEnd()); }
  void Close();

 private:
  // Reads into the buffer until `done` holds, the limit runs out, the peer closes or the buffer
  // is full. Returns whether `done` holds.
  template <typename TDone>
  bool FillUntil(int limitMs, TDone done);
  void FillOnce(int remainingMs);
  // The position of `terminator` in the buffer, searched from where the last search stopped.
  std::size_t FindInBuffer(std::string_view terminator, std::size_t& searchedTo) const;

  TClock& clock_;
  std::unique_ptr<TNetStream> stream_;
  std::string buffer_;  // received, not yet taken
  bool connected_ = false;
};

}  // namespace korvo
