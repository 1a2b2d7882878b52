#pragma once

#include <poll.h>

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

namespace korvo {

// Waits on sockets the way poll(2) does. Production passes ::poll; a test on virtual time passes
// one that lets the virtual clock run out while a real socket stays silent.
using TPollFn = std::function<int(struct pollfd* fds, nfds_t count, int timeoutMs)>;

// The byte stream under the TCP client: a socket in production, a script in tests. No call blocks
// longer than the limit it is given.
class TNetStream {
 public:
  virtual ~TNetStream() = default;
  // 0 when connected, otherwise an errno value (ETIMEDOUT when the limit ran out).
  virtual int Connect(const std::string& host, int port, int limitMs) = 0;
  // True when every byte went out; false when the connection broke or made no progress for limitMs.
  virtual bool Write(std::string_view bytes, int limitMs) = 0;
  // Waits up to limitMs until bytes, or the end of the stream, are there.
  virtual bool WaitReadable(int limitMs) = 0;
  // What has arrived, at most maxBytes, without waiting; empty when nothing is there.
  virtual std::string ReadSome(std::size_t maxBytes) = 0;
  // The peer closed its side or the connection broke: nothing more will arrive.
  virtual bool AtEnd() const = 0;
  virtual void Close() = 0;
};

}  // namespace korvo
