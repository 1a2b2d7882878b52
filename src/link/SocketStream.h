#pragma once

#include <netinet/in.h>

#include "link/NetStream.h"

namespace korvo {

// A TCP connection on a non-blocking socket; every wait goes through the poll function.
class TSocketStream final : public TNetStream {
 public:
  explicit TSocketStream(TPollFn poll = {});
  ~TSocketStream() override;
  TSocketStream(const TSocketStream&) = delete;
  TSocketStream& operator=(const TSocketStream&) = delete;

  int Connect(const std::string& host, int port, int limitMs) override;
  bool Write(std::string_view bytes, int limitMs) override;
  bool WaitReadable(int limitMs) override;
  std::string ReadSome(std::size_t maxBytes) override;
  bool AtEnd() const override { return atEnd_ || fd_ < 0; }
  void Close() override;

 private:
  // poll(2) on the one socket, retried after signals; returns the revents, 0 on time-out.
  short WaitFor(short events, int limitMs);

  TPollFn poll_;
  int fd_ = -1;
  bool atEnd_ = false;
};

// The IPv4 address of a dotted address; false for anything else.
bool ResolveIpv4(const std::string& host, in_addr& out);

}  // namespace korvo
