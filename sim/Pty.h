#pragma once

#include <string>

namespace korvosim {

// A pseudo-terminal pair. The simulator keeps the master; the PC opens the slave path as its serial port.
// The slave is set to raw mode once, so a program that opens it without setting the mode still works.
class Pty {
 public:
  Pty();
  ~Pty();
  Pty(const Pty&) = delete;
  Pty& operator=(const Pty&) = delete;

  int master() const { return master_; }
  const std::string& slavePath() const { return slavePath_; }
  // Throws away what was written to the master and not yet read on the slave side.
  void discardOutput() const;

 private:
  int master_ = -1;
  std::string slavePath_;
};

}  // namespace korvosim
