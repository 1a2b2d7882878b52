#include "link/PingHost.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/ip.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <memory>
#include <stdexcept>

#include "link/LinkServices.h"
#include "link/SocketStream.h"
#include "store/Clock.h"

namespace korvo {
namespace {

constexpr int kEchoTtl = 64;
constexpr std::size_t kEchoDataBytes = 56;
constexpr std::size_t kIcmpHeaderBytes = 8;

std::uint16_t InternetChecksum(const std::string& bytes) {
  std::uint32_t sum = 0;
  for (std::size_t i = 0; i + 1 < bytes.size(); i += 2)
    sum += (static_cast<std::uint8_t>(bytes[i]) << 8) | static_cast<std::uint8_t>(bytes[i + 1]);
  if (bytes.size() % 2) sum += static_cast<std::uint8_t>(bytes.back()) << 8;
  while (sum >> 16) sum = (sum & 0xffff) + (sum >> 16);
  return static_cast<std::uint16_t>(~sum);
}

std::uint16_t Word(const std::string& b, std::size_t at) {
  return static_cast<std::uint16_t>((static_cast<std::uint8_t>(b[at]) << 8) |
                                    static_cast<std::uint8_t>(b[at + 1]));
}

}  // namespace

std::string EchoPayload() {
  std::string text = "KORVO2K terminal echo check";
  text.resize(kEchoDataBytes, ' ');
  return text;
}

std::string EchoRequest(std::uint16_t id, std::uint16_t sequence) {
  std::string packet(kIcmpHeaderBytes, '\0');
  packet[0] = 8;  // echo request, code 0
  packet[4] = static_cast<char>(id >> 8);
  packet[5] = static_cast<char>(id & 0xff);
  packet[6] = static_cast<char>(sequence >> 8);
  packet[7] = static_cast<char>(sequence & 0xff);
  packet += EchoPayload();
  std::uint16_t sum = InternetChecksum(packet);
  packet[2] = static_cast<char>(sum >> 8);
  packet[3] = static_cast<char>(sum & 0xff);
  return packet;
}

TSocketPinger::TSocketPinger(TClock& clock, TEchoKind kind, TPollFn poll)
    : clock_(clock), wanted_(kind), poll_(std::move(poll)), id_(static_cast<std::uint16_t>(::getpid())) {
  if (!poll_) poll_ = [](pollfd* fds, nfds_t n, int ms) { return ::poll(fds, n, ms); };
}

TSocketPinger::~TSocketPinger() {
  if (fd_ >= 0) ::close(fd_);
}

bool TSocketPinger::OpenIcmp(TEchoKind kind) {
  int type = kind == TEchoKind::IcmpDatagram ? SOCK_DGRAM : SOCK_RAW;
  int fd = ::socket(AF_INET, type | SOCK_CLOEXEC, IPPROTO_ICMP);
  if (fd < 0) return false;
  int ttl = kEchoTtl;
  ::setsockopt(fd, IPPROTO_IP, IP_TTL, &ttl, sizeof ttl);
  fd_ = fd;
  kind_ = kind;
  return true;
}

TEchoResult TSocketPinger::Echo(const std::string& host, int tcpPort, int limitMs) {
  if (kind_ == TEchoKind::Auto) {
    bool open = false;
    if (wanted_ == TEchoKind::Auto || wanted_ == TEchoKind::IcmpDatagram)
      open = OpenIcmp(TEchoKind::IcmpDatagram);
    if (!open && (wanted_ == TEchoKind::Auto || wanted_ == TEchoKind::IcmpRaw))
      open = OpenIcmp(TEchoKind::IcmpRaw);
    if (!open && (wanted_ == TEchoKind::Auto || wanted_ == TEchoKind::TcpConnect) && tcpPort > 0) {
      kind_ = TEchoKind::TcpConnect;
      open = true;
    }
    if (!open) throw std::runtime_error("Unable to get ping handle");
  }
  if (kind_ == TEchoKind::TcpConnect) return TcpEcho(host, tcpPort, limitMs);
  return IcmpEcho(host, limitMs);
}

TEchoResult TSocketPinger::TcpEcho(const std::string& host, int tcpPort, int limitMs) {
  TSocketStream probe(poll_);
  if (probe.Connect(host, tcpPort, limitMs) != 0) return {true, 0};
  return {false, 1};
}

TEchoResult TSocketPinger::IcmpEcho(const std::string& host, int limitMs) {
  in_addr ip{};
  if (!ResolveIpv4(host, ip)) return {true, 0};
  sockaddr_in to{};
  to.sin_family = AF_INET;
  to.sin_addr = ip;
  const std::uint16_t sequence = ++sequence_;
  const std::string request = EchoRequest(id_, sequence);
  if (::sendto(fd_, request.data(), request.size(), 0, reinterpret_cast<sockaddr*>(&to), sizeof to) < 0)
    return {true, 0};

  const std::int64_t deadline = clock_.MonotonicMs() + limitMs;
  std::string packet(2048, '\0');
  while (true) {
    std::int64_t remaining = deadline - clock_.MonotonicMs();
    if (remaining <= 0) return {true, 0};  // time-out
    pollfd p{fd_, POLLIN, 0};
    int r = poll_(&p, 1, static_cast<int>(remaining));
    if (r < 0 && errno != EINTR) return {true, 0};
    if (r <= 0) continue;
    sockaddr_in from{};
    socklen_t fromLen = sizeof from;
    ssize_t n = ::recvfrom(fd_, packet.data(), packet.size(), MSG_DONTWAIT,
                           reinterpret_cast<sockaddr*>(&from), &fromLen);
    if (n <= 0) continue;
    std::string reply = packet.substr(0, static_cast<std::size_t>(n));
    // A raw socket sees the IP header, and every echo on the host: keep only the answer to ours.
    if (kind_ == TEchoKind::IcmpRaw) {
      std::size_t headerBytes = (static_cast<std::uint8_t>(reply[0]) & 0x0f) * 4u;
      if (reply.size() < headerBytes) continue;
      reply.erase(0, headerBytes);
    }
    if (reply.size() < kIcmpHeaderBytes || from.sin_addr.s_addr != ip.s_addr) continue;
    if (reply[0] != 0) continue;  // not an echo reply (our own request on loopback, or an error)
    // The kernel sets the identifier of a datagram socket's requests and sorts the replies itself.
    if (kind_ == TEchoKind::IcmpRaw && Word(reply, 4) != id_) continue;
    if (Word(reply, 6) != sequence) continue;
    if (reply.compare(kIcmpHeaderBytes, std::string::npos, EchoPayload()) != 0) continue;
    return {false, 1};
  }
}

bool PingHost(TLinkContext& link, const std::string& host, int tcpPort) {
  std::shared_ptr<TPinger> pinger = link.Pinger ? link.Pinger : std::make_shared<TSocketPinger>(link.Clock);
  TEchoResult result;
  for (int attempt = 1; attempt <= 5; ++attempt) {
    result = pinger->Echo(host, tcpPort, attempt * 500);
    if (!result.error) break;  // only an error of the echo makes for another try
  }
  return result.replies == 1;
}

}  // namespace korvo
