#pragma once

#include <memory>
#include <optional>
#include <string>

#include "Faults.h"
#include "FrontOptions.h"
#include "StreamConversation.h"
#include "Terminal.h"
#include "Transcript.h"

namespace korvosim {

// Which kinds of request a terminal on the bus answers.
enum class BusMode {
  PlainAndFramed,  // plain CR lines (when it is the bus's plain responder) and frames
  FramedOnly,      // frames only; plain lines go unanswered
  PlainOnly,       // plain lines only; frames go unanswered
};

struct SerialBusOptions : FrontOptions {
  std::size_t blockSize = 256;  // data characters in one framed reply
  int turnaroundMs = 15;        // a terminal answers a frame this long after it, once the PC has purged
  int frameTimeoutMs = 300;     // a frame begun and not finished within this is dropped
};

// A serial bus (RS-485 multi-drop, or RS-232 with one terminal) on a pseudo-terminal. The PC opens
// `slavePath()`. Terminals sit at bus addresses 0 to 255 and answer the frames sent to their address.
// Plain text lines carry no address: one terminal, the plain responder, answers them. It is the one chosen
// with `setPlainResponder`, otherwise the terminal with the lowest address whose mode takes plain lines.
// A thread serves the line from construction to destruction.
class SerialBus {
 public:
  explicit SerialBus(SerialBusOptions options = {});
  ~SerialBus();
  SerialBus(const SerialBus&) = delete;
  SerialBus& operator=(const SerialBus&) = delete;

  const std::string& slavePath() const;
  // Puts a terminal at a bus address (replacing one there); returns it.
  std::shared_ptr<Terminal> attach(int address, std::shared_ptr<Terminal> terminal = nullptr,
                                   BusMode mode = BusMode::PlainAndFramed);
  void detach(int address);
  std::shared_ptr<Terminal> terminal(int address) const;
  void setMode(int address, BusMode mode);
  void setPlainResponder(std::optional<int> address);
  std::optional<int> plainResponder() const;
  void setFaults(int address, const Faults& faults);
  Faults faults(int address) const;
  void setThrottle(int bps);
  void setBlockSize(std::size_t size);
  void setTurnaround(int ms);
  Transcript& transcript() const;
  std::shared_ptr<Transcript> sharedTranscript() const;

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace korvosim
