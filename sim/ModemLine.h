#pragma once

#include <memory>
#include <string>

#include "Faults.h"
#include "FrontOptions.h"
#include "StreamConversation.h"
#include "Terminal.h"
#include "Transcript.h"

namespace korvosim {

// What dialling leads to.
enum class DialOutcome {
  Connect,    // "CONNECT" + rate after the dial delay, then the terminal's plain protocol
  Busy,       // "BUSY"
  NoAnswer,   // nothing at all
  NoCarrier,  // "NO CARRIER"
};

struct ModemOptions : FrontOptions {
  int dialDelayMs = 200;
  DialOutcome outcome = DialOutcome::Connect;
  std::string connectText = "CONNECT 9600";
  bool echo = false;  // echo commands in command mode, as ATE1 does
};

// A Hayes modem on a pseudo-terminal with one terminal at the far end of its calls. Command mode answers
// "AT..." lines ("ATV1", "ATZ", "ATH", "ATO", "ATE0/1", any other "AT" command with "OK"); "ATD" + number
// dials. Once connected, lines go to the terminal as on a plain serial line until "+++" returns to command
// mode
// ("OK"); the call stays up until "ATZ", "ATH" or the PC closing its port (dropping DTR). A thread serves the
// line from construction to destruction.
class ModemLine {
 public:
  explicit ModemLine(std::shared_ptr<Terminal> terminal = nullptr, ModemOptions options = {});
  ~ModemLine();
  ModemLine(const ModemLine&) = delete;
  ModemLine& operator=(const ModemLine&) = delete;

  const std::string& slavePath() const;
  std::shared_ptr<Terminal> terminal() const;
  void setOutcome(DialOutcome outcome);
  void setDialDelay(int ms);
  void setConnectText(std::string text);
  void setFaults(const Faults& faults);  // apply to the terminal's answers during a call
  bool connected() const;                // a call is up (online or escaped to command mode)
  bool online() const;                   // in data mode
  std::string lastNumber() const;        // the number of the last "ATD"
  int calls() const;                     // calls connected so far
  Transcript& transcript() const;
  std::shared_ptr<Transcript> sharedTranscript() const;

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace korvosim
