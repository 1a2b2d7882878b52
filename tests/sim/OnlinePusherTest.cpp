#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cctype>
#include <chrono>
#include <thread>

#include "Civil.h"
#include "OnlinePusher.h"

using namespace korvosim;
using namespace std::chrono_literals;

namespace {

// The PC's online port: accepts connections and gathers what they send.
class Listener {
 public:
  Listener() {
    fd_ = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in sa{};
    sa.sin_family = AF_INET;
    sa.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ::bind(fd_, reinterpret_cast<sockaddr*>(&sa), sizeof sa);
    ::listen(fd_, 8);
    socklen_t len = sizeof sa;
    ::getsockname(fd_, reinterpret_cast<sockaddr*>(&sa), &len);
    port_ = ntohs(sa.sin_port);
  }
  ~Listener() { ::close(fd_); }
  int port() const { return port_; }

  // Serves connections until `lines` CR LF lines arrived or the limit passed; counts connections.
  std::string gather(std::size_t lines, std::chrono::milliseconds limit, int* connections) {
    std::string all;
    std::vector<int> open;
    const auto end = std::chrono::steady_clock::now() + limit;
    auto count = [&] {
      std::size_t n = 0;
      for (std::size_t p = all.find("\r\n"); p != std::string::npos; p = all.find("\r\n", p + 2)) ++n;
      return n;
    };
    while (count() < lines && std::chrono::steady_clock::now() < end) {
      std::vector<pollfd> fds{{fd_, POLLIN, 0}};
      for (int c : open) fds.push_back({c, POLLIN, 0});
      ::poll(fds.data(), fds.size(), 50);
      if (fds[0].revents & POLLIN) {
        open.push_back(::accept(fd_, nullptr, nullptr));
        ++*connections;
      }
      for (std::size_t i = 1; i < fds.size(); ++i)
        if (fds[i].revents & POLLIN) {
          char buf[4096];
          const ssize_t n = ::read(fds[i].fd, buf, sizeof buf);
          if (n > 0) all.append(buf, static_cast<std::size_t>(n));
        }
    }
    for (int c : open) ::close(c);
    return all;
  }

 private:
  int fd_ = -1;
  int port_ = 0;
};

TEST(OnlinePusherTest, GeneratedLinesFollowTheOnlineLayoutAtTheRate) {
  Listener pc;
  OnlinePusherOptions o;
  o.port = pc.port();
  o.linesPerSecond = 20;
  o.count = 5;
  o.termNo = "7";
  o.cardDigits = 8;
  const auto start = std::chrono::steady_clock::now();
  OnlinePusher pusher(o);
  int connections = 0;
  const std::string got = pc.gather(5, 3000ms, &connections);
  EXPECT_TRUE(pusher.waitDone(1000ms));
  EXPECT_GE(std::chrono::steady_clock::now() - start, 190ms);  // four gaps of 50 ms
  EXPECT_EQ(connections, 1);
  EXPECT_EQ(pusher.sent(), 5);
  std::string expected;
  for (const auto& l : pusher.sentLines()) expected += l + "\r\n";
  EXPECT_EQ(got, expected);
  for (const auto& l : pusher.sentLines()) {
    ASSERT_EQ(l.size(), 3u + 8u + 14u + 1u + 2u + 2u) << l;
    EXPECT_EQ(l.substr(0, 3), "007");
    const std::string stamp = l.substr(11, 14);
    for (char c : l.substr(3, 22)) EXPECT_TRUE(std::isdigit(static_cast<unsigned char>(c))) << l;
    CivilTime t{std::stoi(stamp.substr(0, 4)),  std::stoi(stamp.substr(4, 2)),
                std::stoi(stamp.substr(6, 2)),  std::stoi(stamp.substr(8, 2)),
                std::stoi(stamp.substr(10, 2)), std::stoi(stamp.substr(12, 2))};
    EXPECT_TRUE(validCivil(t)) << stamp;
    EXPECT_TRUE(l[25] == 'I' || l[25] == 'O');
    EXPECT_EQ(l.substr(28), "00");
  }
}

TEST(OnlinePusherTest, GivenLinesGoVerbatimOneConnectionEach) {
  Listener pc;
  OnlinePusherOptions o;
  o.port = pc.port();
  o.linesPerSecond = 0;
  o.lines = {
      "00140217738202612081020301"
      "0500",
      "001402177382026120810203110500"};
  o.connectionPerLine = true;
  OnlinePusher pusher(o);
  int connections = 0;
  const std::string got = pc.gather(2, 2000ms, &connections);
  EXPECT_TRUE(pusher.waitDone(1000ms));
  EXPECT_EQ(got, o.lines[0] + "\r\n" + o.lines[1] + "\r\n");
  EXPECT_EQ(connections, 2);
  EXPECT_EQ(OnlinePusher::formatLine("1", "40217738", {2026, 12, 8, 10, 20, 30}, '1', "05"), o.lines[0]);
}

TEST(OnlinePusherTest, NoListenerMeansRetriesUntilStopped) {
  int port = 0;
  {
    Listener gone;
    port = gone.port();
  }
  OnlinePusherOptions o;
  o.port = port;
  o.retryMs = 20;
  OnlinePusher pusher(o);
  std::this_thread::sleep_for(150ms);
  pusher.stop();
  EXPECT_TRUE(pusher.waitDone(1000ms));
  EXPECT_GE(pusher.connectFailures(), 2);
  EXPECT_EQ(pusher.sent(), 0);
}

}  // namespace
