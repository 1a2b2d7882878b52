#pragma once

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

namespace korvosim {

enum class Front { Serial, Tcp, Modem, Pusher };

// How a command reached the simulator.
enum class Channel {
  Plain,   // a text line
  Framed,  // a checksummed frame
  Raw,     // raw bytes without a line end (template data, a long text)
  Modem,   // a modem command ("AT...", "+++"), or an online line sent by the pusher
};

struct TranscriptEntry {
  std::chrono::system_clock::time_point time;
  Front front = Front::Serial;
  int where = 0;  // bus address, TCP port, or 0 for a modem line
  Channel channel = Channel::Plain;
  std::string text;   // the command as received, without its line end
  std::string reply;  // what the terminal meant to answer, before any fault
  std::string note;   // why a frame was ignored, and similar remarks; usually empty
};

// Every command received, in order of arrival. Safe to read from any thread while front ends add.
class Transcript {
 public:
  void add(TranscriptEntry entry);
  std::vector<TranscriptEntry> entries() const;
  // The command texts alone, optionally of one front end.
  std::vector<std::string> commands() const;
  std::vector<std::string> commands(Front front) const;
  std::size_t size() const;
  void clear();
  // Waits until the transcript holds at least `count` entries.
  bool waitForSize(std::size_t count, std::chrono::milliseconds timeout) const;
  // Called, outside the lock, for every entry added.
  void setListener(std::function<void(const TranscriptEntry&)> listener);

 private:
  mutable std::mutex mutex_;
  mutable std::condition_variable changed_;
  std::vector<TranscriptEntry> entries_;
  std::function<void(const TranscriptEntry&)> listener_;
};

const char* frontName(Front front);
const char* channelName(Channel channel);

}  // namespace korvosim
