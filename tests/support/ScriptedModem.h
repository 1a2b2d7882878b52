#pragma once

#include <functional>
#include <string>

#include "support/FakeSerialLine.h"

namespace korvo::test {

// Busy answers the dial with `dialResult` ("BUSY" unless set otherwise).
enum class TDial { Connect, Busy, Silent };

// A Hayes modem with one terminal behind it, on the scripted line: AT commands answer OK in command
// mode, ATD connects (or not), "+++" returns to command mode, and text during a call goes to the
// terminal script. Text that is not an AT command is ignored in command mode, as modems do.
class TScriptedModem {
 public:
  explicit TScriptedModem(TFakeSerialLine& line) : line_(line) {
    line_.responder = [this](const std::string& written) { Written(written); };
  }
  TDial dial = TDial::Connect;
  bool answersAt = true;
  int dialDelayMs = 3000;
  std::string dialResult = "BUSY";
  std::function<std::string(const std::string& command)> terminal = [](const std::string& c) {
    if (c == "GETVER") return std::string("KORVO2K/Bio Ver 2.00 OK\r\n");
    if (c.rfind("SETLOGON", 0) == 0) return std::string("OK\r\n");
    return std::string("? FAIL\r\n");
  };
  bool online = false;

 private:
  void Written(const std::string& bytes) {
    if (bytes == "+++") {
      if (answersAt) line_.Send("\r\nOK\r\n", 50);
      online = false;
      return;
    }
    pending_ += bytes;
    std::size_t cr;
    while ((cr = pending_.find('\r')) != std::string::npos) {
      std::string command = pending_.substr(0, cr);
      pending_.erase(0, cr + 1);
      if (online) {
        line_.Send(terminal(command), 5);
      } else if (command.rfind("ATD", 0) == 0) {
        if (dial == TDial::Connect) {
          line_.Send("\r\nCONNECT 9600\r\n", dialDelayMs);
          online = true;
        } else if (dial == TDial::Busy) {
          line_.Send("\r\n" + dialResult + "\r\n", dialDelayMs);
        }
      } else if (command.rfind("AT", 0) == 0 && answersAt) {
        line_.Send("\r\nOK\r\n", 20);
      }
    }
  }
  TFakeSerialLine& line_;
  std::string pending_;
};

}  // namespace korvo::test
