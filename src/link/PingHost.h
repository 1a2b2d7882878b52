#pragma once

#include <cstdint>
#include <string>

#include "link/NetStream.h"

namespace korvo {

class TClock;

// What one echo request came to: an error (time-out, unreachable, refused) or the replies counted.
struct TEchoResult {
  bool error = true;
  int replies = 0;
};

// One reachability probe with a limit. The five attempts of the echo check are the data module's;
// a probe only sends one request and waits for its answer.
class TPinger {
 public:
  virtual ~TPinger() = default;
  // `tcpPort` is the terminal's port, used where no ICMP socket may be opened (0: none known).
  virtual TEchoResult Echo(const std::string& host, int tcpPort, int limitMs) = 0;
};

enum class TEchoKind {
  Auto,          // the first of the following that the system allows
  IcmpDatagram,  // unprivileged ICMP socket (net.ipv4.ping_group_range)
  IcmpRaw,       // raw ICMP socket (root or CAP_NET_RAW)
  TcpConnect,    // a TCP connection to the terminal's port stands in for the echo
};

// The 56 data bytes of an echo request: a fixed text padded with blanks.
std::string EchoPayload();
// The ICMP echo request with its checksum.
std::string EchoRequest(std::uint16_t id, std::uint16_t sequence);

// Echo over sockets; the socket is opened with the first request and kept for the next ones.
class TSocketPinger final : public TPinger {
 public:
  explicit TSocketPinger(TClock& clock, TEchoKind kind = TEchoKind::Auto, TPollFn poll = {});
  ~TSocketPinger() override;
  TSocketPinger(const TSocketPinger&) = delete;
  TSocketPinger& operator=(const TSocketPinger&) = delete;

  // Raises std::runtime_error("Unable to get ping handle") when no probe can be set up.
  TEchoResult Echo(const std::string& host, int tcpPort, int limitMs) override;
  // The kind in use once a request was sent (Auto before).
  TEchoKind Kind() const { return kind_; }

 private:
  bool OpenIcmp(TEchoKind kind);
  TEchoResult IcmpEcho(const std::string& host, int limitMs);
  TEchoResult TcpEcho(const std::string& host, int tcpPort, int limitMs);

  TClock& clock_;
  TEchoKind wanted_;
  TEchoKind kind_ = TEchoKind::Auto;
  TPollFn poll_;
  int fd_ = -1;
  std::uint16_t id_;
  std::uint16_t sequence_ = 0;
};

}  // namespace korvo
