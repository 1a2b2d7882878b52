#pragma once

#include <chrono>
#include <functional>
#include <optional>
#include <string>

// Helpers that play the PC's side of the lines. They build and read frames on their own, so that a fault in
// the simulator's frame code shows up here.
namespace simtest {

using Ms = std::chrono::milliseconds;

// ":%.3x%.2x %s" followed by the "%.2x" XOR of everything before it.
std::string handFrame(const std::string& piece, int address);

// A reply frame read the way the PC reads one.
struct ReplyFrame {
  std::string lengthField;   // characters 2 to 4
  std::string addressField;  // characters 5 and 6
  char status = 0;           // character 7
  std::string data;          // from character 8, without the last four
  std::string checksum;      // the two characters before CR LF
  bool checksumMatches = false;
};
std::optional<ReplyFrame> readReplyFrame(const std::string& text);
// The PC's completeness test: "%.3x" of the length received compares >= characters 2 to 4.
bool frameComplete(const std::string& text);

// The PC side of a pseudo-terminal: the slave opened raw.
class PortSide {
 public:
  explicit PortSide(const std::string& path);
  ~PortSide();
  void write(const std::string& bytes) const;
  std::string readFor(Ms time) const;
  std::string readUntil(const std::function<bool(const std::string&)>& done, Ms limit) const;
  std::string readUntilContains(const std::string& what, Ms limit) const;
  void close();

 private:
  int fd_ = -1;
};

// A TCP client on the loopback.
class NetSide {
 public:
  explicit NetSide(int port);
  ~NetSide();
  bool connected() const { return fd_ >= 0; }
  void send(const std::string& bytes) const;
  std::string readFor(Ms time);
  std::string readUntil(const std::function<bool(const std::string&)>& done, Ms limit);
  std::string readUntilContains(const std::string& what, Ms limit);
  // True when the peer closes within the limit.
  bool closedWithin(Ms limit);

 private:
  int fd_ = -1;
  bool peerClosed_ = false;
};

bool contains(const std::string& text, const std::string& part);
// Words split at blanks, CR and LF, as the PC's readers split them.
std::vector<std::string> words(const std::string& text);

}  // namespace simtest
