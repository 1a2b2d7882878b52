#pragma once

#include <memory>
#include <string>
#include <vector>

#include "Faults.h"
#include "FrontOptions.h"
#include "StreamConversation.h"
#include "Terminal.h"
#include "Transcript.h"

namespace korvosim {

struct TcpFrontOptions : FrontOptions {
  std::string bindAddress = "127.0.0.1";
};

// Networked terminals, each listening on its own TCP port. A connection is one conversation: CR LF (or CR)
// command lines, one reply line each, listings closed by a "*" line, raw bytes after "TMPSAVE", and a long
// text without a line end taken as one command once the line has gone quiet. A thread serves every port and
// connection from construction to destruction.
class TcpFront {
 public:
  explicit TcpFront(TcpFrontOptions options = {});
  ~TcpFront();
  TcpFront(const TcpFront&) = delete;
  TcpFront& operator=(const TcpFront&) = delete;

  // Listens for a terminal on `port` (0: a free port) and returns the port. Throws when it cannot listen.
  int add(std::shared_ptr<Terminal> terminal = nullptr, int port = 0);
  std::shared_ptr<Terminal> terminal(int port) const;
  std::vector<int> ports() const;
  // Takes effect before it returns (a refusing port is closed, a port no longer refusing listens again).
  void setFaults(int port, const Faults& faults);
  Faults faults(int port) const;
  int accepted(int port) const;  // connections accepted so far
  int openConnections() const;
  Transcript& transcript() const;
  std::shared_ptr<Transcript> sharedTranscript() const;

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace korvosim
